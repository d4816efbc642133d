#include "Estoque.h"
#include "DataAccess.h"
#include "Funcoes.h"
#include "TZoDatabase.h"
#include "TZoQuery.h"
#include <cmath>

struct TabelasEstoque {
    int indice;                // of the service's prepared statements
    const char* cadastro;      // where the code must exist
    const char* posicoes;      // balance per code, colour, warehouse, lot
    const char* movimentos;    // one row per movement
    const char* gerador;       // the movements' ids
    const char* naoCadastrado; // the refusal of an unknown code
};

struct ConsultasEstoque {
    explicit ConsultasEstoque(TZoDatabase& db)
        : confere(nullptr, &db), muda(nullptr, &db), atual(nullptr, &db), nova(nullptr, &db),
          mov(nullptr, &db) {}
    TZoQuery confere, muda, atual, nova, mov;
};

TEstoque::TEstoque(TZoDatabase* conexao) : m_conexao(conexao ? *conexao : *ConexaoHost()) {}

TEstoque::~TEstoque() = default;

namespace {
constexpr TabelasEstoque kMaterial{0,         "MATERIAL",       "MAT_ITEN",
                                   "MAT_MOV", "GEN_MAT_MOV_ID", "Material %1 não cadastrado."};
constexpr TabelasEstoque kProduto{1,        "PRODUTO",       "PA_ITEN",
                                  "PA_MOV", "GEN_PA_MOV_ID", "Produto %1 não cadastrado."};

// An exit leaves the balance below zero only when the stock parameter allows it; compared at six decimals,
// so that 0.1 + 0.2 taken from 0.3 leaves nothing, not a ten-millionth short.
bool saidaPermitida(double saldo, double quantidade, bool negativoPermitido) {
    return negativoPermitido || std::round((saldo - quantidade) * 1e6) >= 0;
}

QString numero(double valor) {
    return QString::number(valor, 'f', 3).replace(QLatin1Char('.'), QLatin1Char(','));
}
} // namespace

QString TEstoque::MovimentaEstoqueMaterial(const MovimentoEstoque& movimento) {
    return Movimenta(movimento, kMaterial);
}

QString TEstoque::MovimentaEstoqueProduto(const MovimentoEstoque& movimento) {
    return Movimenta(movimento, kProduto);
}

