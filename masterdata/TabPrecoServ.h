#pragma once
#include "TFmCadastro.h"
#include "ui_TabPrecoServ.h"

class CaixaPesquisa;
class QKeyEvent;

// Each customer's price for each charged service phase; the quotation adds them up along a route.
class TFmTabPrecoServ : public TFmCadastro {
    Q_OBJECT
public:
    explicit TFmTabPrecoServ(QWidget* parent = nullptr);

    void BtIncluirClick() override;
    void BtnAlteraClick() override;
    void SbConfirmarClick() override;
    void BtExcluirClick() override;
    void btnConsultarClick() override;
    void BtImprimirClick();

protected:
    void FormCreate() override;
    void FormClose() override;
    bool ValidaConfirmacao() override;
    QString IdentificacaoLog(const QString& code) override;
    bool SaidaCaixa(QWidget* box) override;
    bool SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason reason) override;
    bool TeclaControle(QWidget* control, QKeyEvent* key) override;

private:
    bool CodigoValido(CaixaPesquisa* codigo);
    bool PrecoCadastrado() const;
    void LocalizaPreco(const QString& customer, const QString& phase);
    void AplicaFiltro();
    void CopiaNome(const QString& field, const QString& shown, int width);
    Ui::TFmTabPrecoServ ui;
    QLineEdit* EdtFiltroCli;
    QPushButton* BtImprimir;
    CaixaPesquisa* m_cliente = nullptr;
    CaixaPesquisa* m_fase = nullptr;
};

extern TFmTabPrecoServ* FmTabPrecoServ;
