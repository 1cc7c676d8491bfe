#!/usr/bin/env bash
# The product website under bounded load on loopback, beside nginx serving a saved copy of
# the same leaderboard page in the same run: requests per second and p99 of the live
# leaderboard page with 100,000 ranked installations, and the latency of a code submission.
# Budgets: the live page at least half of nginx's rate, its p99 under 20 ms; a submission
# under 2 ms at the median. Prints RESULT lines for bench/run_all.sh.
# Usage: bench/site/site_bench.sh <build dir> [seconds per run, default 5]
set -uo pipefail
build=${1:?usage: site_bench.sh <build dir> [seconds]}
seconds=${2:-5}
installations=100000
connections=${PT_SITE_BENCH_CONNECTIONS:-16}  # for the page: its rate under load
# Submissions are written one at a time (SQLite has one writer): their latency is measured
# with two clients, their rate beside it.
submitters=${PT_SITE_BENCH_SUBMITTERS:-2}
for tool in wrk nginx sqlite3 curl; do
  command -v $tool >/dev/null || { echo "needs $tool (scripts/deps.sh --test)"; exit 2; }
done
site_bin="$build/pathtally-site"
[[ -x "$site_bin" ]] || { echo "no $site_bin (build the pathtally-site target)"; exit 2; }

work=$(mktemp -d /tmp/pathtally-site-bench.XXXXXX)
site_pid=
cleanup() {
  [[ -n "$site_pid" ]] && kill "$site_pid" 2>/dev/null
  [[ -s "$work/nginx/nginx.pid" ]] && kill "$(cat "$work/nginx/nginx.pid")" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The site, with the per-address bounds lifted: the load comes from one address.
"$site_bin" --listen 127.0.0.1:0 --database "$work/site.db" --port-file "$work/port" \
  --submissions-per-hour 1000000 --installation-submissions-per-hour 1000000 \
  >"$work/site.log" 2>&1 &
site_pid=$!
for _ in $(seq 200); do [[ -s "$work/port" ]] && break; sleep 0.05; done
[[ -s "$work/port" ]] || { echo "the site did not start:"; cat "$work/site.log"; exit 2; }
site="http://127.0.0.1:$(cat "$work/port")"

# 100,000 ranked installations, points spread like a real population (most have few).
sqlite3 -cmd ".timeout 5000" "$work/site.db" "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL
  SELECT i + 1 FROM n WHERE i < $installations) INSERT INTO rankings SELECT i,
  1 + (abs(random()) % 3000) * (abs(random()) % 3000) / 3000, 1765000000 - i, 1765000000 + i % 86400
  FROM n;" || exit 2
ranked=$(sqlite3 "$work/site.db" "SELECT value FROM counters WHERE name = 'rankings'")
echo "ranked installations: $ranked"

# nginx serving the same page, saved, from the same kind of address.
mkdir -p "$work/nginx/www/pt" "$work/nginx/tmp"
curl -sf "$site/pt/paiming.asp" -o "$work/nginx/www/pt/paiming.asp" || exit 2
cat >"$work/nginx/nginx.conf" <<CONF
worker_processes 2;
pid $work/nginx/nginx.pid;
error_log $work/nginx/error.log;
events { worker_connections 1024; }
http {
  access_log off;
  client_body_temp_path $work/nginx/tmp;
  types { }
  default_type "text/html; charset=utf-8";
  server { listen 127.0.0.1:0; root $work/nginx/www; }
}
CONF
# nginx takes no port 0: a free one from the kernel.
nginx_port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
sed -i "s/listen 127.0.0.1:0/listen 127.0.0.1:$nginx_port/" "$work/nginx/nginx.conf"
chmod 755 "$work" && chmod -R a+rX "$work/nginx"  # nginx's workers run unprivileged
nginx -c "$work/nginx/nginx.conf" -p "$work/nginx" || exit 2
static="http://127.0.0.1:$nginx_port"
for _ in $(seq 100); do curl -sf "$static/pt/paiming.asp" -o /dev/null && break; sleep 0.05; done

