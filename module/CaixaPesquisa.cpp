#include "CaixaPesquisa.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "Funcoes.h"
#include "Protecao.h"
#include "TForm.h"
#include "TPesquisa.h"
#include "TZoQuery.h"
#include <QAbstractButton>
#include <QLineEdit>

CaixaPesquisa::CaixaPesquisa(TForm* tela, DeclaracaoCaixa declaracao)
    : QObject(tela), m_tela(tela), m_d(std::move(declaracao)) {
    if (m_d.descricao) {
        m_d.descricao->setReadOnly(true);
        m_d.descricao->setFocusPolicy(Qt::NoFocus);
        connect(m_d.caixa, &QLineEdit::textChanged, this, Protegido([this] { MostraDescricao(); }));
    }
    if (m_d.botao) {
        m_d.botao->setFocusPolicy(Qt::NoFocus); // F4 in the box does the same from the keyboard
        connect(m_d.botao, &QAbstractButton::clicked, this, Protegido([this] {
                    if (m_d.caixa->isEnabled() && !m_d.caixa->isReadOnly())
                        Pesquisa();
                }));
    }
    // A code longer than its column exists nowhere and could not even be compared.
    m_largura = LarguraColuna(m_d.tabela, m_d.chave);
    if (m_largura > 0 && !m_d.lista)
        LimitaCaracteres(m_d.caixa, m_largura);
    const QString dica = QStringLiteral("F4: pesquisa de %1").arg(m_d.titulo.toLower());
    m_d.caixa->setToolTip(dica);
    m_d.caixa->setStatusTip(dica);
}

QString CaixaPesquisa::Descricao(const QString& codigo) const {
    if (codigo.isEmpty() || m_d.campoDescricao.isEmpty() || (m_largura > 0 && codigo.size() > m_largura))
        return {};
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT %1 FROM %2 WHERE %3 = :CODIGO")
                 .arg(m_d.campoDescricao, DBLocal(m_d.tabela), m_d.chave);
    if (!m_d.filtro.isEmpty())
        q.SQL << QStringLiteral("AND (%1)").arg(m_d.filtro);
    q.BindValue(QStringLiteral("CODIGO"), codigo);
    q.Open();
    return q.IsEmpty() ? QString() : q.Fields(0).AsString().trimmed();
}

void CaixaPesquisa::MostraDescricao() {
    if (!m_d.descricao)
        return;
    const QStringList codigos = CodigosDaLista(m_d.caixa->text());
    m_d.descricao->setText(codigos.size() == 1 ? Descricao(codigos.first()) : QString());
    m_d.descricao->setCursorPosition(0);
}

// The code chosen goes in as typed: a box bound to a field takes it into the field, and an undo takes it
// back.
bool CaixaPesquisa::Escolhe() {
    TPesquisa pesquisa;
    pesquisa.Titulo = m_d.titulo;
    pesquisa.Tabela = DBLocal(m_d.tabela);
    pesquisa.CampoChave = m_d.chave;
    pesquisa.Campos =
        m_d.campoDescricao.isEmpty() ? QStringList{m_d.chave} : QStringList{m_d.chave, m_d.campoDescricao};
    pesquisa.Filtro = m_d.filtro;
    pesquisa.MultiplaEscolha = m_d.lista;
    if ((m_d.preparaLista && !m_d.preparaLista(pesquisa)) || !pesquisa.AbrePesquisa(m_tela))
        return false;
    const QString escolhido =
        m_d.lista ? AcrescentaCodigos(m_d.caixa->text(), pesquisa.Chaves()) : pesquisa.Chave().trimmed();
    m_d.caixa->selectAll();
    m_d.caixa->insert(escolhido);
    return true;
}

bool CaixaPesquisa::Pesquisa() {
    if (!Escolhe())
        return false;
    m_d.caixa->setFocus(Qt::OtherFocusReason);
    if (!Confere())
        return false;
    m_tela->SeguePesquisa(m_d.caixa);
    return true;
}

bool CaixaPesquisa::Recusa(const QString& mensagem) {
    m_tela->Recusa(m_d.caixa, mensagem);
    m_d.caixa->selectAll();
    return false;
}

// Every code of the box in one read: a list of codes costs what one code does.
bool CaixaPesquisa::Confere() {
    if (m_d.abreVazia && m_d.caixa->text().trimmed().isEmpty() && !Escolhe())
        return true;
    const QString texto = m_d.caixa->text().trimmed();
    if (texto == m_conferido)
        return true;
    const QStringList codigos = CodigosDaLista(texto);
    for (const QString& codigo : codigos)
        if (m_largura > 0 && codigo.size() > m_largura)
            return Recusa(m_d.recusa.isEmpty() ? QStringLiteral("Código %1 inválido.").arg(codigo)
                                               : m_d.recusa);
    if (!m_d.recusa.isEmpty() && !codigos.isEmpty()) {
        TZoQuery q;
        q.SQL << QStringLiteral("SELECT %1 FROM %2 WHERE %1 IN (%3)")
                     .arg(m_d.chave, DBLocal(m_d.tabela), ListaSql(codigos));
        if (!m_d.filtro.isEmpty())
            q.SQL << QStringLiteral("AND (%1)").arg(m_d.filtro);
        q.Open();
        QSet<QString> existentes;
        for (q.First(); !q.Eof(); q.Next())
            existentes.insert(q.Fields(0).AsString().trimmed());
        for (const QString& codigo : codigos)
            if (!existentes.contains(codigo))
                return Recusa(m_d.recusa);
    }
    if (m_d.confere)
        for (const QString& codigo : codigos)
            if (const QString recusa = m_d.confere(codigo); !recusa.isEmpty())
                return Recusa(recusa);
    m_conferido = texto;
    if (m_d.aoAceitar)
        m_d.aoAceitar();
    return true;
}
