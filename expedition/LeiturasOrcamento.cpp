#include "LeiturasOrcamento.h"
#include "DataAccess.h"
#include "Funcoes.h"
#include "GravacaoAtomica.h"
#include "InstrucoesEmLote.h"
#include "LeiturasFal.h"
#include "Receitas.h"
#include "TZoQuery.h"

namespace {
const QString kParametros = QStringLiteral(
    "PP.COFINS, PP.ICMS, PP.IRPJ, PP.CONTR_SOCIAL, PP.FINANCEIRO, PP.COMISAO, PP.PERDA, PP.MARGEM, PP.FRETE, "
    "PP.INDICE_N AS EMBALAGEM, PP.FIXO AS FIXO_PARAM, PP.CUSTO_MIN, PP.VOLUME");

ParametrosPreco Parametros(TDataSet& q) {
    const auto n = [&](const char* campo) { return q.NumeroAtual(QLatin1String(campo)); };
    ParametrosPreco p;
    p.cofins = n("COFINS");
    p.icms = n("ICMS");
    p.irpj = n("IRPJ");
    p.contrSocial = n("CONTR_SOCIAL");
    p.financeiro = n("FINANCEIRO");
    p.comissao = n("COMISAO");
    p.perda = n("PERDA");
    p.margem = n("MARGEM");
    p.frete = n("FRETE");
    p.embalagem = n("EMBALAGEM");
    p.fixo = n("FIXO_PARAM");
    p.custoMinuto = n("CUSTO_MIN");
    p.volume = n("VOLUME");
    return p;
}

// Values as their columns keep them, so that what the screen holds compares with what was stored.
QString Numero(double valor, int casas) {
    return QString::number(Arredondar(valor, casas), 'f', casas);
}

QString Aprovado(const QString& valor) {
    return valor.trimmed() == QLatin1String("S") ? QStringLiteral("S") : QStringLiteral("N");
}

OrcamentoGravar LeGravado(const QString& numero) {
    OrcamentoGravar o;
    TZoQuery cab;
    cab.SQL << DBLocal_SQL(
        QStringLiteral("SELECT CODCLI, OBS, SITUACAO, DATA FROM {ORCAMENTO} WHERE NUMERO = :N"));
    cab.BindValue(QStringLiteral("N"), numero);
    cab.Open();
    if (cab.IsEmpty())
        return o;
    o.numero = numero;
    o.cliente = cab.TextoAtual(QStringLiteral("CODCLI"));
    o.obs = cab.TextoAtual(QStringLiteral("OBS"));
    o.situacao = cab.TextoAtual(QStringLiteral("SITUACAO"));
    o.data = cab.FieldByName(QStringLiteral("DATA")).AsDate();
    TZoQuery itens;
    itens.SQL << DBLocal_SQL(
        QStringLiteral("SELECT COR, VARIANTE, SERVICO, INDICE, CUSTO_QUIM, CUSTO_TING, FIXO, PEDIDO, PRECO "
                       "FROM {ORCA_ITEN} WHERE NUMERO = :N ORDER BY ORDEM"));
    itens.BindValue(QStringLiteral("N"), numero);
    itens.Open();
    for (itens.First(); !itens.Eof(); itens.Next())
        o.itens.append(
            {itens.TextoAtual(QStringLiteral("COR")), itens.TextoAtual(QStringLiteral("VARIANTE")),
             itens.TextoAtual(QStringLiteral("SERVICO")), itens.TextoAtual(QStringLiteral("PEDIDO")),
             itens.NumeroAtual(QStringLiteral("INDICE")), itens.NumeroAtual(QStringLiteral("CUSTO_QUIM")),
             itens.NumeroAtual(QStringLiteral("CUSTO_TING")), itens.NumeroAtual(QStringLiteral("FIXO")),
             itens.NumeroAtual(QStringLiteral("PRECO"))});
    TZoQuery servicos;
    servicos.SQL << DBLocal_SQL(QStringLiteral("SELECT DEPOSITO FROM {ORCA_FLUXO} WHERE NUMERO = :N"));
    servicos.BindValue(QStringLiteral("N"), numero);
    servicos.Open();
    for (servicos.First(); !servicos.Eof(); servicos.Next())
        o.servicos << servicos.TextoAtual(QStringLiteral("DEPOSITO"));
    return o;
}
} // namespace

