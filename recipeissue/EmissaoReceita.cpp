#include "EmissaoReceita.h"
#include "DataAccess.h"
#include "DataContext.h"
#include "Estoque.h"
#include "Funcoes.h"
#include "GravacaoAtomica.h"
#include "InstrucoesEmLote.h"
#include "Receitas.h"
#include "RegrasCalculo.h"
#include "TZoDatabase.h"
#include "TZoQuery.h"
#include <QSet>
#include <cmath>

namespace {
const QString kTituloLog = QStringLiteral("IMPRESSAO DE RECEITA");

// A bound read from the machine registry: a blank or unreadable one makes all three 0.
std::optional<double> NumeroLido(TZoQuery& q, const char* campo) {
    const QVariant v = q.FieldByName(QLatin1String(campo)).Value();
    if (v.isNull())
        return std::nullopt;
    bool ok = false;
    const double n = v.toDouble(&ok);
    return ok ? std::optional<double>(n) : std::nullopt;
}

// The movement type of the first kind registered, empty when neither is.
QString TipoMovimento(TEstoque& estoque, int especie, int alternativa) {
    const QString tipo = estoque.CodigoTipoMovEstoque(especie);
    return tipo.isEmpty() ? estoque.CodigoTipoMovEstoque(alternativa) : tipo;
}
} // namespace

std::optional<FalEmissao> LeFalEmissao(const QString& numero) {
    TZoQuery q;
    q.SQL
        << QStringLiteral(
               "SELECT F.NUMERO, F.STATUS, F.CLIENTE, E.NOME, F.COR, K.DESCRICAO AS DESC_COR, F.VARIANTE, "
               "F.MAQUINA, F.PARTIDA, F.FIBRA1, F.FIBRA2, R.CODIGO AS RECEITA, R.LIBERADA, R.COD_BANHO, "
               "R.PREPARACAO, R.GRAFICO, (SELECT SUM(I.PESO) FROM FAL_ITEN I WHERE I.FAL = F.NUMERO) AS PESO")
        << QStringLiteral(
               "FROM FAL F LEFT JOIN ENTIDADE E ON (E.CODCLI = F.CLIENTE) LEFT JOIN CADCORTIN K ON "
               "(K.CODIGO = F.COR)")
        << QStringLiteral("LEFT JOIN RECEITA R ON (R.CODIGO = %1 AND R.VARIANTE = F.VARIANTE)")
               .arg(SqlReceitaDaFal(QStringLiteral("F")))
        << QStringLiteral("WHERE F.NUMERO = :FAL");
    q.BindValue(QStringLiteral("FAL"), numero.trimmed());
    q.Open();
    if (q.IsEmpty())
        return std::nullopt;
    FalEmissao f;
    f.numero = q.TextoAtual(QStringLiteral("NUMERO"));
    f.status = q.TextoAtual(QStringLiteral("STATUS"));
    f.cliente = q.TextoAtual(QStringLiteral("CLIENTE"));
    f.nomeCliente = q.TextoAtual(QStringLiteral("NOME"));
    f.cor = q.TextoAtual(QStringLiteral("COR"));
    f.descCor = q.TextoAtual(QStringLiteral("DESC_COR"));
    f.variante = q.TextoAtual(QStringLiteral("VARIANTE"));
    f.maquina = q.TextoAtual(QStringLiteral("MAQUINA"));
    f.partida = q.TextoAtual(QStringLiteral("PARTIDA"));
    f.receita = q.TextoAtual(QStringLiteral("RECEITA"));
    f.liberada = q.TextoAtual(QStringLiteral("LIBERADA"));
    f.banho = q.TextoAtual(QStringLiteral("COD_BANHO"));
    f.preparacao = q.TextoAtual(QStringLiteral("PREPARACAO"));
    f.grafico = q.TextoAtual(QStringLiteral("GRAFICO"));
    f.peso = q.NumeroAtual(QStringLiteral("PESO"));
    f.fibra1 = q.NumeroAtual(QStringLiteral("FIBRA1"));
    f.fibra2 = q.NumeroAtual(QStringLiteral("FIBRA2"));
    return f;
}

