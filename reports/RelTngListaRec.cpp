#include "RelTngListaRec.h"
#include "DataAccess.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "ModuleUnits.h"
#include "RegrasCalculo.h"
#include "RegrasEmissao.h"
#include "RegrasRelFaturamento.h"
#include "Relatorio.h"
#include "TClientDataSet.h"
#include <QLineEdit>
#include <QSet>
#include <tuple>

TFmRelTngListaRec* FmRelTngListaRec = nullptr;

KELM_SCREEN_UNIT(RelTngListaRec, TFmRelTngListaRec, {{QStringLiteral("WTngListaRec"), LayoutListaReceitas}});

namespace {
// One part of the list: the items of `origem` (X, joined to the recipe by `ligacao`) with their material (one
// that does not exist is not listed), dyeing type and the material's first active counter-type by code.
QString Parte(const QString& ordem, const QString& origem, const QString& ligacao, int parte) {
    return QStringLiteral(
               "SELECT RECEITA.CODIGO AS RECEITA, RECEITA.VARIANTE, CADCORTIN.DESCRICAO AS DESC_COR, %1 AS "
               "ORDEM, %4 AS PARTE, X.CODIGO, MATERIAL.DESCRICAO, X.QTDE, X.UNIDADE, X.FIBRA, X.REGRA, "
               "MATERIAL.CONCENTRACAO, MATERIAL.REPOSICAO, CT.CODIGO AS CONTRATIPO, CT.CONCENT AS "
               "CONCENT_CT, "
               "MAT_CT.REPOSICAO AS CUSTO_CT "
               "FROM {RECEITA} RECEITA JOIN %2 X ON (%3) "
               "JOIN {MATERIAL} MATERIAL ON (MATERIAL.CODIGO = X.CODIGO) "
               "LEFT JOIN {CADCORTIN} CADCORTIN ON (CADCORTIN.CODIGO = RECEITA.COR) "
               "LEFT JOIN {CONTRATIPO} CT ON (CT.MATERIAL = X.CODIGO AND CT.CODIGO = (SELECT MIN(C.CODIGO) "
               "FROM {CONTRATIPO} C WHERE C.MATERIAL = X.CODIGO AND C.ATIVO = 'S')) "
               "LEFT JOIN {MATERIAL} MAT_CT ON (MAT_CT.CODIGO = CT.CODIGO) "
               "WHERE 1 = 1 /*FILTROS*/")
        .arg(ordem, origem, ligacao)
        .arg(parte);
}
} // namespace

QString InstrucaoListaReceitas() {
    return Parte(QStringLiteral("X.ORDEN"), QStringLiteral("{MAT_TIN}"),
                 QStringLiteral("X.RECEITA = RECEITA.CODIGO AND X.VARIANTE = RECEITA.VARIANTE"), 0) +
           QStringLiteral(" UNION ALL ") +
           Parte(QStringLiteral("X.ORDEM"),
                 QStringLiteral(
                     "(SELECT CODIGO AS PREPARACAO, MATERIAL AS CODIGO, ORDEM, QTDE, UNIDADE, FIBRA, "
                     "REGRA FROM {PREPARACAO})"),
                 QStringLiteral("X.PREPARACAO = RECEITA.PREPARACAO"), 1) +
           QStringLiteral(" ORDER BY 1, 2, 5, 4");
}

TFmRelTngListaRec::TFmRelTngListaRec(QWidget* parent) : TFmRelatorio(parent) {
    setObjectName(QStringLiteral("FmRelTngListaRec"));
    setWindowTitle(QStringLiteral("Relatorio de Receitas"));
    resize(1000, 700);
    PublicaInstancia(FmRelTngListaRec);
}

