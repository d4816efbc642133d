#include "RelTngFatMes.h"
#include "DataAccess.h"
#include "ModuleUnits.h"
#include "PivosGerencia.h"
#include "Relatorio.h"
#include "TClientDataSet.h"
#include <QCheckBox>

TFmRelTngFatMes* FmRelTngFatMes = nullptr;

KELM_SCREEN_UNIT(RelTngFatMes, TFmRelTngFatMes, {{QStringLiteral("WTngFatMes"), LayoutFatMes}});

namespace {
// "Mac", not "Mar": the field name the layouts know.
const char* const kMeses[] = {"Jan", "Fev", "Mac", "Abr", "Mai", "Jun",
                              "Jul", "Ago", "Set", "Out", "Nov", "Dez"};
const char* const kTitulos[] = {"Jan", "Fev", "Mar", "Abr", "Mai", "Jun",
                                "Jul", "Ago", "Set", "Out", "Nov", "Dez"};
} // namespace

// Only invoices issued, of the kinds that are turnover, under a nature that bills; items set aside
// (EMPENHO) never count.
QString InstrucaoFatMes(int busca) {
    const QString condicoes = QStringLiteral(
        "WHERE (NOTA.TIPFAT = 'T' OR NOTA.TIPFAT = 'C') AND NATUREZA.DUPLI = 'S' AND NOTA.IMPRESSO = 'S' ");
    if (busca == 1)
        return QStringLiteral(
                   "SELECT SUM(NOTAITEN.QTDE) AS PESO, NOTAITEN.COR AS CODIGO, COR.DESCRICAO AS NOME, "
                   "UDF_MONTH(NOTA.DT_EMISSAO) AS MES FROM {NOTA} NOTA INNER JOIN {NOTAITEN} NOTAITEN ON "
                   "(NOTA.FATURA = NOTAITEN.FATURA) INNER JOIN {CADCORTIN} COR ON (NOTAITEN.COR = "
                   "COR.CODIGO) "
                   "LEFT OUTER JOIN {NATUREZA} NATUREZA ON (NOTA.NATUREZA = NATUREZA.NATUREZA) ") +
               condicoes +
               QStringLiteral("AND COALESCE(NOTAITEN.EMPENHO, 'N') <> 'S' /*FILTROS*/ GROUP BY NOTAITEN.COR, "
                              "COR.DESCRICAO, UDF_MONTH(NOTA.DT_EMISSAO)");
    return QStringLiteral(
               "SELECT SUM(NOTA.PESOL) AS PESO, NOTA.CODCLI AS CODIGO, CLIENTE.NOME, "
               "UDF_MONTH(NOTA.DT_EMISSAO) AS MES FROM {NOTA} NOTA LEFT OUTER JOIN {ENTIDADE} CLIENTE ON "
               "(NOTA.CODCLI = CLIENTE.CODCLI) LEFT OUTER JOIN {NATUREZA} NATUREZA ON (NOTA.NATUREZA = "
               "NATUREZA.NATUREZA) ") +
           condicoes +
           QStringLiteral("/*FILTROS*/ GROUP BY NOTA.CODCLI, CLIENTE.NOME, UDF_MONTH(NOTA.DT_EMISSAO)");
}

TFmRelTngFatMes::TFmRelTngFatMes(QWidget* parent) : TFmRelatorio(parent) {
    setObjectName(QStringLiteral("FmRelTngFatMes"));
    setWindowTitle(QStringLiteral("Relatório de Faturamento Mensal"));
    resize(1100, 600);
    PublicaInstancia(FmRelTngFatMes);
}

