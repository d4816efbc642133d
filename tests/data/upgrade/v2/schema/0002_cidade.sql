-- A later version adds a column and a table; existing rows must survive.
ALTER TABLE CLIENTE_TESTE ADD CIDADE VARCHAR(40) DEFAULT 'Blumenau';
CREATE TABLE PEDIDO_TESTE (
  NUMERO INTEGER NOT NULL PRIMARY KEY,
  CLIENTE VARCHAR(6)
);
SET TERM ^ ;
CREATE OR ALTER FUNCTION DOBRO (X INTEGER) RETURNS INTEGER AS
BEGIN
  RETURN X * 2; -- a semicolon inside a body must not end the statement
END^
SET TERM ; ^
