// The batch command measured against the floors of any engine that rewrites a document in place,
// all in one run on one machine:
//   - per-document milliseconds of every mode through lineforge-batch's own code path
//     (batch::RunCommand, as the executable calls it), for 200 and 1,000 documents of 20-60 KB;
//   - beside them two floors, each unflushed and flushed to disk: copying the files, and copying
//     every zip entry raw while re-deflating only the main part (libzip, temporary file and
//     rename, as the engine saves);
//   - the peak resident memory of each run, so that 200 and 1,000 documents can be compared;
//   - the journal's cost per document (each mode with it and with --no-journal), and whether
//     the journal of a run holds the documents' own old files or copies of them;
//   - time against the size of the main part (1, 10 and 100 MB);
//   - python-docx on the first-line mode, on the same documents in the same run, where python3
//     can import docx;
//   - the flushes to disk per document of every operation, and with --slow-fsync the whole table
//     again on a disk made slow on purpose (every flush delayed by MS milliseconds).
// Every batch run starts the lineforge-batch executable, whose peak memory the kernel reports
// when it exits. The floors run in a child process too (this program again, with
// --floor-only), so that the flush shim (liblf_slow_fsync.so, beside this program) is
// preloaded into every process that flushes; with no delay it only counts.
//
//   batch_bench [--counts 200,1000] [--sizes 1,10,100] [--rounds 3] [--folder DIR]
//               [--program PATH-TO-lineforge-batch] [--slow-fsync MS] [--shim PATH]
//               [--python-script PATH] [--python INTERPRETER]
//   batch_bench --generate N DIR     (only writes the first N documents of the sets into DIR)

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <QStringList>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "BenchDocuments.h"
#include "batch/BatchCommand.h"
#include "docx/package/DeflatedSource.h"
#include "platform/PosixFileSystem.h"
#include "platform/QtSettingsStore.h"
#include "word/builtin/Builtin.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const char* const kModes[] = {"first", "last", "after", "before"};
constexpr const char* kLines = "Inserted line one\nInserted line two";

double CpuMs(const rusage& u) {
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

double SelfCpuMs() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return CpuMs(u);
}

double Since(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

std::string FirstLineOf(const std::string& file, const std::string& key) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0)
            return line.substr(line.find(':') + 1);
    return "?";
}

void PrintMachine() {
    std::string cpu = FirstLineOf("/proc/cpuinfo", "model name");
    std::string mem = FirstLineOf("/proc/meminfo", "MemTotal");
    std::printf("machine: %ld cores,%s,%s memory\n", sysconf(_SC_NPROCESSORS_ONLN), cpu.c_str(),
                mem.c_str());
}

// ---- floors ---------------------------------------------------------------------------------

