// The text window: its controls and layout, the values handed in and read
// back, the ground that follows the text colour, the alignment, the
// typeface through the font chooser (scripted and the real one), and the
// keys and buttons that end it or do not.

#include "popuptest.h"
#include "testsupport.h"

#include "controls/button.h"
#include "controls/colorbutton.h"
#include "controls/cyclebutton.h"
#include "controls/editcontrol.h"
#include "controls/layoutgroup.h"
#include "platform/logfont.h"
#include "platform/userservices.h"
#include "platform/window.h"
#include "popups/textwindow.h"

#include <QApplication>
#include <QFontDialog>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using popuptest::ClickCentre;
using popuptest::RunWith;

namespace {

using T = CTextWindow;

BOOL CreateWindow(T& window) {
    return window.Create(30, 40, T::kWidth, T::kHeight, "Text", "Typeface", "Left aligned",
                         "Centered", "Right aligned", "OK", "Cancel", T::kStyle, T::kExStyle);
}

CEditControl* Edit(T& w) {
    return dynamic_cast<CEditControl*>(w.FindControl(T::kEditId));
}

QWidget* WidgetOf(T& w, int id) {
    return w.FindControl(id)->m_pWnd;
}

LOGFONTA BoldItalicDejaVu() {
    LOGFONTA lf{};
    lf.lfHeight = -24;
    lf.lfWeight = FW_BOLD;
    lf.lfItalic = 1;
    platform::SetFaceName(lf, "DejaVu Sans");
    return lf;
}

bool SameFont(const LOGFONTA& a, const LOGFONTA& b) {
    return std::memcmp(&a, &b, sizeof(LOGFONTA)) == 0;
}

std::vector<int> MemberIds(T& w, int groupId) {
    std::vector<int> ids;
    if (auto* group = dynamic_cast<CLayoutGroup*>(w.FindControl(groupId)))
        for (CControlBase* m : group->m_members)
            ids.push_back(m->m_nId);
    return ids;
}

// A step of the alignment cycle: a click in its selector area.
void StepAlignment(T& w) {
    QWidget* cycle = WidgetOf(w, T::kAlignmentId);
    QTest::mouseClick(cycle, Qt::LeftButton, Qt::NoModifier, QPoint(4, cycle->height() / 2));
}

} // namespace

TEST(TextWindowTest, StartsEmptyWhiteAndLeftAligned) {
    T window;
    EXPECT_EQ(window.GetText(), "");
    EXPECT_EQ(window.GetColor(), 0x00FFFFFFu);
    EXPECT_EQ(window.GetAlignment(), 0);
    EXPECT_TRUE(SameFont(window.GetFontDescription(), LOGFONTA{}));
    EXPECT_EQ(window.GetResult(), 0);
    EXPECT_FALSE(window.m_bFontCreated);
}

