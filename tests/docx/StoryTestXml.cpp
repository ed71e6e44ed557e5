#include "StoryTestXml.h"

#include <algorithm>
#include <vector>

namespace story_test {
namespace {

std::string Props(const docx::WordNames& w, pugi::xml_node run) {
    pugi::xml_node rPr = w.Child(run, "rPr");
    std::vector<std::string> list;
    const auto add = [&](const std::string& p) { list.push_back(p); };
    for (pugi::xml_node c : rPr.children()) {
        const std::string local(w.Local(c));
        if (local == "rFonts") {
            pugi::xml_attribute a = w.Attr(c, "ascii");
            add("font=" + std::string(a ? a.value() : "?"));
        } else if (local == "sz") {
            add("sz=" + std::string(w.Attr(c, "val").value()));
        } else if (local == "b" || local == "i" || local == "u") {
            add(local);
        }
    }
    std::sort(list.begin(), list.end());
    std::string props;
    for (const std::string& p : list)
        props += (props.empty() ? "" : ",") + p;
    return props.empty() ? "" : "{" + props + "}";
}

}  // namespace

std::string Runs(const docx::WordNames& w, pugi::xml_node root) {
    std::string out;
    for (pugi::xml_node p : docx::StoryParagraphs(w, root)) {
        if (!out.empty())
            out += " / ";
        std::string line;
        bool firstRun = true;
        std::vector<pugi::xml_node> runs;
        p.find_node([&](pugi::xml_node n) {
            if (w.Is(n, "r") && !w.Ancestor(n, "txbxContent", p))
                runs.push_back(n);
            return false;
        });
        for (pugi::xml_node r : runs) {
            std::string text;
            for (pugi::xml_node c : r.children()) {
                const std::string_view local = w.Local(c);
                if (local == "t")
                    text += docx::TextOf(c);
                if (local == "tab")
                    text += "\\t";
                if (local == "br") {
                    pugi::xml_attribute t = w.Attr(c, "type");
                    text += t ? std::string("\\") + t.value() : "\\l";
                }
            }
            if (!firstRun)
                line += "|";
            firstRun = false;
            line += Props(w, r) + text;
        }
        out += line;
    }
    return out;
}

}  // namespace story_test
