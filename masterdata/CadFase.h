#pragma once
#include "TFmCadastro.h"
#include "ui_CadFase.h"

// Process phases: the steps routes are made of, which of them are charged services, which update the lot
// when recorded, and the phase that groups them.
class TfmFase : public TFmCadastro {
    Q_OBJECT
public:
    explicit TfmFase(QWidget* parent = nullptr);

    void PqFaseClick();

protected:
    void FormCreate() override;
    void NovoRegistro() override;
    bool ValidaConfirmacao() override;
    bool SaidaCaixa(QWidget* box) override;

private:
    bool GrupoValido();
    Ui::TfmFase ui;
};

extern TfmFase* fmFase;
