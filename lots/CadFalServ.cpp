#include "CadFalServ.h"
#include "CaixaPesquisa.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "Mensagens.h"
#include "ModuleUnits.h"
#include "Protecao.h"
#include "Receitas.h"
#include "TClientDataSet.h"
#include "TZoQuery.h"

TFmCadFalServ* FmCadFalServ = nullptr;

KELM_SCREEN_UNIT(CadFalServ, TFmCadFalServ);

namespace {
const QString kTabela = QStringLiteral("TABELA");
const QString kFase = QStringLiteral("FASE");
const QString kDescricao = QStringLiteral("DESCRICAO");
const QString kCusto = QStringLiteral("CUSTO");
// What is compared between the services loaded and the services stored.
const QStringList kGravados = {QStringLiteral("SETOR"), QStringLiteral("PRECO")};
constexpr int kPercentual = 1; // the second kind of "Tipo"
} // namespace

TFmCadFalServ::TFmCadFalServ(QWidget* parent)
    : TForm(parent), TbServ(new TClientDataSet(this)),
      m_servicos(kTabela, QStringLiteral("CODIGO"), kGravados) {
    setObjectName(QStringLiteral("FmCadFalServ"));
    setWindowTitle(QStringLiteral("Cadastro de Serviços na F.A.L."));
    ui.setupUi(this);
    connect(ui.BitBtn1, &QPushButton::clicked, this, Protegido([this] { BitBtn1Click(); }));
    connect(ui.BitBtn4, &QPushButton::clicked, this, Protegido([this] { BitBtn4Click(); }));
    connect(ui.BtnGravar, &QPushButton::clicked, this, Protegido([this] { Grava_Dados(); }));
    connect(ui.BtnFechar, &QPushButton::clicked, this, [this] { close(); });
    // Any code may be typed: "Incluir" tells an unknown service.
    DeclaraCaixa({.caixa = ui.EdtCodFas,
                  .descricao = ui.EdtDesFas,
                  .botao = ui.PqFase,
                  .titulo = QStringLiteral("Serviços"),
                  .tabela = kFase});
    connect(ui.EdtCodFas, &QLineEdit::textChanged, this, Protegido([this] { MostraCusto(); }));
}

void TFmCadFalServ::FormCreate() {
    PublicaInstancia(FmCadFalServ);
    TbServ->setObjectName(QStringLiteral("TbServ"));
    TbServ->AddField(kFase, QMetaType::QString, 3)
        .AddField(kDescricao, QMetaType::QString, 50)
        .AddField(kCusto, QMetaType::Double);
    TbServ->CreateDataSet();
    ui.DBGrid1->SetDataSet(TbServ);
    ui.DBGrid1->DeclaraColunas(
        {{kFase, "Fase"}, ColunaGrade(kDescricao, "Descrição").Estica(), {kCusto, "Custo"}});
    ui.EdtPrecoCor->setText(TextoExibicao(0.0, 2));
    ui.EdtCodFas->setFocus();
}

void TFmCadFalServ::Busca_Dados(const QString& fal, const QString& cliente) {
    m_fal = fal.trimmed();
    m_cliente = cliente.trimmed();
    TZoQuery q;
    q.SQL << QStringLiteral(
                 "SELECT FAL.COR, FAL.VARIANTE, FAL.TABPRECO FROM %1 FAL WHERE FAL.NUMERO = :NUMERO")
                 .arg(DBLocal(QStringLiteral("FAL")));
    q.BindValue(QStringLiteral("NUMERO"), m_fal);
    q.Open();
    m_precoCor = q.IsEmpty()
                     ? 0
                     : PrecoTabela(q.FieldByName(QStringLiteral("TABPRECO")).AsString(),
                                   q.FieldByName(QStringLiteral("COR")).AsString(),
                                   q.FieldByName(QStringLiteral("VARIANTE")).AsString(), QStringLiteral("00"))
                           .value_or(0);
    ui.EdtPrecoCor->setText(TextoExibicao(m_precoCor, 2));
    CarregaLista();
}

