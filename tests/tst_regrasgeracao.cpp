// The generation's own rules as tables: the fibres against the variant's index, the fields an item cannot
// lack and the order they are told in, a fabric and lot repeated, the kind of the new sheet, its delivery,
// the remainder offered to an item, the number typed for the sheet and the invoice lot an item names.
#include "RegrasGeracao.h"
#include <QTest>

namespace {
const QString kSomaFibras = QStringLiteral("A soma das Fibras deve ser Zero ou 100.");
const QString kIndiceVariante = QStringLiteral("Esta Variante deve ter percentual de Fibra.");

ItemGeracao Completo() {
    ItemGeracao item;
    item.codigo = QStringLiteral("T1");
    item.cor = QStringLiteral("AZUL");
    item.variante = QStringLiteral("01");
    item.fluxo = QStringLiteral("R1");
    item.peso = 10;
    return item;
}

ItemGeracao Tecido(const QString& codigo, const QString& lote, const QString& tingir = {}) {
    ItemGeracao item = Completo();
    item.codigo = codigo;
    item.lote = lote;
    item.tingir = tingir;
    return item;
}
} // namespace

class TstRegrasGeracao : public QObject {
    Q_OBJECT

private slots:
    void fibres_data();
    void fibres();
    void requiredFields_data();
    void requiredFields();
    void duplicatedItem_data();
    void duplicatedItem();
    void kindOfTheSheet_data();
    void kindOfTheSheet();
    void delivery_data();
    void delivery();
    void remainderOffered_data();
    void remainderOffered();
    void sheetNumber_data();
    void sheetNumber();
    void invoiceLot_data();
    void invoiceLot();
};

void TstRegrasGeracao::fibres_data() {
    QTest::addColumn<int>("fibra1");
    QTest::addColumn<int>("fibra2");
    QTest::addColumn<QString>("indice");
    QTest::addColumn<QString>("recusa");
    QTest::newRow("60/40") << 60 << 40 << ""
                           << "";
    QTest::newRow("100/0") << 100 << 0 << "50"
                           << "";
    QTest::newRow("0/100") << 0 << 100 << ""
                           << "";
    QTest::newRow("60/30") << 60 << 30 << "" << kSomaFibras;
    QTest::newRow("60/41") << 60 << 41 << "100" << kSomaFibras;
    QTest::newRow("só a primeira, 50") << 50 << 0 << "" << kSomaFibras;
    QTest::newRow("0/0, índice vazio") << 0 << 0 << ""
                                       << "";
    QTest::newRow("0/0, índice em branco") << 0 << 0 << "   "
                                           << "";
    QTest::newRow("0/0, índice 0") << 0 << 0 << "0"
                                   << "";
    QTest::newRow("0/0, índice 100") << 0 << 0 << "100"
                                     << "";
    QTest::newRow("0/0, índice 100 com espaços") << 0 << 0 << " 100 "
                                                 << "";
    QTest::newRow("0/0, índice 100,0") << 0 << 0 << "100,0"
                                       << "";
    QTest::newRow("0/0, índice 50") << 0 << 0 << "50" << kIndiceVariante;
    QTest::newRow("0/0, índice 99,9") << 0 << 0 << "99,9" << kIndiceVariante;
    QTest::newRow("0/0, índice 100,5") << 0 << 0 << "100,5" << kIndiceVariante;
    QTest::newRow("0/0, índice que não é número") << 0 << 0 << "X" << kIndiceVariante;
}

void TstRegrasGeracao::fibres() {
    QFETCH(int, fibra1);
    QFETCH(int, fibra2);
    QFETCH(QString, indice);
    QTEST(RecusaFibras(fibra1, fibra2, indice), "recusa");
}

void TstRegrasGeracao::requiredFields_data() {
    QTest::addColumn<QString>("falta");
    QTest::addColumn<QString>("recusa");
    QTest::newRow("completo") << ""
                              << "";
    QTest::newRow("sem tecido") << "codigo"
                                << "Código do Tecido Inválido.";
    QTest::newRow("tecido em branco") << "codigo-branco"
                                      << "Código do Tecido Inválido.";
    QTest::newRow("sem cor") << "cor"
                             << "Código da Cor Inválido.";
    QTest::newRow("sem variante") << "variante"
                                  << "Código da Variante Inválido.";
    QTest::newRow("sem fluxo") << "fluxo"
                               << "Código do Fluxo Inválido.";
    QTest::newRow("sem peso") << "peso"
                              << "Peso deve ser maior que 0.";
    QTest::newRow("peso negativo") << "peso-negativo"
                                   << "Peso deve ser maior que 0.";
    QTest::newRow("sem nada: o tecido primeiro") << "tudo"
                                                 << "Código do Tecido Inválido.";
    QTest::newRow("sem cor nem fluxo: a cor primeiro") << "cor,fluxo"
                                                       << "Código da Cor Inválido.";
}

