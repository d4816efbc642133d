#include "RelFal.h"
#include "ModuleUnits.h"
#include "Relatorio.h"
#include <tuple>

TFmRelFal* FmRelFal = nullptr;

KELM_SCREEN_UNIT(RelFal, TFmRelFal,
                 {{QStringLiteral("WTngFalNum"), LayoutFalNum},
                  {QStringLiteral("WTngFalIten"), LayoutFalIten},
                  {QStringLiteral("WTngFalCor"), LayoutFalCor},
                  {QStringLiteral("WTngFalVar"), LayoutFalVar},
                  {QStringLiteral("WTngFalEst"), LayoutFalEst}});

namespace {
enum Ordem { kTecido = 1, kClienteCor = 2, kVariante = 3, kEstampa = 5 };

// A step is open until concluded ("S") or concluded for reprocessing ("R").
// The item's current step, one row whatever ties the route holds (two steps on one ORDEM): the first open
// one, of the listed phases when a list is given; "Pendentes na Fase" wants it to be the item's first open
// step as well.
const QString kPassoAberto = QStringLiteral(
    "JOIN {PROCESSO_TIN} PROCESSO_TIN ON (PROCESSO_TIN.RDB$DB_KEY = (SELECT FIRST 1 P.RDB$DB_KEY FROM "
    "{PROCESSO_TIN} P WHERE P.FAL = FAL_ITEN.FAL AND P.CODIGO = FAL_ITEN.CODIGO AND COALESCE(P.CONCLUIDO, "
    "'N') "
    "NOT IN ('S', 'R') /*FASES*/ ORDER BY P.ORDEM, P.FASE) /*PENDFASE*/) ");
// Finished: the last step recorded and concluded, of a FAL with no step still pending.
const QString kPassoBaixado = QStringLiteral(
    "JOIN {PROCESSO_TIN} PROCESSO_TIN ON (PROCESSO_TIN.RDB$DB_KEY = (SELECT FIRST 1 P.RDB$DB_KEY FROM "
    "{PROCESSO_TIN} P WHERE P.FAL = FAL_ITEN.FAL AND P.CODIGO = FAL_ITEN.CODIGO AND P.PENDENTE = 'N' AND "
    "P.CONCLUIDO IN ('S', 'R') /*FASES*/ ORDER BY P.ORDEM DESC, P.FASE) AND NOT EXISTS (SELECT 1 FROM "
    "{PROCESSO_TIN} N WHERE N.FAL = FAL.NUMERO AND (N.CONCLUIDO = 'N' OR N.CONCLUIDO IS NULL))) ");

// The item's last concluded step, by a column of it.
QString PassoAnterior(const char* coluna) {
    return QStringLiteral(
               "(SELECT FIRST 1 A.%1 FROM {PROCESSO_TIN} A WHERE A.FAL = FAL_ITEN.FAL AND A.CODIGO = "
               "FAL_ITEN.CODIGO AND A.CONCLUIDO = 'S' ORDER BY A.ORDEM DESC, A.FASE)")
        .arg(QLatin1String(coluna));
}

// Every join the filters may name; the defect list looks into the quality records without joining them, so
// an item of many rolls stays one row.
const QString kOrigem = QStringLiteral(
    " FROM {FAL} FAL "
    "LEFT JOIN {FAL_ITEN} FAL_ITEN ON (FAL_ITEN.FAL = FAL.NUMERO) "
    "LEFT JOIN {PRODUTO} PRODUTO ON (PRODUTO.CODIGO = FAL_ITEN.CODIGO) "
    "LEFT JOIN {RECEITA} RECEITA ON (RECEITA.COR = FAL.COR AND RECEITA.VARIANTE = FAL.VARIANTE) "
    "LEFT JOIN {ENTIDADE} CLIENTE ON (CLIENTE.CODCLI = FAL.CLIENTE) "
    "LEFT JOIN {CADCEP} CADCEP ON (CADCEP.CEP = CLIENTE.CEP) "
    "LEFT JOIN {CIDADE} CIDADE ON (CIDADE.COD_CID = CADCEP.COD_CID) "
    "LEFT JOIN {REPRESEN} REPRESEN ON (REPRESEN.CODREP = CLIENTE.CODREP) "
    "LEFT JOIN {CADCORTIN} COR ON (COR.CODIGO = FAL.COR) "
    "LEFT JOIN {VARIANTE} VARIANTE ON (VARIANTE.CODIGO = FAL.VARIANTE) "
    "LEFT JOIN {FAL} FAL_ORIG ON (FAL_ORIG.NUMERO = FAL.NUM_REPROC) "
    "LEFT JOIN {CADCORTIN} CADCOR_ORIG ON (CADCOR_ORIG.CODIGO = FAL_ORIG.COR) "
    "LEFT JOIN {NFTIN} NOTA ON (NOTA.NOTA = FAL_ITEN.NOTA AND NOTA.CLIENTE = FAL.CLIENTE) "
    "LEFT JOIN {ENTIDADE} ENT_EMI ON (ENT_EMI.CODCLI = NOTA.EMISSOR) "
    "LEFT JOIN {GRUPO_CLI} GRUPO_CLI ON (GRUPO_CLI.CODIGO = CLIENTE.GRUPO) "
    "LEFT JOIN {TABPRECO} TABPRECO ON (TABPRECO.REGIAO = FAL.TABPRECO AND TABPRECO.COR = FAL.COR AND "
    "TABPRECO.VARIANTE = FAL.VARIANTE AND TABPRECO.CODIGO = FAL_ITEN.CODIGO) "
    "LEFT JOIN {VARIANTE} VARIANTE1 ON (VARIANTE1.CODIGO = FAL.VAR_EST) "
    "LEFT JOIN {MAQ_TIN} MAQ_TIN_ORIG ON (MAQ_TIN_ORIG.CODIGO = FAL_ORIG.MAQUINA) "
    "LEFT JOIN {CADCORTIN} ESTAMPA ON (ESTAMPA.CODIGO = FAL.ESTAMPA) "
    "/*PASSO*/ WHERE 1 = 1 /*PERIODO*/ /*FILTROS*/ ");

// The orders: each ends on the FAL and item so equal keys keep one order.
const QString kPorFal = QStringLiteral(
    "CLIENTE.NOME, FAL.NUMERO, FAL.DATA_INI, FAL.PARTIDA, FAL.COR, COR.DESCRICAO, PROCESSO_TIN.DES_FASE, "
    "FAL_ITEN.LOTE, FAL_ITEN.LARGURA, FAL_ITEN.GRAMATURA, FAL_ITEN.CODIGO, FAL_ITEN.ORD_IT");
const QStringList kOrdens = {
    kPorFal,
    QStringLiteral("CLIENTE.NOME, FAL_ITEN.CODIGO, FAL.COR, FAL.NUMERO, FAL_ITEN.ORD_IT"),
    QStringLiteral("CLIENTE.NOME, FAL.COR, FAL.NUMERO, FAL_ITEN.ORD_IT"),
    QStringLiteral("CLIENTE.NOME, FAL.VARIANTE, FAL.COR, FAL.NUMERO, FAL_ITEN.ORD_IT"),
    QStringLiteral("FAL_ITEN.NOTA, CLIENTE.NOME, FAL.VARIANTE, FAL.COR, FAL.NUMERO, FAL_ITEN.ORD_IT"),
    QStringLiteral("FAL.ESTAMPA, FAL.VARIANTE, CLIENTE.NOME, FAL.NUMERO, FAL_ITEN.ORD_IT"),
    QStringLiteral("FAL.COR, FAL.NUMERO, FAL_ITEN.ORD_IT"),
    QStringLiteral("CLIENTE.GRUPO, CLIENTE.NOME, FAL.NUMERO, FAL_ITEN.ORD_IT"),
    QStringLiteral("FAL.ROTEIRO, ") + kPorFal,
    QStringLiteral("CLIENTE.NOME, FAL.PARTIDA, FAL.NUMERO, ") + kPorFal,
    QStringLiteral("DATA_FIN_ANT, HORA_FIN_ANT, FAL.NUMERO, FAL_ITEN.ORD_IT"),
    QStringLiteral("CLIENTE.NOME, FAL.NUMERO, FAL_ITEN.ORD_IT")};

const QStringList kUfs = {"",   "AC", "AL", "AM", "AP", "BA", "CE", "DF", "ES", "GO", "MA", "MG", "MS", "MT",
                          "PA", "PB", "PE", "PI", "PR", "RJ", "RN", "RO", "RR", "RS", "SC", "SE", "SP", "TO"};

void Colunas(TRelatorio& relatorio,
             std::initializer_list<std::tuple<const char*, const char*, int, bool>> lista) {
    QList<ColunaRelatorio> colunas;
    for (const auto& [campo, titulo, casas, soma] : lista)
        colunas << relatorio.Coluna(QLatin1String(campo), QString::fromUtf8(titulo), casas, soma);
    relatorio.DefineColunas(colunas);
}
} // namespace

