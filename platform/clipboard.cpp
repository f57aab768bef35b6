#include "platform/clipboard.h"

#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace platform {

namespace {

QClipboard* Clipboard() {
    return QGuiApplication::instance() ? QGuiApplication::clipboard() : nullptr;
}

// Design lines never hold a zero byte; longer data is not a layer.
constexpr qsizetype kMaxLayerBytes = 16 << 20;

} // namespace

void SetClipboardLayer(const std::string& designLines, const QImage& picture) {
    QClipboard* clipboard = Clipboard();
    if (!clipboard)
        return;
    auto* data = new QMimeData();
    data->setData(kLayerClipboardFormat,
                  QByteArray(designLines.data(), qsizetype(designLines.size())));
    if (!picture.isNull())
        data->setImageData(picture);
    clipboard->setMimeData(data);
}

bool GetClipboardLayer(std::string* designLines) {
    QClipboard* clipboard = Clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    if (!data || !data->hasFormat(kLayerClipboardFormat))
        return false;
    const QByteArray bytes = data->data(kLayerClipboardFormat);
    if (bytes.size() > kMaxLayerBytes)
        return false;
    designLines->assign(bytes.constData(), size_t(bytes.size()));
    return true;
}

QImage GetClipboardImage() {
    QClipboard* clipboard = Clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    if (!data || !data->hasImage())
        return QImage();
    return qvariant_cast<QImage>(data->imageData());
}

} // namespace platform
