#pragma once

#include <QString>

#include "engine/DocumentOutcome.h"
#include "engine/InsertContext.h"

namespace AddRemove {

// Types the lines, then a paragraph mark, at the start of the document's main text in the
// chosen font, and saves the document under its own path. Starts and quits its own Word
// instance; every failing step is reported under its line label and never leaves the
// procedure. A protected or unopenable document is left unsaved; when typing fails, the
// document is not saved, so it keeps its former content. Returns what it did.
engine::DocumentOutcome InsertTextAtBeginningInFile(const engine::InsertContext& context,
                                                    const QString& path);

// Moves to the end of the main text, types a paragraph mark and then the lines in the chosen
// font, and saves the document under its own path. As InsertTextAtBeginningInFile; in
// addition, when the move to the end fails nothing is typed and nothing is saved.
engine::DocumentOutcome InsertTextAtLastInFile(const engine::InsertContext& context,
                                               const QString& path);

}  // namespace AddRemove
