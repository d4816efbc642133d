#include "TngExpFal.h"
#include "CaixaPesquisa.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "DataSetModel.h"
#include "Formatacao.h"
#include "GradeEdicao.h"
#include "GravacaoAtomica.h"
#include "HostUi.h"
#include "Mensagens.h"
#include "ModuleUnits.h"
#include "PassosExpedicao.h"
#include "PrioridadeFal.h"
#include "Protecao.h"
#include "RegrasExpedicao.h"
#include "TClientDataSet.h"
#include "TZoQuery.h"
#include <QKeyEvent>
#include <QScopeGuard>

TFmTngExpFal* FmTngExpFal = nullptr;

KELM_SCREEN_UNIT(TngExpFal, TFmTngExpFal);

namespace {
const QString kNenhuma = QStringLiteral("Nenhuma FAL selecionada.");
} // namespace

TFmTngExpFal::TFmTngExpFal(QWidget* parent) : TForm(parent), TbRelatorio(new TClientDataSet(this)) {
    setObjectName(QStringLiteral("FmTngExpFal"));
    setWindowTitle(QStringLiteral("Liberação/Expedição de FAL"));
    ui.setupUi(this);
    PublicaInstancia(FmTngExpFal);
}

void TFmTngExpFal::FormCreate() {
    PreparaGrade();
    DeclaraCaixa({.caixa = ui.EdtCodCli,
                  .descricao = ui.EdtNomCli,
                  .titulo = QStringLiteral("Clientes"),
                  .tabela = QStringLiteral("ENTIDADE"),
                  .chave = QStringLiteral("CODCLI"),
                  .campoDescricao = QStringLiteral("NOME"),
                  .recusa = QStringLiteral("Cliente inexistente.")});
    DeclaraCaixa({.caixa = ui.EdtCodFase,
                  .descricao = ui.EdtDesFase,
                  .titulo = QStringLiteral("Fases"),
                  .tabela = QStringLiteral("FASE"),
                  .recusa = QStringLiteral("Fase inexistente.")});
    DeclaraCaixa({.caixa = ui.EdtCodGrupo,
                  .descricao = ui.EdtDesGrupo,
                  .titulo = QStringLiteral("Grupos de clientes"),
                  .tabela = QStringLiteral("GRUPO_CLI"),
                  .recusa = QStringLiteral("Grupo de clientes inexistente.")});
    const QDate hoje = QDate::currentDate();
    ui.EdtDataDe->setDate(hoje.addDays(-30));
    ui.EdtDataAte->setDate(hoje);
    ui.RbPendente->setChecked(true);
    m_exigeRolos = BuscaParametro(QStringLiteral("TIN"), 170).trimmed() == u"S";
    ui.RgStatus->setEnabled(!m_exigeRolos);
    connect(ui.BtnConsultar, &QPushButton::clicked, this, Protegido([this] { ConsultaFAL(); }));
    connect(ui.BitBtn1, &QPushButton::clicked, this, Protegido([this] { BitBtn1Click(); }));
    connect(ui.BtnFechar, &QPushButton::clicked, this, &QWidget::close);
    SaidaSemConferencia(ui.BtnFechar);
    AcaoMenuGrade(ui.DBGrid1, "BaixaSetor1", QStringLiteral("Liberar Setor"), [this] { BaixaSetor1Click(); });
    AcaoMenuGrade(ui.DBGrid1, "PrioridadeFal1", QStringLiteral("Prioridade da FAL"),
                  [this] { PrioridadeFal1Click(); });
    AcaoMenuGrade(ui.DBGrid1, "EstornarUltimaFase1", QStringLiteral("Estornar Última Fase"),
                  [this] { EstornarUltimaFase1Click(); });
    DicaTeclas({ui.EdtBarra}, QStringLiteral("Enter: ler o código de barras"));
    MostraTotais();
    ui.EdtCodCli->setFocus();
}