std::optional<ParametrosPreco> LeParametros(const QString& codigo) {
    TZoQuery q;
    q.SQL << DBLocal_SQL(
        QStringLiteral("SELECT %1 FROM {PRECO_PARAM} PP WHERE PP.CODIGO = :C").arg(kParametros));
    q.BindValue(QStringLiteral("C"), codigo.trimmed());
    q.Open();
    if (q.IsEmpty())
        return std::nullopt;
    return Parametros(q);
}

std::optional<CustoItemOrcado> LeCustoItem(const QString& cliente, const QString& cor,
                                           const QString& variante) {
    TZoQuery q;
    q.SQL << DBLocal_SQL(
        QStringLiteral("SELECT FIRST 1 GRAFICO.TEMPO, RECEITA.CUSTO, %1 FROM {PRECO_PARAM} PP "
                       "LEFT JOIN {RECEITA} RECEITA ON RECEITA.COR = :COR AND RECEITA.VARIANTE = :VAR "
                       "LEFT JOIN {GRAFICO} GRAFICO ON GRAFICO.CODIGO = RECEITA.GRAFICO "
                       "WHERE PP.CODIGO = :CLI ORDER BY RECEITA.CODIGO")
            .arg(kParametros));
    q.BindValue(QStringLiteral("COR"), cor.trimmed());
    q.BindValue(QStringLiteral("VAR"), variante.trimmed());
    q.BindValue(QStringLiteral("CLI"), cliente.trimmed());
    q.Open();
    if (q.IsEmpty())
        return std::nullopt;
    return CustoItemOrcado{Parametros(q), q.NumeroAtual(QStringLiteral("CUSTO")),
                           q.TextoAtual(QStringLiteral("TEMPO"))};
}

QList<QuadroOrcado> LeQuadrosEstampa(const QString& estampa, const QString& variante) {
    TZoQuery q;
    q.SQL << DBLocal_SQL(
        QStringLiteral("SELECT E.CONSUMO, (SELECT SUM(C.PERC * M.REPOSICAO) FROM {COMP_MATERIAL} C "
                       "JOIN {MATERIAL} M ON M.CODIGO = C.CODIGO WHERE C.MATERIAL = E.PRODUTO) AS CUSTO "
                       "FROM {EST_QUADRO} E WHERE E.ESTAMPA = :E AND E.VARIANTE = :V ORDER BY E.ORDEM"));
    q.BindValue(QStringLiteral("E"), estampa.trimmed());
    q.BindValue(QStringLiteral("V"), variante.trimmed());
    q.Open();
    QList<QuadroOrcado> quadros;
    for (q.First(); !q.Eof(); q.Next())
        quadros.append({q.NumeroAtual(QStringLiteral("CONSUMO")), q.NumeroAtual(QStringLiteral("CUSTO"))});
    return quadros;
}

