// The engine's procedures over .doc, .rtf and .odt documents through LibreOffice: the same
// cases as for .docx, on documents the office itself makes from a small .docx during the test.
// One office serves the whole test program.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "PackageFixtures.h"
#include "RealEngine.h"
#include "StoryTestPackage.h"
#include "StoryTestXml.h"
#include "docx/Error.h"
#include "engine/InsertAtEnds.h"
#include "engine/Modes.h"
#include "word/office/Files.h"
#include "word/office/Formats.h"
#include "word/office/Office.h"
#include "word/office/Router.h"

#include <unistd.h>

namespace {

using story_test::P;
using story_test::R;
using testing_support::RealEngine;
using word::office::Format;
using word::office::Office;

struct Kind {
    const char* ext;
    const char* filter;
    Format format;
};
const Kind kKinds[] = {{"doc", "MS Word 97", Format::WordBinary},
                       {"rtf", "Rich Text Format", Format::Rtf},
                       {"odt", "writer8", Format::OpenDocument}};

int Count(const std::string& hay, const std::string& needle) {
    int n = 0;
    for (size_t at = hay.find(needle); at != std::string::npos; at = hay.find(needle, at + 1))
        ++n;
    return n;
}

class OfficeTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        connection_ = new word::office::OfficeConnection();
        if (!TheOffice().Installed())
            return;
        folder_ = new fixtures::TempFolder();
        story_test::StoryDocSpec spec;
        spec.body = P(R("Intro MARK here.")) + P(R("Plain line.")) + "<w:tbl><w:tr><w:tc>" +
                    P(R("cell Mark")) + "</w:tc></w:tr></w:tbl>" +
                    P(R("Note") + "<w:r><w:footnoteReference w:id=\"1\"/></w:r>") +
                    P(R("frame mark"),
                      "<w:framePr w:w=\"3000\" w:h=\"600\" w:hAnchor=\"page\" "
                      "w:vAnchor=\"page\" w:x=\"6000\" w:y=\"8000\"/>") +
                    story_test::SectPr({{"header", "default", "header1.xml"},
                                        {"footer", "default", "footer1.xml"}});
        spec.headers = {{"header1.xml", P(R("head mark"))}};
        spec.footers = {{"footer1.xml", P(R("foot mark"))}};
        spec.footnotes = story_test::NoteSeparators("footnote") + "<w:footnote w:id=\"1\">" +
                         P(R("note mark")) + "</w:footnote>";
        story_test::WriteStoryDocx(*folder_ / "source.docx", spec);
        for (const Kind& k : kKinds)
            word::office::ConvertDocument(TheOffice(), *folder_ / "source.docx",
                                          *folder_ / (std::string("source.") + k.ext), k.filter);
    }
    static void TearDownTestSuite() {
        delete folder_;
        folder_ = nullptr;
        delete connection_;
        connection_ = nullptr;
    }
    // The office of the suite, ended with it.
    static Office& TheOffice() { return *connection_->Get(); }
    void SetUp() override {
        if (!folder_)
            GTEST_SKIP() << "LibreOffice is not installed";
        word::office::Register(engine.registry, *connection_);
        engine.view.lines = QStringLiteral("Lead line");
        engine.view.fontName = QStringLiteral("DejaVu Serif");
        engine.view.fontSize = QStringLiteral("17");
    }

    // A fresh copy of the office-made document of this kind.
    std::string Copy(const Kind& k, const std::string& name) {
        const std::string path = work_ / (name + "." + k.ext);
        fixtures::WriteFile(path, fixtures::ReadFile(*folder_ / (std::string("source.") + k.ext)));
        return path;
    }
    // The office's own plain-text export.
    std::string Text(const std::string& path) {
        const std::string out = work_ / "export.txt";
        word::office::ConvertDocument(TheOffice(), path, out, "Text (encoded):UTF8,LF,,");
        const std::string text = fixtures::ReadFile(out);
        return text.rfind("\xEF\xBB\xBF", 0) == 0 ? text.substr(3) : text;
    }

    static word::office::OfficeConnection* connection_;
    static fixtures::TempFolder* folder_;
    fixtures::TempFolder work_;
    RealEngine engine;
};
word::office::OfficeConnection* OfficeTest::connection_ = nullptr;
fixtures::TempFolder* OfficeTest::folder_ = nullptr;

