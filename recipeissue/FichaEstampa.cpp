#include "FichaEstampa.h"
#include "DataAccess.h"
#include "DataContext.h"
#include "Estoque.h"
#include "Funcoes.h"
#include "GravacaoAtomica.h"
#include "InstrucoesEmLote.h"
#include "TZoDatabase.h"
#include "TZoQuery.h"
#include <QDate>
#include <QMap>
#include <QSet>
#include <cmath>

namespace {
const QString kTitulo = QStringLiteral("FICHA DE ESTAMPARIA");
} // namespace

QString ConfereFalFicha(const QString& numero, QString& estampa, QString& variante) {
    TZoQuery q;
    q.SQL << QStringLiteral("SELECT ESTAMPA, VAR_EST FROM FAL WHERE NUMERO = :FAL");
    q.BindValue(QStringLiteral("FAL"), numero.trimmed());
    q.Open();
    if (q.IsEmpty())
        return QStringLiteral("FAL inexistente.");
    const QString suaEstampa = q.Fields(0).AsString().trimmed(),
                  suaVariante = q.Fields(1).AsString().trimmed();
    if (!estampa.isEmpty() && (suaEstampa != estampa || suaVariante != variante))
        return QStringLiteral("Estampa ou variante diferente. Impossível juntar.");
    estampa = suaEstampa;
    variante = suaVariante;
    return QString();
}

void RegistraImpressaoFicha(const QStringList& fals, double largura, double gramatura, double indice) {
    GravacaoAtomica unidade;
    TZoQuery situacao;
    situacao.SQL << QStringLiteral("UPDATE FAL SET SIT_EST = 'B' WHERE NUMERO IN (%1) AND (SIT_EST <> 'B' OR "
                                   "SIT_EST IS NULL)")
                        .arg(ListaSql(fals));
    situacao.ExecSQL();
    TZoQuery gramaturas;
    gramaturas.SQL << QStringLiteral("UPDATE FAL_ITEN SET GRAMATURA_EST = :GRAMATURA WHERE FAL IN (%1)")
                          .arg(ListaSql(fals));
    gramaturas.BindValue(QStringLiteral("GRAMATURA"), std::round(gramatura * 100) / 100);
    gramaturas.ExecSQL();
    const QString lista = fals.join(QStringLiteral(", "));
    const QString chave = fals.value(0);
    GeraLog(kTitulo, QStringLiteral("IMPRESSÃO FICHA DE ESTAMPARIA. FALS: ") + lista, opOutros, chave);
    GeraLog(kTitulo,
            QStringLiteral("GERADO FICHA DE ESTAMPARIA COM LARGURA %1 GRAMATURA %2 INDICE %3. FALS: %4")
                .arg(QString::number(largura), QString::number(gramatura), QString::number(indice), lista),
            opOutros, chave);
    unidade.Confirma();
}

QString BaixaFichaEstampa(const QStringList& fals, const QString& deposito,
                          const QList<BaixaComponente>& componentes) {
    TZoDatabase& conexao = *ConexaoHost();
    const QString fal = fals.value(0);
    GravacaoAtomica unidade(conexao);
    if (deposito.trimmed().isEmpty() || !Existe(QStringLiteral("DEPOSITO"), QStringLiteral("CODIGO"),
                                                QVariantList{deposito.trimmed()}, &conexao))
        return QStringLiteral("Depósito inválido.");
    // Per component and screen order: an alternative equal to another component of the paste is one
    // movement, not two lines of one key.
    QMap<QPair<QString, int>, BaixaComponente> somados;
    for (const BaixaComponente& c : componentes) {
        if (!(c.pesoKg > 0))
            continue;
        BaixaComponente& s = somados[{c.codigo, c.ordem}];
        s.codigo = c.codigo;
        s.ordem = c.ordem;
        s.pesoKg += c.pesoKg;
        s.consumoG += c.consumoG;
    }
    QStringList codigos;
    for (const BaixaComponente& s : std::as_const(somados))
        codigos << s.codigo;
    QSet<QString> feitos, foraDoEstoque;
    if (!codigos.isEmpty()) {
        TZoQuery baixados(nullptr, &conexao);
        baixados.SQL << QStringLiteral(
                            "SELECT CODIGO, ORDEM FROM TNG_CONSUMOS WHERE FAL = :FAL AND ORIGEM = 'TE' "
                            "AND CODIGO IN (%1)")
                            .arg(ListaSql(codigos));
        baixados.BindValue(QStringLiteral("FAL"), fal);
        baixados.Open();
        for (baixados.First(); !baixados.Eof(); baixados.Next())
            feitos << baixados.Fields(0).AsString().trimmed() + QLatin1Char('|') +
                          baixados.Fields(1).AsString();
        TZoQuery materiais(nullptr, &conexao);
        materiais.SQL << QStringLiteral("SELECT CODIGO FROM MATERIAL WHERE ESTOQUE = 'N' AND CODIGO IN (%1)")
                             .arg(ListaSql(codigos));
        materiais.Open();
        for (materiais.First(); !materiais.Eof(); materiais.Next())
            foraDoEstoque << materiais.Fields(0).AsString().trimmed();
    }
    TEstoque estoque(&conexao);
    const QString tipo = estoque.CodigoTipoMovEstoque(14);
    const QString funcionario = Busca_Valor(QStringLiteral("ACESSO_USUARIOS"), QStringLiteral("NOME"),
                                            QStringLiteral("CODFUN"), {vUsuario()})
                                    .trimmed();
    InstrucoesEmLote linhas(conexao);
    int movidos = 0;
    for (const BaixaComponente& s : std::as_const(somados)) {
        const double kg = std::round(s.pesoKg * 1000) / 1000;
        if (!(kg > 0) || foraDoEstoque.contains(s.codigo) ||
            feitos.contains(s.codigo + QLatin1Char('|') + QString::number(s.ordem)))
            continue;
        MovimentoEstoque m;
        m.codigo = s.codigo;
        m.deposito = deposito.trimmed();
        m.quantidade = kg;
        m.documento = fal;
        m.usuario = vUsuario();
        m.funcionario = funcionario;
        m.tipoMovimento = tipo;
        m.origem = QStringLiteral("TE");
        if (const QString recusa = estoque.MovimentaEstoqueMaterial(m); !recusa.isEmpty())
            return recusa;
        linhas.Adiciona(
            QStringLiteral("INSERT INTO TNG_CONSUMOS (FAL, ORIGEM, CODIGO, ORDEM, QTDE, CONSUMO, TIPO, "
                           "PASSO, CONTRATIPO, FALS, BAIXADO, DATA) VALUES (%1, 'TE', %2, %3, %4, %5, "
                           "'', '', 'N', %6, 'S', %7)")
                .arg(Aspas(fal), Aspas(s.codigo), QString::number(s.ordem), PermanecePonto(kg),
                     PermanecePonto(s.consumoG), Aspas(fals.join(QStringLiteral(", ")).left(200)),
                     DataSQL(QDate::currentDate())));
        ++movidos;
    }
    if (movidos == 0)
        return QStringLiteral("Nenhum componente a baixar.");
    linhas.Executa();
    unidade.Confirma();
    return QStringLiteral("Estoque baixado com sucesso.");
}
