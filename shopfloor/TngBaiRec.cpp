#include "TngBaiRec.h"
#include "Balanca.h"
#include "CaixaPesquisa.h"
#include "DBControls.h"
#include "DataSetModel.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "HostError.h"
#include "HostUi.h"
#include "LocalSettings.h"
#include "Mensagens.h"
#include "ModuleUnits.h"
#include "PaginaConsulta.h"
#include "PortaBalanca.h"
#include "Protecao.h"
#include "RegrasPesagem.h"
#include "Relatorio.h"
#include "TClientDataSet.h"
#include <QIntValidator>
#include <QKeyEvent>
#include <QScopeGuard>

TFmTngBaiRec* FmTngBaiRec = nullptr;

KELM_SCREEN_UNIT(TngBaiRec, TFmTngBaiRec, {{QStringLiteral("wTngEtqCons"), LayoutEtiquetaConsumo}});

namespace {
const QString kPadrao = QStringLiteral("PADRÃO");
const QString kParametros = QStringLiteral("Parametros");
const QString kBalancas = QStringLiteral("Balanca");
// A reading of the kitchen's scale: four at most, each up to 2 s or 60 characters.
constexpr int kLeituras = 4;

} // namespace

TFmTngBaiRec::TFmTngBaiRec(QWidget* parent) : TForm(parent), TbReceita(new TClientDataSet(this)) {
    setObjectName(QStringLiteral("FmTngBaiRec"));
    setWindowTitle(QStringLiteral("Baixa de Estoque"));
    ui.setupUi(this);
    PublicaInstancia(FmTngBaiRec);
}

void TFmTngBaiRec::FormCreate() {
    PreparaGrades();
    PreparaConsulta();
    DeclaraCaixa({.caixa = ui.EdtGrupoMat,
                  .botao = ui.BtGrupoMat,
                  .titulo = QStringLiteral("Grupos de material"),
                  .tabela = QStringLiteral("GRUPO_MA"),
                  .recusa = QStringLiteral("Grupo de material inexistente."),
                  .lista = true});
    DeclaraCaixa({.caixa = ui.EdtSubGrupo,
                  .botao = ui.BtSubGrupo,
                  .titulo = QStringLiteral("Subgrupos de material"),
                  .tabela = QStringLiteral("SUBGRUPO_MA"),
                  .recusa = QStringLiteral("Subgrupo de material inexistente."),
                  .lista = true});
    ui.EdtDecimais->setValidator(new QIntValidator(0, 6, ui.EdtDecimais));
    ui.EdtConversor->setValidator(new QIntValidator(0, 999999, ui.EdtConversor));
    CarregaBalancas(kPadrao);
    connect(ui.EdtFal, &QLineEdit::textChanged, this, Protegido([this] { EdtFalChange(); }));
    connect(ui.CbBalanca, &QComboBox::currentIndexChanged, this, Protegido([this] { CbBalancaChange(); }));
    connect(ui.BtConsultar, &QPushButton::clicked, this, Protegido([this] { BtConsultarClick(); }));
    connect(ui.BtBaixar, &QPushButton::clicked, this, Protegido([this] { BtBaixarClick(); }));
    connect(ui.BtNovaBalanca, &QPushButton::clicked, this, Protegido([this] { BtNovaBalancaClick(); }));
    connect(ui.BtGravaBalanca, &QPushButton::clicked, this, Protegido([this] { BtGravaBalancaClick(); }));
    connect(ui.BtConsultaFals, &QPushButton::clicked, this, Protegido([this] { m_consulta->Consulta(); }));
    connect(ui.BtFechar, &QPushButton::clicked, this, &QWidget::close);
    SaidaSemConferencia(ui.BtFechar);
    ui.EdtFal->setFocus();
}

