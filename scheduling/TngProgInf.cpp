#include "TngProgInf.h"
#include "CaixaCliente.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "Funcoes.h"
#include "GravacaoAtomica.h"
#include "HostContext.h"
#include "HostUi.h"
#include "InstrucoesEmLote.h"
#include "Mensagens.h"
#include "ModuleUnits.h"
#include "Protecao.h"
#include "TClientDataSet.h"
#include "TZoDatabase.h"
#include "TZoQuery.h"
#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <utility>

TfmTngProgInf* fmTngProgInf = nullptr;

KELM_SCREEN_UNIT(TngProgInf, TfmTngProgInf);

namespace {
const QString kOF2 = QStringLiteral("OF2");
const QString kChave = QStringLiteral("CODIGO");
const QString kGrupo = QStringLiteral("GRUPO");
const QString kCampo = QStringLiteral("CAMPO");
const QString kResultado = QStringLiteral("RESULTADO");
const QString kObservacao = QStringLiteral("OBSERVACAO");
const QString kClienteInexistente = QStringLiteral("Cliente Inexistente.");
const QString kProdutoInexistente = QStringLiteral("Produto Inexistente.");

// A field of the standard sheet.
struct LinhaQuadro {
    QString chave, grupo, campo;
};

QString texto(TDataSet& dados, const QString& campo) {
    return dados.FieldByName(campo).AsString().trimmed();
}

// The empty standard sheet, in code order.
QList<LinhaQuadro> leOFPadrao() {
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT CAMPO, CODIGO, DESCRICAO FROM %1 ORDER BY CODIGO")
                 .arg(DBLocal(QStringLiteral("OFPADRAO")));
    q.Open();
    QList<LinhaQuadro> linhas;
    linhas.reserve(q.RecordCount());
    for (q.First(); !q.Eof(); q.Next())
        linhas.append({texto(q, QStringLiteral("CODIGO")), texto(q, QStringLiteral("DESCRICAO")),
                       texto(q, QStringLiteral("CAMPO"))});
    return linhas;
}
} // namespace

TfmTngProgInf::TfmTngProgInf(QWidget* parent) : TForm(parent), TbQuadro(new TClientDataSet(this)) {
    setObjectName(QStringLiteral("fmTngProgInf"));
    setWindowTitle(QStringLiteral("Quadro de Informações"));
    KeyPreview = true;
    ui.setupUi(this);
    connect(ui.btnConsultar, &QPushButton::clicked, this, Protegido([this] { btnConsultarClick(); }));
    connect(ui.btnConfirmar, &QPushButton::clicked, this, Protegido([this] { btnConfirmarClick(); }));
    connect(ui.BtnImportar, &QPushButton::clicked, this, Protegido([this] { BtnImportarClick(); }));
    connect(ui.BtFechar, &QPushButton::clicked, this, [this] { close(); });
    // A blank box opens its look-up; one left blank may be left (the save refuses it).
    DeclaracaoCaixa cliente = CaixaCliente(ui.EdtCodCli, true, kClienteInexistente);
    cliente.descricao = ui.EdtNomeCli;
    cliente.botao = ui.PqCliente;
    cliente.abreVazia = true;
    DeclaraCaixa(cliente);
    DeclaraCaixa({.caixa = ui.EdtCodPro,
                  .descricao = ui.EdtDescPro,
                  .botao = ui.PqProduto,
                  .titulo = QStringLiteral("Produtos"),
                  .tabela = QStringLiteral("PRODUTO"),
                  .recusa = kProdutoInexistente,
                  .abreVazia = true});
    SaidaSemConferencia(ui.BtFechar);
}

