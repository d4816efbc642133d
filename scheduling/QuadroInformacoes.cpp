#include "QuadroInformacoes.h"
#include <QHash>

QList<int> CasaCamposGravados(const QList<CampoQuadro>& padrao, const QList<CampoQuadro>& gravados) {
    QList<int> destino(gravados.size(), -1);
    QList<bool> tomada(padrao.size(), false);
    QHash<QString, int> porChave;
    QHash<QString, QList<int>> porCampo; // rows of each text, in order
    for (int j = 0; j < padrao.size(); ++j) {
        porChave.insert(padrao[j].chave, j);
        porCampo[padrao[j].campo].append(j);
    }
    // Its own field first, for every stored row: a row matched by text alone must not take it from it.
    for (int i = 0; i < gravados.size(); ++i) {
        const int j = porChave.value(gravados[i].chave, -1);
        if (j >= 0 && !tomada[j] && padrao[j].campo == gravados[i].campo) {
            destino[i] = j;
            tomada[j] = true;
        }
    }
    for (int i = 0; i < gravados.size(); ++i) {
        if (destino[i] >= 0)
            continue;
        for (const int j : porCampo.value(gravados[i].campo)) {
            if (!tomada[j]) {
                destino[i] = j;
                tomada[j] = true;
                break;
            }
        }
    }
    return destino;
}
