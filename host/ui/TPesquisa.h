#pragma once
#include "HostExport.h"
#include <QDialog>
#include <QPointer>
#include <QStringList>
#include <memory>
#include <optional>

class QLineEdit;
class TDataSet;
class TZoQuery;
class TZoDBGrid;

// A look-up: a search list over a table (or a query of the caller's), narrowed by what the user types;
// the chosen key goes back into the box, and RetornoPesquisa gives any other column of the chosen row.
// The list holds a window of rows at a time, more coming as it is scrolled to its end: a table of years
// opens as fast as a small one, and typing still searches every row.
class KELMHOST_EXPORT TPesquisa : public QObject {
    Q_OBJECT
public:
    explicit TPesquisa(QObject* parent = nullptr);
    ~TPesquisa() override;

    QString Titulo;
    QString Tabela;     // table searched when SQL is empty
    QString CampoChave; // key column written back
    QStringList Campos; // columns listed (the key first when empty)
    QString CampoBusca; // column the typed text searches; the first text column of Campos when empty
    QString Filtro;     // extra condition, SQL text
    QString OrdenarPor; // total (no two rows tied), or rows may fall between two windows
    QString SQL;        // a query of the caller's instead of the table
    // The rows of SQL with only the columns the filter and the search name, counted instead of SQL: its
    // joins for what is only shown would be read for every row counted. SQL when empty.
    QString SQLContagem;
    // Columns worked out row by row (sub-selects, joins) for the rows of a window only, not for every row the
    // filter takes before the window is cut: a statement over the window as the derived table W, `%1` in
    // the text ("SELECT W.*, (SELECT ...) AS X FROM %1 W"). SQL then holds what the filter, the search and
    // the order need.
    QString SobreJanela;
    // The first window brings the count of every row with it (Total()): the statement runs once, not once
    // more to count. For a statement that reads every row before its first window anyway (a sort, DISTINCT),
    // not for one that walks an index and stops at the window's end; a SobreJanela passes it on by W.*.
    bool ContaNaJanela = false;
    // Told instead of an empty list when the table, as filtered, has no row at all: why there is nothing
    // to choose ("Nenhuma máquina cadastrada para a fase 01.").
    QString TextoVazio;
    QPointer<QLineEdit> Edit;
    // Several rows may be chosen (Ctrl or Shift with the mouse or the arrows); Chaves() gives their keys.
    bool MultiplaEscolha = false;

    // Shows the list; true when a row was chosen.
    bool AbrePesquisa(QWidget* parent = nullptr);
    QVariant RetornoPesquisa(const QString& field) const;
    QString Chave() const { return RetornoPesquisa(CampoChave).toString(); }
    // Every key chosen, in the list's order (the one key of a single choice).
    QStringList Chaves() const { return m_keys; }

    static constexpr int kJanela = 100; // rows fetched at a time

    // Used by the dialog, tests and scripts: loads the first rows whose searched column contains the text.
    TZoQuery* Busca(const QString& text);
    // Appends the next rows of the last search; false when it had none left.
    bool BuscaMais();
    // Appends every row of the last search not read yet, in one statement: a window at a time would read the
    // rows before each window again.
    bool BuscaResto();
    // The rows of the last search, the windows read so far.
    TZoQuery* Linhas() const { return m_rows.get(); }
    // How many rows the list holds under its filter (and the text typed), read or not.
    int Conta(const QString& text = QString()) const;
    // How many rows the last search holds, read or not: as its first window counted them when ContaNaJanela.
    int Total() const;
    // The grid over the rows reads the next window before the user reaches the end of those read, by the
    // bar or the keys, or when it grows taller than they are; for as long as `contexto` lives.
    void AcompanhaRolagem(TZoDBGrid* grid, QObject* contexto);
    // The statement that fetches the rows of the text from the one at `inicio` (0 is the first).
    QString Statement(const QString& text, int inicio = 0) const;
    // Chooses the row whose key is given, fetched or not; false when no row has it.
    bool Escolhe(const QString& key);
    // Chooses the rows of these keys; false when one of them is in no row.
    bool EscolheVarias(const QStringList& keys);
    bool ExecDialog(QWidget* parent);

    // The key chosen in a list of a table's codes and descriptions; none when the list was cancelled.
    static std::optional<QString> EscolheCodigo(QWidget* parent, const QString& titulo, const QString& tabela,
                                                const QString& chave = QStringLiteral("CODIGO"),
                                                const QString& descricao = QStringLiteral("DESCRICAO"));
    // The common case: a look-up over a table's code and description whose chosen code goes into a field of
    // a data set (put into Edit first). True when a row was chosen.
    static bool PesquisaCampo(QWidget* parent, const QString& titulo, const QString& tabela,
                              TDataSet* destino, const QString& campo,
                              const QString& chave = QStringLiteral("CODIGO"),
                              const QString& descricao = QStringLiteral("DESCRICAO"));

private:
    QString Selecao(const QString& sql, const QStringList& conditions, bool total = false) const;
    QString Monta(const QStringList& conditions, const QString& rows, bool total = false) const;
    bool Acrescenta(int quantas);
    void Toma(TZoQuery& rows);
    std::unique_ptr<TZoQuery> m_rows;
    QString m_text;      // of the rows loaded
    bool m_more = false; // the last fetch filled its window: there may be more
    int m_total = -1;    // counted with the first window
    bool m_fetching = false;
    QVariantMap m_chosen;
    QStringList m_keys;
};
