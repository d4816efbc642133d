#include "LeiturasEtiqueta.h"
#include "DataAccess.h"
#include "Estoque.h"
#include "Funcoes.h"
#include "GravacaoAtomica.h"
#include "HostError.h"
#include "HostUi.h"
#include "InstrucoesEmLote.h"
#include "RegrasEtiqueta.h"
#include "TClientDataSet.h"
#include "TZoDatabase.h"
#include "TZoQuery.h"
#include <QFile>
#include <QHash>
#include <QSet>

const QString kPecaRegistrada = QStringLiteral("Peça já registrada. Exclua a peça para registrar novamente.");

namespace {
const QString kTituloLog = QStringLiteral("EMISSAO DE ETIQUETA FAL");

QString comProduto(const QString& coluna, const QString& produto) {
    return produto.isEmpty() ? QString() : QStringLiteral(" AND %1 = :PRODUTO").arg(coluna);
}

void liga(TZoQuery& q, const QString& fal, const QString& produto) {
    q.BindValue(QStringLiteral("FAL"), fal);
    if (!produto.isEmpty())
        q.BindValue(QStringLiteral("PRODUTO"), produto);
}

int conta(const QString& sql, const QString& fal, const QString& produto) {
    TZoQuery q;
    q.SQL << DBLocal_SQL(sql);
    liga(q, fal, produto);
    q.Open();
    return q.Fields(0).AsInteger();
}

// The items' read: one row per item (code and lot), in the sheet's item order.
QString SqlItens() {
    return QStringLiteral(
        "SELECT FAL.NUMERO, FAL.CLIENTE, FAL.COR, FAL.VARIANTE, FAL.PARTIDA, FAL_ITEN.OBSERVACAO, "
        "FAL_ITEN.LOTE, CLIENTE.NOME, CADCORTIN.DESCRICAO AS DESCOR, CLIENTE.FANTASIA, CLIENTE.CNPJ, "
        "PRODUTO.DESCRICAO, PRODUTO.DESCRICAO2 AS PRODCOMP, FAL_ITEN.LARGURA, FAL_ITEN.GRAMATURA, "
        "FAL_ITEN.CODIGO, SUM(FAL_ITEN.ROLO) AS ROLO, SUM(FAL_ITEN.PESO) AS PESO, FAL.ESTAMPA, "
        "FAL_ITEN.NOTA, "
        "FAL.VAR_EST, ESTCOR.DESCRICAO AS DESC_EST, CADCORTIN.COMPLEMENTO, CORCLI.COR1 AS CORCLI, "
        "CADCORTIN.COR_PANTONE, FAL_ITEN.SITUACAO, "
        "(SELECT MAX(CODIGOCLI.CODIGO_FOR) FROM {CONV_MATERIAL} CODIGOCLI WHERE FAL_ITEN.CODIGO = "
        "CODIGOCLI.CODIGO_MAT AND FAL.CLIENTE = CODIGOCLI.CODFOR) AS CODIGOCLI, FAL_ITEN.FATURADO, "
        "FAL_ITEN.FLUXO, "
        "(SELECT MAX(P.FASE) FROM {PROCESSO_TIN} P WHERE P.FAL = FAL.NUMERO AND P.CODIGO = FAL_ITEN.CODIGO "
        "AND P.CONCLUIDO = 'N' AND P.ORDEM = (SELECT MIN(Q.ORDEM) FROM {PROCESSO_TIN} Q WHERE Q.FAL = P.FAL "
        "AND Q.CODIGO = P.CODIGO AND Q.CONCLUIDO = 'N')) AS FASE_PEND, "
        "(SELECT MAX(T.CODIGO_CLI) FROM {TNG_PROG} T WHERE T.FAL = FAL.NUMERO AND T.CODIGO = "
        "FAL_ITEN.CODIGO) AS CODIGOCLI_PROG, CLIENTE.GRUPO AS COD_GRUPO, GRUPO_CLI.DESCRICAO AS DESC_GRUPO, "
        "CORCLI.OBS, CLIENTE.COD_ATVD, MIN(FAL_ITEN.ORD_IT) AS ORD_IT "
        "FROM {FAL} FAL LEFT JOIN {ENTIDADE} CLIENTE ON (FAL.CLIENTE = CLIENTE.CODCLI) "
        "LEFT JOIN {CADCORTIN} CADCORTIN ON (FAL.COR = CADCORTIN.CODIGO) "
        "LEFT JOIN {ESTCOR} ESTCOR ON (FAL.ESTAMPA = ESTCOR.CODIGO) "
        "JOIN {FAL_ITEN} FAL_ITEN ON (FAL.NUMERO = FAL_ITEN.FAL) "
        "LEFT JOIN {PRODUTO} PRODUTO ON (FAL_ITEN.CODIGO = PRODUTO.CODIGO) "
        "LEFT JOIN {CADCORTI} CORCLI ON (FAL.COR = CORCLI.COR AND FAL.CLIENTE = CORCLI.CODCLI) "
        "LEFT JOIN {GRUPO_CLI} GRUPO_CLI ON (GRUPO_CLI.CODIGO = CLIENTE.GRUPO) "
        "WHERE FAL.NUMERO = :FAL "
        "GROUP BY FAL.NUMERO, FAL.CLIENTE, FAL.COR, FAL.VARIANTE, FAL.PARTIDA, FAL_ITEN.OBSERVACAO, "
        "FAL_ITEN.LOTE, CLIENTE.NOME, CADCORTIN.DESCRICAO, CLIENTE.FANTASIA, CLIENTE.CNPJ, "
        "PRODUTO.DESCRICAO, "
        "PRODUTO.DESCRICAO2, FAL_ITEN.LARGURA, FAL_ITEN.GRAMATURA, FAL_ITEN.CODIGO, FAL.ESTAMPA, "
        "FAL_ITEN.NOTA, FAL.VAR_EST, ESTCOR.DESCRICAO, CADCORTIN.COMPLEMENTO, CORCLI.COR1, "
        "CADCORTIN.COR_PANTONE, FAL_ITEN.SITUACAO, FAL_ITEN.FATURADO, FAL_ITEN.FLUXO, CLIENTE.GRUPO, "
        "GRUPO_CLI.DESCRICAO, CORCLI.OBS, CLIENTE.COD_ATVD "
        "ORDER BY 36, FAL_ITEN.CODIGO, FAL_ITEN.LOTE");
}

// The product's instruction file, read once per code.
QByteArray Instrucao(QHash<QString, QByteArray>& lidas, const QString& codigo) {
    const auto achada = lidas.constFind(codigo);
    if (achada != lidas.constEnd())
        return *achada;
    QByteArray conteudo;
    if (const QString arquivo = BuscaArquivo(codigo, 4); !arquivo.isEmpty()) {
        QFile f(arquivo);
        if (f.open(QIODevice::ReadOnly))
            conteudo = f.readAll();
    }
    lidas.insert(codigo, conteudo);
    return conteudo;
}
} // namespace

