// Acceptance scenario of the colour registry: a new colour gets its default group and tone, the tax code
// from its look-up and the system colour from its box.
kelm.exec("INSERT INTO GRUPO_COR (CODIGO, DESCRICAO) VALUES ('0001', 'CORES CLARAS')");
kelm.exec("INSERT INTO TABTRI (CODIGO, DESCRICAO) VALUES ('040', 'ISENTA')");

kelm.open("TFmCadCorTing");
kelm.click("BtIncluir");
kelm.press("Enter");
var code = kelm.text("EdtCodigo");
kelm.type("EdtDescricao", "CENARIO VERDE");
kelm.search("040");
kelm.press("F4", "EdtClaTrib");
kelm.equal(kelm.text("EdtDesClaTrib"), "ISENTA", "situação tributária escolhida na pesquisa");
kelm.select("CbCorSis", "Verde");
kelm.click("SbConfirmar");
var rows = kelm.sql("SELECT TON, COR_SIS, COD_GRUPO, COD_CLATRIB FROM CADCORTIN WHERE CODIGO = '" + code + "'");
kelm.equal(rows.length, 1, "a cor foi gravada");
kelm.equal(rows[0].TON, "Clara", "tonalidade clara por padrão");
kelm.equal(rows[0].COR_SIS, 0x008000, "cor do sistema escolhida na caixa de cores");
kelm.equal(rows[0].COD_GRUPO, "0001", "primeiro grupo por padrão");
kelm.equal(rows[0].COD_CLATRIB, "040", "situação tributária gravada");
kelm.close();
