#include "TngProg.h"
#include "CaixaCliente.h"
#include "ClassRegistry.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "DataContext.h"
#include "DataSetModel.h"
#include "Etiqueta.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "GradeEdicao.h"
#include "GravacaoAtomica.h"
#include "HostError.h"
#include "HostUi.h"
#include "LocalSettings.h"
#include "Mensagens.h"
#include "ModuleUnits.h"
#include "OrdemTinturaria.h"
#include "PaginaConsulta.h"
#include "PortaBalanca.h"
#include "PrioridadeFal.h"
#include "Protecao.h"
#include "QuadroInformacoes.h"
#include "RegrasGeracao.h"
#include "RegrasProgramacao.h"
#include "Relatorio.h"
#include "SisImporta.h"
#include "TClientDataSet.h"
#include "TPesquisa.h"
#include "TZoDatabase.h"
#include "TZoQuery.h"
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <cmath>

TFmTngProg* FmTngProg = nullptr;

namespace {
const QString kTituloLog = QStringLiteral("PROGRAMACAO DO TINGIMENTO");
const QString kFormatoData = QStringLiteral("dd/MM/yyyy");
const QString kClienteNaoEncontrado = QStringLiteral("Cliente não encontrado.");
enum Pagina { Acesso = 0, Cadastro = 1 };

QString texto(TDataSet& dados, const QString& campo) {
    return dados.FieldByName(campo).AsString().trimmed();
}

// Dates as the screen shows them, or with the day and month of one digit.
QDate dataDa(const QLineEdit* caixa) {
    const QString digitada = caixa->text().trimmed();
    const QDate data = QDate::fromString(digitada, kFormatoData);
    return data.isValid() ? data : QDate::fromString(digitada, QStringLiteral("d/M/yyyy"));
}

QString partidaComZeros(qint64 numero) {
    return numero > 0 ? QStringLiteral("%1").arg(numero, 6, 10, QLatin1Char('0')) : QString();
}

// One look-up per column of the item grid.
struct PesquisaItem {
    const char* campo;
    const char* titulo;
    const char* tabela;
    const char* chave;
    const char* descricao;
    const char* filtro;
};
const PesquisaItem kPesquisas[] = {
    {"Codigo", "Produtos", "PRODUTO", "CODIGO", "DESCRICAO", "ATIVO = 'S'"},
    {"Codigo_Cli", "Produtos do Cliente", "MATERIAL", "CODIGO", "DESCRICAO", ""},
    {"Cor", "Cores", "CADCORTIN", "CODIGO", "DESCRICAO", ""},
    {"Variante", "Variantes", "VARIANTE", "CODIGO", "DESCRICAO", ""},
    {"Estampa", "Estampas", "CADCORTIN", "CODIGO", "DESCRICAO", ""},
    {"Var_Est", "Variantes", "VARIANTE", "CODIGO", "DESCRICAO", ""},
    {"Fluxo", "Fluxos", "ROTEIRO", "CODIGO", "DESCRICAO", ""},
    {"Maquina", "Máquinas", "MAQ_TIN", "CODIGO", "DESCRICAO", ""},
    {"Regiao", "Regiões", "REGIAO", "REGIAO", "DESCRICAO", ""},
};
// A label per item: what the piece is, where it came from, and the customer's notes on the fabric.
void LayoutEtiqueta(TRelatorio& relatorio) {
    ColunaRelatorio peso = relatorio.Coluna(QStringLiteral("PESO"));
    peso.casas = 1;
    relatorio.DefineColunas(
        {relatorio.Coluna(QStringLiteral("CODIGO")), relatorio.Coluna(QStringLiteral("DESCRICAO")),
         relatorio.Coluna(QStringLiteral("COR")), relatorio.Coluna(QStringLiteral("LOTE")),
         relatorio.Coluna(QStringLiteral("NOTA")), relatorio.Coluna(QStringLiteral("ROLOS")), peso,
         relatorio.Coluna(QStringLiteral("INFORMACOES"))});
    relatorio.AgrupaPor(QStringLiteral("PARTIDA"), QStringLiteral("Partida"));
    relatorio.DefineZebrado(false);
}

// The label printer's text: short columns on one line.
void LayoutEtiquetaTermica(TRelatorio& relatorio) {
    ColunaRelatorio peso = relatorio.Coluna(QStringLiteral("PESO"));
    peso.casas = 1;
    relatorio.DefineColunas(
        {relatorio.Coluna(QStringLiteral("PARTIDA")), relatorio.Coluna(QStringLiteral("CODIGO")),
         relatorio.Coluna(QStringLiteral("COR")), relatorio.Coluna(QStringLiteral("LOTE")),
         relatorio.Coluna(QStringLiteral("ROLOS")), peso});
}
} // namespace

KELM_SCREEN_UNIT(TngProg, TFmTngProg,
                 {{QStringLiteral("WTngEtqPart"), LayoutEtiqueta},
                  {QStringLiteral("TTngEtqPart"), LayoutEtiquetaTermica}});

TFmTngProg::TFmTngProg(QWidget* parent) : TForm(parent), m_itens(this) {
    setObjectName(QStringLiteral("FmTngProg"));
    setWindowTitle(QStringLiteral("Cadastro da Programação"));
    KeyPreview = true;
    ui.setupUi(this);
    ui.EdtLote->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Za-z]{0,6}")), ui.EdtLote));
    ui.EdtUltPart->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,6}")), ui.EdtUltPart));
    LigaBotoes();
    DeclaraCaixas();
}

// The programme's customer, whose blank box opens the list, and the search page's filters.
void TFmTngProg::DeclaraCaixas() {
    DeclaracaoCaixa cliente = CaixaCliente(ui.EdtCodCli, true, kClienteNaoEncontrado);
    cliente.botao = ui.PqCliente;
    cliente.abreVazia = true;
    DeclaraCaixa(cliente);
    DeclaracaoCaixa filtroCliente = CaixaCliente(ui.EdtCCodCli, true);
    filtroCliente.descricao = ui.EdtCNomeCli;
    filtroCliente.botao = ui.pqClienteAc;
    DeclaraCaixa(filtroCliente);
    const struct {
        QLineEdit* caixa;
        QToolButton* botao;
        const char* titulo;
        const char* tabela;
        const char* filtro;
    } listas[] = {{ui.edtProduto, ui.pqProdutoAc, "Produtos", "PRODUTO", "ATIVO = 'S'"},
                  {ui.edtCodCor, ui.pqCorAc, "Cores", "CADCORTIN", ""},
                  {ui.EdtVariante, ui.pqVarianteAc, "Variantes", "VARIANTE", ""}};
    for (const auto& l : listas)
        DeclaraCaixa({.caixa = l.caixa,
                      .botao = l.botao,
                      .titulo = QString::fromUtf8(l.titulo),
                      .tabela = QLatin1String(l.tabela),
                      .filtro = QLatin1String(l.filtro),
                      .lista = true});
    // "Novo" takes its own number and "Fechar" leaves: neither should number what was left empty.
    SaidaSemConferencia(ui.BitBtn7);
    SaidaSemConferencia(ui.BitBtn2);
}

void TFmTngProg::LigaBotoes() {
    const QList<QPair<QAbstractButton*, void (TFmTngProg::*)()>> botoes = {
        {ui.BitBtn1, &TFmTngProg::BitBtn1Click},           {ui.BitBtn7, &TFmTngProg::BitBtn7Click},
        {ui.BitBtn3, &TFmTngProg::BitBtn3Click},           {ui.BitBtn4, &TFmTngProg::BitBtn4Click},
        {ui.BitBtn8, &TFmTngProg::BitBtn8Click},           {ui.BitBtn10, &TFmTngProg::BitBtn10Click},
        {ui.BitBtn6, &TFmTngProg::BitBtn6Click},           {ui.BitBtn5, &TFmTngProg::BitBtn5Click},
        {ui.BitBtn9, &TFmTngProg::BitBtn9Click},           {ui.BitBtn11, &TFmTngProg::BitBtn11Click},
        {ui.SpeedButton1, &TFmTngProg::SpeedButton1Click}, {ui.CbTodos, &TFmTngProg::CbTodosClick}};
    for (const auto& [botao, acao] : botoes)
        connect(botao, &QAbstractButton::clicked, this, Protegido([this, acao] { (this->*acao)(); }));
    connect(ui.BitBtn2, &QPushButton::clicked, this, [this] { close(); });
    for (const auto& [limpa, caixa] :
         {std::pair{ui.sbClearProduto, ui.edtProduto}, std::pair{ui.sbClearCor, ui.edtCodCor},
          std::pair{ui.sbClearVariante, ui.EdtVariante}}) {
        QLineEdit* alvo = caixa;
        connect(limpa, &QToolButton::clicked, alvo, &QLineEdit::clear);
    }
    for (QToolButton* limpa : {ui.sbClearProduto, ui.sbClearCor, ui.sbClearVariante})
        limpa->setFocusPolicy(Qt::NoFocus);
    connect(ui.EdtCodCli, &QLineEdit::textChanged, this, Protegido([this] { EdtCodCliChange(); }));
    connect(qApp, &QApplication::focusChanged, this, Protegido([this](QWidget*, QWidget* agora) {
                if (agora == ui.EdtEntrega)
                    EdtEntregaEnter();
            }));
}

