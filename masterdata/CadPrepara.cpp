#include "CadPrepara.h"
#include "CaixaPesquisa.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "Funcoes.h"
#include "GradeEdicao.h"
#include "HostUi.h"
#include "Mensagens.h"
#include "ModuleUnits.h"
#include "Protecao.h"
#include "Receitas.h"
#include "TClientDataSet.h"
#include "TPesquisa.h"
#include "TZoQuery.h"
#include <QKeyEvent>
#include <QScopeGuard>
#include <QScopedValueRollback>

TFmCadPrepara* FmCadPrepara = nullptr;

KELM_SCREEN_UNIT(CadPrepara, TFmCadPrepara);

namespace {
const QString kPreparacao = QStringLiteral("PREPARACAO");
const QString kTitulo = QStringLiteral("CADASTRO DE PREPARACAO");
const QString kMaterial = QStringLiteral("MATERIAL");
const QString kTipo = QStringLiteral("TIPO");
const QString kRegra = QStringLiteral("REGRA");
// What is compared between the items loaded and the items stored.
const QStringList kGravados = {
    QStringLiteral("DESCRICAO"), QStringLiteral("MATERIAL"), QStringLiteral("UNIDADE"),
    QStringLiteral("FIBRA"),     QStringLiteral("PASSO"),    QStringLiteral("TIPO"),
    QStringLiteral("ORDEM"),     QStringLiteral("REGRA"),    QStringLiteral("QTDE")};

QString texto(TDataSet& item, const QString& campo) {
    return item.FieldByName(campo).AsString().trimmed();
}

QString descricaoDe(const QString& tabela, const QString& codigo) {
    return codigo.isEmpty()
               ? QString()
               : Busca_Valor(tabela, QStringLiteral("CODIGO"), QStringLiteral("DESCRICAO"), {codigo});
}

bool existe(const QString& tabela, const QString& codigo) {
    return !codigo.isEmpty() && Existe(tabela, QStringLiteral("CODIGO"), QVariantList{codigo});
}
} // namespace

TFmCadPrepara::TFmCadPrepara(QWidget* parent)
    : TForm(parent), TbMat(new TClientDataSet(this)),
      m_itens(kPreparacao, QStringLiteral("CODIGO"), kGravados) {
    setObjectName(QStringLiteral("FmCadPrepara"));
    setWindowTitle(QStringLiteral("Cadastro de Preparações"));
    ui.setupUi(this);
    connect(ui.BtGravar, &QPushButton::clicked, this, Protegido([this] { BtGravarClick(); }));
    connect(ui.BtDuplicar, &QPushButton::clicked, this, Protegido([this] { BtDuplicarClick(); }));
    connect(ui.BtExcluir, &QPushButton::clicked, this, Protegido([this] { BtExcluirClick(); }));
    connect(ui.BtFechar, &QPushButton::clicked, this, [this] { close(); });
}

void TFmCadPrepara::FormCreate() {
    // The description box is the preparation's own, typed here: the code shows the stored one.
    DeclaraCaixa(CaixaDoProprioCadastro(ui.EdtCodPrep, ui.PqPrepara, QStringLiteral("Preparações"),
                                        kPreparacao, ui.EdtDescricao));
    DicaTeclas(
        {ui.DBGrid1},
        QStringLiteral(
            "F4: pesquisa (colunas Código, Tipo e Regra) · Insert: linha nova · Ctrl+Del: exclui a linha"));
    TbMat->setObjectName(QStringLiteral("TbMat"));
    TbMat->AddField(QStringLiteral("ORDEM"), QMetaType::Int)
        .AddField(kMaterial, QMetaType::QString, 15)
        .AddField(QStringLiteral("DESC_MAT"), QMetaType::QString, 50)
        .AddField(QStringLiteral("UNIDADE"), QMetaType::QString, 4)
        .AddField(QStringLiteral("QTDE"), QMetaType::Double)
        .AddField(kTipo, QMetaType::QString, 3)
        .AddField(QStringLiteral("PASSO"), QMetaType::QString, 3)
        .AddField(QStringLiteral("FIBRA"), QMetaType::QString, 1)
        .AddField(kRegra, QMetaType::QString, 3)
        .AddField(QStringLiteral("DESC_REGRA"), QMetaType::QString, 50);
    TbMat->CreateDataSet();
    TbMat->SetIndexFieldNames(QStringLiteral("ORDEM"));
    TbMat->BeforePost = [this](TDataSet& item) { PreencheDescricoes(item); };
    TbMat->AfterInsert = [this](TDataSet&) { ui.DBGrid1->SelectField(QStringLiteral("ORDEM")); };
    ui.DBGrid1->SetDataSet(TbMat);
    ui.DBGrid1->SetReadOnly(false);
    ui.DBGrid1->DeclaraColunas({{"ORDEM", "Ordem"},
                                {kMaterial, "Código"},
                                ColunaGrade("DESC_MAT", "Descrição").SomenteLeitura().Estica(),
                                {"UNIDADE", "Unidade"},
                                {"QTDE", "Quantidade"},
                                {kTipo, "Tipo"},
                                {"PASSO", "Passo"},
                                {"FIBRA", "Fibra"},
                                {kRegra, "Regra"},
                                ColunaGrade("DESC_REGRA", "Descrição da regra").SomenteLeitura()});
    ui.DBGrid1->OnKeyDown = [this](QKeyEvent* tecla) { return DBGrid1KeyDown(tecla); };
    m_recalculaReceitas = BuscaParametro(QStringLiteral("MAT"), 170).trimmed() == QLatin1String("S");
    VigiaAlteracoes({TbMat}, {ui.EdtDescricao}, ui.BtGravar);
    ui.EdtCodPrep->setFocus();
}

