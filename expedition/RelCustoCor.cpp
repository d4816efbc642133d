#include "RelCustoCor.h"
#include "DataAccess.h"
#include "Funcoes.h"
#include "LeiturasOrcamento.h"
#include "ModuleUnits.h"
#include "Receitas.h"
#include "RegrasOrcamento.h"
#include "Relatorio.h"
#include "TClientDataSet.h"
#include "TZoQuery.h"
#include <QLineEdit>
#include <tuple>

TFmRelCustoCor* FmRelCustoCor = nullptr;

KELM_SCREEN_UNIT(RelCustoCor, TFmRelCustoCor, {{QStringLiteral("WTngCustoCor"), LayoutCustoCor}});

namespace {
constexpr int kCores = 0, kEstampas = 1;

// What both statements join to the colour and variant of a row (C.COR, C.VARIANTE, its recipe RECEITA): the
// preparation (a row per item, all with its description), the curve, and the region's price of the colour
// itself (CondicaoPrecoDaCor: a product's own price has its code in TABPRECO.CODIGO).
QString Complementos(const QString& cor, const QString& variante) {
    return QStringLiteral(
               "LEFT JOIN (SELECT CODIGO, MAX(DESCRICAO) AS DESCRICAO FROM {PREPARACAO} GROUP BY CODIGO) "
               "PREPARACAO ON (PREPARACAO.CODIGO = RECEITA.PREPARACAO) "
               "LEFT JOIN {GRAFICO} GRAFICO ON (GRAFICO.CODIGO = RECEITA.GRAFICO) "
               "LEFT JOIN {TABPRECO} TABPRECO ON (TABPRECO.COR = %1 AND TABPRECO.VARIANTE = %2 AND %3 "
               "/*TABELA*/) ")
        .arg(cor, variante, CondicaoPrecoDaCor(QStringLiteral("TABPRECO")));
}

const QString kColunas = QStringLiteral(
    "TABPRECO.PRECO_00 AS PRECO, TABPRECO.CODIGO AS PRODUTO, CADCOR.DESCRICAO AS DESCCOR, "
    "RECEITA.PREPARACAO, "
    "PREPARACAO.DESCRICAO AS DESC_PREP, RECEITA.GRAFICO, GRAFICO.TEMPO, GRAFICO.DESCRICAO AS DESC_GRAFICO, "
    "TABPRECO.PRECO_07, TABPRECO.PRECO_14, TABPRECO.PRECO_21");

} // namespace

QString InstrucaoCustoCores() {
    return QStringLiteral(
               "SELECT RECEITA.CODIGO, RECEITA.DESCRICAO, RECEITA.COR, RECEITA.VARIANTE, RECEITA.CUSTO, ") +
           kColunas +
           QStringLiteral(
               " FROM {RECEITA} RECEITA LEFT JOIN {CADCORTIN} CADCOR ON (CADCOR.CODIGO = RECEITA.COR) ") +
           Complementos(QStringLiteral("RECEITA.COR"), QStringLiteral("RECEITA.VARIANTE")) +
           QStringLiteral("WHERE 1 = 1 /*FILTROS*/ /*PRECO*/ ORDER BY RECEITA.CODIGO, RECEITA.VARIANTE");
}

