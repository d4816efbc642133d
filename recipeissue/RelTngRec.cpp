#include "RelTngRec.h"
#include "Acesso.h"
#include "CaixaPesquisa.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "DataSetModel.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "GradeEdicao.h"
#include "GraficoTingimento.h"
#include "HostError.h"
#include "HostUi.h"
#include "ImpressaoConsumo.h"
#include "Mensagens.h"
#include "ModuleUnits.h"
#include "Protecao.h"
#include "TClientDataSet.h"
#include "TZoQuery.h"
#include <QChart>
#include <QChartView>
#include <QKeyEvent>
#include <QScopeGuard>
#include <QVBoxLayout>
#include <cmath>

TFmRelRec* FmRelRec = nullptr;

KELM_SCREEN_UNIT(RelTngRec, TFmRelRec, {{QStringLiteral("WTngConsumo"), LayoutConsumo}});

namespace {
const QString kCaixa = QStringLiteral("Emissão de Receita");

double numeroDaCaixa(const QLineEdit* caixa) {
    double valor = 0;
    return LeNumero(caixa->text().trimmed(), valor) ? valor : 0;
}
void mostraNumero(QLineEdit* caixa, double valor, int casas) {
    caixa->setText(TextoExibicao(valor, casas));
}
} // namespace

TFmRelRec::TFmRelRec(QWidget* parent)
    : TForm(parent), TbReceita(new TClientDataSet(this)), TbFal(new TClientDataSet(this)) {
    setObjectName(QStringLiteral("FmRelRec"));
    setWindowTitle(kCaixa);
    ui.setupUi(this);
    PublicaInstancia(FmRelRec);
}

TFmRelRec::~TFmRelRec() = default;

void TFmRelRec::FormCreate() {
    KeyPreview = true;
    DescartaAspas = true;
    m_baixaParametro = BuscaParametro(QStringLiteral("TIN"), 30).trimmed().toUpper();
    const QString banho = BuscaParametro(QStringLiteral("TIN"), 90).trimmed().toUpper();
    m_banhoDaReceita = banho != QLatin1String("N");
    m_reserva = BuscaParametro(QStringLiteral("TIN"), 260).trimmed().toUpper() == QLatin1String("S");
    m_deposito = DepositoPrioritario();

    ui.ChkBaixaEstoque->setChecked(m_baixaParametro == QLatin1String("S") ||
                                   m_baixaParametro == QLatin1String("B"));
    ui.ChkBaixaEstoque->setEnabled(m_baixaParametro != QLatin1String("B"));
    ui.EdtCodBan->setReadOnly(!m_banhoDaReceita);
    ui.BtBanho->setEnabled(m_banhoDaReceita);
    ui.EdtProporc->setReadOnly(!m_banhoDaReceita);
    ui.BtEstornar->setEnabled(false);

    PreparaGrades();
    PreparaMenus();
    DeclaraCaixas();
    connect(ui.BtConfirmar, &QPushButton::clicked, this, Protegido([this] { Confirmar(false); }));
    connect(ui.BtImprimir, &QPushButton::clicked, this, Protegido([this] { Imprime(false); }));
    connect(ui.BtEstornar, &QPushButton::clicked, this, Protegido([this] { BtEstornarClick(); }));
    connect(ui.BtLimpar, &QPushButton::clicked, this, Protegido([this] { BtLimparClick(); }));
    connect(ui.BtLimpaPartida, &QPushButton::clicked, this, Protegido([this] { BtLimpaPartidaClick(); }));
    connect(ui.BtConsultar, &QPushButton::clicked, this, Protegido([this] { BtConsultarClick(); }));
    connect(ui.BtFechar, &QPushButton::clicked, this, &QWidget::close);
    SaidaSemConferencia(ui.BtFechar);
    SaidaSemConferencia(ui.BtLimpar);

    auto* layout = new QVBoxLayout(ui.PnlGrafico);
    for (int fase = 1; fase <= 2; ++fase) {
        m_graficos << NovoGraficoFase(ui.PnlGrafico, fase);
        layout->addWidget(m_graficos.last());
    }
    ui.PageControl1->setCurrentWidget(ui.TabReceita);
    ui.EdtFal->setFocus();
}

