#pragma once

// WordprocessingML names matched by namespace URI, never by prefix: a part may bind the main
// namespace to "w", to another prefix, or as the default namespace, in the transitional or the
// strict vocabulary.

#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

namespace docx {

inline constexpr const char* kWordTransitionalNs =
    "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
inline constexpr const char* kWordStrictNs = "http://purl.oclc.org/ooxml/wordprocessingml/main";
inline constexpr const char* kXmlNs = "http://www.w3.org/XML/1998/namespace";

// True for either WordprocessingML main namespace URI.
bool IsWordNamespace(std::string_view uri);

// The namespace URI bound to an element's (or attribute's) prefix, looked up through its
// ancestors; "" when unbound.
std::string NamespaceOf(pugi::xml_node element, std::string_view qualifiedName);
// The part of a qualified name after the colon (the whole name when it has none).
std::string_view LocalPart(std::string_view qualifiedName);

// The WordprocessingML names of one parsed part. Build it after parsing; it stays valid while the
// document's namespace declarations do not change.
class WordNames {
  public:
    // Scans the document's namespace declarations. When the root binds no WordprocessingML
    // namespace the transitional one is assumed for new elements (prefix "w", declared on the root
    // when it is first needed). With declarationsOnRootOnly the caller knows that no element below
    // the root declares a namespace, and the tree is not walked to find out.
    explicit WordNames(pugi::xml_document& doc, bool declarationsOnRootOnly = false);

    // True when node is an element of the WordprocessingML namespace with this local name.
    bool Is(pugi::xml_node node, std::string_view local) const;
    // The local name of a WordprocessingML element, or "" for any other node.
    std::string_view Local(pugi::xml_node node) const;
    // The first child element with this WordprocessingML local name, or an empty node.
    pugi::xml_node Child(pugi::xml_node parent, std::string_view local) const;
    // Every child element with this WordprocessingML local name, in order.
    std::vector<pugi::xml_node> Children(pugi::xml_node parent, std::string_view local) const;
    // The nearest ancestor (not node itself) with this local name, stopping at stopAt (excluded);
    // an empty node when none.
    pugi::xml_node Ancestor(pugi::xml_node node, std::string_view local,
                            pugi::xml_node stopAt = {}) const;

    // The WordprocessingML attribute with this local name (w:val and the like), or empty.
    pugi::xml_attribute Attr(pugi::xml_node element, std::string_view local) const;
    // Sets (adding when missing) a WordprocessingML attribute.
    void SetAttr(pugi::xml_node element, std::string_view local, std::string_view value) const;
    // Removes a WordprocessingML attribute; true when there was one.
    bool RemoveAttr(pugi::xml_node element, std::string_view local) const;

    // The qualified name for a new element or attribute of this local name, with the prefix the
    // part binds to the WordprocessingML namespace (attributes never use a default namespace).
    std::string ElementName(std::string_view local) const;
    std::string AttributeName(std::string_view local) const;

    // True when the part uses the strict vocabulary.
    bool Strict() const noexcept { return strict_; }
    // The namespace URI the part uses for WordprocessingML.
    const std::string& Uri() const noexcept { return uri_; }

  private:
    bool PrefixIsWord(std::string_view prefix, pugi::xml_node context) const;
    std::string uri_;
    bool strict_ = false;
    std::vector<std::string> prefixes_;  // prefixes bound to a Word namespace on the root
    bool defaultIsWord_ = false;
    bool nestedDeclarations_ = false;  // some element below the root declares namespaces
    std::string elementPrefix_;        // "" when the default namespace is used for elements
    std::string attributePrefix_;
};

}  // namespace docx
