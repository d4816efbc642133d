#pragma once
#include <QWidget>
#include <memory>

class ImportaCadastro;
class ModeloPrevia;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

// Sistema › Importar Cadastros: a spreadsheet's master data read, every line shown with its verdict, then
// written whole or not at all; the refused lines saved to be corrected. Administrators, or users holding
// this screen's own right.
class TFmImportaCadastro : public QWidget {
    Q_OBJECT
public:
    explicit TFmImportaCadastro(QWidget* parent = nullptr);
    ~TFmImportaCadastro() override;
    void EscolheArquivo();
    void Le();
    void Importa();
    void SalvaRecusadas();

private:
    void Mostra();
    QComboBox* m_cadastro;
    QLineEdit* m_arquivo;
    QCheckBox* m_recusadas;
    QTableView* m_grade;
    QLabel* m_resumo;
    QPushButton* m_importar;
    QPushButton* m_salvar;
    ModeloPrevia* m_modelo;
    std::unique_ptr<ImportaCadastro> m_importacao;
};

void RegistraTelaImportacao();
