#include "RelTngGantt.h"
#include "CaixaPesquisa.h"
#include "CorSistema.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "DataSetModel.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "GradeEdicao.h"
#include "GravacaoAtomica.h"
#include "HostError.h"
#include "HostUi.h"
#include "Mensagens.h"
#include "ModuleUnits.h"
#include "OuvinteEvento.h"
#include "Protecao.h"
#include "Relatorio.h"
#include "TClientDataSet.h"
#include "TZoDatabase.h"
#include "TZoQuery.h"
#include <QApplication>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTimer>

TfmRelTngGantt* fmRelTngGantt = nullptr;

KELM_SCREEN_UNIT(RelTngGantt, TfmRelTngGantt);

namespace {
constexpr int kAlturaLinha = 26;
constexpr int kAlturaBarra = kAlturaLinha - 6;
constexpr int kLarguraMaquinas = 170;
constexpr int kAlturaCabecalho = 22;
// Header scenes reach past the map by a scroll bar's width, so they scroll as far as the map does.
constexpr int kFolga = 40;
const QString kMaquinaInvalida = QStringLiteral("Máquina Inválida.");
const QString kFilasMudaram = QStringLiteral("Outro usuário alterou as filas enquanto as perguntas eram "
                                             "respondidas. Nada foi gravado; grave de novo.");

QString texto(const TDataSet& dados, int linha, const char* campo) {
    return dados.TextoEm(linha, QLatin1String(campo));
}
} // namespace

TfmRelTngGantt::TfmRelTngGantt(QWidget* parent)
    : TForm(parent), TbGridQuadro(new TClientDataSet(this)), TbFalsSemOrd(new TClientDataSet(this)),
      m_cenaMapa(new QGraphicsScene(this)), m_cenaDias(new QGraphicsScene(this)),
      m_cenaHoras(new QGraphicsScene(this)), m_cenaMaquinas(new QGraphicsScene(this)),
      m_menuMapa(new QMenu(this)) {
    setObjectName(QStringLiteral("fmRelTngGantt"));
    setWindowTitle(QStringLiteral("Mapa de Produção - Gantt"));
    ui.setupUi(this);
    PublicaInstancia(fmRelTngGantt);
}

void TfmRelTngGantt::FormCreate() {
    ui.CbTipo->addItems({QStringLiteral("0 - Todos"), QStringLiteral("1 - Tingimento"),
                         QStringLiteral("2 - Acabamento"), QStringLiteral("3 - Manual")});
    ui.EdtDataIni->setText(QStringLiteral("01/01/1900"));
    ui.EdtDataFim->setText(QStringLiteral("01/01/2050"));
    ui.GvMapa->setScene(m_cenaMapa);
    ui.GvDias->setScene(m_cenaDias);
    ui.GvHoras->setScene(m_cenaHoras);
    ui.GvMaquinas->setScene(m_cenaMaquinas);
    ui.LbMaquinas->setFixedWidth(kLarguraMaquinas);
    // The headers follow the map's scroll bars.
    connect(ui.GvMapa->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int valor) {
        ui.GvDias->horizontalScrollBar()->setValue(valor);
        ui.GvHoras->horizontalScrollBar()->setValue(valor);
    });
    connect(ui.GvMapa->verticalScrollBar(), &QScrollBar::valueChanged, ui.GvMaquinas->verticalScrollBar(),
            &QScrollBar::setValue);
    ui.GvMapa->viewport()->installEventFilter(this);
    // Other users' commits to the queues redraw a map that is shown.
    m_ouvinte = new OuvinteEvento(*ConexaoHost(), QStringLiteral("FILA_PRODUCAO"), 250, this);
    connect(m_ouvinte, &OuvinteEvento::Chegou, this, [this] {
        if (!m_fase.isEmpty())
            QuandoLivre([this] { Atualiza(); });
    });
    PreparaGrades();
    PreparaMenu();
    DeclaraCaixas();
    const QList<QPair<QAbstractButton*, void (TfmRelTngGantt::*)()>> botoes = {
        {ui.BtnAtualizar, &TfmRelTngGantt::BtnAtualizarClick},
        {ui.BtnGGravar, &TfmRelTngGantt::BtnGGravarClick},
        {ui.BtnConsultar, &TfmRelTngGantt::BtnConsultarClick},
        {ui.BtnGravar, &TfmRelTngGantt::BtnGravarClick},
        {ui.BtnImprimir, &TfmRelTngGantt::BtnImprimirClick}};
    for (const auto& [botao, acao] : botoes)
        connect(botao, &QAbstractButton::clicked, this, Protegido([this, acao] { (this->*acao)(); }));
    connect(ui.BtnAdiar, &QPushButton::clicked, this, Protegido([this] { Adiar(1); }));
    connect(ui.BtnAntecipar, &QPushButton::clicked, this, Protegido([this] { Antecipar(1); }));
    connect(ui.BitBtn4, &QPushButton::toggled, this,
            Protegido([this](bool cheia) { ui.PnlLista->setVisible(!cheia); }));
    DicaTeclas({ui.GvMapa}, QStringLiteral("Setas: barra anterior ou seguinte · Shift+F10: menu da barra · "
                                           "arraste a barra para outra posição ou máquina"));
    VigiaAlteracoes({TbGridQuadro}, {}, ui.BtnGGravar);
    ui.PageControl1->setCurrentWidget(ui.TsProgramacao);
    ui.EdtCodFase->setFocus();
}

void TfmRelTngGantt::DeclaraCaixas() {
    DeclaracaoCaixa fase{.caixa = ui.EdtCodFase,
                         .descricao = ui.EdtDesFase,
                         .botao = ui.BtnFase,
                         .titulo = QStringLiteral("Fases"),
                         .tabela = QStringLiteral("FASE"),
                         .recusa = QStringLiteral("Fase não cadastrada.")};
    fase.aoAceitar = [this] { Recarrega(); };
    DeclaraCaixa(fase);
    DeclaracaoCaixa cliente{.caixa = ui.EdtCodCli,
                            .descricao = ui.EdtNomCli,
                            .botao = ui.BtnCliente,
                            .titulo = QStringLiteral("Clientes"),
                            .tabela = QStringLiteral("ENTIDADE"),
                            .chave = QStringLiteral("CODCLI"),
                            .campoDescricao = QStringLiteral("NOME"),
                            .recusa = QStringLiteral("Cliente não encontrado.")};
    // The customer chosen up top has his bars marked.
    cliente.aoAceitar = [this] {
        m_destaque = {QStringLiteral("CLIENTE"), ui.EdtCodCli->text().trimmed()};
        MostraSelecao();
    };
    DeclaraCaixa(cliente);
    DeclaraCaixa({.caixa = ui.EdtFases,
                  .botao = ui.BtnFases,
                  .titulo = QStringLiteral("Fases"),
                  .tabela = QStringLiteral("FASE"),
                  .lista = true});
    DeclaraCaixa({.caixa = ui.EdtClientes,
                  .botao = ui.BtnClientes,
                  .titulo = QStringLiteral("Clientes"),
                  .tabela = QStringLiteral("ENTIDADE"),
                  .chave = QStringLiteral("CODCLI"),
                  .campoDescricao = QStringLiteral("NOME"),
                  .lista = true});
}

