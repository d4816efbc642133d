#pragma once
#include "DataSet.h"
#include "HostExport.h"
#include <QSqlQuery>
#include <map>
#include <memory>

class TZoDatabase;

// A data set over one table of the database. Post and Delete write through its connection (the caller
// commits); rows are read into memory, so commits never close it.
class KELMHOST_EXPORT TTabelaDataSet : public TDataSet {
    Q_OBJECT
public:
    TTabelaDataSet(TZoDatabase& database, const QString& table, const QString& orderBy,
                   QObject* parent = nullptr);
    void Open();
    void Refresh(); // re-reads the table, keeping the cursor on the same key when it still exists
    QString TableName() const { return m_table; }
    QStringList KeyFields() const { return m_keys; }

protected:
    void DoPost(const QVariantList& values, const QVariantList& original, bool inserting) override;
    void DoDelete(const QVariantList& values) override;

private:
    TZoDatabase* Database() const;
    void BeginWrite();
    QSqlQuery& Statement(std::unique_ptr<QSqlQuery>& slot, const QString& sql);
    QVariantList KeyValues(const QVariantList& values) const;
    TZoDatabase* m_database;
    QString m_table;
    QString m_orderBy;
    QStringList m_keys;
    QStringList m_computed; // computed columns are read, never written
    std::unique_ptr<QSqlQuery> m_insert, m_delete;
    std::map<QString, std::unique_ptr<QSqlQuery>> m_updates; // by the columns they set
    quint64 m_generation = 0;
};

// The caption users read for a column: the table's own (ENTIDADE.NOME is "Razão Social"), else the usual
// one of the column name anywhere (CODIGO is "Código"); empty when none is known. Names are matched in
// any case; a qualified column (E.NOME) counts by its last part.
KELMHOST_EXPORT QString LegendaCampo(const QString& tabela, const QString& campo);
// Gives every field of the data set without a caption of its own the one LegendaCampo knows.
KELMHOST_EXPORT void AplicaLegendas(TDataSet& dados, const QString& tabela);
