#include "HostUi.h"
#include "ClassRegistry.h"
#include "HostError.h"
#include "LocalSettings.h"
#include "Mensagens.h"
#include "Sessao.h"
#include "TZoDatabase.h"
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QProcess>
#include <QWidget>

namespace {
std::function<void(const QString&)> g_status;
std::function<void(QWidget*)> g_showScreen;
int g_busy = 0;

const char* const kPictureSuffixes[] = {"png", "jpg", "jpeg", "bmp", "gif", "txt", "rtf"};
} // namespace

void DefineBarraStatus(std::function<void(const QString&)> show) {
    g_status = std::move(show);
}
void DefineExibidorTelas(std::function<void(QWidget*)> show) {
    g_showScreen = std::move(show);
}

void Ocupado(bool busy, QWidget* screen, const QString& text) {
    Q_UNUSED(screen);
    if (busy) {
        if (g_busy++ == 0)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (g_busy > 0 && --g_busy == 0) {
        QApplication::restoreOverrideCursor();
    }
    if (g_status)
        g_status(busy ? text : QString());
}

void TrataErro(const QString& text) {
    if (TZoDatabase* db = TZoDatabase::Host(); db && db->Connected()) {
        try {
            db->Transaction()->RollbackRetaining();
        } catch (const std::exception&) {
            // the connection itself is gone; the message says why
        }
    }
    while (g_busy > 0)
        Ocupado(false);
    Mensagens().Show(TelaAtiva(), QStringLiteral("Erro"), text, MsgIcon::Error);
}

bool ExecutaProtegido(const std::function<void()>& action) {
    try {
        action();
        return true;
    } catch (const EAbort&) {
    } catch (const EDatabaseError& e) {
        TrataErro(e.message());
    } catch (const std::exception& e) {
        TrataErro(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

bool pSetFocus(QWidget* screen, QKeyEvent* key) {
    if (!screen || !key || (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter))
        return false;
    QWidget* focused = QApplication::focusWidget();
    if (!focused || !screen->isAncestorOf(focused))
        return false;
    // Multi-line editors and buttons keep Enter for themselves.
    if (focused->inherits("QPlainTextEdit") || focused->inherits("QTextEdit") ||
        focused->inherits("QAbstractButton") || focused->inherits("QAbstractItemView"))
        return false;
    QWidget* next = focused->nextInFocusChain();
    while (next && next != focused &&
           (!next->isEnabled() || !next->isVisible() || !(next->focusPolicy() & Qt::TabFocus) ||
            !screen->isAncestorOf(next)))
        next = next->nextInFocusChain();
    if (next && next != focused)
        next->setFocus(Qt::TabFocusReason);
    return true;
}

QWidget* Carrega_Form(const QString& moduleFile, const QString& className, const QString& param, bool modal,
                      bool hidden) {
    Q_UNUSED(moduleFile);
    Q_UNUSED(param);
    QWidget* screen = CreateScreen(className);
    if (!screen)
        return nullptr;
    if (hidden)
        return screen;
    if (modal) {
        screen->setWindowModality(Qt::ApplicationModal);
        screen->show();
    } else if (g_showScreen) {
        g_showScreen(screen);
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
