-- Read by upgrade_accounts.sql (SOURCE, in its session and sql_mode), not run alone.
-- What stands in the way of the accounts, one row per finding; the set-up
-- (switch_shared_account.sql) refuses to finish while there is any.
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
