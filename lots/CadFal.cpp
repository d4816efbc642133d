#include "CadFal.h"
#include "Acesso.h"
#include "CaixaPesquisa.h"
#include "ClassRegistry.h"
#include "CorSistema.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "DataContext.h"
#include "FatCliente.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "GradeEdicao.h"
#include "GravacaoAtomica.h"
#include "HostError.h"
#include "HostUi.h"
#include "ImpressaoFal.h"
#include "InstrucoesEmLote.h"
#include "LeiturasFal.h"
#include "Mensagens.h"
#include "ModuleUnits.h"
#include "PaginaConsulta.h"
#include "Protecao.h"
#include "RegrasFal.h"
#include "TClientDataSet.h"
#include "TPesquisa.h"
#include "TZoQuery.h"
#include <QButtonGroup>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <tuple>

TFmCadFal* FmCadFal = nullptr;

namespace {
const QString kTitulo = QStringLiteral("CADASTRO DE FAL");
constexpr double kTolerancia = 0.0005;
// What a save writes of each item, and of each step, in this order.
const QStringList kColunasItem = {
    QStringLiteral("NOTA"),          QStringLiteral("CODIGO"),  QStringLiteral("LOTE"),
    QStringLiteral("ROLO"),          QStringLiteral("PESO"),    QStringLiteral("FLUXO"),
    QStringLiteral("GRAMATURA"),     QStringLiteral("LARGURA"), QStringLiteral("OBSERVACAO"),
    QStringLiteral("GRAMATURA_EST"), QStringLiteral("PESO_NF")};
const QStringList kColunasPasso = {QStringLiteral("CODIGO"),   QStringLiteral("PARTIDA"),
                                   QStringLiteral("ORDEM"),    QStringLiteral("CONCLUIDO"),
                                   QStringLiteral("GRAFICO"),  QStringLiteral("FASE"),
                                   QStringLiteral("DES_FASE"), QStringLiteral("ORD_IT")};

const QString kSemItemNota =
    QStringLiteral("Não existe saldo na Nota Fiscal de entrada. Impossível continuar.");

// The invoice items a sheet's rows would hold weight of.
QList<ItemNota> ItensComPeso(const QHash<ItemNota, double>& pesos) {
    QList<ItemNota> itens;
    for (auto it = pesos.cbegin(); it != pesos.cend(); ++it)
        if (it.value() > kTolerancia)
            itens << it.key();
    return itens;
}

QString Texto(TDataSet& linha, const QString& campo) {
    return linha.FieldByName(campo).AsString().trimmed();
}
} // namespace

KELM_SCREEN_UNIT(CadFal, TFmCadFal, {{QStringLiteral("WTngFAL"), LayoutFal}});

TFmCadFal::TFmCadFal(QWidget* parent)
    : TForm(parent), TbItens(new TClientDataSet(this)), m_tipos(new QButtonGroup(this)) {
    setObjectName(QStringLiteral("FmCadFal"));
    setWindowTitle(QStringLiteral("Cadastro de FAL"));
    ui.setupUi(this);
    const QList<QRadioButton*> tipos = {ui.RbTipo1, ui.RbTipo2, ui.RbTipo3,
                                        ui.RbTipo4, ui.RbTipo5, ui.RbTipo6};
    for (int i = 0; i < tipos.size(); ++i)
        m_tipos->addButton(tipos.at(i), i + 1);
    connect(ui.BtnIncluir, &QPushButton::clicked, this, Protegido([this] { BtnIncluirClick(); }));
    connect(ui.BtnExclui, &QPushButton::clicked, this, Protegido([this] { BtnExcluiClick(); }));
    connect(ui.BitBtn3, &QPushButton::clicked, this, Protegido([this] { BitBtn3Click(); }));
    connect(ui.BitBtn4, &QPushButton::clicked, this, Protegido([this] { BitBtn4Click(); }));
    connect(ui.BitBtn5, &QPushButton::clicked, this, Protegido([this] { BitBtn5Click(); }));
    connect(ui.BitBtn7, &QPushButton::clicked, this, Protegido([this] { BitBtn7Click(); }));
    connect(ui.BtnServicos, &QPushButton::clicked, this, Protegido([this] { BtnServicosClick(); }));
    connect(ui.BtnQualidade, &QPushButton::clicked, this, Protegido([this] { BtnQualidadeClick(); }));
    connect(ui.btnDesmembrar, &QPushButton::clicked, this, Protegido([this] { btnDesmembrarClick(); }));
    connect(ui.BitBtn8, &QPushButton::clicked, this, Protegido([this] { BitBtn8Click(); }));
    connect(ui.BitBtn9, &QPushButton::clicked, this, Protegido([this] { BitBtn9Click(); }));
    connect(ui.BtnFechar, &QPushButton::clicked, this, [this] { close(); });
    DeclaraCaixas();
}

// The header's codes; what a code brings along (the customer's name and price table, the route of every
// row) and the checks over several boxes are the exit rules' (CampoValido).
void TFmCadFal::DeclaraCaixas() {
    const struct {
        QLineEdit* caixa;
        const char* titulo;
        const char* tabela;
        const char* chave;
        const char* descricao;
        const char* recusa;
    } caixas[] = {
        {ui.EdtCodCli, "Clientes", "ENTIDADE", "CODCLI", "NOME", "Cliente não encontrado."},
        {ui.EdtCor, "Cores", "CADCORTIN", "CODIGO", "DESCRICAO", "Cor não encontrada."},
        {ui.EdtVariante, "Variantes", "VARIANTE", "CODIGO", "DESCRICAO", "Variante não encontrado."},
        {ui.EdtRoteiro, "Roteiros", "ROTEIRO", "CODIGO", "DESCRICAO", "Roteiro não encontrado."},
        {ui.EdtMaquina, "Máquinas", "MAQ_TIN", "CODIGO", "DESCRICAO", "Máquina não encontrada."},
        {ui.EdtTabPreco, "Tabelas de preço", "TABPRECO", "REGIAO", "", "Tabela de preço não encontrada."}};
    for (const auto& c : caixas) {
        DeclaracaoCaixa d;
        d.caixa = c.caixa;
        d.titulo = QString::fromUtf8(c.titulo);
        d.tabela = QLatin1String(c.tabela);
        d.chave = QLatin1String(c.chave);
        d.campoDescricao = QLatin1String(c.descricao);
        d.recusa = QString::fromUtf8(c.recusa);
        d.distintos = qstrcmp(c.tabela, "ROTEIRO") == 0; // a route is one row per step
        DeclaraCaixa(d);
    }
    SaidaSemConferencia(ui.BtnFechar);
}

void TFmCadFal::FormCreate() {
    DicaTeclas({ui.DBGrid1},
               QStringLiteral(
                   "F4: notas com saldo do cliente (coluna NF), peças da nota (coluna Tecido) · F3: pesquisa "
                   "de produtos (coluna Tecido) · Insert: linha nova · Ctrl+Del: exclui a linha"));
    DescartaAspas = true;
    TbItens->setObjectName(QStringLiteral("TbItens"));
    TbItens->AddField(QStringLiteral("NF"), QMetaType::QString, 9)
        .AddField(QStringLiteral("Tecido"), QMetaType::QString, 15)
        .AddField(QStringLiteral("Lote"), QMetaType::QString, 25)
        .AddField(QStringLiteral("Descricao"), QMetaType::QString, 40)
        .AddField(QStringLiteral("Preco"), QMetaType::Double)
        .AddField(QStringLiteral("Rolo"), QMetaType::Int)
        .AddField(QStringLiteral("Gram"), QMetaType::Double)
        .AddField(QStringLiteral("Peso"), QMetaType::Double)
        .AddField(QStringLiteral("Larg"), QMetaType::Double)
        .AddField(QStringLiteral("Disp"), QMetaType::Double)
        .AddField(QStringLiteral("Fluxo"), QMetaType::QString, 3)
        .AddField(QStringLiteral("Peso_Fatur"), QMetaType::Double)
        .AddField(QStringLiteral("Observacao"), QMetaType::QString, 100)
        .AddField(QStringLiteral("Dt_Fatura"), QMetaType::QDate)
        .AddField(QStringLiteral("Faturado"), QMetaType::QString, 1)
        .AddField(QStringLiteral("Gramatura_Est"), QMetaType::Double)
        .AddField(QStringLiteral("Tecido_Orig"), QMetaType::QString, 15)
        .AddField(QStringLiteral("Ord_It"), QMetaType::Int);
    TbItens->CreateDataSet();
    TbItens->AfterInsert = [this](TDataSet& linha) { NovaLinha(linha); };
    TbItens->AfterPost = [this](TDataSet&) { AtualizaTotal(); };
    TbItens->AfterDelete = [this](TDataSet&) { AtualizaTotal(); };
    ui.DBGrid1->SetDataSet(TbItens);
    ui.DBGrid1->SetReadOnly(false);
    ui.DBGrid1->DeclaraColunas({{"NF", "NF"},
                                {"Tecido", "Tecido"},
                                {"Lote", "Lote"},
                                ColunaGrade("Descricao", "Descrição").SomenteLeitura(),
                                ColunaGrade("Preco", "Preço").SomenteLeitura(),
                                {"Rolo", "Rolo"},
                                {"Gram", "Gramatura"},
                                {"Peso", "Peso (kg)"},
                                {"Larg", "Largura (m)"},
                                ColunaGrade("Disp", "Disponível (kg)").SomenteLeitura(),
                                {"Fluxo", "Fluxo"},
                                ColunaGrade("Peso_Fatur", "Peso faturado (kg)").SomenteLeitura(),
                                ColunaGrade("Observacao", "Observação").Largura(30),
                                ColunaGrade("Dt_Fatura", "Data da fatura").SomenteLeitura(),
                                ColunaGrade("Faturado", "Faturado").SomenteLeitura().Textos(TextosSimNao()),
                                {"Gramatura_Est", "Gramatura est."}});
    ui.DBGrid1->OnKeyDown = [this](QKeyEvent* tecla) { return DBGrid1KeyDown(tecla); };
    PreparaConsulta();
    for (int dias = 0; dias <= 91; dias += 7)
        ui.CbPrazo->addItem(QString::number(dias).rightJustified(2, QLatin1Char('0')));
    const QDate hoje = QDate::currentDate();
    ui.EdtConsDataIni->setDate(QDate(hoje.year(), hoje.month(), 1));
    ui.EdtConsDataFin->setDate(QDate(hoje.year(), hoje.month(), hoje.daysInMonth()));
    // The screen's parameters, read at once.
    QHash<int, QString> parametros;
    {
        TZoQuery q;
        q.SQL << QStringLiteral(
                     "SELECT NUMERO, VALOR FROM %1 WHERE MODULO = 'TIN' AND NUMERO IN (20, 150, 190, "
                     "240, 250)")
                     .arg(DBLocal(QStringLiteral("PARAMETROS")));
        q.Open();
        for (q.First(); !q.Eof(); q.Next())
            parametros.insert(q.Fields(0).AsInteger(), q.Fields(1).AsString().trimmed());
    }
    m_modoProduto = parametros.value(150).toUpper();
    m_idadePreco = parametros.value(240).toInt();
    m_credito = parametros.value(250).toUpper() == QLatin1String("S");
    m_verificaPreco = parametros.value(190).toUpper() == QLatin1String("S");
    m_diasEntrega = parametros.value(20).toInt();
    ui.BtnQualidade->setEnabled(ClassRegistered(QStringLiteral("TfmContrQul")));
    VigiaAlteracoes({TbItens},
                    {ui.EdtPartida, ui.EdtOrdem,   ui.EdtCodCli,  ui.EdtTabPreco, ui.EdtCor,  ui.EdtVariante,
                     ui.EdtMaquina, ui.EdtRoteiro, ui.EdtFibra1,  ui.EdtFibra2,   ui.EdtObs,  ui.EdtEstampa,
                     ui.EdtVarEst,  ui.EdtDataIni, ui.EdtDataFin, ui.CbPrazo,     ui.RbTipo1, ui.RbTipo2,
                     ui.RbTipo3,    ui.RbTipo4,    ui.RbTipo5,    ui.RbTipo6},
                    ui.BtnIncluir);
    LimpaTela();
    ui.EdtFal->setFocus();
    PublicaInstancia(FmCadFal);
}

