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
    // Machines as numbers and moments as seconds: a month's steps sort on integers, not on texts and
    // QDateTime comparisons.
    struct Chave {
        int maquina;
        qint64 inicio, fim;
        int indice;
        auto operator<=>(const Chave&) const = default;
    };
    QHash<QString, int> maquinas;
    QList<Chave> chaves;
    chaves.reserve(passos.size());
    for (int i = 0; i < passos.size(); ++i) {
        const PassoMaquina& p = passos[i];
        if (!p.inicio || !p.fim || p.maquina.isEmpty())
            continue;
        auto maquina = maquinas.constFind(p.maquina);
        if (maquina == maquinas.cend())
            maquina = maquinas.insert(p.maquina, int(maquinas.size()));
        chaves.append({*maquina, p.inicio->toSecsSinceEpoch(), p.fim->toSecsSinceEpoch(), i});
    }
    // The index last keeps the order given among equal steps.
    std::sort(chaves.begin(), chaves.end());
    const Chave* anterior = nullptr;
    qint64 livre = 0; // when the machine's work so far ended
    for (const Chave& c : std::as_const(chaves)) {
        if (!anterior || anterior->maquina != c.maquina) {
            livre = c.fim;
        } else {
            if (passos[anterior->indice].fal != passos[c.indice].fal)
                parados[c.indice] = Duracao(std::max<qint64>(0, c.inicio - livre));
            livre = std::max(livre, c.fim);
        }
        anterior = &c;
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
