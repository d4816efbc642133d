#include "RegrasMaquina.h"
#include "Formatacao.h"
#include <cmath>

double LarguraEmCentimetros(double metros) {
    return std::round(metros * 1000) / 10;
}

namespace {
QString faixa(double de, double ate, const QString& unidade) {
    return QStringLiteral("%1 a %2 %3").arg(TextoExibicao(de, 2), TextoExibicao(ate, 2), unidade);
}

// The distinct ranges of the rows, in their order: "40,00 a 120,00 kg ou de 300,00 a 400,00 kg".
QString faixas(const QList<FaixaCapacidade>& linhas, bool largura) {
    QStringList textos;
    for (const FaixaCapacidade& f : linhas) {
        const QString texto = largura ? faixa(f.largDe, f.largAte, QStringLiteral("cm"))
                                      : faixa(f.pesoMin, f.pesoMax, QStringLiteral("kg"));
        if (!textos.contains(texto))
            textos << texto;
    }
    return textos.join(QStringLiteral(" ou de "));
}
} // namespace

QString ForaDaCapacidade(const QString& maquina, const QString& variante,
                         const QList<FaixaCapacidade>& faixasMaquina, double larguraMetros, double peso) {
    const double largura = LarguraEmCentimetros(larguraMetros);
    bool algumPeso = false, algumaLargura = false;
    for (const FaixaCapacidade& f : faixasMaquina) {
        const bool pesoCabe = Gramas(peso) >= Gramas(f.pesoMin) && Gramas(peso) <= Gramas(f.pesoMax);
        const bool larguraCabe = largura >= f.largDe && largura <= f.largAte;
        if (pesoCabe && larguraCabe)
            return {};
        algumPeso = algumPeso || pesoCabe;
        algumaLargura = algumaLargura || larguraCabe;
    }
    if (faixasMaquina.isEmpty())
        return {};
    const QString textoPeso = QStringLiteral("peso %1 kg").arg(TextoExibicao(peso, 2));
    // Metres to the centimetre, or to the millimetre when the invoice has it.
    const bool milimetros = std::abs(larguraMetros * 100 - std::round(larguraMetros * 100)) > 1e-6;
    const QString textoLargura =
        QStringLiteral("largura %1 m (%2 cm)")
            .arg(TextoExibicao(larguraMetros, milimetros ? 3 : 2), TextoExibicao(largura, 2));
    QStringList fora;
    if (!algumPeso)
        fora << textoPeso + QStringLiteral(" fora de ") + faixas(faixasMaquina, false);
    if (!algumaLargura)
        fora << textoLargura + QStringLiteral(" fora de ") + faixas(faixasMaquina, true);
    if (fora.isEmpty()) {
        QStringList pares;
        for (const FaixaCapacidade& f : faixasMaquina)
            pares << faixa(f.largDe, f.largAte, QStringLiteral("cm")) + QStringLiteral(" com ") +
                         faixa(f.pesoMin, f.pesoMax, QStringLiteral("kg"));
        fora << QStringLiteral("%1 e %2 não cabem numa mesma faixa: de %3")
                    .arg(textoPeso, textoLargura, pares.join(QStringLiteral(" ou de ")));
    }
    return QStringLiteral(
               "Peso ou Largura fora dos parâmetros definidos para a Máquina %1 e Variante %2: %3.")
        .arg(maquina, variante, fora.join(QStringLiteral("; ")));
}

RecusaLimite RecusaFaixa(const Limite& minimo, const Limite& maximo) {
    for (const Limite* limite : {&minimo, &maximo})
        if (limite->valor && *limite->valor < 0)
            return {QStringLiteral("%1 não pode ser negativo (%2).")
                        .arg(limite->nome, TextoExibicao(*limite->valor, 2)),
                    limite == &maximo};
    if (!minimo.valor || !maximo.valor || *minimo.valor <= *maximo.valor)
        return {};
    return {
        QStringLiteral("%1 (%2) maior que %3 (%4).")
            .arg(minimo.nome, TextoExibicao(*minimo.valor, 2), maximo.nome, TextoExibicao(*maximo.valor, 2))};
}

QString RecusaCodigo(const QString& nome, const QString& codigo, bool cadastrado) {
    if (cadastrado || codigo.trimmed().isEmpty())
        return {};
    return QStringLiteral("%1: código %2 não cadastrado.").arg(nome, codigo.trimmed());
}

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
