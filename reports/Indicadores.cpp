#include "Indicadores.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "HostUi.h"
#include "ModuleUnits.h"
#include "Protecao.h"
#include "Relatorio.h"
#include "TClientDataSet.h"
#include "TZoQuery.h"
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDialog>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLineSeries>
#include <QPainter>
#include <QSet>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

TFmIndicadores* FmIndicadores = nullptr;

namespace {
const char* const kIdLotes = "WTngIndLotes";

// The figures' rows as printed: the group, its counts and weights summed, the rates read from them.
void LayoutIndicador(TRelatorio& r, const char* contados) {
    r.DefineColunas({r.Coluna("Grupo", "Grupo"), r.Coluna("Lotes", "Lotes", 0, true),
                     r.Coluna("Contados", QString::fromUtf8(contados), 0, true),
                     r.Coluna("Taxa", "% lotes", 1), r.Coluna("Peso", "Peso (kg)", 2, true),
                     r.Coluna("PesoContado", "Peso contado (kg)", 2, true),
                     r.Coluna("TaxaPeso", "% peso", 1)});
}
void LayoutPrimeira(TRelatorio& r) {
    LayoutIndicador(r, "Certos");
}
void LayoutReprocessos(TRelatorio& r) {
    LayoutIndicador(r, "Reprocessados");
}
void LayoutUso(TRelatorio& r) {
    r.DefineColunas({r.Coluna("Maquina", "Máquina"), r.Coluna("Dia", "Dia"),
                     r.Coluna("Processando", "Processando (min)", 0, true),
                     r.Coluna("NoTurno", "Nos turnos (min)", 0, true),
                     r.Coluna("Disponivel", "Disponível (min)", 0, true),
                     r.Coluna("Ocioso", "Ocioso (min)", 0, true), r.Coluna("Uso", "% uso", 1)});
}
void LayoutPrazo(TRelatorio& r) {
    r.DefineColunas({r.Coluna("Cliente", "Cliente"), r.Coluna("Lotes", "Lotes", 0, true),
                     r.Coluna("MedInicio", "Início: mediana", 0), r.Coluna("P90Inicio", "P90", 0),
                     r.Coluna("MedFim", "Fim: mediana", 0), r.Coluna("P90Fim", "P90", 0),
                     r.Coluna("MedExpedicao", "Expedição: mediana", 0), r.Coluna("P90Expedicao", "P90", 0)});
}
void LayoutLotes(TRelatorio& r) {
    r.DefineColunas({r.Coluna("FAL", "FAL"), r.Coluna("Cliente", "Cliente"), r.Coluna("Cor", "Cor"),
                     r.Coluna("Receita", "Receita"), r.Coluna("Maquina", "Máq."),
                     r.Coluna("Peso", "Peso (kg)", 2, true), r.Coluna("Entrada", "Entrada"),
                     r.Coluna("Fim", "Fim"), r.Coluna("Expedicao", "Expedição"),
                     r.Coluna("Reprocessos", "Reproc.", 0, true), r.Coluna("PrimeiraVez", "1ª vez")});
}
} // namespace

KELM_SCREEN_UNIT(Indicadores, TFmIndicadores,
                 {{QString::fromLatin1(kIdLotes), LayoutLotes},
                  {QStringLiteral("WTngIndPrimeira"), LayoutPrimeira},
                  {QStringLiteral("WTngIndReprocessos"), LayoutReprocessos},
                  {QStringLiteral("WTngIndUso"), LayoutUso},
                  {QStringLiteral("WTngIndPrazo"), LayoutPrazo}});

