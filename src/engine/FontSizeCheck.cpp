#include "engine/FontSizeCheck.h"

#include "runtime/FontSize.h"

namespace engine {

bool IsUsableFontSize(const QString& text) {
    return runtime::ParseFontSize(text.toStdString()).Ok();
}

QString UnusableFontSizeMessage(const QString& text) {
    return QStringLiteral(
               "The font size \"%1\" cannot be used.\r\rPlease choose a size from the "
               "list or type a number of points from 1 to 1638. No document was "
               "opened.")
        .arg(text);
}

}  // namespace engine
