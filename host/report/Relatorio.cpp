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
#include <QGlyphRun>
#include <QGuiApplication>
#include <QHash>
#include <QMultiMap>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QScreen>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// ---- Values as printed

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

// `nulo`: what the field shows for no value.
QString Celula(const QVariant& valor, const ColunaRelatorio& coluna, const QString& nulo) {
    if (valor.isNull())
        return nulo;
    if (coluna.casas >= 0)
        return Numero(valor.toDouble(), coluna.casas);
    return TextoExibicao(valor);
}

QString Registros(int quantidade) {
    return quantidade == 1 ? QStringLiteral("1 registro") : QStringLiteral("%1 registros").arg(quantidade);
}

// Drawn by the caller instead of rows: one page under the title, or pages of their own size.
bool Desenhado(const TRelatorio& relatorio) {
    return relatorio.Desenho() || relatorio.DesenhoPaginas();
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

// The widest of the caption, the column's cells as the bands hold them (`indice` in each) and its total.
int LarguraNatural(const TDataSet& dados, int campo, const ColunaRelatorio& coluna,
                   const QList<Banda>& bandas, int indice) {
    qsizetype largura = coluna.titulo.size();
    for (const Banda& banda : bandas)
        if (banda.tipo == Banda::Detalhe)
            largura = std::max(largura, banda.celulas.value(indice).size());
    if (coluna.totaliza) {
        double soma = 0;
        for (int linha = 0; linha < dados.RecordCount(); ++linha)
            soma += dados.ValueAt(linha, campo).toDouble();
        largura = std::max(largura, Numero(soma, coluna.casas).size());
    }
    if (!Numerico(dados.FieldDefs()[campo].type))
        largura = std::min<qsizetype>(largura, kLarguraMaximaTexto);
    return int(std::max<qsizetype>(largura, 3));
}

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
    if (Desenhado(relatorio))
        return {};
    if (!dados || dados->IsEmpty())
        return {Banda(Banda::Texto, QStringLiteral("Nenhum registro."))};
    const QList<ColunaRelatorio>& colunas = relatorio.Colunas();
    QList<int> campos;
    QStringList nulos;
    for (const ColunaRelatorio& coluna : colunas) {
        campos << dados->FieldIndex(coluna.campo);
        nulos << dados->FieldDefs().value(campos.last()).nullText;
    }
    const bool agrupa = !relatorio.CampoGrupo().isEmpty();
    const bool somas = relatorio.Somas();
    const int campoGrupo = agrupa ? dados->FieldIndex(relatorio.CampoGrupo()) : -1;
    const ColunaRelatorio formatoGrupo =
        agrupa ? relatorio.Coluna(relatorio.CampoGrupo()) : ColunaRelatorio();
    const QString nuloGrupo = dados->FieldDefs().value(campoGrupo).nullText;

    QList<Banda> bandas;
    Somas grupo(colunas.size()), geral(colunas.size());
    QString valorGrupo;
    for (int linha = 0; linha < dados->RecordCount(); ++linha) {
        if (agrupa) {
            const QString valor = Celula(dados->ValueAt(linha, campoGrupo), formatoGrupo, nuloGrupo);
            if (linha == 0 || valor != valorGrupo) {
                if (linha > 0 && somas)
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
            detalhe.celulas << Celula(valor, colunas[i], nulos[i]);
            if (colunas[i].totaliza) {
                grupo.valores[i] += valor.toDouble();
                geral.valores[i] += valor.toDouble();
            }
        }
        ++grupo.registros;
        ++geral.registros;
        bandas << detalhe;
    }
    if (!somas)
        return bandas;
    if (agrupa)
        AdicionaSomas(bandas, colunas, Banda::Subtotal, QStringLiteral("Subtotal ") + valorGrupo, grupo);
    AdicionaSomas(bandas, colunas, Banda::Total, QStringLiteral("Total geral"), geral);
    return bandas;
}

// The room of a page for bands: whether it is the first page, and the band it starts with (its column
// captions repeat above it unless it opens a section).
using LivrePagina = std::function<double(bool primeira, int banda)>;

// Spreads bands over pages: a band never splits, and a run of bands each kept with the next moves to a new
// page with them.
QList<QList<int>> Pagina(const QList<double>& alturas, const QList<bool>& comProxima,
                         const LivrePagina& livrePagina) {
    QList<QList<int>> paginas(1);
    double livre = livrePagina(true, 0);
    for (int i = 0; i < alturas.size(); ++i) {
        double precisa = alturas[i];
        for (int j = i; comProxima[j] && j + 1 < alturas.size(); ++j)
            precisa += alturas[j + 1];
        if (precisa > livre && !paginas.last().isEmpty()) {
            paginas.append(QList<int>());
            livre = livrePagina(false, i);
        }
        paginas.last() << i;
        livre -= alturas[i];
    }
    return paginas;
}

// The report as it will print: the identifier's layout applied, the defaults filled in, the bands built;
// its sections likewise.
struct Preparado {
    TRelatorio relatorio;
    QList<Banda> bandas;
    QList<bool> fixas;             // columns whose width the layout gave
    std::vector<Preparado> secoes; // printed after the rows, in order
};

// The report and its sections in print order.
QList<const Preparado*> Partes(const Preparado& preparado) {
    QList<const Preparado*> partes{&preparado};
    for (const Preparado& secao : preparado.secoes)
        partes << &secao;
    return partes;
}

// Columns at their widths and the bands of one report or section, as the layout left it.
Preparado PreparaLinhas(TRelatorio relatorio) {
    QList<ColunaRelatorio> colunas = Desenhado(relatorio)            ? QList<ColunaRelatorio>()
                                     : relatorio.Colunas().isEmpty() ? relatorio.ColunasPadrao()
                                                                     : relatorio.Colunas();
    QList<bool> fixas;
    for (const ColunaRelatorio& coluna : colunas)
        fixas << (coluna.largura > 0);
    // The cells are formatted once, for the bands; the widths are read from them.
    relatorio.DefineColunas(colunas);
    QList<Banda> bandas = MontaBandas(relatorio);
    for (int i = 0; i < colunas.size(); ++i)
        if (!fixas[i])
            colunas[i].largura = LarguraNatural(*relatorio.Dados(), IndiceCampo(relatorio, colunas[i].campo),
                                                colunas[i], bandas, i);
    relatorio.DefineColunas(colunas);
    return {relatorio, std::move(bandas), fixas, {}};
}

Preparado Prepara(const TRelatorio& pedido) {
    TRelatorio relatorio = pedido;
    if (const LayoutRelatorio layout = Layouts().value(ChaveLayout(relatorio.Identificador())))
        layout(relatorio);
    if (relatorio.Rodape().isEmpty()) {
        const QString agora = QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm"));
        relatorio.DefineRodape(vUsuario().isEmpty()
                                   ? QStringLiteral("Emitido em %1").arg(agora)
                                   : QStringLiteral("Emitido por %1 em %2").arg(vUsuario(), agora));
    }
    Preparado preparado = PreparaLinhas(relatorio);
    if (!Desenhado(relatorio))
        for (const TRelatorio& secao : relatorio.Secoes())
            preparado.secoes.push_back(PreparaLinhas(secao));
    return preparado;
}

// ---- Wrapping, shared by both outputs

using Medida = std::function<double(const QString&)>;

// Widths in a font, each text measured once (kept in `medidas`): a month's rows repeat their dates, codes
// and names.
Medida MedeUmaVez(const QFontMetricsF& metricas, QHash<QString, double>& medidas) {
    return [&metricas, &medidas](const QString& texto) {
        auto it = medidas.constFind(texto);
        if (it == medidas.cend())
            it = medidas.insert(texto, metricas.horizontalAdvance(texto));
        return *it;
    };
}

QStringList Palavras(const QString& texto) {
    static const QRegularExpression brancos(QStringLiteral("\\s+"));
    return texto.split(brancos, Qt::SkipEmptyParts);
}

double PalavraMaisLarga(const QString& texto, const Medida& mede) {
    double maior = 0;
    for (const QString& palavra : Palavras(texto))
        maior = std::max(maior, mede(palavra));
    return maior;
}

// The longest start of a word that fits the width; at least one character.
qsizetype CabeDaPalavra(const QString& palavra, double largura, const Medida& mede) {
    qsizetype cabe = 1, naoCabe = palavra.size();
    while (naoCabe - cabe > 1) {
        const qsizetype meio = (cabe + naoCabe) / 2;
        (mede(palavra.left(meio)) <= largura ? cabe : naoCabe) = meio;
    }
    return cabe;
}

// A text in lines no wider than the width, broken at blanks; a word wider than the width is broken
// where it must be. Line breaks of the value are kept.
QStringList Quebra(const QString& texto, double largura, const Medida& mede) {
    static const QRegularExpression quebras(QStringLiteral("\\r\\n|\\r|\\n"));
    if (!texto.contains(QLatin1Char('\n')) && !texto.contains(QLatin1Char('\r')) && mede(texto) <= largura)
        return {texto};
    QStringList linhas;
    for (const QString& paragrafo : texto.split(quebras)) {
        QString linha;
        for (QString palavra : Palavras(paragrafo)) {
            const QString junta = linha.isEmpty() ? palavra : linha + ' ' + palavra;
            if (mede(junta) <= largura) {
                linha = junta;
                continue;
            }
            if (!linha.isEmpty())
                linhas << linha;
            while (palavra.size() > 1 && mede(palavra) > largura) {
                const qsizetype cabe = CabeDaPalavra(palavra, largura, mede);
                linhas << palavra.left(cabe);
                palavra = palavra.mid(cabe);
            }
            linha = palavra;
        }
        linhas << linha;
    }
    return linhas;
}

double Soma(const QList<double>& valores) {
    return std::accumulate(valores.begin(), valores.end(), 0.0);
}

// Widths from each column's floor towards its target, the room above the floors shared in proportion to
// what each lacks.
QList<double> Distribui(const QList<double>& piso, const QList<double>& alvo, double livre) {
    double falta = 0;
    for (qsizetype i = 0; i < piso.size(); ++i)
        falta += std::max(0.0, alvo[i] - piso[i]);
    const double sobra = livre - Soma(piso);
    QList<double> larguras;
    for (qsizetype i = 0; i < piso.size(); ++i)
        larguras << piso[i] + (falta > 0 ? sobra * std::max(0.0, alvo[i] - piso[i]) / falta : 0);
    return larguras;
}

// Room beyond each column's floor: first to the columns nearest to holding their widest cell (alvo)
// whole, as each saves its rows a line for the least room; then towards the cells' widths, then towards
// the natural widths (whole captions).
QList<double> Reparte(QList<double> larguras, const QList<double>& alvos, const QList<double>& naturais,
                      double livre) {
    QList<qsizetype> ordem(larguras.size());
    std::iota(ordem.begin(), ordem.end(), 0);
    std::stable_sort(ordem.begin(), ordem.end(), [&](qsizetype a, qsizetype b) {
        return alvos[a] - larguras[a] < alvos[b] - larguras[b];
    });
    double sobra = livre - Soma(larguras);
    for (qsizetype i : ordem)
        if (larguras[i] < alvos[i] && alvos[i] - larguras[i] <= sobra) {
            sobra -= alvos[i] - larguras[i];
            larguras[i] = alvos[i];
        }
    larguras = Distribui(larguras, alvos, std::max(Soma(larguras), std::min(livre, Soma(alvos))));
    return Distribui(larguras, naturais, std::max(Soma(larguras), std::min(livre, Soma(naturais))));
}

bool ADireita(const ColunaRelatorio& coluna) {
    return coluna.alinhamento & Qt::AlignRight;
}

// ---- Text output

constexpr int kLinhasPagina = 66;
constexpr int kRecuoContinuacao = 2;

// Columns of a text line: 80 characters when they fit, else 132. Wider reports wrap their texts down to
// the longest word, and if that is not enough print each record on as many lines as its columns need,
// the continuation lines indented. Numbers are never broken; a column the layout gave a width is cut
// to it, as the label files it feeds expect.
class ColunasTexto {
public:
    ColunasTexto(const QList<ColunaRelatorio>& colunas, const QList<bool>& fixas, const QList<Banda>& bandas)
        : m_colunas(colunas), m_fixas(fixas) {
        const int n = int(colunas.size());
        const Medida caracteres = [](const QString& texto) { return double(texto.size()); };
        // Natural widths hold the caption whole; the cells' widths, every value whole; the least
        // widths, the longest word of each.
        QList<double> natural, celulas, minimo;
        for (int i = 0; i < n; ++i) {
            natural << std::max(1, colunas[i].largura);
            double celula = natural.last(), menor = natural.last();
            if (Quebravel(i)) {
                celula = 1;
                menor = PalavraMaisLarga(colunas[i].titulo, caracteres);
                for (const Banda& banda : bandas) {
                    const QString& texto = banda.celulas.value(i);
                    celula = std::max(celula, double(texto.size()));
                    menor = std::max(menor, banda.tipo == Banda::Detalhe ? PalavraMaisLarga(texto, caracteres)
                                                                         : double(texto.size()));
                }
                menor = std::clamp(menor, 1.0, natural.last());
                celula = std::clamp(celula, menor, natural.last());
            }
            celulas << celula;
            minimo << menor;
        }
        m_grupos = {{0, n, 0}};
        for (double largura : natural)
            m_larguras << int(largura);
        m_largura = Ocupa(0, n) <= 80 ? 80 : 132;
        if (Ocupa(0, n) <= m_largura)
            return;
        const double vaos = n - 1;
        if (Soma(minimo) + vaos <= m_largura) {
            const QList<double> larguras = Reparte(minimo, celulas, natural, m_largura - vaos);
            for (int i = 0; i < n; ++i)
                m_larguras[i] = std::max(int(minimo[i]), int(larguras[i]));
            // What rounding left over goes back to the columns still short of their natural width.
            for (int i = 0; i < n && Ocupa(0, n) < m_largura; ++i)
                if (m_larguras[i] < natural[i])
                    ++m_larguras[i];
            return;
        }
        // Still too wide: each record takes several lines, its columns with their values whole.
        for (int i = 0; i < n; ++i)
            m_larguras[i] = int(celulas[i]);
        m_grupos.clear();
        for (int inicio = 0; inicio < n;) {
            const int recuo = m_grupos.isEmpty() ? 0 : kRecuoContinuacao;
            int fim = inicio + 1;
            while (fim < n && recuo + Ocupa(inicio, fim + 1) <= m_largura)
                ++fim;
            m_larguras[inicio] = std::min(m_larguras[inicio], m_largura - recuo);
            m_grupos.append({inicio, fim, recuo});
            inicio = fim;
        }
    }

    int Largura() const { return m_largura; }

    // The lines of one record: every column of every group, long cells wrapped. A record of several
    // groups ends with a blank line, so where one ends and the next starts is plain.
    QStringList Registro(const QStringList& celulas, bool separado = true) const {
        QStringList linhas;
        for (const Grupo& grupo : m_grupos)
            linhas << Recuadas(grupo.recuo, LinhasGrupo(grupo, celulas, grupo.inicio));
        if (separado && m_grupos.size() > 1)
            linhas << QString();
        return linhas;
    }

    QStringList LinhasSomas(const Banda& banda) const {
        const int rotulo = ColunasDoRotulo(m_colunas);
        const Grupo& primeiro = m_grupos.first();
        const int vao = rotulo > 0 ? Ocupa(0, rotulo) : 0;
        QStringList linhas;
        int grupo = 0;
        if (rotulo > 0 && rotulo <= primeiro.fim && banda.rotulo.size() <= vao) {
            const QStringList resto =
                rotulo < primeiro.fim ? LinhasGrupo(primeiro, banda.celulas, rotulo) : QStringList{QString()};
            for (qsizetype k = 0; k < resto.size(); ++k)
                linhas << Apara((k == 0 ? Cabe(banda.rotulo, vao, Qt::AlignLeft) : QString(vao, ' ')) + ' ' +
                                resto[k]);
            grupo = 1;
        } else {
            linhas << banda.rotulo.left(m_largura);
        }
        for (; grupo < m_grupos.size(); ++grupo)
            if (TemTotal(m_grupos[grupo]))
                linhas << Recuadas(m_grupos[grupo].recuo,
                                   LinhasGrupo(m_grupos[grupo], banda.celulas, m_grupos[grupo].inicio));
        return linhas;
    }

    // A rule under the columns (the totalled ones only, if asked), on each group's line.
    QStringList Tracos(QChar traco, bool soTotalizadas) const {
        QStringList linhas;
        for (const Grupo& grupo : m_grupos) {
            if (soTotalizadas && !TemTotal(grupo))
                continue;
            QStringList celulas(m_colunas.size());
            for (int i = grupo.inicio; i < grupo.fim; ++i)
                if (!soTotalizadas || m_colunas[i].totaliza)
                    celulas[i] = QString(m_larguras[i], traco);
            linhas << Recuadas(grupo.recuo, LinhasGrupo(grupo, celulas, grupo.inicio));
        }
        return linhas.isEmpty() ? QStringList{QString()} : linhas;
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
    struct Grupo {
        int inicio;
        int fim; // one past the last column
        int recuo;
    };

    bool Quebravel(int i) const { return !m_fixas.value(i) && !ADireita(m_colunas[i]); }

    bool TemTotal(const Grupo& grupo) const {
        for (int i = grupo.inicio; i < grupo.fim; ++i)
            if (m_colunas[i].totaliza)
                return true;
        return false;
    }

    // Columns [inicio, fim) side by side with their separating blanks.
    int Ocupa(int inicio, int fim) const {
        return std::accumulate(m_larguras.begin() + inicio, m_larguras.begin() + fim, 0) + (fim - inicio) - 1;
    }

    QStringList Pedacos(int i, const QString& texto) const {
        const int largura = m_larguras[i];
        if (!Quebravel(i))
            return {QString(texto).replace('\n', ' ').left(largura)};
        return Quebra(texto, largura, [](const QString& parte) { return double(parte.size()); });
    }

    // The lines of one group's cells from column primeira on, as many as its longest cell needs.
    QStringList LinhasGrupo(const Grupo& grupo, const QStringList& celulas, int primeira) const {
        QList<QStringList> pedacos;
        qsizetype altura = 1;
        for (int i = primeira; i < grupo.fim; ++i) {
            pedacos << Pedacos(i, celulas.value(i));
            altura = std::max(altura, pedacos.last().size());
        }
        QStringList linhas;
        for (qsizetype k = 0; k < altura; ++k) {
            QString linha;
            for (int i = primeira; i < grupo.fim; ++i) {
                if (i > primeira)
                    linha += ' ';
                linha += Cabe(pedacos[i - primeira].value(k), m_larguras[i], m_colunas[i].alinhamento);
            }
            linhas << Apara(linha);
        }
        return linhas;
    }

    static QStringList Recuadas(int recuo, QStringList linhas) {
        if (recuo > 0)
            for (QString& linha : linhas)
                if (!linha.isEmpty())
                    linha.prepend(QString(recuo, ' '));
        return linhas;
    }

    QList<ColunaRelatorio> m_colunas;
    QList<bool> m_fixas;
    QList<int> m_larguras;
    QList<Grupo> m_grupos;
    int m_largura = 80;
};

// Pages of text for line printers and label files. Every section's column captions repeat at the top of
// each page its rows go on to.
class EscritorTexto {
public:
    explicit EscritorTexto(const Preparado& preparado) : m_relatorio(preparado.relatorio) {
        for (const Preparado* parte : Partes(preparado)) {
            m_partes.append({&parte->relatorio, &parte->bandas,
                             ColunasTexto(parte->relatorio.Colunas(), parte->fixas, parte->bandas)});
            m_largura = std::max(m_largura, m_partes.last().colunas.Largura());
        }
    }

    QString Texto() const {
        QList<QStringList> linhas;
        QList<double> alturas;
        QList<bool> comProxima;
        QList<int> partes; // of each band; -1 where a section opens with its title and captions
        for (int p = 0; p < m_partes.size(); ++p) {
            if (p > 0) {
                linhas << (QStringList{QString(), m_partes[p].relatorio->Titulo().left(m_largura)}
                           << Legendas(p));
                partes << -1;
                comProxima << true;
            }
            for (const Banda& banda : *m_partes[p].bandas) {
                linhas << Linhas(m_partes[p].colunas, banda);
                partes << p;
                comProxima << banda.comProxima;
            }
        }
        for (const QStringList& banda : std::as_const(linhas))
            alturas << double(banda.size());
        const int base = int(Base(1, 1).size());
        auto topo = [&](bool primeira, int banda) { return Topo(primeira, partes.value(banda, 0)); };
        const QList<QList<int>> paginas = Pagina(alturas, comProxima, [&](bool primeira, int banda) {
            return double(kLinhasPagina - topo(primeira, banda).size() - base);
        });
        QStringList saida;
        for (int p = 0; p < paginas.size(); ++p) {
            QStringList pagina = topo(p == 0, paginas[p].value(0));
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
    struct Parte {
        const TRelatorio* relatorio;
        const QList<Banda>* bandas;
        ColunasTexto colunas;
    };

    // The title, the header fields on the first page, and the captions of the part (none: -1).
    QStringList Topo(bool primeira, int parte) const {
        QStringList linhas{
            ColunasTexto::Apara(ColunasTexto::Cabe(m_relatorio.Titulo(), m_largura, Qt::AlignHCenter))};
        if (primeira) {
            if (!m_relatorio.Cabecalho().isEmpty())
                linhas << QString();
            const Medida caracteres = [](const QString& texto) { return double(texto.size()); };
            for (const auto& [rotulo, valor] : m_relatorio.Cabecalho())
                linhas << Quebra(QStringLiteral("%1: %2").arg(rotulo, valor), m_largura, caracteres);
        }
        linhas << QString(m_largura, '=');
        if (parte >= 0)
            linhas << Legendas(parte);
        return linhas;
    }

    QStringList Legendas(int parte) const {
        QStringList titulos;
        for (const ColunaRelatorio& coluna : m_partes[parte].relatorio->Colunas())
            titulos << coluna.titulo;
        return m_partes[parte].colunas.Registro(titulos, false) << QString(m_largura, '-');
    }

    QStringList Base(int pagina, int paginas) const {
        const QString numero = QStringLiteral("Página %1 de %2").arg(pagina).arg(paginas);
        const QString rodape =
            m_relatorio.Rodape().left(std::max<qsizetype>(0, m_largura - numero.size() - 1));
        return {QString(m_largura, '-'), rodape + numero.rightJustified(m_largura - rodape.size())};
    }

    static QStringList Linhas(const ColunasTexto& colunas, const Banda& banda) {
        switch (banda.tipo) {
        case Banda::Grupo:
            return {banda.rotulo.left(colunas.Largura())};
        case Banda::Detalhe:
            return colunas.Registro(banda.celulas);
        case Banda::Subtotal:
            return colunas.Tracos('-', true) << colunas.LinhasSomas(banda) << QString();
        case Banda::Total:
            return colunas.Tracos('=', true) << colunas.LinhasSomas(banda);
        case Banda::Texto:
            break;
        }
        return {banda.rotulo.left(colunas.Largura())};
    }

    const TRelatorio& m_relatorio;
    QList<Parte> m_partes;
    int m_largura = 0;
};

// ---- Graphic output

constexpr double kMargemMm = 12;
constexpr double kCorpoPt = 8.5;
constexpr double kReferenciaPt = 10;
// Measures taken at the reference size are scaled with this much to spare.
constexpr double kFolgaEscala = 1.01;
// Average character of report data: digits, capitals and small letters.
const QString kAmostra = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");

} // namespace

QFont FonteRelatorio(double pontos, bool negrito, bool estreita) {
    QFont fonte;
    fonte.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Arial"), QStringLiteral("Helvetica")});
    fonte.setStyleHint(QFont::SansSerif);
    fonte.setPointSizeF(pontos);
    fonte.setBold(negrito);
    if (estreita)
        fonte.setStretch(QFont::Condensed);
    return fonte;
}

namespace {

// A body font: its size, its face and whether columns may narrow below their natural width, wrapping.
struct Tamanho {
    double pontos;
    bool estreita;
    bool quebra;
};
// Tried in this order, every column at its natural width: the regular face shrinking a little, then the
// condensed one.
const Tamanho kSemQuebra[] = {{8.5, false, false}, {8, false, false}, {7.5, false, false},
                              {8.5, true, false},  {8, true, false},  {7.5, true, false},
                              {7, true, false}};
// Then long texts wrap; down to 6 points a listing stays readable.
const Tamanho kComQuebra[] = {{7, true, true}, {6.5, true, true}, {6, true, true}};
// A smaller size is taken only when it saves more than this share of the rows' height.
constexpr double kGanhoMinimo = 0.25;
// Wrapped columns are balanced on their few widest cells, up to this many lines.
constexpr int kCelulasEquilibrio = 3;
constexpr int kLinhasEquilibrio = 40;
// Values up to this many characters are short: better whole than wrapped.
constexpr int kValorCurto = 16;

// What the columns need, measured once per face at the reference size (device units) and scaled to any
// other: every cell's width, the widest cell (texts up to the usual width) and its longest word, the
// caption whole and its longest word, the widest total.
class Medicao {
public:
    Medicao(const Preparado& preparado, const QPaintDevice& dispositivo)
        : m_preparado(preparado), m_dispositivo(dispositivo) {}

    double Caractere(bool estreita, double pontos) {
        const QFontMetricsF metricas(FonteRelatorio(pontos, false, estreita), &m_dispositivo);
        return metricas.horizontalAdvance(kAmostra) / kAmostra.size();
    }
    // Blank on either side of a column's text; narrower when the columns must wrap.
    double Folga(const Tamanho& t) { return Caractere(t.estreita, t.pontos) * (t.quebra ? 0.45 : 0.55); }

    // Natural and least widths of every column's text, without the folga.
    QList<double> Naturais(const Tamanho& t) { return Escala(Da(t.estreita).natural, t.pontos); }
    QList<double> Minimas(const Tamanho& t) { return Escala(Da(t.estreita).minima, t.pontos); }

    // Widths for wrapped rows: the fewest lines every column's longest cells can wrap into within the
    // room, each column never below its longest word nor above its natural width. Short values (codes,
    // phones, dates) are kept on one line unless that makes the rows much taller.
    QList<double> Equilibra(const Tamanho& t, double livre) {
        const Face& face = Da(t.estreita);
        const double escala = t.pontos / kReferenciaPt * kFolgaEscala;
        const QList<double> minimas = Minimas(t);
        QList<double> inteiras = minimas;
        for (qsizetype i = 0; i < minimas.size(); ++i)
            if (face.celula[i] <= kValorCurto * face.caractere)
                inteiras[i] = std::max(minimas[i], face.celula[i] * escala);
        const QList<double> livres = EquilibraSobre(t, minimas, livre);
        if (Soma(inteiras) > livre)
            return livres;
        const QList<double> curtasInteiras = EquilibraSobre(t, inteiras, livre);
        return Linhas(t, curtasInteiras) <= Linhas(t, livres) * (1 + kGanhoMinimo) ? curtasInteiras : livres;
    }

    // Lines the detail rows take in columns of these widths, as long texts would wrap.
    double Linhas(const Tamanho& t, const QList<double>& larguras) {
        const Face& face = Da(t.estreita);
        const double escala = t.pontos / kReferenciaPt * kFolgaEscala;
        double linhas = 0;
        for (qsizetype r = 0; r < face.celulas.size(); ++r) {
            double linha = 1;
            for (qsizetype i = 0; i < larguras.size(); ++i)
                linha = std::max(linha, std::ceil(face.celulas[r][i] * escala / std::max(larguras[i], 1.0)));
            linhas += linha;
        }
        return linhas;
    }

private:
    // Equilibra's widths with each column at least as wide as the floor. What is left over goes first to
    // the cells nearest to fitting whole, each saving a line for the least room; the captions come last,
    // as they may well take another line of the header.
    QList<double> EquilibraSobre(const Tamanho& t, const QList<double>& piso, double livre) {
        const Face& face = Da(t.estreita);
        const double escala = t.pontos / kReferenciaPt * kFolgaEscala;
        const QList<double> naturais = Naturais(t);
        QList<double> larguras = piso;
        for (int linhas = 1; linhas <= kLinhasEquilibrio; ++linhas) {
            QList<double> tenta;
            for (qsizetype i = 0; i < piso.size(); ++i)
                tenta << std::clamp(Precisa(face.maiores[i], face.espaco, linhas) * escala, piso[i],
                                    std::max(piso[i], naturais[i]));
            if (Soma(tenta) <= livre) {
                larguras = tenta;
                break;
            }
        }
        QList<double> alvos;
        for (qsizetype i = 0; i < larguras.size(); ++i)
            alvos << std::clamp(face.celula[i] * escala, larguras[i], std::max(larguras[i], naturais[i]));
        return Reparte(larguras, alvos, naturais, livre);
    }

    // A cell as its words' widths.
    using Palavreado = QList<double>;

    struct Face {
        bool medida = false;
        QList<double> natural, minima;
        QList<double> celula; // the widest cell of each column, whole
        double caractere = 0;
        QList<QList<double>> celulas;     // per detail row, every cell
        QList<QList<Palavreado>> maiores; // per column, its widest cells
        double espaco = 0;
    };

    static qsizetype LinhasDe(const Palavreado& palavras, double espaco, double largura) {
        qsizetype linhas = 1;
        double linha = -1;
        for (double palavra : palavras) {
            if (linha >= 0 && linha + espaco + palavra > largura) {
                ++linhas;
                linha = -1;
            }
            linha = linha < 0 ? palavra : linha + espaco + palavra;
        }
        return linhas;
    }

    // The least width (reference size) in which each of the cells takes at most that many lines.
    static double Precisa(const QList<Palavreado>& celulas, double espaco, int linhas) {
        double menos = 0, mais = 0;
        for (const Palavreado& palavras : celulas)
            mais = std::max(mais, std::accumulate(palavras.begin(), palavras.end(), 0.0) +
                                      espaco * std::max<qsizetype>(0, palavras.size() - 1));
        for (int passo = 0; passo < 24 && mais - menos > 0.5; ++passo) {
            const double meio = (menos + mais) / 2;
            bool cabe = true;
            for (const Palavreado& palavras : celulas)
                cabe = cabe && LinhasDe(palavras, espaco, meio) <= linhas;
            (cabe ? mais : menos) = meio;
        }
        return mais;
    }

    static QList<double> Escala(QList<double> larguras, double pontos) {
        for (double& largura : larguras)
            largura *= pontos / kReferenciaPt * kFolgaEscala;
        return larguras;
    }

    const Face& Da(bool estreita) {
        Face& face = m_faces[estreita ? 1 : 0];
        if (face.medida)
            return face;
        face.medida = true;
        const QFontMetricsF corpo(FonteRelatorio(kReferenciaPt, false, estreita), &m_dispositivo);
        const QFontMetricsF negrito(FonteRelatorio(kReferenciaPt, true, estreita), &m_dispositivo);
        QHash<QString, double> medidas;
        const Medida mede = MedeUmaVez(corpo, medidas);
        const Medida medeNegrito = [&](const QString& texto) { return negrito.horizontalAdvance(texto); };
        const double caractere = corpo.horizontalAdvance(kAmostra) / kAmostra.size();
        face.caractere = caractere;
        const auto& colunas = m_preparado.relatorio.Colunas();
        QList<double> celula(colunas.size()), palavra(colunas.size()), total(colunas.size());
        face.espaco = mede(QStringLiteral(" "));
        face.maiores.resize(colunas.size());
        QList<QMultiMap<double, QString>> maiores(colunas.size());
        for (const Banda& banda : m_preparado.bandas) {
            if (banda.tipo == Banda::Detalhe)
                face.celulas.append(QList<double>(colunas.size()));
            for (int i = 0; i < colunas.size(); ++i) {
                const QString texto = banda.celulas.value(i);
                if (texto.isEmpty())
                    continue;
                if (banda.tipo != Banda::Detalhe) {
                    total[i] = std::max(total[i], medeNegrito(texto));
                    continue;
                }
                const double largura = mede(texto);
                face.celulas.last()[i] = largura;
                celula[i] = std::max(celula[i], largura);
                if (maiores[i].size() < kCelulasEquilibrio || largura > maiores[i].firstKey()) {
                    maiores[i].insert(largura, texto);
                    if (maiores[i].size() > kCelulasEquilibrio)
                        maiores[i].erase(maiores[i].begin());
                }
                // A word is never wider than its cell: most cells need no look at their words.
                if (largura > palavra[i])
                    palavra[i] = std::max(palavra[i], PalavraMaisLarga(texto, mede));
            }
        }
        face.celula = celula;
        for (int i = 0; i < colunas.size(); ++i) {
            const ColunaRelatorio& coluna = colunas[i];
            double natural = celula[i];
            if (m_preparado.fixas.value(i))
                natural = coluna.largura * caractere;
            else if (!ADireita(coluna))
                natural = std::min(natural, kLarguraMaximaTexto * caractere);
            const double tituloPalavra = PalavraMaisLarga(coluna.titulo, medeNegrito);
            const double minima =
                std::max({ADireita(coluna) ? celula[i] : palavra[i], tituloPalavra, total[i]});
            face.minima << minima;
            face.natural << std::max({natural, medeNegrito(coluna.titulo), total[i], minima});
            for (const QString& texto : std::as_const(maiores[i])) {
                Palavreado palavras;
                for (const QString& p : Palavras(texto))
                    palavras << mede(p);
                face.maiores[i] << palavras;
            }
        }
        return face;
    }

    const Preparado& m_preparado;
    const QPaintDevice& m_dispositivo;
    Face m_faces[2];
};

// Blank around column i, in folgas: one on either side, two more where a number is followed by a text,
// which would otherwise read as one.
double Vao(const QList<ColunaRelatorio>& colunas, qsizetype i) {
    return i + 1 < colunas.size() && ADireita(colunas[i]) && !ADireita(colunas[i + 1]) ? 4 : 2;
}

double Vaos(const QList<ColunaRelatorio>& colunas) {
    double vaos = 0;
    for (qsizetype i = 0; i < colunas.size(); ++i)
        vaos += Vao(colunas, i);
    return vaos;
}

double MmNoDispositivo(double milimetros, const QPaintDevice& dispositivo) {
    return milimetros * dispositivo.logicalDpiX() / 25.4;
}

// What the columns of the report and of each of its sections need, in print order.
using Medicoes = std::vector<Medicao>;

Medicoes Mede(const Preparado& preparado, const QPaintDevice& dispositivo) {
    Medicoes medicoes;
    for (const Preparado* parte : Partes(preparado))
        medicoes.emplace_back(*parte, dispositivo);
    return medicoes;
}

// Pages of the drawing's own size, drawn from the paper's edge: a label printer's margins would shift every
// label.
void AjustaPaginaDesenhada(QPagedPaintDevice& dispositivo, const TRelatorio& relatorio) {
    const QSizeF tamanho = relatorio.TamanhoPagina();
    // The size upright and turned, as printers take sizes.
    const QPageSize papel(
        QSizeF(std::min(tamanho.width(), tamanho.height()), std::max(tamanho.width(), tamanho.height())),
        QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    QPageLayout layout(papel,
                       tamanho.width() > tamanho.height() ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(), QPageLayout::Millimeter);
    layout.setMode(QPageLayout::FullPageMode);
    if (auto* impressora = dynamic_cast<QPrinter*>(&dispositivo))
        impressora->setFullPage(true);
    dispositivo.setPageLayout(layout);
}

// A4, landscape when the columns of a part do not fit upright at the body size.
void AjustaPagina(QPagedPaintDevice& dispositivo, const Preparado& preparado, Medicoes& medicoes) {
    if (preparado.relatorio.DesenhoPaginas()) {
        AjustaPaginaDesenhada(dispositivo, preparado.relatorio);
        return;
    }
    const QPageSize a4(QPageSize::A4);
    const double retrato =
        MmNoDispositivo(a4.size(QPageSize::Millimeter).width() - 2 * kMargemMm, dispositivo);
    const Tamanho& corpo = kSemQuebra[0];
    const QList<const Preparado*> partes = Partes(preparado);
    bool cabe = true;
    for (qsizetype p = 0; p < partes.size(); ++p)
        cabe = cabe && Soma(medicoes[p].Naturais(corpo)) +
                               Vaos(partes[p]->relatorio.Colunas()) * medicoes[p].Folga(corpo) <=
                           retrato;
    const auto orientacao = cabe ? QPageLayout::Portrait : QPageLayout::Landscape;
    dispositivo.setPageLayout(QPageLayout(
        a4, orientacao, QMarginsF(kMargemMm, kMargemMm, kMargemMm, kMargemMm), QPageLayout::Millimeter));
}

// The body size and the width of every column's text for a page width. Rows stay on one line at the
// first size whose natural widths fit (room to spare widens the text columns, as numbers stretched apart
// from their labels read badly). Otherwise long texts wrap, at the largest size whose rows are not much
// taller than the smallest one's; at worst the least widths are squeezed and words broken.
struct Disposicao {
    Tamanho tamanho{kCorpoPt, false, false};
    QList<double> larguras;
    double folga = 0;
};

Disposicao Dispoe(Medicao& medicao, const QList<ColunaRelatorio>& colunas, double pagina) {
    Disposicao disposicao;
    auto livre = [&](const Tamanho& t) { return pagina - Vaos(colunas) * medicao.Folga(t); };
    for (const Tamanho& t : kSemQuebra) {
        const QList<double> naturais = medicao.Naturais(t);
        const double natural = Soma(naturais);
        if (natural > livre(t))
            continue;
        double texto = 0;
        for (int i = 0; i < colunas.size(); ++i)
            texto += ADireita(colunas[i]) ? 0 : naturais[i];
        for (int i = 0; i < colunas.size(); ++i) {
            double largura = naturais[i];
            if (texto > 0 && !ADireita(colunas[i]))
                largura += (livre(t) - natural) * naturais[i] / texto;
            else if (texto <= 0)
                largura = naturais[i] * livre(t) / natural;
            disposicao.larguras << largura;
        }
        disposicao.tamanho = t;
        disposicao.folga = medicao.Folga(t);
        return disposicao;
    }
    QList<QPair<Tamanho, QList<double>>> opcoes;
    QList<double> alturas;
    for (const Tamanho& t : kComQuebra) {
        const QList<double> minimas = medicao.Minimas(t);
        if (Soma(minimas) > livre(t))
            continue;
        opcoes.append({t, medicao.Equilibra(t, livre(t))});
        alturas << medicao.Linhas(t, opcoes.last().second) * t.pontos;
    }
    if (!opcoes.isEmpty()) {
        const double menor = *std::min_element(alturas.begin(), alturas.end());
        qsizetype escolhida = 0;
        while (alturas[escolhida] > menor * (1 + kGanhoMinimo))
            ++escolhida;
        disposicao.tamanho = opcoes[escolhida].first;
        disposicao.larguras = opcoes[escolhida].second;
        disposicao.folga = medicao.Folga(disposicao.tamanho);
        return disposicao;
    }
    disposicao.tamanho = kComQuebra[std::size(kComQuebra) - 1];
    disposicao.folga = medicao.Folga(disposicao.tamanho);
    const QList<double> minimas = medicao.Minimas(disposicao.tamanho);
    for (double largura : minimas)
        disposicao.larguras << largura * std::max(0.0, livre(disposicao.tamanho)) / Soma(minimas);
    return disposicao;
}

// Draws the bands on a paged device as it is set up: title band on the first page, the column header band
// of the rows under way on every page, each section opening with its title and its own column captions,
// page footer with the page count. Cells, captions and header values too long for their room wrap onto
// more lines; nothing is cut.
class PintorGrafico {
public:
    PintorGrafico(const Preparado& preparado, Medicoes& medicoes, QPagedPaintDevice& dispositivo)
        : m_relatorio(preparado.relatorio), m_dispositivo(dispositivo), m_largura(dispositivo.width()) {
        m_titulo = FonteRelatorio(14, true);
        m_secao = FonteRelatorio(10.5, true);
        m_cabecalho = FonteRelatorio(9);
        m_cabecalhoNegrito = FonteRelatorio(9, true);
        m_rodape = FonteRelatorio(7);
        const QList<const Preparado*> partes = Partes(preparado);
        for (qsizetype p = 0; p < partes.size(); ++p)
            m_grades << MontaGrade(*partes[p], medicoes[p]);
        const QFontMetricsF cabecalho = Metricas(m_cabecalho);
        for (const auto& campo : m_relatorio.Cabecalho())
            m_rotulos =
                std::max(m_rotulos, Metricas(m_cabecalhoNegrito).horizontalAdvance(campo.first + ':'));
        for (const auto& campo : m_relatorio.Cabecalho())
            m_valores << Quebra(
                campo.second, m_largura - m_rotulos - Mm(2),
                [&cabecalho](const QString& texto) { return cabecalho.horizontalAdvance(texto); });
    }

    bool Pinta() {
        if (m_relatorio.DesenhoPaginas())
            return PintaPaginas();
        if (m_relatorio.Desenho())
            return PintaDesenho();
        QList<Bloco> blocos;
        QList<double> alturas;
        QList<bool> comProxima;
        for (int p = 0; p < m_grades.size(); ++p) {
            const Grade& grade = m_grades[p];
            if (p > 0) {
                blocos << Bloco{p, -1};
                alturas << AlturaSecao(grade);
                comProxima << true;
            }
            for (int b = 0; b < grade.bandas->size(); ++b) {
                blocos << Bloco{p, b};
                alturas << Altura(grade, b);
                comProxima << (*grade.bandas)[b].comProxima;
            }
        }
        // A page that starts inside a part repeats that part's captions.
        auto legendas = [&](int bloco) {
            const Bloco primeiro = blocos.value(bloco, Bloco{0, 0});
            return primeiro.banda < 0 ? -1 : primeiro.parte;
        };
        const double corpo = m_dispositivo.height() - AlturaRodape();
        const QList<QList<int>> paginas = Pagina(alturas, comProxima, [&](bool primeira, int bloco) {
            const int parte = legendas(bloco);
            return corpo - AlturaTopo(primeira) - (parte < 0 ? 0 : m_grades[parte].alturaColunas);
        });
        if (!m_pintor.begin(&m_dispositivo))
            return false;
        bool completo = true;
        const int total = int(paginas.size()) + (m_relatorio.DesenhoFinal() ? 1 : 0);
        for (int p = 0; p < paginas.size(); ++p) {
            if (p > 0 && !m_dispositivo.newPage()) {
                completo = false;
                break;
            }
            double y = PintaTopo(p == 0);
            if (const int parte = legendas(paginas[p].value(0)); parte >= 0)
                y = PintaColunas(m_grades[parte], y);
            for (int i : paginas[p]) {
                const Grade& grade = m_grades[blocos[i].parte];
                if (blocos[i].banda < 0)
                    PintaSecao(grade, y);
                else
                    PintaBanda(grade, blocos[i].banda, y, alturas[i]);
                y += alturas[i];
            }
            PintaRodape(p + 1, total);
        }
        if (completo && m_relatorio.DesenhoFinal()) {
            completo = m_dispositivo.newPage();
            if (completo) {
                const double topo = PintaTopo(false);
                const QRectF area(0, topo, m_largura, m_dispositivo.height() - AlturaRodape() - Mm(2) - topo);
                m_pintor.save();
                m_relatorio.DesenhoFinal()(m_pintor, area);
                m_pintor.restore();
                PintaRodape(total, total);
            }
        }
        const bool fechado = m_pintor.end();
        return completo && fechado;
    }

private:
    // One part's columns as laid out on the page: its body size, column edges, captions and cells in lines.
    struct Grade {
        const TRelatorio* relatorio = nullptr;
        const QList<Banda>* bandas = nullptr;
        QFont corpo, negrito;
        double linha = 0;
        double entrelinha = 0;
        double folga = 0;
        double alturaColunas = 0;
        QList<double> x;                   // left edge of every column, then the right edge of the last
        QList<QStringList> titulos;        // every caption in its lines
        QList<QList<QStringList>> pedacos; // per band: every detail cell in its lines
        // A detail text laid out once: a month's rows repeat their dates, codes and names.
        struct Glifos {
            QList<QGlyphRun> corridas;
            double largura = 0, altura = 0;
        };
        mutable QHash<QString, Glifos> glifos;
    };
    // A band of a part, or (banda -1) the opening of a section: its title and column captions.
    struct Bloco {
        int parte;
        int banda;
    };

    Grade MontaGrade(const Preparado& parte, Medicao& medicao) const {
        Grade grade;
        grade.relatorio = &parte.relatorio;
        grade.bandas = &parte.bandas;
        const auto& colunas = parte.relatorio.Colunas();
        const Disposicao disposicao = Dispoe(medicao, colunas, m_largura);
        grade.corpo = FonteRelatorio(disposicao.tamanho.pontos, false, disposicao.tamanho.estreita);
        grade.negrito = FonteRelatorio(disposicao.tamanho.pontos, true, disposicao.tamanho.estreita);
        grade.linha = Metricas(grade.corpo).height() * 1.5;
        grade.entrelinha = Metricas(grade.corpo).lineSpacing() * 1.05;
        grade.folga = disposicao.folga;
        grade.x = {0};
        for (qsizetype i = 0; i < disposicao.larguras.size(); ++i)
            grade.x << grade.x.last() + disposicao.larguras[i] + Vao(colunas, i) * grade.folga;

        const QFontMetricsF corpo = Metricas(grade.corpo), negrito = Metricas(grade.negrito);
        QHash<QString, double> larguras;
        const Medida mede = MedeUmaVez(corpo, larguras);
        const Medida medeNegrito = [&negrito](const QString& texto) {
            return negrito.horizontalAdvance(texto);
        };
        qsizetype linhasTitulo = 1;
        for (int i = 0; i < colunas.size(); ++i) {
            grade.titulos << Quebra(colunas[i].titulo, Colunas(grade, i, i, 0, 0).width(), medeNegrito);
            linhasTitulo = std::max(linhasTitulo, grade.titulos.last().size());
        }
        grade.alturaColunas = grade.linha * 1.4 + (linhasTitulo - 1) * negrito.lineSpacing() * 1.05;
        for (const Banda& banda : parte.bandas) {
            QList<QStringList> pedacos;
            if (banda.tipo == Banda::Detalhe)
                for (int i = 0; i < colunas.size(); ++i)
                    pedacos << Quebra(banda.celulas.value(i), Colunas(grade, i, i, 0, 0).width(), mede);
            grade.pedacos << pedacos;
        }
        return grade;
    }

    // The title band, the caller's drawing in the room left, the footer: one page.
    bool PintaDesenho() {
        if (!m_pintor.begin(&m_dispositivo))
            return false;
        const double topo = PintaTopo(true);
        const QRectF area(0, topo, m_largura, m_dispositivo.height() - AlturaRodape() - Mm(2) - topo);
        m_pintor.save();
        m_relatorio.Desenho()(m_pintor, area);
        m_pintor.restore();
        PintaRodape(1, 1);
        return m_pintor.end();
    }

    // The caller's pages, each the whole sheet.
    bool PintaPaginas() {
        if (!m_pintor.begin(&m_dispositivo))
            return false;
        bool completo = true;
        const QRectF pagina(0, 0, m_dispositivo.width(), m_dispositivo.height());
        for (int p = 0; p < m_relatorio.Paginas(); ++p) {
            if (p > 0 && !m_dispositivo.newPage()) {
                completo = false;
                break;
            }
            m_pintor.save();
            m_relatorio.DesenhoPaginas()(m_pintor, pagina, p);
            m_pintor.restore();
        }
        const bool fechado = m_pintor.end();
        return completo && fechado;
    }

    QFontMetricsF Metricas(const QFont& fonte) const { return QFontMetricsF(fonte, &m_dispositivo); }
    double Mm(double milimetros) const { return milimetros * m_dispositivo.logicalDpiY() / 25.4; }

    double AlturaTopo(bool primeira) const {
        if (!primeira)
            return Metricas(m_cabecalhoNegrito).height() * 1.4 + Mm(2);
        qsizetype linhas = 0;
        for (const QStringList& valor : m_valores)
            linhas += std::max<qsizetype>(1, valor.size());
        return Metricas(m_titulo).height() * 1.5 + linhas * AlturaCabecalho() + Mm(3);
    }
    double AlturaCabecalho() const { return Metricas(m_cabecalho).height() * 1.35; }
    double AlturaRodape() const { return Metricas(m_rodape).height() * 2; }
    double AlturaTituloSecao() const { return Metricas(m_secao).height() * 2.2; }
    double AlturaSecao(const Grade& grade) const { return AlturaTituloSecao() + grade.alturaColunas; }

    double Altura(const Grade& grade, int b) const {
        const Banda& banda = (*grade.bandas)[b];
        switch (banda.tipo) {
        case Banda::Grupo:
            return grade.linha * 1.7;
        case Banda::Subtotal:
            return grade.linha * (RotuloAcima(grade, banda) ? 3 : 1.8);
        case Banda::Total:
            return grade.linha * (RotuloAcima(grade, banda) ? 2.8 : 1.6);
        case Banda::Detalhe: {
            qsizetype linhas = 1;
            for (const QStringList& pedacos : grade.pedacos[b])
                linhas = std::max(linhas, pedacos.size());
            return grade.linha + (linhas - 1) * grade.entrelinha;
        }
        case Banda::Texto:
            break;
        }
        return grade.linha;
    }

    static QRectF Colunas(const Grade& grade, int primeira, int ultima, double y, double altura) {
        return QRectF(grade.x[primeira], y, grade.x[ultima + 1] - grade.x[primeira], altura)
            .adjusted(grade.folga, 0, -(Vao(grade.relatorio->Colunas(), ultima) - 1) * grade.folga, 0);
    }
    bool RotuloAcima(const Grade& grade, const Banda& banda) const {
        const int rotulo = ColunasDoRotulo(grade.relatorio->Colunas());
        return rotulo == 0 || Metricas(grade.negrito).horizontalAdvance(banda.rotulo) >
                                  Colunas(grade, 0, rotulo - 1, 0, 0).width();
    }
    QRectF Faixa(const Grade& grade, double y, double altura) const {
        return QRectF(0, y, m_largura, altura).adjusted(grade.folga, 0, -grade.folga, 0);
    }

    void Escreve(const QRectF& onde, const QString& texto, const QFont& fonte, Qt::Alignment alinhamento,
                 const QColor& cor = Qt::black) {
        m_pintor.setFont(fonte);
        m_pintor.setPen(cor);
        m_pintor.drawText(onde, int(alinhamento | Qt::AlignVCenter),
                          Metricas(fonte).elidedText(texto, Qt::ElideRight, onde.width()));
    }

    // Lines already broken to the width, the first one where a single line would be.
    void EscreveLinhas(const QRectF& primeira, const QStringList& linhas, const QFont& fonte,
                       Qt::Alignment alinhamento, double entrelinha) {
        m_pintor.setFont(fonte);
        m_pintor.setPen(Qt::black);
        for (qsizetype k = 0; k < linhas.size(); ++k)
            m_pintor.drawText(primeira.translated(0, k * entrelinha), int(alinhamento | Qt::AlignVCenter),
                              linhas[k]);
    }

    // A line of a detail cell, as drawText would place it, from the glyphs its text was given the first time.
    void EscreveCelula(const Grade& grade, const QRectF& onde, const QString& texto,
                       Qt::Alignment alinhamento) {
        if (texto.isEmpty())
            return;
        auto it = grade.glifos.constFind(texto);
        if (it == grade.glifos.cend()) {
            QTextLayout layout(texto, grade.corpo, &m_dispositivo);
            layout.beginLayout();
            const QTextLine linha = layout.createLine();
            layout.endLayout();
            Grade::Glifos novos{layout.glyphRuns(), linha.naturalTextWidth(), linha.height()};
            // Beyond this many texts a report's values are mostly its own: drawn without being kept.
            constexpr qsizetype kGuardados = 50000;
            if (grade.glifos.size() >= kGuardados) {
                DesenhaGlifos(novos, onde, alinhamento);
                return;
            }
            it = grade.glifos.insert(texto, std::move(novos));
        }
        DesenhaGlifos(*it, onde, alinhamento);
    }
    void DesenhaGlifos(const Grade::Glifos& g, const QRectF& onde, Qt::Alignment alinhamento) {
        double x = onde.left();
        if (alinhamento & Qt::AlignRight)
            x = onde.right() - g.largura;
        else if (alinhamento & Qt::AlignHCenter)
            x = onde.left() + (onde.width() - g.largura) / 2;
        const QPointF origem(x, onde.top() + (onde.height() - g.altura) / 2);
        for (const QGlyphRun& corrida : g.corridas)
            m_pintor.drawGlyphRun(origem, corrida);
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
        const double altura = AlturaCabecalho();
        double y = alturaTitulo + Mm(1);
        for (qsizetype c = 0; c < m_valores.size(); ++c) {
            Escreve(QRectF(0, y, m_rotulos, altura), m_relatorio.Cabecalho()[c].first + ':',
                    m_cabecalhoNegrito, Qt::AlignLeft);
            EscreveLinhas(QRectF(m_rotulos + Mm(2), y, m_largura - m_rotulos - Mm(2), altura), m_valores[c],
                          m_cabecalho, Qt::AlignLeft, altura);
            y += std::max<qsizetype>(1, m_valores[c].size()) * altura;
        }
        return AlturaTopo(true);
    }

    // A section's title over its column captions.
    void PintaSecao(const Grade& grade, double y) {
        const double altura = AlturaTituloSecao();
        const QRectF titulo(0, y + altura * 0.35, m_largura, altura * 0.65);
        Escreve(titulo, grade.relatorio->Titulo(), m_secao, Qt::AlignLeft, QColor(0x1f, 0x3a, 0x5a));
        PintaColunas(grade, y + altura);
    }

    // Captions sit on the band's last lines, so one-line captions line up with the ends of wrapped ones.
    double PintaColunas(const Grade& grade, double y) {
        const QRectF faixa(0, y, m_largura, grade.alturaColunas);
        m_pintor.fillRect(faixa, QColor(0xdd, 0xe3, 0xea));
        Traco(0, m_largura, faixa.bottom(), 0.3, QColor(0x5a, 0x6b, 0x7d));
        const auto& colunas = grade.relatorio->Colunas();
        const double entrelinha = Metricas(grade.negrito).lineSpacing() * 1.05;
        const double base = faixa.bottom() - grade.linha * 1.4;
        for (int i = 0; i < colunas.size(); ++i) {
            const double topo = base - (grade.titulos[i].size() - 1) * entrelinha;
            EscreveLinhas(Colunas(grade, i, i, topo, grade.linha * 1.4), grade.titulos[i], grade.negrito,
                          colunas[i].alinhamento, entrelinha);
        }
        return faixa.bottom();
    }

    void PintaBanda(const Grade& grade, int b, double y, double altura) {
        const Banda& banda = (*grade.bandas)[b];
        const auto& colunas = grade.relatorio->Colunas();
        const QColor azul(0x1f, 0x3a, 0x5a);
        switch (banda.tipo) {
        case Banda::Detalhe:
            if (banda.zebra && grade.relatorio->Zebrado())
                m_pintor.fillRect(QRectF(0, y, m_largura, altura), QColor(0xf2, 0xf4, 0xf7));
            m_pintor.setPen(Qt::black);
            for (int i = 0; i < colunas.size(); ++i) {
                const QRectF primeira = Colunas(grade, i, i, y, grade.linha);
                const QStringList& linhas = grade.pedacos[b][i];
                for (qsizetype k = 0; k < linhas.size(); ++k)
                    EscreveCelula(grade, primeira.translated(0, k * grade.entrelinha), linhas[k],
                                  colunas[i].alinhamento);
            }
            break;
        case Banda::Grupo: {
            const double topo = y + grade.linha * 0.5;
            Escreve(Faixa(grade, topo, grade.linha), banda.rotulo, grade.negrito, Qt::AlignLeft, azul);
            Traco(0, m_largura, topo + grade.linha, 0.2, QColor(0x9a, 0xa8, 0xb6));
            break;
        }
        case Banda::Subtotal:
        case Banda::Total: {
            const bool total = banda.tipo == Banda::Total;
            const bool acima = RotuloAcima(grade, banda);
            const double alturaLinha = grade.linha * 1.2;
            double topo = y + (total ? grade.linha * 0.3 : grade.linha * 0.1);
            if (total)
                m_pintor.fillRect(QRectF(0, topo, m_largura, alturaLinha * (acima ? 2 : 1)),
                                  QColor(0xdd, 0xe3, 0xea));
            Traco(0, m_largura, topo, total ? 0.5 : 0.2, total ? azul : QColor(0x9a, 0xa8, 0xb6));
            const int rotulo = acima ? 0 : ColunasDoRotulo(colunas);
            if (acima) {
                Escreve(Faixa(grade, topo, alturaLinha), banda.rotulo, grade.negrito, Qt::AlignLeft, azul);
                topo += alturaLinha;
            } else if (rotulo > 0) {
                Escreve(Colunas(grade, 0, rotulo - 1, topo, alturaLinha), banda.rotulo, grade.negrito,
                        Qt::AlignLeft, azul);
            }
            for (int i = rotulo; i < colunas.size(); ++i)
                Escreve(Colunas(grade, i, i, topo, alturaLinha), banda.celulas[i], grade.negrito,
                        colunas[i].alinhamento);
            break;
        }
        case Banda::Texto:
            Escreve(Faixa(grade, y, grade.linha), banda.rotulo, grade.negrito, Qt::AlignLeft);
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
    QPagedPaintDevice& m_dispositivo;
    QPainter m_pintor;
    double m_largura;
    QFont m_titulo, m_secao, m_cabecalho, m_cabecalhoNegrito, m_rodape;
    double m_rotulos = 0;         // width of the header's labels
    QList<QStringList> m_valores; // every header value in its lines
    QList<Grade> m_grades;        // the report's rows, then each section's
};

// ---- Targets

bool GravaPdf(const Preparado& preparado, const QString& arquivo) {
    QSaveFile saida(arquivo);
    if (!saida.open(QIODevice::WriteOnly))
        return false;
    QPdfWriter pdf(&saida);
    pdf.setTitle(preparado.relatorio.Titulo());
    Medicoes medicoes = Mede(preparado, pdf);
    AjustaPagina(pdf, preparado, medicoes);
    if (!PintorGrafico(preparado, medicoes, pdf).Pinta()) {
        saida.cancelWriting();
        return false;
    }
    return saida.commit();
}

bool GravaBytes(const QByteArray& bytes, const QString& arquivo) {
    QSaveFile saida(arquivo);
    if (!saida.open(QIODevice::WriteOnly))
        return false;
    saida.write(bytes);
    return saida.commit();
}

// Where the headless runs put their reports; empty when the user is asked.
QString PastaAutomatica() {
    return qEnvironmentVariable("KELM_REPORT_DIR");
}

QString PerguntaArquivo(QWidget* tela, const TRelatorio& relatorio, const QString& extensao,
                        const QString& filtro) {
    return PerguntaArquivoSaida(tela, relatorio.Titulo(), relatorio.Identificador() + '.' + extensao, filtro);
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
    Medicoes medicoes = Mede(preparado, impressora);
    AjustaPagina(impressora, preparado, medicoes);
    if (flags.contains('I', Qt::CaseInsensitive)) {
        QPrintDialog dialogo(&impressora, tela);
        if (dialogo.exec() != QDialog::Accepted)
            return false;
        return Avisa(PintorGrafico(preparado, medicoes, impressora).Pinta(), tela, relatorio,
                     impressora.printerName());
    }
    QPrintPreviewDialog previa(&impressora, tela);
    previa.setWindowTitle(relatorio.Titulo());
    // Maximized where a window manager honours it; the screen's size where none does.
    if (const QScreen* ecra = QGuiApplication::primaryScreen())
        previa.resize(ecra->availableGeometry().size());
    previa.setWindowState(previa.windowState() | Qt::WindowMaximized);
    QObject::connect(&previa, &QPrintPreviewDialog::paintRequested,
                     Protegido([&preparado, &medicoes](QPrinter* destino) {
                         PintorGrafico(preparado, medicoes, *destino).Pinta();
                     }));
    previa.exec();
    return true;
}

} // namespace

// ---- TRelatorio

TRelatorio::TRelatorio(const QString& identificador, const QString& titulo, TDataSet* dados)
    : m_identificador(identificador), m_titulo(titulo), m_dados(dados) {}

void TRelatorio::DefineDesenho(QSizeF tamanhoMm, int paginas, DesenhoPagina desenho) {
    m_tamanhoPagina = tamanhoMm;
    m_paginas = paginas;
    m_desenhoPaginas = std::move(desenho);
}

void TRelatorio::AdicionaCabecalho(const QString& rotulo, const QString& valor) {
    m_cabecalho.append({rotulo, valor});
}

ColunaRelatorio TRelatorio::Coluna(const QString& campo, const QString& titulo, int casas,
                                   bool totaliza) const {
    ColunaRelatorio coluna = Coluna(campo);
    coluna.titulo = titulo;
    coluna.casas = casas;
    coluna.totaliza = totaliza;
    return coluna;
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

void RemoveLayout(const QString& identificador) {
    Layouts().remove(ChaveLayout(identificador));
}

bool GravaRelatorioPdf(const TRelatorio& relatorio, const QString& arquivo) {
    return GravaPdf(Prepara(relatorio), arquivo);
}

bool ImprimeRelatorio(const TRelatorio& relatorio, QPrinter& impressora) {
    const Preparado preparado = Prepara(relatorio);
    Medicoes medicoes = Mede(preparado, impressora);
    AjustaPagina(impressora, preparado, medicoes);
    return PintorGrafico(preparado, medicoes, impressora).Pinta();
}

bool GravaRelatorioTexto(const TRelatorio& relatorio, const QString& arquivo) {
    if (relatorio.TextoPronto())
        return GravaBytes(*relatorio.TextoPronto(), arquivo);
    return GravaBytes(EscritorTexto(Prepara(relatorio)).Texto().toUtf8(), arquivo);
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

bool Chama_RelatorioWinTxt(const TRelatorio& relatorio, QWidget* tela) {
    if (!PastaAutomatica().isEmpty()) {
        const bool pdf = ChamaGrafico(relatorio, tela, QStringLiteral("P"));
        return Chama_RelatorioTxt(relatorio, tela) && pdf;
    }
    const int saida = Mensagens().Choose(tela, relatorio.Titulo(), QStringLiteral("Imprimir em:"),
                                         {QStringLiteral("&Vídeo"), QStringLiteral("&Impressora"),
                                          QStringLiteral("&PDF"), QStringLiteral("&Texto")},
                                         0);
    switch (saida) {
    case 0:
        return ChamaGrafico(relatorio, tela, QStringLiteral("W"));
    case 1:
        return ChamaGrafico(relatorio, tela, QStringLiteral("I"));
    case 2:
        return ChamaGrafico(relatorio, tela, QStringLiteral("P"));
    case 3:
        return Chama_RelatorioTxt(relatorio, tela);
    default:
        return false;
    }
}

QString PerguntaArquivoSaida(QWidget* tela, const QString& titulo, const QString& nome,
                             const QString& filtro) {
    const QString pasta = LeIni(QStringLiteral("Relatorio"), QStringLiteral("Pasta"), QDir::homePath());
    const QString arquivo = Mensagens().SaveFile(tela, titulo, QDir(pasta).filePath(nome), filtro);
    if (!arquivo.isEmpty())
        GravaIni(QStringLiteral("Relatorio"), QStringLiteral("Pasta"), QFileInfo(arquivo).absolutePath());
    return arquivo;
}
