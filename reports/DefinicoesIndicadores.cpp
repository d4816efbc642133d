#include "DefinicoesIndicadores.h"
#include <QHash>
#include <QLocale>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace {
// Numbers of 6 and 7 digits side by side: the shorter is the older.
bool NumeroAntes(const QString& a, const QString& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

QDate Menor(const QDate& a, const QDate& b) {
    return !a.isValid() ? b : (!b.isValid() ? a : std::min(a, b));
}
QDate Maior(const QDate& a, const QDate& b) {
    return !a.isValid() ? b : (!b.isValid() ? a : std::max(a, b));
}

// A stretch of one day in minutes since its midnight, [de, ate).
struct Trecho {
    int de = 0, ate = 0;
};

// Sorted and joined: overlaps counted once.
QList<Trecho> Une(QList<Trecho> trechos) {
    std::sort(trechos.begin(), trechos.end(), [](const Trecho& a, const Trecho& b) { return a.de < b.de; });
    QList<Trecho> unidos;
    for (const Trecho& t : trechos) {
        if (t.ate <= t.de)
            continue;
        if (!unidos.isEmpty() && t.de <= unidos.last().ate)
            unidos.last().ate = std::max(unidos.last().ate, t.ate);
        else
            unidos << t;
    }
    return unidos;
}

int Soma(const QList<Trecho>& unidos) {
    int total = 0;
    for (const Trecho& t : unidos)
        total += t.ate - t.de;
    return total;
}

// Both lists already joined and sorted: a walk along both.
int Intersecao(const QList<Trecho>& a, const QList<Trecho>& b) {
    int total = 0;
    for (int i = 0, j = 0; i < a.size() && j < b.size();) {
        total += std::max(0, std::min(a[i].ate, b[j].ate) - std::max(a[i].de, b[j].de));
        if (a[i].ate < b[j].ate)
            ++i;
        else
            ++j;
    }
    return total;
}

int MinutoDoDia(const QTime& t) {
    return t.hour() * 60 + t.minute();
}

// The shifts' hours of a date: its weekday's shifts, and the morning of the previous weekday's night shifts.
QList<Trecho> HorasDoDia(const QList<HorasDoTurno>& turnos, const QDate& dia) {
    const int semana = dia.dayOfWeek() % 7 + 1, ontem = (semana + 5) % 7 + 1;
    QList<Trecho> horas;
    for (const HorasDoTurno& t : turnos) {
        if (!t.entrada.isValid() || !t.saida.isValid())
            continue;
        const int entrada = MinutoDoDia(t.entrada), saida = MinutoDoDia(t.saida);
        const bool vira = entrada > saida;
        if (t.dia == semana)
            horas << Trecho{entrada, vira ? 24 * 60 : saida};
        if (vira && t.dia == ontem)
            horas << Trecho{0, saida};
    }
    return Une(horas);
}
} // namespace

