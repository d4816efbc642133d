#include "RegrasEmissao.h"
#include "Funcoes.h"
#include <cmath>

double VolumeBanho(double pesoKg, double proporcao, int casas, double minimo, double maximo) {
    double volume = Arredondar(pesoKg * proporcao, casas);
    if (minimo > 0 && volume < minimo)
        volume = minimo;
    if (maximo > 0 && volume > maximo)
        volume = maximo;
    return volume;
}

double GramasDaLinha(double quantidade, const QString& unidade, const QString& fibra, double concentracao,
                     double pesoKg, double volumeL, double fibra1, double fibra2) {
    double gramas = 0;
    if (unidade.trimmed().compare(QLatin1String("GL"), Qt::CaseInsensitive) == 0) {
        gramas = quantidade * volumeL;
    } else if (unidade.trimmed() == QLatin1String("%")) {
        gramas = quantidade * pesoKg * 10;
        if (fibra1 > 0 && fibra.trimmed() == QLatin1String("1"))
            gramas = fibra1 * gramas / 100;
        else if (fibra2 > 0 && fibra.trimmed() == QLatin1String("2"))
            gramas = fibra2 * gramas / 100;
    }
    return concentracao > 0 ? concentracao * gramas / 100 : gramas;
}

bool TomaContratipo(double necessidadeKg, double concentracao, bool semEstoque, double estoqueKg) {
    const double propria = concentracao * necessidadeKg / 100;
    return propria > 0 && (semEstoque || std::round((estoqueKg - propria) * 1e6) >= 0);
}

namespace {
double Quatro(double gramas) {
    return std::round(gramas * 1e4) / 1e4;
}

// Adds the line, or its grams to the line of the same material and order.
void Acrescenta(CalculoEmissao& calculo, LinhaEmissao linha) {
    calculo.totais[linha.item.material] += linha.consumo;
    for (LinhaEmissao& feita : calculo.linhas)
        if (feita.item.material == linha.item.material && feita.item.ordem == linha.item.ordem) {
            feita.consumo = Quatro(feita.consumo + linha.consumo);
            return;
        }
    calculo.linhas << linha;
}

CalculoEmissao Parada(const QString& texto) {
    CalculoEmissao parada;
    parada.parada = texto;
    return parada;
}
} // namespace

CalculoEmissao CalculaLinhas(const QList<ItemEmissao>& itens, const CargaEmissao& carga,
                             QHash<QString, double> estoqueKg,
                             const QHash<QString, Contratipo>& contratipos) {
    CalculoEmissao calculo;
    for (const ItemEmissao& item : itens) {
        const double gramas = GramasDaLinha(item.qtde, item.unidade, item.fibra, item.concentracao,
                                            carga.pesoKg, carga.volumeL, carga.fibra1, carga.fibra2);
        const double necessidade = gramas / 1000;
        const auto candidato = contratipos.constFind(item.material);
        const bool temCandidato = candidato != contratipos.constEnd();
        const bool curto = std::round((estoqueKg.value(item.material) - necessidade) * 1e6) < 0;
        const bool substitui = !carga.lote && item.estocado && necessidade > 0 &&
                               (curto || (temCandidato && candidato->imediato));
        if (!substitui) {
            if (item.estocado && !carga.lote)
                estoqueKg[item.material] -= necessidade;
            Acrescenta(calculo, {item, item.qtde, Quatro(gramas), false});
            continue;
        }
        if (!temCandidato)
            return Parada(
                QStringLiteral("Material %1 sem Estoque e sem Contra Tipo ativo.").arg(item.material));
        const Contratipo& c = *candidato;
        if (!TomaContratipo(necessidade, c.concent, !c.estocado, estoqueKg.value(c.codigo)))
            return Parada(QStringLiteral("Quantidade dos Contratipos Insuficiente p/ o Material %1")
                              .arg(item.material));
        const double propria = c.concent * necessidade / 100;
        if (c.estocado)
            estoqueKg[c.codigo] -= propria;
        ItemEmissao substituto = item;
        substituto.material = c.codigo;
        substituto.descricao = c.descricao;
        substituto.grupo = c.grupo;
        substituto.subgrupo = c.subgrupo;
        substituto.concentracao = c.concentracao;
        substituto.preco = c.preco;
        substituto.estocado = c.estocado;
        substituto.inativo = false;
        substituto.qtde = c.concent * item.qtde / 100;
        Acrescenta(calculo, {substituto, substituto.qtde, Quatro(propria * 1000), true});
    }
    for (const LinhaEmissao& linha : calculo.linhas)
        if (linha.item.inativo)
            return Parada(QStringLiteral("Receita com Material Inativo: \n%1 %2")
                              .arg(linha.item.material, linha.item.descricao));
    return calculo;
}

QString MenorLoteComEstoque(const QList<QPair<QString, double>>& lotes, double kg) {
    QString menor;
    for (const auto& [lote, qtde] : lotes)
        if (std::round((qtde - kg) * 1e6) >= 0 && (menor.isEmpty() || lote < menor))
            menor = lote;
    return menor.isEmpty() ? QStringLiteral("000000") : menor;
}

bool LoteCobre(const QList<QPair<QString, double>>& lotes, const QString& lote, double kg) {
    const QString procurado = lote.trimmed().isEmpty() ? QStringLiteral("000000") : lote.trimmed();
    for (const auto& [codigo, qtde] : lotes)
        if (codigo == procurado && std::round((qtde - kg) * 1e6) >= 0)
            return true;
    return false;
}
