#include "RelTngMov.h"
#include "DataAccess.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "ModuleUnits.h"
#include "Protecao.h"
#include "RegrasRelMov.h"
#include "Relatorio.h"
#include "TClientDataSet.h"
#include "TZoQuery.h"
#include <QAbstractItemView>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <iterator>
#include <tuple>

TFmRelTngMov* FmRelTngMov = nullptr;

KELM_SCREEN_UNIT(RelTngMov, TFmRelTngMov, {{QStringLiteral("WTngMov"), LayoutProducao}});

namespace {
struct Ordem {
    const char* legenda;
    const char* sql;
    const char* grupo; // the printed grouping: the order's first key, when its groups hold more than a lot
};
const Ordem kOrdens[] = {
    {"FAL", "PROC.FAL, PROC.ORDEM, PROC.FASE", ""},
    {"Fase", "PROC.FASE, PROC.ORDEM", "Fase"},
    {"Máquina", "PROC.MAQUINA, PROC.DATA_INI, PROC.HORA_INI", "Maquina"},
    {"Observação", "PROC.OBS", ""},
    {"Cliente", "FAL.CLIENTE", "CodCli"},
    {"Variante", "FAL.VARIANTE", "Variante"},
    {"Data Conclusão/Turno", "PROC.DATA_FIN, PROC.TURNO, PROC.MAQUINA, PROC.FASE", "Data_Fim"},
    {"Data Conclusão", "PROC.DATA_FIN", "Data_Fim"},
    {"Grupo Fase", "FASE.GRUPO, PROC.ORDEM", "Grupo_Fase"},
    {"Estampa", "FAL.ESTAMPA", "Estampa"},
    {"Gráfico", "PROC.GRAFICO, PROC.FAL, PROC.ORDEM, PROC.FASE", "Grafico"},
    {"Turno/Máquina", "PROC.TURNO, PROC.MAQUINA, PROC.FASE", "Turno"},
    {"Fase/Turno", "PROC.FASE, PROC.TURNO", "Fase"},
};

const QStringList kUfs = {"",   "AC", "AL", "AM", "AP", "BA", "CE", "DF", "ES", "GO", "MA", "MG", "MS", "MT",
                          "PA", "PB", "PE", "PI", "PR", "RJ", "RN", "RO", "RR", "RS", "SC", "SE", "SP", "TO"};

// Result fields taken as read: field, size (0 for numbers and dates), the statement's column.
struct Copiado {
    const char* campo;
    QMetaType::Type tipo;
    int tamanho;
    const char* coluna;
};
const Copiado kCopiados[] = {
    {"FAL", QMetaType::QString, 7, "FAL"},
    {"Partida", QMetaType::QString, 6, "PARTIDA"},
    {"Fase", QMetaType::QString, 3, "FASE"},
    {"DescFase", QMetaType::QString, 50, "DESCFASE"},
    {"Grafico", QMetaType::QString, 4, "GRAFICO"},
    {"DescGrafico", QMetaType::QString, 50, "DESCGRAFICO"},
    {"Data_ini", QMetaType::QDate, 0, "DATA_INI"},
    {"Data_Fim", QMetaType::QDate, 0, "DATA_FIN"},
    {"Hora_ini", QMetaType::QString, 10, "HORA_INI"},
    {"Hora_Fim", QMetaType::QString, 10, "HORA_FIN"},
    {"Ordem", QMetaType::Int, 0, "ORDEM"},
    {"Maquina", QMetaType::QString, 5, "MAQUINA"},
    {"DescMaquina", QMetaType::QString, 50, "DESCMAQ"},
    {"TempoGrafico", QMetaType::QString, 10, "TEMPOGRAFICO"},
    {"Turno", QMetaType::QString, 2, "TURNO"},
    {"Data", QMetaType::QDate, 0, "DATA"},
    {"Funcionario", QMetaType::QString, 5, "FUNCIONARIO"},
    {"Nome_Func", QMetaType::QString, 80, "NOME_FUNC"},
    {"Peso", QMetaType::Double, 0, "PESO"},
    {"Cor", QMetaType::QString, 10, "COR"},
    {"DescCor", QMetaType::QString, 50, "DESCCOR"},
    {"Variante", QMetaType::QString, 4, "VARIANTE"},
    {"Desc_Variante", QMetaType::QString, 50, "DESC_VARIANTE"},
    {"Obs", QMetaType::QString, 50, "OBS"},
    {"CodCli", QMetaType::QString, 5, "CODCLI"},
    {"NomeCli", QMetaType::QString, 80, "NOMECLI"},
    {"Tipo_Fal", QMetaType::QString, 1, "TIPO_FAL"},
    {"Estampa", QMetaType::QString, 10, "ESTAMPA"},
    {"Var_Est", QMetaType::QString, 4, "VAR_EST"},
    {"Produto", QMetaType::QString, 15, "PRODUTO"},
    {"Desc_Prod", QMetaType::QString, 100, "DESCRICAO"},
    {"Nr_Cilind", QMetaType::Int, 0, "NR_CILIND"},
    {"Grupo_Fase", QMetaType::QString, 3, "GRUPO_FASE"},
    {"Desc_Grupo_Fase", QMetaType::QString, 50, "DESC_GRUPO_FASE"},
    {"Metragem", QMetaType::Double, 0, "METRAGEM"},
    {"Satus", QMetaType::QString, 1, "CONCLUIDO"},
    {"Rolo", QMetaType::Int, 0, "ROLO"},
    {"Fluxo", QMetaType::QString, 6, "FLUXO"},
    {"Desc_Fluxo", QMetaType::QString, 150, "DESC_FLUXO"},
    {"Lote", QMetaType::QString, 25, "LOTE"},
    {"Unidade", QMetaType::QString, 4, "UNIDADE"},
};

QString TextoDaCaixa(const QWidget* caixa) {
    const auto* texto = qobject_cast<const QLineEdit*>(caixa);
    return texto ? texto->text().trimmed() : QString();
}

// The chart: a bar set per shift (and "Total") over the days, each bar with its weight written on it.
void MontaGrafico(QChart& grafico, const QList<PesoTurnoDia>& linhas, const QHash<QString, QString>& turnos) {
    grafico.removeAllSeries();
    grafico.setTitle(QStringLiteral("Produção por Turno e Dia (kg)"));
    QStringList dias;
    QHash<QDate, int> coluna;
    QList<QDate> datas;
    for (const PesoTurnoDia& l : linhas)
        if (!coluna.contains(l.data)) {
            coluna.insert(l.data, 0);
            datas << l.data;
        }
    std::sort(datas.begin(), datas.end());
    for (int i = 0; i < datas.size(); ++i) {
        coluna[datas[i]] = i;
        dias << DiaSemana(datas[i]).left(3) + QLatin1Char('-') + datas[i].toString(QStringLiteral("dd/MM"));
    }
    auto* barras = new QBarSeries(&grafico);
    QHash<QString, QBarSet*> conjuntos;
    double maior = 0;
    for (const PesoTurnoDia& l : linhas) {
        QBarSet*& conjunto = conjuntos[l.turno];
        if (!conjunto) {
            const QString descricao = turnos.value(l.turno);
            conjunto =
                new QBarSet(descricao.isEmpty() ? l.turno : l.turno + QStringLiteral(" - ") + descricao);
            for (int i = 0; i < datas.size(); ++i)
                conjunto->append(0);
            barras->append(conjunto);
        }
        conjunto->replace(coluna.value(l.data), l.peso);
        maior = std::max(maior, l.peso);
    }
    barras->setLabelsVisible(true);
    barras->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    barras->setLabelsFormat(QStringLiteral("@value"));
    grafico.addSeries(barras);
    // The chart's own axes, made once: an axis removed would stay drawn until the event loop deletes it.
    auto* eixoDias = qobject_cast<QBarCategoryAxis*>(grafico.axes(Qt::Horizontal).value(0));
    if (!eixoDias) {
        eixoDias = new QBarCategoryAxis(&grafico);
        grafico.addAxis(eixoDias, Qt::AlignBottom);
    }
    eixoDias->clear();
    eixoDias->append(dias);
    barras->attachAxis(eixoDias);
    auto* eixoPeso = qobject_cast<QValueAxis*>(grafico.axes(Qt::Vertical).value(0));
    if (!eixoPeso) {
        eixoPeso = new QValueAxis(&grafico);
        eixoPeso->setTitleText(QStringLiteral("Peso (kg)"));
        eixoPeso->setLabelFormat(QStringLiteral("%.0f"));
        grafico.addAxis(eixoPeso, Qt::AlignLeft);
    }
    eixoPeso->setRange(0, maior > 0 ? maior * 1.15 : 1); // room for the labels over the tallest bar
    eixoPeso->applyNiceNumbers();
    barras->attachAxis(eixoPeso);
    grafico.legend()->setAlignment(Qt::AlignBottom);
}

// The chart laid out at a screen-like size and scaled into the page, so its fonts keep their proportions.
void DesenhaGrafico(QPainter& pintor, const QRectF& area, const QList<PesoTurnoDia>& linhas,
                    const QHash<QString, QString>& turnos) {
    if (area.width() <= 0 || area.height() <= 0)
        return;
    const QSizeF logico(1000, 1000 * area.height() / area.width());
    QGraphicsScene cena;
    auto* grafico = new QChart;
    cena.addItem(grafico);
    MontaGrafico(*grafico, linhas, turnos);
    grafico->setGeometry(QRectF(QPointF(0, 0), logico));
    grafico->layout()->activate();
    cena.render(&pintor, area, QRectF(QPointF(0, 0), logico), Qt::KeepAspectRatio);
}

QList<PesoTurnoDia> LinhasDoGrafico(const TDataSet& tb) {
    QList<PesoTurnoDia> linhas;
    const int turno = tb.IndiceExistente(QStringLiteral("Turno")),
              data = tb.IndiceExistente(QStringLiteral("Data")),
              peso = tb.IndiceExistente(QStringLiteral("Peso")),
              dia = tb.IndiceExistente(QStringLiteral("Dia"));
    for (int i = 0; i < tb.RecordCount(); ++i)
        linhas.append({tb.ValueAt(i, turno).toString(), tb.ValueAt(i, data).toDate(),
                       tb.ValueAt(i, peso).toDouble(), tb.ValueAt(i, dia).toString()});
    return linhas;
}
} // namespace

