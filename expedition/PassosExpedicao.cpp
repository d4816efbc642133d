#include "PassosExpedicao.h"
#include "Acesso.h"
#include "DataAccess.h"
#include "Formatacao.h"
#include "GravacaoAtomica.h"
#include "LeiturasFal.h"
#include "TZoDatabase.h"
#include "TZoQuery.h"
#include "Turno.h"

MarcaPasso MarcaDoMomento(const QString& obs) {
    MarcaPasso m;
    m.funcionario = FuncionarioDoUsuario();
    m.data = QDate::currentDate();
    m.hora = QTime::currentTime();
    m.turno = TurnoDoMomento(m.data, m.hora, m.funcionario);
    m.obs = obs;
    return m;
}

QStringList FechaPassos(TZoDatabase& conexao, const QStringList& fals, const QString& fase,
                        const MarcaPasso& m) {
    TZoQuery fecha(nullptr, &conexao);
    fecha.SQL
        << QStringLiteral(
               "UPDATE PROCESSO_TIN SET CONCLUIDO = 'S', PENDENTE = 'N', FUNCIONARIO = :FUNCIONARIO, MAQUINA "
               "= "
               "'00', DATA = :DATA, DATA_INI = COALESCE(DATA_INI, :DATA), HORA_INI = "
               "COALESCE(NULLIF(HORA_INI, "
               "''), :HORA), DATA_FIN = :DATA, HORA_FIN = :HORA, TURNO = :TURNO, OBS = :OBS WHERE FAL = :FAL "
               "AND CONCLUIDO = 'N'")
        << (fase.isEmpty() ? QStringLiteral("AND PENDENTE = 'S'") : QStringLiteral("AND FASE = :FASE"));
    QStringList nenhum;
    for (const QString& fal : fals) {
        fecha.BindValue(QStringLiteral("FUNCIONARIO"), m.funcionario);
        fecha.BindValue(QStringLiteral("DATA"), m.data);
        fecha.BindValue(QStringLiteral("HORA"), m.hora.toString(QStringLiteral("HH:mm:ss")));
        fecha.BindValue(QStringLiteral("TURNO"), m.turno);
        fecha.BindValue(QStringLiteral("OBS"), m.obs);
        fecha.BindValue(QStringLiteral("FAL"), fal);
        if (!fase.isEmpty())
            fecha.BindValue(QStringLiteral("FASE"), fase);
        fecha.ExecSQL();
        if (fecha.RowsAffected() == 0)
            nenhum << fal;
    }
    return nenhum;
}

FalsRetidas ExpedeFals(TZoDatabase& conexao, const QStringList& fals, const QString& fase,
                       PostoExpedicao posto) {
    const bool coletor = posto == PostoExpedicao::Coletor;
    FalsRetidas retidas;
    GravacaoAtomica unidade(conexao);
    // Read in the unit that writes: a block set meanwhile by the quality dialog is seen.
    const QSet<QString> bloqueio = FalsBloqueadas(fals, QString(), &conexao);
    QStringList fechar;
    for (const QString& fal : fals)
        (bloqueio.contains(fal) ? retidas.bloqueadas : fechar) << fal;
    if (!fechar.isEmpty())
        retidas.semPasso =
            FechaPassos(conexao, fechar, fase,
                        MarcaDoMomento(coletor ? QStringLiteral("EXPEDIDO PELO USUARIO/COLETOR.")
                                               : QStringLiteral("EXPEDIDO PELO USUARIO.")));
    if (retidas.semPasso.size() < fechar.size())
        GeraLog(coletor ? QStringLiteral("EXPEDICAO DE FAL COLETOR") : QStringLiteral("EXPEDICAO DE FAL"),
                coletor ? QStringLiteral("EXPEDICAO DE FAL PELO COLETOR")
                        : QStringLiteral("EXPEDICAO DE FAL PELO USUARIO"),
                opOutros, TextoExibicao(QDate::currentDate()), nullptr, &conexao);
    unidade.Confirma();
    return retidas;
}

QString AvisoBloqueadas(const QStringList& fals) {
    return fals.isEmpty() ? QString()
                          : QStringLiteral("FAL bloqueada na qualidade. Impossível gravar. FAL: ") +
                                fals.join(QStringLiteral(", "));
}

QString AvisoSemPasso(const QStringList& fals) {
    return fals.isEmpty()
               ? QString()
               : QStringLiteral("FAL não está mais pendente no setor: ") + fals.join(QStringLiteral(", "));
}

void AbrePassos(TZoDatabase& conexao, const QStringList& fals) {
    TZoQuery abre(nullptr, &conexao);
    abre.SQL << QStringLiteral(
        "UPDATE PROCESSO_TIN SET PENDENTE = 'S' WHERE FAL = :FAL AND (PENDENTE <> 'N' OR PENDENTE IS NULL)");
    for (const QString& fal : fals) {
        abre.BindValue(QStringLiteral("FAL"), fal);
        abre.ExecSQL();
    }
}

bool EstornaUltimoPasso(TZoDatabase& conexao, const QString& fal) {
    TZoQuery ultimo(nullptr, &conexao);
    ultimo.SQL << QStringLiteral(
        "SELECT FIRST 1 P.FASE, P.CONCLUIDO, (SELECT COUNT(*) FROM FAL_ITEN I WHERE I.FAL = P.FAL AND "
        "I.FATURADO = "
        "'S') AS FATURADOS FROM PROCESSO_TIN P WHERE P.FAL = :FAL ORDER BY P.ORDEM DESC");
    ultimo.BindValue(QStringLiteral("FAL"), fal);
    ultimo.Open();
    // Any item billed keeps the sheet as it left.
    if (ultimo.IsEmpty() || ultimo.Fields(1).AsString().trimmed() != u"S" || ultimo.Fields(2).AsInteger() > 0)
        return false;
    TZoQuery reabre(nullptr, &conexao);
    reabre.SQL << QStringLiteral("UPDATE PROCESSO_TIN SET CONCLUIDO = 'N', PENDENTE = 'S', FUNCIONARIO = '', "
                                 "MAQUINA = '', DATA = NULL, "
                                 "DATA_INI = NULL, HORA_INI = NULL, DATA_FIN = NULL, HORA_FIN = NULL, TURNO "
                                 "= '', OBS = '' WHERE FAL = :FAL "
                                 "AND CONCLUIDO = 'S' AND PENDENTE = 'N' AND FASE = :FASE");
    reabre.BindValue(QStringLiteral("FAL"), fal);
    reabre.BindValue(QStringLiteral("FASE"), ultimo.Fields(0).AsString().trimmed());
    reabre.ExecSQL();
    return reabre.RowsAffected() > 0;
}
