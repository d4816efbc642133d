#pragma once
#include "DataSet.h" // the grid in the designed layout holds a pointer to its data set
#include "LeiturasExpedicao.h"
#include "TForm.h"
#include "ui_TngExpFal.h"
#include <QSet>

class TClientDataSet;

// The desk's release and expedition of lot sheets: the sheets listed by the state of their steps, selected by
// hand or by reading their bar codes, shipped (their open steps closed), a department released, a priority
// set or the last step taken back.
class TFmTngExpFal : public TForm {
    Q_OBJECT
public:
    explicit TFmTngExpFal(QWidget* parent = nullptr);

    void ConsultaFAL();
    void BitBtn1Click();
    void LeBarra();
    void BaixaSetor1Click();
    void PrioridadeFal1Click();
    void EstornarUltimaFase1Click();

protected:
    void FormCreate() override;
    bool SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason reason) override;
    bool TeclaControle(QWidget* control, QKeyEvent* key) override;

private:
    void PreparaGrade();
    void MostraTotais();
    StatusExpedicao StatusEscolhido() const;
    // The selected rows, in list order.
    QList<int> Selecionadas();
    QString FalAtual() const;

    Ui::TFmTngExpFal ui;
    TClientDataSet* TbRelatorio;
    QSet<QString> m_barras; // the bar codes read since the last consult
    StatusExpedicao m_statusConsultado = StatusExpedicao::Pendente;
    bool m_exigeRolos = false; // TIN 170: ship only what was read piece by piece
};

extern TFmTngExpFal* FmTngExpFal;
