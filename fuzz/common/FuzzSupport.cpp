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
#include <optional>
#include <sstream>

#include "batch/BatchView.h"
#include "docx/model/Document.h"
#include "engine/InsertIntoDocument.h"
#include "platform/Dialogs.h"
#include "runtime/Error.h"
#include "word/Registry.h"
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

// The built-in engine; its saves go through layer (the real file operations when null).
word::Registry Engine(filesafe::FileLayer* layer) {
    word::Registry registry;
    docx::PackageLimits limits;
    limits.fileLayer = layer;
    word::builtin::Register(registry, limits);
    return registry;
}

// The boxes of a procedure: the protection message is taken and answered with OK.
class Boxes : public platform::Dialogs {
  public:
    int MsgBox(const QString&, int, const QString&) override { return platform::vbOK; }
    QString InputBox(const QString&, const QString&, const QString&) override { return {}; }
    QString ShowOpen(const platform::OpenFileRequest&) override { return {}; }
    QString BrowseForFolder(const QString&, const QString&) override { return {}; }
};

// The reports are read from the procedure's outcome.
class Quiet : public runtime::ErrorSink {
  public:
    void ShowErrorReport(const std::string&) override {}
};

// The label of the document's open in every procedure.
constexpr int kOpenLabel = 102;

}  // namespace

StepsOutcome RunProcedure(engine::Mode mode, const std::string& path, const Insertion& ins,
                          const std::string& x) {
    Boxes boxes;
    Quiet quiet;
    batch::BatchView options(mode, QString::fromStdString(ins.lines),
                             QString::fromStdString(ins.fontName),
                             QString::fromStdString(ins.fontSize));
    const word::Registry registry = Engine(ins.fileLayer);
    const engine::InsertContext context{registry, boxes, quiet, options};
    const engine::DocumentOutcome done = engine::InsertIntoDocument(
        context, mode, QString::fromStdString(path), QString::fromStdString(x));
    StepsOutcome out;
    out.opened = true;
    out.saved = done.saved;
    if (engine::NeedsX(mode))
        out.replacements = done.insertions;
    for (const runtime::Failure& f : done.failures) {
        // The engine raises only its own errors; anything else reaching a handler is a fault.
        if (f.number == 0)
            Violation("line " + std::to_string(f.label) +
                      " raised a foreign exception: " + f.description);
        if (f.label == kOpenLabel)
            out.opened = false;
        out.errors.push_back(std::to_string(f.label) + ": " + std::to_string(f.number) + " " +
                             f.description);
    }
    return out;
}

StepsOutcome InsertAtStart(const std::string& path, const Insertion& ins) {
    return RunProcedure(engine::Mode::kFirstLine, path, ins);
}

StepsOutcome InsertAtEnd(const std::string& path, const Insertion& ins) {
    return RunProcedure(engine::Mode::kLastLine, path, ins);
}

StepsOutcome WalkEveryMember(const std::string& path) {
    StepsOutcome all;
    all.opened = true;
    const Insertion ins{"First\tline\r\nLast line", "Liberation Serif", "10.5"};
    for (const engine::Mode mode :
         {engine::Mode::kFirstLine, engine::Mode::kLastLine, engine::Mode::kAfterX}) {
        const StepsOutcome one = RunProcedure(mode, path, ins, "e");
        all.opened = all.opened && one.opened;
        all.saved = all.saved || one.saved;
        all.replacements += one.replacements;
        all.errors.insert(all.errors.end(), one.errors.begin(), one.errors.end());
    }
    return all;
}

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
