#include "RegrasCalculo.h"
#include "DataAccess.h"
#include "Funcoes.h"
#include "TZoQuery.h"

namespace {
bool codigoConfere(const LinhaRegra& linha, const QString& valor) {
    const QString codigo = linha.linha.trimmed();
    return codigo.isEmpty() || codigo == valor.trimmed();
}

// What a line's code is compared with; an unknown kind matches nothing but a blank code.
QString valorDoTipo(const QString& tipo, const LoteRegra& lote, bool* conhecido) {
    *conhecido = true;
    if (tipo == QLatin1String("C"))
        return lote.cliente;
    if (tipo == QLatin1String("M"))
        return lote.maquina;
    if (tipo == QLatin1String("P"))
        return lote.produto;
    if (tipo == QLatin1String("G"))
        return lote.grupo;
    if (tipo == QLatin1String("L"))
        return lote.linhaProduto;
    *conhecido = false;
    return {};
}
} // namespace

std::optional<double> AvaliaRegraQtde(const QList<LinhaRegra>& linhas, const LoteRegra& lote) {
    for (const LinhaRegra& linha : linhas) {
        bool conhecido = false;
        const QString valor = valorDoTipo(linha.tipo.trimmed().toUpper(), lote, &conhecido);
        const bool confere = linha.linha.trimmed().isEmpty() || (conhecido && codigoConfere(linha, valor));
        if (!confere || lote.peso < linha.de)
            continue;
        if (linha.ate != 0 && lote.peso > linha.ate)
            continue;
        return linha.resultado;
    }
    return std::nullopt;
}

std::optional<double> AvaliaRegraPerc(const QList<LinhaRegra>& linhas, const QString& produto,
                                      const QString& grupo, const QString& linhaProduto) {
    LoteRegra lote;
    lote.produto = produto;
    lote.grupo = grupo;
    lote.linhaProduto = linhaProduto;
    for (const LinhaRegra& linha : linhas) {
        const QString tipo = linha.tipo.trimmed().toUpper();
        if (tipo != QLatin1String("P") && tipo != QLatin1String("G") && tipo != QLatin1String("L"))
            continue;
        bool conhecido = false;
        if (codigoConfere(linha, valorDoTipo(tipo, lote, &conhecido)))
            return linha.resultado;
    }
    return std::nullopt;
}

namespace {
LinhaRegra linhaLida(TDataSet& q) {
    LinhaRegra linha;
    linha.tipo = q.FieldByName(QStringLiteral("TIPO")).AsString();
    linha.linha = q.FieldByName(QStringLiteral("LINHA")).AsString();
    linha.de = q.FieldByName(QStringLiteral("QTDE_DE")).AsFloat();
    linha.ate = q.FieldByName(QStringLiteral("QTDE_ATE")).AsFloat();
    linha.resultado = q.FieldByName(QStringLiteral("QTDE_R")).AsFloat();
    return linha;
}
} // namespace

void RegrasCalculo::Carrega(const QSet<QString>& regras) {
    QStringList codigos;
    for (const QString& regra : regras)
        if (!regra.trimmed().isEmpty() && !m_regras.contains(regra.trimmed()))
            codigos << regra.trimmed();
    if (codigos.isEmpty())
        return;
    for (const QString& codigo : std::as_const(codigos))
        m_regras.insert(codigo, {}); // a code without lines is read too: it gives nothing
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT CODIGO, TIPO, LINHA, QTDE_DE, QTDE_ATE, QTDE_R FROM %1")
                 .arg(DBLocal(QStringLiteral("TNG_REGRA")))
          << QStringLiteral("WHERE %1 ORDER BY CODIGO, ORDEM")
                 .arg(NaListaSql(QStringLiteral("CODIGO"), codigos));
    q.Open();
    ++m_leituras;
    for (q.First(); !q.Eof(); q.Next())
        m_regras[q.FieldByName(QStringLiteral("CODIGO")).AsString().trimmed()] << linhaLida(q);
}

