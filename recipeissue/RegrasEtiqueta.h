#pragma once
#include <QList>
#include <QString>

// What a roll label is made of, apart from the screen.

// The label's bar code: the gross weight in hundredths of a kilogram (12.5 kg is 1250, 100 kg 10000, at
// least four digits), then the product code, the colour, the lot and the roll number, left-padded with zeros
// to at least 11, 6, 6 and 3 characters. Digits of the weight never depend on the locale.
QString MontaBarra(double pesoKg, const QString& codigo, const QString& cor, const QString& lote, int nrRolo);

// One item of a lot sheet as the labels see it: its rolls, and whether the screen shows it (a product
// chosen shows only that product's items).
struct ItemRolos {
    int rolos = 0;
    bool mostrado = true;
};

// One label row: the item it belongs to (index into the items given), the roll's place within its item
// (from 1) and its number over the whole sheet (from 1).
struct RoloNumerado {
    int item = 0;
    int seq = 0;
    int nrRolo = 0;

    bool operator==(const RoloNumerado&) const = default;
};

// The rows of the items shown. A roll's number is its place over the whole sheet in item order, whether the
// items are filtered or not, so one roll never gets two numbers. When `pedidos` (the rolls the user asks
// for) exceeds the rolls shown, the extra rows go on the last item shown, numbered after the sheet's total.
QList<RoloNumerado> NumeraRolos(const QList<ItemRolos>& itens, int pedidos);

// The sheet's stock lots share its first six characters.
QString PrefixoLoteEstoque(const QString& fal);

// The net weight of a roll: gross less the tare, never below zero.
double PesoLiquido(double bruto, double tara);
