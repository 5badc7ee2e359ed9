#include "gui/OptionsDialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "support/RegOption.h"

namespace lapforge {

namespace {
QCheckBox* Box(const char* text, const char* setting, int def, QWidget* parent) {
  auto* box = new QCheckBox(QString::fromLatin1(text), parent);
  box->setChecked(CRegOption::GetOption(setting, def) != 0);
  box->setObjectName(QString::fromLatin1(setting));
  return box;
}
// The line under a switch that says what it does.
QLabel* Explain(const char* text, QWidget* parent) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->setWordWrap(true);
  label->setIndent(22);
  label->setMaximumWidth(460);
  QFont f = label->font();
  f.setPointSizeF(f.pointSizeF() * 0.9);
  label->setFont(f);
  return label;
}
}  // namespace

COptionsDialog::COptionsDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("LapforgeOptions"));
  tsoXyz_ = Box("Read PTF TSO Coordinates as XYZ", "TSOXYZ", 0, this);
  fromGplTrk_ = Box("GPL .TRK create by GPLTRK", "TRKFromGPLTRK", 1, this);
  autoMaterials_ = Box("Auto generate material names", "ISIMaterials", 1, this);
  writeN4Ptf_ = Box("Write PTF files for NASCAR Racing 4", "WriteN4PTF", 0, this);
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  auto* imports = new QGroupBox(QStringLiteral("Importing tracks"), this);
  auto* importLayout = new QVBoxLayout(imports);
  importLayout->addWidget(tsoXyz_);
  importLayout->addWidget(Explain("A PTF track's trackside objects are placed by world X, Y, Z coordinates instead "
                                  "of by distance along the track and offset from it.",
                                  imports));
  importLayout->addWidget(fromGplTrk_);
  importLayout->addWidget(Explain("A GPL track's texture numbers and walls are read as the GPLTRK editor stores "
                                  "them; clear it for a track made another way.",
                                  imports));
  importLayout->addWidget(autoMaterials_);
  importLayout->addWidget(Explain("Kept for the settings of earlier versions: imports now always name a "
                                  "material for every texture they meet.",
                                  imports));
  auto* exports = new QGroupBox(QStringLiteral("Exporting tracks"), this);
  auto* exportLayout = new QVBoxLayout(exports);
  exportLayout->addWidget(writeN4Ptf_);
  exportLayout->addWidget(Explain("PTF exports write version 5 track files, which NASCAR Racing 4 reads, instead "
                                  "of version 7 (NASCAR Racing 2003).",
                                  exports));
  layout->addWidget(imports);
  layout->addWidget(exports);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void COptionsDialog::accept() {
  // Stored as well as can be: a setting that cannot be written keeps its
  // old value, as the next run shows.
  const std::pair<const char*, QCheckBox*> settings[] = {
      {"TSOXYZ", tsoXyz_},
      {"TRKFromGPLTRK", fromGplTrk_},
      {"ISIMaterials", autoMaterials_},
      {"WriteN4PTF", writeN4Ptf_}};
  for (const auto& [name, box] : settings) static_cast<void>(CRegOption::SetOption(name, box->isChecked() ? 1 : 0));
  QDialog::accept();
}

}  // namespace lapforge
