#include "TngQuadroProg.h"
#include "CaixaPesquisa.h"
#include "CorSistema.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "DataContext.h"
#include "DataSetModel.h"
#include "FlowLayout.h"
#include "Formatacao.h"
#include "HostUi.h"
#include "Mensagens.h"
#include "ModuleUnits.h"
#include "OuvinteEvento.h"
#include "Protecao.h"
#include "TClientDataSet.h"
#include "TZoDatabase.h"
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

TFmTngQuadroProg* FmTngQuadroProg = nullptr;

KELM_SCREEN_UNIT(TngQuadroProg, TFmTngQuadroProg);

namespace {
const QString kEvento = QStringLiteral("FILA_PRODUCAO");
constexpr int kLinhasPorMaquina = 50;
constexpr int kIntervaloPadraoMin = 5;
} // namespace

TFmTngQuadroProg::TFmTngQuadroProg(QWidget* parent)
    : TForm(parent), TbFal(new TClientDataSet(this)), Timer1(new QTimer(this)) {
    setObjectName(QStringLiteral("FmTngQuadroProg"));
    setWindowTitle(QStringLiteral("Quadro de Programação"));
    ui.setupUi(this);
    PublicaInstancia(FmTngQuadroProg);
}

void TFmTngQuadroProg::FormCreate() {
    new FlowLayout(ui.PnlDados);
    PreparaDetalhes();
    DeclaraCaixa({.caixa = ui.EdtCodFase,
                  .descricao = ui.EdtDesFase,
                  .botao = ui.BtFase,
                  .titulo = QStringLiteral("Fases"),
                  .tabela = QStringLiteral("FASE"),
                  .recusa = QStringLiteral("Fase não cadastrada.")});
    DeclaraCaixa({.caixa = ui.EdtCodGrupo,
                  .botao = ui.BtGrupo,
                  .titulo = QStringLiteral("Grupos de fase"),
                  .tabela = QStringLiteral("FASE"),
                  .chave = QStringLiteral("GRUPO"),
                  .campoDescricao = QStringLiteral("GRUPO"),
                  .recusa = QStringLiteral("Grupo de fase não cadastrado."),
                  .distintos = true});
    DeclaraCaixa({.caixa = ui.EdtCodMaq,
                  .descricao = ui.EdtDesMaq,
                  .botao = ui.BtMaquina,
                  .titulo = QStringLiteral("Máquinas"),
                  .tabela = QStringLiteral("MAQ_TIN"),
                  .recusa = QStringLiteral("Máquina inválida.")});
    DeclaraCaixa({.caixa = ui.EdtCodRot,
                  .descricao = ui.EdtDesRot,
                  .botao = ui.BtRoteiro,
                  .titulo = QStringLiteral("Roteiros"),
                  .tabela = QStringLiteral("ROTEIRO"),
                  .recusa = QStringLiteral("Roteiro não cadastrado."),
                  .distintos = true});
    ui.EdtOrdem->setValidator(new QIntValidator(0, 999999, ui.EdtOrdem));
    connect(ui.BtnExecuta, &QPushButton::clicked, this, Protegido([this] { BtnExecutaClick(); }));
    connect(ui.BitBtn4, &QPushButton::clicked, this, Protegido([this] { BitBtn4Click(); }));
    connect(ui.BitBtn5, &QPushButton::clicked, this, Protegido([this] { BitBtn5Click(); }));
    connect(ui.BtFechar, &QPushButton::clicked, this, &QWidget::close);
    SaidaSemConferencia(ui.BtFechar);
    ui.BtnExecuta->setToolTip(QStringLiteral("Atualiza"));
    ui.BitBtn4->setToolTip(QStringLiteral("Tela Cheia"));
    ui.BitBtn1->setToolTip(QStringLiteral("Atualiza"));
    PreparaAtualizacao();
    ui.PageControl1->setCurrentWidget(ui.TsMaquinas);
    BtnExecutaClick();
}

