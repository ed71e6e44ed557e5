#include "FuzzSupport.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "docx/Document.h"
#include "runtime/Error.h"
#include "word/Registry.h"
#include "word/Word.h"
#include "word/builtin/Builtin.h"

namespace lf_fuzz {
namespace {

ViolationHandler handler = nullptr;

// Memory-backed when the system has it: every input is written and saved a few times, and
// flushing to a disk would dominate the run.
std::string ScratchBase() {
    if (const char* env = std::getenv("LF_FUZZ_SCRATCH"); env && *env)
        return env;
    if (::access("/dev/shm", W_OK) == 0)
        return "/dev/shm";
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? tmp : "/tmp";
}

std::string MakeScratch() {
    std::string templ = ScratchBase() + "/lf-fuzz-XXXXXX";
    if (!::mkdtemp(templ.data())) {
        std::perror("mkdtemp");
        std::abort();
    }
    return templ;
}

void RemoveScratch();

// Never destroyed: the exit handler that removes the folder runs after static destructors.
const std::string& ScratchPath() {
    static const std::string* path = [] {
        auto* p = new std::string(MakeScratch());
        std::atexit(RemoveScratch);
        return p;
    }();
    return *path;
}

void RemoveScratch() {
    std::error_code ec;
    std::filesystem::remove_all(ScratchPath(), ec);
}

// Runs one step as a guarded line does: a raised error is recorded and false returned. The
// engine raises only its own errors; anything else escaping it is a fault.
bool Step(StepsOutcome& out, const char* label, const std::function<void()>& f) {
    try {
        f();
        return true;
    } catch (const runtime::Error& e) {
        out.errors.push_back(std::string(label) + ": " + std::to_string(e.Number()) + " " +
                             e.what());
        return false;
    } catch (const std::exception& e) {
        Violation(std::string("step ") + label + " raised a foreign exception: " + e.what());
    }
}

word::Ref<word::Application> NewWord(docx::FileLayer* layer) {
    word::Registry registry;
    docx::PackageLimits limits;
    limits.fileLayer = layer;
    word::builtin::Register(registry, limits);
    return registry.CreateObject("Word.Application");
}

// The protection check: unprotect when protected; true when the document stays protected (or
// the test itself fails).
bool StaysProtected(StepsOutcome& out, const word::Ref<word::Document>& doc) {
    bool prot = true;
    Step(out, "ProtectionType", [&] { prot = doc->ProtectionType() != word::wdNoProtection; });
    if (prot)
        Step(out, "Unprotect", [&] { doc->Unprotect(); });
    bool still = true;
    Step(out, "ProtectionType", [&] { still = doc->ProtectionType() != word::wdNoProtection; });
    if (still)
        Step(out, "Name", [&] { (void)doc->Name(); });
    return still;
}

void ClearFrames(const word::Ref<word::Document>& doc) {
    long count = doc->Frames()->Count();
    // Every pass removes or unwraps one frame; a frame that stays ends the loop.
    for (long guard = 0; count != 0 && guard < 100000; ++guard) {
        word::Ref<word::Frame> frame = doc->Frames()->Item(1);
        if (frame->Range()->Information(word::wdWithInTable))
            frame->Range()->Tables()->Item(1)->Rows()->WrapAroundText(false);
        else
            frame->Delete();
        const long after = doc->Frames()->Count();
        if (after >= count)
            break;
        count = after;
    }
}

word::Ref<word::Selection> SelectionOf(const word::Ref<word::Application>& wd) {
    return wd->ActiveDocument()->Application()->Selection();
}

void Save(StepsOutcome& out, const word::Ref<word::Application>& wd, const std::string& path) {
    if (Step(out, "SaveAs", [&] { wd->ActiveDocument()->SaveAs(path); }))
        out.saved = true;
    else
        out.saveFailed = true;
}

template <class Body>
StepsOutcome WithDocument(const std::string& path, Body&& body, docx::FileLayer* layer = nullptr) {
    StepsOutcome out;
    word::Ref<word::Application> wd;
    word::Ref<word::Document> doc;
    Step(out, "CreateObject", [&] { wd = NewWord(layer); });
    out.opened = Step(out, "Open", [&] { doc = wd->Documents()->Open(path); });
    if (!StaysProtected(out, doc)) {
        Step(out, "ClearFrames", [&] { ClearFrames(doc); });
        body(out, wd, doc);
    }
    Step(out, "Quit", [&] { wd->Quit(); });
    return out;
}

void ReplaceInStories(StepsOutcome& out, const word::Ref<word::Application>& wd,
                      const std::string& findText, const std::string& replacementText,
                      const std::string& fontName, const std::string& fontSize, bool* sound) {
    word::Ref<word::StoryRanges> ranges;
    long count = 0;
    if (!Step(out, "StoryRanges", [&] {
            ranges = wd->ActiveDocument()->StoryRanges();
            count = ranges->Count();
        })) {
        *sound = false;
        return;
    }
    for (long i = 1; *sound && i <= count; ++i) {
        word::Ref<word::Range> r;
        word::Ref<word::Find> f;
        if (!Step(out, "StoryRanges.Item", [&] { r = ranges->Item(i); }) ||
            !Step(out, "Find", [&] { f = r->Find(); })) {
            *sound = false;
            break;
        }
        Step(out, "ClearFormatting", [&] { f->ClearFormatting(); });
        Step(out, "Replacement.ClearFormatting", [&] { f->Replacement()->ClearFormatting(); });
        if (!Step(out, "Find.Text", [&] { f->Text(findText); }) ||
            !Step(out, "Replacement.Text", [&] { f->Replacement()->Text(replacementText); })) {
            *sound = false;
            break;
        }
        Step(out, "Forward", [&] { f->Forward(true); });
        Step(out, "Wrap", [&] { f->Wrap(word::wdFindContinue); });
        Step(out, "Format", [&] { f->Format(true); });
        Step(out, "MatchCase", [&] { f->MatchCase(false); });
        Step(out, "MatchWholeWord", [&] { f->MatchWholeWord(false); });
        Step(out, "MatchWildcards", [&] { f->MatchWildcards(false); });
        Step(out, "MatchSoundsLike", [&] { f->MatchSoundsLike(false); });
        Step(out, "MatchAllWordForms", [&] { f->MatchAllWordForms(false); });
        Step(out, "Replacement.Font.Size", [&] { f->Replacement()->Font()->Size(fontSize); });
        Step(out, "Replacement.Font.Name", [&] { f->Replacement()->Font()->Name(fontName); });
        f.Reset();
        Step(out, "Execute", [&] {
            if (r->Find()->Execute(word::wdReplaceAll))
                ++out.replacements;
        });
    }
}

}  // namespace

void Violation(const std::string& what) {
    if (handler)
        handler(what);
    std::fprintf(stderr, "lineforge invariant broken: %s\n", what.c_str());
    std::abort();
}

void SetViolationHandler(ViolationHandler h) {
    handler = h;
}

const std::string& ScratchDir() {
    return ScratchPath();
}

std::string WriteScratch(const std::string& name, std::string_view bytes) {
    const std::string path = ScratchDir() + "/" + name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        Violation("cannot write the scratch file " + path);
    return path;
}

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> FolderNames(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (struct dirent* e = ::readdir(d)) {
            const std::string n = e->d_name;
            if (n != "." && n != "..")
                names.push_back(n);
        }
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

StepsOutcome InsertAtStart(const std::string& path, const Insertion& ins) {
    return WithDocument(
        path,
        [&](StepsOutcome& out, const word::Ref<word::Application>& wd,
            const word::Ref<word::Document>&) {
            Step(out, "Font.Name", [&] { SelectionOf(wd)->Font()->Name(ins.fontName); });
            Step(out, "Font.Size", [&] { SelectionOf(wd)->Font()->Size(ins.fontSize); });
            const bool typed =
                Step(out, "TypeText", [&] { SelectionOf(wd)->TypeText(ins.lines); }) &&
                Step(out, "TypeParagraph", [&] { SelectionOf(wd)->TypeParagraph(); });
            if (typed)
                Save(out, wd, path);
        },
        ins.fileLayer);
}

StepsOutcome InsertAtEnd(const std::string& path, const Insertion& ins) {
    return WithDocument(
        path,
        [&](StepsOutcome& out, const word::Ref<word::Application>& wd,
            const word::Ref<word::Document>&) {
            if (!Step(out, "EndKey", [&] { SelectionOf(wd)->EndKey(word::wdStory); }))
                return;
            Step(out, "Font.Name", [&] { SelectionOf(wd)->Font()->Name(ins.fontName); });
            Step(out, "Font.Size", [&] { SelectionOf(wd)->Font()->Size(ins.fontSize); });
            const bool typed =
                Step(out, "TypeParagraph", [&] { SelectionOf(wd)->TypeParagraph(); }) &&
                Step(out, "TypeText", [&] { SelectionOf(wd)->TypeText(ins.lines); });
            if (typed)
                Save(out, wd, path);
        },
        ins.fileLayer);
}

StepsOutcome ReplaceEverywhere(const std::string& path, const std::string& findText,
                               const std::string& replacementText, const std::string& fontName,
                               const std::string& fontSize) {
    return WithDocument(path, [&](StepsOutcome& out, const word::Ref<word::Application>& wd,
                                  const word::Ref<word::Document>&) {
        bool sound = true;
        ReplaceInStories(out, wd, findText, replacementText, fontName, fontSize, &sound);
        if (sound)
            Save(out, wd, path);
    });
}

StepsOutcome WalkEveryMember(const std::string& path) {
    return WithDocument(path, [&](StepsOutcome& out, const word::Ref<word::Application>& wd,
                                  const word::Ref<word::Document>& doc) {
        Step(out, "Name", [&] { (void)doc->Name(); });
        Step(out, "Font.Name", [&] { SelectionOf(wd)->Font()->Name("Liberation Serif"); });
        Step(out, "Font.Size", [&] { SelectionOf(wd)->Font()->Size("10.5"); });
        bool typed = Step(out, "TypeText", [&] { SelectionOf(wd)->TypeText("First\tline\r\n"); }) &&
                     Step(out, "TypeParagraph", [&] { SelectionOf(wd)->TypeParagraph(); });
        typed = typed && Step(out, "EndKey", [&] { SelectionOf(wd)->EndKey(word::wdStory); }) &&
                Step(out, "TypeParagraph", [&] { SelectionOf(wd)->TypeParagraph(); }) &&
                Step(out, "TypeText", [&] { SelectionOf(wd)->TypeText("Last line"); });
        if (!typed)
            return;
        Save(out, wd, path);
        bool sound = true;
        ReplaceInStories(out, wd, "e", "^&E", "Courier New", "9", &sound);
        if (sound)
            Save(out, wd, path);
    });
}

PreparedDocument PrepareDocument(std::string_view bytes) {
    PreparedDocument doc;
    std::error_code ec;
    std::filesystem::remove_all(ScratchDir() + "/doc", ec);
    doc.path = WriteScratch("doc/Fuzz document.docx", bytes);
    doc.before = std::string(bytes);
    doc.names = FolderNames(ScratchDir() + "/doc");
    return doc;
}

void CheckAfterSteps(const std::string& path, const std::string& before,
                     const std::vector<std::string>& namesBefore, const StepsOutcome& outcome) {
    const std::string dir = path.substr(0, path.find_last_of('/'));
    const std::vector<std::string> names = FolderNames(dir);
    if (names != namesBefore) {
        std::string list;
        for (const auto& n : names)
            list += " \"" + n + "\"";
        Violation("the folder holds other names after the steps:" + list);
    }
    const std::string after = ReadWhole(path);
    if (!outcome.saved) {
        if (after != before)
            Violation("a document that was not saved changed on disk");
        return;
    }
    try {
        docx::Document::Open(path);
    } catch (const std::exception& e) {
        Violation(std::string("a saved document does not open again: ") + e.what());
    }
    const validator::ValidationReport afterReport = validator::ValidatePackage(path);
    if (afterReport.Ok())
        return;
    // Defects the original already had may stay.
    const std::string original = WriteScratch("original/Fuzz document.docx", before);
    const validator::ValidationReport beforeReport = validator::ValidatePackage(original);
    const auto added = validator::NewDefects(beforeReport, afterReport);
    if (!added.empty()) {
        validator::ValidationReport r{added};
        Violation("the save added defects to the package:\n" + r.Describe());
    }
}

}  // namespace lf_fuzz
