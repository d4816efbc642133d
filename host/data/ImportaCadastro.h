#pragma once
#include "HostExport.h"
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <utility>
#include <vector>

// Master data brought in from a spreadsheet saved as CSV: ";" between fields, decimal comma, UTF-8 or
// Latin-1, a first line naming the columns in any order. Every line is judged before anything is written
// (new, changes a record, unchanged, refused and why), and the accepted lines are written as one unit of work
// with one audit line, or nothing is.

// A column a file may bring. A header names it by the column's own name or one of `nomes` (case, accents,
// spaces and points do not count: "Razão Social", "RAZAO_SOCIAL" and "razao social" are one name).
struct CampoImportado {
    QString coluna;
    QStringList nomes;
    // "TABLE.COLUMN" a value must be found in; `seColuna` = `seValor` on the line picks `senao` instead
    // (a recipe item naming a fabric instead of a chemical).
    QString referencia;
    QString seColuna, seValor, senao;
    // Filled, when the file leaves it empty, from the row the column `de` of this line refers to, column
    // `copia` of that row, cut to this column's width (the names a price keeps).
    QString de, copia;
};

// One kind of registry. A kind with items (recipes) takes one line per item; the header's columns repeat
// on the lines of one key and the items replace the record's items whole. Items are numbered in the file's
// order unless it brings their order column.
struct CadastroImportavel {
    QString titulo;
    QString tabela;
    QStringList chave;
    QList<CampoImportado> campos;
    QString tabelaItens;
    QStringList chaveItens; // the item table's columns holding the record's key, in the key's order
    QString ordemItens;
    QList<CampoImportado> camposItens;
    // Runs inside the unit of work after the writes, with the keys of the records written.
    std::function<void(const QList<QStringList>& chaves)> aposGravar;
};

// The kinds the system imports: customers, fabrics, dyes and chemicals, colours, recipes with their items,
// service prices.
KELMHOST_EXPORT QList<CadastroImportavel> CadastrosImportaveis();

enum class Veredito { Novo, Altera, Igual, Recusado };

struct LinhaImportada {
    int linha = 0;       // of the file
    QStringList valores; // as the file has them, in the file's column order
    Veredito veredito = Veredito::Recusado;
    QString motivo; // why refused, or the fields that change ("NOME: A → B")
};

// Names the preview shows: "Novo", "Altera", "Sem alteração", "Recusado".
KELMHOST_EXPORT QString TextoVeredito(Veredito veredito);

class KELMHOST_EXPORT ImportaCadastro {
public:
    explicit ImportaCadastro(CadastroImportavel cadastro);
    ~ImportaCadastro();

    // Reads the file and judges every line against the database as it is now. False, with Erro(), when the
    // file cannot be read as a whole (a quote left open, a key column missing): then no line is judged.
    bool Le(const QString& arquivo);
    QString Erro() const { return m_erro; }
    QStringList Cabecalho() const { return m_cabecalho; }
    // Header columns that name nothing this kind takes: left out.
    QStringList Ignoradas() const { return m_ignoradas; }
    const QList<LinhaImportada>& Linhas() const { return m_linhas; }
    int Quantas(Veredito veredito) const;

    // Judges the file again inside one unit of work and writes every line not refused; the audit line and
    // what runs after the writes belong to the same unit. Throws, with nothing written, on any failure.
    // Returns the records written.
    int Importa();

    // The refused lines, as the file had them and with their reason last, in the same format: to correct
    // and import again. Throws when the file cannot be written.
    void GravaRecusadas(const QString& arquivo) const;

private:
    struct Coluna;
    struct Registro;
    void Julga();
    QString m_arquivo;
    CadastroImportavel m_cadastro;
    QString m_erro;
    QStringList m_cabecalho;
    QStringList m_ignoradas;
    QList<LinhaImportada> m_linhas;
    std::vector<Registro> m_registros;
};
