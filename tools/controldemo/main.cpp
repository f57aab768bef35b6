// A demo window of the control framework: one of each control, with button
// strips drawn here, so the framework can be seen working and looked at.
//
// Usage: controldemo [--screenshot out.png]

#include "controls/button.h"
#include "controls/colorbutton.h"
#include "controls/cyclebutton.h"
#include "controls/editcontrol.h"
#include "controls/layoutgroup.h"
#include "controls/progresscontrol.h"
#include "controls/slidercontrol.h"
#include "controls/wndcontrol.h"
#include "imaging/dib.h"
#include "platform/window.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

enum : int {
    kIdOpen = 10,
    kIdSave,
    kIdQuit,
    kIdToggle,
    kIdPush,
    kIdRadio,
    kIdCheck,
    kIdColour,
    kIdCycle,
    kIdSlider,
    kIdProgress,
    kIdNumber,
    kIdNotes,
    kIdGroup
};

// A button strip of four looks stacked from the top: disabled, normal,
// hover, pressed; each a rounded face with the label.
CDIB* MakeStrip(const QString& label, QColor face) {
    const int w = 120, h = 40;
    QImage strip(w, h * 4, QImage::Format_RGB32);
    strip.fill(QColor(236, 238, 242));
    QPainter p(&strip);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor looks[4] = {QColor(190, 192, 198), face, face.lighter(125), face.darker(130)};
    for (int i = 0; i < 4; ++i) {
        const QRectF r(3, i * h + 3, w - 6, h - 6);
        p.setPen(i == 2 ? QPen(QColor(255, 190, 60), 2) : Qt::NoPen);
        p.setBrush(looks[i]);
        p.drawRoundedRect(r.translated(i == 3 ? 1 : 0, i == 3 ? 1 : 0), 8, 8);
        p.setPen(i == 0 ? QColor(120, 122, 128) : Qt::white);
        QFont font("DejaVu Sans", 11, QFont::Bold);
        p.setFont(font);
        p.drawText(r.translated(i == 3 ? 1 : 0, i == 3 ? 1 : 0), Qt::AlignCenter, label);
    }
    p.end();
    auto* dib = new CDIB;
    dib->Create(w, h * 4, 24, nullptr);
    dib->BeginPixelAccess();
    for (int y = 0; y < strip.height(); ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb c = strip.pixel(x, y);
            BYTE* px = dib->PixelAddress(unsigned(x), unsigned(y));
            px[0] = BYTE(qBlue(c));
            px[1] = BYTE(qGreen(c));
            px[2] = BYTE(qRed(c));
        }
    dib->EndPixelAccess();
    return dib;
}

CDIB* MakeSwatchPicture(QColor colour) {
    auto* dib = new CDIB;
    dib->Create(48, 48, 24, nullptr);
    dib->BeginPixelAccess();
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x) {
            const bool ring = std::abs(x - 24) + std::abs(y - 24) < 20;
            const QColor c = ring ? colour : QColor(250, 250, 250);
            BYTE* px = dib->PixelAddress(unsigned(x), unsigned(y));
            px[0] = BYTE(c.blue());
            px[1] = BYTE(c.green());
            px[2] = BYTE(c.red());
        }
    dib->EndPixelAccess();
    return dib;
}

