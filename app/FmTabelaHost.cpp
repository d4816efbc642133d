#include "FmTabelaHost.h"
#include "Acesso.h"
#include "ClassRegistry.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "DataContext.h"
#include "DataSetModel.h"
#include "Formatacao.h"
#include "HostError.h"
#include "Mensagens.h"
#include "MessageService.h"
#include "Planilha.h"
#include "Protecao.h"
#include "Relatorio.h"
#include "TTabela.h"
#include "TTabelaDataSet.h"
#include "TZoDatabase.h"
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QVBoxLayout>

namespace {
const QString kUsuarios = QStringLiteral("ACESSO_USUARIOS");
const QString kDireitos = QStringLiteral("ACESSO_DIREITOS");

// The tables that hand out the system itself: their screens need the administrator flag or a right naming
// them, and every change of them is audited.
bool Administrativa(const QString& table) {
    return table == kUsuarios || table == kDireitos || table == QLatin1String("PARAMETROS") ||
           table == QLatin1String("PERIODO_CONCILIADO");
}

QString Flag(const QVariant& value) {
    return value.toString().trimmed().toUpper();
}

QString TextoLog(const QVariant& value) {
    return value.isNull() || value.toString().isEmpty() ? QStringLiteral("(vazio)") : TextoValor(value);
}
} // namespace

// Column captions come from LegendaCampo, shared with the look-ups over the same tables.
QList<TFmTabelaHost::Definition> TFmTabelaHost::Definitions() {
    return {
        {"TFmHostEntidade", "Clientes e Fornecedores", "ENTIDADE", "CODCLI", {}},
        {"TFmHostRepresen", "Representantes", "REPRESEN", "CODREP", {}},
        {"TFmHostProduto", "Produtos (Tecidos)", "PRODUTO", "CODIGO", {}},
        {"TFmHostMaterial", "Materiais (Corantes e Químicos)", "MATERIAL", "CODIGO", {}},
        {"TFmHostDeposito", "Depósitos", "DEPOSITO", "CODIGO", {}},
        {"TFmHostTipoMovEst", "Tipos de Movimento de Estoque", "TIPO_MOV_EST", "CODIGO", {}},
        {"TFmHostMatIten", "Estoque de Materiais", "MAT_ITEN", "CODIGO, COR, DEPOSITO, LOTE", {}, true},
        {"TFmHostMatMov", "Movimentos de Materiais", "MAT_MOV", "ID", {}, true},
        {"TFmHostPaIten", "Estoque de Produtos", "PA_ITEN", "CODIGO, COR, DEPOSITO, LOTE", {}, true},
        {"TFmHostPaMov", "Movimentos de Produtos", "PA_MOV", "ID", {}, true},
        {"TFmHostPessoal", "Funcionários", "PESSOAL", "CODIGO", {}},
        {"TFmHostTurno", "Turnos", "TURNO", "TURNO", {}},
        {"TFmHostTurnoHorarios", "Horários dos Turnos", "TURNO_HORARIOS", "TURNO, DIA", {}},
        {"TFmHostRegiao", "Regiões de Preço", "REGIAO", "REGIAO", {}},
        {"TFmHostOperacao", "Tipos de Operação", "OPERACAO", "CODIGO", {}},
        {"TFmHostFluxoTin", "Fluxos de Tinturaria", "FLUXOTIN", "CODCLI, CODIGO", {}},
        {"TFmHostTintur", "Ordens de Tinturaria", "TINTUR", "NUMERO", {}},
        {"TFmHostTinturIten",
         "Itens das Ordens de Tinturaria",
         "TINTUR_ITEN",
         "NUMERO, FICHA, CODIGO2, ORDEM",
         {},
         true},
        {"TFmHostPrecoParam", "Parâmetros de Custo e Preço", "PRECO_PARAM", "CODIGO", {}},
        {"TFmHostGrupoCor", "Grupos de Cores", "GRUPO_COR", "CODIGO", {}},
        {"TFmHostOfPadrao", "Quadro de Informações Padrão", "OFPADRAO", "CODIGO", {}},
        {"TFmHostParametros", "Parâmetros", "PARAMETROS", "MODULO, NUMERO", {}},
        {"TFmHostPeriodoConciliado", "Períodos Conciliados", "PERIODO_CONCILIADO", "TIPO, DATA_INI", {}},
        {"TFmHostUsuarios", "Usuários", "ACESSO_USUARIOS", "CODIGO", {"SENHA"}},
        {"TFmHostDireitos", "Direitos de Acesso", "ACESSO_DIREITOS", "USUARIO, CLASSE, LETRA", {}},
    };
}

