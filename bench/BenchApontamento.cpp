#include "BenchApontamento.h"
#include "DataSet.h"
#include "Funcoes.h"
#include "Medicao.h"
#include "ScreenDriver.h"
#include "TZoDatabase.h"
#include <cstdio>

// Process recording on the generated years: the newest sheet of two fabrics or more opened by its number
// (the whole sheet's steps) and on one fabric (the item's steps); then a route of 20 steps of the section's
// own, each concluded on the screen and saved with one click. The section writes its own sheet, phases,
// machine, employee and shift, and deletes them and the audit lines its saves wrote at its end.
namespace {
const QString kFal = QStringLiteral("9700001");
const QString kFuncionario = QStringLiteral("99999");
const QString kTurno = QStringLiteral("Z1");
const QString kMaquina = QStringLiteral("ZZ1");
constexpr int kEtapas = 20;

QString fase(int i) {
    return QStringLiteral("Z%1").arg(i, 2, 10, QLatin1Char('0'));
}

QString listaFases() {
    QStringList fases;
    for (int i = 1; i <= kEtapas; ++i)
        fases << Aspas(fase(i));
    return fases.join(',');
}

// What the screen reads to show a sheet's (or a fabric's) steps.
QStringList leituraDasEtapas(const QString& fal, const QString& produto) {
    const QString f = Aspas(fal);
    QStringList leitura;
    if (produto.isEmpty())
        leitura
            << QStringLiteral("SELECT FIRST 1 1 FROM FAL WHERE NUMERO = %1").arg(f)
            << QStringLiteral("SELECT CODIGO FROM FAL_ITEN WHERE FAL = %1 ORDER BY ORD_IT, CODIGO").arg(f);
    else
        leitura << QStringLiteral("SELECT DESCRICAO FROM PRODUTO WHERE CODIGO = %1").arg(Aspas(produto))
                << QStringLiteral(
                       "SELECT FIRST 1 LARGURA, GRAMATURA FROM FAL_ITEN WHERE FAL = %1 AND CODIGO = %2 "
                       "ORDER BY ORD_IT")
                       .arg(f, Aspas(produto));
    leitura << QStringLiteral(
                   "SELECT P.FASE, COALESCE(P.DES_FASE, F.DESCRICAO), P.CONCLUIDO, P.PENDENTE, "
                   "P.FUNCIONARIO, P.MAQUINA, P.GRAFICO, P.OBS, P.ORDEM, P.DATA_INI, P.HORA_INI, "
                   "P.DATA_FIN, P.HORA_FIN, P.DATA, P.TURNO, P.METRAGEM, P.LOCAL, F.GRUPO, F.ATUALIZAR, "
                   "D.DESCRICAO FROM PROCESSO_TIN P LEFT JOIN FASE F ON (F.CODIGO = P.FASE) LEFT JOIN "
                   "DEPOSITO D ON (D.CODIGO = P.LOCAL) WHERE P.FAL = %1 %2 ORDER BY P.ORDEM, P.FASE, "
                   "P.ORD_IT, P.CODIGO")
                   .arg(f, produto.isEmpty() ? QString()
                                             : QStringLiteral("AND P.CODIGO = %1").arg(Aspas(produto)))
            << QStringLiteral("SELECT FIRST 1 1 FROM FAL WHERE NUM_REPROC = %1").arg(f);
    return leitura;
}

// What the engine needs for the save: one update and one audit line per step.
QStringList gravacaoDasEtapas(const QString& produto) {
    QStringList escrita;
    for (int i = 1; i <= kEtapas; ++i) {
        escrita << QStringLiteral(
                       "UPDATE PROCESSO_TIN SET PENDENTE = 'N', CONCLUIDO = 'S', FUNCIONARIO = %1, MAQUINA = "
                       "%2, GRAFICO = NULL, OBS = NULL, LOCAL = NULL, DATA = '2026-11-23', TURNO = %3, "
                       "METRAGEM = NULL, DATA_INI = '2026-11-23', HORA_INI = '08:00:00', DATA_FIN = "
                       "'2026-11-23', HORA_FIN = '09:00:00' WHERE FAL = %4 AND FASE = %5 AND CODIGO = %6")
                       .arg(Aspas(kFuncionario), Aspas(kMaquina), Aspas(kTurno), Aspas(kFal), Aspas(fase(i)),
                            Aspas(produto));
        escrita << QStringLiteral(
                       "INSERT INTO LOG (ID, CHAVE, DATA, HORA, USUARIO, FORMULARIO, TITULO, TEXTO, TIPO) "
                       "VALUES (NEXT VALUE FOR GEN_LOG_ID, %1, CURRENT_DATE, '12:00:00', 'ADMIN', "
                       "'fmTngMov', 'TINGIMENTO', 'MOVIMENTACAO DA FAL', 3)")
                       .arg(Aspas(kFal));
    }
    return escrita;
}

void removeProprias(TZoDatabase& db) {
    const QString f = Aspas(kFal);
    for (const QString& sql :
         {QStringLiteral("DELETE FROM LOG WHERE TITULO = 'TINGIMENTO' AND CHAVE = %1").arg(f),
          QStringLiteral("DELETE FROM PROCESSO_TIN WHERE FAL = %1").arg(f),
          QStringLiteral("DELETE FROM FAL_ITEN WHERE FAL = %1").arg(f),
          QStringLiteral("DELETE FROM FAL WHERE NUMERO = %1").arg(f),
          QStringLiteral("DELETE FROM TURNO_HORARIOS WHERE TURNO = %1").arg(Aspas(kTurno)),
          QStringLiteral("DELETE FROM TURNO WHERE TURNO = %1").arg(Aspas(kTurno)),
          QStringLiteral("DELETE FROM PESSOAL WHERE CODIGO = %1").arg(Aspas(kFuncionario)),
          QStringLiteral("DELETE FROM MAQ_TIN WHERE CODIGO = %1").arg(Aspas(kMaquina)),
          QStringLiteral("DELETE FROM FASE WHERE CODIGO IN (%1)").arg(listaFases())})
        Executa(db, sql);
    db.Transaction()->CommitRetaining();
}

// A sheet of one fabric through 20 phases of the section's own, with the machine, employee and shift that
// record them.
void criaProprias(TZoDatabase& db, const QString& produto) {
    removeProprias(db);
    const QString f = Aspas(kFal);
    QStringList sql{
        QStringLiteral("INSERT INTO TURNO (TURNO, DESCRICAO, NOTURNO) VALUES (%1, 'BENCH', 'N')")
            .arg(Aspas(kTurno)),
        QStringLiteral("INSERT INTO PESSOAL (CODIGO, NOME, TURNO) VALUES (%1, 'BENCH', %2)")
            .arg(Aspas(kFuncionario), Aspas(kTurno)),
        QStringLiteral("INSERT INTO MAQ_TIN (CODIGO, DESCRICAO, FASE) VALUES (%1, 'BENCH', 'Z01')")
            .arg(Aspas(kMaquina)),
        QStringLiteral("INSERT INTO FAL (NUMERO, CLIENTE) VALUES (%1, NULL)").arg(f),
        QStringLiteral(
            "INSERT INTO FAL_ITEN (FAL, CODIGO, ORD_IT, LARGURA, GRAMATURA) VALUES (%1, %2, 1, 1.8, 160)")
            .arg(f, Aspas(produto))};
    for (int dia = 1; dia <= 7; ++dia)
        sql << QStringLiteral(
                   "INSERT INTO TURNO_HORARIOS (TURNO, DIA, ENTRADA, SAIDA) VALUES (%1, %2, '00:00:00', "
                   "'23:59:59')")
                   .arg(Aspas(kTurno))
                   .arg(dia);
    for (int i = 1; i <= kEtapas; ++i)
        sql << QStringLiteral("INSERT INTO FASE (CODIGO, DESCRICAO, ATUALIZAR) VALUES (%1, 'BENCH %2', 'N')")
                   .arg(Aspas(fase(i)))
                   .arg(i)
            << QStringLiteral(
                   "INSERT INTO PROCESSO_TIN (FAL, CODIGO, ORD_IT, FASE, DES_FASE, ORDEM, CONCLUIDO) VALUES "
                   "(%1, %2, 1, %3, 'BENCH', %4, 'N')")
                   .arg(f, Aspas(produto), Aspas(fase(i)))
                   .arg(i);
    for (const QString& s : std::as_const(sql))
        Executa(db, s);
    db.Transaction()->CommitRetaining();
}
} // namespace

