#include "SisImporta.h"
#include "HostError.h"
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <climits>
#include <cmath>

namespace {
QString chave(const QString& nome) {
    return nome.trimmed().toUpper();
}

QString textoArquivo(const QByteArray& bytes) {
    QByteArray dados = bytes;
    if (dados.startsWith("\xEF\xBB\xBF"))
        dados.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString texto = utf8.decode(dados);
    if (utf8.hasError())
        return QString::fromLatin1(dados);
    return texto;
}

bool ehNumero(const QString& texto) {
    static const QRegularExpression numero(QStringLiteral("^[+-]?(\\d+([.,]\\d*)?|[.,]\\d+)$"));
    return numero.match(texto).hasMatch();
}

bool ehInteiro(const QString& texto) {
    static const QRegularExpression inteiro(QStringLiteral("^[+-]?\\d+$"));
    return inteiro.match(texto).hasMatch();
}

QDate leData(const QString& texto) {
    return QDate::fromString(texto, QStringLiteral("d/M/yyyy"));
}

QDateTime leMomento(const QString& texto) {
    for (const QString& formato : {QStringLiteral("d/M/yyyy H:mm:ss"), QStringLiteral("d/M/yyyy H:mm")}) {
        const QDateTime momento = QDateTime::fromString(texto, formato);
        if (momento.isValid())
            return momento;
    }
    const QDate data = leData(texto);
    return data.isValid() ? QDateTime(data, QTime(0, 0)) : QDateTime();
}
} // namespace

TSisImporta::TSisImporta(const QString& arquivo, int modo) {
    if (modo != 1) {
        Falha(0, QStringLiteral("Modo de importação %1 desconhecido.").arg(modo));
        return;
    }
    QFile file(arquivo);
    if (!file.open(QIODevice::ReadOnly)) {
        Falha(0, QStringLiteral("Não foi possível abrir o arquivo %1: %2").arg(arquivo, file.errorString()));
        return;
    }
    LeModo1(textoArquivo(file.readAll()));
}

void TSisImporta::Falha(int linha, const QString& texto) {
    m_linhaErro = linha;
    m_erro = linha > 0 ? QStringLiteral("Linha %1: %2").arg(linha).arg(texto) : texto;
    m_campos.clear();
    m_indice.clear();
    m_registros.clear();
    m_atual = -1;
}

