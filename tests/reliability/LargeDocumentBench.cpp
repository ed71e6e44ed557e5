// Time and peak memory of the program's steps on genuinely large documents (main parts of
// 12.5 to 100 MB of ordinary text), to show that the work grows linearly with the size and the
// memory stays a small multiple of it. Prints figures; asserts nothing.
//
//   lf_large_document_bench [FOLDER]      (FOLDER for the generated documents, default /tmp)

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "RawZip.h"
#include "TestPackages.h"
#include "docx/model/Document.h"

namespace {

// A main part of about bytes of prose: random words from a small vocabulary in paragraphs of
// varying length, one in a hundred holding the marker "zqx", so that it compresses like real
// text (a few times, far from the ratio the engine takes for a zip bomb).
std::string LargeMainXml(size_t bytes) {
    static const char* const words[] = {
        "the",     "report",   "annual",  "figures", "of",      "and",     "customer", "service",
        "quality", "increase", "market",  "share",   "during",  "quarter", "results",  "team",
        "project", "budget",   "meeting", "review",  "product", "revenue", "growth",   "plan",
        "office",  "contract", "policy",  "summary", "details", "notes",   "page",     "section"};
    std::mt19937 rng(42);
    std::string body;
    body.reserve(bytes + 4096);
    for (size_t p = 0; body.size() < bytes; ++p) {
        body += "<w:p><w:r><w:t xml:space=\"preserve\">";
        const int n = 20 + static_cast<int>(rng() % 60);
        for (int i = 0; i < n; ++i) {
            body += words[rng() % (sizeof words / sizeof *words)];
            body += (rng() % 9 == 0) ? ", " : " ";
        }
        if (p % 100 == 0)
            body += "zqx ";
        body += std::to_string(p) + ".</w:t></w:r></w:p>";
    }
    return reliability::MainXml(body);
}

struct Measure {
    double seconds = 0;
    double cpuSeconds = 0;
    long peakKb = 0;
    int status = 0;
};

// Runs this program again as "--one MODE PATH" in a fresh process and measures it.
Measure RunOne(const char* self, const std::string& mode, const std::string& path) {
    Measure m;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execl(self, self, "--one", mode.c_str(), path.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.peakKb = usage.ru_maxrss;
    m.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    m.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return m;
}

int One(const std::string& mode, const std::string& path) {
    lf_fuzz::StepsOutcome out;
    if (mode == "open") {
        auto doc = docx::Document::Open(path);
        return doc->Body() ? 0 : 1;
    }
    if (mode == "first-line")
        out = lf_fuzz::InsertAtStart(path, {"Inserted line", "Arial", "12"});
    else if (mode == "last-line")
        out = lf_fuzz::InsertAtEnd(path, {"Inserted line", "Arial", "12"});
    else if (mode == "before-x")
        out = lf_fuzz::RunProcedure(engine::Mode::kBeforeX, path, {"Inserted line", "Arial", "12"},
                                    "zqx");
    for (const auto& e : out.errors)
        std::fprintf(stderr, "%s\n", e.c_str());
    return out.saved ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--one") == 0)
        return One(argv[2], argv[3]);
    const std::string folder = argc > 1 ? argv[1] : "/tmp";
    const std::string path = folder + "/lf-large-document.docx";
    std::printf("%-10s %8s %8s %8s %8s %10s %8s %8s %7s\n", "mode", "main MB", "file MB", "wall s",
                "cpu s", "cpu s/MB", "peak MB", "x main", "status");
    for (size_t mb : {12u, 25u, 50u, 100u}) {
        const size_t mainBytes = mb == 12u ? (25u << 20) / 2 : mb << 20;
        {
            const std::string main = LargeMainXml(mainBytes);
            reliability::WriteFile(
                path, testzip::BuildZip(reliability::Entries("word/document.xml", main)));
        }
        const double fileMb = static_cast<double>(lf_fuzz::ReadWhole(path).size()) / (1 << 20);
        const double mainMb = static_cast<double>(mainBytes) / (1 << 20);
        const std::string pristine = lf_fuzz::ReadWhole(path);
        for (const char* mode : {"open", "first-line", "last-line", "before-x"}) {
            reliability::WriteFile(path, pristine);
            const Measure m = RunOne(argv[0], mode, path);
            const double peakMb = static_cast<double>(m.peakKb) / 1024;
            std::printf("%-10s %8.1f %8.1f %8.2f %8.2f %10.3f %8.1f %8.2f %7d\n", mode, mainMb,
                        fileMb, m.seconds, m.cpuSeconds, m.cpuSeconds / mainMb, peakMb,
                        peakMb / mainMb, m.status);
            std::fflush(stdout);
        }
    }
    ::unlink(path.c_str());
    return 0;
}