// The sheets under the filters, a window at a time in number order: the primary key walks the windows. The
// customer's name and what each sheet went to (programme, issue, billing and return documents) are read for
// the window's rows only, not for every sheet of a big customer before the window is cut.
void TFmCadFal::PreparaConsulta() {
    m_consulta = new PaginaConsulta(this, ui.DBGrid2);
    TPesquisa& lista = m_consulta->pesquisa;
    lista.SQL = QStringLiteral("SELECT NUMERO, CLIENTE, DATA_INI, COR, VARIANTE, PARTIDA FROM FAL");
    lista.SobreJanela =
        QStringList{
            QStringLiteral(
                "SELECT W.NUMERO, W.CLIENTE, CLIENTE.NOME, W.DATA_INI, W.COR, W.VARIANTE, W.PARTIDA,"),
            QStringLiteral("(SELECT FIRST 1 TNG_PROG.NUMERO FROM TNG_PROG WHERE TNG_PROG.FAL = W.NUMERO) AS "
                           "PROGRAMACAO,"),
            QStringLiteral("(SELECT FIRST 1 TNG_CONSUMOS.FALS FROM TNG_CONSUMOS WHERE TNG_CONSUMOS.FAL = "
                           "W.NUMERO) AS FALS,"),
            QStringLiteral("(SELECT CAST(MAX(NI.FATURA) AS VARCHAR(7)) FROM NOTAITEN NI JOIN NATUREZA NA ON "
                           "(NA.NATUREZA = NI.NATUREZA) WHERE NA.TIPO = 'V' AND NI.PEDIDO = W.NUMERO) AS "
                           "NOTA_COB,"),
            QStringLiteral(
                "(SELECT CAST(MAX(NI.FATURA) AS VARCHAR(7)) FROM FAL_ITEN FI JOIN NOTAITEN NI ON "
                "(NI.NOTA_CLIENTE = FI.NOTA AND NI.CODIGO = FI.CODIGO) JOIN NATUREZA NA ON "
                "(NA.NATUREZA = NI.NATUREZA) WHERE NA.TIPO = 'D' AND FI.FAL = W.NUMERO) AS NOTA_DEV"),
            QStringLiteral("FROM %1 W LEFT JOIN ENTIDADE CLIENTE ON (CLIENTE.CODCLI = W.CLIENTE)")}
            .join(QLatin1Char(' '));
    lista.CampoChave = QStringLiteral("NUMERO");
    lista.OrdenarPor = QStringLiteral("P.NUMERO");
    m_consulta->abre = [this] {
        const QString numero =
            m_consulta->Linhas()->FieldByName(QStringLiteral("NUMERO")).AsString().trimmed();
        ui.PageControl1->setCurrentWidget(ui.TsCadastro);
        ui.EdtFal->setText(numero);
        EdtFalExit();
    };
    ui.DBGrid2->DeclaraColunas({{"NUMERO", "FAL"},
                                {"CLIENTE", "Cliente"},
                                ColunaGrade("NOME", "Nome").Largura(30),
                                {"DATA_INI", "Entrada"},
                                {"COR", "Cor"},
                                {"VARIANTE", "Variante"},
                                {"PROGRAMACAO", "Programação"},
                                ColunaGrade("FALS", "FALs").Largura(20),
                                {"NOTA_COB", "Nota de cobrança"},
                                {"NOTA_DEV", "Nota de devolução"}});
}

QString TFmCadFal::Numero() const {
    return ui.EdtFal->text().trimmed();
}

int TFmCadFal::Tipo() const {
    return m_tipos->checkedId() > 0 ? m_tipos->checkedId() : falNormal;
}

void TFmCadFal::HabilitaGravacao(bool habilita) {
    for (QPushButton* botao : {ui.BtnIncluir, ui.BtnExclui, ui.BitBtn4, ui.BitBtn7})
        botao->setEnabled(habilita);
    // Written off, the sheet can still be released for billing.
    ui.BitBtn7->setEnabled(habilita || m_falCarregada == Numero());
}

void TFmCadFal::LimpaTela() {
    QScopedValueRollback<bool> carregando(m_carregando, true);
    for (QLineEdit* box :
         {ui.EdtReproc, ui.EdtPartida, ui.EdtOrdem, ui.EdtCodCli, ui.EdtNomeCli, ui.EdtTabPreco, ui.EdtCor,
          ui.EdtDescCor, ui.EdtVariante, ui.EdtMaquina, ui.EdtRoteiro, ui.EdtSituacao, ui.EdtFibra1,
          ui.EdtFibra2, ui.EdtObs, ui.EdtEstampa, ui.EdtVarEst, ui.EdtTotPeso})
        box->clear();
    ui.RbTipo1->setChecked(true);
    ui.CbPrazo->setCurrentIndex(0);
    const QDate hoje = QDate::currentDate();
    ui.EdtDataIni->setDate(hoje);
    ui.EdtDataFin->setDate(hoje.addDays(m_diasEntrega));
    MostraCor(QVariant());
    TbItens->EmptyDataSet();
    m_falCarregada.clear();
    m_corCarregada.clear();
    m_varianteCarregada.clear();
    m_reprocCarregado.clear();
    m_servicosDe.clear();
    HabilitaGravacao(true);
    AlteracoesGravadas();
}

// The colour's display colour (COR_SIS) on the panel beside its description; none leaves the panel plain.
void TFmCadFal::MostraCor(const QVariant& corSistema) {
    const QColor cor = CorDoSistema(corSistema);
    QPalette paleta = ui.PnCor->palette();
    paleta.setColor(QPalette::Window, cor.isValid() ? cor : palette().color(QPalette::Window));
    ui.PnCor->setPalette(paleta);
    ui.PnCor->setToolTip(cor.isValid() ? cor.name().toUpper() : QString());
}

void TFmCadFal::NovoNumero() {
    ui.EdtFal->setText(Proximo(QStringLiteral("FAL"), QStringLiteral("NUMERO"), 6, true));
    m_numeroVerificado = Numero();
}

void TFmCadFal::Argumentos(const ArgumentosTela& argumentos) {
    const QString numero = argumentos.value(QStringLiteral("FAL")).toString().trimmed();
    if (numero.isEmpty())
        return;
    ui.PageControl1->setCurrentWidget(ui.TsCadastro);
    ui.EdtFal->setText(numero);
    EdtFalExit();
}

// The number left as it was shows the sheet as stored now: read again unless it has edits, which are kept;
// its situation is read again all the same.
void TFmCadFal::EdtFalExit() {
    const QString numero = Numero();
    if (!numero.isEmpty() && numero == m_numeroVerificado) {
        if (numero != m_falCarregada)
            return;
        if (TemAlteracoes()) {
            ui.EdtSituacao->setText(SituacaoFal(numero));
            return;
        }
    }
    m_numeroVerificado = numero;
    if (!numero.isEmpty()) {
        const FalLida lida = BuscaDados(numero);
        if (lida == falBaixada) {
            HabilitaGravacao(false);
            Informa(this, QStringLiteral("FAL já baixada. Disponível apenas para consulta."));
        }
        if (lida != falInexistente)
            return;
    }
    LimpaTela();
    if (numero.isEmpty())
        NovoNumero();
}

bool TFmCadFal::FalArmazenada(const QString& numero) {
    return Existe(QStringLiteral("FAL"), QStringLiteral("NUMERO"), QVariantList{numero});
}

