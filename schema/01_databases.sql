-- The three databases and the one account of the program.
-- Runs as an administrator on a new office server; safe to run again.
CREATE DATABASE IF NOT EXISTS `torvakdb_TORVAKdata` CHARACTER SET utf8mb4;
CREATE DATABASE IF NOT EXISTS `torvakdb_TORVAKraporten` CHARACTER SET utf8mb4;
CREATE DATABASE IF NOT EXISTS `torvakdb_TORVAKdeclaraties` CHARACTER SET utf8mb4;

CREATE USER IF NOT EXISTS 'torvakdb'@'%' IDENTIFIED BY 'k4uTbrol';
CREATE USER IF NOT EXISTS 'torvakdb'@'localhost' IDENTIFIED BY 'k4uTbrol';
-- "_" is a wildcard in a GRANT's database name: escaped, so that the
-- account gets exactly these three databases.
GRANT ALL PRIVILEGES ON `torvakdb\_TORVAKdata`.* TO 'torvakdb'@'%';
GRANT ALL PRIVILEGES ON `torvakdb\_TORVAKraporten`.* TO 'torvakdb'@'%';
GRANT ALL PRIVILEGES ON `torvakdb\_TORVAKdeclaraties`.* TO 'torvakdb'@'%';
GRANT ALL PRIVILEGES ON `torvakdb\_TORVAKdata`.* TO 'torvakdb'@'localhost';
GRANT ALL PRIVILEGES ON `torvakdb\_TORVAKraporten`.* TO 'torvakdb'@'localhost';
GRANT ALL PRIVILEGES ON `torvakdb\_TORVAKdeclaraties`.* TO 'torvakdb'@'localhost';
FLUSH PRIVILEGES;
