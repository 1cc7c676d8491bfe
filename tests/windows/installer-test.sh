#!/usr/bin/env bash
# The installer under Wine: a silent install of an older version into Program Files with its
# Start-menu entry, Apps & features entry and autostart value; the program run from there;
# a silent upgrade refused while the program runs and then done over it, keeping every total
# (both registry keys and the data folder exactly as they were) and the user's choice of no
# autostart; a silent uninstall that removes the program's files and entries and keeps the
# user's data.
# Runs inside tests/support/run-wine-test.sh --xvfb --unix (WINE64, WINEPREFIX, DISPLAY).
#   installer-test.sh INSTALLER NSIS_SCRIPT PATHTALLY_EXE ICON LICENSE
set -euo pipefail
installer=$1 script=$2 exe=$3 icon=$4 license=$5
work=$PT_UNIX_TEST_ROOT/work
mkdir -p "$work"
cd "$work"
export PATHTALLY_TEST_SECOND_MS=50  # a save every half second
MAIN='HKLM\SOFTWARE\Corvandel\Pathtally'
MIRROR='HKLM\software\microsoft\com3'
RUN='HKLM\software\microsoft\windows\currentversion\run'
UNINSTALL='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pathtally'

fail() { echo "FAIL: $*" >&2; exit 1; }
wait_for() {
  local limit=$1; shift
  for ((i = 0; i < limit * 10; i++)); do "$@" && return 0; sleep 0.1; done
  return 1
}
win() { "$WINE64" "$@" 2>/dev/null | tr -d '\r'; }
# The data of a value (everything after its type, spaces kept).
reg_value() {
  win reg query "$1" /v "$2" | awk -v n="$2" 'tolower($1) == tolower(n) {
    sub(/^[ \t]*[^ \t]+[ \t]+REG_[A-Z_]+[ \t]*/, ""); print; found = 1 } END { exit !found }'
}
unix_path() { win winepath -u "$1"; }
# Everything the user's data is: both registry keys of totals and the data folder.
user_data() {
  win reg export "$MAIN" "$work/main.reg" /y >/dev/null
  win reg export "$MIRROR" "$work/mirror.reg" /y >/dev/null
  { iconv -f UTF-16LE -t UTF-8 "$work/main.reg" "$work/mirror.reg" | tr -d '\r'
    (cd "$data_dir" && find . -type f -print0 | sort -z | xargs -0 sha256sum); }
}

program_files=$(win cmd /c echo %ProgramW6432%)
[[ -n "$program_files" ]] || fail "no Program Files folder"
installed="$program_files\\Pathtally\\pathtally.exe"
installed_unix=$(unix_path "$installed")
appdata=$(win cmd /c echo %APPDATA%)
data_dir=$(unix_path "$appdata\\Pathtally")
start_menu=$(unix_path "$(win cmd /c echo %ProgramData%)\\Microsoft\\Windows\\Start Menu\\Programs\\Pathtally.lnk")

# An older version of the same installer, as a user would have installed before.
makensis -V1 -DVERSION=0.9.0 -DPROGRAM="$exe" -DPROGRAM_ICON="$icon" -DLICENSE_FILE="$license" \
  -DOUTFILE="$work/pathtally-setup-0.9.0.exe" "$script" || fail "the older installer was not built"

# --- a silent install -------------------------------------------------------------------
"$WINE64" "$work/pathtally-setup-0.9.0.exe" /S || fail "the silent install exited $?"
[[ -f "$installed_unix" ]] || fail "no $installed"
cmp -s "$installed_unix" "$exe" || fail "the installed program is not the one built"
[[ -f "$(dirname "$installed_unix")/uninstall.exe" ]] || fail "no uninstaller"
[[ -f "$start_menu" ]] || fail "no Start-menu entry at $start_menu"
[[ $(reg_value "$UNINSTALL" DisplayName) == Pathtally ]] || fail "no Apps & features entry"
[[ $(reg_value "$UNINSTALL" DisplayVersion) == 0.9.0 ]] || fail "entry version $(reg_value "$UNINSTALL" DisplayVersion)"
[[ $(reg_value "$UNINSTALL" UninstallString) == "\"$program_files\\Pathtally\\uninstall.exe\"" ]] ||
  fail "uninstall command $(reg_value "$UNINSTALL" UninstallString)"
