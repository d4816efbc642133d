#include "BenchCurvas.h"
#include "DataSet.h"
#include "Funcoes.h"
#include "Medicao.h"
#include "ScreenDriver.h"
#include "TZoDatabase.h"
#include <cstdio>

// Dyeing curves on the generated years: the registry opened, the current curve changed (both charts
// rebuilt), a curve of 20 steps confirmed with a step changed, and duplicated under a new code. The generator
// writes curves without steps: the section gives each curve that has none steps of its own (20 to the first
// two, 8 to the others) and removes them, its copies and its audit rows at the end.
namespace {
const QString kMarca = QStringLiteral("BENCH");
const QString kTituloLog = QStringLiteral("CADASTRO DE GRAFICO");
constexpr int kPassosGrandes = 20;
constexpr int kPassosPequenos = 8;

// The copies' codes: letters, where the generator's codes are digits.
QString copia(int n) {
    return QStringLiteral("Z%1").arg(n, 2, 10, QLatin1Char('0'));
}

// Steps of a curve in two phases: ramps and holds between 40 and 130 degrees.
void darPassos(TZoDatabase& db, const QString& curva, int quantos) {
    int total = 0;
    for (int n = 1; n <= quantos; ++n) {
        const int tempo = 10 + (n * 7) % 35, temperatura = 40 + (n * 23) % 91;
        total += tempo;
        const QString codigo = QStringLiteral("P%1").arg(n, 2, 10, QLatin1Char('0'));
        const QString descricao = QStringLiteral("%1 PASSO %2").arg(kMarca).arg(n);
        const QString fase = n <= quantos / 2 ? QStringLiteral("1") : QStringLiteral("2");
        Executa(db, QStringLiteral(
                        "INSERT INTO PASSOS (CODIGO_GRA, CODIGO, ORDEM, DESCRICAO, TEMPERATURA, TEMPO, "
                        "TEMPO_TOTAL, FASE) VALUES (%1, %2, %3, %4, %5, %6, %7, %8)")
                        .arg(Aspas(curva), Aspas(codigo), QString::number(n), Aspas(descricao),
                             QString::number(temperatura), QString::number(tempo), QString::number(total),
                             Aspas(fase)));
    }
}

QString passosDaCurva(const QString& curva) {
    return QStringLiteral(
               "SELECT CODIGO, ORDEM, DESCRICAO, TEMPERATURA, TEMPO, FASE FROM PASSOS WHERE CODIGO_GRA "
               "= %1 ORDER BY FASE, ORDEM")
        .arg(Aspas(curva));
}

// What the engine itself needs to store a curve of these steps: the stored steps compared, the save's lock,
// the steps replaced, the audit row, the curve's row.
QStringList gravacaoDaCurva(TZoDatabase& db, const QString& curva) {
    QStringList escrita{
        QStringLiteral(
            "SELECT CODIGO, ORDEM, DESCRICAO, TEMPERATURA, TEMPO, FASE FROM PASSOS WHERE CODIGO_GRA = %1")
            .arg(Aspas(curva)),
        QStringLiteral("UPDATE TRAVA_GRAVACAO SET CHAVE = CHAVE WHERE TABELA = 'PASSOS' AND CHAVE = %1")
            .arg(Aspas(curva)),
        QStringLiteral("DELETE FROM PASSOS WHERE CODIGO_GRA = %1").arg(Aspas(curva))};
    for (const QString& linha :
         Linhas(db, QStringLiteral("SELECT CODIGO, ORDEM, DESCRICAO, TEMPERATURA, TEMPO, "
                                   "TEMPO_TOTAL, FASE FROM PASSOS WHERE CODIGO_GRA = %1")
                        .arg(Aspas(curva)))) {
        const QStringList c = linha.split(QLatin1Char('|'));
        escrita << QStringLiteral(
                       "INSERT INTO PASSOS (CODIGO_GRA, CODIGO, ORDEM, DESCRICAO, TEMPERATURA, TEMPO, "
                       "TEMPO_TOTAL, FASE) VALUES (%1, %2, %3, %4, %5, %6, %7, %8)")
                       .arg(Aspas(curva), Aspas(c[0]), c[1], Aspas(c[2]), c[3], c[4], c[5], Aspas(c[6]));
    }
    escrita << QStringLiteral(
                   "INSERT INTO LOG (ID, CHAVE, DATA, HORA, USUARIO, FORMULARIO, TITULO, TEXTO, TIPO) "
                   "VALUES (NEXT VALUE FOR GEN_LOG_ID, %1, CURRENT_DATE, '12:00:00', 'ADMIN', "
                   "'fmTngGrafico', %2, 'ALTERACAO DO GRAFICO', 1)")
                   .arg(Aspas(curva), Aspas(kTituloLog))
            << QStringLiteral("UPDATE GRAFICO SET DESCRICAO = DESCRICAO, TEMPO = TEMPO WHERE CODIGO = %1")
                   .arg(Aspas(curva));
    return escrita;
}

// The copy as the engine would make it, and the curves read again with the copy's steps.
QStringList duplicacao(const QString& curva) {
    const QString novo = QStringLiteral("ZZZ");
    return {
        QStringLiteral("INSERT INTO GRAFICO (CODIGO, DESCRICAO, OBS, QTDE_AGUA, QTDE_VAPOR, QTDE_VATS, "
                       "QTDE_GAS, QTDE_OUTROS, TEMPO) SELECT %1, DESCRICAO, OBS, QTDE_AGUA, QTDE_VAPOR, "
                       "QTDE_VATS, QTDE_GAS, QTDE_OUTROS, TEMPO FROM GRAFICO WHERE CODIGO = %2")
            .arg(Aspas(novo), Aspas(curva)),
        QStringLiteral("INSERT INTO PASSOS (CODIGO_GRA, CODIGO, ORDEM, DESCRICAO, TEMPERATURA, TEMPO, "
                       "TEMPO_TOTAL, FASE) SELECT %1, CODIGO, ORDEM, DESCRICAO, TEMPERATURA, TEMPO, "
                       "TEMPO_TOTAL, FASE FROM PASSOS WHERE CODIGO_GRA = %2")
            .arg(Aspas(novo), Aspas(curva)),
        QStringLiteral("INSERT INTO LOG (ID, CHAVE, DATA, HORA, USUARIO, FORMULARIO, TITULO, TEXTO, TIPO) "
                       "VALUES (NEXT VALUE FOR GEN_LOG_ID, %1, CURRENT_DATE, '12:00:00', 'ADMIN', "
                       "'fmTngGrafico', %2, 'DUPLICACAO', 0)")
            .arg(Aspas(novo), Aspas(kTituloLog)),
        QStringLiteral("SELECT * FROM GRAFICO ORDER BY CODIGO"), passosDaCurva(novo)};
}

// The steps' minutes added up, as the curve's time is typed (HH:MM).
QString duracao(TDataSet& passos) {
    int minutos = 0;
    for (int linha = 0; linha < passos.RecordCount(); ++linha)
        minutos += passos.ValueAt(linha, passos.FieldIndex(QStringLiteral("TEMPO"))).toInt();
    return QStringLiteral("%1:%2")
        .arg(minutos / 60, 2, 10, QLatin1Char('0'))
        .arg(minutos % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

void BenchCurvas(TZoDatabase& db, ScriptedMessageService& messages) {
    TabelaBench& tabela = TabelaBench::Global();
    const QStringList curvas = Linhas(db, QStringLiteral("SELECT CODIGO FROM GRAFICO ORDER BY CODIGO"));
    if (curvas.size() < 2) {
        std::printf("fewer than two curves in this database: section skipped\n");
        return;
    }
    QStringList copias;
    for (int n = 1; n <= kRodadas; ++n)
        copias << copia(n);
    if (!Escalar(db, QStringLiteral("SELECT COUNT(*) FROM GRAFICO WHERE CODIGO STARTING WITH 'Z'"))
             .startsWith('0')) {
        std::printf("curves coded Z.. already stored: section skipped\n");
        return;
    }
    int dados = 0;
    for (qsizetype i = 0; i < curvas.size(); ++i)
        if (Escalar(db, QStringLiteral("SELECT COUNT(*) FROM PASSOS WHERE CODIGO_GRA = %1")
                            .arg(Aspas(curvas[i]))) == QLatin1String("0")) {
            darPassos(db, curvas[i], i < 2 ? kPassosGrandes : kPassosPequenos);
            ++dados;
        }
    db.Transaction()->CommitRetaining();
    const QString primeira = curvas[0], segunda = curvas[1];
    std::printf(
        "%lld curves, %d given steps by the section; %s and %s have %s and %s steps\n",
        static_cast<long long>(curvas.size()), dados, qPrintable(primeira), qPrintable(segunda),
        qPrintable(Escalar(
            db, QStringLiteral("SELECT COUNT(*) FROM PASSOS WHERE CODIGO_GRA = %1").arg(Aspas(primeira)))),
        qPrintable(Escalar(
            db, QStringLiteral("SELECT COUNT(*) FROM PASSOS WHERE CODIGO_GRA = %1").arg(Aspas(segunda)))));

    ScreenDriver driver(messages);
    // 1. The screen opened on the first curve: the list, its steps, both charts.
    const Medida abre = Mede([&] { driver.Close(); }, [&] { driver.Open(QStringLiteral("TfmTngGrafico")); });
    MostraMensagens(messages, "screen opened");
    tabela.Linha(
        QStringLiteral("curves screen opened (%1 curves, %2 steps shown, two charts)")
            .arg(curvas.size())
            .arg(kPassosGrandes),
        abre, MotorMs(db, {QStringLiteral("SELECT * FROM GRAFICO ORDER BY CODIGO"), passosDaCurva(primeira)}),
        kAbreTelaMs);

    // 2. The next curve and back: its steps read, both charts rebuilt.
    int passo = 0;
    const Medida muda = Mede(
        [&] { driver.Click(passo++ % 2 == 0 ? QStringLiteral("sbProximo") : QStringLiteral("sbAnterior")); });
    MostraMensagens(messages, "curve changed");
    tabela.Linha(
        QStringLiteral("current curve changed (%1 steps read, both charts rebuilt)").arg(kPassosGrandes),
        muda, MotorMs(db, {passosDaCurva(segunda)}), kInterativoMs);

    // 3. Altered with a step's time changed, and confirmed.
    driver.Click(QStringLiteral("sbPrimeiro"));
    auto* passos = driver.Screen()->findChild<TDataSet*>(QStringLiteral("tbPassos"));
    const double pisoGravacao = MotorMs(db, gravacaoDaCurva(db, primeira), true);
    int rodada = 0;
    const Medida confirma = Mede(
        [&] {
            driver.Click(QStringLiteral("BtnAltera"));
            passos->First();
            passos->Edit();
            passos->FieldByName(QStringLiteral("TEMPO")) = 10 + rodada++ % 2;
            passos->Post();
            // The curve's time follows its steps, or the confirmation asks whether to store it apart.
            driver.Type(QStringLiteral("EdtTempo"), duracao(*passos));
        },
        [&] { driver.Click(QStringLiteral("SbConfirmar")); });
    MostraMensagens(messages, "curve confirmed");
    tabela.Linha(QStringLiteral("curve of %1 steps confirmed, a step changed").arg(passos->RecordCount()),
                 confirma, pisoGravacao, kInterativoMs);

    // 4. Duplicated under a new code, the copy shown.
    int n = 0;
    const Medida duplica = Mede(
        [&] {
            driver.Click(QStringLiteral("sbPrimeiro"));
            messages.inputs.enqueue(copias[n++]);
        },
        [&] { driver.Click(QStringLiteral("BtDuplicar")); });
    MostraMensagens(messages, "curve duplicated");
    const int copiadas =
        Escalar(db, QStringLiteral("SELECT COUNT(*) FROM PASSOS WHERE CODIGO_GRA STARTING WITH 'Z'")).toInt();
    if (copiadas != kRodadas * kPassosGrandes)
        std::printf("copies stored with %d steps instead of %d\n", copiadas, kRodadas * kPassosGrandes);
    tabela.Linha(QStringLiteral("curve of %1 steps duplicated, the copy shown").arg(kPassosGrandes), duplica,
                 MotorMs(db, duplicacao(primeira), true), kInterativoMs);
    driver.Close();

    // Everything the section stored goes: its steps (also those of the copies), the copies, the audit rows.
    Executa(db, QStringLiteral("DELETE FROM PASSOS WHERE DESCRICAO STARTING WITH %1").arg(Aspas(kMarca)));
    QStringList codigos;
    for (const QString& codigo : copias)
        codigos << Aspas(codigo);
    Executa(
        db,
        QStringLiteral("DELETE FROM GRAFICO WHERE CODIGO IN (%1)").arg(codigos.join(QStringLiteral(", "))));
    codigos << Aspas(primeira);
    Executa(db, QStringLiteral("DELETE FROM LOG WHERE TITULO = %1 AND CHAVE IN (%2)")
                    .arg(Aspas(kTituloLog), codigos.join(QStringLiteral(", "))));
    db.Transaction()->CommitRetaining();
}