bool FalReprocessada(const QString& fal) {
    return Existe(QStringLiteral("FAL"), QStringLiteral("NUM_REPROC"), QVariantList{fal});
}

int ProcessosAbertos(const QString& fal, const QString& produto) {
    return conta(QStringLiteral("SELECT COUNT(*) FROM {PROCESSO_TIN} WHERE CONCLUIDO = 'N' AND FAL = :FAL") +
                     comProduto(QStringLiteral("CODIGO"), produto),
                 fal, produto);
}

bool ItensJaImpressos(const QString& fal, const QString& produto) {
    return conta(QStringLiteral("SELECT COUNT(*) FROM {FAL_ITEN} WHERE FAL = :FAL AND SITUACAO = 'I'") +
                     comProduto(QStringLiteral("CODIGO"), produto),
                 fal, produto) > 0;
}

ResumoEtiquetas ResumoItens(const QString& fal, const QString& produto) {
    TZoQuery q;
    q.SQL << DBLocal_SQL(QStringLiteral("SELECT SUM(ROLO), SUM(PESO) FROM {FAL_ITEN} WHERE FAL = :FAL") +
                         comProduto(QStringLiteral("CODIGO"), produto));
    liga(q, fal, produto);
    q.Open();
    return {q.Fields(0).AsInteger(), q.Fields(1).AsFloat()};
}