void TfmTngProgInf::FormCreate() {
    PublicaInstancia(fmTngProgInf);
    TbQuadro->setObjectName(QStringLiteral("TbQuadro"));
    TbQuadro->AddField(kChave, QMetaType::QString, 6)
        .AddField(kGrupo, QMetaType::QString, 40)
        .AddField(kCampo, QMetaType::QString, 80)
        .AddField(kResultado, QMetaType::QString, kTamResultado)
        .AddField(kObservacao, QMetaType::QString, kTamObservacao);
    TbQuadro->CreateDataSet();
    ui.SgQuadro->SetDataSet(TbQuadro);
    ui.SgQuadro->SetReadOnly(false);
    ui.SgQuadro->DeclaraColunas({ColunaGrade(kGrupo, "Grupo").Largura(12).SomenteLeitura(),
                                 ColunaGrade(kCampo, "Especificações").Largura(28).SomenteLeitura(),
                                 ColunaGrade(kResultado, "Resultados").Largura(28),
                                 ColunaGrade(kObservacao, "Observações").Estica()});
    VigiaAlteracoes({TbQuadro}, {ui.MmObservacao}, ui.btnConfirmar);
    ui.EdtCodCli->setFocus();
}

void TfmTngProgInf::MostraQuadro(const QString& produto, const QString& cliente) {
    m_produtoPedido = produto.trimmed();
    m_clientePedido = cliente.trimmed();
    m_pedido = true;
    if (!isVisible())
        return;
    FormShow();
    if (auto* janela = qobject_cast<QMdiSubWindow*>(parentWidget()); janela && janela->mdiArea())
        janela->mdiArea()->setActiveSubWindow(janela);
    else
        activateWindow();
}

void TfmTngProgInf::showEvent(QShowEvent* event) {
    TForm::showEvent(event);
    ExecutaProtegido([this] { FormShow(); });
}

void TfmTngProgInf::FormShow() {
    if (!std::exchange(m_pedido, false))
        return;
    ui.EdtCodPro->setText(m_produtoPedido);
    ui.EdtCodCli->setText(m_clientePedido);
    btnConsultarClick();
}

void TfmTngProgInf::LimparQuadro() {
    TbQuadro->EmptyDataSet();
}

void TfmTngProgInf::BuscarOFPadrao() {
    LimparQuadro();
    const QList<LinhaQuadro> linhas = leOFPadrao();
    ControlesDesligados quieto(*TbQuadro);
    for (const LinhaQuadro& linha : linhas) {
        TbQuadro->Append();
        TbQuadro->FieldByName(kChave) = linha.chave;
        TbQuadro->FieldByName(kGrupo) = linha.grupo;
        TbQuadro->FieldByName(kCampo) = linha.campo;
        TbQuadro->Post();
    }
    TbQuadro->First();
}

// The values go to the standard rows they match; the standard row keeps its own code, group and text, so
// that the next save stores the sheet as the standard has it now.
void TfmTngProgInf::BuscarOF2(const QString& produto, const QString& cliente) {
    BuscarOFPadrao();
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT CAMPO, MOV, DESCRICAO, DESCRICAO2, DESCRICAO3, OBS FROM %1")
                 .arg(DBLocal(kOF2))
          << QStringLiteral("WHERE CODIGO = :CODIGO AND NUMERO = :NUMERO ORDER BY MOV");
    q.BindValue(QStringLiteral("CODIGO"), produto);
    q.BindValue(QStringLiteral("NUMERO"), cliente);
    q.Open();
    q.First();
    ui.MmObservacao->setPlainText(q.IsEmpty() ? QString() : q.FieldByName(QStringLiteral("OBS")).AsString());
    QList<CampoQuadro> padrao, gravados;
    const int chave = TbQuadro->FieldIndex(kChave), campo = TbQuadro->FieldIndex(kCampo);
    for (int linha = 0; linha < TbQuadro->RecordCount(); ++linha)
        padrao.append(
            {TbQuadro->ValueAt(linha, chave).toString(), TbQuadro->ValueAt(linha, campo).toString()});
    for (q.First(); !q.Eof(); q.Next())
        gravados.append({texto(q, QStringLiteral("MOV")), texto(q, QStringLiteral("CAMPO"))});
    const QList<int> destino = CasaCamposGravados(padrao, gravados);
    {
        ControlesDesligados quieto(*TbQuadro);
        const int resultado = TbQuadro->FieldIndex(kResultado),
                  observacao = TbQuadro->FieldIndex(kObservacao);
        int i = 0;
        for (q.First(); !q.Eof(); q.Next(), ++i) {
            if (destino[i] < 0)
                continue;
            TbQuadro->SetValueAt(destino[i], resultado,
                                 q.FieldByName(QStringLiteral("DESCRICAO2")).AsString());
            TbQuadro->SetValueAt(destino[i], observacao,
                                 q.FieldByName(QStringLiteral("DESCRICAO3")).AsString());
            TbQuadro->Post();
        }
        TbQuadro->First();
    }
    // Typing starts where the sheet is filled in.
    ui.SgQuadro->SelectField(kResultado);
}

