#include "TngContrQul.h"
#include "Acesso.h"
#include "CaixaPesquisa.h"
#include "DataAccess.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "GravacaoAtomica.h"
#include "HostError.h"
#include "LeiturasFal.h"
#include "Mensagens.h"
#include "ModuleUnits.h"
#include "Protecao.h"
#include "Relatorio.h"
#include "TClientDataSet.h"
#include "TPesquisa.h"
#include "TZoQuery.h"
#include <QDate>

TfmContrQul* fmContrQul = nullptr;

KELM_SCREEN_UNIT(TngContrQul, TfmContrQul, {{QStringLiteral("WTngQul"), LayoutQualidade}});

namespace {
const QString kFalInvalida = QStringLiteral("FAL Inválida.");
const QString kCodigoInvalido = QStringLiteral("Código Inválido.");
const QString kLiberado = QStringLiteral("Liberado");
const QString kTituloLog = QStringLiteral("CADASTRO DE QUALIDADE");
// The verdict's columns as the screen reads and writes them: status, date, defect, then the results in the
// order of m_resultados.
const QStringList kColunas = {"APROVADO",  "DATA",       "DEFEITO",    "LARGURA",      "GRAMATURA",
                              "COMP_ADM",  "LARG_ADM",   "SOLID_SECO", "SOLID_UMIDO",  "SOLID_LAV",
                              "TORC_SECO", "TORC_UMIDO", "PESO_TINT",  "RESPONSSAVEL", "OBS"};
constexpr int kPrimeiroResultado = 3;
} // namespace

TfmContrQul::TfmContrQul(QWidget* parent) : TForm(parent) {
    setObjectName(QStringLiteral("fmContrQul"));
    setWindowTitle(QStringLiteral("Controle de Qualidade"));
    ui.setupUi(this);
    m_resultados = {{ui.EdtLargura, "LARGURA", "Largura", 3},
                    {ui.EdtGramatura, "GRAMATURA", "Gramatura", 2},
                    {ui.EdtCompAdm, "COMP_ADM", "A.D.M Comprimento", 2},
                    {ui.EdtLargAdm, "LARG_ADM", "A.D.M Largura", 2},
                    {ui.EdtSolidSeco, "SOLID_SECO", "Solidez / Migração", -1},
                    {ui.EdtSolidUmido, "SOLID_UMIDO", "Solidez Fricção Úmido", -1},
                    {ui.EdtSolidLav, "SOLID_LAV", "Solidez na Lavagem", -1},
                    {ui.EdtTorcSeco, "TORC_SECO", "Torção Seco", 2},
                    {ui.EdtTorcUmido, "TORC_UMIDO", "Torção / Lavado", 2},
                    {ui.EdtPesoTint, "PESO_TINT", "Peso Tinto", 3},
                    {ui.EdtResponsavel, "RESPONSSAVEL", "Responsável", -1},
                    {ui.EdtObs, "OBS", "Observações", -1}};
    connect(ui.BtnGravar, &QPushButton::clicked, this, Protegido([this] { BtnGravarClick(); }));
    connect(ui.BtnImprimir, &QPushButton::clicked, this, Protegido([this] { BtnImprimirClick(); }));
    connect(ui.BtnFechar, &QPushButton::clicked, this, [this] { close(); });
    SaidaSemConferencia(ui.BtnFechar);
    PublicaInstancia(fmContrQul);
}

