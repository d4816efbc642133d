#include "RelTngFat.h"
#include "DataAccess.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "ModuleUnits.h"
#include "RegrasRelFaturamento.h"
#include "Relatorio.h"
#include "TClientDataSet.h"
#include "TZoQuery.h"
#include <QDate>
#include <QLineEdit>
#include <tuple>

TFmRelTngFat* FmRelTngFat = nullptr;

KELM_SCREEN_UNIT(RelTngFat, TFmRelTngFat,
                 {{QStringLiteral("WTngFat"), LayoutFaturamento},
                  {QStringLiteral("WTngFatR"), LayoutFaturamentoResumo}});

namespace {
constexpr int kDetalhe = 0, kResumo = 1;

// Items held for an order (EMPENHO "S") are not billing; a null flag is not "S". Each item bills at most one
// FAL, so nothing multiplies the items; the receivables only decide which invoices count.
const QString kOrigem = QStringLiteral(
    " FROM {NOTA} NOTA "
    "JOIN {NOTAITEN} NOTAITEN ON (NOTAITEN.FATURA = NOTA.FATURA AND COALESCE(NOTAITEN.EMPENHO, 'N') <> 'S') "
    "JOIN {FAL} FAL ON (FAL.NUMERO = NOTAITEN.PEDIDO AND FAL.COR = NOTAITEN.COR) "
    "LEFT JOIN {ENTIDADE} ENTIDADE ON (ENTIDADE.CODCLI = NOTA.CODCLI) "
    "LEFT JOIN {CADCORTIN} CADCORTIN ON (CADCORTIN.CODIGO = NOTAITEN.CODIGO) "
    "WHERE EXISTS (SELECT 1 FROM {RECEBER} REC WHERE REC.FATURA = NOTA.FATURA /*REP*/) /*FILTROS*/ ");

// Weight sent per customer in the period, every incoming invoice counted; the last day whole.
QHash<QString, double> PesoEntrada(const QDate& de, const QDate& ate, const QString& cliente) {
    TZoQuery q;
    q.SQL << DBLocal_SQL(InstrucaoPesoEntrada(de.isValid(), ate.isValid(), !cliente.isEmpty()));
    if (de.isValid())
        q.BindValue(QStringLiteral("DE"), de.startOfDay());
    if (ate.isValid())
        q.BindValue(QStringLiteral("ATE"), ate.addDays(1).startOfDay());
    if (!cliente.isEmpty())
        q.BindValue(QStringLiteral("CLI"), cliente);
    q.Open();
    QHash<QString, double> pesos;
    for (q.First(); !q.Eof(); q.Next())
        pesos.insert(q.Fields(0).AsString().trimmed(), q.Fields(1).AsFloat());
    return pesos;
}
} // namespace

QString InstrucaoPesoEntrada(bool de, bool ate, bool cliente) {
    return QStringLiteral(
               "SELECT NFTIN.CLIENTE, SUM(NFITIN.PESO_NOTA) FROM {NFTIN} NFTIN JOIN {NFITIN} NFITIN ON "
               "(NFITIN.NOTA = NFTIN.NOTA AND NFITIN.CODCLI = NFTIN.CLIENTE) WHERE 1 = 1%1%2%3 GROUP BY 1")
        .arg(de ? QStringLiteral(" AND NFTIN.DATA_LAN >= :DE") : QString(),
             ate ? QStringLiteral(" AND NFTIN.DATA_LAN < :ATE") : QString(),
             cliente ? QStringLiteral(" AND NFTIN.CLIENTE = :CLI") : QString());
}

QString InstrucaoFaturamento() {
    return QStringLiteral(
               "SELECT NOTA.CODCLI, ENTIDADE.NOME, NOTA.FATURA, NOTA.DT_EMISSAO, EXTRACT(MONTH FROM "
               "NOTA.DT_EMISSAO) AS MES, NOTAITEN.PEDIDO AS FAL, NOTAITEN.QTDE AS PESOL, "
               "NOTAITEN.VALOR") +
           kOrigem + QStringLiteral("ORDER BY NOTA.CODCLI, NOTA.DT_EMISSAO, NOTA.FATURA");
}

QString InstrucaoFaturamentoResumo() {
    return QStringLiteral(
               "SELECT NOTA.CODCLI, ENTIDADE.NOME, SUM(NOTAITEN.VALOR) AS VALOR, SUM(NOTAITEN.QTDE) "
               "AS PESO") +
           kOrigem + QStringLiteral("GROUP BY NOTA.CODCLI, ENTIDADE.NOME");
}

TFmRelTngFat::TFmRelTngFat(QWidget* parent) : TFmRelatorio(parent) {
    setObjectName(QStringLiteral("FmRelTngFat"));
    setWindowTitle(QStringLiteral("Relatório de Faturamento por da Tinturaria"));
    resize(900, 650);
    PublicaInstancia(FmRelTngFat);
}

