#include "LeiturasMapa.h"
#include "DataAccess.h"
#include "Funcoes.h"
#include "Receitas.h"
#include "RegrasQuadro.h"
#include <QMap>
#include <algorithm>

namespace {
// Items returned or closed take the FAL off every queue.
const QString kAberta = QStringLiteral("NOT EXISTS (SELECT 1 FROM {FAL_ITEN} FI WHERE FI.FAL = F.NUMERO AND "
                                       "FI.FATURADO IN ('D', 'S'))");

// "2026-03-05 22:00:00" as the statement joins a step's date and hour, read as the board reads them.
std::optional<QDateTime> inicioDe(const QString& texto) {
    const QDateTime inicio =
        InicioDoPasso(QDate::fromString(texto.left(10), QStringLiteral("yyyy-MM-dd")), texto.mid(11));
    return inicio.isValid() ? std::optional(inicio) : std::nullopt;
}

// The machine kind ("1" dyeing, "2" finishing, "3" manual); "0" or blank takes every kind.
QString condicaoTipo(const QString& maquina, const QString& tipo) {
    if (tipo.isEmpty() || tipo == u"0")
        return {};
    return QStringLiteral(" AND %1.TIPO = %2").arg(maquina, Aspas(tipo));
}
} // namespace

QList<LinhaMapa> LeFalsDoMapa(const QString& fase, const QString& tipo) {
    TZoQuery q;
    // The pending steps of the phase drive the read: the next step of each FAL, and the earliest start
    // among them, whatever day it was.
    q.SQL << DBLocal_SQL(
        QStringLiteral(
            "SELECT F.NUMERO, F.PARTIDA, F.ORDEM, F.VARIANTE, V.DESCRICAO, F.COR, C.DESCRICAO, C.COR_SIS, "
            "A.INICIO, COALESCE(G.TEMPO, '0'), F.MAQUINA, M.DESCRICAO, F.CLIENTE, E.NOME, "
            "(SELECT SUM(FI.PESO) FROM {FAL_ITEN} FI WHERE FI.FAL = F.NUMERO), "
            "(SELECT MAX(TP.NUMERO) FROM {TNG_PROG} TP WHERE TP.FAL = F.NUMERO) "
            "FROM (SELECT P.FAL, MIN(CASE WHEN P.DATA_INI IS NOT NULL AND TRIM(P.HORA_INI) <> '' THEN "
            "P.DATA_INI || ' ' || TRIM(P.HORA_INI) END) AS INICIO FROM {PROCESSO_TIN} P "
            "WHERE P.FASE = :FASE AND P.CONCLUIDO = 'N' AND P.ORDEM = (SELECT MIN(P2.ORDEM) FROM "
            "{PROCESSO_TIN} P2 WHERE P2.FAL = P.FAL AND P2.CONCLUIDO = 'N') GROUP BY P.FAL) A "
            "JOIN {FAL} F ON F.NUMERO = A.FAL "
            "LEFT JOIN {MAQ_TIN} M ON M.CODIGO = F.MAQUINA "
            "LEFT JOIN {CADCORTIN} C ON C.CODIGO = F.COR "
            "LEFT JOIN {VARIANTE} V ON V.CODIGO = F.VARIANTE "
            "LEFT JOIN {ENTIDADE} E ON E.CODCLI = F.CLIENTE "
            "LEFT JOIN {RECEITA} R ON R.CODIGO = %1 AND R.VARIANTE = F.VARIANTE "
            "LEFT JOIN {GRAFICO} G ON G.CODIGO = R.GRAFICO "
            "WHERE F.ORDEM > 0%2 AND %3 "
            "ORDER BY F.MAQUINA, F.ORDEM, F.NUMERO")
            .arg(SqlReceitaDaFal(QStringLiteral("F")), condicaoTipo(QStringLiteral("M"), tipo), kAberta));
    q.BindValue(QStringLiteral("FASE"), fase);
    q.Open();
    QList<LinhaMapa> linhas;
    for (q.First(); !q.Eof(); q.Next()) {
        const auto texto = [&q](int coluna) { return q.Fields(coluna).AsString().trimmed(); };
        LinhaMapa l;
        l.fal = {texto(0), texto(10),         q.Fields(2).AsInteger(), texto(5), q.Fields(7).Value(),
                 texto(9), inicioDe(texto(8))};
        l.partida = texto(1);
        l.variante = texto(3);
        l.descVariante = texto(4);
        l.descCor = texto(6);
        l.descMaquina = texto(11);
        l.cliente = texto(12);
        l.descCliente = texto(13);
        l.peso = q.Fields(14).AsFloat();
        l.programacao = texto(15);
        linhas << l;
    }
    return linhas;
}

