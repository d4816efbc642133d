#include "TngNFEntra.h"
#include "Acesso.h"
#include "CaixaCliente.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "DataContext.h"
#include "DescricaoCodigo.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "GradeEdicao.h"
#include "GravacaoAtomica.h"
#include "HostUi.h"
#include "InstrucoesEmLote.h"
#include "LeiturasNota.h"
#include "Mensagens.h"
#include "ModuleUnits.h"
#include "PaginaConsulta.h"
#include "PeriodoConciliado.h"
#include "Protecao.h"
#include "RegrasNota.h"
#include "Relatorio.h"
#include "TClientDataSet.h"
#include "TPesquisa.h"
#include "TZoQuery.h"
#include <QHeaderView>
#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QScopedValueRollback>
#include <QStyle>

TfmTngNFEntra* fmTngNFEntra = nullptr;

KELM_SCREEN_UNIT(TngNFEntra, TfmTngNFEntra);

namespace {
const QString kTituloLog = QStringLiteral("TINGIMENTO");
const QString kProgramada = QStringLiteral("Impossível Excluir. Nota programada na FAL ");
const QString kProdutoInvalido = QStringLiteral("Código do Produto Inválido.");
const QString kClassificacaoInvalida = QStringLiteral("Código da Classificação fiscal Inválido.");
const QString kNotaLancada = QStringLiteral("Nota Já lançada Para este cliente.");
const QString kNaturezaNaoEncontrada = QStringLiteral("Natureza não encontrada.");
const QString kClienteNaoEncontrado = QStringLiteral("Cliente não encontrado.");
const QString kSemLancamento = QStringLiteral(" Não é permitido lançar a NF.");
const QStringList kFormatosMomento = {QStringLiteral("dd/MM/yyyy HH:mm:ss"),
                                      QStringLiteral("dd/MM/yyyy HH:mm"), QStringLiteral("dd/MM/yyyy")};
enum Pagina { Acesso = 0, Manutencao = 1 };

QString texto(TDataSet& dados, const QString& campo) {
    return dados.FieldByName(campo).AsString().trimmed();
}

QVariant nuloOuTexto(const QString& valor) {
    return valor.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(valor);
}

QString identificaItem(const QString& codigo, const QString& lote) {
    return lote.isEmpty() ? codigo : codigo + QStringLiteral(" lote ") + lote;
}

// The lot sheet is found through its items, by the invoice's index; a sheet of another customer that names
// an invoice of the same number does not count.
QString FalDaNota(const QString& nota, const QString& cliente, const QString& codigo = QString(),
                  bool soComPeso = false) {
    TZoQuery q;
    q.SQL << DBLocal_SQL(QStringLiteral("SELECT FIRST 1 I.FAL FROM {FAL_ITEN} I WHERE I.NOTA = :NOTA"));
    if (!codigo.isEmpty())
        q.SQL << QStringLiteral("AND I.CODIGO = :CODIGO");
    if (soComPeso)
        q.SQL << QStringLiteral("AND I.PESO > 0");
    q.SQL << DBLocal_SQL(QStringLiteral(
        "AND EXISTS (SELECT 1 FROM {FAL} F WHERE F.NUMERO = I.FAL AND F.CLIENTE = :CLIENTE) ORDER BY I.FAL"));
    q.BindValue(QStringLiteral("NOTA"), nota);
    q.BindValue(QStringLiteral("CLIENTE"), cliente);
    if (!codigo.isEmpty())
        q.BindValue(QStringLiteral("CODIGO"), codigo);
    q.Open();
    return q.IsEmpty() ? QString() : q.Fields(0).AsString().trimmed();
}

} // namespace

// ---- items

ItensNota::ItensNota(QObject* dono) : TbItens(new TClientDataSet(dono)) {
    TbItens->setObjectName(QStringLiteral("TbItens"));
    const struct {
        const char* nome;
        QMetaType::Type tipo;
        int tamanho;
    } campos[] = {{"Ordem", QMetaType::Int, 0},
                  {"Codigo", QMetaType::QString, 15},
                  {"Descricao", QMetaType::QString, 50},
                  {"Rolos", QMetaType::Int, 0},
                  {"Valor", QMetaType::Double, 0},
                  {"Peso_Real", QMetaType::Double, 0},
                  {"Peso_Nota", QMetaType::Double, 0},
                  {"Peso_Fatur", QMetaType::Double, 0},
                  {"Peso_Devol", QMetaType::Double, 0},
                  {"Saldo", QMetaType::Double, 0},
                  {"Gramatura", QMetaType::Double, 0},
                  {"Largura", QMetaType::Double, 0},
                  {"Peso_prog", QMetaType::Double, 0},
                  {"Prog", QMetaType::QString, 6},
                  {"Cor", QMetaType::QString, 6},
                  {"ClaFis", QMetaType::QString, 3},
                  {"Total", QMetaType::Double, 0},
                  {"Lote", QMetaType::QString, 15},
                  {"OBS", QMetaType::QString, 250},
                  {"Codigo_Gravado", QMetaType::QString, 15},
                  {"Lote_Gravado", QMetaType::QString, 25}};
    for (const auto& campo : campos)
        TbItens->AddField(QLatin1String(campo.nome), campo.tipo, campo.tamanho);
    TbItens->CreateDataSet();
    TbItens->FieldDefByName(QStringLiteral("Total")).decimals = 2;
    for (const char* peso : {"Peso_Real", "Peso_Nota", "Peso_Fatur", "Peso_Devol", "Saldo", "Peso_prog"})
        TbItens->FieldDefByName(QLatin1String(peso)).decimals = 3; // kilograms to the gram
    TbItens->BeforePost = [this](TDataSet& item) { ItensAntesDoPost(item); };
}

QVariant ItensNota::Valor(int linha, const QString& campo) const {
    return TbItens->ValueAt(linha, TbItens->FieldIndex(campo));
}

QString ItensNota::Texto(int linha, const QString& campo) const {
    return Valor(linha, campo).toString().trimmed();
}

// Total and the weight still free follow what was typed; a row without a fabric is left as it is, so that
// a blank row stays blank.
void ItensNota::ItensAntesDoPost(TDataSet& item) {
    if (m_carregando || texto(item, QStringLiteral("Codigo")).isEmpty())
        return;
    item.FieldByName(QStringLiteral("Total")) = item.FieldByName(QStringLiteral("Valor")).AsFloat() *
                                                item.FieldByName(QStringLiteral("Peso_Nota")).AsFloat();
    item.FieldByName(QStringLiteral("Saldo")) =
        PesoLivre(item.FieldByName(QStringLiteral("Peso_Real")).AsFloat(),
                  item.FieldByName(QStringLiteral("Peso_prog")).AsFloat());
    if (item.FieldByName(QStringLiteral("Ordem")).IsNull()) {
        qint64 maior = 0;
        for (int linha = 0; linha < TbItens->RecordCount(); ++linha)
            maior = std::max(maior, Valor(linha, QStringLiteral("Ordem")).toLongLong());
        item.FieldByName(QStringLiteral("Ordem")) = maior + 1;
    }
}