MaquinaEmissao LeMaquinaEmissao(const QString& maquina, const QString& variante, const QString& banhoReceita,
                                bool banhoDaReceita) {
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT M.DESCRICAO, M.RELAC_BANHO, M.VOLUME_MIN, M.VOLUME_MAX, M.ARREDONDA,")
          << QStringLiteral("(SELECT FIRST 1 C.RELAC_BANHO FROM MAQ_TIN_CAP C WHERE C.MAQUINA = M.CODIGO AND "
                            "C.VARIANTE = :VARIANTE AND TRIM(COALESCE(C.RELAC_BANHO, '')) <> '' ORDER BY "
                            "C.SEQUENCIA) AS CAPACIDADE")
          << QStringLiteral("FROM MAQ_TIN M WHERE M.CODIGO = :MAQUINA");
    q.BindValue(QStringLiteral("VARIANTE"), variante);
    q.BindValue(QStringLiteral("MAQUINA"), maquina.trimmed());
    q.Open();
    MaquinaEmissao m;
    if (q.IsEmpty())
        return m;
    m.descricao = q.TextoAtual(QStringLiteral("DESCRICAO"));
    m.banho = banhoDaReceita ? banhoReceita : q.TextoAtual(QStringLiteral("RELAC_BANHO"));
    if (const QString capacidade = q.TextoAtual(QStringLiteral("CAPACIDADE")); !capacidade.isEmpty())
        m.banho = capacidade;
    const auto minimo = NumeroLido(q, "VOLUME_MIN"), maximo = NumeroLido(q, "VOLUME_MAX"),
               arredonda = NumeroLido(q, "ARREDONDA");
    if (minimo && maximo && arredonda) {
        m.minimo = *minimo;
        m.maximo = *maximo;
        m.arredonda = int(*arredonda);
    }
    return m;
}

