#include "ImportaCadastro.h"
#include "DataAccess.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "GravacaoAtomica.h"
#include "HostError.h"
#include "InstrucoesEmLote.h"
#include "SisImporta.h"
#include "TZoDatabase.h"
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <cmath>

namespace {
const QChar kSep(0x1f);

// "Razão Social", "RAZAO_SOCIAL" and "razao social" are one name.
QString normaliza(const QString& nome) {
    QString limpo;
    for (const QChar c : nome.normalized(QString::NormalizationForm_D))
        if (c.isLetterOrNumber() && c.category() != QChar::Mark_NonSpacing)
            limpo += c.toLower();
    return limpo;
}

enum class Tipo { Texto, Numero, Inteiro, Data, Outro };

struct Metadado {
    Tipo tipo = Tipo::Outro;
    int escala = -1; // decimals a NUMERIC keeps; -1 for floating point
    int largura = 0; // characters of a text column
    bool obrigatoria = false;
};

// The table's columns as the catalogue describes them.
QHash<QString, Metadado> leMetadados(TZoDatabase& db, const QString& tabela) {
    QSqlQuery q(db.Connection());
    q.setForwardOnly(true);
    db.Prepare(q,
               QStringLiteral("SELECT TRIM(R.RDB$FIELD_NAME), F.RDB$FIELD_TYPE, F.RDB$FIELD_SCALE, "
                              "F.RDB$CHARACTER_LENGTH, COALESCE(R.RDB$NULL_FLAG, F.RDB$NULL_FLAG, 0), "
                              "IIF(R.RDB$DEFAULT_SOURCE IS NULL AND F.RDB$DEFAULT_SOURCE IS NULL, 0, 1) "
                              "FROM RDB$RELATION_FIELDS R JOIN RDB$FIELDS F ON "
                              "F.RDB$FIELD_NAME = R.RDB$FIELD_SOURCE WHERE R.RDB$RELATION_NAME = :TABELA"),
               false);
    q.bindValue(QStringLiteral(":TABELA"), tabela);
    db.Exec(q, false);
    QHash<QString, Metadado> colunas;
    while (q.next()) {
        Metadado m;
        const int tipo = q.value(1).toInt();
        const int escala = q.value(2).toInt();
        if (tipo == 14 || tipo == 37) {
            m.tipo = Tipo::Texto;
            m.largura = q.value(3).toInt();
        } else if (tipo == 7 || tipo == 8 || tipo == 16) {
            m.tipo = escala < 0 ? Tipo::Numero : Tipo::Inteiro;
            m.escala = -escala;
        } else if (tipo == 10 || tipo == 27) {
            m.tipo = Tipo::Numero;
        } else if (tipo == 12) {
            m.tipo = Tipo::Data;
        }
        m.obrigatoria = q.value(4).toInt() == 1 && q.value(5).toInt() == 0;
        colunas.insert(q.value(0).toString(), m);
    }
    return colunas;
}

bool iguais(const QVariant& a, const QVariant& b, const Metadado& m) {
    const bool vazioA = a.isNull() || (m.tipo == Tipo::Texto && a.toString().trimmed().isEmpty());
    const bool vazioB = b.isNull() || (m.tipo == Tipo::Texto && b.toString().trimmed().isEmpty());
    if (vazioA || vazioB)
        return vazioA == vazioB;
    switch (m.tipo) {
    case Tipo::Numero:
    case Tipo::Inteiro: {
        const double x = a.toDouble(), y = b.toDouble();
        if (m.escala >= 0)
            return Arredondar(x, m.escala) == Arredondar(y, m.escala);
        return std::fabs(x - y) <= 1e-9 * std::max(1.0, std::max(std::fabs(x), std::fabs(y)));
    }
    case Tipo::Data:
        return a.toDate() == b.toDate();
    default:
        return a.toString().trimmed() == b.toString().trimmed();
    }
}

QString mostra(const QVariant& v) {
    return v.isNull() ? QStringLiteral("(vazio)") : TextoExibicao(v);
}

QString juntaLinhas(const QList<int>& linhas) {
    QStringList textos;
    for (const int l : linhas)
        textos << QString::number(l);
    return textos.join(QStringLiteral(", "));
}
} // namespace