QList<PassoEtiqueta> PassosDaFal(const QString& fal, const QString& produto) {
    TZoQuery q;
    q.SQL << DBLocal_SQL(
        QStringLiteral("SELECT P.FASE, P.DES_FASE, P.FUNCIONARIO, PESSOAL.NOME, P.MAQUINA, MAQ.DESCRICAO, "
                       "P.TURNO, P.DATA_INI FROM {PROCESSO_TIN} P LEFT JOIN {PESSOAL} PESSOAL ON "
                       "PESSOAL.CODIGO = P.FUNCIONARIO LEFT JOIN {MAQ_TIN} MAQ ON MAQ.CODIGO = P.MAQUINA "
                       "WHERE P.FAL = :FAL") +
        comProduto(QStringLiteral("P.CODIGO"), produto) + QStringLiteral(" ORDER BY P.ORD_IT, P.ORDEM"));
    liga(q, fal, produto);
    q.Open();
    QList<PassoEtiqueta> passos;
    for (q.First(); !q.Eof(); q.Next())
        passos.append({q.Fields(0).AsString().trimmed(), q.Fields(1).AsString().trimmed(),
                       q.Fields(2).AsString().trimmed(), q.Fields(3).AsString().trimmed(),
                       q.Fields(4).AsString().trimmed(), q.Fields(5).AsString().trimmed(),
                       q.Fields(6).AsString().trimmed(), q.Fields(7).Value().toDate()});
    return passos;
}

