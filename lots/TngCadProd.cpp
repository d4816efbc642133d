#include "TngCadProd.h"
#include "Acesso.h"
#include "CaixaPesquisa.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "GradeEdicao.h"
#include "Mensagens.h"
#include "ModuleUnits.h"
#include "Protecao.h"
#include "RegrasProducao.h"
#include "TClientDataSet.h"
#include "TPesquisa.h"
#include "TZoQuery.h"
#include "Turno.h"
#include <QHash>
#include <QKeyEvent>
#include <QScopedValueRollback>

TfmCadProd* fmCadProd = nullptr;

KELM_SCREEN_UNIT(TngCadProd, TfmCadProd);

namespace {
const QString kTabela = QStringLiteral("PRODUCAO1");
const QString kTitulo = QStringLiteral("CADASTRO DE PARTIDA");
const QString kAlterados = QStringLiteral("Lançamentos alterados por outro usuário. Carregue novamente.");
const QString kHoraInvalida = QStringLiteral("Hora Inválida.");
const QString kInicio = QStringLiteral("HORA_INI");
const QString kFim = QStringLiteral("HORA_FIM");
const QString kTempo = QStringLiteral("TEMPO");
const QString kPartida = QStringLiteral("PARTIDA");
const QString kCliente = QStringLiteral("CODCLI");
const QString kProduto = QStringLiteral("CODIGO");
// The look-ups list what lies near the sheet's day: sheets stored around it, lots started before it.
constexpr int kDiasConsulta = 15;
constexpr int kDiasPartidas = 60;
// What is compared between the sheet loaded and the sheet stored.
const QStringList kGravados = {kPartida,
                               QStringLiteral("NUMERO"),
                               kInicio,
                               kFim,
                               kCliente,
                               QStringLiteral("PRODUTO"),
                               QStringLiteral("OPERACAO"),
                               QStringLiteral("QTDE"),
                               QStringLiteral("PCINI"),
                               QStringLiteral("SEQUENCIA"),
                               QStringLiteral("OBSERVACAO")};

// A code of a row, the table it must be in, and the description it shows.
struct CodigoLinha {
    const char* campo;
    const char* tabela;
    const char* chave;
    const char* descricao;
    const char* campoDescricao;
    const char* recusa;
    const char* titulo;
};
const CodigoLinha kCodigos[] = {
    {"CODCLI", "ENTIDADE", "CODCLI", "NOME", "NOME", "Cliente Inválido.", "Clientes"},
    {"CODIGO", "PRODUTO", "CODIGO", "DESCRICAO", "DESC_PRODUTO", "Produto Inválido.", "Produtos"},
    {"MAQUINA", "MAQ_TIN", "CODIGO", "DESCRICAO", "DESC_MAQUINA", "Máquina Inválida.", "Máquinas"},
    {"TIPO", "OPERACAO", "CODIGO", "DESCRICAO", "DESC_TIPO", "Tipo Inválido.", "Tipos de Operação"}};

const CodigoLinha* codigoDo(const QString& campo) {
    for (const CodigoLinha& c : kCodigos)
        if (campo == QLatin1String(c.campo))
            return &c;
    return nullptr;
}

bool campoDeHora(const QString& campo) {
    return campo == kInicio || campo == kFim;
}

// Nothing typed but the times the cells show on entering them.
bool linhaEmBranco(const TDataSet& linha, int posicao) {
    for (const char* campo : {"PARTIDA", "CODCLI", "CODIGO", "MAQUINA", "TIPO", "OBSERVACAO"})
        if (!linha.TextoEm(posicao, QLatin1String(campo)).isEmpty())
            return false;
    for (const char* campo : {"PESO", "PECAS"})
        if (linha.NumeroEm(posicao, QLatin1String(campo)) != 0)
            return false;
    for (const QString& campo : {kInicio, kFim}) {
        const QString hora = linha.TextoEm(posicao, campo);
        if (!hora.isEmpty() && HoraDaFolha(hora) != QStringLiteral("00:00:00"))
            return false;
    }
    return true;
}

QVariant textoOuNulo(const QString& texto) {
    return texto.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(texto);
}

// The descriptions of the codes given, by code; a code missing from the table is missing here.
QHash<QString, QString> descricoes(const CodigoLinha& c, const QStringList& codigos) {
    QHash<QString, QString> lidas;
    if (codigos.isEmpty())
        return lidas;
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT %1, %2 FROM %3 WHERE %1 IN (%4)")
                 .arg(QLatin1String(c.chave), QLatin1String(c.descricao), DBLocal(QLatin1String(c.tabela)),
                      ListaSql(codigos));
    q.Open();
    for (q.First(); !q.Eof(); q.Next())
        lidas.insert(q.Fields(0).AsString().trimmed(), q.Fields(1).AsString());
    return lidas;
}
} // namespace