void TFmRelRec::PreparaGrades() {
    TbReceita->setObjectName(QStringLiteral("TbReceita"));
    TbReceita->AddField(QStringLiteral("Material"), QMetaType::QString, 15)
        .AddField(QStringLiteral("Ordem"), QMetaType::Int)
        .AddField(QStringLiteral("Passo"), QMetaType::QString, 3)
        .AddField(QStringLiteral("Qtde"), QMetaType::Double)
        .AddField(QStringLiteral("Unidade"), QMetaType::QString, 4)
        .AddField(QStringLiteral("Consumo"), QMetaType::Double)
        .AddField(QStringLiteral("Descricao"), QMetaType::QString, 50)
        .AddField(QStringLiteral("Tipo"), QMetaType::QString, 3)
        .AddField(QStringLiteral("Grupo"), QMetaType::QString, 3)
        .AddField(QStringLiteral("Subgrupo"), QMetaType::QString, 3)
        .AddField(QStringLiteral("Desc_Tipo"), QMetaType::QString, 30)
        .AddField(QStringLiteral("CT"), QMetaType::QString, 11)
        .AddField(QStringLiteral("Peso"), QMetaType::Double)
        .AddField(QStringLiteral("Volume"), QMetaType::Double)
        .AddField(QStringLiteral("Fal"), QMetaType::QString, 7)
        .AddField(QStringLiteral("Banho"), QMetaType::QString, 30)
        .AddField(QStringLiteral("Maquina"), QMetaType::QString, 40)
        .AddField(QStringLiteral("Fibra"), QMetaType::QString, 1)
        .AddField(QStringLiteral("Partida"), QMetaType::QString, 6)
        .AddField(QStringLiteral("Concent"), QMetaType::Double)
        .AddField(QStringLiteral("Preco"), QMetaType::Double)
        .AddField(QStringLiteral("Fals"), QMetaType::QString, 200)
        .AddField(QStringLiteral("Baixado"), QMetaType::QString, 1)
        .AddField(QStringLiteral("Preparacao"), QMetaType::QString, 4)
        .AddField(QStringLiteral("Qtde_Orig"), QMetaType::Double)
        .AddField(QStringLiteral("Lote"), QMetaType::QString, 15)
        .AddField(QStringLiteral("Baixa_Aut"), QMetaType::QString, 1)
        .AddField(QStringLiteral("Estoque"), QMetaType::QString, 1);
    TbReceita->CreateDataSet();
    TbReceita->SetIndexFieldNames(QStringLiteral("Fal;Ordem;Material"));
    ui.DBGrid3->SetDataSet(TbReceita);
    ui.DBGrid3->SetReadOnly(false);
    ui.DBGrid3->DeclaraColunas({ColunaGrade("Material", "Material"),
                                ColunaGrade("Descricao", "Descrição").Largura(26).SomenteLeitura(),
                                ColunaGrade("Ordem", "Ordem").SomenteLeitura(),
                                ColunaGrade("Passo", "Passo").SomenteLeitura(),
                                ColunaGrade("Qtde", "Qtde").Casas(4),
                                ColunaGrade("Unidade", "Un.").SomenteLeitura(),
                                ColunaGrade("Consumo", "Consumo (g)").Casas(4).SomenteLeitura(),
                                {"Tipo", "Tipo"},
                                ColunaGrade("Desc_Tipo", "Descrição do tipo").Largura(16).SomenteLeitura(),
                                ColunaGrade("CT", "CT").SomenteLeitura(),
                                {"Lote", "Lote"},
                                ColunaGrade("Baixado", "Baixado").SomenteLeitura()});
    DataSetModel::Of(TbReceita)->SetRowColor([this](int linha) {
        if (TbReceita->TextoEm(linha, QStringLiteral("Baixado")) == QLatin1String("S"))
            return QColor(Qt::darkGreen);
        return TbReceita->TextoEm(linha, QStringLiteral("CT")).isEmpty() ? QColor() : QColor(Qt::blue);
    });
    ui.DBGrid3->OnKeyDown = [this](QKeyEvent* tecla) { return DBGrid3KeyDown(tecla); };
    TbReceita->BeforeInsert = [](TDataSet&) { throw EAbort(); }; // lines come by "Incluir Consumo"
    DicaTeclas({ui.DBGrid3},
               QStringLiteral("F4: materiais (coluna Material), lotes com estoque (coluna Lote), "
                              "tipos (coluna Tipo) · Tab em Qtde: recalcula o consumo"));

    // The consult's own rows, taken as read (SqlAcesso names its columns for the grid).
    TbFal->setObjectName(QStringLiteral("TbFal"));
    ui.DBGrid1->SetDataSet(TbFal);
    ui.DBGrid1->SetReadOnly(true);
    ui.DBGrid1->DeclaraColunas({{"SEL", "Sel."},
                                {"NUMERO", "FAL"},
                                {"DATA_INI", "Início"},
                                {"DATA_FIN", "Entrega"},
                                {"CLIENTE", "Cliente"},
                                ColunaGrade("NOME", "Nome").Largura(24),
                                {"COR", "Cor"},
                                {"VARIANTE", "Variante"},
                                {"PARTIDA", "Partida"},
                                {"RECEITA", "Receita"},
                                ColunaGrade("DESC_BANHO", "Banho").Largura(18),
                                ColunaGrade("DESC_PREP", "Preparação").Estica()});
    DataSetModel::Of(TbFal)->SetRowColor([this](int linha) {
        return TbFal->TextoEm(linha, QStringLiteral("SEL")) == QLatin1String("S") ? QColor(Qt::blue)
                                                                                  : QColor();
    });
    const auto alterna = Protegido([this] {
        if (TbFal->IsEmpty())
            return;
        TbFal->Edit();
        TbFal->FieldByName(QStringLiteral("SEL")) =
            TbFal->FieldByName(QStringLiteral("SEL")).AsString() == QLatin1String("S") ? QStringLiteral("N")
                                                                                       : QStringLiteral("S");
        TbFal->Post();
    });
    connect(ui.DBGrid1, &QAbstractItemView::doubleClicked, this,
            [alterna](const QModelIndex&) { alterna(); });
    ui.DBGrid1->OnKeyDown = [alterna](QKeyEvent* tecla) {
        if (tecla->key() != Qt::Key_Space)
            return false;
        alterna();
        return true;
    };
    DicaTeclas({ui.DBGrid1}, QStringLiteral("Duplo clique ou Espaço: marca a FAL · botão direito: emitir ou "
                                            "imprimir as marcadas"));
}

