#include "CadCorTing.h"
#include "CaixaPesquisa.h"
#include "CorSistema.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "HostUi.h"
#include "Mensagens.h"
#include "ModuleUnits.h"
#include "Protecao.h"
#include "TZoQuery.h"
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

// The first code of a table (in code order) among the rows that match; empty when none does.
QString PrimeiroCodigo(const QString& table, const QString& where = QString()) {
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT FIRST 1 CODIGO FROM %1").arg(DBLocal(table));
    if (!where.isEmpty())
        q.SQL << QStringLiteral("WHERE ") + where;
    q.SQL << QStringLiteral("ORDER BY CODIGO");
    q.Open();
    return q.IsEmpty() ? QString() : q.FieldByName(QStringLiteral("CODIGO")).AsString();
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

    connect(m_visor->BotaoImagem(), &QPushButton::clicked, this, Protegido([this] { BtImagemClick(); }));
}

void TFmCadCorTing::FormCreate() {
    PublicaInstancia(FmCadCorTing);
    cad.tabelaCompartilhada = QStringLiteral("tbCadcorTin");
    cad.tabela = QStringLiteral("CADCORTIN");
    cad.caixaCodigo = ui.EdtCodigo;
    cad.caixaDescricao = ui.EdtDescricao;
    cad.checaCodigo = true;
    cad.textoCodigoVazio = QStringLiteral("Código da cor inválido.");
    cad.larguraProximo = 10;
    cad.tituloLog = QStringLiteral("CADASTRO DE COR TINGIMENTO");
    cad.textoInclusao = QStringLiteral("INCLUSAO DA COR: ");
    cad.textoAlteracao = QStringLiteral("ALTERACAO DA COR: ");
    cad.textoExclusao = QStringLiteral("EXCLUSAO DA COR: ");
    cad.colunas = {{"CODIGO", "Código"},   ColunaGrade("DESCRICAO", "Descrição").Estica(),
                   {"COD_GRUPO", "Grupo"}, {"COD_CLAFIS", "Cl. fiscal"},
                   {"COD_CLATRIB", "CST"}, {"COR_PANTONE", "Pantone"},
                   {"TON", "Tonalidade"},  {"CODCLI", "Cliente"},
                   {"DATA", "Cadastro"}};
    AbreCadastro();
    FieldLink::Edit(ui.EdtCodigo, Dados(), QStringLiteral("CODIGO"));
    FieldLink::Edit(ui.EdtData, Dados(), QStringLiteral("DATA"));
    FieldLink::Edit(ui.EdtDescricao, Dados(), QStringLiteral("DESCRICAO"));
    FieldLink::Edit(ui.EdtComplemento, Dados(), QStringLiteral("COMPLEMENTO"));
    const struct {
        QLineEdit *caixa, *descricao;
        QToolButton* botao;
        const char *campo, *tabela, *chave, *campoDescricao, *titulo, *recusa;
    } codigos[] = {
        {ui.EdtCodGrupo, ui.EdtDesGrupo, ui.PqGrupo, "COD_GRUPO", "GRUPO_COR", "CODIGO", "DESCRICAO",
         "Grupos de Cores", "Grupo inválido."},
        {ui.EdtClaFis, ui.EdtDesClaFis, ui.PqClaFis, "COD_CLAFIS", "TABFIS", "CODIGO", "DESCRICAO",
         "Classificações Fiscais", "Classificação fiscal inválida."},
        {ui.EdtClaTrib, ui.EdtDesClaTrib, ui.PqClaTrib, "COD_CLATRIB", "TABTRI", "CODIGO", "DESCRICAO",
         "Situações Tributárias", "Situação tributária inválida."},
        {ui.EdtCodCli, ui.EdtNomeCli, ui.PqCliente, "CODCLI", "ENTIDADE", "CODCLI", "NOME", "Clientes",
         "Cliente inválido."},
    };
    for (const auto& c : codigos) {
        // An empty code is allowed.
        m_codigos << DeclaraCaixa({.caixa = c.caixa,
                                   .descricao = c.descricao,
                                   .botao = c.botao,
                                   .titulo = QString::fromUtf8(c.titulo),
                                   .tabela = QLatin1String(c.tabela),
                                   .chave = QLatin1String(c.chave),
                                   .campoDescricao = QLatin1String(c.campoDescricao),
                                   .recusa = QString::fromUtf8(c.recusa)});
        FieldLink::Edit(c.caixa, Dados(),
                        QLatin1String(c.campo)); // shown once declared: its description with it
    }
    FieldLink::Combo(ui.CbOrigem, Dados(), QStringLiteral("ORIGEM"));
    FieldLink::Edit(ui.EdtPantone, Dados(), QStringLiteral("COR_PANTONE"));
    new CaixaCor(ui.CbCorSis, Dados(), QStringLiteral("COR_SIS"));
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
    data->FieldByName(QStringLiteral("COD_GRUPO")) = PrimeiroCodigo(QStringLiteral("GRUPO_COR"));
    data->FieldByName(QStringLiteral("COD_CLAFIS")) =
        PrimeiroCodigo(QStringLiteral("TABFIS"), QStringLiteral("PADRAO = 'S'"));
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

bool TFmCadCorTing::SaidaCaixa(QWidget* box) {
    return box != ui.EdtDescricao || DescricaoValida();
}

// The exit checks again: a click on Confirm need not pass through every box.
bool TFmCadCorTing::ValidaConfirmacao() {
    if (!DescricaoValida())
        return false;
    for (CaixaPesquisa* codigo : std::as_const(m_codigos))
        if (!codigo->Confere())
            return false;
    return true;
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
