#include "RegrasEtiqueta.h"
#include "Funcoes.h"
#include <algorithm>
#include <cmath>

QString MontaBarra(double pesoKg, const QString& codigo, const QString& cor, const QString& lote,
                   int nrRolo) {
    const qlonglong centesimos = std::llround(Arredondar(std::max(0.0, pesoKg), 2) * 100);
    return QString::number(centesimos).rightJustified(4, u'0') + codigo.trimmed().rightJustified(11, u'0') +
           cor.trimmed().rightJustified(6, u'0') + lote.trimmed().rightJustified(6, u'0') +
           QString::number(nrRolo).rightJustified(3, u'0');
}

QList<RoloNumerado> NumeraRolos(const QList<ItemRolos>& itens, int pedidos) {
    QList<RoloNumerado> rolos;
    int numero = 0;
    for (int i = 0; i < itens.size(); ++i)
        for (int s = 1; s <= itens[i].rolos; ++s) {
            ++numero;
            if (itens[i].mostrado)
                rolos.append({i, s, numero});
        }
    int ultimo = -1;
    for (int i = 0; i < itens.size(); ++i)
        if (itens[i].mostrado)
            ultimo = i;
    if (ultimo < 0)
        return rolos;
    int seq = itens[ultimo].rolos;
    for (qsizetype extra = rolos.size(); extra < pedidos; ++extra)
        rolos.append({ultimo, ++seq, ++numero});
    return rolos;
}

QString PrefixoLoteEstoque(const QString& fal) {
    return fal.trimmed().left(6);
}

double PesoLiquido(double bruto, double tara) {
    return std::max(0.0, Arredondar(bruto - tara, 3));
}
