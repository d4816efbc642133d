#include "HostUi.h"
#include "ClassRegistry.h"
#include "HostContext.h"
#include "HostError.h"
#include "LocalSettings.h"
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QProcess>
#include <QRadioButton>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace {
const char* const kPictureSuffixes[] = {"png", "jpg", "jpeg", "bmp", "gif", "txt", "rtf"};

HostContext& context() {
    HostContext* current = HostContext::Current();
    if (!current)
        throw EDatabaseError(QStringLiteral("Nenhum contexto do sistema aberto."));
    return *current;
}
} // namespace

void Ocupado(bool busy, QWidget* screen, const QString& text) {
    Q_UNUSED(screen);
    context().Busy(busy, text);
}

void TrataErro(const QString& text) {
    context().HandleError(text);
}

namespace {
// The radio buttons that Tab passes over as one stop: those of the same exclusive group or parent.
bool MesmoGrupo(QWidget* a, QWidget* b) {
    auto* ra = qobject_cast<QRadioButton*>(a);
    auto* rb = qobject_cast<QRadioButton*>(b);
    if (!ra || !rb)
        return false;
    if (ra->group() || rb->group())
        return ra->group() == rb->group();
    return ra->autoExclusive() && rb->autoExclusive() && ra->parentWidget() == rb->parentWidget();
}

bool DentroDeGrade(QWidget* w) {
    for (QWidget* p = w; p; p = p->parentWidget())
        if (qobject_cast<QAbstractItemView*>(p))
            return true;
    return false;
}
} // namespace

