#pragma once
#include "TFmCadastro.h"
#include "ui_CadTipoTin.h"

// Kinds of recipe line (dye, auxiliary, manual product): whether their lines take part in the automatic
// stock write-off.
class TfmTipoTin : public TFmCadastro {
    Q_OBJECT
public:
    explicit TfmTipoTin(QWidget* parent = nullptr);

protected:
    void FormCreate() override;
    void NovoRegistro() override;

private:
    Ui::TfmTipoTin ui;
};

extern TfmTipoTin* fmTipoTin;
