#include "BenchIndicadores.h"
#include "DataAccess.h"
#include "DataSet.h"
#include "Funcoes.h"
#include "Indicadores.h"
#include "Medicao.h"
#include "ScreenDriver.h"
#include "TClientDataSet.h"
#include <QDate>
#include <QTabWidget>
#include <QTemporaryDir>

namespace {
// A statement with its bound values written in, as the engine's floor reads it.
QString Literal(const InstrucaoRelatorio& instrucao) {
    QString sql = instrucao.sql;
    for (auto it = instrucao.valores.cbegin(); it != instrucao.valores.cend(); ++it)
        sql.replace(QLatin1Char(':') + it.key(), it.value().typeId() == QMetaType::QDate
                                                     ? DataSQL(it.value().toDate())
                                                     : Aspas(it.value().toString()));
    return sql;
}
} // namespace

// Each page of the indicators over a year (the last whole year of the data), confirmed and printed as a user
// does; the floor is what Confirmar reads, the sheets' and the steps' statements fetched raw, the sheets'
// printed.
void BenchIndicadores(TZoDatabase& db, ScriptedMessageService& messages) {
    const QDate ultimo = QDate::fromString(
        Escalar(db, QStringLiteral("SELECT CAST(MAX(DATA_FIN) AS VARCHAR(10)) FROM PROCESSO_TIN")),
        Qt::ISODate);
    if (!ultimo.isValid())
        return;
    QTemporaryDir pasta;
    const QByteArray antes = qgetenv("KELM_REPORT_DIR");
    qputenv("KELM_REPORT_DIR", pasta.path().toLocal8Bit());
    ScreenDriver driver(messages);
    driver.Open(QStringLiteral("TFmIndicadores"));
    auto* tela = static_cast<TFmIndicadores*>(driver.Screen());
    auto* paginas = driver.Screen()->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    // Every page over a year; the first over the last whole month too, what a manager opens most: the one
    // before the latest shipment, since later lots are still on the floor.
    const QDate mes =
        QDate::fromString(Escalar(db, QStringLiteral("SELECT CAST(MAX(DATA_FIN) AS VARCHAR(10)) FROM "
                                                     "PROCESSO_TIN WHERE MAQUINA = '00'")),
                          Qt::ISODate)
            .addMonths(-1);
    const struct {
        QDate de, ate;
        QString nome;
        int ultimaPagina;
    } periodos[] = {{QDate(ultimo.year() - 1, 1, 1), QDate(ultimo.year() - 1, 12, 31),
                     QString::number(ultimo.year() - 1), paginas->count() - 1},
                    {QDate(mes.year(), mes.month(), 1), QDate(mes.year(), mes.month(), mes.daysInMonth()),
                     mes.toString(QStringLiteral("MM/yyyy")), 1}};
    for (const auto& periodo : periodos) {
        paginas->setCurrentIndex(0); // the filters
        driver.Type(QStringLiteral("EdtDataIni"), periodo.de.toString(QStringLiteral("dd/MM/yyyy")));
        driver.Type(QStringLiteral("EdtDataFim"), periodo.ate.toString(QStringLiteral("dd/MM/yyyy")));
        driver.Click(QStringLiteral("RgAgrupar0"));
        driver.Click(QStringLiteral("BitBtn1"));
        const double piso =
            RelatorioMotorMs(db, Literal(tela->UltimasInstrucoes().value(0))) +
            MotorMs(db, {Literal(tela->InstrucaoUso()),
                         DBLocal_SQL(QStringLiteral("SELECT DIA, ENTRADA, SAIDA FROM {TURNO_HORARIOS}"))});
        for (int pagina = 1; pagina <= periodo.ultimaPagina; ++pagina) {
            paginas->setCurrentIndex(pagina);
            const Medida medida = MedeRelatorio(driver);
            MostraMensagens(messages, "indicadores");
            TabelaBench::Global().Linha(QStringLiteral("indicators %1, %2 (%3 lots)")
                                            .arg(paginas->tabText(pagina), periodo.nome)
                                            .arg(tela->Resultado()->RecordCount()),
                                        medida, piso, 1.2 * piso);
        }
    }
    driver.Close();
    if (antes.isNull())
        qunsetenv("KELM_REPORT_DIR");
    else
        qputenv("KELM_REPORT_DIR", antes);
}
