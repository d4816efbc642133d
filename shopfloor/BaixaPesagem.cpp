#include "BaixaPesagem.h"
#include "Acesso.h"
#include "DataAccess.h"
#include "DataContext.h"
#include "Estoque.h"
#include "Funcoes.h"
#include "GravacaoAtomica.h"
#include "Receitas.h"
#include "TZoDatabase.h"
#include "TZoQuery.h"
#include <algorithm>

namespace {
const QString kTituloLog = QStringLiteral("BAIXA DE CONSUMO DA RECEITA");

ResultadoBaixa BaixaUmaVez(const QString& fal, const QString& cliente, QList<LinhaPesada> linhas) {
    TZoDatabase& conexao = *ConexaoHost();
    GravacaoAtomica unidade(conexao);
    TEstoque estoque(&conexao);
    const QString tipo = estoque.CodigoTipoMovEstoque(15);
    if (tipo.isEmpty())
        return {QStringLiteral("Tipo de movimento de estoque não cadastrado."), 0};
    TZoQuery q(nullptr, &conexao);
    q.SQL << QStringLiteral(
        "SELECT C.CODIGO, C.ORDEM, C.LOTE, M.ESTOQUE FROM TNG_CONSUMOS C LEFT JOIN MATERIAL M ON (M.CODIGO = "
        "C.CODIGO) WHERE C.FAL = :FAL AND C.ORIGEM = 'TG' AND C.BAIXADO = 'N'");
    q.BindValue(QStringLiteral("FAL"), fal);
    q.Open();
    QHash<QString, std::pair<QString, bool>> pendentes; // lot and whether stock is kept, by code|order
    for (q.First(); !q.Eof(); q.Next())
        pendentes.insert(q.TextoAtual(QStringLiteral("CODIGO")) + u'|' +
                             q.TextoAtual(QStringLiteral("ORDEM")),
                         {q.TextoAtual(QStringLiteral("LOTE")),
                          q.TextoAtual(QStringLiteral("ESTOQUE")).toUpper() != u"N"});

    // Every write-off takes the positions in code order, so two never wait on each other in a circle.
    std::sort(linhas.begin(), linhas.end(), [](const LinhaPesada& a, const LinhaPesada& b) {
        return std::pair(a.material, a.ordem) < std::pair(b.material, b.ordem);
    });
    TZoQuery marca(nullptr, &conexao);
    marca.SQL << QStringLiteral(
        "UPDATE TNG_CONSUMOS SET BAIXADO = 'S', QTDE_BAL = :PESO WHERE FAL = :FAL AND ORIGEM = 'TG' AND "
        "CODIGO = :CODIGO AND ORDEM = :ORDEM AND BAIXADO = 'N'");
    const QString deposito = DepositoPrioritario();
    const QString funcionario = FuncionarioDoUsuario();
    int baixadas = 0;
    for (const LinhaPesada& l : std::as_const(linhas)) {
        const auto pendente = pendentes.constFind(l.material + u'|' + QString::number(l.ordem));
        if (pendente == pendentes.cend())
            continue;
        // Marked first: a line another workstation wrote off meanwhile changes no row and moves nothing.
        marca.BindValue(QStringLiteral("PESO"), l.pesoG);
        marca.BindValue(QStringLiteral("FAL"), fal);
        marca.BindValue(QStringLiteral("CODIGO"), l.material);
        marca.BindValue(QStringLiteral("ORDEM"), l.ordem);
        marca.ExecSQL();
        if (marca.RowsAffected() == 0)
            continue;
        ++baixadas;
        const double kg = l.pesoG / 1000;
        if (!pendente->second || !(kg > 0))
            continue;
        MovimentoEstoque m;
        m.codigo = l.material;
        m.deposito = deposito;
        m.lote = pendente->first.isEmpty() ? QStringLiteral("000000") : pendente->first;
        m.quantidade = kg;
        m.documento = fal;
        m.cliente = cliente;
        m.usuario = vUsuario();
        m.funcionario = funcionario;
        m.tipoMovimento = tipo;
        if (const QString recusa = estoque.MovimentaEstoqueMaterial(m); !recusa.isEmpty())
            return {recusa, 0};
    }
    if (baixadas > 0)
        GeraLog(kTituloLog, kTituloLog + QStringLiteral(" - FAL. ") + fal, opOutros, fal, nullptr, &conexao);
    unidade.Confirma();
    return {QString(), baixadas};
}
} // namespace