QString InstrucaoFal() {
    return QStringLiteral(
               "SELECT FAL.NUMERO, FAL.PARTIDA, FAL_ITEN.LOTE, FAL.COR, COR.DESCRICAO AS DESCOR, "
               "FAL.DATA_INI, "
               "FAL.DATA_FIN, FAL.MAQUINA, FAL_ITEN.CODIGO, FAL_ITEN.DT_FATURA, FAL_ITEN.FAL, "
               "FAL_ITEN.FATURADO, "
               "FAL_ITEN.GRAMATURA, FAL_ITEN.LARGURA, FAL_ITEN.LOTE AS LOTE1, FAL_ITEN.NOTA, "
               "FAL_ITEN.OBSERVACAO, FAL_ITEN.PESO, FAL_ITEN.PESO_DEV, FAL_ITEN.PESO_FATUR, FAL_ITEN.ROLO, "
               "FAL.CLIENTE, CLIENTE.NOME, CLIENTE.FANTASIA, CIDADE.COD_EST AS UF, FAL.OBS AS OBS_FAL, "
               "FAL.VARIANTE, VARIANTE.DESCRICAO AS DESVAR, CAST('' AS VARCHAR(1)) AS ITEN, "
               "RECEITA.DESCRICAO AS "
               "DESREC, CLIENTE.CODREP, REPRESEN.NOME AS NOMEREP, PROCESSO_TIN.DES_FASE, PROCESSO_TIN.FASE, "
               "PROCESSO_TIN.OBS, PROCESSO_TIN.DATA_INI AS DT_INICIO, PROCESSO_TIN.DATA_FIN AS DT_CONCLUSAO, "
               "PRODUTO.DESCRICAO, FAL.ESTAMPA, ESTAMPA.DESCRICAO AS DESC_EST, PRODUTO.GRUPO, ENT_EMI.CODCLI "
               "AS "
               "COD_EMI_NOTA, ENT_EMI.NOME AS NOME_EMI_NOTA, FAL_ORIG.NUMERO AS FAL_ORIG, FAL_ORIG.COR AS "
               "COR_ORIG, CADCOR_ORIG.DESCRICAO AS DESC_COR_ORIG, FAL_ORIG.DATA_INI AS DATA_INI_ORIG, "
               "PROCESSO_TIN.CONCLUIDO AS STATUS_FASE, (FAL.DATA_FIN - FAL_ITEN.DT_FATURA) AS DIAS, "
               "CLIENTE.GRUPO AS GRUPO_CLI, GRUPO_CLI.DESCRICAO AS DESC_GRUPO_CLI, TABPRECO.PRECO_00, "
               "NOTA.DATA "
               "AS DT_ENTRADA, NOTA.DATA_LAN AS DT_EMISSAO, FAL_ITEN.FLUXO, FAL.TIPO AS FAL_TIPO, "
               "FAL.VAR_EST, "
               "VARIANTE1.DESCRICAO AS DESC_VAR_EST, ") +
           PassoAnterior("DATA_FIN") + QStringLiteral(" AS DATA_FIN_ANT, ") + PassoAnterior("HORA_FIN") +
           QStringLiteral(
               " AS HORA_FIN_ANT, (SELECT MAX(R.DESCRICAO) FROM {ROTEIRO} R WHERE R.CODIGO = FAL_ITEN.FLUXO) "
               "AS "
               "ROTEIRO, (SELECT MAX(G.ENTRADA) FROM {TNG_PROG} G WHERE G.FAL = FAL.NUMERO) AS ENTRADA, "
               "FAL.ORDEM, RECEITA.CUSTO AS CUSTO_REC, (SELECT SUM(FIT.PESO) FROM {FAL_ITEN} FIT WHERE "
               "FIT.FAL "
               "= FAL.NUMERO) AS PESO_TOTAL, (SELECT FIRST 1 T.PRECO_00 FROM {TABPRECO} T WHERE T.REGIAO = "
               "FAL.TABPRECO AND T.COR = FAL.COR AND T.VARIANTE = FAL.VARIANTE AND (T.CODIGO IN ('', '0') OR "
               "T.CODIGO IS NULL) ORDER BY T.CODIGO) AS PRECO_COR_VAR, FAL_ORIG.MAQUINA AS MAQUINA_ORIG, "
               "MAQ_TIN_ORIG.DESCRICAO AS DESC_MAQUINA_ORIG, PRODUTO.UNIDADE, COR.TON AS TONALIDADE, "
               "COR.COR_SIS, "
               "CAST('S' AS VARCHAR(1)) AS IMP, TRIM(FAL.CLIENTE) || ' - ' || COALESCE(CLIENTE.NOME, '') AS "
               "GRUPO_CLIENTE, COALESCE(TRIM(FAL.ESTAMPA) || ' - ' || COALESCE(ESTAMPA.DESCRICAO, ''), "
               "'Sem estampa') AS GRUPO_ESTAMPA") +
           kOrigem + QStringLiteral("ORDER BY /*ORDEM*/");
}