namespace {
// The fabric of the batch's heaviest item (the later one on equal weights): what rules by product ask for.
QString ProdutoReferencia(const QStringList& fals) {
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT CODIGO, PESO FROM FAL_ITEN WHERE FAL IN (%1) ORDER BY FAL, ORD_IT")
                 .arg(ListaSql(fals));
    q.Open();
    QString produto;
    double maior = -1;
    for (q.First(); !q.Eof(); q.Next())
        if (q.NumeroAtual(QStringLiteral("PESO")) >= maior) {
            maior = q.NumeroAtual(QStringLiteral("PESO"));
            produto = q.TextoAtual(QStringLiteral("CODIGO"));
        }
    return produto;
}

// The preparation's rows, then the recipe's, each with its material and dyeing type, under the filters.
void LeItens(LeituraEmissao& leitura, const LoteEmissao& lote) {
    QString filtros;
    if (!lote.subgrupo.isEmpty())
        filtros += QStringLiteral(" AND M.SUB_GRUPO = ") + Aspas(lote.subgrupo);
    if (!lote.tipo.isEmpty())
        filtros += QStringLiteral(" AND X.TIPO = ") + Aspas(lote.tipo);
    const QString colunas =
        QStringLiteral("M.DESCRICAO, M.GRUPO, M.SUB_GRUPO, M.REPOSICAO, M.CONCENTRACAO, M.ESTOQUE, M.ATIVO, "
                       "T.DESCRICAO AS DESC_TIPO, T.BAIXA_AUT");
    TZoQuery q;
    q.SQL << QStringLiteral(
                 "SELECT 1 AS DE, X.ORDEM, X.MATERIAL AS CODIGO, X.QTDE, X.PASSO, X.FIBRA, X.TIPO, "
                 "X.UNIDADE, X.REGRA, %1 FROM PREPARACAO X")
                 .arg(colunas)
          << QStringLiteral("JOIN MATERIAL M ON (M.CODIGO = X.MATERIAL) LEFT JOIN TIPO_TING T ON (T.CODIGO = "
                            "X.TIPO) WHERE X.CODIGO = :PREPARACAO%1")
                 .arg(filtros)
          << QStringLiteral(
                 "UNION ALL SELECT 2, X.ORDEN, X.CODIGO, X.QTDE, X.PASSO, X.FIBRA, X.TIPO, X.UNIDADE, "
                 "X.REGRA, %1 FROM MAT_TIN X")
                 .arg(colunas)
          << QStringLiteral("JOIN MATERIAL M ON (M.CODIGO = X.CODIGO) LEFT JOIN TIPO_TING T ON (T.CODIGO = "
                            "X.TIPO) WHERE X.RECEITA = :RECEITA AND X.VARIANTE = :VARIANTE%1")
                 .arg(filtros)
          << QStringLiteral("ORDER BY 1, 2");
    q.BindValue(QStringLiteral("PREPARACAO"), lote.preparacao);
    q.BindValue(QStringLiteral("RECEITA"), lote.receita);
    q.BindValue(QStringLiteral("VARIANTE"), lote.variante);
    q.Open();

    RegrasCalculo regras;
    QSet<QString> usadas;
    for (q.First(); !q.Eof(); q.Next())
        if (const QString regra = q.TextoAtual(QStringLiteral("REGRA")); !regra.isEmpty())
            usadas << regra;
    regras.Carrega(usadas);
    const QString produto = usadas.isEmpty() ? QString() : ProdutoReferencia(lote.fals);
    for (q.First(); !q.Eof(); q.Next()) {
        ItemEmissao item;
        item.material = q.TextoAtual(QStringLiteral("CODIGO"));
        item.descricao = q.TextoAtual(QStringLiteral("DESCRICAO"));
        item.grupo = q.TextoAtual(QStringLiteral("GRUPO"));
        item.subgrupo = q.TextoAtual(QStringLiteral("SUB_GRUPO"));
        item.tipo = q.TextoAtual(QStringLiteral("TIPO"));
        item.descTipo = q.TextoAtual(QStringLiteral("DESC_TIPO"));
        item.baixaAut = q.TextoAtual(QStringLiteral("BAIXA_AUT"));
        item.passo = q.TextoAtual(QStringLiteral("PASSO"));
        item.unidade = q.TextoAtual(QStringLiteral("UNIDADE"));
        item.fibra = q.TextoAtual(QStringLiteral("FIBRA"));
        item.ordem = q.FieldByName(QStringLiteral("ORDEM")).AsInteger();
        item.qtde = q.NumeroAtual(QStringLiteral("QTDE"));
        item.concentracao = q.NumeroAtual(QStringLiteral("CONCENTRACAO"));
        item.preco = q.NumeroAtual(QStringLiteral("REPOSICAO"));
        item.estocado = q.TextoAtual(QStringLiteral("ESTOQUE")).toUpper() != QLatin1String("N");
        item.inativo = q.TextoAtual(QStringLiteral("ATIVO")).toUpper() == QLatin1String("N");
        if (const QString regra = q.TextoAtual(QStringLiteral("REGRA")); !regra.isEmpty())
            if (const auto qtde =
                    regras.CalculaQtdeRegra(lote.receita, lote.variante, CodigoRegra(regra), lote.fibra1,
                                            lote.fibra2, lote.peso, lote.maquina, produto, lote.cliente))
                item.qtde = *qtde;
        leitura.itens << item;
    }
}

// Stock of every material and substitute over all lots and warehouses; the materials' less what other
// sheets reserved and did not write off yet.
void LeEstoque(LeituraEmissao& leitura, const QStringList& materiais, const QStringList& substitutos,
               const QStringList& fals, bool reserva) {
    const QStringList todos = materiais + substitutos;
    if (todos.isEmpty())
        return;
    TZoQuery q;
    q.SQL << QStringLiteral(
                 "SELECT CODIGO, SUM(QTDE) AS QTDE FROM MAT_ITEN WHERE CODIGO IN (%1) GROUP BY CODIGO")
                 .arg(ListaSql(todos));
    q.Open();
    for (q.First(); !q.Eof(); q.Next())
        leitura.estoqueKg[q.TextoAtual(QStringLiteral("CODIGO"))] = q.NumeroAtual(QStringLiteral("QTDE"));
    if (!reserva || materiais.isEmpty())
        return;
    TZoQuery reservado;
    reservado.SQL << QStringLiteral("SELECT CODIGO, SUM(CONSUMO / 1000) AS CONSUMO FROM TNG_CONSUMOS WHERE "
                                    "CODIGO IN (%1) AND BAIXADO = 'N' AND ORIGEM = 'TG' AND FAL NOT IN (%2) "
                                    "GROUP BY CODIGO")
                         .arg(ListaSql(materiais), ListaSql(fals));
    reservado.Open();
    for (reservado.First(); !reservado.Eof(); reservado.Next())
        leitura.estoqueKg[reservado.TextoAtual(QStringLiteral("CODIGO"))] -=
            reservado.NumeroAtual(QStringLiteral("CONSUMO"));
}

// Each material's active substitutes, the one with most stock at the warehouse first.
QStringList LeContratipos(LeituraEmissao& leitura, const QStringList& materiais, const QString& deposito,
                          const QString& subgrupo) {
    QStringList substitutos;
    if (materiais.isEmpty())
        return substitutos;
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT C.MATERIAL, C.CODIGO, C.CONCENT, C.IMEDIATO, M.DESCRICAO, M.GRUPO, "
                            "M.SUB_GRUPO, M.CONCENTRACAO, M.REPOSICAO, M.ESTOQUE,")
          << QStringLiteral(
                 "(SELECT SUM(I.QTDE) FROM MAT_ITEN I WHERE I.CODIGO = C.CODIGO AND I.COR = '0' AND "
                 "I.DEPOSITO = :DEPOSITO) AS QTDE")
          << QStringLiteral("FROM CONTRATIPO C LEFT JOIN MATERIAL M ON (M.CODIGO = C.CODIGO)")
          << QStringLiteral(
                 "WHERE C.MATERIAL IN (%1) AND C.ATIVO = 'S' ORDER BY C.MATERIAL, 11 DESC NULLS LAST, "
                 "C.CODIGO")
                 .arg(ListaSql(materiais));
    q.BindValue(QStringLiteral("DEPOSITO"), deposito);
    q.Open();
    QSet<QString> imediatos;
    for (q.First(); !q.Eof(); q.Next()) {
        const QString material = q.TextoAtual(QStringLiteral("MATERIAL"));
        if (q.TextoAtual(QStringLiteral("IMEDIATO")).toUpper() == QLatin1String("S"))
            imediatos << material;
        if (leitura.contratipos.contains(material) ||
            (!subgrupo.isEmpty() && q.TextoAtual(QStringLiteral("SUB_GRUPO")) != subgrupo))
            continue;
        Contratipo c;
        c.codigo = q.TextoAtual(QStringLiteral("CODIGO"));
        c.descricao = q.TextoAtual(QStringLiteral("DESCRICAO"));
        c.grupo = q.TextoAtual(QStringLiteral("GRUPO"));
        c.subgrupo = q.TextoAtual(QStringLiteral("SUB_GRUPO"));
        c.concent = q.NumeroAtual(QStringLiteral("CONCENT"));
        c.concentracao = q.NumeroAtual(QStringLiteral("CONCENTRACAO"));
        c.preco = q.NumeroAtual(QStringLiteral("REPOSICAO"));
        c.estocado = q.TextoAtual(QStringLiteral("ESTOQUE")).toUpper() != QLatin1String("N");
        leitura.contratipos.insert(material, c);
        substitutos << c.codigo;
    }
    for (auto c = leitura.contratipos.begin(); c != leitura.contratipos.end(); ++c)
        c->imediato = imediatos.contains(c.key());
    return substitutos;
}

} // namespace

