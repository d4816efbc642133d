// The scale: frames to kilograms as a data table (steady frames, a frame's tail first, comma or point,
// sign, units, garbage, nothing), the named scales' decimals, the port settings and their dialog, and
// the port itself against a socat pseudo-terminal that answers like a scale: steady frames, a tail
// first, silence, a missing port, a scale that answers on request; the port is closed after each.
#include "Balanca.h"
#include "LocalSettings.h"
#include "PortaBalanca.h"
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {
// A scale on a pseudo-terminal: socat makes the pair, the script is what the scale sends. socat starts
// the script only once the port is opened, as a scale seen from the moment the port opens.
class Simulador {
public:
    Simulador(const QString& pasta, const QString& script) : m_link(pasta + "/balanca") {
        QFile arquivo(pasta + "/balanca.sh");
        if (!arquivo.open(QIODevice::WriteOnly) || arquivo.write(script.toUtf8()) < 0)
            qFatal("script");
        arquivo.close();
        m_socat.setProgram(QStandardPaths::findExecutable("socat"));
        m_socat.setArguments(
            {"pty,raw,echo=0,wait-slave,pty-interval=0.01,link=" + m_link, "EXEC:sh " + arquivo.fileName()});
        m_socat.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_socat.start();
        QElapsedTimer relogio;
        relogio.start();
        while (!QFileInfo::exists(m_link) && relogio.elapsed() < 5000)
            QTest::qWait(10);
        m_dispositivo = QFileInfo(m_link).canonicalFilePath();
    }
    ~Simulador() {
        m_socat.terminate();
        if (!m_socat.waitForFinished(2000)) {
            m_socat.kill();
            m_socat.waitForFinished(2000);
        }
    }
    QString Porta() const { return m_link; }
    QString Dispositivo() const { return m_dispositivo; }

private:
    QString m_link;
    QString m_dispositivo;
    QProcess m_socat;
};

// True while this process holds the device open.
bool Aberto(const QString& dispositivo) {
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QFileInfo& fd : fds.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        if (fd.symLinkTarget() == dispositivo)
            return true;
    return false;
}
} // namespace

