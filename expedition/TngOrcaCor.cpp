#include "TngOrcaCor.h"
#include "CaixaPesquisa.h"
#include "ColunaGrade.h"
#include "CorSistema.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "DataSetModel.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "GradeEdicao.h"
#include "HostError.h"
#include "HostUi.h"
#include "Mensagens.h"
#include "ModuleUnits.h"
#include "PaginaConsulta.h"
#include "Receitas.h"
#include "Relatorio.h"
#include "TClientDataSet.h"
#include "TZoQuery.h"
#include <QKeyEvent>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScopeGuard>

TFmTngOrcaCor* FmTngOrcaCor = nullptr;

KELM_SCREEN_UNIT(TngOrcaCor, TFmTngOrcaCor, {{QStringLiteral("WTngOrcaCor"), LayoutOrcamento}});

namespace {
enum Pagina { Consulta = 0, Orcamento = 1 };

const QString kSemPreco = QStringLiteral("Percentuais somam 100% ou mais. Preço não calculado.");

// Fields of the item rows a price is made of, in the order the composition lists them.
const char* const kComposicao[] = {"Tempo",      "Quimico",  "Frete",    "Embalagem",  "Fixo",
                                   "Financeiro", "Comissao", "Impostos", "Reprocesso", "Margem"};

QString Texto(const TDataSet& dados, int linha, const char* campo) {
    return dados.TextoEm(linha, QLatin1String(campo)).trimmed();
}

ComposicaoPreco Composicao(const TDataSet& itens, int linha) {
    double v[std::size(kComposicao)];
    for (size_t i = 0; i < std::size(kComposicao); ++i)
        v[i] = itens.NumeroEm(linha, QLatin1String(kComposicao[i]));
    return {v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]};
}

QString ChaveItem(const QString& cor, const QString& variante) {
    return cor + QChar(0x1f) + variante;
}
} // namespace

TFmTngOrcaCor::TFmTngOrcaCor(QWidget* parent)
    : TForm(parent), TbItens(new TClientDataSet(this)), TbServico(new TClientDataSet(this)) {
    setObjectName(QStringLiteral("FmTngOrcaCor"));
    setWindowTitle(QStringLiteral("Orçamento para Beneficiamento"));
    KeyPreview = true;
    ui.setupUi(this);
    ui.EdtNumero->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,6}")), ui.EdtNumero));
    ui.CbSituacao->addItems(
        {QStringLiteral("Pendente"), QStringLiteral("Confirmado"), QStringLiteral("Descartado")});
    TbItens->setObjectName(QStringLiteral("TbItens"));
    TbServico->setObjectName(QStringLiteral("TbServico"));
    LigaBotoes();
    DeclaraCaixas();
}

void TFmTngOrcaCor::LigaBotoes() {
    connect(ui.BitBtn1, &QPushButton::clicked, this, Protegido([this] { BitBtn1Click(); }));
    connect(ui.BitBtn4, &QPushButton::clicked, this, Protegido([this] { BitBtn4Click(); }));
    connect(ui.BtImprimir, &QPushButton::clicked, this, Protegido([this] { BtImprimirClick(); }));
    connect(ui.BitBtn6, &QPushButton::clicked, this, Protegido([this] { BitBtn6Click(); }));
    connect(ui.BitBtn9, &QPushButton::clicked, this, Protegido([this] { BitBtn9Click(); }));
    connect(ui.BtFechar, &QPushButton::clicked, this, [this] { close(); });
    SaidaSemConferencia(ui.BtFechar);
    SaidaSemConferencia(ui.TsConsulta);
}

// Saved, the screen is cleared for the next quotation.
void TFmTngOrcaCor::BitBtn1Click() {
    if (!Grava())
        return;
    Limpa();
    ui.EdtNumero->clear();
    ui.EdtNumero->setFocus();
}

void TFmTngOrcaCor::DeclaraCaixas() {
    DeclaracaoCaixa cliente;
    cliente.caixa = ui.EdtCodCli;
    cliente.descricao = ui.EdtNomCli;
    cliente.botao = ui.PqCodCli;
    cliente.titulo = QStringLiteral("Clientes");
    cliente.tabela = QStringLiteral("ENTIDADE");
    cliente.chave = QStringLiteral("CODCLI");
    cliente.campoDescricao = QStringLiteral("NOME");
    cliente.recusa = QStringLiteral("Cliente inválido.");
    cliente.colunas = {QStringLiteral("NOME"), QStringLiteral("TABELA"), QStringLiteral("CONDICAO")};
    cliente.mostra = [this](const QVariantMap& linha) {
        m_nomeCliente = linha.value(QStringLiteral("NOME")).toString().trimmed();
        ui.EdtNomCli->setText(m_nomeCliente);
        ui.EdtTab->setText(linha.value(QStringLiteral("TABELA")).toString().trimmed());
        ui.EdtCondicao->setText(MontaCondicao(linha.value(QStringLiteral("CONDICAO")).toString()));
    };
    DeclaraCaixa(cliente);
    const struct {
        QLineEdit* caixa;
        QToolButton* botao;
        QLineEdit* descricao;
        const char* titulo;
        const char* tabela;
        const char* chave;
        const char* campoDescricao;
        const char* recusa;
    } filtros[] = {
        {ui.EdtCliCons, ui.PqCliCons, ui.EdtNomCliCons, "Clientes", "ENTIDADE", "CODCLI", "NOME",
         "Cliente inválido."},
        {ui.EdtGrupoCons, ui.PqGrupoCons, ui.EdtDescGrupoCons, "Grupos de Clientes", "GRUPO_CLI", "CODIGO",
         "DESCRICAO", "Grupo não cadastrado."},
        {ui.EdtCorCons, ui.PqCorCons, nullptr, "Cores", "CADCORTIN", "CODIGO", "DESCRICAO",
         "Cor não cadastrada."},
        {ui.EdtVarCons, ui.PqVarCons, nullptr, "Variantes", "VARIANTE", "CODIGO", "DESCRICAO",
         "Variante Inválida."},
        {ui.EdtFluxoCons, ui.PqFluxoCons, nullptr, "Fluxos", "ROTEIRO", "CODIGO", "DESCRICAO",
         "Fluxo não cadastrado."},
    };
    for (const auto& f : filtros) {
        DeclaracaoCaixa d;
        d.caixa = f.caixa;
        d.botao = f.botao;
        d.descricao = f.descricao;
        d.titulo = QString::fromUtf8(f.titulo);
        d.tabela = QLatin1String(f.tabela);
        d.chave = QLatin1String(f.chave);
        d.campoDescricao = QLatin1String(f.campoDescricao);
        d.recusa = QString::fromUtf8(f.recusa);
        d.distintos = f.caixa == ui.EdtFluxoCons; // a route keeps a row per step
        DeclaraCaixa(d);
    }
}

