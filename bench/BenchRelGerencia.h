#pragma once

class ScriptedMessageService;
class TZoDatabase;

void BenchRelGerencia(TZoDatabase& db, ScriptedMessageService& messages);
