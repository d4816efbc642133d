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
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

TPesquisa::TPesquisa(QObject* parent) : QObject(parent), m_rows(std::make_unique<TZoQuery>()) {}
TPesquisa::~TPesquisa() = default;

namespace {
QStringList colunas(const TPesquisa& p) {
    return p.Campos.isEmpty() ? QStringList{p.CampoChave} : p.Campos;
}

QString colunaBusca(const TPesquisa& p) {
    const QStringList columns = colunas(p);
    return p.CampoBusca.isEmpty() ? columns.value(columns.size() > 1 ? 1 : 0) : p.CampoBusca;
}

// The column of the count of every row, when the first window brings it.
const QString kTotal = QStringLiteral("TOTAL_DA_LISTA");
} // namespace

// The rows of the table or of the query given under the filter and the conditions given, in no order; with
// the count of every row in a last column when asked.
QString TPesquisa::Selecao(const QString& consulta, const QStringList& conditions, bool total) const {
    const QString contagem = total ? QStringLiteral(", COUNT(*) OVER () AS ") + kTotal : QString();
    QString sql = consulta.isEmpty()
                      ? QStringLiteral("SELECT %1%2 FROM %3")
                            .arg(colunas(*this).join(QStringLiteral(", ")), contagem, DBLocal(Tabela))
                      // A query of the caller's is searched as a derived table.
                      : QStringLiteral("SELECT P.*%1 FROM (%2) P").arg(contagem, consulta);
    QStringList all;
    if (!Filtro.isEmpty())
        all << '(' + Filtro + ')';
    all << conditions;
    if (!all.isEmpty())
        sql += QStringLiteral(" WHERE ") + all.join(QStringLiteral(" AND "));
    return sql;
}

// The list's statement with the conditions given, in the list's order, limited to the rows given; with the
// count of every row in a last column when asked.
QString TPesquisa::Monta(const QStringList& conditions, const QString& rows, bool total) const {
    QString sql = Selecao(SQL, conditions, total);
    const QString search = colunaBusca(*this);
    // Rows tied on the search column would fall between two windows in any order: the key breaks the tie.
    // A caller's own order is total already (and may walk an index the key would spoil).
    QString order = OrdenarPor;
    if (order.isEmpty() && !search.isEmpty()) {
        order = SQL.isEmpty() ? search : QStringLiteral("P.") + search;
        if (!CampoChave.isEmpty() && search.compare(CampoChave, Qt::CaseInsensitive) != 0)
            order += QStringLiteral(", ") + CampoChave;
    }
    const QString ordem = order.isEmpty() ? QString() : QStringLiteral(" ORDER BY ") + order;
    sql += ordem + ' ' + rows;
    if (SobreJanela.isEmpty())
        return sql;
    // The window is cut first; its rows keep their order under the same names.
    return QStringLiteral("SELECT * FROM (%1) P").arg(SobreJanela.arg('(' + sql + ')')) + ordem;
}

namespace {
QStringList condicoesDoTexto(const TPesquisa& p, const QString& text) {
    const QString typed = text.trimmed();
    if (typed.isEmpty())
        return {};
    // "joao" finds "JOÃO": users type names as they say them. Folding accents costs twice a plain scan, and
    // a number or a code typed has none to fold.
    const bool letters = std::any_of(typed.begin(), typed.end(), [](QChar c) { return c.isLetter(); });
    const QString column = letters ? QStringLiteral("CAST(%1 AS VARCHAR(200) CHARACTER SET UTF8) COLLATE "
                                                    "UNICODE_CI_AI")
                                   : QStringLiteral("UPPER(CAST(%1 AS VARCHAR(200)))");
    return {QStringLiteral("(%1 CONTAINING %2 OR UPPER(CAST(%3 AS VARCHAR(200))) STARTING WITH %2)")
                .arg(column.arg(colunaBusca(p)), Aspas(typed.toUpper()), p.CampoChave)};
}

QString janela(int inicio) {
    return QStringLiteral("ROWS %1 TO %2").arg(inicio + 1).arg(inicio + TPesquisa::kJanela);
}
} // namespace

QString TPesquisa::Statement(const QString& text, int inicio) const {
    return Monta(condicoesDoTexto(*this, text), janela(inicio));
}

int TPesquisa::Conta(const QString& text) const {
    TZoQuery total;
    // Counted in no order: a sort of every row for nothing.
    total.SQL << QStringLiteral("SELECT COUNT(*) FROM (%1) C")
                     .arg(Selecao(SQLContagem.isEmpty() ? SQL : SQLContagem, condicoesDoTexto(*this, text)));
    total.Open();
    return total.Fields(0).AsInteger();
}

int TPesquisa::Total() const {
    return m_total >= 0 ? m_total : Conta(m_text);
}

void TPesquisa::AcompanhaRolagem(TZoDBGrid* grid, QObject* contexto) {
    QScrollBar* bar = grid->verticalScrollBar();
    const auto nearEnd = Protegido([this, bar] {
        if (m_fetching || bar->value() < bar->maximum() - bar->pageStep())
            return;
        const int shown = bar->value();
        if (BuscaMais())
            bar->setValue(shown);
    });
    connect(bar, &QScrollBar::valueChanged, contexto, nearEnd);
    connect(bar, &QScrollBar::rangeChanged, contexto, nearEnd);
}

