#include "CadMaquina.h"
#include "CaixaPesquisa.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "GradeEdicao.h"
#include "HostError.h"
#include "Mensagens.h"
#include "ModuleUnits.h"
#include "Protecao.h"
#include "RegrasMaquina.h"
#include "TClientDataSet.h"
#include "TPesquisa.h"
#include "TTabelaDataSet.h"
#include "TZoQuery.h"
#include <QButtonGroup>
#include <QKeyEvent>
#include <QLabel>
#include <QScopedValueRollback>
#include <QVBoxLayout>

TFmMaquinaTin* FmMaquinaTin = nullptr;

KELM_SCREEN_UNIT(CadMaquina, TFmMaquinaTin);

namespace {
const QString kTitulo = QStringLiteral("CADASTRO DE MAQUINA");
const QString kCapacidade = QStringLiteral("MAQ_TIN_CAP");
const QStringList kMedidas = {QStringLiteral("LARG_DE"), QStringLiteral("LARG_ATE"),
                              QStringLiteral("PESO_MIN"), QStringLiteral("PESO_MAX")};
// What is compared between the rows loaded and the rows stored; a row's place is its SEQUENCIA.
const QStringList kGravadas = {QStringLiteral("SEQUENCIA"),  QStringLiteral("VARIANTE"),
                               QStringLiteral("LARG_DE"),    QStringLiteral("LARG_ATE"),
                               QStringLiteral("PESO_MIN"),   QStringLiteral("PESO_MAX"),
                               QStringLiteral("RELAC_BANHO")};
enum Pagina { Maquinas = 0, Capacidade = 1 };
} // namespace

// ---- capacity rows

CapacidadeMaquina::CapacidadeMaquina(QWidget* tela)
    : m_tela(tela), tbCapacidade(new TClientDataSet(tela)),
      m_gravadas(kCapacidade, QStringLiteral("MAQUINA"), kGravadas) {
    tbCapacidade->setObjectName(QStringLiteral("tbCapacidade"));
    tbCapacidade->AddField(QStringLiteral("VARIANTE"), QMetaType::QString, 4)
        .AddField(QStringLiteral("DESC_VARIANTE"), QMetaType::QString, 40)
        .AddField(QStringLiteral("LARG_DE"), QMetaType::Double)
        .AddField(QStringLiteral("LARG_ATE"), QMetaType::Double)
        .AddField(QStringLiteral("PESO_MIN"), QMetaType::Double)
        .AddField(QStringLiteral("PESO_MAX"), QMetaType::Double)
        .AddField(QStringLiteral("RELAC_BANHO"), QMetaType::QString, 4);
    tbCapacidade->CreateDataSet();
    tbCapacidade->BeforePost = [this](TDataSet& linha) { tbCapacidadeBeforePost(linha); };
}

void CapacidadeMaquina::BuscarCapacidade(const QString& maquina) {
    ControlesDesligados desligados(*tbCapacidade);
    tbCapacidade->EmptyDataSet();
    m_carregada = false;
    m_gravadas.Esquece();
    TZoQuery q;
    q.SQL << QStringLiteral(
                 "SELECT C.SEQUENCIA, C.VARIANTE, V.DESCRICAO AS DESC_VARIANTE, C.LARG_DE, C.LARG_ATE, "
                 "C.PESO_MIN, C.PESO_MAX, C.RELAC_BANHO")
          << QStringLiteral("FROM %1 C LEFT JOIN %2 V ON (V.CODIGO = C.VARIANTE)")
                 .arg(DBLocal(kCapacidade), DBLocal(QStringLiteral("VARIANTE")))
          << QStringLiteral("WHERE C.MAQUINA = :MAQUINA ORDER BY C.SEQUENCIA");
    q.BindValue(QStringLiteral("MAQUINA"), maquina);
    try {
        q.Open();
    } catch (const EDatabaseError& e) {
        Informa(m_tela,
                QStringLiteral("Não foi possível carregar as informações de capacidade. ") + e.message());
        return;
    }
    // Stored rows come in as they are, even when their variant or bath has been deleted since: checking
    // them here would drop them from the grid, and the next save would drop them from the database.
    QScopedValueRollback<bool> comoGravadas(m_carregando, true);
    for (q.First(); !q.Eof(); q.Next()) {
        tbCapacidade->Append();
        for (const FieldDef& campo : tbCapacidade->FieldDefs())
            tbCapacidade->FieldByName(campo.name) = q.FieldByName(campo.name).Value();
        tbCapacidade->Post();
    }
    tbCapacidade->First();
    m_gravadas.Carregado(maquina, q);
    m_carregada = true;
}

