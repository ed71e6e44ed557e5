// Hostile and broken files: each is refused at open with one error that names the file and the
// reason, within bounded memory and time, and is left exactly as it was. Cases the engine's own
// open tests already cover (plain bombs by ratio and total, DTDs in the main part, duplicate and
// ".." names, empty files) are not repeated here.

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "Bounded.h"
#include "FuzzSupport.h"
#include "PartSet.h"
#include "RawZip.h"
#include "TestPackages.h"
#include "docx/Error.h"
#include "docx/model/Document.h"
#include "intake/ListFiles.h"
#include "platform/PosixFileSystem.h"

namespace {

using lf_fuzz::PartSpec;
using testzip::RawEntry;

constexpr long kAddressSpaceMb = 1024;
constexpr unsigned kSeconds = 60;

using reliability::Entries;
using reliability::Folder;
using reliability::MainXml;
using reliability::WriteFile;

const std::string kRels = reliability::kRelsNs;
const std::string kOfficeDocument = reliability::kOfficeDocumentRel;
const std::string kNs = reliability::kWordNs;

std::string Utf16Le(const std::string& ascii) {
    std::string out = "\xFF\xFE";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

std::string BillionLaughs(const std::string& root) {
    std::string dtd = "<!DOCTYPE " + root + " [<!ENTITY lol0 \"lol\">";
    for (int i = 1; i < 10; ++i)
        dtd += "<!ENTITY lol" + std::to_string(i) + " \"" + [&] {
            std::string s;
            for (int k = 0; k < 10; ++k)
                s += "&lol" + std::to_string(i - 1) + ";";
            return s;
        }() + "\">";
    return dtd + "]>";
}

std::string Nested(int depth) {
    std::string open, close;
    open.reserve(static_cast<size_t>(depth) * 16);
    for (int i = 0; i < depth; ++i)
        open += "<w:customXml>";
    for (int i = 0; i < depth; ++i)
        close += "</w:customXml>";
    return MainXml("<w:p>" + open + "<w:r><w:t>deep</w:t></w:r>" + close + "</w:p>");
}

struct Hostile {
    const char* name;
    long number;
    docx::Reason reason;
    std::function<void(const std::string& path)> make;
};

// What a path holds, to show it unchanged: its type and bytes, or its type and times.
std::string Fingerprint(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return "missing";
    std::string f = std::to_string(st.st_mode) + ":" + std::to_string(st.st_mtim.tv_sec) + "." +
                    std::to_string(st.st_mtim.tv_nsec) + ":" + std::to_string(st.st_size);
    if (S_ISREG(st.st_mode))
        f += ":" + lf_fuzz::ReadWhole(path);
    return f;
}

class HostileFile : public ::testing::TestWithParam<Hostile> {};

TEST_P(HostileFile, IsRefusedAtOpenWithOneClearErrorAndLeftAsItWas) {
    const Hostile& c = GetParam();
    Folder dir;
    const std::string path = dir / "Annual report.docx";
    c.make(path);
    const std::string before = Fingerprint(path);
    const auto namesBefore = lf_fuzz::FolderNames(dir.path());

    const reliability::BoundedResult r = reliability::RunBounded(
        [&] {
            docx::Document::Open(path);
            return std::string("opened");
        },
        kAddressSpaceMb, kSeconds);
    ASSERT_TRUE(r.finished) << reliability::Describe(r);
    EXPECT_EQ(r.number, c.number) << r.message;
    EXPECT_NE(r.message.find("\"Annual report.docx\""), std::string::npos) << r.message;
    EXPECT_EQ(r.reason, c.reason) << r.message;
    EXPECT_EQ(r.message.find('\n'), std::string::npos) << "one error, one line: " << r.message;
    std::printf("[ figures  ] %-36s %8.3f s %8ld KB peak\n", c.name, r.seconds, r.maxRssKb);

    // The program's own steps on it (open, ..., save) leave it as it was too.
    const reliability::BoundedResult steps = reliability::RunBounded(
        [&] {
            lf_fuzz::Insertion ins;
            ins.lines = "Inserted";
            const lf_fuzz::StepsOutcome out = lf_fuzz::InsertAtStart(path, ins);
            return std::string(out.saved ? "saved" : "not saved");
        },
        kAddressSpaceMb, kSeconds);
    ASSERT_TRUE(steps.finished) << reliability::Describe(steps);
    EXPECT_EQ(steps.message, "not saved");
    EXPECT_EQ(Fingerprint(path), before);
    EXPECT_EQ(lf_fuzz::FolderNames(dir.path()), namesBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Reliability, HostileFile,
    ::testing::Values(
        Hostile{"ManyEntries", docx::kRefused, docx::Reason::kBomb,
                [](const std::string& p) {
                    auto e = Entries();
                    for (int i = 0; i < 20001; ++i)
                        e.push_back({"word/media/i" + std::to_string(i) + ".bin", "", false});
                    WriteFile(p, testzip::BuildZip(e));
                }},
        Hostile{"OverlappingEntriesFarBeyondTheTotal", docx::kRefused, docx::Reason::kBomb,
                [](const std::string& p) {
                    WriteFile(p, testzip::BuildOverlappingZip("word/media/z", 1000, 15u << 20));
                }},
        Hostile{"OverlappingEntriesJustUnderTheTotal", docx::kRefused, docx::Reason::kBomb,
                [](const std::string& p) {
                    WriteFile(p, testzip::BuildOverlappingZip("word/media/z", 120, 15u << 20));
                }},
        Hostile{"DeepRatioBehindASizeThatLies", docx::kCorrupted, docx::Reason::kDamagedData,
                [](const std::string& p) {
                    // A main part of 64 MB of zeros whose declared size is cut to 1000 bytes.
                    std::vector<RawEntry> e = Entries();
                    e[2] = RawEntry("word/document.xml", std::string(64u << 20, '\0'), true, 1000u);
                    WriteFile(p, testzip::BuildZip(e));
                }},
        Hostile{"BillionLaughsInContentTypes", docx::kRefused, docx::Reason::kDtd,
                [](const std::string& p) {
                    auto e = Entries();
                    e[0].data = BillionLaughs("Types") + e[0].data;
                    WriteFile(p, testzip::BuildZip(e));
                }},
        Hostile{"ExternalEntityInPackageRelationships", docx::kRefused, docx::Reason::kDtd,
                [](const std::string& p) {
                    auto e = Entries();
                    e[1].data =
                        "<!DOCTYPE Relationships [<!ENTITY x SYSTEM "
                        "\"file:///etc/passwd\">]>" +
                        e[1].data;
                    WriteFile(p, testzip::BuildZip(e));
                }},
        Hostile{"ParameterEntityInMainPart", docx::kRefused, docx::Reason::kDtd,
                [](const std::string& p) {
                    WriteFile(p,
                              testzip::BuildZip(Entries("word/document.xml",
                                                        "<!DOCTYPE w:document [<!ENTITY % p SYSTEM "
                                                        "\"http://example.invalid/x\"> %p;]>" +
                                                            MainXml())));
                }},
        Hostile{"DoctypeInUtf16MainPart", docx::kRefused, docx::Reason::kDtd,
                [](const std::string& p) {
                    WriteFile(p, testzip::BuildZip(Entries(
                                     "word/document.xml",
                                     Utf16Le("<!DOCTYPE w:document [<!ENTITY e \"boom\">]>" +
                                             MainXml("<w:p><w:r><w:t>&e;</w:t></w:r></w:p>")))));
                }},
        Hostile{"UndefinedEntityInUtf16MainPart", docx::kRefused, docx::Reason::kDtd,
                [](const std::string& p) {
                    WriteFile(p, testzip::BuildZip(Entries(
                                     "word/document.xml",
                                     Utf16Le(MainXml("<w:p><w:r><w:t>&boom;</w:t></w:r></w:p>")))));
                }},
        Hostile{"UndefinedEntityInAnAttribute", docx::kRefused, docx::Reason::kDtd,
                [](const std::string& p) {
                    WriteFile(
                        p, testzip::BuildZip(Entries("word/document.xml",
                                                     MainXml("<w:p><w:pPr><w:pStyle "
                                                             "w:val=\"&boom;\"/></w:pPr></w:p>"))));
                }},
        Hostile{"DeeplyNestedElements", docx::kRefused, docx::Reason::kNestedTooDeep,
                [](const std::string& p) {
                    WriteFile(
                        p, testzip::BuildZip(Entries("word/document.xml", Nested(1000000), false)));
                }},
        Hostile{"MainPartMissingFromRelationships", docx::kCannotOpenFormat,
                docx::Reason::kForeignFormat,
                [](const std::string& p) {
                    auto e = Entries();
                    e[1].data = "<Relationships xmlns=\"" + kRels + "\"/>";
                    WriteFile(p, testzip::BuildZip(e));
                }},
        Hostile{"MainPartRelationshipIsExternal", docx::kCannotOpenFormat,
                docx::Reason::kForeignFormat,
                [](const std::string& p) {
                    auto e = Entries();
                    e[1].data = "<Relationships xmlns=\"" + kRels +
                                "\"><Relationship Id=\"rId1\" Type=\"" + kOfficeDocument +
                                "\" Target=\"file:///tmp/word/document.xml\" "
                                "TargetMode=\"External\"/>"
                                "</Relationships>";
                    WriteFile(p, testzip::BuildZip(e));
                }},
        Hostile{"MainPartTargetClimbsOutOfThePackage", docx::kCorrupted, docx::Reason::kMissingPart,
                [](const std::string& p) {
                    auto e = Entries();
                    e[1].data = "<Relationships xmlns=\"" + kRels +
                                "\"><Relationship Id=\"rId1\" Type=\"" + kOfficeDocument +
                                "\" Target=\"../../../../etc/passwd\"/></Relationships>";
                    WriteFile(p, testzip::BuildZip(e));
                }},
        Hostile{"NoPackageRelationships", docx::kCannotOpenFormat, docx::Reason::kForeignFormat,
                [](const std::string& p) {
                    auto e = Entries();
                    e.erase(e.begin() + 1);
                    WriteFile(p, testzip::BuildZip(e));
                }},
        Hostile{"ZeroLengthMainPart", docx::kCorrupted, docx::Reason::kNotWellFormed,
                [](const std::string& p) {
                    WriteFile(p, testzip::BuildZip(Entries("word/document.xml", "")));
                }},
        Hostile{"ZeroLengthPackageRelationships", docx::kCorrupted, docx::Reason::kNotWellFormed,
                [](const std::string& p) {
                    WriteFile(p, testzip::BuildZip(Entries("_rels/.rels", "")));
                }},
        Hostile{"ZeroLengthContentTypes", docx::kCorrupted, docx::Reason::kNotWellFormed,
                [](const std::string& p) {
                    WriteFile(p, testzip::BuildZip(Entries("[Content_Types].xml", "")));
                }},
        Hostile{"DirectoryNamedLikeADocument", docx::kFileAccess, docx::Reason::kNotRegularFile,
                [](const std::string& p) { ::mkdir(p.c_str(), 0755); }},
        Hostile{"FifoNamedLikeADocument", docx::kFileAccess, docx::Reason::kNotRegularFile,
                [](const std::string& p) { ::mkfifo(p.c_str(), 0644); }},
        Hostile{"LinkToADeviceNamedLikeADocument", docx::kFileAccess, docx::Reason::kNotRegularFile,
                [](const std::string& p) { ::symlink("/dev/zero", p.c_str()); }},
        Hostile{"SocketNamedLikeADocument", docx::kFileAccess, docx::Reason::kUnreadable,
                [](const std::string& p) {
                    int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
                    struct sockaddr_un a {};
                    a.sun_family = AF_UNIX;
                    std::snprintf(a.sun_path, sizeof a.sun_path, "%s", p.c_str());
                    ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
                    ::close(s);
                }},
        Hostile{"LinkThatLoops", docx::kFileAccess, docx::Reason::kUnreadable,
                [](const std::string& p) { ::symlink(p.c_str(), p.c_str()); }}),
    [](const auto& info) { return std::string(info.param.name); });

// A folder walk lists only regular files; special files named like documents are passed over
// without being opened, so a FIFO with no writer cannot block it.
TEST(HostileFolder, SpecialFilesNamedLikeDocumentsAreNeverListedAndNeverBlock) {
    Folder dir;
    WriteFile(dir / "Real.docx", testzip::BuildZip(Entries()));
    ::mkdir((dir / "Folder.docx").c_str(), 0755);
    ASSERT_EQ(::mkfifo((dir / "Pipe.docx").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("/dev/zero", (dir / "Zero.docx").c_str()), 0);
    ASSERT_EQ(::symlink("/dev/tty", (dir / "Terminal.docx").c_str()), 0);
    // A real device node when the system lets this process make one.
    const bool node = ::mknod((dir / "Null.docx").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;

    const reliability::BoundedResult r = reliability::RunBounded(
        [&] {
            platform::PosixFileSystem fs;
            std::string names;
            for (const auto& f : AddFolder::ListFileEntries(fs, QString::fromStdString(dir.path()),
                                                            QStringLiteral("*.doc")))
                names += f.name.toStdString() + ";";
            for (const char* n :
                 {"Pipe.docx", "Zero.docx", "Terminal.docx", "Null.docx", "Folder.docx"})
                if (fs.CanOpenFile(QString::fromStdString(dir / n)))
                    names += std::string("CanOpenFile(") + n + ");";
            return names;
        },
        kAddressSpaceMb, 20);
    ASSERT_TRUE(r.finished) << reliability::Describe(r);
    EXPECT_EQ(r.message, "Real.docx;") << (node ? "with a device node" : "without a device node");
}

}  // namespace
