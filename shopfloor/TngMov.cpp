#include "TngMov.h"
#include "Acesso.h"
#include "CaixaPesquisa.h"
#include "ClassRegistry.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "DataContext.h"
#include "DataSetModel.h"
#include "ErrosBanco.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "GradeEdicao.h"
#include "GravacaoAtomica.h"
#include "HostError.h"
#include "HostUi.h"
#include "LeiturasFal.h"
#include "Mensagens.h"
#include "ModuleUnits.h"
#include "Protecao.h"
#include "RegrasApontamento.h"
#include "TClientDataSet.h"
#include "TPesquisa.h"
#include "TZoQuery.h"
#include "Turno.h"
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>

TfmTngMov* fmTngMov = nullptr;

KELM_SCREEN_UNIT(TngMov, TfmTngMov);

namespace {
const QString kClasse = QStringLiteral("TfmTngMov");
const QString kTituloLog = QStringLiteral("TINGIMENTO");
const QString kFalInvalida = QStringLiteral("Número de FAL/Partida inválido.");
const QString kConcluidoInvalido = QStringLiteral("Concluído: informe S (Sim), N (Não) ou R (Reprocesso).");

// What the user may change on a step; a row that still holds what it was loaded with is not written.
const char* const kCamposEditaveis[] = {"Concluido",   "Funcionario", "Maquina",     "Grafico",  "Observacao",
                                        "Data_Inicio", "Data_Fim",    "Hora_Inicio", "Hora_Fim", "Data",
                                        "Turno",       "Metragem",    "Local"};
// Who did a recorded step, in which shift and where the fabric went are not changed afterwards.
const QStringList kFixasAoConcluir = {QStringLiteral("Funcionario"), QStringLiteral("Turno"),
                                      QStringLiteral("Local")};

QString texto(TDataSet& dados, const QString& campo) {
    return dados.FieldByName(campo).AsString().trimmed();
}

// Text of a field of a row (not the current one) as program text.
QString textoNa(const TDataSet& dados, int linha, const QString& campo) {
    return TextoValor(dados.ValueAt(linha, dados.FieldIndex(campo))).trimmed();
}

// The grid's own editors, but none for a cell the row does not let the user type in; text editors stop at
// the width of their field, and what they hand back passes the column's own rule first (false refuses it,
// the cell keeping its value).
class CelulasTravadas : public QStyledItemDelegate {
public:
    CelulasTravadas(QAbstractItemDelegate* base, std::function<bool(const QModelIndex&)> travada,
                    std::function<bool(const QModelIndex&, QString&)> confere, QObject* parent)
        : QStyledItemDelegate(parent), m_base(base), m_travada(std::move(travada)),
          m_confere(std::move(confere)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        if (m_travada(index))
            return nullptr;
        QWidget* editor = m_base->createEditor(parent, option, index);
        const auto* modelo = qobject_cast<const DataSetModel*>(index.model());
        if (auto* caixa = qobject_cast<QLineEdit*>(editor); caixa && modelo) {
            const FieldDef& campo = modelo->DataSet()->FieldDefs()[modelo->FieldOfColumn(index.column())];
            if (campo.type == QMetaType::QString && campo.size > 0)
                caixa->setMaxLength(campo.size);
        }
        return editor;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        m_base->setEditorData(editor, index);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        QString texto;
        if (auto* lista = qobject_cast<QComboBox*>(editor))
            texto = lista->currentText();
        else if (auto* caixa = qobject_cast<QLineEdit*>(editor))
            texto = caixa->text();
        else
            return m_base->setModelData(editor, model, index);
        if (m_confere(index, texto))
            model->setData(index, texto, Qt::EditRole);
    }
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override {
        m_base->updateEditorGeometry(editor, option, index);
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        m_base->paint(painter, option, index);
    }

private:
    QAbstractItemDelegate* m_base;
    std::function<bool(const QModelIndex&)> m_travada;
    std::function<bool(const QModelIndex&, QString&)> m_confere;
};

// The codes of a table among those given, in one read.
QSet<QString> existentes(const QString& tabela, const QString& chave, const QSet<QString>& codigos) {
    QSet<QString> achados;
    QStringList literais;
    for (const QString& codigo : codigos)
        if (!codigo.isEmpty())
            literais << Aspas(codigo);
    if (literais.isEmpty())
        return achados;
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT %1 FROM %2 WHERE %1 IN (%3)")
                 .arg(chave, DBLocal(tabela), literais.join(','));
    q.Open();
    for (q.First(); !q.Eof(); q.Next())
        achados.insert(q.Fields(0).AsString().trimmed());
    return achados;
}

// A width or grammage box: blank is no value, anything else must be a number as the screens show them.
bool leMedida(const QLineEdit* caixa, QVariant& valor) {
    const QString digitado = caixa->text().trimmed();
    if (digitado.isEmpty()) {
        valor = QVariant();
        return true;
    }
    double numero = 0;
    if (!LeNumero(digitado, numero))
        return false;
    valor = numero;
    return true;
}

LinhaApontamento linhaDe(const TDataSet& dados, int linha) {
    return {textoNa(dados, linha, QStringLiteral("Concluido")),
            textoNa(dados, linha, QStringLiteral("Funcionario")),
            textoNa(dados, linha, QStringLiteral("Maquina")),
            textoNa(dados, linha, QStringLiteral("Turno")),
            textoNa(dados, linha, QStringLiteral("Data_Inicio")),
            textoNa(dados, linha, QStringLiteral("Hora_Inicio")),
            textoNa(dados, linha, QStringLiteral("Data_Fim")),
            textoNa(dados, linha, QStringLiteral("Hora_Fim"))};
}
} // namespace

TfmTngMov::TfmTngMov(QWidget* parent) : TForm(parent), TbMov(new TClientDataSet(this)) {
    setObjectName(QStringLiteral("fmTngMov"));
    setWindowTitle(QStringLiteral("Apontamento de Processos"));
    KeyPreview = true;
    ui.setupUi(this);
    connect(ui.BtnGravar, &QPushButton::clicked, this, Protegido([this] { BtnGravarClick(); }));
    connect(ui.BtnFechar, &QPushButton::clicked, this, [this] { close(); });
    // The fabrics of the sheet typed; whether one belongs to it is the box's own exit rule.
    DeclaracaoCaixa produto;
    produto.caixa = ui.EdtCodPro;
    produto.botao = ui.PqProduto;
    produto.titulo = QStringLiteral("Produtos da FAL");
    produto.tabela = QStringLiteral("PRODUTO");
    produto.preparaLista = [this](TPesquisa& lista) { return ListaProdutos(lista); };
    DeclaraCaixa(produto);
    SaidaSemConferencia(ui.BtnFechar);
}