void TfmRelTngGantt::PreparaGrades() {
    TbGridQuadro->setObjectName(QStringLiteral("TbGridQuadro"));
    TbGridQuadro->AddField(QStringLiteral("NUMERO"), QMetaType::QString, 7)
        .AddField(QStringLiteral("MAQUINA"), QMetaType::QString, 3)
        .AddField(QStringLiteral("DESC_MAQUINA"), QMetaType::QString, 50)
        .AddField(QStringLiteral("ORDEM"), QMetaType::Int)
        .AddField(QStringLiteral("CLIENTE"), QMetaType::QString, 5)
        .AddField(QStringLiteral("DESC_CLIENTE"), QMetaType::QString, 60)
        .AddField(QStringLiteral("COR"), QMetaType::QString, 10)
        .AddField(QStringLiteral("DESC_COR"), QMetaType::QString, 50)
        .AddField(QStringLiteral("VARIANTE"), QMetaType::QString, 4)
        .AddField(QStringLiteral("DESC_VARIANTE"), QMetaType::QString, 50)
        .AddField(QStringLiteral("PESO"), QMetaType::Double)
        .AddField(QStringLiteral("TEMPO"), QMetaType::QString, 8)
        .AddField(QStringLiteral("DATA_INI"), QMetaType::QDate)
        .AddField(QStringLiteral("HORA_INI"), QMetaType::QString, 8)
        .AddField(QStringLiteral("DATA_FIM"), QMetaType::QDate)
        .AddField(QStringLiteral("HORA_FIM"), QMetaType::QString, 8)
        .AddField(QStringLiteral("PARTIDA"), QMetaType::QString, 6)
        .AddField(QStringLiteral("PROGRAMACAO"), QMetaType::QString, 6);
    TbGridQuadro->CreateDataSet();
    ui.TIDBGrid1->SetDataSet(TbGridQuadro);
    ui.TIDBGrid1->DeclaraColunas(
        {ColunaGrade("NUMERO", "Número").SomenteLeitura(),
         {"MAQUINA", "Máquina"},
         ColunaGrade("DESC_MAQUINA", "Descrição da máquina").Largura(16).SomenteLeitura(),
         {"ORDEM", "Ordem"},
         ColunaGrade("CLIENTE", "Cliente").SomenteLeitura(),
         ColunaGrade("DESC_CLIENTE", "Nome").Largura(18).SomenteLeitura(),
         ColunaGrade("COR", "Cor").SomenteLeitura(),
         ColunaGrade("DESC_COR", "Descrição da cor").Largura(16).SomenteLeitura(),
         ColunaGrade("VARIANTE", "Var.").SomenteLeitura(),
         ColunaGrade("PESO", "Peso (kg)").Casas(2).SomenteLeitura(),
         ColunaGrade("TEMPO", "Tempo").SomenteLeitura(),
         ColunaGrade("DATA_INI", "Dia início").SomenteLeitura(),
         ColunaGrade("HORA_INI", "Início").SomenteLeitura(),
         ColunaGrade("DATA_FIM", "Dia fim").SomenteLeitura(),
         ColunaGrade("HORA_FIM", "Fim").SomenteLeitura(),
         ColunaGrade("PARTIDA", "Partida").SomenteLeitura(),
         ColunaGrade("PROGRAMACAO", "Programação").SomenteLeitura().Estica()});
    // The rows are the map's and the consult's: the user adds and removes none.
    const auto recusaLinha = [this](TDataSet&) {
        if (!m_carregando)
            throw EAbort();
    };
    TbGridQuadro->BeforeInsert = recusaLinha;
    TbGridQuadro->BeforeDelete = recusaLinha;
    TbGridQuadro->BeforePost = [this](TDataSet& linha) {
        if (!m_carregando)
            ConfereMaquina(linha);
    };
    connect(TbGridQuadro, &TDataSet::scrolled, this, Protegido([this] { MostraSelecao(); }));

    TbFalsSemOrd->setObjectName(QStringLiteral("TbFalsSemOrd"));
    TbFalsSemOrd->AddField(QStringLiteral("SEL"), QMetaType::QString, 1)
        .AddField(QStringLiteral("NUMERO"), QMetaType::QString, 7)
        .AddField(QStringLiteral("DT_EMISSAO"), QMetaType::QDate)
        .AddField(QStringLiteral("MAQUINA"), QMetaType::QString, 3)
        .AddField(QStringLiteral("DESC_MAQUINA"), QMetaType::QString, 50)
        .AddField(QStringLiteral("ORDEM"), QMetaType::Int)
        .AddField(QStringLiteral("FASE"), QMetaType::QString, 3)
        .AddField(QStringLiteral("DESC_FASE"), QMetaType::QString, 50)
        .AddField(QStringLiteral("CLIENTE"), QMetaType::QString, 5)
        .AddField(QStringLiteral("DESC_CLIENTE"), QMetaType::QString, 60)
        .AddField(QStringLiteral("COR"), QMetaType::QString, 10)
        .AddField(QStringLiteral("DESC_COR"), QMetaType::QString, 50)
        .AddField(QStringLiteral("VARIANTE"), QMetaType::QString, 4)
        .AddField(QStringLiteral("DESC_VARIANTE"), QMetaType::QString, 50)
        .AddField(QStringLiteral("PESO"), QMetaType::Double)
        .AddField(QStringLiteral("TEMPO"), QMetaType::QString, 8);
    TbFalsSemOrd->CreateDataSet();
    ui.GridFalsSemOrd->SetDataSet(TbFalsSemOrd);
    DataSetModel::Of(TbFalsSemOrd)->SetCheckField(QStringLiteral("SEL"));
    ui.GridFalsSemOrd->DeclaraColunas(
        {{"SEL", "Sel."},
         ColunaGrade("NUMERO", "FAL").SomenteLeitura(),
         ColunaGrade("DT_EMISSAO", "Emissão").SomenteLeitura(),
         {"MAQUINA", "Máquina"},
         ColunaGrade("DESC_MAQUINA", "Descrição da máquina").Largura(16).SomenteLeitura(),
         {"ORDEM", "Ordem"},
         ColunaGrade("FASE", "Fase").SomenteLeitura(),
         ColunaGrade("DESC_FASE", "Descrição da fase").Largura(14).SomenteLeitura(),
         ColunaGrade("CLIENTE", "Cliente").SomenteLeitura(),
         ColunaGrade("DESC_CLIENTE", "Nome").Largura(18).SomenteLeitura(),
         ColunaGrade("COR", "Cor").SomenteLeitura(),
         ColunaGrade("DESC_COR", "Descrição da cor").Largura(14).SomenteLeitura(),
         ColunaGrade("VARIANTE", "Var.").SomenteLeitura(),
         ColunaGrade("PESO", "Peso (kg)").Casas(2).SomenteLeitura(),
         ColunaGrade("TEMPO", "Tempo").SomenteLeitura().Estica()});
    TbFalsSemOrd->BeforeInsert = recusaLinha;
    TbFalsSemOrd->BeforeDelete = recusaLinha;
    TbFalsSemOrd->BeforePost = [this](TDataSet& linha) {
        if (!m_carregando)
            TbFalsSemOrdBeforePost(linha);
    };
    // A FAL marked takes the next free position of its machine.
    const int sel = TbFalsSemOrd->FieldIndex(QStringLiteral("SEL"));
    connect(TbFalsSemOrd, &TDataSet::rowChanged, this, Protegido([this, sel](int linha, int campo) {
                if (campo != sel || texto(*TbFalsSemOrd, linha, "SEL") != u"S" ||
                    TbFalsSemOrd->NumeroEm(linha, QStringLiteral("ORDEM")) > 0)
                    return;
                const QString maquina = texto(*TbFalsSemOrd, linha, "MAQUINA");
                if (maquina.isEmpty())
                    return;
                TbFalsSemOrd->SetValueAt(linha, TbFalsSemOrd->FieldIndex(QStringLiteral("ORDEM")),
                                         ProximaOrdem(maquina));
            }));

    for (TZoDBGrid* grade : {ui.TIDBGrid1, ui.GridFalsSemOrd}) {
        grade->OnKeyDown = [this, grade](QKeyEvent* tecla) {
            if (tecla->key() != Qt::Key_F4 || grade->SelectedField() != u"MAQUINA")
                return false;
            PesquisaNaCelula(this, *grade->DataSet(),
                             {.titulo = QStringLiteral("Máquinas"),
                              .tabela = QStringLiteral("MAQ_TIN"),
                              .campo = QStringLiteral("MAQUINA"),
                              .campoDescricao = QStringLiteral("DESC_MAQUINA")});
            return true;
        };
        DicaTeclas({grade}, QStringLiteral("F4: máquinas (coluna Máquina)"));
    }
}