TFmTngProg::~TFmTngProg() = default;

TZoDatabase& TFmTngProg::DBSaldo() {
    if (!m_saldo || !m_saldo->Connected()) {
        m_saldo = std::make_unique<TZoDatabase>(
            QStringLiteral("kelm-saldo-%1").arg(reinterpret_cast<quintptr>(this), 0, 16));
        m_saldo->Open(ConexaoHost()->Config());
    }
    return *m_saldo;
}

void TFmTngProg::FormCreate() {
    for (QLineEdit* caixa : {ui.EdtCodCli, ui.EdtCCodCli, ui.edtProduto, ui.edtCodCor, ui.EdtVariante})
        DicaTeclas({caixa},
                   caixa->toolTip() + QStringLiteral(" · F5: peso da balança · F10: porta da balança"));
    DicaTeclas({ui.DBGrid1},
               QStringLiteral("F3: saldo das notas de entrada (coluna Produto) · F4: pesquisa da "
                              "coluna · F5: peso da balança · F10: porta da balança"));
    PublicaInstancia(FmTngProg);
    DBSaldo();
    {
        QHash<int, QString> parametros;
        TZoQuery q;
        q.SQL << DBLocal_SQL(QStringLiteral(
            "SELECT NUMERO, VALOR FROM {PARAMETROS} WHERE MODULO = 'TIN' AND NUMERO IN (150, 240, 250)"));
        q.Open();
        for (q.First(); !q.Eof(); q.Next())
            parametros.insert(q.Fields(0).AsInteger(), q.Fields(1).AsString().trimmed());
        m_parametros.saldoNota = parametros.value(150).toUpper();
        m_parametros.idadePreco = parametros.value(240).toInt();
        m_parametros.credito = parametros.value(250).toUpper() == QLatin1String("S");
    }
    PreparaItens();
    PreparaConsulta();
    PreparaMenu();
    ui.RgImpNormal->setChecked(true);
    ui.RgBuscaSemFal->setChecked(true);
    ui.DtDigIni->setText(QStringLiteral("01/01/1900"));
    ui.DtDigFim->setText(QStringLiteral("31/12/2050"));
    MostraUltimaFal();
    GeraTotais();
    VigiaAlteracoes({m_itens.Tabela()}, {ui.EdtEntrada, ui.EdtEntrega, ui.EdtCodCli}, ui.BitBtn1);
    ui.PageControl1->setCurrentIndex(Cadastro);
    ui.EdtLote->setFocus();
}

void TFmTngProg::FormClose() {
    m_itens.Tabela()->Cancel();
    m_saldo.reset();
}

void TFmTngProg::PreparaItens() {
    TClientDataSet* itens = m_itens.Tabela();
    ui.DBGrid1->SetDataSet(itens);
    DataSetModel* modelo = DataSetModel::Of(itens);
    modelo->SetCheckField(QStringLiteral("Gerar"));
    modelo->SetRowColor([this](int linha) {
        return m_itens.Texto(linha, QStringLiteral("Imp")) == QLatin1String("S") ? QColor(Qt::darkGreen)
                                                                                 : QColor();
    });
    const int corI = itens->FieldIndex(QStringLiteral("Cor_I"));
    modelo->SetCellBackground([this, corI](int linha, int campo) {
        if (campo != corI)
            return QColor();
        const QVariant cor = m_itens.Valor(linha, QStringLiteral("Cor_I"));
        return cor.isNull() ? QColor() : QColor::fromRgb(QRgb(cor.toUInt() & 0xffffff));
    });
    ui.DBGrid1->DeclaraColunas({{"Gerar", "Gerar"},
                                {"Partida", "Partida"},
                                {"Codigo", "Código"},
                                ColunaGrade("Descricao", "Descrição").Largura(28).SomenteLeitura(),
                                {"Cor", "Cor"},
                                ColunaGrade("DescCor", "Descrição da cor").Largura(20).SomenteLeitura(),
                                {"Variante", "Variante"},
                                {"Maquina", "Máquina"},
                                {"Lote", "Lote"},
                                {"Fluxo", "Fluxo"},
                                ColunaGrade("DescFluxo", "Descrição do fluxo").Largura(20).SomenteLeitura(),
                                {"Rolo", "Peças"},
                                {"Peso", "Peso (kg)"},
                                {"Largura", "Largura (m)"},
                                {"Gramatura", "Gramatura"},
                                {"Estampa", "Estampa"},
                                {"Var_Est", "Variante da estampa"},
                                ColunaGrade("Fal", "FAL").SomenteLeitura(),
                                ColunaGrade("Tingir", "Tingir").SomenteLeitura(),
                                {"Fibra1", "Fibra 1"},
                                {"Fibra2", "Fibra 2"},
                                {"Nota", "Nota"},
                                {"Cor_Cli", "Cor do cliente"},
                                {"Codigo_Cli", "Código do cliente"},
                                ColunaGrade("Observacao", "Observação").Largura(22),
                                {"Regiao", "Região"},
                                {"LoteNF", "Lote NF"},
                                ColunaGrade("Cor_I", "Cor").Largura(3).SomenteLeitura().Amostra(),
                                ColunaGrade("Local", "Local").SomenteLeitura()});
    ui.DBGrid1->OnKeyDown = [this](QKeyEvent* tecla) { return DBGrid1KeyDown(tecla); };
    itens->BeforePost = [this](TDataSet& item) { TbItensBeforePost(item); };
    itens->AfterInsert = [this](TDataSet& item) { TbItensAfterInsert(item); };
    itens->BeforeDelete = [this](TDataSet& item) { TbItensBeforeDelete(item); };
    FieldLink::Memo(ui.DBMemo1, itens, QStringLiteral("Obs"));
    AcompanhaLinhas(itens, this, [this] { GeraTotais(); });
}

void TFmTngProg::PreparaConsulta() {
    m_consulta = new PaginaConsulta(this, ui.DBGrid2, ui.LbQtdeConsulta);
    // A programme whose rows differ in customer or dates is listed once for each.
    m_consulta->pesquisa.CampoChave = QStringLiteral("NUMERO");
    m_consulta->pesquisa.OrdenarPor = QStringLiteral("P.NUMERO DESC, P.CODCLI, P.ENTRADA, P.ENTREGA");
    m_consulta->textoContagem = [](int linhas) { return QStringLiteral("%1 programação(ões)").arg(linhas); };
    m_consulta->abre = [this] { AbreDaConsulta(); };
    ui.DBGrid2->DeclaraColunas({{"NUMERO", "Número"},
                                {"CODCLI", "Cliente"},
                                ColunaGrade("NOME", "Nome").Estica(),
                                {"ENTRADA", "Entrada"},
                                {"ENTREGA", "Entrega"}});
    DataSetModel::Of(m_consulta->Linhas())->SetRowColor([this](int linha) {
        const TDataSet* linhas = m_consulta->Linhas();
        return ProgramacaoVencida(
                   linhas->ValueAt(linha, linhas->FieldIndex(QStringLiteral("ENTREGA"))).toDate(),
                   QDate::currentDate())
                   ? QColor(Qt::red)
                   : QColor();
    });
}

void TFmTngProg::PreparaMenu() {
    const QList<QPair<const char*, QPair<const char*, void (TFmTngProg::*)()>>> acoes = {
        {"DuplicarItem", {"Duplicar Item", &TFmTngProg::DuplicarItemClick}},
        {"ExcluirItem1", {"Excluir Item", &TFmTngProg::ExcluirItem1Click}},
        {"AdicionarServio", {"Adicionar Serviço", &TFmTngProg::AdicionarServioClick}},
        {"AdicionarServioSelecionados1",
         {"Adicionar Serviço (Selecionados)", &TFmTngProg::AdicionarServioSelecionados1Click}},
        {"Quadrodeinformaes1", {"Quadro de informações", &TFmTngProg::Quadrodeinformaes1Click}},
        {"GeraTinturaria", {"Gerar Ordem de Tinturaria", &TFmTngProg::GeraTinturariaClick}},
        {"PrioridadedaFAL1", {"Prioridade da FAL", &TFmTngProg::PrioridadedaFAL1Click}}};
    for (const auto& [nome, acao] : acoes) {
        QAction* item = AcaoMenuGrade(
            ui.DBGrid1, nome, QString::fromUtf8(acao.first),
            [this, metodo = acao.second] { (this->*metodo)(); }, [this] { AtualizaMenu(); });
        if (qstrcmp(nome, "AdicionarServio") == 0)
            m_acaoServico = item;
        if (qstrcmp(nome, "GeraTinturaria") == 0)
            m_acaoTinturaria = item;
    }
    const auto atualiza = Protegido([this] { AtualizaMenu(); });
    connect(m_itens.Tabela(), &TDataSet::scrolled, this, atualiza);
    connect(m_itens.Tabela(), &TDataSet::rowChanged, this, atualiza);
    connect(m_itens.Tabela(), &TDataSet::layoutReset, this, atualiza);
    AtualizaMenu();
    ui.BitBtn11->setEnabled(ClassRegistered(QStringLiteral("TFmRelRec")));
}