// The sheet with its state and its items: two reads, whatever the sheet holds. A copy (the model of a
// reprocess) keeps the number on the screen and what is stored under it, and leaves the billing state of the
// items behind.
TFmCadFal::FalLida TFmCadFal::BuscaDados(const QString& numero, bool copia) {
    const QStringList carregada = {m_falCarregada, m_corCarregada, m_varianteCarregada, m_reprocCarregado};
    LimpaTela();
    QScopedValueRollback<bool> carregando(m_carregando, true);
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT FAL.*, CLIENTE.NOME, CADCOR.DESCRICAO AS DESC_COR, CADCOR.COR_SIS,")
          << QStringLiteral(
                 "(SELECT MIN(I.FATURADO) FROM FAL_ITEN I WHERE I.FAL = FAL.NUMERO) AS FATURADO_MIN")
          << QStringLiteral("FROM FAL LEFT JOIN ENTIDADE CLIENTE ON (CLIENTE.CODCLI = FAL.CLIENTE)")
          << QStringLiteral("LEFT JOIN CADCORTIN CADCOR ON (CADCOR.CODIGO = FAL.COR)")
          << QStringLiteral("WHERE FAL.NUMERO = :NUMERO");
    q.BindValue(QStringLiteral("NUMERO"), numero);
    q.Open();
    if (q.IsEmpty())
        return falInexistente;
    auto campo = [&q](const char* nome) { return q.FieldByName(QLatin1String(nome)).AsString().trimmed(); };
    ui.EdtReproc->setText(campo("NUM_REPROC"));
    ui.EdtPartida->setText(campo("PARTIDA"));
    ui.EdtOrdem->setText(campo("ORDEM"));
    ui.EdtCodCli->setText(campo("CLIENTE"));
    ui.EdtNomeCli->setText(campo("NOME"));
    ui.EdtTabPreco->setText(campo("TABPRECO"));
    ui.EdtCor->setText(campo("COR"));
    ui.EdtDescCor->setText(campo("DESC_COR"));
    MostraCor(q.FieldByName(QStringLiteral("COR_SIS")).Value());
    ui.EdtVariante->setText(campo("VARIANTE"));
    ui.EdtMaquina->setText(campo("MAQUINA"));
    ui.EdtRoteiro->setText(campo("ROTEIRO"));
    ui.EdtFibra1->setText(campo("FIBRA1"));
    ui.EdtFibra2->setText(campo("FIBRA2"));
    ui.EdtObs->setText(campo("OBS"));
    ui.EdtEstampa->setText(campo("ESTAMPA"));
    ui.EdtVarEst->setText(campo("VAR_EST"));
    const int prazo = ui.CbPrazo->findText(campo("PRAZO"));
    ui.CbPrazo->setCurrentIndex(prazo < 0 ? 0 : prazo);
    if (QAbstractButton* tipo = m_tipos->button(q.FieldByName(QStringLiteral("TIPO")).AsInteger()))
        tipo->setChecked(true);
    ui.EdtDataIni->setDate(q.FieldByName(QStringLiteral("DATA_INI")).AsDate());
    ui.EdtDataFin->setDate(q.FieldByName(QStringLiteral("DATA_FIN")).AsDate());
    m_falCarregada = numero;
    m_corCarregada = campo("COR");
    m_varianteCarregada = campo("VARIANTE");
    m_reprocCarregado = campo("NUM_REPROC");
    if (copia) {
        m_falCarregada = carregada.at(0);
        m_corCarregada = carregada.at(1);
        m_varianteCarregada = carregada.at(2);
        m_reprocCarregado = carregada.at(3);
        ui.EdtReproc->setText(numero);
    }

    // Disp: what the item holds plus what its invoice item still has free.
    TZoQuery itens;
    itens.SQL << QStringLiteral("SELECT I.*, P.DESCRICAO, COALESCE(N.PESO, 0) AS LIVRE FROM FAL_ITEN I")
              << QStringLiteral("LEFT JOIN PRODUTO P ON (P.CODIGO = I.CODIGO)")
              << QStringLiteral(
                     "LEFT JOIN NFITIN N ON (N.NOTA = I.NOTA AND N.CODCLI = :CLIENTE AND N.CODIGO = "
                     "I.CODIGO AND N.LOTE = I.LOTE)")
              << QStringLiteral("WHERE I.FAL = :NUMERO ORDER BY I.ORD_IT");
    itens.BindValue(QStringLiteral("CLIENTE"), campo("CLIENTE"));
    itens.BindValue(QStringLiteral("NUMERO"), numero);
    itens.Open();
    TbItens->DisableControls();
    for (itens.First(); !itens.Eof(); itens.Next()) {
        TbItens->Append();
        const QList<QPair<const char*, const char*>> campos = {{"NF", "NOTA"},
                                                               {"Tecido", "CODIGO"},
                                                               {"Lote", "LOTE"},
                                                               {"Descricao", "DESCRICAO"},
                                                               {"Rolo", "ROLO"},
                                                               {"Gram", "GRAMATURA"},
                                                               {"Peso", "PESO"},
                                                               {"Larg", "LARGURA"},
                                                               {"Fluxo", "FLUXO"},
                                                               {"Peso_Fatur", "PESO_FATUR"},
                                                               {"Observacao", "OBSERVACAO"},
                                                               {"Dt_Fatura", "DT_FATURA"},
                                                               {"Faturado", "FATURADO"},
                                                               {"Gramatura_Est", "GRAMATURA_EST"},
                                                               {"Tecido_Orig", "CODIGO"},
                                                               {"Ord_It", "ORD_IT"}};
        for (const auto& [destino, origem] : campos)
            TbItens->FieldByName(QLatin1String(destino)) = itens.FieldByName(QLatin1String(origem)).Value();
        TbItens->FieldByName(QStringLiteral("Disp")) = itens.FieldByName(QStringLiteral("PESO")).AsFloat() +
                                                       itens.FieldByName(QStringLiteral("LIVRE")).AsFloat();
        if (copia) {
            TbItens->FieldByName(QStringLiteral("Faturado")) = QStringLiteral("A");
            TbItens->FieldByName(QStringLiteral("Peso_Fatur")) = QVariant();
            TbItens->FieldByName(QStringLiteral("Dt_Fatura")) = QVariant();
        }
        TbItens->Post();
    }
    TbItens->First();
    TbItens->EnableControls();
    AtualizaTotal();

    if (copia)
        AlteracaoPendente();
    else
        AlteracoesGravadas();
    ui.EdtSituacao->setText(copia ? QString() : SituacaoFal(numero));
    return q.FieldByName(QStringLiteral("FATURADO_MIN")).AsString().trimmed() == QLatin1String("A")
               ? falAberta
               : falBaixada;
}

void TFmCadFal::AtualizaTotal() {
    double total = 0;
    for (int i = 0; i < TbItens->RecordCount(); ++i)
        total += TbItens->ValueAt(i, TbItens->FieldIndex(QStringLiteral("Peso"))).toDouble();
    ui.EdtTotPeso->setText(TextoExibicao(total, 2));
}

// A new row follows the sheet's route; its order is one past the largest, so that stored items keep theirs.
void TFmCadFal::NovaLinha(TDataSet& linha) {
    if (m_carregando)
        return;
    int maior = 0;
    const int ordIt = linha.FieldIndex(QStringLiteral("Ord_It"));
    for (int i = 0; i < linha.RecordCount(); ++i)
        maior = qMax(maior, linha.ValueAt(i, ordIt).toInt());
    linha.FieldByName(QStringLiteral("Ord_It")) = maior + 1;
    linha.FieldByName(QStringLiteral("Fluxo")) = ui.EdtRoteiro->text().trimmed();
    linha.FieldByName(QStringLiteral("Faturado")) = QStringLiteral("A");
    ui.DBGrid1->SelectField(QStringLiteral("NF"));
}

// A row holds its weight of the invoice item it is stored under: a lot or fabric typed over a stored row
// moves the weight with the save, from the item it held to the one it names.
ItemNota TFmCadFal::ItemDaLinha() {
    return {Texto(*TbItens, QStringLiteral("NF")), ui.EdtCodCli->text().trimmed(),
            Texto(*TbItens, QStringLiteral("Tecido")), Texto(*TbItens, QStringLiteral("Lote"))};
}

void TFmCadFal::PesquisaItemNota() {
    TPesquisa pesquisa;
    pesquisa.Titulo = windowTitle();
    pesquisa.Tabela = DBLocal(QStringLiteral("NFITIN"));
    pesquisa.CampoChave = QStringLiteral("CODIGO");
    pesquisa.Campos = {QStringLiteral("CODIGO"), QStringLiteral("DESCRICAO"), QStringLiteral("LOTE"),
                       QStringLiteral("PESO")};
    pesquisa.Filtro =
        QStringLiteral("PESO > 0 AND CODCLI = %1 AND NOTA = %2")
            .arg(Aspas(ui.EdtCodCli->text().trimmed()), Aspas(Texto(*TbItens, QStringLiteral("NF"))));
    pesquisa.TextoVazio = QStringLiteral("Nenhum item com peso a programar na nota %1 do cliente %2.")
                              .arg(Texto(*TbItens, QStringLiteral("NF")), ui.EdtCodCli->text().trimmed());
    if (!pesquisa.AbrePesquisa(this))
        return;
    if (!TbItens->Editing())
        TbItens->Edit();
    TbItens->FieldByName(QStringLiteral("Tecido")) = pesquisa.Chave();
    TbItens->FieldByName(QStringLiteral("Lote")) = pesquisa.RetornoPesquisa(QStringLiteral("LOTE"));
    PreencheItemNota(*TbItens);
}

// Fills the row from its invoice item; several lots of the fabric open the look-up to choose one.
void TFmCadFal::PreencheItemNota(TDataSet& linha) {
    TZoQuery q;
    q.SQL << QStringLiteral(
                 "SELECT NOTA, CODIGO, DESCRICAO, GRAMATURA, LARGURA, CODCLI, LOTE, PESO, ROLOS FROM NFITIN")
          << QStringLiteral("WHERE NOTA = :NOTA AND CODIGO = :CODIGO AND CODCLI = :CODCLI");
    const QString lote = Texto(linha, QStringLiteral("Lote"));
    if (!lote.isEmpty())
        q.SQL << QStringLiteral("AND LOTE = :LOTE");
    q.BindValue(QStringLiteral("NOTA"), Texto(linha, QStringLiteral("NF")));
    q.BindValue(QStringLiteral("CODIGO"), Texto(linha, QStringLiteral("Tecido")));
    q.BindValue(QStringLiteral("CODCLI"), ui.EdtCodCli->text().trimmed());
    if (!lote.isEmpty())
        q.BindValue(QStringLiteral("LOTE"), lote);
    q.Open();
    if (q.IsEmpty())
        throw EAbort();
    if (q.RecordCount() > 1) {
        PesquisaItemNota();
        return;
    }
    if (!linha.Editing())
        linha.Edit();
    linha.FieldByName(QStringLiteral("Tecido")) = q.FieldByName(QStringLiteral("CODIGO")).Value();
    linha.FieldByName(QStringLiteral("Descricao")) =
        q.FieldByName(QStringLiteral("DESCRICAO")).AsString().left(40);
    linha.FieldByName(QStringLiteral("Gram")) = q.FieldByName(QStringLiteral("GRAMATURA")).Value();
    linha.FieldByName(QStringLiteral("Larg")) = q.FieldByName(QStringLiteral("LARGURA")).Value();
    linha.FieldByName(QStringLiteral("Peso")) = q.FieldByName(QStringLiteral("PESO")).Value();
    linha.FieldByName(QStringLiteral("Disp")) = q.FieldByName(QStringLiteral("PESO")).Value();
    linha.FieldByName(QStringLiteral("Lote")) = q.FieldByName(QStringLiteral("LOTE")).Value();
    linha.FieldByName(QStringLiteral("Rolo")) = int(q.FieldByName(QStringLiteral("ROLOS")).AsFloat());
}

bool TFmCadFal::TabNota() {
    const QString nota = Texto(*TbItens, QStringLiteral("NF"));
    if (nota == QLatin1String("0") || Existe(QStringLiteral("NFTIN"), QStringLiteral("NOTA,CLIENTE"),
                                             QVariantList{nota, ui.EdtCodCli->text().trimmed()}))
        return false;
    Informa(this, QStringLiteral("Nota não cadastrada no cliente."));
    return true;
}

bool TFmCadFal::TabTecido() {
    if (m_modoProduto == QLatin1String("S")) {
        TZoQuery q;
        q.SQL << QStringLiteral(
            "SELECT CODIGO, DESCRICAO, GRAMATURA, LARGURA FROM PRODUTO WHERE CODIGO = :CODIGO");
        q.BindValue(QStringLiteral("CODIGO"), Texto(*TbItens, QStringLiteral("Tecido")));
        q.Open();
        if (q.IsEmpty()) {
            Informa(this, QStringLiteral("Produto não cadastrado."));
            return true;
        }
        if (!TbItens->Editing())
            TbItens->Edit();
        TbItens->FieldByName(QStringLiteral("Descricao")) =
            q.FieldByName(QStringLiteral("DESCRICAO")).AsString().left(40);
        TbItens->FieldByName(QStringLiteral("Gram")) = q.FieldByName(QStringLiteral("GRAMATURA")).Value();
        TbItens->FieldByName(QStringLiteral("Larg")) = q.FieldByName(QStringLiteral("LARGURA")).Value();
        return false;
    }
    try {
        PreencheItemNota(*TbItens);
    } catch (const EAbort&) {
        Informa(this, QStringLiteral("Produto não cadastrado na NF."));
        return true;
    }
    return false;
}

