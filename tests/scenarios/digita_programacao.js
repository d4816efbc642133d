// Typed as on a keyboard: a programme item's remark with capitals, spaces, a colon and accents is stored as
// typed.
var texto = "Urgente Cliente VIP: 08:00 ação";
kelm.exec("DELETE FROM TNG_PROG WHERE CODCLI = '00901'");
kelm.exec("DELETE FROM ENTIDADE WHERE CODCLI = '00901'");
kelm.exec("DELETE FROM PRODUTO WHERE CODIGO = '000901'");
kelm.exec("INSERT INTO ENTIDADE (CODCLI, NOME) VALUES ('00901', 'MALHARIA UM')");
kelm.exec("INSERT INTO PRODUTO (CODIGO, DESCRICAO) VALUES ('000901', 'MEIA MALHA')");

kelm.open("TFmTngProg");
kelm.type("EdtLote", "");
kelm.type("EdtCodCli", "00901");
kelm.type("EdtEntrada", "05/11/2026");
kelm.type("EdtEntrega", "20/11/2026");
kelm.row("DBGrid1", 0);
kelm.cell("DBGrid1", "Codigo", "000901");
kelm.cell("DBGrid1", "Peso", "12,5");
kelm.cell("DBGrid1", "Observacao", texto);
kelm.click("BitBtn1");
var item = kelm.sql("SELECT CODIGO, PESO, OBSERVACAO FROM TNG_PROG WHERE CODCLI = '00901'");
kelm.equal(item.length, 1, "o item gravado");
kelm.equal(item[0].OBSERVACAO, texto, "a observação");
kelm.equal(item[0].PESO, 12.5, "o peso");
kelm.close();
