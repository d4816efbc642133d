#include "BenchPesagem.h"
#include "BaixaPesagem.h"
#include "Estoque.h"
#include "Funcoes.h"
#include "GravacaoAtomica.h"
#include "Medicao.h"
#include "RegrasDosagem.h"
#include "ScreenDriver.h"
#include "TZoDatabase.h"
#include <QTemporaryDir>
#include <cstdio>

// The kitchen's weighing on the generated years: a sheet of the section's own with thirty recorded lines
// (generated materials) loaded on the write-off screen, the sheets with lines to write off listed, the thirty
// lines written off as weighed (and reversed between runs). The print shop's dispensing: eight pastes of
// twelve components, each split in three orders, planned and written as files. The section deletes what it
// wrote at its end.
namespace {
const QString kFal = QStringLiteral("9600001");
constexpr int kLinhas = 30;
constexpr int kPastas = 8, kComponentes = 12;

QString material(int i) {
    return QStringLiteral("M%1").arg(i, 5, 10, QLatin1Char('0'));
}

// Stock back where it was (the opposite of the sheet's net), then its lines not written off.
void desfazBaixa(TZoDatabase& db) {
    {
        GravacaoAtomica unidade;
        TEstoque estoque;
        if (const QString recusa = estoque.Estorna(QStringLiteral("TG"), kFal, QStringLiteral("008"));
            !recusa.isEmpty())
            std::printf("reversal refused: %s\n", qPrintable(recusa));
        Executa(db, QStringLiteral("UPDATE TNG_CONSUMOS SET BAIXADO = 'N', QTDE_BAL = NULL WHERE FAL = %1")
                        .arg(Aspas(kFal)));
        unidade.Confirma();
    }
}

void removeProprias(TZoDatabase& db) {
    for (const QString& sql :
         {QStringLiteral("DELETE FROM MAT_MOV WHERE NUM_DOCTO = %1").arg(Aspas(kFal)),
          QStringLiteral("DELETE FROM TNG_CONSUMOS WHERE FAL = %1").arg(Aspas(kFal)),
          QStringLiteral("DELETE FROM LOG WHERE TITULO = 'BAIXA DE CONSUMO DA RECEITA' AND CHAVE = %1")
              .arg(Aspas(kFal)),
          QStringLiteral("DELETE FROM FAL WHERE NUMERO = %1").arg(Aspas(kFal))})
        Executa(db, sql);
    db.Transaction()->CommitRetaining();
}

void criaProprias(TZoDatabase& db) {
    removeProprias(db);
    Executa(db,
            QStringLiteral("INSERT INTO FAL (NUMERO, CLIENTE, COR, VARIANTE, STATUS, DATA_INI) VALUES (%1, "
                           "'00001', '0000000001', '01', 'A', CURRENT_DATE)")
                .arg(Aspas(kFal)));
    for (int i = 1; i <= kLinhas; ++i)
        Executa(db,
                QStringLiteral("INSERT INTO TNG_CONSUMOS (FAL, ORIGEM, CODIGO, ORDEM, QTDE, CONSUMO, TIPO, "
                               "BAIXADO, LOTE) VALUES (%1, 'TG', %2, %3, 0.1, 2, 'C', 'N', '000000')")
                    .arg(Aspas(kFal), Aspas(material(i)))
                    .arg(i));
    db.Transaction()->CommitRetaining();
}

// Eight screens' pastes of 300 kg of goods, twelve components each, colours and auxiliaries.
void planoDosagem(QList<PastaDosagem>& pastas, QList<ComponenteDosagem>& componentes) {
    for (int p = 1; p <= kPastas; ++p) {
        pastas << PastaDosagem{material(500 + p), QStringLiteral("ZQ%1").arg(p), QString(), p, 0.9, 270};
        for (int c = 1; c <= kComponentes; ++c)
            componentes << ComponenteDosagem{material(500 + p),
                                             p,
                                             material(c),
                                             QStringLiteral("COMPONENTE %1").arg(c),
                                             c % 3 ? QString() : QStringLiteral("A"),
                                             1000.0 / kComponentes,
                                             270000.0 / kComponentes};
    }
}
} // namespace

