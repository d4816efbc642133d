#include "CopiaSeguranca.h"
#include "DatabaseFiles.h"
#include "FirebirdEngine.h"
#include "HostError.h"
#include "LocalSettings.h"
#include "TZoDatabase.h"
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QLockFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <atomic>
#include <csignal>
#include <sys/prctl.h>

std::function<void(const QString&)> CopiaSeguranca::AntesDeVerificar;

namespace {
// The tables whose rows are counted in the live database and in the restored copy.
const QStringList kPrincipais = {"FAL",     "FAL_ITEN", "ENTIDADE",     "RECEITA",
                                 "MAT_TIN", "NFTIN",    "PROCESSO_TIN", "LOG"};

struct Contagem {
    QMap<QString, qint64> linhas; // rows of each main table there
    int tabelas = 0;              // user tables, for the tools' progress
};

// What a tool run against the target needs: a server checks its own users, the embedded engine knows none.
DatabaseConfig credenciais(const DatabaseConfig& alvo) {
    DatabaseConfig local;
    return alvo.isServer() ? alvo : local;
}

DatabaseConfig arquivoLocal(const QString& path) {
    DatabaseConfig config;
    config.path = path;
    return config;
}

// Runs gbak or gfix, handing each output line over as it comes. The password goes in the environment, which
// other users' process lists do not show. Throws with the tool's last lines when it fails.
void ferramenta(const QString& nome, const QStringList& argumentos, const DatabaseConfig& alvo,
                const std::function<void(const QString&)>& aCadaLinha = {}) {
    QString programa = QStandardPaths::findExecutable(nome);
    if (programa.isEmpty())
        programa = QStringLiteral("/usr/bin/") + nome;
    const DatabaseConfig quem = credenciais(alvo);
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("ISC_USER"), quem.user);
    ambiente.insert(QStringLiteral("ISC_PASSWORD"), quem.password);
    QProcess processo;
    processo.setProcessEnvironment(ambiente);
    processo.setProcessChannelMode(QProcess::MergedChannels);
    // gbak asks at the terminal for the next volume of a copy that ends too soon: nobody is there to answer.
    processo.setStandardInputFile(QProcess::nullDevice());
    // A tool outliving a killed program would keep the database file open under the next one's feet.
    processo.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    processo.start(programa, argumentos);
    if (!processo.waitForStarted())
        throw EDatabaseError(
            QStringLiteral("%1 não pôde ser executado: %2").arg(nome, processo.errorString()));
    QStringList ultimas;
    const auto le = [&] {
        while (processo.canReadLine()) {
            const QString linha = QString::fromLocal8Bit(processo.readLine()).trimmed();
            if (linha.isEmpty())
                continue;
            if (aCadaLinha)
                aCadaLinha(linha);
            ultimas << linha;
            if (ultimas.size() > 6)
                ultimas.removeFirst();
        }
    };
    while (processo.state() != QProcess::NotRunning) {
        processo.waitForReadyRead(200);
        le();
    }
    le();
    if (const QString resto = QString::fromLocal8Bit(processo.readAll()).trimmed(); !resto.isEmpty())
        ultimas << resto;
    if (processo.exitStatus() != QProcess::NormalExit || processo.exitCode() != 0)
        throw EDatabaseError(QStringLiteral("%1 falhou: %2").arg(nome, ultimas.join(QLatin1Char(' '))));
}

// A killed copy leaves its unverified file and its scratch restore behind.
void removeSobras(const QString& pasta) {
    const QDir dir(pasta);
    for (const QString& nome : dir.entryList({QStringLiteral("*.fbk.parcial")}, QDir::Files | QDir::Hidden))
        QFile::remove(dir.filePath(nome));
    for (const QString& nome : dir.entryList({QStringLiteral(".verificacao-*")}, QDir::Dirs | QDir::Hidden))
        QDir(dir.filePath(nome)).removeRecursively();
}

// gfix prints nothing for a sound database: whatever it says is a finding.
void valida(const DatabaseConfig& alvo) {
    QStringList achados;
    ferramenta(QStringLiteral("gfix"), {QStringLiteral("-v"), QStringLiteral("-full"), alvo.target()}, alvo,
               [&](const QString& linha) { achados << linha; });
    if (!achados.isEmpty())
        throw EDatabaseError(QStringLiteral("a validação encontrou erros: %1").arg(achados.join(' ')));
}