class CControlDemo : public CPopupWindow {
public:
    BOOL CreateControls() override {
        SetBackgroundColor(RGB(236, 238, 242));
        auto add = [this](CControlBase* c) {
            AddControl(c);
            return c;
        };
        // A row of strip buttons placed by a layout group.
        const CRect rowRect(20, 20, 420, 70);
        auto* group = new CLayoutGroup(this, this, kIdGroup, &rowRect, 0, 10, 5);
        add(group);
        const struct {
            int id;
            const char* label;
            QColor face;
        } buttons[] = {{kIdOpen, "Openen", QColor(52, 120, 220)},
                       {kIdSave, "Bewaren", QColor(40, 150, 110)},
                       {kIdQuit, "Afsluiten", QColor(220, 80, 60)}};
        for (const auto& b : buttons) {
            const CRect r(0, 0, 120, 40);
            auto* button = new CButtonControl(this, this, b.id, &r, "", 0, 0);
            add(button);
            button->SetBitmap(MakeStrip(b.label, b.face));
            group->AddMember(button);
        }
        const CRect toggleRect(440, 25, 560, 65);
        auto* toggle = new CButtonControl(this, this, kIdToggle, &toggleRect, "", BTN_TOGGLE, 0);
        add(toggle);
        toggle->SetBitmap(MakeStrip("Spiegelen", QColor(130, 90, 200)));
        // Text buttons drawn by the style.
        const CRect pushRect(20, 90, 140, 120), radioRect(160, 90, 280, 120),
            checkRect(300, 90, 470, 120);
        add(new CButtonControl(this, this, kIdPush, &pushRect, "Afdrukken", 0, BS_PUSHBUTTON));
        add(new CButtonControl(this, this, kIdRadio, &radioRect, "T-shirt", 0, BS_AUTORADIOBUTTON));
        add(new CButtonControl(this, this, kIdCheck, &checkRect, "Bewaar verhoudingen", 0,
                               BS_AUTOCHECKBOX));
        const CRect colourRect(490, 85, 550, 125);
        add(new CColorButtonControl(this, this, kIdColour, &colourRect, RGB(255, 160, 150), 0, 0));
        // A cycle button with text and picture items.
        const CRect cycleRect(20, 140, 280, 200);
        auto* cycle = new CCycleButtonControl(this, this, kIdCycle, &cycleRect, 0, 0);
        add(cycle);
        cycle->AddTextItem("Naar voorgrond", nullptr, 0, 0, kPlaceEnd, 0);
        cycle->AddTextItem("Naar achtergrond", nullptr, 0, 0, kPlaceEnd, 0);
        cycle->AddPictureItem(MakeSwatchPicture(QColor(230, 90, 60)), 48, 48, kPlaceEnd, 0);
        cycle->AddPictureItem(MakeSwatchPicture(QColor(60, 140, 230)), 48, 48, kPlaceEnd, 0);
        cycle->SetCurrent(2);
        // A slider driving a progress bar, and two edit fields.
        const CRect sliderRect(300, 150, 560, 190), progressRect(300, 200, 560, 220);
        auto* slider =
            new CSliderControl(this, this, kIdSlider, &sliderRect, 0, WS_CHILD | WS_VISIBLE);
        add(slider);
        slider->SetRange(0, 255);
        slider->SetPos(180);
        auto* progress =
            new CProgressControl(this, this, kIdProgress, &progressRect, 0, WS_CHILD | WS_VISIBLE);
        add(progress);
        progress->SetRange(0, 255);
        progress->SetPos(180);
        const CRect numberRect(20, 230, 140, 256), notesRect(160, 230, 560, 320);
        add(new CEditControl(this, this, kIdNumber, &numberRect, "42", EDIT_NUMERIC,
                             WS_CHILD | WS_VISIBLE | WS_BORDER | ES_RIGHT));
        add(new CEditControl(this, this, kIdNotes, &notesRect,
                             "Ontwerp voor de zomer\r\nmet bloemen en een zon", 0,
                             WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_WANTRETURN));
        return TRUE;
    }

    void OnNotify_Int(int sender, int value) override {
        if (sender == kIdSlider)
            if (auto* progress = dynamic_cast<CProgressControl*>(FindControl(kIdProgress)))
                progress->SetPos(value);
    }
    void OnNotify_Select(int sender, int value) override {
        std::printf("select %d %d\n", sender, value);
        if (sender == kIdQuit)
            close();
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const char* screenshot =
        argc == 3 && std::strcmp(argv[1], "--screenshot") == 0 ? argv[2] : nullptr;
    CControlDemo demo;
    const CSize screen = platform::ScreenSize();
    if (!demo.Create((screen.cx - 580) / 2, (screen.cy - 340) / 2, 580, 340, "Morvane controls",
                     WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE)) {
        std::fprintf(stderr, "the demo window could not be made\n");
        return 1;
    }
    if (screenshot) {
        QTimer::singleShot(300, [&]() {
            // Hover the open button so one hover look shows.
            demo.SetActiveControl(demo.FindControl(kIdOpen));
            QApplication::processEvents();
            demo.grab().save(QString::fromLocal8Bit(screenshot));
            QApplication::quit();
        });
    }
    return app.exec();
}