TfmCadProd::TfmCadProd(QWidget* parent)
    : TForm(parent), tbDados(new TClientDataSet(this)),
      m_folha(kTabela, QStringLiteral("DATA_EMI, FUNCIONARIO"), kGravados) {
    setObjectName(QStringLiteral("fmCadProd"));
    setWindowTitle(QStringLiteral("Cadastro de Partida"));
    ui.setupUi(this);
    connect(ui.btGravar, &QPushButton::clicked, this, Protegido([this] { btGravarClick(); }));
    connect(ui.btNovo, &QPushButton::clicked, this, Protegido([this] { btNovoClick(); }));
    connect(ui.btExcluir, &QPushButton::clicked, this, Protegido([this] { btExcluirClick(); }));
    connect(ui.btConsultar, &QPushButton::clicked, this, Protegido([this] { btConsultarClick(); }));
    connect(ui.btFechar, &QPushButton::clicked, this, [this] { close(); });
    SaidaSemConferencia(ui.btFechar);
}

void TfmCadProd::FormCreate() {
    PublicaInstancia(fmCadProd);
    DeclaraCaixa({.caixa = ui.edtCodFunc,
                  .descricao = ui.edtNomeFunc,
                  .botao = ui.PqFuncionario,
                  .titulo = QStringLiteral("Funcionários"),
                  .tabela = QStringLiteral("PESSOAL"),
                  .campoDescricao = QStringLiteral("NOME"),
                  .recusa = QStringLiteral("Funcionário Inválido."),
                  .colunas = {QStringLiteral("TURNO")},
                  .mostra = [this](const QVariantMap& linha) {
                      ui.edtNomeFunc->setText(linha.value(QStringLiteral("NOME")).toString());
                      m_turno = linha.value(QStringLiteral("TURNO")).toString().trimmed();
                      MostraTurno();
                  }});
    PreparaGrade();
    VigiaAlteracoes({tbDados}, {}, ui.btGravar);
    ui.edtData->setText(TextoExibicao(QDate::currentDate()));
    ui.edtData->setFocus();
}

void TfmCadProd::PreparaGrade() {
    tbDados->setObjectName(QStringLiteral("tbDados"));
    tbDados->AddField(kPartida, QMetaType::QString, 7)
        .AddField(kCliente, QMetaType::QString, 5)
        .AddField(QStringLiteral("NOME"), QMetaType::QString, 80)
        .AddField(kProduto, QMetaType::QString, 15)
        .AddField(QStringLiteral("DESC_PRODUTO"), QMetaType::QString, 50)
        .AddField(QStringLiteral("MAQUINA"), QMetaType::QString, 3)
        .AddField(QStringLiteral("DESC_MAQUINA"), QMetaType::QString, 50)
        .AddField(kInicio, QMetaType::QString, 8)
        .AddField(kFim, QMetaType::QString, 8)
        .AddField(kTempo, QMetaType::QString, 8)
        .AddField(QStringLiteral("PESO"), QMetaType::Double)
        .AddField(QStringLiteral("PECAS"), QMetaType::Int)
        .AddField(QStringLiteral("TIPO"), QMetaType::QString, 3)
        .AddField(QStringLiteral("DESC_TIPO"), QMetaType::QString, 50)
        .AddField(QStringLiteral("OBSERVACAO"), QMetaType::QString, 100);
    tbDados->CreateDataSet();
    ui.DBGrid1->SetDataSet(tbDados);
    ui.DBGrid1->SetReadOnly(false);
    ui.DBGrid1->DeclaraColunas({{"PARTIDA", "Partida"},
                                {"CODCLI", "Cliente"},
                                ColunaGrade("NOME", "Nome").SomenteLeitura().Largura(18),
                                {"CODIGO", "Produto"},
                                ColunaGrade("DESC_PRODUTO", "Descrição").SomenteLeitura().Largura(16),
                                {"MAQUINA", "Máquina"},
                                ColunaGrade("DESC_MAQUINA", "Descrição").SomenteLeitura().Largura(12),
                                {"HORA_INI", "Início"},
                                {"HORA_FIM", "Fim"},
                                ColunaGrade("TEMPO", "Tempo").SomenteLeitura(),
                                ColunaGrade("PESO", "Peso").Casas(2),
                                {"PECAS", "Peças"},
                                {"TIPO", "Tipo"},
                                ColunaGrade("DESC_TIPO", "Descrição").SomenteLeitura().Largura(11),
                                ColunaGrade("OBSERVACAO", "Observação").Estica()});
    ui.DBGrid1->OnKeyDown = [this](QKeyEvent* tecla) { return DBGrid1KeyDown(tecla); };
    AoEntrarCelula(*ui.DBGrid1, this,
                   [this](const QString& campo, const QString& anterior) { EntraCelula(campo, anterior); });
    AcompanhaLinhas(tbDados, this, [this] { MostraTotais(); });
    DicaTeclas({ui.DBGrid1},
               QStringLiteral("F4: pesquisa (partida, cliente, produto, máquina, tipo) · Insert: "
                              "linha nova · Ctrl+Del: exclui a linha"));
    MostraTotais();
}

