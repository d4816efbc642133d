#include "LeiturasQuadro.h"
#include "DataAccess.h"
#include "Funcoes.h"
#include "GravacaoAtomica.h"
#include "InstrucoesEmLote.h"
#include "LeiturasFal.h"
#include "Receitas.h"
#include "RegrasFal.h"
#include "TZoDatabase.h"
#include "TZoQuery.h"
#include <QSet>

namespace {

// The pending steps a lot's time counts: every one, of the phase or group asked for.
QString CondicaoPendentes(const FiltroQuadro& filtro) {
    QString sql = QStringLiteral("P.CONCLUIDO = 'N'");
    if (!filtro.fase.trimmed().isEmpty())
        sql += QStringLiteral(" AND P.FASE = %1").arg(Aspas(filtro.fase.trimmed()));
    if (!filtro.grupo.trimmed().isEmpty())
        sql += QStringLiteral(" AND EXISTS (SELECT 1 FROM FASE S WHERE S.CODIGO = P.FASE AND S.GRUPO = %1)")
                   .arg(Aspas(filtro.grupo.trimmed()));
    return sql;
}

const QString kNaFila = QStringLiteral("F.STATUS = 'A' AND COALESCE(F.PARTIDA, '') <> '' AND "
                                       "COALESCE(F.ORDEM, 0) <> 0 AND COALESCE(F.TIPO, 0) <> 5");
} // namespace

// Driven by the pending steps (few against years of concluded ones, read through their index), each sheet's
// first one, rather than by every open sheet tested one by one.
QString SqlFilas(const FiltroQuadro& filtro) {
    // The next step, when a phase or group is asked for, is a pending step of it.
    const bool filtra = !filtro.fase.trimmed().isEmpty() || !filtro.grupo.trimmed().isEmpty();
    const QString proximo = filtra ? QStringLiteral(" AND EXISTS (SELECT 1 FROM PROCESSO_TIN P WHERE P.FAL = "
                                                    "N.FAL AND P.ORDEM = N.ORDEM AND %1)")
                                         .arg(CondicaoPendentes(filtro))
                                   : QString();
    return QStringLiteral("SELECT F.MAQUINA, M.DESCRICAO AS DESC_MAQ, F.NUMERO, F.PARTIDA, F.COR, "
                          "K.DESCRICAO AS DESC_COR, "
                          "K.COR_SIS, F.VARIANTE, F.ORDEM, F.CLIENTE FROM (SELECT FAL, MIN(ORDEM) AS ORDEM "
                          "FROM PROCESSO_TIN "
                          "WHERE CONCLUIDO = 'N' GROUP BY FAL) N JOIN FAL F ON (F.NUMERO = N.FAL) JOIN "
                          "MAQ_TIN M ON (M.CODIGO "
                          "= F.MAQUINA) LEFT JOIN CADCORTIN K ON (K.CODIGO = F.COR) WHERE M.TIPO = '1' AND "
                          "%1%2 ORDER BY "
                          "F.MAQUINA, F.ORDEM, F.NUMERO")
        .arg(kNaFila, proximo);
}

QList<LoteQuadro> LeFilas(const FiltroQuadro& filtro) {
    TZoQuery q;
    q.SQL << SqlFilas(filtro);
    q.Open();
    QList<LoteQuadro> lotes;
    for (q.First(); !q.Eof(); q.Next())
        lotes << LoteQuadro{q.TextoAtual(QStringLiteral("MAQUINA")),
                            q.TextoAtual(QStringLiteral("DESC_MAQ")),
                            q.TextoAtual(QStringLiteral("NUMERO")),
                            q.TextoAtual(QStringLiteral("PARTIDA")),
                            q.TextoAtual(QStringLiteral("COR")),
                            q.TextoAtual(QStringLiteral("DESC_COR")),
                            q.TextoAtual(QStringLiteral("VARIANTE")),
                            q.TextoAtual(QStringLiteral("CLIENTE")),
                            q.FieldByName(QStringLiteral("COR_SIS")).Value(),
                            q.FieldByName(QStringLiteral("ORDEM")).AsInteger()};
    return lotes;
}

