#include "RelTngEtq.h"
#include "Acesso.h"
#include "CaixaPesquisa.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "DataContext.h"
#include "DataSetModel.h"
#include "Estoque.h"
#include "Etiqueta.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "HostUi.h"
#include "LeiturasFal.h"
#include "LocalSettings.h"
#include "Mensagens.h"
#include "ModuleUnits.h"
#include "PortaBalanca.h"
#include "Protecao.h"
#include "RegrasEtiqueta.h"
#include "TClientDataSet.h"
#include "TPesquisa.h"
#include <QIntValidator>
#include <QKeyEvent>
#include <QScopeGuard>

TFmRelEtq* FmRelEtq = nullptr;

KELM_SCREEN_UNIT(RelTngEtq, TFmRelEtq);

namespace {
const QString kParametros = QStringLiteral("Parametros");
const QString kClasse = QStringLiteral("TFmRelEtq");

int LeInteiro(const QString& chave, int padrao) {
    bool ok = false;
    const int valor = LeIni(kParametros, chave).trimmed().toInt(&ok);
    return ok ? valor : padrao;
}
} // namespace

TFmRelEtq::TFmRelEtq(QWidget* parent) : TForm(parent), TbRelatorio(new TClientDataSet(this)) {
    setObjectName(QStringLiteral("FmRelEtq"));
    setWindowTitle(QStringLiteral("Emissão de Etiqueta"));
    KeyPreview = true;
    ui.setupUi(this);
    PublicaInstancia(FmRelEtq);
}

void TFmRelEtq::FormCreate() {
    PreparaGrade();
    DeclaraCaixas();
    ui.EdtRolo->setValidator(new QIntValidator(0, 9999, ui.EdtRolo));
    for (int i = 1; i <= 5; ++i)
        ui.CbLayout->addItem(QString::number(i).rightJustified(2, u'0'));
    ui.RgEtqTexto->setChecked(true);
    ui.cmbFases->setEditable(false);
    ui.cmbFases->addItem(QString());
    ui.BtImp->setEnabled(false);
    InstalaLayoutsEtiqueta();

    m_protocolo = LeInteiro(QStringLiteral("ProtocoloBal"), 0);
    m_countStr = std::clamp(LeInteiro(QStringLiteral("CountStr"), 12), 1, 200);
    if (m_protocolo == 2) {
        // A scale that sends on its own is listened to for as long as the screen is open; a port that does
        // not open now is tried again at F5.
        m_balanca = new BalancaAberta(this);
        m_balanca->Abre(LeConfiguracaoPorta());
        connect(m_balanca, &BalancaAberta::pesoLido, this, Protegido([this](double kg) { PesoChegou(kg); }));
        connect(m_balanca, &BalancaAberta::semPeso, this,
                Protegido([this](const QString& mensagem) { Informa(this, mensagem); }));
    }

    connect(ui.btnConfirmar, &QPushButton::clicked, this, Protegido([this] { btnConfirmarClick(); }));
    connect(ui.BtImp, &QPushButton::clicked, this, Protegido([this] { BtImpClick(); }));
    connect(ui.BitBtn3, &QPushButton::clicked, this, Protegido([this] { BitBtn3Click(); }));
    connect(ui.BtFechar, &QPushButton::clicked, this, &QWidget::close);
    connect(ui.EdtFal, &QLineEdit::textEdited, this, Protegido([this] { Limpa(); }));
    SaidaSemConferencia(ui.BtFechar);
    DicaTeclas({ui.DBGrid1, ui.EdtFal, ui.EdtCodPro},
               QStringLiteral("F5: capturar o peso do rolo; F6: imprimir; F10: porta da balança"));
    ui.EdtFal->setFocus();
}

