#pragma once
#include "HostExport.h"
#include "Sessao.h"
#include "TZoDatabase.h"
#include <QHash>
#include <functional>
#include <memory>

class SharedTables;

// What the data layer works with, owned in one place: the host connection, the numbering connection, the
// session and the shared data sets. The host context (user interface layer) is one; the data routines of
// the host (Existe, Busca_Valor, Proximo, GeraLog, Acessa...) reach it through Current(). It is created
// and destroyed inside main, and per test case by the test kit.
class KELMHOST_EXPORT DataContext {
public:
    DataContext();
    virtual ~DataContext();
    DataContext(const DataContext&) = delete;
    DataContext& operator=(const DataContext&) = delete;

    static DataContext* Current();

    TZoDatabase& Database() { return m_database; }
    // The connection codes are numbered on: it commits every statement at once, and follows whichever
    // database the host connection has open.
    TZoDatabase& Counter();
    Sessao& Session() { return m_session; }
    SharedTables& Tables() { return *m_tables; }
    // After a lost connection: the host connection opened again, the numbering connection renewed and
    // the shared data sets read anew.
    void Reconecta();
    // Character widths of columns, read once: the schema does not change under a running session.
    QHash<QString, int>& LargurasColunas() { return m_larguras; }

    // What the data layer needs from the user: a supervisor's log-in (false when cancelled), and a warning.
    std::function<bool(const QString& title, QString& user, QString& password)> PedeLogin;
    std::function<void(const QString& title, const QString& text)> Avisa;

private:
    TZoDatabase m_database;
    std::unique_ptr<TZoDatabase> m_counter;
    Sessao m_session;
    std::unique_ptr<SharedTables> m_tables;
    QHash<QString, int> m_larguras;
};

// The session of the current context; an empty one when there is no context.
KELMHOST_EXPORT Sessao& SessaoAtual();

KELMHOST_EXPORT QString vUsuario();       // user name
KELMHOST_EXPORT QString vUsuarioCodigo(); // user code
KELMHOST_EXPORT QString vSupervisor();    // supervisor who last granted a right the user lacks
KELMHOST_EXPORT QString vEmpresa();       // company code of the physical tables ("001")

KELMHOST_EXPORT void DefineTelaAtiva(QObject* screen);
KELMHOST_EXPORT QObject* TelaAtiva();
