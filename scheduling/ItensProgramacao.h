#pragma once
#include <QDate>
#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

class QObject;
class TClientDataSet;
class TDataSet;
class TSisImporta;
class TZoDatabase;

// What a programme repeats on every one of its rows.
struct CabecalhoProgramacao {
    QString numero, cliente;
    QDate entrada, entrega;
};

// A programme's items as the grid edits them (the working table `TbItens`): loaded from TNG_PROG, written
// back in the caller's unit of work. Each loaded row remembers the order it is stored under, so a save
// addresses exactly that row; a row that was never loaded never replaces a stored one.
class ItensProgramacao {
public:
    explicit ItensProgramacao(QObject* dono);
    TClientDataSet* Tabela() const { return TbItens; }

    void Limpa();
    // The row being typed goes into the table; one still blank (no dye lot, no product) is dropped.
    void ConcluiLinha();
    static bool LinhaEmBranco(TDataSet& linha);
    // The stored rows of the programme, ordered by dye lot and order; false when it has none. The header
    // comes from its first row. `db` is the host connection when null.
    bool BuscaDados(const QString& numero, CabecalhoProgramacao& cabecalho, TZoDatabase* db = nullptr);

    int ProximaOrdem() const;

    // Writes the open rows in the unit of work of `db` (the host connection when null), fifty statements to a
    // round trip: a loaded row whose
    // stored row has no FAL is updated in place, a loaded row whose product was cleared is deleted, a new
    // row is inserted under its own order or, when another user stored that order meanwhile, the next free
    // one. Rows whose stored row went to a FAL are left as stored. Nothing is committed here.
    struct Gravacao {
        bool gravou = false;           // at least one row was written or deleted
        QList<QPair<int, int>> ordens; // the rows inserted and the order each was stored under
    };
    Gravacao GravaDados(const CabecalhoProgramacao& cabecalho, TZoDatabase* db = nullptr);
    // Stored rows written whole with the lot sheet each went to (generation and the sheet's update), in the
    // unit of work of `db`, one prepared statement for all; the first row no longer stored, or -1.
    int GravaLinhasFal(const CabecalhoProgramacao& cabecalho, const QList<int>& linhas, TZoDatabase* db);
    // Once the unit is committed: the inserted rows are stored rows from now on.
    void AplicaGravacao(const Gravacao& gravacao);

    // Appends one row per record of the file; the fields the file names fill the row's fields of the same
    // name, except those that tie a row to a FAL or to a stored row. Every record is read before any row
    // is appended, so a value that does not read appends nothing (it throws).
    int Importa(TSisImporta& arquivo, const QString& regiao);
    // The fields an export writes, in order, and each row's values.
    static QStringList CamposExportados();
    QList<QVariantList> LinhasExportadas() const;

    // Rows re-ordered by dye lot, then order.
    void OrdenaPorPartida();

    // Whether a save would leave the rows as `armazenados` (the programme read again) holds them: every
    // stored row with the values a save writes and its lot sheet, none added, none missing; a row whose
    // product was cleared is one the save deleted.
    bool IguaisAosArmazenados(const ItensProgramacao& armazenados) const;

    QVariant Valor(int linha, const QString& campo) const;
    QString Texto(int linha, const QString& campo) const;
    void Define(int linha, const QString& campo, const QVariant& valor);
    int Linhas() const;
    // Whether the row was loaded from (or saved to) the table, and the order it is stored under.
    // True while rows come in as stored, imported or re-ordered: the row rules of the screen stand aside.
    bool Carregando() const { return m_carregando; }
    bool Armazenado(int linha) const;
    int OrdemArmazenada(int linha) const;

private:
    TClientDataSet* TbItens;
    bool m_carregando = false;
};