QWidget* ControleSeguinte(QWidget* screen, QWidget* from, bool forward) {
    if (!screen || !from)
        return nullptr;
    // A control with a focus proxy is reached through the proxy, as Qt's own Tab does.
    const auto alcancavel = [&](QWidget* w) {
        return screen->isAncestorOf(w) && (from == screen || !from->isAncestorOf(w)) && w->isEnabled() &&
               w->isVisible() && (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy();
    };
    for (QWidget* w = forward ? from->nextInFocusChain() : from->previousInFocusChain(); w && w != from;
         w = forward ? w->nextInFocusChain() : w->previousInFocusChain())
        if (alcancavel(w))
            return w;
    return nullptr;
}

bool pSetFocus(QWidget* screen, QKeyEvent* key) {
    if (!screen || !key || (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
        (key->modifiers() & ~Qt::KeypadModifier))
        return false;
    QWidget* focused = QApplication::focusWidget();
    if (!focused || !screen->isAncestorOf(focused))
        return false;
    // Multi-line editors and grids (their cell editors too) keep Enter for themselves.
    if (focused->inherits("QPlainTextEdit") || focused->inherits("QTextEdit") || DentroDeGrade(focused))
        return false;
    // A button is pressed by Enter as by Space; check boxes and radio buttons are left, as by Tab.
    auto* button = qobject_cast<QAbstractButton*>(focused);
    if (button && !qobject_cast<QCheckBox*>(button) && !qobject_cast<QRadioButton*>(button)) {
        button->click();
        return true;
    }
    // A radio group is one stop.
    QWidget* next = ControleSeguinte(screen, focused);
    while (next && MesmoGrupo(focused, next))
        next = ControleSeguinte(screen, next);
    if (next)
        next->setFocus(Qt::TabFocusReason);
    return true;
}

void CentraDialogo(QWidget* dialog, QWidget* opener) {
    QWidget* over = opener && opener->isVisible() ? opener : dialog->parentWidget();
    QScreen* desktop = over ? over->screen() : QGuiApplication::primaryScreen();
    if (!desktop)
        return;
    const QRect area = desktop->availableGeometry();
    const QPoint centre = over ? over->mapToGlobal(over->rect().center()) : area.center();
    const QSize size = dialog->frameGeometry().size();
    // A dialog larger than the desktop keeps its top-left corner, and its title bar, in view.
    const auto limita = [](int v, int menor, int maior) { return std::max(menor, std::min(v, maior)); };
    dialog->move(
        limita(centre.x() - size.width() / 2, area.left(), area.x() + area.width() - size.width()),
        limita(centre.y() - size.height() / 2, area.top(), area.y() + area.height() - size.height()));
}

QWidget* Carrega_Form(const QString& moduleFile, const QString& className, const QString& param, bool modal,
                      bool hidden) {
    ArgumentosTela arguments;
    if (!param.isEmpty()) {
        const QStringList declared = ScreenInfoOf(className).arguments;
        if (declared.isEmpty() && ClassRegistered(className))
            throw EDatabaseError(QStringLiteral("A tela %1 não recebe argumentos.").arg(className));
        arguments.insert(declared.value(0), param);
    }
    return Carrega_Form(moduleFile, className, arguments, modal, hidden);
}

QWidget* Carrega_Form(const QString& moduleFile, const QString& className, const ArgumentosTela& arguments,
                      bool modal, bool hidden) {
    Q_UNUSED(moduleFile);
    if (!ClassRegistered(className))
        return nullptr;
    const QStringList declared = ScreenInfoOf(className).arguments;
    for (auto it = arguments.cbegin(); it != arguments.cend(); ++it)
        if (!declared.contains(it.key()))
            throw EDatabaseError(
                QStringLiteral("A tela %1 não recebe o argumento %2.").arg(className, it.key()));
    HostContext* current = HostContext::Current();
    QWidget* opener = current ? current->ActiveScreen() : nullptr;
    QWidget* screen = CreateScreen(className);
    if (!screen)
        return nullptr;
    if (!arguments.isEmpty()) {
        auto* receiver = dynamic_cast<RecebeArgumentos*>(screen);
        if (!receiver) {
            delete screen;
            throw EDatabaseError(QStringLiteral("A tela %1 não recebe argumentos.").arg(className));
        }
        try {
            receiver->Argumentos(arguments);
        } catch (...) {
            delete screen;
            throw;
        }
    }
    if (hidden)
        return screen;
    if (modal) {
        // A window of its own would open wherever the desktop puts it: in a corner, over the menus.
        screen->setParent(opener ? opener->window() : nullptr, Qt::Dialog);
        screen->setWindowModality(Qt::ApplicationModal);
        CentraDialogo(screen, opener);
        screen->show();
    } else if (current && current->ShowScreen) {
        current->ShowScreen(screen);
    } else {
        screen->show();
    }
    return screen;
}

QString PastaBase() {
    const QString base = LeIni(QStringLiteral("Caminho"), QStringLiteral("path"));
    return base.isEmpty() ? QDir::homePath() + QStringLiteral("/kelm") : base;
}

bool NomeArquivoSeguro(const QString& nome) {
    return !nome.isEmpty() && !nome.contains(QLatin1Char('/')) && !nome.contains(QLatin1Char('\\')) &&
           !nome.contains(QLatin1String(".."));
}

QString PastaArquivos(int kind) {
    const QString base = PastaBase();
    switch (kind) {
    case 1:
        return base + QStringLiteral("/Cores");
    case 4:
        return base + QStringLiteral("/Instrucoes");
    default:
        return base + QStringLiteral("/Arquivos%1").arg(kind);
    }
}

QString BuscaArquivo(const QString& code, int kind) {
    const QString trimmed = code.trimmed();
    if (!NomeArquivoSeguro(trimmed))
        return {};
    const QDir dir(PastaArquivos(kind));
    for (const char* suffix : kPictureSuffixes) {
        const QString path = dir.filePath(trimmed + '.' + QLatin1String(suffix));
        if (QFileInfo::exists(path))
            return path;
    }
    return {};
}

bool SalvaArquivo(const QString& sourceFile, const QString& code, int kind) {
    const QString trimmed = code.trimmed();
    if (!NomeArquivoSeguro(trimmed) || !QFileInfo::exists(sourceFile))
        return false;
    QDir().mkpath(PastaArquivos(kind));
    const QDir dir(PastaArquivos(kind));
    for (const char* suffix : kPictureSuffixes)
        QFile::remove(dir.filePath(trimmed + '.' + QLatin1String(suffix)));
    const QString suffix = QFileInfo(sourceFile).suffix().toLower();
    return QFile::copy(sourceFile,
                       dir.filePath(trimmed + '.' + (suffix.isEmpty() ? QStringLiteral("png") : suffix)));
}

bool ExecutaEXE(const QString& command, const QString& folder) {
    QStringList parts = QProcess::splitCommand(command);
    if (parts.isEmpty())
        return false;
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setWorkingDirectory(folder);
    process.start(parts.takeFirst(), parts);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

void SilenciaAvisosSemTela() {
    static QtMessageHandler previous = nullptr;
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (text.contains(QLatin1String("does not support propagateSizeHints")))
                return;
            if (previous)
                previous(type, context, text);
        });
}
