#include "BenchCadProd.h"
#include "DBControls.h"
#include "HostContext.h"
#include "Medicao.h"
#include "ScreenDriver.h"
#include "TPesquisa.h"
#include <QDate>

namespace {
// The look-up lists a screen opens, caught as they open: what a user typing into one waits for.
class ListasAbertas : public ScriptedMessageService {
public:
    std::function<void(TPesquisa&)> aoAbrir;
    bool Search(QWidget* parent, TPesquisa& lista) override {
        if (aoAbrir)
            aoAbrir(lista);
        return ScriptedMessageService::Search(parent, lista);
    }
};

QString dataDe(const QString& iso) {
    return QDate::fromString(iso, Qt::ISODate).toString(QStringLiteral("dd/MM/yyyy"));
}
} // namespace

// An employee's two sheets of thirty rows among the years of sheets: one loaded as the date is left, one
// saved as a user saves it; the look-ups of lots, of a programmed lot's customers and of the stored sheets,
// each with a text typed, next to their statements fetched raw.
void BenchCadProd(TZoDatabase& db, ScriptedMessageService& messages) {
    const QStringList folhas =
        Linhas(db, QStringLiteral("SELECT FIRST 2 DATA_EMI, FUNCIONARIO FROM (SELECT DATA_EMI, FUNCIONARIO, "
                                  "COUNT(*) AS N FROM PRODUCAO1 WHERE FUNCIONARIO = '00007' GROUP BY 1, 2) "
                                  "WHERE N BETWEEN 28 AND 32 ORDER BY DATA_EMI DESC"));
    const QString partida =
        Escalar(db, QStringLiteral("SELECT MAX(PARTIDA) FROM TNG_PROG WHERE PARTIDA > '' AND CODCLI > ''"));
    if (folhas.size() < 2 || partida.isEmpty())
        return;
    const QString funcionario = folhas[0].section(QLatin1Char('|'), 1, 1);
    const QString a = dataDe(folhas[0].section(QLatin1Char('|'), 0, 0)),
                  b = dataDe(folhas[1].section(QLatin1Char('|'), 0, 0));
    TabelaBench& tabela = TabelaBench::Global();
    ListasAbertas listas;
    HostContext::Current()->SetMessages(&listas);
    {
        ScreenDriver driver(listas);
        driver.Open(QStringLiteral("TfmCadProd"));
        const auto abre = [&](const QString& data) {
            driver.Type(QStringLiteral("edtData"), data);
            driver.Press(QStringLiteral("Tab"));
            driver.Type(QStringLiteral("edtCodFunc"), funcionario);
            driver.Press(QStringLiteral("Tab"));
        };
        abre(a);
        const Medida carregada = Mede([&] { abre(a); },
                                      [&] {
                                          driver.Type(QStringLiteral("edtData"), b);
                                          driver.Press(QStringLiteral("Tab"));
                                      });
        MostraMensagens(listas, "folha: load");
        tabela.Linha(QStringLiteral("TngCadProd: a 30-row sheet loaded (date left)"), carregada, 0,
                     kInterativoMs);
        const Medida gravada = Mede([&] { abre(b); }, [&] { driver.Click(QStringLiteral("btGravar")); });
        MostraMensagens(listas, "folha: save");
        tabela.Linha(QStringLiteral("TngCadProd: a 30-row sheet saved"), gravada, 0, kInterativoMs);

        // Each list as it opens: the text typed into it, timed, then the list left.
        const auto digitado = [&](const QString& nome, const QString& texto,
                                  const std::function<void()>& abreLista) {
            listas.aoAbrir = [&](TPesquisa& lista) {
                const Medida m = Mede([&] { lista.Busca(texto); });
                tabela.Linha(QStringLiteral("TngCadProd look-up %1: '%2' typed").arg(nome, texto), m,
                             MotorMs(db, {lista.Statement(texto)}), kInterativoMs);
            };
            listas.searches.enqueue(QString());
            abreLista();
            listas.aoAbrir = nullptr;
            MostraMensagens(listas, "folha: look-up");
        };
        abre(a);
        auto* grade = driver.Get<TZoDBGrid>(QStringLiteral("DBGrid1"));
        const auto f4 = [&](const QString& campo) {
            return [&, campo] {
                grade->SelectField(campo);
                driver.Press(QStringLiteral("F4"), QStringLiteral("DBGrid1"));
            };
        };
        digitado(QStringLiteral("of lots"), partida.right(3), f4(QStringLiteral("PARTIDA")));
        driver.Cell(QStringLiteral("DBGrid1"), QStringLiteral("PARTIDA"), partida);
        digitado(QStringLiteral("of the lot's customers"), QStringLiteral("CLIENTE"),
                 f4(QStringLiteral("CODCLI")));
        digitado(QStringLiteral("of stored sheets"), QStringLiteral("FUNCIONARIO 1"),
                 [&] { driver.Click(QStringLiteral("btConsultar")); });
        listas.Clear();
        listas.choices.enqueue(1); // the lot typed for the look-ups is not saved
        driver.Close();
    }
    HostContext::Current()->SetMessages(&messages);
}
