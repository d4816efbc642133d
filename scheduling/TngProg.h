#pragma once
#include "DataSet.h" // the grids in the designed layout hold pointers to data sets
#include "GeracaoFal.h"
#include "ItensProgramacao.h"
#include "TForm.h"
#include "ui_TngProg.h"
#include <memory>

class PaginaConsulta;
class QAction;
class QKeyEvent;
class TZoDatabase;

// The production programme: one customer's numbered intake list, typed, looked up, weighed on the scale or
// imported; searched on the first page, kept on the second. Its rows turn into lot sheets elsewhere; here
// they are saved, numbered into dye lots, labelled and handed to recipe issue.
class TFmTngProg : public TForm {
    Q_OBJECT
public:
    explicit TFmTngProg(QWidget* parent = nullptr);
    ~TFmTngProg() override;

    void EdtLoteExit();
    void BitBtn1Click();  // save
    void BitBtn7Click();  // new
    void BitBtn3Click();  // delete the programme
    void BitBtn4Click();  // search
    void BitBtn8Click();  // import
    void BitBtn10Click(); // export
    void BitBtn6Click();  // piece labels
    void BitBtn11Click(); // recipes of the selected rows' lot sheets
    void BitBtn5Click();  // generate a lot sheet from the selected rows
    void BitBtn9Click();  // push the selected rows' edits into their lot sheets
    void SpeedButton1Click();
    void CbTodosClick();
    void DuplicarItemClick();
    void ExcluirItem1Click();
    void PrioridadedaFAL1Click();
    void AdicionarServioClick();
    void AdicionarServioSelecionados1Click();
    void Quadrodeinformaes1Click();
    void GeraTinturariaClick();

    ItensProgramacao& Itens() { return m_itens; }
    CabecalhoProgramacao Cabecalho() const;
    // Writes the open rows and the audit line in one committed unit; false when there was nothing to write.
    bool GravaDados();
    // The screen's own connection to the database, for the lot sheets' units of work: what it writes is
    // committed or rolled back apart from the host's.
    TZoDatabase& DBSaldo();

protected:
    void FormCreate() override;
    void FormClose() override;
    bool FormKeyDown(QKeyEvent* tecla) override;
    bool SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason reason) override;

private:
    void DeclaraCaixas();
    void PreparaItens();
    void PreparaConsulta();
    void PreparaMenu();
    void LigaBotoes();
    void Limpa();
    void MostraUltimaFal();
    void GeraTotais();

    // header
    void EdtCodCliChange();
    void MostraUltimaPartida();
    void EdtEntregaEnter();
    bool DataValida(QLineEdit* caixa, const QString& mensagem);

    // item grid
    bool DBGrid1KeyDown(QKeyEvent* tecla);
    bool PesquisaColuna(const QString& campo);
    bool ConfereColuna(const QString& campo);
    bool ConfereProduto();
    bool ConfereCor();
    bool ConfereVariante(const QString& campo);
    bool ConfereEstampa();
    bool ConfereRolo();
    QString DonoEstampa(const QString& estampa) const;
    void ConsultaNotaEntrada();
    void TbItensBeforePost(TDataSet& item);
    void TbItensAfterInsert(TDataSet& item);
    void TbItensBeforeDelete(TDataSet& item);
    void PesaBalanca();
    QList<int> Selecionadas() const;
    void AtualizaMenu();
    bool ConfereGravacao();
    bool ComoArmazenada();

    // search page
    void AbreDaConsulta();

    Ui::TFmTngProg ui;
    ItensProgramacao m_itens;
    PaginaConsulta* m_consulta = nullptr;
    std::unique_ptr<TZoDatabase> m_saldo;
    ParametrosGeracao m_parametros;
    QAction* m_acaoServico = nullptr;
    QAction* m_acaoTinturaria = nullptr;
    QString m_regiao;                  // the customer's price region
    QString m_clienteMostrado;         // whose name and region are shown
    QString m_numeroCarregado;         // the programme the grid holds
    QDate m_entradaDaEntrega;          // the entry date the delivery date shown was stored or typed with
    bool m_programaArmazenado = false; // the grid holds a programme stored in the table
    bool m_excluindoItem = false;
    bool m_limpando = false;
};

extern TFmTngProg* FmTngProg;