QList<QPair<QString, QString>> CabecalhoCliente(const QString& cliente) {
    TZoQuery q;
    q.SQL << DBLocal_SQL(QStringLiteral(
        "SELECT C.CODCLI, C.NOME, C.ENDERECO, C.NUMERO, C.COMPLEMENTO, C.BAIRRO, C.CEP, C.FONE, C.TABELA, "
        "C.CONDICAO, C.CODREP, R.NOME AS REPRESENTANTE, G.DESCRICAO AS REGIAO, CID.NOME AS CIDADE, "
        "CID.COD_EST "
        "FROM {ENTIDADE} C LEFT JOIN {REPRESEN} R ON R.CODREP = C.CODREP "
        "LEFT JOIN {REGIAO} G ON G.REGIAO = C.TABELA LEFT JOIN {CADCEP} CEP ON CEP.CEP = C.CEP "
        "LEFT JOIN {CIDADE} CID ON CID.COD_CID = CEP.COD_CID WHERE C.CODCLI = :C"));
    q.BindValue(QStringLiteral("C"), cliente.trimmed());
    q.Open();
    if (q.IsEmpty())
        return {};
    const auto t = [&](const char* campo) { return q.TextoAtual(QLatin1String(campo)).trimmed(); };
    const auto junta = [](const QStringList& partes, const QString& sep) {
        QStringList cheias;
        for (const QString& p : partes)
            if (!p.isEmpty())
                cheias << p;
        return cheias.join(sep);
    };
    const QString cidade = junta({t("CIDADE"), t("COD_EST")}, QStringLiteral("/"));
    return {
        {QStringLiteral("Cliente"), junta({t("CODCLI"), t("NOME")}, QStringLiteral(" - "))},
        {QStringLiteral("Endereço"),
         junta({junta({t("ENDERECO"), t("NUMERO"), t("COMPLEMENTO")}, QStringLiteral(", ")), t("BAIRRO"),
                t("CEP"), cidade},
               QStringLiteral(" - "))},
        {QStringLiteral("Fone"), t("FONE")},
        {QStringLiteral("Representante"), junta({t("CODREP"), t("REPRESENTANTE")}, QStringLiteral(" - "))},
        {QStringLiteral("Região"), junta({t("TABELA"), t("REGIAO")}, QStringLiteral(" - "))},
        {QStringLiteral("Condição"), MontaCondicao(t("CONDICAO"))}};
}

QHash<QString, QSet<QString>> FasesDosFluxos(const QSet<QString>& fluxos) {
    QHash<QString, QSet<QString>> fases;
    const QHash<QString, QList<PassoRoteiro>> roteiros = LeRoteiros(fluxos);
    for (auto it = roteiros.cbegin(); it != roteiros.cend(); ++it)
        for (const PassoRoteiro& passo : it.value())
            fases[it.key()] << passo.fase;
    return fases;
}

