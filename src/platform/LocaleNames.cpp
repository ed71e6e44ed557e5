#include "platform/LocaleNames.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>

namespace platform {

namespace {

// A surrogate without its partner stands for no character at all.
bool HasUnpairedSurrogate(const QString& s) {
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate())
            ++i;
        else if (s[i].isSurrogate())
            return true;
    }
    return false;
}

// Every locale encoding the platform offers agrees with ASCII on its characters.
bool IsAscii(const QString& s) {
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c.unicode() < 0x80; });
}

}  // namespace

bool EncodeFileName(const QString& name, QByteArray* out) {
    if (IsAscii(name)) {
        *out = name.toLatin1();
        return true;
    }
    if (HasUnpairedSurrogate(name)) {
        out->clear();
        return false;
    }
    QStringEncoder encoder(QStringConverter::System);
    *out = encoder.encode(name);
    return !encoder.hasError();
}

bool DecodeFileName(const char* bytes, qsizetype size, QString* out) {
    if (std::all_of(bytes, bytes + size, [](char c) { return (c & 0x80) == 0; })) {
        *out = QString::fromLatin1(bytes, size);
        return true;
    }
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
