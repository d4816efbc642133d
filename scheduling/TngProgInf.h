#pragma once
#include "DataSet.h" // the grid in the designed layout holds a pointer to it
#include "QuadroInformacoes.h"
#include "TForm.h"
#include "ui_TngProgInf.h"

class QKeyEvent;
class QShowEvent;
class TClientDataSet;

// The information board: for a customer and a fabric, the standard technical sheet with the results the
// customer asks for and a remark per field, plus a free remark for the whole sheet. One board at a time;
// the programme opens it on an item's product and customer.
class TfmTngProgInf : public TForm {
    Q_OBJECT
public:
    explicit TfmTngProgInf(QWidget* parent = nullptr);

    // Shows the sheet of this product and customer: at once when the board is on screen, else as it shows.
    void MostraQuadro(const QString& produto, const QString& cliente);
    void Argumentos(const ArgumentosTela& argumentos) override {
        MostraQuadro(argumentos.value(QStringLiteral("PRODUTO")).toString(),
                     argumentos.value(QStringLiteral("CLIENTE")).toString());
    }

    void btnConsultarClick();
    void btnConfirmarClick();
    void BtnImportarClick();

    // Sizes of the stored columns: longer text is refused at the save.
    static constexpr int kTamResultado = 100;
    static constexpr int kTamObservacao = 200;
    static constexpr int kTamObsQuadro = 1000;

protected:
    void FormCreate() override;
    void showEvent(QShowEvent* event) override;
    bool TeclaControle(QWidget* control, QKeyEvent* tecla) override;

private:
    void FormShow();
    bool TextosCabem();
    void LimparQuadro();
    void BuscarOFPadrao();
    void BuscarOF2(const QString& produto, const QString& cliente);
    void GravaQuadro(const QString& produto, const QString& cliente);

    Ui::TfmTngProgInf ui;
    TClientDataSet* TbQuadro;
    // What a caller asked to show, loaded as the board shows.
    bool m_pedido = false;
    QString m_produtoPedido, m_clientePedido;
};
