#pragma once

#include <QObject>

#include "app/AppServices.h"
#include "app/Form1.h"
#include "listui/EntryReorder.h"
#include "listui/ListEditing.h"
#include "listui/ListPointerView.h"
#include "listui/SampleFiles.h"
#include "platform/PosixFileSystem.h"

namespace app {

// ListView1 as the reordering sees it: the list's own pointer, drag mode and hit test.
class ListViewPointer : public listui::ListPointerView {
  public:
    explicit ListViewPointer(ListView& list) : list_(list) {}
    void SetMousePointer(int value) override { list_.SetMousePointer(value); }
    bool SetMouseIcon(const QString& path) override { return list_.SetMouseIcon(path); }
    void SetOLEDragMode(int mode) override;
    int HitTest(QPoint point) const override { return list_.HitTest(point); }

  private:
    ListView& list_;
};

// Connects list editing (Delete key, double-click, "Clear List"), reordering by carry and the
// sample loader ("Load Sample/Example Files") to the window's list and buttons. A child of the
// window, so it lives exactly as long as the window.
class ListController : public QObject {
    Q_OBJECT
  public:
    ListController(Form1& form, AppServices& services);

    listui::ListEditing& Editing() { return editing_; }
    listui::EntryReorder& Reorder() { return reorder_; }
    listui::SampleFiles& Samples() { return samples_; }

  private:
    platform::PosixFileSystem nativeFileSystem_;
    platform::FileSystem& fileSystem_;
    ListViewPointer pointer_;
    listui::ListEditing editing_;
    listui::EntryReorder reorder_;
    listui::SampleFiles samples_;
};

// Creates the list controller as a child of the window.
void AttachListController(Form1& form, AppServices& services);

}  // namespace app
