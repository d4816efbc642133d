// Typed as on a keyboard: remarks with capitals, spaces, a colon and accents typed into an incoming
// invoice's item and a lot sheet's item are stored as typed.
var texto = "Urgente Cliente VIP: 08:00 ação";
kelm.exec("DELETE FROM PROCESSO_TIN WHERE FAL = '000901'");
kelm.exec("DELETE FROM FAL_ITEN WHERE FAL = '000901'");
kelm.exec("DELETE FROM FAL WHERE NUMERO = '000901'");
kelm.exec("DELETE FROM NFITIN WHERE CODCLI = '00901'");
kelm.exec("DELETE FROM NFTIN WHERE CLIENTE = '00901'");
kelm.exec("DELETE FROM ENTIDADE WHERE CODCLI = '00901'");
kelm.exec("DELETE FROM NATUREZA WHERE NATUREZA = '1901'");
kelm.exec("DELETE FROM PRODUTO WHERE CODIGO = 'T901'");
kelm.exec("DELETE FROM ROTEIRO WHERE CODIGO = '901'");
kelm.exec("DELETE FROM FASE WHERE CODIGO = '91'");
kelm.exec("INSERT INTO ENTIDADE (CODCLI, NOME) VALUES ('00901', 'MALHARIA UM')");
kelm.exec("INSERT INTO NATUREZA (NATUREZA, DESCRICAO, TIPO, TP_BASE) VALUES ('1901', 'REMESSA', 'R', '2')");
kelm.exec("INSERT INTO PRODUTO (CODIGO, DESCRICAO) VALUES ('T901', 'MEIA MALHA')");
kelm.exec("INSERT INTO FASE (CODIGO, DESCRICAO) VALUES ('91', 'TINGIMENTO')");
kelm.exec("INSERT INTO ROTEIRO (CODIGO, DESCRICAO, ORDEM, FASE) VALUES ('901', 'TINTO', 1, '91')");

// ---- an incoming invoice
kelm.open("TfmTngNFEntra");
kelm.click("BitBtn12");
kelm.type("EdtNota", "000000901");
kelm.type("EdtCliente", "00901");
kelm.type("EdtNatureza", "1901");
kelm.row("DBGrid1", 0);
kelm.cell("DBGrid1", "Codigo", "T901");
kelm.cell("DBGrid1", "Peso_Real", "100");
kelm.cell("DBGrid1", "OBS", texto);
kelm.click("SpeedButton16");
var item = kelm.sql("SELECT OBS FROM NFITIN WHERE CODCLI = '00901'");
kelm.equal(item.length, 1, "o item da nota gravado");
kelm.equal(item[0].OBS, texto, "a observação do item da nota");
kelm.close();

// ---- a lot sheet taking weight from it
kelm.open("TFmCadFal");
kelm.type("EdtFal", "000901");
kelm.press("Tab");
kelm.type("EdtCodCli", "00901");
kelm.type("EdtRoteiro", "901");
kelm.row("DBGrid1", 0);
kelm.cell("DBGrid1", "NF", "000000901");
kelm.cell("DBGrid1", "Tecido", "T901");
kelm.cell("DBGrid1", "Peso", "40");
kelm.cell("DBGrid1", "Observacao", texto);
kelm.click("BtnIncluir");
item = kelm.sql("SELECT OBSERVACAO FROM FAL_ITEN WHERE FAL = '000901'");
kelm.equal(item.length, 1, "o item da FAL gravado");
kelm.equal(item[0].OBSERVACAO, texto, "a observação do item da FAL");
kelm.close();