// Services go to a stored lot sheet; the customer's dyeing order is written from a stored programme.
void TFmTngProg::AtualizaMenu() {
    TClientDataSet* itens = m_itens.Tabela();
    m_acaoServico->setEnabled(!itens->IsEmpty() && !texto(*itens, QStringLiteral("Fal")).isEmpty());
    m_acaoTinturaria->setEnabled(m_programaArmazenado);
}

// ---- header

CabecalhoProgramacao TFmTngProg::Cabecalho() const {
    return {ui.EdtLote->text().trimmed(), ui.EdtCodCli->text().trimmed(), dataDa(ui.EdtEntrada),
            dataDa(ui.EdtEntrega)};
}

void TFmTngProg::Limpa() {
    QScopedValueRollback<bool> limpando(m_limpando, true);
    m_numeroCarregado.clear();
    m_programaArmazenado = false;
    m_entradaDaEntrega = QDate();
    m_itens.Limpa();
    for (QLineEdit* caixa : {ui.EdtLote, ui.EdtEntrada, ui.EdtEntrega, ui.EdtCodCli, ui.EdtUltPart})
        caixa->clear();
    ui.CbTodos->setChecked(false);
    m_clienteMostrado.clear();
    m_regiao.clear();
    ui.EdtNomeCli->clear();
    GeraTotais();
    AlteracoesGravadas();
    AtualizaMenu();
}

void TFmTngProg::MostraUltimaFal() {
    TZoQuery q;
    q.SQL << DBLocal_SQL(
        QStringLiteral("SELECT PROXIMO FROM {CODIGOS} WHERE TABELA = 'FAL' AND CAMPO = 'NUMERO'"));
    q.Open();
    ui.EdtFAL->setText(q.IsEmpty() ? QStringLiteral("0")
                                   : QString::number(q.Fields(0).AsString().trimmed().toLongLong() - 1));
}

void TFmTngProg::EdtLoteExit() {
    QString numero = ui.EdtLote->text().trimmed();
    const QDate hoje = QDate::currentDate();
    if (numero.isEmpty()) {
        // Rows typed before the programme had a number stay; another programme's rows go.
        if (!m_numeroCarregado.isEmpty())
            Limpa();
        QScopedValueRollback<bool> limpando(m_limpando, true);
        ui.EdtLote->setText(Proximo(QStringLiteral("TNG_PROG"), QStringLiteral("NUMERO"), 6));
        ui.EdtEntrada->setText(hoje.toString(kFormatoData));
        ui.EdtEntrega->setText(hoje.toString(kFormatoData));
    } else if (numero != m_numeroCarregado) {
        // Typed as the numbers show, or without the zeros in front.
        if (!Existe(QStringLiteral("TNG_PROG"), QStringLiteral("NUMERO"), QVariantList{numero}) &&
            numero.size() < 6 && ZeroE(numero, 6) != numero &&
            Existe(QStringLiteral("TNG_PROG"), QStringLiteral("NUMERO"), QVariantList{ZeroE(numero, 6)}))
            numero = ZeroE(numero, 6);
        Limpa();
        QScopedValueRollback<bool> limpando(m_limpando, true);
        ui.EdtLote->setText(numero);
        CabecalhoProgramacao cabecalho;
        Ocupado(true, this);
        const auto fim = qScopeGuard([this] { Ocupado(false, this); });
        m_programaArmazenado = m_itens.BuscaDados(numero, cabecalho);
        if (m_programaArmazenado) {
            ui.EdtEntrada->setText(cabecalho.entrada.toString(kFormatoData));
            ui.EdtEntrega->setText(cabecalho.entrega.toString(kFormatoData));
            m_entradaDaEntrega = cabecalho.entrada;
            ui.EdtCodCli->setText(cabecalho.cliente);
        }
        AlteracoesGravadas();
        AtualizaMenu();
    }
    m_numeroCarregado = ui.EdtLote->text().trimmed();
    EdtCodCliChange();
    GeraTotais();
    MostraUltimaFal();
    const QString cliente = ui.EdtCodCli->text().trimmed();
    if (cliente.isEmpty())
        return;
    MostraUltimaPartida();
    if (const QString recusa = RecusaDoCliente(cliente, kClienteNaoEncontrado); !recusa.isEmpty())
        Recusa(ui.EdtCodCli, recusa);
}

void TFmTngProg::EdtCodCliChange() {
    const QString cliente = ui.EdtCodCli->text().trimmed();
    if (cliente == m_clienteMostrado)
        return;
    m_clienteMostrado = cliente;
    TZoQuery q;
    q.SQL << DBLocal_SQL(QStringLiteral("SELECT NOME, TABELA FROM {ENTIDADE} WHERE CODCLI = :CODCLI"));
    q.BindValue(QStringLiteral("CODCLI"), cliente);
    q.Open();
    ui.EdtNomeCli->setText(q.IsEmpty() ? QString() : texto(q, QStringLiteral("NOME")));
    m_regiao = q.IsEmpty() ? QString() : texto(q, QStringLiteral("TABELA"));
    if (m_limpando)
        return; // rows loaded keep the region they were stored with
    m_itens.ConcluiLinha();
    for (int linha = 0; linha < m_itens.Linhas(); ++linha)
        if (m_itens.Texto(linha, QStringLiteral("Fal")).isEmpty())
            m_itens.Define(linha, QStringLiteral("Regiao"), m_regiao);
    m_itens.ConcluiLinha();
}

// The highest dye lot of the customer's latest programme, as a number.
void TFmTngProg::MostraUltimaPartida() {
    TZoQuery partidas;
    partidas.SQL << DBLocal_SQL(QStringLiteral(
        "SELECT PARTIDA FROM {TNG_PROG} WHERE NUMERO = (SELECT MAX(NUMERO) FROM {TNG_PROG} WHERE CODCLI = "
        ":CODCLI) AND PARTIDA IS NOT NULL"));
    partidas.BindValue(QStringLiteral("CODCLI"), ui.EdtCodCli->text().trimmed());
    partidas.Open();
    QStringList numeros;
    for (partidas.First(); !partidas.Eof(); partidas.Next())
        numeros << partidas.Fields(0).AsString();
    ui.EdtUltPart->setText(partidaComZeros(MaiorPartida(numeros)));
}

void TFmTngProg::EdtEntregaEnter() {
    const QDate entrada = dataDa(ui.EdtEntrada);
    const bool propoe = PropoeEntrega(dataDa(ui.EdtEntrega), entrada, m_entradaDaEntrega);
    m_entradaDaEntrega = entrada; // what is shown or typed now goes with this entry date
    if (!propoe)
        return;
    const int dias = BuscaParametro(QStringLiteral("TIN"), 20).trimmed().toInt();
    ui.EdtEntrega->setText(entrada.addDays(dias).toString(kFormatoData));
}

bool TFmTngProg::DataValida(QLineEdit* caixa, const QString& mensagem) {
    return dataDa(caixa).isValid() || Recusa(caixa, mensagem);
}

// The customer's box has checked him already.
bool TFmTngProg::SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason reason) {
    Q_UNUSED(reason);
    if (next == ui.BitBtn7 || next == ui.BitBtn2)
        return true;
    if (control == ui.EdtLote)
        EdtLoteExit();
    else if (control == ui.EdtCodCli && !ui.EdtCodCli->text().trimmed().isEmpty())
        MostraUltimaPartida();
    return true;
}

