// Resource ids of the pictures and icons built into the program (res/Quillo.rc).
#ifndef QUILLO_RESOURCES_H
#define QUILLO_RESOURCES_H

// Icons. The program icon has the lowest id, so it is the first icon group: the shell's icon
// index 0, which the .viv association points at.
#define IDI_QUILLO 1        // 16, 32 and 48 pixels
#define IDI_TRAY 2          // 32 x 32, 16 colours: the notification-area icon

// Bitmaps.
#define IDB_TVSET 101       // the television, 240 x 205, 256 colours; the video sits at 16, 20, 206 x 154
#define IDB_MENUKEY 102     // the menu key on the set's front, 20 x 20, true colour; its place is 200, 182
#define IDB_ABOUTBACK 103   // the About dialogs' and the playlist editor's background, 300 x 300, 256 colours
#define IDB_QUILLOLOGO 104  // the first About dialog's logo, 200 x 50, true colour
#define IDB_OSTRALOGO 105   // the second About dialog's logo, 130 x 55, true colour
// The logos are drawn transparent: their see-through colour is that of the bottom-left pixel,
// magenta (255, 0, 255), which appears nowhere else in them.

#endif
