#pragma once

class ScriptedMessageService;
class TZoDatabase;

void BenchOrcamento(TZoDatabase& db, ScriptedMessageService& messages);
