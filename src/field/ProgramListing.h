#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "field/StatusSheet.h"
#include "sim/OKE.h"
#include "sim/Ref.h"

namespace kivora {

class Command;

// What the program window shows of one unit: a copy of its whole program,
// one line per command in file order as kivora-check --list numbers them
// ("I DESCRIBE next=J jump=K"), and which of them the unit runs next.
// The copy is taken under the field lock, like the sheet, and read without it.
class ProgramListing {
 public:
  // Shows `unit` (null: none) from the next Update on, keeping a reference
  // to it, so a unit that falls keeps its last listing.
  void Follow(OKE* unit);
  OKE* Followed() const { return unit_.get(); }

  // Brings the copy up to date; the caller holds the field lock. The lines
  // are gathered again only when the program is not the one copied last
  // (another unit, or a program given since); otherwise only the current
  // command is looked up, by walking the program. Returns true when the
  // lines were gathered again.
  bool Update();

  // UTF-8, one line per command; empty without a unit or a program.
  const std::vector<std::string>& Lines() const { return lines_; }
  // The line of the command the unit runs next; none when the program has
  // stopped, the unit has none, or the unit has fallen.
  std::optional<std::size_t> Current() const { return current_; }
  bool Fallen() const { return unit_ && sheet_.fallen; }

  // The note above the lines (UTF-8, lines joined by '\n'): the sheet's
  // side-and-model line and its 実行 line, and a word when there is no
  // program; without a unit, a request to pick one.
  std::string Head() const;

 private:
  // What tells one program from another without reading its commands.
  struct Link {
    const Command* self;
    const Command* next;
    const Command* jump;
    bool operator==(const Link&) const = default;
  };

  Ref<OKE> unit_;
  bool updated_ = false;  // Update has seen unit_
  UnitSheet sheet_;
  std::vector<Link> links_;
  std::vector<std::string> lines_;
  std::optional<std::size_t> current_;
};

}  // namespace kivora
