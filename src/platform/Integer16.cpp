#include "platform/Integer16.h"

#include <cmath>

#include "runtime/Error.h"

namespace platform {

short ToInteger16(const QString& text) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    double value = 0;
    if (trimmed.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        const qlonglong hex = trimmed.mid(2).toLongLong(&ok, 16);
        if (ok && hex >= 0 && hex <= 0xFFFF)
            value = static_cast<short>(static_cast<quint16>(hex));
        else if (ok)
            throw runtime::Error(runtime::kOverflow, "Overflow");
    } else {
        value = trimmed.toDouble(&ok);
    }
    if (!ok || trimmed.isEmpty() || !std::isfinite(value))
        throw runtime::Error(runtime::kTypeMismatch, "Type mismatch");
    const double rounded = std::nearbyint(value);  // the default rounding mode: half to even
    if (rounded < -32768.0 || rounded > 32767.0)
        throw runtime::Error(runtime::kOverflow, "Overflow");
    return static_cast<short>(rounded);
}

}  // namespace platform
