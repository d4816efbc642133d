#include "DataAccess.h"
#include "CodeAllocator.h"
#include "DataContext.h"
#include "DataSet.h"
#include "Formatacao.h"
#include "HostError.h"
#include "TZoDatabase.h"
#include "TZoQuery.h"
#include <QDateTime>
#include <QRegularExpression>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

namespace {
TZoDatabase* host() {
    return ConexaoHost();
}

QSet<QString>& companyTables() {
    static QSet<QString> tables{QStringLiteral("TABPRE_SERV")};
    return tables;
}

QStringList splitFields(const QString& fields) {
    QStringList result;
    for (const QString& f : fields.split(QRegularExpression(QStringLiteral("[,;]")), Qt::SkipEmptyParts))
        result << f.trimmed();
    return result;
}

// Texts are cast to their own length: a parameter takes the column's type, and a value longer than the
// column would otherwise fail with a truncation error instead of simply not matching.
QString whereOf(const QStringList& fields, const QVariantList& values) {
    QStringList parts;
    for (int i = 0; i < fields.size(); ++i) {
        if (values[i].typeId() == QMetaType::QString)
            parts << QStringLiteral("%1 = CAST(:V%2 AS VARCHAR(%3))")
                         .arg(fields[i])
                         .arg(i)
                         .arg(std::max<qsizetype>(1, values[i].toString().size()));
        else
            parts << QStringLiteral("%1 = :V%2").arg(fields[i]).arg(i);
    }
    return parts.join(QStringLiteral(" AND "));
}

} // namespace

TZoDatabase* ConexaoHost() {
    DataContext* context = DataContext::Current();
    if (!context || !context->Database().Connected())
        throw EDatabaseError(QStringLiteral("Banco de dados não conectado."));
    return &context->Database();
}

namespace {
QString tabelaDaEmpresa(const QString& table, const QString& empresa) {
    const QString name = table.trimmed().toUpper();
    return companyTables().contains(name) ? name + '_' + empresa : name;
}

QString resolveTabelas(const QString& sql, const QString& empresa) {
    static const QRegularExpression placeholder(QStringLiteral(R"(\{([A-Za-z_]\w*)\})"));
    QString result;
    qsizetype from = 0;
    for (auto it = placeholder.globalMatch(sql); it.hasNext();) {
        const auto m = it.next();
        result += sql.mid(from, m.capturedStart() - from) + tabelaDaEmpresa(m.captured(1), empresa);
        from = m.capturedEnd();
    }
    return result + sql.mid(from);
}
} // namespace

QString DBLocal(const QString& table, bool company) {
    return company ? tabelaDaEmpresa(table, vEmpresa()) : table.trimmed().toUpper();
}

QString DBLocal_SQL(const QString& sql) {
    return resolveTabelas(sql, vEmpresa());
}

QString UnionTodasEmpresas(const QString& sql, const QString& table) {
    if (!companyTables().contains(table.trimmed().toUpper()))
        return DBLocal_SQL(sql);
    TZoQuery empresas;
    empresas.SQL << QStringLiteral("SELECT CODIGO FROM EMPRESA ORDER BY CODIGO");
    empresas.Open();
    QStringList partes;
    for (empresas.First(); !empresas.Eof(); empresas.Next())
        partes << resolveTabelas(sql, empresas.Fields(0).AsString().trimmed());
    return partes.isEmpty() ? DBLocal_SQL(sql) : partes.join(QStringLiteral(" UNION ALL "));
}

void RegistraTabelaEmpresa(const QString& table) {
    companyTables().insert(table.toUpper());
}

QStringList SplitLiterals(const QString& text) {
    QStringList parts;
    QString current;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == '\'')
            quoted = !quoted;
        if (c == ';' && !quoted) {
            parts << current.trimmed();
            current.clear();
        } else {
            current += c;
        }
    }
    parts << current.trimmed();
    return parts;
}

bool Existe(const QString& table, const QString& fields, const QString& literals) {
    const QStringList names = splitFields(fields);
    const QStringList values = SplitLiterals(literals);
    if (names.size() != values.size())
        throw EDatabaseError(QStringLiteral("Existe: campos e valores não conferem (%1).").arg(fields));
    QStringList parts;
    for (int i = 0; i < names.size(); ++i)
        parts << names[i] + QStringLiteral(" = ") + values[i];
    TZoDatabase* db = host();
    QSqlQuery q(db->Connection());
    q.setForwardOnly(true);
    db->Exec(q, QStringLiteral("SELECT FIRST 1 1 FROM %1 WHERE %2").arg(DBLocal(table), parts.join(" AND ")),
             false);
    return q.next();
}

