// The question before a PNG for printing: its fields start at the values
// handed in, the pixel size follows what is typed, OK is offered only for a
// picture that can be made, and the opener reads the answer back.

#include "popuptest.h"

#include "controls/button.h"
#include "controls/editcontrol.h"
#include "popups/exportsizewindow.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using popuptest::ClickCentre;
using popuptest::RunWith;
using W = CExportSizeWindow;

namespace {

void Create(W& window, double width) {
    window.SetTexts({"Picture for printing", "Width (cm)", "Resolution (dpi)",
                     "Transparent background", "%d x %d pixels", "OK", "Cancel"});
    // A page 0.95 times as wide as it is high.
    window.SetValues(width, 300, 1, 0.95);
    ASSERT_TRUE(window.CreateCentred());
}

std::string TextOf(W& w, int id) {
    return dynamic_cast<CEditControl*>(w.FindControl(id))->GetWindowText();
}

void Type(W& w, int id, const char* text) {
    QLineEdit* editor = dynamic_cast<CEditControl*>(w.FindControl(id))->GetSingleLineEditor();
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, text);
}

bool OkEnabled(W& w) {
    return w.FindControl(W::kOkId)->m_pWnd->isEnabled();
}

} // namespace

TEST(ExportSizeWindowTest, TypedSizesShowTheirPixelsAndOkAnswersThem) {
    EXPECT_EQ(W::PixelSize(25, 300, 0.95), CSize(2953, 3108)) << "25 / 2.54 x 300 = 2952.8";
    W window;
    Create(window, 25);
    EXPECT_EQ(TextOf(window, W::kWidthFieldId), "25");
    EXPECT_EQ(TextOf(window, W::kResolutionFieldId), "300");
    EXPECT_EQ(TextOf(window, W::kPixelsLabelId), "2953 x 3108 pixels");
    EXPECT_EQ(dynamic_cast<CButtonControl*>(window.FindControl(W::kTransparentId))->GetCheck(),
              BST_CHECKED);
    const int result = RunWith(window, [&window] {
        Type(window, W::kWidthFieldId, "12.5");
        Type(window, W::kResolutionFieldId, "600");
        EXPECT_EQ(TextOf(window, W::kPixelsLabelId), "2953 x 3108 pixels")
            << "12.5 cm at 600 dpi: the same pixels";
        Type(window, W::kResolutionFieldId, "2401");
        EXPECT_FALSE(OkEnabled(window)) << "beyond 2400 dpi";
        Type(window, W::kResolutionFieldId, "0");
        EXPECT_FALSE(OkEnabled(window));
        Type(window, W::kResolutionFieldId, "2400");
        Type(window, W::kWidthFieldId, "100");
        EXPECT_FALSE(OkEnabled(window)) << "more than 80 million pixels";
        EXPECT_EQ(TextOf(window, W::kPixelsLabelId), "-");
        Type(window, W::kWidthFieldId, "10");
        Type(window, W::kResolutionFieldId, "150");
        EXPECT_TRUE(OkEnabled(window));
        ClickCentre(window.FindControl(W::kTransparentId)->m_pWnd);
        ClickCentre(window.FindControl(W::kOkId)->m_pWnd);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(window.GetWidthCm(), 10);
    EXPECT_EQ(window.GetDpi(), 150);
    EXPECT_EQ(window.GetTransparent(), 0);
    EXPECT_EQ(window.GetPixelSize(), CSize(591, 622));

    W cancelled;
    Create(cancelled, 18);
    EXPECT_EQ(RunWith(cancelled,
                      [&cancelled] { ClickCentre(cancelled.FindControl(W::kCancelId)->m_pWnd); }),
              0);
}