void TFmRelRec::PreparaMenus() {
    const auto acao = [this](TZoDBGrid* grade, const char* nome, const char* texto,
                             void (TFmRelRec::*slot)()) {
        return AcaoMenuGrade(grade, nome, QString::fromUtf8(texto), [this, slot] { (this->*slot)(); });
    };
    m_incluir = acao(ui.DBGrid3, "IncluirConsumo1", "Incluir Consumo", &TFmRelRec::IncluirConsumo1Click);
    m_substituir =
        acao(ui.DBGrid3, "SubstituirConsumo1", "Substituir Consumo", &TFmRelRec::SubstituirConsumo1Click);
    m_incluir->setVisible(false);
    m_substituir->setVisible(false);
    acao(ui.DBGrid1, "EmitirReceitas1", "Emitir Receitas", &TFmRelRec::EmitirReceitas1Click);
    acao(ui.DBGrid1, "ImprimirReceitas1", "Imprimir Receitas", &TFmRelRec::ImprimirReceitas1Click);
}

void TFmRelRec::DeclaraCaixas() {
    DeclaracaoCaixa maquina{.caixa = ui.EdtCodMaq,
                            .descricao = ui.EdtDescMaq,
                            .botao = ui.BtMaquina,
                            .titulo = QStringLiteral("Máquinas"),
                            .tabela = QStringLiteral("MAQ_TIN"),
                            .recusa = QStringLiteral("Máquina não cadastrada.")};
    maquina.aoAceitar = [this] { MaquinaAlterada(); };
    DeclaraCaixa(maquina);
    DeclaracaoCaixa banho{.caixa = ui.EdtCodBan,
                          .descricao = ui.EdtDesBan,
                          .botao = ui.BtBanho,
                          .titulo = QStringLiteral("Banhos"),
                          .tabela = QStringLiteral("BANHO"),
                          .recusa = QStringLiteral("Banho não cadastrado.")};
    banho.colunas = {QStringLiteral("PROPORCAO")};
    banho.mostra = [this](const QVariantMap& linha) {
        ui.EdtDesBan->setText(linha.value(QStringLiteral("DESCRICAO")).toString().trimmed());
        mostraNumero(ui.EdtProporc, linha.value(QStringLiteral("PROPORCAO")).toDouble(), 3);
    };
    DeclaraCaixa(banho);
    DeclaraCaixa({.caixa = ui.EdtCodGrupo,
                  .descricao = ui.EdtDesGrupo,
                  .botao = ui.BtGrupo,
                  .titulo = QStringLiteral("Subgrupos de material"),
                  .tabela = QStringLiteral("SUBGRUPO_MA"),
                  .recusa = QStringLiteral("Subgrupo não cadastrado.")});
    DeclaraCaixa({.caixa = ui.EdtCodTipo,
                  .descricao = ui.EdtDesTipo,
                  .botao = ui.BtTipo,
                  .titulo = QStringLiteral("Tipos de tingimento"),
                  .tabela = QStringLiteral("TIPO_TING"),
                  .recusa = QStringLiteral("Tipo de tingimento não cadastrado.")});
    DeclaraCaixa({.caixa = ui.EdtCliente,
                  .titulo = QStringLiteral("Clientes"),
                  .tabela = QStringLiteral("ENTIDADE"),
                  .chave = QStringLiteral("CODCLI"),
                  .campoDescricao = QStringLiteral("NOME"),
                  .recusa = QStringLiteral("Cliente não encontrado.")});
}

void TFmRelRec::Argumentos(const ArgumentosTela& argumentos) {
    const QStringList fals = argumentos.value(QStringLiteral("FALS")).toStringList();
    if (fals.isEmpty())
        return;
    ui.EdtListaFal->setText(fals.join(QStringLiteral(", ")));
    ui.ChkPendentes->setChecked(false);
    BtConsultarClick();
    for (int linha = 0; linha < TbFal->RecordCount(); ++linha)
        TbFal->SetValueAt(linha, TbFal->FieldIndex(QStringLiteral("SEL")), QStringLiteral("S"));
    ui.PageControl1->setCurrentWidget(ui.TabAcesso);
}

bool TFmRelRec::SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason reason) {
    Q_UNUSED(reason);
    if (control == ui.EdtFal && !ui.EdtFal->text().trimmed().isEmpty()) {
        IncluiFal(ui.EdtFal->text().trimmed());
        // The box waits for the next sheet, unless a button was pressed (Confirmar with the last one typed).
        return qobject_cast<QAbstractButton*>(next) != nullptr;
    }
    if (control == ui.EdtCodBan || control == ui.EdtProporc)
        RecalculaVolume(true);
    return true;
}

// ---- the batch

void TFmRelRec::IncluiFal(const QString& numero) {
    const auto fal = LeFalEmissao(numero);
    if (!fal)
        return;
    if (m_fals.contains(fal->numero)) {
        Informa(this, QStringLiteral("FAL já incluída."));
        ui.EdtFal->clear();
        ui.EdtFal->setFocus();
        return;
    }
    if (fal->liberada == QLatin1String("2") &&
        !Pergunta(this, kCaixa, QStringLiteral("Atenção. Receita não Liberada. Deseja Continuar?"), false))
        return;
    if (m_fals.isEmpty()) {
        MostraLider(*fal);
        m_fals << fal->numero;
        mostraNumero(ui.EdtPeso, fal->peso, 2);
        RecalculaVolume(true);
    } else if (fal->receita != ui.EdtReceita->text() || fal->variante != ui.EdtCodVar->text()) {
        Informa(this, fal->receita != ui.EdtReceita->text()
                          ? QStringLiteral("FAL com receitas diferentes.")
                          : QStringLiteral("FAL com variantes diferentes."));
        if (const auto lider = LeFalEmissao(m_fals.first()))
            MostraLider(*lider);
        mostraNumero(ui.EdtPeso, numeroDaCaixa(ui.EdtPeso), 2);
    } else {
        m_fals << fal->numero;
        mostraNumero(ui.EdtPeso, numeroDaCaixa(ui.EdtPeso) + fal->peso, 2);
        RecalculaVolume(true);
    }
    ui.MemoFal->setPlainText(m_fals.join(QLatin1Char('\n')));
    ui.EdtFal->clear();
    ui.EdtFal->setFocus();
}

