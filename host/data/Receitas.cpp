#include "Receitas.h"
#include "CustoReceita.h"
#include "DataAccess.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "RegrasCalculo.h"
#include "TZoDatabase.h"
#include "TZoQuery.h"
#include <QHash>
#include <QSet>
#include <QSqlQuery>

namespace {
// One prepared statement for every price a run marks for review.
class BloqueioPreco {
public:
    BloqueioPreco() {
        m_update.SQL
            << QStringLiteral("UPDATE %1 SET LIBERADO = 'N'").arg(DBLocal(QStringLiteral("TABPRECO")))
            << QStringLiteral("WHERE COR = :COR AND VARIANTE = :VARIANTE AND REGIAO IN "
                              "(SELECT REGIAO FROM %1 WHERE PADRAO = 'S')")
                   .arg(DBLocal(QStringLiteral("REGIAO")));
    }
    void Bloqueia(const QString& cor, const QString& variante) {
        m_update.BindValue(QStringLiteral("COR"), cor.trimmed());
        m_update.BindValue(QStringLiteral("VARIANTE"), variante.trimmed());
        m_update.ExecSQL();
    }

private:
    TZoQuery m_update;
};

struct ItemLido {
    ItemCusto custo;
    QString regra;
};

ItemLido itemLido(TDataSet& q, bool produto) {
    ItemLido item;
    item.custo.unidade = q.FieldByName(QStringLiteral("UNIDADE")).AsString();
    item.custo.qtde = q.FieldByName(QStringLiteral("QTDE")).AsFloat();
    item.custo.fibra = q.FieldByName(QStringLiteral("FIBRA")).AsString();
    item.regra = q.FieldByName(QStringLiteral("REGRA")).AsString().trimmed();
    if (produto) {
        item.custo.preco = q.FieldByName(QStringLiteral("PRECO")).AsFloat();
    } else {
        item.custo.preco = q.FieldByName(QStringLiteral("REPOSICAO")).AsFloat();
        item.custo.concentracao = q.FieldByName(QStringLiteral("CONCENTRACAO")).AsFloat();
    }
    return item;
}

QString chave(const QString& receita, const QString& variante) {
    return receita.trimmed() + QLatin1Char('\x1f') + variante.trimmed();
}

struct ReceitaLida {
    QString codigo, variante, cor, preparacao, indice;
    double proporcao = 0;
    double custo = 0;
    QList<ItemLido> itens;
};

// The recipes a recalculation touches, as a condition on RECEITA R. A product is a chemical: recipe items
// naming a fabric product (TP_ITEM 'P') under the same code do not count.
QString alvos(const QString& produto, const QString& variante, const QString& preparacao) {
    QStringList condicoes;
    if (!produto.isEmpty()) {
        QString proprios =
            QStringLiteral("EXISTS (SELECT 1 FROM %1 M WHERE M.RECEITA = R.CODIGO AND "
                           "M.VARIANTE = R.VARIANTE AND M.CODIGO = %2 AND COALESCE(M.TP_ITEM, '') <> 'P')")
                .arg(DBLocal(QStringLiteral("MAT_TIN")), Aspas(produto));
        if (!variante.isEmpty())
            proprios = QStringLiteral("(R.VARIANTE = %1 AND %2)").arg(Aspas(variante), proprios);
        condicoes << proprios
                  << QStringLiteral("R.PREPARACAO IN (SELECT P.CODIGO FROM %1 P WHERE P.MATERIAL = %2)")
                         .arg(DBLocal(QStringLiteral("PREPARACAO")), Aspas(produto));
    }
    if (!preparacao.isEmpty())
        condicoes << QStringLiteral("R.PREPARACAO = %1").arg(Aspas(preparacao));
    return QLatin1Char('(') + condicoes.join(QStringLiteral(" OR ")) + QLatin1Char(')');
}

QList<ReceitaLida> leReceitas(const QString& condicao) {
    TZoQuery cabecalhos;
    cabecalhos.SQL
        << QStringLiteral("SELECT R.CODIGO, R.VARIANTE, R.COR, R.CUSTO, R.PREPARACAO, V.INDICE, "
                          "B.PROPORCAO")
        << QStringLiteral("FROM %1 R LEFT JOIN %2 V ON (V.CODIGO = R.VARIANTE)")
               .arg(DBLocal(QStringLiteral("RECEITA")), DBLocal(QStringLiteral("VARIANTE")))
        << QStringLiteral("LEFT JOIN %1 B ON (B.CODIGO = R.COD_BANHO)").arg(DBLocal(QStringLiteral("BANHO")))
        << QStringLiteral("WHERE %1 ORDER BY R.CODIGO, R.VARIANTE").arg(condicao);
    cabecalhos.Open();
    QList<ReceitaLida> receitas;
    QHash<QString, int> posicao;
    for (cabecalhos.First(); !cabecalhos.Eof(); cabecalhos.Next()) {
        ReceitaLida r;
        r.codigo = cabecalhos.Fields(0).AsString().trimmed();
        r.variante = cabecalhos.Fields(1).AsString().trimmed();
        r.cor = cabecalhos.Fields(2).AsString().trimmed();
        r.custo = Arredondar(cabecalhos.Fields(3).AsFloat(), 2);
        r.preparacao = cabecalhos.Fields(4).AsString().trimmed();
        r.indice = cabecalhos.Fields(5).AsString();
        r.proporcao = cabecalhos.Fields(6).AsFloat();
        posicao.insert(chave(r.codigo, r.variante), receitas.size());
        receitas << r;
    }
    if (receitas.isEmpty())
        return receitas;

    TZoQuery itens;
    itens.SQL << QStringLiteral(
                     "SELECT M.RECEITA, M.VARIANTE, M.UNIDADE, M.QTDE, M.FIBRA, M.REGRA, M.TP_ITEM, "
                     "MAT.REPOSICAO, MAT.CONCENTRACAO, PROD.PRECO")
              << QStringLiteral("FROM %1 R JOIN %2 M ON (M.RECEITA = R.CODIGO AND M.VARIANTE = R.VARIANTE)")
                     .arg(DBLocal(QStringLiteral("RECEITA")), DBLocal(QStringLiteral("MAT_TIN")))
              << QStringLiteral("LEFT JOIN %1 MAT ON (MAT.CODIGO = M.CODIGO)")
                     .arg(DBLocal(QStringLiteral("MATERIAL")))
              << QStringLiteral("LEFT JOIN %1 PROD ON (PROD.CODIGO = M.CODIGO)")
                     .arg(DBLocal(QStringLiteral("PRODUTO")))
              << QStringLiteral("WHERE %1").arg(condicao);
    itens.Open();
    for (itens.First(); !itens.Eof(); itens.Next()) {
        const int i = posicao.value(chave(itens.Fields(0).AsString(), itens.Fields(1).AsString()), -1);
        if (i < 0)
            continue;
        const bool produto =
            itens.FieldByName(QStringLiteral("TP_ITEM")).AsString().trimmed() == QLatin1String("P");
        receitas[i].itens << itemLido(itens, produto);
    }
    return receitas;
}

QHash<QString, QList<ItemLido>> lePreparacoes(const QString& condicao) {
    TZoQuery q;
    q.SQL << QStringLiteral(
                 "SELECT P.CODIGO, P.UNIDADE, P.QTDE, P.FIBRA, P.REGRA, MAT.REPOSICAO, MAT.CONCENTRACAO")
          << QStringLiteral("FROM %1 P LEFT JOIN %2 MAT ON (MAT.CODIGO = P.MATERIAL)")
                 .arg(DBLocal(QStringLiteral("PREPARACAO")), DBLocal(QStringLiteral("MATERIAL")))
          << QStringLiteral("WHERE P.CODIGO IN (SELECT R.PREPARACAO FROM %1 R WHERE %2)")
                 .arg(DBLocal(QStringLiteral("RECEITA")), condicao);
    q.Open();
    QHash<QString, QList<ItemLido>> preparacoes;
    for (q.First(); !q.Eof(); q.Next())
        preparacoes[q.Fields(0).AsString().trimmed()] << itemLido(q, false);
    return preparacoes;
}

// A recipe's cost as the recipe screen computes it: a rule gives the quantity in the registry's context
// (no batch), and an item whose rule gives nothing keeps its own.
double custoDe(const ReceitaLida& receita, const QList<ItemLido>& preparacao, RegrasCalculo& regras) {
    QList<CustoItem> custos;
    auto custa = [&](const ItemLido& lido) {
        ItemCusto item = lido.custo;
        item.indice = receita.indice;
        item.proporcao = receita.proporcao;
        if (!lido.regra.isEmpty()) {
            const std::optional<double> qtde =
                regras.CalculaQtdeRegra(receita.codigo, receita.variante, CodigoRegra(lido.regra), 0, 0, 0,
                                        QString(), QString(), QString());
            if (qtde)
                item.qtde = *qtde;
        }
        custos << CustoItemReceita(item);
    };
    for (const ItemLido& item : preparacao)
        custa(item);
    for (const ItemLido& item : receita.itens)
        custa(item);
    return CustoReceita(custos);
}
} // namespace

