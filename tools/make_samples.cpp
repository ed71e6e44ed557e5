// Writes the sample documents that ship in the folder "Samples" beside the program: small
// WordprocessingML packages that show what each insertion mode does.
// Usage: lf_make_samples <folder>   (the folder is created when missing)
// The output is byte-for-byte the same on every run: entries carry a fixed date.
#include <zip.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const char* const kW = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
const char* const kR = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const char* const kRelBase = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
const char* const kXmlDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string Run(const std::string& text, const std::string& props = {}) {
    std::string r = "<w:r>";
    if (!props.empty())
        r += "<w:rPr>" + props + "</w:rPr>";
    return r + "<w:t xml:space=\"preserve\">" + Escape(text) + "</w:t></w:r>";
}
std::string Bold(const std::string& text) {
    return Run(text, "<w:b/>");
}
std::string Para(const std::string& runs, const std::string& style = {}) {
    std::string p = "<w:p>";
    if (!style.empty())
        p += "<w:pPr><w:pStyle w:val=\"" + style + "\"/></w:pPr>";
    return p + runs + "</w:p>";
}
std::string Text(const std::string& text, const std::string& style = {}) {
    return Para(Run(text), style);
}
std::string FootnoteReference(int id) {
    return "<w:r><w:rPr><w:rStyle w:val=\"FootnoteReference\"/></w:rPr><w:footnoteReference "
           "w:id=\"" +
           std::to_string(id) + "\"/></w:r>";
}
std::string Table(const std::vector<std::vector<std::string>>& rows) {
    std::string t =
        "<w:tbl><w:tblPr><w:tblStyle w:val=\"TableGrid\"/><w:tblW w:w=\"0\" w:type=\"auto\"/>"
        "<w:tblLook w:val=\"04A0\"/></w:tblPr><w:tblGrid>";
    for (size_t c = 0; c < rows.front().size(); ++c)
        t += "<w:gridCol w:w=\"3000\"/>";
    t += "</w:tblGrid>";
    for (size_t r = 0; r < rows.size(); ++r) {
        t += "<w:tr>";
        for (const auto& cell : rows[r])
            t += "<w:tc><w:tcPr><w:tcW w:w=\"3000\" w:type=\"dxa\"/></w:tcPr>" +
                 Para(r == 0 ? Bold(cell) : Run(cell)) + "</w:tc>";
        t += "</w:tr>";
    }
    return t + "</w:tbl>";
}

// One document: its body paragraphs and, optionally, a header and footnotes.
struct Sample {
    std::string fileName;
    std::string title;
    std::string body;
    std::string header;                  // paragraphs of the default header, empty for none
    std::vector<std::string> footnotes;  // text of footnotes 1, 2, ...
};

std::string DocumentXml(const Sample& s) {
    std::string x = kXmlDecl;
    x += std::string("<w:document xmlns:w=\"") + kW + "\" xmlns:r=\"" + kR + "\"><w:body>";
    x += s.body;
    x += "<w:sectPr>";
    if (!s.header.empty())
        x += "<w:headerReference w:type=\"default\" r:id=\"rIdHeader1\"/>";
    x += "<w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:top=\"1440\" w:right=\"1440\" "
         "w:bottom=\"1440\" w:left=\"1440\" w:header=\"708\" w:footer=\"708\" w:gutter=\"0\"/>"
         "</w:sectPr></w:body></w:document>";
    return x;
}

std::string HeaderXml(const Sample& s) {
    return kXmlDecl + std::string("<w:hdr xmlns:w=\"") + kW + "\" xmlns:r=\"" + kR + "\">" +
           s.header + "</w:hdr>";
}

std::string FootnotesXml(const Sample& s) {
    std::string x = kXmlDecl;
    x += std::string("<w:footnotes xmlns:w=\"") + kW + "\" xmlns:r=\"" + kR + "\">";
    x += "<w:footnote w:type=\"separator\" w:id=\"-1\"><w:p><w:pPr><w:spacing w:after=\"0\" "
         "w:line=\"240\" w:lineRule=\"auto\"/></w:pPr><w:r><w:separator/></w:r></w:p></w:footnote>";
    x += "<w:footnote w:type=\"continuationSeparator\" w:id=\"0\"><w:p><w:pPr><w:spacing "
         "w:after=\"0\" w:line=\"240\" w:lineRule=\"auto\"/></w:pPr><w:r><w:continuationSeparator/>"
         "</w:r></w:p></w:footnote>";
    for (size_t i = 0; i < s.footnotes.size(); ++i) {
        x += "<w:footnote w:id=\"" + std::to_string(i + 1) + "\">";
        x += "<w:p><w:pPr><w:pStyle w:val=\"FootnoteText\"/></w:pPr><w:r><w:rPr><w:rStyle "
             "w:val=\"FootnoteReference\"/></w:rPr><w:footnoteRef/></w:r>" +
             Run(" " + s.footnotes[i]) + "</w:p></w:footnote>";
    }
    return x + "</w:footnotes>";
}

