#include "FichaEstampa.h"
#include "Acesso.h"
#include "DataAccess.h"
#include "DataContext.h"
#include "Estoque.h"
#include "Funcoes.h"
#include "GravacaoAtomica.h"
#include "InstrucoesEmLote.h"
#include "LeiturasEstamparia.h"
#include "RegrasCalculo.h"
#include "TZoDatabase.h"
#include "TZoQuery.h"
#include "Turno.h"
#include <QDate>
#include <QMap>
#include <QSet>
#include <cmath>

namespace {
const QString kTitulo = QStringLiteral("FICHA DE ESTAMPARIA");
} // namespace

QString ConfereFalFicha(const QString& numero, QString& estampa, QString& variante) {
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT ESTAMPA, VAR_EST FROM FAL WHERE NUMERO = :FAL");
    q.BindValue(QStringLiteral("FAL"), numero.trimmed());
    q.Open();
    if (q.IsEmpty())
        return QStringLiteral("FAL inexistente.");
    const QString suaEstampa = q.Fields(0).AsString().trimmed(),
                  suaVariante = q.Fields(1).AsString().trimmed();
    if (!estampa.isEmpty() && (suaEstampa != estampa || suaVariante != variante))
        return QStringLiteral("Estampa ou variante diferente. Impossível juntar.");
    estampa = suaEstampa;
    variante = suaVariante;
    return QString();
}

void RegistraImpressaoFicha(const QStringList& fals, double largura, double gramatura, double indice) {
    GravacaoAtomica unidade;
    TZoQuery situacao;
    situacao.SQL << QStringLiteral("UPDATE FAL SET SIT_EST = 'B' WHERE NUMERO IN (%1) AND (SIT_EST <> 'B' OR "
                                   "SIT_EST IS NULL)")
                        .arg(ListaSql(fals));
    situacao.ExecSQL();
    TZoQuery gramaturas;
    gramaturas.SQL << QStringLiteral("UPDATE FAL_ITEN SET GRAMATURA_EST = :GRAMATURA WHERE FAL IN (%1)")
                          .arg(ListaSql(fals));
    gramaturas.BindValue(QStringLiteral("GRAMATURA"), std::round(gramatura * 100) / 100);
    gramaturas.ExecSQL();
    const QString lista = fals.join(QStringLiteral(", "));
    const QString chave = fals.value(0);
    GeraLog(kTitulo, QStringLiteral("IMPRESSÃO FICHA DE ESTAMPARIA. FALS: ") + lista, opOutros, chave);
    GeraLog(kTitulo,
            QStringLiteral("GERADO FICHA DE ESTAMPARIA COM LARGURA %1 GRAMATURA %2 INDICE %3. FALS: %4")
                .arg(QString::number(largura), QString::number(gramatura), QString::number(indice), lista),
            opOutros, chave);
    unidade.Confirma();
}

namespace {
QString BaixaUmaVez(const QStringList& fals, const QString& deposito,
                    const QList<BaixaComponente>& componentes) {
    TZoDatabase& conexao = *ConexaoHost();
    const QString fal = fals.value(0);
    GravacaoAtomica unidade(conexao);
    if (deposito.trimmed().isEmpty() || !Existe(QStringLiteral("DEPOSITO"), QStringLiteral("CODIGO"),
                                                QVariantList{deposito.trimmed()}, &conexao))
        return QStringLiteral("Depósito inválido.");
    // Per component and screen order: an alternative equal to another component of the paste is one
    // movement, not two lines of one key. In code order, as every write-off takes its positions.
    QMap<QPair<QString, int>, BaixaComponente> somados;
    for (const BaixaComponente& c : componentes) {
        if (!(c.pesoKg > 0))
            continue;
        BaixaComponente& s = somados[{c.codigo, c.ordem}];
        s.codigo = c.codigo;
        s.ordem = c.ordem;
        s.pesoKg += c.pesoKg;
        s.consumoG += c.consumoG;
    }
    QStringList codigos;
    for (const BaixaComponente& s : std::as_const(somados))
        codigos << s.codigo;
    QSet<QString> feitos, foraDoEstoque;
    if (!codigos.isEmpty()) {
        TZoQuery baixados(nullptr, &conexao);
        baixados.SQL << QStringLiteral(
                            "SELECT CODIGO, ORDEM FROM TNG_CONSUMOS WHERE FAL = :FAL AND ORIGEM = 'TE' "
                            "AND CODIGO IN (%1)")
                            .arg(ListaSql(codigos));
        baixados.BindValue(QStringLiteral("FAL"), fal);
        baixados.Open();
        for (baixados.First(); !baixados.Eof(); baixados.Next())
            feitos << baixados.Fields(0).AsString().trimmed() + QLatin1Char('|') +
                          baixados.Fields(1).AsString();
        TZoQuery materiais(nullptr, &conexao);
        materiais.SQL << QStringLiteral("SELECT CODIGO FROM MATERIAL WHERE ESTOQUE = 'N' AND CODIGO IN (%1)")
                             .arg(ListaSql(codigos));
        materiais.Open();
        for (materiais.First(); !materiais.Eof(); materiais.Next())
            foraDoEstoque << materiais.Fields(0).AsString().trimmed();
    }
    TEstoque estoque(&conexao);
    const QString tipo = estoque.CodigoTipoMovEstoque(14);
    const QString funcionario = FuncionarioDoUsuario();
    InstrucoesEmLote linhas(conexao);
    int movidos = 0;
    for (const BaixaComponente& s : std::as_const(somados)) {
        const double kg = std::round(s.pesoKg * 1000) / 1000;
        if (!(kg > 0) || foraDoEstoque.contains(s.codigo) ||
            feitos.contains(s.codigo + QLatin1Char('|') + QString::number(s.ordem)))
            continue;
        MovimentoEstoque m;
        m.codigo = s.codigo;
        m.deposito = deposito.trimmed();
        m.quantidade = kg;
        m.documento = fal;
        m.usuario = vUsuario();
        m.funcionario = funcionario;
        m.tipoMovimento = tipo;
        m.origem = QStringLiteral("TE");
        if (const QString recusa = estoque.MovimentaEstoqueMaterial(m); !recusa.isEmpty())
            return recusa;
        linhas.Adiciona(
            QStringLiteral("INSERT INTO TNG_CONSUMOS (FAL, ORIGEM, CODIGO, ORDEM, QTDE, CONSUMO, TIPO, "
                           "PASSO, CONTRATIPO, FALS, BAIXADO, DATA) VALUES (%1, 'TE', %2, %3, %4, %5, "
                           "'', '', 'N', %6, 'S', %7)")
                .arg(Aspas(fal), Aspas(s.codigo), QString::number(s.ordem), PermanecePonto(kg),
                     PermanecePonto(s.consumoG), Aspas(fals.join(QStringLiteral(", ")).left(200)),
                     DataSQL(QDate::currentDate())));
        ++movidos;
    }
    if (movidos == 0)
        return QStringLiteral("Nenhum componente a baixar.");
    linhas.Executa();
    unidade.Confirma();
    return QStringLiteral("Estoque baixado com sucesso.");
}
} // namespace

