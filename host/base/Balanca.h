#pragma once
#include "HostExport.h"
#include <QChar>
#include <QString>
#include <optional>

// Turning what a serial scale sent into kilograms. The port itself is read in host/ui (PortaBalanca.h).
//
// A scale sends frames one after another, each closed by the terminator ("  +0075.6 kg\r", "75,6\r").
// The port is opened at any moment, so the first characters may be the tail of a frame ("5.6 kg\r" of
// "+0075.6 kg\r") and the last ones the head of the next: the weight is the last complete frame, one
// that stands between two terminators. The text before the first terminator counts only when nothing
// else came after it (a scale that answers one frame). No frame, no weight: the caller keeps what it
// had and says so.
//
// A frame: anything without digits (status such as "ST,GS,", STX, blanks), one number with an optional
// sign and a decimal point or comma, an optional unit, anything without digits. "kg" or no unit is
// kilograms, "g" grams; "lb", "lbs", "oz" and "t" give no weight (better none than a wrong one). Two
// numbers in one frame, or none, is not a frame.
//
// A digit is never a terminator: it would cut the weight itself apart, so it gives no weight.
//
// `scale` names the scale whose frames these are:
//   - empty: the number is read as written; a number without separator is whole kilograms (the
//     programme's and the labels' scale);
//   - "PADRÃO": the default scale of the kitchen, with the decimals of setting [Parametros] Decimal;
//   - any other name: a scale kept in the settings, with the decimals of [Balanca] <name>/Decimal.
// The decimals apply only to frames of bare digits ("000756" with 1 decimal is 75.6): a frame that
// writes its separator is read as written.
KELMHOST_EXPORT std::optional<double> PegaPesoBalanca(const QString& reply, QChar terminator,
                                                      const QString& scale = QString());

// The same with the decimals given (0 to 6; any other: bare digits are whole kilograms).
KELMHOST_EXPORT std::optional<double> PegaPesoBalanca(const QString& reply, QChar terminator, int decimals);

// A weight as a frame gave it: kilograms, and whether the frame named its unit ("kg", "g") or was a bare
// number, which a scale with a multiplier of its own scales instead.
struct PesoBalanca {
    double kg = 0;
    bool unidadeNomeada = false;
};
KELMHOST_EXPORT std::optional<PesoBalanca> LeQuadroBalanca(const QString& reply, QChar terminator,
                                                           int decimals);

// A reply that is one frame as a whole, with no terminator (a scale that answers a request with a fixed
// count of characters).
KELMHOST_EXPORT std::optional<PesoBalanca> LeQuadroBalanca(const QString& reply, int decimals);

// One frame to kilograms, under the rules above.
KELMHOST_EXPORT std::optional<double> PesoDoQuadro(const QString& frame, int decimals = 0);

// True when a frame with something in it stands between two terminators: the port can stop reading.
KELMHOST_EXPORT bool TemQuadroCompleto(const QString& reply, QChar terminator);

// The decimals of a named scale ("PADRÃO" or a name kept in the settings), 0 to 6; 0 for an empty name.
KELMHOST_EXPORT int DecimaisBalanca(const QString& scale);