TfmTngMov::~TfmTngMov() = default;

void TfmTngMov::FormCreate() {
    DicaTeclas({ui.EdtCodPro}, QStringLiteral("F4: pesquisa de produtos da FAL"));
    DicaTeclas({ui.DBGrid1},
               QStringLiteral("F4: pesquisa (funcionário, máquina, gráfico, local) · F2: edita a célula"));
    PublicaInstancia(fmTngMov);
    m_produtoObrigatorio =
        BuscaParametro(QStringLiteral("TIN"), 210).trimmed().toUpper() == QLatin1String("S");
    m_maquinaDaFase = BuscaParametro(QStringLiteral("TIN"), 220).trimmed().toUpper() == QLatin1String("S");
    // The phases the user's employee may record; an employee with none listed records them all.
    m_funcionarioUsuario = FuncionarioDoUsuario();
    if (!m_funcionarioUsuario.isEmpty()) {
        TZoQuery q;
        q.SQL << DBLocal_SQL(
            QStringLiteral("SELECT SETOR FROM {ACESSO_SETOR} WHERE CODIGO = :CODIGO AND TIPO = 'F'"));
        q.BindValue(QStringLiteral("CODIGO"), m_funcionarioUsuario);
        q.Open();
        for (q.First(); !q.Eof(); q.Next())
            m_fasesDoUsuario.insert(q.Fields(0).AsString().trimmed());
    }
    PreparaGrade();
    PreparaMenu();
    VigiaAlteracoes({TbMov}, {ui.EdtLargura, ui.EdtGramatura}, ui.BtnGravar);
    ui.EdtFalMov->setFocus();
}

void TfmTngMov::FormClose() {
    TbMov->Cancel();
}

void TfmTngMov::PreparaGrade() {
    TbMov->setObjectName(QStringLiteral("TbMov"));
    TbMov->AddField(QStringLiteral("Concluido"), QMetaType::QString, 1)
        .AddField(QStringLiteral("Fase"), QMetaType::QString, 3)
        .AddField(QStringLiteral("Descricao"), QMetaType::QString, 50)
        .AddField(QStringLiteral("Funcionario"), QMetaType::QString, 5)
        .AddField(QStringLiteral("Maquina"), QMetaType::QString, 5)
        .AddField(QStringLiteral("Grafico"), QMetaType::QString, 3)
        .AddField(QStringLiteral("Observacao"), QMetaType::QString, 50)
        .AddField(QStringLiteral("Ordem"), QMetaType::Int)
        .AddField(QStringLiteral("Data_Inicio"), QMetaType::QString, 10)
        .AddField(QStringLiteral("Data_Fim"), QMetaType::QString, 10)
        .AddField(QStringLiteral("Hora_Inicio"), QMetaType::QString, 5)
        .AddField(QStringLiteral("Hora_Fim"), QMetaType::QString, 5)
        .AddField(QStringLiteral("Data"), QMetaType::QDate)
        .AddField(QStringLiteral("Turno"), QMetaType::QString, 2)
        .AddField(QStringLiteral("Metragem"), QMetaType::Double)
        .AddField(QStringLiteral("Local"), QMetaType::QString, 6)
        .AddField(QStringLiteral("Desc_local"), QMetaType::QString, 50)
        // not in the grid: the user's access to the phase, and what the row was loaded with
        .AddField(QStringLiteral("AcessaFase"), QMetaType::QString, 1)
        .AddField(QStringLiteral("Data_Fim_Ori"), QMetaType::QString, 10)
        .AddField(QStringLiteral("Hora_Inicio_Ori"), QMetaType::QString, 5)
        .AddField(QStringLiteral("Hora_Fim_Ori"), QMetaType::QString, 5)
        .AddField(QStringLiteral("Turno_Ori"), QMetaType::QString, 2)
        .AddField(QStringLiteral("Concluido_Ori"), QMetaType::QString, 1)
        .AddField(QStringLiteral("Data_Ori"), QMetaType::QDate)
        .AddField(QStringLiteral("Grupo"), QMetaType::QString, 3)
        .AddField(QStringLiteral("Atualizar"), QMetaType::QString, 1);
    TbMov->CreateDataSet();
    TbMov->FieldDefByName(QStringLiteral("Hora_Inicio")).timeOfDay = true;
    TbMov->FieldDefByName(QStringLiteral("Hora_Fim")).timeOfDay = true;

    ui.DBGrid1->SetDataSet(TbMov);
    ui.DBGrid1->SetReadOnly(false);
    DataSetModel* modelo = DataSetModel::Of(TbMov);
    // The field holds one letter: the word picked leaves its first one.
    ui.DBGrid1->DeclaraColunas(
        {ColunaGrade("Concluido", "Concluído")
             .Lista({QStringLiteral("Não"), QStringLiteral("Sim"), QStringLiteral("Reproc.")})
             .Textos({{"N", "Não"}, {"S", "Sim"}, {"R", "Reproc."}}),
         ColunaGrade("Fase", "Fase").SomenteLeitura(),
         ColunaGrade("Descricao", "Descrição").Largura(20).SomenteLeitura(),
         {"Funcionario", "Funcionário"},
         {"Maquina", "Máquina"},
         {"Grafico", "Gráfico"},
         ColunaGrade("Observacao", "Observação").Largura(20),
         ColunaGrade("Ordem", "Ordem").SomenteLeitura(),
         {"Data_Inicio", "Data Inicial"},
         {"Data_Fim", "Data Final"},
         {"Hora_Inicio", "Hora Inicial"},
         {"Hora_Fim", "Hora Final"},
         {"Data", "Data"},
         {"Turno", "Turno"},
         ColunaGrade("Metragem", "Metragem (m)").Casas(2),
         {"Local", "Local"},
         ColunaGrade("Desc_local", "Descrição do local").Largura(20).SomenteLeitura()});
    const int concluido = TbMov->FieldIndex(QStringLiteral("Concluido"));
    modelo->SetRowColor([this, concluido](int linha) {
        const QString estado = TbMov->ValueAt(linha, concluido).toString().trimmed().toUpper();
        if (estado == QLatin1String("N"))
            return QColor(Qt::red);
        if (estado == QLatin1String("R"))
            return QColor(Qt::blue);
        if (estado == QLatin1String("S"))
            return QColor(Qt::darkGreen);
        return QColor();
    });
    ui.DBGrid1->setItemDelegate(new CelulasTravadas(
        ui.DBGrid1->itemDelegate(),
        [this, modelo](const QModelIndex& celula) {
            return CelulaTravada(celula.row(), modelo->FieldOfColumn(celula.column()));
        },
        [this, modelo, concluido](const QModelIndex& celula, QString& valor) {
            if (modelo->FieldOfColumn(celula.column()) != concluido)
                return true;
            valor = valor.trimmed().toUpper();
            if (ConcluidoValido(valor))
                return true;
            Informa(this, kConcluidoInvalido);
            return false;
        },
        ui.DBGrid1));
    ui.DBGrid1->OnKeyDown = [this](QKeyEvent* tecla) { return DBGrid1KeyDown(tecla); };
    TbMov->BeforeEdit = [this](TDataSet& linha) { TbMovBeforeEdit(linha); };
    TbMov->BeforePost = [this](TDataSet& linha) { TbMovBeforePost(linha); };
    // One row per step of the route: none added or removed by hand.
    TbMov->BeforeInsert = [this](TDataSet&) {
        if (!m_carregando)
            throw EAbort();
    };
    TbMov->BeforeDelete = [](TDataSet&) { throw EAbort(); };
    AoEntrarCelula(*ui.DBGrid1, this,
                   [this](const QString& campo, const QString& anterior) { EntraCelula(campo, anterior); });
}