void TFmTngBaiRec::PreparaGrades() {
    TbReceita->setObjectName(QStringLiteral("TbReceita"));
    TbReceita->AddField(QStringLiteral("Baixar"), QMetaType::QString, 1)
        .AddField(QStringLiteral("Baixado"), QMetaType::QString, 1)
        .AddField(QStringLiteral("Ordem"), QMetaType::Int)
        .AddField(QStringLiteral("Material"), QMetaType::QString, 15)
        .AddField(QStringLiteral("Descricao"), QMetaType::QString, 50)
        .AddField(QStringLiteral("Qtde"), QMetaType::Double)
        .AddField(QStringLiteral("Unidade"), QMetaType::QString, 4)
        .AddField(QStringLiteral("Consumo"), QMetaType::Double)
        .AddField(QStringLiteral("Subgrupo"), QMetaType::QString, 3)
        .AddField(QStringLiteral("Peso_Bal"), QMetaType::Double)
        .AddField(QStringLiteral("Ind_Tin"), QMetaType::Double)
        .AddField(QStringLiteral("Local"), QMetaType::QString, 30);
    TbReceita->CreateDataSet();
    ui.DBGrid1->SetDataSet(TbReceita);
    ui.DBGrid1->SetReadOnly(true);
    ui.DBGrid1->DeclaraColunas({{"Ordem", "Ord."},
                                {"Material", "Material"},
                                ColunaGrade("Descricao", "Descrição").Largura(24),
                                ColunaGrade("Qtde", "Qtde").Casas(4),
                                {"Unidade", "Un."},
                                ColunaGrade("Consumo", "Consumo (g)").Casas(3),
                                ColunaGrade("Peso_Bal", "Pesado (g)").Casas(3),
                                ColunaGrade("Ind_Tin", "Tol. (%)").Casas(2),
                                {"Subgrupo", "Subgrupo"},
                                ColunaGrade("Local", "Local").Largura(16).Estica(),
                                {"Baixar", "Aceito"},
                                {"Baixado", "Baixado"}});
    DataSetModel::Of(TbReceita)->SetRowColor([this](int linha) {
        if (TbReceita->TextoEm(linha, QStringLiteral("Baixado")) == u"S")
            return QColor(Qt::darkGreen);
        return TbReceita->TextoEm(linha, QStringLiteral("Baixar")) == u"S" ? QColor(Qt::blue) : QColor();
    });
    ui.DBGrid1->OnKeyDown = [this](QKeyEvent* tecla) {
        if (tecla->key() != Qt::Key_F5 && tecla->key() != Qt::Key_F6)
            return false;
        Pesa(tecla->key() == Qt::Key_F6);
        return true;
    };
    DicaTeclas({ui.DBGrid1}, QStringLiteral("F5: pesar a linha; F6: pesar e somar ao já pesado"));
}

void TFmTngBaiRec::PreparaConsulta() {
    m_consulta = new PaginaConsulta(this, ui.DBGrid2, ui.LbQtdeConsulta);
    m_consulta->pesquisa.SQL = SqlConsultaBaixa();
    m_consulta->pesquisa.CampoChave = QStringLiteral("NUMERO");
    m_consulta->pesquisa.OrdenarPor = QStringLiteral("P.NUMERO");
    // The pending sheets are gathered whole before the first window is cut: counted with it.
    m_consulta->pesquisa.ContaNaJanela = true;
    m_consulta->textoContagem = [](int linhas) { return QStringLiteral("%1 FAL(s) a baixar").arg(linhas); };
    m_consulta->abre = [this] {
        const QString fal = m_consulta->Linhas()->FieldByName(QStringLiteral("NUMERO")).AsString().trimmed();
        ui.PageControl1->setCurrentWidget(ui.TsBaixa);
        ui.EdtFal->setText(fal);
        BtConsultarClick();
    };
    ui.DBGrid2->DeclaraColunas({{"NUMERO", "FAL"},
                                {"DATA_INI", "Início"},
                                {"CLIENTE", "Cliente"},
                                {"COR", "Cor"},
                                ColunaGrade("DESCRICAO", "Descrição").Estica(),
                                {"VARIANTE", "Var."},
                                {"PARTIDA", "Partida"}});
}

void TFmTngBaiRec::EdtFalChange() {
    Limpa();
    m_cabecalho = LeCabecalhoBaixa(ui.EdtFal->text());
    const CabecalhoBaixa c = m_cabecalho.value_or(CabecalhoBaixa{});
    ui.EdtCodCli->setText(c.cliente);
    ui.EdtNomCli->setText(c.nomeCliente);
    ui.EdtCodCor->setText(c.cor);
    ui.EdtDesCor->setText(c.descCor);
    ui.EdtCodVar->setText(c.variante);
    ui.EdtReceita->setText(c.receita);
}

void TFmTngBaiRec::Limpa() {
    TbReceita->EmptyDataSet();
    m_falCarregada.clear();
}