std::string StylesXml() {
    std::string x = kXmlDecl;
    x += std::string("<w:styles xmlns:w=\"") + kW + "\">";
    x += "<w:docDefaults><w:rPrDefault><w:rPr><w:sz w:val=\"22\"/><w:szCs w:val=\"22\"/>"
         "<w:lang w:val=\"en-GB\"/></w:rPr></w:rPrDefault><w:pPrDefault><w:pPr><w:spacing "
         "w:after=\"160\" w:line=\"259\" "
         "w:lineRule=\"auto\"/></w:pPr></w:pPrDefault></w:docDefaults>";
    x += "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:name "
         "w:val=\"Normal\"/>"
         "<w:qFormat/></w:style>";
    x += "<w:style w:type=\"character\" w:default=\"1\" w:styleId=\"DefaultParagraphFont\"><w:name "
         "w:val=\"Default Paragraph Font\"/><w:uiPriority w:val=\"1\"/><w:semiHidden/></w:style>";
    x += "<w:style w:type=\"paragraph\" w:styleId=\"Title\"><w:name w:val=\"Title\"/><w:basedOn "
         "w:val=\"Normal\"/><w:next w:val=\"Normal\"/><w:qFormat/><w:rPr><w:b/><w:sz w:val=\"36\"/>"
         "<w:szCs w:val=\"36\"/></w:rPr></w:style>";
    x += "<w:style w:type=\"paragraph\" w:styleId=\"Header\"><w:name w:val=\"header\"/><w:basedOn "
         "w:val=\"Normal\"/><w:pPr><w:spacing w:after=\"0\"/></w:pPr></w:style>";
    x += "<w:style w:type=\"paragraph\" w:styleId=\"FootnoteText\"><w:name w:val=\"footnote "
         "text\"/><w:basedOn w:val=\"Normal\"/><w:pPr><w:spacing "
         "w:after=\"0\"/></w:pPr><w:rPr><w:sz "
         "w:val=\"20\"/><w:szCs w:val=\"20\"/></w:rPr></w:style>";
    x += "<w:style w:type=\"character\" w:styleId=\"FootnoteReference\"><w:name w:val=\"footnote "
         "reference\"/><w:rPr><w:vertAlign w:val=\"superscript\"/></w:rPr></w:style>";
    x += "<w:style w:type=\"table\" w:default=\"1\" w:styleId=\"TableNormal\"><w:name "
         "w:val=\"Normal "
         "Table\"/><w:tblPr><w:tblInd w:w=\"0\" w:type=\"dxa\"/><w:tblCellMar><w:top w:w=\"0\" "
         "w:type=\"dxa\"/><w:left w:w=\"108\" w:type=\"dxa\"/><w:bottom w:w=\"0\" w:type=\"dxa\"/>"
         "<w:right w:w=\"108\" w:type=\"dxa\"/></w:tblCellMar></w:tblPr></w:style>";
    x += "<w:style w:type=\"table\" w:styleId=\"TableGrid\"><w:name w:val=\"Table "
         "Grid\"/><w:basedOn "
         "w:val=\"TableNormal\"/><w:pPr><w:spacing w:after=\"0\"/></w:pPr><w:tblPr><w:tblBorders>"
         "<w:top w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/><w:left "
         "w:val=\"single\" "
         "w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/><w:bottom w:val=\"single\" w:sz=\"4\" "
         "w:space=\"0\" w:color=\"auto\"/><w:right w:val=\"single\" w:sz=\"4\" w:space=\"0\" "
         "w:color=\"auto\"/><w:insideH w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>"
         "<w:insideV w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/></w:tblBorders>"
         "</w:tblPr></w:style>";
    return x + "</w:styles>";
}

std::string SettingsXml(const Sample& s) {
    std::string x = kXmlDecl;
    x += std::string("<w:settings xmlns:w=\"") + kW + "\"><w:defaultTabStop w:val=\"708\"/>";
    if (!s.footnotes.empty())
        x += "<w:footnotePr><w:footnote w:id=\"-1\"/><w:footnote w:id=\"0\"/></w:footnotePr>";
    return x +
           "<w:compat><w:compatSetting w:name=\"compatibilityMode\" "
           "w:uri=\"http://schemas.microsoft.com/office/word\" w:val=\"15\"/></w:compat>"
           "</w:settings>";
}