bool TFmCadFal::DBGrid1KeyDown(QKeyEvent* tecla) {
    if (TeclaLinhaGrade(*ui.DBGrid1, tecla))
        return true;
    const QString campo = ui.DBGrid1->SelectedField();
    if (campo == QLatin1String("NF")) {
        if (tecla->key() == Qt::Key_F4) {
            TPesquisa pesquisa;
            pesquisa.Titulo = windowTitle();
            pesquisa.Tabela = DBLocal(QStringLiteral("NFTIN"));
            pesquisa.CampoChave = QStringLiteral("NOTA");
            pesquisa.Campos = {QStringLiteral("NOTA"), QStringLiteral("DATA"), QStringLiteral("SALDO")};
            pesquisa.Filtro =
                QStringLiteral("cliente = %1 and saldo > 0 ").arg(Aspas(ui.EdtCodCli->text().trimmed()));
            pesquisa.TextoVazio = QStringLiteral("Nenhuma nota com saldo para o cliente %1.")
                                      .arg(ui.EdtCodCli->text().trimmed());
            if (pesquisa.AbrePesquisa(this)) {
                if (!TbItens->Editing())
                    TbItens->Edit();
                TbItens->FieldByName(QStringLiteral("NF")) = pesquisa.Chave();
            }
            return true;
        }
        return tecla->key() == Qt::Key_Tab && TabNota();
    }
    if (campo == QLatin1String("Tecido")) {
        if (tecla->key() == Qt::Key_F4) {
            PesquisaItemNota();
            return true;
        }
        if (tecla->key() == Qt::Key_F3) {
            TPesquisa::PesquisaCampo(this, windowTitle(), QStringLiteral("PRODUTO"), TbItens,
                                     QStringLiteral("Tecido"));
            return true;
        }
        return tecla->key() == Qt::Key_Tab && TabTecido();
    }
    return false;
}

// The exit rules of the sheet's boxes past the box's own check of its code; false after the message when the
// value is not valid.
bool TFmCadFal::CampoValido(QWidget* control) {
    auto recusa = [this, control](const QString& texto) {
        Informa(this, texto);
        control->setFocus();
        return false;
    };
    if (control == ui.EdtCodCli) {
        const QString cliente = ui.EdtCodCli->text().trimmed();
        if (cliente.isEmpty())
            return true;
        ui.EdtNomeCli->setText(Busca_Valor(QStringLiteral("ENTIDADE"), QStringLiteral("CODCLI"),
                                           QStringLiteral("NOME"), {cliente}));
        if (ui.EdtTabPreco->text().trimmed().isEmpty())
            ui.EdtTabPreco->setText(Busca_Valor(QStringLiteral("ENTIDADE"), QStringLiteral("CODCLI"),
                                                QStringLiteral("TABELA"), {cliente}));
        return true;
    }
    if (control == ui.EdtCor) {
        const QString cor = ui.EdtCor->text().trimmed();
        if (cor.isEmpty())
            return true;
        const CorCadastrada lida = LeCorCadastrada(cor).value_or(CorCadastrada{});
        ui.EdtDescCor->setText(lida.descricao);
        MostraCor(lida.corSistema);
        return true;
    }
    if (control == ui.EdtTabPreco) {
        const QString regiao = ui.EdtTabPreco->text().trimmed();
        return regiao.isEmpty() ||
               !Existe(QStringLiteral("TABPRECO"), QStringLiteral("REGIAO,LIBERADO"),
                       QVariantList{regiao, QStringLiteral("N")}) ||
               recusa(QStringLiteral("Tabela de preço não Liberada."));
    }
    if (control == ui.EdtVariante) {
        const QString variante = ui.EdtVariante->text().trimmed();
        if (variante.isEmpty())
            return true;
        const QString cor = ui.EdtCor->text().trimmed();
        if (!Existe(QStringLiteral("RECEITA"), QStringLiteral("VARIANTE,COR"), QVariantList{variante, cor}))
            return recusa(QStringLiteral("Variante + Cor sem Receita."));
        if (!Existe(QStringLiteral("RECEITA"), QStringLiteral("VARIANTE,COR,LIBERADA"),
                    QVariantList{variante, cor, QStringLiteral("1")}))
            return recusa(QStringLiteral("Receita não Liberada."));
        return true;
    }
    if (control == ui.EdtRoteiro) {
        const QString roteiro = ui.EdtRoteiro->text().trimmed();
        if (roteiro.isEmpty())
            return true;
        const int fluxo = TbItens->FieldIndex(QStringLiteral("Fluxo"));
        for (int i = 0; i < TbItens->RecordCount(); ++i)
            TbItens->SetValueAt(i, fluxo, roteiro);
        return true;
    }
    return true;
}

bool TFmCadFal::SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason) {
    if (next == ui.BtnFechar)
        return true;
    if (control == ui.EdtFal) {
        EdtFalExit();
        return true;
    }
    return CampoValido(control);
}

// What the stored items of a sheet hold of each invoice item, read in the caller's unit of work.
QHash<ItemNota, double> TFmCadFal::PesoGravado(const QString& numero, const QString& cliente) {
    QHash<ItemNota, double> pesos;
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT NOTA, CODIGO, LOTE, SUM(PESO_NF) FROM FAL_ITEN WHERE FAL = :FAL")
          << QStringLiteral("GROUP BY NOTA, CODIGO, LOTE");
    q.BindValue(QStringLiteral("FAL"), numero);
    q.Open();
    for (q.First(); !q.Eof(); q.Next())
        pesos[{q.Fields(0).AsString().trimmed(), cliente, q.Fields(1).AsString().trimmed(),
               q.Fields(2).AsString().trimmed()}] += q.Fields(3).AsFloat();
    return pesos;
}

// The invoice items of the sheet being reprocessed, as "nota|codigo|lote".
QSet<QString> TFmCadFal::ItensDoReprocessado() {
    QSet<QString> itens;
    const QString reproc = ui.EdtReproc->text().trimmed();
    if (reproc.isEmpty())
        return itens;
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT NOTA, CODIGO, LOTE FROM FAL_ITEN WHERE FAL = :FAL");
    q.BindValue(QStringLiteral("FAL"), reproc);
    q.Open();
    for (q.First(); !q.Eof(); q.Next())
        itens.insert(q.Fields(0).AsString().trimmed() + u'|' + q.Fields(1).AsString().trimmed() + u'|' +
                     q.Fields(2).AsString().trimmed());
    return itens;
}

// What the sheet's rows would hold of each invoice item; `doReprocessado` as ItensDoReprocessado reads it.
QHash<ItemNota, double> TFmCadFal::PesoNaTela(const QSet<QString>& doReprocessado) {
    QHash<ItemNota, double> pesos;
    for (int i = 0; i < TbItens->RecordCount(); ++i) {
        TbItens->MoveTo(i);
        const ItemNota item = ItemDaLinha();
        const bool repetido = doReprocessado.contains(item.nota + u'|' + item.codigo + u'|' + item.lote);
        pesos[item] +=
            PesoTomadoNota(Tipo(), TbItens->FieldByName(QStringLiteral("Peso")).AsFloat(), repetido);
    }
    return pesos;
}

// The open value of the customer's other sheets, plus this sheet at its price.
double TFmCadFal::ValorEmAberto(const QString& cliente, const QString& numero) {
    double total = 0;
    for (int i = 0; i < TbItens->RecordCount(); ++i)
        total += TbItens->ValueAt(i, TbItens->FieldIndex(QStringLiteral("Peso"))).toDouble();
    return ValorAbertoFals(cliente, {numero}) +
           total * RetornaPreco(ui.EdtTabPreco->text().trimmed(), ui.EdtCor->text().trimmed(),
                                ui.EdtVariante->text().trimmed(), ui.CbPrazo->currentText());
}

