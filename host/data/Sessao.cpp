#include "Sessao.h"
#include "DataContext.h"

Sessao& SessaoAtual() {
    if (DataContext* context = DataContext::Current())
        return context->Session();
    static Sessao none;
    none = Sessao();
    return none;
}

QString vUsuario() {
    return SessaoAtual().usuario;
}
QString vUsuarioCodigo() {
    return SessaoAtual().usuarioCodigo;
}
QString vSupervisor() {
    return SessaoAtual().supervisor;
}
QString vEmpresa() {
    return SessaoAtual().empresa;
}

void DefineTelaAtiva(QObject* screen) {
    SessaoAtual().telaAtiva = screen;
}
QObject* TelaAtiva() {
    return SessaoAtual().telaAtiva.data();
}
