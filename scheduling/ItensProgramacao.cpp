#include "ItensProgramacao.h"
#include "DataAccess.h"
#include "Funcoes.h"
#include "InstrucoesEmLote.h"
#include "RegrasProgramacao.h"
#include "SisImporta.h"
#include "TClientDataSet.h"
#include "TZoQuery.h"
#include <QHash>
#include <QScopedValueRollback>
#include <QSet>
#include <algorithm>

namespace {
struct CampoItem {
    const char* nome;
    QMetaType::Type tipo;
    int tamanho;
};

// The working fields of the programme's items; the screen declares which of them its grid shows.
const CampoItem kCampos[] = {
    {"Gerar", QMetaType::QString, 1},
    {"Partida", QMetaType::QString, 6},
    {"Codigo", QMetaType::QString, 15},
    {"Descricao", QMetaType::QString, 80},
    {"Cor", QMetaType::QString, 10},
    {"DescCor", QMetaType::QString, 50},
    {"Variante", QMetaType::QString, 4},
    {"Maquina", QMetaType::QString, 5},
    {"Lote", QMetaType::QString, 15},
    {"Fluxo", QMetaType::QString, 6},
    {"DescFluxo", QMetaType::QString, 150},
    {"Rolo", QMetaType::Int, 0},
    {"Peso", QMetaType::Double, 0},
    {"Largura", QMetaType::Double, 0},
    {"Gramatura", QMetaType::Double, 0},
    {"Estampa", QMetaType::QString, 10},
    {"Var_Est", QMetaType::QString, 4},
    {"Fal", QMetaType::QString, 7},
    {"Tingir", QMetaType::QString, 1},
    {"Fibra1", QMetaType::Int, 0},
    {"Fibra2", QMetaType::Int, 0},
    {"Nota", QMetaType::QString, 9},
    {"Baixado", QMetaType::Double, 0},
    {"Obs", QMetaType::QString, 4000},
    {"Cor_Cli", QMetaType::QString, 30},
    {"Codigo_Cli", QMetaType::QString, 15},
    {"Observacao", QMetaType::QString, 100},
    {"Imp", QMetaType::QString, 1},
    {"Complemento", QMetaType::QString, 100},
    {"Ordem", QMetaType::Int, 0},
    {"CorAnt", QMetaType::QString, 10},
    {"Peso_Produto", QMetaType::Double, 0},
    {"Peso_Talhado", QMetaType::Double, 0},
    {"Codigo_Ant", QMetaType::QString, 15},
    {"Regiao", QMetaType::QString, 5},
    {"LoteNF", QMetaType::QString, 15},
    {"LoteOrig", QMetaType::QString, 15},
    {"Cor_I", QMetaType::Int, 0},
    {"Descricao2", QMetaType::QString, 80},
    {"Comp1", QMetaType::QString, 80},
    {"Comp2", QMetaType::QString, 80},
    {"Local", QMetaType::QString, 10},
    {"Ordem_Gravada", QMetaType::Int, 0},
    {"Fluxo_Ant", QMetaType::QString, 6},
    {"LoteNF_Ant", QMetaType::QString, 15},
};

// Columns written from the row, by column and field.
const QList<QPair<const char*, const char*>> kColunasLinha = {{"PARTIDA", "Partida"},
                                                              {"REGIAO", "Regiao"},
                                                              {"CODIGO", "Codigo"},
                                                              {"COR", "Cor"},
                                                              {"MAQUINA", "Maquina"},
                                                              {"LOTE", "Lote"},
                                                              {"ESTAMPA", "Estampa"},
                                                              {"VAR_EST", "Var_Est"},
                                                              {"OBSERVACAO", "Observacao"},
                                                              {"NOTA", "Nota"},
                                                              {"ROLO", "Rolo"},
                                                              {"PESO", "Peso"},
                                                              {"PESO_B", "Baixado"},
                                                              {"LARGURA", "Largura"},
                                                              {"GRAMATURA", "Gramatura"},
                                                              {"ROTEIRO", "Fluxo"},
                                                              {"VARIANTE", "Variante"},
                                                              {"FIBRA1", "Fibra1"},
                                                              {"FIBRA2", "Fibra2"},
                                                              {"CODIGO_CLI", "Codigo_Cli"},
                                                              {"COR_CLI", "Cor_Cli"},
                                                              {"OBS", "Obs"},
                                                              {"LOTENF", "LoteNF"}};

QVariant valorGravado(const QVariant& valor, QMetaType::Type tipo) {
    if (tipo == QMetaType::QString) {
        const QString texto = valor.toString().trimmed();
        return texto.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(texto);
    }
    return valor.isNull() ? QVariant(QMetaType(tipo)) : valor;
}
} // namespace

