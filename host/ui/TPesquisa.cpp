#include "TPesquisa.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "Funcoes.h"
#include "Mensagens.h"
#include "Protecao.h"
#include "TTabelaDataSet.h"
#include "TZoQuery.h"
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TPesquisa::TPesquisa(QObject* parent) : QObject(parent), m_rows(std::make_unique<TZoQuery>()) {}
TPesquisa::~TPesquisa() = default;

QString TPesquisa::Statement(const QString& text) const {
    const QStringList columns = Campos.isEmpty() ? QStringList{CampoChave} : Campos;
    QString search = CampoBusca.isEmpty() ? columns.value(columns.size() > 1 ? 1 : 0) : CampoBusca;
    QString base =
        SQL.isEmpty()
            ? QStringLiteral("SELECT %1 FROM %2").arg(columns.join(QStringLiteral(", ")), DBLocal(Tabela))
            : SQL;
    QStringList conditions;
    if (!Filtro.isEmpty())
        conditions << '(' + Filtro + ')';
    if (!text.trimmed().isEmpty())
        conditions << QStringLiteral(
                          "(UPPER(CAST(%1 AS VARCHAR(200))) CONTAINING %2 OR UPPER(CAST(%3 AS VARCHAR(200))) "
                          "STARTING WITH %2)")
                          .arg(search, Aspas(text.trimmed().toUpper()), CampoChave);
    if (!SQL.isEmpty()) {
        // A query of the caller's is searched as a derived table.
        base = QStringLiteral("SELECT * FROM (%1) P").arg(SQL);
        search = QStringLiteral("P.") + search;
    }
    QString sql = base;
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    const QString order = OrdenarPor.isEmpty() ? search : OrdenarPor;
    if (!order.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + order;
    return sql;
}

TZoQuery* TPesquisa::Busca(const QString& text) {
    m_rows->SQL = QStringList{Statement(text)};
    m_rows->Open();
    // Users read the columns by the captions the table's own screens show.
    AplicaLegendas(*m_rows, SQL.isEmpty() ? Tabela : QString());
    return m_rows.get();
}

bool TPesquisa::Escolhe(const QString& key) {
    if (!m_rows->Active())
        Busca(QString());
    if (!m_rows->Locate(CampoChave.section('.', -1), {key}))
        return false;
    m_chosen.clear();
    for (const FieldDef& f : m_rows->FieldDefs())
        m_chosen.insert(f.name, m_rows->FieldByName(f.name).Value());
    if (Edit)
        Edit->setText(m_chosen.value(CampoChave.section('.', -1).toUpper()).toString());
    return true;
}

QVariant TPesquisa::RetornoPesquisa(const QString& field) const {
    return m_chosen.value(field.section('.', -1).toUpper());
}

bool TPesquisa::AbrePesquisa(QWidget* parent) {
    m_chosen.clear();
    return Mensagens().Search(parent, *this);
}

namespace {
// The list moves under the keys that move through lists while the filter keeps the focus, so the user
// types, goes down to the row and takes it with Enter without leaving the box.
class TeclasDaLista : public QObject {
public:
    TeclasDaLista(QAbstractItemView* list, QObject* parent) : QObject(parent), m_list(list) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            QCoreApplication::sendEvent(m_list, event);
            return true;
        default:
            return false;
        }
    }

private:
    QAbstractItemView* m_list;
};
} // namespace

bool TPesquisa::ExecDialog(QWidget* parent) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("FmPesquisa"));
    dialog.setWindowTitle(Titulo.isEmpty() ? QStringLiteral("Pesquisa") : Titulo);
    dialog.resize(640, 420);
    auto* layout = new QVBoxLayout(&dialog);
    auto* filter = new QLineEdit(&dialog);
    filter->setObjectName(QStringLiteral("EdtPesquisa"));
    filter->setPlaceholderText(QStringLiteral("Digite parte do código ou da descrição"));
    auto* grid = new TZoDBGrid(&dialog);
    grid->setObjectName(QStringLiteral("GridPesquisa"));
    grid->SetReadOnly(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    layout->addWidget(new QLabel(QStringLiteral("Localizar:"), &dialog));
    layout->addWidget(filter);
    layout->addWidget(grid);
    layout->addWidget(buttons);
    Busca(QString());
    grid->SetDataSet(m_rows.get());
    grid->resizeColumnsToContents();
    connect(filter, &QLineEdit::textChanged, &dialog,
            Protegido([this](const QString& text) { Busca(text); }));
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    connect(grid, &QAbstractItemView::doubleClicked, &dialog, &QDialog::accept);
    grid->OnKeyDown = [&dialog](QKeyEvent* key) {
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            dialog.accept();
            return true;
        }
        return false;
    };
    filter->installEventFilter(new TeclasDaLista(grid, filter));
    filter->setFocus();
    if (dialog.exec() != QDialog::Accepted || m_rows->IsEmpty())
        return false;
    return Escolhe(m_rows->FieldByName(CampoChave.section('.', -1)).AsString());
}

bool TPesquisa::PesquisaCampo(QWidget* parent, const QString& titulo, const QString& tabela,
                              TDataSet* destino, const QString& campo, const QString& chave,
                              const QString& descricao) {
    TPesquisa search;
    search.Titulo = titulo;
    search.Tabela = tabela;
    search.CampoChave = chave;
    search.Campos = QStringList{chave, descricao};
    if (!search.AbrePesquisa(parent))
        return false;
    destino->Edit();
    destino->FieldByName(campo) = search.Chave();
    return true;
}
