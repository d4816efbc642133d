#pragma once
#include "TFmCadastro.h"
#include "ui_CadVariante.h"

// Fabric variants: the fibre mix a recipe is written for, with its print group and fibre index.
class TFmvariante : public TFmCadastro {
    Q_OBJECT
public:
    explicit TFmvariante(QWidget* parent = nullptr);

protected:
    void FormCreate() override;

private:
    Ui::TFmvariante ui;
};

extern TFmvariante* Fmvariante;
