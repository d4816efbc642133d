#include "VisorCor.h"
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QSize kPequeno(114, 114);
const QSize kGrande(340, 315);
constexpr int kAlturaCor = 22;
} // namespace

VisorCor::VisorCor(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("PainelImagem"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    m_imagem = new QLabel(this);
    m_imagem->setObjectName(QStringLiteral("ImgCor"));
    m_imagem->setFrameShape(QFrame::StyledPanel);
    m_imagem->setAlignment(Qt::AlignCenter);
    m_imagem->setToolTip(QStringLiteral("Duplo clique amplia ou reduz a imagem"));
    m_cor = new QFrame(this);
    m_cor->setObjectName(QStringLiteral("PnCor"));
    m_cor->setFrameShape(QFrame::StyledPanel);
    m_cor->setAutoFillBackground(true);
    m_botao = new QPushButton(QStringLiteral("Imagem..."), this);
    m_botao->setObjectName(QStringLiteral("BtImagem"));
    layout->addWidget(m_imagem);
    layout->addWidget(m_cor);
    layout->addWidget(m_botao);
    layout->addStretch();
    m_imagem->installEventFilter(this);
    m_cor->installEventFilter(this);
    Ajusta();
}

void VisorCor::MostraImagem(const QString& file) {
    m_original = file.isEmpty() ? QPixmap() : QPixmap(file);
    Ajusta();
}

void VisorCor::MostraCor(const QColor& color) {
    QPalette palette = m_cor->palette();
    palette.setColor(QPalette::Window, color.isValid() ? color : this->palette().color(QPalette::Window));
    m_cor->setPalette(palette);
    m_cor->setToolTip(color.isValid() ? color.name().toUpper() : QString());
}

void VisorCor::AlternaTamanho() {
    m_grande = !m_grande;
    Ajusta();
}

void VisorCor::Ajusta() {
    const QSize size = m_grande ? kGrande : kPequeno;
    m_imagem->setFixedSize(size);
    m_cor->setFixedSize(size.width(), kAlturaCor);
    m_botao->setFixedWidth(size.width());
    const QSize inside = size - QSize(4, 4);
    m_imagem->setPixmap(m_original.isNull()
                            ? QPixmap()
                            : m_original.scaled(inside, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

bool VisorCor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick && (watched == m_imagem || watched == m_cor)) {
        AlternaTamanho();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}