void TfmContrQul::FormCreate() {
    m_completaProduto = BuscaParametro(QStringLiteral("TIN"), 210).trimmed().toUpper() == QLatin1String("S");
    DeclaracaoCaixa produto;
    produto.caixa = ui.EdtCodPro;
    produto.descricao = ui.EdtDesPro;
    produto.titulo = QStringLiteral("Produtos da FAL");
    produto.tabela = QStringLiteral("PRODUTO");
    produto.recusa = kCodigoInvalido;
    produto.preparaLista = [this](TPesquisa& lista) {
        const QString fal = ui.EdtFal->text().trimmed();
        if (fal.isEmpty())
            return Recusa(ui.EdtFal, kFalInvalida);
        lista.Filtro =
            DBLocal_SQL(QStringLiteral("CODIGO IN (SELECT F.CODIGO FROM {FAL_ITEN} F WHERE F.FAL = ")) +
            Aspas(fal) + QLatin1Char(')');
        return true;
    };
    produto.confere = [this](const QString& codigo) {
        return ProdutoDaFal({ui.EdtFal->text().trimmed(), codigo}) ? QString() : kCodigoInvalido;
    };
    DeclaraCaixa(produto);
    DeclaraCaixa({.caixa = ui.EdtDefeito,
                  .descricao = ui.EdtDesDefeito,
                  .titulo = QStringLiteral("Defeitos"),
                  .tabela = QStringLiteral("DEFEITO"),
                  .recusa = QStringLiteral("Defeito Inválido.")});
    DicaTeclas({ui.EdtCodPro}, QStringLiteral("F4: pesquisa de produtos da FAL"));
    DicaTeclas({ui.EdtDefeito}, QStringLiteral("F4: pesquisa de defeitos"));
    QList<QWidget*> caixas{ui.EdtFal, ui.EdtCodPro, ui.CbStatus, ui.EdtData, ui.EdtDefeito};
    for (const Resultado& r : m_resultados)
        caixas << r.caixa;
    VigiaAlteracoes({}, caixas, ui.BtnGravar);
    Mostra(std::nullopt);
    ui.EdtFal->setFocus();
}

void TfmContrQul::Argumentos(const ArgumentosTela& argumentos) {
    const QString fal = FalExistente(argumentos.value(QStringLiteral("FAL")).toString());
    if (fal.isEmpty())
        return;
    ui.EdtFal->setText(fal);
    AlteracoesGravadas();
}

void TfmContrQul::showEvent(QShowEvent* event) {
    TForm::showEvent(event);
    if (!ui.EdtFal->text().trimmed().isEmpty())
        (ui.EdtCodPro->text().trimmed().isEmpty() ? ui.EdtCodPro : ui.EdtDefeito)->setFocus();
}

bool TfmContrQul::SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason reason) {
    Q_UNUSED(next);
    Q_UNUSED(reason);
    if (control == ui.EdtFal)
        return SaiFal();
    if (control == ui.EdtCodPro)
        return SaiProduto();
    return true;
}

bool TfmContrQul::ProdutoDaFal(const Par& par) const {
    return !par.fal.isEmpty() && !par.produto.isEmpty() &&
           Existe(QStringLiteral("FAL_ITEN"), QStringLiteral("FAL;CODIGO"),
                  QVariantList{par.fal, par.produto});
}

bool TfmContrQul::SaiFal() {
    if (ui.EdtFal->text().trimmed().isEmpty())
        return true;
    const QString fal = FalExistente(ui.EdtFal->text());
    if (fal.isEmpty())
        return Recusa(ui.EdtFal, kFalInvalida);
    ui.EdtFal->setText(fal);
    return true;
}

// Algorithm of the product box: TIN 210 completes a blank one from a sheet of a single fabric.
bool TfmContrQul::SaiProduto() {
    const QString fal = ui.EdtFal->text().trimmed();
    if (ui.EdtCodPro->text().trimmed().isEmpty()) {
        if (!m_completaProduto)
            return true;
        TZoQuery q;
        q.SQL << DBLocal_SQL(QStringLiteral("SELECT DISTINCT CODIGO FROM {FAL_ITEN} WHERE FAL = :FAL"));
        q.BindValue(QStringLiteral("FAL"), fal);
        q.Open();
        if (q.RecordCount() != 1)
            return Recusa(ui.EdtCodPro, QStringLiteral("Código inválido. Impossível continuar."));
        ui.EdtCodPro->setText(q.Fields(0).AsString().trimmed());
    }
    const Par par{fal, ui.EdtCodPro->text().trimmed()};
    if (!ProdutoDaFal(par))
        return Recusa(ui.EdtCodPro, kCodigoInvalido);
    if (m_par != par)
        CarregaPar(par);
    return true;
}