namespace {
struct Campo {
    const char* nome;
    QMetaType::Type tipo;
    int tamanho = 0;
    const char* legenda = ""; // the grid's and the print's header; blank: the name
    int casas = -1;           // a figure of its group (a rate, a median): shown with these decimals, "—"
                              // where it cannot be computed, never summed
};

// A figure as its field holds it: nothing where the group has none.
QVariant Figura(const std::optional<double>& valor) {
    return valor ? QVariant(*valor) : QVariant();
}

// A list beneath a page's grid carries its title and captions itself: its grid and its print section read
// them there.
const char* const kTituloSecao = "titulo";

TClientDataSet* Conjunto(QObject* dono, const char* nome, std::initializer_list<Campo> campos,
                         const char* titulo = "") {
    auto* d = new TClientDataSet(dono);
    d->setObjectName(QLatin1String(nome));
    d->setProperty(kTituloSecao, QString::fromUtf8(titulo));
    for (const Campo& c : campos)
        d->AddField(QLatin1String(c.nome), c.tipo, c.tamanho);
    d->CreateDataSet();
    for (const Campo& c : campos) {
        FieldDef& def = d->FieldDefByName(QLatin1String(c.nome));
        def.displayLabel = QString::fromUtf8(c.legenda);
        if (c.casas >= 0) {
            def.decimals = c.casas;
            def.nullText = QStringLiteral("—");
        }
    }
    return d;
}

void Linha(TClientDataSet& d, const QVariantList& valores) {
    d.Append();
    for (int i = 0; i < valores.size(); ++i)
        d.Fields(i).SetValue(valores[i]);
    d.Post();
}

// A double click on a bar or a point gives `abre` its category's index.
void MontaGrafico(QChart& grafico, const GraficoIndicador& d, const std::function<void(int)>& abre = {}) {
    grafico.removeAllSeries();
    for (QAbstractAxis* eixo : grafico.axes())
        grafico.removeAxis(eixo);
    grafico.setTitle(d.titulo);
    auto* categorias = new QBarCategoryAxis(&grafico);
    categorias->append(d.categorias.isEmpty() ? QStringList{QString()} : d.categorias);
    // Past a dozen groups the names stand upright and the bars carry no figures, or all is elided.
    const bool muitos = d.categorias.size() > 12;
    if (muitos)
        categorias->setLabelsAngle(-90);
    grafico.addAxis(categorias, Qt::AlignBottom);
    auto* valores = new QValueAxis(&grafico);
    valores->setTitleText(d.eixo);
    valores->setLabelFormat(QStringLiteral("%.0f"));
    grafico.addAxis(valores, Qt::AlignLeft);
    double maior = 0;
    for (const auto& [nome, pontos] : d.series)
        for (double v : pontos)
            maior = std::max(maior, v);
    valores->setRange(0, maior > 0 ? maior * 1.15 : 1);
    valores->applyNiceNumbers();
    if (d.linha) {
        for (const auto& [nome, pontos] : d.series) {
            auto* serie = new QLineSeries(&grafico);
            serie->setName(nome);
            serie->setPointsVisible(true);
            for (int i = 0; i < pontos.size(); ++i)
                serie->append(i, pontos[i]);
            grafico.addSeries(serie);
            serie->attachAxis(valores);
            if (abre)
                QObject::connect(serie, &QLineSeries::doubleClicked, serie,
                                 Protegido([abre](const QPointF& ponto) { abre(qRound(ponto.x())); }));
            auto* x = new QValueAxis(&grafico);
            x->setRange(-0.5, std::max<double>(0.5, double(pontos.size()) - 0.5));
            x->setVisible(false);
            grafico.addAxis(x, Qt::AlignTop);
            serie->attachAxis(x);
        }
    } else {
        auto* barras = new QBarSeries(&grafico);
        for (const auto& [nome, pontos] : d.series) {
            auto* conjunto = new QBarSet(nome);
            for (double v : pontos)
                conjunto->append(v);
            barras->append(conjunto);
            if (abre)
                QObject::connect(conjunto, &QBarSet::doubleClicked, conjunto,
                                 Protegido([abre](int indice) { abre(indice); }));
        }
        barras->setLabelsVisible(!muitos);
        barras->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
        barras->setLabelsFormat(QStringLiteral("@value"));
        grafico.addSeries(barras);
        barras->attachAxis(categorias);
        barras->attachAxis(valores);
    }
    grafico.legend()->setAlignment(Qt::AlignBottom);
}

// Laid out at a screen-like size and scaled into the page: a vector drawing in a PDF.
void DesenhaGrafico(QPainter& pintor, const QRectF& area, const GraficoIndicador& d) {
    if (area.width() <= 0 || area.height() <= 0)
        return;
    const QSizeF logico(1000, 1000 * area.height() / area.width());
    QGraphicsScene cena;
    auto* grafico = new QChart;
    cena.addItem(grafico);
    MontaGrafico(*grafico, d);
    grafico->setGeometry(QRectF(QPointF(0, 0), logico));
    grafico->layout()->activate();
    cena.render(&pintor, area, QRectF(QPointF(0, 0), logico), Qt::KeepAspectRatio);
}

QString Texto(const QWidget* caixa) {
    const auto* t = qobject_cast<const QLineEdit*>(caixa);
    return t ? t->text().trimmed() : QString();
}

QStringList NumerosDaLinha(const TDataSet& d, int linha) {
    return d.ValueAt(linha, d.FieldIndex(QStringLiteral("Numeros")))
        .toString()
        .split(QLatin1Char(','), Qt::SkipEmptyParts);
}

QVariant DataOuNada(const QDate& d) {
    return d.isValid() ? QVariant(d) : QVariant();
}

// The figures' statements read only codes and dates; the texts of the boxes go in through CondicaoIn.
const char* const kPassos =
    "SELECT P.MAQUINA, P.FAL, P.DATA_INI, P.HORA_INI, P.DATA_FIN, P.HORA_FIN FROM {PROCESSO_TIN} P "
    "JOIN {FAL} F ON (F.NUMERO = P.FAL) WHERE P.CONCLUIDO <> 'N' AND P.MAQUINA <> '00' AND P.DATA_FIN >= :DE "
    "AND P.DATA_FIN <= DATEADD(31 DAY TO CAST(:ATE AS DATE)) AND P.DATA_INI <= :ATE";
} // namespace

