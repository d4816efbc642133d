#pragma once

class ScriptedMessageService;
class TZoDatabase;

// The recipe screens as a user works them, on the recipes BenchReceitas generated: a recipe loaded, one of
// 40 items saved, the search with empty filters, a product replaced across every recipe.
void BenchTelasReceitas(TZoDatabase& db, ScriptedMessageService& messages);
