#include "BenchFal.h"

void BenchFal(TZoDatabase&, ScriptedMessageService&) {}
