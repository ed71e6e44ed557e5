#pragma once

#include <QStringList>

#include "FakeDialogs.h"
#include "Fakes.h"
#include "TestTree.h"
#include "intake/IntakeContext.h"

namespace intake_testing {

// Collects the error reports of guarded procedures.
class RecordingErrorSink : public runtime::ErrorSink {
  public:
    void ShowErrorReport(const std::string& message) override {
        reports << QString::fromStdString(message);
    }
    QStringList reports;
};

// The intake's services as scripted fakes over a real temporary tree.
struct IntakeFixture {
    testing_support::FakeDialogs dialogs;
    RecordingErrorSink errors;
    testing_support::MemorySettings settings;
    testing_support::FakeEventLoop events;
    testing_support::FakePointer pointer;
    TestFileSystem fs;
    testing_support::MemoryFileList list;
    TestTree tree;

    intake::IntakeContext Context() {
        return intake::IntakeContext{dialogs, errors, settings, events, pointer, fs, list};
    }
    // Listed paths with the tree's root written as "<root>".
    QStringList Listed() const {
        QStringList out;
        for (QString p : list.Paths())
            out << p.replace(tree.root(), "<root>");
        return out;
    }
};

}  // namespace intake_testing
