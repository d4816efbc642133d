#pragma once

class ScriptedMessageService;
class TZoDatabase;

void BenchEtiquetas(TZoDatabase& db, ScriptedMessageService& messages);
