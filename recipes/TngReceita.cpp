#include "TngReceita.h"
#include "Acesso.h"
#include "CaixaPesquisa.h"
#include "CorSistema.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "DataSetModel.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "GradeEdicao.h"
#include "GravacaoAtomica.h"
#include "HostError.h"
#include "HostUi.h"
#include "Mensagens.h"
#include "ModuleUnits.h"
#include "PaginaConsulta.h"
#include "Protecao.h"
#include "Receitas.h"
#include "RegrasCalculo.h"
#include "Relatorio.h"
#include "TClientDataSet.h"
#include "TPesquisa.h"
#include "TZoQuery.h"
#include "VisorCor.h"
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QScrollBar>

TfmTngReceita* fmTngReceita = nullptr;

KELM_SCREEN_UNIT(TngReceita, TfmTngReceita);

namespace {
const QString kReceita = QStringLiteral("RECEITA");
const QString kTituloLog = QStringLiteral("RECEITA");
const QString kNaoEncontrada = QStringLiteral("Cadastro com Receita e Variante não encontrados.");
const QString kOutraCor =
    QStringLiteral("Receita + Variante já cadastrada com outra cor. Impossível gravar.");
const QString kJaCadastrada = QStringLiteral("Receita + Variante já cadastrada. Impossível gravar.");
const QString kDescricaoObrigatoria = QStringLiteral("O campo descrição é obrigatório.");
constexpr int kPastaCores = 1;

QString texto(TDataSet& dados, const QString& campo) {
    return dados.FieldByName(campo).AsString().trimmed();
}

} // namespace

TfmTngReceita::TfmTngReceita(QWidget* parent) : TForm(parent), TbConsumos(new TClientDataSet(this)) {
    setObjectName(QStringLiteral("fmTngReceita"));
    setWindowTitle(QStringLiteral("Cadastro de Receitas"));
    KeyPreview = true;
    ui.setupUi(this);
    m_visor = new VisorCor(this);
    m_visor->BotaoImagem()->hide(); // the picture is chosen in the colour registry
    ui.LayoutTopo->addWidget(m_visor);

    connect(ui.BitBtn5, &QPushButton::clicked, this, Protegido([this] { BitBtn5Click(); }));
    connect(ui.BitBtn7, &QPushButton::clicked, this, Protegido([this] { BitBtn7Click(); }));
    connect(ui.BtDuplicar, &QPushButton::clicked, this, Protegido([this] { BtDuplicarClick(); }));
    connect(ui.BtImprimir, &QPushButton::clicked, this, Protegido([this] { BtImprimirClick(); }));
    connect(ui.BtConsultar, &QPushButton::clicked, this, Protegido([this] { BtConsultarClick(); }));
    connect(ui.btnConsulta, &QPushButton::clicked, this, Protegido([this] { btnConsultaClick(); }));
    connect(ui.BtImprimirLista, &QPushButton::clicked, this, Protegido([this] { BtImprimirListaClick(); }));
    connect(ui.BtFechar, &QPushButton::clicked, this, [this] { close(); });
}

void TfmTngReceita::FormCreate() {
    DicaTeclas(
        {ui.DBGrid1},
        QStringLiteral(
            "F4: pesquisa (colunas Material, Tipo e Regra) · Insert: linha nova · Ctrl+Del: exclui a linha"));
    PublicaInstancia(fmTngReceita);
    PreparaItens();
    PreparaConsulta();
    DeclaraCaixas();
    ui.EdtCorDe->setText(QStringLiteral("000000"));
    ui.EdtCorAte->setText(QStringLiteral("ZZZZZZ"));
    ui.CbFiltroLiberada->setCurrentIndex(2);

    MostraCustoReceita();
    VigiaAlteracoes(
        {TbConsumos},
        {ui.EdtDescricao, ui.EdtCodCor, ui.EdtCodGra, ui.EdtCodBan, ui.EdtCodPrep, ui.EdtObs, ui.CbLiberada},
        ui.BitBtn5);
    ui.PageControl1->setCurrentWidget(ui.TsAcesso);
    ui.EdtFiltroCodigo->setFocus();
}

// The recipe's items: sorted by order, the preparation's read-only, coloured, their total always shown.
void TfmTngReceita::PreparaItens() {
    TbConsumos->setObjectName(QStringLiteral("TbConsumos"));
    CriaConsumos(*TbConsumos);
    TbConsumos->SetIndexFieldNames(QStringLiteral("Ordem;Material"));
    TbConsumos->OnNewRecord = [](TDataSet& item) {
        item.FieldByName(QStringLiteral("Altera")) = QStringLiteral("S");
        item.FieldByName(QStringLiteral("Tp_Item")) = QStringLiteral("M");
    };
    TbConsumos->AfterInsert = [this](TDataSet&) {
        if (!m_sistema)
            ui.DBGrid1->SelectField(QStringLiteral("Ordem"));
    };
    TbConsumos->BeforeEdit = [this](TDataSet& item) { ValidaEdicao(item); };
    TbConsumos->BeforeDelete = [this](TDataSet& item) { ValidaEdicao(item); };
    TbConsumos->BeforePost = [this](TDataSet& item) { PreencheDescricoes(item); };

    DataSetModel* modelo = DataSetModel::Of(TbConsumos);
    // An alternative product is the warning that matters most, so red wins over the preparation's blue.
    modelo->SetRowColor([this](int linha) {
        if (!TbConsumos->ValueAt(linha, TbConsumos->FieldIndex(QStringLiteral("ContraTipo")))
                 .toString()
                 .trimmed()
                 .isEmpty())
            return QColor(Qt::red);
        return ItemProprio(*TbConsumos, linha) ? QColor() : QColor(Qt::blue);
    });
    ui.DBGrid1->SetDataSet(TbConsumos);
    ui.DBGrid1->SetReadOnly(false);
    ui.DBGrid1->DeclaraColunas({{"Ordem", "Ordem"},
                                {"Material", "Código"},
                                ColunaGrade("Descricao", "Descrição").Largura(30).SomenteLeitura(),
                                {"Unidade", "Unidade"},
                                {"Qtde", "Quantidade"},
                                {"Passo", "Passo"},
                                {"Tipo", "Tipo"},
                                ColunaGrade("DescTipo", "Descrição do tipo").Largura(15).SomenteLeitura(),
                                {"Fibra", "Fibra"},
                                ColunaGrade("Custo", "Custo").SomenteLeitura(),
                                ColunaGrade("ContraTipo", "Contratipo").SomenteLeitura(),
                                ColunaGrade("QtdeContraTipo", "Qtde. contratipo").SomenteLeitura(),
                                ColunaGrade("CustoContraTipo", "Custo contratipo").SomenteLeitura(),
                                {"Regra", "Regra"},
                                ColunaGrade("DescRegra", "Descrição da regra").Largura(15).SomenteLeitura(),
                                {"Tp_Item", "Tipo do item"},
                                ColunaGrade("Local", "Local").SomenteLeitura(),
                                ColunaGrade("Concentracao", "Concentração").SomenteLeitura(),
                                ColunaGrade("Finalidade", "Finalidade").Largura(15),
                                ColunaGrade("Preco", "Preço").Oculta()});
    ui.DBGrid1->OnKeyDown = [this](QKeyEvent* tecla) { return DBGrid1KeyDown(tecla); };
    AcompanhaLinhas(TbConsumos, this, [this] { MostraCustoReceita(); });
}