QString InstrucaoProducao() {
    return QStringLiteral(
        "SELECT PROC.FAL, PROC.PARTIDA, PROC.FASE, PROC.GRAFICO, PROC.DATA_INI, PROC.DATA_FIN, "
        "PROC.HORA_INI, "
        "PROC.HORA_FIN, PROC.ORDEM, PROC.MAQUINA, PROC.TURNO, PROC.DATA, PROC.FUNCIONARIO, PROC.OBS, "
        "PROC.CONCLUIDO, PROC.METRAGEM, FASE.DESCRICAO AS DESCFASE, GRAFICO.DESCRICAO AS DESCGRAFICO, "
        "MAQ_TIN.DESCRICAO AS DESCMAQ, GRAFICO.TEMPO AS TEMPOGRAFICO, FAL.COR, FAL.VARIANTE, "
        "VARIANTE.DESCRICAO AS DESC_VARIANTE, CADCORTIN.DESCRICAO AS DESCCOR, TURNO.NOTURNO, "
        "PESSOAL.NOME AS NOME_FUNC, FAL_ORIG.COR AS COR_ORIG, FAL.CLIENTE AS CODCLI, ENTIDADE.NOME AS "
        "NOMECLI, "
        "FAL.ESTAMPA, FAL.VAR_EST, FAL.TIPO AS TIPO_FAL, FASE.GRUPO AS GRUPO_FASE, "
        "GFASE.DESCRICAO AS DESC_GRUPO_FASE, (SELECT COUNT(*) FROM {EST_QUADRO} EQ WHERE EQ.ESTAMPA = "
        "FAL.ESTAMPA AND EQ.VARIANTE = FAL.VAR_EST) AS NR_CILIND, PROC.CODIGO AS PRODUTO, PRODUTO.DESCRICAO, "
        "FAL_ITEN.PESO, FAL_ITEN.ROLO, FAL_ITEN.FLUXO, (SELECT FIRST 1 R.DESCRICAO FROM {ROTEIRO} R WHERE "
        "R.CODIGO = FAL_ITEN.FLUXO) AS DESC_FLUXO, FAL_ITEN.LOTE, PRODUTO.UNIDADE "
        "FROM {PROCESSO_TIN} PROC "
        "LEFT JOIN {FASE} FASE ON (FASE.CODIGO = PROC.FASE) "
        "LEFT JOIN {FASE} GFASE ON (GFASE.CODIGO = FASE.GRUPO) "
        "LEFT JOIN {GRAFICO} GRAFICO ON (GRAFICO.CODIGO = PROC.GRAFICO) "
        "LEFT JOIN {PESSOAL} PESSOAL ON (PESSOAL.CODIGO = PROC.FUNCIONARIO) "
        "LEFT JOIN {FAL} FAL ON (FAL.NUMERO = PROC.FAL) "
        // The item's pieces whose route holds the step's phase: a route naming a phase twice is still one
        // match, so a step is never doubled by its route.
        "LEFT JOIN {FAL_ITEN} FAL_ITEN ON (FAL_ITEN.FAL = PROC.FAL AND FAL_ITEN.CODIGO = PROC.CODIGO AND "
        "EXISTS (SELECT 1 FROM {ROTEIRO} ROTEIRO WHERE ROTEIRO.CODIGO = FAL_ITEN.FLUXO AND ROTEIRO.FASE = "
        "PROC.FASE)) "
        "LEFT JOIN {PRODUTO} PRODUTO ON (PRODUTO.CODIGO = PROC.CODIGO) "
        "LEFT JOIN {CADCORTIN} CADCORTIN ON (CADCORTIN.CODIGO = FAL.COR) "
        "LEFT JOIN {MAQ_TIN} MAQ_TIN ON (MAQ_TIN.CODIGO = PROC.MAQUINA) "
        "LEFT JOIN {TURNO} TURNO ON (TURNO.TURNO = PROC.TURNO) "
        "LEFT JOIN {FAL} FAL_ORIG ON (FAL_ORIG.NUMERO = FAL.NUM_REPROC) "
        "LEFT JOIN {ENTIDADE} ENTIDADE ON (ENTIDADE.CODCLI = FAL.CLIENTE) "
        "LEFT JOIN {CADCEP} CADCEP ON (CADCEP.CEP = ENTIDADE.CEP) "
        "LEFT JOIN {CIDADE} CIDADE ON (CIDADE.COD_CID = CADCEP.COD_CID) "
        "LEFT JOIN {VARIANTE} VARIANTE ON (VARIANTE.CODIGO = FAL.VARIANTE) "
        "WHERE PROC.CONCLUIDO <> 'N' /*FILTROS*/ ORDER BY /*ORDEM*/");
}

