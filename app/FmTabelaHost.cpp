#include "FmTabelaHost.h"
#include "Acesso.h"
#include "ClassRegistry.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "DataContext.h"
#include "Mensagens.h"
#include "Protecao.h"
#include "Relatorio.h"
#include "TTabela.h"
#include "TZoDatabase.h"
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QVBoxLayout>

// Column captions come from LegendaCampo, shared with the look-ups over the same tables.
QList<TFmTabelaHost::Definition> TFmTabelaHost::Definitions() {
    return {
        {"TFmHostEntidade", "Clientes e Fornecedores", "ENTIDADE", "CODCLI", {}},
        {"TFmHostRepresen", "Representantes", "REPRESEN", "CODREP", {}},
        {"TFmHostProduto", "Produtos (Tecidos)", "PRODUTO", "CODIGO", {}},
        {"TFmHostMaterial", "Materiais (Corantes e Químicos)", "MATERIAL", "CODIGO", {}},
        {"TFmHostDeposito", "Depósitos", "DEPOSITO", "CODIGO", {}},
        {"TFmHostPessoal", "Funcionários", "PESSOAL", "CODIGO", {}},
        {"TFmHostTurno", "Turnos", "TURNO", "TURNO", {}},
        {"TFmHostTurnoHorarios", "Horários dos Turnos", "TURNO_HORARIOS", "TURNO, DIA", {}},
        {"TFmHostRegiao", "Regiões de Preço", "REGIAO", "REGIAO", {}},
        {"TFmHostGrupoCor", "Grupos de Cores", "GRUPO_COR", "CODIGO", {}},
        {"TFmHostParametros", "Parâmetros", "PARAMETROS", "MODULO, NUMERO", {}},
        {"TFmHostUsuarios", "Usuários", "ACESSO_USUARIOS", "CODIGO", {"SENHA"}},
        {"TFmHostDireitos", "Direitos de Acesso", "ACESSO_DIREITOS", "USUARIO, CLASSE, LETRA", {}},
    };
}

void TFmTabelaHost::RegistraTelas() {
    int order = 800;
    for (const Definition& d : Definitions()) {
        const bool system =
            d.table.startsWith(QLatin1String("ACESSO")) || d.table == QLatin1String("PARAMETROS");
        RegisterClass({d.className, d.caption,
                       system ? QStringLiteral("Sistema") : QStringLiteral("Cadastros Gerais"),
                       ScreenKind::Mdi, order++},
                      [d](QWidget* parent) { return new TFmTabelaHost(d, parent); });
    }
}

