#!/usr/bin/env bash
# The product website under bounded load on loopback, beside nginx serving a saved copy of
# the same leaderboard page in the same run: requests per second and p99 of the live
# leaderboard page with 1,000,000 ranked installations, and of a code submission, on the
# SQLite default and (where PostgreSQL 15 is installed) on one and on two instances sharing
# one PostgreSQL in a private cluster. Budgets: the live page at least half of nginx's rate,
# its p99 under 20 ms; two instances at least 0.9 of one's rate, every answer correct; an
# instance's cold start to its first answer under 1 s. Prints RESULT lines for
# bench/run_all.sh.
# Usage: bench/site/site_bench.sh <build dir> [seconds per run, default 5]
set -uo pipefail
build=${1:?usage: site_bench.sh <build dir> [seconds]}
seconds=${2:-5}
installations=${PT_SITE_BENCH_INSTALLATIONS:-1000000}
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
pg_bin=/usr/lib/postgresql/15/bin
pg_pids=()
cleanup() {
  [[ -n "$site_pid" ]] && kill "$site_pid" 2>/dev/null
  for p in "${pg_pids[@]}"; do kill "$p" 2>/dev/null; done
  [[ -d "$work/pg/data" ]] && $as_pg "$pg_bin/pg_ctl" -D "$work/pg/data" -m immediate stop >/dev/null 2>&1
  [[ -s "$work/nginx/nginx.pid" ]] && kill "$(cat "$work/nginx/nginx.pid")" 2>/dev/null
  rm -rf "$work"
}
as_pg=""
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

cat >"$work/submit.lua" <<LUA
-- A code of a random installation of the ranked ones, with random points.
math.randomseed(os.time())
request = function()
  local id = math.random(1, $installations)
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

