#include "TngCadRegRec.h"
#include "CaixaPesquisa.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "Funcoes.h"
#include "GradeEdicao.h"
#include "Mensagens.h"
#include "ModuleUnits.h"
#include "Protecao.h"
#include "TClientDataSet.h"
#include "TZoQuery.h"
#include <QHeaderView>
#include <QKeyEvent>

TFmTngCadRegRec* FmTngCadRegRec = nullptr;

KELM_SCREEN_UNIT(TngCadRegRec, TFmTngCadRegRec);

namespace {
const QString kRegra = QStringLiteral("TNG_REGRA");
const QString kLog = QStringLiteral("REGRA");
// What is compared between the lines loaded and the lines stored; a line's place is its ORDEM.
const QStringList kGravadas = {
    QStringLiteral("DESCRICAO"), QStringLiteral("LINHA"),    QStringLiteral("TIPO"),  QStringLiteral("ORDEM"),
    QStringLiteral("QTDE_DE"),   QStringLiteral("QTDE_ATE"), QStringLiteral("QTDE_R")};
// The range and result of a line: grid field and stored column.
const QList<QPair<QString, QString>> kQuantidades = {{QStringLiteral("Qtde_De"), QStringLiteral("QTDE_DE")},
                                                     {QStringLiteral("Qtde_Ate"), QStringLiteral("QTDE_ATE")},
                                                     {QStringLiteral("Qtde_R"), QStringLiteral("QTDE_R")}};

// What a line's code names, by its kind.
struct TipoLinha {
    QString tipo;
    QString tabela;
    QString chave;
    QString descricao;
};

const QList<TipoLinha>& Tipos() {
    static const QList<TipoLinha> tipos = {
        {QStringLiteral("L"), QStringLiteral("TABLIN"), QStringLiteral("CODIGO"),
         QStringLiteral("DESCRICAO")},
        {QStringLiteral("G"), QStringLiteral("GRUPO_MA"), QStringLiteral("CODIGO"),
         QStringLiteral("DESCRICAO")},
        {QStringLiteral("C"), QStringLiteral("ENTIDADE"), QStringLiteral("CODCLI"), QStringLiteral("NOME")},
        {QStringLiteral("M"), QStringLiteral("MAQ_TIN"), QStringLiteral("CODIGO"),
         QStringLiteral("DESCRICAO")},
        {QStringLiteral("P"), QStringLiteral("PRODUTO"), QStringLiteral("CODIGO"),
         QStringLiteral("DESCRICAO")}};
    return tipos;
}

// Kinds are read as the rule evaluation reads them, in either case.
const TipoLinha* TipoDe(const QString& tipo) {
    for (const TipoLinha& t : Tipos())
        if (t.tipo.compare(tipo.trimmed(), Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

// A line with no kind, no code and no number holds nothing: stored, it would answer 0 for every batch.
bool LinhaEmBranco(const TDataSet& itens, int linha) {
    QStringList campos = {QStringLiteral("Tipo"), QStringLiteral("Codigo")};
    for (const auto& quantidade : kQuantidades)
        campos << quantidade.first;
    for (const QString& campo : campos)
        if (!itens.ValueAt(linha, itens.FieldIndex(campo)).toString().trimmed().isEmpty())
            return false;
    return true;
}
} // namespace

TFmTngCadRegRec::TFmTngCadRegRec(QWidget* parent)
    : TForm(parent), TbItens(new TClientDataSet(this)),
      m_linhas(kRegra, QStringLiteral("CODIGO"), kGravadas) {
    setObjectName(QStringLiteral("FmTngCadRegRec"));
    setWindowTitle(QStringLiteral("Cadastro de Regras para Cálculo de Receita"));
    ui.setupUi(this);
    connect(ui.BitBtn1, &QPushButton::clicked, this, Protegido([this] { BitBtn1Click(); }));
    connect(ui.BitBtn5, &QPushButton::clicked, this, Protegido([this] { BitBtn5Click(); }));
    connect(ui.BitBtn4, &QPushButton::clicked, this, Protegido([this] { BitBtn4Click(); }));
    connect(ui.BtFechar, &QPushButton::clicked, this, [this] { close(); });
}

void TFmTngCadRegRec::FormCreate() {
    // The description box is the rule's own, typed here: the code shows the stored one.
    DeclaraCaixa(CaixaDoProprioCadastro(ui.EdtCodigo, ui.PqConsulta, QStringLiteral("Regras"), kRegra,
                                        ui.EdtDescricao));
    DicaTeclas(
        {ui.DBGrid1},
        QStringLiteral("F4: pesquisa (coluna Código) · Insert: linha nova · Ctrl+Del: exclui a linha"));
    TbItens->setObjectName(QStringLiteral("TbItens"));
    TbItens->AddField(QStringLiteral("Ordem"), QMetaType::Int)
        .AddField(QStringLiteral("Tipo"), QMetaType::QString, 1)
        .AddField(QStringLiteral("Codigo"), QMetaType::QString, 15)
        .AddField(QStringLiteral("Descricao"), QMetaType::QString, 100)
        .AddField(QStringLiteral("Qtde_De"), QMetaType::Double)
        .AddField(QStringLiteral("Qtde_Ate"), QMetaType::Double)
        .AddField(QStringLiteral("Qtde_R"), QMetaType::Double);
    TbItens->CreateDataSet();
    TbItens->AfterInsert = [this](TDataSet&) { ui.DBGrid1->SelectField(QStringLiteral("Tipo")); };
    QStringList tipos;
    for (const TipoLinha& t : Tipos())
        tipos << t.tipo;
    ui.DBGrid1->SetDataSet(TbItens);
    ui.DBGrid1->SetReadOnly(false);
    // The order shown is the stored one; a save numbers the lines by their place in the grid.
    ui.DBGrid1->DeclaraColunas({ColunaGrade("Ordem", "Ordem").SomenteLeitura(),
                                ColunaGrade("Tipo", "Tipo").Lista(tipos),
                                {"Codigo", "Código"},
                                ColunaGrade("Descricao", "Descrição").SomenteLeitura().Estica(),
                                {"Qtde_De", "Qtde. de"},
                                {"Qtde_Ate", "Qtde. até"},
                                {"Qtde_R", "Resultado"}});
    ui.DBGrid1->OnKeyDown = [this](QKeyEvent* tecla) { return DBGrid1KeyDown(tecla); };
    VigiaAlteracoes({TbItens}, {ui.EdtDescricao}, ui.BitBtn1);
    ui.EdtCodigo->setFocus();
}

// Runs when the code box is left with a code other than the one already checked: coming back to the screen
// and clicking into the grid must not load the rule again over what was typed. A code not stored keeps the
// lines shown, to be saved under it as a new rule.
void TFmTngCadRegRec::EdtCodigoExit() {
    QString codigo = ui.EdtCodigo->text().trimmed();
    if (codigo.isEmpty()) {
        codigo = Proximo(kRegra, QStringLiteral("CODIGO"), 3);
        ui.EdtCodigo->setText(codigo);
    }
    if (codigo == m_linhas.Codigo())
        return;
    if (Existe(kRegra, QStringLiteral("CODIGO"), QVariantList{codigo}))
        return BuscaRegras();
    m_linhas.Novo(codigo);
    if (!LinhasPreenchidas().isEmpty())
        AlteracaoPendente();
}

// The lines in their stored order, each with the description of what its code names.
void TFmTngCadRegRec::BuscaRegras() {
    const QString codigo = ui.EdtCodigo->text().trimmed();
    TZoQuery q;
    QStringList descricoes, juncoes;
    for (int i = 0; i < Tipos().size(); ++i) {
        const TipoLinha& t = Tipos()[i];
        descricoes << QStringLiteral("WHEN %1 THEN T%2.%3").arg(Aspas(t.tipo)).arg(i).arg(t.descricao);
        juncoes << QStringLiteral("LEFT JOIN %1 T%2 ON (UPPER(R.TIPO) = %3 AND T%2.%4 = R.LINHA)")
                       .arg(DBLocal(t.tabela))
                       .arg(i)
                       .arg(Aspas(t.tipo), t.chave);
    }
    q.SQL << QStringLiteral("SELECT R.DESCRICAO, R.LINHA, R.TIPO, R.ORDEM, R.QTDE_DE, R.QTDE_ATE, R.QTDE_R,")
          << QStringLiteral("CASE UPPER(R.TIPO) %1 END AS DESC_LINHA").arg(descricoes.join(' '))
          << QStringLiteral("FROM %1 R").arg(DBLocal(kRegra)) << juncoes
          << QStringLiteral("WHERE R.CODIGO = :CODIGO ORDER BY R.ORDEM");
    q.BindValue(QStringLiteral("CODIGO"), codigo);
    q.Open();
    TbItens->DisableControls();
    TbItens->EmptyDataSet();
    const QList<QPair<QString, QString>> campos =
        QList<QPair<QString, QString>>{{QStringLiteral("Ordem"), QStringLiteral("ORDEM")},
                                       {QStringLiteral("Tipo"), QStringLiteral("TIPO")},
                                       {QStringLiteral("Codigo"), QStringLiteral("LINHA")},
                                       {QStringLiteral("Descricao"), QStringLiteral("DESC_LINHA")}} +
        kQuantidades;
    for (q.First(); !q.Eof(); q.Next()) {
        TbItens->Append();
        for (const auto& [campo, coluna] : campos)
            TbItens->FieldByName(campo) = q.FieldByName(coluna).Value();
        TbItens->Post();
    }
    TbItens->First();
    TbItens->EnableControls();
    // A rule loaded again under the same code shows its stored description too, not the one typed before.
    if (!q.IsEmpty()) {
        q.First();
        ui.EdtDescricao->setText(q.FieldByName(QStringLiteral("DESCRICAO")).AsString());
    }
    m_linhas.Carregado(codigo, q);
    AlteracoesGravadas();
}

QList<int> TFmTngCadRegRec::LinhasPreenchidas() const {
    QList<int> linhas;
    for (int linha = 0; linha < TbItens->RecordCount(); ++linha)
        if (!LinhaEmBranco(*TbItens, linha))
            linhas << linha;
    return linhas;
}

// One prepared insert for all the lines, numbered 1, 2, 3... by their place in the grid.
void TFmTngCadRegRec::InsereLinhas(const QString& codigo, const QList<int>& linhas) {
    TZoQuery insercao;
    insercao.SQL << QStringLiteral(
                        "INSERT INTO %1 (CODIGO, DESCRICAO, LINHA, TIPO, ORDEM, QTDE_DE, QTDE_ATE, "
                        "QTDE_R)")
                        .arg(DBLocal(kRegra))
                 << QStringLiteral("VALUES (:CODIGO, :DESCRICAO, :LINHA, :TIPO, :ORDEM, :QTDE_DE, :QTDE_ATE, "
                                   ":QTDE_R)");
    const QString descricao = ui.EdtDescricao->text().trimmed();
    int ordem = 0;
    for (const int linha : linhas) {
        // A blank kind or code is stored as an empty text, as it is typed, never as a null.
        auto texto = [&](const char* campo) {
            const QString valor =
                TbItens->ValueAt(linha, TbItens->FieldIndex(QLatin1String(campo))).toString().trimmed();
            return valor.isNull() ? QStringLiteral("") : valor;
        };
        insercao.BindValue(QStringLiteral("CODIGO"), codigo);
        insercao.BindValue(QStringLiteral("DESCRICAO"), descricao);
        insercao.BindValue(QStringLiteral("LINHA"), texto("Codigo"));
        insercao.BindValue(QStringLiteral("TIPO"), texto("Tipo"));
        insercao.BindValue(QStringLiteral("ORDEM"), ++ordem);
        // A bound left empty stays empty: as 0 it would change which batches the line takes.
        for (const auto& [campo, coluna] : kQuantidades) {
            const QVariant valor = TbItens->ValueAt(linha, TbItens->FieldIndex(campo));
            insercao.BindValue(coluna, valor.isNull() ? QVariant(QMetaType::fromType<double>()) : valor);
        }
        insercao.ExecSQL();
    }
}

// The rule code of the box; empty, after telling the user, when there is none.
QString TFmTngCadRegRec::CodigoPreenchido() {
    const QString codigo = ui.EdtCodigo->text().trimmed();
    if (codigo.isEmpty()) {
        Informa(this, QStringLiteral("Código inválido."));
        ui.EdtCodigo->setFocus();
    }
    return codigo;
}

void TFmTngCadRegRec::BitBtn1Click() {
    const QString codigo = CodigoPreenchido();
    if (codigo.isEmpty() || !TbItens->Post())
        return;
    const QList<int> linhas = LinhasPreenchidas();
    // Emptying the grid removes a rule, but only one whose lines it held.
    if (linhas.isEmpty() && !m_linhas.ComLinhas(codigo)) {
        Informa(this, QStringLiteral("Nenhuma linha para gravar."));
        return;
    }
    // Lines stored by someone else since this screen loaded the rule (or found it new) are never replaced
    // nor joined by these.
    const bool gravou = m_linhas.Grava(codigo, [&](const QString& regra, bool existia) {
        InsereLinhas(regra, linhas);
        GeraLog(kLog,
                (existia ? QStringLiteral("ALTERACAO DA REGRA ") : QStringLiteral("INCLUSAO DA REGRA ")) +
                    regra,
                existia ? opAlteracao : opInclusao, regra);
    });
    if (!gravou) {
        // Leaving the code box loads the rule as it is stored now.
        Informa(this,
                QStringLiteral("As linhas gravadas da regra %1 não são as que esta tela carregou (outro "
                               "usuário a gravou ou alterou); nada foi gravado. Ao sair do código, a "
                               "regra é carregada como está agora.")
                    .arg(codigo));
        ui.EdtCodigo->setFocus();
        return;
    }
    // The rule as saved, reloaded.
    BuscaRegras();
    ui.EdtCodigo->setFocus();
}

// The lines on screen under a new code; the rule they came from is left as it is stored.
void TFmTngCadRegRec::BitBtn5Click() {
    const QString codigo = CodigoPreenchido();
    if (codigo.isEmpty() || !TbItens->Post())
        return;
    const QList<int> linhas = LinhasPreenchidas();
    if (linhas.isEmpty()) {
        Informa(this, QStringLiteral("Nenhuma linha para gravar."));
        return;
    }
    if (!Pergunta(this, windowTitle(), QStringLiteral("Deseja duplicar este registro?"), false,
                  MsgIcon::Warning))
        return;
    ui.EdtCodigo->setText(m_linhas.GravaCopia(3, [&](const QString& novo, bool) {
        InsereLinhas(novo, linhas);
        GeraLog(kLog, QStringLiteral("REGRA %1 DUPLICADA PARA %2").arg(codigo, novo), opInclusao, novo);
    }));
    BuscaRegras();
    ui.EdtCodigo->setFocus();
}

// A rule in use is only warned about: the recipe and composition items keep its code.
void TFmTngCadRegRec::BitBtn4Click() {
    const QString codigo = CodigoPreenchido();
    if (codigo.isEmpty())
        return;
    const QString atencao = QStringLiteral("Atenção!\n\r");
    QString aviso;
    if (Existe(QStringLiteral("MAT_TIN"), QStringLiteral("REGRA"), Aspas(codigo)))
        aviso += atencao + QStringLiteral("Regra em uso no cadastro de receitas.\n\r");
    if (Existe(QStringLiteral("COMP_MATERIAL"), QStringLiteral("REGRA"), Aspas(codigo)))
        aviso += atencao + QStringLiteral("Regra em uso no cadastro de composição.\n\r");
    if (!Pergunta(this, windowTitle(), aviso + QStringLiteral("Deseja excluir este registro?"), false,
                  MsgIcon::Warning))
        return;
    // Lines changed by someone else since this screen loaded the rule are not deleted unseen.
    if (!m_linhas.Exclui(codigo, [&] {
            GeraLog(kLog, QStringLiteral("EXCLUSAO DA REGRA ") + codigo, opExclusao, codigo);
        })) {
        Informa(this,
                QStringLiteral("As linhas gravadas da regra %1 não são as que esta tela carregou (outro "
                               "usuário a alterou ou excluiu); nada foi excluído. Ao sair do código, a "
                               "regra é carregada como está agora.")
                    .arg(codigo));
        ui.EdtCodigo->setFocus();
        return;
    }
    TbItens->EmptyDataSet();
    ui.EdtCodigo->clear();
    AlteracoesGravadas();
    ui.EdtCodigo->setFocus();
}

void TFmTngCadRegRec::PreencheDescricao() {
    const TipoLinha* tipo = TipoDe(TbItens->FieldByName(QStringLiteral("Tipo")).AsString());
    const QString codigo = TbItens->FieldByName(QStringLiteral("Codigo")).AsString().trimmed();
    TbItens->FieldByName(QStringLiteral("Descricao")) =
        tipo && !codigo.isEmpty() ? Busca_Valor(tipo->tabela, tipo->chave, tipo->descricao, {codigo})
                                  : QString();
}

void TFmTngCadRegRec::PesquisaCodigo() {
    const TipoLinha* tipo = TipoDe(TbItens->FieldByName(QStringLiteral("Tipo")).AsString());
    if (!tipo) {
        Informa(this, QStringLiteral("Tipo inválido"));
        return;
    }
    PesquisaNaCelula(this, *TbItens,
                     {.titulo = windowTitle(),
                      .tabela = tipo->tabela,
                      .chave = tipo->chave,
                      .descricao = tipo->descricao,
                      .campo = QStringLiteral("Codigo"),
                      .campoDescricao = QStringLiteral("Descricao")});
}

bool TFmTngCadRegRec::DBGrid1KeyDown(QKeyEvent* tecla) {
    if (TeclaLinhaGrade(*ui.DBGrid1, tecla))
        return true;
    if (ui.DBGrid1->SelectedField() != QLatin1String("Codigo") || tecla->modifiers() != Qt::NoModifier)
        return false;
    if (tecla->key() == Qt::Key_F4) {
        PesquisaCodigo();
        return true;
    }
    if (tecla->key() == Qt::Key_Tab)
        PreencheDescricao();
    return false;
}

// Leaving the code box loads the rule; an empty box is given the next code only on the way to typing a
// rule, not on a click on a button (which then asks for a code), and never on the way to "Fechar".
bool TFmTngCadRegRec::SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason) {
    if (control != ui.EdtCodigo || next == ui.BtFechar)
        return true;
    const bool digitando = next == ui.EdtDescricao || next == ui.DBGrid1 || ui.DBGrid1->isAncestorOf(next);
    if (digitando || !ui.EdtCodigo->text().trimmed().isEmpty())
        EdtCodigoExit();
    return true;
}
