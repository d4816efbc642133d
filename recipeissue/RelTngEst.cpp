#include "RelTngEst.h"
#include "Acesso.h"
#include "Balanca.h"
#include "CaixaPesquisa.h"
#include "DBControls.h"
#include "DataSetModel.h"
#include "FichaEstampa.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "GravacaoAtomica.h"
#include "HostUi.h"
#include "LocalSettings.h"
#include "Mensagens.h"
#include "ModuleUnits.h"
#include "PortaBalanca.h"
#include "Protecao.h"
#include "Relatorio.h"
#include "TClientDataSet.h"
#include "TZoQuery.h"
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QScopeGuard>

TFmRelTngEst* FmRelTngEst = nullptr;

namespace {
// The sheet's scale where the user set up none: 4800 baud 8N2, DTR on, RTS off.
ConfiguracaoPorta PortaFicha() {
    ConfiguracaoPorta c;
    c.velocidade = 4800;
    c.bitsParada = QStringLiteral("2");
    c.dtr = true;
    return c;
}
const QString kPastaDosagem = QStringLiteral("PastaDosagem");

} // namespace

KELM_SCREEN_UNIT(RelTngEst, TFmRelTngEst, {{QStringLiteral("WTngEstampa"), LayoutEstampa}});

TFmRelTngEst::TFmRelTngEst(QWidget* parent)
    : TForm(parent), TbConsumo(new TClientDataSet(this)), TbComp(new TClientDataSet(this)) {
    setObjectName(QStringLiteral("FmRelTngEst"));
    setWindowTitle(QStringLiteral("Ficha de Estamparia"));
    ui.setupUi(this);
    PublicaInstancia(FmRelTngEst);
}

void TFmRelTngEst::FormCreate() {
    PreparaGrades();
    DeclaraCaixa({.caixa = ui.EdtDeposito,
                  .titulo = QStringLiteral("Depósitos"),
                  .tabela = QStringLiteral("DEPOSITO"),
                  .recusa = QStringLiteral("Depósito inválido.")});
    DeclaraCaixa(
        {.caixa = ui.EdtQuadro, .titulo = QStringLiteral("Quadros"), .tabela = QStringLiteral("QUADRO")});
    DeclaraCaixa({.caixa = ui.EdtSubGrupo,
                  .titulo = QStringLiteral("Subgrupos de material"),
                  .tabela = QStringLiteral("SUBGRUPO_MA")});
    DeclaraCaixa({.caixa = ui.EdtCodPro,
                  .titulo = QStringLiteral("Produtos"),
                  .tabela = QStringLiteral("PRODUTO"),
                  .lista = true});
    DeclaraCaixa(
        {.caixa = ui.EdtCodMat, .titulo = QStringLiteral("Materiais"), .tabela = QStringLiteral("MATERIAL")});
    connect(ui.BtConfirmar, &QPushButton::clicked, this, Protegido([this] { BtConfirmarClick(); }));
    connect(ui.BtImprimir, &QPushButton::clicked, this, Protegido([this] { BtImprimirClick(); }));
    connect(ui.BtBaixar, &QPushButton::clicked, this, Protegido([this] { BtBaixarClick(); }));
    connect(ui.BtFechar, &QPushButton::clicked, this, &QWidget::close);
    SaidaSemConferencia(ui.BtFechar);
    AcaoMenuGrade(ui.DBGrid1, "Enviarreceita1", QStringLiteral("Enviar receita"),
                  [this] { Enviarreceita1Click(); });
    ui.DBGrid2->OnKeyDown = [this](QKeyEvent* tecla) {
        if (tecla->key() == Qt::Key_F10)
            ConfiguraPortaBalanca(this, PortaFicha());
        else if (tecla->key() == Qt::Key_F5)
            PesaComponente();
        else
            return false;
        return true;
    };
    DicaTeclas({ui.DBGrid1}, QStringLiteral("botão direito: enviar as pastas marcadas à dosadora"));
    DicaTeclas({ui.DBGrid2}, QStringLiteral("F5: pesar o componente; F10: porta da balança"));
    ui.EdtFal->setFocus();
}

