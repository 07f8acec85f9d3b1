-- Declarations database: one row per declared month.
USE `torvakdb_TORVAKdeclaraties`;

CREATE TABLE IF NOT EXISTS `Declaraties` (
  `id` BIGINT UNSIGNED NOT NULL AUTO_INCREMENT PRIMARY KEY,
  `factuurnummer` VARCHAR(64) NULL,
  `consultant` VARCHAR(16) NULL,
  `Consultantnaam` VARCHAR(300) NULL,
  `Opdrachtgever` VARCHAR(16) NULL,
  `Opdrachtgevernaam` VARCHAR(255) NULL,
  `Jaar` VARCHAR(8) NULL,
  `maand` VARCHAR(8) NULL,
  `DECdatum` VARCHAR(100) NULL,
  `Projectnaam` VARCHAR(255) NULL,
  `uren` VARCHAR(32) NULL,
  `peruurIN` DECIMAL(10,2) NULL,
  `peruurUIT` DECIMAL(10,2) NULL,
  `urentotaal` VARCHAR(32) NULL,
  `kilometers` VARCHAR(32) NULL,
  `perKM` VARCHAR(8) NULL,
  `totaalkostenKM` VARCHAR(32) NULL,
  `onkosten` VARCHAR(32) NULL,
  `kostenomschrijving` VARCHAR(255) NULL,
  `subtotaal` VARCHAR(32) NULL,
  `BTW` VARCHAR(32) NULL,
  `totaal` VARCHAR(32) NULL,
  `opmerking` TEXT NULL,
  `urentotaaluit` VARCHAR(32) NULL,
  `subtotaaluit` VARCHAR(32) NULL,
  `BTWuit` VARCHAR(32) NULL,
  `totaaluit` VARCHAR(32) NULL,
  `IsbetaaldConsultant` VARCHAR(8) NULL,
  `IsbetaaldOpdrachtgever` VARCHAR(8) NULL,
  KEY `ix_factuurnummer` (`factuurnummer`),
  -- The last earlier declaration of a consultant, client and project.
  KEY `ix_consultant_opdrachtgever_jaar_maand` (`consultant`, `Opdrachtgever`, `Jaar`, `maand`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4;
