// The main window's menus: every menu and entry has an Alt letter of its own, a screen's buttons keep theirs
// while it is active, and "Janelas" lists the open screens.
#include "Acesso.h"
#include "ClassRegistry.h"
#include "FmPrincipal.h"
#include "FmTabelaHost.h"
#include "KelmApplication.h"
#include "Mnemonicos.h"
#include "TestDatabase.h"
#include <QAbstractButton>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

class TstMenus : public DatabaseTestCase {
    Q_OBJECT
    static QList<QChar> Letras(const QList<QAction*>& actions) {
        QList<QChar> letters;
        for (const QAction* action : actions)
            if (!action->isSeparator())
                letters << Mnemonico(action->text());
        return letters;
    }

private slots:
    void initTestCase() { TFmTabelaHost::RegistraTelas(); }
    void letrasEscolhidas_data();
    void letrasEscolhidas();
    void menusAndScreensNeverShareALetter();
    void windowsMenuListsTheOpenScreens();
    void menusShowOnlyTheScreensTheUserMayOpen();
    void qtTextsInPortuguese();
};

// Qt's own buttons and dialogs speak the users' language.
void TstMenus::qtTextsInPortuguese() {
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancelar"));
    QCOMPARE(QCoreApplication::translate("QFileDialog", "Open"), QStringLiteral("Abrir"));
}

void TstMenus::letrasEscolhidas_data() {
    QTest::addColumn<QString>("usadas");
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("marcado");
    QTest::newRow("primeira letra") << ""
                                    << "Arquivo"
                                    << "&Arquivo";
    QTest::newRow("outra palavra") << "C"
                                   << "Cadastros Gerais"
                                   << "Cadastros &Gerais";
    QTest::newRow("dentro da palavra") << "CG"
                                       << "Cadastros Gerais"
                                       << "C&adastros Gerais";
    QTest::newRow("acentuada") << "E"
                               << "Expedição"
                               << "E&xpedição";
    QTest::newRow("e comercial") << "R"
                                 << "Rolos & Etiquetas"
                                 << "Rolos && &Etiquetas";
    QTest::newRow("marca antiga") << ""
                                  << "&Fechar"
                                  << "&Fechar";
    QTest::newRow("sem letra livre") << "AB"
                                     << "Ab"
                                     << "Ab";
}

void TstMenus::letrasEscolhidas() {
    QFETCH(QString, usadas);
    QFETCH(QString, texto);
    QFETCH(QString, marcado);
    QSet<QChar> used(usadas.cbegin(), usadas.cend());
    const int before = int(used.size());
    QCOMPARE(ComMnemonico(texto, used), marcado);
    if (!texto.contains('&'))
        QCOMPARE(SemMnemonico(marcado), texto);
    QCOMPARE(int(used.size()), before + (Mnemonico(marcado).isNull() ? 0 : 1));
}

