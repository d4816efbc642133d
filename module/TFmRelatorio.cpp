#include "TFmRelatorio.h"
#include "CaixaPesquisa.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "DataSetModel.h"
#include "Formatacao.h"
#include "Funcoes.h"
#include "GravacaoAtomica.h"
#include "HostUi.h"
#include "Mensagens.h"
#include "Planilha.h"
#include "Relatorio.h"
#include "TClientDataSet.h"
#include "TZoQuery.h"
#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
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
    // A condition may hold markers of its own (a join chosen by an option, filtered inside by a list).
    for (int passo = 0; passo < 3; ++passo)
        for (const QString& marcador : std::as_const(marcadores))
            instrucao.sql.replace(QStringLiteral("/*%1*/").arg(marcador), porMarcador.value(marcador));
    // Markers no filter filled.
    static const QRegularExpression vazio(QStringLiteral(R"(/\*[A-Z_0-9]+\*/)"));
    instrucao.sql.remove(vazio);
    return instrucao;
}

TFmRelatorio::TFmRelatorio(QWidget* parent)
    : TForm(parent), m_relatorio(new QWidget(this)),
      BitBtn1(new QPushButton(QStringLiteral("&Confirmar"), this)),
      BtImp(new QPushButton(QStringLiteral("&Imprimir"), this)),
      BtExportar(new QPushButton(QStringLiteral("E&xportar"), this)),
      BtFechar(new QPushButton(QStringLiteral("&Fechar"), this)), DBGrid1(new TZoDBGrid(this)),
      TbResultado(new TClientDataSet(this)) {
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BtImp->setObjectName(QStringLiteral("BtImp"));
    BtExportar->setObjectName(QStringLiteral("BtExportar"));
    BtFechar->setObjectName(QStringLiteral("BtFechar"));
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    auto* grupo = new QGroupBox(QStringLiteral("Filtros"), m_relatorio);
    grupo->setObjectName(QStringLiteral("GbFiltros"));
    m_filtros = grupo;
    auto* botoes = new QHBoxLayout;
    botoes->addWidget(BitBtn1);
    botoes->addWidget(BtImp);
    botoes->addWidget(BtExportar);
    botoes->addStretch();
    botoes->addWidget(BtFechar);
    auto* layout = new QVBoxLayout(m_relatorio);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grupo);
    layout->addLayout(botoes);
    layout->addWidget(DBGrid1, 1);
    (new QVBoxLayout(this))->addWidget(m_relatorio);
    TbResultado->setObjectName(QStringLiteral("TbResultado"));
    DBGrid1->SetDataSet(TbResultado);
    DBGrid1->SetReadOnly(true);
    BtImp->setEnabled(false);
    BtExportar->setEnabled(false);
    SaidaSemConferencia(BtFechar);
    connect(BitBtn1, &QPushButton::clicked, this, Protegido([this] { BitBtn1Click(); }));
    connect(BtImp, &QPushButton::clicked, this, Protegido([this] { BtImpClick(); }));
    // The rows as the grid shows them, its pivot's if it has one.
    connect(BtExportar, &QPushButton::clicked, this, Protegido([this] {
                Chama_Planilha(*DataSetModel::Of(Impressos()), Identificador(),
                               rel.titulo.isEmpty() ? windowTitle() : rel.titulo, this);
            }));
    connect(BtFechar, &QPushButton::clicked, this, [this] { close(); });
}

QWidget* TFmRelatorio::Controle(const QString& nome) const {
    return findChild<QWidget*>(nome);
}

void TFmRelatorio::BotoesEmTodasAsPaginas() {
    m_botoesAbaixo = true;
    QLayout* pagina = m_relatorio->layout();
    for (int i = 0; i < pagina->count(); ++i)
        if (QLayout* botoes = pagina->itemAt(i)->layout(); botoes && botoes->indexOf(BitBtn1) >= 0) {
            pagina->takeAt(i);
            qobject_cast<QBoxLayout*>(layout())->addLayout(botoes);
            return;
        }
}

QWidget* TFmRelatorio::AdicionaPagina(const QString& titulo) {
    if (!m_paginas) {
        m_paginas = new QTabWidget(this);
        m_paginas->setObjectName(QStringLiteral("PageControl1"));
        delete layout()->replaceWidget(m_relatorio, m_paginas);
        m_paginas->addTab(m_relatorio, QStringLiteral("Relatório"));
    }
    auto* pagina = new QWidget;
    m_paginas->addTab(pagina, titulo);
    return pagina;
}

