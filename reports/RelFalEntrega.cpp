#include "RelFalEntrega.h"
#include "Formatacao.h"
#include "ModuleUnits.h"
#include "PivosGerencia.h"
#include "Relatorio.h"
#include "TClientDataSet.h"
#include <QLineEdit>
#include <tuple>

TFmRelFalEntrega* FmRelFalEntrega = nullptr;

KELM_SCREEN_UNIT(RelFalEntrega, TFmRelFalEntrega, {{QStringLiteral("WTngFalEntrega"), LayoutFalEntrega}});

namespace {
const char* const kQuilos[] = {"Antes", "NoDia", "Depois"};
const char* const kLotes[] = {"Lotes_Antes", "Lotes_NoDia", "Lotes_Depois"};
const char* const kMedias[] = {"Media_Ponderada",        "Media_Dias",
                               "Media_Ponderada_Antes",  "Media_Antes",
                               "Media_Ponderada_Depois", "Media_Depois"};
} // namespace

QString InstrucaoFalEntrega() {
    return QStringLiteral(
        "SELECT FAL_ITEN.PESO, UDF_DAYSBETWEEN(FAL.DATA_INI, FAL_ITEN.DT_FATURA) AS DIAS, FAL.DATA_FIN AS "
        "PREVISAO, FAL.CLIENTE, CLIENTE.NOME, FAL_ITEN.DT_FATURA AS ENTREGA, FAL.NUMERO "
        "FROM {FAL_ITEN} FAL_ITEN INNER JOIN {FAL} FAL ON (FAL.NUMERO = FAL_ITEN.FAL) "
        "LEFT OUTER JOIN {ENTIDADE} CLIENTE ON (FAL.CLIENTE = CLIENTE.CODCLI) "
        "WHERE FAL_ITEN.DT_FATURA IS NOT NULL /*FILTROS*/");
}

TFmRelFalEntrega::TFmRelFalEntrega(QWidget* parent) : TFmRelatorio(parent) {
    setObjectName(QStringLiteral("FmRelFalEntrega"));
    setWindowTitle(QStringLiteral("Relatório de entregas"));
    resize(1000, 600);
    PublicaInstancia(FmRelFalEntrega);
}

