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

// The current session of the host context; an empty one when there is no context.
KELMHOST_EXPORT Sessao& SessaoAtual();

KELMHOST_EXPORT QString vUsuario();       // user name
KELMHOST_EXPORT QString vUsuarioCodigo(); // user code
KELMHOST_EXPORT QString vSupervisor();    // supervisor who last granted a right the user lacks
KELMHOST_EXPORT QString vEmpresa();       // company code of the physical tables ("001")

KELMHOST_EXPORT void DefineTelaAtiva(QObject* screen);
KELMHOST_EXPORT QObject* TelaAtiva();
