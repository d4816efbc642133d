#include "TngGrafico.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "GradeEdicao.h"
#include "GraficoTingimento.h"
#include "GravacaoAtomica.h"
#include "HostError.h"
#include "InstrucoesEmLote.h"
#include "Mensagens.h"
#include "ModuleUnits.h"
#include "Protecao.h"
#include "Relatorio.h"
#include "TClientDataSet.h"
#include "TTabela.h"
#include "TTabelaDataSet.h"
#include "TZoDatabase.h"
#include "TZoQuery.h"
#include <QChartView>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

TfmTngGrafico* fmTngGrafico = nullptr;

KELM_SCREEN_UNIT(TngGrafico, TfmTngGrafico);

namespace {
const QString kTitulo = QStringLiteral("CADASTRO DE GRAFICO");
const QString kPassos = QStringLiteral("PASSOS");
const QString kCodigoVazio = QStringLiteral("É necessário preencher o campo de código.");
const QString kDescricaoObrigatoria = QStringLiteral("O campo Descrição é obrigatório.");
const QString kTempoInvalido = QStringLiteral("Tempo inválido. Informe horas e minutos (HH:MM).");
const QString kFaseInvalida = QStringLiteral("Fase inválida. Informe 1 ou 2.");
const QStringList kConsumos = {QStringLiteral("QTDE_AGUA"), QStringLiteral("QTDE_VAPOR"),
                               QStringLiteral("QTDE_VATS"), QStringLiteral("QTDE_GAS"),
                               QStringLiteral("QTDE_OUTROS")};
// What is compared between the steps loaded and the steps stored.
const QStringList kGravados = {QStringLiteral("CODIGO"),    QStringLiteral("ORDEM"),
                               QStringLiteral("DESCRICAO"), QStringLiteral("TEMPERATURA"),
                               QStringLiteral("TEMPO"),     QStringLiteral("FASE")};
const QStringList kDigitados = {QStringLiteral("ORDEM"), QStringLiteral("CODIGO"),
                                QStringLiteral("DESCRICAO"), QStringLiteral("TEMPERATURA"),
                                QStringLiteral("TEMPO")};
enum Pagina { Lista = 0, Passos = 1 };

bool vazio(TDataSet& passo, const QString& campo) {
    return passo.FieldByName(campo).AsString().trimmed().isEmpty();
}

// A step nothing was typed into; it is left out of the save.
bool passoEmBranco(TDataSet& passo) {
    for (const QString& campo : kDigitados)
        if (!vazio(passo, campo))
            return false;
    return true;
}

bool faseValida(const QString& fase) {
    return fase == QLatin1String("1") || fase == QLatin1String("2");
}
} // namespace

