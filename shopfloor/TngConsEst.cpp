#include "TngConsEst.h"
#include "Acesso.h"
#include "CaixaPesquisa.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "DataSetModel.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "GradeEdicao.h"
#include "GravacaoAtomica.h"
#include "HostUi.h"
#include "LeiturasEstamparia.h"
#include "Mensagens.h"
#include "ModuleUnits.h"
#include "Protecao.h"
#include "Relatorio.h"
#include "TClientDataSet.h"
#include "TZoQuery.h"
#include <QKeyEvent>
#include <QPixmap>
#include <QScopedValueRollback>
#include <QSet>

TFmTngConsEst* FmTngConsEst = nullptr;

KELM_SCREEN_UNIT(TngConsEst, TFmTngConsEst, {{QStringLiteral("WTngConsEst"), LayoutConsEst}});

namespace {
const QString kTabela = QStringLiteral("EST_QUADRO");
const QString kTitulo = QStringLiteral("CONSUMO DA ESTAMPARIA");
// What is compared between the rows loaded and the rows stored.
const QStringList kGravados = {QStringLiteral("ORDEM"),         QStringLiteral("QUADRO"),
                               QStringLiteral("FUNDO"),         QStringLiteral("PRODUTO"),
                               QStringLiteral("PRESSAO"),       QStringLiteral("OBS"),
                               QStringLiteral("CONSUMO_BOMBA"), QStringLiteral("CONSUMO")};
// The grid's field of each stored column, in the insert's order.
const QList<QPair<const char*, const char*>> kColunas = {{"ORDEM", "Ordem"},
                                                         {"QUADRO", "Quadro"},
                                                         {"FUNDO", "Vareta"},
                                                         {"PRODUTO", "Codigo"},
                                                         {"PRESSAO", "Pressao"},
                                                         {"OBS", "Obs"},
                                                         {"CONSUMO_BOMBA", "ConsumoBomba"},
                                                         {"CONSUMO", "Consumo"}};

} // namespace

TFmTngConsEst::TFmTngConsEst(QWidget* parent)
    : TForm(parent), TbConsumo(new TClientDataSet(this)),
      m_quadros(kTabela, QStringLiteral("ESTAMPA,VARIANTE"), kGravados) {
    setObjectName(QStringLiteral("FmTngConsEst"));
    setWindowTitle(QStringLiteral("Cadastro de consumos da Estamparia"));
    ui.setupUi(this);
    PublicaInstancia(FmTngConsEst);
}

void TFmTngConsEst::FormCreate() {
    PreparaGrade();
    DeclaraCaixas();
    connect(ui.BtGravar, &QPushButton::clicked, this, Protegido([this] { BtGravarClick(); }));
    connect(ui.BtExcluir, &QPushButton::clicked, this, Protegido([this] { BtExcluirClick(); }));
    connect(ui.BtImportar, &QPushButton::clicked, this, Protegido([this] { BtImportarClick(); }));
    connect(ui.BtDuplicar, &QPushButton::clicked, this, Protegido([this] { BtDuplicarClick(); }));
    connect(ui.BtImprimir, &QPushButton::clicked, this, Protegido([this] { BtImprimirClick(); }));
    connect(ui.BtFechar, &QPushButton::clicked, this, &QWidget::close);
    SaidaSemConferencia(ui.BtFechar);
    VigiaAlteracoes({TbConsumo}, {}, ui.BtGravar);
    ui.EdtEstampa->setFocus();
}

