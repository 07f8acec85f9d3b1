#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libmariadb-dev libsodium-dev
  mariadb-server mariadb-client galera-4 rsync iproute2 lsof openssl
  cups cups-client printer-driver-cups-pdf poppler-utils
  fonts-liberation
  xvfb xauth x11-utils xdotool imagemagick
  python3 dpkg-dev file clang-format ccache
  locales qt6-translations-l10n
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [[ "$(id -u)" != 0 ]] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# The tests and the demo run on a Dutch desktop: the locale must exist, or
# the C library quietly falls back to C and hides locale faults.
if ! locale -a 2>/dev/null | grep -qi '^nl_NL\.utf-\?8$'; then
  sudo=""
  [[ "$(id -u)" != 0 ]] && sudo="sudo"
  if [[ -f /etc/locale.gen ]] && grep -q 'nl_NL.UTF-8' /etc/locale.gen; then
    $sudo sed -i 's/^# *\(nl_NL.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  else
    echo 'nl_NL.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  fi
  $sudo locale-gen
fi
# The distribution's own server is not used; keep it from holding port 3306.
if command -v systemctl >/dev/null 2>&1 && systemctl is-active --quiet mariadb 2>/dev/null; then
  echo "note: the system's MariaDB is running; the program uses its own private server."
fi
