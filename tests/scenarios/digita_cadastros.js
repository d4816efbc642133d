// Typed as on a keyboard (Shift for capitals and ":", accents through dead keys): a preparation's
// description and a unit typed into its item grid are stored as typed.
var texto = "Urgente Cliente VIP: 08:00 ação";
kelm.exec("DELETE FROM PREPARACAO WHERE CODIGO = '901'");
kelm.exec("DELETE FROM MATERIAL WHERE CODIGO = 'Q1'");
kelm.exec("INSERT INTO MATERIAL (CODIGO, DESCRICAO) VALUES ('Q1', 'DETERGENTE')");

kelm.open("TFmCadPrepara");
kelm.type("EdtCodPrep", "901");
kelm.press("Tab");
kelm.type("EdtDescricao", texto);
kelm.row("DBGrid1", 0);
kelm.cell("DBGrid1", "ORDEM", "1");
kelm.cell("DBGrid1", "MATERIAL", "Q1");
kelm.cell("DBGrid1", "UNIDADE", "É: ç");
kelm.cell("DBGrid1", "QTDE", "2,5");
kelm.click("BtGravar");
var item = kelm.sql("SELECT DESCRICAO, UNIDADE, QTDE FROM PREPARACAO WHERE CODIGO = '901'");
kelm.equal(item.length, 1, "o item gravado");
kelm.equal(item[0].DESCRICAO, texto, "a descrição");
kelm.equal(item[0].UNIDADE, "É: ç", "a unidade digitada na grade");
kelm.equal(item[0].QTDE, 2.5, "a quantidade");
kelm.close();
