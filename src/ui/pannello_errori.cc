#include "ui/pannello_errori.h"

#include <QAction>
#include <QClipboard>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "base/cp1252.h"
#include "base/testo.h"
#include "model/riga_flusso.h"
#include "risultati/errori_csv.h"
#include "ui/righe_file.h"

namespace flussom {

namespace {

QString da_cp1252(std::string_view s) { return QString::fromStdString(cp1252_a_utf8(s)); }

constexpr int ruolo_riga = Qt::UserRole;         // a message's or a line's data-file line
constexpr int ruolo_grezza = Qt::UserRole + 1;   // a line's characters, Windows-1252

const QColor colore_campo(255, 214, 102);  // a field that a message concerns
const QColor colore_riga(255, 228, 225);   // a line that a message concerns

// The blocks' title, their count after it once a run has filled them.
const QString titolo_blocchi = QStringLiteral("R&icette con errori");

QString testo_messaggio(const MessaggioReport& m) {
  const QString testo = da_cp1252(trim(m.testo));
  return m.riga > 0 ? QStringLiteral("Riga %1: %2").arg(m.riga).arg(testo) : testo;
}

// The lines of a block as the check read them: as many as it counted, each carrying the
// block's ricetta number, but for a line of the wrong length that a message of the block is
// about (the number of a cut line may stand elsewhere, or nowhere). Any other line belongs
// to another ricetta: the file has been written since the check, whatever its size and time
// of last change say. The messages that no block closed have no ricetta to compare with.
bool righe_del_blocco(const BloccoReport& b, const std::vector<RigaLetta>& righe) {
  if (static_cast<std::int64_t>(righe.size()) != b.ultima_riga - b.prima_riga + 1) return false;
  if (b.numero == 0) return true;
  const PosizioneCampo p = posizione_campo(CampoRiga::num_ricetta);
  for (std::size_t i = 0; i < righe.size(); ++i) {
    if (trim(campo(righe[i].testo, p.posizione, p.lunghezza)) == b.ricetta) continue;
    const std::int64_t numero = b.prima_riga + static_cast<std::int64_t>(i);
    const bool corta_o_lunga = righe[i].lunghezza != lunghezza_riga;
    if (!corta_o_lunga || std::none_of(b.messaggi.begin(), b.messaggi.end(), [&](const MessaggioReport& m) {
          return m.riga == numero && m.regola == Regola::lunghezza_errata;
        }))
      return false;
  }
  return true;
}

QTreeWidget* crea_albero(QWidget* genitore, const char* nome, const QStringList& colonne) {
  auto* albero = new QTreeWidget(genitore);
  albero->setObjectName(QString::fromLatin1(nome));
  albero->setHeaderLabels(colonne);
  albero->setUniformRowHeights(true);
  albero->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  albero->header()->setStretchLastSection(true);
  return albero;
}

}  // namespace

PannelloErrori::PannelloErrori(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Pannello_errori"));
  crea_controlli();
  disponi();
  connect(Blocchi_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* voce) {
    scegli_blocco(voce ? Blocchi_->indexOfTopLevelItem(voce) : -1);
  });
  // A double click on a message, or Enter on it, goes to its line.
  connect(Messaggi_, &QListWidget::itemActivated, this, [this](QListWidgetItem* voce) {
    vai_alla_riga(voce->data(ruolo_riga).toLongLong());
  });
  connect(Righe_, &QTreeWidget::currentItemChanged, this,
          [this] { Copia_riga_->setEnabled(riga_scelta() != nullptr); });
  connect(Copia_riga_, &QPushButton::clicked, this, &PannelloErrori::copia_riga);
  connect(Esporta_, &QPushButton::clicked, this, &PannelloErrori::esportazione_chiesta);
  // Typing searches from the top; Enter goes on to the next ricetta that matches.
  connect(Cerca_, &QLineEdit::textEdited, this, [this] { cerca(false); });
  connect(Cerca_, &QLineEdit::returnPressed, this, [this] { cerca(true); });
  auto* copia = new QAction(this);
  copia->setShortcut(QKeySequence::Copy);
  copia->setShortcutContext(Qt::WidgetShortcut);
  Righe_->addAction(copia);
  connect(copia, &QAction::triggered, this, &PannelloErrori::copia_riga);
  auto* trova = new QAction(this);
  trova->setShortcut(QKeySequence::Find);
  trova->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  addAction(trova);
  connect(trova, &QAction::triggered, Cerca_, [this] { Cerca_->setFocus(Qt::ShortcutFocusReason); });
}

