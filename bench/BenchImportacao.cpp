#include "BenchImportacao.h"
#include "Funcoes.h"
#include "ImportaCadastro.h"
#include "Medicao.h"
#include "TZoDatabase.h"
#include <QFile>
#include <QTemporaryDir>

namespace {
CadastroImportavel Cadastro(const QString& titulo) {
    for (const CadastroImportavel& c : CadastrosImportaveis())
        if (c.titulo == titulo)
            return c;
    return {};
}

void Grava(const QString& arquivo, const QStringList& linhas) {
    QFile f(arquivo);
    if (f.open(QIODevice::WriteOnly))
        f.write(linhas.join(QStringLiteral("\r\n")).toUtf8());
}

// Preview and commit of one file, each once: the commit changes what a second preview would find. The
// preview's floor is reading the table it compares with; the commit's is the plain inserts of its rows, one
// statement each, rolled back.
void MedeArquivo(TZoDatabase& db, const QString& nome, const QString& titulo, const QString& arquivo,
                 const QString& leitura, const QStringList& insercoes) {
    TabelaBench& tabela = TabelaBench::Global();
    ImportaCadastro importacao(Cadastro(titulo));
    const Medida previa = Mede([&] { importacao.Le(arquivo); }, 1);
    std::printf("%s: %d new, %d refused %s\n", qPrintable(nome), importacao.Quantas(Veredito::Novo),
                importacao.Quantas(Veredito::Recusado), qPrintable(importacao.Erro()));
    tabela.Linha(nome + QStringLiteral(": preview"), previa, MotorMs(db, {leitura}, false, 1), 5000);
    const double piso = MotorMs(db, insercoes, true, 1);
    const Medida gravacao = Mede([&] { importacao.Importa(); }, 1);
    tabela.Linha(nome + QStringLiteral(": commit"), gravacao, piso, 10000);
}
} // namespace

// A plant's registries brought in at once: 10,000 customers, then 2,000 recipes of 12 items each on the
// generated years' variants, colours and chemicals (recosted as they are written).
void BenchImportacao(TZoDatabase& db, ScriptedMessageService&) {
    QTemporaryDir pasta;
    QStringList clientes{QStringLiteral("Código;Razão Social;Fantasia;CNPJ;Cidade;Limite de Crédito")},
        insercoes;
    for (int i = 0; i < 10000; ++i) {
        const QString codigo = QStringLiteral("I%1").arg(i, 4, 10, QLatin1Char('0'));
        const QString nome = QStringLiteral("Malharia Importada %1 Ltda").arg(i);
        clientes
            << QStringLiteral("%1;%2;Importada %3;%4;São Paulo;%5")
                   .arg(codigo, nome)
                   .arg(i)
                   .arg(QStringLiteral("%1").arg(i, 14, 10, QLatin1Char('0')))
                   .arg(QStringLiteral("%1.%2,50").arg(1 + i % 90).arg(i % 1000, 3, 10, QLatin1Char('0')));
        insercoes << QStringLiteral("INSERT INTO ENTIDADE (CODCLI, NOME, FANTASIA, CNPJ, LIMITE_CREDITO) "
                                    "VALUES (%1, %2, %3, %4, %5)")
                         .arg(Aspas(codigo), Aspas(nome), Aspas(QStringLiteral("Importada %1").arg(i)),
                              Aspas(QStringLiteral("%1").arg(i, 14, 10, QLatin1Char('0'))),
                              PermanecePonto((1 + i % 90) * 1000 + i % 1000 + 0.5));
    }
    const QString arquivoClientes = pasta.filePath(QStringLiteral("clientes.csv"));
    Grava(arquivoClientes, clientes);
    MedeArquivo(db, QStringLiteral("import 10,000 customers"), QStringLiteral("Clientes"), arquivoClientes,
                QStringLiteral("SELECT CODCLI, NOME, FANTASIA, CNPJ, LIMITE_CREDITO FROM ENTIDADE"),
                insercoes);

    const QString variante =
        Escalar(db, QStringLiteral("SELECT FIRST 1 CODIGO FROM VARIANTE ORDER BY CODIGO"));
    const QString cor = Escalar(db, QStringLiteral("SELECT FIRST 1 CODIGO FROM CADCORTIN ORDER BY CODIGO"));
    const QStringList materiais =
        Linhas(db, QStringLiteral("SELECT FIRST 12 CODIGO FROM MATERIAL ORDER BY CODIGO"));
    QStringList receitas{QStringLiteral("Receita;Variante;Descrição;Cor;Ordem;Material;Quantidade;Unidade")};
    insercoes.clear();
    for (int r = 0; r < 2000; ++r) {
        const QString codigo =
            QStringLiteral("%1%2").arg(QChar(u'W' + r / 1000)).arg(r % 1000, 3, 10, QLatin1Char('0'));
        insercoes << QStringLiteral(
                         "INSERT INTO RECEITA (CODIGO, VARIANTE, DESCRICAO, COR) VALUES (%1, %2, %3, %4)")
                         .arg(Aspas(codigo), Aspas(variante), Aspas(QStringLiteral("Importada %1").arg(r)),
                              Aspas(cor));
        for (int i = 0; i < materiais.size(); ++i) {
            const double qtde = 0.05 * (1 + (r + i) % 40);
            receitas << QStringLiteral("%1;%2;Importada %3;%4;%5;%6;%7;%8")
                            .arg(codigo, variante)
                            .arg(r)
                            .arg(cor)
                            .arg(i + 1)
                            .arg(materiais[i],
                                 QString::number(qtde, 'f', 2).replace(QLatin1Char('.'), QLatin1Char(',')),
                                 i < 8 ? QStringLiteral("%") : QStringLiteral("GL"));
            insercoes << QStringLiteral(
                             "INSERT INTO MAT_TIN (RECEITA, VARIANTE, ORDEN, CODIGO, QTDE, UNIDADE) "
                             "VALUES (%1, %2, %3, %4, %5, %6)")
                             .arg(Aspas(codigo), Aspas(variante))
                             .arg(i + 1)
                             .arg(Aspas(materiais[i]), PermanecePonto(qtde),
                                  Aspas(i < 8 ? QStringLiteral("%") : QStringLiteral("GL")));
        }
    }
    const QString arquivoReceitas = pasta.filePath(QStringLiteral("receitas.csv"));
    Grava(arquivoReceitas, receitas);
    MedeArquivo(db, QStringLiteral("import 2,000 recipes of 12 items"), QStringLiteral("Receitas"),
                arquivoReceitas,
                QStringLiteral(
                    "SELECT R.CODIGO, R.VARIANTE, R.DESCRICAO, R.COR, M.ORDEN, M.CODIGO, M.QTDE, M.UNIDADE "
                    "FROM RECEITA R LEFT JOIN MAT_TIN M ON M.RECEITA = R.CODIGO AND M.VARIANTE = R.VARIANTE"),
                insercoes);
}
