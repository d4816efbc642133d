#include "TngSubstRec.h"
#include "CaixaPesquisa.h"
#include "Composicao.h"
#include "DataAccess.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "GravacaoAtomica.h"
#include "HostUi.h"
#include "Mensagens.h"
#include "ModuleUnits.h"
#include "Protecao.h"
#include "Receitas.h"
#include "TZoQuery.h"
#include <QCoreApplication>
#include <QScopeGuard>

TFmSubstRec* FmSubstRec = nullptr;

KELM_SCREEN_UNIT(TngSubstRec, TFmSubstRec);

namespace {
const QString kTitulo = QStringLiteral("ALTERACAO DE RECEITA");
const QString kMaterial = QStringLiteral("MATERIAL");
const QString kVariante = QStringLiteral("VARIANTE");
const QString kComposicao = QStringLiteral("COMP_MATERIAL");

// A stored component row, as read: the row is found again by all it held when it is written.
struct LinhaComposicao {
    QVariant ordem, perc;
    Componente componente;
};
struct Composicao {
    QString material;
    QList<LinhaComposicao> linhas;
    QList<Componente> novos;
};

// Every composite that has the product among its components, with all its components.
QList<Composicao> leComposicoes(const QString& antigo) {
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT T.MATERIAL, T.CODIGO, T.ORDEM, T.PERC")
          << QStringLiteral("FROM (SELECT DISTINCT MATERIAL FROM %1 WHERE CODIGO = :ANTIGO) C")
                 .arg(DBLocal(kComposicao))
          << QStringLiteral("JOIN %1 T ON (T.MATERIAL = C.MATERIAL)").arg(DBLocal(kComposicao))
          << QStringLiteral("ORDER BY T.MATERIAL, T.ORDEM, T.CODIGO");
    q.BindValue(QStringLiteral("ANTIGO"), antigo);
    q.Open();
    QList<Composicao> composicoes;
    for (q.First(); !q.Eof(); q.Next()) {
        const QString material = q.Fields(0).AsString();
        if (composicoes.isEmpty() || composicoes.last().material != material)
            composicoes.append({material, {}, {}});
        composicoes.last().linhas.append(
            {q.Fields(2).Value(), q.Fields(3).Value(), {q.Fields(1).AsString(), q.Fields(3).AsFloat()}});
    }
    return composicoes;
}

// Writes the rows that changed; false when one is no longer as read (changed by someone else since). The
// component taking the difference goes first: once the old rows carry the new code, one of them could pass
// for it.
bool gravaComposicao(TZoQuery& update, const Composicao& composicao, const QString& antigo) {
    for (const bool substituidas : {false, true}) {
        for (qsizetype i = 0; i < composicao.linhas.size(); ++i) {
            const LinhaComposicao& lida = composicao.linhas[i];
            const Componente& novo = composicao.novos[i];
            if ((lida.componente.codigo == antigo) != substituidas ||
                (lida.componente.codigo == novo.codigo && lida.componente.perc == novo.perc))
                continue;
            update.BindValue(QStringLiteral("NOVO"), novo.codigo);
            update.BindValue(QStringLiteral("PERC"), novo.perc);
            update.BindValue(QStringLiteral("MATERIAL"), composicao.material);
            update.BindValue(QStringLiteral("CODIGO"), lida.componente.codigo);
            update.BindValue(QStringLiteral("ORDEM"), lida.ordem);
            update.BindValue(QStringLiteral("ANTES"), lida.perc);
            update.ExecSQL();
            if (update.RowsAffected() != 1)
                return false;
        }
    }
    return true;
}

// Why a composite cannot take the substitution; empty when it can.
QString recusaDe(const Composicao& composicao, ComposicaoSubstituida::Situacao situacao) {
    const QString material = composicao.material.trimmed();
    switch (situacao) {
    case ComposicaoSubstituida::PercentualNegativo:
        return QStringLiteral("A composição %1 ficaria com percentual negativo. Nada foi alterado.")
            .arg(material);
    case ComposicaoSubstituida::SemOutroComponente:
        return QStringLiteral("A composição %1 não tem outro componente para receber a diferença. Nada foi "
                              "alterado.")
            .arg(material);
    case ComposicaoSubstituida::Substituida:
        break;
    }
    return QString();
}
} // namespace

