#include "controls/editcontrol.h"
#include "controls/slidercontrol.h"
#include "platform/window.h"
#include "testsupport.h"
#include "valuehost.h"

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

#include <climits>

using valuetests::Log;
using valuetests::LoggingHost;

namespace {

constexpr DWORD kVisible = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
// The text window's field and the page window's number fields and labels.
constexpr DWORD kTextStyle = 0x508110C4;
constexpr DWORD kNumberFlags = 0x508100C0;
constexpr DWORD kLabelStyle = 0x500108C1;

CEditControl* MakeEdit(LoggingHost& host, int id, const char* text, DWORD flags, DWORD style,
                       CRect rect = CRect(10, 10, 310, 40)) {
    return host.Add(new CEditControl(&host, &host.m_widget, id, &rect, text, flags, style));
}

void Type(QWidget* editor, Qt::Key key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(editor, &press);
}

// Leftmost and rightmost columns inside the border holding a dark pixel
// (the black text), or -1 when there is none.
std::pair<int, int> InkColumns(const QImage& image) {
    int first = -1, last = -1;
    for (int x = 2; x < image.width() - 2; ++x)
        for (int y = 2; y < image.height() - 2; ++y)
            if (qGray(image.pixel(x, y)) < 80) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
    return {first, last};
}

} // namespace

TEST(EditControl, ConstructionPicksTheEditorAndKeepsQuiet) {
    LoggingHost host;
    CEditControl* text = MakeEdit(host, 65465445, "two\r\nlines", 0, kTextStyle);
    ASSERT_NE(text->GetMultiLineEditor(), nullptr);
    EXPECT_EQ(text->GetSingleLineEditor(), nullptr);
    EXPECT_EQ(text->GetMultiLineEditor()->toPlainText(), "two\nlines");
    EXPECT_EQ(text->GetWindowText(), "two\r\nlines");
    EXPECT_EQ(text->m_dwStyle, kTextStyle);
    EXPECT_EQ(text->m_crText, 0x000000u);
    EXPECT_EQ(text->m_crBackground, 0xBFBFBFu);
    EXPECT_TRUE(text->m_dwFlags & CTRL_OWN_BRUSH);
    EXPECT_EQ(text->m_pWnd, text);
    EXPECT_EQ(platform::GetDlgCtrlID(text), 65465445);
    EXPECT_EQ(text->geometry(), QRect(10, 10, 300, 30));
    EXPECT_EQ(text->GetEditor()->geometry(), QRect(1, 1, 298, 28)) << "inside the border";

    // A numeric field loses ES_MULTILINE.
    CEditControl* number = MakeEdit(host, 1654657, "10", kNumberFlags, kTextStyle);
    EXPECT_EQ(number->m_dwStyle, kTextStyle & ~ES_MULTILINE);
    ASSERT_NE(number->GetSingleLineEditor(), nullptr);
    EXPECT_EQ(number->GetMultiLineEditor(), nullptr);
    EXPECT_EQ(number->m_dwFlags, kNumberFlags | CTRL_OWN_BRUSH);
    EXPECT_EQ(number->GetIntValue(), 10);

    CEditControl* label = MakeEdit(host, 564654, nullptr, 0, kLabelStyle);
    ASSERT_NE(label->GetSingleLineEditor(), nullptr);
    EXPECT_TRUE(label->GetSingleLineEditor()->isReadOnly());
    EXPECT_EQ(label->GetWindowText(), "");
    EXPECT_EQ(label->GetEditor()->geometry(), QRect(0, 0, 300, 30)) << "no border";

    EXPECT_TRUE(host.log.empty()) << "building a field notifies nothing";
}

TEST(EditControl, EveryTextChangeNotifiesIntDoubleSelect) {
    LoggingHost host;
    CEditControl* edit = MakeEdit(host, 77, "", 0, kVisible);
    edit->GetSingleLineEditor()->setText("hello");
    EXPECT_EQ(host.log, (Log{"int 77 5", "double 77 5.000000", "select 77 0"}));

    host.log.clear();
    Type(edit->GetSingleLineEditor(), Qt::Key_X, "x");
    EXPECT_EQ(edit->GetWindowText(), "hellox");
    EXPECT_EQ(host.log, (Log{"int 77 6", "double 77 6.000000", "select 77 0"}));

    host.log.clear();
    edit->SetWindowText("hellox"); // the same text still notifies once
    edit->SetWindowText("hi");
    EXPECT_EQ(host.log, (Log{"int 77 6", "double 77 6.000000", "select 77 0", "int 77 2",
                             "double 77 2.000000", "select 77 0"}));

    // A multi-line field the same way.
    host.log.clear();
    CEditControl* text = MakeEdit(host, 78, "", 0, kTextStyle);
    text->GetMultiLineEditor()->setPlainText("ab\ncd");
    EXPECT_EQ(host.log, (Log{"int 78 6", "double 78 6.000000", "select 78 0"}))
        << "a line break counts as carriage return and line feed";
}

