#include "Etiqueta.h"
#include "DataSet.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "HostError.h"
#include "HostUi.h"
#include "LocalSettings.h"
#include "Mensagens.h"
#include "Relatorio.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QSaveFile>
#include <QStringEncoder>
#include <cmath>

namespace {

// ---- Code 128

// Bar and space widths of the symbols of value 0 to 105, then the stop.
constexpr const char* kLarguras128[] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212", "221213",
    "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221", "223211", "221132",
    "221231", "213212", "223112", "312131", "311222", "321122", "321221", "312212", "322112", "322211",
    "212123", "212321", "232121", "111323", "131123", "131321", "112313", "132113", "132311", "211313",
    "231113", "231311", "112133", "112331", "132131", "113123", "113321", "133121", "313121", "211331",
    "231131", "213113", "213311", "213131", "311123", "311321", "331121", "312113", "312311", "332111",
    "314111", "221411", "431111", "111224", "111422", "121124", "121421", "141122", "141221", "112214",
    "112412", "122114", "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111",
    "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311", "113141",
    "114131", "311141", "411131", "211412", "211214", "211232", "2331112"};
constexpr int kCodigoC = 99, kCodigoB = 100, kInicioB = 104, kInicioC = 105, kFim = 106;
// Blank on either side of the bars, in modules: scanners need it to find where the code starts.
constexpr int kZonaQuieta = 10;

qsizetype DigitosDesde(const QString& texto, qsizetype inicio) {
    qsizetype fim = inicio;
    while (fim < texto.size() && texto[fim] >= '0' && texto[fim] <= '9')
        ++fim;
    return fim - inicio;
}

int Par(const QString& texto, qsizetype i) {
    return (texto[i].unicode() - '0') * 10 + texto[i + 1].unicode() - '0';
}

// ---- Values as templates write them

// CHR1 writes its code in this private-use range: the text encoder turns it into the byte itself, which no
// encoding could be trusted to give back.
constexpr char16_t kByteCru = 0xF700;

bool ByteCru(QChar c) {
    return c.unicode() >= kByteCru && c.unicode() <= kByteCru + 0xFF;
}

// On paper CHR1 is the character of that code.
QString Visivel(QString texto) {
    for (QChar& c : texto)
        if (ByteCru(c))
            c = QChar(c.unicode() - kByteCru);
    return texto;
}

QString TextoCampo(const QVariant& valor) {
    if (valor.typeId() != QMetaType::QString)
        return TextoExibicao(valor, -1, false);
    QString texto = valor.toString();
    while (!texto.isEmpty() && texto.back().isSpace())
        texto.chop(1);
    return texto;
}

// ---- Templates

// A fault of the layout, told with its line by whoever reads it.
struct ErroLayout {
    QString motivo;
};

enum class Funcao { Chr1, FasePendente, TiraPontos, ZeroE, Pos, FormataV, FV };

struct DefinicaoFuncao {
    const char* nome;
    Funcao funcao;
    int argumentos;
};
constexpr DefinicaoFuncao kFuncoes[] = {{"CHR1", Funcao::Chr1, 1},
                                        {"FasePendente", Funcao::FasePendente, 3},
                                        {"TiraPontos", Funcao::TiraPontos, 1},
                                        {"ZeroE", Funcao::ZeroE, 2},
                                        {"Pos", Funcao::Pos, 2},
                                        {"FormataV", Funcao::FormataV, 2},
                                        {"FV", Funcao::FV, 2}};

struct Expressao {
    enum Tipo { Literal, Campo, Usuario, Chamada };
    Tipo tipo = Literal;
    QString texto; // a literal's value, a field's name
    int campo = -1;
    Funcao funcao = Funcao::Chr1;
    QList<Expressao> argumentos;
};

Expressao Folha(Expressao::Tipo tipo, const QString& texto) {
    Expressao e;
    e.tipo = tipo;
    e.texto = texto;
    return e;
}

// A template is the concatenation of its parts: the plain text between brackets is a literal.
using Modelo = QList<Expressao>;