void TFmRelEtq::PreparaGrade() {
    TbRelatorio->setObjectName(QStringLiteral("TbRelatorio"));
    CriaTabelaEtiquetas(*TbRelatorio);
    ui.DBGrid1->SetDataSet(TbRelatorio);
    ui.DBGrid1->DeclaraColunas({{"Imp", "Imp."},
                                ColunaGrade("NrRolo", "Rolo").SomenteLeitura(),
                                ColunaGrade("FAL", "FAL").SomenteLeitura(),
                                ColunaGrade("Codigo", "Produto").SomenteLeitura(),
                                ColunaGrade("Descricao", "Descrição").Largura(24),
                                ColunaGrade("Lote", "Lote").Largura(10).SomenteLeitura(),
                                ColunaGrade("Cor", "Cor").SomenteLeitura(),
                                ColunaGrade("DescCor", "Descrição Cor").Largura(18),
                                ColunaGrade("Seq", "Seq.").SomenteLeitura(),
                                ColunaGrade("Peso", "Peso (kg)").Casas(2).SomenteLeitura(),
                                ColunaGrade("Peso_Liq", "Líquido (kg)").Casas(2).SomenteLeitura(),
                                ColunaGrade("Largura", "Largura").Casas(2),
                                ColunaGrade("Gramatura", "Gramatura").Casas(0),
                                ColunaGrade("Barra", "Código de Barras").Largura(32).SomenteLeitura(),
                                ColunaGrade("NumBarra", "Lote Estoque").SomenteLeitura(),
                                ColunaGrade("Obs", "Obs.").Estica()});
    DataSetModel::Of(TbRelatorio)->SetCheckField(QStringLiteral("Imp"));
    AcaoMenuGrade(ui.DBGrid1, "ExcluirRolo1", QStringLiteral("Excluir Rolo"),
                  [this] { ExcluirRolo1Click(); });
    AcaoMenuGrade(ui.DBGrid1, "ImprimirEtiqueta1", QStringLiteral("Imprimir Etiqueta"),
                  [this] { ImprimirEtiqueta1Click(); });
}

void TFmRelEtq::DeclaraCaixas() {
    DeclaracaoCaixa fal;
    fal.caixa = ui.EdtFal;
    fal.botao = ui.PqFal;
    fal.titulo = QStringLiteral("FAL");
    fal.tabela = QStringLiteral("FAL");
    fal.chave = QStringLiteral("NUMERO");
    fal.campoDescricao = QStringLiteral("CLIENTE");
    fal.pesquisa = [this] {
        TPesquisa pesquisa;
        pesquisa.Titulo = QStringLiteral("FAL");
        pesquisa.SQL = DBLocal_SQL(QStringLiteral(
            "SELECT F.NUMERO, F.CLIENTE, E.NOME, F.COR, C.DESCRICAO, F.DATA_INI FROM {FAL} F LEFT JOIN "
            "{ENTIDADE} E ON (E.CODCLI = F.CLIENTE) LEFT JOIN {CADCORTIN} C ON (C.CODIGO = F.COR)"));
        pesquisa.CampoChave = QStringLiteral("NUMERO");
        pesquisa.CampoBusca = QStringLiteral("NUMERO");
        pesquisa.OrdenarPor = QStringLiteral("NUMERO DESC");
        if (!pesquisa.AbrePesquisa(this))
            return false;
        ui.EdtFal->setText(pesquisa.Chave().trimmed());
        Limpa();
        return EdtFalExit();
    };
    DeclaraCaixa(fal);

    DeclaracaoCaixa produto;
    produto.caixa = ui.EdtCodPro;
    produto.descricao = ui.EdtDesPro;
    produto.botao = ui.PqProduto;
    produto.titulo = QStringLiteral("Produtos da FAL");
    produto.tabela = QStringLiteral("PRODUTO");
    produto.recusa = QStringLiteral("Produto não pertence à FAL.");
    produto.preparaLista = [this](TPesquisa& lista) {
        if (Fal().isEmpty())
            return Recusa(ui.EdtFal, QStringLiteral("Informe a FAL."));
        lista.Filtro =
            DBLocal_SQL(QStringLiteral("CODIGO IN (SELECT FAL_ITEN.CODIGO FROM {FAL_ITEN} FAL_ITEN "
                                       "WHERE FAL_ITEN.FAL = ")) +
            Aspas(Fal()) + QLatin1Char(')');
        return true;
    };
    produto.confere = [this](const QString& codigo) {
        return Existe(QStringLiteral("FAL_ITEN"), QStringLiteral("FAL;CODIGO"), QVariantList{Fal(), codigo})
                   ? QString()
                   : QStringLiteral("Produto não pertence à FAL.");
    };
    DeclaraCaixa(produto);
    DicaTeclas({ui.EdtFal}, QStringLiteral("F4: pesquisa de FAL"));
}

