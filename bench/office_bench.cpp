// Milliseconds per document in first-line mode for .doc, .rtf and .odt through the long-lived
// office, for .docx through the built-in engine (and after-x mode, "x" rows, for .docx and
// .doc, on the documents the first-line rows changed), and for one office process per document
// (soffice --convert-to of the same .doc); and the office's resident memory while it serves
// the documents.
//
//   office_bench [documents=200] [convert-runs=10]

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchDocuments.h"
#include "word/Registry.h"
#include "word/office/Files.h"
#include "word/office/Office.h"
#include "word/office/Router.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// A field of /proc/<pid>/status in KiB (VmRSS, VmHWM).
long StatusKiB(pid_t pid, const char* field) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    long value = 0;
    while (in >> key) {
        if (key == std::string(field) + ":") {
            in >> value;
            return value;
        }
        in.ignore(1 << 10, '\n');
    }
    return 0;
}

void FirstLine(const word::Registry& registry, const std::string& path) {
    auto wd = registry.CreateObject("Word.Application");
    auto doc = wd->Documents()->Open(path);
    if (doc->ProtectionType() != word::wdNoProtection)
        doc->Unprotect();
    (void)doc->Frames()->Count();
    auto sel = wd->ActiveDocument()->Application()->Selection();
    sel->Font()->Name("Arial");
    sel->Font()->Size("12");
    sel->TypeText("Inserted line one\r\nInserted line two");
    sel->TypeParagraph();
    wd->ActiveDocument()->SaveAs(path);
    wd->Quit();
}

// Every x (a word of the documents, in the body, the header and the footer) replaced by itself
// and the lines, through the steps of the procedure.
void AfterX(const word::Registry& registry, const std::string& path) {
    auto wd = registry.CreateObject("Word.Application");
    auto doc = wd->Documents()->Open(path);
    if (doc->ProtectionType() != word::wdNoProtection)
        doc->Unprotect();
    (void)doc->Frames()->Count();
    auto ranges = wd->ActiveDocument()->StoryRanges();
    for (long i = 1; i <= ranges->Count(); ++i) {
        auto f = ranges->Item(i)->Find();
        f->ClearFormatting();
        f->Replacement()->ClearFormatting();
        f->Text("budget");
        f->Replacement()->Text("budget\rInserted line");
        f->Format(true);
        f->MatchCase(false);
        f->Replacement()->Font()->Size("12");
        f->Replacement()->Font()->Name("Arial");
        f->Execute(word::wdReplaceAll);
    }
    wd->ActiveDocument()->SaveAs(path);
    wd->Quit();
}

struct Stats {
    double median = 0;
    double mean = 0;
};

Stats Summary(std::vector<double> ms) {
    Stats s;
    if (ms.empty())
        return s;
    std::sort(ms.begin(), ms.end());
    s.median = ms[ms.size() / 2];
    for (double v : ms)
        s.mean += v;
    s.mean /= static_cast<double>(ms.size());
    return s;
}

double ConvertOnce(const std::string& file, const std::string& outDir, const std::string& profile) {
    std::fflush(stdout);
    const auto t0 = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        freopen("/dev/null", "w", stdout);
        freopen("/dev/null", "w", stderr);
        const std::string env = "-env:UserInstallation=file://" + profile;
        execl("/usr/lib/libreoffice/program/soffice", "soffice", "--headless", env.c_str(),
              "--convert-to", "doc", "--outdir", outDir.c_str(), file.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return Ms(Clock::now() - t0);
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const int convertRuns = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
    const fs::path root = fs::temp_directory_path() / ("office_bench-" + std::to_string(getpid()));
    fs::create_directories(root / "source");

    word::office::OfficeConnection connection;
    word::office::Office& office = *connection.Get();
    word::Registry registry;
    word::office::Register(registry, connection);

    struct Kind {
        const char* ext;
        const char* filter;
        bool afterX;
    };
    const Kind kinds[] = {
        {"docx", "", false},       {"doc", "MS Word 97", false}, {"rtf", "Rich Text Format", false},
        {"odt", "writer8", false}, {"docx", "", true},           {"doc", "", true}};
    std::printf("making %d documents of each format...\n", count);
    for (int i = 0; i < count; ++i) {
        const std::string base = (root / "source" / ("d" + std::to_string(i))).string();
        benchdocs::MakeDocument(base + ".docx", 1000u + static_cast<unsigned>(i));
        for (const Kind& k : kinds)
            if (*k.filter)
                word::office::ConvertDocument(office, base + ".docx", base + "." + k.ext, k.filter);
    }
    std::printf("source .doc: %ju bytes\n",
                static_cast<std::uintmax_t>(fs::file_size(root / "source" / "d0.doc")));

    std::printf("\n%-8s %10s %10s %10s %14s\n", "format", "median ms", "mean ms", "failures",
                "office RSS MB");
    for (const Kind& k : kinds) {
        std::vector<double> ms;
        int failures = 0;
        long rssFirst = 0;
        for (int i = 0; i < count; ++i) {
            const std::string file =
                (root / "source" / ("d" + std::to_string(i) + "." + k.ext)).string();
            const auto t0 = Clock::now();
            try {
                if (k.afterX)
                    AfterX(registry, file);
                else
                    FirstLine(registry, file);
            } catch (const std::exception& e) {
                if (failures++ == 0)
                    std::printf("  %s: %s\n", file.c_str(), e.what());
            }
            ms.push_back(Ms(Clock::now() - t0));
            if (i == 9 && office.Pid())
                rssFirst = StatusKiB(office.Pid(), "VmRSS");
        }
        const Stats s = Summary(ms);
        const long rss = office.Pid() ? StatusKiB(office.Pid(), "VmRSS") : 0;
        std::printf("%-8s %10.1f %10.1f %10d %6.0f -> %5.0f\n",
                    (std::string(k.ext) + (k.afterX ? " x" : "")).c_str(), s.median, s.mean,
                    failures, rssFirst / 1024.0, rss / 1024.0);
    }
    if (office.Pid())
        std::printf("office peak RSS (VmHWM): %.0f MB, office starts: %d\n",
                    StatusKiB(office.Pid(), "VmHWM") / 1024.0, office.Starts());

    // One office process per document, as a script would do it.
    const std::string profile = (root / "convert-profile").string();
    ConvertOnce((root / "source" / "d0.doc").string(), (root / "out").string(), profile);
    std::vector<double> per;
    for (int i = 0; i < convertRuns && i < count; ++i)
        per.push_back(ConvertOnce((root / "source" / ("d" + std::to_string(i) + ".doc")).string(),
                                  (root / "out").string(), profile));
    const Stats c = Summary(per);
    std::printf("%-8s %10.1f %10.1f   (soffice --convert-to doc, one process per document)\n",
                "process", c.median, c.mean);
    fs::remove_all(root);
    return 0;
}
