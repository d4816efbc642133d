#include "CorSistema.h"
#include "DataSet.h"
#include "HostError.h"
#include "Mensagens.h"
#include "Protecao.h"
#include "TZoQuery.h"
#include <QComboBox>
#include <QPainter>
#include <QPixmap>

namespace {
struct CorNomeada {
    const char* nome;
    QRgb valor;
};

// Plain names a dye-house office uses, light to dark within each family.
const CorNomeada kCores[] = {
    {"Branco", 0xFFFFFF},        {"Creme", 0xFFFDD0},      {"Bege", 0xF5F5DC},
    {"Amarelo", 0xFFFF00},       {"Laranja", 0xFF8000},    {"Vermelho", 0xFF0000},
    {"Bordô", 0x800000},         {"Rosa", 0xFFC0CB},       {"Pink", 0xFF00FF},
    {"Lilás", 0xC8A2C8},         {"Roxo", 0x800080},       {"Azul Celeste", 0xA6CAF0},
    {"Azul", 0x0000FF},          {"Azul Royal", 0x4169E1}, {"Azul Marinho", 0x000080},
    {"Azul Petróleo", 0x008080}, {"Turquesa", 0x00FFFF},   {"Verde Menta", 0x98FF98},
    {"Verde Limão", 0x00FF00},   {"Verde", 0x008000},      {"Verde Oliva", 0x808000},
    {"Cáqui", 0xC3B091},         {"Marrom", 0x8B4513},     {"Cinza Claro", 0xC0C0C0},
    {"Cinza", 0x808080},         {"Chumbo", 0x404040},     {"Preto", 0x000000},
};

// What an item of the box stands for; its stored value is in Qt::UserRole.
constexpr int kPapelTipo = Qt::UserRole + 1;
enum TipoItem { Nenhuma, Nomeada, Avulsa, Outra };

// The outline keeps white and cream visible on the box; the colour stays as it is while the box is
// disabled (browsing), where Qt would grey it.
QIcon Amostra(const QColor& color) {
    QPixmap swatch(16, 16);
    swatch.fill(color);
    {
        QPainter painter(&swatch);
        painter.setPen(QColor(0x80, 0x80, 0x80));
        painter.drawRect(0, 0, 15, 15);
    }
    QIcon icon;
    icon.addPixmap(swatch, QIcon::Normal);
    icon.addPixmap(swatch, QIcon::Disabled);
    return icon;
}

// Items without a colour keep their text in line with the others.
QIcon SemAmostra() {
    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    return QIcon(blank);
}

bool SemCor(const QVariant& value) {
    return value.isNull() || value.toString().trimmed().isEmpty();
}

// Lets the user pick any colour; invalid when cancelled.
QColor EscolheCor(QWidget* parent, const QColor& initial) {
    return Mensagens().ChooseColor(parent, QStringLiteral("Cor no Sistema"), initial);
}
} // namespace

QColor CorDoSistema(const QVariant& value) {
    bool ok = false;
    const qlonglong rgb = value.toString().trimmed().toLongLong(&ok);
    if (!ok || rgb < 0 || rgb > 0xFFFFFF)
        return {};
    return QColor::fromRgb(QRgb(rgb));
}

QVariant ValorDaCor(const QColor& color) {
    if (!color.isValid())
        return {};
    return int(color.rgb() & 0xFFFFFF);
}

CaixaCor::CaixaCor(QComboBox* box, TDataSet* dataSet, const QString& field)
    : QObject(box), m_box(box), m_dataSet(dataSet), m_field(field) {
    box->clear();
    box->addItem(SemAmostra(), QStringLiteral("Nenhuma"));
    box->setItemData(0, Nenhuma, kPapelTipo);
    for (const CorNomeada& cor : kCores) {
        box->addItem(Amostra(QColor::fromRgb(cor.valor)), QString::fromUtf8(cor.nome), int(cor.valor));
        box->setItemData(box->count() - 1, Nomeada, kPapelTipo);
    }
    box->addItem(SemAmostra(), QStringLiteral("Outra cor..."));
    box->setItemData(box->count() - 1, Outra, kPapelTipo);
    box->setMaxVisibleItems(box->count());

    const auto mostra = Protegido([this] { Mostra(); });
    connect(dataSet, &TDataSet::scrolled, this, mostra);
    connect(dataSet, &TDataSet::layoutReset, this, mostra);
    connect(dataSet, &TDataSet::rowChanged, this, mostra);
    connect(dataSet, &TDataSet::stateChanged, this, mostra);
    connect(box, &QComboBox::activated, this, Protegido([this](int index) { Escolhido(index); }));
    Mostra();
}

