#include "Planilha.h"
#include "DataSet.h"
#include "DataSetModel.h"
#include "Mensagens.h"
#include "MessageService.h"
#include "Relatorio.h"
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <algorithm>
#include <xlsxwriter.h>

namespace {
bool Numero(QMetaType::Type tipo) {
    return tipo == QMetaType::Double || tipo == QMetaType::Int || tipo == QMetaType::LongLong;
}
bool Data(QMetaType::Type tipo) {
    return tipo == QMetaType::QDate || tipo == QMetaType::QDateTime;
}

// A cell as the grid shows it, for texts (a code's text as its column maps it).
QString TextoCelula(const DataSetModel& grade, int linha, int coluna) {
    return grade.data(grade.index(linha, coluna), Qt::DisplayRole).toString();
}

QString Csv(const DataSetModel& grade, const QString& arquivo) {
    const TDataSet& dados = *grade.DataSet();
    const auto campo = [](QString texto) {
        if (texto.contains(QLatin1Char(';')) || texto.contains(QLatin1Char('"')) ||
            texto.contains(QLatin1Char('\n')))
            texto =
                QLatin1Char('"') + texto.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
        return texto;
    };
    QStringList linhas;
    QStringList cabecalho;
    for (int c = 0; c < grade.columnCount(); ++c)
        cabecalho << campo(grade.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
    linhas << cabecalho.join(QLatin1Char(';'));
    for (int r = 0; r < grade.rowCount(); ++r) {
        QStringList valores;
        for (int c = 0; c < grade.columnCount(); ++c) {
            const int f = grade.FieldOfColumn(c);
            const FieldDef& def = dados.FieldDefs()[f];
            const QVariant v = dados.ValueAt(r, f);
            if (v.isNull())
                valores << QString();
            else if (Numero(def.type))
                // No thousands separator: a spreadsheet reads "1234,5", and "1.234,5" only in some locales.
                valores << (def.decimals >= 0 ? QString::number(v.toDouble(), 'f', def.decimals)
                                              : QString::number(v.toDouble(), 'g', 15))
                               .replace(QLatin1Char('.'), QLatin1Char(','));
            else if (def.type == QMetaType::QDate)
                valores << v.toDate().toString(QStringLiteral("dd/MM/yyyy"));
            else if (def.type == QMetaType::QDateTime)
                valores << v.toDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
            else
                valores << campo(TextoCelula(grade, r, c));
        }
        linhas << valores.join(QLatin1Char(';'));
    }
    QSaveFile saida(arquivo);
    if (!saida.open(QIODevice::WriteOnly))
        return saida.errorString();
    saida.write(linhas.join(QStringLiteral("\r\n")).toUtf8() + "\r\n");
    return saida.commit() ? QString() : saida.errorString();
}

QString Xlsx(const DataSetModel& grade, const QString& arquivo) {
    const TDataSet& dados = *grade.DataSet();
    if (grade.rowCount() >= int(LXW_ROW_MAX))
        return QStringLiteral("uma planilha XLSX guarda até %1 linhas e a grade tem %2: exporte como CSV")
            .arg(LXW_ROW_MAX - 1)
            .arg(grade.rowCount());
    // The workbook is written beside its final name and renamed over it once closed.
    const QString parcial = arquivo + QStringLiteral(".parcial");
    QFile::remove(parcial);
    lxw_workbook* livro = workbook_new(QFile::encodeName(parcial).constData());
    if (!livro)
        return QStringLiteral("não foi possível criar %1").arg(arquivo);
    lxw_worksheet* folha = workbook_add_worksheet(livro, nullptr);
    lxw_format* negrito = workbook_add_format(livro);
    format_set_bold(negrito);
    lxw_format* data = workbook_add_format(livro);
    format_set_num_format(data, "dd/mm/yyyy");
    lxw_format* momento = workbook_add_format(livro);
    format_set_num_format(momento, "dd/mm/yyyy hh:mm:ss");
    // A number format per count of decimals.
    QHash<int, lxw_format*> casas;
    const auto formatoNumero = [&](int decimais) -> lxw_format* {
        if (decimais < 0)
            return nullptr;
        if (!casas.contains(decimais)) {
            lxw_format* f = workbook_add_format(livro);
            const QByteArray mascara =
                decimais == 0 ? QByteArray("#,##0") : "#,##0." + QByteArray(decimais, '0');
            format_set_num_format(f, mascara.constData());
            casas.insert(decimais, f);
        }
        return casas.value(decimais);
    };
    // A cell the library refuses would leave a hole in the sheet: the first refusal fails the export.
    lxw_error recusa = LXW_NO_ERROR;
    QString onde;
    const auto confere = [&](lxw_error e, int linha, int coluna) {
        if (e != LXW_NO_ERROR && recusa == LXW_NO_ERROR) {
            recusa = e;
            onde = QStringLiteral(" (linha %1, coluna %2)").arg(linha + 1).arg(coluna + 1);
        }
    };
    QList<int> larguras;
    for (int c = 0; c < grade.columnCount(); ++c) {
        const QByteArray titulo = grade.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().toUtf8();
        confere(worksheet_write_string(folha, 0, lxw_col_t(c), titulo.constData(), negrito), 0, c);
        larguras << int(titulo.size());
    }
    for (int r = 0; r < grade.rowCount(); ++r) {
        const auto linha = lxw_row_t(r + 1);
        for (int c = 0; c < grade.columnCount(); ++c) {
            const auto coluna = lxw_col_t(c);
            const int f = grade.FieldOfColumn(c);
            const FieldDef& def = dados.FieldDefs()[f];
            const QVariant v = dados.ValueAt(r, f);
            if (v.isNull())
                continue;
            int largura = 10;
            if (Numero(def.type)) {
                confere(
                    worksheet_write_number(folha, linha, coluna, v.toDouble(), formatoNumero(def.decimals)),
                    r + 1, c);
                largura = int(QString::number(v.toDouble(), 'f', std::max(def.decimals, 0)).size()) + 2;
            } else if (Data(def.type)) {
                const QDateTime m = def.type == QMetaType::QDate ? v.toDate().startOfDay() : v.toDateTime();
                lxw_datetime quando{m.date().year(), m.date().month(),  m.date().day(),
                                    m.time().hour(), m.time().minute(), double(m.time().second())};
                confere(worksheet_write_datetime(folha, linha, coluna, &quando,
                                                 def.type == QMetaType::QDate ? data : momento),
                        r + 1, c);
                largura = def.type == QMetaType::QDate ? 11 : 19;
            } else {
                const QByteArray texto = TextoCelula(grade, r, c).toUtf8();
                confere(worksheet_write_string(folha, linha, coluna, texto.constData(), nullptr), r + 1, c);
                largura = int(texto.size());
            }
            larguras[c] = std::max(larguras[c], largura);
        }
    }
    for (int c = 0; c < larguras.size(); ++c)
        worksheet_set_column(folha, lxw_col_t(c), lxw_col_t(c), std::min(larguras[c], 60) + 1, nullptr);
    worksheet_freeze_panes(folha, 1, 0);
    const lxw_error erro = workbook_close(livro);
    if (erro != LXW_NO_ERROR || recusa != LXW_NO_ERROR) {
        QFile::remove(parcial);
        return QString::fromUtf8(lxw_strerror(recusa != LXW_NO_ERROR ? recusa : erro)) + onde;
    }
    QFile::remove(arquivo);
    if (!QFile::rename(parcial, arquivo)) {
        QFile::remove(parcial);
        return QStringLiteral("não foi possível gravar %1").arg(arquivo);
    }
    return {};
}
} // namespace

QString ExportaPlanilha(const DataSetModel& grade, const QString& arquivo) {
    return arquivo.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive) ? Csv(grade, arquivo)
                                                                        : Xlsx(grade, arquivo);
}

bool Chama_Planilha(const DataSetModel& grade, const QString& identificador, const QString& titulo,
                    QWidget* tela) {
    const QString automatica = qEnvironmentVariable("KELM_REPORT_DIR");
    const QString arquivo =
        automatica.isEmpty()
            ? PerguntaArquivoSaida(
                  tela, titulo, identificador + QStringLiteral(".xlsx"),
                  QStringLiteral("Planilha (*.xlsx);;Texto separado por ponto e vírgula (*.csv)"))
            : QDir(automatica).filePath(identificador + QStringLiteral(".xlsx"));
    if (arquivo.isEmpty())
        return false;
    const QString erro = ExportaPlanilha(grade, arquivo);
    if (!erro.isEmpty())
        Mensagens().Show(tela, titulo,
                         QStringLiteral("Não foi possível exportar para %1: %2").arg(arquivo, erro),
                         MsgIcon::Error);
    return erro.isEmpty();
}
