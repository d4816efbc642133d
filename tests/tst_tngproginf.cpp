// The information board: a customer's sheet of a product saved and loaded field by field, replaced in one
// unit of work, refused under blank or unknown codes, imported from another customer without writing.
#include "DBControls.h"
#include "QuadroInformacoes.h"
#include "TestDatabase.h"
#include <QLineEdit>
#include <QTest>

class TstTngProgInf : public ScreenTestCase {
    Q_OBJECT
    void Base() {
        Insert("ENTIDADE (CODCLI, NOME, ATIVO, BLOQUEIO)",
               {"'00001', 'MALHARIA SANTA CATARINA', 'S', 'N'", "'00002', 'TECELAGEM D''ÁVILA', 'S', NULL",
                "'00003', 'BLOQUEADA', 'S', 'S'", "'00004', 'INATIVA', 'N', 'N'",
                "'00005', 'SEM QUADRO', NULL, 'N'"});
        Insert("PRODUTO (CODIGO, DESCRICAO)", {"'000101', 'MEIA MALHA'"});
        Insert("OFPADRAO (CODIGO, DESCRICAO, CAMPO)",
               {"'001', 'TECIDO', 'Gramatura'", "'002', 'TECIDO', 'Largura'",
                "'003', 'TINGIMENTO', 'Solidez'", "'004', 'ACABAMENTO', 'Solidez'",
                "'005', 'ACABAMENTO', 'Toque'"});
        Commit();
    }
    void Guarda(const QString& cliente, const QString& mov, const QString& campo, const QString& resultado) {
        Sql(QStringLiteral("INSERT INTO OF2 (CODIGO, NUMERO, MOV, CAMPO, DESCRICAO2, OBS, TIPO) VALUES "
                           "('000101', '%1', '%2', '%3', '%4', 'memo de %1', '1')")
                .arg(cliente, mov, campo, resultado));
        Commit();
    }
    // The stored sheet as "MOV|CAMPO|DESCRICAO|DESCRICAO2|DESCRICAO3|OBS|TIPO", by code.
    QStringList Gravado(const QString& cliente = "00001") {
        return RowsSeenByOthers("SELECT MOV, CAMPO, DESCRICAO, DESCRICAO2, DESCRICAO3, OBS, TIPO FROM OF2 "
                                "WHERE CODIGO = '000101' AND NUMERO = '" +
                                cliente + "' ORDER BY MOV");
    }
    void Abre(const QString& cliente) {
        driver->Open("TfmTngProgInf");
        driver->Type("EdtCodCli", cliente);
        driver->Type("EdtCodPro", "000101");
        driver->Click("btnConsultar");
    }
    void Preenche(int linha, const QString& campo, const QString& texto) {
        Cells("SgQuadro", linha, {{campo, texto}});
    }
    // Each row's result and remark, "R|O;R|O;...".
    QString Valores() { return FieldTexts("SgQuadro", "RESULTADO|OBSERVACAO").join(';'); }
    TZoDBGrid* Grade() { return driver->Get<TZoDBGrid>("SgQuadro"); }

private slots:
    // The standard is "key:text,..."; each stored row "key:text"; the expected rows they fill.
    void storedRowsGoToTheirOwnFieldFirst_data() {
        QTest::addColumn<QString>("padrao");
        QTest::addColumn<QString>("gravados");
        QTest::addColumn<QString>("destino");
        const auto caso = [](const char* nome, const char* padrao, const char* gravados,
                             const char* destino) {
            QTest::newRow(nome) << QString(padrao) << QString(gravados) << QString(destino);
        };
        caso("own keys", "1:A,2:B,3:A", "1:A,3:A", "0,2");
        caso("own key after a text match", "1:A,2:B,3:A", "9:A,1:A", "2,0");
        caso("renumbered", "1:A,2:B", "7:B", "1");
        caso("no longer standard", "1:A", "1:Z,2:Z", "-1,-1");
        caso("text changed under the key", "1:A,2:B", "1:B", "1");
        caso("more stored than standard", "1:A", "1:A,2:A", "0,-1");
    }

    void storedRowsGoToTheirOwnFieldFirst() {
        QFETCH(QString, padrao);
        QFETCH(QString, gravados);
        QFETCH(QString, destino);
        const auto campos = [](const QString& lista) {
            QList<CampoQuadro> lidos;
            for (const QString& campo : lista.split(','))
                lidos.append({campo.section(':', 0, 0), campo.section(':', 1)});
            return lidos;
        };
        QStringList obtido;
        for (const int linha : CasaCamposGravados(campos(padrao), campos(gravados)))
            obtido << QString::number(linha);
        QCOMPARE(obtido.join(','), destino);
    }

