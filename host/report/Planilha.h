#pragma once
#include "HostExport.h"
#include <QString>

class DataSetModel;
class QWidget;

// The rows of a grid as its user sees them (its columns, captions and row order) written as a spreadsheet.
// A name ending in ".csv" gets CSV as spreadsheets in Brazil read it: ";" between fields, decimal comma,
// dates as dd/mm/yyyy, UTF-8. Any other name gets XLSX: numbers and dates as cells of their kind, texts as
// texts (a code keeps its leading zeros), the header bold and frozen, widths from the contents. The file is
// written under a temporary name and takes its own only when complete. Returns the error, empty when done.
KELMHOST_EXPORT QString ExportaPlanilha(const DataSetModel& grade, const QString& arquivo);

// "Exportar": the grid's rows to a spreadsheet the user names (XLSX or CSV); with KELM_REPORT_DIR set,
// written there as <identificador>.xlsx unasked. A failure is told; false when nothing was written.
KELMHOST_EXPORT bool Chama_Planilha(const DataSetModel& grade, const QString& identificador,
                                    const QString& titulo, QWidget* tela);
