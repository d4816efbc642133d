#pragma once
#include "HostExport.h"
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVariant>

// Small text and number helpers shared by every screen; none of them touches the database.

// Text as a quoted SQL string literal, embedded quotes doubled: D'Ávila -> 'D''Ávila'.
KELMHOST_EXPORT QString Aspas(const QString& value);

// A number for SQL text: point as decimal separator whatever the locale, no exponent, no binary
// noise (0.1 + 0.2 -> "0.3"). A value that is not a finite number gives NULL.
KELMHOST_EXPORT QString PermanecePonto(double value);
// Same for a number as typed ("1.234,56", "12,5", "12.5"): the last point or comma is the decimal
// separator, the other one groups thousands. Blank or unreadable text gives NULL.
KELMHOST_EXPORT QString PermanecePonto(const QString& value);

// 'MM/DD/YYYY' for SQL text; a null or invalid date gives NULL.
KELMHOST_EXPORT QString DataSQL(const QDate& date);
// A value as SQL text for a batch of statements, as a bound parameter would store it: a null value or a null
// text is NULL; numbers go through PermanecePonto, dates through DataSQL, text through Aspas.
KELMHOST_EXPORT QString ValorSql(const QVariant& valor);
// A row's values so, separated by commas: what goes between the parentheses of a batch's VALUES.
KELMHOST_EXPORT QString ValoresSql(const QVariantList& valores);

// 'HH:MM:SS' for SQL text; a null or invalid time gives NULL.
KELMHOST_EXPORT QString HoraSQL(const QTime& time);
KELMHOST_EXPORT QString HoraSQL(const QDateTime& moment);

// Rounds half away from zero on the decimal value as written (2.675 -> 2.68, -2.5 -> -3);
// negative decimals round to tens, hundreds...
KELMHOST_EXPORT double Arredondar(double value, int decimals);

// Times of day and durations are text "HH:MM" or "HH:MM:SS" (hours may pass 24; a bare "0" is
// zero); their numeric form is hours as a decimal (1.5 = 01:30:00).
// Hours as "HH:MM:SS", to the nearest second; a negative or non-finite value gives a null string.
KELMHOST_EXPORT QString TempoString(double hours);
// Hours of a time text; NaN when the text is not a time (blank, letters, minutes past 59...).
KELMHOST_EXPORT double TempoNumerico(const QString& time);
// Sum of two time texts as "HH:MM:SS"; a null string when either is not a time.
KELMHOST_EXPORT QString SomaTempoString(const QString& first, const QString& second);

// The codes of a list box ("01, 02,03"): trimmed, empty ones and repeats dropped. Every box that takes a
// list of codes reads it here.
KELMHOST_EXPORT QStringList CodigosDaLista(const QString& texto);
// The codes as an SQL list, each one quoted: 'A','B'.
KELMHOST_EXPORT QString ListaSql(const QStringList& codigos);
// `coluna` among the values, each quoted: (C IN ('A','B')). The engine takes 1,500 values to a list, so a
// thousand go to each and the lists are joined by OR, every one an index look-up. No value: no row matches.
KELMHOST_EXPORT QString NaListaSql(const QString& coluna, const QStringList& valores);
// " AND (coluna IN (...))" for the codes of a list box, as NaListaSql writes it; empty when the box holds
// none (the filter is not applied).
KELMHOST_EXPORT QString CondicaoIn(const QString& coluna, const QString& codigos);
// The box's codes with the chosen ones added after them, each once.
KELMHOST_EXPORT QString AcrescentaCodigos(const QString& texto, const QStringList& escolhidos);

// True for an existing calendar date typed as "DD/MM/YYYY".
KELMHOST_EXPORT bool ValidaData(const QString& date);

// Splits on separator, keeping empty fields ("a;;b" -> a, "", b).
KELMHOST_EXPORT QStringList Explode(const QString& text, const QString& separator);

// Left-pads with zeros to width, surrounding blanks dropped; longer text is kept whole.
KELMHOST_EXPORT QString ZeroE(const QString& text, int width);

// Strips the points, dashes and slashes of a formatted document number (CNPJ, CPF, CEP).
KELMHOST_EXPORT QString TiraPontos(const QString& text);
