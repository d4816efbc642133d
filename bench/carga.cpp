// ./kelm load: a working day of several workstations on one Firebird server. Each station is a process of
// its own working the screens as its role does; at the end of the day the figures of every operation, and
// whether the database still holds together and holds every save the stations made.
#include "BancoBench.h"
#include "Estacao.h"
#include "FimDoDia.h"
#include "Funcoes.h"
#include "HostError.h"
#include "LocalSettings.h"
#include "Medicao.h"
#include "TZoDatabase.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {
// Who works at the first N stations: the clerk, the planners and the lot-sheet desk share the customer
// first, then the lab, the floor and management, then a second lot-sheet desk, then the print shop.
const QStringList kPapeis = {
    QStringLiteral("nota"),        QStringLiteral("programacao"), QStringLiteral("fal"),
    QStringLiteral("programacao"), QStringLiteral("laboratorio"), QStringLiteral("chao"),
    QStringLiteral("gestao"),      QStringLiteral("fal"),         QStringLiteral("estamparia")};

int inteiro(const QStringList& args, const char* nome, int padrao) {
    return Opcao(args, nome, QString::number(padrao)).toInt();
}

// ---- before the day

// The shared choices, the fixtures every role needs and each planner's programme, committed at once.
DiaDeTrabalho preparaDia(TZoDatabase& db, const QStringList& papeis, QHash<QString, QStringList>& listas) {
    DiaDeTrabalho dia;
    dia.cliente =
        Escalar(db, QStringLiteral("SELECT FIRST 1 I.CODCLI FROM NFITIN I JOIN ENTIDADE E ON (E.CODCLI = "
                                   "I.CODCLI) WHERE I.PESO >= 150 AND E.BLOQUEIO = 'N' AND E.ATIVO = 'S' "
                                   "GROUP BY I.CODCLI ORDER BY COUNT(*) DESC"));
    const QStringList cor = PrimeiraLinha(
        db, QStringLiteral(
                "SELECT FIRST 1 R.COR, R.VARIANTE FROM RECEITA R JOIN TABPRECO T ON (T.COR = R.COR AND "
                "T.VARIANTE = R.VARIANTE AND T.REGIAO = '01') JOIN VARIANTE V ON (V.CODIGO = "
                "R.VARIANTE) WHERE R.LIBERADA = '1' AND COALESCE(V.INDICE, '') IN ('', '0', '100') AND "
                "NOT EXISTS (SELECT 1 FROM RECEITA X WHERE X.COR = R.COR AND X.VARIANTE = R.VARIANTE "
                "AND X.LIBERADA = '2') ORDER BY R.COR DESC"));
    dia.cor = cor.value(0);
    dia.variante = cor.value(1);
    dia.roteiro =
        PrimeiraLinha(db, QStringLiteral("SELECT FIRST 1 CODIGO, COUNT(*) FROM ROTEIRO GROUP BY CODIGO "
                                         "ORDER BY 2 DESC, 1"))
            .value(0);
    dia.maquina = QStringLiteral("ZZ9");
    for (const QString& t : Linhas(db, QStringLiteral("SELECT FIRST 60 CODIGO FROM PRODUTO ORDER BY CODIGO")))
        dia.tecidos << t;
    if (dia.cliente.isEmpty() || dia.cor.isEmpty() || dia.roteiro.isEmpty())
        throw EDatabaseError(
            QStringLiteral("this database has no customer, colour or route for a working day"));
    const QString c = Aspas(dia.cliente);
    QStringList sql{
        QStringLiteral("UPDATE ENTIDADE SET LIMITE_CREDITO = 100000000 WHERE CODCLI = %1").arg(c),
        QStringLiteral(
            "INSERT INTO MAQ_TIN (CODIGO, DESCRICAO, PESO_MIN, PESO_MAX) VALUES ('ZZ9', 'CARGA', 0, 0)"),
        QStringLiteral("INSERT INTO MAQ_TIN (CODIGO, DESCRICAO) VALUES ('ZZ1', 'CARGA CHAO')"),
        QStringLiteral("INSERT INTO TURNO (TURNO, DESCRICAO, NOTURNO) VALUES ('Z1', 'CARGA', 'N')"),
        QStringLiteral("INSERT INTO PESSOAL (CODIGO, NOME, TURNO) VALUES ('99999', 'CARGA', 'Z1')")};
    for (int dia = 1; dia <= 7; ++dia)
        sql << QStringLiteral("INSERT INTO TURNO_HORARIOS (TURNO, DIA, ENTRADA, SAIDA) VALUES ('Z1', %1, "
                              "'00:00:00', '23:59:59')")
                   .arg(dia);
    // The customer is also the enterprise's knitting side, with a dyeing flow: each planner's programme
    // carries its products and a colour of the planner's own (so no two stations write one row of the
    // customer's colour map).
    sql << QStringLiteral("INSERT INTO FLUXOTIN (CODCLI, CODIGO, DESCRICAO, CUSTO) VALUES (%1, '001', "
                          "'CARGA', 0.9)")
               .arg(c);
    // Each planner's programme: ten open items of the customer's invoices with weight free.
    for (int k = 1; k <= papeis.size(); ++k)
        if (papeis.value(k - 1) == QLatin1String("programacao"))
            sql << QStringLiteral(
                       "INSERT INTO TNG_PROG (NUMERO, ORDEM, CODCLI, ENTRADA, ENTREGA, PARTIDA, CODIGO, COR, "
                       "VARIANTE, MAQUINA, ROTEIRO, LOTE, LOTENF, NOTA, ROLO, PESO, PESO_B, LARGURA, "
                       "GRAMATURA, "
                       "FIBRA1, FIBRA2, REGIAO, CODIGO_CLI, COR_CLI) SELECT FIRST 10 SKIP %1 '9990%2', "
                       "ROW_NUMBER() OVER (ORDER "
                       "BY "
                       "N.NOTA, N.CODIGO, N.LOTE), N.CODCLI, CURRENT_DATE, CURRENT_DATE + 10, '9990%2', "
                       "N.CODIGO, "
                       "%3, %4, 'ZZ9', %5, N.LOTE, N.LOTE, N.NOTA, 1, 2, 0, 0, 0, 0, 0, (SELECT TABELA FROM "
                       "ENTIDADE WHERE CODCLI = N.CODCLI), N.CODIGO, 'CARGA%2' FROM NFITIN N WHERE N.CODCLI "
                       "= %6 AND N.PESO_REAL "
                       "- "
                       "N.PESO_PROG > 5 AND N.LOTE IS NOT NULL ORDER BY N.NOTA DESC, N.CODIGO, N.LOTE")
                       .arg(k * 5)
                       .arg(k, 2, 10, QLatin1Char('0'))
                       .arg(Aspas(dia.cor), Aspas(dia.variante), Aspas(dia.roteiro), c);
    for (const QString& s : std::as_const(sql))
        Executa(db, s);
    // Recipes a save takes once the lab gives them a curve and a bath: described, their variant and colour
    // exist, no product inactive. The curves and baths the lab picks from.
    listas[QStringLiteral("receitas")] = Linhas(
        db, QStringLiteral(
                "SELECT FIRST 300 R.CODIGO, R.VARIANTE FROM RECEITA R WHERE EXISTS (SELECT 1 FROM "
                "CADCORTIN C WHERE C.CODIGO = R.COR) AND EXISTS (SELECT 1 FROM VARIANTE V WHERE V.CODIGO "
                "= R.VARIANTE) AND TRIM(R.DESCRICAO) > '' AND NOT EXISTS (SELECT 1 FROM MAT_TIN M JOIN "
                "MATERIAL T ON (T.CODIGO = M.CODIGO) WHERE M.RECEITA = R.CODIGO AND M.VARIANTE = "
                "R.VARIANTE AND T.ATIVO = 'N') ORDER BY R.CODIGO DESC"));
    for (const QString& curva : Linhas(db, QStringLiteral("SELECT CODIGO FROM GRAFICO ORDER BY CODIGO")))
        for (const QString& banho :
             Linhas(db, QStringLiteral("SELECT FIRST 1 CODIGO FROM BANHO ORDER BY CODIGO")))
            listas[QStringLiteral("curvas")] << curva + QLatin1Char('|') + banho;
    // Invoices management looks up, by the look-up's key.
    listas[QStringLiteral("notas")] = Linhas(
        db, QStringLiteral("SELECT FIRST 200 NOTA || '/' || CLIENTE FROM NFTIN ORDER BY DATA DESC, NOTA "
                           "DESC, CLIENTE DESC"));
    // The floor's lots: the newest sheets with steps still open, whose recipe the kitchen can issue (no
    // inactive material in it or in its preparation).
    listas[QStringLiteral("lotes")] =
        Linhas(db, QStringLiteral(
                       "SELECT FIRST 200 F.NUMERO FROM FAL F WHERE F.NUMERO < '9000000' AND EXISTS "
                       "(SELECT 1 FROM PROCESSO_TIN P WHERE P.FAL = F.NUMERO AND P.CONCLUIDO = "
                       "'N') AND NOT EXISTS (SELECT 1 FROM RECEITA R JOIN MATERIAL T ON (T.ATIVO = 'N') "
                       "WHERE R.COR = F.COR AND R.VARIANTE = F.VARIANTE AND (EXISTS (SELECT 1 FROM MAT_TIN "
                       "M WHERE M.RECEITA = R.CODIGO AND M.VARIANTE = R.VARIANTE AND M.CODIGO = T.CODIGO) "
                       "OR EXISTS (SELECT 1 FROM PREPARACAO X WHERE X.CODIGO = R.PREPARACAO AND "
                       "X.MATERIAL = T.CODIGO))) ORDER BY F.NUMERO DESC"));
    // The kitchen's sheets with recorded lines not written off, none of an inactive material.
    listas[QStringLiteral("pesar")] =
        Linhas(db, QStringLiteral(
                       "SELECT FIRST 200 P.FAL FROM (SELECT DISTINCT C.FAL FROM TNG_CONSUMOS C WHERE "
                       "C.BAIXADO = 'N' AND C.ORIGEM = 'TG') P WHERE P.FAL < '9000000' AND NOT EXISTS "
                       "(SELECT 1 FROM TNG_CONSUMOS X JOIN MATERIAL M ON (M.CODIGO = X.CODIGO) WHERE X.FAL "
                       "= P.FAL AND M.ATIVO = 'N') ORDER BY P.FAL DESC"));
    // Finished sheets with fabric to label: no step open, not reprocessed.
    listas[QStringLiteral("etiquetar")] = Linhas(
        db, QStringLiteral(
                "SELECT FIRST 200 F.NUMERO FROM FAL F WHERE F.NUMERO < '9000000' AND EXISTS (SELECT 1 "
                "FROM FAL_ITEN I WHERE I.FAL = F.NUMERO AND I.ROLO > 0) AND NOT EXISTS (SELECT 1 FROM "
                "PROCESSO_TIN P WHERE P.FAL = F.NUMERO AND P.CONCLUIDO = 'N') AND NOT EXISTS (SELECT 1 "
                "FROM FAL R WHERE R.NUM_REPROC = F.NUMERO) ORDER BY F.NUMERO DESC"));
    // The phase most sheets are waiting at: the planners' map.
    listas[QStringLiteral("fases")] =
        Linhas(db, QStringLiteral(
                       "SELECT FIRST 1 P.FASE FROM (SELECT FAL, MIN(ORDEM) AS ORDEM FROM PROCESSO_TIN WHERE "
                       "CONCLUIDO = 'N' GROUP BY FAL) N JOIN PROCESSO_TIN P ON (P.FAL = N.FAL AND P.ORDEM = "
                       "N.ORDEM AND P.CONCLUIDO = 'N') GROUP BY P.FASE ORDER BY COUNT(*) DESC"));
    // The print shop's designs and its printed lot sheets, the newest first.
    listas[QStringLiteral("desenhos")] =
        Linhas(db, QStringLiteral("SELECT FIRST 100 DISTINCT ESTAMPA || '|' || VARIANTE FROM EST_QUADRO"));
    listas[QStringLiteral("estampadas")] = Linhas(
        db, QStringLiteral(
                "SELECT FIRST 100 NUMERO FROM FAL WHERE ESTAMPA IS NOT NULL AND NUMERO < '9000000' AND "
                "EXISTS (SELECT 1 FROM EST_QUADRO E WHERE E.ESTAMPA = FAL.ESTAMPA AND E.VARIANTE = "
                "FAL.VAR_EST) ORDER BY NUMERO DESC"));
    db.Transaction()->CommitRetaining();
    return dia;
}

