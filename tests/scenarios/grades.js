// Grids and pages: a route's steps typed and saved; a capacity row added to an altered machine.
kelm.exec("INSERT INTO FASE (CODIGO, DESCRICAO) VALUES ('01', 'PREPARACAO')");
kelm.exec("INSERT INTO FASE (CODIGO, DESCRICAO) VALUES ('03', 'TINGIMENTO')");
kelm.exec("INSERT INTO VARIANTE (CODIGO, DESCRICAO) VALUES ('01', 'ALGODAO')");
kelm.exec("INSERT INTO VARIANTE (CODIGO, DESCRICAO) VALUES ('02', 'POLIESTER')");
kelm.exec("INSERT INTO BANHO (CODIGO, DESCRICAO, PROPORCAO) VALUES ('01', 'CURTO', 6)");
kelm.exec("INSERT INTO MAQ_TIN (CODIGO, DESCRICAO, RELAC_BANHO, FASE, TIPO) VALUES ('91', 'JET 91', '01', '03', '1')");
kelm.exec("INSERT INTO MAQ_TIN_CAP VALUES (1, '91', '01', 150, 180, 40, 120, '01')");

function falha(acao) { try { acao(); } catch (e) { return e.message; } return ""; }
function linhas(sql, campos) {
    return kelm.sql(sql).map(function (l) { return campos.map(function (c) { return l[c]; }).join("|"); }).join(";");
}

// ---- a new route, its steps typed in the grid
var passos = "DBGrid8";
kelm.open("TfmTngRoteiro");
kelm.answer(true);
kelm.type("EdtCodigo", "000901");
kelm.press("Tab");
kelm.equal(kelm.lastMessage(), "Roteiro não Cadastrado. Deseja Cadastrar?", "um roteiro novo é perguntado");
kelm.equal(kelm.focused(), "EdtDescricao", "o foco vai para a descrição");
kelm.type("EdtDescricao", "tinto novo");
kelm.cell(passos, "ORDEM", "2");
kelm.cell(passos, "FASE", "03");
kelm.equal(falha(function () { kelm.cell(passos, "DESC_FASE", "x"); }),
           "a coluna 'DESC_FASE' da grade 'DBGrid8' é somente leitura", "a descrição da fase não se digita");
kelm.row(passos, kelm.rows(passos)); // a new step: the first one is posted
kelm.cell(passos, "ORDEM", "1");
kelm.cell(passos, "FASE", "01");
kelm.row(passos, 0); // posted, the new step takes its place by order
kelm.equal(kelm.value(passos, "DESC_FASE"), "PREPARACAO", "a fase descrita ao gravar o passo");
kelm.cell(passos, "DIAS", "4");
kelm.cell(passos, "DIAS", "9"); // Tab in the last column went to the next row
kelm.row(passos, 1);
kelm.cell(passos, "DIAS", ""); // an empty text clears the cell
kelm.click("BitBtn1");
kelm.equal(linhas("SELECT ORDEM, FASE, DIAS FROM ROTEIRO WHERE CODIGO = '000901' ORDER BY ORDEM",
                  ["ORDEM", "FASE", "DIAS"]), "1|01|4;2|03|", "os passos gravados");
kelm.close();

// ---- a capacity row added to a machine being altered
var capacidade = "dbgCapacidade";
kelm.open("TFmMaquinaTin");
kelm.search("91");
kelm.click("btnConsultar");
kelm.page("PageControl1", "Capacidade");
kelm.equal(falha(function () { kelm.cell(capacidade, "PESO_MAX", "1"); }),
           "a coluna 'PESO_MAX' da grade 'dbgCapacidade' é somente leitura", "fora da alteração nada se digita");
kelm.click("BtnAltera");
kelm.check(!kelm.enabled("Edtcodmaq"), "na alteração o código não muda");
kelm.equal(kelm.text("EdtDesMaq"), "JET 91", "a máquina consultada");
kelm.select("CbTipo", "2 - Acabamento");
kelm.type("EdtDesMaq", "jet alterado");
kelm.row(capacidade, kelm.rows(capacidade));
kelm.cell(capacidade, "VARIANTE", "02");
kelm.cell(capacidade, "PESO_MAX", "90");
kelm.cell(capacidade, "LARG_DE", "150,5");
kelm.click("SbConfirmar");
kelm.equal(linhas("SELECT VARIANTE, LARG_DE, PESO_MAX FROM MAQ_TIN_CAP WHERE MAQUINA = '91' ORDER BY SEQUENCIA",
                  ["VARIANTE", "LARG_DE", "PESO_MAX"]), "01|150|120;02|150.5|90", "a capacidade gravada");
kelm.close();
