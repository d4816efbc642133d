#pragma once
#include <QList>
#include <QString>

class QWidget;
class TfmTngProgInf;

// A field of a sheet as it is matched: the standard field's code and the text of what it measures.
struct CampoQuadro {
    QString chave;
    QString campo;
};

// The row of the standard sheet each stored row fills, by position (-1: its field is no longer standard).
// A stored row goes to the row of its own code and text; failing that, to the first row of its text that
// no stored row took yet. Two fields of the same text thus keep their own values.
QList<int> CasaCamposGravados(const QList<CampoQuadro>& padrao, const QList<CampoQuadro>& gravados);

// The board open, if any; cleared when it is destroyed.
extern TfmTngProgInf* fmTngProgInf;

// Opens the board on the sheet of a product and customer (the programme's "Quadro de informações"): the
// board already open when there is one, else a new one; the sheet is loaded as the board shows.
QWidget* AbreQuadroInformacoes(const QString& produto, const QString& cliente);
