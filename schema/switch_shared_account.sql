-- The switch to accounts of their own: the shared account every copy of
-- the program carries keeps no right and is locked, so that its password
-- opens nothing (the program learns the switch from the lock, at the first
-- read it makes anyway, and reads the message after the login as the
-- consultant). Every workstation must run a version that logs in with the
-- consultant's own account first: an older one can no longer log in.
-- Runs as an administrator after upgrade_accounts.sql and the accounts;
-- refuses while controle() finds anything. Safe to run again.
-- Its own quoting, whatever the server's mode.
SET SESSION sql_mode = 'STRICT_TRANS_TABLES,ERROR_FOR_DIVISION_BY_ZERO,NO_ENGINE_SUBSTITUTION';
CALL `torvakdb_TORVAKbeheer`.`controle_zonder_bevindingen`();

-- At every host the program's account has.
CALL `torvakdb_TORVAKbeheer`.`programma_account`('REVOKE ALL PRIVILEGES, GRANT OPTION FROM %');
-- Limits as well, should the office unlock it for a while.
-- MySQL 8: MAX_USER_CONNECTIONS alone (max_execution_time is a session
-- setting there).
CALL `torvakdb_TORVAKbeheer`.`programma_account`('ALTER USER % WITH MAX_USER_CONNECTIONS 20 MAX_STATEMENT_TIME 2');
CALL `torvakdb_TORVAKbeheer`.`programma_account`('ALTER USER % ACCOUNT LOCK');
-- The mark the older scripts look for: after it, 05_rechten.sql changes nothing.
CREATE TABLE IF NOT EXISTS `torvakdb_TORVAKbeheer`.`overgestapt` (
  `sinds` TIMESTAMP NOT NULL DEFAULT CURRENT_TIMESTAMP) ENGINE=InnoDB;
INSERT INTO `torvakdb_TORVAKbeheer`.`overgestapt` (`sinds`)
  SELECT CURRENT_TIMESTAMP FROM DUAL WHERE NOT EXISTS (SELECT 1 FROM `torvakdb_TORVAKbeheer`.`overgestapt`);
FLUSH PRIVILEGES;
