#pragma once
#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <optional>

// The print pastes as the colour-dispensing station takes them: each paste split into orders it can
// dispense, each order a recipe file. Apart from where the pastes come from and where the files go.

// An order holds at most this much paste.
constexpr double kCapacidadeDosagemKg = 110;

// A paste of the sheet.
struct PastaDosagem {
    QString produto, quadro, linha; // linha "99": not a paste to dispense
    int ordem = 0;
    double consumo = 0;     // paste per kilogram of goods
    double consumoPrev = 0; // the sheet's paste, kg
    bool selecionada = true;
};

// A component of a paste, in the order the sheet shows them.
struct ComponenteDosagem {
    QString material; // the paste it belongs to
    int ordem = 0;    // the paste's order on the sheet
    QString codigo, descricao, linha;
    double qtde = 0;     // parts per thousand of the paste
    double consumoG = 0; // grams in the whole paste
};

// The dispensing key of a component kind: "A" → "2A", "X" → "3X", "99" → "99", any other → "1C".
QString OrdemReceita(const QString& linha);
// The kind the station reads: "A" or "X" from the key, else "C".
QChar TypComp(const QString& ordemReceita);

struct ComponenteOrdem {
    int numero = 0; // 1-based, in the order written
    QString codigo, descricao;
    QChar tipo;
    double qtde = 0;
    double gramas = 0;
};
struct OrdemDosagem {
    QString produto, quadro;
    int sequencia = 0, total = 0;
    double kg = 0;
    QList<ComponenteOrdem> componentes;
};

// The run: the selected pastes to dispense (not "99", consumption above 0), in the sheet's order, each
// split into n equal orders, n the least that keeps every order within capacity for both the sheet's paste
// and what its components weigh (components "99" aside). Each order's kilograms and each component's grams
// are the share rounded to three decimals; the last order takes what is left, so the orders add up.
QList<OrdemDosagem> PlanoDosagem(const QList<PastaDosagem>& pastas,
                                 const QList<ComponenteDosagem>& componentes);

// What every file of a run says of the sheet.
struct CabecalhoDosagem {
    QString fal, cliente, estampa, variante, lote, turno, usuario;
};

// One order's recipe file: the declaration, then one element per line, lines ended by CR LF, ISO-8859-1
// bytes with characters outside it as character references; characters XML does not allow are dropped,
// line breaks and tabs in a text become spaces; numbers with a decimal point whatever the locale. Empty
// when the writer failed.
QByteArray ArquivoReceita(const CabecalhoDosagem& cabecalho, const OrdemDosagem& ordem);

// Writes the run's files into the folder, one per order (FAL number + sequence + ".xml"), each whole or not
// at all. A file that cannot be written stops the run and removes the files it wrote; the text names it.
// Empty when every file was written.
QString GravaArquivosReceita(const QString& pasta, const CabecalhoDosagem& cabecalho,
                             const QList<OrdemDosagem>& plano);

// A reply of the sheet's scale to a weight: what comes up to the unit letter, its digits with decimais + 1
// of them after the comma (as the scales in use send them), negative after a minus sign. None without the
// letter (or with it inside another unit, "kg" for "g"), or without digits.
std::optional<double> PegaPesoBalancaLocal(const QString& resposta, QChar unidade, int decimais);
