#include "FmImportaCadastro.h"
#include "Acesso.h"
#include "ClassRegistry.h"
#include "DataContext.h"
#include "Formatacao.h"
#include "HostError.h"
#include "HostUi.h"
#include "ImportaCadastro.h"
#include "Mensagens.h"
#include "MessageService.h"
#include "Protecao.h"
#include "Relatorio.h"
#include <QAbstractTableModel>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {
const QString kTitulo = QStringLiteral("Importar Cadastros");
const QString kClasse = QStringLiteral("TFmImportaCadastro");

QString quantas(int n, const QString& uma, const QString& varias) {
    return QStringLiteral("%1 %2").arg(TextoExibicao(double(n), 0), n == 1 ? uma : varias);
}
} // namespace

// The lines of the file as read: line, verdict, why, then the file's own columns.
class ModeloPrevia : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void Mostra(const ImportaCadastro* importacao, bool soRecusadas) {
        beginResetModel();
        m_importacao = importacao;
        m_linhas.clear();
        if (importacao)
            for (int i = 0; i < importacao->Linhas().size(); ++i)
                if (!soRecusadas || importacao->Linhas()[i].veredito == Veredito::Recusado)
                    m_linhas << i;
        endResetModel();
    }
    int rowCount(const QModelIndex& pai = {}) const override {
        return pai.isValid() ? 0 : int(m_linhas.size());
    }
    int columnCount(const QModelIndex& pai = {}) const override {
        return pai.isValid() || !m_importacao ? 0 : 3 + int(m_importacao->Cabecalho().size());
    }
    QVariant data(const QModelIndex& indice, int papel) const override {
        if (!indice.isValid() || !m_importacao)
            return {};
        const LinhaImportada& linha = m_importacao->Linhas()[m_linhas[indice.row()]];
        if (papel == Qt::ForegroundRole && indice.column() == 1 && linha.veredito == Veredito::Recusado)
            return QColor(0xb0, 0x00, 0x20);
        if (papel != Qt::DisplayRole && papel != Qt::ToolTipRole)
            return {};
        switch (indice.column()) {
        case 0:
            return linha.linha;
        case 1:
            return TextoVeredito(linha.veredito);
        case 2:
            return linha.motivo;
        default:
            return linha.valores.value(indice.column() - 3);
        }
    }
    QVariant headerData(int secao, Qt::Orientation orientacao, int papel) const override {
        if (orientacao != Qt::Horizontal || papel != Qt::DisplayRole || !m_importacao)
            return QAbstractTableModel::headerData(secao, orientacao, papel);
        static const QStringList fixas{QStringLiteral("Linha"), QStringLiteral("Situação"),
                                       QStringLiteral("Motivo ou alterações")};
        return secao < 3 ? fixas[secao] : m_importacao->Cabecalho().value(secao - 3);
    }

private:
    const ImportaCadastro* m_importacao = nullptr;
    QList<int> m_linhas;
};

