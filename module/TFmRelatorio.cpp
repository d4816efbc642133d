#include "TFmRelatorio.h"
#include "CaixaPesquisa.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "HostUi.h"
#include "Mensagens.h"
#include "Relatorio.h"
#include "TClientDataSet.h"
#include "TZoQuery.h"
#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QToolButton>
#include <QVBoxLayout>
#include <tuple>

InstrucaoRelatorio MontaInstrucao(const QString& sql, const QList<CondicaoRelatorio>& condicoes) {
    InstrucaoRelatorio instrucao{sql, {}};
    QHash<QString, QString> porMarcador;
    QStringList marcadores;
    for (const CondicaoRelatorio& c : condicoes) {
        if (!marcadores.contains(c.marcador))
            marcadores << c.marcador;
        porMarcador[c.marcador] += c.texto;
        for (auto it = c.valores.cbegin(); it != c.valores.cend(); ++it)
            instrucao.valores.insert(it.key(), it.value());
    }
    for (const QString& marcador : std::as_const(marcadores))
        instrucao.sql.replace(QStringLiteral("/*%1*/").arg(marcador), porMarcador.value(marcador));
    // Markers no filter filled.
    static const QRegularExpression vazio(QStringLiteral(R"(/\*[A-Z_0-9]+\*/)"));
    instrucao.sql.remove(vazio);
    return instrucao;
}

TFmRelatorio::TFmRelatorio(QWidget* parent)
    : TForm(parent), m_filtros(new QFormLayout), BitBtn1(new QPushButton(QStringLiteral("&Confirmar"), this)),
      BtImp(new QPushButton(QStringLiteral("&Imprimir"), this)),
      BtFechar(new QPushButton(QStringLiteral("&Fechar"), this)), DBGrid1(new TZoDBGrid(this)),
      TbResultado(new TClientDataSet(this)) {
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BtImp->setObjectName(QStringLiteral("BtImp"));
    BtFechar->setObjectName(QStringLiteral("BtFechar"));
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    auto* grupo = new QGroupBox(QStringLiteral("Filtros"), this);
    grupo->setObjectName(QStringLiteral("GbFiltros"));
    grupo->setLayout(m_filtros);
    auto* botoes = new QHBoxLayout;
    botoes->addWidget(BitBtn1);
    botoes->addWidget(BtImp);
    botoes->addStretch();
    botoes->addWidget(BtFechar);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grupo);
    layout->addLayout(botoes);
    layout->addWidget(DBGrid1, 1);
    TbResultado->setObjectName(QStringLiteral("TbResultado"));
    DBGrid1->SetDataSet(TbResultado);
    DBGrid1->SetReadOnly(true);
    BtImp->setEnabled(false);
    SaidaSemConferencia(BtFechar);
    connect(BitBtn1, &QPushButton::clicked, this, Protegido([this] { BitBtn1Click(); }));
    connect(BtImp, &QPushButton::clicked, this, Protegido([this] { BtImpClick(); }));
    connect(BtFechar, &QPushButton::clicked, this, [this] { close(); });
}

QWidget* TFmRelatorio::Controle(const QString& nome) const {
    return findChild<QWidget*>(nome);
}