QHash<QString, QList<QPair<QString, double>>> LeLotesEmissao(const QStringList& materiais,
                                                             const QString& deposito) {
    QHash<QString, QList<QPair<QString, double>>> lotes;
    if (materiais.isEmpty())
        return lotes;
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT CODIGO, LOTE, QTDE FROM MAT_ITEN WHERE CODIGO IN (%1) AND DEPOSITO = "
                            ":DEPOSITO AND QTDE > 0")
                 .arg(ListaSql(materiais));
    q.BindValue(QStringLiteral("DEPOSITO"), deposito);
    q.Open();
    for (q.First(); !q.Eof(); q.Next())
        lotes[q.TextoAtual(QStringLiteral("CODIGO"))]
            << qMakePair(q.TextoAtual(QStringLiteral("LOTE")), q.NumeroAtual(QStringLiteral("QTDE")));
    return lotes;
}

QList<PassoCurva> PassosDoGrafico(const QString& grafico) {
    if (grafico.trimmed().isEmpty())
        return {};
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT CODIGO, TEMPERATURA, TEMPO, FASE, ORDEM, DESCRICAO FROM PASSOS WHERE "
                            "CODIGO_GRA = :GRAFICO ORDER BY ORDEM");
    q.BindValue(QStringLiteral("GRAFICO"), grafico.trimmed());
    q.Open();
    return PassosDe(q);
}

