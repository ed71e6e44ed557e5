#pragma once

#include "engine/InsertOptionsView.h"

namespace batch {

// The insertion options of one batch run, fixed for the whole run; progress within a document
// is not shown.
class BatchView : public engine::InsertOptionsView {
  public:
    BatchView(engine::Mode mode, QString lines, QString font, QString size)
        : mode_(mode), lines_(std::move(lines)), font_(std::move(font)), size_(std::move(size)) {}
    std::optional<engine::Mode> ModeChoice() const override { return mode_; }
    QString LinesText() const override { return lines_; }
    QString FontNameText() const override { return font_; }
    QString FontSizeText() const override { return size_; }
    void SetProgressValue(double) override {}

  private:
    engine::Mode mode_;
    QString lines_, font_, size_;
};

}  // namespace batch
