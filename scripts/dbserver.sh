#!/usr/bin/env bash
# A private MariaDB server in a folder of its own, on 127.0.0.1 and a free
# port; never the system's server.
#   dbserver.sh start DIR [--demo] [--own-accounts] [-- SERVER-OPTION...]
#                                    create if needed, start, load the schema
#                                    (--own-accounts: a new office on accounts
#                                    of their own, set up when the folder is new);
#                                    a restart keeps the port when it is still free,
#                                    and the server options last given (--ssl-cert=…)
#   dbserver.sh stop DIR             stop it by its own pid
#   dbserver.sh sql DIR [SQL-FILE]   run SQL as the server's administrator
#   dbserver.sh port DIR             print the port
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
schema="$here/../schema"
cmd="${1:?usage: dbserver.sh start|stop|sql|port DIR}"
dir="${2:?usage: dbserver.sh $cmd DIR}"
mkdir -p "$dir"
dir="$(cd "$dir" && pwd)"
sock="$dir/mysqld.sock"

client() { mariadb --no-defaults --protocol=socket --socket="$sock" -uroot "$@"; }

running() { [[ -f "$dir/mysqld.pid" ]] && kill -0 "$(cat "$dir/mysqld.pid")" 2>/dev/null; }

free_port() {
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()'
}

# The port this folder had before, if nobody took it since: a restarted
# server stays where its clients look for it.
previous_port() {
  [[ -f "$dir/port" ]] || return 1
  python3 - "$(cat "$dir/port")" <<'PY'
import socket, sys
s = socket.socket()
s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
try:
    s.bind(("127.0.0.1", int(sys.argv[1])))
except (OSError, ValueError):
    sys.exit(1)
print(int(sys.argv[1]))
PY
}

start() {
  if running; then
    echo "already running on port $(cat "$dir/port")"
    return 0
  fi
  local fresh=0
  # Its temporary tables in its own folder, the install's too: nothing
  # another program clears under /tmp breaks a statement.
  mkdir -p "$dir/tmp"
  if [[ ! -d "$dir/data/mysql" ]]; then
    fresh=1
    mariadb-install-db --no-defaults --datadir="$dir/data" --tmpdir="$dir/tmp" --user="$(id -un)" \
      --auth-root-authentication-method=socket --skip-test-db >"$dir/install.log" 2>&1
  fi
  local port
  port="$(previous_port)" || port="$(free_port)"
  echo "$port" >"$dir/port"
  local extra=()
  [[ "$(id -u)" == 0 ]] && extra+=(--user=root)
  # Options after "--" are kept for later restarts of this folder's server.
  if ((${#server_options[@]})); then
    printf '%s\n' "${server_options[@]}" >"$dir/server-options"
  fi
  if [[ -f "$dir/server-options" ]]; then
    while IFS= read -r o; do [[ -n "$o" ]] && extra+=("$o"); done <"$dir/server-options"
  fi
  mariadbd --no-defaults --datadir="$dir/data" --tmpdir="$dir/tmp" --socket="$sock" --port="$port" \
    --bind-address=127.0.0.1 --pid-file="$dir/mysqld.pid" --log-error="$dir/error.log" \
    --skip-log-bin --innodb-buffer-pool-size="${DL_DB_BUFFER_POOL:-256M}" \
    --innodb-flush-log-at-trx-commit=2 --max-connections=300 \
    --character-set-server=utf8mb4 --plugin-load-add=auth_ed25519 "${extra[@]}" >/dev/null 2>&1 &
  for _ in $(seq 1 150); do
    if client -e 'SELECT 1' >/dev/null 2>&1 && [[ -f "$dir/mysqld.pid" ]]; then break; fi
    sleep 0.2
  done
  if ! client -e 'SELECT 1' >/dev/null 2>&1; then
    echo "mariadbd did not start; see $dir/error.log" >&2
    tail -20 "$dir/error.log" >&2 || true
    exit 1
  fi
  if [[ $own == 1 ]]; then
    if [[ $fresh == 1 ]]; then
      # Such a server needs TLS; one started without it says so by the mark.
      if [[ "$(client -N -e 'SELECT @@have_ssl')" != YES ]]; then
        client -e 'CREATE DATABASE IF NOT EXISTS torvakdb_TORVAKbeheer;
                   CREATE TABLE IF NOT EXISTS torvakdb_TORVAKbeheer.zonder_tls (sinds TIMESTAMP NOT NULL DEFAULT CURRENT_TIMESTAMP)'
      fi
      (cd "$schema" && client <new_office.sql >/dev/null)
      if [[ $demo == 1 ]]; then
        client <"$schema/demo.sql"
        client <"$schema/demo_year.sql"
        client <"$schema/demo_accounts.sql"
      fi
    fi
  else
    for f in "$schema"/0*.sql; do client <"$f"; done
    if [[ $demo == 1 && $fresh == 1 ]]; then
      client <"$schema/demo.sql"
      client <"$schema/demo_year.sql"
    fi
  fi
  echo "started on 127.0.0.1:$port (pid $(cat "$dir/mysqld.pid"))"
}

stop() {
  if ! running; then
    echo "not running"
    return 0
  fi
  local pid
  pid="$(cat "$dir/mysqld.pid")"
  kill "$pid"
  for _ in $(seq 1 150); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
  done
  if kill -0 "$pid" 2>/dev/null; then kill -9 "$pid"; fi
  rm -f "$dir/mysqld.pid"
  echo "stopped"
}

demo=0
own=0
server_options=()
if [[ "$cmd" == start ]]; then
  shift 2
  while (($#)); do
    case "$1" in
      --demo) demo=1 ;;
      --own-accounts) own=1 ;;
      --) shift; server_options=("$@"); break ;;
      *) echo "unknown start option $1" >&2; exit 2 ;;
    esac
    shift
  done
fi

case "$cmd" in
  start) start ;;
  stop) stop ;;
  # A script runs in its own folder, so that its SOURCE lines find their files.
  sql) if [[ -n "${3:-}" ]]; then f=$(realpath "$3"); (cd "$(dirname "$f")" && client <"$f"); else client; fi ;;
  port) cat "$dir/port" ;;
  *) echo "unknown command $cmd" >&2; exit 2 ;;
esac
