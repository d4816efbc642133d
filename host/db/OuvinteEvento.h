#pragma once
#include "HostExport.h"
#include <QObject>
#include <QPointer>
#include <QTimer>

class TZoDatabase;

// Listens to one database event (POST_EVENT in a trigger, told once its transaction commits) on a
// connection, for a screen that must follow what other users change: the events of a burst are gathered
// into one `Chegou` after `esperaMs` of quiet, so a hundred commits cost a few refreshes. The subscription
// lives as long as the listener and is renewed when the connection is opened again.
class KELMHOST_EXPORT OuvinteEvento : public QObject {
    Q_OBJECT
public:
    OuvinteEvento(TZoDatabase& conexao, const QString& evento, int esperaMs = 150, QObject* parent = nullptr);
    ~OuvinteEvento() override;
    // Subscribed now: false when the engine refused it (a firewalled server), and the screen polls instead.
    bool Ativo() const { return m_ativo; }

signals:
    void Chegou();

private:
    QPointer<TZoDatabase> m_conexao;
    QString m_evento;
    QTimer m_espera;
    bool m_ativo = false;
};