TZoQuery* TPesquisa::Busca(const QString& text) {
    m_rows->SQL = QStringList{Monta(condicoesDoTexto(*this, text), janela(0), ContaNaJanela)};
    m_rows->Open();
    m_text = text;
    m_more = m_rows->RecordCount() >= kJanela;
    // Users read the columns by the captions the table's own screens show.
    AplicaLegendas(*m_rows, SQL.isEmpty() ? Tabela : QString());
    m_total = -1;
    if (ContaNaJanela) {
        m_total = m_rows->IsEmpty() ? 0 : m_rows->FieldByName(kTotal).AsInteger();
        m_rows->FieldDefByName(kTotal).visible = false;
    }
    return m_rows.get();
}

bool TPesquisa::BuscaMais() {
    return Acrescenta(kJanela);
}

bool TPesquisa::BuscaResto() {
    return Acrescenta(0);
}

// The next `quantas` rows of the last search, every row left when 0.
bool TPesquisa::Acrescenta(int quantas) {
    if (!m_more || m_fetching || !m_rows->Active())
        return false;
    QScopedValueRollback<bool> fetching(m_fetching, true);
    const int lidas = m_rows->RecordCount();
    TZoQuery next;
    next.SQL = QStringList{
        quantas > 0 ? Statement(m_text, lidas)
                    : Monta(condicoesDoTexto(*this, m_text), QStringLiteral("OFFSET %1 ROWS").arg(lidas))};
    next.Open();
    m_more = quantas > 0 && next.RecordCount() >= quantas;
    if (next.IsEmpty())
        return false;
    // Appended row by row, so the list keeps its place; the cursor goes back to the row the user is on. By
    // name: the first window may hold the count besides.
    QList<int> campos;
    for (const FieldDef& campo : next.FieldDefs())
        campos << m_rows->FieldIndex(campo.name);
    const int current = m_rows->RecNo();
    for (next.First(); !next.Eof(); next.Next()) {
        m_rows->Append();
        for (int f = 0; f < next.FieldCount(); ++f)
            m_rows->SetCurrentValue(campos[f], next.CurrentValue(f));
        m_rows->Post();
    }
    m_rows->MoveTo(current);
    return true;
}

void TPesquisa::Toma(TZoQuery& rows) {
    m_chosen.clear();
    for (const FieldDef& f : rows.FieldDefs())
        m_chosen.insert(f.name, rows.FieldByName(f.name).Value());
    m_keys = QStringList{m_chosen.value(CampoChave.section('.', -1).toUpper()).toString()};
    if (Edit)
        Edit->setText(m_keys.first());
}

bool TPesquisa::EscolheVarias(const QStringList& keys) {
    QStringList chosen;
    for (const QString& key : keys) {
        if (!Escolhe(key))
            return false;
        chosen << m_keys;
    }
    m_keys = chosen;
    return !chosen.isEmpty();
}

bool TPesquisa::Escolhe(const QString& key) {
    if (m_rows->Active() && m_rows->Locate(CampoChave.section('.', -1), {key})) {
        Toma(*m_rows);
        return true;
    }
    // Not among the rows fetched, if any: further down the list, or in none.
    TZoQuery row;
    row.SQL =
        QStringList{Monta({QStringLiteral("%1 = %2").arg(CampoChave, Aspas(key))}, QStringLiteral("ROWS 1"))};
    row.Open();
    if (row.IsEmpty())
        return false;
    Toma(row);
    return true;
}

QVariant TPesquisa::RetornoPesquisa(const QString& field) const {
    return m_chosen.value(field.section('.', -1).toUpper());
}

bool TPesquisa::AbrePesquisa(QWidget* parent) {
    m_chosen.clear();
    m_keys.clear();
    if (!TextoVazio.isEmpty()) {
        TZoQuery first;
        first.SQL = QStringList{Monta({}, QStringLiteral("ROWS 1"))};
        first.Open();
        if (first.IsEmpty()) {
            Informa(parent, TextoVazio);
            return false;
        }
    }
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
    if (MultiplaEscolha)
        grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
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
    AcompanhaRolagem(grid, &dialog);
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
    // The row the user is on, also when another row has the same key.
    Toma(*m_rows);
    if (MultiplaEscolha) {
        QList<int> rows;
        for (const QModelIndex& index : grid->selectionModel()->selectedRows())
            rows << index.row();
        std::sort(rows.begin(), rows.end());
        const int key = m_rows->FieldIndex(CampoChave.section('.', -1));
        QStringList keys;
        for (int row : std::as_const(rows))
            keys << m_rows->ValueAt(row, key).toString();
        if (!keys.isEmpty())
            m_keys = keys;
    }
    return true;
}

std::optional<QString> TPesquisa::EscolheCodigo(QWidget* parent, const QString& titulo, const QString& tabela,
                                                const QString& chave, const QString& descricao) {
    TPesquisa search;
    search.Titulo = titulo;
    search.Tabela = tabela;
    search.CampoChave = chave;
    search.Campos = QStringList{chave, descricao};
    if (!search.AbrePesquisa(parent))
        return std::nullopt;
    return search.Chave().trimmed();
}

bool TPesquisa::PesquisaCampo(QWidget* parent, const QString& titulo, const QString& tabela,
                              TDataSet* destino, const QString& campo, const QString& chave,
                              const QString& descricao) {
    const std::optional<QString> codigo = EscolheCodigo(parent, titulo, tabela, chave, descricao);
    if (!codigo)
        return false;
    destino->Edit();
    destino->FieldByName(campo) = *codigo;
    return true;
}