std::optional<CabecalhoBaixa> LeCabecalhoBaixa(const QString& fal) {
    TZoQuery q;
    q.SQL
        << QStringLiteral(
               "SELECT F.CLIENTE, E.NOME, F.COR, K.DESCRICAO AS DESC_COR, F.VARIANTE, V.DESCRICAO AS "
               "DESC_VAR, "
               "%1 AS RECEITA FROM FAL F LEFT JOIN ENTIDADE E ON (E.CODCLI = F.CLIENTE) LEFT JOIN CADCORTIN "
               "K "
               "ON (K.CODIGO = F.COR) LEFT JOIN VARIANTE V ON (V.CODIGO = F.VARIANTE) WHERE F.NUMERO = :FAL")
               .arg(SqlReceitaDaFal(QStringLiteral("F")));
    q.BindValue(QStringLiteral("FAL"), fal.trimmed());
    q.Open();
    if (q.IsEmpty())
        return std::nullopt;
    return CabecalhoBaixa{q.TextoAtual(QStringLiteral("CLIENTE")),  q.TextoAtual(QStringLiteral("NOME")),
                          q.TextoAtual(QStringLiteral("COR")),      q.TextoAtual(QStringLiteral("DESC_COR")),
                          q.TextoAtual(QStringLiteral("VARIANTE")), q.TextoAtual(QStringLiteral("DESC_VAR")),
                          q.TextoAtual(QStringLiteral("RECEITA"))};
}

bool TemConsumosDaFal(const QString& fal) {
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT FIRST 1 1 FROM TNG_CONSUMOS WHERE FAL = :FAL AND ORIGEM = 'TG'");
    q.BindValue(QStringLiteral("FAL"), fal.trimmed());
    q.Open();
    return !q.IsEmpty();
}

QString SqlLinhasBaixa(const QStringList& grupos) {
    QStringList sql = {
        QStringLiteral(
            "SELECT C.CODIGO, C.ORDEM, C.UNIDADE, C.QTDE, C.CONSUMO, C.BAIXADO, C.QTDE_BAL, M.DESCRICAO, "
            "M.SUB_GRUPO, M.IND_TIN, M.ATIVO, I.LOCAL FROM TNG_CONSUMOS C LEFT JOIN MATERIAL M ON (M.CODIGO "
            "= "
            "C.CODIGO) LEFT JOIN MAT_ITEN I ON (I.CODIGO = C.CODIGO AND I.COR = '0' AND I.DEPOSITO = "
            ":DEPOSITO "
            "AND I.LOTE = COALESCE(NULLIF(TRIM(C.LOTE), ''), '000000'))"),
        QStringLiteral("WHERE C.FAL = :FAL AND C.ORIGEM = 'TG'")};
    if (!grupos.isEmpty())
        sql << QStringLiteral("AND M.GRUPO IN (%1)").arg(ListaSql(grupos));
    sql << QStringLiteral("ORDER BY C.ORDEM, C.CODIGO");
    return sql.join(QLatin1Char('\n'));
}

QList<LinhaBaixa> LeLinhasBaixa(const QString& fal, const QStringList& grupos) {
    TZoQuery q;
    q.SQL << SqlLinhasBaixa(grupos);
    q.BindValue(QStringLiteral("FAL"), fal.trimmed());
    q.BindValue(QStringLiteral("DEPOSITO"), DepositoPrioritario());
    q.Open();
    QList<LinhaBaixa> linhas;
    for (q.First(); !q.Eof(); q.Next()) {
        LinhaBaixa l;
        l.material = q.TextoAtual(QStringLiteral("CODIGO"));
        l.descricao = q.TextoAtual(QStringLiteral("DESCRICAO"));
        l.unidade = q.TextoAtual(QStringLiteral("UNIDADE"));
        l.subgrupo = q.TextoAtual(QStringLiteral("SUB_GRUPO"));
        l.local = q.TextoAtual(QStringLiteral("LOCAL"));
        l.ordem = q.FieldByName(QStringLiteral("ORDEM")).AsInteger();
        l.qtde = q.FieldByName(QStringLiteral("QTDE")).AsFloat();
        l.consumoG = q.FieldByName(QStringLiteral("CONSUMO")).AsFloat();
        l.pesoG = q.FieldByName(QStringLiteral("QTDE_BAL")).AsFloat();
        l.toleranciaPerc = q.FieldByName(QStringLiteral("IND_TIN")).AsFloat();
        l.baixado = q.TextoAtual(QStringLiteral("BAIXADO")).toUpper() == u"S";
        l.ativo = q.TextoAtual(QStringLiteral("ATIVO")).toUpper() != u"N";
        linhas << l;
    }
    return linhas;
}

ResultadoBaixa BaixaConsumosPesados(const QString& fal, const QString& cliente,
                                    const QList<LinhaPesada>& linhas) {
    return RepeteEmConflito([&] { return BaixaUmaVez(fal.trimmed(), cliente, linhas); });
}

QString SqlConsultaBaixa() {
    // The pending lines are few against years of written-off ones: read them through their index first.
    return QStringLiteral(
        "SELECT F.NUMERO, F.DATA_INI, F.CLIENTE, F.COR, K.DESCRICAO, F.VARIANTE, F.PARTIDA FROM (SELECT "
        "DISTINCT C.FAL FROM TNG_CONSUMOS C WHERE C.BAIXADO = 'N' AND C.ORIGEM = 'TG') P JOIN FAL F ON "
        "(F.NUMERO = P.FAL) LEFT OUTER JOIN CADCORTIN K ON (F.COR = K.CODIGO)");
}
