#!/usr/bin/env bash
# Installs the high-resolution earth images (4096 x 2048 JPEG) into the data folder:
# NASA's Blue Marble and Earth at Night as shipped in the examples of the npm package
# three-globe 2.45.2, the version of three-globe that globe.gl 2.46.2 depends on
# (globe.gl's own examples load the images from there). The package tarball is
# fetched with `npm pack` (no dependencies installed), checked against its pinned
# checksum, and the two JPEGs are copied byte for byte, as they come.
#
# Run by generate.sh; may be run alone. Work folder and output as in generate.sh.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
work="${CHRONVALE_DATA_WORK:-$repo/build/data-work}"
out="${CHRONVALE_DATA_OUT:-$repo/data}"

package="three-globe@2.45.2"
tarball="three-globe-2.45.2.tgz"
sum="f6deff6848980a4bda13b0993e5ebc929b27e791e063a5517c87115ff7e669cb"

mkdir -p "$work/hires"
cd "$work/hires"
if [ ! -f "$tarball" ]; then
  echo "data: fetching $package"
  npm pack "$package" --silent >/dev/null
fi
if ! echo "$sum  $tarball" | sha256sum -c --quiet - >/dev/null 2>&1; then
  echo "data: $tarball does not have the pinned checksum" >&2
  exit 1
fi
rm -rf package
tar xzf "$tarball" package/example/img/earth-blue-marble.jpg package/example/img/earth-night.jpg

mkdir -p "$out/images/hires"
for pair in "earth-blue-marble.jpg:earth_day.jpg" "earth-night.jpg:earth_night.jpg"; do
  from="package/example/img/${pair%%:*}"
  to="$out/images/hires/${pair##*:}"
  # A JPEG of 4096 x 2048 pixels: the program refuses any other size.
  if ! /usr/bin/python3 - "$from" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
i = 2
while i + 9 < len(data) and data[i] == 0xFF:
    marker, length = data[i + 1], struct.unpack(">H", data[i + 2:i + 4])[0]
    if marker in (0xC0, 0xC1, 0xC2):
        height, width = struct.unpack(">HH", data[i + 5:i + 9])
        sys.exit(0 if (width, height) == (4096, 2048) else 1)
    i += 2 + length
sys.exit(1)
PY
  then
    echo "data: $from is not a 4096 x 2048 JPEG" >&2
    exit 1
  fi
  install -m 0644 "$from" "$to.tmp"
  mv "$to.tmp" "$to"
done
echo "data: installed images/hires/earth_day.jpg and earth_night.jpg"
