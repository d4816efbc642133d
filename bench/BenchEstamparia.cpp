#include "BenchEstamparia.h"
#include "DataSet.h"
#include "Estoque.h"
#include "FichaEstampa.h"
#include "Funcoes.h"
#include "GravacaoAtomica.h"
#include "Medicao.h"
#include "ScreenDriver.h"
#include "TZoDatabase.h"
#include <cstdio>

// The print shop on the generated years, with a design of the section's own: its variant 01 of 20 screens,
// each printing a paste of three components (generated materials), loaded and saved wholesale on the
// register; its variant 02 of 8 screens whose pastes have 12 components each, computed for five lot sheets on
// the print-shop sheet and written off. The section deletes what it wrote at its end.
namespace {
const QString kEstampa = QStringLiteral("Z999999998");
constexpr int kQuadros = 20;
constexpr int kQuadrosFicha = 8, kComponentes = 12;
const QStringList kFals = {QStringLiteral("9700101"), QStringLiteral("9700102"), QStringLiteral("9700103"),
                           QStringLiteral("9700104"), QStringLiteral("9700105")};

QString quadro(int i) {
    return QStringLiteral("ZQ%1").arg(i, 2, 10, QLatin1Char('0'));
}
QString pasta(int i) {
    return QStringLiteral("M%1").arg(i, 5, 10, QLatin1Char('0'));
}

void removeProprias(TZoDatabase& db) {
    QStringList quadros, pastas;
    for (int i = 1; i <= kQuadros + kQuadrosFicha; ++i) {
        quadros << quadro(i);
        pastas << pasta(i);
    }
    for (const QString& sql :
         {QStringLiteral("DELETE FROM MAT_MOV WHERE NUM_DOCTO = %1").arg(Aspas(kFals.first())),
          QStringLiteral("DELETE FROM TNG_CONSUMOS WHERE FAL IN (%1)").arg(ListaSql(kFals)),
          QStringLiteral("DELETE FROM LOG WHERE TITULO = 'FICHA DE ESTAMPARIA' AND CHAVE = %1")
              .arg(Aspas(kFals.first())),
          QStringLiteral("DELETE FROM FAL_ITEN WHERE FAL IN (%1)").arg(ListaSql(kFals)),
          QStringLiteral("DELETE FROM FAL WHERE NUMERO IN (%1)").arg(ListaSql(kFals)),
          QStringLiteral("DELETE FROM EST_QUADRO WHERE ESTAMPA = %1").arg(Aspas(kEstampa)),
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
    // Variant 02: 8 screens whose pastes are the next materials, of 12 components each.
    for (int i = kQuadros + 1; i <= kQuadros + kQuadrosFicha; ++i) {
        Executa(db, QStringLiteral(
                        "INSERT INTO QUADRO (CODIGO, DESCRICAO, LOCAL, ESPESSURA) VALUES (%1, 'BENCH', "
                        "'R1', '0,5')")
                        .arg(Aspas(quadro(i))));
        for (int c = 1; c <= kComponentes; ++c)
            Executa(db, QStringLiteral(
                            "INSERT INTO COMP_MATERIAL (MATERIAL, CODIGO, ORDEM, PERC) VALUES (%1, %2, "
                            "%3, 10)")
                            .arg(Aspas(pasta(i)), Aspas(pasta(200 + kComponentes * i + c)))
                            .arg(c));
        Executa(db,
                QStringLiteral("INSERT INTO EST_QUADRO (ESTAMPA, VARIANTE, ORDEM, QUADRO, PRODUTO, CONSUMO, "
                               "CONSUMO_BOMBA) VALUES (%1, '02', %2, %3, %4, 0.05, 1)")
                    .arg(Aspas(kEstampa))
                    .arg(i - kQuadros)
                    .arg(Aspas(quadro(i)), Aspas(pasta(i))));
    }
    for (const QString& fal : kFals)
        for (const QString& sql :
             {QStringLiteral(
                  "INSERT INTO FAL (NUMERO, CLIENTE, ESTAMPA, VAR_EST) VALUES (%1, '00001', %2, '02')")
                  .arg(Aspas(fal), Aspas(kEstampa)),
              QStringLiteral(
                  "INSERT INTO FAL_ITEN (FAL, CODIGO, ORD_IT, PESO, LARGURA, GRAMATURA) VALUES (%1, "
                  "'T00001', 1, 50, 1.6, 180)")
                  .arg(Aspas(fal))})
            Executa(db, sql);
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

    // The sheet: five lot sheets, eight screens of twelve components, computed; then written off.
    const Medida ficha = Mede(
        [&] {
            driver.Close();
            driver.Open(QStringLiteral("TFmRelTngEst"));
            for (const QString& fal : kFals) {
                driver.Type(QStringLiteral("EdtFal"), fal);
                driver.Press(QStringLiteral("Tab"));
            }
            driver.Type(QStringLiteral("EdtIndice"), QStringLiteral("1"));
        },
        [&] { driver.Click(QStringLiteral("BtConfirmar")); });
    MostraMensagens(messages, "sheet computed");
    TDataSet* comp = driver.Screen()->findChild<TDataSet*>(QStringLiteral("TbComp"));
    tabela.Linha(QStringLiteral("print-shop sheet: 5 lot sheets, %1 screens, %2 components computed")
                     .arg(kQuadrosFicha)
                     .arg(comp->RecordCount()),
                 ficha, 0, kInterativoMs);
    QList<BaixaComponente> componentes;
    for (int i = 0; i < comp->RecordCount(); ++i)
        componentes << BaixaComponente{
            comp->ValueAt(i, comp->FieldIndex(QStringLiteral("Codigo"))).toString(),
            comp->ValueAt(i, comp->FieldIndex(QStringLiteral("Ordem"))).toInt(),
            comp->ValueAt(i, comp->FieldIndex(QStringLiteral("Peso"))).toDouble(),
            comp->ValueAt(i, comp->FieldIndex(QStringLiteral("Consumo"))).toDouble()};
    driver.Close();
    // What the last run wrote off comes back, so the stock stays the sum of the movements left.
    const auto desfaz = [&] {
        GravacaoAtomica unidade;
        TEstoque().Estorna(QStringLiteral("TE"), kFals.first(), QStringLiteral("008"));
        Executa(db, QStringLiteral("DELETE FROM TNG_CONSUMOS WHERE FAL = %1 AND ORIGEM = 'TE'")
                        .arg(Aspas(kFals.first())));
        unidade.Confirma();
    };
    const Medida baixa = Mede(desfaz, [&] {
        const QString texto = BaixaFichaEstampa(kFals, QStringLiteral("0001"), componentes);
        if (texto != QLatin1String("Estoque baixado com sucesso."))
            std::printf("write-off: %s\n", qPrintable(texto));
    });
    tabela.Linha(QStringLiteral("print-shop sheet: %1 components written off").arg(componentes.size()), baixa,
                 0, 2 * kInterativoMs);
    desfaz();
    removeProprias(db);
}
