#pragma once

#include "word/Word.h"

namespace Word1 {

// Removes the document's text frames, always working on frame 1: a frame inside a table makes
// that table's rows stop wrapping around text, any other frame is deleted (its text stays).
// Stops when a pass leaves the frame count where it was, so a frame that survives its
// handling cannot keep it going forever. Raises whatever a Word member raises.
void ClearFrames(const word::Ref<word::Document>& document);

}  // namespace Word1