TEST_F(OfficeTest, TheOfficesOwnFilesAreRecognised) {
    for (const Kind& k : kKinds) {
        const std::string renamed = work_ / "named.docx";
        fixtures::WriteFile(renamed,
                            fixtures::ReadFile(*folder_ / (std::string("source.") + k.ext)));
        EXPECT_EQ(word::office::SniffFormat(renamed), k.format) << k.ext;
    }
}

// A text that starts with a table, lines of several paragraphs with characters that mean
// something to the office's replace, and an x that would match more as an expression.
TEST_F(OfficeTest, TablesFirstAndLiteralTexts) {
    const std::string source = work_ / "table.docx";
    fixtures::WriteDocx(source, fixtures::Spec("<w:tbl><w:tr><w:tc>" + P(R("in a.b cell")) +
                                               "</w:tc></w:tr></w:tbl>" + P(R("axb and A.B end"))));
    engine.view.lines = QStringLiteral("One\r\nTwo & $1 \\ \\t end");
    const std::string lines = "One\nTwo & $1 \\ \\t end";
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.ext);
        const std::string path = work_ / (std::string("table.") + k.ext);
        struct Step {
            engine::Mode mode;
            std::string expected;
        };
        const Step steps[] = {
            {engine::Mode::kFirstLine, lines + "\nin a.b cell\naxb and A.B end\n"},
            {engine::Mode::kLastLine, "in a.b cell\naxb and A.B end\n" + lines + "\n"},
            {engine::Mode::kAfterX, "in a.b\n" + lines + " cell\naxb and A.B\n" + lines + " end\n"},
        };
        for (const Step& s : steps) {
            word::office::ConvertDocument(TheOffice(), source, path, k.filter);
            engine.sink.reports.clear();
            engine.Run(s.mode, path, "a.b");
            EXPECT_TRUE(engine.sink.reports.empty()) << engine.sink.reports.front();
            EXPECT_EQ(Text(path), s.expected) << static_cast<int>(s.mode);
        }
    }
}

