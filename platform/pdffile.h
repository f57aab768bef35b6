#pragma once
// A PDF printed into a file replaces that file only once it is complete:
// the printer writes into the new, still nameless file beside the target
// (QSaveFile's), and only when the painting has ended and the PDF is whole
// does it take the target's name. A failed or interrupted print leaves the
// old file as it was and no file of its own behind.

#include <QString>

#include <memory>
#include <string>

class QPrinter;
class QSaveFile;

namespace platform {

class CPdfFileOutput {
public:
    // Takes over the printer's PDF output when it prints into a file.
    explicit CPdfFileOutput(QPrinter* printer);
    // Gives the printer its file name back; an uncommitted file is dropped.
    ~CPdfFileOutput();
    CPdfFileOutput(const CPdfFileOutput&) = delete;
    CPdfFileOutput& operator=(const CPdfFileOutput&) = delete;

    // TRUE when the printer prints into a file.
    bool Active() const { return !m_target.isEmpty(); }
    // FALSE when the new file cannot be made beside the target.
    bool Opened() const;
    std::string Target() const { return m_target.toStdString(); }
    // After the painter has ended: the whole PDF takes the target's name.
    // FALSE when it is cut short or cannot be put there.
    bool Commit();

private:
    QPrinter* m_printer;
    QString m_target;
    std::unique_ptr<QSaveFile> m_file;
};

// TRUE when the bytes are a whole PDF as a printer writes it: the
// cross-reference table that its last lines point at is where they say.
bool IsCompletePdf(const std::string& bytes);

} // namespace platform
