-- Dyeing machines with their capacity rows, and process routes.

-- TIPO: '1' dyeing, '2' finishing, '3' manual. TON: '1' all shades, '2' light, '3' medium, '4' dark.
-- FASE is the phase the machine performs; reports reach a lot's machines through it.
CREATE TABLE MAQ_TIN (
  CODIGO VARCHAR(3) NOT NULL,
  DESCRICAO VARCHAR(50),
  RELAC_BANHO VARCHAR(4),
  FASE VARCHAR(3),
  TIPO VARCHAR(2),
  TON VARCHAR(1),
  PESO_MIN DOUBLE PRECISION,
  PESO_MAX DOUBLE PRECISION,
  VOLUME_MIN DOUBLE PRECISION,
  VOLUME_MAX DOUBLE PRECISION,
  ARREDONDA INTEGER,
  VALOR NUMERIC(18,2),
  MES_DEPREC INTEGER,
  DEPREC_MENSAL NUMERIC(18,2),
  CONSTRAINT PK_MAQ_TIN PRIMARY KEY (CODIGO)
);
CREATE INDEX IDX_MAQ_TIN_FASE ON MAQ_TIN (FASE);
CREATE INDEX IDX_MAQ_TIN_TIPO ON MAQ_TIN (TIPO);

-- Which variants, widths and lot weights a machine takes, and with which bath. Rows are inserted without a
-- column list, so the column order is part of the format. Bounds are inclusive; double precision keeps a
-- typed bound equal to the same number passed in by the programme.
CREATE TABLE MAQ_TIN_CAP (
  SEQUENCIA INTEGER NOT NULL,
  MAQUINA VARCHAR(3) NOT NULL,
  VARIANTE VARCHAR(4) NOT NULL,
  LARG_DE DOUBLE PRECISION,
  LARG_ATE DOUBLE PRECISION,
  PESO_MIN DOUBLE PRECISION,
  PESO_MAX DOUBLE PRECISION,
  RELAC_BANHO VARCHAR(4),
  CONSTRAINT PK_MAQ_TIN_CAP PRIMARY KEY (MAQUINA, SEQUENCIA)
);
CREATE INDEX IDX_MAQ_TIN_CAP_VARIANTE ON MAQ_TIN_CAP (MAQUINA, VARIANTE);

-- One row per step of a route; every step repeats the route's description. Two steps may share an ORDEM.
CREATE TABLE ROTEIRO (
  CODIGO VARCHAR(6) NOT NULL,
  DESCRICAO VARCHAR(50),
  ORDEM INTEGER NOT NULL,
  DIAS INTEGER,
  FASE VARCHAR(3)
);
CREATE INDEX IDX_ROTEIRO_CODIGO ON ROTEIRO (CODIGO, ORDEM);
CREATE INDEX IDX_ROTEIRO_FASE ON ROTEIRO (FASE);