QString InstrucaoFalSetor() {
    return QStringLiteral(
               "SELECT PROCESSO_TIN.DES_FASE, PROCESSO_TIN.FASE, PROCESSO_TIN.DATA_INI AS DT_INICIO, "
               "PROCESSO_TIN.CONCLUIDO AS STATUS_FASE, FAL_ITEN.*, FAL.PARTIDA, FAL.DATA_INI, FAL.CLIENTE, "
               "CLIENTE.NOME, FAL.COR, COR.DESCRICAO AS DESCOR, FAL.VARIANTE, VARIANTE.DESCRICAO AS DESVAR, "
               "RECEITA.DESCRICAO AS DESREC, PRODUTO.DESCRICAO, FAL_ORIG.NUMERO AS FAL_ORIG, FAL_ORIG.COR AS "
               "COR_ORIG") +
           kOrigem + QStringLiteral("ORDER BY PROCESSO_TIN.DES_FASE, FAL.NUMERO, FAL_ITEN.ORD_IT");
}

QString InstrucaoFalQualidade() {
    return QStringLiteral("SELECT CONTR_QUL.* FROM {CONTR_QUL} CONTR_QUL JOIN {FAL} FAL ON (CONTR_QUL.FAL = "
                          "FAL.NUMERO) WHERE 1 = 1 /*PERIODO*/ ORDER BY CONTR_QUL.FAL, CONTR_QUL.CODIGO, "
                          "CONTR_QUL.ORDEM");
}