QString TFmRelEtq::Fal() const {
    return ui.EdtFal->text().trimmed();
}

QString TFmRelEtq::Produto() const {
    return ui.EdtCodPro->text().trimmed();
}

double TFmRelEtq::Tara() const {
    double tara = 0;
    return LeNumero(ui.EdtTara->text(), tara) && tara > 0 ? tara : 0;
}

void TFmRelEtq::Limpa() {
    TbRelatorio->EmptyDataSet();
    m_falCarregada.clear();
    ui.BtImp->setEnabled(false);
}

bool TFmRelEtq::SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason reason) {
    Q_UNUSED(next);
    Q_UNUSED(reason);
    if (control == ui.EdtFal)
        return EdtFalExit();
    if (control == ui.EdtCodPro)
        EdtCodProExit();
    double tara = 0;
    if (control == ui.EdtTara && !ui.EdtTara->text().trimmed().isEmpty() &&
        (!LeNumero(ui.EdtTara->text(), tara) || tara < 0))
        return Recusa(ui.EdtTara, QStringLiteral("Tara inválida."));
    return true;
}

bool TFmRelEtq::EdtFalExit() {
    if (Fal().isEmpty())
        return true;
    if (!ConfereFal())
        return false;
    EdtCodProExit();
    return true;
}

// The sheet typed: one that gets labels, its customer shown.
bool TFmRelEtq::ConfereFal() {
    const QString fal = FalExistente(Fal());
    if (fal.isEmpty())
        return Recusa(ui.EdtFal, QStringLiteral("FAL inexistente."));
    ui.EdtFal->setText(fal);
    if (FalReprocessada(fal)) {
        Informa(this, QStringLiteral("FAL reprocessada. Impossível emitir Etiquetas."));
        return false;
    }
    const QString cliente =
        Busca_Valor(QStringLiteral("FAL"), QStringLiteral("NUMERO"), QStringLiteral("CLIENTE"), {fal})
            .trimmed();
    ui.EdtCodCli->setText(cliente);
    ui.EdtNomCli->setText(
        Busca_Valor(QStringLiteral("ENTIDADE"), QStringLiteral("CODCLI"), QStringLiteral("NOME"), {cliente}));
    return true;
}

void TFmRelEtq::EdtCodProExit() {
    if (Fal().isEmpty())
        return;
    const ResumoEtiquetas resumo = ResumoItens(Fal(), Produto());
    ui.EdtRolo->setText(QString::number(resumo.rolos));
    ui.EdtPeso->setText(TextoExibicao(resumo.peso, 2));
    AtualizaFases(PassosDaFal(Fal(), Produto()));
}

void TFmRelEtq::AtualizaFases(const QList<PassoEtiqueta>& passos) {
    for (const PassoEtiqueta& p : passos)
        if (!p.desFase.isEmpty() && ui.cmbFases->findText(p.desFase) < 0)
            ui.cmbFases->addItem(p.desFase);
}

std::optional<PassoEtiqueta> TFmRelEtq::PassoEscolhido(const QList<PassoEtiqueta>& passos) const {
    const QString fase = ui.cmbFases->currentText().trimmed();
    if (fase.isEmpty())
        return std::nullopt;
    for (const PassoEtiqueta& p : passos)
        if (p.desFase == fase)
            return p;
    return std::nullopt;
}

void TFmRelEtq::btnConfirmarClick() {
    const QString fal = Fal();
    if (fal.isEmpty())
        return void(Recusa(ui.EdtFal, QStringLiteral("Informe a FAL.")));
    if (!ConfereFal())
        return;
    if (ProcessosAbertos(fal, Produto()) > 1 &&
        BuscaParametro(QStringLiteral("TIN"), 10).trimmed().toUpper() == QLatin1String("S")) {
        Informa(this, QStringLiteral("Processos Pendentes na Produção."));
        return;
    }
    if (ItensJaImpressos(fal, Produto()) && !Acessa(kClasse, QStringLiteral("A"), QStringLiteral("1"))) {
        Informa(this, QStringLiteral("FAL com itens já impressos."));
        return;
    }
    const QList<PassoEtiqueta> passos = PassosDaFal(fal, Produto());
    PedidoEtiquetas pedido;
    pedido.fal = fal;
    pedido.produto = Produto();
    pedido.rolos = ui.EdtRolo->text().toInt();
    pedido.passo = PassoEscolhido(passos);
    pedido.obs = ui.EdtObs->text().trimmed();
    pedido.tara = Tara();
    const ResumoEtiquetas resumo = CarregaEtiquetas(*TbRelatorio, pedido);
    ui.EdtPeso->setText(TextoExibicao(resumo.peso, 2));
    AtualizaFases(passos);
    m_falCarregada = fal;
    ui.BtImp->setEnabled(true);
    ui.DBGrid1->setFocus();
}