void TFmTngExpFal::PreparaGrade() {
    TbRelatorio->setObjectName(QStringLiteral("TbRelatorio"));
    // The grid's frame until the first consult, whose rows come whole with fields of the same names.
    TbRelatorio->AddField(QStringLiteral("Seleciona"), QMetaType::QString, 1)
        .AddField(QStringLiteral("FAL"), QMetaType::QString, 7)
        .AddField(QStringLiteral("Cor"), QMetaType::QString, 10)
        .AddField(QStringLiteral("DescCor"), QMetaType::QString, 30)
        .AddField(QStringLiteral("Peso"), QMetaType::Double)
        .AddField(QStringLiteral("Rolo"), QMetaType::Int)
        .AddField(QStringLiteral("Cliente"), QMetaType::QString, 5)
        .AddField(QStringLiteral("Nome"), QMetaType::QString, 50)
        .AddField(QStringLiteral("Data"), QMetaType::QDate)
        .AddField(QStringLiteral("Partida"), QMetaType::QString, 6)
        .AddField(QStringLiteral("Fase"), QMetaType::QString, 50)
        .AddField(QStringLiteral("CodFase"), QMetaType::QString, 3)
        .AddField(QStringLiteral("Lote"), QMetaType::QString, 25)
        .AddField(QStringLiteral("Qtde_Expedida"), QMetaType::Int);
    TbRelatorio->CreateDataSet();
    ui.DBGrid1->SetDataSet(TbRelatorio);
    ui.DBGrid1->SetReadOnly(false);
    DataSetModel::Of(TbRelatorio)->SetCheckField(QStringLiteral("Seleciona"));
    ui.DBGrid1->DeclaraColunas({{"Seleciona", "Sel."},
                                ColunaGrade("FAL", "FAL").SomenteLeitura(),
                                ColunaGrade("Partida", "Partida").SomenteLeitura(),
                                ColunaGrade("Cliente", "Cliente").SomenteLeitura(),
                                ColunaGrade("Nome", "Nome").Largura(24).SomenteLeitura(),
                                ColunaGrade("Cor", "Cor").SomenteLeitura(),
                                ColunaGrade("DescCor", "Descrição da cor").Largura(18).SomenteLeitura(),
                                ColunaGrade("Peso", "Peso (kg)").Casas(3).SomenteLeitura(),
                                ColunaGrade("Rolo", "Rolos").SomenteLeitura(),
                                ColunaGrade("Qtde_Expedida", "Lidos").SomenteLeitura(),
                                ColunaGrade("Data", "Emissão").SomenteLeitura(),
                                ColunaGrade("CodFase", "Fase").SomenteLeitura(),
                                ColunaGrade("Fase", "Descrição da fase").Largura(18).SomenteLeitura(),
                                ColunaGrade("Lote", "Lote").Estica().SomenteLeitura()});
    AcompanhaLinhas(TbRelatorio, this, [this] { MostraTotais(); });
}

// Worked out over the list whenever a row changes: the same sums whichever way a row was selected.
void TFmTngExpFal::MostraTotais() {
    int selecionadas = 0, rolos = 0;
    double peso = 0;
    for (int i = 0; i < TbRelatorio->RecordCount(); ++i) {
        if (TbRelatorio->TextoEm(i, QStringLiteral("Seleciona")) != u"S")
            continue;
        ++selecionadas;
        peso += TbRelatorio->NumeroEm(i, QStringLiteral("Peso"));
        rolos += int(TbRelatorio->NumeroEm(i, QStringLiteral("Rolo")));
    }
    ui.EdtSelecionadas->setText(QString::number(selecionadas));
    ui.EdtPesoTotal->setText(TextoExibicao(peso, 3));
    ui.EdtRoloTotal->setText(QString::number(rolos));
}

StatusExpedicao TFmTngExpFal::StatusEscolhido() const {
    if (ui.RbConcluido->isChecked())
        return StatusExpedicao::Concluido;
    if (ui.RbNaoIniciado->isChecked())
        return StatusExpedicao::NaoIniciado;
    if (ui.RbReprocesso->isChecked())
        return StatusExpedicao::Reprocesso;
    return StatusExpedicao::Pendente;
}

