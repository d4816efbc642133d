#pragma once
#include "DataSet.h" // the grids in the designed layout hold a pointer to their data sets
#include "TForm.h"
#include "ui_RelTngEst.h"

class TClientDataSet;
class TRelatorio;

// The print-shop sheet: lot sheets of one print design and variant gathered; each screen's paste for the
// goods (from its thickness and the sheet's figures, or as typed); each paste broken into its components,
// short or immediate ones replaced by their substitutes and the materials these leave compensated; the sheet
// printed and its components written off stock once.
class TFmRelTngEst : public TForm {
    Q_OBJECT
public:
    explicit TFmRelTngEst(QWidget* parent = nullptr);

    void BtConfirmarClick();
    void BtImprimirClick();
    void BtBaixarClick();
    void Enviarreceita1Click();
    void PesaComponente();

protected:
    void FormCreate() override;
    bool SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason reason) override;

private:
    void PreparaGrades();
    void IncluiFal(const QString& numero);
    void Limpa();
    double Numero(const QLineEdit* caixa) const;

    Ui::TFmRelTngEst ui;
    TClientDataSet* TbConsumo;
    TClientDataSet* TbComp;
    QStringList m_fals;
    QString m_estampa, m_variante;
    double m_largura = 0, m_gramatura = 0, m_indice = 0;
};

// "WTngEstampa": the components of each paste with their weights, then the pastes of the sheet.
void LayoutEstampa(TRelatorio& relatorio);

extern TFmRelTngEst* FmRelTngEst;