void Flush(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

void CopyFile(const std::string& from, const std::string& to, bool flush) {
    const int in = ::open(from.c_str(), O_RDONLY);
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    char buf[65536];
    ssize_t n;
    while ((n = ::read(in, buf, sizeof buf)) > 0)
        (void)!::write(out, buf, static_cast<size_t>(n));
    if (flush)
        ::fsync(out);
    ::close(in);
    ::close(out);
}

// The main part of the archive at path, inflated.
std::string ReadMain(zip_t* z, zip_uint64_t index) {
    zip_stat_t st;
    zip_stat_index(z, index, 0, &st);
    std::string data(st.size, '\0');
    zip_file_t* f = zip_fopen_index(z, index, 0);
    zip_fread(f, data.data(), st.size);
    zip_fclose(f);
    return data;
}

// Every entry copied raw, the main part inflated and deflated again, and the new archive put in
// place of the old one the way the engine saves: written to a temporary file beside it, flushed
// to disk when flush is set, then renamed over it.
void RawCopyRedeflateMain(const std::string& path, bool flush) {
    int err = 0;
    zip_t* in = zip_open(path.c_str(), ZIP_RDONLY, &err);
    if (!in)
        return;
    zip_error_t ze;
    zip_error_init(&ze);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &ze);
    zip_source_keep(buffer);
    zip_t* out = zip_open_from_source(buffer, ZIP_TRUNCATE, &ze);
    const zip_int64_t count = zip_get_num_entries(in, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        const char* name = zip_get_name(in, index, 0);
        zip_source_t* src = nullptr;
        if (std::strcmp(name, "word/document.xml") == 0) {
            const std::string data = ReadMain(in, index);
            char* copy = static_cast<char*>(std::malloc(data.size()));
            std::memcpy(copy, data.data(), data.size());
            src = zip_source_buffer(out, copy, data.size(), 1);
            const zip_int64_t added = zip_file_add(out, name, src, 0);
            zip_set_file_compression(out, static_cast<zip_uint64_t>(added), ZIP_CM_DEFLATE,
                                     docx::kDeflateLevel);
        } else {
            src = zip_source_zip(out, in, index, ZIP_FL_COMPRESSED, 0, -1);
            zip_file_add(out, name, src, 0);
        }
    }
    zip_close(out);
    zip_close(in);

    std::string bytes;
    zip_stat_t st;
    if (zip_source_stat(buffer, &st) == 0 && zip_source_open(buffer) == 0) {
        bytes.resize(st.size);
        zip_source_read(buffer, bytes.data(), st.size);
        zip_source_close(buffer);
    }
    zip_source_free(buffer);

    const std::string temp = path + ".floor-tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0)
        return;
    (void)!::write(fd, bytes.data(), bytes.size());
    if (flush)
        ::fsync(fd);
    ::close(fd);
    ::rename(temp.c_str(), path.c_str());
}

// The same through libzip's own in-place save (temporary file and rename), flushed after the
// rename: a cheaper order than the engine's, shown for comparison.
void LibzipInPlaceFlushedAfter(const std::string& path) {
    int err = 0;
    zip_t* z = zip_open(path.c_str(), 0, &err);
    if (!z)
        return;
    const zip_int64_t idx = zip_name_locate(z, "word/document.xml", 0);
    const std::string data = ReadMain(z, static_cast<zip_uint64_t>(idx));
    char* copy = static_cast<char*>(std::malloc(data.size()));
    std::memcpy(copy, data.data(), data.size());
    zip_source_t* src = zip_source_buffer(z, copy, data.size(), 1);
    zip_file_replace(z, static_cast<zip_uint64_t>(idx), src, 0);
    zip_set_file_compression(z, static_cast<zip_uint64_t>(idx), ZIP_CM_DEFLATE,
                             docx::kDeflateLevel);
    zip_close(z);
    Flush(path);
}

// True when the floor's output is a sound archive whose main part is the one it started with.
bool FloorIsSound(const fs::path& folder) {
    const std::string path = (folder / "floor-check.docx").string();
    benchdocs::MakeDocument(path, 7u);
    int err = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_RDONLY, &err);
    const std::string before =
        ReadMain(z, static_cast<zip_uint64_t>(zip_name_locate(z, "word/document.xml", 0)));
    const zip_int64_t entries = zip_get_num_entries(z, 0);
    zip_close(z);
    RawCopyRedeflateMain(path, true);
    z = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &err);
    if (!z)
        return false;
    const zip_int64_t idx = zip_name_locate(z, "word/document.xml", 0);
    const bool sound = idx >= 0 && zip_get_num_entries(z, 0) == entries &&
                       ReadMain(z, static_cast<zip_uint64_t>(idx)) == before;
    zip_close(z);
    fs::remove(path);
    return sound;
}

// ---- the batch command in a child ------------------------------------------------------------

struct ChildRun {
    double ms = 0;
    double cpuMs = 0;  // user and system time
    long peakKiB = 0;
    int status = -1;
    long flushes = -1;   // flushes to disk counted by the shim; -1 when it was not preloaded
    std::string errors;  // the first lines the command wrote to stderr when it did not exit 0
    std::string output;  // what it wrote to stdout, when asked for
};

