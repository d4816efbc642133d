#include "TngRoteiro.h"
#include "CaixaPesquisa.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "Funcoes.h"
#include "GradeEdicao.h"
#include "Mensagens.h"
#include "ModuleUnits.h"
#include "Protecao.h"
#include "TClientDataSet.h"
#include "TPesquisa.h"
#include "TZoQuery.h"
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QSet>

TfmTngRoteiro* fmTngRoteiro = nullptr;

KELM_SCREEN_UNIT(TngRoteiro, TfmTngRoteiro);

namespace {
const QString kRoteiro = QStringLiteral("ROTEIRO");
// What is compared between the steps loaded and the steps stored.
const QStringList kGravados = {QStringLiteral("DESCRICAO"), QStringLiteral("ORDEM"), QStringLiteral("DIAS"),
                               QStringLiteral("FASE")};

bool vazio(TDataSet& passo, const QString& campo) {
    return passo.FieldByName(campo).AsString().trimmed().isEmpty();
}
} // namespace

TfmTngRoteiro::TfmTngRoteiro(QWidget* parent)
    : TForm(parent), TbTemp(new TClientDataSet(this)),
      m_passos(kRoteiro, QStringLiteral("CODIGO"), kGravados) {
    setObjectName(QStringLiteral("fmTngRoteiro"));
    setWindowTitle(QStringLiteral("Cadastro de Roteiro"));
    ui.setupUi(this);
    connect(ui.BitBtn1, &QPushButton::clicked, this, Protegido([this] { BitBtn1Click(); }));
    connect(ui.BtExcluir, &QPushButton::clicked, this, Protegido([this] { BtExcluirClick(); }));
    connect(ui.BtFechar, &QPushButton::clicked, this, [this] { close(); });
}

void TfmTngRoteiro::FormCreate() {
    // The description box is the route's own, typed here: the code shows the stored one.
    DeclaraCaixa(CaixaDoProprioCadastro(ui.EdtCodigo, ui.PqRoteiro, QStringLiteral("Roteiros"), kRoteiro,
                                        ui.EdtDescricao));
    DicaTeclas({ui.DBGrid8},
               QStringLiteral(
                   "F4: pesquisa de fases (coluna Fase) · Insert: linha nova · Ctrl+Del: exclui a linha"));
    TbTemp->setObjectName(QStringLiteral("TbTemp"));
    TbTemp->AddField(QStringLiteral("ORDEM"), QMetaType::Int)
        .AddField(QStringLiteral("FASE"), QMetaType::QString, 3)
        .AddField(QStringLiteral("DESC_FASE"), QMetaType::QString, 50)
        .AddField(QStringLiteral("DIAS"), QMetaType::Int);
    TbTemp->CreateDataSet();
    TbTemp->SetIndexFieldNames(QStringLiteral("ORDEM"));
    TbTemp->BeforePost = [this](TDataSet& passo) { PreencheDescFase(passo); };
    TbTemp->AfterInsert = [this](TDataSet&) { ui.DBGrid8->SelectField(QStringLiteral("ORDEM")); };
    ui.DBGrid8->SetDataSet(TbTemp);
    ui.DBGrid8->SetReadOnly(false);
    ui.DBGrid8->DeclaraColunas({{"ORDEM", "Ordem"},
                                {"FASE", "Fase"},
                                ColunaGrade("DESC_FASE", "Descrição da fase").SomenteLeitura().Estica(),
                                {"DIAS", "Dias"}});
    ui.DBGrid8->OnKeyDown = [this](QKeyEvent* tecla) { return DBGrid8KeyDown(tecla); };
    VigiaAlteracoes({TbTemp}, {ui.EdtDescricao}, ui.BitBtn1);
    ui.EdtCodigo->setFocus();
}

// Runs when the code box is left with a code other than the one already checked: coming back to the screen
// and clicking into the grid must not load the route again over what was typed.
void TfmTngRoteiro::EdtCodigoExit() {
    const QString codigo = ui.EdtCodigo->text().trimmed();
    if (codigo == m_passos.Codigo())
        return;
    if (Existe(kRoteiro, QStringLiteral("CODIGO"), Aspas(codigo))) {
        BuscaDados();
        return;
    }
    m_passos.Novo(codigo);
    if (codigo.isEmpty())
        return;
    TbTemp->EmptyDataSet();
    if (!Pergunta(this, windowTitle(), QStringLiteral("Roteiro não Cadastrado. Deseja Cadastrar?"), false)) {
        m_passos.Esquece();
        ui.EdtCodigo->clear();
        ui.EdtCodigo->setFocus();
        return;
    }
    TbTemp->Append();
    ui.EdtDescricao->setFocus();
}

