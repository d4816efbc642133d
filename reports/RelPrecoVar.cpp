#include "RelPrecoVar.h"
#include "ModuleUnits.h"
#include "PivosGerencia.h"
#include "Receitas.h"
#include "Relatorio.h"
#include "TClientDataSet.h"

TFmRelPrecoVar* FmRelPrecoVar = nullptr;

KELM_SCREEN_UNIT(RelPrecoVar, TFmRelPrecoVar, {{QStringLiteral("WTngPrecoVar"), LayoutPrecoVar}});

namespace {
QString campoGrupo(int g) {
    return QStringLiteral("Preco%1").arg(g + 1, 2, 10, QLatin1Char('0'));
}
} // namespace

// A product's own row in the table is not the colour's price.
QString InstrucaoPrecoVar() {
    return QStringLiteral(
               "SELECT TABPRECO.COR, CADCORTIN.DESCRICAO, MAX(TABPRECO.PRECO_00) AS PRECO, "
               "VARIANTE.GRUPO_IMP "
               "FROM {TABPRECO} TABPRECO LEFT OUTER JOIN {CADCORTIN} CADCORTIN ON (TABPRECO.COR = "
               "CADCORTIN.CODIGO) INNER JOIN {VARIANTE} VARIANTE ON (TABPRECO.VARIANTE = VARIANTE.CODIGO) "
               "WHERE VARIANTE.GRUPO_IMP <> '' AND ") +
           CondicaoPrecoDaCor(QStringLiteral("TABPRECO")) +
           QStringLiteral(" /*FILTROS*/ GROUP BY TABPRECO.COR, CADCORTIN.DESCRICAO, VARIANTE.GRUPO_IMP");
}

TFmRelPrecoVar::TFmRelPrecoVar(QWidget* parent) : TFmRelatorio(parent) {
    setObjectName(QStringLiteral("FmRelPrecoVar"));
    // The caption the sector report has too, as the plant knows it.
    setWindowTitle(QStringLiteral("Relatório de Programação por Setores"));
    resize(1000, 600);
    PublicaInstancia(FmRelPrecoVar);
}

void TFmRelPrecoVar::FormCreate() {
    rel.filtros = {{.tipo = FiltroRelatorio::Tipo::Codigo,
                    .nome = "EdtCodTab",
                    .legenda = "Tabela",
                    .coluna = "TABPRECO.REGIAO",
                    .tabela = "REGIAO",
                    .chave = "REGIAO",
                    .recusa = "Tabela de preço não cadastrada."}};
    rel.sql = InstrucaoPrecoVar();
    rel.camposPivo = [](TClientDataSet& r) {
        r.AddField(QStringLiteral("Cor"), QMetaType::QString, 10)
            .AddField(QStringLiteral("Descricao"), QMetaType::QString, 50);
        for (int g = 0; g < kGruposPreco; ++g)
            r.AddField(campoGrupo(g), QMetaType::Double);
    };
    rel.pivo = [](TDataSet& linhas, TClientDataSet& r) {
        const int cor = linhas.IndiceExistente(QStringLiteral("COR")),
                  descricao = linhas.IndiceExistente(QStringLiteral("DESCRICAO")),
                  preco = linhas.IndiceExistente(QStringLiteral("PRECO")),
                  grupo = linhas.IndiceExistente(QStringLiteral("GRUPO_IMP"));
        QList<PrecoGrupo> precos;
        precos.reserve(linhas.RecordCount());
        for (int i = 0; i < linhas.RecordCount(); ++i)
            precos.append({linhas.ValueAt(i, cor).toString(), linhas.ValueAt(i, descricao).toString(),
                           linhas.ValueAt(i, grupo).toString(), linhas.ValueAt(i, preco).toDouble()});
        for (const PrecosCor& p : PivoPrecos(precos)) {
            r.Append();
            r.Fields(0).SetValue(p.cor);
            r.Fields(1).SetValue(p.descricao);
            for (int g = 0; g < kGruposPreco; ++g)
                if (p.precos[g])
                    r.Fields(2 + g).SetValue(*p.precos[g]);
            r.Post();
        }
    };
    rel.colunas = {{"Cor", "Cor"}, ColunaGrade("Descricao", "Descrição").Largura(24)};
    for (int g = 0; g < kGruposPreco; ++g)
        rel.colunas << ColunaGrade(campoGrupo(g),
                                   QStringLiteral("Grupo %1").arg(g + 1, 2, 10, QLatin1Char('0')))
                           .Casas(2);
    rel.colunas.last().Estica();
    rel.relatorio = QStringLiteral("WTngPrecoVar");
    AbreRelatorio();
}

void LayoutPrecoVar(TRelatorio& relatorio) {
    QList<ColunaRelatorio> colunas{
        relatorio.Coluna(QStringLiteral("Cor"), QStringLiteral("Cor")),
        relatorio.Coluna(QStringLiteral("Descricao"), QStringLiteral("Descrição"))};
    for (int g = 0; g < kGruposPreco; ++g)
        colunas << relatorio.Coluna(campoGrupo(g),
                                    QStringLiteral("Gr. %1").arg(g + 1, 2, 10, QLatin1Char('0')), 2);
    relatorio.DefineColunas(colunas);
    relatorio.AdicionaCabecalho(QStringLiteral("Preços"),
                                QStringLiteral("R$ por kg à vista, por grupo de impressão"));
    // Prices of different colours add up to nothing.
    relatorio.DefineSomas(false);
}