QString TEstoque::Movimenta(const MovimentoEstoque& m, const TabelasEstoque& t) {
    if (!(m.quantidade > 0))
        return QStringLiteral("Quantidade inválida para o estoque de %1: %2.")
            .arg(m.codigo, numero(m.quantidade));
    if (m.tipoMovimento.trimmed().isEmpty())
        return QStringLiteral("Tipo de movimento de estoque não cadastrado.");
    ConsultasEstoque& c = Consultas(t);
    const QString conferido =
        QString::number(t.indice) + QLatin1Char('|') + m.codigo + QLatin1Char('|') + m.deposito;
    if (!m_conferidos.contains(conferido)) {
        c.confere.BindValue(QStringLiteral("CODIGO"), m.codigo);
        c.confere.BindValue(QStringLiteral("DEPOSITO"), m.deposito);
        c.confere.Open();
        if (c.confere.Fields(0).AsInteger() == 0)
            return QString::fromUtf8(t.naoCadastrado).arg(m.codigo);
        if (c.confere.Fields(1).AsInteger() == 0)
            return QStringLiteral("Depósito %1 não cadastrado.").arg(m.deposito);
        m_conferidos << conferido;
    }

    // The balance checked in the update itself, at six decimals: another workstation's movement of the
    // position waits for this unit (or fails as a lock), so no exit is ever let through on a stale balance.
    const auto chave = [&](TZoQuery& q) {
        q.BindValue(QStringLiteral("CODIGO"), m.codigo);
        q.BindValue(QStringLiteral("COR"), m.cor);
        q.BindValue(QStringLiteral("DEPOSITO"), m.deposito);
        q.BindValue(QStringLiteral("LOTE"), m.lote);
    };
    const double variacao = m.saida ? -m.quantidade : m.quantidade;
    const bool negativo = NegativoPermitido();
    chave(c.muda);
    c.muda.BindValue(QStringLiteral("VARIACAO"), variacao);
    c.muda.BindValue(QStringLiteral("LIVRE"), negativo || !m.saida ? 1 : 0);
    c.muda.ExecSQL();
    chave(c.atual);
    c.atual.Open();
    if (c.muda.RowsAffected() == 0) {
        const double saldo = c.atual.IsEmpty() ? 0 : c.atual.Fields(0).AsFloat();
        if (!c.atual.IsEmpty() || !saidaPermitida(saldo, m.quantidade, negativo || !m.saida))
            return QStringLiteral("Estoque insuficiente: %1, depósito %2, lote %3, saldo %4.")
                .arg(m.codigo, m.deposito, m.lote, numero(saldo));
        chave(c.nova);
        c.nova.BindValue(QStringLiteral("VARIACAO"), variacao);
        c.nova.ExecSQL();
    }
    const QVariant preco = c.atual.IsEmpty() ? QVariant() : c.atual.Fields(1).Value();

    chave(c.mov);
    c.mov.BindValue(QStringLiteral("DATA"), m.data.isValid() ? m.data : QDate::currentDate());
    c.mov.BindValue(QStringLiteral("OPERACAO"), m.saida ? QStringLiteral("S") : QStringLiteral("E"));
    c.mov.BindValue(QStringLiteral("QTDE"), m.quantidade);
    c.mov.BindValue(QStringLiteral("PRECO"), preco);
    c.mov.BindValue(QStringLiteral("TIPO_MOV"), m.tipoMovimento);
    c.mov.BindValue(QStringLiteral("TP_MOV"), m.origem);
    c.mov.BindValue(QStringLiteral("NUM_DOCTO"), m.documento);
    c.mov.BindValue(QStringLiteral("CODCLI"), m.cliente);
    c.mov.BindValue(QStringLiteral("USUARIO"), m.usuario);
    c.mov.BindValue(QStringLiteral("CODFUN"), m.funcionario);
    c.mov.ExecSQL();
    return {};
}

ConsultasEstoque& TEstoque::Consultas(const TabelasEstoque& t) {
    std::unique_ptr<ConsultasEstoque>& c = m_consultas[t.indice];
    if (c)
        return *c;
    c = std::make_unique<ConsultasEstoque>(m_conexao);
    const QString tabela = DBLocal(QLatin1String(t.posicoes));
    const QString posicao =
        QStringLiteral("CODIGO = :CODIGO AND COR = :COR AND DEPOSITO = :DEPOSITO AND LOTE = :LOTE");
    c->confere.SQL << QStringLiteral(
                          "SELECT (SELECT COUNT(*) FROM %1 WHERE CODIGO = :CODIGO), (SELECT COUNT(*) "
                          "FROM %2 WHERE CODIGO = :DEPOSITO) FROM RDB$DATABASE")
                          .arg(DBLocal(QLatin1String(t.cadastro)), DBLocal(QStringLiteral("DEPOSITO")));
    c->muda.SQL << QStringLiteral("UPDATE %1 SET QTDE = QTDE + :VARIACAO WHERE %2 AND (:LIVRE = 1 OR "
                                  "ROUND(QTDE + :VARIACAO, 6) >= 0)")
                       .arg(tabela, posicao);
    c->atual.SQL << QStringLiteral("SELECT QTDE, PRECO_MED FROM %1 WHERE %2").arg(tabela, posicao);
    c->nova.SQL << QStringLiteral("INSERT INTO %1 (CODIGO, COR, DEPOSITO, LOTE, QTDE) VALUES (:CODIGO, :COR, "
                                  ":DEPOSITO, :LOTE, :VARIACAO)")
                       .arg(tabela);
    c->mov.SQL
        << QStringLiteral(
               "INSERT INTO %1 (ID, CODIGO, COR, DEPOSITO, LOTE, DATA, OPERACAO, QTDE, PRECO, TIPO_MOV, "
               "TP_MOV, NUM_DOCTO, CODCLI, USUARIO, CODFUN) VALUES (NEXT VALUE FOR %2, :CODIGO, :COR, "
               ":DEPOSITO, :LOTE, :DATA, :OPERACAO, :QTDE, :PRECO, :TIPO_MOV, :TP_MOV, :NUM_DOCTO, "
               ":CODCLI, :USUARIO, :CODFUN)")
               .arg(DBLocal(QLatin1String(t.movimentos)), QLatin1String(t.gerador));
    return *c;
}

