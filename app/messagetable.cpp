#include "app/messagetable.h"

#include "controls/stringserver.h"

const MessageTableRow kMessageTable[kMessageTableRows] = {
    // quit question
    {1000, {"Het programma verlaten?", "Quitter le logiciel?", "Really quit?", "Beenden?"}},
    // skin of the quit button
    {1001, {"res\\kv\\inquit", "res\\ifquit", "res\\iequit", "res\\igquit"}},
    // skin of the load button
    {1002, {"res\\kv\\inload", "res\\ifload", "res\\ieload", "res\\igload"}},
    // skin of the save button
    {1003, {"res\\kv\\insave", "res\\ifsave", "res\\iesave", "res\\igsave"}},
    // skin of the print button
    {1004, {"res\\kv\\inprint", "res\\ifprint", "res\\ieprint", "res\\igprint"}},
    // skin of the print preview button
    {1005, {"res\\kv\\inpprev", "res\\ifpprev", "res\\iepprev", "res\\igpprev"}},
    // skin of the add-text button
    {1006, {"res\\kv\\intxtadd", "res\\iftxtadd", "res\\ietxtadd", "res\\igtxtadd"}},
    // skin of the edit-text button
    {1007, {"res\\kv\\intxted", "res\\iftxted", "res\\ietxted", "res\\igtxted"}},
    // save failure
    {1008,
     {"Fout: kon de file niet wegschrijven", "Erreur: Le fichier n'est pas sauvegardé",
      "Error: Could not save the file", "Fehler: Konnte datei nicht speichern"}},
    // load failure
    {1009,
     {"Fout: kon de file niet inladen", "Erreur: Impossible de lire le fichier",
      "Error: Could not read the file", "Fehler: Konnte datei nicht öffnen"}},
    // delete-layer question
    {1010,
     {"Het item van de tekening verwijderen?", "Enlever du dessin?",
      "Remove the item from the drawing?", "Das Item von der Zeichnung löschen?"}},
    // clear-drawing question
    {1011,
     {"De tekening wissen?", "Effacer le dessin?", "Clear the drawing?", "Die Zeichnung löschen?"}},
    // no operation
    {1012,
     {"Klik op OK om de tekst te aanvaarden.", "Cliquez OK pour accepter le texte.",
      "Click OK to accept the text.", "Wahlen Sie OK zum acceptieren"}},
    // page window title
    {1013,
     {"Kies hoe u de pagina wil afdrukken", "Veuillez choisir le type de page",
      "Please select the page setup", "Wahlen Sie der richtige Layout"}},
    // keep-aspect label
    {1014,
     {"Bewaar verhoudingen", "Conserver proportions", "Keep aspect", "Verhaltungen behalten"}},
    // no operation
    {1015,
     {"Bestand bestaat al.. overschrijven?", "Le fichier existe déjà.. sauver?",
      "File already exists.. overwrite?", "Die Zeichnung is schon da.. speichern?"}},
    // missing picture during load
    {1016,
     {"Kan het bestand niet vinden..\nsteek de CD-ROM in de drive of zoek manueel naar:\n",
      "Pouvait pas trouver le fichier..\nmettez le CD-ROM ou cherchez manuellement pour:\n",
      "Could not read file..\nplease insert CD-ROM or search manually for:\n",
      "Die Zeichnung ist nicht da..\nlegen Sie den CD-ROM ein oder suche selbst:\n"}},
    // content request at start
    {1017,
     {"Steek de CD-ROM in de drive om met clipart te werken\n",
      "Mettez le CD-ROM pour utiliser le clip art\n", "Please insert CD-ROM to use the clip art\n",
      "Legen Sie den CD-ROM ein (clip art)\n"}},
    // help document
    {1018, {"res\\dhelp.pdf", "res\\fhelp.pdf", "res\\ehelp.pdf", "res\\ghelp.pdf"}},
    // help failure
    {1019,
     {"Kon het help-bestand niet openen.  Installeer de help-lezer van de CD-ROM.",
      "Pouvait pas ouvrir le fichier help.  Installez le reader du CD-ROM.",
      "Could not open helpfile... please install helpfile reader from CD-ROM.",
      "Konnte der Help-file nicht öffnen.  Installieren Sie den Reader vom CD-ROM."}},
    // no operation
    {1020, {"res\\iewiz", "res\\iewiz", "res\\iewiz", "res\\iewiz"}},
    // wizard title
    {1021,
     {"Kies een T-shirt", "Choisissez une carte", "Pick a card template",
      "Wahlen Sie bitte eine Karte"}},
    // wizard template folder 1
    {1022,
     {"res\\Tmplts\\Kavelos", "res\\Tmplts\\WishCrds", "res\\Tmplts\\WishCrds",
      "res\\Tmplts\\WishCrds"}},
    // wizard template folder 2
    {1023,
     {"res\\Tmplts\\Awards", "res\\Tmplts\\Awards", "res\\Tmplts\\Awards", "res\\Tmplts\\Awards"}},
    // wizard template folder 3
    {1024,
     {"res\\Tmplts\\Menus", "res\\Tmplts\\Menus", "res\\Tmplts\\Menus", "res\\Tmplts\\Menus"}},
    // wizard template folder 4
    {1025,
     {"res\\Tmplts\\BsnsCrds", "res\\Tmplts\\BsnsCrds", "res\\Tmplts\\BsnsCrds",
      "res\\Tmplts\\BsnsCrds"}},
    // wizard template folder 5
    {1026,
     {"res\\Tmplts\\Invts", "res\\Tmplts\\Invts", "res\\Tmplts\\Invts", "res\\Tmplts\\Invts"}},
    // wizard check box at start
    {1027,
     {"Toon dit venster de volgende keer", "Présenter ce fenêtre la prochaine fois",
      "Show this window next time", "Window den nächsten mal zeigen"}},
    // wizard check box on request
    {1028,
     {"Toon dit venster bij de start", "Présenter ce fenêtre au début",
      "Show this window at program start", "Window am Anfang des Programms zeigen"}},
    // text window title
    {1029, {"Tekst", "Texte", "Text", "Tekst"}},
    // text window typeface button
    {1030, {"Lettertype", "Police", "Typeface", "Schriftart"}},
    // text window alignment, left
    {1031, {"Links aan de rand", "A gauche", "Left aligned", "Links aligniert"}},
    // text window alignment, centred
    {1032, {"Gecentreerd", "Centré", "Centered", "Zentriert"}},
    // text window alignment, right
    {1033, {"Rechts aan de rand", "A droite", "Right aligned", "Rechts aligniert"}},
    // text window OK
    {1034, {"OK", "OK", "OK", "OK"}},
    // text window Cancel
    {1035, {"Annuleren", "Annuler", "Cancel", "Abbrechen"}},
    // layer menu: to front
    {1036, {"Naar voorgrond", "Au premier plan", "To foreground", "Nach Vorgrund"}},
    // layer menu: to back
    {1037, {"Naar achtergrond", "Au fond", "To background", "Nach Hintergrund"}},
    // layer menu: one up
    {1038, {"Naar voor", "En avant", "Move up", "Nach Oben"}},
    // layer menu: one down
    {1039, {"Naar achter", "En arrière", "Move down", "Nach Unten"}},
    // layer menu: delete
    {1040, {"Verwijderen", "Enlever", "Delete", "Löschen"}},
    // layer menu: centre horizontally
    {1041,
     {"Horizontaal centreren", "Centrer horizontallement", "Center horizontally",
      "horizontal zentrieren"}},
    // layer menu: centre vertically
    {1042,
     {"Verticaal centreren", "Centrer verticallement", "Center vertically", "vertikal zentrieren"}},
    // layer menu: fit to page
    {1043, {"Paginagroot", "Adapter à la page", "Fit to page", "Zur Seite passen"}},
};

bool RegisterMessageTable(CStringServer& server) {
    for (const auto& row : kMessageTable)
        for (int language = 0; language < kMessageTableLanguages; ++language)
            if (!server.Add(row.id, language + 1, row.texts[language]))
                return false;
    return true;
}
