#include "RelTngSetor.h"
#include "ModuleUnits.h"
#include "Relatorio.h"

TFmRelTngSetor* FmRelTngSetor = nullptr;

KELM_SCREEN_UNIT(RelTngSetor, TFmRelTngSetor, {{QStringLiteral("WTngProgSetor"), LayoutTngSetor}});

// A step is its item's (FAL and ORD_IT): two items of one fabric in a sheet do not weigh twice.
QString InstrucaoTngSetor() {
    return QStringLiteral(
        "SELECT PROC.FASE, PROC.DES_FASE, SUM(FAL_ITEN.PESO) AS PESO FROM {PROCESSO_TIN} PROC "
        "LEFT OUTER JOIN {FAL_ITEN} FAL_ITEN ON (FAL_ITEN.FAL = PROC.FAL AND FAL_ITEN.CODIGO = PROC.CODIGO "
        "AND "
        "(PROC.ORD_IT IS NULL OR FAL_ITEN.ORD_IT = PROC.ORD_IT)) "
        "WHERE PROC.CONCLUIDO = 'S' /*FILTROS*/ GROUP BY PROC.FASE, PROC.DES_FASE ORDER BY PROC.FASE");
}

TFmRelTngSetor::TFmRelTngSetor(QWidget* parent) : TFmRelatorio(parent) {
    setObjectName(QStringLiteral("FmRelTngSetor"));
    setWindowTitle(QStringLiteral("Relatório de Programação por Setores"));
    PublicaInstancia(FmRelTngSetor);
}

void TFmRelTngSetor::FormCreate() {
    using T = FiltroRelatorio::Tipo;
    rel.filtros = {
        {.tipo = T::Codigo,
         .nome = "EdtCodSet",
         .legenda = "Setor",
         .coluna = "PROC.FASE",
         .tabela = "FASE",
         .recusa = "Setor não cadastrado."},
        {.tipo = T::Periodo, .nome = "EdtData", .legenda = "Periodo da Baixa", .coluna = "PROC.DATA_FIN"}};
    rel.sql = InstrucaoTngSetor();
    rel.colunas = {{"FASE", "Setor"},
                   ColunaGrade("DES_FASE", "Descrição").Largura(30),
                   ColunaGrade("PESO", "Peso (kg)").Casas(2).Estica()};
    rel.relatorio = QStringLiteral("WTngProgSetor");
    AbreRelatorio();
}

void LayoutTngSetor(TRelatorio& relatorio) {
    relatorio.DefineColunas({relatorio.Coluna(QStringLiteral("FASE"), QStringLiteral("Setor")),
                             relatorio.Coluna(QStringLiteral("DES_FASE"), QStringLiteral("Descrição")),
                             relatorio.Coluna(QStringLiteral("PESO"), QStringLiteral("Peso (kg)"), 2, true)});
}
