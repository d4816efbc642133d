#include "PortaBalanca.h"
#include "Balanca.h"
#include "LocalSettings.h"
#include "Protecao.h"
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFormLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <utility>

namespace {
const QString kSecao = QStringLiteral("Parametros");

struct Paridade {
    QChar letra;
    QString nome;
    QSerialPort::Parity qt;
};
const Paridade kParidades[] = {{u'N', QStringLiteral("Nenhuma"), QSerialPort::NoParity},
                               {u'E', QStringLiteral("Par"), QSerialPort::EvenParity},
                               {u'O', QStringLiteral("Ímpar"), QSerialPort::OddParity},
                               {u'M', QStringLiteral("Marca"), QSerialPort::MarkParity},
                               {u'S', QStringLiteral("Espaço"), QSerialPort::SpaceParity}};

// A stored parity, by letter or by name (N/Nenhuma, E/Par, O/Ímpar...).
std::optional<QChar> leParidade(const QString& texto) {
    const QString t = texto.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    for (const Paridade& p : kParidades)
        if (t.compare(p.nome, Qt::CaseInsensitive) == 0 || (t.size() == 1 && t[0].toUpper() == p.letra))
            return p.letra;
    if (t.compare(QStringLiteral("Impar"), Qt::CaseInsensitive) == 0)
        return u'O';
    return std::nullopt;
}

QString leBitsParada(const QString& texto) {
    QString t = texto.trimmed();
    t.replace(u',', u'.');
    return t == u"1" || t == u"1.5" || t == u"2" ? t : QString();
}

QString mensagemAbertura(const QSerialPort& port, const QString& nome) {
    switch (port.error()) {
    case QSerialPort::DeviceNotFoundError:
        return QStringLiteral("Porta %1 da balança não encontrada.").arg(nome);
    case QSerialPort::PermissionError:
        return QStringLiteral("Porta %1 da balança em uso ou sem permissão.").arg(nome);
    default:
        return QStringLiteral("Não foi possível abrir a porta %1 da balança (%2).")
            .arg(nome, port.errorString());
    }
}

// A reply that is one frame: up to its terminator, or every character asked for; fewer, with no terminator,
// is a frame cut short (10.05 read as 10), not a weight.
std::optional<PesoBalanca> QuadroDaResposta(const QString& resposta, const PedidoBalanca& pedido,
                                            int decimais) {
    const qsizetype fim = resposta.indexOf(pedido.terminador);
    if (fim < 0 && resposta.size() < pedido.maxCaracteres)
        return std::nullopt;
    return LeQuadroBalanca(fim < 0 ? resposta : resposta.left(fim), decimais);
}

void configura(QSerialPort& port, const ConfiguracaoPorta& c) {
    port.setPortName(c.porta.trimmed());
    port.setBaudRate(c.velocidade);
    port.setDataBits(QSerialPort::DataBits(c.bitsDados));
    for (const Paridade& p : kParidades)
        if (p.letra == c.paridade)
            port.setParity(p.qt);
    port.setStopBits(c.bitsParada == u"2"     ? QSerialPort::TwoStop
                     : c.bitsParada == u"1.5" ? QSerialPort::OneAndHalfStop
                                              : QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
}
} // namespace

ConfiguracaoPorta LeConfiguracaoPorta(const ConfiguracaoPorta& padrao) {
    ConfiguracaoPorta c = padrao;
    c.porta = LeIni(kSecao, QStringLiteral("Porta"), padrao.porta).trimmed();
    bool ok = false;
    const int velocidade = LeIni(kSecao, QStringLiteral("Velocidade")).trimmed().toInt(&ok);
    if (ok && velocidade > 0)
        c.velocidade = velocidade;
    const int bits = LeIni(kSecao, QStringLiteral("BitsDados")).trimmed().toInt(&ok);
    if (ok && bits >= 5 && bits <= 8)
        c.bitsDados = bits;
    if (const auto paridade = leParidade(LeIni(kSecao, QStringLiteral("Paridade"))))
        c.paridade = *paridade;
    const QString parada = leBitsParada(LeIni(kSecao, QStringLiteral("BitsParada")));
    if (!parada.isEmpty())
        c.bitsParada = parada;
    for (auto [chave, linha] : {std::pair{"DTR", &c.dtr}, {"RTS", &c.rts}}) {
        const QString t = LeIni(kSecao, QLatin1String(chave)).trimmed().toUpper();
        if (t == u"S" || t == u"N")
            *linha = t == u"S";
    }
    return c;
}

void GravaConfiguracaoPorta(const ConfiguracaoPorta& c) {
    GravaIni(kSecao, QStringLiteral("Porta"), c.porta.trimmed());
    GravaIni(kSecao, QStringLiteral("Velocidade"), QString::number(c.velocidade));
    GravaIni(kSecao, QStringLiteral("BitsDados"), QString::number(c.bitsDados));
    GravaIni(kSecao, QStringLiteral("Paridade"), QString(c.paridade));
    GravaIni(kSecao, QStringLiteral("BitsParada"), c.bitsParada);
    GravaIni(kSecao, QStringLiteral("DTR"), c.dtr ? QStringLiteral("S") : QStringLiteral("N"));
    GravaIni(kSecao, QStringLiteral("RTS"), c.rts ? QStringLiteral("S") : QStringLiteral("N"));
}

LeituraBalanca LePesoBalanca(const ConfiguracaoPorta& porta, const PedidoBalanca& pedido) {
    LeituraBalanca leitura;
    const QString nome = porta.porta.trimmed();
    if (nome.isEmpty()) {
        leitura.falha = FalhaBalanca::SemPorta;
        leitura.mensagem = QStringLiteral("Porta da balança não configurada.");
        return leitura;
    }

    QByteArray lido;
    {
        QSerialPort port;
        configura(port, porta);
        if (!port.open(QIODevice::ReadWrite)) {
            leitura.falha = FalhaBalanca::PortaIndisponivel;
            leitura.mensagem = mensagemAbertura(port, nome);
            return leitura;
        }
        // A line a device cannot drive (a pseudo-terminal's) is no reason not to read.
        port.setDataTerminalReady(porta.dtr);
        port.setRequestToSend(porta.rts);
        port.clearError();
        QElapsedTimer relogio;
        relogio.start();
        if (!pedido.envio.isEmpty()) {
            // An answer to an earlier request, or frames of a scale that also sends unasked, is not this one.
            port.clear(QSerialPort::Input);
            port.write(pedido.envio);
            port.waitForBytesWritten(pedido.maxMs);
        }
        while (lido.size() < pedido.maxCaracteres) {
            const qint64 resta = pedido.maxMs - relogio.elapsed();
            if (resta <= 0)
                break;
            if (port.bytesAvailable() == 0 && !port.waitForReadyRead(int(resta)))
                break; // time out, or the device went away
            lido += port.read(pedido.maxCaracteres - lido.size());
            if (pedido.quadroUnico ? lido.contains(char(pedido.terminador.unicode()))
                                   : TemQuadroCompleto(QString::fromLatin1(lido), pedido.terminador))
                break;
        }
        port.close();
    }

    leitura.resposta = QString::fromLatin1(lido);
    if (lido.isEmpty()) {
        leitura.falha = FalhaBalanca::Silencio;
        leitura.mensagem = QStringLiteral("A balança não respondeu (porta %1).").arg(nome);
        return leitura;
    }
    const int decimais = DecimaisBalanca(pedido.balanca);
    if (const auto peso = pedido.quadroUnico
                              ? QuadroDaResposta(leitura.resposta, pedido, decimais)
                              : LeQuadroBalanca(leitura.resposta, pedido.terminador, decimais)) {
        leitura.peso = peso->kg;
        leitura.unidadeNomeada = peso->unidadeNomeada;
    } else {
        leitura.falha = FalhaBalanca::SemQuadro;
        leitura.mensagem = QStringLiteral("A balança não enviou um peso legível (porta %1).").arg(nome);
    }
    return leitura;
}

LeituraBalanca LePesoBalanca(const PedidoBalanca& pedido) {
    return LePesoBalanca(LeConfiguracaoPorta(), pedido);
}

BalancaAberta::BalancaAberta(QObject* parent) : QObject(parent), m_porta(new QSerialPort(this)) {
    m_prazo.setSingleShot(true);
    connect(m_porta, &QSerialPort::readyRead, this, Protegido([this] { Chegou(); }));
    connect(&m_prazo, &QTimer::timeout, this, Protegido([this] {
        if (!m_pedindo)
            return;
        m_pedindo = false;
        emit semPeso(
            m_lixo
                ? QStringLiteral("A balança não enviou um peso legível (porta %1).").arg(m_porta->portName())
                : QStringLiteral("A balança não respondeu (porta %1).").arg(m_porta->portName()));
    }));
}

BalancaAberta::~BalancaAberta() {
    Fecha();
}

QString BalancaAberta::Abre(const ConfiguracaoPorta& configuracao) {
    Fecha();
    if (configuracao.porta.trimmed().isEmpty())
        return QStringLiteral("Porta da balança não configurada.");
    configura(*m_porta, configuracao);
    if (!m_porta->open(QIODevice::ReadOnly))
        return mensagemAbertura(*m_porta, configuracao.porta.trimmed());
    m_porta->setDataTerminalReady(configuracao.dtr);
    m_porta->setRequestToSend(configuracao.rts);
    m_porta->clearError();
    m_inicio = true;
    return {};
}

void BalancaAberta::Fecha() {
    m_prazo.stop();
    m_pedindo = false;
    m_buffer.clear();
    if (m_porta->isOpen())
        m_porta->close();
}

bool BalancaAberta::Aberta() const {
    return m_porta->isOpen();
}

void BalancaAberta::PedeProximoQuadro(int maxMs) {
    // What stands in the buffer began before the request: the next frame is the one that ends after it.
    m_buffer.clear();
    m_pedindo = true;
    m_lixo = false;
    m_prazo.start(maxMs);
}

void BalancaAberta::Chegou() {
    m_buffer += m_porta->readAll();
    qsizetype fim;
    while ((fim = m_buffer.indexOf('\r')) >= 0) {
        const QString quadro = QString::fromLatin1(m_buffer.left(fim));
        m_buffer.remove(0, fim + 1);
        // The first piece after the port opened may be the tail of a frame.
        if (std::exchange(m_inicio, false) || !m_pedindo || quadro.trimmed().isEmpty())
            continue;
        const auto peso = LeQuadroBalanca(quadro, m_decimais);
        if (!peso) {
            m_lixo = true;
            continue;
        }
        m_pedindo = false;
        m_prazo.stop();
        emit pesoLido(peso->kg);
    }
    // A scale that never sends a terminator must not fill the memory.
    if (m_buffer.size() > 4096)
        m_buffer.clear();
}

TFmPortaBalanca::TFmPortaBalanca(const ConfiguracaoPorta& configuracao, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FmPortaBalanca"));
    setWindowTitle(QStringLiteral("Porta da Balança"));
    auto* form = new QFormLayout(this);

    m_porta = new QComboBox(this);
    m_porta->setObjectName(QStringLiteral("CbPorta"));
    m_porta->setEditable(true);
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        m_porta->addItem(info.portName());
    form->addRow(QStringLiteral("&Porta:"), m_porta);

    m_velocidade = new QComboBox(this);
    m_velocidade->setObjectName(QStringLiteral("CbVelocidade"));
    m_velocidade->setEditable(true);
    for (int v : {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200})
        m_velocidade->addItem(QString::number(v));
    m_velocidade->lineEdit()->setValidator(new QIntValidator(1, 4000000, m_velocidade));
    form->addRow(QStringLiteral("&Velocidade:"), m_velocidade);

    m_bitsDados = new QComboBox(this);
    m_bitsDados->setObjectName(QStringLiteral("CbBitsDados"));
    for (int b = 5; b <= 8; ++b)
        m_bitsDados->addItem(QString::number(b), b);
    form->addRow(QStringLiteral("&Bits de dados:"), m_bitsDados);

    m_paridade = new QComboBox(this);
    m_paridade->setObjectName(QStringLiteral("CbParidade"));
    for (const Paridade& p : kParidades)
        m_paridade->addItem(p.nome, QString(p.letra));
    form->addRow(QStringLiteral("P&aridade:"), m_paridade);

    m_bitsParada = new QComboBox(this);
    m_bitsParada->setObjectName(QStringLiteral("CbBitsParada"));
    m_bitsParada->addItem(QStringLiteral("1"), QStringLiteral("1"));
    m_bitsParada->addItem(QStringLiteral("1,5"), QStringLiteral("1.5"));
    m_bitsParada->addItem(QStringLiteral("2"), QStringLiteral("2"));
    form->addRow(QStringLiteral("Bi&ts de parada:"), m_bitsParada);

    m_dtr = new QCheckBox(QStringLiteral("&DTR ligado"), this);
    m_dtr->setObjectName(QStringLiteral("ChkDtr"));
    m_rts = new QCheckBox(QStringLiteral("&RTS ligado"), this);
    m_rts->setObjectName(QStringLiteral("ChkRts"));
    form->addRow(m_dtr);
    form->addRow(m_rts);

    auto* botoes = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    botoes->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Gravar"));
    botoes->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("BtnGravar"));
    botoes->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("&Cancelar"));
    form->addRow(botoes);
    connect(botoes, &QDialogButtonBox::accepted, this, Protegido([this] { Grava(); }));
    connect(botoes, &QDialogButtonBox::rejected, this, &QDialog::reject);

    Define(configuracao);
}

