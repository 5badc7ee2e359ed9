#include "tests/gui/GuiDoubles.h"

#include <QDesktopServices>

namespace lapforge {

CUrlCatcher::CUrlCatcher() { QDesktopServices::setUrlHandler("file", this, "Open"); }
CUrlCatcher::~CUrlCatcher() { QDesktopServices::unsetUrlHandler("file"); }
void CUrlCatcher::Open(const QUrl& url) { opened.push_back(url); }

}  // namespace lapforge