QString InstrucaoIndicadores() {
    return QStringLiteral(
        "SELECT F.NUMERO, F.NUM_REPROC, F.CLIENTE, F.COR, F.MAQUINA, F.DATA_FIN AS PROMETIDA, "
        "(SELECT MIN(R.CODIGO || '') FROM {RECEITA} R WHERE R.COR = F.COR AND R.VARIANTE = F.VARIANTE) AS "
        "RECEITA, "
        // Who dyed it: the step on the sheet's machine, else the last step concluded.
        "COALESCE((SELECT FIRST 1 P.FUNCIONARIO FROM {PROCESSO_TIN} P WHERE P.FAL = F.NUMERO AND P.CONCLUIDO "
        "<> 'N' AND P.MAQUINA = F.MAQUINA ORDER BY P.DATA_FIN DESC), (SELECT FIRST 1 P.FUNCIONARIO FROM "
        "{PROCESSO_TIN} P WHERE P.FAL = F.NUMERO AND P.CONCLUIDO <> 'N' AND P.MAQUINA <> '00' ORDER BY "
        "P.DATA_FIN DESC)) AS OPERADOR, "
        "(SELECT LIST(I.NOTA || '|' || I.CODIGO || '|' || COALESCE(I.LOTE, ''), ';') FROM {FAL_ITEN} I WHERE "
        "I.FAL = F.NUMERO) AS TECIDO, "
        "(SELECT SUM(I.PESO) FROM {FAL_ITEN} I WHERE I.FAL = F.NUMERO) AS PESO, "
        "(SELECT MIN(N.DATA) FROM {FAL_ITEN} I JOIN {NFTIN} N ON (N.NOTA = I.NOTA AND N.CLIENTE = F.CLIENTE) "
        "WHERE I.FAL = F.NUMERO) AS ENTRADA, "
        "(SELECT MIN(P.DATA_INI) FROM {PROCESSO_TIN} P WHERE P.FAL = F.NUMERO) AS INICIO, "
        "(SELECT MAX(P.DATA_FIN) FROM {PROCESSO_TIN} P WHERE P.FAL = F.NUMERO AND P.MAQUINA IS DISTINCT FROM "
        "'00') AS FIM, "
        "(SELECT MAX(P.DATA_FIN) FROM {PROCESSO_TIN} P WHERE P.FAL = F.NUMERO AND P.MAQUINA = '00') AS "
        "EXPEDICAO, "
        "(SELECT COUNT(*) FROM {PROCESSO_TIN} P WHERE P.FAL = F.NUMERO AND P.CONCLUIDO = 'N') AS ABERTOS, "
        // Blocked now, or at some inspection since released: the quality log keeps it.
        "IIF(EXISTS (SELECT 1 FROM {CONTR_QUL} Q WHERE Q.FAL = F.NUMERO AND Q.APROVADO = 'N') OR EXISTS "
        "(SELECT 1 FROM {LOG} L WHERE L.TITULO = 'CADASTRO DE QUALIDADE' AND L.CHAVE = F.NUMERO AND L.TEXTO "
        "CONTAINING ' STATUS BLOQUEADO'), 'S', 'N') AS BLOQUEADA, "
        "IIF(EXISTS (SELECT 1 FROM {FAL} R WHERE R.NUM_REPROC = F.NUMERO), 'S', 'N') AS REPROCESSADA, "
        "COALESCE((SELECT FIRST 1 Q.OBS FROM {CONTR_QUL} Q WHERE Q.FAL = F.NUMERO AND Q.ORDEM = 0 AND Q.OBS "
        "> "
        "''), IIF(F.NUM_REPROC > '', (SELECT FIRST 1 P.DES_FASE FROM {PROCESSO_TIN} P WHERE P.FAL = F.NUMERO "
        "ORDER BY P.ORDEM), NULL)) AS MOTIVO "
        // The sheets of the steps ended in the period or still open: an index range each, not a probe of
        // every sheet.
        "FROM (SELECT P.FAL FROM {PROCESSO_TIN} P WHERE P.DATA_FIN IS NOT NULL /*PERIODO*/ UNION SELECT "
        "P.FAL "
        "FROM {PROCESSO_TIN} P WHERE P.CONCLUIDO = 'N') S JOIN {FAL} F ON (F.NUMERO = S.FAL) WHERE 1 = 1 "
        "/*FILTROS*/");
}