bool Existe(const QString& table, const QString& fields, const QVariantList& values, TZoDatabase* conexao) {
    const QStringList names = splitFields(fields);
    if (names.size() != values.size())
        throw EDatabaseError(QStringLiteral("Existe: campos e valores não conferem (%1).").arg(fields));
    TZoDatabase* db = conexao ? conexao : host();
    QSqlQuery q(db->Connection());
    q.setForwardOnly(true);
    db->Prepare(
        q, QStringLiteral("SELECT FIRST 1 1 FROM %1 WHERE %2").arg(DBLocal(table), whereOf(names, values)),
        false);
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(QStringLiteral(":V%1").arg(i), values[i]);
    db->Exec(q, false);
    return q.next();
}

QString Busca_Valor(const QString& table, const QString& keyFields, const QString& resultField,
                    const QVariantList& keyValues) {
    const QStringList names = splitFields(keyFields);
    if (names.size() != keyValues.size())
        throw EDatabaseError(
            QStringLiteral("Busca_Valor: campos e valores não conferem (%1).").arg(keyFields));
    TZoDatabase* db = host();
    QSqlQuery q(db->Connection());
    q.setForwardOnly(true);
    db->Prepare(q,
                QStringLiteral("SELECT FIRST 1 %1 FROM %2 WHERE %3")
                    .arg(resultField, DBLocal(table), whereOf(names, keyValues)),
                false);
    for (int i = 0; i < keyValues.size(); ++i)
        q.bindValue(QStringLiteral(":V%1").arg(i), keyValues[i]);
    db->Exec(q, false);
    if (!q.next() || q.value(0).isNull())
        return {};
    const QVariant v = q.value(0);
    if (v.typeId() == QMetaType::Double)
        return QString::number(v.toDouble(), 'g', 15);
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    return v.toString();
}

QString Proximo(const QString& table, const QString& field, int width, bool checkTable) {
    TZoDatabase* work = host();
    TZoDatabase& counter = DataContext::Current()->Counter();
    // Waiting on another workstation's hold of the counter is bounded as every write of this one is.
    counter.LockTimeoutMs = work->LockTimeoutMs;
    CodeAllocator allocator(&counter, work);
    return allocator.Next(DBLocal(table), field, width, checkTable);
}

QStringList ProximosDaSerie(const QString& table, const QString& field, const QString& prefix, int count,
                            int digits) {
    TZoDatabase* work = host();
    TZoDatabase& counter = DataContext::Current()->Counter();
    counter.LockTimeoutMs = work->LockTimeoutMs;
    return CodeAllocator(&counter, work).NextOfSeries(DBLocal(table), field, prefix, count, digits);
}

void TravaChave(const QString& table, const QString& key) {
    TZoDatabase* db = host();
    const QString t = DBLocal(table);
    {
        QSqlQuery lock(db->Connection());
        db->Prepare(
            lock, QStringLiteral("UPDATE TRAVA_GRAVACAO SET CHAVE = CHAVE WHERE TABELA = :T AND CHAVE = :C"),
            true);
        lock.bindValue(QStringLiteral(":T"), t);
        lock.bindValue(QStringLiteral(":C"), key);
        db->Exec(lock, true);
        if (lock.numRowsAffected() > 0)
            return;
    }
    QSqlQuery create(db->Connection());
    db->Prepare(create, QStringLiteral("INSERT INTO TRAVA_GRAVACAO (TABELA, CHAVE) VALUES (:T, :C)"), true);
    create.bindValue(QStringLiteral(":T"), t);
    create.bindValue(QStringLiteral(":C"), key);
    try {
        db->Exec(create, true);
    } catch (const EDatabaseError&) {
        db->Transaction()->RollbackRetaining();
        // Created meanwhile by another workstation's save of the same key: a conflict, not a repeated key.
        if (Existe(QStringLiteral("TRAVA_GRAVACAO"), QStringLiteral("TABELA;CHAVE"), QVariantList{t, key}))
            throw EDatabaseError(QStringLiteral("O registro está sendo alterado por outro usuário. "
                                                "A operação foi desfeita; tente novamente em instantes."));
        throw;
    }
}