TfmTngGrafico::TfmTngGrafico(QWidget* parent)
    : TFmCadastro(parent), tbPassos(new TClientDataSet(this)),
      m_passos(kPassos, QStringLiteral("CODIGO_GRA"), kGravados) {
    setObjectName(QStringLiteral("fmTngGrafico"));
    setWindowTitle(QStringLiteral("Tingimento"));
    ui.setupUi(PainelDados);

    // Duplicate and print act on the curve shown, from the browse bar.
    auto* barra = static_cast<QHBoxLayout*>(PainelControle->layout());
    BtDuplicar = new QPushButton(QStringLiteral("D&uplicar"), PainelControle);
    BtDuplicar->setObjectName(QStringLiteral("BtDuplicar"));
    BtImprimir = new QPushButton(QStringLiteral("Im&primir"), PainelControle);
    BtImprimir->setObjectName(QStringLiteral("BtImprimir"));
    barra->insertWidget(barra->indexOf(BtExcluir) + 1, BtDuplicar);
    barra->insertWidget(barra->indexOf(BtDuplicar) + 1, BtImprimir);
    connect(BtDuplicar, &QPushButton::clicked, this, Protegido([this] { BtDuplicarClick(); }));
    connect(BtImprimir, &QPushButton::clicked, this, Protegido([this] { BtImprimirClick(); }));

    tbPassos->setObjectName(QStringLiteral("tbPassos"));
    tbPassos->AddField(QStringLiteral("ORDEM"), QMetaType::Int)
        .AddField(QStringLiteral("CODIGO"), QMetaType::QString, 3)
        .AddField(QStringLiteral("DESCRICAO"), QMetaType::QString, 100)
        .AddField(QStringLiteral("TEMPERATURA"), QMetaType::Int)
        .AddField(QStringLiteral("TEMPO"), QMetaType::Int)
        .AddField(QStringLiteral("FASE"), QMetaType::QString, 1);
    tbPassos->CreateDataSet();
    // Phase 2 follows phase 1 in time: the grid's order is the order the minutes add up in.
    tbPassos->SetIndexFieldNames(QStringLiteral("FASE;ORDEM"));
    tbPassos->BeforePost = [this](TDataSet& passo) { tbPassosBeforePost(passo); };

    // The list of curves, then the steps with the charts of both phases under them.
    PaginaPassos = AdicionaPagina(QStringLiteral("Passos"), QStringLiteral("Gráficos"));
    auto* pagina = new QVBoxLayout(PaginaPassos);
    auto* divisao = new QSplitter(Qt::Vertical, PaginaPassos);
    divisao->setObjectName(QStringLiteral("DivisaoPassos"));
    auto* grade = new QWidget(divisao);
    auto* colunaGrade = new QVBoxLayout(grade);
    colunaGrade->setContentsMargins(0, 0, 0, 0);
    dbgPassos = new TZoDBGrid(grade);
    dbgPassos->setObjectName(QStringLiteral("dbgPassos"));
    dbgPassos->SetDataSet(tbPassos);
    dbgPassos->SetReadOnly(true);
    dbgPassos->DeclaraColunas({{"ORDEM", "Ordem"},
                               {"CODIGO", "Código"},
                               ColunaGrade("DESCRICAO", "Descrição").Estica(),
                               {"TEMPERATURA", "Temperatura (°C)"},
                               {"TEMPO", "Tempo (min)"},
                               {"FASE", "Fase"}});
    dbgPassos->OnKeyDown = [this](QKeyEvent* tecla) { return dbgPassosKeyDown(tecla); };
    colunaGrade->addWidget(dbgPassos);
    auto* rodape = new QHBoxLayout;
    auto* dica = new QLabel(
        QStringLiteral("Insert - Novo passo      Ctrl Del - Exclui passo      Fase: 1 ou 2"), grade);
    dica->setObjectName(QStringLiteral("LbDicaPassos"));
    LbTotalPassos = new QLabel(grade);
    LbTotalPassos->setObjectName(QStringLiteral("LbTotalPassos"));
    rodape->addWidget(dica);
    rodape->addStretch();
    rodape->addWidget(LbTotalPassos);
    colunaGrade->addLayout(rodape);
    auto* graficos = new QWidget(divisao);
    auto* lado = new QHBoxLayout(graficos);
    lado->setContentsMargins(0, 0, 0, 0);
    GrFase1 = NovoGraficoFase(graficos, 1);
    GrFase2 = NovoGraficoFase(graficos, 2);
    lado->addWidget(GrFase1);
    lado->addWidget(GrFase2);
    divisao->addWidget(grade);
    divisao->addWidget(graficos);
    divisao->setStretchFactor(0, 2);
    divisao->setStretchFactor(1, 3);
    pagina->addWidget(divisao);
}

void TfmTngGrafico::FormCreate() {
    PublicaInstancia(fmTngGrafico);
    cad.tabelaCompartilhada = QStringLiteral("tbGrafico");
    cad.tabela = QStringLiteral("GRAFICO");
    cad.caixaCodigo = ui.EdtCodigo;
    cad.caixaDescricao = ui.EdtDescricao;
    cad.checaCodigo = true;
    cad.textoCodigoVazio = kCodigoVazio;
    cad.larguraProximo = 3;
    cad.tituloLog = kTitulo;
    cad.textoInclusao = QStringLiteral("INCLUSAO DO GRAFICO ");
    cad.textoAlteracao = QStringLiteral("ALTERACAO DO GRAFICO ");
    cad.textoExclusao = QStringLiteral("EXCLUSAO DO GRAFICO ");
    cad.exclusaoPadraoSim = false;
    cad.usos = QStringList{QStringLiteral("RECEITA.GRAFICO"), QStringLiteral("PROCESSO_TIN.GRAFICO")};
    cad.textoEmUso = QStringLiteral("Gráfico está sendo utilizado.");
    // Consumptions are read and shown with three decimals.
    cad.colunas = {{"CODIGO", "Código"},
                   ColunaGrade("DESCRICAO", "Descrição").Estica(),
                   {"TEMPO", "Tempo (min)"},
                   ColunaGrade("QTDE_AGUA", "Água").Casas(3),
                   ColunaGrade("QTDE_VAPOR", "Vapor").Casas(3),
                   ColunaGrade("QTDE_VATS", "Energia").Casas(3),
                   ColunaGrade("QTDE_GAS", "Gás").Casas(3),
                   ColunaGrade("QTDE_OUTROS", "Outros").Casas(3),
                   ColunaGrade("OBS", "Observação").Largura(30)};
    AbreCadastro();
    const QList<QPair<QLineEdit*, const char*>> caixas = {
        {ui.EdtCodigo, "CODIGO"},      {ui.EdtDescricao, "DESCRICAO"}, {ui.EdtAgua, "QTDE_AGUA"},
        {ui.EdtVapor, "QTDE_VAPOR"},   {ui.EdtEnergia, "QTDE_VATS"},   {ui.EdtGas, "QTDE_GAS"},
        {ui.EdtOutros, "QTDE_OUTROS"}, {ui.EdtTempo, "TEMPO"}};
    for (const auto& [caixa, campo] : caixas)
        FieldLink::Edit(caixa, Dados(), QString::fromLatin1(campo));
    FieldLink::Memo(ui.EdtObs, Dados(), QStringLiteral("OBS"));
    CaixaAlta(ui.EdtDescricao);

    connect(Dados(), &TDataSet::stateChanged, this,
            Protegido([this] { dbgPassos->SetReadOnly(!Dados()->Editing()); }));
    // Both charts follow the steps: a value typed, a step added or removed, another curve loaded.
    AcompanhaLinhas(tbPassos, this, [this] { MontaGraficos(); });
    MontaGraficos();
    Paginas()->setCurrentIndex(Passos);
}