// The disk the child processes see: the shim preloaded with delayMs per flush (0 only counts),
// or, with delayMs below 0 or no shim, the disk as it is.
struct Disk {
    std::string shim;
    long delayMs = -1;
    fs::path counts;  // the file the shim appends its counts to
    bool Shimmed() const { return delayMs >= 0 && !shim.empty(); }
};

// The environment of a child: this process's, with the shim's variables set for disk.
std::vector<std::string> ChildEnvironment(const Disk& disk) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string var = *e;
        if (var.rfind("LD_PRELOAD=", 0) != 0 && var.rfind("LF_SLOW_FSYNC_", 0) != 0)
            env.push_back(var);
    }
    if (disk.Shimmed()) {
        env.push_back("LD_PRELOAD=" + disk.shim);
        env.push_back("LF_SLOW_FSYNC_MS=" + std::to_string(disk.delayMs));
        env.push_back("LF_SLOW_FSYNC_COUNTS=" + disk.counts.string());
    }
    return env;
}

// The sum of the "flushes N" lines the shim's processes appended to file.
long CountedFlushes(const fs::path& file) {
    std::ifstream in(file);
    std::string word;
    long n = 0, total = 0;
    while (in >> word >> n)
        if (word == "flushes")
            total += n;
    return total;
}

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs words[0] (searched in PATH when it has no slash) with the rest as arguments on disk;
// the time includes starting it. stdout goes to a file beside the counts and is kept in output.
ChildRun RunChild(std::vector<std::string> words, const Disk& disk) {
    int pipeFd[2];
    if (::pipe(pipeFd) != 0)
        return {};
    std::vector<char*> argv;
    for (auto& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    std::vector<std::string> env = ChildEnvironment(disk);
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    const fs::path out = fs::path(disk.counts).concat(".stdout");
    fs::remove(disk.counts);
    std::fflush(nullptr);
    const auto t0 = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFd[0]);
        ::dup2(pipeFd[1], STDERR_FILENO);
        const int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(outFd, STDOUT_FILENO);
        ::execvpe(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(pipeFd[1]);
    ChildRun run;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(pipeFd[0], buf, sizeof buf)) > 0)
        if (run.errors.size() < 2000)
            run.errors.append(buf, static_cast<size_t>(n));
    ::close(pipeFd[0]);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    run.ms = Since(t0);
    run.cpuMs = CpuMs(usage);
    run.peakKiB = usage.ru_maxrss;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.output = ReadAll(out);
    fs::remove(out);
    if (disk.Shimmed())
        run.flushes = CountedFlushes(disk.counts);
    return run;
}

// Runs the lineforge-batch executable with args.
ChildRun RunBatch(const std::string& program, const QStringList& args, const Disk& disk) {
    std::vector<std::string> words = {program};
    for (const QString& a : args)
        words.push_back(a.toStdString());
    return RunChild(words, disk);
}

// A child that timed its own work and wrote "... ms T cpu_ms C" (or "ms T cpu C") to stdout:
// its own figures replace those of the whole process, start included.
ChildRun OwnTiming(ChildRun run) {
    std::istringstream in(run.output);
    std::string word;
    double value = 0;
    bool timed = false;
    while (in >> word) {
        if (word == "ms" && in >> value) {
            run.ms = value;
            timed = true;
        } else if ((word == "cpu" || word == "cpu_ms") && in >> value) {
            run.cpuMs = value;
        }
    }
    if (!timed && run.status == 0) {
        run.status = -2;
        run.errors = "no timing in its output: " + run.output.substr(0, 200);
    }
    return run;
}

QStringList BatchArgs(const char* mode, const fs::path& folder, const fs::path& settings) {
    QStringList args = {"--mode", mode,    "--lines",    kLines,
                        "--font", "Arial", "--size",     "12",
                        "--ext",  "docx",  "--settings", QString::fromStdString(settings.string())};
    if (std::strcmp(mode, "after") == 0 || std::strcmp(mode, "before") == 0)
        args << "--x" << benchdocs::kMarker;
    args << QString::fromStdString(folder.string());
    return args;
}

