#include "CadCorTing.h"
#include "CorSistema.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "DescricaoCodigo.h"
#include "HostUi.h"
#include "Mensagens.h"
#include "ModuleUnits.h"
#include "Protecao.h"
#include "TPesquisa.h"
#include "TTabela.h"
#include "VisorCor.h"
#include <QButtonGroup>
#include <QPushButton>

TFmCadCorTing* FmCadCorTing = nullptr;

KELM_SCREEN_UNIT(CadCorTing, TFmCadCorTing);

namespace {
constexpr int kPastaCores = 1;

const QStringList& Origens() {
    static const QStringList origens{
        QStringLiteral("0 - Nacional "),
        QStringLiteral("1 - Estrangeira - Importação direta"),
        QStringLiteral("2 - Estrangeira - Adquirida no mercado interno"),
        QStringLiteral("3 - Nacional, mercadoria ou bem com Conteúdo de Importação superior a 40% e inferior "
                       "ou igual a 70%"),
        QStringLiteral("4 - Nacional, cuja produção tenha sido feita em conformidade com os processos "
                       "produtivos básicos"),
        QStringLiteral("5 - Nacional, mercadoria ou bem com Conteúdo de Importação inferior ou igual a 40%"),
        QStringLiteral(
            "6 - Estrangeira - Importação direta, sem similar nacional, constante em lista da CAMEX"),
        QStringLiteral(
            "7 - Estrangeira - Adquirida no mercado interno, sem similar nacional, constante em lista "
            "da CAMEX"),
        QStringLiteral("8 - Nacional, mercadoria ou bem com Conteúdo de Importação superior a 70%"),
    };
    return origens;
}

// A list of "code - description" items from a shared data set; returns the code each item stands for.
// The rows are read in place: the set's cursor belongs to whoever else shows it.
QStringList PreencheLista(QComboBox* box, TDataSet* data) {
    const int code = data->FieldIndex(QStringLiteral("CODIGO"));
    const int description = data->FieldIndex(QStringLiteral("DESCRICAO"));
    QStringList codes;
    box->clear();
    for (int row = 0; row < data->RecordCount(); ++row) {
        const QString key = data->ValueAt(row, code).toString();
        box->addItem(key + QStringLiteral(" - ") + data->ValueAt(row, description).toString());
        codes << key;
    }
    return codes;
}

QString PrimeiroCodigo(TDataSet* data, const QString& flag = QString()) {
    const int code = data->FieldIndex(QStringLiteral("CODIGO"));
    const int marked = flag.isEmpty() ? -1 : data->FieldIndex(flag);
    for (int row = 0; row < data->RecordCount(); ++row)
        if (marked < 0 || data->ValueAt(row, marked).toString() == QLatin1String("S"))
            return data->ValueAt(row, code).toString();
    return {};
}
} // namespace

TFmCadCorTing::TFmCadCorTing(QWidget* parent) : TFmCadastro(parent) {
    setObjectName(QStringLiteral("FmCadCorTing"));
    setWindowTitle(QStringLiteral("Cadastro de Cores e Estampas"));
    KeyPreview = true;
    ui.setupUi(PainelDados);
    ui.CbOrigem->addItems(Origens());
    m_ton = new QButtonGroup(this);
    m_ton->addButton(ui.RbClara, 0);
    m_ton->addButton(ui.RbMedia, 1);
    m_ton->addButton(ui.RbEscura, 2);
    m_ton->addButton(ui.RbEspecia, 3);

    // The picture sits beside the data panel, so that it can be enlarged while browsing.
    m_visor = new VisorCor(this);
    AdicionaAoLado(m_visor);

    connect(ui.PqCliente, &QToolButton::clicked, this, Protegido([this] { PqClienteClick(); }));
    connect(m_visor->BotaoImagem(), &QPushButton::clicked, this, Protegido([this] { BtImagemClick(); }));
}

TFmCadCorTing::~TFmCadCorTing() {
    // The instance variable must not point at a freed screen.
    if (FmCadCorTing == this)
        FmCadCorTing = nullptr;
}

