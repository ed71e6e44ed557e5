#include "PackageValidator.h"

#include <zip.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string_view>
#include <utility>

#include <pugixml.hpp>

namespace validator {
namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string_view LocalPart(std::string_view qualifiedName) {
    const size_t colon = qualifiedName.find(':');
    return colon == std::string_view::npos ? qualifiedName : qualifiedName.substr(colon + 1);
}

// The namespace bound to the prefix of qualifiedName at element, "" when unbound.
std::string NamespaceOf(pugi::xml_node element, std::string_view qualifiedName) {
    const size_t colon = qualifiedName.find(':');
    const std::string prefix(colon == std::string_view::npos ? std::string_view()
                                                             : qualifiedName.substr(0, colon));
    if (prefix == "xml")
        return "http://www.w3.org/XML/1998/namespace";
    const std::string attr = prefix.empty() ? std::string("xmlns") : "xmlns:" + prefix;
    for (pugi::xml_node n = element; n && n.type() == pugi::node_element; n = n.parent())
        if (pugi::xml_attribute a = n.attribute(attr.c_str()))
            return a.value();
    return "";
}

bool IsWordNamespace(std::string_view uri) {
    return uri == "http://schemas.openxmlformats.org/wordprocessingml/2006/main" ||
           uri == "http://purl.oclc.org/ooxml/wordprocessingml/main";
}

bool IsWordMainContentType(std::string_view t) {
    return t ==
               "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml" ||
           t == "application/vnd.ms-word.document.macroEnabled.main+xml" ||
           t ==
               "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml" ||
           t == "application/vnd.ms-word.template.macroEnabledTemplate.main+xml";
}

bool IsOfficeDocumentRel(std::string_view type) {
    return type ==
               "http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
               "officeDocument" ||
           type == "http://purl.oclc.org/ooxml/officeDocument/relationships/officeDocument";
}

std::string PercentDecode(std::string_view s) {
    auto hex = [](char c) {
        return c >= '0' && c <= '9'                     ? c - '0'
               : (c | 0x20) >= 'a' && (c | 0x20) <= 'f' ? (c | 0x20) - 'a' + 10
                                                        : -1;
    };
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && hex(s[i + 1]) >= 0 && hex(s[i + 2]) >= 0) {
            out += static_cast<char>(hex(s[i + 1]) * 16 + hex(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

// The part a relationship target names: relative to the source part's folder, or absolute.
std::string ResolveTarget(std::string_view source, std::string_view target) {
    std::string t = PercentDecode(target);
    if (const size_t hash = t.find('#'); hash != std::string::npos)
        t.resize(hash);
    const size_t slash = source.find_last_of('/');
    const std::string joined =
        !t.empty() && t[0] == '/'
            ? t.substr(1)
            : (slash == std::string_view::npos ? "" : std::string(source.substr(0, slash + 1))) + t;
    std::vector<std::string> segments;
    size_t start = 0;
    while (start <= joined.size()) {
        size_t next = joined.find('/', start);
        if (next == std::string::npos)
            next = joined.size();
        const std::string seg = joined.substr(start, next - start);
        if (seg == "..") {
            if (!segments.empty())
                segments.pop_back();
        } else if (!seg.empty() && seg != ".") {
            segments.push_back(seg);
        }
        start = next + 1;
    }
    std::string out;
    for (const std::string& seg : segments)
        out += (out.empty() ? "" : "/") + seg;
    return out;
}

// The first reference to an entity other than the predefined ones, or "".
std::string UndefinedEntity(const std::string& bytes) {
    std::string text;
    const bool utf16 = bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                                             (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
    if (utf16) {
        for (char c : bytes)
            if (c != '\0')
                text += c;
    }
    const std::string& t = utf16 ? text : bytes;
    for (size_t at = t.find('&'); at != std::string::npos; at = t.find('&', at + 1)) {
        const size_t end = t.find(';', at);
        if (end == std::string::npos || end - at > 64)
            continue;
        const std::string name = t.substr(at + 1, end - at - 1);
        if (name.empty() || name[0] == '#' || name == "amp" || name == "lt" || name == "gt" ||
            name == "quot" || name == "apos" || name.find_first_of(" <>&\"'") != std::string::npos)
            continue;
        return "&" + name + ";";
    }
    return "";
}

// An entry name that is empty, absolute, holds NUL or climbs out with "..".
bool UnsafeName(const std::string& name) {
    if (name.empty() || name[0] == '/' || name[0] == '\\' || name.find('\0') != std::string::npos)
        return true;
    size_t start = 0;
    while (start <= name.size()) {
        size_t next = name.find_first_of("/\\", start);
        if (next == std::string::npos)
            next = name.size();
        if (name.compare(start, next - start, "..") == 0)
            return true;
        start = next + 1;
    }
    return false;
}

struct Relationship {
    std::string id;
    std::string type;
    std::string target;  // the part name, or the raw target when external
    bool external = false;
};

// The package as its zip holds it, every entry read (and its checksum checked) at opening.
class Reader {
  public:
    // Raises std::runtime_error saying why the archive cannot be read.
    explicit Reader(const std::string& path) {
        int err = 0;
        zip_t* zip = zip_open(path.c_str(), ZIP_RDONLY, &err);
        if (!zip)
            throw std::runtime_error("not a readable zip archive (libzip error " +
                                     std::to_string(err) + ")");
        const std::unique_ptr<zip_t, decltype(&zip_discard)> hold(zip, &zip_discard);
        const zip_int64_t count = zip_get_num_entries(zip, 0);
        for (zip_int64_t i = 0; i < count; ++i) {
            zip_stat_t st;
            if (zip_stat_index(zip, static_cast<zip_uint64_t>(i), 0, &st) != 0 || !st.name)
                throw std::runtime_error("an entry cannot be read");
            const std::string name = st.name;
            if (UnsafeName(name))
                throw std::runtime_error("the entry name \"" + name + "\" is unsafe");
            if (!lower_.emplace(Lower(name), name).second)
                throw std::runtime_error("two entries are named \"" + name + "\"");
            std::string bytes = ReadEntry(zip, static_cast<zip_uint64_t>(i), name);
            if (bytes.size() != st.size)
                throw std::runtime_error("\"" + name + "\" is not the size it declares");
            if (name.back() == '/' && st.size == 0)
                continue;
            parts_.push_back(name);
            bytes_.emplace(name, std::move(bytes));
        }
    }

    // Part names in name order, folders left out.
    std::vector<std::string> Parts() const {
        std::vector<std::string> sorted = parts_;
        std::sort(sorted.begin(), sorted.end());
        return sorted;
    }

    // The stored name of a part (exact, else ignoring case, as OPC names compare), or "".
    std::string Find(std::string_view name) const {
        if (!name.empty() && name[0] == '/')
            name.remove_prefix(1);
        if (bytes_.count(std::string(name)))
            return std::string(name);
        const auto it = lower_.find(Lower(name));
        return it != lower_.end() && bytes_.count(it->second) ? it->second : "";
    }
    bool HasPart(std::string_view name) const { return !Find(name).empty(); }

    // The parsed XML of a part; raises std::runtime_error when it is missing, does not parse,
    // declares a DTD or refers to an undefined entity.
    pugi::xml_document& Xml(std::string_view partName) {
        const std::string name = Find(partName);
        if (name.empty())
            throw std::runtime_error("the part is missing");
        if (auto it = xml_.find(name); it != xml_.end())
            return *it->second;
        const std::string& bytes = bytes_.at(name);
        const std::string entity = UndefinedEntity(bytes);
        if (!entity.empty())
            throw std::runtime_error("it refers to the undefined entity " + entity);
        auto doc = std::make_unique<pugi::xml_document>();
        const pugi::xml_parse_result r =
            doc->load_buffer(bytes.data(), bytes.size(), pugi::parse_full | pugi::parse_ws_pcdata);
        if (!r)
            throw std::runtime_error(std::string("not well-formed XML (") + r.description() +
                                     " at offset " + std::to_string(r.offset) + ")");
        for (pugi::xml_node n : doc->children())
            if (n.type() == pugi::node_doctype)
                throw std::runtime_error("it declares a DTD");
        return *xml_.emplace(name, std::move(doc)).first->second;
    }

    // The content type [Content_Types].xml gives a part (Override, else Default), or "".
    std::string ContentType(std::string_view partName) {
        if (!typesRead_) {
            typesRead_ = true;
            for (pugi::xml_node n : Xml("[Content_Types].xml").document_element().children()) {
                const std::string_view local = LocalPart(n.name());
                if (local == "Override") {
                    std::string pn = n.attribute("PartName").value();
                    if (!pn.empty() && pn[0] == '/')
                        pn.erase(0, 1);
                    overrides_[Lower(PercentDecode(pn))] = n.attribute("ContentType").value();
                } else if (local == "Default") {
                    defaults_[Lower(n.attribute("Extension").value())] =
                        n.attribute("ContentType").value();
                }
            }
        }
        const std::string lower = Lower(partName);
        if (auto it = overrides_.find(lower); it != overrides_.end())
            return it->second;
        const size_t dot = lower.find_last_of('.');
        const size_t slash = lower.find_last_of('/');
        if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
            if (auto it = defaults_.find(lower.substr(dot + 1)); it != defaults_.end())
                return it->second;
        return "";
    }

    // The relationships of a part ("" for the package); empty without a relationship part.
    std::vector<Relationship> Relationships(const std::string& source) {
        const size_t slash = source.find_last_of('/');
        const std::string rels =
            source.empty() ? "_rels/.rels"
            : slash == std::string::npos
                ? "_rels/" + source + ".rels"
                : source.substr(0, slash + 1) + "_rels/" + source.substr(slash + 1) + ".rels";
        std::vector<Relationship> list;
        if (!HasPart(rels))
            return list;
        for (pugi::xml_node n : Xml(rels).document_element().children()) {
            if (n.type() != pugi::node_element || LocalPart(n.name()) != "Relationship")
                continue;
            Relationship r;
            r.id = n.attribute("Id").value();
            r.type = n.attribute("Type").value();
            r.external = std::string_view(n.attribute("TargetMode").value()) == "External";
            r.target = r.external ? n.attribute("Target").value()
                                  : ResolveTarget(source, n.attribute("Target").value());
            list.push_back(std::move(r));
        }
        return list;
    }

  private:
    static std::string ReadEntry(zip_t* zip, zip_uint64_t index, const std::string& name) {
        zip_file_t* f = zip_fopen_index(zip, index, 0);
        if (!f)
            throw std::runtime_error("\"" + name + "\" cannot be read");
        std::string bytes;
        char buf[64 * 1024];
        zip_int64_t n;
        while ((n = zip_fread(f, buf, sizeof buf)) > 0)
            bytes.append(buf, static_cast<size_t>(n));
        zip_fclose(f);
        if (n < 0)
            throw std::runtime_error("the checksum or data of \"" + name + "\" is damaged");
        return bytes;
    }

    std::vector<std::string> parts_;
    std::map<std::string, std::string> bytes_;
    std::map<std::string, std::string> lower_;  // lower-case name -> stored name
    std::map<std::string, std::unique_ptr<pugi::xml_document>> xml_;
    bool typesRead_ = false;
    std::map<std::string, std::string> overrides_;
    std::map<std::string, std::string> defaults_;
};

constexpr std::string_view kRelNamespaces[] = {
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships",
    "http://purl.oclc.org/ooxml/officeDocument/relationships",
};

bool IsRelNamespace(std::string_view uri) {
    return std::find(std::begin(kRelNamespaces), std::end(kRelNamespaces), uri) !=
           std::end(kRelNamespaces);
}

bool EndsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && Lower(s.substr(s.size() - suffix.size())) == Lower(suffix);
}

bool IsRelsPart(std::string_view name) {
    return EndsWith(name, ".rels") &&
           (name.rfind("_rels/", 0) == 0 || name.find("/_rels/") != std::string_view::npos);
}

// The part a relationship part describes ("" for the package), or nullopt when the name is not
// one of a relationship part.
std::optional<std::string> SourceOfRels(std::string_view relsName) {
    const size_t at = relsName.rfind("_rels/");
    if (at == std::string_view::npos || !EndsWith(relsName, ".rels"))
        return std::nullopt;
    const std::string folder(relsName.substr(0, at));
    std::string_view file = relsName.substr(at + 6);
    file.remove_suffix(5);
    return folder + std::string(file);
}

pugi::xml_node NextElement(pugi::xml_node n) {
    while (n && n.type() != pugi::node_element)
        n = n.next_sibling();
    return n;
}

// What a scan of an XML part found: every attribute in a relationships namespace, as
// (element/@attribute, value), and the first attribute an element holds twice.
struct PartScan {
    std::vector<std::pair<std::string, std::string>> refs;
    std::string duplicate;  // "element/@attribute", or "" when there is none
};

// Scans xml without recursion (parts may nest deeply).
PartScan ScanPart(const pugi::xml_document& xml) {
    PartScan scan;
    std::vector<std::pair<std::string_view, std::string_view>> scope;  // prefix, namespace
    std::vector<size_t> marks;
    std::set<std::string_view> names;
    pugi::xml_node n = NextElement(xml.first_child());
    while (n) {
        marks.push_back(scope.size());
        names.clear();
        for (pugi::xml_attribute a : n.attributes()) {
            std::string_view an = a.name();
            if (!names.insert(an).second && scan.duplicate.empty())
                scan.duplicate = std::string(n.name()) + "/@" + std::string(an);
            if (an.rfind("xmlns:", 0) == 0)
                scope.emplace_back(an.substr(6), a.value());
        }
        for (pugi::xml_attribute a : n.attributes()) {
            std::string_view an = a.name();
            const size_t colon = an.find(':');
            if (colon == std::string_view::npos || an.substr(0, colon) == "xmlns")
                continue;
            const std::string_view prefix = an.substr(0, colon);
            for (auto it = scope.rbegin(); it != scope.rend(); ++it) {
                if (it->first != prefix)
                    continue;
                if (IsRelNamespace(it->second))
                    scan.refs.emplace_back(std::string(n.name()) + "/@" + std::string(an),
                                           a.value());
                break;
            }
        }
        if (pugi::xml_node child = NextElement(n.first_child())) {
            n = child;
            continue;
        }
        // Leave n and every ancestor that has no further element sibling.
        while (n) {
            scope.resize(marks.back());
            marks.pop_back();
            if (pugi::xml_node sibling = NextElement(n.next_sibling())) {
                n = sibling;
                break;
            }
            n = n.parent();
            if (n.type() != pugi::node_element)
                n = pugi::xml_node();
        }
    }
    return scan;
}

bool IsXmlPart(Reader& pkg, const std::string& name) {
    const std::string type = pkg.ContentType(name);
    return EndsWith(name, ".xml") || EndsWith(name, ".rels") || EndsWith(type, "+xml") ||
           EndsWith(type, "/xml");
}

constexpr std::string_view kMarkupCompatibilityNs =
    "http://schemas.openxmlformats.org/markup-compatibility/2006";

constexpr std::string_view kRevisionLocals[] = {
    "ins",        "del",           "moveFrom",        "moveTo",        "rPrChange",
    "pPrChange",  "sectPrChange",  "tblPrChange",     "tblPrExChange", "trPrChange",
    "tcPrChange", "tblGridChange", "numberingChange", "cellIns",       "cellDel",
    "cellMerge"};

bool IsWordElement(pugi::xml_node n, std::string_view local) {
    return n.type() == pugi::node_element && LocalPart(n.name()) == local &&
           IsWordNamespace(NamespaceOf(n, n.name()));
}

bool IsRevision(pugi::xml_node n) {
    if (n.type() != pugi::node_element)
        return false;
    const std::string_view local = LocalPart(n.name());
    return std::find(std::begin(kRevisionLocals), std::end(kRevisionLocals), local) !=
               std::end(kRevisionLocals) &&
           IsWordNamespace(NamespaceOf(n, n.name()));
}

// The w:id of a WordprocessingML element, or "" when it has none.
std::string WordId(pugi::xml_node n) {
    for (pugi::xml_attribute a : n.attributes()) {
        if (LocalPart(a.name()) == "id" &&
            std::string_view(a.name()).find(':') != std::string_view::npos &&
            IsWordNamespace(NamespaceOf(n, a.name())))
            return a.value();
    }
    return "";
}

// The text of a text box's content: its w:t texts, each paragraph opened by a line feed.
std::string TextBoxText(pugi::xml_node content) {
    struct Collect : pugi::xml_tree_walker {
        std::string text;
        bool for_each(pugi::xml_node& n) override {
            if (IsWordElement(n, "p"))
                text += '\n';
            else if (IsWordElement(n, "t"))
                text += n.child_value();
            return true;
        }
    } collect;
    content.traverse(collect);
    return collect.text;
}

// The texts of the outermost text boxes below branch, in document order.
std::vector<std::string> TextBoxTexts(pugi::xml_node branch) {
    std::vector<std::string> texts;
    std::vector<pugi::xml_node> stack{branch};
    while (!stack.empty()) {
        pugi::xml_node n = stack.back();
        stack.pop_back();
        if (n != branch && IsWordElement(n, "txbxContent")) {
            texts.push_back(TextBoxText(n));
            continue;
        }
        std::vector<pugi::xml_node> children;
        for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
            if (c.type() == pugi::node_element)
                children.push_back(c);
        stack.insert(stack.end(), children.rbegin(), children.rend());
    }
    return texts;
}

bool IsCompatibilityElement(pugi::xml_node n, std::string_view local) {
    return n.type() == pugi::node_element && LocalPart(n.name()) == local &&
           NamespaceOf(n, n.name()) == kMarkupCompatibilityNs;
}

class Checker {
  public:
    explicit Checker(Reader& pkg) : pkg_(pkg) {}

    void Run(ValidationReport& report) {
        report_ = &report;
        const std::vector<std::string> parts = pkg_.Parts();
        if (!pkg_.HasPart("[Content_Types].xml")) {
            Add("", "there is no [Content_Types].xml.");
            return;
        }
        if (!ParseOk("[Content_Types].xml"))
            return;
        CheckOverrides();
        for (const std::string& name : parts) {
            if (name == "[Content_Types].xml")
                continue;
            if (pkg_.ContentType(name).empty())
                Add(name,
                    "no content type covers it (no Override and no Default for its "
                    "extension).");
            if (IsXmlPart(pkg_, name))
                ParseOk(name);
        }
        for (const std::string& name : parts)
            if (IsRelsPart(name))
                CheckRelationshipPart(name);
        for (const std::string& name : parts)
            if (!IsRelsPart(name) && name != "[Content_Types].xml" && IsXmlPart(pkg_, name) &&
                parsed_.count(name))
                CheckReferences(name);
        CheckMainPart();
    }

  private:
    void Add(const std::string& part, const std::string& what) {
        report_->defects.push_back({part, what});
    }

    bool ParseOk(const std::string& name) {
        if (parsed_.count(name))
            return true;
        try {
            pkg_.Xml(name);
            parsed_.insert(name);
            return true;
        } catch (const std::exception& e) {
            Add(name, std::string("does not parse: ") + e.what());
            return false;
        }
    }

    void CheckOverrides() {
        pugi::xml_document& ct = pkg_.Xml("[Content_Types].xml");
        for (pugi::xml_node n : ct.document_element().children()) {
            std::string_view local = n.name();
            if (auto colon = local.find(':'); colon != std::string_view::npos)
                local.remove_prefix(colon + 1);
            if (local != "Override")
                continue;
            std::string pn = n.attribute("PartName").value();
            if (!pn.empty() && pn[0] == '/')
                pn.erase(0, 1);
            if (pn.empty() || !pkg_.HasPart(pn))
                Add("[Content_Types].xml",
                    "an Override names the part \"/" + pn + "\", which does not exist.");
        }
    }

    void CheckRelationshipPart(const std::string& name) {
        const std::optional<std::string> source = SourceOfRels(name);
        if (!source)
            return;
        if (!source->empty() && !pkg_.HasPart(*source))
            Add(name, "it describes the part \"" + *source + "\", which does not exist.");
        if (!ParseOk(name))
            return;
        std::set<std::string> ids;
        for (pugi::xml_node n : pkg_.Xml(name).document_element().children()) {
            if (n.type() != pugi::node_element)
                continue;
            const std::string id = n.attribute("Id").value();
            if (id.empty() || !n.attribute("Type") || !n.attribute("Target"))
                Add(name, "a relationship lacks its Id, Type or Target.");
            else if (!ids.insert(id).second)
                Add(name, "the id \"" + id + "\" is used twice.");
        }
        if (source->empty() || pkg_.HasPart(*source)) {
            for (const Relationship& r : pkg_.Relationships(*source)) {
                if (r.external || r.target.empty())
                    continue;
                if (!pkg_.HasPart(r.target))
                    Add(name, "the relationship \"" + r.id + "\" points at \"" + r.target +
                                  "\", which does not exist.");
            }
            ids_[*source] = std::move(ids);
        }
    }

    void CheckReferences(const std::string& name) {
        const PartScan scan = ScanPart(pkg_.Xml(name));
        if (!scan.duplicate.empty()) {
            // Its prefixes have no single meaning, so its references are not resolved either.
            Add(name, "is not well-formed: " + scan.duplicate + " appears twice in one element.");
            return;
        }
        CheckRevisionIds(name);
        CheckAlternateTextBoxes(name);
        const auto it = ids_.find(name);
        for (const auto& [where, id] : scan.refs) {
            if (id.empty())
                continue;
            if (it == ids_.end() || !it->second.count(id))
                Add(name, where + " refers to the relationship \"" + id +
                              "\", which the part does not have.");
        }
    }

    // Revision ids are unique within a part: Word repairs a part that uses one twice.
    void CheckRevisionIds(const std::string& name) {
        std::set<std::string> seen, reported;
        pugi::xml_document& xml = pkg_.Xml(name);
        std::vector<pugi::xml_node> stack{xml.document_element()};
        while (!stack.empty()) {
            pugi::xml_node n = stack.back();
            stack.pop_back();
            if (IsRevision(n)) {
                const std::string id = WordId(n);
                if (!id.empty() && !seen.insert(id).second && reported.insert(id).second)
                    Add(name, "the revision id \"" + id + "\" is used twice.");
            }
            for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
                if (c.type() == pugi::node_element)
                    stack.push_back(c);
        }
    }

    // The DrawingML text boxes in an mc:Choice and their VML copies in the mc:Fallback are the
    // same boxes shown two ways: together they hold the same texts.
    void CheckAlternateTextBoxes(const std::string& name) {
        pugi::xml_document& xml = pkg_.Xml(name);
        size_t index = 0;
        std::vector<pugi::xml_node> stack{xml.document_element()};
        while (!stack.empty()) {
            pugi::xml_node n = stack.back();
            stack.pop_back();
            if (IsCompatibilityElement(n, "AlternateContent")) {
                ++index;
                std::vector<std::string> choice, fallback;
                for (pugi::xml_node c : n.children()) {
                    if (IsCompatibilityElement(c, "Choice") && choice.empty())
                        choice = TextBoxTexts(c);
                    else if (IsCompatibilityElement(c, "Fallback"))
                        fallback = TextBoxTexts(c);
                }
                // The VML of a group may list its boxes in another order than the DrawingML.
                std::sort(choice.begin(), choice.end());
                std::sort(fallback.begin(), fallback.end());
                if (!choice.empty() && !fallback.empty() && choice != fallback)
                    Add(name, "the text boxes of alternate content " + std::to_string(index) +
                                  " hold other text in its mc:Choice than in its mc:Fallback.");
                continue;
            }
            for (pugi::xml_node c = n.last_child(); c; c = c.previous_sibling())
                if (c.type() == pugi::node_element)
                    stack.push_back(c);
        }
    }

    void CheckMainPart() {
        std::string main;
        for (const Relationship& r : pkg_.Relationships(""))
            if (!r.external && IsOfficeDocumentRel(r.type)) {
                main = r.target;
                break;
            }
        if (main.empty()) {
            Add("_rels/.rels", "the package names no main document part.");
            return;
        }
        if (!pkg_.HasPart(main))
            return;  // reported with the relationship part
        if (!IsWordMainContentType(pkg_.ContentType(main)))
            Add(main, "the main part's content type \"" + pkg_.ContentType(main) +
                          "\" is not one of a Word document.");
    }

    Reader& pkg_;
    ValidationReport* report_ = nullptr;
    std::set<std::string> parsed_;
    std::map<std::string, std::set<std::string>> ids_;  // source part -> relationship ids
};

}  // namespace

std::string ValidationReport::Describe() const {
    std::string out;
    for (const PackageDefect& d : defects)
        out += (d.part.empty() ? std::string("(package)") : d.part) + ": " + d.what + "\n";
    return out;
}

ValidationReport ValidatePackage(const std::string& path) {
    ValidationReport report;
    std::unique_ptr<Reader> pkg;
    try {
        pkg = std::make_unique<Reader>(path);
    } catch (const std::exception& e) {
        report.defects.push_back({"", std::string("cannot be opened: ") + e.what()});
        return report;
    }
    try {
        Checker(*pkg).Run(report);
    } catch (const std::exception& e) {
        report.defects.push_back({"", std::string("cannot be read: ") + e.what()});
    }
    return report;
}

std::vector<PackageDefect> NewDefects(const ValidationReport& before,
                                      const ValidationReport& after) {
    std::vector<PackageDefect> added;
    for (const PackageDefect& d : after.defects)
        if (std::find(before.defects.begin(), before.defects.end(), d) == before.defects.end())
            added.push_back(d);
    return added;
}

}  // namespace validator
