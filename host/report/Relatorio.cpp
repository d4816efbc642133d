#include "Relatorio.h"
#include "DataContext.h"
#include "DataSet.h"
#include "Formatacao.h"
#include "HostError.h"
#include "LocalSettings.h"
#include "Mensagens.h"
#include "Protecao.h"
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// ---- Values as printed

const QLocale& Brasil() {
    static const QLocale locale(QLocale::Portuguese, QLocale::Brazil);
    return locale;
}

bool Decimal(QMetaType::Type type) {
    return type == QMetaType::Double || type == QMetaType::Float;
}

bool Numerico(QMetaType::Type type) {
    switch (type) {
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return Decimal(type);
    }
}

QString Numero(double valor, int casas) {
    return TextoExibicao(valor, casas);
}

QString Celula(const QVariant& valor, const ColunaRelatorio& coluna) {
    if (coluna.casas >= 0 && !valor.isNull())
        return Numero(valor.toDouble(), coluna.casas);
    return TextoExibicao(valor);
}

QString Registros(int quantidade) {
    return quantidade == 1 ? QStringLiteral("1 registro") : QStringLiteral("%1 registros").arg(quantidade);
}

int IndiceCampo(const TRelatorio& relatorio, const QString& campo) {
    const int indice = relatorio.Dados() ? relatorio.Dados()->FieldIndex(campo) : -1;
    if (indice < 0)
        throw EDatabaseError(QStringLiteral("Relatório %1: o campo %2 não existe nos dados.")
                                 .arg(relatorio.Identificador(), campo));
    return indice;
}

// ---- Layouts

QHash<QString, LayoutRelatorio>& Layouts() {
    static QHash<QString, LayoutRelatorio> layouts;
    return layouts;
}

QString ChaveLayout(const QString& identificador) {
    return identificador.trimmed().toUpper();
}

// Long texts would squeeze every other column off the page.
constexpr int kLarguraMaximaTexto = 40;

int LarguraNatural(const TDataSet& dados, int campo, const ColunaRelatorio& coluna) {
    qsizetype largura = coluna.titulo.size();
    double soma = 0;
    for (int linha = 0; linha < dados.RecordCount(); ++linha) {
        const QVariant valor = dados.ValueAt(linha, campo);
        largura = std::max(largura, Celula(valor, coluna).size());
        soma += valor.toDouble();
    }
    if (coluna.totaliza)
        largura = std::max(largura, Numero(soma, coluna.casas).size());
    if (!Numerico(dados.FieldDefs()[campo].type))
        largura = std::min<qsizetype>(largura, kLarguraMaximaTexto);
    return int(std::max<qsizetype>(largura, 3));
}

// ---- Bands: the report as a sequence of printed lines, independent of the output

struct Banda {
    enum Tipo { Grupo, Detalhe, Subtotal, Total, Texto };
    Banda(Tipo tipo, const QString& rotulo = QString(), bool comProxima = false)
        : tipo(tipo), rotulo(rotulo), comProxima(comProxima) {}
    Tipo tipo;
    QString rotulo;          // all but Detalhe
    QStringList celulas;     // Detalhe: every column; Subtotal and Total: blank where not totalled
    bool zebra = false;      // a shaded detail row
    bool comProxima = false; // printed on the same page as the band after it
};

// A subtotal's label takes the columns before the first totalled one, or a line of its own above the
// totals when it does not fit there.
int ColunasDoRotulo(const QList<ColunaRelatorio>& colunas) {
    const auto primeira =
        std::find_if(colunas.begin(), colunas.end(), [](const auto& c) { return c.totaliza; });
    return int(primeira - colunas.begin());
}

struct Somas {
    explicit Somas(qsizetype colunas) : valores(colunas, 0.0) {}
    QList<double> valores;
    int registros = 0;
};

void AdicionaSomas(QList<Banda>& bandas, const QList<ColunaRelatorio>& colunas, Banda::Tipo tipo,
                   const QString& rotulo, const Somas& somas) {
    // Totals keep thousands separators even in columns of plain integers.
    Banda banda(tipo, QStringLiteral("%1 (%2)").arg(rotulo, Registros(somas.registros)));
    for (int i = 0; i < colunas.size(); ++i)
        banda.celulas << (colunas[i].totaliza ? Numero(somas.valores[i], colunas[i].casas) : QString());
    bandas << banda;
}

