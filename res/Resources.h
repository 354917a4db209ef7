#pragma once
// The program's resources: numbered strings, dialog templates, icon 128 and accelerator table 129.

#include "platform/DialogTemplate.h"
#include "platform/WinTypes.h"

#include <QIcon>

#include <cstddef>
#include <vector>

namespace res {

struct StringEntry {
    platform::UINT id;
    const char* text;
};
extern const StringEntry kStrings[];
extern const std::size_t kStringCount;

struct AcceleratorEntry {
    platform::UINT virtualKey;
    platform::UINT command;
};

// Registers strings and templates with the platform; safe to call more than once.
void RegisterResources();
void RegisterStrings();
void RegisterTemplates();
// Icons and bitmaps by number (143, 144, 146 ...).
void RegisterImages();

platform::DialogTemplate MainWindowTemplate();
std::vector<platform::DialogTemplate> PageTemplates();

// The six page templates, one file each (TemplateGpsStatus.cpp ...).
platform::DialogTemplate GpsStatusTemplate();
platform::DialogTemplate SatMapSnrTemplate();
platform::DialogTemplate SatChartTemplate();
platform::DialogTemplate CsiCmdsTemplate();
platform::DialogTemplate LogonCorsTemplate();
platform::DialogTemplate StavoOptionTemplate();

// Icon 128.
QIcon LoadAppIcon();

// Accelerator table 129: its one entry turns Esc into ID_APP_ESCAPE.
const std::vector<AcceleratorEntry>& AcceleratorTable();

} // namespace res
