#pragma once
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantMap>
#include <functional>

class QAbstractButton;
class QLineEdit;
class TForm;
class TPesquisa;

// A code box with its look-up, declared once: F4 in the box and its "..." button open the list; leaving the
// box checks the code (an unknown one is refused with the declared text, the focus kept); the description
// box shows the code's description; the box tells its F-key in its tooltip and the status line.
struct DeclaracaoCaixa {
    QLineEdit* caixa = nullptr;
    QLineEdit* descricao = nullptr;   // read-only box beside it; none when null
    QAbstractButton* botao = nullptr; // the "..." button; none when null
    QString titulo{};                 // of the look-up list
    QString tabela{};
    QString chave = QStringLiteral("CODIGO");
    QString campoDescricao = QStringLiteral("DESCRICAO");
    QString filtro{};   // SQL condition on the table's own columns, for the list and the check
    QString recusa{};   // shown for a code not in the table; empty: the table is not read, any code is taken
    bool lista = false; // the box holds several codes ("01, 02"): the list chooses several
    bool abreVazia = false; // a box left blank opens the list; left blank again, it is left
    // Narrows the list to what the screen holds or lets through (the fabrics of the sheet shown, the
    // customers not blocked) before it opens; false when there is nothing to list, the screen having said
    // why.
    std::function<bool(TPesquisa& lista)> preparaLista{};
    // The screen's own check of each code, after the table's: the refusal to show, empty when the code is
    // taken.
    std::function<QString(const QString& codigo)> confere{};
    std::function<void()> aoAceitar{}; // what the screen does with a code that passed the check
    bool distintos = false;            // the table keeps several rows per code (a route's steps): listed once
    // More of the code's row, read with its description whenever the box changes, and what the screen shows
    // of it (the description included); an empty row for a code not in the table.
    QStringList colunas{};
    std::function<void(const QVariantMap& linha)> mostra{};
    // A search of the screen's own instead of the table's list (a record found by more than its code): F4
    // and the button run it; true when something was chosen.
    std::function<bool()> pesquisa{};
};

// The code box of a record whose description box is its own, typed there (a route, a preparation, a rule:
// one row per item, each code listed once): a code found shows its stored description in that box.
DeclaracaoCaixa CaixaDoProprioCadastro(QLineEdit* caixa, QAbstractButton* botao, const QString& titulo,
                                       const QString& tabela, QLineEdit* descricao);

class CaixaPesquisa : public QObject {
    Q_OBJECT
public:
    CaixaPesquisa(TForm* tela, DeclaracaoCaixa declaracao);

    const DeclaracaoCaixa& Declaracao() const { return m_d; }
    // Opens the list; true when a code was chosen (and accepted).
    bool Pesquisa();
    // The exit check: false when the code was refused (the message shown, the focus kept in the box).
    bool Confere();
    void MostraDescricao();

private:
    bool Escolhe();
    bool Recusa(const QString& mensagem);
    QVariantMap Linha(const QString& codigo) const;
    QPointer<TForm> m_tela;
    DeclaracaoCaixa m_d;
    QString m_conferido; // the text that last passed the check
    int m_largura = 0;   // characters of the key column
};
