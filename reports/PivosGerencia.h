#pragma once
#include <QDate>
#include <QList>
#include <QString>
#include <array>
#include <optional>

// The management reports' folds of their statements' rows, over plain rows: each a single pass, a hash by
// the result's key.

// Machines: a lot dyed on a machine with its curve's time ("HH:MM" or "HH:MM:SS").
struct LoteMaquina {
    QString maquina, descricao, tempo, partida;
};
struct TotalMaquina {
    QString maquina, descricao;
    QString tempo;  // the lots' curve times summed, "HH:MM:SS"
    double dia = 0; // the same in days
    int numPart = 0;
    QString partidas; // the lots in reading order, " - " between them
};
// One row per machine in the order first read. A curve time that is blank or unreadable counts no time; the
// lot still counts.
QList<TotalMaquina> PivoMaquinas(const QList<LoteMaquina>& lotes);

// Deliveries: an item of a lot sheet billed on `entrega`, against the sheet's forecast.
struct ItemEntregue {
    QString cliente, nome, numero;
    double peso = 0, dias = 0; // days from the sheet's start to the delivery
    QDate previsao, entrega;
};
struct EntregasCliente {
    QString cliente, nome;
    double antes = 0, noDia = 0, depois = 0; // kg
    int lotesAntes = 0, lotesNoDia = 0, lotesDepois = 0;
    double mediaPonderada = 0, mediaDias = 0, mediaPonderadaAntes = 0, mediaAntes = 0,
           mediaPonderadaDepois = 0,
           mediaDepois = 0; // days, two decimals
};
// One row per customer, by code. A lot is a sheet delivered on a day: its items delivered together count
// once. Before, on or after the forecast; a sheet without one counts as late. A mean over no weight or no
// row is 0.
QList<EntregasCliente> PivoEntregas(const QList<ItemEntregue>& itens);

// Prices by print group: a colour's price in one of its variants' groups ("01" to "10").
struct PrecoGrupo {
    QString cor, descricao, grupo;
    double preco = 0;
};
struct PrecosCor {
    QString cor, descricao;
    std::array<std::optional<double>, 10> precos; // groups "01" to "10"
};
constexpr int kGruposPreco = 10;
// One row per colour, by code; a group with no column of its own is left out.
QList<PrecosCor> PivoPrecos(const QList<PrecoGrupo>& linhas);

// Monthly billing: what a customer or colour billed in a month (1 to 12).
struct FaturadoMes {
    QString codigo, nome;
    int mes = 0;
    double peso = 0;
};
struct FaturadoAno {
    QString codigo, nome;
    std::array<double, 12> meses{};
};
// One row per code, by code, each month the sum of its rows (rows of several companies add up).
QList<FaturadoAno> PivoMensal(const QList<FaturadoMes>& linhas);