void TFmPortaBalanca::Define(const ConfiguracaoPorta& c) {
    m_porta->setCurrentText(c.porta);
    m_velocidade->setCurrentText(QString::number(c.velocidade));
    m_bitsDados->setCurrentIndex(qMax(0, m_bitsDados->findData(c.bitsDados)));
    m_paridade->setCurrentIndex(qMax(0, m_paridade->findData(QString(c.paridade))));
    m_bitsParada->setCurrentIndex(qMax(0, m_bitsParada->findData(c.bitsParada)));
    m_dtr->setChecked(c.dtr);
    m_rts->setChecked(c.rts);
}

ConfiguracaoPorta TFmPortaBalanca::Configuracao() const {
    ConfiguracaoPorta c;
    c.porta = m_porta->currentText().trimmed();
    bool ok = false;
    const int velocidade = m_velocidade->currentText().trimmed().toInt(&ok);
    if (ok && velocidade > 0)
        c.velocidade = velocidade;
    c.bitsDados = m_bitsDados->currentData().toInt();
    c.paridade = m_paridade->currentData().toString().at(0);
    c.bitsParada = m_bitsParada->currentData().toString();
    c.dtr = m_dtr->isChecked();
    c.rts = m_rts->isChecked();
    return c;
}

void TFmPortaBalanca::Grava() {
    GravaConfiguracaoPorta(Configuracao());
    accept();
}

bool ConfiguraPortaBalanca(QWidget* parent, const ConfiguracaoPorta& padrao) {
    TFmPortaBalanca dialogo(LeConfiguracaoPorta(padrao), parent);
    return dialogo.exec() == QDialog::Accepted;
}