TEST(EditControl, FireAnswersTheIntNotificationsResult) {
    LoggingHost host;
    CEditControl* edit = MakeEdit(host, 5, "abc", 0, kVisible);
    EXPECT_EQ(edit->Fire(0), TRUE);
    EXPECT_EQ(host.log.size(), 3u);
    const CRect rect(0, 0, 50, 20);
    CEditControl orphan(nullptr, nullptr, 6, &rect, "abc", 0, kVisible);
    EXPECT_EQ(orphan.Fire(0), 0) << "without a manager nothing is delivered";
}

TEST(EditControl, NumericFieldParsesItsText) {
    LoggingHost host;
    CEditControl* edit = MakeEdit(host, 9, "12abc", EDIT_NUMERIC, kVisible);
    EXPECT_EQ(edit->GetIntValue(), 12);
    EXPECT_EQ(edit->GetDoubleValue(), 12.0);

    edit->SetWindowText("");
    EXPECT_EQ(edit->GetIntValue(), -1);
    EXPECT_EQ(edit->GetDoubleValue(), -1.0);

    edit->SetWindowText("  -7.75xyz");
    EXPECT_EQ(edit->GetIntValue(), -7);
    EXPECT_EQ(edit->GetDoubleValue(), -7.75);

    edit->SetWindowText("3,5");
    EXPECT_EQ(edit->GetDoubleValue(), 3.0) << "the point is the only decimal separator";

    edit->SetWindowText("abc");
    EXPECT_EQ(edit->GetIntValue(), 0);
    EXPECT_EQ(edit->GetDoubleValue(), 0.0);

    edit->SetWindowText("99999999999");
    EXPECT_EQ(edit->GetIntValue(), INT_MAX) << "held at the end, not wrapped";
    edit->SetWindowText("-99999999999");
    EXPECT_EQ(edit->GetIntValue(), INT_MIN);

    // Only the first 499 bytes are read.
    edit->SetWindowText(std::string(498, ' ') + "12");
    EXPECT_EQ(edit->GetIntValue(), 1);
    EXPECT_EQ(edit->GetDoubleValue(), 1.0);

    // Typing reaches the manager with the parsed numbers.
    edit->SetWindowText("4");
    host.log.clear();
    Type(edit->GetSingleLineEditor(), Qt::Key_2, "2");
    EXPECT_EQ(host.log, (Log{"int 9 42", "double 9 42.000000", "select 9 0"}));
}

TEST(EditControl, OtherFieldsReportTheirLength) {
    LoggingHost host;
    CEditControl* edit = MakeEdit(host, 3, "hello", 0, kVisible);
    EXPECT_EQ(edit->GetIntValue(), 5);
    EXPECT_EQ(edit->GetDoubleValue(), 5.0);
    edit->SetWindowText("caf\xC3\xA9");
    EXPECT_EQ(edit->GetIntValue(), 4) << "characters, not bytes";
    edit->SetWindowText("");
    EXPECT_EQ(edit->GetIntValue(), 0);

    CEditControl* text = MakeEdit(host, 4, "ab\r\ncd\r\n", 0, kTextStyle);
    EXPECT_EQ(text->GetIntValue(), 8);
    EXPECT_EQ(text->GetWindowText(), "ab\r\ncd\r\n");
}

TEST(EditControl, SetIntValueWritesTheNumberOnce) {
    LoggingHost host;
    CEditControl* edit = MakeEdit(host, 1654657, "10", kNumberFlags, kTextStyle);
    edit->SetIntValue(10);
    EXPECT_TRUE(host.log.empty());
    edit->SetIntValue(-25);
    EXPECT_EQ(edit->GetWindowText(), "-25");
    EXPECT_EQ(host.log, (Log{"int 1654657 -25", "double 1654657 -25.000000", "select 1654657 0"}));

    // A field that is not numeric compares with its length.
    host.log.clear();
    CEditControl* plain = MakeEdit(host, 2, "abc", 0, kVisible);
    plain->SetIntValue(3);
    EXPECT_EQ(plain->GetWindowText(), "abc");
    plain->SetIntValue(7);
    EXPECT_EQ(plain->GetWindowText(), "7");
    EXPECT_EQ(host.log, (Log{"int 2 1", "double 2 1.000000", "select 2 0"}));
}

