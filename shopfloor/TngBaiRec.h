#pragma once
#include "BaixaPesagem.h"
#include "DataSet.h" // the grids in the designed layout hold a pointer to their data sets
#include "TForm.h"
#include "ui_TngBaiRec.h"
#include <optional>

class PaginaConsulta;
class TClientDataSet;
class TRelatorio;

// The dye kitchen's write-off: a lot sheet's consumption lines weighed one by one on a scale, each judged
// against its grams within the material's tolerance, and the accepted ones written off stock as weighed.
class TFmTngBaiRec : public TForm {
    Q_OBJECT
public:
    explicit TFmTngBaiRec(QWidget* parent = nullptr);

    void BtConsultarClick();
    void BtBaixarClick();
    void BtNovaBalancaClick();
    void BtGravaBalancaClick();
    void CbBalancaChange();
    // F5 weighs the current line, F6 weighs and adds to what it already holds.
    void Pesa(bool soma);

protected:
    void FormCreate() override;

private:
    void PreparaGrades();
    void PreparaConsulta();
    void CarregaBalancas(const QString& escolhida);
    void EdtFalChange();
    void Limpa();
    void ImprimeEtiqueta(const QList<LinhaPesada>& linhas);
    bool BalancaPadrao() const;

    Ui::TFmTngBaiRec ui;
    TClientDataSet* TbReceita;
    PaginaConsulta* m_consulta = nullptr;
    std::optional<CabecalhoBaixa> m_cabecalho;
    QString m_falCarregada; // the sheet whose lines the grid holds
};

// "wTngEtqCons": the label of a kitchen write-off, the sheet's header and the lines weighed.
void LayoutEtiquetaConsumo(TRelatorio& relatorio);

extern TFmTngBaiRec* FmTngBaiRec;