// The leading sheet's data in the header; the machine's and bath's come with them.
void TFmRelRec::MostraLider(const FalEmissao& fal) {
    ui.EdtCodCli->setText(fal.cliente);
    ui.EdtNomCli->setText(fal.nomeCliente);
    ui.EdtCodCor->setText(fal.cor);
    ui.EdtDesCor->setText(fal.descCor);
    ui.EdtCodVar->setText(fal.variante);
    ui.EdtReceita->setText(fal.receita);
    ui.EdtPart->setText(fal.partida);
    mostraNumero(ui.EdtFibra1, fal.fibra1, 0);
    mostraNumero(ui.EdtFibra2, fal.fibra2, 0);
    m_preparacao = fal.preparacao;
    m_banhoReceita = fal.banho;
    m_status = fal.status;
    m_grafico = fal.grafico;
    ui.EdtCodMaq->setText(fal.maquina);
    MaquinaAlterada();
}

void TFmRelRec::MaquinaAlterada() {
    const MaquinaEmissao m =
        LeMaquinaEmissao(ui.EdtCodMaq->text(), ui.EdtCodVar->text(), m_banhoReceita, m_banhoDaReceita);
    ui.EdtDescMaq->setText(m.descricao);
    if (!m.banho.isEmpty())
        ui.EdtCodBan->setText(m.banho);
    mostraNumero(ui.EdtMin, m.minimo, 0);
    mostraNumero(ui.EdtMax, m.maximo, 0);
    m_arredonda = m.arredonda;
    RecalculaVolume(true);
}

void TFmRelRec::RecalculaVolume(bool mostra) {
    const double volume = VolumeBanho(numeroDaCaixa(ui.EdtPeso), numeroDaCaixa(ui.EdtProporc), m_arredonda,
                                      numeroDaCaixa(ui.EdtMin), numeroDaCaixa(ui.EdtMax));
    if (mostra || std::abs(volume - numeroDaCaixa(ui.EdtVolume)) > 1e-9)
        mostraNumero(ui.EdtVolume, volume, 2);
}

LoteEmissao TFmRelRec::LoteDaTela() const {
    LoteEmissao lote;
    lote.fals = m_fals;
    lote.receita = ui.EdtReceita->text().trimmed();
    lote.cor = ui.EdtCodCor->text().trimmed();
    lote.variante = ui.EdtCodVar->text().trimmed();
    lote.cliente = ui.EdtCodCli->text().trimmed();
    lote.maquina = ui.EdtCodMaq->text().trimmed();
    lote.banho = ui.EdtCodBan->text().trimmed();
    lote.partida = ui.EdtPart->text().trimmed();
    lote.preparacao = m_preparacao;
    lote.subgrupo = ui.EdtCodGrupo->text().trimmed();
    lote.tipo = ui.EdtCodTipo->text().trimmed();
    lote.peso = numeroDaCaixa(ui.EdtPeso);
    lote.volume = numeroDaCaixa(ui.EdtVolume);
    lote.fibra1 = numeroDaCaixa(ui.EdtFibra1);
    lote.fibra2 = numeroDaCaixa(ui.EdtFibra2);
    return lote;
}

void TFmRelRec::LimpaLote() {
    m_fals.clear();
    m_preparacao.clear();
    m_banhoReceita.clear();
    m_status.clear();
    m_grafico.clear();
    for (QLineEdit* caixa : {ui.EdtFal, ui.EdtCodCli, ui.EdtNomCli, ui.EdtCodCor, ui.EdtDesCor, ui.EdtCodVar,
                             ui.EdtReceita, ui.EdtCodMaq, ui.EdtDescMaq, ui.EdtCodBan, ui.EdtDesBan,
                             ui.EdtFibra1, ui.EdtFibra2, ui.EdtPart, ui.EdtMin, ui.EdtMax})
        caixa->clear();
    for (QLineEdit* caixa : {ui.EdtPeso, ui.EdtVolume, ui.EdtProporc})
        mostraNumero(caixa, 0, caixa == ui.EdtProporc ? 3 : 2);
    ui.MemoFal->clear();
}

void TFmRelRec::LimpaLinhas() {
    TbReceita->EmptyDataSet();
    m_incluir->setVisible(false);
    m_substituir->setVisible(false);
}

void TFmRelRec::BtLimparClick() {
    LimpaLote();
    LimpaLinhas();
    m_acumulando = false;
    ui.BtEstornar->setEnabled(false);
    ui.DBGrid3->setEnabled(true);
    ui.EdtFal->setFocus();
}

void TFmRelRec::BtLimpaPartidaClick() {
    LimpaPartida(m_fals);
    ui.EdtPart->clear();
}

// ---- computing

