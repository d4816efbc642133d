-- Rolls weighed and labelled enter the stock under movement type 1.
INSERT INTO TIPO_MOV_EST (CODIGO, DESCRICAO, ESPECIE, OPERACAO) VALUES ('1', 'ENTRADA DE ROLOS ETIQUETADOS', 1, 'E');