TFmRelTngMov::TFmRelTngMov(QWidget* parent)
    : TFmRelatorio(parent), TbGrafico(new TClientDataSet(this)), Grafico(new QChartView(new QChart)) {
    setObjectName(QStringLiteral("FmRelTngMov"));
    setWindowTitle(QStringLiteral("Relatório de Produção"));
    resize(1100, 700);
    Resultado()->setObjectName(QStringLiteral("TbRel"));
    TbGrafico->setObjectName(QStringLiteral("TbGrafico"));
    TbGrafico->AddField(QStringLiteral("Turno"), QMetaType::QString, 5)
        .AddField(QStringLiteral("Data"), QMetaType::QDate)
        .AddField(QStringLiteral("Peso"), QMetaType::Double)
        .AddField(QStringLiteral("Dia"), QMetaType::QString, 10);
    TbGrafico->CreateDataSet();
    QWidget* pagina = AdicionaPagina(QStringLiteral("Gráfico"));
    auto* gerar = new QPushButton(QStringLiteral("&Gerar"), pagina);
    gerar->setObjectName(QStringLiteral("BtGerar"));
    auto* imprimir = new QPushButton(QStringLiteral("I&mprimir Gráfico"), pagina);
    imprimir->setObjectName(QStringLiteral("BtImpGrafico"));
    Grafico->setParent(pagina);
    Grafico->setObjectName(QStringLiteral("Chart1"));
    Grafico->setRenderHint(QPainter::Antialiasing);
    auto* botoes = new QHBoxLayout;
    botoes->addWidget(gerar);
    botoes->addWidget(imprimir);
    botoes->addStretch();
    auto* layout = new QVBoxLayout(pagina);
    layout->addLayout(botoes);
    layout->addWidget(Grafico, 1);
    connect(gerar, &QPushButton::clicked, this, Protegido([this] { BtGerarClick(); }));
    connect(imprimir, &QPushButton::clicked, this, Protegido([this] { BtImpGraficoClick(); }));
    PublicaInstancia(FmRelTngMov);
}

