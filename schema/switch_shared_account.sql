-- The switch to accounts of their own: the shared account every copy of
-- the program carries keeps nothing but reading the office's message (the
-- program's first read before a login, and how it learns that the server
-- has switched). Every workstation must run a version that logs in with
-- the consultant's own account first: an older one can no longer log in.
-- Runs as an administrator after upgrade_accounts.sql and the accounts;
-- refuses while controle() finds anything. Safe to run again.
CALL `torvakdb_TORVAKbeheer`.`controle_zonder_bevindingen`();

REVOKE ALL PRIVILEGES, GRANT OPTION FROM 'torvakdb'@'%', 'torvakdb'@'localhost';
GRANT SELECT ON `torvakdb_TORVAKeigen`.`KALMIRO_berichten` TO 'torvakdb'@'%', 'torvakdb'@'localhost';
-- Many workstations read the message at about the same time, each once
-- and briefly; a statement of its own is over in milliseconds.
-- MySQL 8: MAX_USER_CONNECTIONS alone (max_execution_time is a session
-- setting there).
ALTER USER 'torvakdb'@'%' WITH MAX_USER_CONNECTIONS 20 MAX_STATEMENT_TIME 2;
ALTER USER 'torvakdb'@'localhost' WITH MAX_USER_CONNECTIONS 20 MAX_STATEMENT_TIME 2;
FLUSH PRIVILEGES;