[[ $(reg_value "$UNINSTALL" QuietUninstallString) == *'uninstall.exe" /S' ]] || fail "no quiet uninstall command"
# The value the Options dialog writes: the program's full path, a plain string.
win reg query "$RUN" /v Pathtally | grep -q 'REG_SZ' || fail "the autostart value is not a string"
[[ $(reg_value "$RUN" Pathtally) == "$installed" ]] || fail "autostart value $(reg_value "$RUN" Pathtally)"

# --- the program runs from the installed path, with totals of an earlier use ----------------
for key in "$MAIN" "$MIRROR"; do
  win reg add "$key" /v totalClick /d 1234 /f >/dev/null
  win reg add "$key" /v AllUseTime /d 7200 /f >/dev/null
done
main_window() { xdotool search --name '^PathtallyV' 2>/dev/null | head -n1; }
has_main_window() { [[ -n "$(main_window)" ]]; }
program_pid() { pgrep -f 'Program Files.Pathtally.pathtally\.exe' | head -n1; }
start_installed() {
  "$WINE64" "$installed" >/dev/null 2>&1 &
  wait_for 120 has_main_window || fail "the installed program showed no window"
  [[ -n "$(program_pid)" ]] || fail "no process of the installed program"
}
stop_program() {
  win taskkill /f /im pathtally.exe >/dev/null || true
  wait_for 30 no_program || fail "the program did not end"
}
no_program() { [[ -z "$(program_pid)" ]]; }
saved_once() { [[ -f "$data_dir/PTDATA.CVD" ]]; }
start_installed
wait_for 60 saved_once || fail "the installed program saved no data file"
# It finds its autostart entry current: the path it has of itself is the installer's.
[[ $(reg_value "$RUN" Pathtally) == "$installed" ]] || fail "the program rewrote autostart: $(reg_value "$RUN" Pathtally)"

# --- an upgrade while it runs is refused, and changes nothing --------------------------------
set +e
"$WINE64" "$installer" /S
rc=$?
set -e
[[ $rc == 2 ]] || fail "a silent upgrade while the program runs exited $rc, not 2"
[[ $(reg_value "$UNINSTALL" DisplayVersion) == 0.9.0 ]] || fail "the refused upgrade changed the entry"
stop_program

# --- the upgrade keeps every total and the user's choice of no autostart ----------------------
win reg add "$MAIN" /v Aopen /d 0 /f >/dev/null  # switched off in Options
win reg add "$RUN" /v Pathtally /d '' /f >/dev/null
before=$(user_data)
grep -qi '"totalClick"="1234"' <<<"$before" || fail "the totals to keep are not there: $before"
"$WINE64" "$installer" /S || fail "the silent upgrade exited $?"
version=$(reg_value "$UNINSTALL" DisplayVersion)
[[ -n "$version" && "$version" != 0.9.0 ]] || fail "the upgrade left entry version $version"
[[ "$(user_data)" == "$before" ]] || fail "the upgrade changed the user's data:
$(diff <(echo "$before") <(user_data))"
[[ -z "$(reg_value "$RUN" Pathtally)" ]] || fail "the upgrade switched autostart back on"
start_installed
clicks() { reg_value "$MAIN" totalClick; }
saved_again() { [[ $(reg_value "$MAIN" AllUseTime) -gt 7200 ]]; }
wait_for 60 saved_again || fail "the upgraded program did not continue the totals"
[[ $(clicks) -ge 1234 ]] || fail "after the upgrade totalClick $(clicks)"
stop_program

# --- a silent uninstall removes the program and keeps the data -------------------------------
before=$(user_data)
win reg add "$RUN" /v Pathtally /d "$installed" /f >/dev/null
"$WINE64" "${installed%\\*}\\uninstall.exe" /S || fail "the silent uninstall exited $?"
# The uninstaller goes on from a copy of itself in the temporary folder.
gone() { [[ ! -e "$(dirname "$installed_unix")" ]]; }
wait_for 60 gone || fail "the program's folder is still there: $(ls -A "$(dirname "$installed_unix")")"
[[ ! -e "$start_menu" ]] || fail "the Start-menu entry is still there"
! win reg query "$UNINSTALL" >/dev/null || fail "the Apps & features entry is still there"
! reg_value "$RUN" Pathtally >/dev/null || fail "the autostart value is still there"
[[ "$(user_data)" == "$before" ]] || fail "the uninstall changed the user's data:
$(diff <(echo "$before") <(user_data))"
[[ -f "$data_dir/PTDATA.CVD" ]] || fail "the data file is gone"
echo "installer: install, run, refused and done upgrade, uninstall: all as expected"
