#include "field/ProgramListing.h"

#include "base/TextCodec.h"
#include "lang/Command.h"
#include "lang/CommandListing.h"

namespace kivora {

void ProgramListing::Follow(OKE* unit) {
  if (unit == unit_.get()) return;
  // Held from here on, so the address cannot be taken by another unit while
  // the copy refers to it.
  unit_ = Ref<OKE>(unit);
  updated_ = false;
  sheet_ = UnitSheet{};
  links_.clear();
  lines_.clear();
  current_.reset();
}

bool ProgramListing::Update() {
  if (!unit_) return false;
  const OKE& unit = *unit_;
  sheet_ = SheetOf(unit);

  // The links of every command, compared with the copy's as the walk goes.
  // A program is given only to a unit that is not on the field yet, but the
  // window may show a unit before that; any change shows in its links.
  bool same = updated_;
  std::size_t n = 0;
  current_.reset();
  for (const Command* c = unit.firstCommand; c != nullptr; c = c->textNext, ++n) {
    const Link link{c, c->next, c->jumpTarget};
    if (same && (n >= links_.size() || links_[n] != link)) same = false;
    if (c == unit.currentCommand) current_ = n;
  }
  same = same && n == links_.size();
  if (sheet_.fallen) current_.reset();
  updated_ = true;
  if (same) return false;

  links_.clear();
  links_.reserve(n);
  for (const Command* c = unit.firstCommand; c != nullptr; c = c->textNext)
    links_.push_back({c, c->next, c->jumpTarget});
  const std::vector<ListedCommand> listed = ListCommands(unit.firstCommand);
  lines_.clear();
  lines_.reserve(listed.size());
  for (std::size_t i = 0; i < listed.size(); ++i) lines_.push_back(ListingLine(i, listed[i], ToUtf8(listed[i].describe)));
  return true;
}

std::string ProgramListing::Head() const {
  if (!unit_) return "ＯＫＥが選択されていません";
  std::string head = SheetTitleLine(sheet_) + '\n' + SheetCommandLine(sheet_);
  if (updated_ && lines_.empty()) head += "\nプログラムがありません";
  return head;
}

}  // namespace kivora
