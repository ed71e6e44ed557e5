#include "docx/model/FontSize.h"

#include "docx/Error.h"
#include "runtime/FontSize.h"

namespace docx {

long ParseFontSizeHalfPoints(std::string_view text) {
    const runtime::FontSize size = runtime::ParseFontSize(text);
    if (!size.Ok())
        throw Error(size.errorNumber == kTypeMismatch ? Reason::kNotANumber : Reason::kOutOfRange,
                    size.errorNumber, size.description);
    return size.halfPoints;
}

}  // namespace docx
