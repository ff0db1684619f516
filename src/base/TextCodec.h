#pragma once
#include <string>
#include <string_view>

namespace kivora {

// The one place where bytes from data files become Unicode for display or
// printing. Text that is already valid UTF-8 comes back unchanged; anything
// else is decoded as Shift-JIS (Windows code page 932), each byte that cannot
// be decoded (a stray byte, a lead byte without its trail byte) becoming one
// U+FFFD. Inside the engine text stays in its bytes and is compared as bytes.
std::string ToUtf8(std::string_view bytes);

// ToUtf8, then every control character but the tab (U+0000..U+001F and
// U+007F..U+009F) written as "\x" and two lower-case hexadecimal digits of
// its code point: the form in which the command-line programs print any
// text that comes from a data file or a command line, so that no file can
// drive the terminal.
std::string ForTerminal(std::string_view bytes);

// Appends the UTF-8 text `utf8` to `out` with every control character
// (U+0000..U+001F and U+007F..U+009F; the tab too unless `keepTab`) written
// as `prefix` and two lower-case hexadecimal digits of its code point, and
// every byte of `backslashed` behind a backslash: the one rule behind
// ForTerminal and the JSON strings.
void AppendEscaped(std::string& out, std::string_view utf8, std::string_view prefix, bool keepTab,
                   std::string_view backslashed = {});

// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

}  // namespace kivora
