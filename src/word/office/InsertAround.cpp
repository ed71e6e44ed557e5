#include "word/office/InsertAround.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/document/XRedlinesSupplier.hpp>
#include <com/sun/star/lang/IllegalArgumentException.hpp>
#include <com/sun/star/text/ControlCharacter.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextRangeCompare.hpp>
#include <com/sun/star/util/XSearchable.hpp>

#include "word/office/TextBoxes.h"
#include "word/office/Uno.h"

namespace word::office {
namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

struct Span {
    Reference<css::text::XTextRange> start, end;
};

// The deleted stretches of the document's tracked changes.
std::vector<Span> Deletions(const Reference<css::lang::XComponent>& model) {
    std::vector<Span> out;
    Reference<css::document::XRedlinesSupplier> supplier(model, UNO_QUERY);
    if (!supplier.is())
        return out;
    Reference<css::container::XEnumeration> e = supplier->getRedlines()->createEnumeration();
    while (e->hasMoreElements()) {
        Reference<css::beans::XPropertySet> redline(e->nextElement(), UNO_QUERY);
        rtl::OUString type;
        if (!redline.is() || !(redline->getPropertyValue("RedlineType") >>= type) ||
            type != "Delete")
            continue;
        Span span;
        redline->getPropertyValue("RedlineStart") >>= span.start;
        redline->getPropertyValue("RedlineEnd") >>= span.end;
        if (span.start.is() && span.end.is())
            out.push_back(span);
    }
    return out;
}

// True when match lies inside span. A redline's start may be the later of its two ends.
bool Within(const Reference<css::text::XTextRange>& match, const Span& span) {
    Reference<css::text::XTextRangeCompare> compare(match->getText(), UNO_QUERY);
    if (!compare.is())
        return false;
    try {
        const bool inOrder = compare->compareRegionStarts(span.start, span.end) >= 0;
        const auto& first = inOrder ? span.start : span.end;
        const auto& last = inOrder ? span.end : span.start;
        return compare->compareRegionStarts(first, match) >= 0 &&
               compare->compareRegionEnds(match, last) >= 0;
    } catch (const css::lang::IllegalArgumentException&) {
        return false;  // the deletion lies in another text
    }
}

bool Same(const Reference<css::uno::XInterface>& a, const Reference<css::uno::XInterface>& b) {
    return a.is() && a == b;
}

// Inserts the pieces at the collapsed cursor at, which ends after them, and selects them.
void InsertPieces(const Reference<css::text::XText>& text,
                  const Reference<css::text::XTextCursor>& at,
                  const std::vector<InsertPiece>& pieces) {
    sal_Int32 length = 0;
    for (const InsertPiece& piece : pieces) {
        if (piece.paragraphBreak) {
            text->insertControlCharacter(Up<css::text::XTextRange>(at),
                                         css::text::ControlCharacter::PARAGRAPH_BREAK, false);
            ++length;
            continue;
        }
        const rtl::OUString s = Ou(piece.text);
        text->insertString(Up<css::text::XTextRange>(at), s, false);
        length += s.getLength();
    }
    at->goLeft(static_cast<sal_Int16>(std::min<sal_Int32>(length, SAL_MAX_INT16)), true);
}

void Format(const Reference<css::text::XTextCursor>& range,
            const std::vector<css::beans::PropertyValue>& font) {
    Reference<css::beans::XPropertySet> p(range, UNO_QUERY_THROW);
    for (const css::beans::PropertyValue& v : font)
        p->setPropertyValue(v.Name, v.Value);
}

}  // namespace

sal_Int32 InsertAroundEach(const Reference<css::lang::XComponent>& model,
                           const Reference<css::util::XSearchDescriptor>& d,
                           const AroundFound& around,
                           const std::vector<css::beans::PropertyValue>& font) {
    const FrameKinds kinds = SortFrames(model);
    std::vector<Reference<css::uno::XInterface>> unsearched;
    for (const auto& box : kinds.textBoxes)
        if (box != kinds.storyTextBox)
            unsearched.emplace_back(box->getText(), UNO_QUERY);
    const std::vector<Span> deletions = Deletions(model);

    Reference<css::container::XIndexAccess> found =
        Reference<css::util::XSearchable>(model, UNO_QUERY_THROW)->findAll(d);
    std::vector<Reference<css::text::XTextRange>> matches;
    for (sal_Int32 i = 0; found.is() && i < found->getCount(); ++i) {
        Reference<css::text::XTextRange> match(found->getByIndex(i), UNO_QUERY);
        if (!match.is())
            continue;
        const Reference<css::uno::XInterface> text(match->getText(), UNO_QUERY);
        bool skip = false;
        for (const auto& t : unsearched)
            skip = skip || Same(text, t);
        for (const Span& span : deletions)
            skip = skip || Within(match, span);
        if (!skip)
            matches.push_back(match);
    }
    for (const auto& match : matches) {
        const Reference<css::text::XText> text = match->getText();
        Reference<css::text::XTextCursor> occurrence = text->createTextCursorByRange(match);
        if (!font.empty())
            Format(occurrence, font);
        if (!around.after.empty()) {
            Reference<css::text::XTextCursor> at =
                text->createTextCursorByRange(occurrence->getEnd());
            InsertPieces(text, at, around.after);
            Format(at, font);
        }
        if (!around.before.empty()) {
            Reference<css::text::XTextCursor> at =
                text->createTextCursorByRange(occurrence->getStart());
            InsertPieces(text, at, around.before);
            Format(at, font);
        }
    }
    return static_cast<sal_Int32>(matches.size());
}

}  // namespace word::office
