// The program's own help window, for a desktop without a web browser: the
// contents (every page of the help folder, by its title) beside the page,
// whose links are followed in the window. A link to a page that is not
// there says so in the page's place.
#pragma once

#include <QWidget>


class QListWidget;
class QTextBrowser;
class QUrl;

namespace lapforge {

class CHelpWindow : public QWidget {
  Q_OBJECT
 public:
  explicit CHelpWindow(const QString& folder, QWidget* parent = nullptr);

  // Shows the page (a file of the help folder) in the one help window,
  // making it when needed, and brings the window up.
  static CHelpWindow* ShowPage(const QString& file);

  void Open(const QUrl& url);
  QListWidget* Contents() const { return contents_; }
  QTextBrowser* Page() const { return page_; }
  // The file shown, or empty when the page was missing.
  QString Shown() const { return shown_; }

 private:
  QString folder_;
  QString shown_;
  QListWidget* contents_;
  QTextBrowser* page_;
};

}  // namespace lapforge
