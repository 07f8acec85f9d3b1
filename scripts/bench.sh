#!/usr/bin/env bash
# The benchmark: builds the program and the bench in Release, fills three
# private MariaDB servers with office-sized tables (once; the data folders
# under bench-data/ are kept, and an interrupted fill goes on where it
# stopped), measures every action at 10^3 rows, 10^5 rows and the full
# volume next to the old design's table walks, the same actions on accounts
# of their own (a copy of each server, set up once by the office's scripts),
# the start-up time and the memory, and writes bench/RESULTS.md. Not part of
# the test run.
#
#   scripts/bench.sh
# Settings: BENCH_ROUND_TRIPS_ONLY=1 fills only the smallest server and counts
# the round trips (quick); BENCH_SAMPLES=200 per action and scale, BENCH_BASELINE=1e3=30,1e5=5,full=3
# samples of the old design, BENCH_NICE=-10 the priority of the measuring
# (the program, the bench and its servers; the fill runs at nice 10), so that
# compilers on the same cores do not measure themselves; BENCH_NICE=0 for none;
# BENCH_NOTE a sentence on the machine's state, written into the results.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BENCH_BUILD_DIR:-$root/build-bench}"
data="${BENCH_DATA_DIR:-$root/bench-data}"
samples="${BENCH_SAMPLES:-200}"
baseline="${BENCH_BASELINE:-1e3=30,1e5=5,full=3}"
prio="${BENCH_NICE:--10}"
export DL_DB_BUFFER_POOL="${DL_DB_BUFFER_POOL:-1G}"
scales=(1e3 1e5 full)
tripsOnly="${BENCH_ROUND_TRIPS_ONLY:-0}"
[[ "$tripsOnly" == 1 ]] && scales=(1e3)

step() { printf '\n== %s (%s)\n' "$1" "$(date +%T)"; }

step "build"
cmake -S "$root" -B "$build" -DDL_BUILD_BENCH=ON -DDL_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
nice -n 10 cmake --build "$build" -j2 --target declaraties dl_bench dl_bench_memory tst_bench_results
"$build/bench/tst_bench_results" -silent

step "fill (only what is missing)"
nice -n 10 python3 "$root/bench/fill.py" "$data" "${scales[@]}"

db() { "$root/scripts/dbserver.sh" "$@"; }
# The same tables on accounts of their own, on a copy of each filled server
# (once), so that the shared account's figures stay those of an office that
# never ran the accounts' upgrade.
own=()
if [[ "$tripsOnly" != 1 ]]; then
  step "copies on accounts of their own (only what is missing)"
  for s in "${scales[@]}"; do
    o="$data/$s-eigen"
    own+=("$s-eigen")
    [[ -f "$o/complete" ]] && continue
    db stop "$data/$s" >/dev/null
    db stop "$o" >/dev/null
    rm -rf "$o"
    mkdir -p "$o"
    cp -a "$data/$s/data" "$o/data"
    db start "$o" >/dev/null
    # The bench's servers offer no TLS; the office's mark says it knows.
    db sql "$o" <<<'CREATE DATABASE IF NOT EXISTS torvakdb_TORVAKbeheer;
      CREATE TABLE IF NOT EXISTS torvakdb_TORVAKbeheer.zonder_tls (sinds TIMESTAMP NOT NULL DEFAULT CURRENT_TIMESTAMP);'
    touch "$o/complete"
  done
fi

step "servers"
for s in "${scales[@]}" "${own[@]}"; do db start "$data/$s" >/dev/null; done
trap 'for s in "${scales[@]}" "${own[@]}"; do db stop "$data/$s" >/dev/null || true; done' EXIT
# Servers filled by an older version get what this one needs (indexes).
for s in "${scales[@]}" "${own[@]}"; do db sql "$data/$s" <"$root/schema/upgrade.sql" >/dev/null; done
# The accounts and the procedures as checked out (a copy is set up here the
# first time; both scripts leave what is there as it is).
for s in "${own[@]}"; do
  for f in "$root/schema/upgrade_accounts.sql" "$root/bench/own_accounts.sql"; do db sql "$data/$s" "$f" >/dev/null; done
done
addr() { echo "127.0.0.1:$(cat "$data/$1/port")"; }
# Every thread of the server (a server started by the fill runs at nice 10);
# new connection threads inherit the main thread's priority.
for s in "${scales[@]}" "${own[@]}"; do
  pid="$(cat "$data/$s/mysqld.pid")"
  renice -n "$prio" -p $(ls "/proc/$pid/task") >/dev/null 2>&1 || echo "(could not set the priority of the $s server)"
done
run() { nice -n "$prio" "$@"; }
xvfb=(xvfb-run -a -s "-screen 0 1366x768x24")

if [[ "$tripsOnly" == 1 ]]; then
  step "round trips"
  run "$build/bench/dl_bench" --scale "1e3=$(addr 1e3)" --data "$data" --round-trips-only 1 \
    --out "$root/bench/ROUND-TRIPS.md"
  echo
  echo "written to bench/ROUND-TRIPS.md"
  exit 0
fi
export DECLARATIES_SERVER="$(addr full)"

step "start-up: process start to the login form painted, under Xvfb"
startup="$(run "${xvfb[@]}" "$build/bench/dl_bench" --probe-startup "$build/declaraties" 10 2>/dev/null |
  sed -n 's/^startup-ms: //p')"
echo "$startup"

step "memory after a login and a month opened, under Xvfb"
read -r login password < <(cd "$root/bench" && python3 -c \
  'import fill; c = fill.consultant(42); print(c["login"], c["password"])')
logins='`torvakdb_TORVAKdata`.`LOGINconsultant`'
top="$("$root/scripts/dbserver.sh" sql "$data/full" <<<"SELECT COALESCE(MAX(id), 0) FROM $logins;" | tail -1)"
memory="$(run "${xvfb[@]}" "$build/bench/dl_bench_memory" "$(addr full)" "$login" "$password" 2>&1 || true)"
# The login record it wrote goes again: the tables stay as filled.
"$root/scripts/dbserver.sh" sql "$data/full" <<<"DELETE FROM $logins WHERE id > $top;"
echo "$memory"
rss="$(sed -n 's/^memory-kb: rss \([0-9]*\) hwm.*/\1/p' <<<"$memory")"
hwm="$(sed -n 's/^memory-kb: rss [0-9]* hwm \([0-9]*\).*/\1/p' <<<"$memory")"
memargs=()
if [[ -n "$rss" ]] && ! grep -q 'month -$' <<<"$memory"; then
  memargs=(--rss-kb "$rss" --hwm-kb "$hwm")
else
  echo "(no month was opened through the start-up wiring; memory not reported)"
fi

step "actions"
args=()
for s in "${scales[@]}"; do args+=(--scale "$s=$(addr "$s")" --own-scale "$s=$(addr "$s-eigen")"); done
set +e
run "$build/bench/dl_bench" "${args[@]}" --data "$data" --samples "$samples" --baseline "$baseline" \
  --out "$root/bench/RESULTS.md" --startup-ms "$startup" "${memargs[@]}" \
  --note "Measured at nice $prio (program, bench and servers).${BENCH_NOTE:+ $BENCH_NOTE}"
rc=$?
set -e
echo
echo "written to bench/RESULTS.md"
exit $rc
