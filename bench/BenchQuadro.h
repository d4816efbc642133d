#pragma once

class ScriptedMessageService;
class TZoDatabase;

// The information board: a customer's sheet of 300 fields loaded and saved.
void BenchQuadro(TZoDatabase& db, ScriptedMessageService& messages);