void TFmRelRec::AcrescentaLinhas(const QList<LinhaEmissao>& linhas, const LoteEmissao& lote) {
    const QString banho = QStringLiteral("%1 - %2 - %3")
                              .arg(ui.EdtCodBan->text().trimmed(), ui.EdtDesBan->text().trimmed(),
                                   ui.EdtProporc->text().trimmed());
    const QString maquina =
        QStringLiteral("%1 - %2").arg(ui.EdtCodMaq->text().trimmed(), ui.EdtDescMaq->text().trimmed());
    TbReceita->DisableControls();
    const auto reabre = qScopeGuard([this] { TbReceita->EnableControls(); });
    const auto antes = TbReceita->BeforeInsert;
    TbReceita->BeforeInsert = nullptr;
    const auto restaura = qScopeGuard([this, antes] { TbReceita->BeforeInsert = antes; });
    for (const LinhaEmissao& l : linhas) {
        TbReceita->Append();
        const QList<QPair<const char*, QVariant>> valores = {
            {"Material", l.item.material},
            {"Ordem", l.item.ordem},
            {"Passo", l.item.passo},
            {"Qtde", l.item.qtde},
            {"Unidade", l.item.unidade},
            {"Consumo", l.consumo},
            {"Descricao", l.item.descricao},
            {"Tipo", l.item.tipo},
            {"Grupo", l.item.grupo},
            {"Subgrupo", l.item.subgrupo},
            {"Desc_Tipo", l.item.descTipo},
            {"CT", l.contratipo ? QStringLiteral("CONTRA TIPO") : QString()},
            {"Peso", lote.peso},
            {"Volume", lote.volume},
            {"Fal", lote.Lider()},
            {"Banho", banho},
            {"Maquina", maquina},
            {"Fibra", l.item.fibra},
            {"Partida", lote.partida},
            {"Concent", l.item.concentracao},
            {"Preco", l.item.preco},
            {"Fals", lote.Fals()},
            {"Baixado", l.baixado ? QStringLiteral("S") : QStringLiteral("N")},
            {"Preparacao", lote.preparacao},
            {"Qtde_Orig", l.qtdeOrig},
            {"Lote", l.lote},
            {"Baixa_Aut", l.item.baixaAut},
            {"Estoque", l.item.estocado ? QStringLiteral("S") : QStringLiteral("N")}};
        for (const auto& [campo, valor] : valores)
            TbReceita->FieldByName(QLatin1String(campo)) = valor;
        TbReceita->Post();
    }
    TbReceita->First();
}

QList<LinhaEmissao> TFmRelRec::LinhasDaGrade() const {
    QList<LinhaEmissao> linhas;
    for (int i = 0; i < TbReceita->RecordCount(); ++i) {
        LinhaEmissao l;
        l.item.material = TbReceita->TextoEm(i, QStringLiteral("Material"));
        l.item.ordem = TbReceita->ValueAt(i, TbReceita->FieldIndex(QStringLiteral("Ordem"))).toInt();
        l.item.passo = TbReceita->TextoEm(i, QStringLiteral("Passo"));
        l.item.qtde = TbReceita->NumeroEm(i, QStringLiteral("Qtde"));
        l.item.unidade = TbReceita->TextoEm(i, QStringLiteral("Unidade"));
        l.item.tipo = TbReceita->TextoEm(i, QStringLiteral("Tipo"));
        l.item.baixaAut = TbReceita->TextoEm(i, QStringLiteral("Baixa_Aut"));
        l.qtdeOrig = TbReceita->NumeroEm(i, QStringLiteral("Qtde_Orig"));
        l.consumo = TbReceita->NumeroEm(i, QStringLiteral("Consumo"));
        l.contratipo = !TbReceita->TextoEm(i, QStringLiteral("CT")).isEmpty();
        l.lote = TbReceita->TextoEm(i, QStringLiteral("Lote"));
        l.baixado = TbReceita->TextoEm(i, QStringLiteral("Baixado")) == QLatin1String("S");
        l.item.estocado = TbReceita->TextoEm(i, QStringLiteral("Estoque")) != QLatin1String("N");
        l.item.fibra = TbReceita->TextoEm(i, QStringLiteral("Fibra"));
        l.item.concentracao = TbReceita->NumeroEm(i, QStringLiteral("Concent"));
        linhas << l;
    }
    return linhas;
}

// The stored lines of the leading sheet in the grid; locked once any is written off.
bool TFmRelRec::CarregaGravados(bool lote) {
    const ConsumosGravados gravados =
        LeConsumosGravados(m_fals.first(), ui.EdtCodGrupo->text().trimmed(), ui.EdtCodTipo->text().trimmed());
    const LoteEmissao dados = LoteDaTela();
    QList<LinhaEmissao> linhas = gravados.linhas;
    for (LinhaEmissao& l : linhas)
        if (!(l.consumo > 0))
            l.consumo =
                std::round(GramasDaLinha(l.item.qtde, l.item.unidade, l.item.fibra, l.item.concentracao,
                                         dados.peso, dados.volume, dados.fibra1, dados.fibra2) *
                           1e4) /
                1e4;
    AcrescentaLinhas(linhas, dados);
    if (!lote && gravados.baixadoEm.isValid()) {
        Informa(this, QStringLiteral("Materiais baixados do estoque dia %1.")
                          .arg(gravados.baixadoEm.toString(QStringLiteral("dd/MM/yyyy"))));
        ui.DBGrid3->setEnabled(false);
    }
    return true;
}

