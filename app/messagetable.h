#pragma once
// The interface texts of the main view in its four languages: questions,
// labels, skin names of the main buttons, help documents and template
// folders. Registered into a string server as identifier 1000 + row.

class CStringServer;

constexpr int kMessageTableRows = 44;
constexpr int kMessageTableLanguages = 4;
constexpr int kFirstMessageId = 1000;

// Languages of the table's columns.
enum : int { kLanguageDutch = 1, kLanguageFrench = 2, kLanguageEnglish = 3, kLanguageGerman = 4 };

struct MessageTableRow {
    int id;
    const char* texts[kMessageTableLanguages]; // Dutch, French, English, German
};

extern const MessageTableRow kMessageTable[kMessageTableRows];

// Adds all 176 entries row by row, languages 1 to 4 within a row. FALSE
// when an entry could not be added.
bool RegisterMessageTable(CStringServer& server);