void TFmTngConsEst::PreparaGrade() {
    TbConsumo->setObjectName(QStringLiteral("TbConsumo"));
    TbConsumo->AddField(QStringLiteral("Ordem"), QMetaType::Int)
        .AddField(QStringLiteral("Quadro"), QMetaType::QString, 10)
        .AddField(QStringLiteral("Vareta"), QMetaType::QString, 10)
        .AddField(QStringLiteral("Pressao"), QMetaType::Double)
        .AddField(QStringLiteral("Codigo"), QMetaType::QString, 15)
        .AddField(QStringLiteral("Descricao"), QMetaType::QString, 50)
        .AddField(QStringLiteral("Consumo"), QMetaType::Double)
        .AddField(QStringLiteral("Custo"), QMetaType::Double)
        .AddField(QStringLiteral("Local"), QMetaType::QString, 30)
        .AddField(QStringLiteral("Desc_Quadro"), QMetaType::QString, 50)
        .AddField(QStringLiteral("Cobertura"), QMetaType::QString, 10)
        .AddField(QStringLiteral("Obs"), QMetaType::QString, 100)
        .AddField(QStringLiteral("ConsumoBomba"), QMetaType::Double)
        .AddField(QStringLiteral("CustoCT"), QMetaType::Double);
    TbConsumo->CreateDataSet();
    ui.DBGrid1->SetDataSet(TbConsumo);
    ui.DBGrid1->SetReadOnly(false);
    ui.DBGrid1->DeclaraColunas({{"Ordem", "Ord."},
                                {"Quadro", "Quadro"},
                                {"Vareta", "Vareta"},
                                ColunaGrade("Pressao", "Pressão").Casas(2),
                                ColunaGrade("Codigo", "Material"),
                                ColunaGrade("Descricao", "Descrição").Largura(24).SomenteLeitura(),
                                ColunaGrade("Consumo", "Consumo").Casas(4),
                                ColunaGrade("Custo", "Custo").Casas(4).SomenteLeitura(),
                                ColunaGrade("Local", "Local").SomenteLeitura(),
                                ColunaGrade("Desc_Quadro", "Desc. Quadro").Largura(18).SomenteLeitura(),
                                {"Cobertura", "Cobertura"},
                                ColunaGrade("Obs", "Obs").Largura(20),
                                ColunaGrade("ConsumoBomba", "Consumo da Bomba").Casas(4),
                                ColunaGrade("CustoCT", "Custo Contra Tipo").Oculta()});
    ui.DBGrid1->OnKeyDown = [this](QKeyEvent* tecla) { return DBGrid1KeyDown(tecla); };
    AcompanhaLinhas(TbConsumo, this, [this] { MostraCusto(); });
    connect(ui.DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            Protegido([this] { MostraCusto(); }));
    DicaTeclas({ui.DBGrid1}, QStringLiteral("F4: pesquisa (colunas Quadro e Material) · Insert: linha nova · "
                                            "Ctrl+Del: exclui a linha"));
}

void TFmTngConsEst::DeclaraCaixas() {
    const auto carrega = [this] { CarregaQuadros(); };
    DeclaraCaixa({.caixa = ui.EdtEstampa,
                  .descricao = ui.EdtDesEstampa,
                  .botao = ui.BtEstampa,
                  .titulo = QStringLiteral("Estampas"),
                  .tabela = QStringLiteral("CADCORTIN"),
                  .recusa = QStringLiteral("Estampa não cadastrada."),
                  .aoAceitar = carrega});
    DeclaraCaixa({.caixa = ui.EdtVariante,
                  .descricao = ui.EdtDesVariante,
                  .botao = ui.BtVariante,
                  .titulo = QStringLiteral("Variantes"),
                  .tabela = QStringLiteral("VARIANTE"),
                  .recusa = QStringLiteral("Variante não cadastrada."),
                  .aoAceitar = carrega});
    for (QLineEdit* caixa : {ui.EdtEstampaImp, ui.EdtVarianteImp, ui.EdtVarianteDup})
        DeclaraCaixa(
            {.caixa = caixa,
             .titulo = caixa == ui.EdtEstampaImp ? QStringLiteral("Estampas") : QStringLiteral("Variantes"),
             .tabela = caixa == ui.EdtEstampaImp ? QStringLiteral("CADCORTIN") : QStringLiteral("VARIANTE")});
}