void TFmRelTngMov::FormCreate() {
    using T = FiltroRelatorio::Tipo;
    FiltroRelatorio turnos =
        FiltroLista("EdtCodTur", "Turno", "PROC.TURNO", "TURNO", "Turno não cadastrado.");
    turnos.chave = QStringLiteral("TURNO");
    FiltroRelatorio clientes =
        FiltroLista("EdtCodCli", "Cliente", "FAL.CLIENTE", "ENTIDADE", "Cliente não cadastrado.");
    clientes.chave = QStringLiteral("CODCLI");
    clientes.descricao = QStringLiteral("NOME");
    FiltroRelatorio funcionarios =
        FiltroLista("EdtCodFun", "Funcionário", "PROC.FUNCIONARIO", "PESSOAL", "Funcionário não cadastrado.");
    funcionarios.descricao = QStringLiteral("NOME");
    FiltroRelatorio roteiros =
        FiltroLista("EdtCodRoteiro", "Roteiro", "FAL_ITEN.FLUXO", "ROTEIRO", "Roteiro não cadastrado.");
    roteiros.distintos = true;
    QStringList ordens, textos;
    for (const Ordem& o : kOrdens) {
        ordens << QString::fromUtf8(o.legenda);
        textos << QLatin1String(o.sql);
    }
    rel.filtros = {
        {.tipo = T::Periodo, .nome = "EdtData", .legenda = "Período de Conclusão", .coluna = "PROC.DATA_FIN"},
        {.tipo = T::Periodo, .nome = "DtApont", .legenda = "Período de Movimentação", .coluna = "PROC.DATA"},
        {.tipo = T::Hora, .nome = "EdtHora", .legenda = "Horário de Conclusão do Processo"},
        {.tipo = T::Intervalo, .nome = "EdtEst", .legenda = "Estampa", .coluna = "FAL.ESTAMPA"},
        funcionarios,
        FiltroLista("EdtCodMaq", "Máquina", "PROC.MAQUINA", "MAQ_TIN", "Máquina não cadastrada."),
        FiltroLista("EdtCodGra", "Gráfico", "PROC.GRAFICO", "GRAFICO", "Gráfico não cadastrado."),
        turnos,
        FiltroLista("EdtCodCor", "Cor", "FAL.COR", "CADCORTIN", "Cor não cadastrada."),
        FiltroLista("EdtVariante", "Variante", "FAL.VARIANTE", "VARIANTE", "Variante não cadastrada."),
        clientes,
        {.tipo = T::Texto, .nome = "EdtObs", .legenda = "Obs.", .coluna = "PROC.OBS"},
        FiltroLista("EdtCodSet", "Fase", "PROC.FASE", "FASE", "Fase não cadastrada."),
        {.tipo = T::Escolha, .nome = "CbUf", .legenda = "UF", .coluna = "CIDADE.COD_EST", .opcoes = kUfs},
        FiltroLista("EdtGrupoFase", "Grupo Fase", "FASE.GRUPO", "FASE", "Grupo de fase não cadastrado."),
        {.tipo = T::Codigo,
         .nome = "edtFal",
         .legenda = "FAL",
         .coluna = "PROC.FAL",
         .tabela = "FAL",
         .chave = "NUMERO",
         .descricao = "PARTIDA",
         .recusa = "FAL não cadastrada."},
        roteiros,
        {.tipo = T::Opcao,
         .nome = "RgTipo",
         .legenda = "Tipo",
         .opcoes = {"Todas", "Normal", "Reprocesso"},
         .textos = {"", " AND FAL_ORIG.COR IS NULL", " AND FAL_ORIG.COR IS NOT NULL"}},
        {.tipo = T::Opcao,
         .nome = "RgOrdem",
         .legenda = "Ordem",
         .marcador = "ORDEM",
         .opcoes = ordens,
         .textos = textos},
    };
    rel.sql = InstrucaoProducao();
    rel.camposPivo = [](TClientDataSet& r) {
        for (const Copiado& c : kCopiados)
            r.AddField(QLatin1String(c.campo), c.tipo, c.tamanho);
        for (const char* tempo : {"TempoProc", "Tempo", "TempoParado"})
            r.AddField(QLatin1String(tempo), QMetaType::QString, 10);
        for (const char* parte : {"Hora", "Minuto", "Segundo"})
            r.AddField(QLatin1String(parte), QMetaType::Int);
    };
    rel.pivo = [this](TDataSet& linhas, TClientDataSet& r) { Pivo(linhas, r); };
    rel.colunas = {{"FAL", "FAL"},
                   {"Partida", "Partida"},
                   {"Fase", "Fase"},
                   ColunaGrade("DescFase", "Descrição da fase").Largura(16),
                   {"Maquina", "Máquina"},
                   {"Turno", "Turno"},
                   {"Data_ini", "Início"},
                   {"Hora_ini", "Hora início"},
                   {"Data_Fim", "Conclusão"},
                   {"Hora_Fim", "Hora conclusão"},
                   {"TempoProc", "Tempo proc."},
                   {"TempoParado", "Tempo parado"},
                   {"Grafico", "Gráfico"},
                   {"TempoGrafico", "Tempo gráfico"},
                   ColunaGrade("Peso", "Peso (kg)").Casas(2),
                   {"Rolo", "Rolos"},
                   ColunaGrade("Metragem", "Metragem (m)").Casas(2),
                   {"Cor", "Cor"},
                   {"Variante", "Var."},
                   {"Produto", "Produto"},
                   {"CodCli", "Cliente"},
                   ColunaGrade("NomeCli", "Nome do cliente").Largura(20),
                   {"Funcionario", "Funcionário"},
                   ColunaGrade("Nome_Func", "Nome do funcionário").Largura(16),
                   {"Estampa", "Estampa"},
                   {"Grupo_Fase", "Grupo"},
                   {"Fluxo", "Roteiro"},
                   {"Lote", "Lote"},
                   {"Satus", "Situação"},
                   ColunaGrade("Obs", "Obs.").Largura(20).Estica()};
    rel.relatorio = QStringLiteral("WTngMov");
    rel.texto = true;
    AbreRelatorio();
    auto* grade = qobject_cast<QAbstractItemView*>(Controle(QStringLiteral("DBGrid1")));
    AcaoMenuGrade(grade, "CalcularTempoParado1", QStringLiteral("Calcular Tempo Parado"),
                  [this] { CalcularTempoParado1Click(); });
}

