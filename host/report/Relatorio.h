#pragma once
#include "HostExport.h"
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QSizeF>
#include <QString>
#include <functional>
#include <optional>

class QFont;
class QPainter;
class QPrinter;
class QRectF;
class QWidget;
class TDataSet;

// What a report draws instead of rows (charts, a picture): the painter, and the room the page leaves under
// the title and header fields and above the footer, in the device's units.
using DesenhoRelatorio = std::function<void(QPainter&, const QRectF&)>;
// A page of a report made of drawn pages only (labels): the painter, the whole page in device units, and the
// page's index from 0.
using DesenhoPagina = std::function<void(QPainter&, const QRectF&, int pagina)>;

// One printed column of a report's detail rows.
struct KELMHOST_EXPORT ColunaRelatorio {
    QString campo;
    QString titulo;
    int largura = 0; // characters; 0 = what the titles, values and total need
    Qt::Alignment alinhamento = Qt::AlignLeft;
    int casas = -1; // decimals of a number printed with thousands separators (1.234,56); -1 = as stored
    bool totaliza = false;
};

// What a report prints: title, header fields, the detail rows of a data set in columns, an optional
// grouping with subtotals, the report totals, further sections of rows and a footer line. Rows are printed
// in the data set's order (a group starts wherever the group field changes); the data set's cursor is left
// where it is.
class KELMHOST_EXPORT TRelatorio {
public:
    TRelatorio(const QString& identificador, const QString& titulo, TDataSet* dados);

    const QString& Identificador() const { return m_identificador; }
    const QString& Titulo() const { return m_titulo; }
    TDataSet* Dados() const { return m_dados; }

    // Label/value pairs printed under the title ("Cliente", "00012 - Malharia X"); long values wrap.
    void AdicionaCabecalho(const QString& rotulo, const QString& valor);
    const QList<QPair<QString, QString>>& Cabecalho() const { return m_cabecalho; }

    // A field's column as it prints by default: its display label, numbers right-aligned, decimals
    // with two places and totalled; integers are mostly codes (FAL, customer) and are not totalled.
    ColunaRelatorio Coluna(const QString& campo) const;
    // The same under a caption of the layout's, with its decimals and whether it is totalled.
    ColunaRelatorio Coluna(const QString& campo, const QString& titulo, int casas = -1,
                           bool totaliza = false) const;
    // The default columns: every visible field of the data set.
    QList<ColunaRelatorio> ColunasPadrao() const;
    // No columns prints the default ones.
    void DefineColunas(const QList<ColunaRelatorio>& colunas) { m_colunas = colunas; }
    const QList<ColunaRelatorio>& Colunas() const { return m_colunas; }

    // Group header and subtotal lines around the rows of each value of the field; the label defaults to
    // the field's display label.
    void AgrupaPor(const QString& campo, const QString& rotulo = QString());
    const QString& CampoGrupo() const { return m_campoGrupo; }
    const QString& RotuloGrupo() const { return m_rotuloGrupo; }

    // Without sums a grouping prints its headers only and no total line closes the rows: a list whose
    // numbers mean nothing added up.
    void DefineSomas(bool somas) { m_somas = somas; }
    bool Somas() const { return m_somas; }

    // Rows of another data set printed after these, on from where they end, under the section's title and
    // its own column captions, with its own grouping and totals. Title, columns, grouping and sums are the
    // section's; the layout of the report's identifier may set them (Secoes()), the section's own
    // identifier is not looked up.
    void AdicionaSecao(const TRelatorio& secao) { m_secoes.append(secao); }
    QList<TRelatorio>& Secoes() { return m_secoes; }
    const QList<TRelatorio>& Secoes() const { return m_secoes; }

    // Printed at the foot of every page; "Emitido por <user> em <now>" when empty.
    void DefineRodape(const QString& texto) { m_rodape = texto; }
    const QString& Rodape() const { return m_rodape; }

    // Shades every other detail row of the graphic output.
    void DefineZebrado(bool zebrado) { m_zebrado = zebrado; }
    bool Zebrado() const { return m_zebrado; }

    // A one-page report drawn by the caller: no rows are printed (the data set may be null), the outputs
    // and KELM_REPORT_DIR are those of every report. The text output prints the title and header only.
    void DefineDesenho(DesenhoRelatorio desenho) { m_desenho = std::move(desenho); }
    const DesenhoRelatorio& Desenho() const { return m_desenho; }

