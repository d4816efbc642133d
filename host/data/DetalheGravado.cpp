#include "DetalheGravado.h"
#include "DataAccess.h"
#include "GravacaoAtomica.h"
#include "TZoQuery.h"

namespace {
// Between a composite code's values: no key holds it.
constexpr QChar kSeparador(0x1F);
} // namespace

DetalheGravado::DetalheGravado(QString tabela, QString chave, QStringList campos)
    : m_tabela(std::move(tabela)), m_chave(chave.split(QLatin1Char(','))), m_campos(std::move(campos)) {
    for (QString& coluna : m_chave)
        coluna = coluna.trimmed();
}

QString DetalheGravado::ChaveComposta(const QStringList& valores) {
    return valores.join(kSeparador);
}

QString DetalheGravado::Condicao() const {
    QStringList condicao;
    for (qsizetype i = 0; i < m_chave.size(); ++i)
        condicao << QStringLiteral("%1 = :K%2").arg(m_chave[i]).arg(i);
    return condicao.join(QStringLiteral(" AND "));
}

QStringList DetalheGravado::PartesDaChave(const QString& codigo) {
    return codigo.split(kSeparador);
}

void DetalheGravado::Vincula(TZoQuery& q, const QString& codigo) const {
    const QStringList valores = PartesDaChave(codigo);
    for (qsizetype i = 0; i < m_chave.size(); ++i)
        q.BindValue(QStringLiteral("K%1").arg(i), valores.value(i));
}

bool DetalheGravado::ComLinhas(const QString& codigo) const {
    return codigo == m_codigo && !m_linhas.isEmpty();
}

void DetalheGravado::Carregado(const QString& codigo, const TDataSet& linhas) {
    m_codigo = codigo;
    m_linhas = Impressao(linhas);
}

void DetalheGravado::Novo(const QString& codigo) {
    m_codigo = codigo;
    m_linhas.clear();
}

void DetalheGravado::Esquece() {
    Novo(QString());
}

QStringList DetalheGravado::Impressao(const TDataSet& linhas) const {
    QStringList impressao = ImpressaoLinhas(linhas, m_campos);
    impressao.sort();
    return impressao;
}

QStringList DetalheGravado::Gravadas(const QString& codigo) const {
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT %1 FROM %2 WHERE %3")
                 .arg(m_campos.join(QStringLiteral(", ")), DBLocal(m_tabela), Condicao());
    Vincula(q, codigo);
    q.Open();
    return Impressao(q);
}

bool DetalheGravado::Grava(const QString& codigo, const Insercao& insere) {
    const QStringList carregadas = codigo == m_codigo ? m_linhas : QStringList();
    QStringList gravadas;
    {
        GravacaoAtomica gravacao;
        if (!GravadosComoCarregados(m_tabela, codigo, carregadas, [&] { return Gravadas(codigo); })) {
            if (codigo == m_codigo)
                Esquece();
            return false;
        }
        TZoQuery exclusao;
        exclusao.SQL << QStringLiteral("DELETE FROM %1 WHERE %2").arg(DBLocal(m_tabela), Condicao());
        Vincula(exclusao, codigo);
        exclusao.ExecSQL();
        insere(codigo, !carregadas.isEmpty()); // what is stored is what was loaded
        gravadas = Gravadas(codigo);
        gravacao.Confirma();
    }
    m_codigo = codigo;
    m_linhas = gravadas;
    return true;
}

bool DetalheGravado::Exclui(const QString& codigo, const std::function<void()>& registra) {
    if (!Grava(codigo, [&](const QString&, bool) { registra(); }))
        return false;
    Esquece();
    return true;
}

QString DetalheGravado::GravaCopia(int largura, const Insercao& insere) {
    for (;;) {
        const QString novo = Proximo(m_tabela, m_chave.first(), largura);
        if (Grava(novo, insere))
            return novo;
    }
}
