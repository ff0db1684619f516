#include "game/UserArena.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <system_error>

#include "base/ListFiles.h"
#include "base/TextCodec.h"

namespace kivora {

namespace fs = std::filesystem;

namespace {

// The shipped list is ours, but a player may edit it; what lies beyond this
// is ignored (at worst a default file is offered again).
constexpr std::streamsize kMaxShippedListBytes = 1 << 20;

std::string Shown(const fs::path& path) { return ForTerminal(path.native()); }

bool IsRegularFile(const fs::path& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

bool IsFolder(const fs::path& path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(path, ec);
}

std::set<std::string> ReadShippedList(const fs::path& file) {
  std::set<std::string> names;
  std::ifstream in(file, std::ios::binary);
  std::string text(static_cast<std::size_t>(kMaxShippedListBytes), '\0');
  in.read(text.data(), kMaxShippedListBytes);
  text.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (end > start) names.insert(text.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

// Replaced whole through a temporary file, so an interrupted start leaves
// the old list or the new one.
bool WriteShippedList(const fs::path& file, const std::set<std::string>& names) {
  const fs::path temp = file.parent_path() / (file.filename().native() + ".part");
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    for (const std::string& name : names) out << name << '\n';
    out.flush();
    if (!out) return false;
  }
  std::error_code ec;
  fs::rename(temp, file, ec);
  if (ec) fs::remove(temp, ec);
  return !ec;
}

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  // Closes now and says whether the data reached the file system.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool CopyBytes(int from, int to) {
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(from, buffer, sizeof buffer);
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    for (ssize_t done = 0; done < n;) {
      const ssize_t w = ::write(to, buffer + done, static_cast<std::size_t>(n - done));
      if (w < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      done += w;
    }
  }
}

// Moves `temp` to `to` unless `to` exists, without a moment in which a file
// of the player's could be replaced. False with errno EEXIST when it exists.
bool MoveIntoPlace(const fs::path& temp, const fs::path& to) {
  if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return false;
  // File systems without that kind of rename: a hard link fails in the same way.
  if (::link(temp.c_str(), to.c_str()) == 0) {
    ::unlink(temp.c_str());
    return true;
  }
  if (errno != EPERM && errno != ENOTSUP) return false;
  // Nor hard links (FAT): check, then rename.
  struct stat st;
  if (::lstat(to.c_str(), &st) == 0) {
    errno = EEXIST;
    return false;
  }
  return ::rename(temp.c_str(), to.c_str()) == 0;
}

enum class CopyResult { Copied, PlayerHasIt, Failed };

CopyResult CopyNewFile(const fs::path& from, const fs::path& to, std::string& error) {
  std::error_code ec;
  if (fs::symlink_status(to, ec).type() != fs::file_type::not_found && !ec) return CopyResult::PlayerHasIt;
  Fd in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat st;
  if (in.get() < 0 || ::fstat(in.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
    error = "cannot read " + Shown(from) + ": " + std::strerror(in.get() < 0 ? errno : EINVAL);
    return CopyResult::Failed;
  }
  // Hidden and with no extension the game lists, should it ever be left behind.
  const fs::path temp = to.parent_path() / ("." + to.filename().native() + "." + std::to_string(::getpid()) + ".part");
  ::unlink(temp.c_str());
  // The player's own file: writable by them whatever the shipped file's mode.
  Fd out(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
  if (out.get() < 0) {
    error = "cannot write in " + Shown(to.parent_path()) + ": " + std::strerror(errno);
    return CopyResult::Failed;
  }
  const bool copied = CopyBytes(in.get(), out.get());
  const int copyErrno = errno;
  if (!out.Close() || !copied) {
    error = "cannot copy " + Shown(from) + ": " + std::strerror(copied ? errno : copyErrno);
    ::unlink(temp.c_str());
    return CopyResult::Failed;
  }
  if (!MoveIntoPlace(temp, to)) {
    const int moveErrno = errno;
    ::unlink(temp.c_str());
    if (moveErrno == EEXIST) return CopyResult::PlayerHasIt;
    error = "cannot create " + Shown(to) + ": " + std::strerror(moveErrno);
    return CopyResult::Failed;
  }
  return CopyResult::Copied;
}

}  // namespace

bool HoldsGameData(const fs::path& folder) {
  if (folder.empty()) return false;
  return IsRegularFile(folder / "map.txt") || IsRegularFile(folder / "buylist.txt") ||
         !ListFiles(folder, "*.spc").empty();
}

std::optional<fs::path> UserArenaFolder(const UserEnvironment& env) {
  // Relative values are to be ignored: they would depend on where the game
  // was started.
  if (!env.xdgDataHome.empty() && fs::path(env.xdgDataHome).is_absolute())
    return fs::path(env.xdgDataHome) / "kivora" / "arena";
  if (!env.home.empty() && fs::path(env.home).is_absolute())
    return fs::path(env.home) / ".local" / "share" / "kivora" / "arena";
  return std::nullopt;
}

ArenaUpdate UpdateUserArena(const fs::path& userArena, const fs::path& defaultArena) {
  ArenaUpdate update;
  std::error_code ec;
  const fs::file_status status = fs::status(userArena, ec);
  if (fs::exists(status) && !fs::is_directory(status)) {
    update.problems.push_back(Shown(userArena) + " is not a folder");
    return update;
  }
  if (!fs::exists(status)) {
    fs::create_directories(userArena, ec);
    if (ec || !IsFolder(userArena)) {
      update.problems.push_back("cannot create " + Shown(userArena) + ": " + (ec ? ec.message() : "not a folder"));
      return update;
    }
  }
  update.usable = true;

  const fs::path listFile = userArena / std::string(kShippedListName);
  std::set<std::string> offered = ReadShippedList(listFile);
  bool listChanged = false;
  for (const std::string& name : ListFiles(defaultArena, "*")) {
    if (name.empty() || name[0] == '.' || name.find('\n') != std::string::npos || offered.count(name)) continue;
    std::string error;
    switch (CopyNewFile(defaultArena / name, userArena / name, error)) {
      case CopyResult::Copied:
        update.copied.push_back(name);
        break;
      case CopyResult::PlayerHasIt:
        break;
      case CopyResult::Failed:
        // Not recorded: the next start tries again.
        update.problems.push_back(error);
        continue;
    }
    offered.insert(name);
    listChanged = true;
  }
  if (listChanged && !WriteShippedList(listFile, offered))
    update.problems.push_back("cannot write " + Shown(listFile) + ": files you delete may come back");
  return update;
}

ArenaChoice ChooseArena(const fs::path& currentDirectory, const UserEnvironment& env, const fs::path& defaultArena) {
  ArenaChoice choice;
  if (HoldsGameData(currentDirectory)) {
    choice.folder = currentDirectory;
    choice.source = ArenaChoice::Source::CurrentDirectory;
    return choice;
  }
  const bool haveDefault = IsFolder(defaultArena);
  const std::optional<fs::path> user = UserArenaFolder(env);
  if (!user) {
    choice.notes.push_back("neither XDG_DATA_HOME nor HOME names an absolute folder, so there is no arena of your own");
  } else if (!haveDefault) {
    choice.notes.push_back("the default arena " + (defaultArena.empty() ? std::string("(unknown)") : Shown(defaultArena)) +
                           " is missing; nothing was copied");
    if (IsFolder(*user)) {
      choice.folder = *user;
      choice.source = ArenaChoice::Source::UserArena;
      return choice;
    }
  } else {
    ArenaUpdate update = UpdateUserArena(*user, defaultArena);
    choice.notes.insert(choice.notes.end(), update.problems.begin(), update.problems.end());
    if (update.usable) {
      choice.folder = *user;
      choice.source = ArenaChoice::Source::UserArena;
      choice.copied = std::move(update.copied);
      return choice;
    }
  }
  if (haveDefault) {
    choice.folder = defaultArena;
    choice.source = ArenaChoice::Source::DefaultArena;
    choice.notes.push_back("playing in the default arena " + Shown(defaultArena) +
                           ", which is read-only: models and programs of your own cannot be added there");
    return choice;
  }
  choice.folder = currentDirectory;
  choice.source = ArenaChoice::Source::Nothing;
  choice.notes.push_back("no data files found; playing in the current directory " + Shown(currentDirectory));
  return choice;
}

std::optional<fs::path> FindDefaultArena(const std::vector<fs::path>& candidates) {
  for (const fs::path& candidate : candidates)
    if (IsFolder(candidate)) return candidate;
  return std::nullopt;
}

}  // namespace kivora
