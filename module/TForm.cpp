#include "TForm.h"
#include "CaixaPesquisa.h"
#include "DBControls.h"
#include "DataContext.h"
#include "DataSet.h"
#include "HostContext.h"
#include "HostUi.h"
#include "Mensagens.h"
#include "Protecao.h"
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTabWidget>
#include <QTimer>

namespace {
// One application-wide filter for all open screens: it hands the keys, clicks and focus changes of a
// screen's controls to that screen. It lives while any screen does.
class FormEvents : public QObject {
public:
    static void Attach() {
        if (s_screens++ == 0)
            qApp->installEventFilter(instance());
    }
    static void Detach() {
        if (--s_screens == 0)
            qApp->removeEventFilter(instance());
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::FocusIn:
        case QEvent::FocusOut:
        case QEvent::MouseButtonPress:
        case QEvent::Shortcut:
            break;
        default:
            return false;
        }
        if (!watched->isWidgetType())
            return false;
        auto* control = static_cast<QWidget*>(watched);
        for (QWidget* w = control; w; w = w->parentWidget())
            if (auto* screen = qobject_cast<TForm*>(w))
                return screen->TrataEvento(control, event);
        return false;
    }

private:
    static FormEvents* instance() {
        static FormEvents filter;
        return &filter;
    }
    static inline int s_screens = 0;
};

// A box that only shows a value (the description beside a code) is no place to type the next one.
bool somenteLeitura(const QWidget* w) {
    if (const auto* box = qobject_cast<const QLineEdit*>(w))
        return box->isReadOnly();
    if (const auto* spin = qobject_cast<const QAbstractSpinBox*>(w))
        return spin->isReadOnly();
    if (const auto* memo = qobject_cast<const QPlainTextEdit*>(w))
        return memo->isReadOnly();
    return false;
}
} // namespace

TForm::TForm(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    FormEvents::Attach();
}

TForm::~TForm() {
    FormEvents::Detach();
}

bool TForm::FormKeyDown(QKeyEvent* key) {
    return pSetFocus(this, key);
}

// Enter does on every screen what it does with key preview: a button is pressed, a box is left as Tab
// leaves it (its exit rule runs).
bool TForm::TeclaControle(QWidget*, QKeyEvent* key) {
    if (DescartaAspas && (key->text() == QLatin1String("'") || key->text() == QLatin1String("\"")))
        return true;
    return (KeyPreview && FormKeyDown(key)) || pSetFocus(this, key);
}

void TForm::DicaTeclas(const QList<QWidget*>& controles, const QString& dica) {
    for (QWidget* controle : controles) {
        controle->setToolTip(dica);
        controle->setStatusTip(dica);
    }
}

bool TForm::Recusa(QWidget* caixa, const QString& mensagem) {
    Informa(this, mensagem);
    if (caixa)
        caixa->setFocus(Qt::OtherFocusReason);
    return false;
}

void TForm::QuandoLivre(std::function<void()> acao) {
    if (!QApplication::activeModalWidget() && !QApplication::activePopupWidget()) {
        ExecutaProtegido(acao);
        return;
    }
    if (std::exchange(m_esperaLivre, true))
        return;
    QTimer::singleShot(250, this, [this, acao = std::move(acao)]() mutable {
        m_esperaLivre = false;
        QuandoLivre(std::move(acao));
    });
}

QAction* TForm::AcaoMenuGrade(QAbstractItemView* grade, const char* nome, const QString& texto,
                              std::function<void()> acao, std::function<void()> antesDeAbrir) {
    QMenu*& menu = m_menus[grade];
    if (!menu) {
        menu = new QMenu(this);
        grade->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(grade, &QWidget::customContextMenuRequested, this,
                Protegido([grade, menu, antes = std::move(antesDeAbrir)](const QPoint& ponto) {
                    if (antes)
                        antes();
                    menu->popup(grade->viewport()->mapToGlobal(ponto));
                }));
    }
    QAction* item = menu->addAction(texto);
    item->setObjectName(QLatin1String(nome));
    connect(item, &QAction::triggered, this, Protegido(std::move(acao)));
    return item;
}

CaixaPesquisa* TForm::DeclaraCaixa(const DeclaracaoCaixa& declaracao) {
    m_caixas << new CaixaPesquisa(this, declaracao);
    return m_caixas.last();
}

CaixaPesquisa* TForm::CaixaDe(QWidget* control) const {
    for (CaixaPesquisa* caixa : m_caixas)
        if (caixa->Declaracao().caixa == control)
            return caixa;
    return nullptr;
}

