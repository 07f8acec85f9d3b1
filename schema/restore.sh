#!/usr/bin/env bash
# Restores a backup made as docs/OFFICE.md says (mariadb-dump --all-databases
# ... --ignore-database=torvakdb_TORVAKeigen) onto a new server, and makes
# what the dump leaves out: the consultants' procedures, their owner's grants
# and the views (upgrade_accounts.sql). Checks first what accounts of their
# own need, so that it stops before loading anything when the server cannot
# take them. Ends with the office's check.
#   restore.sh kantoor.sql [MARIADB-CLIENT-OPTION...]     e.g. sudo ./restore.sh kantoor.sql
set -euo pipefail
dump="${1:?usage: restore.sh DUMP.sql [MARIADB-CLIENT-OPTION...]}"
shift
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
[[ -r "$dump" ]] || { echo "Kan $dump niet lezen." >&2; exit 1; }
db() { mariadb "$@"; }
ask() { db "$@" -N -e "$query"; }

# A dump cut off (a full disk, a broken copy) would load half.
if ! tail -n 1 "$dump" | grep -q '^-- Dump completed'; then
  echo "$dump is onvolledig (de laatste regel is niet \"-- Dump completed\"). Er is niets geladen." >&2
  exit 1
fi
# The dump's own statements, at the start of a line: a consultant's text
# stands inside an INSERT line and cannot pass for them.
if grep -qE '^CREATE DATABASE .*`torvakdb_TORVAKbeheer`' "$dump"; then
  query="SELECT COUNT(*) FROM information_schema.PLUGINS WHERE PLUGIN_NAME = 'ed25519' AND PLUGIN_STATUS = 'ACTIVE'"
  if [[ "$(ask "$@")" != 1 ]]; then
    echo "De ed25519-plugin is niet geladen: zet plugin-load-add = auth_ed25519 onder [mysqld] en start de server opnieuw. Er is niets geladen." >&2
    exit 1
  fi
  query="SELECT @@have_ssl"
  # A test server without TLS carries its mark in the dump.
  if [[ "$(ask "$@")" != YES ]] && ! grep -qE '^CREATE TABLE `zonder_tls` \(' "$dump"; then
    echo "De server biedt geen TLS: zet eerst ssl-cert en ssl-key onder [mysqld] (README: Turning on TLS in MariaDB). Er is niets geladen." >&2
    exit 1
  fi
  db "$@" <"$dump"
  (cd "$here" && db "$@" <upgrade_accounts.sql >/dev/null)
  db "$@" -e 'CALL torvakdb_TORVAKbeheer.controle()'
else
  # An office on the shared account: the dump is all there is.
  db "$@" <"$dump"
fi
echo "Hersteld uit $dump."
