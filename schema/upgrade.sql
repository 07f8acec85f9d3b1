-- Brings an existing office database up to what this version of the
-- program needs. Runs as an administrator; safe to run again, on MariaDB
-- and MySQL 8 (which has no ADD COLUMN IF NOT EXISTS: every change is
-- looked up in information_schema first). Afterwards run 05_rechten.sql,
-- which grants the account the new table as well.
-- Each block below is one change and stands on its own.
-- The quoting and strictness the statements below are written for, whatever
-- the server's mode (ANSI_QUOTES, NO_BACKSLASH_ESCAPES, a lax mode); MySQL 8
-- takes it too.
SET SESSION sql_mode = 'STRICT_TRANS_TABLES,ERROR_FOR_DIVISION_BY_ZERO,NO_ENGINE_SUBSTITUTION';

-- ---------------------------------------------------------------------
-- The lock rows of saves and declarations.
-- ---------------------------------------------------------------------
CREATE TABLE IF NOT EXISTS `torvakdb_TORVAKraporten`.`Sloten` (
  `sleutel` VARBINARY(255) NOT NULL PRIMARY KEY,
  `teller` BIGINT UNSIGNED NOT NULL DEFAULT 0
) ENGINE=InnoDB;

-- A `Sloten` made by hand with the key column alone gets the counter.
SET @dl_change = (
  SELECT IF(COUNT(*) = 0,
            'ALTER TABLE `torvakdb_TORVAKraporten`.`Sloten` ADD COLUMN `teller` BIGINT UNSIGNED NOT NULL DEFAULT 0',
            'DO 0')
  FROM information_schema.COLUMNS
  WHERE TABLE_SCHEMA = 'torvakdb_TORVAKraporten' AND TABLE_NAME = 'Sloten' AND COLUMN_NAME = 'teller');
PREPARE dl_stmt FROM @dl_change;
EXECUTE dl_stmt;
DEALLOCATE PREPARE dl_stmt;

-- ---------------------------------------------------------------------
-- Room for the composed consultant name (title, first name, infix and
-- surname with two blanks: up to 298 characters) in the two columns the
-- program writes it to. A column that is wide enough, or TEXT, stays as
-- it is; a narrower one keeps its character set, collation, NULL rule,
-- default and comment. Where the office indexed the whole column and the
-- wider column would no longer fit the key (767 bytes a column in COMPACT
-- and REDUNDANT rows, 3072 a key), the server would refuse the change and
-- stop the script: the column stays, and the script says which index.
-- Other columns of such a key count with their own width (a number or
-- date not known here as 32 bytes, which errs on the side of leaving it).
-- ---------------------------------------------------------------------
-- An index of the office's that holds the whole of `Consultantnaam` and would
-- grow past what the server allows keeps the column as it is.
SET @dl_blocked = (
  SELECT GROUP_CONCAT(x.INDEX_NAME)
  FROM (SELECT p.INDEX_NAME,
               SUM(IF(p.COLUMN_NAME = 'Consultantnaam' AND p.SUB_PART IS NULL, 300 * s.MAXLEN,
                      COALESCE(p.SUB_PART * COALESCE(s.MAXLEN, 1), c.CHARACTER_OCTET_LENGTH,
                               ELT(FIELD(c.DATA_TYPE, 'tinyint', 'smallint', 'int', 'bigint'), 1, 2, 4, 8),
                               32))) AS bytes,
               MAX(IF(p.COLUMN_NAME = 'Consultantnaam' AND p.SUB_PART IS NULL, 300 * s.MAXLEN, 0)) AS widened
        FROM information_schema.STATISTICS p
        JOIN information_schema.COLUMNS c
          ON c.TABLE_SCHEMA = p.TABLE_SCHEMA AND c.TABLE_NAME = p.TABLE_NAME AND c.COLUMN_NAME = p.COLUMN_NAME
        LEFT JOIN information_schema.CHARACTER_SETS s ON s.CHARACTER_SET_NAME = c.CHARACTER_SET_NAME
        WHERE p.TABLE_SCHEMA = 'torvakdb_TORVAKdeclaraties' AND p.TABLE_NAME = 'Declaraties'
          AND p.INDEX_TYPE NOT IN ('FULLTEXT', 'SPATIAL')
        GROUP BY p.INDEX_NAME) x
  JOIN information_schema.TABLES t ON t.TABLE_SCHEMA = 'torvakdb_TORVAKdeclaraties' AND t.TABLE_NAME = 'Declaraties'
  WHERE x.widened > 0
    AND (x.bytes > IF(t.ENGINE = 'InnoDB', LEAST(3072, @@innodb_page_size * 3 DIV 16), 1000)
         OR (t.ENGINE = 'InnoDB' AND t.ROW_FORMAT IN ('Compact', 'Redundant') AND x.widened > 767)));