QList<Banda> MontaBandas(const TRelatorio& relatorio) {
    TDataSet* dados = relatorio.Dados();
    if (!dados || dados->IsEmpty())
        return {Banda(Banda::Texto, QStringLiteral("Nenhum registro."))};
    const QList<ColunaRelatorio>& colunas = relatorio.Colunas();
    QList<int> campos;
    for (const ColunaRelatorio& coluna : colunas)
        campos << dados->FieldIndex(coluna.campo);
    const bool agrupa = !relatorio.CampoGrupo().isEmpty();
    const int campoGrupo = agrupa ? dados->FieldIndex(relatorio.CampoGrupo()) : -1;
    const ColunaRelatorio formatoGrupo =
        agrupa ? relatorio.Coluna(relatorio.CampoGrupo()) : ColunaRelatorio();

    QList<Banda> bandas;
    Somas grupo(colunas.size()), geral(colunas.size());
    QString valorGrupo;
    for (int linha = 0; linha < dados->RecordCount(); ++linha) {
        if (agrupa) {
            const QString valor = Celula(dados->ValueAt(linha, campoGrupo), formatoGrupo);
            if (linha == 0 || valor != valorGrupo) {
                if (linha > 0)
                    AdicionaSomas(bandas, colunas, Banda::Subtotal, QStringLiteral("Subtotal ") + valorGrupo,
                                  grupo);
                bandas << Banda(Banda::Grupo, relatorio.RotuloGrupo() + QStringLiteral(": ") + valor, true);
                grupo = Somas(colunas.size());
                valorGrupo = valor;
            }
        }
        Banda detalhe(Banda::Detalhe);
        detalhe.zebra = grupo.registros % 2 == 1;
        for (int i = 0; i < colunas.size(); ++i) {
            const QVariant valor = dados->ValueAt(linha, campos[i]);
            detalhe.celulas << Celula(valor, colunas[i]);
            if (colunas[i].totaliza) {
                grupo.valores[i] += valor.toDouble();
                geral.valores[i] += valor.toDouble();
            }
        }
        ++grupo.registros;
        ++geral.registros;
        bandas << detalhe;
    }
    if (agrupa)
        AdicionaSomas(bandas, colunas, Banda::Subtotal, QStringLiteral("Subtotal ") + valorGrupo, grupo);
    AdicionaSomas(bandas, colunas, Banda::Total, QStringLiteral("Total geral"), geral);
    return bandas;
}

// Spreads bands over pages of the given free heights: a band never splits, and one kept with the next
// moves to a new page with it.
QList<QList<int>> Pagina(const QList<double>& alturas, const QList<bool>& comProxima, double primeira,
                         double demais) {
    QList<QList<int>> paginas(1);
    double livre = primeira;
    for (int i = 0; i < alturas.size(); ++i) {
        const double precisa = alturas[i] + (comProxima[i] && i + 1 < alturas.size() ? alturas[i + 1] : 0);
        if (precisa > livre && !paginas.last().isEmpty()) {
            paginas.append(QList<int>());
            livre = demais;
        }
        paginas.last() << i;
        livre -= alturas[i];
    }
    return paginas;
}

// The report as it will print: the identifier's layout applied, the defaults filled in, the bands built.
struct Preparado {
    TRelatorio relatorio;
    QList<Banda> bandas;
};

Preparado Prepara(const TRelatorio& pedido) {
    TRelatorio relatorio = pedido;
    if (const LayoutRelatorio layout = Layouts().value(ChaveLayout(relatorio.Identificador())))
        layout(relatorio);
    QList<ColunaRelatorio> colunas =
        relatorio.Colunas().isEmpty() ? relatorio.ColunasPadrao() : relatorio.Colunas();
    for (ColunaRelatorio& coluna : colunas) {
        const int campo = IndiceCampo(relatorio, coluna.campo);
        if (coluna.largura <= 0)
            coluna.largura = LarguraNatural(*relatorio.Dados(), campo, coluna);
    }
    relatorio.DefineColunas(colunas);
    if (relatorio.Rodape().isEmpty()) {
        const QString agora = QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm"));
        relatorio.DefineRodape(vUsuario().isEmpty()
                                   ? QStringLiteral("Emitido em %1").arg(agora)
                                   : QStringLiteral("Emitido por %1 em %2").arg(vUsuario(), agora));
    }
    return {relatorio, MontaBandas(relatorio)};
}

// ---- Text output

constexpr int kLinhasPagina = 66;

// Columns of a text line: 80 characters when they fit, else 132, narrowing the widest columns if
// still needed; text gives way before numbers, which cut short would mislead.
class ColunasTexto {
public:
    explicit ColunasTexto(const QList<ColunaRelatorio>& colunas) : m_colunas(colunas) {
        for (const ColunaRelatorio& coluna : colunas)
            m_larguras << coluna.largura;
        m_largura = Ocupa() <= 80 ? 80 : 132;
        while (Ocupa() > m_largura) {
            const int i = MaisLarga();
            if (m_larguras[i] <= 1)
                break;
            --m_larguras[i];
        }
    }

