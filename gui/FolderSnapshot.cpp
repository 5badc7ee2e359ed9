#include "gui/FolderSnapshot.h"

#include <QFileInfo>
#include <filesystem>
#include <set>
#include <system_error>

namespace lapforge {

std::map<QString, CFolderSnapshot::Stamp> CFolderSnapshot::Scan(const QString& folder) {
  std::map<QString, Stamp> files;
  std::error_code ec;
  std::filesystem::directory_iterator it(folder.toStdString(), ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    std::error_code fileEc;
    if (!it->is_regular_file(fileEc)) continue;
    Stamp s;
    s.modified = static_cast<int64_t>(it->last_write_time(fileEc).time_since_epoch().count());
    s.size = static_cast<int64_t>(it->file_size(fileEc));
    if (fileEc) continue;
    files[QString::fromStdString(it->path().filename().string())] = s;
  }
  return files;
}

CFolderSnapshot CFolderSnapshot::Take(const QString& folder) {
  CFolderSnapshot snap;
  snap.folder_ = folder;
  snap.files_ = Scan(folder);
  return snap;
}

QStringList CFolderSnapshot::StaleNow() const {
  if (folder_.isEmpty()) return {};
  const std::map<QString, Stamp> now = Scan(folder_);
  // The kinds of file the export wrote: new files and replaced ones.
  std::set<QString> written;
  for (const auto& [name, stamp] : now) {
    const auto before = files_.find(name);
    if (before == files_.end() || !(before->second == stamp)) written.insert(QFileInfo(name).suffix().toLower());
  }
  QStringList stale;
  for (const auto& [name, stamp] : files_) {
    const auto after = now.find(name);
    if (after != now.end() && after->second == stamp && written.count(QFileInfo(name).suffix().toLower()))
      stale << name;
  }
  return stale;
}

}  // namespace lapforge