// ---- header

// The sheet's day; today while the box holds none.
QDate TfmCadProd::DataDaFolha() const {
    const QDate data = LeData(ui.edtData->text());
    return data.isValid() ? data : QDate::currentDate();
}

QString TfmCadProd::ChaveDoCabecalho() const {
    const QDate data = LeData(ui.edtData->text());
    const QString funcionario = ui.edtCodFunc->text().trimmed();
    if (!data.isValid() || funcionario.isEmpty())
        return {};
    return DetalheGravado::ChaveComposta({data.toString(Qt::ISODate), funcionario});
}

// Rows typed and not saved are dropped only when the user says so.
bool TfmCadProd::DescartaDigitados() {
    return !TemAlteracoes() ||
           Pergunta(this, windowTitle(),
                    QStringLiteral("Os lançamentos digitados não foram gravados. Deseja descartá-los?"),
                    false);
}

// The sheet shown is always the stored sheet of the date and employee shown: a header changed loads its
// own sheet, or goes back to the one shown.
void TfmCadProd::TrocaFolha() {
    const QString chave = ChaveDoCabecalho();
    if (chave == m_folha.Codigo())
        return;
    if (!DescartaDigitados()) {
        const QStringList carregada = DetalheGravado::PartesDaChave(m_folha.Codigo());
        if (carregada.size() == 2) {
            ui.edtData->setText(TextoExibicao(QDate::fromString(carregada[0], Qt::ISODate)));
            ui.edtCodFunc->setText(carregada[1]);
        }
        return;
    }
    BuscaDados();
}

