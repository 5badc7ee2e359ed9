#include "gui/OptionsDialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "support/RegOption.h"

namespace lapforge {

namespace {
QCheckBox* Box(const char* text, const char* setting, int def, QWidget* parent) {
  auto* box = new QCheckBox(QString::fromLatin1(text), parent);
  box->setChecked(CRegOption::GetOption(setting, def) != 0);
  return box;
}
}  // namespace

COptionsDialog::COptionsDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("LapforgeOptions"));
  tsoXyz_ = Box("Read PTF TSO Coordinates as XYZ", "TSOXYZ", 0, this);
  fromGplTrk_ = Box("GPL .TRK create by GPLTRK", "TRKFromGPLTRK", 1, this);
  autoMaterials_ = Box("Auto generate material names", "ISIMaterials", 1, this);
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tsoXyz_);
  layout->addWidget(fromGplTrk_);
  layout->addWidget(autoMaterials_);
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
      {"TSOXYZ", tsoXyz_}, {"TRKFromGPLTRK", fromGplTrk_}, {"ISIMaterials", autoMaterials_}};
  for (const auto& [name, box] : settings) static_cast<void>(CRegOption::SetOption(name, box->isChecked() ? 1 : 0));
  QDialog::accept();
}

}  // namespace lapforge