void TFmTngOrcaCor::FormCreate() {
    PublicaInstancia(FmTngOrcaCor);
    PreparaItens();
    PreparaServicos();
    PreparaConsulta();
    DicaTeclas({ui.DBGrid1}, QStringLiteral("F4: pesquisa da coluna (cor, variante, fluxo) · Tab: calcula o "
                                            "item · botão direito: Buscar Custo Estampa"));
    DicaTeclas({ui.DBGrid3}, QStringLiteral("F4: serviços com preço para o cliente"));
    const QDate hoje = QDate::currentDate();
    ui.EdtDataIni->setText(TextoExibicao(QDate(hoje.year() - 1, 1, 1)));
    ui.EdtDataFim->setText(TextoExibicao(hoje));
    ui.RgSituacaoTodos->setChecked(true);
    VigiaAlteracoes({TbItens, TbServico}, {ui.EdtData, ui.EdtCodCli, ui.EdtObs, ui.CbSituacao}, ui.BitBtn1);
    ui.PageControl1->setCurrentIndex(Orcamento);
    ui.EdtNumero->setFocus();
}

void TFmTngOrcaCor::FormClose() {
    TbItens->Cancel();
    TbServico->Cancel();
}

void TFmTngOrcaCor::PreparaItens() {
    TbItens->AddField(QStringLiteral("Ordem"), QMetaType::Int)
        .AddField(QStringLiteral("Cor"), QMetaType::QString, 10)
        .AddField(QStringLiteral("Descricao"), QMetaType::QString, 50)
        .AddField(QStringLiteral("Variante"), QMetaType::QString, 4)
        .AddField(QStringLiteral("DescVar"), QMetaType::QString, 50)
        .AddField(QStringLiteral("Fluxo"), QMetaType::QString, 6)
        .AddField(QStringLiteral("DescFluxo"), QMetaType::QString, 50)
        .AddField(QStringLiteral("Preco_Tab"), QMetaType::Double)
        .AddField(QStringLiteral("Tempo_Hr"), QMetaType::QString, 8);
    for (const char* campo : kComposicao)
        TbItens->AddField(QLatin1String(campo), QMetaType::Double);
    for (const char* campo : {"Preco", "Servicos", "PrecoTotal", "Margem_Calc", "Lucro_Calc"})
        TbItens->AddField(QLatin1String(campo), QMetaType::Double);
    TbItens->AddField(QStringLiteral("Aprovado"), QMetaType::QString, 1)
        .AddField(QStringLiteral("Sel"), QMetaType::QString, 1)
        .AddField(QStringLiteral("Obs"), QMetaType::QString, 100)
        .AddField(QStringLiteral("COR_I"), QMetaType::Int)
        .AddField(QStringLiteral("SemPreco"), QMetaType::QString, 1);
    TbItens->CreateDataSet();
    ui.DBGrid1->SetDataSet(TbItens);
    DataSetModel* modelo = DataSetModel::Of(TbItens);
    modelo->SetCheckField(QStringLiteral("Sel"));
    modelo->SetCheckField(QStringLiteral("Aprovado"));
    // A row the percentages leave without a price is red until it is priced.
    modelo->SetRowColor([this](int linha) {
        return Texto(*TbItens, linha, "SemPreco") == QLatin1String("S") ? QColor(Qt::red) : QColor();
    });
    const int corI = TbItens->FieldIndex(QStringLiteral("COR_I"));
    modelo->SetCellBackground([this, corI](int linha, int campo) {
        return campo == corI ? CorDoSistema(TbItens->ValueAt(linha, corI)) : QColor();
    });
    ui.DBGrid1->DeclaraColunas({ColunaGrade("Ordem", "Ordem").SomenteLeitura().Oculta(),
                                {"Cor", "Cor"},
                                ColunaGrade("Descricao", "Descrição").Largura(24).SomenteLeitura(),
                                {"Variante", "Variante"},
                                ColunaGrade("DescVar", "Descrição da variante").Largura(18).SomenteLeitura(),
                                {"Fluxo", "Fluxo"},
                                ColunaGrade("DescFluxo", "Descrição do fluxo").Largura(18).SomenteLeitura(),
                                ColunaGrade("Preco_Tab", "Preço tabela (R$/kg)").Casas(2).SomenteLeitura(),
                                ColunaGrade("Tempo_Hr", "Tempo da curva").SomenteLeitura(),
                                ColunaGrade("Tempo", "Custo tempo (R$/kg)").Casas(4).SomenteLeitura(),
                                ColunaGrade("Quimico", "Químico (R$/kg)").Casas(4),
                                ColunaGrade("Frete", "Frete (R$/kg)").Casas(4).SomenteLeitura(),
                                ColunaGrade("Embalagem", "Embalagem (R$/kg)").Casas(4).SomenteLeitura(),
                                ColunaGrade("Fixo", "Fixo (R$/kg)").Casas(4),
                                ColunaGrade("Financeiro", "Financeiro (%)").Casas(2).SomenteLeitura(),
                                ColunaGrade("Comissao", "Comissão (%)").Casas(2).SomenteLeitura(),
                                ColunaGrade("Impostos", "Impostos (%)").Casas(2).SomenteLeitura(),
                                ColunaGrade("Reprocesso", "Reprocesso (%)").Casas(2).SomenteLeitura(),
                                ColunaGrade("Margem", "Margem (%)").Casas(2).SomenteLeitura(),
                                ColunaGrade("Preco", "Preço (R$/kg)").Casas(2),
                                ColunaGrade("Servicos", "Serviços (R$/kg)").Casas(2).SomenteLeitura(),
                                ColunaGrade("PrecoTotal", "Preço total (R$/kg)").Casas(2).SomenteLeitura(),
                                ColunaGrade("Margem_Calc", "Margem calc. (%)").Casas(2).SomenteLeitura(),
                                ColunaGrade("Lucro_Calc", "Lucro (R$/kg)").Casas(2).SomenteLeitura(),
                                {"Aprovado", "Aprovado"},
                                {"Sel", "Sel"},
                                ColunaGrade("Obs", "Obs.").Largura(20),
                                ColunaGrade("COR_I", "Cor").Largura(3).SomenteLeitura().Amostra()});
    ui.DBGrid1->OnKeyDown = [this](QKeyEvent* tecla) { return DBGrid1KeyDown(tecla); };
    TbItens->AfterInsert = [this](TDataSet& item) {
        item.FieldByName(QStringLiteral("Ordem")) = item.RecordCount();
        item.FieldByName(QStringLiteral("Sel")) = QStringLiteral("N");
        item.FieldByName(QStringLiteral("Aprovado")) = QStringLiteral("N");
    };
    AcaoMenuGrade(ui.DBGrid1, "BuscarCustoEstampa1", QStringLiteral("Buscar Custo Estampa"),
                  [this] { BuscarCustoEstampa1Click(); });
    AcompanhaLinhas(TbItens, this, [this] { MostraTotais(); });
}

