-- A new office: the tables, and accounts of their own for the consultants
-- from the start. The program's shared account is made with no right and
-- locked (the program learns from the lock that the office uses accounts
-- of their own; 05_rechten.sql is not for such a server); consultants
-- come with the office's commands (consultant_toevoegen, docs/OFFICE.md).
-- Needs TLS on the server and the ed25519 plugin (upgrade_accounts.sql
-- checks both before it changes anything). Runs as an administrator, in
-- this folder (it reads the files beside it and eigen/):
--   cd /usr/share/declaraties/schema && sudo mariadb < new_office.sql
-- Safe to run again. MariaDB only (SOURCE and the compound statements);
-- MySQL 8 is not a server for accounts of their own here.
SOURCE 01_databases.sql;
SOURCE 02_data.sql;
SOURCE 03_raporten.sql;
SOURCE 04_declaraties.sql;
SOURCE upgrade_accounts.sql;
SOURCE switch_shared_account.sql;
