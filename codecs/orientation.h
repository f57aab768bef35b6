#pragma once
// Pictures stored turned or mirrored: the orientation numbers of TIFF and
// EXIF (1 upright; 2 mirrored; 3 turned half round; 4 upside down; 5 to 8
// with rows and columns swapped), and the EXIF block of a JPEG file that
// carries one.

#include "platform/wintypes.h"

#include <cstddef>

class CBmp;

// Turns a 24- or 32-bit bitmap upright from the given orientation; 1 and numbers
// outside 1 to 8 leave it as it is. Orientations 5 to 8 swap its width and
// height. Throws std::bad_alloc when the turned copy cannot be allocated.
void ApplyOrientation(CBmp* bmp, int orientation);

// The orientation an EXIF block (an APP1 segment's data, starting with
// "Exif\0\0") gives its picture: its first directory's orientation tag, or 1
// when there is none or the block is damaged. Reads nothing outside the
// size bytes at data.
int ExifOrientation(const BYTE* data, size_t size);