void CriaTabelaEtiquetas(TClientDataSet& t) {
    const auto texto = QMetaType::QString;
    const auto real = QMetaType::Double;
    t.AddField(QStringLiteral("Imp"), texto, 1)
        .AddField(QStringLiteral("FAL"), texto, 7)
        .AddField(QStringLiteral("Codigo"), texto, 15)
        .AddField(QStringLiteral("Descricao"), texto, 50)
        .AddField(QStringLiteral("ProdComp"), texto, 100)
        .AddField(QStringLiteral("Lote"), texto, 25)
        .AddField(QStringLiteral("Cor"), texto, 10)
        .AddField(QStringLiteral("DescCor"), texto, 30)
        .AddField(QStringLiteral("Peso"), real)
        .AddField(QStringLiteral("Peso_Liq"), real)
        .AddField(QStringLiteral("Rolo"), QMetaType::Int)
        .AddField(QStringLiteral("Largura"), real)
        .AddField(QStringLiteral("Gramatura"), real)
        .AddField(QStringLiteral("Complemento"), texto, 100)
        .AddField(QStringLiteral("Obs"), texto, 100)
        .AddField(QStringLiteral("Variante"), texto, 4)
        .AddField(QStringLiteral("CodVar"), texto, 30)
        .AddField(QStringLiteral("Estampa"), texto, 10)
        .AddField(QStringLiteral("DescEst"), texto, 30)
        .AddField(QStringLiteral("Var_Est"), texto, 4)
        .AddField(QStringLiteral("Seq"), QMetaType::Int)
        .AddField(QStringLiteral("Cliente"), texto, 5)
        .AddField(QStringLiteral("Nome"), texto, 50)
        .AddField(QStringLiteral("Fantasia"), texto, 50)
        .AddField(QStringLiteral("Cnpj"), texto, 18)
        .AddField(QStringLiteral("Partida"), texto, 6)
        .AddField(QStringLiteral("Data"), QMetaType::QDate)
        .AddField(QStringLiteral("Barra"), texto, 60)
        .AddField(QStringLiteral("NrRolo"), texto, 3)
        .AddField(QStringLiteral("CodFun"), texto, 5)
        .AddField(QStringLiteral("NomeFun"), texto, 80)
        .AddField(QStringLiteral("Maq"), texto, 5)
        .AddField(QStringLiteral("DesMaquina"), texto, 30)
        .AddField(QStringLiteral("Turno"), texto, 3)
        .AddField(QStringLiteral("Fase"), texto, 3)
        .AddField(QStringLiteral("DesFase"), texto, 30)
        .AddField(QStringLiteral("Data_Ini"), QMetaType::QDate)
        .AddField(QStringLiteral("Obs_Item"), texto, 100)
        .AddField(QStringLiteral("CodigoCli"), texto, 60)
        .AddField(QStringLiteral("CorCli"), texto, 30)
        .AddField(QStringLiteral("Pantone"), texto, 50)
        .AddField(QStringLiteral("Nota"), texto, 9)
        .AddField(QStringLiteral("Tara"), real)
        .AddField(QStringLiteral("Instrucao"), QMetaType::QByteArray)
        .AddField(QStringLiteral("NumBarra"), texto, 15)
        .AddField(QStringLiteral("PesoFal"), real)
        .AddField(QStringLiteral("Faturado"), texto, 1)
        .AddField(QStringLiteral("Fluxo"), texto, 6)
        .AddField(QStringLiteral("Situacao"), texto, 1)
        .AddField(QStringLiteral("Fase_Pend"), texto, 3)
        .AddField(QStringLiteral("Cod_Grupo"), texto, 4)
        .AddField(QStringLiteral("Desc_Grupo"), texto, 50)
        .AddField(QStringLiteral("ObsCorCli"), texto, 100)
        .AddField(QStringLiteral("CodigoCliProg"), texto, 60)
        .AddField(QStringLiteral("Cod_Atvd"), texto, 4);
    t.CreateDataSet();
}

