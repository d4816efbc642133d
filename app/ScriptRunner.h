#pragma once
#include "ScreenDriver.h"
#include <QJSEngine>
#include <QJSValue>
#include <QObject>

// The object scenarios see as `kelm`: the screen driver, queued answers, messages shown and SQL.
class ScriptApi : public QObject {
    Q_OBJECT
public:
    ScriptApi(QJSEngine& engine, ScreenDriver& driver, ScriptedMessageService& messages);

    Q_INVOKABLE void user(const QString& name);
    // kelm.open("TFmCadFalServ", {FAL: "000123", CLIENTE: "00001"}): the arguments another screen would hand.
    Q_INVOKABLE void open(const QString& className, const QJSValue& arguments = QJSValue());
    Q_INVOKABLE void use(const QString& className);
    Q_INVOKABLE void close();
    Q_INVOKABLE void type(const QString& control, const QString& text);
    Q_INVOKABLE void press(const QString& key, const QString& control = QString());
    Q_INVOKABLE void keys(const QString& keys);
    Q_INVOKABLE void click(const QString& control);
    Q_INVOKABLE void dblclick(const QString& control);
    // Lets the application run for a while: timers, database events and deferred refreshes happen.
    Q_INVOKABLE void wait(int ms);
    Q_INVOKABLE void activate(const QString& control);
    Q_INVOKABLE void menu(const QString& action);
    Q_INVOKABLE void screenshot(const QString& file);
    Q_INVOKABLE bool menuEnabled(const QString& action);
    Q_INVOKABLE void select(const QString& combo, const QString& item);
    Q_INVOKABLE QString text(const QString& control);
    Q_INVOKABLE bool enabled(const QString& control);
    Q_INVOKABLE bool visible(const QString& control);
    Q_INVOKABLE QString focused();
    Q_INVOKABLE void page(const QString& tabs, const QString& caption);
    Q_INVOKABLE int rows(const QString& grid);
    Q_INVOKABLE void row(const QString& grid, int n);
    Q_INVOKABLE void cell(const QString& grid, const QString& field, const QString& text);
    Q_INVOKABLE QString value(const QString& grid, const QString& field);

    Q_INVOKABLE void answer(bool yes);
    Q_INVOKABLE void choose(int button);
    Q_INVOKABLE void input(const QJSValue& text);
    Q_INVOKABLE void search(const QString& key);
    Q_INVOKABLE void login(const QString& name, const QString& password);
    Q_INVOKABLE void file(const QString& path);
    Q_INVOKABLE void color(const QJSValue& color);
    Q_INVOKABLE QJSValue messages();
    Q_INVOKABLE QString lastMessage();
    Q_INVOKABLE void clearMessages();

    Q_INVOKABLE QJSValue sql(const QString& statement);
    Q_INVOKABLE int exec(const QString& statement);

    Q_INVOKABLE void check(bool condition, const QString& message);
    Q_INVOKABLE void equal(const QJSValue& actual, const QJSValue& expected,
                           const QString& message = QString());
    Q_INVOKABLE void log(const QString& text);

    int Failures() const { return m_failures; }
    // "ADMIN" unless the database has users and none of them is ADMIN (the scenario then names its own).
    void DefaultUser();

private:
    template <typename F> auto Guard(F&& action) -> decltype(action());
    QJSEngine& m_engine;
    ScreenDriver& m_driver;
    ScriptedMessageService& m_messages;
    int m_failures = 0;
    bool m_createsUsers = false;
};

// Runs a scenario file; returns the process exit code (0 when it ran through without failures).
int RunScript(const QString& path);
