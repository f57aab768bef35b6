// Bounds of EMF records: every count and offset a record declares is
// checked against the record's own length, in 64-bit arithmetic, before
// libuemf's checks run and before any field is read for drawing.

#include "platform/metafile/players.h"
#include "platform/metafile/recorddata.h"

#include <uemf.h>
#include <uemf_safe.h>

namespace platform::metafile {

namespace {

using u64 = unsigned long long;

u64 U32(const BYTE* rec, size_t offset) {
    CByteReader r(rec, offset + 4);
    r.Seek(offset);
    return r.U32();
}

bool Within(size_t size, u64 offset, u64 bytes) {
    return offset <= size && bytes <= size - offset;
}

// A bitmap declared by four fields (info offset and size, bits offset and
// size) starting at fields; a record without one has an info size of 0.
bool DibWithin(const BYTE* rec, size_t size, size_t fields) {
    const u64 offInfo = U32(rec, fields), infoBytes = U32(rec, fields + 4);
    const u64 offBits = U32(rec, fields + 8), bitsBytes = U32(rec, fields + 12);
    if (infoBytes == 0)
        return true;
    return infoBytes >= 12 && Within(size, offInfo, infoBytes) && Within(size, offBits, bitsBytes);
}

// Region data: a 32-byte header, then its rectangles.
bool RegionWithin(const BYTE* rec, size_t size, size_t at, u64 bytes) {
    if (bytes < 32 || !Within(size, at, bytes))
        return false;
    return Within(bytes, 32, U32(rec, at + 8) * 16);
}

// Smallest size of each record the player draws; 0 for records it skips.
size_t FixedSize(DWORD type) {
    switch (type) {
    case U_EMR_SAVEDC:
    case U_EMR_BEGINPATH:
    case U_EMR_ENDPATH:
    case U_EMR_CLOSEFIGURE:
    case U_EMR_ABORTPATH:
    case U_EMR_WIDENPATH:
    case U_EMR_FILLPATH:
    case U_EMR_STROKEPATH:
    case U_EMR_STROKEANDFILLPATH:
        return 8;
    case U_EMR_SETMAPMODE:
    case U_EMR_SETBKMODE:
    case U_EMR_SETPOLYFILLMODE:
    case U_EMR_SETROP2:
    case U_EMR_SETTEXTALIGN:
    case U_EMR_SETTEXTCOLOR:
    case U_EMR_SETBKCOLOR:
    case U_EMR_SETARCDIRECTION:
    case U_EMR_RESTOREDC:
    case U_EMR_SELECTOBJECT:
    case U_EMR_DELETEOBJECT:
    case U_EMR_SELECTCLIPPATH:
    case U_EMR_CREATEPALETTE:
        return 12;
    case U_EMR_SETWINDOWEXTEX:
    case U_EMR_SETWINDOWORGEX:
    case U_EMR_SETVIEWPORTEXTEX:
    case U_EMR_SETVIEWPORTORGEX:
    case U_EMR_MOVETOEX:
    case U_EMR_LINETO:
    case U_EMR_OFFSETCLIPRGN:
    case U_EMR_EXTSELECTCLIPRGN:
        return 16;
    case U_EMR_SETPIXELV:
        return 20;
    case U_EMR_EXCLUDECLIPRECT:
    case U_EMR_INTERSECTCLIPRECT:
    case U_EMR_SCALEVIEWPORTEXTEX:
    case U_EMR_SCALEWINDOWEXTEX:
    case U_EMR_ELLIPSE:
    case U_EMR_RECTANGLE:
    case U_EMR_CREATEBRUSHINDIRECT:
        return 24;
    case U_EMR_POLYBEZIER:
    case U_EMR_POLYGON:
    case U_EMR_POLYLINE:
    case U_EMR_POLYBEZIERTO:
    case U_EMR_POLYLINETO:
    case U_EMR_POLYBEZIER16:
    case U_EMR_POLYGON16:
    case U_EMR_POLYLINE16:
    case U_EMR_POLYBEZIERTO16:
    case U_EMR_POLYLINETO16:
    case U_EMR_POLYDRAW:
    case U_EMR_POLYDRAW16:
    case U_EMR_CREATEPEN:
    case U_EMR_ANGLEARC:
    case U_EMR_PAINTRGN:
        return 28;
    case U_EMR_POLYPOLYLINE:
    case U_EMR_POLYPOLYGON:
    case U_EMR_POLYPOLYLINE16:
    case U_EMR_POLYPOLYGON16:
    case U_EMR_SETWORLDTRANSFORM:
    case U_EMR_ROUNDRECT:
    case U_EMR_FILLRGN:
    case U_EMR_CREATEMONOBRUSH:
    case U_EMR_CREATEDIBPATTERNBRUSHPT:
        return 32;
    case U_EMR_MODIFYWORLDTRANSFORM:
        return 36;
    case U_EMR_ARC:
    case U_EMR_CHORD:
    case U_EMR_PIE:
    case U_EMR_ARCTO:
        return 40;
    case U_EMR_EXTCREATEPEN:
        return 52;
    case U_EMR_EXTTEXTOUTA:
    case U_EMR_EXTTEXTOUTW:
        return 60;
    case U_EMR_SETDIBITSTODEVICE:
        return 76;
    case U_EMR_STRETCHDIBITS:
        return 80;
    case U_EMR_BITBLT:
        return 100;
    case U_EMR_EXTCREATEFONTINDIRECTW: // a LOGFONTW at least
        return 104;
    case U_EMR_STRETCHBLT:
    case U_EMR_ALPHABLEND:
        return 108;
    default:
        return 0;
    }
}

bool PointsWithin(DWORD type, const BYTE* rec, size_t size) {
    const bool narrow = type >= U_EMR_POLYBEZIER16 && type <= U_EMR_POLYDRAW16;
    const u64 pointBytes = narrow ? 4 : 8;
    switch (type) {
    case U_EMR_POLYPOLYLINE:
    case U_EMR_POLYPOLYGON:
    case U_EMR_POLYPOLYLINE16:
    case U_EMR_POLYPOLYGON16: {
        const u64 polys = U32(rec, 24), points = U32(rec, 28);
        if (!Within(size, 32, polys * 4 + points * pointBytes))
            return false;
        u64 total = 0;
        for (u64 i = 0; i < polys; ++i)
            total += U32(rec, static_cast<size_t>(32 + i * 4));
        return total <= points;
    }
    case U_EMR_POLYDRAW:
    case U_EMR_POLYDRAW16:
        return Within(size, 28, U32(rec, 24) * (pointBytes + 1));
    default:
        return Within(size, 28, U32(rec, 24) * pointBytes);
    }
}

bool TextWithin(DWORD type, const BYTE* rec, size_t size) {
    const u64 chars = U32(rec, 44), offString = U32(rec, 48), options = U32(rec, 52);
    const size_t dxField = (options & U_ETO_NO_RECT) ? 56 : 72;
    if (!Within(size, dxField, 4))
        return false;
    const u64 offDx = U32(rec, dxField);
    const u64 charBytes = type == U_EMR_EXTTEXTOUTW ? 2 : 1;
    const u64 dxBytes = (options & U_ETO_PDY) ? 8 : 4;
    return Within(size, offString, chars * charBytes) &&
           (offDx == 0 || Within(size, offDx, chars * dxBytes));
}

bool OwnChecks(DWORD type, const BYTE* rec, size_t size) {
    switch (type) {
    case U_EMR_EXTSELECTCLIPRGN:
        return U32(rec, 8) == 0 || RegionWithin(rec, size, 16, U32(rec, 8));
    case U_EMR_FILLRGN:
        return RegionWithin(rec, size, 32, U32(rec, 24));
    case U_EMR_PAINTRGN:
        return RegionWithin(rec, size, 28, U32(rec, 24));
    case U_EMR_EXTTEXTOUTA:
    case U_EMR_EXTTEXTOUTW:
        return TextWithin(type, rec, size);
    case U_EMR_EXTCREATEPEN:
        return Within(size, 52, U32(rec, 48) * 4) && DibWithin(rec, size, 12);
    case U_EMR_CREATEMONOBRUSH:
    case U_EMR_CREATEDIBPATTERNBRUSHPT:
        return DibWithin(rec, size, 16);
    case U_EMR_BITBLT:
    case U_EMR_STRETCHBLT:
    case U_EMR_ALPHABLEND:
        return DibWithin(rec, size, 84);
    case U_EMR_STRETCHDIBITS:
    case U_EMR_SETDIBITSTODEVICE:
        return DibWithin(rec, size, 48);
    default:
        break;
    }
    if ((type >= U_EMR_POLYBEZIER && type <= U_EMR_POLYPOLYGON) ||
        (type >= U_EMR_POLYBEZIER16 && type <= U_EMR_POLYDRAW16) || type == U_EMR_POLYDRAW)
        return PointsWithin(type, rec, size);
    return true;
}

// Records libuemf would misjudge: it wants a whole extended font record
// where a plain font description is enough, reads region headers that an
// empty clip-reset record does not have, and expects palette bodies for
// what is only a table slot here.
bool LibraryCheckApplies(DWORD type, const BYTE* rec) {
    if (type == U_EMR_EXTCREATEFONTINDIRECTW || type == U_EMR_CREATEPALETTE)
        return false;
    if (type == U_EMR_EXTSELECTCLIPRGN && U32(rec, 8) == 0)
        return false;
    return true;
}

} // namespace

bool EmfRecordFits(DWORD type, const BYTE* rec, size_t size) {
    const size_t fixed = FixedSize(type);
    if (fixed == 0 || size < fixed || !OwnChecks(type, rec, size))
        return false;
    if (LibraryCheckApplies(type, rec))
        return U_emf_record_safe(reinterpret_cast<const char*>(rec)) != 0;
    return true;
}

} // namespace platform::metafile
