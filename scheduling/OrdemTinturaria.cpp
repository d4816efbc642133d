#include "OrdemTinturaria.h"
#include "DataAccess.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "GravacaoAtomica.h"
#include "InstrucoesEmLote.h"
#include "ItensProgramacao.h"
#include "TZoQuery.h"
#include <QMap>
#include <QObject>
#include <QSet>

namespace {
const QString kADefinir = QStringLiteral("A DEFINIR");

// The first `n` characters as the database counts them: one outside the basic plane is one, never split.
QString corta(const QString& texto, int n) {
    qsizetype fim = 0;
    for (int c = 0; c < n && fim < texto.size(); ++c)
        fim += texto.at(fim).isHighSurrogate() && fim + 1 < texto.size() ? 2 : 1;
    return texto.left(fim);
}

QVariant nulo(const QString& texto) {
    return texto.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(texto);
}

// The customer's colour as its map is keyed (CADCORTI.COR), compared and written alike.
QString corDoMapa(const QString& corCliente) {
    return corta(corCliente, 10).trimmed();
}

QString chaveLinha(const QString& fal, const QString& produto, int ordem) {
    return fal + QLatin1Char('\n') + produto + QLatin1Char('\n') + QString::number(ordem);
}

std::unique_ptr<TZoQuery> consulta(TZoDatabase& conexao, const QString& sql) {
    auto q = std::make_unique<TZoQuery>(nullptr, &conexao);
    q->SQL << DBLocal_SQL(sql);
    return q;
}

// The first row of a statement, its columns in order; empty when it has none.
QVariantList primeiraLinha(TZoDatabase& conexao, const QString& sql,
                           const QList<QPair<QString, QVariant>>& valores = {}) {
    const std::unique_ptr<TZoQuery> q = consulta(conexao, sql);
    for (const auto& [nome, valor] : valores)
        q->BindValue(nome, valor);
    q->Open();
    QVariantList linha;
    for (int coluna = 0; !q->IsEmpty() && coluna < q->FieldCount(); ++coluna)
        linha << q->Fields(coluna).Value();
    return linha;
}
} // namespace

double CustoCorTintur(const std::optional<double>& receita, double estampa) {
    return receita ? *receita + estampa : 0;
}

QString GramaturaTintur(const QVariant& gramatura) {
    if (gramatura.isNull())
        return {};
    QString texto = corta(TextoExibicao(gramatura, -1, false), 3);
    if (texto.endsWith(QLatin1Char(',')))
        texto.chop(1);
    return texto;
}

QString ObsTintur(const QString& partida, const QString& observacao) {
    return corta((partida.trimmed() + QLatin1Char(' ') + observacao.trimmed()).trimmed(), 150);
}

LeituraTinturIten::LeituraTinturIten(TZoDatabase& conexao)
    // A product with several undyed counterparts takes the first.
    : m_malha(consulta(conexao,
                       QStringLiteral("SELECT MATERIAL.CODIGO AS CODIGO_RETORNO, COALESCE(CADMATZO.CODIGO, "
                                      "'A DEFINIR') AS CODIGO_SAIDA, MAX(MAT_ITEN.PRECO_MED) AS CUSTO_MALHA "
                                      "FROM {MATERIAL} MATERIAL LEFT JOIN {CADMATZO} CADMATZO ON "
                                      "(CADMATZO.CODIGO2 = MATERIAL.CODIGO) LEFT JOIN {MAT_ITEN} MAT_ITEN ON "
                                      "(MAT_ITEN.CODIGO = CADMATZO.CODIGO) WHERE MATERIAL.CODIGO = :CODIGO "
                                      "GROUP BY MATERIAL.CODIGO, CADMATZO.CODIGO ORDER BY 2"))),
      // Every variant's recipe counts: the dearest one prices the colour.
      m_receita(consulta(conexao, QStringLiteral("SELECT MAX(RECEITA.CUSTO), COUNT(*) FROM {RECEITA} RECEITA "
                                                 "WHERE RECEITA.COR = :COR"))),
      m_estampa(consulta(
          conexao,
          QStringLiteral("SELECT SUM((COALESCE((COMP.PERC/1000),0) * COALESCE(MATERIAL.REPOSICAO,0) * "
                         "COALESCE(EST_Q.CONSUMO,0))) FROM {EST_QUADRO} EST_Q LEFT JOIN "
                         "{COMP_MATERIAL} COMP ON (COMP.MATERIAL = EST_Q.PRODUTO) LEFT JOIN "
                         "{MATERIAL} MATERIAL ON (COMP.CODIGO = MATERIAL.CODIGO) WHERE "
                         "EST_Q.ESTAMPA = :ESTAMPA AND EST_Q.VARIANTE = :VARIANTE"))) {}

