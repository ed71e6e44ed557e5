#pragma once

#include <QString>

#include "engine/DocumentOutcome.h"
#include "engine/InsertContext.h"

namespace AddRemove {

// The replacement of before-x mode: the lines, a carriage return, the found x. The found x is
// the replace's found-text code (^&), so each occurrence keeps its own characters and case,
// whatever the case in which x was typed.
QString BeforeXReplacement(const QString& lines);
// The replacement of after-x mode: the found x, a carriage return, the lines.
QString AfterXReplacement(const QString& lines);

// Puts the lines (read from the window now) before each x, ending the paragraph in which x
// stood, through ReplaceByFileXY. Raises runtime::Error, and touches nothing, when x is
// empty; the caller reports it and skips the document.
engine::DocumentOutcome InsertBeforeEachX(const engine::InsertContext& context, const QString& path,
                                          const QString& x);

// Puts the lines after each x, in a paragraph that starts behind x, through ReplaceByFileXY.
// Raises runtime::Error, and touches nothing, when x is empty.
engine::DocumentOutcome InsertAfterEachX(const engine::InsertContext& context, const QString& path,
                                         const QString& x);

}  // namespace AddRemove
