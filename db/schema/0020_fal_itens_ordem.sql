-- A lot sheet's items are addressed by their order within the sheet: one number per item. Rows of older
-- databases without a number, or repeating one, take the next numbers of their sheet, in the order they were
-- read in; the rows already numbered once keep theirs, and so do the steps laid out from them.
SET TERM ^ ;
EXECUTE BLOCK AS
  DECLARE CHAVE CHAR(8) CHARACTER SET OCTETS;
  DECLARE NUMERO VARCHAR(7);
BEGIN
  FOR SELECT I.RDB$DB_KEY, I.FAL FROM FAL_ITEN I
      WHERE I.ORD_IT IS NULL OR EXISTS (SELECT 1 FROM FAL_ITEN J WHERE J.FAL = I.FAL AND J.ORD_IT = I.ORD_IT
                                        AND J.RDB$DB_KEY < I.RDB$DB_KEY)
      ORDER BY I.FAL, I.ORD_IT NULLS FIRST, I.RDB$DB_KEY
      INTO :CHAVE, :NUMERO DO
    UPDATE FAL_ITEN SET ORD_IT = (SELECT COALESCE(MAX(ORD_IT), 0) + 1 FROM FAL_ITEN WHERE FAL = :NUMERO)
      WHERE RDB$DB_KEY = :CHAVE;
END^
SET TERM ; ^

ALTER TABLE FAL_ITEN ALTER ORD_IT SET NOT NULL;
ALTER TABLE FAL_ITEN ADD CONSTRAINT UQ_FAL_ITEN_ORD_IT UNIQUE (FAL, ORD_IT);
