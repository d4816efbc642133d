#include "Balanca.h"
#include "LocalSettings.h"
#include <QStringList>

namespace {
bool ehDigito(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool temDigito(QStringView text) {
    for (QChar c : text)
        if (ehDigito(c))
            return true;
    return false;
}

// Frames between two terminators; the first and the last pieces may be cut.
QStringList pedacos(const QString& reply, QChar terminator) {
    return reply.split(terminator);
}
} // namespace

static std::optional<PesoBalanca> leQuadro(const QString& frame, int decimals) {
    qsizetype inicio = 0;
    while (inicio < frame.size() && !ehDigito(frame[inicio]))
        ++inicio;
    if (inicio == frame.size())
        return std::nullopt;

    bool negativo = false;
    for (qsizetype i = inicio - 1; i >= 0; --i) {
        if (frame[i].isSpace())
            continue;
        negativo = frame[i] == u'-';
        break;
    }

    qsizetype fim = inicio;
    while (fim < frame.size() && ehDigito(frame[fim]))
        ++fim;
    QString inteiro = frame.mid(inicio, fim - inicio);
    QString fracao;
    bool separador = false;
    if (fim + 1 < frame.size() && (frame[fim] == u'.' || frame[fim] == u',') && ehDigito(frame[fim + 1])) {
        separador = true;
        qsizetype f = fim + 1;
        while (f < frame.size() && ehDigito(frame[f]))
            ++f;
        fracao = frame.mid(fim + 1, f - fim - 1);
        fim = f;
    }

    const QStringView resto = QStringView(frame).mid(fim);
    if (temDigito(resto))
        return std::nullopt;

    qsizetype u = 0;
    while (u < resto.size() && resto[u].isSpace())
        ++u;
    qsizetype uFim = u;
    while (uFim < resto.size() && resto[uFim].isLetter())
        ++uFim;
    const QString unidade = resto.mid(u, uFim - u).toString().toLower();
    double divisor = 1.0;
    const bool nomeada = unidade == u"kg" || unidade == u"g";
    if (unidade == u"g")
        divisor = 1000.0;
    else if (unidade == u"lb" || unidade == u"lbs" || unidade == u"oz" || unidade == u"t")
        return std::nullopt;

    if (!separador && decimals > 0 && decimals <= 6) {
        inteiro = inteiro.rightJustified(decimals + 1, u'0');
        fracao = inteiro.right(decimals);
        inteiro.chop(decimals);
    }
    bool ok = false;
    double valor = (fracao.isEmpty() ? inteiro : inteiro + u'.' + fracao).toDouble(&ok);
    if (!ok)
        return std::nullopt;
    valor /= divisor;
    if (negativo && valor != 0.0)
        valor = -valor;
    return PesoBalanca{valor, nomeada};
}

std::optional<double> PesoDoQuadro(const QString& frame, int decimals) {
    const auto peso = leQuadro(frame, decimals);
    return peso ? std::optional<double>(peso->kg) : std::nullopt;
}

bool TemQuadroCompleto(const QString& reply, QChar terminator) {
    if (ehDigito(terminator))
        return false;
    const QStringList p = pedacos(reply, terminator);
    for (qsizetype i = 1; i + 1 < p.size(); ++i)
        if (!p[i].trimmed().isEmpty())
            return true;
    return false;
}

std::optional<PesoBalanca> LeQuadroBalanca(const QString& reply, QChar terminator, int decimals) {
    // A digit would cut the weight itself apart ("10.05" at "0"): no frame can end there.
    if (ehDigito(terminator))
        return std::nullopt;
    const QStringList p = pedacos(reply, terminator);
    if (p.size() < 2)
        return std::nullopt;
    // The last complete frame that holds a weight.
    for (qsizetype i = p.size() - 2; i >= 1; --i) {
        if (p[i].trimmed().isEmpty())
            continue;
        if (auto peso = leQuadro(p[i], decimals))
            return peso;
    }
    // The first piece may be a frame's tail: trusted only when nothing else came.
    for (qsizetype i = 1; i < p.size(); ++i)
        if (!p[i].trimmed().isEmpty())
            return std::nullopt;
    return leQuadro(p[0], decimals);
}

std::optional<PesoBalanca> LeQuadroBalanca(const QString& reply, int decimals) {
    return leQuadro(reply, decimals);
}

std::optional<double> PegaPesoBalanca(const QString& reply, QChar terminator, int decimals) {
    const auto peso = LeQuadroBalanca(reply, terminator, decimals);
    return peso ? std::optional<double>(peso->kg) : std::nullopt;
}

int DecimaisBalanca(const QString& scale) {
    const QString nome = scale.trimmed();
    if (nome.isEmpty())
        return 0;
    QString texto;
    if (nome.compare(u"PADRÃO", Qt::CaseInsensitive) == 0 ||
        nome.compare(u"PADRAO", Qt::CaseInsensitive) == 0)
        texto = LeIni(QStringLiteral("Parametros"), QStringLiteral("Decimal"));
    else
        texto = LeIni(QStringLiteral("Balanca"), nome + QStringLiteral("/Decimal"));
    bool ok = false;
    const int decimais = texto.trimmed().toInt(&ok);
    // A scale keeps a handful of decimals; anything else is a typing slip, not a scale.
    return ok && decimais > 0 && decimais <= 6 ? decimais : 0;
}

std::optional<double> PegaPesoBalanca(const QString& reply, QChar terminator, const QString& scale) {
    return PegaPesoBalanca(reply, terminator, DecimaisBalanca(scale));
}