// Read once per service: a batch of movements asks it once.
bool TEstoque::NegativoPermitido() {
    if (!m_negativo)
        m_negativo = BuscaParametro(QStringLiteral("MAT"), 10).trimmed().toUpper() == QLatin1String("S");
    return *m_negativo;
}

QString TEstoque::CodigoTipoMovEstoque(int especie) {
    TZoQuery q(nullptr, &m_conexao);
    q.SQL << QStringLiteral("SELECT FIRST 1 CODIGO FROM %1 WHERE ESPECIE = :ESPECIE ORDER BY CODIGO")
                 .arg(DBLocal(QStringLiteral("TIPO_MOV_EST")));
    q.BindValue(QStringLiteral("ESPECIE"), especie);
    q.Open();
    return q.IsEmpty() ? QString() : q.Fields(0).AsString().trimmed();
}

QString TEstoque::Estorna(const QString& origem, const QString& documento, const QString& tipoMovimento,
                          int* movidos) {
    int feitos = 0;
    for (const TabelasEstoque* t : {&kMaterial, &kProduto}) {
        TZoQuery q(nullptr, &m_conexao);
        q.SQL << QStringLiteral(
                     "SELECT CODIGO, COR, DEPOSITO, LOTE, MIN(CODCLI), SUM(IIF(OPERACAO = 'E', QTDE, -QTDE)) "
                     "FROM %1 WHERE NUM_DOCTO = :DOCTO AND TP_MOV = :ORIGEM GROUP BY CODIGO, COR, DEPOSITO, "
                     "LOTE ORDER BY CODIGO, COR, DEPOSITO, LOTE")
                     .arg(DBLocal(QLatin1String(t->movimentos)));
        q.BindValue(QStringLiteral("DOCTO"), documento);
        q.BindValue(QStringLiteral("ORIGEM"), origem);
        q.Open();
        for (q.First(); !q.Eof(); q.Next()) {
            const double liquido = q.Fields(5).AsFloat();
            if (std::round(liquido * 1e6) == 0)
                continue;
            MovimentoEstoque m;
            m.codigo = q.Fields(0).AsString().trimmed();
            m.cor = q.Fields(1).AsString().trimmed();
            m.deposito = q.Fields(2).AsString().trimmed();
            m.lote = q.Fields(3).AsString().trimmed();
            m.cliente = q.Fields(4).AsString().trimmed();
            m.quantidade = std::abs(liquido);
            m.saida = liquido > 0;
            m.documento = documento;
            m.origem = origem;
            m.tipoMovimento = tipoMovimento;
            if (const QString recusa = Movimenta(m, *t); !recusa.isEmpty())
                return recusa;
            ++feitos;
        }
    }
    if (movidos)
        *movidos = feitos;
    return {};
}

QString DepositoPrioritario() {
    const QString deposito = Busca_Valor(QStringLiteral("DEPOSITO"), QStringLiteral("PRIORIDADE"),
                                         QStringLiteral("CODIGO"), {"1"});
    return deposito.trimmed().isEmpty() ? QStringLiteral("0000") : deposito.trimmed();
}