void BenchApontamento(TZoDatabase& db, ScriptedMessageService& messages) {
    TabelaBench& tabela = TabelaBench::Global();
    ScreenDriver driver(messages);

    // 1. The newest sheet of two fabrics or more: by its number, then on its first fabric.
    const QStringList escolhida = PrimeiraLinha(
        db, QStringLiteral("SELECT FIRST 1 I.FAL, COUNT(*) FROM FAL_ITEN I WHERE I.FAL < '9000000' GROUP "
                           "BY I.FAL HAVING COUNT(DISTINCT I.CODIGO) > 1 ORDER BY I.FAL DESC"));
    const QString fal = escolhida.value(0);
    if (fal.isEmpty()) {
        std::printf("no sheet of two fabrics in this database: loads skipped\n");
    } else {
        const QString produto =
            Escalar(db, QStringLiteral("SELECT FIRST 1 CODIGO FROM FAL_ITEN WHERE FAL = %1 ORDER BY ORD_IT")
                            .arg(Aspas(fal)));
        std::printf(
            "sheet %s: %s items, %s steps of its first fabric %s; %s steps in all\n", qPrintable(fal),
            qPrintable(escolhida.value(1)),
            qPrintable(Escalar(db, QStringLiteral("SELECT COUNT(*) FROM PROCESSO_TIN WHERE FAL = %1 AND "
                                                  "CODIGO = %2")
                                       .arg(Aspas(fal), Aspas(produto)))),
            qPrintable(produto),
            qPrintable(Escalar(db, QStringLiteral("SELECT COUNT(*) FROM PROCESSO_TIN"))));
        const auto abre = [&] {
            driver.Close();
            driver.Open(QStringLiteral("TfmTngMov"));
            ProcessEvents();
        };
        const Medida folha = Mede(abre, [&] {
            driver.Type(QStringLiteral("EdtFalMov"), fal);
            driver.Press(QStringLiteral("Tab"));
        });
        MostraMensagens(messages, "sheet opened");
        int linhas = driver.Screen()->findChild<TDataSet*>(QStringLiteral("TbMov"))->RecordCount();
        tabela.Linha(
            QStringLiteral("process recording: sheet typed and left, its %1 phases loaded").arg(linhas),
            folha, MotorMs(db, leituraDasEtapas(fal, QString())), kInterativoMs);
        const Medida item = Mede(
            [&] {
                abre();
                driver.Type(QStringLiteral("EdtFalMov"), fal);
                driver.Press(QStringLiteral("Tab"));
            },
            [&] {
                driver.Type(QStringLiteral("EdtCodPro"), produto);
                driver.Press(QStringLiteral("Tab"));
            });
        MostraMensagens(messages, "fabric chosen");
        linhas = driver.Screen()->findChild<TDataSet*>(QStringLiteral("TbMov"))->RecordCount();
        tabela.Linha(QStringLiteral("process recording: fabric chosen, its %1 steps loaded").arg(linhas),
                     item, MotorMs(db, leituraDasEtapas(fal, produto)), kInterativoMs);
    }

    // 2. Twenty steps concluded on the screen and saved.
    const QString produto = Escalar(db, QStringLiteral("SELECT FIRST 1 CODIGO FROM PRODUTO ORDER BY CODIGO"));
    criaProprias(db, produto);
    const QString reabre =
        QStringLiteral("UPDATE PROCESSO_TIN SET CONCLUIDO = 'N', PENDENTE = NULL, FUNCIONARIO = NULL, "
                       "MAQUINA = NULL, TURNO = NULL, DATA = NULL, DATA_INI = NULL, HORA_INI = NULL, "
                       "DATA_FIN = NULL, HORA_FIN = NULL WHERE FAL = %1")
            .arg(Aspas(kFal));
    const double piso = MotorMs(db, gravacaoDasEtapas(produto), true);
    TDataSet* tbMov = nullptr;
    const Medida gravacao = Mede(
        [&] {
            Executa(db, reabre);
            db.Transaction()->CommitRetaining();
            driver.Close();
            driver.Open(QStringLiteral("TfmTngMov"));
            driver.Type(QStringLiteral("EdtFalMov"), kFal);
            driver.Press(QStringLiteral("Tab"));
            tbMov = driver.Screen()->findChild<TDataSet*>(QStringLiteral("TbMov"));
            for (int linha = 0; linha < tbMov->RecordCount(); ++linha) {
                tbMov->MoveTo(linha);
                tbMov->Edit();
                for (const auto& [campo, valor] : {std::pair{"Concluido", QVariant(QStringLiteral("S"))},
                                                   {"Funcionario", kFuncionario},
                                                   {"Maquina", kMaquina},
                                                   {"Data_Inicio", QStringLiteral("23/11/2026")},
                                                   {"Hora_Inicio", QStringLiteral("08:00")},
                                                   {"Data_Fim", QStringLiteral("23/11/2026")},
                                                   {"Hora_Fim", QStringLiteral("09:00")},
                                                   {"Data", QDate(2026, 11, 23)}})
                    tbMov->FieldByName(QLatin1String(campo)) = valor;
                tbMov->Post();
            }
        },
        [&] { driver.Click(QStringLiteral("BtnGravar")); });
    MostraMensagens(messages, "steps saved");
    const QString gravadas = Escalar(
        db,
        QStringLiteral("SELECT COUNT(*) FROM PROCESSO_TIN WHERE FAL = %1 AND CONCLUIDO = 'S' AND TURNO = %2")
            .arg(Aspas(kFal), Aspas(kTurno)));
    if (gravadas != QString::number(kEtapas))
        std::printf("%s steps stored concluded instead of %d\n", qPrintable(gravadas), kEtapas);
    tabela.Linha(QStringLiteral("process recording: %1 steps concluded and saved").arg(kEtapas), gravacao,
                 piso, kInterativoMs);
    driver.Close();
    removeProprias(db);
}
