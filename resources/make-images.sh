#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Writes the application icon and the About dialog's logo next to this script.
# The mark, two overlapping rings for a paired link, is drawn once as icon.svg
# and every raster size is rendered from it, so the sizes cannot drift apart.
# Needs ImageMagick 6 and the DejaVu fonts (Debian: imagemagick, fonts-dejavu-core).
set -eu

cd "$(dirname "$0")"
CONVERT="${CONVERT:-/usr/bin/convert}"
LOGO_FONT="${LOGO_FONT:-/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf}"

BLUE='#1d5f7a'
AMBER='#f2b134'
# The dialog face of the common light themes; the logo's soft edges are blended
# against it before its background is made transparent, since GIF has no partial alpha.
FACE='#efefef'

# No creation or modification stamps, so that re-running the script changes no file.
PNG_OPTS="-strip -define png:exclude-chunks=date,time"

cat >icon.svg <<EOF
<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <rect x="8" y="8" width="240" height="240" rx="52" ry="52" fill="$BLUE" stroke="none"/>
  <circle cx="98" cy="128" r="54" fill="none" stroke="#ffffff" stroke-width="24"/>
  <circle cx="158" cy="128" r="54" fill="none" stroke="$AMBER" stroke-width="24"/>
</svg>
EOF

# Rendered large once and scaled down, which anti-aliases the small sizes evenly.
"$CONVERT" -background none -density 288 icon.svg -resize 1024x1024 mark.tmp.png
trap 'rm -f mark.tmp.png' EXIT

for size in 48 128 256; do
    # shellcheck disable=SC2086
    "$CONVERT" mark.tmp.png -resize "${size}x${size}" $PNG_OPTS "PNG32:icon-$size.png"
done
# The window icon keeps to a palette of at most 256 colours.
# shellcheck disable=SC2086
"$CONVERT" mark.tmp.png -resize 24x24 -colors 256 $PNG_OPTS PNG8:icon.png

"$CONVERT" -size 150x61 "xc:$FACE" \
    \( mark.tmp.png -resize 40x40 \) -geometry +4+10 -composite \
    -font "$LOGO_FONT" -pointsize 19 -fill "$BLUE" -annotate +50+36 'Pairwick' \
    -fill "$AMBER" -draw 'rectangle 51,42 144,44' \
    -transparent "$FACE" -colors 128 logo.gif