std::optional<OrcamentoLido> LeOrcamento(const QString& numero) {
    GravacaoAtomica leitura; // header, items and services as one moment
    TZoQuery cab;
    cab.SQL << DBLocal_SQL(QStringLiteral(
        "SELECT O.NUMERO, O.CODCLI, O.OBS, O.SITUACAO, O.DATA, C.NOME, C.TABELA, C.CONDICAO "
        "FROM {ORCAMENTO} O LEFT JOIN {ENTIDADE} C ON C.CODCLI = O.CODCLI WHERE O.NUMERO = :N"));
    cab.BindValue(QStringLiteral("N"), numero.trimmed());
    cab.Open();
    if (cab.IsEmpty())
        return std::nullopt;
    OrcamentoLido o;
    o.numero = cab.TextoAtual(QStringLiteral("NUMERO"));
    o.cliente = cab.TextoAtual(QStringLiteral("CODCLI"));
    o.nome = cab.TextoAtual(QStringLiteral("NOME"));
    o.obs = cab.TextoAtual(QStringLiteral("OBS"));
    o.situacao = cab.TextoAtual(QStringLiteral("SITUACAO"));
    o.data = cab.FieldByName(QStringLiteral("DATA")).AsDate();
    o.regiao = cab.TextoAtual(QStringLiteral("TABELA"));
    o.condicao = cab.TextoAtual(QStringLiteral("CONDICAO"));

    // The colour's own price in the region, its recipe's curve (the first recipe by code), all joined.
    TZoQuery itens;
    itens.SQL << DBLocal_SQL(
        QStringLiteral(
            "SELECT I.COR, COR.DESCRICAO, COR.COR_SIS, I.VARIANTE, V.DESCRICAO AS DESCVAR, I.SERVICO, "
            "(SELECT FIRST 1 R.DESCRICAO FROM {ROTEIRO} R WHERE R.CODIGO = I.SERVICO ORDER BY R.ORDEM) AS "
            "DESCFLUXO, "
            "T.PRECO_00, G.TEMPO, I.INDICE, I.CUSTO_QUIM, I.CUSTO_TING, I.FIXO, I.PEDIDO, I.PRECO "
            "FROM {ORCA_ITEN} I LEFT JOIN {CADCORTIN} COR ON COR.CODIGO = I.COR "
            "LEFT JOIN {VARIANTE} V ON V.CODIGO = I.VARIANTE "
            "LEFT JOIN {TABPRECO} T ON T.REGIAO = :REGIAO AND T.COR = I.COR AND T.VARIANTE = I.VARIANTE AND "
            "%1 "
            "LEFT JOIN {RECEITA} REC ON REC.CODIGO = (SELECT FIRST 1 R2.CODIGO FROM {RECEITA} R2 "
            "WHERE R2.COR = I.COR AND R2.VARIANTE = I.VARIANTE ORDER BY R2.CODIGO) AND REC.VARIANTE = "
            "I.VARIANTE "
            "LEFT JOIN {GRAFICO} G ON G.CODIGO = REC.GRAFICO "
            "WHERE I.NUMERO = :N ORDER BY I.ORDEM")
            .arg(CondicaoPrecoDaCor(QStringLiteral("T"))));
    itens.BindValue(QStringLiteral("REGIAO"), o.regiao.trimmed());
    itens.BindValue(QStringLiteral("N"), o.numero);
    itens.Open();
    OrcamentoGravar gravado{o.numero, o.cliente, o.obs, o.situacao, o.data, {}, {}};
    for (itens.First(); !itens.Eof(); itens.Next()) {
        ItemLido i;
        i.cor = itens.TextoAtual(QStringLiteral("COR"));
        i.descricao = itens.TextoAtual(QStringLiteral("DESCRICAO"));
        i.corSistema = itens.FieldByName(QStringLiteral("COR_SIS")).Value();
        i.variante = itens.TextoAtual(QStringLiteral("VARIANTE"));
        i.descVar = itens.TextoAtual(QStringLiteral("DESCVAR"));
        i.fluxo = itens.TextoAtual(QStringLiteral("SERVICO"));
        i.descFluxo = itens.TextoAtual(QStringLiteral("DESCFLUXO"));
        i.precoTabela = itens.FieldByName(QStringLiteral("PRECO_00")).Value();
        i.tempoHr = itens.TextoAtual(QStringLiteral("TEMPO"));
        i.indice = itens.NumeroAtual(QStringLiteral("INDICE"));
        i.quimico = itens.NumeroAtual(QStringLiteral("CUSTO_QUIM"));
        i.tempo = itens.NumeroAtual(QStringLiteral("CUSTO_TING"));
        i.fixo = itens.NumeroAtual(QStringLiteral("FIXO"));
        i.aprovado = itens.TextoAtual(QStringLiteral("PEDIDO"));
        i.preco = itens.NumeroAtual(QStringLiteral("PRECO"));
        o.itens.append(i);
        gravado.itens.append(
            {i.cor, i.variante, i.fluxo, i.aprovado, i.indice, i.quimico, i.tempo, i.fixo, i.preco});
    }

    TZoQuery servicos;
    servicos.SQL << DBLocal_SQL(QStringLiteral(
        "SELECT F.DEPOSITO, S.DESCRICAO, S.CUSTO FROM {ORCA_FLUXO} F "
        "LEFT JOIN {TABPRE_SERV} S ON S.FASE = F.DEPOSITO AND S.CODCLI = :C WHERE F.NUMERO = :N"));
    servicos.BindValue(QStringLiteral("C"), o.cliente);
    servicos.BindValue(QStringLiteral("N"), o.numero);
    servicos.Open();
    for (servicos.First(); !servicos.Eof(); servicos.Next()) {
        o.servicos.append({servicos.TextoAtual(QStringLiteral("DEPOSITO")),
                           servicos.TextoAtual(QStringLiteral("DESCRICAO")),
                           servicos.NumeroAtual(QStringLiteral("CUSTO"))});
        gravado.servicos << o.servicos.last().fase;
    }
    o.gravado = ImpressaoOrcamento(gravado);
    leitura.Confirma();
    return o;
}

