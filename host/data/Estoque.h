#pragma once
#include "HostExport.h"
#include <QDate>
#include <QSet>
#include <QString>
#include <memory>
#include <optional>

class TZoDatabase;
struct TabelasEstoque;
struct ConsultasEstoque;

// The warehouse the dye kitchen takes stock from: the one of priority "1", "0000" when none.
KELMHOST_EXPORT QString DepositoPrioritario();

// One stock movement of a material or a product: an entry or an exit of kilograms at a position (code,
// colour, warehouse, lot), under a movement type and the origin that made it ("TG" dye-house, "TE" print
// shop), for a document (the FAL).
struct MovimentoEstoque {
    QString codigo;
    QString cor = QStringLiteral("0");
    QString deposito;
    QString lote = QStringLiteral("000000");
    double quantidade = 0; // kilograms, above 0
    bool saida = true;
    QString documento;
    QString cliente;
    QString usuario;
    QString funcionario;
    QString tipoMovimento; // TIPO_MOV_EST.CODIGO
    QString origem = QStringLiteral("TG");
    QDate data{}; // today when not given
};

// The host's stock: movements in MAT_MOV/PA_MOV, each position's balance in MAT_ITEN/PA_ITEN.QTDE kept equal
// to the sum of its movements, all in the caller's unit of work on the connection given (the host's when
// null). A movement refused writes nothing and says why; the caller rolls its unit back or goes on.
class KELMHOST_EXPORT TEstoque {
public:
    explicit TEstoque(TZoDatabase* conexao = nullptr);
    ~TEstoque();
    TEstoque(const TEstoque&) = delete;
    TEstoque& operator=(const TEstoque&) = delete;

    QString MovimentaEstoqueMaterial(const MovimentoEstoque& movimento);
    QString MovimentaEstoqueProduto(const MovimentoEstoque& movimento);

    // The movement type of that kind (6, 8 entries; 14, 15, 17 exits); empty when none is registered.
    QString CodigoTipoMovEstoque(int especie);

    // Undoes what `documento` moved under `origem`: per position, the opposite of its net, under the
    // movement type given. Done twice, the second moves nothing. The movements posted, or a refusal.
    QString Estorna(const QString& origem, const QString& documento, const QString& tipoMovimento,
                    int* movidos = nullptr);

private:
    QString Movimenta(const MovimentoEstoque& movimento, const TabelasEstoque& tabelas);
    ConsultasEstoque& Consultas(const TabelasEstoque& tabelas);
    bool NegativoPermitido();
    TZoDatabase& m_conexao;
    std::optional<bool> m_negativo;
    // A movement's statements, prepared once per service and kind (materials, products); the codes and
    // warehouses already found, so a batch checks each once.
    std::unique_ptr<ConsultasEstoque> m_consultas[2];
    QSet<QString> m_conferidos;
};