QString BaixaFichaEstampa(const QStringList& fals, const QString& deposito,
                          const QList<BaixaComponente>& componentes) {
    return RepeteEmConflito([&] { return BaixaUmaVez(fals, deposito, componentes); });
}

namespace {
QVariantMap Linha(TZoQuery& q) {
    QVariantMap linha;
    for (int c = 0; c < q.FieldCount(); ++c)
        linha.insert(q.FieldDefs()[c].name, q.Fields(c).Value());
    return linha;
}
} // namespace

ItensFicha LeItensFicha(const QStringList& fals, const QStringList& produtos) {
    TZoQuery q;
    q.SQL << QStringLiteral(
                 "SELECT PESO, LARGURA, GRAMATURA FROM FAL_ITEN WHERE FAL IN (%1)%2 ORDER BY FAL, ORD_IT")
                 .arg(ListaSql(fals), produtos.isEmpty()
                                          ? QString()
                                          : QStringLiteral(" AND CODIGO IN (%1)").arg(ListaSql(produtos)));
    q.Open();
    ItensFicha itens;
    for (q.First(); !q.Eof(); q.Next()) {
        ++itens.quantos;
        itens.pesoKg += q.Fields(0).AsFloat();
        if (q.Fields(1).AsFloat() > 0)
            itens.larguras << q.Fields(1).AsFloat();
        if (itens.gramatura <= 0)
            itens.gramatura = q.Fields(2).AsFloat();
    }
    return itens;
}

QList<QVariantMap> LeQuadrosFicha(const QString& estampa, const QString& variante, const QString& quadro) {
    TZoQuery q;
    q.SQL << QStringLiteral(
                 "SELECT E.ORDEM, E.QUADRO, Q.DESCRICAO AS DESC_QUADRO, E.PRODUTO, M.DESCRICAO, E.FUNDO, "
                 "E.CONSUMO, E.PRESSAO, Q.LOCAL, Q.ESPESSURA, E.OBS, E.CONSUMO_BOMBA, Q.FOTOLITO, "
                 "Q.CUSTO_FOTO, Q.TAMANHO, Q.CUSTO_ARTE, M.LINHA, M.GRUPO")
          << QStringLiteral(
                 "FROM EST_QUADRO E LEFT JOIN QUADRO Q ON (Q.CODIGO = E.QUADRO) LEFT JOIN MATERIAL M ON "
                 "(M.CODIGO = E.PRODUTO)")
          << QStringLiteral("WHERE E.ESTAMPA = :ESTAMPA AND E.VARIANTE = :VARIANTE%1 ORDER BY E.ORDEM")
                 .arg(quadro.isEmpty() ? QString() : QStringLiteral(" AND E.QUADRO = ") + Aspas(quadro));
    q.BindValue(QStringLiteral("ESTAMPA"), estampa);
    q.BindValue(QStringLiteral("VARIANTE"), variante);
    q.Open();
    QList<QVariantMap> linhas;
    QStringList pastas;
    for (q.First(); !q.Eof(); q.Next()) {
        linhas << Linha(q);
        pastas << q.FieldByName(QStringLiteral("PRODUTO")).AsString().trimmed();
    }
    const QHash<QString, CustoDaPasta> custos = LeCustosPastas(pastas);
    for (QVariantMap& l : linhas)
        l.insert(QStringLiteral("CUSTO"),
                 custos.value(l.value(QStringLiteral("PRODUTO")).toString().trimmed()).custo);
    return linhas;
}