void TfmTngRoteiro::BuscaDados() {
    const QString codigo = ui.EdtCodigo->text().trimmed();
    TZoQuery q;
    q.SQL << QStringLiteral(
                 "SELECT ROTEIRO.CODIGO, ROTEIRO.DESCRICAO, ROTEIRO.ORDEM, ROTEIRO.FASE, ROTEIRO.DIAS, "
                 "FASE.DESCRICAO AS DESC_FASE")
          << QStringLiteral("FROM %1 AS ROTEIRO LEFT JOIN %2 FASE ON (ROTEIRO.FASE = FASE.CODIGO)")
                 .arg(DBLocal(kRoteiro), DBLocal(QStringLiteral("FASE")));
    if (!codigo.isEmpty())
        q.SQL << QStringLiteral("WHERE ROTEIRO.CODIGO = %1").arg(Aspas(codigo));
    q.Open();
    QScopedValueRollback<bool> comoGravados(m_carregando, true);
    TbTemp->DisableControls();
    TbTemp->EmptyDataSet();
    for (q.First(); !q.Eof(); q.Next()) {
        TbTemp->Append();
        for (const QString& campo : {QStringLiteral("ORDEM"), QStringLiteral("FASE"),
                                     QStringLiteral("DESC_FASE"), QStringLiteral("DIAS")})
            TbTemp->FieldByName(campo) = q.FieldByName(campo).Value();
        TbTemp->Post();
    }
    TbTemp->First();
    TbTemp->EnableControls();
    // A route loaded again under the same code shows its stored description too, not the one typed before.
    if (!q.IsEmpty()) {
        q.First();
        ui.EdtDescricao->setText(q.FieldByName(QStringLiteral("DESCRICAO")).AsString());
    }
    m_passos.Carregado(codigo, q);
    AlteracoesGravadas();
}

void TfmTngRoteiro::PreencheDescFase(TDataSet& passo) {
    if (m_carregando)
        return;
    const QString fase = passo.FieldByName(QStringLiteral("FASE")).AsString().trimmed();
    passo.FieldByName(QStringLiteral("DESC_FASE")) =
        fase.isEmpty() ? QString()
                       : Busca_Valor(QStringLiteral("FASE"), QStringLiteral("CODIGO"),
                                     QStringLiteral("DESCRICAO"), {fase});
}

bool TfmTngRoteiro::PesquisaFase() {
    return TPesquisa::PesquisaCampo(this, windowTitle(), QStringLiteral("FASE"), TbTemp,
                                    QStringLiteral("FASE"));
}

bool TfmTngRoteiro::DBGrid8KeyDown(QKeyEvent* tecla) {
    if (TeclaLinhaGrade(*ui.DBGrid8, tecla))
        return true;
    if (ui.DBGrid8->SelectedField() != QLatin1String("FASE"))
        return false;
    if (tecla->key() == Qt::Key_F4) {
        PesquisaFase();
        if (TbTemp->Editing())
            PreencheDescFase(*TbTemp);
        return true;
    }
    return tecla->key() == Qt::Key_Tab && !TbTemp->Post();
}

void TfmTngRoteiro::FocaPasso(const QString& campo) {
    ui.DBGrid8->setFocus();
    ui.DBGrid8->SelectField(campo);
}

// Every step is checked before anything is written: a refusal opens messages and look-ups, which must not
// keep the route's rows locked while the user answers. Steps with neither order nor phase are dropped.
bool TfmTngRoteiro::ValidaPassos() {
    const bool semDescricao = ui.EdtDescricao->text().trimmed().isEmpty();
    // The phases are read once for all the steps.
    TZoQuery fases;
    fases.SQL << QStringLiteral("SELECT CODIGO FROM %1").arg(DBLocal(QStringLiteral("FASE")));
    fases.Open();
    QSet<QString> existentes;
    for (fases.First(); !fases.Eof(); fases.Next())
        existentes.insert(fases.Fields(0).AsString().trimmed());
    int posicao = 0;
    while (posicao < TbTemp->RecordCount()) {
        TbTemp->MoveTo(posicao);
        if (vazio(*TbTemp, QStringLiteral("ORDEM")) && vazio(*TbTemp, QStringLiteral("FASE"))) {
            TbTemp->Delete();
            continue;
        }
        if (semDescricao) {
            Informa(this, QStringLiteral("Descrição inválida."));
            ui.EdtDescricao->setFocus();
            return false;
        }
        if (vazio(*TbTemp, QStringLiteral("ORDEM"))) {
            Informa(this, QStringLiteral("Ordem inválida."));
            FocaPasso(QStringLiteral("ORDEM"));
            return false;
        }
        const QString fase = TbTemp->FieldByName(QStringLiteral("FASE")).AsString().trimmed();
        if (!existentes.contains(fase)) {
            Informa(this, QStringLiteral("Fase inválida."));
            FocaPasso(QStringLiteral("FASE"));
            if (PesquisaFase())
                TbTemp->Post();
            return false;
        }
        ++posicao;
    }
    return true;
}

