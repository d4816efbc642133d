#include "BenchEstamparia.h"
#include "DataSet.h"
#include "Funcoes.h"
#include "Medicao.h"
#include "ScreenDriver.h"
#include "TZoDatabase.h"

// The print shop's register on the generated years: a design of the section's own with 20 screens, each
// printing a paste of three components (the first generated materials), loaded by its variant and saved
// wholesale. The section deletes what it wrote at its end.
namespace {
const QString kEstampa = QStringLiteral("Z999999998");
constexpr int kQuadros = 20;

QString quadro(int i) {
    return QStringLiteral("ZQ%1").arg(i, 2, 10, QLatin1Char('0'));
}
QString pasta(int i) {
    return QStringLiteral("M%1").arg(i, 5, 10, QLatin1Char('0'));
}

void removeProprias(TZoDatabase& db) {
    QStringList quadros, pastas;
    for (int i = 1; i <= kQuadros; ++i) {
        quadros << quadro(i);
        pastas << pasta(i);
    }
    for (const QString& sql :
         {QStringLiteral("DELETE FROM EST_QUADRO WHERE ESTAMPA = %1").arg(Aspas(kEstampa)),
          QStringLiteral("DELETE FROM LOG WHERE TITULO = 'CONSUMO DA ESTAMPARIA' AND CHAVE = %1")
              .arg(Aspas(kEstampa)),
          QStringLiteral("DELETE FROM COMP_MATERIAL WHERE MATERIAL IN (%1)").arg(ListaSql(pastas)),
          QStringLiteral("DELETE FROM QUADRO WHERE CODIGO IN (%1)").arg(ListaSql(quadros)),
          QStringLiteral("DELETE FROM CADCORTIN WHERE CODIGO = %1").arg(Aspas(kEstampa))})
        Executa(db, sql);
    db.Transaction()->CommitRetaining();
}

void criaProprias(TZoDatabase& db) {
    removeProprias(db);
    Executa(db, QStringLiteral("INSERT INTO CADCORTIN (CODIGO, DESCRICAO) VALUES (%1, 'BENCH')")
                    .arg(Aspas(kEstampa)));
    for (int i = 1; i <= kQuadros; ++i) {
        Executa(db, QStringLiteral(
                        "INSERT INTO QUADRO (CODIGO, DESCRICAO, LOCAL, ESPESSURA) VALUES (%1, 'BENCH', "
                        "'R1', '0,5')")
                        .arg(Aspas(quadro(i))));
        for (int c = 1; c <= 3; ++c)
            Executa(db, QStringLiteral(
                            "INSERT INTO COMP_MATERIAL (MATERIAL, CODIGO, ORDEM, PERC) VALUES (%1, %2, "
                            "%3, 0.1)")
                            .arg(Aspas(pasta(i)), Aspas(pasta(100 + 3 * i + c)))
                            .arg(c));
        Executa(db,
                QStringLiteral("INSERT INTO EST_QUADRO (ESTAMPA, VARIANTE, ORDEM, QUADRO, PRODUTO, CONSUMO) "
                               "VALUES (%1, '01', %2, %3, %4, 0.05)")
                    .arg(Aspas(kEstampa))
                    .arg(i)
                    .arg(Aspas(quadro(i)), Aspas(pasta(i))));
    }
    db.Transaction()->CommitRetaining();
}
} // namespace

void BenchEstamparia(TZoDatabase& db, ScriptedMessageService& messages) {
    TabelaBench& tabela = TabelaBench::Global();
    ScreenDriver driver(messages);
    criaProprias(db);
    const auto abre = [&] {
        driver.Close();
        driver.Open(QStringLiteral("TFmTngConsEst"));
        driver.Type(QStringLiteral("EdtEstampa"), kEstampa);
        driver.Press(QStringLiteral("Tab"));
    };
    const auto carrega = [&] {
        driver.Type(QStringLiteral("EdtVariante"), QStringLiteral("01"));
        driver.Press(QStringLiteral("Tab"));
    };
    const Medida leitura = Mede(abre, carrega);
    MostraMensagens(messages, "design loaded");
    const int linhas = driver.Screen()->findChild<TDataSet*>(QStringLiteral("TbConsumo"))->RecordCount();
    tabela.Linha(
        QStringLiteral("print-shop register: a design of %1 screens loaded, pastes costed").arg(linhas),
        leitura, 0, kInterativoMs);
    const Medida gravacao = Mede(
        [&] {
            abre();
            carrega();
            driver.Row(QStringLiteral("DBGrid1"), 0);
            driver.Cell(QStringLiteral("DBGrid1"), QStringLiteral("Obs"), QStringLiteral("BENCH"));
        },
        [&] { driver.Click(QStringLiteral("BtGravar")); });
    MostraMensagens(messages, "design saved");
    tabela.Linha(QStringLiteral("print-shop register: a design of %1 screens saved").arg(kQuadros), gravacao,
                 0, kInterativoMs);
    driver.Close();
    removeProprias(db);
}
