#include "CadVariante.h"
#include "DBControls.h"
#include "ModuleUnits.h"
#include "TTabela.h"

TFmvariante* Fmvariante = nullptr;

KELM_SCREEN_UNIT(CadVariante, TFmvariante);

TFmvariante::TFmvariante(QWidget* parent) : TFmCadastro(parent) {
    setObjectName(QStringLiteral("Fmvariante"));
    setWindowTitle(QStringLiteral("Cadastro de Variante"));
    ui.setupUi(PainelDados);
    ui.CbGrupoImp->lineEdit()->setMaxLength(2);
}

void TFmvariante::FormCreate() {
    cad.tabelaCompartilhada = QStringLiteral("tbVariante");
    cad.tabela = QStringLiteral("VARIANTE");
    cad.caixaCodigo = ui.EdtCodVariante;
    cad.caixaDescricao = ui.EdtDesVariante;
    cad.checaCodigo = true;
    cad.larguraProximo = 2;
    cad.exclusaoPadraoSim = false;
    cad.colunas = {{"CODIGO", "Código"},
                   ColunaGrade("DESCRICAO", "Descrição").Estica(),
                   {"GRUPO_IMP", "Grupo de impressão"},
                   {"INDICE", "Índice"}};
    cad.usos = QStringList{QStringLiteral("MAQ_TIN_CAP.VARIANTE"), QStringLiteral("RECEITA.VARIANTE"),
                           QStringLiteral("FAL.VARIANTE"), QStringLiteral("TNG_PROG.VARIANTE")};
    cad.textoEmUso = QStringLiteral("Variante está sendo utilizada.");
    AbreCadastro();
    FieldLink::Edit(ui.EdtCodVariante, Dados(), QStringLiteral("CODIGO"));
    FieldLink::Edit(ui.EdtDesVariante, Dados(), QStringLiteral("DESCRICAO"));
    FieldLink::Combo(ui.CbGrupoImp, Dados(), QStringLiteral("GRUPO_IMP"));
    FieldLink::Edit(ui.EdtIndice, Dados(), QStringLiteral("INDICE"));
    CaixaAlta(ui.EdtDesVariante);
    CaixaAlta(ui.EdtIndice);
}
