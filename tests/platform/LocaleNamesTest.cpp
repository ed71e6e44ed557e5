#include <gtest/gtest.h>

#include "platform/LocaleNames.h"

namespace {

TEST(LocaleNamesTest, ValidNamesRoundTrip) {
    const QString name = QString::fromUtf8("Bericht über Öl – 東京.docx");
    QByteArray bytes;
    ASSERT_TRUE(platform::EncodeFileName(name, &bytes));
    QString back;
    ASSERT_TRUE(platform::DecodeFileName(bytes.constData(), bytes.size(), &back));
    EXPECT_EQ(back, name);
}

TEST(LocaleNamesTest, InvalidBytesAreReportedAndShownAsQuestionMarks) {
    const QByteArray raw("bad\xff\xfename.doc");
    QString name;
    EXPECT_FALSE(platform::DecodeFileName(raw.constData(), raw.size(), &name));
    EXPECT_TRUE(name.startsWith("bad?")) << name.toStdString();
    EXPECT_TRUE(name.endsWith("name.doc"));
    EXPECT_FALSE(name.contains(QChar::ReplacementCharacter));
}

TEST(LocaleNamesTest, LoneSurrogateCannotBeHandedOver) {
    QString name = "a";
    name += QChar(0xD800);
    QByteArray bytes;
    EXPECT_FALSE(platform::EncodeFileName(name, &bytes));
    EXPECT_FALSE(platform::CanRepresent(0xD800));
    EXPECT_TRUE(platform::CanRepresent(U'é'));
    EXPECT_TRUE(platform::CanRepresent(0x1F600));
}

}  // namespace