QString TFmTngConsEst::Chave() const {
    return Chave(ui.EdtVariante->text().trimmed());
}

QString TFmTngConsEst::Chave(const QString& variante) const {
    return DetalheGravado::ChaveComposta({ui.EdtEstampa->text().trimmed(), variante});
}

// Both codes given: the design's rows of that variant, as stored.
void TFmTngConsEst::CarregaQuadros() {
    const QString estampa = ui.EdtEstampa->text().trimmed(), variante = ui.EdtVariante->text().trimmed();
    MostraFigura();
    if (estampa.isEmpty() || variante.isEmpty() || Chave() == m_quadros.Codigo())
        return;
    LeQuadros(estampa, variante);
    AlteracoesGravadas();
}

// The rows of a design and variant into the grid, each with its paste's cost; they count as loaded only
// when they are the screen's own design.
void TFmTngConsEst::LeQuadros(const QString& estampa, const QString& variante) {
    TZoQuery q;
    q.SQL << QStringLiteral(
                 "SELECT E.ORDEM, E.QUADRO, E.PRODUTO, E.FUNDO, E.CONSUMO, M.DESCRICAO, E.PRESSAO, "
                 "Q.LOCAL, Q.DESCRICAO AS DESC_QUADRO, Q.ESPESSURA, E.OBS, E.CONSUMO_BOMBA")
          << QStringLiteral(
                 "FROM EST_QUADRO E LEFT JOIN MATERIAL M ON (M.CODIGO = E.PRODUTO) LEFT JOIN QUADRO Q "
                 "ON (Q.CODIGO = E.QUADRO)")
          << QStringLiteral("WHERE E.ESTAMPA = :ESTAMPA AND E.VARIANTE = :VARIANTE ORDER BY E.ORDEM");
    q.BindValue(QStringLiteral("ESTAMPA"), estampa);
    q.BindValue(QStringLiteral("VARIANTE"), variante);
    QHash<QString, CustoDaPasta> custos;
    {
        GravacaoAtomica leitura;
        q.Open();
        QStringList produtos;
        for (q.First(); !q.Eof(); q.Next())
            produtos << q.FieldByName(QStringLiteral("PRODUTO")).AsString().trimmed();
        custos = LeCustosPastas(produtos);
        leitura.Confirma();
    }
    QScopedValueRollback<bool> carregando(m_carregando, true);
    TbConsumo->DisableControls();
    TbConsumo->EmptyDataSet();
    for (q.First(); !q.Eof(); q.Next()) {
        TbConsumo->Append();
        for (const auto& [coluna, campo] : kColunas)
            TbConsumo->FieldByName(QLatin1String(campo)) = q.FieldByName(QLatin1String(coluna)).Value();
        TbConsumo->FieldByName(QStringLiteral("Descricao")) =
            q.FieldByName(QStringLiteral("DESCRICAO")).Value();
        TbConsumo->FieldByName(QStringLiteral("Local")) = q.FieldByName(QStringLiteral("LOCAL")).Value();
        TbConsumo->FieldByName(QStringLiteral("Desc_Quadro")) =
            q.FieldByName(QStringLiteral("DESC_QUADRO")).Value();
        const CustoDaPasta custo =
            custos.value(q.FieldByName(QStringLiteral("PRODUTO")).AsString().trimmed());
        TbConsumo->FieldByName(QStringLiteral("Custo")) = custo.custo;
        TbConsumo->FieldByName(QStringLiteral("CustoCT")) = custo.custoContratipo;
        TbConsumo->Post();
    }
    TbConsumo->First();
    TbConsumo->EnableControls();
    if (estampa == ui.EdtEstampa->text().trimmed() && variante == ui.EdtVariante->text().trimmed()) {
        if (q.IsEmpty())
            m_quadros.Novo(Chave());
        else
            m_quadros.Carregado(Chave(), q);
    }
    MostraCusto();
}