    int Largura() const { return m_largura; }

    // Cells in their columns, trailing blanks dropped.
    QString Linha(const QStringList& celulas) const { return Trecho(celulas, 0); }

    QStringList LinhasSomas(const Banda& banda) const {
        const int rotulo = ColunasDoRotulo(m_colunas);
        const int vao = std::accumulate(m_larguras.begin(), m_larguras.begin() + rotulo, 0) + rotulo - 1;
        if (rotulo > 0 && banda.rotulo.size() <= vao)
            return {Apara(Cabe(banda.rotulo, vao, Qt::AlignLeft) + ' ' + Trecho(banda.celulas, rotulo))};
        return {banda.rotulo.left(m_largura), Linha(banda.celulas)};
    }

    QString Traco(QChar traco, bool soTotalizadas) const {
        QStringList celulas;
        for (int i = 0; i < m_colunas.size(); ++i)
            celulas << (!soTotalizadas || m_colunas[i].totaliza ? QString(m_larguras[i], traco) : QString());
        return Linha(celulas);
    }

    static QString Cabe(const QString& texto, int largura, Qt::Alignment alinhamento) {
        const QString parte = texto.left(largura);
        if (alinhamento & Qt::AlignRight)
            return parte.rightJustified(largura);
        if (alinhamento & Qt::AlignHCenter) {
            const qsizetype esquerda = (largura - parte.size()) / 2;
            return QString(esquerda, ' ') + parte.leftJustified(largura - esquerda);
        }
        return parte.leftJustified(largura);
    }

    static QString Apara(QString linha) {
        while (linha.endsWith(' '))
            linha.chop(1);
        return linha;
    }

private:
    int Ocupa() const {
        return std::accumulate(m_larguras.begin(), m_larguras.end(), 0) + int(m_larguras.size()) - 1;
    }

    int MaisLarga() const {
        int escolhida = -1;
        for (int i = 0; i < m_larguras.size(); ++i) {
            const bool texto = !(m_colunas[i].alinhamento & Qt::AlignRight);
            const bool escolhidaTexto =
                escolhida >= 0 && !(m_colunas[escolhida].alinhamento & Qt::AlignRight);
            if (escolhida < 0 || (texto && !escolhidaTexto) ||
                (texto == escolhidaTexto && m_larguras[i] > m_larguras[escolhida]))
                escolhida = i;
        }
        return escolhida;
    }

    QString Trecho(const QStringList& celulas, int primeira) const {
        QString linha;
        for (int i = primeira; i < m_colunas.size(); ++i) {
            if (i > primeira)
                linha += ' ';
            linha += Cabe(celulas.value(i), m_larguras[i], m_colunas[i].alinhamento);
        }
        return Apara(linha);
    }

    QList<ColunaRelatorio> m_colunas;
    QList<int> m_larguras;
    int m_largura = 80;
};

// Pages of text for line printers and label files.
class EscritorTexto {
public:
    explicit EscritorTexto(const Preparado& preparado)
        : m_relatorio(preparado.relatorio), m_bandas(preparado.bandas), m_colunas(m_relatorio.Colunas()) {}

    QString Texto() const {
        QList<QStringList> linhas;
        QList<double> alturas;
        QList<bool> comProxima;
        for (const Banda& banda : m_bandas) {
            linhas << Linhas(banda);
            alturas << double(linhas.last().size());
            comProxima << banda.comProxima;
        }
        const int base = int(Base(1, 1).size());
        const QList<QList<int>> paginas =
            Pagina(alturas, comProxima, kLinhasPagina - Topo(true).size() - base,
                   kLinhasPagina - Topo(false).size() - base);
        QStringList saida;
        for (int p = 0; p < paginas.size(); ++p) {
            QStringList pagina = Topo(p == 0);
            for (int banda : paginas[p])
                pagina << linhas[banda];
            while (pagina.size() < kLinhasPagina - base)
                pagina << QString();
            pagina << Base(p + 1, int(paginas.size()));
            saida << pagina.join('\n');
        }
        // The form feed follows the last line directly: a line feed before it would skip a whole form.
        return saida.join('\f') + '\n';
    }

private:
    QStringList Topo(bool primeira) const {
        const int largura = m_colunas.Largura();
        QStringList linhas{
            ColunasTexto::Apara(ColunasTexto::Cabe(m_relatorio.Titulo(), largura, Qt::AlignHCenter))};
        if (primeira) {
            if (!m_relatorio.Cabecalho().isEmpty())
                linhas << QString();
            for (const auto& [rotulo, valor] : m_relatorio.Cabecalho())
                linhas << QStringLiteral("%1: %2").arg(rotulo, valor).left(largura);
        }
        linhas << QString(largura, '=');
        QStringList titulos;
        for (const ColunaRelatorio& coluna : m_relatorio.Colunas())
            titulos << coluna.titulo;
        linhas << m_colunas.Linha(titulos) << QString(largura, '-');
        return linhas;
    }

