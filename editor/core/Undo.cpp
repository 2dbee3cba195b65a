#include "core/Undo.h"

#include "core/EditorState.h"
#include "core/Services.h"

namespace dw {

// Stand-in: no slots until the ring is built.
void AllocateUndoSlots(EditorState* st) { st->undoSlots = nullptr; }
void FreeUndoSlots(EditorState* st) { st->undoSlots = nullptr; }

void PushUndo() {
  if (g_ed->undoSuspended) return;
  g_ed->Cur().modified = true;
}

void UndoEdit() { Svc().prompter->Beep(MBX_ICONHAND); }
void RedoEdit() { Svc().prompter->Beep(MBX_ICONHAND); }

}  // namespace dw
