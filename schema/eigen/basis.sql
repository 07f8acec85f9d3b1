-- What every action of a consultant's own account shares: the record of
-- actions done (so that an action asked again after a lost answer is not
-- done twice), a value out of the action's columns, and a lock row's key.
-- The role reaches none of this; only the actions' procedures do.

-- One row per write an action did, in the transaction that did it: the
-- same action id again answers what it answered the first time.
CREATE TABLE IF NOT EXISTS `torvakdb_TORVAKeigen`.`acties` (
  `actie` BINARY(16) NOT NULL PRIMARY KEY,
  `consultant` VARBINARY(16) NOT NULL,
  `uitkomst` VARCHAR(32) NOT NULL,
  `wanneer` TIMESTAMP NOT NULL DEFAULT CURRENT_TIMESTAMP,
  KEY `ix_consultant_wanneer` (`consultant`, `wanneer`)
) ENGINE=InnoDB;

DELIMITER //
-- A column's text out of the action's JSON object; JSON null and a missing
-- name are NULL. The names are the procedures' own, never the caller's.
-- The object is searched once per column (a large month is searched 163
-- times while its lock row is held). Its result goes straight into the
-- statement that writes the column, so a text too long for it is refused
-- there: a procedure's own variable would be cut short without a word.
CREATE OR REPLACE DEFINER = 'torvakdb_eigenaar'@'localhost'
FUNCTION `torvakdb_TORVAKeigen`.`waarde`(p_kolommen LONGTEXT CHARACTER SET utf8mb4,
                                         p_naam VARCHAR(64) CHARACTER SET utf8mb4)
  RETURNS LONGTEXT CHARACTER SET utf8mb4
  DETERMINISTIC NO SQL SQL SECURITY DEFINER
BEGIN
  DECLARE v_json LONGTEXT CHARACTER SET utf8mb4 DEFAULT JSON_EXTRACT(p_kolommen, CONCAT('$."', p_naam, '"'));
  RETURN IF(v_json IS NULL OR JSON_TYPE(v_json) = 'NULL', NULL, JSON_UNQUOTE(v_json));
END//

-- The lock row of a report or an invoice number, as every workstation
-- writes it: a key the column cannot hold has a fixed stand-in.
CREATE OR REPLACE DEFINER = 'torvakdb_eigenaar'@'localhost'
FUNCTION `torvakdb_TORVAKeigen`.`slotsleutel`(p_soort VARCHAR(16) CHARACTER SET utf8mb4,
                                              p_tekst VARCHAR(255) CHARACTER SET utf8mb4)
  RETURNS VARBINARY(255)
  DETERMINISTIC NO SQL SQL SECURITY DEFINER
RETURN IF(LENGTH(CONCAT(p_soort, p_tekst)) > 255,
          CAST(CONCAT(p_soort, '#', SHA2(CAST(CONCAT(p_soort, p_tekst) AS BINARY), 256)) AS BINARY),
          CAST(CONCAT(p_soort, p_tekst) AS BINARY))//

-- The consultant of the session, and that the key is one of theirs:
-- "yyyy_mm_" and, byte for byte, the code of one of their own projects (a
-- key in other letters or with a blank after it would be a second row of
-- the month, declared again). Refused as a view refuses a row that is not
-- one's own: nothing of it is told.
CREATE OR REPLACE DEFINER = 'torvakdb_eigenaar'@'localhost'
FUNCTION `torvakdb_TORVAKeigen`.`eigen_sleutel`(p_projectnaam VARCHAR(255) CHARACTER SET utf8mb4)
  RETURNS VARBINARY(16)
  NOT DETERMINISTIC READS SQL DATA SQL SECURITY DEFINER
BEGIN
  DECLARE v_nummer VARBINARY(16) DEFAULT `torvakdb_TORVAKeigen`.`consultantnummer`();
  IF v_nummer IS NULL OR p_projectnaam IS NULL
     OR NOT (CAST(SUBSTRING(p_projectnaam, 9, 4) AS BINARY) <=> v_nummer)
     OR NOT (CAST(LEFT(p_projectnaam, 8) AS BINARY) REGEXP '^[0-9]{4}_(0[1-9]|1[0-2])_$')
     OR NOT EXISTS (SELECT 1 FROM `torvakdb_TORVAKdata`.`KALMIRO_projecten` p
                    WHERE p.`eigenaar` = v_nummer
                      AND CAST(CONVERT(p.`Projectcode` USING utf8mb4) AS BINARY) = CAST(SUBSTRING(p_projectnaam, 9) AS BINARY)) THEN
    SIGNAL SQLSTATE '44000' SET MYSQL_ERRNO = 1369, MESSAGE_TEXT = 'CHECK OPTION failed';
  END IF;
  RETURN v_nummer;
END//

-- What an earlier try of this action answered, or NULL: it did nothing yet.
-- Another consultant's action id is refused without a word of it.
CREATE OR REPLACE DEFINER = 'torvakdb_eigenaar'@'localhost'
FUNCTION `torvakdb_TORVAKeigen`.`eerdere_uitkomst`(p_actie BINARY(16), p_nummer VARBINARY(16))
  RETURNS VARCHAR(32) CHARACTER SET utf8mb4
  NOT DETERMINISTIC READS SQL DATA SQL SECURITY DEFINER
BEGIN
  DECLARE v_consultant VARBINARY(16);
  DECLARE v_uitkomst VARCHAR(32) CHARACTER SET utf8mb4;
  IF p_actie IS NULL OR LENGTH(p_actie) <> 16 THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'Een actie zonder geldig actienummer.';
  END IF;
  SET v_consultant = (SELECT a.`consultant` FROM `torvakdb_TORVAKeigen`.`acties` a WHERE a.`actie` = p_actie);
  SET v_uitkomst = (SELECT a.`uitkomst` FROM `torvakdb_TORVAKeigen`.`acties` a WHERE a.`actie` = p_actie);
  IF v_consultant IS NOT NULL AND v_consultant <> p_nummer THEN
    SIGNAL SQLSTATE '44000' SET MYSQL_ERRNO = 1369, MESSAGE_TEXT = 'CHECK OPTION failed';
  END IF;
  RETURN v_uitkomst;
END//

-- Done: recorded with the write, in the same transaction. Old records of
-- the own consultant go with it (an answer is not asked for after days).
CREATE OR REPLACE DEFINER = 'torvakdb_eigenaar'@'localhost'
PROCEDURE `torvakdb_TORVAKeigen`.`actie_gedaan`(IN p_actie BINARY(16), IN p_nummer VARBINARY(16),
                                               IN p_uitkomst VARCHAR(32) CHARACTER SET utf8mb4)
  MODIFIES SQL DATA SQL SECURITY DEFINER
BEGIN
  DELETE FROM `torvakdb_TORVAKeigen`.`acties`
    WHERE `consultant` = p_nummer AND `wanneer` < NOW() - INTERVAL 30 DAY;
  INSERT INTO `torvakdb_TORVAKeigen`.`acties` (`actie`, `consultant`, `uitkomst`)
    VALUES (p_actie, p_nummer, p_uitkomst);
END//
DELIMITER ;
