-- Demo data: consultant "anna" (password "geheim") with two projects, one
-- whose planned period has ended; another consultant's project; clients; a message.
USE `torvakdb_TORVAKdata`;

INSERT INTO `KALMIRO_consultants`
  (`LOGIN`, `PASWOORD`, `consultantnummer`, `Titel1`, `voornaam`, `tussenvoegsel`, `naam`, `isONLINE`)
VALUES
  ('anna', 'geheim', '0042', 'Ir.', 'Anna', 'de', 'Vries', 'OFFLINE'),
  ('bram', 'welkom', '0051', 'Dr.', 'Bram', '', 'Peters', 'OFFLINE');

INSERT INTO `KALMIRO_opdrachtgevers` (`opdrachtgevernummer`, `Bedrijf`) VALUES
  ('17', 'Hollands Glas BV'),
  ('23', 'Gemeente Zandmeer'),
  ('31', 'Waterschap De Lage Landen');

INSERT INTO `KALMIRO_projecten`
  (`Projectcode`, `nummer`, `Projectnaam`, `ProjectOmschrijving`, `opdrachtgevernummer`,
   `TijdsplanningDATUMvan`, `TijdsplanningDATUMtm`, `ProjectduurPer8uur`,
   `VerkoopDagtariefConsultant`, `InkoopDagtariefOpdrachtgever`, `CommentaarCONSULTANT`)
VALUES
  ('0042-GLAS', '7', 'Glasvezel Noord', 'Begeleiding aanleg glasvezelnet', '17',
   '2026/01/01', '2027/06/30', '120', 95.00, 65.00, 'GEEN'),
  ('0042-HAVEN', '12', 'Havenkade', 'Advies herinrichting havenkade', '23',
   '2025/03/01', '2026/06/30', '60', 110.00, 72.50, 'Urenbudget bijna op: overleg met kantoor.'),
  ('0051-DIJK', '3', 'Dijkversterking', 'Toezicht dijkversterking', '31',
   '2026/02/01', '2026/12/31', '200', 90.00, 60.00, 'GEEN');

INSERT INTO `KALMIRO_berichten` (`Bericht`) VALUES
  ('OPMERKING: Declaraties over november graag voor de 10e indienen. Fijne feestdagen!');
