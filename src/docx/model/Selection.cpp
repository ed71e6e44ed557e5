#include "docx/model/Selection.h"

#include <functional>
#include <vector>

#include "docx/find/FindReplaceUnicode.h"
#include "docx/model/Blocks.h"
#include "docx/model/FontSize.h"
#include "docx/model/ParagraphSplit.h"
#include "docx/model/RunProps.h"

namespace docx {
namespace {

enum class Piece { Text, Tab, Break, Paragraph };

struct Token {
    Piece kind;
    std::string text;
};

bool XmlAllows(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// Splits typed text into pieces; raises before anything is changed when the text holds invalid
// UTF-8 or a character that XML cannot hold.
std::vector<Token> Tokenize(std::string_view text, const std::string& fileName) {
    std::vector<Token> out;
    auto textPiece = [&]() -> std::string& {
        if (out.empty() || out.back().kind != Piece::Text)
            out.push_back({Piece::Text, {}});
        return out.back().text;
    };
    for (size_t i = 0; i < text.size();) {
        char32_t c;
        size_t n;
        if (!unicode::DecodeNext(text, i, c, n))
            throw Error(Reason::kInvalidText, kInvalidArgument,
                        "The text to type into \"" + fileName +
                            "\" is not valid UTF-8 text; nothing was typed.");
        if (c == 11) {
            out.push_back({Piece::Break, {}});
        } else if (c == '\t') {
            out.push_back({Piece::Tab, {}});
        } else if (c == '\r' || c == '\n') {
            out.push_back({Piece::Paragraph, {}});
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (!XmlAllows(c)) {
            throw Error(Reason::kInvalidText, kInvalidArgument,
                        "The text to type into \"" + fileName + "\" holds the character " +
                            std::to_string(static_cast<unsigned long>(c)) +
                            ", which a document cannot hold; nothing was typed.");
        } else {
            textPiece().append(text.substr(i, n));
        }
        i += n;
    }
    return out;
}

bool IsSkippedForRuns(std::string_view local) {
    // Deleted text and nested stories do not give typing its formatting.
    return local == "del" || local == "moveFrom" || local == "rPr" || local == "pPr";
}

pugi::xml_node LastRunIn(const WordNames& w, pugi::xml_node node) {
    for (pugi::xml_node c = node.last_child(); c; c = c.previous_sibling()) {
        std::string_view local = w.Local(c);
        if (local.empty() || IsSkippedForRuns(local))
            continue;
        if (local == "r")
            return c;
        if (pugi::xml_node r = LastRunIn(w, c))
            return r;
    }
    return {};
}

pugi::xml_node FirstRunIn(const WordNames& w, pugi::xml_node node) {
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
        std::string_view local = w.Local(c);
        if (local.empty() || IsSkippedForRuns(local))
            continue;
        if (local == "r")
            return c;
        if (pugi::xml_node r = FirstRunIn(w, c))
            return r;
    }
    return {};
}

bool IsValidFontName(std::string_view name) {
    if (name.empty())
        return false;
    for (unsigned char c : name)
        if (c < 0x20)
            return false;
    return true;
}

}  // namespace

Selection::Selection(Document& doc) : doc_(doc) {
    const WordNames& w = doc_.MainNames();
    paragraph_ = FirstParagraph(w, doc_.Body());
    if (!paragraph_) {
        pugi::xml_node sectPr = w.Child(doc_.Body(), "sectPr");
        const std::string name = w.ElementName("p");
        paragraph_ = sectPr ? doc_.Body().insert_child_before(name.c_str(), sectPr)
                            : doc_.Body().append_child(name.c_str());
        doc_.Revisions(doc_.MainPartName()).RecordInsertedMark(paragraph_);
        doc_.MarkChanged(doc_.MainPartName());
    }
    before_ = paragraph_.first_child();
    while (before_ && (before_.type() != pugi::node_element || w.Is(before_, "pPr")))
        before_ = before_.next_sibling();
}

void Selection::EndKeyStory() {
    const WordNames& w = doc_.MainNames();
    pugi::xml_node body = doc_.Body();
    pugi::xml_node last;
    // The last top-level block that holds text: a paragraph, a table, or a control holding them.
    std::function<pugi::xml_node(pugi::xml_node, bool&)> lastIn = [&](pugi::xml_node container,
                                                                      bool& endsWithTable) {
        for (pugi::xml_node c = container.last_child(); c; c = c.previous_sibling()) {
            std::string_view local = w.Local(c);
            if (local == "p")
                return c;
            if (local == "tbl") {
                endsWithTable = true;
                return pugi::xml_node();
            }
            if (local == "sdt" || local == "sdtContent" || local == "customXml") {
                pugi::xml_node inner = lastIn(c, endsWithTable);
                if (inner || endsWithTable)
                    return inner;
            }
        }
        return pugi::xml_node();
    };
    bool endsWithTable = false;
    last = lastIn(body, endsWithTable);
    if (!last) {
        // A body that ends with a table (or holds no paragraph) gets the empty paragraph Word
        // always has after it, at the end of the body, before the section properties.
        pugi::xml_node sectPr = w.Child(body, "sectPr");
        const std::string name = w.ElementName("p");
        last = sectPr ? body.insert_child_before(name.c_str(), sectPr)
                      : body.append_child(name.c_str());
        doc_.Revisions(doc_.MainPartName()).RecordInsertedMark(last);
        doc_.MarkChanged(doc_.MainPartName());
    }
    paragraph_ = last;
    before_ = pugi::xml_node();
    lastTyped_ = pugi::xml_node();
}

void Selection::SetFontName(std::string_view name) {
    if (!IsValidFontName(name))
        throw Error(Reason::kInvalidText, kInvalidArgument,
                    "The font name \"" + std::string(name) + "\" cannot be used in \"" +
                        doc_.Name() + "\".");
    fontName_ = std::string(name);
}

void Selection::SetFontSize(std::string_view size) {
    fontHalfPoints_ = ParseFontSizeHalfPoints(size);
}

pugi::xml_node Selection::FormattingSource() const {
    const WordNames& w = doc_.MainNames();
    if (lastTyped_ && lastTyped_.parent())
        return w.Child(lastTyped_, "rPr");
    pugi::xml_node run;
    for (pugi::xml_node c = before_ ? before_.previous_sibling() : paragraph_.last_child();
         c && !run; c = c.previous_sibling()) {
        std::string_view local = w.Local(c);
        if (local.empty() || IsSkippedForRuns(local))
            continue;
        run = local == "r" ? c : LastRunIn(w, c);
    }
    for (pugi::xml_node c = before_; c && !run; c = c.next_sibling()) {
        std::string_view local = w.Local(c);
        if (local.empty() || IsSkippedForRuns(local))
            continue;
        run = local == "r" ? c : FirstRunIn(w, c);
    }
    if (run)
        return w.Child(run, "rPr");
    return w.Child(w.Child(paragraph_, "pPr"), "rPr");
}

pugi::xml_node Selection::InsertRun() {
    const WordNames& w = doc_.MainNames();
    pugi::xml_node source = FormattingSource();
    const std::string name = w.ElementName("r");
    pugi::xml_node run = before_ ? paragraph_.insert_child_before(name.c_str(), before_)
                                 : paragraph_.append_child(name.c_str());
    pugi::xml_node rPr = CopyRunPropsForNewText(w, source, run);
    if (fontName_ || fontHalfPoints_) {
        if (!rPr)
            rPr = run.prepend_child(w.ElementName("rPr").c_str());
        if (fontName_)
            SetRunFontName(w, rPr, *fontName_);
        if (fontHalfPoints_)
            SetRunFontSize(w, rPr, *fontHalfPoints_);
    }
    if (rPr && !rPr.first_child() && !rPr.first_attribute())
        run.remove_child(rPr);
    doc_.Revisions(doc_.MainPartName()).RecordInserted(run);
    lastTyped_ = run;
    return run;
}

void Selection::TypeText(std::string_view text) {
    const std::vector<Token> tokens = Tokenize(text, doc_.Name());
    if (tokens.empty())
        return;
    const WordNames& w = doc_.MainNames();
    pugi::xml_node run;
    for (const Token& t : tokens) {
        if (t.kind == Piece::Paragraph) {
            SplitParagraph();
            run = pugi::xml_node();
            continue;
        }
        if (!run)
            run = InsertRun();
        if (t.kind == Piece::Text) {
            pugi::xml_node tn = run.append_child(w.ElementName("t").c_str());
            tn.append_attribute("xml:space").set_value("preserve");
            tn.append_child(pugi::node_pcdata).set_value(t.text.c_str());
        } else {
            run.append_child(w.ElementName(t.kind == Piece::Tab ? "tab" : "br").c_str());
        }
    }
    doc_.MarkChanged(doc_.MainPartName());
}

void Selection::TypeParagraph() {
    SplitParagraph();
    doc_.MarkChanged(doc_.MainPartName());
}

std::string Selection::NextStyleOf(pugi::xml_node paragraph) {
    const std::string stylesPart = doc_.RelatedPart("styles");
    if (stylesPart.empty())
        return "";
    const WordNames& mw = doc_.MainNames();
    std::string styleId = mw.Attr(mw.Child(mw.Child(paragraph, "pPr"), "pStyle"), "val").value();
    pugi::xml_document& styles = doc_.Xml(stylesPart);
    const WordNames& sw = doc_.Names(stylesPart);
    for (pugi::xml_node s : sw.Children(styles.document_element(), "style")) {
        if (std::string_view(sw.Attr(s, "type").value()) != "paragraph")
            continue;
        const bool matches = styleId.empty()
                                 ? std::string_view(sw.Attr(s, "default").value()) == "1" ||
                                       std::string_view(sw.Attr(s, "default").value()) == "true"
                                 : styleId == sw.Attr(s, "styleId").value();
        if (!matches)
            continue;
        std::string next = sw.Attr(sw.Child(s, "next"), "val").value();
        const std::string self = sw.Attr(s, "styleId").value();
        return next == self ? "" : next;
    }
    return "";
}

void Selection::SplitParagraph() {
    const WordNames& w = doc_.MainNames();
    pugi::xml_node p = paragraph_;
    docx::SplitParagraph(w, p, before_, doc_.Revisions(doc_.MainPartName()));
    bool atEnd = true;
    for (pugi::xml_node c = before_; c && atEnd; c = c.next_sibling()) {
        std::string_view local = w.Local(c);
        if (local == "r" || (!local.empty() && !IsSkippedForRuns(local) && FirstRunIn(w, c)))
            atEnd = false;
    }
    if (atEnd) {
        const std::string next = NextStyleOf(p);
        if (!next.empty()) {
            w.SetAttr(EnsureChild(w, EnsureChild(w, p, "p", "pPr"), "pPr", "pStyle"), "val", next);
        }
    }
}

}  // namespace docx