ItensProgramacao::ItensProgramacao(QObject* dono) : TbItens(new TClientDataSet(dono)) {
    TbItens->setObjectName(QStringLiteral("TbItens"));
    for (const CampoItem& campo : kCampos)
        TbItens->AddField(QLatin1String(campo.nome), campo.tipo, campo.tamanho);
    TbItens->CreateDataSet();
    TbItens->FieldDefByName(QStringLiteral("Peso")).decimals = 4;
}

QVariant ItensProgramacao::Valor(int linha, const QString& campo) const {
    return TbItens->ValueAt(linha, TbItens->FieldIndex(campo));
}

QString ItensProgramacao::Texto(int linha, const QString& campo) const {
    return Valor(linha, campo).toString().trimmed();
}

void ItensProgramacao::Define(int linha, const QString& campo, const QVariant& valor) {
    TbItens->SetValueAt(linha, TbItens->FieldIndex(campo), valor);
}

int ItensProgramacao::Linhas() const {
    return TbItens->RecordCount();
}

bool ItensProgramacao::Armazenado(int linha) const {
    return !Valor(linha, QStringLiteral("Ordem_Gravada")).isNull();
}

int ItensProgramacao::OrdemArmazenada(int linha) const {
    return Valor(linha, QStringLiteral("Ordem_Gravada")).toInt();
}

bool ItensProgramacao::LinhaEmBranco(TDataSet& linha) {
    return linha.FieldByName(QStringLiteral("Partida")).AsString().trimmed().isEmpty() &&
           linha.FieldByName(QStringLiteral("Codigo")).AsString().trimmed().isEmpty();
}

void ItensProgramacao::ConcluiLinha() {
    if (TbItens->State() == DataSetState::Insert && LinhaEmBranco(*TbItens))
        TbItens->Cancel();
    TbItens->CheckBrowseMode();
}

void ItensProgramacao::Limpa() {
    TbItens->Cancel();
    TbItens->EmptyDataSet();
}