void TFmTngQuadroProg::PreparaDetalhes() {
    TbFal->setObjectName(QStringLiteral("TbFal"));
    TbFal->AddField(QStringLiteral("Fal"), QMetaType::QString, 7)
        .AddField(QStringLiteral("Cliente"), QMetaType::QString, 50)
        .AddField(QStringLiteral("Cor"), QMetaType::QString, 10)
        .AddField(QStringLiteral("Var"), QMetaType::QString, 4)
        .AddField(QStringLiteral("Peso"), QMetaType::Double)
        .AddField(QStringLiteral("Data"), QMetaType::QDate)
        .AddField(QStringLiteral("Rolo"), QMetaType::Int)
        .AddField(QStringLiteral("Roteiro"), QMetaType::QString, 6)
        .AddField(QStringLiteral("Maquina"), QMetaType::QString, 5)
        .AddField(QStringLiteral("Lote"), QMetaType::QString, 15)
        .AddField(QStringLiteral("Ordem"), QMetaType::Int)
        .AddField(QStringLiteral("Cor_Sis"), QMetaType::QString, 12)
        .AddField(QStringLiteral("DescCor"), QMetaType::QString, 50);
    TbFal->CreateDataSet();
    ui.DBGrid1->SetDataSet(TbFal);
    ui.DBGrid1->SetReadOnly(true);
    ui.DBGrid1->DeclaraColunas({{"Fal", "FAL"},
                                ColunaGrade("Cliente", "Cliente").Largura(30).Estica(),
                                {"Cor", "Cor"},
                                {"Var", "Variante"},
                                ColunaGrade("Peso", "Peso (kg)").Casas(2),
                                {"Rolo", "Peças"},
                                {"Data", "Data"}});
    connect(TbFal, &TDataSet::scrolled, this, Protegido([this] { TbFalAfterScroll(); }));
}

// Live from the database's events; when the engine refuses them, on the timer.
void TFmTngQuadroProg::PreparaAtualizacao() {
    auto* menu = new QMenu(this);
    for (const auto& [nome, texto, minutos] : {std::tuple{"CincoMinutos1", "05 Minutos", 5},
                                               {"QuinzeMinutos1", "15 Minutos", 15},
                                               {"TrintaMinutos1", "30 Minutos", 30}}) {
        QAction* acao = menu->addAction(QString::fromUtf8(texto));
        acao->setObjectName(QLatin1String(nome));
        connect(acao, &QAction::triggered, this, Protegido([this, m = minutos] { DefineIntervalo(m); }));
    }
    ui.BitBtn1->setMenu(menu);
    // Either way the panels are rebuilt only once no dialog is open over them.
    const auto atualizaQuandoLivre = [this] { QuandoLivre([this] { Atualiza(); }); };
    connect(Timer1, &QTimer::timeout, this, atualizaQuandoLivre);
    m_ouvinte = new OuvinteEvento(*ConexaoHost(), kEvento, 250, this);
    connect(m_ouvinte, &OuvinteEvento::Chegou, this, atualizaQuandoLivre);
    if (m_ouvinte->Ativo()) {
        ui.LblAtualizacao->setText(QStringLiteral("Atualização ao vivo"));
    } else {
        DefineIntervalo(kIntervaloPadraoMin);
    }
}

void TFmTngQuadroProg::DefineIntervalo(int minutos) {
    Timer1->start(minutos * 60 * 1000);
    ui.LblAtualizacao->setText(m_ouvinte && m_ouvinte->Ativo()
                                   ? QStringLiteral("Atualização ao vivo e a cada %1 min").arg(minutos)
                                   : QStringLiteral("Atualização a cada %1 min").arg(minutos));
}

FiltroQuadro TFmTngQuadroProg::Filtro() const {
    return {ui.EdtCodFase->text().trimmed(), ui.EdtCodGrupo->text().trimmed()};
}

void TFmTngQuadroProg::BtnExecutaClick() {
    for (const PainelMaquina& p : std::as_const(m_paineis))
        delete p.painel;
    m_paineis.clear();
    Atualiza();
}

