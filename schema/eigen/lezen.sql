-- What a consultant reads of the reports and declarations: the own rows
-- only, by the session's consultant, for one action each. Each runs in a
-- read-only transaction of its own, which ends one the caller left open.
DELIMITER //
-- The activities and contacts of the consultant's months named (a JSON
-- array of report keys), in the caller's transaction; no consultant's to call.
CREATE OR REPLACE DEFINER = 'torvakdb_eigenaar'@'localhost'
PROCEDURE `torvakdb_TORVAKeigen`.`teksten_van`(IN v_nummer VARBINARY(16), IN p_sleutels LONGTEXT CHARACTER SET utf8mb4)
  READS SQL DATA SQL SECURITY DEFINER
BEGIN
  SELECT r.`Projectnaam`, r.`afgewerkt`,
         r.`Activiteit01`, r.`Contact01`, r.`Activiteit02`, r.`Contact02`, r.`Activiteit03`, r.`Contact03`,
         r.`Activiteit04`, r.`Contact04`, r.`Activiteit05`, r.`Contact05`, r.`Activiteit06`, r.`Contact06`,
         r.`Activiteit07`, r.`Contact07`, r.`Activiteit08`, r.`Contact08`, r.`Activiteit09`, r.`Contact09`,
         r.`Activiteit10`, r.`Contact10`, r.`Activiteit11`, r.`Contact11`, r.`Activiteit12`, r.`Contact12`,
         r.`Activiteit13`, r.`Contact13`, r.`Activiteit14`, r.`Contact14`, r.`Activiteit15`, r.`Contact15`,
         r.`Activiteit16`, r.`Contact16`, r.`Activiteit17`, r.`Contact17`, r.`Activiteit18`, r.`Contact18`,
         r.`Activiteit19`, r.`Contact19`, r.`Activiteit20`, r.`Contact20`, r.`Activiteit21`, r.`Contact21`,
         r.`Activiteit22`, r.`Contact22`, r.`Activiteit23`, r.`Contact23`, r.`Activiteit24`, r.`Contact24`,
         r.`Activiteit25`, r.`Contact25`, r.`Activiteit26`, r.`Contact26`, r.`Activiteit27`, r.`Contact27`,
         r.`Activiteit28`, r.`Contact28`, r.`Activiteit29`, r.`Contact29`, r.`Activiteit30`, r.`Contact30`,
         r.`Activiteit31`, r.`Contact31`
    FROM `torvakdb_TORVAKraporten`.`Raporten` r
    WHERE r.`eigenaar` = v_nummer
      AND JSON_CONTAINS(p_sleutels, JSON_QUOTE(CONVERT(r.`Projectnaam` USING utf8mb4)));
END//

-- Opening a month: every own row with the key, in table order (the client
-- decides on the exact key and the first row that counts).
CREATE OR REPLACE DEFINER = 'torvakdb_eigenaar'@'localhost'
PROCEDURE `torvakdb_TORVAKeigen`.`maand_openen`(IN p_projectnaam VARCHAR(255) CHARACTER SET utf8mb4)
  READS SQL DATA SQL SECURITY DEFINER
