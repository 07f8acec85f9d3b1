#!/usr/bin/env bash
# Installs what is missing, builds, starts a private MariaDB with the schema
# and the demo data, and opens the program (under Xvfb when there is no display).
# The demo is a new office: each consultant logs in with an account of their
# own. The server gets a CA and certificate of its own (made once under the
# build folder) and the program connects with TLS required and that CA.
# DL_DEMO_TLS=0 runs the demo without TLS, and so on the shared account of an
# office that has not switched (accounts of their own need TLS).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target declaraties
server_tls=()
demodb="$build/demodb"
start_options=(--demo)
if [[ "${DL_DEMO_TLS:-1}" != 0 ]]; then
  demodb="$build/demodb-eigen"
  start_options+=(--own-accounts)
  certs="$build/demodb-certs"
  "$root/scripts/tlscerts.sh" ca "$certs"
  [[ -f "$certs/server.pem" ]] || "$root/scripts/tlscerts.sh" server "$certs" "$certs/server" 127.0.0.1 localhost
  server_tls=(-- "--ssl-ca=$certs/ca.pem" "--ssl-cert=$certs/server.pem" "--ssl-key=$certs/server.key")
  # A server started earlier without TLS would keep running without it.
  "$root/scripts/dbserver.sh" stop "$demodb" >/dev/null
  # Through the environment, so that the user's remembered settings stay as they are.
  export DECLARATIES_TLS=required DECLARATIES_TLS_CA="$certs/ca.pem"
fi
"$root/scripts/dbserver.sh" start "$demodb" "${start_options[@]}" "${server_tls[@]}"
trap '"$root/scripts/dbserver.sh" stop "$demodb"' EXIT
export DECLARATIES_SERVER="127.0.0.1:$(cat "$demodb/port")"
if [[ -n "${DECLARATIES_TLS:-}" ]]; then
  echo "Demo logins, accounts of their own: anna / geheim, bram / welkom   (server $DECLARATIES_SERVER, TLS $DECLARATIES_TLS)"
else
  echo "Demo login, shared account: anna / geheim   (server $DECLARATIES_SERVER, no TLS)"
fi
if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  "$build/declaraties" "$@"
else
  echo "No display found: starting the program under Xvfb (virtual screen :99)."
  xvfb-run -n 99 -s "-screen 0 1366x768x24" "$build/declaraties" "$@"
fi
