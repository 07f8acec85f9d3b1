-- Accounts of their own for the consultants: each logs in to the server as
-- themselves and reaches only their own rows, through views the server
-- filters on who is connected. Runs as an administrator after upgrade.sql;
-- safe to run again (also after the office changed its tables: the views
-- are made anew). Changes nothing for workstations that still use the
-- shared account: its rights and the tables' visible columns stay as they
-- are. See docs/ACCOUNTS.md; accounts come with upgrade_accounts_existing.sql
-- or the office commands below, the switch with switch_shared_account.sql.
-- MariaDB; what differs on MySQL 8 is marked "MySQL 8:".

-- The quoting every routine below is written for, whatever the server's or
-- the session's mode (NO_BACKSLASH_ESCAPES or ANSI_QUOTES would change what
-- QUOTE() builds a statement from); a routine keeps the mode it was made in.
SET SESSION sql_mode = 'STRICT_TRANS_TABLES,ERROR_FOR_DIVISION_BY_ZERO,NO_AUTO_CREATE_USER,NO_ENGINE_SUBSTITUTION';

-- What the accounts need, checked before anything changes.
DELIMITER //
BEGIN NOT ATOMIC
  IF NOT EXISTS (SELECT 1 FROM information_schema.PLUGINS
                 WHERE PLUGIN_NAME = 'ed25519' AND PLUGIN_STATUS = 'ACTIVE') THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT =
      'De ed25519-plugin is niet geladen: zet plugin-load-add = auth_ed25519 onder [mysqld] (op elke node) en start de server opnieuw.';
  END IF;
  -- Without TLS every report and declaration crosses the network readable.
  -- A test server without TLS carries the office's mark that it knows.
  IF @@have_ssl <> 'YES' AND NOT EXISTS (SELECT 1 FROM information_schema.TABLES
                                         WHERE TABLE_SCHEMA = 'torvakdb_TORVAKbeheer' AND TABLE_NAME = 'zonder_tls') THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT =
      'De server biedt geen TLS: zet eerst ssl-cert en ssl-key onder [mysqld] (README: Turning on TLS in MariaDB). Alleen voor een testserver: CREATE DATABASE IF NOT EXISTS torvakdb_TORVAKbeheer; CREATE TABLE torvakdb_TORVAKbeheer.zonder_tls (sinds TIMESTAMP NOT NULL DEFAULT CURRENT_TIMESTAMP);';
  END IF;
END//
DELIMITER ;

CREATE DATABASE IF NOT EXISTS `torvakdb_TORVAKeigen` CHARACTER SET utf8mb4;
CREATE DATABASE IF NOT EXISTS `torvakdb_TORVAKbeheer` CHARACTER SET utf8mb4;

-- The owner of the views, functions and triggers: nobody logs in with it.
CREATE USER IF NOT EXISTS 'torvakdb_eigenaar'@'localhost' ACCOUNT LOCK;
ALTER USER 'torvakdb_eigenaar'@'localhost' ACCOUNT LOCK;
REVOKE ALL PRIVILEGES, GRANT OPTION FROM 'torvakdb_eigenaar'@'localhost';
GRANT SELECT ON `torvakdb_TORVAKdata`.`KALMIRO_consultants` TO 'torvakdb_eigenaar'@'localhost';
GRANT SELECT ON `torvakdb_TORVAKdata`.`KALMIRO_projecten` TO 'torvakdb_eigenaar'@'localhost';
GRANT SELECT ON `torvakdb_TORVAKdata`.`KALMIRO_opdrachtgevers` TO 'torvakdb_eigenaar'@'localhost';
GRANT SELECT ON `torvakdb_TORVAKdata`.`KALMIRO_berichten` TO 'torvakdb_eigenaar'@'localhost';
GRANT SELECT, INSERT ON `torvakdb_TORVAKdata`.`LOGINconsultant` TO 'torvakdb_eigenaar'@'localhost';
-- Table-wide UPDATE: an UPDATE ... LIMIT through a view (a table without a
-- key) needs it for the view's owner; the consultants get columns only.
GRANT SELECT, UPDATE ON `torvakdb_TORVAKdata`.`KALMIRO_consultants` TO 'torvakdb_eigenaar'@'localhost';
GRANT SELECT, INSERT, UPDATE, TRIGGER ON `torvakdb_TORVAKraporten`.`Raporten` TO 'torvakdb_eigenaar'@'localhost';
GRANT SELECT, INSERT, UPDATE, TRIGGER ON `torvakdb_TORVAKraporten`.`Sloten` TO 'torvakdb_eigenaar'@'localhost';
GRANT SELECT, INSERT, TRIGGER ON `torvakdb_TORVAKdeclaraties`.`Declaraties` TO 'torvakdb_eigenaar'@'localhost';

-- ---------------------------------------------------------------------
-- Whose row it is, as a column the server can index: the four characters
-- of the consultant number in the key. Invisible, so that "SELECT *" and
-- an INSERT without a column list see the tables as before.
--   Raporten.Projectnaam  "yyyy_mm_" + project code (number first)
--   Sloten.sleutel        "raport:" + Projectnaam, "factuur:" + yymm + number
--   KALMIRO_projecten     the project code
-- A lock key too long for the column (a hashed stand-in) has no owner.
-- MySQL 8: the same, with INVISIBLE after the generated-column clause.
-- ---------------------------------------------------------------------
SET @dl_change = (
  SELECT IF(COUNT(*) = 0,
            'ALTER TABLE `torvakdb_TORVAKraporten`.`Raporten` ADD COLUMN `eigenaar` VARBINARY(4)
               AS (CAST(SUBSTRING(`Projectnaam`, 9, 4) AS BINARY)) VIRTUAL INVISIBLE',
            'DO 0')
  FROM information_schema.COLUMNS
  WHERE TABLE_SCHEMA = 'torvakdb_TORVAKraporten' AND TABLE_NAME = 'Raporten' AND COLUMN_NAME = 'eigenaar');