bool TFmRelEtq::FormKeyDown(QKeyEvent* key) {
    switch (key->key()) {
    case Qt::Key_F5:
        Pesa();
        return true;
    case Qt::Key_F6:
        if (ui.BtImp->isEnabled())
            BtImpClick();
        return true;
    case Qt::Key_F10:
        if (ConfiguraPortaBalanca(this) && m_balanca)
            m_balanca->Abre(LeConfiguracaoPorta());
        return true;
    default:
        return TForm::FormKeyDown(key);
    }
}

void TFmRelEtq::Pesa() {
    if (TbRelatorio->IsEmpty() || m_falCarregada.isEmpty()) {
        Informa(this, QStringLiteral("Confirme a FAL antes de pesar."));
        return;
    }
    if (m_balanca) {
        if (!m_balanca->Aberta())
            if (const QString falha = m_balanca->Abre(LeConfiguracaoPorta()); !falha.isEmpty()) {
                Informa(this, falha);
                return;
            }
        // The weight comes with the scale's next frame, for the roll asked now; the screen goes on meanwhile.
        m_rolosPedido = {TbRelatorio->TextoAtual(QStringLiteral("Codigo")),
                         TbRelatorio->TextoAtual(QStringLiteral("NrRolo"))};
        m_balanca->PedeProximoQuadro();
        return;
    }
    PedidoBalanca pedido;
    pedido.maxMs = 1000;
    if (m_protocolo == 1) {
        pedido.envio = QByteArray(1, '\x05');
        pedido.maxCaracteres = m_countStr;
        pedido.quadroUnico = true;
    } else {
        pedido.maxCaracteres = 50;
    }
    LeituraBalanca leitura;
    {
        Ocupado(true, this, QStringLiteral("Lendo a balança..."));
        const auto livre = qScopeGuard([this] { Ocupado(false, this); });
        leitura = LePesoBalanca(pedido);
    }
    if (!leitura.peso) {
        Informa(this, leitura.mensagem);
        return;
    }
    if (*leitura.peso > 0)
        GeraEtiqueta(*leitura.peso);
}

void TFmRelEtq::PesoChegou(double peso) {
    const auto [codigo, rolo] = std::exchange(m_rolosPedido, {});
    for (int i = 0; i < TbRelatorio->RecordCount(); ++i)
        if (TbRelatorio->TextoEm(i, QStringLiteral("Codigo")) == codigo &&
            TbRelatorio->TextoEm(i, QStringLiteral("NrRolo")) == rolo) {
            TbRelatorio->MoveTo(i);
            GeraEtiqueta(peso);
            return;
        }
}

QString TFmRelEtq::Barra(int linha) const {
    return MontaBarra(TbRelatorio->NumeroEm(linha, QStringLiteral("Peso")),
                      TbRelatorio->TextoEm(linha, QStringLiteral("Codigo")),
                      TbRelatorio->TextoEm(linha, QStringLiteral("Cor")),
                      TbRelatorio->TextoEm(linha, QStringLiteral("Lote")),
                      TbRelatorio->TextoEm(linha, QStringLiteral("NrRolo")).toInt());
}

QString TFmRelEtq::LayoutGrafico() const {
    const QString doCliente = QStringLiteral("WTngEtq") + ui.EdtCodCli->text().trimmed();
    return !ui.EdtCodCli->text().trimmed().isEmpty() && !ArquivoLayoutEtiqueta(doCliente).isEmpty()
               ? doCliente
               : QStringLiteral("WTngEtq") + ui.CbLayout->currentText();
}