TFmIndicadores::TFmIndicadores(QWidget* parent) : TFmRelatorio(parent) {
    setObjectName(QStringLiteral("FmIndicadores"));
    setWindowTitle(QStringLiteral("Indicadores da Tinturaria"));
    resize(1100, 720);
    using T = QMetaType::Type;
    const auto figura = [this](const char* nome) {
        return Conjunto(this, nome,
                        {{"Grupo", T::QString, 40},
                         {"Lotes", T::Int},
                         {"Contados", T::Int},
                         {"Taxa", T::Double, 0, "", 1},
                         {"Peso", T::Double},
                         {"PesoContado", T::Double},
                         {"TaxaPeso", T::Double, 0, "", 1},
                         {"Numeros", T::QString}});
    };
    const QList<ColunaGrade> colunasFigura = {ColunaGrade("Grupo", "Grupo").Largura(20),
                                              {"Lotes", "Lotes"},
                                              {"Contados", "Contados"},
                                              {"Taxa", "% lotes"},
                                              ColunaGrade("Peso", "Peso (kg)").Casas(2),
                                              ColunaGrade("PesoContado", "Peso contado (kg)").Casas(2),
                                              {"TaxaPeso", "% peso"}};
    struct Definicao {
        const char* titulo;
        const char* id;
        const char* grade;
        TClientDataSet* dados;
        QList<ColunaGrade> colunas;
        QList<TClientDataSet*> secoes;
    };
    QList<ColunaGrade> primeira = colunasFigura, reprocessos = colunasFigura;
    primeira[2] = ColunaGrade("Contados", "Certos");
    reprocessos[2] = ColunaGrade("Contados", "Reprocessados");
    const QList<Definicao> definicoes = {
        {"Primeira vez certa", "WTngIndPrimeira", "DBGridPrimeira", figura("TbPrimeira"), primeira, {}},
        {"Reprocessos",
         "WTngIndReprocessos",
         "DBGridReprocessos",
         figura("TbReprocessos"),
         reprocessos,
         {Conjunto(this, "TbMotivos",
                   {{"Motivo", T::QString, 60}, {"Lotes", T::Int}, {"Peso", T::Double, 0, "Peso (kg)"}},
                   "Motivos"),
          Conjunto(this, "TbMaisReprocessados",
                   {{"Tipo", T::QString, 10},
                    {"Grupo", T::QString, 40},
                    {"Reprocessados", T::Int},
                    {"Lotes", T::Int},
                    {"PesoReprocessado", T::Double, 0, "Peso reprocessado (kg)"},
                    {"TaxaPeso", T::Double, 0, "% peso", 1}},
                   "Mais reprocessados")}},
        {"Uso das máquinas",
         "WTngIndUso",
         "DBGridUso",
         Conjunto(this, "TbUso",
                  {{"Maquina", T::QString, 5},
                   {"Dia", T::QDate},
                   {"Processando", T::Int},
                   {"NoTurno", T::Int},
                   {"Disponivel", T::Int},
                   {"Ocioso", T::Int},
                   {"Uso", T::Double, 0, "", 1}}),
         {{"Maquina", "Máquina"},
          {"Dia", "Dia"},
          {"Processando", "Processando (min)"},
          {"NoTurno", "Nos turnos (min)"},
          {"Disponivel", "Disponível (min)"},
          {"Ocioso", "Ocioso (min)"},
          {"Uso", "% uso"}},
         {}},
        {"Prazo",
         "WTngIndPrazo",
         "DBGridPrazo",
         Conjunto(this, "TbPrazo",
                  {{"Cliente", T::QString, 5},
                   {"Lotes", T::Int},
                   {"MedInicio", T::Double, 0, "", 0},
                   {"P90Inicio", T::Double, 0, "", 0},
                   {"MedFim", T::Double, 0, "", 0},
                   {"P90Fim", T::Double, 0, "", 0},
                   {"MedExpedicao", T::Double, 0, "", 0},
                   {"P90Expedicao", T::Double, 0, "", 0},
                   {"Numeros", T::QString}}),
         {{"Cliente", "Cliente"},
          {"Lotes", "Lotes"},
          {"MedInicio", "Dias até o início: mediana"},
          {"P90Inicio", "P90"},
          {"MedFim", "Até o fim: mediana"},
          {"P90Fim", "P90"},
          {"MedExpedicao", "Até a expedição: mediana"},
          {"P90Expedicao", "P90"}},
         {Conjunto(this, "TbAtrasados",
                   {{"FAL", T::QString, 7},
                    {"Cliente", T::QString, 5},
                    {"Prometida", T::QDate},
                    {"Expedicao", T::QDate, 0, "Expedição"},
                    {"Dias", T::Int, 0, "Dias de atraso"}},
                   "Lotes atrasados")}},
    };
    for (const Definicao& d : definicoes) {
        QWidget* pagina = AdicionaPagina(QString::fromUtf8(d.titulo));
        auto* layout = new QVBoxLayout(pagina);
        Pagina p{.id = QLatin1String(d.id),
                 .dados = d.dados,
                 .titulo = QString::fromUtf8(d.titulo),
                 .secoes = d.secoes};
        p.grafico = new QChartView(new QChart, pagina);
        p.grafico->setObjectName(
            QString::fromLatin1(d.grade).replace(QLatin1String("DBGrid"), QLatin1String("Grafico")));
        p.grafico->setRenderHint(QPainter::Antialiasing);
        layout->addWidget(p.grafico, 3);
        p.grade = new TZoDBGrid(pagina);
        p.grade->setObjectName(QLatin1String(d.grade));
        p.grade->SetDataSet(d.dados);
        p.grade->SetReadOnly(true);
        p.grade->DeclaraColunas(d.colunas);
        layout->addWidget(p.grade, 2);
        const int indice = m_paginas.size();
        const auto abre = [this, indice] {
            const Pagina& pg = m_paginas[indice];
            const int linha = pg.dados->RecNo();
            if (linha < 0)
                return;
            QStringList numeros;
            if (indice == kUso) {
                const QString maquina = pg.dados->ValueAt(linha, 0).toString();
                const QDate dia = pg.dados->ValueAt(linha, 1).toDate();
                for (const UsoMaquina& u : std::as_const(m_uso))
                    if (u.maquina == maquina && u.dia == dia)
                        numeros = u.fals;
            } else {
                numeros = NumerosDaLinha(*pg.dados, linha);
            }
            AbreLotes(numeros, pg.dados->ValueAt(linha, 0).toString());
        };
        connect(p.grade, &QAbstractItemView::doubleClicked, this, Protegido(abre));
        p.grade->OnKeyDown = [abre](QKeyEvent* tecla) {
            if (tecla->key() != Qt::Key_Return && tecla->key() != Qt::Key_Enter)
                return false;
            abre();
            return true;
        };
        for (TClientDataSet* secao : d.secoes) {
            auto* grade = new TZoDBGrid(pagina);
            grade->setObjectName(QStringLiteral("DBGrid") + secao->objectName().mid(2));
            grade->SetDataSet(secao);
            grade->SetReadOnly(true);
            QList<ColunaGrade> colunas;
            for (const FieldDef& f : secao->FieldDefs()) {
                colunas << ColunaGrade(f.name, f.Caption());
                if (f.type == QMetaType::Double)
                    colunas.last().Casas(f.decimals >= 0 ? f.decimals : 2);
            }
            grade->DeclaraColunas(colunas);
            layout->addWidget(grade, 1);
        }
        m_paginas << p;
    }
    m_graficos.resize(m_paginas.size());
    BotoesEmTodasAsPaginas();
    PublicaInstancia(FmIndicadores);
}

