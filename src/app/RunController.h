#pragma once

#include <QObject>
#include <QShortcut>
#include <QString>

#include "app/AppServices.h"
#include "app/Form1.h"
#include "app/ModeCaptions.h"
#include "engine/InsertOptionsView.h"
#include "engine/InsertionRun.h"

namespace app {

// The insertion options and the progress bar as the engine sees them on Form1.
class FormInsertOptions : public engine::InsertOptionsView, public engine::ProgressView {
  public:
    explicit FormInsertOptions(Form1& form) : form_(form) {}
    std::optional<engine::Mode> ModeChoice() const override {
        return ModeFromCaption(form_.Combo1->Text());
    }
    // The lines box with CR LF line breaks, as a multi-line box hands them over on Windows.
    QString LinesText() const override;
    QString FontNameText() const override { return form_.Combo3->Text(); }
    QString FontSizeText() const override { return form_.Combo2->Text(); }
    void SetProgressValue(double value) override { form_.ProgressBar1->SetValue(value); }
    void SetProgressText(const QString& text) override { form_.ProgressBar1->SetText(text); }

  private:
    Form1& form_;
};

// The caption of "Start Inserting" while a run works through the list.
inline const QString kStopCaption = QStringLiteral("Stop");

// "Start Inserting": runs the insertion over the window's list when PushButton2 is clicked.
// While the run works through the list the button reads "Stop", and it and Esc stop the run
// after the current document. A child of the window, so it lives exactly as long as the window.
class RunController : public QObject {
    Q_OBJECT
  public:
    RunController(Form1& form, AppServices& services);

    engine::InsertionRun& Run() { return run_; }

  private:
    void ShowWorking(bool working);

    Form1& form_;
    FormInsertOptions options_;
    QShortcut* stopKey_;
    QString startCaption_;
    engine::InsertionRun run_;
};

// Creates the run controller as a child of the window.
void AttachRunController(Form1& form, AppServices& services);

}  // namespace app