void TfmRelTngGantt::PreparaMenu() {
    const auto ligaMenu = [this](QMenu* menu) {
        connect(menu, &QMenu::aboutToHide, this, [this] {
            if (m_atualizacaoAdiada)
                QTimer::singleShot(0, this, Protegido([this] { Atualiza(); }));
        });
    };
    const struct {
        const char* nome;
        const char* texto;
        std::function<void()> acao;
    } itens[] = {
        {"Adiar1", "Adiar 1", [this] { Adiar(1); }},
        {"Adiar2", "Adiar 2", [this] { Adiar(2); }},
        {"Adiar3", "Adiar 3", [this] { Adiar(3); }},
        {"Adiar10", "Adiar 10", [this] { Adiar(10); }},
        {"Antecipar1", "Antecipar 1", [this] { Antecipar(1); }},
        {"Antecipar2", "Antecipar 2", [this] { Antecipar(2); }},
        {"Antecipar3", "Antecipar 3", [this] { Antecipar(3); }},
        {"Antecipar10", "Antecipar 10", [this] { Antecipar(10); }},
        {"DestacarCliente1", "Destacar Cliente", [this] { DestacarCliente1Click(); }},
        {"DestacarProgramao1", "Destacar Programação", [this] { DestacarProgramao1Click(); }},
        {"LimparDestaques1", "Limpar Destaques", [this] { LimparDestaques1Click(); }},
    };
    QAction* primeiro = nullptr;
    for (const auto& item : itens) {
        QAction* acao = AcaoMenuGrade(ui.TIDBGrid1, item.nome, QString::fromUtf8(item.texto), item.acao);
        // The bar's menu is the same items: what they act on is the list's current row, the bar selected.
        m_menuMapa->addAction(acao);
        primeiro = primeiro ? primeiro : acao;
    }
    ligaMenu(m_menuMapa);
    for (QObject* dono : primeiro->associatedObjects())
        if (auto* menu = qobject_cast<QMenu*>(dono); menu && menu != m_menuMapa)
            ligaMenu(menu);
}

// ---- reading and drawing

bool TfmRelTngGantt::PodeAtualizar() const {
    return !m_arrastando && m_barraArrastada < 0 && !QApplication::activePopupWidget() &&
           !TbGridQuadro->Editing() && TbGridQuadro->UserEdits() == m_edicoesGravadas;
}

void TfmRelTngGantt::Atualiza() {
    if (!PodeAtualizar()) {
        m_atualizacaoAdiada = true;
        return;
    }
    Recarrega();
}

// Our commit announces itself on FILA_PRODUCAO and the listener reloads the map then. Reload here when it
// would not: no listener, or a refresh it puts off (a drag, list edits) or has put off already.
void TfmRelTngGantt::RecarregaAposGravar() {
    if (!m_ouvinte->Ativo() || !PodeAtualizar() || m_atualizacaoAdiada)
        Recarrega();
    else
        m_recargaDevida = true;
}

// Until our commit's event comes the bars are those before it: a move counts on them only read again.
void TfmRelTngGantt::RecarregaSeDevida() {
    if (m_recargaDevida)
        Recarrega();
}

void TfmRelTngGantt::BtnAtualizarClick() {
    ConcluiEdicaoGrades(false);
    TbGridQuadro->Cancel();
    if (ui.EdtCodFase->text().trimmed().isEmpty()) {
        Recusa(ui.EdtCodFase, QStringLiteral("Informe a fase."));
        return;
    }
    Recarrega();
}

void TfmRelTngGantt::Recarrega() {
    Ocupado(true, this);
    const auto livre = qScopeGuard([this] { Ocupado(false, this); });
    const QString atual =
        TbGridQuadro->IsEmpty() ? QString() : texto(*TbGridQuadro, TbGridQuadro->RecNo(), "NUMERO");
    const int horizontal = ui.GvMapa->horizontalScrollBar()->value();
    const int vertical = ui.GvMapa->verticalScrollBar()->value();
    m_atualizacaoAdiada = false;
    m_recargaDevida = false;
    m_fase = ui.EdtCodFase->text().trimmed();
    const QString tipo = QString::number(std::max(0, ui.CbTipo->currentIndex()));
    const QList<LinhaMapa> linhas = m_fase.isEmpty() ? QList<LinhaMapa>() : LeFalsDoMapa(m_fase, tipo);
    QStringList comFals;
    for (const LinhaMapa& l : linhas)
        if (!comFals.contains(l.fal.maquina))
            comFals << l.fal.maquina;
    m_maquinas = m_fase.isEmpty() ? QList<MaquinaMapa>() : LeMaquinasDoMapa(m_fase, tipo, comFals);
    CarregaFals(linhas);
    CarregaMaquinas();
    CarregaHoras();
    PreencheGrid();
    if (!atual.isEmpty())
        TbGridQuadro->Locate(QStringLiteral("NUMERO"), {atual});
    MostraSelecao();
    ui.GvMapa->horizontalScrollBar()->setValue(horizontal);
    ui.GvMapa->verticalScrollBar()->setValue(vertical);
    m_edicoesGravadas = TbGridQuadro->UserEdits();
    AlteracoesGravadas();
}