// A print is its screens (EST_QUADRO) per variant, each printing a paste: the pastes' compositions are summed
// per paste first, so a paste's components do not multiply the count of screens. Thicknesses come as typed,
// to be read and summed by the pivot. A print's recipe is the first of its colour and variant.
QString InstrucaoCustoEstampas() {
    return QStringLiteral(
               "SELECT RECEITA.CODIGO, COALESCE(RECEITA.DESCRICAO, CADCOR.DESCRICAO) AS DESCRICAO, E.ESTAMPA "
               "AS COR, E.VARIANTE, E.CUSTO, E.NR_QUADRO, E.ESPESSURAS, E.CUSTO_DESP, ") +
           kColunas +
           QStringLiteral(
               " FROM (SELECT EST_QUADRO.ESTAMPA, EST_QUADRO.VARIANTE, COUNT(*) AS NR_QUADRO, "
               "SUM(COALESCE(PASTA.CUSTO, 0) * EST_QUADRO.CONSUMO) / 1000 AS CUSTO, SUM(COALESCE(PASTA.DESP, "
               "0)) AS CUSTO_DESP, CAST(LIST(QUADRO.ESPESSURA, '|') AS VARCHAR(4000)) AS ESPESSURAS "
               "FROM {EST_QUADRO} EST_QUADRO "
               "LEFT JOIN (SELECT COMP.MATERIAL, SUM(MAT.REPOSICAO * COMP.PERC) AS CUSTO, "
               "SUM(MAT.REPOSICAO * COMP.PERC * COALESCE(MAT2.IND_TIN, 0)) / 1000 AS DESP "
               "FROM {COMP_MATERIAL} COMP JOIN {MATERIAL} MAT ON (MAT.CODIGO = COMP.CODIGO) "
               "LEFT JOIN {MATERIAL} MAT2 ON (MAT2.CODIGO = COMP.MATERIAL) GROUP BY COMP.MATERIAL) PASTA "
               "ON (PASTA.MATERIAL = EST_QUADRO.PRODUTO) "
               "LEFT JOIN {QUADRO} QUADRO ON (QUADRO.CODIGO = EST_QUADRO.QUADRO) "
               "WHERE 1 = 1 /*FILTROS*/ GROUP BY EST_QUADRO.ESTAMPA, EST_QUADRO.VARIANTE) E "
               "LEFT JOIN {CADCORTIN} CADCOR ON (CADCOR.CODIGO = E.ESTAMPA) "
               "LEFT JOIN {RECEITA} RECEITA ON (RECEITA.VARIANTE = E.VARIANTE AND RECEITA.CODIGO = (SELECT "
               "MIN(R.CODIGO) FROM {RECEITA} R WHERE R.COR = E.ESTAMPA AND R.VARIANTE = E.VARIANTE)) ") +
           Complementos(QStringLiteral("E.ESTAMPA"), QStringLiteral("E.VARIANTE")) +
           QStringLiteral("WHERE 1 = 1 /*PRECO*/ ORDER BY E.ESTAMPA, E.VARIANTE");
}

TFmRelCustoCor::TFmRelCustoCor(QWidget* parent) : TFmRelatorio(parent) {
    setObjectName(QStringLiteral("FmRelCustoCor"));
    setWindowTitle(QStringLiteral("Relatório de Custo de Cores"));
    resize(1100, 650); // the grid's costs and prices side by side
    PublicaInstancia(FmRelCustoCor);
}

