#include "app/extratexts.h"

#include "app/messagetable.h"
#include "controls/stringserver.h"

#include <iterator>

const MessageTableRow kExtraTexts[] = {
    // page print window: transfer paper for light fabric, printed mirrored
    {kTextLightFabric,
     {"Lichte stof (gespiegeld)", "Tissu clair (inversé)", "Light fabric (mirrored)",
      "Heller Stoff (gespiegelt)"}},
    // page print window: transfer paper for dark fabric, printed as shown
    {kTextDarkFabric,
     {"Donkere stof (niet gespiegeld)", "Tissu foncé (non inversé)",
      "Dark fabric (not mirrored)", "Dunkler Stoff (nicht gespiegelt)"}},
    // page print window: marks at the corners of every copy
    {kTextCutMarks, {"Snijtekens", "Traits de coupe", "Cut marks", "Schnittmarken"}},
    // opening a picture beyond the 100-megapixel limit of the decoders
    {kTextPictureTooLarge,
     {"De afbeelding %s is te groot om te openen: %lld x %lld pixels (hoogstens 100 miljoen "
      "pixels).",
      "L'image %s est trop grande pour être ouverte : %lld x %lld pixels (100 millions de "
      "pixels au plus).",
      "The picture %s is too large to open: %lld x %lld pixels (at most 100 million pixels).",
      "Das Bild %s ist zu groß zum Öffnen: %lld x %lld Pixel (höchstens 100 Millionen Pixel)."}},
};

const int kExtraTextRows = static_cast<int>(std::size(kExtraTexts));

bool RegisterExtraTexts(CStringServer& server) {
    for (const auto& row : kExtraTexts)
        for (int language = 0; language < kMessageTableLanguages; ++language)
            if (!server.Add(row.id, language + 1, row.texts[language]))
                return false;
    return true;
}
