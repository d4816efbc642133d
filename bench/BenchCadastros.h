#pragma once

class ScriptedMessageService;
class TZoDatabase;

void BenchCadastros(TZoDatabase& db, ScriptedMessageService& messages);