TFmTabelaHost::TFmTabelaHost(const Definition& definition, QWidget* parent)
    : QWidget(parent), m_definition(definition),
      m_data(new TTabelaDataSet(*ConexaoHost(), definition.table, definition.orderBy, this)) {
    setObjectName(definition.className.mid(1));
    setWindowTitle(definition.caption);
    setAttribute(Qt::WA_DeleteOnClose);
    m_data->Open();
    AplicaLegendas(*m_data, definition.table);
    for (const QString& field : definition.hidden)
        if (m_data->FieldIndex(field) >= 0)
            m_data->FieldDefByName(field).visible = false;
    // Each confirmed row is durable at once.
    m_data->AfterPost = [](TDataSet&) { ConexaoHost()->Transaction()->CommitRetaining(); };
    m_data->AfterDelete = [](TDataSet&) { ConexaoHost()->Transaction()->CommitRetaining(); };

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("EdtPesquisa"));
    m_search->setPlaceholderText(QStringLiteral("Localizar (código ou nome)"));
    m_search->setMaximumWidth(320);
    top->addWidget(new QLabel(QStringLiteral("Localizar:"), this));
    top->addWidget(m_search);
    top->addStretch();
    layout->addLayout(top);
    m_grid = new TZoDBGrid(this);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_grid->SetDataSet(m_data);
    m_grid->SetReadOnly(false);
    m_grid->resizeColumnsToContents();
    layout->addWidget(m_grid);

    auto* bar = new QHBoxLayout;
    auto button = [&](const QString& name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        bar->addWidget(b);
        return b;
    };
    auto* include = button(QStringLiteral("BtIncluir"), QStringLiteral("&Incluir"));
    auto* save = button(QStringLiteral("SbConfirmar"), QStringLiteral("&Gravar"));
    auto* cancel = button(QStringLiteral("BtDesistir"), QStringLiteral("&Desistir"));
    auto* remove = button(QStringLiteral("BtExcluir"), QStringLiteral("&Excluir"));
    if (definition.table == QLatin1String("ACESSO_USUARIOS")) {
        auto* password = button(QStringLiteral("BtSenha"), QStringLiteral("Definir &Senha"));
        connect(password, &QPushButton::clicked, this, Protegido([this] { DefineSenha(); }));
    }
    bar->addStretch();
    auto* print = button(QStringLiteral("BtImprimir"), QStringLiteral("Im&primir"));
    auto* close = button(QStringLiteral("BtSaida"), QStringLiteral("&Fechar"));
    layout->addLayout(bar);

    connect(include, &QPushButton::clicked, this, Protegido([this] {
                m_data->Append();
                m_grid->setFocus();
            }));
    connect(save, &QPushButton::clicked, this, Protegido([this] { Grava(); }));
    connect(cancel, &QPushButton::clicked, this, Protegido([this] { m_data->Cancel(); }));
    connect(remove, &QPushButton::clicked, this, Protegido([this] { Exclui(); }));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(print, &QPushButton::clicked, this, Protegido([this] { Imprime(); }));
    connect(m_search, &QLineEdit::textChanged, this, Protegido([this](const QString& text) {
                if (text.trimmed().isEmpty()) {
                    m_data->ClearFilter();
                    return;
                }
                const QString wanted = text.trimmed();
                m_data->SetFilter([wanted, this](const RecordView& row) {
                    for (const FieldDef& f : m_data->FieldDefs())
                        if (f.visible && row.value(f.name).toString().contains(wanted, Qt::CaseInsensitive))
                            return true;
                    return false;
                });
            }));
}

TFmTabelaHost::~TFmTabelaHost() = default;

void TFmTabelaHost::Grava() {
    m_data->Post();
}

TRelatorio TFmTabelaHost::Relatorio() const {
    TRelatorio report(QStringLiteral("W") + m_definition.table, windowTitle(), m_data);
    // Every column the grid shows, numbers as it shows them; a listing of registers sums nothing.
    QList<ColunaRelatorio> columns = report.ColunasPadrao();
    for (ColunaRelatorio& column : columns) {
        if (column.casas >= 0)
            column.casas = m_data->FieldDefByName(column.campo).decimals;
        column.totaliza = false;
    }
    report.DefineColunas(columns);
    return report;
}

void TFmTabelaHost::Imprime() {
    m_data->CheckBrowseMode();
    Chama_RelatorioWin(Relatorio(), this);
}

void TFmTabelaHost::Exclui() {
    if (m_data->IsEmpty())
        return;
    if (!Pergunta(this, QStringLiteral("Eliminação de Registro"),
                  QStringLiteral("Deseja eliminar este Registro?"), false))
        return;
    m_data->Delete();
}

void TFmTabelaHost::DefineSenha() {
    if (m_data->IsEmpty())
        return;
    m_data->CheckBrowseMode();
    const QString code = m_data->FieldByName(QStringLiteral("CODIGO")).AsString();
    QString password;
    if (!InputQuery(this, windowTitle(), QStringLiteral("Nova senha do usuário %1:").arg(code), password) ||
        password.isEmpty())
        return;
    m_data->Edit();
    m_data->FieldByName(QStringLiteral("SENHA")) = HashSenha(code, password);
    m_data->Post();
    Informa(this, QStringLiteral("Senha alterada."));
}

void TFmTabelaHost::closeEvent(QCloseEvent* event) {
    if (m_data->Editing())
        m_data->Cancel();
    event->accept();
}