void TfmTngProgInf::btnConsultarClick() {
    BuscarOF2(ui.EdtCodPro->text().trimmed(), ui.EdtCodCli->text().trimmed());
    AlteracoesGravadas();
}

// Another customer's sheet of the product comes onto the screen; it is stored under the screen's customer
// only by Confirmar. A code nobody has would blank what is on the screen, so it is refused.
void TfmTngProgInf::BtnImportarClick() {
    QString cliente;
    if (!InputQuery(this, QStringLiteral("Cliente"), QStringLiteral("Código do cliente"), cliente))
        return;
    cliente = cliente.trimmed();
    if (cliente.isEmpty())
        return;
    if (!Existe(QStringLiteral("ENTIDADE"), QStringLiteral("CODCLI"), Aspas(cliente))) {
        Informa(this, QStringLiteral("Cliente Inexistente."));
        return;
    }
    BuscarOF2(ui.EdtCodPro->text().trimmed(), cliente);
    AlteracaoPendente();
}

// Text longer than its column would fail the save half-way; it is pointed out before anything is written.
bool TfmTngProgInf::TextosCabem() {
    if (ui.MmObservacao->toPlainText().size() > kTamObsQuadro)
        return Recusa(ui.MmObservacao,
                      QStringLiteral("Observação com mais de %1 caracteres.").arg(kTamObsQuadro));
    const std::pair<QString, int> colunas[] = {{kResultado, kTamResultado}, {kObservacao, kTamObservacao}};
    for (int linha = 0; linha < TbQuadro->RecordCount(); ++linha) {
        for (const auto& [coluna, tamanho] : colunas) {
            if (TbQuadro->ValueAt(linha, TbQuadro->FieldIndex(coluna)).toString().trimmed().size() <= tamanho)
                continue;
            TbQuadro->MoveTo(linha);
            Informa(this, QStringLiteral("%1 de \"%2\" com mais de %3 caracteres.")
                              .arg(TbQuadro->FieldDefByName(coluna).displayLabel,
                                   TbQuadro->ValueAt(linha, TbQuadro->FieldIndex(kCampo)).toString())
                              .arg(tamanho));
            ui.SgQuadro->setFocus(Qt::OtherFocusReason);
            ui.SgQuadro->SelectField(coluna);
            return false;
        }
    }
    return true;
}

