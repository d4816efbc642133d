#pragma once

class ScriptedMessageService;
class TZoDatabase;

// Incoming invoices on five years of a dye-house: the consult of a month, the checks that a lot sheet holds
// an invoice, the next sequential lot, and the confirm of an invoice of 200 items.
void BenchNotas(TZoDatabase& db, ScriptedMessageService& messages);
