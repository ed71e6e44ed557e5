#include "Seeds.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "FuzzSupport.h"
#include "PartSet.h"
#include "RawZip.h"

namespace lf_fuzz {

using testzip::BuildOverlappingZip;
using testzip::BuildZip;
namespace {

const std::string kNs =
    "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";

std::string Doc(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<w:document " + kNs +
           "><w:body>" + body + "</w:body></w:document>";
}

std::string Para(const std::string& text, const std::string& pPr = "") {
    return "<w:p>" + (pPr.empty() ? "" : "<w:pPr>" + pPr + "</w:pPr>") +
           "<w:r><w:t xml:space=\"preserve\">" + text + "</w:t></w:r></w:p>";
}

const std::string kFrame =
    "<w:framePr w:w=\"2000\" w:hSpace=\"180\" w:wrap=\"around\" "
    "w:vAnchor=\"text\" w:hAnchor=\"page\" w:x=\"1000\" w:y=\"1\"/>";

std::vector<std::vector<PartSpec>> SyntheticPartSets() {
    std::vector<std::vector<PartSpec>> sets;
    sets.push_back({{"document", "", Doc(Para("Hello x world") + Para("Second x line"))}});
    sets.push_back(
        {{"document", "",
          Doc(Para("Framed x one", kFrame) + Para("Framed two", kFrame) + Para("Plain x") +
              "<w:tbl><w:tblPr><w:tblpPr w:leftFromText=\"180\" w:vertAnchor=\"text\" "
              "w:tblpY=\"1\"/><w:tblOverlap w:val=\"never\"/></w:tblPr><w:tr><w:tc>" +
              Para("In x table", kFrame) + "</w:tc></w:tr></w:tbl>" + Para("After"))}});
    sets.push_back(
        {{"document", "", Doc("<w:tbl><w:tr><w:tc>" + Para("Cell x") + "</w:tc></w:tr></w:tbl>")}});
    sets.push_back(
        {{"document", "", Doc(Para("Protected x"))},
         {"settings", "rId3",
          "<w:settings " + kNs +
              "><w:documentProtection w:edit=\"readOnly\" w:enforcement=\"1\"/></w:settings>"}});
    sets.push_back(
        {{"document", "",
          Doc(Para("Body x<w:r><w:footnoteReference w:id=\"1\"/></w:r>") +
              "<w:sectPr><w:headerReference w:type=\"default\" r:id=\"rId7\"/>"
              "<w:footerReference w:type=\"default\" r:id=\"rId8\"/></w:sectPr>")},
         {"header", "rId7", "<w:hdr " + kNs + ">" + Para("Header x") + "</w:hdr>"},
         {"footer", "rId8", "<w:ftr " + kNs + ">" + Para("Footer x") + "</w:ftr>"},
         {"footnotes", "rId9",
          "<w:footnotes " + kNs + "><w:footnote w:id=\"1\">" + Para("Note x") +
              "</w:footnote></w:footnotes>"},
         {"styles", "rId10",
          "<w:styles " + kNs +
              "><w:style w:type=\"paragraph\" w:styleId=\"Heading1\"><w:next w:val=\"Normal\"/>"
              "</w:style></w:styles>"}});
    sets.push_back({{"document", "",
                     Doc("<w:p><w:pPr><w:pStyle w:val=\"Heading1\"/><w:rPr><w:b/></w:rPr></w:pPr>"
                         "<w:r><w:rPr><w:rFonts w:ascii=\"Arial\"/><w:sz w:val=\"28\"/></w:rPr>"
                         "<w:t>Ti</w:t></w:r><w:r><w:t>tle x</w:t><w:tab/><w:br/></w:r></w:p>"
                         "<w:sdt><w:sdtContent>" +
                         Para("In control x") + "</w:sdtContent></w:sdt>")}});
    sets.push_back({{"document", "", Doc("")}});
    return sets;
}

std::string PartsInput(const std::vector<PartSpec>& parts, std::vector<std::string> lead) {
    for (const PartSpec& p : parts)
        lead.push_back(PartChunk(p));
    return JoinChunks(lead);
}

std::string Utf16(const std::u16string& s) {
    std::string out;
    for (char16_t c : s) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    return out;
}

std::vector<std::string> SortedNames(const std::string& dir) {
    std::vector<std::string> names = FolderNames(dir);
    std::sort(names.begin(), names.end());
    return names;
}

bool IsWordFileName(const std::string& name) {
    const auto dot = name.find_last_of('.');
    if (dot == std::string::npos)
        return false;
    std::string ext = name.substr(dot + 1);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == "docx" || ext == "docm" || ext == "dotx" || ext == "dotm" || ext == "doc" ||
           ext == "odt";
}

}  // namespace

std::vector<Seed> SyntheticSeeds(const std::string& target) {
    std::vector<Seed> seeds;
    const auto sets = SyntheticPartSets();
    if (target == "open_package") {
        for (size_t i = 0; i < sets.size(); ++i)
            seeds.push_back({"synthetic-" + std::to_string(i), BuildPackage(sets[i])});
        seeds.push_back({"stored-0", BuildPackage(sets[0], false)});
        std::string dup = BuildZip({{"[Content_Types].xml", "<Types/>"},
                                    {"word/document.xml", Doc(Para("a"))},
                                    {"word/document.xml", Doc(Para("b"))}});
        seeds.push_back({"duplicate-names", dup});
        seeds.push_back({"dotdot-name", BuildZip({{"../evil.xml", "<x/>"}})});
        seeds.push_back({"overlapping", BuildOverlappingZip("word/media/z", 8, 4096)});
        seeds.push_back({"lying-size", BuildZip({{"_rels/.rels", "<Relationships/>", true, 10}})});
        seeds.push_back({"empty", ""});
    } else if (target == "package_parts") {
        for (size_t i = 0; i < sets.size(); ++i)
            seeds.push_back({"synthetic-" + std::to_string(i), PartsInput(sets[i], {})});
    } else if (target == "find_replace") {
        const std::vector<std::pair<std::string, std::string>> texts = {
            {"x", "before x"}, {"x", "x after"}, {"^p", "^p^p"},  {"X^?", "^&^&"},
            {"Hello", ""},     {"^t", "\t"},     {"x^#", "^0160"}};
        for (size_t i = 0; i < sets.size(); ++i) {
            const auto& t = texts[i % texts.size()];
            seeds.push_back(
                {"synthetic-" + std::to_string(i), PartsInput(sets[i], {t.first, t.second})});
        }
    } else if (target == "type_text") {
        const std::vector<std::vector<std::string>> texts = {
            {"Inserted", "Arial", "12"},
            {"two\r\nlines\tand tab", "Times New Roman", "10.5"},
            {"\xE2\x80\x8F\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D \xE4\xB8\xAD\xE6\x96\x87", "SimSun",
             "9"},
            {"a\rb\nc\x0B"
             "d",
             "Courier New", "1638"}};
        for (size_t i = 0; i < sets.size(); ++i)
            seeds.push_back(
                {"synthetic-" + std::to_string(i), PartsInput(sets[i], texts[i % texts.size()])});
    } else if (target == "wildcard") {
        const std::vector<std::pair<std::u16string, std::u16string>> pairs = {
            {u"*.doc", u"Report.docx"},        {u"*.*", u"noext"},
            {u"a?c.DOC", u"ABC.docm"},         {u"*.d*", u"x.dotm"},
            {u"*x*y*z", u"axbyczz"},           {u"report.*", u"report"},
            {u"\u00C4*.docx", u"\u00E4b.DOCX"}};
        for (size_t i = 0; i < pairs.size(); ++i) {
            std::string bytes(1, static_cast<char>(pairs[i].first.size()));
            bytes += Utf16(pairs[i].first + pairs[i].second);
            seeds.push_back({"synthetic-" + std::to_string(i), bytes});
        }
    } else if (target == "normalize_path") {
        const std::vector<std::u16string> paths = {u"/home//user///docs/a.docx",
                                                   u"\\\\\\server\\\\share\\a.docx",
                                                   u"C:\\\\Docs\\\\\\x.docx", u"//", u""};
        for (size_t i = 0; i < paths.size(); ++i)
            seeds.push_back({"synthetic-" + std::to_string(i), Utf16(paths[i])});
    }
    return seeds;
}

std::vector<Seed> CorpusSeeds(const std::string& target, const std::string& corpusDir,
                              size_t maxPartBytes) {
    std::vector<Seed> seeds;
    if (corpusDir.empty())
        return seeds;
    for (const std::string& name : SortedNames(corpusDir)) {
        if (!IsWordFileName(name))
            continue;
        const std::string path = corpusDir + "/" + name;
        if (target == "open_package") {
            seeds.push_back({name, ReadWhole(path)});
            continue;
        }
        std::vector<std::string> lead;
        if (target == "find_replace")
            lead = {"e", "^&^&"};
        else if (target == "type_text")
            lead = {"Inserted line", "Arial", "11"};
        else if (target != "package_parts")
            return seeds;
        const std::vector<PartSpec> parts = ExtractParts(path, maxPartBytes);
        if (!parts.empty())
            seeds.push_back({name, PartsInput(parts, lead)});
    }
    return seeds;
}

std::vector<Seed> FilesIn(const std::string& dir) {
    std::vector<Seed> seeds;
    for (const std::string& name : SortedNames(dir)) {
        struct stat st;
        const std::string path = dir + "/" + name;
        if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            seeds.push_back({name, ReadWhole(path)});
    }
    return seeds;
}

}  // namespace lf_fuzz
