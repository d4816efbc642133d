#include "RegrasEmissao.h"
#include "Funcoes.h"
#include <cmath>

double VolumeBanho(double pesoKg, double proporcao, int casas, double minimo, double maximo) {
    double volume = Arredondar(pesoKg * proporcao, casas);
    if (minimo > 0 && volume < minimo)
        volume = minimo;
    if (maximo > 0 && volume > maximo)
        volume = maximo;
    return volume;
}

double GramasDaLinha(double quantidade, const QString& unidade, const QString& fibra, double concentracao,
                     double pesoKg, double volumeL, double fibra1, double fibra2) {
    double gramas = 0;
    if (unidade.trimmed().compare(QLatin1String("GL"), Qt::CaseInsensitive) == 0) {
        gramas = quantidade * volumeL;
    } else if (unidade.trimmed() == QLatin1String("%")) {
        gramas = quantidade * pesoKg * 10;
        if (fibra1 > 0 && fibra.trimmed() == QLatin1String("1"))
            gramas = fibra1 * gramas / 100;
        else if (fibra2 > 0 && fibra.trimmed() == QLatin1String("2"))
            gramas = fibra2 * gramas / 100;
    }
    return concentracao > 0 ? concentracao * gramas / 100 : gramas;
}

bool TomaContratipo(double necessidadeKg, double concentracao, bool semEstoque, double estoqueKg) {
    const double propria = concentracao * necessidadeKg / 100;
    return propria > 0 && (semEstoque || std::round((estoqueKg - propria) * 1e6) >= 0);
}
