#include "FmPrincipal.h"
#include "ClassRegistry.h"
#include "DataContext.h"
#include "HostContext.h"
#include "HostUi.h"
#include "Protecao.h"
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>

namespace {
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
    connect(m_area, &QMdiArea::subWindowActivated, this, [](QMdiSubWindow* window) {
        if (window && window->widget())
            DefineTelaAtiva(window->widget());
    });
    MontaMenus();
}

TFmPrincipal::~TFmPrincipal() {
    if (HostContext* context = HostContext::Current()) {
        context->ShowStatus = nullptr;
        context->ShowScreen = nullptr;
    }
}

void TFmPrincipal::MontaMenus() {
    menuBar()->clear();
    QMenu* file = menuBar()->addMenu(QStringLiteral("&Arquivo"));
    file->addAction(QStringLiteral("&Sair"), this, &QWidget::close);
    QMap<QString, QList<ScreenInfo>> groups;
    for (const ScreenInfo& info : RegisteredScreens())
        if (info.kind != ScreenKind::Dialog)
            groups[info.group.isEmpty() ? QStringLiteral("Outros") : info.group] << info;
    QStringList order = kGroupOrder;
    for (const QString& g : groups.keys())
        if (!order.contains(g))
            order << g;
    for (const QString& group : order) {
        if (!groups.contains(group))
            continue;
        QMenu* menu = menuBar()->addMenu(group);
        menu->setObjectName(QStringLiteral("Menu") + group);
        for (const ScreenInfo& info : groups[group]) {
            QAction* action = menu->addAction(info.caption.trimmed());
            action->setObjectName(info.className);
            const QString className = info.className;
            connect(action, &QAction::triggered, this, Protegido([this, className] { AbreTela(className); }));
        }
    }
    QMenu* windows = menuBar()->addMenu(QStringLiteral("&Janelas"));
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
            screen->move(geometry().center() - screen->rect().center());
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
