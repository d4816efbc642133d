#pragma once
#include "DataSet.h" // the grids in the designed layout hold a pointer to their data sets
#include "TForm.h"
#include "ui_TngColExpFal.h"

class TClientDataSet;

// Expedition by collector: lot sheets of one customer (or customer group) read one by one, at the
// handheld's box or from a docked collector's file, and their step in one sector closed as shipped.
class TFmTngColExpFal : public TForm {
    Q_OBJECT
public:
    explicit TFmTngColExpFal(QWidget* parent = nullptr);

    void BitBtn1Click();
    void BitBtn2Click();
    void BtnImportarClick();

protected:
    void FormCreate() override;
    bool SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason reason) override;
    bool FormKeyDown(QKeyEvent* key) override;

private:
    // Codes read, in turn: each one's sheet checked, then its items into the list. A refusal per code, empty
    // when it was taken (also when its sheet is listed already and `repetidaCala`: a file read again merges
    // silently).
    QStringList LeFals(const QStringList& codigos, bool repetidaCala);
    void EdtFALExit();
    void BuscaFalsPend();
    void Totais();
    QStringList FalsDaLista() const;

    Ui::TFmTngColExpFal ui;
    TClientDataSet* TbFal;
    QString m_arquivoColetor; // the file whose readings the list holds, moved once they are saved
};

extern TFmTngColExpFal* FmTngColExpFal;