void TstRegrasGeracao::requiredFields() {
    QFETCH(QString, falta);
    ItemGeracao item = Completo();
    const QStringList faltas = falta == QLatin1String("tudo")
                                   ? QStringList{"codigo", "cor", "variante", "fluxo", "peso"}
                                   : falta.split(',', Qt::SkipEmptyParts);
    for (const QString& campo : faltas) {
        if (campo == QLatin1String("codigo"))
            item.codigo.clear();
        else if (campo == QLatin1String("codigo-branco"))
            item.codigo = QStringLiteral("   ");
        else if (campo == QLatin1String("cor"))
            item.cor.clear();
        else if (campo == QLatin1String("variante"))
            item.variante.clear();
        else if (campo == QLatin1String("fluxo"))
            item.fluxo.clear();
        else if (campo == QLatin1String("peso"))
            item.peso = 0;
        else if (campo == QLatin1String("peso-negativo"))
            item.peso = -20;
    }
    QTEST(RecusaObrigatorios(item), "recusa");
}

void TstRegrasGeracao::duplicatedItem_data() {
    QTest::addColumn<QStringList>("itens"); // "codigo|lote"
    QTest::addColumn<int>("indice");
    QTest::addColumn<bool>("duplicado");
    QTest::newRow("sozinho") << QStringList{"T1|L1"} << 0 << false;
    QTest::newRow("mesmo tecido e lote") << QStringList{"T1|L1", "T1|L1"} << 1 << true;
    QTest::newRow("o primeiro também") << QStringList{"T1|L1", "T2|L1", "T1|L1"} << 0 << true;
    QTest::newRow("mesmo tecido, outro lote") << QStringList{"T1|L1", "T1|L2"} << 0 << false;
    QTest::newRow("outro tecido, mesmo lote") << QStringList{"T1|L1", "T2|L1"} << 1 << false;
    QTest::newRow("espaços não contam") << QStringList{"T1 |L1", " T1| L1 "} << 0 << true;
    QTest::newRow("sem lote, mesmo tecido") << QStringList{"T1|", "T1|"} << 1 << true;
    QTest::newRow("o repetido é outro") << QStringList{"T1|L1", "T2|L2", "T2|L2"} << 0 << false;
    // fabric|lot|invoice|invoice lot: the sheet stores the invoice's lot
    QTest::newRow("mesmo lote da nota") << QStringList{"T1|P1|N1|L9", "T1|P2|N1|L9"} << 0 << true;
    QTest::newRow("lote da nota é o do outro") << QStringList{"T1|L9|N1|", "T1|P2|N1|L9"} << 1 << true;
    QTest::newRow("lotes da nota diferentes") << QStringList{"T1|P1|N1|L8", "T1|P2|N1|L9"} << 0 << false;
}

void TstRegrasGeracao::duplicatedItem() {
    QFETCH(QStringList, itens);
    QList<ItemGeracao> selecionados;
    for (const QString& item : itens) {
        selecionados << Tecido(item.section('|', 0, 0), item.section('|', 1, 1));
        selecionados.last().nota = item.section('|', 2, 2);
        selecionados.last().loteNF = item.section('|', 3, 3);
    }
    QFETCH(int, indice);
    QTEST(ItemDuplicado(selecionados, indice), "duplicado");
}

void TstRegrasGeracao::kindOfTheSheet_data() {
    QTest::addColumn<QStringList>("tingir");
    QTest::addColumn<int>("tipo");
    QTest::newRow("todas tingidas") << QStringList{"S", "S"} << 1;
    QTest::newRow("sem marca") << QStringList{"", ""} << 1;
    QTest::newRow("uma não tingida") << QStringList{"S", "N"} << 5;
    QTest::newRow("não tingida com espaços") << QStringList{" N "} << 5;
    QTest::newRow("nenhum item") << QStringList{} << 1;
}

