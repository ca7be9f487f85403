// Resource identifiers shared by Trelvik.rc and the C++ code: plain #defines, so the resource
// compiler's preprocessor reads them too. Keep the numbers stable; code loads resources by them.
#pragma once

#define IDI_TRELVIK 1      // application icon: window classes, notification icon, About box
#define IDC_HAND_RULER 101 // hand cursor over the ruler bars
#define IDC_BALL 102       // cursor over the red ball
#define IDB_BALL 201       // the red ball, 15x15, magenta (255,0,255) is transparent

// The tray menu's item pictures, each at 100, 150 and 200 percent: the picture's identifier plus 0, 1, 2.
#define IDB_MENU_ABOUT 310    // "&About", 16x16 at 100 percent
#define IDB_MENU_SETTINGS 320 // "&Help", 14x16
#define IDB_MENU_EXIT 330     // "&Exit", 14x14
#define IDB_MENU_ADDON 340    // "Show/Hide Ruler", 16x16
#define IDB_MENU_SCREEN 350   // the five preset sizes, 16x16

// The help window's and the About box's pictures.
#define IDB_HELP_BACKDROP 401 // 400x200, behind the help window's controls
#define IDB_HELP_STRIP 402    // 97x18, a ruler strip on the backdrop
#define IDB_ABOUT_BANNER 403  // 677x95, the About box's banner, shown cut to its box
