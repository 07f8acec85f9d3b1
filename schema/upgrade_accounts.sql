-- Accounts of their own for the consultants: each logs in to the server as
-- themselves and can do nothing but call the server's procedures of its
-- actions (eigen/), which reach only the consultant's own rows. Runs as an
-- administrator after upgrade.sql, in this folder (it reads eigen/ and
-- beheer/); safe to run again (also after the office changed its tables:
-- everything is made anew). Changes nothing for workstations that still use
-- the shared account: its rights and the tables' visible columns stay as
-- they are. See docs/ACCOUNTS.md; accounts come with
-- upgrade_accounts_existing.sql or the office's commands (beheer/), the
-- switch with switch_shared_account.sql.
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
  -- The consultants' procedures write at READ COMMITTED, which InnoDB logs
  -- by row only.
  IF @@GLOBAL.log_bin = 1 AND @@GLOBAL.binlog_format = 'STATEMENT' THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT =
      'De server schrijft zijn binaire log per statement: zet binlog_format = MIXED of ROW onder [mysqld] en start de server opnieuw.';
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

-- The office's commands, run by its administrator with their own rights
-- (SQL SECURITY INVOKER), and the check of what stands in the way.
SOURCE beheer/opdrachten.sql
SOURCE beheer/controle.sql
CALL `torvakdb_TORVAKbeheer`.`alleen_over_tls`();