void TstRegrasGeracao::kindOfTheSheet() {
    QFETCH(QStringList, tingir);
    QList<ItemGeracao> selecionados;
    for (const QString& marca : tingir)
        selecionados << Tecido(QStringLiteral("T%1").arg(selecionados.size()), {}, marca);
    QTEST(TipoDaGeracao(selecionados), "tipo");
}

void TstRegrasGeracao::delivery_data() {
    QTest::addColumn<int>("dias");
    QTest::addColumn<QDate>("entrega");
    const QDate programa(2026, 12, 10), hoje(2026, 11, 28);
    QTest::newRow("roteiro sem dias: a da programação") << 0 << programa;
    QTest::newRow("dias negativos: a da programação") << -3 << programa;
    QTest::newRow("5 dias: hoje + 5") << 5 << QDate(2026, 12, 3);
    QTest::newRow("passa a da programação") << 20 << QDate(2026, 12, 18);
    QTest::newRow("1 dia") << 1 << QDate(2026, 11, 29);
}

void TstRegrasGeracao::delivery() {
    QFETCH(int, dias);
    QTEST(EntregaDaFal(QDate(2026, 12, 10), dias, QDate(2026, 11, 28)), "entrega");
}

void TstRegrasGeracao::remainderOffered_data() {
    QTest::addColumn<double>("saldo");
    QTest::addColumn<double>("peso");
    QTest::addColumn<bool>("oferece");
    QTest::newRow("sobra 0,05") << 100.05 << 100.0 << true;
    QTest::newRow("sobra 0,0999") << 100.0999 << 100.0 << true;
    QTest::newRow("sobra 0,0001") << 100.0001 << 100.0 << true;
    QTest::newRow("sobra 0,1") << 100.1 << 100.0 << false;
    QTest::newRow("sobra 0,1 em pesos quebrados") << 80.3 << 80.2 << false;
    QTest::newRow("sobra 1") << 101.0 << 100.0 << false;
    QTest::newRow("nada sobra") << 100.0 << 100.0 << false;
    QTest::newRow("sobra abaixo da quarta casa") << 100.00001 << 100.0 << false;
    QTest::newRow("falta") << 99.95 << 100.0 << false;
    QTest::newRow("saldo zerado") << 0.0 << 0.05 << false;
}

void TstRegrasGeracao::remainderOffered() {
    QFETCH(double, saldo);
    QFETCH(double, peso);
    QTEST(OfereceAjuste(saldo, peso), "oferece");
}

void TstRegrasGeracao::sheetNumber_data() {
    QTest::addColumn<QString>("numero");
    QTest::addColumn<bool>("aceito");
    QTest::newRow("vazio") << "" << false;
    QTest::newRow("12") << "12" << false;
    QTest::newRow("12 entre espaços") << " 12 " << false;
    QTest::newRow("123") << "123" << true;
    QTest::newRow("123 entre espaços") << "  123 " << true;
    QTest::newRow("6 dígitos") << "000123" << true;
    QTest::newRow("7 dígitos") << "1234567" << true;
    QTest::newRow("8 dígitos") << "12345678" << false;
}

void TstRegrasGeracao::sheetNumber() {
    QFETCH(QString, numero);
    QFETCH(bool, aceito);
    QCOMPARE(RecusaNumeroFal(numero), aceito ? QString() : QStringLiteral("Número da FAL inválido."));
}

void TstRegrasGeracao::invoiceLot_data() {
    QTest::addColumn<QString>("loteNF");
    QTest::addColumn<QString>("lote");
    QTest::addColumn<QString>("daNota");
    QTest::newRow("o da nota") << "L2"
                               << "L1"
                               << "L2";
    QTest::newRow("sem o da nota, o próprio") << ""
                                              << "L1"
                                              << "L1";
    QTest::newRow("o da nota em branco") << "   "
                                         << " L1 "
                                         << "L1";
    QTest::newRow("nenhum") << ""
                            << ""
                            << "";
}

void TstRegrasGeracao::invoiceLot() {
    QFETCH(QString, loteNF);
    QFETCH(QString, lote);
    QTEST(LoteDaNota(loteNF, lote), "daNota");
}

QTEST_MAIN(TstRegrasGeracao)
#include "tst_regrasgeracao.moc"
