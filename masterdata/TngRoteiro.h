#pragma once
#include "DataSet.h" // the grid in the designed layout holds a pointer to it
#include "DetalheGravado.h"
#include "TForm.h"
#include "ui_TngRoteiro.h"

class QKeyEvent;
class TClientDataSet;

// Process routes: the ordered phases a lot goes through, each with its days, edited one route at a time
// and saved wholesale.
class TfmTngRoteiro : public TForm {
    Q_OBJECT
public:
    explicit TfmTngRoteiro(QWidget* parent = nullptr);

    void BitBtn1Click();
    void BtExcluirClick();

protected:
    void FormCreate() override;
    bool SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason reason) override;

private:
    void EdtCodigoExit();
    void BuscaDados();
    QString CodigoPreenchido();
    bool ValidaPassos();
    void InserePassos(const QString& codigo);
    bool DBGrid8KeyDown(QKeyEvent* tecla);
    bool PesquisaFase();
    void PreencheDescFase(TDataSet& passo);
    void FocaPasso(const QString& campo);

    Ui::TfmTngRoteiro ui;
    TClientDataSet* TbTemp;
    bool m_carregando = false;
    DetalheGravado m_passos; // the route the exit check last ran for, its steps as loaded, their save
};

extern TfmTngRoteiro* fmTngRoteiro;
