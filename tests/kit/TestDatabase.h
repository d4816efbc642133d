#pragma once
#include "DatabaseConfig.h"
#include "HostContext.h"
#include "ModuleLoader.h"
#include "ScreenDriver.h"
#include "TZoDatabase.h"
#include <QFile>
#include <QObject>
#include <functional>
#include <memory>

// Fresh databases for tests: a template with the current schema is built once (per schema content) and
// copied for every test case. KELM_TEST_SERVER=host[/port] runs the same tests against a Firebird server,
// with the files in KELM_TEST_DIR (a folder the server can write).
class TestDatabase {
public:
    static bool ServerMode() { return qEnvironmentVariableIsSet("KELM_TEST_SERVER"); }
    static QString Folder();
    // The configuration of a database file there, on the server in server mode.
    static DatabaseConfig Config(const QString& path);
    static DatabaseConfig Fresh();
    static void Drop(const DatabaseConfig& config) { QFile::remove(config.path); }
};

// Runs statements from a connection other than the host one.
QVariant ScalarOn(TZoDatabase& database, const QString& statement);
void SqlOn(TZoDatabase& database, const QString& statement);

// Scripted messages, with what another workstation does right before the next question or input box, and
// a look at every look-up list as it opens.
class MensagensTeste : public ScriptedMessageService {
public:
    std::function<void()> antesDaPergunta, antesDaEntrada;
    std::function<void(TPesquisa&)> naPesquisa;
    bool Search(QWidget* parent, TPesquisa& search) override {
        if (naPesquisa)
            naPesquisa(search);
        return ScriptedMessageService::Search(parent, search);
    }
    bool Ask(QWidget* parent, const QString& title, const QString& text, bool defaultYes,
             MsgIcon icon) override {
        Dispara(antesDaPergunta);
        return ScriptedMessageService::Ask(parent, title, text, defaultYes, icon);
    }
    bool Input(QWidget* parent, const QString& title, const QString& prompt, QString& value) override {
        Dispara(antesDaEntrada);
        return ScriptedMessageService::Input(parent, title, prompt, value);
    }

private:
    static void Dispara(std::function<void()>& acao) {
        if (const auto agora = std::exchange(acao, nullptr))
            agora();
    }
};

// Base of database-facing tests: every test function runs in a host context of its own, on its own empty
// database opened as the host connection, with scripted messages and the administrator logged in.
class DatabaseTestCase : public QObject {
    Q_OBJECT
protected:
    DatabaseConfig config;
    MensagensTeste messages;
    std::unique_ptr<HostContext> context;
    TZoDatabase* db = nullptr; // the context's host connection
    std::unique_ptr<ScreenDriver> driver;

