#pragma once
#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "field/Canvas.h"
#include "field/DrawField.h"
#include "field/PictureCache.h"
#include "field/ProgramListing.h"
#include "game/ReplayPlayer.h"

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QListView;
class QPushButton;

namespace kivora {

class EventModel;
class ListingModel;
class ReplayView;
class Timeline;

// The battle viewer's window: a recorded battle shown tick by tick with the
// game's own field drawing and status sheet. Play, pause, single ticks and
// a timeline with the ticks where units fell; a list of events that jumps to
// its tick; a click on a unit shows its sheet, its program with the command
// it runs next, and its path. Every move draws the field once, whatever
// the move: seeking costs the player's seek and one frame.
class ViewerWindow : public QMainWindow {
  Q_OBJECT
 public:
  // Ticks a second at each speed; Fastest steps once for each frame drawn.
  enum class Speed { X1, X4, X16, Fastest };
  static int TicksPerSecond(Speed speed);

  explicit ViewerWindow(QWidget* parent = nullptr);
  ~ViewerWindow() override;

  // Opens a replay file; a file that is refused is told in a message box
  // (its name and why) and the battle shown stays.
  bool Open(const std::filesystem::path& file);
  // Shows a battle already opened; `name` is shown in the title.
  void Show(std::unique_ptr<ReplayPlayer> player, const QString& name);
  bool HasBattle() const { return player_ != nullptr; }
  ReplayPlayer* Player() const { return player_.get(); }

  // Moves; each returns false when nothing moved (no battle, or at the end).
  void SeekTo(std::uint64_t tick);
  bool StepForward();
  bool StepBack();
  std::uint64_t Tick() const;

  void Play();
  void Pause();
  void TogglePlay();
  bool Playing() const { return playTimer_.isActive(); }
  void SetSpeed(Speed speed);
  Speed CurrentSpeed() const { return speed_; }

  // The unit shown in the panel (field id), or none.
  void Select(std::optional<std::int64_t> id);
  std::optional<std::int64_t> Selected() const { return selected_; }
  // Selects the unit at a field point as the game does; empty ground keeps
  // the selection.
  void SelectAt(std::int32_t fx, std::int32_t fy);

  // Labels (the tick, the side and program of every unit) and the path.
  void SetLabelsShown(bool shown);
  bool LabelsShown() const;
  void SetPathShown(bool shown);

  // The field as drawn for the shown tick (what a PNG export writes, with
  // the tick in its corner when labels are shown).
  const Canvas& FieldCanvas() const { return canvas_; }
  Canvas ExportCanvas() const;
  // The sheet's text, the program panel's head, its lines and its
  // highlighted line (-1: none).
  QString SheetText() const;
  QString ListingHead() const;
  QStringList ListingLines() const;
  int ListingCurrentRow() const;
  QListView* EventList() const { return events_; }
  Timeline* TimelineBar() const { return timeline_; }
  ReplayView* FieldView() const { return view_; }
  QString TickText() const;

  // Writes the shown tick as a PNG picture; false with `why`.
  bool ExportPng(const std::string& path, std::string& why) const;
  // Writes ticks from..to, a picture every `every` ticks, as one animated
  // WebP shown at the game's pace (100 ms a tick); the shown tick stays.
  // `progress` is told how far it is (0..1) and may stop it by returning false.
  bool ExportAnimation(const std::string& path, std::uint64_t from, std::uint64_t to, std::uint32_t every,
                       std::string& why, const std::function<bool(double)>& progress = {});

 private:
  void BuildMenus();
  void BuildControls();
  void OpenDialog();
  void ExportPngDialog();
  void ExportAnimationDialog();
  void OnPlayTimer();
  void RestartClock();
  // Draws the shown tick and brings every panel up to it.
  void ShowTick();
  void DrawTick(Canvas& canvas);
  void SelectedPath();
  void Refused(const QString& name, const std::string& why);

  std::unique_ptr<ReplayPlayer> player_;
  std::unique_ptr<PictureCache> pictures_;
  FieldPictures drawn_;
  Canvas canvas_;
  ProgramListing listing_;
  std::optional<std::int64_t> selected_;
  std::optional<std::int64_t> listingUnit_;  // whose lines the program panel holds
  QPolygonF path_;  // the selected unit's whole path, canvas pixels
  std::uint64_t pathFirst_ = 0;
  bool labels_ = false;
  bool showPath_ = true;

  Speed speed_ = Speed::X1;
  QTimer playTimer_;
  QElapsedTimer clock_;
  std::uint64_t clockTick_ = 0;  // the tick shown when the clock started

  ReplayView* view_ = nullptr;
  Timeline* timeline_ = nullptr;
  QLabel* tickText_ = nullptr;
  QLabel* sheet_ = nullptr;
  QLabel* listingHead_ = nullptr;
  QListView* listingView_ = nullptr;
  ListingModel* listingModel_ = nullptr;
  QListView* events_ = nullptr;
  EventModel* eventModel_ = nullptr;
  QPushButton* playButton_ = nullptr;
  QComboBox* speedBox_ = nullptr;
  QAction* playAction_ = nullptr;
  QAction* labelsAction_ = nullptr;
  QAction* pathAction_ = nullptr;
  QActionGroup* speedGroup_ = nullptr;
  std::vector<QAction*> battleActions_;  // only with a battle open
};

}  // namespace kivora