void TfmTngMov::PreparaMenu() {
    // The quality screen comes with its own unit; until it is installed the item stays off.
    const auto atualiza = [this] {
        m_acaoQualidade->setEnabled(ClassRegistered(QStringLiteral("TfmContrQul")));
    };
    m_acaoQualidade = AcaoMenuGrade(
        ui.DBGrid1, "ApontarQualidade1", QStringLiteral("Apontar Qualidade"),
        [this] { ApontarQualidade1Click(); }, atualiza);
    atualiza();
}

void TfmTngMov::ApontarQualidade1Click() {
    if (!ClassRegistered(QStringLiteral("TfmContrQul")))
        return;
    if (m_falCarregada.isEmpty()) {
        Recusa(ui.EdtFalMov, kFalInvalida);
        return;
    }
    Carrega_Form(QStringLiteral("kelmTingimento.bpl"), QStringLiteral("TfmContrQul"), m_falCarregada, true,
                 false);
}

// ---- header

void TfmTngMov::LimpaEtapas() {
    QScopedValueRollback<bool> carregando(m_carregando, true);
    TbMov->EmptyDataSet();
    m_carregadas.clear();
    m_etapasCarregadas = false;
    m_produtoCarregado.clear();
    AlteracoesGravadas();
}

// The sheet by its number (typed with or without the zeros in front) or by its dye lot; its fabrics are
// read, and a sheet of one fabric opens on it.
bool TfmTngMov::EdtFalMovExit() {
    const QString digitado = ui.EdtFalMov->text().trimmed();
    if (!digitado.isEmpty() && digitado == m_falCarregada)
        return true;
    m_falCarregada.clear();
    m_produtosDaFal.clear();
    for (QLineEdit* caixa : {ui.EdtCodPro, ui.EdtDescPro, ui.EdtLargura, ui.EdtGramatura})
        caixa->clear();
    LimpaEtapas();
    if (digitado.isEmpty())
        return true;
    QString fal = FalExistente(digitado);
    if (fal.isEmpty()) {
        TZoQuery partida;
        partida.SQL << DBLocal_SQL(
            QStringLiteral("SELECT FIRST 2 NUMERO FROM {FAL} WHERE PARTIDA = :PARTIDA OR PARTIDA = :ZEROS"));
        partida.BindValue(QStringLiteral("PARTIDA"), digitado);
        partida.BindValue(QStringLiteral("ZEROS"), ZeroE(digitado, 6));
        partida.Open();
        if (partida.RecordCount() == 1)
            fal = partida.Fields(0).AsString().trimmed();
    }
    if (fal.isEmpty())
        return Recusa(ui.EdtFalMov, kFalInvalida);
    ui.EdtFalMov->setText(fal);
    m_falCarregada = fal;
    TZoQuery itens;
    itens.SQL << DBLocal_SQL(
        QStringLiteral("SELECT CODIGO FROM {FAL_ITEN} WHERE FAL = :FAL ORDER BY ORD_IT, CODIGO"));
    itens.BindValue(QStringLiteral("FAL"), fal);
    itens.Open();
    for (itens.First(); !itens.Eof(); itens.Next())
        if (const QString codigo = itens.Fields(0).AsString().trimmed();
            !codigo.isEmpty() && !m_produtosDaFal.contains(codigo))
            m_produtosDaFal << codigo;
    if (m_produtosDaFal.size() == 1) {
        ui.EdtCodPro->setText(m_produtosDaFal.first());
        return EdtCodProExit();
    }
    // The whole sheet's steps, a fabric's when one is chosen.
    if (!m_produtoObrigatorio)
        CarregaEtapas();
    return true;
}

bool TfmTngMov::EdtCodProExit() {
    const QString produto = ui.EdtCodPro->text().trimmed();
    if (m_falCarregada.isEmpty()) {
        ui.EdtDescPro->clear();
        return true;
    }
    if (m_etapasCarregadas && produto == m_produtoCarregado)
        return true;
    ui.EdtDescPro->clear();
    ui.EdtLargura->clear();
    ui.EdtGramatura->clear();
    m_larguraCarregada.clear();
    m_gramaturaCarregada.clear();
    LimpaEtapas();
    if (produto.isEmpty()) {
        if (!m_produtoObrigatorio)
            CarregaEtapas();
        return true;
    }
    if (!m_produtosDaFal.contains(produto))
        return Recusa(ui.EdtCodPro, QStringLiteral("Produto não pertence à FAL."));
    ui.EdtDescPro->setText(Busca_Valor(QStringLiteral("PRODUTO"), QStringLiteral("CODIGO"),
                                       QStringLiteral("DESCRICAO"), {produto}));
    TZoQuery medidas;
    medidas.SQL << DBLocal_SQL(QStringLiteral("SELECT FIRST 1 LARGURA, GRAMATURA FROM {FAL_ITEN} WHERE FAL = "
                                              ":FAL AND CODIGO = :CODIGO ORDER BY ORD_IT"));
    medidas.BindValue(QStringLiteral("FAL"), m_falCarregada);
    medidas.BindValue(QStringLiteral("CODIGO"), produto);
    medidas.Open();
    if (!medidas.IsEmpty()) {
        ui.EdtLargura->setText(medidas.Fields(0).DisplayText());
        ui.EdtGramatura->setText(medidas.Fields(1).DisplayText());
    }
    m_larguraCarregada = ui.EdtLargura->text();
    m_gramaturaCarregada = ui.EdtGramatura->text();
    m_produtoCarregado = produto;
    CarregaEtapas();
    return true;
}