// ---- the document sets -----------------------------------------------------------------------

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A fresh copy of source in work (not timed), written back to disk before the timed step.
void FreshCopy(const fs::path& source, const fs::path& work) {
    fs::remove_all(work);
    fs::create_directories(work);
    for (const auto& name : Names(source))
        fs::copy_file(source / name, work / name);
    ::sync();
}

// One thing measured over a whole folder: its total milliseconds and peak memory (0 when it
// runs in this process).
struct Op {
    std::string name;
    std::function<ChildRun(const fs::path& work)> run;
    bool floor = false;  // the peak memory of a floor's process is not shown
};

ChildRun EachFile(const fs::path& work, const std::function<void(const std::string&)>& op) {
    const std::vector<std::string> names = Names(work);
    const double cpu0 = SelfCpuMs();
    const auto t0 = Clock::now();
    for (const auto& name : names)
        op((work / name).string());
    ChildRun r;
    r.ms = Since(t0);
    r.cpuMs = SelfCpuMs() - cpu0;
    r.status = 0;
    return r;
}

// The floors, each run over every file of a folder by this program in a child process.
enum FloorKind { kCopy, kCopyFlushed, kRedeflate, kRedeflateFlushed, kLibzipAfter, kFloorKinds };
const char* const kFloorArgs[kFloorKinds] = {"copy", "copy-flushed", "floor", "floor-flushed",
                                             "libzip-after"};
const char* const kFloorTitles[kFloorKinds] = {
    "copy the file", "copy the file, flushed", "floor: raw entries, main part re-deflated",
    "floor: the same, flushed before the rename", "(libzip in place, flushed after the rename)"};

// One floor over every file of work, in this process; copies go into target.
ChildRun RunFloorHere(int kind, const fs::path& work, const fs::path& target) {
    switch (kind) {
        case kCopy:
        case kCopyFlushed:
            return EachFile(work, [&](const std::string& p) {
                CopyFile(p, (target / fs::path(p).filename()).string(), kind == kCopyFlushed);
            });
        case kRedeflate:
        case kRedeflateFlushed:
            return EachFile(work, [&](const std::string& p) {
                RawCopyRedeflateMain(p, kind == kRedeflateFlushed);
            });
        case kLibzipAfter:
            return EachFile(work, LibzipInPlaceFlushedAfter);
        default:
            return {};
    }
}

// What the operations start: this program (for the floors), lineforge-batch, and the
// python-docx script (empty when python3 cannot import docx).
struct Programs {
    std::string self;
    std::string batch;
    std::string python;
    std::string pythonScript;
};

constexpr const char* kPythonTitle = "python-docx --mode first (no flush)";

std::vector<Op> Operations(const Programs& programs, const fs::path& root, const fs::path& settings,
                           const Disk& disk, bool withCopies) {
    std::vector<Op> ops;
    const fs::path target = root / "copy-target";
    auto floor = [&](int kind) {
        ops.push_back({kFloorTitles[kind], [programs, target, disk, kind](const fs::path& work) {
                           if (kind == kCopy || kind == kCopyFlushed) {
                               fs::remove_all(target);
                               fs::create_directories(target);
                               ::sync();
                           }
                           return OwnTiming(
                               RunChild({programs.self, "--floor-only", kFloorArgs[kind],
                                         work.string(), target.string()},
                                        disk));
                       }});
        ops.back().floor = true;
    };
    if (withCopies) {
        floor(kCopy);
        floor(kCopyFlushed);
    }
    floor(kRedeflate);
    floor(kRedeflateFlushed);
    if (withCopies) {
        floor(kLibzipAfter);
        if (!programs.pythonScript.empty())
            ops.push_back({kPythonTitle, [programs, disk](const fs::path& work) {
                               return OwnTiming(
                                   RunChild({programs.python, programs.pythonScript, work.string(),
                                             "--lines", kLines, "--font", "Arial", "--size", "12"},
                                            disk));
                           }});
    }
    for (const char* mode : kModes)
        ops.push_back({std::string("lineforge-batch --mode ") + mode,
                       [programs, mode, settings, disk](const fs::path& work) {
                           return RunBatch(programs.batch, BatchArgs(mode, work, settings), disk);
                       }});
    // The same without the journal, to show what keeping the originals costs.
    if (withCopies)
        for (const char* mode : kModes)
            ops.push_back({std::string("lineforge-batch --mode ") + mode + " --no-journal",
                           [programs, mode, settings, disk](const fs::path& work) {
                               return RunBatch(programs.batch,
                                               BatchArgs(mode, work, settings) << "--no-journal",
                                               disk);
                           }});
    return ops;
}

