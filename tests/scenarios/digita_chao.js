// Typed as on a keyboard on the shop floor: a dyeing curve's description, time and step, and process
// recording's remarks and hours typed as 08:00, 8:00 and 0800.
var texto = "Urgente Cliente VIP: 08:00 ação";
function linhas(sql) {
    return kelm.sql(sql).map(function (l) {
        return Object.keys(l).map(function (c) { return l[c]; }).join("|");
    }).join(";");
}

kelm.exec("DELETE FROM PASSOS WHERE CODIGO_GRA = '901'");
kelm.exec("DELETE FROM GRAFICO WHERE CODIGO = '901'");
kelm.exec("DELETE FROM PROCESSO_TIN WHERE FAL = '000901'");
kelm.exec("DELETE FROM FAL_ITEN WHERE FAL = '000901'");
kelm.exec("DELETE FROM FAL WHERE NUMERO = '000901'");
kelm.exec("DELETE FROM PRODUTO WHERE CODIGO = '000901'");
kelm.exec("DELETE FROM MAQ_TIN WHERE CODIGO = '91'");
kelm.exec("DELETE FROM FASE WHERE CODIGO IN ('91', '92', '93')");
kelm.exec("DELETE FROM PESSOAL WHERE CODIGO = '00901'");
kelm.exec("DELETE FROM TURNO_HORARIOS WHERE TURNO = '91'");
kelm.exec("DELETE FROM TURNO WHERE TURNO = '91'");

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

// ---- a lot sheet's three steps concluded
kelm.exec("INSERT INTO TURNO (TURNO, NOTURNO) VALUES ('91', 'N')");
kelm.exec("INSERT INTO TURNO_HORARIOS (TURNO, DIA, ENTRADA, SAIDA) VALUES ('91', 2, '06:00', '13:59:59')");
kelm.exec("INSERT INTO PESSOAL (CODIGO, NOME, TURNO) VALUES ('00901', 'JOAO', '91')");
kelm.exec("INSERT INTO MAQ_TIN (CODIGO, FASE) VALUES ('91', '91')");
kelm.exec("INSERT INTO PRODUTO (CODIGO, DESCRICAO) VALUES ('000901', 'MEIA MALHA')");
kelm.exec("INSERT INTO FAL (NUMERO, PARTIDA) VALUES ('000901', '000901')");
kelm.exec("INSERT INTO FAL_ITEN (FAL, CODIGO, ORD_IT) VALUES ('000901', '000901', 1)");
["91", "92", "93"].forEach(function (fase, i) {
    kelm.exec("INSERT INTO FASE (CODIGO, DESCRICAO) VALUES ('" + fase + "', 'FASE " + fase + "')");
    kelm.exec("INSERT INTO PROCESSO_TIN (FAL, CODIGO, FASE, ORDEM, CONCLUIDO) VALUES ('000901', '000901', '" +
              fase + "', " + (i + 1) + ", 'N')");
});

kelm.open("TfmTngMov");
kelm.type("EdtFalMov", "000901");
kelm.type("EdtCodPro", "000901");
kelm.press("Tab");
["08:00", "8:00", "0800"].forEach(function (hora, linha) {
    kelm.row("DBGrid1", linha);
    kelm.cell("DBGrid1", "Concluido", "S");
    kelm.cell("DBGrid1", "Funcionario", "00901");
    kelm.cell("DBGrid1", "Maquina", "91");
    kelm.cell("DBGrid1", "Data_Inicio", "23/11/2026");
    kelm.cell("DBGrid1", "Hora_Inicio", hora);
    kelm.cell("DBGrid1", "Data_Fim", "23/11/2026");
    kelm.cell("DBGrid1", "Hora_Fim", "09:30");
    kelm.cell("DBGrid1", "Data", "23/11/2026");
    kelm.cell("DBGrid1", "Observacao", texto);
});
kelm.click("BtnGravar");
kelm.equal(linhas("SELECT FASE, HORA_INI, HORA_FIN, OBS FROM PROCESSO_TIN WHERE FAL = '000901' ORDER BY ORDEM"),
           ["91", "92", "93"].map(function (f) { return f + "|08:00:00|09:30:00|" + texto; }).join(";"),
           "as horas e as observações");
kelm.close();