void TFmRelTngListaRec::FormCreate() {
    using T = FiltroRelatorio::Tipo;
    const auto valor = [](const char* nome, const char* legenda) {
        return FiltroRelatorio{.tipo = T::Valor, .nome = nome, .legenda = QString::fromUtf8(legenda)};
    };
    const auto texto = [this](const char* nome) {
        return qobject_cast<QLineEdit*>(Controle(QLatin1String(nome)));
    };
    rel.filtros = {
        {.tipo = T::Intervalo, .nome = "EdtRec", .legenda = "Receita", .coluna = "RECEITA.CODIGO"},
        {.tipo = T::Intervalo, .nome = "EdtVar", .legenda = "Variante", .coluna = "RECEITA.VARIANTE"},
        valor("EdtPeso", "Peso (kg)"),
        valor("EdtFibra1", "Fibra1 (%)"),
        valor("EdtFibra2", "Fibra2 (%)"),
        {.tipo = T::Codigo,
         .nome = "EdtCodMaq",
         .legenda = "Máquina",
         .tabela = "MAQ_TIN",
         .recusa = "Máquina não cadastrada.",
         .colunasLinha = {"RELAC_BANHO", "VOLUME_MIN", "VOLUME_MAX", "ARREDONDA"},
         .mostra =
             [this, texto](const QVariantMap& linha) {
                 m_arredonda = linha.value(QStringLiteral("ARREDONDA")).toInt();
                 texto("EdtCodBan")->setText(linha.value(QStringLiteral("RELAC_BANHO")).toString().trimmed());
                 texto("EdtMin")->setText(
                     TextoExibicao(linha.value(QStringLiteral("VOLUME_MIN")).toDouble()));
                 texto("EdtMax")->setText(
                     TextoExibicao(linha.value(QStringLiteral("VOLUME_MAX")).toDouble()));
                 Volume();
             }},
        {.tipo = T::Codigo,
         .nome = "EdtCodBan",
         .legenda = "Banho",
         .tabela = "BANHO",
         .recusa = "Banho não cadastrado.",
         .colunasLinha = {"PROPORCAO"},
         .mostra =
             [this, texto](const QVariantMap& linha) {
                 texto("EdtProporc")
                     ->setText(TextoExibicao(linha.value(QStringLiteral("PROPORCAO")).toDouble(), 3));
                 Volume();
             }},
        valor("EdtProporc", "Proporção (L/kg)"),
        valor("EdtVolume", "Volume (L)"),
        valor("EdtMin", "Min. (L)"),
        valor("EdtMax", "Max. (L)")};
    rel.sql = InstrucaoListaReceitas();
    rel.camposPivo = [](TClientDataSet& r) {
        for (const auto& [campo, tamanho] : {std::pair{"Receita", 6},
                                             {"Variante", 4},
                                             {"Desc_Cor", 50},
                                             {"Grupo", 80},
                                             {"Material", 15},
                                             {"Descricao", 50},
                                             {"Unidade", 4},
                                             {"Banho", 30},
                                             {"Maquina", 40},
                                             {"Fibra", 1},
                                             {"ContraTipo", 15}})
            r.AddField(QLatin1String(campo), QMetaType::QString, tamanho);
        r.AddField(QStringLiteral("Ordem"), QMetaType::Int);
        for (const char* numero :
             {"Qtde", "Consumo", "Peso", "Volume", "Concent", "Preco", "QtdeContraTipo", "CustoContraTipo"})
            r.AddField(QLatin1String(numero), QMetaType::Double);
    };
    rel.pivo = [this](TDataSet& linhas, TClientDataSet& r) { Pivo(linhas, r); };
    rel.colunas = {{"Receita", "Receita"},
                   {"Variante", "Var."},
                   {"Ordem", "Ordem"},
                   {"Material", "Material"},
                   ColunaGrade("Descricao", "Descrição").Largura(24),
                   ColunaGrade("Qtde", "Qtde").Casas(4),
                   {"Unidade", "Un."},
                   {"Fibra", "Fibra"},
                   ColunaGrade("Consumo", "Consumo (g)").Casas(4),
                   ColunaGrade("Concent", "Concent. (%)").Casas(2),
                   ColunaGrade("Preco", "Preço (R$/kg)").Casas(4),
                   {"ContraTipo", "Contratipo"},
                   ColunaGrade("QtdeContraTipo", "Qtde contratipo").Casas(4),
                   ColunaGrade("CustoContraTipo", "Custo contratipo (R$/kg)").Casas(4).Estica()};
    rel.relatorio = QStringLiteral("WTngListaRec");
    rel.texto = true;
    AbreRelatorio();
}

double TFmRelTngListaRec::Volume() {
    const double volume =
        VolumeBanho(Valor(QStringLiteral("EdtPeso")), Valor(QStringLiteral("EdtProporc")), m_arredonda,
                    Valor(QStringLiteral("EdtMin")), Valor(QStringLiteral("EdtMax")));
    qobject_cast<QLineEdit*>(Controle(QStringLiteral("EdtVolume")))->setText(TextoExibicao(volume));
    return volume;
}