void ItensNota::BuscaDados(const QString& nota, const QString& cliente) {
    Limpa();
    TZoQuery q;
    q.SQL << DBLocal_SQL(
        QStringLiteral("SELECT ORDEM, CODIGO, DESCRICAO, ROLOS, VALOR, PESO_REAL, PESO_NOTA, PESO_FATUR, "
                       "PESO_DEVOL, PESO, GRAMATURA, LARGURA, PESO_PROG, CLAFIS, LOTE, OBS FROM {NFITIN} "
                       "WHERE NOTA = :NOTA AND CODCLI = :CODCLI ORDER BY ORDEM, CODIGO, LOTE"));
    q.BindValue(QStringLiteral("NOTA"), nota);
    q.BindValue(QStringLiteral("CODCLI"), cliente);
    q.Open();
    const QList<QPair<const char*, const char*>> colunas = {{"Ordem", "ORDEM"},
                                                            {"Codigo", "CODIGO"},
                                                            {"Descricao", "DESCRICAO"},
                                                            {"Rolos", "ROLOS"},
                                                            {"Valor", "VALOR"},
                                                            {"Peso_Real", "PESO_REAL"},
                                                            {"Peso_Nota", "PESO_NOTA"},
                                                            {"Peso_Fatur", "PESO_FATUR"},
                                                            {"Peso_Devol", "PESO_DEVOL"},
                                                            {"Saldo", "PESO"},
                                                            {"Gramatura", "GRAMATURA"},
                                                            {"Largura", "LARGURA"},
                                                            {"Peso_prog", "PESO_PROG"},
                                                            {"ClaFis", "CLAFIS"},
                                                            {"Lote", "LOTE"},
                                                            {"OBS", "OBS"},
                                                            {"Codigo_Gravado", "CODIGO"},
                                                            {"Lote_Gravado", "LOTE"}};
    ControlesDesligados quieto(*TbItens);
    // Rows come in as stored: the free weight is the stored one, not one worked out again.
    QScopedValueRollback<bool> carregando(m_carregando, true);
    for (q.First(); !q.Eof(); q.Next()) {
        TbItens->Append();
        for (const auto& [campo, coluna] : colunas)
            TbItens->FieldByName(QLatin1String(campo)) = q.FieldByName(QLatin1String(coluna)).Value();
        TbItens->FieldByName(QStringLiteral("Total")) = q.FieldByName(QStringLiteral("VALOR")).AsFloat() *
                                                        q.FieldByName(QStringLiteral("PESO_NOTA")).AsFloat();
        TbItens->Post();
    }
    TbItens->First();
}

void ItensNota::Limpa() {
    TbItens->Cancel();
    TbItens->EmptyDataSet();
    m_removidos.clear();
}

ItensNota::Totais ItensNota::CalculaSaldo() const {
    Totais totais;
    for (int linha = 0; linha < TbItens->RecordCount(); ++linha) {
        const double pesoNota = Valor(linha, QStringLiteral("Peso_Nota")).toDouble();
        totais.pecas += Valor(linha, QStringLiteral("Rolos")).toDouble();
        totais.valor += Valor(linha, QStringLiteral("Valor")).toDouble() * pesoNota;
        totais.saldoProgramacao += Valor(linha, QStringLiteral("Saldo")).toDouble();
        totais.saldoDevolucao += pesoNota - Valor(linha, QStringLiteral("Peso_Devol")).toDouble();
    }
    return totais;
}

bool ItensNota::Gravado() const {
    return !TbItens->IsEmpty() && TbItens->State() != DataSetState::Insert &&
           !Valor(TbItens->RecNo(), QStringLiteral("Codigo_Gravado")).isNull();
}

QString ItensNota::CodigoGravado() const {
    return Gravado() ? Texto(TbItens->RecNo(), QStringLiteral("Codigo_Gravado")) : QString();
}

void ItensNota::Remove() {
    if (Gravado())
        m_removidos.append({Texto(TbItens->RecNo(), QStringLiteral("Codigo_Gravado")),
                            Texto(TbItens->RecNo(), QStringLiteral("Lote_Gravado"))});
    TbItens->Delete();
}

QStringList ItensNota::CodigosRemovidos() const {
    QStringList codigos;
    for (const Chave& chave : m_removidos)
        codigos << chave.codigo;
    return codigos;
}

QSet<QString> ItensNota::LotesNaGrade() const {
    QSet<QString> lotes;
    for (int linha = 0; linha < TbItens->RecordCount(); ++linha)
        if (linha != TbItens->RecNo())
            lotes.insert(Texto(linha, QStringLiteral("Lote")));
    return lotes;
}

int ItensNota::LinhaDuplicada() const {
    QSet<QString> vistos;
    for (int linha = 0; linha < TbItens->RecordCount(); ++linha) {
        const QString chave =
            Texto(linha, QStringLiteral("Codigo")) + QChar(0x1f) + Texto(linha, QStringLiteral("Lote"));
        if (vistos.contains(chave))
            return linha;
        vistos.insert(chave);
    }
    return -1;
}

int ItensNota::LinhaAbaixoDoProgramado() const {
    for (int linha = 0; linha < TbItens->RecordCount(); ++linha)
        if (PesoLivre(Valor(linha, QStringLiteral("Peso_Real")).toDouble(),
                      Valor(linha, QStringLiteral("Peso_prog")).toDouble()) < 0)
            return linha;
    return -1;
}

QString ItensNota::RecusaPeso(int linha, double programado) const {
    return QStringLiteral("O peso real do item %1 (%2 kg) é menor que o peso já programado em FAL (%3 kg). "
                          "Nada foi gravado.")
        .arg(identificaItem(Texto(linha, QStringLiteral("Codigo")), Texto(linha, QStringLiteral("Lote"))),
             TextoExibicao(Valor(linha, QStringLiteral("Peso_Real")).toDouble()), TextoExibicao(programado));
}

// A removed item a lot sheet has taken since is kept, and the whole save with it: the first sheet holding
// each fabric of the invoice, in one read.
QString ItensNota::ConfereRemovidos(const QString& nota, const QString& cliente) const {
    if (m_removidos.isEmpty())
        return {};
    TZoQuery q;
    q.SQL << DBLocal_SQL(
        QStringLiteral("SELECT I.CODIGO, MIN(I.FAL) FROM {FAL_ITEN} I WHERE I.NOTA = :NOTA AND EXISTS "
                       "(SELECT 1 FROM {FAL} F "
                       "WHERE F.NUMERO = I.FAL AND F.CLIENTE = :CLIENTE) GROUP BY I.CODIGO"));
    q.BindValue(QStringLiteral("NOTA"), nota);
    q.BindValue(QStringLiteral("CLIENTE"), cliente);
    q.Open();
    QHash<QString, QString> fals;
    for (q.First(); !q.Eof(); q.Next())
        fals.insert(q.Fields(0).AsString().trimmed(), q.Fields(1).AsString().trimmed());
    for (const Chave& chave : m_removidos)
        if (fals.contains(chave.codigo))
            return kProgramada + fals.value(chave.codigo) + QLatin1Char('.');
    return {};
}

// A stored row is written back only over the row it was loaded from, which another user may have deleted
// meanwhile; lot sheets may have taken weight of it, and then it keeps its fabric and lot and at least that
// weight. The weight they hold now is read once; the unit of work writes against what it read, or fails.
QString ItensNota::ConfereGravados(const QString& nota, const QString& cliente) const {
    QList<int> gravadas;
    for (int linha = 0; linha < TbItens->RecordCount(); ++linha)
        if (!Valor(linha, QStringLiteral("Codigo_Gravado")).isNull())
            gravadas << linha;
    if (gravadas.isEmpty())
        return {};
    TZoQuery q;
    q.SQL << DBLocal_SQL(QStringLiteral(
        "SELECT CODIGO, LOTE, PESO_PROG FROM {NFITIN} WHERE NOTA = :NOTA AND CODCLI = :CODCLI"));
    q.BindValue(QStringLiteral("NOTA"), nota);
    q.BindValue(QStringLiteral("CODCLI"), cliente);
    q.Open();
    QHash<QPair<QString, QString>, double> programados;
    for (q.First(); !q.Eof(); q.Next())
        programados.insert({q.Fields(0).AsString().trimmed(), q.Fields(1).AsString().trimmed()},
                           q.Fields(2).AsFloat());
    for (const int linha : gravadas) {
        const QString codigo = Texto(linha, QStringLiteral("Codigo_Gravado"));
        const QString lote = Texto(linha, QStringLiteral("Lote_Gravado"));
        const auto programado = programados.constFind({codigo, lote});
        if (programado == programados.cend())
            return QStringLiteral(
                       "O item %1 foi excluído desta nota por outro usuário. Nada foi gravado; desista "
                       "e altere a nota de novo.")
                .arg(identificaItem(codigo, lote));
        const bool mantido =
            Texto(linha, QStringLiteral("Codigo")) == codigo && Texto(linha, QStringLiteral("Lote")) == lote;
        if (!mantido && *programado > 0.0005)
            return QStringLiteral("O item %1 tem %2 kg programados em FAL: seu código e lote não podem ser "
                                  "alterados. Nada foi gravado.")
                .arg(identificaItem(codigo, lote), TextoExibicao(*programado));
        if (*programado > Valor(linha, QStringLiteral("Peso_Real")).toDouble())
            return RecusaPeso(linha, *programado);
    }
    return {};
}

