#include <gtest/gtest.h>

#include "FakeDialogs.h"
#include "FakeWord.h"
#include "engine/IsDocumentProtected.h"

using testing_support::FakeDialogs;
using testing_support::FakeWord;

namespace {

struct Opened {
    FakeWord fake;
    word::Registry registry;
    word::Ref<word::Application> app;
    word::Ref<word::Document> doc;
    FakeDialogs dialogs;
    void Open() {
        fake.Install(registry);
        app = registry.CreateObject("Word.Application");
        doc = app->Documents()->Open("/tmp/Report.docx");
    }
};

TEST(IsDocumentProtected, UnprotectedDocumentPassesWithoutUnprotect) {
    Opened o;
    o.Open();
    EXPECT_FALSE(FileSize::IsDocumentProtected(o.doc, o.dialogs));
    EXPECT_EQ(o.fake.Count("Document.Unprotect"), 0);
    EXPECT_TRUE(o.dialogs.shown.empty());
}

TEST(IsDocumentProtected, ProtectionWithoutPasswordIsRemoved) {
    Opened o;
    o.fake.document.protection = word::wdAllowOnlyComments;
    o.Open();
    EXPECT_FALSE(FileSize::IsDocumentProtected(o.doc, o.dialogs));
    EXPECT_EQ(o.fake.Count("Document.Unprotect"), 1);
    EXPECT_TRUE(o.dialogs.shown.empty());
}

TEST(IsDocumentProtected, PasswordProtectionNamesTheDocument) {
    Opened o;
    o.fake.document.protection = word::wdAllowOnlyReading;
    o.fake.document.password = true;
    o.fake.document.name = "Report.docx";
    o.Open();
    EXPECT_TRUE(FileSize::IsDocumentProtected(o.doc, o.dialogs));
    ASSERT_EQ(o.dialogs.Messages().size(), 1);
    EXPECT_EQ(o.dialogs.Messages()[0],
              "Report.docx is protected. \r\n\r\nPlease remove read-only protection");
    EXPECT_EQ(o.dialogs.shown[0].style, platform::vbOKOnly);
    EXPECT_TRUE(o.dialogs.shown[0].title.isNull());
}

TEST(IsDocumentProtected, MissingDocumentIsSkippedWithoutMessage) {
    FakeDialogs dialogs;
    EXPECT_TRUE(FileSize::IsDocumentProtected(word::Ref<word::Document>(), dialogs));
    EXPECT_TRUE(dialogs.shown.empty());
}

// An office that dies during the check is reported as such, never as a protected document.
TEST(IsDocumentProtected, FailedCheckRaisesItsOwnErrorAndNamesNoProtection) {
    Opened o;
    o.fake.Fail("Document.ProtectionType");
    o.Open();
    EXPECT_THROW(FileSize::IsDocumentProtected(o.doc, o.dialogs), word::Error);
    EXPECT_TRUE(o.dialogs.shown.empty());
}

TEST(IsDocumentProtected, UnreadableNameShowsNoMessage) {
    Opened o;
    o.fake.document.protection = word::wdAllowOnlyFormFields;
    o.fake.document.password = true;
    o.fake.Fail("Document.Name");
    o.Open();
    EXPECT_TRUE(FileSize::IsDocumentProtected(o.doc, o.dialogs));
    EXPECT_TRUE(o.dialogs.shown.empty());
}

}  // namespace