bool TFmTngProg::FormKeyDown(QKeyEvent* tecla) {
    if ((tecla->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return TForm::FormKeyDown(tecla);
    if (tecla->key() == Qt::Key_F5) {
        PesaBalanca();
        return true;
    }
    if (tecla->key() == Qt::Key_F10) {
        ConfiguraPortaBalanca(this);
        return true;
    }
    return TForm::FormKeyDown(tecla);
}

// The current row's weight from the scale, in whole kilograms; without a reading the weight stays.
void TFmTngProg::PesaBalanca() {
    TClientDataSet* itens = m_itens.Tabela();
    if (itens->IsEmpty())
        return;
    LeituraBalanca leitura;
    {
        Ocupado(true, this, QStringLiteral("Lendo a balança"));
        const auto fim = qScopeGuard([this] { Ocupado(false, this); });
        leitura = LePesoBalanca();
    }
    if (!leitura.peso) {
        Informa(this, leitura.mensagem);
        return;
    }
    itens->Edit();
    itens->FieldByName(QStringLiteral("Peso")) = Arredondar(*leitura.peso, 0);
}

// ---- save, new, delete

bool TFmTngProg::GravaDados() {
    ConcluiEdicaoGrades(true);
    m_itens.ConcluiLinha();
    const CabecalhoProgramacao cabecalho = Cabecalho();
    const bool existia =
        Existe(QStringLiteral("TNG_PROG"), QStringLiteral("NUMERO"), QVariantList{cabecalho.numero});
    GravacaoAtomica gravacao;
    const ItensProgramacao::Gravacao gravados = m_itens.GravaDados(cabecalho);
    if (!gravados.gravou)
        return false;
    GeraLog(kTituloLog,
            QStringLiteral("%1 DA PROGRAMACAO NR %2 DO CLIENTE %3")
                .arg(existia ? QStringLiteral("ALTERACAO") : QStringLiteral("INCLUSAO"), cabecalho.numero,
                     cabecalho.cliente),
            existia ? opAlteracao : opInclusao, cabecalho.numero, this);
    gravacao.Confirma();
    m_itens.AplicaGravacao(gravados);
    m_programaArmazenado = true;
    AtualizaMenu();
    return true;
}

// What a save asks of the header: valid dates and a customer of the customer kind.
bool TFmTngProg::ConfereGravacao() {
    if (!DataValida(ui.EdtEntrada, QStringLiteral("Data de Entrada Inválida.")) ||
        !DataValida(ui.EdtEntrega, QStringLiteral("Data de Entrega Inválida.")))
        return false;
    const QString tipo =
        Busca_Valor(QStringLiteral("ENTIDADE"), QStringLiteral("CODCLI"), QStringLiteral("TIPO_ENTIDADE"),
                    QVariantList{ui.EdtCodCli->text().trimmed()});
    return tipo.contains(QLatin1Char('C')) ||
           Recusa(ui.EdtCodCli, QStringLiteral("Não é um Cliente válido, verificar o tipo do cliente. "
                                               "Impossível Continuar."));
}

void TFmTngProg::BitBtn1Click() {
    if (ui.EdtLote->text().trimmed().isEmpty())
        EdtLoteExit();
    if (!ConfereGravacao())
        return;
    Ocupado(true, this, QStringLiteral("Gravando a programação"));
    const auto fim = qScopeGuard([this] { Ocupado(false, this); });
    // A save that was refused keeps what was typed, to be put right.
    if (!GravaDados())
        return;
    Limpa();
    ui.EdtLote->setFocus(Qt::OtherFocusReason);
}

void TFmTngProg::BitBtn7Click() {
    Limpa();
    EdtLoteExit();
    ui.EdtCodCli->setFocus(Qt::OtherFocusReason);
}

void TFmTngProg::BitBtn3Click() {
    const QString numero = ui.EdtLote->text().trimmed();
    if (numero.isEmpty() ||
        !Pergunta(this, windowTitle(), QStringLiteral("Deseja realmente excluir a Programação?"), false))
        return;
    GravacaoAtomica exclusao;
    // An item whose lot sheet was deleted since does not hold the programme.
    TZoQuery viva;
    viva.SQL << DBLocal_SQL(
        QStringLiteral("SELECT FIRST 1 F.NUMERO FROM {FAL} F INNER JOIN {TNG_PROG} TP ON (F.NUMERO = TP.FAL) "
                       "WHERE TP.NUMERO = :NUMERO AND TP.FAL <> '' AND TP.FAL IS NOT NULL"));
    viva.BindValue(QStringLiteral("NUMERO"), numero);
    viva.Open();
    if (!viva.IsEmpty()) {
        Informa(this, QStringLiteral("Programação possui itens com FAL gerada. Impossível excluir."));
        return;
    }
    TZoQuery q;
    q.SQL << DBLocal_SQL(QStringLiteral("DELETE FROM {TNG_PROG} WHERE NUMERO = :NUMERO"));
    q.BindValue(QStringLiteral("NUMERO"), numero);
    q.ExecSQL();
    if (q.RowsAffected() > 0)
        GeraLog(kTituloLog, QStringLiteral("EXCLUSAO DA PROGRAMACAO NR ") + numero, opExclusao, numero, this);
    exclusao.Confirma();
    Limpa();
    ui.EdtLote->setFocus(Qt::OtherFocusReason);
}

// ---- search page

void TFmTngProg::BitBtn4Click() {
    const QDate de = dataDa(ui.DtDigIni), ate = dataDa(ui.DtDigFim);
    if (!de.isValid() || !ate.isValid()) {
        Recusa(de.isValid() ? ui.DtDigFim : ui.DtDigIni, QStringLiteral("Data inválida."));
        return;
    }
    QStringList sql{
        DBLocal_SQL(QStringLiteral(
                        "SELECT DISTINCT PROG.NUMERO, PROG.CODCLI, CLIENTE.NOME, PROG.ENTRADA, PROG.ENTREGA "
                        "FROM {TNG_PROG} PROG LEFT JOIN {ENTIDADE} CLIENTE ON (PROG.CODCLI = CLIENTE.CODCLI) "
                        "WHERE PROG.ENTRADA >= %1 AND PROG.ENTRADA <= %2"))
            .arg(DataSQL(de), DataSQL(ate))};
    const QList<QPair<QLineEdit*, const char*>> filtros = {{ui.EdtCCodCli, "PROG.CODCLI"},
                                                           {ui.EdtCodLote, "PROG.LOTE"},
                                                           {ui.edtCodFal, "PROG.FAL"},
                                                           {ui.EdtNota, "PROG.NOTA"},
                                                           {ui.edtProgramacao, "PROG.NUMERO"}};
    for (const auto& [caixa, coluna] : filtros)
        if (const QString valor = caixa->text().trimmed(); !valor.isEmpty())
            sql << QStringLiteral("AND %1 = %2").arg(QLatin1String(coluna), Aspas(valor));
    if (ui.RgBuscaSemFal->isChecked())
        sql << QStringLiteral("AND (PROG.FAL = '' OR PROG.FAL IS NULL)");
    const QList<QPair<QLineEdit*, const char*>> listas = {
        {ui.edtProduto, "PROG.CODIGO"}, {ui.edtCodCor, "PROG.COR"}, {ui.EdtVariante, "PROG.VARIANTE"}};
    for (const auto& [caixa, coluna] : listas)
        if (const QStringList codigos = CodigosDaLista(caixa->text()); !codigos.isEmpty())
            sql << QStringLiteral("AND %1 IN (%2)").arg(QLatin1String(coluna), ListaSql(codigos));
    m_consulta->pesquisa.SQL = sql.join(QLatin1Char(' '));
    m_consulta->Consulta();
}

void TFmTngProg::AbreDaConsulta() {
    TDataSet* linha = m_consulta->Linhas();
    if (linha->IsEmpty())
        return;
    ui.EdtLote->setText(texto(*linha, QStringLiteral("NUMERO")));
    EdtLoteExit();
    ui.PageControl1->setCurrentIndex(Cadastro);
    ui.DBGrid1->setFocus(Qt::OtherFocusReason);
}

// ---- item grid

void TFmTngProg::TbItensAfterInsert(TDataSet& item) {
    if (m_itens.Carregando())
        return;
    item.FieldByName(QStringLiteral("Ordem")) = m_itens.ProximaOrdem();
    item.FieldByName(QStringLiteral("Regiao")) = m_regiao;
    item.FieldByName(QStringLiteral("Imp")) = QStringLiteral("N");
    if (ui.DBGrid1->hasFocus())
        ui.DBGrid1->SelectField(QStringLiteral("Partida"));
}

void TFmTngProg::TbItensBeforePost(TDataSet& item) {
    if (m_itens.Carregando())
        return;
    if (ItensProgramacao::LinhaEmBranco(item)) {
        item.Cancel();
        throw EAbort();
    }
    const QString dono = DonoEstampa(texto(item, QStringLiteral("Estampa")));
    if (!dono.isEmpty() && dono != ui.EdtCodCli->text().trimmed()) {
        Informa(this, QStringLiteral("Estampa cadastrada para o cliente %1. Impossível continuar.")
                          .arg(Busca_Valor(QStringLiteral("ENTIDADE"), QStringLiteral("CODCLI"),
                                           QStringLiteral("NOME"), QVariantList{dono})));
        throw EAbort();
    }
    // The colour as it was before the first edit, for the lot sheet's update to tell.
    if (item.State() == DataSetState::Edit && texto(item, QStringLiteral("CorAnt")).isEmpty()) {
        const QString anterior = item.OldValue(item.FieldIndex(QStringLiteral("Cor"))).toString().trimmed();
        if (!anterior.isEmpty() && anterior != texto(item, QStringLiteral("Cor")))
            item.FieldByName(QStringLiteral("CorAnt")) = anterior;
    }
    if (item.FieldByName(QStringLiteral("Rolo")).IsNull())
        item.FieldByName(QStringLiteral("Rolo")) = 0;
}

void TFmTngProg::TbItensBeforeDelete(TDataSet&) {
    if (!m_excluindoItem)
        throw EAbort();
}

QString TFmTngProg::DonoEstampa(const QString& estampa) const {
    if (estampa.isEmpty())
        return {};
    return Busca_Valor(QStringLiteral("CADCORTIN"), QStringLiteral("CODIGO"), QStringLiteral("CODCLI"),
                       QVariantList{estampa})
        .trimmed();
}

bool TFmTngProg::DBGrid1KeyDown(QKeyEvent* tecla) {
    const Qt::KeyboardModifiers modificadores = tecla->modifiers() & ~Qt::KeypadModifier;
    if (tecla->key() == Qt::Key_Delete && modificadores == Qt::ControlModifier) {
        ExcluirItem1Click();
        return true;
    }
    if (TeclaLinhaGrade(*ui.DBGrid1, tecla))
        return true;
    if (modificadores != Qt::NoModifier)
        return false;
    const QString campo = ui.DBGrid1->SelectedField();
    if (tecla->key() == Qt::Key_F3 && campo == QLatin1String("Codigo")) {
        ConsultaNotaEntrada();
        return true;
    }
    if (tecla->key() == Qt::Key_F4)
        return PesquisaColuna(campo);
    if (tecla->key() == Qt::Key_Tab)
        return !ConfereColuna(campo);
    return false;
}

bool TFmTngProg::PesquisaColuna(const QString& campo) {
    TClientDataSet* itens = m_itens.Tabela();
    if (campo == QLatin1String("Cor_Cli")) {
        TPesquisa pesquisa;
        pesquisa.Titulo = QStringLiteral("Cores do Cliente");
        pesquisa.SQL =
            DBLocal_SQL(QStringLiteral(
                "SELECT DISTINCT CADCOR.DESCRICAO, CADCOR.COR FROM {CADCOR} CADCOR WHERE CADCOR.COR IN "
                "(SELECT DISTINCT MAT_ITEN.COR FROM {MAT_ITEN} MAT_ITEN WHERE MAT_ITEN.CODIGO = ")) +
            Aspas(texto(*itens, QStringLiteral("Codigo_Cli"))) +
            QStringLiteral(" AND (MAT_ITEN.ATIVO IS NULL OR MAT_ITEN.ATIVO <> 'N'))");
        pesquisa.CampoChave = QStringLiteral("COR");
        pesquisa.OrdenarPor = QStringLiteral("COR");
        pesquisa.TextoVazio = QStringLiteral("Nenhuma cor cadastrada para o produto do cliente %1.")
                                  .arg(texto(*itens, QStringLiteral("Codigo_Cli")));
        if (pesquisa.AbrePesquisa(this)) {
            itens->Edit();
            itens->FieldByName(QStringLiteral("Cor_Cli")) = pesquisa.Chave().trimmed();
        }
        return true;
    }
    for (const PesquisaItem& p : kPesquisas) {
        if (campo != QLatin1String(p.campo))
            continue;
        if (PesquisaNaCelula(this, *itens,
                             {.titulo = QString::fromUtf8(p.titulo),
                              .tabela = QLatin1String(p.tabela),
                              .chave = QLatin1String(p.chave),
                              .descricao = QLatin1String(p.descricao),
                              .filtro = QLatin1String(p.filtro),
                              .distintos = qstrcmp(p.tabela, "ROTEIRO") == 0, // one row per step
                              .campo = campo}))
            ConfereColuna(campo);
        return true;
    }
    return false;
}

// The Tab check of a column; false when the value was refused (and cleared).
bool TFmTngProg::ConfereColuna(const QString& campo) {
    TClientDataSet* itens = m_itens.Tabela();
    if (itens->IsEmpty())
        return true;
    const QString valor = texto(*itens, campo);
    const auto recusa = [&](const QString& mensagem) {
        Informa(this, mensagem);
        itens->Edit();
        itens->FieldByName(campo) = QVariant();
        return false;
    };
    if (campo == QLatin1String("Codigo"))
        return ConfereProduto();
    if (campo == QLatin1String("Cor"))
        return ConfereCor();
    if (campo == QLatin1String("Variante") || campo == QLatin1String("Var_Est"))
        return ConfereVariante(campo);
    if (campo == QLatin1String("Estampa"))
        return ConfereEstampa();
    if (campo == QLatin1String("Rolo"))
        return ConfereRolo();
    if (valor.isEmpty())
        return true;
    if (campo == QLatin1String("Fluxo")) {
        const QString descricao = Busca_Valor(QStringLiteral("ROTEIRO"), QStringLiteral("CODIGO"),
                                              QStringLiteral("DESCRICAO"), QVariantList{valor});
        if (!Existe(QStringLiteral("ROTEIRO"), QStringLiteral("CODIGO"), QVariantList{valor}))
            return recusa(QStringLiteral("Fluxo não encontrado."));
        itens->Edit();
        itens->FieldByName(QStringLiteral("DescFluxo")) = descricao;
        return true;
    }
    if (campo == QLatin1String("Maquina"))
        return Existe(QStringLiteral("MAQ_TIN"), QStringLiteral("CODIGO"), QVariantList{valor}) ||
               recusa(QStringLiteral("Máquina não encontrada."));
    if (campo == QLatin1String("Regiao"))
        return Existe(QStringLiteral("REGIAO"), QStringLiteral("REGIAO"), QVariantList{valor}) ||
               recusa(QStringLiteral("Região não encontrada."));
    return true;
}

bool TFmTngProg::ConfereProduto() {
    TClientDataSet* itens = m_itens.Tabela();
    const QString codigo = texto(*itens, QStringLiteral("Codigo"));
    if (codigo.isEmpty())
        return true;
    TZoQuery q;
    q.SQL << DBLocal_SQL(QStringLiteral("SELECT DESCRICAO, DESCRICAO2, COMP1, COMP2, PESO, PESO_TALHADO FROM "
                                        "{PRODUTO} WHERE CODIGO = :CODIGO AND ATIVO = 'S'"));
    q.BindValue(QStringLiteral("CODIGO"), codigo);
    q.Open();
    itens->Edit();
    if (q.IsEmpty()) {
        Informa(this, QStringLiteral("Código do produto inválido."));
        itens->FieldByName(QStringLiteral("Codigo")) = QVariant();
        return false;
    }
    const QList<QPair<const char*, const char*>> campos = {
        {"Descricao", "DESCRICAO"}, {"Descricao2", "DESCRICAO2"}, {"Comp1", "COMP1"},
        {"Comp2", "COMP2"},         {"Peso_Produto", "PESO"},     {"Peso_Talhado", "PESO_TALHADO"}};
    for (const auto& [campo, coluna] : campos)
        itens->FieldByName(QLatin1String(campo)) = q.FieldByName(QLatin1String(coluna)).Value();
    return true;
}

bool TFmTngProg::ConfereCor() {
    TClientDataSet* itens = m_itens.Tabela();
    const QString cor = texto(*itens, QStringLiteral("Cor"));
    if (cor.isEmpty())
        return true;
    TZoQuery q;
    q.SQL << DBLocal_SQL(QStringLiteral(
        "SELECT C.DESCRICAO, C.TINGIR, C.COMPLEMENTO, C.COR_SIS, (SELECT FIRST 1 M.COR1 FROM {CADCORTI} M "
        "WHERE "
        "M.COR = C.CODIGO AND M.CODCLI = :CODCLI) AS COR1 FROM {CADCORTIN} C WHERE C.CODIGO = :COR"));
    q.BindValue(QStringLiteral("COR"), cor);
    q.BindValue(QStringLiteral("CODCLI"), ui.EdtCodCli->text().trimmed());
    q.Open();
    itens->Edit();
    if (q.IsEmpty()) {
        Informa(this, QStringLiteral("Cor não cadastrada."));
        itens->FieldByName(QStringLiteral("Cor")) = QVariant();
        return false;
    }
    itens->FieldByName(QStringLiteral("DescCor")) = q.FieldByName(QStringLiteral("DESCRICAO")).Value();
    itens->FieldByName(QStringLiteral("Tingir")) = q.FieldByName(QStringLiteral("TINGIR")).Value();
    itens->FieldByName(QStringLiteral("Complemento")) = q.FieldByName(QStringLiteral("COMPLEMENTO")).Value();
    itens->FieldByName(QStringLiteral("Cor_I")) = q.FieldByName(QStringLiteral("COR_SIS")).Value();
    if (const QString corCliente = texto(q, QStringLiteral("COR1")); !corCliente.isEmpty())
        itens->FieldByName(QStringLiteral("Cor_Cli")) = corCliente;
    return true;
}

bool TFmTngProg::ConfereVariante(const QString& campo) {
    TClientDataSet* itens = m_itens.Tabela();
    const QString variante = texto(*itens, campo);
    if (variante.isEmpty())
        return true;
    const auto recusa = [&](const QString& mensagem) {
        Informa(this, mensagem);
        itens->Edit();
        itens->FieldByName(campo) = QVariant();
        return false;
    };
    if (!Existe(QStringLiteral("VARIANTE"), QStringLiteral("CODIGO"), QVariantList{variante}))
        return recusa(QStringLiteral("Variante não cadastrada."));
    if (campo != QLatin1String("Variante"))
        return true;
    const QVariantList chave{variante, texto(*itens, QStringLiteral("Cor"))};
    if (!Existe(QStringLiteral("RECEITA"), QStringLiteral("VARIANTE;COR"), chave))
        return recusa(QStringLiteral("Cor e Variante sem Receita."));
    if (!Existe(QStringLiteral("RECEITA"), QStringLiteral("VARIANTE;COR;LIBERADA"),
                QVariantList{chave[0], chave[1], QStringLiteral("1")}))
        return recusa(QStringLiteral("Receita não liberada."));
    return true;
}

bool TFmTngProg::ConfereEstampa() {
    TClientDataSet* itens = m_itens.Tabela();
    const QString estampa = texto(*itens, QStringLiteral("Estampa"));
    if (estampa.isEmpty())
        return true;
    const auto recusa = [&](const QString& mensagem) {
        Informa(this, mensagem);
        itens->Edit();
        itens->FieldByName(QStringLiteral("Estampa")) = QVariant();
        return false;
    };
    if (!Existe(QStringLiteral("CADCORTIN"), QStringLiteral("CODIGO"), QVariantList{estampa}))
        return recusa(QStringLiteral("Estampa não cadastrada."));
    const QString dono = DonoEstampa(estampa);
    if (!dono.isEmpty() && dono != ui.EdtCodCli->text().trimmed())
        return recusa(QStringLiteral("Estampa cadastrada para o cliente %1. Impossível continuar.")
                          .arg(Busca_Valor(QStringLiteral("ENTIDADE"), QStringLiteral("CODCLI"),
                                           QStringLiteral("NOME"), QVariantList{dono})));
    return true;
}

// Pieces of an invoice item weigh their share of what the item weighed.
bool TFmTngProg::ConfereRolo() {
    TClientDataSet* itens = m_itens.Tabela();
    const QString nota = texto(*itens, QStringLiteral("Nota"));
    const int rolo = itens->FieldByName(QStringLiteral("Rolo")).AsInteger();
    if (nota.isEmpty() || rolo <= 0)
        return true;
    // One invoice item: the lot the fabric came on, else the row's own.
    const QString lote =
        LoteDaNota(texto(*itens, QStringLiteral("LoteNF")), texto(*itens, QStringLiteral("Lote")));
    TZoQuery q;
    q.SQL << DBLocal_SQL(
        QStringLiteral("SELECT PESO_REAL, ROLOS FROM {NFITIN} WHERE NOTA = :NOTA AND CODCLI = "
                       ":CODCLI AND CODIGO = :CODIGO AND LOTE = :LOTE"));
    q.BindValue(QStringLiteral("NOTA"), nota);
    q.BindValue(QStringLiteral("CODCLI"), ui.EdtCodCli->text().trimmed());
    q.BindValue(QStringLiteral("CODIGO"), texto(*itens, QStringLiteral("Codigo")));
    q.BindValue(QStringLiteral("LOTE"), lote);
    q.Open();
    if (q.IsEmpty())
        return true;
    if (const auto peso = PesoDosRolos(rolo, q.FieldByName(QStringLiteral("PESO_REAL")).AsFloat(),
                                       q.FieldByName(QStringLiteral("ROLOS")).AsInteger())) {
        itens->Edit();
        itens->FieldByName(QStringLiteral("Peso")) = *peso;
    }
    return true;
}

// The customer's invoice items with more than 0.9 kg still free and not returned; the one chosen fills the
// row.
void TFmTngProg::ConsultaNotaEntrada() {
    TPesquisa pesquisa;
    pesquisa.Titulo = QStringLiteral("Saldo de Notas de Entrada");
    pesquisa.SQL =
        DBLocal_SQL(QStringLiteral(
            "SELECT NFITIN.NOTA || '/' || NFITIN.CODIGO || '/' || NFITIN.LOTE AS CHAVE, NFITIN.NOTA, "
            "NFITIN.LOTE, "
            "(NFITIN.PESO_REAL - NFITIN.PESO_PROG) AS PESO, CASE WHEN COALESCE(NFITIN.ROLOS, 0) = 0 OR "
            "COALESCE(NFITIN.PESO_REAL, 0) = 0 THEN 1 ELSE TRUNC((NFITIN.PESO_REAL - NFITIN.PESO_PROG) / "
            "(NFITIN.PESO_REAL / NFITIN.ROLOS)) END AS ROLOS, NFITIN.CODIGO, NFITIN.DESCRICAO, NFITIN.OBS, "
            "NFITIN.GRAMATURA, NFITIN.LARGURA, NFTIN.EMISSOR, ENTIDADE.NOME FROM {NFITIN} NFITIN LEFT JOIN "
            "{NFTIN} NFTIN ON (NFITIN.NOTA = NFTIN.NOTA AND NFITIN.CODCLI = NFTIN.CLIENTE) LEFT JOIN "
            "{ENTIDADE} "
            "ENTIDADE ON (ENTIDADE.CODCLI = NFTIN.EMISSOR) WHERE NFITIN.CODCLI = ")) +
        Aspas(ui.EdtCodCli->text().trimmed()) +
        QStringLiteral(" AND ((NFITIN.PESO_REAL - 0.9) > NFITIN.PESO_PROG) AND ((NFITIN.PESO_REAL - 0.9) > "
                       "COALESCE(NFITIN.PESO_DEVOL, 0))");
    pesquisa.CampoChave = QStringLiteral("CHAVE");
    pesquisa.CampoBusca = QStringLiteral("DESCRICAO");
    pesquisa.OrdenarPor = QStringLiteral("NOTA, CODIGO, LOTE");
    if (!pesquisa.AbrePesquisa(this))
        return;
    TClientDataSet* itens = m_itens.Tabela();
    itens->Edit();
    const QList<QPair<const char*, const char*>> campos = {
        {"Nota", "NOTA"},       {"Codigo", "CODIGO"}, {"Descricao", "DESCRICAO"}, {"Gramatura", "GRAMATURA"},
        {"Largura", "LARGURA"}, {"Peso", "PESO"},     {"Lote", "LOTE"},           {"LoteNF", "LOTE"},
        {"Rolo", "ROLOS"},      {"Observacao", "OBS"}};
    for (const auto& [campo, coluna] : campos) {
        const QVariant valor = pesquisa.RetornoPesquisa(QLatin1String(coluna));
        itens->FieldByName(QLatin1String(campo)) =
            valor.typeId() == QMetaType::QString ? QVariant(valor.toString().trimmed()) : valor;
    }
}

// ---- totals, selection, numbering

void TFmTngProg::GeraTotais() {
    double peso = 0;
    qint64 pecas = 0;
    for (int linha = 0; linha < m_itens.Linhas(); ++linha) {
        peso += m_itens.Valor(linha, QStringLiteral("Peso")).toDouble();
        pecas += m_itens.Valor(linha, QStringLiteral("Rolo")).toLongLong();
    }
    ui.EdtPeso->setText(TextoExibicao(Arredondar(peso, 2), 2));
    ui.Edtrolo->setText(TextoExibicao(pecas));
}

QList<int> TFmTngProg::Selecionadas() const {
    QList<int> linhas;
    for (int linha = 0; linha < m_itens.Linhas(); ++linha)
        if (m_itens.Texto(linha, QStringLiteral("Gerar")) == QLatin1String("S"))
            linhas << linha;
    return linhas;
}

void TFmTngProg::CbTodosClick() {
    TClientDataSet* itens = m_itens.Tabela();
    m_itens.ConcluiLinha();
    const QString marca = ui.CbTodos->isChecked() ? QStringLiteral("S") : QStringLiteral("N");
    const int atual = itens->RecNo();
    for (int linha = 0; linha < m_itens.Linhas(); ++linha)
        m_itens.Define(linha, QStringLiteral("Gerar"), marca);
    m_itens.ConcluiLinha();
    if (atual >= 0)
        itens->MoveTo(atual);
}

void TFmTngProg::SpeedButton1Click() {
    m_itens.ConcluiLinha();
    QStringList partidas;
    for (int linha = 0; linha < m_itens.Linhas(); ++linha)
        partidas << m_itens.Texto(linha, QStringLiteral("Partida"));
    const QStringList novas = NumeraPartidas(ui.EdtUltPart->text().trimmed().toLongLong(), partidas);
    for (int linha = 0; linha < novas.size(); ++linha)
        if (!novas[linha].isEmpty())
            m_itens.Define(linha, QStringLiteral("Partida"), novas[linha]);
    m_itens.ConcluiLinha();
    m_itens.OrdenaPorPartida();
}

// ---- item menu

void TFmTngProg::DuplicarItemClick() {
    TClientDataSet* itens = m_itens.Tabela();
    if (itens->IsEmpty())
        return;
    m_itens.ConcluiLinha();
    QVariantList valores;
    for (int campo = 0; campo < itens->FieldCount(); ++campo)
        valores << itens->Fields(campo).Value();
    itens->Append();
    for (int campo = 0; campo < valores.size(); ++campo)
        itens->Fields(campo) = valores[campo];
    itens->FieldByName(QStringLiteral("Ordem")) = m_itens.ProximaOrdem();
    itens->FieldByName(QStringLiteral("Ordem_Gravada")) = QVariant();
    itens->FieldByName(QStringLiteral("Fal")) = QVariant();
    itens->FieldByName(QStringLiteral("CorAnt")) = QVariant();
    itens->Post();
}

void TFmTngProg::ExcluirItem1Click() {
    TClientDataSet* itens = m_itens.Tabela();
    if (itens->IsEmpty() ||
        !Pergunta(this, windowTitle(), QStringLiteral("Tem certeza que deseja excluir o item?"), false))
        return;
    if (itens->State() == DataSetState::Insert) {
        itens->Cancel();
        return;
    }
    const int linha = itens->RecNo();
    const QString numero = ui.EdtLote->text().trimmed();
    // The stored row's sheet: another workstation may have generated one since the row was loaded.
    const QString fal =
        m_itens.Armazenado(linha)
            ? Busca_Valor(QStringLiteral("TNG_PROG"), QStringLiteral("NUMERO;ORDEM"), QStringLiteral("FAL"),
                          QVariantList{numero, m_itens.OrdemArmazenada(linha)})
                  .trimmed()
            : m_itens.Texto(linha, QStringLiteral("Fal"));
    if (!fal.isEmpty() && Existe(QStringLiteral("FAL"), QStringLiteral("NUMERO"), QVariantList{fal})) {
        Informa(this, QStringLiteral("O item já possui FAL gerada. Impossível excluir item."));
        return;
    }
    if (m_itens.Armazenado(linha)) {
        GravacaoAtomica exclusao;
        TZoQuery q;
        q.SQL << DBLocal_SQL(
            QStringLiteral("DELETE FROM {TNG_PROG} WHERE NUMERO = :NUMERO AND ORDEM = :ORDEM"));
        q.BindValue(QStringLiteral("NUMERO"), numero);
        q.BindValue(QStringLiteral("ORDEM"), m_itens.OrdemArmazenada(linha));
        q.ExecSQL();
        GeraLog(kTituloLog,
                QStringLiteral("EXCLUSAO DO ITEM %1 ORDEM %2 DA PROGRAMACAO NR %3")
                    .arg(m_itens.Texto(linha, QStringLiteral("Codigo")),
                         QString::number(m_itens.OrdemArmazenada(linha)), numero),
                opExclusao, numero, this);
        exclusao.Confirma();
    }
    itens->Cancel();
    QScopedValueRollback<bool> excluindo(m_excluindoItem, true);
    itens->Delete();
}

void TFmTngProg::PrioridadedaFAL1Click() {
    const std::optional<int> prioridade = PedePrioridadeFal(this);
    if (!prioridade)
        return;
    m_itens.ConcluiLinha();
    QStringList fals;
    const QList<int> selecionadas = Selecionadas();
    if (selecionadas.isEmpty() && !m_itens.Tabela()->IsEmpty())
        fals << m_itens.Texto(m_itens.Tabela()->RecNo(), QStringLiteral("Fal"));
    for (int linha : selecionadas)
        fals << m_itens.Texto(linha, QStringLiteral("Fal"));
    fals = FalsDistintas(fals);
    if (fals.isEmpty()) {
        Informa(this, QStringLiteral("Nenhum registro com FAL."));
        return;
    }
    Informa(this, GravaPrioridadeFal(fals, *prioridade, this) > 0
                      ? QStringLiteral("Processo concluído.")
                      : QStringLiteral("Nenhum registro com FAL."));
}

void TFmTngProg::AdicionarServioClick() {
    TClientDataSet* itens = m_itens.Tabela();
    if (itens->IsEmpty())
        return;
    const QString fal = texto(*itens, QStringLiteral("Fal"));
    if (fal.isEmpty())
        return;
    Carrega_Form(QStringLiteral("kelmTingimento.bpl"), QStringLiteral("TFmCadFalServ"),
                 ArgumentosTela{{QStringLiteral("FAL"), fal},
                                {QStringLiteral("CLIENTE"), ui.EdtCodCli->text().trimmed()}},
                 true, false);
}

// One service for the lot sheets of the selected rows: each sheet charged once, rows without one skipped.
void TFmTngProg::AdicionarServioSelecionados1Click() {
    m_itens.ConcluiLinha();
    QStringList fals;
    for (int linha : Selecionadas())
        fals << m_itens.Texto(linha, QStringLiteral("Fal"));
    fals = FalsDistintas(fals);
    if (fals.isEmpty()) {
        Informa(this, QStringLiteral("Nenhum registro com FAL."));
        return;
    }
    const std::optional<QString> fase =
        TPesquisa::EscolheCodigo(this, QStringLiteral("Fases"), QStringLiteral("FASE"));
    if (!fase)
        return;
    const QString codigoFase = *fase;
    const QString cliente = ui.EdtCodCli->text().trimmed();
    TZoQuery preco;
    preco.SQL << DBLocal_SQL(
        QStringLiteral("SELECT CUSTO FROM {TABPRE_SERV} WHERE CODCLI = :CODCLI AND FASE = :FASE"));
    preco.BindValue(QStringLiteral("CODCLI"), cliente);
    preco.BindValue(QStringLiteral("FASE"), codigoFase);
    preco.Open();
    QString custo = preco.IsEmpty() || preco.Fields(0).IsNull() ? QStringLiteral("0")
                                                                : TextoExibicao(preco.Fields(0).AsFloat());
    if (!InputQuery(this, QStringLiteral("Custo"), QStringLiteral("Valor custo"), custo))
        return;
    // Read as the box showed it: "1.234,5" is what a cost of a thousand and more looks like.
    double valor = 0;
    if (!LeNumero(custo.trimmed(), valor) || !std::isfinite(valor)) {
        Informa(this, QStringLiteral("Valor inválido."));
        return;
    }
    GravacaoAtomica gravacao;
    TZoQuery q;
    q.SQL << DBLocal_SQL(
        QStringLiteral("INSERT INTO {TABELA} (CODIGO, SETOR, PRECO) VALUES (:CODIGO, :SETOR, :PRECO)"));
    for (const QString& fal : std::as_const(fals)) {
        q.BindValue(QStringLiteral("CODIGO"), fal);
        q.BindValue(QStringLiteral("SETOR"), codigoFase);
        q.BindValue(QStringLiteral("PRECO"), valor);
        q.ExecSQL();
    }
    gravacao.Confirma();
    Informa(this, QStringLiteral("Processo concluído."));
}

void TFmTngProg::Quadrodeinformaes1Click() {
    TClientDataSet* itens = m_itens.Tabela();
    AbreQuadroInformacoes(itens->IsEmpty() ? QString() : texto(*itens, QStringLiteral("Codigo")),
                          ui.EdtCodCli->text().trimmed());
}

// The order is written from the stored programme: what the screen shows differently is saved first, when
// the user wants it in the order.
void TFmTngProg::GeraTinturariaClick() {
    if (!m_programaArmazenado)
        return;
    ConcluiEdicaoGrades(true);
    m_itens.ConcluiLinha();
    const QString numero = m_numeroCarregado;
    if (!ComoArmazenada()) {
        if (!Pergunta(this, windowTitle(),
                      QStringLiteral("A programação foi alterada. Deseja gravá-la antes de gerar a ordem de "
                                     "tinturaria?"),
                      true) ||
            !ConfereGravacao())
            return;
        {
            Ocupado(true, this, QStringLiteral("Gravando a programação"));
            const auto fim = qScopeGuard([this] { Ocupado(false, this); });
            GravaDados();
        }
        // The save leaves rows that went to a lot sheet as stored.
        if (!ComoArmazenada()) {
            Informa(this,
                    QStringLiteral("A programação ainda difere da gravada: itens com FAL mudam por "
                                   "\"Atualizar FAL\". Atualize as FALs ou reabra a programação antes de "
                                   "gerar a ordem de tinturaria."));
            return;
        }
        Limpa();
        ui.EdtLote->setText(numero);
        EdtLoteExit();
    }
    QString mensagem;
    {
        Ocupado(true, this, QStringLiteral("Gerando a ordem de tinturaria"));
        const auto fim = qScopeGuard([this] { Ocupado(false, this); });
        mensagem = GerarTinturaria(numero, *ConexaoHost());
    }
    Informa(this, mensagem);
}

// Whether the screen shows the programme as it is stored: its header and every row a save writes.
bool TFmTngProg::ComoArmazenada() {
    QObject dono;
    ItensProgramacao armazenados(&dono);
    CabecalhoProgramacao cabecalho;
    const CabecalhoProgramacao mostrado = Cabecalho();
    return armazenados.BuscaDados(m_numeroCarregado, cabecalho) && cabecalho.cliente == mostrado.cliente &&
           cabecalho.entrada == mostrado.entrada && cabecalho.entrega == mostrado.entrega &&
           m_itens.IguaisAosArmazenados(armazenados);
}

// ---- lot sheets

void TFmTngProg::BitBtn5Click() {
    ConcluiEdicaoGrades(true);
    if (!GeracaoFal(this, m_itens, DBSaldo(), m_parametros).Gera(Cabecalho()))
        return;
    // The selection is spent; the programme is shown as stored now.
    ui.CbTodos->setChecked(false);
    CbTodosClick();
    const QString numero = ui.EdtLote->text().trimmed();
    Limpa();
    ui.EdtLote->setText(numero);
    EdtLoteExit();
}

void TFmTngProg::BitBtn9Click() {
    ConcluiEdicaoGrades(true);
    if (!GeracaoFal(this, m_itens, DBSaldo(), m_parametros).Atualiza(Cabecalho()))
        return;
    const QString numero = ui.EdtLote->text().trimmed();
    Limpa();
    ui.EdtLote->setText(numero);
    EdtLoteExit();
}

// ---- labels, recipes, files

void TFmTngProg::BitBtn6Click() {
    const QList<int> selecionadas = Selecionadas();
    if (selecionadas.isEmpty()) {
        Informa(this, QStringLiteral("Nenhum item selecionado."));
        return;
    }
    GravaDados();
    const QString cliente = ui.EdtCodCli->text().trimmed();
    TClientDataSet etiquetas;
    etiquetas.AddField(QStringLiteral("NOTA"), QMetaType::QString, 9, QStringLiteral("Nota"))
        .AddField(QStringLiteral("CODIGO"), QMetaType::QString, 15, QStringLiteral("Código"))
        .AddField(QStringLiteral("DESCRICAO"), QMetaType::QString, 80, QStringLiteral("Descrição"))
        .AddField(QStringLiteral("LOTE"), QMetaType::QString, 15, QStringLiteral("Lote"))
        .AddField(QStringLiteral("COR"), QMetaType::QString, 10, QStringLiteral("Cor"))
        .AddField(QStringLiteral("PARTIDA"), QMetaType::QString, 6, QStringLiteral("Partida"))
        .AddField(QStringLiteral("ROLOS"), QMetaType::Int, 0, QStringLiteral("Rolos"))
        .AddField(QStringLiteral("PESO"), QMetaType::Double, 0, QStringLiteral("Peso"))
        .AddField(QStringLiteral("SALDO"), QMetaType::Double, 0, QStringLiteral("Saldo NF"))
        .AddField(QStringLiteral("OBS"), QMetaType::QString, 250, QStringLiteral("Obs."))
        .AddField(QStringLiteral("INFORMACOES"), QMetaType::QString, 2000, QStringLiteral("Informações"));
    etiquetas.CreateDataSet();
    TZoQuery nota;
    nota.SQL << DBLocal_SQL(QStringLiteral(
        "SELECT NFI.ROLOS, NFI.OBS, NFTIN.SALDO FROM {NFITIN} NFI INNER JOIN {NFTIN} NFTIN ON (NFTIN.NOTA = "
        "NFI.NOTA AND NFTIN.CLIENTE = NFI.CODCLI) WHERE NFI.NOTA = :NOTA AND NFI.CODCLI = :CODCLI AND "
        "NFI.CODIGO = "
        ":CODIGO AND NFI.LOTE = :LOTE"));
    QStringList produtos;
    for (int linha : selecionadas) {
        const QString codigo = m_itens.Texto(linha, QStringLiteral("Codigo"));
        const QString lote = m_itens.Texto(linha, QStringLiteral("LoteNF")).isEmpty()
                                 ? m_itens.Texto(linha, QStringLiteral("Lote"))
                                 : m_itens.Texto(linha, QStringLiteral("LoteNF"));
        nota.BindValue(QStringLiteral("NOTA"), m_itens.Texto(linha, QStringLiteral("Nota")));
        nota.BindValue(QStringLiteral("CODCLI"), cliente);
        nota.BindValue(QStringLiteral("CODIGO"), codigo);
        nota.BindValue(QStringLiteral("LOTE"), lote);
        nota.Open();
        etiquetas.Append();
        etiquetas.FieldByName(QStringLiteral("NOTA")) = m_itens.Texto(linha, QStringLiteral("Nota"));
        etiquetas.FieldByName(QStringLiteral("CODIGO")) = codigo;
        etiquetas.FieldByName(QStringLiteral("DESCRICAO")) =
            m_itens.Texto(linha, QStringLiteral("Descricao"));
        etiquetas.FieldByName(QStringLiteral("LOTE")) = m_itens.Texto(linha, QStringLiteral("Lote"));
        etiquetas.FieldByName(QStringLiteral("COR")) = m_itens.Texto(linha, QStringLiteral("Cor"));
        etiquetas.FieldByName(QStringLiteral("PARTIDA")) = m_itens.Texto(linha, QStringLiteral("Partida"));
        etiquetas.FieldByName(QStringLiteral("ROLOS")) =
            nota.IsEmpty() ? m_itens.Valor(linha, QStringLiteral("Rolo")) : nota.Fields(0).Value();
        etiquetas.FieldByName(QStringLiteral("PESO")) = m_itens.Valor(linha, QStringLiteral("Peso"));
        if (!nota.IsEmpty()) {
            etiquetas.FieldByName(QStringLiteral("OBS")) = nota.Fields(1).Value();
            etiquetas.FieldByName(QStringLiteral("SALDO")) = nota.Fields(2).Value();
        }
        etiquetas.Post();
        if (!codigo.isEmpty() && !produtos.contains(codigo))
            produtos << codigo;
    }
    // The customer's information sheets of those fabrics print with their labels: each field with the
    // customer's result (DESCRICAO2), not the field's group (DESCRICAO).
    if (!produtos.isEmpty()) {
        TZoQuery of2;
        of2.SQL << DBLocal_SQL(
                       QStringLiteral("SELECT CODIGO, CAMPO, DESCRICAO2 FROM {OF2} WHERE NUMERO = ")) +
                       Aspas(cliente) + QStringLiteral(" AND CODIGO IN (") + ListaSql(produtos) +
                       QStringLiteral(") ORDER BY CODIGO, MOV");
        of2.Open();
        QHash<QString, QStringList> informacoes;
        for (of2.First(); !of2.Eof(); of2.Next())
            if (const QString valor = texto(of2, QStringLiteral("DESCRICAO2")); !valor.isEmpty())
                informacoes[texto(of2, QStringLiteral("CODIGO"))]
                    << texto(of2, QStringLiteral("CAMPO")) + QStringLiteral(": ") + valor;
        for (int linha = 0; linha < etiquetas.RecordCount(); ++linha) {
            etiquetas.MoveTo(linha);
            etiquetas.Edit();
            etiquetas.FieldByName(QStringLiteral("INFORMACOES")) =
                informacoes.value(texto(etiquetas, QStringLiteral("CODIGO"))).join(QStringLiteral("; "));
            etiquetas.Post();
        }
    }
    etiquetas.First();
    const QString titulo = QStringLiteral("Etiquetas da Programação ") + ui.EdtLote->text().trimmed();
    if (ui.RgImpNormal->isChecked()) {
        TRelatorio relatorio(QStringLiteral("WTngEtqPart"), titulo, &etiquetas);
        relatorio.AdicionaCabecalho(QStringLiteral("Cliente"),
                                    cliente + QStringLiteral(" - ") + ui.EdtNomeCli->text());
        Chama_Relatorio(relatorio, this, QStringLiteral("W"));
        return;
    }
    // The label printer takes text: its script sends the file.
    EnviaArquivoEtiqueta(TRelatorio(QStringLiteral("TTngEtqPart"), titulo, &etiquetas), this);
}

void TFmTngProg::BitBtn11Click() {
    if (!ClassRegistered(QStringLiteral("TFmRelRec")))
        return;
    m_itens.ConcluiLinha();
    QStringList fals;
    for (int linha : Selecionadas())
        if (const QString fal = m_itens.Texto(linha, QStringLiteral("Fal")); !fal.isEmpty()) {
            m_itens.Define(linha, QStringLiteral("Imp"), QStringLiteral("S"));
            fals << fal;
        }
    m_itens.ConcluiLinha();
    fals = FalsDistintas(fals);
    if (fals.isEmpty()) {
        Informa(this, QStringLiteral("Nenhum registro com FAL."));
        return;
    }
    Carrega_Form(QStringLiteral("kelmTingimento.bpl"), QStringLiteral("TFmRelRec"),
                 ArgumentosTela{{QStringLiteral("FALS"), fals}}, false, false);
}

void TFmTngProg::BitBtn8Click() {
    const QString arquivo =
        Mensagens().OpenFile(this, QStringLiteral("Importar Programação"), QDir::homePath(),
                             QStringLiteral("Texto (*.txt *.csv);;Todos (*)"));
    if (arquivo.isEmpty())
        return;
    TSisImporta importacao(arquivo, 1);
    if (!importacao.Ok()) {
        Informa(this, importacao.Erro());
        return;
    }
    m_itens.ConcluiLinha();
    const int linhas = m_itens.Importa(importacao, m_regiao);
    Informa(this, QStringLiteral("%1 item(ns) importado(s).").arg(linhas));
}

void TFmTngProg::BitBtn10Click() {
    m_itens.ConcluiLinha();
    const QString pasta = LeIni(QStringLiteral("Caminho"), QStringLiteral("Exportacao"), QDir::homePath());
    const QString arquivo =
        QDir(pasta).filePath(QStringLiteral("ExpProg%1.txt").arg(ui.EdtLote->text().trimmed()));
    GravaExportacao(arquivo, ItensProgramacao::CamposExportados(), m_itens.LinhasExportadas());
    Informa(this, QStringLiteral("Programação exportada para %1.").arg(QDir::toNativeSeparators(arquivo)));
}
