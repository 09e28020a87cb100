# The Debian package (`make deb`): CPack installs what `cmake --install` installs
# into /usr and takes the run-time dependencies (Qt 6, libpng, libjpeg-turbo,
# giflib, zlib ...) from dpkg-shlibdeps. Configure with
# -DCMAKE_INSTALL_PREFIX=/usr so that the manual pages and the systemd unit name
# the folders the package installs into.

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "chronvale")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "Quillmar")
set(CPACK_PACKAGE_CONTACT "Chronvale maintainers <maintainers@chronvale.net>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "world clock on a map of the earth lit as it is lit now")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://chronvale.net/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its platform plugins at run time, out of dpkg-shlibdeps' sight: the
# window needs the X11 one and, in a Wayland session, the Wayland one.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-wayland")
# The map's texts in every language of the Language menu; Qt's own texts and the
# countries' names in the user's language (English without them).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-noto-cjk, fonts-noto-core, iso-codes, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The maintainer scripts enable the image server's socket for every user.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    "${PROJECT_SOURCE_DIR}/dist/debian/postinst;${PROJECT_SOURCE_DIR}/dist/debian/postrm")
# The extended description below the summary line; CPack indents each line and
# turns the empty one into " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Chronvale shows the earth with day and night as they are at this moment:
the sun's shadow, the lights of the cities at night, satellite clouds,
time zones and the earthquakes of the past week. Marked cities show their
local times; a city's properties give its sunrise, sunset, dialling codes
and daylight-saving period. It lives in the notification area.

The package also holds chronvale-imaged, a small server of cloud frames
and earthquakes that mirrors public sources, and chronvale-pack, which
turns the packed data tables into text and back.")

include(CPack)