class LeitorModelo {
public:
    explicit LeitorModelo(const QString& texto) : m_t(texto) {}

    Modelo Le() {
        Modelo modelo;
        QString literal;
        while (m_i < m_t.size()) {
            if (m_t[m_i] != '[') {
                literal += m_t[m_i++];
                continue;
            }
            if (m_i + 1 < m_t.size() && m_t[m_i + 1] == '[') {
                literal += '[';
                m_i += 2;
                continue;
            }
            if (!literal.isEmpty())
                modelo << Folha(Expressao::Literal, std::exchange(literal, {}));
            ++m_i;
            modelo << Le1();
            Brancos();
            if (!Ve(']'))
                throw ErroLayout{QStringLiteral("falta ']' depois de uma expressão")};
        }
        if (!literal.isEmpty())
            modelo << Folha(Expressao::Literal, literal);
        return modelo;
    }

private:
    void Brancos() {
        while (m_i < m_t.size() && m_t[m_i].isSpace())
            ++m_i;
    }
    bool Ve(QChar c) {
        if (m_i < m_t.size() && m_t[m_i] == c) {
            ++m_i;
            return true;
        }
        return false;
    }
    static bool Digito(QChar c) { return c >= '0' && c <= '9'; }

    Expressao Le1() {
        Brancos();
        if (m_i >= m_t.size())
            throw ErroLayout{QStringLiteral("expressão incompleta")};
        const QChar c = m_t[m_i];
        if (c == '\'')
            return Aspas();
        if (Digito(c) || (c == '-' && m_i + 1 < m_t.size() && Digito(m_t[m_i + 1])))
            return Algarismos();
        if (!c.isLetter() && c != '_')
            throw ErroLayout{QStringLiteral("expressão inválida a partir de \"%1\"").arg(m_t.mid(m_i))};
        const qsizetype inicio = m_i;
        while (m_i < m_t.size() && (m_t[m_i].isLetterOrNumber() || m_t[m_i] == '_'))
            ++m_i;
        const QString nome = m_t.mid(inicio, m_i - inicio);
        Brancos();
        if (Ve('('))
            return Chamada(nome);
        if (nome.compare(QLatin1String("vUsuario"), Qt::CaseInsensitive) == 0)
            return Folha(Expressao::Usuario, nome);
        return Folha(Expressao::Campo, nome);
    }

    Expressao Aspas() {
        ++m_i;
        QString texto;
        while (m_i < m_t.size()) {
            if (m_t[m_i] == '\'') {
                if (m_i + 1 < m_t.size() && m_t[m_i + 1] == '\'') {
                    texto += '\'';
                    m_i += 2;
                    continue;
                }
                ++m_i;
                return Folha(Expressao::Literal, texto);
            }
            texto += m_t[m_i++];
        }
        throw ErroLayout{QStringLiteral("texto sem o apóstrofo final")};
    }

    Expressao Algarismos() {
        const qsizetype inicio = m_i++;
        while (m_i < m_t.size() && (Digito(m_t[m_i]) || m_t[m_i] == '.'))
            ++m_i;
        return Folha(Expressao::Literal, m_t.mid(inicio, m_i - inicio));
    }

    Expressao Chamada(const QString& nome) {
        const DefinicaoFuncao* definicao = nullptr;
        for (const DefinicaoFuncao& f : kFuncoes)
            if (nome.compare(QLatin1String(f.nome), Qt::CaseInsensitive) == 0)
                definicao = &f;
        if (!definicao)
            throw ErroLayout{QStringLiteral("função desconhecida %1").arg(nome)};
        Expressao chamada = Folha(Expressao::Chamada, nome);
        chamada.funcao = definicao->funcao;
        Brancos();
        if (!Ve(')')) {
            for (;;) {
                chamada.argumentos << Le1();
                Brancos();
                if (!Ve(','))
                    break;
            }
            if (!Ve(')'))
                throw ErroLayout{QStringLiteral("falta ')' em %1").arg(nome)};
        }
        if (chamada.argumentos.size() != definicao->argumentos)
            throw ErroLayout{QStringLiteral("%1 leva %2 argumento(s), não %3")
                                 .arg(QLatin1String(definicao->nome))
                                 .arg(definicao->argumentos)
                                 .arg(chamada.argumentos.size())};
        return chamada;
    }

