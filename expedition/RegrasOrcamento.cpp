#include "RegrasOrcamento.h"
#include "Funcoes.h"

double CustoTempo(int minutos, double custoMinuto, double volume) {
    if (minutos < 0)
        return 0;
    const double custo = minutos * custoMinuto;
    return volume > 0 ? custo / volume : custo;
}

PrecoCalculado CalculaPreco(const ParametrosPreco& p, double custoReceita, int minutosCurva, double fixoManual,
                            double quimicoManual) {
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
