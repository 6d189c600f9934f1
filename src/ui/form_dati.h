// "Inserimento Dati Struttura": the modal window in which the operator registers a facility
// that the check run did not find. "Registra" appends the record to strutture.DAT and
// closes; "Fine Procedura" closes it asking for the end of the program.
#pragma once

#include <QDialog>
#include <filesystem>
#include <string_view>

class QLineEdit;
class QPushButton;

namespace flussom {

class Form_dati : public QDialog {
  Q_OBJECT

 public:
  // Results of exec(): closed any other way (QDialog::Rejected), a record written, or the end
  // of the program asked for.
  enum Esito { chiusa = QDialog::Rejected, registrata = QDialog::Accepted, fine_procedura = 2 };

  // `cartella` holds strutture.DAT; `codstru` (Windows-1252) fills the code box.
  Form_dati(std::filesystem::path cartella, std::string_view codstru, QWidget* parent = nullptr);

 protected:
  bool eventFilter(QObject* oggetto, QEvent* evento) override;

 private:
  void registra();

  std::filesystem::path cartella_;
  QLineEdit* Text1_;
  QLineEdit* Text2_;
  QLineEdit* Text3_;
  QLineEdit* Text4_;
  QLineEdit* Text5_;
  QPushButton* Com_fine_;
  QPushButton* Command1_;
};

}  // namespace flussom
