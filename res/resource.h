#pragma once
// Resource numbers of the program: templates, strings, controls, icon and accelerator.

// Icon and accelerator table.
#define IDR_MAINFRAME 128
#define IDR_ACCELERATOR 129
#define ID_APP_ESCAPE 0x800D

// Dialog templates.
#define IDD_STAVO_DIALOG 102
#define IDD_GPS_STATUS 131
#define IDD_SAT_MAP_SNR 132
#define IDD_STAVO_OPTION 137
#define IDD_SAT_CHART 138
#define IDD_CSI_CMDS 139
#define IDD_LOGON_CORS 148

// Main window controls.
#define IDC_TAB 1000
#define IDC_NORTH 1003
#define IDC_EAST 1004
#define IDC_HEIGHT 1005
#define IDC_PDOP 1006
#define IDC_STATUS 1015
#define IDC_SAT_LIST 1014

// Receiver parameter page controls.

// Sky plot and SNR page controls.

// Satellite list page controls.

// NMEA output page controls.

// CORS page controls.

// Options page controls.
#define IDC_TIME_ZONE 1011
#define IDC_LOCAL_TIME 1012
#define IDC_SET_SYSTEM_TIME 1024
#define IDC_BUILD_STAMP 1051

// Strings.
#define IDS_TAB_STATUS 130
#define IDS_TAB_SKY 131
#define IDS_PARAM_NAME 133
#define IDS_PARAM_VALUE 134
#define IDS_BAUD 135
#define IDS_DIFF_MODE 136
#define IDS_ELEV_MASK 138
#define IDS_AIR_MODE 139
#define IDS_SMOOTHING 140
#define IDS_FREQUENCY 141
#define IDS_MAX_DIFF_AGE 142
#define IDS_TAB_SATS 143
#define IDS_TAB_OPTIONS 144
#define IDS_SEARCHING 145
#define IDS_SINGLE_PREC 146
#define IDS_SINGLE 147
#define IDS_DIFF_PREC 148
#define IDS_DIFF 149
#define IDS_FIXED_PREC 150
#define IDS_FIXED 151
#define IDS_FLOAT_PREC 152
#define IDS_FLOAT 153
#define IDS_DEAD_RECKONING 154
#define IDS_BASE_FIXED 155
#define IDS_SIMULATION 156
#define IDS_WAAS 157
#define IDS_UNKNOWN_STATUS 158
#define IDS_LOCAL_TIME 159
#define IDS_CONNECTING 161
#define IDS_ALT_AIDING 162
#define IDS_SAT_PRN 163
#define IDS_SAT_SNR 164
#define IDS_SAT_SLIPS 165
#define IDS_SAT_ELEVATION 166
#define IDS_SAT_AZIMUTH 167
#define IDS_NO_DATA 169
#define IDS_POWER_ON_TEXT 171
#define IDS_POWER_OFF_TEXT 172
#define IDS_INITIALISING 173
#define IDS_TAB_COMMANDS 174
#define IDS_BOARD_TYPE 175
#define IDS_FACTORY_RESET 176
#define IDS_TAB_CORS 177
#define IDS_NET_CONNECT_FAILED 178
#define IDS_DISCONNECT_FIRST 179
#define IDS_CONNECT 180
#define IDS_DISCONNECT 181
#define IDS_HANDHELD_NET_FAILED 182
#define IDS_BAD_LOGIN 183
#define IDS_BAUD_PROBE_FAILED 185
#define IDS_BAUD_PROBING 186
#define IDS_EXIT_QUESTION 187
#define IDS_GPS_POWER_QUESTION 193
#define IDS_PORT_BUSY 194
#define IDS_LOGGING_IN 195
#define IDS_CORS_LOST 196