TEST(TextWindowTest, BuildsItsControlsAndGroups) {
    T window;
    window.SetText("Hello\r\nWorld");
    window.SetColor(0x00102030);
    ASSERT_TRUE(CreateWindow(window));
    EXPECT_EQ(window.windowTitle().toStdString(), "Text");
    EXPECT_EQ(window.geometry(), QRect(30, 40, 450, 350));
    EXPECT_EQ(window.minimumSize(), QSize(450, 350));
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(window.m_crBackground, 0x00BFBFBFu);

    CEditControl* edit = Edit(window);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->m_dwStyle & 0x508110C4u, 0x508110C4u);
    ASSERT_NE(edit->GetMultiLineEditor(), nullptr) << "a multi-line field";
    EXPECT_EQ(edit->GetWindowText(), "Hello\r\nWorld");

    const struct {
        int id;
        const char* caption;
    } buttons[] = {{T::kTypefaceId, "Typeface"}, {T::kOkId, "OK"}, {T::kCancelId, "Cancel"}};
    for (const auto& b : buttons) {
        auto* button = dynamic_cast<CButtonControl*>(window.FindControl(b.id));
        ASSERT_NE(button, nullptr) << b.caption;
        EXPECT_EQ(button->GetCaption(), b.caption);
    }
    auto* cycle = dynamic_cast<CCycleButtonControl*>(window.FindControl(T::kAlignmentId));
    ASSERT_NE(cycle, nullptr);
    ASSERT_EQ(cycle->GetItemCount(), 3);
    EXPECT_EQ(cycle->GetItem(0)->text, "Left aligned");
    EXPECT_EQ(cycle->GetItem(1)->text, "Centered");
    EXPECT_EQ(cycle->GetItem(2)->text, "Right aligned");
    EXPECT_EQ(cycle->m_nCurrent, 0);
    auto* colour = dynamic_cast<CColorButtonControl*>(window.FindControl(T::kColourId));
    ASSERT_NE(colour, nullptr);
    EXPECT_EQ(colour->m_crColor, 0x00102030u);

    EXPECT_EQ(MemberIds(window, T::kOuterGroupId),
              (std::vector<int>{T::kEditId, T::kToolRowId, T::kButtonRowId}));
    EXPECT_EQ(MemberIds(window, T::kToolRowId),
              (std::vector<int>{T::kTypefaceId, T::kAlignmentId, T::kColourId}));
    EXPECT_EQ(MemberIds(window, T::kButtonRowId), (std::vector<int>{T::kOkId, T::kCancelId}));
    EXPECT_TRUE(window.FindControl(T::kOuterGroupId)->m_dwFlags & GROUP_COLUMN);
    EXPECT_FALSE(window.FindControl(T::kToolRowId)->m_dwFlags & GROUP_COLUMN);
    const struct {
        int id;
        double weight;
    } weights[] = {{T::kEditId, 5.0},     {T::kToolRowId, 1.0},   {T::kButtonRowId, 0.8},
                   {T::kTypefaceId, 1.0}, {T::kAlignmentId, 2.0}, {T::kColourId, 0.7},
                   {T::kOkId, 1.0},       {T::kCancelId, 1.0}};
    for (const auto& w : weights)
        EXPECT_EQ(window.FindControl(w.id)->m_dWeight, w.weight) << w.id;

    // The edit field takes most of the height, the rows lie below it.
    const QRect field = WidgetOf(window, T::kEditId)->geometry();
    const QRect typeface = WidgetOf(window, T::kTypefaceId)->geometry();
    const QRect ok = WidgetOf(window, T::kOkId)->geometry();
    EXPECT_GT(field.height(), 3 * typeface.height());
    EXPECT_GT(typeface.top(), field.bottom());
    EXPECT_GT(ok.top(), typeface.bottom());
    EXPECT_LT(WidgetOf(window, T::kTypefaceId)->geometry().right(),
              WidgetOf(window, T::kAlignmentId)->geometry().left());
}

TEST(TextWindowTest, TheGroundFollowsTheBrightnessOfTheTextColour) {
    EXPECT_EQ(T::GroundForColor(0x00FFFFFF), 0x00321E14u) << "white: dark ground";
    EXPECT_EQ(T::GroundForColor(RGB(128, 128, 128)), 0x00FAE6DCu) << "exactly 128 counts as dark";
    EXPECT_EQ(T::GroundForColor(RGB(130, 128, 128)), 0x00FAE6DCu) << "128.67 rounds down";
    EXPECT_EQ(T::GroundForColor(RGB(131, 128, 128)), 0x00321E14u) << "129";
    EXPECT_EQ(T::GroundForColor(0), 0x00FAE6DCu);

    platform::ScopedScriptedServices services;
    T window;
    ASSERT_TRUE(CreateWindow(window));
    CEditControl* edit = Edit(window);
    EXPECT_EQ(edit->m_crBackground, 0x00321E14u) << "white text handed in";
    EXPECT_EQ(edit->m_crText, 0x00FFFFFFu);
    const QImage shown = popuptest::Grab(edit);
    EXPECT_EQ(popuptest::PixelOf(shown, shown.width() / 2, shown.height() - 4), 0x141E32u)
        << "the field is painted on the dark ground";

    // The user picks mid grey with the colour button.
    services.colorAnswers.push_back(RGB(128, 128, 128));
    ClickCentre(WidgetOf(window, T::kColourId));
    ASSERT_EQ(services.colorDialogs.size(), 1u);
    EXPECT_EQ(services.colorDialogs[0], 0x00FFFFFFu) << "opened on the colour";
    EXPECT_EQ(window.GetColor(), RGB(128, 128, 128));
    EXPECT_EQ(edit->m_crBackground, 0x00FAE6DCu);
    EXPECT_EQ(edit->m_crText, RGB(128, 128, 128));
    const QImage light = popuptest::Grab(edit);
    EXPECT_EQ(popuptest::PixelOf(light, light.width() / 2, light.height() - 4), 0xDCE6FAu);
}

