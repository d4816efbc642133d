#pragma once
#include "DetalheGravado.h"
#include "TFmCadastro.h"
#include "ui_TngGrafico.h"

class QChartView;
class QKeyEvent;
class QLabel;
class TClientDataSet;
class TDataSet;

// Dyeing curves: the consumptions and duration of one run, the steps of its two phases in a grid, and a
// chart of each phase redrawn as the steps are typed. The curve and its steps are saved and deleted as one
// unit of work; a curve is duplicated under a new code with all its steps, and printed with both charts.
class TfmTngGrafico : public TFmCadastro {
    Q_OBJECT
public:
    explicit TfmTngGrafico(QWidget* parent = nullptr);

    void BtIncluirClick() override;
    void BtnAlteraClick() override;
    void BtDuplicarClick();
    void BtImprimirClick();

protected:
    void FormCreate() override;
    void NovoRegistro() override;
    bool SaidaCaixa(QWidget* caixa) override;
    bool ValidaConfirmacao() override;
    void CarregaDetalhe() override;
    bool ValidaDetalhe() override;
    QString GravaDetalhe(const QString& codigo) override;
    QString ExcluiDetalhe(const QString& codigo) override;

private:
    void MontaGraficos();
    void tbPassosBeforePost(TDataSet& passo);
    bool dbgPassosKeyDown(QKeyEvent* tecla);
    void FocaPasso(const QString& campo);
    bool DescricaoPreenchida();
    bool TempoPreenchido();
    void InserePassos(const QString& codigo);
    bool Duplica(const QString& origem, const QString& codigo);

    Ui::TfmTngGrafico ui;
    QWidget* PaginaPassos;
    TZoDBGrid* dbgPassos;
    QLabel* LbTotalPassos;
    QChartView *GrFase1, *GrFase2;
    QPushButton *BtDuplicar, *BtImprimir;
    TClientDataSet* tbPassos;
    bool m_carregando = false;
    // The steps of the curve shown were read; a failed read, or a save refused since, saves nothing over
    // them.
    bool m_carregada = true;
    DetalheGravado m_passos; // the curve whose steps were loaded, those steps as loaded, their save
};

extern TfmTngGrafico* fmTngGrafico;