TFmTngQuadroProg::PainelMaquina& TFmTngQuadroProg::Painel(const QString& maquina, const QString& descricao) {
    PainelMaquina& p = m_paineis[maquina];
    if (p.painel)
        return p;
    p.painel = new QFrame(ui.PnlDados);
    p.painel->setObjectName(QStringLiteral("PnlMaq") + maquina);
    static_cast<QFrame*>(p.painel.data())->setFrameShape(QFrame::StyledPanel);
    p.painel->setFixedSize(250, 280);
    auto* layout = new QVBoxLayout(p.painel);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* titulo = new QHBoxLayout;
    auto* rotulo = new QLabel(maquina + QStringLiteral(" - ") + descricao, p.painel);
    rotulo->setStyleSheet(QStringLiteral("font-weight: bold"));
    auto* ocultar = new QPushButton(QStringLiteral("X"), p.painel);
    ocultar->setObjectName(QStringLiteral("SBOcultaMaquina") + maquina);
    ocultar->setFixedWidth(24);
    ocultar->setFocusPolicy(Qt::NoFocus);
    titulo->addWidget(rotulo, 1);
    titulo->addWidget(ocultar);
    layout->addLayout(titulo);
    p.dados = new TClientDataSet(p.painel);
    p.dados->setObjectName(QStringLiteral("Tb") + maquina);
    p.dados->AddField(QStringLiteral("Fal"), QMetaType::QString, 7)
        .AddField(QStringLiteral("Part"), QMetaType::QString, 6)
        .AddField(QStringLiteral("Cor"), QMetaType::QString, 25)
        .AddField(QStringLiteral("Cor_Sis"), QMetaType::QString, 12)
        .AddField(QStringLiteral("Cliente"), QMetaType::QString, 5);
    p.dados->CreateDataSet();
    p.grade = new TZoDBGrid(p.painel);
    p.grade->setObjectName(QStringLiteral("Grid") + maquina);
    p.grade->SetDataSet(p.dados);
    p.grade->SetReadOnly(true);
    p.grade->DeclaraColunas({ColunaGrade("Fal", "Fal").Largura(7), ColunaGrade("Part", "Part").Largura(6),
                             ColunaGrade("Cor", "Cor").Largura(14).Estica()});
    TClientDataSet* dados = p.dados;
    const int cor = dados->FieldIndex(QStringLiteral("Cor")),
              corSis = dados->FieldIndex(QStringLiteral("Cor_Sis"));
    DataSetModel::Of(dados)->SetCellBackground([dados, cor, corSis](int linha, int campo) {
        return campo == cor ? CorDoSistema(dados->ValueAt(linha, corSis)) : QColor();
    });
    layout->addWidget(p.grade, 1);
    TZoDBGrid* grade = p.grade;
    connect(grade, &QAbstractItemView::doubleClicked, this,
            Protegido([this, grade] { SgMaquinaDblClick(grade); }));
    grade->OnKeyDown = [this, grade](QKeyEvent* tecla) {
        if (tecla->key() != Qt::Key_Return && tecla->key() != Qt::Key_Enter)
            return false;
        SgMaquinaDblClick(grade);
        return true;
    };
    connect(ocultar, &QPushButton::clicked, this, Protegido([painel = p.painel] { painel->hide(); }));
    DicaTeclas({grade}, QStringLiteral("Enter ou duplo clique: detalhes da partida"));
    // Panels keep the machines' code order in the flow: a new one goes in at its machine's place.
    static_cast<FlowLayout*>(ui.PnlDados->layout())
        ->Insere(int(std::distance(m_paineis.begin(), m_paineis.find(maquina))), p.painel);
    p.painel->show();
    return p;
}

void TFmTngQuadroProg::CarregaDadosMaquina(PainelMaquina& painel, const QList<LoteQuadro>& lotes) {
    TClientDataSet* dados = painel.dados;
    const QString atual = dados->IsEmpty() ? QString() : dados->FieldByName(QStringLiteral("Fal")).AsString();
    dados->DisableControls();
    dados->EmptyDataSet();
    int linhas = 0;
    for (const LoteQuadro& l : lotes) {
        if (++linhas > kLinhasPorMaquina)
            break;
        dados->Append();
        dados->FieldByName(QStringLiteral("Fal")) = l.fal;
        dados->FieldByName(QStringLiteral("Part")) = l.partida;
        dados->FieldByName(QStringLiteral("Cor")) = (l.descCor.isEmpty() ? l.cor : l.descCor).left(25);
        dados->FieldByName(QStringLiteral("Cor_Sis")) = l.corSis.toString();
        dados->FieldByName(QStringLiteral("Cliente")) = l.cliente;
        dados->Post();
    }
    dados->First();
    dados->EnableControls();
    for (int i = 0; !atual.isEmpty() && i < dados->RecordCount(); ++i)
        if (dados->TextoEm(i, QStringLiteral("Fal")) == atual) {
            dados->MoveTo(i);
            break;
        }
}

