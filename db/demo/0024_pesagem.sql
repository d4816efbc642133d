-- The kitchen's weighing: lot sheet 000001's dye bath issued and not yet written off (two dyes and two
-- chemicals from the priority warehouse), for the scale to weigh. The print shop's floral sheet (000010)
-- sends two pastes to the dispensing station: its background paste is not dispensed (line "99"), and the
-- binder is an auxiliary ("A").
INSERT INTO TNG_CONSUMOS (FAL, ORIGEM, CODIGO, UNIDADE, ORDEM, QTDE, CONSUMO, TIPO, PASSO, CONTRATIPO, FALS, BAIXADO, DATA, LOTE) VALUES ('000001', 'TG', 'Q0001', '%', 1, 0.25, 500, 'C', '001', 'N', '000001', 'N', '2026-12-07', '000000');
INSERT INTO TNG_CONSUMOS (FAL, ORIGEM, CODIGO, UNIDADE, ORDEM, QTDE, CONSUMO, TIPO, PASSO, CONTRATIPO, FALS, BAIXADO, DATA, LOTE) VALUES ('000001', 'TG', 'Q0002', '%', 2, 0.12, 240, 'C', '001', 'N', '000001', 'N', '2026-12-07', '000000');
INSERT INTO TNG_CONSUMOS (FAL, ORIGEM, CODIGO, UNIDADE, ORDEM, QTDE, CONSUMO, TIPO, PASSO, CONTRATIPO, FALS, BAIXADO, DATA, LOTE) VALUES ('000001', 'TG', 'Q0101', 'GL', 3, 30, 3000, 'A', '002', 'N', '000001', 'N', '2026-12-07', '000000');
INSERT INTO TNG_CONSUMOS (FAL, ORIGEM, CODIGO, UNIDADE, ORDEM, QTDE, CONSUMO, TIPO, PASSO, CONTRATIPO, FALS, BAIXADO, DATA, LOTE) VALUES ('000001', 'TG', 'Q0103', 'GL', 4, 20, 2000, 'A', '002', 'N', '000001', 'N', '2026-12-07', '000000');
UPDATE MATERIAL SET LINHA = '99' WHERE CODIGO = 'P0203';
UPDATE MATERIAL SET LINHA = 'A' WHERE CODIGO = 'E0303';
