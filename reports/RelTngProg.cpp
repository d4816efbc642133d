#include "RelTngProg.h"
#include "DataSet.h"
#include "ModuleUnits.h"
#include "Relatorio.h"
#include <tuple>

TFmRelTngProg* FmRelTngProg = nullptr;

KELM_SCREEN_UNIT(RelTngProg, TFmRelTngProg, {{QStringLiteral("WTngProg"), LayoutTngProg}});

// Every join is by key but the route's, whose rows are its steps: its description is read once per item,
// so no item repeats and no DISTINCT sorts the long rows.
// An item not yet in a sheet looks for no reprocessing: the engine would walk every sheet that has none.
QString InstrucaoTngProg(int grupo) {
    static const char* const ordens[] = {"TNG_PROG.NUMERO, TNG_PROG.CODCLI, TNG_PROG.PARTIDA",
                                         "TNG_PROG.CODCLI, TNG_PROG.NUMERO, TNG_PROG.PARTIDA",
                                         "TNG_PROG.COR, TNG_PROG.NUMERO, TNG_PROG.CODCLI, TNG_PROG.PARTIDA"};
    return QStringLiteral(
               "SELECT (SELECT MAX(FI.DT_FATURA) FROM {FAL_ITEN} FI WHERE FI.FAL = FAL.NUMERO AND FI.CODIGO "
               "= "
               "TNG_PROG.CODIGO) AS DT_FATURA, TNG_PROG.*, CLIENTE.NOME, PRODUTO.DESCRICAO, "
               "CADCORTIN.DESCRICAO "
               "AS DESCCOR, (SELECT FIRST 1 ROTEIRO.DESCRICAO FROM {ROTEIRO} ROTEIRO WHERE ROTEIRO.CODIGO = "
               "TNG_PROG.ROTEIRO ORDER BY ROTEIRO.ORDEM) AS DESCFLUXO, %1 AS GRUPO, CASE WHEN FAL.NUMERO IS "
               "NULL THEN NULL "
               "ELSE (SELECT MAX(FALR.NUMERO) FROM {FAL} FALR WHERE FALR.NUM_REPROC = FAL.NUMERO AND "
               "FALR.NUM_REPROC <> '') END AS NUM_REPROC "
               "FROM {TNG_PROG} TNG_PROG LEFT OUTER JOIN {ENTIDADE} CLIENTE ON (TNG_PROG.CODCLI = "
               "CLIENTE.CODCLI) LEFT OUTER JOIN {PRODUTO} PRODUTO ON (TNG_PROG.CODIGO = PRODUTO.CODIGO) "
               "LEFT OUTER JOIN {CADCORTIN} CADCORTIN ON (TNG_PROG.COR = CADCORTIN.CODIGO) "
               "LEFT OUTER JOIN {FAL} FAL ON (TNG_PROG.FAL = FAL.NUMERO) WHERE 1 = 1 /*FILTROS*/ ORDER BY %2")
        .arg(grupo)
        .arg(QLatin1String(ordens[qBound(0, grupo, 2)]));
}

TFmRelTngProg::TFmRelTngProg(QWidget* parent) : TFmRelatorio(parent) {
    setObjectName(QStringLiteral("FmRelTngProg"));
    setWindowTitle(QStringLiteral("Relatório de Programação"));
    resize(1000, 600);
    PublicaInstancia(FmRelTngProg);
}

