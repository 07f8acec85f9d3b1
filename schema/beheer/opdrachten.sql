-- Read by upgrade_accounts.sql (SOURCE, in its session and sql_mode), not run alone.
-- ---------------------------------------------------------------------
-- The office's commands, run by its administrator with their own rights
-- (SQL SECURITY INVOKER): CALL torvakdb_TORVAKbeheer.controle(); etc.
-- MySQL 8: IDENTIFIED WITH caching_sha2_password BY ... instead of VIA
-- ed25519, and no MAX_STATEMENT_TIME (max_execution_time holds SELECTs).
-- ---------------------------------------------------------------------
DELIMITER //

-- Why a LOGIN cannot be an account name, or NULL when it can: the server
-- drops trailing blanks from account names, holds at most 80 characters
-- (MySQL: 32) and only the characters of utf8mb3; and a few names belong
-- to the server or the program.
CREATE OR REPLACE FUNCTION `torvakdb_TORVAKbeheer`.`ongeschikte_login`(p_login VARCHAR(255) CHARACTER SET utf8mb4)
  RETURNS VARCHAR(100) CHARACTER SET utf8mb4 DETERMINISTIC NO SQL SQL SECURITY INVOKER
RETURN CASE
  WHEN p_login IS NULL OR p_login = '' THEN 'leeg'
  WHEN CAST(p_login AS BINARY) <> CAST(TRIM(TRAILING ' ' FROM p_login) AS BINARY) THEN 'spaties aan het eind'
  WHEN CHAR_LENGTH(p_login) > 80 THEN 'langer dan 80 tekens'
  -- A character of four bytes in UTF-8 (its first byte F0 to F4).
  WHEN HEX(CONVERT(p_login USING utf8mb4)) REGEXP '^(..)*F[0-4]' THEN 'tekens buiten utf8mb3'
  WHEN p_login IN ('root', 'mysql', 'mariadb.sys', 'PUBLIC', 'torvakdb', 'torvakdb_eigenaar', 'torvakdb_consultant')
    THEN 'naam van de server of het programma'
  ELSE NULL END//

DELIMITER ;
-- The LOGINs whose access the office took away (toegang_intrekken).
CREATE TABLE IF NOT EXISTS `torvakdb_TORVAKbeheer`.`vertrokken` (
  `LOGIN` VARBINARY(255) NOT NULL PRIMARY KEY) ENGINE=InnoDB;
DELIMITER //
-- Whether LOGIN@'%' holds the consultants' role: the only accounts the
-- office commands change or drop.
CREATE OR REPLACE FUNCTION `torvakdb_TORVAKbeheer`.`is_consultant_account`(p_login VARCHAR(255) CHARACTER SET utf8mb4)
  RETURNS BOOLEAN NOT DETERMINISTIC READS SQL DATA SQL SECURITY INVOKER
RETURN EXISTS (SELECT 1 FROM mysql.roles_mapping r
               WHERE CAST(r.`User` AS BINARY) = CAST(p_login AS BINARY) AND r.`Host` = '%'
                 AND r.`Role` = 'torvakdb_consultant')//

-- An account that is there already is changed only when it is a
-- consultant's: never an administrator's or another program's. Checked
-- before a command changes anything.
CREATE OR REPLACE PROCEDURE `torvakdb_TORVAKbeheer`.`geen_ander_account`(IN p_login VARCHAR(255) CHARACTER SET utf8mb4)
  SQL SECURITY INVOKER
BEGIN
  IF EXISTS (SELECT 1 FROM mysql.global_priv g
             WHERE CAST(g.`User` AS BINARY) = CAST(p_login AS BINARY) AND g.`Host` = '%')
     AND NOT `torvakdb_TORVAKbeheer`.`is_consultant_account`(p_login) THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'Deze LOGIN is al een account dat geen consultant is; kies een andere LOGIN.';
  END IF;
END//

