#pragma once

class ScriptedMessageService;
class TZoDatabase;

void BenchIndicadores(TZoDatabase& db, ScriptedMessageService& messages);