    QStringList Base(int pagina, int paginas) const {
        const int largura = m_colunas.Largura();
        const QString numero = QStringLiteral("Página %1 de %2").arg(pagina).arg(paginas);
        const QString rodape = m_relatorio.Rodape().left(std::max<qsizetype>(0, largura - numero.size() - 1));
        return {QString(largura, '-'), rodape + numero.rightJustified(largura - rodape.size())};
    }

    QStringList Linhas(const Banda& banda) const {
        switch (banda.tipo) {
        case Banda::Grupo:
            return {banda.rotulo.left(m_colunas.Largura())};
        case Banda::Detalhe:
            return {m_colunas.Linha(banda.celulas)};
        case Banda::Subtotal:
            return QStringList{m_colunas.Traco('-', true)} << m_colunas.LinhasSomas(banda) << QString();
        case Banda::Total:
            return QStringList{m_colunas.Traco('=', true)} << m_colunas.LinhasSomas(banda);
        case Banda::Texto:
            break;
        }
        return {banda.rotulo.left(m_colunas.Largura())};
    }

    const TRelatorio& m_relatorio;
    const QList<Banda>& m_bandas;
    ColunasTexto m_colunas;
};

// ---- Graphic output

constexpr double kMargemMm = 12;
constexpr double kCorpoPt = 8.5;
constexpr double kCorpoMinimoPt = 6;
// Average character of report data: digits, capitals and small letters.
const QString kAmostra = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");

QFont Fonte(double pontos, bool negrito = false) {
    QFont fonte;
    fonte.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Arial"), QStringLiteral("Helvetica")});
    fonte.setStyleHint(QFont::SansSerif);
    fonte.setPointSizeF(pontos);
    fonte.setBold(negrito);
    return fonte;
}

double Caractere(const QFont& fonte, const QPaintDevice& dispositivo) {
    return QFontMetricsF(fonte, &dispositivo).horizontalAdvance(kAmostra) / kAmostra.size();
}

// Characters of a graphic line: each column has a character of room on either side.
int CaracteresDaLinha(const QList<ColunaRelatorio>& colunas) {
    return std::accumulate(colunas.begin(), colunas.end(), 0,
                           [](int soma, const ColunaRelatorio& c) { return soma + c.largura + 2; });
}

// A4 with the orientation the columns need.
void AjustaPagina(QPagedPaintDevice& dispositivo, const TRelatorio& relatorio) {
    const double necessarioMm = CaracteresDaLinha(relatorio.Colunas()) *
                                Caractere(Fonte(kCorpoPt), dispositivo) / dispositivo.logicalDpiX() * 25.4;
    const QPageSize a4(QPageSize::A4);
    const auto orientacao = necessarioMm <= a4.size(QPageSize::Millimeter).width() - 2 * kMargemMm
                                ? QPageLayout::Portrait
                                : QPageLayout::Landscape;
    dispositivo.setPageLayout(QPageLayout(
        a4, orientacao, QMarginsF(kMargemMm, kMargemMm, kMargemMm, kMargemMm), QPageLayout::Millimeter));
}

// Left edge of every column, then the right edge of the last: the columns fill the width. Room to spare
// widens the text columns only, as numbers stretched apart from their labels read badly.
QList<double> Bordas(const QList<ColunaRelatorio>& colunas, double caractere, double largura) {
    QList<double> larguras;
    double natural = 0, texto = 0;
    for (const ColunaRelatorio& coluna : colunas) {
        larguras << (coluna.largura + 2) * caractere;
        natural += larguras.last();
        if (!(coluna.alinhamento & Qt::AlignRight))
            texto += larguras.last();
    }
    const double sobra = largura - natural;
    QList<double> bordas{0};
    for (int i = 0; i < colunas.size(); ++i) {
        double coluna = larguras[i] * largura / natural;
        if (sobra >= 0 && texto > 0)
            coluna =
                larguras[i] + (colunas[i].alinhamento & Qt::AlignRight ? 0 : sobra * larguras[i] / texto);
        bordas << bordas.last() + coluna;
    }
    return bordas;
}

