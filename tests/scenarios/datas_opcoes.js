// Dates typed into a date box as a user types them, and a radio button picked by its caption.
kelm.open("TFmCadFal");
kelm.page("PageControl1", "Consulta");
kelm.type("EdtConsDataIni", "05/03/2026");
kelm.equal(kelm.text("EdtConsDataIni"), "05/03/2026", "a data digitada dia, mês e ano");
kelm.type("EdtConsDataIni", "28/02/2025");
kelm.equal(kelm.text("EdtConsDataIni"), "28/02/2025", "digitada de novo, por cima");
kelm.close();
kelm.open("TFmRelTngEst");
kelm.select("RgOrdem", "Grupo");
kelm.equal(kelm.text("RbGrupo"), "S", "a opção escolhida pela legenda");
kelm.equal(kelm.text("RbQuadro"), "N", "e a outra desmarcada");
