#include "DescricaoCodigo.h"
#include "DataAccess.h"
#include "DataSet.h"
#include "Protecao.h"
#include <QLineEdit>

DescricaoCodigo::DescricaoCodigo(QLineEdit* box, TDataSet* dataSet, const QString& field,
                                 const QString& table, const QString& keyField, const QString& resultField)
    : QObject(box), m_box(box), m_dataSet(dataSet), m_field(field), m_table(table), m_keyField(keyField),
      m_resultField(resultField) {
    const auto atualiza = Protegido([this] { Atualiza(); });
    connect(dataSet, &TDataSet::scrolled, this, atualiza);
    connect(dataSet, &TDataSet::layoutReset, this, atualiza);
    connect(dataSet, &TDataSet::rowChanged, this, atualiza);
    connect(dataSet, &TDataSet::stateChanged, this, atualiza);
    Atualiza();
}

void DescricaoCodigo::Atualiza() {
    if (!m_box || !m_dataSet)
        return;
    const QString code = m_dataSet->Active() && !m_dataSet->IsEmpty()
                             ? m_dataSet->FieldByName(m_field).AsString().trimmed()
                             : QString();
    if (m_shown && code == m_shownCode)
        return;
    m_shown = true;
    m_shownCode = code;
    m_box->setText(code.isEmpty() ? QString() : Busca_Valor(m_table, m_keyField, m_resultField, {code}));
}
