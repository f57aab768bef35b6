#pragma once
// Interface texts of the features the message table has no row for, in the
// same four languages. They are registered after the message table, whose
// rows never change, under identifiers of their own: each feature keeps to
// its block so that features can grow without renumbering each other.

class CStringServer;

struct MessageTableRow;

// Identifier blocks of the extra texts.
enum : int {
    kFirstExtraTextId = 1100,
    kTransferPaperTextIds = 1100, // printing and exporting for print: 1100 to 1149
    kEditingTextIds = 1200,       // the Edit menu, layer commands, recent files
    kLimitTextIds = 1150,         // limits a user meets: pictures too large
};

enum : int {
    kTextLightFabric = kTransferPaperTextIds, // mirrored print, the default
    kTextDarkFabric,                          // printed face up, not mirrored
    kTextCutMarks,
    kTextCopyResolutionReduced, // "%d": the dots per inch a copy gets
    kTextExportTitle,           // the question before a PNG for printing
    kTextExportWidth,
    kTextExportResolution,
    kTextExportTransparent,
    kTextExportPixels, // two "%d": width and height in pixels
    kTextOk,
    kTextCancel,
};

// Menu texts carry their mnemonic ('&'); the layer's context menu shows
// them without it.
enum : int {
    kTextEditMenu = kEditingTextIds,
    kTextUndo,
    kTextRedo,
    kTextCopy,
    kTextPaste,
    kTextDuplicate,
    kTextRotateLeft,
    kTextRotateRight,
    kTextRecentFiles,
    kTextNoRecentFiles,
};

enum : int {
    // "%s", "%lld", "%lld": the picture's file, its width and height
    kTextPictureTooLarge = kLimitTextIds,
};

extern const MessageTableRow kExtraTexts[];
extern const int kExtraTextRows;

// Adds every extra text, row by row and languages 1 to 4 within a row, like
// the message table. FALSE when an entry could not be added.
bool RegisterExtraTexts(CStringServer& server);