cat >"$work/submit.lua" <<'LUA'
-- A code of a random installation of the ranked ones, with random points.
math.randomseed(os.time())
request = function()
  local id = math.random(1, 100000)
  local points = math.random(1, 5000)
  local body = "code=" .. (id * 121 + 159) .. "-" .. (points * 151 + 189)
  return wrk.format("POST", "/pt/paiming.asp",
    {["Content-Type"] = "application/x-www-form-urlencoded"}, body)
end
LUA

# wrk's figures: requests/s, p50 and p99 in ms, and responses that were not 2xx/3xx.
run() {  # name connections url [wrk args...]
  local name=$1 clients=$2 url=$3
  shift 3
  local threads=$((clients < 2 ? 1 : 2))
  wrk -t$threads -c$clients -d1s "$@" "$url" >/dev/null 2>&1  # warm-up
  wrk -t$threads -c$clients -d${seconds}s --latency "$@" "$url" >"$work/$name.txt" 2>&1
  awk -v name="$name" '
    function ms(v) { if (v ~ /us$/) return v / 1000; if (v ~ /ms$/) return v + 0; if (v ~ /s$/) return v * 1000; return v }
    /Requests\/sec/ { rps = $2 }
    $1 == "50%" { p50 = ms($2) }
    $1 == "99%" { p99 = ms($2) }
    /Non-2xx/ { bad = $NF }
    END { printf "%s %s %.3f %.3f %d\n", name, rps, p50, p99, bad }' "$work/$name.txt"
}
read -r _ live_rps live_p50 live_p99 live_bad < <(run live $connections "$site/pt/paiming.asp")
read -r _ nginx_rps nginx_p50 nginx_p99 nginx_bad < <(run nginx $connections "$static/pt/paiming.asp")
read -r _ sub_rps sub_p50 sub_p99 sub_bad < <(run submit $submitters "$site/pt/paiming.asp" \
  -s "$work/submit.lua")
cat "$work/live.txt" "$work/nginx.txt" "$work/submit.txt" | grep -E 'Running|Requests/sec|Latency  ' | sed 's/^/  /'

verdict() { awk -v v="$1" -v op="$2" -v b="$3" 'BEGIN { ok = (op == ">=") ? v >= b : v < b; print ok ? "ok" : "MISSED" }'; }
ratio=$(awk -v a="$live_rps" -v b="$nginx_rps" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
printf 'RESULT\tsite live page rate\t%s\treq/s\t\t-\n' "$live_rps"
printf 'RESULT\tnginx static page rate\t%s\treq/s\t\t-\n' "$nginx_rps"
printf 'RESULT\tsite live / nginx rate\t%s\tratio\t>= 0.5\t%s\n' "$ratio" "$(verdict "$ratio" ">=" 0.5)"
printf 'RESULT\tsite live page p99\t%s\tms\t< 20\t%s\n' "$live_p99" "$(verdict "$live_p99" "<" 20)"
printf 'RESULT\tnginx static page p99\t%s\tms\t\t-\n' "$nginx_p99"
printf 'RESULT\tsite p99 / nginx p99\t%s\tratio\t\t-\n' \
  "$(awk -v a="$live_p99" -v b="$nginx_p99" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')"
printf 'RESULT\tsubmission median\t%s\tms\t< 2\t%s\n' "$sub_p50" "$(verdict "$sub_p50" "<" 2)"
printf 'RESULT\tsubmission p99\t%s\tms\t\t-\n' "$sub_p99"
printf 'RESULT\tsubmission rate\t%s\treq/s\t\t-\n' "$sub_rps"
bad=$((live_bad + nginx_bad + sub_bad))
printf 'RESULT\tanswers not 2xx\t%s\tcount\t0\t%s\n' "$bad" "$([[ $bad -eq 0 ]] && echo ok || echo MISSED)"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) core(s); page: $connections connections," \
  "submissions: $submitters; ${seconds}s per run"
