#include "CaixaPesquisa.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "DataSet.h"
#include "Funcoes.h"
#include "Protecao.h"
#include "TForm.h"
#include "TPesquisa.h"
#include "TZoQuery.h"
#include <QAbstractButton>
#include <QLineEdit>

DeclaracaoCaixa CaixaDoProprioCadastro(QLineEdit* caixa, QAbstractButton* botao, const QString& titulo,
                                       const QString& tabela, QLineEdit* descricao) {
    return {.caixa = caixa,
            .botao = botao,
            .titulo = titulo,
            .tabela = tabela,
            .distintos = true,
            .mostra = [descricao](const QVariantMap& linha) {
                descricao->setText(linha.value(QStringLiteral("DESCRICAO")).toString());
            }};
}

CaixaPesquisa::CaixaPesquisa(TForm* tela, DeclaracaoCaixa declaracao)
    : QObject(tela), m_tela(tela), m_d(std::move(declaracao)) {
    if (m_d.descricao) {
        m_d.descricao->setReadOnly(true);
        m_d.descricao->setFocusPolicy(Qt::NoFocus);
    }
    if (m_d.descricao || m_d.mostra)
        connect(m_d.caixa, &QLineEdit::textChanged, this, Protegido([this] { MostraDescricao(); }));
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

// The description and the further columns of a code's row, by their names; empty when there is none.
QVariantMap CaixaPesquisa::Linha(const QString& codigo) const {
    QStringList colunas = m_d.colunas;
    if (!m_d.campoDescricao.isEmpty())
        colunas.prepend(m_d.campoDescricao);
    QVariantMap linha;
    if (codigo.isEmpty() || colunas.isEmpty() || (m_largura > 0 && codigo.size() > m_largura))
        return linha;
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT FIRST 1 %1 FROM %2 WHERE %3 = :CODIGO")
                 .arg(colunas.join(QStringLiteral(", ")), DBLocal(m_d.tabela), m_d.chave);
    if (!m_d.filtro.isEmpty())
        q.SQL << QStringLiteral("AND (%1)").arg(m_d.filtro);
    q.BindValue(QStringLiteral("CODIGO"), codigo);
    q.Open();
    if (!q.IsEmpty())
        for (const QString& coluna : std::as_const(colunas))
            linha.insert(coluna, q.FieldByName(coluna).Value());
    return linha;
}

void CaixaPesquisa::MostraDescricao() {
    const QStringList codigos = CodigosDaLista(m_d.caixa->text());
    const QVariantMap linha = codigos.size() == 1 ? Linha(codigos.first()) : QVariantMap();
    if (m_d.descricao) {
        m_d.descricao->setText(linha.value(m_d.campoDescricao).toString().trimmed());
        m_d.descricao->setCursorPosition(0);
    }
    if (m_d.mostra)
        m_d.mostra(linha);
}

// The list; the code chosen goes in as typed: a box bound to a field takes it into the field, and an undo
// takes it back. False when none was chosen.
bool CaixaPesquisa::Escolhe() {
    const QStringList campos =
        m_d.campoDescricao.isEmpty() ? QStringList{m_d.chave} : QStringList{m_d.chave, m_d.campoDescricao};
    TPesquisa pesquisa;
    pesquisa.Titulo = m_d.titulo;
    if (m_d.distintos)
        pesquisa.SQL = QStringLiteral("SELECT DISTINCT %1 FROM %2")
                           .arg(campos.join(QStringLiteral(", ")), DBLocal(m_d.tabela));
    else
        pesquisa.Tabela = DBLocal(m_d.tabela);
    pesquisa.CampoChave = m_d.chave;
    pesquisa.Campos = campos;
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
    if (m_d.pesquisa)
        return m_d.pesquisa();
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
    if (m_d.abreVazia && !m_d.caixa->isReadOnly() && m_d.caixa->text().trimmed().isEmpty() && !Escolhe())
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