void TFmTngQuadroProg::Atualiza() {
    m_filas = LeFilas(Filtro());
    QMap<QString, QList<LoteQuadro>> porMaquina;
    QHash<QString, QString> descricoes;
    for (const LoteQuadro& l : std::as_const(m_filas)) {
        porMaquina[l.maquina] << l;
        descricoes.insert(l.maquina, l.descMaquina);
    }
    for (auto it = m_paineis.begin(); it != m_paineis.end();) {
        if (!porMaquina.contains(it.key())) {
            delete it->painel;
            it = m_paineis.erase(it);
        } else {
            ++it;
        }
    }
    for (auto it = porMaquina.cbegin(); it != porMaquina.cend(); ++it)
        CarregaDadosMaquina(Painel(it.key(), descricoes.value(it.key())), it.value());
}

void TFmTngQuadroProg::SgMaquinaDblClick(TZoDBGrid* grade) {
    TDataSet* dados = grade->DataSet();
    if (dados->IsEmpty())
        return;
    const QString maquina = grade->objectName().mid(4);
    ui.PageControl1->setCurrentWidget(ui.TsDetalhes);
    BuscaDadosPartida(maquina, dados->FieldByName(QStringLiteral("Part")).AsString().trimmed(),
                      dados->FieldByName(QStringLiteral("Cliente")).AsString().trimmed());
}

void TFmTngQuadroProg::LimpaPrevisao() {
    for (QLineEdit* caixa : {ui.EdtStatus, ui.EdtDataIni, ui.EdtHoraIni, ui.EdtDataPrev, ui.EdtHoraPrev})
        caixa->clear();
}

// The lot's sheets, once each; when it starts, after the lots ahead of it on its machine, and ends.
void TFmTngQuadroProg::BuscaDadosPartida(const QString& maquina, const QString& partida,
                                         const QString& cliente) {
    const FiltroQuadro filtro = Filtro();
    const QList<FalPartida> fals = LeFalsDaPartida(partida, cliente, filtro);
    TbFal->DisableControls();
    TbFal->EmptyDataSet();
    double peso = 0;
    int pecas = 0;
    for (const FalPartida& f : fals) {
        TbFal->Append();
        TbFal->FieldByName(QStringLiteral("Fal")) = f.fal;
        TbFal->FieldByName(QStringLiteral("Cliente")) = f.nomeCliente;
        TbFal->FieldByName(QStringLiteral("Cor")) = f.cor;
        TbFal->FieldByName(QStringLiteral("Var")) = f.variante;
        TbFal->FieldByName(QStringLiteral("Peso")) = f.peso;
        TbFal->FieldByName(QStringLiteral("Data")) = f.data;
        TbFal->FieldByName(QStringLiteral("Rolo")) = f.pecas;
        TbFal->FieldByName(QStringLiteral("Roteiro")) = f.roteiro;
        TbFal->FieldByName(QStringLiteral("Maquina")) = f.maquina;
        TbFal->FieldByName(QStringLiteral("Lote")) = f.lote;
        TbFal->FieldByName(QStringLiteral("Ordem")) = f.ordem;
        TbFal->FieldByName(QStringLiteral("Cor_Sis")) = f.corSis.toString();
        TbFal->FieldByName(QStringLiteral("DescCor")) = f.descCor;
        TbFal->Post();
        peso += f.peso;
        pecas += f.pecas;
    }
    TbFal->First();
    TbFal->EnableControls();
    ui.EdtFal->setText(partida);
    ui.EdtPeso->setText(TextoExibicao(peso, 2));
    ui.EdtPecas->setText(QString::number(pecas));
    TbFalAfterScroll();

    // The machine's lots in queue order, this one among them.
    QStringList partidas, falsDaFila;
    for (const LoteQuadro& l : std::as_const(m_filas))
        if (l.maquina == maquina) {
            if (!partidas.contains(l.partida))
                partidas << l.partida;
            falsDaFila << l.fal;
        }
    LimpaPrevisao();
    const int posicao = int(partidas.indexOf(partida));
    if (posicao < 0)
        return;
    const QHash<QString, LoteFila> tempos = LeTemposDasPartidas(falsDaFila, filtro);
    QList<LoteFila> fila;
    for (qsizetype i = 0; i <= posicao; ++i)
        fila << tempos.value(partidas[i]);
    const PrevisaoLote p = PrevisaoFila(fila, QDateTime::currentDateTime()).value(posicao);
    if (!p.fim.isValid()) {
        ui.EdtStatus->setText(QStringLiteral("TEMPO NAO CADASTRADO"));
        return;
    }
    ui.EdtStatus->setText(fila[posicao].iniciado ? QStringLiteral("INICIADO") : QStringLiteral("PREVISÃO"));
    ui.EdtDataIni->setText(TextoExibicao(p.inicio.date()));
    ui.EdtHoraIni->setText(TextoExibicao(p.inicio.time()));
    ui.EdtDataPrev->setText(TextoExibicao(p.fim.date()));
    ui.EdtHoraPrev->setText(TextoExibicao(p.fim.time()));
}

