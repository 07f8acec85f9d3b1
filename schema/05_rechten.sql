-- The rights of the program's account: exactly what its statements need,
-- so that no workstation, whose copy of the program carries the password,
-- can delete, drop or rewrite what it has no business with.
-- Runs as an administrator after the tables exist; safe to run again: it
-- takes every right away first, so an account that had more is narrowed.
REVOKE ALL PRIVILEGES, GRANT OPTION FROM 'torvakdb'@'%', 'torvakdb'@'localhost';

-- Reading, and the row locks of SELECT ... FOR UPDATE (MySQL 8 asks
-- LOCK TABLES or UPDATE on the table for those). "_" is a wildcard in a
-- database-level grant, hence the escapes.
GRANT SELECT, LOCK TABLES ON `torvakdb\_TORVAKdata`.* TO 'torvakdb'@'%', 'torvakdb'@'localhost';
GRANT SELECT ON `torvakdb\_TORVAKraporten`.* TO 'torvakdb'@'%', 'torvakdb'@'localhost';
GRANT SELECT, LOCK TABLES ON `torvakdb\_TORVAKdeclaraties`.* TO 'torvakdb'@'%', 'torvakdb'@'localhost';

-- Writing: a login record; the online flags of a consultant, never the
-- password; reports and their lock rows; new declarations.
GRANT INSERT ON `torvakdb_TORVAKdata`.`LOGINconsultant` TO 'torvakdb'@'%', 'torvakdb'@'localhost';
GRANT UPDATE (`isAANGEMELD`, `isONLINE`, `isAFGEMELD`) ON `torvakdb_TORVAKdata`.`KALMIRO_consultants`
  TO 'torvakdb'@'%', 'torvakdb'@'localhost';
GRANT INSERT, UPDATE ON `torvakdb_TORVAKraporten`.`Raporten` TO 'torvakdb'@'%', 'torvakdb'@'localhost';
GRANT INSERT, UPDATE ON `torvakdb_TORVAKraporten`.`Sloten` TO 'torvakdb'@'%', 'torvakdb'@'localhost';
GRANT INSERT ON `torvakdb_TORVAKdeclaraties`.`Declaraties` TO 'torvakdb'@'%', 'torvakdb'@'localhost';
FLUSH PRIVILEGES;