std::string ContentTypesXml(const Sample& s) {
    const std::string wml = "application/vnd.openxmlformats-officedocument.wordprocessingml.";
    std::string x = kXmlDecl;
    x += "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
         "<Default Extension=\"rels\" "
         "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
         "<Default Extension=\"xml\" ContentType=\"application/xml\"/>";
    x += "<Override PartName=\"/word/document.xml\" ContentType=\"" + wml + "document.main+xml\"/>";
    x += "<Override PartName=\"/word/styles.xml\" ContentType=\"" + wml + "styles+xml\"/>";
    x += "<Override PartName=\"/word/settings.xml\" ContentType=\"" + wml + "settings+xml\"/>";
    if (!s.header.empty())
        x += "<Override PartName=\"/word/header1.xml\" ContentType=\"" + wml + "header+xml\"/>";
    if (!s.footnotes.empty())
        x +=
            "<Override PartName=\"/word/footnotes.xml\" ContentType=\"" + wml + "footnotes+xml\"/>";
    x += "<Override PartName=\"/docProps/core.xml\" "
         "ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>"
         "<Override PartName=\"/docProps/app.xml\" "
         "ContentType=\"application/vnd.openxmlformats-officedocument.extended-properties+xml\"/>";
    return x + "</Types>";
}

std::string Relationship(const std::string& id, const std::string& type,
                         const std::string& target) {
    return "<Relationship Id=\"" + id + "\" Type=\"" + type + "\" Target=\"" + target + "\"/>";
}

