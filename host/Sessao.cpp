#include "Sessao.h"
#include "DataAccess.h"
#include <QCryptographicHash>

QString vUsuario;
QString vUsuarioCodigo;
QString vSupervisor;
QString vEmpresa = QStringLiteral("001");

namespace {
QPointer<QWidget> g_activeScreen;
}

void DefineTelaAtiva(QWidget* screen) {
    g_activeScreen = screen;
}
QWidget* TelaAtiva() {
    return g_activeScreen.data();
}

QString HashSenha(const QString& userCode, const QString& password) {
    return QString::fromLatin1(
        QCryptographicHash::hash((userCode + ':' + password).toUtf8(), QCryptographicHash::Sha256).toHex());
}

bool Autentica(const QString& name, const QString& password) {
    const QString user = name.trimmed();
    const QString code = Busca_Valor(QStringLiteral("ACESSO_USUARIOS"), QStringLiteral("NOME"),
                                     QStringLiteral("CODIGO"), {user});
    if (code.isEmpty())
        return false;
    const QString stored = Busca_Valor(QStringLiteral("ACESSO_USUARIOS"), QStringLiteral("CODIGO"),
                                       QStringLiteral("SENHA"), {code});
    const QString active = Busca_Valor(QStringLiteral("ACESSO_USUARIOS"), QStringLiteral("CODIGO"),
                                       QStringLiteral("ATIVO"), {code});
    if (stored != HashSenha(code, password) || active == QLatin1String("N"))
        return false;
    vUsuario = user;
    vUsuarioCodigo = code;
    vSupervisor.clear();
    return true;
}