void TFmRelatorio::AbreRelatorio() {
    // The boxes in up to three columns, so a report of many filters keeps room for its rows; the radio groups
    // and check boxes side by side beneath them. Widgets are made in declaration order: so goes Tab.
    const auto emColunas = [](const FiltroRelatorio& f) {
        return f.tipo != FiltroRelatorio::Tipo::Opcao && f.tipo != FiltroRelatorio::Tipo::Marca;
    };
    const int caixas = static_cast<int>(std::count_if(rel.filtros.cbegin(), rel.filtros.cend(), emColunas));
    const int colunas = caixas <= 6 ? 1 : caixas <= 14 ? 2 : 3;
    const int porColuna = std::max(1, (caixas + colunas - 1) / colunas);
    auto* colunasFiltros = new QHBoxLayout;
    auto* escolhas = new QHBoxLayout;
    auto* marcas = new QVBoxLayout;
    auto* filtros = new QVBoxLayout(m_filtros);
    filtros->addLayout(colunasFiltros);
    filtros->addLayout(escolhas);
    QFormLayout* form = nullptr;
    int linhas = 0;
    // Each filter's controls and caption, for those enabled only under an option.
    QHash<QString, QList<QWidget*>> controles;
    for (const FiltroRelatorio& f : std::as_const(rel.filtros)) {
        QList<QWidget*>& seus = controles[f.nome];
        const auto linha = [&](const QString& legenda, auto* campo) {
            // Each column a panel of its own: Tab reads down one, then on to the next.
            if (linhas++ % porColuna == 0) {
                auto* coluna = new QWidget(m_filtros);
                form = new QFormLayout(coluna);
                form->setContentsMargins(0, 0, 0, 0);
                colunasFiltros->addWidget(coluna, 1);
            }
            form->addRow(legenda, campo);
            if (QWidget* rotulo = form->labelForField(campo))
                seus << rotulo;
        };
        switch (f.tipo) {
        case FiltroRelatorio::Tipo::Periodo:
        case FiltroRelatorio::Tipo::Faixa:
        case FiltroRelatorio::Tipo::Hora:
        case FiltroRelatorio::Tipo::Intervalo: {
            auto* caixas = new QHBoxLayout;
            for (const char* lado : {"Ini", "Fim"}) {
                auto* caixa = new QLineEdit(this);
                caixa->setObjectName(f.nome + QLatin1String(lado));
                if (f.tipo == FiltroRelatorio::Tipo::Periodo)
                    caixa->setInputMask(QStringLiteral("99/99/9999"));
                else if (f.tipo == FiltroRelatorio::Tipo::Hora)
                    caixa->setInputMask(QStringLiteral("99:99"));
                caixa->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 12);
                if (*lado == 'F') {
                    auto* ate = new QLabel(QStringLiteral("Até"), this);
                    caixas->addWidget(ate);
                    seus << ate;
                }
                caixas->addWidget(caixa);
                seus << caixa;
            }
            caixas->addStretch();
            linha(f.legenda + QStringLiteral(" De"), caixas);
            break;
        }
        case FiltroRelatorio::Tipo::Codigo:
        case FiltroRelatorio::Tipo::Lista: {
            auto* caixas = new QHBoxLayout;
            auto* caixa = new QLineEdit(this);
            caixa->setObjectName(f.nome);
            auto* botao = new QToolButton(this);
            botao->setObjectName(QStringLiteral("Pq") + f.nome);
            botao->setText(QStringLiteral("..."));
            auto* descricao = new QLineEdit(this);
            descricao->setObjectName(f.nome + QStringLiteral("Desc"));
            caixa->setClearButtonEnabled(f.tipo == FiltroRelatorio::Tipo::Lista);
            caixas->addWidget(caixa);
            caixas->addWidget(botao);
            caixas->addWidget(descricao, 1);
            seus << caixa << botao << descricao;
            linha(f.legenda, caixas);
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
            d.distintos = f.distintos;
            d.colunas = f.colunasLinha;
            d.mostra = f.mostra;
            DeclaraCaixa(d);
            break;
        }
        case FiltroRelatorio::Tipo::Numero:
        case FiltroRelatorio::Tipo::Texto:
        case FiltroRelatorio::Tipo::Valor: {
            auto* caixa = new QLineEdit(this);
            caixa->setObjectName(f.nome);
            seus << caixa;
            linha(f.legenda, caixa);
            break;
        }
        case FiltroRelatorio::Tipo::Escolha: {
            auto* caixa = new QComboBox(this);
            caixa->setObjectName(f.nome);
            caixa->addItems(f.opcoes);
            seus << caixa;
            linha(f.legenda, caixa);
            break;
        }
        case FiltroRelatorio::Tipo::Opcao: {
            // Options down columns of four, as many columns as they need.
            auto* caixa = new QGroupBox(f.legenda, this);
            caixa->setObjectName(f.nome);
            auto* opcoes = new QGridLayout(caixa);
            auto* grupo = new QButtonGroup(caixa);
            for (int i = 0; i < f.opcoes.size(); ++i) {
                auto* opcao = new QRadioButton(f.opcoes[i], caixa);
                opcao->setObjectName(f.nome + QString::number(i));
                grupo->addButton(opcao, i);
                opcoes->addWidget(opcao, i % 4, i / 4);
                opcao->setChecked(i == f.padrao);
            }
            opcoes->setRowStretch(std::min<int>(f.opcoes.size(), 4), 1);
            // Tab stops at the option chosen and then leaves the group; the arrows choose another.
            const auto soOMarcado = [grupo] {
                for (QAbstractButton* b : grupo->buttons())
                    b->setFocusPolicy(b->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
            };
            connect(grupo, &QButtonGroup::idToggled, this, Protegido(soOMarcado));
            soOMarcado();
            seus << caixa;
            escolhas->addWidget(caixa);
            break;
        }
        case FiltroRelatorio::Tipo::Marca: {
            auto* marca = new QCheckBox(f.legenda, this);
            marca->setObjectName(f.nome);
            seus << marca;
            marcas->addWidget(marca);
            break;
        }
        }
    }
    for (const FiltroRelatorio& f : std::as_const(rel.filtros)) {
        if (f.soCom.filtro.isEmpty())
            continue;
        const auto habilita = [this, seus = controles.value(f.nome), filtro = f.soCom.filtro,
                               opcao = f.soCom.opcao] {
            for (QWidget* w : seus)
                w->setEnabled(Opcao(filtro) == opcao);
        };
        if (auto* marca = qobject_cast<QCheckBox*>(Controle(f.soCom.filtro)))
            connect(marca, &QCheckBox::toggled, this, Protegido(habilita));
        else
            connect(Controle(f.soCom.filtro)->findChild<QButtonGroup*>(), &QButtonGroup::idToggled, this,
                    Protegido(habilita));
        habilita();
    }
    marcas->addStretch();
    escolhas->addLayout(marcas);
    escolhas->addStretch();
    if (!rel.colunas.isEmpty())
        DBGrid1->DeclaraColunas(rel.colunas);
    for (const PaginaRelatorio& p : std::as_const(rel.paginas)) {
        QWidget* pagina = AdicionaPagina(p.titulo);
        auto* dados = new TClientDataSet(this);
        dados->setObjectName(p.conjunto);
        auto* grade = new TZoDBGrid(pagina);
        grade->setObjectName(QStringLiteral("DBGrid%1").arg(m_paginasDados.size() + 2));
        grade->SetDataSet(dados);
        grade->SetReadOnly(true);
        if (!p.colunas.isEmpty())
            grade->DeclaraColunas(p.colunas);
        (new QVBoxLayout(pagina))->addWidget(grade);
        m_paginasDados << dados;
    }
    // The buttons and the rows come after the filters, as the eye reads them (the frame made them first; a
    // page added moves them).
    if (!rel.filtros.isEmpty()) {
        const QList<QWidget*> ultimos = controles.value(rel.filtros.last().nome);
        const auto ultimo = std::find_if(ultimos.crbegin(), ultimos.crend(),
                                         [](const QWidget* w) { return !qobject_cast<const QLabel*>(w); });
        QWidget* antes = ultimo == ultimos.crend() ? nullptr : *ultimo;
        // A radio group: its last option.
        for (QWidget* dentro : antes ? antes->findChildren<QWidget*>() : QList<QWidget*>())
            if (dentro->focusPolicy() & Qt::TabFocus)
                antes = dentro;
        // Buttons beneath the pages come after the rows.
        QList<QWidget*> seguintes{BitBtn1, BtImp, BtExportar, BtFechar};
        if (m_botoesAbaixo)
            seguintes.prepend(DBGrid1);
        else
            seguintes.append(DBGrid1);
        for (QWidget* w : std::as_const(seguintes)) {
            if (antes)
                setTabOrder(antes, w);
            antes = w;
        }
    }
    if (!rel.filtros.isEmpty()) {
        // A filter of two boxes starts at its first.
        QWidget* primeiro = Controle(rel.filtros.first().nome);
        if (!primeiro)
            primeiro = Controle(rel.filtros.first().nome + QStringLiteral("Ini"));
        if (primeiro)
            primeiro->setFocus();
    }
}