// The sheet typed is read first when its box was not left.
bool TfmTngMov::ListaProdutos(TPesquisa& lista) {
    if (m_falCarregada.isEmpty() && !EdtFalMovExit())
        return false;
    if (m_falCarregada.isEmpty())
        return Recusa(ui.EdtFalMov, kFalInvalida);
    lista.Filtro =
        DBLocal_SQL(QStringLiteral("CODIGO IN (SELECT F.CODIGO FROM {FAL_ITEN} F WHERE F.FAL = ")) +
        Aspas(m_falCarregada) + QLatin1Char(')');
    return true;
}

// Every phase of the item (of the whole sheet without a fabric) in one read, its first row when several
// fabrics go through it; ordered as the route runs, the cursor on the first step still open.
void TfmTngMov::CarregaEtapas() {
    const QString produto = ui.EdtCodPro->text().trimmed();
    TZoQuery q;
    q.SQL << DBLocal_SQL(QStringLiteral(
        "SELECT P.FASE, COALESCE(P.DES_FASE, F.DESCRICAO) AS DESCRICAO, P.CONCLUIDO, P.PENDENTE, "
        "P.FUNCIONARIO, "
        "P.MAQUINA, P.GRAFICO, P.OBS, P.ORDEM, P.DATA_INI, P.HORA_INI, P.DATA_FIN, P.HORA_FIN, P.DATA, "
        "P.TURNO, "
        "P.METRAGEM, P.LOCAL, F.GRUPO, F.ATUALIZAR, D.DESCRICAO AS DESC_LOCAL FROM {PROCESSO_TIN} P LEFT "
        "JOIN "
        "{FASE} F ON (F.CODIGO = P.FASE) LEFT JOIN {DEPOSITO} D ON (D.CODIGO = P.LOCAL) WHERE P.FAL = :FAL"));
    if (!produto.isEmpty())
        q.SQL << QStringLiteral("AND P.CODIGO = :CODIGO");
    q.SQL << QStringLiteral("ORDER BY P.ORDEM, P.FASE, P.ORD_IT, P.CODIGO");
    q.BindValue(QStringLiteral("FAL"), m_falCarregada);
    if (!produto.isEmpty())
        q.BindValue(QStringLiteral("CODIGO"), produto);
    q.Open();
    m_reprocessada =
        Existe(QStringLiteral("FAL"), QStringLiteral("NUM_REPROC"), QVariantList{m_falCarregada});

    QScopedValueRollback<bool> carregando(m_carregando, true);
    {
        ControlesDesligados quieto(*TbMov);
        TbMov->EmptyDataSet();
        m_carregadas.clear();
        QSet<QString> fases;
        const auto coluna = [&q](const char* nome) { return q.FieldByName(QLatin1String(nome)); };
        for (q.First(); !q.Eof(); q.Next()) {
            const QString fase = coluna("FASE").AsString().trimmed();
            if (fases.contains(fase))
                continue;
            fases.insert(fase);
            const QString concluido = coluna("CONCLUIDO").AsString().trimmed().isEmpty()
                                          ? QStringLiteral("N")
                                          : coluna("CONCLUIDO").AsString().trimmed().toUpper();
            const QString dataFim = TextoData(coluna("DATA_FIN").AsDate());
            const QString horaInicio = HoraDaTabela(coluna("HORA_INI").AsString());
            const QString horaFim = HoraDaTabela(coluna("HORA_FIN").AsString());
            const QString turno = coluna("TURNO").AsString().trimmed();
            TbMov->Append();
            const QList<QPair<const char*, QVariant>> valores = {
                {"Concluido", concluido},
                {"Fase", fase},
                {"Descricao", coluna("DESCRICAO").AsString().trimmed()},
                {"Funcionario", coluna("FUNCIONARIO").AsString().trimmed()},
                {"Maquina", coluna("MAQUINA").AsString().trimmed()},
                {"Grafico", coluna("GRAFICO").AsString().trimmed()},
                {"Observacao", coluna("OBS").AsString().trimmed()},
                {"Ordem", coluna("ORDEM").Value()},
                {"Data_Inicio", TextoData(coluna("DATA_INI").AsDate())},
                {"Data_Fim", dataFim},
                {"Hora_Inicio", horaInicio},
                {"Hora_Fim", horaFim},
                {"Data", coluna("DATA").Value()},
                {"Turno", turno},
                {"Metragem", coluna("METRAGEM").Value()},
                {"Local", coluna("LOCAL").AsString().trimmed()},
                {"Desc_local", coluna("DESC_LOCAL").AsString().trimmed()},
                {"AcessaFase", m_fasesDoUsuario.isEmpty() || m_fasesDoUsuario.contains(fase)
                                   ? QStringLiteral("S")
                                   : QStringLiteral("N")},
                {"Data_Fim_Ori", dataFim},
                {"Hora_Inicio_Ori", horaInicio},
                {"Hora_Fim_Ori", horaFim},
                {"Turno_Ori", turno},
                {"Concluido_Ori", concluido},
                {"Data_Ori", coluna("DATA").Value()},
                {"Grupo", coluna("GRUPO").AsString().trimmed()},
                {"Atualizar", coluna("ATUALIZAR").AsString().trimmed().toUpper()}};
            for (const auto& [campo, valor] : valores)
                TbMov->FieldByName(QLatin1String(campo)) = valor;
            TbMov->Post();
            QVariantList editaveis;
            for (const char* campo : kCamposEditaveis)
                editaveis << TbMov->FieldByName(QLatin1String(campo)).Value();
            m_carregadas.insert(fase, editaveis);
        }
    }
    if (!TbMov->Locate(QStringLiteral("Concluido"), {QStringLiteral("N")}))
        TbMov->First();
    m_produtoCarregado = produto;
    m_etapasCarregadas = true;
    AlteracoesGravadas();
}

bool TfmTngMov::SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason reason) {
    Q_UNUSED(reason);
    if (next == ui.BtnFechar)
        return true;
    if (control == ui.EdtFalMov && !EdtFalMovExit())
        return false;
    if (control == ui.EdtCodPro && !EdtCodProExit())
        return false;
    const bool paraGrade = next && (next == ui.DBGrid1 || ui.DBGrid1->isAncestorOf(next));
    if (paraGrade && m_produtoObrigatorio && ui.EdtCodPro->text().trimmed().isEmpty())
        return Recusa(ui.EdtCodPro, QStringLiteral("Produto não informado."));
    return true;
}

// ---- grid

bool TfmTngMov::Travada(int linha) const {
    return textoNa(*TbMov, linha, QStringLiteral("AcessaFase")) == QLatin1String("N");
}

