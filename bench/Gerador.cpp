#include "Gerador.h"
#include "HostError.h"
#include "TZoDatabase.h"
#include <QMap>
#include <QSqlQuery>
#include <QStringList>

namespace {
// Sizes of five years; every count grows linearly with the years.
struct Escala {
    int clientes, produtos, materiais, maquinas, roteiros, cores, receitas, regras, preparacoes, notas, fals,
        log, orcamentos, producao;
};

Escala escala(int anos, int fracao) {
    const auto n = [=](int cinco, int minimo) { return qMax(minimo, cinco * anos / 5 / fracao); };
    return {n(300, 10),     n(2000, 20),      n(800, 40),  n(40, 4),      n(60, 6),
            n(3000, 40),    n(10000, 40),     n(100, 5),   n(200, 5),     n(60000, 100),
            n(200000, 300), n(1000000, 1000), n(2000, 20), n(600000, 600)};
}

// R(x, n): a number in [0, n) scrambled from x and the seed, so a row's values depend on its counter only.
// DIA(i, t): the date of the i-th of t events spread over the years with the seasons' weights (per mille of
// a year, January first): more work before the southern summer and before Christmas.
const char* kFuncoes =
    "DECLARE FUNCTION R(X BIGINT, N INTEGER) RETURNS INTEGER AS DECLARE H BIGINT; BEGIN "
    "H = MOD(MOD(X, 140737488355328) * 40503 + {SEMENTE}, 4294967296); "
    "H = MOD(BIN_XOR(H, H / 65536) * 73244475, 4294967296); "
    "H = MOD(BIN_XOR(H, H / 65536) * 73244475, 4294967296); "
    "RETURN MOD(BIN_XOR(H, H / 65536), N); END "
    "DECLARE FUNCTION DIA(I BIGINT, T BIGINT) RETURNS DATE AS "
    "DECLARE P INTEGER; DECLARE M INTEGER = 0; DECLARE W INTEGER; DECLARE D DATE; BEGIN "
    "P = MOD(I * {ANOS}, T) * 1000 / T; "
    "W = CAST(SUBSTRING('060060070080080070080100110120110060' FROM M * 3 + 1 FOR 3) AS INTEGER); "
    "WHILE (P >= W) DO BEGIN P = P - W; M = M + 1; "
    "W = CAST(SUBSTRING('060060070080080070080100110120110060' FROM M * 3 + 1 FOR 3) AS INTEGER); END "
    "D = DATEADD(M MONTH TO DATEADD(CAST(I * {ANOS} / T AS INTEGER) YEAR TO {INICIO})); "
    "RETURN DATEADD(P * EXTRACT(DAY FROM DATEADD(-1 DAY TO DATEADD(1 MONTH TO D))) / W DAY TO D); END ";

class Gerador {
public:
    Gerador(TZoDatabase& db, int anos, int fracao, quint32 semente) : m_db(db) {
        const Escala e = escala(anos, fracao);
        m_valores = {{QStringLiteral("SEMENTE"), QString::number(semente)},
                     {QStringLiteral("ANOS"), QString::number(anos)},
                     {QStringLiteral("INICIO"), QStringLiteral("DATE '%1-01-01'").arg(2027 - anos)},
                     // Lot sheets before it are invoiced and every step of them is done.
                     {QStringLiteral("CORTE"), QStringLiteral("DATE '2026-11-15'")},
                     {QStringLiteral("CLIENTES"), QString::number(e.clientes)},
                     {QStringLiteral("PRODUTOS"), QString::number(e.produtos)},
                     {QStringLiteral("MATERIAIS"), QString::number(e.materiais)},
                     {QStringLiteral("MAQUINAS"), QString::number(e.maquinas)},
                     {QStringLiteral("ROTEIROS"), QString::number(e.roteiros)},
                     {QStringLiteral("CORES"), QString::number(e.cores)},
                     {QStringLiteral("RECEITAS"), QString::number(e.receitas)},
                     {QStringLiteral("REGRAS"), QString::number(e.regras)},
                     {QStringLiteral("PREPARACOES"), QString::number(e.preparacoes)},
                     {QStringLiteral("NOTAS"), QString::number(e.notas)},
                     {QStringLiteral("FALS"), QString::number(e.fals)},
                     {QStringLiteral("LOGS"), QString::number(e.log)},
                     {QStringLiteral("ORCAMENTOS"), QString::number(e.orcamentos)},
                     {QStringLiteral("PRODUCAO"), QString::number(e.producao)}};
    }

    // One EXECUTE BLOCK with the helper functions; {NAME} stands for the sizes and the seed.
    void Bloco(const QString& variaveis, const QString& corpo) {
        Exec(QStringLiteral("EXECUTE BLOCK AS ") + QLatin1String(kFuncoes) + variaveis +
             QStringLiteral(" BEGIN ") + corpo + QStringLiteral(" END"));
    }

