#include "docx/PackageValidator.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <utility>

#include "docx/Document.h"
#include "docx/Error.h"
#include "docx/Namespaces.h"
#include "docx/Package.h"
#include "docx/PackageIo.h"

namespace docx {
namespace {

constexpr std::string_view kRelNamespaces[] = {
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships",
    "http://purl.oclc.org/ooxml/officeDocument/relationships",
};

bool IsRelNamespace(std::string_view uri) {
    return std::find(std::begin(kRelNamespaces), std::end(kRelNamespaces), uri) !=
           std::end(kRelNamespaces);
}

bool EndsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() &&
           io::Lower(s.substr(s.size() - suffix.size())) == io::Lower(suffix);
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

bool IsXmlPart(Package& pkg, const std::string& name) {
    const std::string type = pkg.ContentType(name);
    return EndsWith(name, ".xml") || EndsWith(name, ".rels") || EndsWith(type, "+xml") ||
           EndsWith(type, "/xml");
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
    explicit Checker(Package& pkg) : pkg_(pkg) {}

    void Run(ValidationReport& report) {
        report_ = &report;
        std::set<std::string> parts;
        for (const Entry& e : pkg_.Entries())
            if (!(e.name.back() == '/' && e.size == 0))
                parts.insert(e.name);
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
        } catch (const Error& e) {
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

    // The DrawingML text box in an mc:Choice and its VML copy in the mc:Fallback are one text
    // box shown two ways: they hold the same text.
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
            if (!r.external && RelTypeIs(r.type, "officeDocument")) {
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

    Package& pkg_;
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
    std::unique_ptr<Package> pkg;
    try {
        pkg = Package::Open(path);
    } catch (const Error& e) {
        report.defects.push_back({"", std::string("cannot be opened: ") + e.what()});
        return report;
    }
    try {
        Checker(*pkg).Run(report);
    } catch (const Error& e) {
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

}  // namespace docx