    const QString& m_t;
    qsizetype m_i = 0;
};

void Vincula(Modelo& modelo, const TDataSet& dados) {
    for (Expressao& e : modelo) {
        if (e.tipo == Expressao::Campo && (e.campo = dados.FieldIndex(e.texto)) < 0)
            throw ErroLayout{QStringLiteral("campo desconhecido %1").arg(e.texto)};
        Vincula(e.argumentos, dados);
    }
}

// One label's evaluation: the row it prints, and whether FasePendente stopped the run.
struct Avaliacao {
    Avaliacao(const TDataSet& dados, const QString& usuario) : dados(dados), usuario(usuario) {}
    const TDataSet& dados;
    const QString& usuario;
    int linha = 0;
    bool cancelada = false;
    QString aviso;
};

int Inteiro(const QString& texto) {
    bool ok = false;
    const int valor = texto.trimmed().toInt(&ok);
    if (!ok)
        throw ErroLayout{QStringLiteral("\"%1\" não é um número inteiro").arg(texto)};
    return valor;
}

double Numero(const QString& texto) {
    // Either separator may be the decimal one ("1.234,5", "1,234.5"), as the host reads typed numbers.
    const QString numero = PermanecePonto(texto);
    if (numero == QLatin1String("NULL"))
        throw ErroLayout{QStringLiteral("\"%1\" não é um número").arg(texto.trimmed())};
    return numero.toDouble();
}

QString Avalia(const Expressao& e, Avaliacao& a);

QString Aplica(const Expressao& e, Avaliacao& a) {
    QStringList v;
    for (const Expressao& argumento : e.argumentos)
        v << Avalia(argumento, a);
    switch (e.funcao) {
    case Funcao::Chr1: {
        const int codigo = Inteiro(v[0]);
        if (codigo < 0 || codigo > 0xFF)
            throw ErroLayout{QStringLiteral("CHR1 vai de 0 a 255, não %1").arg(codigo)};
        return QString(QChar(char16_t(kByteCru + codigo)));
    }
    case Funcao::FasePendente:
        for (const QString& fase : v[1].split(','))
            if (!fase.trimmed().isEmpty() && fase.trimmed() == v[0].trimmed()) {
                a.cancelada = true;
                a.aviso = v[2];
            }
        return {};
    case Funcao::TiraPontos:
        return TiraPontos(v[0]);
    case Funcao::ZeroE:
        return ZeroE(v[0], Inteiro(v[1]));
    case Funcao::Pos:
        return QString::number(v[0].isEmpty() ? 0 : v[1].indexOf(v[0]) + 1);
    case Funcao::FormataV: {
        const int casas = Inteiro(v[1]);
        if (v[0].isEmpty())
            return {};
        const qsizetype virgula = v[0].indexOf(',');
        const qsizetype tem = virgula < 0 ? 0 : v[0].size() - virgula - 1;
        return v[0] + (virgula < 0 && casas > 0 ? QStringLiteral(",") : QString()) +
               QString(std::max<qsizetype>(0, casas - tem), '0');
    }
    case Funcao::FV: {
        const int casas = Inteiro(v[1]);
        return v[0].trimmed().isEmpty() ? QString() : QString::number(Numero(v[0]), 'f', std::max(0, casas));
    }
    }
    return {};
}

QString Avalia(const Expressao& e, Avaliacao& a) {
    switch (e.tipo) {
    case Expressao::Literal:
        return e.texto;
    case Expressao::Campo:
        return TextoCampo(a.dados.ValueAt(a.linha, e.campo));
    case Expressao::Usuario:
        return a.usuario;
    case Expressao::Chamada:
        return Aplica(e, a);
    }
    return {};
}