TEST_F(OfficeTest, EveryModeInEveryFormat) {
    struct Mode {
        engine::Mode mode;
        QString x;
    };
    const Mode modes[] = {{engine::Mode::kFirstLine, {}},
                          {engine::Mode::kLastLine, {}},
                          {engine::Mode::kBeforeX, "mark"},
                          {engine::Mode::kAfterX, "mark"}};
    for (const Kind& k : kKinds) {
        const std::string before = Text(*folder_ / (std::string("source.") + k.ext));
        for (const Mode& m : modes) {
            SCOPED_TRACE(std::string(k.ext) + " mode " + std::to_string(static_cast<int>(m.mode)));
            const std::string path = Copy(k, "doc");
            engine.sink.reports.clear();
            engine.Run(m.mode, path, m.x);
            EXPECT_TRUE(engine.sink.reports.empty()) << engine.sink.reports.front();
            EXPECT_EQ(word::office::SniffFormat(path), k.format);
            const std::string after = Text(path);
            // Every occurrence keeps its own characters.
            for (const char* own : {"MARK", "Mark"})
                EXPECT_NE(after.find(own), std::string::npos) << own << "\n" << after;
            if (m.x.isEmpty()) {
                const size_t at = after.find("Lead line");
                ASSERT_NE(at, std::string::npos) << after;
                if (m.mode == engine::Mode::kFirstLine) {
                    EXPECT_EQ(after.rfind("Lead line\nIntro MARK here.", 0), 0u) << after;
                }
                std::string rest = after;
                rest.erase(at, std::string("Lead line\n").size());
                // The text export leaves frames out; the frame's text is in the main text now.
                const size_t frame = rest.find("frame mark\n");
                ASSERT_NE(frame, std::string::npos) << rest;
                rest.erase(frame, std::string("frame mark\n").size());
                if (m.mode == engine::Mode::kFirstLine) {
                    EXPECT_EQ(rest, before);
                }
            } else {
                // Five occurrences in body, table, header, footer and footnote; the text export
                // holds body and table, the others are checked through the converted package.
                const bool beforeX = m.mode == engine::Mode::kBeforeX;
                EXPECT_NE(after.find(beforeX ? "Intro Lead line\nMARK here."
                                             : "Intro MARK\nLead line here."),
                          std::string::npos)
                    << after;
                EXPECT_NE(after.find(beforeX ? "cell Lead line\nMark" : "cell Mark\nLead line"),
                          std::string::npos)
                    << after;
            }
            // Font and size of the inserted lines, read back from a .docx the office makes.
            const std::string docx = work_ / "check.docx";
            word::office::ConvertDocument(TheOffice(), path, docx, "MS Word 2007 XML");
            const std::string rPr = testing_support::RunPropertiesOf(docx, "Lead line");
            EXPECT_NE(rPr.find("DejaVu Serif"), std::string::npos) << rPr;
            EXPECT_NE(rPr.find("w:val=\"34\""), std::string::npos) << rPr;
            std::string stories;
            for (const auto& [type, text] : testing_support::StoryTexts(docx))
                stories += text + "|";
            // The occurrences keep their case, the lines theirs, in every story.
            EXPECT_EQ(Count(stories, "mark"), 4) << stories;
            EXPECT_EQ(Count(stories, "Mark"), 1) << stories;
            EXPECT_EQ(Count(stories, "MARK"), 1) << stories;
            EXPECT_EQ(Count(stories, "Lead line"), m.x.isEmpty() ? 1 : 6) << stories;
            // The frame was removed and its text kept in the main text.
            EXPECT_EQ(fixtures::ReadZip(docx)["word/document.xml"].data.find("framePr"),
                      std::string::npos);
        }
    }
}

TEST_F(OfficeTest, RefusedDocumentsStayByteIdentical) {
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.ext);
        // Held by another editor.
        const std::string locked = Copy(k, "locked");
        fixtures::WriteFile(work_ / (std::string(".~lock.locked.") + k.ext + "#"), "x");
        // Damaged: the first half of the file.
        const std::string damaged = Copy(k, "damaged");
        const std::string bytes = fixtures::ReadFile(damaged);
        fixtures::WriteFile(damaged, bytes.substr(0, bytes.size() / 2));
        for (const std::string& path : {locked, damaged}) {
            const std::string original = fixtures::ReadFile(path);
            engine.sink.reports.clear();
            engine.Run(engine::Mode::kFirstLine, path);
            if (path == locked || k.format != Format::Rtf) {
                EXPECT_FALSE(engine.sink.reports.empty()) << path;
            }
            EXPECT_EQ(fixtures::ReadFile(path), original) << path;
        }
    }
}

