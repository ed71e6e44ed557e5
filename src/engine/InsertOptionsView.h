#pragma once

#include <QString>
#include <optional>

#include "engine/Modes.h"

namespace engine {

// The insertion options as the window shows them, read by the per-document procedures at the
// moment each step needs them, so that a change made during a run applies from the next read.
class InsertOptionsView {
  public:
    virtual ~InsertOptionsView() = default;
    // The mode the mode list (Combo1) shows; none when its text names no mode.
    virtual std::optional<Mode> ModeChoice() const = 0;
    // The whole text of the lines box (Text1), line breaks included.
    virtual QString LinesText() const = 0;
    // The text of the font-name list (Combo3).
    virtual QString FontNameText() const = 0;
    // The text of the font-size box (Combo2), chosen or typed.
    virtual QString FontSizeText() const = 0;
    // Sets the value of the progress bar (0 to 100, fractions allowed).
    virtual void SetProgressValue(double value) = 0;
};

// The progress bar of the run: a value and a caption.
class ProgressView {
  public:
    virtual ~ProgressView() = default;
    // Sets the value of the progress bar (0 to 100, fractions allowed).
    virtual void SetProgressValue(double value) = 0;
    // Sets the caption shown on the progress bar.
    virtual void SetProgressText(const QString& text) = 0;
};

}  // namespace engine
