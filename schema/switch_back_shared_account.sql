-- Back to the shared account, for an office that leaves accounts of their
-- own: the limits of the switch lifted and its mark gone, so that
-- 05_rechten.sql, run next, gives the program's account its rights again.
-- The consultants' accounts stay (drop them with toegang_intrekken, or keep
-- them for a later switch); the program checks passwords in the table again,
-- so every row needs its PASWOORD. Runs as an administrator.
--   sudo mariadb < switch_back_shared_account.sql && sudo mariadb < 05_rechten.sql
-- Its own quoting, whatever the server's mode.
SET SESSION sql_mode = 'STRICT_TRANS_TABLES,ERROR_FOR_DIVISION_BY_ZERO,NO_ENGINE_SUBSTITUTION';
CALL `torvakdb_TORVAKbeheer`.`programma_account`('ALTER USER % WITH MAX_USER_CONNECTIONS 0 MAX_STATEMENT_TIME 0');
CALL `torvakdb_TORVAKbeheer`.`programma_account`('ALTER USER % ACCOUNT UNLOCK');
DROP TABLE IF EXISTS `torvakdb_TORVAKbeheer`.`overgestapt`;
FLUSH PRIVILEGES;
