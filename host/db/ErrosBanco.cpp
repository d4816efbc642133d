#include "ErrosBanco.h"
#include <QStringList>

namespace {
struct Meaning {
    QStringList signs; // any of these in the server's text
    const char* text;
};

const Meaning kMeanings[] = {
    {{"violation of PRIMARY or UNIQUE KEY", "attempt to store duplicate value"},
     "Este registro já existe: a chave informada está repetida."},
    {{"violation of FOREIGN KEY"},
     "O registro está ligado a outro registro: não pode ser gravado nem excluído assim."},
    {{"Error writing data to the connection", "Error reading data from the connection", "connection shutdown",
      "connection lost", "Unable to complete network request", "Connection refused",
      "invalid database handle"},
     "A conexão com o banco de dados foi perdida."},
    {{"string right truncation"}, "Um texto é maior do que o campo permite."},
    {{"numeric overflow", "numeric value is out of range"}, "Um número é grande demais para o campo."},
    {{"validation error for column"}, "Um campo obrigatório ficou vazio ou tem um valor inválido."},
    {{"conversion error from string"}, "Um valor informado não está no formato esperado."},
    {{"attempt to write to a read-only database", "read-only database"},
     "O banco de dados está somente para leitura."},
};
} // namespace

QString TextoConexaoPerdida() {
    return QStringLiteral("A conexão com o banco de dados foi perdida.");
}

bool ConflitoDeBloqueio(const QString& serverText) {
    return serverText.contains(QLatin1String("update conflicts with concurrent update"),
                               Qt::CaseInsensitive) ||
           serverText.contains(QLatin1String("lock conflict"), Qt::CaseInsensitive) ||
           serverText.contains(QLatin1String("deadlock"), Qt::CaseInsensitive);
}

bool ChaveRepetida(const QString& serverText) {
    return serverText.contains(QLatin1String("violation of PRIMARY or UNIQUE KEY"), Qt::CaseInsensitive) ||
           serverText.contains(QLatin1String("attempt to store duplicate value"), Qt::CaseInsensitive);
}

QString TraduzErroBanco(const QString& serverText) {
    const QString detail = serverText.trimmed();
    if (detail.isEmpty())
        return QStringLiteral("Erro no banco de dados.");
    for (const Meaning& meaning : kMeanings)
        for (const QString& sign : meaning.signs)
            if (detail.contains(sign, Qt::CaseInsensitive))
                return QString::fromUtf8(meaning.text) + QStringLiteral("\n\nDetalhe do servidor: ") + detail;
    return detail;
}
