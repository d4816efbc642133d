#pragma once
#include "TForm.h"
#include <QPointer>

class QFrame;
class QLineEdit;
class QPushButton;
class QToolButton;
class TTabelaDataSet;
class TZoDBGrid;

// The registry-screen frame: the record's boxes on PainelDados, the list of all records in DBGrid1, the
// browse bar PainelControle and the confirm bar PainelConfirma, over one shared data set. A concrete
// registry declares only what differs (its table, boxes, checks, texts) and builds its boxes on PainelDados.
class TFmCadastro : public TForm {
    Q_OBJECT
public:
    explicit TFmCadastro(QWidget* parent = nullptr);

    void Bar_Confirma(bool editing);
    TTabelaDataSet* Dados() const { return m_data; }

    // Handlers of the frame's buttons.
    virtual void BtIncluirClick();
    virtual void BtnAlteraClick();
    virtual void SbConfirmarClick();
    virtual void BtDesistirClick();
    virtual void BtExcluirClick();
    virtual void btnConsultarClick();
    void BtSaidaClick() { close(); }

protected:
    struct Comportamento {
        QString tabelaCompartilhada; // shared data set name, "tbBanho"
        QString tabela;              // table of the code checks, "BANHO"
        QString campoCodigo = QStringLiteral("CODIGO");
        QString campoDescricao = QStringLiteral("DESCRICAO");
        QPointer<QLineEdit> caixaCodigo;
        QPointer<QWidget> caixaDescricao;
        QPointer<QWidget> ultimaCaixa; // leaving it while editing moves the focus to Confirm
        bool checaCodigo = false;      // blank and duplicate code checks when including
        QString textoCodigoVazio = QStringLiteral("É necessário preencher o campo de código.");
        int larguraProximo = 0; // > 0: an empty code box is given Proximo(tabela, code, width) when left
        bool anexa = false;     // Include appends instead of inserting
        bool codigoSomenteLeitura = false; // Alter makes the code box read-only instead of disabled
        QString tituloLog;                 // audit title; empty when the screen keeps no log
        QString textoInclusao, textoAlteracao, textoExclusao;
        QString tituloExclusao = QStringLiteral("Eliminação de Registro");
        bool exclusaoPadraoSim = true;
        QStringList colunas; // "FIELD=Label" shown in the list
    };

    // The concrete screen fills this in FormCreate before calling AbreCadastro.
    Comportamento cad;
    QFrame* PainelDados;
    TZoDBGrid* DBGrid1;
    QFrame* PainelControle;
    QFrame* PainelConfirma;
    QPushButton *BtIncluir, *BtnAltera, *btnConsultar, *BtExcluir, *BtSaida, *SbConfirmar, *BtDesistir;
    QToolButton *sbPrimeiro, *sbAnterior, *sbProximo, *sbUltimo;

    // Opens the shared data set and wires the boxes; call at the end of FormCreate.
    void AbreCadastro();
    // Extra checks of Confirm, after the code checks and before the audit; false stops (the screen has
    // shown its message and set the focus).
    virtual bool ValidaConfirmacao() { return true; }
    // Defaults of a new record, after Insert/Append.
    virtual void NovoRegistro() {}
    // Checks before the delete question; false stops (the screen has shown its message).
    virtual bool ValidaExclusao() { return true; }
    // What the audit texts name after their fixed phrase.
    virtual QString IdentificacaoLog(const QString& code) { return code; }
    // The user left a box of the record while editing; false refuses it (the screen has shown its message
    // and taken the focus back), and the frame's own exit rules do not run.
    virtual bool SaidaCaixa(QWidget* box) {
        Q_UNUSED(box);
        return true;
    }
    void FormClose() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PropoeCodigo();
    TTabelaDataSet* m_data = nullptr;
    bool m_saidaRecusada = false; // the mouse press under way moved the focus out of a box that refused it
};

// Boxes whose text is kept in capitals as it is typed.
void CaixaAlta(QLineEdit* box);
