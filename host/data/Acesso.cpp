#include "Acesso.h"
#include "DataAccess.h"
#include "DataContext.h"
#include "TZoDatabase.h"
#include <QCryptographicHash>
#include <QSqlQuery>

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
    Sessao& session = SessaoAtual();
    session.usuario = user;
    session.usuarioCodigo = code;
    session.supervisor.clear();
    return true;
}

bool TemDireito(const QString& userCode, const QString& className, const QString& letter, int level) {
    if (Busca_Valor(QStringLiteral("ACESSO_USUARIOS"), QStringLiteral("CODIGO"),
                    QStringLiteral("ADMINISTRADOR"), {userCode}) == QLatin1String("S"))
        return true;
    TZoDatabase* db = ConexaoHost();
    QSqlQuery q(db->Connection());
    q.setForwardOnly(true);
    db->Prepare(q,
                QStringLiteral("SELECT MAX(NIVEL) FROM ACESSO_DIREITOS WHERE USUARIO = :U "
                               "AND (CLASSE = :C OR CLASSE = '*') AND LETRA = :L"),
                false);
    q.bindValue(QStringLiteral(":U"), userCode);
    q.bindValue(QStringLiteral(":C"), className);
    q.bindValue(QStringLiteral(":L"), letter.toUpper());
    db->Exec(q, false);
    return q.next() && !q.value(0).isNull() && q.value(0).toInt() >= level;
}

bool Acessa(const QString& className, const QString& letter, const QString& level, const QString& text) {
    Q_UNUSED(text);
    const int wanted = level.trimmed().toInt();
    if (TemDireito(vUsuarioCodigo(), className, letter, wanted))
        return true;
    DataContext* context = DataContext::Current();
    const QString title = QStringLiteral("Liberação por Supervisor");
    QString user, password;
    if (!context || !context->PedeLogin || !context->PedeLogin(title, user, password))
        return false;
    const QString code = Busca_Valor(QStringLiteral("ACESSO_USUARIOS"), QStringLiteral("NOME"),
                                     QStringLiteral("CODIGO"), {user});
    const QString stored = Busca_Valor(QStringLiteral("ACESSO_USUARIOS"), QStringLiteral("NOME"),
                                       QStringLiteral("SENHA"), {user});
    const QString supervisor = Busca_Valor(QStringLiteral("ACESSO_USUARIOS"), QStringLiteral("NOME"),
                                           QStringLiteral("SUPERVISOR"), {user});
    if (code.isEmpty() || stored != HashSenha(code, password) || supervisor != QLatin1String("S") ||
        !TemDireito(code, className, letter, wanted)) {
        if (context->Avisa)
            context->Avisa(title, QStringLiteral("Usuário ou senha de supervisor inválidos."));
        return false;
    }
    context->Session().supervisor = user;
    return true;
}
