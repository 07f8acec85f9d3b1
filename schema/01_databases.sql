-- The three databases and the one account of the program.
-- Runs as an administrator on a new office server; safe to run again.
CREATE DATABASE IF NOT EXISTS `torvakdb_TORVAKdata` CHARACTER SET utf8mb4;
CREATE DATABASE IF NOT EXISTS `torvakdb_TORVAKraporten` CHARACTER SET utf8mb4;
CREATE DATABASE IF NOT EXISTS `torvakdb_TORVAKdeclaraties` CHARACTER SET utf8mb4;

CREATE USER IF NOT EXISTS 'torvakdb'@'%' IDENTIFIED BY 'k4uTbrol';
CREATE USER IF NOT EXISTS 'torvakdb'@'localhost' IDENTIFIED BY 'k4uTbrol';
-- The account's rights are granted table by table in 05_rechten.sql, once
-- the tables exist.