// The checks of a save, in order, before anything is written; false after the message.
bool TFmCadFal::ValidaGravacao(bool& liberadoCredito) {
    const QString numero = Numero(), cor = ui.EdtCor->text().trimmed(),
                  variante = ui.EdtVariante->text().trimmed();
    if (!ui.EdtDataIni->date().isValid() || ui.EdtDataIni->date() == ui.EdtDataIni->minimumDate()) {
        Informa(this, QStringLiteral("Data de Entrada Inválida."));
        ui.EdtDataIni->setFocus();
        return false;
    }
    if (!ui.EdtDataFin->date().isValid() || ui.EdtDataFin->date() == ui.EdtDataFin->minimumDate()) {
        Informa(this, QStringLiteral("Data de Entrega Inválida."));
        ui.EdtDataFin->setFocus();
        return false;
    }
    if (ui.CbPrazo->currentText().trimmed().isEmpty()) {
        Informa(this, QStringLiteral("Prazo inválido. Impossível continuar."));
        return false;
    }
    // A sheet without items would open as written off.
    if (TbItens->IsEmpty()) {
        Informa(this, QStringLiteral("FAL sem itens. Impossível continuar."));
        ui.DBGrid1->setFocus();
        return false;
    }
    const QString reproc = ui.EdtReproc->text().trimmed();
    if (!reproc.isEmpty() && reproc == numero) {
        Informa(this, QStringLiteral("FAL de reprocesso não pode ser a mesma FAL original."));
        return false;
    }
    double total = 0;
    for (int i = 0; i < TbItens->RecordCount(); ++i)
        total += TbItens->ValueAt(i, TbItens->FieldIndex(QStringLiteral("Peso"))).toDouble();
    TZoQuery maquina;
    maquina.SQL << QStringLiteral("SELECT PESO_MIN, PESO_MAX FROM MAQ_TIN WHERE CODIGO = :CODIGO");
    maquina.BindValue(QStringLiteral("CODIGO"), ui.EdtMaquina->text().trimmed());
    maquina.Open();
    if (!maquina.IsEmpty()) {
        const QString fora =
            ForaLimiteMaquina(total, maquina.Fields(0).AsFloat(), maquina.Fields(1).AsFloat());
        if (!fora.isEmpty()) {
            Informa(this, fora);
            return false;
        }
    }
    for (int i = 0; i < TbItens->RecordCount(); ++i) {
        TbItens->MoveTo(i);
        const QString tecido = Texto(*TbItens, QStringLiteral("Tecido")),
                      original = Texto(*TbItens, QStringLiteral("Tecido_Orig"));
        if (original.isEmpty() || tecido == original)
            continue;
        if (Existe(QStringLiteral("PROCESSO_TIN"), QStringLiteral("FAL,CODIGO,CONCLUIDO"),
                   QVariantList{numero, original, QStringLiteral("S")}) &&
            !Pergunta(this, windowTitle(),
                      QStringLiteral("Tecido %1 possui processo concluído. Deseja continuar?").arg(original),
                      false))
            return false;
    }
    if (!m_falCarregada.isEmpty() && cor != m_corCarregada &&
        Existe(QStringLiteral("TNG_CONSUMOS"), QStringLiteral("FAL,BAIXADO"),
               QVariantList{numero, QStringLiteral("S")})) {
        Informa(this, QStringLiteral("Consumo da FAL já baixado. Impossível alterar a cor."));
        return false;
    }
    const QString regiao = ui.EdtTabPreco->text().trimmed();
    if (Tipo() == falNormal && m_verificaPreco) {
        const QString semPreco = VerificaPreco(regiao, cor, variante, ui.CbPrazo->currentText());
        if (!semPreco.isEmpty()) {
            Informa(this, semPreco);
            return false;
        }
    }
    if (Existe(QStringLiteral("RECEITA"), QStringLiteral("COR,VARIANTE,LIBERADA"),
               QVariantList{cor, variante, QStringLiteral("2")})) {
        Informa(this, QStringLiteral("Receita não Liberada."));
        return false;
    }
    if (const QString recusa =
            RecusaIdadePreco(UltimaAlteracaoPreco(regiao, cor, variante), m_idadePreco, QDate::currentDate());
        !recusa.isEmpty()) {
        Informa(this, recusa);
        return false;
    }
    if (!ui.EdtEstampa->text().trimmed().isEmpty()) {
        TZoQuery quadros;
        quadros.SQL
            << QStringLiteral(
                   "SELECT EST_QUADRO.QUADRO, QUADRO.CODIGO, QUADRO.ATIVO, QUADRO.PORTADOR, ENTIDADE.NOME")
            << QStringLiteral("FROM EST_QUADRO LEFT JOIN QUADRO ON (EST_QUADRO.QUADRO = QUADRO.CODIGO)")
            << QStringLiteral("LEFT JOIN ENTIDADE ON (QUADRO.PORTADOR = ENTIDADE.CODCLI)")
            << QStringLiteral("WHERE EST_QUADRO.ESTAMPA = :ESTAMPA AND EST_QUADRO.VARIANTE = :VARIANTE AND "
                              "QUADRO.ATIVO = 'N'");
        quadros.BindValue(QStringLiteral("ESTAMPA"), ui.EdtEstampa->text().trimmed());
        quadros.BindValue(QStringLiteral("VARIANTE"), ui.EdtVarEst->text().trimmed());
        quadros.Open();
        if (!quadros.IsEmpty()) {
            Informa(this, QStringLiteral("Quadro/Cilindro da Estampa inativo. Portador %1.")
                              .arg(quadros.FieldByName(QStringLiteral("NOME")).AsString().trimmed()));
            return false;
        }
    }
    liberadoCredito = false;
    if (m_credito && reproc.isEmpty() && (Tipo() == falNormal || Tipo() == falSoServico)) {
        const QString cliente = ui.EdtCodCli->text().trimmed();
        if (!LimiteCredito(cliente, ValorEmAberto(cliente, numero))) {
            Informa(this, QStringLiteral("Cliente Excedeu o Limite de Crédito."));
            if (!Acessa(QStringLiteral("TFmCadFal"), QStringLiteral("A"), QStringLiteral("1"), QString()))
                return false;
            liberadoCredito = true;
        }
    }
    // Free weight, summed per invoice item, against what this save would take more than it holds.
    const QHash<ItemNota, double> novo = PesoNaTela(ItensDoReprocessado());
    if (ItemNotaInexistente(ItensComPeso(novo))) {
        Informa(this, kSemItemNota);
        return false;
    }
    const QHash<ItemNota, double> gravado = m_falCarregada.isEmpty()
                                                ? QHash<ItemNota, double>()
                                                : PesoGravado(m_falCarregada, ui.EdtCodCli->text().trimmed());
    const QHash<ItemNota, double> livres = PesosLivresNota(novo.keys());
    for (auto it = novo.cbegin(); it != novo.cend(); ++it) {
        const double falta = it.value() - gravado.value(it.key()) - livres.value(it.key());
        if (falta <= kTolerancia)
            continue;
        if (m_modoProduto != QLatin1String("S")) {
            Informa(this, QStringLiteral("Peso Programado maior que disponível."));
            return false;
        }
        if (!Pergunta(this, windowTitle(),
                      QStringLiteral("Não existe saldo na Nota Fiscal de entrada. Deseja continuar?"), false))
            return false;
        break;
    }
    return true;
}

// The save's right, checks and writes; true once stored.
bool TFmCadFal::Grava() {
    if (!Acessa(QStringLiteral("TFmCadFal"), QStringLiteral("A"), QStringLiteral("0"), QString()))
        return false;
    if (Numero().isEmpty())
        return false;
    TbItens->CheckBrowseMode();
    bool liberadoCredito = false;
    return ValidaGravacao(liberadoCredito) && GravaDados(liberadoCredito);
}

void TFmCadFal::BtnIncluirClick() {
    if (!Grava())
        return;
    LimpaTela();
    ui.EdtFal->clear();
    m_numeroVerificado.clear();
    if (ui.PageControl1->currentWidget() == ui.TsConsulta)
        BitBtn5Click();
    ui.EdtFal->setFocus();
}

// The header as the screen shows it, column by column in the order it is written.
QList<QPair<QString, QVariant>> TFmCadFal::CabecalhoDaTela(const QDate& entrada, const QDate& entrega,
                                                           const QString& status) {
    auto numeroOuNulo = [](const QString& texto) {
        double valor = 0;
        return LeNumero(texto.trimmed(), valor) ? QVariant(valor) : QVariant();
    };
    const QString ordem = ui.EdtOrdem->text().trimmed();
    return {{QStringLiteral("CLIENTE"), ui.EdtCodCli->text().trimmed()},
            {QStringLiteral("COR"), ui.EdtCor->text().trimmed()},
            {QStringLiteral("VARIANTE"), ui.EdtVariante->text().trimmed()},
            {QStringLiteral("ROTEIRO"), ui.EdtRoteiro->text().trimmed()},
            {QStringLiteral("MAQUINA"), ui.EdtMaquina->text().trimmed()},
            {QStringLiteral("TABPRECO"), ui.EdtTabPreco->text().trimmed()},
            {QStringLiteral("FIBRA1"), numeroOuNulo(ui.EdtFibra1->text())},
            {QStringLiteral("FIBRA2"), numeroOuNulo(ui.EdtFibra2->text())},
            {QStringLiteral("PRAZO"), ui.CbPrazo->currentText()},
            {QStringLiteral("DATA_INI"), entrada},
            {QStringLiteral("DATA_FIN"), entrega},
            {QStringLiteral("OBS"), ui.EdtObs->text().trimmed()},
            {QStringLiteral("TIPO"), Tipo()},
            {QStringLiteral("STATUS"), status},
            {QStringLiteral("ORDEM"), ordem.isEmpty() ? QVariant() : QVariant(ordem.toInt())},
            {QStringLiteral("PARTIDA"), ui.EdtPartida->text().trimmed()},
            {QStringLiteral("ESTAMPA"), ui.EdtEstampa->text().trimmed()},
            {QStringLiteral("VAR_EST"), ui.EdtVarEst->text().trimmed()},
            {QStringLiteral("NUM_REPROC"), ui.EdtReproc->text().trimmed()}};
}

// The current row as a save writes it, in the order of kColunasItem; `doReprocessado` as ItensDoReprocessado
// reads it.
QStringList TFmCadFal::LinhaDaTela(int tipo, const QSet<QString>& doReprocessado) {
    const ItemNota item = ItemDaLinha();
    const double peso = TbItens->FieldByName(QStringLiteral("Peso")).AsFloat();
    return {ValorSql(item.nota),
            ValorSql(item.codigo),
            ValorSql(Texto(*TbItens, QStringLiteral("Lote"))),
            ValorSql(TbItens->FieldByName(QStringLiteral("Rolo")).Value()),
            ValorSql(peso),
            ValorSql(Texto(*TbItens, QStringLiteral("Fluxo"))),
            ValorSql(TbItens->FieldByName(QStringLiteral("Gram")).Value()),
            ValorSql(TbItens->FieldByName(QStringLiteral("Larg")).Value()),
            ValorSql(Texto(*TbItens, QStringLiteral("Observacao"))),
            ValorSql(TbItens->FieldByName(QStringLiteral("Gramatura_Est")).Value()),
            ValorSql(PesoTomadoNota(
                tipo, peso, doReprocessado.contains(item.nota + u'|' + item.codigo + u'|' + item.lote)))};
}

// The grid's rows as the steps are laid out from them.
QList<ItemPasso> TFmCadFal::ItensDaTela() {
    QList<ItemPasso> itens;
    for (int i = 0; i < TbItens->RecordCount(); ++i) {
        TbItens->MoveTo(i);
        itens.append({Texto(*TbItens, QStringLiteral("Tecido")),
                      TbItens->FieldByName(QStringLiteral("Ord_It")).AsInteger(),
                      Texto(*TbItens, QStringLiteral("Fluxo"))});
    }
    return itens;
}

