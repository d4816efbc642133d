#pragma once
#include "Relatorio.h"
#include <QStringList>
#include <QWidget>

class TTabelaDataSet;
class TZoDBGrid;
class QLineEdit;

// Maintenance of one host table the module only reads (customers, products, shifts...): an editable grid
// with include, delete, save, cancel and a search box. Every save and delete is committed at once.
class TFmTabelaHost : public QWidget {
    Q_OBJECT
public:
    struct Definition {
        QString className;
        QString caption;
        QString table;
        QString orderBy;
        QStringList hidden;
    };
    TFmTabelaHost(const Definition& definition, QWidget* parent = nullptr);
    ~TFmTabelaHost() override;
    static QList<Definition> Definitions();
    static void RegistraTelas();
    // What Imprimir prints: every column the grid shows, with its caption.
    TRelatorio Relatorio() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Grava();
    void Imprime();
    void Exclui();
    void DefineSenha();
    Definition m_definition;
    TTabelaDataSet* m_data;
    TZoDBGrid* m_grid;
    QLineEdit* m_search;
};
