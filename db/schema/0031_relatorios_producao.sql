-- The production report reads the steps moved in a period (those completed in one use the completion index).
CREATE INDEX IDX_PROCESSO_TIN_DATA ON PROCESSO_TIN (DATA);
