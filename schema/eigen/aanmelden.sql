-- Logging in and out: the own consultant row marked, and at the login the
-- login record written, in one call and one transaction that ends inside
-- it. The own row is found by the session's account (consultantnummer());
-- the password was checked by the server at the connect.
DELIMITER //
-- Answers the own row without the password (none: no row of one's own,
-- nothing written), then the own projects. The login record's name is
-- the row's own composition; the other values are the workstation's.
CREATE OR REPLACE DEFINER = 'torvakdb_eigenaar'@'localhost'
PROCEDURE `torvakdb_TORVAKeigen`.`aanmelden`(
  IN p_aangemeld VARCHAR(100) CHARACTER SET utf8mb4, IN p_datumtijd VARCHAR(100) CHARACTER SET utf8mb4,
  IN p_pcnaam VARCHAR(255) CHARACTER SET utf8mb4, IN p_netwerkkaart VARCHAR(255) CHARACTER SET utf8mb4,
  IN p_netwerkadres VARCHAR(255) CHARACTER SET utf8mb4, IN p_mbmerk VARCHAR(255) CHARACTER SET utf8mb4,
  IN p_mbtype VARCHAR(255) CHARACTER SET utf8mb4, IN p_afdrukapparaat VARCHAR(255) CHARACTER SET utf8mb4)
  MODIFIES SQL DATA SQL SECURITY DEFINER
BEGIN
  DECLARE v_nummer VARBINARY(16);
  DECLARE v_rijen INT DEFAULT 0;
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
  START TRANSACTION;
  SET v_nummer = `torvakdb_TORVAKeigen`.`consultantnummer`();
  -- Locked first: a login or logoff elsewhere waits for this one.
  SELECT COUNT(*) INTO v_rijen FROM `torvakdb_TORVAKdata`.`KALMIRO_consultants` c
    WHERE c.`consultantnummer` = CONVERT(v_nummer USING utf8mb4) AND CAST(c.`consultantnummer` AS BINARY) = v_nummer
    FOR UPDATE;
  IF v_rijen > 0 THEN
    UPDATE `torvakdb_TORVAKdata`.`KALMIRO_consultants` c
      SET c.`isAANGEMELD` = p_aangemeld, c.`isONLINE` = 'ONLINE'
      WHERE c.`consultantnummer` = CONVERT(v_nummer USING utf8mb4)
        AND CAST(c.`consultantnummer` AS BINARY) = v_nummer;
  END IF;
  IF v_rijen > 0 THEN
    INSERT INTO `torvakdb_TORVAKdata`.`LOGINconsultant`
        (`DATUMTIJD`, `PCnaam`, `LOGINnaam`, `NETWERKkaart`, `NETWERKadres`, `MBmerk`, `MBtype`, `Afdrukapparaat`)
      VALUES (p_datumtijd, p_pcnaam, CONVERT(`torvakdb_TORVAKeigen`.`consultantnaam`() USING utf8mb4),
              p_netwerkkaart, p_netwerkadres, p_mbmerk, p_mbtype, p_afdrukapparaat);
  END IF;
  -- Read before the COMMIT: after it, a session without autocommit would
  -- open a transaction of its own that holds the tables until it ends.
  SELECT c.`consultantnummer`, c.`LOGIN`, c.`Titel1`, c.`voornaam`, c.`tussenvoegsel`, c.`naam`
    FROM `torvakdb_TORVAKdata`.`KALMIRO_consultants` c
    WHERE v_rijen > 0 AND c.`consultantnummer` = CONVERT(v_nummer USING utf8mb4)
      AND CAST(c.`consultantnummer` AS BINARY) = v_nummer
    LIMIT 1;
  SELECT p.`Projectcode`, p.`ProjectOmschrijving` FROM `torvakdb_TORVAKdata`.`KALMIRO_projecten` p
    WHERE v_rijen > 0 AND p.`eigenaar` = v_nummer;
  COMMIT;
END//

-- Logging off: the own row marked offline. Answers gevonden (0 or 1).
CREATE OR REPLACE DEFINER = 'torvakdb_eigenaar'@'localhost'
PROCEDURE `torvakdb_TORVAKeigen`.`afmelden`(IN p_afgemeld VARCHAR(100) CHARACTER SET utf8mb4)
  MODIFIES SQL DATA SQL SECURITY DEFINER
BEGIN
  DECLARE v_nummer VARBINARY(16);
  DECLARE v_rijen INT DEFAULT 0;
  DECLARE EXIT HANDLER FOR SQLEXCEPTION
  BEGIN
    ROLLBACK;
    RESIGNAL;
  END;
  COMMIT;
  SET TRANSACTION ISOLATION LEVEL READ COMMITTED;
  START TRANSACTION;
  SET v_nummer = `torvakdb_TORVAKeigen`.`consultantnummer`();
  SELECT COUNT(*) INTO v_rijen FROM `torvakdb_TORVAKdata`.`KALMIRO_consultants` c
    WHERE c.`consultantnummer` = CONVERT(v_nummer USING utf8mb4) AND CAST(c.`consultantnummer` AS BINARY) = v_nummer
    FOR UPDATE;
  IF v_rijen > 0 THEN
    UPDATE `torvakdb_TORVAKdata`.`KALMIRO_consultants` c
      SET c.`isAFGEMELD` = p_afgemeld, c.`isONLINE` = 'OFFLINE'
      WHERE c.`consultantnummer` = CONVERT(v_nummer USING utf8mb4)
        AND CAST(c.`consultantnummer` AS BINARY) = v_nummer;
  END IF;
  SELECT IF(v_rijen > 0, 1, 0) AS `gevonden`;
  COMMIT;
END//
DELIMITER ;
