#pragma once
#include "HostExport.h"
#include <QLayout>
#include <QList>

// Places its widgets left to right and wraps them to the next line when the width runs out, each line as
// tall as its tallest widget: panels that follow the window's width (the machines of the scheduling board).
class KELMHOST_EXPORT FlowLayout : public QLayout {
public:
    explicit FlowLayout(QWidget* parent = nullptr, int espaco = 6);
    ~FlowLayout() override;

    void addItem(QLayoutItem* item) override;
    // The widget placed at that position of the flow (the end when beyond it).
    void Insere(int posicao, QWidget* widget);
    int count() const override { return int(m_itens.size()); }
    QLayoutItem* itemAt(int index) const override { return m_itens.value(index); }
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return Arruma(QRect(0, 0, width, 0), false); }
    QSize sizeHint() const override { return minimumSize(); }
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    int Arruma(const QRect& area, bool posiciona) const;
    QList<QLayoutItem*> m_itens;
    int m_espaco;
};
