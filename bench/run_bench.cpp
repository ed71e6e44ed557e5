// Measures the insertion run over many documents through the built-in engine: the resident set
// size while the run walks the list (it must not grow with the number of documents done), the
// peak, and the time per document, for the first-line and the before-x mode.
//
//   run_bench [documents=1000] [folder]

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchDocuments.h"
#include "engine/InsertionRun.h"
#include "engine/Modes.h"
#include "intake/MemoryFileList.h"
#include "platform/DialogErrorSink.h"
#include "word/Registry.h"
#include "word/builtin/Builtin.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Resident set size now, in KiB.
long CurrentRssKiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

long PeakRssKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

class Options : public engine::InsertOptionsView, public engine::ProgressView {
  public:
    std::optional<engine::Mode> ModeChoice() const override { return mode; }
    QString LinesText() const override { return QStringLiteral("Inserted line one\r\nline two"); }
    QString FontNameText() const override { return QStringLiteral("Arial"); }
    QString FontSizeText() const override { return QStringLiteral("12"); }
    void SetProgressValue(double) override {}
    void SetProgressText(const QString&) override {}
    engine::Mode mode = engine::Mode::kFirstLine;
};

class Boxes : public platform::Dialogs {
  public:
    int MsgBox(const QString& prompt, int, const QString& title) override {
        if (title == platform::kErrorReportTitle) {
            if (++reports == 1)
                std::fprintf(stderr, "first report: %s\n", qPrintable(prompt));
        } else if (!prompt.startsWith(QLatin1String("Done."))) {
            ++others;
        }
        return platform::vbOK;
    }
    QString InputBox(const QString&, const QString&, const QString&) override {
        return QString::fromLatin1(benchdocs::kMarker);
    }
    QString ShowOpen(const platform::OpenFileRequest&) override { return {}; }
    QString BrowseForFolder(const QString&, const QString&) override { return {}; }
    int reports = 0;
    int others = 0;
};

class Pointer : public platform::WindowPointer {
  public:
    int MousePointer() const override { return value; }
    void SetMousePointer(int v) override { value = v; }
    int value = 0;
};

// Samples the resident set size once per document (at its second yield).
class Sampler : public platform::EventLoop {
  public:
    void DoEvents() override {
        if (++yields % 2 == 0)
            rss.push_back(CurrentRssKiB());
    }
    int yields = 0;
    std::vector<long> rss;
};

void RunMode(const char* label, engine::Mode mode, const fs::path& folder, int documents,
             const word::Registry& registry) {
    intake::MemoryFileList list;
    for (int i = 0; i < documents; ++i) {
        const fs::path file = folder / ("doc" + std::to_string(i) + ".docx");
        if (!benchdocs::MakeDocument(file.string(), 7919u * static_cast<unsigned>(i) + 1)) {
            std::fprintf(stderr, "cannot write %s\n", file.c_str());
            std::exit(1);
        }
        list.Append(QString::fromStdString(file.string()));
    }
    Options options;
    options.mode = mode;
    Pointer pointer;
    Sampler events;
    Boxes dialogs;
    engine::InsertionRun run(
        engine::RunServices{list, options, options, pointer, events, dialogs, registry});

    const long before = CurrentRssKiB();
    const auto start = Clock::now();
    run.PushButton2_Click();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

    events.rss.push_back(CurrentRssKiB());
    // rss[k] is the resident set size with k documents done.
    auto done = [&](int k) { return events.rss.at(static_cast<size_t>(k)); };
    const int n = static_cast<int>(events.rss.size()) - 1;
    const int early = std::min(100, n);
    std::printf("%-10s %d documents, %.2f ms per document, %d error reports, %d other boxes\n",
                label, n, 1000.0 * seconds / std::max(n, 1), dialogs.reports, dialogs.others);
    std::printf(
        "%-10s RSS KiB: before the run %ld; with 1 done %ld, 10 done %ld, %d done %ld, "
        "%d done %ld; from %d to %d done: %+.3f KiB per document\n",
        label, before, done(std::min(1, n)), done(std::min(10, n)), early, done(early), n, done(n),
        early, n, n > early ? double(done(n) - done(early)) / (n - early) : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
    const int documents = argc > 1 ? std::atoi(argv[1]) : 1000;
    fs::path folder =
        argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path() / "lineforge-run-bench";
    fs::remove_all(folder);
    fs::create_directories(folder);

    word::Registry registry;
    word::builtin::Register(registry);
    RunMode("first-line", engine::Mode::kFirstLine, folder / "first", documents,
            (fs::create_directories(folder / "first"), registry));
    RunMode("before-x", engine::Mode::kBeforeX, folder / "before", documents,
            (fs::create_directories(folder / "before"), registry));
    std::printf("peak RSS of the whole benchmark: %ld KiB\n", PeakRssKiB());
    fs::remove_all(folder);
    return 0;
}
