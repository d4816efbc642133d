#include "ImpressaoFal.h"
#include "Formatacao.h"
#include "GravacaoAtomica.h"
#include "Relatorio.h"
#include "TZoQuery.h"

namespace {

// One row: the sheet with its customer, colour, variant, machine and route described, the service phase of
// the colour's price and the remark of its recipe (the released one first).
void LeCabecalho(TZoQuery& cabecalho, const QString& numero) {
    cabecalho.SQL
        << QStringLiteral(
               "SELECT F.CLIENTE, C.NOME, C.FANTASIA, F.STATUS, F.TABPRECO, F.PRAZO, F.PARTIDA, "
               "F.DATA_INI, F.DATA_FIN, F.OBS, F.COR, K.DESCRICAO AS DESC_COR, K.TON, K.COMPLEMENTO, "
               "F.VARIANTE, V.DESCRICAO AS DESC_VAR, F.MAQUINA, M.DESCRICAO AS DESC_MAQ, F.ROTEIRO,")
        << QStringLiteral("(SELECT FIRST 1 R.DESCRICAO FROM ROTEIRO R WHERE R.CODIGO = F.ROTEIRO "
                          "ORDER BY R.ORDEM) AS DESC_ROTEIRO,")
        << QStringLiteral(
               "(SELECT FIRST 1 S.CODIGO || ' - ' || COALESCE(S.DESCRICAO, '') FROM TABPRECO P "
               "JOIN FASE S ON (S.CODIGO = P.SERVICO) WHERE P.REGIAO = F.TABPRECO AND P.COR = F.COR "
               "AND P.VARIANTE = F.VARIANTE ORDER BY P.CODIGO) AS SERVICO,")
        << QStringLiteral(
               "(SELECT FIRST 1 R.OBS FROM RECEITA R WHERE R.COR = F.COR AND R.VARIANTE = F.VARIANTE "
               "ORDER BY R.LIBERADA, R.CODIGO) AS REC_OBS")
        << QStringLiteral("FROM FAL F LEFT JOIN ENTIDADE C ON (C.CODCLI = F.CLIENTE)")
        << QStringLiteral("LEFT JOIN CADCORTIN K ON (K.CODIGO = F.COR) LEFT JOIN VARIANTE V ON (V.CODIGO = "
                          "F.VARIANTE) LEFT JOIN MAQ_TIN M ON (M.CODIGO = F.MAQUINA)")
        << QStringLiteral("WHERE F.NUMERO = :FAL");
    cabecalho.BindValue(QStringLiteral("FAL"), numero);
    cabecalho.Open();
}

// One row per item: its totals are the sheet's.
void LeItens(TZoQuery& itens, const QString& numero) {
    itens.SQL << QStringLiteral("SELECT I.ORD_IT, I.NOTA, I.CODIGO, P.DESCRICAO, I.LOTE, I.ROLO, I.PESO, "
                                "I.GRAMATURA, I.LARGURA, P.OBS AS PROD_OBS,")
              << QStringLiteral("I.FLUXO || COALESCE(' - ' || (SELECT FIRST 1 R.DESCRICAO FROM ROTEIRO R "
                                "WHERE R.CODIGO = I.FLUXO ORDER BY R.ORDEM), '') AS FLUXO")
              << QStringLiteral("FROM FAL_ITEN I LEFT JOIN PRODUTO P ON (P.CODIGO = I.CODIGO)")
              << QStringLiteral("WHERE I.FAL = :FAL ORDER BY I.ORD_IT, I.CODIGO");
    itens.BindValue(QStringLiteral("FAL"), numero);
    itens.Open();
}

// The steps of every item, phase after phase in the order the route first reaches each: that first order is
// worked out over the sheet's own steps (a grouping of its own would walk the phase index of every sheet).
void LePassos(TZoQuery& passos, const QString& numero) {
    passos.SQL << QStringLiteral(
                      "SELECT S.FASE || COALESCE(' - ' || S.DES_FASE, '') AS FASE, S.ORD_IT, S.CODIGO, "
                      "P.DESCRICAO,")
               << QStringLiteral(
                      "CAST(CASE S.CONCLUIDO WHEN 'S' THEN 'Concluído' WHEN 'R' THEN 'Concluído p/ "
                      "reprocesso' ELSE 'Pendente' END AS VARCHAR(30)) AS SITUACAO, CAST('' AS VARCHAR(12)) "
                      "AS VISTO")
               << QStringLiteral("FROM PROCESSO_TIN S LEFT JOIN PRODUTO P ON (P.CODIGO = S.CODIGO)")
               << QStringLiteral(
                      "WHERE S.FAL = :FAL ORDER BY MIN(S.ORDEM) OVER (PARTITION BY S.FASE), S.FASE, "
                      "S.ORD_IT, S.ORDEM");
    passos.BindValue(QStringLiteral("FAL"), numero);
    passos.Open();
}

// The services charged on the sheet, in one line: "05 - AMACIAMENTO (R$ 0,50/kg); ...".
QString LeServicos(const QString& numero) {
    TZoQuery servicos;
    servicos.SQL << QStringLiteral("SELECT T.SETOR, F.DESCRICAO, T.PRECO FROM TABELA T LEFT JOIN FASE F ON "
                                   "(F.CODIGO = T.SETOR) WHERE T.CODIGO = :FAL ORDER BY T.SETOR");
    servicos.BindValue(QStringLiteral("FAL"), numero);
    servicos.Open();
    QStringList lista;
    for (int linha = 0; linha < servicos.RecordCount(); ++linha)
        lista << QStringLiteral("%1 - %2 (R$ %3/kg)")
                     .arg(servicos.ValueAt(linha, 0).toString().trimmed(),
                          servicos.ValueAt(linha, 1).toString().trimmed(),
                          TextoExibicao(servicos.ValueAt(linha, 2), 2));
    return lista.join(QStringLiteral("; "));
}

// "código - descrição", or whichever of the two there is.
QString Descrito(TDataSet& linha, const QString& codigo, const QString& descricao) {
    QStringList partes{linha.FieldByName(codigo).AsString().trimmed(),
                       linha.FieldByName(descricao).AsString().trimmed()};
    partes.removeAll(QString());
    return partes.join(QStringLiteral(" - "));
}

// A field with nothing to say is left out, so the header stays short.
void PreencheCabecalho(TRelatorio& relatorio, TDataSet& fal, const QString& servicos) {
    auto campo = [&relatorio](const QString& rotulo, const QString& valor) {
        if (!valor.isEmpty())
            relatorio.AdicionaCabecalho(rotulo, valor);
    };
    auto texto = [&fal](const char* coluna) {
        return fal.FieldByName(QLatin1String(coluna)).AsString().trimmed();
    };
    campo(QStringLiteral("Cliente"), Descrito(fal, QStringLiteral("CLIENTE"), QStringLiteral("NOME")));
    campo(QStringLiteral("Nome fantasia"), texto("FANTASIA"));
    campo(QStringLiteral("Status"), texto("STATUS"));
    campo(QStringLiteral("Tabela de preço"), texto("TABPRECO"));
    campo(QStringLiteral("Prazo de pagamento"),
          texto("PRAZO").isEmpty() ? QString() : texto("PRAZO") + QStringLiteral(" dias"));
    campo(QStringLiteral("Cor"), Descrito(fal, QStringLiteral("COR"), QStringLiteral("DESC_COR")));
    campo(QStringLiteral("Tom"), texto("TON"));
    campo(QStringLiteral("Complemento da cor"), texto("COMPLEMENTO"));
    campo(QStringLiteral("Variante"), Descrito(fal, QStringLiteral("VARIANTE"), QStringLiteral("DESC_VAR")));
    campo(QStringLiteral("Máquina"), Descrito(fal, QStringLiteral("MAQUINA"), QStringLiteral("DESC_MAQ")));
    campo(QStringLiteral("Roteiro"),
          Descrito(fal, QStringLiteral("ROTEIRO"), QStringLiteral("DESC_ROTEIRO")));
    campo(QStringLiteral("Serviço da cor"), texto("SERVICO"));
    campo(QStringLiteral("Serviços da FAL"), servicos);
    campo(QStringLiteral("Partida"), texto("PARTIDA"));
    campo(QStringLiteral("Entrada"), texto("DATA_INI"));
    campo(QStringLiteral("Entrega"), texto("DATA_FIN"));
    campo(QStringLiteral("Obs."), texto("OBS"));
    campo(QStringLiteral("Obs. da receita"), texto("REC_OBS"));
}

} // namespace

