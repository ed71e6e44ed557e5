// Measures the insertion run over many documents through the built-in engine: the resident set
// size while the run walks the list (it must not grow with the number of documents done), the
// peak, and the time per document, for the first-line and the before-x mode.
//
//   run_bench [documents=1000] [folder]

#include <sys/resource.h>
#include <unistd.h>
#include <zip.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "engine/InsertionRun.h"
#include "engine/Modes.h"
#include "word/Registry.h"
#include "word/builtin/Builtin.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const char* kWords[] = {"report", "quarter", "revenue", "team", "project", "delivery", "customer",
                        "budget", "review",  "plan",    "risk", "market",  "growth",   "summary"};
constexpr int kWordCount = sizeof(kWords) / sizeof(kWords[0]);

const std::string kNs =
    " xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\""
    " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";
const std::string kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

std::string Paragraph(std::mt19937& rng) {
    std::string text;
    for (int i = 0, n = 5 + static_cast<int>(rng() % 15); i < n; ++i)
        text += std::string(i ? " " : "") + kWords[rng() % kWordCount];
    return "<w:p><w:r><w:t xml:space=\"preserve\">" + text + ".</w:t></w:r></w:p>";
}

void Add(zip_t* z, const std::string& name, const std::string& data) {
    char* copy = static_cast<char*>(std::malloc(data.size()));
    std::copy(data.begin(), data.end(), copy);
    zip_source_t* src = zip_source_buffer(z, copy, data.size(), 1);
    zip_file_add(z, name.c_str(), src, 0);
}

// A document of 20-60 paragraphs with a header that also holds the marker words.
bool MakeDocument(const std::string& path, unsigned seed) {
    std::mt19937 rng(seed);
    std::string body;
    for (int p = 0, n = 20 + static_cast<int>(rng() % 40); p < n; ++p)
        body += Paragraph(rng);
    body += "<w:sectPr><w:headerReference w:type=\"default\" r:id=\"rId2\"/></w:sectPr>";
    int err = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!z)
        return false;
    Add(z, "[Content_Types].xml",
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Types "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" "
        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
        "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
        "<Override PartName=\"/word/header1.xml\" ContentType=\"application/"
        "vnd.openxmlformats-officedocument.wordprocessingml.header+xml\"/></Types>");
    Add(z, "_rels/.rels",
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"" +
            kRel + "officeDocument\" Target=\"word/document.xml\"/></Relationships>");
    Add(z, "word/document.xml",
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<w:document" + kNs +
            "><w:body>" + body + "</w:body></w:document>");
    Add(z, "word/header1.xml",
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<w:hdr" + kNs + ">" +
            Paragraph(rng) + "</w:hdr>");
    Add(z, "word/_rels/document.xml.rels",
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId2\" Type=\"" +
            kRel + "header\" Target=\"header1.xml\"/></Relationships>");
    return zip_close(z) == 0;
}

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

class VectorList : public intake::FileList {
  public:
    void Append(const QString& path) override { items_.push_back(path); }
    int Count() const override { return static_cast<int>(items_.size()); }
    QString Item(int i) const override {
        Check(i);
        return items_[i - 1];
    }
    void SetItem(int i, const QString& path) override {
        Check(i);
        items_[i - 1] = path;
    }
    bool IsListed(const QString& path) const override {
        for (const QString& p : items_)
            if (p == path)
                return true;
        return false;
    }
    void Remove(int i) override {
        Check(i);
        items_.erase(items_.begin() + (i - 1));
    }
    void Clear() override { items_.clear(); }
    int SelectedIndex() const override { return 0; }
    void Select(int) override {}
    void EnsureVisible(int) override {}
    quint64 EntryId(int i) const override {
        Check(i);
        return static_cast<quint64>(i);
    }
    int IndexOfEntry(quint64 id) const override {
        return id >= 1 && id <= items_.size() ? static_cast<int>(id) : 0;
    }

  private:
    void Check(int i) const {
        if (i < 1 || i > Count())
            throw runtime::Error(runtime::kIndexOutOfBounds, "Index out of bounds");
    }
    std::vector<QString> items_;
};

class Options : public engine::InsertOptionsView, public engine::ProgressView {
  public:
    QString ModeText() const override { return mode; }
    QString LinesText() const override { return QStringLiteral("Inserted line one\r\nline two"); }
    QString FontNameText() const override { return QStringLiteral("Arial"); }
    QString FontSizeText() const override { return QStringLiteral("12"); }
    void SetProgressValue(double) override {}
    void SetProgressText(const QString&) override {}
    QString mode;
};

class Boxes : public platform::Dialogs {
  public:
    int MsgBox(const QString& prompt, int, const QString&) override {
        if (prompt != QLatin1String("Done."))
            ++others;
        return platform::vbOK;
    }
    QString InputBox(const QString&, const QString&, const QString&) override {
        return QStringLiteral("report");
    }
    QString ShowOpen(const platform::OpenFileRequest&) override { return {}; }
    QString BrowseForFolder(const QString&, const QString&) override { return {}; }
    int others = 0;
};

class Reports : public runtime::ErrorSink {
  public:
    void ShowErrorReport(const std::string& message) override {
        if (++count == 1)
            std::fprintf(stderr, "first report: %s\n", message.c_str());
    }
    int count = 0;
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

void RunMode(const char* label, const QString& mode, const fs::path& folder, int documents,
             const word::Registry& registry) {
    VectorList list;
    for (int i = 0; i < documents; ++i) {
        const fs::path file = folder / ("doc" + std::to_string(i) + ".docx");
        if (!MakeDocument(file.string(), 7919u * static_cast<unsigned>(i) + 1)) {
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
    Reports reports;
    engine::InsertionRun run(
        engine::RunServices{list, options, options, pointer, events, dialogs, reports, registry});

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
                label, n, 1000.0 * seconds / std::max(n, 1), reports.count, dialogs.others);
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
    RunMode("first-line", engine::kModeFirstLine, folder / "first", documents,
            (fs::create_directories(folder / "first"), registry));
    RunMode("before-x", engine::kModeBeforeX, folder / "before", documents,
            (fs::create_directories(folder / "before"), registry));
    std::printf("peak RSS of the whole benchmark: %ld KiB\n", PeakRssKiB());
    fs::remove_all(folder);
    return 0;
}
