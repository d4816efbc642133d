#include "RegrasDosagem.h"
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QXmlStreamWriter>
#include <algorithm>
#include <cmath>

namespace {
double Milesimos(double valor) {
    return std::round(valor * 1000) / 1000;
}

// A value as one line of the file: line breaks and tabs as spaces, what XML 1.0 does not allow dropped.
QString TextoXml(const QString& texto) {
    QString limpo;
    limpo.reserve(texto.size());
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto[i];
        if (c.isHighSurrogate() && i + 1 < texto.size() && texto[i + 1].isLowSurrogate()) {
            limpo += c;
            limpo += texto[++i];
        } else if (c == u'\t' || c == u'\n' || c == u'\r') {
            limpo += u' ';
        } else if (c.unicode() >= 0x20 && !c.isSurrogate() && c.unicode() != 0xFFFE &&
                   c.unicode() != 0xFFFF) {
            limpo += c;
        }
    }
    return limpo;
}

QString Numero(double valor, int casas) {
    return QString::number(valor, 'f', casas);
}

// ISO-8859-1 bytes; a character beyond it as a character reference, which every XML reader resolves.
QByteArray Latin1(const QString& texto) {
    QByteArray bytes;
    bytes.reserve(texto.size());
    for (const char32_t c : texto.toUcs4()) {
        if (c < 0x100)
            bytes += char(c);
        else
            bytes += "&#" + QByteArray::number(quint32(c)) + ';';
    }
    return bytes;
}
} // namespace

QString OrdemReceita(const QString& linha) {
    const QString l = linha.trimmed().toUpper();
    if (l == u"A")
        return QStringLiteral("2A");
    if (l == u"X")
        return QStringLiteral("3X");
    if (l == u"99")
        return QStringLiteral("99");
    return QStringLiteral("1C");
}

QChar TypComp(const QString& ordemReceita) {
    const QChar c = ordemReceita.size() > 1 ? ordemReceita[1] : QChar();
    return c == u'A' || c == u'X' ? c : QChar(u'C');
}

QList<OrdemDosagem> PlanoDosagem(const QList<PastaDosagem>& pastas,
                                 const QList<ComponenteDosagem>& componentes) {
    QList<OrdemDosagem> plano;
    for (const PastaDosagem& pasta : pastas) {
        if (!pasta.selecionada || pasta.linha.trimmed() == u"99" || pasta.consumo <= 0)
            continue;
        QList<ComponenteDosagem> proprios;
        for (const ComponenteDosagem& c : componentes)
            if (c.material == pasta.produto && c.ordem == pasta.ordem && OrdemReceita(c.linha) != u"99")
                proprios << c;
        std::stable_sort(proprios.begin(), proprios.end(), [](const auto& a, const auto& b) {
            return OrdemReceita(a.linha) < OrdemReceita(b.linha);
        });
        double tKg = 0;
        for (const ComponenteDosagem& c : std::as_const(proprios))
            tKg += c.consumoG / 1000;
        // Sized from the larger of the sheet's paste and its components' weight: no order passes capacity.
        const double maior = std::max(pasta.consumoPrev, tKg);
        const int n = maior > kCapacidadeDosagemKg ? int(std::ceil(maior / kCapacidadeDosagemKg)) : 1;
        double restoKg = tKg;
        QList<double> restoG;
        for (const ComponenteDosagem& c : std::as_const(proprios))
            restoG << c.consumoG;
        for (int i = 1; i <= n; ++i) {
            OrdemDosagem ordem;
            ordem.produto = pasta.produto;
            ordem.quadro = pasta.quadro;
            ordem.kg = i < n ? Milesimos(tKg / n) : restoKg;
            restoKg -= ordem.kg;
            for (qsizetype k = 0; k < proprios.size(); ++k) {
                const ComponenteDosagem& c = proprios[k];
                const double g = i < n ? Milesimos(c.consumoG / n) : restoG[k];
                restoG[k] -= g;
                ordem.componentes << ComponenteOrdem{
                    int(k) + 1, c.codigo, c.descricao, TypComp(OrdemReceita(c.linha)), c.qtde, g};
            }
            plano << ordem;
        }
    }
    for (qsizetype i = 0; i < plano.size(); ++i) {
        plano[i].sequencia = int(i) + 1;
        plano[i].total = int(plano.size());
    }
    return plano;
}