bool ItensProgramacao::BuscaDados(const QString& numero, CabecalhoProgramacao& cabecalho, TZoDatabase* db) {
    Limpa();
    TZoQuery q(nullptr, db);
    q.SQL << DBLocal_SQL(QStringLiteral(
        "SELECT P.CODCLI, P.REGIAO, P.CODIGO, P.CODIGO_CLI, P.COR, P.COR_CLI, P.ENTRADA, P.ENTREGA, "
        "P.ESTAMPA, P.FAL, P.FIBRA1, P.FIBRA2, P.GRAMATURA, P.LARGURA, P.LOTE, P.MAQUINA, P.NOTA, P.OBS, "
        "P.OBSERVACAO, P.PARTIDA, P.PESO, P.PESO_B, P.ROLO, P.ROTEIRO, P.VARIANTE, P.VAR_EST, "
        "PRODUTO.DESCRICAO, CADCOR.DESCRICAO AS DESCCOR, CADCOR.COMPLEMENTO, P.ORDEM, CADCOR.COR_SIS, "
        "(SELECT MAX(R.DESCRICAO) FROM {ROTEIRO} R WHERE R.CODIGO = P.ROTEIRO) AS DESCFLUXO, "
        "PRODUTO.PESO AS PESO_PRODUTO, PRODUTO.PESO_TALHADO, P.LOTENF, CADCOR.TINGIR, PRODUTO.DESCRICAO2, "
        "PRODUTO.COMP1, PRODUTO.COMP2, P.LOCAL FROM {TNG_PROG} P "
        "LEFT JOIN {PRODUTO} PRODUTO ON (P.CODIGO = PRODUTO.CODIGO) "
        "LEFT JOIN {CADCORTIN} CADCOR ON (P.COR = CADCOR.CODIGO) "
        "WHERE P.NUMERO = :NUMERO ORDER BY P.PARTIDA NULLS FIRST, P.ORDEM"));
    q.BindValue(QStringLiteral("NUMERO"), numero);
    q.Open();
    if (q.IsEmpty())
        return false;
    cabecalho.numero = numero;
    cabecalho.cliente = q.FieldByName(QStringLiteral("CODCLI")).AsString().trimmed();
    cabecalho.entrada = q.FieldByName(QStringLiteral("ENTRADA")).AsDate();
    cabecalho.entrega = q.FieldByName(QStringLiteral("ENTREGA")).AsDate();
    const QList<QPair<const char*, const char*>> colunas = {{"Partida", "PARTIDA"},
                                                            {"Codigo", "CODIGO"},
                                                            {"Descricao", "DESCRICAO"},
                                                            {"Cor", "COR"},
                                                            {"DescCor", "DESCCOR"},
                                                            {"Variante", "VARIANTE"},
                                                            {"Maquina", "MAQUINA"},
                                                            {"Lote", "LOTE"},
                                                            {"Fluxo", "ROTEIRO"},
                                                            {"DescFluxo", "DESCFLUXO"},
                                                            {"Rolo", "ROLO"},
                                                            {"Peso", "PESO"},
                                                            {"Largura", "LARGURA"},
                                                            {"Gramatura", "GRAMATURA"},
                                                            {"Estampa", "ESTAMPA"},
                                                            {"Var_Est", "VAR_EST"},
                                                            {"Fal", "FAL"},
                                                            {"Tingir", "TINGIR"},
                                                            {"Fibra1", "FIBRA1"},
                                                            {"Fibra2", "FIBRA2"},
                                                            {"Nota", "NOTA"},
                                                            {"Baixado", "PESO_B"},
                                                            {"Obs", "OBS"},
                                                            {"Cor_Cli", "COR_CLI"},
                                                            {"Codigo_Cli", "CODIGO_CLI"},
                                                            {"Observacao", "OBSERVACAO"},
                                                            {"Complemento", "COMPLEMENTO"},
                                                            {"Ordem", "ORDEM"},
                                                            {"Peso_Produto", "PESO_PRODUTO"},
                                                            {"Peso_Talhado", "PESO_TALHADO"},
                                                            {"Codigo_Ant", "CODIGO"},
                                                            {"Regiao", "REGIAO"},
                                                            {"LoteNF", "LOTENF"},
                                                            {"LoteOrig", "LOTE"},
                                                            {"Descricao2", "DESCRICAO2"},
                                                            {"Comp1", "COMP1"},
                                                            {"Comp2", "COMP2"},
                                                            {"Local", "LOCAL"},
                                                            {"Ordem_Gravada", "ORDEM"},
                                                            {"Fluxo_Ant", "ROTEIRO"},
                                                            {"LoteNF_Ant", "LOTENF"}};
    QList<QPair<int, int>> indices;
    for (const auto& [campo, coluna] : colunas)
        indices.append({TbItens->FieldIndex(QLatin1String(campo)), q.FieldIndex(QLatin1String(coluna))});
    const int corSis = q.FieldIndex(QStringLiteral("COR_SIS"));
    const int corI = TbItens->FieldIndex(QStringLiteral("Cor_I"));
    QScopedValueRollback<bool> carregando(m_carregando, true);
    ControlesDesligados quieto(*TbItens);
    for (q.First(); !q.Eof(); q.Next()) {
        TbItens->Append();
        for (const auto& [campo, coluna] : std::as_const(indices))
            TbItens->Fields(campo) = q.Fields(coluna).Value();
        bool numero = false;
        const int cor = q.Fields(corSis).AsString().trimmed().toInt(&numero);
        TbItens->Fields(corI) = numero ? QVariant(cor) : QVariant();
        TbItens->FieldByName(QStringLiteral("Imp")) = QStringLiteral("N");
        TbItens->Post();
    }
    TbItens->First();
    // The header as the last save wrote it: open rows carry it; rows that went to a lot sheet keep theirs.
    for (int linha = 0; linha < Linhas(); ++linha)
        if (Texto(linha, QStringLiteral("Fal")).isEmpty()) {
            q.MoveTo(linha);
            cabecalho.cliente = q.FieldByName(QStringLiteral("CODCLI")).AsString().trimmed();
            cabecalho.entrada = q.FieldByName(QStringLiteral("ENTRADA")).AsDate();
            cabecalho.entrega = q.FieldByName(QStringLiteral("ENTREGA")).AsDate();
            break;
        }
    return true;
}