// Form protection without a password is lifted and the lines go in; a password to open makes
// the document refused without a prompt, byte for byte as it was.
TEST_F(OfficeTest, ProtectionAndPasswords) {
    const std::string protectedDocx = work_ / "protected.docx";
    fixtures::WriteDocx(protectedDocx, fixtures::Spec(P(R("Body text.")),
                                                      "<w:documentProtection w:edit=\"forms\" "
                                                      "w:enforcement=\"1\"/>"));
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.ext);
        const std::string path = work_ / (std::string("protected.") + k.ext);
        word::office::ConvertDocument(TheOffice(), protectedDocx, path, k.filter);
        engine.sink.reports.clear();
        engine.Run(engine::Mode::kFirstLine, path);
        EXPECT_TRUE(engine.sink.reports.empty()) << engine.sink.reports.front();
        EXPECT_EQ(Text(path).rfind("Lead line\nBody text.", 0), 0u) << Text(path);
        if (k.format == Format::Rtf)
            continue;
        const std::string secret = work_ / (std::string("secret.") + k.ext);
        word::office::ConvertDocument(TheOffice(), protectedDocx, secret, k.filter, "pw");
        const std::string original = fixtures::ReadFile(secret);
        engine.sink.reports.clear();
        engine.Run(engine::Mode::kFirstLine, secret);
        ASSERT_FALSE(engine.sink.reports.empty());
        EXPECT_NE(engine.sink.reports.front().find("password"), std::string::npos)
            << engine.sink.reports.front();
        EXPECT_EQ(fixtures::ReadFile(secret), original);
    }
}

TEST_F(OfficeTest, WithoutTheOfficeTheDocumentIsRefusedByName) {
    word::office::OfficeSettings settings = word::office::DefaultSettings();
    const std::string installed = settings.program;
    settings.program = work_ / "no-soffice.bin";
    TheOffice().Configure(settings);
    const std::string path = Copy(kKinds[0], "missing");
    const std::string original = fixtures::ReadFile(path);
    engine.Run(engine::Mode::kFirstLine, path);
    settings.program = installed;
    TheOffice().Configure(settings);
    ASSERT_FALSE(engine.sink.reports.empty());
    EXPECT_NE(engine.sink.reports.front().find("libreoffice-writer-nogui"), std::string::npos);
    EXPECT_NE(engine.sink.reports.front().find(".doc"), std::string::npos);
    EXPECT_EQ(fixtures::ReadFile(path), original);
}

// A view that, when the procedure reads the lines (after the document was opened), makes
// another program's change to the file.
class ChangingView : public testing_support::FakeOptionsView {
  public:
    QString LinesText() const override {
        if (!path.empty())
            fixtures::WriteFile(path, fixtures::ReadFile(path) + "other program");
        if (office)
            office->Kill();
        return FakeOptionsView::LinesText();
    }
    std::string path;
    Office* office = nullptr;  // killed when set
};

// The save keeps the file's mode, and refuses a file changed on disk since it was opened.
TEST_F(OfficeTest, SaveKeepsTheModeAndRefusesAChangedFile) {
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.ext);
        ChangingView view;
        engine::InsertContext context{engine.registry, engine.dialogs, engine.sink, view};
        const std::string kept = Copy(k, "kept");
        ::chmod(kept.c_str(), 0604);
        engine.sink.reports.clear();
        AddRemove::InsertTextAtBeginningInFile(context, QString::fromStdString(kept));
        EXPECT_TRUE(engine.sink.reports.empty()) << engine.sink.reports.front();
        struct stat st {};
        ASSERT_EQ(::stat(kept.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0604u);
        EXPECT_EQ(word::office::SniffFormat(kept), k.format);

        view.path = Copy(k, "changed");
        AddRemove::InsertTextAtBeginningInFile(context, QString::fromStdString(view.path));
        ASSERT_FALSE(engine.sink.reports.empty());
        EXPECT_NE(engine.sink.reports.back().find("changed"), std::string::npos);
        const std::string bytes = fixtures::ReadFile(view.path);
        EXPECT_EQ(bytes.substr(bytes.size() - 13), "other program");
    }
}