void CapacidadeMaquina::Limpa() {
    tbCapacidade->EmptyDataSet();
    m_gravadas.Esquece();
    m_carregada = true;
}

void CapacidadeMaquina::tbCapacidadeBeforePost(TDataSet& linha) {
    if (m_carregando)
        return;
    TField variante = linha.FieldByName(QStringLiteral("VARIANTE"));
    TField descricao = linha.FieldByName(QStringLiteral("DESC_VARIANTE"));
    if (variante.AsString().isEmpty()) {
        variante.Clear();
        descricao.Clear();
    } else if (Existe(QStringLiteral("VARIANTE"), QStringLiteral("CODIGO"), Aspas(variante.AsString()))) {
        descricao = Busca_Valor(QStringLiteral("VARIANTE"), QStringLiteral("CODIGO"),
                                QStringLiteral("DESCRICAO"), {variante.AsString()});
    } else {
        Informa(m_tela, QStringLiteral("Variante inválida."));
        variante.Clear();
        descricao.Clear();
        throw EAbort();
    }
    TField banho = linha.FieldByName(QStringLiteral("RELAC_BANHO"));
    const QString codigo = banho.AsString().trimmed();
    if (!codigo.isEmpty() && !Existe(QStringLiteral("BANHO"), QStringLiteral("CODIGO"), Aspas(codigo))) {
        Informa(m_tela, QStringLiteral("Rel. Banho Inválido."));
        banho.Clear();
        throw EAbort();
    }
}

int CapacidadeMaquina::LinhaSemVariante() const {
    const int variante = tbCapacidade->FieldIndex(QStringLiteral("VARIANTE"));
    for (int i = 0; i < tbCapacidade->RecordCount(); ++i)
        if (tbCapacidade->ValueAt(i, variante).toString().trimmed().isEmpty())
            return i;
    return -1;
}

QString CapacidadeMaquina::RecusaLimites(QString& campo) const {
    const struct {
        const char *minimo, *maximo, *nomeMinimo, *nomeMaximo;
    } faixas[] = {{"LARG_DE", "LARG_ATE", "Largura de (cm)", "Largura até (cm)"},
                  {"PESO_MIN", "PESO_MAX", "Peso mín. (kg)", "Peso máx. (kg)"}};
    auto limite = [this](int linha, const char* coluna, const char* nome) {
        const QVariant valor = tbCapacidade->ValueAt(linha, tbCapacidade->FieldIndex(QLatin1String(coluna)));
        return Limite{QString::fromUtf8(nome),
                      valor.isNull() ? std::nullopt : std::optional(valor.toDouble())};
    };
    for (int linha = 0; linha < tbCapacidade->RecordCount(); ++linha)
        for (const auto& f : faixas) {
            const RecusaLimite recusa =
                RecusaFaixa(limite(linha, f.minimo, f.nomeMinimo), limite(linha, f.maximo, f.nomeMaximo));
            if (recusa.mensagem.isEmpty())
                continue;
            tbCapacidade->MoveTo(linha);
            campo = QLatin1String(recusa.maximo ? f.maximo : f.minimo);
            return QStringLiteral("Capacidade, linha %1: %2").arg(linha + 1).arg(recusa.mensagem);
        }
    return {};
}

QString CapacidadeMaquina::DeletarCapacidade(const QString& maquina) {
    try {
        TZoQuery exclusao;
        exclusao.SQL
            << QStringLiteral("DELETE FROM %1 WHERE MAQUINA = %2").arg(DBLocal(kCapacidade), Aspas(maquina));
        exclusao.ExecSQL();
    } catch (const EDatabaseError& e) {
        return QStringLiteral("Não foi possível deletar as informações de capacidade. ") + e.message();
    }
    return {};
}

