#include "CustoReceita.h"
#include "Funcoes.h"
#include <cmath>

double LeIndice(const QString& indice) {
    QString texto = indice.trimmed();
    texto.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double valor = texto.toDouble(&ok);
    return ok && std::isfinite(valor) ? valor : 0;
}

namespace {
// A share of 0 (first fibre of a variant with INDICE 0, second of one with 100) means the variant has no
// such blend: the item acts on the whole fabric, as recipe issue weighs it.
double parteFibra(const QString& fibra, const QString& indice) {
    const QString marca = fibra.trimmed();
    double parte = 1;
    if (marca == QLatin1String("1"))
        parte = LeIndice(indice) / 100;
    else if (marca == QLatin1String("2"))
        parte = (100 - LeIndice(indice)) / 100;
    parte = Arredondar(parte, 4);
    return parte == 0 ? 1 : parte;
}
} // namespace

CustoItem CustoItemReceita(const ItemCusto& item) {
    const double f = parteFibra(item.fibra, item.indice);
    const QString unidade = item.unidade.trimmed().toUpper();
    double q = 0;
    if (unidade == QLatin1String("GL"))
        q = Arredondar(item.qtde * f * (item.proporcao * 100), 4);
    else if (unidade == QLatin1String("%"))
        q = Arredondar(item.qtde * f * 1000, 4);
    if (item.concentracao > 0)
        q = Arredondar(q * item.concentracao / 100, 4);
    CustoItem custo;
    custo.c = Arredondar(item.preco * q / 1000, 4);
    custo.custo = Arredondar(custo.c / 100, 8);
    return custo;
}

double CustoReceita(const QList<CustoItem>& itens) {
    double total = 0;
    for (const CustoItem& item : itens)
        total += item.c;
    return Arredondar(total / 100, 2);
}