// The main tables' rows, read in one transaction of their own (a snapshot: all at one moment).
Contagem conta(const DatabaseConfig& config) {
    static std::atomic<int> conexoes{0};
    TZoDatabase db(QStringLiteral("kelm-copia-%1").arg(++conexoes));
    db.Open(config, false);
    Contagem contagem;
    {
        QSqlDatabase conexao = db.Connection();
        conexao.transaction();
        QSqlQuery q(conexao);
        QStringList existentes;
        if (q.exec(QStringLiteral("SELECT TRIM(RDB$RELATION_NAME) FROM RDB$RELATIONS WHERE "
                                  "COALESCE(RDB$SYSTEM_FLAG, 0) = 0 AND RDB$VIEW_BLR IS NULL")))
            while (q.next()) {
                ++contagem.tabelas;
                existentes << q.value(0).toString();
            }
        for (const QString& tabela : kPrincipais) {
            if (!existentes.contains(tabela))
                continue;
            if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(tabela)) || !q.next())
                throw EDatabaseError(QStringLiteral("não foi possível contar os registros de %1 em %2")
                                         .arg(tabela, config.target()));
            contagem.linhas[tabela] = q.value(0).toLongLong();
        }
        q = QSqlQuery();
        conexao.commit();
    }
    db.Close();
    return contagem;
}

QString diferencas(const Contagem& vivo, const Contagem& copia) {
    QStringList texto;
    for (auto it = vivo.linhas.cbegin(); it != vivo.linhas.cend(); ++it)
        if (copia.linhas.value(it.key(), -1) != it.value())
            texto << QStringLiteral("%1: %2 no banco, %3 na cópia")
                         .arg(it.key())
                         .arg(it.value())
                         .arg(copia.linhas.value(it.key(), -1));
    return texto.join(QStringLiteral("; "));
}

QString tamanho(qint64 bytes) {
    return QLocale(QLocale::Portuguese, QLocale::Brazil)
        .formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
}

QString segundos(qint64 ms) {
    return QLocale(QLocale::Portuguese, QLocale::Brazil).toString(ms / 1000.0, 'f', 1) + QStringLiteral(" s");
}

bool mesmoBanco(const DatabaseConfig& a, const DatabaseConfig& b) {
    if (a.isServer() || b.isServer())
        return a.isServer() == b.isServer() && a.host.compare(b.host, Qt::CaseInsensitive) == 0 &&
               a.port == b.port && QDir::cleanPath(a.path) == QDir::cleanPath(b.path);
    const QFileInfo x(a.path), y(b.path);
    const QString px = x.exists() ? x.canonicalFilePath() : x.absoluteFilePath();
    const QString py = y.exists() ? y.canonicalFilePath() : y.absoluteFilePath();
    return px == py;
}
} // namespace

CopiaSeguranca::CopiaSeguranca(const DatabaseConfig& config)
    : pasta(PastaPadrao()), mantidas(MantidasPadrao()), m_config(config) {}

QString CopiaSeguranca::PastaPadrao() {
    const QString pasta = LeIni(QStringLiteral("Copia"), QStringLiteral("pasta"));
    return pasta.isEmpty()
               ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/copias")
               : pasta;
}

int CopiaSeguranca::MantidasPadrao() {
    const int n = LeIni(QStringLiteral("Copia"), QStringLiteral("mantidas")).toInt();
    return n > 0 ? n : 10;
}

void CopiaSeguranca::Avanca(int percent, const QString& etapa) const {
    if (Progresso)
        Progresso(percent, etapa);
}

QFileInfoList CopiaSeguranca::Copias() const {
    const QString base = QFileInfo(m_config.path).completeBaseName();
    const QRegularExpression nome(
        QStringLiteral("^%1-\\d{8}-\\d{6}(-\\d+)?\\.fbk$").arg(QRegularExpression::escape(base)));
    QFileInfoList copias;
    for (const QFileInfo& f : QDir(pasta).entryInfoList({base + QStringLiteral("-*.fbk")}, QDir::Files))
        if (nome.match(f.fileName()).hasMatch())
            copias << f;
    // Two copies within one second differ by their suffix, not by their time.
    std::sort(copias.begin(), copias.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return a.lastModified() != b.lastModified() ? a.lastModified() > b.lastModified()
                                                    : a.fileName() > b.fileName();
    });
    return copias;
}

