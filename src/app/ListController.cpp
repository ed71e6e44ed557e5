#include "app/ListController.h"

#include <utility>

#include "runtime/ErrorHandler.h"

namespace app {

namespace {

// The list's small event handlers have no error handler of their own; an error must not escape
// into Qt's event loop, and the list stays as the failed step left it.
template <class F>
void Quietly(F&& handler) {
    runtime::IgnoreErrors(std::forward<F>(handler));
}

}  // namespace

void ListViewPointer::SetOLEDragMode(int mode) {
    if (mode == listui::ccOLEDragManual)
        list_.setDragEnabled(false);
}

ListController::ListController(Form1& form, AppServices& services)
    : QObject(&form),
      fileSystem_(services.fileSystem ? *services.fileSystem : nativeFileSystem_),
      pointer_(*form.ListView1),
      editing_(form.FileList(), form, form.ErrorReports()),
      reorder_(form.FileList(), pointer_, form, services.cursor, services.programFolder),
      samples_(form.FileList(), services.dialogs, form.ErrorReports(), services.shell,
               services.programFolder, listui::ListFilesWith(fileSystem_)) {
    ListView* list = form.ListView1;
    connect(list, &ListView::KeyDown, this, [this](int keyCode, int shift) {
        Quietly([&] { editing_.ListView1_KeyDown(keyCode, shift); });
    });
    connect(list, &ListView::DblClick, this,
            [this] { Quietly([&] { editing_.ListView1_DblClick(); }); });
    connect(form.PushButton5, &QPushButton::clicked, this,
            [this] { editing_.PushButton5_Click(); });

    connect(list, &ListView::ItemClick, this,
            [this] { Quietly([&] { reorder_.ListView1_ItemClick(); }); });
    connect(list, &ListView::MouseDown, this, [this](int button, int shift, QPoint point) {
        Quietly([&] { reorder_.ListView1_MouseDown(button, shift, point); });
    });
    connect(list, &ListView::MouseMove, this, [this](int button, int shift, QPoint point) {
        Quietly([&] { reorder_.ListView1_MouseMove(button, shift, point); });
    });
    connect(list, &ListView::MouseUp, this, [this](int button, int shift, QPoint point) {
        Quietly([&] { reorder_.ListView1_MouseUp(button, shift, point); });
    });

    connect(form.PushButton6, &QPushButton::clicked, this,
            [this] { samples_.PushButton6_Click(); });
}

void AttachListController(Form1& form, AppServices& services) {
    new ListController(form, services);
}

}  // namespace app
