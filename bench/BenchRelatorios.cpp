#include "BenchRelatorios.h"
#include "BenchRelFaturamento.h"
#include "BenchRelGerencia.h"
#include "BenchRelProducao.h"

void BenchRelatorios(TZoDatabase& db, ScriptedMessageService& messages) {
    BenchRelGerencia(db, messages);
    BenchRelProducao(db, messages);
    BenchRelFaturamento(db, messages);
}
