// Typed as on a keyboard: remarks with capitals, spaces, a colon and accents typed into a lot sheet's item
// (an invoice item's, in tst_tngnfentra); on the shop floor a dyeing curve's description, time and step
// (process recording's remarks and hours, in tst_tngmov).
var texto = "Urgente Cliente VIP: 08:00 ação";
function linhas(sql) {
    return kelm.sql(sql).map(function (l) {
        return Object.keys(l).map(function (c) { return l[c]; }).join("|");
    }).join(";");
}

kelm.exec("INSERT INTO ENTIDADE (CODCLI, NOME) VALUES ('00901', 'MALHARIA UM')");
kelm.exec("INSERT INTO PRODUTO (CODIGO, DESCRICAO) VALUES ('T901', 'MEIA MALHA')");
kelm.exec("INSERT INTO FASE (CODIGO, DESCRICAO) VALUES ('91', 'TINGIMENTO')");
kelm.exec("INSERT INTO ROTEIRO (CODIGO, DESCRICAO, ORDEM, FASE) VALUES ('901', 'TINTO', 1, '91')");
kelm.exec("INSERT INTO NFTIN (NOTA, CLIENTE, SALDO) VALUES ('000000901', '00901', 100)");
kelm.exec("INSERT INTO NFITIN (NOTA, CODCLI, CODIGO, LOTE, PESO, PESO_REAL) VALUES ('000000901', '00901', 'T901', '', 100, 100)");

// ---- a lot sheet taking weight from an invoice
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
var item = kelm.sql("SELECT OBSERVACAO FROM FAL_ITEN WHERE FAL = '000901'");
kelm.equal(item.length, 1, "o item da FAL gravado");
kelm.equal(item[0].OBSERVACAO, texto, "a observação do item da FAL");
kelm.close();

// ---- a new curve
kelm.open("TfmTngGrafico");
kelm.click("BtIncluir");
kelm.type("EdtCodigo", "901");
kelm.type("EdtDescricao", texto);
kelm.type("EdtTempo", "08:00");
kelm.press("Down", "dbgPassos"); // an empty grid gets its first step
kelm.cell("dbgPassos", "CODIGO", "P01");
kelm.cell("dbgPassos", "DESCRICAO", texto);
kelm.cell("dbgPassos", "TEMPERATURA", "60");
kelm.cell("dbgPassos", "TEMPO", "480"); // the curve's 08:00, else confirming asks
kelm.click("SbConfirmar");
kelm.equal(linhas("SELECT DESCRICAO, TEMPO FROM GRAFICO WHERE CODIGO = '901'"),
           "URGENTE CLIENTE VIP: 08:00 AÇÃO|08:00", "a curva, a descrição em maiúsculas");
kelm.equal(linhas("SELECT CODIGO, DESCRICAO FROM PASSOS WHERE CODIGO_GRA = '901'"),
           "P01|" + texto, "o passo");
kelm.close();

