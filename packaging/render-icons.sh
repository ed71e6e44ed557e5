#!/usr/bin/env bash
# Renders the application icon's PNG sizes from icons/lineforge.svg into icons/lineforge-<size>.png.
# The PNGs are committed, so a build needs no SVG renderer; run this again after editing the SVG.
# Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
command -v rsvg-convert >/dev/null || { echo "rsvg-convert is missing: apt-get install librsvg2-bin" >&2; exit 1; }
for size in 16 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" --format png \
        --output "$here/icons/lineforge-$size.png" "$here/icons/lineforge.svg"
done
echo "Rendered: $(cd "$here/icons" && ls lineforge-*.png | tr '\n' ' ')"
