-- The bench's copy of a filled server as an office runs it on accounts of
-- their own (after upgrade.sql and upgrade_accounts.sql): every consultant
-- gets an account with the password of their row, so that the bench can log
-- in as the owner of each key it picks (an office hands out one-time
-- passwords instead), and an empty action: the frame every procedure of a
-- consultant's action has, without its rows, to time what a call costs.
-- Safe to run again: an account that exists is left as it is.
SET SESSION sql_mode = 'STRICT_TRANS_TABLES,ERROR_FOR_DIVISION_BY_ZERO,NO_AUTO_CREATE_USER,NO_ENGINE_SUBSTITUTION';
DELIMITER //
BEGIN NOT ATOMIC
  DECLARE klaar BOOLEAN DEFAULT FALSE;
  DECLARE v_login VARCHAR(255) CHARACTER SET utf8mb4;
  DECLARE v_wachtwoord VARCHAR(255) CHARACTER SET utf8mb4;
  DECLARE rijen CURSOR FOR
    SELECT c.`LOGIN`, c.`PASWOORD` FROM `torvakdb_TORVAKdata`.`KALMIRO_consultants` c;
  DECLARE CONTINUE HANDLER FOR NOT FOUND SET klaar = TRUE;
  OPEN rijen;
  lezen: LOOP
    FETCH rijen INTO v_login, v_wachtwoord;
    IF klaar THEN LEAVE lezen; END IF;
    -- By the account's key, one row each: a run again takes a moment.
    IF NOT EXISTS (SELECT 1 FROM mysql.global_priv g WHERE g.`Host` = '%' AND g.`User` = CONVERT(v_login USING utf8mb3)) THEN
      CALL `torvakdb_TORVAKbeheer`.`toegang_geven`(v_login, v_wachtwoord, FALSE);
    END IF;
  END LOOP;
  CLOSE rijen;
END//

CREATE DATABASE IF NOT EXISTS `torvakdb_bench`//
CREATE OR REPLACE DEFINER = 'torvakdb_eigenaar'@'localhost'
PROCEDURE `torvakdb_bench`.`leeg`()
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
  SELECT v_nummer AS `consultantnummer`;
  COMMIT;
END//
DELIMITER ;
GRANT EXECUTE ON PROCEDURE `torvakdb_bench`.`leeg` TO torvakdb_consultant;
GRANT EXECUTE ON PROCEDURE `torvakdb_bench`.`leeg` TO 'torvakdb_eigenaar'@'localhost';
