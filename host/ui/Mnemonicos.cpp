#include "Mnemonicos.h"

QString ComMnemonico(const QString& text, QSet<QChar>& used) {
    if (const QChar given = Mnemonico(text); !given.isNull()) {
        used.insert(given);
        return text;
    }
    const QString plain = text;
    auto usable = [&](qsizetype i) { return plain[i].isLetter() && !used.contains(plain[i].toUpper()); };
    qsizetype chosen = -1;
    for (qsizetype i = 0; i < plain.size() && chosen < 0; ++i)
        if ((i == 0 || plain[i - 1].isSpace()) && usable(i))
            chosen = i;
    for (qsizetype i = 0; i < plain.size() && chosen < 0; ++i)
        if (usable(i))
            chosen = i;
    QString escaped = plain;
    escaped.replace(QLatin1Char('&'), QStringLiteral("&&"));
    if (chosen < 0)
        return escaped;
    used.insert(plain[chosen].toUpper());
    // Positions shift by one for every '&' doubled before the chosen letter.
    const qsizetype at = chosen + plain.left(chosen).count(QLatin1Char('&'));
    return escaped.insert(at, QLatin1Char('&'));
}

QChar Mnemonico(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&'))
            continue;
        if (text[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        if (text[i + 1].isLetterOrNumber())
            return text[i + 1].toUpper();
    }
    return {};
}

QString SemMnemonico(const QString& text) {
    QString plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size())
            ++i;
        plain += text[i];
    }
    return plain;
}
