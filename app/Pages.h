#pragma once
// The six pages of the main window, in tab order.

#include "receiver/GPSStatusDlg.h"
#include "satellites/SatMapSNR.h"
#include "satellites/SatChart.h"
#include "receiver/CsiCmdsSendDlg.h"
#include "cors/LogonCORSDlg.h"
#include "options/StavoOption.h"