TEST(TextWindowTest, TheAlignmentCycleRestylesTheField) {
    T window;
    window.SetAlignment(2);
    ASSERT_TRUE(CreateWindow(window));
    CEditControl* edit = Edit(window);
    EXPECT_EQ(window.GetAlignment(), 2) << "the handed-in alignment survives the building";
    EXPECT_EQ(edit->m_dwStyle & (ES_CENTER | ES_RIGHT), ES_RIGHT) << "right aligned at once";
    EXPECT_EQ(dynamic_cast<CCycleButtonControl*>(window.FindControl(T::kAlignmentId))->m_nCurrent,
              2);
    QPlainTextEdit* editor = edit->GetMultiLineEditor();
    EXPECT_TRUE(editor->document()->defaultTextOption().alignment() & Qt::AlignRight);

    StepAlignment(window);
    EXPECT_EQ(window.GetAlignment(), 0) << "past the last item: back to the first";
    EXPECT_EQ(edit->m_dwStyle & (ES_CENTER | ES_RIGHT), 0u);
    StepAlignment(window);
    EXPECT_EQ(window.GetAlignment(), 1);
    EXPECT_EQ(edit->m_dwStyle & (ES_CENTER | ES_RIGHT), ES_CENTER);
    EXPECT_TRUE(editor->document()->defaultTextOption().alignment() & Qt::AlignHCenter);
}