void TFmTngConsEst::MostraCusto() {
    const bool linha = !TbConsumo->IsEmpty();
    ui.EdtCusto->setText(linha ? TextoExibicao(TbConsumo->FieldByName(QStringLiteral("Custo")).AsFloat(), 4)
                               : QString());
    ui.EdtCustoCT->setText(
        linha ? TextoExibicao(TbConsumo->FieldByName(QStringLiteral("CustoCT")).AsFloat(), 4) : QString());
}

void TFmTngConsEst::MostraFigura() {
    const QString arquivo = BuscaArquivo(ui.EdtEstampa->text().trimmed(), 1);
    const QPixmap figura(arquivo);
    if (arquivo.isEmpty() || figura.isNull())
        ui.ImgEstampa->clear();
    else
        ui.ImgEstampa->setPixmap(
            figura.scaled(ui.ImgEstampa->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

// ---- the grid

void TFmTngConsEst::PreencheMaterial(TDataSet& linha) {
    const QString codigo = linha.FieldByName(QStringLiteral("Codigo")).AsString().trimmed();
    const CustoDaPasta custo = LeCustosPastas({codigo}).value(codigo);
    linha.Edit();
    linha.FieldByName(QStringLiteral("Descricao")) = Busca_Valor(
        QStringLiteral("MATERIAL"), QStringLiteral("CODIGO"), QStringLiteral("DESCRICAO"), {codigo});
    linha.FieldByName(QStringLiteral("Custo")) = custo.custo;
    linha.FieldByName(QStringLiteral("CustoCT")) = custo.custoContratipo;
    linha.Post();
}

void TFmTngConsEst::PreencheQuadro(TDataSet& linha) {
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT LOCAL, DESCRICAO FROM QUADRO WHERE CODIGO = :QUADRO");
    q.BindValue(QStringLiteral("QUADRO"), linha.FieldByName(QStringLiteral("Quadro")).AsString().trimmed());
    q.Open();
    linha.Edit();
    linha.FieldByName(QStringLiteral("Local")) = q.IsEmpty() ? QVariant() : q.Fields(0).Value();
    linha.FieldByName(QStringLiteral("Desc_Quadro")) = q.IsEmpty() ? QVariant() : q.Fields(1).Value();
    linha.Post();
}

bool TFmTngConsEst::DBGrid1KeyDown(QKeyEvent* tecla) {
    if (TeclaLinhaGrade(*ui.DBGrid1, tecla))
        return true;
    const QString campo = ui.DBGrid1->SelectedField();
    const bool material = campo == QLatin1String("Codigo"), quadro = campo == QLatin1String("Quadro");
    if (tecla->key() == Qt::Key_F4 && (material || quadro)) {
        if (PesquisaNaCelula(this, *TbConsumo,
                             {.titulo = material ? QStringLiteral("Materiais") : QStringLiteral("Quadros"),
                              .tabela = material ? QStringLiteral("MATERIAL") : QStringLiteral("QUADRO"),
                              .campo = campo}))
            material ? PreencheMaterial(*TbConsumo) : PreencheQuadro(*TbConsumo);
        return true;
    }
    if (tecla->key() != Qt::Key_Tab || !(material || quadro) || !TbConsumo->Post())
        return false;
    const QString codigo = TbConsumo->FieldByName(campo).AsString().trimmed();
    if (material) {
        if (!codigo.isEmpty() &&
            !Existe(QStringLiteral("MATERIAL"), QStringLiteral("CODIGO"), QVariantList{codigo})) {
            Informa(this, QStringLiteral("Material não cadastrado."));
            return true;
        }
        PreencheMaterial(*TbConsumo);
    } else {
        PreencheQuadro(*TbConsumo);
    }
    return false;
}

// ---- saving

bool TFmTngConsEst::LinhasAGravar(QList<QVariantList>& linhas) {
    ConcluiEdicaoGrades(true);
    TbConsumo->CheckBrowseMode();
    QList<LinhaQuadro> quadros;
    QStringList codigos[2]; // screens, pastes
    for (int i = 0; i < TbConsumo->RecordCount(); ++i) {
        LinhaQuadro l;
        l.ordem = TbConsumo->TextoEm(i, QStringLiteral("Ordem")).toInt();
        l.quadro = TbConsumo->TextoEm(i, QStringLiteral("Quadro"));
        l.produto = TbConsumo->TextoEm(i, QStringLiteral("Codigo"));
        l.vazia = l.quadro.isEmpty() && l.produto.isEmpty() && l.ordem == 0 &&
                  TbConsumo->TextoEm(i, QStringLiteral("Consumo")).isEmpty();
        codigos[0] << l.quadro;
        codigos[1] << l.produto;
        quadros << l;
    }
    // Which codes exist, one statement per table.
    QSet<QString> existentes[2];
    for (int t = 0; t < 2; ++t) {
        TZoQuery q;
        q.SQL << QStringLiteral("SELECT CODIGO FROM %1 WHERE CODIGO IN (%2)")
                     .arg(t == 0 ? QStringLiteral("QUADRO") : QStringLiteral("MATERIAL"),
                          ListaSql(codigos[t]));
        q.Open();
        for (q.First(); !q.Eof(); q.Next())
            existentes[t] << q.Fields(0).AsString().trimmed();
    }
    for (LinhaQuadro& l : quadros) {
        l.quadroExiste = existentes[0].contains(l.quadro);
        l.produtoExiste = existentes[1].contains(l.produto);
    }
    const QuadrosAGravar conferidos = ConfereQuadros(quadros);
    if (!conferidos.recusa.isEmpty()) {
        Informa(this, conferidos.recusa);
        return false;
    }
    linhas.clear();
    for (int i = 0, k = 0; i < TbConsumo->RecordCount(); ++i) {
        if (quadros[i].vazia)
            continue;
        QVariantList valores;
        for (const auto& [coluna, campo] : kColunas)
            valores << TbConsumo->ValueAt(i, TbConsumo->FieldIndex(QLatin1String(campo)));
        valores[0] = conferidos.linhas[k++].ordem;
        valores << TbConsumo->ValueAt(i, TbConsumo->FieldIndex(QStringLiteral("Custo")));
        linhas << valores;
    }
    if (linhas.isEmpty())
        Informa(this, QStringLiteral("Não há dados a serem gravados."));
    return !linhas.isEmpty();
}

// A paste without cost is stored only when the user says so.
bool TFmTngConsEst::CustosConfirmados(const QList<QVariantList>& linhas) {
    for (const QVariantList& linha : linhas) {
        if (linha.last().toDouble() > 0)
            continue;
        const int escolha = Mensagens().Choose(this, windowTitle(),
                                               QStringLiteral("Material com custo zerado. Deseja continuar?"),
                                               {QStringLiteral("Sim"), QStringLiteral("Não"),
                                                QStringLiteral("Sim Todos"), QStringLiteral("Não Todos")},
                                               1);
        if (escolha == 2)
            return true;
        if (escolha != 0)
            return false;
    }
    return true;
}

void TFmTngConsEst::Insere(const QString& variante, const QList<QVariantList>& linhas) {
    TZoQuery insercao;
    insercao.SQL << QStringLiteral(
        "INSERT INTO EST_QUADRO (ESTAMPA, VARIANTE, ORDEM, QUADRO, FUNDO, PRODUTO, "
        "PRESSAO, OBS, CONSUMO_BOMBA, CONSUMO) VALUES (:ESTAMPA, :VARIANTE, :ORDEM, "
        ":QUADRO, :FUNDO, :PRODUTO, :PRESSAO, :OBS, :CONSUMO_BOMBA, :CONSUMO)");
    for (const QVariantList& linha : linhas) {
        insercao.BindValue(QStringLiteral("ESTAMPA"), ui.EdtEstampa->text().trimmed());
        insercao.BindValue(QStringLiteral("VARIANTE"), variante);
        for (qsizetype c = 0; c < kColunas.size(); ++c)
            insercao.BindValue(QLatin1String(kColunas[c].first), linha[c]);
        insercao.ExecSQL();
    }
}

void TFmTngConsEst::BtGravarClick() {
    const QString estampa = ui.EdtEstampa->text().trimmed(), variante = ui.EdtVariante->text().trimmed();
    QList<QVariantList> linhas;
    if (estampa.isEmpty() || variante.isEmpty()) {
        Informa(this, QStringLiteral("Estampa / Variante inválida."));
        return;
    }
    if (!Acessa(QStringLiteral("TFmTngConsEst"), QStringLiteral("A"), QStringLiteral("0")) ||
        !LinhasAGravar(linhas) || !CustosConfirmados(linhas))
        return;
    const bool gravou = m_quadros.Grava(Chave(), [&](const QString&, bool existiam) {
        Insere(variante, linhas);
        GeraLog(
            kTitulo,
            QStringLiteral("%1 DA ESTAMPA NR %2 DA VARIANTE %3")
                .arg(existiam ? QStringLiteral("ALTERACAO") : QStringLiteral("INCLUSAO"), estampa, variante),
            existiam ? opAlteracao : opInclusao, estampa);
    });
    if (!gravou) {
        Informa(this,
                QStringLiteral("Os consumos da estampa %1, variante %2, foram gravados ou alterados por "
                               "outro usuário depois que esta tela os carregou; nada foi gravado. Informe a "
                               "variante de novo para carregá-los como estão agora.")
                    .arg(estampa, variante));
        return;
    }
    LeQuadros(estampa, variante);
    AlteracoesGravadas();
}

void TFmTngConsEst::BtExcluirClick() {
    const QString estampa = ui.EdtEstampa->text().trimmed(), variante = ui.EdtVariante->text().trimmed();
    if (estampa.isEmpty() || variante.isEmpty() || !m_quadros.ComLinhas(Chave()) ||
        !Pergunta(this, windowTitle(), QStringLiteral("Deseja realmente excluir?"), false))
        return;
    if (!m_quadros.Exclui(Chave(), [&] {
            GeraLog(kTitulo,
                    QStringLiteral("EXCLUSAO DA ESTAMPA NR %1 E VARIANTE NR %2").arg(estampa, variante),
                    opExclusao, estampa);
        })) {
        Informa(this,
                QStringLiteral("Os consumos da estampa %1, variante %2, foram alterados por outro usuário "
                               "depois que esta tela os carregou; nada foi excluído.")
                    .arg(estampa, variante));
        return;
    }
    TbConsumo->EmptyDataSet();
    AlteracoesGravadas();
}

void TFmTngConsEst::BtImportarClick() {
    const QString estampa = ui.EdtEstampaImp->text().trimmed(),
                  variante = ui.EdtVarianteImp->text().trimmed();
    if (estampa.isEmpty() || variante.isEmpty()) {
        Informa(this, QStringLiteral("Estampa / Variante inválida."));
        return;
    }
    if (!Existe(kTabela, QStringLiteral("ESTAMPA;VARIANTE"), QVariantList{estampa, variante})) {
        Informa(this, QStringLiteral("Consumos não encontrados."));
        return;
    }
    LeQuadros(estampa, variante);
    AlteracaoPendente();
}

// The grid's rows stored under another variant of the design, in one unit with their audit line; rows the
// target already has are replaced only when the user says so.
void TFmTngConsEst::BtDuplicarClick() {
    const QString estampa = ui.EdtEstampa->text().trimmed(), destino = ui.EdtVarianteDup->text().trimmed();
    QList<QVariantList> linhas;
    if (TbConsumo->IsEmpty()) {
        Informa(this, QStringLiteral("Não há dados a serem duplicados."));
        return;
    }
    if (estampa.isEmpty() || destino.isEmpty()) {
        Informa(this, QStringLiteral("Estampa / Variante inválida."));
        return;
    }
    if (!LinhasAGravar(linhas))
        return;
    DetalheGravado alvo(kTabela, QStringLiteral("ESTAMPA,VARIANTE"), kGravados);
    TZoQuery atuais;
    atuais.SQL << QStringLiteral(
                      "SELECT %1 FROM EST_QUADRO WHERE ESTAMPA = :ESTAMPA AND VARIANTE = :VARIANTE")
                      .arg(kGravados.join(QStringLiteral(", ")));
    atuais.BindValue(QStringLiteral("ESTAMPA"), estampa);
    atuais.BindValue(QStringLiteral("VARIANTE"), destino);
    atuais.Open();
    alvo.Carregado(Chave(destino), atuais);
    if (!atuais.IsEmpty() &&
        !Pergunta(
            this, windowTitle(),
            QStringLiteral("Já existe um cadastro com as configurações abaixo:\r  Estampa: %1\r  Variante: "
                           "%2\rDeseja realmente substituí-lo?")
                .arg(estampa, destino),
            false))
        return;
    if (!alvo.Grava(Chave(destino), [&](const QString&, bool) {
            Insere(destino, linhas);
            GeraLog(kTitulo,
                    QStringLiteral("DUPLICACAO DA ESTAMPA NR %1 DA VARIANTE %2 PARA A VARIANTE %3")
                        .arg(estampa, ui.EdtVariante->text().trimmed(), destino),
                    opInclusao, estampa);
        })) {
        Informa(this, QStringLiteral("Os consumos da variante %1 foram alterados por outro usuário; nada foi "
                                     "duplicado.")
                          .arg(destino));
        return;
    }
    Informa(this, QStringLiteral("Duplicação efetuada com sucesso."));
}

void TFmTngConsEst::BtImprimirClick() {
    QStringList produtos;
    for (int i = 0; i < TbConsumo->RecordCount(); ++i)
        if (const QString produto = TbConsumo->TextoEm(i, QStringLiteral("Codigo"));
            !produto.isEmpty() && !produtos.contains(produto))
            produtos << produto;
    TZoQuery composicoes;
    {
        GravacaoAtomica leitura;
        LeComposicoes(composicoes, produtos);
        leitura.Confirma();
    }
    TRelatorio relatorio(QStringLiteral("WTngConsEst"), QStringLiteral("Consumos da Estamparia"),
                         &composicoes);
    relatorio.AdicionaCabecalho(QStringLiteral("Estampa"),
                                ui.EdtEstampa->text() + QStringLiteral(" - ") + ui.EdtDesEstampa->text());
    relatorio.AdicionaCabecalho(QStringLiteral("Variante"),
                                ui.EdtVariante->text() + QStringLiteral(" - ") + ui.EdtDesVariante->text());
    Chama_Relatorio(relatorio, this, QStringLiteral("W"));
}

void LayoutConsEst(TRelatorio& relatorio) {
    relatorio.DefineColunas({relatorio.Coluna(QStringLiteral("CODIGO"), QStringLiteral("Componente")),
                             relatorio.Coluna(QStringLiteral("DESCRICAO"), QStringLiteral("Descrição")),
                             relatorio.Coluna(QStringLiteral("QTDE"), QStringLiteral("Qtde"), 4),
                             relatorio.Coluna(QStringLiteral("CUSTO"), QStringLiteral("Custo"), 4),
                             relatorio.Coluna(QStringLiteral("CODIGO_CT"), QStringLiteral("Contra tipo")),
                             relatorio.Coluna(QStringLiteral("QTDE_CT"), QStringLiteral("Qtde CT"), 4),
                             relatorio.Coluna(QStringLiteral("CUSTO_CT"), QStringLiteral("Custo CT"), 4)});
    relatorio.AgrupaPor(QStringLiteral("MATERIAL"), QStringLiteral("Pasta"));
    relatorio.DefineSomas(false);
}
