-- The invoice look-up lists the newest first: walking this index its first rows come at once, instead of
-- after sorting every invoice of the years.
CREATE DESCENDING INDEX IDX_NFTIN_RECENTES ON NFTIN (DATA, NOTA, CLIENTE);