// Draws the bands on a paged device as it is set up: title band on the first page, column header band on
// every page, page footer with the page count. Reports wider than the page get a smaller body font.
class PintorGrafico {
public:
    PintorGrafico(const Preparado& preparado, QPagedPaintDevice& dispositivo)
        : m_relatorio(preparado.relatorio), m_bandas(preparado.bandas), m_dispositivo(dispositivo),
          m_largura(dispositivo.width()) {
        const int caracteres = std::max(1, CaracteresDaLinha(m_relatorio.Colunas()));
        const double escala = m_largura / (caracteres * Caractere(Fonte(kCorpoPt), dispositivo));
        const double corpo = std::clamp(kCorpoPt * escala, kCorpoMinimoPt, kCorpoPt);
        m_corpo = Fonte(corpo);
        m_negrito = Fonte(corpo, true);
        m_titulo = Fonte(14, true);
        m_cabecalho = Fonte(9);
        m_cabecalhoNegrito = Fonte(9, true);
        m_rodape = Fonte(7);
        m_linha = Metricas(m_corpo).height() * 1.5;
        m_folga = Caractere(m_corpo, dispositivo) * 0.8;
        m_x = Bordas(m_relatorio.Colunas(), Caractere(m_corpo, dispositivo), m_largura);
    }

    bool Pinta() {
        QList<double> alturas;
        QList<bool> comProxima;
        for (const Banda& banda : m_bandas) {
            alturas << Altura(banda);
            comProxima << banda.comProxima;
        }
        const double corpo = m_dispositivo.height() - AlturaColunas() - AlturaRodape();
        const QList<QList<int>> paginas =
            Pagina(alturas, comProxima, corpo - AlturaTopo(true), corpo - AlturaTopo(false));
        if (!m_pintor.begin(&m_dispositivo))
            return false;
        bool completo = true;
        for (int p = 0; p < paginas.size(); ++p) {
            if (p > 0 && !m_dispositivo.newPage()) {
                completo = false;
                break;
            }
            double y = PintaTopo(p == 0);
            y = PintaColunas(y);
            for (int banda : paginas[p]) {
                PintaBanda(m_bandas[banda], y);
                y += alturas[banda];
            }
            PintaRodape(p + 1, int(paginas.size()));
        }
        const bool fechado = m_pintor.end();
        return completo && fechado;
    }

private:
    QFontMetricsF Metricas(const QFont& fonte) const { return QFontMetricsF(fonte, &m_dispositivo); }
    double Mm(double milimetros) const { return milimetros * m_dispositivo.logicalDpiY() / 25.4; }

    double AlturaTopo(bool primeira) const {
        if (!primeira)
            return Metricas(m_cabecalhoNegrito).height() * 1.4 + Mm(2);
        return Metricas(m_titulo).height() * 1.5 +
               m_relatorio.Cabecalho().size() * Metricas(m_cabecalho).height() * 1.35 + Mm(3);
    }
    double AlturaColunas() const { return m_linha * 1.4; }
    double AlturaRodape() const { return Metricas(m_rodape).height() * 2; }

    double Altura(const Banda& banda) const {
        switch (banda.tipo) {
        case Banda::Grupo:
            return m_linha * 1.7;
        case Banda::Subtotal:
            return m_linha * (RotuloAcima(banda) ? 3 : 1.8);
        case Banda::Total:
            return m_linha * (RotuloAcima(banda) ? 2.8 : 1.6);
        case Banda::Detalhe:
        case Banda::Texto:
            break;
        }
        return m_linha;
    }

    QRectF Colunas(int primeira, int ultima, double y, double altura) const {
        return QRectF(m_x[primeira], y, m_x[ultima + 1] - m_x[primeira], altura)
            .adjusted(m_folga, 0, -m_folga, 0);
    }
    bool RotuloAcima(const Banda& banda) const {
        const int rotulo = ColunasDoRotulo(m_relatorio.Colunas());
        return rotulo == 0 ||
               Metricas(m_negrito).horizontalAdvance(banda.rotulo) > Colunas(0, rotulo - 1, 0, 0).width();
    }
    QRectF Faixa(double y, double altura) const {
        return QRectF(0, y, m_largura, altura).adjusted(m_folga, 0, -m_folga, 0);
    }