// The search list, read a page at a time.
void TfmTngReceita::PreparaConsulta() {
    m_consulta = new PaginaConsulta(this, ui.DBGrid2, ui.LbQtdeConsulta);
    TPesquisa& lista = m_consulta->pesquisa;
    lista.SQL = DBLocal_SQL(QStringLiteral(
        "SELECT RECEITA.CODIGO, RECEITA.VARIANTE, VARIANTE.DESCRICAO AS DES_VARIANTE, RECEITA.COR, "
        "CADCORTIN.DESCRICAO AS DES_COR, RECEITA.GRAFICO, GRAFICO.DESCRICAO AS DES_GRAFICO, "
        "RECEITA.COD_BANHO, "
        "BANHO.DESCRICAO AS DES_BANHO, RECEITA.PREPARACAO, PREPARACAO.DESCRICAO AS DESC_PREP, "
        "RECEITA.LIBERADA AS SITUACAO, "
        "CAST(CASE WHEN RECEITA.LIBERADA = '2' THEN 'Não' ELSE 'Sim' END AS VARCHAR(3)) AS LIBERADA "
        "FROM {RECEITA} RECEITA "
        "LEFT JOIN {VARIANTE} VARIANTE ON (VARIANTE.CODIGO = RECEITA.VARIANTE) "
        "LEFT JOIN {CADCORTIN} CADCORTIN ON (CADCORTIN.CODIGO = RECEITA.COR) "
        "LEFT JOIN {GRAFICO} GRAFICO ON (GRAFICO.CODIGO = RECEITA.GRAFICO) "
        "LEFT JOIN {BANHO} BANHO ON (BANHO.CODIGO = RECEITA.COD_BANHO) "
        // A preparation's rows all repeat its description. Joined, not a sub-query column: the engine
        // sorts every recipe of a derived table with one instead of walking the key's index for a window.
        "LEFT JOIN (SELECT CODIGO, MAX(DESCRICAO) AS DESCRICAO FROM {PREPARACAO} GROUP BY CODIGO) "
        "PREPARACAO ON (PREPARACAO.CODIGO = RECEITA.PREPARACAO)"));
    // Counted without the descriptions: the filters name the recipe's own columns only.
    lista.SQLContagem = DBLocal_SQL(
        QStringLiteral("SELECT CODIGO, VARIANTE, COR, GRAFICO, COD_BANHO, PREPARACAO, LIBERADA AS SITUACAO "
                       "FROM {RECEITA}"));
    lista.CampoChave = QStringLiteral("CODIGO");
    lista.OrdenarPor = QStringLiteral("P.CODIGO, P.VARIANTE");
    m_consulta->textoContagem = [](int linhas) {
        return linhas == 1 ? QStringLiteral("1 receita")
                           : QStringLiteral("%1 receitas").arg(TextoExibicao(double(linhas), 0));
    };
    m_consulta->abre = [this] { AbreDaConsulta(); };
    // Five descriptions side by side: each as wide as most of them are.
    ui.DBGrid2->DeclaraColunas({{"CODIGO", "Receita"},
                                {"VARIANTE", "Variante"},
                                ColunaGrade("DES_VARIANTE", "Descrição da variante").Largura(20),
                                {"COR", "Cor"},
                                ColunaGrade("DES_COR", "Descrição da cor").Largura(20),
                                {"GRAFICO", "Gráfico"},
                                ColunaGrade("DES_GRAFICO", "Descrição do gráfico").Largura(20),
                                {"COD_BANHO", "Banho"},
                                ColunaGrade("DES_BANHO", "Descrição do banho").Largura(20),
                                {"PREPARACAO", "Preparação"},
                                ColunaGrade("DESC_PREP", "Descrição da preparação").Largura(20),
                                {"LIBERADA", "Liberada"}});
}

// ---- Header boxes

// The code's own search finds a recipe by code and variant; the other boxes take codes of other tables, and
// each shows what the recipe needs of its row. Left empty, a variant, colour, curve or bath box opens its
// look-up; towards "Fechar" or the search page no box is checked.
void TfmTngReceita::DeclaraCaixas() {
    SaidaSemConferencia(ui.BtFechar);
    SaidaSemConferencia(ui.TsAcesso);
    DeclaracaoCaixa receita;
    receita.caixa = ui.EdtCodigo;
    receita.botao = ui.PqReceita;
    receita.titulo = QStringLiteral("Receitas");
    receita.tabela = kReceita;
    receita.pesquisa = [this] { return PesquisaReceita(); };
    receita.mostra = [this](const QVariantMap& linha) { MostraReceita(linha); };
    DeclaraCaixa(receita);
    const QStringList consumos = {QStringLiteral("QTDE_AGUA"), QStringLiteral("QTDE_VAPOR"),
                                  QStringLiteral("QTDE_VATS"), QStringLiteral("QTDE_GAS"),
                                  QStringLiteral("QTDE_OUTROS")};
    const struct {
        QLineEdit *caixa, *descricao;
        QToolButton* botao;
        QString titulo, tabela;
        QStringList colunas;
        std::function<void(const QVariantMap&)> mostra;
    } codigos[] = {
        {ui.EdtCodVar,
         ui.EdtDesVar,
         ui.PqVariante,
         QStringLiteral("Variantes"),
         QStringLiteral("VARIANTE"),
         {QStringLiteral("INDICE")},
         [this](const QVariantMap& linha) { MostraVariante(linha); }},
        {ui.EdtCodCor,
         ui.EdtDesCor,
         ui.PqCor,
         QStringLiteral("Cores"),
         QStringLiteral("CADCORTIN"),
         {QStringLiteral("COMPLEMENTO"), QStringLiteral("COR_SIS")},
         [this](const QVariantMap& linha) { MostraCor(linha); }},
        {ui.EdtCodGra, ui.EdtDesGra, ui.PqGrafico, QStringLiteral("Gráficos"), QStringLiteral("GRAFICO"),
         QStringList{QStringLiteral("TEMPO")} + consumos,
         [this, consumos](const QVariantMap& linha) { MostraGrafico(linha, consumos); }},
        {ui.EdtCodBan,
         ui.EdtDesBan,
         ui.PqBanho,
         QStringLiteral("Volumes de Banho"),
         QStringLiteral("BANHO"),
         {QStringLiteral("PROPORCAO")},
         [this](const QVariantMap& linha) { MostraBanho(linha); }},
    };
    for (const auto& c : codigos)
        DeclaraCaixa({.caixa = c.caixa,
                      .descricao = c.descricao,
                      .botao = c.botao,
                      .titulo = c.titulo,
                      .tabela = c.tabela,
                      .abreVazia = true,
                      .colunas = c.colunas,
                      .mostra = c.mostra});
    DeclaraCaixa({.caixa = ui.EdtCodPrep,
                  .descricao = ui.EdtDesPrep,
                  .botao = ui.PqPreparacao,
                  .titulo = QStringLiteral("Preparações"),
                  .tabela = QStringLiteral("PREPARACAO"),
                  .distintos = true});
}

