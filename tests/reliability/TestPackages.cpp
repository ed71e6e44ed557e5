#include "TestPackages.h"

#include <stdlib.h>

#include <fstream>
#include <random>

#include "DocxSkeleton.h"
#include "docx/model/Document.h"

namespace reliability {

std::string MainXml(const std::string& body) {
    return "<w:document " + kWordNs + "><w:body>" + body + "</w:body></w:document>";
}

std::vector<testzip::RawEntry> Entries(const std::string& name, const std::string& data,
                                       bool deflate) {
    testzip::Skeleton s;
    s.document = MainXml();
    s.prolog = "";
    s.extraDefaults = "<Default Extension=\"bin\" ContentType=\"application/octet-stream\"/>";
    s.documentRelationships = false;
    std::vector<testzip::RawEntry> e = testzip::SkeletonEntries(s);
    if (name.empty())
        return e;
    for (testzip::RawEntry& x : e)
        if (x.name == name) {
            x.data = data;
            x.deflate = deflate;
            return e;
        }
    e.push_back({name, data, deflate});
    return e;
}

std::string Noise(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (char& c : s)
        c = static_cast<char>(rng());
    return s;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> ParagraphTexts(const std::string& path) {
    auto doc = docx::Document::Open(path);
    std::vector<std::string> texts;
    for (pugi::xml_node p : doc->Body().children()) {
        if (std::string_view(p.name()) != "w:p")
            continue;
        std::string t;
        for (const pugi::xpath_node& n : p.select_nodes(".//w:t"))
            t += n.node().text().get();
        texts.push_back(t);
    }
    return texts;
}

bool IsEngineTempName(const std::string& name) {
    if (name.size() != 4 + 12 + 4 || name.compare(0, 4, ".~lf") != 0 ||
        name.compare(16, 4, ".tmp") != 0)
        return false;
    for (size_t i = 4; i < 16; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

Folder::Folder() {
    char t[] = "/tmp/lf-reliability-XXXXXX";
    path_ = ::mkdtemp(t);
}

Folder::~Folder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

}  // namespace reliability