ResultadoCopia CopiaSeguranca::Copia() {
    PrepareFirebirdEnvironment();
    QElapsedTimer relogio;
    relogio.start();
    ResultadoCopia resultado;
    const QString base = QFileInfo(m_config.path).completeBaseName();
    const QString momento = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString parcial;
    try {
        if (!QDir().mkpath(pasta))
            throw EDatabaseError(QStringLiteral("não foi possível criar a pasta %1").arg(pasta));
        resultado.arquivo = QDir(pasta).filePath(QStringLiteral("%1-%2.fbk").arg(base, momento));
        for (int n = 2; QFileInfo::exists(resultado.arquivo); ++n)
            resultado.arquivo =
                QDir(pasta).filePath(QStringLiteral("%1-%2-%3.fbk").arg(base, momento).arg(n));
        // One copy at a time in a folder: whatever half-done work lies there is then a killed copy's.
        QLockFile vez(QDir(pasta).filePath(QStringLiteral(".copia.lock")));
        vez.setStaleLockTime(0);
        if (!vez.tryLock(0))
            throw EDatabaseError(
                QStringLiteral("outra cópia de segurança está em andamento em %1").arg(pasta));
        removeSobras(pasta);
        // Until verified the copy has a name no one takes for a copy, and a kill leaves only that.
        parcial = resultado.arquivo + QStringLiteral(".parcial");
        QTemporaryDir rascunho(QDir(pasta).filePath(QStringLiteral(".verificacao-XXXXXX")));
        if (!rascunho.isValid())
            throw EDatabaseError(QStringLiteral("não foi possível escrever em %1").arg(pasta));
        const QString restaurado = rascunho.filePath(QStringLiteral("verificacao.fdb"));

        Avanca(0, QStringLiteral("Contando os registros"));
        const Contagem antes = conta(m_config);
        const int tabelas = qMax(1, antes.tabelas);
        int feitas = 0;
        Avanca(5, QStringLiteral("Copiando"));
        ferramenta(
            QStringLiteral("gbak"),
            {QStringLiteral("-b"), QStringLiteral("-g"), QStringLiteral("-v"), m_config.target(), parcial},
            m_config, [&](const QString& linha) {
                if (linha.contains(QLatin1String("writing data for table")))
                    Avanca(5 + 45 * qMin(++feitas, tabelas) / tabelas, QStringLiteral("Copiando"));
            });
        if (AntesDeVerificar)
            AntesDeVerificar(parcial);
        feitas = 0;
        Avanca(50, QStringLiteral("Restaurando para verificar"));
        ferramenta(QStringLiteral("gbak"), {QStringLiteral("-c"), QStringLiteral("-v"), parcial, restaurado},
                   arquivoLocal(restaurado), [&](const QString& linha) {
                       if (linha.contains(QLatin1String("restoring data for table")))
                           Avanca(50 + 30 * qMin(++feitas, tabelas) / tabelas,
                                  QStringLiteral("Restaurando para verificar"));
                   });
        Avanca(80, QStringLiteral("Validando"));
        valida(arquivoLocal(restaurado));
        Avanca(90, QStringLiteral("Comparando os registros"));
        const Contagem copia = conta(arquivoLocal(restaurado));
        // The copy is of one moment near the count: a table others wrote meanwhile is counted again after.
        if (QString falta = diferencas(antes, copia); !falta.isEmpty()) {
            falta = diferencas(conta(m_config), copia);
            if (!falta.isEmpty())
                throw EDatabaseError(
                    QStringLiteral("a cópia restaurada não tem os mesmos registros (%1)").arg(falta));
        }
        if (const QString erro = ReplaceFile(parcial, resultado.arquivo); !erro.isEmpty())
            throw EDatabaseError(erro);
    } catch (const EDatabaseError& e) {
        if (!parcial.isEmpty())
            QFile::remove(parcial);
        resultado.ms = relogio.elapsed();
        resultado.texto =
            QStringLiteral("Cópia de segurança de %1 falhou: %2").arg(m_config.target(), e.message());
        Avanca(100, QStringLiteral("Falhou"));
        return resultado;
    }
    const QFileInfoList copias = Copias();
    for (qsizetype i = qMax(1, mantidas); i < copias.size(); ++i)
        QFile::remove(copias[i].absoluteFilePath());
    resultado.ok = true;
    resultado.bytes = QFileInfo(resultado.arquivo).size();
    resultado.ms = relogio.elapsed();
    resultado.texto =
        QStringLiteral("Cópia de segurança de %1 feita e verificada: %2, %3 em %4.")
            .arg(m_config.target(), resultado.arquivo, tamanho(resultado.bytes), segundos(resultado.ms));
    Avanca(100, QStringLiteral("Concluída"));
    return resultado;
}

