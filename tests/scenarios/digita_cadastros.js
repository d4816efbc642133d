// Typed as on a keyboard (Shift for capitals and ":", accents through dead keys) into a preparation and a new
// recipe: descriptions, a unit and a purpose are stored as typed (a programme item's, in tst_tngprog).
var texto = "Urgente Cliente VIP: 08:00 ação";
kelm.exec("INSERT INTO MATERIAL (CODIGO, DESCRICAO, UNIDADE, REPOSICAO, ATIVO) VALUES ('M901', 'DETERGENTE', 'GL', 10, 'S')");
kelm.exec("INSERT INTO VARIANTE (CODIGO, DESCRICAO) VALUES ('91', 'ALGODAO')");
kelm.exec("INSERT INTO CADCORTIN (CODIGO, DESCRICAO) VALUES ('C901', 'VERDE')");
kelm.exec("INSERT INTO GRAFICO (CODIGO, DESCRICAO) VALUES ('901', 'REATIVO')");
kelm.exec("INSERT INTO BANHO (CODIGO, DESCRICAO, PROPORCAO) VALUES ('91', 'LONGO', 20)");

// ---- a preparation
kelm.open("TFmCadPrepara");
kelm.type("EdtCodPrep", "901");
kelm.press("Tab");
kelm.type("EdtDescricao", texto);
kelm.row("DBGrid1", 0);
kelm.cell("DBGrid1", "ORDEM", "1");
kelm.cell("DBGrid1", "MATERIAL", "M901");
kelm.cell("DBGrid1", "UNIDADE", "É: ç");
kelm.cell("DBGrid1", "QTDE", "2,5");
kelm.click("BtGravar");
var item = kelm.sql("SELECT DESCRICAO, UNIDADE, QTDE FROM PREPARACAO WHERE CODIGO = '901'");
kelm.equal(item.length, 1, "o item gravado");
kelm.equal(item[0].DESCRICAO, texto, "a descrição");
kelm.equal(item[0].UNIDADE, "É: ç", "a unidade digitada na grade");
kelm.equal(item[0].QTDE, 2.5, "a quantidade");
kelm.close();

// ---- a new recipe
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
kelm.equal(receita[0].DESCRICAO, texto, "a descrição da receita");
kelm.equal(kelm.sql("SELECT FINALIDADE FROM MAT_TIN WHERE RECEITA = '0901'")[0].FINALIDADE, texto,
           "a finalidade do item");
kelm.close();
