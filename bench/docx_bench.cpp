// Measures the built-in engine on a reproducible set of documents: the first-line and last-line
// sequences (open, protection check, frame count, font, type, save, quit) and the before-x and
// after-x sequences (open, protection check, frame count, one replace-all per story range, save,
// quit) per document, beside
// plain file copies and beside the floor of any engine that keeps unchanged entries: copying
// every zip entry raw and re-deflating only the main part.
//
//   docx_bench [documents=300] [folder]

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "BenchDocuments.h"
#include "word/Registry.h"
#include "word/builtin/Builtin.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

using benchdocs::MakeDocument;

struct Stats {
    double mean = 0, median = 0, p95 = 0;
};

Stats Measure(const std::vector<std::string>& files,
              const std::function<void(const std::string&)>& op) {
    std::vector<double> ms;
    for (const auto& f : files) {
        auto t0 = Clock::now();
        op(f);
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    Stats s;
    for (double v : ms)
        s.mean += v / static_cast<double>(ms.size());
    s.median = ms[ms.size() / 2];
    s.p95 = ms[std::min(ms.size() - 1, ms.size() * 95 / 100)];
    return s;
}

void CopyFile(const std::string& from, const std::string& to, bool sync) {
    int in = ::open(from.c_str(), O_RDONLY);
    int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    char buf[65536];
    ssize_t n;
    while ((n = ::read(in, buf, sizeof buf)) > 0)
        (void)!::write(out, buf, static_cast<size_t>(n));
    if (sync)
        ::fsync(out);
    ::close(in);
    ::close(out);
}

// The floor for an engine that rewrites only the main part.
void RawCopyRedeflateMain(const std::string& path) {
    int err = 0;
    zip_t* z = zip_open(path.c_str(), 0, &err);
    zip_int64_t idx = zip_name_locate(z, "word/document.xml", 0);
    zip_stat_t st;
    zip_stat_index(z, static_cast<zip_uint64_t>(idx), 0, &st);
    char* data = static_cast<char*>(malloc(st.size));
    zip_file_t* f = zip_fopen_index(z, static_cast<zip_uint64_t>(idx), 0);
    zip_fread(f, data, st.size);
    zip_fclose(f);
    zip_source_t* src = zip_source_buffer(z, data, st.size, 1);
    zip_file_replace(z, static_cast<zip_uint64_t>(idx), src, 0);
    zip_set_file_compression(z, static_cast<zip_uint64_t>(idx), ZIP_CM_DEFLATE, 0);
    zip_close(z);
}

void RawCopyRedeflateMainAndFlush(const std::string& path) {
    RawCopyRedeflateMain(path);
    int fd = ::open(path.c_str(), O_RDONLY);
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
    const fs::path root =
        argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path() / "lineforge-docx-bench";
    fs::remove_all(root);
    const std::vector<std::string> modes = {"source", "copy", "copysync", "floor", "floorsync",
                                            "first",  "last", "before",   "after"};
    for (const auto& m : modes)
        fs::create_directories(root / m);

    std::vector<std::string> names;
    std::uintmax_t bytes = 0;
    for (int i = 0; i < count; ++i) {
        const std::string name = "doc" + std::to_string(i) + ".docx";
        MakeDocument((root / "source" / name).string(), 1000u + static_cast<unsigned>(i));
        bytes += fs::file_size(root / "source" / name);
        names.push_back(name);
        for (const char* m : {"floor", "floorsync", "first", "last", "before", "after"})
            fs::copy_file(root / "source" / name, root / m / name);
    }
    auto in = [&](const char* mode) {
        std::vector<std::string> files;
        for (const auto& n : names)
            files.push_back((root / mode / n).string());
        return files;
    };

    word::Registry registry;
    word::builtin::Register(registry);
    auto sequence = [&](const std::string& path, bool first) {
        auto wd = registry.CreateObject("Word.Application");
        auto doc = wd->Documents()->Open(path);
        if (doc->ProtectionType() != word::wdNoProtection)
            doc->Unprotect();
        (void)doc->Frames()->Count();
        auto sel = wd->ActiveDocument()->Application()->Selection();
        if (!first)
            sel->EndKey(word::wdStory);
        sel->Font()->Name("Arial");
        sel->Font()->Size("12");
        if (first) {
            sel->TypeText("Inserted line one\r\nInserted line two");
            sel->TypeParagraph();
        } else {
            sel->TypeParagraph();
            sel->TypeText("Inserted line one\r\nInserted line two");
        }
        wd->ActiveDocument()->SaveAs(path);
        wd->Quit();
    };

    // ReplaceByFileXY's steps: every x (a word of the documents, in the body, the header and the
    // footer) replaced by the lines and x, story range by story range, the count read again each
    // time.
    auto around = [&](const std::string& path, bool before) {
        const std::string x = "budget";
        const std::string lines = "Inserted line one\r\nInserted line two";
        const std::string replacement = before ? lines + "\r^&" : "^&\r" + lines;
        auto wd = registry.CreateObject("Word.Application");
        auto doc = wd->Documents()->Open(path);
        if (doc->ProtectionType() != word::wdNoProtection)
            doc->Unprotect();
        (void)doc->Frames()->Count();
        auto ranges = wd->ActiveDocument()->StoryRanges();
        for (long i = 1; i <= ranges->Count(); ++i) {
            auto r = ranges->Item(i);
            (void)wd->ActiveDocument()->StoryRanges()->Count();
            auto f = r->Find();
            f->ClearFormatting();
            f->Replacement()->ClearFormatting();
            f->Text(x);
            f->Replacement()->Text(replacement);
            f->Forward(true);
            f->Wrap(word::wdFindContinue);
            f->Format(true);
            f->MatchCase(false);
            f->MatchWholeWord(false);
            f->MatchWildcards(false);
            f->MatchSoundsLike(false);
            f->MatchAllWordForms(false);
            f->Replacement()->Font()->Size("12");
            f->Replacement()->Font()->Name("Arial");
            r->Find()->Execute(word::wdReplaceAll);
        }
        wd->ActiveDocument()->SaveAs(path);
        wd->Quit();
    };

    const Stats copy = Measure(in("source"), [&](const std::string& f) {
        CopyFile(f, (root / "copy" / fs::path(f).filename()).string(), false);
    });
    const Stats copySync = Measure(in("source"), [&](const std::string& f) {
        CopyFile(f, (root / "copysync" / fs::path(f).filename()).string(), true);
    });
    const Stats floor = Measure(in("floor"), RawCopyRedeflateMain);
    const Stats floorSync = Measure(in("floorsync"), RawCopyRedeflateMainAndFlush);
    const Stats first = Measure(in("first"), [&](const std::string& f) { sequence(f, true); });
    const Stats last = Measure(in("last"), [&](const std::string& f) { sequence(f, false); });
    const Stats beforeX = Measure(in("before"), [&](const std::string& f) { around(f, true); });
    const Stats afterX = Measure(in("after"), [&](const std::string& f) { around(f, false); });

    std::printf("%d documents, %.1f KB on average, in %s\n", count,
                static_cast<double>(bytes) / count / 1024.0, root.c_str());
    std::printf("%-44s %9s %9s %9s\n", "per document (ms)", "mean", "median", "p95");
    auto row = [](const char* what, const Stats& s) {
        std::printf("%-44s %9.3f %9.3f %9.3f\n", what, s.mean, s.median, s.p95);
    };
    row("copy the file", copy);
    row("copy the file and flush it to disk", copySync);
    row("raw-copy entries, re-deflate main part", floor);
    row("the same, flushed to disk", floorSync);
    row("first-line sequence (open..save, quit)", first);
    row("last-line sequence (open..save, quit)", last);
    row("before-x sequence (replace in every story)", beforeX);
    row("after-x sequence (replace in every story)", afterX);
    std::printf("first-line / flushed floor: %.2fx   last-line / flushed floor: %.2fx\n",
                first.mean / floorSync.mean, last.mean / floorSync.mean);
    std::printf("before-x / flushed floor: %.2fx   after-x / flushed floor: %.2fx\n",
                beforeX.mean / floorSync.mean, afterX.mean / floorSync.mean);
    fs::remove_all(root);
    return 0;
}
