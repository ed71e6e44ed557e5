#pragma once

#include <QString>

#include "engine/DocumentOutcome.h"
#include "engine/InsertContext.h"
#include "engine/Modes.h"

namespace engine {

// Runs the per-document procedure of mode on path (x is used in the x modes), under the lines
// of the insertion run that call each procedure, so what escapes a procedure (an x modes call
// without x) is reported as the run reports it. Never raises.
DocumentOutcome InsertIntoDocument(const InsertContext& context, Mode mode, const QString& path,
                                   const QString& x);

}  // namespace engine
