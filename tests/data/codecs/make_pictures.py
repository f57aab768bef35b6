#!/usr/bin/python3
"""Remakes the fixtures of the format variants users bring (transparency,
orientation, newer headers) and the reference pixels they are compared with.

Run with Debian's python3 (python3-pil) and ImageMagick 6 from this folder:
    /usr/bin/python3 make_pictures.py
Every X.ref.png is what the reference reader named beside it shows for X,
written as a plain RGBA PNG so the tests read it with Qt alone.
"""
import os
import struct
import subprocess

from PIL import Image, ImageOps

os.chdir(os.path.dirname(os.path.abspath(__file__)))

SRC = Image.open("src.png").convert("RGB")    # 37 x 23 colour ramp
SRCA = Image.open("srca.png").convert("RGBA")  # the same with an alpha ramp
W, H = SRC.size


def pil_ref(name, picture=None):
    """PIL's reading of a file (or a given picture) as name.ref.png."""
    im = picture if picture is not None else Image.open(name)
    im.convert("RGBA").save(name + ".ref.png")


def magick_rgba(name, *options):
    """ImageMagick's reading of a file as raw RGBA bytes."""
    return subprocess.run(["convert", name, *options, "-depth", "8", "rgba:-"], check=True,
                          capture_output=True).stdout


def magick_ref(name, width, height, *options):
    raw = magick_rgba(name, *options)
    Image.frombytes("RGBA", (width, height), raw).save(name + ".ref.png")


def same(a, b):
    assert a.convert("RGBA").tobytes() == b.convert("RGBA").tobytes()


# PNG transparency chunks ---------------------------------------------------------
# RGB: a cyan frame on the ramp, cyan marked transparent.
keyed = SRC.copy()
for x in range(W):
    for y in range(H):
        if x < 4 or y < 3:
            keyed.putpixel((x, y), (0, 255, 255))
keyed.save("trnsrgb.png", transparency=(0, 255, 255))
# Palette: each of the 16 colours gets its own alpha, some half transparent.
pal = Image.open("pal16.png")
pal.save("trnspal.png", transparency=bytes([0, 40, 80, 120, 160, 200, 255, 255,
                                            30, 255, 255, 128, 255, 255, 64, 255]))
# Grey: the grey of the top-left pixel marked transparent.
grey = Image.open("grey.png").convert("L")
grey.save("trnsgrey.png", transparency=grey.getpixel((0, 0)))
for name in ("trnsrgb.png", "trnspal.png", "trnsgrey.png"):
    pil_ref(name)


# BMP headers and run-length deltas ----------------------------------------------
def le16(v):
    return struct.pack("<H", v & 0xFFFF)


def le32(v):
    return struct.pack("<I", v & 0xFFFFFFFF)


def bmp_file(info, table, pixels):
    offset = 14 + len(info) + len(table)
    return b"BM" + le32(offset + len(pixels)) + le32(0) + le32(offset) + info + table + pixels


def rows_bgr(picture, bottom_up=True):
    out = b""
    ys = range(picture.height - 1, -1, -1) if bottom_up else range(picture.height)
    for y in ys:
        row = b"".join(bytes(picture.getpixel((x, y))[2::-1]) for x in range(picture.width))
        out += row + b"\0" * (-len(row) % 4)
    return out


# V5 and V4 with alpha masks: ImageMagick writes srca.png as a 124-byte
# header with 32-bit pixels; the V4 file is the same less the V5 fields.
subprocess.run(["convert", "srca.png", "BMP:v5alpha.bmp"], check=True)
v5 = open("v5alpha.bmp", "rb").read()
assert struct.unpack_from("<I", v5, 14)[0] == 124
v4 = bytearray(v5[:14] + le32(108) + v5[18:14 + 108] + v5[14 + 124:])
struct.pack_into("<I", v4, 2, len(v4))
struct.pack_into("<I", v4, 10, struct.unpack_from("<I", v5, 10)[0] - 16)
open("v4alpha.bmp", "wb").write(bytes(v4))
same(Image.open("v4alpha.bmp"), SRCA)
same(Image.open("v5alpha.bmp"), SRCA)
pil_ref("v5alpha.bmp")

