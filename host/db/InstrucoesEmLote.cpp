#include "InstrucoesEmLote.h"
#include "TZoDatabase.h"
#include <QSqlQuery>

namespace {
// The engine takes statements up to 64 KB of text (in bytes: UTF-8 letters may take two) and at most 256
// table contexts in one block; fifty statements of up to five tables each stay well inside both.
constexpr int kBytesPorBloco = 24000;
constexpr int kInstrucoesPorBloco = 50;
} // namespace

void InstrucoesEmLote::Adiciona(const QString& sql) {
    const qsizetype bytes = sql.toUtf8().size() + 2;
    if (m_quantos > 0 && (m_quantos >= kInstrucoesPorBloco || m_bytes + bytes > kBytesPorBloco))
        Executa();
    m_bloco += sql;
    m_bloco += QStringLiteral("; ");
    m_bytes += bytes;
    ++m_quantos;
}

void InstrucoesEmLote::Executa() {
    if (m_quantos == 0)
        return;
    const QString sql = m_quantos == 1
                            ? m_bloco.chopped(2)
                            : QStringLiteral("EXECUTE BLOCK AS BEGIN ") + m_bloco + QStringLiteral("END");
    m_bloco.clear();
    m_quantos = 0;
    m_bytes = 0;
    QSqlQuery q(m_db.Connection());
    m_db.Exec(q, sql, true);
}
