#pragma once
#include "DataSet.h" // the grid in the designed layout holds a pointer to it
#include "DetalheGravado.h"
#include "TForm.h"
#include "ui_CadFalServ.h"

class TClientDataSet;

// The extra services charged on one lot sheet, each a phase with its price per kg; the list is stored only
// by "Gravar", as a whole.
class TFmCadFalServ : public TForm {
    Q_OBJECT
public:
    explicit TFmCadFalServ(QWidget* parent = nullptr);

    // Called by the screen that opens the dialog: the sheet whose services are shown, and its customer,
    // whose service prices are proposed.
    void Busca_Dados(const QString& fal, const QString& cliente);
    void Argumentos(const ArgumentosTela& argumentos) override {
        Busca_Dados(argumentos.value(QStringLiteral("FAL")).toString(),
                    argumentos.value(QStringLiteral("CLIENTE")).toString());
    }

    void BitBtn1Click();
    void BitBtn4Click();
    void Grava_Dados();

protected:
    void FormCreate() override;

private:
    void MostraCusto();
    void CarregaLista();

    Ui::TFmCadFalServ ui;
    TClientDataSet* TbServ;
    QString m_fal;
    QString m_cliente;
    double m_precoCor = 0;
    DetalheGravado m_servicos; // the sheet's services as the list was loaded, and their save
};

extern TFmCadFalServ* FmCadFalServ;
