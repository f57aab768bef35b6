// The message table as the string server holds it after registration. The
// expected texts are written out here, a copy independent of the program's
// own table, so that a changed or shifted text in either shows.

#include "app/messagetable.h"
#include "controls/stringserver.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>
#include <vector>

namespace {

struct ExpectedRow {
    int id;
    const char* texts[4]; // Dutch, French, English, German
};

const ExpectedRow kExpected[] = {
    {1000, {"Het programma verlaten?", "Quitter le logiciel?", "Really quit?", "Beenden?"}},
    {1001, {"res\\kv\\inquit", "res\\ifquit", "res\\iequit", "res\\igquit"}},
    {1002, {"res\\kv\\inload", "res\\ifload", "res\\ieload", "res\\igload"}},
    {1003, {"res\\kv\\insave", "res\\ifsave", "res\\iesave", "res\\igsave"}},
    {1004, {"res\\kv\\inprint", "res\\ifprint", "res\\ieprint", "res\\igprint"}},
    {1005, {"res\\kv\\inpprev", "res\\ifpprev", "res\\iepprev", "res\\igpprev"}},
    {1006, {"res\\kv\\intxtadd", "res\\iftxtadd", "res\\ietxtadd", "res\\igtxtadd"}},
    {1007, {"res\\kv\\intxted", "res\\iftxted", "res\\ietxted", "res\\igtxted"}},
    {1008,
     {"Fout: kon de file niet wegschrijven", "Erreur: Le fichier n'est pas sauvegardé",
      "Error: Could not save the file", "Fehler: Konnte datei nicht speichern"}},
    {1009,
     {"Fout: kon de file niet inladen", "Erreur: Impossible de lire le fichier",
      "Error: Could not read the file", "Fehler: Konnte datei nicht öffnen"}},
    {1010,
     {"Het item van de tekening verwijderen?", "Enlever du dessin?",
      "Remove the item from the drawing?", "Das Item von der Zeichnung löschen?"}},
    {1011,
     {"De tekening wissen?", "Effacer le dessin?", "Clear the drawing?", "Die Zeichnung löschen?"}},
    {1012,
     {"Klik op OK om de tekst te aanvaarden.", "Cliquez OK pour accepter le texte.",
      "Click OK to accept the text.", "Wahlen Sie OK zum acceptieren"}},
    {1013,
     {"Kies hoe u de pagina wil afdrukken", "Veuillez choisir le type de page",
      "Please select the page setup", "Wahlen Sie der richtige Layout"}},
    {1014,
     {"Bewaar verhoudingen", "Conserver proportions", "Keep aspect", "Verhaltungen behalten"}},
    {1015,
     {"Bestand bestaat al.. overschrijven?", "Le fichier existe déjà.. sauver?",
      "File already exists.. overwrite?", "Die Zeichnung is schon da.. speichern?"}},
    {1016,
     {"Kan het bestand niet vinden..\nsteek de CD-ROM in de drive of zoek manueel naar:\n",
      "Pouvait pas trouver le fichier..\nmettez le CD-ROM ou cherchez manuellement pour:\n",
      "Could not read file..\nplease insert CD-ROM or search manually for:\n",
      "Die Zeichnung ist nicht da..\nlegen Sie den CD-ROM ein oder suche selbst:\n"}},
    {1017,
     {"Steek de CD-ROM in de drive om met clipart te werken\n",
      "Mettez le CD-ROM pour utiliser le clip art\n", "Please insert CD-ROM to use the clip art\n",
      "Legen Sie den CD-ROM ein (clip art)\n"}},
    {1018, {"res\\dhelp.pdf", "res\\fhelp.pdf", "res\\ehelp.pdf", "res\\ghelp.pdf"}},
    {1019,
     {"Kon het help-bestand niet openen.  Installeer de help-lezer van de CD-ROM.",
      "Pouvait pas ouvrir le fichier help.  Installez le reader du CD-ROM.",
      "Could not open helpfile... please install helpfile reader from CD-ROM.",
      "Konnte der Help-file nicht öffnen.  Installieren Sie den Reader vom CD-ROM."}},
    {1020, {"res\\iewiz", "res\\iewiz", "res\\iewiz", "res\\iewiz"}},
    {1021,
     {"Kies een T-shirt", "Choisissez une carte", "Pick a card template",
      "Wahlen Sie bitte eine Karte"}},
    {1022,
     {"res\\Tmplts\\Kavelos", "res\\Tmplts\\WishCrds", "res\\Tmplts\\WishCrds",
      "res\\Tmplts\\WishCrds"}},
    {1023,
     {"res\\Tmplts\\Awards", "res\\Tmplts\\Awards", "res\\Tmplts\\Awards", "res\\Tmplts\\Awards"}},
    {1024,
     {"res\\Tmplts\\Menus", "res\\Tmplts\\Menus", "res\\Tmplts\\Menus", "res\\Tmplts\\Menus"}},
    {1025,
     {"res\\Tmplts\\BsnsCrds", "res\\Tmplts\\BsnsCrds", "res\\Tmplts\\BsnsCrds",
      "res\\Tmplts\\BsnsCrds"}},
    {1026,
     {"res\\Tmplts\\Invts", "res\\Tmplts\\Invts", "res\\Tmplts\\Invts", "res\\Tmplts\\Invts"}},
    {1027,
     {"Toon dit venster de volgende keer", "Présenter ce fenêtre la prochaine fois",
      "Show this window next time", "Window den nächsten mal zeigen"}},
    {1028,
     {"Toon dit venster bij de start", "Présenter ce fenêtre au début",
      "Show this window at program start", "Window am Anfang des Programms zeigen"}},
    {1029, {"Tekst", "Texte", "Text", "Tekst"}},
    {1030, {"Lettertype", "Police", "Typeface", "Schriftart"}},
    {1031, {"Links aan de rand", "A gauche", "Left aligned", "Links aligniert"}},
    {1032, {"Gecentreerd", "Centré", "Centered", "Zentriert"}},
    {1033, {"Rechts aan de rand", "A droite", "Right aligned", "Rechts aligniert"}},
    {1034, {"OK", "OK", "OK", "OK"}},
    {1035, {"Annuleren", "Annuler", "Cancel", "Abbrechen"}},
    {1036, {"Naar voorgrond", "Au premier plan", "To foreground", "Nach Vorgrund"}},
    {1037, {"Naar achtergrond", "Au fond", "To background", "Nach Hintergrund"}},
    {1038, {"Naar voor", "En avant", "Move up", "Nach Oben"}},
    {1039, {"Naar achter", "En arrière", "Move down", "Nach Unten"}},
    {1040, {"Verwijderen", "Enlever", "Delete", "Löschen"}},
    {1041,
     {"Horizontaal centreren", "Centrer horizontallement", "Center horizontally",
      "horizontal zentrieren"}},
    {1042,
     {"Verticaal centreren", "Centrer verticallement", "Center vertically", "vertikal zentrieren"}},
    {1043, {"Paginagroot", "Adapter à la page", "Fit to page", "Zur Seite passen"}},

};

constexpr int kRows = int(sizeof kExpected / sizeof kExpected[0]);

// Identifiers probed for entries that should not be there: every one from 0
// to twice the table's, and a few far away.
std::vector<int> ProbedIds() {
    std::vector<int> ids = {INT_MIN, -1000, -1, 10000, 1 << 20, INT_MAX};
    for (int id = 0; id <= 2100; ++id)
        ids.push_back(id);
    return ids;
}

} // namespace

