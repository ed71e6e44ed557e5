#include "docx/model/Blocks.h"

namespace docx {
namespace {

void Collect(const WordNames& w, pugi::xml_node container, std::vector<pugi::xml_node>& out) {
    for (pugi::xml_node c = container.first_child(); c; c = c.next_sibling()) {
        if (w.Is(c, "p"))
            out.push_back(c);
        else if (IsBlockContainer(w, c))
            Collect(w, c, out);
    }
}

}  // namespace

bool IsBlockContainer(const WordNames& w, pugi::xml_node node) {
    std::string_view local = w.Local(node);
    return local == "tbl" || local == "tr" || local == "tc" || local == "sdt" ||
           local == "sdtContent" || local == "customXml";
}

std::vector<pugi::xml_node> StoryParagraphs(const WordNames& w, pugi::xml_node container) {
    std::vector<pugi::xml_node> out;
    Collect(w, container, out);
    return out;
}

pugi::xml_node FirstParagraph(const WordNames& w, pugi::xml_node container) {
    for (pugi::xml_node c = container.first_child(); c; c = c.next_sibling()) {
        if (w.Is(c, "p"))
            return c;
        if (IsBlockContainer(w, c))
            if (pugi::xml_node p = FirstParagraph(w, c))
                return p;
    }
    return {};
}

}  // namespace docx