bool TfmTngMov::CelulaTravada(int linha, int campo) const {
    if (linha < 0 || linha >= TbMov->RecordCount())
        return false;
    if (Travada(linha))
        return true;
    return campo >= 0 && kFixasAoConcluir.contains(TbMov->FieldDefs()[campo].name) &&
           EtapaConcluida(textoNa(*TbMov, linha, QStringLiteral("Concluido"))) &&
           EtapaConcluida(textoNa(*TbMov, linha, QStringLiteral("Concluido_Ori")));
}

bool TfmTngMov::Alterada(int linha) const {
    const QVariantList carregada = m_carregadas.value(textoNa(*TbMov, linha, QStringLiteral("Fase")));
    int i = 0;
    for (const char* campo : kCamposEditaveis) {
        const QString agora = textoNa(*TbMov, linha, QLatin1String(campo));
        if (i >= carregada.size() || agora != TextoValor(carregada[i]).trimmed())
            return true;
        ++i;
    }
    return false;
}

void TfmTngMov::TbMovBeforeEdit(TDataSet& linha) {
    if (!m_carregando && Travada(linha.RecNo()))
        throw EAbort();
}

// What a user fills on entering an empty cell: the start now, the end now on a concluded step, his own
// code as who works on an open one. Leaving the production date of a concluded step books its shift.
void TfmTngMov::EntraCelula(const QString& campo, const QString& anterior) {
    if (m_carregando || Travada(TbMov->RecNo()))
        return;
    if (anterior == QLatin1String("Data"))
        DefineTurno();
    if (campo.isEmpty() || !TbMov->FieldByName(campo).AsString().trimmed().isEmpty())
        return;
    const bool concluida = EtapaConcluida(texto(*TbMov, QStringLiteral("Concluido")));
    const QDateTime agora = QDateTime::currentDateTime();
    if (campo == QLatin1String("Hora_Inicio") || (concluida && campo == QLatin1String("Hora_Fim")))
        TbMov->FieldByName(campo) = TextoHora(agora.time());
    else if (campo == QLatin1String("Data_Inicio") || (concluida && campo == QLatin1String("Data_Fim")))
        TbMov->FieldByName(campo) = TextoData(agora.date());
    else if (concluida && campo == QLatin1String("Data"))
        TbMov->FieldByName(campo) = agora.date();
    else if (!concluida && campo == QLatin1String("Funcionario") && !m_funcionarioUsuario.isEmpty())
        TbMov->FieldByName(campo) = m_funcionarioUsuario;
}

void TfmTngMov::DefineTurno() {
    if (TbMov->IsEmpty() || !EtapaConcluida(texto(*TbMov, QStringLiteral("Concluido"))))
        return;
    const QDate data = TbMov->FieldByName(QStringLiteral("Data")).AsDate();
    if (!data.isValid())
        return;
    const QString turno = TurnoDoMomento(data, LeHora(texto(*TbMov, QStringLiteral("Hora_Fim"))),
                                         texto(*TbMov, QStringLiteral("Funcionario")));
    if (!turno.isEmpty() && turno != texto(*TbMov, QStringLiteral("Turno")))
        TbMov->FieldByName(QStringLiteral("Turno")) = turno;
}

bool TfmTngMov::DBGrid1KeyDown(QKeyEvent* tecla) {
    if (TbMov->IsEmpty())
        return false;
    const Qt::KeyboardModifiers modificadores = tecla->modifiers() & ~Qt::KeypadModifier;
    if (modificadores != Qt::NoModifier)
        return false;
    const int chave = tecla->key();
    const bool edita = chave == Qt::Key_F2 || chave == Qt::Key_F4 || chave == Qt::Key_Delete ||
                       chave == Qt::Key_Backspace || (!tecla->text().isEmpty() && tecla->text()[0].isPrint());
    if (edita && Travada(TbMov->RecNo())) {
        Informa(
            this,
            QStringLiteral("Funcionário sem acesso ao setor %1.").arg(texto(*TbMov, QStringLiteral("Fase"))));
        return true;
    }
    const QString campo = ui.DBGrid1->SelectedField();
    if (chave == Qt::Key_F4)
        return PesquisaColuna(campo);
    if (chave == Qt::Key_Tab)
        return !ConfereColuna(campo);
    return false;
}

bool TfmTngMov::PesquisaColuna(const QString& campo) {
    const int indice = TbMov->FieldIndex(campo);
    if (indice < 0 || CelulaTravada(TbMov->RecNo(), indice))
        return false;
    if (campo == QLatin1String("Observacao")) {
        QString observacao = texto(*TbMov, campo);
        if (InputQuery(this, QStringLiteral("Observação"), QStringLiteral("Observação da fase"), observacao))
            TbMov->FieldByName(campo) = observacao.trimmed().left(50);
        return true;
    }
    PesquisaCelula pesquisa;
    if (campo == QLatin1String("Funcionario")) {
        pesquisa = {.titulo = QStringLiteral("Funcionários"),
                    .tabela = QStringLiteral("PESSOAL"),
                    .descricao = QStringLiteral("NOME")};
    } else if (campo == QLatin1String("Maquina")) {
        // The machines of the step's phase and of its group.
        const QString fase = texto(*TbMov, QStringLiteral("Fase")),
                      grupo = texto(*TbMov, QStringLiteral("Grupo"));
        pesquisa = {.titulo = QStringLiteral("Máquinas"), .tabela = QStringLiteral("MAQ_TIN")};
        pesquisa.filtro = QStringLiteral("FASE = ") + Aspas(fase) +
                          (grupo.isEmpty() ? QString() : QStringLiteral(" OR FASE = ") + Aspas(grupo));
        pesquisa.textoVazio =
            grupo.isEmpty() ? QStringLiteral("Nenhuma máquina cadastrada para a fase %1.").arg(fase)
                            : QStringLiteral("Nenhuma máquina cadastrada para a fase %1 nem para o grupo %2.")
                                  .arg(fase, grupo);
    } else if (campo == QLatin1String("Grafico")) {
        pesquisa = {.titulo = QStringLiteral("Gráficos"), .tabela = QStringLiteral("GRAFICO")};
    } else if (campo == QLatin1String("Turno")) {
        pesquisa = {.titulo = QStringLiteral("Turnos"),
                    .tabela = QStringLiteral("TURNO"),
                    .chave = QStringLiteral("TURNO")};
    } else if (campo == QLatin1String("Local")) {
        pesquisa = {.titulo = QStringLiteral("Locais"), .tabela = QStringLiteral("DEPOSITO")};
    } else {
        return false;
    }
    pesquisa.campo = campo;
    if (PesquisaNaCelula(this, *TbMov, pesquisa))
        ConfereColuna(campo);
    return true;
}