QString IdentificadorFal(int ordem) {
    switch (ordem) {
    case kTecido:
        return QStringLiteral("WTngFalIten");
    case kClienteCor:
        return QStringLiteral("WTngFalCor");
    case kVariante:
        return QStringLiteral("WTngFalVar");
    case kEstampa:
        return QStringLiteral("WTngFalEst");
    default:
        return QStringLiteral("WTngFalNum");
    }
}

TFmRelFal::TFmRelFal(QWidget* parent) : TFmRelatorio(parent) {
    setObjectName(QStringLiteral("FmRelFal"));
    setWindowTitle(QStringLiteral("Relatório de FAL"));
    resize(1200, 800);
    PublicaInstancia(FmRelFal);
}

void TFmRelFal::FormCreate() {
    using T = FiltroRelatorio::Tipo;
    const auto lista = [](const char* nome, const char* legenda, const char* coluna, const char* tabela,
                          const char* chave = "CODIGO", const char* descricao = "DESCRICAO") {
        FiltroRelatorio f = FiltroLista(nome, legenda, coluna, tabela);
        f.chave = QString::fromUtf8(chave);
        f.descricao = QString::fromUtf8(descricao);
        return f;
    };
    FiltroRelatorio defeito = lista("EdtDefeito", "Defeito", "Q.DEFEITO", "DEFEITO");
    defeito.envolve =
        QStringLiteral("EXISTS (SELECT 1 FROM {CONTR_QUL} Q WHERE Q.FAL = FAL_ITEN.FAL AND Q.CODIGO "
                       "= FAL_ITEN.CODIGO AND %1)");
    FiltroRelatorio fases = lista("EdtCodFase", "Fase", "P.FASE", "FASE");
    fases.marcador = QStringLiteral("FASES");
    FiltroRelatorio notas = lista("EdtNota", "Nota Entrada", "FAL_ITEN.NOTA", "NFTIN", "NOTA", "CLIENTE");
    notas.distintos = true;
    FiltroRelatorio situacoes =
        lista("EdtCodSituacao", "Situação Cliente", "CLIENTE.SIT_CLI", "ENTIDADE", "SIT_CLI", "");
    situacoes.distintos = true;
    FiltroRelatorio roteiros = lista("EdtFluxo", "Roteiro", "FAL_ITEN.FLUXO", "ROTEIRO");
    roteiros.distintos = true;
    FiltroRelatorio preparacoes = lista("EdtCodPreparacao", "Preparação", "RECEITA.PREPARACAO", "PREPARACAO");
    preparacoes.distintos = true;
    rel.filtros = {
        {.tipo = T::Periodo,
         .nome = "EdtData",
         .legenda = "Emissão da FAL",
         .coluna = "FAL.DATA_INI",
         .marcador = "PERIODO"},
        {.tipo = T::Periodo,
         .nome = "DtFat",
         .legenda = "Faturamento da FAL",
         .coluna = "FAL_ITEN.DT_FATURA",
         .soCom = {"RgSituacao", 2}},
        FiltroRepresentante(QStringLiteral("CLIENTE.CODREP")),
        notas,
        lista("EdtCodCliente", "Cliente", "FAL.CLIENTE", "ENTIDADE", "CODCLI", "NOME"),
        situacoes,
        lista("edtCodGrupCli", "Grupo Cliente", "CLIENTE.GRUPO", "GRUPO_CLI"),
        lista("edtCodCor", "Cor", "FAL.COR", "CADCORTIN"),
        lista("edtCodVar", "Variante", "FAL.VARIANTE", "VARIANTE"),
        lista("EdtCodEstampa", "Estampa", "FAL.ESTAMPA", "CADCORTIN"),
        {.tipo = T::Texto, .nome = "EdtLote", .legenda = "Lote Cli.", .coluna = "FAL_ITEN.LOTE"},
        {.tipo = T::Codigo,
         .nome = "EdtPartida",
         .legenda = "Partida",
         .coluna = "FAL.PARTIDA",
         .tabela = "FAL",
         .chave = "PARTIDA",
         .descricao = "",
         .distintos = true},
        {.tipo = T::Codigo,
         .nome = "EdtCodEmi",
         .legenda = "Emissor NF",
         .coluna = "NOTA.EMISSOR",
         .tabela = "ENTIDADE",
         .chave = "CODCLI",
         .descricao = "NOME",
         .recusa = "Emissor não cadastrado."},
        {.tipo = T::Escolha, .nome = "CbUf", .legenda = "UF", .coluna = "CIDADE.COD_EST", .opcoes = kUfs},
        {.tipo = T::Codigo,
         .nome = "EdtCodPro",
         .legenda = "Produto",
         .coluna = "FAL_ITEN.CODIGO",
         .tabela = "PRODUTO",
         .recusa = "Produto não cadastrado."},
        lista("EdtCodGrupoProd", "Grupo Produto", "PRODUTO.GRUPO", "GRUPO_PA"),
        roteiros,
        lista("EdtCodMaquina", "Máquina", "FAL.MAQUINA", "MAQ_TIN"),
        preparacoes,
        defeito,
        lista("edtFal", "FAL", "FAL.NUMERO", "FAL", "NUMERO", "COR"),
        fases,
        {.tipo = T::Marca,
         .nome = "CbEstampa",
         .legenda = "Somente Estamparia",
         .textos = {" AND ESTAMPA.CODIGO IS NOT NULL"}},
        {.tipo = T::Marca,
         .nome = "CBPendFase",
         .legenda = "Pendentes na Fase",
         .marcador = "PENDFASE",
         .textos =
             {" AND NOT EXISTS (SELECT 1 FROM {PROCESSO_TIN} Q WHERE Q.FAL = PROCESSO_TIN.FAL AND Q.CODIGO = "
              "PROCESSO_TIN.CODIGO AND Q.ORDEM < PROCESSO_TIN.ORDEM AND COALESCE(Q.CONCLUIDO, 'N') NOT IN "
              "('S', "
              "'R'))"}},
        {.tipo = T::Opcao,
         .nome = "RgSituacao",
         .legenda = "Situação Fat.",
         .opcoes = {"Todas", "Pendentes", "Faturadas", "Baixadas"},
         .textos =
             {"", " AND COALESCE(TRIM(FAL_ITEN.FATURADO), '') IN ('', 'A')",
              " AND FAL_ITEN.FATURADO IN ('D', 'S')",
              " AND FAL_ITEN.FATURADO = 'S' AND FAL_ITEN.PESO_FATUR = 0 AND FAL_ITEN.DT_FATURA IS NULL"},
         .padrao = 1},
        {.tipo = T::Opcao,
         .nome = "RgSitProd",
         .legenda = "Situação Prod.",
         .marcador = "PASSO",
         .opcoes = {"Todas", "Pendentes", "Baixadas"},
         .textos = {QStringLiteral("LEFT ") + kPassoAberto, kPassoAberto, kPassoBaixado},
         .padrao = 1},
        {.tipo = T::Opcao,
         .nome = "RgBusca",
         .legenda = "Tipo",
         .opcoes = {"Todas", "Normal", "Reprocessadas", "Só Serviço"},
         .textos = {"", " AND FAL.TIPO = 1", " AND FAL_ORIG.NUMERO IS NOT NULL", " AND FAL.TIPO = 5"}},
        {.tipo = T::Opcao,
         .nome = "RgOrdem",
         .legenda = "Ordem",
         .marcador = "ORDEM",
         .opcoes = {"FAL", "Tecido", "Cliente/Cor", "Variante", "Nota Entrada", "Estampa/Var./Cli.",
                    "Cor/FAL", "Grupo Cli./Cli.", "Roteiro", "Partida", "Data/Hora", "Cliente/FAL/Ordem"},
         .textos = kOrdens}};
    rel.sql = InstrucaoFal();
    rel.colunas = {{"NUMERO", "FAL"},
                   {"PARTIDA", "Partida"},
                   {"DATA_INI", "Emissão"},
                   {"CLIENTE", "Cliente"},
                   ColunaGrade("NOME", "Nome").Largura(22),
                   {"COR", "Cor"},
                   ColunaGrade("DESCOR", "Descrição Cor").Largura(18),
                   {"VARIANTE", "Var."},
                   {"CODIGO", "Produto"},
                   ColunaGrade("DESCRICAO", "Descrição").Largura(20),
                   {"LOTE1", "Lote Cli."},
                   {"NOTA", "Nota"},
                   {"ROLO", "Rolos"},
                   ColunaGrade("PESO", "Peso (kg)").Casas(2),
                   ColunaGrade("PESO_FATUR", "Peso Fat. (kg)").Casas(2),
                   {"FATURADO", "Fat."},
                   {"DT_FATURA", "Faturamento"},
                   {"DES_FASE", "Fase Atual"},
                   {"DT_INICIO", "Início Fase"},
                   {"ROTEIRO", "Roteiro"},
                   {"ESTAMPA", "Estampa"},
                   {"FAL_ORIG", "FAL Origem"},
                   {"DATA_FIN_ANT", "Última Fase"},
                   ColunaGrade("PRECO_00", "Preço").Casas(2),
                   {"UF", "UF"}};
    rel.paginas = {{"Setores", "qryFalSetor", InstrucaoFalSetor()},
                   {"Qualidade", "QryQul", InstrucaoFalQualidade()}};
    rel.relatorio = QStringLiteral("WTngFalNum");
    rel.texto = true;
    AbreRelatorio();
}

