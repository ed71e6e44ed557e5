// Intake of a large folder tree: "Add All Word File(s) In Folder" through the real walk (with an
// event loop that does nothing) beside `find` on the same tree, in the same run.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "intake/AddFolderTree.h"
#include "intake/GetSubDirectories.h"
#include "platform/PosixFileSystem.h"

namespace {

class NoEvents : public platform::EventLoop {
  public:
    void DoEvents() override {}
};

class CountingSink : public runtime::ErrorSink {
  public:
    void ShowErrorReport(const std::string&) override { ++reports; }
    int reports = 0;
};

class FixedDialogs : public platform::Dialogs {
  public:
    QString extension, folder;
    int MsgBox(const QString&, int, const QString&) override { return platform::vbOK; }
    QString InputBox(const QString&, const QString&, const QString&) override { return extension; }
    QString ShowOpen(const platform::OpenFileRequest&) override { return {}; }
    QString BrowseForFolder(const QString&, const QString&) override { return folder; }
};

class NoSettings : public platform::SettingsStore {
  public:
    QString GetSetting(const QString&, const QString&, const QString&, const QString& d) override {
        return d;
    }
    void SaveSetting(const QString&, const QString&, const QString&, const QString&) override {}
};

class Pointer : public platform::WindowPointer {
  public:
    int MousePointer() const override { return value; }
    void SetMousePointer(int v) override { value = v; }
    int value = 0;
};

class VectorList : public intake::FileList {
  public:
    std::vector<QString> paths;
    void Append(const QString& p) override { paths.push_back(p); }
    int Count() const override { return int(paths.size()); }
    QString Item(int i) const override { return paths.at(size_t(i - 1)); }
    void SetItem(int i, const QString& p) override { paths.at(size_t(i - 1)) = p; }
    bool IsListed(const QString& p) const override {
        return std::find(paths.begin(), paths.end(), p) != paths.end();
    }
    void Remove(int i) override { paths.erase(paths.begin() + (i - 1)); }
    void Clear() override { paths.clear(); }
    int SelectedIndex() const override { return 0; }
    void Select(int) override {}
    void EnsureVisible(int) override {}
    quint64 EntryId(int i) const override { return quint64(i); }
    int IndexOfEntry(quint64 id) const override { return int(id); }
};

// 10 top folders, 10 children each, 19 grandchildren per child: 2,000 folders, 10 files each.
int BuildTree(const QString& root) {
    const char* extensions[] = {".doc", ".docx", ".txt",  ".doc",  ".docm",
                                ".pdf", ".doc",  ".docx", ".xlsx", ".doc"};
    int folders = 0;
    auto fill = [&](const QString& dir) {
        QDir().mkpath(dir);
        ++folders;
        for (int f = 0; f < 10; ++f) {
            QFile file(dir + QString("/Document %1%2").arg(f).arg(extensions[f]));
            file.open(QIODevice::WriteOnly);
        }
    };
    for (int a = 0; a < 10; ++a) {
        const QString top = root + QString("/Top %1").arg(a);
        fill(top);
        for (int b = 0; b < 10; ++b) {
            const QString mid = top + QString("/Mid %1").arg(b);
            fill(mid);
            for (int c = 0; c < 19 - (a == 0 && b == 0 ? 10 : 0); ++c)
                fill(mid + QString("/Leaf %1").arg(c));
        }
    }
    return folders;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Runs find over root; withMode makes it read every file's mode (one stat per file, as the
// intake needs for the read-only bit), without it find goes by the directory entries alone.
double TimeFind(const QString& root, bool withMode, qint64* lines) {
    QProcess find;
    QStringList args{root, "-type", "f"};
    if (withMode)
        args << "-printf"
             << "%m %p\n";
    QElapsedTimer t;
    t.start();
    find.start("find", args);
    find.waitForFinished(-1);
    const double ms = t.nsecsElapsed() / 1e6;
    *lines = find.readAllStandardOutput().count('\n');
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // With a folder argument the bench measures that tree instead of building one.
    QTemporaryDir dir;
    QString root = dir.path() + "/tree";
    if (argc > 1) {
        root = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
        std::printf("tree: %s\n", qPrintable(root));
    } else {
        QElapsedTimer build;
        build.start();
        const int folders = BuildTree(root);
        std::printf("tree: %d folders, %d files, built in %.0f ms\n", folders, folders * 10,
                    build.nsecsElapsed() / 1e6);
    }

    platform::PosixFileSystem fs;
    NoEvents events;
    CountingSink errors;
    NoSettings settings;
    Pointer pointer;
    FixedDialogs dialogs;
    dialogs.folder = root;

    const int runs = 5;
    std::vector<double> findMs, findModeMs, walkMs, starMs, docMs;
    qint64 findCount = 0;
    size_t walkCount = 0, starCount = 0, docCount = 0;
    for (int r = 0; r < runs; ++r) {
        findMs.push_back(TimeFind(root, false, &findCount));
        findModeMs.push_back(TimeFind(root, true, &findCount));

        QElapsedTimer t;
        t.start();
        AddFolder::FolderList list{root + '/'};
        AddFolder::GetSubDirectories2016({fs, events, errors}, list, true);
        walkMs.push_back(t.nsecsElapsed() / 1e6);
        walkCount = list.size();

        for (const char* answer : {"*", "doc"}) {
            VectorList files;
            dialogs.extension = answer;
            intake::IntakeContext c{dialogs, errors, settings, events, pointer, fs, files};
            t.restart();
            intake::PushButton3_Click(c);
            const double ms = t.nsecsElapsed() / 1e6;
            if (answer[0] == '*') {
                starMs.push_back(ms);
                starCount = files.paths.size();
            } else {
                docMs.push_back(ms);
                docCount = files.paths.size();
            }
        }
    }
    std::printf("find -type f:                    %8.1f ms median of %d (%lld files)\n",
                Median(findMs), runs, static_cast<long long>(findCount));
    std::printf("find -type f -printf \"%%m %%p\":   %8.1f ms median of %d\n", Median(findModeMs),
                runs);
    std::printf("folder walk only:                %8.1f ms median of %d (%zu folders)\n",
                Median(walkMs), runs, walkCount);
    std::printf("Add All, answer \"*\" (walk+list): %8.1f ms median of %d (%zu files listed)\n",
                Median(starMs), runs, starCount);
    std::printf("Add All, answer \"doc\":           %8.1f ms median of %d (%zu files listed)\n",
                Median(docMs), runs, docCount);
    std::printf("ratio Add All \"*\" / find:        %8.2f (/ find with modes: %.2f)\n",
                Median(starMs) / Median(findMs), Median(starMs) / Median(findModeMs));
    // The same ratio taken within each round, where find and the intake ran moments apart, so
    // that a change in the machine's load between rounds does not skew it.
    std::vector<double> roundRatios;
    for (int r = 0; r < runs; ++r)
        roundRatios.push_back(starMs[size_t(r)] / findMs[size_t(r)]);
    std::printf("ratio within each round, median:  %8.2f (lowest %.2f, highest %.2f)\n",
                Median(roundRatios), *std::min_element(roundRatios.begin(), roundRatios.end()),
                *std::max_element(roundRatios.begin(), roundRatios.end()));
    std::printf("error reports: %d\n", errors.reports);
    return 0;
}