void TFmRelTngEst::PreparaGrades() {
    TbConsumo->setObjectName(QStringLiteral("TbConsumo"));
    TbConsumo->AddField(QStringLiteral("Sel"), QMetaType::QString, 1)
        .AddField(QStringLiteral("Ordem"), QMetaType::Int)
        .AddField(QStringLiteral("Quadro"), QMetaType::QString, 10)
        .AddField(QStringLiteral("Desc_Quadro"), QMetaType::QString, 50)
        .AddField(QStringLiteral("Produto"), QMetaType::QString, 15)
        .AddField(QStringLiteral("Descricao"), QMetaType::QString, 50)
        .AddField(QStringLiteral("Fundo"), QMetaType::QString, 10)
        .AddField(QStringLiteral("Consumo"), QMetaType::Double)
        .AddField(QStringLiteral("Consumo_Prev"), QMetaType::Double)
        .AddField(QStringLiteral("Pressao"), QMetaType::Double)
        .AddField(QStringLiteral("Local"), QMetaType::QString, 30)
        .AddField(QStringLiteral("Espessura"), QMetaType::QString, 10)
        .AddField(QStringLiteral("OBS"), QMetaType::QString, 100)
        .AddField(QStringLiteral("Consumo_Bomba"), QMetaType::Double)
        .AddField(QStringLiteral("Custo"), QMetaType::Double)
        .AddField(QStringLiteral("Grupo"), QMetaType::QString, 3)
        .AddField(QStringLiteral("Linha"), QMetaType::QString, 3);
    TbConsumo->CreateDataSet();
    ui.DBGrid1->SetDataSet(TbConsumo);
    ui.DBGrid1->SetReadOnly(false);
    DataSetModel::Of(TbConsumo)->SetCheckField(QStringLiteral("Sel"));
    ui.DBGrid1->DeclaraColunas({{"Sel", "Sel."},
                                ColunaGrade("Ordem", "Ord.").SomenteLeitura(),
                                ColunaGrade("Quadro", "Quadro").SomenteLeitura(),
                                ColunaGrade("Desc_Quadro", "Descrição").Largura(16).SomenteLeitura(),
                                ColunaGrade("Produto", "Pasta").SomenteLeitura(),
                                ColunaGrade("Descricao", "Descrição da pasta").Largura(20).SomenteLeitura(),
                                ColunaGrade("Consumo", "Pasta/kg").Casas(5).SomenteLeitura(),
                                ColunaGrade("Consumo_Prev", "Pasta (kg)").Casas(3).SomenteLeitura(),
                                ColunaGrade("Espessura", "Espessura").SomenteLeitura(),
                                ColunaGrade("Consumo_Bomba", "Bomba (kg)").Casas(3).SomenteLeitura(),
                                ColunaGrade("Custo", "Custo").Casas(4).SomenteLeitura()});
    TbComp->setObjectName(QStringLiteral("TbComp"));
    TbComp->AddField(QStringLiteral("Material"), QMetaType::QString, 15)
        .AddField(QStringLiteral("Quadro"), QMetaType::QString, 10)
        .AddField(QStringLiteral("Ordem"), QMetaType::Int)
        .AddField(QStringLiteral("Codigo"), QMetaType::QString, 15)
        .AddField(QStringLiteral("Descricao"), QMetaType::QString, 50)
        .AddField(QStringLiteral("Grupo"), QMetaType::QString, 3)
        .AddField(QStringLiteral("Sub_Grupo_Mat"), QMetaType::QString, 3)
        .AddField(QStringLiteral("Qtde"), QMetaType::Double)
        .AddField(QStringLiteral("Consumo"), QMetaType::Double)
        .AddField(QStringLiteral("Peso"), QMetaType::Double)
        .AddField(QStringLiteral("Contra_Tipo"), QMetaType::QString, 1)
        .AddField(QStringLiteral("Compensar"), QMetaType::QString, 15)
        .AddField(QStringLiteral("Linha"), QMetaType::QString, 3)
        .AddField(QStringLiteral("OrdemReceita"), QMetaType::QString, 2)
        .AddField(QStringLiteral("Concentra_Est"), QMetaType::Double)
        .AddField(QStringLiteral("Baixado"), QMetaType::QString, 1);
    TbComp->CreateDataSet();
    ui.DBGrid2->SetDataSet(TbComp);
    ui.DBGrid2->SetReadOnly(true);
    ui.DBGrid2->DeclaraColunas({{"Ordem", "Ord."},
                                {"Quadro", "Quadro"},
                                {"Material", "Pasta"},
                                {"Codigo", "Componente"},
                                ColunaGrade("Descricao", "Descrição").Largura(24),
                                {"Sub_Grupo_Mat", "Subgrupo"},
                                ColunaGrade("Qtde", "Qtde (‰)").Casas(3),
                                ColunaGrade("Consumo", "Consumo (g)").Casas(1),
                                ColunaGrade("Peso", "Peso (kg)").Casas(3),
                                {"Contra_Tipo", "CT"},
                                ColunaGrade("Compensar", "Compensar").Largura(8),
                                {"OrdemReceita", "Dos."},
                                {"Baixado", "Pesado"}});
}

