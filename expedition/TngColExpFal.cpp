#include "TngColExpFal.h"
#include "CaixaPesquisa.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "ExpedicaoColetor.h"
#include "Formatacao.h"
#include "GradeEdicao.h"
#include "LocalSettings.h"
#include "Mensagens.h"
#include "ModuleUnits.h"
#include "PassosExpedicao.h"
#include "Protecao.h"
#include "RegrasExpedicao.h"
#include "TClientDataSet.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QSet>

TFmTngColExpFal* FmTngColExpFal = nullptr;

KELM_SCREEN_UNIT(TngColExpFal, TFmTngColExpFal);

TFmTngColExpFal::TFmTngColExpFal(QWidget* parent) : TForm(parent), TbFal(new TClientDataSet(this)) {
    setObjectName(QStringLiteral("FmTngColExpFal"));
    setWindowTitle(QStringLiteral("Expedição de FAL por Coletor"));
    ui.setupUi(this);
    PublicaInstancia(FmTngColExpFal);
}

void TFmTngColExpFal::FormCreate() {
    KeyPreview = true;
    TbFal->setObjectName(QStringLiteral("TbFal"));
    TbFal->AddField(QStringLiteral("NUMERO"), QMetaType::QString, 7)
        .AddField(QStringLiteral("DESCRICAO"), QMetaType::QString, 80)
        .AddField(QStringLiteral("PARTIDA"), QMetaType::QString, 6)
        .AddField(QStringLiteral("ROLO"), QMetaType::Int)
        .AddField(QStringLiteral("DESCCOR"), QMetaType::QString, 50)
        .AddField(QStringLiteral("PESO"), QMetaType::Double)
        .AddField(QStringLiteral("NOTA"), QMetaType::QString, 9)
        .AddField(QStringLiteral("COR"), QMetaType::QString, 10)
        .AddField(QStringLiteral("CODIGO"), QMetaType::QString, 15);
    TbFal->CreateDataSet();
    ui.DBGrid1->SetDataSet(TbFal);
    ui.DBGrid1->SetReadOnly(true);
    ui.DBGrid1->DeclaraColunas({{"NUMERO", "FAL"},
                                ColunaGrade("DESCRICAO", "Tecido").Largura(20).Estica(),
                                {"PARTIDA", "Partida"},
                                {"ROLO", "Rolos"},
                                ColunaGrade("PESO", "Peso (kg)").Casas(2),
                                ColunaGrade("DESCCOR", "Cor").Largura(14)});
    AcompanhaLinhas(TbFal, this, [this] { Totais(); });
    DeclaraCaixa({.caixa = ui.EdtCodCli,
                  .descricao = ui.EdtNomCli,
                  .botao = ui.BtCliente,
                  .titulo = QStringLiteral("Clientes"),
                  .tabela = QStringLiteral("ENTIDADE"),
                  .chave = QStringLiteral("CODCLI"),
                  .campoDescricao = QStringLiteral("NOME"),
                  .recusa = QStringLiteral("Cliente não cadastrado.")});
    DeclaraCaixa({.caixa = ui.edtGrupoCli,
                  .descricao = ui.EdtDesGrupo,
                  .botao = ui.BtGrupoCli,
                  .titulo = QStringLiteral("Grupos de cliente"),
                  .tabela = QStringLiteral("GRUPO_CLI"),
                  .recusa = QStringLiteral("Grupo não cadastrado.")});
    DeclaraCaixa({.caixa = ui.EdtCodSetor,
                  .descricao = ui.EdtDesSetor,
                  .botao = ui.BtSetor,
                  .titulo = QStringLiteral("Setores"),
                  .tabela = QStringLiteral("FASE"),
                  .recusa = QStringLiteral("Setor não cadastrado.")});
    connect(ui.BitBtn1, &QPushButton::clicked, this, Protegido([this] { BitBtn1Click(); }));
    connect(ui.BitBtn2, &QPushButton::clicked, this, Protegido([this] { BitBtn2Click(); }));
    connect(ui.BtnImportar, &QPushButton::clicked, this, Protegido([this] { BtnImportarClick(); }));
    connect(ui.BtnFechar, &QPushButton::clicked, this, &QWidget::close);
    SaidaSemConferencia(ui.BtnFechar);
    DicaTeclas({ui.EdtFAL}, QStringLiteral("Leia o código da FAL e Enter"));
    Totais();
    ui.EdtCodCli->setFocus();
}

