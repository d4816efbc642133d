#include "BenchCopia.h"
#include "CopiaSeguranca.h"
#include "Medicao.h"
#include "TZoDatabase.h"
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

// A backup of the generated years as the screen and the scheduler take it: written, restored into a scratch
// file, validated and its main tables counted. The floor is gbak's backup alone, nothing checked.
void BenchCopia(TZoDatabase& db, ScriptedMessageService&) {
    TabelaBench& tabela = TabelaBench::Global();
    QTemporaryDir pasta;
    CopiaSeguranca copia(db.Config());
    copia.pasta = pasta.path();
    copia.mantidas = 1;
    ResultadoCopia feita;
    const Medida medida = Mede([&] { feita = copia.Copia(); }, 1);
    std::printf("%s\n", qPrintable(feita.texto));
    if (!feita.ok)
        return;

    QProcess gbak;
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("ISC_USER"), db.Config().user);
    ambiente.insert(QStringLiteral("ISC_PASSWORD"), db.Config().password);
    gbak.setProcessEnvironment(ambiente);
    const QString so = pasta.filePath(QStringLiteral("so-gbak.fbk"));
    const Medida piso = Mede(
        [&] {
            gbak.start(QStringLiteral("gbak"),
                       {QStringLiteral("-b"), QStringLiteral("-g"), db.Config().target(), so});
            gbak.waitForFinished(-1);
        },
        1);
    const qint64 banco = db.Config().isServer() ? 0 : QFileInfo(db.Config().path).size();
    tabela.Linha(QStringLiteral("backup and verify, 5 years: a %1 MB copy of a %2 MB database")
                     .arg(feita.bytes / 1e6, 0, 'f', 0)
                     .arg(banco / 1e6, 0, 'f', 0),
                 medida, piso.ms, 300000);
}
