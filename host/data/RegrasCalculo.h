#pragma once
#include "HostExport.h"
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <optional>

// Calculation rules (TNG_REGRA): a rule replaces a recipe item's fixed quantity by one that depends on the
// batch. A rule that has no line for the batch, or does not exist, gives no result: the caller keeps the
// item's own quantity.

// The codes a rule call takes are of distinct types, so that a call cannot pass them in the wrong order.
struct CodigoRegra {
    explicit CodigoRegra(QString codigo) : valor(std::move(codigo)) {}
    QString valor;
};
struct CodigoProduto {
    explicit CodigoProduto(QString codigo) : valor(std::move(codigo)) {}
    QString valor;
};

// One line of a rule, as stored: TIPO names what LINHA is ("C" customer, "M" machine, "P" product, "G"/"L"
// the product's group/line); a blank LINHA applies to every batch. QTDE_ATE 0 is no upper bound.
struct LinhaRegra {
    QString tipo;
    QString linha;
    double de = 0;
    double ate = 0;
    double resultado = 0;
};

// The batch a quantity is asked for; grupo and linhaProduto are its fabric's PRODUTO.GRUPO and LINHA (a
// material's MATERIAL ones when the code is a material's).
struct LoteRegra {
    double peso = 0;
    QString maquina;
    QString produto;
    QString cliente;
    QString grupo;
    QString linhaProduto;
};

// The first line, in order, whose code matches the batch and whose range holds its weight (bounds
// included).
KELMHOST_EXPORT std::optional<double> AvaliaRegraQtde(const QList<LinhaRegra>& linhas, const LoteRegra& lote);
// The first product, group or line entry that matches the product; ranges do not apply.
KELMHOST_EXPORT std::optional<double> AvaliaRegraPerc(const QList<LinhaRegra>& linhas, const QString& produto,
                                                      const QString& grupo, const QString& linhaProduto);

// Evaluates rules over one run (a recipe loaded, a batch issued, a recalculation): each rule and each
// product's group and line are read once.
class KELMHOST_EXPORT RegrasCalculo {
public:
    // Recipe and variant are those of the item asking; fibre shares stay with the caller.
    std::optional<double> CalculaQtdeRegra(const QString& receita, const QString& variante,
                                           const CodigoRegra& regra, double fibra1, double fibra2,
                                           double peso, const QString& maquina, const QString& produto,
                                           const QString& cliente);
    std::optional<double> CalculaPercRegra(const CodigoProduto& produto, const CodigoRegra& regra);
    // Reads the rules a run will ask for in one statement, instead of one statement per rule.
    void Carrega(const QSet<QString>& regras);
    int RegrasLidas() const { return m_leituras; }

private:
    const QList<LinhaRegra>& Linhas(const QString& regra);
    bool UsaProduto(const QList<LinhaRegra>& linhas) const;
    QPair<QString, QString> GrupoLinha(const QString& produto);
    QHash<QString, QList<LinhaRegra>> m_regras;
    QHash<QString, QPair<QString, QString>> m_produtos;
    int m_leituras = 0;
};

// One call, one run.
KELMHOST_EXPORT std::optional<double> CalculaQtdeRegra(const QString& receita, const QString& variante,
                                                       const CodigoRegra& regra, double fibra1, double fibra2,
                                                       double peso, const QString& maquina,
                                                       const QString& produto, const QString& cliente);
KELMHOST_EXPORT std::optional<double> CalculaPercRegra(const CodigoProduto& produto,
                                                       const CodigoRegra& regra);