void TfmRelTngGantt::CarregaFals(const QList<LinhaMapa>& linhas) {
    m_fals.clear();
    m_carregadas.clear();
    QList<FalMapa> fals;
    QList<QDateTime> inicios;
    for (const LinhaMapa& l : linhas) {
        m_fals.insert(l.fal.numero, l);
        m_carregadas.insert(l.fal.numero, {l.fal.maquina, l.fal.ordem});
        fals << l.fal;
        if (l.fal.inicio)
            inicios << *l.fal.inicio;
    }
    const QDateTime agora = QDateTime::currentDateTime();
    m_origem = OrigemDoMapa(inicios, agora);
    m_barras = AgrupaBarras(fals);
    PosicionaBarras(m_barras, m_origem, agora);
    m_barraDaFal.clear();
    for (int b = 0; b < m_barras.size(); ++b)
        for (const QString& fal : std::as_const(m_barras[b].fals))
            m_barraDaFal.insert(fal, b);
}

void TfmRelTngGantt::CarregaMaquinas() {
    m_cenaMaquinas->clear();
    for (int i = 0; i < m_maquinas.size(); ++i) {
        const MaquinaMapa& m = m_maquinas[i];
        m_cenaMaquinas->addRect(0, i * kAlturaLinha, kLarguraMaquinas - 1, kAlturaLinha, QPen(Qt::gray),
                                QColor(0xf0, 0xf0, 0xf0));
        auto* rotulo = m_cenaMaquinas->addSimpleText(m.codigo + QStringLiteral(" - ") + m.descricao);
        rotulo->setPos(4, i * kAlturaLinha + 5);
    }
    m_cenaMaquinas->setSceneRect(0, 0, kLarguraMaquinas, double(m_maquinas.size()) * kAlturaLinha + kFolga);
}

void TfmRelTngGantt::CarregaHoras() {
    m_horas = HorasDoMapa(m_origem);
    m_cenaHoras->clear();
    m_cenaDias->clear();
    for (const HoraMapa& h : std::as_const(m_horas)) {
        m_cenaHoras->addRect(h.id * kPixelsPorHora, 0, kPixelsPorHora, kAlturaCabecalho - 1, QPen(Qt::gray));
        m_cenaHoras->addSimpleText(h.hora + QStringLiteral(":00"))->setPos(h.id * kPixelsPorHora + 12, 3);
    }
    for (int i = 0; i < m_horas.size();) {
        int fim = i;
        while (fim < m_horas.size() && m_horas[fim].dia == m_horas[i].dia)
            ++fim;
        m_cenaDias->addRect(i * kPixelsPorHora, 0, (fim - i) * kPixelsPorHora, kAlturaCabecalho - 1,
                            QPen(Qt::gray), QColor(0xe8, 0xe8, 0xf4));
        m_cenaDias->addSimpleText(TextoExibicao(m_horas[i].dia))->setPos(i * kPixelsPorHora + 4, 3);
        i = fim;
    }
    m_cenaHoras->setSceneRect(0, 0, kLarguraMapa + kFolga, kAlturaCabecalho);
    m_cenaDias->setSceneRect(0, 0, kLarguraMapa + kFolga, kAlturaCabecalho);
}

void TfmRelTngGantt::PreencheGrid() {
    m_cenaMapa->clear();
    m_sombra = nullptr;
    m_itens.clear();
    const int altura = std::max(1, int(m_maquinas.size())) * kAlturaLinha;
    m_cenaMapa->setSceneRect(0, 0, kLarguraMapa, altura);
    for (int h = 1; h < kHorasMapa; ++h)
        m_cenaMapa->addLine(h * kPixelsPorHora, 0, h * kPixelsPorHora, altura,
                            QPen(QColor(0xdd, 0xdd, 0xdd)));
    for (int i = 1; i <= m_maquinas.size(); ++i)
        m_cenaMapa->addLine(0, i * kAlturaLinha, kLarguraMapa, i * kAlturaLinha,
                            QPen(QColor(0xcc, 0xcc, 0xcc)));
    const int agora = PixelDoMomento(m_origem, QDateTime::currentDateTime());
    m_cenaMapa->addLine(agora, 0, agora, altura, QPen(Qt::red, 1, Qt::DashLine));

    TbGridQuadro->DisableControls();
    m_carregando = true;
    const auto reativa = qScopeGuard([this] {
        m_carregando = false;
        TbGridQuadro->EnableControls();
    });
    TbGridQuadro->EmptyDataSet();
    for (int b = 0; b < m_barras.size(); ++b) {
        const BarraMapa& barra = m_barras[b];
        QGraphicsRectItem* item = nullptr;
        if (barra.desenhada) {
            const QColor fundo =
                CorDoSistema(barra.corSis).isValid() ? CorDoSistema(barra.corSis) : QColor(Qt::lightGray);
            const int y = LinhaDaMaquina(barra.maquina) * kAlturaLinha + 3;
            item = m_cenaMapa->addRect(barra.x, y, barra.largura, kAlturaBarra, QPen(Qt::darkGray), fundo);
            item->setFlag(QGraphicsItem::ItemClipsChildrenToShape);
            item->setData(0, b);
            item->setToolTip(barra.Legenda());
            auto* legenda = new QGraphicsSimpleTextItem(barra.Legenda(), item);
            legenda->setBrush(TextoSobre(fundo));
            legenda->setPos(barra.x + 3, y + 3);
        }
        m_itens << item;
        const QDateTime inicio = MomentoDoPixel(m_origem, barra.x);
        const QDateTime fim = MomentoDoPixel(m_origem, barra.x + barra.largura);
        for (const QString& numero : barra.fals) {
            const LinhaMapa& l = m_fals[numero];
            TbGridQuadro->Append();
            const QList<std::pair<const char*, QVariant>> valores = {{"NUMERO", numero},
                                                                     {"MAQUINA", l.fal.maquina},
                                                                     {"DESC_MAQUINA", l.descMaquina},
                                                                     {"ORDEM", l.fal.ordem},
                                                                     {"CLIENTE", l.cliente},
                                                                     {"DESC_CLIENTE", l.descCliente},
                                                                     {"COR", l.fal.cor},
                                                                     {"DESC_COR", l.descCor},
                                                                     {"VARIANTE", l.variante},
                                                                     {"DESC_VARIANTE", l.descVariante},
                                                                     {"PESO", l.peso},
                                                                     {"TEMPO", l.fal.tempo},
                                                                     {"DATA_INI", inicio.date()},
                                                                     {"HORA_INI", HoraDoMapa(inicio)},
                                                                     {"DATA_FIM", fim.date()},
                                                                     {"HORA_FIM", HoraDoMapa(fim)},
                                                                     {"PARTIDA", l.partida},
                                                                     {"PROGRAMACAO", l.programacao}};
            for (const auto& [campo, valor] : valores)
                TbGridQuadro->FieldByName(QLatin1String(campo)) = valor;
            TbGridQuadro->Post();
        }
    }
    TbGridQuadro->First();
}

