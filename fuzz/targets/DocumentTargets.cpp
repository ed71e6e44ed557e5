#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "PartSet.h"
#include "Targets.h"
#include "docx/model/Document.h"

namespace lf_fuzz {
namespace {

std::string Chunk(const std::vector<std::string_view>& chunks, size_t i) {
    return i < chunks.size() ? std::string(chunks[i]) : std::string();
}

bool PlainText(std::string_view s) {
    if (s.empty() || s.size() > 200)
        return false;
    for (char c : s)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    return true;
}

// A saved insertion of plain text must put that text in the main part.
void CheckTyped(const std::string& path, const std::string& text, const StepsOutcome& out) {
    if (!out.saved || !PlainText(text))
        return;
    auto doc = docx::Document::Open(path);
    const std::string main = doc->package().ReadBytes(doc->MainPartName());
    if (main.find(text) == std::string::npos)
        Violation("the typed text \"" + text + "\" is not in the saved main part");
}

}  // namespace

int FuzzOpenPackage(const std::uint8_t* data, size_t size) {
    RunOnBytes(std::string_view(reinterpret_cast<const char*>(data), size), WalkEveryMember);
    return 0;
}

int FuzzPackageParts(const std::uint8_t* data, size_t size) {
    std::vector<PartSpec> parts;
    if (!ParseParts(SplitChunks(data, size), 0, &parts))
        return 0;
    RunOnBytes(BuildPackage(parts), WalkEveryMember);
    return 0;
}

int FuzzFindReplace(const std::uint8_t* data, size_t size) {
    const auto chunks = SplitChunks(data, size);
    std::vector<PartSpec> parts;
    if (chunks.size() < 3 || !ParseParts(chunks, 2, &parts))
        return 0;
    const std::string findText = Chunk(chunks, 0);
    Insertion ins;
    ins.lines = Chunk(chunks, 1);
    RunOnBytes(BuildPackage(parts), [&](const std::string& path) {
        return RunProcedure(engine::Mode::kBeforeX, path, ins, findText);
    });
    return 0;
}

int FuzzTypeText(const std::uint8_t* data, size_t size) {
    const auto chunks = SplitChunks(data, size);
    std::vector<PartSpec> parts;
    if (chunks.size() < 4 || !ParseParts(chunks, 3, &parts))
        return 0;
    Insertion ins;
    ins.lines = Chunk(chunks, 0);
    ins.fontName = Chunk(chunks, 1);
    ins.fontSize = Chunk(chunks, 2);
    std::string path;
    StepsOutcome first = RunOnBytes(BuildPackage(parts), [&](const std::string& p) {
        path = p;
        return InsertAtStart(p, ins);
    });
    CheckTyped(path, ins.lines, first);
    const std::string afterFirst = ReadWhole(path);
    StepsOutcome second = RunOnBytes(afterFirst, [&](const std::string& p) {
        path = p;
        return InsertAtEnd(p, ins);
    });
    CheckTyped(path, ins.lines, second);
    return 0;
}

}  // namespace lf_fuzz
