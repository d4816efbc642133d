#pragma once
#include "ItensProgramacao.h"
#include "RegrasGeracao.h"
#include <QHash>
#include <QString>

class QWidget;
class TZoDatabase;
struct ItemNota;

// The module parameters generation reads when the programme opens.
struct ParametrosGeracao {
    QString saldoNota;    // 150: "N" forbids items beyond the invoice's free weight
    int idadePreco = 0;   // 240: days a price may go unchanged; 0 = no check
    bool credito = false; // 250: the customer's credit limit is checked
};

// Turns the selected programme items into a lot sheet ("Gerar FAL"), and pushes edited items back into
// their sheets ("Atualizar FAL"). Every check and question comes first; then everything is written on the
// screen's second connection as one unit of work: the sheet, its items and steps, the invoice weight it
// takes or gives back, the programme rows and the audit line, committed once or not at all.
class GeracaoFal {
public:
    GeracaoFal(QWidget* tela, ItensProgramacao& itens, TZoDatabase& conexao,
               const ParametrosGeracao& parametros);

    // True when a sheet was generated (the caller then reloads the programme).
    bool Gera(const CabecalhoProgramacao& cabecalho);
    // True when the sheets were updated.
    bool Atualiza(const CabecalhoProgramacao& cabecalho);

private:
    struct Selecionado {
        int linha = 0;
        ItemGeracao item;
    };
    QList<Selecionado> Selecionados() const;
    ItemGeracao ItemDaLinha(int linha) const;
    ItemNota ItemNotaDe(const ItemGeracao& item, const QString& cliente) const;
    bool Recusa(const QString& mensagem);
    bool ConfereItens(const QList<Selecionado>& selecionados, const QString& prazo,
                      const QString& regiaoCliente, bool emAtualizacao);
    QHash<ItemNota, double> PesoDaFal(const QString& fal);
    void GravaPassos(const QString& fal, const QString& partida, const QString& grafico);
    QString Grafico(const QString& cor, const QString& variante);
    bool RegiaoExiste(const QString& regiao);
    QString ItensSemSaldo(const QHash<ItemNota, double>& movidos);
    QString ItemForaDaNota(const QList<ItemNota>& itens);
    bool ConfereSaldo(const QList<Selecionado>& selecionados, const QString& cliente, const QString& fal);

    QWidget* m_tela;
    ItensProgramacao& m_itens;
    TZoDatabase& m_conexao;
    ParametrosGeracao m_parametros;
    QString m_titulo;
    // what the checks read, kept for the writes
    int m_diasRoteiro = 0;
    QStringList m_falsDosItens;
};