QList<FalPartida> LeFalsDaPartida(const QString& partida, const QString& cliente,
                                  const FiltroQuadro& filtro) {
    TZoQuery q;
    q.SQL << QStringLiteral(
                 "SELECT F.NUMERO, E.NOME, F.DATA_INI, F.ROTEIRO, F.ORDEM, K.COR_SIS, K.DESCRICAO AS "
                 "DESC_COR, F.MAQUINA, F.VARIANTE, "
                 "F.COR, "
                 "I.LOTE, I.PESO, I.ROLO FROM FAL F LEFT JOIN ENTIDADE E ON (E.CODCLI = F.CLIENTE) LEFT JOIN "
                 "CADCORTIN K ON (K.CODIGO = F.COR) LEFT JOIN (SELECT FAL, MAX(LOTE) AS LOTE, SUM(PESO) AS "
                 "PESO, "
                 "SUM(ROLO) AS ROLO FROM FAL_ITEN GROUP BY FAL) I ON (I.FAL = F.NUMERO) WHERE F.PARTIDA = "
                 ":PARTIDA "
                 "AND F.CLIENTE = :CLIENTE AND EXISTS (SELECT 1 FROM PROCESSO_TIN P WHERE P.FAL = F.NUMERO "
                 "AND %1) "
                 "ORDER BY F.ORDEM, F.NUMERO")
                 .arg(CondicaoPendentes(filtro));
    q.BindValue(QStringLiteral("PARTIDA"), partida);
    q.BindValue(QStringLiteral("CLIENTE"), cliente);
    q.Open();
    QList<FalPartida> fals;
    for (q.First(); !q.Eof(); q.Next()) {
        FalPartida f;
        f.fal = q.TextoAtual(QStringLiteral("NUMERO"));
        f.nomeCliente = q.TextoAtual(QStringLiteral("NOME"));
        f.cor = q.TextoAtual(QStringLiteral("COR"));
        f.descCor = q.TextoAtual(QStringLiteral("DESC_COR"));
        f.variante = q.TextoAtual(QStringLiteral("VARIANTE"));
        f.roteiro = q.TextoAtual(QStringLiteral("ROTEIRO"));
        f.maquina = q.TextoAtual(QStringLiteral("MAQUINA"));
        f.lote = q.TextoAtual(QStringLiteral("LOTE"));
        f.corSis = q.FieldByName(QStringLiteral("COR_SIS")).Value();
        f.data = q.FieldByName(QStringLiteral("DATA_INI")).Value().toDate();
        f.peso = q.FieldByName(QStringLiteral("PESO")).AsFloat();
        f.pecas = q.FieldByName(QStringLiteral("ROLO")).AsInteger();
        f.ordem = q.FieldByName(QStringLiteral("ORDEM")).AsInteger();
        fals << f;
    }
    return fals;
}

QHash<QString, LoteFila> LeTemposDasPartidas(const QStringList& fals, const FiltroQuadro& filtro) {
    QHash<QString, LoteFila> lotes;
    if (fals.isEmpty())
        return lotes;
    TZoQuery q;
    q.SQL
        << QStringLiteral(
               "SELECT F.PARTIDA, F.NUMERO, P.FASE, G.TEMPO, P.PENDENTE, P.DATA_INI, P.HORA_INI FROM FAL F "
               "JOIN "
               "PROCESSO_TIN P ON (P.FAL = F.NUMERO) LEFT JOIN RECEITA R ON (R.CODIGO = %1 AND R.VARIANTE = "
               "F.VARIANTE) LEFT JOIN GRAFICO G ON (G.CODIGO = R.GRAFICO) WHERE F.NUMERO IN (%2) AND %3")
               .arg(SqlReceitaDaFal(QStringLiteral("F")), ListaSql(fals), CondicaoPendentes(filtro));
    q.Open();
    QHash<QString, QHash<QString, QString>> tempos; // by lot: the curve time of each sheet and phase
    for (q.First(); !q.Eof(); q.Next()) {
        const QString partida = q.TextoAtual(QStringLiteral("PARTIDA"));
        tempos[partida].insert(q.TextoAtual(QStringLiteral("NUMERO")) + u'|' +
                                   q.TextoAtual(QStringLiteral("FASE")),
                               q.TextoAtual(QStringLiteral("TEMPO")));
        const QDateTime inicio = InicioDoPasso(q.FieldByName(QStringLiteral("DATA_INI")).Value().toDate(),
                                               q.TextoAtual(QStringLiteral("HORA_INI")));
        if (q.TextoAtual(QStringLiteral("PENDENTE")).toUpper() == u"S" && inicio.isValid()) {
            LoteFila& lote = lotes[partida];
            if (!lote.iniciado || inicio < lote.inicio)
                lote.inicio = inicio;
            lote.iniciado = true;
        }
    }
    for (auto it = tempos.cbegin(); it != tempos.cend(); ++it)
        lotes[it.key()].minutos = TempoDoLote(it.value().values());
    return lotes;
}

