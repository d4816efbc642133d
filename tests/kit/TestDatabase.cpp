#include "TestDatabase.h"
#include "Acesso.h"
#include "DBControls.h"
#include "DataSet.h"
#include "DataSetModel.h"
#include "FimDoDia.h"
#include "FirebirdEngine.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "HostUi.h"
#include "SchemaUpgrade.h"
#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QLockFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <atomic>
#include <stdexcept>
#include <unistd.h>

namespace {
QString schemaHash() {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QString& name : SchemaUpgrade::Scripts(QStringLiteral("schema"))) {
        QFile f(QStringLiteral(":/db/") + name);
        if (f.open(QIODevice::ReadOnly)) {
            hash.addData(name.toUtf8());
            hash.addData(f.readAll());
        }
    }
    return QString::fromLatin1(hash.result().toHex().left(12));
}

QString templatePath() {
    const QString path =
        TestDatabase::Folder() +
        QStringLiteral("/template-%1%2.fdb").arg(schemaHash(), TestDatabase::ServerMode() ? "-srv" : "");
    if (QFile::exists(path))
        return path;
    QLockFile lock(path + QStringLiteral(".lock"));
    lock.lock();
    if (QFile::exists(path))
        return path;
    const QString building = path + QStringLiteral(".building.fdb");
    QFile::remove(building);
    const DatabaseConfig config = TestDatabase::Config(building);
    const QString error = CreateDatabase(config);
    if (!error.isEmpty())
        qFatal("cannot create the test template %s: %s", qPrintable(building), qPrintable(error));
    {
        TZoDatabase db(QStringLiteral("kelm-test-template"));
        db.Open(config);
        SchemaUpgrade::Apply(db, false);
        db.Close();
    }
    QFile::rename(building, path);
    return path;
}
} // namespace

QString TestDatabase::Folder() {
    QString dir = qEnvironmentVariable("KELM_TEST_DIR");
    if (dir.isEmpty())
        dir = QDir::tempPath() + QStringLiteral("/kelm-tests-%1").arg(getuid());
    QDir().mkpath(dir);
    return dir;
}

DatabaseConfig TestDatabase::Config(const QString& path) {
    DatabaseConfig c;
    c.path = path;
    if (ServerMode()) {
        c = DatabaseConfig::parse(qEnvironmentVariable("KELM_TEST_SERVER") + ':' + path);
        c.user = qEnvironmentVariable("KELM_DB_USER", QStringLiteral("KELM"));
        c.password = qEnvironmentVariable("KELM_DB_PASSWORD", QStringLiteral("kelm"));
    }
    return c;
}

DatabaseConfig TestDatabase::Fresh() {
    PrepareFirebirdEnvironment();
    static std::atomic<int> counter{0};
    const QString source = templatePath();
    const QString path = Folder() + QStringLiteral("/case-%1-%2.fdb").arg(getpid()).arg(++counter);
    QFile::remove(path);
    if (!QFile::copy(source, path))
        qFatal("cannot copy the test template to %s", qPrintable(path));
    // The server runs as another user.
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                    QFileDevice::WriteGroup | QFileDevice::ReadOther |
                                    QFileDevice::WriteOther);
    return TestDatabase::Config(path);
}

// ---- base test case

void DatabaseTestCase::init() {
    SilenciaAvisosSemTela();
    config = TestDatabase::Fresh();
    messages.Clear();
    messages.antesDaPergunta = messages.antesDaEntrada = nullptr;
    messages.naPesquisa = nullptr; // a test's hook may point at its own locals
    context = std::make_unique<HostContext>(messages);
    db = &context->Database();
    db->Open(config);
    driver = std::make_unique<ScreenDriver>(messages);
    Sessao& session = context->Session();
    session.usuario = QStringLiteral("ADMIN");
    session.usuarioCodigo = QStringLiteral("001");
    session.supervisor.clear();
    // Derived once per test program: a password costs a deliberate fraction of a second.
    static const QString adminPassword = HashSenha(QStringLiteral("001"), QStringLiteral("kelm"));
    Insert("ACESSO_USUARIOS (CODIGO, NOME, SENHA, SUPERVISOR, ADMINISTRADOR, ATIVO)",
           {"'001', 'ADMIN', '" + adminPassword + "', 'S', 'S', 'S'"});
    Commit();
}

