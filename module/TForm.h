#pragma once
#include <QWidget>

class QKeyEvent;

// The common life of a screen: created by class name, its creation handler opens what it needs, closing
// runs its close handler and frees it. With key preview the screen sees every key typed in its controls.
class TForm : public QWidget {
    Q_OBJECT
public:
    explicit TForm(QWidget* parent = nullptr);

    // Builds a screen and runs its creation handler; a failure there frees the half-made screen.
    template <typename T> static T* Create(QWidget* parent) {
        auto* screen = new T(parent);
        try {
            static_cast<TForm*>(screen)->FormCreate();
        } catch (...) {
            delete screen;
            throw;
        }
        return screen;
    }

    bool KeyPreview = false;
    // Quotes typed anywhere on the screen are discarded (screens whose texts go into SQL by hand).
    bool DescartaAspas = false;

protected:
    virtual void FormCreate() {}
    virtual void FormClose() {}
    // Keys typed in any control of the screen when KeyPreview is on; return true to swallow the key.
    virtual bool FormKeyDown(QKeyEvent* key);
    // Publishes the screen in its unit's instance variable, by looking its own name up among the
    // application's windows.
    template <typename T> void PublicaInstancia(T*& variable) {
        variable = qobject_cast<T*>(ProcuraComponente(objectName()));
    }
    static QWidget* ProcuraComponente(const QString& name);

    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool m_closed = false;
};
