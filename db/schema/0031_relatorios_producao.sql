-- The production report reads the steps completed in a period, or moved in one.
CREATE INDEX IDX_PROCESSO_TIN_DATA_FIN ON PROCESSO_TIN (DATA_FIN);
CREATE INDEX IDX_PROCESSO_TIN_DATA ON PROCESSO_TIN (DATA);