TFmSubstRec::TFmSubstRec(QWidget* parent) : TForm(parent) {
    setObjectName(QStringLiteral("FmSubstRec"));
    setWindowTitle(QStringLiteral("Alteração de Receitas "));
    ui.setupUi(this);
    connect(ui.BitBtn1, &QPushButton::clicked, this, Protegido([this] { BitBtn1Click(); }));
    connect(ui.BitBtn3, &QPushButton::clicked, this, Protegido([this] { BitBtn3Click(); }));
    connect(ui.BtFechar, &QPushButton::clicked, this, [this] { close(); });
}

void TFmSubstRec::FormCreate() {
    const struct {
        QLineEdit *caixa, *descricao;
        QToolButton* botao;
        const char *titulo, *tabela, *filtro;
    } caixas[] = {{ui.EdtCodMat, ui.EdtDesMat, ui.PqMaterial, "Materiais", "MATERIAL", ""},
                  // Only an active product may come into the recipes.
                  {ui.EdtCodMat2, ui.EdtDesMat2, ui.PqMaterial2, "Materiais ativos", "MATERIAL",
                   "COALESCE(ATIVO, 'S') <> 'N'"},
                  {ui.EdtCodVar, ui.EdtDesVar, ui.PqVariante, "Variantes", "VARIANTE", ""}};
    for (const auto& c : caixas)
        DeclaraCaixa({.caixa = c.caixa,
                      .descricao = c.descricao,
                      .botao = c.botao,
                      .titulo = QString::fromUtf8(c.titulo),
                      .tabela = QLatin1String(c.tabela),
                      .filtro = QLatin1String(c.filtro)});
    ui.EdtCodMat->setFocus();
}

bool TFmSubstRec::MaterialPreenchido(QString& material) {
    material = ui.EdtCodMat->text().trimmed();
    if (!material.isEmpty())
        return true;
    Informa(this, QStringLiteral("Material inválido."));
    ui.EdtCodMat->setFocus(Qt::OtherFocusReason);
    return false;
}

// A variant mistyped would leave every recipe as it was while the preparations changed.
bool TFmSubstRec::VarianteValida(QString& variante) {
    variante = ui.EdtCodVar->text().trimmed();
    if (variante.isEmpty() || Existe(kVariante, QStringLiteral("CODIGO"), QVariantList{variante}))
        return true;
    Informa(this, QStringLiteral("Variante inválida."));
    ui.EdtCodVar->setFocus(Qt::OtherFocusReason);
    return false;
}