// Runs when the code box is left with a code other than the one already checked: coming back to the screen
// and clicking into the grid must not load the preparation again over what was typed.
void TFmCadPrepara::EdtCodPrepExit() {
    const QString codigo = ui.EdtCodPrep->text().trimmed();
    if (codigo.isEmpty() || codigo == m_itens.Codigo())
        return;
    BuscaDados();
}

void TFmCadPrepara::BuscaDados() {
    const QString codigo = ui.EdtCodPrep->text().trimmed();
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT PREPARACAO.*, MATERIAL.DESCRICAO AS DESC_MAT,")
          // A rule has one row per line, all with its description: the first one names it.
          << QStringLiteral("(SELECT FIRST 1 R.DESCRICAO FROM %1 R WHERE R.CODIGO = PREPARACAO.REGRA) AS "
                            "DESC_REGRA")
                 .arg(DBLocal(QStringLiteral("TNG_REGRA")))
          << QStringLiteral("FROM %1 PREPARACAO LEFT OUTER JOIN %2 MATERIAL ON (PREPARACAO.MATERIAL = "
                            "MATERIAL.CODIGO)")
                 .arg(DBLocal(kPreparacao), DBLocal(kMaterial))
          << QStringLiteral("WHERE PREPARACAO.CODIGO = %1 ORDER BY PREPARACAO.ORDEM").arg(Aspas(codigo));
    q.Open();
    QScopedValueRollback<bool> comoGravados(m_carregando, true);
    TbMat->DisableControls();
    TbMat->EmptyDataSet();
    for (q.First(); !q.Eof(); q.Next()) {
        TbMat->Append();
        for (int campo = 0; campo < TbMat->FieldCount(); ++campo)
            TbMat->Fields(campo) = q.FieldByName(TbMat->FieldDefs()[campo].name).Value();
        TbMat->Post();
    }
    TbMat->First();
    TbMat->EnableControls();
    // A preparation loaded again under the same code shows its stored description, not the one typed before.
    if (!q.IsEmpty()) {
        q.First();
        ui.EdtDescricao->setText(q.FieldByName(QStringLiteral("DESCRICAO")).AsString());
    }
    m_itens.Carregado(codigo, q);
    AlteracoesGravadas();
}

void TFmCadPrepara::Limpa() {
    TbMat->EmptyDataSet();
    m_itens.Esquece();
    ui.EdtCodPrep->clear();
    AlteracoesGravadas();
    ui.EdtCodPrep->setFocus();
}

void TFmCadPrepara::PreencheDescricoes(TDataSet& item) {
    if (m_carregando)
        return;
    item.FieldByName(QStringLiteral("DESC_MAT")) = descricaoDe(kMaterial, texto(item, kMaterial));
    item.FieldByName(QStringLiteral("DESC_REGRA")) =
        descricaoDe(QStringLiteral("TNG_REGRA"), texto(item, kRegra));
}

