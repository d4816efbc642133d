#pragma once
#include "HostExport.h"
#include <QWidget>

class QDateEdit;
class QLineEdit;
class QLabel;
class TZoQuery;
class TZoDBGrid;

// The audit-log viewer: who changed what, when, on which screen; filtered by period, user, screen, key and
// text.
class KELMHOST_EXPORT TFmLog : public QWidget {
    Q_OBJECT
public:
    explicit TFmLog(QWidget* parent = nullptr);
    void Filtra(const QString& formulario, const QString& chave);
    void Pesquisa();
    void Imprime();
    TZoQuery* Linhas() const { return m_rows; }

private:
    QDateEdit* m_from;
    QDateEdit* m_to;
    QLineEdit* m_user;
    QLineEdit* m_screen;
    QLineEdit* m_key;
    QLineEdit* m_text;
    QLabel* m_count;
    TZoQuery* m_rows;
    TZoDBGrid* m_grid;
};

// What a log row's kind (TIPO, TOperacaoLog) means: "Inclusão", "Alteração", "Exclusão", "Outros".
KELMHOST_EXPORT QString DescricaoTipoLog(int tipo);

// Shows the log of one record (key), optionally only what one screen wrote.
KELMHOST_EXPORT void AcessaLog(const QString& formulario, const QString& chave, bool onlyThisScreen = true);
KELMHOST_EXPORT void RegistraTelaLog();