QString CapacidadeMaquina::GravarCapacidade(const QString& maquina, bool existente) {
    if (!existente)
        m_gravadas.Novo(maquina);
    try {
        if (m_gravadas.Grava(maquina, [this](const QString& codigo, bool) { InsereLinhas(codigo); }))
            return {};
    } catch (const EDatabaseError& e) {
        return QStringLiteral("Não foi possível gravar as informações de capacidade. ") + e.message();
    }
    m_carregada = false;
    return QStringLiteral("As informações de capacidade da máquina %1 foram alteradas por outro usuário "
                          "depois que esta tela as carregou; nada foi gravado. Desista e altere a "
                          "máquina de novo.")
        .arg(maquina);
}

// The rows numbered 1, 2, 3... by their place in the grid.
void CapacidadeMaquina::InsereLinhas(const QString& maquina) {
    if (tbCapacidade->IsEmpty())
        return;
    ControlesDesligados desligados(*tbCapacidade);
    TZoQuery insercao;
    insercao.SQL << QStringLiteral("INSERT INTO %1").arg(DBLocal(kCapacidade))
                 << QStringLiteral("VALUES (:SEQUENCIA, :MAQUINA, :VARIANTE, :LARG_DE, :LARG_ATE, :PESO_MIN, "
                                   ":PESO_MAX, :RELAC_BANHO)");
    int sequencia = 0;
    for (tbCapacidade->First(); !tbCapacidade->Eof(); tbCapacidade->Next()) {
        insercao.BindValue(QStringLiteral("SEQUENCIA"), ++sequencia);
        insercao.BindValue(QStringLiteral("MAQUINA"), maquina);
        insercao.BindValue(QStringLiteral("VARIANTE"),
                           tbCapacidade->FieldByName(QStringLiteral("VARIANTE")).AsString());
        // An empty bound stays empty: as 0 it would change what the capacity rule accepts.
        for (const QString& medida : kMedidas) {
            const QVariant valor = tbCapacidade->FieldByName(medida).Value();
            insercao.BindValue(medida, valor.isNull() ? QVariant(QMetaType::fromType<double>()) : valor);
        }
        insercao.BindValue(QStringLiteral("RELAC_BANHO"),
                           tbCapacidade->FieldByName(QStringLiteral("RELAC_BANHO")).AsString().trimmed());
        insercao.ExecSQL();
    }
}

// ---- screen

TFmMaquinaTin::TFmMaquinaTin(QWidget* parent) : TFmCadastro(parent), m_capacidade(this) {
    setObjectName(QStringLiteral("FmMaquinaTin"));
    setWindowTitle(QStringLiteral("Cadastro de máquinas"));
    ui.setupUi(PainelDados);

    tonalidade = new QButtonGroup(this);
    tonalidade->setObjectName(QStringLiteral("GrupoTonalidade"));
    for (QRadioButton* opcao : {ui.RbTodas, ui.RbClara, ui.RbMedia, ui.RbEscura})
        tonalidade->addButton(opcao, int(tonalidade->buttons().size()));

    // The machine list and the capacity grid share the space under the data panel, one tab each.
    QWidget* pagina = AdicionaPagina(QStringLiteral("Capacidade"), QStringLiteral("Máquinas"));
    auto* grade = new QVBoxLayout(pagina);
    dbgCapacidade = new TZoDBGrid(pagina);
    dbgCapacidade->setObjectName(QStringLiteral("dbgCapacidade"));
    dbgCapacidade->SetDataSet(m_capacidade.Tabela());
    dbgCapacidade->SetReadOnly(true);
    // Widths in centimetres, as the capacity of a machine is measured; the lot's width comes in metres.
    dbgCapacidade->DeclaraColunas(
        {{"VARIANTE", "Variante"},
         ColunaGrade("DESC_VARIANTE", "Descrição da variante").SomenteLeitura().Estica(),
         ColunaGrade("LARG_DE", "Largura de (cm)").Casas(2),
         ColunaGrade("LARG_ATE", "Largura até (cm)").Casas(2),
         ColunaGrade("PESO_MIN", "Peso mín. (kg)").Casas(2),
         ColunaGrade("PESO_MAX", "Peso máx. (kg)").Casas(2),
         {"RELAC_BANHO", "Banho"}});
    dbgCapacidade->OnKeyDown = [this](QKeyEvent* tecla) { return dbgCapacidadeKeyDown(tecla); };
    grade->addWidget(dbgCapacidade);
    auto* dica = new QLabel(
        QStringLiteral("F4 - Pesquisa      Insert - Nova linha      Ctrl Del - Exclui linha"), pagina);
    dica->setObjectName(QStringLiteral("LbDicaCapacidade"));
    grade->addWidget(dica);
}

