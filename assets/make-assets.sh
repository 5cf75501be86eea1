#!/usr/bin/env bash
# Draws the program's pictures with ImageMagick 6 and writes them beside this
# script: about.jpg (the About window's picture: stacks of aluminium sheets in
# a warehouse), sheetmass.png and sheetmass.ico (the program's icon), and the
# icons of the other sizes that the package installs, in icons/.
# The outputs are committed; run this again only to change them.
set -euo pipefail

cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# ---------------------------------------------------------------- the picture
# Drawn at twice the size and halved at the end, which smooths the edges.
# Everything is laid out on a 488 x 362 canvas. The labels of the About window
# lie over nearly all of it in light colours, so the hall is kept dim.
W=488
H=362

# A stack of sheets on timber bearers, seen from the front and a little above.
# stack X Y WIDTH SHEETS DEPTH: X,Y is the front-bottom-left corner; the top
# face recedes DEPTH pixels up and to the right.
stack() {
    local x=$1 y=$2 w=$3 n=$4 d=$5
    local bearer=8 layer=4
    local base=$((y - bearer))
    local top=$((base - n * layer))
    local dx=$((d * 3 / 4))
    # bearers under the front and under the side
    local b
    for b in $((x + 8)) $((x + w / 2 - 8)) $((x + w - 24)); do
        printf 'fill #4a3422 rectangle %d,%d %d,%d ' "$b" "$base" $((b + 16)) "$y"
        printf 'fill #2a1d13 rectangle %d,%d %d,%d ' "$b" $((y - 2)) $((b + 16)) "$y"
    done
    # side face, darker, with the sheet edges running back
    printf 'fill #343e49 polygon %d,%d %d,%d %d,%d %d,%d ' \
        $((x + w)) "$base" $((x + w)) "$top" $((x + w + dx)) $((top - d)) $((x + w + dx)) $((base - d))
    local i
    for ((i = 1; i < n; i++)); do
        local ys=$((base - i * layer))
        printf 'stroke #222a32 stroke-width 1 line %d,%d %d,%d stroke none ' \
            $((x + w)) "$ys" $((x + w + dx)) $((ys - d))
    done
    # front face: the edge of every sheet, lit from above
    for ((i = 0; i < n; i++)); do
        local y0=$((base - (i + 1) * layer))
        local c='#7a8796'
        ((i % 3 == 1)) && c='#6a7684'
        ((i % 3 == 2)) && c='#8896a5'
        printf 'fill %s rectangle %d,%d %d,%d ' "$c" "$x" "$y0" $((x + w)) $((y0 + layer - 2))
        printf 'fill #2b333c rectangle %d,%d %d,%d ' "$x" $((y0 + layer - 1)) $((x + w)) $((y0 + layer - 1))
    done
    # top face: the uppermost sheet, with a sheen running across it
    printf 'fill #7f8e9e polygon %d,%d %d,%d %d,%d %d,%d ' \
        "$x" "$top" $((x + w)) "$top" $((x + w + dx)) $((top - d)) $((x + dx)) $((top - d))
    printf 'fill #a3b3c3 polygon %d,%d %d,%d %d,%d %d,%d ' \
        $((x + w / 3)) "$top" $((x + w / 3 + 26)) "$top" $((x + w / 3 + 26 + dx)) $((top - d)) \
        $((x + w / 3 + dx)) $((top - d))
    printf 'fill #93a2b2 polygon %d,%d %d,%d %d,%d %d,%d ' \
        $((x + w / 3 + 34)) "$top" $((x + w / 3 + 40)) "$top" $((x + w / 3 + 40 + dx)) $((top - d)) \
        $((x + w / 3 + 34 + dx)) $((top - d))
    printf 'stroke #c9d6e2 stroke-width 1 line %d,%d %d,%d stroke none ' "$x" "$top" $((x + w)) "$top"
}

