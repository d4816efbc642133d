#pragma once

class ScriptedMessageService;
class TZoDatabase;

void BenchApontamento(TZoDatabase& db, ScriptedMessageService& messages);
