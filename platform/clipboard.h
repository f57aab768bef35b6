#pragma once
// The system clipboard: a layer of this program travels as the lines of a
// design file in a format of its own, together with its picture for other
// programs; a picture that another program put there (a screenshot, an
// image copied in a browser) is read as an image.

#include <QImage>

#include <string>

namespace platform {

// The format a copied layer's design lines travel in.
constexpr const char* kLayerClipboardFormat = "application/x-kavelo-layer";

// Replaces the clipboard's content with the layer's lines and, when it is
// not null, its picture.
void SetClipboardLayer(const std::string& designLines, const QImage& picture);
// The layer's lines when the clipboard holds a layer of this program.
bool GetClipboardLayer(std::string* designLines);
// The clipboard's picture; null when it holds none.
QImage GetClipboardImage();

} // namespace platform
