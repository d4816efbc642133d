#pragma once
#include <QColor>
#include <QObject>
#include <QPointer>
#include <QVariant>
#include <optional>

class QComboBox;
class TDataSet;

// A colour's display colour (CADCORTIN.COR_SIS) is an integer 0xRRGGBB; other screens paint grid cells
// with it.
QColor CorDoSistema(const QVariant& value); // invalid when empty or not a number
QVariant ValorDaCor(const QColor& color);   // what COR_SIS stores; null for no colour

// A colour's description and display colour as the registry keeps them; none for a code not registered.
struct CorCadastrada {
    QString descricao;
    QVariant corSistema;
};
std::optional<CorCadastrada> LeCorCadastrada(const QString& codigo);

// Binds a colour box to COR_SIS: "Nenhuma", the named colours and "Outra cor...", which opens a colour
// dialog (object name "DlgCor", so that tests and scripts can answer it). A stored colour outside the list
// is shown as itself: an item of its own with its swatch and #RRGGBB.
class CaixaCor : public QObject {
    Q_OBJECT
public:
    CaixaCor(QComboBox* box, TDataSet* dataSet, const QString& field);
    void Mostra();

private:
    void Escolhido(int index);
    void Grava(const QVariant& value);
    int IndiceDe(const QVariant& value);
    QPointer<QComboBox> m_box;
    QPointer<TDataSet> m_dataSet;
    QString m_field;
};