bool TFmRelTngEst::SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason) {
    if (control == ui.EdtFal && !ui.EdtFal->text().trimmed().isEmpty()) {
        IncluiFal(ui.EdtFal->text().trimmed());
        return qobject_cast<QAbstractButton*>(next) != nullptr;
    }
    return true;
}

void TFmRelTngEst::IncluiFal(const QString& numero) {
    QString estampa = m_estampa, variante = m_variante;
    if (m_fals.contains(numero)) {
        ui.EdtFal->clear();
        return;
    }
    if (const QString recusa = ConfereFalFicha(numero, estampa, variante); !recusa.isEmpty()) {
        Informa(this, recusa);
        ui.EdtFal->selectAll();
        return;
    }
    m_estampa = estampa;
    m_variante = variante;
    m_fals << numero;
    ui.EdtFals->setText(m_fals.join(QStringLiteral(", ")));
    ui.EdtFal->clear();
}

double TFmRelTngEst::Numero(const QLineEdit* caixa) const {
    double valor = 0;
    return LeNumero(caixa->text().trimmed(), valor) ? valor : 0;
}

void TFmRelTngEst::Limpa() {
    TbConsumo->EmptyDataSet();
    TbComp->EmptyDataSet();
}

// The sheet's pastes and their components, from its figures; a figure missing stops with nothing computed.
void TFmRelTngEst::BtConfirmarClick() {
    if (m_fals.isEmpty()) {
        Informa(this, QStringLiteral("Informe as FALs da ficha."));
        return;
    }
    Ocupado(true, this);
    const auto livre = qScopeGuard([this] { Ocupado(false, this); });
    Limpa();
    GravacaoAtomica leitura;
    const ItensFicha itens = LeItensFicha(m_fals, CodigosDaLista(ui.EdtCodPro->text()));
    if (itens.quantos == 0) {
        Informa(this, QStringLiteral("Nenhum item nas FALs da ficha."));
        return;
    }
    m_largura = LarguraDaFicha(Numero(ui.EdtLargura), itens.larguras);
    m_gramatura = Numero(ui.EdtGramatura) > 0 ? Numero(ui.EdtGramatura) : itens.gramatura;
    m_indice = Numero(ui.EdtIndice);
    const FigurasFicha figuras{itens.pesoKg, m_largura, m_gramatura, m_indice};
    const QList<QVariantMap> quadros = LeQuadrosFicha(m_estampa, m_variante, ui.EdtQuadro->text().trimmed());
    QStringList pastas;
    QList<PastaQuadro> calculadas;
    for (const QVariantMap& q : quadros) {
        const PastaQuadro p = PastaDoQuadro(
            q.value(QStringLiteral("QUADRO")).toString().trimmed(),
            q.value(QStringLiteral("ESPESSURA")).toString(), q.value(QStringLiteral("CONSUMO")).toDouble(),
            q.value(QStringLiteral("CONSUMO_BOMBA")).toDouble(), Numero(ui.EdtConsumo), figuras);
        if (!p.recusa.isEmpty()) {
            Informa(this, p.recusa);
            return;
        }
        calculadas << p;
        pastas << q.value(QStringLiteral("PRODUTO")).toString().trimmed();
    }
    const ComposicoesFicha composicoes = LeComposicoesFicha(pastas, ui.EdtSubGrupo->text().trimmed());
    leitura.Confirma();
    const QString material = ui.EdtCodMat->text().trimmed();
    for (qsizetype i = 0; i < quadros.size(); ++i) {
        const QVariantMap& q = quadros[i];
        const ComponentesPasta componentes = ComponentesDaPasta(composicoes.componentes.value(pastas[i]),
                                                                composicoes.substitutos, calculadas[i].t);
        if (!componentes.recusa.isEmpty()) {
            Limpa();
            Informa(this, componentes.recusa);
            return;
        }
        TbConsumo->Append();
        for (const auto& [campo, coluna] : {std::pair{"Ordem", "ORDEM"},
                                            {"Quadro", "QUADRO"},
                                            {"Desc_Quadro", "DESC_QUADRO"},
                                            {"Produto", "PRODUTO"},
                                            {"Descricao", "DESCRICAO"},
                                            {"Fundo", "FUNDO"},
                                            {"Pressao", "PRESSAO"},
                                            {"Local", "LOCAL"},
                                            {"Espessura", "ESPESSURA"},
                                            {"OBS", "OBS"},
                                            {"Consumo_Bomba", "CONSUMO_BOMBA"},
                                            {"Custo", "CUSTO"},
                                            {"Grupo", "GRUPO"},
                                            {"Linha", "LINHA"}})
            TbConsumo->FieldByName(QLatin1String(campo)) = q.value(QLatin1String(coluna));
        TbConsumo->FieldByName(QStringLiteral("Sel")) = QStringLiteral("S");
        TbConsumo->FieldByName(QStringLiteral("Consumo")) = calculadas[i].c;
        TbConsumo->FieldByName(QStringLiteral("Consumo_Prev")) = calculadas[i].t;
        TbConsumo->Post();
        for (const LinhaComponente& l : componentes.linhas) {
            if (!material.isEmpty() && l.codigo != material)
                continue;
            const QVariantMap m = composicoes.materiais.value(l.codigo);
            TbComp->Append();
            TbComp->FieldByName(QStringLiteral("Material")) = pastas[i];
            TbComp->FieldByName(QStringLiteral("Quadro")) = q.value(QStringLiteral("QUADRO"));
            TbComp->FieldByName(QStringLiteral("Ordem")) = q.value(QStringLiteral("ORDEM"));
            TbComp->FieldByName(QStringLiteral("Codigo")) = l.codigo;
            TbComp->FieldByName(QStringLiteral("Descricao")) = m.value(QStringLiteral("DESCRICAO"));
            TbComp->FieldByName(QStringLiteral("Grupo")) = m.value(QStringLiteral("GRUPO"));
            TbComp->FieldByName(QStringLiteral("Sub_Grupo_Mat")) = m.value(QStringLiteral("SUB_GRUPO"));
            TbComp->FieldByName(QStringLiteral("Qtde")) = l.qtde;
            TbComp->FieldByName(QStringLiteral("Consumo")) = l.consumoG;
            TbComp->FieldByName(QStringLiteral("Peso")) = l.pesoKg;
            TbComp->FieldByName(QStringLiteral("Contra_Tipo")) =
                l.contratipo ? QStringLiteral("S") : QStringLiteral("N");
            TbComp->FieldByName(QStringLiteral("Compensar")) = l.compensar;
            TbComp->FieldByName(QStringLiteral("Linha")) = m.value(QStringLiteral("LINHA"));
            TbComp->FieldByName(QStringLiteral("OrdemReceita")) =
                OrdemReceita(m.value(QStringLiteral("LINHA")).toString());
            TbComp->FieldByName(QStringLiteral("Concentra_Est")) = m.value(QStringLiteral("CONCENTRA_EST"));
            TbComp->FieldByName(QStringLiteral("Baixado")) = QStringLiteral("N");
            TbComp->Post();
        }
    }
    TbComp->SetIndexFieldNames(ui.RbGrupo->isChecked() ? QStringLiteral("Grupo;Ordem;Codigo")
                                                       : QStringLiteral("Ordem;Codigo"));
    TbConsumo->First();
    TbComp->First();
}

