#pragma once

class ScriptedMessageService;
class TZoDatabase;

void BenchGeracao(TZoDatabase& db, ScriptedMessageService& messages);
