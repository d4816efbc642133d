#pragma once

class ScriptedMessageService;
class TZoDatabase;

void BenchExpedicao(TZoDatabase& db, ScriptedMessageService& messages);