// Every operation rounds times, interleaved, each on a fresh copy of source; the median round.
std::vector<ChildRun> Measure(const std::vector<Op>& ops, const fs::path& source,
                              const fs::path& work, int rounds) {
    std::vector<std::vector<ChildRun>> runs(ops.size());
    for (int r = 0; r < rounds; ++r)
        for (size_t i = 0; i < ops.size(); ++i) {
            FreshCopy(source, work);
            runs[i].push_back(ops[i].run(work));
        }
    std::vector<ChildRun> median;
    for (auto& each : runs) {
        std::sort(each.begin(), each.end(),
                  [](const ChildRun& a, const ChildRun& b) { return a.ms < b.ms; });
        ChildRun m = each[each.size() / 2];
        for (const auto& e : each) {
            m.peakKiB = std::max(m.peakKiB, e.peakKiB);
            if (e.status != 0) {
                m.status = e.status;
                m.errors = e.errors;
            }
        }
        median.push_back(m);
    }
    return median;
}

void ReportFailure(const std::string& what, const ChildRun& run) {
    if (run.status != 0)
        std::printf("  !! %s exited with %d: %s\n", what.c_str(), run.status, run.errors.c_str());
}

// One journaled run on a fresh copy: how many originals the journal holds as the documents' own
// files (the inode each document had before the run, now named only by the journal) and how
// many as copies, and how many bytes were copied.
void ReportLinks(const std::string& program, const fs::path& source, const fs::path& root,
                 const fs::path& settings, const Disk& disk) {
    const fs::path work = root / "work";
    FreshCopy(source, work);
    std::set<ino_t> before;
    for (const auto& e : fs::directory_iterator(work)) {
        struct stat st {};
        if (::stat(e.path().c_str(), &st) == 0)
            before.insert(st.st_ino);
    }
    const fs::path journal = root / "data" / "lineforge" / "journal";
    std::set<std::string> runsBefore;
    if (fs::exists(journal))
        for (const auto& e : fs::directory_iterator(journal))
            runsBefore.insert(e.path().filename().string());
    const ChildRun run = RunBatch(program, BatchArgs("first", work, settings), disk);
    ReportFailure("journaled run", run);
    long linked = 0, copied = 0;
    std::uintmax_t copiedBytes = 0;
    for (const auto& e : fs::directory_iterator(journal)) {
        if (runsBefore.count(e.path().filename().string()))
            continue;
        for (const auto& f : fs::directory_iterator(e.path())) {
            if (f.path().filename() == "manifest.jsonl")
                continue;
            struct stat st {};
            if (::stat(f.path().c_str(), &st) != 0)
                continue;
            if (before.count(st.st_ino) && st.st_nlink == 1) {
                ++linked;
            } else {
                ++copied;
                copiedBytes += static_cast<std::uintmax_t>(st.st_size);
            }
        }
    }
    std::printf(
        "  journal of one run: %ld originals kept as the documents' own files, %ld copied "
        "(%ju bytes copied)\n",
        linked, copied, copiedBytes);
}

size_t IndexOf(const std::vector<Op>& ops, const std::string& name) {
    for (size_t i = 0; i < ops.size(); ++i)
        if (ops[i].name == name)
            return i;
    return ops.size();
}