void TFmRelCustoCor::FormCreate() {
    using T = FiltroRelatorio::Tipo;
    // Screens' figures only mean something for prints.
    const auto estampas = [](const char* nome, const char* legenda) {
        return FiltroRelatorio{.tipo = T::Faixa,
                               .nome = nome,
                               .legenda = QString::fromUtf8(legenda),
                               .soCom = {"RgBusca", kEstampas}};
    };
    rel.filtros = {
        {.tipo = T::Codigo,
         .nome = "EdtCodTab",
         .legenda = "Tabela",
         .coluna = "TABPRECO.REGIAO",
         .marcador = "TABELA",
         .tabela = "REGIAO",
         .chave = "REGIAO",
         .recusa = "Tabela de preço não cadastrada.",
         .obrigatorio = true},
        {.tipo = T::Lista,
         .nome = "EdtVar",
         .legenda = "Variantes",
         .colunas = {"RECEITA.VARIANTE", "EST_QUADRO.VARIANTE"},
         .tabela = "VARIANTE",
         .recusa = "Variante não cadastrada."},
        {.tipo = T::Marca,
         .nome = "CbPreco",
         .legenda = "Somente com Preço",
         .marcador = "PRECO",
         .textos = {" AND TABPRECO.REGIAO IS NOT NULL"}},
        {.tipo = T::Opcao, .nome = "RgBusca", .legenda = "Buscar", .opcoes = {"Cores", "Estampas"}},
        estampas("EdtQuadro", "Nr. de Quadros"),
        estampas("EdtEsp", "Espessura/Cobertura"),
        estampas("EdtCusto", "Custos")};
    rel.escolha = QStringLiteral("RgBusca");
    rel.instrucoes = {InstrucaoCustoCores(), InstrucaoCustoEstampas()};
    rel.camposPivo = [](TClientDataSet& r) {
        for (const auto& [texto, tamanho] : {std::pair{"CODIGO", 4},
                                             {"DESCRICAO", 60},
                                             {"COR", 10},
                                             {"DESCCOR", 50},
                                             {"VARIANTE", 4},
                                             {"PREPARACAO", 3},
                                             {"DESC_PREP", 50},
                                             {"GRAFICO", 3},
                                             {"DESC_GRAFICO", 50},
                                             {"TEMPO", 8},
                                             {"PRODUTO", 15}})
            r.AddField(QLatin1String(texto), QMetaType::QString, tamanho);
        for (const char* inteiro : {"NR_QUADRO", "MINUTOS"})
            r.AddField(QLatin1String(inteiro), QMetaType::Int);
        for (const char* numero : {"ESP_QUADRO", "CUSTO", "CUSTO_DESP", "CUSTO_TEMPO", "TOTAL", "PRECO",
                                   "PRECO_07", "PRECO_14", "PRECO_21", "MARGEM"})
            r.AddField(QLatin1String(numero), QMetaType::Double);
    };
    rel.pivo = [this](TDataSet& linhas, TClientDataSet& r) { Pivo(linhas, r); };
    rel.colunas = {{"CODIGO", "Receita"},
                   ColunaGrade("DESCRICAO", "Descrição").Largura(24),
                   {"COR", "Cor"},
                   {"VARIANTE", "Var."},
                   {"NR_QUADRO", "Quadros"},
                   ColunaGrade("ESP_QUADRO", "Espessura").Casas(2),
                   ColunaGrade("CUSTO", "Custo químico (R$/kg)").Casas(4),
                   ColunaGrade("CUSTO_DESP", "Custo desp. (R$/kg)").Casas(4),
                   {"GRAFICO", "Curva"},
                   {"MINUTOS", "Tempo (min)"},
                   ColunaGrade("CUSTO_TEMPO", "Custo tempo (R$/kg)").Casas(4),
                   ColunaGrade("TOTAL", "Total (R$/kg)").Casas(4),
                   ColunaGrade("PRECO", "Preço à vista (R$/kg)").Casas(2),
                   ColunaGrade("PRECO_07", "Preço 7 dias (R$/kg)").Casas(2),
                   ColunaGrade("PRECO_14", "Preço 14 dias (R$/kg)").Casas(2),
                   ColunaGrade("PRECO_21", "Preço 21 dias (R$/kg)").Casas(2),
                   ColunaGrade("MARGEM", "Margem (%)").Casas(2),
                   ColunaGrade("DESC_PREP", "Preparação").Largura(20),
                   ColunaGrade("DESC_GRAFICO", "Descrição da curva").Largura(20).Estica()};
    rel.relatorio = QStringLiteral("WTngCustoCor");
    AbreRelatorio();
}