void gravaDia(const QString& arquivo, const DiaDeTrabalho& dia, const QHash<QString, QStringList>& listas) {
    QSettings s(arquivo, QSettings::IniFormat);
    s.setValue(QStringLiteral("cliente"), dia.cliente);
    s.setValue(QStringLiteral("cor"), dia.cor);
    s.setValue(QStringLiteral("variante"), dia.variante);
    s.setValue(QStringLiteral("roteiro"), dia.roteiro);
    s.setValue(QStringLiteral("maquina"), dia.maquina);
    s.setValue(QStringLiteral("tecidos"), dia.tecidos);
    s.beginGroup(QStringLiteral("listas"));
    for (auto l = listas.cbegin(); l != listas.cend(); ++l)
        s.setValue(l.key(), l.value());
    s.endGroup();
}

// ---- a station

int estacao(const QStringList& args) {
    const int k = inteiro(args, "--station", 1);
    const QString pasta = Opcao(args, "--out");
    QSettings s(pasta + QStringLiteral("/dia.ini"), QSettings::IniFormat);
    const DiaDeTrabalho dia{
        s.value(QStringLiteral("cliente")).toString(),  s.value(QStringLiteral("cor")).toString(),
        s.value(QStringLiteral("variante")).toString(), s.value(QStringLiteral("roteiro")).toString(),
        s.value(QStringLiteral("maquina")).toString(),  s.value(QStringLiteral("tecidos")).toStringList()};
    const QString relatorios = QStringLiteral("%1/relatorios-%2").arg(pasta).arg(k);
    QDir().mkpath(relatorios);
    qputenv("KELM_REPORT_DIR", relatorios.toUtf8());
    // Each station its own settings, as a workstation has: its scale's port, its label layouts' folder.
    qputenv("KELM_INI", QStringLiteral("%1/kelm-%2.ini").arg(pasta).arg(k).toUtf8());
    GravaIni(QStringLiteral("Caminho"), QStringLiteral("path"),
             QStringLiteral("%1/arquivos-%2").arg(pasta).arg(k));
    SessaoBench sessao(ConfigServidor(Opcao(args, "--server")));
    ScreenDriver driver(sessao.Mensagens());
    Bancada b{driver, sessao.Mensagens(), sessao.Banco(), dia,
              QRandomGenerator(quint32(inteiro(args, "--seed", 1) * 1000 + k))};
    b.estacao = k;
    s.beginGroup(QStringLiteral("listas"));
    for (const QString& lista : s.childKeys())
        b.meus[lista] = s.value(lista).toStringList();
    s.endGroup();
    QFile medidas(QStringLiteral("%1/medidas-%2.csv").arg(pasta).arg(k));
    QFile diario(QStringLiteral("%1/diario-%2.txt").arg(pasta).arg(k));
    if (!medidas.open(QIODevice::WriteOnly) || !diario.open(QIODevice::WriteOnly))
        throw EDatabaseError(QStringLiteral("cannot write in %1").arg(pasta));
    QTextStream m(&medidas), d(&diario);
    RodaEstacao(b, OperacoesDoPapel(Opcao(args, "--role")),
                QDeadlineTimer(qint64(inteiro(args, "--ms", 60000))), inteiro(args, "--think-ms", 4000), m,
                d);
    if (driver.Screen())
        driver.Close();
    return 0;
}

