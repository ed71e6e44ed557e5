// Which documents go to the office: judged by their first bytes, whatever their name.

#include <gtest/gtest.h>

#include "PackageFixtures.h"
#include "word/office/Formats.h"

namespace {

using word::office::Format;

// The OLE signature, padding, and stream names as an OLE directory spells them (UTF-16LE).
std::string Ole(std::initializer_list<const char*> streams) {
    std::string bytes = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + std::string(504, '\0');
    for (const char* name : streams) {
        for (const char* c = name; *c; ++c) {
            bytes += *c;
            bytes += '\0';
        }
        bytes += std::string(64, '\0');
    }
    return bytes;
}

TEST(OfficeFormats, ContentDecides) {
    fixtures::TempFolder dir;
    const std::string odt = "application/vnd.oasis.opendocument.text";
    struct Case {
        const char* name;
        std::string bytes;
        Format format;
    };
    const Case files[] = {
        {"word97.docx", Ole({"Root Entry", "WordDocument", "1Table"}), Format::WordBinary},
        {"encrypted.doc", Ole({"EncryptionInfo", "EncryptedPackage"}), Format::None},
        {"sheet.doc", Ole({"Workbook"}), Format::None},
        {"text.doc", "{\\rtf1\\ansi hello}", Format::Rtf},
        {"short.rtf", "{\\rt", Format::None},
        {"plain.rtf", "hello", Format::None},
        {"empty.odt", "", Format::None},
        {"word2003.doc",
         "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<?mso-application progid=\"Word.Document\"?>"
         "<w:wordDocument/>",
         Format::WordXml},
        {"wordml.xml",
         "<?xml version=\"1.0\"?><w:wordDocument "
         "xmlns:w=\"http://schemas.microsoft.com/office/word/2003/wordml\"/>",
         Format::WordXml},
        {"other.xml", "<?xml version=\"1.0\"?><html/>", Format::None},
    };
    for (const Case& c : files) {
        fixtures::WriteFile(dir / c.name, c.bytes);
        EXPECT_EQ(word::office::SniffFormat(dir / c.name), c.format) << c.name;
    }
    struct Zip {
        const char* name;
        std::vector<fixtures::ZipItem> items;
        Format format;
    };
    const Zip zips[] = {
        {"text.doc", {{"mimetype", odt, true}, {"content.xml", "<x/>"}}, Format::OpenDocument},
        {"template.ott", {{"mimetype", odt + "-template", true}}, Format::OpenDocument},
        {"sheet.odt",
         {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet", true}},
         Format::None},
        // Zipped by a tool that does not put a stored mimetype first.
        {"deflated.odt", {{"mimetype", odt, false}}, Format::OpenDocument},
        {"late.odt", {{"content.xml", "<x/>"}, {"mimetype", odt, true}}, Format::OpenDocument},
        {"manifest.odt",
         {{"content.xml", "<x/>"},
          {"META-INF/manifest.xml",
           "<manifest:manifest><manifest:file-entry manifest:full-path=\"/\" "
           "manifest:media-type=\"" +
               odt + "\"/></manifest:manifest>"}},
         Format::OpenDocument},
        {"late-sheet.odt",
         {{"content.xml", "<x/>"},
          {"mimetype", "application/vnd.oasis.opendocument.spreadsheet", false}},
         Format::None},
        {"word.docx", fixtures::DocxItems(fixtures::Spec("<w:p/>")), Format::None},
    };
    for (const Zip& z : zips) {
        fixtures::WriteZip(dir / z.name, z.items);
        EXPECT_EQ(word::office::SniffFormat(dir / z.name), z.format) << z.name;
    }
    EXPECT_EQ(word::office::SniffFormat(dir / "missing.doc"), Format::None);
    EXPECT_EQ(word::office::SniffFormat(dir.path()), Format::None);
}

void PutLe32(std::string& bytes, size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A consistent OLE file of 512-byte sectors: the header, the allocation table (sector 0), the
// directory (sector 1) naming a WordDocument stream, and one sector of data (sector 2).
std::string WholeOle() {
    std::string bytes = Ole({});
    bytes.resize(2048, '\0');
    bytes[0x1E] = 9;
    PutLe32(bytes, 0x2C, 1);  // sectors of the allocation table
    PutLe32(bytes, 0x30, 1);  // the directory's first sector
    PutLe32(bytes, 0x4C, 0);  // the allocation table is sector 0
    for (size_t k = 3; k < 128; ++k)
        PutLe32(bytes, 512 + 4 * k, 0xFFFFFFFF);
    PutLe32(bytes, 512, 0xFFFFFFFD);
    PutLe32(bytes, 516, 0xFFFFFFFE);
    PutLe32(bytes, 520, 0xFFFFFFFE);
    const std::string name = Ole({"WordDocument"}).substr(512);
    bytes.replace(1024, name.size(), name);
    return bytes;
}

TEST(OfficeFormats, AnOleFileCutShortIsDamagedWhateverItHeld) {
    fixtures::TempFolder dir;
    const std::string whole = WholeOle();
    struct Cut {
        size_t keep;
        Format format;
    };
    for (const Cut& c :
         {Cut{whole.size(), Format::WordBinary}, Cut{1537, Format::WordBinary},
          Cut{1536, Format::CutShort}, Cut{1100, Format::CutShort}, Cut{600, Format::CutShort},
          Cut{512, Format::CutShort}, Cut{300, Format::CutShort}}) {
        fixtures::WriteFile(dir / "cut.doc", whole.substr(0, c.keep));
        EXPECT_EQ(word::office::SniffFormat(dir / "cut.doc"), c.format) << c.keep;
    }
    const std::string m = word::office::CutShortMessage("cut.doc");
    EXPECT_NE(m.find("\"cut.doc\""), std::string::npos) << m;
    EXPECT_NE(m.find("damaged"), std::string::npos) << m;
}

TEST(OfficeFormats, TheMissingOfficeMessageNamesFormatAndPackage) {
    const std::string m = word::office::OfficeMissingMessage("a.rtf", Format::Rtf);
    EXPECT_NE(m.find("\"a.rtf\""), std::string::npos) << m;
    EXPECT_NE(m.find("RTF"), std::string::npos) << m;
    EXPECT_NE(m.find("sudo apt install libreoffice-writer)"), std::string::npos) << m;
}

}  // namespace