// The handheld's scanner ends a reading with Enter: the FAL box reads it and keeps the focus.
bool TFmTngColExpFal::FormKeyDown(QKeyEvent* key) {
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && ui.EdtFAL->hasFocus()) {
        EdtFALExit();
        return true;
    }
    return false;
}

bool TFmTngColExpFal::SaidaControle(QWidget* control, QWidget* next, Qt::FocusReason) {
    Q_UNUSED(next);
    // Only one of customer and group filters.
    if (control == ui.EdtCodCli && !ui.EdtCodCli->text().trimmed().isEmpty())
        ui.edtGrupoCli->clear();
    if (control == ui.edtGrupoCli && !ui.edtGrupoCli->text().trimmed().isEmpty())
        ui.EdtCodCli->clear();
    if (control == ui.EdtCodCli || control == ui.edtGrupoCli || control == ui.EdtCodSetor)
        BuscaFalsPend();
    if (control == ui.EdtFAL && !ui.EdtFAL->text().trimmed().isEmpty())
        EdtFALExit();
    return true;
}

void TFmTngColExpFal::BuscaFalsPend() {
    const QString fase = ui.EdtCodSetor->text().trimmed();
    ui.LblPendentes->setText(QStringLiteral("Pendentes: %1")
                                 .arg(fase.isEmpty()
                                          ? 0
                                          : PendentesColetor({ui.EdtCodCli->text().trimmed(),
                                                              ui.edtGrupoCli->text().trimmed(), fase})));
}

QStringList TFmTngColExpFal::FalsDaLista() const {
    QStringList fals;
    QSet<QString> vistas;
    for (int i = 0; i < TbFal->RecordCount(); ++i)
        if (const QString f = TbFal->TextoEm(i, QStringLiteral("NUMERO")); !vistas.contains(f)) {
            vistas.insert(f);
            fals << f;
        }
    return fals;
}

void TFmTngColExpFal::Totais() {
    double peso = 0;
    int rolos = 0;
    QSet<QString> fals;
    for (int i = 0; i < TbFal->RecordCount(); ++i) {
        peso += TbFal->NumeroEm(i, QStringLiteral("PESO"));
        rolos += int(TbFal->NumeroEm(i, QStringLiteral("ROLO")));
        fals.insert(TbFal->TextoEm(i, QStringLiteral("NUMERO")));
    }
    ui.EdtQtde->setText(TextoExibicao(peso, 2));
    ui.EdtRolos->setText(QString::number(rolos));
    ui.EdtLidas->setText(QString::number(fals.size()));
}

QStringList TFmTngColExpFal::LeFals(const QStringList& codigos, bool repetidaCala) {
    const FiltroColetor filtro{ui.EdtCodCli->text().trimmed(), ui.edtGrupoCli->text().trimmed(),
                               ui.EdtCodSetor->text().trimmed()};
    if (filtro.fase.isEmpty())
        return QStringList(codigos.size(), QStringLiteral("Informe o setor."));
    const QStringList daLista = FalsDaLista();
    QSet<QString> listadas(daLista.cbegin(), daLista.cend()), pedidas;
    QStringList novas;
    for (const QString& codigo : codigos)
        if (const QString fal = FalDoCodigo(codigo); !listadas.contains(fal) && !pedidas.contains(fal)) {
            pedidas.insert(fal);
            novas << fal;
        }
    // Every sheet new to the list checked, and the items of those that pass read, in one statement each.
    const QHash<QString, QString> recusas = ConfereFalsColetor(novas, filtro);
    QStringList aceitas;
    for (const QString& fal : std::as_const(novas))
        if (!recusas.contains(fal))
            aceitas << fal;
    const QHash<QString, QList<ItemColetor>> itens = LeItensColetor(aceitas);
    // The totals follow once the rows are in, not each field set.
    ControlesDesligados quieto(*TbFal);
    QStringList respostas;
    for (const QString& codigo : codigos) {
        const QString fal = FalDoCodigo(codigo);
        if (listadas.contains(fal)) {
            respostas << (repetidaCala ? QString() : QStringLiteral("FAL já expedida nessa movimentação."));
            continue;
        }
        if (const QString recusa = recusas.value(fal); !recusa.isEmpty()) {
            respostas << recusa;
            continue;
        }
        for (const ItemColetor& item : itens.value(fal)) {
            TbFal->Append();
            TbFal->FieldByName(QStringLiteral("NUMERO")) = item.fal;
            TbFal->FieldByName(QStringLiteral("DESCRICAO")) = item.descricao;
            TbFal->FieldByName(QStringLiteral("PARTIDA")) = item.partida;
            TbFal->FieldByName(QStringLiteral("ROLO")) = item.rolo;
            TbFal->FieldByName(QStringLiteral("DESCCOR")) = item.descCor;
            TbFal->FieldByName(QStringLiteral("PESO")) = item.peso;
            TbFal->FieldByName(QStringLiteral("NOTA")) = item.nota;
            TbFal->FieldByName(QStringLiteral("COR")) = item.cor;
            TbFal->FieldByName(QStringLiteral("CODIGO")) = item.codigo;
            TbFal->Post();
        }
        listadas.insert(fal);
        respostas << QString();
    }
    return respostas;
}

