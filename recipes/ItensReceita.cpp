#include "ItensReceita.h"
#include "DataAccess.h"
#include "DataSet.h"
#include "RegrasCalculo.h"
#include "TClientDataSet.h"

namespace {
// The first active alternative of a chemical, by code: a product with two active ones still gives one row.
QString alternativa(const QString& material) {
    return QStringLiteral(
               "LEFT JOIN {CONTRATIPO} CT ON (CT.MATERIAL = %1 AND CT.CODIGO = (SELECT FIRST 1 C.CODIGO FROM "
               "{CONTRATIPO} C WHERE C.MATERIAL = %1 AND C.ATIVO = 'S' ORDER BY C.CODIGO)) "
               "LEFT JOIN {MATERIAL} MAT_CT ON (MAT_CT.CODIGO = CT.CODIGO)")
        .arg(material);
}

QString colunasAlternativa() {
    return QStringLiteral("CT.CODIGO AS CONTRATIPO, CT.CONCENT AS CONCENT_CT, MAT_CT.REPOSICAO AS CUSTO_CT");
}

// Where the product is kept: its position without lot in the main warehouse.
QString local(const QString& material) {
    return QStringLiteral("(SELECT MAX(MI.LOCAL) FROM {MAT_ITEN} MI WHERE MI.CODIGO = %1 AND MI.DEPOSITO = "
                          "'0000' AND MI.LOTE = '000000') AS LOCAL")
        .arg(material);
}

// A rule has one row per line, all with its description.
QString descricaoRegra(const QString& regra) {
    return QStringLiteral(
               "(SELECT FIRST 1 R.DESCRICAO FROM {TNG_REGRA} R WHERE R.CODIGO = %1 ORDER BY R.ORDEM) AS "
               "DESC_REGRA")
        .arg(regra);
}

} // namespace

void CriaConsumos(TClientDataSet& itens) {
    itens.AddField(QStringLiteral("Ordem"), QMetaType::Int)
        .AddField(QStringLiteral("Material"), QMetaType::QString, 15)
        .AddField(QStringLiteral("Descricao"), QMetaType::QString, 80)
        .AddField(QStringLiteral("Unidade"), QMetaType::QString, 4)
        .AddField(QStringLiteral("Qtde"), QMetaType::Double)
        .AddField(QStringLiteral("Passo"), QMetaType::QString, 3)
        .AddField(QStringLiteral("Tipo"), QMetaType::QString, 3)
        .AddField(QStringLiteral("DescTipo"), QMetaType::QString, 50)
        .AddField(QStringLiteral("Fibra"), QMetaType::QString, 1)
        .AddField(QStringLiteral("Custo"), QMetaType::Double)
        .AddField(QStringLiteral("ContraTipo"), QMetaType::QString, 15)
        .AddField(QStringLiteral("QtdeContraTipo"), QMetaType::Double)
        .AddField(QStringLiteral("CustoContraTipo"), QMetaType::Double)
        .AddField(QStringLiteral("Regra"), QMetaType::QString, 3)
        .AddField(QStringLiteral("DescRegra"), QMetaType::QString, 50)
        .AddField(QStringLiteral("Tp_Item"), QMetaType::QString, 1)
        .AddField(QStringLiteral("Local"), QMetaType::QString, 30)
        .AddField(QStringLiteral("Concentracao"), QMetaType::Double)
        .AddField(QStringLiteral("Finalidade"), QMetaType::QString, 50)
        .AddField(QStringLiteral("Preco"), QMetaType::Double)
        .AddField(QStringLiteral("Altera"), QMetaType::QString, 1)
        .AddField(QStringLiteral("Grupo"), QMetaType::QString, 3)
        .AddField(QStringLiteral("Desc_Grupo"), QMetaType::QString, 30)
        .AddField(QStringLiteral("ConcentContraTipo"), QMetaType::Double);
    itens.CreateDataSet();
}