// The table of one set on one disk.
void PrintTable(const std::vector<Op>& ops, const std::vector<ChildRun>& runs, int count) {
    const double floor = runs[IndexOf(ops, kFloorTitles[kRedeflate])].ms;
    const double floorFlushed = runs[IndexOf(ops, kFloorTitles[kRedeflateFlushed])].ms;
    std::printf("  %-44s %9s %13s %9s %9s %9s %10s\n", "per document", "ms", "/floor+flush",
                "/floor", "CPU ms", "flushes", "peak RSS");
    for (size_t i = 0; i < ops.size(); ++i) {
        const double ms = runs[i].ms / count;
        std::printf("  %-44s %9.3f %13.2f %9.2f %9.3f", ops[i].name.c_str(), ms,
                    runs[i].ms / floorFlushed, runs[i].ms / floor, runs[i].cpuMs / count);
        if (runs[i].flushes >= 0)
            std::printf(" %9.2f", static_cast<double>(runs[i].flushes) / count);
        else
            std::printf(" %9s", "-");
        if (runs[i].peakKiB && !ops[i].floor)
            std::printf(" %7.1f MB", runs[i].peakKiB / 1024.0);
        std::printf("\n");
        ReportFailure(ops[i].name, runs[i]);
    }
    const size_t journaled = IndexOf(ops, std::string("lineforge-batch --mode ") + kModes[0]);
    if (journaled + 8 <= ops.size()) {
        std::printf("  the journal's cost per document (with it - with --no-journal)\n");
        for (size_t m = 0; m < 4; ++m) {
            const double with = runs[journaled + m].ms, without = runs[journaled + 4 + m].ms;
            std::printf("  %-44s %9.3f ms  %+6.1f %%\n", kModes[m], (with - without) / count,
                        100.0 * (with - without) / without);
        }
    }
    const size_t python = IndexOf(ops, kPythonTitle);
    if (python < ops.size() && journaled < ops.size() && runs[python].status == 0) {
        const double first = runs[journaled].ms, py = runs[python].ms;
        std::printf(
            "  python-docx / lineforge-batch --mode first: %.2f (python-docx's figure is its "
            "loop alone, without the interpreter's start; it does not flush)\n",
            py / first);
    }
}

void MeasureCount(const Programs& programs, int count, int rounds, const fs::path& root,
                  const fs::path& settings, const std::vector<Disk>& disks) {
    const fs::path source = root / ("set" + std::to_string(count));
    fs::create_directories(source);
    std::uintmax_t bytes = 0;
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "doc%04d.docx", i);
        benchdocs::MakeDocument((source / name).string(), 1000u + static_cast<unsigned>(i));
        bytes += fs::file_size(source / name);
    }
    for (const Disk& disk : disks) {
        std::printf("\n%d documents, %.1f KB on average (seeds 1000..%d); median of %d rounds; ",
                    count, static_cast<double>(bytes) / count / 1024.0, 999 + count, rounds);
        if (!disk.Shimmed())
            std::printf("the disk as it is (flushes not counted)\n");
        else if (disk.delayMs == 0)
            std::printf("the disk as it is (flushes counted, not delayed)\n");
        else
            std::printf("slow disk: every flush delayed by %ld ms\n", disk.delayMs);
        const std::vector<Op> ops = Operations(programs, root, settings, disk, true);
        const std::vector<ChildRun> runs = Measure(ops, source, root / "work", rounds);
        PrintTable(ops, runs, count);
        std::fflush(stdout);
    }
    ReportLinks(programs.batch, source, root, settings, disks.front());
    std::fflush(stdout);
    fs::remove_all(source);
    fs::remove_all(root / "work");
    fs::remove_all(root / "copy-target");
}