int TFmRelatorio::Opcao(const QString& filtro) const {
    const QWidget* grupo = Controle(filtro);
    if (const auto* marca = qobject_cast<const QCheckBox*>(grupo))
        return marca->isChecked() ? 1 : 0;
    const auto* botoes = grupo ? grupo->findChild<QButtonGroup*>() : nullptr;
    return botoes ? botoes->checkedId() : -1;
}

bool TFmRelatorio::Ativo(const FiltroRelatorio& f) const {
    return f.soCom.filtro.isEmpty() || Opcao(f.soCom.filtro) == f.soCom.opcao;
}

FaixaRelatorio TFmRelatorio::Faixa(const QString& filtro) const {
    FaixaRelatorio faixa;
    for (const FiltroRelatorio& f : rel.filtros)
        if (f.nome == filtro && Ativo(f)) {
            const auto le = [this, &f](const char* lado) {
                double valor = 0;
                const auto* caixa = qobject_cast<QLineEdit*>(Controle(f.nome + QLatin1String(lado)));
                return caixa && LeNumero(caixa->text(), valor) ? valor : 0;
            };
            faixa = {le("Ini"), le("Fim")};
        }
    return faixa;
}

double TFmRelatorio::Valor(const QString& filtro) const {
    const auto* caixa = qobject_cast<QLineEdit*>(Controle(filtro));
    double valor = 0;
    return caixa && LeNumero(caixa->text().trimmed(), valor) ? valor : 0;
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
        if (!Ativo(f))
            continue;
        const QString coluna =
            rel.escolha.isEmpty() ? f.coluna : f.colunas.value(Opcao(rel.escolha), f.coluna);
        CondicaoRelatorio c{f.marcador, {}, {}};
        switch (f.tipo) {
        case FiltroRelatorio::Tipo::Periodo:
        case FiltroRelatorio::Tipo::Hora:
        case FiltroRelatorio::Tipo::Intervalo: {
            auto* de = qobject_cast<QLineEdit*>(Controle(f.nome + QStringLiteral("Ini")));
            auto* ate = qobject_cast<QLineEdit*>(Controle(f.nome + QStringLiteral("Fim")));
            QStringList partes;
            for (auto [caixa, operador, sufixo] :
                 {std::tuple{de, QStringLiteral(">="), QStringLiteral("I")},
                  std::tuple{ate, QStringLiteral("<="), QStringLiteral("F")}}) {
                const QString texto = caixa->text().trimmed();
                if (QString(texto).remove(QRegularExpression(QStringLiteral("[/:]"))).trimmed().isEmpty()) {
                    if (f.obrigatorio)
                        recusa(QStringLiteral("Informe o período: %1.").arg(f.legenda), caixa);
                    continue;
                }
                QVariant valor = texto;
                if (f.tipo == FiltroRelatorio::Tipo::Hora) {
                    if (!LeHora(texto).isValid())
                        recusa(QStringLiteral("%1: \"%2\" não é uma hora válida.").arg(f.legenda, texto),
                               caixa);
                    continue;
                }
                if (f.tipo == FiltroRelatorio::Tipo::Periodo) {
                    valor = LeData(texto);
                    if (!valor.toDate().isValid()) {
                        recusa(QStringLiteral("%1: \"%2\" não é uma data válida.").arg(f.legenda, texto),
                               caixa);
                        continue;
                    }
                }
                partes << QStringLiteral("%1 %2 :%3").arg(coluna, operador, p + sufixo);
                c.valores.insert(p + sufixo, valor);
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
            } else if (coluna.isEmpty()) {
                break;
            } else if (f.tipo == FiltroRelatorio::Tipo::Codigo) {
                c.texto = QStringLiteral(" AND %1 = :%2").arg(coluna, p);
                c.valores.insert(p, codigos.first());
            } else {
                c.texto = CondicaoIn(coluna, caixa->text());
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
                c.texto = QStringLiteral(" AND %1 = :%2").arg(coluna, p);
                c.valores.insert(p, numero);
            }
            break;
        }
        case FiltroRelatorio::Tipo::Faixa: {
            QStringList partes;
            for (auto [lado, operador] : {std::pair{"Ini", ">="}, std::pair{"Fim", "<="}}) {
                auto* caixa = qobject_cast<QLineEdit*>(Controle(f.nome + QLatin1String(lado)));
                const QString texto = caixa->text().trimmed();
                double valor = 0;
                if (texto.isEmpty())
                    continue;
                if (!LeNumero(texto, valor)) {
                    recusa(QStringLiteral("%1: \"%2\" não é um número válido.").arg(f.legenda, texto), caixa);
                    continue;
                }
                if (valor <= 0 || coluna.isEmpty())
                    continue;
                const QString nome = p + QLatin1Char(*lado);
                // A parameter takes the column's type: against a whole-number column 1,5 would be cut.
                partes << QStringLiteral("%1 %2 CAST(:%3 AS DOUBLE PRECISION)")
                              .arg(coluna, QLatin1String(operador), nome);
                c.valores.insert(nome, valor);
            }
            if (!partes.isEmpty())
                c.texto = QStringLiteral(" AND ") + partes.join(QStringLiteral(" AND "));
            break;
        }
        case FiltroRelatorio::Tipo::Texto: {
            const QString texto = qobject_cast<QLineEdit*>(Controle(f.nome))->text().trimmed();
            if (!texto.isEmpty()) {
                c.texto = QStringLiteral(" AND %1 LIKE :%2").arg(coluna, p);
                c.valores.insert(p, QLatin1Char('%') + texto + QLatin1Char('%'));
            }
            break;
        }
        case FiltroRelatorio::Tipo::Escolha: {
            const QString texto = qobject_cast<QComboBox*>(Controle(f.nome))->currentText().trimmed();
            if (!texto.isEmpty()) {
                c.texto = QStringLiteral(" AND %1 = :%2").arg(coluna, p);
                c.valores.insert(p, texto);
            }
            break;
        }
        case FiltroRelatorio::Tipo::Valor: {
            auto* caixa = qobject_cast<QLineEdit*>(Controle(f.nome));
            const QString texto = caixa->text().trimmed();
            double valor = 0;
            if (!texto.isEmpty() && !LeNumero(texto, valor))
                recusa(QStringLiteral("%1: \"%2\" não é um número válido.").arg(f.legenda, texto), caixa);
            break;
        }
        case FiltroRelatorio::Tipo::Opcao: {
            const auto* grupo = Controle(f.nome)->findChild<QButtonGroup*>();
            c.texto = DBLocal_SQL(f.textos.value(grupo->checkedId()));
            break;
        }
        case FiltroRelatorio::Tipo::Marca:
            if (qobject_cast<QCheckBox*>(Controle(f.nome))->isChecked())
                c.texto = DBLocal_SQL(f.textos.value(0));
            break;
        }
        static const QString e = QStringLiteral(" AND ");
        if (!f.envolve.isEmpty() && c.texto.startsWith(e))
            c.texto = e + DBLocal_SQL(f.envolve).arg(c.texto.mid(e.size()));
        condicoes << c;
    }
    return condicoes;
}