TFmImportaCadastro::TFmImportaCadastro(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FmImportaCadastro"));
    setWindowTitle(kTitulo);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    auto* escolha = new QHBoxLayout;
    auto* rotuloCadastro = new QLabel(QStringLiteral("&Cadastro:"), this);
    m_cadastro = new QComboBox(this);
    m_cadastro->setObjectName(QStringLiteral("CbCadastro"));
    for (const CadastroImportavel& c : CadastrosImportaveis())
        m_cadastro->addItem(c.titulo);
    rotuloCadastro->setBuddy(m_cadastro);
    auto* rotuloArquivo = new QLabel(QStringLiteral("&Arquivo:"), this);
    m_arquivo = new QLineEdit(this);
    m_arquivo->setObjectName(QStringLiteral("EdtArquivo"));
    rotuloArquivo->setBuddy(m_arquivo);
    auto* procurar = new QPushButton(QStringLiteral("&Procurar…"), this);
    procurar->setObjectName(QStringLiteral("BtArquivo"));
    auto* ler = new QPushButton(QStringLiteral("&Ler"), this);
    ler->setObjectName(QStringLiteral("BtLer"));
    escolha->addWidget(rotuloCadastro);
    escolha->addWidget(m_cadastro);
    escolha->addWidget(rotuloArquivo);
    escolha->addWidget(m_arquivo, 1);
    escolha->addWidget(procurar);
    escolha->addWidget(ler);
    layout->addLayout(escolha);
    m_recusadas = new QCheckBox(QStringLiteral("Só as linhas &recusadas"), this);
    m_recusadas->setObjectName(QStringLiteral("ChkRecusadas"));
    layout->addWidget(m_recusadas);
    m_modelo = new ModeloPrevia(this);
    m_grade = new QTableView(this);
    m_grade->setObjectName(QStringLiteral("GrdPrevia"));
    m_grade->setModel(m_modelo);
    m_grade->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grade->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grade->verticalHeader()->hide();
    m_grade->verticalHeader()->setDefaultSectionSize(m_grade->fontMetrics().height() + 6);
    layout->addWidget(m_grade, 1);
    m_resumo = new QLabel(this);
    m_resumo->setObjectName(QStringLiteral("LblResumo"));
    m_resumo->setWordWrap(true);
    m_resumo->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_resumo);
    auto* botoes = new QHBoxLayout;
    m_importar = new QPushButton(QStringLiteral("&Importar"), this);
    m_importar->setObjectName(QStringLiteral("BtImportar"));
    m_salvar = new QPushButton(QStringLiteral("&Salvar recusadas…"), this);
    m_salvar->setObjectName(QStringLiteral("BtRecusadas"));
    auto* fechar = new QPushButton(QStringLiteral("&Fechar"), this);
    fechar->setObjectName(QStringLiteral("BtSaida"));
    botoes->addWidget(m_importar);
    botoes->addWidget(m_salvar);
    botoes->addStretch();
    botoes->addWidget(fechar);
    layout->addLayout(botoes);
    for (QPushButton* b : {procurar, ler, m_importar, m_salvar, fechar})
        b->setAutoDefault(true); // Enter on a focused button presses it
    connect(procurar, &QPushButton::clicked, this, Protegido([this] { EscolheArquivo(); }));
    connect(ler, &QPushButton::clicked, this, Protegido([this] { Le(); }));
    connect(m_importar, &QPushButton::clicked, this, Protegido([this] { Importa(); }));
    connect(m_salvar, &QPushButton::clicked, this, Protegido([this] { SalvaRecusadas(); }));
    connect(fechar, &QPushButton::clicked, this, Protegido([this] { close(); }));
    connect(m_recusadas, &QCheckBox::toggled, this, Protegido([this] { Mostra(); }));
    // Another registry or file makes the preview stale.
    connect(m_cadastro, &QComboBox::currentIndexChanged, this, Protegido([this] {
                m_importacao.reset();
                Mostra();
            }));
    connect(m_arquivo, &QLineEdit::textEdited, this, Protegido([this] {
                m_importacao.reset();
                Mostra();
            }));
    Mostra();
}

TFmImportaCadastro::~TFmImportaCadastro() = default;

void TFmImportaCadastro::EscolheArquivo() {
    const QString arquivo = Mensagens().OpenFile(
        this, kTitulo, m_arquivo->text().isEmpty() ? QDir::homePath() : m_arquivo->text(),
        QStringLiteral("Texto separado por ponto e vírgula (*.csv *.txt);;Todos (*)"));
    if (arquivo.isEmpty())
        return;
    m_arquivo->setText(arquivo);
    Le();
}

void TFmImportaCadastro::Le() {
    if (m_arquivo->text().trimmed().isEmpty()) {
        Informa(this, QStringLiteral("Informe o arquivo a importar."));
        m_arquivo->setFocus();
        return;
    }
    m_importacao =
        std::make_unique<ImportaCadastro>(CadastrosImportaveis().value(m_cadastro->currentIndex()));
    Ocupado(true, this, QStringLiteral("Lendo o arquivo..."));
    try {
        m_importacao->Le(m_arquivo->text().trimmed());
    } catch (...) {
        Ocupado(false, this);
        m_importacao.reset();
        Mostra();
        throw;
    }
    Ocupado(false, this);
    Mostra();
}

