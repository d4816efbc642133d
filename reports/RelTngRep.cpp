#include "RelTngRep.h"
#include "ModuleUnits.h"
#include "Relatorio.h"

TFmRelTngRep* FmRelTngRep = nullptr;

KELM_SCREEN_UNIT(RelTngRep, TFmRelTngRep, {{QStringLiteral("WTngProgRep"), LayoutTngRep}});

// The sheets with a step finished in the period, each once, drive the read: a month's, not every sheet
// probed against them.
QString InstrucaoTngRep() {
    return QStringLiteral(
        "SELECT CLIENTE.CODREP, REPRESEN.NOME, CLIENTE.CODREP || ' - ' || COALESCE(REPRESEN.NOME, '') AS "
        "REPRESENTANTE, CLIENTE.CODCLI, CLIENTE.NOME AS NOME_CLI, SUM(FAL_ITEN.PESO) AS PESO "
        "FROM (SELECT DISTINCT PROC.FAL FROM {PROCESSO_TIN} PROC WHERE PROC.CONCLUIDO = 'S' /*BAIXA*/) "
        "BAIXADA "
        "INNER JOIN {FAL} FAL ON (FAL.NUMERO = BAIXADA.FAL) "
        "LEFT OUTER JOIN {FAL_ITEN} FAL_ITEN ON (FAL.NUMERO = FAL_ITEN.FAL) "
        "LEFT OUTER JOIN {ENTIDADE} CLIENTE ON (FAL.CLIENTE = CLIENTE.CODCLI) "
        "LEFT OUTER JOIN {REPRESEN} REPRESEN ON (CLIENTE.CODREP = REPRESEN.CODREP) WHERE 1 = 1 /*FILTROS*/ "
        "GROUP BY CLIENTE.CODREP, REPRESEN.NOME, CLIENTE.CODCLI, CLIENTE.NOME ORDER BY CLIENTE.CODREP, "
        "CLIENTE.CODCLI");
}

TFmRelTngRep::TFmRelTngRep(QWidget* parent) : TFmRelatorio(parent) {
    setObjectName(QStringLiteral("FmRelTngRep"));
    setWindowTitle(QStringLiteral("Relatório de Programação por Representante"));
    PublicaInstancia(FmRelTngRep);
}

void TFmRelTngRep::FormCreate() {
    using T = FiltroRelatorio::Tipo;
    rel.filtros = {FiltroRepresentante(QStringLiteral("CLIENTE.CODREP")),
                   {.tipo = T::Codigo,
                    .nome = "EdtCodSet",
                    .legenda = "Setor",
                    .coluna = "PROC.FASE",
                    .marcador = "BAIXA",
                    .tabela = "FASE",
                    .recusa = "Setor não cadastrado."},
                   {.tipo = T::Periodo,
                    .nome = "EdtData",
                    .legenda = "Periodo da Baixa",
                    .coluna = "PROC.DATA_FIN",
                    .marcador = "BAIXA"}};
    rel.sql = InstrucaoTngRep();
    rel.colunas = {{"CODREP", "Repr."},
                   ColunaGrade("NOME", "Representante").Largura(20),
                   {"CODCLI", "Cliente"},
                   ColunaGrade("NOME_CLI", "Nome").Largura(30),
                   ColunaGrade("PESO", "Peso (kg)").Casas(2).Estica()};
    rel.relatorio = QStringLiteral("WTngProgRep");
    rel.texto = true;
    AbreRelatorio();
}

void LayoutTngRep(TRelatorio& relatorio) {
    relatorio.DefineColunas({relatorio.Coluna(QStringLiteral("CODCLI"), QStringLiteral("Cliente")),
                             relatorio.Coluna(QStringLiteral("NOME_CLI"), QStringLiteral("Nome")),
                             relatorio.Coluna(QStringLiteral("PESO"), QStringLiteral("Peso (kg)"), 2, true)});
    relatorio.AgrupaPor(QStringLiteral("REPRESENTANTE"), QStringLiteral("Representante"));
}