void TfmTngReceita::MostraReceita(const QVariantMap& linha) {
    m_contexto.receita = Codigo();
    if (!m_preenchendo)
        ui.EdtDescricao->setText(linha.value(QStringLiteral("DESCRICAO")).toString());
}

void TfmTngReceita::MostraVariante(const QVariantMap& linha) {
    m_contexto.variante = Variante();
    m_contexto.indice = linha.value(QStringLiteral("INDICE")).toString();
    RecalculaItens();
}

void TfmTngReceita::MostraCor(const QVariantMap& linha) {
    ui.EdtComplemento->setText(linha.value(QStringLiteral("COMPLEMENTO")).toString());
    m_visor->MostraImagem(linha.isEmpty() ? QString()
                                          : BuscaArquivo(ui.EdtCodCor->text().trimmed(), kPastaCores));
    m_visor->MostraCor(CorDoSistema(linha.value(QStringLiteral("COR_SIS"))));
}

void TfmTngReceita::MostraGrafico(const QVariantMap& linha, const QStringList& consumos) {
    ui.EdtTempo->setText(linha.value(QStringLiteral("TEMPO")).toString());
    double custo = 0;
    for (const QString& consumo : consumos)
        custo += linha.value(consumo).toDouble();
    ui.EdtCustoGrafico->setText(linha.isEmpty() ? QString() : TextoExibicao(custo, 2));
}

void TfmTngReceita::MostraBanho(const QVariantMap& linha) {
    ui.EdtLitros->setText(TextoExibicao(linha.value(QStringLiteral("PROPORCAO"))));
    m_contexto.proporcao = linha.value(QStringLiteral("PROPORCAO")).toDouble();
    RecalculaItens();
}

QString TfmTngReceita::Codigo() const {
    return ui.EdtCodigo->text().trimmed();
}

QString TfmTngReceita::Variante() const {
    return ui.EdtCodVar->text().trimmed();
}

QString TfmTngReceita::Chave() const {
    return Codigo() + Variante();
}

QString TfmTngReceita::Par() const {
    return Codigo() + QChar(0x1f) + Variante();
}

bool TfmTngReceita::ParExiste() const {
    return !Codigo().isEmpty() &&
           Existe(kReceita, QStringLiteral("CODIGO;VARIANTE"), QVariantList{Codigo(), Variante()});
}

// Runs when the code or variant changed since the last check: a stored pair is loaded, over what was typed;
// a new one, when told to, says so.
void TfmTngReceita::VerificaPar(bool avisa) {
    if (Codigo().isEmpty() || Variante().isEmpty() || Par() == m_parVerificado)
        return;
    if (ParExiste()) {
        BuscaDados();
        return;
    }
    if (!avisa)
        return;
    m_parVerificado = Par();
    Informa(this, kNaoEncontrada);
}

void TfmTngReceita::EdtCodigoExit() {
    if (Codigo().isEmpty())
        ui.EdtCodigo->setText(Proximo(kReceita, QStringLiteral("CODIGO"), 4));
    VerificaPar(false);
}

bool TfmTngReceita::EdtDescricaoExit() {
    if (!ui.EdtDescricao->text().trimmed().isEmpty())
        return true;
    Informa(this, kDescricaoObrigatoria);
    ui.EdtDescricao->setFocus(Qt::OtherFocusReason);
    return false;
}

// A preparation that exists brings its items; any other code takes the preparation's items away.
void TfmTngReceita::EdtCodPrepExit() {
    RegrasCalculo regras;
    AddPreparacao(regras);
}

bool TfmTngReceita::SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason) {
    // Towards "Fechar" or the search page no rule runs.
    if (next == ui.BtFechar || !ui.TsCadastro->isAncestorOf(next))
        return true;
    if (control == ui.EdtCodigo)
        EdtCodigoExit();
    else if (control == ui.EdtCodVar)
        VerificaPar(true);
    else if (control == ui.EdtDescricao)
        return EdtDescricaoExit();
    else if (control == ui.EdtCodPrep)
        EdtCodPrepExit();
    return true;
}

// ---- Loading

bool TfmTngReceita::PesquisaReceita() {
    TPesquisa pesquisa;
    pesquisa.Titulo = windowTitle();
    pesquisa.SQL = DBLocal_SQL(QStringLiteral("SELECT R.CODIGO || '/' || R.VARIANTE AS RECEITA, R.CODIGO, "
                                              "R.VARIANTE, R.DESCRICAO, R.COR FROM {RECEITA} R"));
    pesquisa.CampoChave = QStringLiteral("RECEITA");
    pesquisa.CampoBusca = QStringLiteral("DESCRICAO");
    pesquisa.OrdenarPor = QStringLiteral("CODIGO, VARIANTE");
    if (!pesquisa.AbrePesquisa(this))
        return false;
    AbreReceita(pesquisa.RetornoPesquisa(QStringLiteral("CODIGO")).toString().trimmed(),
                pesquisa.RetornoPesquisa(QStringLiteral("VARIANTE")).toString().trimmed());
    return true;
}