// A field of the kind as this file and this database have it.
struct ImportaCadastro::Coluna {
    CampoImportado campo;
    Metadado meta;
    int indice = -1; // in the file's header; -1: not in the file
    bool item = false;
};

struct ImportaCadastro::Registro {
    QStringList chave;
    QList<int> linhas; // into m_linhas
    QHash<QString, QVariant> valores;
    QList<QHash<QString, QVariant>> itens;
    Veredito veredito = Veredito::Novo;
    QStringList motivos;
    QStringList mudancas; // columns an update sets
    bool trocaItens = false;
};

QString TextoVeredito(Veredito veredito) {
    switch (veredito) {
    case Veredito::Novo:
        return QStringLiteral("Novo");
    case Veredito::Altera:
        return QStringLiteral("Altera");
    case Veredito::Igual:
        return QStringLiteral("Sem alteração");
    case Veredito::Recusado:
        break;
    }
    return QStringLiteral("Recusado");
}

ImportaCadastro::ImportaCadastro(CadastroImportavel cadastro) : m_cadastro(std::move(cadastro)) {}

ImportaCadastro::~ImportaCadastro() = default;

int ImportaCadastro::Quantas(Veredito veredito) const {
    return int(std::count_if(m_linhas.cbegin(), m_linhas.cend(),
                             [veredito](const LinhaImportada& l) { return l.veredito == veredito; }));
}

bool ImportaCadastro::Le(const QString& arquivo) {
    m_arquivo = arquivo;
    m_erro.clear();
    m_linhas.clear();
    m_registros.clear();
    m_ignoradas.clear();
    {
        // A spreadsheet's own file read as text would only say its header lacks the key.
        QFile f(arquivo);
        if (f.open(QIODevice::ReadOnly) && f.read(4) == QByteArrayLiteral("PK\x03\x04")) {
            m_erro = QStringLiteral("O arquivo é uma planilha (XLSX ou ODS): salve-a como CSV separado por "
                                    "ponto e vírgula e importe o CSV.");
            m_cabecalho.clear();
            return false;
        }
    }
    TSisImporta imp(arquivo);
    if (!imp.Ok()) {
        m_erro = imp.Erro();
        m_cabecalho.clear();
        return false;
    }
    m_cabecalho = imp.Campos();
    while (imp.Proximo()) {
        LinhaImportada linha;
        linha.linha = imp.Linha();
        for (const QString& nome : std::as_const(m_cabecalho))
            linha.valores << imp.Valor(nome).toString();
        m_linhas << linha;
    }
    try {
        GravacaoAtomica leitura;
        Julga();
    } catch (const EDatabaseError& e) {
        if (m_erro.isEmpty())
            throw;
    }
    return m_erro.isEmpty();
}

