#pragma once
#include <QtGlobal>

class TZoDatabase;

// Fills a fresh database with a coherent dye-house of `anos` years (at most 20), the same rows for the same
// `semente`: registries, recipes, incoming invoices, lot sheets with their steps, the production programmes
// the sheets came from, and the audit log, with index statistics refreshed afterwards. Five years are about
// 300 customers, 10,000 recipes, 60,000 invoices, 200,000 lot sheets, 2,000,000 steps, 275,000 programme
// items, 1,000,000 log rows, 2,400,000 recipe-issue lines, 3,000,000 stock movements, 300 print designs
// of four variants of six screens and 2,000 quotations of about 30 items, with the cost parameters of every
// customer and price region. Throws EDatabaseError.
void GeraFabrica(TZoDatabase& db, int anos, quint32 semente);

// The same year at a twentieth of the volume, for checks that need a second generation quickly.
void GeraAmostra(TZoDatabase& db, quint32 semente);