void TFmRelEtq::GeraEtiqueta(double peso) {
    if (TbRelatorio->IsEmpty() || m_falCarregada.isEmpty() || !(peso > 0))
        return;
    const int linha = TbRelatorio->RecNo();
    RoloPesado rolo;
    rolo.fal = m_falCarregada;
    rolo.codigo = TbRelatorio->TextoAtual(QStringLiteral("Codigo"));
    rolo.nrRolo = TbRelatorio->TextoAtual(QStringLiteral("NrRolo")).toInt();
    rolo.peso = Arredondar(peso, 3);
    rolo.gramatura = TbRelatorio->FieldByName(QStringLiteral("Gramatura")).Value();
    rolo.largura = TbRelatorio->FieldByName(QStringLiteral("Largura")).Value();
    if (const QString recusa = GravaRolo(rolo); !recusa.isEmpty()) {
        Informa(this, recusa);
        return;
    }
    TbRelatorio->Edit();
    TbRelatorio->FieldByName(QStringLiteral("Imp")) = QStringLiteral("S");
    TbRelatorio->FieldByName(QStringLiteral("Peso")) = rolo.peso;
    TbRelatorio->FieldByName(QStringLiteral("Peso_Liq")) = PesoLiquido(rolo.peso, Tara());
    TbRelatorio->FieldByName(QStringLiteral("Tara")) = Tara();
    TbRelatorio->Post();
    ImprimirEtiqueta1Click();
    TbRelatorio->MoveTo(linha);
    TbRelatorio->Edit();
    TbRelatorio->FieldByName(QStringLiteral("Imp")) = QStringLiteral("N");
    TbRelatorio->Post();
    TbRelatorio->Next();
}

void TFmRelEtq::ImprimirEtiqueta1Click() {
    if (TbRelatorio->IsEmpty())
        return;
    const int linha = TbRelatorio->RecNo();
    TbRelatorio->Edit();
    TbRelatorio->FieldByName(QStringLiteral("Barra")) = Barra(linha);
    TbRelatorio->Post();
    PedidoEtiqueta pedido;
    pedido.layout = LayoutGrafico();
    pedido.modo = ModoEtiqueta::Grafico;
    pedido.usuario = vUsuario();
    pedido.avisa = [this](const QString& texto) { Informa(this, texto); };
    if (ImprimeEtiquetas(pedido, *TbRelatorio, {linha}, this) == ResultadoEtiqueta::LayoutAusente)
        Informa(this, QStringLiteral("Layout de etiqueta não encontrado: ") + pedido.layout);
}

void TFmRelEtq::ExcluirRolo1Click() {
    if (TbRelatorio->IsEmpty() || m_falCarregada.isEmpty())
        return;
    ExcluiRolo(m_falCarregada, TbRelatorio->TextoAtual(QStringLiteral("Codigo")),
               TbRelatorio->TextoAtual(QStringLiteral("NrRolo")).toInt());
    TbRelatorio->Edit();
    for (const char* campo : {"Peso", "Peso_Liq", "Barra"})
        TbRelatorio->FieldByName(QLatin1String(campo)) = QVariant();
    TbRelatorio->Post();
}