# OS/2 version 1: 12-byte header, three-byte colour table entries.
palette = Image.open("pal16.png").convert("RGB").quantize(16)
entries = palette.getpalette()[:48]
core = le32(12) + le16(W) + le16(H) + le16(1) + le16(8)
table = b"".join(bytes([entries[i * 3 + 2], entries[i * 3 + 1], entries[i * 3]])
                 for i in range(16))
indexes = b""
for y in range(H - 1, -1, -1):
    row = bytes(palette.getpixel((x, y)) for x in range(W))
    indexes += row + b"\0" * (-len(row) % 4)
open("os2v1.bmp", "wb").write(bmp_file(core, table, indexes))
pil_ref("os2v1.bmp")
# OS/2 version 2: a 64-byte header, 24-bit rows.
info2 = le32(64) + le32(W) + le32(H) + le16(1) + le16(24) + le32(0) * 6 + b"\0" * 24
open("os2v2.bmp", "wb").write(bmp_file(info2, b"", rows_bgr(SRC)))
same(Image.open("os2v2.bmp"), SRC)


def info40(width, height, bpp, compression, colours, size=0):
    return (le32(40) + le32(width) + le32(height) + le16(1) + le16(bpp) + le32(compression) +
            le32(size) + le32(2835) + le32(2835) + le32(colours) + le32(0))


# Run-length pictures with delta escapes (0, 2, dx, dy): the pixels jumped
# over take colour 0 of the table, as ImageMagick shows them. (PIL loses the
# deltas; ImageMagick wants a few bytes after the end code, hence the zeros.)
rgb_table = [(0, 0, 128), (255, 0, 0), (0, 160, 0), (0, 0, 255), (250, 250, 0), (255, 255, 255)]
table = b"".join(bytes([b, g, r, 0]) for r, g, b in rgb_table)
rle8 = bytes([4, 1, 0, 2, 3, 1, 2, 2, 0, 0,          # row 0: 4 x red, skip 3 right 1 up
              0, 3, 3, 4, 5, 0, 1, 4, 0, 0,          # literal of 3, one yellow, end of row
              0, 2, 1, 1, 3, 5, 0, 1, 0, 0, 0, 0])   # skip, 3 x white, end of picture
open("rledelta8.bmp", "wb").write(bmp_file(info40(12, 5, 8, 1, 6, len(rle8)), table, rle8))
rle4 = bytes([5, 0x12, 0, 2, 2, 1, 4, 0x34, 0, 0,    # 5 pixels alternating 1 and 2
              0, 5, 0x51, 0x23, 0x40, 0, 0, 2, 0, 1,  # literal of 5 (3 bytes + pad)
              3, 0x55, 0, 1, 0, 0, 0, 0])
open("rledelta4.bmp", "wb").write(bmp_file(info40(11, 4, 4, 2, 6, len(rle4)), table, rle4))
magick_ref("rledelta8.bmp", 12, 5)
magick_ref("rledelta4.bmp", 11, 4)

# A 24-bit file (rows of 111 bytes and one padding byte) missing only the
# padding byte of its last row; its pixels are those of src.png.
full = bmp_file(info40(W, H, 24, 0, 0), b"", rows_bgr(SRC))
open("shortpad.bmp", "wb").write(full[:-1])
same(Image.open(__import__("io").BytesIO(full)), SRC)


# Targa ---------------------------------------------------------------------------
def tga_header(image_type, width, height, depth, descriptor):
    return struct.pack("<BBBHHBHHHHBB", 0, 0, image_type, 0, 0, 0, 0, 0, width, height, depth,
                       descriptor)


# Grey with alpha, 16 bits per pixel (PIL writes "LA" pictures this way).
Image.open("greya.png").save("tgagreya16.tga")
pil_ref("tgagreya16.tga")
# Rows stored right to left (descriptor bit 0x10), bottom row first.
pixels = b"".join(bytes(SRC.getpixel((x, y))[2::-1])
                  for y in range(H - 1, -1, -1) for x in range(W - 1, -1, -1))
open("tgarighttoleft.tga", "wb").write(tga_header(2, W, H, 24, 0x10) + pixels)
same(Image.open("tgarighttoleft.tga"), SRC)