void CaixaCor::Mostra() {
    if (!m_box || !m_dataSet)
        return;
    const int field = m_dataSet->FieldIndex(m_field);
    const bool current = field >= 0 && m_dataSet->Active() && !m_dataSet->IsEmpty();
    m_box->setCurrentIndex(IndiceDe(current ? m_dataSet->CurrentValue(field) : QVariant()));
}

// The item showing a stored value; a value outside the list takes the one item kept for such values.
int CaixaCor::IndiceDe(const QVariant& value) {
    int avulsa = -1;
    for (int i = 0; i < m_box->count(); ++i)
        if (m_box->itemData(i, kPapelTipo).toInt() == Avulsa)
            avulsa = i;
    if (SemCor(value)) {
        if (avulsa >= 0)
            m_box->removeItem(avulsa);
        return 0;
    }
    const QString text = value.toString().trimmed();
    bool ok = false;
    const qlonglong rgb = text.toLongLong(&ok);
    for (int i = 0; ok && i < m_box->count(); ++i)
        if (m_box->itemData(i, kPapelTipo).toInt() == Nomeada && m_box->itemData(i).toLongLong() == rgb) {
            if (avulsa >= 0)
                m_box->removeItem(avulsa);
            return i;
        }
    // A value no colour reads from (out of range) is still shown as what is stored.
    const QColor color = CorDoSistema(value);
    const QString name = color.isValid() ? color.name().toUpper() : text;
    if (avulsa < 0) {
        avulsa = m_box->count() - 1; // before "Outra cor..."
        m_box->insertItem(avulsa, name);
        m_box->setItemData(avulsa, Avulsa, kPapelTipo);
    }
    m_box->setItemText(avulsa, name);
    m_box->setItemIcon(avulsa, color.isValid() ? Amostra(color) : SemAmostra());
    m_box->setItemData(avulsa, value);
    return avulsa;
}

void CaixaCor::Escolhido(int index) {
    if (!m_box)
        return;
    if (m_box->itemData(index, kPapelTipo).toInt() != Outra) {
        Grava(m_box->itemData(index));
        return;
    }
    const int field = m_dataSet ? m_dataSet->FieldIndex(m_field) : -1;
    const bool current = field >= 0 && m_dataSet->Active() && !m_dataSet->IsEmpty();
    const QColor color =
        EscolheCor(m_box->window(), current ? CorDoSistema(m_dataSet->CurrentValue(field)) : QColor());
    if (color.isValid())
        Grava(ValorDaCor(color));
    else
        Mostra(); // cancelled: the box shows the stored colour again
}

void CaixaCor::Grava(const QVariant& value) {
    if (!m_dataSet || !m_dataSet->Active() || m_dataSet->FieldIndex(m_field) < 0 ||
        (!m_dataSet->Editing() && m_dataSet->IsEmpty())) {
        Mostra();
        return;
    }
    try {
        m_dataSet->FieldByName(m_field).SetValue(value);
    } catch (const EAbort&) {
        // The edit was refused: the record stays as it is.
    }
    Mostra();
}

std::optional<CorCadastrada> LeCorCadastrada(const QString& codigo) {
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT DESCRICAO, COR_SIS FROM CADCORTIN WHERE CODIGO = :CODIGO");
    q.BindValue(QStringLiteral("CODIGO"), codigo.trimmed());
    q.Open();
    if (q.IsEmpty())
        return std::nullopt;
    return CorCadastrada{q.Fields(0).AsString().trimmed(), q.Fields(1).Value()};
}