// One prepared insert for all the steps.
void TfmTngRoteiro::InserePassos(const QString& codigo) {
    TZoQuery insercao;
    insercao.SQL
        << QStringLiteral("INSERT INTO %1 (CODIGO, DESCRICAO, ORDEM, DIAS, FASE)").arg(DBLocal(kRoteiro))
        << QStringLiteral("VALUES (:CODIGO, :DESCRICAO, :ORDEM, :DIAS, :FASE)");
    const QString descricao = ui.EdtDescricao->text().trimmed();
    for (int posicao = 0; posicao < TbTemp->RecordCount(); ++posicao) {
        TbTemp->MoveTo(posicao);
        insercao.BindValue(QStringLiteral("CODIGO"), codigo);
        insercao.BindValue(QStringLiteral("DESCRICAO"), descricao);
        insercao.BindValue(QStringLiteral("ORDEM"), TbTemp->FieldByName(QStringLiteral("ORDEM")).Value());
        // Days left blank are stored as null rather than breaking the insert after the delete has run.
        insercao.BindValue(QStringLiteral("DIAS"), TbTemp->FieldByName(QStringLiteral("DIAS")).Value());
        insercao.BindValue(QStringLiteral("FASE"),
                           TbTemp->FieldByName(QStringLiteral("FASE")).AsString().trimmed());
        insercao.ExecSQL();
    }
}

// The route code of the box; empty, after telling the user, when there is none.
QString TfmTngRoteiro::CodigoPreenchido() {
    const QString codigo = ui.EdtCodigo->text().trimmed();
    if (codigo.isEmpty()) {
        Informa(this, QStringLiteral("Código inválido."));
        ui.EdtCodigo->setFocus();
    }
    return codigo;
}

void TfmTngRoteiro::BitBtn1Click() {
    const QString codigo = CodigoPreenchido();
    if (codigo.isEmpty())
        return;
    if (!TbTemp->Post())
        return;
    if (!ValidaPassos())
        return;
    // Emptying every step removes a route, but only one whose steps were shown and then emptied: a grid
    // that never held the route must not wipe it out.
    if (TbTemp->IsEmpty() && !m_passos.ComLinhas(codigo)) {
        Informa(this, QStringLiteral("Nenhum passo para gravar."));
        return;
    }
    // Steps stored by someone else since this screen loaded the route (or found it new) are never replaced
    // nor joined by these.
    if (!m_passos.Grava(codigo, [this](const QString& rota, bool) { InserePassos(rota); })) {
        // Leaving the code box loads the route as it is stored now.
        Informa(this, QStringLiteral("O roteiro %1 foi gravado ou alterado por outro usuário depois que esta "
                                     "tela o carregou; nada foi gravado. Ao sair do código, o roteiro é "
                                     "carregado como está agora.")
                          .arg(codigo));
        ui.EdtCodigo->setFocus();
        return;
    }
    // The route as saved, reloaded.
    BuscaDados();
    ui.EdtCodigo->setFocus();
}

void TfmTngRoteiro::BtExcluirClick() {
    const QString codigo = CodigoPreenchido();
    if (codigo.isEmpty())
        return;
    if (Existe(QStringLiteral("FAL"), QStringLiteral("ROTEIRO"), Aspas(codigo))) {
        Informa(this, QStringLiteral("Roteiro está sendo usado na FAL, impossível excluir."));
        return;
    }
    if (!Pergunta(this, windowTitle(), QStringLiteral("Deseja realmente eliminar todo o roteiro?"), false))
        return;
    // Steps changed by someone else since this screen loaded the route are not deleted unseen.
    if (!m_passos.Exclui(codigo, [&] {
            GeraLog(QStringLiteral("CADASTRO DE ROTEIRO"), QStringLiteral("EXCLUSAO DO ROTEIRO ") + codigo,
                    opExclusao, codigo);
        })) {
        Informa(this,
                QStringLiteral("O roteiro %1 foi alterado ou excluído por outro usuário depois que esta "
                               "tela o carregou; nada foi excluído. Ao sair do código, o roteiro é "
                               "carregado como está agora.")
                    .arg(codigo));
        ui.EdtCodigo->setFocus();
        return;
    }
    TbTemp->EmptyDataSet();
    ui.EdtCodigo->clear();
    AlteracoesGravadas();
    ui.EdtCodigo->setFocus();
}

// Leaving the code box for another control of the screen, except towards "Fechar", loads or offers the route.
bool TfmTngRoteiro::SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason) {
    if (control == ui.EdtCodigo && next != ui.BtFechar)
        EdtCodigoExit();
    return true;
}