// An hour needs the date of its side: alone it bounds nothing.
bool TFmRelTngMov::ValidaFiltros() {
    for (const char* lado : {"Ini", "Fim"}) {
        QWidget* hora = Controle(QStringLiteral("EdtHora") + QLatin1String(lado));
        if (LeHora(TextoDaCaixa(hora)).isValid() &&
            !LeData(TextoDaCaixa(Controle(QStringLiteral("EdtData") + QLatin1String(lado)))).isValid()) {
            Recusa(hora, QStringLiteral("Informe a data de conclusão do horário."));
            return false;
        }
    }
    return true;
}

// The completions in the window asked, a row per step (an item's pieces summed), each with its processing
// time and its curve's time as a duration.
void TFmRelTngMov::Pivo(TDataSet& linhas, TClientDataSet& r) {
    const JanelaConclusao janela = MontaJanela(LeData(TextoDaCaixa(Controle(QStringLiteral("EdtDataIni")))),
                                               TextoDaCaixa(Controle(QStringLiteral("EdtHoraIni"))),
                                               LeData(TextoDaCaixa(Controle(QStringLiteral("EdtDataFim")))),
                                               TextoDaCaixa(Controle(QStringLiteral("EdtHoraFim"))));
    QList<std::pair<int, int>> copiados;
    for (const Copiado& c : kCopiados)
        copiados.append(
            {linhas.IndiceExistente(QLatin1String(c.coluna)), r.IndiceExistente(QLatin1String(c.campo))});
    const auto de = [&](const char* coluna) { return linhas.IndiceExistente(QLatin1String(coluna)); };
    const auto para = [&](const char* campo) { return r.IndiceExistente(QLatin1String(campo)); };
    const int fal = de("FAL"), produto = de("PRODUTO"), fase = de("FASE"), dataIni = de("DATA_INI"),
              horaIni = de("HORA_INI"), dataFim = de("DATA_FIN"), horaFim = de("HORA_FIN"), peso = de("PESO"),
              rolo = de("ROLO"), tempoGrafico = de("TEMPOGRAFICO");
    const int rPeso = para("Peso"), rRolo = para("Rolo"), rProc = para("TempoProc"), rTempo = para("Tempo"),
              rHora = para("Hora"), rMinuto = para("Minuto"), rSegundo = para("Segundo"),
              rHoraIni = para("Hora_ini"), rHoraFim = para("Hora_Fim");
    QHash<QString, int> passos; // a step's row by FAL, product and phase
    for (int i = 0; i < linhas.RecordCount(); ++i) {
        const QString horaFin = linhas.ValueAt(i, horaFim).toString();
        if (!janela.Contem(Momento(linhas.ValueAt(i, dataFim).toDate(), horaFin)))
            continue;
        const QString chave = linhas.ValueAt(i, fal).toString() + QLatin1Char('|') +
                              linhas.ValueAt(i, produto).toString() + QLatin1Char('|') +
                              linhas.ValueAt(i, fase).toString();
        if (const auto it = passos.constFind(chave); it != passos.cend()) {
            r.SetValueAt(*it, rPeso, r.ValueAt(*it, rPeso).toDouble() + linhas.ValueAt(i, peso).toDouble());
            r.SetValueAt(*it, rRolo, r.ValueAt(*it, rRolo).toInt() + linhas.ValueAt(i, rolo).toInt());
            continue;
        }
        const QString horaInicio = linhas.ValueAt(i, horaIni).toString();
        const TempoProcesso tempo = TempoDeProcesso(linhas.ValueAt(i, dataIni).toDate(), horaInicio,
                                                    linhas.ValueAt(i, dataFim).toDate(), horaFin);
        const QTime inicio = LeHora(horaInicio), fim = LeHora(horaFin);
        const QString curva = linhas.ValueAt(i, tempoGrafico).toString().trimmed();
        r.Append();
        for (const auto& [origem, destino] : std::as_const(copiados))
            r.Fields(destino).SetValue(linhas.ValueAt(i, origem));
        if (inicio.isValid())
            r.Fields(rHoraIni).SetValue(inicio.toString(QStringLiteral("HH:mm:ss")));
        if (fim.isValid())
            r.Fields(rHoraFim).SetValue(fim.toString(QStringLiteral("HH:mm:ss")));
        r.Fields(rProc).SetValue(tempo.texto);
        r.Fields(rHora).SetValue(tempo.hora);
        r.Fields(rMinuto).SetValue(tempo.minuto);
        r.Fields(rSegundo).SetValue(tempo.segundo);
        if (MinutosDoTempo(curva) >= 0)
            r.Fields(rTempo).SetValue(TempoDosMinutos(MinutosDoTempo(curva)) + QStringLiteral(":00"));
        r.Post();
        passos.insert(chave, r.RecordCount() - 1);
    }
}