int TfmRelTngGantt::LinhaDaMaquina(const QString& maquina) const {
    for (int i = 0; i < m_maquinas.size(); ++i)
        if (m_maquinas[i].codigo == maquina)
            return i;
    return -1;
}

// The machine's bars in the order they lie on its row.
QList<int> TfmRelTngGantt::BarrasDaMaquina(const QString& maquina) const {
    QList<int> barras;
    for (int b = 0; b < m_barras.size(); ++b)
        if (m_barras[b].maquina == maquina)
            barras << b;
    return barras;
}

int TfmRelTngGantt::BarraAtual() const {
    if (TbGridQuadro->IsEmpty() || TbGridQuadro->RecNo() < 0)
        return -1;
    return m_barraDaFal.value(texto(*TbGridQuadro, TbGridQuadro->RecNo(), "NUMERO"), -1);
}

void TfmRelTngGantt::SelecionaBarra(int barra) {
    if (barra < 0 || barra >= m_barras.size())
        return;
    if (BarraAtual() != barra)
        TbGridQuadro->Locate(QStringLiteral("NUMERO"), {m_barras[barra].fals.first()});
    MostraSelecao();
}

// The bar selected dashed in blue, the highlighted ones with a thick red outline.
void TfmRelTngGantt::MostraSelecao() {
    const int atual = BarraAtual();
    for (int b = 0; b < m_itens.size(); ++b) {
        QGraphicsRectItem* item = m_itens[b];
        if (!item)
            continue;
        bool destacada = false;
        if (!m_destaque.campo.isEmpty() && !m_destaque.valor.isEmpty())
            for (const QString& fal : std::as_const(m_barras[b].fals)) {
                const LinhaMapa& l = m_fals[fal];
                destacada |= (m_destaque.campo == u"CLIENTE" ? l.cliente : l.programacao) == m_destaque.valor;
            }
        QPen pena(destacada ? QColor(Qt::red) : QColor(Qt::darkGray), destacada ? 4 : 1);
        if (b == atual) {
            pena.setColor(Qt::blue);
            pena.setWidth(std::max(2, pena.width()));
            pena.setStyle(Qt::DashLine);
        }
        item->setPen(pena);
        item->setZValue(b == atual ? 1 : 0);
        if (b == atual)
            ui.GvMapa->ensureVisible(item, 20, 10);
    }
}

// ---- moves

void TfmRelTngGantt::Adiar(int n) {
    MoveBarra(n);
}

void TfmRelTngGantt::Antecipar(int n) {
    MoveBarra(-n);
}

void TfmRelTngGantt::MoveBarra(int passos) {
    ConcluiEdicaoGrades(false);
    TbGridQuadro->Cancel();
    RecarregaSeDevida();
    const int barra = BarraAtual();
    if (barra < 0)
        return;
    const QList<int> barras = BarrasDaMaquina(m_barras[barra].maquina);
    QList<int> ordens;
    for (int b : barras)
        ordens << m_barras[b].ordem;
    const DestinoBarra destino = DestinoMovimento(ordens, int(barras.indexOf(barra)), passos);
    if (destino.move)
        ColocaBarra(barra, m_barras[barra].maquina, destino.ordem, Colocacao::Insere);
}

// A bar's FALs to a machine position: the first one placed as the caller says, the others grouped with it.
void TfmRelTngGantt::ColocaBarra(int barra, const QString& maquina, int ordem, Colocacao modo) {
    const BarraMapa b = m_barras[barra];
    const auto coloca = [&](Gravacao& g) {
        for (const QString& fal : b.fals)
            if (AtualizaOrdemMaquina(g, fal, maquina, b.cor, m_fase, ordem,
                                     fal == b.fals.first() ? modo : Colocacao::Junta) != Resultado::Gravada)
                return false;
        return true;
    };
    if (ColocaFals(b.fals, {maquina}, coloca, modo == Colocacao::Pergunta))
        RecarregaAposGravar();
}

// Two passes, so that no row stays locked while a question waits: every question asked on the queues as
// read, nothing written; then in one unit of work the queues read again, the same placing with the answers
// given, and its writes. Questions that would now differ (a queue changed meanwhile) refuse the save.
// `coloca` places each FAL through AtualizaOrdemMaquina and answers false when the save stops; without
// `pergunta` it neither asks nor reads the queues (only Insere and Junta), and runs once, in the unit.
bool TfmRelTngGantt::ColocaFals(const QStringList& fals, const QStringList& maquinas,
                                const std::function<bool(Gravacao&)>& coloca, bool pergunta) {
    Gravacao perguntas;
    if (pergunta) {
        perguntas.filas = ColocacaoFal().Filas(maquinas, fals);
        if (!coloca(perguntas)) {
            if (!perguntas.parada.isEmpty())
                Informa(this, perguntas.parada);
            return false;
        }
    }
    Gravacao g;
    g.respostas = perguntas.respostas;
    g.repete = true;
    bool gravou = false;
    {
        GravacaoAtomica unidade;
        ColocacaoFal sql;
        if (pergunta)
            g.filas = sql.Filas(maquinas, fals);
        gravou = coloca(g) && !g.mudou && g.respondidas == g.respostas.size();
        if (gravou) {
            for (const PassoColocacao& p : std::as_const(g.passos))
                if (p.abreEspaco)
                    sql.AbreEspaco(p.maquina, p.ordem, p.fal);
                else
                    sql.Grava(p.fal, p.maquina, p.ordem);
            unidade.Confirma();
        }
    }
    if (!gravou)
        Informa(this, g.parada.isEmpty() ? kFilasMudaram : g.parada);
    return gravou;
}

// The answer to a clash question: asked in the first pass, the one given replayed in the second; -1 when
// the second meets a question the first did not ask.
int TfmRelTngGantt::Resposta(Gravacao& g, const QString& texto, const std::function<int()>& pergunta) {
    if (!g.repete) {
        const int resposta = pergunta();
        g.respostas.append({texto, resposta});
        return resposta;
    }
    if (!g.mudou && g.respondidas < g.respostas.size() && g.respostas[g.respondidas].first == texto)
        return g.respostas[g.respondidas++].second;
    g.mudou = true;
    return -1;
}

