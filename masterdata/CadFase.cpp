#include "CadFase.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "DescricaoCodigo.h"
#include "Mensagens.h"
#include "ModuleUnits.h"
#include "Protecao.h"
#include "TPesquisa.h"
#include "TTabela.h"

TfmFase* fmFase = nullptr;

KELM_SCREEN_UNIT(CadFase, TfmFase);

TfmFase::TfmFase(QWidget* parent) : TFmCadastro(parent) {
    setObjectName(QStringLiteral("fmFase"));
    setWindowTitle(QStringLiteral("Cadastro de Fases"));
    ui.setupUi(PainelDados);
    connect(ui.PqFase, &QToolButton::clicked, this, Protegido([this] { PqFaseClick(); }));
}

void TfmFase::FormCreate() {
    cad.tabelaCompartilhada = QStringLiteral("TbFase");
    cad.tabela = QStringLiteral("FASE");
    cad.caixaCodigo = ui.EdtCodFase;
    cad.caixaDescricao = ui.EdtDesFase;
    cad.checaCodigo = true;
    cad.larguraProximo = 2;
    cad.anexa = true;
    cad.codigoSomenteLeitura = true;
    cad.tituloLog = QStringLiteral("CADASTRO DE FASE");
    cad.textoInclusao = QStringLiteral("INCLUSAO DA FASE ");
    cad.textoAlteracao = QStringLiteral("ALTERACAO DA FASE ");
    cad.textoExclusao = QStringLiteral("EXCLUSAO DA FASE ");
    cad.tituloExclusao = windowTitle();
    cad.exclusaoPadraoSim = false;
    cad.colunas = {{"CODIGO", "Código"},
                   ColunaGrade("DESCRICAO", "Descrição").Estica(),
                   {"GRUPO", "Grupo"},
                   ColunaGrade("COBRAR", "Cobrar").Textos(TextosSimNao()),
                   ColunaGrade("ATUALIZAR", "Atualizar FAL").Textos(TextosSimNao())};
    cad.usos = QStringList{QStringLiteral("MAQ_TIN.FASE"), QStringLiteral("ROTEIRO.FASE"),
                           QStringLiteral("FASE.GRUPO"), QStringLiteral("PROCESSO_TIN.FASE"),
                           QStringLiteral("TABPRE_SERV.FASE")};
    cad.textoEmUso = QStringLiteral("Fase está sendo utilizada.");
    AbreCadastro();
    FieldLink::Edit(ui.EdtCodFase, Dados(), QStringLiteral("CODIGO"));
    FieldLink::Edit(ui.EdtDesFase, Dados(), QStringLiteral("DESCRICAO"));
    FieldLink::Check(ui.CkCobrar, Dados(), QStringLiteral("COBRAR"));
    FieldLink::Check(ui.CkAtualizar, Dados(), QStringLiteral("ATUALIZAR"));
    FieldLink::Edit(ui.EdtGrupo, Dados(), QStringLiteral("GRUPO"));
    new DescricaoCodigo(ui.EdtDesGrupo, Dados(), QStringLiteral("GRUPO"), QStringLiteral("FASE"),
                        QStringLiteral("CODIGO"), QStringLiteral("DESCRICAO"));
    CaixaAlta(ui.EdtDesFase);
    CaixaAlta(ui.EdtGrupo);
}

// Unticked boxes are stored as "N", not left empty.
void TfmFase::NovoRegistro() {
    Dados()->FieldByName(QStringLiteral("COBRAR")) = QStringLiteral("N");
    Dados()->FieldByName(QStringLiteral("ATUALIZAR")) = QStringLiteral("N");
}

bool TfmFase::GrupoValido() {
    const QString group = ui.EdtGrupo->text().trimmed();
    if (group.isEmpty() || Existe(QStringLiteral("FASE"), QStringLiteral("CODIGO"), QVariantList{group}))
        return true;
    Informa(this, QStringLiteral("Grupo Inválido."));
    ui.EdtGrupo->setFocus(Qt::OtherFocusReason);
    return false;
}

bool TfmFase::SaidaCaixa(QWidget* box) {
    return box != ui.EdtGrupo || GrupoValido();
}

// Confirming straight from another box must not store a group the exit check would refuse.
bool TfmFase::ValidaConfirmacao() {
    return GrupoValido();
}

void TfmFase::PqFaseClick() {
    TPesquisa::PesquisaCampo(this, QStringLiteral("Grupo de Serviços"), QStringLiteral("FASE"), Dados(),
                             QStringLiteral("GRUPO"));
}
