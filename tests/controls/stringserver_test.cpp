#include "controls/stringserver.h"

#include <gtest/gtest.h>

TEST(StringServerTest, FindFiltersByLanguageAndReturnsTheFirstMatch) {
    CStringServer server;
    EXPECT_EQ(server.m_nLanguage, 0);
    EXPECT_EQ(server.Find(1000), nullptr);
    EXPECT_TRUE(server.Add(1000, 1, "een"));
    EXPECT_TRUE(server.Add(1000, 2, "un"));
    EXPECT_TRUE(server.Add(2000, 0, "any"));
    EXPECT_TRUE(server.Add(1000, 2, "deux")); // same pair again: never found

    ASSERT_NE(server.Find(1000), nullptr);
    EXPECT_EQ(*server.Find(1000), "een"); // language 0: the first added
    server.m_nLanguage = 2;
    EXPECT_EQ(*server.Find(1000), "un");   // switching takes effect at once
    EXPECT_EQ(server.Find(2000), nullptr); // language-0 entries only under filter 0
    server.m_nLanguage = 3;
    EXPECT_EQ(server.Find(1000), nullptr); // no fallback to another language
    server.m_nLanguage = 0;
    ASSERT_NE(server.Find(2000), nullptr);
    EXPECT_EQ(*server.Find(2000), "any");
}

TEST(StringServerTest, TextsAreCopiesThatStayPut) {
    CStringServer server;
    std::string text = "origineel";
    server.Add(5, 1, text);
    text = "changed";
    std::string* found = server.Find(5);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(*found, "origineel");
    for (int i = 0; i < 1000; ++i)
        server.Add(100 + i, 1, "more");
    EXPECT_EQ(server.Find(5), found); // growing the table does not move texts
}
