#include "GeracaoFal.h"
#include "Acesso.h"
#include "DataAccess.h"
#include "FatCliente.h"
#include "Funcoes.h"
#include "GravacaoAtomica.h"
#include "HostError.h"
#include "InstrucoesEmLote.h"
#include "LeiturasFal.h"
#include "LeiturasMaquina.h"
#include "Mensagens.h"
#include "RegrasFal.h"
#include "RegrasProgramacao.h"
#include "SaldoNota.h"
#include "TClientDataSet.h"
#include "TZoDatabase.h"
#include "TZoQuery.h"
#include <QScopeGuard>
#include <QSet>
#include <QWidget>

namespace {
const QString kTituloLog = QStringLiteral("PROGRAMACAO DO TINGIMENTO");
const QString kSemSaldo = QStringLiteral("Não existe saldo na Nota Fiscal de entrada.");
constexpr double kTolerancia = 0.0005;

QString chave(const QString& a, const QString& b) {
    return a.trimmed() + QChar(0x1f) + b.trimmed();
}

// Codes as an SQL list; never empty, so that IN () is never written.
QString listaOuNula(const QSet<QString>& codigos) {
    QStringList lista(codigos.cbegin(), codigos.cend());
    lista.removeAll(QString());
    return lista.isEmpty() ? QStringLiteral("NULL") : ListaSql(lista);
}

QString NaoEncontrado(const ItemNota& item) {
    return QStringLiteral("Item %1 lote %2 não encontrado na Nota Fiscal %3.")
        .arg(item.codigo, item.lote, item.nota);
}

// A refusal found once writing began: the unit is rolled back before it is told.
class RecusaNaGravacao : public std::exception {
public:
    explicit RecusaNaGravacao(QString texto) : m_texto(std::move(texto)) {}
    const QString& Texto() const { return m_texto; }
    const char* what() const noexcept override { return "recusa"; }

private:
    QString m_texto;
};
} // namespace

GeracaoFal::GeracaoFal(QWidget* tela, ItensProgramacao& itens, TZoDatabase& conexao,
                       const ParametrosGeracao& parametros)
    : m_tela(tela), m_itens(itens), m_conexao(conexao), m_parametros(parametros),
      m_titulo(tela ? tela->windowTitle() : QString()) {}

bool GeracaoFal::Recusa(const QString& mensagem) {
    Informa(m_tela, mensagem);
    return false;
}

ItemGeracao GeracaoFal::ItemDaLinha(int linha) const {
    const auto t = [&](const char* campo) { return m_itens.Texto(linha, QLatin1String(campo)); };
    ItemGeracao item;
    item.codigo = t("Codigo");
    item.lote = t("Lote");
    item.cor = t("Cor");
    item.descCor = t("DescCor");
    item.variante = t("Variante");
    item.fluxo = t("Fluxo");
    item.estampa = t("Estampa");
    item.varEst = t("Var_Est");
    item.tingir = t("Tingir");
    item.fal = t("Fal");
    item.partida = t("Partida");
    item.nota = t("Nota");
    item.loteNF = t("LoteNF");
    item.maquina = t("Maquina");
    item.peso = m_itens.Valor(linha, QStringLiteral("Peso")).toDouble();
    item.largura = m_itens.Valor(linha, QStringLiteral("Largura")).toDouble();
    item.fibra1 = m_itens.Valor(linha, QStringLiteral("Fibra1")).toInt();
    item.fibra2 = m_itens.Valor(linha, QStringLiteral("Fibra2")).toInt();
    return item;
}

QList<GeracaoFal::Selecionado> GeracaoFal::Selecionados() const {
    QList<Selecionado> selecionados;
    for (int linha = 0; linha < m_itens.Linhas(); ++linha)
        if (m_itens.Texto(linha, QStringLiteral("Gerar")) == QLatin1String("S"))
            selecionados.append({linha, ItemDaLinha(linha)});
    return selecionados;
}

ItemNota GeracaoFal::ItemNotaDe(const ItemGeracao& item, const QString& cliente) const {
    return {item.nota.trimmed(), cliente.trimmed(), item.codigo.trimmed(),
            LoteDaNota(item.loteNF, item.lote)};
}

// What a sheet holds of each invoice item, as stored in this unit of work.
QHash<ItemNota, double> GeracaoFal::PesoDaFal(const QString& fal) {
    QHash<ItemNota, double> pesos;
    TZoQuery q(nullptr, &m_conexao);
    q.SQL << DBLocal_SQL(QStringLiteral("SELECT I.NOTA, F.CLIENTE, I.CODIGO, I.LOTE, SUM(I.PESO_NF) FROM "
                                        "{FAL_ITEN} I JOIN {FAL} F ON (F.NUMERO = "
                                        "I.FAL) WHERE I.FAL = :FAL AND I.NOTA IS NOT NULL AND I.NOTA <> '' "
                                        "GROUP BY I.NOTA, F.CLIENTE, I.CODIGO, "
                                        "I.LOTE"));
    q.BindValue(QStringLiteral("FAL"), fal);
    q.Open();
    for (q.First(); !q.Eof(); q.Next())
        pesos[{q.Fields(0).AsString().trimmed(), q.Fields(1).AsString().trimmed(),
               q.Fields(2).AsString().trimmed(), q.Fields(3).AsString().trimmed()}] += q.Fields(4).AsFloat();
    return pesos;
}

// The free weight of the selected items' invoice items, what the sheet `fal` already holds of them counted as
// free; an item beyond it is refused under parameter 150 "N", otherwise the user decides.
bool GeracaoFal::ConfereSaldo(const QList<Selecionado>& selecionados, const QString& cliente,
                              const QString& fal) {
    QSet<QString> notas;
    for (const Selecionado& s : selecionados)
        if (!s.item.nota.isEmpty())
            notas.insert(s.item.nota);
    if (notas.isEmpty())
        return true;
    QHash<ItemNota, double> livres;
    TZoQuery q(nullptr, &m_conexao);
    q.SQL << DBLocal_SQL(
                 QStringLiteral("SELECT NOTA, CODCLI, CODIGO, LOTE, PESO_REAL - PESO_PROG FROM {NFITIN} "
                                "WHERE CODCLI = :CODCLI AND NOTA IN (")) +
                 listaOuNula(notas) + QLatin1Char(')');
    q.BindValue(QStringLiteral("CODCLI"), cliente);
    q.Open();
    for (q.First(); !q.Eof(); q.Next())
        livres.insert({q.Fields(0).AsString().trimmed(), q.Fields(1).AsString().trimmed(),
                       q.Fields(2).AsString().trimmed(), q.Fields(3).AsString().trimmed()},
                      q.Fields(4).AsFloat());
    const QHash<ItemNota, double> proprios = fal.isEmpty() ? QHash<ItemNota, double>() : PesoDaFal(fal);
    for (const Selecionado& s : selecionados) {
        const ItemNota item = ItemNotaDe(s.item, cliente);
        if (s.item.nota.isEmpty())
            continue;
        // An item holds weight of one invoice item, which must be there.
        if (!livres.contains(item))
            return Recusa(NaoEncontrado(item));
        if (s.item.peso <= livres.value(item) + proprios.value(item) + kTolerancia)
            continue;
        if (m_parametros.saldoNota == QLatin1String("N"))
            return Recusa(kSemSaldo);
        if (!Pergunta(m_tela, m_titulo,
                      QStringLiteral("Não existe saldo na Nota Fiscal de entrada. Deseja continuar?"), false))
            return false;
    }
    return true;
}

