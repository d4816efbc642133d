#include "SaldoNota.h"
#include "DataAccess.h"
#include "Funcoes.h"
#include "InstrucoesEmLote.h"
#include "TZoQuery.h"
#include <QHash>
#include <QMap>
#include <algorithm>
#include <tuple>

size_t qHash(const ItemNota& item, size_t seed) {
    return qHashMulti(seed, item.nota, item.cliente, item.codigo, item.lote);
}

namespace {
void ChaveItem(TZoQuery& q, const ItemNota& item) {
    q.BindValue(QStringLiteral("NOTA"), item.nota);
    q.BindValue(QStringLiteral("CODCLI"), item.cliente);
    q.BindValue(QStringLiteral("CODIGO"), item.codigo);
    q.BindValue(QStringLiteral("LOTE"), item.lote);
}
} // namespace

bool MovePesoNota(const ItemNota& item, double peso, TZoDatabase* conexao) {
    // Both columns from the stored PESO_PROG: the server reads old values in every SET expression.
    TZoQuery itemNota(nullptr, conexao);
    itemNota.SQL << QStringLiteral("UPDATE %1 SET PESO_PROG = PESO_PROG + :PESO1,")
                        .arg(DBLocal(QStringLiteral("NFITIN")))
                 << QStringLiteral("PESO = PESO_REAL - (PESO_PROG + :PESO2)")
                 << QStringLiteral(
                        "WHERE NOTA = :NOTA AND CODCLI = :CODCLI AND CODIGO = :CODIGO AND LOTE = :LOTE");
    itemNota.BindValue(QStringLiteral("PESO1"), peso);
    itemNota.BindValue(QStringLiteral("PESO2"), peso);
    ChaveItem(itemNota, item);
    itemNota.ExecSQL();
    if (itemNota.RowsAffected() == 0)
        return false;
    TZoQuery nota(nullptr, conexao);
    nota.SQL << QStringLiteral("UPDATE %1 N SET SALDO = (SELECT COALESCE(SUM(I.PESO), 0) FROM %2 I")
                    .arg(DBLocal(QStringLiteral("NFTIN")), DBLocal(QStringLiteral("NFITIN")))
             << QStringLiteral("WHERE I.NOTA = N.NOTA AND I.CODCLI = N.CLIENTE)")
             << QStringLiteral("WHERE N.NOTA = :NOTA AND N.CLIENTE = :CODCLI");
    nota.BindValue(QStringLiteral("NOTA"), item.nota);
    nota.BindValue(QStringLiteral("CODCLI"), item.cliente);
    nota.ExecSQL();
    return true;
}

double PesoLivreNota(const ItemNota& item, TZoDatabase* conexao) {
    TZoQuery q(nullptr, conexao);
    q.SQL << QStringLiteral("SELECT PESO FROM %1").arg(DBLocal(QStringLiteral("NFITIN")))
          << QStringLiteral("WHERE NOTA = :NOTA AND CODCLI = :CODCLI AND CODIGO = :CODIGO AND LOTE = :LOTE");
    ChaveItem(q, item);
    q.Open();
    return q.IsEmpty() ? 0 : q.Fields(0).AsFloat();
}

namespace {
// A null text is the empty one: the engine finds an item by its unique key, where the two are one, and so
// does MovePesoNota with a null bound.
QString CondicaoItem(const ItemNota& item) {
    return QStringLiteral("(NOTA = %1 AND CODCLI = %2 AND CODIGO = %3 AND LOTE = %4)")
        .arg(Aspas(item.nota), Aspas(item.cliente), Aspas(item.codigo), Aspas(item.lote));
}

bool Antes(const ItemNota& a, const ItemNota& b) {
    return std::tie(a.nota, a.cliente, a.codigo, a.lote) < std::tie(b.nota, b.cliente, b.codigo, b.lote);
}

// Items per read: the statement stays well inside the engine's limit on its text.
constexpr int kItensPorLeitura = 150;
} // namespace

QStringList InstrucoesMovePesoNota(const QHash<ItemNota, double>& pesos) {
    QList<ItemNota> itens = pesos.keys();
    std::sort(itens.begin(), itens.end(), Antes);
    const QString tabelaItens = DBLocal(QStringLiteral("NFITIN"));
    QStringList instrucoes;
    QMap<QPair<QString, QString>, QStringList> porNota;
    for (const ItemNota& item : itens) {
        const QString peso = PermanecePonto(pesos.value(item));
        instrucoes << QStringLiteral(
                          "UPDATE %1 SET PESO_PROG = PESO_PROG + (%2), PESO = PESO_REAL - (PESO_PROG + "
                          "(%2)) WHERE %3")
                          .arg(tabelaItens, peso, CondicaoItem(item));
        porNota[{item.nota, item.cliente}]
            << QStringLiteral("(I.CODIGO = %1 AND I.LOTE = %2)").arg(Aspas(item.codigo), Aspas(item.lote));
    }
    // As MovePesoNota: the header only of an invoice that has one of the items moved.
    for (auto it = porNota.cbegin(); it != porNota.cend(); ++it)
        instrucoes << QStringLiteral(
                          "UPDATE %1 N SET SALDO = (SELECT COALESCE(SUM(I.PESO), 0) FROM %2 I WHERE "
                          "I.NOTA = N.NOTA AND I.CODCLI = N.CLIENTE) WHERE N.NOTA = %3 AND N.CLIENTE "
                          "= %4 AND EXISTS (SELECT 1 FROM %2 I WHERE I.NOTA = N.NOTA AND I.CODCLI = "
                          "N.CLIENTE AND (%5))")
                          .arg(DBLocal(QStringLiteral("NFTIN")), tabelaItens, Aspas(it.key().first),
                               Aspas(it.key().second), it.value().join(QStringLiteral(" OR ")));
    return instrucoes;
}

void MovePesosNota(const QHash<ItemNota, double>& pesos, TZoDatabase* conexao) {
    InstrucoesEmLote lote(conexao ? *conexao : *ConexaoHost());
    for (const QString& instrucao : InstrucoesMovePesoNota(pesos))
        lote.Adiciona(instrucao);
    lote.Executa();
}

QHash<ItemNota, double> PesosLivresNota(const QList<ItemNota>& itens, TZoDatabase* conexao) {
    QHash<ItemNota, double> livres;
    for (qsizetype inicio = 0; inicio < itens.size(); inicio += kItensPorLeitura) {
        QStringList condicoes;
        for (qsizetype i = inicio; i < qMin(itens.size(), inicio + kItensPorLeitura); ++i)
            condicoes << CondicaoItem(itens.at(i));
        TZoQuery q(nullptr, conexao);
        q.SQL << QStringLiteral("SELECT NOTA, CODCLI, CODIGO, LOTE, PESO FROM %1")
                     .arg(DBLocal(QStringLiteral("NFITIN")))
              << QStringLiteral("WHERE ") + condicoes.join(QStringLiteral(" OR "));
        q.Open();
        for (q.First(); !q.Eof(); q.Next())
            livres.insert({q.Fields(0).AsString().trimmed(), q.Fields(1).AsString().trimmed(),
                           q.Fields(2).AsString().trimmed(), q.Fields(3).AsString().trimmed()},
                          q.Fields(4).AsFloat());
    }
    QHash<ItemNota, double> pedidos;
    for (const ItemNota& item : itens)
        pedidos.insert(item, livres.value({item.nota.trimmed(), item.cliente.trimmed(), item.codigo.trimmed(),
                                           item.lote.trimmed()}));
    return pedidos;
}