ResultadoCopia CopiaSeguranca::Restaura(const QString& escolhida, const DatabaseConfig& destino) {
    PrepareFirebirdEnvironment();
    QElapsedTimer relogio;
    relogio.start();
    ResultadoCopia resultado;
    resultado.arquivo = destino.target();
    const QString copia = QFileInfo(escolhida).absoluteFilePath();
    QString trabalho;
    bool criado = false;
    try {
        if (!QFileInfo(copia).isFile())
            throw EDatabaseError(QStringLiteral("a cópia %1 não existe").arg(copia));
        if (mesmoBanco(destino, m_config))
            throw EDatabaseError(QStringLiteral("%1 é o banco de dados em uso; restaure em um arquivo novo")
                                     .arg(destino.target()));
        if (!destino.isServer() && QFileInfo::exists(destino.path))
            throw EDatabaseError(
                QStringLiteral("%1 já existe; a cópia só é restaurada em um arquivo novo").arg(destino.path));
        // A local restore is built beside its target and takes its name once validated; a server's files are
        // out of reach, and gbak itself refuses a database that exists there.
        DatabaseConfig alvo = destino;
        if (!destino.isServer()) {
            QDir().mkpath(QFileInfo(destino.path).absolutePath());
            trabalho = destino.path + QStringLiteral(".restaurando");
            QFile::remove(trabalho);
            alvo.path = trabalho;
        }
        Avanca(0, QStringLiteral("Restaurando"));
        try {
            ferramenta(QStringLiteral("gbak"),
                       {QStringLiteral("-c"), QStringLiteral("-v"), copia, alvo.target()}, alvo,
                       [&](const QString& linha) {
                           if (linha.contains(QLatin1String("restoring data for table")))
                               Avanca(40, QStringLiteral("Restaurando"));
                       });
        } catch (const EDatabaseError& e) {
            // A database there, or any other file.
            if (e.message().contains(QLatin1String("already exists")) ||
                e.message().contains(QLatin1String("File exists")))
                throw EDatabaseError(
                    QStringLiteral("%1 já existe; a cópia só é restaurada em um arquivo novo")
                        .arg(destino.target()));
            throw;
        }
        criado = true;
        Avanca(80, QStringLiteral("Validando"));
        valida(alvo);
        if (!destino.isServer() && !QFile::rename(trabalho, destino.path))
            throw EDatabaseError(
                QStringLiteral("%1 já existe; a cópia só é restaurada em um arquivo novo").arg(destino.path));
    } catch (const EDatabaseError& e) {
        if (!trabalho.isEmpty())
            QFile::remove(trabalho);
        else if (criado)
            DropDatabase(destino);
        resultado.ms = relogio.elapsed();
        resultado.texto = QStringLiteral("Restauração de %1 falhou: %2").arg(copia, e.message());
        Avanca(100, QStringLiteral("Falhou"));
        return resultado;
    }
    resultado.ok = true;
    resultado.bytes = destino.isServer() ? QFileInfo(copia).size() : QFileInfo(destino.path).size();
    resultado.ms = relogio.elapsed();
    resultado.texto =
        QStringLiteral("Cópia %1 restaurada e validada em %2: %3%4 em %5.")
            .arg(copia, destino.target(), destino.isServer() ? QStringLiteral("cópia de ") : QString(),
                 tamanho(resultado.bytes), segundos(resultado.ms));
    Avanca(100, QStringLiteral("Concluída"));
    return resultado;
}

void CopiaAntesDaAtualizacao(const DatabaseConfig& config, const QStringList& pendentes) {
    const ResultadoCopia resultado = CopiaSeguranca(config).Copia();
    if (!resultado.ok)
        throw EDatabaseError(
            QStringLiteral("O banco de dados %1 precisa ser atualizado (%2), mas a cópia de "
                           "segurança feita antes da atualização falhou.\n%3\n\nA atualização "
                           "não foi feita; o banco de dados não foi alterado.")
                .arg(config.target(), pendentes.join(QStringLiteral(", ")), resultado.texto));
    qInfo("%s", qPrintable(resultado.texto));
}
