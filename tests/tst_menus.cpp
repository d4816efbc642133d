// The main window's menus: Alt letters of their own, never those of the active screen's buttons, and only
// the screens the user may open.
#include "Acesso.h"
#include "ClassRegistry.h"
#include "FmPrincipal.h"
#include "FmTabelaHost.h"
#include "KelmApplication.h"
#include "Mnemonicos.h"
#include "ModuleLoader.h"
#include "TestDatabase.h"
#include <QAbstractButton>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

class TstMenus : public DatabaseTestCase {
    Q_OBJECT
    ModuleLoader module;
    static QList<QChar> Letras(const QList<QAction*>& actions) {
        QList<QChar> letters;
        for (const QAction* action : actions)
            if (!action->isSeparator())
                letters << Mnemonico(action->text());
        return letters;
    }

private slots:
    void initTestCase() {
        TFmTabelaHost::RegistraTelas();
        QString error;
        QVERIFY2(module.Load(QStringLiteral("kelmTingimento"), &error), qPrintable(error));
    }
    void cleanupTestCase() { module.Unload(); }
    void menusAndScreensNeverShareALetter();
    void menusShowOnlyTheScreensTheUserMayOpen();
};

void TstMenus::menusAndScreensNeverShareALetter() {
    TFmPrincipal window;
    window.show();
    const QList<QChar> menus = Letras(window.menuBar()->actions());
    QVERIFY(!menus.contains(QChar()));
    for (QAction* menu : window.menuBar()->actions()) {
        const QList<QChar> items = Letras(menu->menu()->actions());
        QCOMPARE(QSet<QChar>(items.cbegin(), items.cend()).size(), items.size());
    }
    // Every screen's buttons: letters of their own and, while it is active, none of the menus'.
    for (const ScreenInfo& info : RegisteredScreens()) {
        // Dialogs open modally from the screen that needs them; their buttons are checked with it.
        if (info.kind == ScreenKind::Dialog)
            continue;
        const QString className = info.className;
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

// Administrators see every screen; others those whose right "A" they hold, where CLASSE '*' reaches every
// screen but users, rights and parameters.
void TstMenus::menusShowOnlyTheScreensTheUserMayOpen() {
    const auto shown = [] {
        TFmPrincipal window;
        QStringList entries;
        for (const ScreenInfo& info : RegisteredScreens())
            if (window.findChild<QAction*>(info.className))
                entries << info.className;
        if (window.findChild<QAction*>("AcAlterarSenha"))
            entries << "AcAlterarSenha";
        return entries;
    };
    QStringList every; // dialogs open from their screens, not from the menus
    for (const ScreenInfo& info : RegisteredScreens())
        if (info.kind != ScreenKind::Dialog)
            every << info.className;
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

    // Every ordinary screen through '*'; the administration screens only by their own right.
    Sql("INSERT INTO ACESSO_DIREITOS (USUARIO, CLASSE, LETRA, NIVEL) VALUES ('002', '*', 'A', 0)");
    Sql("INSERT INTO ACESSO_DIREITOS (USUARIO, CLASSE, LETRA, NIVEL) VALUES ('002', 'TFmHostParametros', "
        "'A', 0)");
    db->Transaction()->CommitRetaining();
    QStringList expected = every;
    expected.removeAll("TFmHostUsuarios");
    expected.removeAll("TFmHostDireitos");
    expected.removeAll("TFmHostPeriodoConciliado");
    QCOMPARE(shown(), expected);
}

int main(int argc, char** argv) {
    KelmApplication app(argc, argv);
    TstMenus test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_menus.moc"