ResumoEtiquetas CarregaEtiquetas(TClientDataSet& t, const PedidoEtiquetas& p) {
    TZoQuery itens;
    itens.SQL << DBLocal_SQL(SqlItens());
    itens.BindValue(QStringLiteral("FAL"), p.fal);
    itens.Open();
    QList<ItemRolos> rolosPorItem;
    ResumoEtiquetas mostrados;
    for (itens.First(); !itens.Eof(); itens.Next()) {
        const bool mostrado = p.produto.isEmpty() || itens.TextoAtual(QStringLiteral("CODIGO")) == p.produto;
        rolosPorItem.append({itens.Fields(16).AsInteger(), mostrado});
        if (mostrado) {
            mostrados.rolos += itens.Fields(16).AsInteger();
            mostrados.peso += itens.Fields(17).AsFloat();
        }
    }
    TZoQuery pesos;
    pesos.SQL << DBLocal_SQL(
        QStringLiteral("SELECT CODIGO, ORDEM, PESO_TINT FROM {CONTR_QUL} WHERE FAL = :FAL AND ORDEM > 0"));
    pesos.BindValue(QStringLiteral("FAL"), p.fal);
    pesos.Open();
    QHash<QString, double> gravados;
    for (pesos.First(); !pesos.Eof(); pesos.Next())
        gravados.insert(pesos.Fields(0).AsString().trimmed() + QLatin1Char('|') + pesos.Fields(1).AsString(),
                        pesos.Fields(2).AsFloat());

    const QDate hoje = QDate::currentDate();
    const PassoEtiqueta passo = p.passo.value_or(PassoEtiqueta{});
    QHash<QString, QByteArray> instrucoes;
    const ControlesDesligados quietos(t);
    t.EmptyDataSet();
    for (const RoloNumerado& r : NumeraRolos(rolosPorItem, std::max(p.rolos, mostrados.rolos))) {
        itens.MoveTo(r.item);
        const auto campo = [&](const char* nome) { return itens.FieldByName(QLatin1String(nome)).Value(); };
        const QString codigo = itens.TextoAtual(QStringLiteral("CODIGO"));
        t.Append();
        const auto define = [&](const char* nome, const QVariant& valor) {
            t.FieldByName(QLatin1String(nome)) = valor;
        };
        define("Imp", QStringLiteral("N"));
        define("FAL", p.fal);
        define("Codigo", codigo);
        define("Descricao", campo("DESCRICAO"));
        define("ProdComp", campo("PRODCOMP"));
        define("Lote", campo("LOTE"));
        define("Cor", campo("COR"));
        define("DescCor", campo("DESCOR"));
        const double peso = gravados.value(codigo + QLatin1Char('|') + QString::number(r.nrRolo));
        if (peso > 0) {
            define("Peso", peso);
            define("Peso_Liq", PesoLiquido(peso, p.tara));
        }
        define("Rolo", campo("ROLO"));
        define("Largura", campo("LARGURA"));
        define("Gramatura", campo("GRAMATURA"));
        define("Complemento", campo("COMPLEMENTO"));
        define("Obs", p.obs);
        define("Variante", campo("VARIANTE"));
        define("Estampa", campo("ESTAMPA"));
        define("DescEst", campo("DESC_EST"));
        define("Var_Est", campo("VAR_EST"));
        define("Seq", r.seq);
        define("Cliente", campo("CLIENTE"));
        define("Nome", campo("NOME"));
        define("Fantasia", campo("FANTASIA"));
        define("Cnpj", campo("CNPJ"));
        define("Partida", campo("PARTIDA"));
        define("Data", hoje);
        define("NrRolo", QString::number(r.nrRolo));
        define("CodFun", passo.funcionario);
        define("NomeFun", passo.nomeFuncionario);
        define("Maq", passo.maquina);
        define("DesMaquina", passo.descMaquina);
        define("Turno", passo.turno);
        define("Fase", passo.fase);
        define("DesFase", passo.desFase);
        if (passo.dataIni.isValid())
            define("Data_Ini", passo.dataIni);
        define("Obs_Item", campo("OBSERVACAO"));
        define("CodigoCli", campo("CODIGOCLI"));
        define("CorCli", campo("CORCLI"));
        define("Pantone", campo("COR_PANTONE"));
        define("Nota", campo("NOTA"));
        define("Tara", p.tara);
        if (const QByteArray instrucao = Instrucao(instrucoes, codigo); !instrucao.isEmpty())
            define("Instrucao", instrucao);
        define("PesoFal", campo("PESO"));
        define("Faturado", campo("FATURADO"));
        define("Fluxo", campo("FLUXO"));
        define("Situacao", campo("SITUACAO"));
        define("Fase_Pend", campo("FASE_PEND"));
        define("Cod_Grupo", campo("COD_GRUPO"));
        define("Desc_Grupo", campo("DESC_GRUPO"));
        define("ObsCorCli", campo("OBS"));
        define("CodigoCliProg", campo("CODIGOCLI_PROG"));
        define("Cod_Atvd", campo("COD_ATVD"));
        t.Post();
    }
    t.First();
    return mostrados;
}