TEST(MessageTableTest, HoldsExactlyOneHundredSeventySixEntries) {
    // The server has no enumeration: every identifier and language pair is
    // looked up, each must answer an entry of its own, and nothing else may
    // answer under any filter.
    CStringServer server;
    ASSERT_TRUE(RegisterMessageTable(server));
    std::set<const std::string*> entries;
    for (int id = 1000; id <= 1043; ++id)
        for (int language = 1; language <= 4; ++language) {
            server.m_nLanguage = language;
            const std::string* text = server.Find(id);
            ASSERT_NE(text, nullptr) << id << " in language " << language;
            // Texts alike in all languages (1020, 1023 to 1026, 1034) are
            // still four entries.
            EXPECT_TRUE(entries.insert(text).second) << id << " in language " << language;
        }
    EXPECT_EQ(entries.size(), 176u);
    EXPECT_EQ(kRows * 4, 176);
    // No 177th entry: no identifier outside 1000 to 1043 under any filter
    // (0 answers every language), and no language outside 1 to 4.
    for (int language : {0, 1, 2, 3, 4})
        for (int id : ProbedIds()) {
            if (id >= 1000 && id <= 1043)
                continue;
            server.m_nLanguage = language;
            ASSERT_EQ(server.Find(id), nullptr) << id << " in language " << language;
        }
    for (int language : {5, 6, -1, 1000, INT_MAX})
        for (int id : ProbedIds()) {
            server.m_nLanguage = language;
            ASSERT_EQ(server.Find(id), nullptr) << id << " in language " << language;
        }
}

