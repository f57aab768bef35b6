#include "platform/settingsstore.h"
#include "testsupport.h"

#include <gtest/gtest.h>

using platform::CSettingsStore;

TEST(SettingsStoreTest, StringsAndNumbersRoundTripAndMissingIsReported) {
    testsupport::TempDir dir;
    const std::string file = (dir.Path() / "store.ini").string();
    {
        CSettingsStore store(file);
        EXPECT_TRUE(store.WriteString(HKEY_CURRENT_USER, "Software\\Kavelo", "wintitle",
                                      "ontwerp.prt - Kavelo"));
        EXPECT_TRUE(store.WriteDword(HKEY_CURRENT_USER, "Software\\Kavelo", "nruns", 0xFFFFFFFF));
        EXPECT_TRUE(store.WriteDword(HKEY_CURRENT_USER, "Software\\Kavelo", "zero", 0));
    }
    CSettingsStore store(file); // a fresh store reads what the first wrote
    std::string text = "untouched";
    DWORD number = 7;
    EXPECT_TRUE(store.ReadString(HKEY_CURRENT_USER, "Software\\Kavelo", "wintitle", &text));
    EXPECT_EQ(text, "ontwerp.prt - Kavelo");
    EXPECT_TRUE(store.ReadDword(HKEY_CURRENT_USER, "Software\\Kavelo", "nruns", &number));
    EXPECT_EQ(number, 0xFFFFFFFFu);
    EXPECT_TRUE(store.ReadDword(HKEY_CURRENT_USER, "Software\\Kavelo", "zero", &number));
    EXPECT_EQ(number, 0u);

    text = "untouched";
    number = 7;
    EXPECT_FALSE(store.ReadString(HKEY_CURRENT_USER, "Software\\Kavelo", "missing", &text));
    EXPECT_FALSE(store.ReadDword(HKEY_CURRENT_USER, "Software\\Kavelo", "missing", &number));
    EXPECT_EQ(text, "untouched");
    EXPECT_EQ(number, 7u);
    // A value of the other type is not taken for the asked one.
    EXPECT_FALSE(store.ReadDword(HKEY_CURRENT_USER, "Software\\Kavelo", "wintitle", &number));
    EXPECT_FALSE(store.ReadString(HKEY_CURRENT_USER, "Software\\Kavelo", "nruns", &text));
    // Other keys and roots are separate.
    EXPECT_FALSE(store.ReadDword(HKEY_LOCAL_MACHINE, "Software\\Kavelo", "nruns", &number));
    EXPECT_FALSE(store.ReadDword(HKEY_CURRENT_USER, "Software\\Other", "nruns", &number));
}

TEST(SettingsStoreTest, ValueNamesWithSeparatorsRoundTripExactly) {
    testsupport::TempDir dir;
    const std::string file = (dir.Path() / "store.ini").string();
    const std::vector<std::string> names = {
        "C:\\Program Files\\Kavelo\\res\\Data\\dieren",
        "/home/anna/Kavelo/res/Data/dieren",
        "/home/anna/Kavelo/res/Data/dieren/",
        "res\\Data/mixed\\and/50%",
        "%2F literally",
        "été \xE2\x82\xAC [x]=;#",
    };
    {
        CSettingsStore store(file);
        for (size_t i = 0; i < names.size(); ++i)
            ASSERT_TRUE(
                store.WriteDword(HKEY_CURRENT_USER, "Software\\Kavelo", names[i], DWORD(i + 10)));
    }
    CSettingsStore store(file);
    for (size_t i = 0; i < names.size(); ++i) {
        DWORD v = 0;
        ASSERT_TRUE(store.ReadDword(HKEY_CURRENT_USER, "Software\\Kavelo", names[i], &v))
            << names[i];
        EXPECT_EQ(v, i + 10) << names[i];
    }
    // Names that differ only in their separators stay distinct.
    EXPECT_NE(CSettingsStore::KeyOf(HKEY_CURRENT_USER, "Software\\Kavelo", "a/b"),
              CSettingsStore::KeyOf(HKEY_CURRENT_USER, "Software\\Kavelo", "a\\b"));
    DWORD v = 0;
    EXPECT_FALSE(store.ReadDword(HKEY_CURRENT_USER, "Software\\Kavelo",
                                 "C:/Program Files/Kavelo/res/Data/dieren", &v));
}

TEST(SettingsStoreTest, RemoveForgetsAValue) {
    testsupport::TempDir dir;
    CSettingsStore store((dir.Path() / "store.ini").string());
    store.WriteString(HKEY_CURRENT_USER, "Software\\Kavelo", "contentdir", "/opt/kavelo");
    EXPECT_TRUE(store.Remove(HKEY_CURRENT_USER, "Software\\Kavelo", "contentdir"));
    std::string s;
    EXPECT_FALSE(store.ReadString(HKEY_CURRENT_USER, "Software\\Kavelo", "contentdir", &s));
}
