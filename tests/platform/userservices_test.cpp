#include "platform/userservices.h"

#include <gtest/gtest.h>

using platform::ConvertFileFilter;

TEST(FileFilterTest, PairsBecomeQtNameFilters) {
    EXPECT_EQ(ConvertFileFilter("BMP file (*.bmp)|*.bmp|All Files (*.*)|*.*||"),
              (std::vector<std::string>{"BMP file (*.bmp)", "All Files (*)"}));
    EXPECT_EQ(ConvertFileFilter("Pictures|*.bmp;*.jpg; *.tif||"),
              (std::vector<std::string>{"Pictures (*.bmp *.jpg *.tif)"}));
    // Without the closing "||" the pairs still count; a lone label does not.
    EXPECT_EQ(ConvertFileFilter("Design (*.prt)|*.prt|Orphan"),
              (std::vector<std::string>{"Design (*.prt)"}));
    EXPECT_TRUE(ConvertFileFilter("").empty());
}

TEST(ScriptedServicesTest, RecordsQuestionsAndAnswersInOrder) {
    platform::ScopedScriptedServices script;
    script.messageAnswers = {IDCANCEL};
    EXPECT_EQ(AfxMessageBox("first?", MB_OKCANCEL | MB_ICONQUESTION), IDCANCEL);
    EXPECT_EQ(MessageBox(nullptr, "second", "", MB_OK), IDOK); // default answer
    ASSERT_EQ(script.messages.size(), 2u);
    EXPECT_EQ(script.messages[0].text, "first?");
    EXPECT_EQ(script.messages[0].caption, "Kavelo");
    EXPECT_EQ(script.messages[0].type, MB_OKCANCEL | MB_ICONQUESTION);
    EXPECT_EQ(script.messages[1].caption, "");

    script.fileAnswers = {std::string("/tmp/a.prt"), std::nullopt};
    EXPECT_EQ(platform::Services().FileDialog({}), std::optional<std::string>("/tmp/a.prt"));
    EXPECT_EQ(platform::Services().FileDialog({}), std::nullopt);
    EXPECT_EQ(script.fileDialogs.size(), 2u);
}

TEST(ScriptedServicesTest, ScopeRestoresThePreviousServices) {
    platform::UserServices* before = &platform::Services();
    {
        platform::ScopedScriptedServices outer;
        EXPECT_EQ(&platform::Services(), &outer);
        {
            platform::ScopedScriptedServices inner;
            EXPECT_EQ(&platform::Services(), &inner);
        }
        EXPECT_EQ(&platform::Services(), &outer);
    }
    EXPECT_EQ(&platform::Services(), before);
}
