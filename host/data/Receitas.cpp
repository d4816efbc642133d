#include "Receitas.h"
#include "CustoReceita.h"
#include "DataAccess.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "InstrucoesEmLote.h"
#include "RegrasCalculo.h"
#include "TZoDatabase.h"
#include "TZoQuery.h"
#include <QHash>
#include <QSet>
#include <QSqlQuery>
#include <algorithm>

namespace {
// A colour's price in the default regions is blocked until someone reviews it.
struct BloqueioPreco {
    static QString Instrucao(const QString& cor, const QString& variante) {
        return QStringLiteral("UPDATE %1 SET LIBERADO = 'N' WHERE COR = %2 AND VARIANTE = %3 AND REGIAO IN "
                              "(SELECT REGIAO FROM %4 WHERE PADRAO = 'S')")
            .arg(DBLocal(QStringLiteral("TABPRECO")), Aspas(cor.trimmed()), Aspas(variante.trimmed()),
                 DBLocal(QStringLiteral("REGIAO")));
    }
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

// Recipes named by code and variant, grouped by variant: each variant's codes are one indexed list.
QString dasReceitas(const QString& codigo, const QString& variante, const QSet<QString>& chaves) {
    QHash<QString, QSet<QString>> porVariante;
    for (const QString& k : chaves)
        porVariante[k.section(QLatin1Char('\x1f'), 1)].insert(k.section(QLatin1Char('\x1f'), 0, 0));
    QStringList condicoes;
    for (auto it = porVariante.cbegin(); it != porVariante.cend(); ++it)
        condicoes << QStringLiteral("(%1 = %2 AND %3)")
                         .arg(variante, Aspas(it.key()), NaListaSql(codigo, it.value().values()));
    return QLatin1Char('(') + condicoes.join(QStringLiteral(" OR ")) + QLatin1Char(')');
}

QSet<QString> coluna(const QString& sql, int campos = 1) {
    TZoQuery q;
    q.SQL << sql;
    q.Open();
    QSet<QString> valores;
    for (q.First(); !q.Eof(); q.Next())
        valores.insert(campos == 1 ? q.Fields(0).AsString().trimmed()
                                   : chave(q.Fields(0).AsString(), q.Fields(1).AsString()));
    return valores;
}

// The recipes a recalculation touches: those whose own items name the product (of the variant, when one is
// given) and those of a preparation naming it, or of the preparation given. A product is a chemical: items
// naming a fabric product (TP_ITEM 'P') under the same code do not count. Found through the indexes of the
// items and the preparations, never by testing every recipe.
struct Alvos {
    QSet<QString> receitas; // chave(code, variant)
    QSet<QString> preparacoes;
};

Alvos alvos(const QString& produto, const QString& variante, const QString& preparacao) {
    Alvos a;
    if (!produto.isEmpty()) {
        a.receitas =
            coluna(QStringLiteral("SELECT DISTINCT RECEITA, VARIANTE FROM %1 WHERE CODIGO = %2 AND "
                                  "COALESCE(TP_ITEM, '') <> 'P'%3")
                       .arg(DBLocal(QStringLiteral("MAT_TIN")), Aspas(produto),
                            variante.isEmpty() ? QString()
                                               : QStringLiteral(" AND VARIANTE = %1").arg(Aspas(variante))),
                   2);
        a.preparacoes = coluna(QStringLiteral("SELECT DISTINCT CODIGO FROM %1 WHERE MATERIAL = %2")
                                   .arg(DBLocal(QStringLiteral("PREPARACAO")), Aspas(produto)));
    }
    if (!preparacao.isEmpty())
        a.preparacoes.insert(preparacao);
    return a;
}

QList<ReceitaLida> leReceitas(const Alvos& a) {
    QStringList condicoes;
    if (!a.receitas.isEmpty())
        condicoes << dasReceitas(QStringLiteral("R.CODIGO"), QStringLiteral("R.VARIANTE"), a.receitas);
    if (!a.preparacoes.isEmpty())
        condicoes << NaListaSql(QStringLiteral("R.PREPARACAO"), a.preparacoes.values());
    if (condicoes.isEmpty())
        return {};
    TZoQuery cabecalhos;
    cabecalhos.SQL
        << QStringLiteral("SELECT R.CODIGO, R.VARIANTE, R.COR, R.CUSTO, R.PREPARACAO, V.INDICE, "
                          "B.PROPORCAO")
        << QStringLiteral("FROM %1 R LEFT JOIN %2 V ON (V.CODIGO = R.VARIANTE)")
               .arg(DBLocal(QStringLiteral("RECEITA")), DBLocal(QStringLiteral("VARIANTE")))
        << QStringLiteral("LEFT JOIN %1 B ON (B.CODIGO = R.COD_BANHO)").arg(DBLocal(QStringLiteral("BANHO")))
        << QStringLiteral("WHERE %1 ORDER BY R.CODIGO, R.VARIANTE")
               .arg(condicoes.join(QStringLiteral(" OR ")));
    cabecalhos.Open();
    QList<ReceitaLida> receitas;
    QHash<QString, int> posicao;
    for (cabecalhos.First(); !cabecalhos.Eof(); cabecalhos.Next()) {
        ReceitaLida r;
        r.codigo = cabecalhos.Fields(0).AsString().trimmed();
        r.variante = cabecalhos.Fields(1).AsString().trimmed();
        r.preparacao = cabecalhos.Fields(4).AsString().trimmed();
        r.cor = cabecalhos.Fields(2).AsString().trimmed();
        r.custo = Arredondar(cabecalhos.Fields(3).AsFloat(), 2);
        r.indice = cabecalhos.Fields(5).AsString();
        r.proporcao = cabecalhos.Fields(6).AsFloat();
        posicao.insert(chave(r.codigo, r.variante), receitas.size());
        receitas << r;
    }
    if (receitas.isEmpty())
        return receitas;

    QSet<QString> lidas;
    for (const ReceitaLida& r : std::as_const(receitas))
        lidas.insert(chave(r.codigo, r.variante));
    TZoQuery itens;
    itens.SQL << QStringLiteral(
                     "SELECT M.RECEITA, M.VARIANTE, M.UNIDADE, M.QTDE, M.FIBRA, M.REGRA, M.TP_ITEM, "
                     "MAT.REPOSICAO, MAT.CONCENTRACAO, PROD.PRECO")
              << QStringLiteral("FROM %1 M").arg(DBLocal(QStringLiteral("MAT_TIN")))
              << QStringLiteral("LEFT JOIN %1 MAT ON (MAT.CODIGO = M.CODIGO)")
                     .arg(DBLocal(QStringLiteral("MATERIAL")))
              << QStringLiteral("LEFT JOIN %1 PROD ON (PROD.CODIGO = M.CODIGO)")
                     .arg(DBLocal(QStringLiteral("PRODUTO")))
              << QStringLiteral("WHERE %1")
                     .arg(dasReceitas(QStringLiteral("M.RECEITA"), QStringLiteral("M.VARIANTE"), lidas));
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

// The engine tests an IN list item by item on every row the index hands it, so a thousand recipes read at
// once cost a thousand comparisons per item row: they are read a hundred at a time.
QList<ReceitaLida> leReceitasEmPartes(const Alvos& a) {
    constexpr int kPorLeitura = 100;
    QList<QString> chaves = a.receitas.values();
    std::sort(chaves.begin(), chaves.end()); // in code order, as one read would give them
    QList<ReceitaLida> receitas;
    QSet<QString> lidas;
    for (qsizetype i = 0; i == 0 || i < chaves.size(); i += kPorLeitura) {
        Alvos parte;
        parte.receitas = QSet<QString>(chaves.begin() + std::min(i, chaves.size()),
                                       chaves.begin() + std::min(i + kPorLeitura, chaves.size()));
        if (i == 0)
            parte.preparacoes = a.preparacoes;
        for (ReceitaLida& r : leReceitas(parte)) {
            const QString k = chave(r.codigo, r.variante);
            if (!lidas.contains(k)) {
                lidas.insert(k);
                receitas << std::move(r);
            }
        }
    }
    return receitas;
}

QHash<QString, QList<ItemLido>> lePreparacoes(const QList<ReceitaLida>& receitas) {
    QSet<QString> codigos;
    for (const ReceitaLida& r : receitas)
        if (!r.preparacao.isEmpty())
            codigos.insert(r.preparacao);
    QHash<QString, QList<ItemLido>> preparacoes;
    if (codigos.isEmpty())
        return preparacoes;
    TZoQuery q;
    q.SQL << QStringLiteral(
                 "SELECT P.CODIGO, P.UNIDADE, P.QTDE, P.FIBRA, P.REGRA, MAT.REPOSICAO, MAT.CONCENTRACAO")
          << QStringLiteral("FROM %1 P LEFT JOIN %2 MAT ON (MAT.CODIGO = P.MATERIAL)")
                 .arg(DBLocal(QStringLiteral("PREPARACAO")), DBLocal(QStringLiteral("MATERIAL")))
          << QStringLiteral("WHERE %1").arg(NaListaSql(QStringLiteral("P.CODIGO"), codigos.values()));
    q.Open();
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
    TZoQuery q;
    q.SQL << BloqueioPreco::Instrucao(cor, variante);
    q.ExecSQL();
}

QString ColunaPrazo(const QString& prazo) {
    const QString termo = prazo.trimmed().isEmpty() ? QStringLiteral("00") : prazo.trimmed();
    bool numero = false;
    const int dias = termo.toInt(&numero);
    if (!numero || termo.size() != 2 || dias % 7 != 0 || dias > 91)
        return {};
    return dias > 21 ? QStringLiteral("21") : termo;
}

QString ExpressaoPrecoPrazo(const QString& prazo, const QString& tabela) {
    QString caso = QStringLiteral("CASE COALESCE(NULLIF(TRIM(%1), ''), '00')").arg(prazo);
    for (int dias = 0; dias <= 91; dias += 7) {
        const QString termo = QStringLiteral("%1").arg(dias, 2, 10, QLatin1Char('0'));
        caso += QStringLiteral(" WHEN '%1' THEN %2.PRECO_%3").arg(termo, tabela, ColunaPrazo(termo));
    }
    return caso + QStringLiteral(" END");
}

QString CondicaoPrecoDaCor(const QString& alias) {
    return QStringLiteral("(%1.CODIGO = '' OR %1.CODIGO IS NULL OR %1.CODIGO = '0')").arg(alias);
}

std::optional<double> PrecoTabela(const QString& regiao, const QString& cor, const QString& variante,
                                  const QString& prazo, TZoDatabase* conexao) {
    const QString coluna = ColunaPrazo(prazo);
    if (coluna.isEmpty())
        return std::nullopt;
    TZoQuery q(nullptr, conexao);
    q.SQL << QStringLiteral("SELECT PRECO_%1 FROM %2 T").arg(coluna, DBLocal(QStringLiteral("TABPRECO")))
          << QStringLiteral("WHERE REGIAO = :REGIAO AND COR = :COR AND VARIANTE = :VARIANTE")
          << QStringLiteral("AND ") + CondicaoPrecoDaCor(QStringLiteral("T"));
    q.BindValue(QStringLiteral("REGIAO"), regiao.trimmed());
    q.BindValue(QStringLiteral("COR"), cor.trimmed());
    q.BindValue(QStringLiteral("VARIANTE"), variante.trimmed());
    q.Open();
    if (q.IsEmpty() || q.Fields(0).IsNull())
        return std::nullopt;
    return q.Fields(0).AsFloat();
}

namespace {
void recalcula(const Alvos& alvo, const ProgressoRecalculo& progresso) {
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
        const QList<ReceitaLida> receitas = leReceitasEmPartes(alvo);
        const QHash<QString, QList<ItemLido>> preparacoes = lePreparacoes(receitas);
        RegrasCalculo regras;
        QSet<QString> usadas;
        for (const ReceitaLida& receita : receitas)
            for (const ItemLido& item : receita.itens)
                usadas.insert(item.regra);
        for (const QList<ItemLido>& itens : preparacoes)
            for (const ItemLido& item : itens)
                usadas.insert(item.regra);
        regras.Carrega(usadas);
        // Costs and price blocks go to the engine in batches: one round trip per hundred recipes.
        InstrucoesEmLote escritas(*db);
        QSet<QString> bloqueados;
        int feitas = 0;
        for (const ReceitaLida& receita : receitas) {
            const double novo = custoDe(receita, preparacoes.value(receita.preparacao), regras);
            const bool mudou = novo != receita.custo;
            if (mudou) {
                escritas.Adiciona(
                    QStringLiteral("UPDATE %1 SET CUSTO = %2 WHERE CODIGO = %3 AND VARIANTE = %4")
                        .arg(DBLocal(QStringLiteral("RECEITA")), PermanecePonto(novo), Aspas(receita.codigo),
                             Aspas(receita.variante)));
                if (!bloqueados.contains(chave(receita.cor, receita.variante))) {
                    bloqueados.insert(chave(receita.cor, receita.variante));
                    escritas.Adiciona(BloqueioPreco::Instrucao(receita.cor, receita.variante));
                }
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
        escritas.Executa();
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
}
} // namespace

bool RecalculaReceitas(const QString& produto, const QString& variante, const QString& preparacao,
                       const ProgressoRecalculo& progresso) {
    const QString material = produto.trimmed();
    const QString codigoPreparacao = preparacao.trimmed();
    if (material.isEmpty() && codigoPreparacao.isEmpty())
        return false;
    recalcula(alvos(material, variante.trimmed(), codigoPreparacao), progresso);
    return true;
}

void RecalculaReceitasListadas(const QList<std::pair<QString, QString>>& receitas,
                               const ProgressoRecalculo& progresso) {
    Alvos alvo;
    for (const auto& [codigo, variante] : receitas)
        alvo.receitas.insert(chave(codigo, variante));
    if (!alvo.receitas.isEmpty())
        recalcula(alvo, progresso);
}

QString SqlReceitaDaFal(const QString& fal) {
    return QStringLiteral("(SELECT FIRST 1 X.CODIGO FROM RECEITA X WHERE X.COR = %1.COR AND X.VARIANTE = "
                          "%1.VARIANTE ORDER BY X.LIBERADA, X.CODIGO)")
        .arg(fal);
}
