#pragma once
#include <QColor>
#include <QStringList>
#include <QVariant>

class QComboBox;

// A colour's display colour (CADCORTIN.COR_SIS) is an integer 0xRRGGBB; other screens paint grid cells
// with it.
QColor CorDoSistema(const QVariant& value); // invalid when empty or not a number

// Fills a colour box with the colours a user picks from (a swatch and a name each); returns what each item
// stores in COR_SIS, an empty text for "no colour".
QStringList PreencheCaixaCor(QComboBox* box);