void TFmTngOrcaCor::PreparaServicos() {
    TbServico->AddField(QStringLiteral("Codigo"), QMetaType::QString, 3)
        .AddField(QStringLiteral("Descricao"), QMetaType::QString, 30)
        .AddField(QStringLiteral("Custo"), QMetaType::Double);
    TbServico->CreateDataSet();
    ui.DBGrid3->SetDataSet(TbServico);
    ui.DBGrid3->DeclaraColunas({{"Codigo", "Fase"},
                                ColunaGrade("Descricao", "Descrição").SomenteLeitura().Estica(),
                                ColunaGrade("Custo", "Custo (R$/kg)").Casas(2).SomenteLeitura()});
    ui.DBGrid3->OnKeyDown = [this](QKeyEvent* tecla) { return DBGrid3KeyDown(tecla); };
    // However the row is left (Tab, Down, a click), a phase without the customer's price is not taken.
    TbServico->BeforePost = [this](TDataSet& servico) {
        if (m_limpando) // loading what is stored, a price removed since included
            return;
        const QString fase = servico.FieldByName(QStringLiteral("Codigo")).AsString().trimmed();
        if (fase.isEmpty())
            return;
        TZoQuery preco;
        preco.SQL << DBLocal_SQL(
            QStringLiteral("SELECT DESCRICAO, CUSTO FROM {TABPRE_SERV} WHERE FASE = :F AND CODCLI = :C"));
        preco.BindValue(QStringLiteral("F"), fase);
        preco.BindValue(QStringLiteral("C"), ui.EdtCodCli->text().trimmed());
        preco.Open();
        if (preco.IsEmpty()) {
            servico.FieldByName(QStringLiteral("Codigo")) = QVariant();
            Informa(this, QStringLiteral("Preço do Serviço não cadastrado."));
            throw EAbort();
        }
        servico.FieldByName(QStringLiteral("Descricao")) =
            preco.FieldByName(QStringLiteral("DESCRICAO")).Value();
        servico.FieldByName(QStringLiteral("Custo")) = preco.FieldByName(QStringLiteral("CUSTO")).Value();
    };
    // Services removed or added change what every item's route adds to its price.
    AcompanhaLinhas(TbServico, this, [this] {
        if (!m_limpando && !TbServico->Editing())
            CalculaMargens();
    });
}

void TFmTngOrcaCor::PreparaConsulta() {
    m_consulta = new PaginaConsulta(this, ui.DBGrid2, ui.LbQtdeConsulta);
    m_consulta->pesquisa.CampoChave = QStringLiteral("NUMERO");
    m_consulta->pesquisa.OrdenarPor = QStringLiteral("P.NUMERO DESC");
    m_consulta->textoContagem = [](int linhas) { return QStringLiteral("%1 orçamento(s)").arg(linhas); };
    m_consulta->abre = [this] { AbreDaConsulta(); };
    ui.DBGrid2->DeclaraColunas({{"NUMERO", "Número"},
                                {"DATA", "Data"},
                                {"CODCLI", "Cliente"},
                                ColunaGrade("NOME", "Nome").Estica(),
                                ColunaGrade("OBS", "Obs.").Largura(30),
                                ColunaGrade("SITUACAO", "Situação")
                                    .Textos({{QStringLiteral("0"), QStringLiteral("Pendente")},
                                             {QStringLiteral("1"), QStringLiteral("Confirmado")},
                                             {QStringLiteral("2"), QStringLiteral("Descartado")}})});
}

bool TFmTngOrcaCor::SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason reason) {
    Q_UNUSED(next);
    Q_UNUSED(reason);
    if (control == ui.EdtNumero)
        EdtNumeroExit();
    else if (control == ui.EdtData && !LeData(ui.EdtData->text()).isValid())
        return Recusa(ui.EdtData, QStringLiteral("Data inválida."));
    return true;
}

// ---- the quotation shown

void TFmTngOrcaCor::Limpa() {
    m_limpando = true;
    for (QLineEdit* caixa : {ui.EdtData, ui.EdtCodCli, ui.EdtNomCli, ui.EdtTab, ui.EdtCondicao, ui.EdtObs,
                             ui.EdtPrecoMedio, ui.EdtMargemMedia, ui.EdtLucroMedio})
        caixa->clear();
    ui.CbSituacao->setCurrentIndex(0);
    TbItens->Cancel();
    TbServico->Cancel();
    TbItens->EmptyDataSet();
    TbServico->EmptyDataSet();
    m_numero.clear();
    m_carregado.clear();
    m_nomeCliente.clear();
    m_limpando = false;
    AlteracoesGravadas();
}

void TFmTngOrcaCor::EdtNumeroExit() {
    QString numero = ui.EdtNumero->text().trimmed();
    if (!numero.isEmpty())
        numero = numero.rightJustified(6, QLatin1Char('0'));
    if (!numero.isEmpty() && numero == m_numero) {
        ui.EdtNumero->setText(numero);
        return;
    }
    if (TemAlteracoes() &&
        !Pergunta(this, windowTitle(),
                  QStringLiteral("As alterações do orçamento %1 não foram gravadas. Deseja descartá-las?")
                      .arg(m_numero),
                  false)) {
        ui.EdtNumero->setText(m_numero);
        return;
    }
    Limpa();
    if (const auto orcamento = numero.isEmpty() ? std::nullopt : LeOrcamento(numero)) {
        Mostra(*orcamento);
        return;
    }
    if (numero.isEmpty())
        numero = Proximo(QStringLiteral("ORCAMENTO"), QStringLiteral("NUMERO"), 6);
    m_numero = numero;
    ui.EdtNumero->setText(numero);
    ui.EdtData->setText(TextoExibicao(QDate::currentDate()));
    AlteracoesGravadas();
}

