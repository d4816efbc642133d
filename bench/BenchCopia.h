#pragma once

class ScriptedMessageService;
class TZoDatabase;

void BenchCopia(TZoDatabase& db, ScriptedMessageService& messages);