void TFmRelTngFat::FormCreate() {
    using T = FiltroRelatorio::Tipo;
    // The representative of the invoice's receivables.
    FiltroRelatorio representante = FiltroRepresentante(QStringLiteral("REC.CODREP"));
    representante.marcador = QStringLiteral("REP");
    rel.filtros = {
        {.tipo = T::Periodo, .nome = "DtFat", .legenda = "Faturamento da FAL", .coluna = "NOTA.DT_EMISSAO"},
        {.tipo = T::Codigo,
         .nome = "EdtCodCli",
         .legenda = "Cliente",
         .coluna = "NOTA.CODCLI",
         .tabela = "ENTIDADE",
         .chave = "CODCLI",
         .descricao = "NOME",
         .recusa = "Cliente não cadastrado."},
        representante,
        {.tipo = T::Lista,
         .nome = "EdtNota",
         .legenda = "Nota",
         .coluna = "NOTA.FATURA",
         .tabela = "NOTA",
         .chave = "FATURA",
         .descricao = "CODCLI"},
        {.tipo = T::Lista,
         .nome = "EdtFAL",
         .legenda = "FAL",
         .coluna = "FAL.NUMERO",
         .tabela = "FAL",
         .chave = "NUMERO",
         .descricao = "COR"},
        // Promotions and colour groups belong to the items: the summary does not split by them.
        {.tipo = T::Codigo,
         .nome = "EdtPromocao",
         .legenda = "Promoção",
         .coluna = "FAL.PROMOCAO",
         .tabela = "FAL",
         .chave = "PROMOCAO",
         .descricao = "",
         .distintos = true,
         .soCom = {"CbResumo", kDetalhe}},
        {.tipo = T::Codigo,
         .nome = "EdtGrupoCor",
         .legenda = "Grupo Cor",
         .coluna = "CADCORTIN.COD_GRUPO",
         .tabela = "GRUPO_COR",
         .recusa = "Grupo de cor não cadastrado.",
         .soCom = {"CbResumo", kDetalhe}},
        {.tipo = T::Marca, .nome = "CbResumo", .legenda = "Resumido"},
        {.tipo = T::Marca,
         .nome = "CbEstampa",
         .legenda = "Somente Estampa",
         .textos = {" AND CADCORTIN.CODIGO IS NOT NULL"}},
        {.tipo = T::Opcao,
         .nome = "RgOrdem",
         .legenda = "Ordem",
         .opcoes = {"Cliente", "Peso Entrada", "Valor Faturado"},
         .soCom = {"CbResumo", kResumo}}};
    rel.escolha = QStringLiteral("CbResumo");
    rel.instrucoes = {InstrucaoFaturamento(), InstrucaoFaturamentoResumo()};
    rel.camposPivo = [this](TClientDataSet& r) {
        r.AddField(QStringLiteral("CODCLI"), QMetaType::QString, 5);
        r.AddField(QStringLiteral("NOME"), QMetaType::QString, 80);
        if (Opcao(QStringLiteral("CbResumo")) == kResumo) {
            for (const char* numero : {"PESO_ENTRADA", "PESO", "VALOR"})
                r.AddField(QLatin1String(numero), QMetaType::Double);
            return;
        }
        r.AddField(QStringLiteral("CLIENTE"), QMetaType::QString, 160);
        r.AddField(QStringLiteral("FATURA"), QMetaType::Int);
        r.AddField(QStringLiteral("DT_EMISSAO"), QMetaType::QDate);
        r.AddField(QStringLiteral("MES"), QMetaType::Int);
        r.AddField(QStringLiteral("FAL"), QMetaType::QString, 7);
        for (const char* numero : {"PESOL", "VALOR", "PESO_NOTA"})
            r.AddField(QLatin1String(numero), QMetaType::Double);
    };
    rel.pivo = [this](TDataSet& linhas, TClientDataSet& r) { Pivo(linhas, r); };
    rel.relatorio = QStringLiteral("WTngFat");
    AbreRelatorio();
    // Columns differ per statement: the grid shows the fields of the rows read.
}

// Invoice numbers are whole numbers: anything else would only fail in the engine.
bool TFmRelTngFat::ValidaFiltros() {
    auto* notas = qobject_cast<QLineEdit*>(Controle(QStringLiteral("EdtNota")));
    for (const QString& nota : CodigosDaLista(notas->text())) {
        bool numero = false;
        nota.toInt(&numero);
        if (!numero)
            return Recusa(notas, QStringLiteral("Nota: \"%1\" não é um número de nota válido.").arg(nota));
    }
    return true;
}

QString TFmRelTngFat::Identificador() const {
    return Opcao(QStringLiteral("CbResumo")) == kResumo ? QStringLiteral("WTngFatR")
                                                        : QStringLiteral("WTngFat");
}