LeituraTinturIten::~LeituraTinturIten() = default;

DadosItemTintur LeituraTinturIten::DadosTinturIten(const QString& produto, const QString& cor,
                                                   const QString& estampa, const QString& varEstampa) {
    if (!m_malhas.contains(produto)) {
        m_malha->BindValue(QStringLiteral("CODIGO"), produto);
        m_malha->Open();
        m_malhas.insert(produto, m_malha->IsEmpty() ? qMakePair(kADefinir, 0.0)
                                                    : qMakePair(m_malha->Fields(1).AsString().trimmed(),
                                                                m_malha->Fields(2).AsFloat()));
    }
    if (!m_receitas.contains(cor)) {
        m_receita->BindValue(QStringLiteral("COR"), cor);
        m_receita->Open();
        m_receitas.insert(cor, m_receita->Fields(1).AsInteger() > 0
                                   ? std::optional<double>(m_receita->Fields(0).AsFloat())
                                   : std::nullopt);
    }
    const std::optional<double> receita = m_receitas.value(cor);
    const QPair<QString, QString> desenho{estampa, varEstampa};
    // Without a recipe the colour costs nothing, print or not: the print is not read.
    if (receita && !estampa.isEmpty() && !m_estampas.contains(desenho)) {
        m_estampa->BindValue(QStringLiteral("ESTAMPA"), estampa);
        m_estampa->BindValue(QStringLiteral("VARIANTE"), varEstampa);
        m_estampa->Open();
        m_estampas.insert(desenho, m_estampa->Fields(0).AsFloat());
    }
    const auto& [codigo, custoMalha] = m_malhas.value(produto);
    return {codigo, custoMalha, CustoCorTintur(receita, m_estampas.value(desenho)), receita.has_value()};
}

