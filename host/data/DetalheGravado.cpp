#include "DetalheGravado.h"
#include "DataAccess.h"
#include "GravacaoAtomica.h"
#include "TZoQuery.h"

DetalheGravado::DetalheGravado(QString tabela, QString chave, QStringList campos)
    : m_tabela(std::move(tabela)), m_chave(std::move(chave)), m_campos(std::move(campos)) {}

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
    q.SQL << QStringLiteral("SELECT %1 FROM %2 WHERE %3 = :CODIGO")
                 .arg(m_campos.join(QStringLiteral(", ")), DBLocal(m_tabela), m_chave);
    q.BindValue(QStringLiteral("CODIGO"), codigo);
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
        exclusao.SQL << QStringLiteral("DELETE FROM %1 WHERE %2 = :CODIGO").arg(DBLocal(m_tabela), m_chave);
        exclusao.BindValue(QStringLiteral("CODIGO"), codigo);
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
        const QString novo = Proximo(m_tabela, m_chave, largura);
        if (Grava(novo, insere))
            return novo;
    }
}
