#include "app/RunController.h"

#include <QPushButton>

namespace app {

QString FormInsertOptions::LinesText() const {
    QString text = form_.Text1->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

RunController::RunController(Form1& form, AppServices& services)
    : QObject(&form),
      form_(form),
      options_(form),
      stopKey_(new QShortcut(QKeySequence(Qt::Key_Escape), &form)),
      startCaption_(form.PushButton2->text()),
      run_(engine::RunServices{form.FileList(), options_, options_, form, services.events,
                               services.dialogs, services.registry, QDir::separator(),
                               [this](bool working) { ShowWorking(working); }, services.journal}) {
    connect(form.PushButton2, &QPushButton::clicked, this, [this] { run_.PushButton2_Click(); });
    stopKey_->setContext(Qt::WindowShortcut);
    stopKey_->setEnabled(false);
    connect(stopKey_, &QShortcut::activated, this, [this] { run_.RequestStop(); });
}

void RunController::ShowWorking(bool working) {
    form_.PushButton2->setText(working ? kStopCaption : startCaption_);
    stopKey_->setEnabled(working);
}

void AttachRunController(Form1& form, AppServices& services) {
    new RunController(form, services);
}

}  // namespace app