TEST(TextWindowTest, OkHandsBackTheTypedTextAndEnterStartsALine) {
    T window;
    window.SetText("old");
    ASSERT_TRUE(CreateWindow(window));
    QPlainTextEdit* editor = Edit(window)->GetMultiLineEditor();
    const int result = RunWith(window, [&] {
        editor->setFocus();
        editor->selectAll();
        QTest::keyClicks(editor, "Line one");
        QTest::keyClick(editor, Qt::Key_Return);
        EXPECT_TRUE(window.IsRunning()) << "Enter does not accept the window";
        QTest::keyClicks(editor, "two");
        ClickCentre(WidgetOf(window, T::kOkId));
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(window.GetResult(), 1);
    EXPECT_EQ(window.GetText(), "Line one\r\ntwo");
}

TEST(TextWindowTest, CancelLeavesTheOpenersValuesAsTheyWere) {
    platform::ScopedScriptedServices services;
    T window;
    const LOGFONTA font = BoldItalicDejaVu();
    window.SetText("keep me");
    window.SetFontDescription(font);
    window.SetColor(RGB(10, 20, 30));
    window.SetAlignment(1);
    ASSERT_TRUE(CreateWindow(window));
    QPlainTextEdit* editor = Edit(window)->GetMultiLineEditor();
    services.fontAnswers.push_back(platform::FontAnswer::Cancel());
    const int result = RunWith(window, [&] {
        QTest::keyClicks(editor, " typed");
        ClickCentre(WidgetOf(window, T::kTypefaceId));
        ClickCentre(WidgetOf(window, T::kCancelId));
    });
    EXPECT_EQ(result, 0);
    EXPECT_NE(window.GetText(), "keep me") << "the window saw the typing";
    EXPECT_TRUE(SameFont(window.GetFontDescription(), font)) << "a cancelled chooser";
    EXPECT_EQ(window.GetColor(), RGB(10, 20, 30));
    EXPECT_EQ(window.GetAlignment(), 1);
    ASSERT_EQ(services.fontDialogs.size(), 1u);
}

TEST(TextWindowTest, TheTypefaceButtonOpensTheChooserOnTheDescription) {
    platform::ScopedScriptedServices services;
    T window;
    const LOGFONTA font = BoldItalicDejaVu();
    window.SetFontDescription(font);
    ASSERT_TRUE(CreateWindow(window));
    EXPECT_TRUE(window.m_bFontCreated);
    QPlainTextEdit* editor = Edit(window)->GetMultiLineEditor();
    EXPECT_EQ(editor->font().family(), "DejaVu Sans");
    EXPECT_EQ(editor->font().pixelSize(), 24);
    EXPECT_TRUE(editor->font().italic());
    EXPECT_EQ(editor->font().weight(), QFont::Bold);

    LOGFONTA serif{};
    serif.lfHeight = -12;
    serif.lfWeight = FW_NORMAL;
    platform::SetFaceName(serif, "DejaVu Serif");
    services.fontAnswers.push_back(platform::FontAnswer::KeepShown());
    services.fontAnswers.push_back(platform::FontAnswer::Choose(serif));
    ClickCentre(WidgetOf(window, T::kTypefaceId));
    ASSERT_EQ(services.fontDialogs.size(), 1u);
    EXPECT_EQ(services.fontDialogs[0].owner, &window);
    EXPECT_EQ(services.fontDialogs[0].flags, 0x1041u);
    EXPECT_TRUE(SameFont(services.fontDialogs[0].font, font));
    EXPECT_TRUE(SameFont(window.GetFontDescription(), font));

    ClickCentre(WidgetOf(window, T::kTypefaceId));
    EXPECT_TRUE(SameFont(window.GetFontDescription(), serif));
    EXPECT_EQ(editor->font().family(), "DejaVu Serif");
    EXPECT_EQ(editor->font().pixelSize(), 12);
    EXPECT_FALSE(editor->font().italic());
}

namespace {

// The real font chooser behind otherwise scripted services; the user
// accepts it as it opened.
class RealFontChooser : public platform::ScriptedServices {
public:
    RealFontChooser() : m_previous(platform::SetServices(this)) {}
    ~RealFontChooser() override { platform::SetServices(m_previous); }
    bool FontDialog(QWidget* owner, LOGFONTA* font, DWORD flags) override {
        ++opened;
        QTimer accept;
        QObject::connect(&accept, &QTimer::timeout, [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* dialog = qobject_cast<QFontDialog*>(w); dialog && dialog->isVisible())
                    dialog->accept();
        });
        accept.start(20);
        return platform::QtDialogs().FontDialog(owner, font, flags);
    }
    int opened = 0;

private:
    platform::UserServices* m_previous;
};

} // namespace

TEST(TextWindowTest, AFontDescriptionSurvivesTheRealChooserUnchanged) {
    RealFontChooser services;
    T window;
    const LOGFONTA font = BoldItalicDejaVu();
    window.SetFontDescription(font);
    ASSERT_TRUE(CreateWindow(window));
    ClickCentre(WidgetOf(window, T::kTypefaceId));
    EXPECT_EQ(services.opened, 1);
    const LOGFONTA& back = window.GetFontDescription();
    EXPECT_EQ(back.lfHeight, -24);
    EXPECT_EQ(back.lfWeight, 700);
    EXPECT_EQ(back.lfItalic, 1);
    EXPECT_STREQ(back.lfFaceName, "DejaVu Sans");
    EXPECT_TRUE(SameFont(back, font)) << "every byte of the 60";
}

TEST(TextWindowTest, CentredWithTheLabelsOfTheStringServer) {
    T window;
    const char* english[] = {"Text",          "Typeface", "Left aligned", "Centered",
                             "Right aligned", "OK",       "Cancel"};
    for (int i = 0; i < 7; ++i) {
        window.Strings().Add(1029 + i, 1, std::string("nl ") + english[i]);
        window.Strings().Add(1029 + i, 3, english[i]);
    }
    window.Strings().m_nLanguage = 3;
    ASSERT_TRUE(window.CreateCentred(window.Strings()));
    const CSize screen = platform::ScreenSize();
    EXPECT_EQ(window.geometry().topLeft(), QPoint((screen.cx - 450) / 2, (screen.cy - 350) / 2));
    EXPECT_EQ(window.windowTitle().toStdString(), "Text");
    EXPECT_EQ(dynamic_cast<CButtonControl*>(window.FindControl(T::kCancelId))->GetCaption(),
              "Cancel");
    auto* cycle = dynamic_cast<CCycleButtonControl*>(window.FindControl(T::kAlignmentId));
    EXPECT_EQ(cycle->GetItem(2)->text, "Right aligned");
}
