#include "packaging/AppIcon.h"

#include <QString>

namespace lineforge {

const QList<int>& AppIconSizes() {
    static const QList<int> sizes{16, 32, 48, 64, 128, 256};
    return sizes;
}

QIcon AppIcon() {
    QIcon icon;
    for (int size : AppIconSizes())
        icon.addFile(QStringLiteral(":/lineforge/lineforge-%1.png").arg(size), QSize(size, size));
    return icon;
}

}  // namespace lineforge
