#pragma once
#include "Relatorio.h"
#include <QDialog>
#include <QStringList>
#include <QVariantList>
#include <QWidget>

class TTabelaDataSet;
class TZoDBGrid;
class QLabel;
class QLineEdit;

// Maintenance of one host table the module only reads (customers, products, shifts...): an editable grid
// with include, delete, save, cancel and a search box. Every save and delete is committed at once.
// Users, rights and parameters open only for administrators or users holding the screen's own right, and
// every change of them writes an audit row.
class TFmTabelaHost : public QWidget {
    Q_OBJECT
public:
    struct Definition {
        QString className;
        QString caption;
        QString table;
        QString orderBy;
        QStringList hidden;
        // Rows only a routine writes (stock positions and movements): shown, never typed over.
        bool readOnly = false;
    };
    TFmTabelaHost(const Definition& definition, QWidget* parent = nullptr);
    ~TFmTabelaHost() override;
    static QList<Definition> Definitions();
    static void RegistraTelas();
    // What Imprimir prints: every column the grid shows, with its caption.
    TRelatorio Relatorio() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Grava();
    void Imprime();
    void Exclui();
    void DefineSenha();
    void AntesDeGravar();
    void AntesDeExcluir();
    void RegrasUsuario(bool inserting);
    void RegrasExclusaoUsuario();
    void RegrasDireito(bool removing);
    void RegistraLog(int kind);
    [[noreturn]] void Recusa(const QString& text);
    QVariantList ValoresAtuais() const;
    Definition m_definition;
    TTabelaDataSet* m_data;
    TZoDBGrid* m_grid;
    QLineEdit* m_search;
    QVariantList m_antes;  // the record as it was when its edit began; empty while inserting
    QString m_liberadoPor; // the supervisor who released the screen to a user without its right
};

// A password typed twice, and the current one when users change their own; every box echoes dots. Shown
// with open(): Confirmar checks and saves, a refusal keeps it open, three refusals close it.
class TFmSenha : public QDialog {
    Q_OBJECT
public:
    TFmSenha(const QString& userCode, const QString& userName, QWidget* parent);
    void Confirma();

private:
    void Falha(const QString& text);
    QString m_codigo;
    QLineEdit* m_atual = nullptr;
    QLineEdit* m_nova;
    QLineEdit* m_confirmacao;
    QLabel* m_erro;
    int m_falhas = 0;
};
