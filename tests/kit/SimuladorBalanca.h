#pragma once
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

// A scale on a pseudo-terminal: socat makes the pair, the script is what the scale sends. socat starts the
// script only once the port is opened, as a scale seen from the moment the port opens; the port may be
// closed and opened again while the script runs.
class Simulador {
public:
    Simulador(const QString& pasta, const QString& script) : m_link(pasta + "/balanca") {
        QDir().mkpath(pasta);
        QFile arquivo(pasta + "/balanca.sh");
        if (!arquivo.open(QIODevice::WriteOnly) || arquivo.write(script.toUtf8()) < 0)
            qFatal("script");
        arquivo.close();
        m_socat.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_socat.start(
            QStandardPaths::findExecutable("socat"),
            {"pty,raw,echo=0,wait-slave,ignoreeof,pty-interval=0.01,link=" + m_link, "EXEC:sh " + arquivo.fileName()});
        if (QTest::qWaitFor([this] { return QFileInfo::exists(m_link); }, 5000))
            m_dispositivo = QFileInfo(m_link).canonicalFilePath();
    }
    ~Simulador() {
        m_socat.terminate();
        if (!m_socat.waitForFinished(2000)) {
            m_socat.kill();
            m_socat.waitForFinished(2000);
        }
    }
    Simulador(const Simulador&) = delete;
    Simulador& operator=(const Simulador&) = delete;
    static bool Disponivel() { return !QStandardPaths::findExecutable("socat").isEmpty(); }
    QString Porta() const { return m_link; }
    QString Dispositivo() const { return m_dispositivo; }

    // The same frame over and over, 20 a second, for five seconds: a scale standing on a weight.
    static QString Repete(const QString& quadro) {
        return QStringLiteral("i=0; while [ $i -lt 100 ]; do printf '%1'; sleep 0.05; i=$((i+1)); done\n")
            .arg(quadro);
    }

private:
    QString m_link;
    QString m_dispositivo;
    QProcess m_socat;
};

// True while this process holds the device open.
inline bool Aberto(const QString& dispositivo) {
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QFileInfo& fd : fds.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        if (fd.symLinkTarget() == dispositivo)
            return true;
    return false;
}