QString Avalia(const Modelo& modelo, Avaliacao& a) {
    QString texto;
    for (const Expressao& parte : modelo)
        texto += Avalia(parte, a);
    return texto;
}

// ---- Layout files

struct Elemento {
    enum Tipo { Texto, Bloco, Linha, Caixa, Barra };
    Tipo tipo = Texto;
    QList<double> medidas; // mm: x, y, then the element's own
    double pontos = 0;
    bool negrito = false;
    Modelo modelo;
    int numero = 0; // line of the file
    QString fonte;  // the line as written
    QFont letra;    // texts', built once per layout
};

struct Layout {
    QString nome;
    QSizeF tamanho; // graphic layouts
    QList<Elemento> elementos;
    QString codificacao = QStringLiteral("ISO-8859-1"); // text layouts
};

[[noreturn]] void Recusa(const Layout& layout, const Elemento& elemento, const QString& motivo) {
    throw EDatabaseError(QStringLiteral("Layout de etiqueta %1, linha %2: %3: %4")
                             .arg(layout.nome)
                             .arg(elemento.numero)
                             .arg(motivo, elemento.fonte.trimmed()));
}

// The first n words of a line, and in resto what follows them.
QStringList Palavras(const QString& linha, int n, QString* resto = nullptr) {
    QStringList palavras;
    qsizetype i = 0;
    while (palavras.size() < n) {
        while (i < linha.size() && linha[i].isSpace())
            ++i;
        if (i >= linha.size())
            break;
        const qsizetype inicio = i;
        while (i < linha.size() && !linha[i].isSpace())
            ++i;
        palavras << linha.mid(inicio, i - inicio);
    }
    if (resto)
        *resto = linha.mid(i).trimmed();
    return palavras;
}

double Medida(QString palavra) {
    bool ok = false;
    const double valor = palavra.replace(',', '.').toDouble(&ok);
    if (!ok)
        throw ErroLayout{QStringLiteral("medida inválida \"%1\"").arg(palavra)};
    return valor;
}

QList<double> Medidas(const QStringList& palavras, int minimo, int maximo) {
    if (palavras.size() - 1 < minimo || palavras.size() - 1 > maximo)
        throw ErroLayout{minimo == maximo
                             ? QStringLiteral("%1 leva %2 medidas").arg(palavras[0].toUpper()).arg(minimo)
                             : QStringLiteral("%1 leva de %2 a %3 medidas")
                                   .arg(palavras[0].toUpper())
                                   .arg(minimo)
                                   .arg(maximo)};
    QList<double> medidas;
    for (qsizetype i = 1; i < palavras.size(); ++i)
        medidas << Medida(palavras[i]);
    return medidas;
}

void LeGrafico(Layout& layout, Elemento& e) {
    QString resto;
    const QStringList inicio = Palavras(e.fonte, 1);
    const QString chave = inicio.value(0).toUpper();
    if (chave == QLatin1String("TAMANHO")) {
        const QList<double> m = Medidas(Palavras(e.fonte, 4), 2, 2);
        if (m[0] <= 0 || m[1] <= 0)
            throw ErroLayout{QStringLiteral("tamanho inválido")};
        layout.tamanho = QSizeF(m[0], m[1]);
        return;
    }
    if (chave == QLatin1String("TEXTO") || chave == QLatin1String("BLOCO")) {
        e.tipo = chave == QLatin1String("TEXTO") ? Elemento::Texto : Elemento::Bloco;
        const int medidas = e.tipo == Elemento::Texto ? 2 : 4;
        QStringList p = Palavras(e.fonte, medidas + 3, &resto);
        if (p.size() < medidas + 3)
            throw ErroLayout{QStringLiteral("%1 leva %2, tamanho da letra, N ou B e o texto")
                                 .arg(chave, e.tipo == Elemento::Texto
                                                 ? QStringLiteral("x, y")
                                                 : QStringLiteral("x, y, largura, altura"))};
        const QString estilo = p.takeLast().toUpper();
        if (estilo != QLatin1String("N") && estilo != QLatin1String("B"))
            throw ErroLayout{QStringLiteral("o estilo é N (normal) ou B (negrito), não %1").arg(estilo)};
        e.pontos = Medida(p.takeLast());
        e.medidas = Medidas(p, medidas, medidas);
        e.negrito = estilo == QLatin1String("B");
        if (e.pontos <= 0)
            throw ErroLayout{QStringLiteral("tamanho de letra inválido")};
    } else if (chave == QLatin1String("LINHA") || chave == QLatin1String("CAIXA")) {
        e.tipo = chave == QLatin1String("LINHA") ? Elemento::Linha : Elemento::Caixa;
        e.medidas = Medidas(Palavras(e.fonte, 7), 4, 5);
        if (e.medidas.size() == 4)
            e.medidas << 0.3;
        layout.elementos << e;
        return;
    } else if (chave == QLatin1String("BARRA")) {
        const QStringList p = Palavras(e.fonte, 5, &resto);
        e.tipo = Elemento::Barra;
        e.medidas = Medidas(p, 4, 4);
    } else {
        throw ErroLayout{QStringLiteral("elemento desconhecido %1").arg(inicio.value(0))};
    }
    e.modelo = LeitorModelo(resto).Le();
    layout.elementos << e;
}