LeituraEmissao LeDadosEmissao(const LoteEmissao& lote, bool reserva, const QString& deposito) {
    // One snapshot: the stock, the reserves and the lots of one moment.
    GravacaoAtomica unidade;
    LeituraEmissao leitura;
    LeItens(leitura, lote);
    QStringList materiais;
    for (const ItemEmissao& item : std::as_const(leitura.itens))
        if (!materiais.contains(item.material))
            materiais << item.material;
    const QStringList substitutos = LeContratipos(leitura, materiais, deposito, lote.subgrupo);
    LeEstoque(leitura, materiais, substitutos, lote.fals, reserva);
    leitura.lotes = LeLotesEmissao(materiais + substitutos, deposito);
    unidade.Confirma();
    return leitura;
}

namespace {
QString FiltroConsumos(const QString& subgrupo, const QString& tipo) {
    QString filtro;
    if (!subgrupo.isEmpty())
        filtro += QStringLiteral(" AND M.SUB_GRUPO = ") + Aspas(subgrupo);
    if (!tipo.isEmpty())
        filtro += QStringLiteral(" AND C.TIPO = ") + Aspas(tipo);
    return filtro;
}
} // namespace

ConsumosGravados LeConsumosGravados(const QString& fal, const QString& subgrupo, const QString& tipo) {
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT C.*, M.DESCRICAO, M.GRUPO, M.CONCENTRACAO, M.SUB_GRUPO, M.REPOSICAO, "
                            "M.ESTOQUE, T.DESCRICAO AS DESC_TIPO, T.BAIXA_AUT")
          << QStringLiteral("FROM TNG_CONSUMOS C LEFT JOIN MATERIAL M ON (M.CODIGO = C.CODIGO) LEFT JOIN "
                            "TIPO_TING T ON (T.CODIGO = C.TIPO)")
          << QStringLiteral("WHERE C.FAL = :FAL AND C.ORIGEM = 'TG'%1 ORDER BY C.ORDEM, C.CODIGO")
                 .arg(FiltroConsumos(subgrupo, tipo));
    q.BindValue(QStringLiteral("FAL"), fal);
    q.Open();
    ConsumosGravados gravados;
    for (q.First(); !q.Eof(); q.Next()) {
        LinhaEmissao l;
        l.item.material = q.TextoAtual(QStringLiteral("CODIGO"));
        l.item.descricao = q.TextoAtual(QStringLiteral("DESCRICAO"));
        l.item.grupo = q.TextoAtual(QStringLiteral("GRUPO"));
        l.item.subgrupo = q.TextoAtual(QStringLiteral("SUB_GRUPO"));
        l.item.tipo = q.TextoAtual(QStringLiteral("TIPO"));
        l.item.descTipo = q.TextoAtual(QStringLiteral("DESC_TIPO"));
        l.item.baixaAut = q.TextoAtual(QStringLiteral("BAIXA_AUT"));
        l.item.passo = q.TextoAtual(QStringLiteral("PASSO"));
        l.item.unidade = q.TextoAtual(QStringLiteral("UNIDADE"));
        l.item.ordem = q.FieldByName(QStringLiteral("ORDEM")).AsInteger();
        l.item.qtde = q.NumeroAtual(QStringLiteral("QTDE"));
        l.item.concentracao = q.NumeroAtual(QStringLiteral("CONCENTRACAO"));
        l.item.preco = q.NumeroAtual(QStringLiteral("REPOSICAO"));
        l.item.estocado = q.TextoAtual(QStringLiteral("ESTOQUE")).toUpper() != QLatin1String("N");
        l.qtdeOrig = l.item.qtde;
        l.consumo = q.NumeroAtual(QStringLiteral("CONSUMO"));
        l.contratipo = q.TextoAtual(QStringLiteral("CONTRATIPO")).toUpper() == QLatin1String("S");
        l.lote = q.TextoAtual(QStringLiteral("LOTE"));
        l.baixado = q.TextoAtual(QStringLiteral("BAIXADO")).toUpper() == QLatin1String("S");
        if (l.baixado && !gravados.baixadoEm.isValid())
            gravados.baixadoEm = q.FieldByName(QStringLiteral("DATA")).AsDate();
        gravados.linhas << l;
    }
    return gravados;
}

bool TemConsumosGravados(const QString& fal) {
    return Existe(QStringLiteral("TNG_CONSUMOS"), QStringLiteral("FAL;ORIGEM"), QVariantList{fal, "TG"});
}

