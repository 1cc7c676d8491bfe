#!/usr/bin/env bash
# Installs the Debian 12 packages the build (and, with --test, the test suite; with --windows,
# the Windows cross-build and Wine) needs.
# Only packages that are missing are installed, so a second run costs a dpkg query.
set -euo pipefail
build_pkgs=(cmake ninja-build pkg-config g++ ccache
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev libqt6webenginecore6-bin libgl-dev
  qml6-module-qtwebengine qml6-module-qtqml-workerscript
  libsqlite3-dev libx11-dev libxi-dev libxtst-dev libinput-dev libudev-dev
  xvfb xauth x11-utils imagemagick fonts-noto-cjk dbus
  librsvg2-bin dpkg-dev file qt6-translations-l10n
  libpoco-dev sqlite3 libpqxx-dev)  # the product website (site/) and `make run` pointing the program at it
test_pkgs=(libgtest-dev libgmock-dev xdotool trayer python3-dbusmock dbus-x11 sqlite3 clang libclang-rt-14-dev
  desktop-file-utils appstream qt6-declarative-dev
  qt6-charts-dev  # Qt Charts only for the chart memory benchmark, never for the program
  weston qt6-wayland kwin-wayland  # real Wayland compositors for the window and KWin tests
  haskell-gtk-sni-tray-utils  # a StatusNotifierWatcher (the tray of Wayland desktops) for the tray test
  chromium chromium-driver nginx-light wrk  # the site in a real browser; its benchmark
  postgresql-15)  # a private cluster for the site's PostgreSQL tests
# The Windows build (mingw-w64, static runtime) and its tests under Wine.
windows_pkgs=(g++-mingw-w64-x86-64-posix googletest wine wine64 locales
  nsis)  # makensis: the Windows installer
want=("${build_pkgs[@]}")
for arg in "$@"; do
  case "$arg" in
    --test) want+=("${test_pkgs[@]}" "${windows_pkgs[@]}") ;;
    --windows) want+=("${windows_pkgs[@]}") ;;
  esac
done
missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""; [[ $(id -u) -ne 0 ]] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
