#include "TClientDataSet.h"

TClientDataSet& TClientDataSet::AddField(const QString& name, QMetaType::Type type, int size,
                                         const QString& displayLabel) {
    FieldDef def;
    def.name = name;
    def.type = type;
    def.size = size;
    def.displayLabel = displayLabel;
    m_pending << def;
    return *this;
}

void TClientDataSet::CreateDataSet() {
    SetFields(m_pending);
    Activate();
    SetRows({});
}

void TClientDataSet::EmptyDataSet() {
    if (Editing())
        Cancel();
    SetRows({});
}
