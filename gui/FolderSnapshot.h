// The files of an output folder before an export, to tell afterwards which
// of them the export left alone: block files of an older export that the
// new one no longer writes (stale). Nothing is ever deleted.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <map>

namespace lapforge {

class CFolderSnapshot {
 public:
  CFolderSnapshot() = default;
  // The regular files directly in folder (none when it does not exist yet).
  static CFolderSnapshot Take(const QString& folder);

  // The files, by name, of this snapshot that are still there unchanged and
  // whose extension (ignoring case) is one the export wrote in the meantime:
  // the files it would have replaced had it still made them. Sorted.
  QStringList StaleNow() const;

 private:
  struct Stamp {
    int64_t modified = 0;  // nanoseconds
    int64_t size = 0;
    bool operator==(const Stamp&) const = default;
  };
  static std::map<QString, Stamp> Scan(const QString& folder);
  QString folder_;
  std::map<QString, Stamp> files_;
};

}  // namespace lapforge
