#pragma once

// A save of several statements on the host connection: what it wrote reaches the database only through
// Confirma(); leaving the scope any other way (a refused check, a failed statement) rolls the unit of work
// back, so nothing half-written is ever committed.
class GravacaoAtomica {
public:
    GravacaoAtomica() = default;
    GravacaoAtomica(const GravacaoAtomica&) = delete;
    GravacaoAtomica& operator=(const GravacaoAtomica&) = delete;
    ~GravacaoAtomica();

    void Confirma();

private:
    bool m_confirmada = false;
};
