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
      options_(form),
      run_(engine::RunServices{form.FileList(), options_, options_, form, services.events,
                               services.dialogs, form.ErrorReports(), services.registry}) {
    connect(form.PushButton2, &QPushButton::clicked, this, [this] { run_.PushButton2_Click(); });
}

void AttachRunController(Form1& form, AppServices& services) {
    new RunController(form, services);
}

}  // namespace app