bool TForm::SemConferencia(const QWidget* next) const {
    for (const QPointer<QWidget>& controle : m_semConferencia)
        if (controle && (controle == next || controle->isAncestorOf(next)))
            return true;
    return false;
}

void TForm::VigiaAlteracoes(const QList<TDataSet*>& dados, const QList<QWidget*>& caixas,
                            QAbstractButton* gravar) {
    m_gravar = gravar;
    for (TDataSet* d : dados)
        m_vigiados << d;
    const auto alterou = [this] { m_caixaAlterada = true; };
    for (QWidget* caixa : caixas) {
        if (auto* box = qobject_cast<QLineEdit*>(caixa))
            connect(box, &QLineEdit::textEdited, this, alterou);
        else if (auto* combo = qobject_cast<QComboBox*>(caixa))
            connect(combo, &QComboBox::activated, this, alterou);
        else if (auto* memo = qobject_cast<QPlainTextEdit*>(caixa))
            connect(memo, &QPlainTextEdit::textChanged, this, [memo, alterou] {
                if (memo->hasFocus())
                    alterou();
            });
        else if (auto* date = qobject_cast<QDateEdit*>(caixa))
            connect(date, &QDateEdit::userDateChanged, this, alterou);
        else if (auto* button = qobject_cast<QAbstractButton*>(caixa))
            connect(button, &QAbstractButton::clicked, this, alterou);
    }
    AlteracoesGravadas();
}

void TForm::AlteracoesGravadas() {
    m_caixaAlterada = false;
    m_edicoesGravadas.clear();
    for (const auto& d : m_vigiados)
        m_edicoesGravadas << (d ? d->UserEdits() : 0);
}

bool TForm::TemAlteracoes() const {
    if (m_caixaAlterada)
        return true;
    for (int i = 0; i < m_vigiados.size(); ++i)
        if (m_vigiados[i] && m_vigiados[i]->UserEdits() != m_edicoesGravadas.value(i))
            return true;
    return false;
}

void TForm::GravaAlteracoes() {
    if (m_gravar && m_gravar->isEnabled())
        m_gravar->click();
}

// True when the screen may close.
bool TForm::PerguntaAoFechar() {
    ConcluiEdicaoGrades(true);
    if (!TemAlteracoes())
        return true;
    const int resposta =
        Mensagens().Choose(this, windowTitle(), QStringLiteral("Deseja gravar as alterações?"),
                           {QStringLiteral("&Sim"), QStringLiteral("&Não"), QStringLiteral("&Cancelar")}, 0);
    if (resposta == 1)
        return true;
    if (resposta != 0)
        return false;
    GravaAlteracoes();
    return !TemAlteracoes(); // a refused save keeps the screen and what was typed
}

bool TForm::SaidaControle(QWidget*, QWidget*, Qt::FocusReason) {
    return true;
}

// The page tabs around the control (the screen's first ones for a control outside any): the next or previous
// page that can be shown, and the focus on its first control, as a click on its tab and Tab would leave it.
bool TForm::TrocaPagina(QWidget* control, bool proxima) {
    QTabWidget* abas = nullptr;
    for (QWidget* w = control; w && w != this && !abas; w = w->parentWidget())
        abas = qobject_cast<QTabWidget*>(w);
    if (!abas)
        abas = findChild<QTabWidget*>();
    if (!abas || abas->count() < 2)
        return false;
    const int n = abas->count();
    for (int passo = 1; passo < n; ++passo) {
        const int i = (abas->currentIndex() + (proxima ? passo : n - passo)) % n;
        if (!abas->isTabEnabled(i) || !abas->isTabVisible(i))
            continue;
        abas->setCurrentIndex(i);
        QWidget* pagina = abas->widget(i);
        if (QWidget* primeiro = ControleSeguinte(pagina, pagina))
            primeiro->setFocus(Qt::TabFocusReason);
        return true;
    }
    return false;
}

