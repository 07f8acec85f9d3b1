-- Data database: consultants, login records, projects, clients, messages.
USE `torvakdb_TORVAKdata`;

CREATE TABLE IF NOT EXISTS `KALMIRO_consultants` (
  `id` INT UNSIGNED NOT NULL AUTO_INCREMENT PRIMARY KEY,
  `LOGIN` VARCHAR(64) NULL,
  `PASWOORD` VARCHAR(255) NULL,
  `consultantnummer` VARCHAR(16) NULL,
  `Titel1` VARCHAR(64) NULL,
  `voornaam` VARCHAR(100) NULL,
  `tussenvoegsel` VARCHAR(32) NULL,
  `naam` VARCHAR(100) NULL,
  `isAANGEMELD` VARCHAR(32) NULL,
  `isONLINE` VARCHAR(16) NULL,
  `isAFGEMELD` VARCHAR(32) NULL,
  KEY `ix_login` (`LOGIN`),
  KEY `ix_consultantnummer` (`consultantnummer`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS `LOGINconsultant` (
  `id` BIGINT UNSIGNED NOT NULL AUTO_INCREMENT PRIMARY KEY,
  `DATUMTIJD` VARCHAR(64) NULL,
  `PCnaam` VARCHAR(255) NULL,
  `LOGINnaam` VARCHAR(300) NULL,
  `NETWERKkaart` VARCHAR(255) NULL,
  `NETWERKadres` VARCHAR(64) NULL,
  `MBmerk` VARCHAR(255) NULL,
  `MBtype` VARCHAR(255) NULL,
  `Afdrukapparaat` VARCHAR(255) NULL
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS `KALMIRO_projecten` (
  `id` INT UNSIGNED NOT NULL AUTO_INCREMENT PRIMARY KEY,
  `Projectcode` VARCHAR(64) NULL,
  `nummer` VARCHAR(16) NULL,
  `Projectnaam` VARCHAR(255) NULL,
  `ProjectOmschrijving` VARCHAR(255) NULL,
  `opdrachtgevernummer` VARCHAR(16) NULL,
  `TijdsplanningDATUMvan` VARCHAR(10) NULL,
  `TijdsplanningDATUMtm` VARCHAR(10) NULL,
  `ProjectduurPer8uur` VARCHAR(32) NULL,
  `VerkoopDagtariefConsultant` DECIMAL(10,2) NULL,
  `InkoopDagtariefOpdrachtgever` DECIMAL(10,2) NULL,
  `CommentaarCONSULTANT` TEXT NULL,
  KEY `ix_projectcode` (`Projectcode`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS `KALMIRO_opdrachtgevers` (
  `id` INT UNSIGNED NOT NULL AUTO_INCREMENT PRIMARY KEY,
  `opdrachtgevernummer` VARCHAR(16) NULL,
  `Bedrijf` VARCHAR(255) NULL,
  KEY `ix_opdrachtgevernummer` (`opdrachtgevernummer`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;

CREATE TABLE IF NOT EXISTS `KALMIRO_berichten` (
  `id` INT UNSIGNED NOT NULL AUTO_INCREMENT PRIMARY KEY,
  `Bericht` TEXT NULL
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;