void TFmImportaCadastro::Mostra() {
    m_modelo->Mostra(m_importacao.get(), m_recusadas->isChecked());
    m_grade->resizeColumnsToContents();
    for (int c = 0; c < m_modelo->columnCount(); ++c)
        m_grade->setColumnWidth(
            c, std::min(m_grade->columnWidth(c), 40 * m_grade->fontMetrics().averageCharWidth()));
    const ImportaCadastro* i = m_importacao.get();
    const bool lido = i && i->Erro().isEmpty();
    m_importar->setEnabled(lido && i->Quantas(Veredito::Novo) + i->Quantas(Veredito::Altera) > 0);
    m_salvar->setEnabled(lido && i->Quantas(Veredito::Recusado) > 0);
    if (!i) {
        m_resumo->clear();
        return;
    }
    if (!lido) {
        m_resumo->setText(QStringLiteral("O arquivo não pode ser importado: %1").arg(i->Erro()));
        m_resumo->setStyleSheet(QStringLiteral("color: #b00020"));
        return;
    }
    m_resumo->setStyleSheet(QString());
    QString texto =
        QStringLiteral("%1: novas %2, alteram %3, sem alteração %4, recusadas %5.")
            .arg(quantas(int(i->Linhas().size()), QStringLiteral("linha"), QStringLiteral("linhas")))
            .arg(TextoExibicao(double(i->Quantas(Veredito::Novo)), 0),
                 TextoExibicao(double(i->Quantas(Veredito::Altera)), 0),
                 TextoExibicao(double(i->Quantas(Veredito::Igual)), 0),
                 TextoExibicao(double(i->Quantas(Veredito::Recusado)), 0));
    if (!i->Ignoradas().isEmpty())
        texto += QStringLiteral(" Colunas que este cadastro não tem, deixadas de lado: %1.")
                     .arg(i->Ignoradas().join(QStringLiteral(", ")));
    m_resumo->setText(texto);
}

void TFmImportaCadastro::Importa() {
    if (!TemDireito(vUsuarioCodigo(), kClasse, QStringLiteral("A"), 0))
        throw EDatabaseError(
            QStringLiteral("Somente um administrador ou quem tem o direito desta tela importa cadastros."));
    if (!m_importacao || !m_importacao->Erro().isEmpty())
        return;
    const int recusadas = m_importacao->Quantas(Veredito::Recusado);
    if (!Pergunta(this, kTitulo,
                  QStringLiteral("Gravar as linhas aceitas de %1?%2")
                      .arg(m_cadastro->currentText(),
                           recusadas ? QStringLiteral(" As %1 recusadas ficam de fora.").arg(recusadas)
                                     : QString()),
                  false))
        return;
    Ocupado(true, this, QStringLiteral("Importando..."));
    int gravados = 0;
    try {
        gravados = m_importacao->Importa();
    } catch (...) {
        Ocupado(false, this);
        Mostra();
        throw;
    }
    Ocupado(false, this);
    Informa(this, QStringLiteral("Registros gravados: %1.").arg(TextoExibicao(double(gravados), 0)));
    Le(); // the file against what is now stored: every accepted line without changes
}

void TFmImportaCadastro::SalvaRecusadas() {
    if (!m_importacao || m_importacao->Quantas(Veredito::Recusado) == 0)
        return;
    const QString automatica = qEnvironmentVariable("KELM_REPORT_DIR");
    const QString arquivo =
        automatica.isEmpty()
            ? PerguntaArquivoSaida(this, kTitulo, QStringLiteral("recusadas.csv"),
                                   QStringLiteral("Texto separado por ponto e vírgula (*.csv)"))
            : QDir(automatica).filePath(QStringLiteral("recusadas.csv"));
    if (arquivo.isEmpty())
        return;
    m_importacao->GravaRecusadas(arquivo);
    Informa(this, QStringLiteral("Linhas recusadas gravadas em %1.").arg(arquivo));
}

void RegistraTelaImportacao() {
    RegistraClasseRestrita(kClasse);
    RegisterClass({kClasse, kTitulo, QStringLiteral("Sistema"), ScreenKind::Mdi, 920},
                  [](QWidget* parent) { return new TFmImportaCadastro(parent); });
}
