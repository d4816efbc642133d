// Grids and pages: a route's steps typed cell by cell and saved; capacity rows added on the "Capacidade"
// page to a machine being altered and to a new one.
kelm.exec("DELETE FROM ROTEIRO WHERE CODIGO = '000901'");
kelm.exec("DELETE FROM MAQ_TIN_CAP WHERE MAQUINA IN ('91', '92')");
kelm.exec("DELETE FROM MAQ_TIN WHERE CODIGO IN ('91', '92')");
kelm.exec("DELETE FROM FASE WHERE CODIGO IN ('01', '03')");
kelm.exec("DELETE FROM VARIANTE WHERE CODIGO IN ('01', '02')");
kelm.exec("DELETE FROM BANHO WHERE CODIGO = '01'");
kelm.exec("INSERT INTO FASE (CODIGO, DESCRICAO) VALUES ('01', 'PREPARACAO')");
kelm.exec("INSERT INTO FASE (CODIGO, DESCRICAO) VALUES ('03', 'TINGIMENTO')");
kelm.exec("INSERT INTO VARIANTE (CODIGO, DESCRICAO) VALUES ('01', 'ALGODAO')");
kelm.exec("INSERT INTO VARIANTE (CODIGO, DESCRICAO) VALUES ('02', 'POLIESTER')");
kelm.exec("INSERT INTO BANHO (CODIGO, DESCRICAO, PROPORCAO) VALUES ('01', 'CURTO', 6)");
kelm.exec("INSERT INTO MAQ_TIN (CODIGO, DESCRICAO, RELAC_BANHO, FASE, TIPO) VALUES ('91', 'JET 91', '01', '03', '1')");
kelm.exec("INSERT INTO MAQ_TIN_CAP VALUES (1, '91', '01', 150, 180, 40, 120, '01')");

// The text of the failure an action raises; empty when it raises none.
function falha(acao) {
    try {
        acao();
    } catch (e) {
        return e.message;
    }
    return "";
}

// ---- a new route, its steps typed in the grid
var passos = "DBGrid8";
kelm.open("TfmTngRoteiro");
kelm.answer(true);
kelm.type("EdtCodigo", "000901");
kelm.press("Tab");
kelm.equal(kelm.rows(passos), 1, "o roteiro novo abre com um passo vazio");
kelm.type("EdtDescricao", "tinto novo");

kelm.cell(passos, "ORDEM", "2");
kelm.equal(kelm.focused(), passos, "o Tab leva à fase, ainda na grade");
kelm.cell(passos, "FASE", "03");
kelm.equal(kelm.value(passos, "FASE"), "03", "a fase digitada");
kelm.equal(falha(function () { kelm.cell(passos, "DESC_FASE", "x"); }),
           "a coluna 'DESC_FASE' da grade 'DBGrid8' é somente leitura", "a descrição da fase não se digita");
kelm.equal(falha(function () { kelm.cell(passos, "COR", "x"); }),
           "a grade 'DBGrid8' não tem a coluna 'COR'", "coluna que não existe");
kelm.equal(falha(function () { kelm.row(passos, 3); }), "a grade 'DBGrid8' não tem a linha 3 (tem 1)",
           "linha além da nova");

kelm.row(passos, kelm.rows(passos)); // a new step: the first one is posted and its phase described
kelm.equal(kelm.rows(passos), 2, "um segundo passo");
kelm.equal(kelm.value(passos, "ORDEM"), "", "o passo novo está vazio");
kelm.cell(passos, "ORDEM", "1");
kelm.cell(passos, "FASE", "01");

kelm.row(passos, 0); // leaving it posts the new step, which takes its place by order
kelm.equal(kelm.value(passos, "ORDEM"), "1", "o passo de ordem 1 vem primeiro");
kelm.equal(kelm.value(passos, "DESC_FASE"), "PREPARACAO", "a fase descrita ao gravar o passo");
kelm.cell(passos, "DIAS", "4");
kelm.equal(kelm.value(passos, "ORDEM"), "2", "o Tab na última coluna passa à linha seguinte");
kelm.equal(kelm.value(passos, "DESC_FASE"), "TINGIMENTO", "o primeiro passo foi descrito");
kelm.cell(passos, "DIAS", "9");
kelm.row(passos, 1);
kelm.equal(kelm.value(passos, "DIAS"), "9", "os dias digitados");
kelm.cell(passos, "DIAS", ""); // an empty text clears the cell
kelm.row(passos, 1);
kelm.equal(kelm.value(passos, "DIAS"), "", "os dias apagados");

kelm.click("BitBtn1");
kelm.equal(kelm.messages().length, 1, "só a pergunta do roteiro novo");
var gravados = kelm.sql("SELECT ORDEM, FASE, DIAS, DESCRICAO FROM ROTEIRO WHERE CODIGO = '000901' ORDER BY ORDEM");
kelm.equal(gravados.length, 2, "dois passos gravados");
kelm.equal([gravados[0].ORDEM, gravados[0].FASE, gravados[0].DIAS, gravados[0].DESCRICAO].join("|"), "1|01|4|tinto novo",
           "primeiro passo");
