#include "docx/model/RunProps.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace docx {
namespace {

// Schema order of the children of the elements that new content is written into.
const std::vector<std::string_view>& OrderOf(std::string_view parent) {
    // A paragraph mark's w:rPr opens with its revision marks.
    static const std::vector<std::string_view> rPr = {"ins",
                                                      "del",
                                                      "moveFrom",
                                                      "moveTo",
                                                      "rStyle",
                                                      "rFonts",
                                                      "b",
                                                      "bCs",
                                                      "i",
                                                      "iCs",
                                                      "caps",
                                                      "smallCaps",
                                                      "strike",
                                                      "dstrike",
                                                      "outline",
                                                      "shadow",
                                                      "emboss",
                                                      "imprint",
                                                      "noProof",
                                                      "snapToGrid",
                                                      "vanish",
                                                      "webHidden",
                                                      "color",
                                                      "spacing",
                                                      "w",
                                                      "kern",
                                                      "position",
                                                      "sz",
                                                      "szCs",
                                                      "highlight",
                                                      "u",
                                                      "effect",
                                                      "bdr",
                                                      "shd",
                                                      "fitText",
                                                      "vertAlign",
                                                      "rtl",
                                                      "cs",
                                                      "em",
                                                      "lang",
                                                      "eastAsianLayout",
                                                      "specVanish",
                                                      "oMath",
                                                      "rPrChange"};
    static const std::vector<std::string_view> pPr = {"pStyle",
                                                      "keepNext",
                                                      "keepLines",
                                                      "pageBreakBefore",
                                                      "framePr",
                                                      "widowControl",
                                                      "numPr",
                                                      "suppressLineNumbers",
                                                      "pBdr",
                                                      "shd",
                                                      "tabs",
                                                      "suppressAutoHyphens",
                                                      "kinsoku",
                                                      "wordWrap",
                                                      "overflowPunct",
                                                      "topLinePunct",
                                                      "autoSpaceDE",
                                                      "autoSpaceDN",
                                                      "bidi",
                                                      "adjustRightInd",
                                                      "snapToGrid",
                                                      "spacing",
                                                      "ind",
                                                      "contextualSpacing",
                                                      "mirrorIndents",
                                                      "suppressOverlap",
                                                      "jc",
                                                      "textDirection",
                                                      "textAlignment",
                                                      "textboxTightWrap",
                                                      "outlineLvl",
                                                      "divId",
                                                      "cnfStyle",
                                                      "rPr",
                                                      "sectPr",
                                                      "pPrChange"};
    static const std::vector<std::string_view> r = {"rPr"};
    static const std::vector<std::string_view> p = {"pPr"};
    static const std::vector<std::string_view> none;
    if (parent == "rPr")
        return rPr;
    if (parent == "pPr")
        return pPr;
    if (parent == "r")
        return r;
    if (parent == "p")
        return p;
    return none;
}

int Rank(const std::vector<std::string_view>& order, std::string_view local) {
    auto it = std::find(order.begin(), order.end(), local);
    return it == order.end() ? -1 : static_cast<int>(it - order.begin());
}

}  // namespace

pugi::xml_node EnsureChild(const WordNames& w, pugi::xml_node parent, std::string_view parentLocal,
                           std::string_view local) {
    if (pugi::xml_node existing = w.Child(parent, local))
        return existing;
    const auto& order = OrderOf(parentLocal);
    const int rank = Rank(order, local);
    const std::string name = w.ElementName(local);
    if (rank < 0)
        return parent.append_child(name.c_str());
    // Before the first child whose rank is higher (children of unknown names are skipped over,
    // except that elements of r and p that are not properties always follow them).
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        const int other = Rank(order, w.Local(c));
        const bool isPropertyList = parentLocal == "r" || parentLocal == "p";
        if (other > rank || (other < 0 && isPropertyList))
            return parent.insert_child_before(name.c_str(), c);
    }
    return parent.append_child(name.c_str());
}

void SetRunFontName(const WordNames& w, pugi::xml_node rPr, std::string_view name) {
    pugi::xml_node fonts = EnsureChild(w, rPr, "rPr", "rFonts");
    for (std::string_view theme : {"asciiTheme", "hAnsiTheme", "cstheme"})
        w.RemoveAttr(fonts, theme);
    for (std::string_view slot : {"ascii", "hAnsi", "cs"})
        w.SetAttr(fonts, slot, name);
}

void SetRunFontSize(const WordNames& w, pugi::xml_node rPr, long halfPoints) {
    const std::string value = std::to_string(halfPoints);
    w.SetAttr(EnsureChild(w, rPr, "rPr", "sz"), "val", value);
    w.SetAttr(EnsureChild(w, rPr, "rPr", "szCs"), "val", value);
}

pugi::xml_node CopyRunPropsForNewText(const WordNames& w, pugi::xml_node source,
                                      pugi::xml_node newRun) {
    if (!source)
        return {};
    pugi::xml_node copy = newRun.prepend_copy(source);
    for (pugi::xml_node c = copy.first_child(); c;) {
        pugi::xml_node next = c.next_sibling();
        std::string_view local = w.Local(c);
        if (local == "ins" || local == "del" || local == "moveFrom" || local == "moveTo" ||
            local == "rPrChange")
            copy.remove_child(c);
        c = next;
    }
    if (copy.name() != w.ElementName("rPr"))
        copy.set_name(w.ElementName("rPr").c_str());
    return copy;
}

}  // namespace docx
