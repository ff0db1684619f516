#include "base/CstdFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>

namespace kivora {

namespace {

constexpr std::size_t readAheadSize = 64 * 1024;

FileException::Cause CauseOf(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
      return FileException::fileNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
      return FileException::accessDenied;
    case EISDIR:
      return FileException::notAFile;
    default:
      return FileException::generic;
  }
}

const char* CauseText(FileException::Cause cause) {
  switch (cause) {
    case FileException::none: return "no error";
    case FileException::fileNotFound: return "file not found";
    case FileException::accessDenied: return "access denied";
    case FileException::notAFile: return "not a regular file";
    case FileException::readError: return "read error";
    case FileException::writeError: return "write error";
    case FileException::badSeek: return "bad seek";
    case FileException::generic: break;
  }
  return "cannot open";
}

}  // namespace

FileException::FileException(Cause cause_, std::string fileName_, int osError_)
    : cause(cause_), fileName(std::move(fileName_)), osError(osError_) {
  message_ = fileName + ": " + CauseText(cause);
  if (osError != 0) message_ += std::string(" (") + std::strerror(osError) + ")";
}

// ---------------------------------------------------------------- File

File::File(const std::string& fileName, unsigned openFlags) { File::Open(fileName, openFlags); }

File::~File() { Close(); }

void File::Open(const std::string& fileName, unsigned openFlags) {
  Close();
  File::SetFilePath(fileName);
  if (fileName.find('\0') != std::string::npos) throw FileException(FileException::fileNotFound, fileName);

  int flags = O_CLOEXEC | O_NONBLOCK;  // never wait on a pipe or a device
  switch (openFlags & 3u) {
    case modeWrite: flags |= O_WRONLY; break;
    case modeReadWrite: flags |= O_RDWR; break;
    default: flags |= O_RDONLY; break;
  }
  if (openFlags & modeCreate) {
    flags |= O_CREAT;
    if (!(openFlags & modeNoTruncate)) flags |= O_TRUNC;
  }
  int fd;
  do fd = ::open(fileName.c_str(), flags, 0666);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    const int err = errno;
    throw FileException(CauseOf(err), fileName, err);
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    throw FileException(FileException::notAFile, fileName);
  }
  // Regular files never block; clear the flag so writes behave plainly.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  fd_ = fd;
}

void File::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  buffer_.clear();
  buffer_.shrink_to_fit();
  bufferPos_ = bufferEnd_ = 0;
}

void File::FillBuffer() {
  if (buffer_.size() < readAheadSize) buffer_.resize(readAheadSize);
  bufferPos_ = bufferEnd_ = 0;
  for (;;) {
    const ssize_t n = ::read(fd_, buffer_.data(), buffer_.size());
    if (n >= 0) {
      bufferEnd_ = static_cast<std::size_t>(n);
      return;
    }
    if (errno != EINTR) throw FileException(FileException::readError, path_, errno);
  }
}

void File::DropBuffer() {
  if (bufferPos_ < bufferEnd_) {
    const auto unread = static_cast<off_t>(bufferEnd_ - bufferPos_);
    if (::lseek(fd_, -unread, SEEK_CUR) < 0) throw FileException(FileException::badSeek, path_, errno);
  }
  bufferPos_ = bufferEnd_ = 0;
}

std::size_t File::Read(void* buffer, std::size_t count) {
  if (fd_ < 0) throw FileException(FileException::readError, path_, EBADF);
  auto* out = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    if (bufferPos_ == bufferEnd_) {
      FillBuffer();
      if (bufferEnd_ == 0) break;  // end of file
    }
    const std::size_t take = std::min(count - done, bufferEnd_ - bufferPos_);
    std::memcpy(out + done, buffer_.data() + bufferPos_, take);
    bufferPos_ += take;
    done += take;
  }
  return done;
}

void File::Write(const void* buffer, std::size_t count) {
  if (fd_ < 0) throw FileException(FileException::writeError, path_, EBADF);
  DropBuffer();
  const auto* in = static_cast<const char*>(buffer);
  while (count > 0) {
    const ssize_t n = ::write(fd_, in, count);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw FileException(FileException::writeError, path_, errno);
    }
    in += n;
    count -= static_cast<std::size_t>(n);
  }
}

std::uint64_t File::Seek(std::int64_t offset, SeekPosition from) {
  if (fd_ < 0) throw FileException(FileException::badSeek, path_, EBADF);
  // A step back or forward inside the read-ahead costs nothing: this is what
  // the line reader does after every line.
  if (from == current && bufferEnd_ > 0) {
    const auto pos = static_cast<std::int64_t>(bufferPos_);
    if (offset >= -pos && offset <= static_cast<std::int64_t>(bufferEnd_) - pos) {
      bufferPos_ = static_cast<std::size_t>(pos + offset);
      return GetPosition();
    }
  }
  DropBuffer();
  const int whence = from == begin ? SEEK_SET : from == current ? SEEK_CUR : SEEK_END;
  const off_t result = ::lseek(fd_, static_cast<off_t>(offset), whence);
  if (result < 0) throw FileException(FileException::badSeek, path_, errno);
  return static_cast<std::uint64_t>(result);
}

std::uint64_t File::GetPosition() const {
  if (fd_ < 0) throw FileException(FileException::badSeek, path_, EBADF);
  const off_t pos = ::lseek(fd_, 0, SEEK_CUR);
  if (pos < 0) throw FileException(FileException::badSeek, path_, errno);
  return static_cast<std::uint64_t>(pos) - (bufferEnd_ - bufferPos_);
}

// ---------------------------------------------------------------- CstdFile

CstdFile::CstdFile(const std::string& fileName, unsigned openFlags) { CstdFile::Open(fileName, openFlags); }

void CstdFile::Open(const std::string& fileName, unsigned openFlags) { File::Open(fileName, openFlags & ~typeText); }

void CstdFile::SetFilePath(const std::string& fileName) { File::SetFilePath(fileName); }

bool CstdFile::ReadPiece(std::size_t limit, std::string& out) {
  char small[pieceSize];
  std::vector<char> large;
  char* scratch = small;
  if (limit > pieceSize) {
    large.resize(limit);
    scratch = large.data();
  }
  const std::size_t got = Read(scratch, limit);
  if (got == 0) return false;
  out.clear();
  std::size_t p = 0;
  bool lineFeed = false;
  for (; p < got; ++p) {
    const char c = scratch[p];
    if (c == '\r') continue;
    if (c == '\n') {
      lineFeed = true;
      break;
    }
    out.push_back(c);
  }
  // Hand back whatever follows the line feed so that the next read starts there.
  if (lineFeed && p + 1 < got) Seek(-static_cast<std::int64_t>(got - (p + 1)), current);
  return true;
}

bool CstdFile::ReadString(std::string& line) {
  std::string piece;
  if (!ReadPiece(pieceSize, piece)) return false;
  line = std::move(piece);
  return true;
}

char* CstdFile::ReadString(char* buffer, std::size_t size) {
  if (buffer == nullptr || size < 2) return nullptr;
  std::string piece;
  if (!ReadPiece(size - 1, piece)) return nullptr;
  std::memcpy(buffer, piece.data(), piece.size());
  buffer[piece.size()] = '\0';
  return buffer;
}

void CstdFile::WriteString(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (const char c : text) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
  Write(out.data(), out.size());
}

}  // namespace kivora