void TFmRelTngEst::BtImprimirClick() {
    if (TbConsumo->IsEmpty()) {
        Informa(this, QStringLiteral("Confirme a ficha antes de imprimir."));
        return;
    }
    TZoQuery impressas;
    impressas.SQL << QStringLiteral(
                         "SELECT FIRST 1 NUMERO FROM FAL WHERE NUMERO IN (%1) AND SIT_EST = 'B' ORDER BY "
                         "NUMERO")
                         .arg(ListaSql(m_fals));
    impressas.Open();
    if (!impressas.IsEmpty() &&
        (!Pergunta(this, windowTitle(),
                   QStringLiteral("FAL %1 já impressa.\r\nDeseja continuar?")
                       .arg(impressas.Fields(0).AsString().trimmed()),
                   false) ||
         !Acessa(QStringLiteral("TFmRelTngEst"), QStringLiteral("A"), QStringLiteral("1"))))
        return;
    if (ui.ChkBaixaEstoque->isChecked() &&
        Pergunta(this, windowTitle(), QStringLiteral("Deseja efetuar a baixa do estoque dos itens?"), true))
        BtBaixarClick();
    TRelatorio relatorio(QStringLiteral("WTngEstampa"), QStringLiteral("Ficha de Estamparia"), TbComp);
    relatorio.AdicionaCabecalho(QStringLiteral("FALs"), m_fals.join(QStringLiteral(", ")));
    relatorio.AdicionaCabecalho(QStringLiteral("Estampa / variante"),
                                m_estampa + QStringLiteral(" / ") + m_variante);
    relatorio.AdicionaCabecalho(
        QStringLiteral("Largura / gramatura / índice"),
        QStringLiteral("%1 cm / %2 g/m² / %3")
            .arg(TextoExibicao(m_largura, 0), TextoExibicao(m_gramatura, 2), TextoExibicao(m_indice, 2)));
    relatorio.AdicionaSecao(TRelatorio(QStringLiteral("WTngEstampa"), QStringLiteral("Pastas"), TbConsumo));
    if (Chama_Relatorio(relatorio, this, QStringLiteral("W")))
        RegistraImpressaoFicha(m_fals, m_largura, m_gramatura, m_indice);
}

