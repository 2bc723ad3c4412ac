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

// The settings dialog and its controls, in the order of its tab stops.
#define IDD_SETTINGS 400
#define IDC_SETTINGS_COLOURS 401
#define IDC_SETTINGS_ADD 402
#define IDC_SETTINGS_REMOVE 403
#define IDC_SETTINGS_WAVY 404
#define IDC_SETTINGS_FACE 405
#define IDC_SETTINGS_AUTOAWAY 406
#define IDC_SETTINGS_REASON 407
#define IDC_SETTINGS_REPORT 408
#define IDC_SETTINGS_AWAYLOG 409
#define IDC_SETTINGS_RUN 410
#define IDC_SETTINGS_PREVIEW 411
// The swatches of the colours, one to eight.
#define IDC_SETTINGS_SWATCH1 420

// Commands of the popup menu.
#define IDM_ABOUT 301
#define IDM_GREETZ 302
#define IDM_CONTACTS 303
#define IDM_HANDLE_CHANGE 304
#define IDM_IMS_ON 305
#define IDM_IMS_OFF 306
#define IDM_MINIMIZE 307
#define IDM_EXIT 308
#define IDM_SETTINGS 309
// NOLINTEND(cppcoreguidelines-macro-usage)