QString TFmRelFal::Identificador() const {
    return IdentificadorFal(Opcao(QStringLiteral("RgOrdem")));
}

// By number: a line per item, whatever the order brought.
void LayoutFalNum(TRelatorio& relatorio) {
    Colunas(relatorio, {{"NUMERO", "FAL", -1, false},
                        {"PARTIDA", "Partida", -1, false},
                        {"DATA_INI", "Emissão", -1, false},
                        {"NOME", "Cliente", -1, false},
                        {"COR", "Cor", -1, false},
                        {"DESCOR", "Descrição", -1, false},
                        {"CODIGO", "Produto", -1, false},
                        {"LOTE1", "Lote Cli.", -1, false},
                        {"PESO", "Peso (kg)", 2, true},
                        {"PESO_FATUR", "Peso Fat. (kg)", 2, true},
                        {"DES_FASE", "Fase Atual", -1, false}});
}

void LayoutFalIten(TRelatorio& relatorio) {
    Colunas(relatorio, {{"CODIGO", "Produto", -1, false},
                        {"DESCRICAO", "Descrição", -1, false},
                        {"COR", "Cor", -1, false},
                        {"DESCOR", "Descrição Cor", -1, false},
                        {"NUMERO", "FAL", -1, false},
                        {"LOTE1", "Lote Cli.", -1, false},
                        {"PESO", "Peso (kg)", 2, true}});
    relatorio.AgrupaPor(QStringLiteral("GRUPO_CLIENTE"), QStringLiteral("Cliente"));
}