void TFmCadCorTing::FormCreate() {
    PublicaInstancia(FmCadCorTing);
    cad.tabelaCompartilhada = QStringLiteral("tbCadcorTin");
    cad.tabela = QStringLiteral("CADCORTIN");
    cad.caixaCodigo = ui.EdtCodigo;
    cad.caixaDescricao = ui.EdtDescricao;
    cad.ultimaCaixa = ui.CkTingir;
    cad.checaCodigo = true;
    cad.textoCodigoVazio = QStringLiteral("Código da cor inválido.");
    cad.larguraProximo = 10;
    cad.tituloLog = QStringLiteral("CADASTRO DE COR TINGIMENTO");
    cad.textoInclusao = QStringLiteral("INCLUSAO DA COR: ");
    cad.textoAlteracao = QStringLiteral("ALTERACAO DA COR: ");
    cad.textoExclusao = QStringLiteral("EXCLUSAO DA COR: ");
    cad.colunas = QStringList{
        QStringLiteral("CODIGO=Código"),   QStringLiteral("DESCRICAO=Descrição"),
        QStringLiteral("COD_GRUPO=Grupo"), QStringLiteral("COD_CLAFIS=Cl. Fiscal"),
        QStringLiteral("COD_CLATRIB=CST"), QStringLiteral("COR_PANTONE=Pantone"),
        QStringLiteral("TON=Tonalidade"),  QStringLiteral("CODCLI=Cliente"),
        QStringLiteral("DATA=Cadastro"),
    };
    m_grupos = TTabela::AbreTabela(QStringLiteral("tbgrupo_Cor"));
    m_classes = TTabela::AbreTabela(QStringLiteral("tbtabfis"));
    m_tributos = TTabela::AbreTabela(QStringLiteral("tbtabtri"));
    AbreCadastro();
    FieldLink::Edit(ui.EdtCodigo, Dados(), QStringLiteral("CODIGO"));
    FieldLink::Edit(ui.EdtData, Dados(), QStringLiteral("DATA"));
    FieldLink::Edit(ui.EdtDescricao, Dados(), QStringLiteral("DESCRICAO"));
    FieldLink::Edit(ui.EdtComplemento, Dados(), QStringLiteral("COMPLEMENTO"));
    FieldLink::Combo(ui.CbGrupo, Dados(), QStringLiteral("COD_GRUPO"), PreencheLista(ui.CbGrupo, m_grupos));
    FieldLink::Combo(ui.CbClaFis, Dados(), QStringLiteral("COD_CLAFIS"),
                     PreencheLista(ui.CbClaFis, m_classes));
    FieldLink::Combo(ui.CbClaTrib, Dados(), QStringLiteral("COD_CLATRIB"),
                     PreencheLista(ui.CbClaTrib, m_tributos));
    FieldLink::Combo(ui.CbOrigem, Dados(), QStringLiteral("ORIGEM"));
    FieldLink::Edit(ui.EdtCodCli, Dados(), QStringLiteral("CODCLI"));
    new DescricaoCodigo(ui.EdtNomeCli, Dados(), QStringLiteral("CODCLI"), QStringLiteral("ENTIDADE"),
                        QStringLiteral("CODCLI"), QStringLiteral("NOME"));
    FieldLink::Edit(ui.EdtPantone, Dados(), QStringLiteral("COR_PANTONE"));
    FieldLink::Combo(ui.CbCorSis, Dados(), QStringLiteral("COR_SIS"), PreencheCaixaCor(ui.CbCorSis));
    FieldLink::Radio(m_ton, Dados(), QStringLiteral("TON"),
                     {QStringLiteral("Clara"), QStringLiteral("Media"), QStringLiteral("Escura"),
                      QStringLiteral("Especia")});
    FieldLink::Check(ui.CkReativa, Dados(), QStringLiteral("REATIVA"));
    FieldLink::Check(ui.CkTingir, Dados(), QStringLiteral("TINGIR"));
    const auto mostraCor = Protegido([this] { MostraCor(); });
    connect(Dados(), &TDataSet::scrolled, this, mostraCor);
    connect(Dados(), &TDataSet::rowChanged, this, mostraCor);
    connect(Dados(), &TDataSet::layoutReset, this, mostraCor);
    connect(Dados(), &TDataSet::stateChanged, this, mostraCor);
    MostraCor();
}