    void Escreve(const QRectF& onde, const QString& texto, const QFont& fonte, Qt::Alignment alinhamento,
                 const QColor& cor = Qt::black) {
        m_pintor.setFont(fonte);
        m_pintor.setPen(cor);
        m_pintor.drawText(onde, int(alinhamento | Qt::AlignVCenter),
                          Metricas(fonte).elidedText(texto, Qt::ElideRight, onde.width()));
    }

    void Traco(double x1, double x2, double y, double espessuraMm, const QColor& cor) {
        m_pintor.setPen(QPen(cor, Mm(espessuraMm)));
        m_pintor.drawLine(QPointF(x1, y), QPointF(x2, y));
    }

    double PintaTopo(bool primeira) {
        const QColor cinza(0x5a, 0x6b, 0x7d);
        if (!primeira) {
            const double altura = Metricas(m_cabecalhoNegrito).height() * 1.4;
            Escreve(QRectF(0, 0, m_largura, altura), m_relatorio.Titulo(), m_cabecalhoNegrito, Qt::AlignLeft);
            Escreve(QRectF(0, 0, m_largura, altura), m_relatorio.Identificador(), m_rodape, Qt::AlignRight,
                    cinza);
            Traco(0, m_largura, altura, 0.2, cinza);
            return AlturaTopo(false);
        }
        const double alturaTitulo = Metricas(m_titulo).height() * 1.5;
        Escreve(QRectF(0, 0, m_largura, alturaTitulo), m_relatorio.Titulo(), m_titulo, Qt::AlignLeft,
                QColor(0x1f, 0x3a, 0x5a));
        Escreve(QRectF(0, 0, m_largura, alturaTitulo), m_relatorio.Identificador(), m_rodape, Qt::AlignRight,
                cinza);
        Traco(0, m_largura, alturaTitulo, 0.5, QColor(0x1f, 0x3a, 0x5a));
        double rotulos = 0;
        for (const auto& campo : m_relatorio.Cabecalho())
            rotulos = std::max(rotulos, Metricas(m_cabecalhoNegrito).horizontalAdvance(campo.first + ':'));
        const double altura = Metricas(m_cabecalho).height() * 1.35;
        double y = alturaTitulo + Mm(1);
        for (const auto& [rotulo, valor] : m_relatorio.Cabecalho()) {
            Escreve(QRectF(0, y, rotulos, altura), rotulo + ':', m_cabecalhoNegrito, Qt::AlignLeft);
            Escreve(QRectF(rotulos + Mm(2), y, m_largura - rotulos - Mm(2), altura), valor, m_cabecalho,
                    Qt::AlignLeft);
            y += altura;
        }
        return AlturaTopo(true);
    }

    double PintaColunas(double y) {
        const QRectF faixa(0, y, m_largura, AlturaColunas());
        m_pintor.fillRect(faixa, QColor(0xdd, 0xe3, 0xea));
        Traco(0, m_largura, faixa.bottom(), 0.3, QColor(0x5a, 0x6b, 0x7d));
        const auto& colunas = m_relatorio.Colunas();
        for (int i = 0; i < colunas.size(); ++i)
            Escreve(Colunas(i, i, y, faixa.height()), colunas[i].titulo, m_negrito, colunas[i].alinhamento);
        return faixa.bottom();
    }

    void PintaBanda(const Banda& banda, double y) {
        const auto& colunas = m_relatorio.Colunas();
        const QColor azul(0x1f, 0x3a, 0x5a);
        switch (banda.tipo) {
        case Banda::Detalhe:
            if (banda.zebra && m_relatorio.Zebrado())
                m_pintor.fillRect(QRectF(0, y, m_largura, m_linha), QColor(0xf2, 0xf4, 0xf7));
            for (int i = 0; i < colunas.size(); ++i)
                Escreve(Colunas(i, i, y, m_linha), banda.celulas[i], m_corpo, colunas[i].alinhamento);
            break;
        case Banda::Grupo: {
            const double topo = y + m_linha * 0.5;
            Escreve(Faixa(topo, m_linha), banda.rotulo, m_negrito, Qt::AlignLeft, azul);
            Traco(0, m_largura, topo + m_linha, 0.2, QColor(0x9a, 0xa8, 0xb6));
            break;
        }
        case Banda::Subtotal:
        case Banda::Total: {
            const bool total = banda.tipo == Banda::Total;
            const bool acima = RotuloAcima(banda);
            const double altura = m_linha * 1.2;
            double topo = y + (total ? m_linha * 0.3 : m_linha * 0.1);
            if (total)
                m_pintor.fillRect(QRectF(0, topo, m_largura, altura * (acima ? 2 : 1)),
                                  QColor(0xdd, 0xe3, 0xea));
            Traco(0, m_largura, topo, total ? 0.5 : 0.2, total ? azul : QColor(0x9a, 0xa8, 0xb6));
            const int rotulo = acima ? 0 : ColunasDoRotulo(colunas);
            if (acima) {
                Escreve(Faixa(topo, altura), banda.rotulo, m_negrito, Qt::AlignLeft, azul);
                topo += altura;
            } else if (rotulo > 0) {
                Escreve(Colunas(0, rotulo - 1, topo, altura), banda.rotulo, m_negrito, Qt::AlignLeft, azul);
            }
            for (int i = rotulo; i < colunas.size(); ++i)
                Escreve(Colunas(i, i, topo, altura), banda.celulas[i], m_negrito, colunas[i].alinhamento);
            break;
        }
        case Banda::Texto:
            Escreve(Faixa(y, m_linha), banda.rotulo, m_negrito, Qt::AlignLeft);
            break;
        }
    }

