#pragma once
#include "DetalheGravado.h"
#include "TFmCadastro.h"
#include "ui_CadMaquina.h"

class QButtonGroup;
class QKeyEvent;
class TClientDataSet;
class TDataSet;

// A machine's capacity rows as the "Capacidade" tab edits them: loaded as they are stored, checked row by
// row as they are posted, and written back wholesale inside the caller's unit of work.
class CapacidadeMaquina {
public:
    explicit CapacidadeMaquina(QWidget* tela);
    TClientDataSet* Tabela() const { return tbCapacidade; }

    // A failed load is reported and leaves Carregada() false, so that no save replaces the stored rows
    // with a grid that never held them; so does a save refused because they changed since.
    void BuscarCapacidade(const QString& maquina);
    bool Carregada() const { return m_carregada; }
    // A new machine starts with no capacity rows, and none stored to lose.
    void Limpa();
    int LinhaSemVariante() const; // -1 when every row names a variant
    // The first row whose bounds cannot be stored: the refusal, that row made current and the field to
    // correct in `campo`; empty when every row may be.
    QString RecusaLimites(QString& campo) const;
    // Both return the message to show when they fail, empty when they do not. A stored machine's rows are
    // replaced only while they are still those this screen loaded, a new machine's while it has none.
    QString DeletarCapacidade(const QString& maquina);
    QString GravarCapacidade(const QString& maquina, bool existente);

private:
    void tbCapacidadeBeforePost(TDataSet& linha);
    void InsereLinhas(const QString& maquina);
    QWidget* m_tela;
    TClientDataSet* tbCapacidade;
    bool m_carregada = true;
    bool m_carregando = false;
    DetalheGravado m_gravadas; // the machine whose rows were loaded, those rows as loaded, their save
};

// Dyeing machines: their limits, bath, phase and depreciation, and on the "Capacidade" tab the variants,
// widths and lot weights each one takes.
class TFmMaquinaTin : public TFmCadastro {
    Q_OBJECT
public:
    explicit TFmMaquinaTin(QWidget* parent = nullptr);

    void BtnAlteraClick() override;

protected:
    void FormCreate() override;
    void NovoRegistro() override;
    bool SaidaCaixa(QWidget* caixa) override;
    bool ValidaConfirmacao() override;
    bool ValidaExclusao() override;
    void CarregaDetalhe() override;
    bool ValidaDetalhe() override;
    QString GravaDetalhe(const QString& codigo) override;
    QString ExcluiDetalhe(const QString& codigo) override;

private:
    void MostraTipo();
    void MostraResidual();
    bool ConfereCodigos();
    bool ConfereLimites();
    bool dbgCapacidadeKeyDown(QKeyEvent* tecla);
    void FocaCapacidade(const QString& campo);

    Ui::TFmMaquinaTin ui;
    TZoDBGrid* dbgCapacidade;
    QButtonGroup* tonalidade;
    CapacidadeMaquina m_capacidade;
};

extern TFmMaquinaTin* FmMaquinaTin;
