#include "PackageFixtures.h"

#include <dirent.h>
#include <stdlib.h>
#include <zip.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <pugixml.hpp>

#include "DocxSkeleton.h"
#include "RawZip.h"
#include "docx/package/Namespaces.h"

namespace fixtures {

void WriteZip(const std::string& path, const std::vector<ZipItem>& items) {
    std::vector<testzip::RawEntry> entries;
    entries.reserve(items.size());
    for (const ZipItem& item : items)
        entries.emplace_back(item.name, item.data, !item.store);
    WriteFile(path, testzip::BuildZip(entries));
}

DocxSpec Spec(std::string body, std::string settings, std::string styles) {
    DocxSpec spec;
    spec.body = std::move(body);
    spec.settings = std::move(settings);
    spec.styles = std::move(styles);
    return spec;
}

std::vector<ZipItem> DocxItems(const DocxSpec& spec) {
    const std::string ns =
        std::string(" xmlns:w=\"") + kW +
        "\" xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";
    testzip::Skeleton s;
    s.document = std::string(testzip::kXmlDecl) +
                 (spec.documentOpen.empty()
                      ? "<w:document" + ns + "><w:body>" + spec.body + "</w:body></w:document>"
                      : spec.documentOpen + spec.body);
    const auto part = [&](const std::string& kind, const std::string& id,
                          const std::string& inner) {
        if (!inner.empty())
            s.related.push_back({"word/" + kind + ".xml", kind, id,
                                 std::string(testzip::kXmlDecl) + "<w:" + kind + ns + ">" + inner +
                                     "</w:" + kind + ">"});
    };
    part("settings", "rId2", spec.settings);
    part("styles", "rId3", spec.styles);
    std::vector<ZipItem> items;
    for (const testzip::RawEntry& e : testzip::SkeletonEntries(s))
        items.push_back({e.name, e.data, false});
    items.insert(items.end(), spec.extra.begin(), spec.extra.end());
    return items;
}

void WriteDocx(const std::string& path, const DocxSpec& spec) {
    WriteZip(path, DocxItems(spec));
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::map<std::string, ZipEntryData> ReadZip(const std::string& path) {
    int err = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_RDONLY, &err);
    if (!z)
        throw std::runtime_error("not a zip: " + path);
    std::map<std::string, ZipEntryData> out;
    const zip_int64_t n = zip_get_num_entries(z, 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        zip_stat_index(z, static_cast<zip_uint64_t>(i), 0, &st);
        ZipEntryData d;
        d.crc = st.crc;
        d.method = st.comp_method;
        for (zip_flags_t flags : {zip_flags_t(ZIP_FL_COMPRESSED), zip_flags_t(0)}) {
            zip_file_t* f = zip_fopen_index(z, static_cast<zip_uint64_t>(i), flags);
            if (!f)
                throw std::runtime_error(std::string("cannot read entry ") + st.name);
            std::string& into = flags ? d.raw : d.data;
            char buf[65536];
            zip_int64_t got;
            while ((got = zip_fread(f, buf, sizeof buf)) > 0)
                into.append(buf, static_cast<size_t>(got));
            zip_fclose(f);
            if (got < 0)
                throw std::runtime_error(std::string("bad entry ") + st.name);
        }
        out[st.name] = std::move(d);
    }
    zip_discard(z);
    return out;
}

std::vector<std::string> ZipNames(const std::string& path) {
    int err = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_RDONLY, &err);
    if (!z)
        throw std::runtime_error("not a zip: " + path);
    std::vector<std::string> names;
    const zip_int64_t n = zip_get_num_entries(z, 0);
    for (zip_int64_t i = 0; i < n; ++i)
        names.push_back(zip_get_name(z, static_cast<zip_uint64_t>(i), 0));
    zip_discard(z);
    return names;
}

namespace {

std::string ParagraphText(const docx::WordNames& w, pugi::xml_node p) {
    std::string text;
    for (pugi::xml_node n = p.first_child(); n;) {
        std::string_view local = w.Local(n);
        if (local == "t")
            text += n.text().get();
        if (local == "tab")
            text += "\t";
        if (local == "br")
            text += "\n";
        const bool descend = n.first_child() && local != "del" && local != "t" && local != "pPr" &&
                             local != "rPr" && local != "txbxContent";
        if (descend) {
            n = n.first_child();
            continue;
        }
        while (n && n != p && !n.next_sibling())
            n = n.parent();
        if (!n || n == p)
            break;
        n = n.next_sibling();
    }
    return text;
}

void Collect(const docx::WordNames& w, pugi::xml_node node, bool deep,
             std::vector<std::string>& out) {
    for (pugi::xml_node c : node.children()) {
        if (w.Is(c, "p"))
            out.push_back(ParagraphText(w, c));
        else if (deep && !w.Local(c).empty() && w.Local(c) != "sectPr")
            Collect(w, c, deep, out);
    }
}

std::vector<std::string> Texts(const std::string& xml, bool deep) {
    pugi::xml_document doc;
    if (!doc.load_string(xml.c_str(), pugi::parse_default | pugi::parse_ws_pcdata))
        throw std::runtime_error("bad document XML");
    docx::WordNames w(doc);
    std::vector<std::string> out;
    Collect(w, w.Child(doc.document_element(), "body"), deep, out);
    return out;
}

}  // namespace

std::vector<std::string> BodyParagraphTexts(const std::string& documentXml) {
    return Texts(documentXml, false);
}

std::vector<std::string> AllParagraphTexts(const std::string& documentXml) {
    return Texts(documentXml, true);
}

std::vector<std::string> PartParagraphTexts(const std::string& partXml) {
    pugi::xml_document doc;
    if (!doc.load_string(partXml.c_str(), pugi::parse_default | pugi::parse_ws_pcdata))
        throw std::runtime_error("bad part XML");
    std::vector<std::string> texts;
    std::map<const void*, size_t> index;
    for (pugi::xpath_node p : doc.select_nodes("//w:p")) {
        index[p.node().internal_object()] = texts.size();
        texts.emplace_back();
    }
    for (pugi::xpath_node t : doc.select_nodes("//w:t")) {
        pugi::xml_node p = t.node().parent();
        while (p && std::string_view(p.name()) != "w:p")
            p = p.parent();
        if (p)
            texts[index[p.internal_object()]] += t.node().child_value();
    }
    return texts;
}

TempFolder::TempFolder() {
    char templ[] = "/tmp/lf-docx-XXXXXX";
    if (!::mkdtemp(templ))
        throw std::runtime_error("cannot create a temporary folder");
    path_ = templ;
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

std::vector<std::string> FolderNames(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (dirent* e = ::readdir(d)) {
            std::string n = e->d_name;
            if (n != "." && n != "..")
                names.push_back(n);
        }
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace fixtures
