#include "CadBanho.h"
#include "DBControls.h"
#include "Formatacao.h"
#include "ModuleUnits.h"
#include "RegrasMaquina.h"
#include "TTabela.h"

TFmBanho* FmBanho = nullptr;

KELM_SCREEN_UNIT(CadBanho, TFmBanho);

TFmBanho::TFmBanho(QWidget* parent) : TFmCadastro(parent) {
    setObjectName(QStringLiteral("FmBanho"));
    setWindowTitle(QStringLiteral("Cadastro de Volume de Banho"));
    ui.setupUi(PainelDados);
}

void TFmBanho::FormCreate() {
    cad.tabelaCompartilhada = QStringLiteral("tbBanho");
    cad.tabela = QStringLiteral("BANHO");
    cad.caixaCodigo = ui.EdtCodBanho;
    cad.caixaDescricao = ui.EdtDesBanho;
    cad.checaCodigo = true;
    cad.exclusaoPadraoSim = true;
    cad.usos = QStringList{QStringLiteral("MAQ_TIN.RELAC_BANHO"), QStringLiteral("MAQ_TIN_CAP.RELAC_BANHO"),
                           QStringLiteral("RECEITA.COD_BANHO")};
    cad.textoEmUso = QStringLiteral("Banho está sendo utilizado.");
    cad.colunas = {{"CODIGO", "Código"},
                   ColunaGrade("DESCRICAO", "Descrição").Estica(),
                   ColunaGrade("PROPORCAO", "Litros por kg").Casas(2)};
    AbreCadastro();
    FieldLink::Edit(ui.EdtCodBanho, Dados(), QStringLiteral("CODIGO"));
    FieldLink::Edit(ui.EdtDesBanho, Dados(), QStringLiteral("DESCRICAO"));
    FieldLink::Edit(ui.EdtProporcao, Dados(), QStringLiteral("PROPORCAO"));
    CaixaAlta(ui.EdtDesBanho);
}

// Machines and recipes multiply the fabric's weight by it: a negative ratio would make a negative bath.
bool TFmBanho::ValidaConfirmacao() {
    double proporcao = 0;
    const QString texto = ui.EdtProporcao->text().trimmed();
    const bool numero = !texto.isEmpty() && LeNumero(texto, proporcao);
    const RecusaLimite recusa =
        RecusaFaixa({QStringLiteral("Litros por kg"), numero ? std::optional(proporcao) : std::nullopt}, {});
    return recusa.mensagem.isEmpty() || Recusa(ui.EdtProporcao, recusa.mensagem);
}
