#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a fresh folder and runs the
# unpacked program: --help, --version, and under Xvfb against the private
# server, where the login form must appear and a --server must be remembered.
#   package_test.sh BUILD_DIR TESTDB_DIR
set -euo pipefail

build="$(cd "${1:?usage: package_test.sh BUILD_DIR TESTDB_DIR}" && pwd)"
testdb="$(cd "${2:?usage: package_test.sh BUILD_DIR TESTDB_DIR}" && pwd)"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
work="$build/package_test"

fail() { echo "FAIL: $*" >&2; exit 1; }

for tool in cpack dpkg-deb dpkg-shlibdeps xvfb-run xdotool import identify; do
  command -v "$tool" >/dev/null || fail "$tool is not installed"
done

# Never the user's own settings or a server from the environment.
export XDG_CONFIG_HOME="$work/config"
unset DECLARATIES_SERVER
export LC_ALL=C.UTF-8

gui() {
  # Runs inside xvfb-run: $1 = port of the private server.
  local port="$1" bin="$work/root/usr/bin/declaraties"
  local conf="$XDG_CONFIG_HOME/declaraties/declaraties.conf"

  visible() { { xdotool search --onlyvisible --classname declaraties 2>/dev/null || true; } | wc -l; }
  connections() {
    "$here/../scripts/dbserver.sh" sql "$testdb" <<<"SHOW GLOBAL STATUS LIKE 'Connections';" |
      awk '/Connections/ {print $2}'
  }
  wait_for_window() {
    for _ in $(seq 1 50); do
      [[ "$(visible)" -ge 1 ]] && return 0
      kill -0 "$1" 2>/dev/null || fail "the program ended before a window appeared"
      sleep 0.2
    done
    fail "no window of the program appeared"
  }

  # First start: with --server; the login form alone is on the screen.
  "$bin" --server "127.0.0.1:$port" >"$work/first.log" 2>&1 &
  local pid=$!
  wait_for_window "$pid"
  sleep 1
  [[ "$(visible)" == 1 ]] || fail "expected only the login form, saw $(visible) windows"
  import -window root "$work/login.png" 2>/dev/null || true
  kill "$pid"; wait "$pid" 2>/dev/null || true
  grep -qx "server=127.0.0.1:$port" "$conf" || fail "--server was not remembered in $conf"
  echo "ok: login form shown, server remembered in $conf"

  # Second start: nothing given; a login through the keyboard must reach
  # the remembered server and mark the test consultant online.
  sql() { "$here/../scripts/dbserver.sh" sql "$testdb"; }
  sql <<<"DELETE FROM torvakdb_TORVAKdata.KALMIRO_consultants WHERE consultantnummer = 'PK01';
INSERT INTO torvakdb_TORVAKdata.KALMIRO_consultants (LOGIN, PASWOORD, consultantnummer, voornaam, naam, isONLINE)
VALUES ('pakket', 'proef1', 'PK01', 'Pak', 'Ket', 'OFFLINE');"
  "$bin" >"$work/second.log" 2>&1 &
  pid=$!
  wait_for_window "$pid"
  sleep 1
  local win
  win="$(xdotool search --onlyvisible --classname declaraties | head -1)"
  xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win" 2>/dev/null || true
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 30 pakket
  xdotool key Tab ctrl+a
  xdotool type --delay 30 proef1
  xdotool key Tab space
  local used=0
  for _ in $(seq 1 30); do
    if sql <<<"SELECT isONLINE FROM torvakdb_TORVAKdata.KALMIRO_consultants WHERE consultantnummer = 'PK01';" |
      grep -qx ONLINE; then used=1; break; fi
    sleep 0.5
  done
  import -window root "$work/second.png" 2>/dev/null || true
  kill "$pid"; wait "$pid" 2>/dev/null || true
  sql <<<"DELETE FROM torvakdb_TORVAKdata.KALMIRO_consultants WHERE consultantnummer = 'PK01';"
  (( used )) || fail "a login on the second start did not reach the remembered server within 15 s"
  echo "ok: the second start used the remembered server"
}

if [[ "${3:-}" == "--gui" ]]; then
  gui "$4"
  exit 0
fi

rm -rf "$work"
mkdir -p "$work"

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/cpack" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb="$(ls "$work"/cpack/declaraties_*.deb)"
echo "ok: built $(basename "$deb")"

depends="$(dpkg-deb -f "$deb" Depends)"
for pkg in libqt6core6 libqt6gui6 libqt6widgets6 libmariadb3 libqt6printsupport6 \
           libsodium23 fonts-liberation libc6 libstdc++6; do
  [[ ", $depends," == *", $pkg "* || ", $depends," == *", $pkg,"* ]] ||
    fail "Depends lacks $pkg: $depends"
done
[[ "$depends" != *libqt6sql6* ]] || fail "Depends still names Qt's SQL driver: $depends"
[[ "$(dpkg-deb -f "$deb" Package)" == declaraties ]] || fail "package name"

dpkg-deb -x "$deb" "$work/root"
for f in usr/bin/declaraties usr/share/applications/declaraties.desktop \
         usr/share/icons/hicolor/scalable/apps/declaraties.svg usr/share/man/man1/declaraties.1.gz \
         usr/share/declaraties/schema/01_databases.sql usr/share/declaraties/schema/02_data.sql \
         usr/share/declaraties/schema/03_raporten.sql usr/share/declaraties/schema/04_declaraties.sql \
         usr/share/declaraties/schema/05_rechten.sql usr/share/declaraties/schema/upgrade.sql \
         usr/share/declaraties/schema/demo.sql usr/share/declaraties/schema/eigen/opslaan.sql \
         usr/share/declaraties/schema/beheer/opdrachten.sql usr/share/declaraties/schema/restore.sh; do
  [[ -f "$work/root/$f" ]] || fail "missing /$f"
done
for size in 16 32 48 64 128 256; do
  png="$work/root/usr/share/icons/hicolor/${size}x${size}/apps/declaraties.png"
  [[ -f "$png" ]] || fail "missing icon $size"
  [[ "$(identify -format '%wx%h' "$png")" == "${size}x${size}" ]] || fail "icon $size has the wrong size"
done
desktop="$work/root/usr/share/applications/declaraties.desktop"
grep -qx 'Name=Declaraties & Logboeken' "$desktop" || fail "desktop entry name"
grep -qx 'Categories=Office;' "$desktop" || fail "desktop entry category"
grep -qx 'Exec=declaraties' "$desktop" || fail "desktop entry command"
echo "ok: files in place"

# --help and --version without a display.
bin="$work/root/usr/bin/declaraties"
help="$(env -u DISPLAY -u WAYLAND_DISPLAY "$bin" --help)" || fail "--help did not exit 0"
grep -q '^Gebruik: declaraties \[opties\]' <<<"$help" || fail "--help text: $help"
grep -qF "$XDG_CONFIG_HOME/declaraties/declaraties.conf" <<<"$help" ||
  fail "--help does not say where the setting lives"
version="$(env -u DISPLAY -u WAYLAND_DISPLAY "$bin" --version)" || fail "--version did not exit 0"
grep -Eq '^declaraties [0-9]+\.[0-9]+\.[0-9]+$' <<<"$(head -1 <<<"$version")" ||
  fail "--version text: $version"
if env -u DISPLAY "$bin" --server nergens:0 2>/dev/null; then fail "a bad --server was accepted"; fi
echo "ok: --help, --version"

port="$(cat "$testdb/port")"
xvfb-run -a -s "-screen 0 1280x1024x24" bash "${BASH_SOURCE[0]}" "$build" "$testdb" --gui "$port"
echo "PASS"
