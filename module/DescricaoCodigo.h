#pragma once
#include <QObject>
#include <QPointer>

class QLineEdit;
class TDataSet;

// An unbound box beside a code field that shows the description of the code it holds (the group beside
// a phase, the customer's name beside a colour). It reads again only when the code changes.
class DescricaoCodigo : public QObject {
    Q_OBJECT
public:
    DescricaoCodigo(QLineEdit* box, TDataSet* dataSet, const QString& field, const QString& table,
                    const QString& keyField, const QString& resultField);
    void Atualiza();

private:
    QPointer<QLineEdit> m_box;
    QPointer<TDataSet> m_dataSet;
    QString m_field, m_table, m_keyField, m_resultField;
    QString m_shownCode;
    bool m_shown = false;
};
