#pragma once

#include <QMap>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "intake/MemoryFileList.h"
#include "platform/EventLoop.h"
#include "platform/Pointer.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"

namespace testing_support {

// A settings store held in memory, keyed by "app/section/key".
class MemorySettings : public platform::SettingsStore {
  public:
    QString GetSetting(const QString& app, const QString& section, const QString& key,
                       const QString& defaultValue) override;
    void SaveSetting(const QString& app, const QString& section, const QString& key,
                     const QString& value) override;
    bool Has(const QString& key) const;
    QString Value(const QString& key) const;
    QMap<QString, QString> values;  // key "Kestrova/Lineforge Suite/Combo1" -> text
    int saves = 0;
};

// An event loop whose yields run a scripted action (for example a removal in mid-run).
class FakeEventLoop : public platform::EventLoop {
  public:
    void DoEvents() override {
        ++yields;
        if (onYield)
            onYield(yields);
    }
    int yields = 0;
    std::function<void(int yieldNumber)> onYield;
};

// The main window's pointer, with every value it was set to.
class FakePointer : public platform::WindowPointer {
  public:
    int MousePointer() const override { return value; }
    void SetMousePointer(int v) override {
        value = v;
        history.push_back(v);
    }
    int value = 0;
    std::vector<int> history;
};

class FakeCursor : public platform::CursorPosition {
  public:
    QPoint GetCursorPos() override { return pos; }
    QPoint pos;
};

// Records what would have been opened; nothing reaches the desktop.
class FakeShell : public platform::Shell {
  public:
    bool ShellExecute(const QString& file, const QString& directory, int showCommand) override {
        executed << file;
        directories << directory;
        showCommands.push_back(showCommand);
        return opens;
    }
    bool opens = true;  // what ShellExecute answers
    void OpenUrl(const QString& url) override { urls << url; }
    QStringList executed, directories, urls;
    std::vector<int> showCommands;
};

// The in-memory document list, recording every position it was asked to scroll to.
class MemoryFileList : public intake::MemoryFileList {
  public:
    void EnsureVisible(int i) override {
        intake::MemoryFileList::EnsureVisible(i);
        ensuredVisible.push_back(i);
    }
    std::vector<int> ensuredVisible;
};

}  // namespace testing_support