void TFmIndicadores::FormCreate() {
    using T = FiltroRelatorio::Tipo;
    FiltroRelatorio clientes =
        FiltroLista("EdtCodCli", "Cliente", "F.CLIENTE", "ENTIDADE", "Cliente não cadastrado.");
    clientes.chave = QStringLiteral("CODCLI");
    clientes.descricao = QStringLiteral("NOME");
    FiltroRelatorio receitas = FiltroLista(
        "EdtCodRec", "Receita",
        "(SELECT MIN(R.CODIGO || '') FROM RECEITA R WHERE R.COR = F.COR AND R.VARIANTE = F.VARIANTE)",
        "RECEITA", "Receita não cadastrada.");
    receitas.distintos = true;
    FiltroRelatorio fases = FiltroLista("EdtCodFase", "Fase", "PF.FASE", "FASE", "Fase não cadastrada.");
    fases.envolve = QStringLiteral("EXISTS (SELECT 1 FROM {PROCESSO_TIN} PF WHERE PF.FAL = F.NUMERO AND %1)");
    FiltroRelatorio operadores =
        FiltroLista("EdtCodFun", "Operador", "PO.FUNCIONARIO", "PESSOAL", "Funcionário não cadastrado.");
    operadores.descricao = QStringLiteral("NOME");
    operadores.envolve =
        QStringLiteral("EXISTS (SELECT 1 FROM {PROCESSO_TIN} PO WHERE PO.FAL = F.NUMERO AND %1)");
    rel.filtros = {
        {.tipo = T::Periodo,
         .nome = "EdtData",
         .legenda = "Período",
         .coluna = "P.DATA_FIN",
         .marcador = "PERIODO",
         .obrigatorio = true},
        clientes,
        FiltroLista("EdtCodCor", "Cor", "F.COR", "CADCORTIN", "Cor não cadastrada."),
        receitas,
        FiltroLista("EdtCodMaq", "Máquina", "F.MAQUINA", "MAQ_TIN", "Máquina não cadastrada."),
        fases,
        operadores,
        {.tipo = T::Opcao,
         .nome = "RgAgrupar",
         .legenda = "Agrupar por",
         .marcador = "AGRUPAR",
         .opcoes = NomesAgrupamento(),
         .textos = QStringList(NomesAgrupamento().size(), QString())},
    };
    rel.sql = InstrucaoIndicadores();
    rel.camposPivo = [](TClientDataSet& r) {
        using M = QMetaType::Type;
        for (const Campo& c : {Campo{"FAL", M::QString, 7},
                               {"Folhas", M::QString, 80},
                               {"Cliente", M::QString, 5},
                               {"Cor", M::QString, 10},
                               {"Receita", M::QString, 4},
                               {"Maquina", M::QString, 5},
                               {"Operador", M::QString, 5},
                               {"Peso", M::Double},
                               {"Entrada", M::QDate},
                               {"Inicio", M::QDate},
                               {"Fim", M::QDate},
                               {"Expedicao", M::QDate},
                               {"Prometida", M::QDate},
                               {"Reprocessos", M::Int},
                               {"PrimeiraVez", M::QString, 1}})
            r.AddField(QLatin1String(c.nome), c.tipo, c.tamanho);
    };
    rel.pivo = [this](TDataSet& linhas, TClientDataSet& r) { Pivo(linhas, r); };
    rel.colunas = {{"FAL", "FAL"},
                   ColunaGrade("Folhas", "Folhas").Largura(16),
                   {"Cliente", "Cliente"},
                   {"Cor", "Cor"},
                   {"Receita", "Receita"},
                   {"Maquina", "Máquina"},
                   {"Operador", "Operador"},
                   ColunaGrade("Peso", "Peso (kg)").Casas(2),
                   {"Entrada", "Entrada"},
                   {"Inicio", "Início"},
                   {"Fim", "Fim"},
                   {"Expedicao", "Expedição"},
                   {"Prometida", "Prometida"},
                   {"Reprocessos", "Reprocessos"},
                   {"PrimeiraVez", "1ª vez certa"}};
    rel.relatorio = QString::fromLatin1(kIdLotes);
    AbreRelatorio();
}

