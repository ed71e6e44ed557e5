#include "docx/package/Namespaces.h"

#include <cstring>

namespace docx {
namespace {

std::string_view PrefixOf(std::string_view qualified) {
    auto colon = qualified.find(':');
    return colon == std::string_view::npos ? std::string_view() : qualified.substr(0, colon);
}

// True when some element below the root binds a Word namespace or rebinds a prefix (or the
// default namespace) that the root binds to one; only then must names be resolved per element.
bool RelevantNestedDeclaration(pugi::xml_node root, const std::vector<std::string>& wordPrefixes,
                               bool defaultIsWord) {
    auto relevant = [&](pugi::xml_node n) {
        for (pugi::xml_attribute a : n.attributes()) {
            const char* name = a.name();
            if (std::strncmp(name, "xmlns", 5) != 0)
                continue;
            if (name[5] == 0) {
                if (defaultIsWord || IsWordNamespace(a.value()))
                    return true;
            } else if (name[5] == ':') {
                if (IsWordNamespace(a.value()))
                    return true;
                for (const auto& p : wordPrefixes)
                    if (p == name + 6)
                        return true;
            }
        }
        return false;
    };
    for (pugi::xml_node n = root.first_child(); n;) {
        if (n.type() == pugi::node_element && n.first_attribute() && relevant(n))
            return true;
        if (n.first_child()) {
            n = n.first_child();
            continue;
        }
        while (n && !n.next_sibling() && n != root)
            n = n.parent();
        if (!n || n == root)
            break;
        n = n.next_sibling();
    }
    return false;
}

}  // namespace

bool IsWordNamespace(std::string_view uri) {
    return uri == kWordTransitionalNs || uri == kWordStrictNs;
}

std::string_view LocalPart(std::string_view qualifiedName) {
    auto colon = qualifiedName.find(':');
    return colon == std::string_view::npos ? qualifiedName : qualifiedName.substr(colon + 1);
}

std::string NamespaceOf(pugi::xml_node element, std::string_view qualifiedName) {
    std::string_view prefix = PrefixOf(qualifiedName);
    if (prefix == "xml")
        return kXmlNs;
    const std::string attr = prefix.empty() ? std::string("xmlns") : "xmlns:" + std::string(prefix);
    for (pugi::xml_node n = element; n && n.type() == pugi::node_element; n = n.parent())
        if (pugi::xml_attribute a = n.attribute(attr.c_str()))
            return a.value();
    return "";
}

WordNames::WordNames(pugi::xml_document& doc, bool declarationsOnRootOnly) {
    pugi::xml_node root = doc.document_element();
    for (pugi::xml_attribute a : root.attributes()) {
        std::string_view name = a.name();
        if (name == "xmlns") {
            if (IsWordNamespace(a.value())) {
                defaultIsWord_ = true;
                uri_ = a.value();
            }
        } else if (name.substr(0, 6) == "xmlns:" && IsWordNamespace(a.value())) {
            prefixes_.emplace_back(name.substr(6));
            if (uri_.empty() || prefixes_.back() == "w")
                uri_ = a.value();
        }
    }
    nestedDeclarations_ =
        !declarationsOnRootOnly && RelevantNestedDeclaration(root, prefixes_, defaultIsWord_);
    if (uri_.empty()) {
        uri_ = kWordTransitionalNs;
    }
    strict_ = uri_ == kWordStrictNs;
    if (!prefixes_.empty()) {
        attributePrefix_ = prefixes_.front();
        for (const auto& p : prefixes_)
            if (p == "w")
                attributePrefix_ = p;
        elementPrefix_ = defaultIsWord_ ? std::string() : attributePrefix_;
    } else {
        // No prefix for the Word namespace yet: attributes need one, so declare it on the root.
        std::string prefix = "w";
        for (int i = 0; root.attribute(("xmlns:" + prefix).c_str()); ++i)
            prefix = "w" + std::to_string(i);
        if (root) {
            root.append_attribute(("xmlns:" + prefix).c_str()).set_value(uri_.c_str());
            prefixes_.push_back(prefix);
        }
        attributePrefix_ = prefix;
        elementPrefix_ = defaultIsWord_ ? std::string() : prefix;
    }
}

bool WordNames::PrefixIsWord(std::string_view prefix, pugi::xml_node context) const {
    if (nestedDeclarations_) {
        std::string q = prefix.empty() ? std::string("x") : std::string(prefix) + ":x";
        return IsWordNamespace(NamespaceOf(context, q));
    }
    if (prefix.empty())
        return defaultIsWord_;
    for (const auto& p : prefixes_)
        if (p == prefix)
            return true;
    return false;
}

std::string_view WordNames::Local(pugi::xml_node node) const {
    if (node.type() != pugi::node_element)
        return {};
    std::string_view name = node.name();
    auto colon = name.find(':');
    std::string_view prefix =
        colon == std::string_view::npos ? std::string_view() : name.substr(0, colon);
    if (!PrefixIsWord(prefix, node))
        return {};
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

bool WordNames::Is(pugi::xml_node node, std::string_view local) const {
    // The name first: most nodes fail on it, and text nodes have none.
    std::string_view name = node.name();
    if (name.size() < local.size() || name.substr(name.size() - local.size()) != local)
        return false;
    if (node.type() != pugi::node_element)
        return false;
    const size_t plen = name.size() - local.size();
    if (plen == 0)
        return PrefixIsWord({}, node);
    if (name[plen - 1] != ':')
        return false;
    return PrefixIsWord(name.substr(0, plen - 1), node);
}

pugi::xml_node WordNames::Child(pugi::xml_node parent, std::string_view local) const {
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
        if (Is(c, local))
            return c;
    return {};
}

std::vector<pugi::xml_node> WordNames::Children(pugi::xml_node parent,
                                                std::string_view local) const {
    std::vector<pugi::xml_node> out;
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
        if (Is(c, local))
            out.push_back(c);
    return out;
}

pugi::xml_node WordNames::Ancestor(pugi::xml_node node, std::string_view local,
                                   pugi::xml_node stopAt) const {
    for (pugi::xml_node n = node.parent(); n && n != stopAt; n = n.parent())
        if (Is(n, local))
            return n;
    return {};
}

pugi::xml_attribute WordNames::Attr(pugi::xml_node element, std::string_view local) const {
    for (pugi::xml_attribute a = element.first_attribute(); a; a = a.next_attribute()) {
        std::string_view name = a.name();
        auto colon = name.find(':');
        if (colon == std::string_view::npos)
            continue;
        if (name.substr(colon + 1) != local)
            continue;
        if (PrefixIsWord(name.substr(0, colon), element))
            return a;
    }
    return {};
}

void WordNames::SetAttr(pugi::xml_node element, std::string_view local,
                        std::string_view value) const {
    pugi::xml_attribute a = Attr(element, local);
    if (!a)
        a = element.append_attribute(AttributeName(local).c_str());
    a.set_value(std::string(value).c_str());
}

bool WordNames::RemoveAttr(pugi::xml_node element, std::string_view local) const {
    pugi::xml_attribute a = Attr(element, local);
    return a && element.remove_attribute(a);
}

std::string WordNames::ElementName(std::string_view local) const {
    return elementPrefix_.empty() ? std::string(local) : elementPrefix_ + ":" + std::string(local);
}

std::string WordNames::AttributeName(std::string_view local) const {
    return attributePrefix_ + ":" + std::string(local);
}

}  // namespace docx
