#pragma once
#include "ColunaGrade.h"
#include "TForm.h"
#include "TTabela.h"
#include <QPointer>

class QFrame;
class QTabWidget;
class QLineEdit;
class QPushButton;
class QToolButton;
class TTabelaDataSet;
class TZoDBGrid;

// The registry-screen frame: the record's boxes on PainelDados, the list of all records in DBGrid1, the
// browse bar PainelControle and the confirm bar PainelConfirma, over one shared data set. A concrete
// registry declares only what differs (its table, boxes, checks, texts) and builds its boxes on PainelDados.
// A master-detail registry adds its detail rows through the detail hooks: they are loaded with each
// record, checked before anything is written, and saved or deleted in the same unit of work as the record.
class TFmCadastro : public TForm {
    Q_OBJECT
public:
    explicit TFmCadastro(QWidget* parent = nullptr);

    void Bar_Confirma(bool editing);
    TTabelaDataSet* Dados() const { return m_data.get(); }

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
        bool checaCodigo = false; // blank and duplicate code checks when including
        QString textoCodigoVazio = QStringLiteral("É necessário preencher o campo de código.");
        int larguraProximo = 0; // > 0: an empty code box is given Proximo(tabela, code, width) when left
        bool anexa = false;     // Include appends instead of inserting
        bool codigoSomenteLeitura = false; // Alter makes the code box read-only instead of disabled
        QString tituloLog;                 // audit title; empty when the screen keeps no log
        QString textoInclusao, textoAlteracao, textoExclusao;
        QString tituloExclusao = QStringLiteral("Eliminação de Registro");
        // Where other records refer to this one ("MAQ_TIN.RELAC_BANHO"): a record still referred to is not
        // deleted, and textoEmUso says why. Tables not yet in the database are passed over.
        QStringList usos;
        QString textoEmUso;
        bool exclusaoPadraoSim = true;
        QList<ColunaGrade> colunas; // the list's columns; also the captions and decimals of the boxes' fields
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

    // Detail rows. Loaded when the record shown changes, and again after a confirm or a desist (never while
    // the record is being edited: the detail is its working copy).
    virtual void CarregaDetalhe() {}
    // Checked at Confirm after the record's own checks, before anything is written; false stops (the
    // screen has shown its message and set the focus).
    virtual bool ValidaDetalhe() { return true; }
    // Written inside the confirm's unit of work, before the record is posted; a failure returns its
    // message, which is shown once everything is rolled back.
    virtual QString GravaDetalhe(const QString& code) {
        Q_UNUSED(code);
        return {};
    }
    // Deleted inside the delete's unit of work, before the record; a failure as for GravaDetalhe.
    virtual QString ExcluiDetalhe(const QString& code) {
        Q_UNUSED(code);
        return {};
    }

    // The list of records becomes the first page of a tab set under the data panel; the screen's own pages
    // follow it. Returns the page added.
    QWidget* AdicionaPagina(const QString& caption, const QString& listCaption = QString());
    QTabWidget* Paginas() const { return m_pages; }
    // A panel beside the data panel (a picture, a preview).
    void AdicionaAoLado(QWidget* panel);
    // What the audit texts name after their fixed phrase.
    virtual QString IdentificacaoLog(const QString& code) { return code; }
    // The user left a box of the record while editing; false refuses it (the screen has shown its message
    // and taken the focus back), and the frame's own exit rules do not run.
    virtual bool SaidaCaixa(QWidget* box) {
        Q_UNUSED(box);
        return true;
    }
    void FormClose() override;
    // A record being included or altered is what the close question saves (Confirm) or drops.
    bool TemAlteracoes() const override;
    void GravaAlteracoes() override { SbConfirmarClick(); }
    bool SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason reason) override;
    bool Desiste(QWidget* button) const override;

private:
    void PropoeCodigo();
    bool EmUso(const QString& code);
    void RecusaCodigo(const QString& text);
    bool CodigoGravado(const QString& code);
    void FimEdicao();
    TabelaAberta m_data;
    QTabWidget* m_pages = nullptr;
};

// Boxes whose text is kept in capitals as it is typed.
void CaixaAlta(QLineEdit* box);
