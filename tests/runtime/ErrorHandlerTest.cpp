#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/ErrorHandler.h"
#include "runtime/Ref.h"

namespace {

struct RecordingSink : runtime::ErrorSink {
    void ShowErrorReport(const std::string& message) override { reports.push_back(message); }
    std::vector<std::string> reports;
};

struct Thing {
    int Value() const { return 7; }
};

TEST(ErrorReport, TextIsExactByteForByte) {
    EXPECT_EQ(runtime::FormatErrorReport("Invalid property value",
                                         "in Linewright2021/08/31.Form1.Form_Load ", 144),
              "Invalid property value\r\nin Linewright2021/08/31.Form1.Form_Load at line 144\r\r"
              "Please email screenshot of this message to support@lineforge.example");
}

TEST(ErrorHandler, TwoFailingLinesGiveTwoReportsAndTheNextLineRuns) {
    RecordingSink sink;
    runtime::ErrorHandler on(sink, "in P ");
    std::vector<int> ran;
    EXPECT_FALSE(on.line(100, [] { throw runtime::Error(5, "first"); }));
    EXPECT_FALSE(on.line(102, [] { throw std::runtime_error("second"); }));
    EXPECT_TRUE(on.line(104, [&] { ran.push_back(104); }));
    ASSERT_EQ(sink.reports.size(), 2u);
    EXPECT_EQ(sink.reports[0].substr(0, 24), "first\r\nin P at line 100\r");
    EXPECT_EQ(sink.reports[1].substr(0, 25), "second\r\nin P at line 102\r");
    EXPECT_EQ(ran, std::vector<int>{104});
    EXPECT_EQ(on.failures(), 2);
}

TEST(ErrorHandler, ConditionThatRaisesCountsAsTrue) {
    RecordingSink sink;
    runtime::ErrorHandler on(sink, "in P ");
    EXPECT_TRUE(on.cond(106, []() -> bool { throw runtime::Error(13, "Type mismatch"); }));
    EXPECT_FALSE(on.cond(108, [] { return false; }));
    EXPECT_EQ(sink.reports.size(), 1u);
}

TEST(ErrorHandler, MemberOfMissingObjectRaisesObjectNotSet) {
    RecordingSink sink;
    runtime::ErrorHandler on(sink, "in P ");
    runtime::Ref<Thing> nothing;
    on.line(110, [&] { (void)nothing->Value(); });
    ASSERT_EQ(sink.reports.size(), 1u);
    EXPECT_EQ(sink.reports[0].rfind("Object variable or With block variable not set\r\n", 0), 0u);
    runtime::Ref<Thing> some(std::make_shared<Thing>());
    EXPECT_EQ(some->Value(), 7);
}

}  // namespace
