#pragma once
// The button strips of the main view: the seven command buttons in each of
// the four interface languages, the scroll buttons of the thumb strips and
// the layer tools.

#include <QImage>
#include <QList>
#include <QString>

namespace resbuilder {

struct NamedPicture {
    QString storedName; // as the program asks for it, e.g. "res\\kv\\inquit"
    QImage image;
};

// Every button strip of the main view, drawn over the parts of the main
// background that lie behind each button, so their corners blend into it.
QList<NamedPicture> MainViewStrips(const QImage& background);

// The picture of one look of a strip (0 disabled, 1 normal, 2 hover,
// 3 pressed from the top), for the help documents.
QImage StripLook(const QImage& strip, int look);

} // namespace resbuilder
