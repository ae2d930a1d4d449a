#!/usr/bin/env bash
# Draws the program's icon (a clock face on a green rim, as the notification-area
# picture at rest) at 16, 32 and 48 pixels into tarvex.ico with ImageMagick.
# Run it again after changing the drawing; the .ico is kept in the repository.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for size in 16 32 48; do
  s() { echo $(( $1 * size / 64 )); }
  w=$(( size >= 32 ? 3 : 2 ))
  convert -size ${size}x${size} xc:none \
    -fill '#c8f0c8' -stroke '#006e00' -strokewidth $w \
    -draw "circle $(s 32),$(s 32) $(s 32),$(s 5)" \
    -stroke black -strokewidth $w \
    -draw "line $(s 32),$(s 32) $(s 32),$(s 14)" \
    -draw "line $(s 32),$(s 32) $(s 46),$(s 38)" \
    "$tmp/icon$size.png"
done
convert "$tmp/icon16.png" "$tmp/icon32.png" "$tmp/icon48.png" tarvex.ico
