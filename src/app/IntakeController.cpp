#include "app/IntakeController.h"

#include <QDir>

#include "intake/AddFilesByDialog.h"
#include "intake/AddFolderTree.h"
#include "intake/DragDrop.h"

namespace app {

IntakeController::IntakeController(Form1& form, AppServices& services)
    : QObject(&form),
      form_(form),
      services_(services),
      fileSystem_(services.fileSystem ? *services.fileSystem : nativeFileSystem_) {
    connect(form.PushButton1, &QPushButton::clicked, this,
            [this] { intake::PushButton1_Click(Context()); });
    connect(form.PushButton3, &QPushButton::clicked, this,
            [this] { intake::PushButton3_Click(Context()); });
    connect(form.ListView1, &ListView::OLEDragOver, this,
            [this](const QMimeData* data, int* effect) {
                intake::ListView1_OLEDragOver(Context(), data, effect);
            });
    connect(form.ListView1, &ListView::OLEDragDrop, this,
            [this](const QMimeData* data) { intake::ListView1_OLEDragDrop(Context(), data); });
}

intake::IntakeContext IntakeController::Context() {
    return intake::IntakeContext{
        services_.dialogs, form_.ErrorReports(), services_.settings, services_.events, form_,
        fileSystem_,       form_.FileList()};
}

void IntakeController::AddStartPaths(const QStringList& arguments) {
    intake::AddDroppedPaths(Context(), intake::PathsFromArguments(arguments, QDir::currentPath()));
}

void AttachIntakeController(Form1& form, AppServices& services) {
    new IntakeController(form, services);
}

void AddStartPaths(Form1& form, const QStringList& arguments) {
    if (auto* intake = form.findChild<IntakeController*>())
        intake->AddStartPaths(arguments);
}

}  // namespace app