PREPARE dl_stmt FROM @dl_change;
EXECUTE dl_stmt;
DEALLOCATE PREPARE dl_stmt;
SET @dl_change = (
  SELECT IF(COUNT(*) = 0, 'CREATE INDEX `ix_eigenaar_projectnaam` ON `torvakdb_TORVAKraporten`.`Raporten` (`eigenaar`, `Projectnaam`)', 'DO 0')
  FROM information_schema.STATISTICS
  WHERE TABLE_SCHEMA = 'torvakdb_TORVAKraporten' AND TABLE_NAME = 'Raporten' AND INDEX_NAME = 'ix_eigenaar_projectnaam');
PREPARE dl_stmt FROM @dl_change;
EXECUTE dl_stmt;
DEALLOCATE PREPARE dl_stmt;

SET @dl_change = (
  SELECT IF(COUNT(*) = 0,
            'ALTER TABLE `torvakdb_TORVAKraporten`.`Sloten` ADD COLUMN `eigenaar` VARBINARY(4)
               AS (CASE WHEN `sleutel` LIKE ''raport:%'' THEN SUBSTRING(`sleutel`, 16, 4)
                        WHEN `sleutel` LIKE ''factuur:%'' THEN SUBSTRING(`sleutel`, 13, 4) END) VIRTUAL INVISIBLE',
            'DO 0')
  FROM information_schema.COLUMNS
  WHERE TABLE_SCHEMA = 'torvakdb_TORVAKraporten' AND TABLE_NAME = 'Sloten' AND COLUMN_NAME = 'eigenaar');
PREPARE dl_stmt FROM @dl_change;
EXECUTE dl_stmt;
DEALLOCATE PREPARE dl_stmt;
SET @dl_change = (
  SELECT IF(COUNT(*) = 0, 'CREATE INDEX `ix_eigenaar` ON `torvakdb_TORVAKraporten`.`Sloten` (`eigenaar`)', 'DO 0')
  FROM information_schema.STATISTICS
  WHERE TABLE_SCHEMA = 'torvakdb_TORVAKraporten' AND TABLE_NAME = 'Sloten' AND INDEX_NAME = 'ix_eigenaar');
PREPARE dl_stmt FROM @dl_change;
EXECUTE dl_stmt;
DEALLOCATE PREPARE dl_stmt;

SET @dl_change = (
  SELECT IF(COUNT(*) = 0,
            'ALTER TABLE `torvakdb_TORVAKdata`.`KALMIRO_projecten` ADD COLUMN `eigenaar` VARBINARY(4)
               AS (CAST(LEFT(`Projectcode`, 4) AS BINARY)) VIRTUAL INVISIBLE',
            'DO 0')
  FROM information_schema.COLUMNS
  WHERE TABLE_SCHEMA = 'torvakdb_TORVAKdata' AND TABLE_NAME = 'KALMIRO_projecten' AND COLUMN_NAME = 'eigenaar');
PREPARE dl_stmt FROM @dl_change;
EXECUTE dl_stmt;
DEALLOCATE PREPARE dl_stmt;
SET @dl_change = (
  SELECT IF(COUNT(*) = 0, 'CREATE INDEX `ix_eigenaar` ON `torvakdb_TORVAKdata`.`KALMIRO_projecten` (`eigenaar`)', 'DO 0')
  FROM information_schema.STATISTICS
  WHERE TABLE_SCHEMA = 'torvakdb_TORVAKdata' AND TABLE_NAME = 'KALMIRO_projecten' AND INDEX_NAME = 'ix_eigenaar');
PREPARE dl_stmt FROM @dl_change;
EXECUTE dl_stmt;
DEALLOCATE PREPARE dl_stmt;
SET @dl_change = NULL;

-- ---------------------------------------------------------------------
-- Who is connected. Inside a definer view CURRENT_USER() is the owner; only
-- USER() names the consultant: the account name is USER() up to its last
-- "@" (a name may hold one), compared byte for byte with LOGIN. A LOGIN or
-- a number held by two rows, and a number that is not four characters,
-- give no one. DETERMINISTIC: the same within a statement, so the server
-- reads it once and looks rows up by index.
-- ---------------------------------------------------------------------
DELIMITER //
CREATE OR REPLACE DEFINER = 'torvakdb_eigenaar'@'localhost'
FUNCTION `torvakdb_TORVAKeigen`.`consultantnummer`() RETURNS VARBINARY(16)
  DETERMINISTIC READS SQL DATA SQL SECURITY DEFINER
BEGIN
  DECLARE v_naam VARCHAR(128) CHARACTER SET utf8mb4
    DEFAULT LEFT(USER(), CHAR_LENGTH(USER()) - LOCATE('@', REVERSE(USER())));
  DECLARE v_nummer VARBINARY(16);
  DECLARE v_rijen INT;
  SELECT COUNT(*), CAST(MAX(c.`consultantnummer`) AS BINARY) INTO v_rijen, v_nummer
    FROM `torvakdb_TORVAKdata`.`KALMIRO_consultants` c
    WHERE c.`LOGIN` = v_naam AND CAST(CONVERT(c.`LOGIN` USING utf8mb4) AS BINARY) = CAST(v_naam AS BINARY);
  IF v_rijen <> 1 OR v_nummer IS NULL OR CHAR_LENGTH(v_nummer) <> 4 THEN
    RETURN NULL;
  END IF;
  IF (SELECT COUNT(*) FROM `torvakdb_TORVAKdata`.`KALMIRO_consultants` c
       WHERE c.`consultantnummer` = CONVERT(v_nummer USING utf8mb4)
         AND CAST(c.`consultantnummer` AS BINARY) = v_nummer) <> 1 THEN
    RETURN NULL;
  END IF;
  RETURN v_nummer;
END//

-- The composed name the program writes into a login record.
CREATE OR REPLACE DEFINER = 'torvakdb_eigenaar'@'localhost'
FUNCTION `torvakdb_TORVAKeigen`.`consultantnaam`() RETURNS VARBINARY(1200)
  DETERMINISTIC READS SQL DATA SQL SECURITY DEFINER
