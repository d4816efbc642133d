#include "KelmApplication.h"
#include "HostError.h"
#include "Mensagens.h"
#include "Sessao.h"
#include "TZoDatabase.h"

KelmApplication::KelmApplication(int& argc, char** argv) : QApplication(argc, argv) {}

void KelmApplication::ShowError(const QString& text) {
    if (TZoDatabase* db = TZoDatabase::Host(); db && db->Connected()) {
        try {
            db->Transaction()->RollbackRetaining();
        } catch (const std::exception&) {
            // the connection itself is gone; the message below says why
        }
    }
    Mensagens().Show(TelaAtiva(), QStringLiteral("Erro"), text, MsgIcon::Error);
}

bool KelmApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const EAbort&) {
        return true;
    } catch (const EDatabaseError& e) {
        ShowError(e.message());
    } catch (const std::exception& e) {
        ShowError(QString::fromLocal8Bit(e.what()));
    }
    return true;
}
