#!/bin/sh
# Regenerates every picture of this folder from scratch with ImageMagick.
#
#   Vandrel.ico   brand mark ("V" in a circle)
#   ok-icon.ico   green check           (accept)
#   close.ico     red X                 (exit / close a panel)
#   menu.ico      house                 (back to the main menu)
#   back.ico      left arrow            (previous page)
#   Gointo.ico    right arrow           (next page)
#   enviar.ico    paper plane           (send the order)
#   limpiar1.ico  broom                 ("LIMPIAR": clear the order)
#   limpiar.ico   door with an arrow    ("SALIR " of the order screen)
#   logo.png      382 x 285 restaurant artwork
#   pointer.png   32 x 32 pointing hand, hot spot at (9, 1)
#
# Every icon is drawn once on a 384 x 384 canvas (8 x 48) and scaled down to
# 16, 24, 32 and 48 px; the four images are stored in one .ico file.
set -eu
cd "$(dirname "$0")"
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

# icon NAME DRAW-ARGUMENTS...
icon() {
    name=$1; shift
    convert -size 384x384 xc:none "$@" "$TMP/$name-big.png"
    for s in 16 24 32 48; do
        convert "$TMP/$name-big.png" -filter Triangle -resize ${s}x${s} \
            -define png:color-type=6 "PNG32:$TMP/$name-$s.png"
    done
    convert "$TMP/$name-16.png" "$TMP/$name-24.png" "$TMP/$name-32.png" \
        "$TMP/$name-48.png" "$name.ico"
}

# Every -draw starts with round line caps and joins ($R).
R="stroke-linecap round stroke-linejoin round"

# Accept: green check with a dark rim.
icon ok-icon \
    -fill none -stroke '#1b5e20' -strokewidth 84 \
    -draw "$R polyline 72,196 158,282 316,104" \
    -stroke '#43c04f' -strokewidth 52 \
    -draw "$R polyline 72,196 158,282 316,104"

# Close: red X with a dark rim.
icon close \
    -fill none -stroke '#7f0000' -strokewidth 84 \
    -draw "$R line 76,76 308,308" -draw "$R line 308,76 76,308" \
    -stroke '#e53935' -strokewidth 52 \
    -draw "$R line 76,76 308,308" -draw "$R line 308,76 76,308"

# Main menu: a house.
icon menu \
    -stroke '#0d3c7a' -strokewidth 20 \
    -fill '#c62828' -draw "$R polygon 192,36 356,188 28,188" \
    -fill '#f5f5f5' -draw "$R rectangle 74,176 310,344" \
    -fill '#1976d2' -draw "$R rectangle 160,232 224,344" \
    -stroke none -fill '#c62828' -draw "$R polygon 192,52 334,184 50,184"

# Previous page: left arrow.
ARROW="polygon 32,192 180,48 180,132 352,132 352,252 180,252 180,336"
icon back \
    -stroke '#0d3c7a' -strokewidth 22 -fill '#2f86e0' \
    -draw "$R $ARROW" \
    -stroke none -fill '#7fb8f2' -draw "$R polygon 76,186 164,98 164,150 334,150 334,186"

# Next page: right arrow (the same arrow mirrored).
icon Gointo \
    -stroke '#0d3c7a' -strokewidth 22 -fill '#2f86e0' \
    -draw "$R $ARROW" \
    -stroke none -fill '#7fb8f2' -draw "$R polygon 76,186 164,98 164,150 334,150 334,186" \
    -flop

# Send: paper plane flying up to the right.
icon enviar \
    -stroke '#0d3c7a' -strokewidth 18 \
    -fill '#8cc2f5' -draw "$R polygon 24,178 360,32 174,236" \
    -fill '#3f8ee0' -draw "$R polygon 174,236 360,32 240,352" \
    -fill '#1a4f95' -draw "$R polygon 174,236 212,274 166,336"

# Clear the order: a broom, handle up to the right, bristles down to the left.
icon limpiar1 \
    -stroke '#4e2a10' -strokewidth 64 -draw "$R line 346,38 214,170" \
    -stroke '#b5773a' -strokewidth 36 -draw "$R line 346,38 214,170" \
    -stroke '#6d4c00' -strokewidth 20 -fill '#f4c430' \
    -draw "$R polygon 170,134 250,214 200,364 20,184" \
    -stroke '#9a6b00' -strokewidth 14 \
    -draw "$R line 168,248 70,200" -draw "$R line 186,300 58,236" \
    -draw "$R line 196,338 100,290" \
    -stroke '#6d4c00' -strokewidth 20 -fill '#c62828' \
    -draw "$R polygon 156,120 264,228 226,266 118,158"