bool GeracaoFal::ConfereItens(const QList<Selecionado>& selecionados, const QString& prazo,
                              const QString& regiaoCliente, bool emAtualizacao) {
    QSet<QString> estampas, variantes, cores, fluxos;
    for (const Selecionado& s : selecionados) {
        estampas.insert(s.item.estampa);
        variantes << s.item.variante << s.item.varEst;
        cores.insert(s.item.cor);
        fluxos.insert(s.item.fluxo);
    }
    // What the checks need, read once for every item.
    QSet<QString> estampasExistentes, receitasLiberadas;
    QHash<QString, QString> indices;
    QHash<QString, int> dias;
    QHash<QString, QString> quadrosInativos;
    {
        TZoQuery q(nullptr, &m_conexao);
        q.SQL << DBLocal_SQL(QStringLiteral("SELECT CODIGO FROM {CADCORTIN} WHERE CODIGO IN (")) +
                     listaOuNula(estampas) + QLatin1Char(')');
        q.Open();
        for (q.First(); !q.Eof(); q.Next())
            estampasExistentes.insert(q.Fields(0).AsString().trimmed());
    }
    {
        TZoQuery q(nullptr, &m_conexao);
        q.SQL << DBLocal_SQL(QStringLiteral("SELECT CODIGO, INDICE FROM {VARIANTE} WHERE CODIGO IN (")) +
                     listaOuNula(variantes) + QLatin1Char(')');
        q.Open();
        for (q.First(); !q.Eof(); q.Next())
            indices.insert(q.Fields(0).AsString().trimmed(), q.Fields(1).AsString().trimmed());
    }
    {
        TZoQuery q(nullptr, &m_conexao);
        q.SQL << DBLocal_SQL(
                     QStringLiteral("SELECT DISTINCT COR, VARIANTE FROM {RECEITA} WHERE LIBERADA = '1' AND "
                                    "COR IN (")) +
                     listaOuNula(cores) + QLatin1Char(')');
        q.Open();
        for (q.First(); !q.Eof(); q.Next())
            receitasLiberadas.insert(chave(q.Fields(0).AsString(), q.Fields(1).AsString()));
    }
    {
        TZoQuery q(nullptr, &m_conexao);
        q.SQL << DBLocal_SQL(QStringLiteral(
                     "SELECT CODIGO, SUM(COALESCE(DIAS, 0)) FROM {ROTEIRO} WHERE CODIGO IN (")) +
                     listaOuNula(fluxos) + QStringLiteral(") GROUP BY CODIGO");
        q.Open();
        for (q.First(); !q.Eof(); q.Next())
            dias.insert(q.Fields(0).AsString().trimmed(), q.Fields(1).AsInteger());
    }
    {
        TZoQuery q(nullptr, &m_conexao);
        q.SQL << DBLocal_SQL(QStringLiteral(
                     "SELECT EQ.ESTAMPA, EQ.VARIANTE, E.NOME FROM {EST_QUADRO} EQ JOIN {QUADRO} Q ON "
                     "(Q.CODIGO = "
                     "EQ.QUADRO) LEFT JOIN {ENTIDADE} E ON (E.CODCLI = Q.PORTADOR) WHERE Q.ATIVO = 'N' AND "
                     "EQ.ESTAMPA IN (")) +
                     listaOuNula(estampas) + QLatin1Char(')');
        q.Open();
        for (q.First(); !q.Eof(); q.Next()) {
            const QString k = chave(q.Fields(0).AsString(), q.Fields(1).AsString());
            if (!quadrosInativos.contains(k))
                quadrosInativos.insert(k, q.Fields(2).AsString().trimmed());
        }
    }
    QList<ItemGeracao> itens;
    for (const Selecionado& s : selecionados)
        itens << s.item;
    QHash<QString, bool> precos; // priced, by region, colour and variant
    QHash<QString, QDate> datasPreco;
    const bool verificaPreco =
        BuscaParametro(QStringLiteral("TIN"), 190).trimmed().toUpper() == QLatin1String("S");
    int tipo = falNormal;
    QString corComum;
    m_diasRoteiro = 0;
    m_falsDosItens.clear();
    for (int i = 0; i < itens.size(); ++i) {
        const ItemGeracao& item = itens.at(i);
        const QString regiao = m_itens.Texto(selecionados.at(i).linha, QStringLiteral("Regiao")).isEmpty()
                                   ? regiaoCliente
                                   : m_itens.Texto(selecionados.at(i).linha, QStringLiteral("Regiao"));
        if (!emAtualizacao) {
            if (item.tingir == QLatin1String("N"))
                tipo = falSoServico;
            if (!item.estampa.isEmpty()) {
                if (!estampasExistentes.contains(item.estampa))
                    return Recusa(QStringLiteral("Estampa não cadastrada."));
                if (item.varEst.isEmpty())
                    return Recusa(QStringLiteral("Estampa preenchida. Favor informar variante estampa."));
                if (!indices.contains(item.varEst))
                    return Recusa(QStringLiteral("Variante estampa não cadastrada."));
            }
            if (tipo == falNormal && !receitasLiberadas.contains(chave(item.cor, item.variante)))
                return Recusa(QStringLiteral("Receita não liberada."));
            if (ItemDuplicado(itens, i))
                return Recusa(
                    QStringLiteral("Item da FAL Duplicado, código e Lote iguais. Verifique os dados e "
                                   "gere novamente."));
            if (const QString recusa = RecusaFibras(item.fibra1, item.fibra2, indices.value(item.variante));
                !recusa.isEmpty())
                return Recusa(recusa);
            if (const QString recusa = RecusaObrigatorios(item); !recusa.isEmpty())
                return Recusa(recusa);
            if (i == 0)
                corComum = item.cor;
            else if (item.cor != corComum)
                return Recusa(
                    QStringLiteral("Os Itens Selecionados para Geração da FAL devem ter a mesma Cor."));
        }
        if (!item.estampa.isEmpty())
            if (const auto inativo = quadrosInativos.constFind(chave(item.estampa, item.varEst));
                inativo != quadrosInativos.cend())
                return Recusa(
                    QStringLiteral("Quadro/Cilindro da Estampa inativo. Portador %1.").arg(*inativo));
        if (verificaPreco) {
            if (prazo.isEmpty())
                return Recusa(QStringLiteral("Prazo do cliente inválido. Impossível continuar."));
            const auto precoZerado = [&](const QString& cor, const QString& variante) {
                const QString k = chave(regiao, chave(cor, variante));
                // Generation asks more than the registry: a price of 0 is no price.
                if (!precos.contains(k))
                    precos.insert(k, RetornaPreco(regiao, cor, variante, prazo, &m_conexao) > 0 &&
                                         VerificaPreco(regiao, cor, variante, prazo, &m_conexao).isEmpty());
                return !precos.value(k);
            };
            if (precoZerado(item.cor, item.variante))
                return Recusa(QStringLiteral("Preço zerado ou não cadastrado na tabela nos seguintes itens: "
                                             "\r\n\r\nCor: %1 - %2\r\nVariante: %3")
                                  .arg(item.cor, item.descCor, item.variante));
            if (!item.estampa.isEmpty() && !item.varEst.isEmpty() && precoZerado(item.estampa, item.varEst))
                return Recusa(QStringLiteral("Preço zerado ou não cadastrado na tabela nos seguintes itens: "
                                             "\r\n\r\nEstampa: %1\r\nVariante Estampa: %2")
                                  .arg(item.estampa, item.varEst));
        }
        if (!emAtualizacao) {
            const QString k = chave(regiao, chave(item.cor, item.variante));
            if (!datasPreco.contains(k))
                datasPreco.insert(k, UltimaAlteracaoPreco(regiao, item.cor, item.variante, &m_conexao));
            if (const QString recusa =
                    RecusaIdadePreco(datasPreco.value(k), m_parametros.idadePreco, QDate::currentDate());
                !recusa.isEmpty())
                return Recusa(recusa + QStringLiteral("\rCor: %1\rVariante: %2\rTabela de Preço: %3.")
                                           .arg(item.cor, item.variante, regiao));
        }
        m_diasRoteiro = std::max(m_diasRoteiro, dias.value(item.fluxo));
        if (!item.fal.isEmpty() && !m_falsDosItens.contains(item.fal))
            m_falsDosItens << item.fal;
    }
    return true;
}