QString ItensNota::GravaItens(const QString& nota, const QString& cliente) {
    if (const QString recusa = ConfereRemovidos(nota, cliente); !recusa.isEmpty())
        return recusa;
    if (const QString recusa = ConfereGravados(nota, cliente); !recusa.isEmpty())
        return recusa;
    // The weight lot sheets took (PESO_PROG) is never written from here: the free weight is worked out from
    // what is stored when the row is written. The rows travel fifty to a round trip, in the grid's order.
    const QString tabela = DBLocal(QStringLiteral("NFITIN"));
    const QString daNota =
        QStringLiteral(" WHERE NOTA = %1 AND CODCLI = %2").arg(Aspas(nota), Aspas(cliente));
    InstrucoesEmLote lote(*ConexaoHost());
    for (const Chave& chave : std::as_const(m_removidos))
        lote.Adiciona(QStringLiteral("DELETE FROM %1%2 AND CODIGO = %3 AND LOTE = %4")
                          .arg(tabela, daNota, Aspas(chave.codigo), Aspas(chave.lote)));
    const QList<QPair<const char*, const char*>> numeros = {
        {"ORDEM", "Ordem"},         {"ROLOS", "Rolos"},           {"VALOR", "Valor"},
        {"PESO_NOTA", "Peso_Nota"}, {"PESO_FATUR", "Peso_Fatur"}, {"PESO_DEVOL", "Peso_Devol"},
        {"LARGURA", "Largura"},     {"GRAMATURA", "Gramatura"}};
    for (int linha = 0; linha < TbItens->RecordCount(); ++linha) {
        const double pesoReal = Valor(linha, QStringLiteral("Peso_Real")).toDouble();
        QList<QPair<QString, QString>> colunas = {
            {QStringLiteral("CODIGO"), Aspas(Texto(linha, QStringLiteral("Codigo")))},
            {QStringLiteral("LOTE"), Aspas(Texto(linha, QStringLiteral("Lote")))},
            {QStringLiteral("DESCRICAO"), ValorSql(nuloOuTexto(Texto(linha, QStringLiteral("Descricao"))))},
            {QStringLiteral("CLAFIS"), ValorSql(nuloOuTexto(Texto(linha, QStringLiteral("ClaFis"))))},
            {QStringLiteral("OBS"), ValorSql(nuloOuTexto(Texto(linha, QStringLiteral("OBS"))))},
            {QStringLiteral("PESO_REAL"), ValorSql(pesoReal)}};
        for (const auto& [coluna, campo] : numeros)
            colunas.append({QLatin1String(coluna), ValorSql(Valor(linha, QLatin1String(campo)))});
        if (Valor(linha, QStringLiteral("Codigo_Gravado")).isNull()) {
            QStringList nomes{QStringLiteral("NOTA"), QStringLiteral("CODCLI"), QStringLiteral("PESO")};
            QStringList valores{Aspas(nota), Aspas(cliente), ValorSql(PesoLivre(pesoReal, 0))};
            for (const auto& [coluna, valor] : colunas) {
                nomes << coluna;
                valores << valor;
            }
            lote.Adiciona(
                QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                    .arg(tabela, nomes.join(QStringLiteral(", ")), valores.join(QStringLiteral(", "))));
            continue;
        }
        QStringList atribuicoes{QStringLiteral("PESO = %1 - PESO_PROG").arg(ValorSql(pesoReal))};
        for (const auto& [coluna, valor] : colunas)
            atribuicoes << coluna + QStringLiteral(" = ") + valor;
        lote.Adiciona(QStringLiteral("UPDATE %1 SET %2%3 AND CODIGO = %4 AND LOTE = %5")
                          .arg(tabela, atribuicoes.join(QStringLiteral(", ")), daNota,
                               Aspas(Texto(linha, QStringLiteral("Codigo_Gravado"))),
                               Aspas(Texto(linha, QStringLiteral("Lote_Gravado")))));
    }
    lote.Executa();
    return {};
}

void ItensNota::AtualizaProgramacao() {
    InstrucoesEmLote lote(*ConexaoHost());
    for (int linha = 0; linha < TbItens->RecordCount(); ++linha) {
        const QString numero = Texto(linha, QStringLiteral("Prog"));
        if (numero.isEmpty())
            continue;
        lote.Adiciona(QStringLiteral("UPDATE %1 SET PESO_B = COALESCE(PESO_B, 0) + %2 WHERE NUMERO = %3 AND "
                                     "CODIGO = %4 AND COR = %5")
                          .arg(DBLocal(QStringLiteral("TNG_PROG")),
                               ValorSql(Valor(linha, QStringLiteral("Peso_Nota")).toDouble()), Aspas(numero),
                               Aspas(Texto(linha, QStringLiteral("Codigo"))),
                               Aspas(Texto(linha, QStringLiteral("Cor")))));
    }
    lote.Executa();
}

// ---- screen

TfmTngNFEntra::TfmTngNFEntra(QWidget* parent) : TForm(parent), m_itens(this) {
    setObjectName(QStringLiteral("fmTngNFEntra"));
    setWindowTitle(QStringLiteral("Entrada de Notas Fiscais p/ Produção"));
    KeyPreview = true;
    ui.setupUi(this);
    ui.sbPrimeiro->setIcon(style()->standardIcon(QStyle::SP_MediaSkipBackward));
    ui.sbAnterior->setIcon(style()->standardIcon(QStyle::SP_MediaSeekBackward));
    ui.sbProximo->setIcon(style()->standardIcon(QStyle::SP_MediaSeekForward));
    ui.sbUltimo->setIcon(style()->standardIcon(QStyle::SP_MediaSkipForward));
    ui.SpeedButton16->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    ui.btnDesistir->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    ui.EdtFiltroFatura->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,9}")), ui.EdtFiltroFatura));
    DeclaraCaixas();

    connect(ui.BitBtn12, &QPushButton::clicked, this, Protegido([this] { BitBtn12Click(); }));
    connect(ui.BitBtn23, &QPushButton::clicked, this, Protegido([this] { BitBtn23Click(); }));
    connect(ui.BitBtn24, &QPushButton::clicked, this, Protegido([this] { BitBtn24Click(); }));
    connect(ui.SpeedButton16, &QPushButton::clicked, this, Protegido([this] { SpeedButton16Click(); }));
    connect(ui.btnDesistir, &QPushButton::clicked, this, Protegido([this] { btnDesistirClick(); }));
    connect(ui.BitBtn1, &QPushButton::clicked, this, Protegido([this] { BitBtn1Click(); }));
    connect(ui.BitBtn5, &QPushButton::clicked, this, Protegido([this] { BitBtn5Click(); }));
    connect(ui.BitBtn2, &QPushButton::clicked, this, Protegido([this] { BitBtn2Click(); }));
    connect(ui.btnConsultar, &QPushButton::clicked, this, Protegido([this] { btnConsultarClick(); }));
    connect(ui.BtFechar, &QPushButton::clicked, this, [this] { close(); });
    connect(ui.sbPrimeiro, &QToolButton::clicked, this, Protegido([this] { Cabecalho()->First(); }));
    connect(ui.sbAnterior, &QToolButton::clicked, this, Protegido([this] { Cabecalho()->Prior(); }));
    connect(ui.sbProximo, &QToolButton::clicked, this, Protegido([this] { Cabecalho()->Next(); }));
    connect(ui.sbUltimo, &QToolButton::clicked, this, Protegido([this] { Cabecalho()->Last(); }));
}

// The header's code boxes; the descriptions beside them follow the invoice shown (PreparaCabecalho).
void TfmTngNFEntra::DeclaraCaixas() {
    DeclaracaoCaixa cliente = CaixaCliente(ui.EdtCliente, false, kClienteNaoEncontrado, kSemLancamento);
    cliente.botao = ui.PqCliente;
    DeclaraCaixa(cliente);
    const auto caixa = [](QLineEdit* box, QAbstractButton* botao, const char* titulo, const char* tabela,
                          const char* chave, const char* descricao) {
        return DeclaracaoCaixa{.caixa = box,
                               .botao = botao,
                               .titulo = QString::fromUtf8(titulo),
                               .tabela = QLatin1String(tabela),
                               .chave = QLatin1String(chave),
                               .campoDescricao = QLatin1String(descricao)};
    };
    DeclaracaoCaixa emissor = caixa(ui.EdtEmissor, ui.PqEmissor, "Emissores", "ENTIDADE", "CODCLI", "NOME");
    emissor.recusa = QStringLiteral("Emissor não encontrado.");
    m_emissor = DeclaraCaixa(emissor);
    // The nature's own rules read it whole, and tell an unknown one as well.
    DeclaraCaixa(caixa(ui.EdtNatureza, ui.PqNatureza, "Naturezas", "NATUREZA", "NATUREZA", "DESCRICAO"));
    DeclaracaoCaixa tipo =
        caixa(ui.EdtTipo, ui.PqTipo, "Tipos Fiscais", "TIPO_FISCAL", "CODIGO", "DESCRICAO");
    tipo.recusa = QStringLiteral("Tipo Fiscal não encontrado.");
    m_tipo = DeclaraCaixa(tipo);
    SaidaSemConferencia(ui.BtFechar);
}