QString GravaEmissao(const LoteEmissao& lote, const QList<LinhaEmissao>& linhas) {
    TZoDatabase& conexao = *ConexaoHost();
    const QString fal = lote.Lider();
    GravacaoAtomica unidade(conexao);
    const QString partida = lote.partida.trimmed().isEmpty()
                                ? Proximo(QStringLiteral("FAL"), QStringLiteral("PARTIDA"), 6)
                                : lote.partida.trimmed();
    TZoQuery ordem(nullptr, &conexao);
    ordem.SQL << QStringLiteral("SELECT COALESCE(MAX(ORDEM), 0) + 1 FROM FAL");
    ordem.Open();
    InstrucoesEmLote lotes(conexao);
    const QString sheets = ListaSql(lote.fals);
    lotes.Adiciona(
        QStringLiteral("UPDATE FAL SET PARTIDA = %1, ORDEM = %2 WHERE NUMERO IN (%3) AND (PARTIDA = '' "
                       "OR PARTIDA IS NULL)")
            .arg(Aspas(partida), QString::number(ordem.Fields(0).AsInteger()), sheets));
    lotes.Adiciona(
        QStringLiteral("UPDATE PROCESSO_TIN SET PARTIDA = %1 WHERE FAL IN (%2) AND (PARTIDA = '' OR "
                       "PARTIDA IS NULL)")
            .arg(Aspas(partida), sheets));
    lotes.Executa();

    // Lines written off stay as they are; every other line of the sheet is replaced by the batch's.
    TZoQuery baixadas(nullptr, &conexao);
    baixadas.SQL << QStringLiteral(
        "SELECT CODIGO, ORDEM FROM TNG_CONSUMOS WHERE FAL = :FAL AND ORIGEM = 'TG' "
        "AND BAIXADO = 'S' WITH LOCK");
    baixadas.BindValue(QStringLiteral("FAL"), fal);
    baixadas.Open();
    QSet<QString> mantidas;
    for (baixadas.First(); !baixadas.Eof(); baixadas.Next())
        mantidas << baixadas.TextoAtual(QStringLiteral("CODIGO")) + QLatin1Char('|') +
                        baixadas.TextoAtual(QStringLiteral("ORDEM"));
    lotes.Adiciona(
        QStringLiteral("DELETE FROM TNG_CONSUMOS WHERE FAL = %1 AND ORIGEM = 'TG' AND BAIXADO <> 'S'")
            .arg(Aspas(fal)));
    const QDate hoje = QDate::currentDate();
    QStringList alteradas;
    for (const LinhaEmissao& l : linhas) {
        if (mantidas.contains(l.item.material + QLatin1Char('|') + QString::number(l.item.ordem)))
            continue;
        lotes.Adiciona(
            QStringLiteral(
                "INSERT INTO TNG_CONSUMOS (FAL, ORIGEM, CODIGO, UNIDADE, ORDEM, QTDE, CONSUMO, TIPO, "
                "PASSO, CONTRATIPO, FALS, BAIXADO, BANHO, DATA, LOTE) VALUES (%1, 'TG', %2, %3, %4, "
                "%5, %6, %7, %8, %9, %10, 'N', %11, %12, %13)")
                .arg(Aspas(fal), Aspas(l.item.material), Aspas(l.item.unidade), QString::number(l.item.ordem),
                     PermanecePonto(l.item.qtde), PermanecePonto(l.consumo), Aspas(l.item.tipo),
                     Aspas(l.item.passo), Aspas(l.contratipo ? QStringLiteral("S") : QStringLiteral("N")))
                .arg(Aspas(lote.Fals().left(200)), Aspas(lote.banho), DataSQL(hoje),
                     Aspas(l.lote.isEmpty() ? QStringLiteral("000000") : l.lote)));
        if (std::round(l.item.qtde * 1e6) != std::round(l.qtdeOrig * 1e6))
            alteradas << QStringLiteral("FAL %1 CONSUMO %2 QTDE ALTERADA DE %3 PARA %4")
                             .arg(fal, l.item.material, QString::number(l.qtdeOrig),
                                  QString::number(l.item.qtde));
    }
    lotes.Executa();
    for (const QString& texto : std::as_const(alteradas))
        GeraLog(kTituloLog, texto, opAlteracao, fal, nullptr, &conexao);
    GeraLog(kTituloLog, QStringLiteral("IMPRESSAO DE RECEITA DA FAL ") + fal, opOutros, fal, nullptr,
            &conexao);
    unidade.Confirma();
    return partida;
}