// The office is ended during a call (the bounded wait runs out at once): that document is
// reported and left whole, and the next one is done by a new office.
TEST_F(OfficeTest, KilledOfficeLeavesTheDocumentAndTheRunGoesOn) {
    const std::string first = Copy(kKinds[0], "first");
    const std::string second = Copy(kKinds[0], "second");
    const std::string original = fixtures::ReadFile(first);
    const int starts = TheOffice().Starts();
    word::office::OfficeSettings settings = word::office::DefaultSettings();
    settings.callLimit = std::chrono::milliseconds(1);
    TheOffice().Configure(settings);
    engine.Run(engine::Mode::kLastLine, first);
    TheOffice().Configure(word::office::DefaultSettings());
    EXPECT_FALSE(engine.sink.reports.empty());
    EXPECT_EQ(fixtures::ReadFile(first), original);

    engine.sink.reports.clear();
    engine.Run(engine::Mode::kLastLine, second);
    EXPECT_TRUE(engine.sink.reports.empty()) << engine.sink.reports.front();
    EXPECT_NE(Text(second).find("Lead line"), std::string::npos);
    // One new office, not one more for closing the dead office's document.
    EXPECT_EQ(TheOffice().Starts(), starts + 1);

    // Killed from outside between the open and the typing.
    ChangingView view;
    view.office = &TheOffice();
    engine::InsertContext context{engine.registry, engine.dialogs, engine.sink, view};
    const std::string third = Copy(kKinds[2], "third");
    const std::string thirdBytes = fixtures::ReadFile(third);
    AddRemove::InsertTextAtBeginningInFile(context, QString::fromStdString(third));
    ASSERT_FALSE(engine.sink.reports.empty());
    EXPECT_NE(engine.sink.reports.front().find("LibreOffice ended"), std::string::npos)
        << engine.sink.reports.front();
    EXPECT_EQ(fixtures::ReadFile(third), thirdBytes);
    engine.sink.reports.clear();
    engine.Run(engine::Mode::kFirstLine, second);
    EXPECT_TRUE(engine.sink.reports.empty()) << engine.sink.reports.front();
    EXPECT_EQ(TheOffice().Starts(), starts + 2);
    for (const std::string& name : fixtures::FolderNames(work_.path()))
        EXPECT_EQ(name.rfind(".~lock", 0), std::string::npos) << name;
}

}  // namespace

namespace {

// Records what a save hook is told, reading the old and the new file through their descriptors.
struct RecordingHook : filesafe::SaveHook {
    std::string oldBytes, newBytes;
    std::vector<bool> outcomes;
    void BeforeReplace(const Replacing& r) override {
        oldBytes = Read(r.oldFd);
        newBytes = Read(r.newFd);
    }
    void AfterReplace(bool replaced) noexcept override { outcomes.push_back(replaced); }
    static std::string Read(int fd) {
        std::string bytes;
        char buf[4096];
        for (off_t at = 0;;) {
            const ssize_t n = ::pread(fd, buf, sizeof buf, at);
            if (n <= 0)
                return bytes;
            bytes.append(buf, static_cast<size_t>(n));
            at += n;
        }
    }
};

// The batch's journal keeps each original through the hook: the office's saves tell it too.
TEST_F(OfficeTest, SavesTellTheSaveHookWhatTheyReplace) {
    for (const Kind& k : kKinds) {
        RecordingHook hook;
        RealEngine hooked;
        word::office::Register(hooked.registry, *connection_, &hook);
        hooked.view.lines = QStringLiteral("Lead line");
        const std::string path = Copy(k, "hooked");
        const std::string before = fixtures::ReadFile(path);
        hooked.Run(engine::Mode::kFirstLine, path);
        EXPECT_EQ(hook.oldBytes, before) << k.ext;
        EXPECT_EQ(hook.newBytes, fixtures::ReadFile(path)) << k.ext;
        EXPECT_EQ(hook.outcomes, std::vector<bool>{true}) << k.ext;
    }
}

// Every writer's rules on the file hold for the office's documents too.

TEST_F(OfficeTest, AHardLinkedDocumentIsRefusedAndLeftAsItWas) {
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.ext);
        const std::string path = Copy(k, "linked");
        const std::string other = work_ / (std::string("other name.") + k.ext);
        ASSERT_EQ(::link(path.c_str(), other.c_str()), 0);
        const std::string original = fixtures::ReadFile(path);
        engine.sink.reports.clear();
        engine.Run(engine::Mode::kFirstLine, path);
        ASSERT_FALSE(engine.sink.reports.empty());
        EXPECT_NE(engine.sink.reports.front().find("hard links"), std::string::npos)
            << engine.sink.reports.front();
        EXPECT_EQ(fixtures::ReadFile(path), original);
        EXPECT_EQ(fixtures::ReadFile(other), original);
        ::unlink(other.c_str());
    }
}