void ImportaCadastro::Julga() {
    TZoDatabase& db = *ConexaoHost();
    const QString tabela = DBLocal(m_cadastro.tabela);
    const QString tabelaItens =
        m_cadastro.tabelaItens.isEmpty() ? QString() : DBLocal(m_cadastro.tabelaItens);
    const QHash<QString, Metadado> metaTabela = leMetadados(db, tabela);
    const QHash<QString, Metadado> metaItens =
        tabelaItens.isEmpty() ? QHash<QString, Metadado>() : leMetadados(db, tabelaItens);

    // Which column of the file gives which field.
    QList<Coluna> colunas;
    QHash<QString, int> porNome; // normalized name -> into colunas
    auto declara = [&](const QList<CampoImportado>& campos, const QHash<QString, Metadado>& meta, bool item) {
        for (const CampoImportado& campo : campos) {
            if (!meta.contains(campo.coluna))
                continue; // a column of a later version
            Coluna c{campo, meta.value(campo.coluna), -1, item};
            // A name two fields answer to is the first one's (the key's, say).
            for (const QString& nome : campo.nomes.isEmpty() ? QStringList{campo.coluna} : campo.nomes)
                if (!porNome.contains(normaliza(nome)))
                    porNome.insert(normaliza(nome), int(colunas.size()));
            colunas << c;
        }
    };
    declara(m_cadastro.campos, metaTabela, false);
    declara(m_cadastro.camposItens, metaItens, true);
    for (int i = 0; i < m_cabecalho.size(); ++i) {
        const int c = porNome.value(normaliza(m_cabecalho[i]), -1);
        if (c < 0) {
            m_ignoradas << m_cabecalho[i];
            continue;
        }
        if (colunas[c].indice >= 0) {
            m_erro = QStringLiteral("As colunas \"%1\" e \"%2\" do arquivo trazem o mesmo campo %3.")
                         .arg(m_cabecalho[colunas[c].indice], m_cabecalho[i], colunas[c].campo.coluna);
            throw EDatabaseError(m_erro);
        }
        colunas[c].indice = i;
    }
    auto indiceDe = [&](const QString& coluna, bool item) {
        for (int c = 0; c < colunas.size(); ++c)
            if (colunas[c].campo.coluna == coluna && colunas[c].item == item)
                return c;
        return -1;
    };
    for (const QString& k : m_cadastro.chave) {
        const int c = indiceDe(k, false);
        if (c < 0 || colunas[c].indice < 0) {
            const QStringList nomes = c < 0 ? QStringList{k} : colunas[c].campo.nomes;
            m_erro = QStringLiteral("O arquivo não traz a coluna \"%1\".").arg(nomes.value(0, k));
            throw EDatabaseError(m_erro);
        }
    }
    bool temItens = false;
    for (const Coluna& c : std::as_const(colunas))
        temItens = temItens || (c.item && c.indice >= 0);

    // References, and the names copied from them, read once per table.
    struct Referencia {
        QSet<QString> codigos;
        QHash<QString, QString> copia;
    };
    QHash<QString, Referencia> referencias;
    auto referencia = [&](const QString& alvo, const QString& copia) -> const Referencia& {
        const QString chaveRef = alvo + QLatin1Char('|') + copia;
        auto it = referencias.find(chaveRef);
        if (it != referencias.end())
            return *it;
        Referencia r;
        const QString tabelaRef = DBLocal(alvo.section(QLatin1Char('.'), 0, 0));
        const QString colunaRef = alvo.section(QLatin1Char('.'), 1);
        QSqlQuery q(db.Connection());
        q.setForwardOnly(true);
        db.Exec(q,
                QStringLiteral("SELECT %1%2 FROM %3")
                    .arg(colunaRef, copia.isEmpty() ? QString() : QStringLiteral(", ") + copia, tabelaRef),
                false);
        while (q.next()) {
            const QString codigo = q.value(0).toString().trimmed();
            r.codigos.insert(codigo);
            if (!copia.isEmpty())
                r.copia.insert(codigo, q.value(1).toString());
        }
        return *referencias.insert(chaveRef, r);
    };

    // Each line read as values, and checked on its own.
    QList<QHash<QString, QVariant>> valores(m_linhas.size());
    QList<QStringList> problemas(m_linhas.size());
    for (int l = 0; l < m_linhas.size(); ++l) {
        LinhaImportada& linha = m_linhas[l];
        for (const Coluna& c : std::as_const(colunas)) {
            if (c.indice < 0)
                continue;
            const QString texto = linha.valores.value(c.indice).trimmed();
            QVariant valor;
            const QString& nome = c.campo.coluna;
            if (!texto.isEmpty()) {
                switch (c.meta.tipo) {
                case Tipo::Numero:
                case Tipo::Inteiro: {
                    double numero = 0;
                    if (!LeNumero(texto, numero) ||
                        (c.meta.tipo == Tipo::Inteiro && numero != std::trunc(numero)))
                        problemas[l] << QStringLiteral("número ilegível em %1: \"%2\"").arg(nome, texto);
                    else if (c.meta.tipo == Tipo::Inteiro)
                        valor = qlonglong(numero);
                    else
                        valor = c.meta.escala >= 0 ? Arredondar(numero, c.meta.escala) : numero;
                    break;
                }
                case Tipo::Data: {
                    const QDate data = LeData(texto);
                    if (!data.isValid())
                        problemas[l] << QStringLiteral("data ilegível em %1: \"%2\"").arg(nome, texto);
                    else
                        valor = data;
                    break;
                }
                default:
                    if (c.meta.largura > 0 && texto.size() > c.meta.largura)
                        problemas[l] << QStringLiteral("texto longo demais para %1 (até %2 caracteres)")
                                            .arg(nome)
                                            .arg(c.meta.largura);
                    else
                        valor = texto;
                }
            }
            valores[l].insert(nome + (c.item ? QStringLiteral("@") : QString()), valor);
        }
        // References and required columns, once the line's own values are known.
        for (const Coluna& c : std::as_const(colunas)) {
            const QString chaveValor = c.campo.coluna + (c.item ? QStringLiteral("@") : QString());
            if (c.indice < 0)
                continue;
            const QVariant valor = valores[l].value(chaveValor);
            if (valor.isNull()) {
                if (c.meta.obrigatoria || (!c.item && m_cadastro.chave.contains(c.campo.coluna)))
                    problemas[l] << QStringLiteral("%1 não pode ficar vazio").arg(c.campo.coluna);
                continue;
            }
            QString alvo = c.campo.referencia;
            if (!c.campo.seColuna.isEmpty() &&
                valores[l]
                        .value(c.campo.seColuna + (c.item ? QStringLiteral("@") : QString()))
                        .toString()
                        .trimmed() == c.campo.seValor)
                alvo = c.campo.senao;
            if (!alvo.isEmpty() && !referencia(alvo, QString()).codigos.contains(valor.toString().trimmed()))
                problemas[l] << QStringLiteral("%1 \"%2\" não existe em %3")
                                    .arg(c.campo.coluna, valor.toString(),
                                         alvo.section(QLatin1Char('.'), 0, 0));
        }
        // Names copied from a referenced row when the file leaves them empty.
        for (const Coluna& c : std::as_const(colunas)) {
            if (c.campo.de.isEmpty() || c.item)
                continue;
            const QString chaveValor = c.campo.coluna;
            if (!valores[l].value(chaveValor).isNull())
                continue;
            const int de = indiceDe(c.campo.de, false);
            if (de < 0 || colunas[de].indice < 0)
                continue;
            const QString codigo = valores[l].value(c.campo.de).toString().trimmed();
            const QString copiado =
                referencia(colunas[de].campo.referencia, c.campo.copia).copia.value(codigo).trimmed();
            valores[l].insert(chaveValor, c.meta.largura > 0 ? copiado.left(c.meta.largura) : copiado);
        }
    }

    // The lines grouped by key: one line a record, or a record's items.
    std::vector<Registro> registros;
    QHash<QString, int> porChave;
    for (int l = 0; l < m_linhas.size(); ++l) {
        QStringList chave;
        for (const QString& k : m_cadastro.chave)
            chave << valores[l].value(k).toString().trimmed();
        const QString k = chave.join(kSep);
        auto it = porChave.find(k);
        if (it == porChave.end()) {
            Registro r;
            r.chave = chave;
            it = porChave.insert(k, int(registros.size()));
            registros.push_back(r);
        }
        registros[*it].linhas << l;
    }
    const QString ordem = m_cadastro.ordemItens;
    const int colunaOrdem = ordem.isEmpty() ? -1 : indiceDe(ordem, true);
    const bool ordemNoArquivo = colunaOrdem >= 0 && colunas[colunaOrdem].indice >= 0;
    for (Registro& r : registros) {
        QList<int> recusadas;
        for (const int l : std::as_const(r.linhas))
            if (!problemas[l].isEmpty())
                recusadas << m_linhas[l].linha;
        bool vazia = false;
        for (const QString& parte : std::as_const(r.chave))
            vazia = vazia || parte.isEmpty();
        if (vazia)
            continue; // each line already says its key is empty
        if (m_cadastro.tabelaItens.isEmpty()) {
            if (r.linhas.size() > 1) {
                QList<int> linhas;
                for (const int l : std::as_const(r.linhas))
                    linhas << m_linhas[l].linha;
                r.motivos << QStringLiteral("chave repetida no arquivo (linhas %1)").arg(juntaLinhas(linhas));
            }
        } else if (!recusadas.isEmpty() && recusadas.size() < r.linhas.size()) {
            r.motivos << QStringLiteral("outra linha do mesmo registro foi recusada (linha %1)")
                             .arg(juntaLinhas(recusadas));
        }
        // A record's own columns must agree on all its lines.
        const int primeira = r.linhas.first();
        for (const Coluna& c : std::as_const(colunas)) {
            if (c.item || (c.indice < 0 && c.campo.de.isEmpty()))
                continue;
            const QVariant valor = valores[primeira].value(c.campo.coluna);
            for (const int l : std::as_const(r.linhas))
                if (!iguais(valores[l].value(c.campo.coluna), valor, c.meta)) {
                    r.motivos << QStringLiteral("%1 difere entre as linhas %2 e %3")
                                     .arg(c.campo.coluna)
                                     .arg(m_linhas[primeira].linha)
                                     .arg(m_linhas[l].linha);
                    break;
                }
            if (!valor.isNull() || c.indice >= 0)
                r.valores.insert(c.campo.coluna, valor);
        }
        if (temItens) {
            QSet<qlonglong> ordens;
            for (int i = 0; i < r.linhas.size(); ++i) {
                QHash<QString, QVariant> item;
                for (const Coluna& c : std::as_const(colunas))
                    if (c.item && c.indice >= 0)
                        item.insert(c.campo.coluna,
                                    valores[r.linhas[i]].value(c.campo.coluna + QStringLiteral("@")));
                if (!ordem.isEmpty()) {
                    if (!ordemNoArquivo || item.value(ordem).isNull())
                        item.insert(ordem, qlonglong(i + 1));
                    const qlonglong n = item.value(ordem).toLongLong();
                    if (ordens.contains(n))
                        r.motivos << QStringLiteral("ordem %1 repetida nos itens (linha %2)")
                                         .arg(n)
                                         .arg(m_linhas[r.linhas[i]].linha);
                    ordens.insert(n);
                }
                r.itens << item;
            }
        }
    }

    // What the database holds of the records the file names.
    QStringList lidas = m_cadastro.chave;
    for (const Coluna& c : std::as_const(colunas))
        if (!c.item && (c.indice >= 0 || !c.campo.de.isEmpty()) && !lidas.contains(c.campo.coluna))
            lidas << c.campo.coluna;
    QHash<QString, QHash<QString, QVariant>> existentes;
    {
        QSqlQuery q(db.Connection());
        q.setForwardOnly(true);
        db.Exec(q, QStringLiteral("SELECT %1 FROM %2").arg(lidas.join(QStringLiteral(", ")), tabela), false);
        while (q.next()) {
            QStringList chave;
            QHash<QString, QVariant> linha;
            for (int i = 0; i < lidas.size(); ++i) {
                if (i < m_cadastro.chave.size())
                    chave << q.value(i).toString().trimmed();
                linha.insert(lidas[i], q.value(i));
            }
            const QString k = chave.join(kSep);
            if (porChave.contains(k))
                existentes.insert(k, linha);
        }
    }
    QHash<QString, QList<QHash<QString, QVariant>>> itensExistentes;
    QStringList colunasItens;
    if (temItens) {
        for (const Coluna& c : std::as_const(colunas))
            if (c.item && c.indice >= 0)
                colunasItens << c.campo.coluna;
        if (!ordem.isEmpty() && !colunasItens.contains(ordem))
            colunasItens << ordem;
        QSqlQuery q(db.Connection());
        q.setForwardOnly(true);
        db.Exec(q,
                QStringLiteral("SELECT %1, %2 FROM %3 ORDER BY %1%4")
                    .arg(m_cadastro.chaveItens.join(QStringLiteral(", ")),
                         colunasItens.join(QStringLiteral(", ")), tabelaItens,
                         ordem.isEmpty() ? QString() : QStringLiteral(", ") + ordem),
                false);
        const int n = int(m_cadastro.chaveItens.size());
        while (q.next()) {
            QStringList chave;
            for (int i = 0; i < n; ++i)
                chave << q.value(i).toString().trimmed();
            const QString k = chave.join(kSep);
            if (!existentes.contains(k))
                continue;
            QHash<QString, QVariant> item;
            for (int i = 0; i < colunasItens.size(); ++i)
                item.insert(colunasItens[i], q.value(n + i));
            itensExistentes[k] << item;
        }
    }

    // The verdicts.
    for (Registro& r : registros) {
        bool recusado = !r.motivos.isEmpty();
        for (const int l : std::as_const(r.linhas))
            recusado = recusado || !problemas[l].isEmpty();
        const QString k = r.chave.join(kSep);
        if (recusado) {
            r.veredito = Veredito::Recusado;
        } else if (!existentes.contains(k)) {
            r.veredito = Veredito::Novo;
            r.trocaItens = temItens;
        } else {
            const QHash<QString, QVariant>& antes = existentes[k];
            for (const Coluna& c : std::as_const(colunas)) {
                if (c.item || !r.valores.contains(c.campo.coluna) ||
                    m_cadastro.chave.contains(c.campo.coluna))
                    continue;
                const QVariant novo = r.valores.value(c.campo.coluna);
                if (!iguais(antes.value(c.campo.coluna), novo, c.meta)) {
                    r.mudancas << c.campo.coluna;
                    r.motivos << QStringLiteral("%1: %2 → %3")
                                     .arg(c.campo.coluna, mostra(antes.value(c.campo.coluna)), mostra(novo));
                }
            }
            if (temItens) {
                const QList<QHash<QString, QVariant>> velhos = itensExistentes.value(k);
                bool mesmos = velhos.size() == r.itens.size();
                for (int i = 0; mesmos && i < velhos.size(); ++i)
                    for (const QString& coluna : std::as_const(colunasItens)) {
                        const int c = indiceDe(coluna, true);
                        if (!iguais(velhos[i].value(coluna), r.itens[i].value(coluna), colunas[c].meta)) {
                            mesmos = false;
                            break;
                        }
                    }
                if (!mesmos) {
                    r.trocaItens = true;
                    r.motivos << QStringLiteral("itens: %1 → %2").arg(velhos.size()).arg(r.itens.size());
                }
            }
            r.veredito = r.mudancas.isEmpty() && !r.trocaItens ? Veredito::Igual : Veredito::Altera;
        }
        for (const int l : std::as_const(r.linhas)) {
            m_linhas[l].veredito = r.veredito;
            QStringList motivo = problemas[l];
            motivo += r.motivos;
            m_linhas[l].motivo = motivo.join(QStringLiteral("; "));
        }
    }
    m_registros = std::move(registros);
}