# PostgreSQL: a private cluster in the work folder (Unix socket only, an unprivileged user),
# the same 1,000,000 installations, then one instance and two instances sharing it.
pg_bad=0
if [[ -x "$pg_bin/initdb" ]]; then
  mkdir -p "$work/pg" && chmod 755 "$work"
  if [[ $(id -u) -eq 0 ]]; then chown nobody "$work/pg"; as_pg="runuser -u nobody --"; fi
  $as_pg "$pg_bin/initdb" -D "$work/pg/data" -A trust -U postgres -E UTF8 --locale=C >/dev/null || exit 2
  $as_pg "$pg_bin/pg_ctl" -D "$work/pg/data" -l "$work/pg/server.log" -w \
    -o "-k $work/pg -c listen_addresses= -c shared_buffers=256MB" start >/dev/null || exit 2
  psql=("$pg_bin/psql" -qAt -h "$work/pg" -U postgres)
  "${psql[@]}" -d postgres -c "CREATE DATABASE site" || exit 2
  pg="postgresql:///site?host=$work/pg&user=postgres"
  start_pg_site() {  # name: started in the background, its port in $work/<name>.port
    rm -f "$work/$1.port"
    "$site_bin" --listen 127.0.0.1:0 --database "$pg" --port-file "$work/$1.port" \
      --submissions-per-hour 1000000 --installation-submissions-per-hour 1000000 \
      >"$work/$1.log" 2>&1 &
    pg_pids+=($!)
  }
  first_answer() {  # name: waits until it answers its leaderboard page
    until [[ -s "$work/$1.port" ]] &&
      curl -sf "http://127.0.0.1:$(cat "$work/$1.port")/pt/paiming.asp" -o /dev/null; do
      sleep 0.005
    done
  }
  start_pg_site pg0 && first_answer pg0  # creates the schema
  kill "${pg_pids[-1]}"; wait "${pg_pids[-1]}" 2>/dev/null
  # Loaded in bulk: the counting trigger off, the histogram and count made once after.
  "${psql[@]}" -d site \
    -c "ALTER TABLE rankings DISABLE TRIGGER rankings_counted" \
    -c "INSERT INTO rankings SELECT i, 1 + floor(random() * 3000)::bigint * floor(random() * 3000)::bigint / 3000,
        1765000000 - i, 1765000000 + i % 86400 FROM generate_series(1, $installations) i" \
    -c "ALTER TABLE rankings ENABLE TRIGGER rankings_counted" \
    -c "INSERT INTO points_histogram SELECT points, count(*) FROM rankings GROUP BY points" \
    -c "UPDATE counters SET value = (SELECT count(*) FROM rankings) WHERE name = 'rankings'" \
    -c "VACUUM ANALYZE" || exit 2
  echo "PostgreSQL ranked installations: $("${psql[@]}" -d site -c "SELECT value FROM counters WHERE name = 'rankings'")"
  # Cold start: the process started on the loaded database until its first page.
  t0=$(date +%s%N); start_pg_site pg1; first_answer pg1; t1=$(date +%s%N)
  cold_ms=$(( (t1 - t0) / 1000000 ))
  start_pg_site pg2; first_answer pg2
  one="http://127.0.0.1:$(cat "$work/pg1.port")"; two="http://127.0.0.1:$(cat "$work/pg2.port")"
  # Both halves of the load at once, one on each instance: rates summed, the worse p99.
  run_two() {  # name connections path [wrk args...]
    local name=$1 clients=$2 path=$3
    shift 3
    run "${name}_a" $((clients / 2)) "$one$path" "$@" >"$work/${name}_a.line" &
    run "${name}_b" $((clients / 2)) "$two$path" "$@" >"$work/${name}_b.line"
    wait
    cat "$work/${name}_a.line" "$work/${name}_b.line" | awk -v name="$name" '
      { rps += $2; if ($4 > p99) p99 = $4; if ($3 > p50) p50 = $3; bad += $5 }
      END { printf "%s %.2f %.3f %.3f %d\n", name, rps, p50, p99, bad }'
  }
  read -r _ pg1_rps _ pg1_p99 pg1_bad < <(run pg1_page $connections "$one/pt/paiming.asp")
  read -r _ pg2_rps _ pg2_p99 pg2_bad < <(run_two pg2_page $connections /pt/paiming.asp)
  read -r _ pg1s_rps pg1s_p50 pg1s_p99 pg1s_bad < <(run pg1_submit $((submitters * 2)) \
    "$one/pt/paiming.asp" -s "$work/submit.lua")
  read -r _ pg2s_rps pg2s_p50 pg2s_p99 pg2s_bad < <(run_two pg2_submit $((submitters * 2)) \
    /pt/paiming.asp -s "$work/submit.lua")
  # Every answer correct: both instances show the same leaderboard (each keeps the first
  # pages for at most a second), its count the table's.
  same=0
  for _ in $(seq 30); do
    curl -sf "$one/pt/paiming.asp" -o "$work/one.html"; curl -sf "$two/pt/paiming.asp" -o "$work/two.html"
    cmp -s "$work/one.html" "$work/two.html" && { same=1; break; }
    sleep 0.1
  done
  counted=$("${psql[@]}" -d site -c "SELECT (SELECT value FROM counters WHERE name = 'rankings') = (SELECT count(*) FROM rankings)
    AND (SELECT sum(installations) FROM points_histogram) = (SELECT count(*) FROM rankings)")
  agree=0; [[ $same == 1 && $counted == t ]] && agree=1
  pg_bad=$((pg1_bad + pg2_bad + pg1s_bad + pg2s_bad + 1 - agree))
  page_ratio=$(awk -v a="$pg2_rps" -v b="$pg1_rps" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
  sub_ratio=$(awk -v a="$pg2s_rps" -v b="$pg1s_rps" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
  printf 'RESULT\tpostgres 1 instance page rate\t%s\treq/s\t\t-\n' "$pg1_rps"
  printf 'RESULT\tpostgres 1 instance page p99\t%s\tms\t< 20\t%s\n' "$pg1_p99" "$(verdict "$pg1_p99" "<" 20)"
  printf 'RESULT\tpostgres 2 instances page rate\t%s\treq/s\t\t-\n' "$pg2_rps"
  printf 'RESULT\tpostgres 2 instances page p99\t%s\tms\t< 20\t%s\n' "$pg2_p99" "$(verdict "$pg2_p99" "<" 20)"
  printf 'RESULT\tpostgres page 2 / 1 instances\t%s\tratio\t>= 0.9\t%s\n' "$page_ratio" "$(verdict "$page_ratio" ">=" 0.9)"
  printf 'RESULT\tpostgres 1 page / sqlite page\t%s\tratio\t\t-\n' \
    "$(awk -v a="$pg1_rps" -v b="$live_rps" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')"
  printf 'RESULT\tpostgres 1 page / nginx\t%s\tratio\t\t-\n' \
    "$(awk -v a="$pg1_rps" -v b="$nginx_rps" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')"
  printf 'RESULT\tpostgres 1 instance submission rate\t%s\treq/s\t\t-\n' "$pg1s_rps"
  printf 'RESULT\tpostgres 1 instance submission p99\t%s\tms\t\t-\n' "$pg1s_p99"
  printf 'RESULT\tpostgres 2 instances submission rate\t%s\treq/s\t\t-\n' "$pg2s_rps"
  printf 'RESULT\tpostgres 2 instances submission p99\t%s\tms\t\t-\n' "$pg2s_p99"
  printf 'RESULT\tpostgres submission 2 / 1 instances\t%s\tratio\t>= 0.9\t%s\n' "$sub_ratio" "$(verdict "$sub_ratio" ">=" 0.9)"
  printf 'RESULT\tpostgres 1 submission / sqlite\t%s\tratio\t\t-\n' \
    "$(awk -v a="$pg1s_rps" -v b="$sub_rps" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')"
  printf 'RESULT\tpostgres cold start to first page\t%s\tms\t< 1000\t%s\n' "$cold_ms" "$(verdict "$cold_ms" "<" 1000)"
  printf 'RESULT\tpostgres instances agree, counts exact\t%s\tflag\t1\t%s\n' "$agree" \
    "$( ((agree)) && echo ok || echo MISSED)"
else
  echo "PostgreSQL 15 is not installed (scripts/deps.sh --test): its runs are left out"
fi
bad=$((live_bad + nginx_bad + sub_bad + pg_bad))
printf 'RESULT\tanswers not 2xx\t%s\tcount\t0\t%s\n' "$bad" "$([[ $bad -eq 0 ]] && echo ok || echo MISSED)"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) core(s); page: $connections connections," \
  "submissions: $submitters; ${seconds}s per run"