// Every row through the rules (each read once), the batch's grams, the counter-type's share; the batch's
// inputs repeated on every row.
void TFmRelTngListaRec::Pivo(TDataSet& linhas, TClientDataSet& r) {
    const double peso = Valor(QStringLiteral("EdtPeso")), fibra1 = Valor(QStringLiteral("EdtFibra1")),
                 fibra2 = Valor(QStringLiteral("EdtFibra2")), volume = Volume();
    const auto texto = [this](const QString& nome) {
        return qobject_cast<QLineEdit*>(Controle(nome))->text().trimmed();
    };
    const QString maquina = CodigosDaLista(texto(QStringLiteral("EdtCodMaq"))).value(0);
    const QString banho = QStringLiteral("%1 - %2 - %3")
                              .arg(texto(QStringLiteral("EdtCodBan")), texto(QStringLiteral("EdtCodBanDesc")),
                                   texto(QStringLiteral("EdtProporc")));
    const QString descMaquina = maquina + QStringLiteral(" - ") + texto(QStringLiteral("EdtCodMaqDesc"));
    const auto campo = [&linhas](const char* nome) { return linhas.IndiceExistente(QLatin1String(nome)); };
    const int receita = campo("RECEITA"), variante = campo("VARIANTE"), descCor = campo("DESC_COR"),
              ordem = campo("ORDEM"), codigo = campo("CODIGO"), descricao = campo("DESCRICAO"),
              qtde = campo("QTDE"), unidade = campo("UNIDADE"), fibra = campo("FIBRA"),
              regra = campo("REGRA"), concent = campo("CONCENTRACAO"), preco = campo("REPOSICAO"),
              contratipo = campo("CONTRATIPO"), concentCt = campo("CONCENT_CT"), custoCt = campo("CUSTO_CT");
    const auto valor = [&linhas](int i, int f) { return linhas.ValueAt(i, f).toString().trimmed(); };
    RegrasCalculo regras;
    QSet<QString> usadas;
    for (int i = 0; i < linhas.RecordCount(); ++i)
        if (const QString codigoRegra = valor(i, regra); !codigoRegra.isEmpty())
            usadas << codigoRegra;
    regras.Carrega(usadas);
    for (int i = 0; i < linhas.RecordCount(); ++i) {
        double quantidade = linhas.ValueAt(i, qtde).toDouble();
        if (const QString codigoRegra = valor(i, regra); !codigoRegra.isEmpty())
            if (const auto calculada =
                    regras.CalculaQtdeRegra(valor(i, receita), valor(i, variante), CodigoRegra(codigoRegra),
                                            fibra1, fibra2, peso, maquina, QString(), QString()))
                quantidade = *calculada;
        const double concentracao = linhas.ValueAt(i, concent).toDouble();
        r.Append();
        r.FieldByName(QStringLiteral("Receita")).SetValue(valor(i, receita));
        r.FieldByName(QStringLiteral("Variante")).SetValue(valor(i, variante));
        r.FieldByName(QStringLiteral("Desc_Cor")).SetValue(valor(i, descCor));
        r.FieldByName(QStringLiteral("Grupo"))
            .SetValue(
                QStringLiteral("%1 / %2 - %3").arg(valor(i, receita), valor(i, variante), valor(i, descCor)));
        r.FieldByName(QStringLiteral("Ordem")).SetValue(linhas.ValueAt(i, ordem));
        r.FieldByName(QStringLiteral("Material")).SetValue(valor(i, codigo));
        r.FieldByName(QStringLiteral("Descricao")).SetValue(valor(i, descricao));
        r.FieldByName(QStringLiteral("Qtde")).SetValue(quantidade);
        r.FieldByName(QStringLiteral("Unidade")).SetValue(valor(i, unidade));
        r.FieldByName(QStringLiteral("Fibra")).SetValue(valor(i, fibra));
        r.FieldByName(QStringLiteral("Consumo"))
            .SetValue(ConsumoItem(quantidade, valor(i, unidade), valor(i, fibra), concentracao, peso, volume,
                                  fibra1, fibra2));
        r.FieldByName(QStringLiteral("Peso")).SetValue(peso);
        r.FieldByName(QStringLiteral("Volume")).SetValue(volume);
        r.FieldByName(QStringLiteral("Banho")).SetValue(banho.left(30));
        r.FieldByName(QStringLiteral("Maquina")).SetValue(descMaquina.left(40));
        r.FieldByName(QStringLiteral("Concent")).SetValue(concentracao);
        r.FieldByName(QStringLiteral("Preco")).SetValue(linhas.ValueAt(i, preco));
        if (const QString ct = valor(i, contratipo); !ct.isEmpty()) {
            r.FieldByName(QStringLiteral("ContraTipo")).SetValue(ct);
            r.FieldByName(QStringLiteral("QtdeContraTipo"))
                .SetValue(QtdeContratipo(linhas.ValueAt(i, concentCt).toDouble(), quantidade));
            r.FieldByName(QStringLiteral("CustoContraTipo")).SetValue(linhas.ValueAt(i, custoCt));
        }
        r.Post();
    }
}

void LayoutListaReceitas(TRelatorio& relatorio) {
    QList<ColunaRelatorio> colunas;
    for (const auto& [campo, titulo, casas] : {std::tuple{"Ordem", "Ordem", -1},
                                               {"Material", "Material", -1},
                                               {"Descricao", "Descrição", -1},
                                               {"Qtde", "Qtde", 4},
                                               {"Unidade", "Un.", -1},
                                               {"Fibra", "Fb", -1},
                                               {"Consumo", "Consumo (g)", 4},
                                               {"Preco", "Preço", 4},
                                               {"ContraTipo", "Contratipo", -1},
                                               {"QtdeContraTipo", "Qtde CT", 4}})
        colunas << relatorio.Coluna(QLatin1String(campo), QString::fromUtf8(titulo), casas);
    colunas[2].largura = 26;
    relatorio.DefineColunas(colunas);
    relatorio.AgrupaPor(QStringLiteral("Grupo"), QStringLiteral("Receita"));
    // Grams of different products add up to nothing.
    relatorio.DefineSomas(false);
}
