-- An account for every consultant who has none yet, with a random one-time
-- password, expired: at the first login the program asks each for a
-- password of their own. Never the password in KALMIRO_consultants: every
-- copy of the program could read that one until the switch. The one-time
-- passwords are listed at the end for the office to hand over.
-- Runs as an administrator after upgrade_accounts.sql; safe to run again
-- (an account that exists is left as it is). Rows whose LOGIN cannot be an
-- account, or that share a LOGIN, are skipped: controle() lists them.
-- The quoting every routine below is written for, whatever the server's or
-- the session's mode (NO_BACKSLASH_ESCAPES or ANSI_QUOTES would change what
-- QUOTE() builds a statement from); a routine keeps the mode it was made in.
SET SESSION sql_mode = 'STRICT_TRANS_TABLES,ERROR_FOR_DIVISION_BY_ZERO,NO_AUTO_CREATE_USER,NO_ENGINE_SUBSTITUTION';
DELIMITER //
CREATE OR REPLACE PROCEDURE `torvakdb_TORVAKbeheer`.`accounts_voor_bestaanden`()
  SQL SECURITY INVOKER
BEGIN
  DECLARE klaar BOOLEAN DEFAULT FALSE;
  DECLARE v_login VARCHAR(255) CHARACTER SET utf8mb4;
  DECLARE v_wachtwoord VARCHAR(255) CHARACTER SET utf8mb4;
  DECLARE v_nummer VARCHAR(16) CHARACTER SET utf8mb4;
  DECLARE v_byte INT;
  DECLARE rijen CURSOR FOR
    SELECT c.`LOGIN`, CAST(NULL AS CHAR), c.`consultantnummer` FROM `torvakdb_TORVAKdata`.`KALMIRO_consultants` c
    WHERE `torvakdb_TORVAKbeheer`.`ongeschikte_login`(c.`LOGIN`) IS NULL
      AND (SELECT COUNT(*) FROM `torvakdb_TORVAKdata`.`KALMIRO_consultants` d
           WHERE CAST(CONVERT(d.`LOGIN` USING utf8mb4) AS BINARY) = CAST(CONVERT(c.`LOGIN` USING utf8mb4) AS BINARY)) = 1
      AND NOT EXISTS (SELECT 1 FROM mysql.global_priv g
                      WHERE CAST(g.`User` AS BINARY) = CAST(CONVERT(c.`LOGIN` USING utf8mb4) AS BINARY) AND g.`Host` = '%')
      -- A leaver's access stays taken away.
      AND NOT EXISTS (SELECT 1 FROM `torvakdb_TORVAKbeheer`.`vertrokken` v
                      WHERE v.`LOGIN` = CAST(CONVERT(c.`LOGIN` USING utf8mb4) AS BINARY));
  DECLARE CONTINUE HANDLER FOR NOT FOUND SET klaar = TRUE;
  CREATE OR REPLACE TEMPORARY TABLE `torvakdb_TORVAKbeheer`.`eenmalige_wachtwoorden` (
    `LOGIN` VARCHAR(255) CHARACTER SET utf8mb4, `wachtwoord` VARCHAR(16) CHARACTER SET utf8mb4);
  OPEN rijen;
  lezen: LOOP
    FETCH rijen INTO v_login, v_wachtwoord, v_nummer;
    IF klaar THEN LEAVE lezen; END IF;
    -- Ten characters, as many as the login form takes, from a cryptographic
    -- source; none of 0/O or 1/l (56 left; a byte from 224 up is drawn
    -- again, so each is as likely).
    SET v_wachtwoord = '';
    WHILE CHAR_LENGTH(v_wachtwoord) < 10 DO
      SET v_byte = ASCII(RANDOM_BYTES(1));
      IF v_byte < 224 THEN
        SET v_wachtwoord = CONCAT(v_wachtwoord, SUBSTRING('abcdefghijkmnpqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ23456789',
                                                          1 + v_byte MOD 56, 1));
      END IF;
    END WHILE;
    INSERT INTO `torvakdb_TORVAKbeheer`.`eenmalige_wachtwoorden` VALUES (v_login, v_wachtwoord);
    CALL `torvakdb_TORVAKbeheer`.`account_maken`(v_login, v_wachtwoord, TRUE);
    CALL `torvakdb_TORVAKbeheer`.`grensrij`(v_nummer);
  END LOOP;
  CLOSE rijen;
  SELECT `LOGIN`, `wachtwoord` AS `eenmalig wachtwoord` FROM `torvakdb_TORVAKbeheer`.`eenmalige_wachtwoorden`
    ORDER BY `LOGIN`;
  DROP TEMPORARY TABLE `torvakdb_TORVAKbeheer`.`eenmalige_wachtwoorden`;
END//
DELIMITER ;
CALL `torvakdb_TORVAKbeheer`.`accounts_voor_bestaanden`();
