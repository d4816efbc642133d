#include "ScriptRunner.h"
#include "DataAccess.h"
#include "DataContext.h"
#include "Funcoes.h"
#include "HostError.h"
#include "HostUi.h"
#include "TZoDatabase.h"
#include "TZoQuery.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QSqlQuery>
#include <cstdio>

ScriptApi::ScriptApi(QJSEngine& engine, ScreenDriver& driver, ScriptedMessageService& messages)
    : m_engine(engine), m_driver(driver), m_messages(messages) {}

// Failures of the driver or the database become script exceptions, with their text.
template <typename F> auto ScriptApi::Guard(F&& action) -> decltype(action()) {
    try {
        return action();
    } catch (const EDatabaseError& e) {
        m_engine.throwError(e.message());
    } catch (const std::exception& e) {
        m_engine.throwError(QString::fromLocal8Bit(e.what()));
    }
    return decltype(action())();
}

void ScriptApi::user(const QString& name) {
    Guard([&] {
        if (Busca_Valor("ACESSO_USUARIOS", "NOME", "CODIGO", {name}).isEmpty()) {
            // A scenario database starts without users: the scenario's users are made administrators.
            TZoQuery count;
            count.SQL << "SELECT COUNT(*) AS N FROM ACESSO_USUARIOS";
            count.Open();
            if (count.FieldByName("N").AsInteger() != 0 && !m_createsUsers)
                throw EDatabaseError(QStringLiteral("Usuário %1 não cadastrado.").arg(name));
            m_createsUsers = true;
            TZoQuery insert;
            insert.SQL << "INSERT INTO ACESSO_USUARIOS (CODIGO, NOME, SUPERVISOR, ADMINISTRADOR, ATIVO)"
                       << "VALUES (" + Aspas(Proximo("ACESSO_USUARIOS", "CODIGO", 3)) + ", " + Aspas(name) +
                              ", 'S', 'S', 'S')";
            insert.ExecSQL();
            ConexaoHost()->Transaction()->CommitRetaining();
        }
        Sessao& session = SessaoAtual();
        session.usuario = name;
        session.usuarioCodigo = Busca_Valor("ACESSO_USUARIOS", "NOME", "CODIGO", {name});
        session.supervisor.clear();
    });
}

void ScriptApi::DefaultUser() {
    TZoQuery users;
    users.SQL << "SELECT COUNT(*) AS N, SUM(IIF(NOME = 'ADMIN', 1, 0)) AS TEM_ADMIN FROM ACESSO_USUARIOS";
    users.Open();
    if (users.FieldByName("N").AsInteger() == 0 || users.FieldByName("TEM_ADMIN").AsInteger() > 0)
        user(QStringLiteral("ADMIN"));
}

void ScriptApi::open(const QString& className, const QJSValue& arguments) {
    Guard([&] {
        ArgumentosTela values;
        if (arguments.isObject()) {
            const QVariantMap map = arguments.toVariant().toMap();
            for (auto it = map.cbegin(); it != map.cend(); ++it)
                values.insert(it.key(), it.value());
        }
        m_driver.Open(className, values);
    });
}
void ScriptApi::use(const QString& className) {
    Guard([&] { m_driver.Use(className); });
}
void ScriptApi::close() {
    Guard([&] { m_driver.Close(); });
}
void ScriptApi::type(const QString& control, const QString& text) {
    Guard([&] { m_driver.Type(control, text); });
}
void ScriptApi::press(const QString& key, const QString& control) {
    Guard([&] { m_driver.Press(key, control); });
}
void ScriptApi::keys(const QString& keys) {
    Guard([&] { m_driver.Keys(keys); });
}
void ScriptApi::click(const QString& control) {
    Guard([&] { m_driver.Click(control); });
}
void ScriptApi::dblclick(const QString& control) {
    Guard([&] { m_driver.DoubleClick(control); });
}
void ScriptApi::wait(int ms) {
    Guard([&] {
        QDeadlineTimer prazo(std::max(0, ms));
        while (!prazo.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents,
                                            int(std::max<qint64>(1, prazo.remainingTime())));
    });
}
void ScriptApi::activate(const QString& control) {
    Guard([&] { m_driver.Activate(control); });
}
void ScriptApi::screenshot(const QString& file) {
    Guard([&] {
        if (!m_driver.Screen() || !m_driver.Screen()->grab().save(file))
            throw std::runtime_error(QStringLiteral("não foi possível gravar %1").arg(file).toStdString());
    });
}
void ScriptApi::menu(const QString& action) {
    Guard([&] { m_driver.Menu(action); });
}
bool ScriptApi::menuEnabled(const QString& action) {
    return Guard([&] { return m_driver.MenuEnabled(action); });
}
void ScriptApi::select(const QString& combo, const QString& item) {
    Guard([&] { m_driver.Select(combo, item); });
}
QString ScriptApi::text(const QString& control) {
    return Guard([&] { return m_driver.Text(control); });
}
bool ScriptApi::enabled(const QString& control) {
    return Guard([&] { return m_driver.Enabled(control); });
}
bool ScriptApi::visible(const QString& control) {
    return Guard([&] { return m_driver.Visible(control); });
}
QString ScriptApi::focused() {
    return m_driver.FocusedName();
}
void ScriptApi::page(const QString& tabs, const QString& caption) {
    Guard([&] { m_driver.Page(tabs, caption); });
}
int ScriptApi::rows(const QString& grid) {
    return Guard([&] { return m_driver.Rows(grid); });
}
void ScriptApi::row(const QString& grid, int n) {
    Guard([&] { m_driver.Row(grid, n); });
}
void ScriptApi::cell(const QString& grid, const QString& field, const QString& text) {
    Guard([&] { m_driver.Cell(grid, field, text); });
}
QString ScriptApi::value(const QString& grid, const QString& field) {
    return Guard([&] { return m_driver.Value(grid, field); });
}

