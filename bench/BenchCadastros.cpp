// The registries on years of a dye-house: each screen opened on its newest and its oldest record, browsing
// the largest ones, every look-up on its largest table, the machine rules and the price list's print.
#include "BenchCadastros.h"
#include "DBControls.h"
#include "Funcoes.h"
#include "LeiturasMaquina.h"
#include "Medicao.h"
#include "ScreenDriver.h"
#include "TPesquisa.h"
#include "TZoDatabase.h"
#include "TZoQuery.h"
#include <QApplication>
#include <QDialog>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace {
// "A, B" as "A DESC, B DESC".
QString decrescente(const QString& ordem) {
    return QString(ordem).replace(QStringLiteral(","), QStringLiteral(" DESC,")) + QStringLiteral(" DESC");
}

void linha(const QString& operacao, const Medida& medida, double piso, double orcamento) {
    TabelaBench::Global().Linha(operacao, medida, piso, orcamento);
}

// A registry on the frame: its list is the shared data set of the whole table; the record shown brings the
// descriptions of its codes (and a machine its capacity rows).
struct Cadastro {
    QString classe;
    QString tabela; // as stored
    QString ordem;  // the list's order; its last row is the newest record
    std::function<QStringList(const QStringList& chave)> detalhe;
};

void cadastros(TZoDatabase& db, ScriptedMessageService& messages) {
    ScreenDriver driver(messages);
    const QList<Cadastro> telas = {
        {QStringLiteral("TFmBanho"), QStringLiteral("BANHO"), QStringLiteral("CODIGO"), {}},
        {QStringLiteral("TFmMaquinaTin"), QStringLiteral("MAQ_TIN"), QStringLiteral("CODIGO"),
         [](const QStringList& k) {
             return QStringList{
                 QStringLiteral("SELECT * FROM BANHO ORDER BY CODIGO"),
                 QStringLiteral(
                     "SELECT C.VARIANTE, V.DESCRICAO, C.LARG_DE, C.LARG_ATE, C.PESO_MIN, C.PESO_MAX, "
                     "C.RELAC_BANHO FROM MAQ_TIN_CAP C LEFT JOIN VARIANTE V ON (V.CODIGO = "
                     "C.VARIANTE) WHERE C.MAQUINA = %1 ORDER BY C.SEQUENCIA")
                     .arg(Aspas(k.value(0))),
                 QStringLiteral("SELECT F.DESCRICAO FROM MAQ_TIN M JOIN FASE F ON (F.CODIGO = M.FASE) WHERE "
                                "M.CODIGO = %1")
                     .arg(Aspas(k.value(0)))};
         }},
        {QStringLiteral("TFmvariante"), QStringLiteral("VARIANTE"), QStringLiteral("CODIGO"), {}},
        {QStringLiteral("TfmTipoTin"), QStringLiteral("TIPO_TING"), QStringLiteral("CODIGO"), {}},
        {QStringLiteral("TfmFase"), QStringLiteral("FASE"), QStringLiteral("CODIGO"),
         [](const QStringList& k) {
             return QStringList{QStringLiteral("SELECT G.DESCRICAO FROM FASE F JOIN FASE G ON (G.CODIGO = "
                                               "F.GRUPO) WHERE F.CODIGO = %1")
                                    .arg(Aspas(k.value(0)))};
         }},
        {QStringLiteral("TFmCadCorTing"), QStringLiteral("CADCORTIN"), QStringLiteral("CODIGO"),
         [](const QStringList& k) {
             return QStringList{
                 QStringLiteral(
                     "SELECT G.DESCRICAO, F.DESCRICAO, T.DESCRICAO, E.NOME FROM CADCORTIN C LEFT JOIN "
                     "GRUPO_COR G ON (G.CODIGO = C.COD_GRUPO) LEFT JOIN TABFIS F ON (F.CODIGO = "
                     "C.COD_CLAFIS) LEFT JOIN TABTRI T ON (T.CODIGO = C.COD_CLATRIB) LEFT JOIN "
                     "ENTIDADE E ON (E.CODCLI = C.CODCLI) WHERE C.CODIGO = %1")
                     .arg(Aspas(k.value(0)))};
         }},
        {QStringLiteral("TFmTabPrecoServ"), QStringLiteral("TABPRE_SERV_001"), QStringLiteral("CODCLI, FASE"),
         [](const QStringList& k) {
             return QStringList{
                 QStringLiteral("SELECT NOME FROM ENTIDADE WHERE CODCLI = %1").arg(Aspas(k.value(0))),
                 QStringLiteral("SELECT DESCRICAO FROM FASE WHERE CODIGO = %1").arg(Aspas(k.value(1)))};
         }},
    };
    for (const Cadastro& tela : telas) {
        const QString colunas = tela.ordem, desc = decrescente(tela.ordem);
        const QStringList ultimo = PrimeiraLinha(
            db, QStringLiteral("SELECT FIRST 1 %1 FROM %2 ORDER BY %3").arg(colunas, tela.tabela, desc));
        const QStringList primeiro = PrimeiraLinha(
            db, QStringLiteral("SELECT FIRST 1 %1 FROM %2 ORDER BY %1").arg(colunas, tela.tabela));
        const int linhas =
            PrimeiraLinha(db, QStringLiteral("SELECT COUNT(*) FROM %1").arg(tela.tabela)).value(0).toInt();
        for (const bool novo : {true, false}) {
            QStringList piso{QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(tela.tabela, tela.ordem)};
            if (tela.detalhe)
                piso << tela.detalhe(novo ? ultimo : primeiro);
            const Medida m = Mede([&] {
                driver.Open(tela.classe);
                driver.Click(novo ? QStringLiteral("sbUltimo") : QStringLiteral("sbPrimeiro"));
                driver.Close();
            });
            linha(QStringLiteral("%1 (%2 rows) on its %3, closed")
                      .arg(tela.classe)
                      .arg(linhas)
                      .arg(novo ? QStringLiteral("newest") : QStringLiteral("oldest")),
                  m, MotorMs(db, piso), kAbreTelaMs);
        }
    }

    // Browsing the two largest: the colours and the service prices.
    for (const Cadastro& tela : telas) {
        if (tela.classe != QLatin1String("TFmCadCorTing") && tela.classe != QLatin1String("TFmTabPrecoServ"))
            continue;
        driver.Open(tela.classe);
        const QString desc = decrescente(tela.ordem);
        const QStringList ultimo = PrimeiraLinha(
            db, QStringLiteral("SELECT FIRST 1 %1 FROM %2 ORDER BY %3").arg(tela.ordem, tela.tabela, desc));
        const QStringList penultimo =
            PrimeiraLinha(db, QStringLiteral("SELECT FIRST 1 SKIP 1 %1 FROM %2 ORDER BY %3")
                                  .arg(tela.ordem, tela.tabela, desc));
        const QStringList primeiro = PrimeiraLinha(
            db, QStringLiteral("SELECT FIRST 1 %1 FROM %2 ORDER BY %1").arg(tela.ordem, tela.tabela));
        const QStringList segundo = PrimeiraLinha(
            db, QStringLiteral("SELECT FIRST 1 SKIP 1 %1 FROM %2 ORDER BY %1").arg(tela.ordem, tela.tabela));
        const struct {
            const char* nome;
            const char* antes;
            const char* botao;
            const QStringList& destino;
        } passos[] = {{"next", "sbPrimeiro", "sbProximo", segundo},
                      {"prior", "sbUltimo", "sbAnterior", penultimo},
                      {"first", "sbUltimo", "sbPrimeiro", primeiro},
                      {"last", "sbPrimeiro", "sbUltimo", ultimo}};
        for (const auto& passo : passos) {
            const Medida m = Mede([&] { driver.Click(QLatin1String(passo.antes)); },
                                  [&] { driver.Click(QLatin1String(passo.botao)); });
            linha(QStringLiteral("%1: %2 record").arg(tela.classe, QLatin1String(passo.nome)), m,
                  MotorMs(db, tela.detalhe(passo.destino)), kInterativoMs);
        }
        driver.Close();
    }

    // Registries edited one code at a time: the code typed and left loads it.
    const struct {
        const char* classe;
        const char* caixa;
        const char* tabela;
        std::function<QString(const QString&)> carga;
    } porCodigo[] = {
        {"TfmTngRoteiro", "EdtCodigo", "ROTEIRO",
         [](const QString& c) {
             return QStringLiteral("SELECT R.CODIGO, R.DESCRICAO, R.ORDEM, R.FASE, R.DIAS, F.DESCRICAO FROM "
                                   "ROTEIRO R LEFT JOIN FASE F ON (R.FASE = F.CODIGO) WHERE R.CODIGO = %1")
                 .arg(Aspas(c));
         }},
        {"TFmCadPrepara", "EdtCodPrep", "PREPARACAO",
         [](const QString& c) {
             return QStringLiteral(
                        "SELECT P.*, M.DESCRICAO, (SELECT FIRST 1 R.DESCRICAO FROM TNG_REGRA R WHERE "
                        "R.CODIGO = P.REGRA) FROM PREPARACAO P LEFT JOIN MATERIAL M ON (P.MATERIAL "
                        "= M.CODIGO) WHERE P.CODIGO = %1 ORDER BY P.ORDEM")
                 .arg(Aspas(c));
         }},
        {"TFmTngCadRegRec", "EdtCodigo", "TNG_REGRA",
         [](const QString& c) {
             return QStringLiteral(
                        "SELECT R.DESCRICAO, R.LINHA, R.TIPO, R.ORDEM, R.QTDE_DE, R.QTDE_ATE, R.QTDE_R "
                        "FROM TNG_REGRA R WHERE R.CODIGO = %1 ORDER BY R.ORDEM")
                 .arg(Aspas(c));
         }},
    };
    for (const auto& tela : porCodigo) {
        const QStringList extremos = PrimeiraLinha(
            db, QStringLiteral("SELECT MAX(CODIGO), MIN(CODIGO), COUNT(DISTINCT CODIGO) FROM %1")
                    .arg(QLatin1String(tela.tabela)));
        for (const bool novo : {true, false}) {
            const QString codigo = extremos.value(novo ? 0 : 1);
            const Medida m = Mede([&] {
                driver.Open(QLatin1String(tela.classe));
                driver.Type(QLatin1String(tela.caixa), codigo);
                driver.Press(QStringLiteral("Tab"));
                driver.Close();
            });
            linha(QStringLiteral("%1 (%2 codes) on its %3, closed")
                      .arg(QLatin1String(tela.classe), extremos.value(2),
                           novo ? QStringLiteral("newest") : QStringLiteral("oldest")),
                  m,
                  MotorMs(db, {tela.carga(codigo),
                               QStringLiteral("SELECT FIRST 1 DESCRICAO FROM %1 WHERE CODIGO = %2")
                                   .arg(QLatin1String(tela.tabela), Aspas(codigo))}),
                  kAbreTelaMs);
        }
    }
}

