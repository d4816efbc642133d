#include "BenchEtiquetas.h"
#include "DataAccess.h"
#include "Estoque.h"
#include "Etiqueta.h"
#include "Funcoes.h"
#include "GravacaoAtomica.h"
#include "InstrucoesEmLote.h"
#include "LeiturasEtiqueta.h"
#include "Medicao.h"
#include "RegrasEtiqueta.h"
#include "ScreenDriver.h"
#include "TClientDataSet.h"
#include "TZoDatabase.h"
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

// Roll labels on the generated years: a sheet of the section's own with 50 items of 6 rolls each, every
// roll weighed; its label table built, its 300 rolls posted to stock (rolled back between runs) and its 300
// labels written as one PDF.
namespace {
const QString kFal = QStringLiteral("9700001");
constexpr int kItens = 50, kRolos = 6;
} // namespace

void BenchEtiquetas(TZoDatabase& db, ScriptedMessageService& messages) {
    TabelaBench& tabela = TabelaBench::Global();
    const QStringList produtos =
        Linhas(db, QStringLiteral("SELECT FIRST %1 CODIGO FROM PRODUTO ORDER BY CODIGO").arg(kItens));
    const QStringList fal =
        PrimeiraLinha(db, QStringLiteral("SELECT FIRST 1 CLIENTE, COR FROM FAL ORDER BY NUMERO DESC"));
    if (produtos.size() < kItens || fal.size() < 2)
        return;
    QTemporaryDir pasta;
    QFile ini(pasta.filePath(QStringLiteral("kelm.ini")));
    if (!ini.open(QIODevice::WriteOnly))
        return;
    ini.write(("[Caminho]\npath=" + pasta.path() + "\n").toUtf8());
    ini.close();
    const QByteArray iniAntes = qgetenv("KELM_INI");
    qputenv("KELM_INI", ini.fileName().toUtf8());
    {
        InstrucoesEmLote lote(db);
        lote.Adiciona(
            QStringLiteral("INSERT INTO FAL (NUMERO, CLIENTE, COR, VARIANTE, NUM_REPROC) VALUES (%1, %2, "
                           "%3, '01', '')")
                .arg(Aspas(kFal), Aspas(fal[0]), Aspas(fal[1])));
        for (int i = 0; i < kItens; ++i) {
            lote.Adiciona(
                QStringLiteral("INSERT INTO FAL_ITEN (FAL, CODIGO, LOTE, ORD_IT, ROLO, PESO, LARGURA, "
                               "GRAMATURA, FATURADO) VALUES (%1, %2, %3, %4, %5, 120, 1.8, 160, 'A')")
                    .arg(Aspas(kFal), Aspas(produtos[i]), Aspas(QStringLiteral("L%1").arg(i)))
                    .arg(i + 1)
                    .arg(kRolos));
            for (int r = 1; r <= kRolos; ++r)
                lote.Adiciona(
                    QStringLiteral("INSERT INTO CONTR_QUL (FAL, CODIGO, ORDEM, PESO_TINT) VALUES (%1, "
                                   "%2, %3, %4)")
                        .arg(Aspas(kFal), Aspas(produtos[i]))
                        .arg(i * kRolos + r)
                        .arg(PermanecePonto(18 + r * 0.35)));
        }
        lote.Executa();
        db.Transaction()->CommitRetaining();
    }

    TClientDataSet etiquetas;
    CriaTabelaEtiquetas(etiquetas);
    PedidoEtiquetas pedido;
    pedido.fal = kFal;
    pedido.tara = 0.5;
    const Medida carga = Mede([&] { CarregaEtiquetas(etiquetas, pedido); });
    tabela.Linha(QStringLiteral("labels: a sheet of 50 items and 300 rolls loaded"), carga, 0, kInterativoMs);

    PedidoEstoqueRolos estoque;
    estoque.fal = kFal;
    estoque.cliente = fal[0];
    estoque.deposito = DepositoPrioritario();
    estoque.baixarItens = true;
    estoque.produtos = true;
    for (int i = 0; i < etiquetas.RecordCount(); ++i)
        estoque.rolos.append({etiquetas.TextoEm(i, QStringLiteral("Codigo")),
                              etiquetas.TextoEm(i, QStringLiteral("Cor")),
                              etiquetas.TextoEm(i, QStringLiteral("Lote")),
                              etiquetas.NumeroEm(i, QStringLiteral("Peso_Liq"))});
    QString recusa;
    const Medida lancamento = Mede([&] {
        // Inside a unit of the bench's own, never committed: every run posts the same rolls.
        GravacaoAtomica fora;
        recusa = LancaEstoqueRolos(estoque, nullptr).recusa;
    });
    if (!recusa.isEmpty())
        std::printf("stock refused: %s\n", qPrintable(recusa));
    tabela.Linha(QStringLiteral("labels: 300 rolls posted to stock (rolled back)"), lancamento, 0, 1000);

    InstalaLayoutsEtiqueta();
    QList<int> linhas;
    for (int i = 0; i < etiquetas.RecordCount(); ++i) {
        etiquetas.MoveTo(i);
        etiquetas.Edit();
        etiquetas.FieldByName(QStringLiteral("Barra")) = MontaBarra(
            etiquetas.NumeroEm(i, QStringLiteral("Peso")), etiquetas.TextoEm(i, QStringLiteral("Codigo")),
            etiquetas.TextoEm(i, QStringLiteral("Cor")), etiquetas.TextoEm(i, QStringLiteral("Lote")), i + 1);
        etiquetas.Post();
        linhas << i;
    }
    PedidoEtiqueta impressao;
    impressao.layout = QStringLiteral("WTngEtq01");
    impressao.flags = QStringLiteral("P");
    const Medida pdf = Mede([&] { ImprimeEtiquetas(impressao, etiquetas, linhas, nullptr); }, 3);
    MostraMensagens(messages, "labels");
    tabela.Linha(QStringLiteral("labels: 300 labels written as a PDF"), pdf, 0, 3000);

    Executa(db, QStringLiteral("DELETE FROM CONTR_QUL WHERE FAL = %1").arg(Aspas(kFal)));
    Executa(db, QStringLiteral("DELETE FROM FAL_ITEN WHERE FAL = %1").arg(Aspas(kFal)));
    Executa(db, QStringLiteral("DELETE FROM FAL WHERE NUMERO = %1").arg(Aspas(kFal)));
    db.Transaction()->CommitRetaining();
    if (iniAntes.isEmpty())
        qunsetenv("KELM_INI");
    else
        qputenv("KELM_INI", iniAntes);
}