# One bay of pallet racking against the back wall: blue uprights, orange beams,
# a strapped bundle of sheets on each level.
rack() {
    local x=$1 w=$2 y0=$3 y1=$4
    local levels=3
    local step=$(((y1 - y0) / levels))
    local l
    for ((l = 0; l < levels; l++)); do
        local beam=$((y0 + (l + 1) * step))
        local bh=$((14 + (l * 7 + x) % 10))
        local bx0=$((x + 8)) bx1=$((x + w - 8))
        local btop=$((beam - 4 - bh))
        local k
        for ((k = 0; k < bh; k += 3)); do
            local c='#59636f'
            ((k % 6)) && c='#6b7683'
            printf 'fill %s rectangle %d,%d %d,%d ' "$c" "$bx0" $((beam - 4 - k - 2)) "$bx1" $((beam - 4 - k))
            printf 'fill #30373f rectangle %d,%d %d,%d ' "$bx0" $((beam - 4 - k - 3)) "$bx1" $((beam - 4 - k - 3))
        done
        printf 'fill #8fa0b1 rectangle %d,%d %d,%d ' "$bx0" "$btop" "$bx1" $((btop + 1))
        # steel straps round the bundle
        local s
        for s in $((bx0 + 24)) $((bx1 - 28)); do
            printf 'fill #262b31 rectangle %d,%d %d,%d ' "$s" "$btop" $((s + 3)) $((beam - 4))
        done
        printf 'fill #2e2a26 rectangle %d,%d %d,%d ' $((x + 14)) $((beam - 4)) $((x + 24)) $((beam - 1))
        printf 'fill #2e2a26 rectangle %d,%d %d,%d ' $((x + w - 24)) $((beam - 4)) $((x + w - 14)) $((beam - 1))
        # beam
        printf 'fill #8a4a16 rectangle %d,%d %d,%d ' "$x" "$beam" $((x + w)) $((beam + 5))
        printf 'fill #b8702a rectangle %d,%d %d,%d ' "$x" "$beam" $((x + w)) $((beam + 1))
    done
    # uprights with their punched holes
    local u
    for u in "$x" $((x + w - 6)); do
        printf 'fill #1f3f6a rectangle %d,%d %d,%d ' "$u" "$y0" $((u + 6)) "$y1"
        printf 'fill #3565a6 rectangle %d,%d %d,%d ' "$u" "$y0" $((u + 1)) "$y1"
        local h
        for ((h = y0 + 4; h < y1 - 2; h += 9)); do
            printf 'fill #12243d rectangle %d,%d %d,%d ' $((u + 3)) "$h" $((u + 4)) $((h + 2))
        done
    done
}

scene() {
    # roof trusses
    local t
    for ((t = -40; t < W; t += 60)); do
        printf 'stroke #2a2f37 stroke-width 3 line %d,0 %d,34 stroke none ' "$t" $((t + 30))
        printf 'stroke #2a2f37 stroke-width 3 line %d,34 %d,0 stroke none ' $((t + 30)) $((t + 60))
    done
    printf 'fill #23282f rectangle 0,32 %d,38 ' "$W"
    # wall columns
    local c
    for c in 0 160 320 480; do
        printf 'fill #20252c rectangle %d,38 %d,226 ' "$c" $((c + 10))
    done
    # racking along the back wall
    rack 14 140 56 224
    rack 170 140 56 224
    rack 330 140 56 224
    # the floor line and a yellow walkway marking
    printf 'fill #1b1e22 rectangle 0,224 %d,230 ' "$W"
    printf 'fill #6e6326 polygon 0,268 %d,246 %d,250 0,274 ' "$W" "$W"
    # stacks on the floor, back ones first
    stack 30 262 120 6 18
    stack 196 258 108 8 16
    stack 350 266 100 5 18
    stack 6 356 160 9 26
    stack 292 360 150 7 26
    # hanging lamps at the two upper corners, clear of the title
    local lx
    for lx in 20 462; do
        printf 'stroke #15181c stroke-width 2 line %d,0 %d,14 stroke none ' "$lx" "$lx"
        printf 'fill #3a3f46 polygon %d,14 %d,14 %d,24 %d,24 ' $((lx - 4)) $((lx + 4)) $((lx + 12)) $((lx - 12))
        printf 'fill #fff4c8 ellipse %d,25 9,3 0,360 ' "$lx"
    done
}

# Back wall and floor as gradients, then the drawn scene, then the light
# of the lamps and a vignette, then a little grain.
convert -size ${W}x230 gradient:'#15191f-#30353c' "$work/wall.png"
convert -size ${W}x$((H - 230)) gradient:'#3a3d41-#22252a' "$work/floor.png"
convert "$work/wall.png" "$work/floor.png" -append "$work/base.png"
# shellcheck disable=SC2046
convert "$work/base.png" -draw "$(scene)" "$work/scene.png"
convert -size ${W}x${H} xc:black \
    -fill '#6a5a34' -draw 'ellipse 20,34 60,60 0,360' \
    -fill '#6a5a34' -draw 'ellipse 462,34 60,60 0,360' \
    -fill '#2c2a24' -draw 'ellipse 244,250 260,90 0,360' \
    -blur 0x30 "$work/light.png"
convert -size ${W}x${H} radial-gradient:'#ffffff-#6a6a6a' "$work/vignette.png"
convert "$work/scene.png" "$work/light.png" -compose Screen -composite \
    "$work/vignette.png" -compose Multiply -composite \
    -seed 1961 -attenuate 0.25 +noise Gaussian \
    -blur 0x0.4 -resize 244x181! "$work/picture.png"

convert "$work/picture.png" -strip -colorspace sRGB -type TrueColor \
    -sampling-factor 2x2,1x1,1x1 -quality 88 -interlace none \
    -density 150 -units PixelsPerInch JPEG:about.jpg

