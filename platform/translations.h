#pragma once
// Qt's own texts in the program's language: the buttons of message boxes
// and the file, colour, font, print and page set-up dialogs and print
// preview, which Qt draws with its own words.

namespace platform {

// Installs Qt's translation for the language: 1 Dutch, 2 French, 3 English,
// 4 German (English needs none). Replaces the one installed before. FALSE
// when the language is unknown or its translation is not installed; Qt
// then speaks English.
bool UseStandardDialogLanguage(int language);

} // namespace platform
