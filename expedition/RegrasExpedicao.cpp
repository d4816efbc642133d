#include "RegrasExpedicao.h"
#include <QStringConverter>

QString FalDoCodigo(const QString& codigo) {
    return codigo.section(u'*', 0, 0).trimmed();
}

bool CodigoDePeca(const QString& codigo) {
    return codigo.contains(u'*');
}

QList<LeituraColetor> LeArquivoColetor(const QByteArray& conteudo) {
    auto utf8 = QStringDecoder(QStringDecoder::Utf8);
    QString texto = utf8.decode(conteudo);
    if (utf8.hasError())
        texto = QString::fromLatin1(conteudo);
    QList<LeituraColetor> leituras;
    const QStringList linhas = texto.split(u'\n');
    for (qsizetype i = 0; i < linhas.size(); ++i) {
        const QString linha = linhas[i].trimmed();
        if (linha.isEmpty() || linha.startsWith(u'#'))
            continue;
        const QString codigo = linha.section(u';', 0, 0).trimmed();
        if (!codigo.isEmpty())
            leituras << LeituraColetor{int(i) + 1, codigo};
    }
    return leituras;
}
