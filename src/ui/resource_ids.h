// Identifiers of the program's resources, controls and menu commands, shared
// by the resource script and the code.
#pragma once

// Macros, since the resource compiler reads this file too and knows no C++.
// NOLINTBEGIN(cppcoreguidelines-macro-usage)

#define IDI_LULLCAST 1
#define IDD_INPUT_BOX 100

// Controls of the input box.
#define IDC_INPUT_PROMPT 101
#define IDC_INPUT_TEXT 102

// Controls of the main window.
#define IDC_PICTURE1 200
#define IDC_LABEL2 201
#define IDC_TIMED 202
#define IDC_LABEL3 203
#define IDC_SSFRAME1 204
#define IDC_SSCOMMAND1 205
#define IDC_SSCOMMAND2 206
#define IDC_SSCOMMAND3 207
#define IDC_FRAME2 208
#define IDC_LABEL1 209

// Controls of the window that lists the mentions of a period.
#define IDC_MENTIONS_TEXT 250
#define IDC_MENTIONS_CLOSE 251

// Commands of the popup menu.
#define IDM_ABOUT 301
#define IDM_GREETZ 302
#define IDM_CONTACTS 303
#define IDM_HANDLE_CHANGE 304
#define IDM_IMS_ON 305
#define IDM_IMS_OFF 306
#define IDM_MINIMIZE 307
#define IDM_EXIT 308
// NOLINTEND(cppcoreguidelines-macro-usage)