void LeTexto(Layout& layout, Elemento& e) {
    if (e.fonte.startsWith(QLatin1String("#!"))) {
        const QStringList p = Palavras(e.fonte.mid(2), 3);
        if (p.size() != 2 || p[0].toUpper() != QLatin1String("CODIFICACAO"))
            throw ErroLayout{QStringLiteral("diretiva desconhecida")};
        if (!QStringEncoder(p[1].toUtf8().constData()).isValid())
            throw ErroLayout{QStringLiteral("codificação desconhecida %1").arg(p[1])};
        layout.codificacao = p[1];
        return;
    }
    e.tipo = Elemento::Texto;
    e.modelo = LeitorModelo(e.fonte).Le();
    layout.elementos << e;
}

Layout LeLayout(const QString& nome, const QString& arquivo, bool grafico) {
    QFile entrada(arquivo);
    if (!entrada.open(QIODevice::ReadOnly))
        throw EDatabaseError(QStringLiteral("Não foi possível ler o layout de etiqueta %1.").arg(arquivo));
    QStringList linhas = QString::fromUtf8(entrada.readAll()).split('\n');
    if (linhas.last().isEmpty())
        linhas.removeLast();
    Layout layout;
    layout.nome = nome;
    for (qsizetype n = 0; n < linhas.size(); ++n) {
        Elemento e;
        e.numero = int(n + 1);
        e.fonte = linhas[n];
        if (e.fonte.endsWith('\r'))
            e.fonte.chop(1);
        // A text layout's lines are its printer's as they stand: only a '#' at the very start makes a
        // comment.
        const bool comentario = grafico ? e.fonte.trimmed().startsWith('#')
                                        : e.fonte.startsWith('#') && !e.fonte.startsWith(QLatin1String("#!"));
        if (comentario || (grafico && e.fonte.trimmed().isEmpty()))
            continue;
        try {
            if (grafico) {
                LeGrafico(layout, e);
                e.letra = FonteRelatorio(e.pontos, e.negrito);
            } else
                LeTexto(layout, e);
        } catch (const ErroLayout& erro) {
            Recusa(layout, e, erro.motivo);
        }
    }
    if (grafico && layout.tamanho.isEmpty())
        throw EDatabaseError(
            QStringLiteral("Layout de etiqueta %1: falta a linha TAMANHO <largura> <altura>.").arg(nome));
    return layout;
}

// What one element of one label prints: its text, and for a bar code its modules.
struct Valor {
    QString texto;
    QString modulos;
};
using Rotulo = QList<Valor>;