class TstBalanca : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    void PedeSocat() {
        if (QStandardPaths::findExecutable("socat").isEmpty())
            QSKIP("socat is not installed (scripts/setup-deps installs it)");
    }
    ConfiguracaoPorta Porta(const QString& porta) {
        ConfiguracaoPorta c;
        c.porta = porta;
        return c;
    }
    // One reading against a scale that sends what the script prints.
    LeituraBalanca Le(const QString& script, qint64* ms = nullptr, const PedidoBalanca& pedido = {}) {
        Simulador balanca(m_dir.path(), script);
        if (balanca.Dispositivo().isEmpty())
            qFatal("socat made no pseudo-terminal");
        QElapsedTimer relogio;
        relogio.start();
        LeituraBalanca leitura = LePesoBalanca(Porta(balanca.Porta()), pedido);
        if (ms)
            *ms = relogio.elapsed();
        if (Aberto(balanca.Dispositivo()))
            qFatal("the port was left open");
        return leitura;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void init() {
        QFile::remove(m_dir.filePath("kelm.ini"));
        qputenv("KELM_INI", m_dir.filePath("kelm.ini").toUtf8());
    }

    void pegaPeso_data() {
        QTest::addColumn<QString>("resposta");
        QTest::addColumn<int>("decimais");
        QTest::addColumn<bool>("temPeso");
        QTest::addColumn<double>("peso");
        auto linha = [](const char* nome, const QString& resposta, int decimais, std::optional<double> peso) {
            QTest::newRow(nome) << resposta << decimais << peso.has_value() << peso.value_or(0.0);
        };
        linha("firmes", u"  +0075.6 kg\r  +0075.6 kg\r  +0075.6 kg\r"_s, 0, 75.6);
        linha("o último completo", u"\r  +0075.4 kg\r  +0075.6 kg\r  +00"_s, 0, 75.6);
        linha("cauda primeiro", u"5.6 kg\r  +0075.6 kg\r  +0075"_s, 0, 75.6);
        linha("cauda e começo", u"5.6 kg\r  +0075"_s, 0, std::nullopt);
        linha("um só quadro", u"75,6\r"_s, 0, 75.6);
        linha("um só e brancos", u"  +0075.6 kg\r\r\n"_s, 0, 75.6);
        linha("vírgula", u"\r75,6\r"_s, 0, 75.6);
        linha("ponto", u"\r75.6\r"_s, 0, 75.6);
        linha("CRLF", u"\r\n  +0075.6 kg\r\n  +0075.6 kg\r\n"_s, 0, 75.6);
        linha("negativo", u"\r  -0002.5 kg\r"_s, 0, -2.5);
        linha("sinal afastado", u"\r-   12.0 kg\r"_s, 0, -12.0);
        linha("zero negativo", u"\r-0000.0 kg\r"_s, 0, 0.0);
        linha("KG", u"\r0075.6KG\r"_s, 0, 75.6);
        linha("gramas", u"\r 1250 g\r"_s, 0, 1.25);
        linha("libras", u"\r 165.0 lb\r"_s, 0, std::nullopt);
        linha("toneladas", u"\r 1.2 t\r"_s, 0, std::nullopt);
        linha("estado antes", u"\rST,GS,+0075.6kg\r"_s, 0, 75.6);
        linha("estado depois", u"\r  75.6 kg NET\r"_s, 0, 75.6);
        linha("STX e ETX", u"\r\x02+0075.6 kg\x03\r"_s, 0, 75.6);
        linha("lixo", u"\r###\r###\r"_s, 0, std::nullopt);
        linha("dois números", u"\r12 34\r"_s, 0, std::nullopt);
        linha("lixo por último", u"\r+0075.6 kg\r?!\r"_s, 0, 75.6);
        linha("cauda e lixo", u"5.6 kg\r?!\r"_s, 0, std::nullopt);
        linha("vazia", QString(), 0, std::nullopt);
        linha("sem terminador", u"  +0075.6 kg"_s, 0, std::nullopt);
        linha("só terminadores", u"\r\r\r"_s, 0, std::nullopt);
        linha("dígitos inteiros", u"\r000756\r"_s, 0, 756.0);
        linha("dígitos, 1 decimal", u"\r000756\r"_s, 1, 75.6);
        linha("dígitos, 3 decimais", u"\r5\r"_s, 3, 0.005);
        linha("separador manda", u"\r75.6\r"_s, 2, 75.6);
    }

    void pegaPeso() {
        QFETCH(QString, resposta);
        QFETCH(int, decimais);
        QFETCH(bool, temPeso);
        QFETCH(double, peso);
        const std::optional<double> lido = PegaPesoBalanca(resposta, u'\r', decimais);
        QCOMPARE(lido.has_value(), temPeso);
        if (temPeso) {
            QCOMPARE(*lido, peso);
            QVERIFY(!std::signbit(*lido) || *lido != 0.0);
        }
    }

    void quadroCompleto() {
        QVERIFY(!TemQuadroCompleto(u"5.6 kg\r  +0075"_s, u'\r'));
        QVERIFY(!TemQuadroCompleto(u"5.6 kg\r\r\n"_s, u'\r'));
        QVERIFY(TemQuadroCompleto(u"5.6 kg\r  +0075.6 kg\r"_s, u'\r'));
        QVERIFY(TemQuadroCompleto(u"\rERRO\r"_s, u'\r'));
        // Another terminator, as the label screen passes.
        QCOMPARE(PegaPesoBalanca(u"6 kgX 0075.6 kgX"_s, u'X'), std::optional<double>(75.6));
    }

    // The decimals of a named scale come from the settings; an empty name reads the frame as written.
    void balancaNomeada() {
        GravaIni("Balanca", "Cozinha/Decimal", "2");
        GravaIni("Parametros", "Decimal", "1");
        QCOMPARE(DecimaisBalanca(u"Cozinha"_s), 2);
        QCOMPARE(DecimaisBalanca(u"PADRÃO"_s), 1);
        QCOMPARE(DecimaisBalanca(u"Outra"_s), 0);
        QCOMPARE(DecimaisBalanca(QString()), 0);
        GravaIni("Balanca", "Torta/Decimal", "40");
        QCOMPARE(DecimaisBalanca(u"Torta"_s), 0);
        QCOMPARE(PegaPesoBalanca(u"\r007560\r"_s, u'\r', u"Cozinha"_s), std::optional<double>(75.6));
        QCOMPARE(PegaPesoBalanca(u"\r000756\r"_s, u'\r', u"PADRÃO"_s), std::optional<double>(75.6));
        QCOMPARE(PegaPesoBalanca(u"\r000756\r"_s, u'\r'), std::optional<double>(756.0));
    }

    void configuracao() {
        ConfiguracaoPorta c = LeConfiguracaoPorta();
        QCOMPARE(c.porta, QString());
        QCOMPARE(c.velocidade, 9600);
        QCOMPARE(c.bitsDados, 8);
        QCOMPARE(c.paridade, QChar(u'N'));
        QCOMPARE(c.bitsParada, u"1"_s);

        // Typed by hand: names for the parity, a comma in the stop bits; nonsense falls back to 8N1.
        GravaIni("Parametros", "Paridade", "Ímpar");
        GravaIni("Parametros", "BitsParada", "1,5");
        QCOMPARE(LeConfiguracaoPorta().paridade, QChar(u'O'));
        QCOMPARE(LeConfiguracaoPorta().bitsParada, u"1.5"_s);
        GravaIni("Parametros", "Velocidade", "rápida");
        GravaIni("Parametros", "BitsDados", "12");
        GravaIni("Parametros", "Paridade", "X");
        GravaIni("Parametros", "BitsParada", "3");
        const ConfiguracaoPorta ruim = LeConfiguracaoPorta();
        QCOMPARE(ruim.velocidade, 9600);
        QCOMPARE(ruim.bitsDados, 8);
        QCOMPARE(ruim.paridade, QChar(u'N'));
        QCOMPARE(ruim.bitsParada, u"1"_s);
    }

    // The dialog shows the settings it was given and stores what the user chose.
    void dialogo() {
        TFmPortaBalanca dialogo({u"ttyS1"_s, 19200, 7, u'O', u"1.5"_s});
        auto* porta = dialogo.findChild<QComboBox*>("CbPorta");
        auto* velocidade = dialogo.findChild<QComboBox*>("CbVelocidade");
        auto* paridade = dialogo.findChild<QComboBox*>("CbParidade");
        QVERIFY(porta && velocidade && paridade);
        QCOMPARE(porta->currentText(), u"ttyS1"_s);
        QCOMPARE(velocidade->currentText(), u"19200"_s);
        QCOMPARE(paridade->currentText(), u"Ímpar"_s);
        QCOMPARE(dialogo.findChild<QComboBox*>("CbBitsParada")->currentText(), u"1,5"_s);

        porta->setCurrentText(u"/dev/ttyUSB1"_s);
        velocidade->setCurrentText(u"2400"_s);
        paridade->setCurrentIndex(paridade->findText(u"Par"_s));
        dialogo.findChild<QComboBox*>("CbBitsDados")->setCurrentText(u"5"_s);
        dialogo.Grava();
        QCOMPARE(dialogo.result(), int(QDialog::Accepted));
        const ConfiguracaoPorta c = LeConfiguracaoPorta();
        QCOMPARE(c.porta, u"/dev/ttyUSB1"_s);
        QCOMPARE(c.velocidade, 2400);
        QCOMPARE(c.bitsDados, 5);
        QCOMPARE(c.paridade, QChar(u'E'));
        QCOMPARE(c.bitsParada, u"1.5"_s);
    }

    // A scale on the port, and what one reading of it gives: the weight as soon as one frame stands whole; a
    // frame's tail when the port opens mid-frame is not a weight ("5.6 kg" is not 5.6); after a second of
    // silence, or 30 characters or frames that are no weight, none, and why; a scale that answers only when
    // asked gets what is sent.
    void portaSimulada_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QByteArray>("envio");
        QTest::addColumn<int>("falha");
        QTest::addColumn<double>("peso"); // 0: none
        QTest::addColumn<QString>("comeca");
        QTest::addColumn<int>("msDe");
        QTest::addColumn<int>("msAte");
        const auto repete = [](const char* quadro) {
            return QStringLiteral("i=0; while [ $i -lt 100 ]; do printf '%1'; sleep 0.05; i=$((i+1)); done\n")
                .arg(QLatin1String(quadro));
        };
        const QString pedido = u"IFS= read -r pedido\n"
                               "[ \"$pedido\" = \"P\" ] && printf '  +0012.5 kg\\r'\n"
                               "sleep 5\n"_s;
        const int nenhuma = int(FalhaBalanca::Nenhuma), silencio = int(FalhaBalanca::Silencio),
                  semQuadro = int(FalhaBalanca::SemQuadro);
        QTest::newRow("quadros firmes")
            << repete("  +0075.6 kg\\r") << QByteArray() << nenhuma << 75.6 << "" << 0 << 900;
        QTest::newRow("cauda primeiro") << "printf '5.6 kg\\r'; sleep 0.1\n" + repete("  +0075.6 kg\\r")
                                        << QByteArray() << nenhuma << 75.6 << "5.6 kg\r" << 0 << 5000;
        QTest::newRow("silêncio") << "sleep 5\n" << QByteArray() << silencio << 0.0 << "" << 950 << 2500;
        QTest::newRow("lixo") << repete("##########") << QByteArray() << semQuadro << 0.0 << QString(30, '#')
                              << 0 << 5000;
        QTest::newRow("erro") << repete("ERRO\\r") << QByteArray() << semQuadro << 0.0 << "" << 0 << 5000;
        QTest::newRow("sem pedido") << pedido << QByteArray() << silencio << 0.0 << "" << 0 << 5000;
        QTest::newRow("com pedido") << pedido << QByteArray("P\n") << nenhuma << 12.5 << "" << 0 << 5000;
    }
    void portaSimulada() {
        PedeSocat();
        QFETCH(QString, script);
        QFETCH(QByteArray, envio);
        QFETCH(double, peso);
        QFETCH(QString, comeca);
        QFETCH(int, msDe);
        QFETCH(int, msAte);
        qint64 ms = 0;
        PedidoBalanca pedido;
        pedido.envio = envio;
        const LeituraBalanca l = Le(script, &ms, pedido);
        QTEST(int(l.falha), "falha");
        QCOMPARE(l.peso, peso ? std::optional<double>(peso) : std::nullopt);
        if (!l.peso)
            QVERIFY(!l.mensagem.isEmpty());
        QVERIFY2((comeca.isEmpty() || l.resposta.startsWith(comeca)) && l.resposta.size() <= 30,
                 qPrintable(l.resposta));
        QVERIFY2(ms >= msDe && ms < msAte, qPrintable(QString::number(ms)));
    }

    void portaAusente() {
        const LeituraBalanca ausente = LePesoBalanca(Porta(m_dir.filePath("nao-existe")));
        QCOMPARE(ausente.falha, FalhaBalanca::PortaIndisponivel);
        QVERIFY(!ausente.peso);
        QVERIFY2(ausente.mensagem.contains(u"nao-existe"_s), qPrintable(ausente.mensagem));
        const LeituraBalanca semPorta = LePesoBalanca(Porta(QString()));
        QCOMPARE(semPorta.falha, FalhaBalanca::SemPorta);
        QVERIFY(!semPorta.mensagem.isEmpty());
    }

    // The check that the port was closed does see an open one.
    void vePortaAberta() {
        PedeSocat();
        Simulador balanca(m_dir.path(), u"sleep 5\n"_s);
        QFile porta(balanca.Dispositivo());
        QVERIFY(porta.open(QIODevice::ReadOnly));
        QVERIFY(Aberto(balanca.Dispositivo()));
        porta.close();
        QVERIFY(!Aberto(balanca.Dispositivo()));
    }

    // F5 of a screen: the port the user set up.
    void configuracaoDoUsuario() {
        PedeSocat();
        Simulador balanca(
            m_dir.path(),
            u"i=0; while [ $i -lt 100 ]; do printf '75,6\\r'; sleep 0.05; i=$((i+1)); done\n"_s);
        GravaConfiguracaoPorta({balanca.Porta(), 9600, 8, u'N', u"1"_s});
        const LeituraBalanca l = LePesoBalanca();
        QCOMPARE(l.peso, std::optional<double>(75.6));
        QVERIFY(!Aberto(balanca.Dispositivo()));
    }
};

QTEST_MAIN(TstBalanca)
#include "tst_balanca.moc"