void TfmTngReceita::AbreReceita(const QString& codigo, const QString& variante) {
    if (!Existe(kReceita, QStringLiteral("CODIGO;VARIANTE"), QVariantList{codigo, variante})) {
        Informa(this, kNaoEncontrada);
        return;
    }
    {
        QScopedValueRollback<bool> preenchendo(m_preenchendo, true);
        ui.EdtCodigo->setText(codigo);
        ui.EdtCodVar->setText(variante);
    }
    BuscaDados();
    ui.PageControl1->setCurrentWidget(ui.TsCadastro);
    ui.EdtDescricao->setFocus(Qt::OtherFocusReason);
}

void TfmTngReceita::BuscaDados() {
    TZoQuery q;
    q.SQL << SqlReceita();
    q.BindValue(QStringLiteral("CODIGO"), Codigo());
    q.BindValue(QStringLiteral("VARIANTE"), Variante());
    q.BindValue(QStringLiteral("CHAVE"), Chave());
    q.Open();
    if (q.IsEmpty())
        return;
    q.First();
    TbConsumos->Cancel();
    TbConsumos->EmptyDataSet();
    {
        QScopedValueRollback<bool> preenchendo(m_preenchendo, true);
        ui.EdtDescricao->setText(texto(q, QStringLiteral("DESC_REC")));
        ui.EdtCodCor->setText(texto(q, QStringLiteral("COR")));
        ui.EdtCodGra->setText(texto(q, QStringLiteral("GRAFICO")));
        ui.EdtCodBan->setText(texto(q, QStringLiteral("COD_BANHO")));
        ui.EdtCodPrep->setText(texto(q, QStringLiteral("PREPARACAO")));
        ui.EdtObs->setPlainText(q.FieldByName(QStringLiteral("OBS")).AsString());
        ui.CbLiberada->setCurrentIndex(texto(q, QStringLiteral("LIBERADA")) == QLatin1String("2") ? 1 : 0);
        const TField data = q.FieldByName(QStringLiteral("LOG_DATA"));
        ui.LbUltimaAlteracao->setText(data.IsNull()
                                          ? QString()
                                          : QStringLiteral("Última alteração: %1 %2 %3")
                                                .arg(data.DisplayText(), texto(q, QStringLiteral("LOG_HORA")),
                                                     texto(q, QStringLiteral("LOG_USUARIO"))));
    }
    RegrasCalculo regras;
    AddPreparacao(regras);
    {
        QScopedValueRollback<bool> sistema(m_sistema, true);
        ControlesDesligados quieto(*TbConsumos);
        for (q.First(); !q.Eof(); q.Next())
            if (!texto(q, QStringLiteral("MATERIAL")).isEmpty())
                AcrescentaItem(*TbConsumos, q, true, m_contexto, regras);
        TbConsumos->First();
    }
    m_parVerificado = m_parCarregado = Par();
    m_custoCarregado = Arredondar(q.FieldByName(QStringLiteral("REC_CUSTO")).AsFloat(), 2);
    AlteracoesGravadas();
}

void TfmTngReceita::AddPreparacao(RegrasCalculo& regras) {
    DeletaPreparacao();
    const QString codigo = ui.EdtCodPrep->text().trimmed();
    if (codigo.isEmpty())
        return;
    TZoQuery q;
    q.SQL << SqlPreparacao();
    q.BindValue(QStringLiteral("CODIGO"), codigo);
    q.Open();
    QScopedValueRollback<bool> sistema(m_sistema, true);
    ControlesDesligados quieto(*TbConsumos);
    for (q.First(); !q.Eof(); q.Next())
        AcrescentaItem(*TbConsumos, q, false, m_contexto, regras);
    TbConsumos->First();
}

void TfmTngReceita::DeletaPreparacao() {
    TbConsumos->CheckBrowseMode();
    QScopedValueRollback<bool> sistema(m_sistema, true);
    ControlesDesligados quieto(*TbConsumos);
    for (int linha = TbConsumos->RecordCount() - 1; linha >= 0; --linha)
        if (!ItemProprio(*TbConsumos, linha)) {
            TbConsumos->MoveTo(linha);
            TbConsumos->Delete();
        }
}

void TfmTngReceita::LimpaTela() {
    TbConsumos->Cancel();
    TbConsumos->EmptyDataSet();
    {
        QScopedValueRollback<bool> preenchendo(m_preenchendo, true);
        for (QLineEdit* caixa : {ui.EdtCodigo, ui.EdtDescricao, ui.EdtCodVar, ui.EdtCodCor, ui.EdtCodGra,
                                 ui.EdtCodBan, ui.EdtCodPrep})
            caixa->clear();
        ui.EdtObs->clear();
        ui.CbLiberada->setCurrentIndex(0);
        ui.LbUltimaAlteracao->clear();
    }
    m_parVerificado.clear();
    m_parCarregado.clear();
    m_custoCarregado = 0;
    AlteracoesGravadas();
    ui.EdtCodigo->setFocus(Qt::OtherFocusReason);
}

// The variant's fibre shares and the bath's litres cost every item: a change of either costs them again.
void TfmTngReceita::RecalculaItens() {
    if (TbConsumos->IsEmpty() || !TbConsumos->Post())
        return;
    const int atual = TbConsumos->RecNo();
    QScopedValueRollback<bool> sistema(m_sistema, true);
    {
        ControlesDesligados quieto(*TbConsumos);
        for (int linha = 0; linha < TbConsumos->RecordCount(); ++linha) {
            TbConsumos->MoveTo(linha);
            TbConsumos->Edit();
            CustaItem(*TbConsumos, m_contexto);
            TbConsumos->Post();
        }
    }
    TbConsumos->MoveTo(atual);
}

// The header's cost and the total under the items are one figure.
void TfmTngReceita::MostraCustoReceita() {
    const QString custo = TextoExibicao(CustoDosItens(*TbConsumos, m_contexto), 2);
    ui.EdtCusto->setText(custo);
    ui.LbCustoReceita->setText(custo);
}

// ---- Item grid

void TfmTngReceita::ValidaEdicao(TDataSet& item) const {
    // Items of the preparation are changed in the preparation, never here.
    if (!m_sistema && !ItemProprio(item, item.RecNo()))
        throw EAbort();
}

void TfmTngReceita::PreencheDescricoes(TDataSet& item) {
    if (m_sistema)
        return;
    const QString tipo = texto(item, QStringLiteral("Tipo"));
    item.FieldByName(QStringLiteral("DescTipo")) =
        tipo.isEmpty() ? QString()
                       : Busca_Valor(QStringLiteral("TIPO_TING"), QStringLiteral("CODIGO"),
                                     QStringLiteral("DESCRICAO"), {tipo});
    const QString regra = texto(item, QStringLiteral("Regra"));
    item.FieldByName(QStringLiteral("DescRegra")) =
        regra.isEmpty() ? QString()
                        : Busca_Valor(QStringLiteral("TNG_REGRA"), QStringLiteral("CODIGO"),
                                      QStringLiteral("DESCRICAO"), {regra});
    CustaItem(item, m_contexto);
}