void TFmTngBaiRec::BtConsultarClick() {
    const QString fal = ui.EdtFal->text().trimmed();
    if (!m_cabecalho) {
        Recusa(ui.EdtFal, QStringLiteral("FAL inexistente."));
        return;
    }
    if (!TemConsumosDaFal(fal)) {
        Informa(this, QStringLiteral("A receita não foi gerada."));
        return;
    }
    const QList<LinhaBaixa> linhas = LeLinhasBaixa(fal, CodigosDaLista(ui.EdtGrupoMat->text()));
    for (const LinhaBaixa& l : linhas)
        if (!l.ativo) {
            Limpa();
            Informa(this, QStringLiteral("FAL com Material Inativo: \n%1 %2").arg(l.material, l.descricao));
            return;
        }
    const QStringList subgrupos = CodigosDaLista(ui.EdtSubGrupo->text());
    TbReceita->DisableControls();
    const auto reativa = qScopeGuard([this] { TbReceita->EnableControls(); });
    TbReceita->EmptyDataSet();
    for (const LinhaBaixa& l : linhas) {
        if (!subgrupos.isEmpty() && !subgrupos.contains(l.subgrupo))
            continue;
        TbReceita->Append();
        TbReceita->FieldByName(QStringLiteral("Baixar")) = QStringLiteral("N");
        TbReceita->FieldByName(QStringLiteral("Baixado")) =
            l.baixado ? QStringLiteral("S") : QStringLiteral("N");
        TbReceita->FieldByName(QStringLiteral("Ordem")) = l.ordem;
        TbReceita->FieldByName(QStringLiteral("Material")) = l.material;
        TbReceita->FieldByName(QStringLiteral("Descricao")) = l.descricao;
        TbReceita->FieldByName(QStringLiteral("Qtde")) = l.qtde;
        TbReceita->FieldByName(QStringLiteral("Unidade")) = l.unidade;
        TbReceita->FieldByName(QStringLiteral("Consumo")) = l.consumoG;
        TbReceita->FieldByName(QStringLiteral("Subgrupo")) = l.subgrupo;
        TbReceita->FieldByName(QStringLiteral("Peso_Bal")) = l.pesoG;
        TbReceita->FieldByName(QStringLiteral("Ind_Tin")) = l.toleranciaPerc;
        TbReceita->FieldByName(QStringLiteral("Local")) = l.local;
        TbReceita->Post();
    }
    TbReceita->First();
    m_falCarregada = fal;
    ui.DBGrid1->setFocus();
}

bool TFmTngBaiRec::BalancaPadrao() const {
    return ui.CbBalanca->currentIndex() <= 0;
}

void TFmTngBaiRec::Pesa(bool soma) {
    if (TbReceita->IsEmpty())
        return;
    if (TbReceita->FieldByName(QStringLiteral("Baixado")).AsString() == u"S") {
        Informa(this, QStringLiteral("Consumo já baixado do estoque."));
        return;
    }
    ConfiguracaoPorta porta = LeConfiguracaoPorta();
    porta.porta = ui.EdtPorta->text().trimmed();
    PedidoBalanca pedido;
    pedido.balanca = ui.CbBalanca->currentText();
    pedido.maxCaracteres = 60;
    pedido.maxMs = 2000;
    const int conversor = BalancaPadrao() ? 1 : ConversorBalanca(ui.EdtConversor->text());
    double gramas = 0;
    {
        Ocupado(true, this, QStringLiteral("Lendo a balança..."));
        const auto livre = qScopeGuard([this] { Ocupado(false, this); });
        for (int vez = 1; vez <= kLeituras; ++vez) {
            const LeituraBalanca leitura = LePesoBalanca(porta, pedido);
            if (leitura.falha == FalhaBalanca::SemPorta || leitura.falha == FalhaBalanca::PortaIndisponivel) {
                Informa(this, leitura.mensagem);
                return;
            }
            if (leitura.peso)
                gramas = std::max(0.0, GramasDaLeitura(*leitura.peso, leitura.unidadeNomeada, conversor));
            if (gramas > 0 || leitura.resposta.size() >= pedido.maxCaracteres)
                break;
        }
    }
    const PesagemLinha p = PesaLinha(TbReceita->FieldByName(QStringLiteral("Peso_Bal")).AsFloat(), gramas,
                                     soma, TbReceita->FieldByName(QStringLiteral("Consumo")).AsFloat(),
                                     TbReceita->FieldByName(QStringLiteral("Ind_Tin")).AsFloat());
    TbReceita->Edit();
    TbReceita->FieldByName(QStringLiteral("Peso_Bal")) = p.pesoG;
    TbReceita->FieldByName(QStringLiteral("Baixar")) = p.baixar ? QStringLiteral("S") : QStringLiteral("N");
    TbReceita->Post();
    if (!p.baixar)
        Informa(this, TextoVeredito(p.veredito));
    else
        TbReceita->Next();
}

