#include "docx/model/Revisions.h"

#include <array>
#include <charconv>
#include <ctime>
#include <string_view>

#include "docx/model/RunProps.h"

#if defined(__unix__) || defined(__APPLE__)
#include <pwd.h>
#include <unistd.h>
#endif

namespace docx {
namespace {

constexpr std::array<std::string_view, 16> kRevisionElements = {
    "ins",        "del",           "moveFrom",        "moveTo",        "rPrChange",
    "pPrChange",  "sectPrChange",  "tblPrChange",     "tblPrExChange", "trPrChange",
    "tcPrChange", "tblGridChange", "numberingChange", "cellIns",       "cellDel",
    "cellMerge"};

}  // namespace

bool IsRevisionElement(const WordNames& w, pugi::xml_node node) {
    const std::string_view local = w.Local(node);
    if (local.empty())
        return false;
    for (std::string_view r : kRevisionElements)
        if (local == r)
            return true;
    return false;
}

std::string CurrentUserName() {
#if defined(__unix__) || defined(__APPLE__)
    if (const passwd* pw = getpwuid(getuid())) {
        std::string_view gecos = pw->pw_gecos ? pw->pw_gecos : "";
        gecos = gecos.substr(0, gecos.find(','));
        if (!gecos.empty())
            return std::string(gecos);
        if (pw->pw_name && *pw->pw_name)
            return pw->pw_name;
    }
#endif
    return "Unknown";
}

std::string CurrentRevisionDate() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
#if defined(_WIN32)
    gmtime_s(&utc, &now);
#else
    gmtime_r(&now, &utc);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

PartRevisions::PartRevisions(const WordNames& w, pugi::xml_node root, const RevisionAuthor* author)
    : w_(w), root_(root), author_(author) {}

std::string PartRevisions::NextId() {
    if (next_ < 0) {
        // Every w:id counts, bookmarks and comments included: Word keeps annotation ids apart
        // from each other in one space.
        long highest = -1;
        for (pugi::xml_node n = root_; n;) {
            if (pugi::xml_attribute id = w_.Attr(n, "id")) {
                long value = 0;
                const std::string_view v = id.value();
                auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
                if (ec == std::errc() && end == v.data() + v.size() && value > highest)
                    highest = value;
            }
            if (n.first_child()) {
                n = n.first_child();
                continue;
            }
            while (n && n != root_ && !n.next_sibling())
                n = n.parent();
            n = n == root_ ? pugi::xml_node() : n.next_sibling();
        }
        next_ = highest + 1;
    }
    return std::to_string(next_++);
}

void PartRevisions::Stamp(pugi::xml_node mark) {
    w_.SetAttr(mark, "id", NextId());
    w_.SetAttr(mark, "author", author_->name);
    w_.SetAttr(mark, "date", author_->date);
}

pugi::xml_node PartRevisions::RecordInserted(pugi::xml_node run) {
    if (!Tracking())
        return run;
    pugi::xml_node ins = run.parent().insert_child_before(w_.ElementName("ins").c_str(), run);
    Stamp(ins);
    ins.append_move(run);
    return ins;
}

void PartRevisions::RecordInsertedMark(pugi::xml_node p) {
    if (!Tracking())
        return;
    pugi::xml_node pPr = EnsureChild(w_, p, "p", "pPr");
    pugi::xml_node rPr = EnsureChild(w_, pPr, "pPr", "rPr");
    pugi::xml_node ins = w_.Child(rPr, "ins");
    if (!ins)
        ins = EnsureChild(w_, rPr, "rPr", "ins");
    Stamp(ins);
}

void PartRevisions::RecordFormatting(pugi::xml_node rPr) {
    if (!Tracking() || w_.Child(rPr, "rPrChange"))
        return;
    pugi::xml_node change = EnsureChild(w_, rPr, "rPr", "rPrChange");
    Stamp(change);
    pugi::xml_node old = change.append_child(w_.ElementName("rPr").c_str());
    for (pugi::xml_node c = rPr.first_child(); c; c = c.next_sibling()) {
        if (c == change)
            continue;
        const std::string_view local = w_.Local(c);
        if (local == "ins" || local == "del" || local == "moveFrom" || local == "moveTo")
            continue;
        old.append_copy(c);
    }
}

void PartRevisions::Renumber(pugi::xml_node mark) {
    if (w_.Attr(mark, "id"))
        w_.SetAttr(mark, "id", NextId());
}

}  // namespace docx