void TFmTngOrcaCor::Mostra(const OrcamentoLido& o) {
    m_limpando = true;
    ui.EdtNumero->setText(o.numero);
    ui.EdtData->setText(TextoExibicao(o.data));
    ui.EdtCodCli->setText(o.cliente);
    m_nomeCliente = o.nome;
    ui.EdtNomCli->setText(o.nome);
    ui.EdtTab->setText(o.regiao);
    ui.EdtCondicao->setText(MontaCondicao(o.condicao));
    ui.EdtObs->setText(o.obs);
    ui.CbSituacao->setCurrentIndex(qBound(0, o.situacao.toInt(), 2));
    {
        ControlesDesligados quieto(*TbServico);
        for (const ServicoLido& s : o.servicos) {
            TbServico->Append();
            TbServico->FieldByName(QStringLiteral("Codigo")) = s.fase;
            TbServico->FieldByName(QStringLiteral("Descricao")) = s.descricao;
            TbServico->FieldByName(QStringLiteral("Custo")) = s.custo;
            TbServico->Post();
        }
        TbServico->First();
    }
    QSet<QString> fluxos;
    for (const ItemLido& i : o.itens)
        fluxos << i.fluxo.trimmed();
    m_fases = FasesDosFluxos(fluxos);
    // The stored costs and price, priced again against the customer's parameters of today.
    const ParametrosPreco p = LeParametros(o.cliente).value_or(ParametrosPreco{});
    {
        ControlesDesligados quieto(*TbItens);
        int ordem = 0;
        for (const ItemLido& i : o.itens) {
            TbItens->Append();
            const auto poe = [&](const char* campo, const QVariant& valor) {
                TbItens->FieldByName(QLatin1String(campo)) = valor;
            };
            poe("Ordem", ++ordem);
            poe("Cor", i.cor);
            poe("Descricao", i.descricao);
            poe("Variante", i.variante);
            poe("DescVar", i.descVar);
            poe("Fluxo", i.fluxo);
            poe("DescFluxo", i.descFluxo);
            poe("Preco_Tab", i.precoTabela);
            poe("Tempo_Hr", i.tempoHr);
            poe("Tempo", i.tempo);
            poe("Quimico", i.quimico);
            poe("Frete", p.frete);
            poe("Embalagem", p.embalagem);
            poe("Fixo", i.fixo);
            poe("Financeiro", p.financeiro);
            poe("Comissao", p.comissao);
            poe("Impostos", p.cofins + p.icms + p.irpj + p.contrSocial);
            poe("Reprocesso", p.perda);
            poe("Margem", p.margem);
            poe("Preco", i.preco);
            poe("Margem_Calc", i.indice);
            poe("Lucro_Calc", i.indice / 100 * i.preco);
            poe("Aprovado", i.aprovado == QLatin1String("S") ? QStringLiteral("S") : QStringLiteral("N"));
            poe("Sel", QStringLiteral("N"));
            poe("COR_I", i.corSistema);
            TbItens->Post();
        }
        TbItens->First();
    }
    m_numero = o.numero;
    m_carregado = o.gravado;
    m_limpando = false;
    CalculaMargens();
    AlteracoesGravadas();
}

OrcamentoGravar TFmTngOrcaCor::DaTela() const {
    OrcamentoGravar o;
    o.numero = m_numero;
    o.cliente = ui.EdtCodCli->text().trimmed();
    o.obs = ui.EdtObs->text().trimmed();
    o.situacao = QString::number(ui.CbSituacao->currentIndex());
    o.data = LeData(ui.EdtData->text());
    for (int i = 0; i < TbItens->RecordCount(); ++i) {
        if (Texto(*TbItens, i, "Cor").isEmpty())
            continue;
        o.itens.append(
            {Texto(*TbItens, i, "Cor"), Texto(*TbItens, i, "Variante"), Texto(*TbItens, i, "Fluxo"),
             Texto(*TbItens, i, "Aprovado"), TbItens->NumeroEm(i, QStringLiteral("Margem_Calc")),
             TbItens->NumeroEm(i, QStringLiteral("Quimico")), TbItens->NumeroEm(i, QStringLiteral("Tempo")),
             TbItens->NumeroEm(i, QStringLiteral("Fixo")), TbItens->NumeroEm(i, QStringLiteral("Preco"))});
    }
    for (int i = 0; i < TbServico->RecordCount(); ++i)
        if (const QString fase = Texto(*TbServico, i, "Codigo"); !fase.isEmpty())
            o.servicos << fase;
    return o;
}

bool TFmTngOrcaCor::Grava() {
    ConcluiEdicaoGrades(true);
    TbItens->CheckBrowseMode();
    TbServico->CheckBrowseMode();
    if (m_numero.isEmpty())
        return Recusa(ui.EdtNumero, QStringLiteral("Informe o número do orçamento."));
    const QString cliente = ui.EdtCodCli->text().trimmed();
    if (cliente.isEmpty() ||
        !Existe(QStringLiteral("ENTIDADE"), QStringLiteral("CODCLI"), QVariantList{cliente}))
        return Recusa(ui.EdtCodCli, QStringLiteral("Cliente inválido."));
    if (!LeData(ui.EdtData->text()).isValid())
        return Recusa(ui.EdtData, QStringLiteral("Data inválida."));
    // Codes left by Down or a click, not by Tab, are checked and priced now as Tab would have.
    for (int i = 0; i < TbItens->RecordCount(); ++i)
        if (!Texto(*TbItens, i, "Cor").isEmpty() &&
            (Texto(*TbItens, i, "Descricao").isEmpty() || Texto(*TbItens, i, "DescVar").isEmpty())) {
            TbItens->MoveTo(i);
            if (!ConfereItem(QStringLiteral("Cor"), true) || !ConfereItem(QStringLiteral("Variante"), true))
                return false;
        }
    for (int i = 0; i < TbItens->RecordCount(); ++i)
        if (const QString cor = Texto(*TbItens, i, "Cor");
            !cor.isEmpty() && Texto(*TbItens, i, "Variante").isEmpty()) {
            ui.DBGrid1->setFocus();
            TbItens->MoveTo(i);
            Informa(this, QStringLiteral("Item %1: informe a variante da cor %2.").arg(i + 1).arg(cor));
            return false;
        }
    // Every question before anything is written: "Não" leaves the stored quotation as it was.
    const OrcamentoGravar o = DaTela();
    QHash<QString, int> vezes;
    for (const ItemGravar& i : o.itens)
        ++vezes[ChaveItem(i.cor, i.variante)];
    QSet<QString> perguntadas;
    bool simTodos = false;
    for (const ItemGravar& i : o.itens) {
        const QString chave = ChaveItem(i.cor, i.variante);
        if (simTodos || vezes.value(chave) < 2 || perguntadas.contains(chave))
            continue;
        perguntadas << chave;
        const int resposta = Mensagens().Choose(
            this, windowTitle(),
            QStringLiteral("Cor %1 na variante %2 já cadastrada.\nDeseja continuar?").arg(i.cor, i.variante),
            {QStringLiteral("Sim"), QStringLiteral("Não"), QStringLiteral("Sim Todos"),
             QStringLiteral("Não Todos")},
            0);
        if (resposta != 0 && resposta != 2)
            return false;
        simTodos = resposta == 2;
    }
    Ocupado(true, this, QStringLiteral("Gravando"));
    const auto fim = qScopeGuard([this] { Ocupado(false, this); });
    if (!GravaOrcamento(o, m_carregado)) {
        Informa(this,
                QStringLiteral("Orçamento %1 alterado por outro usuário desde que foi carregado: nada foi "
                               "gravado. Carregue-o novamente.")
                    .arg(m_numero));
        return false;
    }
    m_carregado = ImpressaoOrcamento(o);
    AlteracoesGravadas();
    return true;
}

