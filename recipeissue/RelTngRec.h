#pragma once
#include "DataSet.h" // the grids in the designed layout hold a pointer to their data sets
#include "EmissaoReceita.h"
#include "TForm.h"
#include "ui_RelTngRec.h"

class QAction;
class QChartView;
class TClientDataSet;

// Recipe issue: lot sheets of one recipe and variant gathered into one dye bath, the bath's volume, the grams
// of every dye and chemical of the batch with stock checked and short materials replaced by their
// substitutes; printing records the batch, gives it a dye lot and writes it off stock; a write-off can be
// reversed. The "Acesso" page lists sheets to issue many at a time.
class TFmRelRec : public TForm {
    Q_OBJECT
public:
    explicit TFmRelRec(QWidget* parent = nullptr);
    ~TFmRelRec() override;

    // The programme's sheets: listed on the "Acesso" page, chosen, for the recipes to be issued or printed.
    void Argumentos(const ArgumentosTela& argumentos) override;

    void IncluiFal(const QString& numero);
    void Confirmar(bool lote);
    void Imprime(bool lote);
    void BtEstornarClick();
    void BtLimparClick();
    void BtLimpaPartidaClick();
    void BtConsultarClick();
    void IncluirConsumo1Click();
    void SubstituirConsumo1Click();
    void EmitirReceitas1Click();
    void ImprimirReceitas1Click();

protected:
    void FormCreate() override;
    bool SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason reason) override;

private:
    void PreparaGrades();
    void PreparaMenus();
    void DeclaraCaixas();
    void MaquinaAlterada();
    void RecalculaVolume(bool mostra);
    LoteEmissao LoteDaTela() const;
    void MostraLider(const FalEmissao& fal);
    void LimpaLote();
    void LimpaLinhas();
    void AcrescentaLinhas(const QList<LinhaEmissao>& linhas, const LoteEmissao& lote);
    QList<LinhaEmissao> LinhasDaGrade() const;
    bool CarregaGravados(bool lote);
    bool ConfereLotes();
    void ImprimeFolha();
    void MostraGrafico();
    void EmiteSelecionadas(bool lote);
    QStringList Selecionadas() const;

    bool DBGrid3KeyDown(QKeyEvent* tecla);
    bool ConfereCelula(const QString& campo);
    bool PesquisaNaGrade(const QString& campo);

    Ui::TFmRelRec ui;
    TClientDataSet* TbReceita;
    TClientDataSet* TbFal;
    QAction* m_incluir = nullptr;
    QAction* m_substituir = nullptr;
    QList<QChartView*> m_graficos;
    QString m_baixaParametro;     // TIN 30
    bool m_banhoDaReceita = true; // TIN 90
    bool m_reserva = false;       // TIN 260
    QString m_deposito;           // the priority warehouse
    QStringList m_fals;           // the batch, the leading sheet first
    QString m_preparacao;
    QString m_banhoReceita;
    QString m_status;  // the leading sheet's
    QString m_grafico; // the recipe's curve
    int m_arredonda = 0;
    bool m_acumulando = false; // several sheets confirmed for one printing
};

extern TFmRelRec* FmRelRec;
