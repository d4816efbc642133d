#include "ImportaCadastro.h"
#include "Receitas.h"

namespace {
CampoImportado campo(const QString& coluna, QStringList nomes, const QString& referencia = QString()) {
    nomes.prepend(coluna);
    return CampoImportado{coluna, nomes, referencia, {}, {}, {}, {}, {}};
}

// A name kept with the row, copied from the row another column refers to when the file does not bring it.
// Named only by its captions: its column's own name may be another column's caption ("CLIENTE").
CampoImportado copia(const QString& coluna, QStringList nomes, const QString& de, const QString& origem) {
    CampoImportado c = campo(coluna, std::move(nomes));
    c.nomes.removeFirst();
    c.de = de;
    c.copia = origem;
    return c;
}
} // namespace

// Header names are the columns' own (what a host table exports) and the captions the screens and
// spreadsheets use for them.
QList<CadastroImportavel> CadastrosImportaveis() {
    CadastroImportavel clientes{QStringLiteral("Clientes"),
                                QStringLiteral("ENTIDADE"),
                                {QStringLiteral("CODCLI")},
                                {campo("CODCLI", {"Código", "Cliente", "Código do cliente"}),
                                 campo("NOME", {"Nome", "Razão social"}),
                                 campo("FANTASIA", {"Fantasia", "Nome fantasia"}),
                                 campo("TIPO_ENTIDADE", {"Tipo"}),
                                 campo("CNPJ", {"CNPJ/CPF", "CPF"}),
                                 campo("ENDERECO", {"Endereço"}),
                                 campo("NUMERO", {"Número"}),
                                 campo("COMPLEMENTO", {"Complemento"}),
                                 campo("BAIRRO", {"Bairro"}),
                                 campo("CEP", {}),
                                 campo("FONE", {"Telefone"}),
                                 campo("EMAIL", {"E-mail"}),
                                 campo("ATIVO", {"Ativo"}),
                                 campo("BLOQUEIO", {"Bloqueado"}),
                                 campo("TABELA", {"Tabela de preço", "Região"}, "REGIAO.REGIAO"),
                                 campo("PRAZO", {"Prazo"}),
                                 campo("CONDICAO", {"Condição"}),
                                 campo("GRUPO", {"Grupo"}, "GRUPO_CLI.CODIGO"),
                                 campo("CODREP", {"Representante"}, "REPRESEN.CODREP"),
                                 campo("SIT_CLI", {"Situação"}),
                                 campo("COD_ATVD", {"Atividade"}),
                                 campo("LIMITE_CREDITO", {"Limite de crédito"})},
                                {},
                                {},
                                {},
                                {},
                                {}};
    CadastroImportavel tecidos{
        QStringLiteral("Tecidos"),
        QStringLiteral("PRODUTO"),
        {QStringLiteral("CODIGO")},
        {campo("CODIGO", {"Código", "Tecido", "Produto"}), campo("DESCRICAO", {"Descrição"}),
         campo("DESCRICAO2", {"Descrição 2", "Descrição complementar"}), campo("UNIDADE", {"Unidade"}),
         campo("PRECO", {"Preço"}), campo("GRUPO", {"Grupo"}, "GRUPO_PA.CODIGO"),
         campo("CODFIS", {"Classificação fiscal"}, "TABFIS.CODIGO"), campo("GRAMATURA", {"Gramatura"}),
         campo("LARGURA", {"Largura"}), campo("PESO", {"Peso"}), campo("PESO_TALHADO", {"Peso talhado"}),
         campo("COMP1", {"Composição", "Composição 1"}), campo("COMP2", {"Composição 2"}),
         campo("OBS", {"Observação"}), campo("ATIVO", {"Ativo"})},
        {},
        {},
        {},
        {},
        {}};
    CadastroImportavel materiais{
        QStringLiteral("Corantes e químicos"),
        QStringLiteral("MATERIAL"),
        {QStringLiteral("CODIGO")},
        {campo("CODIGO", {"Código", "Material", "Corante"}), campo("DESCRICAO", {"Descrição"}),
         campo("DESCRICAO2", {"Descrição 2"}), campo("UNIDADE", {"Unidade"}),
         campo("UNI_COM", {"Unidade de compra"}), campo("GRUPO", {"Grupo"}, "GRUPO_MA.CODIGO"),
         campo("SUB_GRUPO", {"Subgrupo"}), campo("LINHA", {"Linha"}),
         campo("MARCA", {"Marca", "Fabricante"}, "MARCA.CODIGO"),
         campo("REPOSICAO", {"Reposição", "Custo de reposição", "Custo"}),
         campo("CONCENTRACAO", {"Concentração"}), campo("CONCENTRA_EST", {"Concentração de estoque"}),
         campo("IND_TIN", {"Tolerância", "Índice"}), campo("ESTOQUE", {"Estoque"}),
         campo("ATIVO", {"Ativo"})},
        {},
        {},
        {},
        {},
        {}};
    CadastroImportavel cores{
        QStringLiteral("Cores"),
        QStringLiteral("CADCORTIN"),
        {QStringLiteral("CODIGO")},
        {campo("CODIGO", {"Código", "Cor"}), campo("DESCRICAO", {"Descrição", "Descrição da cor"}),
         campo("COD_GRUPO", {"Grupo"}, "GRUPO_COR.CODIGO"), campo("COD_CLAFIS", {"Classificação fiscal"}),
         campo("COD_CLATRIB", {"Classificação tributária"}), campo("COR_PANTONE", {"Pantone"}),
         campo("DATA", {"Data"}), campo("COMPLEMENTO", {"Complemento"}),
         campo("CODCLI", {"Cliente"}, "ENTIDADE.CODCLI"), campo("ORIGEM", {"Origem"}),
         campo("REATIVA", {"Reativa"}), campo("TINGIR", {"Tingir"}), campo("TON", {"Tom", "Tonalidade"})},
        {},
        {},
        {},
        {},
        {}};
    CampoImportado item =
        campo("CODIGO", {"Material", "Corante", "Item", "Código do item"}, "MATERIAL.CODIGO");
    item.nomes.removeFirst(); // the recipe's own code is "CODIGO" in its file
    item.seColuna = QStringLiteral("TP_ITEM");
    item.seValor = QStringLiteral("P");
    item.senao = QStringLiteral("PRODUTO.CODIGO");
    CadastroImportavel receitas{
        QStringLiteral("Receitas"),
        QStringLiteral("RECEITA"),
        {QStringLiteral("CODIGO"), QStringLiteral("VARIANTE")},
        {campo("CODIGO", {"Receita", "Código da receita"}),
         campo("VARIANTE", {"Variante"}, "VARIANTE.CODIGO"),
         campo("DESCRICAO", {"Descrição", "Descrição da receita"}), campo("COR", {"Cor"}, "CADCORTIN.CODIGO"),
         campo("GRAFICO", {"Gráfico", "Curva"}, "GRAFICO.CODIGO"),
         campo("COD_BANHO", {"Banho"}, "BANHO.CODIGO"),
         campo("PREPARACAO", {"Preparação"}, "PREPARACAO.CODIGO"), campo("OBS", {"Observação"})},
        QStringLiteral("MAT_TIN"),
        {QStringLiteral("RECEITA"), QStringLiteral("VARIANTE")},
        QStringLiteral("ORDEN"),
        {item, campo("ORDEN", {"Ordem"}), campo("QTDE", {"Quantidade", "Qtde"}),
         campo("UNIDADE", {"Unidade"}), campo("FINALIDADE", {"Finalidade"}), campo("FIBRA", {"Fibra"}),
         campo("PASSO", {"Passo"}), campo("REGRA", {"Regra"}, "TNG_REGRA.CODIGO"),
         campo("TIPO", {"Tipo"}, "TIPO_TING.CODIGO"), campo("TP_ITEM", {"Tipo do item"})},
        // The imported recipes cost as the recipe screen costs them.
        [](const QList<QStringList>& chaves) {
            QList<std::pair<QString, QString>> lista;
            for (const QStringList& chave : chaves)
                lista.append({chave.value(0), chave.value(1)});
            RecalculaReceitasListadas(lista);
        }};
    CadastroImportavel precos{QStringLiteral("Preços de serviço"),
                              QStringLiteral("TABPRE_SERV"),
                              {QStringLiteral("CODCLI"), QStringLiteral("FASE")},
                              {campo("CODCLI", {"Cliente", "Código do cliente"}, "ENTIDADE.CODCLI"),
                               campo("FASE", {"Fase", "Serviço"}, "FASE.CODIGO"),
                               campo("CUSTO", {"Preço", "Valor", "Custo"}),
                               copia("CLIENTE", {"Nome", "Nome do cliente"}, "CODCLI", "NOME"),
                               copia("DESCRICAO", {"Descrição", "Descrição da fase"}, "FASE", "DESCRICAO")},
                              {},
                              {},
                              {},
                              {},
                              {}};
    return {clientes, tecidos, materiais, cores, receitas, precos};
}
