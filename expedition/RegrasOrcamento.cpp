#include "RegrasOrcamento.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include <QRegularExpression>

double CustoTempo(int minutos, double custoMinuto, double volume) {
    if (minutos < 0)
        return 0;
    const double custo = minutos * custoMinuto;
    return volume > 0 ? custo / volume : custo;
}

PrecoCalculado CalculaPreco(const ParametrosPreco& p, double custoReceita, int minutosCurva,
                            double fixoManual, double quimicoManual) {
    PrecoCalculado r;
    ComposicaoPreco& c = r.composicao;
    c.tempo = CustoTempo(minutosCurva, p.custoMinuto, p.volume);
    c.quimico = quimicoManual != 0 ? quimicoManual : custoReceita;
    c.frete = p.frete;
    c.embalagem = p.embalagem;
    c.fixo = fixoManual != 0 ? fixoManual : p.fixo;
    c.financeiro = p.financeiro;
    c.comissao = p.comissao;
    c.impostos = p.cofins + p.icms + p.irpj + p.contrSocial;
    c.reprocesso = p.perda;
    c.margem = p.margem;
    r.margem = c.margem;
    // At 100 % or more nothing is left to pay the costs: the formula would divide by zero or turn negative.
    const double resta = (100 - (c.Encargos() + c.margem)) / 100;
    if (resta <= 0) {
        r.semPreco = true;
        return r;
    }
    r.preco = Arredondar(c.Custos() / resta, 2);
    r.lucro = r.margem / 100 * r.preco;
    return r;
}

MargemCalculada CalculaMargem(const ComposicaoPreco& c, double preco, double servicos,
                              const MargemCalculada& atual) {
    MargemCalculada r = atual;
    r.precoTotal = Arredondar(preco + servicos, 2);
    if (r.precoTotal <= 0)
        return r;
    r.margem = 100 * (r.precoTotal - (r.precoTotal * c.Encargos() / 100 + c.Custos())) / r.precoTotal;
    r.lucro = r.margem / 100 * r.precoTotal;
    return r;
}

double PrecoServicos(const QSet<QString>& fasesDoFluxo, const QList<ServicoOrcado>& servicos) {
    double total = 0;
    for (const ServicoOrcado& s : servicos)
        if (fasesDoFluxo.contains(s.fase))
            total += s.custo;
    return total;
}

ResultadoItem CalculaTotais(const QList<ResultadoItem>& itens) {
    ResultadoItem media;
    if (itens.isEmpty())
        return media;
    for (const ResultadoItem& i : itens) {
        media.preco += i.preco;
        media.margem += i.margem;
        media.lucro += i.lucro;
    }
    const auto n = double(itens.size());
    return {media.preco / n, media.margem / n, media.lucro / n};
}

double CustoEstampa(const QList<QuadroOrcado>& quadros) {
    double total = 0;
    for (const QuadroOrcado& q : quadros)
        total += q.consumo * q.custoPasta;
    return Arredondar(total / 1000, 4);
}

QString RecusaLancamento(const QString& regiao, const QList<PrecoLancar>& precos) {
    if (regiao.trimmed().isEmpty())
        return QStringLiteral("Cliente sem tabela de preços: informe a região no cadastro do cliente.");
    QSet<QString> vistos;
    for (const PrecoLancar& p : precos) {
        const QString nome =
            QStringLiteral("Cor %1 na variante %2").arg(p.cor.trimmed(), p.variante.trimmed());
        if (!(p.preco > 0))
            return nome + QStringLiteral(" sem preço calculado.");
        const QString chave = p.cor.trimmed() + QChar(0x1f) + p.variante.trimmed();
        if (vistos.contains(chave))
            return nome + QStringLiteral(" selecionada mais de uma vez.");
        vistos << chave;
    }
    return {};
}

QString MontaCondicao(const QString& condicao) {
    const QString texto = condicao.trimmed();
    static const QRegularExpression dias(QStringLiteral("^\\d{1,3}([\\s/,;-]+\\d{1,3})*$"));
    static const QRegularExpression separador(QStringLiteral("[\\s/,;-]+"));
    if (!dias.match(texto).hasMatch())
        return texto;
    const QStringList prazos = texto.split(separador);
    if (prazos.size() == 1 && prazos.first().toInt() == 0)
        return QStringLiteral("À vista");
    return prazos.join(QLatin1Char('/')) + QStringLiteral(" dias");
}

CustoCor CalculaCustoCor(double custoQuimico, const QString& tempoCurva, double custoMinuto, double volume,
                         double preco) {
    CustoCor c;
    c.minutos = MinutosDoTempo(tempoCurva);
    c.custoTempo = CustoTempo(c.minutos, custoMinuto, volume);
    c.total = custoQuimico + c.custoTempo;
    if (preco > 0)
        c.margem = 100 * (preco - c.total) / preco;
    return c;
}

double SomaEspessuras(const QStringList& espessuras) {
    double soma = 0;
    for (const QString& texto : espessuras)
        if (double valor = 0; LeNumero(texto, valor))
            soma += valor;
    return soma;
}