void TfmCadProd::BuscaDados() {
    const QDate data = LeData(ui.edtData->text());
    const QString funcionario = ui.edtCodFunc->text().trimmed();
    QScopedValueRollback<bool> comoGravados(m_carregando, true);
    tbDados->DisableControls();
    tbDados->EmptyDataSet();
    if (!data.isValid() || funcionario.isEmpty()) {
        tbDados->EnableControls();
        m_folha.Esquece();
        AlteracoesGravadas();
        MostraTurno();
        return;
    }
    TZoQuery q;
    q.SQL << QStringLiteral(
                 "SELECT PROD.PARTIDA, PROD.NUMERO, PROD.HORA_INI, PROD.HORA_FIM, PROD.CODCLI, PROD.PRODUTO, "
                 "PROD.OPERACAO, PROD.QTDE, PROD.PCINI, PROD.SEQUENCIA, PROD.OBSERVACAO, "
                 "MAQ_TIN.DESCRICAO AS DESC_MAQUINA, OPERACAO.DESCRICAO AS DESC_TIPO, ENTIDADE.NOME, "
                 "PRODUTO.DESCRICAO AS DESC_PRODUTO")
          << QStringLiteral("FROM %1 PROD LEFT JOIN %2 MAQ_TIN ON (PROD.OPERACAO = MAQ_TIN.CODIGO)")
                 .arg(DBLocal(kTabela), DBLocal(QStringLiteral("MAQ_TIN")))
          << QStringLiteral("LEFT JOIN %1 OPERACAO ON (PROD.NUMERO = OPERACAO.CODIGO)")
                 .arg(DBLocal(QStringLiteral("OPERACAO")))
          << QStringLiteral("LEFT JOIN %1 ENTIDADE ON (PROD.CODCLI = ENTIDADE.CODCLI)")
                 .arg(DBLocal(QStringLiteral("ENTIDADE")))
          << QStringLiteral(
                 "LEFT JOIN %1 PRODUTO ON (PROD.PRODUTO = PRODUTO.CODIGO AND PRODUTO.CODIGO <> '')")
                 .arg(DBLocal(QStringLiteral("PRODUTO")))
          << QStringLiteral("WHERE PROD.DATA_EMI = :DATA AND PROD.FUNCIONARIO = :FUNCIONARIO")
          // Positions are text: "10" comes after "9".
          << QStringLiteral("ORDER BY LPAD(TRIM(PROD.SEQUENCIA), 3, '0')");
    q.BindValue(QStringLiteral("DATA"), data);
    q.BindValue(QStringLiteral("FUNCIONARIO"), funcionario);
    q.Open();
    const QList<QPair<const char*, const char*>> campos = {{"PARTIDA", "PARTIDA"},
                                                           {"CODCLI", "CODCLI"},
                                                           {"NOME", "NOME"},
                                                           {"CODIGO", "PRODUTO"},
                                                           {"DESC_PRODUTO", "DESC_PRODUTO"},
                                                           {"MAQUINA", "OPERACAO"},
                                                           {"DESC_MAQUINA", "DESC_MAQUINA"},
                                                           {"HORA_INI", "HORA_INI"},
                                                           {"HORA_FIM", "HORA_FIM"},
                                                           {"PESO", "QTDE"},
                                                           {"PECAS", "PCINI"},
                                                           {"TIPO", "NUMERO"},
                                                           {"DESC_TIPO", "DESC_TIPO"},
                                                           {"OBSERVACAO", "OBSERVACAO"}};
    for (q.First(); !q.Eof(); q.Next()) {
        tbDados->Append();
        for (const auto& [campo, coluna] : campos)
            tbDados->FieldByName(QLatin1String(campo)) = q.FieldByName(QLatin1String(coluna)).Value();
        tbDados->FieldByName(kTempo) =
            TempoPartida(q.TextoAtual(kInicio), q.TextoAtual(kFim)).value_or(QString());
        tbDados->Post();
    }
    tbDados->First();
    tbDados->EnableControls();
    m_folha.Carregado(ChaveDoCabecalho(), q);
    AlteracoesGravadas();
    MostraTurno();
}

// Cleared for the next sheet: today, no employee, nothing loaded.
void TfmCadProd::NovaFolha() {
    ui.edtData->setText(TextoExibicao(QDate::currentDate()));
    ui.edtCodFunc->clear();
    BuscaDados();
    ui.edtData->setFocus();
}

// The employee's shift, its description and its hours on the sheet's weekday.
void TfmCadProd::MostraTurno() {
    ui.edtTurno->setText(m_turno);
    ui.edtDescTurno->clear();
    ui.edtHoras->clear();
    if (m_turno.isEmpty())
        return;
    TZoQuery q;
    q.SQL << DBLocal_SQL(QStringLiteral(
        "SELECT T.DESCRICAO, (SELECT FIRST 1 H.TOTAL FROM {TURNO_HORARIOS} H WHERE H.TURNO = T.TURNO AND "
        "H.DIA = :DIA ORDER BY H.ENTRADA) AS TOTAL FROM {TURNO} T WHERE T.TURNO = :TURNO"));
    q.BindValue(QStringLiteral("DIA"), DiaTurno(LeData(ui.edtData->text())));
    q.BindValue(QStringLiteral("TURNO"), m_turno);
    q.Open();
    if (q.IsEmpty())
        return;
    ui.edtDescTurno->setText(q.FieldByName(QStringLiteral("DESCRICAO")).AsString());
    ui.edtHoras->setText(q.FieldByName(QStringLiteral("TOTAL")).AsString());
}

