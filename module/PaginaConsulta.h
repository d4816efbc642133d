#pragma once
#include "TPesquisa.h"
#include <QObject>
#include <QPointer>
#include <functional>

class QLabel;
class TDataSet;
class TZoDBGrid;

// A screen's consult page: the rows of the screen's statement under the filters of the moment, read a window
// at a time as the look-up list reads them (the next window as the list nears its end), how many there are in
// the count label, and the row under the cursor loaded by Enter or a double click.
class PaginaConsulta : public QObject {
    Q_OBJECT
public:
    PaginaConsulta(QObject* dono, TZoDBGrid* grade, QLabel* contagem = nullptr);

    // The statement (SQL, a total OrdenarPor); Filtro is set before each Consulta, as SQL text of quoted
    // values (Aspas, DataSQL).
    TPesquisa pesquisa;
    std::function<QString(int linhas)> textoContagem; // "3 receitas"; "%1 linha(s)" when unset
    std::function<void()> abre;                       // loads the current row

    void Consulta();
    // Reads the rows not read yet, in one statement: a print of the whole list.
    void LeTudo();
    TDataSet* Linhas() const;

private:
    QPointer<TZoDBGrid> m_grade;
    QPointer<QLabel> m_contagem;
};
