#include "engine/InsertAroundX.h"

#include "engine/ReplaceByFileXY.h"

namespace AddRemove {

namespace {

constexpr QChar kCR(u'\r');
// The found text, in the replacement text of a find and replace.
const QString kFoundText = QStringLiteral("^&");
constexpr long kInvalidProcedureCall = 5;

// The run passes an empty x only when the mode was switched to an x mode during the run, so
// no x was asked; a search for nothing must not start.
void RequireX(const QString& path, const QString& x) {
    if (x.isEmpty())
        throw runtime::Error(kInvalidProcedureCall,
                             "No text x was asked for this run (the mode was changed during "
                             "the run); the document was skipped: " +
                                 path.toStdString());
}

}  // namespace

QString BeforeXReplacement(const QString& lines) {
    return lines + kCR + kFoundText;
}

QString AfterXReplacement(const QString& lines) {
    return kFoundText + kCR + lines;
}

engine::DocumentOutcome InsertBeforeEachX(const engine::InsertContext& context, const QString& path,
                                          const QString& x) {
    RequireX(path, x);
    const QString replacement = BeforeXReplacement(context.view.LinesText());
    return ReplaceByFileXY(context, path, x, replacement);
}

engine::DocumentOutcome InsertAfterEachX(const engine::InsertContext& context, const QString& path,
                                         const QString& x) {
    RequireX(path, x);
    const QString replacement = AfterXReplacement(context.view.LinesText());
    return ReplaceByFileXY(context, path, x, replacement);
}

}  // namespace AddRemove