void TfmCadProd::MostraTotais() {
    double peso = 0;
    int segundos = 0;
    for (int linha = 0; linha < tbDados->RecordCount(); ++linha) {
        peso += tbDados->NumeroEm(linha, QStringLiteral("PESO"));
        const QTime tempo = QTime::fromString(tbDados->TextoEm(linha, kTempo), QStringLiteral("HH:mm:ss"));
        if (tempo.isValid())
            segundos += QTime(0, 0).secsTo(tempo);
    }
    ui.LbTotais->setText(QStringLiteral("Lançamentos: %1   Peso: %2   Tempo: %3")
                             .arg(tbDados->RecordCount())
                             .arg(TextoExibicao(peso, 2), TempoDosMinutos(segundos / 60)));
}

// Leaving the date or the employee box for another control of the screen loads that day's sheet of that
// employee (the same code typed again after the screen cleared it included).
bool TfmCadProd::SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason) {
    if (next == ui.btFechar)
        return true;
    if (control == ui.edtData) {
        if (!LeData(ui.edtData->text()).isValid())
            return Recusa(ui.edtData, QStringLiteral("Data Inválida."));
        TrocaFolha();
        MostraTurno();
    } else if (control == ui.edtCodFunc) {
        TrocaFolha();
    }
    return true;
}

// ---- grid