void TFmRelRec::Confirmar(bool lote) {
    if (m_fals.isEmpty()) {
        Recusa(ui.EdtFal, QStringLiteral("Informe a FAL."));
        return;
    }
    Ocupado(true, this);
    const auto livre = qScopeGuard([this] { Ocupado(false, this); });
    if (!m_acumulando)
        LimpaLinhas();
    ui.BtEstornar->setEnabled(false);
    ui.DBGrid3->setEnabled(true);
    MostraGrafico();
    if (const auto lider = LeFalEmissao(m_fals.first()))
        m_status = lider->status;
    if (m_status == QLatin1String("B")) {
        ui.BtEstornar->setEnabled(true);
        CarregaGravados(lote);
        return;
    }
    if (TemConsumosGravados(m_fals.first()) &&
        (lote ||
         Pergunta(this, kCaixa,
                  QStringLiteral("Existem consumos já reservados para esta receita. Deseja utilizar as "
                                 "reservas?"),
                  true))) {
        CarregaGravados(lote);
        return;
    }
    RecalculaVolume(false);
    const LoteEmissao dados = LoteDaTela();
    const LeituraEmissao leitura = LeDadosEmissao(dados, m_reserva, m_deposito);
    CalculoEmissao calculo =
        CalculaLinhas(leitura.itens, {dados.peso, dados.volume, dados.fibra1, dados.fibra2, lote},
                      leitura.estoqueKg, leitura.contratipos);
    if (!calculo.parada.isEmpty()) {
        LimpaLinhas();
        Informa(this, calculo.parada);
        return;
    }
    for (LinhaEmissao& l : calculo.linhas)
        if (l.lote.isEmpty() && calculo.totais.contains(l.item.material))
            l.lote = MenorLoteComEstoque(leitura.lotes.value(l.item.material),
                                         calculo.totais.value(l.item.material) / 1000);
    AcrescentaLinhas(calculo.linhas, dados);
    m_incluir->setVisible(true);
    m_substituir->setVisible(true);
}

// ---- printing

// Each line's lot must still hold the batch's total of its material; the user may go on without.
bool TFmRelRec::ConfereLotes() {
    const QList<LinhaEmissao> linhas = LinhasDaGrade();
    QHash<QString, double> totais;
    for (const LinhaEmissao& l : linhas)
        totais[l.item.material] += l.consumo;
    const auto lotes = LeLotesEmissao(totais.keys(), m_deposito);
    for (const LinhaEmissao& l : linhas) {
        if (l.baixado || !l.item.estocado ||
            LoteCobre(lotes.value(l.item.material), l.lote, totais.value(l.item.material) / 1000))
            continue;
        const int escolha = Mensagens().Choose(
            this, kCaixa,
            QStringLiteral("Lote com estoque insuficiente para o item %1. Deseja continuar?")
                .arg(l.item.material),
            {QStringLiteral("Sim"), QStringLiteral("Não"), QStringLiteral("Sim Todos"),
             QStringLiteral("Não Todos")},
            1);
        if (escolha == 2)
            return true;
        if (escolha != 0)
            return false;
    }
    return true;
}

void TFmRelRec::Imprime(bool lote) {
    if (TbReceita->IsEmpty()) {
        Informa(this, QStringLiteral("Nenhum consumo para imprimir."));
        return;
    }
    ConcluiEdicaoGrades(true);
    TbReceita->CheckBrowseMode();
    if (!lote) {
        const QString lider = m_fals.first();
        if (TemConsumosGravados(lider) &&
            !Pergunta(this, kCaixa, QStringLiteral("Receita da FAL já impressa. Deseja imprimir novamente?"),
                      false))
            return;
        const bool baixar = ui.ChkBaixaEstoque->isChecked();
        if (baixar && !ConfereLotes())
            return;
        const QString partida = GravaEmissao(LoteDaTela(), LinhasDaGrade());
        ui.EdtPart->setText(partida);
        for (int i = 0; i < TbReceita->RecordCount(); ++i)
            TbReceita->SetValueAt(i, TbReceita->FieldIndex(QStringLiteral("Partida")), partida);
        if (baixar && m_status != QLatin1String("B") &&
            (m_baixaParametro == QLatin1String("B") ||
             Pergunta(this, kCaixa, QStringLiteral("Deseja fazer a baixa no estoque de materiais?"), true))) {
            if (const QString recusa = BaixaEstoqueEmissao(LoteDaTela()); !recusa.isEmpty()) {
                Informa(this, recusa);
            } else {
                m_status = QStringLiteral("B");
                ui.BtEstornar->setEnabled(true);
                m_incluir->setVisible(false);
                m_substituir->setVisible(false);
                const ConsumosGravados gravados = LeConsumosGravados(lider, QString(), QString());
                for (int i = 0; i < TbReceita->RecordCount(); ++i)
                    for (const LinhaEmissao& g : gravados.linhas)
                        if (g.baixado &&
                            g.item.material == TbReceita->TextoEm(i, QStringLiteral("Material")) &&
                            g.item.ordem ==
                                TbReceita->ValueAt(i, TbReceita->FieldIndex(QStringLiteral("Ordem"))).toInt())
                            TbReceita->SetValueAt(i, TbReceita->FieldIndex(QStringLiteral("Baixado")),
                                                  QStringLiteral("S"));
            }
        }
    }
    ImprimeFolha();
}

