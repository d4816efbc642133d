#pragma once

class ScriptedMessageService;
class TZoDatabase;

void BenchEmissao(TZoDatabase& db, ScriptedMessageService& messages);