int ItensProgramacao::ProximaOrdem() const {
    QVariantList ordens;
    for (int linha = 0; linha < Linhas(); ++linha)
        ordens << Valor(linha, QStringLiteral("Ordem"));
    return ::ProximaOrdem(ordens);
}

ItensProgramacao::Gravacao ItensProgramacao::GravaDados(const CabecalhoProgramacao& cabecalho,
                                                        TZoDatabase* db) {
    ConcluiLinha();
    // What is stored now, another user's rows included, in one read.
    QHash<int, QString> armazenados;
    {
        TZoQuery q(nullptr, db);
        q.SQL << DBLocal_SQL(QStringLiteral("SELECT ORDEM, FAL FROM {TNG_PROG} WHERE NUMERO = :NUMERO"));
        q.BindValue(QStringLiteral("NUMERO"), cabecalho.numero);
        q.Open();
        for (q.First(); !q.Eof(); q.Next())
            armazenados.insert(q.Fields(0).AsInteger(), q.Fields(1).AsString().trimmed());
    }
    QSet<int> tomadas(armazenados.keyBegin(), armazenados.keyEnd());
    QVariantList ordens(tomadas.cbegin(), tomadas.cend());
    for (int linha = 0; linha < Linhas(); ++linha)
        ordens << Valor(linha, QStringLiteral("Ordem"));
    int livre = ::ProximaOrdem(ordens);

    // The rows travel fifty to a round trip; each value through ValorSql.
    QStringList colunas{QStringLiteral("CODCLI"), QStringLiteral("ENTRADA"), QStringLiteral("ENTREGA")};
    for (const auto& [coluna, campo] : kColunasLinha)
        colunas << QLatin1String(coluna);
    const auto data = [](const QDate& dia) { return dia.isValid() ? QVariant(dia) : QVariant(); };
    const auto valores = [&](int linha) {
        QStringList lista{ValorSql(valorGravado(cabecalho.cliente, QMetaType::QString)),
                          ValorSql(data(cabecalho.entrada)), ValorSql(data(cabecalho.entrega))};
        for (const auto& [coluna, campo] : kColunasLinha)
            lista << ValorSql(valorGravado(Valor(linha, QLatin1String(campo)),
                                           TbItens->FieldDefByName(QLatin1String(campo)).type));
        return lista;
    };
    const QString tabela = DBLocal(QStringLiteral("TNG_PROG"));
    const QString chave = QStringLiteral(" WHERE NUMERO = %1 AND ORDEM = %2 AND COALESCE(FAL, '') = ''");
    InstrucoesEmLote lote(db ? *db : *ConexaoHost());
    Gravacao gravacao;
    for (int linha = 0; linha < Linhas(); ++linha) {
        const bool armazenado = Armazenado(linha) && armazenados.contains(OrdemArmazenada(linha));
        if (armazenado && !armazenados.value(OrdemArmazenada(linha)).isEmpty())
            continue; // went to a FAL: only the FAL update changes it
        const bool semProduto = Texto(linha, QStringLiteral("Codigo")).isEmpty();
        if (armazenado) {
            const QString onde = chave.arg(Aspas(cabecalho.numero)).arg(OrdemArmazenada(linha));
            if (semProduto) {
                lote.Adiciona(QStringLiteral("DELETE FROM ") + tabela + onde);
            } else {
                const QStringList lista = valores(linha);
                QStringList atribuicoes;
                for (qsizetype i = 0; i < colunas.size(); ++i)
                    atribuicoes << colunas.at(i) + QStringLiteral(" = ") + lista.at(i);
                lote.Adiciona(
                    QStringLiteral("UPDATE %1 SET %2").arg(tabela, atribuicoes.join(QStringLiteral(", "))) +
                    onde);
            }
            gravacao.gravou = true;
            continue;
        }
        if (semProduto)
            continue;
        int ordem = Valor(linha, QStringLiteral("Ordem")).toInt();
        if (ordem <= 0 || tomadas.contains(ordem))
            ordem = livre++;
        tomadas.insert(ordem);
        lote.Adiciona(
            QStringLiteral("INSERT INTO %1 (NUMERO, ORDEM, FAL, %2) VALUES (%3, %4, %5, %6)")
                .arg(tabela, colunas.join(QStringLiteral(", ")), Aspas(cabecalho.numero))
                .arg(ordem)
                .arg(ValorSql(valorGravado(Valor(linha, QStringLiteral("Fal")), QMetaType::QString)),
                     valores(linha).join(QStringLiteral(", "))));
        gravacao.gravou = true;
        gravacao.ordens.append({linha, ordem});
    }
    lote.Executa();
    return gravacao;
}

