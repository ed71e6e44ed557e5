#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QString>

#include "packaging/AppIcon.h"

namespace {

// The resources must survive static linking into an executable: every size loads from its path.
TEST(AppIcon, EverySizeLoadsFromTheLinkedResources) {
    ASSERT_EQ(lineforge::AppIconSizes(), (QList<int>{16, 32, 48, 64, 128, 256}));
    for (int size : lineforge::AppIconSizes()) {
        const QString path = QStringLiteral(":/lineforge/lineforge-%1.png").arg(size);
        QImage image(path);
        ASSERT_FALSE(image.isNull()) << path.toStdString();
        EXPECT_EQ(image.size(), QSize(size, size)) << path.toStdString();
        EXPECT_TRUE(image.hasAlphaChannel()) << path.toStdString();
    }
}

TEST(AppIcon, OffersEachSizeAsItsOwnPixmap) {
    const QIcon icon = lineforge::AppIcon();
    ASSERT_FALSE(icon.isNull());
    QList<QSize> expected;
    for (int size : lineforge::AppIconSizes())
        expected.append(QSize(size, size));
    EXPECT_EQ(icon.availableSizes(), expected);
    // A small request gets the small rendering, not a scaled-down large one.
    const QImage small = icon.pixmap(QSize(16, 16)).toImage();
    EXPECT_EQ(small.size(), QSize(16, 16));
    EXPECT_EQ(small.convertToFormat(QImage::Format_ARGB32),
              QImage(QStringLiteral(":/lineforge/lineforge-16.png"))
                  .convertToFormat(QImage::Format_ARGB32));
}

}  // namespace