QList<LoteIndicador> AgrupaLotes(const QList<FolhaIndicador>& folhas) {
    QHash<QString, int> porNumero;
    for (int i = 0; i < folhas.size(); ++i)
        porNumero.insert(folhas[i].numero, i);
    // Each sheet's first sheet, followed once and remembered: a chain is walked once whatever its depth.
    QList<int> raiz(folhas.size(), -1);
    for (int i = 0; i < folhas.size(); ++i) {
        QList<int> caminho;
        int atual = i;
        while (raiz[atual] < 0) {
            caminho << atual;
            raiz[atual] = -2; // on the way: a loop stops here
            const auto origem = porNumero.constFind(folhas[atual].reprocessa);
            if (folhas[atual].reprocessa.isEmpty() || origem == porNumero.cend() || raiz[*origem] == -2)
                break;
            atual = *origem;
        }
        const int primeira = raiz[atual] >= 0 ? raiz[atual] : atual;
        for (int c : std::as_const(caminho))
            raiz[c] = primeira;
    }
    // First sheets of one fabric lot (a split or a copy) are one lot; a reprocess whose original was not read
    // belongs to that original's lot all the same.
    const auto orfa = [&](int i) { return raiz[i] == i && !folhas[i].reprocessa.isEmpty(); };
    QHash<int, int> loteDaRaiz;
    QHash<QString, int> porChave;
    QList<LoteIndicador> lotes;
    QList<int> ordem(folhas.size());
    for (int i = 0; i < folhas.size(); ++i)
        ordem[i] = i;
    std::sort(ordem.begin(), ordem.end(),
              [&](int a, int b) { return NumeroAntes(folhas[a].numero, folhas[b].numero); });
    for (int i : std::as_const(ordem)) {
        if (raiz[i] != i)
            continue;
        const FolhaIndicador& f = folhas[i];
        const QString chave = orfa(i)              ? QLatin1Char('>') + f.reprocessa
                              : f.tecido.isEmpty() ? QString()
                                                   : f.cliente + QLatin1Char('#') + f.cor + QLatin1Char('#') +
                                                         f.receita + QLatin1Char('#') + f.tecido;
        int lote = chave.isEmpty() ? -1 : porChave.value(chave, -1);
        if (lote < 0) {
            lote = lotes.size();
            LoteIndicador novo;
            novo.numero = orfa(i) ? f.reprocessa : f.numero;
            novo.cliente = f.cliente;
            novo.cor = f.cor;
            novo.receita = f.receita;
            novo.maquina = f.maquina;
            novo.operador = f.operador;
            novo.prometida = f.prometida;
            novo.peso = orfa(i) ? f.peso : 0;
            novo.concluido = true;
            lotes << novo;
            if (!chave.isEmpty())
                porChave.insert(chave, lote);
        }
        if (!orfa(i))
            lotes[lote].peso += f.peso;
        loteDaRaiz.insert(i, lote);
    }
    // Sheets some read sheet reprocesses: a reprocess not read was made or ended out of the period.
    QSet<QString> continuadas;
    for (const FolhaIndicador& f : folhas)
        continuadas.insert(f.reprocessa);
    const auto junta = [&](int i) {
        const FolhaIndicador& f = folhas[i];
        LoteIndicador& l = lotes[loteDaRaiz.value(raiz[i])];
        l.folhas << f.numero;
        l.entrada = Menor(l.entrada, f.entrada);
        l.inicio = Menor(l.inicio, f.inicio);
        l.fim = Maior(l.fim, f.fim);
        l.expedicao = Maior(l.expedicao, f.expedicao);
        const bool seguiu = !f.reprocessada || continuadas.contains(f.numero);
        l.concluido = l.concluido && f.concluida && seguiu;
        if (!seguiu)
            ++l.reprocessos;
        l.bloqueado = l.bloqueado || f.bloqueada;
        if (raiz[i] != i || orfa(i))
            ++l.reprocessos;
        if (!f.motivo.trimmed().isEmpty())
            l.motivos << f.motivo.trimmed();
    };
    for (int i : std::as_const(ordem))
        if (raiz[i] == i)
            junta(i);
    for (int i : std::as_const(ordem))
        if (raiz[i] != i)
            junta(i);
    return lotes;
}

QStringList NomesAgrupamento() {
    return {QStringLiteral("Mês"),     QStringLiteral("Semana"),  QStringLiteral("Cliente"),
            QStringLiteral("Cor"),     QStringLiteral("Receita"), QStringLiteral("Máquina"),
            QStringLiteral("Operador")};
}

namespace {
QString ChaveData(const QDate& d, Agrupamento agrupamento) {
    if (!d.isValid())
        return {};
    if (agrupamento == Agrupamento::Mes)
        return d.toString(QStringLiteral("yyyy-MM"));
    int ano = 0;
    const int semana = d.weekNumber(&ano);
    return QStringLiteral("%1-S%2").arg(ano).arg(semana, 2, 10, QLatin1Char('0'));
}
} // namespace

QString ChaveGrupo(const LoteIndicador& lote, Agrupamento agrupamento) {
    switch (agrupamento) {
    case Agrupamento::Mes:
    case Agrupamento::Semana:
        return ChaveData(lote.fim, agrupamento);
    case Agrupamento::Cliente:
        return lote.cliente;
    case Agrupamento::Cor:
        return lote.cor;
    case Agrupamento::Receita:
        return lote.receita;
    case Agrupamento::Maquina:
        return lote.maquina;
    case Agrupamento::Operador:
        return lote.operador;
    }
    return {};
}

std::optional<double> Taxa(double parte, double todo) {
    if (todo <= 0)
        return std::nullopt;
    return 100.0 * parte / todo;
}

QString TextoIndicador(const std::optional<double>& valor, int casas) {
    return valor ? QLocale(QLocale::Portuguese, QLocale::Brazil).toString(*valor, 'f', casas)
                 : QStringLiteral("—");
}

QList<int> MaioresGrupos(const QList<double>& tamanhos, int n) {
    QList<int> linhas(tamanhos.size());
    std::iota(linhas.begin(), linhas.end(), 0);
    if (linhas.size() <= n)
        return linhas;
    std::stable_sort(linhas.begin(), linhas.end(), [&](int a, int b) { return tamanhos[a] > tamanhos[b]; });
    linhas.resize(std::max(n, 0));
    std::sort(linhas.begin(), linhas.end());
    return linhas;
}

QStringList GruposDoPeriodo(const QDate& de, const QDate& ate, Agrupamento agrupamento) {
    QStringList grupos;
    if (agrupamento != Agrupamento::Mes && agrupamento != Agrupamento::Semana)
        return grupos;
    for (QDate d = de; d.isValid() && d <= ate; d = d.addDays(1)) {
        const QString chave = ChaveData(d, agrupamento);
        if (grupos.isEmpty() || grupos.last() != chave)
            grupos << chave;
    }
    return grupos;
}

