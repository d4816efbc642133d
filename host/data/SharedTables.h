#pragma once
#include "HostExport.h"
#include "TTabelaDataSet.h"
#include <QHash>
#include <QObject>
#include <QPointer>

// The host's shared named data sets ("tbBanho", "tbEntidade"...): one instance per name, opened by the
// first screen that asks and closed when the last one lets go. The data context owns the registry.
class KELMHOST_EXPORT SharedTables : public QObject {
    Q_OBJECT
public:
    explicit SharedTables(TZoDatabase& database);
    ~SharedTables() override;
    void Register(const QString& name, const QString& table, const QString& orderBy);
    bool Registered(const QString& name) const;
    TTabelaDataSet* Acquire(const QString& name);
    void Release(const QString& name);
    TTabelaDataSet* Find(const QString& name) const; // null when not open
    void CloseAll();
    // Every open data set not being edited reads its table again.
    void RefreshAll();

private:
    struct Entry {
        QString table;
        QString orderBy;
        TTabelaDataSet* dataSet = nullptr;
        int users = 0;
    };
    TZoDatabase& m_database;
    QHash<QString, Entry> m_entries; // by name in lower case: screens spell the names variously
};

// A screen's hold on a shared data set: taken by TTabela::AbreTabela, let go when the handle is destroyed
// (with the screen, also when its creation fails half-way) or closed.
class KELMHOST_EXPORT TabelaAberta {
public:
    TabelaAberta() = default;
    TabelaAberta(SharedTables* tables, const QString& name);
    TabelaAberta(TabelaAberta&& other) noexcept;
    TabelaAberta& operator=(TabelaAberta&& other) noexcept;
    TabelaAberta(const TabelaAberta&) = delete;
    TabelaAberta& operator=(const TabelaAberta&) = delete;
    ~TabelaAberta();

    TTabelaDataSet* get() const { return m_dataSet; }
    TTabelaDataSet* operator->() const { return m_dataSet; }
    operator TTabelaDataSet*() const { return m_dataSet; }
    void Fecha();

private:
    QPointer<SharedTables> m_tables;
    QString m_name;
    TTabelaDataSet* m_dataSet = nullptr;
};
