#include "FlowLayout.h"
#include <QWidget>

FlowLayout::FlowLayout(QWidget* parent, int espaco) : QLayout(parent), m_espaco(espaco) {
    setContentsMargins(espaco, espaco, espaco, espaco);
}

FlowLayout::~FlowLayout() {
    while (QLayoutItem* item = takeAt(0))
        delete item;
}

void FlowLayout::addItem(QLayoutItem* item) {
    m_itens.append(item);
}

void FlowLayout::Insere(int posicao, QWidget* widget) {
    addChildWidget(widget);
    m_itens.insert(std::clamp<qsizetype>(posicao, 0, m_itens.size()), new QWidgetItem(widget));
    invalidate();
}

QLayoutItem* FlowLayout::takeAt(int index) {
    return index >= 0 && index < m_itens.size() ? m_itens.takeAt(index) : nullptr;
}

QSize FlowLayout::minimumSize() const {
    QSize tamanho;
    for (const QLayoutItem* item : m_itens)
        tamanho = tamanho.expandedTo(item->minimumSize());
    const QMargins m = contentsMargins();
    return tamanho + QSize(m.left() + m.right(), m.top() + m.bottom());
}

void FlowLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    Arruma(rect, true);
}

int FlowLayout::Arruma(const QRect& area, bool posiciona) const {
    const QRect util = area.marginsRemoved(contentsMargins());
    int x = util.x(), y = util.y(), alturaLinha = 0;
    for (QLayoutItem* item : m_itens) {
        if (item->widget() && item->widget()->isHidden())
            continue;
        const QSize tamanho = item->sizeHint();
        if (x > util.x() && x + tamanho.width() > util.right() + 1) {
            x = util.x();
            y += alturaLinha + m_espaco;
            alturaLinha = 0;
        }
        if (posiciona)
            item->setGeometry(QRect(QPoint(x, y), tamanho));
        x += tamanho.width() + m_espaco;
        alturaLinha = std::max(alturaLinha, tamanho.height());
    }
    return y + alturaLinha - area.y() + contentsMargins().bottom();
}
