#pragma once
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

// The production map's arithmetic: one pixel per minute, times in steps of ten minutes, four days of hour
// columns from the origin, a bar per machine position and colour, and where a moved bar lands.

constexpr int kPixelsPorHora = 60;
constexpr int kHorasMapa = 96;
constexpr int kLarguraMapa = kPixelsPorHora * kHorasMapa; // 5760
constexpr int kBarraMinima = 10;

// Minutes to the nearest ten, halves to the even step: 4 -> 0, 14 -> 10, 15 -> 20, 25 -> 20.
int QuantizaMinutos(int minutos);

// A curve's time ("HH:MM" or "HH:MM:SS") as a bar's pixels, quantised, never below ten; "0", blank or
// unreadable text is the minimum.
int LarguraBarra(const QString& tempo);

// The map's first hour: the hour of the earliest start, or the current hour when nothing has started.
QDateTime OrigemDoMapa(const QList<QDateTime>& inicios, const QDateTime& agora);

// A moment's pixel from the origin, quantised.
int PixelDoMomento(const QDateTime& origem, const QDateTime& momento);
// The moment of a pixel.
QDateTime MomentoDoPixel(const QDateTime& origem, int pixel);
// A time of the list, "HH:MM:SS": the day is shown beside it, so midnight is "00:00:00", never "24:00:00".
QString HoraDoMapa(const QDateTime& momento);

// One hour column of the axis.
struct HoraMapa {
    int id = 0;
    QString hora; // "07"
    QDate dia;
};
QList<HoraMapa> HorasDoMapa(const QDateTime& origem);

// A FAL of the map, as read.
struct FalMapa {
    QString numero;
    QString maquina;
    int ordem = 0;
    QString cor;                     // the colour's code: FALs of different colours are never one bar
    QVariant corSis;                 // its display colour (CADCORTIN.COR_SIS)
    QString tempo;                   // the curve's time
    std::optional<QDateTime> inicio; // its step of the phase started, not concluded
};

// A bar: the FALs of one machine position and one colour, dyed together.
struct BarraMapa {
    QString maquina;
    int ordem = 0;
    QString cor;
    QVariant corSis;
    QStringList fals;
    int largura = kBarraMinima;      // the longest curve of its FALs
    std::optional<QDateTime> inicio; // the earliest start of its FALs
    int x = 0;
    bool desenhada = true; // false when it ends beyond the four days
    QString Legenda() const { return fals.join(QLatin1Char('/')); }
};

// The FALs as bars, in the order given (machine, position, number): one bar per machine, position and
// colour; a position holding two colours gives two bars one after the other.
QList<BarraMapa> AgrupaBarras(const QList<FalMapa>& fals);

// Lays the bars along their machines' rows (PROX_LEFT, the next free pixel of each): started bars first,
// at their start or at the end of the bar before, whichever is later; the others from the later of now
// and that end. A bar ending beyond the four days is not drawn, and those after it neither.
void PosicionaBarras(QList<BarraMapa>& barras, const QDateTime& origem, const QDateTime& agora);

// A FAL as a save's placing sees it: where it stands, its colour, the phase of its next pending step (empty:
// none) and whether it is open (no item returned or closed).
struct FalNaFila {
    QString numero, maquina;
    int ordem = 0;
    QString cor, fase;
    bool aberta = true;
};
// A write of a save: room opened at a machine position (the open FALs from it on, but `fal`, one down), or
// `fal` placed at it.
struct PassoColocacao {
    bool abreEspaco = false;
    QString fal, maquina;
    int ordem = 0;
};
// The queues as the database answers a save between its writes: the other open FALs at a machine position
// with a step pending, by number (those a FAL placed there clashes with); the machine's highest position
// among its open FALs, 0 when none; a write applied.
QList<FalNaFila> OcupantesEm(const QList<FalNaFila>& filas, const QString& maquina, int ordem,
                             const QString& fal);
int MaiorOrdemEm(const QList<FalNaFila>& filas, const QString& maquina);
void AplicaPasso(QList<FalNaFila>& filas, const PassoColocacao& passo);

// Where a bar goes on a machine whose bars hold the positions `ordens` (map order).
struct DestinoBarra {
    int ordem = 0;
    bool move = false; // false: it stays where it is
};
// Bar `barra` (-1: one from another machine) placed before bar `alvo` (-1: past the last one).
DestinoBarra DestinoAntes(const QList<int>& ordens, int barra, int alvo);
// "Adiar"/"Antecipar" by `passos` bars (later when positive): after the n-th bar later, before the n-th
// bar earlier, stopping at the last and the first.
DestinoBarra DestinoMovimento(const QList<int>& ordens, int barra, int passos);