void DatabaseTestCase::cleanup() {
    if (driver)
        driver->Close();
    driver.reset();
    for (QWidget* w : QApplication::topLevelWidgets())
        w->deleteLater();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    db = nullptr;
    context.reset();
    TestDatabase::Drop(config);
}

void DatabaseTestCase::CarregaDemo() {
    Sql(QStringLiteral("DELETE FROM ACESSO_USUARIOS"));
    for (const QString& nome : SchemaUpgrade::Scripts(QStringLiteral("demo"))) {
        QFile script(QStringLiteral(":/db/") + nome);
        if (!script.open(QIODevice::ReadOnly))
            qFatal("cannot read %s", qPrintable(nome));
        for (const QString& instrucao : SplitSqlScript(QString::fromUtf8(script.readAll())))
            Sql(instrucao);
    }
    Commit();
}

void DatabaseTestCase::AddUser(const QString& code, const QString& name, const QString& password,
                               const QString& flags) {
    Sql(QStringLiteral("INSERT INTO ACESSO_USUARIOS (CODIGO, NOME, SENHA, SUPERVISOR, ADMINISTRADOR, ATIVO) "
                       "VALUES ('%1', '%2', '%3', '%4', '%5', '%6')")
            .arg(code, name, HashSenha(code, password), flags.mid(0, 1), flags.mid(1, 1), flags.mid(2, 1)));
}

void DatabaseTestCase::Grant(const QString& user, const QString& className, const QString& letter,
                             int level) {
    Sql(QStringLiteral(
            "INSERT INTO ACESSO_DIREITOS (USUARIO, CLASSE, LETRA, NIVEL) VALUES ('%1', '%2', '%3', %4)")
            .arg(user, className, letter)
            .arg(level));
}

void DatabaseTestCase::ByOther(const QStringList& statements) {
    auto other = OpenSecond(QStringLiteral("kelm-test-other"));
    for (const QString& statement : statements)
        SqlOn(*other, statement);
    other->Transaction()->CommitRetaining();
}

std::unique_ptr<TZoDatabase> DatabaseTestCase::OpenSecond(const QString& name) {
    auto second = std::make_unique<TZoDatabase>(name);
    second->Open(config);
    return second;
}

QStringList DatabaseTestCase::RowsSeenByOthers(const QStringList& statements) {
    auto other = OpenSecond(QStringLiteral("kelm-test-reader"));
    QStringList rows;
    for (const QString& statement : statements) {
        QSqlQuery q(other->Connection());
        other->Exec(q, statement, false);
        while (q.next()) {
            QStringList values;
            for (int i = 0; i < q.record().count(); ++i)
                values << TextoValor(q.value(i));
            rows << values.join('|');
        }
    }
    return rows;
}

void DatabaseTestCase::FailWhen(const QString& table, const QString& event, const QString& condition) {
    if (Scalar("SELECT COUNT(*) FROM RDB$TRIGGERS WHERE RDB$TRIGGER_NAME = 'T_TESTE'").toInt())
        StopFailing();
    SqlCommit(QString::fromUtf8("CREATE OR ALTER EXCEPTION E_TESTE 'falha forçada'"));
    SqlCommit(QStringLiteral("CREATE TRIGGER T_TESTE FOR %1 %2 AS BEGIN IF (%3) THEN EXCEPTION E_TESTE; END")
                  .arg(table, event, condition));
}

QStringList DatabaseTestCase::Snapshot(const QStringList& tables) {
    QStringList statements;
    for (const QString& table : tables)
        statements << QStringLiteral("SELECT '%1', T.* FROM %1 T ORDER BY 2, 3").arg(table);
    return RowsSeenByOthers(statements);
}

QStringList DatabaseTestCase::LogLines(const QString& title) {
    return RowsSeenByOthers("SELECT TIPO, TEXTO FROM LOG WHERE TITULO = " + Aspas(title) + " ORDER BY ID");
}

QStringList DatabaseTestCase::InvoiceImbalances(bool negativeAllowed) {
    return RowsSeenByOthers(InstrucoesDesequilibrioNota(negativeAllowed ? -1e9 : -0.0001));
}

QString DatabaseTestCase::TakeMessages() {
    const QString texts = messages.Texts().join('|');
    messages.Clear();
    return texts;
}

