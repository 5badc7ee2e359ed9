// The options dialog "LapforgeOptions": every switch of the settings store
// that changes an output (the three of the imports and the PTF version of
// the exports), each with a line saying what it does; read from the settings
// on opening and stored only when closed with "OK".
#pragma once

#include <QDialog>


class QCheckBox;
class QPushButton;

namespace lapforge {

class COptionsDialog : public QDialog {
  Q_OBJECT
 public:
  explicit COptionsDialog(QWidget* parent = nullptr);

  QCheckBox* TsoXyz() const { return tsoXyz_; }
  QCheckBox* FromGplTrk() const { return fromGplTrk_; }
  QCheckBox* AutoMaterials() const { return autoMaterials_; }
  QCheckBox* WriteN4Ptf() const { return writeN4Ptf_; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* CancelButton() const { return cancel_; }

  void accept() override;

 private:
  QCheckBox* tsoXyz_;
  QCheckBox* fromGplTrk_;
  QCheckBox* autoMaterials_;
  QCheckBox* writeN4Ptf_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace lapforge
