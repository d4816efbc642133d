#pragma once

class ScriptedMessageService;
class TZoDatabase;

void BenchProgramacao(TZoDatabase& db, ScriptedMessageService& messages);