void TfmTngNFEntra::FormCreate() {
    DicaTeclas({ui.DBGrid1}, QStringLiteral("F4: pesquisa de produtos (coluna Código) · F5: programação do "
                                            "cliente · Insert: linha nova · Ctrl+Del: exclui a linha"));
    PublicaInstancia(fmTngNFEntra);
    m_regraLote = BuscaParametro(QStringLiteral("COM"), 80).trimmed().toUpper();
    m_notas = TTabela::AbreTabela(QStringLiteral("TbNFTin"));
    if (Cabecalho()->Editing())
        Cabecalho()->Cancel();
    PreparaCabecalho();
    PreparaItens();
    PreparaConsulta();
    Cabecalho()->Last();
    Bar_Confirma(false);
    BuscaDados();
    const QDate hoje = QDate::currentDate();
    ui.EdtDataIni->setText(hoje.addMonths(-1).toString(QStringLiteral("dd/MM/yyyy")));
    ui.EdtDataFim->setText(hoje.toString(QStringLiteral("dd/MM/yyyy")));
    BitBtn5Click();
    ui.PageControl1->setCurrentIndex(Acesso);
    ui.EdtDataIni->setFocus();
}

void TfmTngNFEntra::FormClose() {
    if (!m_notas)
        return;
    // The data set is shared: the next screen must not find a half-typed invoice in it.
    if (Cabecalho()->Editing())
        Cabecalho()->Cancel();
    m_notas.Fecha();
}

