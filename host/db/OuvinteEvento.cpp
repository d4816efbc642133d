#include "OuvinteEvento.h"
#include "TZoDatabase.h"

OuvinteEvento::OuvinteEvento(TZoDatabase& conexao, const QString& evento, int esperaMs, QObject* parent)
    : QObject(parent), m_conexao(&conexao), m_evento(evento) {
    m_espera.setSingleShot(true);
    m_espera.setInterval(esperaMs);
    connect(&m_espera, &QTimer::timeout, this, &OuvinteEvento::Chegou);
    connect(&conexao, &TZoDatabase::eventoRecebido, this, [this](const QString& nome) {
        if (nome == m_evento)
            m_espera.start();
    });
    m_ativo = conexao.AssinaEvento(evento);
}

OuvinteEvento::~OuvinteEvento() {
    if (m_conexao)
        m_conexao->CancelaEvento(m_evento);
}
