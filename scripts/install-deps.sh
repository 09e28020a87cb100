#!/usr/bin/env bash
# Installs the Debian 12 packages that the build, the tests and the benchmarks need.
# Only missing packages are installed, after one `apt-get update`; `sudo` is used
# when not running as root. Safe to run again: it does nothing when all is there.
set -euo pipefail

packages=(
  # toolchain and build
  g++ cmake ninja-build pkg-config make git
  # image and compression libraries
  zlib1g-dev libpng-dev libturbojpeg0-dev libgif-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # Qt 6, and a font for the map's texts (also when painting off screen)
  qt6-base-dev qt6-svg-dev libgl-dev fonts-dejavu-core
  # glyphs for the translations: Chinese, Japanese and Korean (Noto Sans CJK),
  # Arabic (Noto Sans Arabic UI); DejaVu covers Latin and Greek
  fonts-noto-cjk fonts-noto-ui-core
  # window tests, time zones
  xvfb xauth tzdata
  # Wayland: Qt's platform plugin (the window's run-time need) and a headless
  # compositor to start the window under in the tests
  qt6-wayland weston
  # Qt's own texts (standard shortcuts, dialogs) and the countries' names in
  # every language, read from the iso-codes catalogs
  qt6-translations-l10n iso-codes
  # real proxy peers for the network tests
  tinyproxy microsocks dante-server
  # the image server
  libcpp-httplib-dev libcurl4-openssl-dev
  # the desktops' wallpaper settings, for the wallpaper tests: gsettings with the
  # GNOME, Cinnamon and MATE schemas, xfconf (with its library, only recommended)
  # and the session bus that starts xfconfd and carries the scripted Plasma shell
  libglib2.0-bin gsettings-desktop-schemas cinnamon-desktop-data mate-desktop-common
  xfconf libxfconf-0-3 dbus dbus-bin
  # the installed desktop entry, AppStream file and man pages are checked; the .deb
  desktop-file-utils appstream man-db groff-base dpkg-dev fakeroot lintian
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
# The proxy daemons are started by the tests on their own ports, never as services.
for svc in tinyproxy danted; do
  if command -v systemctl >/dev/null 2>&1; then
    $sudo systemctl disable --now "$svc" >/dev/null 2>&1 || true
  fi
  $sudo service "$svc" stop >/dev/null 2>&1 || true
done