// A file layer that notes whether a save began while the test still held the document's lock.
class SaveAfterRelease : public filesafe::FileLayer {
  public:
    explicit SaveAfterRelease(const std::atomic<bool>& released) : released_(released) {}
    int CreateTemp(const std::string& dir, std::string* name) override {
        saved = true;
        savedWhileHeld = savedWhileHeld || !released_;
        return FileLayer::CreateTemp(dir, name);
    }
    bool saved = false;
    bool savedWhileHeld = false;

  private:
    const std::atomic<bool>& released_;
};

// Another run's lock (taken here as a run takes it) is waited for: the run goes on once it is
// released, and finds the document busy when it is not released within the wait.
TEST_F(OfficeTest, AnotherRunsLockIsWaitedFor) {
    const std::string path = Copy(kKinds[0], "held");
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    std::atomic<bool> released{false};
    SaveAfterRelease layer(released);
    RealEngine waiting;
    word::office::Register(waiting.registry, *connection_, nullptr, nullptr, &layer);
    waiting.view.lines = QStringLiteral("Lead line");
    std::thread holder([&] {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        released = true;
        ::flock(fd, LOCK_UN);
    });
    waiting.Run(engine::Mode::kFirstLine, path);
    holder.join();
    ::close(fd);
    EXPECT_TRUE(waiting.sink.reports.empty()) << waiting.sink.reports.front();
    EXPECT_TRUE(layer.saved);
    EXPECT_FALSE(layer.savedWhileHeld);
    EXPECT_EQ(Text(path).rfind("Lead line\n", 0), 0u);

    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    const std::string before = fixtures::ReadFile(path);
    word::office::SaveRules rules;
    rules.lockWait = std::chrono::milliseconds(200);
    try {
        word::office::LoadDocument(TheOffice(), path, Format::WordBinary, rules);
        ADD_FAILURE() << "opened while another run held it";
    } catch (const word::Error& e) {
        EXPECT_NE(std::string(e.what()).find("another Lineforge run"), std::string::npos)
            << e.what();
    }
    ::close(fd);
    EXPECT_EQ(fixtures::ReadFile(path), before);
}

TEST_F(OfficeTest, AFailedWriteFlushOrRenameLeavesTheDocumentByteIdentical) {
    using fixtures::FailingLayer;
    struct Fault {
        const char* name;
        FailingLayer::Step step;
        int err;
    };
    const Fault faults[] = {{"write", FailingLayer::WriteStep, ENOSPC},
                            {"flush", FailingLayer::SyncStep, EIO},
                            {"rename", FailingLayer::RenameStep, EXDEV}};
    for (const Fault& f : faults) {
        for (const Kind& k : kKinds) {
            SCOPED_TRACE(std::string(f.name) + " " + k.ext);
            FailingLayer layer(f.step, f.err);
            RealEngine failing;
            word::office::Register(failing.registry, *connection_, nullptr, nullptr, &layer);
            failing.view.lines = QStringLiteral("Lead line");
            const std::string path = Copy(k, "faulty");
            const std::string original = fixtures::ReadFile(path);
            failing.Run(engine::Mode::kFirstLine, path);
            ASSERT_FALSE(failing.sink.reports.empty());
            EXPECT_NE(failing.sink.reports.front().find("Cannot save"), std::string::npos)
                << failing.sink.reports.front();
            EXPECT_EQ(fixtures::ReadFile(path), original);
            for (const std::string& name : fixtures::FolderNames(work_.path()))
                EXPECT_NE(name.rfind(".~", 0), 0u) << name;
        }
    }
}

}  // namespace
