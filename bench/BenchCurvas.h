#pragma once

class ScriptedMessageService;
class TZoDatabase;

void BenchCurvas(TZoDatabase& db, ScriptedMessageService& messages);
