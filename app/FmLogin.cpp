#include "FmLogin.h"
#include "Acesso.h"
#include "DataContext.h"
#include "LocalSettings.h"
#include "Protecao.h"
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFmLogin::TFmLogin(const QString& database, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FmLogin"));
    setWindowTitle(QStringLiteral("Acesso ao Sistema"));
    auto* form = new QFormLayout(this);
    auto* title = new QLabel(QStringLiteral("<b>Tinturaria e Beneficiamento</b><br><small>%1</small>")
                                 .arg(database.toHtmlEscaped()),
                             this);
    form->addRow(title);
    m_user = new QLineEdit(LeIni(QStringLiteral("Acesso"), QStringLiteral("usuario")), this);
    m_user->setObjectName(QStringLiteral("EdtUsuario"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("EdtSenha"));
    m_password->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("Usuário:"), m_user);
    form->addRow(QStringLiteral("Senha:"), m_password);
    m_error = new QLabel(this);
    m_error->setObjectName(QStringLiteral("LblErro"));
    m_error->setStyleSheet(QStringLiteral("color: #b00020"));
    form->addRow(m_error);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Entrar"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("&Cancelar"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, Protegido([this] { Entrar(); }));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    if (!m_user->text().isEmpty())
        m_password->setFocus();
}

void TFmLogin::Entrar() {
    if (Autentica(m_user->text(), m_password->text())) {
        GravaIni(QStringLiteral("Acesso"), QStringLiteral("usuario"), vUsuario());
        accept();
        return;
    }
    m_password->clear();
    m_password->setFocus();
    if (++m_failures >= 3) {
        reject();
        return;
    }
    m_error->setText(QStringLiteral("Usuário ou senha inválidos."));
}
