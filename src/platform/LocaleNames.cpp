#include "platform/LocaleNames.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

bool EncodeFileName(const QString& name, QByteArray* out) {
    QStringEncoder encoder(QStringConverter::System);
    *out = encoder.encode(name);
    return !encoder.hasError();
}

bool DecodeFileName(const char* bytes, qsizetype size, QString* out) {
    QStringDecoder decoder(QStringConverter::System);
    *out = decoder.decode(QByteArrayView(bytes, size));
    if (!decoder.hasError())
        return true;
    out->replace(QChar::ReplacementCharacter, u'?');
    return false;
}

bool CanRepresent(char32_t codePoint) {
    if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return false;
    QByteArray ignored;
    return EncodeFileName(QString::fromUcs4(&codePoint, 1), &ignored);
}

}  // namespace platform
