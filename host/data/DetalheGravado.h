#pragma once
#include "HostExport.h"
#include <QString>
#include <QStringList>
#include <functional>

class TDataSet;
class TZoQuery;

// The rows one table keeps under a code (a route's steps, a preparation's items, a rule's lines, a lot
// sheet's services) that a screen loads, lets the user edit and replaces or deletes wholesale. It remembers
// the code whose rows were loaded and what they were, and writes only over those: the key locked
// (TravaChave), the stored rows compared, deleted and the screen's own inserted, one unit of work. It asks
// the user nothing, so it lives with the data: each screen tells its own message when nothing was written.
// Rows are compared as a set, in no order: where the order of a code's rows means something it is stored in
// a column (ORDEM), and that column is among the compared fields.
class KELMHOST_EXPORT DetalheGravado {
public:
    // The screen's writes once the code's stored rows are gone: its rows and its audit line. `existiam`:
    // rows were stored (an alteration) or none (an inclusion).
    using Insercao = std::function<void(const QString& codigo, bool existiam)>;

    // A code's rows are those of `tabela` whose column `chave` holds it; `campos` are the stored columns a
    // row is compared by. A key of several columns ("ESTAMPA,VARIANTE") takes codes made by ChaveComposta.
    DetalheGravado(QString tabela, QString chave, QStringList campos);

    // The code of a key of several columns: their values in the key's order (a date as ISO text, which
    // binds as that date).
    static QString ChaveComposta(const QStringList& valores);
    // The values of such a code, in the key's order.
    static QStringList PartesDaChave(const QString& codigo);

    // The code whose rows were loaded last; empty when none, or when a save found them changed since.
    const QString& Codigo() const { return m_codigo; }
    // Whether rows of `codigo` were loaded and there was at least one.
    bool ComLinhas(const QString& codigo) const;

    // `linhas` is the very read the screen shows, so that nothing stored since can pass for loaded; it holds
    // every field compared.
    void Carregado(const QString& codigo, const TDataSet& linhas);
    // A code found with no rows, to be stored as new.
    void Novo(const QString& codigo);
    void Esquece();

    // Replaces the stored rows of `codigo` with what `insere` writes, committed; false, with nothing written,
    // when they are no longer the rows loaded for it (none, for a code not loaded). The rows written count
    // as loaded; a code found changed is forgotten, so the screen loads it again before it saves.
    bool Grava(const QString& codigo, const Insercao& insere);
    // Deletes the stored rows of `codigo` with what `registra` writes (its audit line), committed; false,
    // with nothing deleted, when they are no longer the rows loaded for it. Deleted, nothing is loaded any
    // more.
    bool Exclui(const QString& codigo, const std::function<void()>& registra);
    // Writes the screen's rows under the next free code of `largura` characters (Proximo) and answers it. A
    // code handed out is unused, but a user may be storing it as new right now: then the next one.
    QString GravaCopia(int largura, const Insercao& insere);

private:
    QStringList Gravadas(const QString& codigo) const;
    QStringList Impressao(const TDataSet& linhas) const;
    // "A = :K0 AND B = :K1" with the code's values bound.
    QString Condicao() const;
    void Vincula(TZoQuery& q, const QString& codigo) const;

    QString m_tabela;
    QStringList m_chave;
    QStringList m_campos;
    QString m_codigo;
    QStringList m_linhas; // the rows of m_codigo as loaded (ImpressaoLinhas, sorted)
};
