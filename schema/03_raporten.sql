-- Reports database: one row per project and month.
USE `torvakdb_TORVAKraporten`;

CREATE TABLE IF NOT EXISTS `Raporten` (
  `id` BIGINT UNSIGNED NOT NULL AUTO_INCREMENT PRIMARY KEY,
  `Projectnaam` VARCHAR(191) NULL,
  `afgewerkt` VARCHAR(8) NULL,
  `bestandsnaam` TEXT NULL,
  `Opdrachtgever` TEXT NULL,
  `omschrijving` TEXT NULL,
  `aangemaakt` VARCHAR(100) NULL,
  `laatstgewijzigd` VARCHAR(100) NULL,
  `datum01` TEXT NULL, `Activiteit01` TEXT NULL, `Contact01` TEXT NULL, `Uren01` TEXT NULL, `Kilometers01` TEXT NULL,
  `datum02` TEXT NULL, `Activiteit02` TEXT NULL, `Contact02` TEXT NULL, `Uren02` TEXT NULL, `Kilometers02` TEXT NULL,
  `datum03` TEXT NULL, `Activiteit03` TEXT NULL, `Contact03` TEXT NULL, `Uren03` TEXT NULL, `Kilometers03` TEXT NULL,
  `datum04` TEXT NULL, `Activiteit04` TEXT NULL, `Contact04` TEXT NULL, `Uren04` TEXT NULL, `Kilometers04` TEXT NULL,
  `datum05` TEXT NULL, `Activiteit05` TEXT NULL, `Contact05` TEXT NULL, `Uren05` TEXT NULL, `Kilometers05` TEXT NULL,
  `datum06` TEXT NULL, `Activiteit06` TEXT NULL, `Contact06` TEXT NULL, `Uren06` TEXT NULL, `Kilometers06` TEXT NULL,
  `datum07` TEXT NULL, `Activiteit07` TEXT NULL, `Contact07` TEXT NULL, `Uren07` TEXT NULL, `Kilometers07` TEXT NULL,
  `datum08` TEXT NULL, `Activiteit08` TEXT NULL, `Contact08` TEXT NULL, `Uren08` TEXT NULL, `Kilometers08` TEXT NULL,
  `datum09` TEXT NULL, `Activiteit09` TEXT NULL, `Contact09` TEXT NULL, `Uren09` TEXT NULL, `Kilometers09` TEXT NULL,
  `datum10` TEXT NULL, `Activiteit10` TEXT NULL, `Contact10` TEXT NULL, `Uren10` TEXT NULL, `Kilometers10` TEXT NULL,
  `datum11` TEXT NULL, `Activiteit11` TEXT NULL, `Contact11` TEXT NULL, `Uren11` TEXT NULL, `Kilometers11` TEXT NULL,
  `datum12` TEXT NULL, `Activiteit12` TEXT NULL, `Contact12` TEXT NULL, `Uren12` TEXT NULL, `Kilometers12` TEXT NULL,
  `datum13` TEXT NULL, `Activiteit13` TEXT NULL, `Contact13` TEXT NULL, `Uren13` TEXT NULL, `Kilometers13` TEXT NULL,
  `datum14` TEXT NULL, `Activiteit14` TEXT NULL, `Contact14` TEXT NULL, `Uren14` TEXT NULL, `Kilometers14` TEXT NULL,
  `datum15` TEXT NULL, `Activiteit15` TEXT NULL, `Contact15` TEXT NULL, `Uren15` TEXT NULL, `Kilometers15` TEXT NULL,
  `datum16` TEXT NULL, `Activiteit16` TEXT NULL, `Contact16` TEXT NULL, `Uren16` TEXT NULL, `Kilometers16` TEXT NULL,
  `datum17` TEXT NULL, `Activiteit17` TEXT NULL, `Contact17` TEXT NULL, `Uren17` TEXT NULL, `Kilometers17` TEXT NULL,
  `datum18` TEXT NULL, `Activiteit18` TEXT NULL, `Contact18` TEXT NULL, `Uren18` TEXT NULL, `Kilometers18` TEXT NULL,
  `datum19` TEXT NULL, `Activiteit19` TEXT NULL, `Contact19` TEXT NULL, `Uren19` TEXT NULL, `Kilometers19` TEXT NULL,
  `datum20` TEXT NULL, `Activiteit20` TEXT NULL, `Contact20` TEXT NULL, `Uren20` TEXT NULL, `Kilometers20` TEXT NULL,
  `datum21` TEXT NULL, `Activiteit21` TEXT NULL, `Contact21` TEXT NULL, `Uren21` TEXT NULL, `Kilometers21` TEXT NULL,
  `datum22` TEXT NULL, `Activiteit22` TEXT NULL, `Contact22` TEXT NULL, `Uren22` TEXT NULL, `Kilometers22` TEXT NULL,
  `datum23` TEXT NULL, `Activiteit23` TEXT NULL, `Contact23` TEXT NULL, `Uren23` TEXT NULL, `Kilometers23` TEXT NULL,
  `datum24` TEXT NULL, `Activiteit24` TEXT NULL, `Contact24` TEXT NULL, `Uren24` TEXT NULL, `Kilometers24` TEXT NULL,
  `datum25` TEXT NULL, `Activiteit25` TEXT NULL, `Contact25` TEXT NULL, `Uren25` TEXT NULL, `Kilometers25` TEXT NULL,
  `datum26` TEXT NULL, `Activiteit26` TEXT NULL, `Contact26` TEXT NULL, `Uren26` TEXT NULL, `Kilometers26` TEXT NULL,
  `datum27` TEXT NULL, `Activiteit27` TEXT NULL, `Contact27` TEXT NULL, `Uren27` TEXT NULL, `Kilometers27` TEXT NULL,
  `datum28` TEXT NULL, `Activiteit28` TEXT NULL, `Contact28` TEXT NULL, `Uren28` TEXT NULL, `Kilometers28` TEXT NULL,
  `datum29` TEXT NULL, `Activiteit29` TEXT NULL, `Contact29` TEXT NULL, `Uren29` TEXT NULL, `Kilometers29` TEXT NULL,
  `datum30` TEXT NULL, `Activiteit30` TEXT NULL, `Contact30` TEXT NULL, `Uren30` TEXT NULL, `Kilometers30` TEXT NULL,
  `datum31` TEXT NULL, `Activiteit31` TEXT NULL, `Contact31` TEXT NULL, `Uren31` TEXT NULL, `Kilometers31` TEXT NULL,
  `onkosten` TEXT NULL,
  `euro` VARCHAR(32) NULL,
  `cent` VARCHAR(32) NULL,
  KEY `ix_projectnaam` (`Projectnaam`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 ROW_FORMAT=DYNAMIC;

-- One row per thing only one workstation may do at a time: "raport:" and a
-- report key, "factuur:" and an invoice number. A save or a declaration
-- writes its rows first in its transaction (a new row, or `teller` + 1 on
-- the row that is there: a write that changes nothing would not reach the
-- other nodes of a cluster). A second workstation then waits for the first
-- on one server under any isolation level, and on a cluster one of the two
-- fails at commit and tries again.
CREATE TABLE IF NOT EXISTS `Sloten` (
  `sleutel` VARBINARY(255) NOT NULL PRIMARY KEY,
  `teller` BIGINT UNSIGNED NOT NULL DEFAULT 0
) ENGINE=InnoDB;
