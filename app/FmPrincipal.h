#pragma once
#include <QMainWindow>

class QMdiArea;
class QLabel;
class QMenu;

// The host's main window: every registered screen in a menu of its group, screens as child windows,
// the user and database in the status bar.
class TFmPrincipal : public QMainWindow {
    Q_OBJECT
public:
    explicit TFmPrincipal(QWidget* parent = nullptr);
    ~TFmPrincipal() override;
    void MontaMenus();
    void Exibe(QWidget* screen);
    void AbreTela(const QString& className);
    QMdiArea* Area() const { return m_area; }
    void AjustaLetrasMenus();
    void AtualizaJanelas(QMenu* menu);

private:
    QMdiArea* m_area;
    QLabel* m_status;
};
