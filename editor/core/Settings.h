// Reading and writing the settings file through the settings table.
#ifndef DOTWERK_CORE_SETTINGS_H
#define DOTWERK_CORE_SETTINGS_H

#include "core/Services.h"
#include "core/SettingsTable.h"

namespace dw {

// The profile a settings file name stands for: the settings file itself, or
// for any other name (Reset to Defaults' "Dum.ini") an empty source, so
// every key takes its default and no file is consulted.
IProfile& ProfileFor(const char* fileName);

// One row, all its indexes, for one data set (ignored for global rows).
void ReadRow(IProfile& p, const SettingRow& row, EditorState& st, int set);
void WriteRow(IProfile& p, const SettingRow& row, EditorState& st, int set);
void ReadGroup(IProfile& p, SettingGroup g, EditorState& st, int set);
void WriteGroup(IProfile& p, SettingGroup g, EditorState& st, int set);

// Default window layout from the screen metrics (applies the current set's
// stored palette size first, which fixes the Palette window's size).
void ComputeDefaultWindowLayout(IProfile& p);
void ComputeDefaultWindowLayout();

// Window positions, sizes, show values and the view cell sizes.
void ReadWindowSettings(IProfile& p);
void ReadWindowSettings(const char* fileName);

// Every other key, both data sets, in the reader's order.
void ReadSettings(IProfile& p);
void ReadSettings(const char* fileName);

// On exit: asks about changed data sets (when AskForSaveChanges is on),
// writes SaveSettings and, when that is on, everything else. Only the first
// completed call in a run writes. Returns false when the user cancelled or a
// save did not clear the set's changes: then nothing is written and the
// close must be abandoned.
bool WriteSettings(const char* fileName);
bool WriteSettings(IProfile& p);

}  // namespace dw

#endif