// The sheet is replaced wholesale in one unit of work, its inserts fifty to a block. The key locked first
// keeps two workstations from storing the same sheet twice over.
void TfmTngProgInf::GravaQuadro(const QString& produto, const QString& cliente) {
    TravaChave(kOF2, produto + QLatin1Char('|') + cliente);
    TZoQuery exclusao;
    exclusao.SQL
        << QStringLiteral("DELETE FROM %1 WHERE CODIGO = :CODIGO AND NUMERO = :NUMERO").arg(DBLocal(kOF2));
    exclusao.BindValue(QStringLiteral("CODIGO"), produto);
    exclusao.BindValue(QStringLiteral("NUMERO"), cliente);
    exclusao.ExecSQL();
    // What every row repeats: the product, the customer, the sheet's remark, the kind and the day.
    const QString comum = QStringLiteral(", %1, %2, %3, '1', %4)")
                              .arg(Aspas(ui.MmObservacao->toPlainText()), Aspas(produto), Aspas(cliente),
                                   DataSQL(QDate::currentDate()));
    const QString insercao =
        QStringLiteral("INSERT INTO %1 (CAMPO, MOV, DESCRICAO, DESCRICAO2, DESCRICAO3, OBS, CODIGO, NUMERO, "
                       "TIPO, DATA) VALUES (")
            .arg(DBLocal(kOF2));
    const int campos[] = {TbQuadro->FieldIndex(kCampo), TbQuadro->FieldIndex(kChave),
                          TbQuadro->FieldIndex(kGrupo), TbQuadro->FieldIndex(kResultado),
                          TbQuadro->FieldIndex(kObservacao)};
    InstrucoesEmLote lote(*ConexaoHost());
    for (int linha = 0; linha < TbQuadro->RecordCount(); ++linha) {
        QStringList valores;
        for (const int campo : campos)
            valores << Aspas(TbQuadro->ValueAt(linha, campo).toString().trimmed());
        lote.Adiciona(insercao + valores.join(QStringLiteral(", ")) + comum);
    }
    lote.Executa();
}

void TfmTngProgInf::btnConfirmarClick() {
    if (!TbQuadro->Post())
        return;
    const QString cliente = ui.EdtCodCli->text().trimmed();
    const QString produto = ui.EdtCodPro->text().trimmed();
    // A sheet under a blank or unknown code could never be opened again.
    if (cliente.isEmpty()) {
        Recusa(ui.EdtCodCli, QStringLiteral("Cliente inválido."));
        return;
    }
    if (const QString recusa = RecusaDoCliente(cliente, kClienteInexistente); !recusa.isEmpty()) {
        Recusa(ui.EdtCodCli, recusa);
        return;
    }
    if (produto.isEmpty()) {
        Recusa(ui.EdtCodPro, QStringLiteral("Produto inválido."));
        return;
    }
    if (!Existe(QStringLiteral("PRODUTO"), QStringLiteral("CODIGO"), QVariantList{produto})) {
        Recusa(ui.EdtCodPro, kProdutoInexistente);
        return;
    }
    // A grid never loaded would wipe the stored sheet out.
    if (TbQuadro->IsEmpty()) {
        Informa(this, QStringLiteral("Nenhuma especificação para gravar."));
        return;
    }
    if (!TextosCabem())
        return;
    {
        GravacaoAtomica gravacao;
        GravaQuadro(produto, cliente);
        gravacao.Confirma();
    }
    AlteracoesGravadas();
    Informa(this, QStringLiteral("Informações gravadas com sucesso."));
}

// Enter in the grid moves to the next cell as Tab does.
bool TfmTngProgInf::TeclaControle(QWidget* control, QKeyEvent* tecla) {
    const bool enter = tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter;
    if (enter && tecla->modifiers() == Qt::NoModifier &&
        (control == ui.SgQuadro || ui.SgQuadro->isAncestorOf(control))) {
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(control, &tab);
        return true;
    }
    return TForm::TeclaControle(control, tecla);
}

QWidget* AbreQuadroInformacoes(const QString& produto, const QString& cliente) {
    if (fmTngProgInf) {
        fmTngProgInf->MostraQuadro(produto, cliente);
        return fmTngProgInf;
    }
    QWidget* quadro = Carrega_Form(
        QStringLiteral("kelmTingimento.bpl"), QStringLiteral("TfmTngProgInf"),
        ArgumentosTela{{QStringLiteral("PRODUTO"), produto}, {QStringLiteral("CLIENTE"), cliente}}, false,
        true);
    if (!quadro)
        return nullptr;
    if (HostContext* host = HostContext::Current(); host && host->ShowScreen)
        host->ShowScreen(quadro);
    else
        quadro->show();
    return quadro;
}
