#include "RegrasGeracao.h"
#include "Funcoes.h"

QString RecusaFibras(int fibra1, int fibra2, const QString& indiceVariante) {
    if (fibra1 != 0 || fibra2 != 0)
        return fibra1 + fibra2 == 100 ? QString() : QStringLiteral("A soma das Fibras deve ser Zero ou 100.");
    // An index that does not read as a number is no percentage either.
    const QString texto = indiceVariante.trimmed();
    bool numero = texto.isEmpty();
    const double indice =
        numero ? 0 : QString(texto).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&numero);
    return numero && (indice == 0 || indice == 100)
               ? QString()
               : QStringLiteral("Esta Variante deve ter percentual de Fibra.");
}

QString RecusaObrigatorios(const ItemGeracao& item) {
    if (item.codigo.trimmed().isEmpty())
        return QStringLiteral("Código do Tecido Inválido.");
    if (item.cor.trimmed().isEmpty())
        return QStringLiteral("Código da Cor Inválido.");
    if (item.variante.trimmed().isEmpty())
        return QStringLiteral("Código da Variante Inválido.");
    if (item.fluxo.trimmed().isEmpty())
        return QStringLiteral("Código do Fluxo Inválido.");
    if (!(item.peso > 0))
        return QStringLiteral("Peso deve ser maior que 0.");
    return {};
}

QString LoteGravado(const ItemGeracao& item) {
    return item.nota.trimmed().isEmpty() ? item.lote.trimmed() : LoteDaNota(item.loteNF, item.lote);
}

bool ItemDuplicado(const QList<ItemGeracao>& selecionados, int indice) {
    const ItemGeracao& item = selecionados.at(indice);
    for (int i = 0; i < selecionados.size(); ++i) {
        const ItemGeracao& outro = selecionados.at(i);
        if (i != indice && outro.codigo.trimmed() == item.codigo.trimmed() &&
            (outro.lote.trimmed() == item.lote.trimmed() || LoteGravado(outro) == LoteGravado(item)))
            return true;
    }
    return false;
}

int TipoDaGeracao(const QList<ItemGeracao>& selecionados) {
    for (const ItemGeracao& item : selecionados)
        if (item.tingir.trimmed() == QLatin1String("N"))
            return 5;
    return 1;
}

QDate EntregaDaFal(const QDate& entregaProgramacao, int diasRoteiro, const QDate& hoje) {
    return diasRoteiro > 0 ? hoje.addDays(diasRoteiro) : entregaProgramacao;
}

bool OfereceAjuste(double saldo, double peso) {
    const double diferenca = Arredondar(saldo - peso, 4);
    return diferenca > 0 && diferenca < 0.1;
}

QString RecusaNumeroFal(const QString& numero) {
    const QString texto = numero.trimmed();
    return texto.size() < 3 || texto.size() > 7 ? QStringLiteral("Número da FAL inválido.") : QString();
}

QString LoteDaNota(const QString& loteNF, const QString& lote) {
    return loteNF.trimmed().isEmpty() ? lote.trimmed() : loteNF.trimmed();
}
