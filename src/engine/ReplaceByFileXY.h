#pragma once

#include <QString>

#include "engine/DocumentOutcome.h"
#include "engine/InsertContext.h"

namespace AddRemove {

// Replaces every occurrence of x (any case, inside words too, literally) by replacement in
// each story range of the document, giving the replacement the chosen font size and name, and
// saves the document under its own path. The progress value shows the share of story ranges
// done. Starts and quits its own Word instance; every failing step is reported under its line
// label and never leaves the procedure. The document is left unsaved when it is protected or
// cannot be opened, when x is empty (reported once, Word is not started), when the story
// ranges cannot be taken, or when the search or replacement text of a range cannot be set. A
// document in which nothing changed (x found nowhere) is not written either: its file stays as
// it was. Returns what it did, counting one insertion per occurrence replaced.
engine::DocumentOutcome ReplaceByFileXY(const engine::InsertContext& context, const QString& path,
                                        const QString& x, const QString& replacement);

}  // namespace AddRemove
