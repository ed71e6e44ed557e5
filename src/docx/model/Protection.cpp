#include "docx/model/Protection.h"

namespace docx {
namespace {

struct ProtectionElement {
    std::string part;
    pugi::xml_node node;
};

ProtectionElement Find(Document& doc) {
    const std::string settings = doc.RelatedPart("settings");
    if (settings.empty())
        return {};
    pugi::xml_document& xml = doc.Xml(settings);
    const WordNames& w = doc.Names(settings);
    pugi::xml_node root = xml.document_element();
    if (!w.Is(root, "settings"))
        return {};
    return {settings, w.Child(root, "documentProtection")};
}

bool OnOff(std::string_view v, bool missing) {
    if (v.empty())
        return missing;
    return !(v == "0" || v == "false" || v == "off");
}

}  // namespace

long ProtectionType(Document& doc) {
    ProtectionElement p = Find(doc);
    if (!p.node)
        return -1;
    const WordNames& w = doc.Names(p.part);
    pugi::xml_attribute enforcement = w.Attr(p.node, "enforcement");
    if (!OnOff(enforcement ? enforcement.value() : "", true))
        return -1;
    std::string_view edit = w.Attr(p.node, "edit").value();
    if (edit == "readOnly")
        return 3;
    if (edit == "comments")
        return 1;
    if (edit == "trackedChanges")
        return 0;
    if (edit == "forms")
        return 2;
    return -1;
}

bool ProtectionHasPassword(Document& doc) {
    ProtectionElement p = Find(doc);
    if (!p.node)
        return false;
    const WordNames& w = doc.Names(p.part);
    return *w.Attr(p.node, "hash").value() || *w.Attr(p.node, "hashValue").value();
}

void Unprotect(Document& doc) {
    if (ProtectionType(doc) == -1)
        throw Error(Reason::kNotProtected, kNotProtected,
                    "The Unprotect method is not available because \"" + doc.Name() +
                        "\" is not protected.");
    if (ProtectionHasPassword(doc))
        throw Error(Reason::kWrongPassword, kPasswordIncorrect,
                    "The password is incorrect: the protection of \"" + doc.Name() +
                        "\" needs a password to be removed.");
    ProtectionElement p = Find(doc);
    doc.Names(p.part).SetAttr(p.node, "enforcement", "0");
    doc.MarkChanged(p.part);
}

}  // namespace docx