// The Tab check of a column; false when the value was refused (and cleared).
bool TfmTngMov::ConfereColuna(const QString& campo) {
    if (TbMov->IsEmpty() || Travada(TbMov->RecNo()))
        return true;
    const QString valor = texto(*TbMov, campo);
    const auto recusa = [&](const QString& mensagem) {
        Informa(this, mensagem);
        TbMov->FieldByName(campo) = QVariant();
        return false;
    };
    if (campo == QLatin1String("Concluido")) {
        if (ConcluidoValido(valor))
            return true;
        Informa(this, kConcluidoInvalido);
        return false;
    }
    if (campo == QLatin1String("Local")) {
        if (valor.isEmpty()) {
            TbMov->FieldByName(QStringLiteral("Desc_local")) = QVariant();
            return true;
        }
        const QString descricao = Busca_Valor(QStringLiteral("DEPOSITO"), QStringLiteral("CODIGO"),
                                              QStringLiteral("DESCRICAO"), QVariantList{valor});
        if (descricao.isEmpty() &&
            !Existe(QStringLiteral("DEPOSITO"), QStringLiteral("CODIGO"), QVariantList{valor})) {
            TbMov->FieldByName(QStringLiteral("Desc_local")) = QVariant();
            return recusa(QStringLiteral("Local inválido"));
        }
        TbMov->FieldByName(QStringLiteral("Desc_local")) = descricao.trimmed();
        return true;
    }
    if (valor.isEmpty())
        return true;
    if (campo == QLatin1String("Funcionario"))
        return Existe(QStringLiteral("PESSOAL"), QStringLiteral("CODIGO"), QVariantList{valor}) ||
               recusa(QStringLiteral("Funcionário não cadastrado."));
    if (campo == QLatin1String("Maquina"))
        return Existe(QStringLiteral("MAQ_TIN"), QStringLiteral("CODIGO"), QVariantList{valor}) ||
               recusa(QStringLiteral("Máquina não cadastrada."));
    if (campo == QLatin1String("Grafico"))
        return Existe(QStringLiteral("GRAFICO"), QStringLiteral("CODIGO"), QVariantList{valor}) ||
               recusa(QStringLiteral("Gráfico não cadastrado."));
    if (campo == QLatin1String("Turno") && EtapaConcluida(texto(*TbMov, QStringLiteral("Concluido"))))
        return Existe(QStringLiteral("TURNO"), QStringLiteral("TURNO"), QVariantList{valor}) ||
               recusa(QStringLiteral("Turno não cadastrado."));
    return true;
}

void TfmTngMov::TbMovBeforePost(TDataSet& linha) {
    if (m_carregando)
        return;
    const QString concluido = texto(linha, QStringLiteral("Concluido"));
    if (!ConcluidoValido(concluido)) {
        Informa(this, kConcluidoInvalido);
        throw EAbort();
    }
    if (concluido != concluido.toUpper())
        linha.FieldByName(QStringLiteral("Concluido")) = concluido.toUpper();
    ConfereMaquinaDaFase(linha);
    ConfereOrdemDasEtapas(linha);
}

// Parameter 220: a concluded step of a grouped phase goes on a machine of the phase or of its group.
void TfmTngMov::ConfereMaquinaDaFase(TDataSet& linha) {
    const QString maquina = texto(linha, QStringLiteral("Maquina"));
    const QString grupo = texto(linha, QStringLiteral("Grupo"));
    if (!m_maquinaDaFase || maquina.isEmpty() || grupo.isEmpty() ||
        !EtapaConcluida(texto(linha, QStringLiteral("Concluido"))))
        return;
    if (!Existe(QStringLiteral("MAQ_TIN"), QStringLiteral("CODIGO"), QVariantList{maquina}))
        return; // told by the column's own check and by the save
    const QString faseMaquina =
        Busca_Valor(QStringLiteral("MAQ_TIN"), QStringLiteral("CODIGO"), QStringLiteral("FASE"), {maquina})
            .trimmed();
    if (faseMaquina == texto(linha, QStringLiteral("Fase")) || faseMaquina == grupo)
        return;
    Informa(this, QStringLiteral("Fase da máquina difere da fase do apontamento. Impossível continuar."));
    linha.Cancel();
    throw EAbort();
}

// A fabric's steps are recorded in the route's order: none while a step before it is still open, as stored
// now and as this grid changes them. A sheet that was reprocessed, or the whole sheet without a fabric, is
// not held to it.
void TfmTngMov::ConfereOrdemDasEtapas(TDataSet& linha) {
    const bool concluida = EtapaConcluida(texto(linha, QStringLiteral("Concluido")));
    if ((!concluida && !m_produtoObrigatorio) || m_produtoCarregado.isEmpty() || m_reprocessada)
        return;
    QHash<QString, int> naGrade;
    for (int i = 0; i < TbMov->RecordCount(); ++i)
        naGrade.insert(textoNa(*TbMov, i, QStringLiteral("Fase")), i);
    TZoQuery q;
    q.SQL << DBLocal_SQL(QStringLiteral(
        "SELECT FASE, ORDEM, CONCLUIDO FROM {PROCESSO_TIN} WHERE FAL = :FAL AND CODIGO = :CODIGO"));
    q.BindValue(QStringLiteral("FAL"), m_falCarregada);
    q.BindValue(QStringLiteral("CODIGO"), m_produtoCarregado);
    q.Open();
    QList<EtapaOrdem> etapas;
    for (q.First(); !q.Eof(); q.Next()) {
        const QString fase = q.Fields(0).AsString().trimmed();
        bool feita = EtapaConcluida(q.Fields(2).AsString());
        if (const auto na = naGrade.constFind(fase); na != naGrade.cend() && Alterada(*na))
            feita = EtapaConcluida(textoNa(*TbMov, *na, QStringLiteral("Concluido")));
        etapas.append({q.Fields(1).AsInteger(), feita});
    }
    const bool ultima = linha.RecNo() == linha.RecordCount() - 1;
    if (EtapaLiberada(etapas, linha.FieldByName(QStringLiteral("Ordem")).AsInteger(), !concluida, ultima))
        return;
    Informa(this, QStringLiteral("Existem setores em aberto antes do que está sendo apontado."));
    linha.Cancel();
    throw EAbort();
}

// ---- save