bool TFmTngOrcaCor::ConfereGravado(const QString& acao) {
    ConcluiEdicaoGrades(true);
    TbItens->CheckBrowseMode();
    TbServico->CheckBrowseMode();
    if (m_numero.isEmpty()) {
        Informa(this, QStringLiteral("Nenhum orçamento na tela."));
        return false;
    }
    if (ImpressaoGravada(m_numero, false) == ImpressaoOrcamento(DaTela(), false))
        return true;
    if (!Pergunta(
            this, windowTitle(),
            QStringLiteral("O orçamento na tela difere do gravado. Deseja gravá-lo antes de %1?").arg(acao),
            true))
        return false;
    return Grava();
}

void TFmTngOrcaCor::BitBtn4Click() {
    if (!ConfereGravado(QStringLiteral("duplicar")))
        return;
    QString cliente;
    if (!InputQuery(this, QStringLiteral("Duplica Orcamento de Cores"), QStringLiteral("Cliente"), cliente))
        return;
    cliente = cliente.trimmed();
    if (cliente.isEmpty() ||
        !Existe(QStringLiteral("ENTIDADE"), QStringLiteral("CODCLI"), QVariantList{cliente})) {
        Informa(this, QStringLiteral("Cliente inválido."));
        return;
    }
    const QString novo = DuplicaOrcamento(m_numero, cliente);
    Informa(this, QStringLiteral("Orçamento %1 gerado para o cliente %2.").arg(novo, cliente));
}

void TFmTngOrcaCor::BitBtn6Click() {
    if (!ConfereGravado(QStringLiteral("lançar os preços")))
        return;
    QList<PrecoLancar> precos;
    QSet<QString> lancadas;
    for (int i = 0; i < TbItens->RecordCount(); ++i)
        if (Texto(*TbItens, i, "Sel") == QLatin1String("S") && !Texto(*TbItens, i, "Cor").isEmpty()) {
            precos.append({Texto(*TbItens, i, "Cor"), Texto(*TbItens, i, "Variante"),
                           Texto(*TbItens, i, "Descricao"), TbItens->NumeroEm(i, QStringLiteral("Preco"))});
            lancadas << ChaveItem(precos.last().cor, precos.last().variante);
        }
    if (precos.isEmpty()) {
        Informa(this, QStringLiteral("Marque os itens cujos preços serão lançados."));
        return;
    }
    if (const QString recusa = RecusaLancamento(ui.EdtTab->text(), precos); !recusa.isEmpty()) {
        Informa(this, recusa);
        return;
    }
    try {
        if (!LancaPrecos(m_numero, ui.EdtTab->text(), m_nomeCliente, LeData(ui.EdtData->text()), precos,
                         ImpressaoOrcamento(DaTela(), false))) {
            Informa(this, QStringLiteral("Orçamento %1 alterado por outro usuário: nenhum preço foi lançado. "
                                         "Carregue-o novamente.")
                              .arg(m_numero));
            return;
        }
    } catch (const EDatabaseError& erro) {
        Informa(this, QStringLiteral("Ocorreu um erro na operação.\rErro: ") + erro.message());
        return;
    }
    // Every row of a colour and variant posted is posted, as the table now says.
    const int aprovado = TbItens->FieldIndex(QStringLiteral("Aprovado"));
    const int precoTab = TbItens->FieldIndex(QStringLiteral("Preco_Tab"));
    for (int i = 0; i < TbItens->RecordCount(); ++i)
        if (lancadas.contains(ChaveItem(Texto(*TbItens, i, "Cor"), Texto(*TbItens, i, "Variante")))) {
            TbItens->SetValueAt(i, aprovado, QStringLiteral("S"));
            TbItens->SetValueAt(i, precoTab, TbItens->NumeroEm(i, QStringLiteral("Preco")));
        }
    m_carregado = ImpressaoOrcamento(DaTela());
    AlteracoesGravadas();
    Informa(this, QStringLiteral("Preços Lançados na Tabela de Preços."));
}

