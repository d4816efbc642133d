#pragma once

class ScriptedMessageService;
class TZoDatabase;

void BenchRelFaturamento(TZoDatabase& db, ScriptedMessageService& messages);
