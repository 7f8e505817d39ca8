// The player window: a television set with the video control in its screen, a menu key on its
// front, and every command of the program in its popup menu.
#pragma once

#include <windows.h>
// After windows.h: shellapi.h and mmsystem.h need its types.
#include <mmsystem.h>
#include <shellapi.h>

#include <cstdint>
#include <span>
#include <string>

#include "player/ViewGeometry.h"
#include "toolkit/Dialogs.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"
#include "toolkit/Strings.h"
#include "toolkit/WindowDrag.h"

class TVvPPWeb;
class TTrayIcon;
struct IDirectDraw;

enum TPlayState : uint8_t { psPlaying = 0, psPaused = 1, psStopped = 2 };

// The wave-output device's report that a buffer has finished playing.
inline constexpr UINT WaveOutDone = MM_WOM_DONE;

// Its FormMouseDown, FormMouseMove, FormMouseUp and FormCaptureLost drag it, bound to TVImage and
// the video.
class TMainForm : public TForm, public TWindowDrag {
public:
  explicit TMainForm(TComponent* Owner);
  ~TMainForm() override;

  // Components.
  TImage* TVImage;
  TImage* Button1;
  TVvPPWeb* vivo;
  TOpenDialog* OpenDialog1;
  TPopupMenu* PopupMenu1;
  TTrayIcon* TrayIcon1;

  // The command menu's entries, in display order.
  TMenuItem *VideoControl1, *OpenFile1, *OpenURL1, *N3, *Playlist1, *N2, *PlayPause1,
      *Fastforward1, *Stop1, *Restart1, *Close1, *N5, *SaveAs1;
  TMenuItem *View1, *HalfSize1, *OriginalSize1, *DoubleSize1, *TripleSize1, *FullScreen1,
      *ScaledFullScreen1, *N6, *DirectXMode1, *PresentationMode1, *CompactMode1, *N4;
  TMenuItem *Options1, *AlwaysOnTop1, *Minimize1, *N7, *DisableScreenSaver1, *SystemTray1,
      *ChangeDirectXresolution1, *Help1;
  TMenuItem *N1, *About1, *AboutthisMovie1, *AboutQuillo1, *AboutOstra1, *Exit1;

  // Loads a file, a URL or the temporary playlist into the control and starts it.
  void PlayFile(const std::string& FileName);
  void OpenFiles();
  void OpenURL();
  // Re-delivers every buffer-done notice six times until FastForwarding is cleared.
  void FastForward();
  // The television's switch-off; ends by asking the application to terminate.
  void SwitchOff();

  // Lays the skin out at W / BaseW by H / BaseH around the video.
  void ScaleSkin(int32_t W, int32_t BaseW, int32_t H, int32_t BaseH);
  // Enables Double and Triple Size by what fits, then runs the checked size's command.
  void ApplyView(TObject* Sender);
  void EnterDirectDraw(int32_t Width, int32_t Height);
  void LeaveDirectDraw();
  // Icon in the notification area or button on the taskbar, as System Tray says.
  void UpdateTrayIcon();
  // The application-wide filter that keeps the screen saver from starting.
  void ScreenSaverFilter(MSG& Msg, bool& Handled);

