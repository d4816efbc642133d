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
#include <QWidget>

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
    QWidget* next = focused->nextInFocusChain();
    while (next && next != focused &&
           (!next->isEnabled() || !next->isVisible() || !(next->focusPolicy() & Qt::TabFocus) ||
            !screen->isAncestorOf(next) || MesmoGrupo(focused, next)))
        next = next->nextInFocusChain();
    if (next && next != focused)
        next->setFocus(Qt::TabFocusReason);
    return true;
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
        screen->setWindowModality(Qt::ApplicationModal);
        screen->show();
    } else if (HostContext* current = HostContext::Current(); current && current->ShowScreen) {
        current->ShowScreen(screen);
    } else {
        screen->show();
    }
    return screen;
}

QString PastaArquivos(int kind) {
    QString base = LeIni(QStringLiteral("Caminho"), QStringLiteral("path"));
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/kelm");
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
    if (trimmed.isEmpty() || trimmed.contains('/') || trimmed.contains(QLatin1String("..")))
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
    if (trimmed.isEmpty() || trimmed.contains('/') || trimmed.contains(QLatin1String("..")) ||
        !QFileInfo::exists(sourceFile))
        return false;
    QDir().mkpath(PastaArquivos(kind));
    const QDir dir(PastaArquivos(kind));
    for (const char* suffix : kPictureSuffixes)
        QFile::remove(dir.filePath(trimmed + '.' + QLatin1String(suffix)));
    const QString suffix = QFileInfo(sourceFile).suffix().toLower();
    return QFile::copy(sourceFile,
                       dir.filePath(trimmed + '.' + (suffix.isEmpty() ? QStringLiteral("png") : suffix)));
}

bool ExecutaEXE(const QString& command) {
    QStringList parts = QProcess::splitCommand(command);
    if (parts.isEmpty())
        return false;
    const QString program = parts.takeFirst();
    return QProcess::execute(program, parts) == 0;
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