bool TfmTngReceita::LinhaDaPreparacao() const {
    return !TbConsumos->IsEmpty() && !ItemProprio(*TbConsumos, TbConsumos->RecNo());
}

bool TfmTngReceita::PesquisaMaterial() {
    const bool produto = !TbConsumos->IsEmpty() && ItemDeProduto(*TbConsumos, TbConsumos->RecNo());
    TPesquisa pesquisa;
    pesquisa.Titulo = windowTitle();
    pesquisa.Tabela = produto ? QStringLiteral("PRODUTO") : QStringLiteral("MATERIAL");
    pesquisa.CampoChave = QStringLiteral("CODIGO");
    pesquisa.Campos =
        QStringList{QStringLiteral("CODIGO"), QStringLiteral("DESCRICAO"), QStringLiteral("UNIDADE")};
    pesquisa.Filtro = QStringLiteral("ATIVO = 'S'");
    if (!pesquisa.AbrePesquisa(this))
        return false;
    TbConsumos->Edit();
    TbConsumos->FieldByName(QStringLiteral("Material")) = pesquisa.Chave();
    return PreencheMaterial();
}

// The item takes description, unit and price from its product, and from a chemical also its concentration,
// group, place in stock and alternative; an unknown or inactive product is cleared and the cursor stays.
bool TfmTngReceita::PreencheMaterial() {
    if (!TbConsumos->Post())
        return false;
    const QString codigo = texto(*TbConsumos, QStringLiteral("Material"));
    if (codigo.isEmpty())
        return true;
    const bool produto = ItemDeProduto(*TbConsumos, TbConsumos->RecNo());
    TZoQuery q;
    q.SQL << (produto ? SqlProduto() : SqlMaterial());
    q.BindValue(QStringLiteral("CODIGO"), codigo);
    q.Open();
    QStringList limpar;
    if (q.IsEmpty()) {
        Informa(this, produto ? QStringLiteral("Produto não cadastrado.")
                              : QStringLiteral("Material não cadastrado."));
        limpar = {QStringLiteral("Material"), QStringLiteral("Local")};
    } else if (!produto && texto(q, QStringLiteral("ATIVO")) == QLatin1String("N")) {
        Informa(this, QStringLiteral("Material inativo."));
        limpar = {QStringLiteral("Material"), QStringLiteral("Descricao"), QStringLiteral("Unidade"),
                  QStringLiteral("Preco"), QStringLiteral("Local")};
    }
    TbConsumos->Edit();
    if (!limpar.isEmpty()) {
        for (const QString& campo : limpar)
            TbConsumos->FieldByName(campo).Clear();
        TbConsumos->Post();
        return false;
    }
    for (const QString& campo :
         {QStringLiteral("Descricao"), QStringLiteral("Unidade"), QStringLiteral("Preco")})
        TbConsumos->FieldByName(campo) = q.FieldByName(campo).Value();
    const QList<QPair<QString, QString>> doMaterial = {
        {QStringLiteral("Concentracao"), QStringLiteral("CONCENTRACAO")},
        {QStringLiteral("Grupo"), QStringLiteral("GRUPO")},
        {QStringLiteral("Desc_Grupo"), QStringLiteral("DESC_GRUPO")},
        {QStringLiteral("ContraTipo"), QStringLiteral("CONTRATIPO")},
        {QStringLiteral("ConcentContraTipo"), QStringLiteral("CONCENT_CT")},
        {QStringLiteral("CustoContraTipo"), QStringLiteral("CUSTO_CT")},
        {QStringLiteral("Local"), QStringLiteral("LOCAL")}};
    for (const auto& [campo, coluna] : doMaterial)
        TbConsumos->FieldByName(campo) = produto ? QVariant() : q.FieldByName(coluna).Value();
    TbConsumos->Post();
    return true;
}

bool TfmTngReceita::ConfereTipo() {
    if (!TbConsumos->Post())
        return false;
    const QString tipo = texto(*TbConsumos, QStringLiteral("Tipo"));
    if (tipo.isEmpty() || Existe(QStringLiteral("TIPO_TING"), QStringLiteral("CODIGO"), QVariantList{tipo}))
        return true;
    Informa(this, QStringLiteral("Tipo de tingimento inválido."));
    TbConsumos->Edit();
    TbConsumos->FieldByName(QStringLiteral("Tipo")).Clear();
    TbConsumos->Post();
    return false;
}

// A rule confirmed in the grid gives the item its quantity at once.
bool TfmTngReceita::ConfereRegra() {
    if (!TbConsumos->Post())
        return false;
    const QString regra = texto(*TbConsumos, QStringLiteral("Regra"));
    if (regra.isEmpty())
        return true;
    if (!Existe(QStringLiteral("TNG_REGRA"), QStringLiteral("CODIGO"), QVariantList{regra})) {
        Informa(this, QStringLiteral("Regra de cálculo inválida."));
        TbConsumos->Edit();
        TbConsumos->FieldByName(QStringLiteral("Regra")).Clear();
        TbConsumos->Post();
        return false;
    }
    RegrasCalculo regras;
    if (const auto qtde = regras.CalculaQtdeRegra(m_contexto.receita, m_contexto.variante, CodigoRegra(regra),
                                                  0, 0, 0, QString(), QString(), QString())) {
        TbConsumos->Edit();
        TbConsumos->FieldByName(QStringLiteral("Qtde")) = *qtde;
        TbConsumos->Post();
    }
    return true;
}

bool TfmTngReceita::DBGrid1KeyDown(QKeyEvent* tecla) {
    if (TeclaLinhaGrade(*ui.DBGrid1, tecla))
        return true;
    const bool f4 = tecla->key() == Qt::Key_F4 && tecla->modifiers() == Qt::NoModifier;
    if (!f4 && tecla->key() != Qt::Key_Tab)
        return false;
    // A preparation's row is not edited: F4 does nothing there, Tab only moves on.
    if (LinhaDaPreparacao())
        return f4;
    const QString campo = ui.DBGrid1->SelectedField();
    if (campo == QLatin1String("Material")) {
        if (f4) {
            PesquisaMaterial();
            return true;
        }
        return !PreencheMaterial();
    }
    if (campo == QLatin1String("Tipo")) {
        if (f4) {
            if (TPesquisa::PesquisaCampo(this, windowTitle(), QStringLiteral("TIPO_TING"), TbConsumos,
                                         QStringLiteral("Tipo")))
                TbConsumos->Post();
            return true;
        }
        return !ConfereTipo();
    }
    if (campo == QLatin1String("Regra")) {
        if (f4) {
            if (PesquisaNaCelula(this, *TbConsumos,
                                 {.titulo = windowTitle(),
                                  .tabela = QStringLiteral("TNG_REGRA"),
                                  .distintos = true,
                                  .campo = QStringLiteral("Regra"),
                                  .campoDescricao = QStringLiteral("DescRegra")}))
                ConfereRegra();
            return true;
        }
        return !ConfereRegra();
    }
    return false;
}

