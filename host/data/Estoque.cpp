#include "Estoque.h"
#include "DataAccess.h"
#include "Funcoes.h"
#include "TZoDatabase.h"
#include "TZoQuery.h"
#include <cmath>

struct TabelasEstoque {
    const char* cadastro;      // where the code must exist
    const char* posicoes;      // balance per code, colour, warehouse, lot
    const char* movimentos;    // one row per movement
    const char* gerador;       // the movements' ids
    const char* naoCadastrado; // the refusal of an unknown code
};

TEstoque::TEstoque(TZoDatabase* conexao) : m_conexao(conexao ? *conexao : *ConexaoHost()) {}

namespace {
constexpr TabelasEstoque kMaterial{"MATERIAL", "MAT_ITEN", "MAT_MOV", "GEN_MAT_MOV_ID",
                                   "Material %1 não cadastrado."};
constexpr TabelasEstoque kProduto{"PRODUTO", "PA_ITEN", "PA_MOV", "GEN_PA_MOV_ID",
                                  "Produto %1 não cadastrado."};

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
    if (!Existe(QLatin1String(t.cadastro), QStringLiteral("CODIGO"), {m.codigo}, &m_conexao))
        return QString::fromUtf8(t.naoCadastrado).arg(m.codigo);
    if (!Existe(QStringLiteral("DEPOSITO"), QStringLiteral("CODIGO"), {m.deposito}, &m_conexao))
        return QStringLiteral("Depósito %1 não cadastrado.").arg(m.deposito);

    // The balance checked in the update itself, at six decimals: another workstation's movement of the
    // position waits for this unit (or fails as a lock), so no exit is ever let through on a stale balance.
    const QString tabela = DBLocal(QLatin1String(t.posicoes));
    const QString posicao =
        QStringLiteral("CODIGO = :CODIGO AND COR = :COR AND DEPOSITO = :DEPOSITO AND LOTE = :LOTE");
    const auto chave = [&](TZoQuery& q) {
        q.BindValue(QStringLiteral("CODIGO"), m.codigo);
        q.BindValue(QStringLiteral("COR"), m.cor);
        q.BindValue(QStringLiteral("DEPOSITO"), m.deposito);
        q.BindValue(QStringLiteral("LOTE"), m.lote);
    };
    const double variacao = m.saida ? -m.quantidade : m.quantidade;
    const bool negativo = NegativoPermitido();
    TZoQuery muda(nullptr, &m_conexao);
    muda.SQL << QStringLiteral("UPDATE %1 SET QTDE = QTDE + :VARIACAO WHERE %2 AND (:LIVRE = 1 OR "
                               "ROUND(QTDE + :VARIACAO, 6) >= 0)")
                    .arg(tabela, posicao);
    chave(muda);
    muda.BindValue(QStringLiteral("VARIACAO"), variacao);
    muda.BindValue(QStringLiteral("LIVRE"), negativo || !m.saida ? 1 : 0);
    muda.ExecSQL();
    TZoQuery atual(nullptr, &m_conexao);
    atual.SQL << QStringLiteral("SELECT QTDE, PRECO_MED FROM %1 WHERE %2").arg(tabela, posicao);
    chave(atual);
    atual.Open();
    if (muda.RowsAffected() == 0) {
        const double saldo = atual.IsEmpty() ? 0 : atual.Fields(0).AsFloat();
        if (!atual.IsEmpty() || !saidaPermitida(saldo, m.quantidade, negativo || !m.saida))
            return QStringLiteral("Estoque insuficiente: %1, depósito %2, lote %3, saldo %4.")
                .arg(m.codigo, m.deposito, m.lote, numero(saldo));
        TZoQuery nova(nullptr, &m_conexao);
        nova.SQL
            << QStringLiteral(
                   "INSERT INTO %1 (CODIGO, COR, DEPOSITO, LOTE, QTDE) VALUES (:CODIGO, :COR, :DEPOSITO, "
                   ":LOTE, :VARIACAO)")
                   .arg(tabela);
        chave(nova);
        nova.BindValue(QStringLiteral("VARIACAO"), variacao);
        nova.ExecSQL();
    }
    const QVariant preco = atual.IsEmpty() ? QVariant() : atual.Fields(1).Value();

    TZoQuery mov(nullptr, &m_conexao);
    mov.SQL << QStringLiteral(
                   "INSERT INTO %1 (ID, CODIGO, COR, DEPOSITO, LOTE, DATA, OPERACAO, QTDE, PRECO, TIPO_MOV, "
                   "TP_MOV, NUM_DOCTO, CODCLI, USUARIO, CODFUN) VALUES (NEXT VALUE FOR %2, :CODIGO, :COR, "
                   ":DEPOSITO, :LOTE, :DATA, :OPERACAO, :QTDE, :PRECO, :TIPO_MOV, :TP_MOV, :NUM_DOCTO, "
                   ":CODCLI, :USUARIO, :CODFUN)")
                   .arg(DBLocal(QLatin1String(t.movimentos)), QLatin1String(t.gerador));
    chave(mov);
    mov.BindValue(QStringLiteral("DATA"), m.data.isValid() ? m.data : QDate::currentDate());
    mov.BindValue(QStringLiteral("OPERACAO"), m.saida ? QStringLiteral("S") : QStringLiteral("E"));
    mov.BindValue(QStringLiteral("QTDE"), m.quantidade);
    mov.BindValue(QStringLiteral("PRECO"), preco);
    mov.BindValue(QStringLiteral("TIPO_MOV"), m.tipoMovimento);
    mov.BindValue(QStringLiteral("TP_MOV"), m.origem);
    mov.BindValue(QStringLiteral("NUM_DOCTO"), m.documento);
    mov.BindValue(QStringLiteral("CODCLI"), m.cliente);
    mov.BindValue(QStringLiteral("USUARIO"), m.usuario);
    mov.BindValue(QStringLiteral("CODFUN"), m.funcionario);
    mov.ExecSQL();
    return {};
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
                     "LOTE")
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