Rotulo AvaliaRotulo(const Layout& layout, Avaliacao& a) {
    Rotulo rotulo;
    for (const Elemento& e : layout.elementos) {
        try {
            Valor valor{Avalia(e.modelo, a), {}};
            if (e.tipo == Elemento::Barra)
                valor.modulos = ModulosCode128(SimbolosCode128(Visivel(valor.texto)));
            rotulo << valor;
        } catch (const ErroLayout& erro) {
            Recusa(layout, e, erro.motivo);
        } catch (const EDatabaseError& erro) {
            Recusa(layout, e, erro.message());
        }
        if (a.cancelada)
            break;
    }
    return rotulo;
}

// ---- Drawing

// Bars of whole device pixels where the box allows it: a thermal printer's dots, so every bar keeps
// its width.
void DesenhaBarras(QPainter& pintor, const QRectF& caixa, const Valor& valor, double mm) {
    if (valor.modulos.isEmpty())
        return;
    const double alturaTexto = std::min(caixa.height() * 0.28, 3.5 * mm);
    const qsizetype modulos = valor.modulos.size() + 2 * kZonaQuieta;
    double largura = std::floor(caixa.width() / double(modulos));
    if (largura < 1)
        largura = caixa.width() / double(modulos);
    const double x0 =
        std::round(caixa.left() + (caixa.width() - largura * double(modulos)) / 2) + kZonaQuieta * largura;
    const double altura = caixa.height() - alturaTexto;
    for (qsizetype i = 0; i < valor.modulos.size();) {
        qsizetype fim = i;
        while (fim < valor.modulos.size() && valor.modulos[fim] == valor.modulos[i])
            ++fim;
        if (valor.modulos[i] == '1')
            pintor.fillRect(QRectF(x0 + double(i) * largura, caixa.top(), double(fim - i) * largura, altura),
                            Qt::black);
        i = fim;
    }
    // The digits shrink to the bar code's width: a long code's digits would otherwise run off the label.
    const QString& digitos = valor.texto;
    QFont fonte = FonteRelatorio(alturaTexto / mm * 72 / 25.4 * 0.8);
    const double natural = QFontMetricsF(fonte, pintor.device()).horizontalAdvance(digitos);
    if (natural > caixa.width() && natural > 0)
        fonte.setPointSizeF(fonte.pointSizeF() * caixa.width() / natural * 0.98);
    pintor.setFont(fonte);
    pintor.drawText(QRectF(caixa.left(), caixa.bottom() - alturaTexto, caixa.width(), alturaTexto),
                    Qt::AlignHCenter | Qt::AlignVCenter, digitos);
}