    void PintaRodape(int pagina, int paginas) {
        const double altura = AlturaRodape();
        const QRectF faixa(0, m_dispositivo.height() - altura, m_largura, altura);
        const QColor cinza(0x5a, 0x6b, 0x7d);
        Traco(0, m_largura, faixa.top(), 0.2, cinza);
        const QString numero = QStringLiteral("Página %1 de %2").arg(pagina).arg(paginas);
        const double larguraNumero = Metricas(m_rodape).horizontalAdvance(numero) + Mm(4);
        Escreve(faixa.adjusted(0, 0, -larguraNumero, 0), m_relatorio.Rodape(), m_rodape, Qt::AlignLeft,
                cinza);
        Escreve(faixa, numero, m_rodape, Qt::AlignRight, cinza);
    }

    const TRelatorio& m_relatorio;
    const QList<Banda>& m_bandas;
    QPagedPaintDevice& m_dispositivo;
    QPainter m_pintor;
    double m_largura;
    QFont m_corpo, m_negrito, m_titulo, m_cabecalho, m_cabecalhoNegrito, m_rodape;
    double m_linha = 0;
    double m_folga = 0;
    QList<double> m_x; // left edge of every column, then the right edge of the last
};

// ---- Targets

bool GravaPdf(const Preparado& preparado, const QString& arquivo) {
    QSaveFile saida(arquivo);
    if (!saida.open(QIODevice::WriteOnly))
        return false;
    QPdfWriter pdf(&saida);
    pdf.setTitle(preparado.relatorio.Titulo());
    AjustaPagina(pdf, preparado.relatorio);
    if (!PintorGrafico(preparado, pdf).Pinta()) {
        saida.cancelWriting();
        return false;
    }
    return saida.commit();
}

bool GravaTexto(const Preparado& preparado, const QString& arquivo) {
    QSaveFile saida(arquivo);
    if (!saida.open(QIODevice::WriteOnly))
        return false;
    saida.write(EscritorTexto(preparado).Texto().toUtf8());
    return saida.commit();
}

// Where the headless runs put their reports; empty when the user is asked.
QString PastaAutomatica() {
    return qEnvironmentVariable("KELM_REPORT_DIR");
}

// Asks where to write; the folder chosen last time is offered again.
QString PerguntaArquivo(QWidget* tela, const TRelatorio& relatorio, const QString& extensao,
                        const QString& filtro) {
    const QString pasta = LeIni(QStringLiteral("Relatorio"), QStringLiteral("Pasta"), QDir::homePath());
    const QString arquivo = Mensagens().SaveFile(
        tela, relatorio.Titulo(), QDir(pasta).filePath(relatorio.Identificador() + '.' + extensao), filtro);
    if (!arquivo.isEmpty())
        GravaIni(QStringLiteral("Relatorio"), QStringLiteral("Pasta"), QFileInfo(arquivo).absolutePath());
    return arquivo;
}

bool Avisa(bool produzido, QWidget* tela, const TRelatorio& relatorio, const QString& destino) {
    if (!produzido)
        Mensagens().Show(tela, relatorio.Titulo(),
                         QStringLiteral("Não foi possível gerar o relatório em %1.").arg(destino),
                         MsgIcon::Error);
    return produzido;
}