void LayoutFalCor(TRelatorio& relatorio) {
    Colunas(relatorio, {{"COR", "Cor", -1, false},
                        {"DESCOR", "Descrição", -1, false},
                        {"NUMERO", "FAL", -1, false},
                        {"PARTIDA", "Partida", -1, false},
                        {"CODIGO", "Produto", -1, false},
                        {"PESO", "Peso (kg)", 2, true},
                        {"DES_FASE", "Fase Atual", -1, false}});
    relatorio.AgrupaPor(QStringLiteral("GRUPO_CLIENTE"), QStringLiteral("Cliente"));
}

void LayoutFalVar(TRelatorio& relatorio) {
    Colunas(relatorio, {{"VARIANTE", "Var.", -1, false},
                        {"DESVAR", "Descrição", -1, false},
                        {"COR", "Cor", -1, false},
                        {"DESCOR", "Descrição Cor", -1, false},
                        {"NUMERO", "FAL", -1, false},
                        {"PESO", "Peso (kg)", 2, true}});
    relatorio.AgrupaPor(QStringLiteral("GRUPO_CLIENTE"), QStringLiteral("Cliente"));
}

void LayoutFalEst(TRelatorio& relatorio) {
    Colunas(relatorio, {{"VARIANTE", "Var.", -1, false},
                        {"NOME", "Cliente", -1, false},
                        {"NUMERO", "FAL", -1, false},
                        {"COR", "Cor", -1, false},
                        {"CODIGO", "Produto", -1, false},
                        {"PESO", "Peso (kg)", 2, true}});
    relatorio.AgrupaPor(QStringLiteral("GRUPO_ESTAMPA"), QStringLiteral("Estampa"));
}
