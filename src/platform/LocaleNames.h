#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// The bytes that stand for name in calls to the platform, in the locale's encoding. False when
// some character cannot be represented there: such a name cannot be handed over faithfully.
bool EncodeFileName(const QString& name, QByteArray* out);

// The text of a name that the platform handed over. False when the bytes are not valid in the
// locale's encoding; *out then holds the name with "?" for every invalid sequence, as the
// platform's narrow-character calls show such names.
bool DecodeFileName(const char* bytes, qsizetype size, QString* out);

// True when the code point can be represented in the locale's encoding.
bool CanRepresent(char32_t codePoint);

}  // namespace platform
