#pragma once

class ScriptedMessageService;
class TZoDatabase;

void BenchFila(TZoDatabase& db, ScriptedMessageService& messages);
