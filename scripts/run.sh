#!/usr/bin/env bash
# Installs what is missing, builds, starts a private MariaDB with the schema
# and the demo data, and opens the program (under Xvfb when there is no display).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target declaraties
"$root/scripts/dbserver.sh" start "$build/demodb" --demo
trap '"$root/scripts/dbserver.sh" stop "$build/demodb"' EXIT
export DECLARATIES_SERVER="127.0.0.1:$(cat "$build/demodb/port")"
echo "Demo login: anna / geheim   (server $DECLARATIES_SERVER)"
if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  "$build/declaraties" "$@"
else
  echo "No display found: starting the program under Xvfb (virtual screen :99)."
  xvfb-run -n 99 -s "-screen 0 1366x768x24" "$build/declaraties" "$@"
fi