void TFmRelatorio::AbreRelatorio() {
    for (const FiltroRelatorio& f : std::as_const(rel.filtros)) {
        switch (f.tipo) {
        case FiltroRelatorio::Tipo::Periodo: {
            auto* linha = new QHBoxLayout;
            for (const char* lado : {"Ini", "Fim"}) {
                auto* caixa = new QLineEdit(this);
                caixa->setObjectName(f.nome + QLatin1String(lado));
                caixa->setInputMask(QStringLiteral("99/99/9999"));
                caixa->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 12);
                if (*lado == 'F')
                    linha->addWidget(new QLabel(QStringLiteral("Até"), this));
                linha->addWidget(caixa);
            }
            linha->addStretch();
            m_filtros->addRow(f.legenda + QStringLiteral(" De"), linha);
            break;
        }
        case FiltroRelatorio::Tipo::Codigo:
        case FiltroRelatorio::Tipo::Lista: {
            auto* linha = new QHBoxLayout;
            auto* caixa = new QLineEdit(this);
            caixa->setObjectName(f.nome);
            auto* botao = new QToolButton(this);
            botao->setObjectName(QStringLiteral("Pq") + f.nome);
            botao->setText(QStringLiteral("..."));
            auto* descricao = new QLineEdit(this);
            descricao->setObjectName(f.nome + QStringLiteral("Desc"));
            linha->addWidget(caixa);
            linha->addWidget(botao);
            linha->addWidget(descricao, 1);
            m_filtros->addRow(f.legenda, linha);
            DeclaracaoCaixa d;
            d.caixa = caixa;
            d.descricao = descricao;
            d.botao = botao;
            d.titulo = f.legenda;
            d.tabela = f.tabela;
            d.chave = f.chave;
            d.campoDescricao = f.descricao;
            d.recusa = f.recusa;
            d.lista = f.tipo == FiltroRelatorio::Tipo::Lista;
            DeclaraCaixa(d);
            break;
        }
        case FiltroRelatorio::Tipo::Numero: {
            auto* caixa = new QLineEdit(this);
            caixa->setObjectName(f.nome);
            m_filtros->addRow(f.legenda, caixa);
            break;
        }
        case FiltroRelatorio::Tipo::Opcao: {
            auto* caixa = new QGroupBox(this);
            caixa->setObjectName(f.nome);
            auto* linha = new QHBoxLayout(caixa);
            auto* grupo = new QButtonGroup(caixa);
            for (int i = 0; i < f.opcoes.size(); ++i) {
                auto* opcao = new QRadioButton(f.opcoes[i], caixa);
                opcao->setObjectName(f.nome + QString::number(i));
                grupo->addButton(opcao, i);
                linha->addWidget(opcao);
                opcao->setChecked(i == f.padrao);
            }
            linha->addStretch();
            m_filtros->addRow(f.legenda, caixa);
            break;
        }
        case FiltroRelatorio::Tipo::Marca: {
            auto* marca = new QCheckBox(f.legenda, this);
            marca->setObjectName(f.nome);
            m_filtros->addRow(QString(), marca);
            break;
        }
        }
    }
    if (!rel.relatorioTexto.isEmpty()) {
        m_texto = new QCheckBox(QStringLiteral("Imprimir em modo &texto"), this);
        m_texto->setObjectName(QStringLiteral("ChkTexto"));
        m_filtros->addRow(QString(), m_texto);
    }
    if (!rel.colunas.isEmpty())
        DBGrid1->DeclaraColunas(rel.colunas);
    if (!rel.filtros.isEmpty())
        if (QWidget* primeiro = Controle(rel.filtros.first().tipo == FiltroRelatorio::Tipo::Periodo
                                             ? rel.filtros.first().nome + QStringLiteral("Ini")
                                             : rel.filtros.first().nome))
            primeiro->setFocus();
}