QString SqlReceita() {
    return DBLocal_SQL(
        QStringLiteral(
            "SELECT RECEITA.CODIGO, RECEITA.DESCRICAO AS DESC_REC, RECEITA.VARIANTE, RECEITA.COR, "
            "RECEITA.GRAFICO, RECEITA.COD_BANHO, RECEITA.CUSTO AS REC_CUSTO, RECEITA.OBS, "
            "RECEITA.PREPARACAO, "
            "RECEITA.LIBERADA, ULTIMO.DATA AS LOG_DATA, ULTIMO.HORA AS LOG_HORA, ULTIMO.USUARIO AS "
            "LOG_USUARIO, "
            "MAT_TIN.ORDEN AS ORDEM, MAT_TIN.CODIGO AS MATERIAL, MAT_TIN.UNIDADE, MAT_TIN.FINALIDADE, "
            "MAT_TIN.QTDE, MAT_TIN.FIBRA, MAT_TIN.PASSO, MAT_TIN.REGRA, MAT_TIN.TIPO, MAT_TIN.TP_ITEM, "
            "COALESCE(PRODUTO.DESCRICAO, MATERIAL.DESCRICAO) AS DESCRICAO, "
            "COALESCE(PRODUTO.PRECO, MATERIAL.REPOSICAO) AS PRECO, MATERIAL.CONCENTRACAO, MATERIAL.GRUPO, "
            "GRUPO_MA.DESCRICAO AS DESC_GRUPO, TIPO_TING.DESCRICAO AS DESC_TIPO, ") +
        descricaoRegra(QStringLiteral("MAT_TIN.REGRA")) + QStringLiteral(", ") + colunasAlternativa() +
        QStringLiteral(", ") + local(QStringLiteral("MATERIAL.CODIGO")) +
        QStringLiteral(
            " FROM {RECEITA} RECEITA "
            "LEFT JOIN {MAT_TIN} MAT_TIN ON (MAT_TIN.RECEITA = RECEITA.CODIGO AND MAT_TIN.VARIANTE = "
            "RECEITA.VARIANTE) "
            "LEFT JOIN {MATERIAL} MATERIAL ON (MATERIAL.CODIGO = MAT_TIN.CODIGO AND MAT_TIN.TP_ITEM IS "
            "DISTINCT FROM 'P') "
            "LEFT JOIN {PRODUTO} PRODUTO ON (PRODUTO.CODIGO = MAT_TIN.CODIGO AND MAT_TIN.TP_ITEM = 'P') "
            "LEFT JOIN {TIPO_TING} TIPO_TING ON (TIPO_TING.CODIGO = MAT_TIN.TIPO) "
            "LEFT JOIN {GRUPO_MA} GRUPO_MA ON (GRUPO_MA.CODIGO = MATERIAL.GRUPO) ") +
        alternativa(QStringLiteral("MATERIAL.CODIGO")) +
        // One entry, the latest; within a second the last one written.
        QStringLiteral(
            " LEFT JOIN {LOG} ULTIMO ON (ULTIMO.ID = (SELECT FIRST 1 L.ID FROM {LOG} L WHERE L.FORMULARIO = "
            "'fmTngReceita' AND L.CHAVE = :CHAVE ORDER BY L.DATA DESC, L.HORA DESC, L.ID DESC)) "
            "WHERE RECEITA.CODIGO = :CODIGO AND RECEITA.VARIANTE = :VARIANTE "
            "ORDER BY MAT_TIN.ORDEN, MAT_TIN.CODIGO"));
}

QString SqlPreparacao() {
    return DBLocal_SQL(
        QStringLiteral(
            "SELECT P.ORDEM, P.MATERIAL, MATERIAL.DESCRICAO, P.UNIDADE, P.DESCRICAO AS FINALIDADE, "
            "P.QTDE, P.FIBRA, P.PASSO, P.REGRA, P.TIPO, CAST('M' AS VARCHAR(1)) AS TP_ITEM, "
            "MATERIAL.REPOSICAO AS PRECO, MATERIAL.CONCENTRACAO, MATERIAL.GRUPO, "
            "GRUPO_MA.DESCRICAO AS DESC_GRUPO, TIPO_TING.DESCRICAO AS DESC_TIPO, ") +
        descricaoRegra(QStringLiteral("P.REGRA")) + QStringLiteral(", ") + colunasAlternativa() +
        QStringLiteral(", ") + local(QStringLiteral("P.MATERIAL")) +
        QStringLiteral(" FROM {PREPARACAO} P "
                       "LEFT JOIN {MATERIAL} MATERIAL ON (MATERIAL.CODIGO = P.MATERIAL) "
                       "LEFT JOIN {TIPO_TING} TIPO_TING ON (TIPO_TING.CODIGO = P.TIPO) "
                       "LEFT JOIN {GRUPO_MA} GRUPO_MA ON (GRUPO_MA.CODIGO = MATERIAL.GRUPO) ") +
        alternativa(QStringLiteral("P.MATERIAL")) +
        QStringLiteral(" WHERE P.CODIGO = :CODIGO ORDER BY P.ORDEM"));
}

