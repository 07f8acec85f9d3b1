-- Declaring a month: the report set to 'ja' and the declaration added in
-- one call, one transaction that ends inside it. The office's message is
-- read first in that transaction: one that begins with "BELANGRIJK:",
-- posted a moment ago on any node, holds. Answers one row: uitkomst
-- ('gedeclareerd_nu'; 'geblokkeerd': the message; 'gedeclareerd': the month
-- was declared already; 'factuurnummer': a declaration carries the number;
-- 'elders': saved elsewhere since it was seen) and opgeslagen (with 'elders').
-- The parameters as for opslaan; p_declaratie: the declaration's columns as
-- a JSON object of texts. Its consultant is the session's, it is not paid.
DELIMITER //
CREATE OR REPLACE DEFINER = 'torvakdb_eigenaar'@'localhost'
PROCEDURE `torvakdb_TORVAKeigen`.`declareren`(
  IN p_actie BINARY(16), IN p_projectnaam VARCHAR(255) CHARACTER SET utf8mb4,
  IN p_gezien BOOLEAN, IN p_gewijzigd VARCHAR(255) CHARACTER SET utf8mb4,
  IN p_onbekend VARCHAR(255) CHARACTER SET utf8mb4, IN p_kolommen LONGTEXT CHARACTER SET utf8mb4,
  IN p_factuurnummer VARCHAR(64) CHARACTER SET utf8mb4, IN p_declaratie LONGTEXT CHARACTER SET utf8mb4)
  MODIFIES SQL DATA SQL SECURITY DEFINER