// Tab in the product, kind and rule columns posts the item and checks its code; an unknown code is cleared
// and the cursor stays on it.
bool TFmCadPrepara::ConfereMaterial() {
    if (!TbMat->Post())
        return false;
    if (existe(kMaterial, texto(*TbMat, kMaterial)))
        return true;
    Informa(this, QStringLiteral("Material não cadastrado."));
    TbMat->Edit();
    TbMat->FieldByName(kMaterial).Clear();
    TbMat->Post();
    return false;
}

bool TFmCadPrepara::ConfereTipo() {
    if (!TbMat->Post())
        return false;
    if (existe(QStringLiteral("TIPO_TING"), texto(*TbMat, kTipo)))
        return true;
    Informa(this, QStringLiteral("Tipo de Tingimento Inválido."));
    TbMat->Edit();
    TbMat->FieldByName(kTipo).Clear();
    TbMat->Post();
    return false;
}

bool TFmCadPrepara::ConfereRegra() {
    if (!TbMat->Post())
        return false;
    const QString regra = texto(*TbMat, kRegra);
    if (regra.isEmpty() || existe(QStringLiteral("TNG_REGRA"), regra))
        return true;
    Informa(this, QStringLiteral("Regra de cálculo inválida."));
    TbMat->Edit();
    TbMat->FieldByName(kRegra).Clear();
    TbMat->Post();
    return false;
}

bool TFmCadPrepara::DBGrid1KeyDown(QKeyEvent* tecla) {
    if (TeclaLinhaGrade(*ui.DBGrid1, tecla))
        return true;
    const QString campo = ui.DBGrid1->SelectedField();
    if (tecla->key() == Qt::Key_F4) {
        if (campo == kRegra) {
            PesquisaNaCelula(this, *TbMat,
                             {.titulo = windowTitle(),
                              .tabela = QStringLiteral("TNG_REGRA"),
                              .distintos = true,
                              .campo = kRegra,
                              .campoDescricao = QStringLiteral("DESC_REGRA")});
            return true;
        }
        const QString tabela = campo == kMaterial ? kMaterial
                               : campo == kTipo   ? QStringLiteral("TIPO_TING")
                                                  : QString();
        if (tabela.isEmpty())
            return false;
        if (TPesquisa::PesquisaCampo(this, windowTitle(), tabela, TbMat, campo))
            PreencheDescricoes(*TbMat);
        return true;
    }
    if (tecla->key() != Qt::Key_Tab)
        return false;
    if (campo == kMaterial)
        return !ConfereMaterial();
    if (campo == kTipo)
        return !ConfereTipo();
    if (campo == kRegra)
        return !ConfereRegra();
    return false;
}

// The preparation code of the box; empty, after telling the user, when there is none.
QString TFmCadPrepara::CodigoPreenchido() {
    const QString codigo = ui.EdtCodPrep->text().trimmed();
    if (codigo.isEmpty()) {
        Informa(this, QStringLiteral("Código inválido."));
        ui.EdtCodPrep->setFocus();
    }
    return codigo;
}

// Items without a product are left out of every write, as blank grid rows are.
bool TFmCadPrepara::TemItens() {
    const int material = TbMat->FieldIndex(kMaterial);
    for (int posicao = 0; posicao < TbMat->RecordCount(); ++posicao)
        if (!TbMat->ValueAt(posicao, material).toString().trimmed().isEmpty())
            return true;
    Informa(this, QStringLiteral("Nenhum item para gravar."));
    return false;
}

void TFmCadPrepara::InsereItens(const QString& codigo) {
    TZoQuery insercao;
    insercao.SQL << QStringLiteral(
                        "INSERT INTO %1 (CODIGO, DESCRICAO, MATERIAL, UNIDADE, FIBRA, PASSO, TIPO, "
                        "ORDEM, REGRA, QTDE)")
                        .arg(DBLocal(kPreparacao))
                 << QStringLiteral("VALUES (:CODIGO, :DESCRICAO, :MATERIAL, :UNIDADE, :FIBRA, :PASSO, :TIPO, "
                                   ":ORDEM, :REGRA, :QTDE)");
    const QString descricao = ui.EdtDescricao->text().trimmed();
    for (int posicao = 0; posicao < TbMat->RecordCount(); ++posicao) {
        TbMat->MoveTo(posicao);
        if (texto(*TbMat, kMaterial).isEmpty())
            continue;
        insercao.BindValue(QStringLiteral("CODIGO"), codigo);
        insercao.BindValue(QStringLiteral("DESCRICAO"), descricao);
        for (const QString& campo : {kMaterial, QStringLiteral("UNIDADE"), QStringLiteral("FIBRA"),
                                     QStringLiteral("PASSO"), kTipo, kRegra})
            insercao.BindValue(campo, texto(*TbMat, campo));
        insercao.BindValue(QStringLiteral("ORDEM"), TbMat->FieldByName(QStringLiteral("ORDEM")).Value());
        insercao.BindValue(QStringLiteral("QTDE"), TbMat->FieldByName(QStringLiteral("QTDE")).Value());
        insercao.ExecSQL();
    }
}

