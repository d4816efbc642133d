#include "BenchEmissao.h"
#include "DataSet.h"
#include "EmissaoReceita.h"
#include "Estoque.h"
#include "Funcoes.h"
#include "GravacaoAtomica.h"
#include "Medicao.h"
#include "ScreenDriver.h"
#include "TZoDatabase.h"
#include "TZoQuery.h"
#include <QDate>
#include <QTemporaryDir>
#include <cstdio>

// Recipe issue on the generated years: three sheets of a recipe of twenty lines (the section's own, on the
// generated materials) gathered and confirmed on the screen; their lines recorded and written off, and the
// write-off reversed, through the services the screen calls; a month of sheets listed with only those not
// issued; one stock movement. The section deletes what it wrote at its end.
namespace {
const QString kReceita = QStringLiteral("Z999");
const QString kCor = QStringLiteral("Z999999999");
const QStringList kFals = {QStringLiteral("9800001"), QStringLiteral("9800002"), QStringLiteral("9800003")};
constexpr int kLinhas = 20;

void removeProprias(TZoDatabase& db) {
    const QString fals = ListaSql(kFals);
    for (const QString& sql :
         {QStringLiteral("DELETE FROM MAT_MOV WHERE NUM_DOCTO IN (%1)").arg(fals),
          QStringLiteral("DELETE FROM TNG_CONSUMOS WHERE FAL IN (%1)").arg(fals),
          QStringLiteral("DELETE FROM LOG WHERE TITULO = 'IMPRESSAO DE RECEITA' AND CHAVE IN (%1)").arg(fals),
          QStringLiteral("DELETE FROM FAL_ITEN WHERE FAL IN (%1)").arg(fals),
          QStringLiteral("DELETE FROM FAL WHERE NUMERO IN (%1)").arg(fals),
          QStringLiteral("DELETE FROM MAT_TIN WHERE RECEITA = %1").arg(Aspas(kReceita)),
          QStringLiteral("DELETE FROM RECEITA WHERE CODIGO = %1").arg(Aspas(kReceita))})
        Executa(db, sql);
    db.Transaction()->CommitRetaining();
}

// The recipe's lines take the first twenty materials, dyes in per cent and chemicals in grams per litre,
// small enough for the generated stock; the sheets take 50 kg each of the first fabric.
void criaProprias(TZoDatabase& db) {
    removeProprias(db);
    QStringList sql{QStringLiteral("INSERT INTO RECEITA (CODIGO, VARIANTE, COR, COD_BANHO, LIBERADA) VALUES "
                                   "(%1, '01', %2, '01', '1')")
                        .arg(Aspas(kReceita), Aspas(kCor))};
    for (int i = 1; i <= kLinhas; ++i)
        sql << QStringLiteral("INSERT INTO MAT_TIN (RECEITA, VARIANTE, ORDEN, CODIGO, UNIDADE, QTDE, TIPO, "
                              "PASSO) VALUES (%1, '01', %2, %3, %4, 0.1, 'C', '1')")
                   .arg(Aspas(kReceita))
                   .arg(i)
                   .arg(Aspas(QStringLiteral("M%1").arg(i, 5, 10, QLatin1Char('0'))),
                        Aspas(i % 2 ? QStringLiteral("%") : QStringLiteral("GL")));
    for (const QString& fal : kFals)
        sql << QStringLiteral("INSERT INTO FAL (NUMERO, CLIENTE, COR, VARIANTE, MAQUINA, STATUS, DATA_INI) "
                              "VALUES (%1, '00001', %2, '01', '001', 'A', CURRENT_DATE)")
                   .arg(Aspas(fal), Aspas(kCor))
            << QStringLiteral("INSERT INTO FAL_ITEN (FAL, CODIGO, ORD_IT, PESO) VALUES (%1, 'T00001', 1, 50)")
                   .arg(Aspas(fal));
    for (const QString& s : std::as_const(sql))
        Executa(db, s);
    db.Transaction()->CommitRetaining();
}

LoteEmissao Lote() {
    LoteEmissao lote;
    lote.fals = kFals;
    lote.receita = kReceita;
    lote.cor = kCor;
    lote.variante = QStringLiteral("01");
    lote.cliente = QStringLiteral("00001");
    lote.maquina = QStringLiteral("001");
    lote.banho = QStringLiteral("01");
    lote.peso = 150;
    lote.volume = 900;
    return lote;
}

void mostraMensagens(ScriptedMessageService& messages, const char* onde) {
    if (!messages.Texts().isEmpty())
        std::printf("messages shown (%s): %s\n", onde,
                    qPrintable(messages.Texts().join(QStringLiteral(" | "))));
    messages.Clear();
}
} // namespace