QList<CondicaoRelatorio> TFmRelatorio::Condicoes(QString* falha, QWidget** onde) const {
    QList<CondicaoRelatorio> condicoes;
    int n = 0;
    const auto recusa = [&](const QString& texto, QWidget* controle) {
        if (falha && falha->isEmpty()) {
            *falha = texto;
            *onde = controle;
        }
    };
    for (const FiltroRelatorio& f : rel.filtros) {
        const QString p = QStringLiteral("F%1").arg(++n);
        CondicaoRelatorio c{f.marcador, {}, {}};
        switch (f.tipo) {
        case FiltroRelatorio::Tipo::Periodo: {
            auto* de = qobject_cast<QLineEdit*>(Controle(f.nome + QStringLiteral("Ini")));
            auto* ate = qobject_cast<QLineEdit*>(Controle(f.nome + QStringLiteral("Fim")));
            QStringList partes;
            for (auto [caixa, operador, sufixo] :
                 {std::tuple{de, QStringLiteral(">="), QStringLiteral("I")},
                  std::tuple{ate, QStringLiteral("<="), QStringLiteral("F")}}) {
                const QString texto = caixa->text().trimmed();
                if (QString(texto).remove(QLatin1Char('/')).trimmed().isEmpty()) {
                    if (f.obrigatorio)
                        recusa(QStringLiteral("Informe o período: %1.").arg(f.legenda), caixa);
                    continue;
                }
                const QDate data = QDate::fromString(texto, QStringLiteral("dd/MM/yyyy"));
                if (!data.isValid()) {
                    recusa(QStringLiteral("%1: \"%2\" não é uma data válida.").arg(f.legenda, texto), caixa);
                    continue;
                }
                partes << QStringLiteral("%1 %2 :%3").arg(f.coluna, operador, p + sufixo);
                c.valores.insert(p + sufixo, data);
            }
            if (!partes.isEmpty())
                c.texto = QStringLiteral(" AND ") + partes.join(QStringLiteral(" AND "));
            break;
        }
        case FiltroRelatorio::Tipo::Codigo:
        case FiltroRelatorio::Tipo::Lista: {
            auto* caixa = qobject_cast<QLineEdit*>(Controle(f.nome));
            const QStringList codigos = CodigosDaLista(caixa->text());
            if (codigos.isEmpty()) {
                if (f.obrigatorio)
                    recusa(QStringLiteral("Informe %1.").arg(f.legenda), caixa);
            } else if (f.tipo == FiltroRelatorio::Tipo::Codigo) {
                c.texto = QStringLiteral(" AND %1 = :%2").arg(f.coluna, p);
                c.valores.insert(p, codigos.first());
            } else {
                c.texto = QStringLiteral(" AND %1 IN (%2)").arg(f.coluna, ListaSql(codigos));
            }
            break;
        }
        case FiltroRelatorio::Tipo::Numero: {
            auto* caixa = qobject_cast<QLineEdit*>(Controle(f.nome));
            const QString texto = caixa->text().trimmed();
            bool ok = false;
            const qlonglong numero = texto.toLongLong(&ok);
            if (texto.isEmpty()) {
                if (f.obrigatorio)
                    recusa(QStringLiteral("Informe %1.").arg(f.legenda), caixa);
            } else if (!ok) {
                recusa(QStringLiteral("%1: \"%2\" não é um número válido.").arg(f.legenda, texto), caixa);
            } else {
                c.texto = QStringLiteral(" AND %1 = :%2").arg(f.coluna, p);
                c.valores.insert(p, numero);
            }
            break;
        }
        case FiltroRelatorio::Tipo::Opcao: {
            const auto* grupo = Controle(f.nome)->findChild<QButtonGroup*>();
            c.texto = f.textos.value(grupo->checkedId());
            break;
        }
        case FiltroRelatorio::Tipo::Marca:
            if (qobject_cast<QCheckBox*>(Controle(f.nome))->isChecked())
                c.texto = f.textos.value(0);
            break;
        }
        condicoes << c;
    }
    return condicoes;
}

TDataSet* TFmRelatorio::Resultado() const {
    return TbResultado;
}

void TFmRelatorio::BitBtn1Click() {
    QString falha;
    QWidget* onde = nullptr;
    const QList<CondicaoRelatorio> condicoes = Condicoes(&falha, &onde);
    if (!falha.isEmpty()) {
        Informa(this, falha);
        if (onde)
            onde->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!ValidaFiltros())
        return;
    const InstrucaoRelatorio instrucao = MontaInstrucao(DBLocal_SQL(rel.sql), condicoes);
    Ocupado(true, this, QStringLiteral("Consultando"));
    const auto fim = qScopeGuard([this] { Ocupado(false, this); });
    TZoQuery linhas;
    linhas.SQL << instrucao.sql;
    for (auto it = instrucao.valores.cbegin(); it != instrucao.valores.cend(); ++it)
        linhas.BindValue(it.key(), it.value());
    linhas.Open();
    // The rows shown live in memory: the statement's, taken over, or the pivot's of them.
    {
        ControlesDesligados quieto(*TbResultado);
        if (rel.pivo) {
            TbResultado->RedefineCampos();
            rel.camposPivo(*TbResultado);
            TbResultado->CreateDataSet();
            rel.pivo(linhas, *TbResultado);
        } else {
            TbResultado->TomaDe(linhas);
        }
        TbResultado->First();
    }
    BtImp->setEnabled(!TbResultado->IsEmpty());
}

void TFmRelatorio::BtImpClick() {
    TDataSet* resultado = Resultado();
    if (!resultado || resultado->IsEmpty())
        return;
    const bool texto = m_texto && m_texto->isChecked();
    const TRelatorio relatorio(texto ? rel.relatorioTexto : rel.relatorio,
                               rel.titulo.isEmpty() ? windowTitle() : rel.titulo, resultado);
    Chama_Relatorio(relatorio, this, texto ? QStringLiteral("T") : QStringLiteral("W"));
}