void TFmTngColExpFal::EdtFALExit() {
    const QString codigo = ui.EdtFAL->text().trimmed();
    if (codigo.isEmpty())
        return;
    // A refused reading is abandoned: the box is ready for the next one, and leaving it asks nothing again.
    const QString recusa = LeFals({codigo}, false).value(0);
    ui.EdtFAL->clear();
    if (!recusa.isEmpty())
        Recusa(ui.EdtFAL, recusa);
    ui.EdtFAL->setFocus();
}

void TFmTngColExpFal::BitBtn2Click() {
    if (TbFal->IsEmpty())
        return;
    const QString fal = TbFal->FieldByName(QStringLiteral("NUMERO")).AsString().trimmed();
    if (!Pergunta(this, windowTitle(), QStringLiteral("Deseja cancelar a expedição da FAL %1?").arg(fal),
                  false))
        return;
    for (int i = TbFal->RecordCount() - 1; i >= 0; --i)
        if (TbFal->TextoEm(i, QStringLiteral("NUMERO")) == fal) {
            TbFal->MoveTo(i);
            TbFal->Delete();
        }
}

void TFmTngColExpFal::BitBtn1Click() {
    const QStringList fals = FalsDaLista();
    if (fals.isEmpty())
        return;
    const FalsRetidas retidas =
        ExpedeFals(*ConexaoHost(), fals, ui.EdtCodSetor->text().trimmed(), PostoExpedicao::Coletor);
    TbFal->EmptyDataSet();
    // The collector's file is done with once its readings are stored.
    if (!m_arquivoColetor.isEmpty()) {
        const QFileInfo arquivo(m_arquivoColetor);
        QDir().mkpath(arquivo.absoluteDir().filePath(QStringLiteral("lidos")));
        const QString destino = arquivo.absoluteDir().filePath(QStringLiteral("lidos/") + arquivo.fileName());
        QFile::remove(destino);
        QFile::rename(m_arquivoColetor, destino);
        m_arquivoColetor.clear();
    }
    BuscaFalsPend();
    QStringList avisos = {AvisoBloqueadas(retidas.bloqueadas), AvisoSemPasso(retidas.semPasso)};
    avisos.removeAll(QString());
    if (!avisos.isEmpty())
        Informa(this, avisos.join(u'\n'));
}

// A docked collector's readings, each read as at the box; refusals told at once with their lines.
void TFmTngColExpFal::BtnImportarClick() {
    const QString arquivo = Mensagens().OpenFile(
        this, QStringLiteral("Importar Coletor"), LeIni(QStringLiteral("Caminho"), QStringLiteral("Coletor")),
        QStringLiteral("Leituras do coletor (*.txt *.csv *.dat);;Todos (*)"));
    if (arquivo.isEmpty())
        return;
    QFile f(arquivo);
    if (!f.open(QIODevice::ReadOnly)) {
        Informa(this,
                QStringLiteral("Não foi possível ler o arquivo %1.").arg(QDir::toNativeSeparators(arquivo)));
        return;
    }
    const QList<LeituraColetor> leituras = LeArquivoColetor(f.readAll());
    QStringList codigos;
    for (const LeituraColetor& l : leituras)
        codigos << l.codigo;
    const QStringList respostas = LeFals(codigos, true);
    QStringList recusas;
    for (qsizetype i = 0; i < leituras.size(); ++i)
        if (!respostas[i].isEmpty())
            recusas << QStringLiteral("Linha %1 (%2): %3")
                           .arg(leituras[i].linha)
                           .arg(leituras[i].codigo, respostas[i]);
    m_arquivoColetor = arquivo;
    if (!recusas.isEmpty())
        Informa(this, recusas.join(u'\n'));
}
