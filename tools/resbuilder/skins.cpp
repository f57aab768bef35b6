#include "skins.h"

#include "icons.h"
#include "layout.h"
#include "theme.h"

#include <QPainter>

#include <stdexcept>

namespace resbuilder {
namespace {

// Where a language keeps its button skins and the letter after the "i" of
// the clip-art triple naming: Dutch in the program's own folder, the other
// languages directly in res.
struct Language {
    const char* prefix;
};
constexpr Language kLanguages[4] = {{"res\\kv\\in"}, {"res\\if"}, {"res\\ie"}, {"res\\ig"}};

struct CommandButton {
    const char* key; // the stored name is the language prefix + key
    layout::Box box;
    Icon icon;
    Tone tone;
    const char* labels[4]; // Dutch, French, English, German (UTF-8)
};

const CommandButton kCommandButtons[] = {
    {"quit", layout::kQuit, Icon::Quit, Tone::Coral, {"Afsluiten", "Quitter", "Quit", "Beenden"}},
    {"load", layout::kLoad, Icon::Open, Tone::Blue, {"Openen", "Ouvrir", "Open", "Öffnen"}},
    {"save",
     layout::kSave,
     Icon::Save,
     Tone::Blue,
     {"Bewaren", "Enregistrer", "Save", "Speichern"}},
    {"print",
     layout::kPrint,
     Icon::Print,
     Tone::Teal,
     {"Afdrukken", "Imprimer", "Print", "Drucken"}},
    {"pprev",
     layout::kPreview,
     Icon::Preview,
     Tone::Teal,
     {"Voorbeeld", "Aperçu", "Preview", "Vorschau"}},
    {"txtadd",
     layout::kAddText,
     Icon::AddText,
     Tone::Violet,
     {"Tekst toevoegen", "Ajouter du texte", "Add text", "Text hinzufügen"}},
    {"txted",
     layout::kEditText,
     Icon::EditText,
     Tone::Violet,
     {"Wijzig", "Modifier", "Edit", "Ändern"}},
};

struct ToolButton {
    const char* storedName;
    layout::Box box; // where it sits, for its backdrop
    Icon icon;
};

// The strips' scroll buttons are the first and the last member of a strip.
constexpr layout::Box kFirstStripMember{
    layout::kCategoryStrip.left + layout::kStripGapX,
    layout::kCategoryStrip.top + layout::kStripGapY,
    layout::kCategoryStrip.left + layout::kStripGapX + layout::kStripMemberWidth,
    layout::kCategoryStrip.top + layout::kStripGapY + layout::kStripMemberHeight};
constexpr int kLastMemberTop =
    kFirstStripMember.top +
    (layout::kStripMembers - 1) * (layout::kStripMemberHeight + layout::kStripGapY);
constexpr layout::Box kLastStripMember{kFirstStripMember.left, kLastMemberTop,
                                       kFirstStripMember.right,
                                       kLastMemberTop + layout::kStripMemberHeight};

const ToolButton kToolButtons[] = {
    {"res\\kv\\ieup", kFirstStripMember, Icon::ChevronUp},
    {"res\\kv\\iedown", kLastStripMember, Icon::ChevronDown},
    {"res\\kv\\ielup", layout::kLayerUp, Icon::LayerUp},
    {"res\\kv\\ieldown", layout::kLayerDown, Icon::LayerDown},
    {"res\\kv\\ieldel", layout::kLayerDelete, Icon::LayerDelete},
    {"res\\kv\\iedelall", layout::kLayerDeleteAll, Icon::LayerDeleteAll},
};

// A command button: icon on the left, label beside it. The narrow edit
// button stacks a small label under its icon.
void PaintCommandFace(QPainter& p, QRectF cell, Look look, const CommandButton& b,
                      const QString& label) {
    PaintButtonFace(p, cell, b.tone, look);
    const qreal shift = look == Look::Pressed ? kPressedShift : 0;
    const QRectF face = cell.translated(shift, shift);
    const QColor ink = ContentColour(look);
    if (face.width() < 60) {
        DrawIcon(p, b.icon, QRectF(face.left() + 4, face.top() + 5, face.width() - 8, 28), ink);
        if (!DrawFittedLabel(p, QRectF(face.left() + 1, face.top() + 33, face.width() - 2, 14),
                             label, ink, Qt::AlignHCenter, 10, 7.5))
            throw std::runtime_error("label does not fit: " + label.toStdString());
        return;
    }
    const bool compact = face.width() < 130;
    const qreal iconSide = compact ? 26 : 32;
    const qreal iconLeft = compact ? 9 : 14;
    const QRectF iconBox(face.left() + iconLeft, face.center().y() - iconSide / 2 - 0.5, iconSide,
                         iconSide);
    DrawIcon(p, b.icon, iconBox, ink);
    const qreal textLeft = iconBox.right() + (compact ? 6 : 11);
    const QRectF textBox(textLeft, face.top() + 4, face.right() - 7 - textLeft, face.height() - 10);
    if (!DrawFittedLabel(p, textBox, label, ink, Qt::AlignLeft, compact ? 14 : 17, 10))
        throw std::runtime_error("label does not fit: " + label.toStdString());
}

void PaintToolFace(QPainter& p, QRectF cell, Look look, Icon icon) {
    PaintButtonFace(p, cell, Tone::Slate, look, 7);
    const qreal shift = look == Look::Pressed ? kPressedShift : 0;
    const qreal side = std::min(cell.width(), cell.height()) * 0.66;
    const QRectF box(cell.center().x() - side / 2 + shift, cell.center().y() - side / 2 + shift,
                     side, side);
    DrawIcon(p, icon, box, ContentColour(look));
}

} // namespace

QList<NamedPicture> MainViewStrips(const QImage& background) {
    QList<NamedPicture> strips;
    for (const CommandButton& b : kCommandButtons) {
        const QImage backdrop = background.copy(b.box.ToQRect());
        for (int lang = 0; lang < 4; ++lang) {
            const QString label = QString::fromUtf8(b.labels[lang]);
            const QImage strip = MakeStrip(
                QSize(b.box.Width(), b.box.Height()),
                [&](QPainter& p, QRectF cell, Look look) {
                    PaintCommandFace(p, cell, look, b, label);
                },
                &backdrop);
            strips.append({QString::fromLatin1(kLanguages[lang].prefix) + b.key, strip});
        }
    }
    for (const ToolButton& t : kToolButtons) {
        const QImage backdrop = background.copy(t.box.ToQRect());
        const QImage strip = MakeStrip(
            QSize(t.box.Width(), t.box.Height()),
            [&](QPainter& p, QRectF cell, Look look) { PaintToolFace(p, cell, look, t.icon); },
            &backdrop);
        strips.append({QString::fromLatin1(t.storedName), strip});
    }
    return strips;
}

QImage StripLook(const QImage& strip, int look) {
    const int h = strip.height() / 4;
    return strip.copy(0, look * h, strip.width(), h);
}

} // namespace resbuilder