void TFmRelTngMov::PreparaImpressao(TRelatorio& relatorio) {
    const int ordem = Opcao(QStringLiteral("RgOrdem"));
    if (ordem >= 0 && ordem < int(std::size(kOrdens)) && *kOrdens[ordem].grupo)
        relatorio.AgrupaPor(QLatin1String(kOrdens[ordem].grupo));
}

void TFmRelTngMov::CalcularTempoParado1Click() {
    TClientDataSet& tb = *Resultado();
    const int maquina = tb.IndiceExistente(QStringLiteral("Maquina")),
              fal = tb.IndiceExistente(QStringLiteral("FAL")),
              dataIni = tb.IndiceExistente(QStringLiteral("Data_ini")),
              horaIni = tb.IndiceExistente(QStringLiteral("Hora_ini")),
              dataFim = tb.IndiceExistente(QStringLiteral("Data_Fim")),
              horaFim = tb.IndiceExistente(QStringLiteral("Hora_Fim")),
              parado = tb.IndiceExistente(QStringLiteral("TempoParado"));
    QList<PassoMaquina> passos;
    passos.reserve(tb.RecordCount());
    for (int i = 0; i < tb.RecordCount(); ++i)
        passos.append({tb.ValueAt(i, maquina).toString().trimmed(), tb.ValueAt(i, fal).toString(),
                       Momento(tb.ValueAt(i, dataIni).toDate(), tb.ValueAt(i, horaIni).toString()),
                       Momento(tb.ValueAt(i, dataFim).toDate(), tb.ValueAt(i, horaFim).toString())});
    QVariantList tempos;
    tempos.reserve(passos.size());
    for (const QString& tempo : TemposParados(passos))
        tempos << (tempo.isEmpty() ? QVariant() : QVariant(tempo));
    tb.PreencheColuna(parado, tempos);
}

