#include "RegrasProducao.h"
#include "Formatacao.h"

namespace {
const QString kFormato = QStringLiteral("HH:mm:ss");
constexpr int kDia = 24 * 60 * 60;
} // namespace

std::optional<QString> HoraDaFolha(const QString& digitada) {
    if (digitada.trimmed().isEmpty())
        return QString();
    const QTime hora = LeHora(digitada);
    if (!hora.isValid())
        return std::nullopt;
    return hora.toString(kFormato);
}

std::optional<QString> TempoPartida(const QString& inicio, const QString& fim) {
    const std::optional<QString> ini = HoraDaFolha(inicio), fin = HoraDaFolha(fim);
    if (!ini || !fin)
        return std::nullopt;
    if (ini->isEmpty() || fin->isEmpty())
        return QString();
    const QTime comeco = QTime::fromString(*ini, kFormato), termino = QTime::fromString(*fin, kFormato);
    if (termino == QTime(0, 0))
        return QStringLiteral("00:00:00");
    int segundos = comeco.secsTo(termino);
    if (segundos < 0)
        segundos += kDia; // from the start to midnight, then from midnight to the end
    return QTime(0, 0).addSecs(segundos).toString(kFormato);
}
