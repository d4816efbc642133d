#pragma once
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class QObject;
class TClientDataSet;

// What the roll labels read of a lot sheet and write for it: the label table built from one read of the
// items and one of the weights recorded, the rolls recorded one by one, the items marked printed and the
// rolls posted to stock, each write one unit of work.

extern const QString kPecaRegistrada;

// A sheet that another sheet reprocesses gets no labels.
bool FalReprocessada(const QString& fal);
// Steps of the sheet (of the product, when given) not concluded.
int ProcessosAbertos(const QString& fal, const QString& produto);
// Whether an item of the sheet (of the product, when given) has had its labels printed.
bool ItensJaImpressos(const QString& fal, const QString& produto);

struct ResumoEtiquetas {
    int rolos = 0;
    double peso = 0;
};
// The rolls and weight of the sheet's items (of the product, when given).
ResumoEtiquetas ResumoItens(const QString& fal, const QString& produto);

// A step of the sheet, as its labels print it.
struct PassoEtiqueta {
    QString fase, desFase, funcionario, nomeFuncionario, maquina, descMaquina, turno;
    QDate dataIni;
};
// The sheet's steps (of the product, when given), in their order.
QList<PassoEtiqueta> PassosDaFal(const QString& fal, const QString& produto);

// The label table, one row per roll: its fields as the layouts name them.
void CriaTabelaEtiquetas(TClientDataSet& tabela);

struct PedidoEtiquetas {
    QString fal;
    QString produto; // empty: every item
    int rolos = 0;   // rolls asked for; more than the items hold adds rows
    std::optional<PassoEtiqueta> passo;
    QString obs;
    double tara = 0;
};
// Fills the table with the sheet's rolls, each with the weight recorded for it (none when 0 or missing).
// What the rows hold, summed.
ResumoEtiquetas CarregaEtiquetas(TClientDataSet& tabela, const PedidoEtiquetas& pedido);

struct RoloPesado {
    QString fal, codigo;
    int nrRolo = 0;
    double peso = 0;
    QVariant gramatura, largura;
};
// Records a weighed roll: empty when recorded, kPecaRegistrada when the roll already was (here or by
// another workstation at the same moment).
QString GravaRolo(const RoloPesado& rolo);
void ExcluiRolo(const QString& fal, const QString& codigo, int nrRolo);

struct ItemImpresso {
    QString codigo, lote, fase;
    int rolos = 0;
};
// After the labels printed: the audit line of each item and the items marked printed, one unit.
void MarcaEtiquetasImpressas(const QString& fal, const QList<ItemImpresso>& itens, QObject* tela);

struct RoloEstoque {
    QString codigo, cor, lote; // the item's own lot
    double pesoLiquido = 0;
};
struct PedidoEstoqueRolos {
    QString fal, cliente, deposito;
    bool produtos = true;     // finished products, else materials
    bool baixarItens = false; // close the sheet's items
    QString produtoTela;      // the product box, for the audit line
    QList<RoloEstoque> rolos;
};
struct ResultadoEstoqueRolos {
    QString recusa;
    QStringList lotes; // the stock lot of each roll given, empty for those without weight
    int lancados = 0;
};
// Every check first (nothing posted for the sheet's codes yet, each code registered, some roll weighed),
// then the items closed, one stock entry per weighed roll under a lot of the sheet's series, the audit
// lines: one unit, nothing written on a refusal or a failure.
ResultadoEstoqueRolos LancaEstoqueRolos(const PedidoEstoqueRolos& pedido, QObject* tela);
