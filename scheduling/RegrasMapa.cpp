#include "RegrasMapa.h"
#include "Formatacao.h"
#include <algorithm>

int QuantizaMinutos(int minutos) {
    const int sinal = minutos < 0 ? -1 : 1;
    const int m = minutos * sinal;
    int passos = m / 10;
    const int resto = m % 10;
    if (resto > 5 || (resto == 5 && passos % 2 == 1))
        ++passos;
    return sinal * passos * 10;
}

int LarguraBarra(const QString& tempo) {
    const int minutos = MinutosDoTempo(tempo);
    return std::max(kBarraMinima, QuantizaMinutos(std::max(0, minutos)));
}

namespace {
QDateTime hora(const QDateTime& momento) {
    return {momento.date(), QTime(momento.time().hour(), 0)};
}
} // namespace

QDateTime OrigemDoMapa(const QList<QDateTime>& inicios, const QDateTime& agora) {
    const auto primeiro = std::min_element(inicios.cbegin(), inicios.cend());
    return hora(primeiro == inicios.cend() ? agora : *primeiro);
}

int PixelDoMomento(const QDateTime& origem, const QDateTime& momento) {
    return QuantizaMinutos(int(origem.secsTo(momento) / 60));
}

QDateTime MomentoDoPixel(const QDateTime& origem, int pixel) {
    return origem.addSecs(qint64(pixel) * 60);
}

QString HoraDoMapa(const QDateTime& momento) {
    return momento.time().toString(QStringLiteral("HH:mm:ss"));
}

QList<HoraMapa> HorasDoMapa(const QDateTime& origem) {
    QList<HoraMapa> horas;
    for (int id = 0; id < kHorasMapa; ++id) {
        const QDateTime h = origem.addSecs(qint64(id) * 3600);
        horas.append({id, QStringLiteral("%1").arg(h.time().hour(), 2, 10, QLatin1Char('0')), h.date()});
    }
    return horas;
}

QList<BarraMapa> AgrupaBarras(const QList<FalMapa>& fals) {
    QList<BarraMapa> barras;
    int inicioPosicao = 0; // first bar of the current machine position
    for (const FalMapa& f : fals) {
        if (barras.isEmpty() || barras.last().maquina != f.maquina || barras.last().ordem != f.ordem)
            inicioPosicao = int(barras.size());
        auto barra = std::find_if(barras.begin() + inicioPosicao, barras.end(),
                                  [&f](const BarraMapa& b) { return b.cor == f.cor; });
        if (barra == barras.end()) {
            barras.append({f.maquina, f.ordem, f.cor, f.corSis, {}, kBarraMinima, std::nullopt});
            barra = barras.end() - 1;
        }
        barra->fals << f.numero;
        barra->largura = std::max(barra->largura, LarguraBarra(f.tempo));
        if (f.inicio && (!barra->inicio || *f.inicio < *barra->inicio))
            barra->inicio = f.inicio;
    }
    return barras;
}

void PosicionaBarras(QList<BarraMapa>& barras, const QDateTime& origem, const QDateTime& agora) {
    // A machine's started bars go first, in the order they started; the rest keep their order.
    std::stable_sort(barras.begin(), barras.end(), [](const BarraMapa& a, const BarraMapa& b) {
        if (a.maquina != b.maquina)
            return a.maquina < b.maquina;
        if (a.inicio.has_value() != b.inicio.has_value())
            return a.inicio.has_value();
        return a.inicio && *a.inicio < *b.inicio;
    });
    const int agoraPx = std::max(0, PixelDoMomento(origem, agora));
    QString maquina;
    int proxLeft = 0;
    for (BarraMapa& b : barras) {
        if (b.maquina != maquina) {
            maquina = b.maquina;
            proxLeft = 0;
        }
        b.x = std::max(proxLeft, b.inicio ? PixelDoMomento(origem, *b.inicio) : agoraPx);
        proxLeft = b.x + b.largura;
        b.desenhada = proxLeft <= kLarguraMapa;
    }
}

DestinoBarra DestinoAntes(const QList<int>& ordens, int barra, int alvo) {
    const int ultima = int(ordens.size()) - 1;
    if (alvo < 0 || alvo > ultima) {
        if (barra >= 0 && barra == ultima)
            return {};
        return {ordens.isEmpty() ? 1 : ordens.last() + 1, true};
    }
    if (barra >= 0 && (alvo == barra || alvo == barra + 1))
        return {};
    return {ordens[alvo], true};
}

DestinoBarra DestinoMovimento(const QList<int>& ordens, int barra, int passos) {
    const int ultima = int(ordens.size()) - 1;
    const int alvo = std::clamp(barra + passos, 0, std::max(0, ultima));
    if (alvo == barra)
        return {};
    // Later: before the bar after the n-th one, or past the last.
    return DestinoAntes(ordens, barra, passos > 0 ? (alvo == ultima ? -1 : alvo + 1) : alvo);
}

QList<FalNaFila> OcupantesEm(const QList<FalNaFila>& filas, const QString& maquina, int ordem,
                             const QString& fal) {
    QList<FalNaFila> ocupantes;
    for (const FalNaFila& f : filas)
        if (f.aberta && f.maquina == maquina && f.ordem == ordem && f.numero != fal && !f.fase.isEmpty())
            ocupantes << f;
    std::sort(ocupantes.begin(), ocupantes.end(),
              [](const FalNaFila& a, const FalNaFila& b) { return a.numero < b.numero; });
    return ocupantes;
}

int MaiorOrdemEm(const QList<FalNaFila>& filas, const QString& maquina) {
    int maior = 0;
    for (const FalNaFila& f : filas)
        if (f.aberta && f.maquina == maquina)
            maior = std::max(maior, f.ordem);
    return maior;
}

void AplicaPasso(QList<FalNaFila>& filas, const PassoColocacao& passo) {
    for (FalNaFila& f : filas)
        if (passo.abreEspaco) {
            if (f.aberta && f.maquina == passo.maquina && f.ordem >= passo.ordem && f.numero != passo.fal)
                ++f.ordem;
        } else if (f.numero == passo.fal) {
            f.maquina = passo.maquina;
            f.ordem = passo.ordem;
        }
}
