-- The application's users on a server connect with this role (KELM_DB_ROLE). Every upgrade grants it
-- reading and writing of each table, the sequences, procedures, functions and exceptions, and no change of
-- structure.
CREATE ROLE KELM_USUARIO;