void TFmTngBaiRec::BtBaixarClick() {
    if (m_falCarregada.isEmpty()) {
        Informa(this, QStringLiteral("Consulte a FAL antes de baixar."));
        return;
    }
    if (!Pergunta(this, windowTitle(), QStringLiteral("Deseja realmente Baixar os Consumos?"), false))
        return;
    QList<LinhaPesada> pesadas;
    for (int i = 0; i < TbReceita->RecordCount(); ++i)
        if (TbReceita->TextoEm(i, QStringLiteral("Baixar")) == u"S" &&
            TbReceita->TextoEm(i, QStringLiteral("Baixado")) != u"S")
            pesadas << LinhaPesada{TbReceita->TextoEm(i, QStringLiteral("Material")),
                                   int(TbReceita->NumeroEm(i, QStringLiteral("Ordem"))),
                                   TbReceita->NumeroEm(i, QStringLiteral("Peso_Bal"))};
    if (pesadas.isEmpty()) {
        Informa(this, QStringLiteral("Nenhum consumo pesado e aceito para baixar."));
        return;
    }
    ResultadoBaixa r;
    {
        Ocupado(true, this);
        const auto livre = qScopeGuard([this] { Ocupado(false, this); });
        r = BaixaConsumosPesados(m_falCarregada, m_cabecalho ? m_cabecalho->cliente : QString(), pesadas);
    }
    if (!r.recusa.isEmpty()) {
        Informa(this, r.recusa);
        return;
    }
    if (ui.ChkEtiqueta->isChecked() && r.baixadas > 0)
        ImprimeEtiqueta(pesadas);
    QString aviso = QStringLiteral("%1 consumo(s) baixado(s) do estoque.").arg(r.baixadas);
    if (r.baixadas < pesadas.size())
        aviso += QStringLiteral(" %1 já havia(m) sido baixado(s) por outra estação.")
                     .arg(pesadas.size() - r.baixadas);
    ui.EdtFal->clear();
    Informa(this, aviso);
    ui.EdtFal->setFocus();
}

void TFmTngBaiRec::ImprimeEtiqueta(const QList<LinhaPesada>& linhas) {
    TClientDataSet dados;
    dados.AddField(QStringLiteral("Material"), QMetaType::QString, 15)
        .AddField(QStringLiteral("Descricao"), QMetaType::QString, 50)
        .AddField(QStringLiteral("Peso_Bal"), QMetaType::Double)
        .AddField(QStringLiteral("Local"), QMetaType::QString, 30);
    dados.CreateDataSet();
    for (const LinhaPesada& l : linhas)
        for (int i = 0; i < TbReceita->RecordCount(); ++i)
            if (TbReceita->TextoEm(i, QStringLiteral("Material")) == l.material &&
                int(TbReceita->NumeroEm(i, QStringLiteral("Ordem"))) == l.ordem) {
                dados.Append();
                dados.FieldByName(QStringLiteral("Material")) = l.material;
                dados.FieldByName(QStringLiteral("Descricao")) =
                    TbReceita->TextoEm(i, QStringLiteral("Descricao"));
                dados.FieldByName(QStringLiteral("Peso_Bal")) = l.pesoG;
                dados.FieldByName(QStringLiteral("Local")) = TbReceita->TextoEm(i, QStringLiteral("Local"));
                dados.Post();
            }
    const CabecalhoBaixa c = m_cabecalho.value_or(CabecalhoBaixa{});
    TRelatorio etiqueta(QStringLiteral("wTngEtqCons"), QStringLiteral("Baixa de Consumo"), &dados);
    etiqueta.AdicionaCabecalho(QStringLiteral("FAL"), m_falCarregada);
    etiqueta.AdicionaCabecalho(QStringLiteral("Cliente"), c.cliente + QStringLiteral(" - ") + c.nomeCliente);
    etiqueta.AdicionaCabecalho(QStringLiteral("Cor"), c.cor + QStringLiteral(" - ") + c.descCor);
    etiqueta.AdicionaCabecalho(QStringLiteral("Variante"),
                               c.variante + QStringLiteral(" - ") + c.descVariante);
    etiqueta.AdicionaCabecalho(QStringLiteral("Receita"), c.receita);
    try {
        Chama_RelatorioWin(etiqueta, this);
    } catch (const std::exception& e) {
        Informa(this, QStringLiteral("Erro:\n") + QString::fromUtf8(e.what()));
    }
}

