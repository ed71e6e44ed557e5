#pragma once

// Replacing matched stretches of a story's character stream in the XML: runs are cut at the
// match boundaries, the matched characters removed (merging paragraphs whose marks were
// matched), and the replacement put in as new runs, splitting the paragraph at each paragraph
// mark it holds.

#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <pugixml.hpp>

#include "docx/find/FindReplaceMatcher.h"
#include "docx/find/TextStream.h"
#include "docx/model/Revisions.h"
#include "docx/package/Namespaces.h"

namespace docx {

// Character formatting put over the formatting of the replaced text.
struct ReplacementFont {
    std::optional<std::string> name;
    std::optional<long> halfPoints;
};

// Edits one story part. Replace matches in stream order; texts of cut w:t elements are written
// back by Finish, which must run before the stream's atoms are rebuilt or the part is saved.
class StoryEditor {
  public:
    StoryEditor(const WordNames& w, PartRevisions& revisions) : w_(w), revisions_(revisions) {}
    ~StoryEditor() { Finish(); }
    StoryEditor(const StoryEditor&) = delete;
    StoryEditor& operator=(const StoryEditor&) = delete;

    // Replaces atoms [m.begin, m.end) with text (characters as the stream holds them: tab,
    // breaks and hyphens as their element characters, kParagraphMarkChar for a paragraph mark).
    // The new runs take the run properties of the first replaced character (of the paragraph
    // mark when the match starts with one) with font put over them. Matches must come in
    // stream order and not overlap.
    void Replace(const std::vector<Atom>& atoms, const Match& m, const std::u32string& text,
                 const ReplacementFont& font);

    // Puts before in front of the match and after behind it, leaving the matched characters and
    // their elements where they are; font goes over the matched runs and the new ones. The new
    // runs take the formatting Replace gives them. Nothing is deleted, so in a document that
    // records revisions only insertions (and the font change) are recorded.
    void InsertAround(const std::vector<Atom>& atoms, const Match& m, const std::u32string& before,
                      const std::u32string& after, const ReplacementFont& font);

    // Writes the remaining text of every cut w:t back and removes text elements and runs that
    // were emptied.
    void Finish();

  private:
    struct Point {
        pugi::xml_node parent;
        pugi::xml_node before;  // empty: at the end of parent
    };
    using Key = const void*;
    static Key KeyOf(pugi::xml_node n) { return n.internal_object(); }

    std::uint32_t Consumed(pugi::xml_node t) const;
    pugi::xml_node Resolve(pugi::xml_node p) const;
    pugi::xml_node ParagraphOf(pugi::xml_node node) const;
    // Notes a run that may end up empty (each run once: Finish removes it at most once).
    void Touch(pugi::xml_node run);
    // Cuts a's run before a; returns the new run holding what came before (empty: no cut).
    pugi::xml_node CutBefore(const Atom& a);
    void Delete(const Atom& a);
    void Merge(pugi::xml_node p);
    void Insert(Point& at, const std::u32string& text, pugi::xml_node formatSource,
                const ReplacementFont& font);
    pugi::xml_node NewRun(const Point& at, pugi::xml_node formatSource,
                          const ReplacementFont& font);
    void Split(const Point& at);
    pugi::xml_node FormatSource(const Atom& first) const;

    const WordNames& w_;
    PartRevisions& revisions_;
    std::unordered_map<Key, std::pair<pugi::xml_node, std::uint32_t>> consumed_;
    std::vector<pugi::xml_node> touchedRuns_;
    std::unordered_set<Key> touched_;
    std::unordered_map<Key, pugi::xml_node> mergedInto_;
};

}  // namespace docx