QList<MaquinaMapa> LeMaquinasDoMapa(const QString& fase, const QString& tipo, const QStringList& comFals) {
    TZoQuery q;
    q.SQL << DBLocal_SQL(
                 QStringLiteral("SELECT M.CODIGO, M.DESCRICAO FROM {MAQ_TIN} M WHERE (M.FASE = :FASE%1)%2"))
                 .arg(condicaoTipo(QStringLiteral("M"), tipo),
                      comFals.isEmpty() ? QString()
                                        : QStringLiteral(" OR M.CODIGO IN (%1)").arg(ListaSql(comFals)));
    q.BindValue(QStringLiteral("FASE"), fase);
    q.Open();
    QList<MaquinaMapa> maquinas;
    for (q.First(); !q.Eof(); q.Next())
        maquinas.append({q.Fields(0).AsString().trimmed(), q.Fields(1).AsString().trimmed()});
    // A FAL on a machine not registered still has its row.
    for (const QString& codigo : comFals)
        if (std::none_of(maquinas.cbegin(), maquinas.cend(),
                         [&codigo](const MaquinaMapa& m) { return m.codigo == codigo; }))
            maquinas.append({codigo, QString()});
    std::sort(maquinas.begin(), maquinas.end(),
              [](const MaquinaMapa& a, const MaquinaMapa& b) { return a.codigo < b.codigo; });
    return maquinas;
}

std::optional<QString> DescricaoMaquina(const QString& codigo) {
    TZoQuery q;
    q.SQL << DBLocal_SQL(QStringLiteral("SELECT DESCRICAO FROM {MAQ_TIN} WHERE CODIGO = :CODIGO"));
    q.BindValue(QStringLiteral("CODIGO"), codigo);
    q.Open();
    if (q.IsEmpty())
        return std::nullopt;
    return q.Fields(0).AsString().trimmed();
}

QString SqlFalsSemOrdem(const FiltroSemOrdem& filtro) {
    QStringList condicoes = {
        QStringLiteral("COALESCE(F.ORDEM, 0) = 0") + condicaoTipo(QStringLiteral("M"), filtro.tipo), kAberta};
    if (filtro.de.isValid())
        condicoes << QStringLiteral("F.DATA_INI >= %1").arg(DataSQL(filtro.de));
    if (filtro.ate.isValid())
        condicoes << QStringLiteral("F.DATA_INI <= %1").arg(DataSQL(filtro.ate));
    if (!filtro.fases.isEmpty())
        condicoes << QStringLiteral("P.FASE IN (%1)").arg(ListaSql(filtro.fases));
    if (!filtro.fals.isEmpty())
        condicoes << QStringLiteral("F.NUMERO IN (%1)").arg(ListaSql(filtro.fals));
    if (!filtro.clientes.isEmpty())
        condicoes << QStringLiteral("F.CLIENTE IN (%1)").arg(ListaSql(filtro.clientes));
    return DBLocal_SQL(
        QStringLiteral(
            "SELECT DISTINCT CAST('N' AS VARCHAR(1)) AS SEL, F.NUMERO, F.DATA_INI AS DT_EMISSAO, F.MAQUINA, "
            "M.DESCRICAO AS DESC_MAQUINA, COALESCE(F.ORDEM, 0) AS ORDEM, P.FASE, FS.DESCRICAO AS DESC_FASE, "
            "F.CLIENTE, E.NOME AS DESC_CLIENTE, F.COR, C.DESCRICAO AS DESC_COR, F.VARIANTE, "
            "V.DESCRICAO AS DESC_VARIANTE, (SELECT SUM(FI.PESO) FROM {FAL_ITEN} FI WHERE FI.FAL = F.NUMERO) "
            "AS PESO, COALESCE(G.TEMPO, '0') AS TEMPO "
            "FROM {FAL} F "
            "JOIN {PROCESSO_TIN} P ON P.FAL = F.NUMERO AND P.CONCLUIDO = 'N' AND P.ORDEM = (SELECT "
            "MIN(P2.ORDEM) "
            "FROM {PROCESSO_TIN} P2 WHERE P2.FAL = F.NUMERO AND P2.CONCLUIDO = 'N') "
            "LEFT JOIN {FASE} FS ON FS.CODIGO = P.FASE "
            "LEFT JOIN {MAQ_TIN} M ON M.CODIGO = F.MAQUINA "
            "LEFT JOIN {CADCORTIN} C ON C.CODIGO = F.COR "
            "LEFT JOIN {VARIANTE} V ON V.CODIGO = F.VARIANTE "
            "LEFT JOIN {ENTIDADE} E ON E.CODCLI = F.CLIENTE "
            "LEFT JOIN {RECEITA} R ON R.CODIGO = %1 AND R.VARIANTE = F.VARIANTE "
            "LEFT JOIN {GRAFICO} G ON G.CODIGO = R.GRAFICO "
            // The steps of one phase are laid out per fabric: DISTINCT lists the FAL once.
            "WHERE %2 ORDER BY 3, 2")
            .arg(SqlReceitaDaFal(QStringLiteral("F")), condicoes.join(QStringLiteral(" AND "))));
}

