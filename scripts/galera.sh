#!/usr/bin/env bash
# A private three-node MariaDB Galera cluster on 127.0.0.1, in a folder of
# its own; never the system's server. Each node has its own data folder,
# client port, group-communication port, IST port and SST port; joiners get
# their copy by rsync.
#   galera.sh start DIR          create if needed, start all three, load the schema
#   galera.sh stop DIR           stop every node by its own pid
#   galera.sh kill DIR N         kill node N at once (SIGKILL), as a crash would
#   galera.sh start-node DIR N   start node N again; it rejoins the cluster
#   galera.sh sql DIR N [FILE]   run SQL on node N as the administrator
#   galera.sh port DIR N         print node N's client port
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
schema="$here/../schema"
cmd="${1:?usage: galera.sh start|stop|kill|start-node|sql|port DIR [N]}"
dir="${2:?usage: galera.sh $cmd DIR}"
mkdir -p "$dir"
dir="$(cd "$dir" && pwd)"
provider=/usr/lib/galera/libgalera_smm.so

node_dir() { echo "$dir/node$1"; }
sock() { echo "$(node_dir "$1")/mysqld.sock"; }
pidfile() { echo "$(node_dir "$1")/mysqld.pid"; }
client() { local n="$1"; shift; mariadb --no-defaults --protocol=socket --socket="$(sock "$n")" -uroot "$@"; }
running() { [[ -f "$(pidfile "$1")" ]] && kill -0 "$(cat "$(pidfile "$1")")" 2>/dev/null; }

# Four free ports per node, chosen once and kept: client, group, IST, SST.
ports() {
  [[ -f "$dir/ports" ]] && return 0
  python3 - >"$dir/ports" <<'PY'
import socket
socks = []
for _ in range(12):
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    socks.append(s)
ports = [s.getsockname()[1] for s in socks]
for s in socks:
    s.close()
for n in range(3):
    print(" ".join(str(p) for p in ports[4 * n:4 * n + 4]))
PY
}
port_of() { sed -n "${1}p" "$dir/ports" | cut -d' ' -f"$2"; }

config() {
  local n="$1" d
  d="$(node_dir "$n")"
  local members=()
  for m in 1 2 3; do members+=("127.0.0.1:$(port_of "$m" 2)"); done
  local user=""
  [[ "$(id -u)" == 0 ]] && user="user=root"
  cat >"$d/my.cnf" <<EOF
[mysqld]
$user
datadir=$d/data
tmpdir=$d/tmp
socket=$(sock "$n")
port=$(port_of "$n" 1)
bind-address=127.0.0.1
pid-file=$(pidfile "$n")
log-error=$d/error.log
character-set-server=utf8mb4
max-connections=300
# The consultants' accounts: INSTALL SONAME is not replicated, so every node loads it.
plugin-load-add=auth_ed25519
innodb-buffer-pool-size=${DL_DB_BUFFER_POOL:-64M}
innodb-log-file-size=16M
innodb-flush-log-at-trx-commit=2
binlog-format=ROW
innodb-autoinc-lock-mode=2
wsrep-on=ON
wsrep-provider=$provider
wsrep-cluster-name=dl-test
wsrep-cluster-address=gcomm://$(IFS=,; echo "${members[*]}")
wsrep-node-name=node$n
wsrep-node-address=127.0.0.1:$(port_of "$n" 2)
wsrep-provider-options=gmcast.listen_addr=tcp://127.0.0.1:$(port_of "$n" 2);ist.recv_addr=127.0.0.1:$(port_of "$n" 3);gcache.size=32M;evs.inactive_timeout=PT6S;evs.suspect_timeout=PT3S;evs.install_timeout=PT4S
wsrep-sst-method=rsync
wsrep-sst-receive-address=127.0.0.1:$(port_of "$n" 4)
wsrep-slave-threads=2

[client]
socket=$(sock "$n")
EOF
}

# Waits until the node is synced with the cluster, at most LIMIT seconds
# (every question to it bounded too: a node that is starting may take the
# connection and not answer).
wait_synced() {
  local n="$1" pid="$2" limit="${3:-150}" end
  end=$((SECONDS + limit))
  while ((SECONDS < end)); do
    if [[ "$(timeout 5 mariadb --no-defaults --protocol=socket --socket="$(sock "$n")" -uroot -N \
               -e "SHOW STATUS LIKE 'wsrep_local_state_comment'" 2>/dev/null | cut -f2)" == Synced ]]; then
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
  done
  echo "node $n did not get in sync within ${limit}s; see $(node_dir "$n")/error.log" >&2
  tail -30 "$(node_dir "$n")/error.log" >&2 || true
  return 1
}