// Every check of every step to write, told at once; the shift of a concluded step that has none is worked
// out from its production date and end, the hours read once.
bool TfmTngMov::ValidaLinhas(const QList<int>& linhas) {
    QuadroTurnos turnos;
    CadastrosApontamento procurados;
    {
        QScopedValueRollback<bool> semConferir(m_carregando, true);
        for (int linha : linhas) {
            if (!EtapaConcluida(textoNa(*TbMov, linha, QStringLiteral("Concluido"))))
                continue;
            const QDate data = TbMov->ValueAt(linha, TbMov->FieldIndex(QStringLiteral("Data"))).toDate();
            if (textoNa(*TbMov, linha, QStringLiteral("Turno")).isEmpty() && data.isValid()) {
                const QString turno =
                    turnos.Turno(data, LeHora(textoNa(*TbMov, linha, QStringLiteral("Hora_Fim"))),
                                 textoNa(*TbMov, linha, QStringLiteral("Funcionario")));
                TbMov->SetValueAt(linha, TbMov->FieldIndex(QStringLiteral("Turno")), turno);
                TbMov->Post();
            }
            procurados.funcionarios.insert(textoNa(*TbMov, linha, QStringLiteral("Funcionario")));
            procurados.maquinas.insert(textoNa(*TbMov, linha, QStringLiteral("Maquina")));
            procurados.turnos.insert(textoNa(*TbMov, linha, QStringLiteral("Turno")));
        }
    }
    const CadastrosApontamento cadastros{
        existentes(QStringLiteral("PESSOAL"), QStringLiteral("CODIGO"), procurados.funcionarios),
        existentes(QStringLiteral("MAQ_TIN"), QStringLiteral("CODIGO"), procurados.maquinas),
        existentes(QStringLiteral("TURNO"), QStringLiteral("TURNO"), procurados.turnos)};
    QStringList falhas;
    int primeira = -1;
    for (int linha : linhas) {
        const QStringList daLinha = ConfereLinha(linhaDe(*TbMov, linha), cadastros);
        if (daLinha.isEmpty())
            continue;
        if (primeira < 0)
            primeira = linha;
        const QString etapa = QStringLiteral("Fase %1 - %2: ")
                                  .arg(textoNa(*TbMov, linha, QStringLiteral("Fase")),
                                       textoNa(*TbMov, linha, QStringLiteral("Descricao")));
        for (const QString& falha : daLinha)
            falhas << etapa + falha;
    }
    if (falhas.isEmpty())
        return true;
    TbMov->MoveTo(primeira);
    Informa(this, falhas.join(QLatin1Char('\n')));
    return false;
}

// One unit of work: each changed step through one prepared update, its audit line, the item's measures when a
// concluded phase updates them.
void TfmTngMov::Grava(const QList<int>& linhas) {
    const QString fal = m_falCarregada, produto = m_produtoCarregado;
    const QDate hoje = QDate::currentDate();
    QVariant largura, gramatura;
    leMedida(ui.EdtLargura, largura);
    leMedida(ui.EdtGramatura, gramatura);
    GravacaoAtomica gravacao;
    // Whether each phase was still open is read as stored now, its steps locked until the commit: the audit
    // line tells a first recording from a correction by it.
    QHash<QString, QString> pendentes;
    {
        TZoQuery gravadas;
        gravadas.SQL << DBLocal_SQL(
            QStringLiteral("SELECT FASE, PENDENTE FROM {PROCESSO_TIN} WHERE FAL = :FAL"));
        if (!produto.isEmpty())
            gravadas.SQL << QStringLiteral("AND CODIGO = :CODIGO");
        gravadas.SQL << QStringLiteral("WITH LOCK");
        gravadas.BindValue(QStringLiteral("FAL"), fal);
        if (!produto.isEmpty())
            gravadas.BindValue(QStringLiteral("CODIGO"), produto);
        gravadas.Open();
        for (gravadas.First(); !gravadas.Eof(); gravadas.Next()) {
            QString& pendente = pendentes[gravadas.Fields(0).AsString().trimmed()];
            const QString gravado = gravadas.Fields(1).AsString().trimmed().toUpper();
            if (pendente.isEmpty() || pendente == QLatin1String("N"))
                pendente = gravado.isEmpty() ? QStringLiteral("S") : gravado;
        }
    }
    TZoQuery etapa;
    etapa.SQL << DBLocal_SQL(QStringLiteral(
        "UPDATE {PROCESSO_TIN} SET PENDENTE = :PENDENTE, CONCLUIDO = :CONCLUIDO, FUNCIONARIO = :FUNCIONARIO, "
        "MAQUINA = :MAQUINA, GRAFICO = :GRAFICO, OBS = :OBS, LOCAL = :LOCAL, "
        "DATA = CASE WHEN :GRAVA_DATA = 1 THEN CAST(:DATA AS DATE) ELSE DATA END, TURNO = :TURNO, "
        "METRAGEM = :METRAGEM, DATA_INI = COALESCE(:DATA_INI, DATA_INI), "
        "HORA_INI = COALESCE(:HORA_INI, HORA_INI), "
        "DATA_FIN = CASE WHEN :ABERTA = 1 THEN NULL ELSE COALESCE(:DATA_FIN, DATA_FIN) END, "
        "HORA_FIN = CASE WHEN :ABERTA_HORA = 1 THEN NULL ELSE COALESCE(:HORA_FIN, HORA_FIN) END "
        "WHERE FAL = :FAL AND FASE = :FASE"));
    if (!produto.isEmpty())
        etapa.SQL << QStringLiteral("AND CODIGO = :CODIGO");
    const auto valor = [this](int linha, const char* campo) {
        return TbMov->ValueAt(linha, TbMov->FieldIndex(QLatin1String(campo)));
    };
    const auto ouNulo = [](const QString& texto) { return texto.isEmpty() ? QVariant() : QVariant(texto); };
    for (int linha : linhas) {
        const LinhaApontamento l = linhaDe(*TbMov, linha);
        const QString fase = textoNa(*TbMov, linha, QStringLiteral("Fase"));
        const bool concluida = EtapaConcluida(l.concluido);
        const QDate dataInicio = LeData(l.dataInicio), dataFim = LeData(l.dataFim);
        // A time shown as typed is the one stored, seconds and all: only a time the user changed is written.
        const bool horaInicioMudou =
            l.horaInicio != textoNa(*TbMov, linha, QStringLiteral("Hora_Inicio_Ori"));
        const bool horaFimMudou = l.horaFim != textoNa(*TbMov, linha, QStringLiteral("Hora_Fim_Ori"));
        etapa.BindValue(QStringLiteral("PENDENTE"), concluida ? QStringLiteral("N") : QStringLiteral("S"));
        etapa.BindValue(QStringLiteral("CONCLUIDO"), concluida ? l.concluido.toUpper() : QStringLiteral("N"));
        etapa.BindValue(QStringLiteral("FUNCIONARIO"), ouNulo(l.funcionario));
        etapa.BindValue(QStringLiteral("MAQUINA"), ouNulo(l.maquina));
        etapa.BindValue(QStringLiteral("GRAFICO"), ouNulo(textoNa(*TbMov, linha, QStringLiteral("Grafico"))));
        etapa.BindValue(QStringLiteral("OBS"), ouNulo(textoNa(*TbMov, linha, QStringLiteral("Observacao"))));
        etapa.BindValue(QStringLiteral("LOCAL"), ouNulo(textoNa(*TbMov, linha, QStringLiteral("Local"))));
        // An open step has a production date only when the user gave it one.
        const QDate data = valor(linha, "Data").toDate();
        etapa.BindValue(QStringLiteral("GRAVA_DATA"),
                        concluida || data != valor(linha, "Data_Ori").toDate() ? 1 : 0);
        etapa.BindValue(QStringLiteral("DATA"), DataProducao(data, hoje));
        etapa.BindValue(QStringLiteral("TURNO"), ouNulo(l.turno));
        etapa.BindValue(QStringLiteral("METRAGEM"), valor(linha, "Metragem"));
        etapa.BindValue(QStringLiteral("DATA_INI"), dataInicio.isValid() ? QVariant(dataInicio) : QVariant());
        etapa.BindValue(QStringLiteral("HORA_INI"), dataInicio.isValid() && horaInicioMudou
                                                        ? ouNulo(HoraGravada(LeHora(l.horaInicio)))
                                                        : QVariant());
        etapa.BindValue(QStringLiteral("ABERTA"), concluida ? 0 : 1);
        etapa.BindValue(QStringLiteral("ABERTA_HORA"), concluida ? 0 : 1);
        etapa.BindValue(QStringLiteral("DATA_FIN"), dataFim.isValid() ? QVariant(dataFim) : QVariant());
        etapa.BindValue(QStringLiteral("HORA_FIN"), dataFim.isValid() && horaFimMudou
                                                        ? ouNulo(HoraGravada(LeHora(l.horaFim)))
                                                        : QVariant());
        etapa.BindValue(QStringLiteral("FAL"), fal);
        etapa.BindValue(QStringLiteral("FASE"), fase);
        if (!produto.isEmpty())
            etapa.BindValue(QStringLiteral("CODIGO"), produto);
        etapa.ExecSQL();
        if (!concluida)
            continue;
        const RegistroEtapa registro = RegistroDaEtapa(
            {pendentes.value(fase), l.dataFim != textoNa(*TbMov, linha, QStringLiteral("Data_Fim_Ori")),
             horaInicioMudou, horaFimMudou, l.turno != textoNa(*TbMov, linha, QStringLiteral("Turno_Ori"))});
        if (registro != RegistroEtapa::Nenhum)
            GeraLog(kTituloLog, TextoRegistroEtapa(registro, fal, fase, produto, l),
                    registro == RegistroEtapa::Movimentacao ? opOutros : opAlteracao, fal, this);
    }
    // Width and grammage are measured at the phases that update them: written while one of those stands
    // concluded, when the boxes changed.
    bool atualiza = false;
    for (int linha = 0; linha < TbMov->RecordCount() && !atualiza; ++linha)
        atualiza = EtapaConcluida(textoNa(*TbMov, linha, QStringLiteral("Concluido"))) &&
                   textoNa(*TbMov, linha, QStringLiteral("Atualizar")) == QLatin1String("S");
    if (!produto.isEmpty() && atualiza &&
        (ui.EdtLargura->text() != m_larguraCarregada || ui.EdtGramatura->text() != m_gramaturaCarregada)) {
        TZoQuery item;
        item.SQL << DBLocal_SQL(QStringLiteral("UPDATE {FAL_ITEN} SET LARGURA = :LARGURA, GRAMATURA = "
                                               ":GRAMATURA WHERE FAL = :FAL AND CODIGO = :CODIGO"));
        item.BindValue(QStringLiteral("LARGURA"), largura);
        item.BindValue(QStringLiteral("GRAMATURA"), gramatura);
        item.BindValue(QStringLiteral("FAL"), fal);
        item.BindValue(QStringLiteral("CODIGO"), produto);
        item.ExecSQL();
        GeraLog(kTituloLog,
                QStringLiteral("ALTERADO GRAMATURA PARA ") + ui.EdtGramatura->text().trimmed() +
                    QStringLiteral(", LARGURA PARA ") + ui.EdtLargura->text().trimmed() +
                    QStringLiteral(" DO PRODUTO ") + produto,
                opAlteracao, fal, this);
    }
    gravacao.Confirma();
}