bool GravadosComoCarregados(const QString& table, const QString& key, const QStringList& loaded,
                            const std::function<QStringList()>& stored) {
    try {
        TravaChave(table, key);
    } catch (const EDatabaseError&) {
        // Read again in a unit of its own: rows another workstation saved while this one waited are there.
        host()->Transaction()->RollbackRetaining();
        if (stored() != loaded)
            return false;
        throw;
    }
    return stored() == loaded;
}

QStringList ImpressaoLinhas(const TDataSet& rows, const QStringList& fields) {
    QList<int> columns;
    for (const QString& field : fields) {
        const int column = rows.FieldIndex(field);
        if (column < 0)
            throw EDatabaseError(QStringLiteral("ImpressaoLinhas: campo %1 ausente.").arg(field));
        columns << column;
    }
    QStringList result;
    for (int row = 0; row < rows.RecordCount(); ++row) {
        QStringList values;
        for (const int column : columns) {
            const QVariant value = rows.ValueAt(row, column);
            // A null is told apart from an empty text: they are different stored values.
            values << (value.isNull() ? QStringLiteral("\u2205") : TextoValor(value));
        }
        result << values.join(QChar(0x1f));
    }
    return result;
}

int LarguraColuna(const QString& table, const QString& column) {
    DataContext* contexto = DataContext::Current();
    const QString chave =
        QStringLiteral("%1|%2|%3")
            .arg(host()->Connection().databaseName(), DBLocal(table), column.trimmed().toUpper());
    if (contexto && contexto->LargurasColunas().contains(chave))
        return contexto->LargurasColunas().value(chave);
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT F.RDB$CHARACTER_LENGTH FROM RDB$RELATION_FIELDS R JOIN RDB$FIELDS F ON "
                            "F.RDB$FIELD_NAME = R.RDB$FIELD_SOURCE WHERE R.RDB$RELATION_NAME = :T AND "
                            "R.RDB$FIELD_NAME = :C");
    q.BindValue(QStringLiteral("T"), DBLocal(table));
    q.BindValue(QStringLiteral("C"), column.trimmed().toUpper());
    q.Open();
    const int largura = q.IsEmpty() ? 0 : q.Fields(0).AsInteger();
    if (contexto && largura > 0) // a table made later (a new company's) is read again
        contexto->LargurasColunas().insert(chave, largura);
    return largura;
}

bool ExisteColuna(const QString& table, const QString& column) {
    return Existe(QStringLiteral("RDB$RELATION_FIELDS"), QStringLiteral("RDB$RELATION_NAME;RDB$FIELD_NAME"),
                  QVariantList{DBLocal(table), column.trimmed().toUpper()});
}

QString BuscaParametro(const QString& module, int number) {
    return Busca_Valor(QStringLiteral("PARAMETROS"), QStringLiteral("MODULO;NUMERO"), QStringLiteral("VALOR"),
                       {module.toUpper(), number});
}

void GeraLog(const QString& title, const QString& text, int kind, const QString& key, QObject* screen,
             TZoDatabase* conexao) {
    TZoDatabase* db = conexao ? conexao : host();
    QObject* form = screen ? screen : TelaAtiva();
    const QDateTime now = QDateTime::currentDateTime();
    QSqlQuery q(db->Connection());
    db->Prepare(
        q,
        QStringLiteral("INSERT INTO LOG (ID, CHAVE, DATA, HORA, USUARIO, FORMULARIO, TITULO, TEXTO, TIPO) "
                       "VALUES (NEXT VALUE FOR GEN_LOG_ID, :CHAVE, :DATA, :HORA, :USUARIO, :FORM, "
                       ":TITULO, :TEXTO, :TIPO)"),
        true);
    q.bindValue(QStringLiteral(":CHAVE"), key.left(40));
    q.bindValue(QStringLiteral(":DATA"), now.date());
    q.bindValue(QStringLiteral(":HORA"), now.time().toString(QStringLiteral("HH:mm:ss")));
    q.bindValue(QStringLiteral(":USUARIO"), vUsuario());
    q.bindValue(QStringLiteral(":FORM"), form ? form->objectName() : QString());
    q.bindValue(QStringLiteral(":TITULO"), title.left(60));
    q.bindValue(QStringLiteral(":TEXTO"), text.left(500));
    q.bindValue(QStringLiteral(":TIPO"), kind);
    db->Exec(q, true);
}