void TFmTngOrcaCor::BtImprimirClick() {
    ConcluiEdicaoGrades(true);
    TbItens->CheckBrowseMode();
    TbServico->CheckBrowseMode();
    if (DaTela().itens.isEmpty()) {
        Informa(this, QStringLiteral("Nenhum item para imprimir."));
        return;
    }
    // Blank rows left by the keyboard are not items.
    TbItens->SetFilter([](const RecordView& linha) {
        return !linha.value(QStringLiteral("Cor")).toString().trimmed().isEmpty();
    });
    const auto semFiltro = qScopeGuard([this] { TbItens->ClearFilter(); });
    TRelatorio relatorio(QStringLiteral("WTngOrcaCor"), QStringLiteral("Orçamento para Beneficiamento"),
                         TbItens);
    relatorio.AdicionaCabecalho(
        QStringLiteral("Orçamento"),
        QStringLiteral("%1 de %2 - %3").arg(m_numero, ui.EdtData->text(), ui.CbSituacao->currentText()));
    for (const auto& [rotulo, valor] : CabecalhoCliente(ui.EdtCodCli->text()))
        if (!valor.isEmpty())
            relatorio.AdicionaCabecalho(rotulo, valor);
    if (!ui.EdtObs->text().trimmed().isEmpty())
        relatorio.AdicionaCabecalho(QStringLiteral("Obs."), ui.EdtObs->text().trimmed());
    relatorio.AdicionaSecao(
        TRelatorio(QStringLiteral("WTngOrcaCorServicos"), QStringLiteral("Serviços"), TbServico));
    TClientDataSet medias;
    medias.AddField(QStringLiteral("Preco"), QMetaType::Double, 0, QStringLiteral("Preço médio (R$/kg)"))
        .AddField(QStringLiteral("Margem"), QMetaType::Double, 0, QStringLiteral("Margem média (%)"))
        .AddField(QStringLiteral("Lucro"), QMetaType::Double, 0, QStringLiteral("Lucro médio (R$/kg)"));
    medias.CreateDataSet();
    medias.Append();
    medias.FieldByName(QStringLiteral("Preco")) = m_medias.preco;
    medias.FieldByName(QStringLiteral("Margem")) = m_medias.margem;
    medias.FieldByName(QStringLiteral("Lucro")) = m_medias.lucro;
    medias.Post();
    relatorio.AdicionaSecao(
        TRelatorio(QStringLiteral("WTngOrcaCorMedias"), QStringLiteral("Médias"), &medias));
    Chama_Relatorio(relatorio, this, QStringLiteral("W"));
}

void LayoutOrcamento(TRelatorio& r) {
    r.DefineColunas({r.Coluna(QStringLiteral("Cor"), QStringLiteral("Cor")),
                     r.Coluna(QStringLiteral("Descricao"), QStringLiteral("Descrição")),
                     r.Coluna(QStringLiteral("Variante"), QStringLiteral("Var.")),
                     r.Coluna(QStringLiteral("Fluxo"), QStringLiteral("Fluxo")),
                     r.Coluna(QStringLiteral("Tempo_Hr"), QStringLiteral("Tempo")),
                     r.Coluna(QStringLiteral("Quimico"), QStringLiteral("Químico"), 4),
                     r.Coluna(QStringLiteral("Tempo"), QStringLiteral("C. tempo"), 4),
                     r.Coluna(QStringLiteral("Frete"), QStringLiteral("Frete"), 4),
                     r.Coluna(QStringLiteral("Embalagem"), QStringLiteral("Embal."), 4),
                     r.Coluna(QStringLiteral("Fixo"), QStringLiteral("Fixo"), 4),
                     r.Coluna(QStringLiteral("Preco"), QStringLiteral("Preço"), 2),
                     r.Coluna(QStringLiteral("Servicos"), QStringLiteral("Serviços"), 2),
                     r.Coluna(QStringLiteral("PrecoTotal"), QStringLiteral("Preço total"), 2),
                     r.Coluna(QStringLiteral("Margem_Calc"), QStringLiteral("Margem %"), 2),
                     r.Coluna(QStringLiteral("Lucro_Calc"), QStringLiteral("Lucro"), 2),
                     r.Coluna(QStringLiteral("Preco_Tab"), QStringLiteral("Preço tabela"), 2)});
    r.DefineSomas(false); // prices per kilogram add up to nothing
    QList<TRelatorio>& secoes = r.Secoes();
    if (!secoes.isEmpty())
        secoes[0].DefineColunas(
            {secoes[0].Coluna(QStringLiteral("Codigo"), QStringLiteral("Fase")),
             secoes[0].Coluna(QStringLiteral("Descricao"), QStringLiteral("Descrição")),
             secoes[0].Coluna(QStringLiteral("Custo"), QStringLiteral("Custo (R$/kg)"), 2, true)});
    if (secoes.size() > 1)
        secoes[1].DefineColunas(
            {secoes[1].Coluna(QStringLiteral("Preco"), QStringLiteral("Preço médio (R$/kg)"), 2),
             secoes[1].Coluna(QStringLiteral("Margem"), QStringLiteral("Margem média (%)"), 2),
             secoes[1].Coluna(QStringLiteral("Lucro"), QStringLiteral("Lucro médio (R$/kg)"), 2)});
    if (secoes.size() > 1)
        secoes[1].DefineSomas(false);
}

// ---- item grid

