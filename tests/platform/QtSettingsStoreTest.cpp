// The settings store on QSettings, pointed at a temporary file.
#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

#include "platform/QtSettingsStore.h"

namespace {

TEST(QtSettingsStore, MissingKeysGiveTheDefaultAndSavesAreWrittenAtOnce) {
    QTemporaryDir dir;
    const QString file = dir.filePath("settings.ini");
    platform::QtSettingsStore store(file);
    EXPECT_EQ(store.GetSetting("Kestrova", "Lineforge Suite", "Combo2", "4"), "4");
    store.SaveSetting("Kestrova", "Lineforge Suite", "Combo2", "14");
    EXPECT_FALSE(store.LastSaveFailed());

    // Another reader sees it without any further step of the store.
    QSettings reader(file, QSettings::IniFormat);
    EXPECT_EQ(reader.value("Kestrova/Lineforge Suite/Combo2").toString(), "14");
    EXPECT_EQ(
        platform::QtSettingsStore(file).GetSetting("Kestrova", "Lineforge Suite", "Combo2", "4"),
        "14");
}

TEST(QtSettingsStore, TextsSurviveWholeAndEmptyIsNotMissing) {
    QTemporaryDir dir;
    const QString file = dir.filePath("s.ini");
    {
        platform::QtSettingsStore store(file);
        store.SaveSetting("Kestrova", "Lineforge Suite", "Textbox",
                          "line one\r\nline = two; #3 \"q\"");
        store.SaveSetting("Kestrova", "Lineforge Suite", "LastFolder", "");
        store.SaveSetting("Kestrova", "Other Section", "Textbox", "elsewhere");
    }
    platform::QtSettingsStore store(file);
    EXPECT_EQ(store.GetSetting("Kestrova", "Lineforge Suite", "Textbox", "Zarem"),
              "line one\r\nline = two; #3 \"q\"");
    EXPECT_EQ(store.GetSetting("Kestrova", "Lineforge Suite", "LastFolder", "x"), "");
    EXPECT_EQ(store.GetSetting("Kestrova", "Other Section", "Textbox", ""), "elsewhere");
    EXPECT_EQ(store.GetSetting("Other App", "Lineforge Suite", "Textbox", "Zarem"), "Zarem");
}

TEST(QtSettingsStore, TheUsersStoreIsAddressedByApplicationAndSection) {
    QTemporaryDir home;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home.path());
    platform::QtSettingsStore store;
    const QString where = store.Location("Kestrova", "Lineforge Suite");
    EXPECT_TRUE(where.startsWith(home.path())) << where.toStdString();
    EXPECT_TRUE(where.contains("Kestrova")) << where.toStdString();
    EXPECT_TRUE(where.contains("Lineforge Suite")) << where.toStdString();
    store.SaveSetting("Kestrova", "Lineforge Suite", "Combo1", "2");
    EXPECT_EQ(store.GetSetting("Kestrova", "Lineforge Suite", "Combo1", "0"), "2");
    EXPECT_TRUE(QFileInfo::exists(where));
}

TEST(QtSettingsStore, AFailedWriteIsReported) {
    QTemporaryDir dir;
    // A folder where the file should be: nothing can be written there, even as root.
    ASSERT_TRUE(QDir(dir.path()).mkdir("blocked.ini"));
    platform::QtSettingsStore store(dir.filePath("blocked.ini"));
    store.SaveSetting("Kestrova", "Lineforge Suite", "Combo1", "1");
    EXPECT_TRUE(store.LastSaveFailed());
}

}  // namespace