QStringList ImpressaoOrcamento(const OrcamentoGravar& o, bool comMargem) {
    QStringList linhas{QStringList{QStringLiteral("C"), o.cliente.trimmed(), o.obs.trimmed(),
                                   o.situacao.trimmed(), o.data.toString(Qt::ISODate)}
                           .join(QChar(0x1f))};
    int ordem = 0;
    for (const ItemGravar& i : o.itens)
        linhas << QStringList{QStringLiteral("I"),  QString::number(++ordem),
                              i.cor.trimmed(),      i.variante.trimmed(),
                              i.fluxo.trimmed(),    comMargem ? Numero(i.indice, 4) : QString(),
                              Numero(i.quimico, 4), Numero(i.tempo, 4),
                              Numero(i.fixo, 4),    Aprovado(i.aprovado),
                              Numero(i.preco, 2)}
                      .join(QChar(0x1f));
    QStringList servicos;
    for (const QString& fase : o.servicos)
        servicos << QStringLiteral("S") + QChar(0x1f) + fase.trimmed();
    servicos.sort();
    return linhas + servicos;
}

QStringList ImpressaoGravada(const QString& numero, bool comMargem) {
    const OrcamentoGravar o = LeGravado(numero.trimmed());
    return o.numero.isEmpty() ? QStringList() : ImpressaoOrcamento(o, comMargem);
}

namespace {
// The quotation's header, items and services, sent in blocks: a quotation of forty items is one or two
// round trips to a server, not forty.
void InsereOrcamento(InstrucoesEmLote& lote, const OrcamentoGravar& o, const QString& numero,
                     bool comServicos) {
    lote.Adiciona(
        QStringLiteral("INSERT INTO %1 (NUMERO, CODCLI, OBS, SITUACAO, DATA) VALUES (%2)")
            .arg(DBLocal(QStringLiteral("ORCAMENTO")),
                 ValoresSql({numero, o.cliente.trimmed(), o.obs.trimmed(), o.situacao.trimmed(), o.data})));
    const QString item =
        QStringLiteral(
            "INSERT INTO %1 (NUMERO, ORDEM, COR, VARIANTE, SERVICO, INDICE, CUSTO_QUIM, CUSTO_TING, "
            "FIXO, PEDIDO, PRECO) VALUES (%2)")
            .arg(DBLocal(QStringLiteral("ORCA_ITEN")));
    int ordem = 0;
    for (const ItemGravar& i : o.itens)
        lote.Adiciona(
            item.arg(ValoresSql({numero, ++ordem, i.cor.trimmed(), i.variante.trimmed(), i.fluxo.trimmed(),
                                 Arredondar(i.indice, 4), Arredondar(i.quimico, 4), Arredondar(i.tempo, 4),
                                 Arredondar(i.fixo, 4), Aprovado(i.aprovado), Arredondar(i.preco, 2)})));
    if (comServicos)
        for (const QString& fase : o.servicos)
            lote.Adiciona(
                QStringLiteral("INSERT INTO %1 (NUMERO, DEPOSITO) VALUES (%2)")
                    .arg(DBLocal(QStringLiteral("ORCA_FLUXO")), ValoresSql({numero, fase.trimmed()})));
}
} // namespace

bool GravaOrcamento(const OrcamentoGravar& o, const QStringList& carregado) {
    const QString numero = o.numero.trimmed();
    GravacaoAtomica gravacao;
    if (!GravadosComoCarregados(QStringLiteral("ORCAMENTO"), numero, carregado,
                                [&] { return ImpressaoGravada(numero); }))
        return false;
    InstrucoesEmLote lote(*ConexaoHost());
    for (const char* tabela : {"ORCA_ITEN", "ORCA_FLUXO", "ORCAMENTO"})
        lote.Adiciona(QStringLiteral("DELETE FROM %1 WHERE NUMERO = %2")
                          .arg(DBLocal(QLatin1String(tabela)), Aspas(numero)));
    InsereOrcamento(lote, o, numero, true);
    lote.Executa();
    gravacao.Confirma();
    return true;
}