void TstMenus::menusAndScreensNeverShareALetter() {
    TFmPrincipal window;
    window.show();
    const QList<QChar> menus = Letras(window.menuBar()->actions());
    QVERIFY(!menus.contains(QChar()));
    QCOMPARE(QSet<QChar>(menus.cbegin(), menus.cend()).size(), menus.size());
    for (QAction* menu : window.menuBar()->actions()) {
        const QList<QChar> items = Letras(menu->menu()->actions());
        QCOMPARE(QSet<QChar>(items.cbegin(), items.cend()).size(), items.size());
    }

    // Every screen the menus open: its buttons' letters differ from each other and, while it is active,
    // from the menus'.
    for (const QString& className : RegisteredClasses()) {
        window.AbreTela(className);
        QMdiSubWindow* active = window.Area()->activeSubWindow();
        QVERIFY2(active, qPrintable(className));
        QList<QChar> buttons;
        for (const QAbstractButton* b : active->widget()->findChildren<QAbstractButton*>())
            if (const QChar letter = Mnemonico(b->text()); !letter.isNull())
                buttons << letter;
        QVERIFY2(QSet<QChar>(buttons.cbegin(), buttons.cend()).size() == buttons.size(),
                 qPrintable(className));
        for (const QChar letter : Letras(window.menuBar()->actions()))
            QVERIFY2(letter.isNull() || !buttons.contains(letter), qPrintable(className + ": " + letter));
        active->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // With no screen, the menus have their letters back.
    window.AjustaLetrasMenus();
    QCOMPARE(Letras(window.menuBar()->actions()), menus);
}

void TstMenus::windowsMenuListsTheOpenScreens() {
    TFmPrincipal window;
    window.show();
    window.AbreTela("TFmHostRegiao");
    window.AbreTela("TFmHostTurno");
    auto* menu = window.findChild<QMenu*>("MenuJanelas");
    QVERIFY(menu);
    emit menu->aboutToShow();
    QStringList listed;
    for (QAction* action : menu->actions())
        if (action->isCheckable())
            listed << SemMnemonico(action->text()) + (action->isChecked() ? "*" : "");
    QCOMPARE(listed, QStringList({"1 Regiões de Preço", "2 Turnos*"}));
    menu->actions().constFirst()->trigger(); // still the fixed entries first
    emit menu->aboutToShow();
    for (QAction* action : menu->actions())
        if (action->isCheckable() && action->text().contains("Regiões"))
            action->trigger();
    QCOMPARE(window.Area()->activeSubWindow()->widget()->windowTitle(), QStringLiteral("Regiões de Preço"));
    window.Area()->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A hidden entry, not a late refusal: administrators see every screen; others those whose right "A" they
// hold, where CLASSE '*' reaches every screen but users, rights and parameters.
void TstMenus::menusShowOnlyTheScreensTheUserMayOpen() {
    const auto shown = [] {
        TFmPrincipal window;
        QStringList entries;
        for (const QString& className : RegisteredClasses())
            if (window.findChild<QAction*>(className))
                entries << className;
        if (window.findChild<QAction*>("AcAlterarSenha"))
            entries << "AcAlterarSenha";
        return entries;
    };
    QStringList every = RegisteredClasses();
    every << "AcAlterarSenha";
    QCOMPARE(shown(), every); // the administrator

    Sql(QStringLiteral("INSERT INTO ACESSO_USUARIOS (CODIGO, NOME, SENHA, SUPERVISOR, ADMINISTRADOR, ATIVO) "
                       "VALUES ('002', 'OPERADOR', '%1', 'N', 'N', 'S')")
            .arg(HashSenha("002", "op")));
    Sql("INSERT INTO ACESSO_DIREITOS (USUARIO, CLASSE, LETRA, NIVEL) VALUES ('002', 'TFmHostRegiao', 'A', "
        "0)");
    db->Transaction()->CommitRetaining();
    QVERIFY(Autentica("OPERADOR", "op"));
    QCOMPARE(shown(), QStringList({"TFmHostRegiao", "AcAlterarSenha"}));
    {
        TFmPrincipal window;
        QVERIFY(!window.findChild<QMenu*>("MenuSistema")); // a menu with nothing to open is not there
        QVERIFY(window.findChild<QMenu*>("MenuCadastros Gerais"));
    }

    // Every ordinary screen through '*'; the administration screens only by their own right.
    Sql("INSERT INTO ACESSO_DIREITOS (USUARIO, CLASSE, LETRA, NIVEL) VALUES ('002', '*', 'A', 0)");
    Sql("INSERT INTO ACESSO_DIREITOS (USUARIO, CLASSE, LETRA, NIVEL) VALUES ('002', 'TFmHostParametros', "
        "'A', 0)");
    db->Transaction()->CommitRetaining();
    QStringList expected = every;
    expected.removeAll("TFmHostUsuarios");
    expected.removeAll("TFmHostDireitos");
    QCOMPARE(shown(), expected);
}

int main(int argc, char** argv) {
    KelmApplication app(argc, argv);
    TstMenus test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_menus.moc"
