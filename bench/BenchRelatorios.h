#pragma once

class ScriptedMessageService;
class TZoDatabase;

// The management reports, each next to its statement fetched raw and printed.
void BenchRelatorios(TZoDatabase& db, ScriptedMessageService& messages);