void BenchEmissao(TZoDatabase& db, ScriptedMessageService& messages) {
    TabelaBench& tabela = TabelaBench::Global();
    ScreenDriver driver(messages);
    criaProprias(db);
    std::printf("%s recipe-issue lines, %s stock movements\n",
                qPrintable(Escalar(db, QStringLiteral("SELECT COUNT(*) FROM TNG_CONSUMOS"))),
                qPrintable(Escalar(db, QStringLiteral("SELECT COUNT(*) FROM MAT_MOV"))));

    // 1. Three sheets gathered on the screen, then confirmed: stock, reserves, substitutes and lots read.
    TDataSet* linhas = nullptr;
    const Medida confirmar = Mede(
        [&] {
            driver.Close();
            driver.Open(QStringLiteral("TFmRelRec"));
            for (const QString& fal : kFals) {
                driver.Type(QStringLiteral("EdtFal"), fal);
                driver.Press(QStringLiteral("Tab"));
            }
        },
        [&] { driver.Click(QStringLiteral("BtConfirmar")); });
    mostraMensagens(messages, "batch confirmed");
    linhas = driver.Screen()->findChild<TDataSet*>(QStringLiteral("TbReceita"));
    tabela.Linha(
        QStringLiteral("recipe issue: 3 sheets confirmed, %1 lines computed").arg(linhas->RecordCount()),
        confirmar, 0, kInterativoMs);

    QList<LinhaEmissao> calculadas;
    for (int i = 0; i < linhas->RecordCount(); ++i) {
        LinhaEmissao l;
        l.item.material = linhas->ValueAt(i, linhas->FieldIndex(QStringLiteral("Material"))).toString();
        l.item.ordem = linhas->ValueAt(i, linhas->FieldIndex(QStringLiteral("Ordem"))).toInt();
        l.item.unidade = linhas->ValueAt(i, linhas->FieldIndex(QStringLiteral("Unidade"))).toString();
        l.item.tipo = QStringLiteral("C");
        l.consumo = linhas->ValueAt(i, linhas->FieldIndex(QStringLiteral("Consumo"))).toDouble();
        calculadas << l;
    }
    driver.Close();

    // 2. Recorded and written off; 3. reversed.
    const auto estorna = [&] {
        if (Escalar(db,
                    QStringLiteral("SELECT STATUS FROM FAL WHERE NUMERO = %1").arg(Aspas(kFals.first()))) ==
            QLatin1String("B"))
            EstornaEmissao(kFals.first());
    };
    const Medida baixa = Mede(estorna, [&] {
        GravaEmissao(Lote(), calculadas);
        if (const QString recusa = BaixaEstoqueEmissao(Lote()); !recusa.isEmpty())
            std::printf("write-off refused: %s\n", qPrintable(recusa));
    });
    tabela.Linha(QStringLiteral("recipe issue: %1 lines recorded and written off").arg(calculadas.size()),
                 baixa, 0, kInterativoMs);
    const Medida estorno = Mede(
        [&] {
            estorna();
            GravaEmissao(Lote(), calculadas);
            BaixaEstoqueEmissao(Lote());
        },
        [&] { EstornaEmissao(kFals.first()); });
    tabela.Linha(QStringLiteral("recipe issue: write-off of %1 lines reversed").arg(calculadas.size()),
                 estorno, 0, kInterativoMs);

    // 4. The "Acesso" page: a month of sheets, those not issued only.
    const QString ultimo =
        Escalar(db, QStringLiteral("SELECT MAX(DATA_INI) FROM FAL WHERE NUMERO < '9000000'"));
    FiltroAcesso filtro;
    filtro.ate = QDate::fromString(ultimo.left(10), Qt::ISODate);
    filtro.de = filtro.ate.addMonths(-1);
    filtro.pendentes = true;
    const QString sql = SqlAcesso(filtro);
    int listadas = 0;
    const Medida acesso = Mede([&] {
        TZoQuery q;
        q.SQL << sql;
        q.Open();
        listadas = q.RecordCount();
    });
    tabela.Linha(QStringLiteral("recipe issue: a month's sheets not issued listed (%1)").arg(listadas),
                 acesso, MotorMs(db, {sql}), kInterativoMs);

    // 5. A batch's twenty movements in one unit, rolled back: the time of one.
    MovimentoEstoque m;
    m.deposito = QStringLiteral("0001");
    m.quantidade = 0.001;
    m.documento = kFals.first();
    m.tipoMovimento = QStringLiteral("017");
    Medida movimento = Mede([&] {
        GravacaoAtomica unidade;
        TEstoque estoque;
        for (int i = 1; i <= kLinhas; ++i) {
            m.codigo = QStringLiteral("M%1").arg(i, 5, 10, QLatin1Char('0'));
            if (const QString recusa = estoque.MovimentaEstoqueMaterial(m); !recusa.isEmpty())
                std::printf("movement refused: %s\n", qPrintable(recusa));
        }
    });
    movimento.ms /= kLinhas;
    movimento.instrucoes /= kLinhas;
    // The floor: the same position update, read and movement written straight.
    QStringList direto;
    for (int i = 1; i <= kLinhas; ++i) {
        const QString codigo = QStringLiteral("'M%1'").arg(i, 5, 10, QLatin1Char('0'));
        const QString posicao =
            QStringLiteral("CODIGO = %1 AND COR = '0' AND DEPOSITO = '0001' AND LOTE = '000000'").arg(codigo);
        direto << QStringLiteral(
                      "UPDATE MAT_ITEN SET QTDE = QTDE - 0.001 WHERE %1 AND ROUND(QTDE - 0.001, 6) >= 0")
                      .arg(posicao)
               << QStringLiteral("SELECT QTDE, PRECO_MED FROM MAT_ITEN WHERE %1").arg(posicao)
               << QStringLiteral(
                      "INSERT INTO MAT_MOV (ID, CODIGO, COR, DEPOSITO, LOTE, DATA, OPERACAO, QTDE, "
                      "TIPO_MOV, TP_MOV, NUM_DOCTO) VALUES (NEXT VALUE FOR GEN_MAT_MOV_ID, %1, '0', "
                      "'0001', '000000', CURRENT_DATE, 'S', 0.001, '017', 'TG', %2)")
                      .arg(codigo, Aspas(kFals.first()));
    }
    tabela.Linha(QStringLiteral("stock: one movement of a material, in a batch of %1").arg(kLinhas),
                 movimento, MotorMs(db, direto, true) / kLinhas, 1);
    removeProprias(db);
}