ComposicoesFicha LeComposicoesFicha(const QStringList& pastas, const QString& subgrupo) {
    ComposicoesFicha f;
    if (pastas.isEmpty())
        return f;
    TZoQuery q;
    q.SQL << QStringLiteral(
                 "SELECT C.MATERIAL, C.CODIGO, C.PERC, C.REGRA, M.CONCENTRA_EST, (SELECT SUM(I.QTDE) FROM "
                 "MAT_ITEN I WHERE I.CODIGO = C.CODIGO) AS ESTOQUE")
          << QStringLiteral(
                 "FROM COMP_MATERIAL C LEFT JOIN MATERIAL M ON (M.CODIGO = C.CODIGO) WHERE C.MATERIAL IN "
                 "(%1)%2 ORDER BY C.MATERIAL, C.ORDEM")
                 .arg(ListaSql(pastas), subgrupo.isEmpty()
                                            ? QString()
                                            : QStringLiteral(" AND M.SUB_GRUPO = ") + Aspas(subgrupo));
    q.Open();
    RegrasCalculo regras;
    QStringList codigos;
    for (q.First(); !q.Eof(); q.Next()) {
        const QString pasta = q.Fields(0).AsString().trimmed(), codigo = q.Fields(1).AsString().trimmed();
        ComponenteFicha c{codigo, q.Fields(2).AsFloat(), q.Fields(4).AsFloat(), q.Fields(5).AsFloat()};
        if (const QString regra = q.Fields(3).AsString().trimmed(); !regra.isEmpty())
            if (const auto perc = regras.CalculaPercRegra(CodigoProduto(pasta), CodigoRegra(regra)))
                c.perc = *perc;
        f.componentes[pasta] << c;
        codigos << codigo;
    }
    if (codigos.isEmpty())
        return f;
    TZoQuery s;
    s.SQL << QStringLiteral(
                 "SELECT K.MATERIAL, K.CODIGO, K.CONCENT, M.CONCENTRA_EST, K.COMPENSAR, K.IMEDIATO FROM "
                 "CONTRATIPO K LEFT JOIN MATERIAL M ON (M.CODIGO = K.CODIGO) WHERE K.MATERIAL IN (%1) AND "
                 "K.ATIVO = 'S' ORDER BY K.MATERIAL, K.CODIGO")
                 .arg(ListaSql(codigos));
    s.Open();
    for (s.First(); !s.Eof(); s.Next()) {
        const QString material = s.Fields(0).AsString().trimmed();
        if (f.substitutos.contains(material))
            continue;
        f.substitutos.insert(material, {s.Fields(1).AsString().trimmed(), s.Fields(2).AsFloat(),
                                        s.Fields(3).AsFloat(), s.Fields(4).AsString().trimmed(),
                                        s.Fields(5).AsString().trimmed() == QLatin1String("S")});
        codigos << s.Fields(1).AsString().trimmed();
    }
    TZoQuery m;
    m.SQL << QStringLiteral(
                 "SELECT M.CODIGO, M.DESCRICAO, M.DESCRICAO2, M.GRUPO, M.SUB_GRUPO, G.DESCRICAO AS "
                 "DESC_SUB_GRUPO, M.LINHA, M.CONCENTRA_EST, M.CONCENTRACAO FROM MATERIAL M LEFT JOIN "
                 "SUBGRUPO_MA G ON (G.CODIGO = M.SUB_GRUPO) WHERE M.CODIGO IN (%1)")
                 .arg(ListaSql(codigos));
    m.Open();
    for (m.First(); !m.Eof(); m.Next())
        f.materiais.insert(m.Fields(0).AsString().trimmed(), Linha(m));
    return f;
}

CabecalhoDosagem LeCabecalhoDosagem(const QString& fal) {
    TZoQuery q;
    q.SQL << QStringLiteral(
        "SELECT F.NUMERO, E.NOME, F.ESTAMPA, F.VAR_EST, F.PARTIDA FROM FAL F LEFT JOIN ENTIDADE E "
        "ON (E.CODCLI = F.CLIENTE) WHERE F.NUMERO = :FAL");
    q.BindValue(QStringLiteral("FAL"), fal.trimmed());
    q.Open();
    CabecalhoDosagem c;
    c.fal = fal.trimmed();
    if (!q.IsEmpty()) {
        c.cliente = q.Fields(1).AsString().trimmed();
        c.estampa = q.Fields(2).AsString().trimmed();
        c.variante = q.Fields(3).AsString().trimmed();
        c.lote = q.Fields(4).AsString().trimmed();
    }
    c.turno = TurnoDoMomento(QDate::currentDate(), QTime::currentTime(), FuncionarioDoUsuario());
    c.usuario = vUsuario();
    return c;
}