QString TFmRelatorio::ResolveTabelas(const QString& sql) const {
    return DBLocal_SQL(sql);
}

TClientDataSet* TFmRelatorio::Resultado() const {
    return TbResultado;
}

TDataSet* TFmRelatorio::Impressos() const {
    return Resultado();
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
    const QString sql = rel.escolha.isEmpty() ? rel.sql : rel.instrucoes.value(Opcao(rel.escolha));
    Ocupado(true, this, QStringLiteral("Consultando"));
    const auto fim = qScopeGuard([this] { Ocupado(false, this); });
    // The rows, what the pivot reads besides them and the further lists come from one moment of the data.
    GravacaoAtomica leitura;
    const auto abre = [&condicoes, this](const QString& texto, TZoQuery& q) {
        const InstrucaoRelatorio instrucao = MontaInstrucao(ResolveTabelas(texto), condicoes);
        q.SQL << instrucao.sql;
        for (auto it = instrucao.valores.cbegin(); it != instrucao.valores.cend(); ++it)
            q.BindValue(it.key(), it.value());
        q.Open();
        return instrucao;
    };
    TZoQuery linhas;
    m_ultimas = {abre(sql, linhas)};
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
    for (int i = 0; i < m_paginasDados.size(); ++i) {
        TZoQuery q;
        m_ultimas << abre(rel.paginas[i].sql, q);
        ControlesDesligados quieto(*m_paginasDados[i]);
        m_paginasDados[i]->TomaDe(q);
        m_paginasDados[i]->First();
    }
    leitura.Confirma();
    m_cabecalho = Cabecalho();
    BtImp->setEnabled(!TbResultado->IsEmpty());
    BtExportar->setEnabled(!TbResultado->IsEmpty());
}