-- The account of a LOGIN: its role, default role, limits and password.
-- Six connections: the program's kept one and the ticker's, both again
-- after a lost line while the server still holds the dead two (until its
-- wait_timeout), and two to spare. A statement of the program takes well
-- under a second, and one that ran past its 8-second read timeout is a
-- lost line to it anyway; 8 seconds cut off a BENCHMARK() or SLEEP()
-- (which need no right) that would hold the server.
CREATE OR REPLACE PROCEDURE `torvakdb_TORVAKbeheer`.`account_maken`(
    IN p_login VARCHAR(255) CHARACTER SET utf8mb4, IN p_wachtwoord VARCHAR(255) CHARACTER SET utf8mb4,
    IN p_verlopen BOOLEAN)
  SQL SECURITY INVOKER
BEGIN
  DECLARE fout VARCHAR(100) DEFAULT `torvakdb_TORVAKbeheer`.`ongeschikte_login`(p_login);
  DECLARE account TEXT;
  DECLARE wachtwoord TEXT;
  IF fout IS NOT NULL THEN
    SET fout = CONCAT('Deze LOGIN kan geen account worden: ', fout);
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = fout;
  END IF;
  IF p_wachtwoord IS NULL OR p_wachtwoord = '' THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'Een account krijgt een wachtwoord.';
  END IF;
  CALL `torvakdb_TORVAKbeheer`.`geen_ander_account`(p_login);
  SET account = CONCAT(QUOTE(p_login), '@''%''');
  -- "ed25519:" and the verifier (declaraties --hash-password --ed25519):
  -- the password itself then stands in no statement and no log.
  SET wachtwoord = IF(CAST(p_wachtwoord AS BINARY) REGEXP '^ed25519:[A-Za-z0-9+/]{43}$',
                      QUOTE(SUBSTRING(p_wachtwoord, 9)), CONCAT('PASSWORD(', QUOTE(p_wachtwoord), ')'));
  SET @dl_sql = CONCAT('CREATE USER IF NOT EXISTS ', account, ' IDENTIFIED VIA ed25519 USING ', wachtwoord);
  PREPARE dl_stmt FROM @dl_sql; EXECUTE dl_stmt; DEALLOCATE PREPARE dl_stmt;
  -- Over TLS only, where the server offers it (a server without TLS cannot).
  SET @dl_sql = CONCAT('ALTER USER ', account, ' IDENTIFIED VIA ed25519 USING ', wachtwoord,
                       IF(@@have_ssl = 'YES', ' REQUIRE SSL', ''),
                       ' WITH MAX_USER_CONNECTIONS 10 MAX_STATEMENT_TIME 8',
                       IF(p_verlopen, ' PASSWORD EXPIRE', ''));
  PREPARE dl_stmt FROM @dl_sql; EXECUTE dl_stmt; DEALLOCATE PREPARE dl_stmt;
  SET @dl_sql = CONCAT('GRANT `torvakdb_consultant` TO ', account);
  PREPARE dl_stmt FROM @dl_sql; EXECUTE dl_stmt; DEALLOCATE PREPARE dl_stmt;
  SET @dl_sql = CONCAT('SET DEFAULT ROLE `torvakdb_consultant` FOR ', account);
  PREPARE dl_stmt FROM @dl_sql; EXECUTE dl_stmt; DEALLOCATE PREPARE dl_stmt;
  SET @dl_sql = NULL;
END//

-- A new consultant: the row and the account (the password expired, so the
-- consultant chooses their own at the first login, when p_verlopen is set).
CREATE OR REPLACE PROCEDURE `torvakdb_TORVAKbeheer`.`consultant_toevoegen`(
    IN p_login VARCHAR(255) CHARACTER SET utf8mb4, IN p_wachtwoord VARCHAR(255) CHARACTER SET utf8mb4,
    IN p_nummer VARCHAR(16) CHARACTER SET utf8mb4, IN p_titel VARCHAR(64) CHARACTER SET utf8mb4,
    IN p_voornaam VARCHAR(100) CHARACTER SET utf8mb4, IN p_tussenvoegsel VARCHAR(32) CHARACTER SET utf8mb4,
    IN p_naam VARCHAR(100) CHARACTER SET utf8mb4, IN p_verlopen BOOLEAN)
  SQL SECURITY INVOKER
