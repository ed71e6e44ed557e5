#include "word/office/TextBoxes.h"

#include <algorithm>
#include <string>

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/drawing/XDrawPageSupplier.hpp>
#include <com/sun/star/drawing/XShapeDescriptor.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextFramesSupplier.hpp>
#include <com/sun/star/text/XTextRangeCompare.hpp>

#include "word/office/Uno.h"

namespace word::office {
namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

// Word's text box insets are 0.1 inch left and right, 0.05 inch top and bottom (254 and 127 in
// the office's hundredths of a millimetre); a frame's text starts at its edge.
constexpr sal_Int32 kBoxSideInset = 200;
constexpr sal_Int32 kBoxTopInset = 100;

std::string NameOf(const Reference<css::uno::XInterface>& x) {
    Reference<css::container::XNamed> named(x, UNO_QUERY);
    return named.is() ? Utf8(named->getName()) : std::string();
}

template <class T>
T Property(const Reference<css::beans::XPropertySet>& p, const char* name) {
    T value{};
    const rtl::OUString n = rtl::OUString::createFromAscii(name);
    if (p.is() && p->getPropertySetInfo()->hasPropertyByName(n))
        p->getPropertyValue(n) >>= value;
    return value;
}

bool HasBoxInsets(const Reference<css::text::XTextFrame>& frame) {
    Reference<css::beans::XPropertySet> p(frame, UNO_QUERY);
    return Property<sal_Int32>(p, "LeftBorderDistance") >= kBoxSideInset &&
           Property<sal_Int32>(p, "RightBorderDistance") >= kBoxSideInset &&
           Property<sal_Int32>(p, "TopBorderDistance") >= kBoxTopInset &&
           Property<sal_Int32>(p, "BottomBorderDistance") >= kBoxTopInset;
}

// The frames that hold a drawing shape's text, found through the drawing objects.
std::vector<Reference<css::text::XTextFrame>> ShapeTextFrames(
    const Reference<css::lang::XComponent>& model) {
    std::vector<Reference<css::text::XTextFrame>> frames;
    // Deprecated in the API, yet the one way to reach a text document's drawing objects.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    Reference<css::drawing::XDrawPageSupplier> supplier(model, UNO_QUERY);
    Reference<css::container::XIndexAccess> page(
        supplier.is() ? supplier->getDrawPage() : Reference<css::drawing::XDrawPage>(), UNO_QUERY);
    bool afterTextShape = false;
    for (sal_Int32 i = 0; page.is() && i < page->getCount(); ++i) {
        Reference<css::uno::XInterface> shape(page->getByIndex(i), UNO_QUERY);
        Reference<css::text::XTextFrame> frame(shape, UNO_QUERY);
        if (frame.is()) {
            if (afterTextShape)
                frames.push_back(frame);
            afterTextShape = false;
            continue;
        }
        Reference<css::beans::XPropertySet> p(shape, UNO_QUERY);
        if (Property<bool>(p, "TextBox")) {
            auto content = Property<Reference<css::text::XTextFrame>>(p, "TextBoxContent");
            if (content.is())
                frames.push_back(content);
        }
        Reference<css::drawing::XShapeDescriptor> d(shape, UNO_QUERY);
        afterTextShape = d.is() && d->getShapeType() == "com.sun.star.drawing.TextShape";
    }
#pragma GCC diagnostic pop
    return frames;
}

// True when the frame is anchored in the main text: in the body or in a table cell of it.
bool InMainText(const Reference<css::text::XTextFrame>& frame,
                const Reference<css::text::XText>& body) {
    Reference<css::text::XTextRange> anchor = frame->getAnchor();
    if (!anchor.is())
        return false;
    Reference<css::text::XText> text = anchor->getText();
    if (Reference<css::uno::XInterface>(text, UNO_QUERY) ==
        Reference<css::uno::XInterface>(body, UNO_QUERY))
        return true;
    Reference<css::lang::XServiceInfo> info(text, UNO_QUERY);
    return info.is() && info->supportsService("com.sun.star.text.Cell");
}

// The frame of boxes anchored first in the body text.
Reference<css::text::XTextFrame> FirstInBody(
    const std::vector<Reference<css::text::XTextFrame>>& boxes,
    const Reference<css::text::XText>& body) {
    Reference<css::text::XTextRangeCompare> compare(body, UNO_QUERY_THROW);
    Reference<css::text::XTextFrame> first;
    for (const auto& box : boxes) {
        Reference<css::text::XTextRange> anchor = box->getAnchor();
        if (!anchor.is() || Reference<css::uno::XInterface>(anchor->getText(), UNO_QUERY) !=
                                Reference<css::uno::XInterface>(body, UNO_QUERY))
            continue;
        if (!first.is() || compare->compareRegionStarts(anchor, first->getAnchor()) > 0)
            first = box;
    }
    return first;
}

}  // namespace

FrameKinds SortFrames(const Reference<css::lang::XComponent>& model) {
    FrameKinds kinds;
    const Reference<css::text::XText> body =
        Reference<css::text::XTextDocument>(model, UNO_QUERY_THROW)->getText();
    kinds.textBoxes = ShapeTextFrames(model);
    std::vector<std::string> boxNames;
    for (const auto& box : kinds.textBoxes)
        boxNames.push_back(NameOf(box));
    Reference<css::text::XTextFramesSupplier> supplier(model, UNO_QUERY);
    if (supplier.is()) {
        Reference<css::container::XNameAccess> names = supplier->getTextFrames();
        for (const rtl::OUString& n : names->getElementNames()) {
            if (std::find(boxNames.begin(), boxNames.end(), Utf8(n)) != boxNames.end())
                continue;
            Reference<css::text::XTextFrame> frame(names->getByName(n), UNO_QUERY_THROW);
            if (HasBoxInsets(frame))
                kinds.textBoxes.push_back(frame);
            else if (InMainText(frame, body))
                kinds.frames.push_back(frame);
        }
    }
    kinds.storyTextBox = FirstInBody(kinds.textBoxes, body);
    return kinds;
}

bool HoldsDrawingObjects(const Reference<css::lang::XComponent>& model) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    Reference<css::drawing::XDrawPageSupplier> supplier(model, UNO_QUERY);
    Reference<css::container::XIndexAccess> page(
        supplier.is() ? supplier->getDrawPage() : Reference<css::drawing::XDrawPage>(), UNO_QUERY);
#pragma GCC diagnostic pop
    return page.is() && page->getCount() > 0;
}

}  // namespace word::office