  void FormCreate(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormResize(TObject* Sender);
  void FormKeyDown(TObject* Sender, uint16_t& Key, TShiftState Shift);
  void FormDblClick(TObject* Sender);
  void Button1Click(TObject* Sender);
  void Button1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void Button1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void OpenFile1Click(TObject* Sender);
  void OpenURL1Click(TObject* Sender);
  void Playlist1Click(TObject* Sender);
  void PlayPause1Click(TObject* Sender);
  void Fastforward1Click(TObject* Sender);
  void Stop1Click(TObject* Sender);
  void Restart1Click(TObject* Sender);
  void Close1Click(TObject* Sender);
  void SaveAs1Click(TObject* Sender);
  void AboutthisMovie1Click(TObject* Sender);
  void Options1Click(TObject* Sender);
  void Exit1Click(TObject* Sender);
  void HalfSize1Click(TObject* Sender);
  void OriginalSize1Click(TObject* Sender);
  void DoubleSize1Click(TObject* Sender);
  void TripleSize1Click(TObject* Sender);
  void FullScreen1Click(TObject* Sender);
  void ScaledFullScreen1Click(TObject* Sender);
  void DirectXMode1Click(TObject* Sender);
  void PresentationMode1Click(TObject* Sender);
  void CompactMode1Click(TObject* Sender);
  void ChangeDirectXresolution1Click(TObject* Sender);
  void AlwaysOnTop1Click(TObject* Sender);
  void Minimize1Click(TObject* Sender);
  void DisableScreenSaver1Click(TObject* Sender);
  void SystemTray1Click(TObject* Sender);
  void Help1Click(TObject* Sender);
  void AboutQuillo1Click(TObject* Sender);
  void AboutOstra1Click(TObject* Sender);
  void TrayIcon1Click(TObject* Sender);
  void TrayIcon1RightClick(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void vivoAtStart(TObject* Sender, const std::string& URL);
  void vivoAtEnd(TObject* Sender, const std::string& URL);
  void vivoFetchError(TObject* Sender, int32_t Result);
  void vivoTime(TObject* Sender, int32_t Time, const std::string& URL);

  // Runs the handler of the menu's entry Item with Sender, as the keys during fast forward, the
  // settings and ApplyView do: past the item, so disabled and hidden entries run too.
  void RunCommand(TMenuItem* TMainForm::*Item, TObject* Sender);
  // Makes Entries the playlist (VivoList) and plays it through the temporary playlist; with
  // CloseClip the clip playing now is closed first, once the list is filled.
  void PlayEntries(const TStrings& Entries, bool CloseClip);

  TPlayState PlayState;
  int32_t DirectXWidth;
  int32_t DirectXHeight;

protected:
  LRESULT WndProc(UINT Msg, WPARAM W, LPARAM L) override;

private:
  bool ShownOnce = false;
  // The menu as the command table has it, then the shortcuts it leaves to FormCreate.
  void CreateMenu();
  void GiveCreationShortCuts();
  // Half, Original, Double and Triple Size: one procedure with a factor.
  void FixedSize(TMenuItem* Item, TViewFactor Factor);
  // Checks Item and unchecks the other five sizes.
  void CheckSize(TMenuItem* Item);
  // The start of every screen-style layout: picture, button and dragging gone, the display
  // switched or given back. The layout then holds Resizing and calls PlaceAtScreenCorner.
  void BeginScreenStyle();
  // Moves the window so that its client area's corner is the screen's, the frame off-screen.
  void PlaceAtScreenCorner();
  // The start both full-screen commands share; false when no clip is loaded.
  bool BeginFullScreen(TMenuItem* Item);
  // The z-order Always On Top asks for, at the window's present bounds.
  void ApplyZOrder();
  void AttachVideoDrag(bool Attach);
  // ScreenSaverFilter becomes the application-wide message filter, or no filter is left.
  void InstallScreenSaverFilter(bool Install);
  // Centres an About dialog on the screen and shows it modally.
  void ShowAboutDialog(TForm* Dialog);
  void WMDropFiles(HDROP Drop);
};

// One entry of the command menu: its depth in the tree (0: the menu's own entry, 1: an entry of
// the submenu above it), the form's field that holds it, its name, caption ("-": a separator)
// and shortcut, and its handler (none for separators and plain submenus).
struct TMenuCommand {
  int Depth;
  TMenuItem* TMainForm::*Item;
  const char* Name;
  const char* Caption;
  TShortCut ShortCut = 0;
  // FormCreate gives the shortcut, after the menu is made.
  bool ShortCutAtCreation = false;
  void (TMainForm::*Handler)(TObject* Sender) = nullptr;
};

// The whole menu in display order, written once: the menu is made from it, and the keys the
// fast-forward loop carries out itself are read from it.
std::span<const TMenuCommand> MenuCommands();
// The entry of Item.
const TMenuCommand& MenuCommand(TMenuItem* TMainForm::*Item);
// The entry a key runs while fast forward keeps the menu from seeing its shortcuts: the Ctrl and
// Ctrl+Shift shortcuts on digit and letter keys, but Fast Forward's, Minimize's and System
// Tray's; nullptr for any other key.
const TMenuCommand* FastForwardCommand(uint16_t Key, TShiftState Shift);

// The view sizes in the order of their stored numbers (the settings' View Size, 0 to 5), which is
// also the order ApplyView tries them in.
inline constexpr TMenuItem* TMainForm::*ViewSizes[] = {
    &TMainForm::HalfSize1,   &TMainForm::OriginalSize1, &TMainForm::DoubleSize1,
    &TMainForm::TripleSize1, &TMainForm::FullScreen1,   &TMainForm::ScaledFullScreen1};
// The modes by their stored numbers less one (the settings' View Mode, 1 to 3; 0: none).
inline constexpr TMenuItem* TMainForm::*ViewModes[] = {
    &TMainForm::DirectXMode1, &TMainForm::PresentationMode1, &TMainForm::CompactMode1};

extern TMainForm* MainForm;

// The end of the run, before the DirectDraw library goes: a DirectDraw object still held is
// released and the last URL forgotten.
void FinalizeMain();

// The player window's shared state.
extern bool Resizing;
extern bool Dragging;
extern int32_t DragX, DragY;
extern bool FastForwarding;
extern std::string LastURL;
extern bool Closing;
extern bool DirectDrawUsed;
extern bool DirectDrawActive;
extern IDirectDraw* DirectDrawObject;
