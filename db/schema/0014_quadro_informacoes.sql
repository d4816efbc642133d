-- The information board: the standard technical sheet (one row per field, in code order; DESCRICAO is the
-- field's group, CAMPO the text of what is measured) and each customer's sheet of a product, one row per field.
CREATE TABLE OFPADRAO (
  CODIGO VARCHAR(6) NOT NULL,
  DESCRICAO VARCHAR(40),
  CAMPO VARCHAR(80),
  CONSTRAINT PK_OFPADRAO PRIMARY KEY (CODIGO)
);

-- CODIGO the product, NUMERO the customer, MOV the standard field's code, DESCRICAO its group, CAMPO the text
-- of what is measured, DESCRICAO2 the result asked for, DESCRICAO3 the remark; OBS the sheet's free remark
-- (the same on every row), TIPO '1', DATA the day it was saved.
CREATE TABLE OF2 (
  CODIGO VARCHAR(15) NOT NULL,
  NUMERO VARCHAR(5) NOT NULL,
  CAMPO VARCHAR(80),
  MOV VARCHAR(6),
  DESCRICAO VARCHAR(40),
  DESCRICAO2 VARCHAR(100),
  DESCRICAO3 VARCHAR(200),
  OBS VARCHAR(1000),
  TIPO VARCHAR(1),
  DATA DATE
);
CREATE INDEX IDX_OF2_PRODUTO_CLIENTE ON OF2 (CODIGO, NUMERO);
