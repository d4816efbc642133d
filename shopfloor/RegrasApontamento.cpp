#include "RegrasApontamento.h"
#include "Formatacao.h"

QString TextoData(const QDate& data) {
    return data.isValid() ? data.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

QString TextoHora(const QTime& hora) {
    return hora.isValid() ? hora.toString(QStringLiteral("HH:mm")) : QString();
}

QString HoraGravada(const QTime& hora) {
    return hora.isValid() ? hora.toString(QStringLiteral("HH:mm:ss")) : QString();
}

QString HoraDaTabela(const QString& hora) {
    const QTime lida = LeHora(hora);
    return lida.isValid() ? TextoHora(lida) : hora.trimmed();
}

bool ConcluidoValido(const QString& concluido) {
    const QString c = concluido.trimmed().toUpper();
    return c == QLatin1String("S") || c == QLatin1String("R") || c == QLatin1String("N");
}

QDate DataProducao(const QDate& data, const QDate& hoje) {
    return !data.isValid() || data == QDate(1899, 12, 30) ? hoje : data;
}

namespace {
// A missing hour and one that is no time are told apart.
QString HoraInvalida(const QString& coluna, const QString& digitado) {
    return digitado.trimmed().isEmpty()
               ? coluna + QStringLiteral(" não cadastrada.")
               : QStringLiteral("%1: \"%2\" não é uma hora válida.").arg(coluna, digitado.trimmed());
}
} // namespace

QStringList ConfereLinha(const LinhaApontamento& linha, const CadastrosApontamento& cadastros) {
    QStringList falhas;
    const QDate dataInicio = LeData(linha.dataInicio), dataFim = LeData(linha.dataFim);
    const QTime horaInicio = LeHora(linha.horaInicio), horaFim = LeHora(linha.horaFim);
    if (!EtapaConcluida(linha.concluido)) {
        // What was typed must be possible even where it is not required.
        if (!linha.dataInicio.trimmed().isEmpty() && !dataInicio.isValid())
            falhas << QStringLiteral("Data Inicial não cadastrada.");
        if (!linha.horaInicio.trimmed().isEmpty() && !horaInicio.isValid())
            falhas << HoraInvalida(QStringLiteral("Hora Inicial"), linha.horaInicio);
        if (!linha.dataFim.trimmed().isEmpty())
            falhas << QStringLiteral("Para digitação da Data Final é preciso concluir o Processo.");
        return falhas;
    }
    if (!cadastros.funcionarios.contains(linha.funcionario.trimmed()))
        falhas << QStringLiteral("Funcionário não cadastrado.");
    if (!cadastros.maquinas.contains(linha.maquina.trimmed()))
        falhas << QStringLiteral("Máquina não cadastrada.");
    if (!cadastros.turnos.contains(linha.turno.trimmed()))
        falhas << QStringLiteral("Turno não cadastrado.");
    if (!dataInicio.isValid())
        falhas << QStringLiteral("Data Inicial não cadastrada.");
    if (!horaInicio.isValid())
        falhas << HoraInvalida(QStringLiteral("Hora Inicial"), linha.horaInicio);
    if (!dataFim.isValid())
        falhas << QStringLiteral("Data Final não cadastrada.");
    if (!horaFim.isValid())
        falhas << HoraInvalida(QStringLiteral("Hora Final"), linha.horaFim);
    if (dataInicio.isValid() && horaInicio.isValid() && dataFim.isValid() && horaFim.isValid() &&
        QDateTime(dataFim, horaFim) < QDateTime(dataInicio, horaInicio))
        falhas << QStringLiteral("Data/Hora Final anterior à Inicial.");
    return falhas;
}

bool EtapaLiberada(const QList<EtapaOrdem>& etapas, int ordem, bool pendente, bool ultima) {
    if (pendente && ultima)
        return true;
    for (const EtapaOrdem& etapa : etapas)
        if (etapa.ordem < ordem && !etapa.concluida)
            return false;
    return true;
}

RegistroEtapa RegistroDaEtapa(const MudancaEtapa& mudanca) {
    const QString pendente = mudanca.pendenteGravado.trimmed().toUpper();
    if (pendente.isEmpty() || pendente == QLatin1String("S"))
        return RegistroEtapa::Movimentacao;
    if (mudanca.dataFimMudou || mudanca.horaInicioMudou || mudanca.horaFimMudou || mudanca.turnoMudou)
        return RegistroEtapa::Alteracao;
    return RegistroEtapa::Nenhum;
}

QString TextoRegistroEtapa(RegistroEtapa registro, const QString& fal, const QString& fase,
                           const QString& produto, const LinhaApontamento& linha) {
    if (registro == RegistroEtapa::Nenhum)
        return {};
    const QString inicio = registro == RegistroEtapa::Movimentacao
                               ? QStringLiteral("MOVIMENTACAO DA FAL NR.: ")
                               : QStringLiteral("ALTERACAO DA FAL NR.: ");
    return inicio + fal + QStringLiteral(" FASE: ") + fase + QStringLiteral(" COD: ") + produto +
           QStringLiteral(" DT INI ") + linha.dataInicio.trimmed() + QStringLiteral(" HR INI ") +
           linha.horaInicio.trimmed() + QStringLiteral(" DT FIM ") + linha.dataFim.trimmed() +
           QStringLiteral(" HR FIM ") + linha.horaFim.trimmed() + QStringLiteral(" TUR ") +
           linha.turno.trimmed();
}
