#pragma once
#include "HostExport.h"
#include <QByteArray>
#include <QChar>
#include <QDialog>
#include <QString>
#include <QTimer>
#include <optional>

class QCheckBox;
class QSerialPort;
class QComboBox;

// The serial port of the user's scale, kept per user in the settings file (LeIni/GravaIni, KELM_INI),
// section [Parametros]: Porta (ttyUSB0, /dev/ttyS0, COM1...), Velocidade, BitsDados, Paridade (N, E, O, M,
// S), BitsParada (1, 1.5, 2), DTR and RTS (S/N). What is not stored is the caller's default: 9600 8N1 with
// no port and both lines off unless the screen's scale wants otherwise.
struct ConfiguracaoPorta {
    QString porta;
    int velocidade = 9600;
    int bitsDados = 8;
    QChar paridade = u'N';
    QString bitsParada = QStringLiteral("1");
    bool dtr = false;
    bool rts = false;
};
KELMHOST_EXPORT ConfiguracaoPorta LeConfiguracaoPorta(const ConfiguracaoPorta& padrao = {});
KELMHOST_EXPORT void GravaConfiguracaoPorta(const ConfiguracaoPorta& configuracao);

// What one reading asks of the scale.
struct PedidoBalanca {
    QChar terminador = u'\r';
    QString balanca; // the scale's name, as PegaPesoBalanca (Balanca.h) takes it
    // Sent once the port is open and what it held was cleared, for a scale that answers on request; none by
    // default.
    QByteArray envio;
    int maxCaracteres = 30;
    // The reply is one frame: maxCaracteres characters, or fewer ended by the terminator (a scale that
    // answers a request with a fixed count of characters).
    bool quadroUnico = false;
    int maxMs = 1000;
};

enum class FalhaBalanca { Nenhuma, SemPorta, PortaIndisponivel, Silencio, SemQuadro };

struct LeituraBalanca {
    std::optional<double> peso;  // kilograms, as the scale sent it (the caller rounds)
    bool unidadeNomeada = false; // the frame named its unit ("kg", "g"): not a bare number
    FalhaBalanca falha = FalhaBalanca::Nenhuma;
    QString resposta; // what came, read as Latin-1
    QString mensagem; // for the user when there is no weight
};

// One reading: open the port, read until a frame stands between two terminators, or maxCaracteres came,
// or maxMs passed; close the port in every case; the weight of the last complete frame
// (PegaPesoBalanca) or why there is none. Blocks for at most maxMs: the caller shows the busy mark.
KELMHOST_EXPORT LeituraBalanca LePesoBalanca(const ConfiguracaoPorta& porta,
                                             const PedidoBalanca& pedido = {});
// With the user's port settings.
KELMHOST_EXPORT LeituraBalanca LePesoBalanca(const PedidoBalanca& pedido = {});

// The port of a scale that sends frames ending in CR on its own, held open for as long as the screen that
// weighs on it: a weight is asked for and comes as a signal, never blocking the screen. Frames are read as
// written (bare digits are whole kilograms unless decimals are given).
class KELMHOST_EXPORT BalancaAberta : public QObject {
    Q_OBJECT
public:
    explicit BalancaAberta(QObject* parent = nullptr);
    ~BalancaAberta() override;

    // Empty when the port opened, else why not.
    QString Abre(const ConfiguracaoPorta& configuracao);
    void Fecha();
    bool Aberta() const;
    void DefineDecimais(int decimais) { m_decimais = decimais; }
    // The weight of the next frame that ends after this call comes once as pesoLido; semPeso when no
    // readable frame came within maxMs.
    void PedeProximoQuadro(int maxMs = 2000);
    bool Pedindo() const { return m_pedindo; }

signals:
    void pesoLido(double kg);
    void semPeso(const QString& mensagem);

private:
    void Chegou();
    QSerialPort* m_porta;
    QTimer m_prazo;
    QByteArray m_buffer;
    int m_decimais = 0;
    bool m_pedindo = false;
    bool m_inicio = true; // nothing ended yet since the port opened
    bool m_lixo = false;  // a frame came without a weight in it
};

// The port set-up dialog (F10 of the screens that weigh): edits the user's settings and stores them on
// "Gravar".
class KELMHOST_EXPORT TFmPortaBalanca : public QDialog {
    Q_OBJECT
public:
    explicit TFmPortaBalanca(const ConfiguracaoPorta& configuracao, QWidget* parent = nullptr);
    ConfiguracaoPorta Configuracao() const;
    void Define(const ConfiguracaoPorta& configuracao);
    // Stores what the dialog shows and closes it.
    void Grava();

private:
    QComboBox* m_porta;
    QComboBox* m_velocidade;
    QComboBox* m_bitsDados;
    QComboBox* m_paridade;
    QComboBox* m_bitsParada;
    QCheckBox* m_dtr;
    QCheckBox* m_rts;
};

// Shows the set-up dialog over the user's settings (the screen's defaults where none is stored); true when
// they were stored.
KELMHOST_EXPORT bool ConfiguraPortaBalanca(QWidget* parent = nullptr, const ConfiguracaoPorta& padrao = {});