// ---- the day's figures

struct Amostras {
    QList<double> ms;
    qint64 instrucoes = 0;
    QMap<QString, int> desfechos;
};

double percentil(QList<double> v, double p) {
    if (v.isEmpty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min<qsizetype>(v.size() - 1, qsizetype(p * v.size()))];
}

// A screen opened or loaded, or a print, may take longer than a key.
double orcamento(const QString& operacao) {
    if (operacao.contains(QLatin1String("report of a month")))
        return kRelatorioMesMs;
    for (const char* lenta : {"opened", "loaded", "printed"})
        if (operacao.contains(QLatin1String(lenta)))
            return kAbreTelaMs;
    return kInterativoMs;
}

// ---- after the day

// Every save a station journaled is in the database as the station left it: the last line of a record
// wins, but for a sheet's concluded steps, which only grow whichever station concludes them, the most.
// Lines that do not hold, as "journal line: found".
QStringList escritasPerdidas(TZoDatabase& db, const QStringList& diario) {
    QMap<QString, QString> ultima;
    for (const QString& linha : diario) {
        const QStringList c = linha.split(QLatin1Char('|'));
        QString& vale =
            ultima[c.mid(0, c.value(0) == QLatin1String("NOTA") || c.value(0) == QLatin1String("RECEITA") ? 3
                                                                                                          : 2)
                       .join(QLatin1Char('|'))];
        if (c.value(0) != QLatin1String("PASSOS") ||
            vale.section(QLatin1Char('|'), 2).toInt() <= c.value(2).toInt())
            vale = linha;
    }
    QStringList perdidas;
    for (const QString& linha : std::as_const(ultima)) {
        const QStringList c = linha.split(QLatin1Char('|'));
        QString sql, esperado;
        if (c[0] == QLatin1String("NOTA")) {
            sql = QStringLiteral(
                      "SELECT COUNT(*) || '|' || CAST(COALESCE(SUM(PESO_REAL), 0) AS NUMERIC(15, 3)) FROM "
                      "NFITIN WHERE NOTA = %1 AND CODCLI = %2")
                      .arg(Aspas(c[1]), Aspas(c[2]));
            esperado = c[3] + QLatin1Char('|') + c[4];
        } else if (c[0] == QLatin1String("FAL")) {
            sql = QStringLiteral(
                      "SELECT COUNT(*) || '|' || CAST(COALESCE(SUM(PESO), 0) AS NUMERIC(15, 3)) FROM "
                      "FAL_ITEN WHERE FAL = %1")
                      .arg(Aspas(c[1]));
            esperado = c[2] + QLatin1Char('|') + c[3];
        } else if (c[0] == QLatin1String("PROG")) {
            sql = QStringLiteral("SELECT COUNT(*) FROM TNG_PROG WHERE NUMERO = %1 AND OBSERVACAO = %2")
                      .arg(Aspas(c[1]), Aspas(c[2]));
            esperado = c[3];
        } else if (c[0] == QLatin1String("RECEITA")) {
            sql = QStringLiteral("SELECT TRIM(OBS) FROM RECEITA WHERE CODIGO = %1 AND VARIANTE = %2")
                      .arg(Aspas(c[1]), Aspas(c[2]));
            esperado = c[3];
        } else if (c[0] == QLatin1String("PASSOS")) {
            sql = QStringLiteral(
                      "SELECT COUNT(DISTINCT ORDEM) FROM PROCESSO_TIN WHERE FAL = %1 AND CONCLUIDO = 'S'")
                      .arg(Aspas(c[1]));
            esperado = c[2];
        }
        const QString achado = sql.isEmpty() ? QStringLiteral("?") : Escalar(db, sql);
        if (achado != esperado)
            perdidas << QStringLiteral("%1: %2").arg(linha, achado);
    }
    return perdidas;
}

