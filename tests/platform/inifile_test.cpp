// The settings file in the form Qt's settings class reads and writes: what
// either writes, the other reads the same, and values the program never
// writes survive its writes.

#include "platform/inifile.h"
#include "platform/settingsstore.h"
#include "testsupport.h"

#include <QSettings>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using platform::CSettingsStore;

namespace {

constexpr const char* kKey = "Software\\Kavelo";

const std::vector<std::string> kValues = {
    "",
    " leading and trailing ",
    "a,b;c=d",
    "quote \" and back\\slash",
    "line\nfeed\ttab\x01"
    "abc\x1f"
    "7",
    "@at",
    "@@two",
    "@Invalid()",
    "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80",
    "dword:0000000a",
    "C:\\Program Files\\Kavelo\\",
};

std::string Name(size_t i) {
    return "value " + std::to_string(i) + " /\\%";
}

QString QtKey(size_t i) {
    return QString::fromStdString(CSettingsStore::KeyOf(HKEY_CURRENT_USER, kKey, Name(i)));
}

} // namespace

TEST(IniFileTest, WhatQtWritesTheStoreReadsAndTheOtherWayRound) {
    testsupport::TempDir dir;
    const std::string byQt = dir.Str() + "/qt.ini", byStore = dir.Str() + "/store.ini";
    {
        QSettings qt(QString::fromStdString(byQt), QSettings::IniFormat);
        for (size_t i = 0; i < kValues.size(); ++i)
            qt.setValue(QtKey(i), QString::fromStdString(kValues[i]));
    }
    CSettingsStore fromQt(byQt), store(byStore);
    for (size_t i = 0; i < kValues.size(); ++i) {
        std::string text = "none";
        EXPECT_TRUE(fromQt.ReadString(HKEY_CURRENT_USER, kKey, Name(i), &text) ||
                    kValues[i].rfind("dword:", 0) == 0)
            << i;
        if (kValues[i].rfind("dword:", 0) != 0) {
            EXPECT_EQ(text, kValues[i]) << i;
        }
        ASSERT_TRUE(store.WriteString(HKEY_CURRENT_USER, kKey, Name(i), kValues[i]));
    }
    QSettings qt(QString::fromStdString(byStore), QSettings::IniFormat);
    EXPECT_EQ(qt.status(), QSettings::NoError);
    EXPECT_EQ(qt.allKeys().size(), qsizetype(kValues.size()));
    for (size_t i = 0; i < kValues.size(); ++i) {
        const QVariant value = qt.value(QtKey(i));
        EXPECT_EQ(value.typeId(), QMetaType::QString) << i;
        EXPECT_EQ(value.toString().toStdString(), kValues[i]) << i;
    }
}

TEST(IniFileTest, ValuesTheProgramNeverWritesSurviveItsWrites) {
    testsupport::TempDir dir;
    const std::string file =
        dir.Write("registry.ini", "; a comment of the user\n"
                                  "[General]\n"
                                  "top=level\n"
                                  "\n"
                                  "[HKCU]\n"
                                  "Software\\Kavelo\\list=one, \"two, 2\" ,3\n"
                                  "Software\\Kavelo\\bytes=@ByteArray(\\0\\x1)\n"
                                  "Software\\Kavelo\\number=7 ; says who\n");
    CSettingsStore store(file);
    std::string text;
    EXPECT_FALSE(store.ReadString(HKEY_CURRENT_USER, kKey, "list", &text));
    EXPECT_FALSE(store.ReadString(HKEY_CURRENT_USER, kKey, "bytes", &text));
    ASSERT_TRUE(store.ReadString(HKEY_CURRENT_USER, kKey, "number", &text));
    EXPECT_EQ(text, "7");
    ASSERT_TRUE(store.WriteDword(HKEY_CURRENT_USER, kKey, "nruns", 3));
    EXPECT_EQ(testsupport::ReadFile(file), "[General]\n"
                                           "top=level\n"
                                           "\n"
                                           "[HKCU]\n"
                                           "Software\\Kavelo\\bytes=@ByteArray(\\0\\x1)\n"
                                           "Software\\Kavelo\\list=one, \"two, 2\" ,3\n"
                                           "Software\\Kavelo\\nruns=dword:00000003\n"
                                           "Software\\Kavelo\\number=7\n");
    QSettings qt(QString::fromStdString(file), QSettings::IniFormat);
    EXPECT_EQ(qt.value("top").toString(), "level");
    EXPECT_EQ(qt.value("HKCU/Software/Kavelo/number").toString(), "7");
    EXPECT_EQ(qt.value("HKCU/Software/Kavelo/list").toStringList(),
              (QStringList{"one", "two, 2", "3"}));
    EXPECT_EQ(qt.value("HKCU/Software/Kavelo/bytes").toByteArray(), QByteArray("\0\1", 2));
}

TEST(IniFileTest, AValueLeftOpenDoesNotSwallowTheLinesWrittenAfterIt) {
    // The quote runs to the end of the file, taking the line below it into
    // the value; written back as it was spelt it would take the program's
    // own values too.
    testsupport::TempDir dir;
    const std::string file =
        dir.Write("registry.ini", "[HKCU]\nSoftware\\Kavelo\\contentdir=\"open\nlast=a\n");
    CSettingsStore store(file);
    ASSERT_TRUE(store.WriteString(HKEY_CURRENT_USER, kKey, "wintitle", "Morvane"));
    EXPECT_EQ(testsupport::ReadFile(file), "[HKCU]\n"
                                           "Software\\Kavelo\\contentdir=\"open\\nlast=a\"\n"
                                           "Software\\Kavelo\\wintitle=Morvane\n");
    CSettingsStore again(file);
    std::string text;
    ASSERT_TRUE(again.ReadString(HKEY_CURRENT_USER, kKey, "wintitle", &text));
    EXPECT_EQ(text, "Morvane");
    ASSERT_TRUE(again.ReadString(HKEY_CURRENT_USER, kKey, "contentdir", &text));
    EXPECT_EQ(text, "open\nlast=a");
}
