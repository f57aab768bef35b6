#pragma once
// The two metafile kinds behind CMetafile::Load.

#include "platform/metafile/metafile.h"

#include <QPolygonF>
#include <QRectF>
#include <QString>

namespace platform::metafile {

std::unique_ptr<CMetafile> LoadWmf(const BYTE* data, size_t size, std::string* error);
std::unique_ptr<CMetafile> LoadEmf(const BYTE* data, size_t size, std::string* error);

class CMetafileDC;

// Shared by the parts of the WMF player ----------------------------------------

constexpr size_t kWmfRecordHead = 6; // size in words (4 bytes) and function (2)

// Object-creating records of a WMF; other unknown records are skipped there.
void PlayWmfObjectRecord(CMetafileDC& dc, int type, const char* rec, size_t size);
// Bitmap records of a WMF.
void PlayWmfBitmapRecord(CMetafileDC& dc, int type, const char* rec, size_t size);

// Text of 16-bit records is in the western ANSI code page.
QString AnsiText(const BYTE* s, size_t n);
QPolygonF Points16(const BYTE* data, size_t count);

// Shared by the parts of the EMF player -----------------------------------------

// Whether every count and offset of a record lies within its size, by our
// own checks and then libuemf's, before any of its fields are used.
bool EmfRecordFits(DWORD type, const BYTE* rec, size_t size);
// Plays one checked record.
void PlayEmfRecord(CMetafileDC& dc, DWORD type, const BYTE* rec, size_t size);
// The drawing and object records among them.
void PlayEmfDrawingRecord(CMetafileDC& dc, DWORD type, const BYTE* rec, size_t size);

// Shared by both players ------------------------------------------------------

// Whether a raster operation reads a source bitmap at all.
bool RopUsesSource(DWORD rop);

} // namespace platform::metafile