-- In utf8mb4 whatever the office's table holds (latin1: "Müller").
RETURN (SELECT CAST(CONVERT(CONCAT(COALESCE(c.`Titel1`, ''), COALESCE(c.`voornaam`, ''), ' ',
                                   COALESCE(c.`tussenvoegsel`, ''), ' ', COALESCE(c.`naam`, '')) USING utf8mb4)
                    AS BINARY)
          FROM `torvakdb_TORVAKdata`.`KALMIRO_consultants` c
          WHERE c.`consultantnummer` = CONVERT(`torvakdb_TORVAKeigen`.`consultantnummer`() USING utf8mb4)
            AND CAST(c.`consultantnummer` AS BINARY) = `torvakdb_TORVAKeigen`.`consultantnummer`())//
DELIMITER ;
GRANT EXECUTE ON FUNCTION `torvakdb_TORVAKeigen`.`consultantnummer` TO 'torvakdb_eigenaar'@'localhost';
GRANT EXECUTE ON FUNCTION `torvakdb_TORVAKeigen`.`consultantnaam` TO 'torvakdb_eigenaar'@'localhost';

-- ---------------------------------------------------------------------
-- Writes the server refuses whatever view they come through: another
-- consultant's report is not changed (an INSERT ... ON DUPLICATE KEY UPDATE
-- through the view meets it by its id, which the view's check cannot see:
-- it looks at the new row only), a declared report is never changed again,
-- and a lock row of another consultant is not even touched (the view's
-- check would come after the row lock, and a failed statement keeps its
-- locks to the end of the transaction). Only for consultant accounts: the
-- office and the shared account write as before.
-- ---------------------------------------------------------------------
DELIMITER //
CREATE OR REPLACE DEFINER = 'torvakdb_eigenaar'@'localhost'
TRIGGER `torvakdb_TORVAKraporten`.`torvakdb_eigen_raport_gedeclareerd`
  BEFORE UPDATE ON `torvakdb_TORVAKraporten`.`Raporten` FOR EACH ROW
BEGIN
  DECLARE v_nummer VARBINARY(16) DEFAULT `torvakdb_TORVAKeigen`.`consultantnummer`();
  -- Told as the view tells a row that is not one's own: nothing of it.
  IF v_nummer IS NOT NULL AND NOT (CAST(SUBSTRING(OLD.`Projectnaam`, 9, 4) AS BINARY) <=> v_nummer) THEN
    SIGNAL SQLSTATE '44000' SET MYSQL_ERRNO = 1369, MESSAGE_TEXT = 'CHECK OPTION failed';
  END IF;
  IF OLD.`afgewerkt` = 'ja' AND v_nummer IS NOT NULL THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'Een gedeclareerd rapport kan niet meer gewijzigd worden.';
  END IF;
END//
CREATE OR REPLACE DEFINER = 'torvakdb_eigenaar'@'localhost'
TRIGGER `torvakdb_TORVAKraporten`.`torvakdb_eigen_slot`
  BEFORE INSERT ON `torvakdb_TORVAKraporten`.`Sloten` FOR EACH ROW
BEGIN
  DECLARE v_nummer VARBINARY(16) DEFAULT `torvakdb_TORVAKeigen`.`consultantnummer`();
  IF v_nummer IS NOT NULL AND NOT (CASE WHEN NEW.`sleutel` LIKE 'raport:%' THEN SUBSTRING(NEW.`sleutel`, 16, 4)
                                      WHEN NEW.`sleutel` LIKE 'factuur:%' THEN SUBSTRING(NEW.`sleutel`, 13, 4)
                                 END <=> v_nummer) THEN
    SIGNAL SQLSTATE '44000' SET MYSQL_ERRNO = 1369, MESSAGE_TEXT = 'CHECK OPTION failed';
  END IF;
END//
CREATE OR REPLACE DEFINER = 'torvakdb_eigenaar'@'localhost'
TRIGGER `torvakdb_TORVAKdeclaraties`.`torvakdb_eigen_declaratie_onbetaald`
  BEFORE INSERT ON `torvakdb_TORVAKdeclaraties`.`Declaraties` FOR EACH ROW
BEGIN
  DECLARE v_nummer VARBINARY(16) DEFAULT `torvakdb_TORVAKeigen`.`consultantnummer`();
  -- The invoice number carries the consultant's number after yymm: one
  -- under another's number (or one that exists) would be marked paid with
  -- the other's row by the office.
  IF v_nummer IS NOT NULL
     AND (COALESCE(NEW.`IsbetaaldConsultant`, '') NOT IN ('', 'nee')
          OR COALESCE(NEW.`IsbetaaldOpdrachtgever`, '') NOT IN ('', 'nee')
          OR NOT (CAST(SUBSTRING(NEW.`factuurnummer`, 5, 4) AS BINARY) <=> v_nummer)
          OR EXISTS (SELECT 1 FROM `torvakdb_TORVAKdeclaraties`.`Declaraties` d
                     WHERE d.`factuurnummer` = NEW.`factuurnummer`)) THEN
    SIGNAL SQLSTATE '44000' SET MYSQL_ERRNO = 1369, MESSAGE_TEXT = 'CHECK OPTION failed';
  END IF;
END//
DELIMITER ;

