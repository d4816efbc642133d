-- The steps of a dyeing curve, each a hold or a ramp in phase 1 or 2 of the curve; TEMPO_TOTAL is the
-- elapsed time at the step's end, worked out when the curve is confirmed.
CREATE TABLE PASSOS (
  CODIGO_GRA VARCHAR(3) NOT NULL,
  CODIGO VARCHAR(3),
  ORDEM INTEGER,
  DESCRICAO VARCHAR(100),
  TEMPERATURA INTEGER,
  TEMPO INTEGER,
  TEMPO_TOTAL INTEGER,
  FASE VARCHAR(1) DEFAULT '1' NOT NULL
);
CREATE INDEX IDX_PASSOS_GRAFICO ON PASSOS (CODIGO_GRA, FASE, ORDEM);

-- The recorded steps that use a curve, asked before a curve is deleted.
CREATE INDEX IDX_PROCESSO_TIN_GRAFICO ON PROCESSO_TIN (GRAFICO);

-- Quality control of a lot sheet's fabric: what the process recording needs of it (a fabric not approved
-- holds the recording back).
CREATE TABLE CONTR_QUL (
  FAL VARCHAR(7) NOT NULL,
  CODIGO VARCHAR(15) NOT NULL,
  ORDEM INTEGER DEFAULT 1 NOT NULL,
  APROVADO VARCHAR(1),
  CONSTRAINT PK_CONTR_QUL PRIMARY KEY (FAL, CODIGO, ORDEM)
);