std::optional<QVariantList> TfmContrQul::LeVeredito(const Par& par, bool trava) const {
    TZoQuery q;
    q.SQL << DBLocal_SQL(
        QStringLiteral("SELECT %1 FROM {CONTR_QUL} WHERE FAL = :FAL AND CODIGO = :CODIGO "
                       "AND ORDEM = 0%2")
            .arg(kColunas.join(QStringLiteral(", ")), trava ? QStringLiteral(" WITH LOCK") : QString()));
    q.BindValue(QStringLiteral("FAL"), par.fal);
    q.BindValue(QStringLiteral("CODIGO"), par.produto);
    q.Open();
    if (q.Eof())
        return std::nullopt;
    QVariantList valores;
    for (int i = 0; i < kColunas.size(); ++i)
        valores << q.Fields(i).Value();
    return valores;
}

void TfmContrQul::CarregaPar(const Par& par) {
    m_par = par;
    m_carregado = LeVeredito(par);
    Mostra(m_carregado);
    AlteracoesGravadas();
}

void TfmContrQul::Mostra(const std::optional<QVariantList>& valores) {
    const QVariantList v = valores.value_or(QVariantList(kColunas.size()));
    // Without a verdict the fabric may be recorded on the floor: it shows as released.
    ui.CbStatus->setCurrentText(
        !valores || v.at(0).toString().trimmed().toUpper() == u"S" ? kLiberado : QStringLiteral("Bloqueado"));
    ui.EdtData->setText(v.at(1).isNull() ? QString() : TextoExibicao(v.at(1)));
    ui.EdtDefeito->setText(v.at(2).toString().trimmed());
    for (int i = 0; i < m_resultados.size(); ++i) {
        const QVariant& valor = v.at(kPrimeiroResultado + i);
        m_resultados[i].caixa->setText(valor.isNull() ? QString()
                                                      : TextoExibicao(valor, m_resultados[i].casas));
    }
}

QVariant TfmContrQul::ValorDaCaixa(const Resultado& r) const {
    const QString texto = r.caixa->text().trimmed();
    if (texto.isEmpty())
        return {};
    if (r.casas < 0)
        return texto;
    double numero = 0;
    LeNumero(texto, numero);
    return numero;
}