-- ---------------------------------------------------------------------
-- The views: the program's eight tables under their own names, each
-- filtered on the connected consultant. "SELECT *" is expanded when the
-- view is made, so an office's own columns come along (run this again
-- after adding some); the invisible owner columns stay out.
-- ---------------------------------------------------------------------
-- The own row, without the password; the three online columns writable.
-- Found by LOGIN itself, not through the function: a view whose function
-- reads the view's own table cannot be updated. Two rows with one LOGIN
-- would both show here (and nowhere else): controle() lists them.
SET @dl_view = (
  SELECT CONCAT('CREATE OR REPLACE ALGORITHM = MERGE DEFINER = ''torvakdb_eigenaar''@''localhost'' SQL SECURITY DEFINER ',
                'VIEW `torvakdb_TORVAKeigen`.`KALMIRO_consultants` AS SELECT ',
                GROUP_CONCAT(CONCAT('`', REPLACE(COLUMN_NAME, '`', '``'), '`') ORDER BY ORDINAL_POSITION SEPARATOR ', '),
                ' FROM `torvakdb_TORVAKdata`.`KALMIRO_consultants`',
                ' WHERE `LOGIN` = LEFT(USER(), CHAR_LENGTH(USER()) - LOCATE(''@'', REVERSE(USER())))',
                ' AND CAST(CONVERT(`LOGIN` USING utf8mb4) AS BINARY) = CAST(LEFT(USER(), CHAR_LENGTH(USER()) - LOCATE(''@'', REVERSE(USER())))',
                ' AS BINARY)')
  FROM information_schema.COLUMNS
  WHERE TABLE_SCHEMA = 'torvakdb_TORVAKdata' AND TABLE_NAME = 'KALMIRO_consultants'
    AND COLUMN_NAME <> 'PASWOORD' AND EXTRA NOT LIKE '%INVISIBLE%');
PREPARE dl_stmt FROM @dl_view;
EXECUTE dl_stmt;
DEALLOCATE PREPARE dl_stmt;
SET @dl_view = NULL;

-- Login records: written, never read; only under the consultant's own name.
CREATE OR REPLACE ALGORITHM = MERGE DEFINER = 'torvakdb_eigenaar'@'localhost' SQL SECURITY DEFINER
VIEW `torvakdb_TORVAKeigen`.`LOGINconsultant` AS
  SELECT * FROM `torvakdb_TORVAKdata`.`LOGINconsultant`
  WHERE CAST(CONVERT(`LOGINnaam` USING utf8mb4) AS BINARY) = `torvakdb_TORVAKeigen`.`consultantnaam`()
  WITH CHECK OPTION;

-- The own projects: the code begins with the consultant number.
CREATE OR REPLACE ALGORITHM = MERGE DEFINER = 'torvakdb_eigenaar'@'localhost' SQL SECURITY DEFINER
VIEW `torvakdb_TORVAKeigen`.`KALMIRO_projecten` AS
  SELECT * FROM `torvakdb_TORVAKdata`.`KALMIRO_projecten`
  WHERE `eigenaar` = `torvakdb_TORVAKeigen`.`consultantnummer`();

-- The clients of the own projects. Read into a temporary table: locks
-- nothing, so a client shared with another consultant cannot be held.
CREATE OR REPLACE ALGORITHM = TEMPTABLE DEFINER = 'torvakdb_eigenaar'@'localhost' SQL SECURITY DEFINER
VIEW `torvakdb_TORVAKeigen`.`KALMIRO_opdrachtgevers` AS
  SELECT * FROM `torvakdb_TORVAKdata`.`KALMIRO_opdrachtgevers`
  WHERE `opdrachtgevernummer` IN (SELECT p.`opdrachtgevernummer` FROM `torvakdb_TORVAKdata`.`KALMIRO_projecten` p
                                  WHERE p.`eigenaar` = `torvakdb_TORVAKeigen`.`consultantnummer`());

-- The office's messages, for everyone (also the shared account before a
-- login); locks nothing.
CREATE OR REPLACE ALGORITHM = TEMPTABLE DEFINER = 'torvakdb_eigenaar'@'localhost' SQL SECURITY DEFINER
VIEW `torvakdb_TORVAKeigen`.`KALMIRO_berichten` AS
  SELECT * FROM `torvakdb_TORVAKdata`.`KALMIRO_berichten`;

