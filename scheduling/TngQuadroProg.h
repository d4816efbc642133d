#pragma once
#include "DataSet.h" // the grids in the designed layout hold a pointer to their data sets
#include "LeiturasQuadro.h"
#include "TForm.h"
#include "ui_TngQuadroProg.h"
#include <QMap>
#include <QPointer>

class OuvinteEvento;
class QTimer;
class TClientDataSet;
class TZoDBGrid;

// The scheduling board: every dyeing machine's queue of dye lots in priority order, following what the floor
// and the planners commit as it happens; a lot opened shows its sheets, when it starts and when it should
// end, and is given its dye lot, machine, route and position.
class TFmTngQuadroProg : public TForm {
    Q_OBJECT
public:
    explicit TFmTngQuadroProg(QWidget* parent = nullptr);

    void BtnExecutaClick();
    // Refills every machine's queue in place: panels follow the machines that gain or lose work, selections,
    // the scroll position and hidden panels stay.
    Q_INVOKABLE void Atualiza();
    void BitBtn4Click();
    void BitBtn5Click();
    void SgMaquinaDblClick(TZoDBGrid* grade);
    void DefineIntervalo(int minutos);

protected:
    void FormCreate() override;

private:
    struct PainelMaquina {
        QPointer<QWidget> painel;
        TZoDBGrid* grade = nullptr;
        TClientDataSet* dados = nullptr;
    };
    void PreparaDetalhes();
    void PreparaAtualizacao();
    PainelMaquina& Painel(const QString& maquina, const QString& descricao);
    void CarregaDadosMaquina(PainelMaquina& painel, const QList<LoteQuadro>& lotes);
    void BuscaDadosPartida(const QString& maquina, const QString& partida, const QString& cliente);
    void TbFalAfterScroll();
    void LimpaPrevisao();
    FiltroQuadro Filtro() const;

    Ui::TFmTngQuadroProg ui;
    TClientDataSet* TbFal;
    QMap<QString, PainelMaquina> m_paineis; // by machine code, in code order
    QList<LoteQuadro> m_filas;              // what the board shows
    OuvinteEvento* m_ouvinte = nullptr;
    QTimer* Timer1;
};

extern TFmTngQuadroProg* FmTngQuadroProg;