// Where a FAL goes, planned on the queues in memory: the writes it takes are added to the save's.
TfmRelTngGantt::Resultado TfmRelTngGantt::AtualizaOrdemMaquina(Gravacao& g, const QString& fal,
                                                               const QString& maquina, const QString& cor,
                                                               const QString& fase, int ordem,
                                                               Colocacao modo) {
    const auto escreve = [&g](const PassoColocacao& passo) {
        g.passos << passo;
        AplicaPasso(g.filas, passo);
    };
    if (modo == Colocacao::Insere) {
        escreve({true, fal, maquina, ordem});
        escreve({false, fal, maquina, ordem});
        return Resultado::Gravada;
    }
    if (modo == Colocacao::Pergunta)
        for (const FalNaFila& o : OcupantesEm(g.filas, maquina, ordem, fal)) {
            if (g.naoTodos)
                return Resultado::Pulada;
            if (o.cor != cor) {
                const QString texto =
                    QStringLiteral("Ordem já existe na FAL %1 com cor diferente. Deseja substituir?")
                        .arg(o.numero);
                if (Resposta(g, texto, [&] { return Pergunta(this, windowTitle(), texto, false) ? 1 : 0; }) !=
                    1)
                    return Resultado::Parada;
                escreve({true, fal, maquina, ordem});
                break;
            }
            if (o.fase != fase) {
                g.parada =
                    QStringLiteral("Há FALs com mesma ordem e máquinas, mas fases diferentes. Impossível "
                                   "continuar. ");
                return Resultado::Parada;
            }
            const QString texto =
                QStringLiteral("Ordem já existe na FAL %1. Deseja substituir ou agrupar?").arg(o.numero);
            const int escolha = Resposta(g, texto, [&] {
                return Mensagens().Choose(this, windowTitle(), texto,
                                          {QStringLiteral("Substituir"), QStringLiteral("Agrupar"),
                                           QStringLiteral("Cancelar"), QStringLiteral("Não Todos")},
                                          0);
            });
            if (escolha == 0) {
                escreve({true, fal, maquina, ordem});
                break;
            }
            if (escolha == 3) {
                g.naoTodos = true;
                return Resultado::Pulada;
            }
            if (escolha != 1)
                return Resultado::Parada;
        }
    escreve({false, fal, maquina, ordem});
    return Resultado::Gravada;
}

void TfmRelTngGantt::BtnGGravarClick() {
    ConcluiEdicaoGrades(true);
    TbGridQuadro->CheckBrowseMode();
    // The rows changed since the load, and the machines they go to.
    QList<int> alteradas;
    QStringList fals, maquinas;
    for (int i = 0; i < TbGridQuadro->RecordCount(); ++i) {
        const QString fal = texto(*TbGridQuadro, i, "NUMERO");
        const QString maquina = texto(*TbGridQuadro, i, "MAQUINA");
        if (QPair(maquina, int(TbGridQuadro->NumeroEm(i, QStringLiteral("ORDEM")))) ==
            m_carregadas.value(fal))
            continue;
        alteradas << i;
        fals << fal;
        if (!maquinas.contains(maquina))
            maquinas << maquina;
    }
    bool pulou = false;
    QHash<QString, QPair<QString, int>> gravadas; // the rows written, as the list shows them
    const auto coloca = [&](Gravacao& g) {
        pulou = false;
        gravadas.clear();
        for (int i : std::as_const(alteradas)) {
            const QString fal = texto(*TbGridQuadro, i, "NUMERO");
            const QString maquina = texto(*TbGridQuadro, i, "MAQUINA");
            const int ordemDigitada = int(TbGridQuadro->NumeroEm(i, QStringLiteral("ORDEM")));
            const auto [maquinaLida, ordemLida] = m_carregadas.value(fal);
            int ordem = ordemDigitada;
            // Another machine, the position untouched: the end of that machine's queue.
            if (maquina != maquinaLida && ordem == ordemLida)
                ordem = MaiorOrdemEm(g.filas, maquina) + 1;
            // No position: back to "Não Programadas".
            const Colocacao modo = ordem > 0 ? Colocacao::Pergunta : Colocacao::Junta;
            const Resultado r = AtualizaOrdemMaquina(g, fal, maquina, texto(*TbGridQuadro, i, "COR"), m_fase,
                                                     std::max(0, ordem), modo);
            if (r == Resultado::Parada)
                return false;
            pulou |= r == Resultado::Pulada;
            if (r == Resultado::Gravada)
                gravadas.insert(fal, {maquina, ordemDigitada});
        }
        return true;
    };
    if (!alteradas.isEmpty() && !ColocaFals(fals, maquinas, coloca))
        return;
    // Until the reload the list keeps what was typed: a second save finds those rows stored. Rows passed
    // over keep edits not stored, which only a reload puts back.
    m_carregadas.insert(gravadas);
    if (!pulou) {
        m_edicoesGravadas = TbGridQuadro->UserEdits();
        AlteracoesGravadas();
    }
    RecarregaAposGravar();
}

// ---- "Não Programadas"

void TfmRelTngGantt::BtnConsultarClick() {
    FiltroSemOrdem filtro;
    filtro.de = LeData(ui.EdtDataIni->text().trimmed());
    filtro.ate = LeData(ui.EdtDataFim->text().trimmed());
    if (!filtro.de.isValid()) {
        Recusa(ui.EdtDataIni, QStringLiteral("Data inválida."));
        return;
    }
    if (!filtro.ate.isValid()) {
        Recusa(ui.EdtDataFim, QStringLiteral("Data inválida."));
        return;
    }
    filtro.fases = CodigosDaLista(ui.EdtFases->text());
    filtro.fals = CodigosDaLista(ui.EdtFals->text());
    filtro.clientes = CodigosDaLista(ui.EdtClientes->text());
    filtro.tipo = QString::number(std::max(0, ui.CbTipo->currentIndex()));
    TZoQuery q;
    q.SQL << SqlFalsSemOrdem(filtro);
    {
        Ocupado(true, this);
        const auto livre = qScopeGuard([this] { Ocupado(false, this); });
        q.Open();
    }
    TbFalsSemOrd->DisableControls();
    m_carregando = true;
    const auto reativa = qScopeGuard([this] {
        m_carregando = false;
        TbFalsSemOrd->EnableControls();
    });
    TbFalsSemOrd->EmptyDataSet();
    for (q.First(); !q.Eof(); q.Next()) {
        TbFalsSemOrd->Append();
        for (int campo = 0; campo < TbFalsSemOrd->FieldCount(); ++campo)
            TbFalsSemOrd->Fields(campo) = q.FieldByName(TbFalsSemOrd->FieldDefs()[campo].name).Value();
        TbFalsSemOrd->Post();
    }
    TbFalsSemOrd->First();
}