BEGIN
  DECLARE fout VARCHAR(100) DEFAULT `torvakdb_TORVAKbeheer`.`ongeschikte_login`(p_login);
  IF fout IS NOT NULL THEN
    SET fout = CONCAT('Deze LOGIN kan geen account worden: ', fout);
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = fout;
  END IF;
  CALL `torvakdb_TORVAKbeheer`.`geen_ander_account`(p_login);
  IF EXISTS (SELECT 1 FROM `torvakdb_TORVAKdata`.`KALMIRO_consultants`
             WHERE CAST(CONVERT(`LOGIN` USING utf8mb4) AS BINARY) = CAST(p_login AS BINARY)) THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'Deze LOGIN bestaat al.';
  END IF;
  -- Four bytes: the number is read from the keys byte for byte ("00é1" is five).
  IF p_nummer IS NULL OR LENGTH(CAST(p_nummer AS BINARY)) <> 4 OR EXISTS (
       SELECT 1 FROM `torvakdb_TORVAKdata`.`KALMIRO_consultants`
       WHERE CAST(`consultantnummer` AS BINARY) = CAST(p_nummer AS BINARY)) THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'Het consultantnummer is geen vier tekens of bestaat al.';
  END IF;
  INSERT INTO `torvakdb_TORVAKdata`.`KALMIRO_consultants`
    (`LOGIN`, `consultantnummer`, `Titel1`, `voornaam`, `tussenvoegsel`, `naam`, `isONLINE`)
    VALUES (p_login, p_nummer, p_titel, p_voornaam, p_tussenvoegsel, p_naam, 'OFFLINE');
  CALL `torvakdb_TORVAKbeheer`.`account_maken`(p_login, p_wachtwoord, p_verlopen);
  CALL `torvakdb_TORVAKbeheer`.`grensrij`(p_nummer);
END//

-- A row the office added by hand gets its account.
CREATE OR REPLACE PROCEDURE `torvakdb_TORVAKbeheer`.`toegang_geven`(
    IN p_login VARCHAR(255) CHARACTER SET utf8mb4, IN p_wachtwoord VARCHAR(255) CHARACTER SET utf8mb4,
    IN p_verlopen BOOLEAN)
  SQL SECURITY INVOKER
BEGIN
  DECLARE v_nummer VARCHAR(16) CHARACTER SET utf8mb4;
  IF (SELECT COUNT(*) FROM `torvakdb_TORVAKdata`.`KALMIRO_consultants`
      WHERE CAST(CONVERT(`LOGIN` USING utf8mb4) AS BINARY) = CAST(p_login AS BINARY)) <> 1 THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'Deze LOGIN staat niet precies een keer in KALMIRO_consultants.';
  END IF;
  CALL `torvakdb_TORVAKbeheer`.`geen_ander_account`(p_login);
  SELECT `consultantnummer` INTO v_nummer FROM `torvakdb_TORVAKdata`.`KALMIRO_consultants`
    WHERE CAST(CONVERT(`LOGIN` USING utf8mb4) AS BINARY) = CAST(p_login AS BINARY);
  CALL `torvakdb_TORVAKbeheer`.`account_maken`(p_login, p_wachtwoord, p_verlopen);
  CALL `torvakdb_TORVAKbeheer`.`grensrij`(v_nummer);
  DELETE FROM `torvakdb_TORVAKbeheer`.`vertrokken` WHERE `LOGIN` = CAST(p_login AS BINARY);
END//

-- Access taken away: the account goes, the row and its history stay.
CREATE OR REPLACE PROCEDURE `torvakdb_TORVAKbeheer`.`toegang_intrekken`(IN p_login VARCHAR(255) CHARACTER SET utf8mb4)
  SQL SECURITY INVOKER
BEGIN
  CALL `torvakdb_TORVAKbeheer`.`geen_ander_account`(p_login);
  SET @dl_sql = CONCAT('DROP USER IF EXISTS ', QUOTE(p_login), '@''%''');
  PREPARE dl_stmt FROM @dl_sql; EXECUTE dl_stmt; DEALLOCATE PREPARE dl_stmt;
  -- A program still open on the account goes on no further: its
  -- connections end (a dropped account keeps those it has).
  CALL `torvakdb_TORVAKbeheer`.`verbindingen_beeindigen`(p_login);
  -- The row stays, marked: the check and the switch accept it, and no
  -- later script gives it an account again (toegang_geven does, on purpose).
  INSERT IGNORE INTO `torvakdb_TORVAKbeheer`.`vertrokken` (`LOGIN`) VALUES (CAST(p_login AS BINARY));
  SET @dl_sql = NULL;