bool ChamaGrafico(const TRelatorio& relatorio, QWidget* tela, const QString& flags) {
    const Preparado preparado = Prepara(relatorio);
    const QString pasta = PastaAutomatica();
    if (!pasta.isEmpty() || flags.contains('P', Qt::CaseInsensitive)) {
        const QString arquivo =
            pasta.isEmpty()
                ? PerguntaArquivo(tela, relatorio, QStringLiteral("pdf"), QStringLiteral("PDF (*.pdf)"))
                : QDir(pasta).filePath(relatorio.Identificador() + QStringLiteral(".pdf"));
        return !arquivo.isEmpty() && Avisa(GravaPdf(preparado, arquivo), tela, relatorio, arquivo);
    }
    QPrinter impressora(QPrinter::HighResolution);
    impressora.setDocName(relatorio.Titulo());
    AjustaPagina(impressora, preparado.relatorio);
    if (flags.contains('I', Qt::CaseInsensitive)) {
        QPrintDialog dialogo(&impressora, tela);
        if (dialogo.exec() != QDialog::Accepted)
            return false;
        return Avisa(PintorGrafico(preparado, impressora).Pinta(), tela, relatorio, impressora.printerName());
    }
    QPrintPreviewDialog previa(&impressora, tela);
    previa.setWindowTitle(relatorio.Titulo());
    previa.setWindowState(previa.windowState() | Qt::WindowMaximized);
    QObject::connect(
        &previa, &QPrintPreviewDialog::paintRequested,
        Protegido([&preparado](QPrinter* destino) { PintorGrafico(preparado, *destino).Pinta(); }));
    previa.exec();
    return true;
}

} // namespace

// ---- TRelatorio

TRelatorio::TRelatorio(const QString& identificador, const QString& titulo, TDataSet* dados)
    : m_identificador(identificador), m_titulo(titulo), m_dados(dados) {}

void TRelatorio::AdicionaCabecalho(const QString& rotulo, const QString& valor) {
    m_cabecalho.append({rotulo, valor});
}

ColunaRelatorio TRelatorio::Coluna(const QString& campo) const {
    const FieldDef& def = m_dados->FieldDefs()[IndiceCampo(*this, campo)];
    ColunaRelatorio coluna;
    coluna.campo = def.name;
    coluna.titulo = def.displayLabel.isEmpty() ? def.name : def.displayLabel;
    coluna.largura = def.displayWidth;
    if (Numerico(def.type))
        coluna.alinhamento = Qt::AlignRight;
    if (Decimal(def.type)) {
        coluna.casas = 2;
        coluna.totaliza = true;
    }
    return coluna;
}

QList<ColunaRelatorio> TRelatorio::ColunasPadrao() const {
    QList<ColunaRelatorio> colunas;
    if (m_dados)
        for (const FieldDef& def : m_dados->FieldDefs())
            if (def.visible)
                colunas << Coluna(def.name);
    return colunas;
}

void TRelatorio::AgrupaPor(const QString& campo, const QString& rotulo) {
    m_rotuloGrupo = rotulo.isEmpty() ? Coluna(campo).titulo : rotulo;
    m_campoGrupo = campo;
}

// ---- Entry points

void RegistraLayout(const QString& identificador, LayoutRelatorio layout) {
    Layouts().insert(ChaveLayout(identificador), std::move(layout));
}

bool GravaRelatorioPdf(const TRelatorio& relatorio, const QString& arquivo) {
    return GravaPdf(Prepara(relatorio), arquivo);
}

bool ImprimeRelatorio(const TRelatorio& relatorio, QPrinter& impressora) {
    const Preparado preparado = Prepara(relatorio);
    AjustaPagina(impressora, preparado.relatorio);
    return PintorGrafico(preparado, impressora).Pinta();
}

bool GravaRelatorioTexto(const TRelatorio& relatorio, const QString& arquivo) {
    return GravaTexto(Prepara(relatorio), arquivo);
}

bool Chama_Relatorio(const TRelatorio& relatorio, QWidget* tela, const QString& flags) {
    if (flags.contains('T', Qt::CaseInsensitive))
        return Chama_RelatorioTxt(relatorio, tela);
    return ChamaGrafico(relatorio, tela, flags);
}

bool Chama_RelatorioWin(const TRelatorio& relatorio, QWidget* tela, const QString& flags) {
    return ChamaGrafico(relatorio, tela, flags);
}

bool Chama_RelatorioTxt(const TRelatorio& relatorio, QWidget* tela) {
    const QString pasta = PastaAutomatica();
    const QString arquivo =
        pasta.isEmpty()
            ? PerguntaArquivo(tela, relatorio, QStringLiteral("txt"), QStringLiteral("Texto (*.txt)"))
            : QDir(pasta).filePath(relatorio.Identificador() + QStringLiteral(".txt"));
    return !arquivo.isEmpty() && Avisa(GravaRelatorioTexto(relatorio, arquivo), tela, relatorio, arquivo);
}
