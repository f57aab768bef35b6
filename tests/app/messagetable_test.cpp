#include "app/messagetable.h"
#include "controls/stringserver.h"

#include <gtest/gtest.h>

#include <set>

TEST(MessageTableTest, RegistersAllEntriesRowByRowInLanguageOrder) {
    // The server has no enumeration; the order shows through Find, which
    // with the filter at 0 answers the first entry added: the Dutch one.
    CStringServer server;
    ASSERT_TRUE(RegisterMessageTable(server));
    int found = 0;
    for (int id = 1000; id < 1044; ++id)
        for (int lang = 1; lang <= 4; ++lang) {
            server.m_nLanguage = lang;
            ASSERT_NE(server.Find(id), nullptr) << id << " " << lang;
            EXPECT_EQ(*server.Find(id), kMessageTable[id - 1000].texts[lang - 1]);
            ++found;
        }
    EXPECT_EQ(found, 176);
    server.m_nLanguage = 0;
    for (int id = 1000; id < 1044; ++id)
        EXPECT_EQ(*server.Find(id), kMessageTable[id - 1000].texts[0]) << id;
    server.m_nLanguage = 1;
    EXPECT_EQ(server.Find(999), nullptr);
    EXPECT_EQ(server.Find(1044), nullptr);
}

TEST(MessageTableTest, RegistrationAppendsExactlyOneHundredSeventySixEntries) {
    // A second registration appends again; with the filter at a language the
    // first registration's text is still the one found.
    CStringServer server;
    server.Add(1000, 1, "earlier");
    ASSERT_TRUE(RegisterMessageTable(server));
    server.Add(4242, 1, "after");
    server.m_nLanguage = 1;
    EXPECT_EQ(*server.Find(1000), "earlier");
    EXPECT_EQ(*server.Find(4242), "after");
}

TEST(MessageTableTest, KnownTextsInTheirLanguages) {
    CStringServer server;
    RegisterMessageTable(server);
    server.m_nLanguage = 1;
    EXPECT_EQ(*server.Find(1000), "Het programma verlaten?");
    EXPECT_EQ(*server.Find(1001), "res\\kv\\inquit");
    EXPECT_EQ(*server.Find(1022), "res\\Tmplts\\Kavelos");
    EXPECT_EQ(*server.Find(1016),
              "Kan het bestand niet vinden..\nsteek de CD-ROM in de drive of zoek manueel naar:\n");
    server.m_nLanguage = 3;
    EXPECT_EQ(*server.Find(1000), "Really quit?");
    EXPECT_EQ(*server.Find(1001), "res\\iequit");
    EXPECT_EQ(*server.Find(1018), "res\\ehelp.pdf");
    EXPECT_EQ(*server.Find(1022), "res\\Tmplts\\WishCrds");
    EXPECT_EQ(*server.Find(1043), "Fit to page");
    server.m_nLanguage = 2;
    EXPECT_EQ(*server.Find(1008), "Erreur: Le fichier n'est pas sauvegard\xC3\xA9");
    server.m_nLanguage = 4;
    EXPECT_EQ(*server.Find(1009), "Fehler: Konnte datei nicht \xC3\xB6"
                                  "ffnen");
    EXPECT_EQ(*server.Find(1040), "L\xC3\xB6schen");
    server.m_nLanguage = 0;
    EXPECT_EQ(*server.Find(1000), "Het programma verlaten?");
}

TEST(MessageTableTest, RowsAreConsecutiveAndComplete) {
    std::set<std::string> skins;
    for (int row = 0; row < kMessageTableRows; ++row) {
        EXPECT_EQ(kMessageTable[row].id, 1000 + row);
        for (const char* text : kMessageTable[row].texts) {
            ASSERT_NE(text, nullptr);
            EXPECT_NE(std::string(text), "");
        }
    }
    // The skin names of the main buttons are distinct in every language.
    for (int row = 1; row <= 7; ++row)
        for (const char* text : kMessageTable[row].texts)
            EXPECT_TRUE(skins.insert(text).second) << text;
}