void TFmRelTngProg::FormCreate() {
    using T = FiltroRelatorio::Tipo;
    // Programme and invoice numbers are stored zero-padded and typed without the zeros.
    rel.filtros = {
        {.tipo = T::Codigo,
         .nome = "EdtCodCli",
         .legenda = "Cliente",
         .coluna = "TNG_PROG.CODCLI",
         .tabela = "ENTIDADE",
         .chave = "CODCLI",
         .descricao = "NOME",
         .recusa = "Cliente não cadastrado."},
        {.tipo = T::Numero,
         .nome = "EdtNumero",
         .legenda = "Programação",
         .coluna = "TRIM(LEADING '0' FROM TNG_PROG.NUMERO)"},
        {.tipo = T::Numero,
         .nome = "EdtNota",
         .legenda = "Nota",
         .coluna = "TRIM(LEADING '0' FROM TNG_PROG.NOTA)"},
        {.tipo = T::Periodo, .nome = "EdtData", .legenda = "Digitado", .coluna = "TNG_PROG.ENTRADA"},
        {.tipo = T::Opcao,
         .nome = "RgGrupo",
         .legenda = "Agrupar",
         .opcoes = {"Programação", "Cliente", "Cor"}},
        {.tipo = T::Opcao,
         .nome = "rgBusca",
         .legenda = "Buscar",
         .opcoes = {"Todos", "Com FAL", "Sem FAL"},
         .textos = {"", " AND TNG_PROG.FAL <> ''", " AND (TNG_PROG.FAL = '' OR TNG_PROG.FAL IS NULL)"}}};
    rel.escolha = QStringLiteral("RgGrupo");
    rel.instrucoes = {InstrucaoTngProg(0), InstrucaoTngProg(1), InstrucaoTngProg(2)};
    rel.colunas = {{"NUMERO", "Programação"},
                   {"ENTRADA", "Digitado"},
                   {"CODCLI", "Cliente"},
                   ColunaGrade("NOME", "Nome").Largura(20),
                   {"PARTIDA", "Partida"},
                   {"NOTA", "Nota"},
                   {"CODIGO", "Artigo"},
                   ColunaGrade("DESCRICAO", "Descrição").Largura(20),
                   {"COR", "Cor"},
                   ColunaGrade("DESCCOR", "Descrição da cor").Largura(16),
                   {"VARIANTE", "Var."},
                   ColunaGrade("DESCFLUXO", "Roteiro").Largura(16),
                   {"ROLO", "Rolos"},
                   ColunaGrade("PESO", "Peso (kg)").Casas(2),
                   {"FAL", "FAL"},
                   {"DT_FATURA", "Faturada"},
                   ColunaGrade("NUM_REPROC", "Reprocesso").Estica()};
    rel.relatorio = QStringLiteral("WTngProg");
    rel.texto = true;
    AbreRelatorio();
}

void LayoutTngProg(TRelatorio& relatorio) {
    QList<ColunaRelatorio> colunas;
    for (const auto& [campo, titulo, casas, soma] : {std::tuple{"NUMERO", "Prog.", -1, false},
                                                     {"ENTRADA", "Digitado", -1, false},
                                                     {"CODCLI", "Cliente", -1, false},
                                                     {"NOME", "Nome", -1, false},
                                                     {"PARTIDA", "Partida", -1, false},
                                                     {"NOTA", "Nota", -1, false},
                                                     {"CODIGO", "Artigo", -1, false},
                                                     {"COR", "Cor", -1, false},
                                                     {"DESCCOR", "Descrição da cor", -1, false},
                                                     {"VARIANTE", "Var.", -1, false},
                                                     {"ROLO", "Rolos", -1, true},
                                                     {"PESO", "Peso (kg)", 2, true},
                                                     {"FAL", "FAL", -1, false},
                                                     {"DT_FATURA", "Faturada", -1, false},
                                                     {"NUM_REPROC", "Reproc.", -1, false}})
        colunas << relatorio.Coluna(QLatin1String(campo), QString::fromUtf8(titulo), casas, soma);
    for (ColunaRelatorio& c : colunas)
        if (c.campo == QLatin1String("NOME") || c.campo == QLatin1String("DESCCOR"))
            c.largura = 18;
    relatorio.DefineColunas(colunas);
    // The rows come ordered by the grouping they were read under.
    const TDataSet* dados = relatorio.Dados();
    const int grupo = dados && !dados->IsEmpty()
                          ? dados->ValueAt(0, dados->IndiceExistente(QStringLiteral("GRUPO"))).toInt()
                          : 0;
    const std::pair<const char*, const char*> grupos[] = {
        {"NUMERO", "Programação"}, {"CODCLI", "Cliente"}, {"COR", "Cor"}};
    const auto& [campo, rotulo] = grupos[qBound(0, grupo, 2)];
    relatorio.AgrupaPor(QLatin1String(campo), QString::fromUtf8(rotulo));
}