ColocacaoFal::ColocacaoFal() {
    const QString colunas =
        QStringLiteral("SELECT F.NUMERO, F.MAQUINA, COALESCE(F.ORDEM, 0), F.COR, (SELECT FIRST 1 P.FASE FROM "
                       "{PROCESSO_TIN} P WHERE P.FAL = F.NUMERO AND P.CONCLUIDO = 'N' ORDER BY P.ORDEM), ");
    m_daMaquina.SQL << DBLocal_SQL(colunas + QStringLiteral("'S' FROM {FAL} F WHERE F.MAQUINA = :MAQUINA AND "
                                                            "F.ORDEM > 0 AND %1")
                                                 .arg(kAberta));
    m_daFal.SQL << DBLocal_SQL(
        colunas +
        QStringLiteral("CASE WHEN %1 THEN 'S' ELSE 'N' END FROM {FAL} F WHERE F.NUMERO = :FAL").arg(kAberta));
    m_maior.SQL << DBLocal_SQL(
        QStringLiteral("SELECT MAX(F.ORDEM) FROM {FAL} F WHERE F.MAQUINA = :MAQUINA AND %1").arg(kAberta));
    m_desloca.SQL << DBLocal_SQL(QStringLiteral("UPDATE {FAL} F SET F.ORDEM = F.ORDEM + 1 WHERE F.MAQUINA = "
                                                ":MAQUINA AND F.ORDEM >= :ORDEM AND F.NUMERO <> :FAL AND %1")
                                     .arg(kAberta));
    m_grava.SQL << DBLocal_SQL(
        QStringLiteral("UPDATE {FAL} SET MAQUINA = :MAQUINA, ORDEM = :ORDEM WHERE NUMERO = :FAL"));
}

QList<FalNaFila> ColocacaoFal::Filas(const QStringList& maquinas, const QStringList& fals) {
    QMap<QString, FalNaFila> filas; // by number, a FAL read twice once
    const auto le = [&filas](TZoQuery& q) {
        q.Open();
        for (q.First(); !q.Eof(); q.Next()) {
            const auto texto = [&q](int coluna) { return q.Fields(coluna).AsString().trimmed(); };
            filas.insert(texto(0),
                         {texto(0), texto(1), q.Fields(2).AsInteger(), texto(3), texto(4), texto(5) == u"S"});
        }
    };
    for (const QString& maquina : maquinas) {
        m_daMaquina.BindValue(QStringLiteral("MAQUINA"), maquina);
        le(m_daMaquina);
    }
    for (const QString& fal : fals) {
        m_daFal.BindValue(QStringLiteral("FAL"), fal);
        le(m_daFal);
    }
    return filas.values();
}

int ColocacaoFal::MaiorOrdem(const QString& maquina) {
    m_maior.BindValue(QStringLiteral("MAQUINA"), maquina);
    m_maior.Open();
    return m_maior.Fields(0).AsInteger();
}

void ColocacaoFal::AbreEspaco(const QString& maquina, int ordem, const QString& fal) {
    m_desloca.BindValue(QStringLiteral("MAQUINA"), maquina);
    m_desloca.BindValue(QStringLiteral("ORDEM"), ordem);
    m_desloca.BindValue(QStringLiteral("FAL"), fal);
    m_desloca.ExecSQL();
}

void ColocacaoFal::Grava(const QString& fal, const QString& maquina, int ordem) {
    m_grava.BindValue(QStringLiteral("MAQUINA"), maquina);
    m_grava.BindValue(QStringLiteral("ORDEM"), ordem);
    m_grava.BindValue(QStringLiteral("FAL"), fal);
    m_grava.ExecSQL();
}