QStringList validacao(const DatabaseConfig& config) {
    const QString gfix = QStandardPaths::findExecutable(QStringLiteral("gfix"));
    if (gfix.isEmpty())
        return {QStringLiteral("gfix is not installed")};
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(gfix,
               {QStringLiteral("-v"), QStringLiteral("-full"), QStringLiteral("-n"), QStringLiteral("-user"),
                config.user, QStringLiteral("-password"), config.password, config.target()});
    if (!tool.waitForFinished(600000))
        return {QStringLiteral("gfix did not finish")};
    QStringList erros;
    // Orphan pages left by a process that dies are warnings, not errors.
    for (const QString& linha : QString::fromLocal8Bit(tool.readAll()).split(QLatin1Char('\n')))
        if (!linha.trimmed().isEmpty() && !linha.contains(QLatin1String("warning"), Qt::CaseInsensitive) &&
            !linha.contains(QLatin1String("Summary"), Qt::CaseInsensitive))
            erros << linha.trimmed();
    if (tool.exitCode() != 0 && erros.isEmpty())
        erros << QStringLiteral("gfix exited with %1").arg(tool.exitCode());
    return erros;
}

// The Firebird server's CPU seconds so far, 0 when it is not a process of this machine.
double cpuDoServidor() {
    for (const QFileInfo& p :
         QDir(QStringLiteral("/proc")).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (QFileInfo(p.filePath() + QStringLiteral("/exe")).symLinkTarget() !=
            QLatin1String("/usr/sbin/firebird"))
            continue;
        QFile stat(p.filePath() + QStringLiteral("/stat"));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> campos = stat.readAll().split(')').value(1).trimmed().split(' ');
        return (campos.value(11).toDouble() + campos.value(12).toDouble()) / double(sysconf(_SC_CLK_TCK));
    }
    return 0;
}

