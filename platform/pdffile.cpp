#include "platform/pdffile.h"

#include <QFile>
#include <QPrinter>
#include <QSaveFile>

#include <cstdlib>

namespace platform {

namespace {

// The name under which a process reaches one of its open files, also one
// that has no name of its own yet.
QString DescriptorPath(int fd) {
    return QStringLiteral("/proc/self/fd/%1").arg(fd);
}

} // namespace

bool IsCompletePdf(const std::string& bytes) {
    if (bytes.rfind("%PDF-", 0) != 0)
        return false;
    const size_t end = bytes.rfind("%%EOF");
    const size_t start = bytes.rfind("startxref");
    if (end == std::string::npos || start == std::string::npos || start > end)
        return false;
    char* after = nullptr;
    const char* number = bytes.c_str() + start + 9;
    const unsigned long long offset = std::strtoull(number, &after, 10);
    if (after == number || offset >= start)
        return false;
    return bytes.compare(size_t(offset), 4, "xref") == 0;
}

CPdfFileOutput::CPdfFileOutput(QPrinter* printer) : m_printer(printer) {
    if (!printer || printer->outputFormat() != QPrinter::PdfFormat ||
        printer->outputFileName().isEmpty())
        return;
    m_target = printer->outputFileName();
    m_file = std::make_unique<QSaveFile>(m_target);
    if (m_file->open(QIODevice::WriteOnly))
        printer->setOutputFileName(DescriptorPath(m_file->handle()));
    else
        m_file.reset();
}

CPdfFileOutput::~CPdfFileOutput() {
    if (!Active())
        return;
    m_printer->setOutputFileName(m_target);
    if (m_file)
        m_file->cancelWriting();
}

bool CPdfFileOutput::Opened() const {
    return m_file != nullptr;
}

bool CPdfFileOutput::Commit() {
    if (!Active())
        return true;
    if (!m_file)
        return false;
    QFile written(DescriptorPath(m_file->handle()));
    const bool whole =
        written.open(QIODevice::ReadOnly) && IsCompletePdf(written.readAll().toStdString());
    written.close();
    const bool ok = whole && m_file->commit();
    if (!ok)
        m_file->cancelWriting();
    m_file.reset();
    return ok;
}

} // namespace platform
