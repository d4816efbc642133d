#pragma once
#include "ColunaGrade.h"
#include "TForm.h"
#include <QPair>
#include <QStringList>
#include <QVariant>
#include <functional>

class QAbstractButton;
class QButtonGroup;
class QLineEdit;
class QPushButton;
class QTabWidget;
class TClientDataSet;
class TDataSet;
class TRelatorio;
class TZoDBGrid;

// One filter of a report screen. Its condition joins the statement where the statement has its marker
// (/*FILTROS*/ unless the filter names another), only when the filter is filled.
struct FiltroRelatorio {
    enum class Tipo {
        Periodo, // "De"/"Até" dates: coluna >= from AND coluna <= to (boxes nome + "Ini" and nome + "Fim")
        Codigo,  // a code with its look-up: coluna = code
        Lista,   // several codes ("01, 02") with their look-up: coluna IN (...)
        Opcao,   // a radio group: the chosen option's own text goes in as it is (a condition, an order)
        Marca,   // a check box: its text goes in when checked
        Numero,  // a whole number typed: coluna = number
        // Numbers "De"/"Até" typed as shown ("1,5"; boxes nome + "Ini" and nome + "Fim"), each bound only
        // when above 0: coluna >= from AND coluna <= to; without a coluna the pivot applies them (Faixa()).
        Faixa,
        Hora,      // times of day "De"/"Até" (boxes nome + "Ini"/"Fim"): no condition, the pivot reads them
        Intervalo, // texts "De"/"Até" (boxes nome + "Ini"/"Fim"), each bound only when typed: coluna >= from
                   // AND coluna <= to
        Texto,     // a text typed: coluna LIKE %text%
        Escolha,   // a drop-down of opcoes: coluna = the one chosen, the first (blank) for none
        Valor,     // a number typed as shown, for the pivot (Valor()); no condition
    };
    Tipo tipo = Tipo::Codigo;
    QString nome{};        // the control's name ("EdtCodMaq", "rgFaturadas"); a period's boxes add Ini/Fim
    QString legenda{};     // caption beside it
    QString coluna{};      // SQL expression the condition applies to ("FAL.MAQUINA"); none: no condition
    QStringList colunas{}; // its column under each option of rel.escolha, when the statements differ
    QString marcador = QStringLiteral("FILTROS");
    // The condition put inside this text at %1 ("EXISTS (SELECT 1 FROM {CONTR_QUL} Q WHERE ... AND %1)"): a
    // filter on rows of another table that must not repeat the report's own rows.
    QString envolve{};
    // Codes: the look-up's table, key and description, and the refusal of an unknown code.
    QString tabela{}, chave = QStringLiteral("CODIGO"), descricao = QStringLiteral("DESCRICAO"), recusa{};
    bool distintos = false; // a table with several rows per code (a route's steps)
    // Options: captions and the text each puts at the marker; the check box's text is textos[0].
    QStringList opcoes{}, textos{};
    int padrao = 0;           // option checked at opening
    bool obrigatorio = false; // an empty filter stops Confirmar
    // Enabled only while that option of that radio filter (or check box: 1 checked) is chosen; a disabled
    // filter puts nothing in.
    struct {
        QString filtro{};
        int opcao = 0;
    } soCom{};
    // A code's further columns, read whenever its box changes, and what the screen does with them.
    QStringList colunasLinha{};
    std::function<void(const QVariantMap& linha)> mostra{};
};

// The representative's code box (EdtCodRep) of the reports, its condition on that column.
inline FiltroRelatorio FiltroRepresentante(const QString& coluna) {
    return {.tipo = FiltroRelatorio::Tipo::Codigo,
            .nome = QStringLiteral("EdtCodRep"),
            .legenda = QStringLiteral("Representante"),
            .coluna = coluna,
            .tabela = QStringLiteral("REPRESEN"),
            .chave = QStringLiteral("CODREP"),
            .descricao = QStringLiteral("NOME"),
            .recusa = QStringLiteral("Representante não cadastrado.")};
}

// A list of codes with its look-up on a table keyed by CODIGO and described by DESCRICAO.
inline FiltroRelatorio FiltroLista(const char* nome, const char* legenda, const char* coluna,
                                   const char* tabela, const char* recusa = "") {
    return {.tipo = FiltroRelatorio::Tipo::Lista,
            .nome = QString::fromUtf8(nome),
            .legenda = QString::fromUtf8(legenda),
            .coluna = QString::fromUtf8(coluna),
            .tabela = QString::fromUtf8(tabela),
            .recusa = QString::fromUtf8(recusa)};
}

// The bounds typed in a Faixa filter; a bound of 0 (blank, or below) does not apply. A value equal to a bound
// typed as it is shown passes.
struct FaixaRelatorio {
    double de = 0, ate = 0;
    bool Contem(double valor) const {
        return (de <= 0 || valor >= de - 1e-9) && (ate <= 0 || valor <= ate + 1e-9);
    }
};

// A filter's value as the user left it, and what it puts into the statement.
// A further list the report reads over the same filters, on a page of its own beside the rows.
struct PaginaRelatorio {
    QString titulo;   // the page's tab
    QString conjunto; // its rows' data set, by name
    QString sql;      // placeholders and markers as the report's statement
    QList<ColunaGrade> colunas{};
};

