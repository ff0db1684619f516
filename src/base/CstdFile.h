#pragma once
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace kivora {

// The one exception the game raises: a file could not be opened, read or
// written. Callers catch it next to the operation that opened the file.
class FileException : public std::exception {
public:
  enum Cause { none, fileNotFound, accessDenied, notAFile, readError, writeError, badSeek, generic };

  FileException(Cause cause, std::string fileName, int osError = 0);
  const char* what() const noexcept override { return message_.c_str(); }
  // What went wrong without the file's name ("file not found (No such file or directory)").
  std::string Reason() const { return message_.substr(fileName.size() + 2); }

  Cause cause;
  std::string fileName;
  int osError;  // errno at the time of the failure, 0 if none

private:
  std::string message_;
};

// A plain binary file over the operating system's descriptors. Reading only
// accepts regular files: a directory, a pipe or a device named like a data
// file is refused at the open, so no reader can block or spin on it.
class File {
public:
  // Open flags; the values follow the classic Windows file class so that
  // callers can write them as they always did.
  enum : unsigned {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeText = 0x4000,
    typeBinary = 0x8000,
  };
  enum SeekPosition { begin, current, end };

  File() = default;
  File(const std::string& fileName, unsigned openFlags);  // throws FileException
  virtual ~File();
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Opens the file; throws FileException on failure. Closes any file opened before.
  virtual void Open(const std::string& fileName, unsigned openFlags);
  virtual void SetFilePath(const std::string& fileName) { path_ = fileName; }
  const std::string& GetFilePath() const { return path_; }
  bool IsOpen() const { return fd_ >= 0; }
  void Close();

  // Reads up to `count` bytes at the current position; 0 at end of file.
  std::size_t Read(void* buffer, std::size_t count);
  void Write(const void* buffer, std::size_t count);
  // Moves the position and returns the new one.
  std::uint64_t Seek(std::int64_t offset, SeekPosition from);
  std::uint64_t GetPosition() const;

private:
  void FillBuffer();
  void DropBuffer();  // gives the read-ahead back to the descriptor

  int fd_ = -1;
  std::string path_;
  // Read-ahead: small line reads would otherwise cost a system call each.
  std::vector<char> buffer_;
  std::size_t bufferPos_ = 0;
  std::size_t bufferEnd_ = 0;
};

// The line reader used for every text file of the game. Files are always
// read as raw bytes (the text flag is dropped) and line ends are handled
// here: carriage returns are dropped wherever they are, a line feed ends a
// line, and a line is returned in pieces of at most 2048 bytes.
class CstdFile : public File {
public:
  static constexpr std::size_t pieceSize = 2048;

  CstdFile() = default;
  CstdFile(const std::string& fileName, unsigned openFlags);  // throws FileException

  void Open(const std::string& fileName, unsigned openFlags) override;
  void SetFilePath(const std::string& fileName) override;

  // The next line into `line`; false at end of file (then `line` is left as it was).
  virtual bool ReadString(std::string& line);
  // The next line into `buffer`, read in pieces of at most size - 1 bytes
  // (zero-terminated);
  // returns `buffer`, or null at end of file or when size < 2.
  virtual char* ReadString(char* buffer, std::size_t size);
  // Writes `text`, each line feed as carriage return + line feed.
  virtual void WriteString(std::string_view text);

private:
  // Shared by both ReadString forms: reads up to `limit` bytes, appends the
  // line's bytes to `out` and rewinds to just after the line feed. Returns
  // false at end of file.
  bool ReadPiece(std::size_t limit, std::string& out);
};

}  // namespace kivora
