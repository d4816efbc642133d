-- A customer's latest programme (MAX(NUMERO) of its rows, read whenever the customer box is left) is the
-- first entry of a descending index: on the ascending one the engine read every row of a big customer.
DROP INDEX IDX_TNG_PROG_CODCLI;
CREATE DESCENDING INDEX IDX_TNG_PROG_CODCLI ON TNG_PROG (CODCLI, NUMERO);
-- The search of open items (FAL empty) in a period: with the date beside the lot sheet the engine reads only
-- the open rows of the period; on FAL alone it read every open row of the years to keep a month's.
DROP INDEX IDX_TNG_PROG_FAL;
CREATE INDEX IDX_TNG_PROG_FAL ON TNG_PROG (FAL, ENTRADA);