void TFmCadCorTing::NovoRegistro() {
    TTabelaDataSet* data = Dados();
    data->FieldByName(QStringLiteral("COD_GRUPO")) = PrimeiroCodigo(m_grupos);
    data->FieldByName(QStringLiteral("COD_CLAFIS")) = PrimeiroCodigo(m_classes, QStringLiteral("PADRAO"));
    data->FieldByName(QStringLiteral("TON")) = QStringLiteral("Clara");
    data->FieldByName(QStringLiteral("DATA")) = QDate::currentDate();
    // Unticked boxes are stored as what they show; a colour is dyed unless said otherwise.
    data->FieldByName(QStringLiteral("REATIVA")) = QStringLiteral("N");
    data->FieldByName(QStringLiteral("TINGIR")) = QStringLiteral("S");
}

bool TFmCadCorTing::DescricaoValida() {
    if (!ui.EdtDescricao->text().trimmed().isEmpty())
        return true;
    Informa(this, QStringLiteral("Descrição inválida."));
    ui.EdtDescricao->setFocus(Qt::OtherFocusReason);
    return false;
}

bool TFmCadCorTing::ClienteValido() {
    const QString customer = ui.EdtCodCli->text().trimmed();
    if (customer.isEmpty() ||
        Existe(QStringLiteral("ENTIDADE"), QStringLiteral("CODCLI"), QVariantList{customer}))
        return true;
    Informa(this, QStringLiteral("Cliente inválido."));
    ui.EdtCodCli->setFocus(Qt::OtherFocusReason);
    return false;
}

bool TFmCadCorTing::SaidaCaixa(QWidget* box) {
    if (box == ui.EdtDescricao)
        return DescricaoValida();
    if (box == ui.EdtCodCli)
        return ClienteValido();
    return true;
}

// The exit checks again: a click on Confirm need not pass through every box.
bool TFmCadCorTing::ValidaConfirmacao() {
    return DescricaoValida() && ClienteValido();
}

bool TFmCadCorTing::ValidaExclusao() {
    const QVariantList code{Dados()->FieldByName(QStringLiteral("CODIGO")).AsString()};
    if (!Existe(QStringLiteral("FAL"), QStringLiteral("COR"), code) &&
        !Existe(QStringLiteral("RECEITA"), QStringLiteral("COR"), code))
        return true;
    Informa(this, QStringLiteral("Cor está sendo utilizada."));
    return false;
}

QString TFmCadCorTing::IdentificacaoLog(const QString& code) {
    return code + QStringLiteral(" - ") + Dados()->FieldByName(QStringLiteral("DESCRICAO")).AsString();
}

void TFmCadCorTing::MostraCor() {
    TTabelaDataSet* data = Dados();
    const bool current = data && data->Active() && !data->IsEmpty();
    const QString code =
        current ? data->FieldByName(QStringLiteral("CODIGO")).AsString().trimmed() : QString();
    if (code != m_codigoImagem) {
        m_codigoImagem = code;
        m_visor->MostraImagem(BuscaArquivo(code, kPastaCores));
    }
    m_visor->MostraCor(current ? CorDoSistema(data->FieldByName(QStringLiteral("COR_SIS")).Value())
                               : QColor());
    // A picture belongs to a stored colour: a new one gets it once confirmed.
    m_visor->BotaoImagem()->setEnabled(current && data->State() != DataSetState::Insert && !code.isEmpty());
}

void TFmCadCorTing::PqClienteClick() {
    TPesquisa::PesquisaCampo(this, QStringLiteral("Clientes"), QStringLiteral("ENTIDADE"), Dados(),
                             QStringLiteral("CODCLI"), QStringLiteral("CODCLI"), QStringLiteral("NOME"));
}

void TFmCadCorTing::BtImagemClick() {
    const QString code = Dados()->FieldByName(QStringLiteral("CODIGO")).AsString().trimmed();
    const QString file = Mensagens().OpenFile(this, QStringLiteral("Imagem da cor ") + code, QString(),
                                              QStringLiteral("Imagens (*.png *.jpg *.jpeg *.bmp *.gif)"));
    if (file.isEmpty())
        return;
    if (!SalvaArquivo(file, code, kPastaCores)) {
        Informa(this, QStringLiteral("Não foi possível gravar a imagem da cor."));
        return;
    }
    m_codigoImagem.clear();
    MostraCor();
}
