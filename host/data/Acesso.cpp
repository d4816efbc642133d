#include "Acesso.h"
#include "DataAccess.h"
#include "DataContext.h"
#include "HostError.h"
#include "TZoDatabase.h"
#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QSet>
#include <QSqlQuery>

namespace {
const QString kPbkdf2 = QStringLiteral("pbkdf2-sha256");
constexpr int kSalBytes = 16;
constexpr int kChaveBytes = 32;

QSet<QString>& restrictedClasses() {
    static QSet<QString> classes;
    return classes;
}

QString legacyHash(const QString& userCode, const QString& password) {
    return QString::fromLatin1(
        QCryptographicHash::hash((userCode + ':' + password).toUtf8(), QCryptographicHash::Sha256).toHex());
}

// Equal-time comparison: how much of a guess matched is not told by how long the answer took.
bool sameBytes(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}

struct Usuario {
    bool existe = false;
    QString codigo, nome, senha;
    bool supervisor = false, administrador = false, ativo = false;
};

bool flag(const QVariant& value, bool whenNull) {
    const QString text = value.toString().trimmed().toUpper();
    return text.isEmpty() ? whenNull : text == QLatin1String("S");
}

// `field` is one of this file's own column names; the value is bound, cast to its own length so that a
// longer one simply matches nothing.
Usuario readUser(const QString& field, const QString& value) {
    Usuario u;
    if (value.isEmpty())
        return u;
    TZoDatabase* db = ConexaoHost();
    QSqlQuery q(db->Connection());
    q.setForwardOnly(true);
    db->Prepare(
        q,
        QStringLiteral("SELECT CODIGO, NOME, SENHA, SUPERVISOR, ADMINISTRADOR, ATIVO FROM ACESSO_USUARIOS "
                       "WHERE %1 = CAST(:V AS VARCHAR(%2))")
            .arg(field)
            .arg(value.size()),
        false);
    q.bindValue(QStringLiteral(":V"), value);
    db->Exec(q, false);
    if (!q.next())
        return u;
    u.existe = true;
    u.codigo = q.value(0).toString();
    u.nome = q.value(1).toString();
    u.senha = q.value(2).toString();
    u.supervisor = flag(q.value(3), false);
    u.administrador = flag(q.value(4), false);
    // As the log-in always read it: only 'N' makes a user inactive.
    u.ativo = q.value(5).toString().trimmed().toUpper() != QLatin1String("N");
    return u;
}

const char* const kActiveAdmins = "UPPER(ADMINISTRADOR) = 'S' AND COALESCE(UPPER(ATIVO), 'S') <> 'N'";
} // namespace

QByteArray Pbkdf2Sha256(const QByteArray& password, const QByteArray& salt, int iterations, int length) {
    QMessageAuthenticationCode mac(QCryptographicHash::Sha256, password);
    QByteArray key;
    for (quint32 block = 1; key.size() < length; ++block) {
        const char counter[4] = {char(block >> 24), char(block >> 16), char(block >> 8), char(block)};
        mac.reset();
        mac.addData(salt);
        mac.addData(counter, 4);
        QByteArray u = mac.result();
        QByteArray t = u;
        for (int i = 1; i < iterations; ++i) {
            mac.reset();
            mac.addData(u);
            u = mac.result();
            for (qsizetype j = 0; j < t.size(); ++j)
                t[j] = char(t[j] ^ u[j]);
        }
        key += t;
    }
    key.truncate(length);
    return key;
}

QString HashSenha(const QString& userCode, const QString& password) {
    Q_UNUSED(userCode);
    quint32 random[kSalBytes / 4];
    QRandomGenerator::system()->fillRange(random);
    const QByteArray salt(reinterpret_cast<const char*>(random), kSalBytes);
    const QByteArray key = Pbkdf2Sha256(password.toUtf8(), salt, kIteracoesSenha, kChaveBytes);
    return QStringLiteral("%1$%2$%3$%4")
        .arg(kPbkdf2)
        .arg(kIteracoesSenha)
        .arg(QString::fromLatin1(salt.toBase64()), QString::fromLatin1(key.toBase64()));
}

