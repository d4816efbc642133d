#include "RelTngMaq.h"
#include "ModuleUnits.h"
#include "PivosGerencia.h"
#include "Relatorio.h"
#include "TClientDataSet.h"

TFmRelTngMaq* FmRelTngMaq = nullptr;

KELM_SCREEN_UNIT(RelTngMaq, TFmRelTngMaq, {{QStringLiteral("WTngProgMaq"), LayoutTngMaq}});

QString InstrucaoTngMaq() {
    return QStringLiteral(
        "SELECT DISTINCT GRAFICO.TEMPO, FAL.MAQUINA, MAQ_TIN.DESCRICAO, RECEITA.CODIGO, FAL.PARTIDA "
        "FROM {FAL} FAL INNER JOIN {MAQ_TIN} MAQ_TIN ON (FAL.MAQUINA = MAQ_TIN.CODIGO) "
        "INNER JOIN {RECEITA} RECEITA ON (FAL.COR = RECEITA.COR AND FAL.VARIANTE = RECEITA.VARIANTE) "
        "INNER JOIN {GRAFICO} GRAFICO ON (RECEITA.GRAFICO = GRAFICO.CODIGO) "
        "INNER JOIN {FAL_ITEN} FAL_ITEN ON (FAL.NUMERO = FAL_ITEN.FAL) "
        "INNER JOIN {PROCESSO_TIN} PROCESSO ON (PROCESSO.FAL = FAL_ITEN.FAL AND PROCESSO.CODIGO = "
        "FAL_ITEN.CODIGO AND PROCESSO.FASE = MAQ_TIN.FASE) "
        "WHERE (FAL_ITEN.FATURADO = 'S' OR FAL_ITEN.FATURADO = 'A' OR PROCESSO.CONCLUIDO = 'S' OR "
        "PROCESSO.CONCLUIDO = 'N') AND FAL.PARTIDA <> '' AND NOT FAL.PARTIDA IS NULL /*FILTROS*/ "
        "ORDER BY FAL.MAQUINA, FAL.PARTIDA");
}

TFmRelTngMaq::TFmRelTngMaq(QWidget* parent) : TFmRelatorio(parent) {
    setObjectName(QStringLiteral("FmRelTngMaq"));
    setWindowTitle(QStringLiteral("Relatório de Máquina"));
    PublicaInstancia(FmRelTngMaq);
}

void TFmRelTngMaq::FormCreate() {
    using T = FiltroRelatorio::Tipo;
    rel.filtros = {
        {.tipo = T::Codigo,
         .nome = "EdtCodMaq",
         .legenda = "Máquina",
         .coluna = "FAL.MAQUINA",
         .tabela = "MAQ_TIN",
         .recusa = "Máquina não cadastrada."},
        {.tipo = T::Periodo, .nome = "EdtData", .legenda = "Emissão da Fal", .coluna = "FAL.DATA_INI"},
        {.tipo = T::Opcao,
         .nome = "rgFaturadas",
         .legenda = "Lotes",
         .opcoes = {"Todas", "Faturadas"},
         .textos = {"", " AND FAL_ITEN.FATURADO = 'S'"}},
        {.tipo = T::Opcao,
         .nome = "rgProcessos",
         .legenda = "Processos",
         .opcoes = {"Todas", "Pendentes"},
         .textos = {"", " AND PROCESSO.CONCLUIDO = 'N'"},
         .padrao = 1}};
    rel.sql = InstrucaoTngMaq();
    rel.camposPivo = [](TClientDataSet& r) {
        r.AddField(QStringLiteral("Maquina"), QMetaType::QString, 5)
            .AddField(QStringLiteral("Descricao"), QMetaType::QString, 50)
            .AddField(QStringLiteral("Tempo"), QMetaType::QString, 10)
            .AddField(QStringLiteral("Dia"), QMetaType::Double)
            .AddField(QStringLiteral("NumPart"), QMetaType::Int)
            .AddField(QStringLiteral("Partidas"), QMetaType::QString);
    };
    rel.pivo = [](TDataSet& linhas, TClientDataSet& r) {
        const int tempo = linhas.IndiceExistente(QStringLiteral("TEMPO")),
                  maquina = linhas.IndiceExistente(QStringLiteral("MAQUINA")),
                  descricao = linhas.IndiceExistente(QStringLiteral("DESCRICAO")),
                  partida = linhas.IndiceExistente(QStringLiteral("PARTIDA"));
        QList<LoteMaquina> lotes;
        lotes.reserve(linhas.RecordCount());
        for (int i = 0; i < linhas.RecordCount(); ++i)
            lotes.append({linhas.ValueAt(i, maquina).toString(), linhas.ValueAt(i, descricao).toString(),
                          linhas.ValueAt(i, tempo).toString(), linhas.ValueAt(i, partida).toString()});
        for (const TotalMaquina& t : PivoMaquinas(lotes)) {
            r.Append();
            r.Fields(0).SetValue(t.maquina);
            r.Fields(1).SetValue(t.descricao);
            r.Fields(2).SetValue(t.tempo);
            r.Fields(3).SetValue(t.dia);
            r.Fields(4).SetValue(t.numPart);
            r.Fields(5).SetValue(t.partidas);
            r.Post();
        }
    };
    rel.colunas = {{"Maquina", "Máquina"},
                   ColunaGrade("Descricao", "Descrição").Largura(20),
                   {"NumPart", "Lotes"},
                   {"Tempo", "Tempo"},
                   ColunaGrade("Dia", "Dias").Casas(2),
                   ColunaGrade("Partidas", "Partidas").Estica()};
    rel.relatorio = QStringLiteral("WTngProgMaq");
    AbreRelatorio();
}

void LayoutTngMaq(TRelatorio& relatorio) {
    ColunaRelatorio partidas = relatorio.Coluna(QStringLiteral("Partidas"), QStringLiteral("Partidas"));
    partidas.largura = 60;
    relatorio.DefineColunas({relatorio.Coluna(QStringLiteral("Maquina"), QStringLiteral("Máquina")),
                             relatorio.Coluna(QStringLiteral("Descricao"), QStringLiteral("Descrição")),
                             relatorio.Coluna(QStringLiteral("NumPart"), QStringLiteral("Lotes"), -1, true),
                             relatorio.Coluna(QStringLiteral("Tempo"), QStringLiteral("Tempo")),
                             relatorio.Coluna(QStringLiteral("Dia"), QStringLiteral("Dias"), 2, true),
                             partidas});
}