    // Runs one statement on the host connection; for arranging and checking data.
    void Sql(const QString& statement) { SqlOn(*db, statement); }
    QVariant Scalar(const QString& statement) { return ScalarOn(*db, statement); }
    // One insert per row: Insert("FASE (CODIGO, DESCRICAO)", {"'01', 'PREPARO'", "'03', 'TINGIMENTO'"}).
    void Insert(const QString& tableAndColumns, const QStringList& rows) {
        for (const QString& values : rows)
            Sql(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(tableAndColumns, values));
    }
    void Commit() { db->Transaction()->CommitRetaining(); }
    // Statements run, then committed.
    void SqlCommit(const QStringList& statements) {
        for (const QString& statement : statements)
            Sql(statement);
        Commit();
    }
    void SqlCommit(const QString& statement) { SqlCommit(QStringList{statement}); }
    void InsertCommit(const QString& tableAndColumns, const QStringList& rows) {
        Insert(tableAndColumns, rows);
        Commit();
    }
    // The demo's rows (db/demo), as a database created with them has them; its users replace the test's.
    void CarregaDemo();
    // A user with a password and its flags supervisor, administrator and active, as "SNS".
    void AddUser(const QString& code, const QString& name, const QString& password, const QString& flags);
    void Grant(const QString& user, const QString& className, const QString& letter = QStringLiteral("A"),
               int level = 0);
    // Statements another workstation runs and commits meanwhile.
    void ByOther(const QStringList& statements);
    void ByOther(const QString& statement) { ByOther(QStringList{statement}); }
    // From now on, writes of `event` ("BEFORE INSERT"...) on the table fail with "falha forçada" when the
    // condition holds; one such failure at a time, committed.
    void FailWhen(const QString& table, const QString& event,
                  const QString& condition = QStringLiteral("1=1"));
    void StopFailing() { SqlCommit(QStringLiteral("DROP TRIGGER T_TESTE")); }
    // A second, independent connection to the same database.
    std::unique_ptr<TZoDatabase> OpenSecond(const QString& name);
    // The rows a query returns on a second connection, each row its values joined by '|': what other users
    // see, committed work only.
    QStringList RowsSeenByOthers(const QString& statement) {
        return RowsSeenByOthers(QStringList{statement});
    }
    // The rows of several queries, in turn, on one connection.
    QStringList RowsSeenByOthers(const QStringList& statements);
    // Those rows joined by ';', to compare a few at once.
    QString Seen(const QString& statement) { return RowsSeenByOthers(statement).join(';'); }
    // Every row and column of the tables as other users see them: what a refusal must leave as it was.
    QStringList Snapshot(const QStringList& tables);
    // The rows of a table other users see.
    int Count(const QString& table, const QString& where = QStringLiteral("1=1")) {
        return Seen(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2").arg(table, where)).toInt();
    }
    // The audit rows other users see, as "TITULO|TEXTO|TIPO|CHAVE", in the order written.
    QStringList AuditRows(const QString& where = QStringLiteral("1=1")) {
        return RowsSeenByOthers(
            QStringLiteral("SELECT TITULO, TEXTO, TIPO, CHAVE FROM LOG WHERE %1 ORDER BY ID").arg(where));
    }
    // The audit rows of a title as "TIPO|TEXTO", in the order written.
    QStringList LogLines(const QString& title);
    // The invoice balance as other users see it: the invoice items whose weight taken by lot sheets, free
    // weight or (unless allowed) sign is wrong, the invoices whose balance is not their items' sum, and the
    // lot sheet items holding weight of an invoice item that does not exist.
    QStringList InvoiceImbalances(bool negativeAllowed = false);
    // The plain messages shown so far joined by '|'; what was shown and the answers left queued are cleared.
    QString TakeMessages();
    // Every text shown so far, of any kind (a question's, an input box's prompt...), cleared the same way.
    QString TakeShown();
    // How many of a kind ("question", "input"...) were shown, with that text when one is given.
    int CountShown(const QString& kind, const QString& text = QString()) const;
    // The texts shown with the error icon, joined by '|'.
    QString Errors() const;
    // Clicks a button with the answer to the question it asks queued.
    void ClickAndAnswer(const QString& button, bool yes) {
        messages.questions.enqueue(yes);
        driver->Click(button);
    }
    // Clicks a button: the plain messages it showed, taken as TakeMessages does.
    QString ClickMessages(const QString& button) {
        driver->Click(button);
        return TakeMessages();
    }
    // A field of a row of one of the screen's data sets (or a grid's, by the grid's name) as program text;
    // fields named "A|B" give "a|b".
    QString FieldText(const QString& dataSet, int row, const QString& fields);
    // That text of every row, in order.
    QStringList FieldTexts(const QString& dataSet, const QString& fields);
    // The first row whose fields read this text; -1 when none.
    int RowWhere(const QString& dataSet, const QString& fields, const QString& text) {
        return FieldTexts(dataSet, fields).indexOf(text);
    }

protected slots:
    void init();
    void cleanup();
};

class TZoDBGrid;
class QLineEdit;

// Base of screen tests: the module is loaded once for the whole test program.
class ScreenTestCase : public DatabaseTestCase {
    Q_OBJECT
protected:
    ModuleLoader module;
    // Makes a row of the grid current and types its cells in turn.
    void Cells(const QString& grid, int row, const QList<QPair<QString, QString>>& cells);
    // Ticks or clears a check box cell, as a click on it would.
    void Tick(const QString& grid, int row, const QString& field, bool checked = true);
    // A value typed into a cell of the grid's current row, as the cell editor hands it over; a cell as shown.
    void EditaCelula(const QString& grid, const QString& field, const QVariant& value);
    QString TextoCelula(const QString& grid, int row, int column);
    // Types into a cell of the current row through its editor, as a user does, and leaves the editor open;
    // null when the cell opens none.
    QLineEdit* TypeInCell(const QString& grid, const QString& field, const QString& text);
    // Makes a cell of the grid current, as the program would (no click, no exit rule).
    void CelulaAtual(const QString& grid, int row, int column = 0);
    // Every cell of the grid as shown: cells joined by '|', rows by ';'.
    QString TextoGrade(const QString& grid);
    // The texts of several controls of the screen (ScreenDriver::Text), joined by '|'.
    QString Texts(const QStringList& names);
    // Types a code into a box and leaves it by Tab, as a user does to have it loaded or checked.
    void TypeAndTab(const QString& box, const QString& text) {
        driver->Type(box, text);
        driver->Press(QStringLiteral("Tab"));
    }

protected slots:
    void initTestCase();
    void cleanupTestCase() { module.Unload(); }
};