void TFmTngExpFal::ConsultaFAL() {
    FiltroExpedicao f;
    f.cliente = ui.EdtCodCli->text().trimmed();
    f.fase = ui.EdtCodFase->text().trimmed();
    f.grupo = ui.EdtCodGrupo->text().trimmed();
    f.lote = ui.EdtLote->text().trimmed();
    f.de = ui.EdtDataDe->date();
    f.ate = ui.EdtDataAte->date();
    f.status = m_exigeRolos ? StatusExpedicao::Pendente : StatusEscolhido();
    if (f.de > f.ate) {
        Recusa(ui.EdtDataAte, QStringLiteral("Período inválido."));
        return;
    }
    Ocupado(true, this);
    const auto livre = qScopeGuard([this] { Ocupado(false, this); });
    TZoQuery q;
    {
        GravacaoAtomica leitura;
        AbreConsultaExpedicao(q, f);
        leitura.Confirma();
    }
    ConcluiEdicaoGrades(false);
    TbRelatorio->TomaDe(q);
    // A sheet listed again may be read again.
    m_barras.clear();
    TbRelatorio->First();
    m_statusConsultado = f.status;
}

// Scanners end a code with Enter or Tab: either reads it, and the box keeps the focus for the next one.
bool TFmTngExpFal::TeclaControle(QWidget* control, QKeyEvent* key) {
    if (control == ui.EdtBarra && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        key->modifiers() == Qt::NoModifier) {
        LeBarra();
        return true;
    }
    return TForm::TeclaControle(control, key);
}

bool TFmTngExpFal::SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason reason) {
    if (control != ui.EdtBarra || ui.EdtBarra->text().trimmed().isEmpty())
        return TForm::SaidaControle(control, next, reason);
    LeBarra();
    // A button clicked after a code (Confirm, Close) still acts.
    if (qobject_cast<QAbstractButton*>(next))
        return true;
    ui.EdtBarra->setFocus(Qt::OtherFocusReason);
    return false;
}

void TFmTngExpFal::LeBarra() {
    const QString codigo = ui.EdtBarra->text().trimmed();
    const auto recusa = [this](const QString& mensagem) {
        Informa(this, mensagem);
        ui.EdtBarra->setFocus(Qt::OtherFocusReason);
        ui.EdtBarra->selectAll();
    };
    if (codigo.isEmpty())
        return recusa(QStringLiteral("Código de barras inválido."));
    ConcluiEdicaoGrades(true);
    TbRelatorio->CheckBrowseMode();
    if (!TbRelatorio->Locate(QStringLiteral("FAL"), {FalDoCodigo(codigo)}))
        return recusa(QStringLiteral("Código de barras não encontrado."));
    const int rolos = TbRelatorio->FieldByName(QStringLiteral("Rolo")).AsInteger();
    const int lidas = TbRelatorio->FieldByName(QStringLiteral("Qtde_Expedida")).AsInteger();
    if (lidas >= rolos)
        return recusa(QStringLiteral("Quantidade total de rolos já lida."));
    if (m_barras.contains(codigo))
        return recusa(QStringLiteral("Código de barras já lido."));
    const int agora = CodigoDePeca(codigo) ? lidas + 1 : rolos;
    TbRelatorio->Edit();
    TbRelatorio->FieldByName(QStringLiteral("Qtde_Expedida")) = agora;
    if (agora >= rolos)
        TbRelatorio->FieldByName(QStringLiteral("Seleciona")) = QStringLiteral("S");
    TbRelatorio->Post();
    m_barras.insert(codigo);
    ui.EdtBarra->clear();
    ui.EdtBarra->setFocus(Qt::OtherFocusReason);
}

QList<int> TFmTngExpFal::Selecionadas() {
    ConcluiEdicaoGrades(true);
    TbRelatorio->CheckBrowseMode();
    QList<int> linhas;
    for (int i = 0; i < TbRelatorio->RecordCount(); ++i)
        if (TbRelatorio->TextoEm(i, QStringLiteral("Seleciona")) == u"S")
            linhas << i;
    return linhas;
}

QString TFmTngExpFal::FalAtual() const {
    return TbRelatorio->IsEmpty() ? QString()
                                  : TbRelatorio->TextoEm(TbRelatorio->RecNo(), QStringLiteral("FAL"));
}

