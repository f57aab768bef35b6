#pragma once
// Helpers the whole program shares: whole-file reading and writing, line
// reading from memory, path splitting, registry values, the common dialogs,
// the shell, a process-wide serial number and the rectangle-fitting rules.
// Failures show their message once and answer null or FALSE.

#include "platform/settingsstore.h"
#include "platform/wintypes.h"

#include <string>

class CDC;
class QWidget;

// Files ----------------------------------------------------------------------

// Reads a whole file into a new buffer (the caller frees it with
// FreeFileBuffer). A zero byte follows the data without being counted, so
// the buffer may also be read as a C string. Shows
// "Error: could not read file <path>." and answers null on failure.
char* ReadWholeFile(const std::string& path, DWORD* size);
void FreeFileBuffer(char* buffer);

// Replaces the file with the text. The text goes to a temporary file in the
// same folder that is renamed over the target only once it is complete, so
// a failed write never destroys the previous file. Shows
// "Error: could not write file <path>." and answers FALSE on failure.
BOOL WriteWholeFile(const std::string& path, const std::string& text);

// Reads one line starting at *pos, up to a zero byte or a line feed (which
// is consumed but not kept) or the end of the buffer. A carriage return
// stays in the line.
void ReadLine(const char* buffer, DWORD* pos, DWORD length, std::string* line);

// The C run-time conversions: leading white space, a sign and digits; text
// that does not start with a number gives 0.
int ToInt(const std::string& s);
long ToLong(const std::string& s);
double ToDouble(const std::string& s);

// TRUE when anything exists under the path; wildcards and folders count.
BOOL FileExists(const std::string& path);

// Splits a path into drive ("C:"), folder (with its final separator), name
// and extension (with its dot), as the C run-time splitter does; both '\\'
// and '/' separate folders. Fills the parts whose outputs are given and
// answers FALSE, doing nothing, when none of folder, name and extension is
// asked for.
BOOL SplitPath(const std::string& path, std::string* drive, std::string* folder, std::string* name,
               std::string* extension);

// The working folder of the process.
BOOL GetCurrentFolder(std::string* folder);

// Registry values -----------------------------------------------------------

BOOL ReadRegistryString(std::string* out, HKEY root, const std::string& subKey,
                        const std::string& name);
BOOL ReadRegistryDword(DWORD* out, HKEY root, const std::string& subKey, const std::string& name);
BOOL WriteRegistryString(const std::string& value, HKEY root, const std::string& subKey,
                         const std::string& name);
BOOL WriteRegistryDword(DWORD value, HKEY root, const std::string& subKey, const std::string& name);

// The key all of the program's values live under.
constexpr const char* kRegistryKey = "Software\\Kavelo";

// Serial numbers, dialogs, shell -----------------------------------------------

// The next process-wide serial number; never 0.
int NextSerial();
// Sets the serial counter, so the wrap-around can be reached in tests.
void SetSerialCounter(int value);

constexpr const char* kDefaultFileFilter = "BMP file (*.bmp)|*.bmp|All Files (*.*)|*.*||";

// Runs the open or save dialog. *path gives the initial name and receives
// the chosen path; flags 0 means the usual set with an overwrite question.
// Answers FALSE on cancel, leaving *path alone.
BOOL FileDialog(std::string* path, QWidget* owner, BOOL open, const char* defaultExtension,
                DWORD flags, const char* filter);

// Runs the colour chooser on *colour; a cancel leaves it unchanged. Answers
// FALSE at once while another colour chooser is open, TRUE otherwise;
// *confirmed (when given) tells whether the user chose a colour.
BOOL ColorDialog(COLORREF* colour, QWidget* owner, bool* confirmed = nullptr);

// Opens the document with its registered program; shows
// "ShellExecute failure: (reason)" and answers FALSE when that fails.
BOOL ShellOpen(const std::string& path, const std::string& verb);
// The reason text of a shell failure code.
const char* ShellFailureReason(int result);

// Strings and rectangles ----------------------------------------------------

// Keeps the part before the first line feed, carriage return or tab, cut to
// at most maxLength characters.
void FirstLineCut(std::string* text, int maxLength);

// Shrinks the target to the source's proportions, centred in its old place.
void AspectFit(const CRect& source, CRect* target);
// Grows the target to the source's proportions, covering its old place.
void AspectCover(const CRect& source, CRect* target);

// Fills the parts of (0, 0, width, height) around the inner rectangle with
// the colour: the band above it and the one below it across the whole
// width, and the bands left and right of it between its top and bottom.
void FillAround(CDC* dc, int width, int height, const CRect& inner, COLORREF colour);
