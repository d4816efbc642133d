#include "TClientDataSet.h"
#include <limits>

TClientDataSet& TClientDataSet::AddField(const QString& name, QMetaType::Type type, int size,
                                         const QString& displayLabel) {
    FieldDef def;
    def.name = name;
    def.type = type;
    def.size = size;
    def.displayLabel = displayLabel;
    if (type == QMetaType::Int)
        def.limit = std::numeric_limits<qint32>::max();
    else if (type == QMetaType::LongLong)
        def.limit = 9007199254740992.0; // whole numbers exact up to 2^53
    m_pending << def;
    return *this;
}

void TClientDataSet::CreateDataSet() {
    SetFields(m_pending);
    Activate();
    SetRows({});
}

void TClientDataSet::TomaDe(TDataSet& origem) {
    if (Editing())
        Cancel();
    SetFields(origem.FieldDefs());
    Activate();
    SetRows(origem.EntregaLinhas());
}

void TClientDataSet::EmptyDataSet() {
    if (Editing())
        Cancel();
    SetRows({});
}
