#pragma once
#include "DataSet.h"
#include "HostExport.h"
#include "ResultRows.h"
#include <QSqlQuery>
#include <memory>

class TZoDatabase;

// A statement built from SQL lines. Open reads the whole result into memory (so it survives the commits
// that follow every write); ExecSQL runs a write. A statement run again with other bound values is
// prepared only once.
class KELMHOST_EXPORT TZoQuery : public TDataSet {
    Q_OBJECT
public:
    explicit TZoQuery(QObject* parent = nullptr, TZoDatabase* database = nullptr);
    ~TZoQuery() override;

    QStringList SQL;

    void Open();
    void ExecSQL();
    void BindValue(const QString& name, const QVariant& value);
    int RowsAffected() const { return m_rowsAffected; }
    TZoDatabase* Database() const;

    // "FIRST[(inner) alias,'E',n]" becomes the inner query limited to its first n rows, in its order.
    static QString ResolveStatement(const QString& sql);

private:
    void PrepareIfChanged(const QString& sql);
    void DropStatement() { m_statement.reset(); }
    TZoDatabase* m_database;
    std::unique_ptr<QSqlQuery> m_statement;
    QString m_preparedText;
    quint64 m_preparedGeneration = 0;
    QVariantMap m_bound;
    int m_rowsAffected = 0;
};
