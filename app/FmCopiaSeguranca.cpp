#include "FmCopiaSeguranca.h"
#include "Acesso.h"
#include "ClassRegistry.h"
#include "CopiaSeguranca.h"
#include "DataAccess.h"
#include "DataContext.h"
#include "HostContext.h"
#include "HostError.h"
#include "HostUi.h"
#include "Mensagens.h"
#include "Protecao.h"
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
const QString kTitulo = QStringLiteral("Cópia de Segurança");

DatabaseConfig bancoAberto() {
    return HostContext::Current()->Database().Config();
}
} // namespace

TFmCopiaSeguranca::TFmCopiaSeguranca(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FmCopiaSeguranca"));
    setWindowTitle(kTitulo);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    m_pasta = new QLabel(this);
    m_pasta->setObjectName(QStringLiteral("LblPasta"));
    layout->addWidget(m_pasta);
    m_copias = new QTableWidget(0, 3, this);
    m_copias->setObjectName(QStringLiteral("GrdCopias"));
    m_copias->setHorizontalHeaderLabels(
        {QStringLiteral("Cópia"), QStringLiteral("Tamanho"), QStringLiteral("Data")});
    m_copias->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_copias->setSelectionMode(QAbstractItemView::SingleSelection);
    m_copias->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_copias->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_copias->verticalHeader()->hide();
    layout->addWidget(m_copias, 1);
    m_progresso = new QProgressBar(this);
    m_progresso->setObjectName(QStringLiteral("PbProgresso"));
    m_progresso->setRange(0, 100);
    m_progresso->setValue(0);
    m_etapa = new QLabel(this);
    m_etapa->setObjectName(QStringLiteral("LblEtapa"));
    auto* andamento = new QHBoxLayout;
    andamento->addWidget(m_progresso, 1);
    andamento->addWidget(m_etapa);
    layout->addLayout(andamento);
    m_resultado = new QLabel(this);
    m_resultado->setObjectName(QStringLiteral("LblResultado"));
    m_resultado->setWordWrap(true);
    m_resultado->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_resultado);
    auto* botoes = new QHBoxLayout;
    m_copiar = new QPushButton(QStringLiteral("&Copiar agora"), this);
    m_copiar->setObjectName(QStringLiteral("BtnCopiar"));
    m_restaurar = new QPushButton(QStringLiteral("&Restaurar…"), this);
    m_restaurar->setObjectName(QStringLiteral("BtnRestaurar"));
    auto* fechar = new QPushButton(QStringLiteral("&Fechar"), this);
    fechar->setObjectName(QStringLiteral("BtSaida"));
    botoes->addWidget(m_copiar);
    botoes->addWidget(m_restaurar);
    botoes->addStretch();
    botoes->addWidget(fechar);
    layout->addLayout(botoes);
    connect(m_copiar, &QPushButton::clicked, this, Protegido([this] { CopiarAgora(); }));
    connect(m_restaurar, &QPushButton::clicked, this, Protegido([this] { Restaurar(); }));
    connect(fechar, &QPushButton::clicked, this, Protegido([this] { close(); }));
    AtualizaLista();
}

void TFmCopiaSeguranca::Administrador() const {
    if (!EhAdministrador(vUsuarioCodigo()))
        throw EDatabaseError(QStringLiteral("Somente um administrador faz e restaura cópias de segurança."));
}

