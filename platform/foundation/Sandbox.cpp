#include "platform/foundation/Sandbox.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <vector>

namespace {

struct SandboxState {
  std::mutex mutex;
  std::string root;
  std::atomic<uint64_t> generation{0};
};

// Kept apart from the root's lock: currentRoot() makes a folder while it holds that one.
struct MadeFolders {
  std::mutex mutex;
  std::vector<std::string> paths;
};

MadeFolders& madeFolders() {
  static MadeFolders* m = new MadeFolders();
  return *m;
}

SandboxState& state() {
  static SandboxState* s = new SandboxState();
  return *s;
}

void createFolders(const std::string& root) {
  std::error_code ec;
  for (const char* sub : {"Documents", "Library/Caches", "Library/Preferences", "tmp"})
    std::filesystem::create_directories(std::filesystem::path(root) / sub, ec);
}

std::string currentRoot() {
  SandboxState& s = state();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.root.empty()) {
    s.root = Sandbox::makeTemporaryDirectory("tovira-sandbox");
    createFolders(s.root);
    s.generation.fetch_add(1);
  }
  return s.root;
}

}  // namespace

void Sandbox::setRoot(const std::string& dir) {
  SandboxState& s = state();
  if (dir.empty()) {
    // No folder given (a failed makeTemporaryDirectory, say): a fresh temporary root, as
    // before any setRoot, rather than folders in the working directory and paths under "/".
    std::lock_guard<std::mutex> lock(s.mutex);
    s.root.clear();
    return;  // the next use chooses the root and counts the change
  }
  std::string absolute = dir;
  std::error_code ec;
  auto p = std::filesystem::absolute(dir, ec);
  if (!ec) absolute = p.lexically_normal().string();
  while (absolute.size() > 1 && absolute.back() == '/') absolute.pop_back();
  createFolders(absolute);
  std::lock_guard<std::mutex> lock(s.mutex);
  s.root = absolute;
  s.generation.fetch_add(1);
}

std::string Sandbox::root() { return currentRoot(); }
std::string Sandbox::documents() { return currentRoot() + "/Documents"; }
std::string Sandbox::library() { return currentRoot() + "/Library"; }
std::string Sandbox::caches() { return currentRoot() + "/Library/Caches"; }
std::string Sandbox::preferences() { return currentRoot() + "/Library/Preferences"; }
std::string Sandbox::tmp() { return currentRoot() + "/tmp"; }

uint64_t Sandbox::generation() {
  currentRoot();  // the first use chooses a root, which counts as a change
  return state().generation.load();
}

std::string Sandbox::makeTemporaryDirectory(const std::string& prefix) {
  std::error_code ec;
  std::string base = std::filesystem::temp_directory_path(ec).string();
  if (ec || base.empty()) base = "/tmp";
  std::string pattern = base + "/" + prefix + "-XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (!mkdtemp(buf.data())) return "";
  std::string made(buf.data());
  MadeFolders& m = madeFolders();
  std::lock_guard<std::mutex> lock(m.mutex);
  m.paths.push_back(made);
  return made;
}

std::vector<std::string> Sandbox::temporaryDirectoriesMade() {
  MadeFolders& m = madeFolders();
  std::lock_guard<std::mutex> lock(m.mutex);
  return m.paths;
}
