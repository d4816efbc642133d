#pragma once
#include "TForm.h"
#include "ui_TngContrQul.h"
#include <optional>

class QLineEdit;
class TRelatorio;

// The laboratory's verdict on one fabric of a lot sheet: its results, released ("Liberado") or blocked
// ("Bloqueado"). The verdict is the pair's row of ORDEM 0; the rolls the label screen weighs are not its.
class TfmContrQul : public TForm {
    Q_OBJECT
public:
    explicit TfmContrQul(QWidget* parent = nullptr);

    void Argumentos(const ArgumentosTela& argumentos) override;
    void BtnGravarClick();
    void BtnImprimirClick();

protected:
    void FormCreate() override;
    bool SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason reason) override;
    void showEvent(QShowEvent* event) override;

private:
    struct Par {
        QString fal, produto;
        bool operator==(const Par&) const = default;
    };
    // A column of the verdict and the box that shows it; decimals < 0: a text.
    struct Resultado {
        QLineEdit* caixa;
        QString coluna, rotulo;
        int casas;
    };
    bool SaiFal();
    bool SaiProduto();
    void CarregaPar(const Par& par);
    void Mostra(const std::optional<QVariantList>& valores);
    // The stored verdict of a pair as the values of the verdict's columns; none when it has no verdict.
    std::optional<QVariantList> LeVeredito(const Par& par, bool trava = false) const;
    bool ProdutoDaFal(const Par& par) const;
    QVariant ValorDaCaixa(const Resultado& r) const;

    Ui::TfmContrQul ui;
    QList<Resultado> m_resultados;
    bool m_completaProduto = false;          // TIN 210
    std::optional<Par> m_par;                // the pair the boxes show
    std::optional<QVariantList> m_carregado; // its verdict as loaded
};

// "WTngQul": the lot sheet's header, the fabric and the laboratory's results.
void LayoutQualidade(TRelatorio& relatorio);

extern TfmContrQul* fmContrQul;
