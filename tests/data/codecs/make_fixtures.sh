#!/usr/bin/env bash
# Regenerates the picture fixtures of the codec tests with ImageMagick.
# Every fixture is made from src.png (37 x 23, a four-corner colour ramp)
# or srca.png (the same with an alpha ramp), so the tests can compare each
# decoded file with the source read by Qt.
set -euo pipefail
cd "$(dirname "$0")"
convert -size 37x23 xc: -sparse-color bilinear '0,0 red 36,0 yellow 0,22 blue 36,22 lime' \
  -depth 8 -define png:color-type=2 src.png
convert src.png \( -size 37x23 gradient:white-black \) -alpha off -compose CopyOpacity -composite \
  -depth 8 -define png:color-type=6 srca.png
convert src.png -colorspace gray -depth 8 -define png:color-type=0 grey.png
convert src.png -colors 16 -type Palette pal16.png
# Targa. NOTE: ImageMagick 6 writes the rows top first while it marks the
# origin bottom-left; -flip makes the files show their source upright.
convert src.png -flip -compress none tga24.tga
convert src.png -flip -compress RLE tga24rle.tga
convert srca.png -flip -compress RLE tga32rle.tga
convert grey.png -flip -compress none -type Grayscale tgagrey.tga
convert pal16.png -flip -compress none -type Palette tgamap.tga
# PCX
convert src.png pcx24.pcx
convert pal16.png -type Palette pcx8.pcx
convert src.png -monochrome pcx1.pcx
convert src.png -monochrome mono.png
# PNG variants
convert srca.png -colorspace gray -define png:color-type=4 greya.png
convert src.png -depth 16 rgb16.png
convert src.png -interlace PNG interlaced.png
# JPEG
convert src.png -quality 95 colour.jpg
convert grey.png -quality 95 grey.jpg
convert src.png -quality 95 -interlace JPEG progressive.jpg
convert src.png -colorspace CMYK -quality 95 cmyk.jpg
# TIFF
convert src.png -compress none rgb.tif
convert src.png -compress lzw lzw.tif
convert srca.png -compress zip rgba.tif
convert pal16.png -type Palette palette.tif
# Tiled TIFF: 16 x 16 tiles, clipped at the right and bottom edges
convert src.png -define tiff:tile-geometry=16x16 -compress none tiled16.tif
convert src.png -define tiff:tile-geometry=16x16 -compress lzw tiled16lzw.tif
convert src.png -define tiff:tile-geometry=16x16 -interlace plane -compress none tiled16planar.tif
convert srca.png -define tiff:tile-geometry=16x16 -compress zip tiled16alpha.tif
# TIFF alpha: pre-multiplied (associated), unspecified, 16 bits straight
convert srca.png -define tiff:alpha=associated -compress zip assocalpha.tif
convert srca.png -colorspace gray -define tiff:alpha=associated -compress zip greyassocalpha.tif
convert srca.png -define tiff:alpha=unspecified -compress zip unspecalpha.tif
convert srca.png -depth 16 -compress zip rgba16.tif
# ImageMagick's own reading of the pre-multiplied files, as raw RGBA bytes
convert assocalpha.tif -depth 8 rgba:assocalpha.rgba
convert greyassocalpha.tif -depth 8 rgba:greyassocalpha.rgba
# The other TIFFs read in ImageMagick exactly as the picture they were made from
for f in rgb lzw tiled16 tiled16lzw tiled16planar; do
  cmp <(convert $f.tif -depth 8 rgba:-) <(convert src.png -depth 8 rgba:-)
done
for f in rgba tiled16alpha unspecalpha rgba16; do
  cmp <(convert $f.tif -depth 8 rgba:-) <(convert srca.png -depth 8 rgba:-)
done
# PICT
convert src.png pict24.pict
convert pal16.png -type Palette pict8.pict
convert srca.png pictalpha.pict
convert src.png -monochrome pictmono.pict
# Rows over 250 bytes, whose byte counts are words
convert -size 260x4 xc: -sparse-color bilinear '0,0 red 259,0 yellow 0,3 blue 259,3 lime' \
  -depth 8 -define png:color-type=2 wide.png
convert wide.png -colors 16 -type Palette widepal16.png
convert wide.png pictwide24.pict
convert widepal16.png -type Palette pictwide8.pict
