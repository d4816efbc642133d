#include "TTabelaDataSet.h"
#include "HostError.h"
#include "ResultRows.h"
#include "TZoDatabase.h"
#include <QHash>
#include <QSqlError>
#include <QSqlRecord>

TTabelaDataSet::TTabelaDataSet(TZoDatabase& database, const QString& table, const QString& orderBy,
                               QObject* parent)
    : TDataSet(parent), m_database(&database), m_table(table.toUpper()), m_orderBy(orderBy) {
    setObjectName(m_table);
    // Statements go before their connection does (a reconnect after a lost connection).
    connect(&database, &TZoDatabase::aboutToClose, this, [this] {
        m_insert.reset();
        m_updates.clear();
        m_delete.reset();
    });
}

TZoDatabase* TTabelaDataSet::Database() const {
    if (!m_database->Connected())
        throw EDatabaseError(QStringLiteral("Banco de dados não conectado."));
    return m_database;
}

void TTabelaDataSet::Open() {
    TZoDatabase* db = Database();
    m_keys.clear();
    {
        QSqlQuery q(db->Connection());
        db->Prepare(q,
                    QStringLiteral("SELECT TRIM(S.RDB$FIELD_NAME) FROM RDB$RELATION_CONSTRAINTS C "
                                   "JOIN RDB$INDEX_SEGMENTS S ON S.RDB$INDEX_NAME = C.RDB$INDEX_NAME "
                                   "WHERE C.RDB$RELATION_NAME = :T AND C.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY' "
                                   "ORDER BY S.RDB$FIELD_POSITION"),
                    false);
        q.bindValue(QStringLiteral(":T"), m_table);
        db->Exec(q, false);
        while (q.next())
            m_keys << q.value(0).toString();
    }
    m_computed.clear();
    {
        QSqlQuery q(db->Connection());
        db->Prepare(q,
                    QStringLiteral("SELECT TRIM(R.RDB$FIELD_NAME) FROM RDB$RELATION_FIELDS R "
                                   "JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = R.RDB$FIELD_SOURCE "
                                   "WHERE R.RDB$RELATION_NAME = :T AND F.RDB$COMPUTED_BLR IS NOT NULL"),
                    false);
        q.bindValue(QStringLiteral(":T"), m_table);
        db->Exec(q, false);
        while (q.next())
            m_computed << q.value(0).toString();
    }
    Refresh();
}