void TFmRelTngMov::BtGerarClick() {
    const TDataSet& tb = *Resultado();
    QList<ProducaoTurno> producao;
    const int turno = tb.FieldIndex(QStringLiteral("Turno")),
              data = tb.FieldIndex(QStringLiteral("Data_Fim")), peso = tb.FieldIndex(QStringLiteral("Peso"));
    if (turno >= 0)
        for (int i = 0; i < tb.RecordCount(); ++i)
            producao.append({tb.ValueAt(i, turno).toString(), tb.ValueAt(i, data).toDate(),
                             tb.ValueAt(i, peso).toDouble()});
    const QList<PesoTurnoDia> grafico = DobraGrafico(producao);
    m_turnos.clear();
    TZoQuery descricoes;
    descricoes.SQL << DBLocal_SQL(QStringLiteral("SELECT TURNO, DESCRICAO FROM {TURNO}"));
    descricoes.Open();
    for (int i = 0; i < descricoes.RecordCount(); ++i)
        m_turnos.insert(descricoes.ValueAt(i, 0).toString().trimmed(),
                        descricoes.ValueAt(i, 1).toString().trimmed());
    {
        ControlesDesligados quieto(*TbGrafico);
        TbGrafico->EmptyDataSet();
        for (const PesoTurnoDia& l : grafico) {
            TbGrafico->Append();
            TbGrafico->Fields(0).SetValue(l.turno);
            TbGrafico->Fields(1).SetValue(l.data);
            TbGrafico->Fields(2).SetValue(l.peso);
            TbGrafico->Fields(3).SetValue(l.dia);
            TbGrafico->Post();
        }
        TbGrafico->First();
    }
    MontaGrafico(*Grafico->chart(), grafico, m_turnos);
}

