#include "GradeEdicao.h"
#include "DBControls.h"
#include "DataAccess.h"
#include "DataSet.h"
#include "DataSetModel.h"
#include "Protecao.h"
#include "TPesquisa.h"
#include <QItemSelectionModel>
#include <QKeyEvent>

namespace {
bool linhaNovaEmBranco(TDataSet& dados) {
    if (dados.State() != DataSetState::Insert)
        return false;
    for (int i = 0; i < dados.FieldCount(); ++i)
        if (!dados.Fields(i).IsNull())
            return false;
    return true;
}
} // namespace

bool TeclaLinhaGrade(TZoDBGrid& grade, QKeyEvent* tecla) {
    TDataSet* dados = grade.DataSet();
    if (!dados || !dados->Active())
        return false;
    const Qt::KeyboardModifiers modificadores = tecla->modifiers() & ~Qt::KeypadModifier;
    if (tecla->key() == Qt::Key_Delete && modificadores == Qt::ControlModifier) {
        if (dados->Delete())
            dados->CountUserEdit();
        return true;
    }
    if (modificadores != Qt::NoModifier)
        return false;
    if (tecla->key() == Qt::Key_Insert) {
        dados->Insert();
        return true;
    }
    if (tecla->key() == Qt::Key_Down && dados->RecNo() >= dados->RecordCount() - 1) {
        if (!linhaNovaEmBranco(*dados) && dados->Post())
            dados->Append();
        return true;
    }
    return false;
}

void AcompanhaLinhas(TDataSet* dados, QObject* contexto, std::function<void()> acao) {
    const auto protegida = Protegido(std::move(acao));
    QObject::connect(dados, &TDataSet::rowChanged, contexto, protegida);
    QObject::connect(dados, &TDataSet::rowInserted, contexto, protegida);
    QObject::connect(dados, &TDataSet::rowRemoved, contexto, protegida);
    QObject::connect(dados, &TDataSet::layoutReset, contexto, protegida);
}

void AoEntrarCelula(TZoDBGrid& grade, QObject* contexto,
                    std::function<void(const QString& campo, const QString& anterior)> acao) {
    TZoDBGrid* g = &grade;
    const auto campoDa = [g](const QModelIndex& celula) {
        DataSetModel* modelo = DataSetModel::Of(g->DataSet());
        const int campo = celula.isValid() && modelo ? modelo->FieldOfColumn(celula.column()) : -1;
        return campo < 0 ? QString() : g->DataSet()->FieldDefs()[campo].name;
    };
    QObject::connect(g->selectionModel(), &QItemSelectionModel::currentChanged, contexto,
                     Protegido([g, campoDa, acao = std::move(acao)](const QModelIndex& atual,
                                                                    const QModelIndex& anterior) {
                         TDataSet* dados = g->DataSet();
                         if (!dados || dados->IsEmpty() || !atual.isValid() || atual.row() != dados->RecNo())
                             return;
                         const bool mesmaLinha = anterior.isValid() && anterior.row() == atual.row() &&
                                                 anterior.column() != atual.column();
                         acao(campoDa(atual), mesmaLinha ? campoDa(anterior) : QString());
                     }));
}

bool PesquisaNaCelula(QWidget* tela, TDataSet& linhas, const PesquisaCelula& p) {
    TPesquisa pesquisa;
    pesquisa.Titulo = p.titulo;
    pesquisa.CampoChave = p.chave;
    pesquisa.Campos = QStringList{p.chave, p.descricao};
    if (p.distintos)
        pesquisa.SQL =
            QStringLiteral("SELECT DISTINCT %1, %2 FROM %3").arg(p.chave, p.descricao, DBLocal(p.tabela));
    else
        pesquisa.Tabela = p.tabela;
    pesquisa.Filtro = p.filtro;
    pesquisa.TextoVazio = p.textoVazio;
    if (!pesquisa.AbrePesquisa(tela))
        return false;
    linhas.Edit();
    linhas.FieldByName(p.campo) = pesquisa.Chave().trimmed();
    if (!p.campoDescricao.isEmpty())
        linhas.FieldByName(p.campoDescricao) = pesquisa.RetornoPesquisa(p.descricao);
    return true;
}
