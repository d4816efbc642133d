#include "TFmCadastro.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "Funcoes.h"
#include "GravacaoAtomica.h"
#include "HostError.h"
#include "HostUi.h"
#include "Mensagens.h"
#include "Protecao.h"
#include "TPesquisa.h"
#include "TZoQuery.h"
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <exception>

namespace {
template <typename B>
B* tagged(QWidget* parent, QHBoxLayout* bar, const QString& name, const QString& text, int tag) {
    auto* b = new B(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setProperty("tag", tag);
    bar->addWidget(b);
    return b;
}

QToolButton* navigation(QWidget* parent, QHBoxLayout* bar, const QString& name, QStyle::StandardPixmap icon,
                        const QString& tip, int tag) {
    auto* b = tagged<QToolButton>(parent, bar, name, QString(), tag);
    b->setIcon(parent->style()->standardIcon(icon));
    b->setToolTip(tip);
    b->setAutoRaise(true);
    return b;
}

// Tab out of the record's boxes skips the page tabs and the list, straight to Confirm, but never past a grid
// open for editing: the record's rows are typed before it is confirmed.
QWidget* depoisDosDados(QWidget* screen, QWidget* caixa, QWidget* confirmar) {
    for (QWidget* w = ControleSeguinte(screen, caixa); w && w != confirmar && w != caixa;
         w = ControleSeguinte(screen, w))
        if (auto* grade = qobject_cast<TZoDBGrid*>(w);
            grade && grade->editTriggers() != QAbstractItemView::NoEditTriggers)
            return grade;
    return confirmar;
}
} // namespace

void CaixaAlta(QLineEdit* box) {
    QObject::connect(box, &QLineEdit::textEdited, box, [box](const QString& text) {
        const QString upper = text.toUpper();
        if (upper != text) {
            const int cursor = box->cursorPosition();
            box->setText(upper);
            box->setCursorPosition(cursor);
            emit box->textEdited(upper);
        }
    });
}

TFmCadastro::TFmCadastro(QWidget* parent) : TForm(parent) {
    auto* layout = new QVBoxLayout(this);
    PainelDados = new QFrame(this);
    PainelDados->setObjectName(QStringLiteral("PainelDados"));
    PainelDados->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(PainelDados);
    DBGrid1 = new TZoDBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->SetReadOnly(true);
    layout->addWidget(DBGrid1, 1);

    PainelControle = new QFrame(this);
    PainelControle->setObjectName(QStringLiteral("PainelControle"));
    auto* control = new QHBoxLayout(PainelControle);
    control->setContentsMargins(0, 0, 0, 0);
    sbPrimeiro = navigation(PainelControle, control, QStringLiteral("sbPrimeiro"),
                            QStyle::SP_MediaSkipBackward, QStringLiteral("Primeiro"), 18);
    sbAnterior = navigation(PainelControle, control, QStringLiteral("sbAnterior"),
                            QStyle::SP_MediaSeekBackward, QStringLiteral("Anterior"), 19);
    sbProximo = navigation(PainelControle, control, QStringLiteral("sbProximo"), QStyle::SP_MediaSeekForward,
                           QStringLiteral("Próximo"), 20);
    sbUltimo = navigation(PainelControle, control, QStringLiteral("sbUltimo"), QStyle::SP_MediaSkipForward,
                          QStringLiteral("Último"), 21);
    control->addSpacing(16);
    BtIncluir = tagged<QPushButton>(PainelControle, control, QStringLiteral("BtIncluir"),
                                    QStringLiteral("&Incluir"), 1);
    BtnAltera = tagged<QPushButton>(PainelControle, control, QStringLiteral("BtnAltera"),
                                    QStringLiteral("&Alterar"), 2);
    btnConsultar = tagged<QPushButton>(PainelControle, control, QStringLiteral("btnConsultar"),
                                       QStringLiteral("Consultar"), 3);
    BtExcluir = tagged<QPushButton>(PainelControle, control, QStringLiteral("BtExcluir"),
                                    QStringLiteral("&Excluir"), 5);
    control->addStretch();
    BtSaida =
        tagged<QPushButton>(PainelControle, control, QStringLiteral("BtSaida"), QStringLiteral("&Fechar"), 7);
    layout->addWidget(PainelControle);

    PainelConfirma = new QFrame(this);
    PainelConfirma->setObjectName(QStringLiteral("PainelConfirma"));
    auto* confirm = new QHBoxLayout(PainelConfirma);
    confirm->setContentsMargins(0, 0, 0, 0);
    confirm->addStretch();
    SbConfirmar = tagged<QPushButton>(PainelConfirma, confirm, QStringLiteral("SbConfirmar"),
                                      QStringLiteral("&Confirmar"), 10);
    BtDesistir = tagged<QPushButton>(PainelConfirma, confirm, QStringLiteral("BtDesistir"),
                                     QStringLiteral("&Desistir"), 11);
    SbConfirmar->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    BtDesistir->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    layout->addWidget(PainelConfirma);

    connect(BtIncluir, &QPushButton::clicked, this, Protegido([this] { BtIncluirClick(); }));
    connect(BtnAltera, &QPushButton::clicked, this, Protegido([this] { BtnAlteraClick(); }));
    connect(btnConsultar, &QPushButton::clicked, this, Protegido([this] { btnConsultarClick(); }));
    connect(BtExcluir, &QPushButton::clicked, this, Protegido([this] { BtExcluirClick(); }));
    connect(BtSaida, &QPushButton::clicked, this, Protegido([this] { BtSaidaClick(); }));
    connect(SbConfirmar, &QPushButton::clicked, this, Protegido([this] { SbConfirmarClick(); }));
    connect(BtDesistir, &QPushButton::clicked, this, Protegido([this] { BtDesistirClick(); }));
    connect(sbPrimeiro, &QToolButton::clicked, this, Protegido([this] { m_data->First(); }));
    connect(sbAnterior, &QToolButton::clicked, this, Protegido([this] { m_data->Prior(); }));
    connect(sbProximo, &QToolButton::clicked, this, Protegido([this] { m_data->Next(); }));
    connect(sbUltimo, &QToolButton::clicked, this, Protegido([this] { m_data->Last(); }));
}

QWidget* TFmCadastro::AdicionaPagina(const QString& caption, const QString& listCaption) {
    if (!m_pages) {
        m_pages = new QTabWidget(this);
        m_pages->setObjectName(QStringLiteral("PageControl1"));
        auto* frame = static_cast<QVBoxLayout*>(layout());
        delete frame->replaceWidget(DBGrid1, m_pages);
        frame->setStretchFactor(m_pages, 1);
        m_pages->addTab(DBGrid1, listCaption.isEmpty() ? windowTitle() : listCaption);
    }
    auto* page = new QWidget(m_pages);
    m_pages->addTab(page, caption);
    return page;
}

void TFmCadastro::AdicionaAoLado(QWidget* panel) {
    auto* frame = static_cast<QVBoxLayout*>(layout());
    const int at = frame->indexOf(PainelDados);
    frame->removeWidget(PainelDados);
    auto* row = new QHBoxLayout;
    row->addWidget(PainelDados, 1, Qt::AlignTop);
    row->addWidget(panel, 0, Qt::AlignTop);
    frame->insertLayout(at, row);
}

void TFmCadastro::AbreCadastro() {
    m_data = TTabela::AbreTabela(cad.tabelaCompartilhada);
    if (m_data->Editing())
        m_data->Cancel();
    DBGrid1->SetDataSet(m_data);
    if (cad.colunas.isEmpty())
        DBGrid1->resizeColumnsToContents();
    else
        DBGrid1->DeclaraColunas(cad.colunas);
    connect(m_data.get(), &TDataSet::scrolled, this, Protegido([this] {
                if (!m_data->Editing())
                    CarregaDetalhe();
            }));
    m_data->First();
    Bar_Confirma(false);
    CarregaDetalhe();
}

void TFmCadastro::Bar_Confirma(bool editing) {
    PainelDados->setEnabled(editing);
    DBGrid1->setEnabled(!editing);
    PainelConfirma->setVisible(editing);
    PainelControle->setVisible(!editing);
}

void TFmCadastro::BtIncluirClick() {
    if (cad.anexa)
        m_data->Append();
    else
        m_data->Insert();
    NovoRegistro();
    Bar_Confirma(true);
    if (cad.caixaCodigo) {
        cad.caixaCodigo->setEnabled(true);
        cad.caixaCodigo->setReadOnly(false);
        cad.caixaCodigo->setFocus();
    }
}

void TFmCadastro::BtnAlteraClick() {
    if (m_data->IsEmpty())
        return;
    Bar_Confirma(true);
    m_data->Edit();
    if (cad.caixaCodigo) {
        if (cad.codigoSomenteLeitura)
            cad.caixaCodigo->setReadOnly(true);
        else
            cad.caixaCodigo->setEnabled(false);
    }
    if (cad.caixaDescricao)
        cad.caixaDescricao->setFocus();
}

// A refused code shows the list of records again, the page its code belongs with.
void TFmCadastro::RecusaCodigo(const QString& text) {
    Informa(this, text);
    if (m_pages)
        m_pages->setCurrentIndex(0);
    cad.caixaCodigo->setFocus();
}

// Asked after a failed save: a failure to ask leaves the save's own failure to be told.
bool TFmCadastro::CodigoGravado(const QString& code) {
    try {
        return !code.isEmpty() && Existe(cad.tabela, cad.campoCodigo, Aspas(code));
    } catch (const EDatabaseError&) {
        return false;
    }
}

bool TFmCadastro::Desiste(QWidget* button) const {
    return button == BtDesistir;
}

void TFmCadastro::SbConfirmarClick() {
    ConcluiEdicaoGrades(true);
    if (!m_data->Editing())
        return;
    const bool inserting = m_data->State() == DataSetState::Insert;
    const QString code = cad.caixaCodigo ? cad.caixaCodigo->text().trimmed() : QString();
    if (inserting && cad.checaCodigo) {
        if (code.isEmpty())
            return RecusaCodigo(cad.textoCodigoVazio);
        if (Existe(cad.tabela, cad.campoCodigo, Aspas(code)))
            return RecusaCodigo(QStringLiteral("Este código já existe. Digite um outro."));
    }
    if (!ValidaConfirmacao() || !ValidaDetalhe())
        return;
    // Detail rows, audit row and record reach the database together or not at all.
    QString falha;
    std::exception_ptr erro;
    {
        GravacaoAtomica gravacao;
        try {
            falha = GravaDetalhe(code);
            if (falha.isEmpty()) {
                if (!cad.tituloLog.isEmpty())
                    GeraLog(cad.tituloLog,
                            (inserting ? cad.textoInclusao : cad.textoAlteracao) + IdentificacaoLog(code),
                            inserting ? opInclusao : opAlteracao, code);
                if (!m_data->Post())
                    return;
                gravacao.Confirma();
            }
        } catch (const EDatabaseError&) {
            erro = std::current_exception();
        }
    }
    // Told once the unit of work is undone: no rows stay locked while the message waits for the user.
    // Another workstation may have stored the same new code since the check above; then that is the reason.
    if ((erro || !falha.isEmpty()) && inserting && cad.checaCodigo && CodigoGravado(code))
        return RecusaCodigo(QStringLiteral("Este código já existe. Digite um outro."));
    if (erro)
        std::rethrow_exception(erro);
    if (!falha.isEmpty())
        return Informa(this, falha);
    FimEdicao();
    DBGrid1->setFocus();
}

void TFmCadastro::FimEdicao() {
    if (cad.caixaCodigo) {
        cad.caixaCodigo->setEnabled(true);
        cad.caixaCodigo->setReadOnly(false);
    }
    Bar_Confirma(false);
    CarregaDetalhe();
}

void TFmCadastro::BtDesistirClick() {
    ConcluiEdicaoGrades(false);
    m_data->Cancel();
    FimEdicao();
}

// A record others still refer to would leave them pointing at nothing.
bool TFmCadastro::EmUso(const QString& code) {
    for (const QString& uso : cad.usos) {
        const QString table = uso.section('.', 0, 0), column = uso.section('.', 1);
        if (!ExisteColuna(table, column))
            continue;
        TZoQuery q;
        q.SQL << QStringLiteral("SELECT FIRST 1 1 FROM %1 WHERE %2 = %3")
                     .arg(DBLocal(table), column, Aspas(code));
        // A record that refers to itself (a phase that is its own group) does not keep itself alive.
        if (table.compare(cad.tabela, Qt::CaseInsensitive) == 0)
            q.SQL << QStringLiteral("AND %1 <> %2").arg(cad.campoCodigo, Aspas(code));
        q.Open();
        if (!q.IsEmpty())
            return true;
    }
    return false;
}

void TFmCadastro::BtExcluirClick() {
    if (m_data->IsEmpty())
        return;
    if (EmUso(m_data->FieldByName(cad.campoCodigo).AsString())) {
        Informa(this, cad.textoEmUso);
        return;
    }
    if (!ValidaExclusao())
        return;
    if (!Pergunta(this, cad.tituloExclusao, QStringLiteral("Deseja eliminar este Registro?"),
                  cad.exclusaoPadraoSim))
        return;
    const QString code = m_data->FieldByName(cad.campoCodigo).AsString();
    QString falha;
    {
        GravacaoAtomica exclusao;
        if (!cad.tituloLog.isEmpty() && !cad.textoExclusao.isEmpty())
            GeraLog(cad.tituloLog, cad.textoExclusao + IdentificacaoLog(code), opExclusao, code);
        falha = ExcluiDetalhe(code);
        if (falha.isEmpty() && m_data->Delete())
            exclusao.Confirma();
    }
    if (!falha.isEmpty())
        Informa(this, falha);
}

void TFmCadastro::btnConsultarClick() {
    TPesquisa search;
    search.Titulo = windowTitle();
    search.Tabela = cad.tabela;
    search.CampoChave = cad.campoCodigo;
    search.Campos = QStringList{cad.campoCodigo, cad.campoDescricao};
    if (search.AbrePesquisa(this))
        m_data->Locate(cad.campoCodigo, {search.Chave()});
}

void TFmCadastro::PropoeCodigo() {
    if (!m_data || !m_data->Editing() || !cad.caixaCodigo || !cad.caixaCodigo->text().trimmed().isEmpty())
        return;
    const QString code = Proximo(cad.tabela, cad.campoCodigo, cad.larguraProximo);
    cad.caixaCodigo->setText(code);
    m_data->FieldByName(cad.campoCodigo) = code;
}

void TFmCadastro::FormClose() {
    if (m_data) {
        if (m_data->Editing())
            m_data->Cancel();
        m_data.Fecha();
    }
}

bool TFmCadastro::SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason reason) {
    // Going to Desist runs no exit rule: nothing is being confirmed.
    if (!m_data || !m_data->Editing() || next == BtDesistir || !PainelDados->isAncestorOf(control))
        return true;
    if (!SaidaCaixa(control))
        return false;
    if (control == cad.caixaCodigo && cad.larguraProximo > 0)
        PropoeCodigo();
    else if (reason == Qt::TabFocusReason && !PainelDados->isAncestorOf(next) && SbConfirmar->isVisible())
        depoisDosDados(this, control, SbConfirmar)->setFocus(Qt::OtherFocusReason);
    return true;
}

bool TFmCadastro::TemAlteracoes() const {
    return Dados() && Dados()->Editing();
}