// The whole save in one unit of work; false, with nothing written, when it is refused there. The sheet, its
// items and the invoice weight go to the server in one batch, the steps in another: a handful of round trips
// however many items and steps the sheet has.
bool TFmCadFal::GravaDados(bool liberadoCredito) {
    const QString numero = Numero();
    const QString cor = ui.EdtCor->text().trimmed(), variante = ui.EdtVariante->text().trimmed();
    const QString reproc = ui.EdtReproc->text().trimmed();
    const int tipo = Tipo();
    QString recusa;
    bool numeroTomado = false;
    {
        GravacaoAtomica gravacao;
        TZoQuery armazenada;
        armazenada.SQL << QStringLiteral(
            "SELECT CLIENTE, COR, VARIANTE, STATUS, NUM_REPROC FROM FAL WHERE NUMERO = :NUMERO WITH LOCK");
        armazenada.BindValue(QStringLiteral("NUMERO"), numero);
        armazenada.Open();
        const bool nova = armazenada.IsEmpty();
        if (!nova && m_falCarregada != numero) {
            numeroTomado = true;
        } else {
            auto antigo = [&armazenada](const char* campo) {
                return armazenada.IsEmpty()
                           ? QString()
                           : armazenada.FieldByName(QLatin1String(campo)).AsString().trimmed();
            };
            const QString status = antigo("STATUS").isEmpty() ? QStringLiteral("A") : antigo("STATUS");
            // The stored items, read once: what they hold of each invoice item, and what each row has.
            QHash<ItemNota, double> gravado;
            QHash<int, QStringList> linhasGravadas;
            if (!nova) {
                TZoQuery itens;
                itens.SQL << QStringLiteral(
                                 "SELECT ORD_IT, %1 FROM FAL_ITEN WHERE FAL = :FAL ORDER BY ORD_IT")
                                 .arg(kColunasItem.join(QStringLiteral(", ")));
                itens.BindValue(QStringLiteral("FAL"), numero);
                itens.Open();
                for (itens.First(); !itens.Eof(); itens.Next()) {
                    gravado[{itens.FieldByName(QStringLiteral("NOTA")).AsString().trimmed(),
                             antigo("CLIENTE"),
                             itens.FieldByName(QStringLiteral("CODIGO")).AsString().trimmed(),
                             itens.FieldByName(QStringLiteral("LOTE")).AsString().trimmed()}] +=
                        itens.FieldByName(QStringLiteral("PESO_NF")).AsFloat();
                    QStringList valores;
                    for (const QString& coluna : kColunasItem)
                        valores << ValorSql(itens.FieldByName(coluna).Value());
                    linhasGravadas.insert(itens.Fields(0).AsInteger(), valores);
                }
            }
            const QSet<QString> doReprocessado = ItensDoReprocessado();
            const QHash<ItemNota, double> novo = PesoNaTela(doReprocessado);

            TZoQuery apoio;
            apoio.SQL
                << QStringLiteral(
                       "SELECT (SELECT SUM(COALESCE(DIAS, 0)) FROM ROTEIRO WHERE CODIGO = :ROTEIRO) AS DIAS,")
                << QStringLiteral("(SELECT FIRST 1 GRAFICO FROM RECEITA WHERE COR = :COR AND VARIANTE = "
                                  ":VARIANTE) AS GRAFICO FROM RDB$DATABASE");
            apoio.BindValue(QStringLiteral("ROTEIRO"), ui.EdtRoteiro->text().trimmed());
            apoio.BindValue(QStringLiteral("COR"), cor);
            apoio.BindValue(QStringLiteral("VARIANTE"), variante);
            apoio.Open();
            const QDate entrega = ui.EdtDataIni->date().addDays(apoio.Fields(0).AsInteger());
            const QString grafico = apoio.Fields(1).IsNull() ? QString() : apoio.Fields(1).AsString();

            QStringList colunas, valores, atribuicoes;
            for (const auto& [coluna, valor] : CabecalhoDaTela(ui.EdtDataIni->date(), entrega, status)) {
                colunas << coluna;
                valores << ValorSql(valor);
                atribuicoes << coluna + QStringLiteral(" = ") + valores.last();
            }
            InstrucoesEmLote lote(*ConexaoHost());
            if (nova)
                lote.Adiciona(QStringLiteral("INSERT INTO FAL (NUMERO, %1) VALUES (%2, %3)")
                                  .arg(colunas.join(QStringLiteral(", ")), Aspas(numero),
                                       valores.join(QStringLiteral(", "))));
            else
                lote.Adiciona(QStringLiteral("UPDATE FAL SET %1 WHERE NUMERO = %2")
                                  .arg(atribuicoes.join(QStringLiteral(", ")), Aspas(numero)));

            // Items by their order within the sheet: stored ones are updated in place where they differ
            // (billing columns left to whoever writes them), new ones inserted, those no longer on the sheet
            // removed.
            QSet<int> naTela;
            for (int i = 0; i < TbItens->RecordCount(); ++i) {
                TbItens->MoveTo(i);
                const int ordIt = TbItens->FieldByName(QStringLiteral("Ord_It")).AsInteger();
                naTela.insert(ordIt);
                const QStringList linha = LinhaDaTela(tipo, doReprocessado);
                if (!linhasGravadas.contains(ordIt)) {
                    lote.Adiciona(
                        QStringLiteral("INSERT INTO FAL_ITEN (FAL, ORD_IT, %1, FATURADO) VALUES (%2, %3, "
                                       "%4, 'A')")
                            .arg(kColunasItem.join(QStringLiteral(", ")), Aspas(numero),
                                 QString::number(ordIt), linha.join(QStringLiteral(", "))));
                } else if (linhasGravadas.value(ordIt) != linha) {
                    QStringList muda;
                    for (int c = 0; c < kColunasItem.size(); ++c)
                        muda << kColunasItem.at(c) + QStringLiteral(" = ") + linha.at(c);
                    lote.Adiciona(
                        QStringLiteral("UPDATE FAL_ITEN SET %1 WHERE FAL = %2 AND ORD_IT = %3")
                            .arg(muda.join(QStringLiteral(", ")), Aspas(numero), QString::number(ordIt)));
                }
            }
            for (auto it = linhasGravadas.cbegin(); it != linhasGravadas.cend(); ++it)
                if (!naTela.contains(it.key()))
                    lote.Adiciona(QStringLiteral("DELETE FROM FAL_ITEN WHERE FAL = %1 AND ORD_IT = %2")
                                      .arg(Aspas(numero), QString::number(it.key())));

            // The invoice moves by what the sheet now holds less what it held.
            QSet<ItemNota> itens;
            for (auto it = gravado.cbegin(); it != gravado.cend(); ++it)
                itens.insert(it.key());
            for (auto it = novo.cbegin(); it != novo.cend(); ++it)
                itens.insert(it.key());
            QHash<ItemNota, double> movimentos;
            QList<ItemNota> tomados;
            for (const ItemNota& item : itens) {
                const double diferenca = novo.value(item) - gravado.value(item);
                if (qAbs(diferenca) <= kTolerancia)
                    continue;
                movimentos.insert(item, diferenca);
                if (diferenca > 0)
                    tomados << item;
            }
            for (const QString& instrucao : InstrucoesMovePesoNota(movimentos))
                lote.Adiciona(instrucao);
            // The services of the reprocessed sheet, when asked for, come with the sheet: none of them is
            // left behind under a number nothing was stored with.
            if (!m_servicosDe.isEmpty())
                lote.Adiciona(QStringLiteral("INSERT INTO TABELA (CODIGO, SETOR, PRECO) SELECT %1, O.SETOR, "
                                             "O.PRECO FROM TABELA O WHERE O.CODIGO = %2 AND NOT EXISTS "
                                             "(SELECT 1 FROM TABELA T WHERE T.CODIGO = %1 AND T.SETOR = "
                                             "O.SETOR)")
                                  .arg(Aspas(numero), Aspas(m_servicosDe)));
            lote.Executa();
            // An item deleted from its invoice since the checks: its weight would be held of nothing.
            if (ItemNotaInexistente(ItensComPeso(novo)))
                recusa = kSemItemNota;
            if (recusa.isEmpty() && m_modoProduto != QLatin1String("S") && !tomados.isEmpty()) {
                const QHash<ItemNota, double> livres = PesosLivresNota(tomados);
                for (auto it = livres.cbegin(); it != livres.cend(); ++it)
                    if (it.value() < -kTolerancia)
                        recusa = QStringLiteral("Peso Programado maior que disponível.");
            }
            if (recusa.isEmpty()) {
                GravaProcessos(numero, grafico, ItensDaTela());
                if (!reproc.isEmpty() && (nova || reproc != antigo("NUM_REPROC")))
                    FechaReprocessada(reproc, numero);
                const QString chave = numero;
                GeraLog(kTitulo,
                        (nova ? QStringLiteral("CADASTRO DA FAL ") : QStringLiteral("ALTERACAO DA FAL ")) +
                            numero + QStringLiteral(" TIPO: ") + PalavraTipoFal(tipo),
                        nova ? opInclusao : opAlteracao, chave, this);
                if (!nova && (antigo("COR") != cor || antigo("VARIANTE") != variante))
                    GeraLog(
                        kTitulo,
                        QStringLiteral("ALTERADO DESENHO DE: %1 Para %2, ALTERADO VARIANTE DE: %3 Para %4")
                            .arg(antigo("COR"), cor, antigo("VARIANTE"), variante),
                        opAlteracao, chave, this);
                if (liberadoCredito)
                    GeraLog(kTitulo,
                            QStringLiteral("LIBERADO LIMITE DE CREDITO DA FAL %1 TIPO: %2 LIBERADO POR %3.")
                                .arg(numero, PalavraTipoFal(tipo), vSupervisor()),
                            opAlteracao, chave, this);
                gravacao.Confirma();
            }
        }
    }
    if (numeroTomado) {
        if (Pergunta(
                this, windowTitle(),
                QStringLiteral(
                    "A FAL %1 foi gravada por outro usuário enquanto esta era digitada; nada foi gravado. "
                    "Deseja gravar esta FAL com um novo número?")
                    .arg(numero),
                true)) {
            NovoNumero();
            m_falCarregada.clear();
            return GravaDados(liberadoCredito);
        }
        return false;
    }
    if (!recusa.isEmpty()) {
        Informa(this, recusa);
        return false;
    }
    return true;
}

// Steps are laid out afresh only while none has started; once one has, they stay and only missing
// (fabric, phase) steps are added. Steps stored just as they would be laid out again are left alone, so
// that re-saving a sheet whose fabrics and routes did not change writes none. All in one batch.
void TFmCadFal::GravaProcessos(const QString& numero, const QString& grafico, const QList<ItemPasso>& itens) {
    const QString partida = ui.EdtPartida->text().trimmed();
    TZoQuery existentes;
    existentes.SQL << QStringLiteral("SELECT * FROM PROCESSO_TIN WHERE FAL = :FAL");
    existentes.BindValue(QStringLiteral("FAL"), numero);
    existentes.Open();
    QSet<QString> postos;
    QStringList comoGravados;
    bool iniciado = false, soDaTela = true;
    const auto coluna = [&existentes](const char* nome) {
        return existentes.FieldByName(QLatin1String(nome));
    };
    for (existentes.First(); !existentes.Eof(); existentes.Next()) {
        postos.insert(ChavePasso(coluna("CODIGO").AsString(), coluna("FASE").AsString()));
        iniciado = iniciado || PassoIniciado(coluna("CONCLUIDO").AsString(), coluna("DATA_INI").AsDate(),
                                             coluna("HORA_INI").AsString());
        QStringList valores;
        for (const QString& campo : kColunasPasso)
            valores << ValorSql(existentes.FieldByName(campo).Value());
        comoGravados << valores.join(QStringLiteral(", "));
        for (const FieldDef& campo : existentes.FieldDefs())
            if (campo.name != QLatin1String("FAL") && !kColunasPasso.contains(campo.name) &&
                !existentes.FieldByName(campo.name).IsNull())
                soDaTela = false;
    }
    QSet<QString> fluxos;
    for (const ItemPasso& item : itens)
        fluxos.insert(item.fluxo);
    const QList<PassoFal> passos =
        LayoutPassos(itens, LeRoteiros(fluxos), iniciado ? postos : QSet<QString>());
    QStringList novos;
    for (const PassoFal& passo : passos)
        novos << QStringList{ValorSql(passo.codigo),
                             ValorSql(partida),
                             ValorSql(passo.ordem),
                             QStringLiteral("'N'"),
                             grafico.isEmpty() ? QStringLiteral("NULL") : ValorSql(grafico),
                             ValorSql(passo.fase),
                             ValorSql(passo.descricao.left(50)),
                             ValorSql(passo.ordIt)}
                     .join(QStringLiteral(", "));
    InstrucoesEmLote lote(*ConexaoHost());
    if (!iniciado && !postos.isEmpty()) {
        QStringList antes = comoGravados, depois = novos;
        antes.sort();
        depois.sort();
        if (soDaTela && antes == depois)
            return;
        lote.Adiciona(QStringLiteral("DELETE FROM PROCESSO_TIN WHERE FAL = %1").arg(Aspas(numero)));
    }
    for (const QString& valores : novos)
        lote.Adiciona(QStringLiteral("INSERT INTO PROCESSO_TIN (FAL, %1) VALUES (%2, %3)")
                          .arg(kColunasPasso.join(QStringLiteral(", ")), Aspas(numero), valores));
    lote.Executa();
}

