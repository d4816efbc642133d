#pragma once
#include "DataSet.h" // the grid in the designed layout holds a pointer to it
#include "DetalheGravado.h"
#include "TForm.h"
#include "ui_TngCadRegRec.h"

class QKeyEvent;
class TClientDataSet;

// Calculation rules: the lines by which a recipe quantity follows the batch's product line or group,
// customer, machine or product, edited one rule at a time and saved wholesale.
class TFmTngCadRegRec : public TForm {
    Q_OBJECT
public:
    explicit TFmTngCadRegRec(QWidget* parent = nullptr);

    void BitBtn1Click();
    void BitBtn5Click();
    void BitBtn4Click();

protected:
    void FormCreate() override;
    bool SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason reason) override;

private:
    void EdtCodigoExit();
    void BuscaRegras();
    QList<int> LinhasPreenchidas() const;
    void InsereLinhas(const QString& codigo, const QList<int>& linhas);
    QString CodigoPreenchido();
    bool DBGrid1KeyDown(QKeyEvent* tecla);
    void PesquisaCodigo();
    void PreencheDescricao();

    Ui::TFmTngCadRegRec ui;
    TClientDataSet* TbItens;
    DetalheGravado m_linhas; // the code the exit check last ran for, its lines as loaded, their save
};

extern TFmTngCadRegRec* FmTngCadRegRec;
