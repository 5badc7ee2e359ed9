#include "tests/support/TestSupport.h"

#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace lapforge {

CRecordingUI::CRecordingUI() { previous_ = SetUserInterface(this); }
CRecordingUI::~CRecordingUI() { SetUserInterface(previous_); }

void CRecordingUI::Message(const std::string& text, const std::string& caption) { shown.push_back({text, caption}); }

UiAnswer CRecordingUI::Next() {
  if (answers.empty()) return UiAnswer::Yes;
  UiAnswer a = answers.front();
  answers.erase(answers.begin());
  return a;
}

bool CRecordingUI::YesNo(const std::string& text, const std::string& caption) {
  shown.push_back({text, caption});
  return Next() == UiAnswer::Yes;
}

UiAnswer CRecordingUI::YesNoCancel(const std::string& text, const std::string& caption) {
  shown.push_back({text, caption});
  return Next();
}

CTempDir::CTempDir() {
  std::string base = std::string(LAPFORGE_BINARY_DIR) + "/test-tmp";
  std::filesystem::create_directories(base);
#ifdef _WIN32
  // No mkdtemp: a random name that create_directory finds free.
  static std::mt19937 rng{std::random_device{}()};
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = base + "/t" + std::to_string(rng() % 100000000u);
    if (std::filesystem::create_directory(name)) {
      path_ = name;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
#else
  std::string templ = base + "/tXXXXXX";
  if (!mkdtemp(templ.data())) throw std::runtime_error("cannot create a temporary folder");
  path_ = templ;
#endif
}

CTempDir::~CTempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string ReadText(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream f(path, std::ios::binary);
  f << text;
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

namespace {

void SetSettingsVariable(const std::string* value) {
#ifdef _WIN32
  // An empty value removes the variable.
  _putenv_s("LAPFORGE_CONFIG", value ? value->c_str() : "");
#else
  if (value)
    ::setenv("LAPFORGE_CONFIG", value->c_str(), 1);
  else
    ::unsetenv("LAPFORGE_CONFIG");
#endif
}

}  // namespace

CScopedSettings::CScopedSettings() : file_(dir_.File("lapforge.ini")) {
  if (const char* p = std::getenv("LAPFORGE_CONFIG")) {
    previous_ = p;
    hadPrevious_ = true;
  }
  SetSettingsVariable(&file_);
}

CScopedSettings::~CScopedSettings() {
  SetSettingsVariable(hadPrevious_ ? &previous_ : nullptr);
}

}  // namespace lapforge
