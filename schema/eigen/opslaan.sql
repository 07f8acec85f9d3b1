-- Saving a month: one call, one transaction that ends inside it.
-- Answers one row: uitkomst ('toegevoegd', 'overschreven', 'gedeclareerd':
-- the month is declared, nothing written; 'elders': saved elsewhere since
-- it was seen, nothing written) and opgeslagen (the stored laatstgewijzigd
-- with 'elders').
--   p_actie      16 bytes the program chose for this save; asked again
--                after a lost answer, it answers as the first time
--   p_gezien     the row was there when the month was opened or last saved,
--   p_gewijzigd  with this laatstgewijzigd;
--   p_onbekend   the laatstgewijzigd of an own save whose answer was lost
--   p_kolommen   the month's columns as a JSON object of texts
DELIMITER //
CREATE OR REPLACE DEFINER = 'torvakdb_eigenaar'@'localhost'
PROCEDURE `torvakdb_TORVAKeigen`.`opslaan`(
  IN p_actie BINARY(16), IN p_projectnaam VARCHAR(255) CHARACTER SET utf8mb4,
  IN p_gezien BOOLEAN, IN p_gewijzigd VARCHAR(255) CHARACTER SET utf8mb4,
  IN p_onbekend VARCHAR(255) CHARACTER SET utf8mb4, IN p_kolommen LONGTEXT CHARACTER SET utf8mb4)
  MODIFIES SQL DATA SQL SECURITY DEFINER
BEGIN
  DECLARE v_nummer VARBINARY(16);
  DECLARE v_uitkomst VARCHAR(32) CHARACTER SET utf8mb4;
  DECLARE v_rijen INT;
  DECLARE v_afgewerkt, v_opgeslagen LONGTEXT CHARACTER SET utf8mb4;
  DECLARE CONTINUE HANDLER FOR NOT FOUND SET v_rijen = 0;
  DECLARE EXIT HANDLER FOR SQLEXCEPTION
  BEGIN
    ROLLBACK;
    RESIGNAL;
  END;
  -- A month is some tens of kilobytes at the most; a larger one would keep
  -- the call, and its lock rows, busy for seconds.
  IF LENGTH(p_kolommen) > 131072 OR JSON_VALID(p_kolommen) IS NOT TRUE THEN
    SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'De kolommen van het rapport zijn niet leesbaar of te groot.';
  END IF;
  -- Ends whatever the caller left open; reads what is committed and locks
  -- no gaps beside the own keys (another consultant's keys sort there too),
  -- whatever isolation the session asked for.
  COMMIT;
  SET TRANSACTION ISOLATION LEVEL READ COMMITTED;
  START TRANSACTION;
  SET v_nummer = `torvakdb_TORVAKeigen`.`eigen_sleutel`(p_projectnaam);
  SET v_uitkomst = `torvakdb_TORVAKeigen`.`eerdere_uitkomst`(p_actie, v_nummer);
  IF v_uitkomst IS NULL THEN
    INSERT INTO `torvakdb_TORVAKraporten`.`Sloten` (`sleutel`)
      VALUES (`torvakdb_TORVAKeigen`.`slotsleutel`('raport:', p_projectnaam))
      ON DUPLICATE KEY UPDATE `teller` = `teller` + 1;
    -- The same action sent twice at once: the second, let in after the
    -- first, answers what the first did.
    SET v_uitkomst = `torvakdb_TORVAKeigen`.`eerdere_uitkomst`(p_actie, v_nummer);
  END IF;
  IF v_uitkomst IS NULL THEN
    SET v_rijen = 1;
    SELECT COALESCE(r.`afgewerkt`, ''), COALESCE(r.`laatstgewijzigd`, '') INTO v_afgewerkt, v_opgeslagen
      FROM `torvakdb_TORVAKraporten`.`Raporten` r
      WHERE r.`eigenaar` = v_nummer AND r.`Projectnaam` = p_projectnaam
        AND CAST(CONVERT(r.`Projectnaam` USING utf8mb4) AS BINARY) = CAST(p_projectnaam AS BINARY)
      LIMIT 1 FOR UPDATE;
    IF v_rijen = 1 AND v_afgewerkt = 'ja' THEN
      SET v_uitkomst = 'gedeclareerd';
    ELSEIF v_rijen = 1 AND NOT (p_gezien AND CAST(v_opgeslagen AS BINARY) = CAST(COALESCE(p_gewijzigd, '') AS BINARY))
           AND NOT (COALESCE(p_onbekend, '') <> '' AND CAST(v_opgeslagen AS BINARY) = CAST(p_onbekend AS BINARY)) THEN
      SET v_uitkomst = 'elders';
    ELSE
      CALL `torvakdb_TORVAKeigen`.`raport_schrijven`(v_nummer, p_projectnaam, 'nee', p_kolommen, v_rijen = 1);
      SET v_uitkomst = IF(v_rijen = 1, 'overschreven', 'toegevoegd');
      CALL `torvakdb_TORVAKeigen`.`actie_gedaan`(p_actie, v_nummer, v_uitkomst);
    END IF;
  END IF;
  COMMIT;
  SELECT v_uitkomst AS `uitkomst`, IF(v_uitkomst = 'elders', v_opgeslagen, NULL) AS `opgeslagen`;
END//
DELIMITER ;