struct CondicaoRelatorio {
    QString marcador;
    QString texto;        // " AND ..." with :names, or an option's own text
    QVariantHash valores; // by :name
};

// The statement of a report with the conditions of its filled filters at their markers (/*FILTROS*/),
// each marker that no condition fills left empty; the values stay bound.
struct InstrucaoRelatorio {
    QString sql;
    QVariantHash valores;
};
InstrucaoRelatorio MontaInstrucao(const QString& sql, const QList<CondicaoRelatorio>& condicoes);

// The report-screen frame: the declared filters on top, "Confirmar" (BitBtn1) runs one statement built from
// them and shows its rows (or what the pivot makes of them) in DBGrid1, "Imprimir" (BtImp) prints them under
// the report identifier, headed by the filters they were read under, "Exportar" (BtExportar) writes them as
// a spreadsheet, "&Fechar" (BtFechar) closes. A concrete
// report declares its filters, statement, pivot and identifiers in FormCreate and calls AbreRelatorio;
// nothing else.
class TFmRelatorio : public TForm {
    Q_OBJECT
public:
    explicit TFmRelatorio(QWidget* parent = nullptr);

    void BitBtn1Click(); // Confirmar
    void BtImpClick();
    // The rows shown: the statement's, or the pivot's.
    TClientDataSet* Resultado() const;
    // The statements the rows were last read by, with their values: the report's, then its pages'.
    const QList<InstrucaoRelatorio>& UltimasInstrucoes() const { return m_ultimas; }

protected:
    struct Declaracao {
        QList<FiltroRelatorio> filtros;
        QString sql; // table names as {TABLE} placeholders; markers /*FILTROS*/
        // A statement per option of the radio filter (or check box) named in `escolha`: the chosen one runs
        // instead of `sql`.
        QString escolha;
        QStringList instrucoes;
        // The pivot: fields of the result, then the statement's rows folded into it.
        std::function<void(TClientDataSet& resultado)> camposPivo;
        std::function<void(TDataSet& linhas, TClientDataSet& resultado)> pivo;
        QList<ColunaGrade> colunas; // the grid's columns; every field when empty
        QString relatorio, titulo;  // the identifier, and the title when not the screen's caption
        QList<PaginaRelatorio> paginas;
        bool texto = false; // printed in text mode too: the print asks for the output
    };
    Declaracao rel;
    // Builds the filters' controls; call at the end of FormCreate.
    void AbreRelatorio();
    // Extra checks of the filters before the statement runs; false stops (the screen has told why).
    virtual bool ValidaFiltros() { return true; }
    // The identifier the rows print under (one per order of a report, say); rel.relatorio by default.
    virtual QString Identificador() const { return rel.relatorio; }
    // The rows "Imprimir" and "Exportar" take: the result's; a screen with rows of its own on pages, the ones
    // shown.
    virtual TDataSet* Impressos() const;
    // What a report adds to its print beyond the rows and the filters' header: sections, a chart page.
    virtual void PreparaImpressao(TRelatorio& relatorio) { Q_UNUSED(relatorio); }
    // The statement with its {TABLE} placeholders resolved: the current company's tables; a report over
    // every company of the group unites them (UnionTodasEmpresas).
    virtual QString ResolveTabelas(const QString& sql) const;
    // What the pivot reads of the filters: the option chosen in a radio filter (a check box: 1 checked), the
    // bounds of a range (none while it is disabled), a filter's control by name.
    int Opcao(const QString& filtro) const;
    FaixaRelatorio Faixa(const QString& filtro) const;
    double Valor(const QString& filtro) const; // 0 when blank or not a number
    QWidget* Controle(const QString& nome) const;
    // A page of the screen's own beside the filters and rows (a chart): the first one puts them into the
    // pages of PageControl1, as its page "Relatório".
    QWidget* AdicionaPagina(const QString& titulo);
    // The buttons beneath the pages instead of on page "Relatório": pages whose rows print and export
    // (Impressos()).
    void BotoesEmTodasAsPaginas();

private:
    bool m_botoesAbaixo = false;
    // The conditions of the filled filters; a filter that cannot be read is named in `falha`, its control in
    // `onde`.
    QList<CondicaoRelatorio> Condicoes(QString* falha = nullptr, QWidget** onde = nullptr) const;
    bool Ativo(const FiltroRelatorio& f) const;
    // The filled filters as the print's header lines: caption, value.
    QList<QPair<QString, QString>> Cabecalho() const;
    // The filters' box: their rows in columns of forms, the radio groups and check boxes beneath.
    QWidget* m_filtros;
    QWidget* m_relatorio;
    QTabWidget* m_paginas = nullptr;
    QPushButton *BitBtn1, *BtImp, *BtExportar, *BtFechar;
    TZoDBGrid* DBGrid1;
    TClientDataSet* TbResultado;
    QList<TClientDataSet*> m_paginasDados; // rel.paginas' rows, in order
    QList<InstrucaoRelatorio> m_ultimas;
    QList<QPair<QString, QString>> m_cabecalho; // the filters the rows shown were read under
};
