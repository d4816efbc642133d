// Typed as on a keyboard: a new recipe's description and an item's purpose with capitals, spaces, a colon
// and accents are stored as typed.
var texto = "Urgente Cliente VIP: 08:00 ação";
kelm.exec("DELETE FROM MAT_TIN WHERE RECEITA = '0901'");
kelm.exec("DELETE FROM RECEITA WHERE CODIGO = '0901'");
kelm.exec("DELETE FROM TABPRECO WHERE COR = 'C901'");
kelm.exec("DELETE FROM CADCORTIN WHERE CODIGO = 'C901'");
kelm.exec("DELETE FROM MATERIAL WHERE CODIGO = 'M901'");
kelm.exec("DELETE FROM VARIANTE WHERE CODIGO = '91'");
kelm.exec("DELETE FROM GRAFICO WHERE CODIGO = '901'");
kelm.exec("DELETE FROM BANHO WHERE CODIGO = '91'");
kelm.exec("INSERT INTO MATERIAL (CODIGO, DESCRICAO, UNIDADE, REPOSICAO, ATIVO) VALUES ('M901', 'DETERGENTE', 'GL', 10, 'S')");
kelm.exec("INSERT INTO VARIANTE (CODIGO, DESCRICAO) VALUES ('91', 'ALGODAO')");
kelm.exec("INSERT INTO CADCORTIN (CODIGO, DESCRICAO) VALUES ('C901', 'VERDE')");
kelm.exec("INSERT INTO GRAFICO (CODIGO, DESCRICAO) VALUES ('901', 'REATIVO')");
kelm.exec("INSERT INTO BANHO (CODIGO, DESCRICAO, PROPORCAO) VALUES ('91', 'LONGO', 20)");

kelm.open("TfmTngReceita");
kelm.page("PageControl1", "Cadastro");
kelm.type("EdtCodigo", "0901");
kelm.press("Tab");
kelm.type("EdtCodVar", "91");
kelm.press("Tab");
kelm.type("EdtDescricao", texto);
kelm.type("EdtCodCor", "C901");
kelm.type("EdtCodGra", "901");
kelm.type("EdtCodBan", "91");
kelm.row("DBGrid1", 0);
kelm.cell("DBGrid1", "Material", "M901");
kelm.cell("DBGrid1", "Qtde", "1");
kelm.cell("DBGrid1", "Finalidade", texto);
kelm.click("BitBtn5");
var receita = kelm.sql("SELECT DESCRICAO FROM RECEITA WHERE CODIGO = '0901'");
kelm.equal(receita.length, 1, "a receita gravada");
kelm.equal(receita[0].DESCRICAO, texto, "a descrição");
kelm.equal(kelm.sql("SELECT FINALIDADE FROM MAT_TIN WHERE RECEITA = '0901'")[0].FINALIDADE, texto,
           "a finalidade do item");
kelm.close();
