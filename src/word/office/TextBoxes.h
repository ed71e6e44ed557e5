#pragma once

// Word's frames and Word's text boxes among the text frames of an office document. LibreOffice
// holds both as text frames: a frame comes from paragraphs placed by frame properties, a text
// box from a drawing shape whose text the office keeps in a frame beside it.

#include <vector>

#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/text/XTextFrame.hpp>

#include "word/office/Office.h"

namespace word::office {

struct FrameKinds {
    // What Word's Frames collection holds: the frames of the main text, in the office's order.
    std::vector<css::uno::Reference<css::text::XTextFrame>> frames;
    // The text of every text box, wherever it is anchored.
    std::vector<css::uno::Reference<css::text::XTextFrame>> textBoxes;
    // The text box Word's text-frame story holds: the first one anchored in the main text
    // (null when there is none).
    css::uno::Reference<css::text::XTextFrame> storyTextBox;
};

// Sorts the model's text frames. A frame is a text box's when a drawing shape names it as its
// text, when the drawing order puts it straight after the text shape it was made from (how
// Word 97-2003 text boxes come in), or when it has a text box's inner margins, which a frame
// placed by paragraph properties never gets.
FrameKinds SortFrames(const css::uno::Reference<css::lang::XComponent>& model);

// True when the model holds drawing objects (shapes, pictures, frames).
bool HoldsDrawingObjects(const css::uno::Reference<css::lang::XComponent>& model);

}  // namespace word::office