void TfmTngMov::BtnGravarClick() {
    ConcluiEdicaoGrades(true);
    TbMov->CheckBrowseMode(); // the row being edited passes its checks first
    if (!Acessa(kClasse, QStringLiteral("A"), QStringLiteral("0")))
        return;
    const QString fal = ui.EdtFalMov->text().trimmed();
    if (fal.isEmpty() || fal != m_falCarregada) {
        Recusa(ui.EdtFalMov, kFalInvalida);
        return;
    }
    if (!FalsBloqueadas({fal}, m_produtoCarregado).isEmpty()) {
        Informa(this, QStringLiteral("FAL bloqueada na qualidade. Impossível gravar."));
        return;
    }
    QVariant medida;
    if (!leMedida(ui.EdtLargura, medida)) {
        Recusa(ui.EdtLargura, QStringLiteral("Largura inválida."));
        return;
    }
    if (!leMedida(ui.EdtGramatura, medida)) {
        Recusa(ui.EdtGramatura, QStringLiteral("Gramatura inválida."));
        return;
    }
    // Only the steps this screen changed: what another workstation recorded since stays as it recorded it.
    QList<int> linhas;
    for (int linha = 0; linha < TbMov->RecordCount(); ++linha)
        if (!Travada(linha) && Alterada(linha))
            linhas << linha;
    if (!ValidaLinhas(linhas))
        return;
    {
        Ocupado(true, this, QStringLiteral("Gravando o apontamento"));
        const auto fim = qScopeGuard([this] { Ocupado(false, this); });
        try {
            Grava(linhas);
        } catch (const EDatabaseError& e) {
            // Rolled back by now; a lost connection goes to the host, which offers to reconnect.
            if (e.message().startsWith(TextoConexaoPerdida()))
                throw;
            Mensagens().Show(this, windowTitle(),
                             QStringLiteral("Ocorreu um erro durante o processo.\nErro: ") + e.message(),
                             MsgIcon::Error);
            return;
        }
    }
    for (QLineEdit* caixa : {ui.EdtCodPro, ui.EdtDescPro, ui.EdtLargura, ui.EdtGramatura})
        caixa->clear();
    LimpaEtapas();
    m_falCarregada.clear(); // leaving the box reads the sheet again
    ui.EdtFalMov->setFocus(Qt::OtherFocusReason);
}
