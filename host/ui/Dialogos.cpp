#include "Dialogos.h"
#include "TPesquisa.h"
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

namespace {
QMessageBox::Icon boxIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    case MsgIcon::Error:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    default:
        return QMessageBox::Information;
    }
}
} // namespace

void DialogMessageService::Show(QWidget* parent, const QString& title, const QString& text, MsgIcon icon) {
    QMessageBox box(boxIcon(icon), title, text, QMessageBox::Ok, parent);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    box.exec();
}

bool DialogMessageService::Ask(QWidget* parent, const QString& title, const QString& text, bool defaultYes,
                               MsgIcon icon) {
    QMessageBox box(boxIcon(icon), title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Sim"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Não"));
    box.setDefaultButton(defaultYes ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

int DialogMessageService::Choose(QWidget* parent, const QString& title, const QString& text,
                                 const QStringList& buttons, int defaultIndex) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    QList<QAbstractButton*> made;
    for (int i = 0; i < buttons.size(); ++i) {
        QPushButton* b = box.addButton(buttons[i], QMessageBox::ActionRole);
        made << b;
        if (i == defaultIndex)
            box.setDefaultButton(b);
    }
    box.exec();
    return int(made.indexOf(box.clickedButton()));
}

bool DialogMessageService::Input(QWidget* parent, const QString& title, const QString& prompt,
                                 QString& value) {
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, value, &ok);
    if (ok)
        value = text;
    return ok;
}

bool DialogMessageService::Login(QWidget* parent, const QString& title, QString& user, QString& password) {
    QDialog dialog(parent);
    dialog.setWindowTitle(title);
    auto* form = new QFormLayout(&dialog);
    auto* userBox = new QLineEdit(user, &dialog);
    userBox->setObjectName(QStringLiteral("EdtUsuario"));
    auto* passwordBox = new QLineEdit(&dialog);
    passwordBox->setObjectName(QStringLiteral("EdtSenha"));
    passwordBox->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("Usuário:"), userBox);
    form->addRow(QStringLiteral("Senha:"), passwordBox);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (!user.isEmpty())
        passwordBox->setFocus();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    user = userBox->text().trimmed();
    password = passwordBox->text();
    return true;
}

QString DialogMessageService::OpenFile(QWidget* parent, const QString& title, const QString& dir,
                                       const QString& filter) {
    return QFileDialog::getOpenFileName(parent, title, dir, filter);
}

QString DialogMessageService::SaveFile(QWidget* parent, const QString& title, const QString& dir,
                                       const QString& filter) {
    return QFileDialog::getSaveFileName(parent, title, dir, filter);
}

// The widget dialog, not the platform's, so that it looks the same everywhere.
QColor DialogMessageService::ChooseColor(QWidget* parent, const QString& title, const QColor& initial) {
    QColorDialog dialog(initial.isValid() ? initial : QColor(Qt::white), parent);
    dialog.setObjectName(QStringLiteral("DlgCor"));
    dialog.setWindowTitle(title);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedColor() : QColor();
}

bool DialogMessageService::Search(QWidget* parent, TPesquisa& search) {
    return search.ExecDialog(parent);
}
