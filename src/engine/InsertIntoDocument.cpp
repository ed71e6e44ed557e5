#include "engine/InsertIntoDocument.h"

#include "engine/InsertAroundX.h"
#include "engine/InsertAtEnds.h"
#include "engine/ProcedurePaths.h"

namespace engine {

DocumentOutcome InsertIntoDocument(const InsertContext& context, Mode mode, const QString& path,
                                   const QString& x) {
    runtime::ErrorHandler on(context.errors, kPathPushButton2Click);
    DocumentOutcome outcome;
    switch (mode) {
        case Mode::kFirstLine:
            on.line(134, [&] { outcome = AddRemove::InsertTextAtBeginningInFile(context, path); });
            break;
        case Mode::kLastLine:
            on.line(138, [&] { outcome = AddRemove::InsertTextAtLastInFile(context, path); });
            break;
        case Mode::kAfterX:
            on.line(142, [&] { outcome = AddRemove::InsertAfterEachX(context, path, x); });
            break;
        case Mode::kBeforeX:
            on.line(146, [&] { outcome = AddRemove::InsertBeforeEachX(context, path, x); });
            break;
    }
    outcome.failures.insert(outcome.failures.end(), on.reported().begin(), on.reported().end());
    return outcome;
}

}  // namespace engine
