#pragma once
#include "DataSet.h" // the grid in the designed layout holds a pointer to its data set
#include "DetalheGravado.h"
#include "TForm.h"
#include "ui_TngConsEst.h"

class QKeyEvent;
class TClientDataSet;
class TRelatorio;

// The print shop's screens of each design and variant: in printing order, each screen with the paste it
// prints, the paste per kilogram of goods, the pump's paste and the machine settings, saved wholesale; the
// paste's cost from its composition; another design's rows brought in, the rows copied to another variant,
// the pastes' compositions printed.
class TFmTngConsEst : public TForm {
    Q_OBJECT
public:
    explicit TFmTngConsEst(QWidget* parent = nullptr);

    void BtGravarClick();
    void BtExcluirClick();
    void BtImportarClick();
    void BtDuplicarClick();
    void BtImprimirClick();

protected:
    void FormCreate() override;

private:
    void PreparaGrade();
    void DeclaraCaixas();
    void CarregaQuadros();
    void LeQuadros(const QString& estampa, const QString& variante);
    void MostraCusto();
    void MostraFigura();
    QString Chave() const;
    QString Chave(const QString& variante) const;
    // The grid's rows as they are to be stored; empty, the user told why, when one is refused.
    bool LinhasAGravar(QList<QVariantList>& linhas);
    bool CustosConfirmados(const QList<QVariantList>& linhas);
    void Insere(const QString& variante, const QList<QVariantList>& linhas);
    bool DBGrid1KeyDown(QKeyEvent* tecla);
    void PreencheMaterial(TDataSet& linha);
    void PreencheQuadro(TDataSet& linha);

    Ui::TFmTngConsEst ui;
    TClientDataSet* TbConsumo;
    DetalheGravado m_quadros; // the design and variant loaded, their rows as read, their save
    bool m_carregando = false;
};

// The printed paste list "WTngConsEst": each paste's components with their costs and substitutes.
void LayoutConsEst(TRelatorio& relatorio);

extern TFmTngConsEst* FmTngConsEst;