TEST(MessageTableTest, EveryRowIsRegisteredWithItsDutchTextFirst) {
    // With the filter at 0 Find answers the first entry of an identifier in
    // the order of addition: for every row that is the very entry that
    // language 1 answers, so each row begins with Dutch.
    CStringServer server;
    ASSERT_TRUE(RegisterMessageTable(server));
    for (int row = 0; row < kRows; ++row) {
        server.m_nLanguage = 1;
        const std::string* dutch = server.Find(kExpected[row].id);
        server.m_nLanguage = 0;
        const std::string* first = server.Find(kExpected[row].id);
        ASSERT_NE(first, nullptr) << kExpected[row].id;
        EXPECT_EQ(first, dutch) << kExpected[row].id;
        EXPECT_EQ(*first, kExpected[row].texts[0]) << kExpected[row].id;
    }
}

TEST(MessageTableTest, RegistrationAppendsAfterWhatTheServerHolds) {
    CStringServer server;
    ASSERT_TRUE(server.Add(1000, 3, "earlier English"));
    ASSERT_TRUE(server.Add(1043, 0, "earlier, any language"));
    ASSERT_TRUE(server.Add(1021, 2, "earlier French"));
    ASSERT_TRUE(RegisterMessageTable(server));
    ASSERT_TRUE(server.Add(1044, 1, "after"));
    ASSERT_TRUE(server.Add(1000, 1, "after Dutch"));
    // Entries held before keep answering first; the table's own are found
    // only for the pairs they do not hide.
    server.m_nLanguage = 3;
    EXPECT_EQ(*server.Find(1000), "earlier English");
    EXPECT_EQ(*server.Find(1021), "Pick a card template");
    server.m_nLanguage = 2;
    EXPECT_EQ(*server.Find(1021), "earlier French");
    EXPECT_EQ(*server.Find(1000), "Quitter le logiciel?");
    server.m_nLanguage = 0;
    EXPECT_EQ(*server.Find(1043), "earlier, any language");
    EXPECT_EQ(*server.Find(1042), "Verticaal centreren");
    // The entries added after the table come after it.
    server.m_nLanguage = 1;
    EXPECT_EQ(*server.Find(1000), "Het programma verlaten?");
    EXPECT_EQ(*server.Find(1044), "after");
    EXPECT_EQ(*server.Find(1043), "Paginagroot");
}

TEST(MessageTableTest, ASecondRegistrationHidesBehindTheFirst) {
    CStringServer server;
    ASSERT_TRUE(RegisterMessageTable(server));
    std::set<const std::string*> first;
    for (int language = 0; language <= 4; ++language) {
        server.m_nLanguage = language;
        for (int id = 1000; id <= 1043; ++id)
            first.insert(server.Find(id));
    }
    ASSERT_TRUE(RegisterMessageTable(server));
    for (int language = 0; language <= 4; ++language) {
        server.m_nLanguage = language;
        for (int id = 1000; id <= 1043; ++id)
            EXPECT_EQ(first.count(server.Find(id)), 1u) << id << " in language " << language;
    }
}

TEST(MessageTableTest, EveryTextInEveryLanguage) {
    CStringServer server;
    ASSERT_TRUE(RegisterMessageTable(server));
    ASSERT_EQ(kRows, 44);
    for (int row = 0; row < kRows; ++row) {
        ASSERT_EQ(kExpected[row].id, 1000 + row);
        for (int language = 1; language <= 4; ++language) {
            server.m_nLanguage = language;
            const std::string* text = server.Find(kExpected[row].id);
            ASSERT_NE(text, nullptr) << kExpected[row].id << " in language " << language;
            EXPECT_EQ(*text, kExpected[row].texts[language - 1])
                << kExpected[row].id << " in language " << language;
        }
    }
}

TEST(MessageTableTest, TheProgramsTableReadsAsWrittenOutHere) {
    // Other parts of the program read the table directly.
    for (int row = 0; row < kMessageTableRows; ++row) {
        ASSERT_LT(row, kRows);
        EXPECT_EQ(kMessageTable[row].id, kExpected[row].id);
        for (int language = 0; language < kMessageTableLanguages; ++language)
            EXPECT_STREQ(kMessageTable[row].texts[language], kExpected[row].texts[language])
                << kExpected[row].id << " in language " << language + 1;
    }
    EXPECT_EQ(kMessageTableRows, kRows);
}
