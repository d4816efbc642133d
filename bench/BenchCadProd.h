#pragma once

class ScriptedMessageService;
class TZoDatabase;

void BenchCadProd(TZoDatabase& db, ScriptedMessageService& messages);