END//

-- The office changed a saved report by hand: a new stamp, so that the
-- consultant's next save asks before it writes over the change
-- ("RAPORT ELDERS GEWIJZIGD") instead of overwriting it unasked.
CREATE OR REPLACE PROCEDURE `torvakdb_TORVAKbeheer`.`raport_gecorrigeerd`(IN p_projectnaam VARCHAR(255) CHARACTER SET utf8mb4)
  SQL SECURITY INVOKER
BEGIN
  UPDATE `torvakdb_TORVAKraporten`.`Raporten`
    SET `laatstgewijzigd` = CONCAT('kantoor ', DATE_FORMAT(NOW(6), '%Y-%m-%d %H:%i:%s.%f'))
    WHERE CAST(`Projectnaam` AS BINARY) = CAST(p_projectnaam AS BINARY);
  IF ROW_COUNT() = 0 THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'Geen raport met deze Projectnaam.';
  END IF;
END//

-- A consultant's account only, else a refusal before anything changes.
CREATE OR REPLACE PROCEDURE `torvakdb_TORVAKbeheer`.`alleen_consultant`(IN p_login VARCHAR(255) CHARACTER SET utf8mb4)
  SQL SECURITY INVOKER
BEGIN
  IF NOT `torvakdb_TORVAKbeheer`.`is_consultant_account`(p_login) THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'Dit is geen account van een consultant; de opdracht verandert niets.';
  END IF;
END//

-- Every open connection of an account ends.
CREATE OR REPLACE PROCEDURE `torvakdb_TORVAKbeheer`.`verbindingen_beeindigen`(IN p_login VARCHAR(255) CHARACTER SET utf8mb4)
  SQL SECURITY INVOKER
BEGIN
  FOR p IN (SELECT `ID` FROM information_schema.PROCESSLIST
            WHERE CAST(`USER` AS BINARY) = CAST(p_login AS BINARY)) DO
    SET @dl_sql = CONCAT('KILL CONNECTION ', p.`ID`);
    PREPARE dl_stmt FROM @dl_sql; EXECUTE dl_stmt; DEALLOCATE PREPARE dl_stmt;
  END FOR;
  SET @dl_sql = NULL;
END//

-- Blocked: the password stays, the account opens nothing until it is
-- unblocked (its open connections end); unblocked: as before.
CREATE OR REPLACE PROCEDURE `torvakdb_TORVAKbeheer`.`slot`(IN p_login VARCHAR(255) CHARACTER SET utf8mb4, IN p_dicht BOOLEAN)
  SQL SECURITY INVOKER
BEGIN
  CALL `torvakdb_TORVAKbeheer`.`alleen_consultant`(p_login);
  SET @dl_sql = CONCAT('ALTER USER ', QUOTE(p_login), '@''%'' ACCOUNT ', IF(p_dicht, 'LOCK', 'UNLOCK'));
  PREPARE dl_stmt FROM @dl_sql; EXECUTE dl_stmt; DEALLOCATE PREPARE dl_stmt;
  SET @dl_sql = NULL;
  IF p_dicht THEN
    CALL `torvakdb_TORVAKbeheer`.`verbindingen_beeindigen`(p_login);
  END IF;
END//

CREATE OR REPLACE PROCEDURE `torvakdb_TORVAKbeheer`.`blokkeren`(IN p_login VARCHAR(255) CHARACTER SET utf8mb4)
  SQL SECURITY INVOKER
CALL `torvakdb_TORVAKbeheer`.`slot`(p_login, TRUE)//

CREATE OR REPLACE PROCEDURE `torvakdb_TORVAKbeheer`.`deblokkeren`(IN p_login VARCHAR(255) CHARACTER SET utf8mb4)
  SQL SECURITY INVOKER
CALL `torvakdb_TORVAKbeheer`.`slot`(p_login, FALSE)//