QString AtribuiPartida(const QString& fal, const QString& partida, const QString& maquina,
                       const QString& roteiro, int ordem) {
    TZoDatabase& conexao = *ConexaoHost();
    GravacaoAtomica unidade(conexao);
    if (maquina.trimmed().isEmpty() ||
        !Existe(QStringLiteral("MAQ_TIN"), QStringLiteral("CODIGO"), {maquina.trimmed()}))
        return QStringLiteral("Máquina inválida.");
    TZoQuery passos(nullptr, &conexao);
    passos.SQL << QStringLiteral("SELECT FIRST 1 1 FROM PROCESSO_TIN WHERE FAL = :FAL");
    passos.BindValue(QStringLiteral("FAL"), fal);
    passos.Open();
    InstrucoesEmLote lote(conexao);
    if (passos.IsEmpty() && !roteiro.trimmed().isEmpty()) {
        // Laid out as the lot sheet lays them: one step per fabric and phase, so recording finds them.
        QList<ItemPasso> itens;
        TZoQuery q(nullptr, &conexao);
        q.SQL << QStringLiteral("SELECT CODIGO, ORD_IT FROM FAL_ITEN WHERE FAL = :FAL ORDER BY ORD_IT");
        q.BindValue(QStringLiteral("FAL"), fal);
        q.Open();
        for (q.First(); !q.Eof(); q.Next())
            itens.append({q.Fields(0).AsString().trimmed(), q.Fields(1).AsInteger(), roteiro.trimmed()});
        TZoQuery curva(nullptr, &conexao);
        curva.SQL << QStringLiteral(
                         "SELECT R.GRAFICO FROM FAL F JOIN RECEITA R ON (R.CODIGO = %1 AND R.VARIANTE = "
                         "F.VARIANTE) WHERE F.NUMERO = :FAL")
                         .arg(SqlReceitaDaFal(QStringLiteral("F")));
        curva.BindValue(QStringLiteral("FAL"), fal);
        curva.Open();
        const QString grafico = curva.IsEmpty() ? QString() : curva.Fields(0).AsString().trimmed();
        for (const PassoFal& passo : LayoutPassos(itens, LeRoteiros({roteiro.trimmed()}, &conexao)))
            lote.Adiciona(
                QStringLiteral("INSERT INTO PROCESSO_TIN (FAL, CODIGO, PARTIDA, ORDEM, CONCLUIDO, GRAFICO, "
                               "FASE, DES_FASE, ORD_IT) VALUES (%1, %2, %3, %4, 'N', %5, %6, %7, %8)")
                    .arg(Aspas(fal), Aspas(passo.codigo), Aspas(partida))
                    .arg(passo.ordem)
                    .arg(grafico.isEmpty() ? QStringLiteral("NULL") : Aspas(grafico), Aspas(passo.fase),
                         Aspas(passo.descricao.left(50)))
                    .arg(passo.ordIt));
    }
    lote.Adiciona(QStringLiteral(
                      "UPDATE FAL SET PARTIDA = %1, MAQUINA = %2, ROTEIRO = %3, ORDEM = %4 WHERE NUMERO = %5")
                      .arg(Aspas(partida), Aspas(maquina.trimmed()), Aspas(roteiro.trimmed()))
                      .arg(ordem)
                      .arg(Aspas(fal)));
    lote.Executa();
    unidade.Confirma();
    return QString();
}