// A look-up configured as the screen that opens it does.
struct Consulta {
    QString nome;
    std::function<void(TPesquisa&)> configura;
    QString digitado; // a realistic filter; its first letter is the widest search of the typing
    bool abertura;    // the dialog's opening (nothing typed) is measured too
};

// Runs the dialog until it has shown its first rows, then closes it.
void abreDialogo(TPesquisa& pesquisa) {
    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialog->repaint();
            dialog->reject();
        }
    });
    pesquisa.ExecDialog(nullptr);
}

void pesquisas(TZoDatabase& db) {
    const QList<Consulta> consultas = {
        // the invoice screen's customer box
        {QStringLiteral("customers (ENTIDADE)"),
         [](TPesquisa& p) {
             p.Tabela = QStringLiteral("ENTIDADE");
             p.CampoChave = QStringLiteral("CODCLI");
             p.Campos = QStringList{QStringLiteral("CODCLI"), QStringLiteral("NOME")};
             p.Filtro = QStringLiteral("COALESCE(ATIVO, 'S') <> 'N' AND COALESCE(BLOQUEIO, 'N') <> 'S'");
         },
         QStringLiteral("CLIENTE 12"), false},
        // the invoice item's fabric
        {QStringLiteral("fabrics (PRODUTO)"),
         [](TPesquisa& p) {
             p.Tabela = QStringLiteral("PRODUTO");
             p.CampoChave = QStringLiteral("CODIGO");
             p.Campos = QStringList{QStringLiteral("CODIGO"), QStringLiteral("DESCRICAO")};
             p.Filtro = QStringLiteral("COALESCE(ATIVO, 'S') <> 'N'");
         },
         QStringLiteral("MALHA 12"), true},
        // the recipe item's dye or chemical
        {QStringLiteral("dyes and chemicals (MATERIAL)"),
         [](TPesquisa& p) {
             p.Tabela = QStringLiteral("MATERIAL");
             p.CampoChave = QStringLiteral("CODIGO");
             p.Campos = QStringList{QStringLiteral("CODIGO"), QStringLiteral("DESCRICAO"),
                                    QStringLiteral("UNIDADE")};
             p.Filtro = QStringLiteral("ATIVO = 'S'");
         },
         QStringLiteral("CORANTE 7"), false},
        // the colour registry's Consultar
        {QStringLiteral("colours (CADCORTIN)"),
         [](TPesquisa& p) {
             p.Tabela = QStringLiteral("CADCORTIN");
             p.CampoChave = QStringLiteral("CODIGO");
             p.Campos = QStringList{QStringLiteral("CODIGO"), QStringLiteral("DESCRICAO")};
         },
         QStringLiteral("COR 25"), true},
        // the recipe screen's search
        {QStringLiteral("recipes (RECEITA)"),
         [](TPesquisa& p) {
             p.SQL = QStringLiteral("SELECT R.CODIGO || '/' || R.VARIANTE AS RECEITA, R.CODIGO, R.VARIANTE, "
                                    "R.DESCRICAO, R.COR FROM RECEITA R");
             p.CampoChave = QStringLiteral("RECEITA");
             p.CampoBusca = QStringLiteral("DESCRICAO");
             p.OrdenarPor = QStringLiteral("CODIGO, VARIANTE");
         },
         QStringLiteral("RECEITA 01"), true},
        // the invoice screen's Consultar
        {QStringLiteral("invoices (NFTIN)"),
         [](TPesquisa& p) {
             p.SQL = QStringLiteral(
                 "SELECT N.NOTA || '/' || N.CLIENTE AS CHAVE, N.NOTA, N.CLIENTE, E.NOME, N.DATA "
                 "FROM NFTIN N LEFT JOIN ENTIDADE E ON (E.CODCLI = N.CLIENTE)");
             p.CampoChave = QStringLiteral("CHAVE");
             p.CampoBusca = QStringLiteral("NOME");
             p.OrdenarPor = QStringLiteral("DATA DESC, NOTA DESC, CLIENTE DESC");
         },
         QStringLiteral("CLIENTE 7"), true},
        // no screen looks lot sheets up yet: as the frame's Consultar would, in the order of their numbers
        {QStringLiteral("lot sheets (FAL)"),
         [](TPesquisa& p) {
             p.Tabela = QStringLiteral("FAL");
             p.CampoChave = QStringLiteral("NUMERO");
             p.Campos = QStringList{QStringLiteral("NUMERO"), QStringLiteral("CLIENTE"),
                                    QStringLiteral("COR"), QStringLiteral("DATA_INI")};
             p.OrdenarPor = QStringLiteral("NUMERO");
         },
         QStringLiteral("00012"), true},
    };
    for (const Consulta& c : consultas) {
        TPesquisa pesquisa;
        c.configura(pesquisa);
        if (c.abertura) {
            linha(QStringLiteral("look-up %1: opened, nothing typed").arg(c.nome),
                  Mede([&] { abreDialogo(pesquisa); }), MotorMs(db, {pesquisa.Statement(QString())}),
                  kInterativoMs);
            // Scrolled to the end of the first rows: the next ones come, into a list on the screen.
            TZoDBGrid lista;
            lista.resize(640, 360);
            lista.SetDataSet(pesquisa.Busca(QString()));
            lista.show();
            linha(QStringLiteral("look-up %1: scrolled past the first rows").arg(c.nome),
                  Mede([&] { pesquisa.Busca(QString()); }, [&] { pesquisa.BuscaMais(); }),
                  MotorMs(db, {pesquisa.Statement(QString(), TPesquisa::kJanela)}), kInterativoMs);
        }
        for (const QString& texto : {c.digitado.left(1), c.digitado}) {
            linha(QStringLiteral("look-up %1: '%2' typed").arg(c.nome, texto),
                  Mede([&] { pesquisa.Busca(texto); }), MotorMs(db, {pesquisa.Statement(texto)}),
                  kInterativoMs);
        }
    }
}