void TFmCopiaSeguranca::AtualizaLista() {
    const CopiaSeguranca copia(bancoAberto());
    m_pasta->setText(QStringLiteral("Pasta das cópias: %1 (guarda as %2 mais novas)")
                         .arg(copia.pasta)
                         .arg(copia.mantidas));
    const QFileInfoList copias = copia.Copias();
    const QLocale local(QLocale::Portuguese, QLocale::Brazil);
    m_copias->setRowCount(int(copias.size()));
    for (int i = 0; i < copias.size(); ++i) {
        m_copias->setItem(i, 0, new QTableWidgetItem(copias[i].fileName()));
        auto* tamanho =
            new QTableWidgetItem(local.formattedDataSize(copias[i].size(), 1, QLocale::DataSizeSIFormat));
        tamanho->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_copias->setItem(i, 1, tamanho);
        m_copias->setItem(
            i, 2,
            new QTableWidgetItem(copias[i].lastModified().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"))));
    }
    m_copias->resizeColumnsToContents();
    if (!copias.isEmpty())
        m_copias->selectRow(0);
}

void TFmCopiaSeguranca::Progresso(int percent, const QString& etapa) {
    m_progresso->setValue(percent);
    m_etapa->setText(etapa);
    // The tools run in this thread: the bar moves only if it gets to paint.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TFmCopiaSeguranca::Mostra(const ResultadoCopia& resultado) {
    m_resultado->setText(resultado.texto);
    m_resultado->setStyleSheet(resultado.ok ? QString() : QStringLiteral("color: #b00020"));
    AtualizaLista();
}

void TFmCopiaSeguranca::CopiarAgora() {
    Administrador();
    CopiaSeguranca copia(bancoAberto());
    copia.Progresso = [this](int percent, const QString& etapa) { Progresso(percent, etapa); };
    m_copiar->setEnabled(false);
    m_restaurar->setEnabled(false);
    Ocupado(true, this, QStringLiteral("Copiando o banco de dados..."));
    ResultadoCopia resultado;
    try {
        resultado = copia.Copia();
    } catch (...) {
        Ocupado(false, this);
        m_copiar->setEnabled(true);
        m_restaurar->setEnabled(true);
        throw;
    }
    Ocupado(false, this);
    m_copiar->setEnabled(true);
    m_restaurar->setEnabled(true);
    RegistraCopiaNoLog(resultado, this);
    Mostra(resultado);
}

void TFmCopiaSeguranca::Restaurar() {
    Administrador();
    const int linha = m_copias->currentRow();
    if (linha < 0 || !m_copias->item(linha, 0)) {
        Informa(this, QStringLiteral("Escolha na lista a cópia a restaurar."));
        return;
    }
    CopiaSeguranca copia(bancoAberto());
    const QString arquivo = copia.pasta + QLatin1Char('/') + m_copias->item(linha, 0)->text();
    QString destino;
    if (!InputQuery(this, kTitulo,
                    QStringLiteral("Restaurar %1 no novo banco de dados (arquivo ou servidor:caminho):")
                        .arg(m_copias->item(linha, 0)->text()),
                    destino) ||
        destino.trimmed().isEmpty())
        return;
    DatabaseConfig alvo = DatabaseConfig::parse(destino.trimmed());
    if (alvo.isServer()) {
        alvo.user = bancoAberto().user;
        alvo.password = bancoAberto().password;
    }
    copia.Progresso = [this](int percent, const QString& etapa) { Progresso(percent, etapa); };
    Ocupado(true, this, QStringLiteral("Restaurando a cópia..."));
    ResultadoCopia resultado;
    try {
        resultado = copia.Restaura(arquivo, alvo);
    } catch (...) {
        Ocupado(false, this);
        throw;
    }
    Ocupado(false, this);
    RegistraCopiaNoLog(resultado, this);
    Mostra(resultado);
}

void RegistraCopiaNoLog(const ResultadoCopia& resultado, QObject* tela) {
    // On the numbering connection, which commits at once: a screen's pending work is not committed with it.
    GeraLog(kTitulo.toUpper(), resultado.texto, opOutros, QFileInfo(resultado.arquivo).fileName(), tela,
            &DataContext::Current()->Counter());
}

void RegistraTelaCopia() {
    // Its right comes only from a row naming it, never from "*": the menu hides it from other users.
    RegistraClasseRestrita(QStringLiteral("TFmCopiaSeguranca"));
    RegisterClass(
        {QStringLiteral("TFmCopiaSeguranca"), kTitulo, QStringLiteral("Sistema"), ScreenKind::Mdi, 910},
        [](QWidget* parent) { return new TFmCopiaSeguranca(parent); });
}