void TfmRelTngGantt::TbFalsSemOrdBeforePost(TDataSet& linha) {
    ConfereMaquina(linha);
    const int maquina = linha.FieldIndex(QStringLiteral("MAQUINA"));
    const int ordem = linha.FieldIndex(QStringLiteral("ORDEM"));
    // Another machine for a FAL marked: the end of that machine's queue, unless a position was typed too.
    if (linha.FieldByName(QStringLiteral("SEL")).AsString() == u"S" &&
        linha.CurrentValue(maquina) != linha.OldValue(maquina) &&
        linha.CurrentValue(ordem) == linha.OldValue(ordem)) {
        const QString codigo = linha.Fields(maquina).AsString().trimmed();
        linha.Fields(ordem) = codigo.isEmpty() ? 0 : ProximaOrdem(codigo);
    }
}

void TfmRelTngGantt::ConfereMaquina(TDataSet& linha) {
    const int campo = linha.FieldIndex(QStringLiteral("MAQUINA"));
    if (linha.CurrentValue(campo) == linha.OldValue(campo) && linha.State() == DataSetState::Edit)
        return;
    const QString maquina = linha.Fields(campo).AsString().trimmed();
    if (maquina.isEmpty()) {
        linha.FieldByName(QStringLiteral("DESC_MAQUINA")) = QString();
        return;
    }
    const std::optional<QString> descricao = DescricaoMaquina(maquina);
    if (!descricao) {
        Informa(this, kMaquinaInvalida);
        throw EAbort();
    }
    linha.FieldByName(QStringLiteral("DESC_MAQUINA")) = *descricao;
}

// Past the machine's open FALs and the positions given on this page; one set of statements for every call.
int TfmRelTngGantt::ProximaOrdem(const QString& maquina) {
    if (!m_ordens)
        m_ordens = std::make_unique<ColocacaoFal>();
    int maior = m_ordens->MaiorOrdem(maquina);
    for (int i = 0; i < TbFalsSemOrd->RecordCount(); ++i)
        if (texto(*TbFalsSemOrd, i, "MAQUINA") == maquina)
            maior = std::max(maior, int(TbFalsSemOrd->NumeroEm(i, QStringLiteral("ORDEM"))));
    return maior + 1;
}

void TfmRelTngGantt::BtnGravarClick() {
    ConcluiEdicaoGrades(true);
    TbFalsSemOrd->CheckBrowseMode();
    QList<int> marcadas;
    for (int i = 0; i < TbFalsSemOrd->RecordCount(); ++i)
        if (texto(*TbFalsSemOrd, i, "SEL") == u"S") {
            if (texto(*TbFalsSemOrd, i, "MAQUINA").isEmpty()) {
                TbFalsSemOrd->MoveTo(i);
                Informa(this, kMaquinaInvalida);
                return;
            }
            marcadas << i;
        }
    if (marcadas.isEmpty()) {
        Informa(this, QStringLiteral("Nenhuma FAL marcada."));
        return;
    }
    QStringList fals, maquinas;
    for (int i : std::as_const(marcadas)) {
        fals << texto(*TbFalsSemOrd, i, "NUMERO");
        if (const QString maquina = texto(*TbFalsSemOrd, i, "MAQUINA"); !maquinas.contains(maquina))
            maquinas << maquina;
    }
    const auto coloca = [&](Gravacao& g) {
        for (int i : std::as_const(marcadas)) {
            const QString maquina = texto(*TbFalsSemOrd, i, "MAQUINA");
            int ordem = int(TbFalsSemOrd->NumeroEm(i, QStringLiteral("ORDEM")));
            if (ordem <= 0)
                ordem = MaiorOrdemEm(g.filas, maquina) + 1;
            if (AtualizaOrdemMaquina(g, texto(*TbFalsSemOrd, i, "NUMERO"), maquina,
                                     texto(*TbFalsSemOrd, i, "COR"), texto(*TbFalsSemOrd, i, "FASE"), ordem,
                                     Colocacao::Pergunta) == Resultado::Parada)
                return false;
        }
        return true;
    };
    if (!ColocaFals(fals, maquinas, coloca))
        return;
    BtnConsultarClick();
    RecarregaAposGravar();
}

// ---- highlights

void TfmRelTngGantt::Destaca(const QString& campo) {
    if (TbGridQuadro->IsEmpty())
        return;
    m_destaque = {campo, TbGridQuadro->FieldByName(campo).AsString().trimmed()};
    MostraSelecao();
}

void TfmRelTngGantt::DestacarCliente1Click() {
    Destaca(QStringLiteral("CLIENTE"));
}

void TfmRelTngGantt::DestacarProgramao1Click() {
    Destaca(QStringLiteral("PROGRAMACAO"));
}

void TfmRelTngGantt::LimparDestaques1Click() {
    m_destaque = {};
    MostraSelecao();
}

// ---- mouse and keys on the map

bool TfmRelTngGantt::eventFilter(QObject* watched, QEvent* event) {
    if (watched != ui.GvMapa->viewport())
        return TForm::eventFilter(watched, event);
    bool tratado = false;
    ExecutaProtegido([&] {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            ui.GvMapa->setFocus(Qt::MouseFocusReason);
            Pressiona(mouse->position().toPoint(), mouse->button());
            tratado = true;
            break;
        }
        case QEvent::MouseMove:
            Arrasta(static_cast<QMouseEvent*>(event)->position().toPoint());
            tratado = m_arrastando;
            break;
        case QEvent::MouseButtonRelease:
            Solta(static_cast<QMouseEvent*>(event)->position().toPoint());
            tratado = true;
            break;
        default:
            break;
        }
    });
    return tratado;
}

namespace {
// The bar of `barras` that lies under a point of the map; -1 when none.
int barraEm(const QList<BarraMapa>& barras, const QString& maquina, qreal x) {
    for (int b = 0; b < barras.size(); ++b)
        if (barras[b].maquina == maquina && barras[b].desenhada && x >= barras[b].x &&
            x < barras[b].x + barras[b].largura)
            return b;
    return -1;
}
} // namespace

void TfmRelTngGantt::Pressiona(const QPoint& ponto, Qt::MouseButton botao) {
    if (PodeAtualizar())
        RecarregaSeDevida();
    const QPointF cena = ui.GvMapa->mapToScene(ponto);
    const int linha = int(cena.y()) / kAlturaLinha;
    if (cena.y() < 0 || linha >= m_maquinas.size())
        return;
    const int barra = barraEm(m_barras, m_maquinas[linha].codigo, cena.x());
    if (barra < 0)
        return;
    SelecionaBarra(barra);
    if (botao == Qt::RightButton) {
        m_menuMapa->popup(ui.GvMapa->viewport()->mapToGlobal(ponto));
        return;
    }
    if (botao == Qt::LeftButton) {
        m_barraArrastada = barra;
        m_inicioArrasto = ponto;
    }
}

