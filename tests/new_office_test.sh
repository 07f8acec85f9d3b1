#!/usr/bin/env bash
# A new office as schema/new_office.sql makes it, with the demo's accounts
# (scripts/dbserver.sh --own-accounts --demo): the program's shared account
# opens nothing, a consultant reaches the server's procedures only, and
# every script run again, in any order, weakens nothing.
#   new_office_test.sh WORK_DIR
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
db="${1:?usage: new_office_test.sh WORK_DIR}/new_office_db"
dbserver="$here/../scripts/dbserver.sh"

fail() { echo "FAIL: $*" >&2; exit 1; }
"$dbserver" stop "$db" >/dev/null
rm -rf "$db"
trap '"$dbserver" stop "$db" >/dev/null' EXIT
"$dbserver" start "$db" --own-accounts --demo >/dev/null
port="$(cat "$db/port")"
admin() { mariadb --no-defaults --protocol=socket --socket="$db/mysqld.sock" -uroot -N "$@"; }
as() { local u="$1" p="$2"; shift 2; mariadb --no-defaults --protocol=tcp -h127.0.0.1 -P"$port" -u"$u" -p"$p" -N "$@" 2>&1; }

# What must hold after every step.
state() {
  admin -e "SHOW GRANTS FOR 'torvakdb'@'%'; SHOW GRANTS FOR 'torvakdb'@'localhost';
            SELECT User, Host, JSON_VALUE(Priv, '$.account_locked') FROM mysql.global_priv ORDER BY User, Host;
            SHOW GRANTS FOR torvakdb_consultant" | sort
}
check() {
  local step="$1" found
  found="$(admin -e 'SELECT * FROM torvakdb_TORVAKbeheer.bevindingen')"
  [[ -z "$found" ]] || fail "$step: controle() finds: $found"
  [[ "$(as torvakdb k4uTbrol -e 'SELECT 1')" == *4151* ]] || fail "$step: the shared account opens"
  [[ "$(as anna geheim -e 'SELECT Bericht FROM torvakdb_TORVAKdata.KALMIRO_berichten')" == *1142* ]] ||
    fail "$step: anna reads a table"
  [[ "$(as anna geheim -e 'CALL torvakdb_TORVAKeigen.bericht()')" == *OPMERKING* ]] ||
    fail "$step: anna's call of the message"
  [[ "$(state)" == "$first" ]] || fail "$step: rights changed: $(diff <(echo "$first") <(state) || true)"
}
first="$(state)"
grep -q "EXECUTE ON PROCEDURE" <<<"$first" || fail "the role holds no procedure: $first"
grep -q "SELECT\|INSERT\|UPDATE\|ALL PRIVILEGES" <<<"$first" && fail "a table right: $first"
check "new office"

run() { (cd "$here/../schema" && admin <"$1") >/dev/null 2>"$db/stderr"; }
for f in new_office.sql upgrade_accounts.sql switch_shared_account.sql upgrade_accounts_existing.sql \
         upgrade.sql demo_accounts.sql new_office.sql; do
  run "$f" || fail "$f run again: $(cat "$db/stderr")"
  check "$f again"
done
# The shared account's rights script refuses on such a server.
if run 05_rechten.sql; then fail "05_rechten.sql ran on a switched server"; fi
grep -q "overgestapt" "$db/stderr" || fail "05_rechten.sql: $(cat "$db/stderr")"
check "05_rechten.sql refused"
echo "new office: switched from the start, every script twice, nothing weakened"
