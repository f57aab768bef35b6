#include "codecs/datasource.h"

#include "codecs/textexception.h"
#include "platform/paths.h"
#include "platform/savefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <climits>
#include <cstring>
#include <new>

// Sources ---------------------------------------------------------------------

CDataSource::CDataSource() : m_nFileSize(0), m_nBytesRead(0), m_pRead(nullptr) {}

CDataSource::~CDataSource() = default;

void CDataSource::InitSource(const std::string& name, int size) {
    m_strName = name;
    m_nFileSize = size;
    m_nBytesRead = 0;
}

void CDataSource::CloseSource() {
    m_strName.clear();
    m_nFileSize = 0;
    m_nBytesRead = 0;
    m_pRead = nullptr;
}

const BYTE* CDataSource::PeekBytes(int) {
    return m_pRead;
}

const BYTE* CDataSource::ReadBytes(int n) {
    if (n < 0 || n > GetRemaining())
        throw CTextException(kErrEndOfData, kEndOfFileText);
    const BYTE* p = m_pRead;
    m_pRead += n;
    m_nBytesRead += n;
    return p;
}

WORD CDataSource::ReadLE16() {
    const BYTE* p = ReadBytes(2);
    return WORD(p[0] | (p[1] << 8));
}

DWORD CDataSource::ReadLE32() {
    const BYTE* p = ReadBytes(4);
    return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24);
}

WORD CDataSource::ReadBE16() {
    const BYTE* p = ReadBytes(2);
    return WORD((p[0] << 8) | p[1]);
}

DWORD CDataSource::ReadBE32() {
    const BYTE* p = ReadBytes(4);
    return (DWORD(p[0]) << 24) | (DWORD(p[1]) << 16) | (DWORD(p[2]) << 8) | DWORD(p[3]);
}

CMemorySource::CMemorySource(const BYTE* data, int size, const std::string& name) {
    InitSource(name, size);
    SetData(data);
}

CFileSource::CFileSource() : m_pMapped(nullptr) {}

CFileSource::~CFileSource() {
    Close();
}

int CFileSource::OpenFile(const std::string& path) {
    Close();
    const QString native = QString::fromStdString(platform::NativePath(path));
    const QFileInfo info(native);
    if (!info.dir().exists())
        return kErrPathNotFound;
    if (info.isDir())
        return kErrAccessDenied;
    m_file = std::make_unique<QFile>(native);
    if (!m_file->open(QIODevice::ReadOnly)) {
        const bool denied = m_file->error() == QFileDevice::PermissionsError;
        m_file.reset();
        return info.exists() && denied ? kErrAccessDenied : kErrFileNotFound;
    }
    const qint64 size = m_file->size();
    // An empty file cannot be mapped; one beyond the 32-bit sizes of the
    // formats cannot be read whole.
    if (size <= 0 || size > INT_MAX) {
        m_file.reset();
        return kErrAccessDenied;
    }
    m_pMapped = m_file->map(0, size);
    const BYTE* data = m_pMapped;
    if (!data) {
        try {
            m_copy.resize(size_t(size));
        } catch (const std::bad_alloc&) {
            m_file.reset();
            return kErrAccessDenied;
        }
        if (m_file->read(reinterpret_cast<char*>(m_copy.data()), size) != size) {
            Close();
            return kErrAccessDenied;
        }
        data = m_copy.data();
    }
    InitSource(path, int(size));
    SetData(data);
    return 0;
}

void CFileSource::Close() {
    if (m_file && m_pMapped)
        m_file->unmap(m_pMapped);
    m_pMapped = nullptr;
    m_file.reset();
    m_copy.clear();
    CloseSource();
}

// Sinks -----------------------------------------------------------------------

CDataSink::CDataSink() : m_pBuffer(nullptr), m_nBytesWritten(0), m_nBufferSize(0) {}

CDataSink::~CDataSink() = default;

void CDataSink::InitSink(const std::string& name, BYTE* buffer, int size) {
    m_strName = name;
    m_pBuffer = buffer;
    m_nBufferSize = size;
    m_nBytesWritten = 0;
}

void CDataSink::CloseSink() {
    m_strName.clear();
    m_nBytesWritten = 0;
    m_nBufferSize = 0;
}

void CDataSink::WriteBytes(const void* data, int n) {
    if (n < 0 || (long long)m_nBytesWritten + n > m_nBufferSize)
        throw CTextException(kErrEndOfData, kBufferOverflowText);
    std::memcpy(m_pBuffer + m_nBytesWritten, data, size_t(n));
    m_nBytesWritten += n;
}

CFileSink::CFileSink() = default;

CFileSink::~CFileSink() {
    if (m_file)
        m_file->cancelWriting();
}

int CFileSink::OpenFile(const std::string& path, int bufferSize) {
    m_file = std::make_unique<QSaveFile>(QString::fromStdString(platform::NativePath(path)));
    if (bufferSize < 0 || !m_file->open(QIODevice::WriteOnly)) {
        m_file.reset();
        return -1;
    }
    try {
        m_buffer.assign(size_t(bufferSize), 0);
    } catch (const std::bad_alloc&) {
        m_file->cancelWriting();
        m_file.reset();
        return -1;
    }
    InitSink(path, m_buffer.data(), bufferSize);
    return 0;
}

bool CFileSink::Close() {
    if (!m_file)
        return false;
    const qint64 n = GetBytesWritten();
    const bool ok = m_file->write(reinterpret_cast<const char*>(m_buffer.data()), n) == n &&
                    platform::CommitWhole(*m_file);
    if (!ok)
        m_file->cancelWriting();
    m_file.reset();
    m_buffer.clear();
    CloseSink();
    return ok;
}