    // Pages of that size (millimetres, no margins), each drawn whole by the caller: no title, header, rows
    // or footer. Graphic outputs only; the text one prints the title alone. At least one page is printed.
    void DefineDesenho(QSizeF tamanhoMm, int paginas, DesenhoPagina desenho);
    const DesenhoPagina& DesenhoPaginas() const { return m_desenhoPaginas; }
    QSizeF TamanhoPagina() const { return m_tamanhoPagina; }
    int Paginas() const { return m_paginas; }

    // What the text outputs write instead of pages, byte for byte: a label printer's commands, already in
    // the printer's encoding.
    void DefineTextoPronto(QByteArray bytes) { m_textoPronto = std::move(bytes); }
    const std::optional<QByteArray>& TextoPronto() const { return m_textoPronto; }

    // Drawn on a page of its own after the rows and sections (a chart that belongs to the listing); graphic
    // outputs only.
    void DefineDesenhoFinal(DesenhoRelatorio desenho) { m_desenhoFinal = std::move(desenho); }
    const DesenhoRelatorio& DesenhoFinal() const { return m_desenhoFinal; }

private:
    QString m_identificador;
    QString m_titulo;
    TDataSet* m_dados;
    QList<QPair<QString, QString>> m_cabecalho;
    QList<ColunaRelatorio> m_colunas;
    QString m_campoGrupo;
    QString m_rotuloGrupo;
    QString m_rodape;
    bool m_zebrado = true;
    bool m_somas = true;
    DesenhoRelatorio m_desenho;
    DesenhoRelatorio m_desenhoFinal;
    DesenhoPagina m_desenhoPaginas;
    QSizeF m_tamanhoPagina;
    int m_paginas = 0;
    std::optional<QByteArray> m_textoPronto;
    QList<TRelatorio> m_secoes;
};

// Gives one report identifier a layout of its own (columns, grouping...), applied to a copy of the
// report each time it is produced; identifiers without one print their default columns.
using LayoutRelatorio = std::function<void(TRelatorio&)>;
KELMHOST_EXPORT void RegistraLayout(const QString& identificador, LayoutRelatorio layout);
KELMHOST_EXPORT void RemoveLayout(const QString& identificador);

// The reports' typeface at that size (labels print in it too).
KELMHOST_EXPORT QFont FonteRelatorio(double pontos, bool negrito = false, bool estreita = false);

// Direct outputs; false when the file or the printer could not be written. The graphic ones print on A4,
// landscape when the columns need it; drawn pages on their own size. A layout naming a field the data set
// lacks throws EDatabaseError.
KELMHOST_EXPORT bool GravaRelatorioPdf(const TRelatorio& relatorio, const QString& arquivo);
KELMHOST_EXPORT bool ImprimeRelatorio(const TRelatorio& relatorio, QPrinter& impressora);
// Text pages of 66 lines, 80 or 132 columns, separated by form feeds; UTF-8. A report with its text ready
// (DefineTextoPronto) writes those bytes as they are.
KELMHOST_EXPORT bool GravaRelatorioTexto(const TRelatorio& relatorio, const QString& arquivo);

// The screens' entry points. Flags: "T" text mode, written to a file the user picks; otherwise graphic
// ("W"), shown in a preview window, or sent to a printer the user picks with "I", or to a PDF file with
// "P". When KELM_REPORT_DIR is set nothing is asked: graphic reports go to <dir>/<identifier>.pdf and text
// ones to <dir>/<identifier>.txt. True when the report was produced.
KELMHOST_EXPORT bool Chama_Relatorio(const TRelatorio& relatorio, QWidget* tela, const QString& flags);
KELMHOST_EXPORT bool Chama_RelatorioWin(const TRelatorio& relatorio, QWidget* tela,
                                        const QString& flags = QStringLiteral("W"));
KELMHOST_EXPORT bool Chama_RelatorioTxt(const TRelatorio& relatorio, QWidget* tela);
// A report printed graphically or as text: the user picks Vídeo, Impressora, PDF or Texto; with
// KELM_REPORT_DIR both <identifier>.pdf and <identifier>.txt are written unasked.
KELMHOST_EXPORT bool Chama_RelatorioWinTxt(const TRelatorio& relatorio, QWidget* tela);
// Asks where to write an output named `nome`; the folder chosen last time is offered again.
KELMHOST_EXPORT QString PerguntaArquivoSaida(QWidget* tela, const QString& titulo, const QString& nome,
                                             const QString& filtro);