// ---- steps

// Every move, and the end of a confirmation or desistance, shows another curve (or the same one anew).
void TfmTngGrafico::CarregaDetalhe() {
    const QString codigo =
        Dados()->IsEmpty() ? QString() : Dados()->FieldByName(QStringLiteral("CODIGO")).AsString();
    QScopedValueRollback<bool> comoGravados(m_carregando, true);
    ControlesDesligados desligados(*tbPassos);
    tbPassos->EmptyDataSet();
    m_carregada = false;
    m_passos.Esquece();
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT CODIGO, ORDEM, DESCRICAO, TEMPERATURA, TEMPO, FASE FROM %1")
                 .arg(DBLocal(kPassos))
          << QStringLiteral("WHERE CODIGO_GRA = :CODIGO ORDER BY FASE, ORDEM");
    q.BindValue(QStringLiteral("CODIGO"), codigo);
    try {
        q.Open();
    } catch (const EDatabaseError& e) {
        Informa(this, QStringLiteral("Não foi possível carregar os passos do gráfico. ") + e.message());
        return;
    }
    for (q.First(); !q.Eof(); q.Next()) {
        tbPassos->Append();
        for (int i = 0; i < q.FieldCount(); ++i)
            tbPassos->FieldByName(q.FieldDefs()[i].name) = q.Fields(i).Value();
        tbPassos->Post();
    }
    tbPassos->First();
    m_passos.Carregado(codigo, q);
    m_carregada = true;
}

// A step keeps its phase and takes the next order when none was typed; codes are kept in capitals.
void TfmTngGrafico::tbPassosBeforePost(TDataSet& passo) {
    if (m_carregando || passoEmBranco(passo))
        return;
    TField codigo = passo.FieldByName(QStringLiteral("CODIGO"));
    if (!codigo.IsNull())
        codigo = codigo.AsString().trimmed().toUpper();
    TField fase = passo.FieldByName(QStringLiteral("FASE"));
    if (vazio(passo, QStringLiteral("FASE"))) {
        // The phase of the step it was typed next to.
        const int campo = passo.FieldIndex(QStringLiteral("FASE"));
        const int aqui = passo.RecNo();
        QString vizinha = passo.ValueAt(aqui + 1, campo).toString().trimmed();
        if (vizinha.isEmpty())
            vizinha = passo.ValueAt(aqui - 1, campo).toString().trimmed();
        fase = faseValida(vizinha) ? vizinha : QStringLiteral("1");
    } else if (!faseValida(fase.AsString().trimmed())) {
        Informa(this, kFaseInvalida);
        FocaPasso(QStringLiteral("FASE"));
        throw EAbort();
    }
    TField ordem = passo.FieldByName(QStringLiteral("ORDEM"));
    if (ordem.IsNull()) {
        const int campo = passo.FieldIndex(QStringLiteral("ORDEM"));
        int maior = 0;
        for (int linha = 0; linha < passo.RecordCount(); ++linha)
            maior = std::max(maior, passo.ValueAt(linha, campo).toInt());
        ordem = maior + 1;
    }
    if (passo.FieldByName(QStringLiteral("TEMPO")).AsInteger() < 0) {
        Informa(this, QStringLiteral("Tempo do passo inválido."));
        FocaPasso(QStringLiteral("TEMPO"));
        throw EAbort();
    }
}