void TfmContrQul::BtnGravarClick() {
    const QString fal = FalExistente(ui.EdtFal->text());
    if (fal.isEmpty()) {
        Recusa(ui.EdtFal, kFalInvalida);
        return;
    }
    ui.EdtFal->setText(fal);
    const Par par{fal, ui.EdtCodPro->text().trimmed()};
    if (!ProdutoDaFal(par)) {
        Recusa(ui.EdtCodPro, kCodigoInvalido);
        return;
    }
    const QString defeito = ui.EdtDefeito->text().trimmed();
    if (!defeito.isEmpty() &&
        !Existe(QStringLiteral("DEFEITO"), QStringLiteral("CODIGO"), QVariantList{defeito})) {
        Recusa(ui.EdtDefeito, QStringLiteral("Defeito Inválido."));
        return;
    }
    QDate data = QDate::currentDate();
    if (!ui.EdtData->text().trimmed().isEmpty()) {
        data = LeData(ui.EdtData->text());
        if (!data.isValid()) {
            Recusa(ui.EdtData, QStringLiteral("Data inválida."));
            return;
        }
    }
    for (const Resultado& r : m_resultados) {
        double numero = 0;
        if (r.casas >= 0 && !r.caixa->text().trimmed().isEmpty() &&
            !LeNumero(r.caixa->text().trimmed(), numero)) {
            Recusa(r.caixa, r.rotulo + QStringLiteral(" inválido."));
            return;
        }
    }
    // The boxes may name another pair than the one loaded: its stored verdict is what the save stands on.
    const std::optional<QVariantList> base = m_par == par ? m_carregado : LeVeredito(par);
    const bool liberar = ui.CbStatus->currentText() == kLiberado;
    if (base && base->at(0).toString().trimmed().toUpper() == u"N" && liberar &&
        !Acessa(QStringLiteral("TfmContrQul"), QStringLiteral("A"), QStringLiteral("1"), QString()))
        return;
    const QString status = liberar ? QStringLiteral("LIBERADO") : QStringLiteral("BLOQUEADO");
    const QString responsavel = ui.EdtResponsavel->text().trimmed();
    bool alterado = false;
    {
        GravacaoAtomica unidade;
        const std::optional<QVariantList> atual = LeVeredito(par, true);
        // Another user's verdict (or a first one) since this one was read: never two verdicts, none replaced.
        alterado = atual != base;
        if (!alterado) {
            QStringList colunas = kColunas;
            TZoQuery grava;
            if (atual) {
                QStringList atribuicoes;
                for (const QString& c : colunas)
                    atribuicoes << c + QStringLiteral(" = :") + c;
                grava.SQL << DBLocal_SQL(QStringLiteral("UPDATE {CONTR_QUL} SET %1 WHERE FAL = :FAL AND "
                                                        "CODIGO = :CODIGO AND ORDEM = 0")
                                             .arg(atribuicoes.join(QStringLiteral(", "))));
            } else {
                grava.SQL << DBLocal_SQL(
                    QStringLiteral("INSERT INTO {CONTR_QUL} (FAL, CODIGO, ORDEM, %1) "
                                   "VALUES (:FAL, :CODIGO, 0, :%2)")
                        .arg(colunas.join(QStringLiteral(", ")), colunas.join(QStringLiteral(", :"))));
            }
            grava.BindValue(QStringLiteral("FAL"), par.fal);
            grava.BindValue(QStringLiteral("CODIGO"), par.produto);
            grava.BindValue(QStringLiteral("APROVADO"), liberar ? QStringLiteral("S") : QStringLiteral("N"));
            grava.BindValue(QStringLiteral("DATA"), data);
            grava.BindValue(QStringLiteral("DEFEITO"), defeito.isEmpty() ? QVariant() : QVariant(defeito));
            for (const Resultado& r : m_resultados)
                grava.BindValue(r.coluna, ValorDaCaixa(r));
            grava.ExecSQL();
            GeraLog(kTituloLog,
                    QStringLiteral("ALTERACAO DE QUALIDADE DA FAL ") + par.fal + QStringLiteral(" CODIGO ") +
                        par.produto + QStringLiteral(" STATUS ") + status + QStringLiteral(" RESPONS ") +
                        responsavel,
                    opAlteracao, par.fal, this);
            unidade.Confirma();
        }
    }
    if (alterado) {
        m_par.reset(); // the product box left again loads what is stored now
        Informa(this, QStringLiteral("A qualidade deste item foi gravada por outro usuário. Recarregue e "
                                     "tente de novo."));
        return;
    }
    CarregaPar(par);
    Informa(this, QStringLiteral("Informações gravadas com sucesso."));
    ui.EdtCodPro->setFocus();
}

