#include "FmPrincipal.h"
#include "Acesso.h"
#include "ClassRegistry.h"
#include "DataContext.h"
#include "FmTabelaHost.h"
#include "HostContext.h"
#include "HostUi.h"
#include "Mnemonicos.h"
#include "Protecao.h"
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>

namespace {
const char* const kTituloMenu = "kelmTituloMenu"; // a menu's title with its Alt letter
const char* const kJanela = "kelmJanela";         // an entry of the open-screens list

// Groups in the order a dye-house works through them.
const QStringList kGroupOrder = {
    "Cadastros",         "Receitas",  "Entrada e FAL", "Programação",      "Produção",
    "Receita e Dosagem", "Expedição", "Relatórios",    "Cadastros Gerais", "Sistema"};
} // namespace

TFmPrincipal::TFmPrincipal(QWidget* parent) : QMainWindow(parent), m_area(new QMdiArea(this)) {
    setObjectName(QStringLiteral("FmPrincipal"));
    setWindowTitle(QStringLiteral("kelm - Tinturaria e Beneficiamento"));
    m_area->setObjectName(QStringLiteral("AreaTelas"));
    m_area->setBackground(QColor(0x3a, 0x4e, 0x63));
    setCentralWidget(m_area);
    m_status = new QLabel(this);
    statusBar()->addWidget(m_status, 1);
    HostContext* context = HostContext::Current();
    auto* who = new QLabel(QStringLiteral("Usuário: %1   Banco: %2")
                               .arg(vUsuario(), context ? context->Database().Config().target() : QString()),
                           this);
    who->setObjectName(QStringLiteral("LblSessao"));
    statusBar()->addPermanentWidget(who);
    if (context) {
        context->ShowStatus = [this](const QString& text) { m_status->setText(text); };
        context->ShowScreen = [this](QWidget* screen) { Exibe(screen); };
    }
    connect(m_area, &QMdiArea::subWindowActivated, this, Protegido([this](QMdiSubWindow* window) {
                if (window && window->widget())
                    DefineTelaAtiva(window->widget());
                AjustaLetrasMenus();
            }));
    MontaMenus();
}

// An Alt letter belongs to one action at a time: a menu whose letter a button of the active screen uses
// gives it up while that screen is active (Alt+A is then the screen's "Alterar", not "Arquivo").
void TFmPrincipal::AjustaLetrasMenus() {
    QSet<QChar> screenLetters;
    if (QMdiSubWindow* window = m_area->activeSubWindow(); window && window->widget())
        for (const QAbstractButton* button : window->widget()->findChildren<QAbstractButton*>())
            if (const QChar letter = Mnemonico(button->text()); !letter.isNull())
                screenLetters.insert(letter);
    for (QAction* action : menuBar()->actions()) {
        const QString title = action->property(kTituloMenu).toString();
        action->setText(screenLetters.contains(Mnemonico(title)) ? SemMnemonico(title) : title);
    }
}

void TFmPrincipal::AtualizaJanelas(QMenu* menu) {
    for (QAction* action : menu->actions())
        if (action->property(kJanela).isValid())
            delete action;
    const QList<QMdiSubWindow*> windows = m_area->subWindowList();
    if (!windows.isEmpty())
        menu->addSeparator()->setProperty(kJanela, true);
    int number = 0;
    for (QMdiSubWindow* window : windows) {
        const QString title = window->widget() ? window->widget()->windowTitle() : window->windowTitle();
        QAction* action = menu->addAction(QStringLiteral("&%1 %2").arg(++number).arg(title.trimmed()));
        action->setProperty(kJanela, true);
        action->setCheckable(true);
        action->setChecked(window == m_area->activeSubWindow());
        connect(action, &QAction::triggered, this,
                Protegido([this, window] { m_area->setActiveSubWindow(window); }));
    }
}

TFmPrincipal::~TFmPrincipal() {
    // The screens closing with the window must not reach a half-destroyed main window.
    disconnect(m_area, nullptr, this, nullptr);
    if (HostContext* context = HostContext::Current()) {
        context->ShowStatus = nullptr;
        context->ShowScreen = nullptr;
    }
}

