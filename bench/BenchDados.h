#pragma once

class ScriptedMessageService;
class TZoDatabase;

// The data layer under every screen: a post in a large grid, the next code of a large table.
void BenchDados(TZoDatabase& db, ScriptedMessageService& messages);