std::string PackageRelsXml() {
    return kXmlDecl +
           std::string(
               "<Relationships "
               "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">") +
           Relationship("rId1", std::string(kRelBase) + "officeDocument", "word/document.xml") +
           Relationship("rId2",
                        "http://schemas.openxmlformats.org/package/2006/relationships/metadata/"
                        "core-properties",
                        "docProps/core.xml") +
           Relationship("rId3", std::string(kRelBase) + "extended-properties", "docProps/app.xml") +
           "</Relationships>";
}

std::string DocumentRelsXml(const Sample& s) {
    std::string x = kXmlDecl;
    x += "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    x += Relationship("rIdStyles", std::string(kRelBase) + "styles", "styles.xml");
    x += Relationship("rIdSettings", std::string(kRelBase) + "settings", "settings.xml");
    if (!s.header.empty())
        x += Relationship("rIdHeader1", std::string(kRelBase) + "header", "header1.xml");
    if (!s.footnotes.empty())
        x += Relationship("rIdFootnotes", std::string(kRelBase) + "footnotes", "footnotes.xml");
    return x + "</Relationships>";
}

std::string CoreXml(const Sample& s) {
    return kXmlDecl +
           std::string(
               "<cp:coreProperties "
               "xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/"
               "core-properties\" "
               "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
               "xmlns:dcterms=\"http://purl.org/dc/terms/\" "
               "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"><dc:title>") +
           Escape(s.title) +
           "</dc:title><dc:creator>Lineforge</dc:creator><dcterms:created "
           "xsi:type=\"dcterms:W3CDTF\">2021-08-31T00:00:00Z</dcterms:created></cp:coreProperties>";
}

std::string AppXml() {
    return kXmlDecl +
           std::string(
               "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/"
               "extended-properties\"><Application>Lineforge</Application></Properties>");
}

// The marker the x-mode samples carry; the texts describe it in words so that the explanation
// itself does not receive the inserted lines.
const std::string kMarker = "[x]";
const std::string kAskForX =
    "When the program asks for x, type the letter x between square brackets, exactly as it stands "
    "in the places marked below.";

std::vector<Sample> Samples() {
    std::vector<Sample> all;

    Sample letter{
        "Sample 1 - Letter.docx", "A letter for the first-line and last-line modes", {}, {}, {}};
    letter.body =
        Text("Dear customer,") +
        Text(
            "This letter shows the two line modes. Type one or more lines into the lines box, "
            "choose \"Insert [Textbox] as first line in each word file\" and press \"Start "
            "Inserting\": your lines appear above this greeting, in the font and size you chose.") +
        Text(
            "Choose \"Insert [Textbox] as last line in each word file\" instead, and your lines "
            "follow the signature at the very end.") +
        Text(
            "Every document in the list is changed the same way and saved under its own name, so "
            "keep a copy of anything you want to compare with afterwards.") +
        Text("With kind regards,") + Text("The Lineforge team");
    all.push_back(letter);

    Sample body{
        "Sample 2 - Marker in the text.docx", "Before and after each x in the text", {}, {}, {}};
    body.body =
        Text("Before and after each x", "Title") + Text(kAskForX) +
        Text(
            "With \"Insert [Textbox] before each x in word files\" your lines are put in front of "
            "every place marked, each time in a paragraph of its own; with \"Insert [Textbox] "
            "after "
            "each x in word files\" they follow it.") +
        Para(Run("First place: ") + Run(kMarker)) +
        Para(Run("The second place sits in the middle of a sentence ") + Run(kMarker) +
             Run(" and splits it where the lines go in.")) +
        Para(Run("The third place is in bold: ") + Bold(kMarker)) +
        Text("Letter case does not matter when the program looks for x.");
    all.push_back(body);

    Sample parts{
        "Sample 3 - Header and footnote.docx", "x in the header and in a footnote", {}, {}, {}};
    parts.header = Para(Run("Page header with its own place: ") + Run(kMarker), "Header");
    parts.body =
        Text("x everywhere in the document", "Title") + Text(kAskForX) +
        Text(
            "The before-x and after-x modes look for x in every part of a document, not only in "
            "the main text: this document carries one in the page header and one in the "
            "footnote below.") +
        Para(Run("The main text has one as well: ") + Run(kMarker) + FootnoteReference(1)) +
        Text("The first-line and last-line modes only touch the main text.");
    parts.footnotes = {"A footnote with its own place: " + kMarker};
    all.push_back(parts);

    Sample table{"Sample 4 - Table.docx", "x inside a table", {}, {}, {}};
    table.body = Text("x inside a table", "Title") + Text(kAskForX) +
                 Text("Places inside table cells are found too; the lines go into the same cell.") +
                 Table({{"Item", "Note", "Owner"},
                        {"Contract", kMarker, "Sales"},
                        {"Invoice", "paid", "Accounts"},
                        {"Order", "to check " + kMarker, "Stores"}}) +
                 Text(
                     "A table as the last thing in a document gets an empty paragraph after it, "
                     "as here, where the last-line mode puts its lines.");
    all.push_back(table);

    return all;
}

bool AddEntry(zip_t* zip, const std::string& name, const std::string& data) {
    zip_source_t* src = zip_source_buffer(zip, data.data(), data.size(), 0);
    if (!src)
        return false;
    const zip_int64_t index = zip_file_add(zip, name.c_str(), src, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(src);
        return false;
    }
    // 31 August 2021, 12:00, in DOS date and time form.
    const zip_uint16_t dosTime = 12 << 11;
    const zip_uint16_t dosDate = ((2021 - 1980) << 9) | (8 << 5) | 31;
    return zip_file_set_dostime(zip, index, dosTime, dosDate, 0) == 0 &&
           zip_set_file_compression(zip, index, ZIP_CM_DEFLATE, 9) == 0;
}

bool WriteSample(const std::filesystem::path& folder, const Sample& s) {
    const std::string path = (folder / s.fileName).string();
    std::filesystem::remove(path);
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_EXCL, &error);
    if (!zip) {
        std::fprintf(stderr, "cannot create %s (libzip error %d)\n", path.c_str(), error);
        return false;
    }
    // The strings must outlive zip_close, which is when libzip reads the buffers.
    std::vector<std::pair<std::string, std::string>> entries = {
        {"[Content_Types].xml", ContentTypesXml(s)},
        {"_rels/.rels", PackageRelsXml()},
        {"docProps/core.xml", CoreXml(s)},
        {"docProps/app.xml", AppXml()},
        {"word/document.xml", DocumentXml(s)},
        {"word/_rels/document.xml.rels", DocumentRelsXml(s)},
        {"word/styles.xml", StylesXml()},
        {"word/settings.xml", SettingsXml(s)},
    };
    if (!s.header.empty())
        entries.push_back({"word/header1.xml", HeaderXml(s)});
    if (!s.footnotes.empty())
        entries.push_back({"word/footnotes.xml", FootnotesXml(s)});
    bool ok = true;
    for (const auto& [name, data] : entries)
        ok = ok && AddEntry(zip, name, data);
    if (!ok) {
        std::fprintf(stderr, "cannot add to %s: %s\n", path.c_str(), zip_strerror(zip));
        zip_discard(zip);
        return false;
    }
    if (zip_close(zip) != 0) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), zip_strerror(zip));
        zip_discard(zip);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        std::fprintf(stderr, "cannot create %s: %s\n", folder.string().c_str(),
                     ec.message().c_str());
        return 1;
    }
    bool ok = true;
    for (const Sample& s : Samples())
        ok = WriteSample(folder, s) && ok;
    return ok ? 0 : 1;
}