void TFmTngQuadroProg::TbFalAfterScroll() {
    if (TbFal->IsEmpty())
        return;
    ui.EdtCodCor->setText(TbFal->FieldByName(QStringLiteral("Cor")).AsString());
    ui.EdtCodVar->setText(TbFal->FieldByName(QStringLiteral("Var")).AsString());
    ui.EdtCodMaq->setText(TbFal->FieldByName(QStringLiteral("Maquina")).AsString());
    ui.EdtLote->setText(TbFal->FieldByName(QStringLiteral("Lote")).AsString());
    ui.EdtOrdem->setText(TbFal->FieldByName(QStringLiteral("Ordem")).AsString());
    ui.EdtCodRot->setText(TbFal->FieldByName(QStringLiteral("Roteiro")).AsString());
    ui.EdtDesCor->setText(TbFal->FieldByName(QStringLiteral("DescCor")).AsString());
    const QColor cor = CorDoSistema(TbFal->FieldByName(QStringLiteral("Cor_Sis")).Value());
    ui.PnlCor->setStyleSheet(cor.isValid() ? QStringLiteral("background: %1").arg(cor.name()) : QString());
}

// The selected sheet takes the lot (a new one when "Partida" is blank), machine, route and position shown.
void TFmTngQuadroProg::BitBtn5Click() {
    if (TbFal->IsEmpty()) {
        Informa(this, QStringLiteral("Nenhuma FAL selecionada."));
        return;
    }
    QString partida = ui.EdtFal->text().trimmed();
    if (partida.isEmpty())
        partida = Proximo(QStringLiteral("FAL"), QStringLiteral("PARTIDA"), 6);
    const QString recusa =
        AtribuiPartida(TbFal->FieldByName(QStringLiteral("Fal")).AsString().trimmed(), partida,
                       ui.EdtCodMaq->text(), ui.EdtCodRot->text(), ui.EdtOrdem->text().toInt());
    if (!recusa.isEmpty()) {
        Recusa(ui.EdtCodMaq, recusa);
        return;
    }
    ui.EdtFal->setText(partida);
    // The commit announces itself and the listener rebuilds the panels; without it, rebuild here.
    if (!m_ouvinte->Ativo())
        Atualiza();
}

void TFmTngQuadroProg::BitBtn4Click() {
    QWidget* janela = window();
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (janela->isFullScreen()) {
        janela->showNormal();
        if (sub)
            sub->showNormal();
    } else {
        janela->showFullScreen();
        if (sub)
            sub->showMaximized();
    }
}
