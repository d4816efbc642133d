#pragma once
#include "DataSet.h" // the grid in the designed layout holds a pointer to it
#include "DetalheGravado.h"
#include "TForm.h"
#include "ui_CadPrepara.h"

class QKeyEvent;
class TClientDataSet;

// Preparations: named lists of chemical items that recipes insert as one line, edited one preparation at a
// time and saved wholesale.
class TFmCadPrepara : public TForm {
    Q_OBJECT
public:
    explicit TFmCadPrepara(QWidget* parent = nullptr);

    void BtGravarClick();
    void BtDuplicarClick();
    void BtExcluirClick();

protected:
    void FormCreate() override;
    bool SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason reason) override;

private:
    void EdtCodPrepExit();
    void BuscaDados();
    void Limpa();
    QString CodigoPreenchido();
    bool TemItens();
    void InsereItens(const QString& codigo);
    bool DBGrid1KeyDown(QKeyEvent* tecla);
    bool ConfereMaterial();
    bool ConfereTipo();
    bool ConfereRegra();
    void PreencheDescricoes(TDataSet& item);

    Ui::TFmCadPrepara ui;
    TClientDataSet* TbMat;
    bool m_recalculaReceitas = false; // MAT 170: a saved preparation recosts the recipes that use it
    bool m_carregando = false;
    DetalheGravado m_itens; // the code the exit check last ran for, its items as loaded, their save
};

extern TFmCadPrepara* FmCadPrepara;
