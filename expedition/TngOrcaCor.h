#pragma once
#include "DataSet.h" // the grids in the designed layout hold pointers to data sets
#include "LeiturasOrcamento.h"
#include "TForm.h"
#include "ui_TngOrcaCor.h"

class PaginaConsulta;
class QKeyEvent;
class TClientDataSet;
class TRelatorio;

// The finishing quotation: a customer's colours and variants priced from their recipe, their curve's time
// and the customer's cost parameters, with the services along each item's route; searched on the first
// page, kept on the second, printed, duplicated for another customer and posted into the price table.
class TFmTngOrcaCor : public TForm {
    Q_OBJECT
public:
    explicit TFmTngOrcaCor(QWidget* parent = nullptr);

    void EdtNumeroExit();
    void BitBtn1Click(); // save
    void BitBtn4Click(); // duplicate
    void BtImprimirClick();
    void BitBtn6Click(); // post the selected prices
    void BitBtn9Click(); // search
    void BuscarCustoEstampa1Click();

protected:
    void FormCreate() override;
    void FormClose() override;
    bool SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason reason) override;

private:
    void DeclaraCaixas();
    void PreparaItens();
    void PreparaServicos();
    void PreparaConsulta();
    void LigaBotoes();

    bool DBGrid1KeyDown(QKeyEvent* tecla);
    bool DBGrid3KeyDown(QKeyEvent* tecla);
    // The checks and pricing Tab runs on a cell; `forca` runs them on a cell not changed too.
    bool ConfereItem(const QString& campo, bool forca = false);
    bool ConfereServico();
    // Prices the current item; the overrides replace the parameter's fixed cost and the recipe's cost.
    void CalculaItem(double fixoManual, double quimicoManual);
    void CalculaMargens();
    void MostraTotais();
    QList<ServicoOrcado> Servicos() const;
    QSet<QString> FasesDoFluxo(const QString& fluxo);

    void Limpa();
    void Mostra(const OrcamentoLido& orcamento);
    OrcamentoGravar DaTela() const;
    // Asks about repeated colours, then writes; false when the user stopped or nothing was written.
    bool Grava();
    // What the screen shows is what is stored, or the user saved it first; false stops the action.
    bool ConfereGravado(const QString& acao);
    void AbreDaConsulta();

    Ui::TFmTngOrcaCor ui;
    TClientDataSet* TbItens;
    TClientDataSet* TbServico;
    PaginaConsulta* m_consulta = nullptr;
    QString m_numero;                      // the quotation the screen holds
    QStringList m_carregado;               // as it was stored when loaded or saved; empty for a new one
    QString m_nomeCliente;                 // the customer's name as shown
    QHash<QString, QSet<QString>> m_fases; // phases of the routes met
    ResultadoItem m_medias;
    bool m_limpando = false;
};

// "WTngOrcaCor": the customer's header, the items with their costs, price and margin, the services and the
// averages.
void LayoutOrcamento(TRelatorio& relatorio);

extern TFmTngOrcaCor* FmTngOrcaCor;