TEST(EditControl, SetDoubleValueWithinTheToleranceChangesNothing) {
    LoggingHost host;
    CEditControl* edit = MakeEdit(host, 8, "1.000000", EDIT_NUMERIC, kVisible);
    edit->SetDoubleValue(1.000004);
    EXPECT_EQ(edit->GetWindowText(), "1.000000");
    EXPECT_TRUE(host.log.empty());

    edit->SetWindowText("0");
    host.log.clear();
    edit->SetDoubleValue(0.00001); // exactly the tolerance: both ends included
    edit->SetDoubleValue(-0.00001);
    EXPECT_EQ(edit->GetWindowText(), "0");
    EXPECT_TRUE(host.log.empty());

    edit->SetDoubleValue(0.0000101);
    EXPECT_EQ(edit->GetWindowText(), "0.000010");
    edit->SetDoubleValue(2.5);
    EXPECT_EQ(edit->GetWindowText(), "2.500000");
    edit->SetDoubleValue(-1234.56789);
    EXPECT_EQ(edit->GetWindowText(), "-1234.567890");
    EXPECT_EQ(host.log,
              (Log{"int 8 0", "double 8 0.000010", "select 8 0", "int 8 2", "double 8 2.500000",
                   "select 8 0", "int 8 -1234", "double 8 -1234.567890", "select 8 0"}));
}

TEST(EditControl, AlignmentFollowsTheStyle) {
    LoggingHost host; // painting is still off, as while a popup builds
    host.m_widget.show();
    CEditControl* text = MakeEdit(host, 65465445, "hello", 0, kTextStyle);
    CEditControl* line = MakeEdit(host, 11, "hello", 0, kVisible, CRect(10, 60, 310, 90));
    const auto alignment = [&] {
        return text->GetMultiLineEditor()->document()->defaultTextOption().alignment();
    };
    const auto ink = [](CEditControl* edit) { return InkColumns(edit->grab().toImage()); };

    const auto expectLeft = [&](CEditControl* edit) {
        const int first = ink(edit).first;
        EXPECT_TRUE(first >= 2 && first < 20) << "left-aligned ink starts at " << first;
    };
    EXPECT_EQ(alignment(), Qt::AlignLeft);
    expectLeft(text);
    expectLeft(line);

    // The text window's alignment cycle: centred, right, left.
    text->ModifyStyle(ES_RIGHT, ES_CENTER, 0);
    line->ModifyStyle(ES_RIGHT, ES_CENTER, 0);
    EXPECT_EQ(alignment(), Qt::AlignHCenter);
    EXPECT_EQ(line->GetSingleLineEditor()->alignment(), Qt::AlignHCenter | Qt::AlignTop);
    for (CEditControl* edit : {text, line}) {
        const auto [first, last] = ink(edit);
        EXPECT_NEAR(first + last, 300, 12) << "centred ink from " << first << " to " << last;
    }

    text->ModifyStyle(ES_CENTER, ES_RIGHT, 0);
    line->ModifyStyle(ES_CENTER, ES_RIGHT, 0);
    EXPECT_EQ(alignment(), Qt::AlignRight);
    EXPECT_GT(ink(text).second, 280);
    EXPECT_GT(ink(line).second, 280);
    EXPECT_GT(ink(text).first, 200);

    text->ModifyStyle(ES_CENTER | ES_RIGHT, 0, 0);
    EXPECT_EQ(alignment(), Qt::AlignLeft);
    expectLeft(text);
    EXPECT_EQ(text->m_dwStyle, kTextStyle);

    EXPECT_TRUE(host.log.empty()) << "a style change is not a text change";
}

TEST(EditControl, ColoursAndBorderArePainted) {
    LoggingHost host;
    host.m_widget.show();
    CEditControl* edit = MakeEdit(host, 65465445, "WWWW", 0, kTextStyle);
    QImage image = edit->grab().toImage();
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0)) << "border";
    EXPECT_EQ(image.pixel(150, 25), qRgb(0xBF, 0xBF, 0xBF)) << "background";

    // The text window's rule for white text: a dark ground.
    edit->m_crText = 0xFFFFFF;
    edit->SetBackgroundColor(0x321E14);
    edit->Redraw(nullptr, 0);
    const QPalette palette = edit->GetEditor()->palette();
    EXPECT_EQ(palette.color(QPalette::Text), QColor(255, 255, 255));
    EXPECT_EQ(palette.color(QPalette::Base), QColor(0x14, 0x1E, 0x32));
    image = edit->grab().toImage();
    EXPECT_EQ(image.pixel(150, 25), qRgb(0x14, 0x1E, 0x32));
    EXPECT_EQ(image.pixel(299, 29), qRgb(0, 0, 0)) << "border";
    int white = 0;
    for (int x = 0; x < 100; ++x)
        for (int y = 1; y < 29; ++y)
            white += qGray(image.pixel(x, y)) > 200;
    EXPECT_GT(white, 10) << "the text is drawn in white";

    CEditControl* label = MakeEdit(host, 564654, "x", 0, kLabelStyle, CRect(0, 100, 50, 120));
    EXPECT_EQ(label->grab().toImage().pixel(0, 0), qRgb(0xBF, 0xBF, 0xBF)) << "no border";
}

