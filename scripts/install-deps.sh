#!/usr/bin/env bash
# Installs the Debian 12 packages that the build, the tests and the benchmarks need.
# Only missing packages are installed, after one `apt-get update`; `sudo` is used
# when not running as root. Safe to run again: it does nothing when all is there.
set -euo pipefail

packages=(
  # toolchain and build
  g++ cmake ninja-build pkg-config make git
  # image and compression libraries
  zlib1g-dev libpng-dev libturbojpeg0-dev libgif-dev libdeflate-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # Qt 6, and a font for the map's texts (also when painting off screen)
  qt6-base-dev qt6-svg-dev libgl-dev fonts-dejavu-core
  # glyphs for the translations: Chinese, Japanese and Korean (Noto Sans CJK),
  # Arabic (Noto Sans Arabic UI); DejaVu covers Latin and Greek
  fonts-noto-cjk fonts-noto-ui-core
  # window tests, time zones; zic (libc-bin) compiles the tests' own zoneinfo
  # folders, python3 runs tools/check-local-times.py
  xvfb xauth tzdata libc-bin python3
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
  # the caching front of the image server, tested in front of two servers, and ss
  # for the server's listen backlog
  nginx-light iproute2
  # the desktops' wallpaper settings, for the wallpaper tests: gsettings with the
  # GNOME, Cinnamon and MATE schemas, xfconf (with its library, only recommended)
  # and the session bus that starts xfconfd and carries the scripted Plasma shell
  libglib2.0-bin gsettings-desktop-schemas cinnamon-desktop-data mate-desktop-common
  xfconf libxfconf-0-3 dbus dbus-bin
  # the installed desktop entry, AppStream file and man pages are checked; the .deb
  desktop-file-utils appstream man-db groff-base dpkg-dev fakeroot lintian
  # systemd-analyze verifies the installed user units
  systemd
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi

# The time-zone database changes several times a year and Debian ships each
# release as a security update: bring tzdata to the newest the archive offers,
# as users' systems have it, so that the local-time checks compare with it.
tzdata_upgrade() {
  $sudo apt-get update -qq
  local installed candidate
  installed="$(dpkg-query -W -f='${Version}' tzdata 2>/dev/null || true)"
  candidate="$(apt-cache policy tzdata | sed -n 's/^ *Candidate: //p')"
  if [ -n "$candidate" ] && [ "$candidate" != "(none)" ] && [ "$candidate" != "$installed" ] &&
    dpkg --compare-versions "$candidate" gt "${installed:-0}"; then
    echo "install-deps: upgrading tzdata ${installed:-none} -> $candidate"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq -o DPkg::Lock::Timeout=300 \
      --no-install-recommends \
      "tzdata=$candidate" >/dev/null
  fi
}
tzdata_upgrade

if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
# The proxy daemons and nginx are started by the tests on their own ports, never as services.
for svc in tinyproxy danted nginx; do
  if command -v systemctl >/dev/null 2>&1; then
    $sudo systemctl disable --now "$svc" >/dev/null 2>&1 || true
  fi
  $sudo service "$svc" stop >/dev/null 2>&1 || true
done