bool GeracaoFal::RegiaoExiste(const QString& regiao) {
    TZoQuery q(nullptr, &m_conexao);
    q.SQL << DBLocal_SQL(QStringLiteral("SELECT FIRST 1 1 FROM {REGIAO} WHERE REGIAO = :REGIAO"));
    q.BindValue(QStringLiteral("REGIAO"), regiao);
    q.Open();
    return !q.IsEmpty();
}

QString GeracaoFal::Grafico(const QString& cor, const QString& variante) {
    TZoQuery q(nullptr, &m_conexao);
    q.SQL << DBLocal_SQL(
        QStringLiteral("SELECT FIRST 1 GRAFICO FROM {RECEITA} WHERE COR = :COR AND VARIANTE = :VARIANTE"));
    q.BindValue(QStringLiteral("COR"), cor);
    q.BindValue(QStringLiteral("VARIANTE"), variante);
    q.Open();
    return q.IsEmpty() ? QString() : q.Fields(0).AsString().trimmed();
}

// The sheet's steps laid out afresh from its stored items: one per fabric and phase, in route order.
void GeracaoFal::GravaPassos(const QString& fal, const QString& partida, const QString& grafico) {
    QList<ItemPasso> itens;
    QSet<QString> fluxos;
    {
        TZoQuery q(nullptr, &m_conexao);
        q.SQL << DBLocal_SQL(
            QStringLiteral("SELECT CODIGO, ORD_IT, FLUXO FROM {FAL_ITEN} WHERE FAL = :FAL ORDER BY ORD_IT"));
        q.BindValue(QStringLiteral("FAL"), fal);
        q.Open();
        for (q.First(); !q.Eof(); q.Next()) {
            itens.append({q.Fields(0).AsString().trimmed(), q.Fields(1).AsInteger(),
                          q.Fields(2).AsString().trimmed()});
            fluxos.insert(itens.last().fluxo);
        }
    }
    // A sheet's steps are hundreds of rows: they travel fifty to a round trip.
    const QString tabela = DBLocal(QStringLiteral("PROCESSO_TIN"));
    const auto nulo = [](const QString& texto) { return texto.isEmpty() ? QVariant() : QVariant(texto); };
    InstrucoesEmLote lote(m_conexao);
    lote.Adiciona(QStringLiteral("DELETE FROM %1 WHERE FAL = %2").arg(tabela, Aspas(fal)));
    for (const PassoFal& passo : LayoutPassos(itens, LeRoteiros(fluxos, &m_conexao)))
        lote.Adiciona(QStringLiteral("INSERT INTO %1 (FAL, CODIGO, PARTIDA, ORDEM, CONCLUIDO, GRAFICO, FASE, "
                                     "DES_FASE, ORD_IT) VALUES (%2, %3, %4, %5, 'N', %6, %7, %8, %9)")
                          .arg(tabela, Aspas(fal), Aspas(passo.codigo), ValorSql(nulo(partida)))
                          .arg(passo.ordem)
                          .arg(ValorSql(nulo(grafico)), Aspas(passo.fase), Aspas(passo.descricao.left(50)))
                          .arg(passo.ordIt));
    lote.Executa();
}

// The invoice items a move left below nothing, named for the user; empty when every one still holds.
QString GeracaoFal::ItensSemSaldo(const QHash<ItemNota, double>& movidos) {
    QList<ItemNota> tomados;
    for (auto it = movidos.cbegin(); it != movidos.cend(); ++it)
        if (it.value() > kTolerancia)
            tomados << it.key();
    const QHash<ItemNota, double> livres = PesosLivresNota(tomados, &m_conexao);
    for (const ItemNota& item : std::as_const(tomados))
        if (livres.value(item) < -kTolerancia)
            return QStringLiteral("%1\rNota %2, tecido %3, lote %4.")
                .arg(kSemSaldo, item.nota, item.codigo, item.lote);
    return {};
}

// The first of the invoice items the sheet's items are to hold weight of that its invoice does not have, as
// the refusal names it; empty when every one is there. Read in the caller's unit of work when one is open.
QString GeracaoFal::ItemForaDaNota(const QList<ItemNota>& itens) {
    const std::optional<ItemNota> falta = ItemNotaInexistente(itens, &m_conexao);
    return falta ? NaoEncontrado(*falta) : QString();
}