void TFmRelTngEst::BtBaixarClick() {
    QList<BaixaComponente> componentes;
    for (int i = 0; i < TbComp->RecordCount(); ++i)
        componentes << BaixaComponente{
            TbComp->ValueAt(i, TbComp->FieldIndex(QStringLiteral("Codigo"))).toString(),
            TbComp->ValueAt(i, TbComp->FieldIndex(QStringLiteral("Ordem"))).toInt(),
            TbComp->ValueAt(i, TbComp->FieldIndex(QStringLiteral("Peso"))).toDouble(),
            TbComp->ValueAt(i, TbComp->FieldIndex(QStringLiteral("Consumo"))).toDouble()};
    Informa(this, BaixaFichaEstampa(m_fals, ui.EdtDeposito->text().trimmed(), componentes));
}

// The selected pastes as dispensing orders, one recipe file each, in a folder the user picks.
void TFmRelTngEst::Enviarreceita1Click() {
    if (TbConsumo->IsEmpty()) {
        Informa(this, QStringLiteral("Confirme a ficha antes de enviar a receita."));
        return;
    }
    QList<PastaDosagem> pastas;
    for (int i = 0; i < TbConsumo->RecordCount(); ++i)
        pastas << PastaDosagem{TbConsumo->TextoEm(i, QStringLiteral("Produto")),
                               TbConsumo->TextoEm(i, QStringLiteral("Quadro")),
                               TbConsumo->TextoEm(i, QStringLiteral("Linha")),
                               TbConsumo->ValueAt(i, TbConsumo->FieldIndex(QStringLiteral("Ordem"))).toInt(),
                               TbConsumo->NumeroEm(i, QStringLiteral("Consumo")),
                               TbConsumo->NumeroEm(i, QStringLiteral("Consumo_Prev")),
                               TbConsumo->TextoEm(i, QStringLiteral("Sel")) == u"S"};
    QList<ComponenteDosagem> componentes;
    for (int i = 0; i < TbComp->RecordCount(); ++i)
        componentes << ComponenteDosagem{
            TbComp->TextoEm(i, QStringLiteral("Material")),
            TbComp->ValueAt(i, TbComp->FieldIndex(QStringLiteral("Ordem"))).toInt(),
            TbComp->TextoEm(i, QStringLiteral("Codigo")),
            TbComp->TextoEm(i, QStringLiteral("Descricao")),
            TbComp->TextoEm(i, QStringLiteral("Linha")),
            TbComp->NumeroEm(i, QStringLiteral("Qtde")),
            TbComp->NumeroEm(i, QStringLiteral("Consumo"))};
    const QList<OrdemDosagem> plano = PlanoDosagem(pastas, componentes);
    if (plano.isEmpty()) {
        Informa(this, QStringLiteral("Nenhuma pasta marcada a enviar."));
        return;
    }
    const QString fal = m_fals.first();
    const QString arquivo = Mensagens().SaveFile(
        this, QStringLiteral("Enviar receita"),
        QDir(LeIni(QStringLiteral("Parametros"), kPastaDosagem)).filePath(fal + QStringLiteral(".xml")),
        QStringLiteral("Receitas da dosadora (*.xml)"));
    if (arquivo.isEmpty())
        return;
    const QString pasta = QFileInfo(arquivo).absolutePath();
    GravaIni(QStringLiteral("Parametros"), kPastaDosagem, pasta);
    QString falha;
    {
        Ocupado(true, this);
        const auto livre = qScopeGuard([this] { Ocupado(false, this); });
        falha = GravaArquivosReceita(pasta, LeCabecalhoDosagem(fal), plano);
    }
    Informa(this, falha.isEmpty() ? QStringLiteral("XML gerado com sucesso.") : falha);
}