// The customers' entry weights of the period (one statement), then the summary in its order or the items
// with their customer's.
void TFmRelTngFat::Pivo(TDataSet& linhas, TClientDataSet& r) {
    const auto data = [this](const char* lado) {
        const auto* caixa = qobject_cast<QLineEdit*>(Controle(QStringLiteral("DtFat") + QLatin1String(lado)));
        return LeData(caixa->text().trimmed());
    };
    const QString cliente =
        CodigosDaLista(qobject_cast<QLineEdit*>(Controle(QStringLiteral("EdtCodCli")))->text()).value(0);
    const QHash<QString, double> entrada = PesoEntrada(data("Ini"), data("Fim"), cliente);
    const int codcli = linhas.IndiceExistente(QStringLiteral("CODCLI")),
              nome = linhas.IndiceExistente(QStringLiteral("NOME")),
              valor = linhas.IndiceExistente(QStringLiteral("VALOR"));
    if (Opcao(QStringLiteral("CbResumo")) == kResumo) {
        QList<LinhaResumo> resumo;
        const int peso = linhas.IndiceExistente(QStringLiteral("PESO"));
        for (int i = 0; i < linhas.RecordCount(); ++i) {
            const QString codigo = linhas.ValueAt(i, codcli).toString().trimmed();
            resumo.append({codigo, linhas.ValueAt(i, nome).toString(), linhas.ValueAt(i, valor).toDouble(),
                           linhas.ValueAt(i, peso).toDouble(), entrada.value(codigo)});
        }
        OrdenaResumo(resumo, static_cast<OrdemResumo>(Opcao(QStringLiteral("RgOrdem"))));
        for (const LinhaResumo& l : std::as_const(resumo)) {
            r.Append();
            r.FieldByName(QStringLiteral("CODCLI")).SetValue(l.codcli);
            r.FieldByName(QStringLiteral("NOME")).SetValue(l.nome);
            r.FieldByName(QStringLiteral("PESO_ENTRADA")).SetValue(l.pesoEntrada);
            r.FieldByName(QStringLiteral("PESO")).SetValue(l.peso);
            r.FieldByName(QStringLiteral("VALOR")).SetValue(l.valor);
            r.Post();
        }
        return;
    }
    QList<std::pair<int, int>> copiados;
    for (const char* campo : {"CODCLI", "NOME", "FATURA", "DT_EMISSAO", "MES", "FAL", "PESOL", "VALOR"})
        copiados.append(
            {linhas.IndiceExistente(QLatin1String(campo)), r.IndiceExistente(QLatin1String(campo))});
    const int rCliente = r.IndiceExistente(QStringLiteral("CLIENTE")),
              rPesoNota = r.IndiceExistente(QStringLiteral("PESO_NOTA"));
    for (int i = 0; i < linhas.RecordCount(); ++i) {
        const QString codigo = linhas.ValueAt(i, codcli).toString().trimmed();
        const double peso = entrada.value(codigo);
        r.Append();
        for (const auto& [de, para] : std::as_const(copiados))
            r.Fields(para).SetValue(linhas.ValueAt(i, de));
        r.Fields(rCliente).SetValue(
            QStringLiteral("%1 - %2 - entrada no período: %3 kg")
                .arg(codigo, linhas.ValueAt(i, nome).toString().trimmed(), TextoExibicao(peso, 2)));
        r.Fields(rPesoNota).SetValue(peso);
        r.Post();
    }
}

void LayoutFaturamento(TRelatorio& relatorio) {
    QList<ColunaRelatorio> colunas;
    for (const auto& [campo, titulo, casas, soma] : {std::tuple{"FATURA", "Nota", -1, false},
                                                     {"DT_EMISSAO", "Emissão", -1, false},
                                                     {"FAL", "FAL", -1, false},
                                                     {"PESOL", "Peso (kg)", 2, true},
                                                     {"VALOR", "Valor (R$)", 2, true}})
        colunas << relatorio.Coluna(QLatin1String(campo), QString::fromUtf8(titulo), casas, soma);
    relatorio.DefineColunas(colunas);
    relatorio.AgrupaPor(QStringLiteral("CLIENTE"), QStringLiteral("Cliente"));
}

void LayoutFaturamentoResumo(TRelatorio& relatorio) {
    QList<ColunaRelatorio> colunas;
    for (const auto& [campo, titulo, casas, soma] : {std::tuple{"CODCLI", "Cliente", -1, false},
                                                     {"NOME", "Nome", -1, false},
                                                     {"PESO_ENTRADA", "Peso entrada (kg)", 2, true},
                                                     {"PESO", "Peso faturado (kg)", 2, true},
                                                     {"VALOR", "Valor faturado (R$)", 2, true}})
        colunas << relatorio.Coluna(QLatin1String(campo), QString::fromUtf8(titulo), casas, soma);
    relatorio.DefineColunas(colunas);
}