void TFmRelRec::ImprimeFolha() {
    CabecalhoConsumo cabecalho;
    cabecalho.fals = m_fals.join(QStringLiteral(", "));
    cabecalho.partida = ui.EdtPart->text().trimmed();
    cabecalho.cliente = QStringLiteral("%1 - %2").arg(ui.EdtCodCli->text(), ui.EdtNomCli->text());
    cabecalho.cor = QStringLiteral("%1 - %2").arg(ui.EdtCodCor->text(), ui.EdtDesCor->text());
    cabecalho.variante = ui.EdtCodVar->text();
    cabecalho.receita = ui.EdtReceita->text();
    cabecalho.maquina = QStringLiteral("%1 - %2").arg(ui.EdtCodMaq->text(), ui.EdtDescMaq->text());
    cabecalho.banho = QStringLiteral("%1 - %2 (%3 L/kg)")
                          .arg(ui.EdtCodBan->text(), ui.EdtDesBan->text(), ui.EdtProporc->text());
    cabecalho.peso = ui.EdtPeso->text();
    cabecalho.volume = ui.EdtVolume->text();
    cabecalho.grafico = m_grafico;
    ImprimeConsumo(*TbReceita, cabecalho, this,
                   ui.ChkVisualiza->isChecked() ? QStringLiteral("W") : QStringLiteral("I"));
}

void TFmRelRec::MostraGrafico() {
    const QList<PassoCurva> passos = PassosDoGrafico(m_grafico);
    for (int fase = 1; fase <= m_graficos.size(); ++fase)
        MontaGraficoFase(*m_graficos[fase - 1]->chart(), passos, fase);
}

// ---- reversal

void TFmRelRec::BtEstornarClick() {
    if (m_fals.isEmpty() || !Acessa(QStringLiteral("TFmRelRec"), QStringLiteral("E"), QStringLiteral("0")))
        return;
    if (const QString recusa = EstornaEmissao(m_fals.first()); !recusa.isEmpty()) {
        Informa(this, recusa);
        return;
    }
    m_status = QStringLiteral("A");
    LimpaLinhas();
    ui.BtEstornar->setEnabled(false);
    ui.DBGrid3->setEnabled(true);
}

// ---- the lines grid

