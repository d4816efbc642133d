// Acceptance scenario of the colour registry: a new colour gets the next code and its defaults, a group
// that does not exist is refused, the tax code comes from its look-up, a colour used by a lot cannot be
// deleted, an unused one can.
kelm.exec("DELETE FROM FAL WHERE NUMERO = '9999001'");
kelm.exec("DELETE FROM CADCORTIN WHERE DESCRICAO LIKE 'CENARIO%'");
kelm.exec("UPDATE OR INSERT INTO GRUPO_COR (CODIGO, DESCRICAO) VALUES ('0001', 'CORES CLARAS')");
kelm.exec("UPDATE OR INSERT INTO TABTRI (CODIGO, DESCRICAO) VALUES ('040', 'ISENTA')");

kelm.open("TFmCadCorTing");
kelm.click("BtIncluir");
kelm.equal(kelm.focused(), "EdtCodigo", "a inclusão começa pelo código");
kelm.press("Enter");
var code = kelm.text("EdtCodigo");
kelm.equal(code.length, 10, "código proposto com 10 dígitos");
kelm.type("EdtDescricao", "CENARIO VERDE");
kelm.equal(kelm.text("EdtCodGrupo"), "0001", "primeiro grupo por padrão");
kelm.type("EdtCodGrupo", "9999");
kelm.press("Tab");
kelm.equal(kelm.lastMessage(), "Grupo inválido.", "grupo inexistente recusado");
kelm.equal(kelm.focused(), "EdtCodGrupo", "o foco volta ao grupo");
kelm.type("EdtCodGrupo", "0001");
kelm.search("040");
kelm.press("F4", "EdtClaTrib");
kelm.equal(kelm.text("EdtDesClaTrib"), "ISENTA", "situação tributária escolhida na pesquisa");
kelm.select("CbCorSis", "Verde");
kelm.click("SbConfirmar");
var rows = kelm.sql("SELECT TON, TINGIR, COR_SIS, COD_GRUPO, COD_CLATRIB FROM CADCORTIN WHERE CODIGO = '" + code + "'");
kelm.equal(rows.length, 1, "a cor foi gravada");
kelm.equal(rows[0].TON, "Clara", "tonalidade clara por padrão");
kelm.equal(rows[0].COR_SIS, 0x008000, "cor do sistema escolhida na caixa de cores");
kelm.equal(rows[0].COD_GRUPO, "0001", "grupo gravado");
kelm.equal(rows[0].COD_CLATRIB, "040", "situação tributária gravada");

kelm.exec("INSERT INTO FAL (NUMERO, COR) VALUES ('9999001', '" + code + "')");
kelm.click("BtExcluir");
kelm.equal(kelm.lastMessage(), "Cor está sendo utilizada.", "cor de uma FAL não é excluída");

kelm.exec("DELETE FROM FAL WHERE NUMERO = '9999001'");
kelm.answer(true);
kelm.click("BtExcluir");
kelm.equal(kelm.sql("SELECT COUNT(*) AS N FROM CADCORTIN WHERE CODIGO = '" + code + "'")[0].N, 0, "cor livre é excluída");
var log = kelm.sql("SELECT TEXTO FROM LOG WHERE CHAVE = '" + code + "' AND TIPO = 2");
kelm.equal(log[0].TEXTO, "EXCLUSAO DA COR: " + code + " - CENARIO VERDE", "exclusão registrada no log");
kelm.close();