void TSisImporta::LeModo1(const QString& texto) {
    const qsizetype n = texto.size();
    qsizetype i = 0;
    int linha = 1;
    bool cabecalho = true;

    // One record per pass: fields up to the end of the line that is not inside quotes.
    while (i < n) {
        Registro registro;
        registro.linha = linha;
        QString campo;
        bool aspas = false; // the current field was quoted
        bool fimLinha = false;
        while (!fimLinha) {
            if (i >= n) {
                fimLinha = true;
                break;
            }
            const QChar c = texto[i];
            if (campo.isEmpty() && !aspas && c == u'"') {
                aspas = true;
                const int abertura = linha;
                ++i;
                bool fechou = false;
                while (i < n) {
                    const QChar q = texto[i];
                    if (q == u'"') {
                        if (i + 1 < n && texto[i + 1] == u'"') {
                            campo += u'"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        fechou = true;
                        break;
                    }
                    if (q == u'\n')
                        ++linha;
                    campo += q;
                    ++i;
                }
                if (!fechou) {
                    Falha(abertura, QStringLiteral("aspas abertas sem fechamento."));
                    return;
                }
                if (i < n && texto[i] != u';' && texto[i] != u'\r' && texto[i] != u'\n') {
                    Falha(linha, QStringLiteral("texto depois das aspas de fechamento."));
                    return;
                }
                continue;
            }
            if (c == u';') {
                registro.campos << campo;
                campo.clear();
                aspas = false;
                ++i;
                continue;
            }
            if (c == u'\r' || c == u'\n') {
                ++i;
                if (c == u'\r' && i < n && texto[i] == u'\n')
                    ++i;
                ++linha;
                fimLinha = true;
                break;
            }
            campo += c;
            ++i;
        }
        registro.campos << campo;

        if (registro.campos.size() == 1 && !aspas && campo.trimmed().isEmpty())
            continue; // blank line

        if (cabecalho) {
            cabecalho = false;
            for (qsizetype k = 0; k < registro.campos.size(); ++k) {
                const QString nome = registro.campos[k].trimmed();
                if (nome.isEmpty())
                    continue;
                if (m_indice.contains(chave(nome))) {
                    Falha(registro.linha, QStringLiteral("o campo %1 aparece duas vezes.").arg(nome));
                    return;
                }
                m_indice.insert(chave(nome), int(k));
            }
            for (const QString& nome : registro.campos)
                m_campos << nome.trimmed();
            continue;
        }
        if (registro.campos.size() > m_campos.size()) {
            Falha(registro.linha, QStringLiteral("%1 campos, mas a primeira linha nomeia %2.")
                                      .arg(registro.campos.size())
                                      .arg(m_campos.size()));
            return;
        }
        m_registros << registro;
    }
}

bool TSisImporta::TemCampo(const QString& nome) const {
    return m_indice.contains(chave(nome));
}

bool TSisImporta::Proximo() {
    if (m_atual + 1 >= m_registros.size()) {
        m_atual = m_registros.size();
        return false;
    }
    ++m_atual;
    return true;
}

int TSisImporta::Linha() const {
    return m_atual >= 0 && m_atual < m_registros.size() ? m_registros[m_atual].linha : 0;
}

QVariant TSisImporta::Valor(const QString& nome, QMetaType::Type tipo) const {
    if (m_atual < 0 || m_atual >= m_registros.size())
        return QVariant();
    const auto coluna = m_indice.constFind(chave(nome));
    if (coluna == m_indice.constEnd())
        return QVariant();
    const Registro& registro = m_registros[m_atual];
    const QString bruto = *coluna < registro.campos.size() ? registro.campos[*coluna] : QString();
    if (tipo == QMetaType::QString)
        return bruto.isEmpty() ? QVariant() : QVariant(bruto);

    const QString texto = bruto.trimmed();
    if (texto.isEmpty())
        return QVariant();
    auto recusa = [&](const QString& oQue) -> QVariant {
        throw EDatabaseError(QStringLiteral("Linha %1, campo %2: \"%3\" não é %4.")
                                 .arg(registro.linha)
                                 .arg(nome, texto, oQue));
    };
    switch (tipo) {
    case QMetaType::Double:
    case QMetaType::Float: {
        if (!ehNumero(texto))
            return recusa(QStringLiteral("um número"));
        QString ponto = texto;
        ponto.replace(u',', u'.');
        return ponto.toDouble();
    }
    case QMetaType::Int:
    case QMetaType::LongLong: {
        bool ok = false;
        const qlonglong valor = texto.toLongLong(&ok);
        if (!ehInteiro(texto) || !ok || (tipo == QMetaType::Int && (valor < INT_MIN || valor > INT_MAX)))
            return recusa(QStringLiteral("um número inteiro"));
        return tipo == QMetaType::Int ? QVariant(int(valor)) : QVariant(valor);
    }
    case QMetaType::QDate: {
        const QDate data = leData(texto);
        if (!data.isValid())
            return recusa(QStringLiteral("uma data (DD/MM/AAAA)"));
        return data;
    }
    case QMetaType::QDateTime: {
        const QDateTime momento = leMomento(texto);
        if (!momento.isValid())
            return recusa(QStringLiteral("uma data e hora (DD/MM/AAAA HH:MM:SS)"));
        return momento;
    }
    default: {
        QVariant valor(bruto);
        if (!valor.convert(QMetaType(tipo)))
            return recusa(QStringLiteral("um valor válido"));
        return valor;
    }
    }
}

QString TextoExportacao(const QVariant& valor) {
    if (!valor.isValid() || valor.isNull())
        return QString();
    QString texto;
    switch (valor.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float: {
        const double numero = valor.toDouble();
        if (!std::isfinite(numero))
            return QString();
        texto = QString::number(numero == 0.0 ? 0.0 : numero, 'f', QLocale::FloatingPointShortest);
        texto.replace(u'.', u',');
        return texto;
    }
    case QMetaType::QDate:
        return valor.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::QDateTime:
        return valor.toDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    default:
        texto = valor.toString();
    }
    if (texto.contains(u';') || texto.contains(u'"') || texto.contains(u'\r') || texto.contains(u'\n')) {
        texto.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        texto = u'"' + texto + u'"';
    }
    return texto;
}

void GravaExportacao(const QString& arquivo, const QStringList& campos, const QList<QVariantList>& linhas) {
    QString texto;
    QStringList cabecalho;
    for (const QString& nome : campos)
        cabecalho << TextoExportacao(nome);
    texto += cabecalho.join(u';') + QStringLiteral("\r\n");
    for (const QVariantList& linha : linhas) {
        if (linha.size() > campos.size())
            throw EDatabaseError(QStringLiteral("Exportação: uma linha tem %1 valores para %2 campos.")
                                     .arg(linha.size())
                                     .arg(campos.size()));
        QStringList valores;
        for (qsizetype k = 0; k < campos.size(); ++k)
            valores << (k < linha.size() ? TextoExportacao(linha[k]) : QString());
        QString registro = valores.join(u';');
        // A blank line would be skipped on the way back: a lone blank value goes quoted.
        if (registro.trimmed().isEmpty())
            registro = u'"' + registro + u'"';
        texto += registro + QStringLiteral("\r\n");
    }
    QSaveFile file(arquivo);
    if (!file.open(QIODevice::WriteOnly) || file.write(texto.toUtf8()) < 0 || !file.commit())
        throw EDatabaseError(QStringLiteral("Não foi possível gravar o arquivo %1: %2")
                                 .arg(QFileInfo(arquivo).fileName(), file.errorString()));
}