bool ConfereSenha(const QString& userCode, const QString& password, const QString& stored) {
    const QStringList parts = stored.trimmed().split('$');
    if (parts.size() == 4 && parts[0] == kPbkdf2) {
        bool ok = false;
        const int iterations = parts[1].toInt(&ok);
        const QByteArray salt = QByteArray::fromBase64(parts[2].toLatin1());
        const QByteArray key = QByteArray::fromBase64(parts[3].toLatin1());
        // A number no one stores is refused rather than run for hours.
        if (!ok || iterations < 1 || iterations > 10'000'000 || salt.isEmpty() || key.isEmpty())
            return false;
        return sameBytes(Pbkdf2Sha256(password.toUtf8(), salt, iterations, int(key.size())), key);
    }
    if (parts.size() == 1 && stored.trimmed().size() == 64)
        return sameBytes(legacyHash(userCode, password).toLatin1(), stored.trimmed().toLower().toLatin1());
    return false;
}

bool SenhaAntiga(const QString& stored) {
    const QStringList parts = stored.trimmed().split('$');
    return parts.size() != 4 || parts[0] != kPbkdf2 || parts[1].toInt() < kIteracoesSenha;
}

bool Autentica(const QString& name, const QString& password) {
    const Usuario user = readUser(QStringLiteral("NOME"), name.trimmed());
    if (!user.existe) {
        // As long as for a known name: the time taken does not tell which names exist.
        ConfereSenha(QString(), password,
                     QStringLiteral("%1$%2$AAAAAAAAAAAAAAAAAAAAAA==$AAAA").arg(kPbkdf2).arg(kIteracoesSenha));
        return false;
    }
    if (!ConfereSenha(user.codigo, password, user.senha) || !user.ativo)
        return false;
    Sessao& session = SessaoAtual();
    session.usuario = user.nome;
    session.usuarioCodigo = user.codigo;
    session.supervisor.clear();
    TZoDatabase* db = ConexaoHost();
    if (SenhaAntiga(user.senha) && !db->Dirty()) {
        // Only if the password is still the one just checked: a change made meanwhile elsewhere stays.
        QSqlQuery q(db->Connection());
        db->Prepare(
            q, QStringLiteral("UPDATE ACESSO_USUARIOS SET SENHA = :S WHERE CODIGO = :C AND SENHA = :ANTES"),
            true);
        q.bindValue(QStringLiteral(":S"), HashSenha(user.codigo, password));
        q.bindValue(QStringLiteral(":C"), user.codigo);
        q.bindValue(QStringLiteral(":ANTES"), user.senha);
        db->Exec(q, true);
        if (q.numRowsAffected() > 0)
            GeraLog(QStringLiteral("USUÁRIOS"),
                    QStringLiteral("Senha do usuário %1 (%2) guardada no formato atual, no acesso.")
                        .arg(user.codigo, user.nome),
                    opOutros, user.codigo);
        db->Transaction()->CommitRetaining();
    }
    return true;
}

void GravaSenha(const QString& userCode, const QString& password) {
    TZoDatabase* db = ConexaoHost();
    QSqlQuery q(db->Connection());
    db->Prepare(q, QStringLiteral("UPDATE ACESSO_USUARIOS SET SENHA = :S WHERE CODIGO = :C"), true);
    q.bindValue(QStringLiteral(":S"), HashSenha(userCode, password));
    q.bindValue(QStringLiteral(":C"), userCode);
    db->Exec(q, true);
    if (q.numRowsAffected() == 0)
        throw EDatabaseError(QStringLiteral("Usuário %1 não cadastrado.").arg(userCode));
}

bool AlteraSenha(const QString& userCode, const QString& currentPassword, const QString& newPassword,
                 QString& reason, QObject* screen) {
    const QString self = vUsuarioCodigo();
    const Usuario user = readUser(QStringLiteral("CODIGO"), userCode);
    if (!user.existe) {
        reason = QStringLiteral("Usuário %1 não cadastrado.").arg(userCode);
        return false;
    }
    const bool own = !self.isEmpty() && user.codigo == self;
    if (own) {
        if (!ConfereSenha(user.codigo, currentPassword, user.senha)) {
            reason = QStringLiteral("A senha atual não confere.");
            return false;
        }
    } else if (!EhAdministrador(self)) {
        reason = QStringLiteral("Somente um administrador define a senha de outro usuário.");
        return false;
    }
    if (newPassword.isEmpty()) {
        reason = QStringLiteral("Informe a nova senha.");
        return false;
    }
    GravaSenha(user.codigo, newPassword);
    GeraLog(QStringLiteral("USUÁRIOS"),
            (own ? QStringLiteral("Senha alterada pelo próprio usuário %1 (%2).")
                 : QStringLiteral("Senha definida para o usuário %1 (%2)."))
                .arg(user.codigo, user.nome),
            opAlteracao, user.codigo, screen);
    reason.clear();
    return true;
}