void BenchPesagem(TZoDatabase& db, ScriptedMessageService& messages) {
    TabelaBench& tabela = TabelaBench::Global();
    ScreenDriver driver(messages);
    criaProprias(db);

    // 1. A sheet's thirty lines loaded on the screen, with where each is kept.
    driver.Open(QStringLiteral("TFmTngBaiRec"));
    driver.Type(QStringLiteral("EdtFal"), kFal);
    const Medida carregar = Mede([&] { driver.Click(QStringLiteral("BtConsultar")); });
    MostraMensagens(messages, "lines loaded");
    tabela.Linha(QStringLiteral("kitchen weighing: a sheet's %1 lines loaded")
                     .arg(driver.Rows(QStringLiteral("DBGrid1"))),
                 carregar,
                 MotorMs(db, {SqlLinhasBaixa({})
                                  .replace(QStringLiteral(":DEPOSITO"), Aspas(DepositoPrioritario()))
                                  .replace(QStringLiteral(":FAL"), Aspas(kFal))}),
                 kInterativoMs);

    // 2. The sheets with lines to write off, the list's first window.
    driver.Page(QStringLiteral("PageControl1"), QStringLiteral("Consulta"));
    const Medida consulta = Mede([&] { driver.Click(QStringLiteral("BtConsultaFals")); });
    tabela.Linha(
        QStringLiteral("kitchen weighing: sheets with lines to write off listed (%1)")
            .arg(driver.Rows(QStringLiteral("DBGrid2"))),
        consulta,
        MotorMs(db,
                {QStringLiteral("SELECT FIRST 100 * FROM (%1) P ORDER BY P.NUMERO").arg(SqlConsultaBaixa())}),
        kInterativoMs);
    driver.Close();

    // 3. The thirty lines written off as weighed, one unit.
    QList<LinhaPesada> pesadas;
    for (int i = 1; i <= kLinhas; ++i)
        pesadas << LinhaPesada{material(i), i, 2.01};
    const Medida baixa =
        Mede([&] { desfazBaixa(db); },
             [&] {
                 const ResultadoBaixa r = BaixaConsumosPesados(kFal, QStringLiteral("00001"), pesadas);
                 if (!r.recusa.isEmpty() || r.baixadas != kLinhas)
                     std::printf("write-off: %d lines, %s\n", r.baixadas, qPrintable(r.recusa));
             });
    tabela.Linha(QStringLiteral("kitchen weighing: %1 weighed lines written off").arg(kLinhas), baixa, 0,
                 kInterativoMs);
    desfazBaixa(db);

    // 4. The print shop's pastes planned and written for the dispensing station.
    QList<PastaDosagem> pastas;
    QList<ComponenteDosagem> componentes;
    planoDosagem(pastas, componentes);
    const CabecalhoDosagem cabecalho{kFal,
                                     QStringLiteral("CLIENTE & FILHOS"),
                                     QStringLiteral("Z999999998"),
                                     QStringLiteral("02"),
                                     QStringLiteral("L1"),
                                     QStringLiteral("1"),
                                     QStringLiteral("ADMIN")};
    QTemporaryDir pasta;
    int arquivos = 0;
    const Medida dosagem = Mede([&] {
        const QList<OrdemDosagem> plano = PlanoDosagem(pastas, componentes);
        arquivos = int(plano.size());
        if (const QString falha = GravaArquivosReceita(pasta.path(), cabecalho, plano); !falha.isEmpty())
            std::printf("dispensing: %s\n", qPrintable(falha));
    });
    tabela.Linha(QStringLiteral("print-shop dispensing: %1 pastes planned, %2 files written")
                     .arg(kPastas)
                     .arg(arquivos),
                 dosagem, 0, kInterativoMs);
    removeProprias(db);
}
