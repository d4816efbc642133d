#include "LeiturasExpedicao.h"
#include "TZoQuery.h"

namespace {
QString CondicaoStatus(StatusExpedicao status) {
    // Each condition reads the sheet's steps through their (FAL, CONCLUIDO) index, never the whole table.
    switch (status) {
    case StatusExpedicao::Concluido:
        return QStringLiteral(
            "AND EXISTS (SELECT 1 FROM PROCESSO_TIN S WHERE S.FAL = F.NUMERO AND S.CONCLUIDO = 'S') "
            "AND NOT EXISTS (SELECT 1 FROM PROCESSO_TIN S WHERE S.FAL = F.NUMERO AND S.CONCLUIDO <> 'S') ");
    case StatusExpedicao::Pendente:
        return QStringLiteral(
            "AND EXISTS (SELECT 1 FROM PROCESSO_TIN S WHERE S.FAL = F.NUMERO AND S.PENDENTE = 'S') ");
    case StatusExpedicao::NaoIniciado:
        return QStringLiteral(
            "AND EXISTS (SELECT 1 FROM PROCESSO_TIN S WHERE S.FAL = F.NUMERO AND S.CONCLUIDO = 'N') "
            "AND NOT EXISTS (SELECT 1 FROM PROCESSO_TIN S WHERE S.FAL = F.NUMERO AND S.CONCLUIDO <> 'N') ");
    case StatusExpedicao::Reprocesso:
        return QStringLiteral("AND F.TIPO > 1 ");
    }
    return {};
}
} // namespace

void AbreConsultaExpedicao(TZoQuery& q, const FiltroExpedicao& f) {
    // Named as the desk's grid names its columns, the selection and the pieces read starting blank.
    QString sql = QStringLiteral(
        "SELECT CAST('N' AS VARCHAR(1)) AS SELECIONA, F.NUMERO AS FAL, F.PARTIDA, F.CLIENTE, C.NOME, "
        "F.COR, COR.DESCRICAO AS DESCCOR, SUM(I.PESO) AS PESO, SUM(I.ROLO) AS ROLO, "
        "CAST(0 AS INTEGER) AS QTDE_EXPEDIDA, F.DATA_INI AS DATA, MIN(P.FASE) AS CODFASE, "
        "MIN(P.DES_FASE) AS FASE, MAX(I.LOTE) AS LOTE, F.VARIANTE, F.TIPO "
        "FROM FAL F JOIN FAL_ITEN I ON I.FAL = F.NUMERO "
        "LEFT JOIN CADCORTIN COR ON COR.CODIGO = F.COR "
        "LEFT JOIN ENTIDADE C ON C.CODCLI = F.CLIENTE "
        "LEFT JOIN PROCESSO_TIN P ON P.FAL = F.NUMERO AND P.CODIGO = I.CODIGO AND P.FASE = "
        "(SELECT FIRST 1 A.FASE FROM PROCESSO_TIN A WHERE A.FAL = F.NUMERO AND A.CONCLUIDO = 'N' "
        "ORDER BY A.ORDEM) "
        "WHERE F.DATA_INI BETWEEN :DE AND :ATE AND (I.FATURADO IS NULL OR I.FATURADO <> 'S') ");
    if (!f.cliente.isEmpty())
        sql += QStringLiteral("AND F.CLIENTE = :CLIENTE ");
    if (!f.fase.isEmpty())
        sql += QStringLiteral("AND P.FASE = :FASE ");
    if (!f.grupo.isEmpty())
        sql += QStringLiteral("AND C.GRUPO = :GRUPO ");
    sql += CondicaoStatus(f.status);
    sql +=
        QStringLiteral("GROUP BY F.PARTIDA, F.NUMERO, F.CLIENTE, C.NOME, F.DATA_INI, COR.DESCRICAO, F.COR, "
                       "F.VARIANTE, F.TIPO ");
    if (!f.lote.isEmpty())
        sql += QStringLiteral("HAVING MAX(I.LOTE) = :LOTE ");
    // The number breaks ties: the same filters list the sheets in the same order every time.
    sql += QStringLiteral("ORDER BY F.DATA_INI, F.NUMERO");
    q.SQL << sql;
    q.BindValue(QStringLiteral("DE"), f.de);
    q.BindValue(QStringLiteral("ATE"), f.ate);
    if (!f.cliente.isEmpty())
        q.BindValue(QStringLiteral("CLIENTE"), f.cliente);
    if (!f.fase.isEmpty())
        q.BindValue(QStringLiteral("FASE"), f.fase);
    if (!f.grupo.isEmpty())
        q.BindValue(QStringLiteral("GRUPO"), f.grupo);
    if (!f.lote.isEmpty())
        q.BindValue(QStringLiteral("LOTE"), f.lote);
    q.Open();
}