void BloqueiaPrecoCor(const QString& cor, const QString& variante) {
    BloqueioPreco().Bloqueia(cor, variante);
}

std::optional<double> PrecoTabela(const QString& regiao, const QString& cor, const QString& variante,
                                  const QString& prazo) {
    static const QSet<QString> prazos = {QStringLiteral("00"), QStringLiteral("07"), QStringLiteral("14"),
                                         QStringLiteral("21")};
    const QString termo = prazo.trimmed().isEmpty() ? QStringLiteral("00") : prazo.trimmed();
    if (!prazos.contains(termo))
        return std::nullopt;
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT PRECO_%1 FROM %2").arg(termo, DBLocal(QStringLiteral("TABPRECO")))
          << QStringLiteral("WHERE REGIAO = %1 AND COR = %2 AND VARIANTE = %3")
                 .arg(Aspas(regiao.trimmed()), Aspas(cor.trimmed()), Aspas(variante.trimmed()))
          << QStringLiteral("AND (CODIGO = '' OR CODIGO IS NULL OR CODIGO = '0')");
    q.Open();
    if (q.IsEmpty() || q.Fields(0).IsNull())
        return std::nullopt;
    return q.Fields(0).AsFloat();
}

bool RecalculaReceitas(const QString& produto, const QString& variante, const QString& preparacao,
                       const ProgressoRecalculo& progresso) {
    const QString material = produto.trimmed();
    const QString codigoPreparacao = preparacao.trimmed();
    if (material.isEmpty() && codigoPreparacao.isEmpty())
        return false;
    TZoDatabase* db = ConexaoHost();
    // Inside the caller's unit of work a failure undoes this run's writes alone, back to a savepoint, so
    // that a caller going on after the error never commits half a recalculation.
    const bool unidadePropria = !db->Dirty();
    auto executa = [db](const QString& sql) {
        QSqlQuery q(db->Connection());
        db->Exec(q, sql, true);
    };
    if (!unidadePropria)
        executa(QStringLiteral("SAVEPOINT RECALCULA_RECEITAS"));
    try {
        const QString condicao = alvos(material, variante.trimmed(), codigoPreparacao);
        const QList<ReceitaLida> receitas = leReceitas(condicao);
        const QHash<QString, QList<ItemLido>> preparacoes =
            receitas.isEmpty() ? QHash<QString, QList<ItemLido>>() : lePreparacoes(condicao);
        RegrasCalculo regras;
        BloqueioPreco bloqueio;
        TZoQuery custo;
        custo.SQL << QStringLiteral(
                         "UPDATE %1 SET CUSTO = :CUSTO WHERE CODIGO = :CODIGO AND VARIANTE = :VARIANTE")
                         .arg(DBLocal(QStringLiteral("RECEITA")));
        int feitas = 0;
        for (const ReceitaLida& receita : receitas) {
            const double novo = custoDe(receita, preparacoes.value(receita.preparacao), regras);
            const bool mudou = novo != receita.custo;
            if (mudou) {
                custo.BindValue(QStringLiteral("CUSTO"), novo);
                custo.BindValue(QStringLiteral("CODIGO"), receita.codigo);
                custo.BindValue(QStringLiteral("VARIANTE"), receita.variante);
                custo.ExecSQL();
                bloqueio.Bloqueia(receita.cor, receita.variante);
            }
            if (progresso.mensagem)
                progresso.mensagem(
                    QStringLiteral("Receita %1 variante %2: custo %3%4")
                        .arg(receita.codigo, receita.variante, TextoExibicao(novo, 2),
                             mudou ? QStringLiteral(" (era %1)").arg(TextoExibicao(receita.custo, 2))
                                   : QStringLiteral(" (sem alteração)")));
            if (progresso.avanco)
                progresso.avanco(++feitas, receitas.size());
        }
        if (unidadePropria)
            db->Transaction()->CommitRetaining();
        else
            executa(QStringLiteral("RELEASE SAVEPOINT RECALCULA_RECEITAS"));
    } catch (...) {
        try {
            if (unidadePropria)
                db->Transaction()->RollbackRetaining();
            else
                executa(QStringLiteral("ROLLBACK TO SAVEPOINT RECALCULA_RECEITAS"));
        } catch (const std::exception&) {
            // the connection is gone: nothing was committed either
        }
        throw;
    }
    return true;
}