void TFmIndicadores::Pivo(TDataSet& linhas, TClientDataSet& r) {
    const QDate de = LeData(Texto(Controle(QStringLiteral("EdtDataIni")))),
                ate = LeData(Texto(Controle(QStringLiteral("EdtDataFim"))));
    const auto campo = [&](const char* nome) { return linhas.IndiceExistente(QLatin1String(nome)); };
    const int numero = campo("NUMERO"), reproc = campo("NUM_REPROC"), cliente = campo("CLIENTE"),
              cor = campo("COR"), maquina = campo("MAQUINA"), prometida = campo("PROMETIDA"),
              receita = campo("RECEITA"), operador = campo("OPERADOR"), tecido = campo("TECIDO"),
              peso = campo("PESO"), entrada = campo("ENTRADA"), inicio = campo("INICIO"), fim = campo("FIM"),
              expedicao = campo("EXPEDICAO"), abertos = campo("ABERTOS"), bloqueada = campo("BLOQUEADA"),
              reprocessada = campo("REPROCESSADA"), motivo = campo("MOTIVO");
    QList<FolhaIndicador> folhas;
    folhas.reserve(linhas.RecordCount());
    for (int i = 0; i < linhas.RecordCount(); ++i) {
        const auto texto = [&](int c) { return linhas.ValueAt(i, c).toString().trimmed(); };
        QStringList pecas = texto(tecido).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        pecas.sort();
        const bool concluida = linhas.ValueAt(i, abertos).toInt() == 0;
        folhas << FolhaIndicador{.numero = texto(numero),
                                 .reprocessa = texto(reproc),
                                 .cliente = texto(cliente),
                                 .cor = texto(cor),
                                 .receita = texto(receita),
                                 .maquina = texto(maquina),
                                 .operador = texto(operador),
                                 .tecido = pecas.join(QLatin1Char(';')),
                                 .peso = linhas.ValueAt(i, peso).toDouble(),
                                 .entrada = linhas.ValueAt(i, entrada).toDate(),
                                 .inicio = linhas.ValueAt(i, inicio).toDate(),
                                 .fim = concluida ? linhas.ValueAt(i, fim).toDate() : QDate(),
                                 .expedicao = linhas.ValueAt(i, expedicao).toDate(),
                                 .prometida = linhas.ValueAt(i, prometida).toDate(),
                                 .concluida = concluida,
                                 .bloqueada = texto(bloqueada) == QLatin1String("S"),
                                 .reprocessada = texto(reprocessada) == QLatin1String("S"),
                                 .motivo = texto(motivo)};
    }
    m_lotes = AgrupaLotes(folhas);
    m_lotePorFolha.clear();
    for (int i = 0; i < m_lotes.size(); ++i) {
        m_lotePorFolha.insert(m_lotes[i].numero, i);
        for (const QString& f : std::as_const(m_lotes[i].folhas))
            m_lotePorFolha.insert(f, i);
    }
    for (const LoteIndicador& l : std::as_const(m_lotes))
        if (l.TerminouEm(de, ate))
            Linha(r, {l.numero, l.folhas.join(QLatin1Char(',')), l.cliente, l.cor, l.receita, l.maquina,
                      l.operador, l.peso, DataOuNada(l.entrada), DataOuNada(l.inicio), DataOuNada(l.fim),
                      DataOuNada(l.expedicao), DataOuNada(l.prometida), l.reprocessos,
                      l.PrimeiraVezCerta() ? QStringLiteral("S") : QStringLiteral("N")});

    const auto agrupamento = Agrupamento(std::max(0, Opcao(QStringLiteral("RgAgrupar"))));
    const QStringList todos = GruposDoPeriodo(de, ate, agrupamento);
    const auto figura = [&](TClientDataSet& d, Criterio criterio) {
        ControlesDesligados quieto(d);
        d.EmptyDataSet();
        for (const LinhaIndicador& l : Indicador(m_lotes, de, ate, agrupamento, criterio, todos))
            Linha(d, {l.grupo, l.lotes, l.contados, Figura(l.TaxaLotes()), l.peso, l.pesoContado,
                      Figura(l.TaxaPeso()), l.numeros.join(QLatin1Char(','))});
        d.First();
    };
    figura(*m_paginas[kPrimeira].dados, Criterio::PrimeiraVezCerta);
    figura(*m_paginas[kReprocessos].dados, Criterio::Reprocessado);
    {
        TClientDataSet& motivos = *m_paginas[kReprocessos].secoes[0];
        ControlesDesligados quieto(motivos);
        motivos.EmptyDataSet();
        for (const MotivoReprocesso& m : MotivosReprocesso(m_lotes, de, ate))
            Linha(motivos, {m.motivo, m.lotes, m.peso});
        motivos.First();
        TClientDataSet& mais = *m_paginas[kReprocessos].secoes[1];
        ControlesDesligados quieto2(mais);
        mais.EmptyDataSet();
        for (const auto& [tipo, agrupa] :
             {std::pair{"Cor", Agrupamento::Cor}, std::pair{"Receita", Agrupamento::Receita}})
            for (const LinhaIndicador& l : MaisReprocessados(m_lotes, de, ate, agrupa))
                Linha(mais, {QLatin1String(tipo), l.grupo, l.contados, l.lotes, l.pesoContado,
                             Figura(l.TaxaPeso())});
        mais.First();
    }
    LeUso(de, ate);
    {
        TClientDataSet& prazo = *m_paginas[kPrazo].dados;
        ControlesDesligados quieto(prazo);
        prazo.EmptyDataSet();
        for (const PrazoCliente& c : PrazoPorCliente(m_lotes, de, ate))
            Linha(prazo, {c.cliente, c.lotes, Figura(c.medianaInicio), Figura(c.p90Inicio),
                          Figura(c.medianaFim), Figura(c.p90Fim), Figura(c.medianaExpedicao),
                          Figura(c.p90Expedicao), c.numeros.join(QLatin1Char(','))});
        prazo.First();
        TClientDataSet& atrasados = *m_paginas[kPrazo].secoes[0];
        ControlesDesligados quieto2(atrasados);
        atrasados.EmptyDataSet();
        for (const LoteAtrasado& a : LotesAtrasados(m_lotes, de, ate))
            Linha(atrasados, {a.numero, a.cliente, a.prometida, DataOuNada(a.expedicao), a.dias});
        atrasados.First();
    }
    MostraGraficos();
}

