#pragma once
#include "HostExport.h"
#include <QByteArray>
#include <QChar>
#include <QDialog>
#include <QString>
#include <optional>

class QCheckBox;
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
