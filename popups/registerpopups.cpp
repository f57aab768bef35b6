#include "popups/registerpopups.h"

#include "controls/controlmanager.h"
#include "layers/layerchannel.h"
#include "popups/aboutbox.h"
#include "popups/dragicon.h"
#include "popups/progresspopup.h"

#include <memory>

namespace {

std::unique_ptr<CSplashPopup> MakeSplash() {
    auto box = std::make_unique<CAboutBox>();
    if (!box->CreateCentred())
        return nullptr;
    return box;
}

std::unique_ptr<CDragIconPopup> MakeDragIcon(CDIB* image, POINT screenPoint) {
    auto icon = std::make_unique<CDragNDropIcon>();
    if (!icon->CreateAt(screenPoint, image))
        return nullptr;
    return icon;
}

std::unique_ptr<CProgressReceiver> MakeTextProgress(const std::string& caption) {
    auto popup = std::make_unique<CProgressPopUpWindow>();
    if (!popup->CreateCentred(caption))
        return nullptr;
    return popup;
}

} // namespace

void RegisterFrameworkPopups() {
    SetManagerPopupFactories({MakeSplash, MakeDragIcon});
    SetTextProgressFactory(MakeTextProgress);
}
