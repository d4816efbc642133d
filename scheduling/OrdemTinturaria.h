#pragma once
#include <QHash>
#include <QPair>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

class TZoDatabase;
class TZoQuery;

// The dyeing order a programme writes back for an in-house customer (the enterprise's knitting side) in the
// host's order tables: a header under the programme's number and a line per lot sent with a lot sheet, the
// customer's product and colour filled; the customer's colour map keeps each colour's last cost.

// What a line carries of the host's tables: the undyed fabric behind the customer's product ("A DEFINIR"
// when there is none), the fabric's cost, and the colour's (its dearest recipe plus the print's pastes).
struct DadosItemTintur {
    QString codigo;
    double custoMalha = 0, custoCor = 0;
    bool temReceita = false;
};

// Reads them on the connection given, each product, colour and print once per order however many lines
// share it.
class LeituraTinturIten {
public:
    explicit LeituraTinturIten(TZoDatabase& conexao);
    ~LeituraTinturIten();
    DadosItemTintur DadosTinturIten(const QString& produto, const QString& cor, const QString& estampa,
                                    const QString& varEstampa);

private:
    std::unique_ptr<TZoQuery> m_malha, m_receita, m_estampa;
    QHash<QString, QPair<QString, double>> m_malhas;
    QHash<QString, std::optional<double>> m_receitas;
    QHash<QPair<QString, QString>, double> m_estampas;
};

// The colour's cost of a line: the recipe's and the print's; 0 when the colour has no recipe at all.
double CustoCorTintur(const std::optional<double>& receita, double estampa);
// The grammage in the line's three characters: the number as the screens show it, cut, without a comma left
// hanging at the cut; null without one.
QString GramaturaTintur(const QVariant& gramatura);
// The line's remark: the dye lot, then the programme's remark, cut to the column.
QString ObsTintur(const QString& partida, const QString& observacao);

// Writes the order of the stored programme in one unit of work on `conexao`: the header once, the lines not
// there yet (a lot sheet's item is a line of its own, by its order in the programme), the colour map. What
// to tell the user: the order written and how many lines it took, or why nothing was written.
QString GerarTinturaria(const QString& programa, TZoDatabase& conexao);
