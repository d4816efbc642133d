#pragma once
#include "TFmCadastro.h"
#include "ui_CadCorTing.h"

class CaixaPesquisa;
class QButtonGroup;
class VisorCor;

// Colours and prints the dye-house produces: fiscal data, shade class, the colour shown on the other
// screens and the picture kept per colour code.
class TFmCadCorTing : public TFmCadastro {
    Q_OBJECT
public:
    explicit TFmCadCorTing(QWidget* parent = nullptr);

    void BtImagemClick();

protected:
    void FormCreate() override;
    void NovoRegistro() override;
    bool ValidaConfirmacao() override;
    bool ValidaExclusao() override;
    QString IdentificacaoLog(const QString& code) override;
    bool SaidaCaixa(QWidget* box) override;

private:
    bool DescricaoValida();
    void MostraCor();
    Ui::TFmCadCorTing ui;
    VisorCor* m_visor;
    QButtonGroup* m_ton;
    QList<CaixaPesquisa*> m_codigos; // group, fiscal class, tax code, customer
    QString m_codigoImagem;          // code whose picture is shown
};

extern TFmCadCorTing* FmCadCorTing;
