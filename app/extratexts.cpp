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
     {"Donkere stof (niet gespiegeld)", "Tissu foncé (non inversé)", "Dark fabric (not mirrored)",
      "Dunkler Stoff (nicht gespiegelt)"}},
    // page print window: marks at the corners of every copy
    {kTextCutMarks, {"Snijtekens", "Traits de coupe", "Cut marks", "Schnittmarken"}},
    // printing: the pixel budget lowered the resolution of a copy
    {kTextCopyResolutionReduced,
     {"De afdruk wordt gemaakt met %d dpi: scherper zou meer dan 80 miljoen beeldpunten per "
      "exemplaar vragen.",
      "L'impression est faite à %d ppp : plus net demanderait plus de 80 millions de pixels "
      "par exemplaire.",
      "The print is made at %d dpi: a sharper one would take more than 80 million pixels per "
      "copy.",
      "Der Druck erfolgt mit %d dpi: schärfer bräuchte mehr als 80 Millionen Pixel pro "
      "Exemplar."}},
    // saving a PNG for a print shop: the window's title
    {kTextExportTitle,
     {"Afbeelding voor de drukker", "Image pour l'impression", "Picture for printing",
      "Bild für den Druck"}},
    {kTextExportWidth, {"Breedte (cm)", "Largeur (cm)", "Width (cm)", "Breite (cm)"}},
    {kTextExportResolution,
     {"Resolutie (dpi)", "Résolution (ppp)", "Resolution (dpi)", "Auflösung (dpi)"}},
    {kTextExportTransparent,
     {"Transparante achtergrond", "Fond transparent", "Transparent background",
      "Transparenter Hintergrund"}},
    {kTextExportPixels,
     {"%d x %d beeldpunten", "%d x %d pixels", "%d x %d pixels", "%d x %d Pixel"}},
    {kTextOk, {"OK", "OK", "OK", "OK"}},
    {kTextCancel, {"Annuleren", "Annuler", "Cancel", "Abbrechen"}},
    // menu bar: the Edit menu
    {kTextEditMenu, {"Be&werken", "&Edition", "&Edit", "&Bearbeiten"}},
    // Edit menu: take the last change back, and do it again
    {kTextUndo, {"&Ongedaan maken", "&Annuler", "&Undo", "&Rückgängig"}},
    {kTextRedo, {"Opnieu&w", "&Rétablir", "&Redo", "&Wiederholen"}},
    // Edit menu: the selected layer to the clipboard, and back as a new layer
    {kTextCopy, {"&Kopiëren", "&Copier", "&Copy", "&Kopieren"}},
    {kTextPaste, {"&Plakken", "C&oller", "&Paste", "&Einfügen"}},
    // Edit menu and layer menu: a copy of the selected layer beside it
    {kTextDuplicate, {"&Dupliceren", "&Dupliquer", "&Duplicate", "&Duplizieren"}},
    // Edit menu and layer menu: a quarter turn of the selected layer
    {kTextRotateLeft,
     {"90° naar &links draaien", "Pivoter à &gauche", "Rotate 90° &left", "90° nach &links"}},
    {kTextRotateRight,
     {"90° naar &rechts draaien", "Pivoter à &droite", "Rotate 90° &right", "90° nach &rechts"}},
    // File menu: the designs opened last
    {kTextRecentFiles,
     {"&Recente bestanden", "Fichiers &récents", "Recent &files", "&Zuletzt geöffnet"}},
    {kTextNoRecentFiles, {"(geen)", "(aucun)", "(none)", "(keine)"}},
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