// The machines' steps over the period, under the filters that speak of steps and sheets, and the shifts.
void TFmIndicadores::LeUso(const QDate& de, const QDate& ate) {
    QString sql = QString::fromLatin1(kPassos);
    for (const auto& [caixa, coluna] :
         {std::pair{"EdtCodMaq", "P.MAQUINA"}, std::pair{"EdtCodFase", "P.FASE"},
          std::pair{"EdtCodFun", "P.FUNCIONARIO"}, std::pair{"EdtCodCli", "F.CLIENTE"},
          std::pair{"EdtCodCor", "F.COR"}})
        sql += CondicaoIn(QLatin1String(coluna), Texto(Controle(QLatin1String(caixa))));
    m_instrucaoUso = {DBLocal_SQL(sql), {{QStringLiteral("DE"), de}, {QStringLiteral("ATE"), ate}}};
    TZoQuery passos;
    passos.SQL << m_instrucaoUso.sql;
    passos.BindValue(QStringLiteral("DE"), de);
    passos.BindValue(QStringLiteral("ATE"), ate);
    passos.Open();
    QList<PassoIndicador> lidos;
    lidos.reserve(passos.RecordCount());
    for (int i = 0; i < passos.RecordCount(); ++i)
        lidos << PassoIndicador{
            passos.ValueAt(i, 0).toString().trimmed(), passos.ValueAt(i, 1).toString().trimmed(),
            QDateTime(passos.ValueAt(i, 2).toDate(), LeHora(passos.ValueAt(i, 3).toString())),
            QDateTime(passos.ValueAt(i, 4).toDate(), LeHora(passos.ValueAt(i, 5).toString()))};
    TZoQuery horarios;
    horarios.SQL << DBLocal_SQL(QStringLiteral("SELECT DIA, ENTRADA, SAIDA FROM {TURNO_HORARIOS}"));
    horarios.Open();
    QList<HorasDoTurno> turnos;
    for (int i = 0; i < horarios.RecordCount(); ++i)
        turnos << HorasDoTurno{horarios.ValueAt(i, 0).toInt(), horarios.ValueAt(i, 1).toTime(),
                               horarios.ValueAt(i, 2).toTime()};
    const QStringList maquinas = Texto(Controle(QStringLiteral("EdtCodMaq")))
                                     .remove(QLatin1Char(' '))
                                     .split(QLatin1Char(','), Qt::SkipEmptyParts);
    m_uso = UsoDasMaquinas(lidos, turnos, de, ate, maquinas);
    TClientDataSet& uso = *m_paginas[kUso].dados;
    ControlesDesligados quieto(uso);
    uso.EmptyDataSet();
    for (const UsoMaquina& u : std::as_const(m_uso))
        Linha(uso, {u.maquina, u.dia, u.processando, u.noTurno, u.disponivel, u.Ocioso(), Figura(u.Uso())});
    uso.First();
}

// Bars of more groups than this are unreadable; the chart keeps the biggest, the grid all.
constexpr int kBarrasNoGrafico = 20;

void TFmIndicadores::MostraGraficos() {
    const bool porMes = Opcao(QStringLiteral("RgAgrupar")) == int(Agrupamento::Mes);
    for (int i : {int(kPrimeira), int(kReprocessos), int(kUso), int(kPrazo)}) {
        const Pagina& p = m_paginas[i];
        GraficoIndicador d;
        const TDataSet& dados = *p.dados;
        // The rows charted, by their lots; every month of a line.
        const auto maiores = [&dados](GraficoIndicador& d) {
            QList<double> lotes;
            for (int l = 0; l < dados.RecordCount(); ++l)
                lotes << dados.ValueAt(l, 1).toDouble();
            d.linhas = MaioresGrupos(lotes, d.linha ? int(lotes.size()) : kBarrasNoGrafico);
            if (d.linhas.size() < lotes.size())
                d.titulo += QStringLiteral(" — os %1 grupos de mais lotes, de %2")
                                .arg(d.linhas.size())
                                .arg(lotes.size());
            return d.linhas;
        };
        if (i == kUso) {
            d = {.titulo = QStringLiteral("Uso das máquinas nos turnos (%)"), .eixo = QStringLiteral("%")};
            QList<double> valores;
            for (const UsoMaquina& u : UsoPorMaquina(m_uso)) {
                d.categorias << u.maquina;
                valores << u.Uso().value_or(0);
            }
            d.series = {{QStringLiteral("Uso"), valores}};
        } else if (i == kPrazo) {
            d = {.titulo = QStringLiteral("Dias da entrada à expedição"), .eixo = QStringLiteral("dias")};
            QList<double> mediana, p90;
            for (int l : maiores(d)) {
                d.categorias << dados.ValueAt(l, 0).toString();
                mediana << dados.ValueAt(l, 6).toDouble();
                p90 << dados.ValueAt(l, 7).toDouble();
            }
            d.series = {{QStringLiteral("Mediana"), mediana}, {QStringLiteral("P90"), p90}};
        } else {
            d = {.titulo = i == kPrimeira ? QStringLiteral("Primeira vez certa (% dos lotes)")
                                          : QStringLiteral("Reprocessos (% dos lotes)"),
                 .eixo = QStringLiteral("%"),
                 .linha = porMes};
            QList<double> valores;
            for (int l : maiores(d)) {
                d.categorias << dados.ValueAt(l, 0).toString();
                valores << dados.ValueAt(l, 3).toDouble();
            }
            d.series = {{QStringLiteral("% lotes"), valores}};
        }
        m_graficos[i] = d;
        // A bar or a point opens the lots behind its row.
        MontaGrafico(*p.grafico->chart(), d, [this, i](int linha) {
            const Pagina& pg = m_paginas[i];
            if (i == kUso) {
                const QList<UsoMaquina> maquinas = UsoPorMaquina(m_uso);
                if (linha >= 0 && linha < maquinas.size())
                    AbreLotes(maquinas[linha].fals, maquinas[linha].maquina);
                return;
            }
            linha = m_graficos[i].linhas.value(linha, -1);
            if (linha >= 0 && linha < pg.dados->RecordCount())
                AbreLotes(NumerosDaLinha(*pg.dados, linha), pg.dados->ValueAt(linha, 0).toString());
        });
    }
}