void TfmRelTngGantt::Arrasta(const QPoint& ponto) {
    if (m_barraArrastada < 0)
        return;
    if (!m_arrastando && (ponto - m_inicioArrasto).manhattanLength() < QApplication::startDragDistance())
        return;
    m_arrastando = true;
    const QPointF cena = ui.GvMapa->mapToScene(ponto);
    const int linha = std::clamp(int(cena.y()) / kAlturaLinha, 0, std::max(0, int(m_maquinas.size()) - 1));
    if (!m_sombra) {
        m_sombra = m_cenaMapa->addRect(0, 0, m_barras[m_barraArrastada].largura, kAlturaBarra,
                                       QPen(Qt::black, 2, Qt::DotLine));
        m_sombra->setZValue(2);
    }
    m_sombra->setPos(cena.x(), linha * kAlturaLinha + 3);
}

void TfmRelTngGantt::Solta(const QPoint& ponto) {
    const int barra = std::exchange(m_barraArrastada, -1);
    const bool arrastou = std::exchange(m_arrastando, false);
    if (m_sombra) {
        delete m_sombra;
        m_sombra = nullptr;
    }
    if (barra < 0 || !arrastou)
        return;
    const QPointF cena = ui.GvMapa->mapToScene(ponto);
    const int linha = int(cena.y()) / kAlturaLinha;
    if (cena.y() < 0 || linha >= m_maquinas.size())
        return;
    const QString maquina = m_maquinas[linha].codigo;
    // Dropped on a bar, or in the gap before one: before that bar; past the last one: after it.
    const QList<int> barras = BarrasDaMaquina(maquina);
    QList<int> ordens;
    int alvo = -1;
    for (int i = 0; i < barras.size(); ++i) {
        ordens << m_barras[barras[i]].ordem;
        if (alvo < 0 && cena.x() < m_barras[barras[i]].x + m_barras[barras[i]].largura)
            alvo = i;
    }
    const bool mesmaLinha = maquina == m_barras[barra].maquina;
    const DestinoBarra destino = DestinoAntes(ordens, mesmaLinha ? int(barras.indexOf(barra)) : -1, alvo);
    if (destino.move)
        ColocaBarra(barra, maquina, destino.ordem, mesmaLinha ? Colocacao::Insere : Colocacao::Pergunta);
    else if (m_atualizacaoAdiada)
        Atualiza();
}

bool TfmRelTngGantt::TeclaControle(QWidget* control, QKeyEvent* key) {
    if (control != ui.GvMapa ||
        (key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)) != Qt::NoModifier)
        return TForm::TeclaControle(control, key);
    const int atual = BarraAtual();
    if ((key->key() == Qt::Key_F10 && key->modifiers().testFlag(Qt::ShiftModifier)) ||
        key->key() == Qt::Key_Menu) {
        if (atual >= 0 && m_itens.value(atual))
            m_menuMapa->popup(ui.GvMapa->viewport()->mapToGlobal(
                ui.GvMapa->mapFromScene(m_itens[atual]->rect().bottomLeft())));
        return true;
    }
    if (key->key() == Qt::Key_Right || key->key() == Qt::Key_Left) {
        const int passo = key->key() == Qt::Key_Right ? 1 : -1;
        SelecionaBarra(atual < 0 ? 0 : std::clamp(atual + passo, 0, int(m_barras.size()) - 1));
        return true;
    }
    return TForm::TeclaControle(control, key);
}

// ---- print

void TfmRelTngGantt::BtnImprimirClick() {
    TRelatorio relatorio(QStringLiteral("WTngGantt"), windowTitle(), nullptr);
    relatorio.AdicionaCabecalho(QStringLiteral("Fase"),
                                m_fase + QStringLiteral(" - ") + ui.EdtDesFase->text());
    relatorio.AdicionaCabecalho(QStringLiteral("Tipo"), ui.CbTipo->currentText());
    relatorio.AdicionaCabecalho(QStringLiteral("Início"), TextoExibicao(m_origem));
    relatorio.DefineDesenho([this](QPainter& pintor, const QRectF& area) { DesenhaImpressao(pintor, area); });
    Chama_Relatorio(relatorio, this, QStringLiteral("W"));
}

// The rows and bars as far as the last bar drawn, the hours marked every six, scaled into the page.
void TfmRelTngGantt::DesenhaImpressao(QPainter& pintor, const QRectF& area) const {
    int fim = kPixelsPorHora;
    for (const BarraMapa& b : m_barras)
        if (b.desenhada)
            fim = std::max(fim, b.x + b.largura);
    fim = std::min(kLarguraMapa, (fim + kPixelsPorHora - 1) / kPixelsPorHora * kPixelsPorHora);
    const qreal largura = kLarguraMaquinas + fim;
    const qreal altura = kAlturaCabecalho + qreal(m_maquinas.size()) * kAlturaLinha;
    const qreal escala = std::min(area.width() / largura, area.height() / altura);
    pintor.save();
    pintor.translate(area.topLeft());
    pintor.scale(escala, escala);
    QFont fonte = pintor.font();
    fonte.setPixelSize(10);
    pintor.setFont(fonte);
    pintor.setPen(Qt::gray);
    for (int h = 0; h * kPixelsPorHora < fim; ++h) {
        const qreal x = kLarguraMaquinas + h * kPixelsPorHora;
        pintor.drawLine(QPointF(x, kAlturaCabecalho), QPointF(x, altura));
        if (h % 6 == 0 && h < m_horas.size())
            pintor.drawText(QPointF(x + 2, kAlturaCabecalho - 6),
                            m_horas[h].dia.toString(QStringLiteral("dd/MM")) + QLatin1Char(' ') +
                                m_horas[h].hora + QStringLiteral(":00"));
    }
    for (int i = 0; i < m_maquinas.size(); ++i) {
        const qreal y = kAlturaCabecalho + i * kAlturaLinha;
        pintor.setPen(Qt::black);
        pintor.drawText(QRectF(2, y, kLarguraMaquinas - 4, kAlturaLinha), Qt::AlignVCenter,
                        m_maquinas[i].codigo + QStringLiteral(" - ") + m_maquinas[i].descricao);
        pintor.setPen(Qt::gray);
        pintor.drawLine(QPointF(0, y + kAlturaLinha), QPointF(largura, y + kAlturaLinha));
    }
    for (const BarraMapa& b : m_barras) {
        if (!b.desenhada)
            continue;
        const QColor fundo =
            CorDoSistema(b.corSis).isValid() ? CorDoSistema(b.corSis) : QColor(Qt::lightGray);
        const QRectF r(kLarguraMaquinas + b.x,
                       kAlturaCabecalho + LinhaDaMaquina(b.maquina) * kAlturaLinha + 3, b.largura,
                       kAlturaBarra);
        pintor.setPen(Qt::darkGray);
        pintor.setBrush(fundo);
        pintor.drawRect(r);
        pintor.setPen(TextoSobre(fundo));
        pintor.drawText(r.adjusted(2, 0, 0, 0), Qt::AlignVCenter, b.Legenda());
    }
    pintor.restore();
}
