// Acceptance scenario of the bath registry: include, refuse a repeated code, alter.
kelm.open("TFmBanho");
kelm.click("BtIncluir");
kelm.type("EdtCodBanho", "10");
kelm.type("EdtDesBanho", "banho de teste d'ávila");
kelm.type("EdtProporcao", "8,5");
kelm.press("Tab");
kelm.equal(kelm.focused(), "SbConfirmar", "saindo da proporção o foco vai para Confirmar");
kelm.click("SbConfirmar");

var rows = kelm.sql("SELECT DESCRICAO, PROPORCAO FROM BANHO WHERE CODIGO = '10'");
kelm.equal(rows.length, 1, "o banho foi gravado");
kelm.equal(rows[0].DESCRICAO, "BANHO DE TESTE D'ÁVILA", "descrição em maiúsculas, com o apóstrofo");
kelm.equal(rows[0].PROPORCAO, 8.5, "proporção digitada com vírgula");

kelm.click("BtIncluir");
kelm.type("EdtCodBanho", "10");
kelm.click("SbConfirmar");
kelm.equal(kelm.lastMessage(), "Este código já existe. Digite um outro.", "código repetido é recusado");
kelm.equal(kelm.focused(), "EdtCodBanho", "o foco volta ao código");
kelm.click("BtDesistir");

kelm.click("BtnAltera");
kelm.check(!kelm.enabled("EdtCodBanho"), "na alteração o código não muda");
kelm.type("EdtDesBanho", "banho alterado");
kelm.click("SbConfirmar");
kelm.equal(kelm.sql("SELECT DESCRICAO FROM BANHO WHERE CODIGO = '10'")[0].DESCRICAO, "BANHO ALTERADO", "alteração gravada");
kelm.close();