void MeasureSizes(const Programs& programs, const std::vector<int>& megabytes, int rounds,
                  const fs::path& root, const fs::path& settings, const Disk& disk) {
    std::printf("\ntime against the size of the main part (one document; median of %d rounds)\n",
                rounds);
    std::printf("  %7s %7s %11s %11s %11s %11s %11s %11s %9s\n", "main MB", "file MB", "floor",
                "floor+flush", "first", "last", "after", "before", "peak RSS");
    std::vector<std::string> perMb;
    const std::vector<Op> ops = Operations(programs, root, settings, disk, false);
    for (int mb : megabytes) {
        const fs::path source = root / ("size" + std::to_string(mb));
        fs::create_directories(source);
        const fs::path doc = source / "big.docx";
        benchdocs::MakeDocument(doc.string(), 42u, static_cast<size_t>(mb) * 1000 * 1000);
        const double fileMb = static_cast<double>(fs::file_size(doc)) / 1e6;
        const std::vector<ChildRun> runs = Measure(ops, source, root / "work", rounds);
        long peak = 0;
        for (size_t i = 0; i < ops.size(); ++i)
            if (!ops[i].floor)
                peak = std::max(peak, runs[i].peakKiB);
        std::printf("  %7d %7.1f", mb, fileMb);
        for (const auto& r : runs)
            std::printf(" %8.0f ms", r.ms);
        std::printf(" %6.0f MB\n", peak / 1024.0);
        char line[256];
        std::snprintf(line, sizeof line, "  %7d %7s %11.1f %11.1f %11.1f %11.1f %11.1f %11.1f", mb,
                      "", runs[0].ms / mb, runs[1].ms / mb, runs[2].ms / mb, runs[3].ms / mb,
                      runs[4].ms / mb, runs[5].ms / mb);
        perMb.push_back(line);
        for (size_t i = 0; i < ops.size(); ++i)
            ReportFailure(ops[i].name, runs[i]);
        std::fflush(stdout);
        fs::remove_all(source);
        fs::remove_all(root / "work");
    }
    std::printf("  ms per MB of main part (flat columns: cost grows linearly with size)\n");
    for (const auto& l : perMb)
        std::printf("%s\n", l.c_str());
}

std::vector<int> IntList(const std::string& text) {
    std::vector<int> values;
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ','))
        if (!item.empty())
            values.push_back(std::atoi(item.c_str()));
    return values;
}

// The absolute path of this program, for running its floors in a child.
std::string SelfPath(const char* argv0) {
    char buf[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n > 0)
        return std::string(buf, static_cast<size_t>(n));
    return fs::absolute(argv0).string();
}

