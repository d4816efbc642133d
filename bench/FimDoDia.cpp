#include "FimDoDia.h"
#include "TZoDatabase.h"
#include <QSqlQuery>
#include <QSqlRecord>

QStringList InstrucoesDesequilibrioNota(double minimo) {
    return {
        QStringLiteral(
            "SELECT I.NOTA, I.CODIGO, I.LOTE FROM NFITIN I WHERE I.PESO < %1 OR ABS(I.PESO - (I.PESO_REAL - "
            "I.PESO_PROG)) > 0.0001 OR ABS(I.PESO_PROG - COALESCE((SELECT SUM(F.PESO_NF) FROM FAL_ITEN F "
            "JOIN FAL ON FAL.NUMERO = F.FAL WHERE F.NOTA = I.NOTA AND FAL.CLIENTE = I.CODCLI AND F.CODIGO = "
            "I.CODIGO AND F.LOTE = I.LOTE), 0)) > 0.0001")
            .arg(minimo),
        QStringLiteral(
            "SELECT N.NOTA FROM NFTIN N WHERE ABS(N.SALDO - (SELECT SUM(I.PESO) FROM NFITIN I WHERE I.NOTA = "
            "N.NOTA AND I.CODCLI = N.CLIENTE)) > 0.0001"),
        QStringLiteral(
            "SELECT F.FAL, F.NOTA, F.CODIGO, F.LOTE FROM FAL_ITEN F JOIN FAL ON FAL.NUMERO = F.FAL WHERE "
            "F.PESO_NF > 0.0001 AND NOT EXISTS (SELECT 1 FROM NFITIN I WHERE I.NOTA = F.NOTA AND I.CODCLI = "
            "FAL.CLIENTE AND I.CODIGO = F.CODIGO AND I.LOTE = F.LOTE)")};
}

QStringList InstrucoesIncoerenciaFal() {
    return {
        QStringLiteral("SELECT I.FAL, I.ORD_IT FROM FAL_ITEN I WHERE NOT EXISTS (SELECT 1 FROM FAL F WHERE "
                       "F.NUMERO = I.FAL)"),
        QStringLiteral("SELECT P.FAL, P.ORD_IT, P.FASE FROM PROCESSO_TIN P WHERE NOT EXISTS (SELECT 1 FROM "
                       "FAL_ITEN I WHERE I.FAL = P.FAL AND I.CODIGO = P.CODIGO)"),
        QStringLiteral("SELECT I.FAL, I.ORD_IT FROM FAL_ITEN I WHERE EXISTS (SELECT 1 FROM ROTEIRO R WHERE "
                       "R.CODIGO = I.FLUXO) AND NOT EXISTS (SELECT 1 FROM PROCESSO_TIN P WHERE P.FAL = I.FAL "
                       "AND P.CODIGO = I.CODIGO)")};
}

QStringList InstrucoesDesequilibrioEstoque() {
    return {QStringLiteral(
        "SELECT I.CODIGO, I.DEPOSITO, I.LOTE, I.QTDE FROM MAT_ITEN I WHERE ABS(I.QTDE - COALESCE((SELECT "
        "SUM(IIF(M.OPERACAO = 'E', M.QTDE, -M.QTDE)) FROM MAT_MOV M WHERE M.CODIGO = I.CODIGO AND M.DEPOSITO "
        "= "
        "I.DEPOSITO AND M.LOTE = I.LOTE AND M.COR = I.COR), 0)) > 0.000001")};
}

QStringList LinhasDeConferencia(TZoDatabase& db, const QStringList& instrucoes) {
    QStringList linhas;
    for (qsizetype n = 0; n < instrucoes.size(); ++n) {
        QSqlQuery q(db.Connection());
        q.setForwardOnly(true);
        db.Exec(q, instrucoes[n], false);
        while (q.next()) {
            QStringList valores;
            for (int c = 0; c < q.record().count(); ++c)
                valores << q.value(c).toString().trimmed();
            linhas << QStringLiteral("%1: %2").arg(n + 1).arg(valores.join(QLatin1Char('|')));
        }
    }
    return linhas;
}