QByteArray ArquivoReceita(const CabecalhoDosagem& c, const OrdemDosagem& o) {
    // The declaration names the file's own encoding (the writer would name UTF-8); no line break after it:
    // the writer begins every element on a line of its own.
    QString texto = QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>");
    QXmlStreamWriter xml(&texto);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(0);
    const auto campo = [&xml](const char* nome, const QString& valor) {
        xml.writeTextElement(QLatin1String(nome), TextoXml(valor));
    };
    xml.writeStartElement(QStringLiteral("A_Recipe"));
    xml.writeAttribute(QStringLiteral("xsi:noNamespaceSchemaLocation"),
                       QStringLiteral("file:/C:/CColour/arc/Recipe_E.xsd"));
    xml.writeAttribute(QStringLiteral("xmlns:xsi"),
                       QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"));
    xml.writeStartElement(QStringLiteral("DesRecipe"));
    xml.writeStartElement(QStringLiteral("DesData"));
    const QString vazio;
    campo("Prio", QStringLiteral("N"));
    campo("DrumType", vazio);
    campo("DrumCode", vazio);
    campo("CustDrumCode", QStringLiteral("1"));
    campo("OrderCode", c.fal);
    campo("Customer", c.fal + u'/' + c.cliente);
    campo("Design", c.estampa);
    campo("Screen", o.quadro + u'/' + o.produto);
    campo("Variant", c.variante);
    campo("RecName", o.produto);
    campo("Article", c.turno);
    campo("LotID", c.lote);
    campo("Info1", c.usuario);
    campo("ViscoName", vazio);
    campo("Taglio-N", vazio);
    campo("Taglio-D", vazio);
    campo("Sequence", QString::number(o.sequencia));
    campo("SequenceTot", QString::number(o.total));
    campo("Series", c.variante.trimmed() == u"98" ? QStringLiteral("2") : QStringLiteral("1"));
    campo("ViscoValue", vazio);
    campo("UM", QStringLiteral("1"));
    campo("DosType", QStringLiteral("P"));
    campo("ServiceType", QStringLiteral("N"));
    campo("RecipeType", QStringLiteral("C"));
    for (const char* nome : {"Note1", "Note2", "Date", "DosDuration"})
        campo(nome, vazio);
    campo("Quantity-kg", Numero(o.kg, 3));
    campo("Quantity-kg-dosed", vazio);
    xml.writeEndElement();
    xml.writeEndElement();
    for (const ComponenteOrdem& k : o.componentes) {
        xml.writeStartElement(QStringLiteral("ColRecipe"));
        xml.writeStartElement(QStringLiteral("ColData"));
        campo("CompNumber", QString::number(k.numero));
        campo("ColourCode", k.codigo);
        campo("Description", k.descricao);
        campo("TypComp", QString(k.tipo));
        campo("DosError", vazio);
        campo("PartsWeight", Numero(k.qtde, 3));
        campo("PartsPerc", Numero(k.qtde / 10, 4));
        campo("Weight-gr", Numero(k.gramas, 3));
        campo("Weight-gr-prev", QStringLiteral("0"));
        for (const char* nome : {"Weight-gr-dosed", "Weight-gr-total", "Date", "DosDuration", "Cost"})
            campo(nome, vazio);
        xml.writeEndElement();
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    if (xml.hasError())
        return QByteArray();
    if (!texto.endsWith(u'\n'))
        texto += u'\n';
    texto.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return Latin1(texto);
}

QString GravaArquivosReceita(const QString& pasta, const CabecalhoDosagem& cabecalho,
                             const QList<OrdemDosagem>& plano) {
    QStringList gravados;
    for (const OrdemDosagem& ordem : plano) {
        const QString nome = QDir(pasta).filePath(cabecalho.fal.trimmed() + QString::number(ordem.sequencia) +
                                                  QStringLiteral(".xml"));
        const QByteArray bytes = ArquivoReceita(cabecalho, ordem);
        QSaveFile arquivo(nome);
        const bool ok = !bytes.isEmpty() && arquivo.open(QIODevice::WriteOnly) &&
                        arquivo.write(bytes) == bytes.size() && arquivo.commit();
        if (!ok) {
            const QString erro = arquivo.errorString();
            for (const QString& feito : std::as_const(gravados))
                QFile::remove(feito);
            return QStringLiteral("Não foi possível gravar o arquivo %1 (%2). Nenhum arquivo da receita foi "
                                  "gerado.")
                .arg(QDir::toNativeSeparators(nome), erro);
        }
        gravados << nome;
    }
    return QString();
}

std::optional<double> PegaPesoBalancaLocal(const QString& resposta, QChar unidade, int decimais) {
    const qsizetype fim = resposta.indexOf(unidade, 0, Qt::CaseInsensitive);
    if (fim < 0 || (fim > 0 && resposta[fim - 1].isLetter()))
        return std::nullopt;
    QString digitos;
    bool negativo = false;
    for (qsizetype i = 0; i < fim; ++i) {
        const QChar c = resposta[i];
        if (c >= u'0' && c <= u'9')
            digitos += c;
        else if (c == u'-' && digitos.isEmpty())
            negativo = true;
    }
    // A reply longer than any scale's number is noise, not a weight.
    if (digitos.isEmpty() || digitos.size() > 15)
        return std::nullopt;
    const double valor = double(digitos.toLongLong()) / std::pow(10.0, std::clamp(decimais, 0, 6) + 1);
    return negativo ? -valor : valor;
}
