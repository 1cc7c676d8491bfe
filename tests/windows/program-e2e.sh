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
# The program works in the user's application-data folder, wherever it is started from.
appdata=$("$WINE64" cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
data_file=$("$WINE64" winepath -u "$appdata\\Pathtally\\PTDATA.CVD" 2>/dev/null | tr -d '\r')
[[ -n "$data_file" ]] || fail "no application-data folder"
field() { tr -d '\r\n' <"$data_file" | awk -F, -v i="$1" '{ print $(i + 1) }'; }
main_window() { xdotool search --name '^PathtallyV' 2>/dev/null | head -n1; }
has_main_window() { [[ -n "$(main_window)" ]]; }
at_least() { local v; v=$("$@"); [[ -n "$v" && "${v%%.*}" -ge "$want" ]]; }
main_clicks() { reg_value "$MAIN" totalClick; }
mirror_clicks() { reg_value "$MIRROR" totalClick; }
file_clicks() { [[ -f "$data_file" ]] && field 11; }

# start LANG [WINEDLLOVERRIDES]
start() {
  LANG=$1 WINEDLLOVERRIDES=${2:-$WINEDLLOVERRIDES} "$WINE64" "$exe" >/dev/null 2>&1 &
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

# Pages the program opens in the desktop's browser are recorded instead (Wine hands them to
# the first of its WineBrowser programs; without one it keeps starting itself).
opened=$PT_UNIX_TEST_ROOT/opened
printf '#!/bin/sh\necho "$1" >>"%s"\n' "$opened" >"$PT_UNIX_TEST_ROOT/browser"
chmod +x "$PT_UNIX_TEST_ROOT/browser"
"$WINE64" reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$PT_UNIX_TEST_ROOT/browser" \
  /f >/dev/null 2>&1
# Two hours of use stored by an earlier run give two points, enough to ask for a ranking.
for key in "$MAIN" "$MIRROR"; do
  "$WINE64" reg add "$key" /v AllUseTime /d 7200 /f >/dev/null 2>&1
done

# First run, Simplified Chinese, on a system without a web control (its library is
# switched off): the page areas say so and the ranking page opens in the desktop's browser.
start zh_CN.UTF-8 "mscoree,mshtml,ieframe="
drive 3
want=3
wait_for 60 at_least main_clicks || fail "main key totalClick $(main_clicks), expected >= 3"
wait_for 10 at_least mirror_clicks || fail "mirror key totalClick $(mirror_clicks)"
wait_for 10 at_least file_clicks || fail "data file total clicks $(file_clicks)"
want=1
at_least reg_value "$MAIN" Allmove || fail "main key Allmove $(reg_value "$MAIN" Allmove)"
at_least reg_value "$MIRROR" Allmove || fail "mirror key Allmove"
[[ $(tr -d '\r\n' <"$data_file" | awk -F, '{ print NF }') == 51 ]] || fail "data file is not 51 fields"
[[ ! -e PTDATA.CVD ]] || fail "a data file was left in the folder the program was started from"
keys=$(reg_value "$MAIN" KeyDownAll)

# The day history: the saves credited today's row, which the export writes as CSV while the
# program runs (no window, exit codes as on Linux), and the File menu's window shows.
today=$(date +%F)
export_csv() { "$WINE64" "$exe" --export-csv "$@" 2>"$work/export.err"; }
today_clicks() {
  export_csv "Z:$work/days.csv" >/dev/null || return 1
  tr -d '\r' <"$work/days.csv" | awk -F, -v d="$today" '$1 == d { print $4 }'
}
want=3
wait_for 30 at_least today_clicks || fail "today's left clicks in the export: $(today_clicks)"
[[ $(head -n1 "$work/days.csv") == $'date,travel_pixels,travel_metres,left_clicks,middle_clicks,right_clicks,keys,use_time_seconds\r' ]] ||
  fail "the export's header row: $(head -n1 "$work/days.csv" | od -c | head -3)"
rc=0; export_csv || rc=$?
[[ $rc == 1 && -s $work/export.err ]] || fail "--export-csv without a file ended with $rc, expected 1"
rc=0; export_csv "Z:$work/no/such/folder/days.csv" || rc=$?
[[ $rc == 1 && -s $work/export.err ]] || fail "an export into a missing folder ended with $rc"
[[ -z $(ls "$work" | grep -F .part-) ]] || fail "a failed export left a file behind"
history_window() { xdotool search --onlyvisible --name '^每日统计$' 2>/dev/null | head -n1; }
has_history_window() { [[ -n "$(history_window)" ]]; }
no_history_window() { [[ -z "$(history_window)" ]]; }
xdotool key --window "$win" alt+f d
wait_for 30 has_history_window || fail "the File menu opened no day history window"
import -window root "$shots/windows-history.png"
xdotool key --window "$(history_window)" Escape
wait_for 10 no_history_window || fail "Esc did not close the day history window"

# The About box from the Help menu: its logo scrolls, stops while the pointer rests on it
# and goes on once the pointer moves over the rest of the box; Esc closes it.
about() { xdotool search --name '^关于 Pathtally$' 2>/dev/null | head -n1; }
has_about() { [[ -n "$(about)" ]]; }
no_about() { [[ -z "$(about)" ]]; }
xdotool key --window "$win" alt+h a
wait_for 30 has_about || fail "the Help menu opened no About box"
eval "$(xdotool getwindowgeometry --shell "$(about)")"
edge=$(((WIDTH - 470) / 2))
logo_x=$((X + edge + 20)) logo_y=$((Y + HEIGHT - edge - 214 + 20))
logo_shot() { import -window root -crop "100x140+$logo_x+$logo_y" +repage "$work/$1.png"; }
logo_moved() {
  logo_shot before; sleep 0.6; logo_shot after
  [[ $(compare -metric AE "$work/before.png" "$work/after.png" null: 2>&1 || true) != 0 ]]
}
logo_moved || fail "the About logo does not scroll"
import -window root "$shots/windows-about-gb.png"
xdotool mousemove $((logo_x + 50)) $((logo_y + 70))
sleep 0.3
! logo_moved || fail "the About logo scrolls on under the pointer"
xdotool mousemove $((logo_x + 200)) $((logo_y + 150))
logo_moved || fail "the About logo stays paused after the pointer left it"
xdotool key --window "$(about)" Escape
wait_for 10 no_about || fail "Esc did not close the About box"

# F3 asks for the ranking: the window with the code to paste into the ranking page, which
# opens in the desktop's browser as this run has no web control.
ranking_window() { xdotool search --onlyvisible --name '^查看您的排名$' 2>/dev/null | head -n1; }
has_ranking_window() { [[ -n "$(ranking_window)" ]]; }
no_ranking_window() { [[ -z "$(ranking_window)" ]]; }
xdotool key --window "$win" F3
wait_for 30 has_ranking_window || fail "F3 opened no ranking window"
has_ranking_page() { grep -q "/pt/paiming.asp" "$opened" 2>/dev/null; }
wait_for 30 has_ranking_page || fail "the ranking page was not opened in the browser"
import -window root "$shots/windows-ranking.png"
xdotool key --window "$(ranking_window)" Escape
wait_for 10 no_ranking_window || fail "Esc did not close the ranking window"
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

# The every-day shutdown rule, armed as a previous run stored it, fires in test mode (a
# marker file beside the program): the program says the computer is about to shut down
# instead of asking Windows to, and runs on. Outside test mode ExitWindowsEx would end the
# Wine session under the test.
testmode=$work/testmode
mkdir -p "$testmode"
cp "$exe" "$testmode/pathtally.exe"
: >"$testmode/Pathtally.vbp"
# The rule is read at start: arm this minute when the start surely fits in it, else the next.
if (($(date +%-S) <= 30)); then at=$(date +%H:%M); else at=$(date -d '+1 minute' +%H:%M); fi
"$WINE64" reg add "$MAIN" /v check7 /d 1 /f >/dev/null 2>&1
"$WINE64" reg add "$MAIN" /v Text14 /d "$((10#${at%:*}))" /f >/dev/null 2>&1
"$WINE64" reg add "$MAIN" /v Text15 /d "$((10#${at#*:}))" /f >/dev/null 2>&1
# The site is a local one that announces a newer version: the program's own unseen update
# check (once per run, on first showing the window) reads the page over WinHTTP and shows
# its window, as nobody asked but something new was found.
site_port=$PT_UNIX_TEST_ROOT/site-port
python3 "$(dirname "$0")/scripted-site.py" "$site_port" &
trap 'touch "$site_port.stop"' EXIT
has_port() { [[ -s $site_port ]]; }
wait_for 20 has_port || fail "the local site did not start"
"$WINE64" reg add "$MAIN" /v SiteRoot /d "http://127.0.0.1:$(cat "$site_port")" /f >/dev/null 2>&1
"$WINE64" reg add "$MAIN" /v UpdateCK /d 1 /f >/dev/null 2>&1
exe=$testmode/pathtally.exe
start zh_CN.UTF-8
update_window() { xdotool search --onlyvisible --name '^自动检查更新\.\.\.$' 2>/dev/null | head -n1; }
has_update_window() { [[ -n "$(update_window)" ]]; }
wait_for 40 has_update_window || fail "the unseen update check showed no newer version"
import -window root "$shots/windows-update-found.png"
# The home strip and the update page are shown in the system's web control, which fetches
# them from the site itself (Wine's control has no engine to draw them with here).
strip_requested() { grep -qx /pt/h1/ "$site_port.requests" 2>/dev/null; }
wait_for 30 strip_requested || fail "the home strip was not loaded in the web control"
update_page_loads() { [[ $(grep -cx /pt/pt_update.asp "$site_port.requests") -ge 2 ]]; }
wait_for 30 update_page_loads || fail "the update window did not load its page"

[[ -f "$testmode/Record.txt" ]] || wait_for 10 test -f "$testmode/Record.txt" ||
  fail "test mode left no run record beside the program"
wait_for 100 has_refusal || fail "the every-day rule at $at showed no message in test mode"
import -window root "$shots/windows-test-mode-shutdown.png"
xdotool key --window "$(refusal)" Return
uses=$(reg_value "$MAIN" AllUseTime)
want=$((${uses%%.*} + 1))
wait_for 30 at_least reg_value "$MAIN" AllUseTime || fail "the program stopped saving after the rule"
kill -0 "$pid" 2>/dev/null || fail "the program ended in test mode"
[[ $(reg_value "$MAIN" check7) == 1 ]] || fail "the every-day rule was not kept for tomorrow"
stop

# A plain run again, the rule and the update check off: with the web control the ranking
# window shows the ranking page itself. (Test mode shows the rule's message at every tick
# of its minute, a window each, which leaves no room for more windows on this X server.)
"$WINE64" reg add "$MAIN" /v check7 /d 0 /f >/dev/null 2>&1
"$WINE64" reg add "$MAIN" /v UpdateCK /d 0 /f >/dev/null 2>&1
exe=$1
start zh_CN.UTF-8
# F3 again until the window answers: it is mapped a moment before its message loop runs.
ask_ranking() { xdotool key --window "$win" F3; wait_for 1 has_ranking_window; }
wait_for 30 ask_ranking || fail "F3 opened no ranking window (with the web control)"
ranking_requested() { grep -qx /pt/paiming.asp "$site_port.requests" 2>/dev/null; }
wait_for 30 ranking_requested || fail "the ranking window did not load its page in the web control"
import -window root "$shots/windows-ranking-page.png"
xdotool key --window "$(ranking_window)" Escape
wait_for 10 no_ranking_window || fail "Esc did not close the ranking window"
stop

echo "clicks ${first_total} -> $(main_clicks) (main), $(mirror_clicks) (mirror), $(field 11) (file);" \
  "keys after first run ${keys:-none}; every-day rule at $at shown in test mode;" \
  "update check found the newer version; home strip, update and ranking pages loaded in the web" \
  "control"
