#include "engine/FontSizeCheck.h"

#include "docx/FontSize.h"

namespace engine {

bool IsUsableFontSize(const QString& text) {
    try {
        docx::ParseFontSizeHalfPoints(text.toStdString());
        return true;
    } catch (...) {
        return false;
    }
}

QString UnusableFontSizeMessage(const QString& text) {
    return QStringLiteral(
               "The font size \"%1\" cannot be used.\r\rPlease choose a size from the "
               "list or type a number of points from 1 to 1638. No document was "
               "opened.")
        .arg(text);
}

}  // namespace engine
