#include "GradeEdicao.h"
#include "DBControls.h"
#include "DataSet.h"
#include "DataSetModel.h"
#include "Protecao.h"
#include <QHeaderView>
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

void EsticaColuna(TZoDBGrid& grade, const QString& campo) {
    DataSetModel* modelo = DataSetModel::Of(grade.DataSet());
    auto estica = [&grade, modelo, campo] {
        const int coluna = modelo->ColumnOfField(campo);
        if (coluna >= 0)
            grade.horizontalHeader()->setSectionResizeMode(coluna, QHeaderView::Stretch);
    };
    grade.horizontalHeader()->setStretchLastSection(false);
    QObject::connect(modelo, &QAbstractItemModel::modelReset, &grade, estica);
    estica();
}

void DefineLarguras(TZoDBGrid& grade, const QList<QPair<const char*, int>>& larguras) {
    DataSetModel* modelo = DataSetModel::Of(grade.DataSet());
    auto aplica = [&grade, modelo, larguras] {
        for (const auto& [campo, largura] : larguras)
            if (const int coluna = modelo->ColumnOfField(QLatin1String(campo)); coluna >= 0)
                grade.horizontalHeader()->resizeSection(coluna, largura);
    };
    QObject::connect(modelo, &QAbstractItemModel::modelReset, &grade, aplica);
    aplica();
}

void AcompanhaLinhas(TDataSet* dados, QObject* contexto, std::function<void()> acao) {
    const auto protegida = Protegido(std::move(acao));
    QObject::connect(dados, &TDataSet::rowChanged, contexto, protegida);
    QObject::connect(dados, &TDataSet::rowInserted, contexto, protegida);
    QObject::connect(dados, &TDataSet::rowRemoved, contexto, protegida);
    QObject::connect(dados, &TDataSet::layoutReset, contexto, protegida);
}
