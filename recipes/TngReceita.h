#pragma once
#include "DataSet.h" // the grids in the designed layout hold pointers to data sets
#include "ItensReceita.h"
#include "TForm.h"
#include "ui_TngReceita.h"

class QKeyEvent;
class RegrasCalculo;
class PaginaConsulta;
class TClientDataSet;
class VisorCor;

// Recipes: the dyes, auxiliaries and products of one colour on one fabric variant, with their quantities,
// curve and bath, the cost of each item and of the whole recipe per kilogram of fabric; searched, printed,
// duplicated and deleted here.
class TfmTngReceita : public TForm {
    Q_OBJECT
public:
    explicit TfmTngReceita(QWidget* parent = nullptr);

    void BitBtn5Click();
    void BitBtn7Click();
    void BtDuplicarClick();
    void BtImprimirClick();
    void BtConsultarClick();
    void btnConsultaClick();
    void BtImprimirListaClick();

protected:
    void FormCreate() override;
    bool SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason reason) override;

private:
    void PreparaItens();
    void PreparaConsulta();
    void DeclaraCaixas();
    void MostraReceita(const QVariantMap& linha);
    void MostraVariante(const QVariantMap& linha);
    void MostraCor(const QVariantMap& linha);
    void MostraGrafico(const QVariantMap& linha, const QStringList& consumos);
    void MostraBanho(const QVariantMap& linha);

    QString Codigo() const;
    QString Variante() const;
    QString Chave() const; // code followed by variant: the audit key
    QString Par() const;   // code and variant, told apart
    bool ParExiste() const;
    void VerificaPar(bool avisa);
    void EdtCodigoExit();
    bool EdtDescricaoExit();
    void EdtCodPrepExit();
    bool PesquisaReceita();
    void AbreReceita(const QString& codigo, const QString& variante);
    void BuscaDados();
    void AddPreparacao(RegrasCalculo& regras);
    void DeletaPreparacao();
    void LimpaTela();
    void RecalculaItens();
    void MostraCustoReceita();

    bool DBGrid1KeyDown(QKeyEvent* tecla);
    bool LinhaDaPreparacao() const;
    bool PesquisaMaterial();
    bool PreencheMaterial();
    bool ConfereTipo();
    bool ConfereRegra();
    void PreencheDescricoes(TDataSet& item);
    void ValidaEdicao(TDataSet& item) const;

    bool ValidaGravacao();
    QString GravaDados();
    void ApagaReceita();
    void InsereItens();
    ContextoItens ContextoGravacao() const;

    void AbreDaConsulta();

    Ui::TfmTngReceita ui;
    VisorCor* m_visor;
    TClientDataSet* TbConsumos;
    PaginaConsulta* m_consulta = nullptr;
    ContextoItens m_contexto;    // the recipe the items are costed for, as its boxes hold it
    QString m_parVerificado;     // the (code, variant) the exit checks last ran for
    QString m_parCarregado;      // the stored recipe the screen holds; empty for a new one
    double m_custoCarregado = 0; // its stored cost, which a save compares with (a copy keeps its source's)
    bool m_preenchendo = false;  // the screen itself fills the boxes: typed-code rules stay quiet
    bool m_sistema = false;      // the screen itself writes into the items, preparation rows included
};

extern TfmTngReceita* fmTngReceita;