void TFmCadFal::FechaReprocessada(const QString& original, const QString& numero) {
    TZoQuery passos;
    passos.SQL
        << QStringLiteral("UPDATE PROCESSO_TIN SET CONCLUIDO = 'S', PENDENTE = 'N', DATA_INI = :HOJE1, "
                          "DATA_FIN = :HOJE2,")
        << QStringLiteral(
               "HORA_INI = :AGORA1, HORA_FIN = :AGORA2, OBS = :OBS WHERE FAL = :FAL AND CONCLUIDO = 'N'");
    const QString agora = QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
    passos.BindValue(QStringLiteral("HOJE1"), QDate::currentDate());
    passos.BindValue(QStringLiteral("HOJE2"), QDate::currentDate());
    passos.BindValue(QStringLiteral("AGORA1"), agora);
    passos.BindValue(QStringLiteral("AGORA2"), agora);
    passos.BindValue(QStringLiteral("OBS"), (QStringLiteral("FAL REPROCESSADA. ") + numero).left(50));
    passos.BindValue(QStringLiteral("FAL"), original);
    passos.ExecSQL();
    TZoQuery itens;
    itens.SQL << QStringLiteral("UPDATE FAL_ITEN SET PESO_DEV = PESO, FATURADO = 'S' WHERE FAL = :FAL");
    itens.BindValue(QStringLiteral("FAL"), original);
    itens.ExecSQL();
}

void TFmCadFal::BtnExcluiClick() {
    if (!Acessa(QStringLiteral("TFmCadFal"), QStringLiteral("E"), QStringLiteral("0"), QString()))
        return;
    const QString numero = Numero();
    if (numero.isEmpty() || m_falCarregada != numero)
        return;
    // What forbids the delete, read at once and told in this order.
    TZoQuery impede;
    impede.SQL << QStringLiteral("SELECT (SELECT FIRST 1 1 FROM NOTAITEN WHERE PEDIDO = :FAL1) AS FATURADA,")
               << QStringLiteral(
                      "(SELECT FIRST 1 1 FROM PROCESSO_TIN WHERE FAL = :FAL2 AND CONCLUIDO = 'S') AS "
                      "CONCLUIDA,")
               << QStringLiteral(
                      "(SELECT FIRST 1 1 FROM TNG_CONSUMOS WHERE FAL = :FAL3 AND BAIXADO = 'S') AS "
                      "BAIXADA FROM RDB$DATABASE");
    for (const char* parametro : {"FAL1", "FAL2", "FAL3"})
        impede.BindValue(QLatin1String(parametro), numero);
    impede.Open();
    if (!impede.FieldByName(QStringLiteral("FATURADA")).IsNull()) {
        Informa(this, QStringLiteral("FAL já faturada. Impossível excluir."));
        return;
    }
    if (!impede.FieldByName(QStringLiteral("CONCLUIDA")).IsNull()) {
        Informa(this, QStringLiteral("FAL com Processo já concluído. Impossível excluir."));
        return;
    }
    if (!impede.FieldByName(QStringLiteral("BAIXADA")).IsNull()) {
        Informa(this, QStringLiteral("Consumo da FAL já baixado. Impossível excluir."));
        return;
    }
    if (!Pergunta(this, windowTitle(), QStringLiteral("Deseja excluir totalmente a FAL?"), false))
        return;
    {
        GravacaoAtomica exclusao;
        TZoQuery fal;
        fal.SQL << QStringLiteral("SELECT CLIENTE FROM FAL WHERE NUMERO = :NUMERO WITH LOCK");
        fal.BindValue(QStringLiteral("NUMERO"), numero);
        fal.Open();
        const QHash<ItemNota, double> gravado =
            PesoGravado(numero, fal.IsEmpty() ? QString() : fal.Fields(0).AsString().trimmed());
        // The weight given back and every row of the sheet, in one batch.
        QHash<ItemNota, double> devolvido;
        for (auto it = gravado.cbegin(); it != gravado.cend(); ++it)
            if (qAbs(it.value()) > kTolerancia)
                devolvido.insert(it.key(), -it.value());
        InstrucoesEmLote lote(*ConexaoHost());
        for (const QString& instrucao : InstrucoesMovePesoNota(devolvido))
            lote.Adiciona(instrucao);
        const QString chave = Aspas(numero);
        for (const QString& instrucao : {QStringLiteral("UPDATE TNG_PROG SET FAL = '' WHERE FAL = %1"),
                                         QStringLiteral("DELETE FROM FAL_ITEN WHERE FAL = %1"),
                                         QStringLiteral("DELETE FROM PROCESSO_TIN WHERE FAL = %1"),
                                         QStringLiteral("DELETE FROM TNG_CONSUMOS WHERE FAL = %1"),
                                         QStringLiteral("DELETE FROM TABELA WHERE CODIGO = %1"),
                                         QStringLiteral("DELETE FROM FAL WHERE NUMERO = %1")})
            lote.Adiciona(instrucao.arg(chave));
        lote.Executa();
        GeraLog(kTitulo, QStringLiteral("EXCLUSAO DA FAL ") + numero, opExclusao, numero, this);
        exclusao.Confirma();
    }
    LimpaTela();
    ui.EdtFal->clear();
    m_numeroVerificado.clear();
    ui.EdtFal->setFocus();
}

void TFmCadFal::BitBtn4Click() {
    if (!Acessa(QStringLiteral("TFmCadFal"), QStringLiteral("A"), QStringLiteral("1"), QString()))
        return;
    const QString numero = Numero();
    if (numero.isEmpty() || m_falCarregada != numero)
        return;
    if (!Pergunta(this, windowTitle(), QStringLiteral("Deseja realmente baixar todas quantidades da FAL?"),
                  false))
        return;
    GravacaoAtomica baixa;
    TZoQuery q;
    q.SQL << QStringLiteral("UPDATE FAL_ITEN SET PESO_DEV = PESO, FATURADO = 'S' WHERE FAL = :FAL");
    q.BindValue(QStringLiteral("FAL"), numero);
    q.ExecSQL();
    GeraLog(kTitulo, QStringLiteral("BAIXA FAL NR. ") + numero, opOutros, numero, this);
    baixa.Confirma();
    HabilitaGravacao(false);
}

void TFmCadFal::BitBtn7Click() {
    if (!Acessa(QStringLiteral("TFmCadFal"), QStringLiteral("A"), QStringLiteral("1"), QString()))
        return;
    const QString numero = Numero();
    if (numero.isEmpty() || m_falCarregada != numero)
        return;
    {
        GravacaoAtomica liberacao;
        TZoQuery q;
        q.SQL << QStringLiteral(
            "UPDATE FAL_ITEN SET PESO_DEV = 0 ,PESO_FATUR = 0 ,FATURADO  = 'A' WHERE FAL = :FAL");
        q.BindValue(QStringLiteral("FAL"), numero);
        q.ExecSQL();
        GeraLog(QStringLiteral("CADASTRO DE FAL."),
                QStringLiteral("LIBERAÇÃO P/ FATURAMENTO DA FAL ") + numero, opAlteracao, numero, this);
        liberacao.Confirma();
    }
    HabilitaGravacao(true);
    Informa(this, QStringLiteral("FAL Liberada para Faturamento."));
}

// The sheets the filters take, read a window at a time as the list is walked.
void TFmCadFal::BitBtn5Click() {
    QStringList filtros{QStringLiteral("P.DATA_INI BETWEEN %1 AND %2")
                            .arg(DataSQL(ui.EdtConsDataIni->date()), DataSQL(ui.EdtConsDataFin->date()))};
    const QList<QPair<QLineEdit*, const char*>> caixas = {{ui.EdtConsCliente, "P.CLIENTE"},
                                                          {ui.EdtConsCor, "P.COR"},
                                                          {ui.EdtConsFal, "P.NUMERO"},
                                                          {ui.EdtConsPartida, "P.PARTIDA"}};
    for (const auto& [caixa, coluna] : caixas)
        if (!caixa->text().trimmed().isEmpty())
            filtros << QStringLiteral("%1 = %2").arg(QLatin1String(coluna), Aspas(caixa->text().trimmed()));
    m_consulta->pesquisa.Filtro = filtros.join(QStringLiteral(" AND "));
    m_consulta->Consulta();
}

void TFmCadFal::BitBtn3Click() {
    const QString numero = Numero();
    if (numero.isEmpty() || m_falCarregada != numero)
        return;
    ImprimeFal(numero, this);
}

void TFmCadFal::BtnServicosClick() {
    const QString numero = Numero();
    if (numero.isEmpty() || !FalArmazenada(numero))
        return;
    Carrega_Form(QStringLiteral("kelmTingimento.bpl"), QStringLiteral("TFmCadFalServ"),
                 ArgumentosTela{{QStringLiteral("FAL"), numero},
                                {QStringLiteral("CLIENTE"), ui.EdtCodCli->text().trimmed()}},
                 true, false);
}

void TFmCadFal::BtnQualidadeClick() {
    if (ClassRegistered(QStringLiteral("TfmContrQul")))
        Carrega_Form(QStringLiteral("kelmTingimento.bpl"), QStringLiteral("TfmContrQul"), Numero(), true,
                     false);
}

// What a save would write of the grid is what is stored under the number, for the same customer (the weight
// held of the invoice aside: the grid does not show it).
bool TFmCadFal::ComoArmazenada(const QString& numero) {
    const QStringList colunas = kColunasItem.mid(0, kColunasItem.indexOf(QStringLiteral("PESO_NF")));
    QStringList selecionadas;
    for (const QString& coluna : colunas)
        selecionadas << QStringLiteral("I.") + coluna;
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT F.CLIENTE, I.ORD_IT, %1 FROM FAL F")
                 .arg(selecionadas.join(QStringLiteral(", ")))
          << QStringLiteral("LEFT JOIN FAL_ITEN I ON (I.FAL = F.NUMERO) WHERE F.NUMERO = :FAL");
    q.BindValue(QStringLiteral("FAL"), numero);
    q.Open();
    if (q.IsEmpty() || q.Fields(0).AsString().trimmed() != ui.EdtCodCli->text().trimmed())
        return false;
    QHash<int, QStringList> armazenadas;
    for (q.First(); !q.Eof(); q.Next()) {
        if (q.Fields(1).IsNull())
            continue;
        QStringList valores;
        for (const QString& coluna : colunas)
            valores << ValorSql(q.FieldByName(coluna).Value());
        armazenadas.insert(q.Fields(1).AsInteger(), valores);
    }
    if (armazenadas.size() != TbItens->RecordCount())
        return false;
    for (int i = 0; i < TbItens->RecordCount(); ++i) {
        TbItens->MoveTo(i);
        const int ordIt = TbItens->FieldByName(QStringLiteral("Ord_It")).AsInteger();
        if (armazenadas.value(ordIt) != LinhaDaTela(Tipo(), {}).mid(0, colunas.size()))
            return false;
    }
    return true;
}

