#pragma once
#include "HostExport.h"
#include <QObject>
#include <QPointer>
#include <QString>

// Who works on this workstation: the logged-in user, the supervisor who last released a right, the company
// of the physical tables and the screen whose handler runs (the audit log records it).
struct KELMHOST_EXPORT Sessao {
    QString usuario;
    QString usuarioCodigo;
    QString supervisor;
    QString empresa = QStringLiteral("001");
    QPointer<QObject> telaAtiva;
};
