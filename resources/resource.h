// Resource identifiers shared by Trelvik.rc and the C++ code: plain #defines, so the resource
// compiler's preprocessor reads them too. Keep the numbers stable; code loads resources by them.
#pragma once

#define IDI_TRELVIK 1      // application icon: window classes, notification icon, About box
#define IDC_HAND_RULER 101 // hand cursor over the ruler bars
#define IDC_BALL 102       // cursor over the red ball
#define IDB_BALL 201       // the red ball, 15x15, magenta (255,0,255) is transparent
