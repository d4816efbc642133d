#pragma once
#include "TForm.h"
#include "ui_TngSubstRec.h"

// Replaces one chemical product by another across recipes and preparations, scaling the quantities by an
// index, or across product compositions; recosts the recipes that use a product.
class TFmSubstRec : public TForm {
    Q_OBJECT
public:
    explicit TFmSubstRec(QWidget* parent = nullptr);

    void BitBtn1Click();
    void BitBtn3Click();

protected:
    void FormCreate() override;

private:
    // What the boxes hold once checked.
    struct Substituicao {
        QString antigo, novo, variante;
        double indice = 0;
    };

    bool LeSubstituicao(Substituicao& s);
    bool MaterialPreenchido(QString& material);
    bool VarianteValida(QString& variante);
    void SubstituiReceitas(const Substituicao& s);
    void CalculaComposicao(const Substituicao& s);
    void GeraLogSubstituicao(const Substituicao& s);
    void MostraProgresso(const QString& linha);
    void Avanca(int feitas, int total);

    Ui::TFmSubstRec ui;
};

extern TFmSubstRec* FmSubstRec;