bool TFmSubstRec::LeSubstituicao(Substituicao& s) {
    if (!MaterialPreenchido(s.antigo))
        return false;
    s.novo = ui.EdtCodMat2->text().trimmed();
    if (s.novo.isEmpty() || !Existe(kMaterial, QStringLiteral("CODIGO"), QVariantList{s.novo}) ||
        Busca_Valor(kMaterial, QStringLiteral("CODIGO"), QStringLiteral("ATIVO"), {s.novo}).trimmed() ==
            QLatin1String("N")) {
        Informa(this, QStringLiteral("Novo material inválido."));
        ui.EdtCodMat2->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (!VarianteValida(s.variante))
        return false;
    if (!LeNumero(ui.EdtIndice->text().trimmed(), s.indice) || s.indice <= 0) {
        Informa(this, QStringLiteral("Índice inválido."));
        ui.EdtIndice->setFocus(Qt::OtherFocusReason);
        return false;
    }
    return true;
}

void TFmSubstRec::GeraLogSubstituicao(const Substituicao& s) {
    GeraLog(kTitulo, QStringLiteral("MATERIAL ") + s.antigo + QStringLiteral(" SUBSTITUIDO POR ") + s.novo,
            opAlteracao, s.antigo);
}

void TFmSubstRec::BitBtn1Click() {
    Substituicao s;
    if (!LeSubstituicao(s))
        return;
    if (ui.ChkComposicoes->isChecked())
        CalculaComposicao(s);
    else
        SubstituiReceitas(s);
}

// Two statements over the indexed product columns, however many recipes use the product. Items naming a
// finished product (TP_ITEM 'P') are not chemicals and keep their code.
void TFmSubstRec::SubstituiReceitas(const Substituicao& s) {
    if (!Pergunta(this, windowTitle(), QStringLiteral("Deseja realmente substituir o material?"), false))
        return;
    {
        GravacaoAtomica gravacao;
        TZoQuery receitas;
        receitas.SQL << QStringLiteral("UPDATE %1 SET CODIGO = :NOVO, QTDE = QTDE * :INDICE")
                            .arg(DBLocal(QStringLiteral("MAT_TIN")))
                     << QStringLiteral("WHERE CODIGO = :ANTIGO AND TP_ITEM IS DISTINCT FROM 'P'");
        if (!s.variante.isEmpty()) {
            receitas.SQL << QStringLiteral("AND VARIANTE = :VARIANTE");
            receitas.BindValue(QStringLiteral("VARIANTE"), s.variante);
        }
        TZoQuery preparacoes;
        preparacoes.SQL << QStringLiteral("UPDATE %1 SET MATERIAL = :NOVO, QTDE = QTDE * :INDICE")
                               .arg(DBLocal(QStringLiteral("PREPARACAO")))
                        << QStringLiteral("WHERE MATERIAL = :ANTIGO");
        for (TZoQuery* q : {&receitas, &preparacoes}) {
            q->BindValue(QStringLiteral("NOVO"), s.novo);
            q->BindValue(QStringLiteral("INDICE"), s.indice);
            q->BindValue(QStringLiteral("ANTIGO"), s.antigo);
            q->ExecSQL();
        }
        GeraLogSubstituicao(s);
        gravacao.Confirma();
    }
    Informa(this, QStringLiteral("Concluído"));
}

// Every composite is computed before anything is written: one refused leaves them all as they were.
void TFmSubstRec::CalculaComposicao(const Substituicao& s) {
    if (!Pergunta(this, windowTitle(),
                  QStringLiteral("Essa operação irá substituir todas as composições que possuírem o antigo "
                                 "material. Deseja continuar?"),
                  false))
        return;
    QString recusa;
    {
        GravacaoAtomica gravacao;
        QList<Composicao> composicoes = leComposicoes(s.antigo);
        for (Composicao& composicao : composicoes) {
            QList<Componente> componentes;
            for (const LinhaComposicao& linha : composicao.linhas)
                componentes << linha.componente;
            const ComposicaoSubstituida nova = SubstituiComponente(componentes, s.antigo, s.novo, s.indice);
            recusa = recusaDe(composicao, nova.situacao);
            if (!recusa.isEmpty())
                break;
            composicao.novos = nova.componentes;
        }
        TZoQuery update;
        update.SQL << QStringLiteral("UPDATE %1 SET CODIGO = :NOVO, PERC = :PERC").arg(DBLocal(kComposicao))
                   << QStringLiteral(
                          "WHERE MATERIAL = :MATERIAL AND CODIGO = :CODIGO AND ORDEM IS NOT DISTINCT "
                          "FROM :ORDEM AND PERC IS NOT DISTINCT FROM :ANTES ROWS 1");
        for (qsizetype c = 0; recusa.isEmpty() && c < composicoes.size(); ++c)
            if (!gravaComposicao(update, composicoes[c], s.antigo))
                recusa = QStringLiteral("A composição %1 foi alterada por outro usuário. Nada foi alterado.")
                             .arg(composicoes[c].material.trimmed());
        if (recusa.isEmpty()) {
            GeraLogSubstituicao(s);
            gravacao.Confirma();
        }
    }
    Informa(this, recusa.isEmpty() ? QStringLiteral("Concluído") : recusa);
}

// The audit row goes first into the unit the recalculation joins: both are committed together or not at all.
void TFmSubstRec::BitBtn3Click() {
    QString produto, variante;
    if (!MaterialPreenchido(produto) || !VarianteValida(variante))
        return;
    ui.Memo1->clear();
    ui.ProgressBar1->setRange(0, 100);
    ui.ProgressBar1->setValue(0);
    {
        Ocupado(true, this, QStringLiteral("Recalculando as receitas do material %1").arg(produto));
        const auto fimOcupado = qScopeGuard([this] { Ocupado(false, this); });
        GravacaoAtomica gravacao;
        GeraLog(kTitulo,
                QStringLiteral("RECALCULO MATERIAL ") + produto + QStringLiteral(" VARIANTE ") + variante,
                opAlteracao, produto);
        ProgressoRecalculo progresso;
        progresso.mensagem = [this](const QString& linha) { MostraProgresso(linha); };
        progresso.avanco = [this](int feitas, int total) { Avanca(feitas, total); };
        RecalculaReceitas(produto, variante, QString(), progresso);
        gravacao.Confirma();
    }
    ui.ProgressBar1->setValue(ui.ProgressBar1->maximum());
    Informa(this, QStringLiteral("Processo concluído"));
}

void TFmSubstRec::MostraProgresso(const QString& linha) {
    ui.Memo1->appendPlainText(linha);
}

// The screen is painted as the run goes; what the user types or clicks meanwhile waits, so that nothing
// starts inside the recalculation's unit of work.
void TFmSubstRec::Avanca(int feitas, int total) {
    ui.ProgressBar1->setMaximum(total);
    ui.ProgressBar1->setValue(feitas);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
