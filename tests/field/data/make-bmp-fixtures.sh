#!/bin/sh
# Regenerates the bitmap fixtures of BmpFixtureTest with ImageMagick: small
# pictures in 1, 4, 8 and 24 bits, each written in ImageMagick's default BMP
# format (108/124-byte headers) and as BMP3 (40-byte header), plus the pixels
# ImageMagick itself decodes from every file (NAME.rgb, 8-bit RGB, top row
# first). Run from anywhere; writes next to this script.
set -eu
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# A width x height picture whose pixel k takes colour (k mod colours) from a
# fixed list of distinct colours.
picture() {
  awk -v w="$1" -v h="$2" -v n="$3" 'BEGIN {
    print "P3"; print w, h; print 255
    for (k = 0; k < w * h; k++) {
      c = (k * 7 + int(k / w)) % n
      printf "%d %d %d\n", (c * 97 + 30) % 256, (c * 57 + 200) % 256, (c * 151 + 11) % 256
    }
  }'
}

picture 13 5 2 > "$tmp/c2.ppm"
picture 7 5 11 > "$tmp/c11.ppm"
picture 13 7 40 > "$tmp/c40.ppm"
picture 9 6 54 > "$tmp/c54.ppm"

for fmt in BMP BMP3; do
  lower=$(echo "$fmt" | tr 'A-Z' 'a-z')
  convert "$tmp/c2.ppm" -type Palette "$fmt:im-$lower-1bit.bmp"
  convert "$tmp/c11.ppm" -type Palette "$fmt:im-$lower-4bit.bmp"
  convert "$tmp/c40.ppm" -type Palette "$fmt:im-$lower-8bit-rle.bmp"
  convert "$tmp/c40.ppm" -type Palette -compress none "$fmt:im-$lower-8bit.bmp"
  convert "$tmp/c54.ppm" -type TrueColor "$fmt:im-$lower-24bit.bmp"
done
for f in im-*.bmp; do
  case "$f" in *-rle.bmp) continue ;; esac
  convert "$f" -depth 8 "rgb:${f%.bmp}.rgb"
done
