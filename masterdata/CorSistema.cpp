#include "CorSistema.h"
#include <QComboBox>
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
} // namespace

QColor CorDoSistema(const QVariant& value) {
    bool ok = false;
    const qlonglong rgb = value.toString().trimmed().toLongLong(&ok);
    if (!ok || rgb < 0 || rgb > 0xFFFFFF)
        return {};
    return QColor::fromRgb(QRgb(rgb));
}

QStringList PreencheCaixaCor(QComboBox* box) {
    QStringList values{QString()};
    box->clear();
    box->addItem(QStringLiteral("Nenhuma"));
    for (const CorNomeada& cor : kCores) {
        QPixmap swatch(16, 16);
        swatch.fill(QColor::fromRgb(cor.valor));
        box->addItem(QIcon(swatch), QString::fromUtf8(cor.nome));
        values << QString::number(cor.valor);
    }
    return values;
}