-- The own reports, read only: the procedures write them. Read into a
-- temporary table, so that a FOR UPDATE through the view locks nothing (on
-- the table it would hold the next consultant's first row too).
CREATE OR REPLACE ALGORITHM = TEMPTABLE DEFINER = 'torvakdb_eigenaar'@'localhost' SQL SECURITY DEFINER
VIEW `torvakdb_TORVAKeigen`.`Raporten` AS
  SELECT * FROM `torvakdb_TORVAKraporten`.`Raporten`
  WHERE `eigenaar` = `torvakdb_TORVAKeigen`.`consultantnummer`();

-- The own lock rows.
CREATE OR REPLACE ALGORITHM = MERGE DEFINER = 'torvakdb_eigenaar'@'localhost' SQL SECURITY DEFINER
VIEW `torvakdb_TORVAKeigen`.`Sloten` AS
  SELECT * FROM `torvakdb_TORVAKraporten`.`Sloten`
  WHERE `eigenaar` = `torvakdb_TORVAKeigen`.`consultantnummer`()
  WITH CHECK OPTION;

-- The own declarations, read only (the procedure adds them); locks
-- nothing, as the reports.
CREATE OR REPLACE ALGORITHM = TEMPTABLE DEFINER = 'torvakdb_eigenaar'@'localhost' SQL SECURITY DEFINER
VIEW `torvakdb_TORVAKeigen`.`Declaraties` AS
  SELECT * FROM `torvakdb_TORVAKdeclaraties`.`Declaraties`
  WHERE `consultant` = CONVERT(`torvakdb_TORVAKeigen`.`consultantnummer`() USING utf8mb4)
    AND CAST(`consultant` AS BINARY) = `torvakdb_TORVAKeigen`.`consultantnummer`();

-- The primary keys of the tables behind the views, which a consultant
-- cannot look up in information_schema (a view shows none).
CREATE OR REPLACE DEFINER = 'torvakdb_eigenaar'@'localhost' SQL SECURITY DEFINER
VIEW `torvakdb_TORVAKeigen`.`Sleutels` AS
  SELECT k.`TABLE_NAME` AS `TABLE_NAME`, k.`COLUMN_NAME` AS `COLUMN_NAME`, k.`ORDINAL_POSITION` AS `ORDINAL_POSITION`
  FROM information_schema.KEY_COLUMN_USAGE k
  WHERE k.`CONSTRAINT_NAME` = 'PRIMARY'
    AND ((k.`TABLE_SCHEMA` = 'torvakdb_TORVAKdata'
          AND k.`TABLE_NAME` IN ('KALMIRO_consultants', 'LOGINconsultant', 'KALMIRO_projecten',
                                 'KALMIRO_opdrachtgevers', 'KALMIRO_berichten'))
         OR (k.`TABLE_SCHEMA` = 'torvakdb_TORVAKraporten' AND k.`TABLE_NAME` IN ('Raporten', 'Sloten'))
         OR (k.`TABLE_SCHEMA` = 'torvakdb_TORVAKdeclaraties' AND k.`TABLE_NAME` = 'Declaraties'));

-- ---------------------------------------------------------------------
-- The actions the server runs for a consultant, one procedure each (run
-- from this folder: the files are in eigen/).
-- ---------------------------------------------------------------------
SOURCE eigen/basis.sql
GRANT SELECT, INSERT, DELETE ON `torvakdb_TORVAKeigen`.`acties` TO 'torvakdb_eigenaar'@'localhost';
SOURCE eigen/raport_schrijven.sql
SOURCE eigen/opslaan.sql
SOURCE eigen/declareren.sql
SOURCE eigen/lezen.sql
SOURCE eigen/aanmelden.sql
GRANT EXECUTE ON `torvakdb_TORVAKeigen`.* TO 'torvakdb_eigenaar'@'localhost';

-- ---------------------------------------------------------------------
-- The role of every consultant account: the views, exactly as far as the
-- program's other statements need them, and the procedures of the actions
-- on reports, lock rows and declarations. No LOCK TABLES: on MariaDB SELECT
-- ... FOR UPDATE needs SELECT alone. MySQL 8 asks UPDATE (or DELETE or
-- LOCK TABLES) beside SELECT for FOR UPDATE: there the consultants' view,
-- which the login locks, needs its column UPDATE, as here.
-- ---------------------------------------------------------------------
CREATE ROLE IF NOT EXISTS `torvakdb_consultant`;
REVOKE ALL PRIVILEGES, GRANT OPTION FROM `torvakdb_consultant`;
-- Every action is one call of the server's procedure (schema/eigen/); the
-- role reads and writes no table or view itself.
GRANT EXECUTE ON PROCEDURE `torvakdb_TORVAKeigen`.`opslaan` TO `torvakdb_consultant`;
GRANT EXECUTE ON PROCEDURE `torvakdb_TORVAKeigen`.`declareren` TO `torvakdb_consultant`;
GRANT EXECUTE ON PROCEDURE `torvakdb_TORVAKeigen`.`maand_openen` TO `torvakdb_consultant`;
GRANT EXECUTE ON PROCEDURE `torvakdb_TORVAKeigen`.`eerdere_teksten` TO `torvakdb_consultant`;
GRANT EXECUTE ON PROCEDURE `torvakdb_TORVAKeigen`.`eerdere_declaraties` TO `torvakdb_consultant`;
GRANT EXECUTE ON PROCEDURE `torvakdb_TORVAKeigen`.`jaaroverzicht` TO `torvakdb_consultant`;
GRANT EXECUTE ON PROCEDURE `torvakdb_TORVAKeigen`.`project_kiezen` TO `torvakdb_consultant`;
GRANT EXECUTE ON PROCEDURE `torvakdb_TORVAKeigen`.`bericht` TO `torvakdb_consultant`;
GRANT EXECUTE ON PROCEDURE `torvakdb_TORVAKeigen`.`aanmelden` TO `torvakdb_consultant`;
GRANT EXECUTE ON PROCEDURE `torvakdb_TORVAKeigen`.`afmelden` TO `torvakdb_consultant`;
GRANT EXECUTE ON PROCEDURE `torvakdb_TORVAKeigen`.`tabellen_zonder_sleutel` TO `torvakdb_consultant`;
-- A statement for the program's account at each host it has (localhost,
-- 127.0.0.1, '%', a subnet: the office's own), "%" standing for the account.
DELIMITER //
CREATE OR REPLACE PROCEDURE `torvakdb_TORVAKbeheer`.`programma_account`(IN p_sql TEXT CHARACTER SET utf8mb4)
  SQL SECURITY INVOKER
BEGIN
  IF NOT EXISTS (SELECT 1 FROM mysql.global_priv WHERE `User` = 'torvakdb') THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'Het account torvakdb bestaat niet: eerst 01_databases.sql.';
  END IF;
  FOR h IN (SELECT `Host` FROM mysql.global_priv WHERE `User` = 'torvakdb' ORDER BY `Host`) DO
    SET @dl_sql = REPLACE(p_sql, '%', CONCAT('''torvakdb''@', QUOTE(h.`Host`)));
    PREPARE dl_stmt FROM @dl_sql; EXECUTE dl_stmt; DEALLOCATE PREPARE dl_stmt;
  END FOR;
  SET @dl_sql = NULL;
END//
DELIMITER ;

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

-- What stands in the way of the accounts, one row per finding; the set-up
-- (switch_shared_account.sql) refuses to finish while there is any.
DELIMITER ;
CREATE OR REPLACE SQL SECURITY INVOKER VIEW `torvakdb_TORVAKbeheer`.`bevindingen` AS
  SELECT x.`bevinding` AS `bevinding`, x.`naam` AS `naam` FROM (
    SELECT 'rij zonder account' AS `bevinding`, c.`LOGIN` AS `naam`
      FROM `torvakdb_TORVAKdata`.`KALMIRO_consultants` c
      WHERE `torvakdb_TORVAKbeheer`.`ongeschikte_login`(c.`LOGIN`) IS NULL
        AND NOT EXISTS (SELECT 1 FROM `torvakdb_TORVAKbeheer`.`vertrokken` v
                        WHERE v.`LOGIN` = CAST(CONVERT(c.`LOGIN` USING utf8mb4) AS BINARY))
        AND NOT EXISTS (SELECT 1 FROM mysql.roles_mapping m
                        WHERE CAST(m.`User` AS BINARY) = CAST(CONVERT(c.`LOGIN` USING utf8mb4) AS BINARY) AND m.`Host` = '%'
                          AND m.`Role` = 'torvakdb_consultant')
    UNION ALL
    SELECT 'account zonder rij', CONCAT(m.`User`, '@', m.`Host`)
      FROM mysql.roles_mapping m
      WHERE m.`Role` = 'torvakdb_consultant' AND m.`User` <> ''
        AND NOT (m.`Host` = '%' AND EXISTS (SELECT 1 FROM `torvakdb_TORVAKdata`.`KALMIRO_consultants` c
                                           WHERE CAST(CONVERT(c.`LOGIN` USING utf8mb4) AS BINARY) = CAST(m.`User` AS BINARY)))
        AND NOT EXISTS (SELECT 1 FROM mysql.global_priv g
                        WHERE g.`User` = m.`User` AND g.`Host` = m.`Host`
                          AND JSON_VALUE(g.`Priv`, '$.access') & 33554432 <> 0) -- CREATE USER: an administrator
    UNION ALL
    SELECT 'dubbele LOGIN', MIN(c.`LOGIN`)
      FROM `torvakdb_TORVAKdata`.`KALMIRO_consultants` c
      GROUP BY CAST(CONVERT(c.`LOGIN` USING utf8mb4) AS BINARY) HAVING COUNT(*) > 1
    UNION ALL
    SELECT 'dubbel consultantnummer', MIN(c.`consultantnummer`)
      FROM `torvakdb_TORVAKdata`.`KALMIRO_consultants` c
      GROUP BY CAST(c.`consultantnummer` AS BINARY) HAVING COUNT(*) > 1
    UNION ALL
    SELECT 'consultantnummer niet vier tekens', c.`LOGIN`
      FROM `torvakdb_TORVAKdata`.`KALMIRO_consultants` c
      WHERE c.`consultantnummer` IS NULL OR CHAR_LENGTH(c.`consultantnummer`) <> 4
    UNION ALL
    SELECT CONCAT('LOGIN kan geen account worden: ', `torvakdb_TORVAKbeheer`.`ongeschikte_login`(c.`LOGIN`)),
           c.`LOGIN`
      FROM `torvakdb_TORVAKdata`.`KALMIRO_consultants` c
      WHERE `torvakdb_TORVAKbeheer`.`ongeschikte_login`(c.`LOGIN`) IS NOT NULL
    UNION ALL
    SELECT 'anoniem account', CONCAT('''''@', g.`Host`)
      FROM mysql.global_priv g WHERE g.`User` = ''
    UNION ALL
    SELECT 'LOGIN heeft ook een account op een andere host', CONCAT(g.`User`, '@', g.`Host`)
      FROM mysql.global_priv g
      WHERE g.`Host` <> '%' AND EXISTS (SELECT 1 FROM `torvakdb_TORVAKdata`.`KALMIRO_consultants` c
                                         WHERE CAST(CONVERT(c.`LOGIN` USING utf8mb4) AS BINARY) = CAST(g.`User` AS BINARY))
    UNION ALL
    SELECT 'recht voor PUBLIC', CONCAT(d.`Db`, '.*')
      FROM mysql.db d WHERE d.`User` = 'PUBLIC' AND d.`Host` = ''
        AND (d.`Db` LIKE 'torvakdb%' OR d.`Db` = 'mysql'
             -- a pattern that covers one of the program's databases (`t%`)
             OR 'torvakdb_TORVAKdata' LIKE d.`Db` OR 'torvakdb_TORVAKraporten' LIKE d.`Db`
             OR 'torvakdb_TORVAKdeclaraties' LIKE d.`Db` OR 'torvakdb_TORVAKeigen' LIKE d.`Db`
             OR 'torvakdb_TORVAKbeheer' LIKE d.`Db`)
    UNION ALL
    SELECT 'recht voor PUBLIC', '*.*'
      FROM mysql.global_priv g WHERE g.`User` = 'PUBLIC' AND g.`Host` = ''
        AND JSON_VALUE(g.`Priv`, '$.access') <> 0
    UNION ALL
    SELECT 'recht voor PUBLIC', CONCAT(t.`Db`, '.', t.`Table_name`)
      FROM mysql.tables_priv t WHERE t.`User` = 'PUBLIC' AND t.`Host` = ''
        AND (t.`Db` LIKE 'torvakdb%' OR t.`Db` = 'mysql')
    UNION ALL
    SELECT 'recht voor PUBLIC', CONCAT(t.`Db`, '.', t.`Table_name`, '.', t.`Column_name`)
      FROM mysql.columns_priv t WHERE t.`User` = 'PUBLIC' AND t.`Host` = ''
        AND (t.`Db` LIKE 'torvakdb%' OR t.`Db` = 'mysql')
    UNION ALL
    SELECT 'recht voor PUBLIC', CONCAT(p.`Db`, '.', p.`Routine_name`)
      FROM mysql.procs_priv p WHERE p.`User` = 'PUBLIC' AND p.`Host` = '' AND p.`Db` LIKE 'torvakdb%'
    UNION ALL
    SELECT 'PROXY-recht', CONCAT(p.`User`, '@', p.`Host`, ' als ', p.`Proxied_user`, '@', p.`Proxied_host`)
      FROM mysql.proxies_priv p
      WHERE NOT (p.`User` = 'root' AND p.`Proxied_user` = '' AND p.`Proxied_host` = '')
    UNION ALL
    -- The program's account, at every host, beyond what its road needs:
    -- 05_rechten.sql's rights before the switch, nothing after it.
    -- WITH GRANT OPTION is beyond it everywhere: it could hand a right on.
    SELECT 'recht van het programma-account',
           CONCAT(u.`GRANTEE`, ': ', u.`PRIVILEGE_TYPE`, ' op *.*', IF(u.`IS_GRANTABLE` = 'YES', ' WITH GRANT OPTION', ''))
      FROM information_schema.USER_PRIVILEGES u
      WHERE u.`GRANTEE` LIKE '''torvakdb''@%' AND (u.`PRIVILEGE_TYPE` <> 'USAGE' OR u.`IS_GRANTABLE` = 'YES')
    UNION ALL
    SELECT 'recht van het programma-account',
           CONCAT(d.`GRANTEE`, ': ', d.`PRIVILEGE_TYPE`, ' op ', d.`TABLE_SCHEMA`, '.*',
                  IF(d.`IS_GRANTABLE` = 'YES', ' WITH GRANT OPTION', ''))
      FROM information_schema.SCHEMA_PRIVILEGES d
      WHERE d.`GRANTEE` LIKE '''torvakdb''@%'
        AND (d.`IS_GRANTABLE` = 'YES' OR EXISTS (SELECT 1 FROM information_schema.TABLES o
                     WHERE o.`TABLE_SCHEMA` = 'torvakdb_TORVAKbeheer' AND o.`TABLE_NAME` = 'overgestapt')
             OR (REPLACE(d.`TABLE_SCHEMA`, '\\_', '_'), d.`PRIVILEGE_TYPE`) NOT IN (
                  ('torvakdb_TORVAKdata', 'SELECT'), ('torvakdb_TORVAKdata', 'LOCK TABLES'),
                  ('torvakdb_TORVAKraporten', 'SELECT'),
                  ('torvakdb_TORVAKdeclaraties', 'SELECT'), ('torvakdb_TORVAKdeclaraties', 'LOCK TABLES')))
    UNION ALL
    SELECT 'recht van het programma-account',
           CONCAT(t.`GRANTEE`, ': ', t.`PRIVILEGE_TYPE`, ' op ', t.`TABLE_SCHEMA`, '.', t.`TABLE_NAME`,
                  IF(t.`IS_GRANTABLE` = 'YES', ' WITH GRANT OPTION', ''))
      FROM information_schema.TABLE_PRIVILEGES t
      WHERE t.`GRANTEE` LIKE '''torvakdb''@%'
        AND (t.`IS_GRANTABLE` = 'YES'
             OR EXISTS (SELECT 1 FROM information_schema.TABLES o
                        WHERE o.`TABLE_SCHEMA` = 'torvakdb_TORVAKbeheer' AND o.`TABLE_NAME` = 'overgestapt')
             OR (t.`TABLE_SCHEMA`, t.`TABLE_NAME`, t.`PRIVILEGE_TYPE`) NOT IN (
                  ('torvakdb_TORVAKdata', 'LOGINconsultant', 'INSERT'),
                  ('torvakdb_TORVAKraporten', 'Raporten', 'INSERT'), ('torvakdb_TORVAKraporten', 'Raporten', 'UPDATE'),
                  ('torvakdb_TORVAKraporten', 'Sloten', 'INSERT'), ('torvakdb_TORVAKraporten', 'Sloten', 'UPDATE'),
                  ('torvakdb_TORVAKdeclaraties', 'Declaraties', 'INSERT')))
    UNION ALL
    SELECT 'recht van het programma-account',
           CONCAT(c.`GRANTEE`, ': ', c.`PRIVILEGE_TYPE`, ' op ', c.`TABLE_SCHEMA`, '.', c.`TABLE_NAME`, '.', c.`COLUMN_NAME`,
                  IF(c.`IS_GRANTABLE` = 'YES', ' WITH GRANT OPTION', ''))
      FROM information_schema.COLUMN_PRIVILEGES c
      WHERE c.`GRANTEE` LIKE '''torvakdb''@%'
        AND (c.`IS_GRANTABLE` = 'YES' OR EXISTS (SELECT 1 FROM information_schema.TABLES o
                     WHERE o.`TABLE_SCHEMA` = 'torvakdb_TORVAKbeheer' AND o.`TABLE_NAME` = 'overgestapt')
             OR c.`PRIVILEGE_TYPE` <> 'UPDATE' OR c.`TABLE_SCHEMA` <> 'torvakdb_TORVAKdata'
             OR c.`TABLE_NAME` <> 'KALMIRO_consultants'
             OR c.`COLUMN_NAME` NOT IN ('isAANGEMELD', 'isONLINE', 'isAFGEMELD'))
    UNION ALL
    SELECT 'recht van het programma-account', CONCAT('''torvakdb''@''', p.`Host`, ''': ', p.`Proc_priv`, ' op ', p.`Db`, '.', p.`Routine_name`)
      FROM mysql.procs_priv p WHERE p.`User` = 'torvakdb'
    UNION ALL
    SELECT 'recht van het programma-account', CONCAT('''torvakdb''@''', m.`Host`, ''': rol ', m.`Role`)
      FROM mysql.roles_mapping m WHERE m.`User` = 'torvakdb'
    UNION ALL
    -- A consultant's account (the role, no administrator) holds nothing of
    -- its own: a right beside the role (the base table, say) goes round the views.
    SELECT 'recht van een consultant buiten de rol', CONCAT(r.`User`, '@', r.`Host`, ': ', r.`recht`)
      FROM (SELECT g.`User`, g.`Host`, '*.*' AS `recht` FROM mysql.global_priv g
              WHERE JSON_VALUE(g.`Priv`, '$.access') <> 0
            UNION ALL SELECT d.`User`, d.`Host`, CONCAT(d.`Db`, '.*') FROM mysql.db d
            UNION ALL SELECT t.`User`, t.`Host`, CONCAT(t.`Db`, '.', t.`Table_name`) FROM mysql.tables_priv t
            UNION ALL SELECT c.`User`, c.`Host`, CONCAT(c.`Db`, '.', c.`Table_name`, '.', c.`Column_name`)
                        FROM mysql.columns_priv c
            UNION ALL SELECT p.`User`, p.`Host`, CONCAT(p.`Db`, '.', p.`Routine_name`) FROM mysql.procs_priv p) r
      JOIN mysql.roles_mapping m ON m.`User` = r.`User` AND m.`Host` = r.`Host` AND m.`Role` = 'torvakdb_consultant'
      WHERE NOT EXISTS (SELECT 1 FROM mysql.global_priv a WHERE a.`User` = m.`User` AND a.`Host` = m.`Host`
                          AND JSON_VALUE(a.`Priv`, '$.access') & 33554432 <> 0)
    UNION ALL
    -- The role itself: the procedures as this script grants them, no more.
    SELECT 'recht van de rol buiten de procedures', '*.*'
      FROM mysql.global_priv g
      WHERE g.`User` = 'torvakdb_consultant' AND g.`Host` = '' AND JSON_VALUE(g.`Priv`, '$.access') <> 0
    UNION ALL
    SELECT 'recht van de rol buiten de procedures', CONCAT(d.`Db`, '.*')
      FROM mysql.db d WHERE d.`User` = 'torvakdb_consultant' AND d.`Host` = ''
    UNION ALL
    -- Any right on a table, view or column: the role holds EXECUTE alone.
    SELECT 'recht van de rol buiten de procedures',
           CONCAT(t.`PRIVILEGE_TYPE`, ' op ', t.`TABLE_SCHEMA`, '.', t.`TABLE_NAME`,
                  IF(t.`IS_GRANTABLE` = 'YES', ' WITH GRANT OPTION', ''))
      FROM information_schema.TABLE_PRIVILEGES t
      WHERE t.`GRANTEE` = '''torvakdb_consultant''@'''''
    UNION ALL
    SELECT 'recht van de rol buiten de procedures',
           CONCAT(c.`PRIVILEGE_TYPE`, ' op ', c.`TABLE_SCHEMA`, '.', c.`TABLE_NAME`, '.', c.`COLUMN_NAME`)
      FROM information_schema.COLUMN_PRIVILEGES c
      WHERE c.`GRANTEE` = '''torvakdb_consultant''@'''''
    UNION ALL
    SELECT 'recht van de rol buiten de procedures', CONCAT(p.`Db`, '.', p.`Routine_name`)
      FROM mysql.procs_priv p WHERE p.`User` = 'torvakdb_consultant' AND p.`Host` = ''
        AND NOT (p.`Db` = 'torvakdb_TORVAKeigen' AND p.`Routine_type` = 'PROCEDURE'
                 AND p.`Routine_name` IN ('opslaan', 'declareren', 'maand_openen', 'eerdere_teksten',
                                          'eerdere_declaraties', 'jaaroverzicht', 'project_kiezen',
                                          'bericht', 'aanmelden', 'afmelden', 'tabellen_zonder_sleutel')
                 AND p.`Proc_priv` = 'Execute')
    UNION ALL
    -- A rate of 72.50 would be stored as 73 there.
    SELECT 'tariefkolom zonder centen', CONCAT(k.`TABLE_SCHEMA`, '.', k.`TABLE_NAME`, '.', k.`COLUMN_NAME`, ' (', k.`COLUMN_TYPE`, ')')
      FROM information_schema.COLUMNS k
      WHERE ((k.`TABLE_SCHEMA` = 'torvakdb_TORVAKdeclaraties' AND k.`TABLE_NAME` = 'Declaraties'
              AND k.`COLUMN_NAME` IN ('peruurIN', 'peruurUIT'))
             OR (k.`TABLE_SCHEMA` = 'torvakdb_TORVAKdata' AND k.`TABLE_NAME` = 'KALMIRO_projecten'
                 AND k.`COLUMN_NAME` IN ('VerkoopDagtariefConsultant', 'InkoopDagtariefOpdrachtgever')))
        AND (k.`DATA_TYPE` IN ('tinyint', 'smallint', 'mediumint', 'int', 'bigint', 'year')
             OR (k.`DATA_TYPE` = 'decimal' AND k.`NUMERIC_SCALE` < 2))
    UNION ALL
    SELECT 'server biedt geen TLS', 'have_ssl'
      FROM information_schema.GLOBAL_VARIABLES v
      WHERE v.`VARIABLE_NAME` = 'HAVE_SSL' AND v.`VARIABLE_VALUE` <> 'YES'
        AND NOT EXISTS (SELECT 1 FROM information_schema.TABLES o
                        WHERE o.`TABLE_SCHEMA` = 'torvakdb_TORVAKbeheer' AND o.`TABLE_NAME` = 'zonder_tls')
    UNION ALL
    SELECT 'rol met ADMIN OPTION', CONCAT(m.`User`, '@', m.`Host`)
      FROM mysql.roles_mapping m
      WHERE m.`Role` = 'torvakdb_consultant' AND m.`Admin_option` = 'Y'
        AND NOT EXISTS (SELECT 1 FROM mysql.global_priv g
                        WHERE g.`User` = m.`User` AND g.`Host` = m.`Host`
                          AND JSON_VALUE(g.`Priv`, '$.access') & 33554432 <> 0)
  ) x;
DELIMITER //
CREATE OR REPLACE PROCEDURE `torvakdb_TORVAKbeheer`.`controle`()
  SQL SECURITY INVOKER
SELECT `bevinding`, `naam` FROM `torvakdb_TORVAKbeheer`.`bevindingen` ORDER BY `bevinding`, `naam`//

-- Stops a set-up script while controle() finds anything.
CREATE OR REPLACE PROCEDURE `torvakdb_TORVAKbeheer`.`controle_zonder_bevindingen`()
  SQL SECURITY INVOKER
BEGIN
  -- Not in the way of the switch: a rate column is the office's to widen,
  -- and the switch itself takes the program's account's rights away.
  DECLARE n INT DEFAULT (SELECT COUNT(*) FROM `torvakdb_TORVAKbeheer`.`bevindingen`
                         WHERE `bevinding` NOT IN ('tariefkolom zonder centen', 'recht van het programma-account'));
  DECLARE tekst VARCHAR(200);
  IF n > 0 THEN
    SET tekst = CONCAT('De controle vindt ', n, ' punt(en): CALL torvakdb_TORVAKbeheer.controle() toont ze.');
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = tekst;
  END IF;
END//
DELIMITER ;
CALL `torvakdb_TORVAKbeheer`.`alleen_over_tls`();