QString GerarTinturaria(const QString& programa, TZoDatabase& conexao) {
    GravacaoAtomica unidade(conexao);
    QObject dono;
    ItensProgramacao itens(&dono);
    CabecalhoProgramacao cabecalho;
    if (!itens.BuscaDados(programa, cabecalho, &conexao))
        return QStringLiteral("Programação %1 não encontrada.").arg(programa);
    const QString cliente = cabecalho.cliente;
    const QVariantList fluxo = primeiraLinha(
        conexao,
        QStringLiteral("SELECT FIRST 1 CODIGO, CUSTO FROM {FLUXOTIN} WHERE CODCLI = :CODCLI ORDER BY CODIGO"),
        {{QStringLiteral("CODCLI"), cliente}});
    if (fluxo.isEmpty())
        return QStringLiteral("Fluxo não cadastrado para tinturaria. Impossível continuar.");

    const auto texto = [&itens](int linha, const char* campo) {
        return itens.Texto(linha, QLatin1String(campo));
    };
    QList<int> enviadas;
    for (int linha = 0; linha < itens.Linhas(); ++linha)
        if (!texto(linha, "Codigo_Cli").isEmpty() && !texto(linha, "Cor_Cli").isEmpty() &&
            !texto(linha, "Fal").isEmpty())
            enviadas << linha;
    if (enviadas.isEmpty())
        return QStringLiteral("Código, Cor ou FAL inválidos. \r\nImpossível continuar.");

    // Locked until the commit: a second workstation generating the same order waits, then fails as a
    // conflict instead of adding the same lines again.
    const QVariantList ordem = primeiraLinha(
        conexao, QStringLiteral("SELECT TINTURARIA, TIPO FROM {TINTUR} WHERE NUMERO = :NUMERO WITH LOCK"),
        {{QStringLiteral("NUMERO"), programa}});
    if (!ordem.isEmpty() &&
        (ordem[0].toString().trimmed() != cliente || ordem[1].toString().trimmed() != QLatin1String("T")))
        return QStringLiteral("A ordem de tinturaria %1 pertence a outra tinturaria (%2, tipo %3). "
                              "Impossível continuar.")
            .arg(programa, ordem[0].toString().trimmed(), ordem[1].toString().trimmed());
    const QVariant deposito =
        primeiraLinha(conexao, QStringLiteral("SELECT FIRST 1 CODIGO FROM {DEPOSITO} WHERE PRIORIDADE = '2' "
                                              "ORDER BY CODIGO"))
            .value(0);

    QSet<QString> presentes;
    {
        const std::unique_ptr<TZoQuery> q = consulta(
            conexao,
            QStringLiteral("SELECT FICHA, CODIGO2, ORDEM FROM {TINTUR_ITEN} WHERE NUMERO = :NUMERO"));
        q->BindValue(QStringLiteral("NUMERO"), programa);
        q->Open();
        for (q->First(); !q->Eof(); q->Next())
            presentes.insert(chaveLinha(q->Fields(0).AsString().trimmed(), q->Fields(1).AsString().trimmed(),
                                        q->Fields(2).AsInteger()));
    }
    QList<int> novas;
    QStringList cores;
    for (int linha : std::as_const(enviadas))
        if (!presentes.contains(chaveLinha(texto(linha, "Fal"), texto(linha, "Codigo_Cli"),
                                           itens.Valor(linha, QStringLiteral("Ordem")).toInt()))) {
            novas << linha;
            cores << corDoMapa(texto(linha, "Cor_Cli"));
        }
    QSet<QString> mapeadas;
    if (!novas.isEmpty()) {
        const std::unique_ptr<TZoQuery> q =
            consulta(conexao, QStringLiteral("SELECT COR FROM {CADCORTI} WHERE CODCLI = :CODCLI AND ") +
                                  NaListaSql(QStringLiteral("COR"), cores));
        q->BindValue(QStringLiteral("CODCLI"), cliente);
        q->Open();
        for (q->First(); !q->Eof(); q->Next())
            mapeadas.insert(q->Fields(0).AsString().trimmed());
    }

    if (ordem.isEmpty()) {
        const auto data = [](const QDate& dia) {
            return dia.isValid() ? QVariant(dia) : QVariant(QMetaType::fromType<QDate>());
        };
        const std::unique_ptr<TZoQuery> q = consulta(
            conexao, QStringLiteral("INSERT INTO {TINTUR} (DATR, DATS, NUMERO, PERIODO, TINTURARIA, "
                                    "TIPO) VALUES (:DATR, :DATS, :NUMERO, '0000', :TINTURARIA, 'T')"));
        q->BindValue(QStringLiteral("DATR"), data(cabecalho.entrada));
        q->BindValue(QStringLiteral("DATS"), data(cabecalho.entrega));
        q->BindValue(QStringLiteral("NUMERO"), programa);
        q->BindValue(QStringLiteral("TINTURARIA"), cliente);
        q->ExecSQL();
    }

    InstrucoesEmLote lote(conexao);
    LeituraTinturIten leitura(conexao);
    const QString insereLinha =
        QStringLiteral(
            "INSERT INTO %1 (CODIGO, COR, FICHA, FLUXO, GRAMATURA, LARGURA, NUMERO, PESO_BRUTO, "
            "PESO_LIQUIDO, PESO_RETORNO, ROLOS, SITUACAO, CORT, CUSTO, DEPOSITO, PECAS, PRECO, LOTE, "
            "CODIGO2, ORDEM, PESO_BAIXADO, OBS, CUSTO_FLUXO) VALUES (%2)")
            .arg(DBLocal(QStringLiteral("TINTUR_ITEN")));
    // The colours new to the map (ours and the cost) and the costs of those it holds, as the lines leave
    // them: a later line of a colour prices it again, unless its colour has no recipe.
    QMap<QString, QPair<QString, double>> inseridas;
    QMap<QString, double> atualizadas;
    for (int linha : std::as_const(novas)) {
        const auto valor = [&itens, linha](const char* campo) {
            return itens.Valor(linha, QLatin1String(campo));
        };
        const DadosItemTintur dados =
            leitura.DadosTinturIten(texto(linha, "Codigo_Cli"), texto(linha, "Cor"), texto(linha, "Estampa"),
                                    texto(linha, "Var_Est"));
        const double custoCor = Arredondar(dados.custoCor, 4);
        const QVariantList valores{dados.codigo,
                                   corta(texto(linha, "Cor_Cli"), 6),
                                   texto(linha, "Fal"),
                                   fluxo[0],
                                   GramaturaTintur(valor("Gramatura")),
                                   valor("Largura"),
                                   programa,
                                   valor("Baixado"),
                                   valor("Peso"),
                                   0,
                                   valor("Rolo"),
                                   QStringLiteral("A"),
                                   nulo(texto(linha, "Cor")),
                                   custoCor,
                                   deposito,
                                   valor("Rolo"),
                                   Arredondar(dados.custoMalha, 4),
                                   nulo(corta(texto(linha, "Lote"), 15)),
                                   texto(linha, "Codigo_Cli"),
                                   valor("Ordem"),
                                   0,
                                   nulo(ObsTintur(texto(linha, "Partida"), texto(linha, "Observacao"))),
                                   fluxo[1]};
        lote.Adiciona(insereLinha.arg(ValoresSql(valores)));

        const QString cor = corDoMapa(texto(linha, "Cor_Cli"));
        if (!mapeadas.contains(cor) && !inseridas.contains(cor))
            inseridas.insert(cor, {texto(linha, "Cor"), custoCor});
        else if (dados.temReceita && inseridas.contains(cor))
            inseridas[cor].second = custoCor;
        else if (dados.temReceita)
            atualizadas[cor] = custoCor;
    }
    const QString mapa = DBLocal(QStringLiteral("CADCORTI"));
    for (auto it = inseridas.cbegin(); it != inseridas.cend(); ++it)
        lote.Adiciona(QStringLiteral("INSERT INTO %1 (CODCLI, COR, COR1, CUSTO, TIPO, ATIVO) VALUES (%2, %3, "
                                     "%4, %5, 'T', 'S')")
                          .arg(mapa, Aspas(cliente), Aspas(it.key()), ValorSql(nulo(it.value().first)),
                               PermanecePonto(it.value().second)));
    for (auto it = atualizadas.cbegin(); it != atualizadas.cend(); ++it)
        lote.Adiciona(QStringLiteral("UPDATE %1 SET CUSTO = %2 WHERE CODCLI = %3 AND COR = %4")
                          .arg(mapa, PermanecePonto(it.value()), Aspas(cliente), Aspas(it.key())));
    lote.Executa();
    unidade.Confirma();
    const QString incluidas = novas.isEmpty() ? QStringLiteral("nenhum item novo")
                                              : QStringLiteral("%1 item(ns) incluído(s)").arg(novas.size());
    return QStringLiteral("Ordem de Tinturaria Gerada: %1 (%2).").arg(programa, incluidas);
}
