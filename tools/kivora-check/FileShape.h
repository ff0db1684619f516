#pragma once
#include <string>

namespace kivora {

class Report;

// What the raw bytes of a data file say about how it was saved, before the
// line reader drops its carriage returns and cuts it into lines.
struct FileShape {
  enum class Mark { none, utf8, utf16 };
  Mark mark = Mark::none;       // a byte-order mark at the very start
  bool lineFeed = false;        // some byte is a line feed
  bool carriageReturn = false;  // some byte is a carriage return
  bool nonAscii = false;        // some byte after the mark is 0x80 or above
  bool validUtf8 = true;        // the bytes after the mark are well-formed UTF-8
};

// Reads `fileName` in pieces of bounded size. Throws FileException when it
// cannot be opened or read.
FileShape ExamineFile(const std::string& fileName);

// The warnings about the shape that concern every data file: a byte-order
// mark (at line 1) and carriage returns without any line feed (the game
// then reads the whole file as one line).
void WarnAboutShape(const FileShape& shape, Report& report);

}  // namespace kivora
