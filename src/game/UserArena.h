#pragma once
// Which folder the game takes its data files from. An installed game ships
// its default arena read-only; the player plays in a copy of it in their own
// data folder, where their models and programs survive an update.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kivora {

// The environment variables the choice depends on, as values: empty means
// unset (an empty variable counts as unset, as the XDG rules say).
struct UserEnvironment {
  std::string xdgDataHome;
  std::string home;
};

// True when `folder` holds the game's data files: a regular file "map.txt"
// or "buylist.txt" (the exact names the game opens), or any regular file
// whose name ends in ".spc" in any case (as the game lists models). Programs
// alone do not count: a folder of .prg files is where a player keeps
// programs, not an arena.
bool HoldsGameData(const std::filesystem::path& folder);

// The player's own arena: $XDG_DATA_HOME/kivora/arena, or
// $HOME/.local/share/kivora/arena when XDG_DATA_HOME is unset or not an
// absolute path. Nothing when neither gives an absolute path.
std::optional<std::filesystem::path> UserArenaFolder(const UserEnvironment& env);

// The hidden list, inside the player's arena, of the default arena's files
// that were already offered to it, one name a line.
inline constexpr std::string_view kShippedListName = ".shipped-files";

// What bringing the player's arena up to date did.
struct ArenaUpdate {
  bool usable = false;               // the folder exists (now) and is a folder
  std::vector<std::string> copied;   // default files copied in, in listing order
  std::vector<std::string> problems; // one readable line per thing that went wrong
};

// Creates `userArena` if it is missing and copies into it every regular file
// of `defaultArena` that it has not been offered before and that the player
// does not have. A file the player has is never touched, whatever the
// default arena holds under that name, and a default file the player deleted
// is not brought back: the shipped list remembers what was offered. Without
// that list (a first start, or the list was removed) every missing default
// file is copied. Copies belong to the player and are writable by them even
// when the shipped files are read-only. A copy appears whole or not at all.
ArenaUpdate UpdateUserArena(const std::filesystem::path& userArena, const std::filesystem::path& defaultArena);

// Where the game plays and why.
struct ArenaChoice {
  enum class Source {
    Given,             // named on the command line
    CurrentDirectory,  // the current directory holds the game's data files
    UserArena,         // the player's own arena
    DefaultArena,      // the shipped arena itself, read-only
    Nothing,           // none of those: the current directory, empty handed
  };
  std::filesystem::path folder;
  Source source = Source::Nothing;
  std::vector<std::string> copied;  // files the default arena added this start
  std::vector<std::string> notes;   // what the player should know, for standard error
};

// Decides the data folder when none was named: the current directory if it
// holds the game's data files; otherwise the player's arena, brought up to
// date from `defaultArena`. When the player's arena cannot be had (no HOME,
// a file where its folder should be, nothing writable) the game plays in the
// default arena itself, which it only reads; when that is missing too, in
// the current directory. Every step down is explained in `notes`.
ArenaChoice ChooseArena(const std::filesystem::path& currentDirectory, const UserEnvironment& env,
                        const std::filesystem::path& defaultArena);

// The shipped default arena: the first of `candidates` that is a folder,
// nothing when none is. The game passes the folder beside its installed
// program first (so an installation works under any prefix or staging
// folder), then the one the build was configured for, then the source
// tree's arena for a run from the build tree.
std::optional<std::filesystem::path> FindDefaultArena(const std::vector<std::filesystem::path>& candidates);

}  // namespace kivora
