#pragma once
#include "TFmCadastro.h"
#include "ui_CadCorTing.h"

class QButtonGroup;
class QKeyEvent;
class VisorCor;

// Colours and prints the dye-house produces: fiscal data, shade class, the colour shown on the other
// screens and the picture kept per colour code.
class TFmCadCorTing : public TFmCadastro {
    Q_OBJECT
public:
    explicit TFmCadCorTing(QWidget* parent = nullptr);

    // The look-up of a code box (group, fiscal class, tax code, customer); its "..." button and F4.
    void PesquisaCodigo(QLineEdit* box);
    void BtImagemClick();

protected:
    void FormCreate() override;
    void NovoRegistro() override;
    bool ValidaConfirmacao() override;
    bool ValidaExclusao() override;
    QString IdentificacaoLog(const QString& code) override;
    bool SaidaCaixa(QWidget* box) override;
    bool TeclaControle(QWidget* control, QKeyEvent* key) override;

private:
    // A box holding the code of a row of another table, with that row's description beside it.
    struct CaixaCodigo {
        QLineEdit* caixa;
        QLineEdit* descricao;
        QToolButton* pesquisa;
        QString campo, tabela, chave, campoDescricao, titulo, textoInvalido;
    };
    const CaixaCodigo* CodigoDa(QWidget* box) const;
    bool CodigoValido(const CaixaCodigo& code);
    bool DescricaoValida();
    void MostraCor();
    Ui::TFmCadCorTing ui;
    VisorCor* m_visor;
    QButtonGroup* m_ton;
    QList<CaixaCodigo> m_codigos; // in the order of the screen
    QString m_codigoImagem;       // code whose picture is shown
};

extern TFmCadCorTing* FmCadCorTing;