BEGIN
  DECLARE v_nummer VARBINARY(16);
  DECLARE EXIT HANDLER FOR SQLEXCEPTION
  BEGIN
    ROLLBACK;
    RESIGNAL;
  END;
  -- Ends whatever the caller left open; reads what is committed and locks
  -- no gaps beside the own keys (another consultant's keys sort there too),
  -- whatever isolation the session asked for.
  COMMIT;
  SET TRANSACTION ISOLATION LEVEL READ COMMITTED;
  START TRANSACTION READ ONLY;
  SET v_nummer = `torvakdb_TORVAKeigen`.`consultantnummer`();
  SELECT r.* FROM `torvakdb_TORVAKraporten`.`Raporten` r
    WHERE r.`eigenaar` = v_nummer AND r.`Projectnaam` = p_projectnaam;
  COMMIT;
END//

-- The activities and contacts of the own months named (a JSON array of
-- report keys): the earlier texts of a project, the previous month.
CREATE OR REPLACE DEFINER = 'torvakdb_eigenaar'@'localhost'
PROCEDURE `torvakdb_TORVAKeigen`.`eerdere_teksten`(IN p_sleutels LONGTEXT CHARACTER SET utf8mb4)
  READS SQL DATA SQL SECURITY DEFINER
BEGIN
  DECLARE v_nummer VARBINARY(16);
  DECLARE EXIT HANDLER FOR SQLEXCEPTION
  BEGIN
    ROLLBACK;
    RESIGNAL;
  END;
  IF LENGTH(p_sleutels) > 65536 OR JSON_VALID(p_sleutels) IS NOT TRUE OR JSON_TYPE(p_sleutels) <> 'ARRAY' THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'De maanden zijn niet leesbaar.';
  END IF;
  COMMIT;
  SET TRANSACTION ISOLATION LEVEL READ COMMITTED;
  START TRANSACTION READ ONLY;
  SET v_nummer = `torvakdb_TORVAKeigen`.`consultantnummer`();
  CALL `torvakdb_TORVAKeigen`.`teksten_van`(v_nummer, p_sleutels);
  COMMIT;
END//

-- The check before declaring: the own declarations of one client and
-- project before the given month, the latest first.
CREATE OR REPLACE DEFINER = 'torvakdb_eigenaar'@'localhost'
PROCEDURE `torvakdb_TORVAKeigen`.`eerdere_declaraties`(
  IN p_opdrachtgever VARCHAR(255) CHARACTER SET utf8mb4, IN p_projectnaam VARCHAR(255) CHARACTER SET utf8mb4,
  IN p_jaar VARCHAR(8) CHARACTER SET utf8mb4, IN p_maand VARCHAR(8) CHARACTER SET utf8mb4)
  READS SQL DATA SQL SECURITY DEFINER
BEGIN
  DECLARE v_nummer VARBINARY(16);
  DECLARE EXIT HANDLER FOR SQLEXCEPTION
  BEGIN
    ROLLBACK;
    RESIGNAL;
  END;
  COMMIT;
  SET TRANSACTION ISOLATION LEVEL READ COMMITTED;
  START TRANSACTION READ ONLY;
  SET v_nummer = `torvakdb_TORVAKeigen`.`consultantnummer`();
  SELECT d.`consultant`, d.`Opdrachtgever`, d.`Projectnaam`, d.`Jaar`, d.`maand`, d.`uren`, d.`kilometers`,
         d.`totaal`
    FROM `torvakdb_TORVAKdeclaraties`.`Declaraties` d
    WHERE d.`consultant` = CONVERT(v_nummer USING utf8mb4) AND CAST(d.`consultant` AS BINARY) = v_nummer
      AND d.`Opdrachtgever` = p_opdrachtgever AND d.`Projectnaam` = p_projectnaam
      AND (d.`Jaar` < p_jaar OR (d.`Jaar` = p_jaar AND d.`maand` < p_maand))
    ORDER BY d.`Jaar` DESC, d.`maand` DESC;
  COMMIT;
END//

-- The year overview in one call: the own projects named (a JSON array of
-- codes) with their reports of the year, then the own declarations of the
-- year (the invoice number begins with yymm).
CREATE OR REPLACE DEFINER = 'torvakdb_eigenaar'@'localhost'
PROCEDURE `torvakdb_TORVAKeigen`.`jaaroverzicht`(IN p_jaar VARCHAR(8) CHARACTER SET utf8mb4,
                                                  IN p_codes LONGTEXT CHARACTER SET utf8mb4)
  READS SQL DATA SQL SECURITY DEFINER
BEGIN
  DECLARE v_nummer VARBINARY(16);
  DECLARE EXIT HANDLER FOR SQLEXCEPTION
  BEGIN
    ROLLBACK;
    RESIGNAL;
  END;
  IF LENGTH(p_codes) > 65536 OR JSON_VALID(p_codes) IS NOT TRUE OR JSON_TYPE(p_codes) <> 'ARRAY' THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'De projecten zijn niet leesbaar.';
  END IF;
  COMMIT;
  SET TRANSACTION ISOLATION LEVEL READ COMMITTED;
  START TRANSACTION READ ONLY;
  SET v_nummer = `torvakdb_TORVAKeigen`.`consultantnummer`();
  SELECT p.`Projectcode`, p.`Projectnaam` AS `projectnaam`, p.`nummer`, p.`opdrachtgevernummer`,
         p.`TijdsplanningDATUMvan`, p.`TijdsplanningDATUMtm`, p.`VerkoopDagtariefConsultant`,
         p.`InkoopDagtariefOpdrachtgever`,
         r.`Projectnaam` AS `rapportsleutel`, r.`afgewerkt`, r.`laatstgewijzigd`, r.`onkosten`, r.`euro`, r.`cent`,
         r.`Uren01`, r.`Uren02`, r.`Uren03`, r.`Uren04`, r.`Uren05`, r.`Uren06`,
         r.`Uren07`, r.`Uren08`, r.`Uren09`, r.`Uren10`, r.`Uren11`, r.`Uren12`,
         r.`Uren13`, r.`Uren14`, r.`Uren15`, r.`Uren16`, r.`Uren17`, r.`Uren18`,
         r.`Uren19`, r.`Uren20`, r.`Uren21`, r.`Uren22`, r.`Uren23`, r.`Uren24`,
         r.`Uren25`, r.`Uren26`, r.`Uren27`, r.`Uren28`, r.`Uren29`, r.`Uren30`,
         r.`Uren31`,
         r.`Kilometers01`, r.`Kilometers02`, r.`Kilometers03`, r.`Kilometers04`, r.`Kilometers05`, r.`Kilometers06`,
         r.`Kilometers07`, r.`Kilometers08`, r.`Kilometers09`, r.`Kilometers10`, r.`Kilometers11`, r.`Kilometers12`,
         r.`Kilometers13`, r.`Kilometers14`, r.`Kilometers15`, r.`Kilometers16`, r.`Kilometers17`, r.`Kilometers18`,
         r.`Kilometers19`, r.`Kilometers20`, r.`Kilometers21`, r.`Kilometers22`, r.`Kilometers23`, r.`Kilometers24`,
         r.`Kilometers25`, r.`Kilometers26`, r.`Kilometers27`, r.`Kilometers28`, r.`Kilometers29`, r.`Kilometers30`,
         r.`Kilometers31`
    FROM `torvakdb_TORVAKdata`.`KALMIRO_projecten` p
    LEFT JOIN `torvakdb_TORVAKraporten`.`Raporten` r
      ON r.`eigenaar` = v_nummer AND r.`Projectnaam` LIKE CONCAT(p_jaar, '!_%') ESCAPE '!'
     AND SUBSTRING(r.`Projectnaam`, 9) = p.`Projectcode`
    WHERE p.`eigenaar` = v_nummer
      AND JSON_CONTAINS(p_codes, JSON_QUOTE(CONVERT(p.`Projectcode` USING utf8mb4)));
  SELECT d.`factuurnummer`, d.`totaal`, d.`uren`, d.`kilometers`, d.`Projectnaam`
    FROM `torvakdb_TORVAKdeclaraties`.`Declaraties` d
    WHERE d.`consultant` = CONVERT(v_nummer USING utf8mb4) AND CAST(d.`consultant` AS BINARY) = v_nummer
      AND d.`factuurnummer` LIKE CONCAT(RIGHT(p_jaar, 2), '%');
  COMMIT;
END//
DELIMITER ;

DELIMITER //
-- The office's message, as the ticker shows it: the first row in table
-- order (a message table may have no key).
CREATE OR REPLACE DEFINER = 'torvakdb_eigenaar'@'localhost'
PROCEDURE `torvakdb_TORVAKeigen`.`bericht`()
  READS SQL DATA SQL SECURITY DEFINER
BEGIN
  DECLARE EXIT HANDLER FOR SQLEXCEPTION
  BEGIN
    ROLLBACK;
    RESIGNAL;
  END;
  COMMIT;
  SET TRANSACTION ISOLATION LEVEL READ COMMITTED;
  START TRANSACTION READ ONLY;
  SELECT b.* FROM `torvakdb_TORVAKdata`.`KALMIRO_berichten` b LIMIT 1;
  COMMIT;
END//

-- Choosing a project: its own rows with the code (the client decides on
-- the exact code and the first row), the client of the first exact one,
-- and the texts of the months named (a JSON array of report keys, empty
-- when the form has them already).
CREATE OR REPLACE DEFINER = 'torvakdb_eigenaar'@'localhost'
PROCEDURE `torvakdb_TORVAKeigen`.`project_kiezen`(IN p_code VARCHAR(255) CHARACTER SET utf8mb4,
                                                   IN p_sleutels LONGTEXT CHARACTER SET utf8mb4)
  READS SQL DATA SQL SECURITY DEFINER
BEGIN
  DECLARE v_nummer VARBINARY(16);
  DECLARE EXIT HANDLER FOR SQLEXCEPTION
  BEGIN
    ROLLBACK;
    RESIGNAL;
  END;
  IF LENGTH(p_sleutels) > 65536 OR JSON_VALID(p_sleutels) IS NOT TRUE OR JSON_TYPE(p_sleutels) <> 'ARRAY' THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'De maanden zijn niet leesbaar.';
  END IF;
  COMMIT;
  SET TRANSACTION ISOLATION LEVEL READ COMMITTED;
  START TRANSACTION READ ONLY;
  SET v_nummer = `torvakdb_TORVAKeigen`.`consultantnummer`();
  SELECT p.* FROM `torvakdb_TORVAKdata`.`KALMIRO_projecten` p
    WHERE p.`eigenaar` = v_nummer AND p.`Projectcode` = p_code;
  SELECT o.* FROM `torvakdb_TORVAKdata`.`KALMIRO_opdrachtgevers` o
    WHERE o.`opdrachtgevernummer` = (
      SELECT p.`opdrachtgevernummer` FROM `torvakdb_TORVAKdata`.`KALMIRO_projecten` p
        WHERE p.`eigenaar` = v_nummer AND p.`Projectcode` = p_code
          AND CAST(CONVERT(p.`Projectcode` USING utf8mb4) AS BINARY) = CAST(p_code AS BINARY)
        LIMIT 1);
  CALL `torvakdb_TORVAKeigen`.`teksten_van`(v_nummer, p_sleutels);
  COMMIT;
END//
DELIMITER ;

DELIMITER //
-- The program's tables without a primary key, which the program names at
-- the start (their rows' order may differ per node of a cluster).
CREATE OR REPLACE DEFINER = 'torvakdb_eigenaar'@'localhost'
PROCEDURE `torvakdb_TORVAKeigen`.`tabellen_zonder_sleutel`()
  READS SQL DATA SQL SECURITY DEFINER
SELECT CONCAT(t.`TABLE_SCHEMA`, '.', t.`TABLE_NAME`) AS `tabel`
  FROM information_schema.TABLES t
  WHERE ((t.`TABLE_SCHEMA` = 'torvakdb_TORVAKdata'
          AND t.`TABLE_NAME` IN ('KALMIRO_consultants', 'LOGINconsultant', 'KALMIRO_projecten',
                                 'KALMIRO_opdrachtgevers', 'KALMIRO_berichten'))
         OR (t.`TABLE_SCHEMA` = 'torvakdb_TORVAKraporten' AND t.`TABLE_NAME` IN ('Raporten', 'Sloten'))
         OR (t.`TABLE_SCHEMA` = 'torvakdb_TORVAKdeclaraties' AND t.`TABLE_NAME` = 'Declaraties'))
    AND NOT EXISTS (SELECT 1 FROM information_schema.KEY_COLUMN_USAGE k
                    WHERE k.`TABLE_SCHEMA` = t.`TABLE_SCHEMA` AND k.`TABLE_NAME` = t.`TABLE_NAME`
                      AND k.`CONSTRAINT_NAME` = 'PRIMARY')
  ORDER BY 1//
DELIMITER ;
