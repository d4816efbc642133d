#include "CaixaCliente.h"
#include "LeiturasCliente.h"
#include "RegrasCliente.h"
#include "TPesquisa.h"

QString RecusaDoCliente(const QString& cliente, const QString& desconhecido, const QString& depois) {
    const std::optional<SituacaoCliente> situacao =
        cliente.isEmpty() ? std::nullopt : LeSituacaoCliente(cliente);
    if (!situacao)
        return desconhecido;
    const QString recusa = RecusaCliente(situacao->ativo, situacao->bloqueio);
    return recusa.isEmpty() ? recusa : recusa + depois;
}

DeclaracaoCaixa CaixaCliente(QLineEdit* caixa, bool soClientes, const QString& desconhecido,
                             const QString& depois) {
    DeclaracaoCaixa d;
    d.caixa = caixa;
    d.titulo = QStringLiteral("Clientes");
    d.tabela = QStringLiteral("ENTIDADE");
    d.chave = QStringLiteral("CODCLI");
    d.campoDescricao = QStringLiteral("NOME");
    d.preparaLista = [soClientes](TPesquisa& lista) {
        lista.Filtro = FiltroClienteLiberado() +
                       (soClientes ? QStringLiteral(" AND TIPO_ENTIDADE LIKE '%C%'") : QString());
        return true;
    };
    // The customer's own state read once: an unknown code and a blocked customer told apart.
    if (!desconhecido.isEmpty())
        d.confere = [desconhecido, depois](const QString& cliente) {
            return RecusaDoCliente(cliente, desconhecido, depois);
        };
    return d;
}