void TFmTabelaHost::RegistraTelas() {
    int order = 800;
    for (const Definition& d : Definitions()) {
        const bool system = d.table.startsWith(QLatin1String("ACESSO")) || Administrativa(d.table);
        const bool restricted = Administrativa(d.table);
        if (restricted)
            RegistraClasseRestrita(d.className);
        RegisterClass(
            {d.className, d.caption, system ? QStringLiteral("Sistema") : QStringLiteral("Cadastros Gerais"),
             ScreenKind::Mdi, order++},
            [d, restricted](QWidget* parent) {
                // Whatever opens it (menu, another screen, a scenario): without the right, a
                // supervisor may release it, or it does not open.
                QString releasedBy;
                if (restricted && !TemDireito(vUsuarioCodigo(), d.className, QStringLiteral("A"), 0)) {
                    if (!Acessa(d.className, QStringLiteral("A"), QStringLiteral("0")))
                        throw EAbort();
                    releasedBy = vSupervisor();
                }
                auto* screen = new TFmTabelaHost(d, parent);
                screen->m_liberadoPor = releasedBy;
                return screen;
            });
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
    // Each confirmed row is durable at once.
    m_data->AfterPost = [](TDataSet&) { ConexaoHost()->Transaction()->CommitRetaining(); };
    m_data->AfterDelete = [](TDataSet&) { ConexaoHost()->Transaction()->CommitRetaining(); };
    if (Administrativa(definition.table)) {
        m_data->BeforeInsert = [this](TDataSet&) { m_antes.clear(); };
        m_data->BeforeEdit = [this](TDataSet&) { m_antes = ValoresAtuais(); };
        m_data->BeforePost = [this](TDataSet&) { AntesDeGravar(); };
        m_data->BeforeDelete = [this](TDataSet&) { AntesDeExcluir(); };
    }

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
    QList<ColunaGrade> columns;
    for (const FieldDef& def : m_data->FieldDefs())
        if (!definition.hidden.contains(def.name, Qt::CaseInsensitive))
            columns << ColunaGrade(def.name, def.Caption());
    m_grid->DeclaraColunas(columns);
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
    if (definition.table == kUsuarios) {
        auto* password = button(QStringLiteral("BtSenha"), QStringLiteral("Definir &Senha"));
        connect(password, &QPushButton::clicked, this, Protegido([this] { DefineSenha(); }));
    }
    if (definition.readOnly) {
        m_grid->SetReadOnly(true);
        for (QPushButton* edits : {include, save, cancel, remove})
            edits->hide();
    }
    bar->addStretch();
    auto* print = button(QStringLiteral("BtImprimir"), QStringLiteral("Im&primir"));
    auto* exporta = button(QStringLiteral("BtExportar"), QStringLiteral("E&xportar"));
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
    connect(exporta, &QPushButton::clicked, this, Protegido([this] {
                m_data->CheckBrowseMode();
                Chama_Planilha(*DataSetModel::Of(m_data), QStringLiteral("W") + m_definition.table,
                               windowTitle(), this);
            }));
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
    m_data->CheckBrowseMode();
    if (m_data->IsEmpty())
        return;
    const QString code = m_data->FieldByName(QStringLiteral("CODIGO")).AsString();
    if (code != vUsuarioCodigo() && !EhAdministrador(vUsuarioCodigo()))
        Recusa(QStringLiteral("Somente um administrador define a senha de outro usuário."));
    auto* dialog = new TFmSenha(code, m_data->FieldByName(QStringLiteral("NOME")).AsString(), this);
    // The stored row changed under the grid.
    connect(dialog, &QDialog::accepted, this, Protegido([this] { m_data->Refresh(); }));
    dialog->open();
}

QVariantList TFmTabelaHost::ValoresAtuais() const {
    QVariantList values;
    for (int i = 0; i < m_data->FieldCount(); ++i)
        values << m_data->CurrentValue(i);
    return values;
}

void TFmTabelaHost::Recusa(const QString& text) {
    Mensagens().Show(this, windowTitle(), text, MsgIcon::Warning);
    throw EAbort();
}

void TFmTabelaHost::AntesDeGravar() {
    const bool inserting = m_data->State() == DataSetState::Insert;
    if (m_definition.table == kUsuarios)
        RegrasUsuario(inserting);
    else if (m_definition.table == kDireitos)
        RegrasDireito(false);
    RegistraLog(inserting ? opInclusao : opAlteracao);
}

void TFmTabelaHost::AntesDeExcluir() {
    m_antes = ValoresAtuais();
    if (m_definition.table == kUsuarios)
        RegrasExclusaoUsuario();
    else if (m_definition.table == kDireitos)
        RegrasDireito(true);
    RegistraLog(opExclusao);
}

void TFmTabelaHost::RegrasUsuario(bool inserting) {
    for (const auto& [field, blank] :
         {std::pair{"SUPERVISOR", "N"}, {"ADMINISTRADOR", "N"}, {"ATIVO", "S"}}) {
        TField f = m_data->FieldByName(QLatin1String(field));
        const QString value = Flag(f.Value());
        if (!value.isEmpty() && value != QLatin1String("S") && value != QLatin1String("N"))
            Recusa(QStringLiteral("%1: informe S ou N.").arg(f.Def().Caption()));
        f = value.isEmpty() ? QString::fromLatin1(blank) : value;
    }
    const auto before = [this](const QString& field) {
        return m_antes.isEmpty() ? QVariant() : m_antes[m_data->FieldIndex(field)];
    };
    const QString code = m_data->FieldByName(QStringLiteral("CODIGO")).AsString().trimmed();
    if (code.isEmpty() || m_data->FieldByName(QStringLiteral("NOME")).AsString().trimmed().isEmpty())
        Recusa(QStringLiteral("Informe o código e o nome do usuário."));
    if (!inserting && code != before(QStringLiteral("CODIGO")).toString().trimmed())
        Recusa(QStringLiteral("O código de um usuário gravado não se altera."));
    const QVariant password = m_data->FieldByName(QStringLiteral("SENHA")).Value();
    if (inserting ? !password.toString().isEmpty() : password != before(QStringLiteral("SENHA")))
        Recusa(QStringLiteral("A senha se define pelo botão Definir Senha."));

    const bool admin =
        Flag(m_data->FieldByName(QStringLiteral("ADMINISTRADOR")).Value()) == QLatin1String("S");
    const bool active = Flag(m_data->FieldByName(QStringLiteral("ATIVO")).Value()) != QLatin1String("N");
    // What the row is now, stored or as this screen read it: either counts.
    const bool wasAdmin =
        !inserting && (Flag(before(QStringLiteral("ADMINISTRADOR"))) == QLatin1String("S") ||
                       Flag(Busca_Valor(kUsuarios, QStringLiteral("CODIGO"), QStringLiteral("ADMINISTRADOR"),
                                        {code})) == QLatin1String("S"));
    if (!EhAdministrador(vUsuarioCodigo())) {
        if (wasAdmin)
            Recusa(QStringLiteral("Somente um administrador altera o cadastro de um administrador."));
        if (admin)
            Recusa(QStringLiteral("Somente um administrador concede o perfil de administrador."));
    }
    if (!inserting && EhAdministrador(code) && !(admin && active) && !RestaOutroAdministrador(code)) {
        // Let go of the administrators' rows before the message waits.
        ConexaoHost()->Transaction()->RollbackRetaining();
        Recusa(QStringLiteral("O usuário %1 é o último administrador ativo: não pode deixar de ser "
                              "administrador nem ser desativado.")
                   .arg(code));
    }
}

void TFmTabelaHost::RegrasExclusaoUsuario() {
    const QString code = m_data->FieldByName(QStringLiteral("CODIGO")).AsString().trimmed();
    const bool wasAdmin =
        Flag(m_data->FieldByName(QStringLiteral("ADMINISTRADOR")).Value()) == QLatin1String("S") ||
        Flag(Busca_Valor(kUsuarios, QStringLiteral("CODIGO"), QStringLiteral("ADMINISTRADOR"), {code})) ==
            QLatin1String("S");
    if (wasAdmin && !EhAdministrador(vUsuarioCodigo()))
        Recusa(QStringLiteral("Somente um administrador exclui um administrador."));
    if (EhAdministrador(code) && !RestaOutroAdministrador(code)) {
        ConexaoHost()->Transaction()->RollbackRetaining();
        Recusa(
            QStringLiteral("O usuário %1 é o último administrador ativo: não pode ser excluído.").arg(code));
    }
}

// Those who hold this screen's right without the flag hand out the ordinary screens to others: not to
// themselves, and not this screen, users' or parameters'.
void TFmTabelaHost::RegrasDireito(bool removing) {
    if (!removing) {
        for (const char* field : {"USUARIO", "CLASSE"}) {
            TField f = m_data->FieldByName(QLatin1String(field));
            f = f.AsString().trimmed();
        }
        TField letter = m_data->FieldByName(QStringLiteral("LETRA"));
        letter = letter.AsString().trimmed().toUpper();
    }
    const QString self = vUsuarioCodigo();
    if (EhAdministrador(self))
        return;
    QStringList users, classes;
    if (!m_antes.isEmpty()) {
        users << m_antes[m_data->FieldIndex(QStringLiteral("USUARIO"))].toString().trimmed();
        classes << m_antes[m_data->FieldIndex(QStringLiteral("CLASSE"))].toString().trimmed();
    }
    if (!removing) {
        users << m_data->FieldByName(QStringLiteral("USUARIO")).AsString();
        classes << m_data->FieldByName(QStringLiteral("CLASSE")).AsString();
    }
    if (users.contains(self))
        Recusa(QStringLiteral("Ninguém altera os próprios direitos de acesso: peça a um administrador."));
    for (const QString& className : classes)
        if (ClasseRestrita(className))
            Recusa(QStringLiteral("Somente um administrador concede direitos sobre as telas de usuários, "
                                  "direitos de acesso e parâmetros."));
}

// Who (the session's user), what and before -> after, in the unit of work of the change itself; never the
// password column.
void TFmTabelaHost::RegistraLog(int kind) {
    QStringList key, changes;
    for (const QString& field : m_data->KeyFields())
        key << m_data->FieldByName(field).AsString().trimmed();
    for (int i = 0; i < m_data->FieldCount(); ++i) {
        const FieldDef& def = m_data->FieldDefs()[i];
        if (def.name == QLatin1String("SENHA"))
            continue;
        const QString label = def.displayLabel.isEmpty() ? def.name : def.displayLabel;
        const QVariant now = m_data->CurrentValue(i);
        if (kind == opAlteracao) {
            const QVariant old = m_antes.value(i);
            if (TextoLog(old) != TextoLog(now))
                changes << QStringLiteral("%1: %2 → %3").arg(label, TextoLog(old), TextoLog(now));
        } else if (!now.isNull() && !now.toString().isEmpty()) {
            changes << QStringLiteral("%1: %2").arg(label, TextoLog(now));
        }
    }
    if (changes.isEmpty())
        return;
    const QString what = kind == opInclusao   ? QStringLiteral("Inclusão")
                         : kind == opExclusao ? QStringLiteral("Exclusão")
                                              : QStringLiteral("Alteração");
    QString text =
        QStringLiteral("%1 em %2 (%3): %4")
            .arg(what, m_definition.caption, key.join(QLatin1Char(';')), changes.join(QStringLiteral("; ")));
    if (!m_liberadoPor.isEmpty())
        text += QStringLiteral(" [tela liberada pelo supervisor %1]").arg(m_liberadoPor);
    GeraLog(m_definition.caption.toUpper(), text, kind, key.join(QLatin1Char(';')), this);
}

void TFmTabelaHost::closeEvent(QCloseEvent* event) {
    if (m_data->Editing())
        m_data->Cancel();
    event->accept();
}

TFmSenha::TFmSenha(const QString& userCode, const QString& userName, QWidget* parent)
    : QDialog(parent), m_codigo(userCode) {
    setObjectName(QStringLiteral("FmSenha"));
    setAttribute(Qt::WA_DeleteOnClose);
    const bool own = userCode == vUsuarioCodigo();
    setWindowTitle(own ? QStringLiteral("Alterar Senha") : QStringLiteral("Definir Senha"));
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Usuário:"),
                 new QLabel(QStringLiteral("%1 - %2").arg(userCode, userName), this));
    auto box = [&](const QString& name, const QString& label) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setEchoMode(QLineEdit::Password);
        form->addRow(label, edit);
        return edit;
    };
    if (own)
        m_atual = box(QStringLiteral("EdtSenhaAtual"), QStringLiteral("Senha atual:"));
    m_nova = box(QStringLiteral("EdtNovaSenha"), QStringLiteral("Nova senha:"));
    m_confirmacao = box(QStringLiteral("EdtConfirmaSenha"), QStringLiteral("Confirme a nova senha:"));
    m_erro = new QLabel(this);
    m_erro->setObjectName(QStringLiteral("LblErro"));
    m_erro->setStyleSheet(QStringLiteral("color: #b00020"));
    form->addRow(m_erro);
    auto* buttons = new QDialogButtonBox(this);
    auto* confirm = buttons->addButton(QStringLiteral("&Confirmar"), QDialogButtonBox::AcceptRole);
    confirm->setObjectName(QStringLiteral("BtConfirmar"));
    confirm->setDefault(true);
    auto* cancel = buttons->addButton(QStringLiteral("C&ancelar"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("BtCancelar"));
    form->addRow(buttons);
    connect(confirm, &QPushButton::clicked, this, Protegido([this] { Confirma(); }));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFmSenha::Falha(const QString& text) {
    for (QLineEdit* box : {m_atual, m_nova, m_confirmacao})
        if (box)
            box->clear();
    m_erro->setText(text);
    (m_atual ? m_atual : m_nova)->setFocus();
}

void TFmSenha::Confirma() {
    if (m_nova->text() != m_confirmacao->text()) {
        Falha(QStringLiteral("A confirmação não confere com a nova senha."));
        return;
    }
    QString reason;
    // The audit row names the users' screen when it is that screen's button.
    QObject* screen =
        qobject_cast<TFmTabelaHost*>(parentWidget()) ? static_cast<QObject*>(parentWidget()) : this;
    if (!AlteraSenha(m_codigo, m_atual ? m_atual->text() : QString(), m_nova->text(), reason, screen)) {
        Falha(reason);
        if (++m_falhas >= 3)
            reject();
        return;
    }
    ConexaoHost()->Transaction()->CommitRetaining();
    Informa(this, QStringLiteral("Senha alterada."));
    accept();
}