void TfmTngGrafico::FocaPasso(const QString& campo) {
    Paginas()->setCurrentIndex(Passos);
    dbgPassos->setFocus();
    dbgPassos->SelectField(campo);
}

bool TfmTngGrafico::dbgPassosKeyDown(QKeyEvent* tecla) {
    if (!Dados()->Editing())
        return false;
    if (TeclaLinhaGrade(*dbgPassos, tecla))
        return true;
    // Tab out of the phase posts the step, so a wrong phase is refused in its own cell.
    return tecla->key() == Qt::Key_Tab && dbgPassos->SelectedField() == QLatin1String("FASE") &&
           !tbPassos->Post();
}

void TfmTngGrafico::MontaGraficos() {
    const QList<PassoCurva> passos = PassosDe(*tbPassos);
    MontaGraficoFase(*GrFase1->chart(), passos, 1);
    MontaGraficoFase(*GrFase2->chart(), passos, 2);
    const QList<int> totais = TemposTotais(passos);
    const int minutos = totais.isEmpty() ? 0 : totais.last();
    LbTotalPassos->setText(
        QStringLiteral("Duração dos passos: %1 min (%2)").arg(minutos).arg(TempoDosMinutos(minutos)));
}

// ---- record

void TfmTngGrafico::BtIncluirClick() {
    TFmCadastro::BtIncluirClick();
    Paginas()->setCurrentIndex(Passos);
}

void TfmTngGrafico::BtnAlteraClick() {
    TFmCadastro::BtnAlteraClick();
    if (Dados()->Editing())
        Paginas()->setCurrentIndex(Passos);
}

void TfmTngGrafico::NovoRegistro() {
    for (const QString& consumo : kConsumos)
        Dados()->FieldByName(consumo) = 0.0;
    {
        QScopedValueRollback<bool> comoGravados(m_carregando, true);
        tbPassos->EmptyDataSet();
    }
    // A new curve has no stored steps to lose.
    m_carregada = true;
    m_passos.Esquece();
}

bool TfmTngGrafico::DescricaoPreenchida() {
    if (!ui.EdtDescricao->text().trimmed().isEmpty())
        return true;
    Informa(this, kDescricaoObrigatoria);
    ui.EdtDescricao->setFocus();
    return false;
}

// An empty time is allowed; a time typed is kept as HH:MM.
bool TfmTngGrafico::TempoPreenchido() {
    const QString texto = ui.EdtTempo->text().trimmed();
    if (texto.isEmpty())
        return true;
    const int minutos = MinutosDoTempo(texto);
    if (minutos < 0) {
        Informa(this, kTempoInvalido);
        ui.EdtTempo->setFocus();
        ui.EdtTempo->selectAll();
        return false;
    }
    if (TempoDosMinutos(minutos) != texto)
        Dados()->FieldByName(QStringLiteral("TEMPO")) = TempoDosMinutos(minutos);
    return true;
}

bool TfmTngGrafico::SaidaCaixa(QWidget* caixa) {
    if (caixa == ui.EdtDescricao)
        return DescricaoPreenchida();
    if (caixa == ui.EdtTempo)
        return TempoPreenchido();
    return true;
}

bool TfmTngGrafico::ValidaConfirmacao() {
    if (!DescricaoPreenchida() || !TempoPreenchido())
        return false;
    if (Dados()->State() == DataSetState::Insert)
        Dados()->FieldByName(QStringLiteral("CODIGO")) = ui.EdtCodigo->text().trimmed();
    return true;
}