kelm.equal([gravados[1].ORDEM, gravados[1].FASE, gravados[1].DIAS].join("|"), "2|03|", "segundo passo, sem dias");
kelm.equal(kelm.focused(), "EdtCodigo", "o foco volta ao código");

kelm.type("EdtCodigo", "000901");
kelm.press("Tab");
kelm.equal(kelm.rows(passos), 2, "o roteiro gravado volta com seus passos");
kelm.row(passos, 1);
kelm.equal(kelm.value(passos, "DESC_FASE"), "TINGIMENTO", "com as fases descritas");
kelm.close();

// ---- a capacity row added to a machine being altered
var capacidade = "dbgCapacidade";
kelm.open("TFmMaquinaTin");
kelm.search("91");
kelm.click("btnConsultar");
kelm.equal(kelm.text("Edtcodmaq"), "91", "a máquina escolhida na consulta");
kelm.equal(falha(function () { kelm.page("PageControl1", "Custos"); }),
           "'PageControl1' não tem a página 'Custos' (páginas: Máquinas, Capacidade)", "página que não existe");
kelm.check(!kelm.visible(capacidade), "a capacidade fica na sua página");
kelm.page("PageControl1", "Capacidade");
kelm.check(kelm.visible(capacidade), "a página da capacidade aparece");
kelm.equal(kelm.rows(capacidade), 1, "a capacidade gravada");
kelm.equal(kelm.value(capacidade, "DESC_VARIANTE"), "ALGODAO", "com a variante descrita");
kelm.equal(falha(function () { kelm.row(capacidade, 1); }),
           "a grade 'dbgCapacidade' não tem a linha 1 (tem 1 e não é editável)", "fora da alteração não há linha nova");
kelm.equal(falha(function () { kelm.cell(capacidade, "PESO_MAX", "1"); }),
           "a coluna 'PESO_MAX' da grade 'dbgCapacidade' é somente leitura", "fora da alteração nada se digita");

kelm.click("BtnAltera");
kelm.equal(kelm.focused(), capacidade, "alterando na página da capacidade, o foco vai à grade");
kelm.type("EdtDesMaq", "");
kelm.equal(falha(function () { kelm.cell(capacidade, "PESO_MAX", "1"); }),
           "a célula 'PESO_MAX' da grade 'dbgCapacidade' não pôde ser escolhida: O Campo é obrigatório.",
           "a descrição vazia não deixa sair");
kelm.equal(kelm.focused(), "EdtDesMaq", "o foco fica na descrição");
kelm.type("EdtDesMaq", "jet alterado");
kelm.row(capacidade, kelm.rows(capacidade));
kelm.equal(kelm.rows(capacidade), 2, "uma linha nova");
kelm.cell(capacidade, "VARIANTE", "99");
kelm.cell(capacidade, "PESO_MAX", "90");
kelm.click("SbConfirmar");
kelm.equal(kelm.lastMessage(), "Variante inválida.", "a variante que não existe é recusada");
kelm.equal(kelm.focused(), capacidade, "o foco volta à grade");
kelm.equal(kelm.value(capacidade, "VARIANTE"), "", "a variante recusada é apagada");
kelm.cell(capacidade, "VARIANTE", "02");
kelm.cell(capacidade, "LARG_DE", "150,5");
kelm.click("SbConfirmar");
kelm.check(kelm.visible("PainelControle"), "a alteração foi confirmada");
var linhas = kelm.sql("SELECT VARIANTE, LARG_DE, PESO_MAX FROM MAQ_TIN_CAP WHERE MAQUINA = '91' ORDER BY SEQUENCIA");
kelm.equal(linhas.length, 2, "duas linhas de capacidade");
kelm.equal([linhas[0].VARIANTE, linhas[0].LARG_DE, linhas[0].PESO_MAX].join("|"), "01|150|120", "a linha que havia");
kelm.equal([linhas[1].VARIANTE, linhas[1].LARG_DE, linhas[1].PESO_MAX].join("|"), "02|150.5|90", "a linha nova");
kelm.equal(kelm.sql("SELECT DESCRICAO FROM MAQ_TIN WHERE CODIGO = '91'")[0].DESCRICAO, "JET ALTERADO",
           "a máquina alterada");

// ---- a new machine starts with an empty capacity grid
kelm.click("BtIncluir");
kelm.type("Edtcodmaq", "92");
kelm.type("EdtDesMaq", "rama nova");
kelm.page("PageControl1", "Capacidade");
kelm.equal(kelm.rows(capacidade), 0, "sem capacidade");
kelm.row(capacidade, 0);
kelm.equal(kelm.rows(capacidade), 1, "a primeira linha");
kelm.cell(capacidade, "VARIANTE", "01");
kelm.cell(capacidade, "PESO_MIN", "30");
kelm.page("PageControl1", "Máquinas");
kelm.check(!kelm.visible(capacidade), "de volta à lista de máquinas");
kelm.click("SbConfirmar");
linhas = kelm.sql("SELECT VARIANTE, PESO_MIN FROM MAQ_TIN_CAP WHERE MAQUINA = '92'");
kelm.equal(linhas.length, 1, "a máquina nova com sua capacidade");
kelm.equal(linhas[0].VARIANTE + "|" + linhas[0].PESO_MIN, "01|30", "a linha digitada");
kelm.close();
