#pragma once
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
struct ResultadoCopia;

// Sistema › Cópia de Segurança: a checked copy of the open database now, a copy restored into a new file, the
// copies kept and the last result. Administrators only; each copy and restore leaves an audit line.
class TFmCopiaSeguranca : public QWidget {
    Q_OBJECT
public:
    explicit TFmCopiaSeguranca(QWidget* parent = nullptr);
    void CopiarAgora();
    void Restaurar();
    void AtualizaLista();

private:
    void Administrador() const;
    void Mostra(const ResultadoCopia& resultado);
    void Progresso(int percent, const QString& etapa);
    QLabel* m_pasta;
    QTableWidget* m_copias;
    QProgressBar* m_progresso;
    QLabel* m_etapa;
    QLabel* m_resultado;
    QPushButton* m_copiar;
    QPushButton* m_restaurar;
};

void RegistraTelaCopia();
// The audit line of a copy or restore, committed at once.
void RegistraCopiaNoLog(const ResultadoCopia& resultado, QObject* tela = nullptr);
