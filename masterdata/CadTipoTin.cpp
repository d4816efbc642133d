#include "CadTipoTin.h"
#include "DBControls.h"
#include "ModuleUnits.h"
#include "TTabela.h"

TfmTipoTin* fmTipoTin = nullptr;

KELM_SCREEN_UNIT(CadTipoTin, TfmTipoTin);

TfmTipoTin::TfmTipoTin(QWidget* parent) : TFmCadastro(parent) {
    setObjectName(QStringLiteral("fmTipoTin"));
    setWindowTitle(QStringLiteral("Cadastro de Tipo de Tingimento"));
    ui.setupUi(PainelDados);
}

void TfmTipoTin::FormCreate() {
    cad.tabelaCompartilhada = QStringLiteral("TbTipoTing");
    cad.tabela = QStringLiteral("TIPO_TING");
    cad.caixaCodigo = ui.EdtCodTipo;
    cad.caixaDescricao = ui.EdtDesTipo;
    cad.checaCodigo = true;
    cad.tituloExclusao = windowTitle();
    cad.exclusaoPadraoSim = true;
    cad.colunas = {{"CODIGO", "Código"},
                   ColunaGrade("DESCRICAO", "Descrição").Estica(),
                   ColunaGrade("BAIXA_AUT", "Baixa automática").Textos(TextosSimNao())};
    cad.usos = QStringList{QStringLiteral("MAT_TIN.TIPO"), QStringLiteral("PREPARACAO.TIPO"),
                           QStringLiteral("TNG_CONSUMOS.TIPO")};
    cad.textoEmUso = QStringLiteral("Tipo de tingimento está sendo utilizado.");
    AbreCadastro();
    FieldLink::Edit(ui.EdtCodTipo, Dados(), QStringLiteral("CODIGO"));
    FieldLink::Edit(ui.EdtDesTipo, Dados(), QStringLiteral("DESCRICAO"));
    FieldLink::Check(ui.CkBaixaAut, Dados(), QStringLiteral("BAIXA_AUT"));
    CaixaAlta(ui.EdtDesTipo);
}

void TfmTipoTin::NovoRegistro() {
    Dados()->FieldByName(QStringLiteral("BAIXA_AUT")) = QStringLiteral("S");
}