QString SqlMaterial() {
    return DBLocal_SQL(
        QStringLiteral("SELECT MATERIAL.DESCRICAO, MATERIAL.UNIDADE, MATERIAL.REPOSICAO AS PRECO, "
                       "MATERIAL.CONCENTRACAO, MATERIAL.ATIVO, MATERIAL.GRUPO, "
                       "GRUPO_MA.DESCRICAO AS DESC_GRUPO, ") +
        colunasAlternativa() + QStringLiteral(", ") + local(QStringLiteral("MATERIAL.CODIGO")) +
        QStringLiteral(" FROM {MATERIAL} MATERIAL "
                       "LEFT JOIN {GRUPO_MA} GRUPO_MA ON (GRUPO_MA.CODIGO = MATERIAL.GRUPO) ") +
        alternativa(QStringLiteral("MATERIAL.CODIGO")) + QStringLiteral(" WHERE MATERIAL.CODIGO = :CODIGO"));
}

QString SqlProduto() {
    return DBLocal_SQL(
        QStringLiteral("SELECT DESCRICAO, UNIDADE, PRECO FROM {PRODUTO} PRODUTO WHERE CODIGO = :CODIGO"));
}

void AcrescentaItem(TDataSet& itens, TDataSet& origem, bool proprio, const ContextoItens& contexto,
                    RegrasCalculo& regras) {
    itens.Append();
    for (const char* campo :
         {"Ordem", "Material", "Descricao", "Unidade", "Qtde", "Passo", "Tipo", "Fibra", "Regra", "Tp_Item",
          "Local", "Concentracao", "Finalidade", "Preco", "Grupo", "Desc_Grupo", "ContraTipo"}) {
        const QString nome = QLatin1String(campo);
        itens.FieldByName(nome) = origem.FieldByName(nome).Value();
    }
    itens.FieldByName(QStringLiteral("DescTipo")) = origem.FieldByName(QStringLiteral("DESC_TIPO")).Value();
    itens.FieldByName(QStringLiteral("DescRegra")) = origem.FieldByName(QStringLiteral("DESC_REGRA")).Value();
    itens.FieldByName(QStringLiteral("ConcentContraTipo")) =
        origem.FieldByName(QStringLiteral("CONCENT_CT")).Value();
    itens.FieldByName(QStringLiteral("CustoContraTipo")) =
        origem.FieldByName(QStringLiteral("CUSTO_CT")).Value();
    itens.FieldByName(QStringLiteral("Altera")) = proprio ? QStringLiteral("S") : QStringLiteral("N");
    const QString regra = origem.FieldByName(QStringLiteral("REGRA")).AsString().trimmed();
    if (!regra.isEmpty())
        if (const auto qtde = regras.CalculaQtdeRegra(contexto.receita, contexto.variante, CodigoRegra(regra),
                                                      0, 0, 0, QString(), QString(), QString()))
            itens.FieldByName(QStringLiteral("Qtde")) = *qtde;
    CustaItem(itens, contexto);
    itens.Post();
}

CustoItem CustoDaLinha(const TDataSet& itens, int linha, const ContextoItens& contexto) {
    ItemCusto item;
    item.unidade = itens.TextoEm(linha, QStringLiteral("Unidade"));
    item.qtde = itens.NumeroEm(linha, QStringLiteral("Qtde"));
    item.fibra = itens.TextoEm(linha, QStringLiteral("Fibra"));
    item.concentracao = itens.NumeroEm(linha, QStringLiteral("Concentracao"));
    item.preco = itens.NumeroEm(linha, QStringLiteral("Preco"));
    item.indice = contexto.indice;
    item.proporcao = contexto.proporcao;
    return CustoItemReceita(item);
}

void CustaItem(TDataSet& itens, const ContextoItens& contexto) {
    itens.FieldByName(QStringLiteral("Custo")) = CustoDaLinha(itens, itens.RecNo(), contexto).custo;
    const bool alternativa = !itens.FieldByName(QStringLiteral("ContraTipo")).AsString().trimmed().isEmpty();
    itens.FieldByName(QStringLiteral("QtdeContraTipo")) =
        alternativa ? QVariant(itens.FieldByName(QStringLiteral("Qtde")).AsFloat() *
                               itens.FieldByName(QStringLiteral("ConcentContraTipo")).AsFloat() / 100)
                    : QVariant();
}

double CustoDosItens(const TDataSet& itens, const ContextoItens& contexto) {
    QList<CustoItem> custos;
    for (int linha = 0; linha < itens.RecordCount(); ++linha)
        if (!ItemEmBranco(itens, linha))
            custos << CustoDaLinha(itens, linha, contexto);
    return CustoReceita(custos);
}

bool ItemProprio(const TDataSet& itens, int linha) {
    return itens.TextoEm(linha, QStringLiteral("Altera")) != QLatin1String("N");
}

bool ItemEmBranco(const TDataSet& itens, int linha) {
    return itens.TextoEm(linha, QStringLiteral("Material")).isEmpty();
}

bool ItemDeProduto(const TDataSet& itens, int linha) {
    return itens.TextoEm(linha, QStringLiteral("Tp_Item")).toUpper() == QLatin1String("P");
}