    void Exec(QString sql) {
        for (auto it = m_valores.cbegin(); it != m_valores.cend(); ++it)
            sql.replace(QLatin1Char('{') + it.key() + QLatin1Char('}'), it.value());
        QSqlQuery q(m_db.Connection());
        m_db.Exec(q, sql, true);
    }

private:
    TZoDatabase& m_db;
    QMap<QString, QString> m_valores;
};

void cadastros(Gerador& g) {
    g.Bloco(
        QStringLiteral("DECLARE I INTEGER = 0;"),
        QStringLiteral(
            "WHILE (I < 4) DO BEGIN "
            "INSERT INTO VARIANTE (CODIGO, DESCRICAO, INDICE) VALUES (LPAD(:I + 1, 2, '0'), "
            "DECODE(:I, 0, 'ALGODAO', 1, 'POLIESTER', 2, 'MISTA', 'VISCOSE'), DECODE(:I, 0, '100', 1, '0', "
            "2, "
            "'50', '100')); "
            "INSERT INTO BANHO (CODIGO, DESCRICAO, PROPORCAO) VALUES (LPAD(:I + 1, 2, '0'), 'BANHO 1 PARA ' "
            "|| (6 "
            "+ "
            ":I * 2), 6 + :I * 2); "
            "INSERT INTO GRUPO_PA (CODIGO, DESCRICAO, LOTE) VALUES (LPAD(:I + 1, 4, '0'), DECODE(:I, 0, "
            "'MALHAS', 1, 'TECIDOS PLANOS', 2, 'RIBANAS', 'ACESSORIOS'), IIF(:I < 3, 'S', 'N')); "
            "I = I + 1; END "
            "INSERT INTO REGIAO (REGIAO, DESCRICAO, PADRAO) VALUES ('01', 'PADRAO', 'S'); "
            "INSERT INTO REGIAO (REGIAO, DESCRICAO, PADRAO) VALUES ('02', 'SUL', 'N'); "
            "INSERT INTO NATUREZA (NATUREZA, DESCRICAO, TIPO, TP_BASE) VALUES ('1901', 'REMESSA PARA "
            "INDUSTRIALIZACAO', 'R', '2'); "
            "INSERT INTO TABFIS (CODIGO, DESCRICAO, PADRAO) VALUES ('001', 'TECIDOS', 'S'); "
            "INSERT INTO GRUPO_MA (CODIGO, DESCRICAO) VALUES ('001', 'CORANTES'); "
            "INSERT INTO GRUPO_MA (CODIGO, DESCRICAO) VALUES ('002', 'AUXILIARES'); "
            "I = 0; WHILE (I < 33) DO BEGIN "
            "INSERT INTO FASE (CODIGO, DESCRICAO, GRUPO, COBRAR) VALUES ('F' || LPAD(:I, 2, '0'), "
            "DECODE(MOD(:I, 10), 0, 'PREPARO', 1, 'ALVEJAMENTO', 2, 'TINGIMENTO', 3, 'LAVAGEM', 4, "
            "'AMACIAMENTO', 5, 'CENTRIFUGA', 6, 'SECAGEM', 7, 'RAMA', 8, 'COMPACTADEIRA', 'REVISAO') || ' ' "
            "|| (:I / 10 + 1), LPAD(MOD(:I, 10), 3, '0'), IIF(MOD(:I, 10) = 2, 'S', 'N')); I = I + 1; END "
            "INSERT INTO FASE (CODIGO, DESCRICAO, GRUPO, COBRAR) VALUES ('F99', 'EXPEDICAO', '009', 'N'); "
            // a few big customers: the cube crowds the customers' codes towards the first ones
            "I = 0; WHILE (I < {CLIENTES}) DO BEGIN "
            "INSERT INTO ENTIDADE (CODCLI, NOME, FANTASIA, TIPO_ENTIDADE, ATIVO, BLOQUEIO, TABELA, PRAZO, "
            "LIMITE_CREDITO) VALUES (LPAD(:I + 1, 5, '0'), 'CLIENTE ' || (:I + 1), 'CLI' || (:I + 1), 'C', "
            "IIF(R(:I, 50) = 0, 'N', 'S'), IIF(R(:I * 8 + 1, 40) = 0, 'S', 'N'), '01', "
            "DECODE(R(:I * 8 + 2, 4), 0, '00', 1, '07', 2, '14', '21'), IIF(:I < 10, 0, 10000 * (1 + R(:I * "
            "8 "
            "+ 3, 100)))); I = I + 1; END "
            "I = 0; WHILE (I < {PRODUTOS}) DO BEGIN "
            "INSERT INTO PRODUTO (CODIGO, DESCRICAO, UNIDADE, GRUPO, CODFIS, GRAMATURA, LARGURA, ATIVO) "
            "VALUES ('T' || LPAD(:I + 1, 5, '0'), DECODE(MOD(:I, 4), 0, 'MALHA', 1, 'TECIDO', 2, 'RIBANA', "
            "'GOLA') || ' ' || (:I + 1), 'KG', LPAD(MOD(:I, 4) + 1, 4, '0'), '001', 100 + R(:I, 200), "
            "1.2 + R(:I * 8 + 1, 10) / 10.0, 'S'); I = I + 1; END "
            // even materials are dyes (percent on the fabric), odd ones chemicals (grams per litre)
            "I = 0; WHILE (I < {MATERIAIS}) DO BEGIN "
            "INSERT INTO MATERIAL (CODIGO, DESCRICAO, UNIDADE, UNI_COM, GRUPO, LINHA, REPOSICAO, "
            "CONCENTRACAO, IND_TIN, ESTOQUE, ATIVO) VALUES ('M' || LPAD(:I + 1, 5, '0'), IIF(MOD(:I, 2) = 0, "
            "'CORANTE ', 'AUXILIAR ') || (:I + 1), IIF(MOD(:I, 2) = 0, '%', 'GL'), 'KG', IIF(MOD(:I, 2) = 0, "
            "'001', '002'), LPAD(R(:I, 7), 3, '0'), (200 + R(:I * 8 + 1, 20000)) / 100.0, 100, 2, 'S', "
            "IIF(R(:I * 8 + 2, 30) = 0, 'N', 'S')); "
            "INSERT INTO MAT_ITEN (CODIGO, COR, DEPOSITO, LOTE, QTDE, PRECO_MED) VALUES ('M' || LPAD(:I + 1, "
            "5, '0'), '0', '0001', '000000', R(:I * 8 + 3, 500000) / 100.0, (200 + R(:I * 8 + 1, 20000)) / "
            "100.0); I = I + 1; END "
            "I = 0; WHILE (I < {MAQUINAS}) DO BEGIN "
            "INSERT INTO MAQ_TIN (CODIGO, DESCRICAO, RELAC_BANHO, FASE, TIPO, TON, PESO_MIN, PESO_MAX, "
            "VOLUME_MIN, VOLUME_MAX, ARREDONDA) VALUES (LPAD(:I + 1, 3, '0'), 'JET ' || (:I + 1), '01', "
            "'F02', '1', '1', 0, 0, 0, 0, 0); I = I + 1; END "
            // capacities: one row per machine and variant, within the machine's size
            "INSERT INTO MAQ_TIN_CAP (SEQUENCIA, MAQUINA, VARIANTE, LARG_DE, LARG_ATE, PESO_MIN, PESO_MAX, "
            "RELAC_BANHO) SELECT CAST(V.CODIGO AS INTEGER), M.CODIGO, V.CODIGO, 0, 999, "
            "DECODE(MOD(CAST(M.CODIGO AS INTEGER), 5), 0, 10, 1, 40, 2, 100, 3, 200, 300), "
            "DECODE(MOD(CAST(M.CODIGO AS INTEGER), 5), 0, 60, 1, 200, 2, 450, 3, 800, 1200), "
            "LPAD(MOD(CAST(M.CODIGO AS INTEGER), 4) + 1, 2, '0') FROM MAQ_TIN M CROSS JOIN VARIANTE V; "
            "UPDATE MAQ_TIN M SET PESO_MIN = (SELECT MIN(PESO_MIN) FROM MAQ_TIN_CAP C WHERE C.MAQUINA = "
            "M.CODIGO), PESO_MAX = (SELECT MAX(PESO_MAX) FROM MAQ_TIN_CAP C WHERE C.MAQUINA = M.CODIGO); "
            // the charged phases' price for every customer, and the dyeing curves
            "INSERT INTO TABPRE_SERV_001 (CODCLI, CLIENTE, FASE, DESCRICAO, CUSTO) SELECT E.CODCLI, E.NOME, "
            "F.CODIGO, F.DESCRICAO, (100 + R(CAST(E.CODCLI AS INTEGER) * 64 + CAST(SUBSTRING(F.CODIGO FROM "
            "2) "
            "AS INTEGER), 900)) / 100.0 FROM ENTIDADE E CROSS JOIN FASE F WHERE F.COBRAR = 'S' OR "
            "F.GRUPO IN ('000', '001', '003'); "
            "I = 0; WHILE (I < 30) DO BEGIN "
            "INSERT INTO GRAFICO (CODIGO, DESCRICAO, QTDE_AGUA, QTDE_VAPOR, TEMPO) VALUES (LPAD(:I + 1, 3, "
            "'0'), 'CURVA ' || (:I + 1), 10 + R(:I, 40), 1 + R(:I * 8 + 1, 5), LPAD(2 + R(:I * 8 + 2, 8), 2, "
            "'0') || ':' || LPAD(R(:I * 8 + 3, 4) * 15, 2, '0')); I = I + 1; END "
            "IF (NOT EXISTS (SELECT 1 FROM ACESSO_USUARIOS WHERE CODIGO = '001' OR NOME = 'ADMIN')) THEN "
            "INSERT INTO ACESSO_USUARIOS (CODIGO, NOME, SENHA, SUPERVISOR, ADMINISTRADOR, ATIVO) VALUES "
            "('001', 'ADMIN', '', 'S', 'S', 'S');"));
}

// Routes of 3 to 10 steps in rising phase order and the expedition last, colours, rules, preparations,
// recipes and their prices.
void receitas(Gerador& g) {
    g.Bloco(
        QStringLiteral("DECLARE I INTEGER = 0; DECLARE K INTEGER; DECLARE N INTEGER; DECLARE C VARCHAR(4); "
                       "DECLARE V VARCHAR(4); DECLARE Q INTEGER;"),
        QStringLiteral(
            "WHILE (I < {ROTEIROS}) DO BEGIN N = 3 + R(I, 9); K = 0; WHILE (K < N) DO BEGIN "
            "INSERT INTO ROTEIRO (CODIGO, DESCRICAO, ORDEM, DIAS, FASE) VALUES (LPAD(:I + 1, 6, '0'), "
            "'ROTEIRO ' || (:I + 1), :K + 1, 1, 'F' || LPAD(:K * 3 + R(:I * 16 + :K + 1, 3), 2, '0')); "
            "K = K + 1; END "
            "INSERT INTO ROTEIRO (CODIGO, DESCRICAO, ORDEM, DIAS, FASE) VALUES (LPAD(:I + 1, 6, '0'), "
            "'ROTEIRO ' || (:I + 1), :N + 1, 1, 'F99'); I = I + 1; END "
            "I = 0; WHILE (I < {CORES}) DO BEGIN "
            "INSERT INTO CADCORTIN (CODIGO, DESCRICAO, COD_CLAFIS, DATA, CODCLI, COR_SIS, REATIVA, TINGIR, "
            "TON) VALUES (LPAD(:I + 1, 10, '0'), 'COR ' || (:I + 1), '001', DIA(:I, {CORES}), "
            "LPAD({CLIENTES} "
            "* R(:I, 1000) * R(:I, 1000) / 1000000 * R(:I, 1000) / 1000 + 1, 5, '0'), R(:I * 8 + 1, "
            "16777216), "
            "IIF(R(:I * 8 + 2, 3) = 0, 'S', 'N'), 'S', DECODE(R(:I * 8 + 3, 3), 0, 'Clara', 1, 'Media', "
            "'Escura')); I = I + 1; END "
            "I = 0; WHILE (I < {REGRAS}) DO BEGIN K = 0; WHILE (K < 3) DO BEGIN "
            "INSERT INTO TNG_REGRA (CODIGO, DESCRICAO, LINHA, TIPO, ORDEM, QTDE_DE, QTDE_ATE, QTDE_R) VALUES "
            "(LPAD(:I + 1, 3, '0'), 'REGRA ' || (:I + 1), '', SUBSTRING('CMP' FROM :K + 1 FOR 1), :K + 1, :K "
            "* "
            "100, :K * 100 + 99.999, 1 + R(:I * 4 + :K, 20)); K = K + 1; END I = I + 1; END "
            "I = 0; WHILE (I < {PREPARACOES}) DO BEGIN N = 3 + R(I, 4); K = 0; WHILE (K < N) DO BEGIN "
            "INSERT INTO PREPARACAO (CODIGO, DESCRICAO, MATERIAL, UNIDADE, FIBRA, PASSO, TIPO, ORDEM, "
            "REGRA, QTDE) VALUES (LPAD(:I + 1, 3, '0'), 'PREPARACAO ' || (:I + 1), 'M' || LPAD(2 * R(:I * 8 "
            "+ "
            ":K + 1, {MATERIAIS} / 2) + 2, 5, '0'), 'GL', '', '1', 'A', :K + 1, IIF(:K = 0, LPAD(R(:I, "
            "{REGRAS}) + 1, 3, '0'), ''), (5 + R(:I * 8 + :K + 1, 45)) / 10.0); K = K + 1; END I = I + 1; "
            "END "
            // four variants of each recipe code, each code its own colour
            "I = 0; WHILE (I < {RECEITAS}) DO BEGIN C = LPAD(I / 4, 4, '0'); V = LPAD(MOD(I, 4) + 1, 2, "
            "'0'); "
            "INSERT INTO RECEITA (CODIGO, DESCRICAO, VARIANTE, COR, COD_BANHO, CUSTO, PREPARACAO, LIBERADA) "
            "VALUES (:C, 'RECEITA ' || :C, :V, LPAD(:I / 4 + 1, 10, '0'), LPAD(R(:I, 4) + 1, 2, '0'), (100 + "
            "R(:I * 8 + 1, 2000)) / 100.0, LPAD(R(:I * 8 + 2, {PREPARACOES}) + 1, 3, '0'), IIF(R(:I * 8 + 3, "
            "20) = 0, '0', '1')); "
            "INSERT INTO TABPRECO (REGIAO, DESCRICAO, COR, VARIANTE, PRECO_00, PRECO_07, PRECO_14, PRECO_21, "
            "LIBERADO, DATA, CODIGO) VALUES ('01', 'PADRAO', LPAD(:I / 4 + 1, 10, '0'), :V, (800 + R(:I * 8 "
            "+ "
            "4, 1200)) / 100.0, (820 + R(:I * 8 + 4, 1200)) / 100.0, (840 + R(:I * 8 + 4, 1200)) / 100.0, "
            "(860 + R(:I * 8 + 4, 1200)) / 100.0, 'S', DIA(:I, {RECEITAS}), ''); "
            "N = 8 + R(I * 8 + 5, 8); K = 0; WHILE (K < N) DO BEGIN Q = IIF(K < 3, 2 * R(I * 16 + K, "
            "{MATERIAIS} / 2) + 1, 2 * R(I * 16 + K, {MATERIAIS} / 2) + 2); "
            "INSERT INTO MAT_TIN (RECEITA, VARIANTE, ORDEN, CODIGO, UNIDADE, QTDE, FIBRA, PASSO, REGRA, "
            "TIPO, "
            "TP_ITEM) VALUES (:C, :V, :K + 1, 'M' || LPAD(:Q, 5, '0'), IIF(:K < 3, '%', 'GL'), IIF(:K < 3, "
            "(1 + "
            "R(:I * 16 + :K, 300)) / 100.0, (5 + R(:I * 16 + :K, 45)) / 10.0), IIF(:K < 3, '1', ''), IIF(:K "
            "< 3, "
            "'2', '3'), IIF(R(:I * 16 + :K + 1, 6) = 0, LPAD(R(:I * 16 + :K, {REGRAS}) + 1, 3, '0'), ''), "
            "'C', "
            "'M'); K = K + 1; END I = I + 1; END"));
}

// Invoices in date order, each with 1 to 4 items; the lot sheets of an invoice follow it, each taking a
// share of what is still free of one or two of its items. Weight is kept exact in tenths of a kilogram,
// and the item's free weight and the invoice's balance are written from it.
void notasEFals(Gerador& g) {
    g.Bloco(
        QStringLiteral(
            "DECLARE N INTEGER = 0; DECLARE T INTEGER; DECLARE K INTEGER; DECLARE J INTEGER; DECLARE J0 "
            "INTEGER; DECLARE J1 INTEGER; DECLARE C VARCHAR(5); DECLARE NOTA VARCHAR(9); DECLARE D DATE; "
            "DECLARE PR NUMERIC(18,1); DECLARE PROG NUMERIC(18,1); DECLARE SALDO NUMERIC(18,1); DECLARE W "
            "NUMERIC(18,1); DECLARE PJ INTEGER; DECLARE PW NUMERIC(18,1); DECLARE PO INTEGER; DECLARE PROD "
            "VARCHAR(15); DECLARE LOTE VARCHAR(25); DECLARE RC INTEGER;"),
        QStringLiteral(
            "WHILE (N < {NOTAS}) DO BEGIN "
            "C = LPAD({CLIENTES} * R(N, 1000) * R(N, 1000) / 1000000 * R(N, 1000) / 1000 + 1, 5, '0'); "
            "NOTA = LPAD(N + 1, 9, '0'); D = DIA(N, {NOTAS}); K = 1 + R(N * 8 + 1, 4); "
            "J0 = (N * CAST({FALS} AS BIGINT) + {NOTAS} - 1) / {NOTAS}; "
            "J1 = ((N + 1) * CAST({FALS} AS BIGINT) + {NOTAS} - 1) / {NOTAS}; "
            "J = J0; WHILE (J < J1) DO BEGIN RC = R(J * 8 + 1, {RECEITAS}); "
            "INSERT INTO FAL (NUMERO, CLIENTE, COR, VARIANTE, ROTEIRO, MAQUINA, TABPRECO, PRAZO, DATA_INI, "
            "DATA_FIN, TIPO, STATUS, ORDEM, PARTIDA) VALUES (LPAD(:J + 1, 7, '0'), :C, LPAD(:RC / 4 + 1, 10, "
            "'0'), LPAD(MOD(:RC, 4) + 1, 2, '0'), LPAD(R(:J * 8 + 2, {ROTEIROS}) + 1, 6, '0'), LPAD(R(:J * 8 "
            "+ "
            "3, {MAQUINAS}) + 1, 3, '0'), '01', '00', DATEADD(R(:J * 8 + 4, 5) DAY TO :D), DATEADD(R(:J * 8 "
            "+ "
            "4, 5) + 7 DAY TO :D), IIF(R(:J * 8 + 5, 20) = 0, 2, 1), 'A', :J + 1, LPAD(:J + 1, 6, '0')); "
            "J = J + 1; END "
            "SALDO = 0; T = 0; WHILE (T < K) DO BEGIN "
            "PR = (1000 + R((N * 8 + T) * 8 + 2, 5000)) / 10.0; PROG = 0; PJ = -1; "
            "PROD = 'T' || LPAD(R((N * 8 + T) * 8 + 3, {PRODUTOS}) + 1, 5, '0'); "
            "LOTE = IIF(R((N * 8 + T) * 8 + 4, 10) = 0, 'L' || (N * 4 + T + 1), LPAD(N * 4 + T + 1, 6, "
            "'0')); "
            // the sheet's first item is item s mod k, some take the next item as their second
            "J = J0; WHILE (J <= J1) DO BEGIN "
            "IF (J = J1 OR MOD(J - J0, K) = T OR (K > 1 AND MOD(J - J0 + 1, K) = T AND R(J * 8 + 6, 2) = "
            "0)) THEN BEGIN "
            "IF (PJ >= 0) THEN BEGIN "
            "IF (J = J1 AND D < DATEADD(-60 DAY TO {CORTE}) AND R((N * 8 + T) * 8 + 5, 5) > 0) THEN PW = PR "
            "- "
            "PROG; "
            "INSERT INTO FAL_ITEN (FAL, NOTA, CODIGO, LOTE, ROLO, PESO, PESO_NF, FLUXO, LARGURA, GRAMATURA, "
            "FATURADO, DT_FATURA, ORD_IT) VALUES (LPAD(:PJ + 1, 7, '0'), :NOTA, :PROD, :LOTE, 1 + CAST(:PW / "
            "25 "
            "AS "
            "INTEGER), :PW, :PW, LPAD(R(:PJ * 8 + 2, {ROTEIROS}) + 1, 6, '0'), 1.6, 180, IIF(DATEADD(R(:PJ * "
            "8 + "
            "4, 5) DAY TO :D) < {CORTE}, 'S', 'A'), IIF(DATEADD(R(:PJ * 8 + 4, 5) DAY TO :D) < {CORTE}, "
            "DATEADD(R(:PJ * 8 + 4, 5) + 9 DAY TO :D), NULL), :PO); "
            "PROG = PROG + PW; END "
            "IF (J < J1) THEN BEGIN PJ = J; PO = IIF(MOD(J - J0, K) = T, 1, 2); "
            "PW = ROUND((PR - PROG) * (25 + R(J * 64 + T, 36)) / 100, 1); END END "
            "J = J + 1; END "
            "INSERT INTO NFITIN (NOTA, CODCLI, ORDEM, CODIGO, DESCRICAO, ROLOS, LOTE, VALOR, PESO, "
            "PESO_REAL, PESO_NOTA, PESO_PROG, LARGURA, GRAMATURA, CLAFIS) VALUES (:NOTA, :C, :T + 1, :PROD, "
            "'MALHA ' || :PROD, 1 + CAST(:PR / 25 AS INTEGER), :LOTE, :PR * 12, :PR - :PROG, :PR, :PR, "
            ":PROG, 1.6, "
            "180, '001'); "
            "SALDO = SALDO + PR - PROG; T = T + 1; END "
            "INSERT INTO NFTIN (NOTA, CLIENTE, DATA, DATA_LAN, NATUREZA, EMISSOR, SERIE, TIPO, SALDO, "
            "TIPO_FRETE) VALUES (:NOTA, :C, :D, :D, '1901', :C, '1', '01', :SALDO, 1 + R(:N * 8 + 7, 4)); "
            "N = N + 1; END"));
}

// Steps of every sheet item along its route: old sheets concluded, recent ones part-way. The expedition
// closes its step on no machine ("00") one to six days after the last phase.
void passos(Gerador& g) {
    g.Exec(QStringLiteral(
        "INSERT INTO PROCESSO_TIN (FAL, CODIGO, ORD_IT, FASE, DES_FASE, ORDEM, PARTIDA, PENDENTE, CONCLUIDO, "
        "MAQUINA, DATA, DATA_INI, HORA_INI, DATA_FIN, HORA_FIN) "
        "SELECT S.FAL, S.CODIGO, S.ORD_IT, S.FASE, S.DESCRICAO, S.ORDEM, S.PARTIDA, IIF(S.FEITO = 1, 'N', "
        "NULL), IIF(S.FEITO = 1, 'S', 'N'), IIF(S.FEITO = 1, IIF(S.FASE = 'F99', '00', S.MAQUINA), NULL), "
        "IIF(S.FEITO = 1, S.DIA, NULL), IIF(S.FEITO = 1, S.DIA, NULL), IIF(S.FEITO = 1, '08:00:00', NULL), "
        "IIF(S.FEITO = 1, S.DIA, NULL), IIF(S.FEITO = 1, '12:00:00', NULL) FROM (SELECT I.FAL, I.CODIGO, "
        "I.ORD_IT, R.FASE, F.DESCRICAO, R.ORDEM, L.PARTIDA, L.MAQUINA, DATEADD(R.ORDEM + IIF(R.FASE = 'F99', "
        "MOD(ABS(HASH(L.NUMERO)), 6), 0) DAY TO L.DATA_INI) AS DIA, "
        "IIF(L.DATA_INI < {CORTE} OR R.ORDEM <= MOD(L.ORDEM, 4), 1, 0) AS FEITO FROM FAL L "
        "JOIN FAL_ITEN I ON (I.FAL = L.NUMERO) JOIN ROTEIRO R ON (R.CODIGO = I.FLUXO) "
        "JOIN FASE F ON (F.CODIGO = R.FASE)) S"));
}

// Production programmes: every sheet item came from an item of one, typed when its invoice arrived. A
// customer's sheets in order are cut into programmes (a new one after a week without an invoice, now and
// then by chance, at least every sixteenth sheet), numbered in the order they began; the items of a sheet
// follow each other under its dye lot. Programmes begun before October are generated, but for one item in
// twenty; the later ones are open. Programme 900000 has 200 open items on the free weight of the biggest
// active customer's latest invoices, four to a dye lot, for the bench to open and save.
void programacoes(Gerador& g) {
    g.Bloco(
        QStringLiteral("DECLARE C VARCHAR(5); DECLARE K INTEGER = 0; DECLARE G INTEGER; DECLARE RC INTEGER; "
                       "DECLARE NOTA VARCHAR(9); DECLARE PROD VARCHAR(15); DECLARE LOTE VARCHAR(25); DECLARE "
                       "ROLOS INTEGER; DECLARE PESO DOUBLE PRECISION;"),
        QStringLiteral(
            "INSERT INTO TNG_PROG (NUMERO, ORDEM, CODCLI, ENTRADA, ENTREGA, PARTIDA, CODIGO, COR, VARIANTE, "
            "MAQUINA, ROTEIRO, LOTE, LOTENF, NOTA, ROLO, PESO, LARGURA, GRAMATURA, REGIAO, FAL) "
            "SELECT LPAD(D.PROGRAMA, 6, '0'), D.ANTES + I.ORD_IT, L.CLIENTE, D.ENTRADA, DATEADD(20 DAY TO "
            "D.ENTRADA), L.PARTIDA, I.CODIGO, L.COR, L.VARIANTE, L.MAQUINA, I.FLUXO, I.LOTE, I.LOTE, I.NOTA, "
            "I.ROLO, I.PESO, I.LARGURA, I.GRAMATURA, '01', IIF(D.ENTRADA < DATEADD(-45 DAY TO {CORTE}) AND "
            "MOD(D.SORTE, 20) > 0, D.FAL, NULL) FROM ("
            // the programme's number, its items before this sheet's and the day it began
            "SELECT C.FAL, C.SORTE, DENSE_RANK() OVER (ORDER BY C.INICIO) AS PROGRAMA, SUM(C.ITENS) OVER "
            "(PARTITION BY C.INICIO ORDER BY C.FAL) - C.ITENS AS ANTES, MIN(C.DIA) OVER (PARTITION BY "
            "C.INICIO) AS ENTRADA FROM ("
            // the first sheet of the programme each sheet is in
            "SELECT B.FAL, B.DIA, B.ITENS, B.SORTE, MAX(IIF(B.COMECA = 1, B.FAL, NULL)) OVER (PARTITION BY "
            "B.CLIENTE ORDER BY B.FAL) AS INICIO FROM ("
            "SELECT A.*, IIF(A.ANTERIOR IS NULL OR A.DIA - A.ANTERIOR > 7 OR MOD(A.SEQ, 16) = 0 OR A.SORTE "
            "< 20, 1, 0) AS COMECA FROM ("
            // each sheet with the day of its invoice (the sheet starts 0 to 4 days later)
            "SELECT S.*, LAG(S.DIA) OVER (PARTITION BY S.CLIENTE ORDER BY S.FAL) AS ANTERIOR, "
            "ROW_NUMBER() OVER (PARTITION BY S.CLIENTE ORDER BY S.FAL) AS SEQ FROM ("
            "SELECT F.NUMERO AS FAL, F.CLIENTE, DATEADD(-R(CAST(F.NUMERO AS INTEGER) * 8 - 4, 5) DAY TO "
            "F.DATA_INI) AS DIA, R(CAST(F.NUMERO AS INTEGER) * 8 - 1, 240) AS SORTE, (SELECT COUNT(*) FROM "
            "FAL_ITEN X WHERE X.FAL = F.NUMERO) AS ITENS FROM FAL F) S) A) B) C) D "
            "JOIN FAL L ON (L.NUMERO = D.FAL) JOIN FAL_ITEN I ON (I.FAL = D.FAL); "
            "SELECT FIRST 1 E.CODCLI FROM ENTIDADE E WHERE E.ATIVO = 'S' AND E.BLOQUEIO = 'N' ORDER BY "
            "(SELECT COUNT(*) FROM NFITIN I WHERE I.CODCLI = E.CODCLI AND I.PESO > 0) DESC, E.CODCLI "
            "INTO :C; "
            "FOR SELECT FIRST 200 N.NOTA, N.CODIGO, N.LOTE, N.ROLOS, N.PESO FROM NFITIN N WHERE "
            "N.CODCLI = :C AND N.PESO > 0 ORDER BY N.NOTA DESC, N.ORDEM INTO :NOTA, :PROD, :LOTE, :ROLOS, "
            ":PESO DO BEGIN "
            "G = K / 4; RC = R(G * 8 + 7000001, {RECEITAS}); K = K + 1; "
            "INSERT INTO TNG_PROG (NUMERO, ORDEM, CODCLI, ENTRADA, ENTREGA, PARTIDA, CODIGO, COR, VARIANTE, "
            "MAQUINA, ROTEIRO, LOTE, LOTENF, NOTA, ROLO, PESO, LARGURA, GRAMATURA, REGIAO) VALUES ('900000', "
            ":K, :C, DATE '2026-11-20', DATE '2026-12-10', LPAD({FALS} + 1 + :G, 6, '0'), :PROD, LPAD(:RC / "
            "4 + 1, 10, '0'), LPAD(MOD(:RC, 4) + 1, 2, '0'), LPAD(R(:G * 8 + 7000002, {MAQUINAS}) + 1, 3, "
            "'0'), LPAD(R(:G * 8 + 7000003, {ROTEIROS}) + 1, 6, '0'), :LOTE, :LOTE, :NOTA, :ROLOS, :PESO, "
            "1.6, 180, '01'); END "
            // the counter where the screen numbers the next one
            "UPDATE OR INSERT INTO CODIGOS (TABELA, CAMPO, ULTIMO) VALUES ('TNG_PROG', 'NUMERO', (SELECT "
            "MAX(NUMERO) FROM TNG_PROG WHERE NUMERO < '900000')) MATCHING (TABELA, CAMPO);"));
}

// What the screens write on every save, spread over the years as the sheets are.
void log(Gerador& g) {
    g.Bloco(
        QStringLiteral("DECLARE I INTEGER = 0; DECLARE K INTEGER; DECLARE CHAVE VARCHAR(40);"),
        QStringLiteral(
            "WHILE (I < {LOGS}) DO BEGIN K = R(I, 10); "
            "CHAVE = DECODE(K, 0, LPAD(CAST(I * CAST({NOTAS} AS BIGINT) / {LOGS} AS INTEGER) + 1, 9, "
            "'0'), 1, LPAD(R(I * 8 + 1, {RECEITAS}) / 4, 4, '0') || LPAD(MOD(R(I * 8 + 1, {RECEITAS}), "
            "4) + 1, 2, '0'), LPAD(CAST(I * CAST({FALS} AS BIGINT) / {LOGS} AS INTEGER) + 1, 7, '0')); "
            "INSERT INTO LOG (CHAVE, DATA, HORA, USUARIO, FORMULARIO, TITULO, TEXTO, TIPO) VALUES (:CHAVE, "
            "DIA(:I, {LOGS}), LPAD(7 + R(:I * 8 + 2, 11), 2, '0') || ':' || LPAD(R(:I * 8 + 3, 60), 2, '0') "
            "|| ':' || LPAD(R(:I * 8 + 4, 60), 2, '0'), DECODE(R(:I * 8 + 5, 4), 0, 'ADMIN', 1, 'MARIA', 2, "
            "'JOSE', 'ANA'), DECODE(:K, 0, 'fmTngNFEntra', 1, 'fmTngReceita', 'FmCadFal'), DECODE(:K, 0, "
            "'NOTA FISCAL DE ENTRADA', 1, 'RECEITA', 'CADASTRO DE FAL'), DECODE(R(:I * 8 + 6, 3), 0, "
            "'INCLUSAO', 1, 'ALTERACAO', 'IMPRESSAO') || ' ' || :CHAVE, R(:I * 8 + 6, 3)); "
            "I = I + 1; END"));
}

// Every sheet issued with twelve lines of materials; those of sheets before the cut are written off stock,
// one exit each, beside the purchases that fill it (three per sheet); each position is then the sum
// of its movements.
void consumos(Gerador& g) {
    g.Bloco(
        QStringLiteral("DECLARE J INTEGER = 0; DECLARE L INTEGER; DECLARE M VARCHAR(15); DECLARE Q "
                       "DOUBLE PRECISION; DECLARE D DATE; DECLARE B CHAR(1); DECLARE F VARCHAR(7);"),
        QStringLiteral(
            "INSERT INTO DEPOSITO (CODIGO, DESCRICAO, PRIORIDADE) VALUES ('0001', 'ALMOXARIFADO', '1'); "
            "WHILE (J < {FALS}) DO BEGIN D = DIA(J, {FALS}); B = IIF(D < {CORTE}, 'S', 'N'); "
            "F = LPAD(J + 1, 7, '0'); L = 0; WHILE (L < 12) DO BEGIN "
            "M = 'M' || LPAD(R(J * 16 + L, {MATERIAIS}) + 1, 5, '0'); Q = 50 + R(J * 16 + L + 7, 5000); "
            "INSERT INTO TNG_CONSUMOS (FAL, ORIGEM, CODIGO, UNIDADE, ORDEM, QTDE, CONSUMO, TIPO, PASSO, "
            "CONTRATIPO, FALS, BAIXADO, BANHO, DATA, LOTE) VALUES (:F, 'TG', :M, '%', :L + 1, 1, :Q, 'C', "
            "'1', 'N', :F, :B, '01', :D, '000000'); "
            "IF (B = 'S') THEN INSERT INTO MAT_MOV (ID, CODIGO, COR, DEPOSITO, LOTE, DATA, OPERACAO, QTDE, "
            "PRECO, TIPO_MOV, TP_MOV, NUM_DOCTO, USUARIO) VALUES (NEXT VALUE FOR GEN_MAT_MOV_ID, :M, '0', "
            "'0001', '000000', :D, 'S', :Q / 1000, 10, '017', 'TG', :F, 'ADMIN'); "
            "L = L + 1; END "
            "L = 0; WHILE (L < 3) DO BEGIN "
            "INSERT INTO MAT_MOV (ID, CODIGO, COR, DEPOSITO, LOTE, DATA, OPERACAO, QTDE, PRECO, TIPO_MOV, "
            "TP_MOV, NUM_DOCTO, USUARIO) VALUES (NEXT VALUE FOR GEN_MAT_MOV_ID, 'M' || LPAD(R(:J * 16 + :L "
            "+ 13, {MATERIAIS}) + 1, 5, '0'), '0', '0001', '000000', :D, 'E', 20 + R(:J * 16 + :L + 3, 80), "
            "10, '006', 'CP', 'NF' || :F, 'ADMIN'); L = L + 1; END "
            "J = J + 1; END "
            "UPDATE MAT_ITEN I SET QTDE = COALESCE((SELECT SUM(IIF(M.OPERACAO = 'E', M.QTDE, -M.QTDE)) "
            "FROM MAT_MOV M WHERE M.CODIGO = I.CODIGO AND M.DEPOSITO = I.DEPOSITO AND M.LOTE = I.LOTE), "
            "0);"));
}

// Print designs: every tenth colour is printed too, each of its four variants with six screens, each screen
// printing one of the pastes (the last eighth of the materials, twelve components each from the others); one
// lot sheet in twenty of such a colour is printed.
void estampas(Gerador& g) {
    g.Bloco(
        QStringLiteral("DECLARE NP INTEGER; DECLARE I INTEGER = 0; DECLARE K INTEGER; DECLARE V "
                       "INTEGER; DECLARE O INTEGER;"),
        QStringLiteral(
            "NP = {MATERIAIS} / 8; WHILE (I < 300) DO BEGIN INSERT INTO QUADRO (CODIGO, DESCRICAO, LOCAL, "
            "ESPESSURA) VALUES ('Q' "
            "|| "
            "LPAD(:I + 1, 5, '0'), 'QUADRO ' || (:I + 1), 'PRATELEIRA ' || MOD(:I, 20), '0,' || (3 + MOD(:I, "
            "5))); I = I + 1; END "
            "I = 0; WHILE (I < NP) DO BEGIN K = 0; WHILE (K < 12) DO BEGIN "
            "INSERT INTO COMP_MATERIAL (MATERIAL, CODIGO, ORDEM, PERC) VALUES ('M' || LPAD({MATERIAIS} - :NP "
            "+ "
            ":I + 1, 5, '0'), 'M' || LPAD(R(:I * 16 + :K, {MATERIAIS} - :NP) + 1, 5, '0'), :K + 1, 5 + "
            "R(:I * 16 + :K + 3, 60)); K = K + 1; END I = I + 1; END "
            "I = 0; WHILE (I < {CORES}) DO BEGIN V = 1; WHILE (V <= 4) DO BEGIN O = 1; WHILE (O <= 6) DO "
            "BEGIN "
            "INSERT INTO EST_QUADRO (ESTAMPA, VARIANTE, ORDEM, QUADRO, FUNDO, PRODUTO, PRESSAO, "
            "CONSUMO_BOMBA, "
            "CONSUMO) VALUES (LPAD(:I + 1, 10, '0'), LPAD(:V, 2, '0'), :O, 'Q' || LPAD(R(:I * 64 + :V * 8 + "
            ":O, 300) + 1, 5, '0'), '10', 'M' || LPAD({MATERIAIS} - :NP + R(:I * 64 + :V * 8 + :O + 5, :NP) "
            "+ "
            "1, 5, '0'), 2, 1, (20 + R(:I * 64 + :V * 8 + :O + 7, 60)) / 1000.0); O = O + 1; END V = V + 1; "
            "END I = I + 10; END "
            "UPDATE FAL SET ESTAMPA = COR, VAR_EST = VARIANTE WHERE MOD(CAST(NUMERO AS INTEGER), 20) = 0 AND "
            "MOD(CAST(COR AS INTEGER) - 1, 10) = 0;"));
}

// Quality: every fabric of a lot sheet released (its verdict, the row of ORDEM 0, with its measurements) and
// its six rolls weighed for their labels; 1.5 % of the older sheets were blocked at the first inspection
// and released the next day.
void qualidade(Gerador& g) {
    g.Bloco(
        QStringLiteral("DECLARE F VARCHAR(7); DECLARE C VARCHAR(15); DECLARE P DOUBLE PRECISION; DECLARE O "
                       "INTEGER; DECLARE D DATE;"),
        QStringLiteral("FOR SELECT I.FAL, I.CODIGO, SUM(I.PESO) FROM FAL_ITEN I GROUP BY I.FAL, I.CODIGO "
                       "INTO :F, :C, :P DO BEGIN "
                       "INSERT INTO CONTR_QUL (FAL, CODIGO, ORDEM, APROVADO, DATA, LARGURA, GRAMATURA, "
                       "PESO_TINT) VALUES "
                       "(:F, :C, 0, 'S', CURRENT_DATE, 1.6, 180, :P); O = 1; WHILE (O <= 6) DO BEGIN "
                       "INSERT INTO CONTR_QUL (FAL, CODIGO, ORDEM, APROVADO, PESO_TINT) VALUES (:F, :C, :O, "
                       "'S', :P / 6); "
                       "O = O + 1; END END "
                       // the quality log keeps the block, as the quality screen writes it
                       "FOR SELECT I.FAL, MIN(I.CODIGO), (SELECT MAX(P.DATA_FIN) FROM PROCESSO_TIN P WHERE "
                       "P.FAL = I.FAL AND P.FASE <> 'F99') FROM FAL_ITEN I JOIN FAL L ON (L.NUMERO = I.FAL) "
                       "WHERE L.DATA_INI < DATEADD(-30 DAY TO {CORTE}) AND R(CAST(L.NUMERO AS INTEGER) * 8 + "
                       "5, 1000) < 15 GROUP BY I.FAL INTO :F, :C, :D DO BEGIN "
                       "INSERT INTO LOG (CHAVE, DATA, HORA, USUARIO, FORMULARIO, TITULO, TEXTO, TIPO) SELECT "
                       ":F, DATEADD(X.N DAY TO :D), '16:00:00', 'MARIA', 'fmContrQul', 'CADASTRO DE "
                       "QUALIDADE', 'ALTERACAO DE QUALIDADE DA FAL ' || :F || ' CODIGO ' || :C || ' STATUS ' "
                       "|| IIF(X.N = 0, 'BLOQUEADO', 'LIBERADO') || ' RESPONS MARIA', 1 FROM (SELECT 0 AS N "
                       "FROM RDB$DATABASE UNION ALL SELECT 1 FROM RDB$DATABASE) X; END"));
}

// Reprocesses: of the sheets begun a month before the cut, about 2 % go back to the floor (5 % of the dark
// colours, 4 % more on one colour and variant in ten), the last one first: a reprocess sheet on the day after
// its last step with the same items (the invoice weight is not taken again), its steps done on the sheet's
// machine, its verdict released; a re-dye (kind 2), it takes no invoice weight. The original's verdict
// remarks why, its items are written off unbilled, and its expedition step is closed unshipped.
void reprocessos(Gerador& g) {
    g.Bloco(
        QStringLiteral(
            "DECLARE F VARCHAR(7); DECLARE NOVO VARCHAR(7); DECLARE D DATE; DECLARE N INTEGER = 0;"),
        QStringLiteral(
            "FOR SELECT L.NUMERO, (SELECT MAX(P.DATA_FIN) FROM PROCESSO_TIN P WHERE P.FAL = L.NUMERO AND "
            "P.FASE <> "
            "'F99') FROM "
            "FAL L "
            "JOIN CADCORTIN C ON (C.CODIGO = L.COR) WHERE L.DATA_INI < DATEADD(-30 DAY TO {CORTE}) AND "
            "R(CAST(L.NUMERO AS INTEGER) * 8 + 7, 1000) < IIF(C.TON = 'Escura', 50, 20) + "
            "IIF(MOD(CAST(L.COR AS INTEGER) * 4 + CAST(L.VARIANTE AS INTEGER), 10) = 3, 40, 0) ORDER BY "
            "L.NUMERO "
            "INTO :F, :D DO BEGIN "
            "N = N + 1; NOVO = LPAD({FALS} + N, 7, '0'); "
            "INSERT INTO FAL (NUMERO, CLIENTE, COR, VARIANTE, ROTEIRO, MAQUINA, TABPRECO, PRAZO, DATA_INI, "
            "DATA_FIN, TIPO, STATUS, ORDEM, PARTIDA, NUM_REPROC) SELECT :NOVO, CLIENTE, COR, VARIANTE, "
            "ROTEIRO, MAQUINA, TABPRECO, PRAZO, DATEADD(1 DAY TO :D), DATEADD(8 DAY TO :D), 2, 'A', "
            "{FALS} + :N, PARTIDA, NUMERO FROM FAL WHERE NUMERO = :F; "
            "INSERT INTO FAL_ITEN (FAL, NOTA, CODIGO, LOTE, ROLO, PESO, PESO_NF, FLUXO, LARGURA, GRAMATURA, "
            "FATURADO, DT_FATURA, ORD_IT) SELECT :NOVO, NOTA, CODIGO, LOTE, ROLO, PESO, 0, FLUXO, LARGURA, "
            "GRAMATURA, FATURADO, DT_FATURA, ORD_IT FROM FAL_ITEN WHERE FAL = :F; "
            "INSERT INTO PROCESSO_TIN (FAL, CODIGO, ORD_IT, FASE, DES_FASE, ORDEM, PARTIDA, PENDENTE, "
            "CONCLUIDO, MAQUINA, DATA, DATA_INI, HORA_INI, DATA_FIN, HORA_FIN) SELECT :NOVO, CODIGO, ORD_IT, "
            "FASE, DES_FASE, ORDEM, PARTIDA, 'N', 'S', MAQUINA, DATEADD(ORDEM + 1 DAY TO :D), DATEADD(ORDEM "
            "+ "
            "1 DAY TO :D), '13:00:00', DATEADD(ORDEM + 1 DAY TO :D), '17:00:00' FROM PROCESSO_TIN WHERE FAL "
            "= "
            ":F; "
            "INSERT INTO CONTR_QUL (FAL, CODIGO, ORDEM, APROVADO, DATA, LARGURA, GRAMATURA, PESO_TINT) "
            "SELECT "
            ":NOVO, CODIGO, 0, 'S', DATEADD(2 DAY TO :D), LARGURA, GRAMATURA, PESO_TINT FROM CONTR_QUL WHERE "
            "FAL = :F AND ORDEM = 0; "
            "UPDATE CONTR_QUL SET OBS = DECODE(R(:N, 4), 0, 'MANCHA', 1, 'TONALIDADE', 2, 'IGUALIZACAO', "
            "'SOLIDEZ') WHERE FAL = :F AND ORDEM = 0; "
            "UPDATE FAL_ITEN SET PESO_DEV = PESO, DT_FATURA = NULL WHERE FAL = :F; "
            "UPDATE PROCESSO_TIN SET MAQUINA = NULL, DATA = :D, DATA_INI = :D, DATA_FIN = :D WHERE FAL = :F "
            "AND FASE = 'F99'; END"));
}

// Quotations: cost parameters for every customer and price region, and quotations spread over the years,
// each of 20 to 40 colours and variants that have recipes, priced from their costs, and 1 to 3 services;
// the last month's pending, the older ones confirmed (some items sent to the price table) or discarded.
void orcamentos(Gerador& g) {
    g.Bloco(
        QStringLiteral(
            "DECLARE N INTEGER = 0; DECLARE K INTEGER; DECLARE T INTEGER; DECLARE RC INTEGER; DECLARE "
            "NUM VARCHAR(6); DECLARE D DATE; DECLARE S CHAR(1); DECLARE Q NUMERIC(18,4); DECLARE TG "
            "NUMERIC(18,4); DECLARE IND INTEGER;"),
        QStringLiteral(
            "INSERT INTO PRECO_PARAM (CODIGO, COFINS, ICMS, IRPJ, CONTR_SOCIAL, FINANCEIRO, COMISAO, PERDA, "
            "MARGEM, FRETE, INDICE_N, FIXO, CUSTO_MIN, VOLUME, MARKTING) SELECT C.CODIGO, 3, IIF(MOD(C.N, 3) "
            "= "
            "0, 7, 12), 1.2, 1.08, (10 + R(C.N, 20)) / 10.0, 1 + R(C.N * 8 + 1, 4), (10 + R(C.N * 8 + 2, "
            "20)) / "
            "10.0, 12 + R(C.N * 8 + 3, 12), (5 + R(C.N * 8 + 4, 25)) / 100.0, 0.08, (180 + R(C.N * 8 + 5, "
            "80)) "
            "/ 100.0, (150 + R(C.N * 8 + 6, 60)) / 100.0, DECODE(R(C.N * 8 + 7, 3), 0, 600, 1, 900, 1200), 0 "
            "FROM (SELECT CODCLI AS CODIGO, CAST(CODCLI AS INTEGER) AS N FROM ENTIDADE UNION ALL SELECT "
            "REGIAO, 100000 + CAST(REGIAO AS INTEGER) FROM REGIAO) C; "
            "WHILE (N < {ORCAMENTOS}) DO BEGIN NUM = LPAD(N + 1, 6, '0'); D = DIA(N, {ORCAMENTOS}); "
            "S = IIF(D >= DATEADD(-30 DAY TO {CORTE}), '0', IIF(R(N * 8 + 1, 4) = 0, '2', '1')); "
            "INSERT INTO ORCAMENTO (NUMERO, CODCLI, OBS, SITUACAO, DATA) VALUES (:NUM, LPAD({CLIENTES} * "
            "R(:N "
            "* 8, 1000) * R(:N * 8, 1000) / 1000000 * R(:N * 8, 1000) / 1000 + 1, 5, '0'), 'COLECAO ' || (:N "
            "+ "
            "1), :S, :D); "
            "K = 0; T = 20 + R(N * 8 + 2, 21); WHILE (K < T) DO BEGIN RC = R(N * 64 + K, {RECEITAS}); "
            "Q = (100 + R(N * 64 + K + 1, 2000)) / 100.0; TG = (20 + R(N * 64 + K + 2, 130)) / 100.0; "
            "IND = 12 + R(N * 64 + K + 3, 12); "
            "INSERT INTO ORCA_ITEN (NUMERO, ORDEM, COR, VARIANTE, SERVICO, INDICE, CUSTO_QUIM, CUSTO_TING, "
            "FIXO, PEDIDO, PRECO) VALUES (:NUM, :K + 1, LPAD(:RC / 4 + 1, 10, '0'), LPAD(MOD(:RC, 4) + 1, 2, "
            "'0'), LPAD(R(:N * 64 + :K + 4, {ROTEIROS}) + 1, 6, '0'), :IND, :Q, :TG, 2.4, IIF(:S = '1' AND "
            "R(:N * 64 + :K + 5, 3) = 0, 'S', 'N'), ROUND((:Q + :TG + 2.4) / ((80 - :IND) / 100.0), 2)); "
            "K = K + 1; END "
            "K = 0; T = 1 + R(N * 8 + 3, 3); WHILE (K < T) DO BEGIN INSERT INTO ORCA_FLUXO (NUMERO, "
            "DEPOSITO) "
            "VALUES (:NUM, 'F' || LPAD(R(:N * 8 + 4 + :K, 33), 2, '0')); K = K + 1; END "
            "N = N + 1; END"));
}

// The dye-house's sixty employees in three shifts and their day sheets: each of 20 to 40 lots worked on
// some machine, from a start between six in the morning and midnight for one to six hours (some across
// midnight), about thirty rows a sheet, spread over the years as the lot sheets are.
void producao(Gerador& g) {
    g.Bloco(
        QStringLiteral("DECLARE I INTEGER = 0; DECLARE N INTEGER = 0; DECLARE K INTEGER; DECLARE T INTEGER; "
                       "DECLARE D DATE; DECLARE F VARCHAR(5); DECLARE H0 INTEGER; DECLARE H1 INTEGER;"),
        QStringLiteral(
            "INSERT INTO TURNO (TURNO, DESCRICAO, NOTURNO) VALUES ('01', 'PRIMEIRO', 'N'); "
            "INSERT INTO TURNO (TURNO, DESCRICAO, NOTURNO) VALUES ('02', 'SEGUNDO', 'N'); "
            "INSERT INTO TURNO (TURNO, DESCRICAO, NOTURNO) VALUES ('03', 'TERCEIRO', 'S'); "
            "WHILE (I < 7) DO BEGIN "
            "INSERT INTO TURNO_HORARIOS (TURNO, DIA, ENTRADA, SAIDA, TOTAL) VALUES ('01', :I + 1, '06:00', "
            "'14:00', '08:00'); "
            "INSERT INTO TURNO_HORARIOS (TURNO, DIA, ENTRADA, SAIDA, TOTAL) VALUES ('02', :I + 1, '14:00', "
            "'22:00', '08:00'); "
            "INSERT INTO TURNO_HORARIOS (TURNO, DIA, ENTRADA, SAIDA, TOTAL) VALUES ('03', :I + 1, '22:00', "
            "'06:00', '08:00'); I = I + 1; END "
            "INSERT INTO OPERACAO (CODIGO, DESCRICAO) VALUES ('001', 'TINGIMENTO'); "
            "INSERT INTO OPERACAO (CODIGO, DESCRICAO) VALUES ('002', 'ALVEJAMENTO'); "
            "INSERT INTO OPERACAO (CODIGO, DESCRICAO) VALUES ('003', 'LAVAGEM'); "
            "INSERT INTO OPERACAO (CODIGO, DESCRICAO) VALUES ('004', 'SECAGEM'); "
            "I = 0; WHILE (I < 60) DO BEGIN INSERT INTO PESSOAL (CODIGO, NOME, TURNO) VALUES (LPAD(:I + 1, "
            "5, '0'), 'FUNCIONARIO ' || (:I + 1), LPAD(MOD(:I, 3) + 1, 2, '0')); I = I + 1; END "
            "I = 0; WHILE (N < {PRODUCAO}) DO BEGIN "
            "D = DIA(I, {PRODUCAO} / 30); F = LPAD(R(I * 8, 60) + 1, 5, '0'); "
            "K = 0; T = 20 + R(I * 8 + 1, 21); WHILE (K < T) DO BEGIN "
            "H0 = 360 + R(I * 64 + K, 1080); H1 = MOD(H0 + 60 + R(I * 64 + K + 1, 300), 1440); "
            "INSERT INTO PRODUCAO1 (PARTIDA, NUMERO, FUNCIONARIO, DATA_EMI, HORA_INI, HORA_FIM, CODCLI, "
            "PRODUTO, OPERACAO, QTDE, PCINI, SEQUENCIA) VALUES (LPAD(R(:I * 64 + :K + 2, {FALS}) + 1, 6, "
            "'0'), LPAD(R(:I * 64 + :K + 3, 4) + 1, 3, '0'), :F, :D, LPAD(:H0 / 60, 2, '0') || ':' || "
            "LPAD(MOD(:H0, 60), 2, '0') || ':00', LPAD(:H1 / 60, 2, '0') || ':' || LPAD(MOD(:H1, 60), 2, "
            "'0') || ':00', LPAD(R(:I * 64 + :K + 4, {CLIENTES}) + 1, 5, '0'), 'T' || LPAD(R(:I * 64 + :K "
            "+ 5, {PRODUTOS}) + 1, 5, '0'), LPAD(R(:I * 64 + :K + 6, {MAQUINAS}) + 1, 3, '0'), 20 + R(:I "
            "* 64 + :K + 7, 480), 1 + R(:I * 64 + :K + 8, 30), :K + 1); "
            "K = K + 1; END N = N + T; I = I + 1; END"));
}

// What the management reports read besides the sheets: a curve for every recipe, print groups for the
// variants, eight representatives sharing the customers (one in ten has none), and the outgoing invoice of
// every billed sheet on its billing day: its items the sheet's (one in fifty set aside), at the sheet's rate
// per kg, under a nature that bills (one invoice in twenty a return that does not), receivable in one to
// three monthly instalments.
void faturamento(Gerador& g) {
    const QString taxa = QStringLiteral("(800 + R(CAST(F.NUMERO AS INTEGER) * 8 + 8000002, 1200)) / 100.0");
    g.Bloco(
        QStringLiteral("DECLARE I INTEGER = 0;"),
        QStringLiteral(
            "UPDATE RECEITA SET GRAFICO = LPAD(R(CAST(CODIGO AS INTEGER) * 8 + CAST(VARIANTE AS INTEGER) + "
            "8000005, 30) + 1, 3, '0') WHERE GRAFICO IS NULL; "
            "UPDATE VARIANTE SET GRUPO_IMP = LPAD(CAST(CODIGO AS INTEGER), 2, '0') WHERE GRUPO_IMP IS NULL; "
            "WHILE (I < 8) DO BEGIN INSERT INTO REPRESEN (CODREP, NOME) VALUES (LPAD(:I + 1, 5, '0'), "
            "'REPRESENTANTE ' || (:I + 1)); I = I + 1; END "
            "UPDATE ENTIDADE SET CODREP = IIF(R(CAST(CODCLI AS INTEGER) * 8 + 8000004, 10) = 0, NULL, "
            "LPAD(R(CAST(CODCLI AS INTEGER) * 8 + 8000006, 8) + 1, 5, '0')); "
            "UPDATE OR INSERT INTO NATUREZA (NATUREZA, DESCRICAO, TIPO, TP_BASE, DUPLI) VALUES ('5124', "
            "'INDUSTRIALIZACAO EFETUADA PARA OUTRA EMPRESA', 'V', '1', 'S') MATCHING (NATUREZA); "
            "UPDATE OR INSERT INTO NATUREZA (NATUREZA, DESCRICAO, TIPO, TP_BASE, DUPLI) VALUES ('5902', "
            "'RETORNO DE MERCADORIA UTILIZADA NA INDUSTRIALIZACAO', 'D', '1', 'N') MATCHING (NATUREZA); "
            "INSERT INTO NOTAITEN (FATURA, CODIGO, COR, PEDIDO, NOTA_CLIENTE, NATUREZA, QTDE, VALOR, "
            "EMPENHO) "
            "SELECT CAST(F.NUMERO AS INTEGER), I.CODIGO, F.COR, F.NUMERO, I.NOTA, IIF(R(CAST(F.NUMERO AS "
            "INTEGER) * 8 + 8000001, 20) = 0, '5902', '5124'), I.PESO, ROUND(I.PESO * %1, 2), "
            "IIF(R(CAST(F.NUMERO AS INTEGER) * 8 + I.ORD_IT + 8000007, 50) = 0, 'S', 'N') FROM FAL F JOIN "
            "FAL_ITEN I ON (I.FAL = F.NUMERO) WHERE I.FATURADO = 'S' AND I.DT_FATURA IS NOT NULL; "
            "INSERT INTO NOTA (FATURA, CODCLI, NATUREZA, DT_EMISSAO, VALOR, PESOL, TIPFAT, IMPRESSO) "
            "SELECT CAST(F.NUMERO AS INTEGER), MAX(F.CLIENTE), IIF(R(CAST(F.NUMERO AS INTEGER) * 8 + "
            "8000001, "
            "20) = 0, '5902', '5124'), MAX(I.DT_FATURA), SUM(ROUND(I.PESO * %1, 2)), SUM(I.PESO), "
            "IIF(R(CAST(F.NUMERO AS INTEGER) * 8 + 8000003, 10) = 0, 'C', 'T'), 'S' FROM FAL F JOIN "
            "FAL_ITEN I ON (I.FAL = F.NUMERO) WHERE I.FATURADO = 'S' AND I.DT_FATURA IS NOT NULL GROUP BY "
            "F.NUMERO; "
            "INSERT INTO RECEBER (FATURA, CODCLI, CODREP, VENCIMENTO, VALOR) SELECT N.FATURA, N.CODCLI, "
            "E.CODREP, DATEADD(30 * P.K DAY TO N.DT_EMISSAO), IIF(P.K = N.T, N.VALOR - ROUND(N.VALOR / N.T, "
            "2) "
            "* (N.T - 1), ROUND(N.VALOR / N.T, 2)) FROM (SELECT FATURA, CODCLI, DT_EMISSAO, VALOR, 1 + "
            "R(FATURA * 8 + 8000008, 3) AS T FROM NOTA WHERE NATUREZA = '5124') N JOIN (SELECT 1 AS K FROM "
            "RDB$DATABASE UNION ALL SELECT 2 FROM RDB$DATABASE UNION ALL SELECT 3 FROM RDB$DATABASE) P ON "
            "(P.K <= N.T) LEFT JOIN ENTIDADE E ON (E.CODCLI = N.CODCLI);")
            .arg(taxa));
}

const char* const kTabelas[] = {
    "VARIANTE",     "BANHO",        "GRUPO_PA",  "REGIAO",          "NATUREZA",   "TABFIS",
    "GRUPO_MA",     "FASE",         "ENTIDADE",  "PRODUTO",         "MATERIAL",   "MAT_ITEN",
    "MAQ_TIN",      "MAQ_TIN_CAP",  "ROTEIRO",   "CADCORTIN",       "TNG_REGRA",  "PREPARACAO",
    "RECEITA",      "TABPRECO",     "MAT_TIN",   "NFTIN",           "NFITIN",     "FAL",
    "FAL_ITEN",     "PROCESSO_TIN", "LOG",       "TABPRE_SERV_001", "GRAFICO",    "TNG_PROG",
    "TNG_CONSUMOS", "MAT_MOV",      "DEPOSITO",  "CONTR_QUL",       "QUADRO",     "COMP_MATERIAL",
    "EST_QUADRO",   "PRECO_PARAM",  "ORCAMENTO", "ORCA_ITEN",       "ORCA_FLUXO", "PRODUCAO1",
    "PESSOAL",      "REPRESEN",     "NOTA",      "NOTAITEN",        "RECEBER"};
} // namespace