bool TFmTngOrcaCor::DBGrid1KeyDown(QKeyEvent* tecla) {
    if (TeclaLinhaGrade(*ui.DBGrid1, tecla))
        return true;
    if ((tecla->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    const QString campo = ui.DBGrid1->SelectedField();
    if (tecla->key() == Qt::Key_F4) {
        PesquisaCelula p;
        if (campo == QLatin1String("Cor"))
            p = {.titulo = QStringLiteral("Cores"),
                 .tabela = QStringLiteral("CADCORTIN"),
                 .campo = campo,
                 .campoDescricao = QStringLiteral("Descricao")};
        else if (campo == QLatin1String("Variante"))
            p = {.titulo = QStringLiteral("Variantes"),
                 .tabela = QStringLiteral("VARIANTE"),
                 .campo = campo,
                 .campoDescricao = QStringLiteral("DescVar")};
        else if (campo == QLatin1String("Fluxo"))
            p = {.titulo = QStringLiteral("Fluxos"),
                 .tabela = QStringLiteral("ROTEIRO"),
                 .distintos = true,
                 .campo = campo,
                 .campoDescricao = QStringLiteral("DescFluxo")};
        else
            return false;
        if (PesquisaNaCelula(this, *TbItens, p))
            ConfereItem(campo);
        return true;
    }
    if (tecla->key() == Qt::Key_Tab)
        return !ConfereItem(campo);
    return false;
}

bool TFmTngOrcaCor::ConfereItem(const QString& campo, bool forca) {
    if (TbItens->IsEmpty())
        return true;
    // Tab through a cell left as it was prices nothing again: the typed costs of the row stay.
    const int indice = TbItens->FieldIndex(campo);
    const bool mudou = TbItens->State() == DataSetState::Insert ||
                       (TbItens->State() == DataSetState::Edit &&
                        TbItens->OldValue(indice) != TbItens->CurrentValue(indice));
    if (!forca && !mudou)
        return true;
    const QString valor = TbItens->TextoAtual(campo).trimmed();
    const auto limpa = [&](const QString& mensagem, const QStringList& campos) {
        Informa(this, mensagem);
        TbItens->Edit();
        for (const QString& c : campos)
            TbItens->FieldByName(c) = QVariant();
        return false;
    };
    if (campo == QLatin1String("Cor")) {
        if (valor.isEmpty())
            return true;
        const auto cor = LeCorCadastrada(valor);
        if (!cor)
            return limpa(QStringLiteral("Cor não cadastrada."), {campo, QStringLiteral("Descricao")});
        TbItens->Edit();
        TbItens->FieldByName(QStringLiteral("Descricao")) = cor->descricao;
        TbItens->FieldByName(QStringLiteral("COR_I")) = cor->corSistema;
        CalculaItem(0, 0);
    } else if (campo == QLatin1String("Variante")) {
        if (valor.isEmpty())
            return true;
        if (!Existe(QStringLiteral("VARIANTE"), QStringLiteral("CODIGO"), QVariantList{valor}))
            return limpa(QStringLiteral("Variante Inválida."), {campo, QStringLiteral("DescVar")});
        const QString descricao = Busca_Valor(QStringLiteral("VARIANTE"), QStringLiteral("CODIGO"),
                                              QStringLiteral("DESCRICAO"), {valor});
        TbItens->Edit();
        TbItens->FieldByName(QStringLiteral("DescVar")) = descricao;
        CalculaItem(0, 0);
    } else if (campo == QLatin1String("Fluxo")) {
        QString descricao;
        if (!valor.isEmpty()) {
            if (!Existe(QStringLiteral("ROTEIRO"), QStringLiteral("CODIGO"), QVariantList{valor}))
                return limpa(QStringLiteral("Fluxo não cadastrado."), {campo, QStringLiteral("DescFluxo")});
            descricao = Busca_Valor(QStringLiteral("ROTEIRO"), QStringLiteral("CODIGO"),
                                    QStringLiteral("DESCRICAO"), {valor});
        }
        TbItens->Edit();
        TbItens->FieldByName(QStringLiteral("DescFluxo")) = descricao;
        TbItens->Post();
        CalculaMargens();
    } else if (campo == QLatin1String("Quimico") || campo == QLatin1String("Fixo")) {
        CalculaItem(TbItens->NumeroAtual(QStringLiteral("Fixo")),
                    TbItens->NumeroAtual(QStringLiteral("Quimico")));
    } else if (campo == QLatin1String("Preco")) {
        TbItens->Edit();
        TbItens->FieldByName(QStringLiteral("Preco")) =
            Arredondar(TbItens->NumeroAtual(QStringLiteral("Preco")), 2);
        TbItens->Post();
        CalculaMargens();
    }
    return true;
}

QSet<QString> TFmTngOrcaCor::FasesDoFluxo(const QString& fluxo) {
    const QString codigo = fluxo.trimmed();
    if (codigo.isEmpty())
        return {};
    if (!m_fases.contains(codigo))
        m_fases.insert(codigo, FasesDosFluxos({codigo}).value(codigo));
    return m_fases.value(codigo);
}

QList<ServicoOrcado> TFmTngOrcaCor::Servicos() const {
    QList<ServicoOrcado> servicos;
    for (int i = 0; i < TbServico->RecordCount(); ++i)
        servicos.append({Texto(*TbServico, i, "Codigo"), TbServico->NumeroEm(i, QStringLiteral("Custo"))});
    return servicos;
}

void TFmTngOrcaCor::CalculaItem(double fixoManual, double quimicoManual) {
    const QString cor = TbItens->TextoAtual(QStringLiteral("Cor")).trimmed();
    const QString variante = TbItens->TextoAtual(QStringLiteral("Variante")).trimmed();
    if (cor.isEmpty() || variante.isEmpty())
        return;
    const auto custo = LeCustoItem(ui.EdtCodCli->text(), cor, variante);
    if (!custo) { // a customer without parameters: nothing is priced
        TbItens->CheckBrowseMode();
        return;
    }
    const PrecoCalculado r = CalculaPreco(custo->parametros, custo->custoReceita,
                                          MinutosDoTempo(custo->tempo), fixoManual, quimicoManual);
    const auto precoTabela = PrecoTabela(ui.EdtTab->text(), cor, variante, QStringLiteral("00"));
    TbItens->Edit();
    const auto poe = [&](const char* campo, const QVariant& valor) {
        TbItens->FieldByName(QLatin1String(campo)) = valor;
    };
    poe("Preco_Tab", precoTabela ? QVariant(*precoTabela) : QVariant());
    poe("Tempo_Hr", custo->tempo);
    const ComposicaoPreco& c = r.composicao;
    const double valores[] = {c.tempo,      c.quimico,  c.frete,    c.embalagem,  c.fixo,
                              c.financeiro, c.comissao, c.impostos, c.reprocesso, c.margem};
    for (size_t i = 0; i < std::size(kComposicao); ++i)
        poe(kComposicao[i], valores[i]);
    poe("Preco", r.preco);
    poe("Margem_Calc", r.margem);
    poe("Lucro_Calc", r.lucro);
    poe("SemPreco", r.semPreco ? QStringLiteral("S") : QStringLiteral("N"));
    TbItens->Post();
    CalculaMargens();
    if (r.semPreco)
        Informa(this, kSemPreco);
}

void TFmTngOrcaCor::CalculaMargens() {
    TbItens->CheckBrowseMode();
    const QList<ServicoOrcado> servicos = Servicos();
    const int campos[] = {TbItens->FieldIndex(QStringLiteral("Servicos")),
                          TbItens->FieldIndex(QStringLiteral("PrecoTotal")),
                          TbItens->FieldIndex(QStringLiteral("Margem_Calc")),
                          TbItens->FieldIndex(QStringLiteral("Lucro_Calc"))};
    for (int i = 0; i < TbItens->RecordCount(); ++i) {
        const double servico = PrecoServicos(FasesDoFluxo(Texto(*TbItens, i, "Fluxo")), servicos);
        const MargemCalculada m =
            CalculaMargem(Composicao(*TbItens, i), TbItens->NumeroEm(i, QStringLiteral("Preco")), servico,
                          {TbItens->NumeroEm(i, QStringLiteral("PrecoTotal")),
                           TbItens->NumeroEm(i, QStringLiteral("Margem_Calc")),
                           TbItens->NumeroEm(i, QStringLiteral("Lucro_Calc"))});
        const double valores[] = {servico, m.precoTotal, m.margem, m.lucro};
        for (int k = 0; k < 4; ++k)
            if (const QVariant atual = TbItens->ValueAt(i, campos[k]);
                atual.isNull() || atual.toDouble() != valores[k])
                TbItens->SetValueAt(i, campos[k], valores[k]);
    }
    MostraTotais();
}

void TFmTngOrcaCor::MostraTotais() {
    QList<ResultadoItem> itens;
    for (int i = 0; i < TbItens->RecordCount(); ++i)
        if (!Texto(*TbItens, i, "Cor").isEmpty())
            itens.append({TbItens->NumeroEm(i, QStringLiteral("Preco")),
                          TbItens->NumeroEm(i, QStringLiteral("Margem_Calc")),
                          TbItens->NumeroEm(i, QStringLiteral("Lucro_Calc"))});
    m_medias = CalculaTotais(itens);
    ui.EdtPrecoMedio->setText(TextoExibicao(m_medias.preco, 2));
    ui.EdtMargemMedia->setText(TextoExibicao(m_medias.margem, 2));
    ui.EdtLucroMedio->setText(TextoExibicao(m_medias.lucro, 2));
}

void TFmTngOrcaCor::BuscarCustoEstampa1Click() {
    if (TbItens->IsEmpty())
        return;
    TbItens->CheckBrowseMode();
    const QString cor = TbItens->TextoAtual(QStringLiteral("Cor")).trimmed();
    const QString variante = TbItens->TextoAtual(QStringLiteral("Variante")).trimmed();
    if (cor.isEmpty() || variante.isEmpty())
        return;
    const QList<QuadroOrcado> quadros = LeQuadrosEstampa(cor, variante);
    if (quadros.isEmpty()) {
        Informa(this, QStringLiteral("Estampa sem quadros cadastrados."));
        return;
    }
    // 0 would mean "no override" and bring back the recipe's cost.
    const double custo = CustoEstampa(quadros);
    if (custo <= 0) {
        Informa(this, QStringLiteral("Pastas da estampa sem custo cadastrado."));
        return;
    }
    CalculaItem(TbItens->NumeroAtual(QStringLiteral("Fixo")), custo);
}

// ---- services grid

bool TFmTngOrcaCor::DBGrid3KeyDown(QKeyEvent* tecla) {
    if (TeclaLinhaGrade(*ui.DBGrid3, tecla))
        return true;
    if ((tecla->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier ||
        ui.DBGrid3->SelectedField() != QLatin1String("Codigo"))
        return false;
    if (tecla->key() == Qt::Key_F4) {
        const QString cliente = ui.EdtCodCli->text().trimmed();
        if (PesquisaNaCelula(
                this, *TbServico,
                {.titulo = QStringLiteral("Serviços do Cliente"),
                 .tabela = QStringLiteral("TABPRE_SERV"),
                 .chave = QStringLiteral("FASE"),
                 .filtro = QStringLiteral("CODCLI = %1").arg(Aspas(cliente)),
                 .textoVazio = QStringLiteral("Nenhum serviço com preço para o cliente %1.").arg(cliente),
                 .campo = QStringLiteral("Codigo"),
                 .campoDescricao = QStringLiteral("Descricao")}))
            ConfereServico();
        return true;
    }
    if (tecla->key() == Qt::Key_Tab)
        return !ConfereServico();
    return false;
}

bool TFmTngOrcaCor::ConfereServico() {
    if (TbServico->IsEmpty() || !TbServico->Editing())
        return true;
    if (!TbServico->Post())
        return false;
    CalculaMargens();
    return true;
}

// ---- search page

void TFmTngOrcaCor::BitBtn9Click() {
    const QDate de = LeData(ui.EdtDataIni->text()), ate = LeData(ui.EdtDataFim->text());
    if (!de.isValid() || !ate.isValid()) {
        Recusa(de.isValid() ? ui.EdtDataFim : ui.EdtDataIni, QStringLiteral("Data inválida."));
        return;
    }
    QStringList sql{
        DBLocal_SQL(QStringLiteral("SELECT O.NUMERO, O.DATA, O.CODCLI, CLIENTE.NOME, O.OBS, O.TIPO, "
                                   "O.SITUACAO FROM {ORCAMENTO} O LEFT JOIN {ENTIDADE} CLIENTE ON "
                                   "CLIENTE.CODCLI = O.CODCLI WHERE O.DATA >= %1 AND O.DATA <= %2"))
            .arg(DataSQL(de), DataSQL(ate))};
    if (const QString cliente = ui.EdtCliCons->text().trimmed(); !cliente.isEmpty())
        sql << QStringLiteral("AND O.CODCLI = %1").arg(Aspas(cliente));
    if (const QString grupo = ui.EdtGrupoCons->text().trimmed(); !grupo.isEmpty())
        sql << QStringLiteral("AND CLIENTE.GRUPO = %1").arg(Aspas(grupo));
    QStringList item;
    for (const auto& [caixa, coluna] :
         {std::pair{ui.EdtCorCons, "I.COR"}, std::pair{ui.EdtVarCons, "I.VARIANTE"},
          std::pair{ui.EdtFluxoCons, "I.SERVICO"}})
        if (const QString valor = caixa->text().trimmed(); !valor.isEmpty())
            item << QStringLiteral("AND %1 = %2").arg(QLatin1String(coluna), Aspas(valor));
    if (!item.isEmpty())
        sql << DBLocal_SQL(
                   QStringLiteral("AND EXISTS (SELECT 1 FROM {ORCA_ITEN} I WHERE I.NUMERO = O.NUMERO %1)"))
                   .arg(item.join(QLatin1Char(' ')));
    const QRadioButton* situacoes[] = {ui.RgSituacaoPendentes, ui.RgSituacaoConfirmados,
                                       ui.RgSituacaoDescartados};
    for (int i = 0; i < 3; ++i)
        if (situacoes[i]->isChecked())
            sql << QStringLiteral("AND O.SITUACAO = '%1'").arg(i);
    m_consulta->pesquisa.SQL = sql.join(QLatin1Char(' '));
    m_consulta->Consulta();
}

void TFmTngOrcaCor::AbreDaConsulta() {
    TDataSet* linha = m_consulta->Linhas();
    if (linha->IsEmpty())
        return;
    ui.EdtNumero->setText(linha->TextoAtual(QStringLiteral("NUMERO")).trimmed());
    EdtNumeroExit();
    ui.PageControl1->setCurrentIndex(Orcamento);
    ui.DBGrid1->setFocus(Qt::OtherFocusReason);
}