start_node() {
  local n="$1" first="${2:-0}" d
  d="$(node_dir "$n")"
  if running "$n"; then return 0; fi
  mkdir -p "$d" "$d/tmp"
  chmod 755 "$dir" "$d"
  config "$n"
  if [[ ! -d "$d/data/mysql" ]]; then
    mkdir -p "$d/data"
    if [[ "$n" == 1 ]]; then
      mariadb-install-db --defaults-file="$d/my.cnf" --auth-root-authentication-method=socket \
        --skip-test-db --wsrep-on=OFF >"$d/install.log" 2>&1
    fi
  fi
  # A joiner's rsync daemon started by root writes as "nobody": the data
  # folder (private, under the build folder) must let it, down to the
  # folders the server made since.
  [[ "$(id -u)" == 0 ]] && chown -R nobody "$d/data"
  rm -f "$d/data/grastate.dat.lock"
  local extra=()
  # A node that was killed does not know how far it got: recover the
  # position from its own logs, so that it catches up by IST, not a full copy.
  if [[ -f "$d/data/grastate.dat" ]] && grep -q '^seqno: *-1' "$d/data/grastate.dat"; then
    recover "$n"
    local pos
    pos="$(grep -o 'Recovered position: *[0-9a-f-]*:[0-9-]*' "$d/recover.log" | tail -1 | sed 's/.*: *//')"
    [[ -n "$pos" ]] && extra+=(--wsrep-start-position="$pos")
  fi
  if [[ "$first" == 1 ]]; then
    extra+=(--wsrep-new-cluster)
    # The first node may bootstrap even when it was not the last one to stop.
    [[ -f "$d/data/grastate.dat" ]] && sed -i 's/^safe_to_bootstrap: 0/safe_to_bootstrap: 1/' "$d/data/grastate.dat"
  fi
  launch "$n"
  [[ "${DL_NO_WAIT:-0}" == 1 ]] && return 0
  if [[ "$first" == 1 ]]; then
    wait_synced "$n" "$(cat "$d/launched.pid")"
    return
  fi
  wait_synced "$n" "$(cat "$d/launched.pid")" 90 && return 0
  # A joiner that hangs in its catch-up (seen once under load) gets one more
  # go with a full copy from a donor.
  echo "node $n: starting again with a full copy" >&2
  stop_launched "$n"
  cp "$d/error.log" "$d/error.before-full-copy.log" 2>/dev/null || true
  rm -f "$d/data/grastate.dat" "$d/data/gvwstate.dat"
  extra=()
  launch "$n"
  wait_synced "$n" "$(cat "$d/launched.pid")"
}

# The recovery run prints the position and should exit; seen here, it
# then spun at full speed, ignoring SIGTERM and growing to 12 GB. Once the
# position is in its log (or after 90 s) it is killed and reaped.
recover() {
  local n="$1" d pid
  d="$(node_dir "$n")"
  : >"$d/recover.log"
  mariadbd --defaults-file="$d/my.cnf" --wsrep-recover --log-error="$d/recover.log" >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 1 450); do
    kill -0 "$pid" 2>/dev/null || break
    grep -q 'Recovered position' "$d/recover.log" && break
    sleep 0.2
  done
  if kill -0 "$pid" 2>/dev/null; then
    # Let a clean exit finish for a moment before the kill.
    for _ in $(seq 1 10); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
    kill -9 "$pid" 2>/dev/null || true
  fi
  wait "$pid" 2>/dev/null || true
  grep -q 'Recovered position' "$d/recover.log" || echo "node $n: no position recovered; see $d/recover.log" >&2
}

launch() {
  local n="$1" d
  d="$(node_dir "$n")"
  mariadbd --defaults-file="$d/my.cnf" "${extra[@]}" >/dev/null 2>&1 &
  echo $! >"$d/launched.pid"
}

stop_launched() {
  local n="$1" pid
  pid="$(cat "$(node_dir "$n")/launched.pid")"
  kill -9 "$pid" 2>/dev/null || true
  for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$(pidfile "$n")"
}

start() {
  ports
  local any=0
  for n in 1 2 3; do running "$n" && any=1; done
  if [[ $any == 1 ]]; then
    for n in 1 2 3; do start_node "$n"; done
  else
    start_node 1 1
    # The joiners ask for their copy at the same time; the donor serves them
    # in turn, and their own waits overlap.
    DL_NO_WAIT=1 start_node 2
    DL_NO_WAIT=1 start_node 3
    wait_synced 2 "$(cat "$(node_dir 2)/launched.pid")"
    wait_synced 3 "$(cat "$(node_dir 3)/launched.pid")"
  fi
  for f in "$schema"/0*.sql; do client 1 <"$f"; done
  # Each node has applied the schema before a test connects to it: a node
  # catches up on its own time after a DDL elsewhere.
  for n in 2 3; do
    for i in $(seq 1 300); do
      client "$n" -e 'SET SESSION wsrep_sync_wait = 15; SELECT 1 FROM torvakdb_TORVAKdeclaraties.Declaraties LIMIT 0' \
        >/dev/null 2>&1 && break
      [[ $i == 300 ]] && { echo "node $n did not take the schema" >&2; exit 1; }
      sleep 0.2
    done
  done
  echo "cluster on 127.0.0.1 ports $(port_of 1 1),$(port_of 2 1),$(port_of 3 1)"
}

stop_node() {
  local n="$1" sig="${2:-TERM}" pid
  running "$n" || return 0
  pid="$(cat "$(pidfile "$n")")"
  kill -s "$sig" "$pid"
  for _ in $(seq 1 150); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
  done
  if kill -0 "$pid" 2>/dev/null; then kill -9 "$pid"; fi
  rm -f "$(pidfile "$n")"
}

stop() {
  # The last one down is the one that may bootstrap next time.
  for n in 3 2 1; do stop_node "$n"; done
  echo "stopped"
}

case "$cmd" in
  start) start ;;
  stop) stop ;;
  kill) stop_node "${3:?node}" KILL ;;
  start-node) ports; start_node "${3:?node}" ;;
  # A script runs in its own folder, so that its SOURCE lines find their files.
  sql) if [[ -n "${4:-}" ]]; then f=$(realpath "$4"); (cd "$(dirname "$f")" && client "${3:?node}" <"$f"); else client "${3:?node}"; fi ;;
  port) ports; port_of "${3:?node}" 1 ;;
  *) echo "unknown command $cmd" >&2; exit 2 ;;
esac
