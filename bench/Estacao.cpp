#include "Estacao.h"
#include "ScreenDriver.h"
#include "TZoDatabase.h"
#include <QElapsedTimer>
#include <QTextStream>
#include <QThread>

Desfecho DesfechoDasMensagens(const QStringList& erros, const QStringList& avisos,
                              const QStringList& esperadas) {
    // A lock met, or a write that waited out another user's: the texts the database layer shows for both.
    for (const QStringList* textos : {&erros, &avisos})
        for (const QString& texto : *textos)
            if (texto.contains(QStringLiteral("por outro usuário")))
                return Desfecho::Conflito;
    if (!erros.isEmpty())
        return Desfecho::Falha;
    for (const QString& aviso : avisos)
        if (!esperadas.contains(aviso))
            return Desfecho::Recusa;
    return Desfecho::Feito;
}

void Bancada::Aguarda() {
    ProcessEvents();
    instrucoesAntes = TZoDatabase::StatementCountAll();
    relogio.start();
}

namespace {
const char* nomeDoDesfecho(Desfecho d) {
    switch (d) {
    case Desfecho::Feito:
        return "ok";
    case Desfecho::Conflito:
        return "conflito";
    case Desfecho::Recusa:
        return "recusa";
    case Desfecho::Falha:
        break;
    }
    return "falha";
}

struct Tentativa {
    Desfecho desfecho;
    QString texto;
};

Tentativa tenta(Bancada& b, const Operacao& op, QTextStream& medidas) {
    b.mensagens.Clear();
    b.esperadas.clear();
    b.diario.clear();
    QStringList erros, avisos;
    b.instrucoesAntes = TZoDatabase::StatementCountAll();
    b.relogio.start();
    try {
        op.roda(b);
        ProcessEvents();
    } catch (const std::exception& e) {
        erros << QString::fromLocal8Bit(e.what());
    }
    const double ms = b.relogio.nsecsElapsed() / 1e6;
    for (const auto& mostrada : b.mensagens.shown)
        if (mostrada.kind == QLatin1String("message"))
            (mostrada.icon == MsgIcon::Error ? erros : avisos) << mostrada.text.simplified();
    const Desfecho d = DesfechoDasMensagens(erros, avisos, b.esperadas);
    QString texto = (erros + avisos).join(QStringLiteral(" / "));
    texto.replace(QLatin1Char(';'), QLatin1Char(','));
    medidas << op.nome << ';' << QString::number(ms, 'f', 2) << ';'
            << (TZoDatabase::StatementCountAll() - b.instrucoesAntes) << ';' << nomeDoDesfecho(d) << ';'
            << (d == Desfecho::Feito ? QString() : texto) << '\n';
    medidas.flush();
    // Whatever a failed attempt left on the screen is the user's to drop: the screen is closed, edits not
    // saved, and opened afresh by the next operation.
    if (d != Desfecho::Feito) {
        if (b.db.Transaction()->InTransaction())
            b.db.Transaction()->RollbackRetaining();
        try {
            if (b.driver.Screen())
                b.driver.Close();
        } catch (const std::exception&) {
            b.driver.Use(nullptr);
        }
        b.mensagens.Clear();
    }
    return {d, texto};
}

void pensa(Bancada& b, int pensaMs, QDeadlineTimer fim) {
    const int ms = pensaMs > 0 ? b.Sorteia(pensaMs / 2, pensaMs * 3 / 2) : 0;
    QElapsedTimer relogio;
    relogio.start();
    while (relogio.elapsed() < ms && !fim.hasExpired()) {
        ProcessEvents();
        QThread::msleep(20);
    }
}
} // namespace

void RodaEstacao(Bancada& b, const QList<Operacao>& operacoes, QDeadlineTimer fim, int pensaMs,
                 QTextStream& medidas, QTextStream& diario) {
    int pesos = 0;
    for (const Operacao& op : operacoes)
        pesos += op.peso;
    while (!fim.hasExpired()) {
        pensa(b, pensaMs, fim);
        int sorteio = b.Sorteia(1, pesos);
        const Operacao* op = &operacoes.first();
        for (const Operacao& candidata : operacoes) {
            op = &candidata;
            if ((sorteio -= candidata.peso) <= 0)
                break;
        }
        Tentativa t = tenta(b, *op, medidas);
        // A user who met another's lock reads the message, waits a moment and tries again, once.
        if (t.desfecho == Desfecho::Conflito) {
            pensa(b, 500, QDeadlineTimer(2000));
            t = tenta(b, *op, medidas);
            if (t.desfecho == Desfecho::Conflito)
                medidas << op->nome << ";0;0;falha;conflito outra vez: " << t.texto << '\n';
        }
        if (t.desfecho == Desfecho::Feito)
            for (const auto& linha : std::as_const(b.diario))
                diario << linha() << '\n';
        diario.flush();
    }
}
