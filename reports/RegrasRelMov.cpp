#include "RegrasRelMov.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include <QHash>
#include <algorithm>
#include <tuple>

namespace {
constexpr qint64 kDia = 24 * 3600;

QString Duracao(qint64 segundos) {
    return TempoString(segundos / 3600.0);
}
} // namespace

std::optional<QDateTime> Momento(const QDate& data, const QString& hora) {
    if (!data.isValid())
        return std::nullopt;
    const QTime t = LeHora(hora.trimmed());
    return QDateTime(data, t.isValid() ? t : QTime(0, 0), Qt::UTC);
}

bool JanelaConclusao::Contem(const std::optional<QDateTime>& fim) const {
    if (!fim)
        return !de && !ate;
    if (de && (deExclusivo ? *fim <= *de : *fim < *de))
        return false;
    return !ate || (ateExclusivo ? *fim < *ate : *fim <= *ate);
}

JanelaConclusao MontaJanela(const QDate& de, const QString& horaDe, const QDate& ate,
                            const QString& horaAte) {
    JanelaConclusao janela;
    const QTime inicio = LeHora(horaDe.trimmed()), fim = LeHora(horaAte.trimmed());
    if (de.isValid()) {
        janela.de = QDateTime(de, inicio.isValid() ? inicio : QTime(0, 0), Qt::UTC);
        janela.deExclusivo = inicio.isValid();
    }
    if (ate.isValid()) {
        janela.ate = QDateTime(ate, fim.isValid() ? fim : QTime(23, 59, 59, 999), Qt::UTC);
        janela.ateExclusivo = fim.isValid();
    }
    return janela;
}

TempoProcesso TempoDeProcesso(const QDate& dataIni, const QString& horaIni, const QDate& dataFim,
                              const QString& horaFim) {
    const auto inicio = Momento(dataIni, horaIni), fim = Momento(dataFim, horaFim);
    if (!inicio || !fim || *fim < *inicio)
        return {};
    const qint64 s = inicio->secsTo(*fim);
    return {Duracao(s), int(s / 3600), int(s / 60 % 60), int(s % 60)};
}

QStringList TemposParados(const QList<PassoMaquina>& passos) {
    QStringList parados(passos.size());
    // Moments as seconds: a month's steps sort in a fraction of the time QDateTime comparisons take.
    struct Chave {
        QStringView maquina;
        qint64 inicio, fim;
        int indice;
    };
    QList<Chave> chaves;
    chaves.reserve(passos.size());
    for (int i = 0; i < passos.size(); ++i)
        if (passos[i].inicio && passos[i].fim && !passos[i].maquina.isEmpty())
            chaves.append({passos[i].maquina, passos[i].inicio->toSecsSinceEpoch(),
                           passos[i].fim->toSecsSinceEpoch(), i});
    std::stable_sort(chaves.begin(), chaves.end(), [](const Chave& x, const Chave& y) {
        return std::tie(x.maquina, x.inicio, x.fim) < std::tie(y.maquina, y.inicio, y.fim);
    });
    QList<int> ordem;
    ordem.reserve(chaves.size());
    for (const Chave& c : std::as_const(chaves))
        ordem << c.indice;
    const PassoMaquina* anterior = nullptr;
    QDateTime livre; // when the machine's work so far ended
    for (int i : std::as_const(ordem)) {
        const PassoMaquina& p = passos[i];
        if (!anterior || anterior->maquina != p.maquina) {
            livre = *p.fim;
        } else {
            if (anterior->fal != p.fal)
                parados[i] = Duracao(std::max<qint64>(0, livre.secsTo(*p.inicio)));
            livre = std::max(livre, *p.fim);
        }
        anterior = &p;
    }
    return parados;
}

QString TempoEntre(const QString& inicio, const QString& fim) {
    const QTime de = LeHora(inicio.trimmed()), ate = LeHora(fim.trimmed());
    if (!de.isValid() || !ate.isValid())
        return QString();
    const qint64 s = de.secsTo(ate);
    return Duracao(s < 0 ? s + kDia : s);
}

QString DiaSemana(const QDate& data) {
    static const char* const nomes[] = {"Domingo", "Segunda", "Terça", "Quarta", "Quinta", "Sexta", "Sabado"};
    return data.isValid() ? QString::fromUtf8(nomes[data.dayOfWeek() % 7]) : QString();
}

QList<PesoTurnoDia> DobraGrafico(const QList<ProducaoTurno>& linhas) {
    QList<PesoTurnoDia> grafico;
    QHash<QPair<QString, QDate>, qsizetype> onde;
    const auto soma = [&](const QString& turno, const QDate& data, double peso) {
        const auto chave = qMakePair(turno, data);
        auto it = onde.constFind(chave);
        if (it == onde.cend()) {
            it = onde.insert(chave, grafico.size());
            grafico.append(
                {turno, data, 0,
                 DiaSemana(data).left(3) + QLatin1Char('-') + data.toString(QStringLiteral("dd/MM"))});
        }
        grafico[*it].peso += peso;
    };
    for (const ProducaoTurno& l : linhas) {
        if (!l.data.isValid())
            continue;
        soma(l.turno.trimmed(), l.data, l.peso);
        soma(QStringLiteral("Total"), l.data, l.peso);
    }
    std::sort(grafico.begin(), grafico.end(), [](const PesoTurnoDia& a, const PesoTurnoDia& b) {
        return std::tie(a.turno, a.data) < std::tie(b.turno, b.data);
    });
    return grafico;
}
