-- Passwords stored as "pbkdf2-sha256$<iterations>$<salt>$<key>" (salt and key in base64): a random salt per
-- user and a work factor, with room for a larger salt, key or count. Hashes of the earlier form (hex SHA-256
-- of CODIGO || ':' || password) still log in and are stored again in this form at that log-in.
ALTER TABLE ACESSO_USUARIOS ALTER COLUMN SENHA TYPE VARCHAR(200);