namespace {
QString BaixaUmaVez(const LoteEmissao& lote) {
    TZoDatabase& conexao = *ConexaoHost();
    const QString fal = lote.Lider();
    GravacaoAtomica unidade(conexao);
    TEstoque estoque(&conexao);
    const QString tipo = TipoMovimento(estoque, 17, 15);
    if (tipo.isEmpty())
        return QStringLiteral("Tipo de movimento de estoque não cadastrado.");
    // The lines still to write off; a second workstation writing the same sheet off meanwhile fails on them
    // as a conflict and writes nothing.
    TZoQuery q(nullptr, &conexao);
    q.SQL << QStringLiteral(
                 "SELECT C.CODIGO, C.ORDEM, C.CONSUMO, C.LOTE, M.ESTOQUE, T.BAIXA_AUT FROM "
                 "TNG_CONSUMOS C LEFT JOIN MATERIAL M ON (M.CODIGO = C.CODIGO) LEFT JOIN TIPO_TING T "
                 "ON (T.CODIGO = C.TIPO)")
          // Every write-off takes the positions in code order, so two never wait on each other in a circle.
          << QStringLiteral("WHERE C.FAL = :FAL AND C.ORIGEM = 'TG' AND C.BAIXADO = 'N' ORDER BY C.CODIGO, "
                            "C.ORDEM");
    q.BindValue(QStringLiteral("FAL"), fal);
    q.Open();
    const QString deposito = DepositoPrioritario();
    InstrucoesEmLote baixadas(conexao);
    int linhas = 0;
    for (q.First(); !q.Eof(); q.Next()) {
        if (q.TextoAtual(QStringLiteral("BAIXA_AUT")).toUpper() == QLatin1String("N"))
            continue;
        const QString material = q.TextoAtual(QStringLiteral("CODIGO"));
        const double kg = q.NumeroAtual(QStringLiteral("CONSUMO")) / 1000;
        if (q.TextoAtual(QStringLiteral("ESTOQUE")).toUpper() != QLatin1String("N") && kg > 0) {
            MovimentoEstoque m;
            m.codigo = material;
            m.deposito = deposito;
            m.lote = q.TextoAtual(QStringLiteral("LOTE")).isEmpty() ? QStringLiteral("000000")
                                                                    : q.TextoAtual(QStringLiteral("LOTE"));
            m.quantidade = kg;
            m.documento = fal;
            m.cliente = lote.cliente;
            m.usuario = vUsuario();
            m.tipoMovimento = tipo;
            if (const QString recusa = estoque.MovimentaEstoqueMaterial(m); !recusa.isEmpty())
                return recusa;
        }
        baixadas.Adiciona(
            QStringLiteral("UPDATE TNG_CONSUMOS SET BAIXADO = 'S' WHERE FAL = %1 AND ORIGEM = 'TG' "
                           "AND CODIGO = %2 AND ORDEM = %3")
                .arg(Aspas(fal), Aspas(material),
                     QString::number(q.FieldByName(QStringLiteral("ORDEM")).AsInteger())));
        ++linhas;
    }
    if (linhas > 0) {
        baixadas.Adiciona(
            QStringLiteral("UPDATE FAL SET STATUS = 'B' WHERE NUMERO IN (%1)").arg(ListaSql(lote.fals)));
        baixadas.Executa();
        GeraLog(kTituloLog, QStringLiteral("BAIXA DE ESTOQUE FAL ") + fal, opOutros, fal, nullptr, &conexao);
    }
    unidade.Confirma();
    return QString();
}

QString EstornaUmaVez(const QString& fal) {
    TZoDatabase& conexao = *ConexaoHost();
    GravacaoAtomica unidade(conexao);
    TEstoque estoque(&conexao);
    const QString tipo = TipoMovimento(estoque, 8, 6);
    if (tipo.isEmpty())
        return QStringLiteral("Tipo de movimento de estoque não cadastrado.");
    TZoQuery q(nullptr, &conexao);
    q.SQL << QStringLiteral("SELECT FIRST 1 FALS FROM TNG_CONSUMOS WHERE FAL = :FAL AND ORIGEM = 'TG' AND "
                            "COALESCE(FALS, '') <> ''");
    q.BindValue(QStringLiteral("FAL"), fal);
    q.Open();
    QStringList fals = CodigosDaLista(q.IsEmpty() ? QString() : q.TextoAtual(QStringLiteral("FALS")));
    if (!fals.contains(fal))
        fals.prepend(fal);
    if (const QString recusa = estoque.Estorna(QStringLiteral("TG"), fal, tipo); !recusa.isEmpty())
        return recusa;
    InstrucoesEmLote lotes(conexao);
    lotes.Adiciona(
        QStringLiteral("DELETE FROM TNG_CONSUMOS WHERE FAL = %1 AND ORIGEM = 'TG'").arg(Aspas(fal)));
    lotes.Adiciona(QStringLiteral("UPDATE FAL SET STATUS = 'A' WHERE NUMERO IN (%1)").arg(ListaSql(fals)));
    lotes.Executa();
    GeraLog(kTituloLog, QStringLiteral("CANCELA BAIXA DE ESTOQUE FAL ") + fal, opOutros, fal, nullptr,
            &conexao);
    unidade.Confirma();
    return QString();
}

} // namespace

