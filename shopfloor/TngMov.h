#pragma once
#include "DataSet.h" // the grid in the designed layout holds a pointer to its data set
#include "TForm.h"
#include "ui_TngMov.h"
#include <QHash>
#include <QSet>

class QAction;
class QKeyEvent;
class TClientDataSet;
class TPesquisa;

// The shop floor's recording of a lot sheet's process steps: the sheet typed (or its dye lot), one of its
// fabrics chosen, and each step of the fabric's route started and concluded on its row, with who did it, on
// which machine and curve, when, in which shift and where the fabric went. Width and grammage measured at
// the phases that update them go back to the sheet's item.
class TfmTngMov : public TForm {
    Q_OBJECT
public:
    explicit TfmTngMov(QWidget* parent = nullptr);
    ~TfmTngMov() override;

    void BtnGravarClick();
    void ApontarQualidade1Click();

protected:
    void FormCreate() override;
    void FormClose() override;
    bool SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason reason) override;

private:
    void PreparaGrade();
    void PreparaMenu();

    // header
    bool EdtFalMovExit();
    bool EdtCodProExit();
    bool ListaProdutos(TPesquisa& lista);
    void CarregaEtapas();
    void LimpaEtapas();

    // grid
    bool Travada(int linha) const;                  // the row belongs to a phase the user may not record
    bool CelulaTravada(int linha, int campo) const; // the cell may not be typed in
    bool DBGrid1KeyDown(QKeyEvent* tecla);
    bool PesquisaColuna(const QString& campo);
    bool ConfereColuna(const QString& campo);
    void EntraCelula(const QString& campo, const QString& anterior);
    void DefineTurno();
    void TbMovBeforeEdit(TDataSet& linha);
    void TbMovBeforePost(TDataSet& linha);
    void ConfereMaquinaDaFase(TDataSet& linha);
    void ConfereOrdemDasEtapas(TDataSet& linha);
    bool Alterada(int linha) const;

    // save
    bool ValidaLinhas(const QList<int>& linhas);
    void Grava(const QList<int>& linhas);

    Ui::TfmTngMov ui;
    TClientDataSet* TbMov;
    QAction* m_acaoQualidade = nullptr;
    bool m_produtoObrigatorio = false; // parameter 210
    bool m_maquinaDaFase = false;      // parameter 220
    QString m_funcionarioUsuario;      // the user's own employee code
    QSet<QString> m_fasesDoUsuario;    // the phases he may record; none listed: all
    QString m_falCarregada;            // the sheet whose items were read
    QStringList m_produtosDaFal;
    QString m_produtoCarregado; // the fabric whose steps the grid holds ("" for the whole sheet)
    bool m_etapasCarregadas = false;
    bool m_reprocessada = false; // another sheet reprocesses this one: its steps are in no order
    QString m_larguraCarregada, m_gramaturaCarregada;
    QHash<QString, QVariantList> m_carregadas; // each step's row as loaded, by phase
    bool m_carregando = false;
};

extern TfmTngMov* fmTngMov;
