#pragma once
#include <QSet>
#include <QString>

// Rules of an incoming invoice's items, apart from the screen that records them.

// The lot a new item gets when its lot is left empty. `regra` is the "COM" 80 setting ("N" none, "S" the
// next sequential lot, "F"/"Z" made from the document); a product whose group carries no lots, or the rule
// "N", keeps the typed lot ("0" when empty). `maiorGravado` is the largest six-digit lot already stored
// (MaiorLoteSequencial); `naGrade` the lots the invoice's grid already holds.
QString LotePadrao(const QString& regra, bool grupoComLote, const QString& loteAtual, const QString& emissor,
                   const QString& nota, const QString& serie, const QString& maiorGravado,
                   const QSet<QString>& naGrade);

// A lot of exactly six digits, as the sequential rule hands them out.
bool LoteSequencial(const QString& lote);

// The lot after `maior` (six digits, zero-padded), passing over lots the grid already holds.
QString ProximoLote(const QString& maior, const QSet<QString>& naGrade);

// Whether the nature's first digit disagrees with where the customer is: "1..." is an operation inside the
// company's state, "2..." one from another state. A customer whose state is unknown is not questioned.
bool NaturezaForaDoEstado(const QString& natureza, const QString& ufCliente, const QString& ufEmpresa);

// The weight of an item still free for lot sheets.
double PesoLivre(double pesoReal, double pesoProgramado);
