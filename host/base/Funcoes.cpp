#include "Funcoes.h"
#include "Formatacao.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const QString kNull = QStringLiteral("NULL");

// Seconds of a time text, or -1. Hours are unbounded so that durations past a day still read.
qint64 segundosDe(const QString& time) {
    static const QRegularExpression pattern(
        QStringLiteral("^([0-9]{1,9})(?::([0-9]{1,2}))?(?::([0-9]{1,2}))?$"));
    const QRegularExpressionMatch m = pattern.match(time.trimmed());
    if (!m.hasMatch())
        return -1;
    const qint64 hours = m.captured(1).toLongLong();
    const int minutes = m.captured(2).isEmpty() ? 0 : m.captured(2).toInt();
    const int seconds = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
    if (minutes > 59 || seconds > 59)
        return -1;
    return hours * 3600 + minutes * 60 + seconds;
}

// Written digit by digit: reports write one per row of a month.
QString textoDeSegundos(qint64 total) {
    QString texto = QString::number(total / 3600);
    if (texto.size() < 2)
        texto.prepend(QLatin1Char('0'));
    for (const qint64 parte : {total / 60 % 60, total % 60}) {
        const char dois[] = {':', char('0' + parte / 10), char('0' + parte % 10)};
        texto += QLatin1StringView(dois, 3);
    }
    return texto;
}

} // namespace

QString Aspas(const QString& value) {
    QString escaped = value;
    escaped.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

QString PermanecePonto(double value) {
    if (!std::isfinite(value))
        return kNull;
    if (value == 0)
        return QStringLiteral("0");
    // 15 significant digits is what a double holds exactly; more only shows binary noise.
    const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const int decimals = std::clamp(14 - magnitude, 0, 30);
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

QString PermanecePonto(const QString& value) {
    QString text = value.trimmed();
    const QChar decimal = text.lastIndexOf(QLatin1Char(',')) > text.lastIndexOf(QLatin1Char('.'))
                              ? QLatin1Char(',')
                              : QLatin1Char('.');
    text.remove(decimal == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(','));
    text.replace(decimal, QLatin1Char('.'));
    bool ok = false;
    const double number = text.toDouble(&ok); // QString::toDouble always reads the C format
    return ok ? PermanecePonto(number) : kNull;
}

QString DataSQL(const QDate& date) {
    if (!date.isValid())
        return kNull;
    return QLatin1Char('\'') + date.toString(QStringLiteral("MM/dd/yyyy")) + QLatin1Char('\'');
}

QString ValoresSql(const QVariantList& valores) {
    QStringList sql;
    sql.reserve(valores.size());
    for (const QVariant& v : valores)
        sql << ValorSql(v);
    return sql.join(QStringLiteral(", "));
}

QString ValorSql(const QVariant& valor) {
    if (!valor.isValid() || valor.isNull())
        return QStringLiteral("NULL");
    switch (valor.typeId()) {
    case QMetaType::QString: {
        const QString texto = valor.toString();
        return texto.isNull() ? QStringLiteral("NULL") : Aspas(texto);
    }
    case QMetaType::QDate:
        return DataSQL(valor.toDate());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return PermanecePonto(valor.toDouble());
    default:
        return Aspas(valor.toString());
    }
}

QString HoraSQL(const QTime& time) {
    if (!time.isValid())
        return kNull;
    return QLatin1Char('\'') + time.toString(QStringLiteral("HH:mm:ss")) + QLatin1Char('\'');
}

QString HoraSQL(const QDateTime& moment) {
    return moment.isValid() ? HoraSQL(moment.time()) : kNull;
}

double Arredondar(double value, int decimals) {
    if (!std::isfinite(value) || std::fabs(value) >= 1e15 || decimals > 15)
        return value;
    if (decimals < -15)
        return 0.0;
    // Shift the decimal point in text so that 2.675 scales to exactly 267.5, not 267.4999...
    const QStringList shown = QString::number(value, 'e', 14).split(QLatin1Char('e'));
    const int exponent = shown.at(1).toInt() + decimals;
    const double scaled = QStringLiteral("%1e%2").arg(shown.at(0)).arg(exponent).toDouble();
    const double whole = std::round(scaled); // halves away from zero
    const double result =
        QStringLiteral("%1e%2").arg(QString::number(whole, 'f', 0)).arg(-decimals).toDouble();
    return result == 0 ? 0.0 : result;
}

QString TempoString(double hours) {
    if (!std::isfinite(hours) || hours > 1e9)
        return QString();
    const qint64 total = std::llround(hours * 3600);
    return total < 0 ? QString() : textoDeSegundos(total);
}

double TempoNumerico(const QString& time) {
    const qint64 total = segundosDe(time);
    return total < 0 ? std::numeric_limits<double>::quiet_NaN() : total / 3600.0;
}

QString SomaTempoString(const QString& first, const QString& second) {
    const qint64 a = segundosDe(first);
    const qint64 b = segundosDe(second);
    return a < 0 || b < 0 ? QString() : textoDeSegundos(a + b);
}

bool ValidaData(const QString& date) {
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{2})/([0-9]{2})/([0-9]{4})$"));
    const QRegularExpressionMatch m = pattern.match(date.trimmed());
    return m.hasMatch() && LeData(date).isValid();
}

QStringList Explode(const QString& text, const QString& separator) {
    if (separator.isEmpty())
        return {text};
    return text.split(separator, Qt::KeepEmptyParts);
}

QString ZeroE(const QString& text, int width) {
    return text.trimmed().rightJustified(width, QLatin1Char('0'));
}

QString TiraPontos(const QString& text) {
    QString digits = text;
    digits.remove(QLatin1Char('.'));
    digits.remove(QLatin1Char('-'));
    digits.remove(QLatin1Char('/'));
    return digits;
}

QStringList CodigosDaLista(const QString& texto) {
    QStringList codigos;
    for (const QString& parte : texto.split(QLatin1Char(','))) {
        const QString codigo = parte.trimmed();
        if (!codigo.isEmpty() && !codigos.contains(codigo))
            codigos << codigo;
    }
    return codigos;
}

QString ListaSql(const QStringList& codigos) {
    QStringList literais;
    for (const QString& codigo : codigos)
        literais << Aspas(codigo);
    return literais.join(QLatin1Char(','));
}

QString NaListaSql(const QString& coluna, const QStringList& valores) {
    constexpr qsizetype kPorLista = 1000;
    if (valores.isEmpty())
        return QStringLiteral("(1 = 0)");
    QStringList listas;
    for (qsizetype i = 0; i < valores.size(); i += kPorLista)
        listas << QStringLiteral("%1 IN (%2)").arg(coluna, ListaSql(valores.mid(i, kPorLista)));
    return QLatin1Char('(') + listas.join(QStringLiteral(" OR ")) + QLatin1Char(')');
}

QString CondicaoIn(const QString& coluna, const QString& codigos) {
    const QStringList lista = CodigosDaLista(codigos);
    return lista.isEmpty() ? QString() : QStringLiteral(" AND ") + NaListaSql(coluna, lista);
}

QString AcrescentaCodigos(const QString& texto, const QStringList& escolhidos) {
    return CodigosDaLista(texto + QLatin1Char(',') + escolhidos.join(QLatin1Char(',')))
        .join(QLatin1Char(','));
}
