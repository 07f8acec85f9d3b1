-- The demo's consultants as accounts of their own, on a server set up by
-- new_office.sql and loaded with demo.sql: anna / geheim and bram / welkom,
-- not expired, so that the demo opens at once. Never for a real office:
-- these passwords are in this file. Safe to run again.
SET SESSION sql_mode = 'STRICT_TRANS_TABLES,ERROR_FOR_DIVISION_BY_ZERO,NO_AUTO_CREATE_USER,NO_ENGINE_SUBSTITUTION';
CALL `torvakdb_TORVAKbeheer`.`toegang_geven`('anna', 'geheim', FALSE);
CALL `torvakdb_TORVAKbeheer`.`toegang_geven`('bram', 'welkom', FALSE);
-- The table's passwords open nothing after the switch; none is kept there.
UPDATE `torvakdb_TORVAKdata`.`KALMIRO_consultants` SET `PASWOORD` = '' WHERE `LOGIN` IN ('anna', 'bram');
