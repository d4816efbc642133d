// The keyboard's way through every screen: Tab follows the layout and reaches every control that takes a
// value, grids being edited included.
#include "ClassRegistry.h"
#include "DBControls.h"
#include "HostUi.h"
#include "TestDatabase.h"
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>

namespace {
// Read-only line, text and spin boxes are shown, not typed in: where Tab passes them is not the order.
bool SomenteLeitura(const QWidget* w) {
    return w->property("readOnly").toBool();
}

// A control the user types or sets a value in; a radio button is reached through its group's checked one.
bool RecebeValor(const QWidget* w) {
    if (const auto* grid = qobject_cast<const TZoDBGrid*>(w))
        return grid->editTriggers() != QAbstractItemView::NoEditTriggers;
    return !SomenteLeitura(w) &&
           (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
            qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QCheckBox*>(w) ||
            qobject_cast<const QPlainTextEdit*>(w));
}

QString Nome(const QWidget* w) {
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
}

QRect Area(QWidget* screen, const QWidget* w) {
    return {w->mapTo(screen, QPoint(0, 0)), w->size()};
}

// Backwards is a jump up across rows: the next control's middle above the top of the one left. Going up
// into another panel that starts right of the control left (the next column of boxes in the same band) is
// reading on, not going back.
bool ParaTras(QWidget* screen, const QWidget* de, const QWidget* para) {
    const QRect a = Area(screen, de), b = Area(screen, para);
    if (b.center().y() >= a.top())
        return false;
    return b.left() <= a.right() || de->parentWidget() == para->parentWidget();
}
} // namespace

class TstOrdemTab : public ScreenTestCase {
    Q_OBJECT
    QList<QWidget*> controles; // the focus chain of the screen as it stands

    // The control of the chain that holds the focus (a composite control, not its inner editor).
    QWidget* Controle(QWidget* w) const {
        while (w && !controles.contains(w))
            w = w->parentWidget();
        return w;
    }
    QWidget* Proximo(QWidget* w) const {
        do
            w = controles.value((controles.indexOf(w) + 1) % controles.size());
        while (SomenteLeitura(w));
        return w;
    }
    // Where Tab takes the focus from `w`: as the screen answers a Tab (its exit rules may send it on),
    // unless it refused the Tab with a message; a grid's Tab moves between its cells, so from a grid, and
    // wherever Tab does not leave the control, the next of the focus chain.
    QWidget* Seguinte(QWidget* w) {
        if (!qobject_cast<TZoDBGrid*>(w)) {
            w->setFocus(Qt::OtherFocusReason);
            const auto shown = messages.shown.size();
            driver->Press("Tab");
            QWidget* next = Controle(QApplication::focusWidget());
            if (messages.shown.size() == shown && next && next != w)
                return SomenteLeitura(next) ? Proximo(next) : next;
        }
        return Proximo(w);
    }
    // Walks the Tab cycle: one jump back, to the top-left control, closes it; any other jump back is a
    // fault. Every control that takes a value, grids being edited included, must be on the way.
    void Percorre(QWidget* screen, const QString& estado) {
        controles.clear();
        for (QWidget* w = ControleSeguinte(screen, screen); w && !controles.contains(w);
             w = ControleSeguinte(screen, w))
            controles << w;
        const auto inicio = std::find_if(controles.cbegin(), controles.cend(),
                                         [](const QWidget* w) { return !SomenteLeitura(w); });
        if (inicio == controles.cend())
            return;
        const auto leitura = [&](const QWidget* w) {
            const QPoint p = Area(screen, w).topLeft();
            return std::pair(p.y(), p.x());
        };
        QList<QWidget*> caminho;
        QList<std::pair<QWidget*, QWidget*>> saltos;
        QWidget* w = *inicio;
        while (!caminho.contains(w)) {
            caminho << w;
            QWidget* next = Seguinte(w);
            if (ParaTras(screen, w, next))
                saltos.append(std::pair(w, next));
            w = next;
        }
        const auto volta =
            std::min_element(saltos.cbegin(), saltos.cend(), [&](const auto& a, const auto& b) {
                return leitura(a.second) < leitura(b.second);
            });
        QStringList faltas;
        for (auto s = saltos.cbegin(); s != saltos.cend(); ++s)
            if (s != volta)
                faltas << Nome(s->first) + " -> " + Nome(s->second);
        QVERIFY2(faltas.isEmpty(), qPrintable(estado + ": " + faltas.join(", ")));
        // What Tab goes round, from wherever the user starts.
        const QList<QWidget*> ciclo = caminho.mid(caminho.indexOf(w));
        for (const QWidget* c : std::as_const(controles))
            QVERIFY2(!RecebeValor(c) || ciclo.contains(c),
                     qPrintable(estado + ": Tab não chega a " + Nome(c)));
    }

    // Every page of the screen's tabs in turn.
    void PercorrePaginas(QWidget* screen, const QString& estado) {
        Percorre(screen, estado);
        for (QTabWidget* paginas : screen->findChildren<QTabWidget*>()) {
            const int atual = paginas->currentIndex();
            for (int i = 0; i < paginas->count() && paginas->isVisible(); ++i)
                if (i != atual && paginas->isTabEnabled(i)) {
                    paginas->setCurrentIndex(i);
                    Percorre(screen, estado + " / " + paginas->tabText(i));
                }
            paginas->setCurrentIndex(atual);
        }
    }

private slots:
    void tabFollowsTheLayout_data() {
        QTest::addColumn<QString>("tela");
        for (const ScreenInfo& info : RegisteredScreens())
            QTest::newRow(qPrintable(info.className)) << info.className;
    }

    // Each screen as it opens and, where it has one, after "Incluir": what is typed first.
    void tabFollowsTheLayout() {
        QFETCH(QString, tela);
        QWidget* screen = driver->Open(tela);
        PercorrePaginas(screen, tela);
        for (QAbstractButton* b : screen->findChildren<QAbstractButton*>())
            if (b->text() == "&Incluir" && b->isVisible() && b->isEnabled()) {
                driver->Click(b->objectName());
                PercorrePaginas(screen, tela + " (incluindo)");
                break;
            }
        driver->Close();
    }
};

QTEST_MAIN(TstOrdemTab)
#include "tst_ordemtab.moc"