// The machine rules the programme and recipe issue apply, on the largest machine code and a variant it has.
void regras(TZoDatabase& db) {
    const QStringList cap = PrimeiraLinha(
        db, QStringLiteral("SELECT FIRST 1 MAQUINA, VARIANTE, PESO_MIN, PESO_MAX FROM MAQ_TIN_CAP ORDER BY "
                           "MAQUINA DESC, VARIANTE DESC"));
    const QString maquina = cap.value(0), variante = cap.value(1);
    const double peso = (cap.value(2).toDouble() + cap.value(3).toDouble()) / 2;
    const QString onde =
        QStringLiteral("WHERE C.MAQUINA = %1 AND C.VARIANTE = %2").arg(Aspas(maquina), Aspas(variante));
    bool aceita = false;
    linha(
        QStringLiteral("capacity rule (machine %1, variant %2)").arg(maquina, variante), Mede([&] {
            aceita =
                ForaDaCapacidade(maquina, variante, FaixasCapacidade(maquina, variante), 1.6, peso).isEmpty();
        }),
        MotorMs(db, {QStringLiteral("SELECT COALESCE(C.LARG_DE, 0), COALESCE(C.LARG_ATE, 0), "
                                    "COALESCE(C.PESO_MIN, 0), COALESCE(C.PESO_MAX, 0) FROM MAQ_TIN_CAP C %1 "
                                    "ORDER BY C.SEQUENCIA")
                         .arg(onde)}),
        kInterativoMs);
    if (!aceita)
        std::printf("capacity rule refused a weight within the machine's own row\n");
    linha(
        QStringLiteral("bath rule (machine %1, variant %2)").arg(maquina, variante),
        Mede([&] { BanhoCapacidade(maquina, variante, QStringLiteral("01")); }),
        MotorMs(db, {QStringLiteral("SELECT FIRST 1 C.RELAC_BANHO FROM MAQ_TIN_CAP C %1 ORDER BY C.SEQUENCIA")
                         .arg(onde)}),
        kInterativoMs);
}

