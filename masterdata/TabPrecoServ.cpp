#include "TabPrecoServ.h"
#include "CaixaPesquisa.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "GravacaoAtomica.h"
#include "Mensagens.h"
#include "ModuleUnits.h"
#include "Protecao.h"
#include "Relatorio.h"
#include "TPesquisa.h"
#include "TTabelaDataSet.h"
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

TFmTabPrecoServ* FmTabPrecoServ = nullptr;

KELM_SCREEN_UNIT(TabPrecoServ, TFmTabPrecoServ);

namespace {
const QString kCliente = QStringLiteral("CODCLI");
const QString kFase = QStringLiteral("FASE");
} // namespace

TFmTabPrecoServ::TFmTabPrecoServ(QWidget* parent) : TFmCadastro(parent) {
    setObjectName(QStringLiteral("FmTabPrecoServ"));
    setWindowTitle(QStringLiteral("Cadastro de Preço de Serviços"));
    ui.setupUi(PainelDados);

    BtImprimir = new QPushButton(QStringLiteral("Im&primir"), PainelControle);
    BtImprimir->setObjectName(QStringLiteral("BtImprimir"));
    auto* bar = static_cast<QHBoxLayout*>(PainelControle->layout());
    bar->insertWidget(bar->indexOf(BtExcluir) + 1, BtImprimir);

    // The filter is used while browsing, when the data panel is disabled: it sits beside it.
    auto* filtro = new QGroupBox(QStringLiteral("Filtro"), this);
    filtro->setObjectName(QStringLiteral("GbFiltro"));
    auto* linha = new QHBoxLayout(filtro);
    auto* rotulo = new QLabel(QStringLiteral("Cliente"), filtro);
    EdtFiltroCli = new QLineEdit(filtro);
    EdtFiltroCli->setObjectName(QStringLiteral("EdtFiltroCli"));
    EdtFiltroCli->setMaxLength(5);
    EdtFiltroCli->setMaximumWidth(90);
    rotulo->setBuddy(EdtFiltroCli);
    linha->addWidget(rotulo);
    linha->addWidget(EdtFiltroCli);
    AdicionaAoLado(filtro);

    connect(BtImprimir, &QPushButton::clicked, this, Protegido([this] { BtImprimirClick(); }));
}

void TFmTabPrecoServ::FormCreate() {
    cad.tabelaCompartilhada = QStringLiteral("tbTabPre_Serv");
    cad.tabela = QStringLiteral("TABPRE_SERV");
    cad.campoCodigo = kCliente;
    cad.campoDescricao = QStringLiteral("CLIENTE");
    cad.caixaCodigo = ui.EdtCodCli;
    cad.caixaDescricao = ui.EdtCusto;
    cad.tituloLog = QStringLiteral("CADASTRO DE PRECOS DE SERVICOS");
    cad.textoInclusao = QStringLiteral("INCLUSAO DO PRECO DO SERVICO ");
    cad.textoAlteracao = QStringLiteral("ALTERACAO DO PRECO DO SERVICO ");
    cad.textoExclusao = QStringLiteral("EXCLUSAO DO PRECO DO SERVICO ");
    cad.colunas = {{"CODCLI", "Cliente"},
                   ColunaGrade("CLIENTE", "Nome").Estica(),
                   {"FASE", "Fase"},
                   {"DESCRICAO", "Descrição"},
                   {"CUSTO", "Preço"}};
    AbreCadastro();
    // None chosen in the customer's list: Confirm refuses the blank box.
    m_cliente = DeclaraCaixa({.caixa = ui.EdtCodCli,
                              .descricao = ui.EdtNomeCli,
                              .botao = ui.PqCliente,
                              .titulo = QStringLiteral("Clientes"),
                              .tabela = QStringLiteral("ENTIDADE"),
                              .chave = kCliente,
                              .campoDescricao = QStringLiteral("NOME"),
                              .recusa = QStringLiteral("Cliente não cadastrado."),
                              .abreVazia = true});
    m_fase = DeclaraCaixa({.caixa = ui.EdtCodFase,
                           .descricao = ui.EdtDesFase,
                           .botao = ui.PqFase,
                           .titulo = QStringLiteral("Fases"),
                           .tabela = kFase,
                           .recusa = QStringLiteral("Fase não cadastrada.")});
    // Shown once declared: their descriptions with them.
    FieldLink::Edit(ui.EdtCodCli, Dados(), kCliente);
    FieldLink::Edit(ui.EdtCodFase, Dados(), kFase);
    FieldLink::Edit(ui.EdtCusto, Dados(), QStringLiteral("CUSTO"));
    connect(Dados(), &TDataSet::stateChanged, this,
            Protegido([this] { EdtFiltroCli->setEnabled(!Dados()->Editing()); }));
}

