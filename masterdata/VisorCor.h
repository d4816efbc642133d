#pragma once
#include <QFrame>
#include <QPixmap>

class QLabel;
class QPushButton;

// A colour's picture with its display colour under it; a double click on either switches between the
// small and the large view.
class VisorCor : public QFrame {
    Q_OBJECT
public:
    explicit VisorCor(QWidget* parent = nullptr);

    void MostraImagem(const QString& file); // empty or unreadable: no picture
    void MostraCor(const QColor& color);    // invalid: no colour
    void AlternaTamanho();
    bool Grande() const { return m_grande; }
    QPushButton* BotaoImagem() const { return m_botao; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Ajusta();
    QLabel* m_imagem;
    QFrame* m_cor;
    QPushButton* m_botao;
    QPixmap m_original;
    bool m_grande = false;
};