TEST(EditControl, EnterStartsANewLineOnlyWithWantReturn) {
    LoggingHost host;
    CEditControl* text = MakeEdit(host, 1, "ab", 0, kTextStyle);
    text->GetMultiLineEditor()->moveCursor(QTextCursor::End);
    Type(text->GetMultiLineEditor(), Qt::Key_Return, "\r");
    EXPECT_EQ(text->GetWindowText(), "ab\r\n");
    EXPECT_EQ(host.log, (Log{"int 1 4", "double 1 4.000000", "select 1 0"}));

    host.log.clear();
    CEditControl* plain = MakeEdit(host, 2, "ab", 0, kTextStyle & ~ES_WANTRETURN);
    plain->GetMultiLineEditor()->moveCursor(QTextCursor::End);
    Type(plain->GetMultiLineEditor(), Qt::Key_Return, "\r");
    EXPECT_EQ(plain->GetWindowText(), "ab");
    EXPECT_TRUE(host.log.empty());
}

TEST(EditControl, ReadOnlyFieldRefusesTyping) {
    LoggingHost host;
    CEditControl* label = MakeEdit(host, 564654, "Breedte (cm)", 0, kLabelStyle);
    Type(label->GetSingleLineEditor(), Qt::Key_X, "x");
    EXPECT_EQ(label->GetWindowText(), "Breedte (cm)");
    EXPECT_TRUE(host.log.empty());
    label->ModifyStyle(ES_READONLY, 0, 0);
    Type(label->GetSingleLineEditor(), Qt::Key_X, "x");
    EXPECT_EQ(label->GetWindowText(), "Breedte (cm)x");
}

TEST(EditControl, NumericFieldFollowsASliderThroughItsIntSource) {
    LoggingHost host;
    const CRect rect(0, 200, 200, 230);
    auto* slider = host.Add(new CSliderControl(&host, &host.m_widget, 40, &rect, 0, kVisible));
    CEditControl* edit = MakeEdit(host, 41, "0", EDIT_NUMERIC, kVisible);
    edit->SetIntSource(slider);
    EXPECT_TRUE(host.log.empty()) << "both were 0";
    slider->setValue(25);
    EXPECT_EQ(edit->GetWindowText(), "25");
    EXPECT_EQ(host.log, (Log{"int 40 25", "int 41 25", "double 41 25.000000", "select 41 0",
                             "double 40 0.250000"}));
}

namespace {

// Rows inside the border holding a dark pixel: the height of the ink.
int InkRows(const QImage& image) {
    int rows = 0;
    for (int y = 2; y < image.height() - 2; ++y)
        for (int x = 2; x < image.width() - 2; ++x)
            if (qGray(image.pixel(x, y)) < 80) {
                ++rows;
                break;
            }
    return rows;
}

} // namespace

TEST(EditControl, SetFontShowsTheTextInThatFontAtOnce) {
    LoggingHost host;
    host.m_widget.show();
    CEditControl* text = MakeEdit(host, 65465445, "HHHH", 0, kTextStyle, CRect(10, 10, 310, 110));
    QFont small("DejaVu Sans");
    small.setPixelSize(12);
    text->SetFont(small);
    EXPECT_EQ(text->GetEditor()->font().pixelSize(), 12);
    const int smallInk = InkRows(text->grab().toImage());

    QFont large("DejaVu Sans");
    large.setPixelSize(48);
    large.setBold(true);
    text->SetFont(large);
    const QFont shown = text->GetEditor()->font();
    EXPECT_EQ(shown.pixelSize(), 48);
    EXPECT_TRUE(shown.bold());
    EXPECT_EQ(shown.family(), "DejaVu Sans");
    const int largeInk = InkRows(text->grab().toImage());
    // Capital H of DejaVu Sans is 0.73 of the pixel size high.
    EXPECT_NEAR(smallInk, 9, 1);
    EXPECT_NEAR(largeInk, 35, 1);

    // A single-line field takes the font the same way; nothing is notified.
    CEditControl* line = MakeEdit(host, 11, "x", 0, kVisible, CRect(10, 120, 310, 150));
    line->SetFont(small, FALSE);
    EXPECT_EQ(line->GetSingleLineEditor()->font().pixelSize(), 12);
    EXPECT_EQ(text->GetWindowText(), "HHHH");
    EXPECT_TRUE(host.log.empty()) << "a font is not a text change";
}