void LayoutFal(TRelatorio& relatorio) {
    relatorio.DefineColunas(
        {relatorio.Coluna(QStringLiteral("ORD_IT"), QStringLiteral("Item")),
         relatorio.Coluna(QStringLiteral("NOTA"), QStringLiteral("NF")),
         relatorio.Coluna(QStringLiteral("CODIGO"), QStringLiteral("Tecido")),
         relatorio.Coluna(QStringLiteral("DESCRICAO"), QStringLiteral("Descrição")),
         relatorio.Coluna(QStringLiteral("LOTE"), QStringLiteral("Lote")),
         relatorio.Coluna(QStringLiteral("ROLO"), QStringLiteral("Rolos"), 0, true),
         relatorio.Coluna(QStringLiteral("PESO"), QStringLiteral("Peso (kg)"), 2, true),
         relatorio.Coluna(QStringLiteral("GRAMATURA"), QStringLiteral("Gramatura (g/m²)")),
         relatorio.Coluna(QStringLiteral("LARGURA"), QStringLiteral("Largura (m)")),
         relatorio.Coluna(QStringLiteral("FLUXO"), QStringLiteral("Roteiro")),
         relatorio.Coluna(QStringLiteral("PROD_OBS"), QStringLiteral("Obs. do produto"))});
    relatorio.DefineZebrado(false);
    for (TRelatorio& passos : relatorio.Secoes()) {
        ColunaRelatorio visto = passos.Coluna(QStringLiteral("VISTO"), QStringLiteral("Visto"));
        visto.largura = 12;
        passos.DefineColunas({passos.Coluna(QStringLiteral("ORD_IT"), QStringLiteral("Item")),
                              passos.Coluna(QStringLiteral("CODIGO"), QStringLiteral("Tecido")),
                              passos.Coluna(QStringLiteral("DESCRICAO"), QStringLiteral("Descrição")),
                              passos.Coluna(QStringLiteral("SITUACAO"), QStringLiteral("Situação")), visto});
        passos.AgrupaPor(QStringLiteral("FASE"), QStringLiteral("Fase"));
        passos.DefineSomas(false);
        passos.DefineZebrado(false);
    }
}

bool ImprimeFal(const QString& numero, QWidget* tela, const QString& flags) {
    TZoQuery cabecalho, itens, passos;
    QString servicos;
    {
        GravacaoAtomica leitura;
        LeCabecalho(cabecalho, numero);
        LeItens(itens, numero);
        LePassos(passos, numero);
        servicos = LeServicos(numero);
        leitura.Confirma();
    }
    if (cabecalho.IsEmpty())
        return false;
    TRelatorio relatorio(QStringLiteral("WTngFAL"), QStringLiteral("FAL ") + numero, &itens);
    PreencheCabecalho(relatorio, cabecalho, servicos);
    relatorio.AdicionaSecao(
        TRelatorio(QStringLiteral("WTngFAL"), QStringLiteral("Etapas do processo"), &passos));
    return Chama_Relatorio(relatorio, tela, flags);
}