int ItensProgramacao::GravaLinhasFal(const CabecalhoProgramacao& cabecalho, const QList<int>& linhas,
                                     TZoDatabase* db) {
    QStringList atribuicoes;
    for (const auto& [coluna, campo] : kColunasLinha)
        atribuicoes << QStringLiteral("%1 = :%1").arg(QLatin1String(coluna));
    TZoQuery q(nullptr, db);
    q.SQL << DBLocal_SQL(QStringLiteral("UPDATE {TNG_PROG} SET FAL = :FAL, CODCLI = :CODCLI, ")) +
                 atribuicoes.join(QStringLiteral(", ")) +
                 QStringLiteral(" WHERE NUMERO = :NUMERO AND ORDEM = :ORDEM");
    for (int linha : linhas) {
        q.BindValue(QStringLiteral("FAL"),
                    valorGravado(Valor(linha, QStringLiteral("Fal")), QMetaType::QString));
        q.BindValue(QStringLiteral("CODCLI"), valorGravado(cabecalho.cliente, QMetaType::QString));
        for (const auto& [coluna, campo] : kColunasLinha)
            q.BindValue(QLatin1String(coluna),
                        valorGravado(Valor(linha, QLatin1String(campo)),
                                     TbItens->FieldDefByName(QLatin1String(campo)).type));
        q.BindValue(QStringLiteral("NUMERO"), cabecalho.numero);
        q.BindValue(QStringLiteral("ORDEM"), OrdemArmazenada(linha));
        q.ExecSQL();
        if (q.RowsAffected() == 0)
            return linha;
    }
    return -1;
}

void ItensProgramacao::AplicaGravacao(const Gravacao& gravacao) {
    for (const auto& [linha, ordem] : gravacao.ordens) {
        Define(linha, QStringLiteral("Ordem"), ordem);
        Define(linha, QStringLiteral("Ordem_Gravada"), ordem);
    }
    TbItens->CheckBrowseMode();
}

int ItensProgramacao::Importa(TSisImporta& arquivo, const QString& regiao) {
    QList<QPair<int, QMetaType::Type>> campos;
    QStringList nomes;
    for (const FieldDef& def : TbItens->FieldDefs())
        if (!CampoNaoImportado(def.name) && arquivo.TemCampo(def.name)) {
            campos.append({TbItens->FieldIndex(def.name), def.type});
            nomes << def.name;
        }
    QList<QVariantList> registros;
    arquivo.Primeiro();
    while (arquivo.Proximo()) {
        QVariantList valores;
        for (qsizetype i = 0; i < campos.size(); ++i)
            valores << arquivo.Valor(nomes[i], campos[i].second);
        registros << valores;
    }
    ConcluiLinha();
    QScopedValueRollback<bool> carregando(m_carregando, true);
    for (const QVariantList& valores : std::as_const(registros)) {
        TbItens->Append();
        for (qsizetype i = 0; i < campos.size(); ++i)
            TbItens->Fields(campos[i].first) = valores[i];
        TbItens->FieldByName(QStringLiteral("Ordem")) = ProximaOrdem();
        if (TbItens->FieldByName(QStringLiteral("Regiao")).AsString().trimmed().isEmpty())
            TbItens->FieldByName(QStringLiteral("Regiao")) = regiao;
        TbItens->FieldByName(QStringLiteral("Imp")) = QStringLiteral("N");
        TbItens->Post();
    }
    return int(registros.size());
}