void TFmTabPrecoServ::FormClose() {
    // The data set is shared: the next screen that opens it must not find it filtered.
    if (Dados()) {
        if (Dados()->Editing())
            Dados()->Cancel();
        Dados()->ClearFilter();
    }
    TFmCadastro::FormClose();
}

void TFmTabPrecoServ::BtIncluirClick() {
    ui.EdtCodFase->setEnabled(true);
    TFmCadastro::BtIncluirClick();
}

// Customer and phase are the key together: an alteration changes the price only.
void TFmTabPrecoServ::BtnAlteraClick() {
    TFmCadastro::BtnAlteraClick();
    ui.EdtCodFase->setEnabled(false);
}

void TFmTabPrecoServ::SbConfirmarClick() {
    TFmCadastro::SbConfirmarClick();
    if (!Dados()->Editing())
        Dados()->Refresh();
}

// A price is removed without a question; the audit row keeps what it was.
void TFmTabPrecoServ::BtExcluirClick() {
    if (Dados()->IsEmpty())
        return;
    const QString customer = Dados()->FieldByName(kCliente).AsString();
    {
        GravacaoAtomica exclusao;
        GeraLog(cad.tituloLog, cad.textoExclusao + IdentificacaoLog(customer), opExclusao, customer);
        if (!Dados()->Delete())
            return;
        exclusao.Confirma();
    }
    Dados()->Refresh();
}

void TFmTabPrecoServ::btnConsultarClick() {
    TPesquisa search;
    search.Titulo = windowTitle();
    search.Tabela = Dados()->TableName();
    search.CampoChave = kCliente;
    search.Campos = QStringList{kCliente, QStringLiteral("CLIENTE"), kFase, QStringLiteral("DESCRICAO"),
                                QStringLiteral("CUSTO")};
    search.OrdenarPor = QStringLiteral("CODCLI, FASE");
    if (search.AbrePesquisa(this))
        LocalizaPreco(search.Chave(), search.RetornoPesquisa(kFase).toString());
}

void TFmTabPrecoServ::BtImprimirClick() {
    TRelatorio relatorio(QStringLiteral("WTabPrecoServ"), QStringLiteral("Tabela de Preços de Serviços"),
                         Dados());
    ColunaRelatorio preco = relatorio.Coluna(QStringLiteral("CUSTO"));
    preco.casas = -1; // as typed: some prices carry more than two decimals
    preco.totaliza = false;
    relatorio.DefineColunas({relatorio.Coluna(kCliente), relatorio.Coluna(QStringLiteral("CLIENTE")),
                             relatorio.Coluna(kFase), relatorio.Coluna(QStringLiteral("DESCRICAO")), preco});
    Chama_RelatorioWin(relatorio, this);
}

// Customer and phase are both required to confirm, though either box may be left empty.
bool TFmTabPrecoServ::CodigoValido(CaixaPesquisa* codigo) {
    const DeclaracaoCaixa& caixa = codigo->Declaracao();
    if (caixa.caixa->text().trimmed().isEmpty())
        return Recusa(caixa.caixa, caixa.recusa);
    return codigo->Confere();
}

