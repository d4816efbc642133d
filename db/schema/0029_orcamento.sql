-- Finishing quotations: a customer's colours and variants priced from recipe, curve and cost parameters,
-- the services along their routes, and the price parameters kept per customer or price region.

-- SITUACAO: '0' pending, '1' confirmed, '2' discarded.
CREATE TABLE ORCAMENTO (
  NUMERO VARCHAR(6) NOT NULL,
  CODCLI VARCHAR(5),
  OBS VARCHAR(250),
  SITUACAO VARCHAR(1) DEFAULT '0',
  DATA DATE,
  TIPO VARCHAR(1),
  CONSTRAINT PK_ORCAMENTO PRIMARY KEY (NUMERO)
);
CREATE INDEX IDX_ORCAMENTO_CODCLI ON ORCAMENTO (CODCLI);
CREATE INDEX IDX_ORCAMENTO_DATA ON ORCAMENTO (DATA);

-- Items renumbered 1..n on every save. INDICE is the margin the price left, CUSTO_TING the dyeing time's
-- cost per kilogram, PEDIDO 'S' once the price went to the price table.
CREATE TABLE ORCA_ITEN (
  NUMERO VARCHAR(6) NOT NULL,
  ORDEM INTEGER NOT NULL,
  COR VARCHAR(10),
  VARIANTE VARCHAR(4),
  SERVICO VARCHAR(6),
  INDICE NUMERIC(18,4),
  CUSTO_QUIM NUMERIC(18,4),
  CUSTO_TING NUMERIC(18,4),
  FIXO NUMERIC(18,4),
  PEDIDO VARCHAR(1) DEFAULT 'N',
  PRECO NUMERIC(18,2),
  CONSTRAINT PK_ORCA_ITEN PRIMARY KEY (NUMERO, ORDEM)
);
CREATE INDEX IDX_ORCA_ITEN_COR ON ORCA_ITEN (COR, VARIANTE);

-- The quotation's services: DEPOSITO holds the service's phase.
CREATE TABLE ORCA_FLUXO (
  NUMERO VARCHAR(6) NOT NULL,
  DEPOSITO VARCHAR(3)
);
CREATE INDEX IDX_ORCA_FLUXO_NUMERO ON ORCA_FLUXO (NUMERO);

-- Cost parameters under a customer's code (quotations) or a price region's (colour cost report).
-- Percentages: COFINS, ICMS, IRPJ, CONTR_SOCIAL, FINANCEIRO, COMISAO, PERDA (reprocess loss), MARGEM.
-- Per kilogram: FRETE, INDICE_N (packing), FIXO. CUSTO_MIN is one minute of dyeing, VOLUME the kilograms
-- of a standard batch it is shared by.
CREATE TABLE PRECO_PARAM (
  CODIGO VARCHAR(5) NOT NULL,
  COFINS NUMERIC(18,4),
  ICMS NUMERIC(18,4),
  IRPJ NUMERIC(18,4),
  CONTR_SOCIAL NUMERIC(18,4),
  FINANCEIRO NUMERIC(18,4),
  COMISAO NUMERIC(18,4),
  PERDA NUMERIC(18,4),
  MARGEM NUMERIC(18,4),
  FRETE NUMERIC(18,4),
  INDICE_N NUMERIC(18,4),
  FIXO NUMERIC(18,4),
  CUSTO_MIN NUMERIC(18,4),
  VOLUME NUMERIC(18,4),
  MARKTING NUMERIC(18,4),
  CONSTRAINT PK_PRECO_PARAM PRIMARY KEY (CODIGO)
);