QString BaixaEstoqueEmissao(const LoteEmissao& lote) {
    return RepeteEmConflito([&] { return BaixaUmaVez(lote); });
}

QString EstornaEmissao(const QString& fal) {
    return RepeteEmConflito([&] { return EstornaUmaVez(fal); });
}

void LimpaPartida(const QStringList& fals) {
    if (fals.isEmpty())
        return;
    GravacaoAtomica unidade;
    TZoQuery q;
    q.SQL << QStringLiteral("UPDATE FAL SET PARTIDA = '' WHERE NUMERO IN (%1)").arg(ListaSql(fals));
    q.ExecSQL();
    unidade.Confirma();
}

QString SqlAcesso(const FiltroAcesso& f) {
    QStringList sql = {
        QStringLiteral(
            "SELECT CAST('N' AS VARCHAR(1)) AS SEL, F.NUMERO, F.DATA_INI, F.DATA_FIN, F.CLIENTE, E.NOME, "
            "F.COR, "
            "F.VARIANTE, "
            "F.PARTIDA, R.COD_BANHO, R.CODIGO AS RECEITA, B.DESCRICAO AS DESC_BANHO, R.PREPARACAO, "
            "P.DESCRICAO AS DESC_PREP"),
        QStringLiteral("FROM FAL F LEFT JOIN ENTIDADE E ON (E.CODCLI = F.CLIENTE)"),
        QStringLiteral("LEFT JOIN RECEITA R ON (R.CODIGO = %1 AND R.VARIANTE = F.VARIANTE)")
            .arg(SqlReceitaDaFal(QStringLiteral("F"))),
        QStringLiteral("LEFT JOIN BANHO B ON (B.CODIGO = R.COD_BANHO) LEFT JOIN PREPARACAO P ON (P.CODIGO = "
                       "R.PREPARACAO AND P.ORDEM = (SELECT MIN(Y.ORDEM) FROM PREPARACAO Y WHERE Y.CODIGO = "
                       "R.PREPARACAO))"),
        QStringLiteral("WHERE F.DATA_INI >= %1 AND F.DATA_INI <= %2")
            .arg(DataSQL(f.de.isValid() ? f.de : QDate(1800, 1, 1)),
                 DataSQL(f.ate.isValid() ? f.ate : QDate(2050, 1, 1)))};
    const QList<QPair<const char*, QString>> iguais = {{"F.CLIENTE", f.cliente},
                                                       {"F.COR", f.cor},
                                                       {"F.VARIANTE", f.variante},
                                                       {"R.COD_BANHO", f.banho},
                                                       {"R.PREPARACAO", f.preparacao}};
    for (const auto& [coluna, valor] : iguais)
        if (!valor.trimmed().isEmpty())
            sql << QStringLiteral("AND %1 = %2").arg(QLatin1String(coluna), Aspas(valor.trimmed()));
    if (f.pendentes)
        sql << QStringLiteral(
            "AND NOT EXISTS (SELECT 1 FROM TNG_CONSUMOS C WHERE C.FAL = F.NUMERO AND C.ORIGEM = "
            "'TG')");
    if (!f.fals.isEmpty())
        sql << QStringLiteral("AND F.NUMERO IN (%1)").arg(ListaSql(f.fals));
    sql << QStringLiteral("ORDER BY F.DATA_FIN, F.NUMERO");
    return sql.join(QLatin1Char('\n'));
}