# 16-bit pixels with one alpha bit (attribute bits 1), white included: the
# five-bit channels are widened as v * 255 / 31 by PIL and ImageMagick.
def rgb555(r, g, b, a):
    return le16((0x8000 if a >= 128 else 0) | (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3))


pixels = b""
for y in range(H):
    for x in range(W):
        r, g, b, a = SRCA.getpixel((x, y))
        if x < 3:
            r = g = b = 255
        pixels += rgb555(r, g, b, a)
open("tga16.tga", "wb").write(tga_header(2, W, H, 16, 0x21) + pixels)
magick_ref("tga16.tga", W, H)  # PIL reads no alpha from 16-bit Targa files


# Run-length packets that run on across the end of a row: the whole picture
# coded as one stream of 24-bit pixels, top row first.
def rle_stream(values):
    out, i = b"", 0
    while i < len(values):
        run = 1
        while i + run < len(values) and run < 128 and values[i + run] == values[i]:
            run += 1
        if run > 1:
            out += bytes([0x80 | (run - 1)]) + values[i]
            i += run
            continue
        start = i
        while i < len(values) and i - start < 128 and (
                i + 1 >= len(values) or values[i + 1] != values[i]):
            i += 1
        out += bytes([i - start - 1]) + b"".join(values[start:i])
    return out


stripes = Image.new("RGB", (W, H))
for y in range(H):
    for x in range(W):
        stripes.putpixel((x, y), SRC.getpixel((x, y)) if (x // 5 + y) % 3 else (20, 40, 60))
values = [bytes(stripes.getpixel((x, y))[::-1]) for y in range(H) for x in range(W)]
open("tgarlewrap.tga", "wb").write(tga_header(10, W, H, 24, 0x20) + rle_stream(values))
# PIL refuses such packets ("buffer overrun"); ImageMagick reads the stripes.
assert magick_rgba("tgarlewrap.tga") == stripes.convert("RGBA").tobytes()
magick_ref("tgarlewrap.tga", W, H)


# TIFF ----------------------------------------------------------------------------
subprocess.run(["convert", "src.png", "-compress", "lzw", "TIFF64:bigtiff.tif"], check=True)
assert open("bigtiff.tif", "rb").read(4) == b"II+\0"
assert magick_rgba("bigtiff.tif") == SRC.convert("RGBA").tobytes()
# CIELab (D65 white), with white, black and grey patches beside a ramp,
# written by PIL from values computed here so that white is stored exactly
# as L* 100, a* 0, b* 0.
def srgb_to_lab(rgb):
    lin = [c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4
           for c in (v / 255 for v in rgb)]
    x = (0.4124564 * lin[0] + 0.3575761 * lin[1] + 0.1804375 * lin[2]) / 0.95047
    y = 0.2126729 * lin[0] + 0.7151522 * lin[1] + 0.0721750 * lin[2]
    z = (0.0193339 * lin[0] + 0.1191920 * lin[1] + 0.9503041 * lin[2]) / 1.08883

    def f(t):
        return t ** (1 / 3) if t > (6 / 29) ** 3 else t / (3 * (6 / 29) ** 2) + 4 / 29

    lightness, a, b = 116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z))
    clamp = lambda v: max(-128, min(127, round(v)))
    return (round(lightness * 255 / 100), clamp(a) + 128, clamp(b) + 128)


# The ramp is softened halfway to grey: ImageMagick's reading, the
# reference, strays far from the colours the values stand for near the
# edge of the sRGB gamut (red 28 for lime).
labsource = Image.blend(SRC, Image.new("RGB", SRC.size, (128, 128, 128)), 0.5)
for x in range(6):
    for y in range(6):
        labsource.putpixel((x, y), (255, 255, 255))
        labsource.putpixel((x + 6, y), (0, 0, 0))
        labsource.putpixel((x + 12, y), (128, 128, 128))