# ------------------------------------------------------------------- the icons
# A grey metal plate in perspective. Its outlines lie on a 256 x 256 grid:
# the top face, the two sides seen below it, the whole silhouette, and two
# bands of sheen across the top.
body='16,124 144,52 240,124 112,196 112,224 16,152'
top='16,124 144,52 240,124 112,196'
left='16,124 112,196 112,224 16,152'
right='112,196 240,124 240,152 112,224'
outline='16,124 144,52 240,124 240,152 112,224 16,152'
sheen='70,120 150,76 172,92 92,136'
glint='118,154 190,112 200,120 128,162'

# at FACTOR POINT...: the points of the grid, FACTOR times as far out.
at() {
    local f=$1 p points=()
    shift
    for p in "$@"; do
        points+=("$((${p%,*} * f)),$((${p#*,} * f))")
    done
    echo "${points[*]}"
}

# plate FACTOR STROKE OUT [REPAGE]: the plate drawn FACTOR times the grid's
# size, its outline STROKE grid units wide. Without +repage as REPAGE, the
# rotated sheen is cropped off its centre (the rotation's canvas offset shifts
# the crop), which darkens the plate and leaves a white corner at the right
# tip; the window's icon was drawn so and its 32 pixels hide the corner.
plate() {
    local f=$1 stroke=$2 out=$3 repage=${4:-}
    local n=$((256 * f))
    # shellcheck disable=SC2086
    convert -size ${n}x${n} xc:none \
        -fill '#3c4248' -draw "polygon $(at "$f" $body)" \
        -fill '#3c4248' -draw "polygon $(at "$f" $right)" \
        -fill '#5d656d' -draw "polygon $(at "$f" $left)" \
        -fill '#7b848d' -draw "polygon $(at "$f" $right)" \
        "$work/edges.png"
    # shellcheck disable=SC2086
    convert -size ${n}x${n} gradient:'#e9eef2-#8f989f' -rotate -35 $repage -gravity center \
        -crop ${n}x${n}+0+0 +repage "$work/metal.png"
    # shellcheck disable=SC2086
    convert -size ${n}x${n} xc:black -fill white -draw "polygon $(at "$f" $top)" \
        "$work/topmask.png"
    # shellcheck disable=SC2086
    convert "$work/metal.png" "$work/topmask.png" -alpha off -compose CopyOpacity -composite \
        -fill 'rgba(255,255,255,0.55)' -draw "polygon $(at "$f" $sheen)" \
        -fill 'rgba(255,255,255,0.35)' -draw "polygon $(at "$f" $glint)" \
        "$work/top.png"
    # shellcheck disable=SC2086
    convert "$work/edges.png" "$work/top.png" -compose Over -composite \
        -fill none -stroke '#2b3036' -strokewidth $((stroke * f)) \
        -draw "polygon $(at "$f" $outline)" \
        "$out"
}

# The window's icon: drawn at 8 times the size and reduced to 32 x 32 with a
# palette of at most 256 colours and a one-bit mask.
plate 1 6 "$work/icon-big.png"
convert "$work/icon-big.png" -filter Box -resize 32x32 \
    -channel A -threshold 50% +channel "$work/icon.png"
convert "$work/icon.png" -strip PNG8:sheetmass.png
# A palette image makes an 8-bit icon with an AND mask rather than a 32-bit one.
convert sheetmass.png -strip -type PaletteMatte sheetmass.ico

# The menu's and software centres' sizes, in full colour with a soft edge:
# drawn at 1024 x 1024 and reduced. Below 48 pixels the outline is kept one
# pixel wide, or the plate would fade into a light background.
mkdir -p icons
for size in 16 22 24 48 64 128 256; do
    stroke=$(((256 + size - 1) / size))
    ((stroke < 6)) && stroke=6
    plate 4 "$stroke" "$work/plate.png" +repage
    convert "$work/plate.png" -filter Box -resize ${size}x${size} -strip PNG32:icons/sheetmass-$size.png
done

# The same plate as a scalable icon, on the same grid.
cat >icons/sheetmass.svg <<SVG
<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <title>sheetmass</title>
  <defs>
    <linearGradient id="metal" gradientUnits="userSpaceOnUse" x1="128" y1="0" x2="128" y2="256"
                    gradientTransform="rotate(-35 128 128)">
      <stop offset="0" stop-color="#e9eef2"/>
      <stop offset="1" stop-color="#8f989f"/>
    </linearGradient>
  </defs>
  <polygon points="$left" fill="#5d656d"/>
  <polygon points="$right" fill="#7b848d"/>
  <polygon points="$top" fill="url(#metal)"/>
  <polygon points="$sheen" fill="#ffffff" fill-opacity="0.55"/>
  <polygon points="$glint" fill="#ffffff" fill-opacity="0.35"/>
  <polygon points="$outline" fill="none" stroke="#2b3036" stroke-width="6"/>
</svg>
SVG
