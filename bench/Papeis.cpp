#include "DBControls.h"
#include "DataSet.h"
#include "DataSetModel.h"
#include "Estacao.h"
#include "Funcoes.h"
#include "LeiturasEtiqueta.h"
#include "LocalSettings.h"
#include "Medicao.h"
#include "ScreenDriver.h"
#include "SimuladorBalanca.h"
#include "TZoDatabase.h"
#include <QDate>
#include <QDateEdit>
#include <QPointer>
#include <QTemporaryDir>

// What each role of a dye-house office does during a day, through the screens as its user works them. The
// stations share one customer: the clerk's invoices are the ones the planners and the lot-sheet desk take
// weight from, so their saves meet on the same rows.
namespace {
const QString kFuncionario = QStringLiteral("99999");
const QString kMaquinaChao = QStringLiteral("ZZ1");

// The screen of that class this station has open, opened when it is not.
QWidget* tela(Bancada& b, const QString& classe) {
    if (QWidget* aberta = b.driver.Screen()) {
        if (aberta->isVisible() && QLatin1String(aberta->metaObject()->className()) == classe)
            return aberta;
        b.driver.Close();
    }
    return b.driver.Open(classe);
}

TDataSet& dados(Bancada& b, const char* nome) {
    auto* d = b.driver.Screen()->findChild<TDataSet*>(QLatin1String(nome));
    if (!d)
        throw std::runtime_error(std::string("sem o conjunto de dados ") + nome);
    return *d;
}

QString numero(int n, int casas) {
    return QStringLiteral("%1").arg(n, casas, 10, QLatin1Char('0'));
}

double soma(TDataSet& d, const char* campo) {
    double total = 0;
    for (int linha = 0; linha < d.RecordCount(); ++linha) {
        d.MoveTo(linha);
        total += d.FieldByName(QLatin1String(campo)).AsFloat();
    }
    return total;
}

// ---- the invoice clerk

void incluiNota(Bancada& b) {
    tela(b, QStringLiteral("TfmTngNFEntra"));
    const QString nota = QStringLiteral("8%1%2").arg(b.estacao).arg(numero(++b.contador, 7));
    b.driver.Click(QStringLiteral("BitBtn12"));
    b.driver.Type(QStringLiteral("EdtNota"), nota);
    b.driver.Type(QStringLiteral("EdtCliente"), b.dia.cliente);
    b.driver.Type(QStringLiteral("EdtNatureza"), QStringLiteral("1901"));
    TDataSet& itens = dados(b, "TbItens");
    const int n = b.Sorteia(5, 40);
    double total = 0;
    for (int i = 0; i < n; ++i) {
        const double peso = b.Sorteia(40, 500) / 2.0;
        itens.Append();
        itens.FieldByName(QStringLiteral("Codigo")) = b.Escolhe(b.dia.tecidos);
        itens.FieldByName(QStringLiteral("Lote")) = QStringLiteral("E%1-%2").arg(nota.right(6)).arg(i);
        itens.FieldByName(QStringLiteral("Peso_Real")) = peso;
        itens.Post();
        total += peso;
    }
    b.Aguarda();
    b.driver.Click(QStringLiteral("SpeedButton16"));
    b.Anota([&b, nota] { return b.meus[QStringLiteral("nota")] << nota, QString(); });
    b.Anota(QStringLiteral("NOTA|%1|%2|%3|%4").arg(nota, b.dia.cliente).arg(n).arg(total, 0, 'f', 3));
}

void alteraNota(Bancada& b) {
    if (b.meus.value(QStringLiteral("nota")).isEmpty())
        return incluiNota(b);
    tela(b, QStringLiteral("TfmTngNFEntra"));
    const QString nota = b.Escolhe(b.meus.value(QStringLiteral("nota")));
    b.mensagens.searches.enqueue(nota + QLatin1Char('/') + b.dia.cliente);
    b.driver.Click(QStringLiteral("btnConsultar"));
    b.driver.Click(QStringLiteral("BitBtn23"));
    // A kilogram more on one item, typed as the screen shows weights; while a lot sheet holds the invoice its
    // items cannot be edited, and the remark is what changes.
    auto* grade = b.driver.Get<TZoDBGrid>(QStringLiteral("DBGrid1"));
    TDataSet& itens = *grade->DataSet();
    b.driver.Row(QStringLiteral("DBGrid1"), b.Sorteia(0, itens.RecordCount() - 1));
    if (grade->model()->flags(grade->currentIndex()) & Qt::ItemIsEditable) {
        const double peso = itens.FieldByName(QStringLiteral("Peso_Real")).AsFloat() + 1;
        b.driver.Cell(QStringLiteral("DBGrid1"), QStringLiteral("Peso_Real"),
                      QString::number(peso, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(',')));
    } else {
        b.driver.Type(QStringLiteral("EdtObservacao"), QStringLiteral("CARGA %1").arg(++b.contador));
    }
    const double total = soma(itens, "Peso_Real");
    b.Aguarda();
    b.driver.Click(QStringLiteral("SpeedButton16"));
    b.Anota(QStringLiteral("NOTA|%1|%2|%3|%4")
                .arg(nota, b.dia.cliente)
                .arg(itens.RecordCount())
                .arg(total, 0, 'f', 3));
}

QPair<QDate, QDate> mes(Bancada& b) {
    const QDate inicio(b.Sorteia(2022, 2026), b.Sorteia(1, 11), 1);
    return {inicio, inicio.addMonths(1).addDays(-1)};
}

// A month's list on a screen's consult page: the period typed, the search button pressed.
void consultaDoMes(Bancada& b, const QString& classe, const char* de, const char* ate, const char* botao) {
    tela(b, classe);
    b.driver.Page(QStringLiteral("PageControl1"), QStringLiteral("Acesso"));
    const auto [inicio, fim] = mes(b);
    b.driver.Type(QLatin1String(de), inicio.toString(QStringLiteral("dd/MM/yyyy")));
    b.driver.Type(QLatin1String(ate), fim.toString(QStringLiteral("dd/MM/yyyy")));
    b.Aguarda();
    b.driver.Click(QLatin1String(botao));
}

void notasDoMes(Bancada& b) {
    consultaDoMes(b, QStringLiteral("TfmTngNFEntra"), "EdtDataIni", "EdtDataFim", "BitBtn5");
}

// ---- the planners: each its own programme of the shared customer and the lot sheet it makes

QString programa(const Bancada& b) {
    return QStringLiteral("9990") + numero(b.estacao, 2);
}

QString falDoPrograma(const Bancada& b) {
    return QStringLiteral("96") + numero(b.estacao, 2) + QStringLiteral("000");
}

void carregaPrograma(Bancada& b) {
    tela(b, QStringLiteral("TFmTngProg"));
    b.driver.Page(QStringLiteral("PageControl1"), QStringLiteral("Cadastro"));
    b.driver.Type(QStringLiteral("EdtLote"), QString());
    b.driver.Type(QStringLiteral("EdtLote"), programa(b));
    b.driver.Press(QStringLiteral("Tab"));
}

// The first half of the programme goes to the planner's sheet; the rest stays open for the programme's
// own saves. Ticked as a click on the check column does.
void marcaMetade(Bancada& b) {
    auto* grade = b.driver.Get<TZoDBGrid>(QStringLiteral("DBGrid1"));
    QAbstractItemModel* modelo = grade->model();
    const int coluna = DataSetModel::Of(grade->DataSet())->ColumnOfField(QStringLiteral("Gerar"));
    for (int linha = 0; linha < modelo->rowCount(); ++linha)
        modelo->setData(modelo->index(linha, coluna),
                        linha < modelo->rowCount() / 2 ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
}

void anotaFal(Bancada& b, const QString& fal) {
    // Read once the operation is over, as it was stored.
    TZoDatabase& db = b.db;
    b.Anota([&db, fal] {
        return QStringLiteral("FAL|%1|%2")
            .arg(fal, Escalar(db, QStringLiteral("SELECT COUNT(*) || '|' || CAST(COALESCE(SUM(PESO), 0) AS "
                                                 "NUMERIC(15, 3)) FROM FAL_ITEN WHERE FAL = %1")
                                      .arg(Aspas(fal))));
    });
}

void geraFal(Bancada& b) {
    carregaPrograma(b);
    marcaMetade(b);
    b.mensagens.inputs.enqueue(falDoPrograma(b));
    b.mensagens.questions.enqueue(true);
    b.esperadas << QStringLiteral("FAL Gerada Com Sucesso.");
    b.Aguarda();
    b.driver.Click(QStringLiteral("BitBtn5"));
    anotaFal(b, falDoPrograma(b));
}

void atualizaFal(Bancada& b) {
    carregaPrograma(b);
    if (dados(b, "TbItens").FieldByName(QStringLiteral("Fal")).AsString().trimmed().isEmpty())
        return geraFal(b);
    marcaMetade(b);
    // Each selected item a kilogram up, or down while it weighs more than two.
    for (int linha = 0; linha < b.driver.Rows(QStringLiteral("DBGrid1")) / 2; ++linha) {
        b.driver.Row(QStringLiteral("DBGrid1"), linha);
        const double peso = dados(b, "TbItens").FieldByName(QStringLiteral("Peso")).AsFloat();
        b.driver.Cell(QStringLiteral("DBGrid1"), QStringLiteral("Peso"),
                      QString::number(peso > 2 && b.rng.bounded(2) ? peso - 1 : peso + 1));
    }
    b.esperadas << QStringLiteral("FAL Atualizada.");
    b.Aguarda();
    b.driver.Click(QStringLiteral("BitBtn9"));
    anotaFal(b, falDoPrograma(b));
}

void gravaPrograma(Bancada& b) {
    carregaPrograma(b);
    // Rows already in a sheet change only through the sheet's update: the save is the open rows'.
    const QString marca = QStringLiteral("CARGA %1 %2").arg(b.estacao).arg(++b.contador);
    int abertas = 0;
    for (int linha = 0; linha < b.driver.Rows(QStringLiteral("DBGrid1")); ++linha) {
        b.driver.Row(QStringLiteral("DBGrid1"), linha);
        if (!dados(b, "TbItens").FieldByName(QStringLiteral("Fal")).AsString().trimmed().isEmpty())
            continue;
        b.driver.Cell(QStringLiteral("DBGrid1"), QStringLiteral("Observacao"), marca);
        ++abertas;
    }
    b.Aguarda();
    b.driver.Click(QStringLiteral("BitBtn1"));
    b.Anota(QStringLiteral("PROG|%1|%2|%3").arg(programa(b), marca).arg(abertas));
}

// The dyeing order the programme writes back for the knitting side: the lots its sheets took since the last
// one; none before the first sheet.
void ordemTinturaria(Bancada& b) {
    carregaPrograma(b);
    const QString gerada = QStringLiteral("Ordem de Tinturaria Gerada: ") + programa(b);
    b.esperadas << gerada + QStringLiteral(" (nenhum item novo).")
                << QStringLiteral("Código, Cor ou FAL inválidos. Impossível continuar.");
    for (int itens = 1; itens <= 10; ++itens)
        b.esperadas << QStringLiteral("%1 (%2 item(ns) incluído(s)).").arg(gerada).arg(itens);
    b.Aguarda();
    b.driver.Menu(QStringLiteral("GeraTinturaria"));
}

void programasDoMes(Bancada& b) {
    consultaDoMes(b, QStringLiteral("TFmTngProg"), "DtDigIni", "DtDigFim", "BitBtn4");
}

// ---- the lot-sheet desk

void carregaFal(Bancada& b, const QString& fal) {
    tela(b, QStringLiteral("TFmCadFal"));
    b.driver.Page(QStringLiteral("PageControl1"), QStringLiteral("Cadastro"));
    b.driver.Type(QStringLiteral("EdtFal"), fal);
    b.driver.Press(QStringLiteral("Tab"));
}

void novaFal(Bancada& b) {
    // Invoice items of the customer with weight free, each the only lot of its fabric on its invoice, so
    // that typing the fabric picks it.
    const QStringList itens = Linhas(
        b.db, QStringLiteral("SELECT FIRST %1 SKIP %2 I.NOTA, I.CODIGO FROM NFITIN I WHERE I.CODCLI = %3 "
                             "AND I.PESO >= 20 AND NOT EXISTS (SELECT 1 FROM NFITIN J WHERE J.NOTA = "
                             "I.NOTA AND J.CODCLI = I.CODCLI AND J.CODIGO = I.CODIGO AND J.LOTE <> "
                             "I.LOTE) ORDER BY I.NOTA DESC, I.CODIGO")
                  .arg(b.Sorteia(3, 8))
                  .arg(b.Sorteia(0, 40))
                  .arg(Aspas(b.dia.cliente)));
    const QString fal = QStringLiteral("95") + numero(b.estacao, 2) + numero(++b.contador, 3);
    carregaFal(b, fal);
    b.driver.Type(QStringLiteral("EdtCodCli"), b.dia.cliente);
    b.driver.Type(QStringLiteral("EdtCor"), b.dia.cor);
    b.driver.Type(QStringLiteral("EdtVariante"), b.dia.variante);
    b.driver.Type(QStringLiteral("EdtRoteiro"), b.dia.roteiro);
    b.driver.Type(QStringLiteral("EdtMaquina"), b.dia.maquina);
    for (int i = 0; i < itens.size(); ++i) {
        const QStringList item = itens[i].split(QLatin1Char('|'));
        b.driver.Row(QStringLiteral("DBGrid1"), i);
        b.driver.Cell(QStringLiteral("DBGrid1"), QStringLiteral("NF"), item.value(0));
        b.driver.Cell(QStringLiteral("DBGrid1"), QStringLiteral("Tecido"), item.value(1));
        b.driver.Cell(QStringLiteral("DBGrid1"), QStringLiteral("Rolo"), QStringLiteral("4"));
        b.driver.Cell(QStringLiteral("DBGrid1"), QStringLiteral("Peso"), QStringLiteral("10"));
    }
    b.Aguarda();
    b.driver.Click(QStringLiteral("BtnIncluir"));
    b.Anota([&b, fal] { return b.meus[QStringLiteral("fal")] << fal, QString(); });
    anotaFal(b, fal);
}

void regravaFal(Bancada& b) {
    if (b.meus.value(QStringLiteral("fal")).isEmpty())
        return novaFal(b);
    const QString fal = b.Escolhe(b.meus.value(QStringLiteral("fal")));
    carregaFal(b, fal);
    const int linhas = b.driver.Rows(QStringLiteral("DBGrid1"));
    for (int i = 0; i < linhas; ++i) {
        b.driver.Row(QStringLiteral("DBGrid1"), i);
        b.driver.Cell(QStringLiteral("DBGrid1"), QStringLiteral("Peso"), QString::number(b.Sorteia(9, 11)));
    }
    b.Aguarda();
    b.driver.Click(QStringLiteral("BtnIncluir"));
    anotaFal(b, fal);
}

void copiaFal(Bancada& b) {
    if (b.meus.value(QStringLiteral("fal")).isEmpty())
        return novaFal(b);
    carregaFal(b, b.Escolhe(b.meus.value(QStringLiteral("fal"))));
    b.Aguarda();
    b.driver.Click(QStringLiteral("BitBtn8"));
    const QString copia = b.driver.Text(QStringLiteral("EdtFal"));
    b.driver.Click(QStringLiteral("BtnIncluir"));
    b.Anota([&b, copia] { return b.meus[QStringLiteral("fal")] << copia, QString(); });
    anotaFal(b, copia);
}

// A piece of every item split off into a new sheet, the pieces answered item by item.
void desmembraFal(Bancada& b) {
    if (b.meus.value(QStringLiteral("fal")).isEmpty())
        return novaFal(b);
    const QString origem = b.Escolhe(b.meus.value(QStringLiteral("fal")));
    carregaFal(b, origem);
    for (int i = 0; i < b.driver.Rows(QStringLiteral("DBGrid1")); ++i)
        b.mensagens.inputs.enqueue(QStringLiteral("1"));
    const QString nova = QStringLiteral("95") + numero(b.estacao, 2) + numero(++b.contador, 3);
    b.mensagens.inputs.enqueue(nova);
    b.esperadas << QStringLiteral("Processo concluído.");
    b.Aguarda();
    b.driver.Click(QStringLiteral("btnDesmembrar"));
    b.Anota([&b, nova] { return b.meus[QStringLiteral("fal")] << nova, QString(); });
    anotaFal(b, origem);
    anotaFal(b, nova);
}

void excluiFal(Bancada& b) {
    QStringList& minhas = b.meus[QStringLiteral("fal")];
    if (minhas.size() < 3)
        return novaFal(b);
    const QString fal = minhas.takeAt(b.Sorteia(0, int(minhas.size()) - 1));
    carregaFal(b, fal);
    b.mensagens.questions.enqueue(true);
    b.Aguarda();
    b.driver.Click(QStringLiteral("BtnExclui"));
    anotaFal(b, fal);
}

// ---- the lab

void carregaReceita(Bancada& b, const QString& codigo, const QString& variante) {
    tela(b, QStringLiteral("TfmTngReceita"));
    b.driver.Page(QStringLiteral("PageControl1"), QStringLiteral("Cadastro"));
    b.driver.Type(QStringLiteral("EdtCodigo"), codigo);
    b.driver.Type(QStringLiteral("EdtCodVar"), variante);
    b.driver.Press(QStringLiteral("Tab"));
}

void abreReceita(Bancada& b) {
    carregaReceita(b, numero(b.Sorteia(0, 2499), 4), numero(b.Sorteia(1, 4), 2));
}

// One of the recipes the day's preparation found whole, given a curve and a bath, with a remark.
void gravaReceita(Bancada& b) {
    const QStringList receita = b.Escolhe(b.meus.value(QStringLiteral("receitas"))).split(QLatin1Char('|'));
    const QString codigo = receita.value(0), variante = receita.value(1);
    carregaReceita(b, codigo, variante);
    const QString marca = QStringLiteral("CARGA %1 %2").arg(b.estacao).arg(++b.contador);
    const QStringList curva = b.Escolhe(b.meus.value(QStringLiteral("curvas"))).split(QLatin1Char('|'));
    b.driver.Type(QStringLiteral("EdtCodGra"), curva.value(0));
    b.driver.Type(QStringLiteral("EdtCodBan"), curva.value(1));
    b.driver.Type(QStringLiteral("EdtObs"), marca);
    b.Aguarda();
    b.driver.Click(QStringLiteral("BitBtn5"));
    b.Anota(QStringLiteral("RECEITA|%1|%2|%3").arg(codigo, variante, marca));
}

void substituiProduto(Bancada& b) {
    tela(b, QStringLiteral("TFmSubstRec"));
    const bool ida = b.contador++ % 2 == 0;
    b.driver.Type(QStringLiteral("EdtCodMat"), ida ? QStringLiteral("M00010") : QStringLiteral("M00799"));
    b.driver.Type(QStringLiteral("EdtCodMat2"), ida ? QStringLiteral("M00799") : QStringLiteral("M00010"));
    b.driver.Type(QStringLiteral("EdtIndice"), QStringLiteral("1"));
    b.mensagens.questions.enqueue(true);
    b.esperadas << QStringLiteral("Concluído");
    b.Aguarda();
    b.driver.Click(QStringLiteral("BitBtn1"));
}

// ---- the floor: steps of the day's lots concluded

void carregaPassos(Bancada& b, const QString& fal) {
    tela(b, QStringLiteral("TfmTngMov"));
    b.driver.Type(QStringLiteral("EdtFalMov"), fal);
    b.driver.Press(QStringLiteral("Tab"));
}

void abrePassos(Bancada& b) {
    carregaPassos(b, b.Escolhe(b.meus.value(QStringLiteral("lotes"))));
}

void concluiPassos(Bancada& b) {
    const QString fal = b.Escolhe(b.meus.value(QStringLiteral("lotes")));
    carregaPassos(b, fal);
    TDataSet& passos = dados(b, "TbMov");
    const QDate hoje = QDate::currentDate();
    int concluidos = 0, faltam = b.Sorteia(1, 3);
    for (int linha = 0; linha < passos.RecordCount(); ++linha) {
        passos.MoveTo(linha);
        if (passos.FieldByName(QStringLiteral("Concluido")).AsString() != QLatin1String("S") &&
            faltam-- > 0) {
            passos.Edit();
            for (const auto& [campo, valor] : {std::pair{"Concluido", QVariant(QStringLiteral("S"))},
                                               {"Funcionario", kFuncionario},
                                               {"Maquina", kMaquinaChao},
                                               {"Data_Inicio", hoje.toString(QStringLiteral("dd/MM/yyyy"))},
                                               {"Hora_Inicio", QStringLiteral("08:00")},
                                               {"Data_Fim", hoje.toString(QStringLiteral("dd/MM/yyyy"))},
                                               {"Hora_Fim", QStringLiteral("09:00")},
                                               {"Data", hoje}})
                passos.FieldByName(QLatin1String(campo)) = valor;
            passos.Post();
        }
        concluidos += passos.FieldByName(QStringLiteral("Concluido")).AsString() == QLatin1String("S");
    }
    b.Aguarda();
    b.driver.Click(QStringLiteral("BtnGravar"));
    // The sheet shows one row per step of the route, whichever items it holds.
    b.Anota(QStringLiteral("PASSOS|%1|%2").arg(fal).arg(concluidos));
}

// ---- the dye-house kitchen: a lot's batch recipe issued and written off, now and then reversed

void carregaEmissao(Bancada& b, const QString& fal) {
    tela(b, QStringLiteral("TFmRelRec"));
    b.driver.Click(QStringLiteral("BtLimpar"));
    if (b.driver.Text(QStringLiteral("ChkBaixaEstoque")) != QLatin1String("S"))
        b.driver.Click(QStringLiteral("ChkBaixaEstoque"));
    b.driver.Type(QStringLiteral("EdtFal"), fal);
    b.driver.Press(QStringLiteral("Tab"));
    // A sheet written off today shows its lines and says so.
    b.esperadas << QStringLiteral("Materiais baixados do estoque dia %1.")
                       .arg(QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
}

// The lines the years recorded are computed again, printed to PDF, recorded and written off.
void emiteReceita(Bancada& b) {
    const QString fal = b.Escolhe(b.meus.value(QStringLiteral("lotes")));
    carregaEmissao(b, fal);
    b.mensagens.questions.enqueue(false); // the reserves: computed again
    b.driver.Click(QStringLiteral("BtConfirmar"));
    b.mensagens.questions << true << true; // printed again, written off
    b.mensagens.choices.enqueue(2);        // a lot short: go on
    b.Aguarda();
    b.driver.Click(QStringLiteral("BtImprimir"));
    b.meus[QStringLiteral("emitidas")] << fal;
}

void estornaReceita(Bancada& b) {
    if (b.meus.value(QStringLiteral("emitidas")).isEmpty())
        return emiteReceita(b);
    const QString fal = b.Escolhe(b.meus.value(QStringLiteral("emitidas")));
    carregaEmissao(b, fal);
    b.mensagens.questions.enqueue(true);
    b.driver.Click(QStringLiteral("BtConfirmar"));
    if (!b.driver.Enabled(QStringLiteral("BtEstornar")))
        return;
    b.Aguarda();
    b.driver.Click(QStringLiteral("BtEstornar"));
}

// ---- the kitchen's scale: a sheet's recorded lines weighed (the scale sends what each line calls for) and
// written off

void pesaConsumos(Bancada& b) {
    tela(b, QStringLiteral("TFmTngBaiRec"));
    b.driver.Type(QStringLiteral("EdtFal"), b.Escolhe(b.meus.value(QStringLiteral("pesar"))));
    // Another station's recipe issue may have taken the sheet's lines back meanwhile.
    b.esperadas << QStringLiteral("A receita não foi gerada.");
    b.driver.Click(QStringLiteral("BtConsultar"));
    TDataSet& linhas = dados(b, "TbReceita");
    if (linhas.IsEmpty())
        return;
    QTemporaryDir pasta;
    for (int linha = 0; linha < std::min(3, linhas.RecordCount()); ++linha) {
        linhas.MoveTo(linha);
        // A scale standing on just what the line calls for, from the moment its port is opened.
        const SimuladorBalanca balanca(
            pasta.filePath(QString::number(linha)),
            SimuladorBalanca::Repete(QStringLiteral("%1 g\\r").arg(
                linhas.FieldByName(QStringLiteral("Consumo")).AsFloat(), 0, 'f', 3)));
        b.driver.Type(QStringLiteral("EdtPorta"), balanca.Porta());
        b.driver.Row(QStringLiteral("DBGrid1"), linha);
        b.driver.Press(QStringLiteral("F5"), QStringLiteral("DBGrid1"));
    }
    b.mensagens.questions.enqueue(true);
    for (int n = 1; n <= 3; ++n)
        b.esperadas << QStringLiteral("%1 consumo(s) baixado(s) do estoque.").arg(n);
    b.esperadas << QStringLiteral("Consumo já baixado do estoque.")
                << QStringLiteral("Nenhum consumo pesado e aceito para baixar.");
    b.Aguarda();
    b.driver.Click(QStringLiteral("BtBaixar"));
}

// The floor supervisor's day sheet of one employee (one per station, so stations never share a sheet): a
// day of the last month loaded, a lot worked typed at its end, the sheet saved.
void folhaDoDia(Bancada& b) {
    tela(b, QStringLiteral("TfmCadProd"));
    b.driver.Type(QStringLiteral("edtData"),
                  QDate::currentDate().addDays(-b.Sorteia(0, 30)).toString(QStringLiteral("dd/MM/yyyy")));
    b.driver.Press(QStringLiteral("Tab"));
    b.driver.Type(QStringLiteral("edtCodFunc"), numero(1 + b.estacao % 60, 5));
    b.driver.Press(QStringLiteral("Tab"));
    b.driver.Row(QStringLiteral("DBGrid1"), b.driver.Rows(QStringLiteral("DBGrid1")));
    const int inicio = b.Sorteia(6 * 60, 22 * 60);
    const auto hora = [](int minutos) {
        return QStringLiteral("%1:%2").arg(numero(minutos / 60 % 24, 2), numero(minutos % 60, 2));
    };
    for (const auto& [campo, valor] :
         {std::pair{"CODCLI", b.dia.cliente}, std::pair{"CODIGO", b.Escolhe(b.dia.tecidos)},
          std::pair{"MAQUINA", b.dia.maquina}, std::pair{"HORA_INI", hora(inicio)},
          std::pair{"HORA_FIM", hora(inicio + b.Sorteia(60, 300))},
          std::pair{"PESO", QString::number(b.Sorteia(20, 400))}, std::pair{"TIPO", QStringLiteral("001")}})
        b.driver.Cell(QStringLiteral("DBGrid1"), QLatin1String(campo), valor);
    b.Aguarda();
    b.driver.Click(QStringLiteral("btGravar"));
}

// A finished sheet's roll weighed on a scale standing on it, recorded and its label written as a PDF.
void etiquetaRolo(Bancada& b) {
    tela(b, QStringLiteral("TFmRelEtq"));
    b.driver.Type(QStringLiteral("EdtFal"), b.Escolhe(b.meus.value(QStringLiteral("etiquetar"))));
    b.driver.Press(QStringLiteral("Tab"));
    b.esperadas << QStringLiteral("Processos Pendentes na Produção.") << kPecaRegistrada;
    b.driver.Click(QStringLiteral("btnConfirmar"));
    TDataSet& rolos = dados(b, "TbRelatorio");
    if (rolos.IsEmpty())
        return;
    const int linha = b.Sorteia(0, rolos.RecordCount() - 1);
    QTemporaryDir pasta;
    const SimuladorBalanca balanca(
        pasta.filePath(QStringLiteral("balanca")),
        SimuladorBalanca::Repete(QStringLiteral("%1 kg\\r").arg(18 + linha * 0.35, 0, 'f', 2)));
    GravaIni(QStringLiteral("Parametros"), QStringLiteral("Porta"), balanca.Porta());
    b.driver.Row(QStringLiteral("DBGrid1"), linha);
    b.Aguarda();
    b.driver.Press(QStringLiteral("F5"), QStringLiteral("DBGrid1"));
}

// ---- the print shop: a design's screens saved again; a printed lot sheet computed, printed and written off

void gravaDesenho(Bancada& b) {
    const QStringList desenho = b.Escolhe(b.meus.value(QStringLiteral("desenhos"))).split(QLatin1Char('|'));
    tela(b, QStringLiteral("TFmTngConsEst"));
    b.driver.Type(QStringLiteral("EdtEstampa"), desenho.value(0));
    b.driver.Press(QStringLiteral("Tab"));
    b.driver.Type(QStringLiteral("EdtVariante"), desenho.value(1));
    b.driver.Press(QStringLiteral("Tab"));
    b.mensagens.choices.enqueue(2); // a paste without cost: go on
    b.Aguarda();
    b.driver.Click(QStringLiteral("BtGravar"));
}

void fichaEstampa(Bancada& b) {
    tela(b, QStringLiteral("TFmRelTngEst"));
    b.driver.Type(QStringLiteral("EdtFal"), b.Escolhe(b.meus.value(QStringLiteral("estampadas"))));
    b.driver.Press(QStringLiteral("Tab"));
    b.driver.Type(QStringLiteral("EdtIndice"), QStringLiteral("1"));
    b.driver.Type(QStringLiteral("EdtDeposito"), QStringLiteral("0001"));
    if (b.driver.Text(QStringLiteral("ChkBaixaEstoque")) != QLatin1String("S"))
        b.driver.Click(QStringLiteral("ChkBaixaEstoque"));
    b.driver.Click(QStringLiteral("BtConfirmar"));
    // The pastes to the dispensing station, into a folder of the operation's own.
    QTemporaryDir dosadora;
    b.mensagens.files.enqueue(dosadora.filePath(QStringLiteral("receita.xml")));
    b.esperadas << QStringLiteral("XML gerado com sucesso.")
                << QStringLiteral("Nenhuma pasta marcada a enviar.");
    b.driver.Menu(QStringLiteral("Enviarreceita1"));
    b.mensagens.questions << true << true; // printed before: again; write off
    b.esperadas << QStringLiteral("Estoque baixado com sucesso.")
                << QStringLiteral("Nenhum componente a baixar.");
    b.Aguarda();
    b.driver.Click(QStringLiteral("BtImprimir"));
    b.driver.Close();
}

// ---- the planners' map: a queued sheet moved one position later or earlier

void moveNoMapa(Bancada& b) {
    tela(b, QStringLiteral("TfmRelTngGantt"));
    b.driver.Page(QStringLiteral("PageControl1"), QStringLiteral("Programação"));
    b.driver.Type(QStringLiteral("EdtCodFase"), b.Escolhe(b.meus.value(QStringLiteral("fases"))));
    b.driver.Press(QStringLiteral("Tab"));
    b.driver.Click(QStringLiteral("BtnAtualizar"));
    const int linhas = b.driver.Rows(QStringLiteral("TIDBGrid1"));
    if (linhas == 0)
        return;
    b.driver.Row(QStringLiteral("TIDBGrid1"), b.Sorteia(0, linhas - 1));
    b.Aguarda();
    b.driver.Menu(b.Sorteia(0, 1) ? QStringLiteral("Adiar1") : QStringLiteral("Antecipar1"));
}

// ---- management

// The last month's sheets not started, at the expedition desk.
void expedicaoDoMes(Bancada& b) {
    tela(b, QStringLiteral("TFmTngExpFal"));
    const auto [de, ate] = mes(b);
    b.driver.Type(QStringLiteral("EdtDataDe"), de.toString(QStringLiteral("dd/MM/yyyy")));
    b.driver.Type(QStringLiteral("EdtDataAte"), ate.toString(QStringLiteral("dd/MM/yyyy")));
    if (b.driver.Enabled(QStringLiteral("RgStatus")))
        b.driver.Select(QStringLiteral("RgStatus"), QStringLiteral("Não Iniciado"));
    b.Aguarda();
    b.driver.Click(QStringLiteral("BtnConsultar"));
}

// A quotation of the years opened, one item's chemical cost typed and priced, the quotation saved (what the
// user waits on); and a month of quotations searched.
void orcamento(Bancada& b) {
    tela(b, QStringLiteral("TFmTngOrcaCor"));
    b.driver.Page(QStringLiteral("PageControl1"), QStringLiteral("Orçamento"));
    b.driver.Type(QStringLiteral("EdtNumero"), numero(b.Sorteia(1, 2000), 6));
    b.driver.Press(QStringLiteral("Tab"));
    const int linhas = b.driver.Rows(QStringLiteral("DBGrid1"));
    if (linhas == 0)
        return;
    b.driver.Row(QStringLiteral("DBGrid1"), b.Sorteia(0, linhas - 1));
    b.driver.Cell(QStringLiteral("DBGrid1"), QStringLiteral("Quimico"),
                  QStringLiteral("%1,%2").arg(b.Sorteia(1, 4)).arg(b.Sorteia(10, 99)));
    b.mensagens.choices.enqueue(2); // a colour quoted twice: go on
    b.Aguarda();
    b.driver.Click(QStringLiteral("BitBtn1"));
}

void orcamentosDoMes(Bancada& b) {
    tela(b, QStringLiteral("TFmTngOrcaCor"));
    const auto [de, ate] = mes(b);
    b.driver.Page(QStringLiteral("PageControl1"), QStringLiteral("Consulta"));
    b.driver.Type(QStringLiteral("EdtDataIni"), de.toString(QStringLiteral("dd/MM/yyyy")));
    b.driver.Type(QStringLiteral("EdtDataFim"), ate.toString(QStringLiteral("dd/MM/yyyy")));
    b.Aguarda();
    b.driver.Click(QStringLiteral("BitBtn9"));
}

// The machines' board, open and following the floor's commits live, and a queued lot's details.
void quadroMaquinas(Bancada& b) {
    QWidget* tela_ = tela(b, QStringLiteral("TFmTngQuadroProg"));
    QStringList grades;
    for (const QWidget* w : tela_->findChildren<QWidget*>())
        if (w->objectName().startsWith(QStringLiteral("Grid")) && b.driver.Rows(w->objectName()) > 0)
            grades << w->objectName();
    if (grades.isEmpty())
        return;
    b.driver.Page(QStringLiteral("PageControl1"), QStringLiteral("Máquinas"));
    const QString grade = b.Escolhe(grades);
    b.driver.Row(grade, b.Sorteia(0, b.driver.Rows(grade) - 1));
    b.Aguarda();
    b.driver.DoubleClick(grade);
}

void falsDoMes(Bancada& b) {
    // The sheet left on the other page may be written off: the screen says so on the way.
    b.esperadas << QStringLiteral("FAL já baixada. Disponível apenas para consulta.");
    tela(b, QStringLiteral("TFmCadFal"));
    b.driver.Page(QStringLiteral("PageControl1"), QStringLiteral("Consulta"));
    const auto [de, ate] = mes(b);
    b.driver.Get<QDateEdit>(QStringLiteral("EdtConsDataIni"))->setDate(de);
    b.driver.Get<QDateEdit>(QStringLiteral("EdtConsDataFin"))->setDate(ate);
    b.Aguarda();
    b.driver.Click(QStringLiteral("BitBtn5"));
}

// An invoice found through the screen's look-up and shown with its items.
void procuraNota(Bancada& b) {
    tela(b, QStringLiteral("TfmTngNFEntra"));
    b.mensagens.searches.enqueue(b.Escolhe(b.meus.value(QStringLiteral("notas"))));
    b.Aguarda();
    b.driver.Click(QStringLiteral("btnConsultar"));
}

void imprimeFal(Bancada& b) {
    // Most sheets of the years are written off: the screen says so as it shows one.
    b.esperadas << QStringLiteral("FAL já baixada. Disponível apenas para consulta.");
    carregaFal(b, numero(b.Sorteia(150000, 200000), 7));
    b.Aguarda();
    b.driver.Click(QStringLiteral("BitBtn3"));
}
// A management report of a month, confirmed and printed.
void relatorioDoMes(Bancada& b, const QString& classe) {
    const auto [de, ate] = mes(b);
    const QString ini = de.toString(QStringLiteral("dd/MM/yyyy")),
                  fim = ate.toString(QStringLiteral("dd/MM/yyyy"));
    tela(b, classe);
    if (classe == QLatin1String("TFmRelTngFat")) {
        b.driver.Type(QStringLiteral("DtFatIni"), ini);
        b.driver.Type(QStringLiteral("DtFatFim"), fim);
    } else {
        b.driver.Type(QStringLiteral("EdtDataIni"), ini);
        b.driver.Type(QStringLiteral("EdtDataFim"), fim);
    }
    if (classe == QLatin1String("TFmRelFal")) {
        b.driver.Click(QStringLiteral("RgSitProd0"));
        b.driver.Click(QStringLiteral("RgSituacao0"));
    }
    b.Aguarda();
    b.driver.Click(QStringLiteral("BitBtn1"));
    if (b.driver.Enabled(QStringLiteral("BtImp")))
        b.driver.Click(QStringLiteral("BtImp"));
}
} // namespace

QList<Operacao> OperacoesDoPapel(const QString& papel) {
    if (papel == QLatin1String("nota"))
        return {{QStringLiteral("invoice included"), 3, incluiNota},
                {QStringLiteral("invoice altered"), 2, alteraNota},
                {QStringLiteral("invoices of a month consulted"), 1, notasDoMes}};
    if (papel == QLatin1String("programacao"))
        return {{QStringLiteral("programme opened"), 2, carregaPrograma},
                {QStringLiteral("programme saved, rows changed"), 2, gravaPrograma},
                {QStringLiteral("FAL generated from the programme"), 2, geraFal},
                {QStringLiteral("FAL updated from the programme"), 2, atualizaFal},
                {QStringLiteral("programmes of a month searched"), 1, programasDoMes},
                {QStringLiteral("production map: a sheet moved one position"), 1, moveNoMapa},
                {QStringLiteral("dyeing order written from the programme"), 1, ordemTinturaria}};
    if (papel == QLatin1String("fal"))
        return {{QStringLiteral("new FAL saved"), 3, novaFal},
                {QStringLiteral("FAL saved again, weights altered"), 3, regravaFal},
                {QStringLiteral("FAL copied and saved"), 1, copiaFal},
                {QStringLiteral("FAL split, a piece of each item to a new FAL"), 1, desmembraFal},
                {QStringLiteral("FAL deleted, weight given back"), 1, excluiFal}};
    if (papel == QLatin1String("laboratorio"))
        return {{QStringLiteral("recipe opened"), 3, abreReceita},
                {QStringLiteral("recipe saved with a remark"), 3, gravaReceita},
                {QStringLiteral("product replaced in every recipe"), 1, substituiProduto}};
    if (papel == QLatin1String("chao"))
        return {{QStringLiteral("process recording: FAL loaded"), 2, abrePassos},
                {QStringLiteral("process recording: steps concluded and saved"), 3, concluiPassos},
                {QStringLiteral("recipe issued: computed, printed and written off"), 2, emiteReceita},
                {QStringLiteral("recipe issue: write-off reversed"), 1, estornaReceita},
                {QStringLiteral("kitchen: lines weighed on the scale and written off"), 2, pesaConsumos},
                {QStringLiteral("labels: a finished sheet's roll weighed and labelled"), 2, etiquetaRolo},
                {QStringLiteral("day sheet: a lot typed into an employee's sheet and saved"), 1, folhaDoDia}};
    if (papel == QLatin1String("estamparia"))
        return {{QStringLiteral("print-shop register: design saved again"), 1, gravaDesenho},
                {QStringLiteral("print-shop sheet: computed, sent to dispensing, printed and written off"), 2,
                 fichaEstampa}};
    if (papel == QLatin1String("gestao"))
        return {{QStringLiteral("FALs of a month consulted"), 2, falsDoMes},
                {QStringLiteral("invoices of a month consulted"), 1, notasDoMes},
                {QStringLiteral("programmes of a month searched"), 1, programasDoMes},
                {QStringLiteral("FAL printed to PDF"), 1, imprimeFal},
                {QStringLiteral("invoice found through its look-up and shown"), 2, procuraNota},
                {QStringLiteral("machines' board: a queued lot's details"), 2, quadroMaquinas},
                {QStringLiteral("expedition desk: a month's sheets listed"), 1, expedicaoDoMes},
                {QStringLiteral("quotation: an item priced and the quotation saved"), 2, orcamento},
                {QStringLiteral("quotations of a month searched"), 1, orcamentosDoMes},
                {QStringLiteral("FAL report of a month, every state, printed"), 1,
                 [](Bancada& b) { relatorioDoMes(b, QStringLiteral("TFmRelFal")); }},
                {QStringLiteral("production report of a month printed"), 1,
                 [](Bancada& b) { relatorioDoMes(b, QStringLiteral("TFmRelTngMov")); }},
                {QStringLiteral("billing report of a month printed"), 1,
                 [](Bancada& b) { relatorioDoMes(b, QStringLiteral("TFmRelTngFat")); }},
                {QStringLiteral("machines report of a month printed"), 1,
                 [](Bancada& b) { relatorioDoMes(b, QStringLiteral("TFmRelTngMaq")); }},
                {QStringLiteral("indicators report of a month printed"), 1,
                 [](Bancada& b) { relatorioDoMes(b, QStringLiteral("TFmIndicadores")); }}};
    return {};
}