void TFmRelTngFatMes::FormCreate() {
    using T = FiltroRelatorio::Tipo;
    rel.filtros = {
        {.tipo = T::Numero,
         .nome = "EdtAno",
         .legenda = "Ano",
         .coluna = "UDF_YEAR(NOTA.DT_EMISSAO)",
         .obrigatorio = true},
        {.tipo = T::Codigo,
         .nome = "EdtCodCli",
         .legenda = "Cliente",
         .coluna = "NOTA.CODCLI",
         .tabela = "ENTIDADE",
         .chave = "CODCLI",
         .descricao = "NOME",
         .recusa = "Cliente não cadastrado."},
        {.tipo = T::Opcao, .nome = "RgBusca", .legenda = "Buscar Por", .opcoes = {"Cliente", "Cor"}},
        {.tipo = T::Marca, .nome = "cbEmpresas", .legenda = "Todas Empresas", .marcador = "EMPRESAS"}};
    rel.escolha = QStringLiteral("RgBusca");
    rel.instrucoes = {InstrucaoFatMes(0), InstrucaoFatMes(1)};
    rel.camposPivo = [](TClientDataSet& r) {
        r.AddField(QStringLiteral("Codigo"), QMetaType::QString, 12)
            .AddField(QStringLiteral("Nome"), QMetaType::QString, 50);
        for (const char* mes : kMeses)
            r.AddField(QLatin1String(mes), QMetaType::Double);
        r.AddField(QStringLiteral("Total"), QMetaType::Double);
    };
    rel.pivo = [](TDataSet& linhas, TClientDataSet& r) {
        const int peso = linhas.IndiceExistente(QStringLiteral("PESO")),
                  codigo = linhas.IndiceExistente(QStringLiteral("CODIGO")),
                  nome = linhas.IndiceExistente(QStringLiteral("NOME")),
                  mes = linhas.IndiceExistente(QStringLiteral("MES"));
        QList<FaturadoMes> meses;
        meses.reserve(linhas.RecordCount());
        for (int i = 0; i < linhas.RecordCount(); ++i)
            meses.append({linhas.ValueAt(i, codigo).toString(), linhas.ValueAt(i, nome).toString(),
                          linhas.ValueAt(i, mes).toInt(), linhas.ValueAt(i, peso).toDouble()});
        for (const FaturadoAno& a : PivoMensal(meses)) {
            r.Append();
            r.Fields(0).SetValue(a.codigo);
            r.Fields(1).SetValue(a.nome);
            double total = 0;
            for (int m = 0; m < 12; ++m) {
                r.Fields(2 + m).SetValue(a.meses[m]);
                total += a.meses[m];
            }
            r.Fields(14).SetValue(total);
            r.Post();
        }
    };
    rel.colunas = {{"Codigo", "Código"}, ColunaGrade("Nome", "Nome").Largura(24)};
    for (int m = 0; m < 12; ++m)
        rel.colunas << ColunaGrade(QLatin1String(kMeses[m]), QLatin1String(kTitulos[m])).Casas(2);
    rel.colunas << ColunaGrade(QStringLiteral("Total"), QStringLiteral("Total")).Casas(2).Estica();
    rel.relatorio = QStringLiteral("WTngFatMes");
    AbreRelatorio();
}

QString TFmRelTngFatMes::ResolveTabelas(const QString& sql) const {
    const auto* todas = qobject_cast<QCheckBox*>(Controle(QStringLiteral("cbEmpresas")));
    return todas && todas->isChecked() ? UnionTodasEmpresas(sql, QStringLiteral("NOTA"))
                                       : TFmRelatorio::ResolveTabelas(sql);
}

void LayoutFatMes(TRelatorio& relatorio) {
    QList<ColunaRelatorio> colunas{relatorio.Coluna(QStringLiteral("Codigo"), QStringLiteral("Código")),
                                   relatorio.Coluna(QStringLiteral("Nome"), QStringLiteral("Nome"))};
    colunas.last().largura = 22;
    for (int m = 0; m < 12; ++m)
        colunas << relatorio.Coluna(QLatin1String(kMeses[m]), QLatin1String(kTitulos[m]), 2, true);
    colunas << relatorio.Coluna(QStringLiteral("Total"), QStringLiteral("Total"), 2, true);
    relatorio.DefineColunas(colunas);
    relatorio.AdicionaCabecalho(QStringLiteral("Valores"), QStringLiteral("kg faturados"));
}