bool GeracaoFal::Gera(const CabecalhoProgramacao& cabecalho) {
    m_itens.ConcluiLinha();
    const QString cliente = cabecalho.cliente;
    QString prazo, regiaoCliente, tipoEntidade;
    {
        TZoQuery q(nullptr, &m_conexao);
        q.SQL << DBLocal_SQL(
            QStringLiteral("SELECT PRAZO, TABELA, TIPO_ENTIDADE FROM {ENTIDADE} WHERE CODCLI = :CODCLI"));
        q.BindValue(QStringLiteral("CODCLI"), cliente);
        q.Open();
        if (!q.IsEmpty()) {
            prazo = q.Fields(0).AsString().trimmed();
            regiaoCliente = q.Fields(1).AsString().trimmed();
            tipoEntidade = q.Fields(2).AsString();
        }
    }
    const QList<Selecionado> selecionados = Selecionados();
    QList<ItemGeracao> itens;
    double total = 0, largura = 0;
    for (const Selecionado& s : selecionados) {
        itens << s.item;
        total += s.item.peso;
        largura = std::max(largura, s.item.largura);
    }
    if (!ConfereItens(selecionados, prazo, regiaoCliente, false))
        return false;
    QString proposto;
    for (const Selecionado& s : selecionados)
        if (!s.item.fal.isEmpty())
            proposto = s.item.fal;
    if (!ConfereSaldo(selecionados, cliente, proposto))
        return false;
    const QString maquina = itens.isEmpty() ? QString() : itens.first().maquina;
    const QString variante = itens.isEmpty() ? QString() : itens.first().variante;
    if (m_parametros.credito && !itens.isEmpty()) {
        const QString regiao = m_itens.Texto(selecionados.first().linha, QStringLiteral("Regiao"));
        const double valor = RetornaPreco(regiao, itens.first().cor, variante, prazo, &m_conexao) * total +
                             ValorAbertoFals(cliente, m_falsDosItens, &m_conexao);
        if (!LimiteCredito(cliente, valor)) {
            Informa(m_tela, QStringLiteral("Cliente Excedeu o Limite de Crédito."));
            if (!Acessa(QStringLiteral("TFmTngProg"), QStringLiteral("A"), QStringLiteral("1")))
                return false;
        }
    }
    if (const QString fora = ForaDaCapacidade(
            maquina, variante, FaixasCapacidade(maquina, variante, &m_conexao), largura, total);
        !fora.isEmpty())
        return Recusa(fora);
    {
        TZoQuery q(nullptr, &m_conexao);
        q.SQL << DBLocal_SQL(
            QStringLiteral("SELECT PESO_MIN, PESO_MAX FROM {MAQ_TIN} WHERE CODIGO = :CODIGO"));
        q.BindValue(QStringLiteral("CODIGO"), maquina);
        q.Open();
        if (!q.IsEmpty())
            if (const QString fora = ForaLimiteMaquina(total, q.Fields(0).AsFloat(), q.Fields(1).AsFloat());
                !fora.isEmpty())
                return Recusa(fora);
    }
    if (!cabecalho.entrega.isValid())
        return Recusa(QStringLiteral("Data de Entrega Inválida."));
    if (!cabecalho.entrada.isValid())
        return Recusa(QStringLiteral("Data de Entrada Inválida."));
    if (selecionados.isEmpty())
        return Recusa(QStringLiteral("Selecione um Item Para gerar a FAL."));
    // The closing save of the programme must pass too, before anything is written.
    if (!tipoEntidade.contains(QLatin1Char('C')))
        return Recusa(
            QStringLiteral("Não é um Cliente válido, verificar o tipo do cliente. Impossível Continuar."));

    QString numero =
        proposto.isEmpty() ? Proximo(QStringLiteral("FAL"), QStringLiteral("NUMERO"), 6) : proposto;
    if (!InputQuery(m_tela, QStringLiteral("Geração de FAL."), QStringLiteral("Número da FAL."), numero))
        return false;
    numero = numero.trimmed();
    if (const QString recusa = RecusaNumeroFal(numero); !recusa.isEmpty())
        return Recusa(recusa);
    bool substitui = false;
    {
        TZoQuery q(nullptr, &m_conexao);
        q.SQL << DBLocal_SQL(
            QStringLiteral(
                "SELECT F.CLIENTE, (SELECT FIRST 1 1 FROM {PROCESSO_TIN} P WHERE P.FAL = F.NUMERO AND "
                "%1) AS INICIADA, (SELECT FIRST 1 1 FROM {TNG_CONSUMOS} C WHERE C.FAL = F.NUMERO AND "
                "C.BAIXADO = 'S') AS BAIXADA FROM {FAL} F WHERE F.NUMERO = :NUMERO")
                .arg(CondicaoPassoIniciado(QStringLiteral("P"))));
        q.BindValue(QStringLiteral("NUMERO"), numero);
        q.Open();
        if (!q.IsEmpty()) {
            if (q.Fields(0).AsString().trimmed() != cliente)
                return Recusa(QStringLiteral("FAL Com Clientes Diferentes. Impossível Substituir."));
            if (!Pergunta(m_tela, m_titulo, QStringLiteral("FAL Já Gerada. Deseja atualizar as informações?"),
                          false))
                return false;
            substitui = true;
            if (!q.Fields(1).IsNull())
                return Recusa(QStringLiteral("FAL em Processo. Impossível Substituir."));
            if (!q.Fields(2).IsNull())
                return Recusa(QStringLiteral("Consumos da FAL já Baixados. Impossível Substituir."));
        }
    }
    // A remainder under 0.1 kg of an invoice item goes with the item, if the user wants.
    {
        const QHash<ItemNota, double> proprios = substitui ? PesoDaFal(numero) : QHash<ItemNota, double>();
        QList<ItemNota> notas;
        for (const Selecionado& s : selecionados)
            if (!s.item.nota.isEmpty())
                notas << ItemNotaDe(s.item, cliente);
        const QHash<ItemNota, double> livres = PesosLivresNota(notas, &m_conexao);
        for (int i = 0; i < selecionados.size(); ++i) {
            if (itens.at(i).nota.isEmpty())
                continue;
            const ItemNota item = ItemNotaDe(itens.at(i), cliente);
            const double saldo = livres.value(item) + proprios.value(item);
            if (OfereceAjuste(saldo, itens.at(i).peso) &&
                Pergunta(m_tela, m_titulo,
                         QStringLiteral("Existe diferença no saldo.\rDeseja ajustar o mesmo?"), false)) {
                itens[i].peso = saldo;
                m_itens.Define(selecionados.at(i).linha, QStringLiteral("Peso"), saldo);
            }
        }
        m_itens.ConcluiLinha();
    }

    // Every check passed: one unit of work on the second connection.
    const int tipo = TipoDaGeracao(itens);
    const ItemGeracao& primeiro = itens.first();
    const int linhaPrimeira = selecionados.first().linha;
    QHash<int, QVariant> falAnterior, regiaoAnterior;
    for (const Selecionado& s : selecionados) {
        falAnterior.insert(s.linha, m_itens.Valor(s.linha, QStringLiteral("Fal")));
        regiaoAnterior.insert(s.linha, m_itens.Valor(s.linha, QStringLiteral("Regiao")));
    }
    const auto desfazLinhas = [&] {
        for (const Selecionado& s : selecionados) {
            m_itens.Define(s.linha, QStringLiteral("Fal"), falAnterior.value(s.linha));
            m_itens.Define(s.linha, QStringLiteral("Regiao"), regiaoAnterior.value(s.linha));
        }
        m_itens.ConcluiLinha();
    };
    ItensProgramacao::Gravacao gravacao;
    try {
        GravacaoAtomica unidade(m_conexao);
        QHash<ItemNota, double> movidos;
        QList<ItemNota> tomados;
        double gramaturaEst = 0;
        if (substitui) {
            TZoQuery trava(nullptr, &m_conexao);
            trava.SQL << DBLocal_SQL(
                QStringLiteral("SELECT NUMERO FROM {FAL} WHERE NUMERO = :NUMERO WITH LOCK"));
            trava.BindValue(QStringLiteral("NUMERO"), numero);
            trava.Open();
            const QHash<ItemNota, double> antes = PesoDaFal(numero);
            for (auto it = antes.cbegin(); it != antes.cend(); ++it)
                movidos[it.key()] -= it.value();
            TZoQuery gramatura(nullptr, &m_conexao);
            gramatura.SQL << DBLocal_SQL(QStringLiteral(
                "SELECT FIRST 1 GRAMATURA_EST FROM {FAL_ITEN} WHERE FAL = :FAL AND GRAMATURA_EST IS "
                "NOT NULL"));
            gramatura.BindValue(QStringLiteral("FAL"), numero);
            gramatura.Open();
            gramaturaEst = gramatura.IsEmpty() ? 0 : gramatura.Fields(0).AsFloat();
            for (const char* instrucao :
                 {"DELETE FROM {PROCESSO_TIN} WHERE FAL = :NUMERO",
                  "DELETE FROM {TNG_CONSUMOS} WHERE FAL = :NUMERO",
                  "DELETE FROM {FAL_ITEN} WHERE FAL = :NUMERO", "DELETE FROM {FAL} WHERE NUMERO = :NUMERO",
                  "UPDATE {TNG_PROG} SET FAL = NULL WHERE FAL = :NUMERO"}) {
                TZoQuery q(nullptr, &m_conexao);
                q.SQL << DBLocal_SQL(QLatin1String(instrucao));
                q.BindValue(QStringLiteral("NUMERO"), numero);
                q.ExecSQL();
            }
        }
        int prioridade = 1;
        {
            TZoQuery q(nullptr, &m_conexao);
            // MAX of the bare column, which its descending index answers at once.
            q.SQL << DBLocal_SQL(QStringLiteral("SELECT MAX(ORDEM) FROM {FAL}"));
            q.Open();
            if (!q.Fields(0).IsNull())
                prioridade = q.Fields(0).AsInteger() + 1;
        }
        QString regiao = m_itens.Texto(linhaPrimeira, QStringLiteral("Regiao"));
        if (!regiaoCliente.isEmpty() && (regiao.isEmpty() || !RegiaoExiste(regiao)))
            regiao = regiaoCliente;
        {
            TZoQuery q(nullptr, &m_conexao);
            q.SQL << DBLocal_SQL(QStringLiteral(
                "INSERT INTO {FAL} (NUMERO, CLIENTE, COR, VARIANTE, ROTEIRO, MAQUINA, TABPRECO, PARTIDA, "
                "ESTAMPA, "
                "VAR_EST, PRAZO, DATA_INI, DATA_FIN, OBS, TIPO, STATUS, ORDEM, FIBRA1, FIBRA2, NUM_REPROC) "
                "VALUES "
                "(:NUMERO, :CLIENTE, :COR, :VARIANTE, :ROTEIRO, :MAQUINA, :TABPRECO, :PARTIDA, :ESTAMPA, "
                ":VAR_EST, "
                ":PRAZO, :DATA_INI, :DATA_FIN, :OBS, :TIPO, 'A', :ORDEM, :FIBRA1, :FIBRA2, '')"));
            const QDate hoje = QDate::currentDate();
            const QList<QPair<const char*, QVariant>> valores = {
                {"NUMERO", numero},
                {"CLIENTE", cliente},
                {"COR", primeiro.cor},
                {"VARIANTE", primeiro.variante},
                {"ROTEIRO", primeiro.fluxo},
                {"MAQUINA", primeiro.maquina},
                {"TABPRECO", regiao},
                {"PARTIDA", primeiro.partida},
                {"ESTAMPA", primeiro.estampa},
                {"VAR_EST", primeiro.varEst},
                {"PRAZO", prazo.isEmpty() ? QStringLiteral("00") : prazo},
                {"DATA_INI", hoje},
                {"DATA_FIN", EntregaDaFal(cabecalho.entrega, m_diasRoteiro, hoje)},
                {"OBS", m_itens.Texto(linhaPrimeira, QStringLiteral("Obs")).left(250)},
                {"TIPO", tipo},
                {"ORDEM", prioridade},
                {"FIBRA1", primeiro.fibra1},
                {"FIBRA2", primeiro.fibra2}};
            for (const auto& [nome, valor] : valores)
                q.BindValue(QLatin1String(nome),
                            valor.typeId() == QMetaType::QString && valor.toString().isEmpty()
                                ? QVariant(QMetaType::fromType<QString>())
                                : valor);
            q.ExecSQL();
        }
        {
            TZoQuery q(nullptr, &m_conexao);
            q.SQL << DBLocal_SQL(QStringLiteral(
                "INSERT INTO {FAL_ITEN} (NOTA, FAL, CODIGO, LOTE, ROLO, PESO, PESO_NF, FLUXO, GRAMATURA, "
                "FATURADO, "
                "OBSERVACAO, LARGURA, ORD_IT, GRAMATURA_EST) VALUES (:NOTA, :FAL, :CODIGO, :LOTE, :ROLO, "
                ":PESO, "
                ":PESO_NF, :FLUXO, :GRAMATURA, 'A', :OBSERVACAO, :LARGURA, :ORD_IT, :GRAMATURA_EST)"));
            for (int i = 0; i < selecionados.size(); ++i) {
                const ItemGeracao& item = itens.at(i);
                const int linha = selecionados.at(i).linha;
                const double pesoNf = item.nota.isEmpty() ? 0 : PesoTomadoNota(tipo, item.peso, false);
                q.BindValue(QStringLiteral("NOTA"), item.nota);
                q.BindValue(QStringLiteral("FAL"), numero);
                q.BindValue(QStringLiteral("CODIGO"), item.codigo);
                q.BindValue(QStringLiteral("LOTE"), LoteGravado(item));
                q.BindValue(QStringLiteral("ROLO"), m_itens.Valor(linha, QStringLiteral("Rolo")).toInt());
                q.BindValue(QStringLiteral("PESO"), item.peso);
                q.BindValue(QStringLiteral("PESO_NF"), pesoNf);
                q.BindValue(QStringLiteral("FLUXO"), item.fluxo);
                q.BindValue(QStringLiteral("GRAMATURA"),
                            m_itens.Valor(linha, QStringLiteral("Gramatura")).toDouble());
                q.BindValue(QStringLiteral("OBSERVACAO"), m_itens.Texto(linha, QStringLiteral("Observacao")));
                q.BindValue(QStringLiteral("LARGURA"), item.largura);
                q.BindValue(QStringLiteral("ORD_IT"), linha + 1);
                q.BindValue(QStringLiteral("GRAMATURA_EST"), gramaturaEst);
                q.ExecSQL();
                if (pesoNf != 0) {
                    movidos[ItemNotaDe(item, cliente)] += pesoNf;
                    tomados << ItemNotaDe(item, cliente);
                }
            }
        }
        // An invoice item deleted or renamed since the checks holds nothing.
        if (const QString falta = ItemForaDaNota(tomados); !falta.isEmpty())
            throw RecusaNaGravacao(falta);
        GravaPassos(numero, primeiro.partida, Grafico(primeiro.cor, primeiro.variante));
        for (auto it = movidos.begin(); it != movidos.end();)
            it = qAbs(it.value()) <= kTolerancia ? movidos.erase(it) : std::next(it);
        MovePesosNota(movidos, &m_conexao);
        if (m_parametros.saldoNota == QLatin1String("N"))
            if (const QString falta = ItensSemSaldo(movidos); !falta.isEmpty())
                throw RecusaNaGravacao(falta);
        QString corAnterior = primeiro.cor;
        for (const Selecionado& s : selecionados) {
            m_itens.Define(s.linha, QStringLiteral("Fal"), numero);
            if (m_itens.Texto(s.linha, QStringLiteral("Regiao")).isEmpty() && !regiaoCliente.isEmpty())
                m_itens.Define(s.linha, QStringLiteral("Regiao"), regiaoCliente);
            const QString antes = m_itens.Texto(s.linha, QStringLiteral("CorAnt"));
            if (!antes.isEmpty() && antes != s.item.cor)
                corAnterior = antes;
        }
        m_itens.ConcluiLinha();
        gravacao = m_itens.GravaDados(cabecalho, &m_conexao);
        QList<int> armazenadas;
        for (const Selecionado& s : selecionados)
            if (m_itens.Armazenado(s.linha))
                armazenadas << s.linha;
        if (const int perdida = m_itens.GravaLinhasFal(cabecalho, armazenadas, &m_conexao); perdida >= 0)
            throw RecusaNaGravacao(
                QStringLiteral("O item %1 foi excluído desta programação por outro usuário. Nada "
                               "foi gravado.")
                    .arg(m_itens.Texto(perdida, QStringLiteral("Codigo"))));
        GeraLog(kTituloLog,
                QStringLiteral("GERACAO DA FAL %1 NA PROGRAMACAO %2 COR %3 PARA %4")
                    .arg(numero, cabecalho.numero, corAnterior, primeiro.cor),
                opInclusao, numero, m_tela, &m_conexao);
        unidade.Confirma();
    } catch (const RecusaNaGravacao& recusa) {
        desfazLinhas();
        return Recusa(recusa.Texto());
    } catch (...) {
        desfazLinhas();
        throw;
    }
    m_itens.AplicaGravacao(gravacao);
    Informa(m_tela, QStringLiteral("FAL Gerada Com Sucesso."));
    return true;
}

