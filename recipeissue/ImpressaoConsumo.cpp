#include "ImpressaoConsumo.h"
#include "EmissaoReceita.h"
#include "GravacaoAtomica.h"
#include "Relatorio.h"
#include "TZoQuery.h"
#include <QScopeGuard>

namespace {
const QString kIdentificador = QStringLiteral("WTngConsumo");

// Newest first: the recipe's last five changes, then every printing and write-off of the sheet.
void LeHistoricos(TZoQuery& receita, TZoQuery& impressao, const QString& chaveReceita, const QString& fal) {
    receita.SQL << QStringLiteral(
        "SELECT FIRST 5 DATA, HORA, USUARIO, TEXTO FROM LOG WHERE TITULO = 'RECEITA' "
        "AND CHAVE = :CHAVE ORDER BY DATA DESC, ID DESC");
    receita.BindValue(QStringLiteral("CHAVE"), chaveReceita);
    receita.Open();
    impressao.SQL << QStringLiteral("SELECT DATA, HORA, USUARIO, TEXTO FROM LOG WHERE TITULO = 'IMPRESSAO DE "
                                    "RECEITA' AND CHAVE = :CHAVE ORDER BY DATA DESC, ID DESC");
    impressao.BindValue(QStringLiteral("CHAVE"), fal);
    impressao.Open();
}
} // namespace

void LayoutConsumo(TRelatorio& relatorio) {
    relatorio.DefineColunas(
        {relatorio.Coluna(QStringLiteral("Ordem"), QStringLiteral("Ordem")),
         relatorio.Coluna(QStringLiteral("Passo"), QStringLiteral("Passo")),
         relatorio.Coluna(QStringLiteral("Material"), QStringLiteral("Material")),
         relatorio.Coluna(QStringLiteral("Descricao"), QStringLiteral("Descrição")),
         relatorio.Coluna(QStringLiteral("Qtde"), QStringLiteral("Qtde"), 4),
         relatorio.Coluna(QStringLiteral("Unidade"), QStringLiteral("Un.")),
         relatorio.Coluna(QStringLiteral("Consumo"), QStringLiteral("Consumo (g)"), 4, true),
         relatorio.Coluna(QStringLiteral("Lote"), QStringLiteral("Lote")),
         relatorio.Coluna(QStringLiteral("CT"), QStringLiteral("Contratipo")),
         relatorio.Coluna(QStringLiteral("Baixado"), QStringLiteral("Baixado"))});
    relatorio.AgrupaPor(QStringLiteral("Desc_Tipo"), QStringLiteral("Tipo"));
    relatorio.DefineZebrado(false);
    for (TRelatorio& historico : relatorio.Secoes()) {
        historico.DefineColunas({historico.Coluna(QStringLiteral("DATA"), QStringLiteral("Data")),
                                 historico.Coluna(QStringLiteral("HORA"), QStringLiteral("Hora")),
                                 historico.Coluna(QStringLiteral("USUARIO"), QStringLiteral("Usuário")),
                                 historico.Coluna(QStringLiteral("TEXTO"), QStringLiteral("Histórico"))});
        historico.DefineSomas(false);
    }
}

bool ImprimeConsumo(TDataSet& linhas, const CabecalhoConsumo& c, QWidget* tela, const QString& flags) {
    TZoQuery receita, impressao;
    const QString fal = c.fals.section(QLatin1Char(','), 0, 0).trimmed();
    QList<PassoCurva> passos;
    {
        GravacaoAtomica leitura;
        LeHistoricos(receita, impressao, c.receita + c.variante, fal);
        passos = PassosDoGrafico(c.grafico);
        leitura.Confirma();
    }
    const QString ordem = linhas.IndexFieldNames();
    linhas.SetIndexFieldNames(QStringLiteral("Tipo;Ordem;Material"));
    const auto restaura = qScopeGuard([&linhas, ordem] { linhas.SetIndexFieldNames(ordem); });

    TRelatorio relatorio(kIdentificador, QStringLiteral("Receita da FAL ") + c.fals, &linhas);
    const QList<QPair<const char*, QString>> campos = {
        {"FAL", c.fals},          {"Partida", c.partida},  {"Cliente", c.cliente}, {"Cor", c.cor},
        {"Variante", c.variante}, {"Receita", c.receita},  {"Máquina", c.maquina}, {"Banho", c.banho},
        {"Peso (kg)", c.peso},    {"Volume (L)", c.volume}};
    for (const auto& [rotulo, valor] : campos)
        relatorio.AdicionaCabecalho(QString::fromUtf8(rotulo), valor);
    relatorio.AdicionaSecao(TRelatorio(kIdentificador, QStringLiteral("Histórico da receita"), &receita));
    relatorio.AdicionaSecao(TRelatorio(kIdentificador, QStringLiteral("Histórico da impressão"), &impressao));
    if (!passos.isEmpty())
        relatorio.DefineDesenhoFinal(
            [passos](QPainter& pintor, const QRectF& area) { DesenhaCurvaComPassos(pintor, area, passos); });
    return Chama_Relatorio(relatorio, tela, flags);
}
