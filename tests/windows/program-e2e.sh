#!/usr/bin/env bash
# pathtally.exe under Wine on its own X server, driven with XTest (xdotool) like a person:
# pointer moves, clicks and keys over its window are counted, saved to both registry keys
# and the data file, and continued after a restart; a second start is refused. Screenshots
# of the main window in both scripts go to SHOT_DIR.
# Runs inside tests/support/run-wine-test.sh --xvfb --unix (WINE64, WINEPREFIX, DISPLAY).
#   program-e2e.sh PATHTALLY_EXE SHOT_DIR
set -euo pipefail
exe=$1 shots=$2
mkdir -p "$shots"
work=$PT_UNIX_TEST_ROOT/work
mkdir -p "$work"
cd "$work"
export PATHTALLY_TEST_SECOND_MS=50  # a save every half second
# Wine takes the system locale from the Unix one: build the two Chinese locales here when
# the system has not generated them.
export LOCPATH=$PT_UNIX_TEST_ROOT/locales
mkdir -p "$LOCPATH"
for l in zh_CN zh_TW; do localedef -i "$l" -f UTF-8 "$LOCPATH/$l.UTF-8" 2>/dev/null || true; done
MAIN='HKLM\SOFTWARE\Corvandel\Pathtally'
MIRROR='HKLM\software\microsoft\com3'

fail() { echo "FAIL: $*" >&2; exit 1; }
# Polls a condition ten times a second for at most $1 seconds.
wait_for() {
  local limit=$1; shift
  for ((i = 0; i < limit * 10; i++)); do "$@" && return 0; sleep 0.1; done
  return 1
}
reg_value() {
  "$WINE64" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    awk -v n="$2" 'tolower($1) == tolower(n) { print $3 }'
}
field() { tr -d '\r\n' <PTDATA.CVD | awk -F, -v i="$1" '{ print $(i + 1) }'; }
main_window() { xdotool search --name '^PathtallyV' 2>/dev/null | head -n1; }
has_main_window() { [[ -n "$(main_window)" ]]; }
at_least() { local v; v=$("$@"); [[ -n "$v" && "${v%%.*}" -ge "$want" ]]; }
main_clicks() { reg_value "$MAIN" totalClick; }
mirror_clicks() { reg_value "$MIRROR" totalClick; }
file_clicks() { [[ -f PTDATA.CVD ]] && field 11; }

start() {
  LANG=$1 "$WINE64" "$exe" >/dev/null 2>&1 &
  pid=$!
  wait_for 120 has_main_window || fail "no main window within 120 s ($1)"
  win=$(main_window)
  xdotool windowactivate --sync "$win" 2>/dev/null || true
}
stop() {
  "$WINE64" taskkill /f /im pathtally.exe >/dev/null 2>&1 || true
  wait "$pid" 2>/dev/null || true
}
# Moves over the window and clicks n times on the page area under the tabs (a control
# that does nothing with a click), then types three keys.
drive() {
  local n=$1
  eval "$(xdotool getwindowgeometry --shell "$win")"
  for step in $(seq 0 20); do xdotool mousemove $((X + 40 + step * 25)) $((Y + 200 + step * 5)); done
  xdotool mousemove $((X + 330)) $((Y + HEIGHT - 70))
  for _ in $(seq "$n"); do xdotool click 1; done
  xdotool key --window "$win" a b c
}

# First run, Simplified Chinese.
start zh_CN.UTF-8
drive 3
want=3
wait_for 60 at_least main_clicks || fail "main key totalClick $(main_clicks), expected >= 3"
wait_for 10 at_least mirror_clicks || fail "mirror key totalClick $(mirror_clicks)"
wait_for 10 at_least file_clicks || fail "data file total clicks $(file_clicks)"
want=1
at_least reg_value "$MAIN" Allmove || fail "main key Allmove $(reg_value "$MAIN" Allmove)"
at_least reg_value "$MIRROR" Allmove || fail "mirror key Allmove"
[[ $(tr -d '\r\n' <PTDATA.CVD | awk -F, '{ print NF }') == 51 ]] || fail "data file is not 51 fields"
keys=$(reg_value "$MAIN" KeyDownAll)
import -window root "$shots/windows-main-gb.png"

# A second start is refused with a message and leaves the first running.
LANG=zh_CN.UTF-8 "$WINE64" "$exe" >/dev/null 2>&1 &
second=$!
refusal() { xdotool search --name '^Pathtally$' 2>/dev/null | head -n1; }
has_refusal() { [[ -n "$(refusal)" ]]; }
wait_for 60 has_refusal || fail "second start showed no refusal"
xdotool key --window "$(refusal)" Return
wait "$second" || true
kill -0 "$pid" 2>/dev/null || fail "the first instance ended"
first_total=$(main_clicks)
stop

# Restart, Traditional Chinese: the totals continue.
start zh_TW.UTF-8
drive 2
want=$((first_total + 2))
wait_for 60 at_least main_clicks || fail "after restart totalClick $(main_clicks), expected >= $want"
wait_for 10 at_least mirror_clicks || fail "after restart mirror totalClick $(mirror_clicks)"
wait_for 10 at_least file_clicks || fail "after restart data file clicks $(file_clicks)"
import -window root "$shots/windows-main-b5.png"
stop
echo "clicks ${first_total} -> $(main_clicks) (main), $(mirror_clicks) (mirror), $(field 11) (file);" \
  "keys after first run ${keys:-none}"