bool TForm::TrataEvento(QWidget* control, QEvent* event) {
    bool swallow = false;
    ExecutaProtegido([&] {
        switch (event->type()) {
        case QEvent::FocusIn:
            DefineTelaAtiva(this);
            // The keys the control answers, where users look while typing.
            if (HostContext* host = HostContext::Current(); host && host->ShowStatus)
                host->ShowStatus(control->statusTip());
            break;
        case QEvent::KeyPress: {
            m_saidaRecusada = m_saidaPorClique = false;
            auto* key = static_cast<QKeyEvent*>(event);
            if (CaixaPesquisa* caixa = CaixaDe(control);
                caixa && key->key() == Qt::Key_F4 && key->modifiers() == Qt::NoModifier) {
                if (!caixa->Declaracao().caixa->isReadOnly())
                    caixa->Pesquisa();
                swallow = true;
                break;
            }
            if ((key->key() == Qt::Key_PageDown || key->key() == Qt::Key_PageUp) &&
                key->modifiers() == Qt::ControlModifier &&
                TrocaPagina(control, key->key() == Qt::Key_PageDown)) {
                swallow = true;
                break;
            }
            swallow = TeclaControle(control, key);
            break;
        }
        case QEvent::MouseButtonPress:
            // A click whose focus change a control's exit rule refused, or whose exit failed, ends there:
            // the message is shown and the focus is back, so the button must not act (nor repeat it).
            {
                const bool recusada = std::exchange(m_saidaRecusada, false);
                const bool falhou =
                    std::exchange(m_saidaPorClique, false) && FalhasProtegidas() != m_falhasNaSaida;
                swallow = recusada || falhou;
                break;
            }
        case QEvent::Shortcut:
            // A button's shortcut acts without moving the focus: what is being typed in a grid cell is
            // taken first (or dropped, for a button that desists).
            ConcluiEdicaoGrades(!Desiste(control));
            break;
        case QEvent::FocusOut: {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            QWidget* next = QApplication::focusWidget();
            const bool left = (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                               reason == Qt::MouseFocusReason) &&
                              next && next != control && isAncestorOf(next);
            // Failures from here to the press (the control's own exit handling included) are the exit's.
            m_saidaPorClique = reason == Qt::MouseFocusReason;
            m_falhasNaSaida = FalhasProtegidas();
            const bool conferir = left && !SemConferencia(next) && !Desiste(next);
            // A read-only box holds what the screen put there: the user has nothing to mend in it.
            CaixaPesquisa* caixa = conferir && !somenteLeitura(control) ? CaixaDe(control) : nullptr;
            if (left && ((caixa && !caixa->Confere()) || !SaidaControle(control, next, reason)))
                m_saidaRecusada = reason == Qt::MouseFocusReason;
            break;
        }
        default:
            break;
        }
    });
    return swallow;
}

QWidget* TForm::ProcuraComponente(const QString& name) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == name)
            return top;
        if (QWidget* found = top->findChild<QWidget*>(name))
            return found;
    }
    return nullptr;
}

void TForm::ConcluiEdicaoGrades(bool commit) {
    for (TZoDBGrid* grid : findChildren<TZoDBGrid*>())
        grid->ConcluiEdicao(commit);
}

// The exit rules run here rather than from the focus change: when the look-up's window has just closed the
// screen's window may not be active yet, and then moving the focus sends no events at all.
void TForm::SeguePesquisa(QWidget* caixa) {
    QWidget* seguinte = ControleSeguinte(this, caixa);
    while (seguinte && seguinte != caixa && somenteLeitura(seguinte))
        seguinte = ControleSeguinte(this, seguinte);
    if (seguinte == caixa)
        seguinte = nullptr;
    caixa->setFocus(Qt::OtherFocusReason); // the look-up's button may hold it
    if (!SaidaControle(caixa, seguinte, Qt::TabFocusReason) || focusWidget() != caixa || !seguinte)
        return;
    seguinte->setFocus(Qt::OtherFocusReason);
    if (auto* box = qobject_cast<QLineEdit*>(seguinte))
        box->selectAll();
    else if (auto* spin = qobject_cast<QAbstractSpinBox*>(seguinte))
        spin->selectAll();
}

void TForm::closeEvent(QCloseEvent* event) {
    if (!m_closed) {
        bool fecha = true;
        if (!ExecutaProtegido([&] { fecha = PerguntaAoFechar(); }) || !fecha) {
            event->ignore();
            return;
        }
        m_closed = true;
        ExecutaProtegido([this] {
            ConcluiEdicaoGrades(false);
            FormClose();
        });
    }
    event->accept();
}

void TForm::showEvent(QShowEvent* event) {
    // The limits the screen's boxes were drawn with count characters as the database does.
    if (!m_limitesConvertidos) {
        m_limitesConvertidos = true;
        for (QLineEdit* caixa : findChildren<QLineEdit*>())
            if (caixa->maxLength() < 32767 && !caixa->validator() && caixa->inputMask().isEmpty())
                LimitaCaracteres(caixa, caixa->maxLength());
    }
    DefineTelaAtiva(this);
    QWidget::showEvent(event);
}