// Every step is checked before anything is written: a refusal opens a message, which must not keep the
// curve's rows locked while the user reads it. Steps nothing was typed into are dropped.
bool TfmTngGrafico::ValidaDetalhe() {
    if (!tbPassos->Post()) { // the step's check has said why
        FocaPasso(dbgPassos->SelectedField());
        return false;
    }
    if (!m_carregada) {
        Informa(this, QStringLiteral("Os passos do gráfico não foram carregados; o gráfico não pode ser "
                                     "gravado. Desista e tente novamente."));
        return false;
    }
    int posicao = 0;
    while (posicao < tbPassos->RecordCount()) {
        tbPassos->MoveTo(posicao);
        if (passoEmBranco(*tbPassos)) {
            tbPassos->Delete();
            continue;
        }
        if (!faseValida(tbPassos->FieldByName(QStringLiteral("FASE")).AsString().trimmed())) {
            Informa(this, kFaseInvalida);
            FocaPasso(QStringLiteral("FASE"));
            return false;
        }
        ++posicao;
    }
    tbPassos->First();
    // A duration that disagrees with the steps is asked about, not stored unseen.
    const QString aviso = AvisoTempoCurva(ui.EdtTempo->text(), PassosDe(*tbPassos));
    if (aviso.isEmpty() || Pergunta(this, windowTitle(), aviso, false))
        return true;
    ui.EdtTempo->setFocus();
    ui.EdtTempo->selectAll();
    return false;
}

// The steps are replaced wholesale, each with the minutes elapsed at its end in the grid's order: a curve
// already stored only while its steps are still those this screen loaded, a new one while it has none.
QString TfmTngGrafico::GravaDetalhe(const QString& codigo) {
    if (Dados()->State() == DataSetState::Insert)
        m_passos.Novo(codigo);
    if (m_passos.Grava(codigo, [this](const QString& curva, bool) { InserePassos(curva); }))
        return {};
    m_carregada = false;
    return QStringLiteral("Os passos do gráfico %1 foram alterados por outro usuário depois que esta "
                          "tela os carregou; nada foi gravado. Desista e altere o gráfico de novo.")
        .arg(codigo);
}

void TfmTngGrafico::InserePassos(const QString& codigo) {
    const QList<int> totais = TemposTotais(PassosDe(*tbPassos));
    InstrucoesEmLote lote(*ConexaoHost());
    for (int linha = 0; linha < tbPassos->RecordCount(); ++linha) {
        auto valor = [&](const char* campo) {
            return ValorSql(tbPassos->ValueAt(linha, tbPassos->FieldIndex(QLatin1String(campo))));
        };
        lote.Adiciona(QStringLiteral("INSERT INTO %1 (CODIGO_GRA, CODIGO, ORDEM, DESCRICAO, TEMPERATURA, "
                                     "TEMPO, TEMPO_TOTAL, FASE) VALUES (%2, %3, %4, %5, %6, %7, %8, %9)")
                          .arg(DBLocal(kPassos), Aspas(codigo), valor("CODIGO"), valor("ORDEM"),
                               valor("DESCRICAO"), valor("TEMPERATURA"), valor("TEMPO"),
                               PermanecePonto(totais[linha]), valor("FASE")));
    }
    lote.Executa();
}

QString TfmTngGrafico::ExcluiDetalhe(const QString& codigo) {
    TZoQuery exclusao;
    exclusao.SQL << QStringLiteral("DELETE FROM %1 WHERE CODIGO_GRA = :CODIGO").arg(DBLocal(kPassos));
    exclusao.BindValue(QStringLiteral("CODIGO"), codigo);
    exclusao.ExecSQL();
    return {};
}

// ---- duplicate

// The stored curve and all its steps under the new code, committed together; false when the curve is no
// longer there. A failure rolls both back.
bool TfmTngGrafico::Duplica(const QString& origem, const QString& codigo) {
    GravacaoAtomica gravacao;
    TZoQuery curva;
    curva.SQL << QStringLiteral("INSERT INTO %1 (CODIGO, DESCRICAO, OBS, QTDE_AGUA, QTDE_VAPOR, QTDE_VATS, "
                                "QTDE_GAS, QTDE_OUTROS, TEMPO)")
                     .arg(DBLocal(QStringLiteral("GRAFICO")))
              << QStringLiteral("SELECT CAST(:NOVO AS VARCHAR(3)), DESCRICAO, OBS, QTDE_AGUA, QTDE_VAPOR, "
                                "QTDE_VATS, QTDE_GAS, QTDE_OUTROS, TEMPO FROM %1 WHERE CODIGO = :ORIGEM")
                     .arg(DBLocal(QStringLiteral("GRAFICO")));
    curva.BindValue(QStringLiteral("NOVO"), codigo);
    curva.BindValue(QStringLiteral("ORIGEM"), origem);
    curva.ExecSQL();
    if (curva.RowsAffected() == 0)
        return false;
    TZoQuery passos;
    passos.SQL << QStringLiteral("INSERT INTO %1 (CODIGO_GRA, CODIGO, ORDEM, DESCRICAO, TEMPERATURA, TEMPO, "
                                 "TEMPO_TOTAL, FASE)")
                      .arg(DBLocal(kPassos))
               << QStringLiteral("SELECT CAST(:NOVO AS VARCHAR(3)), CODIGO, ORDEM, DESCRICAO, TEMPERATURA, "
                                 "TEMPO, TEMPO_TOTAL, FASE FROM %1 WHERE CODIGO_GRA = :ORIGEM")
                      .arg(DBLocal(kPassos));
    passos.BindValue(QStringLiteral("NOVO"), codigo);
    passos.BindValue(QStringLiteral("ORIGEM"), origem);
    passos.ExecSQL();
    GeraLog(kTitulo, QStringLiteral("DUPLICACAO DO GRAFICO %1 PARA %2").arg(origem, codigo), opInclusao,
            codigo);
    gravacao.Confirma();
    return true;
}

