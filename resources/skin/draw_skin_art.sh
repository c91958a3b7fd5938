#!/usr/bin/env bash
# Draws the skin's artwork: every PNG in this folder comes from this script, so a change
# of look is a change here followed by a new run (ImageMagick 6 `convert`).
#
#   resources/skin/draw_skin_art.sh
#
# The Chinese pictures need a CJK font: apt-get install fonts-wqy-microhei.
# Sizes, cell counts and slice positions are fixed by the code that draws the images
# (src/skin/lum_skin.cpp); only the pixels are free. Every image is written as 32-bit
# RGBA so that the decoder hands back per-pixel alpha for all of them.
set -euo pipefail
cd "$(dirname "$0")"

LATIN_BOLD=DejaVu-Sans-Bold
LATIN=DejaVu-Sans
CJK=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
[ -f "$CJK" ] || { echo "missing $CJK: apt-get install fonts-wqy-microhei" >&2; exit 1; }

# Colours of the skin.
GREEN_TOP='#138f4f'
GREEN_BOTTOM='#25b56b'
GREEN_EDGE='#0d7a42'
GREY_EDGE='#c4c9c6'

# --- 10001 window background, 50 x 310, nine slices: left 10, right start 40, top 250,
# bottom start 300. A green band (rows 0..249) over a white lower part, framed by a one
# pixel edge. Every row and column that gets stretched is uniform along the stretch.
convert -size 50x250 "gradient:$GREEN_TOP-$GREEN_BOTTOM" \
    \( -size 50x60 xc:white \) -append \
    -fill "$GREEN_EDGE" -draw 'line 0,0 0,249' -draw 'line 49,0 49,249' -draw 'line 0,0 49,0' \
    -fill '#5fcf93' -draw 'line 1,249 48,249' \
    -fill "$GREY_EDGE" -draw 'line 0,250 0,309' -draw 'line 49,250 49,309' -draw 'line 0,309 49,309' \
    PNG32:window_background.png

# --- 10002 close button, 128 x 31, four cells of 32 x 31: normal, hover, pressed,
# disabled. A white cross on the green band; hover and press put a soft plate behind it.
cross() {  # cross <alpha of the glyph>
    echo "-stroke 'rgba(255,255,255,$1)' -strokewidth 2 -draw 'line 11,10 21,20' -draw 'line 21,10 11,20'"
}
close_cell() {  # close_cell <plate colour or none> <glyph alpha> <file>
    local plate=$1 alpha=$2 out=$3
    eval convert -size 32x31 xc:none \
        $([ "$plate" != none ] && echo "-fill '$plate' -draw 'roundrectangle 3,2 28,28 4,4'") \
        "$(cross "$alpha")" "PNG32:$out"
}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
close_cell none 1.0 "$tmp/c0.png"
close_cell 'rgba(255,255,255,0.28)' 1.0 "$tmp/c1.png"
close_cell 'rgba(0,40,20,0.35)' 1.0 "$tmp/c2.png"
close_cell none 0.35 "$tmp/c3.png"
convert "$tmp"/c0.png "$tmp"/c1.png "$tmp"/c2.png "$tmp"/c3.png +append PNG32:close_button.png

# --- 10005 shadow frame, 210 x 143, nine slices: left 30, right start 180, top 30,
# bottom start 113. The shadow window lies 20 pixels outside the main window, so the
# visible part is the outer ring: a blurred dark rectangle whose alpha falls off toward
# the edges, a little heavier below than above.
convert -size 210x143 xc:none -fill 'rgba(0,0,0,1)' -draw 'rectangle 18,17 191,123' \
    -channel A -blur 0x4 -evaluate multiply 0.42 +channel \
    PNG32:shadow_frame.png

# --- 10006 logo, 140 x 140: a white shield with a green check on transparent ground.
shield='path "M 70,12 L 118,30 L 118,66 C 118,98 96,118 70,130 C 44,118 22,98 22,66 L 22,30 Z"'
convert -size 140x140 xc:none \
    -fill 'rgba(0,0,0,0.18)' -draw "translate 0,3 $shield" -channel A -blur 0x3 +channel \
    -fill white -draw "$shield" \
    -fill "$GREEN_BOTTOM" -draw 'path "M 70,24 L 108,38 L 108,66 C 108,92 91,108 70,118 C 49,108 32,92 32,66 L 32,38 Z"' \
    -fill none -stroke white -strokewidth 10 \
    -draw 'stroke-linecap round stroke-linejoin round polyline 48,70 64,86 94,52' \
    PNG32:logo.png

# --- 10008 text button background, 192 x 32, four cells of 48 x 32: normal, hover,
# pressed, disabled; three slices: left cap 5, right cap from 44. The rounded corners fit
# inside the caps, the middle columns are uniform.
button_cell() {  # button_cell <fill> <edge> <file>
    convert -size 48x32 xc:none -fill "$1" -stroke "$2" -strokewidth 1 \
        -draw 'roundrectangle 0.5,0.5 47.5,31.5 4,4' "PNG32:$3"
}
button_cell '#22a861' '#1b9454' "$tmp/b0.png"
button_cell '#36c077' '#2aa965' "$tmp/b1.png"
button_cell '#168148' '#116e3c' "$tmp/b2.png"
button_cell '#c3c8c5' '#b3b8b5' "$tmp/b3.png"
convert "$tmp"/b0.png "$tmp"/b1.png "$tmp"/b2.png "$tmp"/b3.png +append PNG32:text_button.png

# --- 10013 progress streak, 241 x 33: a light streak that brightens toward its head at
# the right end and fades above and below, swept over the band while the work runs.
convert -size 241x33 xc:white \
    \( -size 33x241 gradient:black-white -rotate -90 -evaluate multiply 0.85 \
       \( -size 241x33 xc:black -fill white -draw 'rectangle 0,12 240,20' -blur 0x5 \) \
       -compose multiply -composite \) \
    -alpha off -compose copy_opacity -composite \
    \( -size 241x33 xc:none -fill 'rgba(255,255,255,0.9)' -draw 'ellipse 228,16 12,6 0,360' -blur 0x3 \) \
    -compose over -composite \
    PNG32:progress_streak.png

# --- 10101..10103 language pictures, 194 x 140 each: the product name beside the logo,
# in the language's script below it.
language_picture() {  # language_picture <subtitle font> <subtitle> <file>
    convert -size 194x140 xc:none \
        -fill white -font "$LATIN_BOLD" -pointsize 28 -gravity northwest -annotate +2+40 'Vexaguard' \
        -fill 'rgba(255,255,255,0.85)' -font "$1" -pointsize 17 -annotate +4+86 "$2" \
        "PNG32:$3"
}
language_picture "$LATIN" 'Security Suite' language_en.png
language_picture "$CJK" '安全防護套件' language_zh_tw.png
language_picture "$CJK" '安全防护套件' language_zh_cn.png

for f in window_background close_button shadow_frame logo text_button progress_streak \
    language_en language_zh_tw language_zh_cn; do
    printf '%-20s %s\n' "$f" "$(identify -format '%wx%h %[channels]' "$f.png")"
done

# Without the date chunks a new run of an unchanged script leaves the files unchanged.
for f in *.png; do
    convert "$f" -define png:exclude-chunks=date,time "PNG32:$f"
done
