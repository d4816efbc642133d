#pragma once
#include "DataSet.h"
#include "HostExport.h"
#include <QHash>
#include <QPointer>
#include <QSqlQuery>
#include <map>
#include <memory>

// A data set over one table of the host database. Post and Delete write through the host connection
// (the caller commits); rows are read into memory, so commits never close it.
class KELMHOST_EXPORT TTabelaDataSet : public TDataSet {
    Q_OBJECT
public:
    TTabelaDataSet(const QString& table, const QString& orderBy, QObject* parent = nullptr);
    void Open();
    void Refresh(); // re-reads the table, keeping the cursor on the same key when it still exists
    QString TableName() const { return m_table; }
    QStringList KeyFields() const { return m_keys; }

protected:
    void DoPost(const QVariantList& values, const QVariantList& original, bool inserting) override;
    void DoDelete(const QVariantList& values) override;

private:
    void BeginWrite();
    QSqlQuery& Statement(std::unique_ptr<QSqlQuery>& slot, const QString& sql);
    QVariantList KeyValues(const QVariantList& values) const;
    QString m_table;
    QString m_orderBy;
    QStringList m_keys;
    QStringList m_computed; // computed columns are read, never written
    std::unique_ptr<QSqlQuery> m_insert, m_delete;
    std::map<QString, std::unique_ptr<QSqlQuery>> m_updates; // by the columns they set
    quint64 m_generation = 0;
};

// The host's shared named data sets ("tbBanho", "tbEntidade"...): one instance per name, opened by the
// first screen that asks and closed when the last one lets go. The host context owns the registry.
class KELMHOST_EXPORT SharedTables : public QObject {
    Q_OBJECT
public:
    SharedTables();
    ~SharedTables() override;
    void Register(const QString& name, const QString& table, const QString& orderBy);
    bool Registered(const QString& name) const;
    TTabelaDataSet* Acquire(const QString& name);
    void Release(const QString& name);
    TTabelaDataSet* Find(const QString& name) const; // null when not open
    void CloseAll();

private:
    struct Entry {
        QString table;
        QString orderBy;
        TTabelaDataSet* dataSet = nullptr;
        int users = 0;
    };
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

// The host's routines over the shared data sets of the current context.
class KELMHOST_EXPORT TTabela {
public:
    static void Registra(const QString& name, const QString& table, const QString& orderBy);
    static bool Registrada(const QString& name);
    [[nodiscard]] static TabelaAberta AbreTabela(const QString& name);
    static TTabelaDataSet* Tabela(const QString& name); // null when not open
    static void FechaTodas();
};