void TfmTngGrafico::BtDuplicarClick() {
    if (Dados()->Editing() || Dados()->IsEmpty())
        return;
    const QString origem = Dados()->FieldByName(QStringLiteral("CODIGO")).AsString();
    QString codigo = Proximo(QStringLiteral("GRAFICO"), QStringLiteral("CODIGO"), 3);
    if (!InputQuery(this, QStringLiteral("Duplicar Grafico."), QStringLiteral("Codigo do Grafico"), codigo))
        return;
    codigo = codigo.trimmed().toUpper();
    if (codigo.isEmpty())
        return;
    if (codigo.size() > 3)
        return Informa(this, QStringLiteral("O Código do Gráfico pode ter no máximo 3 dígitos."));
    const QString jaExiste = QStringLiteral("Código do Gráfico já existe.");
    if (Existe(QStringLiteral("GRAFICO"), QStringLiteral("CODIGO"), QVariantList{codigo}))
        return Informa(this, jaExiste);
    bool copiado = false;
    try {
        copiado = Duplica(origem, codigo);
    } catch (const EDatabaseError&) {
        // Told once the copy is undone: another workstation may have taken the code since the check.
        if (Existe(QStringLiteral("GRAFICO"), QStringLiteral("CODIGO"), QVariantList{codigo}))
            return Informa(this, jaExiste);
        throw;
    }
    if (!copiado) {
        Informa(this,
                QStringLiteral("O gráfico %1 foi excluído por outro usuário; nada foi copiado.").arg(origem));
        Dados()->Refresh();
        return;
    }
    Dados()->Refresh();
    Dados()->Locate(QStringLiteral("CODIGO"), {codigo});
}

// ---- print

void TfmTngGrafico::BtImprimirClick() {
    if (Dados()->Editing() || Dados()->IsEmpty())
        return;
    TTabelaDataSet* curva = Dados();
    const QList<PassoCurva> passos = PassosDe(*tbPassos);
    TRelatorio relatorio(QStringLiteral("WTngGrafico"), QStringLiteral("Gráfico de Tingimento"), nullptr);
    relatorio.AdicionaCabecalho(QStringLiteral("Gráfico"),
                                curva->FieldByName(QStringLiteral("CODIGO")).AsString() +
                                    QStringLiteral(" - ") +
                                    curva->FieldByName(QStringLiteral("DESCRICAO")).AsString());
    const QStringList rotulos = {QStringLiteral("Água"), QStringLiteral("Vapor"), QStringLiteral("Energia"),
                                 QStringLiteral("Gás"), QStringLiteral("Outros")};
    QStringList consumos;
    for (qsizetype i = 0; i < kConsumos.size(); ++i)
        consumos << rotulos[i] + QLatin1Char(' ') +
                        TextoExibicao(curva->FieldByName(kConsumos[i]).AsFloat(), 3);
    relatorio.AdicionaCabecalho(QStringLiteral("Consumos"), consumos.join(QStringLiteral("    ")));
    relatorio.AdicionaCabecalho(QStringLiteral("Tempo"),
                                curva->FieldByName(QStringLiteral("TEMPO")).AsString());
    const QString obs = curva->FieldByName(QStringLiteral("OBS")).AsString().simplified();
    if (!obs.isEmpty())
        relatorio.AdicionaCabecalho(QStringLiteral("Obs."), obs);
    relatorio.DefineDesenho(
        [passos](QPainter& pintor, const QRectF& area) { DesenhaCurvaComPassos(pintor, area, passos); });
    // The picture is a copy for the user's files; the print does not depend on it.
    GravaFiguraCurva(passos, ArquivoFiguraCurva());
    Chama_RelatorioWin(relatorio, this);
}