int ImportaCadastro::Importa() {
    if (!m_erro.isEmpty())
        throw EDatabaseError(m_erro);
    TZoDatabase& db = *ConexaoHost();
    GravacaoAtomica unidade;
    Julga();
    const QString tabela = DBLocal(m_cadastro.tabela);
    InstrucoesEmLote escritas(db);
    QList<QStringList> gravadas;
    int novos = 0, alterados = 0;
    auto condicao = [](const QStringList& colunas, const QStringList& chave) {
        QStringList partes;
        for (int i = 0; i < colunas.size(); ++i)
            partes << QStringLiteral("%1 = %2").arg(colunas[i], Aspas(chave[i]));
        return partes.join(QStringLiteral(" AND "));
    };
    for (const Registro& r : std::as_const(m_registros)) {
        if (r.veredito == Veredito::Novo) {
            QStringList nomes, literais;
            for (auto it = r.valores.cbegin(); it != r.valores.cend(); ++it) {
                nomes << it.key();
                literais << ValorSql(it.value());
            }
            escritas.Adiciona(
                QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                    .arg(tabela, nomes.join(QStringLiteral(", ")), literais.join(QStringLiteral(", "))));
            ++novos;
        } else if (r.veredito == Veredito::Altera) {
            QStringList sets;
            for (const QString& coluna : r.mudancas)
                sets << QStringLiteral("%1 = %2").arg(coluna, ValorSql(r.valores.value(coluna)));
            if (!sets.isEmpty())
                escritas.Adiciona(
                    QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                        .arg(tabela, sets.join(QStringLiteral(", ")), condicao(m_cadastro.chave, r.chave)));
            ++alterados;
        } else {
            continue;
        }
        if (r.trocaItens) {
            const QString itens = DBLocal(m_cadastro.tabelaItens);
            if (r.veredito == Veredito::Altera)
                escritas.Adiciona(QStringLiteral("DELETE FROM %1 WHERE %2")
                                      .arg(itens, condicao(m_cadastro.chaveItens, r.chave)));
            for (const QHash<QString, QVariant>& item : r.itens) {
                QStringList nomes = m_cadastro.chaveItens, literais;
                for (const QString& parte : r.chave)
                    literais << Aspas(parte);
                for (auto it = item.cbegin(); it != item.cend(); ++it) {
                    nomes << it.key();
                    literais << ValorSql(it.value());
                }
                escritas.Adiciona(
                    QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                        .arg(itens, nomes.join(QStringLiteral(", ")), literais.join(QStringLiteral(", "))));
            }
        }
        gravadas << r.chave;
    }
    escritas.Executa();
    if (m_cadastro.aposGravar && !gravadas.isEmpty())
        m_cadastro.aposGravar(gravadas);
    GeraLog(QStringLiteral("IMPORTAÇÃO DE CADASTROS"),
            QStringLiteral("%1, arquivo %2: %3 novos, %4 alterados, %5 sem alteração, %6 linhas recusadas")
                .arg(m_cadastro.titulo, QFileInfo(m_arquivo).fileName())
                .arg(novos)
                .arg(alterados)
                .arg(std::count_if(m_registros.cbegin(), m_registros.cend(),
                                   [](const Registro& r) { return r.veredito == Veredito::Igual; }))
                .arg(Quantas(Veredito::Recusado)),
            opInclusao, QFileInfo(m_arquivo).fileName());
    unidade.Confirma();
    return novos + alterados;
}

void ImportaCadastro::GravaRecusadas(const QString& arquivo) const {
    QStringList campos = m_cabecalho;
    int motivo = -1;
    for (int i = 0; i < campos.size(); ++i)
        if (normaliza(campos[i]) == QLatin1String("motivo"))
            motivo = i;
    if (motivo < 0) {
        motivo = int(campos.size());
        campos << QStringLiteral("Motivo");
    }
    QList<QVariantList> linhas;
    for (const LinhaImportada& l : m_linhas) {
        if (l.veredito != Veredito::Recusado)
            continue;
        QVariantList valores;
        for (int i = 0; i < campos.size(); ++i)
            valores << (i == motivo ? l.motivo : l.valores.value(i));
        linhas << valores;
    }
    GravaExportacao(arquivo, campos, linhas);
}
