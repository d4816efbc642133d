#pragma once
#include "DataSet.h" // the grid in the designed layout holds a pointer to it
#include "DetalheGravado.h"
#include "TForm.h"
#include "ui_TngCadProd.h"

class QKeyEvent;
class TClientDataSet;

// One employee's day of dye lots: each lot worked with its customer, fabric, machine, kind of work, times,
// weight and pieces. The day's sheet is loaded by its date and employee and stored as a whole.
class TfmCadProd : public TForm {
    Q_OBJECT
public:
    explicit TfmCadProd(QWidget* parent = nullptr);

    void btGravarClick();
    void btNovoClick();
    void btExcluirClick();
    void btConsultarClick();
    // The sheet of the date and employee in the header, as stored.
    void BuscaDados();

protected:
    void FormCreate() override;
    bool SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason reason) override;

private:
    void PreparaGrade();
    QDate DataDaFolha() const;
    QString ChaveDoCabecalho() const;
    bool DescartaDigitados();
    void TrocaFolha();
    void NovaFolha();
    void MostraTurno();
    void MostraTotais();
    bool PodeAlterar(const QString& funcionario);
    bool Cabecalho(QDate& data, QString& funcionario);
    bool FolhaMostrada(QDate& data, QString& funcionario);

    bool DBGrid1KeyDown(QKeyEvent* tecla);
    bool PesquisaColuna(const QString& campo);
    bool ConfereColuna(const QString& campo);
    void EntraCelula(const QString& campo, const QString& anterior);
    void CalculaTempo();
    bool ConfereFolha();
    void InsereLinhas(const QDate& data, const QString& funcionario);

    Ui::TfmCadProd ui;
    TClientDataSet* tbDados;
    DetalheGravado m_folha; // the sheet loaded (date and employee), its rows as read, and their save
    QString m_turno;        // the employee's shift
    bool m_carregando = false;
};

extern TfmCadProd* fmCadProd;
