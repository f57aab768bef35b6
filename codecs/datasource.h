#pragma once
// Where decoders read from and encoders write to. A source holds the whole
// input in memory, so a decoder may look ahead; every read is checked
// against the end and throws code 11 past it. A sink collects the whole
// output in a buffer of fixed size.

#include "platform/wintypes.h"

#include <memory>
#include <string>
#include <vector>

class QFile;
class QSaveFile;

class CDataSource {
public:
    CDataSource();
    virtual ~CDataSource();
    CDataSource(const CDataSource&) = delete;
    CDataSource& operator=(const CDataSource&) = delete;

    void InitSource(const std::string& name, int size);
    void CloseSource();

    // The next unread bytes, without consuming them. Only GetRemaining()
    // bytes may be looked at.
    const BYTE* PeekBytes(int n);
    // The next n bytes, consumed; throws code 11 when fewer are left.
    const BYTE* ReadBytes(int n);
    const BYTE* CurrentPointer() const { return m_pRead; }

    // Typed reads of the formats' numbers.
    BYTE ReadByte() { return *ReadBytes(1); }
    WORD ReadLE16();
    DWORD ReadLE32();
    WORD ReadBE16();
    DWORD ReadBE32();
    void Skip(int n) { ReadBytes(n); }

    const std::string& GetName() const { return m_strName; }
    int GetFileSize() const { return m_nFileSize; }
    int GetBytesConsumed() const { return m_nBytesRead; }
    int GetRemaining() const { return m_nFileSize - m_nBytesRead; }

protected:
    // Points the source at its data; InitSource gives the size.
    void SetData(const BYTE* data) { m_pRead = data; }

private:
    std::string m_strName;
    int m_nFileSize;
    int m_nBytesRead;
    const BYTE* m_pRead;
};

// A source over bytes that someone else keeps alive.
class CMemorySource : public CDataSource {
public:
    CMemorySource(const BYTE* data, int size, const std::string& name = "memory");
};

// A source over a whole file, mapped (or read) into memory.
class CFileSource : public CDataSource {
public:
    CFileSource();
    ~CFileSource() override;

    // 0, or 3 (path not found), 4 (not found or other failure),
    // 5 (access denied, a folder, or an empty file that cannot be mapped).
    int OpenFile(const std::string& path);
    void Close();

private:
    std::unique_ptr<QFile> m_file;
    std::vector<BYTE> m_copy; // used when the file cannot be mapped
    BYTE* m_pMapped;
};

class CDataSink {
public:
    CDataSink();
    virtual ~CDataSink();
    CDataSink(const CDataSink&) = delete;
    CDataSink& operator=(const CDataSink&) = delete;

    void InitSink(const std::string& name, BYTE* buffer, int size);
    void CloseSink();
    // Appends; throws code 11 "Buffer overflow while encoding." when the
    // buffer would overflow.
    void WriteBytes(const void* data, int n);

    BYTE* GetBuffer() const { return m_pBuffer; }
    int GetBufferSize() const { return m_nBufferSize; }
    int GetBytesWritten() const { return m_nBytesWritten; }
    // The written count, for writers that seek back and write in place.
    int* BytesWrittenPointer() { return &m_nBytesWritten; }

private:
    BYTE* m_pBuffer;
    int m_nBytesWritten;
    std::string m_strName;
    int m_nBufferSize;
};

// A sink whose buffer goes to a file in one piece when it is closed. The
// file is written beside the target and renamed over it only when complete,
// so a failed encode or write leaves an existing file untouched.
class CFileSink : public CDataSink {
public:
    CFileSink();
    ~CFileSink() override;

    // 0, or -1 when the file cannot be created or the buffer not allocated.
    int OpenFile(const std::string& path, int bufferSize);
    // Writes the buffer and replaces the target; false when that fails.
    bool Close();

private:
    std::unique_ptr<QSaveFile> m_file;
    std::vector<BYTE> m_buffer;
};
