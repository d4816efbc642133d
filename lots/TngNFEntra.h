#pragma once
#include "DataSet.h" // the grids in the designed layout hold pointers to data sets
#include "TForm.h"
#include "TTabela.h"
#include "ui_TngNFEntra.h"
#include <QSet>

class CaixaPesquisa;
class PaginaConsulta;
class QKeyEvent;
class TClientDataSet;

// An invoice's items as the grid edits them: loaded as stored, checked as a whole before a save, and written
// back in batches inside the caller's unit of work. Each row remembers the key it was stored under, so a
// save updates it in place and never touches the weight lot sheets took from it meanwhile.
class ItensNota {
public:
    explicit ItensNota(QObject* dono);
    TClientDataSet* Tabela() const { return TbItens; }

    void BuscaDados(const QString& nota, const QString& cliente);
    void Limpa();

    struct Totais {
        double pecas = 0, valor = 0, saldoProgramacao = 0, saldoDevolucao = 0;
    };
    Totais CalculaSaldo() const;

    // Whether the current row was stored (its key as loaded), and that key.
    bool Gravado() const;
    QString CodigoGravado() const;
    // Removes the current row; a stored one is deleted from the invoice at the next save.
    void Remove();
    // What the removed stored rows were: fabric codes, in the order removed.
    QStringList CodigosRemovidos() const;

    // The lots the grid holds, the current row's aside.
    QSet<QString> LotesNaGrade() const;
    // The first row that repeats another's fabric and lot; -1 when none.
    int LinhaDuplicada() const;
    // The first row whose weighed weight is below what lot sheets took from it when loaded; -1 when none.
    int LinhaAbaixoDoProgramado() const;
    QString RecusaPeso(int linha, double programado) const;

    // Written in the caller's unit of work: checked against what is stored in a read or two, then the removed
    // rows deleted, the stored ones updated and the new ones inserted, fifty to a round trip. Returns the
    // refusal to show once the unit is rolled back, empty when all was written.
    QString GravaItens(const QString& nota, const QString& cliente);
    // The weight that arrived goes to the programme items the rows name.
    void AtualizaProgramacao();

private:
    QVariant Valor(int linha, const QString& campo) const;
    QString Texto(int linha, const QString& campo) const;
    void ItensAntesDoPost(TDataSet& item);
    QString ConfereRemovidos(const QString& nota, const QString& cliente) const;
    QString ConfereGravados(const QString& nota, const QString& cliente) const;

    TClientDataSet* TbItens;
    struct Chave {
        QString codigo, lote;
    };
    QList<Chave> m_removidos;
    bool m_carregando = false; // rows come in as stored
};

// Incoming production invoices: the header over the shared invoice table, the items with the weight still
// free for lot sheets, the check of which lot sheets and billing documents used an invoice, and its print.
class TfmTngNFEntra : public TForm {
    Q_OBJECT
public:
    explicit TfmTngNFEntra(QWidget* parent = nullptr);

    void BitBtn12Click();      // include
    void BitBtn23Click();      // alter
    void BitBtn24Click();      // delete the invoice
    void SpeedButton16Click(); // confirm
    void btnDesistirClick();
    void BitBtn1Click(); // delete the current item
    void BitBtn5Click(); // consult
    void BitBtn2Click(); // print
    void btnConsultarClick();

protected:
    void FormCreate() override;
    void FormClose() override;
    bool SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason reason) override;
    bool Desiste(QWidget* button) const override;
    bool TemAlteracoes() const override { return Editando(); }
    void GravaAlteracoes() override { SpeedButton16Click(); }

private:
    void DeclaraCaixas();
    void PreparaCabecalho();
    void PreparaItens();
    void PreparaConsulta();
    TTabelaDataSet* Cabecalho() const { return m_notas.get(); }
    QString Nota() const;
    QString Cliente() const;
    bool Editando() const;
    void Bar_Confirma(bool editando);
    void FimEdicao();
    void BuscaDados();
    void CalculaSaldo();
    void MostraDataLancamento();
    bool LeDataLancamento();

    bool EdtNotaExit();
    bool EdtClienteExit();
    bool ClienteLiberado();
    bool EdtNaturezaExit();
    bool ValidaCabecalho();
    bool ValidaItens();
    void FocaItem(int linha, const QString& campo);
    QString GravaDados(bool incluindo);

    bool DBGrid1KeyDown(QKeyEvent* tecla);
    bool ConfereProduto();
    bool PesquisaProduto();
    bool ConfereClassificacao();
    void PreencheLote();
    void ConsultaProgramacao();

    void AbreDaConsulta();
    bool MostraNota(const QString& nota, const QString& cliente);

    Ui::TfmTngNFEntra ui;
    TabelaAberta m_notas;
    ItensNota m_itens;
    PaginaConsulta* m_consulta = nullptr;
    CaixaPesquisa* m_tipo = nullptr;
    CaixaPesquisa* m_emissor = nullptr;
    QString m_regraLote;         // "COM" 80
    QString m_naturezaConferida; // nature and customer the nature's checks last accepted
    bool m_travado = false;      // a lot sheet holds the invoice: only its header changes
};

extern TfmTngNFEntra* fmTngNFEntra;
