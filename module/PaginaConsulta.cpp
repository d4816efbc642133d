#include "PaginaConsulta.h"
#include "DBControls.h"
#include "DataSetModel.h"
#include "HostUi.h"
#include "Planilha.h"
#include "Protecao.h"
#include "TForm.h"
#include "TZoQuery.h"
#include <QKeyEvent>
#include <QLabel>
#include <QScopeGuard>

PaginaConsulta::PaginaConsulta(QObject* dono, TZoDBGrid* grade, QLabel* contagem)
    : QObject(dono), m_grade(grade), m_contagem(contagem) {
    grade->SetDataSet(pesquisa.Linhas());
    grade->SetReadOnly(true);
    pesquisa.AcompanhaRolagem(grade, this);
    grade->OnKeyDown = [this](QKeyEvent* tecla) {
        if (tecla->key() != Qt::Key_Return && tecla->key() != Qt::Key_Enter)
            return false;
        if (abre && !Linhas()->IsEmpty())
            abre();
        return true;
    };
    connect(grade, &QAbstractItemView::doubleClicked, this, Protegido([this] {
                if (abre && !Linhas()->IsEmpty())
                    abre();
            }));
    // Every row of the list, not only the windows read, to a spreadsheet.
    if (auto* tela = qobject_cast<TForm*>(dono))
        tela->AcaoMenuGrade(grade, "ExportarConsulta", QStringLiteral("Exportar..."), [this, tela] {
            if (Linhas()->IsEmpty())
                return;
            LeTudo();
            Chama_Planilha(*DataSetModel::Of(Linhas()), tela->objectName() + QStringLiteral("Consulta"),
                           tela->windowTitle(), tela);
        });
}

void PaginaConsulta::LeTudo() {
    ControlesDesligados quieto(*pesquisa.Linhas());
    pesquisa.BuscaResto();
}

TDataSet* PaginaConsulta::Linhas() const {
    return pesquisa.Linhas();
}

void PaginaConsulta::Consulta() {
    Ocupado(true, nullptr, QStringLiteral("Consultando"));
    const auto fim = qScopeGuard([] { Ocupado(false); });
    const int lidas = pesquisa.Busca(QString())->RecordCount();
    if (m_contagem) {
        // A window not filled holds every row: no need to count them again.
        const int linhas = lidas < TPesquisa::kJanela ? lidas : pesquisa.Total();
        m_contagem->setText(textoContagem ? textoContagem(linhas)
                                          : QStringLiteral("%1 linha(s)").arg(linhas));
    }
}