# Leave the order screen: a brown door with a green arrow going out.
icon limpiar \
    -stroke '#3e2410' -strokewidth 20 -fill '#8d5a2b' \
    -draw "$R roundrectangle 40,28 236,360 14,14" \
    -stroke '#5d3a1a' -strokewidth 10 -fill '#a8743f' \
    -draw "$R roundrectangle 74,62 202,178 8,8" -draw "$R roundrectangle 74,206 202,326 8,8" \
    -stroke '#7a5a00' -strokewidth 8 -fill '#ffd54f' -draw "$R circle 92,196 92,178" \
    -stroke '#1b5e20' -strokewidth 22 -fill '#43b04a' \
    -draw "$R polygon 150,150 258,150 258,86 360,192 258,298 258,234 150,234"

# Brand mark: stylised V in a circle.
icon Vandrel \
    -stroke '#4a0d16' -strokewidth 20 -fill '#a3182e' \
    -draw "$R circle 192,192 192,16" \
    -stroke '#f2c14e' -strokewidth 12 -fill none \
    -draw "$R circle 192,192 192,50" \
    -stroke none -fill '#ffffff' \
    -draw "$R polygon 84,98 150,98 192,236 234,98 300,98 222,302 162,302"

# Mouse pointer: a hand with the index finger up.  Drawn at 8 x; the tip of
# the finger's outline is at (76, 8) of the big canvas, i.e. pixel (9, 1).
HAND_SHAPES='
roundrectangle 58,18 94,170 18,18
roundrectangle 88,100 124,176 16,16
roundrectangle 118,110 154,180 16,16
roundrectangle 148,122 184,186 16,16
roundrectangle 58,140 184,246 30,30
polygon 60,206 22,148 34,128 72,150'
convert -size 256x256 xc:none \
    -stroke black -strokewidth 20 -fill black -draw "$R $HAND_SHAPES" \
    -stroke none -fill white -draw "$R $HAND_SHAPES" \
    -stroke black -strokewidth 8 -fill none \
    -draw "$R line 94,132 94,158" -draw "$R line 124,136 124,162" \
    -draw "$R line 154,144 154,168" \
    "$TMP/pointer-big.png"
convert "$TMP/pointer-big.png" -filter Triangle -resize 32x32 -define png:exclude-chunks=date,time "PNG32:pointer.png"

# Logo: a plate with a salad between a fork and a knife on a cream card.  Drawn at 2 x.
convert -size 764x570 xc:'rgb(224,224,224)' \
    -stroke '#b89b6e' -strokewidth 6 -fill '#faf3e6' \
    -draw "$R roundrectangle 14,14 750,556 48,48" \
    -stroke none -fill '#e9dcc3' \
    -draw "$R roundrectangle 40,410 724,530 30,30" \
    -fill '#c9b48c' -draw "$R ellipse 382,300 206,190 0,360" \
    -stroke '#a8a8a8' -strokewidth 6 -fill '#ffffff' \
    -draw "$R circle 382,280 382,90" \
    -stroke '#dedede' -strokewidth 5 -fill '#fbfbfb' \
    -draw "$R circle 382,280 382,150" \
    -stroke '#2e7d32' -strokewidth 5 -fill '#66bb6a' \
    -draw "$R ellipse 340,250 70,38 0,360" \
    -draw "$R ellipse 420,240 64,36 0,360" \
    -draw "$R ellipse 384,310 78,40 0,360" \
    -fill '#9ccc65' -draw "$R ellipse 322,312 48,28 0,360" \
    -draw "$R ellipse 446,306 50,28 0,360" \
    -stroke '#b71c1c' -fill '#e53935' \
    -draw "$R circle 350,286 350,258" -draw "$R circle 424,282 424,256" \
    -draw "$R circle 388,232 388,210" \
    -stroke none -fill '#ffcdd2' \
    -draw "$R circle 342,278 342,270" -draw "$R circle 416,274 416,267" \
    -fill '#fff59d' -stroke '#f9a825' -strokewidth 4 \
    -draw "$R circle 392,346 392,330" -draw "$R circle 300,272 300,258" \
    -stroke '#6d6d6d' -strokewidth 5 -fill '#bdbdbd' \
    -draw "$R roundrectangle 112,250 134,500 10,10" \
    -draw "$R roundrectangle 94,196 152,266 16,16" \
    -draw "$R roundrectangle 94,110 106,220 6,6" -draw "$R roundrectangle 109,110 121,220 6,6" \
    -draw "$R roundrectangle 125,110 137,220 6,6" -draw "$R roundrectangle 140,110 152,220 6,6" \
    -stroke none -draw "$R rectangle 97,192 149,222" \
    -stroke '#6d6d6d' -strokewidth 5 -fill '#bdbdbd' \
    -draw "$R polygon 652,90 652,300 620,300 620,180" \
    -fill '#8d5a2b' -stroke '#4e2a10' \
    -draw "$R roundrectangle 618,296 656,500 14,14" \
    -stroke none -fill '#d9b38c' \
    -draw "$R circle 637,340 637,333" -draw "$R circle 637,450 637,443" \
    -filter Triangle -resize 382x285! -define png:exclude-chunks=date,time "PNG24:logo.png"

echo "icons written to $(pwd)"
