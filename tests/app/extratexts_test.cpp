// The extra texts beside the message table: registered after it without
// hiding any of its 176 entries, every row complete in the four languages.

#include "app/extratexts.h"
#include "app/messagetable.h"
#include "controls/stringserver.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

TEST(ExtraTextsTest, RegisteredAfterTheMessageTableInEveryLanguage) {
    CStringServer server;
    ASSERT_TRUE(RegisterMessageTable(server));
    ASSERT_TRUE(RegisterExtraTexts(server));
    std::set<int> ids;
    for (int row = 0; row < kExtraTextRows; ++row) {
        const MessageTableRow& extra = kExtraTexts[row];
        EXPECT_GE(extra.id, kFirstExtraTextId);
        EXPECT_TRUE(ids.insert(extra.id).second) << "identifier " << extra.id << " twice";
        for (int language = 1; language <= 4; ++language) {
            server.m_nLanguage = language;
            const std::string* text = server.Find(extra.id);
            ASSERT_NE(text, nullptr) << extra.id << " in language " << language;
            EXPECT_FALSE(text->empty()) << extra.id << " in language " << language;
            EXPECT_EQ(*text, extra.texts[language - 1]);
        }
        // The row's Dutch text is the first entry of its identifier.
        server.m_nLanguage = 0;
        EXPECT_EQ(*server.Find(extra.id), extra.texts[0]);
    }
    // The message table still answers its own texts, and its last row
    // comes before the first extra one.
    for (const auto& row : kMessageTable) {
        EXPECT_LT(row.id, kFirstExtraTextId);
        server.m_nLanguage = kLanguageGerman;
        EXPECT_EQ(*server.Find(row.id), row.texts[kLanguageGerman - 1]);
    }
    server.m_nLanguage = kLanguageDutch;
    EXPECT_EQ(*server.Find(kTextDarkFabric), "Donkere stof (niet gespiegeld)");
    server.m_nLanguage = kLanguageEnglish;
    EXPECT_EQ(*server.Find(kTextCutMarks), "Cut marks");
}
