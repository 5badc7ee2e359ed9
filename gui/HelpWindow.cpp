#include "gui/HelpWindow.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace lapforge {

namespace {

// "Section - Lapforge help" -> "Section"; the file name without a title.
QString PageTitle(const QString& file) {
  QFile f(file);
  if (f.open(QIODevice::ReadOnly)) {
    static const QRegularExpression kTitle(QStringLiteral("<title>([^<]*)</title>"));
    const QRegularExpressionMatch m = kTitle.match(QString::fromUtf8(f.read(4096)));
    if (m.hasMatch()) return m.captured(1).remove(QStringLiteral(" - Lapforge help")).trimmed();
  }
  return QFileInfo(file).completeBaseName();
}

}  // namespace

CHelpWindow::CHelpWindow(const QString& folder, QWidget* parent) : QWidget(parent, Qt::Window), folder_(folder) {
  setWindowTitle(QStringLiteral("Lapforge Help"));
  contents_ = new QListWidget(this);
  page_ = new QTextBrowser(this);
  page_->setOpenLinks(false);
  connect(page_, &QTextBrowser::anchorClicked, this, &CHelpWindow::Open);

  // The main window's page and the table overview first, then the tables.
  QStringList files = QDir(folder).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
  for (const char* first : {"tables.html", "index.html"})
    if (files.removeAll(QLatin1String(first))) files.prepend(QLatin1String(first));
  for (const QString& f : files) {
    auto* item = new QListWidgetItem(PageTitle(QDir(folder).filePath(f)), contents_);
    item->setData(Qt::UserRole, QDir(folder).filePath(f));
  }
  connect(contents_, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { Open(QUrl::fromLocalFile(item->data(Qt::UserRole).toString())); });
  connect(contents_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { Open(QUrl::fromLocalFile(item->data(Qt::UserRole).toString())); });

  auto* back = new QPushButton(QStringLiteral("Back"), this);
  auto* forward = new QPushButton(QStringLiteral("Forward"), this);
  connect(back, &QPushButton::clicked, page_, &QTextBrowser::backward);
  connect(forward, &QPushButton::clicked, page_, &QTextBrowser::forward);
  connect(page_, &QTextBrowser::backwardAvailable, back, &QWidget::setEnabled);
  connect(page_, &QTextBrowser::forwardAvailable, forward, &QWidget::setEnabled);
  back->setEnabled(false);
  forward->setEnabled(false);
  connect(page_, &QTextBrowser::sourceChanged, this, [this](const QUrl& url) {
    shown_ = url.toLocalFile();
    const QSignalBlocker block(contents_);
    for (int i = 0; i < contents_->count(); ++i)
      if (contents_->item(i)->data(Qt::UserRole).toString() == shown_) contents_->setCurrentRow(i);
  });

  auto* split = new QSplitter(this);
  split->addWidget(contents_);
  split->addWidget(page_);
  split->setStretchFactor(1, 1);
  split->setSizes({200, 700});
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(back);
  buttons->addWidget(forward);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(split, 1);
  resize(960, 640);
}

void CHelpWindow::Open(const QUrl& url) {
  if (!url.isLocalFile() && !url.isRelative()) {
    // A web address goes to the desktop, when it has a way to show one.
    QDesktopServices::openUrl(url);
    return;
  }
  const QUrl resolved = url.isRelative() ? page_->source().resolved(url) : url;
  const QString file = resolved.toLocalFile();
  if (!QFileInfo::exists(file)) {
    shown_.clear();
    page_->setHtml(QStringLiteral("<h1>Page not found</h1><p>The help page %1 cannot be found.</p>")
                       .arg(QDir::toNativeSeparators(file).toHtmlEscaped()));
    return;
  }
  page_->setSource(resolved);
}

CHelpWindow* CHelpWindow::ShowPage(const QString& file) {
  static QPointer<CHelpWindow> window;
  const QString folder = QFileInfo(file).absolutePath();
  if (!window) {
    window = new CHelpWindow(folder);
    window->setAttribute(Qt::WA_DeleteOnClose);
  }
  window->Open(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()));
  window->show();
  window->raise();
  window->activateWindow();
  return window;
}

}  // namespace lapforge
