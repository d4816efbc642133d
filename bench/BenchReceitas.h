#pragma once

class ScriptedMessageService;
class TZoDatabase;

// Prices, rules, preparations and recipe costing on five years of a dye-house's recipes: each operation's
// median against what the engine itself needs for the same rows.
void BenchReceitas(TZoDatabase& db, ScriptedMessageService& messages);