QString DatabaseTestCase::TakeShown() {
    QStringList texts;
    for (const auto& shown : messages.shown)
        texts << shown.text;
    messages.Clear();
    return texts.join('|');
}

int DatabaseTestCase::CountShown(const QString& kind, const QString& text) const {
    int count = 0;
    for (const auto& shown : messages.shown)
        count += shown.kind == kind && (text.isNull() || shown.text == text);
    return count;
}

QString DatabaseTestCase::Errors() const {
    QStringList errors;
    for (const auto& shown : messages.shown)
        if (shown.icon == MsgIcon::Error)
            errors << shown.text;
    return errors.join('|');
}

void ScreenTestCase::initTestCase() {
    QString error;
    QVERIFY2(module.Load(QStringLiteral("kelmTingimento"), &error), qPrintable(error));
}

static TDataSet* DataSetNamed(QWidget* screen, const QString& name) {
    if (auto* grid = screen->findChild<TZoDBGrid*>(name))
        return grid->DataSet();
    return screen->findChild<TDataSet*>(name);
}

QString DatabaseTestCase::FieldText(const QString& dataSet, int row, const QString& fields) {
    auto* data = DataSetNamed(driver->Screen(), dataSet);
    if (!data)
        throw std::runtime_error(qPrintable(QStringLiteral("no data set %1 on the screen").arg(dataSet)));
    QStringList values;
    for (const QString& field : fields.split('|'))
        values << TextoValor(data->ValueAt(row, data->FieldIndex(field)));
    return values.join('|');
}

QStringList DatabaseTestCase::FieldTexts(const QString& dataSet, const QString& fields) {
    auto* data = DataSetNamed(driver->Screen(), dataSet);
    QStringList rows;
    for (int row = 0; data && row < data->RecordCount(); ++row)
        rows << FieldText(dataSet, row, fields);
    return rows;
}

void ScreenTestCase::Cells(const QString& grid, int row, const QList<QPair<QString, QString>>& cells) {
    driver->Row(grid, row);
    for (const auto& [field, text] : cells)
        driver->Cell(grid, field, text);
}

void ScreenTestCase::Tick(const QString& grid, int row, const QString& field, bool checked) {
    auto* view = driver->Get<TZoDBGrid>(grid);
    QAbstractItemModel* model = view->model();
    const QModelIndex cell = model->index(row, DataSetModel::Of(view->DataSet())->ColumnOfField(field));
    QVERIFY(model->setData(cell, checked ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole));
}

void ScreenTestCase::EditaCelula(const QString& grid, const QString& field, const QVariant& value) {
    auto* view = driver->Get<TZoDBGrid>(grid);
    view->SelectField(field);
    view->model()->setData(view->currentIndex(), value, Qt::EditRole);
}

QString ScreenTestCase::TextoCelula(const QString& grid, int row, int column) {
    return driver->Get<TZoDBGrid>(grid)->model()->index(row, column).data().toString();
}

QLineEdit* ScreenTestCase::TypeInCell(const QString& grid, const QString& field, const QString& text) {
    auto* view = driver->Get<TZoDBGrid>(grid);
    view->SelectField(field);
    view->edit(view->currentIndex());
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    if (editor) {
        editor->selectAll();
        QTest::keyClicks(editor, text);
    }
    return editor;
}

void ScreenTestCase::CelulaAtual(const QString& grid, int row, int column) {
    auto* view = driver->Get<TZoDBGrid>(grid);
    view->setCurrentIndex(view->model()->index(row, column));
}

QString ScreenTestCase::TextoGrade(const QString& grid) {
    QAbstractItemModel* model = driver->Get<TZoDBGrid>(grid)->model();
    QStringList rows;
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model->columnCount(); ++column)
            cells << model->index(row, column).data().toString();
        rows << cells.join('|');
    }
    return rows.join(';');
}

QString ScreenTestCase::Texts(const QStringList& names) {
    QStringList texts;
    for (const QString& name : names)
        texts << driver->Text(name);
    return texts.join('|');
}

QVariant ScalarOn(TZoDatabase& database, const QString& statement) {
    QSqlQuery q(database.Connection());
    database.Exec(q, statement, false);
    return q.next() ? q.value(0) : QVariant();
}

void SqlOn(TZoDatabase& database, const QString& statement) {
    QSqlQuery q(database.Connection());
    database.Exec(q, statement, true);
}
