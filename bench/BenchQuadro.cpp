#include "BenchQuadro.h"
#include "Funcoes.h"
#include "InstrucoesEmLote.h"
#include "Medicao.h"
#include "ScreenDriver.h"
#include "TZoDatabase.h"
#include <QSqlQuery>
#include <cstdio>

namespace {
constexpr int kCampos = 300;

QString insercao(const QString& produto, const QString& cliente, int campo) {
    const QString codigo = QStringLiteral("%1").arg(campo, 3, 10, QLatin1Char('0'));
    return QStringLiteral(
               "INSERT INTO OF2 (CAMPO, MOV, DESCRICAO, DESCRICAO2, DESCRICAO3, OBS, CODIGO, NUMERO, "
               "TIPO, DATA) VALUES (%1, %2, %3, %4, %5, %6, %7, %8, '1', CURRENT_DATE)")
        .arg(Aspas(QStringLiteral("Especificação %1").arg(codigo)), Aspas(codigo),
             Aspas(QStringLiteral("GRUPO %1").arg(campo / 20)),
             Aspas(QStringLiteral("resultado %1").arg(campo)),
             Aspas(QStringLiteral("observação %1").arg(campo)), Aspas(QStringLiteral("Observação do quadro")),
             Aspas(produto), Aspas(cliente));
}
} // namespace

void BenchQuadro(TZoDatabase& db, ScriptedMessageService& messages) {
    const QString cliente =
        Escalar(db, QStringLiteral("SELECT FIRST 1 CODCLI FROM ENTIDADE WHERE COALESCE(ATIVO, "
                                   "'S') <> 'N' AND COALESCE(BLOQUEIO, 'N') <> 'S' ORDER BY "
                                   "CODCLI"));
    const QString produto = Escalar(db, QStringLiteral("SELECT FIRST 1 CODIGO FROM PRODUTO ORDER BY CODIGO"));
    // A standard of 300 fields, and the customer's sheet of them filled in.
    {
        QSqlQuery limpa(db.Connection());
        db.Exec(limpa, QStringLiteral("DELETE FROM OFPADRAO"), true);
        InstrucoesEmLote lote(db);
        for (int campo = 0; campo < kCampos; ++campo) {
            const QString codigo = QStringLiteral("%1").arg(campo, 3, 10, QLatin1Char('0'));
            lote.Adiciona(
                QStringLiteral("INSERT INTO OFPADRAO (CODIGO, DESCRICAO, CAMPO) VALUES (%1, %2, %3)")
                    .arg(Aspas(codigo), Aspas(QStringLiteral("GRUPO %1").arg(campo / 20)),
                         Aspas(QStringLiteral("Especificação %1").arg(codigo))));
            lote.Adiciona(insercao(produto, cliente, campo));
        }
        lote.Executa();
        db.Transaction()->CommitRetaining();
    }

    ScreenDriver driver(messages);
    driver.Open(QStringLiteral("TfmTngProgInf"));
    driver.Type(QStringLiteral("EdtCodCli"), cliente);
    driver.Type(QStringLiteral("EdtCodPro"), produto);
    driver.Click(QStringLiteral("btnConsultar"));
    TabelaBench::Global().Linha(
        QStringLiteral("information board: sheet of %1 fields loaded").arg(kCampos),
        Mede([&] { driver.Click(QStringLiteral("btnConsultar")); }),
        MotorMs(db,
                {QStringLiteral("SELECT CAMPO, CODIGO, DESCRICAO FROM OFPADRAO ORDER BY CODIGO"),
                 QStringLiteral("SELECT CAMPO, MOV, DESCRICAO, DESCRICAO2, DESCRICAO3, OBS FROM OF2 WHERE "
                                "CODIGO = %1 AND NUMERO = %2 ORDER BY MOV")
                     .arg(Aspas(produto), Aspas(cliente))}),
        kInterativoMs);

    // The floor: the delete and one insert per field, each sent by itself.
    QStringList escrita{QStringLiteral("DELETE FROM OF2 WHERE CODIGO = %1 AND NUMERO = %2")
                            .arg(Aspas(produto), Aspas(cliente))};
    for (int campo = 0; campo < kCampos; ++campo)
        escrita << insercao(produto, cliente, campo);
    const double piso = MotorMs(db, escrita, true);
    TabelaBench::Global().Linha(QStringLiteral("information board: sheet of %1 fields saved").arg(kCampos),
                                Mede([&] { driver.Click(QStringLiteral("btnConfirmar")); }), piso,
                                kInterativoMs);
    const QString gravados = Escalar(
        db, QStringLiteral("SELECT COUNT(*) FROM OF2 WHERE CODIGO = %1 AND NUMERO = %2 AND DESCRICAO2 > ''")
                .arg(Aspas(produto), Aspas(cliente)));
    if (gravados != QString::number(kCampos))
        std::printf("sheet stored with %s filled fields instead of %d\n", qPrintable(gravados), kCampos);
    driver.Close();

    QStringList outras = messages.Texts();
    outras.removeAll(QStringLiteral("Informações gravadas com sucesso."));
    if (!outras.isEmpty())
        std::printf("messages shown: %s\n", qPrintable(outras.join(QStringLiteral(" | "))));
    messages.Clear();
}
