#pragma once

// Reproducible Word documents for the benchmarks: each is made from a seed alone. A document has
// styles, settings, a theme-sized part, a stored picture, a header and a footer, a table,
// formatted runs, and the marker kMarker several times, always split across two runs of
// different formatting (also once in the header and once in the footer). Left at its natural
// size the file is 20-60 KB; given a main-part size, the body grows to at least that many bytes
// with the same mix (one marker every ten paragraphs or so).

#include <fstream>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>

#include "RawZip.h"

namespace benchdocs {

// The marker text x of the benchmarks, and its two halves as the documents split it.
inline constexpr const char* kMarker = "XQMARK";
inline constexpr const char* kMarkerHead = "XQ";
inline constexpr const char* kMarkerTail = "MARK";

inline const char* const kWords[] = {"report",   "quarter",  "revenue", "team",   "project",
                                     "delivery", "customer", "budget",  "review", "plan",
                                     "schedule", "risk",     "market",  "growth", "summary",
                                     "result",   "update",   "meeting", "action", "owner"};

inline const std::string kNs =
    " xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\""
    " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";

inline std::string Sentence(std::mt19937& rng, int words) {
    std::string s;
    for (int i = 0; i < words; ++i)
        s += std::string(i ? " " : "") + kWords[rng() % 20];
    return s + ".";
}

inline std::string RunProperties(std::mt19937& rng) {
    std::string rPr;
    if (rng() % 3 == 0)
        rPr += "<w:b/>";
    if (rng() % 4 == 0)
        rPr += "<w:i/>";
    if (rng() % 2 == 0)
        rPr += "<w:sz w:val=\"" + std::to_string(18 + 2 * (rng() % 8)) + "\"/>";
    return rPr.empty() ? "" : "<w:rPr>" + rPr + "</w:rPr>";
}

inline std::string Run(std::mt19937& rng) {
    return "<w:r w:rsidR=\"00A1" + std::to_string(1000 + rng() % 9000) + "\">" +
           RunProperties(rng) + "<w:t xml:space=\"preserve\">" +
           Sentence(rng, 4 + static_cast<int>(rng() % 10)) + " </w:t></w:r>";
}

// The marker split across two runs: plain head, bold tail.
inline std::string SplitMarkerRuns() {
    return std::string("<w:r><w:t>") + kMarkerHead + "</w:t></w:r><w:r><w:rPr><w:b/></w:rPr><w:t>" +
           kMarkerTail + "</w:t></w:r>";
}

inline std::string Paragraph(std::mt19937& rng, bool withMarker) {
    std::string p = "<w:p><w:pPr><w:spacing w:after=\"120\"/></w:pPr>";
    const int runs = 1 + static_cast<int>(rng() % 4);
    const int markerAt =
        withMarker ? static_cast<int>(rng() % static_cast<unsigned>(runs + 1)) : -1;
    for (int r = 0; r <= runs; ++r) {
        if (r == markerAt)
            p += SplitMarkerRuns();
        if (r < runs)
            p += Run(rng);
    }
    return p + "</w:p>";
}

inline std::string Table(std::mt19937& rng) {
    std::string t =
        "<w:tbl><w:tblPr><w:tblW w:w=\"0\" w:type=\"auto\"/></w:tblPr><w:tblGrid>"
        "<w:gridCol w:w=\"3000\"/><w:gridCol w:w=\"3000\"/></w:tblGrid>";
    for (int row = 0; row < 4; ++row)
        t += "<w:tr><w:tc><w:p>" + Run(rng) + "</w:p></w:tc><w:tc><w:p>" + Run(rng) +
             "</w:p></w:tc></w:tr>";
    return t + "</w:tbl>";
}

// Writes the document of seed to path; mainPartBytes 0 keeps the natural size (20-60 KB file),
// otherwise the main part holds at least that many bytes. False when the file cannot be written.
inline bool MakeDocument(const std::string& path, unsigned seed, size_t mainPartBytes = 0) {
    std::mt19937 rng(seed);
    std::string body;
    const int paragraphs = 20 + static_cast<int>(rng() % 60);
    for (int p = 0; p < paragraphs || body.size() < mainPartBytes; ++p) {
        const bool marker = (p % 10 == 3) || (rng() % 17 == 0);
        body += Paragraph(rng, marker);
        if (p == paragraphs / 2)
            body += Table(rng);
    }
    body +=
        "<w:sectPr><w:headerReference w:type=\"default\" r:id=\"rId4\"/>"
        "<w:footerReference w:type=\"default\" r:id=\"rId5\"/><w:pgSz w:w=\"12240\" "
        "w:h=\"15840\"/></w:sectPr>";
    std::string styles = "<w:styles" + kNs +
                         "><w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\">"
                         "<w:name w:val=\"Normal\"/></w:style>";
    for (int i = 0; i < 40; ++i)
        styles += "<w:style w:type=\"character\" w:styleId=\"S" + std::to_string(i) +
                  "\"><w:name w:val=\"Style " + std::to_string(i) + "\"/><w:rPr><w:color w:val=\"" +
                  std::to_string(100000 + rng() % 800000) + "\"/></w:rPr></w:style>";
    styles += "</w:styles>";
    std::string theme =
        "<a:theme xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\">";
    for (int i = 0; i < 120; ++i)
        theme += "<a:font script=\"S" + std::to_string(rng()) + "\" typeface=\"Font\"/>";
    theme += "</a:theme>";
    std::string picture(8000 + rng() % 30000, '\0');
    for (char& c : picture)
        c = static_cast<char>(rng());

    const std::string rel =
        "<Relationship Id=\"rId%\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    auto R = [&](int id, const std::string& type, const std::string& target) {
        std::string r = rel;
        r.replace(r.find('%'), 1, std::to_string(id));
        return r + type + "\" Target=\"" + target + "\"/>";
    };
    const std::string hdrType = "application/vnd.openxmlformats-officedocument.wordprocessingml.";