// One pass over the statement's rows: the curve's minutes and their cost at the region's parameters (read
// once), the total and the margin; for prints the screens' thickness summed as typed, and the ranges.
void TFmRelCustoCor::Pivo(TDataSet& linhas, TClientDataSet& r) {
    const bool estampas = Opcao(QStringLiteral("RgBusca")) == kEstampas;
    const auto* tabela = qobject_cast<QLineEdit*>(Controle(QStringLiteral("EdtCodTab")));
    const ParametrosPreco minuto =
        LeParametros(CodigosDaLista(tabela->text()).value(0)).value_or(ParametrosPreco{});
    const FaixaRelatorio quadros = Faixa(QStringLiteral("EdtQuadro")),
                         espessura = Faixa(QStringLiteral("EdtEsp")),
                         custos = Faixa(QStringLiteral("EdtCusto"));
    // Fields taken as read, by their index on both sides.
    QList<std::pair<int, int>> copiados;
    QStringList nomes{"CODIGO",     "DESCRICAO", "COR",      "DESCCOR",      "VARIANTE",
                      "PREPARACAO", "DESC_PREP", "GRAFICO",  "DESC_GRAFICO", "TEMPO",
                      "PRODUTO",    "PRECO",     "PRECO_07", "PRECO_14",     "PRECO_21"};
    if (estampas)
        nomes << QStringLiteral("NR_QUADRO") << QStringLiteral("CUSTO_DESP");
    for (const QString& nome : std::as_const(nomes))
        copiados.append({linhas.IndiceExistente(nome), r.IndiceExistente(nome)});
    const int custo = linhas.IndiceExistente(QStringLiteral("CUSTO")),
              tempo = linhas.IndiceExistente(QStringLiteral("TEMPO")),
              preco = linhas.IndiceExistente(QStringLiteral("PRECO"));
    const int nrQuadro = estampas ? linhas.IndiceExistente(QStringLiteral("NR_QUADRO")) : -1;
    const int espessuras = estampas ? linhas.IndiceExistente(QStringLiteral("ESPESSURAS")) : -1;
    const int rCusto = r.IndiceExistente(QStringLiteral("CUSTO")),
              rEsp = r.IndiceExistente(QStringLiteral("ESP_QUADRO")),
              rMinutos = r.IndiceExistente(QStringLiteral("MINUTOS")),
              rTempo = r.IndiceExistente(QStringLiteral("CUSTO_TEMPO")),
              rTotal = r.IndiceExistente(QStringLiteral("TOTAL")),
              rMargem = r.IndiceExistente(QStringLiteral("MARGEM"));
    for (int i = 0; i < linhas.RecordCount(); ++i) {
        double quimico = linhas.ValueAt(i, custo).toDouble();
        double somaEspessura = 0;
        if (estampas) {
            // The cost as shown, so a bound typed as it reads takes it.
            quimico = Arredondar(quimico, 4);
            somaEspessura = SomaEspessuras(linhas.ValueAt(i, espessuras).toString().split(QLatin1Char('|')));
            if (!quadros.Contem(linhas.ValueAt(i, nrQuadro).toDouble()) || !espessura.Contem(somaEspessura) ||
                !custos.Contem(quimico))
                continue;
        }
        const CustoCor c = CalculaCustoCor(quimico, linhas.ValueAt(i, tempo).toString(), minuto.custoMinuto,
                                           minuto.volume, linhas.ValueAt(i, preco).toDouble());
        r.Append();
        for (const auto& [de, para] : std::as_const(copiados))
            r.Fields(para).SetValue(linhas.ValueAt(i, de));
        r.Fields(rCusto).SetValue(quimico);
        if (estampas)
            r.Fields(rEsp).SetValue(somaEspessura);
        if (c.minutos >= 0)
            r.Fields(rMinutos).SetValue(c.minutos);
        r.Fields(rTempo).SetValue(c.custoTempo);
        r.Fields(rTotal).SetValue(c.total);
        if (c.margem)
            r.Fields(rMargem).SetValue(*c.margem);
        r.Post();
    }
}

void LayoutCustoCor(TRelatorio& relatorio) {
    relatorio.AdicionaCabecalho(QStringLiteral("Valores"),
                                QStringLiteral("R$ por kg; margem sobre o preço à vista"));
    ColunaRelatorio descricao = relatorio.Coluna(QStringLiteral("DESCRICAO"), QStringLiteral("Descrição"));
    descricao.largura = 26;
    QList<ColunaRelatorio> colunas{relatorio.Coluna(QStringLiteral("CODIGO"), QStringLiteral("Receita")),
                                   descricao, relatorio.Coluna(QStringLiteral("COR"), QStringLiteral("Cor")),
                                   relatorio.Coluna(QStringLiteral("VARIANTE"), QStringLiteral("Var."))};
    // Prints come with their screens counted.
    const TDataSet* dados = relatorio.Dados();
    if (dados && !dados->IsEmpty() &&
        !dados->ValueAt(0, dados->IndiceExistente(QStringLiteral("NR_QUADRO"))).isNull())
        colunas << relatorio.Coluna(QStringLiteral("NR_QUADRO"), QStringLiteral("Quadros"))
                << relatorio.Coluna(QStringLiteral("ESP_QUADRO"), QStringLiteral("Espessura"), 2);
    for (const auto& [campo, titulo, casas] : {std::tuple{"CUSTO", "Químico", 4},
                                               {"MINUTOS", "Min.", -1},
                                               {"CUSTO_TEMPO", "Tempo", 4},
                                               {"TOTAL", "Total", 4},
                                               {"PRECO", "À vista", 2},
                                               {"PRECO_07", "7 dias", 2},
                                               {"PRECO_14", "14 dias", 2},
                                               {"PRECO_21", "21 dias", 2},
                                               {"MARGEM", "Margem (%)", 2}})
        colunas << relatorio.Coluna(QLatin1String(campo), QString::fromUtf8(titulo), casas);
    relatorio.DefineColunas(colunas);
    // Costs and prices per kilogram of different colours add up to nothing.
    relatorio.DefineSomas(false);
}
