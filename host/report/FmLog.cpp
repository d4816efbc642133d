#include "FmLog.h"
#include "ClassRegistry.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "Funcoes.h"
#include "HostUi.h"
#include "Relatorio.h"
#include "TZoQuery.h"
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFmLog::TFmLog(QWidget* parent) : QWidget(parent), m_rows(new TZoQuery(this)) {
    setObjectName(QStringLiteral("FmLog"));
    setWindowTitle(QStringLiteral("Log de Auditoria"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    auto* filters = new QHBoxLayout;
    m_from = new QDateEdit(QDate::currentDate().addDays(-30), this);
    m_from->setObjectName(QStringLiteral("EdtDataIni"));
    m_to = new QDateEdit(QDate::currentDate(), this);
    m_to->setObjectName(QStringLiteral("EdtDataFim"));
    for (QDateEdit* d : {m_from, m_to}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    }
    auto box = [this](const QString& name, int width) {
        auto* e = new QLineEdit(this);
        e->setObjectName(name);
        e->setMaximumWidth(width);
        return e;
    };
    m_user = box(QStringLiteral("EdtUsuario"), 120);
    m_screen = box(QStringLiteral("EdtFormulario"), 160);
    m_key = box(QStringLiteral("EdtChave"), 140);
    m_text = box(QStringLiteral("EdtTexto"), 260);
    auto* search = new QPushButton(QStringLiteral("&Pesquisar"), this);
    search->setObjectName(QStringLiteral("BtPesquisar"));
    auto* close = new QPushButton(QStringLiteral("&Fechar"), this);
    close->setObjectName(QStringLiteral("BtSaida"));
    filters->addWidget(new QLabel(QStringLiteral("De"), this));
    filters->addWidget(m_from);
    filters->addWidget(new QLabel(QStringLiteral("até"), this));
    filters->addWidget(m_to);
    filters->addWidget(new QLabel(QStringLiteral("Usuário"), this));
    filters->addWidget(m_user);
    filters->addWidget(new QLabel(QStringLiteral("Tela"), this));
    filters->addWidget(m_screen);
    filters->addWidget(new QLabel(QStringLiteral("Chave"), this));
    filters->addWidget(m_key);
    filters->addWidget(new QLabel(QStringLiteral("Texto"), this));
    filters->addWidget(m_text);
    filters->addWidget(search);
    filters->addStretch();
    auto* print = new QPushButton(QStringLiteral("&Imprimir"), this);
    print->setObjectName(QStringLiteral("BtImprimir"));
    filters->addWidget(print);
    filters->addWidget(close);
    layout->addLayout(filters);
    m_grid = new TZoDBGrid(this);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_grid->SetReadOnly(true);
    layout->addWidget(m_grid);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("LblTotal"));
    layout->addWidget(m_count);
    connect(search, &QPushButton::clicked, this, Protegido([this] { Pesquisa(); }));
    connect(print, &QPushButton::clicked, this, Protegido([this] { Imprime(); }));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    for (QLineEdit* e : {m_user, m_screen, m_key, m_text})
        connect(e, &QLineEdit::returnPressed, this, Protegido([this] { Pesquisa(); }));
    Pesquisa();
}

void TFmLog::Filtra(const QString& formulario, const QString& chave) {
    m_screen->setText(formulario);
    m_key->setText(chave);
    m_from->setDate(QDate(2000, 1, 1));
    Pesquisa();
}

namespace {

// The screen's caption for the object name the log stores (its registered class without the leading T),
// worked out by the server so that the screen filter finds a row by either; other names show as stored.
QString ExpressaoTela() {
    QString casos;
    for (const ScreenInfo& screen : RegisteredScreens())
        if (screen.className.startsWith('T') && !screen.caption.trimmed().isEmpty())
            casos += QStringLiteral(" WHEN %1 THEN %2")
                         .arg(Aspas(screen.className.mid(1)), Aspas(screen.caption.trimmed()));
    return casos.isEmpty() ? QStringLiteral("FORMULARIO")
                           : QStringLiteral("CASE FORMULARIO%1 ELSE FORMULARIO END").arg(casos);
}

QString ExpressaoTipo() {
    QString casos;
    for (int tipo : {opInclusao, opAlteracao, opExclusao, opOutros})
        casos += QStringLiteral(" WHEN %1 THEN %2").arg(tipo).arg(Aspas(DescricaoTipoLog(tipo)));
    return QStringLiteral("CASE TIPO%1 ELSE CAST(TIPO AS VARCHAR(11)) END").arg(casos);
}

} // namespace

QString DescricaoTipoLog(int tipo) {
    switch (tipo) {
    case opInclusao:
        return QStringLiteral("Inclusão");
    case opAlteracao:
        return QStringLiteral("Alteração");
    case opExclusao:
        return QStringLiteral("Exclusão");
    case opOutros:
        return QStringLiteral("Outros");
    }
    return QString::number(tipo);
}

void TFmLog::Pesquisa() {
    Ocupado(true, this, QStringLiteral("Pesquisando o log..."));
    // What is stored stays as it is (FORMULARIO, TIPO); the grid shows what it means.
    const QString tela = ExpressaoTela();
    m_rows->SQL = QStringList{
        QStringLiteral("SELECT FIRST 5000 DATA, HORA, USUARIO, %1 AS NOME_TELA, TITULO, %2 AS NOME_TIPO, "
                       "CHAVE, TEXTO, FORMULARIO, TIPO FROM LOG")
            .arg(tela, ExpressaoTipo()),
        QStringLiteral("WHERE DATA BETWEEN :DE AND :ATE")};
    m_rows->BindValue(QStringLiteral("DE"), m_from->date());
    m_rows->BindValue(QStringLiteral("ATE"), m_to->date());
    const QList<QPair<QLineEdit*, QString>> conditions = {{m_user, QStringLiteral("USUARIO")},
                                                          {m_key, QStringLiteral("CHAVE")},
                                                          {m_text, QStringLiteral("TEXTO")}};
    for (const auto& [edit, column] : conditions) {
        if (edit->text().trimmed().isEmpty())
            continue;
        m_rows->SQL << QStringLiteral("AND %1 CONTAINING :%1").arg(column);
        m_rows->BindValue(column, edit->text().trimmed());
    }
    if (const QString screen = m_screen->text().trimmed(); !screen.isEmpty()) {
        m_rows->SQL
            << QStringLiteral("AND (FORMULARIO CONTAINING :FORMULARIO OR %1 CONTAINING :TELA)").arg(tela);
        m_rows->BindValue(QStringLiteral("FORMULARIO"), screen);
        m_rows->BindValue(QStringLiteral("TELA"), screen);
    }
    m_rows->SQL << QStringLiteral("ORDER BY ID DESC");
    // The grid hears of the rows once their captions and hidden columns are set.
    m_rows->DisableControls();
    try {
        m_rows->Open();
    } catch (...) {
        m_rows->EnableControls();
        Ocupado(false);
        throw;
    }
    const QStringList labels = {"Data", "Hora", "Usuário", "Tela", "Título", "Tipo", "Chave", "Texto"};
    for (int i = 0; i < labels.size() && i < m_rows->FieldCount(); ++i)
        m_rows->FieldDefByName(m_rows->FieldDefs()[i].name).displayLabel = labels[i];
    for (const QString& stored : {QStringLiteral("FORMULARIO"), QStringLiteral("TIPO")})
        m_rows->FieldDefByName(stored).visible = false;
    m_rows->EnableControls();
    Ocupado(false);
    if (m_grid->DataSet() != m_rows)
        m_grid->SetDataSet(m_rows);
    m_grid->resizeColumnsToContents();
    m_count->setText(QStringLiteral("%1 registro(s)").arg(m_rows->RecordCount()));
}

void TFmLog::Imprime() {
    TRelatorio report(QStringLiteral("WLog"), windowTitle(), m_rows);
    report.AdicionaCabecalho(QStringLiteral("Período"),
                             m_from->date().toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral(" a ") +
                                 m_to->date().toString(QStringLiteral("dd/MM/yyyy")));
    for (const auto& [label, box] : {std::pair{QStringLiteral("Usuário"), m_user},
                                     {QStringLiteral("Tela"), m_screen},
                                     {QStringLiteral("Chave"), m_key},
                                     {QStringLiteral("Texto"), m_text}})
        if (!box->text().trimmed().isEmpty())
            report.AdicionaCabecalho(label, box->text().trimmed());
    Chama_RelatorioWin(report, this);
}

void AcessaLog(const QString& formulario, const QString& chave, bool onlyThisScreen) {
    auto* log =
        qobject_cast<TFmLog*>(Carrega_Form(QString(), QStringLiteral("TFmLog"), QString(), false, false));
    if (log)
        log->Filtra(onlyThisScreen ? formulario : QString(), chave);
}

void RegistraTelaLog() {
    RegisterClass({QStringLiteral("TFmLog"), QStringLiteral("Log de Auditoria"), QStringLiteral("Sistema"),
                   ScreenKind::Mdi, 900},
                  [](QWidget* parent) { return new TFmLog(parent); });
}