// The first interpreter of candidates that can import docx (python3-docx installs for Debian's
// own /usr/bin/python3, which another python3 earlier in PATH does not see); empty, with the
// reason printed, when none can or the script is missing.
std::string PythonWithDocx(const std::vector<std::string>& candidates, const std::string& script,
                           const Disk& plain) {
    if (!fs::exists(script)) {
        std::printf("python-docx: skipped, %s not found\n", script.c_str());
        return {};
    }
    for (const std::string& python : candidates)
        if (RunChild({python, "-c", "import docx"}, plain).status == 0) {
            std::printf("python-docx: %s\n", python.c_str());
            return python;
        }
    std::printf(
        "python-docx: skipped, python3 cannot import docx (apt-get install python3-docx)\n");
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "--floor-only") == 0) {
        // The child's side of a floor: one floor over every file of a folder, timed here.
        for (int kind = 0; kind < kFloorKinds; ++kind)
            if (std::strcmp(argv[2], kFloorArgs[kind]) == 0) {
                const ChildRun r = RunFloorHere(kind, argv[3], argv[4]);
                std::printf("ms %.3f cpu %.3f\n", r.ms, r.cpuMs);
                return 0;
            }
        return 2;
    }
    std::vector<int> counts = {200, 1000};
    std::vector<int> sizes = {1, 10, 100};
    int rounds = 3;
    long slowMs = -1;
    fs::path root = fs::temp_directory_path() / "lineforge-batch-bench";
    const fs::path here = fs::path(SelfPath(argv[0])).parent_path();
    Programs programs;
    programs.self = SelfPath(argv[0]);
    programs.batch = (here / "lineforge-batch").string();
    std::string shim = (here / "liblf_slow_fsync.so").string();
    std::string script = std::string(LF_BENCH_SOURCE_DIR) + "/python_docx_first.py";
    std::string python;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string opt = argv[i];
        if (opt == "--generate" && i + 2 < argc) {
            // Only writes that many documents (the same seeds as the sets) into a folder.
            const int n = std::atoi(argv[i + 1]);
            fs::create_directories(argv[i + 2]);
            for (int k = 0; k < n; ++k) {
                char name[32];
                std::snprintf(name, sizeof name, "doc%04d.docx", k);
                if (!benchdocs::MakeDocument((fs::path(argv[i + 2]) / name).string(),
                                             1000u + static_cast<unsigned>(k)))
                    return 1;
            }
            return 0;
        }
        if (opt == "--counts")
            counts = IntList(argv[i + 1]);
        else if (opt == "--sizes")
            sizes = IntList(argv[i + 1]);
        else if (opt == "--rounds")
            rounds = std::max(1, std::atoi(argv[i + 1]));
        else if (opt == "--folder")
            root = argv[i + 1];
        else if (opt == "--program")
            programs.batch = argv[i + 1];
        else if (opt == "--slow-fsync")
            slowMs = std::max(0, std::atoi(argv[i + 1]));
        else if (opt == "--shim")
            shim = argv[i + 1];
        else if (opt == "--python-script")
            script = argv[i + 1];
        else if (opt == "--python")
            python = argv[i + 1];
    }
    if (::access(programs.batch.c_str(), X_OK) != 0) {
        std::fprintf(stderr, "batch_bench: %s is not built (build the lineforge-batch target)\n",
                     programs.batch.c_str());
        return 2;
    }
    if (slowMs >= 0 && ::access(shim.c_str(), R_OK) != 0) {
        std::fprintf(stderr, "batch_bench: %s is not built (build the lf_slow_fsync target)\n",
                     shim.c_str());
        return 2;
    }
    fs::remove_all(root);
    fs::create_directories(root);
    // The journals of the runs stay in the bench's folder, removed with it.
    ::setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    // The batch command reads no user settings: an empty settings file of its own.
    const fs::path settings = root / "settings.ini";
    std::ofstream(settings).close();

    if (!FloorIsSound(root)) {
        std::fprintf(stderr, "batch_bench: the floor does not write a sound archive\n");
        return 1;
    }
    // The quiet disk counts the flushes when the shim is there; --slow-fsync adds the slow one.
    Disk plain;
    plain.counts = root / "flush-counts";
    Disk quiet = plain;
    if (::access(shim.c_str(), R_OK) == 0) {
        quiet.shim = shim;
        quiet.delayMs = 0;
    }
    std::vector<Disk> disks = {quiet};
    if (slowMs >= 0) {
        Disk slow = quiet;
        slow.shim = shim;
        slow.delayMs = slowMs;
        disks.push_back(slow);
    }
    PrintMachine();
    std::printf("program: %s\n", programs.batch.c_str());
    std::printf("flush shim: %s\n", quiet.Shimmed() ? shim.c_str() : "(not built: not counted)");
    const std::vector<std::string> pythons =
        python.empty() ? std::vector<std::string>{"python3", "/usr/bin/python3"}
                       : std::vector<std::string>{python};
    programs.python = PythonWithDocx(pythons, script, plain);
    if (!programs.python.empty())
        programs.pythonScript = script;
    std::printf(
        "'/floor+flush' is the fair ratio: the engine flushes each new file to disk "
        "before the rename, as that floor does; '/floor' leaves the writing to the "
        "kernel\n");
    for (int count : counts)
        MeasureCount(programs, count, rounds, root, settings, disks);
    if (!sizes.empty())
        MeasureSizes(programs, sizes, rounds, root, settings, quiet);
    fs::remove_all(root);
    return 0;
}
