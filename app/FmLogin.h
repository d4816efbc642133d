#pragma once
#include <QDialog>

class QLineEdit;
class QLabel;

// Log-in: user name and password checked against the users table; three wrong tries end the application.
class TFmLogin : public QDialog {
    Q_OBJECT
public:
    explicit TFmLogin(const QString& database, QWidget* parent = nullptr);
    void Entrar();

private:
    QLineEdit* m_user;
    QLineEdit* m_password;
    QLabel* m_error;
    int m_failures = 0;
};