void TFmRelEtq::BtImpClick() {
    if (TbRelatorio->IsEmpty() || m_falCarregada.isEmpty())
        return;
    TbRelatorio->CheckBrowseMode();
    QList<int> linhas;
    for (int i = 0; i < TbRelatorio->RecordCount(); ++i)
        if (TbRelatorio->TextoEm(i, QStringLiteral("Imp")) == u"S")
            linhas << i;
    if (linhas.isEmpty()) {
        Informa(this, QStringLiteral("Nenhuma etiqueta marcada para impressão."));
        return;
    }
    if (!Pergunta(this, QStringLiteral("Impressão de Etiquetas"),
                  QStringLiteral("Deseja imprimir a etiqueta?"), true))
        return;
    const int atual = TbRelatorio->RecNo();
    for (int linha : linhas) {
        TbRelatorio->MoveTo(linha);
        TbRelatorio->Edit();
        TbRelatorio->FieldByName(QStringLiteral("Barra")) = Barra(linha);
        TbRelatorio->Post();
    }
    TbRelatorio->MoveTo(atual);
    PedidoEtiqueta pedido;
    pedido.usuario = vUsuario();
    pedido.avisa = [this](const QString& texto) { Informa(this, texto); };
    const QString texto = QStringLiteral("TTngEtq") + ui.CbLayout->currentText();
    if (ui.RgEtqGrafico->isChecked()) {
        pedido.layout = LayoutGrafico();
        pedido.modo = ModoEtiqueta::Grafico;
    } else {
        pedido.layout = texto;
        pedido.modo = ui.RgEtqArquivo->isChecked() ? ModoEtiqueta::Arquivo : ModoEtiqueta::Texto;
    }
    switch (ImprimeEtiquetas(pedido, *TbRelatorio, linhas, this)) {
    case ResultadoEtiqueta::Impressa:
        break;
    case ResultadoEtiqueta::LayoutAusente:
        Informa(this, QStringLiteral("Layout de etiqueta não encontrado: ") + pedido.layout);
        return;
    default:
        return;
    }
    QList<ItemImpresso> itens;
    QStringList vistos;
    for (int linha : linhas) {
        const QString codigo = TbRelatorio->TextoEm(linha, QStringLiteral("Codigo"));
        const QString lote = TbRelatorio->TextoEm(linha, QStringLiteral("Lote"));
        if (vistos.contains(codigo + u'|' + lote))
            continue;
        vistos << codigo + u'|' + lote;
        itens.append({codigo, lote, ui.cmbFases->currentText().trimmed(),
                      int(TbRelatorio->NumeroEm(linha, QStringLiteral("Rolo")))});
    }
    MarcaEtiquetasImpressas(m_falCarregada, itens, this);
}

void TFmRelEtq::BitBtn3Click() {
    if (TbRelatorio->IsEmpty() || m_falCarregada.isEmpty())
        return;
    if (!Acessa(kClasse, QStringLiteral("A"), QStringLiteral("1")))
        return;
    TbRelatorio->CheckBrowseMode();
    PedidoEstoqueRolos pedido;
    pedido.fal = m_falCarregada;
    pedido.cliente = ui.EdtCodCli->text().trimmed();
    pedido.produtoTela = Produto();
    pedido.produtos = BuscaParametro(QStringLiteral("FAT"), 10).trimmed().toUpper() == QLatin1String("P");
    bool pesado = false;
    for (int i = 0; i < TbRelatorio->RecordCount(); ++i) {
        pedido.rolos.append({TbRelatorio->TextoEm(i, QStringLiteral("Codigo")),
                             TbRelatorio->TextoEm(i, QStringLiteral("Cor")),
                             TbRelatorio->TextoEm(i, QStringLiteral("Lote")),
                             TbRelatorio->NumeroEm(i, QStringLiteral("Peso_Liq"))});
        pesado = pesado || pedido.rolos.last().pesoLiquido > 0;
    }
    if (!pesado) {
        Informa(this, QStringLiteral("Nenhum rolo pesado."));
        return;
    }
    // The warehouse chosen, else the priority one.
    pedido.deposito = TPesquisa::EscolheCodigo(this, QStringLiteral("Depósitos"), QStringLiteral("DEPOSITO"))
                          .value_or(DepositoPrioritario());
    pedido.baixarItens =
        Pergunta(this, windowTitle(), QStringLiteral("Deseja baixar os itens da FAL?"), false);
    ResultadoEstoqueRolos r;
    {
        Ocupado(true, this);
        const auto livre = qScopeGuard([this] { Ocupado(false, this); });
        r = LancaEstoqueRolos(pedido, this);
    }
    if (!r.recusa.isEmpty()) {
        Informa(this, r.recusa);
        return;
    }
    {
        const ControlesDesligados quietos(*TbRelatorio);
        for (int i = 0; i < r.lotes.size() && i < TbRelatorio->RecordCount(); ++i) {
            if (r.lotes[i].isEmpty())
                continue;
            TbRelatorio->MoveTo(i);
            TbRelatorio->Edit();
            TbRelatorio->FieldByName(QStringLiteral("NumBarra")) = r.lotes[i];
            TbRelatorio->Post();
        }
        TbRelatorio->First();
    }
    Informa(this, QStringLiteral("Estoque gerado com Sucesso."));
}