namespace {
void gera(TZoDatabase& db, int anos, int fracao, quint32 semente) {
    if (anos < 1 || anos > 20)
        throw EDatabaseError(QStringLiteral("from 1 to 20 years: recipe codes have four digits"));
    Gerador g(db, anos, fracao, semente);
    const int espera = db.LockTimeoutMs;
    db.LockTimeoutMs = 3600000; // the whole load is one unit of work
    cadastros(g);
    receitas(g);
    notasEFals(g);
    passos(g);
    programacoes(g);
    log(g);
    consumos(g);
    estampas(g);
    qualidade(g);
    reprocessos(g);
    orcamentos(g);
    producao(g);
    faturamento(g);
    db.Transaction()->CommitRetaining();
    db.LockTimeoutMs = espera;

    QStringList tabelas;
    for (const char* tabela : kTabelas)
        tabelas << QStringLiteral("'%1'").arg(QLatin1String(tabela));
    QSqlQuery indices(db.Connection());
    db.Exec(indices,
            QStringLiteral("SELECT TRIM(RDB$INDEX_NAME) FROM RDB$INDICES WHERE RDB$RELATION_NAME IN (%1)")
                .arg(tabelas.join(QLatin1Char(','))),
            false);
    QStringList nomes;
    while (indices.next())
        nomes << indices.value(0).toString();
    for (const QString& nome : nomes) {
        QSqlQuery q(db.Connection());
        db.Exec(q, QStringLiteral("SET STATISTICS INDEX \"%1\"").arg(nome), true);
    }
    db.Transaction()->CommitRetaining();
}
} // namespace

void GeraFabrica(TZoDatabase& db, int anos, quint32 semente) {
    gera(db, anos, 1, semente);
}

void GeraAmostra(TZoDatabase& db, quint32 semente) {
    gera(db, 1, 20, semente);
}