SET @dl_change = (
  SELECT CONCAT('ALTER TABLE `', TABLE_SCHEMA, '`.`', TABLE_NAME, '` MODIFY `', COLUMN_NAME,
                '` VARCHAR(300) CHARACTER SET ', CHARACTER_SET_NAME, ' COLLATE ', COLLATION_NAME,
                IF(IS_NULLABLE = 'YES', ' NULL', ' NOT NULL'),
                IF(COLUMN_DEFAULT IS NULL OR COLUMN_DEFAULT = 'NULL', '',
                   CONCAT(' DEFAULT ', IF(LEFT(COLUMN_DEFAULT, 1) = '''', COLUMN_DEFAULT, QUOTE(COLUMN_DEFAULT)))),
                IF(COLUMN_COMMENT = '', '', CONCAT(' COMMENT ', QUOTE(COLUMN_COMMENT))))
  FROM information_schema.COLUMNS
  WHERE TABLE_SCHEMA = 'torvakdb_TORVAKdeclaraties' AND TABLE_NAME = 'Declaraties'
    AND COLUMN_NAME = 'Consultantnaam' AND DATA_TYPE IN ('varchar', 'char')
    AND CHARACTER_MAXIMUM_LENGTH < 300
    AND @dl_blocked IS NULL);
SET @dl_change = COALESCE(@dl_change, 'DO 0');
PREPARE dl_stmt FROM @dl_change;
EXECUTE dl_stmt;
DEALLOCATE PREPARE dl_stmt;
SELECT CONCAT('Declaraties.Consultantnaam blijft ', CHARACTER_MAXIMUM_LENGTH, ' tekens breed: de index ', @dl_blocked,
              ' zou te lang worden voor de server.') AS melding
  FROM information_schema.COLUMNS
  WHERE TABLE_SCHEMA = 'torvakdb_TORVAKdeclaraties' AND TABLE_NAME = 'Declaraties'
    AND COLUMN_NAME = 'Consultantnaam' AND DATA_TYPE IN ('varchar', 'char')
    AND CHARACTER_MAXIMUM_LENGTH < 300
    AND @dl_blocked IS NOT NULL;

-- An index of the office's that holds the whole of `LOGINnaam` and would
-- grow past what the server allows keeps the column as it is.
SET @dl_blocked = (
  SELECT GROUP_CONCAT(x.INDEX_NAME)
  FROM (SELECT p.INDEX_NAME,
               SUM(IF(p.COLUMN_NAME = 'LOGINnaam' AND p.SUB_PART IS NULL, 300 * s.MAXLEN,
                      COALESCE(p.SUB_PART * COALESCE(s.MAXLEN, 1), c.CHARACTER_OCTET_LENGTH,
                               ELT(FIELD(c.DATA_TYPE, 'tinyint', 'smallint', 'int', 'bigint'), 1, 2, 4, 8),
                               32))) AS bytes,
               MAX(IF(p.COLUMN_NAME = 'LOGINnaam' AND p.SUB_PART IS NULL, 300 * s.MAXLEN, 0)) AS widened
        FROM information_schema.STATISTICS p
        JOIN information_schema.COLUMNS c
          ON c.TABLE_SCHEMA = p.TABLE_SCHEMA AND c.TABLE_NAME = p.TABLE_NAME AND c.COLUMN_NAME = p.COLUMN_NAME
        LEFT JOIN information_schema.CHARACTER_SETS s ON s.CHARACTER_SET_NAME = c.CHARACTER_SET_NAME
        WHERE p.TABLE_SCHEMA = 'torvakdb_TORVAKdata' AND p.TABLE_NAME = 'LOGINconsultant'
          AND p.INDEX_TYPE NOT IN ('FULLTEXT', 'SPATIAL')
        GROUP BY p.INDEX_NAME) x
  JOIN information_schema.TABLES t ON t.TABLE_SCHEMA = 'torvakdb_TORVAKdata' AND t.TABLE_NAME = 'LOGINconsultant'
  WHERE x.widened > 0
    AND (x.bytes > IF(t.ENGINE = 'InnoDB', LEAST(3072, @@innodb_page_size * 3 DIV 16), 1000)
         OR (t.ENGINE = 'InnoDB' AND t.ROW_FORMAT IN ('Compact', 'Redundant') AND x.widened > 767)));
SET @dl_change = (
  SELECT CONCAT('ALTER TABLE `', TABLE_SCHEMA, '`.`', TABLE_NAME, '` MODIFY `', COLUMN_NAME,
                '` VARCHAR(300) CHARACTER SET ', CHARACTER_SET_NAME, ' COLLATE ', COLLATION_NAME,
                IF(IS_NULLABLE = 'YES', ' NULL', ' NOT NULL'),
                IF(COLUMN_DEFAULT IS NULL OR COLUMN_DEFAULT = 'NULL', '',
                   CONCAT(' DEFAULT ', IF(LEFT(COLUMN_DEFAULT, 1) = '''', COLUMN_DEFAULT, QUOTE(COLUMN_DEFAULT)))),
                IF(COLUMN_COMMENT = '', '', CONCAT(' COMMENT ', QUOTE(COLUMN_COMMENT))))
  FROM information_schema.COLUMNS
  WHERE TABLE_SCHEMA = 'torvakdb_TORVAKdata' AND TABLE_NAME = 'LOGINconsultant'
    AND COLUMN_NAME = 'LOGINnaam' AND DATA_TYPE IN ('varchar', 'char')
    AND CHARACTER_MAXIMUM_LENGTH < 300
    AND @dl_blocked IS NULL);
SET @dl_change = COALESCE(@dl_change, 'DO 0');
PREPARE dl_stmt FROM @dl_change;
EXECUTE dl_stmt;
DEALLOCATE PREPARE dl_stmt;
SELECT CONCAT('LOGINconsultant.LOGINnaam blijft ', CHARACTER_MAXIMUM_LENGTH, ' tekens breed: de index ', @dl_blocked,
              ' zou te lang worden voor de server.') AS melding
  FROM information_schema.COLUMNS
  WHERE TABLE_SCHEMA = 'torvakdb_TORVAKdata' AND TABLE_NAME = 'LOGINconsultant'
    AND COLUMN_NAME = 'LOGINnaam' AND DATA_TYPE IN ('varchar', 'char')
    AND CHARACTER_MAXIMUM_LENGTH < 300
    AND @dl_blocked IS NOT NULL;

-- ---------------------------------------------------------------------
-- Room for a password stored as an Argon2id hash (about 100 characters).
-- ---------------------------------------------------------------------
-- An index of the office's that holds the whole of `PASWOORD` and would
-- grow past what the server allows keeps the column as it is.
SET @dl_blocked = (
  SELECT GROUP_CONCAT(x.INDEX_NAME)
  FROM (SELECT p.INDEX_NAME,
               SUM(IF(p.COLUMN_NAME = 'PASWOORD' AND p.SUB_PART IS NULL, 255 * s.MAXLEN,
                      COALESCE(p.SUB_PART * COALESCE(s.MAXLEN, 1), c.CHARACTER_OCTET_LENGTH,
                               ELT(FIELD(c.DATA_TYPE, 'tinyint', 'smallint', 'int', 'bigint'), 1, 2, 4, 8),
                               32))) AS bytes,
               MAX(IF(p.COLUMN_NAME = 'PASWOORD' AND p.SUB_PART IS NULL, 255 * s.MAXLEN, 0)) AS widened
        FROM information_schema.STATISTICS p
        JOIN information_schema.COLUMNS c
          ON c.TABLE_SCHEMA = p.TABLE_SCHEMA AND c.TABLE_NAME = p.TABLE_NAME AND c.COLUMN_NAME = p.COLUMN_NAME
        LEFT JOIN information_schema.CHARACTER_SETS s ON s.CHARACTER_SET_NAME = c.CHARACTER_SET_NAME
        WHERE p.TABLE_SCHEMA = 'torvakdb_TORVAKdata' AND p.TABLE_NAME = 'KALMIRO_consultants'
          AND p.INDEX_TYPE NOT IN ('FULLTEXT', 'SPATIAL')
        GROUP BY p.INDEX_NAME) x
  JOIN information_schema.TABLES t ON t.TABLE_SCHEMA = 'torvakdb_TORVAKdata' AND t.TABLE_NAME = 'KALMIRO_consultants'
  WHERE x.widened > 0
    AND (x.bytes > IF(t.ENGINE = 'InnoDB', LEAST(3072, @@innodb_page_size * 3 DIV 16), 1000)
         OR (t.ENGINE = 'InnoDB' AND t.ROW_FORMAT IN ('Compact', 'Redundant') AND x.widened > 767)));
SET @dl_change = (
  SELECT CONCAT('ALTER TABLE `', TABLE_SCHEMA, '`.`', TABLE_NAME, '` MODIFY `', COLUMN_NAME,
                '` VARCHAR(255) CHARACTER SET ', CHARACTER_SET_NAME, ' COLLATE ', COLLATION_NAME,
                IF(IS_NULLABLE = 'YES', ' NULL', ' NOT NULL'),
                IF(COLUMN_DEFAULT IS NULL OR COLUMN_DEFAULT = 'NULL', '',
                   CONCAT(' DEFAULT ', IF(LEFT(COLUMN_DEFAULT, 1) = '''', COLUMN_DEFAULT, QUOTE(COLUMN_DEFAULT)))),
                IF(COLUMN_COMMENT = '', '', CONCAT(' COMMENT ', QUOTE(COLUMN_COMMENT))))
  FROM information_schema.COLUMNS
  WHERE TABLE_SCHEMA = 'torvakdb_TORVAKdata' AND TABLE_NAME = 'KALMIRO_consultants'
    AND COLUMN_NAME = 'PASWOORD' AND DATA_TYPE IN ('varchar', 'char')
    AND CHARACTER_MAXIMUM_LENGTH < 255
    AND @dl_blocked IS NULL);
SET @dl_change = COALESCE(@dl_change, 'DO 0');
PREPARE dl_stmt FROM @dl_change;
EXECUTE dl_stmt;
DEALLOCATE PREPARE dl_stmt;
SELECT CONCAT('KALMIRO_consultants.PASWOORD blijft ', CHARACTER_MAXIMUM_LENGTH, ' tekens breed: de index ', @dl_blocked,
              ' zou te lang worden voor de server.') AS melding
  FROM information_schema.COLUMNS
  WHERE TABLE_SCHEMA = 'torvakdb_TORVAKdata' AND TABLE_NAME = 'KALMIRO_consultants'
    AND COLUMN_NAME = 'PASWOORD' AND DATA_TYPE IN ('varchar', 'char')
    AND CHARACTER_MAXIMUM_LENGTH < 255
    AND @dl_blocked IS NOT NULL;
SET @dl_change = NULL, @dl_blocked = NULL;

-- ---------------------------------------------------------------------
-- The look-up of the last earlier declaration of a consultant, client and
-- project, made before a month is declared. Without the index the answer
-- is the same, only slower. MySQL 8 has no CREATE INDEX IF NOT EXISTS.
-- An office's own `Declaraties` may have wide or TEXT columns, which the
-- server refuses to index whole: a column gets a prefix when it is longer
-- than its quarter of the key (InnoDB 3072 bytes, less on smaller pages;
-- MyISAM and Aria 1000) or than a column of a COMPACT or REDUNDANT row may
-- be (767). A prefix of 192 characters still finds the few rows to read.
-- ---------------------------------------------------------------------
SET @dl_part = (
  SELECT FLOOR(LEAST(IF(ENGINE = 'InnoDB', LEAST(3072, @@innodb_page_size * 3 DIV 16), 1000) / 4,
                     IF(ENGINE = 'InnoDB' AND ROW_FORMAT IN ('Compact', 'Redundant'), 767, 3072)))
  FROM information_schema.TABLES
  WHERE TABLE_SCHEMA = 'torvakdb_TORVAKdeclaraties' AND TABLE_NAME = 'Declaraties');
-- Prefixes count characters (bytes in binary columns); numbers and dates
-- take none. A missing column or table is left for the server to name.
SET @dl_index = (
  SELECT CONCAT('CREATE INDEX `ix_consultant_opdrachtgever_jaar_maand` ON `torvakdb_TORVAKdeclaraties`.`Declaraties` (',
                IF(COUNT(*) = 4,
                   GROUP_CONCAT(CONCAT('`', c.COLUMN_NAME, '`',
                                       IF(c.DATA_TYPE IN ('tinytext', 'text', 'mediumtext', 'longtext',
                                                          'tinyblob', 'blob', 'mediumblob', 'longblob')
                                            OR (c.DATA_TYPE IN ('char', 'varchar', 'binary', 'varbinary')
                                                AND c.CHARACTER_OCTET_LENGTH > @dl_part),
                                          CONCAT('(', FLOOR(LEAST(@dl_part, c.CHARACTER_OCTET_LENGTH) / COALESCE(s.MAXLEN, 1)), ')'),
                                          ''))
                                ORDER BY FIELD(c.COLUMN_NAME, 'consultant', 'Opdrachtgever', 'Jaar', 'maand')
                                SEPARATOR ', '),
                   '`consultant`, `Opdrachtgever`, `Jaar`, `maand`'),
                ')')
  FROM information_schema.COLUMNS c
  LEFT JOIN information_schema.CHARACTER_SETS s ON s.CHARACTER_SET_NAME = c.CHARACTER_SET_NAME
  WHERE c.TABLE_SCHEMA = 'torvakdb_TORVAKdeclaraties' AND c.TABLE_NAME = 'Declaraties'
    AND c.COLUMN_NAME IN ('consultant', 'Opdrachtgever', 'Jaar', 'maand'));
SET @dl_index = (
  SELECT IF(COUNT(*) = 0, @dl_index, 'DO 0')
  FROM information_schema.STATISTICS
  WHERE TABLE_SCHEMA = 'torvakdb_TORVAKdeclaraties' AND TABLE_NAME = 'Declaraties'
    AND INDEX_NAME = 'ix_consultant_opdrachtgever_jaar_maand');
PREPARE dl_stmt FROM @dl_index;
EXECUTE dl_stmt;
DEALLOCATE PREPARE dl_stmt;
SET @dl_index = NULL, @dl_part = NULL;
