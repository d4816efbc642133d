// Whether work may be taken for a customer, from the two flags as stored.
#include "RegrasCliente.h"
#include <QTest>

class TstRegrasCliente : public QObject {
    Q_OBJECT

private slots:
    void situacao_data();
    void situacao();
};

void TstRegrasCliente::situacao_data() {
    QTest::addColumn<QVariant>("ativo");
    QTest::addColumn<QVariant>("bloqueio");
    QTest::addColumn<QString>("recusa");
    const QVariant nulo(QMetaType::fromType<QString>());
    const QString bloqueado = "Cliente Bloqueado.", inativo = "Cliente Inativo.";
    QTest::newRow("ativo, livre") << QVariant("S") << QVariant("N") << QString();
    QTest::newRow("bloqueado") << QVariant("S") << QVariant("S") << bloqueado;
    QTest::newRow("inativo") << QVariant("N") << QVariant("N") << inativo;
    QTest::newRow("inativo e bloqueado") << QVariant("N") << QVariant("S") << bloqueado;
    QTest::newRow("linha antiga, ambos nulos") << nulo << nulo << QString();
    QTest::newRow("ativo nulo, bloqueado") << nulo << QVariant("S") << bloqueado;
    QTest::newRow("inativo, bloqueio nulo") << QVariant("N") << nulo << inativo;
    QTest::newRow("em branco") << QVariant(" ") << QVariant("") << QString();
}

void TstRegrasCliente::situacao() {
    QFETCH(QVariant, ativo);
    QFETCH(QVariant, bloqueio);
    QTEST(RecusaCliente(ativo, bloqueio), "recusa");
}

QTEST_MAIN(TstRegrasCliente)
#include "tst_regrascliente.moc"