void TFmCadFalServ::CarregaLista() {
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT TABELA.SETOR, TABELA.PRECO, FASE.DESCRICAO FROM %1 TABELA")
                 .arg(DBLocal(kTabela))
          << QStringLiteral("LEFT OUTER JOIN %1 FASE ON (TABELA.SETOR = FASE.CODIGO)").arg(DBLocal(kFase))
          << QStringLiteral("WHERE TABELA.CODIGO = :CODIGO");
    q.BindValue(QStringLiteral("CODIGO"), m_fal);
    q.Open();
    TbServ->DisableControls();
    TbServ->EmptyDataSet();
    for (q.First(); !q.Eof(); q.Next()) {
        TbServ->Append();
        TbServ->FieldByName(kFase) = q.FieldByName(QStringLiteral("SETOR")).Value();
        TbServ->FieldByName(kDescricao) = q.FieldByName(kDescricao).Value();
        TbServ->FieldByName(kCusto) = q.FieldByName(QStringLiteral("PRECO")).Value();
        TbServ->Post();
    }
    TbServ->First();
    TbServ->EnableControls();
    m_servicos.Carregado(m_fal, q);
}

// The customer's price of the service typed, proposed.
void TFmCadFalServ::MostraCusto() {
    const QString fase = ui.EdtCodFas->text().trimmed();
    if (fase.isEmpty()) {
        ui.EdtCusto->clear();
        return;
    }
    const QString preco =
        Busca_Valor(QStringLiteral("TABPRE_SERV"), QStringLiteral("FASE;CODCLI"), kCusto, {fase, m_cliente});
    ui.EdtCusto->setText(preco.isEmpty() ? QString() : TextoExibicao(preco.toDouble()));
}

// A percentual service costs that share of the colour's price; an empty box is no cost.
void TFmCadFalServ::BitBtn1Click() {
    const QString fase = ui.EdtCodFas->text().trimmed();
    if (fase.isEmpty() || !Existe(kFase, QStringLiteral("CODIGO"), QVariantList{fase})) {
        Informa(this, QStringLiteral("Serviço não encontrado."));
        ui.EdtCodFas->setFocus();
        return;
    }
    double custo = 0;
    const QString digitado = ui.EdtCusto->text().trimmed();
    if (!digitado.isEmpty() && !LeNumero(digitado, custo)) {
        Informa(this, QStringLiteral("Custo inválido."));
        ui.EdtCusto->setFocus();
        return;
    }
    if (ui.CbTipo->currentIndex() == kPercentual)
        custo = Arredondar(m_precoCor / 100 * custo, 4); // a price is currency: four decimals
    TbServ->Append();
    TbServ->FieldByName(kFase) = fase;
    TbServ->FieldByName(kDescricao) = Busca_Valor(kFase, QStringLiteral("CODIGO"), kDescricao, {fase});
    TbServ->FieldByName(kCusto) = custo;
    TbServ->Post();
    ui.EdtCodFas->clear();
    ui.EdtCusto->clear();
    ui.EdtCodFas->setFocus();
}

void TFmCadFalServ::BitBtn4Click() {
    if (!TbServ->IsEmpty())
        TbServ->Delete();
}

// The list replaces the sheet's stored services as a whole, unless someone else (the programme, a
// reprocess, another workstation) changed them since they were loaded: those are not wiped unseen.
void TFmCadFalServ::Grava_Dados() {
    if (m_fal.isEmpty())
        return; // opened without a sheet: there is nothing to store the list under
    const bool gravou = m_servicos.Grava(m_fal, [this](const QString& fal, bool) {
        TZoQuery insercao;
        insercao.SQL << QStringLiteral(
                            "INSERT INTO %1 (CODIGO, SETOR, PRECO) VALUES (:CODIGO, :SETOR, :PRECO)")
                            .arg(DBLocal(kTabela));
        const int fase = TbServ->FieldIndex(kFase), custo = TbServ->FieldIndex(kCusto);
        for (int linha = 0; linha < TbServ->RecordCount(); ++linha) {
            insercao.BindValue(QStringLiteral("CODIGO"), fal);
            insercao.BindValue(QStringLiteral("SETOR"), TbServ->ValueAt(linha, fase));
            insercao.BindValue(QStringLiteral("PRECO"), TbServ->ValueAt(linha, custo));
            insercao.ExecSQL();
        }
    });
    if (gravou)
        return;
    Informa(this,
            QStringLiteral("Os serviços da FAL %1 foram alterados por outro usuário depois que esta tela "
                           "os carregou; nada foi gravado. A lista foi carregada como está agora.")
                .arg(m_fal));
    CarregaLista();
}