QString GravaRolo(const RoloPesado& r) {
    try {
        GravacaoAtomica unidade;
        TZoQuery q;
        q.SQL << DBLocal_SQL(QStringLiteral(
            "INSERT INTO {CONTR_QUL} (CODIGO, FAL, PESO_TINT, DATA, GRAMATURA, LARGURA, ORDEM) VALUES "
            "(:CODIGO, :FAL, :PESO, :DATA, :GRAMATURA, :LARGURA, :ORDEM)"));
        q.BindValue(QStringLiteral("CODIGO"), r.codigo);
        q.BindValue(QStringLiteral("FAL"), r.fal);
        q.BindValue(QStringLiteral("PESO"), r.peso);
        q.BindValue(QStringLiteral("DATA"), QDate::currentDate());
        q.BindValue(QStringLiteral("GRAMATURA"), r.gramatura);
        q.BindValue(QStringLiteral("LARGURA"), r.largura);
        q.BindValue(QStringLiteral("ORDEM"), r.nrRolo);
        q.ExecSQL();
        unidade.Confirma();
    } catch (const EChaveRepetida&) {
        return kPecaRegistrada;
    }
    return {};
}

void ExcluiRolo(const QString& fal, const QString& codigo, int nrRolo) {
    GravacaoAtomica unidade;
    TZoQuery q;
    q.SQL << DBLocal_SQL(
        QStringLiteral("DELETE FROM {CONTR_QUL} WHERE CODIGO = :CODIGO AND FAL = :FAL AND ORDEM = :ORDEM"));
    q.BindValue(QStringLiteral("CODIGO"), codigo);
    q.BindValue(QStringLiteral("FAL"), fal);
    q.BindValue(QStringLiteral("ORDEM"), nrRolo);
    q.ExecSQL();
    unidade.Confirma();
}

void MarcaEtiquetasImpressas(const QString& fal, const QList<ItemImpresso>& itens, QObject* tela) {
    GravacaoAtomica unidade;
    TZoQuery impressos;
    impressos.SQL << DBLocal_SQL(
        QStringLiteral("SELECT DISTINCT CODIGO FROM {FAL_ITEN} WHERE FAL = :FAL AND SITUACAO = 'I'"));
    impressos.BindValue(QStringLiteral("FAL"), fal);
    impressos.Open();
    QSet<QString> jaImpressos;
    for (impressos.First(); !impressos.Eof(); impressos.Next())
        jaImpressos << impressos.Fields(0).AsString().trimmed();
    InstrucoesEmLote marcas(*ConexaoHost());
    for (const ItemImpresso& i : itens) {
        GeraLog(kTituloLog,
                (jaImpressos.contains(i.codigo) ? QString() : QStringLiteral("1º ")) +
                    QStringLiteral("IMPRESSAO DE ETIQUETA DA FAL %1, CODIGO %2, SETOR %3, %4 PECAS. ")
                        .arg(fal, i.codigo, i.fase)
                        .arg(i.rolos),
                opOutros, fal, tela);
        marcas.Adiciona(DBLocal_SQL(QStringLiteral("UPDATE {FAL_ITEN} SET SITUACAO = 'I' WHERE FAL = %1 AND "
                                                   "CODIGO = %2 AND COALESCE(LOTE, '') = %3"))
                            .arg(Aspas(fal), Aspas(i.codigo), Aspas(i.lote)));
    }
    marcas.Executa();
    unidade.Confirma();
}

