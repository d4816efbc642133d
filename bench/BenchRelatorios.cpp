#include "BenchRelatorios.h"
#include "BenchRelFaturamento.h"
#include "BenchRelProducao.h"

void BenchRelatorios(TZoDatabase& db, ScriptedMessageService& messages) {
    BenchRelProducao(db, messages);
    BenchRelFaturamento(db, messages);
}