const QList<LinhaRegra>& RegrasCalculo::Linhas(const QString& regra) {
    const QString codigo = regra.trimmed();
    auto achada = m_regras.constFind(codigo);
    if (achada != m_regras.constEnd())
        return *achada;
    QList<LinhaRegra> linhas;
    if (!codigo.isEmpty()) {
        TZoQuery q;
        q.SQL << QStringLiteral("SELECT TIPO, LINHA, QTDE_DE, QTDE_ATE, QTDE_R FROM %1")
                     .arg(DBLocal(QStringLiteral("TNG_REGRA")))
              << QStringLiteral("WHERE CODIGO = :CODIGO ORDER BY ORDEM");
        q.BindValue(QStringLiteral("CODIGO"), codigo);
        q.Open();
        ++m_leituras;
        for (q.First(); !q.Eof(); q.Next())
            linhas << linhaLida(q);
    }
    return *m_regras.insert(codigo, linhas);
}

bool RegrasCalculo::UsaProduto(const QList<LinhaRegra>& linhas) const {
    for (const LinhaRegra& linha : linhas) {
        const QString tipo = linha.tipo.trimmed().toUpper();
        if ((tipo == QLatin1String("G") || tipo == QLatin1String("L")) && !linha.linha.trimmed().isEmpty())
            return true;
    }
    return false;
}

QPair<QString, QString> RegrasCalculo::GrupoLinha(const QString& produto) {
    const QString codigo = produto.trimmed();
    auto achado = m_produtos.constFind(codigo);
    if (achado != m_produtos.constEnd())
        return *achado;
    QPair<QString, QString> grupoLinha;
    if (!codigo.isEmpty()) {
        TZoQuery q;
        // A batch names its fabric, the print shop a material: a code of both is the fabric's.
        q.SQL << QStringLiteral(
                     "SELECT FIRST 1 GRUPO, LINHA FROM (SELECT 1 AS DE, GRUPO, LINHA FROM %1 WHERE "
                     "CODIGO = :CODIGO UNION ALL SELECT 2, GRUPO, LINHA FROM %2 WHERE CODIGO = "
                     ":MATERIAL) ORDER BY DE")
                     .arg(DBLocal(QStringLiteral("PRODUTO")), DBLocal(QStringLiteral("MATERIAL")));
        q.BindValue(QStringLiteral("CODIGO"), codigo);
        q.BindValue(QStringLiteral("MATERIAL"), codigo);
        q.Open();
        if (!q.IsEmpty())
            grupoLinha = {q.Fields(0).AsString().trimmed(), q.Fields(1).AsString().trimmed()};
    }
    return *m_produtos.insert(codigo, grupoLinha);
}

std::optional<double> RegrasCalculo::CalculaQtdeRegra(const QString& receita, const QString& variante,
                                                      const CodigoRegra& regra, double fibra1, double fibra2,
                                                      double peso, const QString& maquina,
                                                      const QString& produto, const QString& cliente) {
    Q_UNUSED(receita);
    Q_UNUSED(variante);
    Q_UNUSED(fibra1);
    Q_UNUSED(fibra2);
    const QList<LinhaRegra>& linhas = Linhas(regra.valor);
    if (linhas.isEmpty())
        return std::nullopt;
    LoteRegra lote;
    lote.peso = peso;
    lote.maquina = maquina;
    lote.produto = produto;
    lote.cliente = cliente;
    if (UsaProduto(linhas))
        std::tie(lote.grupo, lote.linhaProduto) = GrupoLinha(produto);
    return AvaliaRegraQtde(linhas, lote);
}

std::optional<double> RegrasCalculo::CalculaPercRegra(const CodigoProduto& produto,
                                                      const CodigoRegra& regra) {
    const QList<LinhaRegra>& linhas = Linhas(regra.valor);
    if (linhas.isEmpty())
        return std::nullopt;
    QPair<QString, QString> grupoLinha;
    if (UsaProduto(linhas))
        grupoLinha = GrupoLinha(produto.valor);
    return AvaliaRegraPerc(linhas, produto.valor, grupoLinha.first, grupoLinha.second);
}

std::optional<double> CalculaQtdeRegra(const QString& receita, const QString& variante,
                                       const CodigoRegra& regra, double fibra1, double fibra2, double peso,
                                       const QString& maquina, const QString& produto,
                                       const QString& cliente) {
    RegrasCalculo regras;
    return regras.CalculaQtdeRegra(receita, variante, regra, fibra1, fibra2, peso, maquina, produto, cliente);
}

std::optional<double> CalculaPercRegra(const CodigoProduto& produto, const CodigoRegra& regra) {
    RegrasCalculo regras;
    return regras.CalculaPercRegra(produto, regra);
}
