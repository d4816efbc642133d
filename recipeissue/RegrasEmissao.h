#pragma once
#include <QHash>
#include <QList>
#include <QString>

// What a batch recipe computes, apart from where its figures come from.

// The bath of a batch, in litres: weight × proportion rounded to the machine's decimals, then raised to
// the machine's minimum and lowered to its maximum (the maximum last). A bound of 0 is no bound: a machine
// without a maximum does not empty every bath.
double VolumeBanho(double pesoKg, double proporcao, int casas, double minimo, double maximo);

// Grams of one recipe line for a batch: "GL" is grams per litre of bath, "%" per cent of the batch weight
// (of the fibre the line is for, "1" or "2", when the batch has a share of it); any other unit gives none.
// A material's concentration above 0 takes that share of it.
double GramasDaLinha(double quantidade, const QString& unidade, const QString& fibra, double concentracao,
                     double pesoKg, double volumeL, double fibra1, double fibra2);

// Whether a short material's substitute is taken for `necessidadeKg` of it: the substitute's own need is
// `concentracao` per cent of that, and its stock must cover that need (a substitute kept out of stock
// always does).
bool TomaContratipo(double necessidadeKg, double concentracao, bool semEstoque, double estoqueKg);

// A recipe or preparation row as the batch computes it: its quantity with the rule already applied, and what
// the material registry and the dyeing type say of it.
struct ItemEmissao {
    QString material, descricao, grupo, subgrupo;
    QString tipo, descTipo, baixaAut;
    QString passo, unidade, fibra;
    int ordem = 0;
    double qtde = 0;
    double concentracao = 0;
    double preco = 0;     // replacement cost per kilogram
    bool estocado = true; // MATERIAL.ESTOQUE is not "N"
    bool inativo = false; // MATERIAL.ATIVO is "N"
};

// The first active substitute of a material (the one with most stock at the priority warehouse), and whether
// the material has a substitute to be used even while it is in stock.
struct Contratipo {
    QString codigo, descricao, grupo, subgrupo;
    double concent = 0;      // per cent of the substitute per unit of the material
    double concentracao = 0; // the substitute's own
    double preco = 0;
    bool estocado = true;
    bool imediato = false;
};

// The batch as a line needs it.
struct CargaEmissao {
    double pesoKg = 0, volumeL = 0, fibra1 = 0, fibra2 = 0;
    bool lote = false; // a run over many sheets: no substitution
};

// One line of the batch recipe: the item (the substitute's when it replaced one), the quantity the recipe
// asked (Qtde_Orig), the grams to weigh out.
struct LinhaEmissao {
    ItemEmissao item;
    double qtdeOrig = 0;
    double consumo = 0;
    bool contratipo = false;
    QString lote{};       // the material lot taken
    bool baixado = false; // written off stock
};

struct CalculoEmissao {
    QList<LinhaEmissao> linhas;
    QHash<QString, double> totais; // grams per material over the batch
    QString parada;                // why the run stopped; nothing is kept then
};

// The lines of a batch from its preparation and recipe rows in order. `estoqueKg` is the working stock of
// the materials and their substitutes, drawn down as lines take from it; `contratipos` the first candidate
// of each material that has one. A short material takes its substitute when the substitute covers its own
// need; otherwise, or when there is none, the run stops. A material not kept in stock is never short. Two
// rows of one material and order make one line with their grams summed (they are one stored row).
CalculoEmissao CalculaLinhas(const QList<ItemEmissao>& itens, const CargaEmissao& carga,
                             QHash<QString, double> estoqueKg, const QHash<QString, Contratipo>& contratipos);

// The lowest lot of a material that holds `kg`, among its lots at a warehouse; "000000" when none does.
QString MenorLoteComEstoque(const QList<QPair<QString, double>>& lotes, double kg);
// Whether that lot ("000000" when none was taken) holds `kg`.
bool LoteCobre(const QList<QPair<QString, double>>& lotes, const QString& lote, double kg);
