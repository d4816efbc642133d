#pragma once

class ScriptedMessageService;
class TZoDatabase;

void BenchFolhaTinturaria(TZoDatabase& db, ScriptedMessageService& messages);
