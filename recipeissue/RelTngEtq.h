#pragma once
#include "DataSet.h" // the grid in the designed layout holds a pointer to its data set
#include "LeiturasEtiqueta.h"
#include "TForm.h"
#include "ui_RelTngEtq.h"

class BalancaAberta;
class TClientDataSet;

// One label per roll of a finished lot sheet: each roll weighed on the scale, recorded and labelled; the
// ticked labels printed as text, graphic or a file for the label printer; the weighed rolls posted to
// stock as lots of their own, once.
class TFmRelEtq : public TForm {
    Q_OBJECT
public:
    explicit TFmRelEtq(QWidget* parent = nullptr);

    void btnConfirmarClick();
    void BtImpClick();
    void BitBtn3Click();
    void ExcluirRolo1Click();
    void ImprimirEtiqueta1Click();
    // F5: the current roll's weight from the scale.
    void Pesa();
    // A weight the scale gave for the current roll: recorded and labelled.
    void GeraEtiqueta(double peso);

    TClientDataSet* Tabela() const { return TbRelatorio; }

protected:
    void FormCreate() override;
    bool FormKeyDown(QKeyEvent* key) override;
    bool SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason reason) override;

private:
    void PreparaGrade();
    void DeclaraCaixas();
    bool EdtFalExit();
    bool ConfereFal();
    void EdtCodProExit();
    void Limpa();
    void AtualizaFases(const QList<PassoEtiqueta>& passos);
    std::optional<PassoEtiqueta> PassoEscolhido(const QList<PassoEtiqueta>& passos) const;
    QString Fal() const;
    QString Produto() const;
    double Tara() const;
    int Protocolo() const { return m_protocolo; }
    // The graphic layout of a label printed alone: the customer's own when there is one.
    QString LayoutGrafico() const;
    QString Barra(int linha) const;
    // A weight the open port gave for the roll asked at F5, wherever the cursor went meanwhile.
    void PesoChegou(double peso);

    Ui::TFmRelEtq ui;
    TClientDataSet* TbRelatorio;
    BalancaAberta* m_balanca = nullptr;
    int m_protocolo = 0;
    int m_countStr = 12;
    QString m_falCarregada;                // the sheet whose rolls the table holds
    QPair<QString, QString> m_rolosPedido; // product and roll number the open port is weighing
};

extern TFmRelEtq* FmRelEtq;
