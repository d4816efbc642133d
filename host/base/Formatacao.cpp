#include "Formatacao.h"
#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <QTime>
#include <cmath>
#include <optional>

namespace {
const QLocale& brazil(bool agrupa = true) {
    static const QLocale locale(QLocale::Portuguese, QLocale::Brazil);
    static const QLocale semGrupos = [] {
        QLocale l(QLocale::Portuguese, QLocale::Brazil);
        l.setNumberOptions(QLocale::OmitGroupSeparator);
        return l;
    }();
    return agrupa ? locale : semGrupos;
}

bool isNumber(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
        return true;
    default:
        return false;
    }
}

// Decimals a value needs to be shown exactly, up to six.
int neededDecimals(double value) {
    QString text = QString::number(std::fabs(value), 'f', 6);
    while (text.endsWith('0'))
        text.chop(1);
    const qsizetype point = text.indexOf('.');
    return point < 0 ? 0 : int(text.size() - point - 1);
}
// Dates and times read alike in both forms; only a moment's seconds differ.
std::optional<QString> dateText(const QVariant& value, const QString& momentFormat) {
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::QDateTime:
        return value.toDateTime().toString(momentFormat);
    case QMetaType::QTime:
        return value.toTime().toString(QStringLiteral("HH:mm:ss"));
    default:
        return std::nullopt;
    }
}
} // namespace

QString TextoExibicao(const QVariant& value, int decimals, bool agrupa) {
    if (value.isNull() || !value.isValid())
        return {};
    if (const auto date = dateText(value, QStringLiteral("dd/MM/yyyy HH:mm")))
        return *date;
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("Sim") : QStringLiteral("Não");
    case QMetaType::Double:
    case QMetaType::Float: {
        const double number = value.toDouble();
        if (!std::isfinite(number))
            return {};
        return brazil(agrupa).toString(number, 'f', decimals < 0 ? neededDecimals(number) : decimals);
    }
    default:
        // Whole numbers are mostly codes and counts (FAL 24100, year 2026): no grouping.
        if (isNumber(value) && decimals > 0)
            return brazil(agrupa).toString(value.toDouble(), 'f', decimals);
        return value.toString();
    }
}

QString TextoValor(const QVariant& value) {
    if (value.isNull() || !value.isValid())
        return {};
    if (const auto date = dateText(value, QStringLiteral("dd/MM/yyyy HH:mm:ss")))
        return *date;
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'g', 15);
    default:
        return value.toString();
    }
}

QDate LeData(const QString& text) {
    const QString typed = text.trimmed();
    QDate date = QDate::fromString(typed, QStringLiteral("dd/MM/yyyy"));
    if (!date.isValid())
        date = QDate::fromString(typed, QStringLiteral("d/M/yyyy"));
    return date.year() >= 1900 && date.year() <= 2099 ? date : QDate();
}

QTime LeHora(const QString& text) {
    static const QRegularExpression withColon(QStringLiteral(R"(^(\d{1,2}):(\d{2})(?::(\d{2}))?$)"));
    static const QRegularExpression digitsOnly(QStringLiteral(R"(^\d{1,4}$)"));
    const QString typed = text.trimmed();
    int hour = -1, minute = 0, second = 0;
    // "HH:mm" and "HH:mm:ss", as the database keeps times, read without the expression: reports read
    // tens of thousands.
    const auto digito = [&typed](int i) { return typed[i].isDigit() ? typed[i].digitValue() : -100; };
    if ((typed.size() == 5 || typed.size() == 8) && typed[2] == QLatin1Char(':') &&
        (typed.size() == 5 || typed[5] == QLatin1Char(':'))) {
        hour = digito(0) * 10 + digito(1);
        minute = digito(3) * 10 + digito(4);
        second = typed.size() == 8 ? digito(6) * 10 + digito(7) : 0;
    } else if (const auto m = withColon.match(typed); m.hasMatch()) {
        hour = m.captured(1).toInt();
        minute = m.captured(2).toInt();
        second = m.hasCaptured(3) ? m.captured(3).toInt() : 0;
    } else if (digitsOnly.match(typed).hasMatch()) {
        // Up to two digits are the hour; three or four end in the minutes ("800" is 8:00, "0815" 8:15).
        hour = typed.size() <= 2 ? typed.toInt() : typed.left(typed.size() - 2).toInt();
        minute = typed.size() <= 2 ? 0 : typed.right(2).toInt();
    }
    return QTime::isValid(hour, minute, second) ? QTime(hour, minute, second) : QTime();
}

bool LeNumero(const QString& text, double& value) {
    static const QRegularExpression shape(QStringLiteral(R"(^([+-]?)(\d{1,3}(?:\.\d{3})+|\d+)(?:,(\d+))?$)"));
    const auto match = shape.match(text.trimmed());
    if (!match.hasMatch())
        return false;
    QString plain = match.captured(2).remove('.');
    if (match.hasCaptured(3))
        plain += '.' + match.captured(3);
    bool ok = false;
    const double number = plain.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return false;
    value = match.captured(1) == QLatin1String("-") ? -number : number;
    return true;
}

qint64 Gramas(double quilos) {
    return std::llround(quilos * 1000);
}

int MinutosDoTempo(const QString& texto) {
    // Seconds are dropped: curves are timed in minutes.
    static const QRegularExpression formato(QStringLiteral("^(\\d{1,3}):([0-5]\\d)(?::[0-5]\\d)?$"));
    const QRegularExpressionMatch partes = formato.match(texto.trimmed());
    if (!partes.hasMatch())
        return -1;
    return partes.captured(1).toInt() * 60 + partes.captured(2).toInt();
}

QString TempoDosMinutos(int minutos) {
    if (minutos < 0)
        return {};
    return QStringLiteral("%1:%2")
        .arg(minutos / 60, 2, 10, QLatin1Char('0'))
        .arg(minutos % 60, 2, 10, QLatin1Char('0'));
}
