#pragma once
#include "DataSet.h" // the grids in the designed layout hold pointers to data sets
#include "RegrasFal.h"
#include "SaldoNota.h"
#include "TForm.h"
#include "ui_CadFal.h"
#include <QHash>
#include <QSet>

class PaginaConsulta;
class QButtonGroup;
class QKeyEvent;
class TClientDataSet;

// The lot sheet (FAL): a customer's lot with its colour, route, machine and price table and the invoice
// items it takes, whose weight it holds on the invoice. Saves, deletes, writes off and releases it, each in
// one unit of work; lays its process steps out from the items' routes. Splits pieces off into a new sheet,
// copies a sheet under a new number and starts a reprocess from an existing one.
class TFmCadFal : public TForm {
    Q_OBJECT
public:
    explicit TFmCadFal(QWidget* parent = nullptr);

    void BtnIncluirClick();
    void BtnExcluiClick();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void BitBtn7Click();
    void BtnServicosClick();
    void BtnQualidadeClick();
    void btnDesmembrarClick();
    void BitBtn8Click();
    void BitBtn9Click();
    // Another screen's lot ("FAL"): shown on the sheet as if typed.
    void Argumentos(const ArgumentosTela& argumentos) override;

protected:
    void FormCreate() override;
    bool SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason reason) override;

private:
    void DeclaraCaixas();
    void PreparaConsulta();
    void EdtFalExit();
    bool CampoValido(QWidget* control);
    enum FalLida { falInexistente, falAberta, falBaixada };
    FalLida BuscaDados(const QString& numero, bool copia = false);
    void LimpaTela();
    void MostraCor(const QVariant& corSistema);
    void NovoNumero();
    void HabilitaGravacao(bool habilita);
    void AtualizaTotal();
    bool DBGrid1KeyDown(QKeyEvent* tecla);
    bool TabNota();
    bool TabTecido();
    void PesquisaItemNota();
    void PreencheItemNota(TDataSet& linha);
    void NovaLinha(TDataSet& linha);
    int Tipo() const;
    QString Numero() const;
    bool ValidaGravacao(bool& liberadoCredito);
    QHash<ItemNota, double> PesoGravado(const QString& numero, const QString& cliente);
    QHash<ItemNota, double> PesoNaTela(const QSet<QString>& doReprocessado);
    QSet<QString> ItensDoReprocessado();
    ItemNota ItemDaLinha();
    bool Grava();
    bool GravaDados(bool liberadoCredito);
    QList<QPair<QString, QVariant>> CabecalhoDaTela(const QDate& entrada, const QDate& entrega,
                                                    const QString& status);
    QStringList LinhaDaTela(int tipo, const QSet<QString>& doReprocessado);
    QList<ItemPasso> ItensDaTela();
    void GravaProcessos(const QString& numero, const QString& grafico, const QList<ItemPasso>& itens);
    bool ComoArmazenada(const QString& numero);
    struct PecasMovidas {
        int linha; // in the grid
        int ordIt;
        int pecas;
    };
    void Desmembra(const QString& origem, const QString& nova, const QList<PecasMovidas>& movidas);
    void FechaReprocessada(const QString& original, const QString& numero);
    bool FalArmazenada(const QString& numero);
    double ValorEmAberto(const QString& cliente, const QString& numero);

    Ui::TFmCadFal ui;
    TClientDataSet* TbItens;
    PaginaConsulta* m_consulta = nullptr;
    QButtonGroup* m_tipos;
    QString m_modoProduto;        // TIN 150: "S" items from the product register
    int m_idadePreco = 0;         // TIN 240
    bool m_credito = false;       // TIN 250
    bool m_verificaPreco = false; // TIN 190: a normal sheet needs its colour's released price
    int m_diasEntrega = 0;        // TIN 20: delivery days proposed on a new sheet
    QString m_falCarregada;       // the stored FAL the sheet shows; empty for a new sheet
    QString m_corCarregada, m_varianteCarregada, m_reprocCarregado;
    QString m_numeroVerificado; // the number the exit rule last ran for
    QString m_servicosDe;       // the reprocessed sheet whose services the next save copies
    bool m_carregando = false;
};

extern TFmCadFal* FmCadFal;
