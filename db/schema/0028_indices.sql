-- Indexes another one now covers: every write of a lot sheet or a quality row kept them for nothing.
-- (MAQUINA, ORDEM) serves what MAQUINA alone served; the key (FAL, CODIGO, ORDEM) what (FAL, APROVADO) did.
DROP INDEX IDX_FAL_MAQUINA;
DROP INDEX IDX_CONTR_QUL_APROVADO;
