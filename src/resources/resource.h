// Identifiers of every dialog, control, menu command, menu and icon, grouped by dialog.
#pragma once

// Main dialog, its menu and the program icon
#define IDD_MAIN                101
#define IDI_APP                 103
#define IDR_MAIN_MENU           104

#define IDC_WINDOW_LIST         1001
#define IDC_HIDE                1002
#define IDC_RESTORE             1003
#define IDC_MINIMIZE            1004
#define IDC_WINDOW_NAME         1005
#define IDC_WINDOW_STATUS       1006
#define IDC_EDIT_TOP            1010
#define IDC_EDIT_LEFT           1011
#define IDC_SET_POSITION        1012
#define IDC_EDIT_WIDTH          1013
#define IDC_EDIT_HEIGHT         1014
#define IDC_REFRESH             1015
#define IDC_MAXIMIZE            1016
#define IDC_ABOUT               1019
#define IDC_MOVE_UP             1020
#define IDC_MOVE_RIGHT          1021
#define IDC_MOVE_DOWN           1022
#define IDC_MOVE_LEFT           1023
#define IDC_TALLER              1024
#define IDC_SHORTER             1027
#define IDC_WIDER               1028
#define IDC_NARROWER            1029

#define ID_FILE_EXIT            40001
#define ID_OPTIONS_SIZE_STEP    40004
#define ID_OPTIONS_POSITION_STEP 40005
#define ID_OPTIONS_REFRESH_RATE 40007
#define ID_OPTIONS_FILTERS      40009
#define ID_HELP_ABOUT           40010
#define ID_FILE_REFRESH         40011

// About
#define IDD_ABOUT               102

// The four settings dialogs share OK and Cancel
#define IDC_OK_BUTTON           1022
#define IDC_CANCEL_BUTTON       1023

// Size step
#define IDD_SIZE_STEP           105
#define IDC_SIZE_STEP_EDIT      1021

// Position step
#define IDD_POSITION_STEP       106
#define IDC_POSITION_STEP_EDIT  1024

// Filters
#define IDD_FILTERS             107
#define IDC_SHOW_VISIBLE        1025
#define IDC_SHOW_HIDDEN         1026
#define IDC_SHOW_BLANK          1027

// Auto refresh
#define IDD_AUTO_REFRESH        108
#define IDC_AUTO_REFRESH_ON     1026
#define IDC_REFRESH_INTERVAL    1027
