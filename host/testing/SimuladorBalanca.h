#pragma once
#include "HostExport.h"
#include <QProcess>
#include <QString>

// A scale on a pseudo-terminal, for tests and the working day: socat makes the pair, the script is what the
// scale sends. socat starts the script only once the port is opened, as a scale seen from the moment the
// port opens; the port may be closed and opened again while the script runs.
class KELMHOST_EXPORT SimuladorBalanca {
public:
    SimuladorBalanca(const QString& pasta, const QString& script);
    ~SimuladorBalanca();
    SimuladorBalanca(const SimuladorBalanca&) = delete;
    SimuladorBalanca& operator=(const SimuladorBalanca&) = delete;

    static bool Disponivel();
    // The same frame over and over, 20 a second, for five seconds: a scale standing on a weight.
    static QString Repete(const QString& quadro);

    QString Porta() const { return m_link; }
    // The device the port's name links to; empty when socat made none.
    QString Dispositivo() const { return m_dispositivo; }

private:
    QString m_link;
    QString m_dispositivo;
    QProcess m_socat;
};

// True while this process holds the device open.
KELMHOST_EXPORT bool PortaAberta(const QString& dispositivo);
