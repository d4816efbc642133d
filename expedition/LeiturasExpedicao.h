#pragma once
#include <QDate>
#include <QString>
#include <QStringList>

class TZoQuery;

// What the desk's expedition reads from the tables: the lot sheets to ship.

enum class StatusExpedicao { Concluido, Pendente, NaoIniciado, Reprocesso };

struct FiltroExpedicao {
    QString cliente, fase, grupo, lote;
    QDate de, ate;
    StatusExpedicao status = StatusExpedicao::Pendente;
};

// One row per sheet of the period, none of whose listed items is billed: its weight, pieces, customer,
// colour and the phase of its first open step, by date and number, under the desk's grid names (SELECIONA
// 'N', FAL, PARTIDA, CLIENTE, NOME, COR, DESCCOR, PESO, ROLO, QTDE_EXPEDIDA 0, DATA, CODFASE, FASE, LOTE,
// VARIANTE, TIPO).
void AbreConsultaExpedicao(TZoQuery& consulta, const FiltroExpedicao& filtro);
