-- The rights of the program's account: exactly what its statements need,
-- so that no workstation, whose copy of the program carries the password,
-- can delete, drop or rewrite what it has no business with.
-- Runs as an administrator after the tables exist; safe to run again: it
-- takes every right away first, so an account that had more is narrowed.
-- Every host the account has (localhost, 127.0.0.1, '%', a subnet) gets the
-- same. On a server switched to accounts of their own it changes nothing:
-- it would give the shared account the consultants' passwords back.
-- MariaDB (a compound statement); MySQL 8 runs the GRANTs below by hand.
SET SESSION sql_mode = 'STRICT_TRANS_TABLES,ERROR_FOR_DIVISION_BY_ZERO,NO_AUTO_CREATE_USER,NO_ENGINE_SUBSTITUTION';
DELIMITER //
BEGIN NOT ATOMIC
  DECLARE klaar BOOLEAN DEFAULT FALSE;
  DECLARE v_host VARCHAR(255) CHARACTER SET utf8mb4;
  DECLARE v_account TEXT;
  DECLARE hosts CURSOR FOR SELECT `Host` FROM mysql.global_priv WHERE `User` = 'torvakdb' ORDER BY `Host`;
  DECLARE CONTINUE HANDLER FOR NOT FOUND SET klaar = TRUE;
  IF EXISTS (SELECT 1 FROM information_schema.TABLES
             WHERE TABLE_SCHEMA = 'torvakdb_TORVAKbeheer' AND TABLE_NAME = 'overgestapt') THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT =
      'Deze server is overgestapt op eigen accounts: 05_rechten.sql verandert niets (het gaf het gedeelde account de wachtwoorden terug). Terug naar het gedeelde account: zie docs/ACCOUNTS.md.';
  END IF;
  IF NOT EXISTS (SELECT 1 FROM mysql.global_priv WHERE `User` = 'torvakdb') THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'Het account torvakdb bestaat niet: eerst 01_databases.sql.';
  END IF;
  OPEN hosts;
  elk: LOOP
    FETCH hosts INTO v_host;
    IF klaar THEN LEAVE elk; END IF;
    SET v_account = CONCAT('''torvakdb''@', QUOTE(v_host));
    FOR s IN (SELECT x.`sql` FROM (
        SELECT 1 AS n, 'REVOKE ALL PRIVILEGES, GRANT OPTION FROM %' AS `sql`
        -- Reading, and the row locks of SELECT ... FOR UPDATE (MySQL 8 asks
        -- LOCK TABLES or UPDATE on the table for those). "_" is a wildcard
        -- in a database-level grant, hence the escapes.
        UNION ALL SELECT 2, 'GRANT SELECT, LOCK TABLES ON `torvakdb\\_TORVAKdata`.* TO %'
        UNION ALL SELECT 3, 'GRANT SELECT ON `torvakdb\\_TORVAKraporten`.* TO %'
        UNION ALL SELECT 4, 'GRANT SELECT, LOCK TABLES ON `torvakdb\\_TORVAKdeclaraties`.* TO %'
        -- Writing: a login record; the online flags of a consultant, never
        -- the password; reports and their lock rows; new declarations.
        UNION ALL SELECT 5, 'GRANT INSERT ON `torvakdb_TORVAKdata`.`LOGINconsultant` TO %'
        UNION ALL SELECT 6, 'GRANT UPDATE (`isAANGEMELD`, `isONLINE`, `isAFGEMELD`) ON `torvakdb_TORVAKdata`.`KALMIRO_consultants` TO %'
        UNION ALL SELECT 7, 'GRANT INSERT, UPDATE ON `torvakdb_TORVAKraporten`.`Raporten` TO %'
        UNION ALL SELECT 8, 'GRANT INSERT, UPDATE ON `torvakdb_TORVAKraporten`.`Sloten` TO %'
        UNION ALL SELECT 9, 'GRANT INSERT ON `torvakdb_TORVAKdeclaraties`.`Declaraties` TO %') x ORDER BY x.n)
    DO
      SET @dl_sql = REPLACE(s.`sql`, '%', v_account);
      PREPARE dl_stmt FROM @dl_sql; EXECUTE dl_stmt; DEALLOCATE PREPARE dl_stmt;
    END FOR;
  END LOOP;
  CLOSE hosts;
  SET @dl_sql = NULL;
END//
DELIMITER ;
FLUSH PRIVILEGES;
