#pragma once

class ScriptedMessageService;
class TZoDatabase;

void BenchImportacao(TZoDatabase& db, ScriptedMessageService& messages);