void TFmTngExpFal::BitBtn1Click() {
    const QList<int> linhas = Selecionadas();
    if (linhas.isEmpty()) {
        Informa(this, kNenhuma);
        return;
    }
    // Short of pieces (TIN 170) is told without shipping; the rest goes to the one shipment.
    QStringList incompletas, expedir;
    for (int i : linhas) {
        const QString fal = TbRelatorio->TextoEm(i, QStringLiteral("FAL"));
        (m_exigeRolos && TbRelatorio->NumeroEm(i, QStringLiteral("Qtde_Expedida")) <
                             TbRelatorio->NumeroEm(i, QStringLiteral("Rolo"))
             ? incompletas
             : expedir)
            << fal;
    }
    FalsRetidas retidas;
    if (!expedir.isEmpty()) {
        Ocupado(true, this);
        const auto livre = qScopeGuard([this] { Ocupado(false, this); });
        retidas = ExpedeFals(*ConexaoHost(), expedir, QString(), PostoExpedicao::Mesa);
    }
    // Told after the commit: no step stays locked while a message waits.
    QStringList avisos = {AvisoBloqueadas(retidas.bloqueadas),
                          incompletas.isEmpty()
                              ? QString()
                              : QStringLiteral("Quantidade expedida menor que o número de rolos. FAL: ") +
                                    incompletas.join(QStringLiteral(", ")),
                          AvisoSemPasso(retidas.semPasso)};
    avisos.removeAll(QString());
    if (!avisos.isEmpty())
        Informa(this, avisos.join(u'\n'));
    ConsultaFAL();
}

void TFmTngExpFal::BaixaSetor1Click() {
    if (m_statusConsultado != StatusExpedicao::NaoIniciado) {
        Informa(this, QStringLiteral("A liberação é permitida apenas para FAls não iniciadas."));
        return;
    }
    const QList<int> linhas = Selecionadas();
    if (linhas.isEmpty()) {
        Informa(this, kNenhuma);
        return;
    }
    QStringList semPasso;
    {
        Ocupado(true, this);
        const auto livre = qScopeGuard([this] { Ocupado(false, this); });
        GravacaoAtomica gravacao;
        const MarcaPasso marca = MarcaDoMomento(QStringLiteral("LIBERADO PELO USUARIO."));
        // The steps opened, then each phase closed, each through one statement for all its sheets.
        QStringList abrir, fases;
        QHash<QString, QStringList> porFase;
        for (int i : linhas) {
            const QString fal = TbRelatorio->TextoEm(i, QStringLiteral("FAL"));
            const QString fase = TbRelatorio->TextoEm(i, QStringLiteral("CodFase"));
            // Without a phase the close would take every step just opened.
            if (fase.isEmpty()) {
                semPasso << fal;
                continue;
            }
            abrir << fal;
            if (!porFase.contains(fase))
                fases << fase;
            porFase[fase] << fal;
        }
        AbrePassos(*ConexaoHost(), abrir);
        for (const QString& fase : std::as_const(fases))
            semPasso << FechaPassos(*ConexaoHost(), porFase.value(fase), fase, marca);
        gravacao.Confirma();
    }
    if (!semPasso.isEmpty())
        Informa(this, AvisoSemPasso(semPasso));
    ConsultaFAL();
}

void TFmTngExpFal::PrioridadeFal1Click() {
    const QString fal = FalAtual();
    if (fal.isEmpty())
        return;
    const std::optional<int> prioridade = PedePrioridadeFal(this);
    if (!prioridade)
        return;
    GravaPrioridadeFal({fal}, *prioridade, this);
}

void TFmTngExpFal::EstornarUltimaFase1Click() {
    const QString fal = FalAtual();
    if (fal.isEmpty())
        return;
    bool estornou = false;
    {
        GravacaoAtomica gravacao;
        estornou = EstornaUltimoPasso(*ConexaoHost(), fal);
        if (estornou)
            GeraLog(QStringLiteral("EXPEDICAO DE FAL"),
                    QStringLiteral("ESTORNO DA ULTIMA FASE DA FAL %1").arg(fal), opAlteracao, fal, this);
        gravacao.Confirma();
    }
    if (estornou)
        ConsultaFAL();
}
