#include "Protecao.h"
#include "HostError.h"
#include <QtGlobal>

namespace {
TratadorErro g_handler;
int g_failures = 0;

void report(const QString& text) {
    ++g_failures;
    if (g_handler)
        g_handler(text);
    else
        qCritical("%s", qPrintable(text));
}
} // namespace

int FalhasProtegidas() {
    return g_failures;
}

void DefineTratadorErro(TratadorErro handler) {
    g_handler = std::move(handler);
}

bool ExecutaProtegido(const std::function<void()>& action) {
    try {
        action();
        return true;
    } catch (const EAbort&) {
    } catch (const EDatabaseError& e) {
        report(e.message());
    } catch (const std::exception& e) {
        report(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        report(QStringLiteral("Erro inesperado."));
    }
    return false;
}
