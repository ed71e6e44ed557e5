// The office backend over documents made from the corpus: a sample of it, each document
// written by the office as .doc, .rtf and .odt, every mode run on each. A document is either
// refused and left byte for byte as it was, or every story it holds, read back through the
// office's own export to .docx, has the text it had after the frame clean-up alone, with the
// lines added and nothing else.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <regex>
#include <set>
#include <string>

#include "PackageFixtures.h"
#include "RealEngine.h"
#include "TempDir.h"
#include "engine/ClearFrames.h"
#include "engine/Modes.h"
#include "word/office/Files.h"
#include "word/office/Office.h"
#include "word/office/Router.h"

namespace {

using testing_support::RealEngine;

// One document per feature the office handles on its own: notes, a text box, tracked
// deletions and insertions, tables, headers and footers, a frame in a footer, fields,
// OpenDocument and Word 97 originals. (A document with comments cannot be made here: the view
// the conversion opens ends the office.)
const char* const kSample[] = {
    "pandoc__docx_notes.docx",
    "pandoc__image_with_textbox_caption.docx",
    "pandoc__golden_track_changes_deletion.docx",
    "pandoc__paragraph_insertion_deletion.docx",
    "pandoc__tables.docx",
    "python-docx__hdr-header-footer.docx",
    "pandoc__0_level_headers.docx",
    "pandoc__empty_field.docx",
    "pandoc__table.odt",
    "poi__Bug48075.doc",
};

struct Kind {
    const char* ext;
    const char* filter;
};
const Kind kKinds[] = {{"doc", "MS Word 97"}, {"rtf", "Rich Text Format"}, {"odt", "writer8"}};

const engine::Mode kModes[] = {engine::Mode::kFirstLine, engine::Mode::kLastLine,
                               engine::Mode::kBeforeX, engine::Mode::kAfterX};
const char* const kLines[] = {"Inserted line one", "Inserted line two"};

// The characters of each part of the office's .docx of path that holds stories: the text of
// its runs (text boxes included, deleted text not), in document order.
std::map<std::string, std::string> StoryTexts(word::office::Office& office, const std::string& path,
                                              const std::string& docx) {
    word::office::ConvertDocument(office, path, docx, "MS Word 2007 XML");
    std::map<std::string, std::string> texts;
    const std::regex part(
        "word/(document|header\\d*|footer\\d*|footnotes|endnotes|comments)\\.xml"),
        t("<w:t(?: [^>]*)?>([^<]*)</w:t>");
    for (const auto& [name, entry] : fixtures::ReadZip(docx)) {
        if (!std::regex_match(name, part))
            continue;
        std::string& text = texts[name];
        for (std::sregex_iterator r(entry.data.begin(), entry.data.end(), t), end; r != end; ++r)
            text += (*r)[1];
    }
    return texts;
}

std::map<std::string, std::string> WithoutLines(std::map<std::string, std::string> texts) {
    for (auto& [part, text] : texts)
        for (const std::string line : kLines)
            for (size_t at; (at = text.find(line)) != std::string::npos;)
                text.erase(at, line.size());
    return texts;
}

// The texts by kind of story: the headers and the footers each as the set of their distinct
// texts, since the office writes a section's inherited header out as a copy of its own or
// not, depending on how the document came in.
std::map<std::string, std::set<std::string>> ByKind(
    const std::map<std::string, std::string>& texts) {
    std::map<std::string, std::set<std::string>> out;
    for (const auto& [part, text] : texts) {
        const std::string kind = part.rfind("word/header", 0) == 0   ? "headers"
                                 : part.rfind("word/footer", 0) == 0 ? "footers"
                                                                     : part;
        out[kind].insert(text);
    }
    return out;
}

TEST(OfficeCorpus, StoriesHoldTheirTextAndTheLinesOnly) {
    const QString corpus = testing_support::CorpusDir();
    if (corpus.isEmpty())
        GTEST_SKIP() << "LINEFORGE_CORPUS is not set or missing; corpus documents not checked";
    word::office::OfficeConnection connection;
    word::office::Office& office = *connection.Get();
    if (!office.Installed())
        GTEST_SKIP() << "LibreOffice is not installed";
    const auto started = std::chrono::steady_clock::now();
    fixtures::TempFolder dir;
    RealEngine engine;
    word::office::Register(engine.registry, connection);
    engine.view.lines = QString::fromStdString(std::string(kLines[0]) + "\r\n" + kLines[1]);
    int processed = 0, refused = 0;
    for (const char* name : kSample) {
        const std::string source = corpus.toStdString() + "/" + name;
        for (const Kind& k : kKinds) {
            const std::string made = dir / (std::string("made.") + k.ext);
            try {
                word::office::ConvertDocument(office, source, made, k.filter);
            } catch (const std::exception& e) {
                std::printf("[ not made ] %s as .%s: %s\n", name, k.ext, e.what());
                continue;
            }
            // The document as the frame clean-up alone leaves it.
            const std::string cleared = dir / (std::string("cleared.") + k.ext);
            fixtures::WriteFile(cleared, fixtures::ReadFile(made));
            {
                auto app = engine.registry.CreateObject("Word.Application");
                auto doc = app->Documents()->Open(cleared);
                Word1::ClearFrames(doc);
                if (!doc->Saved())
                    doc->SaveAs(cleared);
                app->Quit();
            }
            const auto expected = ByKind(StoryTexts(office, cleared, dir / "cleared.docx"));
            for (const engine::Mode mode : kModes) {
                SCOPED_TRACE(std::string(name) + " as ." + k.ext + ", mode " +
                             std::to_string(static_cast<int>(mode)));
                const std::string path = dir / (std::string("run.") + k.ext);
                const std::string original = fixtures::ReadFile(made);
                fixtures::WriteFile(path, original);
                engine.sink.reports.clear();
                engine.Run(mode, path, engine::NeedsX(mode) ? QStringLiteral("the") : QString());
                if (!engine.sink.reports.empty()) {
                    ++refused;
                    std::printf("[ refused  ] %s as .%s: %s\n", name, k.ext,
                                engine.sink.reports.front().c_str());
                    EXPECT_EQ(fixtures::ReadFile(path), original);
                    continue;
                }
                ++processed;
                EXPECT_EQ(ByKind(WithoutLines(StoryTexts(office, path, dir / "run.docx"))),
                          expected);
            }
        }
    }
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started)
            .count();
    std::printf("[ figures  ] %d runs processed, %d refused, %lld s\n", processed, refused,
                static_cast<long long>(seconds));
    EXPECT_GT(processed, refused);
}

}  // namespace