void DesenhaRotulo(QPainter& pintor, const QRectF& pagina, const Layout& layout, const Rotulo& rotulo) {
    const double mm = pagina.width() / layout.tamanho.width();
    pintor.setPen(Qt::black);
    pintor.setBrush(Qt::NoBrush);
    for (qsizetype i = 0; i < rotulo.size(); ++i) {
        const Elemento& e = layout.elementos[i];
        const QList<double>& m = e.medidas;
        switch (e.tipo) {
        case Elemento::Texto: {
            pintor.setFont(e.letra);
            const QFontMetricsF metricas(e.letra, pintor.device());
            // A text longer than the label ends in an ellipsis at its edge rather than off the paper.
            pintor.drawText(QPointF(m[0] * mm, m[1] * mm + metricas.ascent()),
                            metricas.elidedText(rotulo[i].texto, Qt::ElideRight,
                                                std::max(0.0, pagina.right() - m[0] * mm)));
            break;
        }
        case Elemento::Bloco:
            pintor.setFont(e.letra);
            pintor.drawText(QRectF(m[0] * mm, m[1] * mm, m[2] * mm, m[3] * mm),
                            Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, rotulo[i].texto);
            break;
        case Elemento::Linha:
        case Elemento::Caixa:
            pintor.setPen(QPen(Qt::black, m[4] * mm, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
            if (e.tipo == Elemento::Linha)
                pintor.drawLine(QPointF(m[0] * mm, m[1] * mm), QPointF(m[2] * mm, m[3] * mm));
            else
                pintor.drawRect(QRectF(m[0] * mm, m[1] * mm, m[2] * mm, m[3] * mm));
            pintor.setPen(Qt::black);
            break;
        case Elemento::Barra:
            DesenhaBarras(pintor, QRectF(m[0] * mm, m[1] * mm, m[2] * mm, m[3] * mm), rotulo[i], mm);
            break;
        }
    }
}

// ---- Text

QByteArray Codifica(const QString& texto, QStringEncoder& codificador) {
    QByteArray bytes;
    qsizetype inicio = 0;
    for (qsizetype i = 0; i < texto.size(); ++i)
        if (ByteCru(texto[i])) {
            bytes += codificador.encode(QStringView(texto).mid(inicio, i - inicio));
            bytes += char(texto[i].unicode() - kByteCru);
            inicio = i + 1;
        }
    bytes += codificador.encode(QStringView(texto).mid(inicio));
    return bytes;
}

ResultadoEtiqueta Cancela(const PedidoEtiqueta& pedido, const Avaliacao& a) {
    if (pedido.avisa)
        pedido.avisa(a.aviso);
    return ResultadoEtiqueta::Cancelada;
}

} // namespace

// ---- Code 128

QList<int> SimbolosCode128(const QString& texto) {
    for (QChar c : texto)
        if (c.unicode() < 32 || c.unicode() > 127)
            throw EDatabaseError(
                QStringLiteral("O caractere '%1' de \"%2\" não cabe num código de barras").arg(c).arg(texto));
    if (texto.isEmpty())
        return {};
    QList<int> simbolos;
    const qsizetype n = texto.size();
    bool emC = false;
    for (qsizetype i = 0; i < n;) {
        qsizetype digitos = DigitosDesde(texto, i);
        if (digitos >= 4 || (i == 0 && digitos == n && n % 2 == 0)) {
            if (i == 0) {
                // From the start in C; an odd digit left over goes in B after the pairs.
                simbolos << kInicioC;
            } else {
                if (digitos % 2) {
                    simbolos << texto[i++].unicode() - 32;
                    --digitos;
                }
                simbolos << kCodigoC;
            }
            for (qsizetype par = 0; par < digitos / 2; ++par, i += 2)
                simbolos << Par(texto, i);
            emC = true;
            continue;
        }
        if (simbolos.isEmpty())
            simbolos << kInicioB;
        else if (emC)
            simbolos << kCodigoB;
        emC = false;
        simbolos << texto[i++].unicode() - 32;
    }
    int soma = simbolos[0];
    for (qsizetype i = 1; i < simbolos.size(); ++i)
        soma += int(i) * simbolos[i];
    simbolos << soma % 103 << kFim;
    return simbolos;
}

QString ModulosCode128(const QList<int>& simbolos) {
    QString modulos;
    for (int simbolo : simbolos) {
        if (simbolo < 0 || simbolo >= int(std::size(kLarguras128)))
            continue;
        bool barra = true;
        for (const char* largura = kLarguras128[simbolo]; *largura; ++largura, barra = !barra)
            modulos += QString(*largura - '0', barra ? '1' : '0');
    }
    return modulos;
}

// ---- Files

QString PastaLayouts() {
    return PastaBase() + QStringLiteral("/Layout");
}

void InstalaLayoutsEtiqueta() {
    const QDir origem(QStringLiteral(":/etiquetas"));
    const QDir destino(PastaLayouts());
    QDir().mkpath(destino.path());
    for (const QString& nome : origem.entryList(QDir::Files)) {
        if (QFileInfo::exists(destino.filePath(nome)))
            continue;
        // Written anew rather than copied: a copy would keep the resource's read-only mode.
        QFile de(origem.filePath(nome));
        QSaveFile para(destino.filePath(nome));
        if (de.open(QIODevice::ReadOnly) && para.open(QIODevice::WriteOnly)) {
            para.write(de.readAll());
            para.commit();
        }
    }
}

QString ArquivoLayoutEtiqueta(const QString& layout) {
    const QString nome = layout.trimmed();
    if (!NomeArquivoSeguro(nome))
        return {};
    const QString arquivo = QDir(PastaLayouts()).filePath(nome + QStringLiteral(".prt"));
    return QFileInfo(arquivo).isFile() ? arquivo : QString();
}

bool EnviaArquivoEtiqueta(const TRelatorio& relatorio, QWidget* tela) {
    const QString pasta = LeIni(QStringLiteral("Caminho"), QStringLiteral("Etiqueta"), QDir::homePath());
    const QString script = QDir(pasta).filePath(QStringLiteral("tag.sh"));
    if (!QFileInfo::exists(script)) {
        Informa(tela, QStringLiteral("Arquivo %1 não encontrado. Etiqueta não impressa.").arg(script));
        return false;
    }
    if (!GravaRelatorioTexto(relatorio, QDir(pasta).filePath(QStringLiteral("Tag.txt")))) {
        Informa(tela, QStringLiteral("Não foi possível gravar o arquivo Tag.txt em %1.").arg(pasta));
        return false;
    }
    if (!ExecutaEXE(QStringLiteral("sh \"%1\"").arg(script), pasta)) {
        Informa(tela, QStringLiteral("Falha ao executar %1.").arg(script));
        return false;
    }
    return true;
}

// ---- Printing

ResultadoEtiqueta ImprimeEtiquetas(const PedidoEtiqueta& pedido, TDataSet& dados, const QList<int>& linhas,
                                   QWidget* tela) {
    const QString arquivo = ArquivoLayoutEtiqueta(pedido.layout);
    if (arquivo.isEmpty())
        return ResultadoEtiqueta::LayoutAusente;
    const bool grafico = pedido.modo == ModoEtiqueta::Grafico;
    Layout layout = LeLayout(pedido.layout.trimmed(), arquivo, grafico);
    for (Elemento& e : layout.elementos) {
        try {
            Vincula(e.modelo, dados);
        } catch (const ErroLayout& erro) {
            Recusa(layout, e, erro.motivo);
        }
    }
    if (linhas.isEmpty())
        return ResultadoEtiqueta::Cancelada;
    Avaliacao a{dados, pedido.usuario};
    const QString titulo = QStringLiteral("Etiquetas ") + layout.nome;

    if (grafico) {
        QList<Rotulo> rotulos;
        for (int linha : linhas) {
            a.linha = linha;
            Rotulo rotulo = AvaliaRotulo(layout, a);
            if (a.cancelada)
                return Cancela(pedido, a);
            for (Valor& valor : rotulo)
                valor.texto = Visivel(valor.texto); // on paper CHR1 is its character
            rotulos << rotulo;
        }
        TRelatorio relatorio(layout.nome, titulo, nullptr);
        relatorio.DefineDesenho(layout.tamanho, int(rotulos.size()),
                                [&](QPainter& pintor, const QRectF& pagina, int i) {
                                    DesenhaRotulo(pintor, pagina, layout, rotulos[i]);
                                });
        return Chama_Relatorio(relatorio, tela, pedido.flags) ? ResultadoEtiqueta::Impressa
                                                              : ResultadoEtiqueta::Falha;
    }

    QStringEncoder codificador(layout.codificacao.toUtf8().constData());
    QByteArray bytes;
    for (int linha : linhas) {
        a.linha = linha;
        const Rotulo rotulo = AvaliaRotulo(layout, a);
        if (a.cancelada)
            return Cancela(pedido, a);
        for (const Valor& valor : rotulo)
            bytes += Codifica(valor.texto + '\n', codificador);
    }
    TRelatorio relatorio(layout.nome, titulo, nullptr);
    relatorio.DefineTextoPronto(bytes);
    const bool produzido = pedido.modo == ModoEtiqueta::Arquivo ? EnviaArquivoEtiqueta(relatorio, tela)
                                                                : Chama_RelatorioTxt(relatorio, tela);
    return produzido ? ResultadoEtiqueta::Impressa : ResultadoEtiqueta::Falha;
}
