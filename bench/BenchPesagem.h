#pragma once

class ScriptedMessageService;
class TZoDatabase;

void BenchPesagem(TZoDatabase& db, ScriptedMessageService& messages);
