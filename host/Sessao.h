#pragma once
#include "HostExport.h"
#include <QPointer>
#include <QString>
#include <QWidget>

// The logged-in user, as every screen sees it.
extern KELMHOST_EXPORT QString vUsuario;       // user name
extern KELMHOST_EXPORT QString vUsuarioCodigo; // user code
extern KELMHOST_EXPORT QString vSupervisor;    // supervisor who last granted a right the user lacks
extern KELMHOST_EXPORT QString vEmpresa;       // company code of the physical tables ("001")

// The screen whose handler is running; the audit log records it.
KELMHOST_EXPORT void DefineTelaAtiva(QWidget* screen);
KELMHOST_EXPORT QWidget* TelaAtiva();

KELMHOST_EXPORT QString HashSenha(const QString& userCode, const QString& password);
// Checks name and password against the users table and makes that user current.
KELMHOST_EXPORT bool Autentica(const QString& name, const QString& password);
