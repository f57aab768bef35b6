#!/usr/bin/python3
"""Remakes the readings of the good files of the BMP suite that the codec
tests compare with: PIL's reading of g/NAME.bmp saved as NAME.bmp.png (RGB).

    /usr/bin/python3 make_refs.py /path/to/bmpsuite

PIL cannot read g/rgb32bf.bmp (32-bit masks in an unusual layout) and reads
the 4-bit run-length codes of g/pal4rle.bmp wrongly; for those two the
reading is ImageMagick's.
"""
import glob
import os
import subprocess
import sys

from PIL import Image

os.chdir(os.path.dirname(os.path.abspath(__file__)))
suite = sys.argv[1]
BY_IMAGEMAGICK = {"rgb32bf.bmp", "pal4rle.bmp"}
for path in sorted(glob.glob(os.path.join(suite, "g", "*.bmp"))):
    name = os.path.basename(path)
    if name in BY_IMAGEMAGICK:
        size = subprocess.run(["identify", "-format", "%w %h", path], check=True,
                              capture_output=True, text=True).stdout.split()
        raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True,
                             capture_output=True).stdout
        picture = Image.frombytes("RGB", (int(size[0]), int(size[1])), raw)
    else:
        picture = Image.open(path).convert("RGB")
    picture.save(name + ".png", optimize=True)
