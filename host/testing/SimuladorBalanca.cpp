#include "SimuladorBalanca.h"
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

SimuladorBalanca::SimuladorBalanca(const QString& pasta, const QString& script) : m_link(pasta + "/balanca") {
    QDir().mkpath(pasta);
    QFile arquivo(pasta + "/balanca.sh");
    if (!arquivo.open(QIODevice::WriteOnly) || arquivo.write(script.toUtf8()) < 0)
        return;
    arquivo.close();
    m_socat.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_socat.start(QStandardPaths::findExecutable(QStringLiteral("socat")),
                  {QStringLiteral("pty,raw,echo=0,wait-slave,ignoreeof,pty-interval=0.01,link=") + m_link,
                   QStringLiteral("EXEC:sh ") + arquivo.fileName()});
    for (QDeadlineTimer prazo(5000); !prazo.hasExpired(); QThread::msleep(10))
        if (QFileInfo::exists(m_link)) {
            m_dispositivo = QFileInfo(m_link).canonicalFilePath();
            break;
        }
}

SimuladorBalanca::~SimuladorBalanca() {
    m_socat.terminate();
    if (!m_socat.waitForFinished(2000)) {
        m_socat.kill();
        m_socat.waitForFinished(2000);
    }
}

bool SimuladorBalanca::Disponivel() {
    return !QStandardPaths::findExecutable(QStringLiteral("socat")).isEmpty();
}

QString SimuladorBalanca::Repete(const QString& quadro) {
    return QStringLiteral("i=0; while [ $i -lt 100 ]; do printf '%1'; sleep 0.05; i=$((i+1)); done\n")
        .arg(quadro);
}

bool PortaAberta(const QString& dispositivo) {
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QFileInfo& fd : fds.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        if (fd.symLinkTarget() == dispositivo)
            return true;
    return false;
}
