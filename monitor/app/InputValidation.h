#pragma once
// Small checks on text typed or loaded by the user, shared by the windows
// that read it.

// True when the line carries nothing to act on: after trimming blanks on both
// sides it is empty or starts with "/" or ";". Files the user writes by hand
// (command batches, scripts, settings) use both comment styles, and a line
// of blanks must never be taken for a command. nullptr counts as empty.
bool IsCommentLine(const char* text);
