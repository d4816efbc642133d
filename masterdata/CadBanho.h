#pragma once
#include "TFmCadastro.h"
#include "ui_CadBanho.h"

// Bath volumes: the liquor ratio (litres of bath per kilogram of fabric) that machines and recipes refer to.
class TFmBanho : public TFmCadastro {
    Q_OBJECT
public:
    explicit TFmBanho(QWidget* parent = nullptr);

protected:
    void FormCreate() override;
    bool ValidaConfirmacao() override;

private:
    Ui::TFmBanho ui;
};

extern TFmBanho* FmBanho;