// The price list's print, whole and of one customer.
void impressoes(TZoDatabase& db, ScriptedMessageService& messages) {
    QTemporaryDir pasta;
    const QByteArray antes = qgetenv("KELM_REPORT_DIR");
    qputenv("KELM_REPORT_DIR", pasta.path().toLocal8Bit());
    const QString cliente =
        PrimeiraLinha(db,
                      QStringLiteral("SELECT FIRST 1 CODCLI FROM TABPRE_SERV_001 GROUP BY CODCLI ORDER BY "
                                     "COUNT(*) DESC, CODCLI"))
            .value(0);
    ScreenDriver driver(messages);
    driver.Open(QStringLiteral("TFmTabPrecoServ"));
    for (const QString& filtro : {QString(), cliente}) {
        const QString sql =
            QStringLiteral("SELECT CODCLI, CLIENTE, FASE, DESCRICAO, CUSTO FROM TABPRE_SERV_001 %1 ORDER BY "
                           "CODCLI, FASE")
                .arg(filtro.isEmpty() ? QString() : QStringLiteral("WHERE CODCLI = ") + Aspas(filtro));
        if (!filtro.isEmpty()) {
            // The list narrowed to the customer, in memory.
            linha(QStringLiteral("service prices filtered to one customer"),
                  Mede(
                      [&] {
                          driver.Type(QStringLiteral("EdtFiltroCli"), QString());
                          driver.Press(QStringLiteral("Enter"));
                          driver.Type(QStringLiteral("EdtFiltroCli"), filtro);
                      },
                      [&] { driver.Press(QStringLiteral("Enter")); }),
                  MotorMs(db, {sql}), kInterativoMs);
        }
        const int linhas =
            PrimeiraLinha(db, QStringLiteral("SELECT COUNT(*) FROM (%1)").arg(sql)).value(0).toInt();
        const double piso = RelatorioMotorMs(db, sql, kRodadas);
        const Medida m = Mede([&] { driver.Click(QStringLiteral("BtImprimir")); });
        linha(QStringLiteral("service prices printed (%1, %2 rows)")
                  .arg(filtro.isEmpty() ? QStringLiteral("all") : QStringLiteral("one customer"))
                  .arg(linhas),
              m, piso, 1.2 * piso);
    }
    driver.Close();
    if (antes.isNull())
        qunsetenv("KELM_REPORT_DIR");
    else
        qputenv("KELM_REPORT_DIR", antes);
}
} // namespace

void BenchCadastros(TZoDatabase& db, ScriptedMessageService& messages) {
    cadastros(db, messages);
    pesquisas(db);
    regras(db);
    impressoes(db, messages);
    if (!messages.Texts().isEmpty())
        std::printf("messages shown: %s\n", qPrintable(messages.Texts().join(QStringLiteral(" | "))));
}