void TFmCadPrepara::BtGravarClick() {
    const QString codigo = CodigoPreenchido();
    if (codigo.isEmpty() || !TbMat->Post() || !TemItens())
        return;
    // Items stored by someone else since this screen loaded the preparation (or found it new) are never
    // replaced nor joined by these.
    const bool gravou = m_itens.Grava(codigo, [this](const QString& preparacao, bool existente) {
        InsereItens(preparacao);
        GeraLog(kTitulo,
                (existente ? QStringLiteral("ALTERACAO DE PREPARACAO ")
                           : QStringLiteral("INCLUSAO DE PREPARACAO ")) +
                    preparacao,
                existente ? opAlteracao : opInclusao, preparacao);
        // Recipes costed with the old items must not outlive the save, nor the save outlive a failed recost.
        if (m_recalculaReceitas) {
            Ocupado(true, this, QStringLiteral("Recalculando as receitas da preparação %1").arg(preparacao));
            const auto fimOcupado = qScopeGuard([this] { Ocupado(false, this); });
            RecalculaReceitas(QString(), QString(), preparacao);
            GeraLog(QStringLiteral("ALTERACAO DE RECEITA"),
                    QStringLiteral("RECALCULO PREPARACAO ") + preparacao, opAlteracao, preparacao);
        }
    });
    if (!gravou) {
        // Leaving the code box loads the preparation as it is stored now.
        Informa(this,
                QStringLiteral("A preparação %1 foi gravada ou alterada por outro usuário depois que esta "
                               "tela a carregou; nada foi gravado. Ao sair do código, a preparação é "
                               "carregada como está agora.")
                    .arg(codigo));
        ui.EdtCodPrep->setFocus();
        return;
    }
    Limpa();
}

// The grid's items become a new preparation under the next free code; the source stays as stored.
void TFmCadPrepara::BtDuplicarClick() {
    if (!TbMat->Post() || !TemItens())
        return;
    if (!Pergunta(this, windowTitle(), QStringLiteral("Deseja realmente Duplicar esta Preparação?"), false))
        return;
    ui.EdtCodPrep->setText(m_itens.GravaCopia(3, [this](const QString& novo, bool) { InsereItens(novo); }));
    Informa(this, QStringLiteral("Duplicado."));
}

void TFmCadPrepara::BtExcluirClick() {
    const QString codigo = CodigoPreenchido();
    if (codigo.isEmpty())
        return;
    const QString receita =
        Busca_Valor(QStringLiteral("RECEITA"), kPreparacao, QStringLiteral("CODIGO"), {codigo}).trimmed();
    if (!receita.isEmpty()) {
        Informa(this, QStringLiteral("Preparação em uso na Receita ") + receita +
                          QStringLiteral(". Impossível Excluir."));
        return;
    }
    if (!Pergunta(this, windowTitle(), QStringLiteral("Deseja realmente Excluir esta Preparação?"), false))
        return;
    // Items changed by someone else since this screen loaded the preparation are not deleted unseen.
    if (!m_itens.Exclui(codigo, [&] {
            GeraLog(kTitulo, QStringLiteral("EXCLUSAO DE PREPARACAO ") + codigo, opExclusao, codigo);
        })) {
        Informa(this, QStringLiteral("A preparação %1 foi alterada ou excluída por outro usuário depois que "
                                     "esta tela a carregou; nada foi excluído. Ao sair do código, a "
                                     "preparação é carregada como está agora.")
                          .arg(codigo));
        ui.EdtCodPrep->setFocus();
        return;
    }
    Limpa();
}

// Leaving the code box for another control of the screen, except towards "Fechar", loads the preparation.
bool TFmCadPrepara::SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason) {
    if (control == ui.EdtCodPrep && next != ui.BtFechar)
        EdtCodPrepExit();
    return true;
}