void TfmTngNFEntra::PreparaCabecalho() {
    TTabelaDataSet* notas = Cabecalho();
    const QList<QPair<QLineEdit*, const char*>> caixas = {
        {ui.EdtNota, "NOTA"},         {ui.EdtCliente, "CLIENTE"}, {ui.EdtData, "DATA"},
        {ui.EdtNatureza, "NATUREZA"}, {ui.EdtEmissor, "EMISSOR"}, {ui.EdtSerie, "SERIE"},
        {ui.EdtDanfe, "DANFE"},       {ui.EdtTipo, "TIPO"},       {ui.EdtObservacao, "OBSERVACAO"}};
    for (const auto& [caixa, campo] : caixas)
        FieldLink::Edit(caixa, notas, QLatin1String(campo));
    FieldLink::Combo(ui.CbFrete, notas, QStringLiteral("TIPO_FRETE"),
                     {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
    new DescricaoCodigo(ui.EdtNomeCliente, notas, QStringLiteral("CLIENTE"), QStringLiteral("ENTIDADE"),
                        QStringLiteral("CODCLI"), QStringLiteral("NOME"));
    new DescricaoCodigo(ui.EdtNomeEmissor, notas, QStringLiteral("EMISSOR"), QStringLiteral("ENTIDADE"),
                        QStringLiteral("CODCLI"), QStringLiteral("NOME"));
    new DescricaoCodigo(ui.EdtDescNatureza, notas, QStringLiteral("NATUREZA"), QStringLiteral("NATUREZA"),
                        QStringLiteral("NATUREZA"), QStringLiteral("DESCRICAO"));
    new DescricaoCodigo(ui.EdtDescTipo, notas, QStringLiteral("TIPO"), QStringLiteral("TIPO_FISCAL"),
                        QStringLiteral("CODIGO"), QStringLiteral("DESCRICAO"));
    const auto mostra = Protegido([this] { MostraDataLancamento(); });
    connect(notas, &TDataSet::scrolled, this, mostra);
    connect(notas, &TDataSet::stateChanged, this, mostra);
    connect(notas, &TDataSet::layoutReset, this, mostra);
    // Another invoice shown loads its items; the one being edited keeps the grid as the user left it.
    connect(notas, &TDataSet::scrolled, this, Protegido([this] {
                if (!Editando())
                    BuscaDados();
            }));
}

void TfmTngNFEntra::PreparaItens() {
    TClientDataSet* itens = m_itens.Tabela();
    ui.DBGrid1->SetDataSet(itens);
    ui.DBGrid1->SetReadOnly(true);
    // The key a row was stored under is the save's business, not the user's.
    ui.DBGrid1->DeclaraColunas({{"Ordem", "Ordem"},
                                {"Codigo", "Código"},
                                ColunaGrade("Descricao", "Descrição").Largura(30),
                                {"Rolos", "Rolos"},
                                {"Valor", "Valor"},
                                {"Peso_Real", "Peso real (kg)"},
                                {"Peso_Nota", "Peso da nota (kg)"},
                                {"Peso_Fatur", "Peso faturado (kg)"},
                                {"Peso_Devol", "Peso devolvido (kg)"},
                                ColunaGrade("Saldo", "Saldo (kg)").SomenteLeitura(),
                                {"Gramatura", "Gramatura"},
                                {"Largura", "Largura (m)"},
                                ColunaGrade("Peso_prog", "Peso programado (kg)").SomenteLeitura(),
                                {"Prog", "Programação"},
                                {"Cor", "Cor"},
                                {"ClaFis", "Cl. fiscal"},
                                ColunaGrade("Total", "Total").SomenteLeitura(),
                                {"Lote", "Lote"},
                                ColunaGrade("OBS", "Observação").Largura(25)});
    ui.DBGrid1->OnKeyDown = [this](QKeyEvent* tecla) { return DBGrid1KeyDown(tecla); };
    itens->AfterInsert = [this](TDataSet&) {
        if (ui.DBGrid1->hasFocus())
            ui.DBGrid1->SelectField(QStringLiteral("Codigo"));
    };
    AcompanhaLinhas(itens, this, [this] { CalculaSaldo(); });
}

void TfmTngNFEntra::PreparaConsulta() {
    m_consulta = new PaginaConsulta(this, ui.DBGrid2, ui.LbQtdeConsulta);
    // Rows of one invoice differ by lot sheet and billing document: all of them break ties.
    m_consulta->pesquisa.CampoChave = QStringLiteral("NOTA");
    m_consulta->pesquisa.OrdenarPor = QStringLiteral("P.DATA DESC, P.NOTA, P.CLIENTE, P.FAL, P.FATURA");
    // Its DISTINCT reads every row of the period before the first window anyway: they are counted then.
    m_consulta->pesquisa.ContaNaJanela = true;
    m_consulta->abre = [this] { AbreDaConsulta(); };
    ui.DBGrid2->DeclaraColunas({{"FATURA", "Fatura"},
                                {"FAL", "FAL"},
                                {"NOTA", "Nota"},
                                {"CLIENTE", "Cliente"},
                                ColunaGrade("NOME", "Nome").Estica(),
                                {"DATA", "Data"}});
}

QString TfmTngNFEntra::Nota() const {
    return Cabecalho()->IsEmpty() ? QString() : texto(*Cabecalho(), QStringLiteral("NOTA"));
}

QString TfmTngNFEntra::Cliente() const {
    return Cabecalho()->IsEmpty() ? QString() : texto(*Cabecalho(), QStringLiteral("CLIENTE"));
}

bool TfmTngNFEntra::Editando() const {
    return m_notas && Cabecalho()->Editing();
}

void TfmTngNFEntra::Bar_Confirma(bool editando) {
    ui.GbCabecalho->setEnabled(editando);
    ui.PainelConfirma->setVisible(editando);
    ui.PainelControle->setVisible(!editando);
    ui.PageControl1->setTabEnabled(Acesso, !editando);
    ui.DBGrid1->SetReadOnly(!editando || m_travado);
    ui.BitBtn1->setEnabled(editando && !m_travado);
}

void TfmTngNFEntra::FimEdicao() {
    m_travado = false;
    ui.EdtNota->setReadOnly(false);
    ui.EdtCliente->setReadOnly(false);
    Bar_Confirma(false);
    BuscaDados();
}

void TfmTngNFEntra::BuscaDados() {
    if (Cabecalho()->IsEmpty() || Cabecalho()->State() == DataSetState::Insert)
        m_itens.Limpa();
    else
        m_itens.BuscaDados(Nota(), Cliente());
    CalculaSaldo();
}

void TfmTngNFEntra::CalculaSaldo() {
    const ItensNota::Totais totais = m_itens.CalculaSaldo();
    ui.EdtTotalPecas->setText(TextoExibicao(qint64(totais.pecas)));
    ui.EdtValorTotal->setText(TextoExibicao(totais.valor, 2));
    ui.EdtSaldoProgramacao->setText(TextoExibicao(totais.saldoProgramacao, 3));
    ui.EdtSaldoDevolucao->setText(TextoExibicao(totais.saldoDevolucao, 3));
}

void TfmTngNFEntra::MostraDataLancamento() {
    ui.EdtDataLan->setText(Cabecalho()->IsEmpty()
                               ? QString()
                               : TextoExibicao(Cabecalho()->FieldByName(QStringLiteral("DATA_LAN")).Value()));
}

// The posting moment is typed as it is shown, with or without the time.
bool TfmTngNFEntra::LeDataLancamento() {
    const QString digitado = ui.EdtDataLan->text().trimmed();
    QDateTime momento;
    for (const QString& formato : kFormatosMomento)
        if (!momento.isValid())
            momento = QDateTime::fromString(digitado, formato);
    if (!digitado.isEmpty() && !momento.isValid())
        return Recusa(ui.EdtDataLan, QStringLiteral("Data de lançamento inválida."));
    Cabecalho()->FieldByName(QStringLiteral("DATA_LAN")) =
        digitado.isEmpty() ? QVariant() : QVariant(momento);
    MostraDataLancamento();
    return true;
}

// ---- header boxes

bool TfmTngNFEntra::EdtNotaExit() {
    return !ui.EdtNota->text().trimmed().isEmpty() ||
           Recusa(ui.EdtNota, QStringLiteral("Digite o número da nota."));
}

// Shows why the customer cannot receive an invoice; true when he can.
bool TfmTngNFEntra::ClienteLiberado() {
    const QString recusa =
        RecusaDoCliente(ui.EdtCliente->text().trimmed(), kClienteNaoEncontrado, kSemLancamento);
    return recusa.isEmpty() || Recusa(ui.EdtCliente, recusa);
}

// The customer's own state is the box's check.
bool TfmTngNFEntra::EdtClienteExit() {
    const QString cliente = ui.EdtCliente->text().trimmed();
    if (cliente.isEmpty() || ui.EdtCliente->isReadOnly())
        return true;
    if (Cabecalho()->State() == DataSetState::Insert &&
        Existe(QStringLiteral("NFTIN"), QStringLiteral("NOTA;CLIENTE"),
               QVariantList{ui.EdtNota->text().trimmed(), cliente}))
        return Recusa(ui.EdtCliente, kNotaLancada);
    // The customer usually issues his own invoice.
    if (ui.EdtEmissor->text().trimmed().isEmpty())
        Cabecalho()->FieldByName(QStringLiteral("EMISSOR")) = cliente;
    return true;
}

bool TfmTngNFEntra::EdtNaturezaExit() {
    const QString natureza = ui.EdtNatureza->text().trimmed();
    const QString cliente = ui.EdtCliente->text().trimmed();
    const QString conferida = natureza + QChar(0x1f) + cliente;
    if (natureza.isEmpty() || conferida == m_naturezaConferida)
        return true;
    TZoQuery q;
    q.SQL << DBLocal_SQL(QStringLiteral(
        "SELECT N.TIPO, N.TP_BASE, (SELECT C.COD_EST FROM {ENTIDADE} E JOIN {CADCEP} P ON (P.CEP = E.CEP) "
        "JOIN {CIDADE} C ON (C.COD_CID = P.COD_CID) WHERE E.CODCLI = :CODCLI) AS UF_CLIENTE, "
        "(SELECT UF FROM {EMPRESA} WHERE CODIGO = :EMPRESA) AS UF_EMPRESA FROM {NATUREZA} N "
        "WHERE N.NATUREZA = :NATUREZA"));
    q.BindValue(QStringLiteral("CODCLI"), cliente);
    q.BindValue(QStringLiteral("EMPRESA"), vEmpresa());
    q.BindValue(QStringLiteral("NATUREZA"), natureza);
    q.Open();
    if (q.IsEmpty())
        return Recusa(ui.EdtNatureza, kNaturezaNaoEncontrada);
    if (texto(q, QStringLiteral("TIPO")) != QLatin1String("R"))
        return Recusa(ui.EdtNatureza,
                      QStringLiteral("A Natureza selecionada deve ser do tipo Remessa. Verifique."));
    if (NaturezaForaDoEstado(natureza, texto(q, QStringLiteral("UF_CLIENTE")),
                             texto(q, QStringLiteral("UF_EMPRESA"))) &&
        !Pergunta(this, windowTitle(), QStringLiteral("Estado(UF) da Natureza Incorreto. Deseja Continuar?"),
                  false)) {
        ui.EdtNatureza->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (texto(q, QStringLiteral("TP_BASE")) != QLatin1String("2"))
        return Recusa(ui.EdtNatureza, QStringLiteral("Natureza Cadastrada Diferente de Entrada."));
    m_naturezaConferida = conferida;
    return true;
}

bool TfmTngNFEntra::SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason) {
    // Going to Desist or Close runs no rule: nothing is being confirmed.
    if (!Editando() || next == ui.btnDesistir || next == ui.BtFechar)
        return true;
    bool aceita = true;
    if (control == ui.EdtNota)
        aceita = EdtNotaExit();
    else if (control == ui.EdtCliente)
        aceita = EdtClienteExit();
    else if (control == ui.EdtNatureza)
        aceita = EdtNaturezaExit();
    else if (control == ui.EdtDataLan)
        aceita = LeDataLancamento();
    if (aceita && next == ui.EdtDataLan && ui.EdtDataLan->text().trimmed().isEmpty()) {
        const QDateTime agora = QDateTime::currentDateTime();
        Cabecalho()->FieldByName(QStringLiteral("DATA_LAN")) =
            QDateTime(agora.date(), QTime(agora.time().hour(), agora.time().minute(), agora.time().second()));
        MostraDataLancamento();
    }
    return aceita;
}

bool TfmTngNFEntra::Desiste(QWidget* button) const {
    return button == ui.btnDesistir;
}

// ---- include, alter, confirm, desist

void TfmTngNFEntra::BitBtn12Click() {
    if (Editando())
        return;
    m_travado = false;
    m_naturezaConferida.clear();
    Cabecalho()->Append();
    Cabecalho()->FieldByName(QStringLiteral("DATA")) = QDate::currentDate();
    m_itens.Limpa();
    CalculaSaldo();
    Bar_Confirma(true);
    ui.PageControl1->setCurrentIndex(Manutencao);
    ui.EdtNota->setFocus(Qt::OtherFocusReason);
}

void TfmTngNFEntra::BitBtn23Click() {
    if (Editando() || Cabecalho()->IsEmpty())
        return;
    if (!Acessa(QString::fromLatin1(metaObject()->className()), QStringLiteral("A"), QStringLiteral("0")))
        return;
    // The items are read again: what lot sheets took since the invoice was shown counts from here.
    BuscaDados();
    m_travado = !FalDaNota(Nota(), Cliente(), QString(), true).isEmpty();
    m_naturezaConferida = texto(*Cabecalho(), QStringLiteral("NATUREZA")) + QChar(0x1f) + Cliente();
    Cabecalho()->Edit();
    ui.EdtNota->setReadOnly(true);
    ui.EdtCliente->setReadOnly(true);
    Bar_Confirma(true);
    ui.PageControl1->setCurrentIndex(Manutencao);
    ui.EdtData->setFocus(Qt::OtherFocusReason);
}

void TfmTngNFEntra::FocaItem(int linha, const QString& campo) {
    ui.PageControl1->setCurrentIndex(Manutencao);
    m_itens.Tabela()->MoveTo(linha);
    ui.DBGrid1->setFocus(Qt::OtherFocusReason);
    ui.DBGrid1->SelectField(campo);
}

bool TfmTngNFEntra::ValidaCabecalho() {
    const bool incluindo = Cabecalho()->State() == DataSetState::Insert;
    if (!EdtNotaExit())
        return false;
    const QString data = ui.EdtData->text().trimmed();
    if (!data.isEmpty() && !ValidaData(data))
        return Recusa(ui.EdtData, QStringLiteral("Data de entrada inválida."));
    if (incluindo) {
        Cabecalho()->FieldByName(QStringLiteral("NOTA")) = ui.EdtNota->text().trimmed();
        Cabecalho()->FieldByName(QStringLiteral("CLIENTE")) = ui.EdtCliente->text().trimmed();
        if (Existe(QStringLiteral("NFTIN"), QStringLiteral("NOTA;CLIENTE"), QVariantList{Nota(), Cliente()}))
            return Recusa(ui.EdtCliente, kNotaLancada);
    }
    if (ui.EdtNatureza->text().trimmed().isEmpty())
        return Recusa(ui.EdtNatureza, kNaturezaNaoEncontrada);
    return EdtNaturezaExit() && m_tipo->Confere() && m_emissor->Confere() && LeDataLancamento();
}

// Every row is checked before anything is written: a refused one is shown, and nothing is saved.
bool TfmTngNFEntra::ValidaItens() {
    TClientDataSet* itens = m_itens.Tabela();
    const auto valor = [itens](int linha, const char* campo) {
        return itens->ValueAt(linha, itens->FieldIndex(QLatin1String(campo))).toString().trimmed();
    };
    // A row left blank is no item.
    for (int linha = itens->RecordCount() - 1; linha >= 0; --linha) {
        if (!valor(linha, "Codigo").isEmpty())
            continue;
        bool vazia = true;
        for (int campo = 0; campo < itens->FieldCount() && vazia; ++campo)
            vazia = itens->ValueAt(linha, campo).toString().trimmed().isEmpty();
        if (!vazia) {
            FocaItem(linha, QStringLiteral("Codigo"));
            return Recusa(nullptr, kProdutoInvalido);
        }
        itens->MoveTo(linha);
        itens->Delete();
    }
    // Fabrics and fiscal classes, each read in one statement.
    const auto conferidos = [&](const char* tabela, const char* campo) {
        QSet<QString> codigos;
        for (int linha = 0; linha < itens->RecordCount(); ++linha)
            if (const QString codigo = valor(linha, campo); !codigo.isEmpty())
                codigos.insert(Aspas(codigo));
        QSet<QString> existentes;
        if (codigos.isEmpty())
            return existentes;
        TZoQuery q;
        q.SQL << QStringLiteral("SELECT CODIGO FROM %1 WHERE CODIGO IN (%2)")
                     .arg(DBLocal(QLatin1String(tabela)),
                          QStringList(codigos.cbegin(), codigos.cend()).join(','));
        q.Open();
        for (q.First(); !q.Eof(); q.Next())
            existentes.insert(texto(q, QStringLiteral("CODIGO")));
        return existentes;
    };
    const QSet<QString> produtos = conferidos("PRODUTO", "Codigo");
    const QSet<QString> classes = conferidos("TABFIS", "ClaFis");
    for (int linha = 0; linha < itens->RecordCount(); ++linha) {
        if (!produtos.contains(valor(linha, "Codigo"))) {
            FocaItem(linha, QStringLiteral("Codigo"));
            return Recusa(nullptr, kProdutoInvalido);
        }
        if (const QString classe = valor(linha, "ClaFis"); !classe.isEmpty() && !classes.contains(classe)) {
            FocaItem(linha, QStringLiteral("ClaFis"));
            return Recusa(nullptr, kClassificacaoInvalida);
        }
    }
    if (const int linha = m_itens.LinhaDuplicada(); linha >= 0) {
        FocaItem(linha, QStringLiteral("Lote"));
        return Recusa(nullptr, QStringLiteral("Item Duplicado. Verifique."));
    }
    if (const int linha = m_itens.LinhaAbaixoDoProgramado(); linha >= 0) {
        FocaItem(linha, QStringLiteral("Peso_Real"));
        return Recusa(
            nullptr,
            m_itens.RecusaPeso(
                linha, itens->ValueAt(linha, itens->FieldIndex(QStringLiteral("Peso_prog"))).toDouble()));
    }
    return true;
}

// Items, programme, audit rows and header are one unit of work; a refusal found inside it is returned, to be
// shown once the unit is rolled back.
QString TfmTngNFEntra::GravaDados(bool incluindo) {
    const QString nota = Nota(), cliente = Cliente();
    const QString chave = nota + cliente;
    GravacaoAtomica gravacao;
    // Items a lot sheet holds are not written at all: only the header changes.
    if (const QString recusa = m_travado ? QString() : m_itens.GravaItens(nota, cliente); !recusa.isEmpty())
        return recusa;
    if (incluindo)
        m_itens.AtualizaProgramacao();
    for (const QString& codigo : m_itens.CodigosRemovidos())
        GeraLog(kTituloLog,
                QStringLiteral("EXCLUSAO DO ITEM DA NOTA FISCAL %1 CLIENTE %2 CODIGO %3")
                    .arg(nota, cliente, codigo),
                opExclusao, chave, this);
    GeraLog(kTituloLog,
            (incluindo ? QStringLiteral("INCLUSAO NOTA FISCAL ") : QStringLiteral("ALTERACAO NOTA FISCAL ")) +
                nota + QStringLiteral(" CLIENTE ") + cliente,
            incluindo ? opInclusao : opAlteracao, chave, this);
    TZoQuery saldo;
    saldo.SQL << DBLocal_SQL(QStringLiteral(
        "SELECT COALESCE(SUM(PESO), 0) FROM {NFITIN} WHERE NOTA = :NOTA AND CODCLI = :CODCLI"));
    saldo.BindValue(QStringLiteral("NOTA"), nota);
    saldo.BindValue(QStringLiteral("CODCLI"), cliente);
    saldo.Open();
    const double livre = saldo.Fields(0).AsFloat();
    Cabecalho()->FieldByName(QStringLiteral("SALDO")) = livre;
    Cabecalho()->Post();
    // Written even when the screen held the same figure: another save may have stored another since.
    TZoQuery cabecalho;
    cabecalho.SQL << DBLocal_SQL(
        QStringLiteral("UPDATE {NFTIN} SET SALDO = :SALDO WHERE NOTA = :NOTA AND CLIENTE = :CLIENTE"));
    cabecalho.BindValue(QStringLiteral("SALDO"), livre);
    cabecalho.BindValue(QStringLiteral("NOTA"), nota);
    cabecalho.BindValue(QStringLiteral("CLIENTE"), cliente);
    cabecalho.ExecSQL();
    gravacao.Confirma();
    return {};
}

void TfmTngNFEntra::SpeedButton16Click() {
    ConcluiEdicaoGrades(true);
    if (!Editando())
        return;
    if (!m_itens.Tabela()->Post()) {
        ui.DBGrid1->setFocus(Qt::OtherFocusReason);
        return;
    }
    const QDate data = QDate::fromString(ui.EdtData->text().trimmed(), QStringLiteral("dd/MM/yyyy"));
    if (data.isValid() && PeriodoConciliado(data, QStringLiteral("CX"), this))
        return;
    if (!ClienteLiberado())
        return;
    if (!ValidaCabecalho() || (!m_travado && !ValidaItens()))
        return;
    const QString recusa = GravaDados(Cabecalho()->State() == DataSetState::Insert);
    if (!recusa.isEmpty()) {
        Informa(this, recusa);
        return;
    }
    FimEdicao();
}

void TfmTngNFEntra::btnDesistirClick() {
    ConcluiEdicaoGrades(false);
    m_itens.Tabela()->Cancel();
    Cabecalho()->Cancel();
    FimEdicao();
}

// ---- delete

void TfmTngNFEntra::BitBtn24Click() {
    if (Editando() || Cabecalho()->IsEmpty())
        return;
    if (!Acessa(QString::fromLatin1(metaObject()->className()), QStringLiteral("E"), QStringLiteral("0")))
        return;
    if (!Pergunta(this, QStringLiteral("Eliminação de Registro"),
                  QStringLiteral("Deseja eliminar este Registro?"), false))
        return;
    const QString nota = Nota(), cliente = Cliente();
    if (const QString fal = FalDaNota(nota, cliente); !fal.isEmpty()) {
        Informa(this, kProgramada + fal + QLatin1Char('.'));
        return;
    }
    GravacaoAtomica exclusao;
    TZoQuery itens;
    itens.SQL << DBLocal_SQL(QStringLiteral("DELETE FROM {NFITIN} WHERE NOTA = :NOTA AND CODCLI = :CODCLI"));
    itens.BindValue(QStringLiteral("NOTA"), nota);
    itens.BindValue(QStringLiteral("CODCLI"), cliente);
    itens.ExecSQL();
    GeraLog(kTituloLog, QStringLiteral("EXCLUSAO NOTA FISCAL %1 CLIENTE %2").arg(nota, cliente), opExclusao,
            nota + cliente, this);
    if (Cabecalho()->Delete())
        exclusao.Confirma();
}

void TfmTngNFEntra::BitBtn1Click() {
    if (!Editando() || m_travado || m_itens.Tabela()->IsEmpty())
        return;
    if (!Pergunta(this, windowTitle(), QStringLiteral("Deseja excluir este item?"), false))
        return;
    // Only a stored item can be held by a lot sheet; the code it was stored under is the one they name.
    if (m_itens.Gravado())
        if (const QString fal = FalDaNota(Nota(), Cliente(), m_itens.CodigoGravado()); !fal.isEmpty()) {
            Informa(this, kProgramada + fal + QLatin1Char('.'));
            return;
        }
    m_itens.Remove();
}

// ---- item grid

bool TfmTngNFEntra::ConfereProduto() {
    TClientDataSet* itens = m_itens.Tabela();
    const QString codigo = texto(*itens, QStringLiteral("Codigo"));
    TZoQuery q;
    q.SQL << DBLocal_SQL(QStringLiteral("SELECT DESCRICAO, CODFIS FROM {PRODUTO} WHERE CODIGO = :CODIGO"));
    q.BindValue(QStringLiteral("CODIGO"), codigo);
    q.Open();
    if (codigo.isEmpty() || q.IsEmpty())
        return Recusa(nullptr, kProdutoInvalido);
    itens->FieldByName(QStringLiteral("Descricao")) =
        q.FieldByName(QStringLiteral("DESCRICAO")).AsString().left(50);
    itens->FieldByName(QStringLiteral("ClaFis")) = texto(q, QStringLiteral("CODFIS"));
    return true;
}

bool TfmTngNFEntra::PesquisaProduto() {
    PesquisaCelula produtos;
    produtos.titulo = QStringLiteral("Produtos");
    produtos.tabela = QStringLiteral("PRODUTO");
    produtos.filtro = QStringLiteral("COALESCE(ATIVO, 'S') <> 'N'");
    produtos.campo = QStringLiteral("Codigo");
    return PesquisaNaCelula(this, *m_itens.Tabela(), produtos) && ConfereProduto();
}

bool TfmTngNFEntra::ConfereClassificacao() {
    const QString classe = texto(*m_itens.Tabela(), QStringLiteral("ClaFis"));
    return classe.isEmpty() ||
           Existe(QStringLiteral("TABFIS"), QStringLiteral("CODIGO"), QVariantList{classe}) ||
           Recusa(nullptr, kClassificacaoInvalida);
}

void TfmTngNFEntra::PreencheLote() {
    TClientDataSet* itens = m_itens.Tabela();
    if (!texto(*itens, QStringLiteral("Lote")).isEmpty())
        return;
    TZoQuery grupo;
    grupo.SQL << DBLocal_SQL(QStringLiteral("SELECT G.LOTE FROM {PRODUTO} P JOIN {GRUPO_PA} G ON (G.CODIGO = "
                                            "P.GRUPO) WHERE P.CODIGO = :CODIGO"));
    grupo.BindValue(QStringLiteral("CODIGO"), texto(*itens, QStringLiteral("Codigo")));
    grupo.Open();
    const bool comLote = !grupo.IsEmpty() && texto(grupo, QStringLiteral("LOTE")) == QLatin1String("S");
    const bool sequencial = comLote && m_regraLote == QLatin1String("S");
    itens->FieldByName(QStringLiteral("Lote")) = LotePadrao(
        m_regraLote, comLote, QString(), ui.EdtEmissor->text(), ui.EdtNota->text(), ui.EdtSerie->text(),
        sequencial ? MaiorLoteSequencial() : QString(), m_itens.LotesNaGrade());
}

// The customer's programme items (of the row's fabric, when it has one); the one chosen gives its number and
// colour.
void TfmTngNFEntra::ConsultaProgramacao() {
    const QString cliente = ui.EdtCliente->text().trimmed();
    if (cliente.isEmpty())
        return;
    TClientDataSet* itens = m_itens.Tabela();
    const QString codigo = texto(*itens, QStringLiteral("Codigo"));
    TPesquisa pesquisa;
    pesquisa.Titulo = QStringLiteral("Consulta Programação");
    pesquisa.SQL =
        DBLocal_SQL(QStringLiteral("SELECT NUMERO || '/' || COALESCE(COR, '') AS CHAVE, NUMERO, COR, "
                                   "MIN(ENTRADA) AS ENTRADA, SUM(PESO) AS PESO, SUM(PESO_B) AS "
                                   "PESO_RECEBIDO FROM {TNG_PROG} WHERE CODCLI = ")) +
        Aspas(cliente) + (codigo.isEmpty() ? QString() : QStringLiteral(" AND CODIGO = ") + Aspas(codigo)) +
        QStringLiteral(" GROUP BY NUMERO, COR");
    pesquisa.CampoChave = QStringLiteral("CHAVE");
    pesquisa.OrdenarPor = QStringLiteral("NUMERO DESC, COR");
    if (!pesquisa.AbrePesquisa(this))
        return;
    itens->Edit();
    itens->FieldByName(QStringLiteral("Prog")) =
        pesquisa.RetornoPesquisa(QStringLiteral("NUMERO")).toString().trimmed();
    itens->FieldByName(QStringLiteral("Cor")) =
        pesquisa.RetornoPesquisa(QStringLiteral("COR")).toString().trimmed();
}

bool TfmTngNFEntra::DBGrid1KeyDown(QKeyEvent* tecla) {
    if (!Editando() || m_travado)
        return false;
    const Qt::KeyboardModifiers modificadores = tecla->modifiers() & ~Qt::KeypadModifier;
    if (tecla->key() == Qt::Key_Delete && modificadores == Qt::ControlModifier) {
        BitBtn1Click();
        return true;
    }
    if (TeclaLinhaGrade(*ui.DBGrid1, tecla))
        return true;
    if (modificadores != Qt::NoModifier)
        return false;
    if (tecla->key() == Qt::Key_F5) {
        ConsultaProgramacao();
        return true;
    }
    const bool f4 = tecla->key() == Qt::Key_F4;
    if (!f4 && tecla->key() != Qt::Key_Tab)
        return false;
    const QString campo = ui.DBGrid1->SelectedField();
    if (campo == QLatin1String("Codigo")) {
        if (f4)
            PesquisaProduto();
        return f4 || !ConfereProduto();
    }
    if (campo == QLatin1String("ClaFis")) {
        if (f4) {
            if (TPesquisa::PesquisaCampo(this, QStringLiteral("Classificação Fiscal"),
                                         QStringLiteral("TABFIS"), m_itens.Tabela(),
                                         QStringLiteral("ClaFis")))
                ConfereClassificacao();
            return true;
        }
        return !ConfereClassificacao();
    }
    if (campo == QLatin1String("Lote") && !f4)
        PreencheLote();
    return false;
}

// ---- consult and loading

void TfmTngNFEntra::BitBtn5Click() {
    const QString de = ui.EdtDataIni->text().trimmed(), ate = ui.EdtDataFim->text().trimmed();
    if (!ValidaData(de) || !ValidaData(ate)) {
        Recusa(ValidaData(de) ? ui.EdtDataFim : ui.EdtDataIni, QStringLiteral("Data inválida."));
        return;
    }
    // The invoices of the period with the lot sheets that used them (a sheet of another customer that names
    // an invoice of the same number does not count), each once; the billing documents and names are read for
    // those only.
    QStringList dentro, fora;
    const struct {
        QLineEdit* caixa;
        const char* coluna;
    } filtros[] = {{ui.EdtFiltroFal, "FAL_ITEN.FAL"},
                   {ui.EdtFiltroNota, "NFTIN.NOTA"},
                   {ui.EdtFiltroCliente, "NFTIN.CLIENTE"}};
    for (const auto& filtro : filtros)
        if (const QString valor = filtro.caixa->text().trimmed(); !valor.isEmpty())
            dentro << QStringLiteral("AND %1 = %2").arg(QLatin1String(filtro.coluna), Aspas(valor));
    if (const QString fatura = ui.EdtFiltroFatura->text().trimmed(); !fatura.isEmpty())
        fora << QStringLiteral("WHERE NOTAITEN.FATURA = %1").arg(fatura.toLongLong());
    const auto data = [](const QString& texto) {
        return DataSQL(QDate::fromString(texto, QStringLiteral("dd/MM/yyyy")));
    };
    m_consulta->pesquisa.SQL =
        (QStringList{
             DBLocal_SQL(
                 QStringLiteral(
                     "SELECT DISTINCT NOTAITEN.FATURA, U.FAL, U.NOTA, U.CLIENTE, CLIENTE.NOME, U.DATA FROM ("
                     "SELECT DISTINCT NFTIN.NOTA, NFTIN.CLIENTE, NFTIN.DATA, FAL_ITEN.FAL FROM {NFTIN} NFTIN "
                     "LEFT OUTER JOIN {FAL_ITEN} FAL_ITEN ON (FAL_ITEN.NOTA = NFTIN.NOTA AND EXISTS (SELECT "
                     "1 FROM "
                     "{FAL} FAL WHERE FAL.NUMERO = FAL_ITEN.FAL AND FAL.CLIENTE = NFTIN.CLIENTE)) WHERE "
                     "NFTIN.DATA >= "
                     "%1 AND NFTIN.DATA <= %2"))
                 .arg(data(de), data(ate))}
         << dentro
         << DBLocal_SQL(QStringLiteral(
                ") U LEFT OUTER JOIN {NOTAITEN} NOTAITEN ON (NOTAITEN.PEDIDO = U.FAL) LEFT OUTER JOIN "
                "{ENTIDADE} CLIENTE ON (CLIENTE.CODCLI = U.CLIENTE)"))
         << fora)
            .join(QLatin1Char(' '));
    m_consulta->Consulta();
}

void TfmTngNFEntra::AbreDaConsulta() {
    TDataSet* linha = m_consulta->Linhas();
    if (Editando() || linha->IsEmpty())
        return;
    MostraNota(texto(*linha, QStringLiteral("NOTA")), texto(*linha, QStringLiteral("CLIENTE")));
}

// An invoice stored since the shared table was read is read with it.
bool TfmTngNFEntra::MostraNota(const QString& nota, const QString& cliente) {
    const QString campos = QStringLiteral("NOTA;CLIENTE");
    if (!Cabecalho()->Locate(campos, {nota, cliente})) {
        Cabecalho()->Refresh();
        if (!Cabecalho()->Locate(campos, {nota, cliente})) {
            Informa(this, QStringLiteral("Nota não encontrada."));
            return false;
        }
    }
    BuscaDados();
    ui.PageControl1->setCurrentIndex(Manutencao);
    return true;
}

void TfmTngNFEntra::btnConsultarClick() {
    if (Editando())
        return;
    TPesquisa pesquisa;
    pesquisa.Titulo = windowTitle();
    pesquisa.SQL = DBLocal_SQL(
        QStringLiteral("SELECT N.NOTA || '/' || N.CLIENTE AS CHAVE, N.NOTA, N.CLIENTE, E.NOME, N.DATA FROM "
                       "{NFTIN} N LEFT JOIN {ENTIDADE} E ON (E.CODCLI = N.CLIENTE)"));
    pesquisa.CampoChave = QStringLiteral("CHAVE");
    pesquisa.CampoBusca = QStringLiteral("NOME");
    pesquisa.OrdenarPor = QStringLiteral("DATA DESC, NOTA DESC, CLIENTE DESC");
    if (pesquisa.AbrePesquisa(this))
        MostraNota(pesquisa.RetornoPesquisa(QStringLiteral("NOTA")).toString().trimmed(),
                   pesquisa.RetornoPesquisa(QStringLiteral("CLIENTE")).toString().trimmed());
}

// ---- print

void TfmTngNFEntra::BitBtn2Click() {
    if (Editando() || Cabecalho()->IsEmpty())
        return;
    TClientDataSet* itens = m_itens.Tabela();
    TRelatorio relatorio(QStringLiteral("WNFTerceiros"),
                         QStringLiteral("Nota Fiscal de Entrada para Produção"), itens);
    const auto comDescricao = [](QLineEdit* codigo, QLineEdit* descricao) {
        const QString valor = codigo->text().trimmed();
        return valor.isEmpty() || descricao->text().isEmpty()
                   ? valor
                   : valor + QStringLiteral(" - ") + descricao->text();
    };
    relatorio.AdicionaCabecalho(QStringLiteral("Nota"), Nota() + (ui.EdtSerie->text().trimmed().isEmpty()
                                                                      ? QString()
                                                                      : QStringLiteral("   Série: ") +
                                                                            ui.EdtSerie->text().trimmed()));
    relatorio.AdicionaCabecalho(QStringLiteral("Cliente"), comDescricao(ui.EdtCliente, ui.EdtNomeCliente));
    relatorio.AdicionaCabecalho(QStringLiteral("Emissor"), comDescricao(ui.EdtEmissor, ui.EdtNomeEmissor));
    const QString lancamento = ui.EdtDataLan->text();
    relatorio.AdicionaCabecalho(QStringLiteral("Entrada"),
                                ui.EdtData->text() + (lancamento.isEmpty()
                                                          ? QString()
                                                          : QStringLiteral("   Lançamento: ") + lancamento));
    relatorio.AdicionaCabecalho(QStringLiteral("Natureza"), comDescricao(ui.EdtNatureza, ui.EdtDescNatureza));
    relatorio.AdicionaCabecalho(QStringLiteral("Tipo Fiscal"), comDescricao(ui.EdtTipo, ui.EdtDescTipo));
    relatorio.AdicionaCabecalho(QStringLiteral("Frete"), ui.CbFrete->currentText());
    if (!ui.EdtDanfe->text().trimmed().isEmpty())
        relatorio.AdicionaCabecalho(QStringLiteral("DANFE"), ui.EdtDanfe->text().trimmed());
    if (!ui.EdtObservacao->text().trimmed().isEmpty())
        relatorio.AdicionaCabecalho(QStringLiteral("Observação"), ui.EdtObservacao->text().trimmed());
    relatorio.AdicionaCabecalho(
        QStringLiteral("Totais"),
        QStringLiteral("Peças: %1   Valor: %2   Saldo Programação: %3   Saldo Devolução: %4")
            .arg(ui.EdtTotalPecas->text(), ui.EdtValorTotal->text(), ui.EdtSaldoProgramacao->text(),
                 ui.EdtSaldoDevolucao->text()));
    QList<ColunaRelatorio> colunas;
    for (const char* campo : {"Ordem", "Codigo", "Descricao", "Lote", "ClaFis"})
        colunas << relatorio.Coluna(QLatin1String(campo));
    ColunaRelatorio rolos = relatorio.Coluna(QStringLiteral("Rolos"));
    rolos.totaliza = true;
    colunas << rolos;
    for (const char* peso : {"Peso_Nota", "Peso_Real", "Peso_Devol", "Saldo"}) {
        ColunaRelatorio coluna = relatorio.Coluna(QLatin1String(peso));
        coluna.casas = 3;
        colunas << coluna;
    }
    ColunaRelatorio valor = relatorio.Coluna(QStringLiteral("Valor"));
    valor.casas = 4;
    valor.totaliza = false;
    colunas << valor << relatorio.Coluna(QStringLiteral("Total"));
    relatorio.DefineColunas(colunas);
    Chama_RelatorioWin(relatorio, this);
}
