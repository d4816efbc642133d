#pragma once

class ScriptedMessageService;
class TZoDatabase;

void BenchEstamparia(TZoDatabase& db, ScriptedMessageService& messages);