    const std::string zip = testzip::BuildZip(
        {{"[Content_Types].xml",
          "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Types "
          "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
          "<Default Extension=\"rels\" "
          "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
          "<Default Extension=\"xml\" ContentType=\"application/xml\"/><Default "
          "Extension=\"png\" ContentType=\"image/png\"/>"
          "<Override PartName=\"/word/document.xml\" ContentType=\"" +
              hdrType + "document.main+xml\"/><Override PartName=\"/word/header1.xml\" " +
              "ContentType=\"" + hdrType + "header+xml\"/><Override " +
              "PartName=\"/word/footer1.xml\" ContentType=\"" + hdrType + "footer+xml\"/>" +
              "</Types>"},
         {"_rels/.rels",
          "<Relationships "
          "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship "
          "Id=\"rId1\" "
          "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
          "officeDocument\" Target=\"word/document.xml\"/></Relationships>"},
         {"word/document.xml",
          "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<w:document" + kNs +
              "><w:body>" + body + "</w:body></w:document>"},
         {"word/_rels/document.xml.rels",
          "<Relationships "
          "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
              R(1, "styles", "styles.xml") + R(2, "settings", "settings.xml") +
              R(3, "theme", "theme/theme1.xml") + R(4, "header", "header1.xml") +
              R(5, "footer", "footer1.xml") + R(6, "image", "media/image1.png") +
              "</Relationships>"},
         {"word/styles.xml", styles},
         {"word/settings.xml", "<w:settings" + kNs + "><w:zoom w:percent=\"100\"/></w:settings>"},
         {"word/theme/theme1.xml", theme},
         {"word/header1.xml",
          "<w:hdr" + kNs + "><w:p>" + Run(rng) + SplitMarkerRuns() + "</w:p></w:hdr>"},
         {"word/footer1.xml",
          "<w:ftr" + kNs + "><w:p>" + SplitMarkerRuns() + Run(rng) + "</w:p></w:ftr>"},
         {"word/media/image1.png", picture, false},
         {"docProps/core.xml", "<cp:coreProperties xmlns:cp=\"urn:x\"/>"}});
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << zip;
    return static_cast<bool>(out);
}

}  // namespace benchdocs
