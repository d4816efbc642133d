#include "PivosGerencia.h"
#include "Funcoes.h"
#include <QHash>
#include <QSet>
#include <algorithm>
#include <cmath>

QList<TotalMaquina> PivoMaquinas(const QList<LoteMaquina>& lotes) {
    QList<TotalMaquina> totais;
    QList<qint64> segundos;
    QHash<QString, qsizetype> onde;
    for (const LoteMaquina& l : lotes) {
        auto it = onde.constFind(l.maquina);
        if (it == onde.cend()) {
            it = onde.insert(l.maquina, totais.size());
            totais.append({l.maquina, l.descricao, {}, 0, 0, {}});
            segundos.append(0);
        }
        TotalMaquina& t = totais[*it];
        // A blank or unreadable curve would otherwise spoil the machine's sum for every later lot.
        const double horas = TempoNumerico(l.tempo.trimmed());
        if (std::isfinite(horas))
            segundos[*it] += std::llround(horas * 3600);
        t.partidas += (t.numPart ? QStringLiteral(" - ") : QString()) + l.partida.trimmed();
        ++t.numPart;
    }
    for (qsizetype i = 0; i < totais.size(); ++i) {
        totais[i].tempo = TempoString(segundos[i] / 3600.0);
        totais[i].dia = segundos[i] / 3600.0 / 24;
    }
    return totais;
}

namespace {
double media(double soma, double divisor) {
    return divisor > 0 ? Arredondar(soma / divisor, 2) : 0;
}
} // namespace

QList<EntregasCliente> PivoEntregas(const QList<ItemEntregue>& itens) {
    struct Somas {
        EntregasCliente linha;
        double diasPeso[3]{}, peso[3]{}, dias[3]{};
        int itens[3]{};
    };
    QList<Somas> clientes;
    QHash<QString, qsizetype> onde;
    QSet<QPair<QDate, QString>> lotes;
    for (const ItemEntregue& i : itens) {
        auto it = onde.constFind(i.cliente);
        if (it == onde.cend()) {
            it = onde.insert(i.cliente, clientes.size());
            clientes.append(Somas{});
            clientes.last().linha.cliente = i.cliente;
            clientes.last().linha.nome = i.nome;
        }
        Somas& s = clientes[*it];
        const int classe = !i.previsao.isValid() || i.entrega > i.previsao ? 2
                           : i.entrega == i.previsao                       ? 1
                                                                           : 0;
        double* kg[] = {&s.linha.antes, &s.linha.noDia, &s.linha.depois};
        int* contados[] = {&s.linha.lotesAntes, &s.linha.lotesNoDia, &s.linha.lotesDepois};
        *kg[classe] += i.peso;
        const QPair<QDate, QString> lote{i.entrega, i.numero};
        if (!lotes.contains(lote)) {
            lotes.insert(lote);
            ++*contados[classe];
        }
        s.diasPeso[classe] += i.dias * i.peso;
        s.peso[classe] += i.peso;
        s.dias[classe] += i.dias;
        ++s.itens[classe];
    }
    QList<EntregasCliente> resultado;
    for (Somas& s : clientes) {
        EntregasCliente& l = s.linha;
        l.mediaPonderada =
            media(s.diasPeso[0] + s.diasPeso[1] + s.diasPeso[2], s.peso[0] + s.peso[1] + s.peso[2]);
        l.mediaDias = media(s.dias[0] + s.dias[1] + s.dias[2], s.itens[0] + s.itens[1] + s.itens[2]);
        l.mediaPonderadaAntes = media(s.diasPeso[0], s.peso[0]);
        l.mediaAntes = media(s.dias[0], s.itens[0]);
        l.mediaPonderadaDepois = media(s.diasPeso[2], s.peso[2]);
        l.mediaDepois = media(s.dias[2], s.itens[2]);
        resultado.append(l);
    }
    std::sort(resultado.begin(), resultado.end(),
              [](const EntregasCliente& a, const EntregasCliente& b) { return a.cliente < b.cliente; });
    return resultado;
}

QList<PrecosCor> PivoPrecos(const QList<PrecoGrupo>& linhas) {
    QList<PrecosCor> cores;
    QHash<QString, qsizetype> onde;
    for (const PrecoGrupo& l : linhas) {
        auto it = onde.constFind(l.cor);
        if (it == onde.cend()) {
            it = onde.insert(l.cor, cores.size());
            cores.append({l.cor, l.descricao, {}});
        }
        const QString grupo = l.grupo.trimmed();
        bool numero = false;
        const int g = grupo.toInt(&numero);
        if (numero && grupo.size() == 2 && g >= 1 && g <= kGruposPreco)
            cores[*it].precos[g - 1] = l.preco;
    }
    std::sort(cores.begin(), cores.end(),
              [](const PrecosCor& a, const PrecosCor& b) { return a.cor < b.cor; });
    return cores;
}

QList<FaturadoAno> PivoMensal(const QList<FaturadoMes>& linhas) {
    QList<FaturadoAno> codigos;
    QHash<QString, qsizetype> onde;
    for (const FaturadoMes& l : linhas) {
        if (l.mes < 1 || l.mes > 12)
            continue;
        auto it = onde.constFind(l.codigo);
        if (it == onde.cend()) {
            it = onde.insert(l.codigo, codigos.size());
            codigos.append({l.codigo, l.nome, {}});
        }
        codigos[*it].meses[l.mes - 1] += l.peso;
    }
    std::sort(codigos.begin(), codigos.end(),
              [](const FaturadoAno& a, const FaturadoAno& b) { return a.codigo < b.codigo; });
    return codigos;
}
