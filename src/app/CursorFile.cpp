#include "app/CursorFile.h"

#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QtEndian>

namespace app {

namespace {

constexpr qint64 kMaxCursorFileSize = 4 * 1024 * 1024;
constexpr int kHeaderSize = 6;
constexpr int kEntrySize = 16;

quint16 Word16(const QByteArray& data, int at) {
    return qFromLittleEndian<quint16>(reinterpret_cast<const uchar*>(data.constData()) + at);
}

}  // namespace

std::optional<QCursor> LoadCursorFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxCursorFileSize)
        return std::nullopt;
    QByteArray data = file.readAll();
    if (data.size() < kHeaderSize + kEntrySize)
        return std::nullopt;
    const quint16 reserved = Word16(data, 0);
    const quint16 type = Word16(data, 2);
    const quint16 count = Word16(data, 4);
    if (reserved != 0 || (type != 1 && type != 2) || count == 0)
        return std::nullopt;
    const int hotX = Word16(data, kHeaderSize + 4);
    const int hotY = Word16(data, kHeaderSize + 6);
    // The image decoder reads icons; a cursor file differs only in its type word and in
    // keeping the hot spot where an icon keeps planes and bit depth.
    if (type == 2) {
        data[2] = 1;
        data[kHeaderSize + 4] = 1;
        data[kHeaderSize + 5] = 0;
        data[kHeaderSize + 6] = 0;
        data[kHeaderSize + 7] = 0;
    }
    QImage image;
    if (!image.loadFromData(data, "ICO") || image.isNull())
        return std::nullopt;
    QPixmap pixmap = QPixmap::fromImage(image);
    if (type == 2)
        return QCursor(pixmap, qBound(0, hotX, pixmap.width() - 1),
                       qBound(0, hotY, pixmap.height() - 1));
    return QCursor(pixmap);
}

}  // namespace app