// The current component weighed on the sheet's scale, at its print concentration.
void TFmRelTngEst::PesaComponente() {
    if (TbComp->IsEmpty())
        return;
    PedidoBalanca pedido;
    pedido.envio = QByteArrayLiteral("P\r\n");
    pedido.maxCaracteres = 30;
    pedido.maxMs = 1000;
    LeituraBalanca leitura;
    {
        Ocupado(true, this, QStringLiteral("Lendo a balança..."));
        const auto livre = qScopeGuard([this] { Ocupado(false, this); });
        leitura = LePesoBalanca(LeConfiguracaoPorta(PortaFicha()), pedido);
    }
    if (leitura.falha != FalhaBalanca::Nenhuma && leitura.falha != FalhaBalanca::SemQuadro) {
        Informa(this, leitura.mensagem);
        return;
    }
    const auto peso = PegaPesoBalancaLocal(leitura.resposta, u'g', DecimaisBalanca(QStringLiteral("PADRÃO")));
    if (!peso || *peso <= 0) {
        Informa(
            this,
            QStringLiteral("A balança não enviou um peso válido: \"%1\".").arg(leitura.resposta.trimmed()));
        return;
    }
    const double concentracao = TbComp->FieldByName(QStringLiteral("Concentra_Est")).AsFloat();
    TbComp->Edit();
    TbComp->FieldByName(QStringLiteral("Peso")) = concentracao > 0 ? *peso * concentracao / 100 : *peso;
    TbComp->FieldByName(QStringLiteral("Baixado")) = QStringLiteral("S");
    TbComp->Post();
    TbComp->Next();
}

void LayoutEstampa(TRelatorio& relatorio) {
    relatorio.DefineColunas(
        {relatorio.Coluna(QStringLiteral("Codigo"), QStringLiteral("Componente")),
         relatorio.Coluna(QStringLiteral("Descricao"), QStringLiteral("Descrição")),
         relatorio.Coluna(QStringLiteral("Qtde"), QStringLiteral("Qtde (‰)"), 3),
         relatorio.Coluna(QStringLiteral("Consumo"), QStringLiteral("Consumo (g)"), 1, true),
         relatorio.Coluna(QStringLiteral("Peso"), QStringLiteral("Peso (kg)"), 3, true),
         relatorio.Coluna(QStringLiteral("Contra_Tipo"), QStringLiteral("CT"))});
    relatorio.AgrupaPor(QStringLiteral("Quadro"), QStringLiteral("Quadro"));
    relatorio.DefineZebrado(false);
    for (TRelatorio& pastas : relatorio.Secoes())
        pastas.DefineColunas(
            {pastas.Coluna(QStringLiteral("Ordem"), QStringLiteral("Ord.")),
             pastas.Coluna(QStringLiteral("Quadro"), QStringLiteral("Quadro")),
             pastas.Coluna(QStringLiteral("Produto"), QStringLiteral("Pasta")),
             pastas.Coluna(QStringLiteral("Descricao"), QStringLiteral("Descrição")),
             pastas.Coluna(QStringLiteral("Consumo"), QStringLiteral("Pasta/kg"), 5),
             pastas.Coluna(QStringLiteral("Consumo_Prev"), QStringLiteral("Pasta (kg)"), 3, true),
             pastas.Coluna(QStringLiteral("Consumo_Bomba"), QStringLiteral("Bomba (kg)"), 3)});
}