bool TFmTabPrecoServ::PrecoCadastrado() const {
    const QString customer = ui.EdtCodCli->text().trimmed(), phase = ui.EdtCodFase->text().trimmed();
    return !customer.isEmpty() && !phase.isEmpty() &&
           Existe(Dados()->TableName(), QStringLiteral("CODCLI;FASE"), QVariantList{customer, phase});
}

// Leaves the new record and shows the stored one; a row the filter hides, or that another user stored
// after the list was read, is fetched with the filter off.
void TFmTabPrecoServ::LocalizaPreco(const QString& customer, const QString& phase) {
    if (Dados()->Editing())
        BtDesistirClick();
    const QString fields = QStringLiteral("CODCLI;FASE");
    if (!Dados()->Locate(fields, {customer, phase})) {
        EdtFiltroCli->clear();
        Dados()->ClearFilter();
        Dados()->Refresh();
        Dados()->Locate(fields, {customer, phase});
    }
    DBGrid1->setFocus(Qt::OtherFocusReason);
}

// The customer's own check has run: the pair must not have a price yet.
bool TFmTabPrecoServ::SaidaCaixa(QWidget* box) {
    if (box != ui.EdtCodCli || Dados()->State() != DataSetState::Insert || !PrecoCadastrado())
        return true;
    Informa(this, QStringLiteral("Preço já Cadastrado."));
    LocalizaPreco(ui.EdtCodCli->text().trimmed(), ui.EdtCodFase->text().trimmed());
    return false;
}

// The exit rules again, since Confirm can be reached without leaving every box; and the pair once more,
// as the phase is usually typed after the customer was checked.
bool TFmTabPrecoServ::ValidaConfirmacao() {
    if (Dados()->State() == DataSetState::Insert) {
        if (!CodigoValido(m_cliente) || !CodigoValido(m_fase))
            return false;
        if (PrecoCadastrado()) {
            Informa(this, QStringLiteral("Preço já Cadastrado."));
            ui.EdtCodFase->setFocus(Qt::OtherFocusReason);
            return false;
        }
    }
    CopiaNome(QStringLiteral("CLIENTE"), ui.EdtNomeCli->text(), 50);
    CopiaNome(QStringLiteral("DESCRICAO"), ui.EdtDesFase->text(), 30);
    return true;
}

// The names are kept as shown at confirmation, cut to their columns (TABPRE_SERV_001.CLIENTE and
// DESCRICAO are narrower than the names they copy): a long name must not stop the save. A customer or phase
// removed since keeps the name stored before.
void TFmTabPrecoServ::CopiaNome(const QString& field, const QString& shown, int width) {
    if (!shown.isEmpty())
        Dados()->FieldByName(field) = shown.left(width);
}

QString TFmTabPrecoServ::IdentificacaoLog(const QString& code) {
    return Dados()->FieldByName(kFase).AsString().trimmed() + QStringLiteral(" PARA O CLIENTE ") + code;
}

bool TFmTabPrecoServ::SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason reason) {
    if (control == EdtFiltroCli)
        AplicaFiltro();
    return TFmCadastro::SaidaControle(control, next, reason);
}

bool TFmTabPrecoServ::TeclaControle(QWidget* control, QKeyEvent* key) {
    const bool plain = key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier;
    if (plain && control == EdtFiltroCli && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        AplicaFiltro();
        return true;
    }
    return TFmCadastro::TeclaControle(control, key);
}

// Compared in memory, never built into SQL: whatever is typed, quotes included, only matches or not.
void TFmTabPrecoServ::AplicaFiltro() {
    const QString code = EdtFiltroCli->text().trimmed();
    if (code.isEmpty())
        Dados()->ClearFilter();
    else
        Dados()->SetFilter([code](const RecordView& row) {
            return row.value(QStringLiteral("CODCLI")).toString().trimmed() == code;
        });
}