bool TFmRelRec::DBGrid3KeyDown(QKeyEvent* tecla) {
    if (TbReceita->IsEmpty() || (tecla->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    const QString campo = ui.DBGrid3->SelectedField();
    if (tecla->key() == Qt::Key_F4)
        return PesquisaNaGrade(campo);
    if (tecla->key() == Qt::Key_Tab || tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter)
        return !ConfereCelula(campo);
    return false;
}

bool TFmRelRec::PesquisaNaGrade(const QString& campo) {
    PesquisaCelula pesquisa;
    const QString material = TbReceita->FieldByName(QStringLiteral("Material")).AsString().trimmed();
    if (campo == QLatin1String("Material")) {
        pesquisa = {.titulo = QStringLiteral("Materiais"), .tabela = QStringLiteral("MATERIAL")};
        pesquisa.filtro = QStringLiteral("COALESCE(ATIVO, 'S') <> 'N'");
    } else if (campo == QLatin1String("Lote")) {
        pesquisa = {.titulo = QStringLiteral("Lotes de %1").arg(material),
                    .tabela = QStringLiteral("MAT_ITEN"),
                    .chave = QStringLiteral("LOTE"),
                    .descricao = QStringLiteral("QTDE")};
        pesquisa.filtro = QStringLiteral("CODIGO = %1 AND COR = '0' AND DEPOSITO = %2 AND QTDE > 0")
                              .arg(Aspas(material), Aspas(m_deposito));
        pesquisa.textoVazio = QStringLiteral("Nenhum lote com estoque do material %1.").arg(material);
    } else if (campo == QLatin1String("Tipo")) {
        pesquisa = {.titulo = QStringLiteral("Tipos de tingimento"), .tabela = QStringLiteral("TIPO_TING")};
    } else {
        return false;
    }
    pesquisa.campo = campo;
    if (PesquisaNaCelula(this, *TbReceita, pesquisa))
        ConfereCelula(campo);
    return true;
}

// The typed cell checked and what it brings along; false refuses it, the message shown.
bool TFmRelRec::ConfereCelula(const QString& campo) {
    ui.DBGrid3->ConcluiEdicao(true);
    const QString valor = TbReceita->FieldByName(campo).AsString().trimmed();
    if (campo == QLatin1String("Qtde")) {
        const LoteEmissao lote = LoteDaTela();
        TbReceita->Edit();
        TbReceita->FieldByName(QStringLiteral("Consumo")) =
            std::round(GramasDaLinha(TbReceita->FieldByName(QStringLiteral("Qtde")).AsFloat(),
                                     TbReceita->FieldByName(QStringLiteral("Unidade")).AsString(),
                                     TbReceita->FieldByName(QStringLiteral("Fibra")).AsString(),
                                     TbReceita->FieldByName(QStringLiteral("Concent")).AsFloat(), lote.peso,
                                     lote.volume, lote.fibra1, lote.fibra2) *
                       1e4) /
            1e4;
        TbReceita->Post();
    } else if (campo == QLatin1String("Lote") && !valor.isEmpty() &&
               !Existe(QStringLiteral("MAT_ITEN"), QStringLiteral("CODIGO;COR;DEPOSITO;LOTE"),
                       QVariantList{TbReceita->FieldByName(QStringLiteral("Material")).AsString().trimmed(),
                                    "0", m_deposito, valor})) {
        Informa(this, QStringLiteral("Lote inválido."));
        TbReceita->Edit();
        TbReceita->FieldByName(campo) = TbReceita->OldValue(TbReceita->FieldIndex(campo));
        TbReceita->Post();
        return false;
    } else if (campo == QLatin1String("Tipo")) {
        TZoQuery q;
        q.SQL << QStringLiteral("SELECT DESCRICAO, BAIXA_AUT FROM TIPO_TING WHERE CODIGO = :C");
        q.BindValue(QStringLiteral("C"), valor);
        q.Open();
        TbReceita->Edit();
        TbReceita->FieldByName(QStringLiteral("Desc_Tipo")) =
            q.IsEmpty() ? QString() : q.Fields(0).AsString();
        TbReceita->FieldByName(QStringLiteral("Baixa_Aut")) =
            q.IsEmpty() ? QString() : q.Fields(1).AsString();
        TbReceita->Post();
    } else if (campo == QLatin1String("Material") && !valor.isEmpty()) {
        TZoQuery q;
        q.SQL << QStringLiteral("SELECT DESCRICAO, GRUPO, SUB_GRUPO, CONCENTRACAO, REPOSICAO, ESTOQUE FROM "
                                "MATERIAL WHERE CODIGO = :C");
        q.BindValue(QStringLiteral("C"), valor);
        q.Open();
        if (q.IsEmpty()) {
            Informa(this, QStringLiteral("Material não cadastrado."));
            return false;
        }
        TbReceita->Edit();
        TbReceita->FieldByName(QStringLiteral("Descricao")) = q.Fields(0).AsString();
        TbReceita->FieldByName(QStringLiteral("Grupo")) = q.Fields(1).AsString();
        TbReceita->FieldByName(QStringLiteral("Subgrupo")) = q.Fields(2).AsString();
        TbReceita->FieldByName(QStringLiteral("Concent")) = q.Fields(3).AsFloat();
        TbReceita->FieldByName(QStringLiteral("Preco")) = q.Fields(4).AsFloat();
        TbReceita->FieldByName(QStringLiteral("Estoque")) =
            q.Fields(5).AsString().trimmed().toUpper() == QLatin1String("N") ? QStringLiteral("N")
                                                                             : QStringLiteral("S");
        TbReceita->Post();
    }
    return true;
}

// A line of the batch's first order past the last, for a material the user adds.
void TFmRelRec::IncluirConsumo1Click() {
    if (m_fals.isEmpty())
        return;
    int ordem = 0;
    for (const LinhaEmissao& l : LinhasDaGrade())
        ordem = std::max(ordem, l.item.ordem);
    LinhaEmissao nova;
    nova.item.ordem = ordem + 1;
    nova.item.unidade = QStringLiteral("%");
    AcrescentaLinhas({nova}, LoteDaTela());
    TbReceita->Last();
    ui.DBGrid3->SelectField(QStringLiteral("Material"));
    ui.DBGrid3->setFocus();
}

// The current line's material replaced by one chosen; the recording replaces the stored line.
void TFmRelRec::SubstituirConsumo1Click() {
    if (TbReceita->IsEmpty() ||
        TbReceita->FieldByName(QStringLiteral("Baixado")).AsString() == QLatin1String("S"))
        return;
    if (PesquisaNaGrade(QStringLiteral("Material"))) {
        TbReceita->Edit();
        TbReceita->FieldByName(QStringLiteral("CT")) = QString();
        TbReceita->FieldByName(QStringLiteral("Lote")) = QString();
        TbReceita->Post();
    }
}

// ---- the "Acesso" page

void TFmRelRec::BtConsultarClick() {
    FiltroAcesso f;
    f.de = LeData(ui.EdtDataDe->text().trimmed());
    f.ate = LeData(ui.EdtDataAte->text().trimmed());
    f.cliente = ui.EdtCliente->text();
    f.cor = ui.EdtCor->text();
    f.variante = ui.EdtVariante->text();
    f.banho = ui.EdtBanho->text();
    f.preparacao = ui.EdtPreparacao->text();
    f.fals = CodigosDaLista(ui.EdtListaFal->text());
    f.pendentes = ui.ChkPendentes->isChecked();
    Ocupado(true, this);
    const auto livre = qScopeGuard([this] { Ocupado(false, this); });
    TZoQuery q;
    q.SQL << SqlAcesso(f);
    q.Open();
    TbFal->TomaDe(q);
    TbFal->First();
}

QStringList TFmRelRec::Selecionadas() const {
    QStringList selecionadas;
    for (int i = 0; i < TbFal->RecordCount(); ++i)
        if (TbFal->TextoEm(i, QStringLiteral("SEL")) == QLatin1String("S"))
            selecionadas << TbFal->TextoEm(i, QStringLiteral("NUMERO"));
    return selecionadas;
}

// The sheets marked, each a batch of its own. Issued: each confirmed and printed as the screen does it (its
// own dye lot, recording and write-off). Printed only: their lines gathered and printed once, nothing
// recorded.
void TFmRelRec::EmiteSelecionadas(bool lote) {
    const QStringList selecionadas = Selecionadas();
    if (selecionadas.isEmpty()) {
        Informa(this, QStringLiteral("Nenhuma FAL selecionada."));
        return;
    }
    BtLimparClick();
    ui.PageControl1->setCurrentWidget(ui.TabReceita);
    m_acumulando = lote;
    const auto fim = qScopeGuard([this] {
        m_acumulando = false;
        BtLimparClick();
    });
    QStringList impressas;
    for (const QString& fal : selecionadas) {
        LimpaLote();
        if (!lote)
            LimpaLinhas();
        IncluiFal(fal);
        if (m_fals.isEmpty())
            continue;
        Confirmar(lote);
        impressas << fal;
        if (!lote && !TbReceita->IsEmpty())
            Imprime(false);
    }
    if (lote && !TbReceita->IsEmpty()) {
        m_fals = impressas;
        ImprimeFolha();
    }
}

void TFmRelRec::EmitirReceitas1Click() {
    EmiteSelecionadas(false);
}

void TFmRelRec::ImprimirReceitas1Click() {
    EmiteSelecionadas(true);
}
