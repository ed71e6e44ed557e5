#pragma once

#include <QFile>
#include <QStringList>
#include <vector>

#include "intake/FileList.h"
#include "listui/ListPointerView.h"

namespace listui_test {

// A list whose rows are kRowHeight pixels high from the top; records the list's pointer.
class FakeListPointerView : public listui::ListPointerView {
  public:
    static constexpr int kRowHeight = 20;
    explicit FakeListPointerView(const intake::FileList& list) : list_(list) {}

    void SetMousePointer(int value) override {
        pointer = value;
        pointerHistory.push_back(value);
    }
    bool SetMouseIcon(const QString& path) override {
        iconRequests << path;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || file.size() == 0)
            return false;
        icon = path;
        return true;
    }
    void SetOLEDragMode(int mode) override { oleDragMode = mode; }
    int HitTest(QPoint point) const override {
        if (point.y() < 0)
            return 0;
        const int row = point.y() / kRowHeight + 1;
        return row <= list_.Count() ? row : 0;
    }

    // The middle of entry i.
    static QPoint Row(int i) { return QPoint(40, (i - 1) * kRowHeight + kRowHeight / 2); }

    int pointer = 0;
    std::vector<int> pointerHistory;
    QStringList iconRequests;
    QString icon;
    int oleDragMode = -1;

  private:
    const intake::FileList& list_;
};

}  // namespace listui_test
