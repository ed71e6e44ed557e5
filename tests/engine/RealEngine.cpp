#include "RealEngine.h"

#include <cctype>
#include <sstream>

#include "PackageFixtures.h"
#include "docx/find/TextStream.h"
#include "docx/model/Document.h"
#include "docx/model/Protection.h"
#include "docx/model/Stories.h"
#include "engine/InsertIntoDocument.h"
#include "word/builtin/Builtin.h"

namespace testing_support {

RealEngine::RealEngine() {
    word::builtin::Register(registry);
}

engine::DocumentOutcome RealEngine::Run(engine::Mode mode, const std::string& path,
                                        const QString& x) {
    return engine::InsertIntoDocument(context, mode, QString::fromStdString(path), x);
}

std::map<long, std::string> StoryTexts(const std::string& path) {
    auto doc = docx::Document::Open(path);
    std::map<long, std::string> out;
    for (const docx::Story& story : docx::CollectStories(*doc)) {
        std::string text;
        for (pugi::xml_node root : story.roots)
            text += docx::StoryText(doc->Names(story.part), root);
        out[story.type] = text;
    }
    return out;
}

std::string MainText(const std::string& path) {
    return StoryTexts(path)[docx::kMainTextStory];
}

std::map<std::string, std::string> EntryData(const std::string& path) {
    std::map<std::string, std::string> out;
    for (auto& [name, entry] : fixtures::ReadZip(path))
        out[name] = entry.data;
    return out;
}

std::vector<std::string> StoryParts(const std::string& path) {
    auto doc = docx::Document::Open(path);
    std::vector<std::string> out;
    for (const docx::Story& story : docx::CollectStories(*doc))
        out.push_back(story.part);
    return out;
}

std::string SettingsPart(const std::string& path) {
    return docx::Document::Open(path)->RelatedPart("settings");
}

bool Openable(const std::string& path) {
    try {
        auto doc = docx::Document::Open(path);
        docx::CollectStories(*doc);
        return true;
    } catch (...) {
        return false;
    }
}

long Protection(const std::string& path) {
    auto doc = docx::Document::Open(path);
    return docx::ProtectionType(*doc);
}

bool HasPassword(const std::string& path) {
    auto doc = docx::Document::Open(path);
    return docx::ProtectionHasPassword(*doc);
}

int CountNoCase(const std::string& hay, const std::string& needle) {
    if (needle.empty())
        return 0;
    auto lower = [](std::string s) {
        for (char& c : s)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    const std::string h = lower(hay), n = lower(needle);
    int count = 0;
    for (size_t at = h.find(n); at != std::string::npos; at = h.find(n, at + n.size()))
        ++count;
    return count;
}

std::string RunPropertiesOf(const std::string& path, const std::string& text) {
    auto doc = docx::Document::Open(path);
    pugi::xml_node found;
    for (pugi::xpath_node t : doc->MainXml().select_nodes("//*[local-name()='t']")) {
        if (std::string(t.node().child_value()) == text) {
            found = t.node().parent();
            break;
        }
    }
    if (!found)
        return "(no run holds \"" + text + "\")";
    std::ostringstream out;
    for (pugi::xml_node c : found.children())
        if (std::string(c.name()).ends_with("rPr"))
            c.print(out, "", pugi::format_raw);
    return out.str();
}

}  // namespace testing_support
