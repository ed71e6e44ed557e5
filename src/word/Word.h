#pragma once

// The members of Word's automation object model that Lineforge calls, as C++ interfaces.
// Names follow the object model; a property write is a call with the value, a read a call
// without. Every member may raise runtime::Error (number and description). Texts are UTF-8.
// A backend (the built-in engine on every platform, COM on Windows) implements them.

#include <string>
#include <vector>

#include "runtime/Error.h"
#include "runtime/Ref.h"

namespace word {

using runtime::Error;
template <class T>
using Ref = runtime::Ref<T>;

// Word's enumeration values that the program passes or compares.
inline constexpr long wdStory = 6;
inline constexpr long wdWithInTable = 12;
inline constexpr long wdNoProtection = -1;
inline constexpr long wdAllowOnlyRevisions = 0;
inline constexpr long wdAllowOnlyComments = 1;
inline constexpr long wdAllowOnlyFormFields = 2;
inline constexpr long wdAllowOnlyReading = 3;
inline constexpr long wdFindContinue = 1;
inline constexpr long wdReplaceAll = 2;

class Application;
class Document;
class Find;
class Font;
class Frame;
class Frames;
class Range;
class Replacement;
class Rows;
class Selection;
class StoryRanges;
class Table;
class Tables;

// Character formatting for text typed next (Selection) or put in by a replacement.
class Font {
  public:
    virtual ~Font() = default;
    // Sets the font family name.
    virtual void Name(const std::string& name) = 0;
    // Sets the size from its text ("12", "10.5"); raises on a text that is no valid size.
    virtual void Size(const std::string& size) = 0;
};

class Rows {
  public:
    virtual ~Rows() = default;
    // False makes the table inline (it stops wrapping around text).
    virtual void WrapAroundText(bool wrap) = 0;
};

class Table {
  public:
    virtual ~Table() = default;
    virtual Ref<word::Rows> Rows() = 0;
};

class Tables {
  public:
    virtual ~Tables() = default;
    virtual long Count() = 0;
    // 1-based; raises when out of range.
    virtual Ref<Table> Item(long index) = 0;
};

class Replacement {
  public:
    virtual ~Replacement() = default;
    virtual void ClearFormatting() = 0;
    // Raises for text that no document can hold.
    virtual void Text(const std::string& text) = 0;
    virtual Ref<word::Font> Font() = 0;
};

class Find {
  public:
    virtual ~Find() = default;
    virtual void ClearFormatting() = 0;
    virtual Ref<word::Replacement> Replacement() = 0;
    // Raises for text that no document can hold.
    virtual void Text(const std::string& text) = 0;
    virtual void Forward(bool forward) = 0;
    virtual void Wrap(long wrap) = 0;
    virtual void Format(bool format) = 0;
    virtual void MatchCase(bool match) = 0;
    virtual void MatchWholeWord(bool match) = 0;
    virtual void MatchWildcards(bool match) = 0;
    virtual void MatchSoundsLike(bool match) = 0;
    virtual void MatchAllWordForms(bool match) = 0;
    // Runs the search with the named argument Replace (wdReplaceAll replaces every
    // occurrence in the range); returns whether anything was found.
    virtual bool Execute(long Replace) = 0;
    // How many occurrences the last Execute replaced (0 before the first). Word's own Find
    // does not say; a backend over such an object model counts the occurrences itself (a
    // search without replacing, repeated) or answers 1 when Execute found something.
    virtual long Replaced() = 0;
};

class Range {
  public:
    virtual ~Range() = default;
    // Information(wdWithInTable) is true when the range lies in a table cell.
    virtual bool Information(long type) = 0;
    virtual Ref<word::Tables> Tables() = 0;
    virtual Ref<word::Find> Find() = 0;
};

class Frame {
  public:
    virtual ~Frame() = default;
    virtual Ref<word::Range> Range() = 0;
    // Removes the frame formatting and keeps the text.
    virtual void Delete() = 0;
};

class Frames {
  public:
    virtual ~Frames() = default;
    virtual long Count() = 0;
    // 1-based; raises when out of range.
    virtual Ref<Frame> Item(short index) = 0;
};

class StoryRanges {
  public:
    virtual ~StoryRanges() = default;
    virtual long Count() = 0;
    // 1-based, in the collection's own order; raises when out of range.
    virtual Ref<Range> Item(long index) = 0;
};

class Selection {
  public:
    virtual ~Selection() = default;
    // EndKey(Unit := wdStory) moves the insertion point to the end of the main text.
    virtual void EndKey(long Unit) = 0;
    virtual Ref<word::Font> Font() = 0;
    // Types text at the insertion point; CR LF, CR and LF each make one paragraph break.
    virtual void TypeText(const std::string& text) = 0;
    // Splits the paragraph at the insertion point.
    virtual void TypeParagraph() = 0;
};

class Document {
  public:
    virtual ~Document() = default;
    // wdNoProtection (-1) or the kind of protection in force.
    virtual long ProtectionType() = 0;
    // Removes protection that has no password; raises otherwise.
    virtual void Unprotect() = 0;
    // The file name without its folder.
    virtual std::string Name() = 0;
    virtual Ref<word::Frames> Frames() = 0;
    virtual Ref<word::StoryRanges> StoryRanges() = 0;
    virtual Ref<word::Application> Application() = 0;
    // True while the document holds no change since it was opened or last saved.
    virtual bool Saved() = 0;
    // Writes the document to FileName in its own format.
    virtual void SaveAs(const std::string& FileName) = 0;
};

class Documents {
  public:
    virtual ~Documents() = default;
    // Opens the file and makes it the active document; raises when it cannot be opened.
    virtual Ref<Document> Open(const std::string& FileName) = 0;
};

class Application {
  public:
    virtual ~Application() = default;
    // The installed font names, in a stable order.
    virtual std::vector<std::string> FontNames() = 0;
    virtual Ref<word::Documents> Documents() = 0;
    // Raises when no document is open.
    virtual Ref<Document> ActiveDocument() = 0;
    virtual Ref<word::Selection> Selection() = 0;
    // Ends the instance; unsaved changes are discarded without a prompt.
    virtual void Quit() = 0;
};

}  // namespace word