bool TfmCadProd::DBGrid1KeyDown(QKeyEvent* tecla) {
    if (TeclaLinhaGrade(*ui.DBGrid1, tecla))
        return true;
    if ((tecla->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    const QString campo = ui.DBGrid1->SelectedField();
    if (tecla->key() == Qt::Key_F4)
        return PesquisaColuna(campo);
    if (tecla->key() == Qt::Key_Tab)
        return !ConfereColuna(campo);
    return false;
}

// The lots of the lot sheets started in the two months before the sheet's day; a lot's customers and fabrics
// are those its programme rows name, when a programme has it.
bool TfmCadProd::PesquisaColuna(const QString& campo) {
    if (tbDados->IsEmpty())
        tbDados->Append();
    if (campo == kPartida) {
        const QDate data = DataDaFolha();
        TPesquisa pesquisa;
        pesquisa.Titulo =
            QStringLiteral("Partidas das FAL iniciadas de %1 a %2")
                .arg(TextoExibicao(data.addDays(-kDiasPartidas)), TextoExibicao(data.addDays(7)));
        pesquisa.SQL = DBLocal_SQL(QStringLiteral("SELECT F.PARTIDA, F.NUMERO AS FAL, F.CLIENTE, F.COR FROM "
                                                  "{FAL} F WHERE F.DATA_INI BETWEEN %1 AND %2 AND "
                                                  "F.PARTIDA <> ''"))
                           .arg(DataSQL(data.addDays(-kDiasPartidas)), DataSQL(data.addDays(7)));
        pesquisa.CampoChave = kPartida;
        pesquisa.CampoBusca = kPartida;
        pesquisa.OrdenarPor = QStringLiteral("P.PARTIDA DESC, P.FAL DESC");
        if (!pesquisa.AbrePesquisa(this))
            return true;
        tbDados->Edit();
        tbDados->FieldByName(kPartida) = pesquisa.Chave().trimmed();
        return true;
    }
    const CodigoLinha* c = codigoDo(campo);
    if (!c)
        return false;
    QString filtro;
    const QString partida = tbDados->TextoAtual(kPartida);
    if ((campo == kCliente || campo == kProduto) && !partida.isEmpty() &&
        Existe(QStringLiteral("TNG_PROG"), kPartida, Aspas(partida))) {
        const QString programa = DBLocal(QStringLiteral("TNG_PROG"));
        filtro = campo == kCliente
                     ? QStringLiteral("CODCLI IN (SELECT TNGP.CODCLI FROM %1 TNGP WHERE TNGP.PARTIDA = %2)")
                           .arg(programa, Aspas(partida))
                     : QStringLiteral("DESCRICAO <> '' AND CODIGO IN (SELECT TNGP.CODIGO FROM %1 TNGP WHERE "
                                      "TNGP.PARTIDA = %2 AND TNGP.CODCLI = %3)")
                           .arg(programa, Aspas(partida), Aspas(tbDados->TextoAtual(kCliente)));
    }
    if (PesquisaNaCelula(this, *tbDados,
                         {.titulo = QString::fromUtf8(c->titulo),
                          .tabela = QLatin1String(c->tabela),
                          .chave = QLatin1String(c->chave),
                          .descricao = QLatin1String(c->descricao),
                          .filtro = filtro,
                          .campo = campo,
                          .campoDescricao = QLatin1String(c->campoDescricao)}))
        ConfereColuna(campo);
    return true;
}

// The Tab check of a cell: false, with its refusal shown and the cell kept, when its value is refused.
bool TfmCadProd::ConfereColuna(const QString& campo) {
    if (tbDados->IsEmpty())
        return true;
    if (campoDeHora(campo)) {
        const std::optional<QString> hora = HoraDaFolha(tbDados->TextoAtual(campo));
        if (!hora) {
            Informa(this, kHoraInvalida);
            return false;
        }
        if (*hora != tbDados->TextoAtual(campo))
            tbDados->FieldByName(campo) = *hora;
        CalculaTempo();
        return true;
    }
    const CodigoLinha* c = codigoDo(campo);
    if (!c)
        return true;
    const QString codigo = tbDados->TextoAtual(campo);
    const QHash<QString, QString> lida =
        descricoes(*c, codigo.isEmpty() ? QStringList() : QStringList{codigo});
    if (!codigo.isEmpty() && !lida.contains(codigo)) {
        Informa(this, QString::fromUtf8(c->recusa));
        return false;
    }
    const QString campoDescricao = QLatin1String(c->campoDescricao);
    if (tbDados->TextoAtual(campoDescricao) != lida.value(codigo).trimmed())
        tbDados->FieldByName(campoDescricao) = lida.value(codigo);
    return true;
}

// An empty time shows 00:00:00 as its cell is entered; a time left by any key or the mouse is written as
// the sheet stores it and the time worked follows.
void TfmCadProd::EntraCelula(const QString& campo, const QString& anterior) {
    if (m_carregando)
        return;
    if (campoDeHora(anterior)) {
        if (const std::optional<QString> hora = HoraDaFolha(tbDados->TextoAtual(anterior));
            hora && *hora != tbDados->TextoAtual(anterior))
            tbDados->FieldByName(anterior) = *hora;
        CalculaTempo();
    }
    if (campoDeHora(campo) && tbDados->TextoAtual(campo).isEmpty())
        tbDados->FieldByName(campo) = QStringLiteral("00:00:00");
}

void TfmCadProd::CalculaTempo() {
    const QString tempo =
        TempoPartida(tbDados->TextoAtual(kInicio), tbDados->TextoAtual(kFim)).value_or(QString());
    if (tempo != tbDados->TextoAtual(kTempo))
        tbDados->FieldByName(kTempo) = tempo;
}

// ---- save and delete

bool TfmCadProd::Cabecalho(QDate& data, QString& funcionario) {
    data = LeData(ui.edtData->text());
    if (!data.isValid())
        return Recusa(ui.edtData, QStringLiteral("Data Inválida."));
    funcionario = ui.edtCodFunc->text().trimmed();
    if (funcionario.isEmpty() ||
        !Existe(QStringLiteral("PESSOAL"), QStringLiteral("CODIGO"), QVariantList{funcionario}))
        return Recusa(ui.edtCodFunc, QStringLiteral("Funcionário Inválido"));
    return true;
}

// A user who works as another employee changes that employee's sheet only with the elevated right.
bool TfmCadProd::PodeAlterar(const QString& funcionario) {
    const QString proprio = FuncionarioDoUsuario();
    return proprio.isEmpty() || proprio == funcionario ||
           Acessa(QStringLiteral("TfmCadProd"), QStringLiteral("A"), QStringLiteral("1"));
}

// The sheet a save or delete acts on: the header's, valid, within the user's rights, and the one shown (a
// header typed and not left yet names another sheet: that one is loaded, not written over).
bool TfmCadProd::FolhaMostrada(QDate& data, QString& funcionario) {
    if (!Cabecalho(data, funcionario) || !PodeAlterar(funcionario))
        return false;
    if (ChaveDoCabecalho() == m_folha.Codigo())
        return true;
    TrocaFolha();
    return false;
}

// Every row is checked again as Tab checks it, codes typed without Tab or removed since included; blank
// rows are dropped. The first refusal names its row and nothing is written.
bool TfmCadProd::ConfereFolha() {
    for (int linha = tbDados->RecordCount() - 1; linha >= 0; --linha)
        if (linhaEmBranco(*tbDados, linha)) {
            tbDados->MoveTo(linha);
            tbDados->Delete();
        }
    QHash<QString, QHash<QString, QString>> lidas;
    for (const CodigoLinha& c : kCodigos) {
        QStringList codigos;
        for (int linha = 0; linha < tbDados->RecordCount(); ++linha)
            if (const QString codigo = tbDados->TextoEm(linha, QLatin1String(c.campo));
                !codigo.isEmpty() && !codigos.contains(codigo))
                codigos << codigo;
        lidas.insert(QLatin1String(c.campo), descricoes(c, codigos));
    }
    const auto recusa = [this](int linha, const QString& campo, const QString& mensagem) {
        tbDados->MoveTo(linha);
        ui.DBGrid1->setFocus();
        ui.DBGrid1->SelectField(campo);
        Informa(this, QStringLiteral("Linha %1: %2").arg(linha + 1).arg(mensagem));
        return false;
    };
    for (int linha = 0; linha < tbDados->RecordCount(); ++linha) {
        tbDados->MoveTo(linha);
        for (const CodigoLinha& c : kCodigos) {
            const QString campo = QLatin1String(c.campo);
            const QString codigo = tbDados->TextoAtual(campo);
            const QHash<QString, QString>& tabela = lidas[campo];
            if (!codigo.isEmpty() && !tabela.contains(codigo))
                return recusa(linha, campo, QString::fromUtf8(c.recusa));
            const QString campoDescricao = QLatin1String(c.campoDescricao);
            if (tbDados->TextoAtual(campoDescricao) != tabela.value(codigo).trimmed())
                tbDados->FieldByName(campoDescricao) = tabela.value(codigo);
        }
        for (const QString& campo : {kInicio, kFim}) {
            const std::optional<QString> hora = HoraDaFolha(tbDados->TextoAtual(campo));
            if (!hora)
                return recusa(linha, campo, kHoraInvalida);
            if (*hora != tbDados->TextoAtual(campo))
                tbDados->FieldByName(campo) = *hora;
        }
        CalculaTempo();
        if (!tbDados->Post())
            return false;
    }
    return true;
}

// One prepared insert for all the rows, numbered in the sheet's order.
void TfmCadProd::InsereLinhas(const QDate& data, const QString& funcionario) {
    TZoQuery insercao;
    insercao.SQL << QStringLiteral(
                        "INSERT INTO %1 (PARTIDA, NUMERO, FUNCIONARIO, DATA_EMI, HORA_INI, HORA_FIM, "
                        "CODCLI, PRODUTO, OPERACAO, QTDE, PCINI, SEQUENCIA, OBSERVACAO)")
                        .arg(DBLocal(kTabela))
                 << QStringLiteral(
                        "VALUES (:PARTIDA, :NUMERO, :FUNCIONARIO, :DATA_EMI, :HORA_INI, :HORA_FIM, "
                        ":CODCLI, :PRODUTO, :OPERACAO, :QTDE, :PCINI, :SEQUENCIA, :OBSERVACAO)");
    const QList<QPair<const char*, const char*>> textos = {
        {"PARTIDA", "PARTIDA"},   {"NUMERO", "TIPO"},          {"HORA_INI", "HORA_INI"},
        {"HORA_FIM", "HORA_FIM"}, {"CODCLI", "CODCLI"},        {"PRODUTO", "CODIGO"},
        {"OPERACAO", "MAQUINA"},  {"OBSERVACAO", "OBSERVACAO"}};
    const int peso = tbDados->FieldIndex(QStringLiteral("PESO")),
              pecas = tbDados->FieldIndex(QStringLiteral("PECAS"));
    for (int linha = 0; linha < tbDados->RecordCount(); ++linha) {
        for (const auto& [coluna, campo] : textos)
            insercao.BindValue(QLatin1String(coluna),
                               textoOuNulo(tbDados->TextoEm(linha, QLatin1String(campo))));
        insercao.BindValue(QStringLiteral("FUNCIONARIO"), funcionario);
        insercao.BindValue(QStringLiteral("DATA_EMI"), data);
        insercao.BindValue(QStringLiteral("QTDE"), tbDados->ValueAt(linha, peso));
        insercao.BindValue(QStringLiteral("PCINI"), tbDados->ValueAt(linha, pecas));
        insercao.BindValue(QStringLiteral("SEQUENCIA"), QString::number(linha + 1));
        insercao.ExecSQL();
    }
}

void TfmCadProd::btGravarClick() {
    ConcluiEdicaoGrades(true);
    if (!tbDados->Post())
        return;
    QDate data;
    QString funcionario;
    if (!FolhaMostrada(data, funcionario) || !ConfereFolha())
        return;
    const bool gravou = m_folha.Grava(ChaveDoCabecalho(), [&](const QString& chave, bool) {
        InsereLinhas(data, funcionario);
        GeraLog(kTitulo,
                QStringLiteral("INCLUSAO DO FUNCIONARIO: %1 DATA: %2").arg(funcionario, TextoExibicao(data)),
                opInclusao, DetalheGravado::PartesDaChave(chave).value(1), this);
    });
    if (!gravou) {
        Informa(this, kAlterados);
        return;
    }
    NovaFolha();
}

void TfmCadProd::btNovoClick() {
    if (DescartaDigitados())
        NovaFolha();
}

void TfmCadProd::btExcluirClick() {
    ConcluiEdicaoGrades(false);
    QDate data;
    QString funcionario;
    if (!FolhaMostrada(data, funcionario))
        return;
    if (!Pergunta(this, windowTitle(), QStringLiteral("Deseja realmente excluir todos os lançamentos?"),
                  false))
        return;
    if (!m_folha.Exclui(ChaveDoCabecalho(), [&] {
            GeraLog(
                kTitulo,
                QStringLiteral("EXCLUSAO DO FUNCIONARIO: %1 DATA: %2").arg(funcionario, TextoExibicao(data)),
                opExclusao, funcionario, this);
        })) {
        Informa(this, kAlterados);
        return;
    }
    NovaFolha();
}

// The sheets stored within two weeks either side of the date shown (years of sheets would be counted on
// every key typed), newest first; the one chosen is loaded by its date and employee.
void TfmCadProd::btConsultarClick() {
    const QDate data = DataDaFolha();
    const QDate de = data.addDays(-kDiasConsulta), ate = data.addDays(kDiasConsulta);
    TPesquisa pesquisa;
    pesquisa.Titulo =
        QStringLiteral("Lançamentos Gravados de %1 a %2").arg(TextoExibicao(de), TextoExibicao(ate));
    // Grouped first, the names joined to the groups: not once per row.
    pesquisa.SQL =
        DBLocal_SQL(
            QStringLiteral("SELECT G.DATA_EMI, G.FUNCIONARIO, F.NOME, G.LANCAMENTOS FROM (SELECT "
                           "P.DATA_EMI, P.FUNCIONARIO, COUNT(*) AS LANCAMENTOS FROM {PRODUCAO1} P WHERE "
                           "P.DATA_EMI BETWEEN %1 AND %2 GROUP BY P.DATA_EMI, P.FUNCIONARIO) G LEFT JOIN "
                           "{PESSOAL} F ON (F.CODIGO = G.FUNCIONARIO)"))
            .arg(DataSQL(de), DataSQL(ate));
    pesquisa.CampoChave = QStringLiteral("FUNCIONARIO");
    pesquisa.CampoBusca = QStringLiteral("NOME");
    pesquisa.OrdenarPor = QStringLiteral("P.DATA_EMI DESC, P.FUNCIONARIO DESC");
    if (!pesquisa.AbrePesquisa(this))
        return;
    ui.edtData->setText(TextoExibicao(pesquisa.RetornoPesquisa(QStringLiteral("DATA_EMI")).toDate()));
    ui.edtCodFunc->setText(pesquisa.Chave().trimmed());
    TrocaFolha();
    ui.DBGrid1->setFocus();
}
