#pragma once

class ScriptedMessageService;
class TZoDatabase;

void BenchRelProducao(TZoDatabase& db, ScriptedMessageService& messages);
