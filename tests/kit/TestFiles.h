#pragma once
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

// Files of tests with or without a database: reports written where a test reads them back, and settings.

inline bool CanReadPdf() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

// The text of a PDF as laid out on its pages, each page ended by a form feed; the "fi" ligature spelt out.
inline QString PdfText(const QString& pdf) {
    QProcess reader;
    reader.start(QStringLiteral("pdftotext"), {"-layout", "-enc", "UTF-8", pdf, "-"});
    reader.waitForFinished();
    return QString::fromUtf8(reader.readAllStandardOutput()).replace(QChar(0xfb01), QLatin1String("fi"));
}

// A part of an XLSX file (a zip) as text: by default its first sheet, where numbers are <v> cells.
inline QString XlsxPart(const QString& xlsx,
                        const QString& part = QStringLiteral("xl/worksheets/sheet1.xml")) {
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {"-p", xlsx, part});
    unzip.waitForFinished();
    return QString::fromUtf8(unzip.readAllStandardOutput());
}

// While it lives, reports go to a folder of their own (KELM_REPORT_DIR) without asking where.
class ReportFolder {
public:
    ReportFolder() { qputenv("KELM_REPORT_DIR", m_dir.path().toUtf8()); }
    ~ReportFolder() { qunsetenv("KELM_REPORT_DIR"); }
    ReportFolder(const ReportFolder&) = delete;
    ReportFolder& operator=(const ReportFolder&) = delete;
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    QString Text(const QString& name) const { return PdfText(Path(name)); }

private:
    QTemporaryDir m_dir;
};

// While it lives, the settings are a kelm.ini of that text in a folder of its own (KELM_INI): never those of
// whoever runs the tests. "%1" in the text is the folder.
class SettingsFile {
public:
    explicit SettingsFile(const QString& text = QString()) {
        QFile file(Path(QStringLiteral("kelm.ini")));
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(file.fileName()));
        file.write(QString(text).replace(QLatin1String("%1"), m_dir.path()).toUtf8());
        qputenv("KELM_INI", file.fileName().toUtf8());
    }
    ~SettingsFile() { qunsetenv("KELM_INI"); }
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;
    QString Path(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};