int TFmIndicadores::PaginaAtual() const {
    const auto* paginas = qobject_cast<const QTabWidget*>(Controle(QStringLiteral("PageControl1")));
    return paginas ? paginas->currentIndex() - 1 : -1; // the first page holds the filters and the lots
}

QString TFmIndicadores::Identificador() const {
    const int pagina = PaginaAtual();
    return pagina >= 0 ? m_paginas[pagina].id : QString::fromLatin1(kIdLotes);
}

TDataSet* TFmIndicadores::Impressos() const {
    const int pagina = PaginaAtual();
    return pagina >= 0 ? m_paginas[pagina].dados : Resultado();
}

void TFmIndicadores::PreparaImpressao(TRelatorio& relatorio) {
    const int pagina = PaginaAtual();
    if (pagina < 0)
        return;
    const Pagina& p = m_paginas[pagina];
    relatorio.AdicionaCabecalho(QStringLiteral("Página"), p.titulo);
    if (pagina == kPrimeira || pagina == kReprocessos) {
        double lotes = 0, contados = 0;
        for (int i = 0; i < p.dados->RecordCount(); ++i) {
            lotes += p.dados->ValueAt(i, 1).toDouble();
            contados += p.dados->ValueAt(i, 2).toDouble();
        }
        relatorio.AdicionaCabecalho(QStringLiteral("Taxa do período"),
                                    TextoIndicador(Taxa(contados, lotes)) + QStringLiteral(" % dos lotes"));
    }
    for (TClientDataSet* secao : p.secoes) {
        TRelatorio s(p.id + secao->objectName(), secao->property(kTituloSecao).toString(), secao);
        QList<ColunaRelatorio> colunas = s.ColunasPadrao();
        for (ColunaRelatorio& c : colunas)
            if (const FieldDef& f = secao->FieldDefByName(c.campo); !f.nullText.isEmpty()) {
                c.casas = f.decimals;
                c.totaliza = false;
            }
        s.DefineColunas(colunas);
        relatorio.AdicionaSecao(s);
    }
    relatorio.DefineDesenhoFinal([grafico = m_graficos[pagina]](QPainter& pintor, const QRectF& area) {
        DesenhaGrafico(pintor, area, grafico);
    });
}

void TFmIndicadores::AbreLotes(const QStringList& numeros, const QString& titulo) {
    if (auto* anterior = findChild<QDialog*>(QStringLiteral("FmLotesIndicador")))
        delete anterior;
    auto* dialogo = new QDialog(this);
    dialogo->setObjectName(QStringLiteral("FmLotesIndicador"));
    dialogo->setWindowTitle(QStringLiteral("Lotes: %1").arg(titulo));
    dialogo->resize(900, 400);
    using T = QMetaType::Type;
    TClientDataSet* lotes = Conjunto(dialogo, "TbLotes",
                                     {{"FAL", T::QString, 7},
                                      {"Folhas", T::QString, 80},
                                      {"Cliente", T::QString, 5},
                                      {"Cor", T::QString, 10},
                                      {"Maquina", T::QString, 5},
                                      {"Peso", T::Double},
                                      {"Fim", T::QDate},
                                      {"Expedicao", T::QDate},
                                      {"Reprocessos", T::Int},
                                      {"PrimeiraVez", T::QString, 1}});
    QSet<int> vistos;
    for (const QString& n : numeros) {
        const int i = m_lotePorFolha.value(n, -1);
        if (i < 0 || vistos.contains(i))
            continue;
        vistos.insert(i);
        const LoteIndicador& l = m_lotes[i];
        Linha(*lotes, {l.numero, l.folhas.join(QLatin1Char(',')), l.cliente, l.cor, l.maquina, l.peso,
                       DataOuNada(l.fim), DataOuNada(l.expedicao), l.reprocessos,
                       l.PrimeiraVezCerta() ? QStringLiteral("S") : QStringLiteral("N")});
    }
    lotes->First();
    auto* grade = new TZoDBGrid(dialogo);
    grade->setObjectName(QStringLiteral("DBGridLotes"));
    grade->SetDataSet(lotes);
    grade->SetReadOnly(true);
    grade->DeclaraColunas({{"FAL", "FAL"},
                           ColunaGrade("Folhas", "Folhas").Largura(16),
                           {"Cliente", "Cliente"},
                           {"Cor", "Cor"},
                           {"Maquina", "Máquina"},
                           ColunaGrade("Peso", "Peso (kg)").Casas(2),
                           {"Fim", "Fim"},
                           {"Expedicao", "Expedição"},
                           {"Reprocessos", "Reprocessos"},
                           {"PrimeiraVez", "1ª vez certa"}});
    (new QVBoxLayout(dialogo))->addWidget(grade);
    // The lot's sheet, as the lot sheet screen shows a number typed.
    const auto abre = [lotes] {
        if (lotes->RecNo() >= 0)
            Carrega_Form(QStringLiteral("kelmTingimento.bpl"), QStringLiteral("TFmCadFal"),
                         ArgumentosTela{{QStringLiteral("FAL"), lotes->ValueAt(lotes->RecNo(), 0)}}, false,
                         false);
    };
    connect(grade, &QAbstractItemView::doubleClicked, dialogo, Protegido(abre));
    grade->OnKeyDown = [abre](QKeyEvent* tecla) {
        if (tecla->key() != Qt::Key_Return && tecla->key() != Qt::Key_Enter)
            return false;
        abre();
        return true;
    };
    dialogo->show();
}
