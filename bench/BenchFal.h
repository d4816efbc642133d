#pragma once

class ScriptedMessageService;
class TZoDatabase;

void BenchFal(TZoDatabase& db, ScriptedMessageService& messages);