-- A forgotten password: a new one-time password, expired; a blocked
-- account stays blocked.
CREATE OR REPLACE PROCEDURE `torvakdb_TORVAKbeheer`.`wachtwoord_herstellen`(
    IN p_login VARCHAR(255) CHARACTER SET utf8mb4, IN p_wachtwoord VARCHAR(255) CHARACTER SET utf8mb4)
  SQL SECURITY INVOKER
BEGIN
  CALL `torvakdb_TORVAKbeheer`.`alleen_consultant`(p_login);
  CALL `torvakdb_TORVAKbeheer`.`account_maken`(p_login, p_wachtwoord, TRUE);
END//

-- Another LOGIN for a consultant: the account and the row together.
CREATE OR REPLACE PROCEDURE `torvakdb_TORVAKbeheer`.`login_hernoemen`(
    IN p_oud VARCHAR(255) CHARACTER SET utf8mb4, IN p_nieuw VARCHAR(255) CHARACTER SET utf8mb4)
  SQL SECURITY INVOKER
BEGIN
  DECLARE fout VARCHAR(100) DEFAULT `torvakdb_TORVAKbeheer`.`ongeschikte_login`(p_nieuw);
  CALL `torvakdb_TORVAKbeheer`.`alleen_consultant`(p_oud);
  IF fout IS NOT NULL THEN
    SET fout = CONCAT('Deze LOGIN kan geen account worden: ', fout);
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = fout;
  END IF;
  IF EXISTS (SELECT 1 FROM mysql.global_priv g WHERE CAST(g.`User` AS BINARY) = CAST(p_nieuw AS BINARY))
     OR EXISTS (SELECT 1 FROM `torvakdb_TORVAKdata`.`KALMIRO_consultants`
                WHERE CAST(CONVERT(`LOGIN` USING utf8mb4) AS BINARY) = CAST(p_nieuw AS BINARY)) THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'De nieuwe LOGIN bestaat al.';
  END IF;
  SET @dl_sql = CONCAT('RENAME USER ', QUOTE(p_oud), '@''%'' TO ', QUOTE(p_nieuw), '@''%''');
  PREPARE dl_stmt FROM @dl_sql; EXECUTE dl_stmt; DEALLOCATE PREPARE dl_stmt;
  SET @dl_sql = NULL;
  UPDATE `torvakdb_TORVAKdata`.`KALMIRO_consultants` SET `LOGIN` = p_nieuw
    WHERE CAST(CONVERT(`LOGIN` USING utf8mb4) AS BINARY) = CAST(p_oud AS BINARY);
END//

-- The first lock row of a consultant's range in the owner index of
-- Sloten. Without it another consultant's whole-view FOR UPDATE locks the
-- gap up to the next range, where this consultant's first lock row would
-- go. "factuur:" and month 00 sorts before every real key of the number.
CREATE OR REPLACE PROCEDURE `torvakdb_TORVAKbeheer`.`grensrij`(IN p_nummer VARCHAR(16) CHARACTER SET utf8mb4)
  SQL SECURITY INVOKER
BEGIN
  IF p_nummer IS NOT NULL AND CHAR_LENGTH(p_nummer) = 4 THEN
    INSERT IGNORE INTO `torvakdb_TORVAKraporten`.`Sloten` (`sleutel`)
      VALUES (CONCAT('factuur:0000', CAST(p_nummer AS BINARY)));
  END IF;
END//

-- Every consultant's account over TLS only, once the server offers it.
CREATE OR REPLACE PROCEDURE `torvakdb_TORVAKbeheer`.`alleen_over_tls`()
  SQL SECURITY INVOKER
BEGIN
  IF @@have_ssl = 'YES' THEN
    FOR r IN (SELECT `User` FROM mysql.roles_mapping WHERE `Role` = 'torvakdb_consultant' AND `Host` = '%') DO
      SET @dl_sql = CONCAT('ALTER USER ', QUOTE(r.`User`), '@''%'' REQUIRE SSL');
      PREPARE dl_stmt FROM @dl_sql; EXECUTE dl_stmt; DEALLOCATE PREPARE dl_stmt;
    END FOR;
    SET @dl_sql = NULL;
  END IF;
END//
DELIMITER ;