bool GeracaoFal::Atualiza(const CabecalhoProgramacao& cabecalho) {
    m_itens.ConcluiLinha();
    const QString cliente = cabecalho.cliente;
    QString prazo, regiaoCliente;
    {
        TZoQuery q(nullptr, &m_conexao);
        q.SQL << DBLocal_SQL(QStringLiteral("SELECT PRAZO, TABELA FROM {ENTIDADE} WHERE CODCLI = :CODCLI"));
        q.BindValue(QStringLiteral("CODCLI"), cliente);
        q.Open();
        if (!q.IsEmpty()) {
            prazo = q.Fields(0).AsString().trimmed();
            regiaoCliente = q.Fields(1).AsString().trimmed();
        }
    }
    QList<Selecionado> selecionados;
    QStringList fals;
    for (const Selecionado& s : Selecionados())
        if (!s.item.fal.isEmpty()) {
            selecionados << s;
            if (!fals.contains(s.item.fal))
                fals << s.item.fal;
        }
    if (selecionados.isEmpty())
        return Recusa(QStringLiteral("Nenhum registro com FAL."));

    // Each item is found in its sheet by the fabric, lot and route it had when the programme was loaded.
    struct Armazenado {
        QString fal, codigo, lote, fluxo, nota;
        double peso = 0, pesoNf = 0;
        QVariant ordIt; // which of the sheet's items, should two come to share fabric, lot and route
    };
    QHash<QString, int> tipos;
    QHash<QString, QPair<QString, QString>> coresFal;
    const auto leArmazenados = [&] {
        QList<Armazenado> lidos;
        TZoQuery q(nullptr, &m_conexao);
        q.SQL << DBLocal_SQL(
                     QStringLiteral("SELECT I.FAL, I.CODIGO, I.LOTE, I.FLUXO, I.NOTA, I.PESO, I.PESO_NF, "
                                    "F.TIPO, F.COR, F.VARIANTE, I.ORD_IT FROM {FAL_ITEN} I JOIN {FAL} F ON "
                                    "(F.NUMERO = I.FAL) WHERE I.FAL IN (")) +
                     ListaSql(fals) + QStringLiteral(") ORDER BY I.FAL, I.ORD_IT");
        q.Open();
        for (q.First(); !q.Eof(); q.Next()) {
            lidos.append({q.Fields(0).AsString().trimmed(), q.Fields(1).AsString().trimmed(),
                          q.Fields(2).AsString().trimmed(), q.Fields(3).AsString().trimmed(),
                          q.Fields(4).AsString().trimmed(), q.Fields(5).AsFloat(), q.Fields(6).AsFloat(),
                          q.Fields(10).Value()});
            tipos.insert(lidos.last().fal, q.Fields(7).AsInteger());
            coresFal.insert(lidos.last().fal,
                            {q.Fields(8).AsString().trimmed(), q.Fields(9).AsString().trimmed()});
        }
        return lidos;
    };
    const QList<Armazenado> armazenados = leArmazenados();
    QList<int> encontrados; // index in armazenados of each selected item
    for (const Selecionado& s : selecionados) {
        const int linha = s.linha;
        const QString codigo = m_itens.Texto(linha, QStringLiteral("Codigo_Ant"));
        const QString lote = LoteDaNota(m_itens.Texto(linha, QStringLiteral("LoteNF_Ant")),
                                        m_itens.Texto(linha, QStringLiteral("LoteOrig")));
        const QString fluxo = m_itens.Texto(linha, QStringLiteral("Fluxo_Ant"));
        int achado = -1;
        for (int i = 0; i < armazenados.size() && achado < 0; ++i)
            if (armazenados.at(i).fal == s.item.fal && armazenados.at(i).codigo == codigo &&
                armazenados.at(i).fluxo == fluxo &&
                (armazenados.at(i).lote == lote ||
                 armazenados.at(i).lote == m_itens.Texto(linha, QStringLiteral("LoteOrig"))) &&
                !encontrados.contains(i))
                achado = i;
        if (achado < 0)
            return Recusa(QStringLiteral("O item %1 lote %2 não foi encontrado na FAL %3. Nada foi gravado.")
                              .arg(codigo, m_itens.Texto(linha, QStringLiteral("LoteOrig")), s.item.fal));
        encontrados << achado;
    }
    // A sheet never ends up with two items of one fabric and lot, as generation refuses: each item must stay
    // the one its programme row finds.
    {
        QHash<int, QString> depois;
        for (int i = 0; i < armazenados.size(); ++i)
            depois.insert(
                i, chave(armazenados.at(i).fal, chave(armazenados.at(i).codigo, armazenados.at(i).lote)));
        for (int i = 0; i < selecionados.size(); ++i) {
            const ItemGeracao& item = selecionados.at(i).item;
            depois.insert(encontrados.at(i), chave(item.fal, chave(item.codigo, LoteGravado(item))));
        }
        QSet<QString> vistos;
        for (const QString& k : std::as_const(depois)) {
            if (vistos.contains(k))
                return Recusa(
                    QStringLiteral("Item da FAL Duplicado, código e Lote iguais. Verifique os dados e gere "
                                   "novamente."));
            vistos.insert(k);
        }
    }
    // A sheet item weighs something, as generation requires: an update to nothing or less would leave the
    // sheet holding a negative weight of the invoice.
    for (const Selecionado& s : selecionados)
        if (!(s.item.peso > 0))
            return Recusa(QStringLiteral("Peso deve ser maior que 0."));
    // An update keeps each sheet's colour and variant: its header, recipe and prices go by them. Changing
    // them is a new generation over the sheet.
    for (const Selecionado& s : selecionados)
        if (s.item.cor != coresFal.value(s.item.fal).first ||
            s.item.variante != coresFal.value(s.item.fal).second)
            return Recusa(QStringLiteral("A cor ou a variante do item %1 não é a da FAL %2 (cor %3, variante "
                                         "%4). Para trocá-las, gere a FAL novamente.")
                              .arg(s.item.codigo, s.item.fal, coresFal.value(s.item.fal).first,
                                   coresFal.value(s.item.fal).second));
    // The sheets' totals as they will be, against the machine each will be on.
    QHash<QString, double> totais;
    for (const Armazenado& a : std::as_const(armazenados))
        totais[a.fal] += a.peso;
    QHash<QString, QString> maquinas;
    for (int i = 0; i < selecionados.size(); ++i) {
        totais[selecionados.at(i).item.fal] +=
            selecionados.at(i).item.peso - armazenados.at(encontrados.at(i)).peso;
        maquinas.insert(selecionados.at(i).item.fal, selecionados.at(i).item.maquina);
    }
    for (const QString& fal : std::as_const(fals)) {
        TZoQuery q(nullptr, &m_conexao);
        q.SQL << DBLocal_SQL(
            QStringLiteral("SELECT PESO_MIN, PESO_MAX FROM {MAQ_TIN} WHERE CODIGO = :CODIGO"));
        q.BindValue(QStringLiteral("CODIGO"), maquinas.value(fal));
        q.Open();
        if (q.IsEmpty())
            continue;
        if (const QString fora =
                ForaLimiteMaquina(totais.value(fal), q.Fields(0).AsFloat(), q.Fields(1).AsFloat());
            !fora.isEmpty())
            return Recusa(QString(fora).replace(QStringLiteral("Peso total da FAL "),
                                                QStringLiteral("Peso total da FAL %1 ").arg(fal)));
    }
    if (!ConfereItens(selecionados, prazo, regiaoCliente, true))
        return false;
    // Invoice weight: each invoice item moves by what the sheets will hold of it less what they hold.
    const auto pesosMovidos = [&](const QList<Armazenado>& estado) {
        QHash<ItemNota, double> movidos;
        for (int i = 0; i < selecionados.size(); ++i) {
            const ItemGeracao& item = selecionados.at(i).item;
            const Armazenado& antes = armazenados.at(encontrados.at(i));
            const auto agora = std::find_if(estado.cbegin(), estado.cend(), [&](const Armazenado& a) {
                return a.fal == antes.fal && a.codigo == antes.codigo && a.lote == antes.lote &&
                       a.fluxo == antes.fluxo && a.ordIt == antes.ordIt;
            });
            if (agora == estado.cend())
                throw RecusaNaGravacao(
                    QStringLiteral("O item %1 lote %2 não foi encontrado na FAL %3. Nada foi gravado.")
                        .arg(antes.codigo, antes.lote, item.fal));
            if (!agora->nota.isEmpty() && agora->pesoNf != 0)
                movidos[{agora->nota, cliente, agora->codigo, agora->lote}] -= agora->pesoNf;
            if (!item.nota.isEmpty())
                movidos[ItemNotaDe(item, cliente)] += PesoTomadoNota(tipos.value(item.fal), item.peso, false);
        }
        for (auto it = movidos.begin(); it != movidos.end();)
            it = qAbs(it.value()) <= kTolerancia ? movidos.erase(it) : std::next(it);
        return movidos;
    };
    // An item holds weight only of an invoice item that is there, as generation asks.
    QList<ItemNota> itensDaNota;
    for (const Selecionado& s : selecionados)
        if (!s.item.nota.isEmpty() && PesoTomadoNota(tipos.value(s.item.fal), s.item.peso, false) != 0)
            itensDaNota << ItemNotaDe(s.item, cliente);
    if (const QString falta = ItemForaDaNota(itensDaNota); !falta.isEmpty())
        return Recusa(falta);
    const QHash<ItemNota, double> previstos = pesosMovidos(armazenados);
    {
        QList<ItemNota> tomados;
        for (auto it = previstos.cbegin(); it != previstos.cend(); ++it)
            if (it.value() > 0)
                tomados << it.key();
        const QHash<ItemNota, double> livres = PesosLivresNota(tomados, &m_conexao);
        for (const ItemNota& item : std::as_const(tomados))
            if (previstos.value(item) > livres.value(item) + kTolerancia) {
                if (m_parametros.saldoNota == QLatin1String("N"))
                    return Recusa(kSemSaldo);
                if (!Pergunta(m_tela, m_titulo,
                              QStringLiteral("Não existe saldo na Nota Fiscal de entrada. Deseja continuar?"),
                              false))
                    return false;
                break;
            }
    }

    try {
        GravacaoAtomica unidade(m_conexao);
        // The sheets locked, what they hold is read again: another station may have updated them while the
        // questions were open, and the invoice moves by what is stored now.
        {
            TZoQuery trava(nullptr, &m_conexao);
            trava.SQL << DBLocal_SQL(QStringLiteral("SELECT NUMERO FROM {FAL} WHERE NUMERO IN (")) +
                             ListaSql(fals) + QStringLiteral(") WITH LOCK");
            trava.Open();
        }
        const QHash<ItemNota, double> movidos = pesosMovidos(leArmazenados());
        if (const QString falta = ItemForaDaNota(itensDaNota); !falta.isEmpty())
            throw RecusaNaGravacao(falta);
        TZoQuery falQ(nullptr, &m_conexao);
        falQ.SQL << DBLocal_SQL(QStringLiteral("UPDATE {FAL} SET ESTAMPA = :ESTAMPA, VAR_EST = :VAR_EST, "
                                               "PARTIDA = :PARTIDA, OBS = :OBS, TABPRECO = "
                                               ":TABPRECO, MAQUINA = :MAQUINA WHERE NUMERO = :NUMERO"));
        TZoQuery itemQ(nullptr, &m_conexao);
        itemQ.SQL << DBLocal_SQL(QStringLiteral(
            "UPDATE {FAL_ITEN} SET NOTA = :NOTA, LOTE = :LOTE, LARGURA = :LARGURA, GRAMATURA = :GRAMATURA, "
            "OBSERVACAO = :OBSERVACAO, ROLO = :ROLO, PESO = :PESO, PESO_NF = :PESO_NF, CODIGO = :CODIGO, "
            "FLUXO = :FLUXO WHERE FAL = :FAL AND CODIGO = :CODIGO_ANT AND FLUXO = :FLUXO_ANT AND LOTE = "
            ":LOTE_ANT AND ORD_IT IS NOT DISTINCT FROM :ORD_IT"));
        const auto nulo = [](const QString& texto) {
            return texto.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(texto);
        };
        for (int i = 0; i < selecionados.size(); ++i) {
            const ItemGeracao& item = selecionados.at(i).item;
            const int linha = selecionados.at(i).linha;
            const Armazenado& antes = armazenados.at(encontrados.at(i));
            falQ.BindValue(QStringLiteral("ESTAMPA"), nulo(item.estampa));
            falQ.BindValue(QStringLiteral("VAR_EST"), nulo(item.varEst));
            falQ.BindValue(QStringLiteral("PARTIDA"), nulo(item.partida));
            falQ.BindValue(QStringLiteral("OBS"),
                           nulo(m_itens.Texto(linha, QStringLiteral("Obs")).left(250)));
            falQ.BindValue(QStringLiteral("TABPRECO"), nulo(m_itens.Texto(linha, QStringLiteral("Regiao"))));
            falQ.BindValue(QStringLiteral("MAQUINA"), nulo(item.maquina));
            falQ.BindValue(QStringLiteral("NUMERO"), item.fal);
            falQ.ExecSQL();
            itemQ.BindValue(QStringLiteral("NOTA"), item.nota);
            itemQ.BindValue(QStringLiteral("LOTE"), LoteGravado(item));
            itemQ.BindValue(QStringLiteral("LARGURA"), item.largura);
            itemQ.BindValue(QStringLiteral("GRAMATURA"),
                            m_itens.Valor(linha, QStringLiteral("Gramatura")).toDouble());
            itemQ.BindValue(QStringLiteral("OBSERVACAO"), m_itens.Texto(linha, QStringLiteral("Observacao")));
            itemQ.BindValue(QStringLiteral("ROLO"), m_itens.Valor(linha, QStringLiteral("Rolo")).toInt());
            itemQ.BindValue(QStringLiteral("PESO"), item.peso);
            itemQ.BindValue(QStringLiteral("PESO_NF"),
                            item.nota.isEmpty() ? 0.0
                                                : PesoTomadoNota(tipos.value(item.fal), item.peso, false));
            itemQ.BindValue(QStringLiteral("CODIGO"), item.codigo);
            itemQ.BindValue(QStringLiteral("FAL"), item.fal);
            itemQ.BindValue(QStringLiteral("CODIGO_ANT"), antes.codigo);
            // The route goes with the item, so that the programme row finds it again once read back.
            itemQ.BindValue(QStringLiteral("FLUXO"), item.fluxo);
            itemQ.BindValue(QStringLiteral("FLUXO_ANT"), antes.fluxo);
            itemQ.BindValue(QStringLiteral("LOTE_ANT"), antes.lote);
            itemQ.BindValue(QStringLiteral("ORD_IT"), antes.ordIt);
            itemQ.ExecSQL();
            if (itemQ.RowsAffected() == 0)
                throw RecusaNaGravacao(
                    QStringLiteral("O item %1 lote %2 não foi encontrado na FAL %3. Nada foi gravado.")
                        .arg(antes.codigo, antes.lote, item.fal));
        }
        QList<int> linhas;
        for (const Selecionado& s : selecionados)
            if (m_itens.Armazenado(s.linha))
                linhas << s.linha;
        if (const int perdida = m_itens.GravaLinhasFal(cabecalho, linhas, &m_conexao); perdida >= 0)
            throw RecusaNaGravacao(
                QStringLiteral("O item %1 foi excluído desta programação por outro usuário. Nada "
                               "foi gravado.")
                    .arg(m_itens.Texto(perdida, QStringLiteral("Codigo"))));
        {
            // The header names its first item's route, whichever route an update gave it.
            TZoQuery roteiro(nullptr, &m_conexao);
            roteiro.SQL << DBLocal_SQL(QStringLiteral(
                "UPDATE {FAL} F SET F.ROTEIRO = (SELECT FIRST 1 I.FLUXO FROM {FAL_ITEN} I WHERE "
                "I.FAL = F.NUMERO ORDER BY I.ORD_IT) WHERE F.NUMERO = :NUMERO"));
            for (const QString& fal : std::as_const(fals)) {
                roteiro.BindValue(QStringLiteral("NUMERO"), fal);
                roteiro.ExecSQL();
            }
        }
        MovePesosNota(movidos, &m_conexao);
        if (m_parametros.saldoNota == QLatin1String("N"))
            if (const QString falta = ItensSemSaldo(movidos); !falta.isEmpty())
                throw RecusaNaGravacao(falta);
        // Steps are laid out again only while none of the sheet's has started.
        for (const QString& fal : std::as_const(fals)) {
            TZoQuery iniciada(nullptr, &m_conexao);
            iniciada.SQL << DBLocal_SQL(
                QStringLiteral("SELECT FIRST 1 1 FROM {PROCESSO_TIN} P WHERE P.FAL = :FAL AND %1")
                    .arg(CondicaoPassoIniciado(QStringLiteral("P"))));
            iniciada.BindValue(QStringLiteral("FAL"), fal);
            iniciada.Open();
            if (!iniciada.IsEmpty())
                continue;
            QString partida;
            for (const Selecionado& s : selecionados)
                if (s.item.fal == fal)
                    partida = s.item.partida;
            GravaPassos(fal, partida, Grafico(coresFal.value(fal).first, coresFal.value(fal).second));
        }
        GeraLog(kTituloLog,
                QStringLiteral("ATUALIZACAO DA FAL %1 NA PROGRAMACAO %2")
                    .arg(fals.join(QStringLiteral(", ")), cabecalho.numero),
                opAlteracao, fals.first(), m_tela, &m_conexao);
        unidade.Confirma();
    } catch (const RecusaNaGravacao& recusa) {
        return Recusa(recusa.Texto());
    }
    Informa(m_tela, QStringLiteral("FAL Atualizada."));
    return true;
}