void TFmRelFalEntrega::FormCreate() {
    using T = FiltroRelatorio::Tipo;
    rel.filtros = {{.tipo = T::Codigo,
                    .nome = "EdtCodCli",
                    .legenda = "Cliente",
                    .coluna = "FAL.CLIENTE",
                    .tabela = "ENTIDADE",
                    .chave = "CODCLI",
                    .descricao = "NOME",
                    .recusa = "Cliente não cadastrado."},
                   {.tipo = T::Periodo,
                    .nome = "EdtData",
                    .legenda = "Faturamento da FAL",
                    .coluna = "FAL_ITEN.DT_FATURA"}};
    rel.sql = InstrucaoFalEntrega();
    rel.camposPivo = [](TClientDataSet& r) {
        r.AddField(QStringLiteral("Cliente"), QMetaType::QString, 5)
            .AddField(QStringLiteral("Nome"), QMetaType::QString, 50)
            .AddField(QStringLiteral("Data_Ini"), QMetaType::QDate)
            .AddField(QStringLiteral("Data_Fim"), QMetaType::QDate);
        for (const char* campo : kQuilos)
            r.AddField(QLatin1String(campo), QMetaType::Double);
        for (const char* campo : kLotes)
            r.AddField(QLatin1String(campo), QMetaType::Int);
        for (const char* campo : kMedias)
            r.AddField(QLatin1String(campo), QMetaType::Double);
    };
    rel.pivo = [this](TDataSet& linhas, TClientDataSet& r) {
        const auto data = [this](const char* lado) {
            const auto* caixa =
                qobject_cast<QLineEdit*>(Controle(QStringLiteral("EdtData") + QLatin1String(lado)));
            const QDate d = LeData(caixa->text());
            return d.isValid() ? QVariant(d) : QVariant();
        };
        const QVariant de = data("Ini"), ate = data("Fim");
        const int peso = linhas.IndiceExistente(QStringLiteral("PESO")),
                  dias = linhas.IndiceExistente(QStringLiteral("DIAS")),
                  previsao = linhas.IndiceExistente(QStringLiteral("PREVISAO")),
                  cliente = linhas.IndiceExistente(QStringLiteral("CLIENTE")),
                  nome = linhas.IndiceExistente(QStringLiteral("NOME")),
                  entrega = linhas.IndiceExistente(QStringLiteral("ENTREGA")),
                  numero = linhas.IndiceExistente(QStringLiteral("NUMERO"));
        QList<ItemEntregue> itens;
        itens.reserve(linhas.RecordCount());
        for (int i = 0; i < linhas.RecordCount(); ++i)
            itens.append({linhas.ValueAt(i, cliente).toString(), linhas.ValueAt(i, nome).toString(),
                          linhas.ValueAt(i, numero).toString(), linhas.ValueAt(i, peso).toDouble(),
                          linhas.ValueAt(i, dias).toDouble(), linhas.ValueAt(i, previsao).toDate(),
                          linhas.ValueAt(i, entrega).toDate()});
        for (const EntregasCliente& e : PivoEntregas(itens)) {
            r.Append();
            int c = 0;
            for (const QVariant& valor :
                 {QVariant(e.cliente), QVariant(e.nome), de, ate, QVariant(e.antes), QVariant(e.noDia),
                  QVariant(e.depois), QVariant(e.lotesAntes), QVariant(e.lotesNoDia), QVariant(e.lotesDepois),
                  QVariant(e.mediaPonderada), QVariant(e.mediaDias), QVariant(e.mediaPonderadaAntes),
                  QVariant(e.mediaAntes), QVariant(e.mediaPonderadaDepois), QVariant(e.mediaDepois)})
                r.Fields(c++).SetValue(valor);
            r.Post();
        }
    };
    rel.colunas = {{"Cliente", "Cliente"},
                   ColunaGrade("Nome", "Nome").Largura(24),
                   ColunaGrade("Antes", "Antes (kg)").Casas(2),
                   ColunaGrade("NoDia", "No dia (kg)").Casas(2),
                   ColunaGrade("Depois", "Depois (kg)").Casas(2),
                   {"Lotes_Antes", "Lotes antes"},
                   {"Lotes_NoDia", "Lotes no dia"},
                   {"Lotes_Depois", "Lotes depois"},
                   ColunaGrade("Media_Ponderada", "Média pond. (dias)").Casas(2),
                   ColunaGrade("Media_Dias", "Média (dias)").Casas(2),
                   ColunaGrade("Media_Ponderada_Antes", "Média pond. antes").Casas(2),
                   ColunaGrade("Media_Antes", "Média antes").Casas(2),
                   ColunaGrade("Media_Ponderada_Depois", "Média pond. depois").Casas(2),
                   ColunaGrade("Media_Depois", "Média depois").Casas(2).Estica()};
    rel.relatorio = QStringLiteral("WTngFalEntrega");
    AbreRelatorio();
}

void LayoutFalEntrega(TRelatorio& relatorio) {
    QList<ColunaRelatorio> colunas{relatorio.Coluna(QStringLiteral("Cliente"), QStringLiteral("Cliente")),
                                   relatorio.Coluna(QStringLiteral("Nome"), QStringLiteral("Nome"))};
    colunas.last().largura = 24;
    for (const auto& [campo, titulo, casas, soma] : {std::tuple{"Antes", "Antes (kg)", 2, true},
                                                     {"NoDia", "No dia (kg)", 2, true},
                                                     {"Depois", "Depois (kg)", 2, true},
                                                     {"Lotes_Antes", "Lotes antes", -1, true},
                                                     {"Lotes_NoDia", "Lotes no dia", -1, true},
                                                     {"Lotes_Depois", "Lotes depois", -1, true},
                                                     {"Media_Ponderada", "Média pond.", 2, false},
                                                     {"Media_Dias", "Média", 2, false},
                                                     {"Media_Ponderada_Antes", "Pond. antes", 2, false},
                                                     {"Media_Antes", "Média antes", 2, false},
                                                     {"Media_Ponderada_Depois", "Pond. depois", 2, false},
                                                     {"Media_Depois", "Média depois", 2, false}})
        colunas << relatorio.Coluna(QLatin1String(campo), QString::fromUtf8(titulo), casas, soma);
    relatorio.DefineColunas(colunas);
    relatorio.AdicionaCabecalho(QStringLiteral("Médias"), QStringLiteral("dias do início da FAL à entrega"));
}