bool EhAdministrador(const QString& userCode) {
    const Usuario user = readUser(QStringLiteral("CODIGO"), userCode);
    return user.existe && user.ativo && user.administrador;
}

bool RestaOutroAdministrador(const QString& userCode) {
    TZoDatabase* db = ConexaoHost();
    {
        QSqlQuery lock(db->Connection());
        db->Exec(lock,
                 QStringLiteral("UPDATE ACESSO_USUARIOS SET ADMINISTRADOR = ADMINISTRADOR WHERE ") +
                     QLatin1String(kActiveAdmins),
                 true);
    }
    QSqlQuery q(db->Connection());
    q.setForwardOnly(true);
    db->Prepare(q,
                QStringLiteral("SELECT COUNT(*) FROM ACESSO_USUARIOS WHERE %1 AND CODIGO <> :C")
                    .arg(QLatin1String(kActiveAdmins)),
                false);
    q.bindValue(QStringLiteral(":C"), userCode);
    db->Exec(q, false);
    return q.next() && q.value(0).toInt() > 0;
}

void RegistraClasseRestrita(const QString& className) {
    restrictedClasses().insert(className);
}

bool ClasseRestrita(const QString& className) {
    return restrictedClasses().contains(className);
}

bool TemDireito(const QString& userCode, const QString& className, const QString& letter, int level) {
    const Usuario user = readUser(QStringLiteral("CODIGO"), userCode);
    if (!user.existe || !user.ativo)
        return false;
    if (user.administrador)
        return true;
    TZoDatabase* db = ConexaoHost();
    QSqlQuery q(db->Connection());
    q.setForwardOnly(true);
    db->Prepare(
        q,
        QStringLiteral("SELECT MAX(NIVEL) FROM ACESSO_DIREITOS WHERE USUARIO = :U AND %1 AND LETRA = :L")
            .arg(ClasseRestrita(className) ? QStringLiteral("CLASSE = :C")
                                           : QStringLiteral("(CLASSE = :C OR CLASSE = '*')")),
        false);
    q.bindValue(QStringLiteral(":U"), user.codigo);
    q.bindValue(QStringLiteral(":C"), className);
    q.bindValue(QStringLiteral(":L"), letter.toUpper());
    db->Exec(q, false);
    return q.next() && !q.value(0).isNull() && q.value(0).toInt() >= level;
}

bool PodeAbrir(const QString& userCode, const QString& className) {
    return TemDireito(userCode, className, QStringLiteral("A"), 0);
}

bool Acessa(const QString& className, const QString& letter, const QString& level, const QString& text) {
    Q_UNUSED(text);
    const int wanted = level.trimmed().toInt();
    if (TemDireito(vUsuarioCodigo(), className, letter, wanted))
        return true;
    DataContext* context = DataContext::Current();
    const QString title = QStringLiteral("Liberação por Supervisor");
    QString name, password;
    if (!context || !context->PedeLogin || !context->PedeLogin(title, name, password))
        return false;
    const Usuario supervisor = readUser(QStringLiteral("NOME"), name.trimmed());
    // An inactive supervisor holds no right (TemDireito), so he releases none.
    if (!supervisor.existe || !ConfereSenha(supervisor.codigo, password, supervisor.senha) ||
        !supervisor.supervisor || !TemDireito(supervisor.codigo, className, letter, wanted)) {
        if (context->Avisa)
            context->Avisa(title, QStringLiteral("Usuário ou senha de supervisor inválidos."));
        return false;
    }
    context->Session().supervisor = supervisor.nome;
    return true;
}

QString FuncionarioDoUsuario() {
    return Busca_Valor(QStringLiteral("ACESSO_USUARIOS"), QStringLiteral("CODIGO"), QStringLiteral("CODFUN"),
                       QVariantList{vUsuarioCodigo()})
        .trimmed();
}
