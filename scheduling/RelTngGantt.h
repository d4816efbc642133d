#pragma once
#include "DataSet.h" // the grids in the designed layout hold pointers to their data sets
#include "LeiturasMapa.h"
#include "RegrasMapa.h"
#include "TForm.h"
#include "ui_RelTngGantt.h"
#include <QHash>
#include <QPoint>
#include <functional>
#include <memory>

class QGraphicsRectItem;
class QGraphicsScene;
class QMenu;
class QPainter;
class OuvinteEvento;
class TClientDataSet;

// The production map: the machines' queues of a phase on a time line, one bar per position, moved by menu,
// by dragging or by typing machine and position in the list; FALs without a position are given one on the
// second page. What it writes is FAL.MAQUINA and FAL.ORDEM.
class TfmRelTngGantt : public TForm {
    Q_OBJECT
public:
    explicit TfmRelTngGantt(QWidget* parent = nullptr);

    // No refresh under a drag, an open menu or list edits not saved yet.
    Q_INVOKABLE bool PodeAtualizar() const;

    void BtnAtualizarClick();
    void BtnGGravarClick();
    void BtnConsultarClick();
    void BtnGravarClick();
    void BtnImprimirClick();
    void Adiar(int n);
    void Antecipar(int n);
    void DestacarCliente1Click();
    void DestacarProgramao1Click();
    void LimparDestaques1Click();

public slots:
    // Rebuilds the map from the database in place, keeping the bar selected and the scroll; put off while
    // PodeAtualizar() says no.
    void Atualiza();

protected:
    void FormCreate() override;
    bool TeclaControle(QWidget* control, QKeyEvent* key) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Colocacao { Pergunta, Insere, Junta };
    enum class Resultado { Gravada, Pulada, Parada };
    // One pass of a save: the queues as its writes so far leave them, those writes, and the clash
    // dialogue's answers (given in the first pass, replayed in the second).
    struct Gravacao {
        QList<FalNaFila> filas;
        QList<PassoColocacao> passos;
        QList<QPair<QString, int>> respostas; // each question and its answer
        bool repete = false;                  // the second pass: answers replayed, nothing asked
        qsizetype respondidas = 0;            // answers replayed so far
        bool mudou = false;                   // the second pass met a question the first did not ask
        bool naoTodos = false;
        QString parada; // why the save stopped, told after the rollback
    };
    struct Destaque {
        QString campo; // "CLIENTE" or "PROGRAMACAO"; empty: none
        QString valor;
    };

    void PreparaGrades();
    void PreparaMenu();
    void DeclaraCaixas();
    void Recarrega();
    void RecarregaAposGravar();
    void RecarregaSeDevida();
    void CarregaMaquinas();
    void CarregaFals(const QList<LinhaMapa>& linhas);
    void CarregaHoras();
    void PreencheGrid();
    void MostraSelecao();
    int BarraAtual() const;
    int LinhaDaMaquina(const QString& maquina) const;
    QList<int> BarrasDaMaquina(const QString& maquina) const;
    void SelecionaBarra(int barra);
    void MoveBarra(int passos);
    void ColocaBarra(int barra, const QString& maquina, int ordem, Colocacao modo);
    bool ColocaFals(const QStringList& fals, const QStringList& maquinas,
                    const std::function<bool(Gravacao&)>& coloca, bool pergunta = true);
    int Resposta(Gravacao& g, const QString& texto, const std::function<int()>& pergunta);
    Resultado AtualizaOrdemMaquina(Gravacao& g, const QString& fal, const QString& maquina,
                                   const QString& cor, const QString& fase, int ordem, Colocacao modo);
    void Destaca(const QString& campo);
    void TbFalsSemOrdBeforePost(TDataSet& linha);
    void ConfereMaquina(TDataSet& linha);
    // The next free position of a machine for a FAL of "Não Programadas".
    int ProximaOrdem(const QString& maquina);
    // The map's drag: a bar pressed, moved along or across the rows, let go.
    void Pressiona(const QPoint& ponto, Qt::MouseButton botao);
    void Arrasta(const QPoint& ponto);
    void Solta(const QPoint& ponto);
    void DesenhaImpressao(QPainter& pintor, const QRectF& area) const;

    Ui::TfmRelTngGantt ui;
    TClientDataSet* TbGridQuadro;
    TClientDataSet* TbFalsSemOrd;
    QGraphicsScene* m_cenaMapa;
    QGraphicsScene* m_cenaDias;
    QGraphicsScene* m_cenaHoras;
    QGraphicsScene* m_cenaMaquinas;
    QMenu* m_menuMapa;
    QList<MaquinaMapa> m_maquinas;
    QList<BarraMapa> m_barras;
    QList<QGraphicsRectItem*> m_itens; // the drawn rectangle of each bar; null when not drawn
    QHash<QString, int> m_barraDaFal;
    QHash<QString, QPair<QString, int>> m_carregadas; // machine and position each FAL was read with
    QHash<QString, LinhaMapa> m_fals;
    QDateTime m_origem;
    QString m_fase;
    Destaque m_destaque;
    QList<HoraMapa> m_horas;
    int m_barraArrastada = -1;
    QGraphicsRectItem* m_sombra = nullptr; // where the dragged bar would go
    QPoint m_inicioArrasto;
    bool m_arrastando = false;
    bool m_atualizacaoAdiada = false;
    bool m_recargaDevida = false; // our commit's reload left to its event, which has not come yet
    OuvinteEvento* m_ouvinte = nullptr;
    std::unique_ptr<ColocacaoFal> m_ordens; // read for ProximaOrdem
    bool m_carregando = false;              // rows put in by the screen, not typed
    quint64 m_edicoesGravadas = 0;
};

extern TfmRelTngGantt* fmRelTngGantt;
