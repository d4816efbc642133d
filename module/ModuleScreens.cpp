#include "ModuleScreens.h"

namespace {
const QString kMaster = QStringLiteral("Cadastros");
const QString kRecipes = QStringLiteral("Receitas");
const QString kLots = QStringLiteral("Entrada e FAL");
const QString kSchedule = QStringLiteral("Programação");
const QString kFloor = QStringLiteral("Produção");
const QString kIssue = QStringLiteral("Receita e Dosagem");
const QString kShipping = QStringLiteral("Expedição");
const QString kReports = QStringLiteral("Relatórios");
constexpr ScreenKind Mdi = ScreenKind::Mdi;
} // namespace

const QList<ModuleScreen>& ModuleScreens() {
    static const QList<ModuleScreen> screens = {
        {"CadBanho", "TFmBanho", "FmBanho", "Cadastro de Volume de Banho", Mdi, kMaster},
        {"CadMaquina", "TFmMaquinaTin", "FmMaquinaTin", "Cadastro de máquinas", Mdi, kMaster},
        {"CadVariante", "TFmvariante", "Fmvariante", "Cadastro de Variante", Mdi, kMaster},
        {"TngNFEntra", "TfmTngNFEntra", "fmTngNFEntra", "Entrada de Notas Fiscais p/ Produção", Mdi, kLots},
        {"TngReceita", "TfmTngReceita", "fmTngReceita", "Cadastro de Receitas", Mdi, kRecipes},
        {"TngGrafico", "TfmTngGrafico", "fmTngGrafico", "Tingimento", Mdi, kFloor},
        {"TngRoteiro", "TfmTngRoteiro", "fmTngRoteiro", "Cadastro de Roteiro", Mdi, kMaster},
        {"CadFalServ",
         "TFmCadFalServ",
         "FmCadFalServ",
         "Cadastro de Serviços na F.A.L.",
         ScreenKind::Dialog,
         kLots,
         {"FAL", "CLIENTE"}},
        {"CadFal", "TFmCadFal", "FmCadFal", "Cadastro de FAL", Mdi, kLots, {"FAL"}},
        {"TngContrQul",
         "TfmContrQul",
         "fmContrQul",
         "Controle de Qualidade",
         ScreenKind::Dialog,
         kFloor,
         {"FAL"}},
        {"TngMov", "TfmTngMov", "fmTngMov", "Apontamento de Processos", Mdi, kFloor},
        {"RelTngRec", "TFmRelRec", "FmRelRec", "Emissão de Receita", Mdi, kIssue, {"FALS"}},
        {"RelTngEtq", "TFmRelEtq", "FmRelEtq", "Emissão de Etiqueta", Mdi, kIssue},
        {"RelFal", "TFmRelFal", "FmRelFal", "Relatório de FAL", Mdi, kReports},
        {"CadFase", "TfmFase", "fmFase", "Cadastro de Fases", Mdi, kMaster},
        {"CadTipoTin", "TfmTipoTin", "fmTipoTin", "Cadastro de Tipo de Tingimento", Mdi, kMaster},
        {"TabPrecoServ", "TFmTabPrecoServ", "FmTabPrecoServ", "Cadastro de Preço de Serviços", Mdi, kMaster},
        {"TngSubstRec", "TFmSubstRec", "FmSubstRec", "Alteração de Receitas ", Mdi, kRecipes},
        {"RelTngMaq", "TFmRelTngMaq", "FmRelTngMaq", "Relatório de Máquina", Mdi, kReports},
        {"RelTngSetor", "TFmRelTngSetor", "FmRelTngSetor", "Relatório de Programação por Setores", Mdi,
         kReports},
        {"RelTngFatMes", "TFmRelTngFatMes", "FmRelTngFatMes", "Relatório de Faturamento Mensal", Mdi,
         kReports},
        {"TngOrcaCor", "TFmTngOrcaCor", "FmTngOrcaCor", "Orçamento para Beneficiamento", Mdi, kShipping},
        {"RelPrecoVar", "TFmRelPrecoVar", "FmRelPrecoVar", "Relatório de Programação por Setores", Mdi,
         kReports},
        {"RelTngRep", "TFmRelTngRep", "FmRelTngRep", "Relatório de Programação por Representante", Mdi,
         kReports},
        {"CadPrepara", "TFmCadPrepara", "FmCadPrepara", "Cadastro de Preparações", Mdi, kMaster},
        {"TngProgInf",
         "TfmTngProgInf",
         "fmTngProgInf",
         "Quadro de Informações",
         ScreenKind::MdiCentred,
         kSchedule,
         {"PRODUTO", "CLIENTE"}},
        {"TngProg", "TFmTngProg", "FmTngProg", "Cadastro da Programação", Mdi, kSchedule},
        {"TngQuadroProg", "TFmTngQuadroProg", "FmTngQuadroProg", "Quadro de Programação", Mdi, kSchedule},
        {"RelFalEntrega", "TFmRelFalEntrega", "FmRelFalEntrega", "Relatório de entregas", Mdi, kReports},
        {"RelTngProg", "TFmRelTngProg", "FmRelTngProg", "Relatório de Programação", Mdi, kReports},
        {"RelTngEst", "TFmRelTngEst", "FmRelTngEst", "Ficha de Estamparia", Mdi, kIssue},
        {"RelCustoCor", "TFmRelCustoCor", "FmRelCustoCor", "Relatório de Custo de Cores", Mdi, kShipping},
        {"TngBaiRec", "TFmTngBaiRec", "FmTngBaiRec", "Baixa de Estoque", Mdi, kFloor},
        {"RelTngFat", "TFmRelTngFat", "FmRelTngFat", "Relatório de Faturamento por da Tinturaria", Mdi,
         kReports},
        {"TngConsEst", "TFmTngConsEst", "FmTngConsEst", "Cadastro de consumos da Estamparia", Mdi, kFloor},
        {"RelTngMov", "TFmRelTngMov", "FmRelTngMov", "Relatório de Produção", Mdi, kReports},
        {"CadCorTing", "TFmCadCorTing", "FmCadCorTing", "Cadastro de Cores e Estampas", Mdi, kMaster},
        {"TngExpFal", "TFmTngExpFal", "FmTngExpFal", "Liberação/Expedição de FAL", Mdi, kShipping},
        {"RelTngListaRec", "TFmRelTngListaRec", "FmRelTngListaRec", "Relatorio de Receitas", Mdi, kReports},
        {"TngCadProd", "TfmCadProd", "fmCadProd", "Cadastro de Partida", Mdi, kLots},
        {"TngCadRegRec", "TFmTngCadRegRec", "FmTngCadRegRec", "Cadastro de Regras para Cálculo de Receita",
         Mdi, kRecipes},
        {"TngColExpFal", "TFmTngColExpFal", "FmTngColExpFal", "Expedição de FAL por Coletor",
         ScreenKind::Window, kShipping},
        {"RelTngGantt", "TfmRelTngGantt", "fmRelTngGantt", "Mapa de Produção - Gantt", Mdi, kSchedule},
        {"Indicadores", "TFmIndicadores", "FmIndicadores", "Indicadores da Tinturaria", Mdi, kReports},
    };
    return screens;
}

ScreenInfo ScreenInfoFor(const QString& className) {
    const auto& screens = ModuleScreens();
    for (int i = 0; i < screens.size(); ++i)
        if (screens[i].className == className)
            return {className, screens[i].caption,  screens[i].group, screens[i].kind,
                    i,         screens[i].arguments};
    return {};
}

const PackageInfo& PackageInfoTable() {
    static const PackageInfo info = [] {
        PackageInfo p;
        p.contains << QStringLiteral("kelmTingimento");
        for (const ModuleScreen& s : ModuleScreens())
            p.contains << s.unit;
        p.requires_ = QStringList{QStringLiteral("kelmTabela"), QStringLiteral("kelmUnits")};
        return p;
    }();
    return info;
}
