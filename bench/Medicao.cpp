#include "Medicao.h"
#include "Relatorio.h"
#include "ScreenDriver.h"
#include "TClientDataSet.h"
#include "TZoDatabase.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {
double mediana(QList<double> valores) {
    std::sort(valores.begin(), valores.end());
    return valores[valores.size() / 2];
}
} // namespace

Medida Mede(const std::function<void()>& antes, const std::function<void()>& passo, int rodadas) {
    QList<double> tempos;
    quint64 instrucoes = 0;
    QElapsedTimer relogio;
    for (int i = 0; i < rodadas; ++i) {
        antes();
        const quint64 inicio = TZoDatabase::StatementCountAll();
        relogio.start();
        passo();
        QCoreApplication::processEvents();
        tempos << relogio.nsecsElapsed() / 1e6;
        instrucoes += TZoDatabase::StatementCountAll() - inicio;
    }
    return {mediana(tempos), double(instrucoes) / rodadas};
}

Medida Mede(const std::function<void()>& passo, int rodadas) {
    return Mede([] {}, passo, rodadas);
}

double MotorMs(TZoDatabase& db, const QStringList& instrucoes, bool escrita, int rodadas) {
    QList<double> tempos;
    QElapsedTimer relogio;
    for (int i = 0; i < rodadas; ++i) {
        relogio.start();
        for (const QString& sql : instrucoes) {
            QSqlQuery q(db.Connection());
            q.setForwardOnly(true);
            db.Exec(q, sql, escrita);
            // The driver takes a block without RETURNS for a select, and fetching from it crashes.
            const bool bloco =
                sql.trimmed().startsWith(QLatin1String("EXECUTE BLOCK"), Qt::CaseInsensitive) &&
                !sql.contains(QLatin1String("RETURNS"), Qt::CaseInsensitive);
            while (!bloco && q.isSelect() && q.next()) {
            }
        }
        tempos << relogio.nsecsElapsed() / 1e6;
        if (escrita)
            db.Transaction()->RollbackRetaining();
    }
    return mediana(tempos);
}

double RelatorioMotorMs(TZoDatabase& db, const QString& sql, int rodadas) {
    QTemporaryDir dir;
    QList<double> tempos;
    QElapsedTimer relogio;
    for (int i = 0; i < rodadas; ++i) {
        relogio.start();
        QSqlQuery q(db.Connection());
        q.setForwardOnly(true);
        db.Exec(q, sql, false);
        TClientDataSet dados;
        const QSqlRecord colunas = q.record();
        for (int c = 0; c < colunas.count(); ++c)
            dados.AddField(colunas.fieldName(c), QMetaType::Type(colunas.field(c).metaType().id()));
        dados.CreateDataSet();
        {
            ControlesDesligados quieto(dados);
            while (q.next()) {
                dados.Append();
                for (int c = 0; c < colunas.count(); ++c)
                    dados.Fields(c).SetValue(q.value(c));
                dados.Post();
            }
        }
        GravaRelatorioPdf(TRelatorio(QStringLiteral("Piso"), QStringLiteral("Piso"), &dados),
                          dir.filePath(QStringLiteral("piso.pdf")));
        tempos << relogio.nsecsElapsed() / 1e6;
    }
    return mediana(tempos);
}

void Executa(TZoDatabase& db, const QString& sql) {
    QSqlQuery q(db.Connection());
    db.Exec(q, sql, true);
}

QStringList Linhas(TZoDatabase& db, const QString& sql) {
    QSqlQuery q(db.Connection());
    q.setForwardOnly(true);
    db.Exec(q, sql, false);
    QStringList resultado;
    while (q.next()) {
        QStringList colunas;
        for (int i = 0; i < q.record().count(); ++i)
            colunas << q.value(i).toString().trimmed();
        resultado << colunas.join(QLatin1Char('|'));
    }
    return resultado;
}

QStringList PrimeiraLinha(TZoDatabase& db, const QString& sql) {
    QSqlQuery q(db.Connection());
    q.setForwardOnly(true);
    db.Exec(q, sql, false);
    QStringList colunas;
    if (q.next())
        for (int i = 0; i < q.record().count(); ++i)
            colunas << q.value(i).toString().trimmed();
    return colunas;
}

QString Escalar(TZoDatabase& db, const QString& sql) {
    return PrimeiraLinha(db, sql).value(0);
}

TabelaBench& TabelaBench::Global() {
    static TabelaBench tabela;
    return tabela;
}

void TabelaBench::Linha(const QString& operacao, const Medida& nossa, double pisoMs, double orcamentoMs) {
    m_linhas << Registro{operacao, nossa, pisoMs, orcamentoMs};
    const QString piso =
        pisoMs > 0
            ? QStringLiteral("floor %1 ms (x%2)").arg(pisoMs, 9, 'f', 3).arg(nossa.ms / pisoMs, 0, 'f', 1)
            : QStringLiteral("(no statement)");
    std::printf("%-50s %9.4f ms  %-28s %6.1f stmts  budget %6.0f ms  %s\n", qPrintable(operacao), nossa.ms,
                qPrintable(piso), nossa.instrucoes, orcamentoMs, nossa.ms <= orcamentoMs ? "ok" : "OVER");
    std::fflush(stdout);
}

void TabelaBench::ImprimeCsv() const {
    std::printf("operation,median_ms,floor_ms,ratio,statements,budget_ms,verdict\n");
    for (const Registro& r : m_linhas)
        std::printf("\"%s\",%.4f,%.3f,%.2f,%.1f,%.0f,%s\n",
                    qPrintable(QString(r.operacao).replace('"', "\"\"")), r.nossa.ms, r.piso,
                    r.piso > 0 ? r.nossa.ms / r.piso : 0.0, r.nossa.instrucoes, r.orcamento,
                    r.nossa.ms <= r.orcamento ? "ok" : "over");
}

void TabelaBench::ImprimeResumo() const {
    QStringList acima;
    for (const Registro& r : m_linhas)
        if (r.nossa.ms > r.orcamento)
            acima << r.operacao;
    std::printf("\n%lld operations, %lld within budget%s%s\n", static_cast<long long>(m_linhas.size()),
                static_cast<long long>(m_linhas.size() - acima.size()),
                acima.isEmpty() ? "" : "; over: ", qPrintable(acima.join(QStringLiteral("; "))));
}

void MostraMensagens(ScriptedMessageService& messages, const char* onde) {
    if (!messages.Texts().isEmpty())
        std::printf("messages shown (%s): %s\n", onde,
                    qPrintable(messages.Texts().join(QStringLiteral(" | "))));
    messages.Clear();
}

Medida MedeRelatorio(ScreenDriver& driver) {
    return Mede(
        [&] {
            driver.Click(QStringLiteral("BitBtn1"));
            driver.Click(QStringLiteral("BtImp"));
        },
        3);
}
