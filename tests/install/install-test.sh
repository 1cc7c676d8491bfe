#!/usr/bin/env bash
# What `cmake --install` puts in place, and the Debian package built from it: the file list,
# the desktop entry and metainfo validated, icon sizes, the version everywhere it is written,
# and the installed program answering --version with no display.
# Usage: install-test.sh <build dir> <version>
set -euo pipefail
build=$1 version=$2
tmp=$(mktemp -d "${PT_TEST_ROOT:-/tmp}/install.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
id=net.pathtally.Pathtally

# --- cmake --install into a DESTDIR ----------------------------------------------------
DESTDIR="$tmp/root" cmake --install "$build" --prefix /usr >"$tmp/install.log"
root="$tmp/root"
expected=(usr/bin/pathtally
  usr/lib/pathtally/pathtally_web.so
  usr/lib/udev/rules.d/70-pathtally-input.rules
  usr/share/applications/$id.desktop
  usr/share/doc/pathtally/CHANGELOG.md
  usr/share/doc/pathtally/LICENSE
  usr/share/doc/pathtally/copyright
  usr/share/icons/hicolor/scalable/apps/$id.svg
  usr/share/man/man1/pathtally.1.gz
  usr/share/metainfo/$id.metainfo.xml)
sizes=(16 22 24 32 48 64 128 256)
for s in "${sizes[@]}"; do expected+=("usr/share/icons/hicolor/${s}x${s}/apps/$id.png"); done
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$root" && find . -type f -printf '%P\n' | sort) ||
  fail "installed files differ from the expected list (< expected, > installed)"
[[ -x "$root/usr/bin/pathtally" ]] || fail "the program is not executable"

# Each bitmap icon has the size its folder names (PNG header: width and height at 16).
for s in "${sizes[@]}"; do
  png="$root/usr/share/icons/hicolor/${s}x${s}/apps/$id.png"
  [[ -f "$png" ]] || continue
  got=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
  [[ "$got" == "${s}x${s}" ]] || fail "icon ${s}x${s} is $got"
done

desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop entry invalid"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" >"$tmp/as.log" 2>&1 ||
  { cat "$tmp/as.log"; fail "metainfo invalid"; }
grep -q "^Icon=$id\$" "$root/usr/share/applications/$id.desktop" || fail "desktop entry icon"
grep -q "^Exec=pathtally" "$root/usr/share/applications/$id.desktop" || fail "desktop entry Exec"

# The version: the program, the newest release in the metainfo, the manual page.
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/pathtally" --version 2>&1) ||
  fail "--version failed: $out"
[[ "$out" == "Pathtally $version" ]] || fail "--version printed '$out', not 'Pathtally $version'"
release=$(grep -o '<release version="[^"]*"' "$root/usr/share/metainfo/$id.metainfo.xml" | head -1)
[[ "$release" == "<release version=\"$version\"" ]] || fail "metainfo's newest release: $release"
zcat "$root/usr/share/man/man1/pathtally.1.gz" | head -1 | grep -q "Pathtally $version" ||
  fail "manual page version"
help=$(env -u DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/pathtally" --help 2>&1) || fail "--help failed"
grep -q -- "--version" <<<"$help" || fail "--help does not list --version: $help"
# A wrong option is refused before any display is needed, Qt's own options taken out
# first; with no display at all it is the same error, not the toolkit's abort.
if out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/pathtally" --bogus 2>&1); then
  fail "an unknown option was accepted with no display"
else
  status=$?
  ((status == 1)) || fail "an unknown option with no display ended with $status: $out"
  grep -q "Unknown option 'bogus'" <<<"$out" || fail "no display: the error does not name the option: $out"
fi
if out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/pathtally" -display :99 -name x stray 2>&1); then
  fail "a stray argument was accepted with no display"
else
  grep -q "unexpected argument 'stray'" <<<"$out" || fail "no display: a stray argument: $out"
fi
# A wrong option is refused before any window, once Qt's own options are taken out.
if out=$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/pathtally" -platform offscreen --no-such 2>&1); then
  fail "an unknown option was accepted"
else
  grep -q "no-such" <<<"$out" || fail "the error does not name the option: $out"
fi

# --- the Debian package ------------------------------------------------------------------
# cpack only installs what is built into a staging folder: nothing is rebuilt or relinked.
(cd "$tmp" && cpack -G DEB -B "$tmp/pkg" --config "$build/CPackConfig.cmake" >"$tmp/cpack.log" 2>&1) ||
  { cat "$tmp/cpack.log"; fail "cpack failed"; }
deb=$(ls "$tmp"/pkg/pathtally_*.deb 2>/dev/null | head -1)
if [[ -z "$deb" ]]; then
  fail "no package was made"
else
  info=$(dpkg-deb -I "$deb")
  field() { sed -n "s/^ $1: //p" <<<"$info"; }
  [[ "$(field Package)" == pathtally ]] || fail "package name: $(field Package)"
  [[ "$(field Version)" == "$version" ]] || fail "package version: $(field Version)"
  depends=$(field Depends)
  # From dpkg-shlibdeps: the libraries the program and the web module link, with versions;
  # added by hand: what is loaded at run time.
  for dep in 'libc6 (>=' 'libqt6widgets6 (>=' 'libqt6webenginewidgets6 (>=' 'libsqlite3-0 (>=' \
    'libx11-6' 'libxi6 (>=' qt6-qpa-plugins libqt6webenginecore6-bin; do
    [[ "$depends" == *"$dep"* ]] || fail "Depends lacks $dep: $depends"
  done
  list=$(dpkg-deb -c "$deb" | awk '{print $NF}' | grep -v '/$')
  diff <(printf './%s\n' "${expected[@]}" | sort) <(sort <<<"$list") ||
    fail "packaged files differ from the installed ones (< expected, > packaged)"
  # Owned by root, the program stripped of its debug sections.
  dpkg-deb -c "$deb" | awk '$2 != "root/root" {print; bad=1} END {exit bad}' ||
    fail "files not owned by root"
  dpkg-deb -x "$deb" "$tmp/unpacked"
  # The copyright file in Debian's machine-readable form, naming the licence it carries.
  copyright="$tmp/unpacked/usr/share/doc/pathtally/copyright"
  grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$copyright" &&
    grep -q '^License: Expat$' "$copyright" || fail "copyright file not in Debian's form"
  # The maintainer scripts reload udev's rules when the input rule comes and goes, and
  # call no ldconfig: the web module is in a folder of its own.
  dpkg-deb -e "$deb" "$tmp/control"
  for script in postinst postrm; do
    [[ -x "$tmp/control/$script" ]] || { fail "no executable $script"; continue; }
    grep -q "udevadm control --reload-rules" "$tmp/control/$script" || fail "$script does not reload udev"
    ! grep -q ldconfig "$tmp/control/$script" || fail "$script calls ldconfig"
    sh -n "$tmp/control/$script" || fail "$script is not a valid shell script"
  done
  [[ ! -e "$tmp/control/triggers" ]] || ! grep -q ldconfig "$tmp/control/triggers" ||
    fail "an ldconfig trigger"
  file "$tmp/unpacked/usr/bin/pathtally" | grep -q ", stripped" || fail "program not stripped"
fi

((failures == 0)) && echo "install and package: all checks passed"
exit $((failures > 0))