QStringList ItensProgramacao::CamposExportados() {
    QStringList campos;
    for (const CampoItem& campo : kCampos)
        if (!CampoNaoImportado(QLatin1String(campo.nome)))
            campos << QLatin1String(campo.nome);
    return campos;
}

QList<QVariantList> ItensProgramacao::LinhasExportadas() const {
    const QStringList campos = CamposExportados();
    QList<QVariantList> linhas;
    for (int linha = 0; linha < Linhas(); ++linha) {
        QVariantList valores;
        for (const QString& campo : campos)
            valores << Valor(linha, campo);
        linhas << valores;
    }
    return linhas;
}

bool ItensProgramacao::IguaisAosArmazenados(const ItensProgramacao& armazenados) const {
    QHash<int, int> linhaDaOrdem;
    for (int linha = 0; linha < armazenados.Linhas(); ++linha)
        linhaDaOrdem.insert(armazenados.OrdemArmazenada(linha), linha);
    QStringList campos{QStringLiteral("Fal")};
    for (const auto& [coluna, campo] : kColunasLinha)
        campos << QLatin1String(campo);
    const auto igual = [&](int linha, int armazenada, const QString& campo) {
        const QMetaType::Type tipo = TbItens->FieldDefByName(campo).type;
        const QVariant aqui = valorGravado(Valor(linha, campo), tipo);
        const QVariant la = valorGravado(armazenados.Valor(armazenada, campo), tipo);
        return tipo == QMetaType::QString ? aqui == la : qAbs(aqui.toDouble() - la.toDouble()) < 1e-9;
    };
    int encontradas = 0;
    for (int linha = 0; linha < Linhas(); ++linha) {
        const int armazenada = Armazenado(linha) ? linhaDaOrdem.value(OrdemArmazenada(linha), -1) : -1;
        if (armazenada < 0) {
            if (Texto(linha, QStringLiteral("Codigo")).isEmpty())
                continue; // nothing a save writes
            return false;
        }
        ++encontradas;
        for (const QString& campo : std::as_const(campos))
            if (!igual(linha, armazenada, campo))
                return false;
    }
    return encontradas == armazenados.Linhas();
}

void ItensProgramacao::OrdenaPorPartida() {
    ConcluiLinha();
    QList<QVariantList> linhas;
    for (int linha = 0; linha < Linhas(); ++linha) {
        QVariantList valores;
        for (int campo = 0; campo < TbItens->FieldCount(); ++campo)
            valores << TbItens->ValueAt(linha, campo);
        linhas << valores;
    }
    const int partida = TbItens->FieldIndex(QStringLiteral("Partida"));
    const int ordem = TbItens->FieldIndex(QStringLiteral("Ordem"));
    std::stable_sort(linhas.begin(), linhas.end(), [&](const QVariantList& a, const QVariantList& b) {
        const QString pa = a[partida].toString().trimmed(), pb = b[partida].toString().trimmed();
        bool na = false, nb = false;
        const qint64 va = pa.toLongLong(&na), vb = pb.toLongLong(&nb);
        if (na && nb && va != vb)
            return va < vb;
        if (!(na && nb) && pa != pb)
            return pa < pb;
        return a[ordem].toInt() < b[ordem].toInt();
    });
    QScopedValueRollback<bool> carregando(m_carregando, true);
    ControlesDesligados quieto(*TbItens);
    TbItens->EmptyDataSet();
    for (const QVariantList& valores : std::as_const(linhas)) {
        TbItens->Append();
        for (int campo = 0; campo < valores.size(); ++campo)
            TbItens->Fields(campo) = valores[campo];
        TbItens->Post();
    }
    TbItens->First();
}