// The rows of the tables a day writes, to tell what it added: the file itself grows only once the free
// pages inside it are used up.
const char* const kTabelasDoDia[] = {"NFTIN",    "NFITIN", "FAL",          "FAL_ITEN", "PROCESSO_TIN",
                                     "TNG_PROG", "LOG",    "TNG_CONSUMOS", "MAT_MOV"};

QList<qint64> contagens(TZoDatabase& db) {
    QList<qint64> n;
    for (const char* tabela : kTabelasDoDia)
        n << Escalar(db, QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(tabela))).toLongLong();
    return n;
}

void imprimeLista(const char* titulo, const QStringList& linhas) {
    std::printf("%s: %lld\n", titulo, static_cast<long long>(linhas.size()));
    for (const QString& l : linhas.mid(0, 20))
        std::printf("  %s\n", qPrintable(l));
}

int dia(const QStringList& args) {
    const QString servidor = Opcao(args, "--server");
    if (servidor.isEmpty())
        throw EDatabaseError(QStringLiteral("--server host:path is needed (./kelm load starts one)"));
    // --roles a,b names who works, one station each (a role alone gives its one-station figures).
    const QStringList papeis =
        Opcao(args, "--roles").isEmpty()
            ? kPapeis.mid(
                  0, std::clamp(inteiro(args, "--stations", int(kPapeis.size())), 1, int(kPapeis.size())))
            : Opcao(args, "--roles").split(QLatin1Char(','));
    const int estacoes = int(papeis.size());
    const double minutos = Opcao(args, "--minutes", QStringLiteral("10")).toDouble();
    const int semente = inteiro(args, "--seed", 1);
    const DatabaseConfig config = ConfigServidor(servidor);
    CopiaDeTrabalho(BancoEmCache(inteiro(args, "--years", 5), 1), config);
    QTemporaryDir pasta;
    pasta.setAutoRemove(!args.contains(QStringLiteral("--keep")));
    QList<qint64> linhasAntes;
    {
        SessaoBench sessao(config);
        QHash<QString, QStringList> listas;
        const DiaDeTrabalho d = preparaDia(sessao.Banco(), papeis, listas);
        gravaDia(pasta.filePath(QStringLiteral("dia.ini")), d, listas);
        linhasAntes = contagens(sessao.Banco());
        std::printf("shared customer %s, colour %s/%s, route %s; %lld lots on the floor\n",
                    qPrintable(d.cliente), qPrintable(d.cor), qPrintable(d.variante), qPrintable(d.roteiro),
                    static_cast<long long>(listas.value(QStringLiteral("lotes")).size()));
    }
    const qint64 tamanhoAntes = QFileInfo(config.path).size();
    const double cpuAntes = cpuDoServidor();
    QElapsedTimer relogio;
    relogio.start();
    QList<QProcess*> processos;
    for (int k = 1; k <= estacoes; ++k) {
        auto* p = new QProcess;
        p->setProcessChannelMode(QProcess::MergedChannels);
        p->setStandardOutputFile(pasta.filePath(QStringLiteral("saida-%1.txt").arg(k)));
        p->start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--station"), QString::number(k), QStringLiteral("--role"), papeis[k - 1],
                  QStringLiteral("--server"), servidor, QStringLiteral("--ms"),
                  QString::number(qint64(minutos * 60000)), QStringLiteral("--seed"),
                  QString::number(semente), QStringLiteral("--think-ms"),
                  Opcao(args, "--think-ms", QStringLiteral("4000")), QStringLiteral("--out"), pasta.path()});
        processos << p;
    }
    std::printf("%d stations for %.1f minutes: %s\n", estacoes, minutos,
                qPrintable(papeis.join(QStringLiteral(", "))));
    std::fflush(stdout);
    QStringList problemas;
    for (int k = 1; k <= estacoes; ++k) {
        QProcess* p = processos[k - 1];
        if (!p->waitForFinished(int(minutos * 60000) + 300000)) {
            p->kill();
            p->waitForFinished();
        }
        if (p->exitStatus() != QProcess::NormalExit || p->exitCode() != 0) {
            QFile saida(pasta.filePath(QStringLiteral("saida-%1.txt").arg(k)));
            saida.open(QIODevice::ReadOnly);
            problemas << QStringLiteral("station %1 (%2) ended badly: %3")
                             .arg(k)
                             .arg(papeis[k - 1], QString::fromLocal8Bit(saida.readAll()).right(400));
        }
        delete p;
    }
    const double segundos = relogio.elapsed() / 1000.0;
    const double cpu = cpuDoServidor() - cpuAntes;

    // Figures per operation and per station.
    QMap<QString, Amostras> porOperacao;
    QStringList diario,
        csv{QStringLiteral("operation;count;median_ms;p95_ms;p99_ms;max_ms;statements;budget_ms;"
                           "conflicts;refusals;failures")};
    for (int k = 1; k <= estacoes; ++k) {
        QFile f(pasta.filePath(QStringLiteral("medidas-%1.csv").arg(k)));
        int feitas = 0;
        QMap<QString, int> textos;
        if (f.open(QIODevice::ReadOnly))
            for (const QString& linha :
                 QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
                const QStringList c = linha.split(QLatin1Char(';'));
                Amostras& a = porOperacao[c.value(0)];
                if (c.value(1).toDouble() > 0)
                    a.ms << c.value(1).toDouble();
                a.instrucoes += c.value(2).toLongLong();
                ++a.desfechos[c.value(3)];
                feitas += c.value(3) == QLatin1String("ok");
                if (c.value(3) != QLatin1String("ok"))
                    ++textos[c.value(3) + QStringLiteral(" in ") + c.value(0) + QStringLiteral(": ") +
                             c.value(4)];
            }
        std::printf("station %d (%s): %d operations done\n", k, qPrintable(papeis[k - 1]), feitas);
        for (auto it = textos.cbegin(); it != textos.cend(); ++it)
            std::printf("    %dx %s\n", it.value(), qPrintable(it.key().left(300)));
        QFile j(pasta.filePath(QStringLiteral("diario-%1.txt").arg(k)));
        if (j.open(QIODevice::ReadOnly))
            diario << QString::fromUtf8(j.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    std::printf("\n%-48s %6s %8s %8s %8s %8s %6s %6s %5s %5s %5s\n", "operation", "count", "median", "p95",
                "p99", "max", "stmts", "budget", "lock", "refus", "fail");
    int acimaDoOrcamento = 0;
    for (auto it = porOperacao.cbegin(); it != porOperacao.cend(); ++it) {
        const Amostras& a = it.value();
        const int tentativas = std::max(1, int(a.ms.size()));
        const double p95 = percentil(a.ms, 0.95);
        const bool acima = p95 > orcamento(it.key());
        acimaDoOrcamento += acima;
        std::printf("%-48s %6lld %8.1f %8.1f %8.1f %8.1f %6.1f %6.0f %5d %5d %5d%s\n",
                    qPrintable(it.key().left(48)), static_cast<long long>(a.ms.size()), percentil(a.ms, 0.5),
                    p95, percentil(a.ms, 0.99), percentil(a.ms, 1.0), double(a.instrucoes) / tentativas,
                    orcamento(it.key()), a.desfechos.value(QStringLiteral("conflito")),
                    a.desfechos.value(QStringLiteral("recusa")), a.desfechos.value(QStringLiteral("falha")),
                    acima ? "  OVER" : "");
        csv << QStringLiteral("%1;%2;%3;%4;%5;%6;%7;%8;%9;%10;%11")
                   .arg(it.key())
                   .arg(a.ms.size())
                   .arg(percentil(a.ms, 0.5), 0, 'f', 1)
                   .arg(p95, 0, 'f', 1)
                   .arg(percentil(a.ms, 0.99), 0, 'f', 1)
                   .arg(percentil(a.ms, 1.0), 0, 'f', 1)
                   .arg(double(a.instrucoes) / tentativas, 0, 'f', 1)
                   .arg(orcamento(it.key()))
                   .arg(a.desfechos.value(QStringLiteral("conflito")))
                   .arg(a.desfechos.value(QStringLiteral("recusa")))
                   .arg(a.desfechos.value(QStringLiteral("falha")));
        if (a.desfechos.value(QStringLiteral("falha")) > 0)
            problemas << QStringLiteral("%1 failed %2 times")
                             .arg(it.key())
                             .arg(a.desfechos.value(QStringLiteral("falha")));
    }
    std::printf("\nserver CPU %.1f s in %.1f s (%.0f %% of one core); database %lld -> %lld kB\n", cpu,
                segundos, segundos > 0 ? 100 * cpu / segundos : 0,
                static_cast<long long>(tamanhoAntes / 1024),
                static_cast<long long>(QFileInfo(config.path).size() / 1024));
    std::printf("%d operations over budget at the 95th percentile\n\n", acimaDoOrcamento);

    // The end of the day.
    QStringList desequilibrios, incoerencias, estoque, perdidas;
    {
        SessaoBench sessao(config);
        desequilibrios = LinhasDeConferencia(sessao.Banco(), InstrucoesDesequilibrioNota());
        incoerencias = LinhasDeConferencia(sessao.Banco(), InstrucoesIncoerenciaFal());
        estoque = LinhasDeConferencia(sessao.Banco(), InstrucoesDesequilibrioEstoque());
        perdidas = escritasPerdidas(sessao.Banco(), diario);
        const QList<qint64> depois = contagens(sessao.Banco());
        QStringList novas;
        for (qsizetype i = 0; i < depois.size(); ++i)
            novas << QStringLiteral("%1 %2%3")
                         .arg(QLatin1String(kTabelasDoDia[i]))
                         .arg(depois[i] - linhasAntes.value(i) >= 0 ? QStringLiteral("+") : QString())
                         .arg(depois[i] - linhasAntes.value(i));
        std::printf("rows the day added: %s\n", qPrintable(novas.join(QStringLiteral(", "))));
    }
    const QStringList validacaoErros = validacao(config);
    imprimeLista("invoice balance violations", desequilibrios);
    imprimeLista("lot sheets whose items and steps disagree", incoerencias);
    imprimeLista("stock positions that are not the sum of their movements", estoque);
    std::printf("journal: %lld saves\n", static_cast<long long>(diario.size()));
    imprimeLista("lost writes", perdidas);
    imprimeLista("validation errors (gfix -v -full)", validacaoErros);
    imprimeLista("other problems", problemas);
    if (args.contains(QStringLiteral("--csv")))
        std::printf("\n%s\n", qPrintable(csv.join(QLatin1Char('\n'))));
    const bool limpo = desequilibrios.isEmpty() && incoerencias.isEmpty() && estoque.isEmpty() &&
                       perdidas.isEmpty() && validacaoErros.isEmpty() && problemas.isEmpty();
    std::printf("end of day: %s\n", limpo ? "clean" : "VIOLATIONS");
    return limpo ? 0 : 1;
}
} // namespace

// ./kelm load --server host:path [--stations N | --roles a,b] [--minutes M] [--seed S] [--years Y]
// [--think-ms T] [--csv] [--keep]
int main(int argc, char** argv) {
    return RodaMedicao(argc, argv, [](const QStringList& args) {
        return args.contains(QStringLiteral("--station")) ? estacao(args) : dia(args);
    });
}