QList<LinhaIndicador> Indicador(const QList<LoteIndicador>& lotes, const QDate& de, const QDate& ate,
                                Agrupamento agrupamento, Criterio criterio, const QStringList& todos) {
    QHash<QString, int> porGrupo;
    QList<LinhaIndicador> linhas;
    const auto linha = [&](const QString& grupo) -> LinhaIndicador& {
        auto it = porGrupo.constFind(grupo);
        if (it == porGrupo.cend()) {
            it = porGrupo.insert(grupo, linhas.size());
            linhas << LinhaIndicador{.grupo = grupo};
        }
        return linhas[*it];
    };
    for (const QString& g : todos)
        linha(g);
    for (const LoteIndicador& l : lotes) {
        if (!l.TerminouEm(de, ate))
            continue;
        LinhaIndicador& g = linha(ChaveGrupo(l, agrupamento));
        const bool conta = criterio == Criterio::PrimeiraVezCerta ? l.PrimeiraVezCerta() : l.reprocessos > 0;
        ++g.lotes;
        g.peso += l.peso;
        if (conta) {
            ++g.contados;
            g.pesoContado += l.peso;
        }
        g.numeros << l.numero;
    }
    std::sort(linhas.begin(), linhas.end(),
              [](const LinhaIndicador& a, const LinhaIndicador& b) { return a.grupo < b.grupo; });
    return linhas;
}

QList<MotivoReprocesso> MotivosReprocesso(const QList<LoteIndicador>& lotes, const QDate& de,
                                          const QDate& ate) {
    QHash<QString, int> porMotivo;
    QList<MotivoReprocesso> motivos;
    for (const LoteIndicador& l : lotes) {
        if (!l.TerminouEm(de, ate) || l.reprocessos == 0)
            continue;
        QStringList deste = l.motivos;
        deste.removeDuplicates();
        if (deste.isEmpty())
            deste << QStringLiteral("(sem motivo)");
        for (const QString& m : std::as_const(deste)) {
            auto it = porMotivo.constFind(m);
            if (it == porMotivo.cend()) {
                it = porMotivo.insert(m, motivos.size());
                motivos << MotivoReprocesso{.motivo = m};
            }
            ++motivos[*it].lotes;
            motivos[*it].peso += l.peso;
        }
    }
    std::sort(motivos.begin(), motivos.end(), [](const MotivoReprocesso& a, const MotivoReprocesso& b) {
        return a.lotes != b.lotes ? a.lotes > b.lotes : a.motivo < b.motivo;
    });
    return motivos;
}

QList<LinhaIndicador> MaisReprocessados(const QList<LoteIndicador>& lotes, const QDate& de, const QDate& ate,
                                        Agrupamento agrupamento, int n) {
    QList<LinhaIndicador> linhas = Indicador(lotes, de, ate, agrupamento, Criterio::Reprocessado);
    linhas.removeIf([](const LinhaIndicador& l) { return l.contados == 0; });
    std::stable_sort(linhas.begin(), linhas.end(), [](const LinhaIndicador& a, const LinhaIndicador& b) {
        return a.pesoContado > b.pesoContado;
    });
    return linhas.mid(0, n);
}

QList<UsoMaquina> UsoDasMaquinas(const QList<PassoIndicador>& passos, const QList<HorasDoTurno>& turnos,
                                 const QDate& de, const QDate& ate, const QStringList& maquinas) {
    struct Dia {
        QList<Trecho> trechos;
        QStringList fals;
    };
    QHash<QString, QHash<QDate, Dia>> porMaquina;
    for (const QString& m : maquinas)
        porMaquina[m];
    for (const PassoIndicador& p : passos) {
        if (!p.inicio.isValid() || !p.fim.isValid() || p.fim <= p.inicio)
            continue;
        QHash<QDate, Dia>& dias = porMaquina[p.maquina];
        for (QDate d = std::max(p.inicio.date(), de); d <= std::min(p.fim.date(), ate); d = d.addDays(1)) {
            const int inicio = d == p.inicio.date() ? MinutoDoDia(p.inicio.time()) : 0,
                      fim = d == p.fim.date() ? MinutoDoDia(p.fim.time()) : 24 * 60;
            if (fim <= inicio)
                continue;
            Dia& dia = dias[d];
            dia.trechos << Trecho{inicio, fim};
            if (!dia.fals.contains(p.fal))
                dia.fals << p.fal;
        }
    }
    QStringList nomes = porMaquina.keys();
    std::sort(nomes.begin(), nomes.end());
    QList<UsoMaquina> linhas;
    for (const QString& m : std::as_const(nomes)) {
        const QHash<QDate, Dia>& dias = porMaquina[m];
        for (QDate d = de; d.isValid() && d <= ate; d = d.addDays(1)) {
            const QList<Trecho> horas = HorasDoDia(turnos, d);
            const auto it = dias.constFind(d);
            if (horas.isEmpty() && it == dias.cend())
                continue;
            const QList<Trecho> ocupado = it == dias.cend() ? QList<Trecho>() : Une(it->trechos);
            linhas << UsoMaquina{.maquina = m,
                                 .dia = d,
                                 .processando = Soma(ocupado),
                                 .noTurno = Intersecao(ocupado, horas),
                                 .disponivel = Soma(horas),
                                 .fals = it == dias.cend() ? QStringList() : it->fals};
        }
    }
    return linhas;
}