void TFmRelTngMov::BtImpGraficoClick() {
    if (TbGrafico->IsEmpty())
        BtGerarClick();
    const QList<PesoTurnoDia> linhas = LinhasDoGrafico(*TbGrafico);
    if (linhas.isEmpty())
        return;
    TRelatorio relatorio(QStringLiteral("WTngMovGrafico"), QStringLiteral("Produção por Turno e Dia"),
                         nullptr);
    relatorio.AdicionaCabecalho(
        QStringLiteral("Período"),
        QStringLiteral("%1 até %2")
            .arg(TextoExibicao(std::min_element(linhas.cbegin(), linhas.cend(),
                                                [](const auto& a, const auto& b) { return a.data < b.data; })
                                   ->data),
                 TextoExibicao(
                     std::max_element(linhas.cbegin(), linhas.cend(), [](const auto& a, const auto& b) {
                         return a.data < b.data;
                     })->data)));
    relatorio.DefineDesenho([linhas, turnos = m_turnos](QPainter& pintor, const QRectF& area) {
        DesenhaGrafico(pintor, area, linhas, turnos);
    });
    Chama_Relatorio(relatorio, this, QStringLiteral("W"));
}

// What a step is, when and how long, in 132 text columns; the order's group heads name the rest.
void LayoutProducao(TRelatorio& relatorio) {
    QList<ColunaRelatorio> colunas;
    for (const auto& [campo, titulo, casas, soma] : {std::tuple{"FAL", "FAL", -1, false},
                                                     {"Partida", "Partida", -1, false},
                                                     {"Fase", "Fase", -1, false},
                                                     {"Maquina", "Máq.", -1, false},
                                                     {"Turno", "Tur.", -1, false},
                                                     {"Data_ini", "Início", -1, false},
                                                     {"Hora_ini", "Hora", -1, false},
                                                     {"Data_Fim", "Conclusão", -1, false},
                                                     {"Hora_Fim", "Hora", -1, false},
                                                     {"TempoProc", "Tempo", -1, false},
                                                     {"TempoParado", "Parado", -1, false},
                                                     {"Produto", "Produto", -1, false},
                                                     {"CodCli", "Cliente", -1, false},
                                                     {"Rolo", "Rolos", -1, true},
                                                     {"Metragem", "Metros", 2, true},
                                                     {"Peso", "Peso (kg)", 2, true}})
        colunas << relatorio.Coluna(QLatin1String(campo), QString::fromUtf8(titulo), casas, soma);
    relatorio.DefineColunas(colunas);
}