BEGIN
  DECLARE v_nummer VARBINARY(16);
  DECLARE v_uitkomst VARCHAR(32) CHARACTER SET utf8mb4;
  DECLARE v_rijen, v_factuur INT;
  DECLARE v_bericht, v_afgewerkt, v_opgeslagen LONGTEXT CHARACTER SET utf8mb4;
  DECLARE CONTINUE HANDLER FOR NOT FOUND SET v_rijen = 0;
  DECLARE EXIT HANDLER FOR SQLEXCEPTION
  BEGIN
    ROLLBACK;
    RESIGNAL;
  END;
  IF LENGTH(p_kolommen) > 131072 OR JSON_VALID(p_kolommen) IS NOT TRUE
     OR LENGTH(p_declaratie) > 65536 OR JSON_VALID(p_declaratie) IS NOT TRUE THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'De kolommen van het rapport zijn niet leesbaar of te groot.';
  END IF;
  -- Ends whatever the caller left open; reads what is committed and locks
  -- no gaps beside the own keys (another consultant's keys sort there too),
  -- whatever isolation the session asked for.
  COMMIT;
  SET TRANSACTION ISOLATION LEVEL READ COMMITTED;
  START TRANSACTION;
  SET v_nummer = `torvakdb_TORVAKeigen`.`eigen_sleutel`(p_projectnaam);
  IF p_factuurnummer IS NULL OR NOT (CAST(SUBSTRING(p_factuurnummer, 5, 4) AS BINARY) <=> v_nummer)
     OR JSON_VALID(p_declaratie) IS NOT TRUE OR JSON_TYPE(p_declaratie) <> 'OBJECT' THEN
    SIGNAL SQLSTATE '44000' SET MYSQL_ERRNO = 1369, MESSAGE_TEXT = 'CHECK OPTION failed';
  END IF;
  SET v_uitkomst = `torvakdb_TORVAKeigen`.`eerdere_uitkomst`(p_actie, v_nummer);
  IF v_uitkomst IS NULL THEN
    -- The first row in table order (a message table may have no key).
    SET v_bericht = (SELECT b.`Bericht` FROM `torvakdb_TORVAKdata`.`KALMIRO_berichten` b LIMIT 1);
    IF v_bericht LIKE BINARY 'BELANGRIJK:%' THEN
      SET v_uitkomst = 'geblokkeerd';
    END IF;
  END IF;
  IF v_uitkomst IS NULL THEN
    INSERT INTO `torvakdb_TORVAKraporten`.`Sloten` (`sleutel`)
      VALUES (`torvakdb_TORVAKeigen`.`slotsleutel`('raport:', p_projectnaam)),
             (`torvakdb_TORVAKeigen`.`slotsleutel`('factuur:', p_factuurnummer))
      ON DUPLICATE KEY UPDATE `teller` = `teller` + 1;
    SET v_uitkomst = `torvakdb_TORVAKeigen`.`eerdere_uitkomst`(p_actie, v_nummer);
  END IF;
  IF v_uitkomst IS NULL THEN
    SET v_rijen = 1;
    SELECT COALESCE(r.`afgewerkt`, ''), COALESCE(r.`laatstgewijzigd`, '') INTO v_afgewerkt, v_opgeslagen
      FROM `torvakdb_TORVAKraporten`.`Raporten` r
      WHERE r.`eigenaar` = v_nummer AND r.`Projectnaam` = p_projectnaam
        AND CAST(CONVERT(r.`Projectnaam` USING utf8mb4) AS BINARY) = CAST(p_projectnaam AS BINARY)
      LIMIT 1 FOR UPDATE;
    SELECT COUNT(*) INTO v_factuur FROM `torvakdb_TORVAKdeclaraties`.`Declaraties` d
      WHERE d.`factuurnummer` = p_factuurnummer
        AND CAST(CONVERT(d.`factuurnummer` USING utf8mb4) AS BINARY) = CAST(p_factuurnummer AS BINARY)
      FOR UPDATE;
    IF v_rijen = 1 AND v_afgewerkt = 'ja' THEN
      SET v_uitkomst = 'gedeclareerd';
    ELSEIF v_rijen = 1 AND NOT (p_gezien AND CAST(v_opgeslagen AS BINARY) = CAST(COALESCE(p_gewijzigd, '') AS BINARY))
           AND NOT (COALESCE(p_onbekend, '') <> '' AND CAST(v_opgeslagen AS BINARY) = CAST(p_onbekend AS BINARY)) THEN
      SET v_uitkomst = 'elders';
    ELSEIF v_factuur > 0 THEN
      SET v_uitkomst = 'factuurnummer';
    ELSE
      CALL `torvakdb_TORVAKeigen`.`raport_schrijven`(v_nummer, p_projectnaam, 'ja', p_kolommen, v_rijen = 1);
      INSERT INTO `torvakdb_TORVAKdeclaraties`.`Declaraties` (
          `factuurnummer`, `consultant`, `Consultantnaam`, `Opdrachtgever`, `Opdrachtgevernaam`, `Jaar`,
          `maand`, `DECdatum`, `Projectnaam`, `uren`, `peruurIN`, `peruurUIT`,
          `urentotaal`, `kilometers`, `perKM`, `totaalkostenKM`, `onkosten`, `kostenomschrijving`,
          `subtotaal`, `BTW`, `totaal`, `opmerking`, `urentotaaluit`, `subtotaaluit`,
          `BTWuit`, `totaaluit`, `IsbetaaldConsultant`, `IsbetaaldOpdrachtgever`)
        VALUES (
          p_factuurnummer,
          CONVERT(v_nummer USING utf8mb4),
          `torvakdb_TORVAKeigen`.`waarde`(p_declaratie, 'Consultantnaam'),
          `torvakdb_TORVAKeigen`.`waarde`(p_declaratie, 'Opdrachtgever'),
          `torvakdb_TORVAKeigen`.`waarde`(p_declaratie, 'Opdrachtgevernaam'),
          `torvakdb_TORVAKeigen`.`waarde`(p_declaratie, 'Jaar'),
          `torvakdb_TORVAKeigen`.`waarde`(p_declaratie, 'maand'),
          `torvakdb_TORVAKeigen`.`waarde`(p_declaratie, 'DECdatum'),
          `torvakdb_TORVAKeigen`.`waarde`(p_declaratie, 'Projectnaam'),
          `torvakdb_TORVAKeigen`.`waarde`(p_declaratie, 'uren'),
          `torvakdb_TORVAKeigen`.`waarde`(p_declaratie, 'peruurIN'),
          `torvakdb_TORVAKeigen`.`waarde`(p_declaratie, 'peruurUIT'),
          `torvakdb_TORVAKeigen`.`waarde`(p_declaratie, 'urentotaal'),
          `torvakdb_TORVAKeigen`.`waarde`(p_declaratie, 'kilometers'),
          `torvakdb_TORVAKeigen`.`waarde`(p_declaratie, 'perKM'),
          `torvakdb_TORVAKeigen`.`waarde`(p_declaratie, 'totaalkostenKM'),
          `torvakdb_TORVAKeigen`.`waarde`(p_declaratie, 'onkosten'),
          `torvakdb_TORVAKeigen`.`waarde`(p_declaratie, 'kostenomschrijving'),
          `torvakdb_TORVAKeigen`.`waarde`(p_declaratie, 'subtotaal'),
          `torvakdb_TORVAKeigen`.`waarde`(p_declaratie, 'BTW'),
          `torvakdb_TORVAKeigen`.`waarde`(p_declaratie, 'totaal'),
          `torvakdb_TORVAKeigen`.`waarde`(p_declaratie, 'opmerking'),
          `torvakdb_TORVAKeigen`.`waarde`(p_declaratie, 'urentotaaluit'),
          `torvakdb_TORVAKeigen`.`waarde`(p_declaratie, 'subtotaaluit'),
          `torvakdb_TORVAKeigen`.`waarde`(p_declaratie, 'BTWuit'),
          `torvakdb_TORVAKeigen`.`waarde`(p_declaratie, 'totaaluit'),
          'nee',
          'nee');
      SET v_uitkomst = 'gedeclareerd_nu';
      CALL `torvakdb_TORVAKeigen`.`actie_gedaan`(p_actie, v_nummer, v_uitkomst);
    END IF;
  END IF;
  COMMIT;
  SELECT v_uitkomst AS `uitkomst`, IF(v_uitkomst = 'elders', v_opgeslagen, NULL) AS `opgeslagen`;
END//
DELIMITER ;