void TfmContrQul::BtnImprimirClick() {
    const Par par{FalExistente(ui.EdtFal->text()), ui.EdtCodPro->text().trimmed()};
    if (par.fal.isEmpty()) {
        Recusa(ui.EdtFal, kFalInvalida);
        return;
    }
    if (!ProdutoDaFal(par)) {
        Recusa(ui.EdtCodPro, kCodigoInvalido);
        return;
    }
    const std::optional<QVariantList> veredito = LeVeredito(par);
    if (!veredito) {
        Informa(this, QStringLiteral("Não há resultados gravados para este item."));
        return;
    }
    TZoQuery cabecalho;
    cabecalho.SQL << DBLocal_SQL(QStringLiteral(
        "SELECT FIRST 1 FAL.NUMERO, FAL.CLIENTE, CLIENTE.NOME, FAL.COR, CADCOR.DESCRICAO AS DESCOR, "
        "TABPRECO.DESCRICAO AS REGIAO, MAQ_TIN.DESCRICAO AS DESCMAQ, FAL.DATA_INI, FAL_ITEN.CODIGO, "
        "PRODUTO.DESCRICAO AS DESC_PROD FROM {FAL} FAL "
        "LEFT JOIN {ENTIDADE} CLIENTE ON (FAL.CLIENTE = CLIENTE.CODCLI) "
        "LEFT JOIN {CADCORTIN} CADCOR ON (FAL.COR = CADCOR.CODIGO) "
        "LEFT JOIN {MAQ_TIN} MAQ_TIN ON (FAL.MAQUINA = MAQ_TIN.CODIGO) "
        "LEFT JOIN {TABPRECO} TABPRECO ON (FAL.TABPRECO = TABPRECO.REGIAO) "
        "LEFT JOIN {FAL_ITEN} FAL_ITEN ON (FAL.NUMERO = FAL_ITEN.FAL) "
        "LEFT JOIN {PRODUTO} PRODUTO ON (FAL_ITEN.CODIGO = PRODUTO.CODIGO) "
        "WHERE FAL.NUMERO = :FAL AND FAL_ITEN.CODIGO = :CODIGO"));
    cabecalho.BindValue(QStringLiteral("FAL"), par.fal);
    cabecalho.BindValue(QStringLiteral("CODIGO"), par.produto);
    cabecalho.Open();
    const auto par_ = [](const QString& codigo, const QString& descricao) {
        return descricao.isEmpty() ? codigo : codigo + QStringLiteral(" - ") + descricao;
    };

    TClientDataSet linhas;
    linhas.AddField(QStringLiteral("Ensaio"), QMetaType::QString, 30)
        .AddField(QStringLiteral("Resultado"), QMetaType::QString, 400);
    linhas.CreateDataSet();
    const auto linha = [&linhas](const QString& ensaio, const QString& resultado) {
        linhas.Append();
        linhas.FieldByName(QStringLiteral("Ensaio")) = ensaio;
        linhas.FieldByName(QStringLiteral("Resultado")) = resultado;
        linhas.Post();
    };
    const QVariantList& v = *veredito;
    const QString defeito = v.at(2).toString().trimmed();
    linha(QStringLiteral("Status"),
          v.at(0).toString().trimmed().toUpper() == u"S" ? kLiberado : QStringLiteral("Bloqueado"));
    linha(QStringLiteral("Data"), TextoExibicao(v.at(1)));
    linha(QStringLiteral("Defeito"),
          defeito.isEmpty() ? QString()
                            : par_(defeito, Busca_Valor(QStringLiteral("DEFEITO"), QStringLiteral("CODIGO"),
                                                        QStringLiteral("DESCRICAO"), QVariantList{defeito})
                                                .trimmed()));
    for (int i = 0; i < m_resultados.size(); ++i) {
        const QVariant& valor = v.at(kPrimeiroResultado + i);
        linha(m_resultados[i].rotulo,
              valor.isNull() ? QString() : TextoExibicao(valor, m_resultados[i].casas));
    }
    linhas.First();

    TRelatorio relatorio(QStringLiteral("WTngQul"), QStringLiteral("Controle de Qualidade"), &linhas);
    relatorio.AdicionaCabecalho(QStringLiteral("FAL"), par.fal);
    relatorio.AdicionaCabecalho(QStringLiteral("Início"),
                                TextoExibicao(cabecalho.FieldByName(QStringLiteral("DATA_INI")).Value()));
    relatorio.AdicionaCabecalho(
        QStringLiteral("Cliente"),
        par_(cabecalho.TextoAtual(QStringLiteral("CLIENTE")), cabecalho.TextoAtual(QStringLiteral("NOME"))));
    relatorio.AdicionaCabecalho(QStringLiteral("Cor"), par_(cabecalho.TextoAtual(QStringLiteral("COR")),
                                                            cabecalho.TextoAtual(QStringLiteral("DESCOR"))));
    relatorio.AdicionaCabecalho(QStringLiteral("Máquina"), cabecalho.TextoAtual(QStringLiteral("DESCMAQ")));
    relatorio.AdicionaCabecalho(QStringLiteral("Região"), cabecalho.TextoAtual(QStringLiteral("REGIAO")));
    relatorio.AdicionaCabecalho(QStringLiteral("Produto"),
                                par_(par.produto, cabecalho.TextoAtual(QStringLiteral("DESC_PROD"))));
    Chama_Relatorio(relatorio, this, QStringLiteral("W"));
}

void LayoutQualidade(TRelatorio& relatorio) {
    relatorio.DefineColunas({relatorio.Coluna(QStringLiteral("Ensaio"), QStringLiteral("Ensaio")),
                             relatorio.Coluna(QStringLiteral("Resultado"), QStringLiteral("Resultado"))});
    relatorio.DefineZebrado(false);
    relatorio.DefineSomas(false);
}
