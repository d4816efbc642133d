#include "BenchFolhaTinturaria.h"
#include "DBControls.h"
#include "Funcoes.h"
#include "HostContext.h"
#include "InstrucoesEmLote.h"
#include "Medicao.h"
#include "ScreenDriver.h"
#include "TPesquisa.h"
#include "TZoDatabase.h"
#include <QDate>
#include <cstdio>

namespace {
const QString kMalharia = QStringLiteral("99001");
const QString kPrograma = QStringLiteral("990001");

// The enterprise's knitting unit as a customer of the years, committed: its flow, 20 products each with an
// undyed counterpart priced at two positions, the raw-fabric warehouse, and programme 990001 of 200 items on
// 100 lot sheets in 20 colours with recipes, every fifth item printed.
bool preparaMalharia(TZoDatabase& db) {
    const QStringList cores = Linhas(
        db, QStringLiteral("SELECT FIRST 20 COR FROM RECEITA WHERE COR > '' GROUP BY COR ORDER BY COR"));
    const QStringList estampa =
        PrimeiraLinha(db, QStringLiteral("SELECT FIRST 1 ESTAMPA, VARIANTE FROM EST_QUADRO ORDER BY 1, 2"));
    if (cores.size() < 20 || estampa.size() < 2)
        return false;
    InstrucoesEmLote lote(db);
    lote.Adiciona(
        QStringLiteral("INSERT INTO ENTIDADE (CODCLI, NOME, TIPO_ENTIDADE, ATIVO, BLOQUEIO, TABELA) "
                       "VALUES (%1, 'UNIDADE MALHARIA', 'C', 'S', 'N', '01')")
            .arg(Aspas(kMalharia)));
    lote.Adiciona(QStringLiteral("INSERT INTO FLUXOTIN (CODCLI, CODIGO, DESCRICAO, CUSTO) VALUES (%1, '001', "
                                 "'TINGIMENTO', 0.95)")
                      .arg(Aspas(kMalharia)));
    if (Escalar(db, QStringLiteral("SELECT COUNT(*) FROM DEPOSITO WHERE PRIORIDADE = '2'")) ==
        QLatin1String("0"))
        lote.Adiciona(QStringLiteral(
            "INSERT INTO DEPOSITO (CODIGO, DESCRICAO, PRIORIDADE) VALUES ('0902', 'MALHA CRUA', '2')"));
    for (int p = 1; p <= 20; ++p) {
        const QString tinta = QStringLiteral("MK%1").arg(p, 4, 10, QLatin1Char('0'));
        const QString crua = QStringLiteral("CR%1").arg(p, 4, 10, QLatin1Char('0'));
        for (const QString& codigo : {tinta, crua})
            lote.Adiciona(QStringLiteral("INSERT INTO MATERIAL (CODIGO, DESCRICAO) VALUES (%1, 'MALHA')")
                              .arg(Aspas(codigo)));
        lote.Adiciona(QStringLiteral("INSERT INTO CADMATZO (CODIGO, CODIGO2) VALUES (%1, %2)")
                          .arg(Aspas(crua), Aspas(tinta)));
        for (int l = 1; l <= 2; ++l)
            lote.Adiciona(
                QStringLiteral("INSERT INTO MAT_ITEN (CODIGO, COR, DEPOSITO, LOTE, QTDE, PRECO_MED) "
                               "VALUES (%1, '0', '0902', 'CRU%2', 500, %3)")
                    .arg(Aspas(crua))
                    .arg(l)
                    .arg(12 + p * 0.25 + l, 0, 'f', 2));
    }
    for (int i = 0; i < 200; ++i) {
        const bool estampado = i % 5 == 4;
        lote.Adiciona(
            QStringLiteral(
                "INSERT INTO TNG_PROG (NUMERO, ORDEM, CODCLI, ENTRADA, ENTREGA, PARTIDA, CODIGO, COR, LOTE, "
                "ROLO, PESO, PESO_B, LARGURA, GRAMATURA, FAL, CODIGO_CLI, COR_CLI, ESTAMPA, VAR_EST, "
                "OBSERVACAO) "
                "VALUES (%1, %2, %3, '2026-12-01', '2026-12-08', %4, 'T00001', %5, %6, 6, 120.5, 122.3, 1.8, "
                "%7, %8, %9, %10, %11, %12, 'TEAR %13')")
                .arg(Aspas(kPrograma))
                .arg(i + 1)
                .arg(Aspas(kMalharia), Aspas(QStringLiteral("%1").arg(800001 + i / 2)), Aspas(cores[i % 20]),
                     Aspas(QStringLiteral("MK-LOTE-%1").arg(i + 1)))
                .arg(140 + i % 60)
                .arg(Aspas(QStringLiteral("K%1").arg(i / 2 + 1, 6, 10, QLatin1Char('0'))),
                     Aspas(QStringLiteral("MK%1").arg(i % 20 + 1, 4, 10, QLatin1Char('0'))),
                     Aspas(QStringLiteral("MKC%1").arg(i % 20 + 1, 3, 10, QLatin1Char('0'))),
                     estampado ? Aspas(estampa[0]) : QStringLiteral("NULL"),
                     estampado ? Aspas(estampa[1]) : QStringLiteral("NULL"))
                .arg(i % 12 + 1));
    }
    lote.Executa();
    db.Transaction()->CommitRetaining();
    return true;
}

// The order written from the programme screen as the user does it: the programme loaded, the grid's menu
// item picked; first into empty order tables and colour map, then again with nothing new.
void ordemDaMalharia(TZoDatabase& db, ScriptedMessageService& messages) {
    if (!preparaMalharia(db)) {
        std::printf("no 20 colours with recipes or no print in this database: order skipped\n");
        return;
    }
    TabelaBench& tabela = TabelaBench::Global();
    ScreenDriver driver(messages);
    driver.Open(QStringLiteral("TFmTngProg"));
    driver.Type(QStringLiteral("EdtLote"), kPrograma);
    driver.Press(QStringLiteral("Tab"));
    const auto gera = [&] { driver.Menu(QStringLiteral("GeraTinturaria")); };
    const Medida ordem = Mede(
        [&] {
            for (const char* linhas : {"TINTUR_ITEN WHERE NUMERO", "TINTUR WHERE NUMERO"})
                Executa(db,
                        QStringLiteral("DELETE FROM %1 = %2").arg(QLatin1String(linhas), Aspas(kPrograma)));
            Executa(db, QStringLiteral("DELETE FROM CADCORTI WHERE CODCLI = %1").arg(Aspas(kMalharia)));
            db.Transaction()->CommitRetaining();
            messages.Clear();
        },
        gera);
    MostraMensagens(messages, "dyeing order");
    tabela.Linha(QStringLiteral("TngProg GerarTinturaria: order of a 200-item programme"), ordem, 0, 300);
    const Medida outraVez = Mede(gera);
    messages.Clear();
    tabela.Linha(QStringLiteral("TngProg GerarTinturaria: the same order again, nothing new"), outraVez, 0,
                 300);
    driver.Close();
}
// The look-up lists a screen opens, caught as they open: what a user typing into one waits for.
class ListasAbertas : public ScriptedMessageService {
public:
    std::function<void(TPesquisa&)> aoAbrir;
    bool Search(QWidget* parent, TPesquisa& lista) override {
        if (aoAbrir)
            aoAbrir(lista);
        return ScriptedMessageService::Search(parent, lista);
    }
};

QString dataDe(const QString& iso) {
    return QDate::fromString(iso, Qt::ISODate).toString(QStringLiteral("dd/MM/yyyy"));
}

// An employee's two sheets of thirty rows among the years of sheets: one loaded as the date is left, one
// saved as a user saves it; the look-ups of lots, of a programmed lot's customers and of the stored sheets,
// each with a text typed, next to their statements fetched raw.
void folhaDoFuncionario(TZoDatabase& db, ScriptedMessageService& messages) {
    const QStringList folhas =
        Linhas(db, QStringLiteral("SELECT FIRST 2 DATA_EMI, FUNCIONARIO FROM (SELECT DATA_EMI, FUNCIONARIO, "
                                  "COUNT(*) AS N FROM PRODUCAO1 WHERE FUNCIONARIO = '00007' GROUP BY 1, 2) "
                                  "WHERE N BETWEEN 28 AND 32 ORDER BY DATA_EMI DESC"));
    const QString partida =
        Escalar(db, QStringLiteral("SELECT MAX(PARTIDA) FROM TNG_PROG WHERE PARTIDA > '' AND CODCLI > ''"));
    if (folhas.size() < 2 || partida.isEmpty())
        return;
    const QString funcionario = folhas[0].section(QLatin1Char('|'), 1, 1);
    const QString a = dataDe(folhas[0].section(QLatin1Char('|'), 0, 0)),
                  b = dataDe(folhas[1].section(QLatin1Char('|'), 0, 0));
    TabelaBench& tabela = TabelaBench::Global();
    ListasAbertas listas;
    HostContext::Current()->SetMessages(&listas);
    {
        ScreenDriver driver(listas);
        driver.Open(QStringLiteral("TfmCadProd"));
        const auto abre = [&](const QString& data) {
            driver.Type(QStringLiteral("edtData"), data);
            driver.Press(QStringLiteral("Tab"));
            driver.Type(QStringLiteral("edtCodFunc"), funcionario);
            driver.Press(QStringLiteral("Tab"));
        };
        abre(a);
        const Medida carregada = Mede([&] { abre(a); },
                                      [&] {
                                          driver.Type(QStringLiteral("edtData"), b);
                                          driver.Press(QStringLiteral("Tab"));
                                      });
        MostraMensagens(listas, "folha: load");
        tabela.Linha(QStringLiteral("TngCadProd: a 30-row sheet loaded (date left)"), carregada, 0,
                     kInterativoMs);
        const Medida gravada = Mede([&] { abre(b); }, [&] { driver.Click(QStringLiteral("btGravar")); });
        MostraMensagens(listas, "folha: save");
        tabela.Linha(QStringLiteral("TngCadProd: a 30-row sheet saved"), gravada, 0, kInterativoMs);

        // Each list as it opens: the text typed into it, timed, then the list left.
        const auto digitado = [&](const QString& nome, const QString& texto,
                                  const std::function<void()>& abreLista) {
            listas.aoAbrir = [&](TPesquisa& lista) {
                const Medida m = Mede([&] { lista.Busca(texto); });
                tabela.Linha(QStringLiteral("TngCadProd look-up %1: '%2' typed").arg(nome, texto), m,
                             MotorMs(db, {lista.Statement(texto)}), kInterativoMs);
            };
            listas.searches.enqueue(QString());
            abreLista();
            listas.aoAbrir = nullptr;
            MostraMensagens(listas, "folha: look-up");
        };
        abre(a);
        auto* grade = driver.Get<TZoDBGrid>(QStringLiteral("DBGrid1"));
        const auto f4 = [&](const QString& campo) {
            return [&, campo] {
                grade->SelectField(campo);
                driver.Press(QStringLiteral("F4"), QStringLiteral("DBGrid1"));
            };
        };
        digitado(QStringLiteral("of lots"), partida.right(3), f4(QStringLiteral("PARTIDA")));
        driver.Cell(QStringLiteral("DBGrid1"), QStringLiteral("PARTIDA"), partida);
        digitado(QStringLiteral("of the lot's customers"), QStringLiteral("CLIENTE"),
                 f4(QStringLiteral("CODCLI")));
        digitado(QStringLiteral("of stored sheets"), QStringLiteral("FUNCIONARIO 1"),
                 [&] { driver.Click(QStringLiteral("btConsultar")); });
        listas.Clear();
        listas.choices.enqueue(1); // the lot typed for the look-ups is not saved
        driver.Close();
    }
    HostContext::Current()->SetMessages(&messages);
}
} // namespace

// An employee's day sheet of lots, and what the dye-house writes back into its enterprise's production
// tables: the dyeing order of the in-house customer's programme.
void BenchFolhaTinturaria(TZoDatabase& db, ScriptedMessageService& messages) {
    folhaDoFuncionario(db, messages);
    ordemDaMalharia(db, messages);
}