lab = Image.new("LAB", SRC.size)
lab.putdata([srgb_to_lab(labsource.getpixel((x, y))) for y in range(H) for x in range(W)])
lab.save("lab.tif")
assert Image.open("lab.tif").tag_v2[262] == 8  # photometric CIELab
magick_ref("lab.tif", W, H, "-colorspace", "sRGB")
# 16-bit colours stored multiplied by a 16-bit alpha.
subprocess.run(["convert", "srca.png", "-depth", "16", "-define", "tiff:alpha=associated",
                "-compress", "zip", "assocalpha16.tif"], check=True)
magick_ref("assocalpha16.tif", W, H)

# Orientations: each file holds src.png turned so that showing it as its tag
# says gives src.png back.
UNDO = {1: None, 2: Image.Transpose.FLIP_LEFT_RIGHT, 3: Image.Transpose.ROTATE_180,
        4: Image.Transpose.FLIP_TOP_BOTTOM, 5: Image.Transpose.TRANSPOSE,
        6: Image.Transpose.ROTATE_90, 7: Image.Transpose.TRANSVERSE,
        8: Image.Transpose.ROTATE_270}
NAMES = {1: "TopLeft", 2: "TopRight", 3: "BottomRight", 4: "BottomLeft", 5: "LeftTop",
         6: "RightTop", 7: "RightBottom", 8: "LeftBottom"}


def stored(orientation):
    return SRC if UNDO[orientation] is None else SRC.transpose(UNDO[orientation])


for o in range(1, 9):
    stored(o).save("stored.png")
    name = "orient%d.tif" % o
    subprocess.run(["convert", "stored.png", "-orient", NAMES[o], "-compress", "none", name],
                   check=True)
    assert magick_rgba(name, "-auto-orient") == SRC.convert("RGBA").tobytes(), name
    same(Image.open(name), SRC)  # PIL turns TIFF pictures upright as it loads them
os.remove("stored.png")

# JPEG ----------------------------------------------------------------------------
# Saturated stripes, chroma halved both ways: the default (fancy) upsampling
# blends the colour steps.
fancy = Image.new("RGB", (40, 24))
colours = [(255, 0, 0), (0, 0, 255), (0, 255, 0), (255, 255, 0), (255, 0, 255)]
for y in range(24):
    for x in range(40):
        fancy.putpixel((x, y), colours[(x // 3 + y // 5) % 5])
fancy.save("fancy.jpg", quality=90, subsampling=2)
pil_ref("fancy.jpg")
# EXIF orientation 1 to 8 in files whose upright picture is src.png.
for o in range(1, 9):
    exif = Image.Exif()
    exif[0x0112] = o
    name = "exif%d.jpg" % o
    stored(o).save(name, quality=95, subsampling=0, exif=exif.tobytes())
    pil_ref(name, ImageOps.exif_transpose(Image.open(name)))

# WMF -----------------------------------------------------------------------------
# A placeable metafile whose size field counts the 22 bytes of the placeable
# header too: a window of 96 x 64 units with a black rectangle from (20, 10)
# to (60, 40), at 96 units per inch.
records = (struct.pack("<IHhh", 5, 0x020B, 0, 0) +                 # SetWindowOrg 0, 0
           struct.pack("<IHhh", 5, 0x020C, 64, 96) +               # SetWindowExt 96 x 64
           struct.pack("<IHHHHH", 7, 0x02FC, 0, 0, 0, 0) +         # CreateBrushIndirect black
           struct.pack("<IHH", 4, 0x012D, 0) +                     # SelectObject 0
           struct.pack("<IHhhhh", 7, 0x041B, 40, 60, 10, 20) +     # Rectangle
           struct.pack("<IH", 3, 0))                               # end
header = struct.pack("<HHHIHIH", 1, 9, 0x0300, 0, 1, 7, 0)
words = (22 + len(header) + len(records)) // 2
header = struct.pack("<HHHIHIH", 1, 9, 0x0300, words, 1, 7, 0)
box = struct.pack("<hhhhH", 0, 0, 96, 64, 96)
checksum = 0
for (v,) in struct.iter_unpack("<H", struct.pack("<I", 0x9AC6CDD7) + le16(0) + box):
    checksum ^= v
placeable = struct.pack("<I", 0x9AC6CDD7) + le16(0) + box + le32(0) + le16(checksum)
open("placeablesize.wmf", "wb").write(placeable + header + records)