ResultadoEstoqueRolos LancaEstoqueRolos(const PedidoEstoqueRolos& p, QObject* tela) {
    ResultadoEstoqueRolos r;
    int pesados = 0;
    QStringList codigos;
    for (const RoloEstoque& rolo : p.rolos) {
        pesados += rolo.pesoLiquido > 0;
        if (!codigos.contains(rolo.codigo))
            codigos << rolo.codigo;
    }
    if (pesados == 0) {
        r.recusa = QStringLiteral("Nenhum rolo pesado.");
        return r;
    }
    const QString movimentos = DBLocal(p.produtos ? QStringLiteral("PA_MOV") : QStringLiteral("MAT_MOV"));
    const QString cadastro = DBLocal(p.produtos ? QStringLiteral("PRODUTO") : QStringLiteral("MATERIAL"));
    GravacaoAtomica unidade;
    TZoQuery lancado;
    lancado.SQL << QStringLiteral(
                       "SELECT FIRST 1 CODIGO FROM %1 WHERE NUM_DOCTO = :FAL AND OPERACAO = 'E' AND "
                       "TP_MOV = 'TG' AND CODIGO IN (%2)")
                       .arg(movimentos, ListaSql(codigos));
    lancado.BindValue(QStringLiteral("FAL"), p.fal);
    lancado.Open();
    if (!lancado.IsEmpty()) {
        r.recusa = QStringLiteral("Lote já Lançado no Estoque. Impossível Continuar.");
        return r;
    }
    TZoQuery cadastrados;
    cadastrados.SQL
        << QStringLiteral("SELECT COUNT(*) FROM %1 WHERE CODIGO IN (%2)").arg(cadastro, ListaSql(codigos));
    cadastrados.Open();
    if (cadastrados.Fields(0).AsInteger() < codigos.size()) {
        r.recusa = p.produtos ? QStringLiteral("Produto não cadastrado.")
                              : QStringLiteral("Material não cadastrado.");
        return r;
    }

    const QDate hoje = QDate::currentDate();
    if (p.baixarItens) {
        InstrucoesEmLote baixas(*ConexaoHost());
        QSet<QString> feitos;
        for (const RoloEstoque& rolo : p.rolos) {
            const QString chave = rolo.codigo + QLatin1Char('|') + rolo.lote;
            if (feitos.contains(chave))
                continue;
            feitos << chave;
            baixas.Adiciona(
                DBLocal_SQL(QStringLiteral("UPDATE {FAL_ITEN} SET FATURADO = 'S', DT_FATURA = %1 "
                                           "WHERE FAL = %2 AND CODIGO = %3 AND COALESCE(LOTE, '') = "
                                           "%4 AND COALESCE(FATURADO, '') <> 'S'"))
                    .arg(DataSQL(hoje), Aspas(p.fal), Aspas(rolo.codigo), Aspas(rolo.lote)));
        }
        baixas.Executa();
    }

    const QStringList lotes =
        ProximosDaSerie(p.produtos ? QStringLiteral("PA_ITEN") : QStringLiteral("MAT_ITEN"),
                        QStringLiteral("LOTE"), PrefixoLoteEstoque(p.fal), pesados, 3);
    TEstoque estoque;
    QStringList codigosLancados;
    qsizetype proximo = 0;
    for (const RoloEstoque& rolo : p.rolos) {
        if (!(rolo.pesoLiquido > 0)) {
            r.lotes << QString();
            continue;
        }
        MovimentoEstoque m;
        m.codigo = rolo.codigo;
        m.cor = rolo.cor.left(6);
        m.lote = lotes[proximo++];
        m.deposito = p.deposito;
        m.quantidade = rolo.pesoLiquido;
        m.saida = false;
        m.documento = p.fal;
        m.cliente = p.cliente;
        m.usuario = rolo.lote;
        m.tipoMovimento = QStringLiteral("1");
        m.origem = QStringLiteral("TG");
        m.data = hoje;
        const QString recusa =
            p.produtos ? estoque.MovimentaEstoqueProduto(m) : estoque.MovimentaEstoqueMaterial(m);
        if (!recusa.isEmpty()) {
            r.lotes.clear();
            r.recusa = recusa;
            return r;
        }
        r.lotes << m.lote;
        if (!codigosLancados.contains(m.codigo))
            codigosLancados << m.codigo;
        ++r.lancados;
    }
    for (const QString& codigo : codigosLancados)
        GeraLog(kTituloLog, QStringLiteral("GERA ESTOQUE %1 DA FAL %2").arg(codigo, p.fal), opOutros, p.fal,
                tela);
    if (p.baixarItens)
        GeraLog(kTituloLog, QStringLiteral("BAIXA DO ITEM %1 DA FAL %2").arg(p.produtoTela, p.fal), opOutros,
                p.fal, tela);
    unidade.Confirma();
    return r;
}