void TFmTngBaiRec::CarregaBalancas(const QString& escolhida) {
    const QSignalBlocker bloqueio(ui.CbBalanca);
    ui.CbBalanca->clear();
    ui.CbBalanca->addItem(kPadrao);
    ui.CbBalanca->addItems(GruposIni(kBalancas));
    ui.CbBalanca->setCurrentIndex(qMax(0, ui.CbBalanca->findText(escolhida)));
    CbBalancaChange();
}

void TFmTngBaiRec::CbBalancaChange() {
    const QString nome = ui.CbBalanca->currentText();
    if (BalancaPadrao()) {
        ui.EdtPorta->setText(LeIni(kParametros, QStringLiteral("PortaBal")));
        ui.EdtDecimais->setText(QString::number(DecimaisBalanca(kPadrao)));
        ui.EdtConversor->setText(QStringLiteral("1"));
    } else {
        ui.EdtPorta->setText(LeIni(kBalancas, nome + QStringLiteral("/Porta")));
        ui.EdtDecimais->setText(QString::number(DecimaisBalanca(nome)));
        ui.EdtConversor->setText(
            QString::number(ConversorBalanca(LeIni(kBalancas, nome + QStringLiteral("/Conversor")))));
    }
    // The default scale weighs in grams as it reads: it has no multiplier of its own.
    ui.EdtConversor->setReadOnly(BalancaPadrao());
}

void TFmTngBaiRec::BtNovaBalancaClick() {
    QString nome;
    if (!InputQuery(this, windowTitle(), QStringLiteral("Nome da nova balança:"), nome))
        return;
    nome = nome.trimmed().toUpper();
    if (nome.isEmpty() || nome.contains(u'/') || nome.contains(u'\\') || nome == kPadrao ||
        nome == u"PADRAO") {
        Informa(this, QStringLiteral("Nome de balança inválido."));
        return;
    }
    if (ui.CbBalanca->findText(nome) >= 0) {
        Informa(this, QStringLiteral("Balança %1 já cadastrada.").arg(nome));
        return;
    }
    ui.CbBalanca->addItem(nome);
    ui.CbBalanca->setCurrentText(nome);
    ui.EdtPorta->setFocus();
}

void TFmTngBaiRec::BtGravaBalancaClick() {
    const QString nome = ui.CbBalanca->currentText();
    const QString decimais = QString::number(qBound(0, ui.EdtDecimais->text().toInt(), 6));
    if (BalancaPadrao()) {
        GravaIni(kParametros, QStringLiteral("PortaBal"), ui.EdtPorta->text().trimmed());
        GravaIni(kParametros, QStringLiteral("Decimal"), decimais);
    } else {
        GravaIni(kBalancas, nome + QStringLiteral("/Porta"), ui.EdtPorta->text().trimmed());
        GravaIni(kBalancas, nome + QStringLiteral("/Decimal"), decimais);
        GravaIni(kBalancas, nome + QStringLiteral("/Conversor"),
                 QString::number(ConversorBalanca(ui.EdtConversor->text())));
    }
    CarregaBalancas(nome);
    Informa(this, QStringLiteral("Balança %1 gravada.").arg(nome));
}

void LayoutEtiquetaConsumo(TRelatorio& relatorio) {
    relatorio.DefineColunas(
        {relatorio.Coluna(QStringLiteral("Material"), QStringLiteral("Material")),
         relatorio.Coluna(QStringLiteral("Descricao"), QStringLiteral("Descrição")),
         relatorio.Coluna(QStringLiteral("Peso_Bal"), QStringLiteral("Pesado (g)"), 3, true),
         relatorio.Coluna(QStringLiteral("Local"), QStringLiteral("Local"))});
    relatorio.DefineZebrado(false);
}