void TTabelaDataSet::Refresh() {
    TZoDatabase* db = Database();
    QVariantList keep;
    if (Active() && !IsEmpty()) {
        CheckBrowseMode();
        for (const QString& k : m_keys)
            keep << FieldByName(k).Value();
    }
    QSqlQuery q(db->Connection());
    q.setForwardOnly(true);
    QString sql = QStringLiteral("SELECT * FROM ") + m_table;
    if (!m_orderBy.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + m_orderBy;
    db->Exec(q, sql, false);
    QList<FieldDef> defs = FieldDefsOf(q.record());
    // A re-read (after a rollback, say) keeps what screens set for their grids.
    if (Active())
        for (FieldDef& def : defs)
            if (const int old = FieldIndex(def.name); old >= 0) {
                const FieldDef& before = FieldDefs()[old];
                def.displayLabel = before.displayLabel;
                def.visible = before.visible;
                def.displayWidth = before.displayWidth;
                if (def.decimals < 0)
                    def.decimals = before.decimals;
            }
    QList<QVariantList> rows = ReadAllRows(q, int(defs.size()));
    q.clear();
    const QString order = IndexFieldNames();
    DisableControls();
    SetFields(defs);
    Activate();
    SetRows(std::move(rows));
    if (!order.isEmpty())
        SetIndexFieldNames(order);
    if (!keep.isEmpty())
        Locate(m_keys.join(';'), keep);
    EnableControls();
}

QVariantList TTabelaDataSet::KeyValues(const QVariantList& values) const {
    QVariantList result;
    for (const QString& k : m_keys)
        result << values[FieldIndex(k)];
    return result;
}

// Prepared statements belong to the server transaction they were prepared in: drop those of an ended one.
// Call before taking a statement slot (clearing the map would invalidate a slot already taken).
void TTabelaDataSet::BeginWrite() {
    TZoDatabase* db = Database();
    db->BeginStatement();
    if (m_generation != db->Transaction()->Generation()) {
        m_insert.reset();
        m_updates.clear();
        m_delete.reset();
        m_generation = db->Transaction()->Generation();
    }
}

QSqlQuery& TTabelaDataSet::Statement(std::unique_ptr<QSqlQuery>& slot, const QString& sql) {
    TZoDatabase* db = Database();
    if (!slot) {
        slot = std::make_unique<QSqlQuery>(db->Connection());
        try {
            db->Prepare(*slot, sql, true);
        } catch (...) {
            slot.reset();
            throw;
        }
    }
    return *slot;
}

void TTabelaDataSet::DoPost(const QVariantList& values, const QVariantList& original, bool inserting) {
    TZoDatabase* db = Database();
    BeginWrite();
    if (inserting) {
        QStringList columns, marks;
        QVariantList written;
        for (int i = 0; i < FieldCount(); ++i) {
            if (m_computed.contains(FieldDefs()[i].name))
                continue;
            columns << FieldDefs()[i].name;
            marks << QStringLiteral("?");
            written << values[i];
        }
        QSqlQuery& q = Statement(m_insert, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                               .arg(m_table, columns.join(','), marks.join(',')));
        for (int i = 0; i < written.size(); ++i)
            q.bindValue(i, written[i]);
        db->Exec(q, true);
        return;
    }
    if (m_keys.isEmpty())
        throw EDatabaseError(QStringLiteral("A tabela %1 não tem chave primária.").arg(m_table));
    // Only what this user changed is written: columns another user changed meanwhile keep their values.
    QStringList sets, where;
    QVariantList changed;
    for (int i = 0; i < FieldCount(); ++i) {
        const QString& name = FieldDefs()[i].name;
        if (m_computed.contains(name) ||
            (values[i] == original[i] && values[i].isNull() == original[i].isNull()))
            continue;
        sets << name + QStringLiteral(" = ?");
        changed << values[i];
    }
    if (sets.isEmpty())
        return;
    for (const QString& k : m_keys)
        where << k + QStringLiteral(" = ?");
    const QString set = sets.join(',');
    QSqlQuery& q = Statement(
        m_updates[set],
        QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(m_table, set, where.join(QStringLiteral(" AND "))));
    int i = 0;
    for (const QVariant& v : changed)
        q.bindValue(i++, v);
    for (const QVariant& v : KeyValues(original))
        q.bindValue(i++, v);
    db->Exec(q, true);
    if (q.numRowsAffected() == 0)
        throw EDatabaseError(QStringLiteral("O registro foi excluído por outro usuário."));
}

void TTabelaDataSet::DoDelete(const QVariantList& values) {
    BeginWrite();
    if (m_keys.isEmpty())
        throw EDatabaseError(QStringLiteral("A tabela %1 não tem chave primária.").arg(m_table));
    QStringList where;
    for (const QString& k : m_keys)
        where << k + QStringLiteral(" = ?");
    QSqlQuery& q = Statement(
        m_delete,
        QStringLiteral("DELETE FROM %1 WHERE %2").arg(m_table, where.join(QStringLiteral(" AND "))));
    int i = 0;
    for (const QVariant& v : KeyValues(values))
        q.bindValue(i++, v);
    Database()->Exec(q, true);
    if (q.numRowsAffected() == 0)
        throw EDatabaseError(QStringLiteral("O registro já foi excluído por outro usuário."));
}

namespace {

// Captions of columns whatever their table; a table's own entry wins.
const QHash<QString, QString>& LegendasComuns() {
    static const QHash<QString, QString> legendas = {
        {"ATIVO", "Ativo"},
        {"BAIRRO", "Bairro"},
        {"CEP", "CEP"},
        {"CNPJ", "CNPJ"},
        {"CODCLI", "Cliente"},
        {"CODFUN", "Funcionário"},
        {"CODIGO", "Código"},
        {"CLIENTE", "Cliente"},
        {"CODREP", "Representante"},
        {"COR", "Cor"},
        {"CUSTO", "Custo"},
        {"DATA", "Data"},
        {"DATA_EMI", "Data"},
        {"DEPOSITO", "Depósito"},
        {"DESCRICAO", "Descrição"},
        {"DESCRICAO2", "Descrição Complementar"},
        {"EMAIL", "E-mail"},
        {"FASE", "Fase"},
        {"FAL", "FAL"},
        {"FATURA", "Nota Fiscal"},
        {"FONE", "Telefone"},
        {"FUNCIONARIO", "Funcionário"},
        {"GRUPO", "Grupo"},
        {"HORA", "Hora"},
        {"ID", "Número"},
        {"LANCAMENTOS", "Lançamentos"},
        {"LOCAL", "Localização"},
        {"LOTE", "Lote"},
        {"MOMENTO", "Data e Hora"},
        {"NATUREZA", "Natureza (CFOP)"},
        {"NOME", "Nome"},
        {"NUM_DOCTO", "Documento"},
        {"OBS", "Observação"},
        {"OPERACAO", "Operação (E/S)"},
        {"ORDEM", "Ordem"},
        {"PADRAO", "Padrão"},
        {"PARTIDA", "Partida"},
        {"PRECO", "Preço"},
        {"PRECO_MED", "Preço Médio"},
        {"PROPORCAO", "Proporção"},
        {"QTDE", "Quantidade"},
        {"TIPO", "Tipo"},
        {"TIPO_MOV", "Tipo de Movimento"},
        {"TP_MOV", "Origem"},
        {"TURNO", "Turno"},
        {"UF", "UF"},
        {"UNIDADE", "Unidade"},
        {"USUARIO", "Usuário"},
        {"VALOR", "Valor"},
    };
    return legendas;
}

// The host tables' columns whose caption differs from the common one, by "TABLE.COLUMN".
const QHash<QString, QString>& LegendasDasTabelas() {
    static const QHash<QString, QString> legendas = {
        {"EMPRESA.NOME", "Razão Social"},
        {"EMPRESA.FANTASIA", "Nome Fantasia"},
        {"EMPRESA.CNPJ", "CNPJ"},

        {"PARAMETROS.MODULO", "Módulo"},
        {"PARAMETROS.NUMERO", "Número"},

        {"PERIODO_CONCILIADO.TIPO", "Tipo (CX caixa e notas)"},
        {"PERIODO_CONCILIADO.DATA_INI", "De"},
        {"PERIODO_CONCILIADO.DATA_FIN", "Até"},

        {"ACESSO_USUARIOS.SENHA", "Senha"},
        {"ACESSO_USUARIOS.SUPERVISOR", "Supervisor"},
        {"ACESSO_USUARIOS.ADMINISTRADOR", "Administrador"},
        {"ACESSO_DIREITOS.CLASSE", "Tela (classe ou *)"},
        {"ACESSO_DIREITOS.LETRA", "Operação (A/E)"},
        {"ACESSO_DIREITOS.NIVEL", "Nível (0/1)"},
        {"ACESSO_SETOR.CODIGO", "Funcionário"},
        {"ACESSO_SETOR.SETOR", "Setor"},

        {"CODIGOS.TABELA", "Tabela"},
        {"CODIGOS.CAMPO", "Campo"},
        {"CODIGOS.ULTIMO", "Último Código"},
        {"CODIGOS.PROXIMO", "Próximo Código"},

        {"LOG.CHAVE", "Chave"},
        {"LOG.FORMULARIO", "Tela"},
        {"LOG.TITULO", "Título"},
        {"LOG.TELA", "Título"},
        {"LOG.TEXTO", "Texto"},

        {"CIDADE.COD_CID", "Código"},
        {"CIDADE.NOME", "Cidade"},
        {"CIDADE.COD_EST", "UF"},
        {"CADCEP.LOGRADOURO", "Logradouro"},
        {"CADCEP.COD_CID", "Cidade"},

        {"REPRESEN.CODREP", "Código"},

        {"OFPADRAO.DESCRICAO", "Grupo"},
        {"OFPADRAO.CAMPO", "Especificação"},

        {"ENTIDADE.CODCLI", "Código"},
        {"ENTIDADE.NOME", "Razão Social"},
        {"ENTIDADE.FANTASIA", "Nome Fantasia"},
        {"ENTIDADE.TIPO_ENTIDADE", "Tipo"},
        {"ENTIDADE.CNPJ", "CNPJ/CPF"},
        {"ENTIDADE.ENDERECO", "Endereço"},
        {"ENTIDADE.NUMERO", "Número"},
        {"ENTIDADE.COMPLEMENTO", "Complemento"},
        {"ENTIDADE.BLOQUEIO", "Bloqueado"},
        {"ENTIDADE.TABELA", "Região de Preço"},
        {"ENTIDADE.PRAZO", "Prazo (dias)"},
        {"ENTIDADE.CONDICAO", "Condição de Pagamento"},
        {"ENTIDADE.SIT_CLI", "Situação"},
        {"ENTIDADE.COD_ATVD", "Atividade"},
        {"ENTIDADE.LIMITE_CREDITO", "Limite de Crédito"},

        {"REGIAO.REGIAO", "Código"},

        {"PRECO_PARAM.CODIGO", "Cliente ou Região"},
        {"PRECO_PARAM.COFINS", "COFINS (%)"},
        {"PRECO_PARAM.ICMS", "ICMS (%)"},
        {"PRECO_PARAM.IRPJ", "IRPJ (%)"},
        {"PRECO_PARAM.CONTR_SOCIAL", "Contribuição Social (%)"},
        {"PRECO_PARAM.FINANCEIRO", "Custo Financeiro (%)"},
        {"PRECO_PARAM.COMISAO", "Comissão (%)"},
        {"PRECO_PARAM.PERDA", "Perda por Reprocesso (%)"},
        {"PRECO_PARAM.MARGEM", "Margem Desejada (%)"},
        {"PRECO_PARAM.FRETE", "Frete (R$/kg)"},
        {"PRECO_PARAM.INDICE_N", "Embalagem (R$/kg)"},
        {"PRECO_PARAM.FIXO", "Custo Fixo (R$/kg)"},
        {"PRECO_PARAM.CUSTO_MIN", "Custo do Minuto de Tingimento (R$)"},
        {"PRECO_PARAM.VOLUME", "Volume da Partida Padrão (kg)"},
        {"PRECO_PARAM.MARKTING", "Marketing (%)"},
        {"REGIAO.LIBERADO", "Liberado"},

        {"TINTUR.DATR", "Data de Envio"},
        {"TINTUR.DATS", "Data Prevista"},
        {"TINTUR.NUMERO", "Número"},
        {"TINTUR.PERIODO", "Período"},
        {"TINTUR.TINTURARIA", "Tinturaria"},
        {"TINTUR_ITEN.CODIGO", "Tecido Cru"},
        {"TINTUR_ITEN.COR", "Cor do Cliente"},
        {"TINTUR_ITEN.FICHA", "FAL"},
        {"TINTUR_ITEN.FLUXO", "Fluxo"},
        {"TINTUR_ITEN.PESO_BRUTO", "Peso Bruto"},
        {"TINTUR_ITEN.PESO_LIQUIDO", "Peso Líquido"},
        {"TINTUR_ITEN.PESO_RETORNO", "Peso Retorno"},
        {"TINTUR_ITEN.CORT", "Cor da Tinturaria"},
        {"TINTUR_ITEN.CUSTO", "Custo da Cor (R$/kg)"},
        {"TINTUR_ITEN.PRECO", "Custo da Malha (R$/kg)"},
        {"TINTUR_ITEN.CODIGO2", "Produto"},
        {"TINTUR_ITEN.PESO_BAIXADO", "Peso Baixado"},
        {"TINTUR_ITEN.CUSTO_FLUXO", "Custo do Fluxo (R$/kg)"},
        {"CADMATZO.CODIGO", "Tecido Cru"},
        {"CADMATZO.CODIGO2", "Produto"},
        {"CADCORTI.COR1", "Cor da Tinturaria"},

        {"TABFIS.NCM", "NCM"},
        {"NATUREZA.NATUREZA", "CFOP"},
        {"NATUREZA.TP_BASE", "Entrada/Saída"},
        {"NATUREZA.DUPLI", "Gera Duplicata"},

        {"GRUPO_PA.LOTE", "Controla Lote"},
        {"PRODUTO.CODFIS", "Classificação Fiscal"},
        {"PRODUTO.GRAMATURA", "Gramatura"},
        {"PRODUTO.LARGURA", "Largura"},
        {"PRODUTO.PESO", "Peso"},
        {"PRODUTO.PESO_TALHADO", "Peso Talhado"},
        {"PRODUTO.COMP1", "Composição 1"},
        {"PRODUTO.COMP2", "Composição 2"},

        {"MATERIAL.UNIDADE", "Unidade da Receita"},
        {"MATERIAL.UNI_COM", "Unidade de Compra"},
        {"MATERIAL.SUB_GRUPO", "Subgrupo"},
        {"MATERIAL.LINHA", "Linha"},
        {"MATERIAL.MARCA", "Marca"},
        {"MATERIAL.REPOSICAO", "Custo de Reposição (R$/kg)"},
        {"MATERIAL.CONCENTRACAO", "Concentração (%)"},
        {"MATERIAL.CONCENTRA_EST", "Concentração em Estoque (%)"},
        {"MATERIAL.IND_TIN", "Tolerância de Pesagem (%)"},
        {"MATERIAL.ESTOQUE", "Controla Estoque"},
        {"COMP_MATERIAL.MATERIAL", "Material"},
        {"COMP_MATERIAL.CODIGO", "Componente"},
        {"COMP_MATERIAL.PERC", "Percentual"},
        {"COMP_MATERIAL.REGRA", "Regra"},
        {"CADMATZO.CODIGO", "Tecido Cru"},
        {"CADMATZO.CODIGO2", "Código do Cliente"},
        {"CONV_MATERIAL.CODFOR", "Cliente"},
        {"CONV_MATERIAL.CODIGO_MAT", "Material"},
        {"CONV_MATERIAL.CODIGO_FOR", "Código do Cliente"},

        {"CADCORTI.COR1", "Cor do Cliente"},
        {"QUADRO.ESPESSURA", "Espessura"},
        {"QUADRO.TAMANHO", "Tamanho"},
        {"QUADRO.FOTOLITO", "Fotolito"},
        {"QUADRO.CUSTO_FOTO", "Custo do Fotolito"},
        {"QUADRO.CUSTO_ARTE", "Custo da Arte"},
        {"QUADRO.PORTADOR", "Portador"},

        {"TURNO.NOTURNO", "Noturno"},
        {"TURNO_HORARIOS.DIA", "Dia (1=Dom)"},
        {"TURNO_HORARIOS.ENTRADA", "Entrada"},
        {"TURNO_HORARIOS.SAIDA", "Saída"},
        {"TURNO_HORARIOS.TOTAL", "Total (HH:MM)"},
        {"DEPOSITO.PRIORIDADE", "Prioridade"},

        {"NOTA.DT_EMISSAO", "Emissão"},
        {"NOTA.PESOL", "Peso Líquido"},
        {"NOTA.TIPFAT", "Tipo de Faturamento"},
        {"NOTA.IMPRESSO", "Impressa"},
        {"NOTAITEN.CODIGO", "Produto"},
        {"NOTAITEN.PEDIDO", "FAL"},
        {"NOTAITEN.NOTA_CLIENTE", "Nota do Cliente"},
        {"NOTAITEN.EMPENHO", "Empenho"},
        {"RECEBER.VENCIMENTO", "Vencimento"},
    };
    return legendas;
}

} // namespace

QString LegendaCampo(const QString& tabela, const QString& campo) {
    const QString coluna = campo.section('.', -1).trimmed().toUpper();
    const QString propria = LegendasDasTabelas().value(tabela.trimmed().toUpper() + '.' + coluna);
    return propria.isEmpty() ? LegendasComuns().value(coluna) : propria;
}

void AplicaLegendas(TDataSet& dados, const QString& tabela) {
    for (int i = 0; i < dados.FieldCount(); ++i) {
        const QString nome = dados.FieldDefs()[i].name;
        FieldDef& def = dados.FieldDefByName(nome);
        if (def.displayLabel.isEmpty())
            def.displayLabel = LegendaCampo(tabela, nome);
    }
}