void ScriptApi::answer(bool yes) {
    m_messages.questions.enqueue(yes);
}
void ScriptApi::choose(int button) {
    m_messages.choices.enqueue(button);
}
void ScriptApi::input(const QJSValue& text) {
    m_messages.inputs.enqueue(text.isNull() || text.isUndefined() ? QVariant() : QVariant(text.toString()));
}
void ScriptApi::search(const QString& key) {
    m_messages.searches.enqueue(key);
}
void ScriptApi::login(const QString& name, const QString& password) {
    m_messages.logins.enqueue({name, password});
}
void ScriptApi::file(const QString& path) {
    m_messages.files.enqueue(path);
}
void ScriptApi::color(const QJSValue& color) {
    m_messages.colors.enqueue(color.isNull() || color.isUndefined() ? QColor() : QColor(color.toString()));
}

QJSValue ScriptApi::messages() {
    static const char* const icons[] = {"information", "warning", "error", "question"};
    QJSValue list = m_engine.newArray(uint(m_messages.shown.size()));
    for (int i = 0; i < m_messages.shown.size(); ++i) {
        const auto& shown = m_messages.shown[i];
        QJSValue item = m_engine.newObject();
        item.setProperty("kind", shown.kind);
        item.setProperty("title", shown.title);
        item.setProperty("text", shown.text);
        item.setProperty("icon", QString::fromLatin1(icons[int(shown.icon)]));
        item.setProperty("answered", shown.answered);
        list.setProperty(quint32(i), item);
    }
    return list;
}

QString ScriptApi::lastMessage() {
    return m_messages.LastText();
}
void ScriptApi::clearMessages() {
    m_messages.shown.clear();
}

QJSValue ScriptApi::sql(const QString& statement) {
    return Guard([&] {
        TZoQuery query;
        query.SQL << statement;
        query.Open();
        QJSValue rows = m_engine.newArray(uint(query.RecordCount()));
        quint32 i = 0;
        for (query.First(); !query.Eof(); query.Next()) {
            QJSValue row = m_engine.newObject();
            for (const FieldDef& f : query.FieldDefs()) {
                const QVariant v = query.FieldByName(f.name).Value();
                if (v.isNull())
                    row.setProperty(f.name, QJSValue(QJSValue::NullValue));
                else if (f.type == QMetaType::Double || f.type == QMetaType::LongLong)
                    row.setProperty(f.name, v.toDouble());
                else
                    row.setProperty(f.name, query.FieldByName(f.name).AsString());
            }
            rows.setProperty(i++, row);
        }
        return rows;
    });
}

int ScriptApi::exec(const QString& statement) {
    return Guard([&] {
        TZoQuery query;
        query.SQL << statement;
        // A failed write leaves no unit open on its old view: the script goes on seeing others' commits.
        try {
            query.ExecSQL();
            ConexaoHost()->Transaction()->CommitRetaining();
        } catch (...) {
            ConexaoHost()->Transaction()->RollbackRetaining();
            throw;
        }
        return query.RowsAffected();
    });
}

void ScriptApi::check(bool condition, const QString& message) {
    if (condition)
        return;
    ++m_failures;
    m_engine.throwError(QStringLiteral("falhou: ") + message);
}

void ScriptApi::equal(const QJSValue& actual, const QJSValue& expected, const QString& message) {
    if (actual.strictlyEquals(expected) || actual.toString() == expected.toString())
        return;
    ++m_failures;
    m_engine.throwError(QStringLiteral("falhou: %1 (obtido \"%2\", esperado \"%3\")")
                            .arg(message, actual.toString(), expected.toString()));
}

void ScriptApi::log(const QString& text) {
    std::fprintf(stdout, "%s\n", qPrintable(text));
}

int RunScript(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return 2;
    }
    SilenciaAvisosSemTela();
    ScriptedMessageService messages;
    SetMessageService(&messages);
    ScreenDriver driver(messages);
    QJSEngine engine;
    engine.installExtensions(QJSEngine::ConsoleExtension);
    ScriptApi api(engine, driver, messages);
    engine.globalObject().setProperty("kelm", engine.newQObject(&api));
    QJSEngine::setObjectOwnership(&api, QJSEngine::CppOwnership);
    try {
        api.DefaultUser();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    // Any thrown value fails the scenario, not only an Error: a thrown value leaves a stack trace.
    QStringList stack;
    const QJSValue result = engine.evaluate(QString::fromUtf8(file.readAll()), path, 1, &stack);
    driver.Close();
    SetMessageService(nullptr);
    if (result.isError() || !stack.isEmpty()) {
        const int line = result.isError() ? result.property("lineNumber").toInt()
                                          : stack.first().section(QLatin1Char(':'), 1, 1).toInt();
        std::fprintf(stderr, "%s:%d: %s\n", qPrintable(path), line, qPrintable(result.toString()));
        return 1;
    }
    if (api.Failures() > 0)
        return 1;
    std::fprintf(stdout, "cenário concluído: %s\n", qPrintable(path));
    return 0;
}