void TFmMaquinaTin::FormCreate() {
    DicaTeclas({dbgCapacidade},
               QStringLiteral("F4: pesquisa (colunas Variante e Banho) · Insert: linha nova · "
                              "Ctrl+Del: exclui a linha"));
    cad.tabelaCompartilhada = QStringLiteral("TbMaq_Tin");
    cad.tabela = QStringLiteral("MAQ_TIN");
    cad.caixaCodigo = ui.Edtcodmaq;
    cad.caixaDescricao = ui.EdtDesMaq;
    cad.checaCodigo = true;
    cad.larguraProximo = 2;
    cad.anexa = true;
    cad.tituloLog = kTitulo;
    cad.textoInclusao = QStringLiteral("INCLUSAO DA MAQUINA ");
    cad.textoAlteracao = QStringLiteral("ALTERACAO DA MAQUINA ");
    cad.textoExclusao = QStringLiteral("EXCLUSAO DA MAQUINA ");
    cad.exclusaoPadraoSim = false;
    cad.colunas = {
        {"CODIGO", "Código"},
        ColunaGrade("DESCRICAO", "Descrição").Estica(),
        {"FASE", "Fase"},
        ColunaGrade("PESO_MIN", "Peso mín. (kg)").Casas(2),
        ColunaGrade("PESO_MAX", "Peso máx. (kg)").Casas(2),
        ColunaGrade("VOLUME_MIN", "Volume mín. (l)").Casas(2),
        ColunaGrade("VOLUME_MAX", "Volume máx. (l)").Casas(2),
        {"RELAC_BANHO", "Banho"},
        ColunaGrade("TIPO", "Tipo").Textos({{"1", "Tingimento"}, {"2", "Acabamento"}, {"3", "Manual"}}),
        ColunaGrade("TON", "Tonalidade")
            .Textos({{"1", "Todas"}, {"2", "Clara"}, {"3", "Média"}, {"4", "Escura"}}),
        {"VALOR", "Valor"},
        {"DEPREC_MENSAL", "Depreciação mensal"},
        {"MES_DEPREC", "Meses de depreciação"},
        {"ARREDONDA", "Arredonda"}};
    AbreCadastro();
    // Left empty, the bath and phase boxes open their look-ups.
    DeclaraCaixa({.caixa = ui.EdtCodBanho,
                  .descricao = ui.EdtProBanho,
                  .titulo = QStringLiteral("Volumes de Banho"),
                  .tabela = QStringLiteral("BANHO"),
                  .abreVazia = true,
                  .colunas = {QStringLiteral("PROPORCAO")},
                  .mostra = [this](const QVariantMap& linha) {
                      ui.EdtproLitros->setText(
                          linha.isEmpty() ? QString()
                                          : TextoExibicao(linha.value(QStringLiteral("PROPORCAO")), 3));
                  }});
    DeclaraCaixa({.caixa = ui.EdtCodFase,
                  .descricao = ui.EdtDescFase,
                  .titulo = QStringLiteral("Fases"),
                  .tabela = QStringLiteral("FASE"),
                  .abreVazia = true});
    // Shown once declared: the bath's and the phase's descriptions with them.
    const QList<QPair<QLineEdit*, const char*>> caixas = {
        {ui.Edtcodmaq, "CODIGO"},     {ui.EdtDesMaq, "DESCRICAO"},     {ui.EdtCodBanho, "RELAC_BANHO"},
        {ui.EdtCodFase, "FASE"},      {ui.EdtPesoMin, "PESO_MIN"},     {ui.EdtPesoMax, "PESO_MAX"},
        {ui.EdtVolMin, "VOLUME_MIN"}, {ui.EdtVolMax, "VOLUME_MAX"},    {ui.EdtVlrCom, "VALOR"},
        {ui.EdtMesDep, "MES_DEPREC"}, {ui.EdtDepMen, "DEPREC_MENSAL"}, {ui.EdtArredonda, "ARREDONDA"}};
    for (const auto& [caixa, campo] : caixas)
        FieldLink::Edit(caixa, Dados(), QString::fromLatin1(campo));
    FieldLink::Radio(tonalidade, Dados(), QStringLiteral("TON"),
                     {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
    CaixaAlta(ui.EdtDesMaq);

    connect(Dados(), &TDataSet::scrolled, this, Protegido([this] {
                MostraResidual();
                MostraTipo();
            }));
    connect(Dados(), &TDataSet::stateChanged, this,
            Protegido([this] { dbgCapacidade->SetReadOnly(!Dados()->Editing()); }));
    m_capacidade.Tabela()->AfterInsert = [this](TDataSet&) {
        dbgCapacidade->SelectField(QStringLiteral("VARIANTE"));
    };
    MostraResidual();
    MostraTipo();
    Paginas()->setCurrentIndex(Maquinas);
}

// Every move, and the end of a confirmation or desistance, shows another machine (or the same one anew).
void TFmMaquinaTin::CarregaDetalhe() {
    m_capacidade.BuscarCapacidade(
        Dados()->IsEmpty() ? QString() : Dados()->FieldByName(QStringLiteral("CODIGO")).AsString());
}

void TFmMaquinaTin::MostraTipo() {
    const QString tipo =
        Dados()->IsEmpty() ? QString() : Dados()->FieldByName(QStringLiteral("TIPO")).AsString().trimmed();
    bool numero = false;
    const int n = tipo.toInt(&numero);
    if (numero && n >= 1 && n <= ui.CbTipo->count()) {
        ui.CbTipo->setCurrentIndex(n - 1);
    } else {
        ui.CbTipo->setCurrentIndex(-1);
        ui.CbTipo->setEditText(tipo);
    }
}

void TFmMaquinaTin::MostraResidual() {
    ui.EdtVlrVen->setText(::ValorZazid(ui.EdtVlrCom->text(), ui.EdtDepMen->text(), ui.EdtMesDep->text()));
}

void TFmMaquinaTin::NovoRegistro() {
    Paginas()->setCurrentIndex(Maquinas);
    m_capacidade.Limpa();
}

void TFmMaquinaTin::BtnAlteraClick() {
    TFmCadastro::BtnAlteraClick();
    if (Dados()->Editing() && Paginas()->currentIndex() == Capacidade)
        FocaCapacidade(QStringLiteral("VARIANTE"));
}

void TFmMaquinaTin::FocaCapacidade(const QString& campo) {
    Paginas()->setCurrentIndex(Capacidade);
    dbgCapacidade->setFocus();
    dbgCapacidade->SelectField(campo);
}

bool TFmMaquinaTin::ValidaConfirmacao() {
    if (ui.EdtDesMaq->text().trimmed().isEmpty()) {
        Informa(this, QStringLiteral("O Campo é obrigatório."));
        ui.EdtDesMaq->setFocus();
        return false;
    }
    TTabelaDataSet* maquina = Dados();
    if (maquina->State() == DataSetState::Insert)
        maquina->FieldByName(QStringLiteral("CODIGO")) = ui.Edtcodmaq->text().trimmed();
    const QString tipo = ui.CbTipo->currentText();
    if (!tipo.trimmed().isEmpty())
        maquina->FieldByName(QStringLiteral("TIPO")) = tipo.left(2).trimmed();
    return ConfereCodigos() && ConfereLimites();
}

// The bath and the phase as typed, each a stored one or none.
bool TFmMaquinaTin::ConfereCodigos() {
    const struct {
        QLineEdit* caixa;
        const char *nome, *tabela;
    } codigos[] = {{ui.EdtCodBanho, "Rel. Banho", "BANHO"}, {ui.EdtCodFase, "Fase", "FASE"}};
    for (const auto& c : codigos) {
        const QString codigo = c.caixa->text().trimmed();
        const QString recusa =
            ::RecusaCodigo(QString::fromUtf8(c.nome), codigo,
                           codigo.isEmpty() || Existe(QLatin1String(c.tabela), QStringLiteral("CODIGO"),
                                                      QVariantList{codigo}));
        if (!recusa.isEmpty()) {
            Paginas()->setCurrentIndex(Maquinas);
            return Recusa(c.caixa, recusa);
        }
    }
    return true;
}

// The machine's weights and volumes as the boxes show them: a box the user has not left yet counts too.
bool TFmMaquinaTin::ConfereLimites() {
    auto limite = [](QLineEdit* caixa, const char* nome) {
        double valor = 0;
        const bool numero = !caixa->text().trimmed().isEmpty() && LeNumero(caixa->text(), valor);
        return Limite{QString::fromUtf8(nome), numero ? std::optional(valor) : std::nullopt};
    };
    const struct {
        QLineEdit *minimo, *maximo;
        const char *nomeMinimo, *nomeMaximo;
    } faixas[] = {{ui.EdtPesoMin, ui.EdtPesoMax, "Peso Mín. (kg)", "Peso Máx. (kg)"},
                  {ui.EdtVolMin, ui.EdtVolMax, "Volume Mín. (l)", "Volume Máx. (l)"}};
    for (const auto& f : faixas) {
        const RecusaLimite recusa =
            RecusaFaixa(limite(f.minimo, f.nomeMinimo), limite(f.maximo, f.nomeMaximo));
        if (!recusa.mensagem.isEmpty()) {
            Paginas()->setCurrentIndex(Maquinas);
            return Recusa(recusa.maximo ? f.maximo : f.minimo, recusa.mensagem);
        }
    }
    return true;
}

bool TFmMaquinaTin::ValidaDetalhe() {
    TClientDataSet* capacidade = m_capacidade.Tabela();
    if (!capacidade->Post()) { // the row check has said why
        FocaCapacidade(dbgCapacidade->SelectedField());
        return false;
    }
    if (!m_capacidade.Carregada()) {
        Informa(this,
                QStringLiteral("As informações de capacidade não foram carregadas; a máquina não pode ser "
                               "gravada. Desista e tente novamente."));
        return false;
    }
    const int linha = m_capacidade.LinhaSemVariante();
    if (linha >= 0) {
        Informa(this, QStringLiteral("Variante inválida."));
        capacidade->MoveTo(linha);
        FocaCapacidade(QStringLiteral("VARIANTE"));
        return false;
    }
    QString campo;
    const QString recusa = m_capacidade.RecusaLimites(campo);
    if (recusa.isEmpty())
        return true;
    Informa(this, recusa);
    FocaCapacidade(campo);
    return false;
}

QString TFmMaquinaTin::GravaDetalhe(const QString& codigo) {
    return m_capacidade.GravarCapacidade(codigo, Dados()->State() != DataSetState::Insert);
}

// A machine row that cannot be deleted takes its capacity rows and the audit row back with it.
QString TFmMaquinaTin::ExcluiDetalhe(const QString& codigo) {
    return m_capacidade.DeletarCapacidade(codigo);
}

bool TFmMaquinaTin::ValidaExclusao() {
    Paginas()->setCurrentIndex(Maquinas);
    return true;
}

bool TFmMaquinaTin::dbgCapacidadeKeyDown(QKeyEvent* tecla) {
    if (!Dados()->Editing())
        return false;
    if (TeclaLinhaGrade(*dbgCapacidade, tecla))
        return true;
    const QString campo = dbgCapacidade->SelectedField();
    if (campo != QLatin1String("VARIANTE") && campo != QLatin1String("RELAC_BANHO"))
        return false;
    TClientDataSet* capacidade = m_capacidade.Tabela();
    if (tecla->key() == Qt::Key_F4) {
        if (TPesquisa::PesquisaCampo(this, windowTitle(),
                                     campo == QLatin1String("VARIANTE") ? QStringLiteral("VARIANTE")
                                                                        : QStringLiteral("BANHO"),
                                     capacidade, campo))
            capacidade->Post();
        return true;
    }
    // Tab posts the row, so a wrong code is refused in its own cell; a refused row keeps the focus there.
    return tecla->key() == Qt::Key_Tab && !capacidade->Post();
}

bool TFmMaquinaTin::SaidaCaixa(QWidget* caixa) {
    if (caixa == ui.EdtDesMaq && ui.EdtDesMaq->text().trimmed().isEmpty()) {
        Informa(this, QStringLiteral("O Campo é obrigatório."));
        ui.EdtDesMaq->setFocus();
        return false;
    }
    if (caixa == ui.EdtDepMen)
        MostraResidual();
    return true;
}