void PannelloErrori::crea_controlli() {
  Blocchi_ = crea_albero(this, "Blocchi", {QStringLiteral("N."), QStringLiteral("Ricetta"),
                                           QStringLiteral("Primo messaggio")});
  Blocchi_->setRootIsDecorated(false);
  Titolo_blocchi_ = new QLabel(titolo_blocchi, this);
  Titolo_blocchi_->setObjectName(QStringLiteral("Titolo_blocchi"));
  Titolo_blocchi_->setBuddy(Blocchi_);
  Cerca_ = new QLineEdit(this);
  Cerca_->setObjectName(QStringLiteral("Cerca_ricetta"));
  Cerca_->setPlaceholderText(QStringLiteral("Cerca numero ricetta"));
  Cerca_->setClearButtonEnabled(true);
  Non_trovata_ = new QLabel(QStringLiteral("Nessuna ricetta con questo numero"), this);
  Non_trovata_->setObjectName(QStringLiteral("Non_trovata"));
  Non_trovata_->hide();
  Messaggi_ = new QListWidget(this);
  Messaggi_->setObjectName(QStringLiteral("Messaggi"));
  Righe_ = crea_albero(this, "Righe", {QStringLiteral("Pos."), QStringLiteral("Lung."), QStringLiteral("Campo"),
                                       QStringLiteral("Valore")});
  // The values in a fixed font, so that the blanks of a field show as its width; the
  // system's own, else one that the system has.
  QFont fisso = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  fisso.setFamilies({fisso.family(), QStringLiteral("Consolas"), QStringLiteral("Courier New"),
                     QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono")});
  Righe_->setFont(fisso);
  // The lines' names span the row: the position and length columns are as wide as their titles.
  const QFontMetrics metriche(Righe_->font());
  Righe_->header()->setSectionResizeMode(0, QHeaderView::Interactive);
  Righe_->setColumnWidth(0, Righe_->indentation() + metriche.horizontalAdvance(QStringLiteral("Pos. 000")));
  Righe_->header()->setSectionResizeMode(1, QHeaderView::Interactive);
  Righe_->setColumnWidth(1, metriche.horizontalAdvance(QStringLiteral("Lung. 00")));
  Copia_riga_ = new QPushButton(QStringLiteral("&Copia riga"), this);
  Copia_riga_->setObjectName(QStringLiteral("Copia_riga"));
  Esporta_ = new QPushButton(QStringLiteral("Es&porta errori..."), this);
  Esporta_->setObjectName(QStringLiteral("Esporta_errori"));
  for (QPushButton* p : {Copia_riga_, Esporta_}) {
    p->setAutoDefault(true);
    p->setEnabled(false);
  }
}

void PannelloErrori::disponi() {
  auto* testa = new QHBoxLayout;
  testa->addWidget(Titolo_blocchi_);
  testa->addStretch();
  testa->addWidget(Non_trovata_);
  testa->addWidget(Cerca_);
  auto* divisore = new QSplitter(Qt::Vertical, this);
  const auto parte = [divisore](QLayout* sopra, QWidget* widget, int peso) {
    auto* p = new QWidget(divisore);
    auto* v = new QVBoxLayout(p);
    v->setContentsMargins(0, 0, 0, 0);
    v->addLayout(sopra);
    v->addWidget(widget);
    divisore->addWidget(p);
    divisore->setStretchFactor(divisore->count() - 1, peso);
  };
  const auto etichetta = [this](const QString& testo, QWidget* amico) {
    auto* riga = new QHBoxLayout;
    auto* l = new QLabel(testo, this);
    l->setBuddy(amico);
    riga->addWidget(l);
    return riga;
  };
  parte(testa, Blocchi_, 4);
  parte(etichetta(QStringLiteral("&Messaggi"), Messaggi_), Messaggi_, 2);
  parte(etichetta(QStringLiteral("&Righe della ricetta"), Righe_), Righe_, 7);
  divisore->setSizes({400, 200, 700});
  auto* pulsanti = new QHBoxLayout;
  pulsanti->addWidget(Esporta_);
  pulsanti->addStretch();
  pulsanti->addWidget(Copia_riga_);
  auto* tutto = new QVBoxLayout(this);
  tutto->setContentsMargins(0, 0, 0, 0);
  tutto->addWidget(divisore);
  tutto->addLayout(pulsanti);
}

void PannelloErrori::mostra(std::vector<BloccoReport> blocchi, std::vector<MessaggioReport> fuori_blocco,
                            std::filesystem::path file, std::optional<IdentitaFile> identita) {
  svuota();
  blocchi_ = std::move(blocchi);
  const std::size_t numerati = blocchi_.size();
  // The messages that no block closed (a line of the wrong length that stopped the run, a
  // month not defined) come last, as in the report, with the lines they concern.
  if (!fuori_blocco.empty()) {
    BloccoReport fuori{0, {}, std::numeric_limits<std::int64_t>::max(), 0, std::move(fuori_blocco)};
    estendi_righe(fuori.prima_riga, fuori.ultima_riga, fuori.messaggi);
    blocchi_.push_back(std::move(fuori));
  }
  righe_file_ = RigheFile(std::move(file), identita);
  QList<QTreeWidgetItem*> voci;
  for (const BloccoReport& b : blocchi_) {
    const QString primo = b.messaggi.empty() ? QString() : da_cp1252(trim(b.messaggi.front().testo));
    auto* voce = b.numero > 0 ? new QTreeWidgetItem({QString::number(b.numero), da_cp1252(b.ricetta), primo})
                              : new QTreeWidgetItem({QString(), QStringLiteral("Fuori blocco"), primo});
    voce->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
    voci.append(voce);
  }
  Blocchi_->addTopLevelItems(voci);
  adatta_colonne();
  Titolo_blocchi_->setText(titolo_blocchi + QStringLiteral(" (%1)").arg(numerati));
  Esporta_->setEnabled(!blocchi_.empty());
  if (!voci.isEmpty()) Blocchi_->setCurrentItem(voci.front());
}

void PannelloErrori::adatta_colonne() {
  const QFontMetrics metriche(Blocchi_->font());
  QHeaderView* testata = Blocchi_->header();
  for (int colonna : {0, 1}) {
    // The widest text, measured as the view's items measure it.
    int riga = -1, larghezza = -1;
    for (int i = 0; i < Blocchi_->topLevelItemCount(); ++i)
      if (const int l = metriche.horizontalAdvance(Blocchi_->topLevelItem(i)->text(colonna)); l > larghezza) {
        riga = i;
        larghezza = l;
      }
    const QSize voce = riga < 0 ? QSize() : Blocchi_->sizeHintForIndex(Blocchi_->model()->index(riga, colonna));
    testata->setSectionResizeMode(colonna, QHeaderView::Interactive);
    testata->resizeSection(colonna, std::max(testata->sectionSizeHint(colonna), voce.width()));
  }
}

void PannelloErrori::svuota() {
  Righe_->clear();
  Messaggi_->clear();
  Blocchi_->clear();
  blocchi_.clear();
  Titolo_blocchi_->setText(titolo_blocchi);
  Non_trovata_->hide();
  Copia_riga_->setEnabled(false);
  Esporta_->setEnabled(false);
}

void PannelloErrori::cerca(bool successiva) {
  const QString testo = Cerca_->text().trimmed();
  Non_trovata_->hide();
  if (testo.isEmpty()) return;
  const int n = Blocchi_->topLevelItemCount();
  const int da = successiva ? Blocchi_->indexOfTopLevelItem(Blocchi_->currentItem()) + 1 : 0;
  for (int k = 0; k < n; ++k) {
    const int i = (da + k) % n;
    QTreeWidgetItem* voce = Blocchi_->topLevelItem(i);
    if (blocchi_[static_cast<std::size_t>(i)].numero == 0 || !voce->text(1).contains(testo, Qt::CaseInsensitive))
      continue;
    Blocchi_->setCurrentItem(voce);
    Blocchi_->scrollToItem(voce, QAbstractItemView::PositionAtCenter);
    return;
  }
  Non_trovata_->show();
}

void PannelloErrori::esporta(ScrittoreErroriCsv& csv) const {
  for (const BloccoReport& b : blocchi_) csv.scrivi_blocco(b);
}

void PannelloErrori::scegli_blocco(int indice) {
  Messaggi_->clear();
  Righe_->clear();
  if (indice < 0 || indice >= static_cast<int>(blocchi_.size())) return;
  const BloccoReport& b = blocchi_[static_cast<std::size_t>(indice)];
  riempi_messaggi(b);
  riempi_righe(b);
}

void PannelloErrori::riempi_messaggi(const BloccoReport& b) {
  for (const MessaggioReport& m : b.messaggi) {
    auto* voce = new QListWidgetItem(testo_messaggio(m), Messaggi_);
    voce->setData(ruolo_riga, QVariant::fromValue<qlonglong>(m.riga));
  }
}

void PannelloErrori::riempi_righe(const BloccoReport& b) {
  if (b.prima_riga > b.ultima_riga) return;  // messages about no single line
  std::string errore;
  const std::vector<RigaLetta> righe = righe_file_.leggi(b.prima_riga, b.ultima_riga, errore);
  if (errore.empty() && !righe_del_blocco(b, righe)) errore = testo_file_cambiato;
  if (!errore.empty()) {
    auto* voce = new QTreeWidgetItem(Righe_, {da_cp1252(errore)});
    voce->setFirstColumnSpanned(true);
    return;
  }
  // The fields that the messages concern: a message about one line marks it and its fields;
  // one about no single line marks its fields on every line.
  InsiemeCampi ovunque = 0;
  for (const MessaggioReport& m : b.messaggi)
    if (m.riga == 0) ovunque |= campi_regola(m.regola);
  for (std::size_t i = 0; i < righe.size(); ++i) {
    const std::int64_t numero = b.prima_riga + static_cast<std::int64_t>(i);
    InsiemeCampi campi = ovunque;
    bool segnata = false;
    for (const MessaggioReport& m : b.messaggi)
      if (m.riga == numero) {
        campi |= campi_regola(m.regola);
        segnata = true;
      }
    QTreeWidgetItem* voce = voce_riga(numero, righe[i], campi, segnata);
    Righe_->addTopLevelItem(voce);  // spanning and expanding need the item in its tree
    voce->setFirstColumnSpanned(true);
    voce->setExpanded(segnata || campi != 0);
  }
}

QTreeWidgetItem* PannelloErrori::voce_riga(std::int64_t numero, const RigaLetta& riga, InsiemeCampi campi,
                                           bool segnata) {
  const std::string& linea = riga.testo;
  QString nome = QStringLiteral("Riga %1").arg(numero);
  if (riga.lunghezza != lunghezza_riga)
    nome += QStringLiteral(" (%1 caratteri invece di %2)").arg(riga.lunghezza).arg(lunghezza_riga);
  auto* voce = new QTreeWidgetItem({nome});
  voce->setData(0, ruolo_riga, QVariant::fromValue<qlonglong>(numero));
  voce->setData(0, ruolo_grezza, QByteArray::fromStdString(linea));
  for (std::size_t c = 0; c < numero_campi; ++c) {
    const auto id = static_cast<CampoRiga>(c);
    const PosizioneCampo p = posizione_campo(id);
    auto* f = new QTreeWidgetItem(voce, {QString::number(p.posizione), QString::number(p.lunghezza),
                                         da_cp1252(etichetta_campo(id)),
                                         da_cp1252(campo(linea, p.posizione, p.lunghezza))});
    f->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
    f->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    f->setToolTip(2, QString::fromLatin1(nome_campo(id)));  // the name the JSON result gives it
    if (campi & bit(id)) {
      QFont grassetto = f->font(2);
      grassetto.setBold(true);
      for (int col = 0; col < f->columnCount(); ++col) {
        f->setBackground(col, colore_campo);
        f->setFont(col, grassetto);
      }
    }
  }
  if (segnata) {
    voce->setText(0, voce->text(0) + QStringLiteral("  \u25c4 errore"));
    voce->setIcon(0, style()->standardIcon(QStyle::SP_MessageBoxWarning));
    voce->setBackground(0, colore_riga);
    QFont grassetto = voce->font(0);
    grassetto.setBold(true);
    voce->setFont(0, grassetto);
  }
  return voce;
}

void PannelloErrori::vai_alla_riga(std::int64_t riga) {
  for (int i = 0; i < Righe_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* voce = Righe_->topLevelItem(i);
    if (voce->data(0, ruolo_riga).toLongLong() != riga) continue;
    voce->setExpanded(true);
    Righe_->setCurrentItem(voce);
    Righe_->scrollToItem(voce, QAbstractItemView::PositionAtTop);
    // The highlighted fields in view, even when the line's first fields then scroll away.
    for (int c = voce->childCount() - 1; c >= 0; --c)
      if (voce->child(c)->font(3).bold()) {
        Righe_->scrollToItem(voce->child(c), QAbstractItemView::EnsureVisible);
        break;
      }
    Righe_->setFocus();
    return;
  }
}

QTreeWidgetItem* PannelloErrori::riga_scelta() const {
  QTreeWidgetItem* voce = Righe_->currentItem();
  if (voce && voce->parent()) voce = voce->parent();
  return voce && voce->data(0, ruolo_grezza).isValid() ? voce : nullptr;
}

void PannelloErrori::copia_riga() {
  if (const QTreeWidgetItem* voce = riga_scelta())
    QGuiApplication::clipboard()->setText(da_cp1252(voce->data(0, ruolo_grezza).toByteArray().toStdString()));
}

}  // namespace flussom
