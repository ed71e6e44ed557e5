#pragma once

#include <gtest/gtest.h>

#include "FakeDialogs.h"
#include "FakeOptionsView.h"
#include "FakeWord.h"
#include "TestHelpers.h"
#include "engine/InsertContext.h"

namespace testing_support {

// One per-document procedure against the fake Word, with recorded reports and dialogs.
class ProcedureTest : public ::testing::Test {
  protected:
    ProcedureTest() { fake.Install(registry); }

    // The calls that change the document or read the options, in order; getters left out.
    std::vector<std::string> Trace() const {
        std::vector<std::string> out;
        for (const auto& c : fake.calls) {
            if (c == "Selection.Font()")
                continue;
            if (c.rfind("View.", 0) == 0 || c.rfind("Selection.", 0) == 0 ||
                c.rfind("Document.SaveAs", 0) == 0 || c.rfind("Application.Quit", 0) == 0 ||
                c.rfind("Documents.Open", 0) == 0)
                out.push_back(c);
        }
        return out;
    }
    std::vector<std::string> Reports() const { return Where(sink.reports); }

    FakeWord fake;
    word::Registry registry;
    FakeDialogs dialogs;
    RecordingSink sink;
    FakeOptionsView view{&fake};
    engine::InsertContext context{registry, dialogs, sink, view};
    const QString path = QStringLiteral("/docs/Letter.docx");
    const std::string file = "/docs/Letter.docx";
};

}  // namespace testing_support