void TFmPrincipal::MontaMenus() {
    menuBar()->clear();
    QSet<QChar> menuLetters;
    auto addMenu = [&](const QString& title) {
        QMenu* menu = menuBar()->addMenu(ComMnemonico(title, menuLetters));
        menu->menuAction()->setProperty(kTituloMenu, menu->title());
        return menu;
    };
    QMenu* file = addMenu(QStringLiteral("Arquivo"));
    if (!vUsuarioCodigo().isEmpty()) {
        QAction* password = file->addAction(QStringLiteral("&Alterar Senha"));
        password->setObjectName(QStringLiteral("AcAlterarSenha"));
        connect(password, &QAction::triggered, this,
                Protegido([this] { (new TFmSenha(vUsuarioCodigo(), vUsuario(), this))->open(); }));
    }
    file->addAction(QStringLiteral("&Sair"), this, &QWidget::close);
    // Only the screens the user may open: administrators every one, others those whose right "A" they
    // hold (CLASSE '*' reaches every screen but users, rights and parameters).
    const QString user = vUsuarioCodigo();
    const bool admin = EhAdministrador(user);
    QMap<QString, QList<ScreenInfo>> groups;
    for (const ScreenInfo& info : RegisteredScreens())
        if (info.kind != ScreenKind::Dialog && (admin || PodeAbrir(user, info.className)))
            groups[info.group.isEmpty() ? QStringLiteral("Outros") : info.group] << info;
    QStringList order = kGroupOrder;
    for (const QString& g : groups.keys())
        if (!order.contains(g))
            order << g;
    for (const QString& group : order) {
        if (!groups.contains(group))
            continue;
        QMenu* menu = addMenu(group);
        menu->setObjectName(QStringLiteral("Menu") + group);
        QSet<QChar> itemLetters;
        for (const ScreenInfo& info : groups[group]) {
            QAction* action = menu->addAction(ComMnemonico(info.caption.trimmed(), itemLetters));
            action->setObjectName(info.className);
            const QString className = info.className;
            connect(action, &QAction::triggered, this, Protegido([this, className] { AbreTela(className); }));
        }
    }
    QMenu* windows = addMenu(QStringLiteral("Janelas"));
    windows->setObjectName(QStringLiteral("MenuJanelas"));
    connect(windows, &QMenu::aboutToShow, this, Protegido([this, windows] { AtualizaJanelas(windows); }));
    windows->addAction(QStringLiteral("&Cascata"), m_area, &QMdiArea::cascadeSubWindows);
    windows->addAction(QStringLiteral("&Lado a lado"), m_area, &QMdiArea::tileSubWindows);
    windows->addAction(QStringLiteral("&Fechar todas"), m_area, &QMdiArea::closeAllSubWindows);
}

// A screen already open comes forward instead of opening twice: two windows of one registry would share
// the same data set, its cursor and its edit.
void TFmPrincipal::AbreTela(const QString& className) {
    for (QMdiSubWindow* window : m_area->subWindowList()) {
        if (window->widget() && window->widget()->property(kClassNameProperty).toString() == className) {
            m_area->setActiveSubWindow(window);
            return;
        }
    }
    if (QWidget* screen = CreateScreen(className))
        Exibe(screen);
}

void TFmPrincipal::Exibe(QWidget* screen) {
    const ScreenInfo info = ScreenInfoOf(screen->property(kClassNameProperty).toString());
    ScreenKind kind = info.className.isEmpty() ? ScreenKind::Mdi : info.kind;
    if (kind == ScreenKind::Dialog || kind == ScreenKind::Window) {
        screen->setParent(this, kind == ScreenKind::Dialog ? Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint
                                                           : Qt::Window);
        if (kind == ScreenKind::Dialog) {
            screen->adjustSize();
            screen->setFixedSize(screen->size());
            QMdiSubWindow* opener = m_area->activeSubWindow();
            CentraDialogo(screen, opener ? opener->widget() : nullptr);
            screen->show();
        } else {
            screen->showMaximized();
        }
        DefineTelaAtiva(screen);
        return;
    }
    QMdiSubWindow* window = m_area->addSubWindow(screen);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowIcon(QIcon());
    // A screen that frees itself takes its frame along.
    connect(screen, &QObject::destroyed, window, [window] { window->close(); });
    if (kind == ScreenKind::MdiCentred) {
        window->adjustSize();
        window->show();
        window->move((m_area->width() - window->width()) / 2, (m_area->height() - window->height()) / 2);
    } else {
        window->showMaximized();
    }
    DefineTelaAtiva(screen);
}