QList<QPair<QString, QString>> TFmRelatorio::Cabecalho() const {
    QList<QPair<QString, QString>> linhas;
    const auto texto = [this](const QString& nome) {
        const auto* caixa = qobject_cast<QLineEdit*>(Controle(nome));
        return caixa ? caixa->text().trimmed() : QString();
    };
    for (const FiltroRelatorio& f : rel.filtros) {
        if (!Ativo(f))
            continue;
        QString valor;
        switch (f.tipo) {
        case FiltroRelatorio::Tipo::Periodo:
        case FiltroRelatorio::Tipo::Faixa:
        case FiltroRelatorio::Tipo::Hora:
        case FiltroRelatorio::Tipo::Intervalo: {
            QString de = texto(f.nome + QStringLiteral("Ini")), ate = texto(f.nome + QStringLiteral("Fim"));
            if (f.tipo == FiltroRelatorio::Tipo::Periodo) {
                de = LeData(de).isValid() ? de : QString();
                ate = LeData(ate).isValid() ? ate : QString();
            } else if (f.tipo == FiltroRelatorio::Tipo::Hora) {
                de = LeHora(de).isValid() ? de : QString();
                ate = LeHora(ate).isValid() ? ate : QString();
            } else if (f.tipo == FiltroRelatorio::Tipo::Faixa) {
                const FaixaRelatorio faixa = Faixa(f.nome);
                de = faixa.de > 0 ? de : QString();
                ate = faixa.ate > 0 ? ate : QString();
            }
            if (!de.isEmpty() && !ate.isEmpty())
                valor = QStringLiteral("%1 até %2").arg(de, ate);
            else if (!de.isEmpty())
                valor = QStringLiteral("a partir de %1").arg(de);
            else if (!ate.isEmpty())
                valor = QStringLiteral("até %1").arg(ate);
            break;
        }
        case FiltroRelatorio::Tipo::Codigo: {
            const QString descricao = texto(f.nome + QStringLiteral("Desc"));
            valor = CodigosDaLista(texto(f.nome)).value(0);
            if (!valor.isEmpty() && !descricao.isEmpty())
                valor += QStringLiteral(" - ") + descricao;
            break;
        }
        case FiltroRelatorio::Tipo::Lista:
            valor = CodigosDaLista(texto(f.nome)).join(QStringLiteral(", "));
            break;
        case FiltroRelatorio::Tipo::Numero:
        case FiltroRelatorio::Tipo::Texto:
        case FiltroRelatorio::Tipo::Valor:
            valor = texto(f.nome);
            break;
        case FiltroRelatorio::Tipo::Escolha:
            valor = qobject_cast<QComboBox*>(Controle(f.nome))->currentText().trimmed();
            break;
        case FiltroRelatorio::Tipo::Opcao:
            valor = QString(f.opcoes.value(Opcao(f.nome))).remove(QLatin1Char('&'));
            break;
        case FiltroRelatorio::Tipo::Marca:
            if (qobject_cast<QCheckBox*>(Controle(f.nome))->isChecked())
                valor = QStringLiteral("Sim");
            break;
        }
        if (!valor.isEmpty())
            linhas.append({QString(f.legenda).remove(QLatin1Char('&')), valor});
    }
    return linhas;
}

void TFmRelatorio::BtImpClick() {
    TDataSet* resultado = Impressos();
    if (!resultado || resultado->IsEmpty())
        return;
    TRelatorio relatorio(Identificador(), rel.titulo.isEmpty() ? windowTitle() : rel.titulo, resultado);
    for (const auto& [rotulo, valor] : std::as_const(m_cabecalho))
        relatorio.AdicionaCabecalho(rotulo, valor);
    PreparaImpressao(relatorio);
    if (rel.texto)
        Chama_RelatorioWinTxt(relatorio, this);
    else
        Chama_Relatorio(relatorio, this, QStringLiteral("W"));
}