// ---- Save, delete, duplicate

bool TfmTngReceita::ValidaGravacao() {
    if (Codigo().isEmpty()) {
        Informa(this, QStringLiteral("Código inválido."));
        ui.EdtCodigo->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (!EdtDescricaoExit())
        return false;
    const QString cor = ui.EdtCodCor->text().trimmed();
    const QString corGravada = Busca_Valor(kReceita, QStringLiteral("CODIGO;VARIANTE"), QStringLiteral("COR"),
                                           {Codigo(), Variante()})
                                   .trimmed();
    if (!corGravada.isEmpty() && corGravada != cor) {
        Informa(this, kOutraCor);
        ui.EdtCodigo->setFocus(Qt::OtherFocusReason);
        return false;
    }
    const struct {
        QLineEdit* caixa;
        const char* tabela;
        const char* mensagem;
    } cadastros[] = {{ui.EdtCodVar, "VARIANTE", "Variante inválida."},
                     {ui.EdtCodCor, "CADCORTIN", "Cor inválida."},
                     {ui.EdtCodBan, "BANHO", "Volume de banho inválido."},
                     {ui.EdtCodGra, "GRAFICO", "Gráfico inválido."}};
    for (const auto& cadastro : cadastros) {
        if (Existe(QLatin1String(cadastro.tabela), QStringLiteral("CODIGO"),
                   QVariantList{cadastro.caixa->text().trimmed()}))
            continue;
        Informa(this, QString::fromUtf8(cadastro.mensagem));
        cadastro.caixa->setFocus(Qt::OtherFocusReason);
        return false;
    }
    // The chemicals of the grid, own and of the preparation, read in one statement.
    QStringList materiais;
    for (int linha = 0; linha < TbConsumos->RecordCount(); ++linha)
        if (!ItemEmBranco(*TbConsumos, linha) && !ItemDeProduto(*TbConsumos, linha))
            materiais << Aspas(TbConsumos->ValueAt(linha, TbConsumos->FieldIndex(QStringLiteral("Material")))
                                   .toString()
                                   .trimmed());
    if (materiais.isEmpty())
        return true;
    TZoQuery inativos;
    inativos.SQL << QStringLiteral("SELECT CODIGO, DESCRICAO FROM %1 WHERE ATIVO = 'N' AND CODIGO IN (%2)")
                        .arg(DBLocal(QStringLiteral("MATERIAL")), materiais.join(QStringLiteral(", ")));
    inativos.Open();
    if (inativos.IsEmpty())
        return true;
    QHash<QString, QString> descricoes;
    for (inativos.First(); !inativos.Eof(); inativos.Next())
        descricoes.insert(texto(inativos, QStringLiteral("CODIGO")),
                          texto(inativos, QStringLiteral("DESCRICAO")));
    for (int linha = 0; linha < TbConsumos->RecordCount(); ++linha) {
        const QString codigo = TbConsumos->ValueAt(linha, TbConsumos->FieldIndex(QStringLiteral("Material")))
                                   .toString()
                                   .trimmed();
        if (ItemDeProduto(*TbConsumos, linha) || !descricoes.contains(codigo))
            continue;
        Informa(this, QStringLiteral("Receita com Material Inativo: \n") + codigo + QLatin1Char(' ') +
                          descricoes.value(codigo));
        return false;
    }
    return true;
}

// The variant's fibre shares and the bath's litres as stored now: the cost saved is that of this moment.
ContextoItens TfmTngReceita::ContextoGravacao() const {
    ContextoItens contexto = m_contexto;
    contexto.receita = Codigo();
    contexto.variante = Variante();
    TZoQuery q;
    q.SQL << DBLocal_SQL(QStringLiteral(
        "SELECT (SELECT INDICE FROM {VARIANTE} WHERE CODIGO = :VARIANTE) AS INDICE, "
        "(SELECT PROPORCAO FROM {BANHO} WHERE CODIGO = :BANHO) AS PROPORCAO FROM RDB$DATABASE"));
    q.BindValue(QStringLiteral("VARIANTE"), Variante());
    q.BindValue(QStringLiteral("BANHO"), ui.EdtCodBan->text().trimmed());
    q.Open();
    contexto.indice = q.FieldByName(QStringLiteral("INDICE")).AsString();
    contexto.proporcao = q.FieldByName(QStringLiteral("PROPORCAO")).AsFloat();
    return contexto;
}

// The stored items and header of the recipe of the boxes.
void TfmTngReceita::ApagaReceita() {
    for (const auto& [tabela, chave] : {std::pair{"MAT_TIN", "RECEITA"}, {"RECEITA", "CODIGO"}}) {
        TZoQuery q;
        q.SQL << QStringLiteral("DELETE FROM %1 WHERE %2 = :CODIGO AND VARIANTE = :VARIANTE")
                     .arg(DBLocal(QLatin1String(tabela)), QLatin1String(chave));
        q.BindValue(QStringLiteral("CODIGO"), Codigo());
        q.BindValue(QStringLiteral("VARIANTE"), Variante());
        q.ExecSQL();
    }
}

// The recipe's own items, with one prepared statement; a blank row is left out, a blank order takes the
// item's place among them.
void TfmTngReceita::InsereItens() {
    TZoQuery insercao;
    insercao.SQL << QStringLiteral(
                        "INSERT INTO %1 (RECEITA, VARIANTE, ORDEN, CODIGO, UNIDADE, FINALIDADE, QTDE, "
                        "FIBRA, PASSO, REGRA, TIPO, TP_ITEM)")
                        .arg(DBLocal(QStringLiteral("MAT_TIN")))
                 << QStringLiteral(
                        "VALUES (:RECEITA, :VARIANTE, :ORDEN, :CODIGO, :UNIDADE, :FINALIDADE, :QTDE, "
                        ":FIBRA, :PASSO, :REGRA, :TIPO, :TP_ITEM)");
    auto valor = [this](int linha, const QString& campo) {
        return TbConsumos->ValueAt(linha, TbConsumos->FieldIndex(campo));
    };
    const QList<QPair<QString, QString>> textos = {
        {QStringLiteral("CODIGO"), QStringLiteral("Material")},
        {QStringLiteral("UNIDADE"), QStringLiteral("Unidade")},
        {QStringLiteral("FINALIDADE"), QStringLiteral("Finalidade")},
        {QStringLiteral("FIBRA"), QStringLiteral("Fibra")},
        {QStringLiteral("PASSO"), QStringLiteral("Passo")},
        {QStringLiteral("REGRA"), QStringLiteral("Regra")},
        {QStringLiteral("TIPO"), QStringLiteral("Tipo")},
        {QStringLiteral("TP_ITEM"), QStringLiteral("Tp_Item")}};
    int posicao = 0;
    for (int linha = 0; linha < TbConsumos->RecordCount(); ++linha) {
        if (!ItemProprio(*TbConsumos, linha) || ItemEmBranco(*TbConsumos, linha))
            continue;
        ++posicao;
        insercao.BindValue(QStringLiteral("RECEITA"), Codigo());
        insercao.BindValue(QStringLiteral("VARIANTE"), Variante());
        const QVariant ordem = valor(linha, QStringLiteral("Ordem"));
        insercao.BindValue(QStringLiteral("ORDEN"), ordem.isNull() ? QVariant(posicao) : ordem);
        for (const auto& [coluna, campo] : textos)
            insercao.BindValue(coluna, valor(linha, campo).toString().trimmed());
        insercao.BindValue(QStringLiteral("QTDE"), valor(linha, QStringLiteral("Qtde")));
        insercao.ExecSQL();
    }
}

// Header, items, audit row and the price's release are one unit of work; a refusal found inside it is
// returned, to be shown once the unit is rolled back.
QString TfmTngReceita::GravaDados() {
    const QString cor = ui.EdtCodCor->text().trimmed();
    GravacaoAtomica gravacao;
    TZoQuery gravada;
    gravada.SQL << QStringLiteral("SELECT COR FROM %1 WHERE CODIGO = :CODIGO AND VARIANTE = :VARIANTE")
                       .arg(DBLocal(kReceita));
    gravada.BindValue(QStringLiteral("CODIGO"), Codigo());
    gravada.BindValue(QStringLiteral("VARIANTE"), Variante());
    gravada.Open();
    const bool existe = !gravada.IsEmpty();
    // A pair stored by someone else since this screen found it new (a duplicate's code, a typed one) is
    // never replaced.
    if (existe && Par() != m_parCarregado)
        return kJaCadastrada;
    const QString corGravada = existe ? texto(gravada, QStringLiteral("COR")) : QString();
    if (!corGravada.isEmpty() && corGravada != cor)
        return kOutraCor;

    const QString identificacao = Codigo() + QStringLiteral(" VARIANTE ") + Variante();
    if (existe)
        GeraLog(kTituloLog,
                QStringLiteral("ALTERACAO DE RECEITA ") + identificacao + QStringLiteral(" LIBERADA: ") +
                    ui.CbLiberada->currentText(),
                opOutros, Chave(), this);
    else
        GeraLog(kTituloLog, QStringLiteral("INCLUSAO DE RECEITA ") + identificacao, opInclusao, Chave(),
                this);
    ApagaReceita();
    InsereItens();
    // Against the cost of the recipe loaded, which a copy keeps: a copy under a new code costs the same.
    const double custo = CustoDosItens(*TbConsumos, ContextoGravacao());
    if (custo != m_custoCarregado)
        BloqueiaPrecoCor(cor, Variante());
    TZoQuery cabecalho;
    cabecalho.SQL << QStringLiteral(
                         "INSERT INTO %1 (CODIGO, DESCRICAO, VARIANTE, COR, GRAFICO, COD_BANHO, CUSTO, "
                         "OBS, PREPARACAO, LIBERADA)")
                         .arg(DBLocal(kReceita))
                  << QStringLiteral(
                         "VALUES (:CODIGO, :DESCRICAO, :VARIANTE, :COR, :GRAFICO, :COD_BANHO, :CUSTO, "
                         ":OBS, :PREPARACAO, :LIBERADA)");
    cabecalho.BindValue(QStringLiteral("CODIGO"), Codigo());
    cabecalho.BindValue(QStringLiteral("DESCRICAO"), ui.EdtDescricao->text().trimmed());
    cabecalho.BindValue(QStringLiteral("VARIANTE"), Variante());
    cabecalho.BindValue(QStringLiteral("COR"), cor);
    cabecalho.BindValue(QStringLiteral("GRAFICO"), ui.EdtCodGra->text().trimmed());
    cabecalho.BindValue(QStringLiteral("COD_BANHO"), ui.EdtCodBan->text().trimmed());
    cabecalho.BindValue(QStringLiteral("CUSTO"), custo);
    cabecalho.BindValue(QStringLiteral("OBS"), ui.EdtObs->toPlainText().left(4000));
    cabecalho.BindValue(QStringLiteral("PREPARACAO"), ui.EdtCodPrep->text().trimmed());
    cabecalho.BindValue(QStringLiteral("LIBERADA"), QString::number(ui.CbLiberada->currentIndex() + 1));
    cabecalho.ExecSQL();
    gravacao.Confirma();
    return QString();
}

void TfmTngReceita::BitBtn5Click() {
    if (!TbConsumos->Post())
        return;
    if (!Acessa(QString::fromLatin1(metaObject()->className()), QStringLiteral("A"), QStringLiteral("0")))
        return;
    if (!ValidaGravacao())
        return;
    const QString recusa = GravaDados();
    if (!recusa.isEmpty()) {
        Informa(this, recusa);
        ui.EdtCodigo->setFocus(Qt::OtherFocusReason);
        return;
    }
    LimpaTela();
}

void TfmTngReceita::BitBtn7Click() {
    if (!Acessa(QString::fromLatin1(metaObject()->className()), QStringLiteral("E"), QStringLiteral("0")))
        return;
    if (!ParExiste()) {
        Informa(this, kNaoEncontrada);
        return;
    }
    if (!Pergunta(this, QStringLiteral("Eliminação de Registro"),
                  QStringLiteral("Deseja eliminar este Registro?"), false))
        return;
    {
        GravacaoAtomica exclusao;
        ApagaReceita();
        GeraLog(kTituloLog,
                QStringLiteral("EXCLUSAO DE RECEITA ") + Codigo() + QStringLiteral(" VARIANTE ") + Variante(),
                opOutros, Chave(), this);
        exclusao.Confirma();
    }
    LimpaTela();
}

// The header and the items stay: the next save stores them under the new code.
void TfmTngReceita::BtDuplicarClick() {
    if (!Acessa(QString::fromLatin1(metaObject()->className()), QStringLiteral("A"), QStringLiteral("0")))
        return;
    {
        QScopedValueRollback<bool> preenchendo(m_preenchendo, true);
        ui.EdtCodigo->setText(Proximo(kReceita, QStringLiteral("CODIGO"), 4));
    }
    m_parVerificado = Par();
    ui.EdtCodigo->setFocus(Qt::OtherFocusReason);
}

void TfmTngReceita::BtConsultarClick() {
    PesquisaReceita();
}

// ---- Printing

void TfmTngReceita::BtImprimirClick() {
    if (!TbConsumos->Post())
        return;
    const bool precos = ui.CkImprimePreco->isChecked();
    TRelatorio relatorio(QStringLiteral("WTngReceita"), QStringLiteral("Receita"), TbConsumos);
    // The sheet is printed as the screen holds it; one that is not the stored recipe says so on paper.
    if (Par() != m_parCarregado || TemAlteracoes())
        relatorio.AdicionaCabecalho(QStringLiteral("Situação"),
                                    QStringLiteral("NÃO GRAVADA - valores da tela, não os do cadastro"));
    auto comDescricao = [](QLineEdit* codigo, QLineEdit* descricao) {
        const QString texto = codigo->text().trimmed();
        return texto.isEmpty() || descricao->text().isEmpty()
                   ? texto
                   : texto + QStringLiteral(" - ") + descricao->text();
    };
    relatorio.AdicionaCabecalho(QStringLiteral("Receita"), comDescricao(ui.EdtCodigo, ui.EdtDescricao));
    relatorio.AdicionaCabecalho(QStringLiteral("Variante"), comDescricao(ui.EdtCodVar, ui.EdtDesVar));
    relatorio.AdicionaCabecalho(QStringLiteral("Cor"), comDescricao(ui.EdtCodCor, ui.EdtDesCor));
    if (!ui.EdtComplemento->text().isEmpty())
        relatorio.AdicionaCabecalho(QStringLiteral("Complemento da Cor"), ui.EdtComplemento->text());
    relatorio.AdicionaCabecalho(QStringLiteral("Gráfico"), comDescricao(ui.EdtCodGra, ui.EdtDesGra) +
                                                               QStringLiteral("   Tempo: ") +
                                                               ui.EdtTempo->text());
    relatorio.AdicionaCabecalho(QStringLiteral("Banho"), comDescricao(ui.EdtCodBan, ui.EdtDesBan) +
                                                             QStringLiteral("   Litros: ") +
                                                             ui.EdtLitros->text());
    if (!ui.EdtCodPrep->text().trimmed().isEmpty())
        relatorio.AdicionaCabecalho(QStringLiteral("Preparação"), comDescricao(ui.EdtCodPrep, ui.EdtDesPrep));
    relatorio.AdicionaCabecalho(QStringLiteral("Liberada"), ui.CbLiberada->currentText());
    if (!ui.EdtObs->toPlainText().trimmed().isEmpty())
        relatorio.AdicionaCabecalho(QStringLiteral("Observação"), ui.EdtObs->toPlainText().trimmed());
    if (precos)
        relatorio.AdicionaCabecalho(QStringLiteral("Custo da Receita"), ui.LbCustoReceita->text());

    QList<ColunaRelatorio> colunas;
    for (const char* campo : {"Ordem", "Material", "Descricao", "Unidade", "Qtde", "Passo", "Tipo", "Fibra",
                              "Regra", "Finalidade"}) {
        ColunaRelatorio coluna = relatorio.Coluna(QLatin1String(campo));
        coluna.casas = -1; // quantities as typed
        coluna.totaliza = false;
        colunas << coluna;
    }
    if (precos) {
        ColunaRelatorio preco = relatorio.Coluna(QStringLiteral("Preco"));
        preco.casas = 4;
        preco.totaliza = false;
        ColunaRelatorio custo = relatorio.Coluna(QStringLiteral("Custo"));
        custo.casas = 5;
        colunas << preco << custo;
    }
    relatorio.DefineColunas(colunas);
    Chama_RelatorioWin(relatorio, this);
}

// The whole list is printed: what was not read yet is read first.
void TfmTngReceita::BtImprimirListaClick() {
    if (!m_consulta->Linhas()->Active())
        btnConsultaClick();
    m_consulta->LeTudo();
    TRelatorio relatorio(QStringLiteral("WTngConsRec"), QStringLiteral("Consulta de Receitas"),
                         m_consulta->Linhas());
    Chama_RelatorioWin(relatorio, this);
}

// ---- Search

// The filters as they are now, in the list's statement; every window of it is read with them.
void TfmTngReceita::btnConsultaClick() {
    QStringList condicoes{
        QStringLiteral("P.COR >= %1 AND P.COR <= %2")
            .arg(Aspas(ui.EdtCorDe->text().trimmed()), Aspas(ui.EdtCorAte->text().trimmed()))};
    const struct {
        QLineEdit* caixa;
        const char* coluna;
    } filtros[] = {{ui.EdtFiltroCodigo, "CODIGO"},   {ui.EdtFiltroVariante, "VARIANTE"},
                   {ui.EdtFiltroCor, "COR"},         {ui.EdtFiltroGrafico, "GRAFICO"},
                   {ui.EdtFiltroBanho, "COD_BANHO"}, {ui.EdtFiltroPreparacao, "PREPARACAO"}};
    for (const auto& filtro : filtros)
        if (const QString valor = filtro.caixa->text().trimmed(); !valor.isEmpty())
            condicoes << QStringLiteral("P.%1 = %2").arg(QLatin1String(filtro.coluna), Aspas(valor));
    if (ui.CbFiltroLiberada->currentIndex() < 2)
        condicoes << QStringLiteral("P.SITUACAO = '%1'").arg(ui.CbFiltroLiberada->currentIndex() + 1);
    m_consulta->pesquisa.Filtro = condicoes.join(QStringLiteral(" AND "));
    m_consulta->Consulta();
}

void TfmTngReceita::AbreDaConsulta() {
    TDataSet* linha = m_consulta->Linhas();
    if (linha->IsEmpty())
        return;
    AbreReceita(texto(*linha, QStringLiteral("CODIGO")), texto(*linha, QStringLiteral("VARIANTE")));
}
