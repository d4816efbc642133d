#include "Encerramento.h"
#include "HostContext.h"
#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int g_pipe[2] = {-1, -1};
volatile sig_atomic_t g_signal = 0;

void onSignal(int signal) {
    g_signal = signal;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_pipe[1], &byte, 1);
}
} // namespace

Encerramento::Encerramento(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_pipe) != 0)
        return;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] { Encerra(); });
    Instala();
}

void Encerramento::Instala() {
    if (g_pipe[1] < 0)
        return;
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGINT, SIGTERM})
        ::sigaction(signal, &action, nullptr);
}

Encerramento::~Encerramento() {
    for (const int signal : {SIGINT, SIGTERM})
        std::signal(signal, SIG_DFL);
    for (int& end : g_pipe)
        if (end >= 0) {
            ::close(end);
            end = -1;
        }
}

void Encerramento::Encerra() {
    m_notifier->setEnabled(false);
    char byte = 0;
    [[maybe_unused]] const auto read = ::read(g_pipe[0], &byte, 1);
    // Whatever is still running after this has a few seconds to unwind; then the process ends anyway.
    ::alarm(5);
    if (HostContext* context = HostContext::Current()) {
        try {
            if (context->Database().Connected())
                context->Database().Transaction()->Rollback();
        } catch (const std::exception&) {
            // the connection is already gone: nothing of ours is pending on it
        }
        context->Database().Close();
    }
    m_codigo = 128 + int(g_signal);
    QCoreApplication::exit(m_codigo);
}