QString DuplicaOrcamento(const QString& numero, const QString& cliente) {
    GravacaoAtomica gravacao;
    OrcamentoGravar copia = LeGravado(numero.trimmed());
    if (copia.numero.isEmpty())
        return {};
    const QString novo = Proximo(QStringLiteral("ORCAMENTO"), QStringLiteral("NUMERO"), 6);
    copia.cliente = cliente;
    copia.situacao = QStringLiteral("0");
    copia.data = QDate::currentDate();
    InstrucoesEmLote lote(*ConexaoHost());
    InsereOrcamento(lote, copia, novo, false);
    lote.Executa();
    gravacao.Confirma();
    return novo;
}

bool LancaPrecos(const QString& numero, const QString& regiao, const QString& nomeCliente, const QDate& data,
                 const QList<PrecoLancar>& precos, const QStringList& gravado) {
    GravacaoAtomica gravacao;
    if (!GravadosComoCarregados(QStringLiteral("ORCAMENTO"), numero.trimmed(), gravado,
                                [&] { return ImpressaoGravada(numero, false); }))
        return false;
    TZoQuery atualiza;
    atualiza.SQL << DBLocal_SQL(
        QStringLiteral("UPDATE {TABPRECO} T SET ULT_PRECO = PRECO_00, PRECO_00 = :P, DATA = :D "
                       "WHERE REGIAO = :R AND COR = :C AND VARIANTE = :V AND %1")
            .arg(CondicaoPrecoDaCor(QStringLiteral("T"))));
    TZoQuery insere;
    insere.SQL << DBLocal_SQL(QStringLiteral(
        "INSERT INTO {TABPRECO} (REGIAO, DESCRICAO, COR, DESC_PRODUTO, VARIANTE, PRECO_00, PRECO_07, "
        "PRECO_14, "
        "PRECO_21, LIBERADO, DATA, CODIGO) VALUES (:R, :NOME, :C, :DESC, :V, :P, :P, :P, :P, 'S', :D, '')"));
    TZoQuery pedido;
    pedido.SQL << DBLocal_SQL(QStringLiteral(
        "UPDATE {ORCA_ITEN} SET PEDIDO = 'S' WHERE NUMERO = :N AND COR = :C AND VARIANTE = :V"));
    const int nome = LarguraColuna(QStringLiteral("TABPRECO"), QStringLiteral("DESCRICAO"));
    const int descricao = LarguraColuna(QStringLiteral("TABPRECO"), QStringLiteral("DESC_PRODUTO"));
    for (const PrecoLancar& p : precos) {
        const double preco = Arredondar(p.preco, 2);
        atualiza.BindValue(QStringLiteral("P"), preco);
        atualiza.BindValue(QStringLiteral("D"), data);
        atualiza.BindValue(QStringLiteral("R"), regiao.trimmed());
        atualiza.BindValue(QStringLiteral("C"), p.cor.trimmed());
        atualiza.BindValue(QStringLiteral("V"), p.variante.trimmed());
        atualiza.ExecSQL();
        if (atualiza.RowsAffected() == 0) {
            insere.BindValue(QStringLiteral("R"), regiao.trimmed());
            insere.BindValue(QStringLiteral("NOME"), nomeCliente.trimmed().left(nome > 0 ? nome : 80));
            insere.BindValue(QStringLiteral("C"), p.cor.trimmed());
            insere.BindValue(QStringLiteral("DESC"),
                             p.descricao.trimmed().left(descricao > 0 ? descricao : 80));
            insere.BindValue(QStringLiteral("V"), p.variante.trimmed());
            insere.BindValue(QStringLiteral("P"), preco);
            insere.BindValue(QStringLiteral("D"), data);
            insere.ExecSQL();
        }
        pedido.BindValue(QStringLiteral("N"), numero.trimmed());
        pedido.BindValue(QStringLiteral("C"), p.cor.trimmed());
        pedido.BindValue(QStringLiteral("V"), p.variante.trimmed());
        pedido.ExecSQL();
    }
    gravacao.Confirma();
    return true;
}