// Pieces of the stored sheet split off into a new one, row by row as the user answers.
void TFmCadFal::btnDesmembrarClick() {
    if (Numero().isEmpty())
        return;
    EdtFalExit(); // a number just typed, the button reached by its letter
    TbItens->CheckBrowseMode();
    if (TbItens->RecordCount() == 0)
        return;
    // Weight moved out of rows not yet saved would come from nothing: the sheet is saved first.
    if (m_falCarregada != Numero() || !ComoArmazenada(Numero())) {
        if (!ui.BtnIncluir->isEnabled()) {
            Informa(this, QStringLiteral("FAL já baixada. Disponível apenas para consulta."));
            return;
        }
        if (!Pergunta(this, windowTitle(),
                      QStringLiteral("FAL com alterações não gravadas. Deseja gravar antes de desmembrar?"),
                      false))
            return;
        if (!Grava())
            return;
        BuscaDados(Numero());
        m_numeroVerificado = Numero();
    }
    const QString origem = Numero();
    QList<PecasMovidas> movidas;
    for (int i = 0; i < TbItens->RecordCount(); ++i) {
        TbItens->MoveTo(i);
        const int rolos = TbItens->FieldByName(QStringLiteral("Rolo")).AsInteger();
        QString resposta = QString::number(rolos);
        if (!InputQuery(this, windowTitle(),
                        Texto(*TbItens, QStringLiteral("Tecido")) + QStringLiteral(" - ") +
                            Texto(*TbItens, QStringLiteral("Descricao")) + QStringLiteral("      Peças:"),
                        resposta))
            return;
        const int pecas = PecasDigitadas(resposta);
        if (pecas <= 0)
            continue;
        if (pecas > rolos) {
            Informa(this, QStringLiteral("Número de peças inválido. Impossível continuar."));
            return;
        }
        movidas.append({i, TbItens->FieldByName(QStringLiteral("Ord_It")).AsInteger(), pecas});
    }
    if (movidas.isEmpty())
        return;
    QString nova = Proximo(QStringLiteral("FAL"), QStringLiteral("NUMERO"), 6, true);
    if (!InputQuery(this, windowTitle(), QStringLiteral("Nova FAL:"), nova))
        return;
    nova = nova.trimmed();
    QString recusa;
    if (nova.isEmpty())
        recusa = QStringLiteral("Número da nova FAL não informado. Impossível continuar.");
    else if (nova.size() > 7)
        recusa = QStringLiteral("Número da nova FAL com mais de 7 caracteres. Impossível continuar.");
    else if (FalArmazenada(nova))
        recusa = QStringLiteral("FAL %1 já cadastrada. Impossível continuar.").arg(nova);
    if (!recusa.isEmpty()) {
        Informa(this, recusa);
        return;
    }
    Desmembra(origem, nova, movidas);
}

// The new sheet, its items and steps and what its items take off the source's, in one unit of work and two
// batches. Each item's weight and the weight it holds of its invoice item move together, so that deleting
// either sheet gives back exactly what it holds; all pieces of a row take its very weight (the source keeps
// 0), part of them a share the source keeps the exact rest of.
void TFmCadFal::Desmembra(const QString& origem, const QString& nova, const QList<PecasMovidas>& movidas) {
    QString recusa;
    {
        GravacaoAtomica gravacao;
        TZoQuery fonte;
        fonte.SQL << QStringLiteral("SELECT DATA_FIN, STATUS FROM FAL WHERE NUMERO = :NUMERO WITH LOCK");
        fonte.BindValue(QStringLiteral("NUMERO"), origem);
        fonte.Open();
        if (fonte.IsEmpty() || !ComoArmazenada(origem)) {
            recusa = QStringLiteral("A FAL %1 foi alterada por outro usuário; nada foi gravado.").arg(origem);
        } else if (FalArmazenada(nova)) {
            recusa = QStringLiteral("FAL %1 já cadastrada. Impossível continuar.").arg(nova);
        } else {
            TZoQuery apoio;
            apoio.SQL << QStringLiteral("SELECT I.ORD_IT, I.PESO, I.PESO_NF,")
                      << QStringLiteral(
                             "(SELECT FIRST 1 GRAFICO FROM RECEITA WHERE COR = :COR AND VARIANTE = "
                             ":VARIANTE) AS GRAFICO")
                      << QStringLiteral("FROM FAL_ITEN I WHERE I.FAL = :FAL");
            apoio.BindValue(QStringLiteral("COR"), ui.EdtCor->text().trimmed());
            apoio.BindValue(QStringLiteral("VARIANTE"), ui.EdtVariante->text().trimmed());
            apoio.BindValue(QStringLiteral("FAL"), origem);
            apoio.Open();
            QHash<int, QPair<double, double>> pesos;
            for (apoio.First(); !apoio.Eof(); apoio.Next())
                pesos.insert(apoio.Fields(0).AsInteger(),
                             {apoio.Fields(1).AsFloat(), apoio.Fields(2).AsFloat()});
            const QString grafico =
                apoio.IsEmpty() || apoio.Fields(3).IsNull() ? QString() : apoio.Fields(3).AsString();

            const QString status = fonte.Fields(1).AsString().trimmed();
            QStringList colunas, valores;
            for (const auto& [coluna, valor] :
                 CabecalhoDaTela(QDate::currentDate(), fonte.Fields(0).AsDate(),
                                 status.isEmpty() ? QStringLiteral("A") : status)) {
                colunas << coluna;
                valores << ValorSql(coluna == QLatin1String("ORDEM") && valor.isNull() ? QVariant(0) : valor);
            }
            InstrucoesEmLote lote(*ConexaoHost());
            lote.Adiciona(QStringLiteral("INSERT INTO FAL (NUMERO, %1) VALUES (%2, %3)")
                              .arg(colunas.join(QStringLiteral(", ")), Aspas(nova),
                                   valores.join(QStringLiteral(", "))));
            const QString copiadas = QStringLiteral(
                "NOTA, CODIGO, LOTE, FLUXO, GRAMATURA, LARGURA, OBSERVACAO, GRAMATURA_EST, DT_FATURA");
            QStringList tiradas;
            QList<ItemPasso> itens;
            for (const PecasMovidas& movida : movidas) {
                TbItens->MoveTo(movida.linha);
                const int rolos = TbItens->FieldByName(QStringLiteral("Rolo")).AsInteger();
                const auto [peso, pesoNf] = pesos.value(movida.ordIt);
                // All pieces: the stored values themselves, not a number that went through text.
                const bool todas = movida.pecas >= rolos;
                const QString movido = todas ? QStringLiteral("PESO")
                                             : PermanecePonto(PesoPecasMovidas(movida.pecas, rolos, peso));
                const QString movidoNf = todas
                                             ? QStringLiteral("PESO_NF")
                                             : PermanecePonto(PesoPecasMovidas(movida.pecas, rolos, pesoNf));
                // One pass of arg: a number typed by the user is not read again for place markers.
                const QString pecas = QString::number(movida.pecas), ordIt = QString::number(movida.ordIt);
                lote.Adiciona(QStringLiteral("INSERT INTO FAL_ITEN (FAL, ORD_IT, ROLO, PESO, PESO_NF, "
                                             "FATURADO, %1) SELECT %2, ORD_IT, %3, %4, %5, "
                                             "COALESCE(NULLIF(TRIM(FATURADO), ''), 'A'), %1 FROM FAL_ITEN "
                                             "WHERE FAL = %6 AND ORD_IT = %7")
                                  .arg(copiadas, Aspas(nova), pecas, movido, movidoNf, Aspas(origem), ordIt));
                tiradas << QStringLiteral(
                               "UPDATE FAL_ITEN SET ROLO = ROLO - %1, PESO = PESO - (%2), PESO_NF = "
                               "PESO_NF - (%3) WHERE FAL = %4 AND ORD_IT = %5")
                               .arg(pecas, movido, movidoNf, Aspas(origem), ordIt);
                itens.append({Texto(*TbItens, QStringLiteral("Tecido")), movida.ordIt,
                              Texto(*TbItens, QStringLiteral("Fluxo"))});
            }
            for (const QString& tirada : tiradas)
                lote.Adiciona(tirada);
            lote.Executa();
            GravaProcessos(nova, grafico, itens);
            GeraLog(kTitulo, QStringLiteral("DESMEMBRAMENTO DA FAL %1 PARA A FAL %2").arg(origem, nova),
                    opInclusao, nova, this);
            gravacao.Confirma();
        }
    }
    if (!recusa.isEmpty()) {
        Informa(this, recusa);
        return;
    }
    LimpaTela();
    ui.EdtFal->clear();
    m_numeroVerificado.clear();
    ui.EdtFal->setFocus();
    Informa(this, QStringLiteral("Processo concluído."));
}

// The sheet under a new number: the next save stores a copy. The copy holds nothing of its invoices yet, so
// it is a new sheet whose rows may take only what their invoice items have free.
void TFmCadFal::BitBtn8Click() {
    TbItens->CheckBrowseMode();
    NovoNumero();
    m_falCarregada.clear();
    m_corCarregada.clear();
    m_varianteCarregada.clear();
    m_reprocCarregado.clear();
    QList<ItemNota> itens;
    for (int i = 0; i < TbItens->RecordCount(); ++i) {
        TbItens->MoveTo(i);
        itens << ItemDaLinha();
    }
    const QHash<ItemNota, double> livres = PesosLivresNota(itens);
    const int disp = TbItens->FieldIndex(QStringLiteral("Disp"));
    for (int i = 0; i < itens.size(); ++i)
        TbItens->SetValueAt(i, disp, livres.value(itens.at(i)));
    TbItens->First();
    HabilitaGravacao(true);
}

// A stored sheet as the model of a reprocess under the number on the screen; its services, when asked for,
// go with the save.
void TFmCadFal::BitBtn9Click() {
    const QString reproc = ui.EdtReproc->text().trimmed();
    if (reproc.isEmpty())
        return;
    if (!Numero().isEmpty()) {
        EdtFalExit(); // a number just typed, the button reached by its letter
        ui.EdtReproc->setText(reproc);
    }
    if (reproc == Numero()) {
        Informa(this, QStringLiteral("FAL de reprocesso não pode ser a mesma FAL original."));
        ui.EdtReproc->setFocus();
        return;
    }
    if (!FalArmazenada(reproc)) {
        Informa(this, QStringLiteral("FAL %1 não cadastrada.").arg(reproc));
        ui.EdtReproc->setFocus();
        return;
    }
    if (!Pergunta(this, windowTitle(), QStringLiteral("Tem certeza que deseja gerar Reprocesso dessa FAL?"),
                  true))
        return;
    if (Numero().isEmpty())
        NovoNumero();
    const bool gravavel = ui.BtnIncluir->isEnabled(); // a sheet written off under the number stays so
    BuscaDados(reproc, true);
    HabilitaGravacao(gravavel);
    const QDate hoje = QDate::currentDate();
    ui.EdtDataIni->setDate(hoje);
    ui.EdtDataFin->setDate(hoje.addDays(m_diasEntrega));
    if (Pergunta(this, windowTitle(),
                 QStringLiteral("Deseja aplicar no reprocesso os serviços da FAL original?"), false))
        m_servicosDe = reproc;
}