QList<UsoMaquina> UsoPorMaquina(const QList<UsoMaquina>& dias) {
    QHash<QString, int> porMaquina;
    QList<UsoMaquina> linhas;
    QList<QSet<QString>> vistas;
    for (const UsoMaquina& d : dias) {
        auto it = porMaquina.constFind(d.maquina);
        if (it == porMaquina.cend()) {
            it = porMaquina.insert(d.maquina, linhas.size());
            linhas << UsoMaquina{.maquina = d.maquina};
            vistas << QSet<QString>();
        }
        UsoMaquina& m = linhas[*it];
        m.processando += d.processando;
        m.noTurno += d.noTurno;
        m.disponivel += d.disponivel;
        for (const QString& f : d.fals)
            if (!vistas[*it].contains(f)) {
                vistas[*it].insert(f);
                m.fals << f;
            }
    }
    return linhas;
}

std::optional<double> Percentil(QList<double> valores, double p) {
    if (valores.isEmpty())
        return std::nullopt;
    std::sort(valores.begin(), valores.end());
    const auto posicao = qsizetype(std::ceil(p * double(valores.size()) - 1e-9));
    return valores[std::clamp<qsizetype>(posicao, 1, valores.size()) - 1];
}

QList<PrazoCliente> PrazoPorCliente(const QList<LoteIndicador>& lotes, const QDate& de, const QDate& ate) {
    struct Dias {
        QList<double> inicio, fim, expedicao;
    };
    QHash<QString, int> porCliente;
    QList<PrazoCliente> linhas;
    QList<Dias> dias;
    for (const LoteIndicador& l : lotes) {
        if (!l.TerminouEm(de, ate) || !l.entrada.isValid())
            continue;
        auto it = porCliente.constFind(l.cliente);
        if (it == porCliente.cend()) {
            it = porCliente.insert(l.cliente, linhas.size());
            linhas << PrazoCliente{.cliente = l.cliente};
            dias << Dias{};
        }
        ++linhas[*it].lotes;
        linhas[*it].numeros << l.numero;
        Dias& d = dias[*it];
        if (l.inicio.isValid())
            d.inicio << double(l.entrada.daysTo(l.inicio));
        d.fim << double(l.entrada.daysTo(l.fim));
        if (l.expedicao.isValid())
            d.expedicao << double(l.entrada.daysTo(l.expedicao));
    }
    for (int i = 0; i < linhas.size(); ++i) {
        PrazoCliente& c = linhas[i];
        c.medianaInicio = Percentil(dias[i].inicio, 0.5);
        c.p90Inicio = Percentil(dias[i].inicio, 0.9);
        c.medianaFim = Percentil(dias[i].fim, 0.5);
        c.p90Fim = Percentil(dias[i].fim, 0.9);
        c.medianaExpedicao = Percentil(dias[i].expedicao, 0.5);
        c.p90Expedicao = Percentil(dias[i].expedicao, 0.9);
    }
    std::sort(linhas.begin(), linhas.end(),
              [](const PrazoCliente& a, const PrazoCliente& b) { return a.cliente < b.cliente; });
    return linhas;
}

QList<LoteAtrasado> LotesAtrasados(const QList<LoteIndicador>& lotes, const QDate& de, const QDate& ate) {
    QList<LoteAtrasado> atrasados;
    for (const LoteIndicador& l : lotes) {
        if (!l.TerminouEm(de, ate) || !l.prometida.isValid())
            continue;
        const QDate saida = l.expedicao.isValid() ? l.expedicao : ate;
        if (saida > l.prometida)
            atrasados << LoteAtrasado{.numero = l.numero,
                                      .cliente = l.cliente,
                                      .prometida = l.prometida,
                                      .expedicao = l.expedicao,
                                      .dias = int(l.prometida.daysTo(saida))};
    }
    std::sort(atrasados.begin(), atrasados.end(), [](const LoteAtrasado& a, const LoteAtrasado& b) {
        return a.dias != b.dias ? a.dias > b.dias : NumeroAntes(a.numero, b.numero);
    });
    return atrasados;
}
