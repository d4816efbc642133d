#pragma once
#include <QList>
#include <QSet>
#include <QString>
#include <optional>

// How a finishing quotation prices a colour: plain values in, prices out; the screen reads and writes.

// A customer's (or a price region's) cost parameters, as PRECO_PARAM keeps them.
struct ParametrosPreco {
    double cofins = 0, icms = 0, irpj = 0, contrSocial = 0;     // taxes, percent
    double financeiro = 0, comissao = 0, perda = 0, margem = 0; // percent
    double frete = 0, embalagem = 0, fixo = 0;                  // per kilogram
    double custoMinuto = 0, volume = 0; // one minute of dyeing; kilograms of a standard batch
};

// A minute of dyeing shared by the batch's kilograms: minutes × cost, divided by the volume when there is
// one (else the batch's figure). A curve time that could not be read (negative minutes) costs nothing.
double CustoTempo(int minutos, double custoMinuto, double volume);

// The costs and percentages an item's price is built from.
struct ComposicaoPreco {
    double tempo = 0, quimico = 0, frete = 0, embalagem = 0, fixo = 0;             // per kilogram
    double financeiro = 0, comissao = 0, impostos = 0, reprocesso = 0, margem = 0; // percent
    double Custos() const { return tempo + quimico + frete + embalagem + fixo; }
    // What is charged on the price apart from the margin.
    double Encargos() const { return financeiro + comissao + impostos + reprocesso; }
};

struct PrecoCalculado {
    ComposicaoPreco composicao;
    double preco = 0;             // rounded to cents, as shown, stored and posted
    double margem = 0, lucro = 0; // what the price leaves, percent and per kilogram
    bool semPreco = false;        // the percentages reach 100 %: no price can leave the costs
};

// The price of an item: the costs over what the percentages leave of it, K / ((100 − P) / 100).
// `fixoManual` and `quimicoManual` replace the parameter's fixed cost and the recipe's cost when not 0.
PrecoCalculado CalculaPreco(const ParametrosPreco& parametros, double custoReceita, int minutosCurva,
                            double fixoManual, double quimicoManual);

// The margin and profit a price leaves once the services along the item's route are added; a total of 0
// leaves `atual` as it was.
struct MargemCalculada {
    double precoTotal = 0, margem = 0, lucro = 0;
};
MargemCalculada CalculaMargem(const ComposicaoPreco& composicao, double preco, double servicos,
                              const MargemCalculada& atual);

// A service priced for the customer: its phase and cost per kilogram.
struct ServicoOrcado {
    QString fase;
    double custo = 0;
};
// The services whose phase is on the item's route.
double PrecoServicos(const QSet<QString>& fasesDoFluxo, const QList<ServicoOrcado>& servicos);

// An item's price, margin and profit, or their averages over the quotation's items (0 over none).
struct ResultadoItem {
    double preco = 0, margem = 0, lucro = 0;
};
ResultadoItem CalculaTotais(const QList<ResultadoItem>& itens);

// A print's chemical cost per kilogram: each frame's paste consumption times the paste's cost (its
// components' shares at replacement cost), over 1000, to four decimals.
struct QuadroOrcado {
    double consumo = 0, custoPasta = 0;
};
double CustoEstampa(const QList<QuadroOrcado>& quadros);

// A price to post into the region's table: the colour's own row gets it.
struct PrecoLancar {
    QString cor, variante, descricao;
    double preco = 0;
};
// Why the prices cannot be posted: a blank region, a colour and variant twice (the second would keep the
// first's price as the last one), a price not above 0. Empty when they can.
QString RecusaLancamento(const QString& regiao, const QList<PrecoLancar>& precos);

// The customer's payment terms as the quotation shows them: days ("30/60/90", "28 42") as "30/60/90 dias",
// "0" or "00" as "À vista", any other text as typed.
QString MontaCondicao(const QString& condicao);

// A colour's (or a print's) cost against its table price, as the colour cost report lists it: the curve's
// minutes (-1 when its time cannot be read, costing nothing), the time's cost, the total with the chemicals
// and the margin the price leaves, none without a price.
struct CustoCor {
    int minutos = -1;
    double custoTempo = 0, total = 0;
    std::optional<double> margem;
};
CustoCor CalculaCustoCor(double custoQuimico, const QString& tempoCurva, double custoMinuto, double volume,
                         double preco);

// The thickness of a print's screens, each typed with a decimal comma ("0,5"); one that cannot be read
// ("abc", "1,5 mm") counts nothing.
double SomaEspessuras(const QStringList& espessuras);
