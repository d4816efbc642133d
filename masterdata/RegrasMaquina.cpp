#include "RegrasMaquina.h"
#include "Formatacao.h"
#include <cmath>

namespace {
// A number as the boxes show it ("1.400" is 1400), whole cents; unreadable text counts 0.
qint64 centavos(const QString& texto) {
    double numero = 0;
    return LeNumero(texto, numero) ? std::llround(numero * 100) : 0;
}
} // namespace

QString ValorZazid(const QString& valor, const QString& depreciacaoMensal, const QString& meses) {
    if (depreciacaoMensal.trimmed().isEmpty() || meses.trimmed().isEmpty())
        return {};
    const qint64 residual =
        centavos(valor) - centavos(depreciacaoMensal) * std::llround(centavos(meses) / 100.0);
    return QStringLiteral("R$ ") + TextoExibicao(residual / 100.0, 2);
}