    void roundTripWithTwoFieldsOfOneTextAndQuotes() {
        Base();
        Abre("00001");
        Preenche(0, "RESULTADO", "160 g/m² 'penteado'");
        Preenche(2, "RESULTADO", "4");
        Preenche(3, "OBSERVACAO", "só no acabamento");
        // Enter goes on to the next cell, taking what is typed.
        driver->Row("SgQuadro", 4);
        Grade()->SelectField("RESULTADO");
        driver->Press("F2");
        QTest::keyClicks(QApplication::focusWidget(), "macio");
        driver->Press("Enter");
        QCOMPARE(Grade()->SelectedField(), "OBSERVACAO");
        driver->Type("MmObservacao", "Amostra d'água antes da expedição");
        QCOMPARE(ClickMessages("btnConfirmar"), "Informações gravadas com sucesso.");
        const QString memo = QStringLiteral("|Amostra d'água antes da expedição|1");
        const QStringList gravado = {"001|Gramatura|TECIDO|160 g/m² 'penteado'|" + memo,
                                     "002|Largura|TECIDO||" + memo, "003|Solidez|TINGIMENTO|4|" + memo,
                                     "004|Solidez|ACABAMENTO||só no acabamento" + memo,
                                     "005|Toque|ACABAMENTO|macio|" + memo};
        QCOMPARE(Gravado(), gravado);
        QCOMPARE(Scalar("SELECT COUNT(*) FROM OF2 WHERE DATA = CURRENT_DATE").toInt(), 5);

        // The programme's way in: the board open comes back to the sheet asked for.
        QVERIFY(fmTngProgInf);
        QWidget* aberto = driver->Screen();
        QCOMPARE(AbreQuadroInformacoes("000101", "00005"), aberto);
        QCOMPARE(Valores(), "|;|;|;|;|");
        driver->Close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!fmTngProgInf);
        driver->Use(AbreQuadroInformacoes("000101", "00001"));
        QCOMPARE(driver->Text("EdtCodCli"), "00001");
        QCOMPARE(Valores(), "160 g/m² 'penteado'|;|;4|;|só no acabamento;macio|");
        QCOMPARE(driver->Text("MmObservacao"), "Amostra d'água antes da expedição");
        driver->Click("btnConfirmar");
        QCOMPARE(Gravado(), gravado);
    }

    void fieldNoLongerStandardIsDroppedAtTheNextSave() {
        Base();
        Guarda("00001", "001", "Gramatura", "160");
        Guarda("00001", "099", "Antigo", "x");
        Guarda("00001", "009", "Toque", "macio"); // the field renumbered since
        Abre("00001");
        QCOMPARE(Valores(), "160|;|;|;|;macio|");
        QCOMPARE(driver->Text("MmObservacao"), "memo de 00001");
        // Longer than its column: refused before anything is written.
        const QStringList antes = Gravado();
        Preenche(1, "RESULTADO", QString(101, 'x'));
        QCOMPARE(ClickMessages("btnConfirmar"), "Resultados de \"Largura\" com mais de 100 caracteres.");
        QCOMPARE(Gravado(), antes);
        Preenche(1, "RESULTADO", "");
        driver->Click("btnConfirmar");
        QStringList movs;
        for (const QString& linha : Gravado())
            movs << linha.section('|', 0, 1) + '|' + linha.section('|', 3, 3);
        QCOMPARE(movs, QStringList({"001|Gramatura|160", "002|Largura|", "003|Solidez|", "004|Solidez|",
                                    "005|Toque|macio"}));
    }

    // The last insert fails after fifty rows have gone in a block of their own: nothing of it stays.
    void failedLastInsertKeepsTheStoredSheet() {
        Base();
        for (int codigo = 100; codigo < 160; ++codigo)
            Sql(QStringLiteral(
                    "INSERT INTO OFPADRAO (CODIGO, DESCRICAO, CAMPO) VALUES ('%1', 'EXTRA', 'Campo %1')")
                    .arg(codigo));
        Guarda("00001", "001", "Gramatura", "160");
        Guarda("00001", "003", "Solidez", "4");
        FailWhen("OF2", "BEFORE INSERT", "NEW.MOV = '159'");
        const QStringList antes = Gravado();
        Abre("00001");
        QCOMPARE(driver->Rows("SgQuadro"), 65);
        Preenche(0, "RESULTADO", "170");
        driver->Click("btnConfirmar");
        QCOMPARE(messages.shown.last().icon, MsgIcon::Error);
        QCOMPARE(Gravado(), antes);
        driver->Row("SgQuadro", 0);
        QCOMPARE(driver->Value("SgQuadro", "RESULTADO"), "170"); // still on screen to try again
    }

    // Shortcuts act without leaving the boxes: the save checks the codes itself.
    void blankUnknownOrBlockedCodesAreRefusedAtTheSave() {
        Base();
        Guarda("00001", "001", "Gramatura", "160");
        const QStringList antes = Gravado();
        driver->Open("TfmTngProgInf");
        const struct {
            const char *box, *typed, *text;
        } casos[] = {
            {"EdtCodCli", "", "Cliente inválido."},
            {"EdtCodCli", "00001", "Produto inválido."},
            {"EdtCodPro", "XYZ", "Produto Inexistente."},
            {"EdtCodPro", "000101",
             "Nenhuma especificação para gravar."}, // never loaded: nothing to wipe with
            {"EdtCodCli", "00003", "Cliente Bloqueado."},
            {"EdtCodCli", "77777", "Cliente Inexistente."},
        };
        for (const auto& caso : casos) {
            driver->Get<QLineEdit>(caso.box)->setText(caso.typed);
            messages.Clear();
            driver->Activate("btnConfirmar");
            QCOMPARE(TakeMessages(), caso.text);
            QCOMPARE(Gravado(), antes);
        }
    }

    void blockedAndUnknownCustomersOnLeavingTheBoxes() {
        Base();
        driver->Open("TfmTngProgInf");
        for (const auto& [codigo, texto] :
             {std::pair{"99999", "Cliente Inexistente."}, std::pair{"00003", "Cliente Bloqueado."},
              std::pair{"00004", "Cliente Inativo."}}) {
            messages.Clear();
            TypeAndTab("EdtCodCli", codigo);
            QCOMPARE(TakeMessages(), texto);
            QCOMPARE(driver->FocusedName(), "EdtCodCli");
        }
        // A blank box opens the look-up, which lists neither blocked nor inactive customers.
        driver->Type("EdtCodCli", "");
        messages.searches.enqueue("00003");
        driver->Press("Tab");
        QCOMPARE(driver->Text("EdtCodCli"), QString());
        QCOMPARE(driver->FocusedName(), "EdtCodPro");
        driver->Focus("EdtCodCli");
        messages.searches.enqueue("00002"); // BLOQUEIO never filled
        driver->Press("Tab");
        QCOMPARE(driver->Text("EdtNomeCli"), "TECELAGEM D'ÁVILA");
        TypeAndTab("EdtCodPro", "ZZZ");
        QCOMPARE(TakeMessages(), "Produto Inexistente.");
        QCOMPARE(driver->FocusedName(), "EdtCodPro");
    }

    void importWritesNothingUntilConfirmed() {
        Base();
        Guarda("00002", "003", "Solidez", "5");
        Guarda("00002", "004", "Solidez", "4-5");
        const QStringList origem = Gravado("00002");
        Abre("00001");
        Preenche(0, "RESULTADO", "digitado");
        messages.inputs.enqueue(QVariant()); // cancelled
        messages.inputs.enqueue("77777");
        driver->Click("BtnImportar");
        driver->Click("BtnImportar");
        QCOMPARE(TakeShown(), "Código do cliente|Código do cliente|Cliente Inexistente.");
        QCOMPARE(Valores(), "digitado|;|;|;|;|");

        messages.inputs.enqueue("00002");
        driver->Click("BtnImportar");
        QCOMPARE(Valores(), "|;|;5|;4-5|;|");
        QCOMPARE(driver->Text("MmObservacao"), "memo de 00002");
        QCOMPARE(driver->Text("EdtCodCli"), "00001");
        QCOMPARE(Gravado(), QStringList());
        driver->Click("btnConfirmar");
        const QStringList copia = Gravado();
        QCOMPARE(copia.size(), 5);
        QCOMPARE(copia[3], "004|Solidez|ACABAMENTO|4-5||memo de 00002|1");
        QCOMPARE(Gravado("00002"), origem);

        // A customer without a sheet brings the empty standard sheet.
        messages.inputs.enqueue("00005");
        driver->Click("BtnImportar");
        QCOMPARE(Valores(), "|;|;|;|;|");
        QCOMPARE(driver->Text("MmObservacao"), QString());
    }
};

QTEST_MAIN(TstTngProgInf)
#include "tst_tngproginf.moc"
