-- Each employee's day of dye lots, rewritten whole on every save of the sheet; and the dyeing orders the
-- dye-house writes back for an in-house customer (its knitting side), in the enterprise's order tables.

-- NUMERO is the kind of work (OPERACAO), OPERACAO the machine (MAQ_TIN). Times are text "HH:MM:SS";
-- SEQUENCIA the row's place on the sheet. The columns after OBSERVACAO are kept by the finishing side.
CREATE TABLE PRODUCAO1 (
  PARTIDA VARCHAR(7),
  NUMERO VARCHAR(3),
  FUNCIONARIO VARCHAR(5) NOT NULL,
  DATA_EMI DATE NOT NULL,
  HORA_INI VARCHAR(8),
  HORA_FIM VARCHAR(8),
  CODCLI VARCHAR(5),
  PRODUTO VARCHAR(15),
  OPERACAO VARCHAR(3),
  QTDE DOUBLE PRECISION,
  PCINI INTEGER,
  SEQUENCIA VARCHAR(3),
  OBSERVACAO VARCHAR(100),
  LARGURA DOUBLE PRECISION,
  MATERIAL VARCHAR(15),
  TAM VARCHAR(5),
  PCFIM INTEGER,
  DEFEITOS INTEGER,
  MINUTOS DOUBLE PRECISION,
  COMPRIMENTO DOUBLE PRECISION
);
-- Descending: the stored sheets are listed newest first, walking the index.
CREATE DESCENDING INDEX IDX_PRODUCAO1_DATA_FUNC ON PRODUCAO1 (DATA_EMI, FUNCIONARIO);
CREATE INDEX IDX_PRODUCAO1_PARTIDA ON PRODUCAO1 (PARTIDA);

-- The sheet's customer and fabric look-ups narrow to a lot's programme rows.
CREATE INDEX IDX_TNG_PROG_PARTIDA ON TNG_PROG (PARTIDA);

-- A dyeing order under the programme's number. TINTURARIA is the entity that dyes (for the sending unit:
-- the programme's customer), TIPO 'T' an order written from a programme.
CREATE TABLE TINTUR (
  DATR DATE,
  DATS DATE,
  NUMERO VARCHAR(6) NOT NULL,
  PERIODO VARCHAR(4),
  TINTURARIA VARCHAR(5),
  TIPO VARCHAR(1),
  CONSTRAINT PK_TINTUR PRIMARY KEY (NUMERO)
);

-- An order's lines: CODIGO the sending unit's undyed fabric ('A DEFINIR' when unknown), CODIGO2 its
-- product, COR its colour and CORT ours, FICHA our lot sheet, ORDEM the programme item it came from.
-- CUSTO is the colour's cost per kilogram, PRECO the fabric's, CUSTO_FLUXO the flow's. SITUACAO 'A' open.
CREATE TABLE TINTUR_ITEN (
  CODIGO VARCHAR(15),
  COR VARCHAR(6),
  FICHA VARCHAR(7),
  FLUXO VARCHAR(3),
  GRAMATURA VARCHAR(3),
  LARGURA DOUBLE PRECISION,
  NUMERO VARCHAR(6) NOT NULL,
  PESO_BRUTO DOUBLE PRECISION,
  PESO_LIQUIDO DOUBLE PRECISION,
  PESO_RETORNO DOUBLE PRECISION,
  ROLOS INTEGER,
  SITUACAO VARCHAR(1),
  CORT VARCHAR(10),
  CUSTO NUMERIC(18,4),
  DEPOSITO VARCHAR(6),
  PECAS INTEGER,
  PRECO NUMERIC(18,4),
  LOTE VARCHAR(15),
  CODIGO2 VARCHAR(15),
  ORDEM INTEGER,
  PESO_BAIXADO DOUBLE PRECISION,
  OBS VARCHAR(150),
  CUSTO_FLUXO NUMERIC(18,4)
);
CREATE INDEX IDX_TINTUR_ITEN_LINHA ON TINTUR_ITEN (NUMERO, FICHA, CODIGO2);
